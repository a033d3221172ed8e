#include "host/png_file.h"

#include "host/local_files.h"

#include <csetjmp>
#include <cstdio>

namespace host {
namespace {

void OnPngError(png_structp png, png_const_charp message) {
    auto* errors = static_cast<PngErrors*>(png_get_error_ptr(png));
    std::snprintf(errors->message, sizeof errors->message, "%s", message);
    png_longjmp(png, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

// Everything the write needs lives here, outside the frame that setjmp keeps.
struct WriteState {
    png_structp png = nullptr;
    png_infop info = nullptr;
    PngErrors errors;
    uint32_t width = 0;
    uint32_t height = 0;
    const PngRowSource* row = nullptr;
    std::string* rowError = nullptr;
    bool rowFailed = false;
    ~WriteState() { png_destroy_write_struct(&png, info != nullptr ? &info : nullptr); }
};

// Keeps only trivial locals, since an error jumps straight back to its setjmp.
bool WriteRows(WriteState* state, std::FILE* file) {
    if (setjmp(png_jmpbuf(state->png))) return false;
    png_init_io(state->png, file);
    png_set_IHDR(state->png, state->info, state->width, state->height, 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(state->png, state->info);
    for (uint32_t y = 0; y < state->height; ++y) {
        const uint8_t* pixels = (*state->row)(y, state->rowError);
        if (pixels == nullptr) {
            state->rowFailed = true;
            return false;
        }
        png_write_row(state->png, pixels);
    }
    png_write_end(state->png, nullptr);
    return true;
}

} // namespace

png_structp PngCreateRead(PngErrors* errors) {
    return png_create_read_struct(PNG_LIBPNG_VER_STRING, errors, OnPngError, OnPngWarning);
}

png_structp PngCreateWrite(PngErrors* errors) {
    return png_create_write_struct(PNG_LIBPNG_VER_STRING, errors, OnPngError, OnPngWarning);
}

bool WritePngFile(const std::string& path, uint32_t width, uint32_t height, const PngRowSource& row,
                  std::string* error) {
    if (width == 0 || height == 0 || width > 0x7FFFFFFF || height > 0x7FFFFFFF) {
        *error = path + ": no picture to write (" + std::to_string(width) + " x " +
                 std::to_string(height) + " pixels)";
        return false;
    }
    return WriteWholeFile(
        path,
        [&](std::FILE* file, std::string* why) {
            WriteState state;
            state.png = PngCreateWrite(&state.errors);
            if (state.png != nullptr) state.info = png_create_info_struct(state.png);
            if (state.info == nullptr) {
                *why = path + ": out of memory";
                return false;
            }
            state.width = width;
            state.height = height;
            state.row = &row;
            state.rowError = why;
            if (WriteRows(&state, file)) return true;
            // A failed write of the file itself is told by its reason (errno).
            if (!state.rowFailed && std::ferror(file) == 0)
                *why = path + ": cannot write: " + state.errors.message;
            return false;
        },
        error);
}

} // namespace host
