// Opening the document in the configured word processor (recorder scripts stand in for
// the programs and write down the arguments they get), the variables file, and the
// variables picker hosted in the main window.
#include "app/CBinaryFile.h"
#include "app/CTraitementTexte.h"
#include "config/COption.h"
#include "pickers/CouVariable.h"
#include "support/CAppNames.h"
#include "support/StrMan.h"
#include "testsupport/Endings.h"
#include "testsupport/PickerDriver.h"
#include "testsupport/RecordingProgram.h"
#include "testsupport/RegistryFiles.h"
#include "testsupport/TestFiles.h"
#include "testsupport/TestProgram.h"

#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

namespace {

// The workstation's word processor options, to which a test adds values.
RegText OptionLocale()
{
    RegText options;
    options.key(QStringLiteral("OptionLocale"));
    return options;
}

// The options naming `program` the word processor "Traitement".
RegText WordProcessor(const QString &program)
{
    RegText options = OptionLocale();
    options.text(QStringLiteral("WPNom"), QStringLiteral("Traitement")).text(QStringLiteral("WPPath"), program);
    return options;
}

} // namespace

class TestDocumentLaunch : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<RegistryFiles> registry;
    std::unique_ptr<TestProgram> testProgram;
    TfScrivo *window() const { return testProgram->window(); }
    ScriptedMessages &messages() const { return testProgram->messages(); }
    QByteArray savedPath;

    QString path(const QString &name) const { return dir->path() + u'/' + name; }

    TfCouVariable *showVariables(const QStringList &variables)
    {
        window()->FVariables = std::make_unique<QStringList>(variables);
        window()->bVariable->show();
        QTest::mouseClick(window()->bVariable, Qt::LeftButton);
        return window()->panelHost->findChild<TfCouVariable *>();
    }

private slots:
    void init()
    {
        dir = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/scrivo lancement-XXXXXX"));
        registry = std::make_unique<RegistryFiles>(dir->path());
        registry->activate();
        savedPath = qgetenv("PATH");
        testProgram = std::make_unique<TestProgram>();
        QVERIFY(testProgram->showOnLetter());
    }
    void cleanup()
    {
        testProgram.reset();
        qputenv("PATH", savedPath);
        registry.reset();
        dir.reset();
    }

    void opensWithTheConfiguredProgram_data()
    {
        QTest::addColumn<QString>("variant");
        QTest::addColumn<bool>("autreModele");
        QTest::addColumn<bool>("autreOrdo");
        QTest::addColumn<QString>("program");
        QTest::newRow("document") << "document" << true << true << "wp";
        QTest::newRow("template, same program") << "template" << false << true << "wp";
        QTest::newRow("template, own program") << "template" << true << false << "modele";
        QTest::newRow("prescription, same program") << "prescription" << true << false << "wp";
        QTest::newRow("prescription, own program") << "prescription" << false << true << "ordo";
    }
    void opensWithTheConfiguredProgram()
    {
        QFETCH(QString, variant);
        QFETCH(bool, autreModele);
        QFETCH(bool, autreOrdo);
        QFETCH(QString, program);
        QDir().mkpath(path(QStringLiteral("mes programmes")));
        const RecordingProgram wp(path(QStringLiteral("mes programmes/wp")));
        const RecordingProgram modele(path(QStringLiteral("mes programmes/modele")));
        const RecordingProgram ordo(path(QStringLiteral("mes programmes/ordo")));
        registry->machine(WordProcessor(wp.path())
                              .dword(QStringLiteral("WPAutreModele"), autreModele ? 0xffffffff : 0)
                              .text(QStringLiteral("WPModeleNom"), QStringLiteral("Modèles"))
                              .text(QStringLiteral("WPModelePath"), modele.path())
                              .dword(QStringLiteral("WPAutreOrdo"), autreOrdo ? 0xffffffff : 0)
                              .text(QStringLiteral("WPOrdoNom"), QStringLiteral("Ordonnances"))
                              .text(QStringLiteral("WPOrdoPath"), ordo.path()));
        TCLocaleOption localeOptions(*AppNames);
        TCTraitementTexte launcher(&localeOptions);
        const QString document = path(QStringLiteral("Mes documents/lettre du patient.odt"));

        if (variant == QLatin1String("document"))
            launcher.OpenDocument(document);
        else if (variant == QLatin1String("template"))
            launcher.OpenTemplate(document);
        else
            launcher.OpenPrescription(document);

        const QString started = path(QStringLiteral("mes programmes/") + program);
        for (const RecordingProgram *candidate : {&wp, &modele, &ordo}) {
            if (candidate->path() == started) {
                QCOMPARE(candidate->recorded(), RecordingProgram::recordOf({document}));
                // Its windows are preferred among those that merely name the document.
                QCOMPARE(qint64(launcher.StartedProcess()), candidate->processId());
            }
        }
        for (const RecordingProgram *candidate : {&wp, &modele, &ordo})
            QCOMPARE(candidate->ran(), candidate->path() == started);
        QCOMPARE(messages().texts(), QStringList());
    }

    void emptyDocumentPathIsOneEmptyArgument()
    {
        const RecordingProgram wp(path(QStringLiteral("wp")));
        registry->machine(WordProcessor(wp.path()));
        TCTraitementTexte(LocaleOption).OpenDocument(QString());
        QCOMPARE(wp.recorded(), RecordingProgram::recordOf({QString()}));
    }

    void withoutProgramTheDesktopOpensIt_data()
    {
        QTest::addColumn<QByteArray>("file"); // "-": no options object at all
        QTest::addColumn<QString>("message");
        QTest::newRow("no word processor named")
            << OptionLocale()
                   .text(QStringLiteral("WPNom"), QString())
                   .text(QStringLiteral("WPPath"), QStringLiteral("/usr/bin/false"))
                   .bytes()
            << "";
        QTest::newRow("no options") << QByteArray("-") << "";
        QTest::newRow("options not readable")
            << OptionLocale().text(QStringLiteral("WPAutreModele"), QStringLiteral("-1")).bytes()
            << "Les options du traitement de texte de ce poste n'ont pu être lues :\r\n"
               "Impossible de lire la valeur <WPAutreModele>\r\n"
               "Type de données incorrect pour la valeur 'WPAutreModele' : dword attendu, texte trouvé.\r\n"
               "Le document est ouvert avec l'application par défaut.";
    }
    void withoutProgramTheDesktopOpensIt()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, message);
        QDir().mkpath(path(QStringLiteral("bin")));
        const RecordingProgram desktop(path(QStringLiteral("bin/xdg-open")));
        qputenv("PATH", path(QStringLiteral("bin")).toUtf8() + ':' + savedPath);
        registry->machine(file);
        TCLocaleOption localeOptions(*AppNames);
        TCTraitementTexte launcher(file == "-" ? nullptr : &localeOptions);
        const QString document = path(QStringLiteral("ordonnance type.odt"));
        launcher.OpenTemplate(document);
        QCOMPARE(desktop.recorded(), RecordingProgram::recordOf({document}));
        QCOMPARE(messages().texts(), message.isEmpty() ? QStringList() : QStringList{message});
    }

    void failedLaunchIsTold()
    {
        registry->machine(WordProcessor(QStringLiteral("/nulle/part/wp")));
        TCTraitementTexte(LocaleOption).OpenDocument(QStringLiteral("/tmp/lettre.odt"));
        QCOMPARE(messages().texts(),
                 QStringList{"Impossible de lancer le traitement de texte </nulle/part/wp>\r\n"
                             "pour ouvrir le document </tmp/lettre.odt>.\r\n"
                             "Vérifiez le chemin du traitement de texte dans les options du poste."});

        // Not executable either.
        messages().clear();
        WriteFile(path(QStringLiteral("wp.txt")), "#!/bin/sh\n");
        registry->machine(WordProcessor(path(QStringLiteral("wp.txt"))));
        TCLocaleOption localeOptions(*AppNames);
        TCTraitementTexte(&localeOptions).OpenDocument(QStringLiteral("/tmp/lettre.odt"));
        QCOMPARE(messages().texts().size(), 1);
    }

    void variablesFileLines_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QStringList>("variables");
        QTest::newRow("CRLF, LF and CR") << QByteArray("nom\r\nprenom\ndate\rheure") << QStringList{"nom", "prenom", "date", "heure"};
        QTest::newRow("final line break") << QByteArray("nom\r\n") << QStringList{"nom"};
        QTest::newRow("empty line in the middle") << QByteArray("nom\r\n\r\nville\n") << QStringList{"nom", "", "ville"};
        QTest::newRow("only a line break") << QByteArray("\n") << QStringList{""};
        QTest::newRow("empty file") << QByteArray() << QStringList();
        QTest::newRow("stops at a zero byte") << QByteArray("nom\nville\0cache\nautre", 21) << QStringList{"nom", "ville"};
        QTest::newRow("zero byte first") << QByteArray("\0nom", 4) << QStringList();
        QTest::newRow("Windows-1252") << QByteArray("t\xe9l\xe9phone\r\n\xa3 r\xe9gl\xe9") << QStringList{"téléphone", "£ réglé"};
        QTest::newRow("UTF-8") << QByteArray("t\xc3\xa9l\xc3\xa9phone\n") << QStringList{"téléphone"};
    }
    void variablesFileLines()
    {
        QFETCH(QByteArray, content);
        QFETCH(QStringList, variables);
        const QString file = path(QStringLiteral("variables modele.txt"));
        WriteFile(file, content);
        QCOMPARE(TextLines(ReadTextFile(file)), variables);
    }

    void binaryFileOpening()
    {
        const QString file = path(QStringLiteral("f.txt"));
        for (const int flags : {int(bfMustExist), 0}) { // a missing file is never created
            TCBinaryFile missing;
            QCOMPARE(missing.Open(file, fmOpenRead | fmShareDenyNone, flags), -1);
            QCOMPARE(LastOpenError, 3);
            QVERIFY(!QFile::exists(file));
        }

        WriteFile(file, "contenu");
        TCBinaryFile reader;
        QVERIFY(reader.Open(file, fmOpenRead | fmShareDenyNone, bfMustExist) >= 0);
        QCOMPARE(reader.ReadAll(), QStringLiteral("contenu"));
        QCOMPARE(reader.ReadAll(), QStringLiteral("contenu")); // from the start each time
        QCOMPARE(reader.Open(file, fmOpenRead, 0), -1);
        QCOMPARE(LastOpenError, 5);

        QCOMPARE(Raised([] { TCBinaryFile().ReadAll(); }), QStringLiteral("Aucun fichier n'est ouvert pour la lecture."));
        QCOMPARE(Raised([&] { ReadTextFile(path(QStringLiteral("absent.txt"))); }),
                 QString("Impossible d'ouvrir le fichier <" + path(QStringLiteral("absent.txt")) + "> : le fichier n'existe pas"));
        QVERIFY(Raised([&] { ReadTextFile(dir->path()); }).startsWith("Impossible d'ouvrir le fichier <" + dir->path() + "> : "));
    }

    void variablesPickerInsertsVariableCodes()
    {
        TfCouVariable *picker = showVariables({QStringLiteral("nom_patient"), QString(), QStringLiteral("date rdv")});
        QVERIFY(picker);
        QVERIFY(picker->isVisible());
        QCOMPARE(picker->Label1->text(), QStringLiteral("Variables définies pour ce modèle :"));
        QCOMPARE(picker->lvVar->headerItem()->text(0), QStringLiteral("Nom Variables"));
        QCOMPARE(picker->lvVar->columnWidth(0), 300);
        QCOMPARE(picker->lvVar->topLevelItemCount(), 3);

        PickerDriver user(*testProgram);
        QCOMPARE(user.chooseRow(picker->lvVar, 0), QStringLiteral("£[VAR :nom_patient ]#"));
        QCOMPARE(user.chooseRow(picker->lvVar, 0), QStringLiteral("£[VAR :nom_patient ]#")); // each time
        QCOMPARE(user.chooseRow(picker->lvVar, 1), QStringLiteral("£[VAR : ]#"));
        QCOMPARE(user.chooseRow(picker->lvVar, 2), QStringLiteral("£[VAR :date rdv ]#"));

        // Shown again, the picker stays as it is, rows included.
        QTest::mouseClick(window()->bVariable, Qt::LeftButton);
        QCOMPARE(window()->panelHost->findChild<TfCouVariable *>(), picker);
        QCOMPARE(picker->lvVar->topLevelItemCount(), 3);
        QCOMPARE(messages().texts(), QStringList());
    }

    void variablesPickerWithoutVariables()
    {
        TfCouVariable *picker = showVariables({});
        QVERIFY(picker);
        QCOMPARE(picker->lvVar->topLevelItemCount(), 0);
        QCOMPARE(PickerDriver(*testProgram).press(picker->lvVar), QString());
    }
};

QTEST_MAIN(TestDocumentLaunch)
#include "tst_documentlaunch.moc"
