#include "host/screenshot.h"

#include "host/screen.h"

#include <png.h>

#include <cstring>
#include <vector>

namespace host {

bool WriteScreenshot(const std::string& path, std::string* error) {
    if (!ScreenIs16Bit()) {
        *error = "the screen is not a 16-bit screen";
        return false;
    }
    const GXDisplayProperties& screen = ScreenProperties();
    const int32_t width = static_cast<int32_t>(screen.width);
    const int32_t height = static_cast<int32_t>(screen.height);
    std::vector<uint8_t> rgb(static_cast<size_t>(width) * height * 3);
    uint8_t* out = rgb.data();
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            ExpandPixel(ScreenPixel(x, y), out);
            out += 3;
        }
    }
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = screen.width;
    image.height = screen.height;
    image.format = PNG_FORMAT_RGB;
    if (png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), width * 3, nullptr) == 0) {
        *error = "cannot write " + path + ": " + image.message;
        png_image_free(&image);
        return false;
    }
    return true;
}

} // namespace host
