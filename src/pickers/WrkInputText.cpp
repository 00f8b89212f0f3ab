#include "WrkInputText.h"
#include "support/DesignFont.h"

#include "support/DialogOwner.h"
#include "support/MessageSeam.h"
#include "support/StrMan.h"
#include "support/WinTools.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

TfWrkInputText::TfWrkInputText(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("fWrkInputText"));
    setWindowTitle(QStringLiteral("Entrez votre texte"));
    setFont(DesignFont());
    setFixedSize(449, 154);
    setModal(true);

    mmInfo = new QPlainTextEdit(QStringLiteral("Entrez votre texte : "), this);
    mmInfo->setObjectName(QStringLiteral("mmInfo"));
    mmInfo->setGeometry(12, 8, 405, 37);
    mmInfo->setReadOnly(true);
    mmInfo->setFrameShape(QFrame::NoFrame);
    mmInfo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    mmInfo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QPalette face = mmInfo->palette();
    face.setColor(QPalette::Base, face.color(QPalette::Button));
    mmInfo->setPalette(face);
    mmInfo->installEventFilter(this);

    mmTexte = new QPlainTextEdit(this);
    mmTexte->setObjectName(QStringLiteral("mmTexte"));
    mmTexte->setGeometry(12, 56, 433, 49);
    mmTexte->setTabChangesFocus(true);
    mmTexte->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    mmTexte->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    mmTexte->installEventFilter(this);

    bOk = new QPushButton(QStringLiteral("&Ok"), this);
    bOk->setObjectName(QStringLiteral("bOk"));
    bOk->setGeometry(276, 116, 79, 29);
    bOk->setDefault(true);
    connect(bOk, &QPushButton::clicked, this, &TfWrkInputText::bOkClick);

    bCancel = new QPushButton(QStringLiteral("&Annuler"), this);
    bCancel->setObjectName(QStringLiteral("bCancel"));
    bCancel->setGeometry(368, 116, 77, 29);
    connect(bCancel, &QPushButton::clicked, this, &TfWrkInputText::bCancelClick);

    setTabOrder(mmTexte, bOk);
    setTabOrder(bOk, bCancel);
}

void TfWrkInputText::bOkClick()
{
    if (!StringManager->TrimBlank(mmTexte->toPlainText()).isEmpty() || FAllowEmpty) {
        FResult = 1;
        done(Accepted);
        return;
    }
    MsgBox(nullptr, QStringLiteral("Vous devez entrez un texte ou annuler !"), QStringLiteral("*APP*"), mfOk);
}

void TfWrkInputText::bCancelClick()
{
    FResult = 2;
    done(Rejected);
}

void TfWrkInputText::reject()
{
    bCancelClick();
}

void TfWrkInputText::FormShow()
{
    if (FMultiLine) {
        mmTexte->resize(mmTexte->width(), 50);
    } else {
        bOk->setDefault(true);
        mmTexte->resize(mmTexte->width(), 25);
    }
    // Centred on the window it stands over, else on the screen.
    QRect frame = frameGeometry();
    if (QWidget *owner = parentWidget()) {
        frame.moveCenter(owner->window()->frameGeometry().center());
        move(frame.topLeft());
    } else if (QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen()) {
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

void TfWrkInputText::FormActivate()
{
    mmTexte->setFocus();
}

void TfWrkInputText::showEvent(QShowEvent *event)
{
    FormShow();
    mmTexte->setFocus();
    QDialog::showEvent(event);
}

bool TfWrkInputText::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate)
        FormActivate();
    return QDialog::event(event);
}

bool TfWrkInputText::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == mmTexte && event->type() == QEvent::KeyPress) {
        // Enter never breaks the line: it validates, as OK does.
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            bOkClick();
            return true;
        }
    } else if (watched == mmInfo && event->type() == QEvent::FocusIn) {
        QTimer::singleShot(0, mmTexte, [edit = mmTexte] { edit->setFocus(); });
    }
    return QDialog::eventFilter(watched, event);
}

void InputText(const QString &caption, const QString &prompt, int &resultCode, const QString &initialText,
               bool multiLine, bool allowEmpty, bool showCancel, QString &text)
{
    text.clear();
    MessageRequest request;
    request.kind = MessageRequest::Kind::InputText;
    request.title = caption;
    request.text = prompt;
    request.value = initialText;
    const MessageReply reply = MessageSeam::exchange(request, [&](const MessageRequest &) {
        TfWrkInputText dialog(DialogOwner(nullptr));
        dialog.setWindowTitle(caption);
        dialog.mmInfo->setPlainText(prompt);
        // The input is what a screen reader reaches: the prompt names it.
        dialog.mmTexte->setAccessibleName(StringManager->TrimBlank(prompt));
        dialog.FAllowEmpty = allowEmpty;
        dialog.FMultiLine = multiLine;
        dialog.mmTexte->setPlainText(initialText);
        dialog.mmTexte->moveCursor(QTextCursor::End);
        if (!showCancel) {
            dialog.bCancel->hide();
            dialog.bOk->move(368, dialog.bOk->y());
        }
        dialog.exec();
        return MessageReply{dialog.FResult, dialog.mmTexte->toPlainText()};
    });
    resultCode = reply.button == 1 ? 1 : 2;
    if (resultCode == 1)
        text = StringManager->TrimBlank(reply.value);
}
