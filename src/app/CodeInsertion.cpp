#include "CodeInsertion.h"

#include "SendKeyApi.h"
#include "pickers/CodeEntry.h"
#include "support/NestedLoop.h"

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
#include <utility>

namespace {

// Activation on X11 completes asynchronously: the focus is polled for this long, and
// asked for again at every re-activation interval. It counts once it has been held
// over checks at least SteadyFocusMs apart: the window manager may still move it.
constexpr int FocusTimeoutMs = 2000;
constexpr int FocusPollMs = 5;
constexpr int SteadyFocusMs = 10;
constexpr int ReactivationMs = 500;
// The target fetches the clipboard's text from this process when it pastes: the next
// code must not replace the text before then. A target that has not asked for it after
// ClipboardFetchTimeoutMs, and has answered the system all that time, ignored the paste;
// one still at work (a busy word processor, its first paste, a document saved to the
// network), asked every BusyProbeIntervalMs, is waited for until BusyTargetTimeoutMs.
// The reading is polled at the shorter interval.
constexpr int ClipboardFetchTimeoutMs = 2000;
constexpr int BusyProbeIntervalMs = 500;
constexpr int BusyTargetTimeoutMs = 30000;
constexpr int AbandonPollMs = 50;
constexpr int TakenPollMs = 2;
// Keys typed with the user's Alt or Shift still down would make another shortcut of
// Ctrl+V (Paste Special): their release is awaited that long at most.
constexpr int ModifierReleaseTimeoutMs = 1000;
constexpr int ModifierPollMs = 10;
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
const QString ModifiersHeldMessage = QStringLiteral(
    "Une touche Maj, Ctrl, Alt ou Windows est restée enfoncée : le collage aurait pris un autre sens. Relâchez-la, "
    "puis cliquez de nouveau sur le code.");
const QString NotReadMessage = QStringLiteral(
    "Le document n'a pas lu le code du presse-papiers : il n'a sans doute pas été collé. Vérifiez le document ; le "
    "code est dans le presse-papiers : collez-le avec Ctrl+V s'il manque.");
const QString BusyStatus = QStringLiteral("Le document est occupé : le code sera collé dès qu'il répondra...");
const QString NoWindowMessage = QStringLiteral("Pas de fenêtre destination.");

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

// How the wait for the target's reading of the code ended.
enum class TReading { Read, NotRead, WindowGone, Abandoned };

// Waits until the target has asked for the clipboard's text and read the answer: while
// it is still at work, longer (`onBusy` is told when that wait begins). Another program
// that took the clipboard over serves the text from now on: nothing more to wait for.
TReading WaitForClipboardFetch(platform::WindowSystem &windowSystem, ClipboardFetchWatch &fetch,
                               const QPointer<TCodeMimeData> &data, platform::WindowHandle target,
                               const bool &abandoned, const std::function<void()> &onBusy)
{
    QElapsedTimer clock;
    clock.start();
    const auto ours = [&data] { return data && QGuiApplication::clipboard()->mimeData() == data.data(); };
    bool told = false;
    qint64 lastBusy = 0; // the keystroke: the target has had work to do since
    qint64 nextProbe = ClipboardFetchTimeoutMs;
    while (!fetch.Fetched()) {
        if (abandoned)
            return TReading::Abandoned;
        if (!ours())
            return TReading::Read;
        if (!windowSystem.windowExists(target))
            return TReading::WindowGone;
        const qint64 now = clock.elapsed();
        if (now >= BusyTargetTimeoutMs)
            return TReading::NotRead;
        if (now >= nextProbe) {
            nextProbe = now + BusyProbeIntervalMs;
            if (windowSystem.windowBusy(target)) {
                lastBusy = now;
                if (!std::exchange(told, true))
                    onBusy();
            } else if (now - lastBusy >= ClipboardFetchTimeoutMs) {
                return TReading::NotRead;
            }
        }
        fetch.WaitFor(AbandonPollMs);
    }
    // The text is being transferred; a requestor that never confirms it is not waited for
    // longer than the usual bound.
    QElapsedTimer transfer;
    transfer.start();
    while (!abandoned && transfer.elapsed() < ClipboardFetchTimeoutMs && !windowSystem.clipboardTextTaken())
        RunEventLoopFor(TakenPollMs);
    return abandoned ? TReading::Abandoned : TReading::Read;
}

// A window system's answer, or `fallback` when the platform call failed.
template <typename T, typename Call>
T Ask(Call call, T fallback)
{
    try {
        return call();
    } catch (...) {
        return fallback;
    }
}

TInsertionRoad::TAnswer Told(const QString &message, bool owned = true)
{
    return {TInsertionRoad::TResult::Told, message, owned};
}

TInsertionRoad::TAnswer Abandoned()
{
    return {TInsertionRoad::TResult::Abandoned, QString(), true};
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

platform::WindowHandle TInsertionRoad::SearchTitle(const TInsertionTarget &target)
{
    platform::WindowHandle best = 0;
    int bestMatch = -1;
    const std::vector<platform::WindowHandle> windows =
        Ask([this] { return FWindowSystem->topLevelWindows(); }, std::vector<platform::WindowHandle>());
    for (const platform::WindowHandle window : windows) {
        const QString title = QString::fromStdString(Ask([&] { return FWindowSystem->windowTitle(window); }, std::string()));
        int match = target.TitleMatch(title) * 2; // 0 the title, 2 beginning with it, 4 containing it
        // Among the windows that only contain the name, the word processor started here.
        if (match == 4 && target.StartedProcess != 0
            && Ask([&] { return FWindowSystem->windowProcess(window); }, std::uint64_t(0)) == target.StartedProcess)
            match = 3;
        if (match >= 0 && (bestMatch < 0 || match < bestMatch)) {
            best = window;
            bestMatch = match;
        }
    }
    return best;
}

platform::WindowHandle TInsertionRoad::FindTarget(const TInsertionTarget &target)
{
    if (!FWindowSystem)
        return 0;
    const auto exists = [this](platform::WindowHandle window) {
        return window != 0 && Ask([&] { return FWindowSystem->windowExists(window); }, false);
    };
    switch (target.Kind) {
    case TInsertionTarget::TKind::Handle: return exists(target.Handle) ? target.Handle : 0;
    case TInsertionTarget::TKind::BadHandle: return 0;
    case TInsertionTarget::TKind::Title: break;
    }
    // The window found before stays the target while it lives and still shows the
    // document, even where a search leaves it out (cloaked on another virtual desktop).
    if (exists(FFoundWindow)
        && target.TitleMatch(QString::fromStdString(Ask([this] { return FWindowSystem->windowTitle(FFoundWindow); },
                                                        std::string())))
               >= 0)
        return FFoundWindow;
    FFoundWindow = SearchTitle(target);
    return FFoundWindow;
}

bool TInsertionRoad::TargetExists(const TInsertionTarget &target)
{
    return FindTarget(target) != 0;
}

bool TInsertionRoad::ActivateTarget(const TInsertionTarget &target)
{
    const platform::WindowHandle window = FindTarget(target);
    if (window != 0)
        Ask([&] { return FWindowSystem->activateWindow(window); }, false);
    return window != 0;
}

bool TInsertionRoad::WaitForFocus(platform::WindowHandle window, const bool &abandoned)
{
    if (!FWindowSystem)
        return false;
    const auto hasFocus = [&] { return Ask([&] { return FWindowSystem->windowHasFocus(window); }, false); };
    QElapsedTimer clock;
    clock.start();
    qint64 lastActivation = 0;
    qint64 focusSince = -1;
    while (clock.elapsed() < FocusTimeoutMs && !abandoned) {
        QCoreApplication::processEvents();
        if (hasFocus()) {
            if (focusSince < 0)
                focusSince = clock.elapsed();
            else if (clock.elapsed() - focusSince >= SteadyFocusMs)
                return true;
        } else {
            focusSince = -1;
            // A window closed meanwhile will never take the focus: no use waiting for it.
            if (!Ask([&] { return FWindowSystem->windowExists(window); }, false))
                return false;
            if (clock.elapsed() - lastActivation >= ReactivationMs) {
                Ask([&] { return FWindowSystem->activateWindow(window); }, false);
                lastActivation = clock.elapsed();
            }
        }
        RunEventLoopFor(FocusPollMs);
    }
    return false;
}

bool TInsertionRoad::WaitForModifiersReleased(const bool &abandoned)
{
    QElapsedTimer clock;
    clock.start();
    while (Ask([this] { return FWindowSystem->userModifiersDown(); }, false)) {
        if (abandoned || clock.elapsed() >= ModifierReleaseTimeoutMs)
            return false;
        RunEventLoopFor(ModifierPollMs);
    }
    return true;
}

void TInsertionRoad::ShowStatus()
{
    if (!FTargetBusy) {
        emit StatusChanged(QString());
        return;
    }
    QString status = BusyStatus;
    if (!FQueue.isEmpty())
        status += QStringLiteral("\n%1 code(s) en attente").arg(FQueue.size());
    emit StatusChanged(status);
}

TInsertionRoad::TAnswer TInsertionRoad::InsertCode(const TInsertionTarget &target, const QString &code,
                                                   const bool &endRequested)
{
    if (endRequested)
        return Abandoned();
    const QString text = DocumentText(code);
    // The waits below run the event loop: a click meanwhile follows this code, in order,
    // once the target has read it.
    if (FInserting) {
        FQueue << text;
        ShowStatus();
        return {TResult::Queued, QString(), true};
    }
    const QScopedValueRollback guard(FInserting, true);
    const TNestedLoop nestedLoop;
    TAnswer answer = InsertOne(target, text, endRequested);
    while (answer.Result == TResult::Inserted && !FQueue.isEmpty())
        answer = InsertOne(target, FQueue.takeFirst(), endRequested);
    FQueue.clear(); // after a failure, the codes behind it are not typed blindly
    FTargetBusy = false;
    ShowStatus();
    return answer;
}

TInsertionRoad::TAnswer TInsertionRoad::InsertOne(const TInsertionTarget &target, const QString &text,
                                                  const bool &endRequested)
{
    // Ctrl+V with the clipboard out of reach would paste whatever it held before.
    const QPointer<TCodeMimeData> data = PutOnClipboard(text);
    if (endRequested)
        return Abandoned();
    if (!data)
        return Told(ClipboardBusyMessage);
    if (target.Kind == TInsertionTarget::TKind::BadHandle)
        return Told(NoWindowMessage, false);

    // Typing Ctrl+V into whatever window has the focus could paste into the wrong
    // program: only a target that really holds the focus receives it. Once the program
    // is ending (the document closed meanwhile, say), nothing more is typed or told.
    const platform::WindowHandle handle = FindTarget(target);
    if (handle != 0)
        Ask([&] { return FWindowSystem->activateWindow(handle); }, false);
    if (handle == 0 || !WaitForFocus(handle, endRequested))
        return endRequested ? Abandoned() : Told(ActivationFailedMessage);
    QCoreApplication::processEvents();
    if (endRequested)
        return Abandoned();
    // The events just processed took some time: the window may have gone meanwhile, and
    // the focus to another program.
    if (!Ask([&] { return FWindowSystem->windowHasFocus(handle); }, false))
        return Told(ActivationFailedMessage);
    // The system would drop the keys silently.
    if (Ask([&] { return FWindowSystem->inputBlockedTo(handle); }, false))
        return Told(InputBlockedMessage);
    if (!WaitForModifiersReleased(endRequested))
        return endRequested ? Abandoned() : Told(ModifiersHeldMessage);

    std::optional<ClipboardFetchWatch> fetch;
    if (FWindowSystem->clipboardServedOnRequest() && data)
        fetch.emplace(*FWindowSystem, handle, *data); // before the keys: the request may come at once
    if (!SendKeys("^(v)", false)) {
        const bool held = Ask([this] { return FWindowSystem->userModifiersDown(); }, false);
        return Told(held ? ModifiersHeldMessage : KeysRefusedMessage);
    }
    QCoreApplication::processEvents();
    if (!fetch)
        return {TResult::Inserted, QString(), true};
    const auto onBusy = [this] {
        FTargetBusy = true;
        ShowStatus();
    };
    switch (WaitForClipboardFetch(*FWindowSystem, *fetch, data, handle, endRequested, onBusy)) {
    case TReading::Read: return {TResult::Inserted, QString(), true};
    case TReading::NotRead: return Told(NotReadMessage);
    case TReading::WindowGone:
    case TReading::Abandoned: break;
    }
    return Abandoned();
}
