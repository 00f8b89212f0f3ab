// Hostile input through the real program: the scrivo executable started offscreen (every
// message then goes to its standard error, answered with No or OK) with bad command
// lines, registry files, central parameter files, variables files and databases. Each
// row: the French message it must give (none: it goes on with a sound default), whether
// it ends by itself; never a crash, a hang or a file written.
#include "testsupport/RegistryFiles.h"
#include "testsupport/TestDatabases.h"
#include "testsupport/TestFiles.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

namespace {

const QByteArray Workstation = "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Keldar\\Talvor\\Cnx]\n"
                               "\"AutoLoadParam\"=dword:00000000\n\"DataBaseType\"=\"FireBird 2.1\"\n"
                               "\"DataBaseName\"=\"%DB%\"\n\"Login\"=\"SYSDBA\"\n\"PassWord\"=\"masterkey\"\n"
                               "\"Charset\"=\"WIN1252\"\n\n[HKEY_LOCAL_MACHINE\\Software\\Keldar\\Talvor\\OptionLocale]\n"
                               "\"WPNom\"=\"Traitement\"\n\"WPPath\"=\"/bin/true\"\n";

QByteArray Central()
{
    return QByteArray(Workstation).replace("dword:00000000", "dword:00000001\n\"ParamFilePath\"=\"%DIR%\"");
}

// Every file under `folder` with a digest of its content; the database files are left
// out, the Firebird engine keeping its counters in them.
QMap<QString, QByteArray> Snapshot(const QString &folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        if (file.fileName().endsWith(QLatin1String(".fdb")))
            continue;
        file.open(QIODevice::ReadOnly);
        files.insert(file.fileName(), QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1));
    }
    return files;
}

} // namespace

class tst_HostileInput : public QObject {
    Q_OBJECT

private slots:
    // "--help" and "-h" print the usage, with the registry files read, and end at once:
    // no display is opened (there is none), no document taken for a file to open.
    void usageNeedsNoDisplay_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("--help") << QStringList{QStringLiteral("--help")};
        QTest::newRow("-h after a document") << QStringList{QStringLiteral("lettre.odt"), QStringLiteral("-h")};
    }
    void usageNeedsNoDisplay()
    {
        QFETCH(QStringList, arguments);
        const RegistryFiles absent;
        QProcessEnvironment environment = absent.environment();
        environment.remove(QStringLiteral("DISPLAY"));
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(qEnvironmentVariable("SCRIVO_BINARY"), arguments);
        QVERIFY(program.waitForFinished(10000));
        const QString output = QString::fromUtf8(program.readAllStandardOutput());
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
        QVERIFY2(output.startsWith(QStringLiteral("Usage : scrivo DOCUMENT")), qPrintable(output));
        QVERIFY2(output.contains(absent.machineFile()) && output.contains(absent.userFile()), qPrintable(output));
    }

    void hostileInput_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("registry");
        QTest::addColumn<QByteArray>("central");   // talvor.ini, when not null
        QTest::addColumn<QByteArray>("variables"); // vars.txt, when not null
        QTest::addColumn<QString>("message");      // empty: none
        QTest::addColumn<bool>("ends");

        const QStringList document{QStringLiteral("%DIR%/lettre.txt")};
        const QByteArray none;
        const QByteArray big(50 * 1024 * 1024, ';');
        const QString badRegistry = QStringLiteral("Impossible d'ouvrir la sous clé Cnx de la table de registre");
        QTest::newRow("unterminated quote") << QStringList{QStringLiteral("-app=\"Lettre"), QStringLiteral("x \"y")}
                                            << Workstation << none << none << QString() << false;
        QTest::newRow("100 KB argument") << QStringList{QStringLiteral("-app=") + QString(100000, u'x'), QStringLiteral("y")}
                                         << Workstation << none << none << QString() << false;
        QTest::newRow("-hwnd= huge") << QStringList{QStringLiteral("-hwnd=99999999999999999999999"), QStringLiteral("x")}
                                     << Workstation << none << none << QString() << false;
        QTest::newRow("-hwnd= negative") << QStringList{QStringLiteral("-hwnd=-42"), QStringLiteral("x")} << Workstation
                                         << none << none << QString() << false;
        QTest::newRow("-qre= junk") << document + QStringList{QStringLiteral("-qre=%$#@!\"'")} << Workstation << none
                                    << none << QString() << false;
        QTest::newRow("registry garbage") << document << QByteArray("\x00\xff\xfeREG\x01\x02", 9) + QByteArray(3000, '\x9c')
                                          << none << none << badRegistry + QStringLiteral("\nLe fichier de registre <")
                                          << true;
        QTest::newRow("registry truncated") << document << Workstation.left(130) << none << none
                                            << QStringLiteral("est incorrect à la ligne 6") << true;
        QTest::newRow("registry 50 MB") << document << Workstation + big << none << none
                                        << QStringLiteral("est trop volumineux pour être un fichier de registre") << true;
        QTest::newRow("registry value of the wrong kind")
            << document << QByteArray(Workstation).replace("\"%DB%\"", "dword:00000001") << none << none
            << QStringLiteral("Type de données incorrect pour la valeur 'DataBaseName' : texte attendu, dword trouvé.")
            << true;
        QTest::newRow("talvor.ini garbage") << document << Central() << QByteArray("\xff\xfe[\x00\xd8=\n\x00[CNX\n=", 14)
                                            << none << QString() << false;
        // The lone quote is the server's name: no server of that name, the user is told.
        QTest::newRow("talvor.ini truncated") << document << Central() << QByteArray("[CNX]\nDataBaseType=FireBird 2.1\nHost=\"")
                                              << none << QStringLiteral("Impossible de se connecter à la base de donnée.")
                                              << true;
        QTest::newRow("talvor.ini 50 MB") << document << Central() << QByteArray("[CNX]\n") + big << none
                                          << QStringLiteral("Impossible d'accéer au fichier") << false;
        QTest::newRow("talvor.ini value of the wrong kind")
            << document << Central() << QByteArray("[CNX]\nInnoDB=peut-être\nLectureSeule=[1,2]\nDataBaseName=\n") << none
            << QString() << false;
        const QStringList withVariables = document + QStringList{QStringLiteral("-pf=%DIR%/vars.txt")};
        QTest::newRow("variables with NUL bytes") << withVariables << Workstation << none
                                                  << QByteArray("NOM\n\x00PRENOM\n\x00\x00", 13) << QString() << false;
        QTest::newRow("variables not UTF-8") << withVariables << Workstation << none
                                             << QByteArray("caf\xe9\n\xc3\x28\xa0\xa1\n\xff\xfe") << QString() << false;
        QTest::newRow("variables 1 MB line") << withVariables << Workstation << none << QByteArray(1024 * 1024, 'v')
                                             << QString() << false;
        const QString tooMany = QStringLiteral("compte plus de 10000 lignes : il est ignoré.");
        QTest::newRow("variables 30 million empty lines") << withVariables << Workstation << none
                                                          << QByteArray(30 * 1024 * 1024, '\n') << tooMany << false;
        QTest::newRow("variables named, missing") << document + QStringList{QStringLiteral("-pf=%DIR%/absent.txt")}
                                                  << Workstation << none << none << QStringLiteral("absent.txt> est introuvable.")
                                                  << false;
        QTest::newRow("options before the document") << QStringList{QStringLiteral("-pf=%DIR%/absent.txt"), QStringLiteral("-wp:ordo")} + document
                                                     << Workstation << none << none << QStringLiteral("absent.txt> est introuvable.")
                                                     << false;
        QTest::newRow("not a Firebird database") << document << QByteArray(Workstation).replace("%DB%", "%DIR%/lettre.txt")
                                                 << none << none << QStringLiteral("Dernier message du serveur : \n"
                                                                                   "I/O error during \"read\" operation")
                                                 << true;
        QTest::newRow("database name with quotes")
            << document << QByteArray(Workstation).replace("%DB%", "%DIR%/cab\\\"in'et.fdb") << none << none << QString()
            << false;
    }
    void hostileInput()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, registry);
        QFETCH(QByteArray, central);
        QFETCH(QByteArray, variables);
        QFETCH(QString, message);
        QFETCH(bool, ends);
        SCRIVO_SKIP_WITHOUT_ENGINE(FirebirdEngine);
        QTemporaryDir folder;
        const QString dir = folder.path();
        QVERIFY(QFile::copy(qEnvironmentVariable("SCRIVO_TEST_FDB"), dir + QStringLiteral("/cabinet.fdb")));
        QVERIFY(QFile::copy(qEnvironmentVariable("SCRIVO_TEST_FDB"), dir + QStringLiteral("/cab\"in'et.fdb")));
        // "%DB%" names the fixture's copy, "%DIR%" the test's folder.
        const auto expanded = [&](QByteArray bytes) {
            return bytes.replace("%DB%", "%DIR%/cabinet.fdb").replace("%DIR%", dir.toUtf8());
        };
        const RegistryFiles workstation(dir);
        workstation.machine(expanded(registry));
        WriteFile(dir + QStringLiteral("/lettre.txt"), "Cher confrère,\n");
        if (!central.isNull())
            WriteFile(dir + QStringLiteral("/talvor.ini"), expanded(central));
        if (!variables.isNull())
            WriteFile(dir + QStringLiteral("/vars.txt"), expanded(variables));
        QDir(dir).mkpath(QStringLiteral("home/.config"));
        const QMap<QString, QByteArray> before = Snapshot(dir);

        QProcessEnvironment environment = workstation.environment();
        environment.insert(QStringLiteral("HOME"), dir + QStringLiteral("/home"));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), dir + QStringLiteral("/home/.config"));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        QProcess program;
        program.setProcessEnvironment(environment);
        program.setProcessChannelMode(QProcess::MergedChannels);
        for (QString &argument : arguments)
            argument.replace(QStringLiteral("%DIR%"), dir);
        program.start(qEnvironmentVariable("SCRIVO_BINARY"), arguments);
        QVERIFY(program.waitForStarted());

        // Start-up takes well under a second: a program that goes on is watched for 2.5 s,
        // one that ends is given 8 s.
        QString output;
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < (ends ? 8000 : 2500) && program.state() != QProcess::NotRunning) {
            program.waitForReadyRead(100);
            output += QString::fromUtf8(program.readAll());
        }
        const bool ended = program.state() == QProcess::NotRunning || program.waitForFinished(ends ? 5000 : 0);
        if (!ended && program.processId() > 0) {
            ::kill(pid_t(program.processId()), SIGTERM);
            QVERIFY2(program.waitForFinished(5000), "the program does not end on SIGTERM");
        }
        output += QString::fromUtf8(program.readAll());
        output.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
        QCOMPARE(ended, ends);
        if (message.isEmpty()) {
            const QStringList told = output.split(u'\n').filter(QStringLiteral("Scrivo : "));
            QVERIFY2(told.filter(QStringLiteral("Pas d'affichage X11")).size() == told.size(), qPrintable(output));
        } else {
            QVERIFY2(output.contains(message), qPrintable(output));
        }
        QVERIFY2(!output.contains(QStringLiteral("runtime error")) && !output.contains(QStringLiteral("Sanitizer")),
                 qPrintable(output));
        QCOMPARE(Snapshot(dir), before);
    }
};

QTEST_GUILESS_MAIN(tst_HostileInput)
#include "tst_hostileinput.moc"
