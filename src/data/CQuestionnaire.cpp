// Questionnaires and the lists of their questions (see CQuestionnaire.h).
#include "CQuestionnaire.h"

#include "CQuestion.h"
#include "QuestionFields.h"
#include "config/CConnexion.h"
#include "support/ErrorMessageBox.h"
#include "support/StrMan.h"
#include "support/WinTools.h"

#include <QHash>
#include <QStringList>

using namespace QuestionFields;

TCQuestionnaireCache *gQuestionnaireCache = nullptr;

namespace {

const QString QuestionnairesLocation = QStringLiteral("TCQuestionnaires.Charger");
const QString ListeQuestionsLocation = QStringLiteral("TCQuestionnaire.ChargerListeQuestions");

} // namespace

// ---------------------------------------------------------------------------------------
// TCQuestionnaire

TCQuestionnaire::TCQuestionnaire(TCConnexion *connexion)
    : InterviewData(std::make_unique<TCInterviewData>())
    , FConnexion(connexion)
{
}

TCQuestionnaire::~TCQuestionnaire() = default;

TCConnexion *TCQuestionnaire::Cnx() const
{
    return Required(FConnexion ? FConnexion : gConnexion);
}

void TCQuestionnaire::LoadFromDataSet(const TCRecordSet &rs)
{
    ReadInt(rs, QStringLiteral("code_questionnaire"), code_questionnaire);
    ReadText(rs, QStringLiteral("libelle"), libelle);
    if (rs.HasField(QStringLiteral("est_super")))
        est_super = NullToInt(rs.FieldValue(QStringLiteral("est_super"))) == -1;
    ReadText(rs, QStringLiteral("sous_questionnaire"), sous_questionnaire);
    ReadBool(rs, QStringLiteral("hidden"), hidden);
    ReadText(rs, QStringLiteral("unique_id"), unique_id);
    ReadInt(rs, QStringLiteral("mode_sauvegarde"), mode_sauvegarde);
    ReadText(rs, QStringLiteral("fusion"), fusion);
    ReadInt(rs, QStringLiteral("lancer_formulaire"), lancer_formulaire);
    ReadInt(rs, QStringLiteral("fenetre_destination"), fenetre_destination);
    ReadInt(rs, QStringLiteral("question_date_reference"), question_date_reference);
    ReadInt(rs, QStringLiteral("duree_validite"), duree_validite);
    ReadInt(rs, QStringLiteral("type_duree_validite"), type_duree_validite);
    ReadInt(rs, QStringLiteral("int_libre"), int_libre);
    ReadText(rs, QStringLiteral("libelle_consult"), libelle_consult);
}

void TCQuestionnaire::ChargerSousQuestionnaire()
{
    std::unique_ptr<TCRecordSet> row;
    if (Cnx()->OpenRecordSet(QStringLiteral("SELECT sous_questionnaire FROM QUE_QUESTIONNAIRE WHERE code_questionnaire = ")
                                 + QString::number(code_questionnaire),
                             row, 0))
        LoadFromDataSet(*row);
}

void TCQuestionnaire::AppendQuestions(TCConnexion *connexion, qint32 code, bool withDetails, const QString &columns)
{
    const QString sql = QStringLiteral("SELECT ") + columns + QStringLiteral(" FROM que_tc_questionnaire_question , que_question ")
        + QStringLiteral("WHERE ( code_questionnaire = ") + QString::number(code) + QStringLiteral(" ) and ")
        + QStringLiteral("(que_tc_questionnaire_question.code_question = que_question.code_question) ")
        + QStringLiteral("ORDER by ordre");
    std::unique_ptr<TCRecordSet> rows;
    if (!connexion->OpenRecordSet(sql, rows, 0))
        return;
    for (; !rows->Eof(); rows->Next()) {
        auto question = std::make_unique<TCQuestion>(FConnexion);
        question->code_question = NullToInt(rows->FieldValue(QStringLiteral("code_question")));
        TCQuestion *cached = gQuestionCache ? gQuestionCache->Find(question->code_question) : nullptr;
        if (cached) {
            question->Assign(*cached);
        } else {
            question->LoadFromDataSet(*rows);
            if (withDetails) {
                question->ChargerModalites();
                if (gQuestionCache)
                    gQuestionCache->Add(*question);
            }
        }
        question->LoadLinkFromDataSet(*rows);
        Questions.push_back(std::move(question));
    }
}

void TCQuestionnaire::ChargerListeQuestions(bool withDetails, const QString &columns)
{
    if (code_questionnaire < 1)
        StringManager->RaiseWithContext(
            QStringLiteral("Appel à TCQuestionnaire.ChargerListeQuestions \r\nsans que code_question n'ai été défini !"),
            ListeQuestionsLocation);

    TCConnexion *connexion = FConnexion ? FConnexion : gConnexion;
    bool started = false;
    bool transactionReturned = false;

    if (est_super && !StringManager->CollapseBlanks(sous_questionnaire).isEmpty()) {
        QStringList items;
        SplitText(sous_questionnaire, QStringLiteral(",;"), items, true, true);
        try {
            Required(connexion);
            started = connexion->StartTransaction(ListeQuestionsLocation);
            transactionReturned = true;
            for (const QString &item : items) {
                // Empty items and items that are not integers are skipped. The code is
                // written in decimal: an integer given in hexadecimal would not be SQL.
                if (item.isEmpty() || !IsInteger(item))
                    continue;
                AppendQuestions(connexion, StrToIntDef(item, 0), withDetails, columns);
            }
            connexion->Commit(started);
        } catch (const std::exception &error) {
            if (transactionReturned)
                connexion->Rollback(started);
            ShowErrorMessage(nullptr,
                             QStringLiteral("Erreur lors du chargement de la défiition du SuperQuestionnaire.\r\nDétails : ")
                                 + ErrorText(error),
                             ListeQuestionsLocation, false);
        }
        return;
    }

    try {
        Required(connexion);
        started = connexion->StartTransaction(ListeQuestionsLocation);
        transactionReturned = true;
        AppendQuestions(connexion, code_questionnaire, withDetails, columns);
        connexion->Commit(started);
    } catch (const std::exception &) {
        // An ordinary questionnaire ends its load silently; its questions read so far stay.
        if (transactionReturned)
            connexion->Rollback(started);
    }
}

// ---------------------------------------------------------------------------------------
// TCQuestionnaires

TCQuestionnaires::TCQuestionnaires(TCConnexion *connexion)
    : FConnexion(connexion)
{
}

TCQuestionnaires::~TCQuestionnaires() = default;

TCQuestionnaire *TCQuestionnaires::Items(int index) const
{
    return index >= 0 && size_t(index) < FItems.size() ? FItems[size_t(index)].get() : nullptr;
}

void TCQuestionnaires::Charger(bool visibleOnly, const QString &codes, qint32 codeQuestion)
{
    const QString columns = QStringLiteral("code_questionnaire, libelle, est_super, hidden, fenetre_destination");
    QString sql;
    if (codeQuestion > 0)
        sql = QStringLiteral("SELECT QUE_QUESTIONNAIRE.code_questionnaire, libelle, est_super, hidden, fenetre_destination "
                             "FROM QUE_QUESTIONNAIRE INNER JOIN QUE_TC_QUESTIONNAIRE_QUESTION ON "
                             "QUE_QUESTIONNAIRE.code_questionnaire = QUE_TC_QUESTIONNAIRE_QUESTION.code_questionnaire "
                             "WHERE code_question = ")
            + QString::number(codeQuestion) + QStringLiteral(" ORDER BY libelle");
    else if (!codes.isEmpty())
        sql = QStringLiteral("SELECT ") + columns + QStringLiteral(" FROM QUE_QUESTIONNAIRE WHERE code_questionnaire IN (")
            + codes + QStringLiteral(") ORDER BY libelle");
    else if (visibleOnly)
        sql = QStringLiteral("SELECT ") + columns + QStringLiteral(" FROM QUE_QUESTIONNAIRE WHERE hidden = 0 ORDER BY libelle");
    else
        sql = QStringLiteral("SELECT ") + columns + QStringLiteral(" FROM QUE_QUESTIONNAIRE ORDER BY libelle");

    ReadRows(sql, QuestionnairesLocation, QStringLiteral("Erreur lors du chargement de la liste des questionnaires\r\n"),
             [this](const TCRecordSet &row) {
                 auto questionnaire = std::make_unique<TCQuestionnaire>(FConnexion);
                 questionnaire->LoadFromDataSet(row);
                 FItems.push_back(std::move(questionnaire));
             });
}

void TCQuestionnaires::ChargerQuestions(const QString &columns)
{
    QHash<qint32, TCQuestionnaire *> byCode;
    for (const auto &questionnaire : FItems)
        if (!questionnaire->est_super)
            byCode.insert(questionnaire->code_questionnaire, questionnaire.get());
    const QString sql = QStringLiteral("SELECT ") + columns
        + QStringLiteral(" FROM que_tc_questionnaire_question , que_question "
                         "WHERE que_tc_questionnaire_question.code_question = que_question.code_question "
                         "ORDER BY que_tc_questionnaire_question.code_questionnaire, ordre");
    ReadRows(sql, QStringLiteral("TCQuestionnaires.ChargerQuestions"),
             QStringLiteral("Erreur lors du chargement des questions des questionnaires\r\n"),
             [this, &byCode](const TCRecordSet &row) {
                 TCQuestionnaire *owner = byCode.value(NullToInt(row.FieldValue(QStringLiteral("code_questionnaire"))));
                 if (!owner)
                     return;
                 auto question = std::make_unique<TCQuestion>(FConnexion);
                 question->LoadFromDataSet(row);
                 question->LoadLinkFromDataSet(row);
                 owner->Questions.push_back(std::move(question));
             });
}

void TCQuestionnaires::ReadRows(const QString &sql, const QString &location, const QString &failure,
                                const std::function<void(const TCRecordSet &)> &readRow)
{
    TCConnexion *connexion = FConnexion ? FConnexion : gConnexion;
    bool started = false;
    try {
        Required(connexion);
        started = connexion->StartTransaction(location);
        std::unique_ptr<TCRecordSet> rows;
        if (connexion->OpenRecordSet(sql, rows, 0))
            for (; !rows->Eof(); rows->Next())
                readRow(*rows);
        connexion->Commit(started);
    } catch (const std::exception &error) {
        if (connexion)
            connexion->Rollback(started);
        ShowErrorMessage(nullptr, failure + ErrorText(error), location, false);
    }
}
