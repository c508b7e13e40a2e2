#include "codec/PngCodec.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <png.h>

#include "core/FileIO.h"

namespace vantrel {

namespace {

// Ancillary chunks libpng keeps at most (text chunks, unknown chunks); a
// file with more is refused rather than kept in memory piece by piece.
constexpr png_uint_32 kMaxPngCachedChunks = 1000;
constexpr std::size_t kPngSignatureBytes = 8;
constexpr int kMessageBytes = 200;

// ---------------------------------------------------------------------------
// Error handling. libpng reports a fatal error by calling the error function,
// which must not return. Ours keeps the reason and jumps back to the setjmp
// of the small function that called into libpng; that function holds no C++
// objects with destructors, and the Reader owning the libpng structures,
// which lives in its caller, destroys them afterwards.

struct ErrorState {
    char message[kMessageBytes];
    int warnings;
};

ErrorState* ErrorsOf(png_structp png) { return static_cast<ErrorState*>(png_get_error_ptr(png)); }

[[noreturn]] void OnError(png_structp png, png_const_charp message) {
    std::snprintf(ErrorsOf(png)->message, kMessageBytes, "%s", message);
    png_longjmp(png, 1);
}

// Damaged ancillary data that libpng skipped; the engine prints nothing.
void OnWarning(png_structp png, png_const_charp) { ++ErrorsOf(png)->warnings; }

// PNG bytes in memory, handed to libpng as it asks for them.
struct MemoryInput {
    std::span<const std::uint8_t> bytes;
    std::size_t position = 0;
};

void ReadFromMemory(png_structp png, png_bytep out, std::size_t count) {
    auto* input = static_cast<MemoryInput*>(png_get_io_ptr(png));
    if (count > input->bytes.size() - input->position) png_error(png, "PNG file is cut short");
    std::memcpy(out, input->bytes.data() + input->position, count);
    input->position += count;
}

// Owns libpng's read and info structures and destroys them, whatever state an
// error left them in.
struct Reader {
    ErrorState errors{};
    MemoryInput input;
    png_structp png = nullptr;
    png_infop info = nullptr;

    explicit Reader(std::span<const std::uint8_t> bytes) : input{bytes} {
        png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &errors, OnError, OnWarning);
        if (png != nullptr) info = png_create_info_struct(png);
    }
    ~Reader() { png_destroy_read_struct(&png, &info, nullptr); }
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;
};

// Reads the header, checks the size against maxPixels and asks libpng for
// 8-bit red, green, blue, alpha rows whatever the file holds. On false the
// reason is in r.errors.message.
bool StartReading(Reader& r, std::int64_t maxPixels) {
    if (setjmp(png_jmpbuf(r.png)) != 0) return false;
    png_set_read_fn(r.png, &r.input, ReadFromMemory);
    png_set_chunk_malloc_max(r.png, kMaxPngChunkBytes);
    png_set_chunk_cache_max(r.png, kMaxPngCachedChunks);
    png_read_info(r.png, r.info);

    const png_uint_32 width = png_get_image_width(r.png, r.info);
    const png_uint_32 height = png_get_image_height(r.png, r.info);
    if (std::int64_t{width} * std::int64_t{height} > maxPixels) {
        std::snprintf(r.errors.message, kMessageBytes,
                      "PNG image of %u x %u pixels is larger than the limit of %lld pixels",
                      static_cast<unsigned>(width), static_cast<unsigned>(height),
                      static_cast<long long>(maxPixels));
        return false;
    }
    png_set_expand(r.png);    // palettes to RGB, grey below 8 bits to 8, tRNS to alpha
    png_set_scale_16(r.png);  // 16-bit samples rounded to 8 bits
    png_set_gray_to_rgb(r.png);
    png_set_add_alpha(r.png, 0xFF, PNG_FILLER_AFTER);  // opaque where the file has no alpha
    png_set_interlace_handling(r.png);
    png_read_update_info(r.png, r.info);
    if (png_get_rowbytes(r.png, r.info) != std::size_t{width} * 4) {
        std::snprintf(r.errors.message, kMessageBytes, "PNG rows could not be converted to 8-bit RGBA");
        return false;
    }
    return true;
}

// Reads every row (all passes of an interlaced file) through rows. On false
// the reason is in r.errors.message.
bool ReadRows(Reader& r, png_bytep* rows) {
    if (setjmp(png_jmpbuf(r.png)) != 0) return false;
    png_read_image(r.png, rows);
    return true;
}

// Turns a row of red, green, blue, alpha bytes into pixel values in place
// (both take four bytes per pixel); alpha becomes transparency 255 - alpha.
void RgbaToPixels(PixelValue* row, int width) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(row);
    for (int x = 0; x < width; ++x, bytes += 4) {
        const std::uint8_t red = bytes[0];
        const std::uint8_t green = bytes[1];
        const std::uint8_t blue = bytes[2];
        const std::uint8_t alpha = bytes[3];
        row[x] = MakePixel(red, green, blue, static_cast<std::uint8_t>(255 - alpha));
    }
}

struct DecodeOutcome {
    std::unique_ptr<PackedDib> image;  // null on failure
    std::string message;               // the reason of a failure
    int warnings = 0;
};

DecodeOutcome Decode(std::span<const std::uint8_t> bytes, std::int64_t maxPixels) {
    DecodeOutcome outcome;
    if (bytes.size() < kPngSignatureBytes || png_sig_cmp(bytes.data(), 0, kPngSignatureBytes) != 0) {
        outcome.message = "not a PNG file";
        return outcome;
    }
    Reader r(bytes);
    if (r.png == nullptr || r.info == nullptr) {
        outcome.message = "not enough memory to read a PNG file";
        return outcome;
    }
    const bool started = StartReading(r, maxPixels);
    outcome.warnings = r.errors.warnings;
    if (!started) {
        outcome.message = r.errors.message;
        return outcome;
    }
    const int width = static_cast<int>(png_get_image_width(r.png, r.info));
    const int height = static_cast<int>(png_get_image_height(r.png, r.info));
    auto image = std::make_unique<PackedDib>();
    if (!image->SetSize(width, height)) {
        outcome.message = "not enough memory for a PNG image of " + std::to_string(width) + " x " +
                          std::to_string(height) + " pixels";
        return outcome;
    }
    std::vector<png_bytep> rows(static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) rows[std::size_t(y)] = reinterpret_cast<png_bytep>(image->Row(y));
    const bool read = ReadRows(r, rows.data());
    outcome.warnings = r.errors.warnings;
    if (!read) {
        outcome.message = r.errors.message;
        return outcome;
    }
    for (int y = 0; y < height; ++y) RgbaToPixels(image->Row(y), width);
    outcome.image = std::move(image);
    return outcome;
}

}  // namespace

Status PngCodec::ReadPng(std::span<const std::uint8_t> bytes) {
    image_.reset();
    DecodeOutcome outcome = Decode(bytes, maxPixels_);
    warningCount_ = outcome.warnings;
    image_ = std::move(outcome.image);
    if (!image_) return Status::Error(outcome.message);
    return Status::Ok();
}

Status PngCodec::ReadPng(const std::filesystem::path& path) {
    image_.reset();
    warningCount_ = 0;
    std::string error;
    const auto bytes = ReadFileBytes(path, &error);
    if (!bytes) return Status::Error(error);
    const Status status = ReadPng(*bytes);
    if (!status) return Status::Error(path.string() + ": " + status.message());
    return status;
}

}  // namespace vantrel
