#include "X11Session.h"

#include "testsupport/RegistryFiles.h"
#include "testsupport/TestDatabases.h"
#include "testsupport/TestFiles.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QScreen>
#include <QTest>

bool HasX11Display()
{
    return !qEnvironmentVariableIsEmpty("DISPLAY");
}

bool RunCommand(const QString &program, const QStringList &arguments, QString *output)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(20000)) {
        process.kill();
        process.waitForFinished();
        return false;
    }
    if (output)
        *output = QString::fromUtf8(process.readAllStandardOutput()).trimmed();
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

bool PressKeys(const QString &keys)
{
    return RunCommand(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("--clearmodifiers"), keys});
}

bool TypeText(const QString &text)
{
    return RunCommand(QStringLiteral("xdotool"), {QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("30"), text});
}

bool SetKeyboardLayout(const QString &layout)
{
    return RunCommand(QStringLiteral("setxkbmap"), {layout});
}

QProcessEnvironment WorkstationEnvironment(const QString &folder, const QString &wordProcessor)
{
    const std::optional<RegText> workstation = TestWorkstation(FirebirdEngine, wordProcessor);
    if (!workstation)
        return {};
    const RegistryFiles registry(folder);
    registry.machine(*workstation);
    return registry.environment();
}

QRect WindowGeometry(const QString &window)
{
    QString shell;
    if (!RunCommand(QStringLiteral("xdotool"), {QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), window},
                    &shell))
        return {};
    QMap<QString, int> values;
    for (const QString &line : shell.split(u'\n'))
        values.insert(line.section(u'=', 0, 0), line.section(u'=', 1).toInt());
    return {values.value(QStringLiteral("X")), values.value(QStringLiteral("Y")), values.value(QStringLiteral("WIDTH")),
            values.value(QStringLiteral("HEIGHT"))};
}

bool StackedAbove(const QString &upper, const QString &lower)
{
    QString stacking;
    RunCommand(QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("_NET_CLIENT_LIST_STACKING")}, &stacking);
    // "_NET_CLIENT_LIST_STACKING(WINDOW): window id # 0x..., 0x...", bottom first.
    QList<quint64> order;
    for (const QString &id : stacking.section(u'#', 1).split(u',', Qt::SkipEmptyParts))
        order << id.trimmed().toULongLong(nullptr, 16);
    const qsizetype upperIndex = order.indexOf(upper.toULongLong());
    const qsizetype lowerIndex = order.indexOf(lower.toULongLong());
    return upperIndex >= 0 && lowerIndex >= 0 && upperIndex > lowerIndex;
}

ScrivoProcess::~ScrivoProcess()
{
    if (FProcess.state() != QProcess::NotRunning) {
        FProcess.kill();
        FProcess.waitForFinished();
    }
}

bool ScrivoProcess::hasFixture()
{
    if (FEnvironment.isEmpty())
        FEnvironment = WorkstationEnvironment(FWorkstation.path(), QStringLiteral("/bin/true"));
    return !FEnvironment.isEmpty();
}

bool ScrivoProcess::start(const QStringList &arguments, bool waitForMain)
{
    if (!hasFixture())
        return false;
    FProcess.setProcessEnvironment(FEnvironment);
    FProcess.start(qEnvironmentVariable("SCRIVO_BINARY"), arguments);
    if (!FProcess.waitForStarted())
        return false;
    return !waitForMain || (waitForMainWindow() && waitForStartUp());
}

bool ScrivoProcess::waitForMainWindow()
{
    FWindow = waitForWindow(QStringLiteral("Insertion des Codes Courriers"), 20000);
    return !FWindow.isEmpty();
}

QImage ScrivoProcess::grab(const QRect &area) const
{
    return QGuiApplication::primaryScreen()
        ->grabWindow(FWindow.toULongLong(), area.x(), area.y(), area.width(), area.height())
        .toImage();
}

bool ScrivoProcess::waitForStartUp() const
{
    // The status panel is a framed label at (60, 116), 488 × 129: its left and bottom lines
    // are each of one colour. Once it is hidden, they cross the buttons, the splitter and
    // the host panel.
    const auto panelShows = [this] {
        const QRect panelArea(60, 116, 488, 129);
        const QRect window = WindowGeometry(FWindow);
        if (window.width() < panelArea.right() || window.height() < panelArea.bottom())
            return false; // folded, at the end of the start-up
        const QImage panel = grab(panelArea);
        const auto uniform = [](const auto &pixelAt, int from, int to) {
            for (int i = from + 1; i <= to; ++i)
                if (pixelAt(i) != pixelAt(from))
                    return false;
            return true;
        };
        const auto left = [&](int y) { return panel.pixel(0, y); };
        const auto bottom = [&](int x) { return panel.pixel(x, 128); };
        return uniform(left, 1, 120) && uniform(bottom, 1, 300);
    };
    return QTest::qWaitFor([&] { return !running() || !panelShows(); }, 30000) && running();
}

bool ScrivoProcess::chooseCategory(int buttonTop) const
{
    return changesHostPanel([&] { return clickAt(50, buttonTop + 16); });
}

bool ScrivoProcess::chooseCategoryByKeys(const QString &keys) const
{
    return changesHostPanel([&] { return PressKeys(keys); });
}

bool ScrivoProcess::changesHostPanel(const std::function<bool()> &action) const
{
    const QRect hostPanel(114, 0, WindowGeometry(FWindow).width() - 114, 300);
    const QImage before = grab(hostPanel);
    if (before.isNull() || !action())
        return false;
    return QTest::qWaitFor([&] { return grab(hostPanel) != before; }, 10000);
}

bool ScrivoProcess::finishesWithin(int milliseconds)
{
    return FProcess.state() == QProcess::NotRunning || FProcess.waitForFinished(milliseconds);
}

bool PrivateXServer::start()
{
    // -displayfd: the server picks a free display and writes its number once it is ready.
    FProcess.start(QStringLiteral("Xvfb"), {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-nolisten"),
                                           QStringLiteral("tcp"), QStringLiteral("-screen"), QStringLiteral("0"),
                                           QStringLiteral("800x600x24")});
    QByteArray number;
    while (!number.endsWith('\n') && FProcess.waitForReadyRead(10000))
        number += FProcess.readAllStandardOutput();
    FDisplay = u':' + QString::fromLatin1(number.trimmed());
    return number.endsWith('\n');
}

QProcessEnvironment PrivateXServer::on(QProcessEnvironment environment) const
{
    environment.insert(QStringLiteral("DISPLAY"), FDisplay);
    environment.remove(QStringLiteral("XAUTHORITY"));
    return environment;
}

void PrivateXServer::end()
{
    if (FProcess.state() == QProcess::NotRunning)
        return;
    FProcess.kill();
    FProcess.waitForFinished();
}

bool ScrivoProcess::endsWithin(int milliseconds)
{
    return (FProcess.state() == QProcess::NotRunning || FProcess.waitForFinished(milliseconds))
           && FProcess.exitStatus() == QProcess::NormalExit && FProcess.exitCode() == 0;
}

QString ScrivoProcess::waitForWindow(const QString &title, int milliseconds) const
{
    QElapsedTimer clock;
    clock.start();
    do {
        for (const QString &window : windows()) {
            QString name;
            if (RunCommand(QStringLiteral("xdotool"), {QStringLiteral("getwindowname"), window}, &name) && name == title)
                return window;
        }
        QTest::qWait(100);
    } while (clock.elapsed() < milliseconds);
    return {};
}

QStringList ScrivoProcess::windows() const
{
    QString found;
    RunCommand(QStringLiteral("xdotool"), {"search", "--onlyvisible", "--pid", QString::number(FProcess.processId())},
               &found);
    return found.split(u'\n', Qt::SkipEmptyParts);
}

bool ScrivoProcess::clickAt(int x, int y, int clicks) const
{
    return RunCommand(QStringLiteral("xdotool"), {"mousemove", "--window", FWindow, QString::number(x), QString::number(y),
                                                  "click", "--repeat", QString::number(clicks), "--delay", "80", "1"});
}

MousepadDocument::MousepadDocument(const QString &fileName, const QByteArray &content)
    : FPath(FDir.filePath(fileName))
{
    WriteFile(FPath, content);
}

MousepadDocument::~MousepadDocument()
{
    close();
}

bool MousepadDocument::open()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // Settings in memory: no session bus, nothing written to the user's settings.
    environment.insert(QStringLiteral("GSETTINGS_BACKEND"), QStringLiteral("memory"));
    environment.insert(QStringLiteral("NO_AT_BRIDGE"), QStringLiteral("1"));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), FDir.filePath(QStringLiteral("config")));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), FDir.filePath(QStringLiteral("data")));
    FProcess.setProcessEnvironment(environment);
    FProcess.setStandardOutputFile(QProcess::nullDevice());
    FProcess.setStandardErrorFile(QProcess::nullDevice());
    FProcess.start(QStringLiteral("mousepad"), {QStringLiteral("--disable-server"), FPath});
    if (!FProcess.waitForStarted())
        return false;

    QString found;
    QElapsedTimer clock;
    clock.start();
    while (found.isEmpty() && clock.elapsed() < 20000) {
        RunCommand(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                               QStringLiteral("--pid"), QString::number(FProcess.processId())},
                   &found);
        if (found.isEmpty())
            QTest::qWait(100);
    }
    FWindow = found.section(u'\n', 0, 0).toULongLong();
    return FWindow != 0;
}

bool MousepadDocument::setTitle(const QString &title)
{
    return RunCommand(QStringLiteral("xdotool"), {QStringLiteral("set_window"), QStringLiteral("--name"), title,
                                                  QString::number(FWindow)});
}

bool MousepadDocument::minimise()
{
    return RunCommand(QStringLiteral("xdotool"), {QStringLiteral("windowminimize"), QStringLiteral("--sync"),
                                                  QString::number(FWindow)});
}

bool MousepadDocument::waitUntilModified()
{
    QElapsedTimer clock;
    clock.start();
    QString title;
    while (clock.elapsed() < 15000) {
        RunCommand(QStringLiteral("xdotool"), {QStringLiteral("getwindowname"), QString::number(FWindow)}, &title);
        if (title.startsWith(u'*'))
            return true;
        QTest::qWait(100);
    }
    return false;
}

QString MousepadDocument::saveAndRead()
{
    const QDateTime before = QFileInfo(FPath).lastModified();
    RunCommand(QStringLiteral("xdotool"), {QStringLiteral("windowactivate"), QStringLiteral("--sync"),
                                           QString::number(FWindow), QStringLiteral("key"),
                                           QStringLiteral("--clearmodifiers"), QStringLiteral("ctrl+s")});
    QElapsedTimer clock;
    clock.start();
    while (QFileInfo(FPath).lastModified() == before && clock.elapsed() < 10000)
        QTest::qWait(100);
    QTest::qWait(200); // let the write finish
    QFile file(FPath);
    if (QFileInfo(FPath).lastModified() == before || !file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

void MousepadDocument::close()
{
    if (FProcess.state() == QProcess::NotRunning)
        return;
    FProcess.terminate();
    if (!FProcess.waitForFinished(5000)) {
        FProcess.kill();
        FProcess.waitForFinished();
    }
}
