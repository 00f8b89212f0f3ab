#include "CouCodeCorresp.h"

#include "support/Anchors.h"
#include "support/WinTools.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QListWidget>

namespace {

QFrame *NewPanel(QWidget *parent, const char *name, const QRect &geometry)
{
    auto *panel = new QFrame(parent);
    panel->setObjectName(QLatin1String(name));
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setGeometry(geometry);
    return panel;
}

} // namespace

TfCouCodeCorresp::TfCouCodeCorresp(TPickerHost *host)
    : TfPickerForm(host, QStringLiteral("Codes Correspondants"), QSize(384, 331))
{
    Panel1 = NewPanel(this, "Panel1", QRect(0, 0, 384, 45));
    SetAnchors(Panel1, Qt::LeftEdge | Qt::TopEdge | Qt::RightEdge);
    Label1 = new QLabel(QStringLiteral("N° du Correspondant : "), Panel1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->move(12, 16);
    Label1->adjustSize();
    cbNoCor = new QComboBox(Panel1);
    cbNoCor->setObjectName(QStringLiteral("cbNoCor"));
    cbNoCor->setEditable(false);
    cbNoCor->setGeometry(128, 12, 217, 21);
    Label1->setBuddy(cbNoCor); // names the list for screen readers
    cbNoCor->addItems({QStringLiteral("Correspondant X"), QStringLiteral("Correspondant 1"),
                       QStringLiteral("Correspondant 2"), QStringLiteral("Correspondant 3"),
                       QStringLiteral("Correspondant 4"), QStringLiteral("Correspondant 5"),
                       QStringLiteral("Correspondant 6")});
    cbNoCor->setCurrentIndex(0);

    Panel2 = NewPanel(this, "Panel2", QRect(0, 45, 384, 331 - 45));
    SetAnchors(Panel2, Qt::LeftEdge | Qt::TopEdge | Qt::RightEdge | Qt::BottomEdge);
    lstCode = new QListWidget(Panel2);
    lstCode->setObjectName(QStringLiteral("lstCode"));
    lstCode->setGeometry(16, 12, 361, 265);
    lstCode->setAccessibleName(QStringLiteral("Champs du correspondant"));
    SetAnchors(lstCode, Qt::LeftEdge | Qt::TopEdge | Qt::RightEdge | Qt::BottomEdge);
    OnItemChosen(lstCode, [this] { lstCodeDblClick(); });

    FormCreate();
}

void TfCouCodeCorresp::FormCreate()
{
    lstCode->addItems({QStringLiteral("nom"), QStringLiteral("prenom"), QStringLiteral("rue"),
                       QStringLiteral("code postal"), QStringLiteral("ville"), QStringLiteral("tel1"),
                       QStringLiteral("tel2"), QStringLiteral("tel3"), QStringLiteral("tel4"),
                       QStringLiteral("divers"), QStringLiteral("fonction"), QStringLiteral("si_courriel"),
                       QStringLiteral("courriel")});
    // Keyboard users start on an entry; a press beside the entries unselects it, so a
    // double click there still inserts nothing.
    lstCode->setCurrentRow(0);
}

void TfCouCodeCorresp::lstCodeDblClick()
{
    try {
        if (cbNoCor->currentIndex() < 0) {
            MsgBox(this, QStringLiteral("Vous devez d'abord sélectionner un n° de correspondant !"),
                   QStringLiteral("*APP*"), mfOk);
            return;
        }
        const QListWidgetItem *field = lstCode->currentItem();
        if (!field || !field->isSelected())
            return;
        const QString number = cbNoCor->currentText().right(1);
        Insert(QStringLiteral("[C") + number + QStringLiteral(" : ") + field->text() + u']');
    } catch (const std::exception &error) {
        // Never let an error cross the Qt event handler that called us.
        MsgBox(this, QString::fromUtf8(error.what()), QStringLiteral("*APP*"), mfOk | mfError);
    }
}

void TfCouCodeCorresp::ListCodes(TCodeEntries &codes)
{
    for (int number = 0; number < cbNoCor->count(); ++number) {
        cbNoCor->setCurrentIndex(number);
        ListEntryCodes(lstCode, CodeCategory(cbNoCor->currentText()), codes);
    }
    cbNoCor->setCurrentIndex(0);
}
