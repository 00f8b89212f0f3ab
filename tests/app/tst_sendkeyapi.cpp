// Key strings to key events, and the window searches, on the recording window system.
#include "app/SendKeyApi.h"
#include "testsupport/RecordingWindowSystem.h"

#include <QtTest>

using platform::Key;
using platform::RecordingWindowSystem;
using Event = RecordingWindowSystem::KeyEvent;
using Events = std::vector<Event>;
Q_DECLARE_METATYPE(Events)

namespace {
Event down(std::uint8_t vk, bool extended = false) { return {Key{vk, 0}, true, extended}; }
Event up(std::uint8_t vk, bool extended = false) { return {Key{vk, 0}, false, extended}; }
Events press(std::uint8_t vk, bool extended = false) { return {down(vk, extended), up(vk, extended)}; }
Events operator+(Events a, const Events &b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

QString describe(const Events &events)
{
    QStringList parts;
    for (const Event &e : events)
        parts << QStringLiteral("%1%2%3").arg(e.down ? u'v' : u'^').arg(e.key.vk, 2, 16, QLatin1Char('0')).arg(e.extended ? QStringLiteral("x") : QString());
    return parts.join(u' ');
}
} // namespace

class TestSendKeyApi : public QObject {
    Q_OBJECT

    RecordingWindowSystem *ws = nullptr;
    QStringList messages;

private slots:
    void init()
    {
        ws = new RecordingWindowSystem;
        SetWindowSystem(ws);
        messages.clear();
        SetSendKeysMessageHandler([this](const std::string &text, const std::string &title) {
            messages << QString::fromStdString(title + ": " + text);
        });
    }
    void cleanup()
    {
        SetWindowSystem(nullptr);
        SetSendKeysMessageHandler({});
        delete ws;
    }

    void keyStrings_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<Events>("events");
        QTest::addColumn<bool>("result");
        QTest::addColumn<QStringList>("shown");

        const QStringList none;
        QTest::newRow("ctrl+v") << "^(v)" << Events{down(0x11)} + press('V') + Events{up(0x11)} << true << none;
        QTest::newRow("shift over a group") << "+(ab)" << Events{down(0x10)} + press('A') + press('B') + Events{up(0x10)} << true << none;
        QTest::newRow("shift for one key") << "+ab" << Events{down(0x10)} + press('A') + Events{up(0x10)} + press('B') << true << none;
        QTest::newRow("capital letter") << "A" << Events{down(0x10)} + press('A') + Events{up(0x10)} << true << none;
        QTest::newRow("enter three times") << "{ENTER 3}" << press(0x0D) + press(0x0D) + press(0x0D) << true << none;
        QTest::newRow("backspace names") << "{BKSP}{bs}{BackSpace}" << press(0x08) + press(0x08) + press(0x08) << true << none;
        QTest::newRow("left is extended") << "{LEFT}" << press(0x25, true) << true << none;
        QTest::newRow("tab is not") << "{TAB}" << press(0x09) << true << none;
        QTest::newRow("print screen") << "{PRTSC}" << press(0x2A) << true << none;
        QTest::newRow("tilde is enter") << "%~" << Events{down(0x12)} + press(0x0D) + Events{up(0x12)} << true << none;
        QTest::newRow("braces") << "{{}{}}" << Events{down(0x10)} + press(0xDB) + Events{up(0x10)} + Events{down(0x10)} + press(0xDD) + Events{up(0x10)} << true << none;
        QTest::newRow("one letter in braces is a capital") << "{q}" << Events{down(0x10)} + press('Q') + Events{up(0x10)} << true << none;
        QTest::newRow("unknown name") << "{NOPE}x" << press('X') << true << QStringList{"SendKeys: Invalid Key Name"};
        QTest::newRow("no key in layout") << "a\u00E9b" << press('A') + press('B') << true << QStringList{"SendKeys: Invalid KeyName"};
        QTest::newRow("lone brace") << "abc{" << press('A') + press('B') + press('C') << false << QStringList{"SendKeys: No Close"};
        QTest::newRow("empty") << "" << Events{} << false << none;
        // Modifiers the string left down are released, whatever way it ends.
        QTest::newRow("unclosed brace releases ctrl") << "^(a{x" << Events{down(0x11)} + press('A') + Events{up(0x11)} << false << QStringList{"SendKeys: No Close"};
        QTest::newRow("unclosed group releases shift") << "+(ab" << Events{down(0x10)} + press('A') + press('B') + Events{up(0x10)} << true << none;
    }

    void keyStrings()
    {
        QFETCH(QString, keys);
        QFETCH(Events, events);
        QFETCH(bool, result);
        QFETCH(QStringList, shown);

        QCOMPARE(SendKeys(keys.toStdString(), false), result);
        QCOMPARE(describe(ws->keyEvents), describe(events));
        QCOMPARE(messages, shown);
    }

    void numLockTogglesWithoutKeyEvents()
    {
        QVERIFY(SendKeys("{NUMLOCK}", false));
        QVERIFY(ws->numLock);
        QVERIFY(SendKeys("{NUMLOCK}", false));
        QVERIFY(!ws->numLock);
        QVERIFY(ws->keyEvents.empty());
    }

    // Under a layout without Latin letters (Russian), a letter has no key, except in a
    // Ctrl or Alt shortcut, where its virtual key serves.
    void shortcutsWithoutLatinLetters()
    {
        ws->latinLetters = false;
        QVERIFY(SendKeys("^(v)v%{f}", false));
        QCOMPARE(describe(ws->keyEvents), describe(Events{down(0x11)} + press('V') + Events{up(0x11), down(0x12), down(0x10)}
                                                   + press('F') + Events{up(0x10), up(0x12)}));
        QCOMPARE(messages, QStringList{"SendKeys: Invalid KeyName"});
    }

    // The events of a string reach the system in one piece, after the user's own
    // modifiers are released; with `wait`, one by one.
    void oneBatchOnceModifiersAreReleased()
    {
        ws->modifierPolls = 3;
        QVERIFY(SendKeys("^(v)", false));
        QCOMPARE(ws->modifierPolls, 0);
        QCOMPARE(ws->keyBatches.size(), 1u);
        QCOMPARE(describe(ws->keyBatches.front()), describe(Events{down(0x11)} + press('V') + Events{up(0x11)}));
        QVERIFY(SendKeys("^(v)", true));
        QCOMPARE(ws->keyBatches.size(), 5u);
        ws->refuseKeys = true;
        QVERIFY(!SendKeys("^(v)", false));
    }

    void repeatCountMustBeAnInteger()
    {
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, SendKeys("^{ENTER x}", false));
        QCOMPARE(describe(ws->keyEvents), describe(Events{down(0x11), up(0x11)}));
    }

    void waitProcessesMessagesAfterEveryEvent()
    {
        int processed = 0;
        SetProcessKeyboardMessages([&processed] { ++processed; });
        SendKeys("^(v)", true);
        SendKeys("^(v)", false);
        SetProcessKeyboardMessages({});
        QCOMPARE(processed, 4);
    }

    void titleSearches()
    {
        ws->addWindow("Scrivo", /*own*/ true);
        const auto other = ws->addWindow("Terminal");
        const auto letter = ws->addWindow("/home/doc/LETTRE.odt - Traitement de texte");
        const auto exact = ws->addWindow("lettre");

        // The exact title wins over an earlier window that contains it.
        QVERIFY(FindWindowByTitle("lettre", false));
        QCOMPARE(FoundWindow, exact);
        ws->removeWindow(exact);
        // Else the first title containing it, letters compared without case.
        QVERIFY(FindWindowByTitle("lettre.odt", false));
        QCOMPARE(FoundWindow, letter);
        QVERIFY(!FindWindowByTitle("lettre", true));
        QCOMPARE(FoundWindow, platform::WindowHandle(0));
        QVERIFY(FindWindowByTitle("term", true));
        QCOMPARE(FoundWindow, other);
        // The program's own windows and an empty title are never found.
        QVERIFY(!FindWindowByTitle("Scrivo", false));
        QVERIFY(!FindWindowByTitle("", false));
        QVERIFY(ws->activations.empty());

        QVERIFY(ActivateWindowByTitle("traitement", false));
        QCOMPARE(ws->activations, std::vector<platform::WindowHandle>{letter});
        QVERIFY(WindowHasFocus(letter));
    }

    void titlesAreComparedOverTheirFirst79Characters()
    {
        ws->addWindow(std::string(75, 'x') + "abcdef");
        QVERIFY(FindWindowByTitle("xabcd", false));
        QVERIFY(!FindWindowByTitle("xabcde", false));
    }

    void platformFailuresMeanNotFound()
    {
        ws->addWindow("Document");
        ws->setFailing(true);
        QVERIFY(!ActivateWindowByTitle("Document", false));
        QCOMPARE(FoundWindow, platform::WindowHandle(0));
    }

    void handles()
    {
        const auto window = ws->addWindow("Document");
        QVERIFY(WindowHandleExists(window));
        QVERIFY(!WindowHandleExists(window + 1));
        ActivateWindowByHandle(window + 1); // no check, no crash
        ws->removeWindow(window);
        QVERIFY(!WindowHandleExists(window));
    }
};

QTEST_GUILESS_MAIN(TestSendKeyApi)
#include "tst_sendkeyapi.moc"
