// The identity, antecedent and collateral pickers hosted in the main window, filled from
// the practice fixture on both engines (and from Firebird copies for the states the
// fixture lacks): what they list and the exact code each choice inserts. The search over
// every category, typed into, against what each category's own picker inserts.
#include "config/COption.h"
#include "config/CReferences.h"
#include "data/CAntecedent.h"
#include "pickers/CouCodeAntecedent.h"
#include "pickers/CouCodeCollateraux.h"
#include "pickers/CouCodeCorresp.h"
#include "pickers/CouCodeDivers.h"
#include "pickers/CouCodeMedecin.h"
#include "pickers/CouCodeOrdo.h"
#include "pickers/CouCodePmsi.h"
#include "pickers/CouCodeQre.h"
#include "pickers/CouCodeRecherche.h"
#include "pickers/CouCodeSignaletique.h"
#include "pickers/CouVariable.h"
#include "support/LumoRadio.h"
#include "support/WinTools.h"
#include "testsupport/AlteredFirebird.h"
#include "testsupport/HostedMainWindow.h"
#include "testsupport/LeftGlobals.h"
#include "testsupport/TestDatabases.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

namespace {

QTreeWidgetItem *node(QTreeWidget *tree, int group, int field)
{
    QTreeWidgetItem *item = tree->topLevelItem(group);
    return field < 0 ? item : item->child(field);
}
int rowOf(QListWidget *list, const char *text)
{
    const auto found = list->findItems(QString::fromUtf8(text), Qt::MatchExactly);
    return found.isEmpty() ? -1 : list->row(found.first());
}
int rowOf(QTreeWidget *tree, const char *text)
{
    const auto found = tree->findItems(QString::fromUtf8(text), Qt::MatchExactly);
    return found.isEmpty() ? -1 : tree->indexOfTopLevelItem(found.first());
}
// The questionnaire picker on questionnaire `caption`, its questions listed.
TfCouCodeQre *questionnaire(HostedMainWindow &host, const char *caption)
{
    auto *picker = host.host<TfCouCodeQre>();
    picker->lvQre->setCurrentItem(picker->lvQre->topLevelItem(rowOf(picker->lvQre, caption)));
    return picker;
}

// A search, the code its first result inserts, and how the category's picker gives it.
struct PickerChoice {
    const char *query;
    const char *code;
    QString (*choose)(HostedMainWindow &);
};
const PickerChoice PickerChoices[] = {
    {"nom naissance", "£[SG : nom de naissance]#",
     [](HostedMainWindow &host) {
         auto *tv = host.host<TfCouCodeSignaletique>()->tvSig;
         return host.chooseNode(tv, node(tv, 0, 5));
     }},
    {"MEDECIN traitant", "£[SG : champ libre 1]#",
     [](HostedMainWindow &host) {
         auto *tv = host.host<TfCouCodeSignaletique>()->tvSig;
         return host.chooseNode(tv, node(tv, 3, 0));
     }},
    {"pere ville", "£SA12 : Ville#",
     [](HostedMainWindow &host) {
         auto *picker = host.host<TfCouCodeCollateraux>();
         picker->cbTypeCol->setCurrentIndex(5);
         return host.chooseRow(picker->lstCol, rowOf(picker->lstCol, "Ville"));
     }},
    {"poids", "£[QQD109 : Poids (kg)]#",
     [](HostedMainWindow &host) {
         auto *picker = questionnaire(host, "Bilan cardio-vasculaire");
         return host.chooseRow(picker->lvQon, rowOf(picker->lvQon, "Poids (kg)"));
     }},
    {"referent medecin", "£[QQD103 : Médecin référent (nom)]#",
     [](HostedMainWindow &host) {
         auto *picker = questionnaire(host, "Gériatrie : autonomie");
         return host.chooseRow(picker->lvQon, rowOf(picker->lvQon, "Médecin référent"));
     }},
    {"depistage diab", "£QB12#",
     [](HostedMainWindow &host) { return host.clickLink(questionnaire(host, "Dépistage du diabète"), QStringLiteral("urlQB")); }},
    {"medicaux coeur", "£[ATC1 : Médicaux (cœur, poumons)]#",
     [](HostedMainWindow &host) {
         auto *picker = host.host<TfCouCodeAntecedent>();
         return host.chooseRow(picker->lstATCD, rowOf(picker->lstATCD, "Médicaux (cœur, poumons)"));
     }},
    {"retour non", "£ATO: retour non#",
     [](HostedMainWindow &host) { return host.clickLink(host.host<TfCouCodeAntecedent>(), QStringLiteral("urlRetourNon")); }},
    {"renouv", "£ORD : RENOUVELER#",
     [](HostedMainWindow &host) { return host.clickLink(host.host<TfCouCodeOrdo>(), QStringLiteral("urlO8")); }},
    {"date jour", "£T: Date du jour#",
     [](HostedMainWindow &host) { return host.clickLink(host.host<TfCouCodeDivers>(), QStringLiteral("urlDateJour")); }},
    {"derniere synthese", "£DDS : synthese#",
     [](HostedMainWindow &host) { return host.clickLink(host.host<TfCouCodeDivers>(), QStringLiteral("urlDDS")); }},
    {"titre suite", "£[MR : titre suite]#",
     [](HostedMainWindow &host) {
         auto *picker = host.host<TfCouCodeMedecin>();
         return host.chooseRow(picker->lstCodes, rowOf(picker->lstCodes, "titre suite"));
     }},
    {"courriel correspondant 3", "£[C3 : courriel]#",
     [](HostedMainWindow &host) {
         auto *picker = host.host<TfCouCodeCorresp>();
         picker->cbNoCor->setCurrentIndex(3);
         return host.chooseRow(picker->lstCode, rowOf(picker->lstCode, "courriel"));
     }},
    {"mode sortie", "£PMC:mode_sortie#",
     [](HostedMainWindow &host) {
         auto *picker = host.host<TfCouCodePmsi>();
         return host.chooseRow(picker->lstChamps, rowOf(picker->lstChamps, "mode sortie"));
     }},
    {"diagnostique principal", "£PMD:principal#",
     [](HostedMainWindow &host) { return host.clickLink(host.host<TfCouCodePmsi>(), QStringLiteral("urlDiag1")); }},
    {"rdv cardio", "£[VAR :date_rdv_cardio ]#",
     [](HostedMainWindow &host) {
         host.window()->bVariable->show();
         auto *picker = host.host<TfCouVariable>();
         return host.chooseRow(picker->lvVar, 1);
     }},
};

} // namespace

class TestPickersDb : public QObject {
    Q_OBJECT

    std::unique_ptr<HostedMainWindow> host;
    std::unique_ptr<TCConnexion> connexion;


    // The practice database as the start-up sequence leaves it: connected, global options
    // loaded, reference lists created.
    void useDatabase(std::unique_ptr<TCConnexion> opened)
    {
        connexion = std::move(opened);
        host->useConnexion(connexion.get());
        GlobaleOption->Charger();
        gReferences = new TCReferences(connexion.get());
    }
    // What typing `query` into the search (Ctrl+F), then Enter, inserts.
    QString searched(const QString &query)
    {
        // A window shortcut needs its window active (Windows does not make it so itself).
        host->window()->activateWindow();
        if (!QTest::qWaitForWindowActive(host->window()))
            return QStringLiteral("(the main window never became active)");
        return host->insertedBy([&] {
            QTest::keyClick(host->window(), Qt::Key_F, Qt::ControlModifier);
            auto *search = host->hosted<TfCouCodeRecherche>();
            QVERIFY(search && search->edRecherche->hasFocus());
            QTest::keyClicks(search->edRecherche, query);
            QTest::keyClick(search->edRecherche, Qt::Key_Return);
        });
    }

private slots:
    void init() { host = std::make_unique<HostedMainWindow>(); }
    void cleanup()
    {
        host.reset();
        FreeLeftGlobals();
        connexion.reset();
    }

    void identityCodes_data() { AddEngineData(); }
    void identityCodes()
    {
        QFETCH(QString, engine);
        SCRIVO_OPEN_TEST_CONNEXION(opened, engine);
        useDatabase(std::move(opened));
        host->window()->bSignalitique->click();
        auto *picker = host->hosted<TfCouCodeSignaletique>();
        QVERIFY(picker);
        QTreeWidget *tv = picker->tvSig;
        QCOMPARE(tv->topLevelItemCount(), 4);
        // Every node in order: the node text up to the bullet is the code's field name.
        // Free fields count from 1, their options from 0; an undefined label leaves the node bare.
        const std::vector<const char *> groups[] = {
            {"Patient", "code patient", "nom", "prénom", "civilité", "sexe", "nom de naissance", "adresse", "rue 1",
             "rue 2", "code postal", "ville", "date de naissance", "lieu de naissance", "age", "téléphone 1",
             "téléphone 2", "téléphone 3", "téléphone 4", "téléphone( )", "libtel 1", "libtel 2", "libtel 3",
             "libtel 4", "profession", "connu depuis", "nro dossier", "suivi par", "statut", "hospitalise",
             "date sortie", "isp", "ipp(nom_passerelle)"},
            {"Conjoint", "nom conjoint", "prénom conjoint", "dn conjoint", "adresse conjoint", "rue 1 conjoint",
             "rue 2 conjoint", "code postal conjoint", "ville conjoint", "téléphone conjoint 1",
             "téléphone conjoint 2", "téléphone conjoint 3", "téléphone conjoint 4", "téléphone conjoint( )",
             "libtel conjoint 1", "libtel conjoint 2", "libtel conjoint 3", "libtel conjoint 4",
             "profession conjoint"},
            {"Assurances", "no securite sociale", "nom de l'assuré", "prénom de l'assuré", "dn assuré", "mémo sécu",
             "mémo aes", "tiers payant", "type de contrat"},
            {"Champs libres", "champ libre 1 • Médecin traitant déclaré", "champ libre 2 • Allergies connues • voir dossier",
             "champ libre 3 • N° mutuelle £ ¤ tiers payant", "champ libre 4 • ", "champ libre 5 • ",
             "champ libre 6 • ", "champ libre 7 • ", "champ libre 8 • Cœur & œdème", "champ libre 9 • ",
             "champ libre 10 • ", "champ libre 11 • ", "champ libre 12 • ", "champ libre 13 • ",
             "champ libre 14 • ", "champ libre 15 • Dépassement € honoraires"}};
        for (int group = 0; group < 4; ++group) {
            QTreeWidgetItem *top = tv->topLevelItem(group);
            QCOMPARE(top->childCount(), (std::array{32, 18, 8, 15}[group]));
            QVERIFY(!top->isExpanded());
            QCOMPARE(top->text(0), QString::fromUtf8(groups[group][0]));
            for (int field = 0; field < top->childCount(); ++field)
                QCOMPARE(top->child(field)->text(0), QString::fromUtf8(groups[group][field + 1]));
        }

        // A group node is chosen like any field, and a double click does not unfold it.
        QCOMPARE(host->chooseNode(tv, node(tv, 0, -1)), QStringLiteral("£[SG : Patient]#"));
        QVERIFY(!tv->topLevelItem(0)->isExpanded());
        const struct {
            int group, field;
            const char *code;
        } choices[] = {{3, 11, "£[SG : champ libre 12]#"},   {3, 1, "£[SG : champ libre 2]#"},
                       {3, 7, "£[SG : champ libre 8]#"},     {0, 31, "£[SG : ipp(nom_passerelle)]#"},
                       {0, 18, "£[SG : téléphone( )]#"},     {1, 12, "£[SG : téléphone conjoint( )]#"},
                       {2, 1, "£[SG : nom de l'assuré]#"},   {2, 0, "£[SG : no securite sociale]#"}};
        for (const auto &choice : choices)
            QCOMPARE(host->chooseNode(tv, node(tv, choice.group, choice.field)), QString::fromUtf8(choice.code));
        QCOMPARE(host->chooseNode(tv, node(tv, 0, 13)), QStringLiteral("£[SG : age]#"));
        // Nothing selected, nothing inserted.
        tv->clearSelection();
        QCOMPARE(host->insertedBy([&] { picker->tvSigDblClick(); }), QString());
        QCOMPARE(host->messages().texts(), QStringList());
    }

    void collateralCodes_data() { AddEngineData(); }
    void collateralCodes()
    {
        QFETCH(QString, engine);
        SCRIVO_OPEN_TEST_CONNEXION(opened, engine);
        useDatabase(std::move(opened));
        host->window()->bCollateraux->click();
        auto *picker = host->hosted<TfCouCodeCollateraux>();
        QVERIFY(picker);
        QComboBox *cb = picker->cbTypeCol;
        QStringList items;
        for (int i = 0; i < cb->count(); ++i)
            items << cb->itemText(i);
        QCOMPARE(items.join(u'|'), QStringLiteral("Proposer tous|Utiliser dernier créé|Mode entête ordonnance|"
                                                  "Provoquer nouveau choix|Mère|Père|Conjoint(e)|Enfant|Frère • sœur|"
                                                  "Tuteur légal|Autre"));
        QCOMPARE(cb->currentIndex(), 0);
        QCOMPARE(host->captions(picker->lstCol).join(u'|'), QStringLiteral("Nom|Prénom|Date Naissance|Adresse|CodePostal|Ville"));

        const struct {
            int mode;
            const char *field;
            const char *code;
        } choices[] = {{0, "Nom", "£SAT : Nom#"},        {0, "CodePostal", "£SAT : CodePostal#"},
                       {1, "Prénom", "£SAD : Prénom#"},  {2, "Date Naissance", "£SAO : Date Naissance#"},
                       {3, "Ville", "£SAX#"},            {3, "Nom", "£SAX#"},
                       {5, "Nom", "£SA12 : Nom#"},       {4, "Adresse", "£SA13 : Adresse#"},
                       {10, "Nom", "£SA0 : Nom#"},       {9, "CodePostal", "£SA17 : CodePostal#"}};
        for (const auto &choice : choices) {
            cb->setCurrentIndex(choice.mode);
            QCOMPARE(host->chooseRow(picker->lstCol, rowOf(picker->lstCol, choice.field)), QString::fromUtf8(choice.code));
        }
        // The mode holds for several fields; with nothing selected only a new choice inserts.
        QCOMPARE(host->chooseRow(picker->lstCol, 5), QStringLiteral("£SA17 : Ville#"));
        picker->lstCol->clearSelection();
        QCOMPARE(host->insertedBy([&] { picker->lstColDblClick(); }), QString());
        cb->setCurrentIndex(3);
        QCOMPARE(host->insertedBy([&] { picker->lstColDblClick(); }), QStringLiteral("£SAX#"));
        QCOMPARE(host->messages().texts(), QStringList());

        // No mode: the message, nothing inserted.
        cb->setCurrentIndex(-1);
        QCOMPARE(host->chooseRow(picker->lstCol, 0), QString());
        QCOMPARE(host->messages().requests().size(), 1);
        const MessageRequest &request = host->messages().requests().first();
        QCOMPARE(request.text, QStringLiteral("Vous devez sélectionner un type de collatéral."));
        QCOMPARE(request.flags, int(mfOk));
        QVERIFY(!request.parent);

        // Coming back gives a fresh picker on the first mode.
        host->window()->bDivers->click();
        host->window()->bCollateraux->click();
        picker = host->hosted<TfCouCodeCollateraux>();
        QVERIFY(picker);
        QCOMPARE(picker->cbTypeCol->currentIndex(), 0);
        QCOMPARE(picker->cbTypeCol->count(), 11);
    }

    void antecedentCodes_data() { AddEngineData(); }
    void antecedentCodes()
    {
        QFETCH(QString, engine);
        SCRIVO_OPEN_TEST_CONNEXION(opened, engine);
        useDatabase(std::move(opened));
        QVERIFY(!gAntecedents);
        host->window()->bAntecedent->click();
        auto *picker = host->hosted<TfCouCodeAntecedent>();
        QVERIFY(picker);
        QVERIFY(gAntecedents);
        QCOMPARE(host->captions(picker->lstATCD).join(u'|'),
                 QStringLiteral("Allergies £ intolérances|Chirurgicaux|Familiaux • père, mère|Habitudes de vie ¤ tabac|"
                                "Médicaux (cœur, poumons)|Obstétricaux|Vaccinations € remboursées|Zona é è à ç œ £ ¤ • €"));
        QVERIFY(picker->radioATC->Value());
        QVERIFY(!picker->radioATD->Value());

        QCOMPARE(host->chooseRow(picker->lstATCD, 2), QStringLiteral("£[ATC3 : Familiaux]#"));
        QCOMPARE(host->chooseRow(picker->lstATCD, 0), QStringLiteral("£[ATC4 : Allergies £ intolérances]#"));
        // The other radio switches to codes without comments.
        QTest::mouseClick(picker->radioATD, Qt::LeftButton);
        QVERIFY(picker->radioATD->Value() && !picker->radioATC->Value());
        QCOMPARE(host->chooseRow(picker->lstATCD, 7), QStringLiteral("£[ATD99 : Zona é è à ç œ £ ¤]#"));
        QCOMPARE(host->chooseRow(picker->lstATCD, 4), QStringLiteral("£[ATD1 : Médicaux (cœur, poumons)]#"));
        picker->lstATCD->clearSelection();
        QCOMPARE(host->insertedBy([&] { picker->lstATCDDblClick(); }), QString());

        const std::pair<const char *, const char *> links[] = {
            {"urlNomOui", "£ATO: nom oui#"},         {"urlNomNon", "£ATO: nom non#"},
            {"urlRetourOui", "£ATO: retour oui#"},   {"urlRetourNon", "£ATO: retour non#"},
            {"urlDateOui", "£ATO: date oui#"},       {"urlDateNon", "£ATO: date non#"},
            {"urlColonne", "£ATO: mode colonne#"},   {"urlLigne", "£ATO: mode ligne#"},
            {"urlTousAvec", "£ATTC#"},               {"urlTousSans", "£ATTT#"},
            {"urlAllergiesCommentaires", "£AAC#"},   {"urlAllergiesSans", "£AA#"}};
        for (const auto &[name, code] : links)
            QCOMPARE(host->clickLink(picker, QLatin1String(name)), QString::fromUtf8(code));
        QCOMPARE(host->messages().texts(), QStringList());

        // The loaded list outlives the picker: coming back reads nothing, lists it once,
        // and starts again with comments.
        gReferences->ColTypeCount();
        const QString lastStatement = connexion->LastStatement();
        host->window()->bDivers->click();
        host->window()->bAntecedent->click();
        picker = host->hosted<TfCouCodeAntecedent>();
        QVERIFY(picker);
        QCOMPARE(connexion->LastStatement(), lastStatement);
        QCOMPARE(picker->lstATCD->count(), 8);
        QVERIFY(picker->radioATC->Value());
        // Unfolding the main window shows the picker again without repeating entries.
        host->window()->hide();
        host->window()->show();
        QCOMPARE(picker->lstATCD->count(), 8);
    }

    // Keys of any sign, labels cut at the first bullet and trimmed, a label that is all comment.
    void antecedentKeysAndLabels()
    {
        SCRIVO_OPEN_ALTERED_FIREBIRD(altered, {"DELETE FROM ANT_ANTECEDENT",
                                               "INSERT INTO ANT_ANTECEDENT VALUES (12, 'Diab' || ASCII_CHAR(232) || 'te ' || ASCII_CHAR(149) || ' suivi')",
                                               "INSERT INTO ANT_ANTECEDENT VALUES (-3, '  Divers  ')",
                                               "INSERT INTO ANT_ANTECEDENT VALUES (0, ASCII_CHAR(149) || ' tout')",
                                               "INSERT INTO ANT_ANTECEDENT VALUES (5, 'Hta ' || ASCII_CHAR(149) || ' a ' || ASCII_CHAR(149) || ' b')"});
        useDatabase(std::move(altered));
        auto *picker = host->host<TfCouCodeAntecedent>();
        QVERIFY(picker);
        const QStringList labels = host->captions(picker->lstATCD);
        const std::pair<const char *, const char *> withComments[] = {
            {"Diabète • suivi", "£[ATC12 : Diabète]#"}, {"  Divers  ", "£[ATC-3 : Divers]#"},
            {"• tout", "£[ATC0 : ]#"}, {"Hta • a • b", "£[ATC5 : Hta]#"}};
        for (const auto &[label, code] : withComments)
            QCOMPARE(host->chooseRow(picker->lstATCD, labels.indexOf(QString::fromUtf8(label))), QString::fromUtf8(code));
        QTest::mouseClick(picker->radioATD, Qt::LeftButton);
        QCOMPARE(host->chooseRow(picker->lstATCD, labels.indexOf(QStringLiteral("  Divers  "))), QStringLiteral("£[ATD-3 : Divers]#"));
        QCOMPARE(host->messages().texts(), QStringList());
    }

    // Per category, a search (case, accents and "œ" aside, the words in any order) and
    // the first result it inserts, which the category's own picker gives too.
    void searchGivesWhatPickersGive_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<int>("choice");
        for (const QString &engine : {FirebirdEngine, FirebirdServerEngine, MySqlEngine})
            for (int choice = 0; choice < int(std::size(PickerChoices)); ++choice)
                QTest::newRow(qPrintable(engine + u' ' + QLatin1String(PickerChoices[choice].query))) << engine << choice;
    }
    void searchGivesWhatPickersGive()
    {
        QFETCH(QString, engine);
        QFETCH(int, choice);
        SCRIVO_OPEN_TEST_CONNEXION(opened, engine);
        useDatabase(std::move(opened));
        host->window()->FVariables = std::make_unique<QStringList>(QStringList{"poids_naissance", "date_rdv_cardio"});
        const PickerChoice &expected = PickerChoices[choice];
        const QString code = QString::fromUtf8(expected.code);
        QCOMPARE(searched(QString::fromUtf8(expected.query)), code);
        QCOMPARE(expected.choose(*host), code);
        QCOMPARE(host->messages().texts(), QStringList());
    }

    // The search by keyboard alone: labels that begin with the word first, Down and Up
    // through the results, Enter on the selected one, a double click, Escape back to the
    // codes inserted (most recent first, each once), Ctrl+F back to the field.
    void searchByKeyboard()
    {
        SCRIVO_OPEN_TEST_CONNEXION(opened, FirebirdEngine);
        useDatabase(std::move(opened));
        host->window()->ShowCodeSearch();
        auto *search = host->hosted<TfCouCodeRecherche>();
        QVERIFY(search);
        QLineEdit *field = search->edRecherche;
        const auto shown = [search](int row, int column) {
            return search->lvCodes->model()->index(row, column).data().toString();
        };
        QCOMPARE(search->lvCodes->model()->rowCount(), 0);
        QVERIFY(!search->Index());

        // The collateral modes named "Mode ..." come earlier, as categories only.
        QTest::keyClicks(field, QStringLiteral("mode"));
        QCOMPARE(shown(0, 0), QStringLiteral("Mode commentaires : colonne"));
        for (Qt::Key key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Up})
            QTest::keyClick(field, key);
        QVERIFY(field->hasFocus());
        QCOMPARE(shown(1, 2), QStringLiteral("£ATO: mode ligne#"));
        QCOMPARE(host->press(search->lvCodes), QStringLiteral("£ATO: mode ligne#"));
        QCOMPARE(host->insertedBy([&] { QTest::keyClick(field, Qt::Key_Return); }), QStringLiteral("£ATO: mode ligne#"));
        QCOMPARE(host->chooseRow(search->lvCodes, 0), QStringLiteral("£ATO: mode colonne#"));

        QTest::keyClick(field, Qt::Key_Escape);
        QCOMPARE(field->text(), QString());
        QCOMPARE(host->captions(search->lvCodes), (QStringList{"£ATO: mode colonne#", "£ATO: mode ligne#"}));

        QTest::keyClicks(field, QStringLiteral("aucun code xyz"));
        QCOMPARE(search->lvCodes->model()->rowCount(), 0);
        QCOMPARE(host->insertedBy([&] { QTest::keyClick(field, Qt::Key_Return); }), QString());
        host->window()->bDivers->setFocus();
        QTest::keyClick(host->window()->bDivers, Qt::Key_F, Qt::ControlModifier);
        QCOMPARE(host->hosted<TfCouCodeRecherche>(), search);
        QVERIFY(field->hasFocus());
        QCOMPARE(field->selectedText(), QStringLiteral("aucun code xyz"));
        // From inside another picker, its first link holding the keyboard.
        QTest::keyClick(host->window(), Qt::Key_D, Qt::AltModifier);
        QTRY_VERIFY(host->hosted<TfCouCodeDivers>());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F, Qt::ControlModifier);
        QVERIFY(host->hosted<TfCouCodeRecherche>());
        QVERIFY(host->hosted<TfCouCodeRecherche>()->edRecherche->hasFocus());
        QCOMPARE(host->messages().texts(), QStringList());
    }

    // Empty tables: an empty category list, read again at the next showing; only the four modes.
    void emptyTables()
    {
        SCRIVO_OPEN_ALTERED_FIREBIRD(altered, {"DELETE FROM ANT_ANTECEDENT", "DELETE FROM REF_TYPE_COLLATERAUX"});
        useDatabase(std::move(altered));
        auto *antecedents = host->host<TfCouCodeAntecedent>();
        QVERIFY(antecedents);
        QCOMPARE(antecedents->lstATCD->count(), 0);
        QCOMPARE(host->doubleClickAt(antecedents->lstATCD, {10, 10}), QString());

        auto *collaterals = host->host<TfCouCodeCollateraux>();
        QVERIFY(collaterals);
        QCOMPARE(collaterals->cbTypeCol->count(), 4);
        gReferences->ColTypeCount();
        QCOMPARE(connexion->LastStatement(), QStringLiteral("SELECT * FROM REF_TYPE_COLLATERAUX ORDER BY ordre, libelle"));
        host->host<TfCouCodeAntecedent>();
        QCOMPARE(connexion->LastStatement(), QStringLiteral("SELECT * FROM ANT_ANTECEDENT ORDER BY libelle"));
        QCOMPARE(host->messages().texts(), QStringList());
    }
};

QTEST_MAIN(TestPickersDb)
#include "tst_pickers_db.moc"
