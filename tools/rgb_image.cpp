#include "tools/rgb_image.h"

#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

uint8_t To5(uint8_t v) {
    return static_cast<uint8_t>((v * 31 + 127) / 255);
}
uint8_t To6(uint8_t v) {
    return static_cast<uint8_t>((v * 63 + 127) / 255);
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// libpng reports through these: the message is kept and the read or write
// jumps back to its setjmp, which gives up.
struct PngErrors {
    char message[200] = {};
};
void OnPngError(png_structp png, png_const_charp message) {
    auto* errors = static_cast<PngErrors*>(png_get_error_ptr(png));
    std::snprintf(errors->message, sizeof errors->message, "%s", message);
    png_longjmp(png, 1);
}
void OnPngWarning(png_structp, png_const_charp) {}

// Everything the read needs lives here, outside the frame that setjmp keeps.
struct ReadState {
    png_structp png = nullptr;
    png_infop info = nullptr;
    PngErrors errors;
    std::vector<uint8_t> rgba;
    std::vector<png_bytep> rows;
    uint32_t width = 0;
    uint32_t height = 0;
    ~ReadState() { png_destroy_read_struct(&png, info != nullptr ? &info : nullptr, nullptr); }
};

struct WriteState {
    png_structp png = nullptr;
    png_infop info = nullptr;
    PngErrors errors;
    std::vector<png_const_bytep> rows;
    ~WriteState() { png_destroy_write_struct(&png, info != nullptr ? &info : nullptr); }
};

constexpr uint32_t kMaxSide = 65535;
// Far beyond any picture the device can hold, and small enough to convert in
// memory here.
constexpr uint64_t kMaxPixels = uint64_t{1} << 28;

// The two steps that call libpng keep only trivial locals, since an error
// jumps straight back to their setjmp.
bool ReadHeader(ReadState* state, std::FILE* file) {
    if (setjmp(png_jmpbuf(state->png))) return false;
    png_init_io(state->png, file);
    png_set_sig_bytes(state->png, 8);
    png_read_info(state->png, state->info);
    state->width = png_get_image_width(state->png, state->info);
    state->height = png_get_image_height(state->png, state->info);
    return true;
}

bool ReadPixels(ReadState* state) {
    if (setjmp(png_jmpbuf(state->png))) return false;
    // Every layout becomes 8-bit RGBA: palettes and small greys expanded,
    // transparency made an alpha channel, 16 bits cut to 8.
    png_set_expand(state->png);
    png_set_strip_16(state->png);
    png_set_gray_to_rgb(state->png);
    png_set_add_alpha(state->png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(state->png);
    png_read_update_info(state->png, state->info);
    if (png_get_rowbytes(state->png, state->info) != size_t{state->width} * 4) {
        std::snprintf(state->errors.message, sizeof state->errors.message, "unsupported layout");
        return false;
    }
    png_read_image(state->png, state->rows.data());
    png_read_end(state->png, nullptr);
    return true;
}

} // namespace

uint16_t RgbTo565(uint8_t r, uint8_t g, uint8_t b) {
    return static_cast<uint16_t>((To5(r) << 11) | (To6(g) << 5) | To5(b));
}

void Rgb565ToRgb(uint16_t texel, uint8_t* rgb) {
    const uint32_t r = texel >> 11, g = (texel >> 5) & 0x3F, b = texel & 0x1F;
    rgb[0] = static_cast<uint8_t>((r << 3) | (r >> 2));
    rgb[1] = static_cast<uint8_t>((g << 2) | (g >> 4));
    rgb[2] = static_cast<uint8_t>((b << 3) | (b >> 2));
}

bool PngRead(const std::string& path, RgbImage* image, std::string* error) {
    FilePtr file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        *error = path + ": cannot open: " + std::strerror(errno);
        return false;
    }
    png_byte signature[8] = {};
    if (std::fread(signature, 1, 8, file.get()) != 8 || png_sig_cmp(signature, 0, 8) != 0) {
        *error = path + ": not a PNG file";
        return false;
    }
    auto state = std::make_unique<ReadState>();
    state->png =
        png_create_read_struct(PNG_LIBPNG_VER_STRING, &state->errors, OnPngError, OnPngWarning);
    if (state->png != nullptr) state->info = png_create_info_struct(state->png);
    if (state->info == nullptr) {
        *error = path + ": out of memory";
        return false;
    }
    if (!ReadHeader(state.get(), file.get())) {
        *error = path + ": bad PNG: " + state->errors.message;
        return false;
    }
    const uint32_t width = state->width, height = state->height;
    const std::string size = std::to_string(width) + " x " + std::to_string(height);
    if (width > kMaxSide || height > kMaxSide) {
        *error =
            path + ": the picture is " + size + " pixels; a texture holds at most 65535 x 65535";
        return false;
    }
    if (uint64_t{width} * height > kMaxPixels) {
        *error = path + ": the picture is " + size + " pixels, too large for this tool (at most " +
                 std::to_string(kMaxPixels) + " pixels)";
        return false;
    }
    state->rgba.resize(size_t{width} * height * 4);
    state->rows.resize(height);
    for (uint32_t y = 0; y < height; ++y)
        state->rows[y] = &state->rgba[size_t{y} * width * 4];
    if (!ReadPixels(state.get())) {
        *error = path + ": bad PNG: " + state->errors.message;
        return false;
    }

    image->width = width;
    image->height = height;
    image->rgb.resize(size_t{width} * height * 3);
    const uint8_t* in = state->rgba.data();
    uint8_t* out = image->rgb.data();
    for (size_t i = 0; i < size_t{width} * height; ++i, in += 4, out += 3) {
        // Laid over black: transparent parts become texel 0, which the
        // engine's keyed blits leave out.
        for (int c = 0; c < 3; ++c)
            out[c] = static_cast<uint8_t>((in[c] * in[3] + 127) / 255);
    }
    return true;
}

namespace {

bool WritePixels(WriteState* state, std::FILE* file, const RgbImage& image) {
    if (setjmp(png_jmpbuf(state->png))) return false;
    png_init_io(state->png, file);
    png_set_IHDR(state->png, state->info, image.width, image.height, 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(state->png, state->info);
    png_write_image(state->png, const_cast<png_bytepp>(state->rows.data()));
    png_write_end(state->png, nullptr);
    return true;
}

} // namespace

bool PngWrite(const std::string& path, const RgbImage& image, std::string* error) {
    if (image.width == 0 || image.height == 0 || image.width > 0x7FFFFFFF ||
        image.rgb.size() != size_t{image.width} * image.height * 3) {
        *error = path + ": no picture to write (empty or inconsistent)";
        return false;
    }
    FilePtr file(std::fopen(path.c_str(), "wb"));
    if (!file) {
        *error = path + ": cannot create: " + std::strerror(errno);
        return false;
    }
    auto state = std::make_unique<WriteState>();
    state->png =
        png_create_write_struct(PNG_LIBPNG_VER_STRING, &state->errors, OnPngError, OnPngWarning);
    if (state->png != nullptr) state->info = png_create_info_struct(state->png);
    if (state->info == nullptr) {
        *error = path + ": out of memory";
        return false;
    }
    state->rows.resize(image.height);
    for (uint32_t y = 0; y < image.height; ++y) {
        state->rows[y] = &image.rgb[size_t{y} * image.width * 3];
    }
    if (!WritePixels(state.get(), file.get(), image)) {
        *error = path + ": cannot write PNG: " + state->errors.message;
        return false;
    }
    if (std::fflush(file.get()) != 0 || std::ferror(file.get())) {
        *error = path + ": cannot write: " + std::strerror(errno);
        return false;
    }
    return true;
}
