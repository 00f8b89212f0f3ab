// The prescription, miscellaneous and doctor pickers hosted in the main window: every
// link clicked and every list entry chosen gives its exact code.
#include "pickers/CouCodeDivers.h"
#include "pickers/CouCodeMedecin.h"
#include "pickers/CouCodeOrdo.h"
#include "pickers/WrkInputText.h"
#include "support/LumoRadio.h"
#include "support/LumoUrl.h"
#include "testsupport/HostedMainWindow.h"

#include <QLabel>
#include <QPushButton>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QtTest>

class TestPickers : public QObject {
    Q_OBJECT

    std::unique_ptr<HostedMainWindow> host;

private slots:
    void init() { host = std::make_unique<HostedMainWindow>(); }
    void cleanup() { host.reset(); }

    void linksInsertTheirCodes_data()
    {
        QTest::addColumn<QString>("picker");
        QTest::addColumn<QString>("link");
        QTest::addColumn<QString>("code");
        const QList<std::pair<const char *, const char *>> shared = {
            {"urlO1", "£ORD : TOUT#"}, {"urlO2", "£ORD : ALD#"}, {"urlO3", "£ORD : NON ALD#"},
            {"urlDDO", "£DDO#"}, {"urlDCO", "£DCO#"}, {"urlDateJour", "£T: Date du jour#"},
            {"urlMaintenant", "£T: maintenant¤jj/mm/aaaa hh:nn#"}, {"urlGlossaire", "£ZG: mettre_ici_mnemonique#"}};
        for (const char *picker : {"ordo", "divers"})
            for (const auto &[link, code] : shared)
                QTest::addRow("%s %s", picker, link) << picker << link << code;
        const QList<std::pair<const char *, const char *>> ordo = {
            {"urlO6", "£ORD : NBLIGNES#"}, {"urlO4", "£ORD : DATE#"}, {"urlO5", "£ORD : NOTE#"},
            {"urlO7", "£ORD : EXCIPIENT#"}, {"urlO8", "£ORD : RENOUVELER#"}};
        for (const auto &[link, code] : ordo)
            QTest::addRow("ordo %s", link) << "ordo" << link << code;
        const QList<std::pair<const char *, const char *>> divers = {
            {"urlSASA", "£SH : sa#"}, {"urlSaDdr", "£SH : ddr#"}, {"urlSaDdg", "£SH : ddg#"},
            {"utlNoPage", "£DNO: No Page#"}, {"urlNbPage", "£DNB: Nbre Page#"},
            {"urlRctDate", "£[RCD : date]#"}, {"urlRctDates", "£[RCD : dates]#"},
            {"urlRctActes", "£[RCD : actes]#"}, {"urlRctMontants", "£[RCD : montants]#"},
            {"urlDDC", "£DDC#"}, {"urlDDS", "£DDS : synthese#"}};
        for (const auto &[link, code] : divers)
            QTest::addRow("divers %s", link) << "divers" << link << code;
    }
    void linksInsertTheirCodes()
    {
        QFETCH(QString, picker);
        QFETCH(QString, link);
        QFETCH(QString, code);
        QWidget *form = picker == QLatin1String("ordo") ? static_cast<QWidget *>(host->host<TfCouCodeOrdo>())
                                                        : static_cast<QWidget *>(host->host<TfCouCodeDivers>());
        auto *url = form->findChild<TLumoUrl *>(link);
        QVERIFY(url);
        QVERIFY(url->isVisible());
        // Inside its group box's frame as the style draws it, not on the border.
        QVERIFY(url->parentWidget()->contentsRect().contains(url->geometry()));
        QCOMPARE(host->clickLink(form, link), code);
        QCOMPARE(host->insertedBy([url] { QTest::mouseClick(url, Qt::RightButton); }), QString());
        QCOMPARE(host->messages().texts(), QStringList());
    }

    void aChangedCaptionChangesThePrescriptionCode()
    {
        auto *ordo = host->host<TfCouCodeOrdo>();
        ordo->urlO2->SetCaption(QStringLiteral("Ajouter £ord : ald·été#"));
        QCOMPARE(host->clickLink(ordo, QStringLiteral("urlO2")), QStringLiteral("£ORD : ALD·éTé#"));
    }

    void questionsAskTheirWording_data()
    {
        QTest::addColumn<QString>("link");
        QTest::addColumn<int>("button");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("code");
        QTest::newRow("numeric") << "urlQuestionZN" << 1 << "Poids" << "£ZN:Poids#";
        QTest::newRow("free text") << "urlQuestionZC" << 1 << "Motif de la consultation" << "£ZC:Motif de la consultation#";
        QTest::newRow("date, special characters kept") << "urlQuestionZD" << 1 << "£x:#" << "£ZD:£x:##";
        QTest::newRow("cancelled") << "urlQuestionZD" << 2 << "" << QString();
        QTest::newRow("empty answer") << "urlQuestionZC" << 1 << "" << QString();
    }
    void questionsAskTheirWording()
    {
        QFETCH(QString, link);
        QFETCH(int, button);
        QFETCH(QString, answer);
        QFETCH(QString, code);
        auto *divers = host->host<TfCouCodeDivers>();
        host->messages().enqueue({button, answer});
        QCOMPARE(host->clickLink(divers, link), code);
        QCOMPARE(host->messages().requests().size(), 1);
        const MessageRequest &asked = host->messages().requests().first();
        QCOMPARE(asked.kind, MessageRequest::Kind::InputText);
        QCOMPARE(asked.title, QStringLiteral("Question posé à l'utilisateur"));
        QCOMPARE(asked.text, QStringLiteral("Entrez le libellé de la question : "));
    }

    void questionAskedThroughTheRealDialog()
    {
        auto *divers = host->host<TfCouCodeDivers>();
        MessageSeam::setHook({}); // the real dialog this time
        QTimer::singleShot(0, [] {
            QTRY_VERIFY(qobject_cast<TfWrkInputText *>(QApplication::activeModalWidget()));
            auto *dialog = static_cast<TfWrkInputText *>(QApplication::activeModalWidget());
            QCOMPARE(dialog->windowTitle(), QStringLiteral("Question posé à l'utilisateur"));
            QTest::keyClicks(dialog->mmTexte, QStringLiteral("  Poids  "));
            QTest::keyClick(dialog->mmTexte, Qt::Key_Return);
        });
        QCOMPARE(host->clickLink(divers, QStringLiteral("urlQuestionZN")), QStringLiteral("£ZN:Poids#"));
    }

    void versionLabel()
    {
        auto *divers = host->host<TfCouCodeDivers>();
        QVERIFY(divers->labelVersion->text().startsWith(QStringLiteral("version 6.0 rév ")));
    }

    void doctorFieldsUnderBothOptions()
    {
        auto *medecin = host->host<TfCouCodeMedecin>();
        QVERIFY(medecin->radioMedecin->Value());
        QVERIFY(!medecin->radioUser->Value());
        QListWidget *list = medecin->lstCodes;

        // The exact field of each entry, in order, under both options.
        const char *const fields[] = {"code medecin", "nom", "prenom", "titre", "titre suite", "initiales",
                                      "adresse", "code postal", "ville", "telephone 1", "telephone 2",
                                      "telephone 3", "telephone 4", "telephone ( )", "info pers 1", "info pers 2",
                                      "info pers 3", "info pers 4"};
        QCOMPARE(list->count(), int(std::size(fields)));
        for (int row = 0; row < list->count(); ++row) {
            QTest::mouseClick(medecin->radioMedecin, Qt::LeftButton);
            QCOMPARE(host->chooseRow(list, row), QStringLiteral("£[MR : %1]#").arg(fields[row]));
            QTest::mouseClick(medecin->radioUser, Qt::LeftButton);
            QVERIFY(!medecin->radioMedecin->Value());
            QCOMPARE(host->chooseRow(list, row), QStringLiteral("£[MU : %1]#").arg(fields[row]));
        }

        // The option holds while the picker stays; a new picker starts with the doctor.
        host->window()->ShowPicker(&TfCouCodeMedecin::staticMetaObject);
        QVERIFY(medecin->radioUser->Value());
        host->host<TfCouCodeOrdo>();
        QVERIFY(host->host<TfCouCodeMedecin>()->radioMedecin->Value());
    }

    void categoryButtonsHostTheirPickers()
    {
        TfScrivo *window = host->window();
        window->bOrdo->click();
        QVERIFY(host->hosted<TfCouCodeOrdo>());
        window->bDivers->click();
        QVERIFY(host->hosted<TfCouCodeDivers>());
        QVERIFY(!host->hosted<TfCouCodeOrdo>());
        window->bMedecin->click();
        QVERIFY(host->hosted<TfCouCodeMedecin>());
    }
};

QTEST_MAIN(TestPickers)
#include "tst_pickers.moc"
