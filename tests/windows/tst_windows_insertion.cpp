// The Windows program's insertion road with the real clipboard and keys, into a window
// that reads the clipboard 300 ms after each Ctrl+V, as a busy word processor may: codes
// inserted one after another each arrive once, in order. A clipboard held open by
// another program is told, and nothing is typed.
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
    QString pastes() const { return folder.filePath(QStringLiteral("pastes.txt")); }
    QString pasted() const
    {
        QFile file(pastes());
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
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
