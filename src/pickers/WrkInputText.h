// The dialog that asks the user for one text (the wording of a question, for example).
// InputText passes the request through the message seam, whose real dialog is
// TfWrkInputText; the dialog lives for one call.
#pragma once

#include <QDialog>
#include <QString>

class QPlainTextEdit;
class QPushButton;

/// Asks for a text in a modal dialog (through the message seam, kind InputText).
/// `resultCode` receives 1 (OK) or 2 (cancelled); `text` the entered text, trimmed,
/// when 1, else the empty text.
void InputText(const QString &caption, const QString &prompt, int &resultCode, const QString &initialText,
               bool multiLine, bool allowEmpty, bool showCancel, QString &text);

class TfWrkInputText : public QDialog {
    Q_OBJECT

public:
    explicit TfWrkInputText(QWidget *parent = nullptr);

    QPlainTextEdit *mmInfo;
    QPlainTextEdit *mmTexte;
    QPushButton *bOk;
    QPushButton *bCancel;

    /// 1 when closed by OK, 2 otherwise.
    int FResult = 2;
    /// OK is accepted with an empty (or blank) text.
    bool FAllowEmpty = false;
    /// Two lines of input instead of one.
    bool FMultiLine = true;

    /// Accepts the text (result 1) unless it is blank and blanks are not allowed.
    void bOkClick();
    /// Result 2 and close (also Escape).
    void bCancelClick();

    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormShow();
    void FormActivate();
};
