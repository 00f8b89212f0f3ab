// The Windows program's insertion road with the real clipboard and keys, into windows
// that read the clipboard late after each Ctrl+V, as a busy word processor does: codes
// inserted one after another, or clicked while one waits, each arrive once, in order.
// The document's own window gets the code, not one that merely names its first part. A
// clipboard held open by another program, or Alt held down, is told, and nothing is
// typed.
#include "app/CodeInsertion.h"
#include "app/ProcessObjects.h"
#include "app/Scrivo.h"
#include "testsupport/ScriptedMessages.h"
#include "testsupport/TestFiles.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <windows.h>

#include <memory>

class TestWindowsInsertion : public QObject {
    Q_OBJECT

    ScriptedMessages messages;
    std::unique_ptr<TInsertionRoad> road;
    std::unique_ptr<TCProcessObjects> objects;
    std::unique_ptr<TfScrivo> window;
    QTemporaryDir folder;
    QProcess target;

    static QString helper(const char *name)
    {
        return QCoreApplication::applicationDirPath() + u'/' + QLatin1String(name);
    }
    QString pastes(const QString &name = QStringLiteral("pastes")) const { return folder.filePath(name + ".txt"); }
    QString pasted(const QString &name = QStringLiteral("pastes")) const
    {
        QFile file(pastes(name));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }
    /// Another late target, `name` also naming its output; `arguments` after its lifetime.
    std::unique_ptr<QProcess> startTarget(const QString &title, const QString &name, const QStringList &arguments)
    {
        auto process = std::make_unique<QProcess>();
        process->start(helper("late_paste_target.exe"),
                       QStringList{title, QDir::toNativeSeparators(pastes(name)), QStringLiteral("60")} + arguments);
        return process->waitForStarted() ? std::move(process) : nullptr;
    }
    static void end(QProcess &process)
    {
        process.kill();
        process.waitForFinished();
    }

private slots:
    void initTestCase()
    {
        std::string error;
        road = std::make_unique<TInsertionRoad>(platform::openWindowSystem(error));
        QVERIFY2(road->HasWindowSystem(), error.c_str());
        objects = std::make_unique<TCProcessObjects>();
        window = std::make_unique<TfScrivo>();
        window->FInsertionRoad = road.get();
        window->FTarget = QStringLiteral("-app=Cible tardive");
        target.start(helper("late_paste_target.exe"),
                     {QStringLiteral("Cible tardive"), QDir::toNativeSeparators(pastes()), QStringLiteral("60")});
        QVERIFY(target.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(road->TargetExists(window->FTarget), 20000);
    }
    void cleanupTestCase()
    {
        target.kill();
        target.waitForFinished();
        window.reset();
        objects.reset();
    }

    void codesInARowIntoALateReader()
    {
        QString expected;
        for (int code = 1; code <= 8; ++code) {
            const QString text = QStringLiteral("£[QQD%1 : Poids]#").arg(code);
            InsertCode(window.get(), text);
            expected += text + u'\n';
        }
        QCOMPARE(messages.texts(), QStringList());
        QTRY_COMPARE_WITH_TIMEOUT(pasted(), expected, 5000);
    }

    // Three codes clicked while the first waits for a target that blocks past the usual
    // bound before it reads.
    void codesClickedWhileABusyTargetReads_data()
    {
        QTest::addColumn<int>("waitMs");
        QTest::newRow("reads after 2.5 s") << 2500;
        QTest::newRow("reads after 6 s") << 6000;
    }
    void codesClickedWhileABusyTargetReads()
    {
        QFETCH(int, waitMs);
        const QString name = QStringLiteral("occupee%1").arg(waitMs);
        const QString title = QStringLiteral("Cible occupée %1").arg(waitMs);
        const auto busy = startTarget(title, name, {QString::number(waitMs), QStringLiteral("busy")});
        QVERIFY(busy);
        TfScrivo scrivo;
        scrivo.FInsertionRoad = road.get();
        scrivo.FTarget = QString(QStringLiteral("-app=") + title);
        QTRY_VERIFY_WITH_TIMEOUT(road->TargetExists(scrivo.FTarget), 20000);
        messages.clear();
        const QStringList codes = {"£[QQC1 : Poids]#", "£[QQC2 : Taille]#", "£[QQC3 : IMC]#", "£[QQC4 : TA]#"};
        for (int i = 1; i < codes.size(); ++i)
            QTimer::singleShot(100 * i, &scrivo, [&, i] { InsertCode(&scrivo, codes[i]); });
        InsertCode(&scrivo, codes.first());
        QCOMPARE(messages.texts(), QStringList());
        QTRY_COMPARE_WITH_TIMEOUT(pasted(name), codes.join(u'\n') + u'\n', 30000);
        end(*busy);
    }

    void theDocumentsOwnWindowGetsTheCode()
    {
        const auto mail = startTarget(QStringLiteral("Re: Dr - Messagerie"), QStringLiteral("mail"), {});
        const auto word = startTarget(QStringLiteral("Dr.Martin - Word"), QStringLiteral("word"), {});
        QVERIFY(mail && word);
        TfScrivo scrivo;
        scrivo.FInsertionRoad = road.get();
        scrivo.FTarget = QStringLiteral("Dr.Martin.docx");
        QTRY_VERIFY_WITH_TIMEOUT(road->TargetExists(TInsertionTarget(QStringLiteral("-app=Re: Dr"))), 20000);
        QTRY_VERIFY_WITH_TIMEOUT(road->TargetExists(scrivo.FTarget), 20000);
        messages.clear();
        InsertCode(&scrivo, QStringLiteral("£[MR : nom]#"));
        QCOMPARE(messages.texts(), QStringList());
        QTRY_COMPARE_WITH_TIMEOUT(pasted(QStringLiteral("word")), QStringLiteral("£[MR : nom]#\n"), 5000);
        QCOMPARE(pasted(QStringLiteral("mail")), QString());
        end(*mail);
        end(*word);
    }

    // Alt held from before the click until the message: Ctrl+Alt+V (Word's Paste
    // Special) is never typed.
    void altHeldDownTypesNothing()
    {
        // The target in front first: Wine takes the keyboard's state from the X server
        // again when the focus moves, which would release the Alt sent below.
        const QString first = QStringLiteral("£[SG : prenom]#");
        const QString earlier = pasted();
        InsertCode(window.get(), first);
        QTRY_COMPARE_WITH_TIMEOUT(pasted(), earlier + first + u'\n', 5000);
        const QString before = pasted();
        messages.clear();
        const auto sendAlt = [](bool down) {
            INPUT input = {};
            input.type = INPUT_KEYBOARD;
            input.ki.wVk = VK_MENU;
            input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
            SendInput(1, &input, sizeof input);
        };
        sendAlt(true);
        QTRY_VERIFY(GetAsyncKeyState(VK_MENU) & 0x8000);
        messages.whenShown(QStringLiteral("Une touche Maj, Ctrl, Alt"), [&sendAlt] { sendAlt(false); });
        InsertCode(window.get(), QStringLiteral("£T: Date du jour#"));
        QCOMPARE(messages.texts().size(), 1);
        QVERIFY2(messages.texts().first().startsWith(QStringLiteral("Une touche Maj, Ctrl, Alt")),
                 qPrintable(messages.texts().first()));
        QTest::qWait(1000); // nothing is typed after the message either
        QCOMPARE(pasted(), before);
    }

    void clipboardHeldByAnotherProgram()
    {
        const QString before = pasted();
        QProcess holder;
        const QString ready = folder.filePath(QStringLiteral("ready"));
        const QString release = folder.filePath(QStringLiteral("release"));
        holder.start(helper("clipboard_holder.exe"), {QDir::toNativeSeparators(ready), QDir::toNativeSeparators(release)});
        QVERIFY(holder.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(ready), 10000);
        messages.clear();
        InsertCode(window.get(), QStringLiteral("£T: Date du jour#"));
        QCOMPARE(messages.texts().size(), 1);
        QVERIFY2(messages.texts().first().contains(QStringLiteral("presse-papiers")), qPrintable(messages.texts().first()));
        QTest::qWait(1000); // nothing is typed after the message either
        QCOMPARE(pasted(), before);
        WriteFile(release, {});
        QVERIFY(holder.waitForFinished());
    }
};

QTEST_MAIN(TestWindowsInsertion)
#include "tst_windows_insertion.moc"
