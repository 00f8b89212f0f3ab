// A bound on each statement of a session: a thread of the session's own that, once a
// statement has run past its bound, calls the session's way of breaking off the call
// the GUI thread is blocked in (the Firebird client's cancel, the MySQL socket shut). A
// server that stops answering (a frozen machine, a cable pulled) then gives a message
// within the bound instead of a window frozen for good. Internal to the config layer.
#pragma once

#include "support/StrMan.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

/// What a session throws when its server did not answer within the bound.
class EServerSilent : public EScrivoError {
public:
    explicit EServerSilent(int seconds);
};

class TStatementWatchdog {
public:
    /// `breakOff` runs on the watchdog's thread, while the statement still blocks.
    TStatementWatchdog(int seconds, std::function<void()> breakOff);
    ~TStatementWatchdog();
    TStatementWatchdog(const TStatementWatchdog &) = delete;
    TStatementWatchdog &operator=(const TStatementWatchdog &) = delete;

    /// Watches one statement while it lives; after a failure, the session asks it
    /// whether the bound broke the statement off (and throws EServerSilent if so).
    class TWatch {
    public:
        explicit TWatch(TStatementWatchdog &dog);
        ~TWatch();
        TWatch(const TWatch &) = delete;
        TWatch &operator=(const TWatch &) = delete;
        /// True when the bound was passed and the statement broken off.
        bool BrokenOff() const;
        int Seconds() const { return FDog.FSeconds; }

    private:
        TStatementWatchdog &FDog;
    };

private:
    void Watch();

    const int FSeconds;
    const std::function<void()> FBreakOff;
    mutable std::mutex FMutex;
    std::condition_variable FChanged;
    bool FArmed = false, FBrokenOff = false, FStopping = false;
    std::chrono::steady_clock::time_point FDeadline;
    std::thread FThread;
};
