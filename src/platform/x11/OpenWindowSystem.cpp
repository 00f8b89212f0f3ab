// The desktop's window system on Linux: the X server of $DISPLAY.
#include "X11WindowSystem.h"

namespace platform {

std::unique_ptr<WindowSystem> openWindowSystem(std::string &error)
{
    return X11WindowSystem::open(error);
}

} // namespace platform
