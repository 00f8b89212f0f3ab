#include "CQuestion.h"

#include "CMedecin.h"
#include "config/CConnexion.h"
#include "support/ErrorMessageBox.h"
#include "support/StrMan.h"
#include "support/WinTools.h"

#include <QStringList>

TCQuestionCache *gQuestionCache = nullptr;
TCQuestionnaireCache *gQuestionnaireCache = nullptr;

namespace {

const QString QuestionnairesLocation = QStringLiteral("TCQuestionnaires.Charger");
const QString ListeQuestionsLocation = QStringLiteral("TCQuestionnaire.ChargerListeQuestions");

QString ErrorText(const std::exception &error)
{
    if (const auto *own = dynamic_cast<const EScrivoError *>(&error))
        return own->Message();
    return QString::fromUtf8(error.what());
}

TCConnexion *Required(TCConnexion *connexion)
{
    if (!connexion)
        throw EScrivoError(QStringLiteral("Pas de connexion en cours"));
    return connexion;
}

// Optional columns: each reader leaves `field` as it is when the column is missing.
void ReadInt(const TCRecordSet &rs, const QString &column, qint32 &field)
{
    if (rs.HasField(column))
        field = NullToInt(rs.FieldValue(column));
}

void ReadText(const TCRecordSet &rs, const QString &column, QString &field)
{
    if (rs.HasField(column))
        field = NullToStr(rs.FieldValue(column));
}

void ReadBool(const TCRecordSet &rs, const QString &column, bool &field)
{
    if (rs.HasField(column))
        field = NullToInt(rs.FieldValue(column)) != 0;
}

void ReadDouble(const TCRecordSet &rs, const QString &column, QVariant &field)
{
    if (!rs.HasField(column))
        return;
    const QVariant value = rs.FieldValue(column);
    if (value.isNull()) {
        field = QVariant();
        return;
    }
    bool ok = false;
    const double number = value.toDouble(&ok);
    if (!ok)
        throw EScrivoError(QStringLiteral("'%1' n'est pas une valeur numérique correcte").arg(value.toString()));
    field = number;
}

// Link texts lose their leading and trailing blanks and control characters.
void ReadTrimmed(const TCRecordSet &rs, const QString &column, QString &field)
{
    if (rs.HasField(column))
        field = StringManager->TrimBlank(NullToStr(rs.FieldValue(column)));
}

} // namespace

// ---------------------------------------------------------------------------------------
// TCModalite

void TCModalite::LoadFromDataSet(const TCRecordSet &recordSet)
{
    code_modalite = NullToInt(recordSet.FieldValue(QStringLiteral("code_modalite")));
    libelle = NullToStr(recordSet.FieldValue(QStringLiteral("libelle")));
    ordre = NullToInt(recordSet.FieldValue(QStringLiteral("ordre")));
    est_masquee = NullToInt(recordSet.FieldValue(QStringLiteral("est_masquee"))) != 0;
    const QVariant value = recordSet.FieldValue(QStringLiteral("valeur"));
    valeur = value.isNull() ? 0.0 : value.toDouble();
    libelle_long = NullToStr(recordSet.FieldValue(QStringLiteral("libelle_long")));
}

void TCModalite::Assign(const TCModalite &source)
{
    code_modalite = source.code_modalite;
    libelle = source.libelle;
    ordre = source.ordre;
    est_masquee = source.est_masquee;
    valeur = source.valeur;
    libelle_long = source.libelle_long;
}

// ---------------------------------------------------------------------------------------
// TCQuestionSmall, TCQuestion

void TCQuestionSmall::LoadFromDataSet(const TCRecordSet &recordSet)
{
    ReadInt(recordSet, QStringLiteral("code_question"), code_question);
    ReadInt(recordSet, QStringLiteral("code_classe_question"), code_classe_question);
    ReadText(recordSet, QStringLiteral("libelle"), libelle);
    ReadInt(recordSet, QStringLiteral("type_question"), type_question);
}

TCQuestion::TCQuestion(TCConnexion *connexion)
    : FConnexion(connexion)
{
}

TCQuestion::~TCQuestion() = default;

TCConnexion *TCQuestion::Cnx() const
{
    return Required(FConnexion ? FConnexion : gConnexion);
}

void TCQuestion::LoadFromDataSet(const TCRecordSet &rs)
{
    ReadInt(rs, QStringLiteral("code_question"), code_question);
    ReadInt(rs, QStringLiteral("code_questionnaire"), code_questionnaire);
    ReadInt(rs, QStringLiteral("code_classe_question"), code_classe_question);
    // Read before the options, whose derived flags depend on it.
    ReadInt(rs, QStringLiteral("type_question"), type_question);
    ReadText(rs, QStringLiteral("libelle"), libelle);
    ReadDouble(rs, QStringLiteral("valeur_min"), valeur_min);
    ReadDouble(rs, QStringLiteral("valeur_max"), valeur_max);
    ReadBool(rs, QStringLiteral("non_reponse"), non_reponse);
    ReadBool(rs, QStringLiteral("derniere_reponse"), derniere_reponse);
    ReadInt(rs, QStringLiteral("hauteur"), hauteur);
    if (rs.HasField(QStringLiteral("type_option1"))) {
        type_option1 = NullToInt(rs.FieldValue(QStringLiteral("type_option1")));
        Type2Option1 = type_question == 2 && type_option1 != 0;
        Type3Option1 = type_question == 3 && type_option1 != 0;
    }
    if (rs.HasField(QStringLiteral("type_option2"))) {
        type_option2 = NullToInt(rs.FieldValue(QStringLiteral("type_option2")));
        Type3Option2 = type_question == 3 && type_option2 != 0;
        if (type_question == 2 && type_option2 != 0)
            Type2Option2 = type_option2;
    }
    ReadInt(rs, QStringLiteral("type_option3"), type_option3);
    ReadBool(rs, QStringLiteral("multiple"), multiple);
    if (rs.HasField(QStringLiteral("lecture_seule"))) {
        const qint32 value = NullToInt(rs.FieldValue(QStringLiteral("lecture_seule")));
        lecture_seule = value != 0;
        if (value == 2)
            LectureSeule2 = true;
    }
    ReadInt(rs, QStringLiteral("syntaxe"), syntaxe);
    ReadText(rs, QStringLiteral("expression"), expression);
    if (rs.HasField(QStringLiteral("chiffre_apres_virgule")))
        chiffre_apres_virgule = NullToInt(rs.FieldValue(QStringLiteral("chiffre_apres_virgule")), -1);
    ReadText(rs, QStringLiteral("unique_id"), unique_id);
    ReadText(rs, QStringLiteral("style_reponse"), style_reponse);
    ReadInt(rs, QStringLiteral("memoriser_derniere"), memoriser_derniere);
    ReadInt(rs, QStringLiteral("question_user_group"), question_user_group);
    ReadInt(rs, QStringLiteral("option_diver"), option_diver);
}

void TCQuestion::LoadLinkFromDataSet(const TCRecordSet &rs)
{
    ReadInt(rs, QStringLiteral("code_questionnaire_question"), code_questionnaire_question);
    ReadInt(rs, QStringLiteral("ordre"), ordre);
    ReadText(rs, QStringLiteral("saut"), saut);
    ReadBool(rs, QStringLiteral("est_invisible"), est_invisible);
    ReadInt(rs, QStringLiteral("syntaxe_valeur"), syntaxe_valeur);
    ReadTrimmed(rs, QStringLiteral("incidence_valeur"), incidence_valeur);
    ReadInt(rs, QStringLiteral("syntaxe_active"), syntaxe_active);
    ReadTrimmed(rs, QStringLiteral("incidence_active"), incidence_active);
    ReadInt(rs, QStringLiteral("syntaxe_sortie"), syntaxe_sortie);
    ReadTrimmed(rs, QStringLiteral("incidence_sortie"), incidence_sortie);
    ReadTrimmed(rs, QStringLiteral("incidence_brouillon"), incidence_brouillon);
}

void TCQuestion::LoadDoctorsIfNeeded() const
{
    // The program creates gMedecins at start-up; without it there is no list to fill.
    if (type_question == 9 && gMedecins && gMedecins->Count() == 0)
        gMedecins->Charger(QStringLiteral("nom, prenom"));
}

void TCQuestion::Charger(qint32 code, bool withModalities)
{
    std::unique_ptr<TCRecordSet> rows;
    if (!Cnx()->OpenRecordSet(QStringLiteral("SELECT * FROM QUE_QUESTION WHERE code_question = ") + QString::number(code),
                              rows, 0))
        StringManager->RaiseWithContext(
            QStringLiteral("Erreur dans le chargement de la définition d'une question.\r\n"
                           "Appel à  TCQuestion.Charger avec un n° de question inconnu (")
                + QString::number(code) + u')',
            QStringLiteral("TCQuestion.Charger"));
    LoadFromDataSet(*rows);
    if (withModalities && type_question == 2)
        ChargerModalites();
    LoadDoctorsIfNeeded();
}

void TCQuestion::ChargerModalites()
{
    Modalites.clear();
    std::unique_ptr<TCRecordSet> rows;
    if (!Cnx()->OpenRecordSet(QStringLiteral("SELECT * FROM QUE_MODALITE WHERE code_question = ")
                                  + QString::number(code_question) + QStringLiteral(" ORDER BY ordre"),
                              rows, 0))
        return;
    for (; !rows->Eof(); rows->Next()) {
        auto modalite = std::make_unique<TCModalite>();
        modalite->LoadFromDataSet(*rows);
        Modalites.push_back(std::move(modalite));
    }
}

void TCQuestion::Assign(TCQuestion &source)
{
    code_question = source.code_question;
    code_classe_question = source.code_classe_question;
    libelle = source.libelle;
    type_question = source.type_question;
    valeur_min = source.valeur_min;
    valeur_max = source.valeur_max;
    non_reponse = source.non_reponse;
    derniere_reponse = source.derniere_reponse;
    type_option1 = source.type_option1;
    Type2Option1 = source.Type2Option1;
    Type3Option1 = source.Type3Option1;
    type_option2 = source.type_option2;
    type_option3 = source.type_option3;
    Type3Option2 = source.Type3Option2;
    Type2Option2 = source.Type2Option2;
    hauteur = source.hauteur;
    multiple = source.multiple;
    lecture_seule = source.lecture_seule;
    syntaxe = source.syntaxe;
    expression = source.expression;
    chiffre_apres_virgule = source.chiffre_apres_virgule;
    unique_id = source.unique_id;
    style_reponse = source.style_reponse;
    memoriser_derniere = source.memoriser_derniere;
    question_user_group = source.question_user_group;
    option_diver = source.option_diver;

    if (source.type_question == 2 && source.Modalites.empty())
        source.ChargerModalites();
    Modalites.clear();
    for (const auto &modalite : source.Modalites) {
        auto copy = std::make_unique<TCModalite>();
        copy->Assign(*modalite);
        Modalites.push_back(std::move(copy));
    }
    LoadDoctorsIfNeeded();
}

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

    TCConnexion *connexion = FConnexion ? FConnexion : gConnexion;
    bool started = false;
    try {
        Required(connexion);
        started = connexion->StartTransaction(QuestionnairesLocation);
        std::unique_ptr<TCRecordSet> rows;
        if (connexion->OpenRecordSet(sql, rows, 0)) {
            for (; !rows->Eof(); rows->Next()) {
                auto questionnaire = std::make_unique<TCQuestionnaire>(FConnexion);
                questionnaire->LoadFromDataSet(*rows);
                FItems.push_back(std::move(questionnaire));
            }
        }
        connexion->Commit(started);
    } catch (const std::exception &error) {
        if (connexion)
            connexion->Rollback(started);
        ShowErrorMessage(nullptr, QStringLiteral("Erreur lors du chargement de la liste des questionnaires\r\n") + ErrorText(error),
                         QuestionnairesLocation, false);
    }
}

// ---------------------------------------------------------------------------------------
// TCQuestionCache

TCQuestion *TCQuestionCache::Find(qint32 code)
{
    for (const auto &entry : FItems) {
        if (entry->code_question == code) {
            entry->LastAccess = QDateTime::currentDateTime();
            return entry.get();
        }
    }
    return nullptr;
}

void TCQuestionCache::Add(TCQuestion &question)
{
    for (const auto &entry : FItems) {
        if (entry->code_question == question.code_question) {
            entry->LastAccess = QDateTime::currentDateTime();
            return;
        }
    }
    // The cache outlives the loaders' connections: its copies read through gConnexion.
    auto copy = std::make_unique<TCQuestion>();
    copy->Assign(question);
    copy->LastAccess = QDateTime::currentDateTime();
    FItems.push_back(std::move(copy));
}
