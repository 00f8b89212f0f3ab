#include "CouCodeCollateraux.h"

#include "config/CReferences.h"
#include "support/ErrorMessageBox.h"
#include "support/WinTools.h"

#include <QComboBox>
#include <QLabel>
#include <QListWidget>

namespace {

// Selectors of the fixed modes, by position in cbTypeCol; the types follow them.
const QString ModeSelectors[] = {QStringLiteral("T"), QStringLiteral("D"), QStringLiteral("O"), QStringLiteral("X")};
constexpr int NewChoiceMode = 3;
constexpr int FirstType = 4;

} // namespace

TfCouCodeCollateraux::TfCouCodeCollateraux(TPickerHost *host)
    : TfPickerForm(host, QStringLiteral("Codes Collatéraux"), QSize(317, 313))
{
    Label1 = new QLabel(QStringLiteral("Type :"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->move(20, 8);
    Label1->adjustSize();

    cbTypeCol = new QComboBox(this);
    cbTypeCol->setObjectName(QStringLiteral("cbTypeCol"));
    cbTypeCol->setEditable(false);
    cbTypeCol->setGeometry(56, 4, 237, 21);
    Label1->setBuddy(cbTypeCol); // names the list for screen readers
    cbTypeCol->addItems({QStringLiteral("Proposer tous"), QStringLiteral("Utiliser dernier créé"),
                         QStringLiteral("Mode entête ordonnance"), QStringLiteral("Provoquer nouveau choix")});

    lstCol = new QListWidget(this);
    lstCol->setObjectName(QStringLiteral("lstCol"));
    lstCol->setGeometry(20, 40, 273, 257);
    lstCol->setAccessibleName(QStringLiteral("Champs du collatéral"));
    lstCol->addItems({QStringLiteral("Nom"), QStringLiteral("Prénom"), QStringLiteral("Date Naissance"),
                      QStringLiteral("Adresse"), QStringLiteral("CodePostal"), QStringLiteral("Ville")});
    OnItemChosen(lstCol, [this] { lstColDblClick(); });

    FormCreate();
}

void TfCouCodeCollateraux::FormCreate()
{
    // Created from a button's handler: a read error must stop here.
    RunGuarded(QStringLiteral("TfCouCodeCollateraux.FormCreate"), [this] {
        if (!gReferences)
            return;
        const int count = gReferences->ColTypeCount();
        for (int i = 0; i < count; ++i) {
            const TCReferenceItem *type = gReferences->ColType(i);
            // The item carries the type's code, its selector.
            cbTypeCol->addItem(type->Libelle, type->Code);
        }
    });
    cbTypeCol->setCurrentIndex(0);
}

void TfCouCodeCollateraux::lstColDblClick()
{
    const int mode = cbTypeCol->currentIndex();
    if (mode < 0) {
        MsgBox(nullptr, QStringLiteral("Vous devez sélectionner un type de collatéral."), QStringLiteral("*APP*"), mfOk);
        return;
    }
    const QString selector = mode < FirstType ? ModeSelectors[mode] : QString::number(cbTypeCol->itemData(mode).toInt());
    QString code = QStringLiteral("£SA") + selector;
    if (mode != NewChoiceMode) {
        const QListWidgetItem *field = lstCol->currentItem();
        if (!field || !field->isSelected())
            return;
        code += QStringLiteral(" : ") + field->text();
    }
    code += u'#';
    RunGuarded(QStringLiteral("TfCouCodeCollateraux.lstColDblClick"), [&] { Insert(code); });
}

void TfCouCodeCollateraux::ListCodes(TCodeEntries &codes)
{
    for (int mode = 0; mode < cbTypeCol->count(); ++mode) {
        cbTypeCol->setCurrentIndex(mode);
        if (mode == NewChoiceMode)
            codes.push_back({cbTypeCol->currentText(), CodeCategory(), CodeGivenBy([this] { lstColDblClick(); })});
        else
            ListEntryCodes(lstCol, CodeCategory(cbTypeCol->currentText()), codes);
    }
    cbTypeCol->setCurrentIndex(0);
}
