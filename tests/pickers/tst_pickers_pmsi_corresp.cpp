// The PMSI and correspondent pickers hosted in the real main window: every link, every
// list entry under every correspondent, the keyboard, and clicks beside the entries,
// each checked by the exact text that reached the document and one Ctrl+V per code.
#include "pickers/CouCodeCorresp.h"
#include "pickers/CouCodeDivers.h"
#include "pickers/CouCodePmsi.h"
#include "support/LumoUrl.h"
#include "testsupport/HostedMainWindow.h"

#include <QClipboard>
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
        return hosted->window()->panelHost->findChild<Picker *>(QString(), Qt::FindDirectChildrenOnly);
    }

    QString insertedBy(const std::function<void()> &action) { return hosted->insertedBy(action); }

    // A real double click: its first press selects what lies under the pointer.
    static void doubleClick(QListWidget *list, const QPoint &pos, QListWidgetItem *item)
    {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, pos);
        QVERIFY(!item || (list->currentItem() == item && item->isSelected()));
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, pos);
    }
    static void doubleClick(QListWidget *list, QListWidgetItem *item)
    {
        list->scrollToItem(item);
        doubleClick(list, list->visualItemRect(item).center(), item);
    }

private slots:
    void init() { hosted = std::make_unique<HostedMainWindow>(); }
    void cleanup() { hosted.reset(); }

    void listsFollowTheHostSize()
    {
        hosted->window()->resize(700, 500);
        auto *pmsi = host<TfCouCodePmsi>("bPmsi");
        QVERIFY(pmsi);
        const int dw = pmsi->width() - 428, dh = pmsi->height() - 288;
        QVERIFY(dw > 0 && dh > 0);
        QCOMPARE(pmsi->lstChamps->geometry(), QRect(5, 2, 416, 154 + dh));
        QCOMPARE(pmsi->GroupBox1->geometry(), QRect(5, 160 + dh, 421 + dw, 126));
        auto *corresp = host<TfCouCodeCorresp>("bCorresp");
        QVERIFY(corresp);
        QCOMPARE(corresp->lstCode->geometry(), QRect(16, 12, 361 + corresp->width() - 384, 265 + corresp->height() - 331));
    }

    void pmsiLinks_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<QString>("inserted");
        const auto row = [](const char *name, const char *caption, int x, int y, int w, const char *inserted) {
            QTest::newRow(name) << name << QString::fromUtf8(caption) << QRect(x, y, w, 17) << QString::fromUtf8(inserted);
        };
        row("urlOnglet0", "patiente", 52, 20, 44, "£PMO:0#");
        row("urlOnglet1", "enfant n°1", 52, 40, 59, "£PMO:1#");
        row("urlOnglet2", "enfant n°2", 52, 60, 59, "£PMO:2#");
        row("urlOnglet3", "enfant n°3", 52, 80, 59, "£PMO:3#");
        row("urlColonne", "colonne", 207, 20, 44, "£PMO:colonne#");
        row("urlLigne", "ligne", 207, 40, 29, "£PMO:ligne#");
        row("urlMode0", "complet", 322, 20, 44, "£PMO:complet#");
        row("urlMode1", "code", 322, 40, 44, "£PMO:code#");
        row("urlMode2", "libellé", 372, 40, 34, "£PMO:libelle#");
        row("urlMode3", "muet", 372, 20, 44, "£PMO:muet#");
        row("urlPMA", "tous", 207, 80, 29, "£PMA:tous#");
        row("urlPMD", "tous", 207, 98, 29, "£PMD:tous#");
        row("urlDiag1", "principal", 237, 98, 49, "£PMD:principal#");
        row("urlPMD2", "secondaires", 287, 98, 64, "£PMD:secondaires#");
    }
    void pmsiLinks()
    {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QRect, geometry);
        QFETCH(QString, inserted);
        auto *pmsi = host<TfCouCodePmsi>("bPmsi");
        QVERIFY(pmsi);
        auto *link = pmsi->GroupBox1->findChild<TLumoUrl *>(name);
        QVERIFY(link);
        QCOMPARE(link->Caption(), caption);
        QCOMPARE(link->geometry(), geometry);
        QVERIFY(!link->toolTip().isEmpty());
        QCOMPARE(insertedBy([link] { QTest::mouseClick(link, Qt::LeftButton); }), inserted);
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
        QCOMPARE(insertedBy([&] { doubleClick(pmsi->lstChamps, entry); }), inserted);
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
            QCOMPARE(insertedBy([&] { doubleClick(corresp->lstCode, item); }),
                     QStringLiteral("£[C%1 : %2]#").arg(number, fields.at(row)));
        }
        QCOMPARE(hosted->messages().texts(), QStringList());
    }

    void enterInsertsTheCurrentEntry_data()
    {
        QTest::addColumn<QByteArray>("button");
        QTest::addColumn<int>("correspondentDowns");
        QTest::addColumn<int>("entryDowns");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("inserted");
        QTest::newRow("fresh PMSI picker") << QByteArray("bPmsi") << 0 << 0 << int(Qt::Key_Enter) << "£PMC:nom#";
        QTest::newRow("nb scéance") << QByteArray("bPmsi") << 0 << 6 << int(Qt::Key_Return) << "£PMC:nb_sceance#";
        QTest::newRow("date entrée") << QByteArray("bPmsi") << 0 << 10 << int(Qt::Key_Enter) << "£PMC:date_entree#";
        QTest::newRow("fresh correspondent picker") << QByteArray("bCorresp") << 0 << 0 << int(Qt::Key_Return) << "£[CX : nom]#";
        QTest::newRow("6 tel4") << QByteArray("bCorresp") << 6 << 8 << int(Qt::Key_Return) << "£[C6 : tel4]#";
        QTest::newRow("2 code postal") << QByteArray("bCorresp") << 2 << 3 << int(Qt::Key_Enter) << "£[C2 : code postal]#";
        QTest::newRow("X courriel") << QByteArray("bCorresp") << 0 << 12 << int(Qt::Key_Return) << "£[CX : courriel]#";
    }
    void enterInsertsTheCurrentEntry()
    {
        QFETCH(QByteArray, button);
        QFETCH(int, correspondentDowns);
        QFETCH(int, entryDowns);
        QFETCH(int, key);
        QFETCH(QString, inserted);
        QWidget *picker = host(button.constData());
        QVERIFY(picker);
        if (auto *combo = picker->findChild<QComboBox *>("cbNoCor"))
            for (int i = 0; i < correspondentDowns; ++i)
                QTest::keyClick(combo, Qt::Key_Down);
        auto *list = picker->findChild<QListWidget *>();
        for (int i = 0; i < entryDowns; ++i)
            QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(insertedBy([&] { QTest::keyClick(list, Qt::Key(key)); }), inserted);
    }

    void doubleClickBesideTheEntries_data()
    {
        QTest::addColumn<QByteArray>("button");
        QTest::addColumn<QString>("lastCode");
        QTest::newRow("PMSI") << QByteArray("bPmsi") << "£PMC:destination#";
        QTest::newRow("correspondents") << QByteArray("bCorresp") << "£[CX : courriel]#";
    }
    void doubleClickBesideTheEntries()
    {
        QFETCH(QByteArray, button);
        QFETCH(QString, lastCode);
        hosted->window()->resize(700, 700); // room below the last entry
        QWidget *picker = host(button.constData());
        QVERIFY(picker);
        auto *list = picker->findChild<QListWidget *>();
        QListWidgetItem *last = list->item(list->count() - 1);
        const QPoint below = list->visualItemRect(last).bottomLeft() + QPoint(10, 20);
        QVERIFY(!list->itemAt(below));

        list->setCurrentItem(last);
        QCOMPARE(insertedBy([&] { doubleClick(list, below, nullptr); }), QString());
        // The click unselected the entry but left it current: Enter chooses it.
        QCOMPARE(list->currentItem(), last);
        QCOMPARE(insertedBy([&] { QTest::keyClick(list, Qt::Key_Return); }), lastCode);
        list->setCurrentItem(nullptr);
        QVERIFY(list->selectedItems().isEmpty());
        QCOMPARE(insertedBy([&] { QTest::keyClick(list, Qt::Key_Return); }), QString());
        QCOMPARE(hosted->messages().texts(), QStringList());
    }

    void onlyTheLeftButtonChooses_data()
    {
        QTest::addColumn<QByteArray>("button");
        QTest::addColumn<int>("mouseButton");
        QTest::newRow("PMSI, right") << QByteArray("bPmsi") << int(Qt::RightButton);
        QTest::newRow("PMSI, middle") << QByteArray("bPmsi") << int(Qt::MiddleButton);
        QTest::newRow("correspondents, right") << QByteArray("bCorresp") << int(Qt::RightButton);
    }
    void onlyTheLeftButtonChooses()
    {
        QFETCH(QByteArray, button);
        QFETCH(int, mouseButton);
        auto *list = host(button.constData())->findChild<QListWidget *>();
        const QPoint entry = list->visualItemRect(list->item(1)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, entry);
        QCOMPARE(insertedBy([&] { QTest::mouseDClick(list->viewport(), Qt::MouseButton(mouseButton), {}, entry); }),
                 QString());
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
        doubleClick(corresp->lstCode, corresp->lstCode->item(0));
        QVERIFY(waiting);
        QVERIFY(waiting->isHidden());
        QVERIFY(hosted->window()->panelHost->findChild<TfCouCodeDivers *>(QString(), Qt::FindDirectChildrenOnly));
        QTRY_VERIFY(!waiting);
        QCOMPARE(hosted->messages().texts().size(), 1); // the document never took the focus
    }

    void correspondentRequiredBeforeInserting()
    {
        auto *corresp = host<TfCouCodeCorresp>("bCorresp");
        QVERIFY(corresp);
        corresp->cbNoCor->setCurrentIndex(-1);
        QCOMPARE(insertedBy([&] { doubleClick(corresp->lstCode, corresp->lstCode->item(1)); }), QString());
        QCOMPARE(hosted->messages().texts(), QStringList{"Vous devez d'abord sélectionner un n° de correspondant !"});
        QCOMPARE(hosted->messages().requests().first().title, QStringLiteral("Tst_pickers_pmsi_corresp"));
        QCOMPARE(hosted->messages().requests().first().flags, 1);
    }
};

QTEST_MAIN(TestPickersPmsiCorresp)
#include "tst_pickers_pmsi_corresp.moc"
