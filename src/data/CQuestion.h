// The questions of the practice database (QUE_QUESTION), the answer choices of a
// question (QUE_MODALITE) and the process-wide question cache.
//
// Data flow: TCQuestion::Charger reads one question with its modalities; the questions
// a questionnaire lists (CQuestionnaire.h) are filled from its question-list rows, or
// copied from the question cache, which keeps copies of the questions read with their
// details. A question that draws on the doctor list loads gMedecins when it is still
// empty. Loaders read through the connection they were given, else gConnexion.
#pragma once

// The questionnaires that list the questions: with them this header gives the whole
// questionnaire model.
#include "CQuestionnaire.h"

#include <QDateTime>
#include <QString>
#include <QVariant>

#include <memory>
#include <vector>

class TCConnexion;
class TCRecordSet;

/// One answer choice of a question; every column is required.
class TCModalite {
public:
    void LoadFromDataSet(const TCRecordSet &recordSet);
    void Assign(const TCModalite &source);

    qint32 code_modalite = 0;
    QString libelle;
    qint32 ordre = 0;
    bool est_masquee = false;
    double valeur = 0;
    QString libelle_long;
};

/// A light question record. Every field is read only when its column is present.
class TCQuestionSmall {
public:
    virtual ~TCQuestionSmall() = default;
    virtual void LoadFromDataSet(const TCRecordSet &recordSet);

    qint32 code_question = 0;
    /// Filled by TCQuestion only.
    qint32 code_questionnaire = 0;
    qint32 code_classe_question = 0;
    QString libelle;
    qint32 type_question = 0;
};

class TCQuestion : public TCQuestionSmall {
public:
    /// Reads through `connexion` (not owned), or through gConnexion when none is given.
    explicit TCQuestion(TCConnexion *connexion = nullptr);
    ~TCQuestion() override;
    TCQuestion(const TCQuestion &) = delete;
    TCQuestion &operator=(const TCQuestion &) = delete;

    /// Fills the definition fields from the current row (a QUE_QUESTION row or a
    /// question-list row), each only when its column is present.
    void LoadFromDataSet(const TCRecordSet &recordSet) override;
    /// Fills the questionnaire-link fields from a question-list row.
    void LoadLinkFromDataSet(const TCRecordSet &recordSet);
    /// Loads the question `code`, with its modalities when `withModalities` and the type
    /// is 2. Raises for an unknown code, and what reading raises.
    void Charger(qint32 code, bool withModalities);
    /// Empties Modalites and reads them again in `ordre` order. Raises on a read error.
    void ChargerModalites();
    /// Copies the definition and the modalities of `source` (loading the source's
    /// modalities first when a type 2 source has none). Not copied: code_questionnaire,
    /// LectureSeule2, the link fields and LastAccess.
    void Assign(TCQuestion &source);

    // Definition
    QVariant valeur_min; ///< null for NULL, else a double
    QVariant valeur_max; ///< null for NULL, else a double
    bool non_reponse = false;
    bool derniere_reponse = false;
    qint32 hauteur = 0;
    qint32 type_option1 = 0;
    qint32 type_option2 = 0;
    qint32 type_option3 = 0;
    bool Type2Option1 = false;
    bool Type3Option1 = false;
    bool Type3Option2 = false;
    qint32 Type2Option2 = 0;
    bool multiple = false;
    bool lecture_seule = false;
    bool LectureSeule2 = false;
    qint32 syntaxe = 0;
    QString expression;
    /// -1 for NULL; 0 when the column is missing.
    qint32 chiffre_apres_virgule = 0;
    /// The question's mnemonic.
    QString unique_id;
    QString style_reponse;
    qint32 memoriser_derniere = 0;
    qint32 question_user_group = 0;
    qint32 option_diver = 0;

    // Link to the questionnaire that lists the question
    qint32 code_questionnaire_question = 0;
    qint32 ordre = 0;
    QString saut;
    bool est_invisible = false;
    qint32 syntaxe_valeur = 2;
    QString incidence_valeur;
    qint32 syntaxe_active = 2;
    QString incidence_active;
    qint32 syntaxe_sortie = 2;
    QString incidence_sortie;
    QString incidence_brouillon;

    /// In `ordre` order once loaded.
    std::vector<std::unique_ptr<TCModalite>> Modalites;
    /// When the question was last added to or found in the question cache (cache copies only).
    QDateTime LastAccess;

private:
    TCConnexion *Cnx() const;
    /// Loads gMedecins when a type 9 question finds it empty.
    void LoadDoctorsIfNeeded() const;

    TCConnexion *FConnexion;
};

/// Copies of the questions read with their details, in the order they were added; no
/// eviction.
class TCQuestionCache {
public:
    /// The cached question `code` itself (its LastAccess set to now), or null.
    TCQuestion *Find(qint32 code);
    /// Caches a copy of `question`, or only refreshes the LastAccess of the entry that
    /// already holds its code.
    void Add(TCQuestion &question);

    const std::vector<std::unique_ptr<TCQuestion>> &Items() const { return FItems; }
    int Count() const { return int(FItems.size()); }

private:
    std::vector<std::unique_ptr<TCQuestion>> FItems;
};

/// The process-wide question cache, created empty by the program entry and freed when it
/// ends.
extern TCQuestionCache *gQuestionCache;
