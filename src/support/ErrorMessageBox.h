// The error window in which data loaders report an error they survive: where it
// happened, the full text in a read-only box, and a link that copies it.
// ShowErrorMessage builds the text and passes it through the message seam, whose real
// dialog is TfErrorMessageBox; nobody else creates the window.
#pragma once

#include <QDialog>
#include <QString>

#include <functional>

class QLabel;
class QPushButton;
class QTextEdit;
class TLumoUrl;

/// The text the error window shows for `message` raised at `location`.
QString ErrorMessageText(QWidget *owner, const QString &message, const QString &location);

/// Shows the error window modally (through the message seam, kind ErrorWindow).
/// A critical error ends the application when the window is closed.
void ShowErrorMessage(QWidget *owner, const QString &message, const QString &location, bool critical = false);

/// Runs `action` from an event handler or slot: an exception it lets through is shown in
/// the error window at `location` instead of reaching the event loop.
void RunGuarded(const QString &location, const std::function<void()> &action);

class TfErrorMessageBox : public QDialog {
    Q_OBJECT

public:
    explicit TfErrorMessageBox(QWidget *parent = nullptr);

    /// Loads the text (plain lines) and shows or hides the critical notice.
    void Setup(const QString &text, bool critical);

    QPushButton *bClose;
    QTextEdit *rtfMessage;
    QLabel *Image1;
    QLabel *lCritique;
    TLumoUrl *urlCopier;
    /// Closing a critical error window ends the application.
    bool Critical = false;

    void bCloseClick();
    void urlCopierClick();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
};
