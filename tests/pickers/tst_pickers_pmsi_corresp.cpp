// The PMSI and correspondent pickers hosted in the real main window: every link and every
// list entry under every correspondent, each checked by the exact text that reached the
// document and one Ctrl+V per code.
#include "pickers/CouCodeCorresp.h"
#include "pickers/CouCodeDivers.h"
#include "pickers/CouCodePmsi.h"
#include "support/LumoUrl.h"
#include "testsupport/HostedMainWindow.h"

#include <QComboBox>
#include <QGroupBox>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

class TestPickersPmsiCorresp : public QObject {
    Q_OBJECT

    std::unique_ptr<HostedMainWindow> hosted;

    template <class Picker = QWidget> Picker *host(const char *button)
    {
        QTest::mouseClick(hosted->window()->findChild<QPushButton *>(button), Qt::LeftButton);
        return hosted->hosted<Picker>();
    }

private slots:
    void init() { hosted = std::make_unique<HostedMainWindow>(); }
    void cleanup() { hosted.reset(); }

    // A larger window gives the PMSI list more lines and its options box more width at the
    // bottom, and the correspondent list both.
    void listsFollowTheHostSize()
    {
        auto *pmsi = host<TfCouCodePmsi>("bPmsi");
        QVERIFY(pmsi);
        const QSize pmsiSize = pmsi->size();
        const QRect fields = pmsi->lstChamps->geometry(), options = pmsi->GroupBox1->geometry();
        auto *corresp = host<TfCouCodeCorresp>("bCorresp");
        QVERIFY(corresp);
        const QSize correspSize = corresp->size();
        const QRect codes = corresp->lstCode->geometry();

        hosted->window()->resize(700, 500);
        pmsi = host<TfCouCodePmsi>("bPmsi");
        const QSize pmsiGrowth = pmsi->size() - pmsiSize;
        QVERIFY(pmsiGrowth.width() > 0 && pmsiGrowth.height() > 0);
        QCOMPARE(pmsi->lstChamps->geometry(), fields.adjusted(0, 0, 0, pmsiGrowth.height()));
        QCOMPARE(pmsi->GroupBox1->geometry(), options.translated(0, pmsiGrowth.height()).adjusted(0, 0, pmsiGrowth.width(), 0));
        corresp = host<TfCouCodeCorresp>("bCorresp");
        const QSize correspGrowth = corresp->size() - correspSize;
        QCOMPARE(corresp->lstCode->geometry(), codes.adjusted(0, 0, correspGrowth.width(), correspGrowth.height()));
    }

    void pmsiLinks_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("inserted");
        const auto row = [](const char *name, const char *caption, const char *inserted) {
            QTest::newRow(name) << name << QString::fromUtf8(caption) << QString::fromUtf8(inserted);
        };
        row("urlOnglet0", "patiente", "£PMO:0#");
        row("urlOnglet1", "enfant n°1", "£PMO:1#");
        row("urlOnglet2", "enfant n°2", "£PMO:2#");
        row("urlOnglet3", "enfant n°3", "£PMO:3#");
        row("urlColonne", "colonne", "£PMO:colonne#");
        row("urlLigne", "ligne", "£PMO:ligne#");
        row("urlMode0", "complet", "£PMO:complet#");
        row("urlMode1", "code", "£PMO:code#");
        row("urlMode2", "libellé", "£PMO:libelle#");
        row("urlMode3", "muet", "£PMO:muet#");
        row("urlPMA", "tous", "£PMA:tous#");
        row("urlPMD", "tous", "£PMD:tous#");
        row("urlDiag1", "principal", "£PMD:principal#");
        row("urlPMD2", "secondaires", "£PMD:secondaires#");
    }
    void pmsiLinks()
    {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QString, inserted);
        auto *pmsi = host<TfCouCodePmsi>("bPmsi");
        QVERIFY(pmsi);
        auto *link = pmsi->GroupBox1->findChild<TLumoUrl *>(name);
        QVERIFY(link);
        QCOMPARE(link->Caption(), caption);
        QVERIFY(!link->toolTip().isEmpty());
        QCOMPARE(hosted->clickLink(pmsi->GroupBox1, name), inserted);
        QCOMPARE(hosted->messages().texts(), QStringList());
    }

    void pmsiFields_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("inserted");
        const char *rows[][2] = {
            {"nom", "nom"}, {"prénom", "prenom"}, {"date naissance", "date_naissance"}, {"sexe", "sexe"},
            {"poids", "poids"}, {"rang", "rang"}, {"nb scéance", "nb_sceance"}, {"premiere", "premiere"},
            {"igs2", "igs2"}, {"no ss", "no_ss"}, {"date entrée", "date_entree"}, {"date sortie", "date_sortie"},
            {"mode entrée", "mode_entree"}, {"mode sortie", "mode_sortie"}, {"provenance", "provenance"},
            {"destination", "destination"}};
        for (int row = 0; row < int(std::size(rows)); ++row)
            QTest::newRow(rows[row][0]) << row << QString::fromUtf8(rows[row][0])
                                        << QStringLiteral("£PMC:%1#").arg(rows[row][1]);
    }
    void pmsiFields()
    {
        QFETCH(int, row);
        QFETCH(QString, item);
        QFETCH(QString, inserted);
        auto *pmsi = host<TfCouCodePmsi>("bPmsi");
        QVERIFY(pmsi);
        QCOMPARE(pmsi->lstChamps->count(), 16);
        QListWidgetItem *entry = pmsi->lstChamps->item(row);
        QCOMPARE(entry->text(), item);
        QCOMPARE(hosted->chooseRow(pmsi->lstChamps, row), inserted);
    }

    void correspFieldsUnderEveryCorrespondent_data()
    {
        QTest::addColumn<int>("choice");
        for (int choice = 0; choice < 7; ++choice)
            QTest::addRow("Correspondant %c", "X123456"[choice]) << choice;
    }
    void correspFieldsUnderEveryCorrespondent()
    {
        QFETCH(int, choice);
        const QStringList fields = {"nom",  "prenom", "rue",    "code postal", "ville",       "tel1",    "tel2",
                                    "tel3", "tel4",   "divers", "fonction",    "si_courriel", "courriel"};
        const QString number = QStringLiteral("X123456").mid(choice, 1);
        auto *corresp = host<TfCouCodeCorresp>("bCorresp");
        QVERIFY(corresp);
        QVERIFY(!corresp->cbNoCor->isEditable());
        for (int i = 0; i < choice; ++i)
            QTest::keyClick(corresp->cbNoCor, Qt::Key_Down);
        QCOMPARE(corresp->cbNoCor->currentText(), "Correspondant " + number);
        QCOMPARE(corresp->lstCode->count(), fields.size());
        // The choice stays for several fields in a row.
        for (int row = 0; row < fields.size(); ++row) {
            QListWidgetItem *item = corresp->lstCode->item(row);
            QCOMPARE(item->text(), fields.at(row));
            QCOMPARE(hosted->chooseRow(corresp->lstCode, row),
                     QStringLiteral("£[C%1 : %2]#").arg(number, fields.at(row)));
        }
        QCOMPARE(hosted->messages().texts(), QStringList());
    }

    void categoryChosenWhileTheDocumentTakesTheFocus()
    {
        // The document is slow to take the focus: meanwhile the user picks another
        // category. The picker whose double click is still waiting outlives the wait.
        hosted->windowSystem().addWindow("Lent", false, /*takesFocus*/ false);
        hosted->window()->FTarget = QStringLiteral("-app=Lent");
        auto *corresp = host<TfCouCodeCorresp>("bCorresp");
        QPointer<TfCouCodeCorresp> waiting = corresp;
        QTimer::singleShot(100, hosted->window(), [this] { hosted->window()->bDivers->click(); });
        hosted->chooseRow(corresp->lstCode, 0);
        QVERIFY(waiting);
        QVERIFY(waiting->isHidden());
        QVERIFY(hosted->hosted<TfCouCodeDivers>());
        QTRY_VERIFY(!waiting);
        QCOMPARE(hosted->messages().texts().size(), 1); // the document never took the focus
    }

    void correspondentRequiredBeforeInserting()
    {
        auto *corresp = host<TfCouCodeCorresp>("bCorresp");
        QVERIFY(corresp);
        corresp->cbNoCor->setCurrentIndex(-1);
        QCOMPARE(hosted->chooseRow(corresp->lstCode, 1), QString());
        QCOMPARE(hosted->messages().texts(), QStringList{"Vous devez d'abord sélectionner un n° de correspondant !"});
        QCOMPARE(hosted->messages().requests().first().title, QStringLiteral("Tst_pickers_pmsi_corresp"));
        QCOMPARE(hosted->messages().requests().first().flags, 1);
    }
};

QTEST_MAIN(TestPickersPmsiCorresp)
#include "tst_pickers_pmsi_corresp.moc"
