// Windows: no termination signals to take back (see TerminationSignals.h).
#include "TerminationSignals.h"

void TakeBackTerminationSignals()
{
}

void RestoreDefaultTerminationSignals()
{
}
