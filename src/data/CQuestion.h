// The questionnaire model, read from the practice database: questionnaires
// (QUE_QUESTIONNAIRE), their questions (QUE_QUESTION through the links of
// QUE_TC_QUESTIONNAIRE_QUESTION) and the answer choices of a question (QUE_MODALITE).
//
// Data flow: TCQuestionnaires::Charger lists questionnaires; a questionnaire's
// ChargerListeQuestions appends its questions (a super-questionnaire gathers those of the
// questionnaires its sous_questionnaire lists), taking a question's definition from the
// process-wide question cache when it holds it; TCQuestion::Charger reads one question
// with its modalities. A question that draws on the doctor list loads gMedecins when it is
// still empty. Loaders read through the connection they were given, else gConnexion.
#pragma once

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

/// Answers recorded for a questionnaire; this tool never fills them.
class TCInterviewData {
};

class TCQuestionnaire {
public:
    /// Reads through `connexion` (not owned), or through gConnexion when none is given.
    explicit TCQuestionnaire(TCConnexion *connexion = nullptr);
    ~TCQuestionnaire();
    TCQuestionnaire(const TCQuestionnaire &) = delete;
    TCQuestionnaire &operator=(const TCQuestionnaire &) = delete;

    /// Fills the fields from the current row, each only when its column is present.
    void LoadFromDataSet(const TCRecordSet &recordSet);
    /// Reads sous_questionnaire from the row of code_questionnaire (the questionnaire
    /// list does not read that column). Raises what reading raises.
    void ChargerSousQuestionnaire();
    /// Appends the questions of the questionnaire (of the questionnaires it gathers, for a
    /// super-questionnaire) to Questions, reading `columns` from the links and questions.
    /// With `withDetails`, questions not yet cached are read with their modalities and
    /// cached. Raises when code_questionnaire is below 1; read errors end the load, keeping
    /// the questions read so far (a super-questionnaire shows them in the error window).
    void ChargerListeQuestions(bool withDetails, const QString &columns);

    qint32 code_questionnaire = 0;
    QString libelle;
    bool est_super = false;
    /// Codes of the questionnaires a super-questionnaire gathers, separated by "," or ";".
    QString sous_questionnaire;
    bool hidden = false;
    QString unique_id;
    qint32 mode_sauvegarde = 0;
    QString fusion;
    qint32 lancer_formulaire = 0;
    qint32 fenetre_destination = 0;
    qint32 question_date_reference = 0;
    qint32 duree_validite = 0;
    qint32 type_duree_validite = 0;
    qint32 int_libre = 0;
    QString libelle_consult;

    /// In load order.
    std::vector<std::unique_ptr<TCQuestion>> Questions;
    std::unique_ptr<TCInterviewData> InterviewData;

private:
    TCConnexion *Cnx() const;
    /// Appends one question per row of the question list of questionnaire `code`.
    void AppendQuestions(TCConnexion *connexion, qint32 code, bool withDetails, const QString &columns);

    TCConnexion *FConnexion;
};

class TCQuestionnaires {
public:
    /// Reads through `connexion` (not owned), or through gConnexion when none is given.
    explicit TCQuestionnaires(TCConnexion *connexion = nullptr);
    ~TCQuestionnaires();
    TCQuestionnaires(const TCQuestionnaires &) = delete;
    TCQuestionnaires &operator=(const TCQuestionnaires &) = delete;

    /// Appends questionnaires in label order (the list is not cleared): those holding the
    /// question `codeQuestion` when above 0, else those of the comma-separated `codes` when
    /// not empty, else the visible ones when `visibleOnly`, else all. Raises nothing: an
    /// error is shown in the error window and the questionnaires read before it stay.
    void Charger(bool visibleOnly, const QString &codes, qint32 codeQuestion);

    /// The questionnaire at `index` in load order, or null outside the list.
    TCQuestionnaire *Items(int index) const;
    int Count() const { return int(FItems.size()); }

private:
    TCConnexion *FConnexion;
    std::vector<std::unique_ptr<TCQuestionnaire>> FItems;
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

/// A cache of questionnaires that this tool creates but never fills.
class TCQuestionnaireCache {
public:
    const std::vector<std::unique_ptr<TCQuestionnaire>> &Items() const { return FItems; }
    int Count() const { return int(FItems.size()); }

private:
    std::vector<std::unique_ptr<TCQuestionnaire>> FItems;
};

/// The process-wide caches, created empty by the program entry and freed when it ends.
extern TCQuestionCache *gQuestionCache;
extern TCQuestionnaireCache *gQuestionnaireCache;
