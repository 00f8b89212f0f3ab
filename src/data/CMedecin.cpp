#include "CMedecin.h"

#include "config/CConnexion.h"
#include "config/CReferences.h"
#include "support/StrMan.h"
#include "support/WinTools.h"

TCMedecins *gMedecins = nullptr;

namespace {

QString Text(const TCRecordSet &recordSet, const QString &column)
{
    return NullToStr(recordSet.FieldValue(column));
}

qint32 Integer(const TCRecordSet &recordSet, const QString &column)
{
    return NullToInt(recordSet.FieldValue(column));
}

QString OptionalText(const TCRecordSet &recordSet, const QString &column)
{
    return recordSet.HasField(column) ? Text(recordSet, column) : QString();
}

} // namespace

void TCMedecin::LoadFromDataSet(const TCRecordSet &recordSet, TCReferences *groupes)
{
    code_medecin = Integer(recordSet, QStringLiteral("code_medecin"));
    nom = Text(recordSet, QStringLiteral("nom"));
    prenom = Text(recordSet, QStringLiteral("prenom"));
    titre = Text(recordSet, QStringLiteral("titre"));
    titre_suite = Text(recordSet, QStringLiteral("titre_suite"));
    initiales = Text(recordSet, QStringLiteral("initiales"));
    code_groupe = Integer(recordSet, QStringLiteral("code_groupe"));
    adresse = Text(recordSet, QStringLiteral("adresse"));
    code_postal = Text(recordSet, QStringLiteral("code_postal"));
    ville = Text(recordSet, QStringLiteral("ville"));
    telephone1 = Text(recordSet, QStringLiteral("telephone1"));
    type_tel1 = Integer(recordSet, QStringLiteral("type_tel1"));
    telephone2 = Text(recordSet, QStringLiteral("telephone2"));
    type_tel2 = Integer(recordSet, QStringLiteral("type_tel2"));
    telephone3 = Text(recordSet, QStringLiteral("telephone3"));
    type_tel3 = Integer(recordSet, QStringLiteral("type_tel3"));
    telephone4 = Text(recordSet, QStringLiteral("telephone4"));
    type_tel4 = Integer(recordSet, QStringLiteral("type_tel4"));
    e_mail = Text(recordSet, QStringLiteral("e_mail"));
    mot_passe_medecin = Text(recordSet, QStringLiteral("mot_passe_medecin"));
    mot_passe_secretaire = Text(recordSet, QStringLiteral("mot_passe_secretaire"));
    connected = Text(recordSet, QStringLiteral("connected"));
    dernier_responsable = StringManager->CollapseBlanks(Text(recordSet, QStringLiteral("dernier_responsable")));
    inactif = Integer(recordSet, QStringLiteral("inactif"));
    info_pers1 = Text(recordSet, QStringLiteral("info_pers1"));
    info_pers2 = Text(recordSet, QStringLiteral("info_pers2"));
    info_pers3 = Text(recordSet, QStringLiteral("info_pers3"));
    info_pers4 = Text(recordSet, QStringLiteral("info_pers4"));
    adeli = OptionalText(recordSet, QStringLiteral("adeli"));
    ref_interface = OptionalText(recordSet, QStringLiteral("ref_interface"));

    // -1 and -9 decide on their own; NULL and any other value leave it to the group.
    const QVariant estMedecin = recordSet.FieldValue(QStringLiteral("est_medecin"));
    est_medecin = NullToInt(estMedecin);
    if (!estMedecin.isNull() && est_medecin == -9) {
        IsDoctor = false;
    } else if (!estMedecin.isNull() && est_medecin == -1) {
        IsDoctor = true;
    } else {
        TCReferenceItem *groupe = nullptr;
        IsDoctor = groupes && groupes->GroupeByCode(code_groupe, groupe) && groupe->EstMedecin();
    }

    cps_empreinte = OptionalText(recordSet, QStringLiteral("cps_empreinte"));
    cps_numero = recordSet.HasField(QStringLiteral("cps_numero")) ? Integer(recordSet, QStringLiteral("cps_numero")) : 0;

    est_remplacant = false;
    if (IsDoctor) {
        // Older databases lack the column, and its values are not always numbers.
        try {
            const QVariant value = recordSet.FieldValue(QStringLiteral("est_remplacant"));
            est_remplacant = !value.isNull() && NullToInt(value) != 0;
        } catch (const std::exception &) {
            est_remplacant = false;
        }
    }
}

TCMedecins::TCMedecins(TCConnexion *connexion, TCReferences *groupes)
    : FConnexion(connexion)
    , FGroupes(groupes)
{
}

TCMedecins::~TCMedecins() = default;

int TCMedecins::Count()
{
    if (FCount < 0)
        Charger(QStringLiteral("nom, prenom"));
    return FCount;
}

TCMedecin *TCMedecins::Medecin(int index) const
{
    return index >= 0 && size_t(index) < FItems.size() ? FItems[size_t(index)].get() : nullptr;
}

TCReferences *TCMedecins::Groupes()
{
    if (FGroupes)
        return FGroupes;
    if (gReferences)
        return gReferences;
    if (!FOwnGroupes)
        FOwnGroupes = std::make_unique<TCReferences>(FConnexion);
    return FOwnGroupes.get();
}

void TCMedecins::Charger(const QString &order)
{
    FCount = 0;
    // A load that failed earlier left its rows: reading again must not repeat them.
    FItems.clear();
    if (!FConnexion)
        throw EScrivoError(QStringLiteral("Pas de connexion en cours"));

    std::unique_ptr<TCRecordSet> rows;
    if (!FConnexion->OpenRecordSet(QStringLiteral("SELECT * FROM GLB_MEDECIN ORDER BY ") + order, rows, 0))
        return;
    TCReferences *groupes = Groupes();
    int displayIndex = -1;
    for (; !rows->Eof(); rows->Next()) {
        auto medecin = std::make_unique<TCMedecin>();
        medecin->LoadFromDataSet(*rows, groupes);
        if (medecin->inactif != 0 || medecin->nom.compare(QLatin1String("superviseur"), Qt::CaseInsensitive) == 0
            || medecin->nom.compare(QLatin1String("doctor"), Qt::CaseInsensitive) == 0)
            medecin->DisplayIndex = -1;
        else
            medecin->DisplayIndex = ++displayIndex;
        FItems.push_back(std::move(medecin));
    }
    FCount = int(FItems.size());
}
