#include "CodeInsertion.h"

#include "Scrivo.h"
#include "SendKeyApi.h"
#include "support/NestedLoop.h"
#include "support/StrMan.h"
#include "support/WinTools.h"

#include <QAbstractNativeEventFilter>
#include <QClipboard>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QPointer>
#include <QScopedValueRollback>
#include <QTimer>

#include <optional>

namespace {

// Activation on X11 completes asynchronously: the focus is polled for this long, and
// asked for again at every re-activation interval. It counts once it has been held
// over checks at least SteadyFocusMs apart: the window manager may still move it.
constexpr int FocusTimeoutMs = 2000;
constexpr int FocusPollMs = 5;
constexpr int SteadyFocusMs = 10;
constexpr int ReactivationMs = 500;
// Where the target fetches the clipboard from this process when it pastes (X11), the
// next code must not replace the text before then: the wait ends once the target has
// asked for the text and read the answer, or after this long (a word processor that
// ignored the paste). The reading is polled at the shorter interval.
constexpr int ClipboardFetchTimeoutMs = 2000;
constexpr int AbandonPollMs = 50;
constexpr int TakenPollMs = 2;

const QString ActivationFailedMessage = QStringLiteral("La fenêtre contenant le document n'a pu être activée (ou trouvée)");

void RunEventLoopFor(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

// Watches the events the toolkit receives from the window system for the target's
// request for the clipboard's content. The filter sees the request before the toolkit
// serves it, which it does at once, within the same round of the event loop.
class ClipboardFetchWatch final : public QAbstractNativeEventFilter {
public:
    ClipboardFetchWatch(platform::WindowSystem &windowSystem, platform::WindowHandle target)
        : FWindowSystem(windowSystem)
        , FTarget(target)
    {
        QCoreApplication::instance()->installNativeEventFilter(this);
    }
    ~ClipboardFetchWatch() override
    {
        if (QCoreApplication::instance())
            QCoreApplication::instance()->removeNativeEventFilter(this);
    }
    ClipboardFetchWatch(const ClipboardFetchWatch &) = delete;
    ClipboardFetchWatch &operator=(const ClipboardFetchWatch &) = delete;

    bool Fetched() const { return FFetched; }

    // Runs the event loop until the target has asked for the content, or for at most
    // `milliseconds`.
    void WaitFor(int milliseconds)
    {
        if (FFetched)
            return;
        QEventLoop loop;
        FLoop = &loop;
        QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
        loop.exec();
        FLoop = nullptr;
    }

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *) override
    {
        if (!FFetched && FWindowSystem.isClipboardContentRequest(eventType.constData(), message, FTarget)) {
            FFetched = true;
            // Quits once the toolkit has served the request.
            if (FLoop)
                FLoop->quit();
        }
        return false;
    }

private:
    platform::WindowSystem &FWindowSystem;
    platform::WindowHandle FTarget;
    bool FFetched = false;
    QPointer<QEventLoop> FLoop;
};

// Waits until the target has asked for the clipboard's text and read the answer, at
// most ClipboardFetchTimeoutMs, and no longer once `abandoned` becomes true or the
// target's window is gone before asking.
void WaitForClipboardFetch(platform::WindowSystem &windowSystem, ClipboardFetchWatch &fetch,
                           platform::WindowHandle target, const bool &abandoned)
{
    QElapsedTimer clock;
    clock.start();
    const auto left = [&clock] { return ClipboardFetchTimeoutMs - clock.elapsed(); };
    while (!fetch.Fetched() && !abandoned && left() > 0 && windowSystem.windowExists(target))
        fetch.WaitFor(int(qMin<qint64>(AbandonPollMs, left())));
    while (fetch.Fetched() && !abandoned && left() > 0 && !windowSystem.clipboardTextTaken())
        RunEventLoopFor(TakenPollMs);
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
    qint64 focusSince = -1;
    while (clock.elapsed() < FocusTimeoutMs && !abandoned) {
        QCoreApplication::processEvents();
        if (WindowHasFocus(window)) {
            if (focusSince < 0)
                focusSince = clock.elapsed();
            else if (clock.elapsed() - focusSince >= SteadyFocusMs)
                return true;
        } else {
            focusSince = -1;
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
    platform::WindowSystem *windowSystem = CurrentWindowSystem();
    std::optional<ClipboardFetchWatch> fetch;
    if (windowSystem && windowSystem->clipboardServedOnRequest())
        fetch.emplace(*windowSystem, handle); // before the keys: the request may come at once
    SendKeys("^(v)", false);
    QCoreApplication::processEvents();
    if (fetch)
        WaitForClipboardFetch(*windowSystem, *fetch, handle, window->FEndRequested);
}

