// The Windows program whose own folder lacks a usable Firebird client: it starts
// (fbclient.dll is delay-loaded), and a connection to a Firebird database fails with a
// message naming the file and Windows' reason instead of ending the process. A
// fbclient.dll in the current folder or on the PATH (the build's own is on Wine's) is not
// taken. A copy of this test, alone in a folder of its own, makes the connection.
#include "testsupport/TestDatabases.h"

#include "config/CCnxParam.h"
#include "platform/windows/AnsiText.h"
#include "support/CAppNames.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <windows.h>

class TestFirebirdClient : public QObject {
    Q_OBJECT

private slots:
    void clientOutsideProgramFolder_data()
    {
        QTest::addColumn<QString>("planted"); // copied into the folder as fbclient.dll
        QTest::addColumn<int>("error");
        QTest::newRow("absent") << QString() << int(ERROR_MOD_NOT_FOUND);
        QTest::newRow("32-bit") << qEnvironmentVariable("SCRIVO_TEST_32BIT_DLL") << int(ERROR_BAD_EXE_FORMAT);
    }
    void clientOutsideProgramFolder()
    {
        QFETCH(QString, planted);
        QFETCH(int, error);
        if (QTest::currentDataTag() == QLatin1String("32-bit") && planted.isEmpty())
            QSKIP("SCRIVO_TEST_32BIT_DLL names no 32-bit DLL");
        QTemporaryDir folder;
        const QString copy = folder.filePath(QStringLiteral("tst_firebirdclient.exe"));
        QVERIFY(QFile::copy(QCoreApplication::applicationFilePath(), copy));
        if (!planted.isEmpty())
            QVERIFY(QFile::copy(planted, folder.filePath(QStringLiteral("fbclient.dll"))));
        // A usable client in the current folder, as one planted there would be: not taken.
        QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("current")));
        QVERIFY(QFile::copy(QCoreApplication::applicationDirPath() + QStringLiteral("/fbclient.dll"),
                            folder.filePath(QStringLiteral("current/fbclient.dll"))));
        const QString report = folder.filePath(QStringLiteral("report.txt"));
        QProcess child;
        child.setWorkingDirectory(folder.filePath(QStringLiteral("current")));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("SCRIVO_FBCLIENT_REPORT"), report);
        child.setProcessEnvironment(environment);
        child.start(copy, {QStringLiteral("connectsAsAChild")});
        QVERIFY(child.waitForFinished(60000));
        QFile file(report);
        QVERIFY2(file.open(QIODevice::ReadOnly), "the copy wrote no report");
        const QString message = QString::fromUtf8(file.readAll());
        QVERIFY2(message.contains(QStringLiteral("(fbclient.dll) est introuvable")), qPrintable(message));
        // Windows' text; some name the file as "%1", which the message fills in.
        const QString text = QString::fromStdString(platform::win::systemMessage(DWORD(error)));
        const QString before = text.section(QStringLiteral("%1"), 0, 0).trimmed();
        const QString after = text.section(QStringLiteral("%1"), -1).trimmed();
        const QString reason = before.size() > after.size() ? before : after;
        QVERIFY2(!reason.isEmpty(), qPrintable(text));
        QVERIFY2(message.contains(QStringLiteral("Raison donnée par Windows : ")) && message.contains(reason),
                 qPrintable(message + QStringLiteral(" / ") + text));
    }

    // The copy's side: a connection to a Firebird server, whose message it writes down.
    void connectsAsAChild()
    {
        const QString report = qEnvironmentVariable("SCRIVO_FBCLIENT_REPORT");
        if (report.isEmpty())
            QSKIP("run by clientOutsideProgramFolder, in a copy of this test");
        DatabaseTestScope scope;
        const TCAppNames names;
        auto params = std::make_unique<TCCnxParam>(names, QStringList{QStringLiteral("scrivo")});
        params->DataBaseType = QStringLiteral("FireBird 2.1");
        params->Host = QStringLiteral("127.0.0.1");
        params->DataBaseName = QStringLiteral("C:\\cabinet\\cabinet.fdb");
        params->Login = QStringLiteral("SYSDBA");
        TCConnexion connexion(std::move(params));
        connexion.SetupConnection();
        QVERIFY(!connexion.Connect(false));
        QFile file(report);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(connexion.LastServerMessage().toUtf8());
    }
};

QTEST_GUILESS_MAIN(TestFirebirdClient)
#include "tst_firebirdclient.moc"
