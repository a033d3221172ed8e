#include "host/screenshot.h"

#include "host/png_file.h"
#include "host/screen.h"

#include <vector>

namespace host {

bool WriteScreenshot(const std::string& path, std::string* error) {
    if (!ScreenIs16Bit()) {
        *error = "the screen is not a 16-bit screen";
        return false;
    }
    const GXDisplayProperties& screen = ScreenProperties();
    std::vector<uint8_t> rgb(size_t{screen.width} * 3);
    return WritePngFile(
        path, screen.width, screen.height,
        [&rgb, &screen](uint32_t y, std::string*) {
            for (uint32_t x = 0; x < screen.width; ++x) {
                ExpandPixel(ScreenPixel(static_cast<int32_t>(x), static_cast<int32_t>(y)),
                            &rgb[3 * size_t{x}]);
            }
            return static_cast<const uint8_t*>(rgb.data());
        },
        error);
}

} // namespace host
