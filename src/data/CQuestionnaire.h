// The questionnaires of the practice database (QUE_QUESTIONNAIRE) and the lists of
// their questions (QUE_QUESTION through the links of QUE_TC_QUESTIONNAIRE_QUESTION).
//
// Data flow: TCQuestionnaires::Charger lists questionnaires; a questionnaire's
// ChargerListeQuestions appends its questions (a super-questionnaire gathers those of the
// questionnaires its sous_questionnaire lists), taking a question's definition from the
// process-wide question cache (CQuestion.h) when it holds it, else from the question-list
// row, with its modalities read when details are asked for. Loaders read through the
// connection they were given, else gConnexion. A question's fields need CQuestion.h,
// which includes this header.
#pragma once

#include <QString>

#include <functional>
#include <memory>
#include <vector>

class TCConnexion;
class TCQuestion;
class TCRecordSet;

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

    /// Appends to each questionnaire of the list, super-questionnaires left out, the
    /// questions its links name, in their order, all read in one statement: `columns` of
    /// the links and questions, the link's code_questionnaire among them; no details, no
    /// question cache. Raises nothing: an error is shown in the error window and the
    /// questions read before it stay.
    void ChargerQuestions(const QString &columns);

    /// The questionnaire at `index` in load order, or null outside the list.
    TCQuestionnaire *Items(int index) const;
    int Count() const { return int(FItems.size()); }

private:
    /// Runs `sql` in a transaction and hands each row to `readRow`; an error is shown
    /// with `failure` before its details, and the rows read before it stay.
    void ReadRows(const QString &sql, const QString &location, const QString &failure,
                  const std::function<void(const TCRecordSet &)> &readRow);

    TCConnexion *FConnexion;
    std::vector<std::unique_ptr<TCQuestionnaire>> FItems;
};

/// A cache of questionnaires that this tool creates but never fills.
class TCQuestionnaireCache {
public:
    const std::vector<std::unique_ptr<TCQuestionnaire>> &Items() const { return FItems; }
    int Count() const { return int(FItems.size()); }

private:
    std::vector<std::unique_ptr<TCQuestionnaire>> FItems;
};

/// The process-wide questionnaire cache, created empty by the program entry and freed
/// when it ends.
extern TCQuestionnaireCache *gQuestionnaireCache;
