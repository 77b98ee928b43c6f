#include "platform/display/png_dump.h"

#include <png.h>

#include <cstdio>
#include <vector>

#include "platform/libraries/lazy_library.h"

namespace platform {
namespace {

// libpng reports a failure by jumping back to the setjmp in WriteImage, silently.
[[noreturn]] void OnError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

// Nothing with a destructor lives between the setjmp and a jump back to it: the row
// buffer belongs to the caller.
bool WriteImage(std::FILE* file, const uint32_t* pixels, int width, int height, png_bytep row) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
    if (png == nullptr) return false;
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y) {
        const uint32_t* source = pixels + static_cast<size_t>(y) * width;
        for (int x = 0; x < width; ++x) {
            row[3 * x] = static_cast<png_byte>(source[x] >> 16);
            row[3 * x + 1] = static_cast<png_byte>(source[x] >> 8);
            row[3 * x + 2] = static_cast<png_byte>(source[x]);
        }
        png_write_row(png, row);
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

bool WritePngFile(const std::string& linuxPath, const uint32_t* pixels, int width, int height) {
    if (pixels == nullptr || width <= 0 || height <= 0 || !Require(LazyLibrary::Png)) return false;
    std::FILE* file = std::fopen(linuxPath.c_str(), "wb");
    if (file == nullptr) return false;
    std::vector<png_byte> row(static_cast<size_t>(width) * 3);
    bool written = WriteImage(file, pixels, width, height, row.data());
    if (std::fflush(file) != 0 || std::ferror(file)) written = false;
    if (std::fclose(file) != 0) written = false;
    if (!written) std::remove(linuxPath.c_str());
    return written;
}

} // namespace platform
