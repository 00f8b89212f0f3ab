// End-to-end helpers on the real X display that scripts/test starts: a document open in
// mousepad (the word processor of the tests), saved and read back; the keyboard layout.
#pragma once

#include "testsupport/MissingFixture.h"

#include <QApplication>
#include <QImage>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QTemporaryDir>

#include <functional>

/// Whether an X display is there to run end-to-end tests on.
bool HasX11Display();
/// Runs a command to its end (at most 20 s); its standard output, trimmed, in `output`.
bool RunCommand(const QString &program, const QStringList &arguments, QString *output = nullptr);
/// Presses `keys` ("Return", "ctrl+f") on the window that has the keyboard focus, the
/// modifiers held by the user released around them.
bool PressKeys(const QString &keys);
/// Types `text` on the window that has the keyboard focus, a key every 30 ms.
bool TypeText(const QString &text);
/// Switches the X keyboard layout ("us", "fr").
bool SetKeyboardLayout(const QString &layout);

/// The environment in which the real program starts as on a configured workstation:
/// registry files (written into `folder`) naming a private copy of the embedded Firebird
/// fixture and `wordProcessor` as the word processor. Empty when the fixture is
/// unavailable (scripts/test builds it).
QProcessEnvironment WorkstationEnvironment(const QString &folder, const QString &wordProcessor);

/// A top-level window's geometry on the screen (its client area).
QRect WindowGeometry(const QString &window);
/// Whether `upper` is stacked above `lower` (_NET_CLIENT_LIST_STACKING of the window manager).
bool StackedAbove(const QString &upper, const QString &lower);

/// An X server of its own (Xvfb), to be ended under the programs that use it.
class PrivateXServer {
public:
    PrivateXServer() = default;
    ~PrivateXServer() { end(); }
    PrivateXServer(const PrivateXServer &) = delete;
    PrivateXServer &operator=(const PrivateXServer &) = delete;

    /// Starts the server and waits (at most 10 s) until it accepts clients.
    bool start();
    /// Its display name, ":N".
    QString display() const { return FDisplay; }
    /// The environment `environment` with this server as the display.
    QProcessEnvironment on(QProcessEnvironment environment) const;
    /// Ends the server at once (SIGKILL: no goodbye to its clients) and waits for it.
    void end();

private:
    QProcess FProcess;
    QString FDisplay;
};

/// The real program (SCRIVO_BINARY) started on a workstation of WorkstationEnvironment;
/// killed at the end when it still runs.
class ScrivoProcess {
public:
    ScrivoProcess() = default;
    ~ScrivoProcess();
    ScrivoProcess(const ScrivoProcess &) = delete;
    ScrivoProcess &operator=(const ScrivoProcess &) = delete;

    /// Whether the practice fixture is there (scripts/test builds it).
    bool hasFixture();
    /// The environment the program starts in: the workstation's, once hasFixture() made it.
    QProcessEnvironment environment() const { return FEnvironment; }
    void setEnvironment(const QProcessEnvironment &environment) { FEnvironment = environment; }
    /// Starts the program and, unless told not to, waits (at most 20 s) for its main window
    /// and the end of its start-up.
    bool start(const QStringList &arguments, bool waitForMainWindow = true);
    /// Waits (at most 20 s) for the main window.
    bool waitForMainWindow();
    /// Waits (at most 30 s) until the start-up has hidden its status panel: clicks made before
    /// would reach a program that has no document to insert into yet.
    bool waitForStartUp() const;
    /// Clicks the category button whose top is at `buttonTop` and waits (at most 10 s) until
    /// the host panel shows something else: the picker is there to be clicked.
    bool chooseCategory(int buttonTop) const;
    /// The same with the category's keys ("alt+d"): the button's click comes a moment
    /// after them, as it shows itself pressed first.
    bool chooseCategoryByKeys(const QString &keys) const;
    /// Waits (at most `milliseconds`) for a visible window of the program titled exactly
    /// `title`; empty when none shows.
    QString waitForWindow(const QString &title, int milliseconds = 10000) const;
    /// The program's visible windows (main window, dialogs, tooltips).
    QStringList windows() const;
    /// Clicks (once or more) at (x, y) of the main window's client area.
    bool clickAt(int x, int y, int clicks = 1) const;
    bool running() const { return FProcess.state() == QProcess::Running; }
    /// Whether the program ends by itself within `milliseconds`, with exit code 0.
    bool endsWithin(int milliseconds);
    /// Whether the process has ended within `milliseconds`, however it ended.
    bool finishesWithin(int milliseconds);
    qint64 processId() const { return FProcess.processId(); }
    QString window() const { return FWindow; }

private:
    QImage grab(const QRect &area) const;
    /// Whether the host panel shows something else, within 10 s, after `action`.
    bool changesHostPanel(const std::function<bool()> &action) const;

    QTemporaryDir FWorkstation;
    QProcessEnvironment FEnvironment;
    QProcess FProcess;
    QString FWindow;
};

class MousepadDocument {
public:
    /// A document `fileName` holding `content`, in a folder of its own.
    explicit MousepadDocument(const QString &fileName, const QByteArray &content = {});
    ~MousepadDocument();
    MousepadDocument(const MousepadDocument &) = delete;
    MousepadDocument &operator=(const MousepadDocument &) = delete;

    /// Opens the document in mousepad and waits for its window.
    bool open();
    QString path() const { return FPath; }
    quint64 window() const { return FWindow; }
    /// Renames the window, as a word processor that shows another title would.
    bool setTitle(const QString &title);
    bool minimise();
    /// Waits (at most 15 s) until mousepad marks the document as modified, as it does
    /// once a paste has landed.
    bool waitUntilModified();
    /// Saves the document from mousepad (Ctrl+S) and returns the file's text once it
    /// has changed on disk; empty after 10 s without a change.
    QString saveAndRead();
    /// Ends mousepad and waits for its window to disappear.
    void close();

private:
    QTemporaryDir FDir;
    QString FPath;
    QProcess FProcess;
    quint64 FWindow = 0;
};

/// Skips (or, under scripts/test, fails) the current test without an X display.
#define SCRIVO_SKIP_WITHOUT_X11_DISPLAY()                                                              \
    do {                                                                                               \
        if (!HasX11Display())                                                                          \
            SCRIVO_SKIP_WITHOUT_FIXTURE(QStringLiteral("needs an X display (scripts/test starts one)")); \
    } while (false)
/// Skips (or, under scripts/test, fails) the current test when `scrivo` has no practice fixture.
#define SCRIVO_SKIP_WITHOUT_WORKSTATION(scrivo)                                                        \
    do {                                                                                               \
        if (!(scrivo).hasFixture())                                                                    \
            SCRIVO_SKIP_WITHOUT_FIXTURE(QStringLiteral("no Firebird fixture (run through scripts/test)")); \
    } while (false)

/// main() of an end-to-end test: without an X display the test runs offscreen, where
/// its initTestCase skips it, instead of the X platform aborting the process.
#define SCRIVO_E2E_MAIN(TestClass)                                                                                     \
    int main(int argc, char **argv)                                                                                    \
    {                                                                                                                  \
        if (!HasX11Display())                                                                                          \
            qputenv("QT_QPA_PLATFORM", "offscreen");                                                                   \
        QApplication app(argc, argv);                                                                                  \
        TestClass test;                                                                                                \
        QTEST_SET_MAIN_SOURCE_PATH                                                                                     \
        return QTest::qExec(&test, argc, argv);                                                                        \
    }
