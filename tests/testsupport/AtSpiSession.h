// A D-Bus session of the test's own with the AT-SPI accessibility bus on it and a screen
// reader said to be on, as a desktop gives them; the program started on these buses
// speaks to assistive technology. Read through tests/tools/atspi-reader.py. Ended, with
// the buses it started, when the object goes.
#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

class AtSpiSession {
public:
    AtSpiSession() = default;
    ~AtSpiSession();
    AtSpiSession(const AtSpiSession &) = delete;
    AtSpiSession &operator=(const AtSpiSession &) = delete;

    /// Starts the session bus and, through it, the accessibility bus; false with the reason
    /// in `error` when a tool is missing (scripts/install-deps installs them).
    bool start(QString *error);
    /// `base` with these buses and nothing that turns the toolkits' accessibility off.
    QProcessEnvironment environment(QProcessEnvironment base = QProcessEnvironment::systemEnvironment()) const;
    /// Runs the reader with `arguments`; its standard output (and error) in `output`.
    bool read(const QStringList &arguments, QString *output) const;

private:
    QTemporaryDir FRuntime;
    QProcess FSessionBus;
    QString FSessionAddress;
    QString FAccessibilityAddress;
};
