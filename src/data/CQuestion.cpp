// Questions, their modalities and the question cache (see CQuestion.h).
#include "CQuestion.h"

#include "CMedecin.h"
#include "QuestionFields.h"
#include "config/CConnexion.h"
#include "support/StrMan.h"
#include "support/WinTools.h"

using namespace QuestionFields;

TCQuestionCache *gQuestionCache = nullptr;

namespace {

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
