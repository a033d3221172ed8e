#include "tools/rgb_image.h"

#include "host/local_files.h"
#include "host/png_file.h"

#include <csetjmp>
#include <cstdio>
#include <memory>

namespace {

uint8_t To5(uint8_t v) {
    return static_cast<uint8_t>((v * 31 + 127) / 255);
}
uint8_t To6(uint8_t v) {
    return static_cast<uint8_t>((v * 63 + 127) / 255);
}

// Everything the read needs lives here, outside the frames that setjmp keeps.
struct ReadState {
    png_structp png = nullptr;
    png_infop info = nullptr;
    host::PngErrors errors;
    uint32_t width = 0;
    uint32_t height = 0;
    int passes = 1;
    const PngPut* put = nullptr;
    std::vector<uint8_t> rgba; // one row as libpng gives it
    std::vector<uint8_t> rgb;  // the same row laid over black
    ~ReadState() { png_destroy_read_struct(&png, info != nullptr ? &info : nullptr, nullptr); }
};

// The two steps that call libpng keep only trivial locals, since an error
// jumps straight back to their setjmp.
bool ReadHeader(ReadState* state, std::FILE* file) {
    if (setjmp(png_jmpbuf(state->png))) return false;
    png_init_io(state->png, file);
    png_set_sig_bytes(state->png, 8);
    png_read_info(state->png, state->info);
    state->width = png_get_image_width(state->png, state->info);
    state->height = png_get_image_height(state->png, state->info);
    state->passes = png_get_interlace_type(state->png, state->info) == PNG_INTERLACE_ADAM7 ? 7 : 1;
    return true;
}

// Hands one row of `count` pixels on, laid over black: transparent parts
// become texel 0, which the engine's keyed blits leave out.
void PutRow(ReadState* state, uint32_t y, uint32_t x, uint32_t step, uint32_t count) {
    const uint8_t* in = state->rgba.data();
    uint8_t* out = state->rgb.data();
    for (uint32_t i = 0; i < count; ++i, in += 4, out += 3) {
        for (int c = 0; c < 3; ++c)
            out[c] = static_cast<uint8_t>((in[c] * in[3] + 127) / 255);
    }
    (*state->put)(y, x, step, count, state->rgb.data());
}

// Without libpng's interlace handling an interlaced picture comes as its
// seven passes, each a smaller picture whose pixels are placed here; libpng
// leaves out the passes that hold no pixel.
bool ReadRows(ReadState* state) {
    if (setjmp(png_jmpbuf(state->png))) return false;
    for (int pass = 0; pass < state->passes; ++pass) {
        const bool whole = state->passes == 1;
        const uint32_t columns = whole ? state->width : PNG_PASS_COLS(state->width, pass);
        const uint32_t rows = whole ? state->height : PNG_PASS_ROWS(state->height, pass);
        if (columns == 0 || rows == 0) continue;
        for (uint32_t row = 0; row < rows; ++row) {
            png_read_row(state->png, state->rgba.data(), nullptr);
            PutRow(state, whole ? row : PNG_ROW_FROM_PASS_ROW(row, pass),
                   whole ? 0 : PNG_PASS_START_COL(pass), whole ? 1 : 1u << PNG_PASS_COL_SHIFT(pass),
                   columns);
        }
    }
    png_read_end(state->png, nullptr);
    return true;
}

bool SetUpRows(ReadState* state) {
    if (setjmp(png_jmpbuf(state->png))) return false;
    // Every layout becomes 8-bit RGBA: palettes and small greys expanded,
    // transparency made an alpha channel, 16 bits cut to 8.
    png_set_expand(state->png);
    png_set_strip_16(state->png);
    png_set_gray_to_rgb(state->png);
    png_set_add_alpha(state->png, 0xFF, PNG_FILLER_AFTER);
    png_read_update_info(state->png, state->info);
    if (png_get_rowbytes(state->png, state->info) != size_t{state->width} * 4) {
        std::snprintf(state->errors.message, sizeof state->errors.message, "unsupported layout");
        return false;
    }
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

bool PngReadPixels(const std::string& path, const PngAccept& accept, const PngPut& put,
                   std::string* error) {
    uint64_t size = 0;
    host::FilePointer file(host::OpenPlainFile(path, &size, error));
    if (!file) return false;
    png_byte signature[8] = {};
    if (std::fread(signature, 1, 8, file.get()) != 8 || png_sig_cmp(signature, 0, 8) != 0) {
        *error = path + ": not a PNG file";
        return false;
    }
    auto state = std::make_unique<ReadState>();
    state->png = host::PngCreateRead(&state->errors);
    if (state->png != nullptr) state->info = png_create_info_struct(state->png);
    if (state->info == nullptr) {
        *error = path + ": out of memory";
        return false;
    }
    if (!ReadHeader(state.get(), file.get())) {
        *error = path + ": bad PNG: " + state->errors.message;
        return false;
    }
    if (!accept(state->width, state->height, error)) return false;
    if (!SetUpRows(state.get())) {
        *error = path + ": bad PNG: " + state->errors.message;
        return false;
    }
    state->put = &put;
    state->rgba.resize(size_t{state->width} * 4);
    state->rgb.resize(size_t{state->width} * 3);
    if (!ReadRows(state.get())) {
        *error = path + ": bad PNG: " + state->errors.message;
        return false;
    }
    return true;
}

bool PngRead(const std::string& path, RgbImage* image, std::string* error) {
    RgbImage read;
    const auto accept = [&](uint32_t width, uint32_t height, std::string* why) {
        if (width > 0xFFFF || height > 0xFFFF) {
            *why = path + ": the picture is " + std::to_string(width) + " x " +
                   std::to_string(height) + " pixels; at most 65535 x 65535 are read whole";
            return false;
        }
        if (uint64_t{width} * height * 3 > read.rgb.max_size()) {
            *why = path + ": the picture is " + std::to_string(width) + " x " +
                   std::to_string(height) + " pixels, too many to hold here";
            return false;
        }
        read = RgbImage{width, height, std::vector<uint8_t>(size_t{width} * height * 3)};
        return true;
    };
    const auto put = [&read](uint32_t y, uint32_t x, uint32_t step, uint32_t count,
                             const uint8_t* rgb) {
        uint8_t* out = &read.rgb[(size_t{y} * read.width + x) * 3];
        for (uint32_t i = 0; i < count; ++i, out += 3 * size_t{step}, rgb += 3) {
            out[0] = rgb[0];
            out[1] = rgb[1];
            out[2] = rgb[2];
        }
    };
    if (!PngReadPixels(path, accept, put, error)) return false;
    *image = std::move(read);
    return true;
}

bool PngWrite(const std::string& path, const RgbImage& image, std::string* error) {
    if (image.rgb.size() != size_t{image.width} * image.height * 3) {
        *error = path + ": no picture to write (its pixels do not match its size)";
        return false;
    }
    return host::WritePngFile(
        path, image.width, image.height,
        [&image](uint32_t y, std::string*) { return &image.rgb[size_t{y} * image.width * 3]; },
        error);
}
