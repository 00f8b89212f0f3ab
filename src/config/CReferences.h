// Small code tables of the practice database, each read the first time it is asked for
// and kept for the rest of the run: the groups of practice members (GLB_GROUPE), which
// tell whether a member belongs to a doctor group, and the collateral types
// (REF_TYPE_COLLATERAUX) that the collaterals picker offers.
//
// Each list has a load state: -1 not loaded yet (or its table gave no row, so the next
// question reads it again), -9 unavailable (the group table is missing; asked once),
// 0 or more the number of entries. Read errors pass on to the caller.
#pragma once

#include <QString>
#include <QVariant>

#include <memory>
#include <vector>

class TCConnexion;

/// One entry of a code table.
class TCReferenceItem {
public:
    qint32 Code = 0;
    QString Libelle;
    /// A second integer column; not filled for the tables read here.
    qint32 CodeAnnexe = 0;
    /// Groups: the integer of est_medecin (0 for NULL). Collateral types: unassigned.
    QVariant Valeur;
    /// Collateral types: -1, 0 or 1 as read, any other value 0. Groups: 0.
    qint32 Inactif = 0;

    /// True when Valeur is a number equal to -1.
    bool EstMedecin() const;
};

class TCReferences {
public:
    /// Reads through `connexion` (not owned), which must outlive this object.
    explicit TCReferences(TCConnexion *connexion);
    ~TCReferences();
    TCReferences(const TCReferences &) = delete;
    TCReferences &operator=(const TCReferences &) = delete;

    /// Loads the groups if needed; their number, 0 when the table is missing, -1 when it
    /// gave no row.
    int GroupeCount();
    /// The group at `Index` (from 0). Raises past the last group or below 0.
    TCReferenceItem *Groupe(int Index);
    /// The first group whose code is `Code`; false and a null `Item` when there is none.
    bool GroupeByCode(qint32 Code, TCReferenceItem *&Item);

    /// Loads the collateral types if needed; answers as GroupeCount.
    int ColTypeCount();
    /// The collateral type at `Index` (from 0). Raises past the last one or below 0.
    TCReferenceItem *ColType(int Index);

private:
    using ItemList = std::vector<std::unique_ptr<TCReferenceItem>>;
    int LoadGroupes();
    int LoadList(ItemList &list, int &state, const QString &table, const QString &codeColumn,
                 const QString &labelColumn);
    TCReferenceItem *ItemAt(ItemList &list, int count, int index, const QString &functionName);

    TCConnexion *FConnexion;
    ItemList FGroupes;
    int FGroupeState = -1;
    ItemList FColTypes;
    int FColTypeState = -1;
};

/// The process-wide reference lists: created by the start-up sequence, freed by the
/// close timer.
extern TCReferences *gReferences;
