// The main window offscreen: hosting of pickers, folding, the fold button, the close
// timer and the command-line part of the start-up.
#include "testsupport/ControlText.h"
#include "testsupport/RegistryFiles.h"
#include "testsupport/TestProgram.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

class TestPickerA : public QWidget {
    Q_OBJECT
public:
    Q_INVOKABLE explicit TestPickerA(TPickerHost *host) : QWidget(host->OwnerWindow()) {}
};
class TestPickerB : public QWidget {
    Q_OBJECT
public:
    Q_INVOKABLE explicit TestPickerB(TPickerHost *host) : QWidget(host->OwnerWindow()) {}
};
class TestPickerA2 : public TestPickerA {
    Q_OBJECT
public:
    Q_INVOKABLE explicit TestPickerA2(TPickerHost *host) : TestPickerA(host) {}
};

class TestScrivo : public QObject {
    Q_OBJECT

    RegistryFiles registry;
    std::unique_ptr<TestProgram> program;
    TfScrivo *window() const { return program->window(); }
    platform::RecordingWindowSystem &ws() const { return program->windowSystem(); }

    QWidget *hosted() const
    {
        const auto children = window()->panelHost->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
        return children.isEmpty() ? nullptr : children.first();
    }

private slots:
    void initTestCase()
    {
        // No registry: the start-up finds no parameters, whatever this machine holds.
        registry.activate();
    }

    void init()
    {
        program = std::make_unique<TestProgram>();
        window()->show();
        window()->TimerStart->stop(); // the start-up is tested on its own
        window()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window()));
    }
    void cleanup() { program.reset(); }

    void windowAndItsButtons()
    {
        QCOMPARE(window()->windowTitle(), QStringLiteral("Insertion des Codes Courriers"));
        QVERIFY(window()->windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(window()->windowFlags() & Qt::WindowType_Mask, Qt::Tool);
        QCOMPARE(window()->size(), QSize(587, 377));
        QCOMPARE(window()->windowIcon().availableSizes().size(), 8); // every rendering is in the resources
        QCOMPARE(window()->bDivers->text(), QStringLiteral("&Divers"));
        QVERIFY(window()->bVariable->isHidden());
        QVERIFY(window()->bUnFold->isHidden());

        // Tab runs down the buttons as they stand on the screen: one below the other (next
        // ones may share a border line), inside the window, their captions whole.
        const QStringList buttons{"bSignalitique", "bCollateraux", "bQuestionnaire", "bAntecedent", "bOrdo",
                                  "bDivers", "bMedecin", "bCorresp", "bPmsi", "bVariable", "bFold"};
        QStringList order;
        QWidget *w = window()->bSignalitique;
        do {
            if (qobject_cast<QPushButton *>(w) && w->parentWidget() == window()->panelBouton)
                order << w->objectName();
            w = w->nextInFocusChain();
        } while (w != window()->bSignalitique);
        QCOMPARE(order, buttons);
        const QRect inside = window()->rect();
        int lastLine = -1;
        for (const QString &name : buttons) {
            const auto *button = window()->panelBouton->findChild<QPushButton *>(name);
            if (button->isHidden())
                continue;
            const QRect shown(button->mapTo(window(), QPoint()), button->size());
            QVERIFY2(inside.contains(shown), qPrintable(name));
            QVERIFY2(ShownRect(button) == button->rect(), qPrintable(name));
            QVERIFY2(shown.top() >= lastLine, qPrintable(name));
            lastLine = shown.bottom();
        }
        QCOMPARE(CutTexts(window()->panelBouton), QStringList());

        // A larger window keeps the fold button at the bottom and widens the status panel.
        const int foldToBottom = window()->height() - window()->bFold->mapTo(window(), QPoint()).y();
        const int statusWidth = window()->panelCnx->width();
        window()->resize(window()->width() + 113, window()->height() + 123);
        QCOMPARE(window()->height() - window()->bFold->mapTo(window(), QPoint()).y(), foldToBottom);
        QCOMPARE(window()->panelCnx->width(), statusWidth + 113);
    }

    void hostingKeepsTheSamePickerAndReplacesAnother()
    {
        window()->ShowPicker(&TestPickerA::staticMetaObject);
        QPointer<QWidget> first = hosted();
        QVERIFY(qobject_cast<TestPickerA *>(first));
        QVERIFY(first->isVisible());
        QCOMPARE(first->geometry(), window()->panelHost->rect());

        window()->ShowPicker(&TestPickerA::staticMetaObject);
        QCOMPARE(hosted(), first.data());
        window()->ShowPicker(nullptr);
        QCOMPARE(hosted(), first.data());

        window()->ShowPicker(&TestPickerB::staticMetaObject);
        QVERIFY(first.isNull());
        QVERIFY(qobject_cast<TestPickerB *>(hosted()));
        QCOMPARE(window()->panelHost->findChildren<QWidget *>(Qt::FindDirectChildrenOnly).size(), 1);

        // A derived class counts as the class asked for.
        window()->ShowPicker(&TestPickerA2::staticMetaObject);
        QPointer<QWidget> derived = hosted();
        window()->ShowPicker(&TestPickerA::staticMetaObject);
        QCOMPARE(hosted(), derived.data());

        // The hosted picker follows the window's size.
        window()->resize(800, 600);
        QCOMPARE(hosted()->size(), window()->panelHost->size());
    }

    void foldAndUnfoldRestoreTheLastSize()
    {
        window()->ShowPicker(&TestPickerA::staticMetaObject);
        QPointer<QWidget> picker = hosted();
        window()->resize(640, 420); // as if the user had dragged it
        window()->FoldWindow();
        QCOMPARE(window()->size(), QSize(106, 34));
        QVERIFY(!window()->panelBouton->isEnabled());
        QVERIFY(window()->bUnFold->isVisible());

        // Folded, the accelerators of the category buttons are dead; Alt+I unfolds.
        QVERIFY(!window()->bDivers->isEnabled());
        QSignalSpy divers(window()->bDivers, &QPushButton::clicked);
        QTest::keyClick(window(), Qt::Key_D, Qt::AltModifier);
        QTest::keyClick(window(), Qt::Key_I, Qt::AltModifier);
        QTRY_COMPARE(window()->size(), QSize(640, 420)); // a mnemonic clicks after a short delay
        QCOMPARE(divers.count(), 0);
        QVERIFY(window()->panelBouton->isEnabled());
        QVERIFY(window()->bUnFold->isHidden());
        QCOMPARE(hosted(), picker.data());

        window()->resize(600, 400);
        window()->FoldWindow();
        window()->UnfoldWindow();
        window()->FoldWindow();
        window()->bUnFold->click();
        QCOMPARE(window()->size(), QSize(600, 400));
    }

    void foldButtonFoldsWhileTheTargetExists_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("folds");
        QTest::newRow("document title with extension") << "lettre.odt" << true;
        QTest::newRow("document title without extension") << "courrier.txt" << true;
        QTest::newRow("app title") << "-APP=traitement" << true;
        QTest::newRow("hwnd") << "-hwnd=%1" << true;
        QTest::newRow("hwnd not a number") << "-hwnd=abc" << false;
        QTest::newRow("hwnd gone") << "-hwnd=987654" << false;
        QTest::newRow("document closed") << "absent.odt" << false;
    }

    void foldButtonFoldsWhileTheTargetExists()
    {
        QFETCH(QString, target);
        QFETCH(bool, folds);
        ws().addWindow("lettre.odt - Traitement de texte");
        const auto courrier = ws().addWindow("courrier - Traitement de texte");
        window()->FTarget = target.contains(QLatin1String("%1")) ? target.arg(courrier) : target;

        QSignalSpy ending(window(), &TfScrivo::ProgramEnding);
        window()->bFold->click();
        QCOMPARE(window()->bUnFold->isVisible(), folds);
        QCOMPARE(ending.count(), folds ? 0 : 1);
        // A found target is handed the screen back.
        QCOMPARE(ws().focused != 0, folds);
    }

    void firstActivationStartsOnceThenWatchesTheTarget()
    {
        TfScrivo fresh;
        fresh.FArguments = {"scrivo", "lettre.odt"};
        QVERIFY(fresh.FFirstActivation);
        fresh.show();
        QVERIFY(fresh.TimerStart->isActive());
        QVERIFY(!fresh.FFirstActivation);
        fresh.hide();
        fresh.FormActivate(); // a later activation starts nothing
        // Without parameters the start-up ends the program after saying so, and the
        // close timer is still started.
        QSignalSpy ending(&fresh, &TfScrivo::ProgramEnding);
        QTRY_VERIFY(fresh.TimerClose->isActive());
        QVERIFY(!fresh.TimerStart->isActive());
        QCOMPARE(ending.count(), 1);
        QCOMPARE(program->messages().texts().size(), 1);
    }

    void closeTimerEndsOnlyAfterTheTargetWasSeen()
    {
        QSignalSpy ending(window(), &TfScrivo::ProgramEnding);
        window()->FTarget = QStringLiteral("-app=lettre.odt");
        window()->FVariables = std::make_unique<QStringList>(QStringList{"nom"});

        window()->TimerCloseTimer(); // not there yet: keep watching
        QVERIFY(!window()->FTargetSeen);
        QVERIFY(window()->TimerClose->isActive());

        const auto letter = ws().addWindow("lettre - Traitement de texte");
        window()->TimerCloseTimer();
        QVERIFY(window()->FTargetSeen);
        QVERIFY(window()->TimerClose->isActive());
        QVERIFY(window()->FVariables);

        ws().removeWindow(letter);
        QCOMPARE(ending.count(), 0);
        window()->TimerCloseTimer();
        QCOMPARE(ending.count(), 1);
        QVERIFY(!window()->TimerClose->isActive());
        // Freed only once the event loop has returned: a loader may be running below.
        QVERIFY(window()->FVariables);
    }

    void closeTimerWithAHandleTarget()
    {
        const auto letter = ws().addWindow("x");
        window()->FTarget = QStringLiteral("-hwnd=%1").arg(letter);
        window()->TimerCloseTimer();
        QVERIFY(window()->FTargetSeen);
        window()->FTarget = QStringLiteral("-hwnd=zz");
        window()->FTargetSeen = false;
        window()->TimerCloseTimer();
        QVERIFY(!window()->FTargetSeen);
        QVERIFY(window()->TimerClose->isActive());
    }
};

QTEST_MAIN(TestScrivo)
#include "tst_scrivo.moc"
