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
#include <QMimeData>
#include <QPointer>
#include <QScopedValueRollback>
#include <QTimer>

#include <functional>
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
// Another program may hold the clipboard open for a moment (a clipboard manager reading
// it): the code is put there again at this interval, for at most this long.
constexpr int ClipboardWriteTimeoutMs = 1000;
constexpr int ClipboardRetryMs = 100;

void RunEventLoopFor(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

const QString ActivationFailedMessage = QStringLiteral("La fenêtre contenant le document n'a pu être activée (ou trouvée)");
const QString ClipboardBusyMessage = QStringLiteral(
    "Le presse-papiers est occupé par un autre programme : le code n'a pu y être placé. Réessayez dans un instant.");
const QString InputBlockedMessage = QStringLiteral(
    "Le document est ouvert dans un programme lancé en tant qu'administrateur : le système empêche d'y coller le "
    "code. Le code est dans le presse-papiers : collez-le avec Ctrl+V.");
const QString KeysRefusedMessage = QStringLiteral(
    "Le système a refusé les touches du collage. Le code est dans le presse-papiers : collez-le avec Ctrl+V.");

// The code as the clipboard holds it: plain text whose reading by a program is noticed
// (the toolkit asks for the text only when a program pastes it, on every platform),
// and, on Windows, kept out of the clipboard history, of its synchronisation and of the
// clipboard monitors, as password managers do: merge codes are no text to keep.
class TCodeMimeData final : public QMimeData {
public:
    explicit TCodeMimeData(const QString &text)
    {
        setText(text);
#ifdef Q_OS_WIN
        const QByteArray zero(4, '\0'); // a DWORD 0: "no"
        for (const char *format : {"ExcludeClipboardContentFromMonitorProcessing", "CanIncludeInClipboardHistory",
                                   "CanUploadToCloudClipboard"})
            setData(QStringLiteral("application/x-qt-windows-mime;value=\"%1\"").arg(QLatin1String(format)), zero);
#endif
    }

    void ForgetRead() { FRead = false; }
    /// Called once, when a program first reads the text.
    std::function<void()> OnRead;

protected:
    QVariant retrieveData(const QString &mimeType, QMetaType type) const override
    {
        if (!FRead && mimeType.startsWith(QLatin1String("text/plain"))) {
            FRead = true;
            if (OnRead)
                OnRead();
        }
        return QMimeData::retrieveData(mimeType, type);
    }

private:
    mutable bool FRead = false;
};

// Puts `text` on the clipboard and checks that the clipboard holds it (another program
// holding the clipboard open makes the write fail), retrying briefly; the data put
// there, or null when the clipboard stayed out of reach. The check compares the data
// objects, which reads no text.
QPointer<TCodeMimeData> PutOnClipboard(const QString &text)
{
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        QPointer<TCodeMimeData> data = new TCodeMimeData(text);
        QGuiApplication::clipboard()->setMimeData(data);
        if (data && QGuiApplication::clipboard()->mimeData() == data.data())
            return data;
        if (clock.elapsed() >= ClipboardWriteTimeoutMs)
            return nullptr;
        RunEventLoopFor(ClipboardRetryMs);
    }
}

// Watches for the target's request for the clipboard's content: in the events the
// toolkit receives from the window system, where the platform tells them (the filter
// sees the request before the toolkit serves it, which it does at once, within the same
// round of the event loop), and in the code's own data, which notices its reading.
class ClipboardFetchWatch final : public QAbstractNativeEventFilter {
public:
    ClipboardFetchWatch(platform::WindowSystem &windowSystem, platform::WindowHandle target, TCodeMimeData &code)
        : FWindowSystem(windowSystem)
        , FTarget(target)
        , FCode(&code)
    {
        QCoreApplication::instance()->installNativeEventFilter(this);
        // A reading before the paste keystroke is another program's (a clipboard monitor).
        code.ForgetRead();
        code.OnRead = [this] { MarkFetched(); };
    }
    ~ClipboardFetchWatch() override
    {
        if (FCode)
            FCode->OnRead = nullptr;
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
        if (!FFetched && FWindowSystem.isClipboardContentRequest(eventType.constData(), message, FTarget))
            MarkFetched();
        return false;
    }

private:
    void MarkFetched()
    {
        FFetched = true;
        // Quits once the toolkit has served the request.
        if (FLoop)
            FLoop->quit();
    }

    platform::WindowSystem &FWindowSystem;
    platform::WindowHandle FTarget;
    QPointer<TCodeMimeData> FCode;
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

QString TitleBeforeExtension(const QString &title)
{
    return StringManager->Before(QStringLiteral("."), title);
}

// The window of a title target: by its title, else by the title cut before its "."; 0.
platform::WindowHandle TitledWindow(const QString &title)
{
    if (const platform::WindowHandle window = WindowByTitle(title.toStdString(), false))
        return window;
    return WindowByTitle(TitleBeforeExtension(title).toStdString(), false);
}

} // namespace

TInsertionRoad::TInsertionRoad(std::unique_ptr<platform::WindowSystem> windowSystem)
    : FWindowSystem(std::move(windowSystem))
{
    SetWindowSystem(FWindowSystem.get());
}

TInsertionRoad::~TInsertionRoad()
{
    SetWindowSystem(nullptr);
}

bool TargetWindowExists(const TInsertionTarget &target)
{
    switch (target.Kind) {
    case TInsertionTarget::TKind::Handle: return WindowHandleExists(target.Handle);
    case TInsertionTarget::TKind::BadHandle: return false;
    case TInsertionTarget::TKind::Title: break;
    }
    return TitledWindow(target.Title) != 0;
}

platform::WindowHandle ActivateTarget(const TInsertionTarget &target)
{
    platform::WindowHandle window = 0;
    switch (target.Kind) {
    case TInsertionTarget::TKind::Handle:
        // A handle whose window is gone is a missing document window.
        window = WindowHandleExists(target.Handle) ? target.Handle : 0;
        break;
    case TInsertionTarget::TKind::BadHandle: break;
    case TInsertionTarget::TKind::Title: window = TitledWindow(target.Title); break;
    }
    if (window != 0)
        ActivateWindowByHandle(window);
    return window;
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
    // Ctrl+V with the clipboard out of reach would paste whatever it held before.
    const QPointer<TCodeMimeData> data = PutOnClipboard(text);
    if (!data) {
        if (!window->FEndRequested)
            MsgBox(window, ClipboardBusyMessage, QStringLiteral("*APP*"), mfOk);
        return;
    }

    const TInsertionTarget &target = window->FTarget;
    if (target.Kind == TInsertionTarget::TKind::BadHandle) {
        MsgBox(nullptr, QStringLiteral("Pas de fenêtre destination."), QStringLiteral("*APP*"), mfOk);
        return;
    }
    const platform::WindowHandle handle = ActivateTarget(target);
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
    platform::WindowSystem *windowSystem = window->FInsertionRoad ? window->FInsertionRoad->WindowSystem() : nullptr;
    // The system would drop the keys silently.
    if (windowSystem && windowSystem->inputBlockedTo(handle)) {
        MsgBox(window, InputBlockedMessage, QStringLiteral("*APP*"), mfOk);
        return;
    }
    std::optional<ClipboardFetchWatch> fetch;
    if (windowSystem && windowSystem->clipboardServedOnRequest() && data)
        fetch.emplace(*windowSystem, handle, *data); // before the keys: the request may come at once
    if (!SendKeys("^(v)", false)) {
        MsgBox(window, KeysRefusedMessage, QStringLiteral("*APP*"), mfOk);
        return;
    }
    QCoreApplication::processEvents();
    if (fetch)
        WaitForClipboardFetch(*windowSystem, *fetch, handle, window->FEndRequested);
}
