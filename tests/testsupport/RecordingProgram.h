// A program standing in for a word processor or the desktop's opener: a shell script that
// writes down the arguments it was started with, for tests of what gets launched.
#pragma once

#include <QString>
#include <QStringList>

class RecordingProgram {
public:
    /// Writes the script at `path`, executable, and forgets what an earlier one recorded.
    explicit RecordingProgram(const QString &path);

    QString path() const { return FPath; }
    /// Whether it has been started (its record is there).
    bool ran() const;
    /// Waits (at most 5 s) for its record: the number of arguments, then each between "<"
    /// and ">", one a line; "(not started)" when it has not run.
    QByteArray recorded() const;
    /// The process identifier it ran as, once recorded(); 0 when it has not run.
    qint64 processId() const;
    /// The record of a start with `arguments`, as recorded() gives it.
    static QByteArray recordOf(const QStringList &arguments);

private:
    QString FPath;
};
