// The questionnaire model against the practice fixture on both engines: questionnaire
// lists, question lists of ordinary and super-questionnaires, single questions with their
// modalities, the question cache and the doctor list that type 9 questions need; and, on
// a changed Firebird copy, the errors of each loader.
#include "testsupport/AlteredFirebird.h"
#include "testsupport/LeftGlobals.h"
#include "testsupport/TestDatabases.h"

#include "config/CConnexion.h"
#include "data/CMedecin.h"
#include "data/CQuestion.h"
#include "support/ErrorMessageBox.h"
#include "support/StrMan.h"

#include <QScopeGuard>
#include <QTest>
#include <QThread>

namespace {

const QString PickerColumns = QStringLiteral("que_question.code_question , libelle, type_question, est_invisible");
const QString IntegerError = QStringLiteral("'x' n'est pas une valeur entière correcte");

QString Codes(const TCQuestionnaires &list)
{
    QStringList codes;
    for (int i = 0; i < list.Count(); ++i)
        codes << QString::number(list.Items(i)->code_questionnaire);
    return codes.join(u' ');
}

QString Codes(const TCQuestionnaire &questionnaire)
{
    QStringList codes;
    for (const auto &q : questionnaire.Questions)
        codes << QString::number(q->code_question);
    return codes.join(u' ');
}

// A questionnaire read from its own row, as the picker gets it from the list.
std::unique_ptr<TCQuestionnaire> Questionnaire(TCConnexion &connexion, int code)
{
    auto questionnaire = std::make_unique<TCQuestionnaire>(&connexion);
    std::unique_ptr<TCRecordSet> row;
    if (connexion.OpenRecordSet(QStringLiteral("SELECT * FROM QUE_QUESTIONNAIRE WHERE code_questionnaire = %1").arg(code), row, 0))
        questionnaire->LoadFromDataSet(*row);
    return questionnaire;
}

QString ListQuestions(TCConnexion &connexion, int code, const QString &columns = PickerColumns)
{
    auto questionnaire = Questionnaire(connexion, code);
    questionnaire->ChargerListeQuestions(false, columns);
    return Codes(*questionnaire);
}

} // namespace

class tst_Questionnaires : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        FScope = std::make_unique<DatabaseTestScope>();
        gQuestionCache = new TCQuestionCache;
    }
    void cleanup()
    {
        FreeLeftGlobals();
        FScope.reset();
    }

    void questionnaireLists_data() { AddEngineData(); }
    void questionnaireLists()
    {
        QFETCH(QString, engine);
        SCRIVO_OPEN_TEST_CONNEXION(connexion, engine);
        TCQuestionnaires list(connexion.get());
        list.Charger(false, QString(), 0);
        QCOMPARE(Codes(list), QStringLiteral("3 7 12 15 30 25 20 21 40"));
        QCOMPARE(connexion->LastStatement(), QStringLiteral("SELECT code_questionnaire, libelle, est_super, hidden, "
                                                            "fenetre_destination FROM QUE_QUESTIONNAIRE ORDER BY libelle"));
        // est_super is true only for -1; the five columns only are read.
        const TCQuestionnaire &anamnese = *list.Items(0);
        const TCQuestionnaire &suivi = *list.Items(6);
        QCOMPARE(QStringList({anamnese.libelle, QString::number(anamnese.est_super), suivi.libelle, QString::number(suivi.est_super),
                              QString::number(suivi.fenetre_destination), suivi.sous_questionnaire, suivi.unique_id})
                     .join(u'|'),
                 QStringLiteral("Anamnèse|0|Suivi de grossesse|1|3||"));
        QVERIFY(list.Items(5)->hidden);
        QVERIFY(!list.Items(9));

        // Each load appends.
        list.Charger(true, QString(), 0);
        QCOMPARE(Codes(list), QStringLiteral("3 7 12 15 30 25 20 21 40 3 7 12 15 30 20 21 40"));
        TCQuestionnaires byCodes(connexion.get());
        byCodes.Charger(true, QStringLiteral("25,12"), 0);
        QCOMPARE(Codes(byCodes), QStringLiteral("12 25"));
        TCQuestionnaires byQuestion(connexion.get());
        byQuestion.Charger(true, QStringLiteral("25,12"), 102);
        QCOMPARE(Codes(byQuestion), QStringLiteral("3 12"));
        QCOMPARE(connexion->LastStatement(),
                 QStringLiteral("SELECT QUE_QUESTIONNAIRE.code_questionnaire, libelle, est_super, hidden, fenetre_destination "
                                "FROM QUE_QUESTIONNAIRE INNER JOIN QUE_TC_QUESTIONNAIRE_QUESTION ON "
                                "QUE_QUESTIONNAIRE.code_questionnaire = QUE_TC_QUESTIONNAIRE_QUESTION.code_questionnaire "
                                "WHERE code_question = 102 ORDER BY libelle"));
        QCOMPARE(FScope->messages().texts(), QStringList());
    }

    // Ordinary, super, blank super, "super" of 1 and empty questionnaires, with the
    // picker's columns: the cache is read, never filled.
    void questionLists_data() { AddEngineData(); }
    void questionLists()
    {
        QFETCH(QString, engine);
        SCRIVO_OPEN_TEST_CONNEXION(connexion, engine);
        TCQuestionnaire seven(connexion.get());
        seven.code_questionnaire = 7;
        seven.ChargerListeQuestions(false, PickerColumns);
        QCOMPARE(Codes(seven), QStringLiteral("109 101 107"));
        QCOMPARE(connexion->LastStatement(),
                 QStringLiteral("SELECT que_question.code_question , libelle, type_question, est_invisible FROM "
                                "que_tc_questionnaire_question , que_question WHERE ( code_questionnaire = 7 ) and "
                                "(que_tc_questionnaire_question.code_question = que_question.code_question) ORDER by ordre"));
        const TCQuestion &remarques = *seven.Questions[2];
        QCOMPARE(remarques.libelle + u'|' + QString::number(remarques.est_invisible) + u'|' + remarques.unique_id,
                 QStringLiteral("Remarques £ ¤ • € œ|1|"));

        QCOMPARE(ListQuestions(*connexion, 20), QStringLiteral("104 105 102 106 103")); // "12; 15,,abc;"
        QCOMPARE(ListQuestions(*connexion, 21), QStringLiteral("108"));                 // blank list
        QCOMPARE(ListQuestions(*connexion, 3), QStringLiteral("102"));                  // est_super 1
        QCOMPARE(ListQuestions(*connexion, 30), QString());
        QCOMPARE(gQuestionCache->Count(), 0);
        QCOMPARE(FScope->messages().texts(), QStringList());

        TCQuestionnaire none(connexion.get());
        try {
            none.ChargerListeQuestions(false, PickerColumns);
            QFAIL("no error");
        } catch (const EScrivoError &error) {
            QVERIFY(error.Message().startsWith(QStringLiteral(
                "Appel à TCQuestionnaire.ChargerListeQuestions \r\nsans que code_question n'ai été défini !\r\n")));
            QVERIFY(error.Message().contains(QStringLiteral("Func: TCQuestionnaire.ChargerListeQuestions")));
        }
    }

    // With details: every field of the definition and of the link, modalities in order,
    // one cache entry per question, and cached definitions reused on the next load.
    void detailsAndCache_data() { AddEngineData(); }
    void detailsAndCache()
    {
        QFETCH(QString, engine);
        SCRIVO_OPEN_TEST_CONNEXION(connexion, engine);
        gConnexion = connexion.get();
        QVERIFY(!gQuestionCache->Find(101));

        auto seven = Questionnaire(*connexion, 7);
        seven->ChargerListeQuestions(true, QStringLiteral("*"));
        QCOMPARE(Codes(*seven), QStringLiteral("109 101 107"));
        const TCQuestion &tas = *seven->Questions[1];
        QCOMPARE(QStringList({QString::number(tas.code_questionnaire_question), QString::number(tas.ordre),
                              QString::number(tas.syntaxe_valeur), tas.incidence_valeur, tas.valeur_min.toString(),
                              tas.valeur_max.toString(), QString::number(tas.derniere_reponse),
                              QString::number(tas.chiffre_apres_virgule), tas.unique_id, QString::number(tas.code_questionnaire),
                              QString::number(tas.memoriser_derniere)})
                     .join(u'|'),
                 QStringLiteral("701|2|1|TAS > 140|80|250|1|0|TAS|7|1"));
        const TCQuestion &rem = *seven->Questions[2];
        QCOMPARE(QStringList({rem.saut, QString::number(rem.est_invisible), QString::number(rem.syntaxe_active), rem.incidence_active,
                              QString::number(rem.syntaxe_sortie), rem.incidence_sortie, rem.incidence_brouillon,
                              QString::number(rem.type_option3), rem.style_reponse})
                     .join(u'|'),
                 QStringLiteral("Q101|1|1|actif|0|sortie|brouillon|1|memo"));
        QCOMPARE(gQuestionCache->Count(), 3);

        // The next load takes the definitions from the cache entries themselves.
        TCQuestion *cached = gQuestionCache->Find(109);
        QVERIFY(cached);
        const QDateTime firstAccess = cached->LastAccess;
        cached->libelle = QStringLiteral("Poids en cache");
        QThread::msleep(5);
        auto again = Questionnaire(*connexion, 7);
        again->ChargerListeQuestions(true, QStringLiteral("*"));
        QCOMPARE(again->Questions[0]->libelle, QStringLiteral("Poids en cache"));
        QCOMPARE(again->Questions[0]->ordre, 1);
        QVERIFY(cached->LastAccess > firstAccess);
        QCOMPARE(gQuestionCache->Count(), 3);

        // Adding a question already cached keeps its one entry.
        QThread::msleep(5);
        gQuestionCache->Add(*again->Questions[0]);
        QCOMPARE(gQuestionCache->Count(), 3);
        QVERIFY(gQuestionCache->Find(109) == cached);

        // A super-questionnaire caches the questions it gathers, with their modalities.
        auto super = Questionnaire(*connexion, 20);
        super->ChargerListeQuestions(true, QStringLiteral("*"));
        QCOMPARE(Codes(*super), QStringLiteral("104 105 102 106 103"));
        QCOMPARE(gQuestionCache->Count(), 8);
        QCOMPARE(gQuestionCache->Find(105)->Modalites.size(), size_t(2));
        QCOMPARE(super->Questions[1]->Modalites[0]->libelle, QStringLiteral("Oui • père ou mère"));
        QCOMPARE(FScope->messages().texts(), QStringList());
    }

    void questions_data() { AddEngineData(); }
    void questions()
    {
        QFETCH(QString, engine);
        SCRIVO_OPEN_TEST_CONNEXION(connexion, engine);
        TCQuestion fumeur(connexion.get());
        fumeur.Charger(102, true);
        QCOMPARE(connexion->LastStatement(), QStringLiteral("SELECT * FROM QUE_MODALITE WHERE code_question = 102 ORDER BY ordre"));
        QStringList modalites;
        for (const auto &m : fumeur.Modalites)
            modalites << QStringLiteral("%1 %2 %3 %4 %5 %6")
                             .arg(m->code_modalite)
                             .arg(m->libelle)
                             .arg(m->ordre)
                             .arg(m->est_masquee)
                             .arg(m->valeur)
                             .arg(m->libelle_long);
        QCOMPARE(modalites, (QStringList{QStringLiteral("1001 Non 1 0 0 "), QStringLiteral("1002 Oui, fumeur actif 2 0 1 Fumeur actif £ paquets-années ¤"),
                                         QStringLiteral("1003 Ancien fumeur 3 0 2 Sevré depuis plus d'un an"),
                                         QStringLiteral("1004 Ne sait pas 4 1 0 ")}));
        QCOMPARE(QStringList({QString::number(fumeur.Type2Option1), QString::number(fumeur.Type2Option2),
                              QString::number(fumeur.Type3Option1), QString::number(fumeur.non_reponse),
                              QString::number(fumeur.chiffre_apres_virgule), QString::number(fumeur.code_classe_question)})
                     .join(u'|'),
                 QStringLiteral("1|3|0|1|-1|2"));

        // A copy carries the modalities, loading those of a source that has none.
        TCQuestion source(connexion.get());
        source.Charger(102, false);
        QVERIFY(source.Modalites.empty());
        TCQuestion copy(connexion.get());
        copy.Assign(source);
        QCOMPARE(source.Modalites.size(), size_t(4));
        QCOMPARE(copy.Modalites.size(), size_t(4));
        QCOMPARE(copy.Modalites[3]->libelle, QStringLiteral("Ne sait pas"));

        TCQuestion glycemie(connexion.get());
        glycemie.Charger(104, true);
        QVERIFY(glycemie.valeur_max.isNull());
        QCOMPARE(glycemie.valeur_min.toDouble(), 0.5);
        QCOMPARE(glycemie.chiffre_apres_virgule, -1);
        QCOMPARE(glycemie.expression, QStringLiteral("GAJ > 1,26"));
        QVERIFY(glycemie.Modalites.empty());

        TCQuestion atcd(connexion.get());
        atcd.Charger(105, false);
        QVERIFY(atcd.lecture_seule && atcd.LectureSeule2 && atcd.multiple);
        QVERIFY(atcd.Modalites.empty());

        TCQuestion adl(connexion.get());
        adl.Charger(106, true);
        QVERIFY(adl.Type3Option1 && adl.Type3Option2 && !adl.Type2Option1 && adl.Type2Option2 == 0);
        QVERIFY(adl.Modalites.empty());

        TCQuestion unknown(connexion.get());
        try {
            unknown.Charger(999, true);
            QFAIL("no error");
        } catch (const EScrivoError &error) {
            QVERIFY(error.Message().startsWith(QStringLiteral("Erreur dans le chargement de la définition d'une question.\r\n"
                                                              "Appel à  TCQuestion.Charger avec un n° de question inconnu (999)\r\n")));
            QVERIFY(error.Message().contains(QStringLiteral("Func: TCQuestion.Charger")));
        }
    }

    // A type 9 question loads the doctor list only while it is empty.
    void doctorQuestion_data() { AddEngineData(); }
    void doctorQuestion()
    {
        QFETCH(QString, engine);
        SCRIVO_OPEN_TEST_CONNEXION(connexion, engine);
        gMedecins = new TCMedecins(connexion.get());
        TCQuestion medecin(connexion.get());
        medecin.Charger(103, true);
        QCOMPARE(gMedecins->Items().size(), size_t(10));

        TCQuestion again(connexion.get());
        again.Charger(103, true);
        QCOMPARE(connexion->LastStatement(), QStringLiteral("SELECT * FROM QUE_QUESTION WHERE code_question = 103"));
        QCOMPARE(again.question_user_group, 3);
        QCOMPARE(gMedecins->Items().size(), size_t(10));
    }

    // Unreadable values: the questionnaire list and a super-questionnaire show their
    // errors and keep what they read; an ordinary questionnaire ends silently. Columns
    // missing from an older question table keep their initial values.
    void readErrors()
    {
        SCRIVO_OPEN_ALTERED_FIREBIRD(connexion, {"ALTER TABLE QUE_QUESTIONNAIRE ALTER COLUMN est_super TYPE VARCHAR(10)",
                                                 "UPDATE QUE_QUESTIONNAIRE SET est_super = 'x' WHERE code_questionnaire = 12",
                                                 "UPDATE QUE_QUESTIONNAIRE SET sous_questionnaire = '$0C ; 15' WHERE code_questionnaire = 21",
                                                 "UPDATE QUE_QUESTIONNAIRE SET est_super = '-1' WHERE code_questionnaire = 21",
                                                 "ALTER TABLE QUE_QUESTION ALTER COLUMN hauteur TYPE VARCHAR(20)",
                                                 "UPDATE QUE_QUESTION SET hauteur = 'x' WHERE code_question = 106",
                                                 "ALTER TABLE QUE_QUESTION DROP chiffre_apres_virgule, DROP option_diver"});
        TCQuestionnaires list(connexion.get());
        list.Charger(false, QString(), 0);
        QCOMPARE(Codes(list), QStringLiteral("3 7"));
        QCOMPARE(FScope->messages().texts(),
                 QStringList{ErrorMessageText(nullptr, QStringLiteral("Erreur lors du chargement de la liste des questionnaires\r\n") + IntegerError,
                                              QStringLiteral("TCQuestionnaires.Charger"))});
        QCOMPARE(FScope->messages().requests().first().kind, MessageRequest::Kind::ErrorWindow);

        // The super-questionnaire 20 gathers 12, then fails on the first question of 15.
        FScope->messages().clear();
        QCOMPARE(ListQuestions(*connexion, 20, QStringLiteral("*")), QStringLiteral("104 105 102"));
        QCOMPARE(FScope->messages().texts(),
                 QStringList{ErrorMessageText(nullptr,
                                              QStringLiteral("Erreur lors du chargement de la défiition du SuperQuestionnaire.\r\nDétails : ")
                                                  + IntegerError,
                                              QStringLiteral("TCQuestionnaire.ChargerListeQuestions"))});
        FScope->messages().clear();
        QCOMPARE(ListQuestions(*connexion, 15, QStringLiteral("*")), QString());
        // A code written in hexadecimal is queried as the number it stands for.
        QCOMPARE(ListQuestions(*connexion, 21), QStringLiteral("104 105 102 106 103"));
        QCOMPARE(FScope->messages().texts(), QStringList());

        TCQuestion tas(connexion.get());
        tas.Charger(101, false);
        QCOMPARE(tas.chiffre_apres_virgule, 0);
        QCOMPARE(tas.option_diver, 0);
        QCOMPARE(tas.memoriser_derniere, 1);
    }

private:
    std::unique_ptr<DatabaseTestScope> FScope;
};

QTEST_MAIN(tst_Questionnaires)
#include "tst_questionnaires.moc"
