// The questionnaire picker hosted in the main window, filled from the practice fixture on
// both engines: the lists, the exact codes of every option, the questionnaire given on the
// command line, and the replacement aid dialog driven while it runs modally.
#include "data/CQuestion.h"
#include "pickers/CouCodeQre.h"
#include "pickers/CouQonRemplacement.h"
#include "support/LumoRadio.h"
#include "support/LumoUrl.h"
#include "support/WinTools.h"
#include "testsupport/HostedMainWindow.h"
#include "testsupport/TestDatabases.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

namespace {

QTreeWidgetItem *Row(const QTreeWidget *view, const QString &caption)
{
    const auto found = view->findItems(caption, Qt::MatchExactly);
    return found.isEmpty() ? nullptr : found.first();
}

// Types a replacement into the row of `label` through F2.
void TypeReplacement(TfCouQonRemplacement *dialog, const QString &label, const QString &text)
{
    QTreeWidgetItem *item = dialog->lv->findItems(label, Qt::MatchExactly, 1).value(0);
    QVERIFY(item);
    dialog->lv->setCurrentItem(item);
    QTest::keyClick(dialog->lv, Qt::Key_F2);
    QLineEdit *editor = nullptr;
    QTRY_VERIFY((editor = dialog->lv->findChild<QLineEdit *>()));
    QTest::keyClicks(editor, text);
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_VERIFY(!dialog->lv->findChild<QLineEdit *>());
}

} // namespace

// Declares `picker`, hosted on the test connection of the current engine (skips when the
// engine is unavailable), the command line having named `questionnaireId`.
#define OPEN_PICKER(picker, questionnaireId)                                                    \
    QFETCH(QString, engine);                                                                    \
    host = std::make_unique<HostedMainWindow>(); /* the connection needs the string manager */ \
    SCRIVO_OPEN_TEST_CONNEXION(opened, engine);                                                 \
    connexion = std::move(opened);                                                              \
    TfCouCodeQre *picker = hostPicker(questionnaireId);                                         \
    QVERIFY(picker)

class TestPickerQre : public QObject {
    Q_OBJECT

    std::unique_ptr<HostedMainWindow> host;
    std::unique_ptr<TCConnexion> connexion;

    // A fresh main window hosting the picker on the test's connection, the command line
    // having named `questionnaireId`.
    TfCouCodeQre *hostPicker(int questionnaireId = 0)
    {
        host.reset(); // before the new one: one set of process objects at a time
        host = std::make_unique<HostedMainWindow>();
        host->useConnexion(connexion.get());
        host->window()->FQuestionnaireId = questionnaireId;
        return host->host<TfCouCodeQre>();
    }

    // Shows the hidden questionnaires and selects "Questionnaire masqué" (25), which lists
    // the questions 101, 12, 13, 30 and 40.
    static void selectQuestionnaire25(TfCouCodeQre *picker)
    {
        picker->chkHidden->click();
        picker->lvQre->setCurrentItem(Row(picker->lvQre, QStringLiteral("Questionnaire masqué")));
    }
    QString choose(TfCouCodeQre *picker, const QString &caption)
    {
        picker->lvQon->setCurrentItem(Row(picker->lvQon, caption));
        return host->press(picker->lvQon);
    }

private slots:
    void cleanup()
    {
        host.reset();
        connexion.reset();
    }

    // Questionnaire 25 (hidden): the lists, the £QB/£QE links and the answer codes of
    // every option, one question row at a time and all at once.
    void codes_data() { AddEngineData(); }
    void codes()
    {
        OPEN_PICKER(picker, 0);
        QCOMPARE(host->captions(picker->lvQre), QStringList({"Anamnèse", "Bilan cardio-vasculaire", "Dépistage du diabète",
                                                       "Gériatrie : autonomie", "Nouveau questionnaire",
                                                       "Suivi de grossesse", "Synthèse annuelle", "* Questionnaire Dossier *"}));
        QVERIFY(!picker->urlQB->isEnabled());
        QCOMPARE(host->clickLink(picker, QStringLiteral("urlQE")), QStringLiteral("£QE#"));
        selectQuestionnaire25(picker);
        QCOMPARE(picker->lvQre->topLevelItemCount(), 9);
        QCOMPARE(host->captions(picker->lvQon), QStringList({"Tension artérielle systolique (mmHg)", "Poids", "Taille",
                                                       "Médecin traitant", "Tabac"}));
        QCOMPARE(host->clickLink(picker, QStringLiteral("urlQB")), QStringLiteral("£QB25#"));

        const struct {
            TLumoRadio *radio;
            bool inclure, mnemonique;
            const char *caption, *code;
        } cases[] = {
            {picker->rdDernier, false, false, "Poids", "£[QQD12 : Poids]#"},
            {picker->rdDernier, true, false, "Poids", "£Poids : [QQD12 : Poids]#"},
            {picker->rdDernier, false, true, "Poids", "£[QQD_POIDS : ]#"},
            {picker->rdDernier, true, true, "Poids", "£Poids : [QQD_POIDS : ]#"},
            {picker->rdDernier, false, true, "Taille", "£[QQD13 : Taille]#"}, // blank mnemonic
            {picker->rdDernier, false, true, "Médecin traitant", "£[QQD_MED :  (nom)]#"},
            {picker->rdAChoisir, false, false, "Médecin traitant", "£[QQC30 : Médecin traitant (nom)]#"},
            {picker->rdResume, false, false, "Poids", "£[QQC12 : Poids]#"},
            {picker->rdQSD, false, false, "Poids", "£[QSD12 : Poids]#"},
        };
        for (const auto &c : cases) {
            c.radio->SetValue(true);
            picker->chkInclure->SetValue(c.inclure);
            picker->chkMnemonique->SetValue(c.mnemonique);
            QCOMPARE(choose(picker, QString::fromUtf8(c.caption)), QString::fromUtf8(c.code));
        }
        picker->chkMnemonique->SetValue(false);

        // Real double clicks, the second on the question already selected: no editor
        // opens after it. Then an edited caption goes into the code.
        QTreeWidgetItem *row = Row(picker->lvQon, QStringLiteral("Poids"));
        for (int i = 0; i < 2; ++i) {
            QCOMPARE(host->chooseNode(picker->lvQon, row), QStringLiteral("£[QSD12 : Poids]#"));
            QTest::qWait(QApplication::doubleClickInterval() + 100);
            QVERIFY(!picker->lvQon->findChild<QLineEdit *>());
        }
        row->setText(0, QStringLiteral("Masse"));
        QCOMPARE(choose(picker, QStringLiteral("Masse")), QStringLiteral("£[QSD12 : Masse]#"));

        // Replacement aid asked for a question without modalities: the message, then the code.
        picker->chkRemplacement->SetValue(true);
        QCOMPARE(choose(picker, QStringLiteral("Taille")), QStringLiteral("£[QSD13 : Taille]#"));
        QCOMPARE(host->messages().texts(),
                 QStringList(QStringLiteral("L'aide aux remplacements n'est disponible que pouyr les questions à modalités")));
        host->messages().clear();

        // All at once, for each prefix: labels from the database (not the edited row), no
        // blank around ":", lines ended as text files end them here (no CR on Linux).
        QString all = QStringLiteral("£Tension artérielle systolique (mmHg) : [QQC101:Tension artérielle systolique (mmHg)]#\n"
                                 "£Poids : [QQC12:Poids]#\n£Taille : [QQC13:Taille]#\n"
                                 "£Médecin traitant : [QQC30:Médecin traitant]#\n£Tabac : [QQC40:Tabac]#\n");
#ifdef _WIN32
        all.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
#endif
        for (const auto &[radio, prefix] : {std::pair(picker->rdAChoisir, "[QQC"), std::pair(picker->rdDernier, "[QQD"),
                                            std::pair(picker->rdQSD, "[QSD")}) {
            radio->SetValue(true);
            QCOMPARE(host->clickLink(picker, QStringLiteral("urlInsererTout")),
                     QString(all).replace(QStringLiteral("[QQC"), QLatin1String(prefix)));
        }

        // Deselecting disables £QB and keeps the questions; no selected question, nothing.
        picker->lvQre->clearSelection();
        QVERIFY(!picker->urlQB->isEnabled());
        QCOMPARE(picker->lvQon->topLevelItemCount(), 5);
        picker->lvQon->clearSelection();
        QCOMPARE(host->insertedBy([&] { picker->lvQonDblClick(); }), QString());

        // A question gone from the database: the error window, nothing inserted.
        ListItemData(row)->Value = 999;
        QCOMPARE(choose(picker, QStringLiteral("Masse")), QString());
        QCOMPARE(host->messages().requests().size(), 1);
        QVERIFY(host->messages().texts().first().contains(QStringLiteral("n° de question inconnu (999)")));

        // An empty questionnaire inserts nothing at all.
        picker->lvQre->setCurrentItem(Row(picker->lvQre, QStringLiteral("Nouveau questionnaire")));
        QCOMPARE(host->clickLink(picker, QStringLiteral("urlInsererTout")), QString());
    }

    // What selecting a questionnaire lists, and its £QB code: a super-questionnaire lists
    // the questions of those it gathers, in their order; the patient file's questionnaire
    // has a caption of its own.
    void selectedQuestionnaire_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QStringList>("questions");
        QTest::addColumn<QString>("code");
        for (const QString &engine : {FirebirdEngine, MySqlEngine}) {
            QTest::addRow("%s super-questionnaire", qPrintable(engine))
                << engine << QStringLiteral("Suivi de grossesse")
                << QStringList({"Glycémie à jeun (g/l)", "Antécédents familiaux de diabète", "Fumeur ?", "Autonomie (score ADL)",
                                "Médecin référent"})
                << QStringLiteral("£QB20#");
            QTest::addRow("%s patient file", qPrintable(engine))
                << engine << QStringLiteral("* Questionnaire Dossier *") << QStringList() << QStringLiteral("£QB40#");
        }
    }
    void selectedQuestionnaire()
    {
        QFETCH(QString, caption);
        QFETCH(QStringList, questions);
        QFETCH(QString, code);
        OPEN_PICKER(picker, 0);
        picker->lvQre->setCurrentItem(Row(picker->lvQre, caption));
        QCOMPARE(host->captions(picker->lvQon), questions);
        QCOMPARE(host->clickLink(picker, QStringLiteral("urlQB")), code);
        QCOMPARE(host->messages().texts(), QStringList());
    }

    void replacementAid_data() { AddEngineData(); }
    void replacementAid()
    {
        OPEN_PICKER(picker, 0);
        selectQuestionnaire25(picker);
        QTest::mouseClick(picker->chkRemplacement, Qt::LeftButton, {}, QPoint(5, 8));

        // Runs `drive` on the dialog once it is modal; closes it if `drive` fails.
        auto whileModal = [](std::function<void(TfCouQonRemplacement *)> drive) {
            QTimer::singleShot(0, [drive] {
                auto closeOnFailure = qScopeGuard([] {
                    if (QWidget *modal = QApplication::activeModalWidget())
                        modal->close();
                });
                QTRY_VERIFY(qobject_cast<TfCouQonRemplacement *>(QApplication::activeModalWidget()));
                drive(static_cast<TfCouQonRemplacement *>(QApplication::activeModalWidget()));
            });
        };
        const QString tabac = QStringLiteral("Tabac");

        whileModal([](TfCouQonRemplacement *dialog) {
            QCOMPARE(dialog->windowTitle(), QStringLiteral("Aide aux remplacements"));
            QCOMPARE(dialog->lv->topLevelItemCount(), 3);
            QCOMPARE(dialog->lv->topLevelItem(2)->text(1), QStringLiteral("Ne sait pas"));
            // A multiple question starts in partial comparison; the user may change it.
            QVERIFY(dialog->chkModeEtendu->isChecked());
            dialog->chkModeEtendu->click();
            TypeReplacement(dialog, QStringLiteral("Oui"), QStringLiteral("fumeur"));
            TypeReplacement(dialog, QStringLiteral("Non"), QStringLiteral("non fumeur"));
            // Neither Enter nor Escape closes the window.
            QTest::keyClick(dialog, Qt::Key_Escape);
            QTest::keyClick(dialog, Qt::Key_Return);
            QVERIFY(dialog->isVisible());
            QTest::mouseClick(dialog->bOk, Qt::LeftButton);
        });
        QCOMPARE(choose(picker, tabac), QStringLiteral("£{[QQD40 : Tabac]}{Oui¤fumeur}{Non¤non fumeur}#"));

        whileModal([](TfCouQonRemplacement *dialog) {
            TypeReplacement(dialog, QStringLiteral("Oui"), QStringLiteral("fumeur"));
            TypeReplacement(dialog, QStringLiteral("Non"), QStringLiteral("non fumeur"));
            QTest::mouseClick(dialog->bOk, Qt::LeftButton);
        });
        QCOMPARE(choose(picker, tabac), QStringLiteral("£+{[QQD40 : Tabac]}{Oui¤fumeur}{Non¤non fumeur}#"));

        // Cancel, or OK with no replacement typed: nothing.
        whileModal([](TfCouQonRemplacement *dialog) {
            TypeReplacement(dialog, QStringLiteral("Oui"), QStringLiteral("fumeur"));
            dialog->bCancel->click();
        });
        QCOMPARE(choose(picker, tabac), QString());
        whileModal([](TfCouQonRemplacement *dialog) { QTest::mouseClick(dialog->bOk, Qt::LeftButton); });
        QCOMPARE(choose(picker, tabac), QString());
        QCOMPARE(host->messages().texts(), QStringList());
    }

    // "-qre=": the questionnaire selected at showing, the options it fixes.
    void questionnaireFromCommandLine_data() { AddEngineData(); }
    void questionnaireFromCommandLine()
    {
        OPEN_PICKER(picker, 7);
        QCOMPARE(picker->lvQre->selectedItems().value(0)->text(0), QStringLiteral("Bilan cardio-vasculaire"));
        QCOMPARE(host->captions(picker->lvQon),
                 QStringList({"Poids (kg)", "Tension artérielle systolique (mmHg)", "Remarques £ ¤ • € œ"}));
        QVERIFY(picker->rdAChoisir->Value() && !picker->rdDernier->Value());
        for (QWidget *disabled : std::initializer_list<QWidget *>{picker->urlQB, picker->urlQE, picker->rdDernier, picker->rdQSD})
            QVERIFY2(!disabled->isEnabled(), qPrintable(disabled->objectName()));
        QVERIFY(picker->rdResume->isEnabled());
        QCOMPARE(choose(picker, QStringLiteral("Poids (kg)")), QStringLiteral("£[QQC109 : Poids (kg)]#"));
        // Another questionnaire enables £QB again, and only it.
        picker->lvQre->setCurrentItem(Row(picker->lvQre, QStringLiteral("Anamnèse")));
        QVERIFY(picker->urlQB->isEnabled());
        QVERIFY(!picker->urlQE->isEnabled() && !picker->rdDernier->isEnabled() && !picker->rdQSD->isEnabled());

        // A hidden questionnaire named on the command line is listed anyway.
        picker = hostPicker(25);
        QCOMPARE(picker->lvQre->topLevelItemCount(), 9);
        QCOMPARE(picker->lvQre->selectedItems().value(0)->text(0), QStringLiteral("Questionnaire masqué"));

        // A questionnaire that does not exist: nothing selected, the options fixed all the same.
        picker = hostPicker(99);
        QVERIFY(picker->lvQre->selectedItems().isEmpty() && picker->rdAChoisir->Value());
        for (QWidget *disabled : std::initializer_list<QWidget *>{picker->urlQB, picker->urlQE, picker->rdDernier, picker->rdQSD})
            QVERIFY2(!disabled->isEnabled(), qPrintable(disabled->objectName()));
        QCOMPARE(host->messages().texts(), QStringList());
    }
};

QTEST_MAIN(TestPickerQre)
#include "tst_picker_qre.moc"
