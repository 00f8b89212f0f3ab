#include "StatementWatchdog.h"

EServerSilent::EServerSilent(int seconds)
    : EScrivoError(QStringLiteral("Le serveur de la base de données ne répond pas (aucune réponse en %1 s).").arg(seconds))
{
}

TStatementWatchdog::TStatementWatchdog(int seconds, std::function<void()> breakOff)
    : FSeconds(qMax(1, seconds))
    , FBreakOff(std::move(breakOff))
    , FThread([this] { Watch(); })
{
}

TStatementWatchdog::~TStatementWatchdog()
{
    {
        const std::lock_guard lock(FMutex);
        FStopping = true;
    }
    FChanged.notify_one();
    FThread.join();
}

void TStatementWatchdog::Watch()
{
    std::unique_lock lock(FMutex);
    for (;;) {
        FChanged.wait(lock, [this] { return FStopping || FArmed; });
        if (FStopping)
            return;
        if (FChanged.wait_until(lock, FDeadline, [this] { return FStopping || !FArmed; }))
            continue;
        // Past the bound: the call is broken off (outside the lock: it may take a while).
        FBrokenOff = true;
        FArmed = false;
        lock.unlock();
        FBreakOff();
        lock.lock();
    }
}

TStatementWatchdog::TWatch::TWatch(TStatementWatchdog &dog)
    : FDog(dog)
{
    {
        const std::lock_guard lock(FDog.FMutex);
        FDog.FArmed = true;
        FDog.FBrokenOff = false;
        FDog.FDeadline = std::chrono::steady_clock::now() + std::chrono::seconds(FDog.FSeconds);
    }
    FDog.FChanged.notify_one();
}

TStatementWatchdog::TWatch::~TWatch()
{
    {
        const std::lock_guard lock(FDog.FMutex);
        FDog.FArmed = false;
    }
    FDog.FChanged.notify_one();
}

bool TStatementWatchdog::TWatch::BrokenOff() const
{
    const std::lock_guard lock(FDog.FMutex);
    return FDog.FBrokenOff;
}
