#include "support/PngRef.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <memory>
#include <vector>

namespace vantrel::test {
namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

bool WriteRows(png_structp png, png_infop info, std::FILE* file, const PackedDib& image,
               std::vector<png_bytep>& rows) {
    if (setjmp(png_jmpbuf(png)) != 0) return false;
    png_init_io(png, file);
    png_set_IHDR(png, info, png_uint_32(image.Width()), png_uint_32(image.Height()), 8, PNG_COLOR_TYPE_RGBA,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    return true;
}

}  // namespace

bool WritePngWithLibpng(const std::filesystem::path& path, const PackedDib& image) {
    const int width = image.Width();
    std::vector<std::vector<png_byte>> bytes(std::size_t(image.Height()));
    std::vector<png_bytep> rows;
    for (int y = 0; y < image.Height(); ++y) {
        auto& row = bytes[std::size_t(y)];
        for (int x = 0; x < width; ++x) {
            const PixelValue p = image.Row(y)[x];
            row.insert(row.end(), {RedOf(p), GreenOf(p), BlueOf(p), png_byte(255 - TransparencyOf(p))});
        }
        rows.push_back(row.data());
    }
    const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
    if (!file) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    const bool ok = png != nullptr && info != nullptr && WriteRows(png, info, file.get(), image, rows);
    png_destroy_write_struct(&png, &info);
    return ok;
}

}  // namespace vantrel::test
