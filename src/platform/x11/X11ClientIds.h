// Which X client a window belongs to: the server gives every client a range of resource
// ids, the same bits outside the server's resource-id mask. Kept apart because the mask
// is read from Xlib's internal header, whose macros the rest of the X11 side avoids.
#pragma once

struct _XDisplay;

namespace platform {

/// The bits of a resource id that name its client on the server of `display`.
unsigned long ClientIdBits(_XDisplay *display);

} // namespace platform
