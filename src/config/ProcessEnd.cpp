#include "ProcessEnd.h"

#include "CConnexion.h"
#include "TerminationSignals.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace {

// The detach may itself wait on a server that is gone: the process ends after this long.
constexpr auto DetachBound = std::chrono::seconds(10);
constexpr int ExitStatus = 1;

std::atomic<bool> gArmed = false;

extern "C" void EndFromExitHandler()
{
    if (!gArmed.exchange(false))
        return;
    // From here on a termination signal ends the process at once.
    RestoreDefaultTerminationSignals();
    std::thread([] {
        std::this_thread::sleep_for(DetachBound);
        std::_Exit(ExitStatus);
    }).detach();
    if (gConnexion)
        gConnexion->Disconnect();
    std::fflush(nullptr);
    std::_Exit(ExitStatus);
}

} // namespace

TProcessEnd::TProcessEnd()
{
    gArmed = true;
}

TProcessEnd::~TProcessEnd()
{
    gArmed = false;
}

void GuardExitAfterAttachment()
{
    // Exit handlers run last registered first: registered once the client, and the
    // embedded engine it loads at the first attachment, have registered theirs.
    static const bool registered = std::atexit(EndFromExitHandler) == 0;
    (void)registered;
}
