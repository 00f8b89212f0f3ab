#include "AtSpiSession.h"

#include <QStandardPaths>

namespace {

QString Reader()
{
    return qEnvironmentVariable("SCRIVO_ATSPI_READER");
}

} // namespace

AtSpiSession::~AtSpiSession()
{
    // The accessibility bus's launcher leaves with the session bus it was started by.
    if (FSessionBus.state() != QProcess::NotRunning) {
        FSessionBus.terminate();
        if (!FSessionBus.waitForFinished(5000)) {
            FSessionBus.kill();
            FSessionBus.waitForFinished();
        }
    }
}

bool AtSpiSession::start(QString *error)
{
    if (QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")).isEmpty() || Reader().isEmpty()) {
        *error = QStringLiteral("needs dbus-daemon and the AT-SPI reader (SCRIVO_ATSPI_READER)");
        return false;
    }
    // Without a display the launcher keeps the accessibility bus's address off the X
    // server's root window, where other programs of the display would find it.
    // The launcher puts the bus's socket in the runtime folder: one of this session's own.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), FRuntime.path());
    FSessionBus.setProcessEnvironment(environment);
    FSessionBus.start(QStringLiteral("dbus-daemon"), {QStringLiteral("--session"), QStringLiteral("--nofork"),
                                                      QStringLiteral("--print-address=1")});
    if (!FSessionBus.waitForStarted() || !FSessionBus.waitForReadyRead(10000)) {
        *error = QStringLiteral("the session bus did not start: ") + QString::fromUtf8(FSessionBus.readAllStandardError());
        return false;
    }
    FSessionAddress = QString::fromUtf8(FSessionBus.readLine()).trimmed();
    QString address;
    if (!read({QStringLiteral("enable")}, &address)) {
        *error = QStringLiteral("no accessibility bus (at-spi2-core, gir1.2-atspi-2.0): ") + address;
        return false;
    }
    FAccessibilityAddress = address.section(u'\n', -1); // after any warning
    return true;
}

QProcessEnvironment AtSpiSession::environment(QProcessEnvironment base) const
{
    // Qt finds the accessibility bus through the session bus, as on a desktop (it does not
    // register on one named by AT_SPI_BUS_ADDRESS).
    base.remove(QStringLiteral("NO_AT_BRIDGE"));
    base.remove(QStringLiteral("AT_SPI_BUS_ADDRESS"));
    base.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), FSessionAddress);
    return base;
}

bool AtSpiSession::read(const QStringList &arguments, QString *output) const
{
    QProcess reader;
    QProcessEnvironment environment = this->environment();
    // The reader is told the bus outright: an address that another session left on the
    // display must not win.
    if (!FAccessibilityAddress.isEmpty())
        environment.insert(QStringLiteral("AT_SPI_BUS_ADDRESS"), FAccessibilityAddress);
    reader.setProcessEnvironment(environment);
    reader.setProcessChannelMode(QProcess::MergedChannels);
    reader.start(Reader(), arguments);
    const bool finished = reader.waitForFinished(60000);
    if (!finished) {
        reader.kill();
        reader.waitForFinished();
    }
    *output = QString::fromUtf8(reader.readAll()).trimmed();
    return finished && reader.exitStatus() == QProcess::NormalExit && reader.exitCode() == 0;
}
