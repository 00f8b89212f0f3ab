// Connection parameters and workstation options read from registry files and central
// files written by each test: the command-line file, the precedence of the central file
// over the registry, the folder rules, the checks, and every trace and message by its
// exact text.
#include "config/CCnxParam.h"
#include "config/CGRegistry.h"
#include "config/COption.h"
#include "support/CAppNames.h"
#include "support/ErrorMessageBox.h"
#include "support/StrMan.h"
#include "support/WinTools.h"
#include "testsupport/Endings.h"
#include "testsupport/ScriptedMessages.h"
#include "testsupport/RegistryFiles.h"
#include "testsupport/TestFiles.h"
#include "testsupport/TestProcessStrings.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <map>

namespace {

const QString FileErrorLocation = QStringLiteral("de lecture des paramètres de connexions");

// The fields that precedence concerns, by their registry and file key names.
QString Field(const TCCnxParam &p, const QString &name)
{
    static const std::map<QString, QString TCCnxParam::*> texts = {
        {QStringLiteral("DataBaseName"), &TCCnxParam::DataBaseName}, {QStringLiteral("Login"), &TCCnxParam::Login},
        {QStringLiteral("PassWord"), &TCCnxParam::PassWord},         {QStringLiteral("DataBaseType"), &TCCnxParam::DataBaseType},
        {QStringLiteral("Host"), &TCCnxParam::Host},                 {QStringLiteral("HostName"), &TCCnxParam::HostName},
        {QStringLiteral("Charset"), &TCCnxParam::Charset},           {QStringLiteral("Port"), &TCCnxParam::Port},
        {QStringLiteral("Protocol"), &TCCnxParam::Protocol},         {QStringLiteral("Modele"), &TCCnxParam::Modele},
        {QStringLiteral("hPrim"), &TCCnxParam::hPrim},               {QStringLiteral("ModGed"), &TCCnxParam::ModGed},
        {QStringLiteral("ServerDir"), &TCCnxParam::ServerDir},
    };
    if (name == QLatin1String("InnoDB"))
        return p.InnoDB ? QStringLiteral("true") : QStringLiteral("false");
    if (name == QLatin1String("LectureSeule"))
        return p.LectureSeule ? QStringLiteral("true") : QStringLiteral("false");
    if (name == QLatin1String("Archive1"))
        return p.Archives[1];
    return p.*(texts.at(name));
}

bool IsFolder(const QString &name)
{
    return QStringList{"Modele", "hPrim", "ModGed", "ServerDir", "Archive1"}.contains(name);
}

} // namespace

class TestCnxParam : public QObject {
    Q_OBJECT

    std::unique_ptr<TestProcessStrings> strings;
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<RegistryFiles> registry;
    std::unique_ptr<ScriptedMessages> messages;
    TCAppNames names;

    QString path(const QString &name) const { return dir->path() + u'/' + name; }
    void machine(const RegText &reg) { registry->machine(reg); }
    void user(const RegText &reg) { registry->user(reg); }

    std::unique_ptr<TCCnxParam> params(const QStringList &arguments = {})
    {
        return std::make_unique<TCCnxParam>(names, QStringList{QStringLiteral("scrivo")} + arguments);
    }

    // A registry whose Cnx key points at a central file in the test's folder.
    RegText centralSetup(const QByteArray &ini)
    {
        QDir().mkpath(path(QStringLiteral("central")));
        WriteFile(path(QStringLiteral("central/talvor.ini")), ini);
        RegText reg;
        reg.key().key(QStringLiteral("Cnx")).text(QStringLiteral("ParamFilePath"), path(QStringLiteral("central")));
        return reg;
    }

    static QString missingIniMessage()
    {
        return QStringLiteral("Le fichier ini spécifié sur la ligne de commande est absent ou inaccessible.\r\n"
                              "Vérifier le nom de ce fichier ou vos connexions réseaux.\r\n"
                              "Le lancement de Vovoziviv Udedezuv est impossible.");
    }

private slots:
    void init()
    {
        strings = std::make_unique<TestProcessStrings>();
        names.ApplicationName = QStringLiteral("Vovoziviv Udedezuv");
        dir = std::make_unique<QTemporaryDir>();
        registry = std::make_unique<RegistryFiles>(dir->path());
        registry->activate();
        messages = std::make_unique<ScriptedMessages>();
    }
    void cleanup()
    {
        messages.reset();
        registry.reset();
        dir.reset();
        strings.reset();
    }

    void registryModeFromCnxregmode_data()
    {
        QTest::addColumn<int>("cnxregmode"); // -2: absent
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("trace");
        QTest::newRow("absent") << -2 << 1 << "Mode registre : Local";
        QTest::newRow("0") << 0 << 1 << "Mode registre : Local";
        QTest::newRow("1") << 1 << 0 << "Mode registre : User";
        QTest::newRow("ffffffff") << -1 << 0 << "Mode registre : User";
    }
    void registryModeFromCnxregmode()
    {
        QFETCH(int, cnxregmode);
        QFETCH(int, mode);
        QFETCH(QString, trace);
        RegText reg;
        reg.key();
        if (cnxregmode != -2)
            reg.dword(QStringLiteral("cnxregmode"), static_cast<quint32>(cnxregmode));
        machine(reg);
        // "cnxregmode" is always read under the machine's root.
        user(RegText(RegText::User).key().dword(QStringLiteral("cnxregmode"), 1));

        QCOMPARE(params()->RegistryMode, mode);
        QCOMPARE(messages->texts(), QStringList());
        QCOMPARE(params({QStringLiteral("-V")})->RegistryMode, mode);
        QCOMPARE(messages->texts(), QStringList{trace});
        QCOMPARE(messages->requests().first().flags, int(mfOk));
        QCOMPARE(TCLocaleOption(names).RegistryMode, mode);

        machine(RegText().key().text(QStringLiteral("cnxregmode"), QStringLiteral("1")));
        QVERIFY(Raised([&] { params(); }).startsWith(QStringLiteral("Impossible de lire la valeur <cnxregmode>\r\n")));
    }

    void tracesShowEachStep_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("credentials");
        QTest::newRow("-v") << QStringList{"doc.odt", "-v"} << false;
        QTest::newRow("-vv") << QStringList{"-VV"} << true;
        QTest::newRow("-v followed by -vv") << QStringList{"-v", "-vv"} << false;
    }
    void tracesShowEachStep()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, credentials);
        RegText reg = centralSetup("[CNX]\r\nDataBaseName=/data/base.fdb\r\nLogin=lecteur\r\n"
                                   "[CHEMINS]\r\nCourrier=/srv/courriers\r\nGups=/srv/gups\r\nArchive2=/srv/a2\r\n");
        reg.text(QStringLiteral("DataBaseName"), QStringLiteral("regbase"))
            .text(QStringLiteral("Login"), QStringLiteral("SYSDBA"))
            .text(QStringLiteral("PassWord"), QStringLiteral("secret-masterkey"))
            .text(QStringLiteral("DataBaseType"), QStringLiteral("FireBird 2.1"))
            .text(QStringLiteral("Host"), QStringLiteral("srv"))
            .text(QStringLiteral("InnoDB"), QStringLiteral("-1"))
            .text(QStringLiteral("Port"), QStringLiteral("3050"))
            .key(QStringLiteral("Chemins"))
            .text(QStringLiteral("Modele"), QStringLiteral("/srv/modeles"))
            .text(QStringLiteral("hPrim"), QString())
            .text(QStringLiteral("ModGed"), QStringLiteral("  /srv/mod \t  ged "))
            .text(QStringLiteral("Archive1"), QStringLiteral("/srv/a1"));
        machine(reg);

        auto p = params(arguments);
        p->LoadParams(false);
        const QString folder = path(QStringLiteral("central"));
        const QString file = folder + QStringLiteral("/talvor.ini");
        QStringList expected = {
            "Mode registre : Local",
            "Mode .ini en central",
            "Chemin fichier talvor.ini : \r\n" + folder,
            "AutoLoadParam : true",
            "Paramètres lu en Base de registre : \r\nDatabaseName : regbase\r\nLogin : founi\r\nPassword : founi\r\n"
            "HoDataBaseType : FireBird 2.1\r\nHost : srv\r\nCharset : \r\nInnoDB : oui\r\nPort : 3050\r\nProtocol : \r\n"
            "LectureSeule : non",
            "Chemins lu en Base de registre : \r\nModele : /srv/modeles/\r\nCourrier : /\r\nPiece : /\r\nhPrim : \r\n"
            "Ged : /\r\nModGed : /srv/mod ged/\r\nParam : \r\nGups : \r\nMaj : \r\nArchives[1] : /srv/a1\r\n"
            "Archives[2] : \r\nArchives[3] : ",
            "Debut chargement fichier : \r\n" + file,
            "Paramètres après lecture .ini : \r\nDatabaseName : /data/base.fdb\r\nLogin : founi\r\nPassword : founi\r\n"
            "HoDataBaseType : FireBird 2.1\r\nHost : srv\r\nCharset : \r\nInnoDB : non\r\nPort : 3050\r\nProtocol : \r\n"
            "LectureSeule : non",
            "Chemins après lecture .ini : \r\nModele : /srv/modeles/\r\nCourrier : /srv/courriers/\r\nPiece : /\r\n"
            "hPrim : \r\nGups : /srv/gups/\r\nGed : /\r\nModGed : /srv/mod ged/\r\nParam : \r\nMaj : \r\n"
            "Archives[1] : /srv/a1\r\nArchives[2] : /srv/a2/\r\nArchives[3] : ",
        };
        if (credentials) {
            expected.insert(5, "Login/pass lu en Base de registre : \r\nLogin : SYSDBA\r\nPassWord : secret-masterkey");
            expected.insert(9, "Login/pass Paramètres après lecture .ini : \r\nLogin : lecteur\r\nPassWord : secret-masterkey");
        }
        QCOMPARE(messages->texts(), expected);
        for (const MessageRequest &request : messages->requests()) {
            QCOMPARE(request.title, QStringLiteral("Tst_cnxparam"));
            QCOMPARE(request.flags, int(mfOk));
        }
        QCOMPARE(p->ServerDir, QStringLiteral("/srv/"));
        QVERIFY(!p->TerminationRequested);

        // Without a trace switch the same loading shows nothing.
        messages->clear();
        params({QStringLiteral("doc.odt")})->LoadParams(false);
        QCOMPARE(messages->texts(), QStringList());
    }

    void iniOnTheCommandLine_data()
    {
        QTest::addColumn<QString>("argument"); // %1: an existing file
        QTest::addColumn<bool>("accepted");
        QTest::newRow("one character") << "-ini=a" << false;
        QTest::newRow("one character in quotes") << "-ini=\"a\"" << false;
        QTest::newRow("no equals sign") << "-ini" << false;
        QTest::newRow("empty") << "-ini=" << false;
        QTest::newRow("missing file") << "-ini=%1.absent" << false;
        QTest::newRow("folder") << "-ini=%1.d" << false;
        QTest::newRow("existing file") << "-ini=%1" << true;
        QTest::newRow("in quotes, any case") << "-INI=\"%1\"" << true;
        QTest::newRow("other text after -ini") << "-inifile=%1" << true;
    }
    void iniOnTheCommandLine()
    {
        QFETCH(QString, argument);
        QFETCH(bool, accepted);
        const QString file = path(QStringLiteral("autre param.ini"));
        WriteFile(file, "[CNX]\nDataBaseName=from-file\n");
        QDir().mkpath(file + QStringLiteral(".d"));
        // The registry's own file is not consulted when the command line names one.
        machine(RegText().key().key(QStringLiteral("Cnx"))
                    .text(QStringLiteral("ParamFilePath"), path(QStringLiteral("absent")))
                    .text(QStringLiteral("DataBaseName"), QStringLiteral("from-registry")));

        auto p = params({QStringLiteral("doc.odt"), QString(argument).replace(QStringLiteral("%1"), file), QStringLiteral("-ini=") + file});
        p->LoadParams(false);
        QVERIFY(p->IniOnCommandLine);
        if (accepted) {
            QCOMPARE(p->ParamFileName, file);
            QCOMPARE(p->DataBaseName, QStringLiteral("from-file"));
            QCOMPARE(messages->texts(), QStringList());
            QVERIFY(!p->TerminationRequested);
            QVERIFY(p->ParamFileAvailable());
        } else {
            // LoadParams returns at once; the program ends when back in its event loop.
            QCOMPARE(p->ParamFileName, QString());
            QCOMPARE(p->DataBaseName, QString());
            QCOMPARE(messages->texts(), QStringList{missingIniMessage()});
            QVERIFY(p->TerminationRequested);
            QVERIFY(ApplicationEnds());
        }
    }

    void terminationWaitsForModalWindows()
    {
        // A message still open when the request comes stays until the user closes it.
        int modalResult = 0;
        QTimer::singleShot(0, [&modalResult] {
            QEventLoop modal;
            QTimer::singleShot(300, &modal, [&modal] { modal.exit(5); });
            RequestApplicationTermination();
            modalResult = modal.exec();
        });
        QVERIFY(ApplicationEnds());
        QCOMPARE(modalResult, 5);
    }

    void iniTracesAndTheAutoLoadSwitch()
    {
        const QString file = path(QStringLiteral("poste.ini"));
        WriteFile(file, "[CNX]\nDataBaseName=from-file\nInnoDB=1\n");
        machine(RegText().key().key(QStringLiteral("Cnx"))
                    .dword(QStringLiteral("AutoLoadParam"), 0)
                    .text(QStringLiteral("DataBaseName"), QStringLiteral("from-registry"))
                    .key(QStringLiteral("Chemins")));

        auto p = params({QStringLiteral("-ini=\"") + file + u'"', QStringLiteral("-v")});
        p->LoadParams(false);
        QCOMPARE(p->ParamFileName, file);
        QCOMPARE(p->DataBaseName, QStringLiteral("from-registry"));
        QVERIFY(!p->InnoDB);
        const QStringList texts = messages->texts();
        QCOMPARE(texts.mid(1, 4), (QStringList{"Passage en mode .ini sur ligne de commande",
                                               "Ini sur ligne de commande : \r\n" + file,
                                               "Le fichier spécifié sur la ligne de commande existe bien",
                                               "AutoLoadParam : false"}));
        QCOMPARE(texts.last(), QString("Pas de lecture du fichier .ini !\r\nParamFileName : <" + file + ">\r\nRegistryOnly : non"));

        // Registry only: the file is not read whatever AutoLoadParam says.
        machine(RegText().key().key(QStringLiteral("Cnx")).key(QStringLiteral("Chemins")));
        messages->clear();
        p->LoadParams(true);
        QVERIFY(p->AutoLoadParam);
        QCOMPARE(p->DataBaseName, QStringLiteral("from-registry")); // kept from the earlier load
        QCOMPARE(messages->texts().last(),
                 QString("Pas de lecture du fichier .ini !\r\nParamFileName : <" + file + ">\r\nRegistryOnly : oui"));
    }

    void centralFileWinsWhenItHasAValue_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("registry"); // null: absent
        QTest::addColumn<QString>("file");     // null: absent
        QTest::addColumn<QString>("expected");
        const QString absent;
        QTest::newRow("file value wins") << "DataBaseName" << "reg" << "file" << "file";
        QTest::newRow("empty file value") << "Login" << "reg" << "" << "reg";
        QTest::newRow("no file value") << "PassWord" << "reg" << absent << "reg";
        QTest::newRow("neither") << "Host" << absent << absent << "";
        QTest::newRow("type from the file") << "DataBaseType" << "MySQL 4.x" << "FireBird 2" << "FireBird 2";
        QTest::newRow("port from the file") << "Port" << "3050" << "3051" << "3051";
        QTest::newRow("charset from the registry") << "Charset" << "WIN1252" << absent << "WIN1252";
        QTest::newRow("protocol from the file") << "Protocol" << absent << "firebird-2.1" << "firebird-2.1";
        QTest::newRow("host name in the file only") << "HostName" << "reg" << "file" << "file";
        QTest::newRow("host name not in the registry") << "HostName" << "reg" << absent << "";
        QTest::newRow("InnoDB without a file key") << "InnoDB" << "1" << absent << "false";
        QTest::newRow("InnoDB false in the file") << "InnoDB" << "-1" << "0" << "false";
        QTest::newRow("InnoDB true in the file") << "InnoDB" << "" << "-1" << "true";
        QTest::newRow("LectureSeule true in the file") << "LectureSeule" << "0" << "1" << "true";
        QTest::newRow("LectureSeule not a number") << "LectureSeule" << "-1" << "oui" << "false";
        QTest::newRow("folder from the file") << "Modele" << "/reg/modeles" << "/file/modeles" << "/file/modeles/";
        QTest::newRow("folder from the registry") << "Modele" << "/reg/modeles" << "" << "/reg/modeles/";
        QTest::newRow("optional folder left empty") << "hPrim" << "" << absent << "";
        QTest::newRow("tidied folder") << "ModGed" << " /a  b " << absent << "/a b/";
        QTest::newRow("archive from the registry as read") << "Archive1" << "/reg/a1" << absent << "/reg/a1";
        QTest::newRow("archive from the file") << "Archive1" << "/reg/a1" << "/file/a1" << "/file/a1/";
        QTest::newRow("server folder from the file") << "ServerDir" << absent << "/srv/talvor" << "/srv/talvor/";
    }
    void centralFileWinsWhenItHasAValue()
    {
        QFETCH(QString, name);
        QFETCH(QString, registry);
        QFETCH(QString, file);
        QFETCH(QString, expected);
        const bool folder = IsFolder(name);
        QByteArray ini = "[CNX]\r\n[CHEMINS]\r\n";
        if (!file.isNull())
            ini.insert(folder ? ini.size() : 7, (name + u'=' + file + QStringLiteral("\r\n")).toUtf8());
        RegText reg = centralSetup(ini);
        if (!folder && !registry.isNull())
            reg.text(name, registry);
        reg.key(QStringLiteral("Chemins"));
        if (folder && !registry.isNull())
            reg.text(name, registry);
        machine(reg);

        auto p = params();
        p->LoadParams(false);
        QCOMPARE(p->ParamFileName, path(QStringLiteral("central/talvor.ini")));
        QCOMPARE(Field(*p, name), expected);
        QCOMPARE(messages->texts(), QStringList());
    }

    void serverFolderFromTheTemplates_data()
    {
        QTest::addColumn<QString>("modele");
        QTest::addColumn<QString>("expectedModele");
        QTest::addColumn<QString>("serverDir");
        QTest::newRow("share folder") << "/srv/data/modeles/" << "/srv/data/modeles/" << "/srv/data/";
        QTest::newRow("without separator") << "/srv/data/modeles" << "/srv/data/modeles/" << "/srv/data/";
        QTest::newRow("empty") << "" << "/" << "/";
        QTest::newRow("with dot segments") << "/srv/./data//modeles/../modeles" << "/srv/./data//modeles/../modeles/" << "/srv/data/";
    }
    void serverFolderFromTheTemplates()
    {
        QFETCH(QString, modele);
        QFETCH(QString, expectedModele);
        QFETCH(QString, serverDir);
        machine(RegText().key().key(QStringLiteral("Cnx")).key(QStringLiteral("Chemins")).text(QStringLiteral("Modele"), modele));
        auto p = params();
        p->LoadParams(false);
        QCOMPARE(p->Modele, expectedModele);
        QCOMPARE(p->ServerDir, serverDir);
    }

    void paramFilePathCases()
    {
        // A folder that does not exist: told, then the registry alone.
        machine(RegText().key().key(QStringLiteral("Cnx"))
                    .text(QStringLiteral("ParamFilePath"), QStringLiteral("/nulle/part"))
                    .text(QStringLiteral("DataBaseName"), QStringLiteral("reg")));
        auto p = params();
        p->LoadParams(false);
        QCOMPARE(messages->texts(), QStringList{"Le chemin /nulle/part\r\nest inaccessible !\r\n"
                                                "Vérifiez vos connexions réseau et/ou la disponibilité de votre serveur !"});
        QCOMPARE(p->ParamFilePath, QStringLiteral("/nulle/part"));
        QCOMPARE(p->ParamFileName, QString());
        QCOMPARE(p->DataBaseName, QStringLiteral("reg"));
        QVERIFY(p->ParamFileAvailable());

        // An existing folder without the file: nothing said, nothing kept.
        messages->clear();
        QDir().mkpath(path(QStringLiteral("vide")));
        machine(RegText().key().key(QStringLiteral("Cnx")).text(QStringLiteral("ParamFilePath"), path(QStringLiteral("vide"))));
        p->LoadParams(false);
        QCOMPARE(messages->texts(), QStringList());
        QCOMPARE(p->ParamFilePath, QString());
        QCOMPARE(p->ParamFileName, QString());
        QVERIFY(p->ParamFileAvailable());

        // The central file as the practice writes it (Windows-1252, CRLF), its name in
        // another case as a share filled from Windows may have it.
        QDir().mkpath(path(QStringLiteral("partage")));
        QVERIFY(QFile::copy(QFINDTESTDATA("../fixtures/config/central/talvor.ini"), path(QStringLiteral("partage/TALVOR.INI"))));
        machine(RegText().key().key(QStringLiteral("Cnx")).text(QStringLiteral("ParamFilePath"), path(QStringLiteral("partage"))));
        p->LoadParams(false);
        QCOMPARE(p->ParamFileName, path(QStringLiteral("partage/TALVOR.INI")));
        QCOMPARE(p->DataBaseName, QStringLiteral("/srv/talvor/données/TALVOR.FDB"));
        QCOMPARE(p->Login, QStringLiteral("SYSDBA"));
        QVERIFY(p->InnoDB);
        QCOMPARE(p->Modele, QStringLiteral("/srv/talvor/modèles/"));
        QCOMPARE(p->ServerDir, QStringLiteral("/srv/talvor/"));
        QVERIFY(p->ParamFileAvailable());
        QVERIFY(QFile::remove(p->ParamFileName));
        QVERIFY(!p->ParamFileAvailable());
    }

    void registryFailures()
    {
        // No "Cnx" key: raised to the caller.
        machine(RegText().key());
        auto p = params();
        QCOMPARE(Raised([&] { p->LoadParams(false); }),
                 QStringLiteral("Impossible d'ouvrir la sous clé Cnx de la table de registre\r\n"
                                "Clé cherchée dans le fichier de registre <")
                     + registry->machineFile()
                     + QStringLiteral("> (la variable SCRIVO_HKLM_FILE peut désigner un autre fichier)."));

        // A value of the wrong kind under "Cnx": raised too.
        machine(RegText().key().key(QStringLiteral("Cnx")).text(QStringLiteral("AutoLoadParam"), QStringLiteral("1")));
        QVERIFY(Raised([&] { p->LoadParams(false); }).startsWith(QStringLiteral("Impossible de lire la valeur <AutoLoadParam>\r\n")));

        // Under "Chemins": the step stops, the folders read so far stay, loading goes on.
        RegText reg = centralSetup("[CNX]\nHost=from-file\n");
        reg.key(QStringLiteral("Chemins"))
            .text(QStringLiteral("Modele"), QStringLiteral("/srv/modeles"))
            .dword(QStringLiteral("Courrier"), 1);
        machine(reg);
        p = params({QStringLiteral("-v")});
        messages->clear();
        p->LoadParams(false);
        QCOMPARE(p->Modele, QStringLiteral("/srv/modeles/"));
        QCOMPARE(p->Courrier, QString());
        QCOMPARE(p->Host, QStringLiteral("from-file"));
        const QStringList paths = messages->texts().filter(QStringLiteral("Chemins lu en Base de registre"));
        QCOMPARE(paths.size(), 1);
        QVERIFY(paths.first().startsWith(QStringLiteral("Chemins lu en Base de registre : \r\nlecture impossible\r\nModele : /srv/modeles/\r\n")));

        // No "Chemins" key at all: the same.
        machine(RegText().key().key(QStringLiteral("Cnx")));
        messages->clear();
        p->LoadParams(false);
        QVERIFY(messages->texts().at(3).startsWith(QStringLiteral("Chemins lu en Base de registre : \r\nlecture impossible\r\n")));
    }

    void unreadableCentralFile()
    {
        // A file that exists but that nobody, root included, can read from its start.
        const QString file = QStringLiteral("/proc/self/mem");
        machine(RegText().key().key(QStringLiteral("Cnx")).text(QStringLiteral("DataBaseName"), QStringLiteral("reg")));
        auto p = params({QStringLiteral("-ini=") + file});
        p->LoadParams(false);
        QCOMPARE(p->DataBaseName, QStringLiteral("reg"));
        QCOMPARE(messages->texts(),
                 (QStringList{ErrorMessageText(nullptr,
                                               "Impossible d'accéer au fichier \r\n<" + file
                                                   + ">\r\nLes paramètres de connexion risquent d'être incomplet.",
                                               FileErrorLocation),
                              ErrorMessageText(nullptr,
                                               "Impossible de lire un des paramètres du fichier \r\n<" + file
                                                   + ">\r\nLes paramètres de connexion risquent d'être incomplet.",
                                               FileErrorLocation)}));
        for (const MessageRequest &request : messages->requests())
            QCOMPARE(request.kind, MessageRequest::Kind::ErrorWindow);
    }

    void checkParams_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("base");
        QTest::addColumn<QString>("login");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("report"); // empty: the check passes
        // Every server type the workstations may name passes, in any case; near names do not.
        for (const char *type : {"FireBird 2", "FireBird 2.0", "FireBird 2.1", "MySQL 3.23", "MySQL 3.x", "MySQL 3.xx",
                                 "MySQL 4.0", "MySQL 4.00", "MySQL 4.x", "MySQL 4.xx"})
            QTest::addRow("%s accepted", type) << type << "h" << "b" << "l" << "p" << "";
        for (const char *type : {"FireBird", "FireBird 2.5", "MySQL 4"})
            QTest::addRow("%s refused", type) << type << "h" << "b" << "l" << "p"
                                              << "Le type de serveur est incorrect ou manquant.\r\n";
        QTest::newRow("Firebird in lower case") << "firebird 2.1" << "" << "b" << "l" << "p" << "";
        QTest::newRow("MySQL outside the list") << "MySQL 5.0" << "h" << "b" << "l" << "p"
                                                << "Le type de serveur est incorrect ou manquant.\r\n";
        QTest::newRow("MySQL without password") << "MySQL 4.x" << "h" << "b" << "l" << "" << "";
        QTest::newRow("Firebird without password") << "FireBird 2" << "" << "b" << "l" << " \t"
                                                   << "Le mot de passe nécessaire à la connexion n'a pas été précisé.\r\n";
        QTest::newRow("MySQL without host") << "MySQL 3.23" << " " << "b" << "l" << "p"
                                            << "Aucun serveur (Host) n'a été indiqué\r\n";
        QTest::newRow("nothing") << "" << "" << " " << "" << ""
                                 << "Le type de serveur est incorrect ou manquant.\r\n"
                                    "Aucun nom de base de donnée n'a été indiqué.\r\n"
                                    "Le Login (identité) nécessaire à la connexion n'a pas été précisé.\r\n";
    }
    void checkParams()
    {
        QFETCH(QString, type);
        QFETCH(QString, host);
        QFETCH(QString, base);
        QFETCH(QString, login);
        QFETCH(QString, password);
        QFETCH(QString, report);
        for (const bool traced : {false, true}) {
            auto p = params(traced ? QStringList{QStringLiteral("-vv")} : QStringList());
            messages->clear();
            p->DataBaseType = type;
            p->Host = host;
            p->DataBaseName = base;
            p->Login = login;
            p->PassWord = password;
            QCOMPARE(p->CheckParams(), report.isEmpty());
            QStringList expected;
            if (traced && !report.isEmpty())
                expected << "Certains paramètres sont manquants ou incomplets : \r\n" + report;
            QCOMPARE(messages->texts(), expected);
        }
    }

    void serverKindAndRowLimit()
    {
        auto p = params();
        const auto kind = [&](const QString &type) {
            p->DataBaseType = type;
            return p->GetServerKind();
        };
        QCOMPARE(kind(QStringLiteral("MySQL 5.0")), QStringLiteral("mysql"));
        QCOMPARE(kind(QStringLiteral("Oracle")), QString());
        QCOMPARE(p->GetRowLimitKeyword(), QString());
        QCOMPARE(kind(QStringLiteral("FIREBIRD 2")), QStringLiteral("firebird"));
        QCOMPARE(p->GetRowLimitKeyword(), QStringLiteral("FIRST"));
        kind(QStringLiteral("MySQL 4.x"));
        QCOMPARE(p->GetRowLimitKeyword(), QStringLiteral("FIRST")); // kept once found
    }

    void localeOptions()
    {
        RegText reg;
        reg.key().key(QStringLiteral("OptionLocale"))
            .text(QStringLiteral("WPNom"), QString())
            .text(QStringLiteral("WPPath"), QStringLiteral("/usr/bin/writer"))
            .dword(QStringLiteral("WPAutreOrdo"), 1)
            .text(QStringLiteral("WPOrdoNom"), QStringLiteral("Ordo"))
            .text(QStringLiteral("WPOrdoPath"), QStringLiteral("/usr/bin/ordo"))
            .dword(QStringLiteral("WPAutreModele"), 0xffffffff)
            .text(QStringLiteral("WPModeleNom"), QString())
            .text(QStringLiteral("WPModelePath"), QStringLiteral("/usr/bin/modele"));
        machine(reg);
        TCLocaleOption options(names);
        QVERIFY(!options.Loaded);
        QCOMPARE(options.WPPath(), QString()); // no name, no path
        QVERIFY(options.Loaded);
        QVERIFY(!options.WPAutreOrdo());       // 1 is not true
        QCOMPARE(options.WPOrdoPath(), QString());
        QVERIFY(options.WPAutreModele());      // -1 is
        QCOMPARE(options.WPModelePath(), QString());
        QVERIFY(options.ReadBoolOption(QStringLiteral("Absent"), true));
        QVERIFY(!options.ReadBoolOption(QStringLiteral("Absent"), false));
        QCOMPARE(options.ReadStringOption(QStringLiteral("WPOrdoNom"), QString()), QStringLiteral("Ordo"));
    }

    void localeOptionsLoadWhenTheyCan()
    {
        // Options under the user's root, which "cnxregmode" chooses.
        machine(RegText().key().dword(QStringLiteral("cnxregmode"), 1));
        TCLocaleOption options(names);
        // No user's file: the message says which one was looked for.
        QCOMPARE(Raised([&] { options.WPPath(); }),
                 QStringLiteral("Impossible d'ouvrir la sous clé OptionLocale de la table de registre\r\n"
                                "Le fichier de registre <")
                     + registry->userFile()
                     + QStringLiteral("> n'existe pas (la variable SCRIVO_HKCU_FILE peut désigner un autre fichier)."));
        QVERIFY(!options.Loaded);

        RegText readable(RegText::User);
        readable.key(QStringLiteral("OptionLocale"))
            .text(QStringLiteral("WPNom"), QStringLiteral("Writer"))
            .text(QStringLiteral("WPPath"), QStringLiteral("/usr/bin/writer"))
            .dword(QStringLiteral("WPAutreOrdo"), 0xffffffff)
            .text(QStringLiteral("WPOrdoNom"), QStringLiteral("Ordo"))
            .text(QStringLiteral("WPOrdoPath"), QStringLiteral("/usr/bin/ordo"));
        user(RegText(readable).text(QStringLiteral("WPAutreModele"), QStringLiteral("-1")));
        QVERIFY(Raised([&] { options.WPPath(); }).startsWith(QStringLiteral("Impossible de lire la valeur <WPAutreModele>")));
        QVERIFY(!options.Loaded);

        user(readable);
        QCOMPARE(options.WPPath(), QStringLiteral("/usr/bin/writer"));
        QVERIFY(options.WPAutreOrdo());
        QCOMPARE(options.WPOrdoPath(), QStringLiteral("/usr/bin/ordo"));
        QVERIFY(!options.WPAutreModele());
    }
};

QTEST_MAIN(TestCnxParam)
#include "tst_cnxparam.moc"
