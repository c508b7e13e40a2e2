#include "codec/PngCodec.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include <png.h>
#include <zlib.h>

#include "codec/PngChunks.h"
#include "core/FileIO.h"

namespace vantrel {

namespace {

// Ancillary chunks libpng keeps at most (text chunks, unknown chunks); a
// file with more is refused rather than kept in memory piece by piece.
constexpr png_uint_32 kMaxPngCachedChunks = 1000;
constexpr std::size_t kPngSignatureBytes = 8;
// The ancillary chunks libpng knows that a picture read here never uses
// (everything but tRNS): colour management, text, time, layout, histograms.
// Five bytes each, as png_set_keep_unknown_chunks takes them.
constexpr png_byte kSkippedChunks[] = "bKGD\0cHRM\0eXIf\0gAMA\0hIST\0iCCP\0iTXt\0oFFs\0pCAL\0pHYs\0"
                                      "sBIT\0sCAL\0sPLT\0sRGB\0tEXt\0tIME\0zTXt";
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
    bool ranOut = false;  // libpng asked for more than there is
};

void ReadFromMemory(png_structp png, png_bytep out, std::size_t count) {
    auto* input = static_cast<MemoryInput*>(png_get_io_ptr(png));
    if (count > input->bytes.size() - input->position) {
        input->ranOut = true;
        png_error(png, "PNG file is cut short");
    }
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
    // A chunk longer than the limit, or damaged beyond what libpng repairs,
    // ends reading: left as warnings, libpng goes on and may allocate and
    // clear what the chunk claims (gigabytes for 41 bytes of text chunk).
    png_set_benign_errors(r.png, 0);
    // Chunks the picture does not need are skipped unread, so that their
    // faults (a damaged colour profile, a misplaced text) cost nothing.
    png_set_keep_unknown_chunks(r.png, PNG_HANDLE_CHUNK_NEVER, kSkippedChunks,
                                static_cast<int>(sizeof kSkippedChunks / 5));
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

// Reads every row (all passes of an interlaced file) through rows, counting
// in done the rows of a file without interlacing read whole. On false the
// reason is in r.errors.message.
bool ReadRows(Reader& r, png_bytep* rows, int height, int& done) {
    if (setjmp(png_jmpbuf(r.png)) != 0) return false;
    if (png_get_interlace_type(r.png, r.info) != PNG_INTERLACE_NONE) {
        png_read_image(r.png, rows);
        done = height;
        return true;
    }
    // done is the caller's: what was stored before a failing call stays.
    for (int y = 0; y < height; ++y) {
        png_read_row(r.png, rows[y], nullptr);
        done = y + 1;
    }
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
    bool cutShort = false;
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
    int done = 0;
    const bool read = ReadRows(r, rows.data(), height, done);
    outcome.warnings = r.errors.warnings;
    // A file cut short after whole rows keeps them; the rows it never held
    // are transparent (alpha 0). Other damage, and a cut before the first
    // row or in an interlaced file, refuses the file.
    outcome.cutShort = !read && r.input.ranOut && done > 0;
    if (!read && !outcome.cutShort) {
        outcome.message = r.errors.message;
        return outcome;
    }
    for (int y = done; y < height; ++y) std::memset(image->Row(y), 0, std::size_t(width) * 4);
    for (int y = 0; y < height; ++y) RgbaToPixels(image->Row(y), width);
    outcome.image = std::move(image);
    return outcome;
}

}  // namespace

Status PngCodec::ReadPng(std::span<const std::uint8_t> bytes) {
    image_.reset();
    DecodeOutcome outcome = Decode(bytes, maxPixels_);
    warningCount_ = outcome.warnings;
    cutShort_ = outcome.cutShort;
    image_ = std::move(outcome.image);
    if (!image_) return Status::Error(outcome.message);
    return Status::Ok();
}

Status PngCodec::ReadPng(const std::filesystem::path& path) {
    image_.reset();
    warningCount_ = 0;
    cutShort_ = false;
    const auto bytes = ReadFileBytes(path);
    if (!bytes) return bytes.status();
    const Status status = ReadPng(*bytes);
    if (!status) return Status::Error(path.string() + ": " + status.message());
    return status;
}

// ---------------------------------------------------------------------------
// Writing.

namespace {

// Below this many filtered bytes a second thread costs more than it saves.
constexpr std::size_t kSplitBytes = std::size_t{256} << 10;

// Whether every pixel of the picture comes out with alpha 255.
bool AllOpaque(const PackedDib& picture, PngAlpha alpha) {
    if (alpha == PngAlpha::Inverse) return picture.IsOpaque();
    for (int y = 0; y < picture.Height(); ++y) {
        const PixelValue* row = picture.Row(y);
        bool transparent = false;
        for (int x = 0; x < picture.Width(); ++x) transparent |= TransparencyOf(row[x]) == 255;
        if (transparent) return false;
    }
    return true;
}

}  // namespace

// A zlib compressor kept from picture to picture (its tables are reset, not
// allocated and cleared anew).
class PngEncoder::Compressor {
public:
    Compressor() = default;
    Compressor(const Compressor&) = delete;
    Compressor& operator=(const Compressor&) = delete;
    ~Compressor() {
        if (ready_) deflateEnd(&stream_);
    }

    // Compresses bytes as raw deflate data appended to out: the last part
    // ends the stream, an earlier part ends on a byte boundary (a sync
    // flush), so that the next part's data can follow it directly.
    bool Deflate(std::span<const std::uint8_t> bytes, bool last, std::vector<std::uint8_t>& out) {
        if (!ready_) {
            // Level 1 with run-length matching only: the rows are already
            // differences, and longer searches cost several times the time
            // for a few per cent of size.
            ready_ = deflateInit2(&stream_, 1, Z_DEFLATED, -MAX_WBITS, 9, Z_RLE) == Z_OK;
            if (!ready_) return false;
        } else if (deflateReset(&stream_) != Z_OK) {
            return false;
        }
        const std::size_t start = out.size();
        out.resize(start + deflateBound(&stream_, static_cast<uLong>(bytes.size())) + 16);
        stream_.next_in = const_cast<Bytef*>(bytes.data());
        stream_.avail_in = static_cast<uInt>(bytes.size());
        stream_.next_out = out.data() + start;
        stream_.avail_out = static_cast<uInt>(out.size() - start);
        const int result = deflate(&stream_, last ? Z_FINISH : Z_SYNC_FLUSH);
        const bool ok = (last ? result == Z_STREAM_END : result == Z_OK) && stream_.avail_in == 0;
        out.resize(out.size() - stream_.avail_out);
        return ok;
    }

private:
    z_stream stream_{};
    bool ready_ = false;
};

PngEncoder::PngEncoder() : head_(std::make_unique<Compressor>()), second_(std::make_unique<Compressor>()) {}
PngEncoder::~PngEncoder() = default;

bool PngEncoder::Encode(const PackedDib& picture, PngAlpha alpha, std::vector<std::uint8_t>& out) {
    out.clear();
    const int width = picture.Width();
    const int height = picture.Height();
    if (!picture.HasBlock() || width <= 0 || height <= 0) return false;
    const bool opaque = AllOpaque(picture, alpha);
    const int channels = opaque ? 3 : 4;
    const std::size_t stride = std::size_t(width) * std::size_t(channels) + 1;
    // The compressor takes at most 4 GiB at once, and a PNG chunk 2 GiB.
    if (stride * std::size_t(height) > (std::size_t{1} << 30)) return false;
    filtered_.resize(stride * std::size_t(height));
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = filtered_.data() + std::size_t(y) * stride;
        if (opaque)
            png::FilterRowRgb(picture.Row(y), width, row);
        else
            png::FilterRowRgba(picture.Row(y), width, alpha == PngAlpha::OnlyFullyTransparent, row);
    }

    out.insert(out.end(), png::kSignature.begin(), png::kSignature.end());
    const std::size_t header = png::OpenChunk(out);
    png::PutHeader(out, width, height, opaque ? png::kColorTypeRgb : png::kColorTypeRgba);
    png::CloseChunk(out, header, "IHDR");

    const std::size_t data = png::OpenChunk(out);
    out.insert(out.end(), {0x78, 0x01});  // zlib header: deflate, 32 KiB window, fastest level
    const std::span<const std::uint8_t> all(filtered_);
    bool ok = true;
    const std::size_t half = std::size_t(height / 2) * stride;
    tail_.clear();
    bool tailOk = false;
    std::jthread second;
    if (filtered_.size() >= kSplitBytes && std::thread::hardware_concurrency() > 1) {
        try {
            second = std::jthread([&] { tailOk = second_->Deflate(all.subspan(half), true, tail_); });
        } catch (const std::system_error&) {
            // No thread to be had: both halves on this one.
        }
    }
    if (second.joinable()) {
        ok = head_->Deflate(all.first(half), false, out);
        second.join();
        ok = ok && tailOk;
        out.insert(out.end(), tail_.begin(), tail_.end());
    } else {
        ok = head_->Deflate(all, true, out);
    }
    png::PutBigEndian(out, static_cast<std::uint32_t>(adler32_z(adler32_z(0, nullptr, 0), all.data(), all.size())));
    png::CloseChunk(out, data, "IDAT");
    png::CloseChunk(out, png::OpenChunk(out), "IEND");
    if (!ok) out.clear();
    return ok;
}

}  // namespace vantrel
