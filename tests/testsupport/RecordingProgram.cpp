#include "RecordingProgram.h"

#include "testsupport/TestFiles.h"

#include <QFile>
#include <QTest>

namespace {

QString ShellQuoted(QString text)
{
    return u'\'' + text.replace(u'\'', QStringLiteral("'\\''")) + u'\'';
}

QString RecordOf(const QString &program)
{
    return program + QStringLiteral(".args");
}

} // namespace

RecordingProgram::RecordingProgram(const QString &path)
    : FPath(path)
{
    QFile::remove(RecordOf(FPath));
    const QString record = ShellQuoted(RecordOf(FPath));
    // Written aside then renamed: the test never reads a record still being written.
    const QString script = QStringLiteral("#!/bin/sh\n"
                                          "echo $$ > %1.pid\n"
                                          "{ printf '%s\\n' \"$#\"; for a in \"$@\"; do printf '<%s>\\n' \"$a\"; done; } > %1.tmp\n"
                                          "mv %1.tmp %1\n")
                               .arg(record);
    WriteFile(FPath, script.toUtf8());
    QVERIFY(QFile::setPermissions(FPath, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
}

bool RecordingProgram::ran() const
{
    return QFile::exists(RecordOf(FPath));
}

QByteArray RecordingProgram::recorded() const
{
    if (!QTest::qWaitFor([this] { return ran(); }, 5000))
        return "(not started)";
    return ReadFile(RecordOf(FPath));
}

qint64 RecordingProgram::processId() const
{
    return ran() ? ReadFile(RecordOf(FPath) + QStringLiteral(".pid")).trimmed().toLongLong() : 0;
}

QByteArray RecordingProgram::recordOf(const QStringList &arguments)
{
    QByteArray record = QByteArray::number(arguments.size()) + '\n';
    for (const QString &argument : arguments)
        record += '<' + argument.toUtf8() + ">\n";
    return record;
}
