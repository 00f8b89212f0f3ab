// MsgBox: the program's message box, with its own flag set and the "*APP*" title.
#include "DialogOwner.h"
#include "MessageSeam.h"
#include "WinTools.h"

#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

namespace {

// Platform style values (MB_*) the flags stand for.
constexpr int MB_OK = 0x0, MB_OKCANCEL = 0x1, MB_YESNOCANCEL = 0x3, MB_YESNO = 0x4;
constexpr int MB_ICONERROR = 0x10, MB_ICONQUESTION = 0x20, MB_ICONWARNING = 0x30, MB_ICONINFORMATION = 0x40;
constexpr int MB_DEFBUTTON2 = 0x100, MB_DEFBUTTON3 = 0x200;
constexpr int MB_TYPEMASK = 0xF, MB_ICONMASK = 0xF0, MB_DEFMASK = 0xF00;

MessageReply showRealMessageBox(const MessageRequest &request)
{
    const int style = MsgBoxStyle(request.flags);
    QMessageBox box(DialogOwner(request.parent));
    StandAboveOwner(&box, box.parentWidget());
    box.setWindowTitle(request.title);
    box.setTextFormat(Qt::PlainText); // file names and servers' texts are shown as they are
    box.setText(request.text);

    switch (style & MB_ICONMASK) {
    case MB_ICONERROR: box.setIcon(QMessageBox::Critical); break;
    case MB_ICONQUESTION: box.setIcon(QMessageBox::Question); break;
    case MB_ICONWARNING: box.setIcon(QMessageBox::Warning); break;
    case MB_ICONINFORMATION: box.setIcon(QMessageBox::Information); break;
    default: box.setIcon(QMessageBox::NoIcon); break;
    }

    struct Choice { QString caption; int result; QMessageBox::ButtonRole role; };
    QList<Choice> choices;
    switch (style & MB_TYPEMASK) {
    case MB_OKCANCEL:
        choices = {{QStringLiteral("OK"), idOk, QMessageBox::AcceptRole},
                   {QStringLiteral("Annuler"), idCancel, QMessageBox::RejectRole}};
        break;
    case MB_YESNOCANCEL:
        choices = {{QStringLiteral("&Oui"), idYes, QMessageBox::YesRole},
                   {QStringLiteral("&Non"), idNo, QMessageBox::NoRole},
                   {QStringLiteral("Annuler"), idCancel, QMessageBox::RejectRole}};
        break;
    case MB_YESNO:
        choices = {{QStringLiteral("&Oui"), idYes, QMessageBox::YesRole},
                   {QStringLiteral("&Non"), idNo, QMessageBox::NoRole}};
        break;
    default:
        choices = {{QStringLiteral("OK"), idOk, QMessageBox::AcceptRole}};
        break;
    }
    QList<QPushButton *> buttons;
    for (const Choice &choice : choices)
        buttons << box.addButton(choice.caption, choice.role);

    int defaultIndex = 0;
    if ((style & MB_DEFMASK) == MB_DEFBUTTON2)
        defaultIndex = 1;
    else if ((style & MB_DEFMASK) == MB_DEFBUTTON3)
        defaultIndex = 2;
    box.setDefaultButton(buttons.value(defaultIndex, buttons.first()));

    box.exec();
    // Closing the box with Escape or its title bar counts as Cancel when there is one,
    // as No in a Yes/No box, as OK otherwise.
    const int pressed = buttons.indexOf(qobject_cast<QPushButton *>(box.clickedButton()));
    if (pressed >= 0)
        return {choices[pressed].result, {}};
    return {choices.size() == 1 ? idOk : choices.last().result, {}};
}

} // namespace

int MsgBoxStyle(int flags)
{
    int style = MB_OK;
    if (flags & mfOk) style = MB_OK;
    if (flags & mfOkCancel) style = MB_OKCANCEL;
    if (flags & mfYesNo) style = MB_YESNO;
    if (flags & mfYesNoCancel) style = MB_YESNOCANCEL;
    if (flags & mfDefault2) style += MB_DEFBUTTON2;
    if (flags & mfDefault3) style += MB_DEFBUTTON3;
    if (flags & mfWarning) style += MB_ICONWARNING;
    if (flags & mfError) style += MB_ICONERROR;
    if (flags & mfInformation) style += MB_ICONINFORMATION;
    if (flags & mfQuestion) style += MB_ICONQUESTION;
    return style;
}

QString ApplicationTitle()
{
    QString name = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    if (name.isEmpty() && !QCoreApplication::arguments().isEmpty())
        name = QFileInfo(QCoreApplication::arguments().constFirst()).fileName();
    name = name.section(QLatin1Char('.'), 0, 0);
    return name.left(1).toUpper() + name.mid(1).toLower();
}

int MsgBox(QWidget *parent, const QString &text, const QString &title, int flags)
{
    // A busy cursor may be showing: a question deserves the arrow.
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();

    MessageRequest request;
    request.kind = MessageRequest::Kind::MessageBox;
    request.parent = parent;
    request.text = text;
    request.title = title == QLatin1String("*APP*") ? ApplicationTitle() : title;
    request.flags = flags;
    return MessageSeam::exchange(request, showRealMessageBox).button;
}
