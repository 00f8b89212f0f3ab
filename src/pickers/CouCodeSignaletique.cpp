#include "CouCodeSignaletique.h"

#include "config/COption.h"
#include "support/Anchors.h"
#include "support/StrMan.h"
#include "support/ErrorMessageBox.h"

#include <QHeaderView>
#include <QTreeWidget>

namespace {

const QString Bullet = QStringLiteral("•");

const char *const PatientFields[] = {
    "code patient", "nom", "prénom", "civilité", "sexe", "nom de naissance", "adresse", "rue 1", "rue 2",
    "code postal", "ville", "date de naissance", "lieu de naissance", "age", "téléphone 1", "téléphone 2",
    "téléphone 3", "téléphone 4", "téléphone( )", "libtel 1", "libtel 2", "libtel 3", "libtel 4", "profession",
    "connu depuis", "nro dossier", "suivi par", "statut", "hospitalise", "date sortie", "isp",
    "ipp(nom_passerelle)"};

const char *const ConjointFields[] = {
    "nom conjoint", "prénom conjoint", "dn conjoint", "adresse conjoint", "rue 1 conjoint", "rue 2 conjoint",
    "code postal conjoint", "ville conjoint", "téléphone conjoint 1", "téléphone conjoint 2",
    "téléphone conjoint 3", "téléphone conjoint 4", "téléphone conjoint( )", "libtel conjoint 1",
    "libtel conjoint 2", "libtel conjoint 3", "libtel conjoint 4", "profession conjoint"};

const char *const AssuranceFields[] = {
    "no securite sociale", "nom de l'assuré", "prénom de l'assuré", "dn assuré", "mémo sécu", "mémo aes",
    "tiers payant", "type de contrat"};

template <std::size_t N>
void AddFields(QTreeWidgetItem *group, const char *const (&fields)[N])
{
    for (const char *field : fields)
        new QTreeWidgetItem(group, QStringList{QString::fromUtf8(field)});
}

} // namespace

TfCouCodeSignaletique::TfCouCodeSignaletique(TPickerHost *host)
    : TfPickerForm(host, QStringLiteral("Codes Signalétiques"), QSize(444, 345))
{
    tvSig = new QTreeWidget(this);
    tvSig->setObjectName(QStringLiteral("tvSig"));
    tvSig->setGeometry(5, 7, 431, 329);
    tvSig->setHeaderHidden(true);
    // No header to read: the tree says what it holds.
    tvSig->setAccessibleName(QStringLiteral("Champs signalétiques"));
    tvSig->setColumnCount(1);
    tvSig->setIndentation(19);
    // A double click chooses a node; it must not also fold or unfold it.
    tvSig->setExpandsOnDoubleClick(false);
    SetAnchors(tvSig, Qt::LeftEdge | Qt::TopEdge | Qt::RightEdge | Qt::BottomEdge);
    for (const char *group : {"Patient", "Conjoint", "Assurances", "Champs libres"})
        tvSig->addTopLevelItem(new QTreeWidgetItem(QStringList{QString::fromUtf8(group)}));
    OnItemChosen(tvSig, [this] { tvSigDblClick(); });

    FormCreate();
}

void TfCouCodeSignaletique::FormCreate()
{
    AddFields(tvSig->topLevelItem(0), PatientFields);
    AddFields(tvSig->topLevelItem(1), ConjointFields);
    AddFields(tvSig->topLevelItem(2), AssuranceFields);
    QTreeWidgetItem *libres = tvSig->topLevelItem(3);
    for (int n = 1; n <= TCGlobaleOption::ChampLibreCount; ++n) {
        const QString label = GlobaleOption ? GlobaleOption->ChampLibreLibelle[n - 1] : QString();
        new QTreeWidgetItem(libres, QStringList{QStringLiteral("champ libre ") + QString::number(n) + u' ' + Bullet
                                                + u' ' + label});
    }
    tvSig->collapseAll();
}

void TfCouCodeSignaletique::tvSigDblClick()
{
    const QTreeWidgetItem *node = tvSig->currentItem();
    if (!node || !node->isSelected())
        return;
    // The free-field label after the bullet is for display only.
    const QString field = StringManager->TrimBlank(StringManager->Before(Bullet, node->text(0)));
    RunGuarded(QStringLiteral("TfCouCodeSignaletique.tvSigDblClick"),
               [&] { Insert(QStringLiteral("[SG : ") + field + u']'); });
}
