// The members of the practice (GLB_MEDECIN): one TCMedecin per row, and TCMedecins,
// the list of all of them, read the first time its size is asked for ("nom, prenom"
// order) and then kept. Whether a member is a doctor comes from est_medecin, or from the
// member's group (TCReferences) when est_medecin does not decide. Read errors pass on to
// the caller with the rows read so far left in the list.
#pragma once

#include <QString>

#include <memory>
#include <vector>

class TCConnexion;
class TCRecordSet;
class TCReferences;

/// One member of the practice; fields are named after the columns of GLB_MEDECIN.
class TCMedecin {
public:
    TCMedecin() = default;

    /// Fills the fields from the current row. `groupes` decides IsDoctor when est_medecin
    /// does not (no group list: not a doctor). Raises when a required column is missing
    /// or a value cannot be converted.
    void LoadFromDataSet(const TCRecordSet &recordSet, TCReferences *groupes);

    qint32 code_medecin = 0;
    QString nom;
    QString prenom;
    QString titre;
    QString titre_suite;
    QString initiales;
    qint32 code_groupe = 0;
    QString adresse;
    QString code_postal;
    QString ville;
    QString telephone1;
    qint32 type_tel1 = 0;
    QString telephone2;
    qint32 type_tel2 = 0;
    QString telephone3;
    qint32 type_tel3 = 0;
    QString telephone4;
    qint32 type_tel4 = 0;
    QString e_mail;
    QString mot_passe_medecin;
    QString mot_passe_secretaire;
    QString connected;
    /// Blanks and control characters trimmed at both ends, inner runs made one blank.
    QString dernier_responsable;
    /// Non-zero: no longer works in the practice.
    qint32 inactif = 0;
    QString info_pers1;
    QString info_pers2;
    QString info_pers3;
    QString info_pers4;
    // Columns that older databases lack: empty or 0 then.
    QString adeli;
    QString ref_interface;
    /// As read; 0 for NULL.
    qint32 est_medecin = 0;
    QString cps_empreinte;
    qint32 cps_numero = 0;
    /// Replacement doctor; always false for non-doctors.
    bool est_remplacant = false;

    bool IsDoctor = false;
    /// Rank among the active members in load order, from 0; -1 for inactive members and
    /// the technical accounts "superviseur" and "doctor".
    qint32 DisplayIndex = -1;
};

class TCMedecins {
public:
    /// Reads through `connexion` (not owned). Doctor groups come from `groupes` when
    /// given, else from gReferences, else from a group list of its own on `connexion`.
    explicit TCMedecins(TCConnexion *connexion, TCReferences *groupes = nullptr);
    ~TCMedecins();
    TCMedecins(const TCMedecins &) = delete;
    TCMedecins &operator=(const TCMedecins &) = delete;

    /// The number of members, loading them ("nom, prenom") on the first call. Raises what
    /// the load raised; after a failed load the count is 0 and no new load is made.
    int Count();
    /// Loads the members in the order `order` (an ORDER BY list). Raises on a read
    /// error, leaving the count at 0 and the rows read so far in the list.
    void Charger(const QString &order);

    const std::vector<std::unique_ptr<TCMedecin>> &Items() const { return FItems; }
    /// The member at `index` in load order, or null outside the list.
    TCMedecin *Medecin(int index) const;

private:
    TCReferences *Groupes();

    TCConnexion *FConnexion;
    TCReferences *FGroupes;
    std::unique_ptr<TCReferences> FOwnGroupes;
    int FCount = -1;
    std::vector<std::unique_ptr<TCMedecin>> FItems;
};

/// The process-wide member list: created by the start-up sequence, freed by the close
/// timer.
extern TCMedecins *gMedecins;
