// The web front end: the device's screen in a canvas of the page
// (host/web/index.html), the page's keys, mouse and touches as the device's
// buttons and stylus, the page hidden or shown as the focus lost or regained.
#pragma once
#include "host/device.h"

#include <cstdint>

namespace host {

// Shows the screen at `scale` page pixels per screen pixel and listens to the
// page's events.
FrontEnd* OpenWebFrontEnd(int32_t scale);

// The program has ended with `code`: the page shows the last screen and says
// so, with the screen's digest. A page has no process to end, so the device
// stops here for good, without unwinding what called it.
[[noreturn]] void StopWebFrontEnd(FrontEnd* frontEnd, int code);

} // namespace host
