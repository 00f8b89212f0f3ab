// Opening the document in the configured word processor (recorder scripts stand in for
// the programs and write down the arguments they get), the variables file, and the
// variables picker hosted in the main window.
#include "app/CBinaryFile.h"
#include "app/CTraitementTexte.h"
#include "config/COption.h"
#include "pickers/CouVariable.h"
#include "support/CAppNames.h"
#include "support/StrMan.h"
#include "testsupport/PickerDriver.h"
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

const QString Nothing = QStringLiteral("(rien)");

void WriteFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    file.write(content);
}

QByteArray ReadFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestDocumentLaunch : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<TestProgram> testProgram;
    TfScrivo *window() const { return testProgram->window(); }
    ScriptedMessages &messages() const { return testProgram->messages(); }
    QByteArray savedPath;

    QString path(const QString &name) const { return dir->path() + u'/' + name; }

    // A program that writes the number of its arguments, then each between "<" and ">",
    // to "<its path>.args".
    QString recorder(const QString &name)
    {
        const QString program = path(name);
        WriteFile(program, "#!/bin/sh\n"
                           "{ printf '%s\\n' \"$#\"; for a in \"$@\"; do printf '<%s>\\n' \"$a\"; done; } > \"$0.tmp\"\n"
                           "mv \"$0.tmp\" \"$0.args\"\n");
        QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return program;
    }
    // What the recorder got, once it has run.
    QByteArray recorded(const QString &program)
    {
        const QString args = program + QStringLiteral(".args");
        if (!QTest::qWaitFor([&] { return QFile::exists(args); }, 5000))
            return "(not started)";
        return ReadFile(args);
    }

    void options(const QByteArray &values)
    {
        WriteFile(path(QStringLiteral("hklm.reg")),
                  "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\Software\\Keldar\\Talvor\\OptionLocale]\r\n" + values);
    }
    static QByteArray text(const char *name, const QString &value)
    {
        return QByteArray("\"") + name + "\"=\"" + value.toUtf8() + "\"\r\n";
    }
    static QByteArray dword(const char *name, bool on)
    {
        return QByteArray("\"") + name + (on ? "\"=dword:ffffffff\r\n" : "\"=dword:00000000\r\n");
    }

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
        qputenv("SCRIVO_HKCU_FILE", path(QStringLiteral("hkcu.reg")).toUtf8());
        qputenv("SCRIVO_HKLM_FILE", path(QStringLiteral("hklm.reg")).toUtf8());
        savedPath = qgetenv("PATH");
        testProgram = std::make_unique<TestProgram>();
        QVERIFY(testProgram->showOnLetter());
    }
    void cleanup()
    {
        testProgram.reset();
        qputenv("PATH", savedPath);
        qunsetenv("SCRIVO_HKCU_FILE");
        qunsetenv("SCRIVO_HKLM_FILE");
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
        const QString wp = recorder(QStringLiteral("mes programmes/wp"));
        const QString modele = recorder(QStringLiteral("mes programmes/modele"));
        const QString ordo = recorder(QStringLiteral("mes programmes/ordo"));
        options(text("WPNom", "Traitement") + text("WPPath", wp) + dword("WPAutreModele", autreModele)
                + text("WPModeleNom", "Modèles") + text("WPModelePath", modele) + dword("WPAutreOrdo", autreOrdo)
                + text("WPOrdoNom", "Ordonnances") + text("WPOrdoPath", ordo));
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
        QCOMPARE(recorded(started), QByteArray("1\n<" + document.toUtf8() + ">\n"));
        for (const QString &other : {wp, modele, ordo})
            QCOMPARE(QFile::exists(other + QStringLiteral(".args")), other == started);
        QCOMPARE(messages().texts(), QStringList());
    }

    void emptyDocumentPathIsOneEmptyArgument()
    {
        const QString wp = recorder(QStringLiteral("wp"));
        options(text("WPNom", "Traitement") + text("WPPath", wp));
        TCTraitementTexte(LocaleOption).OpenDocument(QString());
        QCOMPARE(recorded(wp), QByteArray("1\n<>\n"));
    }

    void withoutProgramTheDesktopOpensIt_data()
    {
        QTest::addColumn<QByteArray>("values"); // "-": no options object at all
        QTest::addColumn<QString>("message");
        QTest::newRow("no word processor named") << QByteArray(text("WPNom", "") + text("WPPath", "/usr/bin/false")) << "";
        QTest::newRow("no options") << QByteArray("-") << "";
        QTest::newRow("options not readable")
            << QByteArray("\"WPAutreModele\"=\"-1\"\r\n")
            << "Les options du traitement de texte de ce poste n'ont pu être lues :\r\n"
               "Impossible de lire la valeur <WPAutreModele>\r\n"
               "Type de données incorrect pour la valeur 'WPAutreModele' : dword attendu, texte trouvé.\r\n"
               "Le document est ouvert avec l'application par défaut.";
    }
    void withoutProgramTheDesktopOpensIt()
    {
        QFETCH(QByteArray, values);
        QFETCH(QString, message);
        QDir().mkpath(path(QStringLiteral("bin")));
        const QString desktop = recorder(QStringLiteral("bin/xdg-open"));
        qputenv("PATH", path(QStringLiteral("bin")).toUtf8() + ':' + savedPath);
        options(values);
        TCLocaleOption localeOptions(*AppNames);
        TCTraitementTexte launcher(values == "-" ? nullptr : &localeOptions);
        const QString document = path(QStringLiteral("ordonnance type.odt"));
        launcher.OpenTemplate(document);
        QCOMPARE(recorded(desktop), QByteArray("1\n<" + document.toUtf8() + ">\n"));
        QCOMPARE(messages().texts(), message.isEmpty() ? QStringList() : QStringList{message});
    }

    void failedLaunchIsTold()
    {
        options(text("WPNom", "Traitement") + text("WPPath", "/nulle/part/wp"));
        TCTraitementTexte(LocaleOption).OpenDocument(QStringLiteral("/tmp/lettre.odt"));
        QCOMPARE(messages().texts(),
                 QStringList{"Impossible de lancer le traitement de texte </nulle/part/wp>\r\n"
                             "pour ouvrir le document </tmp/lettre.odt>.\r\n"
                             "Vérifiez le chemin du traitement de texte dans les options du poste."});

        // Not executable either.
        messages().clear();
        WriteFile(path(QStringLiteral("wp.txt")), "#!/bin/sh\n");
        options(text("WPNom", "Traitement") + text("WPPath", path(QStringLiteral("wp.txt"))));
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
        TCBinaryFile missing;
        QCOMPARE(missing.Open(file, fmOpenRead | fmShareDenyNone, bfMustExist), -1);
        QCOMPARE(LastOpenError, 3);
        QVERIFY(!QFile::exists(file));

        TCBinaryFile created;
        QVERIFY(created.Open(file, fmOpenRead | fmShareDenyNone, 0) >= 0); // created empty
        QCOMPARE(created.ReadAll(), QString());
        QCOMPARE(created.Open(file, fmOpenRead, 0), -1);
        QCOMPARE(LastOpenError, 5);

        WriteFile(file, "contenu");
        TCBinaryFile reader;
        QVERIFY(reader.Open(file, fmOpenRead | fmShareDenyNone, bfMustExist) >= 0);
        QCOMPARE(reader.ReadAll(), QStringLiteral("contenu"));
        QCOMPARE(reader.ReadAll(), QStringLiteral("contenu")); // from the start each time

        TCBinaryFile recreated;
        QVERIFY(recreated.Open(file, fmOpenReadWrite, bfRecreate) >= 0);
        QCOMPARE(ReadFile(file), QByteArray());

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

private:
    template <class Action>
    static QString Raised(Action action)
    {
        try {
            action();
        } catch (const EScrivoError &error) {
            return error.Message();
        }
        return Nothing;
    }
};

QTEST_MAIN(TestDocumentLaunch)
#include "tst_documentlaunch.moc"
