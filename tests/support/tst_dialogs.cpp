// The error window and the text input dialog: their texts through the message seam,
// and the real modal windows driven while they run.
#include "data/CQuestion.h"
#include "pickers/CouQonRemplacement.h"
#include "pickers/WrkInputText.h"
#include "support/ErrorMessageBox.h"
#include "support/LumoUrl.h"
#include "support/StrMan.h"
#include "support/WinTools.h"
#include "support/WrkGraphics.h"
#include "testsupport/ScriptedMessages.h"
#include "testsupport/TestProcessStrings.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTreeWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextEdit>
#include <QtTest>

namespace {

// Runs `script` on the modal window once it is up. A window the script leaves open is
// closed by force after a while (`forced` tells), so a failing test never blocks.
class ModalScript : public QObject {
public:
    explicit ModalScript(std::function<void(QDialog *)> script) : FScript(std::move(script))
    {
        FPoll.setInterval(10);
        connect(&FPoll, &QTimer::timeout, this, [this] { tick(); });
        FPoll.start();
    }
    bool ran = false;
    bool forced = false;

private:
    void tick()
    {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!dialog) {
            if (++FTicks > 500)
                FPoll.stop();
            return;
        }
        if (!ran) {
            ran = true;
            FTicks = 0;
            FScript(dialog);
        } else if (++FTicks > 300) {
            forced = true;
            dialog->done(QDialog::Rejected);
        }
    }

    std::function<void(QDialog *)> FScript;
    QTimer FPoll;
    int FTicks = 0;
};

void Key(QWidget *window, Qt::Key key)
{
    QWidget *target = window->focusWidget() ? window->focusWidget() : window;
    QTest::keyClick(target, key);
}

// The replacement aid shown, active, for a question answered "Oui" or "Non".
struct ReplacementOfOuiNon {
    TCQuestion question;
    TfCouQonRemplacement dialog{nullptr};
    ReplacementOfOuiNon()
    {
        for (const char *label : {"Oui", "Non"}) {
            question.Modalites.push_back(std::make_unique<TCModalite>());
            question.Modalites.back()->libelle = QString::fromLatin1(label);
        }
        dialog.Question = &question;
        dialog.show();
        dialog.activateWindow();
    }
};

} // namespace

class TstDialogs : public QObject {
    Q_OBJECT

    TestProcessStrings strings;
    std::unique_ptr<TfWrkGraphics> graphics;

private slots:
    void initTestCase() { graphics = std::make_unique<TfWrkGraphics>(); }
    void cleanupTestCase() { graphics.reset(); }

    void errorMessageText();
    void errorWindowThroughSeam();
    void realErrorWindow();
    void realCriticalErrorWindow();
    void inputTextThroughSeam();
    void realInputText_data();
    void realInputText();
    void inputRefusesBlankText();
    void replacementEditsOnlyItsOwnColumn();
    void replacementEditsFirstRowByKeys();
    // Last: it runs the application's event loop to see it end.
    void criticalErrorEndsApplication();
    void messageBoxShowsTextAsIs();
};

void TstDialogs::errorMessageText()
{
    QCOMPARE(ErrorMessageText(nullptr, QStringLiteral("Table absente"), QStringLiteral("TCAntecedents.Charger")),
             QStringLiteral("Une erreur est survenue dans à l'emplacement <TCAntecedents.Charger>\r\nTable absente"));
    QWidget owner;
    owner.setObjectName(QStringLiteral("fCouCodeQre"));
    QCOMPARE(ErrorMessageText(&owner, QStringLiteral("a\r\nb"), QStringLiteral("lvQreSelectItem")),
             QStringLiteral("Une erreur est survenue dans le module <fCouCodeQre> à l'emplacement <lvQreSelectItem>\r\na\r\nb"));
}

void TstDialogs::errorWindowThroughSeam()
{
    ScriptedMessages messages;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ShowErrorMessage(nullptr, QStringLiteral("Connexion perdue"), QStringLiteral("TCGlobaleOption.Charger"));
    QVERIFY(!QApplication::overrideCursor());
    QCOMPARE(messages.requests().size(), 1);
    const MessageRequest &request = messages.requests().first();
    QCOMPARE(request.kind, MessageRequest::Kind::ErrorWindow);
    QCOMPARE(request.title, QStringLiteral("Message d'erreur"));
    QCOMPARE(request.text, QStringLiteral("Une erreur est survenue dans à l'emplacement <TCGlobaleOption.Charger>\r\n"
                                          "Connexion perdue"));

    // An exception that reaches an event handler ends in the error window.
    messages.clear();
    RunGuarded(QStringLiteral("urlQEClick"), [] { throw EScrivoError(QStringLiteral("Échec")); });
    QCOMPARE(messages.texts(), QStringList{QStringLiteral("Une erreur est survenue dans à l'emplacement <urlQEClick>\r\nÉchec")});
}

void TstDialogs::realErrorWindow()
{
    const QString message = QStringLiteral("Ligne 1\r\nLigne 2\r\nLigne 3\r\nLigne 4\r\nLigne 5\r\nLigne 6\r\nLigne 7\r\nLigne 8");
    const QString location = QStringLiteral("TCQuestionnaires.Charger");
    const QString expected = ErrorMessageText(nullptr, message, location);

    QString title, shown, afterTyping, copied;
    QSize size;
    bool critiqueVisible = true, scrollable = false, focusBounced = false, openAfterEscape = false;
    QGuiApplication::clipboard()->clear();
    ModalScript script([&](QDialog *window) {
        title = window->windowTitle();
        size = window->size();
        auto *rtf = window->findChild<QTextEdit *>(QStringLiteral("rtfMessage"));
        auto *close = window->findChild<QPushButton *>(QStringLiteral("bClose"));
        auto *copy = window->findChild<TLumoUrl *>(QStringLiteral("urlCopier"));
        critiqueVisible = window->findChild<QLabel *>(QStringLiteral("lCritique"))->isVisible();
        shown = rtf->toPlainText();
        scrollable = rtf->verticalScrollBar()->isVisible() && rtf->verticalScrollBar()->maximum() > 0;

        QTest::keyClicks(rtf, QStringLiteral("xyz"));
        QTest::keyClick(rtf, Qt::Key_Backspace);
        QTest::keyClick(rtf, Qt::Key_Return);
        afterTyping = rtf->toPlainText();
        rtf->setFocus();
        focusBounced = QTest::qWaitFor([&] { return window->focusWidget() == close; }, 1000);

        QTest::mouseClick(copy, Qt::LeftButton);
        copied = QGuiApplication::clipboard()->text();

        Key(window, Qt::Key_Escape);
        QTest::qWait(30);
        openAfterEscape = window->isVisible();
        Key(window, Qt::Key_Return);
    });
    ShowErrorMessage(nullptr, message, location);

    QVERIFY(script.ran);
    QVERIFY(!script.forced); // Enter closed it
    QCOMPARE(title, QStringLiteral("Message d'erreur"));
    QCOMPARE(size, QSize(562, 137));
    QVERIFY(!critiqueVisible);
    QCOMPARE(shown, QString(expected).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    QVERIFY(scrollable);
    QCOMPARE(afterTyping, shown);
    QVERIFY(focusBounced);
    QCOMPARE(copied, expected);
    QVERIFY(openAfterEscape);
}

void TstDialogs::realCriticalErrorWindow()
{
    QString critique;
    ModalScript script([&](QDialog *window) {
        auto *label = window->findChild<QLabel *>(QStringLiteral("lCritique"));
        if (label->isVisible())
            critique = label->text();
        QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("bClose")), Qt::LeftButton);
    });
    ShowErrorMessage(nullptr, QStringLiteral("Base inaccessible"), QStringLiteral("StartUp"), true);
    QVERIFY(!script.forced);
    QCOMPARE(critique, QStringLiteral("L'application va être arrêtée !"));
}

void TstDialogs::inputTextThroughSeam()
{
    ScriptedMessages messages;
    messages.enqueueText(QStringLiteral(" \tQuel âge ?\r\n"));
    messages.enqueueCancel();
    int result = 0;
    QString text = QStringLiteral("avant");
    InputText(QStringLiteral("Question posé à l'utilisateur"), QStringLiteral("Entrez le libellé de la question : "),
              result, QStringLiteral("init"), false, true, true, text);
    QCOMPARE(result, 1);
    QCOMPARE(text, QStringLiteral("Quel âge ?"));
    const MessageRequest &request = messages.requests().first();
    QCOMPARE(request.kind, MessageRequest::Kind::InputText);
    QCOMPARE(request.title, QStringLiteral("Question posé à l'utilisateur"));
    QCOMPARE(request.text, QStringLiteral("Entrez le libellé de la question : "));
    QCOMPARE(request.value, QStringLiteral("init"));

    InputText(QStringLiteral("c"), QStringLiteral("p"), result, QStringLiteral("init"), false, true, true, text);
    QCOMPARE(result, 2);
    QCOMPARE(text, QString());
}

enum class Action { OkButton, EnterKey, EscapeKey, CancelButton };

void TstDialogs::realInputText_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("multiLine");
    QTest::addColumn<bool>("allowEmpty");
    QTest::addColumn<bool>("showCancel");
    QTest::addColumn<int>("action");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("text");
    QTest::newRow("OK trims") << "  abc  " << false << false << true << int(Action::OkButton) << 1 << "abc";
    QTest::newRow("blanks allowed") << "   " << true << true << true << int(Action::OkButton) << 1 << "";
    QTest::newRow("Enter validates, multi-line") << " abc" << true << false << true << int(Action::EnterKey) << 1
                                                  << "abc";
    QTest::newRow("Enter validates, one line") << "abc " << false << false << false << int(Action::EnterKey) << 1
                                                << "abc";
    QTest::newRow("Escape cancels") << "abc" << false << true << true << int(Action::EscapeKey) << 2 << "";
    QTest::newRow("Cancel") << "abc" << true << true << true << int(Action::CancelButton) << 2 << "";
}

void TstDialogs::realInputText()
{
    QFETCH(QString, typed);
    QFETCH(bool, multiLine);
    QFETCH(bool, allowEmpty);
    QFETCH(bool, showCancel);
    QFETCH(int, action);
    QFETCH(int, result);
    QFETCH(QString, text);

    QString title, prompt;
    int okLeft = 0, inputHeight = 0;
    bool cancelVisible = false, onTop = false, closeButton = true;
    ModalScript script([&](QDialog *window) {
        title = window->windowTitle();
        onTop = window->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
        closeButton = window->windowFlags().testFlag(Qt::WindowCloseButtonHint);
        prompt = window->findChild<QPlainTextEdit *>(QStringLiteral("mmInfo"))->toPlainText();
        auto *input = window->findChild<QPlainTextEdit *>(QStringLiteral("mmTexte"));
        auto *ok = window->findChild<QPushButton *>(QStringLiteral("bOk"));
        auto *cancel = window->findChild<QPushButton *>(QStringLiteral("bCancel"));
        okLeft = ok->x();
        cancelVisible = cancel->isVisible();
        inputHeight = input->height();
        QTest::keyClicks(input, typed);
        switch (Action(action)) {
        case Action::OkButton: QTest::mouseClick(ok, Qt::LeftButton); break;
        case Action::EnterKey: QTest::keyClick(input, Qt::Key_Return); break;
        case Action::EscapeKey: QTest::keyClick(input, Qt::Key_Escape); break;
        case Action::CancelButton: QTest::mouseClick(cancel, Qt::LeftButton); break;
        }
    });
    int resultCode = 0;
    QString entered = QStringLiteral("avant");
    InputText(QStringLiteral("Question posé à l'utilisateur"), QStringLiteral("Entrez le libellé de la question : "),
              resultCode, QString(), multiLine, allowEmpty, showCancel, entered);

    QVERIFY(script.ran);
    QVERIFY(!script.forced);
    QCOMPARE(resultCode, result);
    QCOMPARE(entered, text);
    QCOMPARE(title, QStringLiteral("Question posé à l'utilisateur"));
    QCOMPARE(prompt, QStringLiteral("Entrez le libellé de la question : "));
    QVERIFY(onTop);
    QVERIFY(!closeButton);
    QCOMPARE(inputHeight, multiLine ? 50 : 25);
    QCOMPARE(cancelVisible, showCancel);
    QCOMPARE(okLeft, showCancel ? 276 : 368);
}

void TstDialogs::inputRefusesBlankText()
{
    ScriptedMessages messages;
    TfWrkInputText dialog;
    QCOMPARE(dialog.FResult, 2);
    QVERIFY(!dialog.FAllowEmpty);
    bool stayedOpen = false;
    ModalScript script([&](QDialog *) {
        QTest::keyClicks(dialog.mmTexte, QStringLiteral("  "));
        QTest::mouseClick(dialog.bOk, Qt::LeftButton);
        QTest::keyClick(dialog.mmTexte, Qt::Key_Return);
        stayedOpen = dialog.isVisible();
        QTest::keyClicks(dialog.mmTexte, QStringLiteral("x"));
        QTest::mouseClick(dialog.bOk, Qt::LeftButton);
    });
    dialog.exec();

    QVERIFY(!script.forced);
    QVERIFY(stayedOpen);
    QCOMPARE(dialog.FResult, 1);
    QCOMPARE(messages.requests().size(), 2); // once for the button, once for Enter
    const MessageRequest &refusal = messages.requests().first();
    QCOMPARE(refusal.kind, MessageRequest::Kind::MessageBox);
    QCOMPARE(refusal.text, QStringLiteral("Vous devez entrez un texte ou annuler !"));
    QCOMPARE(refusal.title, ApplicationTitle());
    QCOMPARE(refusal.flags, int(mfOk));
    QVERIFY(refusal.parent == nullptr);
}

void TstDialogs::replacementEditsOnlyItsOwnColumn()
{
    ReplacementOfOuiNon shown;
    TfCouQonRemplacement &dialog = shown.dialog;
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    // A click on the selected row's answer opens no editor, even after the delay of a
    // double click; one on its replacement does.
    const auto clickSelected = [&](int column) {
        const QPoint cell = dialog.lv->visualRect(dialog.lv->model()->index(0, column)).center();
        QTest::mouseClick(dialog.lv->viewport(), Qt::LeftButton, {}, cell);
        QTest::mouseClick(dialog.lv->viewport(), Qt::LeftButton, {}, cell, QApplication::doubleClickInterval() + 50);
        QTest::qWait(QApplication::doubleClickInterval() + 100);
        return dialog.lv->findChild<QLineEdit *>();
    };
    QVERIFY(!clickSelected(1));
    QLineEdit *editor = clickSelected(0);
    QVERIFY(editor);
    QTest::keyClicks(editor, QStringLiteral("fumeur"));
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_VERIFY(!dialog.lv->findChild<QLineEdit *>());
    dialog.bOk->click();
    QCOMPARE(dialog.Resultat, QStringLiteral("{Oui¤fumeur}"));
}

void TstDialogs::replacementEditsFirstRowByKeys()
{
    ReplacementOfOuiNon shown;
    TfCouQonRemplacement &dialog = shown.dialog;
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    // The keys go where the focus is, as a user's do: F2 at once edits row 1.
    QTRY_COMPARE(QApplication::focusWidget(), dialog.lv);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F2);
    QLineEdit *editor = nullptr;
    QTRY_VERIFY((editor = dialog.lv->findChild<QLineEdit *>()));
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("fumeur"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTRY_VERIFY(!dialog.lv->findChild<QLineEdit *>());
    dialog.bOk->click();
    QCOMPARE(dialog.Resultat, QStringLiteral("{Oui¤fumeur}"));
}

void TstDialogs::criticalErrorEndsApplication()
{
    ScriptedMessages messages;
    QTimer::singleShot(0, this, [] { ShowErrorMessage(nullptr, QStringLiteral("Fatal"), QStringLiteral("StartUp"), true); });
    QTimer::singleShot(5000, this, [] { QCoreApplication::exit(7); }); // never reached when the error ends it
    QCOMPARE(QApplication::exec(), 0);
    QCOMPARE(messages.requests().size(), 1);
}

// A file name or a server's text that looks like markup is shown as it is.
void TstDialogs::messageBoxShowsTextAsIs()
{
    const QString text = QStringLiteral("Fichier <b>C:\\Lettres\\<i>Dupont</i>.docx</b> introuvable");
    Qt::TextFormat format = Qt::RichText;
    QString shown;
    ModalScript script([&](QDialog *dialog) {
        if (auto *box = qobject_cast<QMessageBox *>(dialog)) {
            format = box->textFormat();
            shown = box->text();
        }
        dialog->done(QDialog::Accepted);
    });
    MsgBox(nullptr, text, QStringLiteral("*APP*"), mfOk);
    QVERIFY(script.ran && !script.forced);
    QCOMPARE(format, Qt::PlainText);
    QCOMPARE(shown, text);
}

QTEST_MAIN(TstDialogs)
#include "tst_dialogs.moc"

