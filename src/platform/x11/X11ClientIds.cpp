#include "X11ClientIds.h"

#include <X11/Xlibint.h>

namespace platform {

unsigned long ClientIdBits(_XDisplay *display)
{
    return ~display->resource_mask;
}

} // namespace platform
