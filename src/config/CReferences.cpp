#include "CReferences.h"

#include "CConnexion.h"
#include "support/StrMan.h"
#include "support/WinTools.h"

TCReferences *gReferences = nullptr;

namespace {
// Load state of a list whose table is missing.
constexpr int Unavailable = -9;
} // namespace

bool TCReferenceItem::EstMedecin() const
{
    switch (Valeur.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
        return Valeur.toDouble() == -1;
    default:
        return false;
    }
}

TCReferences::TCReferences(TCConnexion *connexion)
    : FConnexion(connexion)
{
}

TCReferences::~TCReferences() = default;

int TCReferences::GroupeCount()
{
    return LoadGroupes();
}

TCReferenceItem *TCReferences::Groupe(int Index)
{
    return ItemAt(FGroupes, GroupeCount(), Index, QStringLiteral("TCReferences.Groupe"));
}

bool TCReferences::GroupeByCode(qint32 Code, TCReferenceItem *&Item)
{
    Item = nullptr;
    const int count = GroupeCount();
    for (int i = 0; i < count; ++i) {
        if (FGroupes[size_t(i)]->Code == Code) {
            Item = FGroupes[size_t(i)].get();
            return true;
        }
    }
    return false;
}

int TCReferences::ColTypeCount()
{
    return LoadList(FColTypes, FColTypeState, QStringLiteral("REF_TYPE_COLLATERAUX"),
                    QStringLiteral("code_type_collateraux"), QStringLiteral("libelle"));
}

TCReferenceItem *TCReferences::ColType(int Index)
{
    return ItemAt(FColTypes, ColTypeCount(), Index, QStringLiteral("TCReferences.ColType"));
}

TCReferenceItem *TCReferences::ItemAt(ItemList &list, int count, int index, const QString &functionName)
{
    if (index > count - 1)
        StringManager->RaiseWithContext(QStringLiteral("indice en dehors de la plage lors de l'appel à ") + functionName,
                                        functionName, QStringLiteral("TCReferences"));
    if (index < 0 || size_t(index) >= list.size())
        throw EScrivoError(QStringLiteral("Indice de liste hors limites (%1)").arg(index));
    return list[size_t(index)].get();
}

int TCReferences::LoadGroupes()
{
    if (FGroupeState >= 0)
        return FGroupeState;
    if (FGroupeState == Unavailable)
        return 0;

    // A practice database without groups is no error: the list stays empty for good.
    bool exists = false;
    try {
        exists = FConnexion && FConnexion->TableExist(QStringLiteral("GLB_GROUPE"));
    } catch (const std::exception &) {
        exists = false;
    }
    if (!exists) {
        FGroupeState = Unavailable;
        return 0;
    }

    FGroupes.clear();
    std::unique_ptr<TCRecordSet> rows;
    if (FConnexion->OpenRecordSet(QStringLiteral("SELECT * FROM GLB_GROUPE"), rows, 0)) {
        for (; !rows->Eof(); rows->Next()) {
            auto item = std::make_unique<TCReferenceItem>();
            item->Code = NullToInt(rows->FieldValue(QStringLiteral("code_groupe")));
            item->Libelle = NullToStr(rows->FieldValue(QStringLiteral("lib_groupe")));
            item->Valeur = NullToInt(rows->FieldValue(QStringLiteral("est_medecin")));
            FGroupes.push_back(std::move(item));
        }
        FGroupeState = int(FGroupes.size());
    }
    return FGroupeState;
}

int TCReferences::LoadList(ItemList &list, int &state, const QString &table, const QString &codeColumn,
                           const QString &labelColumn)
{
    if (state >= 0)
        return state;
    if (state == Unavailable)
        return 0;

    list.clear();
    if (!FConnexion)
        throw EScrivoError(QStringLiteral("Pas de connexion en cours"));
    std::unique_ptr<TCRecordSet> rows;
    // No row leaves the state at -1: the table is read again next time.
    if (FConnexion->OpenRecordSet(QStringLiteral("SELECT * FROM ") + table + QStringLiteral(" ORDER BY ordre, ") + labelColumn,
                                  rows, 0)) {
        for (; !rows->Eof(); rows->Next()) {
            auto item = std::make_unique<TCReferenceItem>();
            item->Code = NullToInt(rows->FieldValue(codeColumn));
            item->Libelle = NullToStr(rows->FieldValue(labelColumn));
            const int inactif = NullToInt(rows->FieldValue(QStringLiteral("inactif")));
            item->Inactif = (inactif >= -1 && inactif <= 1) ? inactif : 0;
            list.push_back(std::move(item));
        }
        state = int(list.size());
    }
    return state;
}
