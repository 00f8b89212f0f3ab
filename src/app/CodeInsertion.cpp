#include "CodeInsertion.h"

#include "Scrivo.h"
#include "SendKeyApi.h"
#include "support/NestedLoop.h"
#include "support/StrMan.h"
#include "support/WinTools.h"

#include <QClipboard>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QScopedValueRollback>
#include <QTimer>

namespace {

// Activation on X11 completes asynchronously: the focus is polled for this long, and
// asked for again at every re-activation interval.
constexpr int FocusTimeoutMs = 2000;
constexpr int FocusPollMs = 30;
constexpr int ReactivationMs = 500;
// After Ctrl+V the target fetches the clipboard from this process: keep serving it
// before anything else may replace the text.
constexpr int PasteSettleMs = 150;

const QString ActivationFailedMessage = QStringLiteral("La fenêtre contenant le document n'a pu être activée (ou trouvée)");

void RunEventLoopFor(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

// The handle of a "-hwnd=" descriptor; false when its text is not an integer.
bool HandleOf(const QString &target, platform::WindowHandle &handle)
{
    const QString value = StringManager->After(QStringLiteral("="), target);
    if (!IsInteger(value))
        return false;
    handle = static_cast<std::uint32_t>(StrToIntDef(value, 0));
    return true;
}

QString TitleBeforeExtension(const QString &title)
{
    return StringManager->Before(QStringLiteral("."), title);
}

} // namespace

bool IsHandleTarget(const QString &target)
{
    return StringManager->Lower(StringManager->Left(target, 6)) == QLatin1String("-hwnd=");
}

QString TargetTitle(const QString &target)
{
    if (StringManager->Lower(StringManager->Left(target, 5)) == QLatin1String("-app="))
        return StringManager->After(QStringLiteral("="), target);
    return target;
}

bool TargetWindowExists(const QString &target)
{
    if (IsHandleTarget(target)) {
        platform::WindowHandle handle = 0;
        return HandleOf(target, handle) && WindowHandleExists(handle);
    }
    const QString title = TargetTitle(target);
    return FindWindowByTitle(title.toStdString(), false)
        || FindWindowByTitle(TitleBeforeExtension(title).toStdString(), false);
}

platform::WindowHandle ActivateTarget(const QString &target)
{
    if (IsHandleTarget(target)) {
        platform::WindowHandle handle = 0;
        // A handle whose window is gone is a missing document window.
        if (!HandleOf(target, handle) || !WindowHandleExists(handle))
            return 0;
        ActivateWindowByHandle(handle);
        return handle;
    }
    const QString title = TargetTitle(target);
    if (ActivateWindowByTitle(title.toStdString(), false)
        || ActivateWindowByTitle(TitleBeforeExtension(title).toStdString(), false))
        return FoundWindow;
    return 0;
}

bool WaitForFocus(platform::WindowHandle window, const bool &abandoned)
{
    QElapsedTimer clock;
    clock.start();
    qint64 lastActivation = 0;
    int steadyChecks = 0;
    while (clock.elapsed() < FocusTimeoutMs && !abandoned) {
        QCoreApplication::processEvents();
        if (WindowHasFocus(window)) {
            // Two checks some tens of ms apart: the window manager may still move it.
            if (++steadyChecks >= 2)
                return true;
        } else {
            steadyChecks = 0;
            // A window closed meanwhile will never take the focus: no use waiting for it.
            if (!WindowHandleExists(window))
                return false;
            if (clock.elapsed() - lastActivation >= ReactivationMs) {
                ActivateWindowByHandle(window);
                lastActivation = clock.elapsed();
            }
        }
        RunEventLoopFor(FocusPollMs);
    }
    return false;
}

void InsertCode(TfScrivo *window, const QString &code)
{
    // The waits below run the event loop; a second click meanwhile is not a second code.
    static bool inserting = false;
    if (inserting || window->FEndRequested)
        return;
    const QScopedValueRollback guard(inserting, true);
    const TNestedLoop nestedLoop;

    const QString text = code.startsWith(u'£') ? code : u'£' + code + u'#';
    QGuiApplication::clipboard()->setText(text);

    const QString target = window->FTarget;
    platform::WindowHandle handle = 0;
    if (IsHandleTarget(target) && !HandleOf(target, handle)) {
        MsgBox(nullptr, QStringLiteral("Pas de fenêtre destination."), QStringLiteral("*APP*"), mfOk);
        return;
    }
    handle = ActivateTarget(target);
    // Typing Ctrl+V into whatever window has the focus could paste into the wrong
    // program: only a target that really holds the focus receives it.
    // Once the program is ending (the document closed meanwhile, say), nothing more is
    // typed or told.
    if (handle == 0 || !WaitForFocus(handle, window->FEndRequested)) {
        if (!window->FEndRequested)
            MsgBox(window, ActivationFailedMessage, QStringLiteral("*APP*"), mfOk);
        return;
    }

    QCoreApplication::processEvents();
    if (window->FEndRequested)
        return;
    // The events just processed took some time: the window may have gone meanwhile, and
    // the focus to another program.
    if (!WindowHasFocus(handle)) {
        MsgBox(window, ActivationFailedMessage, QStringLiteral("*APP*"), mfOk);
        return;
    }
    SendKeys("^(v)", false);
    QCoreApplication::processEvents();
    if (!window->FEndRequested)
        RunEventLoopFor(PasteSettleMs);
}
