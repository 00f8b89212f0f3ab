// The registry store over registry files: the two roots, missing keys and values,
// values of the wrong kind, files exported from Windows, and files that are not
// registry files.
#include "config/CGRegistry.h"
#include "platform/linux/RegFileRegistry.h"
#include "testsupport/Endings.h"
#include "testsupport/RegistryFiles.h"
#include "testsupport/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QtTest>

namespace {

const QByteArray MachineTalvor = "REGEDIT4\r\n\r\n"
                                 "[HKEY_LOCAL_MACHINE\\Software\\Keldar\\Talvor]\r\n"
                                 "\"cnxregmode\"=dword:00000001\r\n"
                                 "\"Host\"=\"srv\"\r\n"
                                 "\"Blob\"=hex:01,02\r\n";

} // namespace

class TestRegistry : public QObject {
    Q_OBJECT

    static std::unique_ptr<TCGRegistry> store()
    {
        return std::make_unique<TCGRegistry>(QStringLiteral("Keldar"), QStringLiteral("Talvor"), 2);
    }

    // This test's registry files, read by this process.
    std::unique_ptr<RegistryFiles> files;

private slots:
    void init()
    {
        files = std::make_unique<RegistryFiles>();
        files->activate();
    }
    void cleanup() { files.reset(); }

    void baseKeyUnderOneRootOnly()
    {
        files->machine(MachineTalvor);
        auto registry = store();
        QVERIFY(!registry->OpenBaseKeys());
        QCOMPARE(registry->LastError, -1);
        QCOMPARE(registry->ReadIntegerValue(QStringLiteral("cnxregmode"), 7, TCGRegistry::LocalRoot), 1);
        QCOMPARE(registry->ReadStringValue(QStringLiteral("Host"), QStringLiteral("d"), TCGRegistry::LocalRoot), QStringLiteral("srv"));
        QCOMPARE(registry->ReadIntegerValue(QStringLiteral("cnxregmode"), 7, TCGRegistry::UserRoot), 7);
        QCOMPARE(registry->ReadStringValue(QStringLiteral("Absent"), QStringLiteral("d"), TCGRegistry::LocalRoot), QStringLiteral("d"));

        // Under the user root only: the local root's failure is the one left.
        RegistryFiles other;
        other.activate();
        other.user(QByteArray(MachineTalvor).replace("HKEY_LOCAL_MACHINE", "HKEY_CURRENT_USER"));
        auto second = store();
        QVERIFY(!second->OpenBaseKeys());
        QCOMPARE(second->LastError, -2);
        QCOMPARE(second->ReadIntegerValue(QStringLiteral("cnxregmode"), 7, TCGRegistry::UserRoot), 1);

        // Under neither: -1 then -2.
        RegistryFiles none;
        none.activate();
        auto third = store();
        QVERIFY(!third->OpenBaseKeys());
        QCOMPARE(third->LastError, -2);
    }

    void missingKeysRaiseWithTheirName()
    {
        files->machine(MachineTalvor);
        auto registry = store();
        registry->OpenBaseKeys();
        // The message names the file read, and the variable that names another.
        QCOMPARE(Raised<EGRegException>([&] { registry->OpenSubKey(QStringLiteral("Cnx"), TCGRegistry::LocalRoot); }),
                 QStringLiteral("Impossible d'ouvrir la sous clé Cnx de la table de registre\r\n"
                                "Clé cherchée dans le fichier de registre <")
                     + files->machineFile()
                     + QStringLiteral("> (la variable SCRIVO_HKLM_FILE peut désigner un autre fichier)."));
        QCOMPARE(registry->LastError, -2);
        // The failed opening closed the base key, and nothing was created.
        QCOMPARE(registry->ReadIntegerValue(QStringLiteral("cnxregmode"), 7, TCGRegistry::LocalRoot), 7);
        QCOMPARE(ReadFile(files->machineFile()), MachineTalvor);

        registry->ReopenBaseKey(TCGRegistry::LocalRoot);
        QCOMPARE(registry->ReadIntegerValue(QStringLiteral("cnxregmode"), 7, TCGRegistry::LocalRoot), 1);
        QCOMPARE(Raised<EGRegException>([&] { registry->ReopenBaseKey(TCGRegistry::UserRoot); }),
                 QStringLiteral("Impossible de réinitiliser l'accès à la base de registre"));
        QCOMPARE(registry->LastError, -1);

        // No file at all: the message says which one was looked for.
        RegistryFiles none;
        none.activate();
        auto empty = store();
        empty->OpenBaseKeys();
        QCOMPARE(Raised<EGRegException>([&] { empty->OpenSubKey(QStringLiteral("Cnx"), TCGRegistry::UserRoot); }),
                 QStringLiteral("Impossible d'ouvrir la sous clé Cnx de la table de registre\r\nLe fichier de registre <")
                     + none.userFile()
                     + QStringLiteral("> n'existe pas (la variable SCRIVO_HKCU_FILE peut désigner un autre fichier)."));
    }

    void valuesOfTheWrongKindRaise()
    {
        files->machine(MachineTalvor);
        auto registry = store();
        registry->OpenBaseKeys();
        const int local = TCGRegistry::LocalRoot;
        QCOMPARE(Raised<EGRegException>([&] { registry->ReadIntegerValue(QStringLiteral("host"), 0, local); }),
                 QStringLiteral("Impossible de lire la valeur <host>\r\n"
                                "Type de données incorrect pour la valeur 'host' : dword attendu, texte trouvé."));
        QCOMPARE(Raised<EGRegException>([&] { registry->ReadStringValue(QStringLiteral("cnxregmode"), QString(), local); }),
                 QStringLiteral("Impossible de lire la valeur <cnxregmode>\r\n"
                                "Type de données incorrect pour la valeur 'cnxregmode' : texte attendu, dword trouvé."));
        QVERIFY(Raised<EGRegException>([&] { registry->ReadIntegerValue(QStringLiteral("Blob"), 0, local); })
                    .startsWith(QStringLiteral("Impossible de lire la valeur <Blob>\r\n")));
    }

    void rootsOtherThanZeroAndOneDoNothingRaised()
    {
        files->machine(MachineTalvor);
        auto registry = store();
        registry->OpenBaseKeys();
        const int lastError = registry->LastError;
        QCOMPARE(registry->ReadIntegerValue(QStringLiteral("cnxregmode"), 7, 2), 0);
        QCOMPARE(registry->ReadStringValue(QStringLiteral("Host"), QStringLiteral("d"), 2), QString());
        QCOMPARE(Raised<EGRegException>([&] { registry->OpenSubKey(QStringLiteral("Absent"), 2); }), NothingRaised);
        QCOMPARE(Raised<EGRegException>([&] { registry->ReopenBaseKey(-1); }), NothingRaised);
        QCOMPARE(registry->LastError, lastError);
        // The root 1 key is still the one open.
        QCOMPARE(registry->ReadIntegerValue(QStringLiteral("cnxregmode"), 7, 1), 1);
    }

    void readsAnExportFromWindows()
    {
        QVERIFY(QFile::copy(QFINDTESTDATA("../fixtures/config/windows-export.reg"), files->machineFile()));
        auto registry = store();
        registry->OpenBaseKeys();
        const int local = TCGRegistry::LocalRoot;
        QCOMPARE(registry->ReadIntegerValue(QStringLiteral("cnxregmode"), 7, local), 0);

        registry->OpenSubKey(QStringLiteral("cnx"), local);
        QCOMPARE(registry->ReadStringValue(QStringLiteral("DataBaseName"), QString(), local),
                 QStringLiteral("C:\\Talvor\\Données\\TALVOR.FDB"));
        QCOMPARE(registry->ReadStringValue(QStringLiteral("COMMENTAIRE"), QString(), local),
                 QStringLiteral("Poste d'accueil \"Dr Lefèvre\" • £ ¤ €"));
        QCOMPARE(registry->ReadStringValue(QStringLiteral("Port"), QStringLiteral("d"), local), QString());
        QCOMPARE(registry->ReadIntegerValue(QStringLiteral("AutoLoadParam"), 0, local), 1);
        // An expandable string continued over two lines.
        QCOMPARE(registry->ReadStringValue(QStringLiteral("RepertoireSysteme"), QString(), local),
                 QStringLiteral("%SYSTEMROOT%\\system32"));

        registry->OpenSubKey(QStringLiteral("Chemins"), local);
        QCOMPARE(registry->ReadStringValue(QStringLiteral("Modele"), QString(), local),
                 QStringLiteral("\\\\srv-cabinet\\data\\Modèles"));

        registry->OpenSubKey(QStringLiteral("OptionLocale"), local);
        QCOMPARE(registry->ReadIntegerValue(QStringLiteral("WPAutreOrdo"), 0, local), -1);
        QCOMPARE(registry->ReadStringValue(QString(), QString(), local), QStringLiteral("Paramètres du poste"));
        QVERIFY(Raised<EGRegException>([&] { registry->ReadStringValue(QStringLiteral("Signature"), QString(), local); }) != NothingRaised);
    }

    void readsTheUnicodeExportFormat()
    {
        // What regedit writes by default: UTF-16LE with a byte-order mark, and
        // expandable strings as UTF-16 bytes.
        const QString text = QStringLiteral("Windows Registry Editor Version 5.00\r\n\r\n"
                                            "[HKEY_CURRENT_USER\\Software\\Keldar\\Talvor\\OptionLocale]\r\n"
                                            "\"WPNom\"=\"Éditeur\"\r\n"
                                            "\"WPAutreModele\"=dword:ffffffff\r\n"
                                            "\"WPPath\"=hex(2):2f,00,e9,00,00,00\r\n");
        QByteArray bytes("\xff\xfe");
        bytes.append(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
        files->user(bytes);
        auto registry = store();
        registry->OpenSubKey(QStringLiteral("OptionLocale"), TCGRegistry::UserRoot);
        QCOMPARE(registry->ReadStringValue(QStringLiteral("WPNom"), QString(), 0), QStringLiteral("Éditeur"));
        QCOMPARE(registry->ReadIntegerValue(QStringLiteral("WPAutreModele"), 0, 0), -1);
        QCOMPARE(registry->ReadStringValue(QStringLiteral("WPPath"), QString(), 0), QStringLiteral("/é"));
    }

    void followsTheImportRules()
    {
        files->machine("REGEDIT4\n"
                      "; a comment\n"
                      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\KELDAR\\TALVOR\\Cnx]\n"
                      "\"Host\" = \"a\"\n"
                      "\"Login\"=\"x\"\n"
                      "[HKEY_LOCAL_MACHINE\\Software\\Keldar\\Talvor\\Cnx]\n"
                      "\"HOST\"=\"b\"\n"
                      "\"Login\"=-\n"
                      "[HKEY_LOCAL_MACHINE\\Software\\Keldar\\Talvor\\Old]\n"
                      "[-HKEY_LOCAL_MACHINE\\Software\\Keldar\\Talvor\\Old]\n"
                      "\"Ignored\"=\"value of a deleted key\"\n");
        auto registry = store();
        QVERIFY(!registry->OpenBaseKeys()); // the parent keys exist with the key
        QCOMPARE(registry->LastError, -1);
        registry->OpenSubKey(QStringLiteral("CNX"), 1);
        QCOMPARE(registry->ReadStringValue(QStringLiteral("host"), QString(), 1), QStringLiteral("b"));
        QCOMPARE(registry->ReadStringValue(QStringLiteral("Login"), QStringLiteral("d"), 1), QStringLiteral("d"));
        QVERIFY(Raised<EGRegException>([&] { registry->OpenSubKey(QStringLiteral("Old"), 1); }) != NothingRaised);
    }

    void filesThatAreNotRegistryFiles_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("reason");
        const QByteArray header = "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Keldar\\Talvor\\Cnx]\r\n";
        QTest::newRow("no header") << QByteArray("\r\n[HKEY_LOCAL_MACHINE\\Software]\r\n") << 2
                                   << "en-tête \"REGEDIT4\" ou \"Windows Registry Editor Version 5.00\" attendu";
        QTest::newRow("unknown line") << header + "Host=srv\r\n" << 4 << "ligne incompréhensible";
        QTest::newRow("value outside a key") << QByteArray("REGEDIT4\n\"Host\"=\"srv\"\n") << 2 << "valeur en dehors de toute clé";
        QTest::newRow("no closing bracket") << QByteArray("REGEDIT4\n[HKEY_LOCAL_MACHINE\\Software\n") << 2
                                            << "crochet fermant \"]\" manquant";
        QTest::newRow("key of the other root")
            << QByteArray("REGEDIT4\n[HKEY_CURRENT_USER\\Software]\n") << 2
            << "la clé [HKEY_CURRENT_USER\\Software] n'est pas sous HKEY_LOCAL_MACHINE, la racine que ce fichier décrit";
        QTest::newRow("unterminated name") << header + "\"Host=\"srv\r\n" << 4 << "signe \"=\" attendu après le nom de la valeur";
        QTest::newRow("no equals sign") << header + "\"Host\" \"srv\"\r\n" << 4 << "signe \"=\" attendu après le nom de la valeur";
        QTest::newRow("unterminated text") << header + "\"Host\"=\"srv\r\n" << 4 << "guillemet fermant manquant dans le texte de la valeur";
        QTest::newRow("text then more") << header + "\"Host\"=\"srv\" x\r\n" << 4 << "caractères inattendus après le texte de la valeur";
        QTest::newRow("dword of nine digits") << header + "\"Port\"=dword:000000001\r\n" << 4
                                              << "valeur dword incorrecte (jusqu'à 8 chiffres hexadécimaux attendus)";
        QTest::newRow("dword not hexadecimal") << header + "\"Port\"=dword:0000000g\r\n" << 4
                                               << "valeur dword incorrecte (jusqu'à 8 chiffres hexadécimaux attendus)";
        QTest::newRow("unknown type") << header + "\"Port\"=qword:1\r\n" << 4 << "type de valeur inconnu";
        QTest::newRow("bad byte on a continued line") << header + "\"B\"=hex:01,\\\r\n  0x2\r\n" << 4 << "octet hexadécimal incorrect \"0x2\"";
        QTest::newRow("continued past the end") << header + "\r\n\"B\"=hex:01,\\" << 5
                                                << "suite de la valeur hexadécimale manquante en fin de fichier";
        QTest::newRow("UTF-16 without byte-order mark") << QByteArray("R\0E\0G\0", 6) << 1
                                                        << "en-tête \"REGEDIT4\" ou \"Windows Registry Editor Version 5.00\" attendu";
    }
    void filesThatAreNotRegistryFiles()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, line);
        QFETCH(QString, reason);
        files->machine(content);
        auto registry = store();
        QVERIFY(!registry->OpenBaseKeys());
        QCOMPARE(registry->LastError, -2);
        QCOMPARE(Raised<EGRegException>([&] { registry->OpenSubKey(QStringLiteral("Cnx"), 1); }),
                 QStringLiteral("Impossible d'ouvrir la sous clé Cnx de la table de registre\r\n"
                                "Le fichier de registre <%1> est incorrect à la ligne %2 : %3.")
                     .arg(files->machineFile())
                     .arg(line)
                     .arg(reason));
    }

    void unreadableFileIsNamed()
    {
        QVERIFY(QDir().mkpath(files->machineFile()));
        auto registry = store();
        QCOMPARE(Raised<EGRegException>([&] { registry->OpenSubKey(QStringLiteral("Cnx"), 1); }),
                 QStringLiteral("Impossible d'ouvrir la sous clé Cnx de la table de registre\r\n"
                                "Le fichier de registre <%1> n'est pas un fichier ordinaire.")
                     .arg(files->machineFile()));
    }

    void defaultFilesFollowTheConfigurationFolders()
    {
        using platform::RegFileRegistry;
        const QByteArray savedConfig = qgetenv("XDG_CONFIG_HOME");
        qunsetenv("SCRIVO_HKCU_FILE");
        qunsetenv("SCRIVO_HKLM_FILE");
        qputenv("XDG_CONFIG_HOME", "/tmp/conf");
        QCOMPARE(RegFileRegistry::defaultUserFile("Keldar"), std::string("/tmp/conf/Keldar/registry.reg"));
        qunsetenv("XDG_CONFIG_HOME");
        QCOMPARE(RegFileRegistry::defaultUserFile("Keldar"), qgetenv("HOME").toStdString() + "/.config/Keldar/registry.reg");
        QCOMPARE(RegFileRegistry::defaultMachineFile("Keldar"), std::string("/etc/xdg/Keldar/registry.reg"));
        qputenv("SCRIVO_HKLM_FILE", "/tmp/hklm.reg");
        QCOMPARE(RegFileRegistry::defaultMachineFile("Keldar"), std::string("/tmp/hklm.reg"));
        qunsetenv("SCRIVO_HKLM_FILE");
        if (!savedConfig.isNull())
            qputenv("XDG_CONFIG_HOME", savedConfig);
    }
};

QTEST_GUILESS_MAIN(TestRegistry)
#include "tst_registry.moc"
