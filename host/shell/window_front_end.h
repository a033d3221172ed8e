// The window front end: the device's screen in a window of this machine,
// its keys and mouse as the device's buttons and stylus.
#pragma once
#include "host/device.h"

#include <cstdint>
#include <string>

namespace host {

// Opens the window, titled `title`, at `scale` window pixels per screen
// pixel. Null, with the reason in *why, where no window can be shown (no
// display: the window library chose a driver that shows nothing, or could
// not start).
FrontEnd* OpenWindowFrontEnd(int32_t scale, const std::string& title, std::string* why);
void CloseWindowFrontEnd(FrontEnd* frontEnd);

} // namespace host
