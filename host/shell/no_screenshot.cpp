// The web page's device writes no pictures: libpng is not there for
// WebAssembly, and the page shows the screen itself.
#include "host/screenshot.h"

namespace host {

bool WriteScreenshot(const std::string&, std::string* error) {
    *error = "this build of the device writes no pictures";
    return false;
}

} // namespace host
