#include "ErrorMessageBox.h"
#include "DesignFont.h"

#include "DialogOwner.h"
#include "LumoUrl.h"
#include "MessageSeam.h"
#include "StrMan.h"
#include "WinTools.h"
#include "WrkGraphics.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLabel>
#include <QLoggingCategory>
#include <QPointer>
#include <QPushButton>
#include <QStyle>
#include <QTextEdit>
#include <QTimer>

Q_LOGGING_CATEGORY(lcErrorWindow, "scrivo.errorwindow", QtWarningMsg)

namespace {

MessageReply ShowRealErrorWindow(const MessageRequest &request, bool critical)
{
    QWidget *const owner = DialogOwner(request.parent);
    QPointer<TfErrorMessageBox> window = new TfErrorMessageBox(owner);
    StandAboveOwner(window, owner);
    window->Setup(request.text, critical);
    window->exec();
    delete window.data();
    return {idOk, {}};
}

} // namespace

QString ErrorMessageText(QWidget *owner, const QString &message, const QString &location)
{
    QString text = QStringLiteral("Une erreur est survenue dans ");
    if (owner)
        text += QStringLiteral("le module <") + owner->objectName() + QStringLiteral("> ");
    text += QStringLiteral("à l'emplacement ");
    return text + QStringLiteral("<") + location + QStringLiteral(">") + QStringLiteral("\r\n") + message;
}

void ShowErrorMessage(QWidget *owner, const QString &message, const QString &location, bool critical)
{
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();

    MessageRequest request;
    request.kind = MessageRequest::Kind::ErrorWindow;
    request.parent = owner;
    request.text = ErrorMessageText(owner, message, location);
    request.title = QStringLiteral("Message d'erreur");
    MessageSeam::exchange(request, [critical](const MessageRequest &r) { return ShowRealErrorWindow(r, critical); });
    // However the window went away, a critical error ends the application.
    if (critical)
        QCoreApplication::quit();
}

void RunGuarded(const QString &location, const std::function<void()> &action)
{
    QString message;
    try {
        action();
        return;
    } catch (const EScrivoError &error) {
        message = error.Message();
    } catch (const std::exception &error) {
        message = QString::fromUtf8(error.what());
    } catch (...) {
        message = QStringLiteral("Erreur inconnue");
    }
    qCDebug(lcErrorWindow) << location << message;
    ShowErrorMessage(nullptr, message, location);
}

TfErrorMessageBox::TfErrorMessageBox(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("fErrorMessageBox"));
    setWindowTitle(QStringLiteral("Message d'erreur"));
    setFont(DesignFont());
    setFixedSize(562, 137);
    setModal(true);

    bClose = new QPushButton(QStringLiteral("&Fermer"), this);
    bClose->setObjectName(QStringLiteral("bClose"));
    bClose->setGeometry(472, 104, 77, 29);
    bClose->setDefault(true);
    connect(bClose, &QPushButton::clicked, this, &TfErrorMessageBox::bCloseClick);

    rtfMessage = new QTextEdit(this);
    rtfMessage->setObjectName(QStringLiteral("rtfMessage"));
    rtfMessage->setGeometry(60, 8, 485, 89);
    rtfMessage->setReadOnly(true);
    rtfMessage->setAccessibleName(QStringLiteral("Message"));
    rtfMessage->setAcceptRichText(false);
    rtfMessage->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QPalette tipColours = rtfMessage->palette();
    tipColours.setColor(QPalette::Base, tipColours.color(QPalette::ToolTipBase));
    tipColours.setColor(QPalette::Text, tipColours.color(QPalette::ToolTipText));
    rtfMessage->setPalette(tipColours);
    rtfMessage->installEventFilter(this);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(8, 8, 32, 32);
    Image1->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning, nullptr, this).pixmap(32, 32));

    lCritique = new QLabel(QStringLiteral("L'application va être arrêtée !"), this);
    lCritique->setObjectName(QStringLiteral("lCritique"));
    QFont bold = DesignFont();
    bold.setBold(true);
    lCritique->setFont(bold);
    lCritique->move(60, 104);
    lCritique->adjustSize();
    lCritique->setVisible(false);

    urlCopier = new TLumoUrl(this);
    urlCopier->setObjectName(QStringLiteral("urlCopier"));
    urlCopier->setGeometry(244, 108, 217, 25);
    urlCopier->SetCaption(QStringLiteral("Copier le message dans le presse papier"));
    QFont mouseOver = DesignFont();
    mouseOver.setUnderline(true);
    urlCopier->SetMouseOverFont(mouseOver);
    if (fWrkGraphics)
        urlCopier->SetPicture(fWrkGraphics->LinkPicture());
    connect(urlCopier, &TLumoUrl::Click, this, &TfErrorMessageBox::urlCopierClick);

    // bClose is the only control that takes the focus.
    bClose->setFocus();
}

void TfErrorMessageBox::Setup(const QString &text, bool critical)
{
    LoadRichText(rtfMessage, text);
    // The focus stays on bClose: a screen reader speaks the window's description as it opens.
    setAccessibleDescription(rtfMessage->toPlainText());
    Critical = critical;
    lCritique->setVisible(critical);
}

void TfErrorMessageBox::bCloseClick()
{
    if (Critical)
        QCoreApplication::quit();
    accept();
}

void TfErrorMessageBox::urlCopierClick()
{
    // The lines as shown, with the program's line breaks; a clipboard that cannot be
    // reached is not worth a second error.
    if (QClipboard *clipboard = QGuiApplication::clipboard())
        clipboard->setText(rtfMessage->toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n")));
}

void TfErrorMessageBox::keyPressEvent(QKeyEvent *event)
{
    // No cancel button: Escape leaves the window open.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool TfErrorMessageBox::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == rtfMessage) {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::InputMethod:
            return true;
        case QEvent::FocusIn:
            QTimer::singleShot(0, bClose, [button = bClose] { button->setFocus(); });
            break;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}
