#include "codec/JpegCodec.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <utility>

#include "core/FileIO.h"

// jpeglib.h needs FILE and size_t declared first.
#include <jpeglib.h>
#include <jerror.h>

namespace vantrel {

namespace {

// The release 6 interface: structures of library version 62.
constexpr int kJpegInterfaceVersion = 62;
static_assert(JPEG_LIB_VERSION == kJpegInterfaceVersion, "the JPEG codec needs the version 62 interface");

// Bytes handed to the output in one piece while encoding.
constexpr std::size_t kOutputChunkBytes = 16384;

// ---------------------------------------------------------------------------
// Error handling. libjpeg reports a fatal error by calling error_exit, which
// must not return. Ours formats the reason and jumps back to the setjmp of the
// small function that called into libjpeg; that function holds no C++ objects
// with destructors, and the object owning the libjpeg structure, which lives
// in its caller, destroys it afterwards.

struct ErrorManager {
    jpeg_error_mgr pub;  // first member: libjpeg hands back a pointer to it
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];       // the fatal error
    char firstWarning[JMSG_LENGTH_MAX];  // the first repaired problem
    int warnings;
    // Where the data ran out, when it did: the scan being read (from 1) and
    // its row of MCUs; libjpeg decodes what follows as flat grey.
    int endedInScan;
    JDIMENSION endedAtMcuRow;
};

ErrorManager* ErrorsOf(j_common_ptr cinfo) { return reinterpret_cast<ErrorManager*>(cinfo->err); }

[[noreturn]] void JumpBack(j_common_ptr cinfo) { std::longjmp(ErrorsOf(cinfo)->jump, 1); }

[[noreturn]] void OnFatalError(j_common_ptr cinfo) {
    (*cinfo->err->format_message)(cinfo, ErrorsOf(cinfo)->message);
    JumpBack(cinfo);
}

// Ends the libjpeg call in progress with a reason of our own.
[[noreturn]] void FailWith(j_common_ptr cinfo, const char* reason) {
    std::snprintf(ErrorsOf(cinfo)->message, JMSG_LENGTH_MAX, "%s", reason);
    JumpBack(cinfo);
}

// Level -1 is a warning (damaged data that libjpeg repaired); higher levels
// are trace messages, which are ignored.
void OnMessage(j_common_ptr cinfo, int level) {
    if (level >= 0) return;
    ErrorManager* errors = ErrorsOf(cinfo);
    if (errors->warnings == 0) (*cinfo->err->format_message)(cinfo, errors->firstWarning);
    if (cinfo->err->msg_code == JWRN_JPEG_EOF && cinfo->is_decompressor && errors->endedInScan == 0) {
        const auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
        errors->endedInScan = std::max(d->input_scan_number, 1);
        errors->endedAtMcuRow = d->input_iMCU_row;
    }
    ++errors->warnings;
    ++cinfo->err->num_warnings;
}

// The engine prints nothing.
void OnOutput(j_common_ptr) {}

void InstallErrorManager(ErrorManager& errors, jpeg_error_mgr** slot) {
    *slot = jpeg_std_error(&errors.pub);
    errors.pub.error_exit = OnFatalError;
    errors.pub.emit_message = OnMessage;
    errors.pub.output_message = OnOutput;
    errors.message[0] = '\0';
    errors.firstWarning[0] = '\0';
    errors.warnings = 0;
    errors.endedInScan = 0;
    errors.endedAtMcuRow = 0;
}

// Called by libjpeg between passes and while it absorbs the scans of a
// progressive file.
void CheckScanCount(j_common_ptr cinfo) {
    if (cinfo->is_decompressor && reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxJpegScans) {
        char reason[JMSG_LENGTH_MAX];
        std::snprintf(reason, sizeof reason, "JPEG file has more than %d scans", kMaxJpegScans);
        FailWith(cinfo, reason);
    }
}

// ---------------------------------------------------------------------------
// Decoding.

// How a decoded scan line becomes pixels.
enum class RowLayout {
    kRgb,           // red, green, blue
    kCmyk,          // cyan, magenta, yellow, black ink amounts
    kInvertedCmyk,  // the same stored as 255 - amount, as Adobe applications write them
};

struct JpegInput {
    std::FILE* file = nullptr;             // read through libjpeg's file source when set
    std::span<const std::uint8_t> bytes;  // otherwise read from memory
};

// Owns a libjpeg decompressor and destroys it, whatever state an error left it in.
struct Decompressor {
    jpeg_decompress_struct cinfo{};
    ErrorManager errors{};
    jpeg_progress_mgr progress{};

    Decompressor() { InstallErrorManager(errors, &cinfo.err); }
    ~Decompressor() { jpeg_destroy_decompress(&cinfo); }
    Decompressor(const Decompressor&) = delete;
    Decompressor& operator=(const Decompressor&) = delete;
};

int ComponentsOf(RowLayout layout) { return layout == RowLayout::kRgb ? 3 : 4; }

// Chooses the output colour space for the file's colour space. Greyscale,
// YCbCr and RGB files are delivered as RGB by libjpeg; CMYK and YCCK files as
// CMYK, converted here. Returns false for anything else.
bool ChooseLayout(jpeg_decompress_struct& cinfo, RowLayout* layout) {
    switch (cinfo.jpeg_color_space) {
    case JCS_GRAYSCALE:
    case JCS_YCbCr:
    case JCS_RGB:
        cinfo.out_color_space = JCS_RGB;
        *layout = RowLayout::kRgb;
        return true;
    case JCS_CMYK:
    case JCS_YCCK:
        cinfo.out_color_space = JCS_CMYK;
        // Files carrying the Adobe marker store inverted ink amounts.
        *layout = cinfo.saw_Adobe_marker ? RowLayout::kInvertedCmyk : RowLayout::kCmyk;
        return true;
    default:
        return false;
    }
}

// Reads the header, checks the size against maxPixels and starts the
// decompressor. On false the reason is in d.errors.message.
bool StartDecoding(Decompressor& d, const JpegInput& input, std::int64_t maxPixels, RowLayout* layout) {
    if (setjmp(d.errors.jump) != 0) return false;
    jpeg_CreateDecompress(&d.cinfo, kJpegInterfaceVersion, sizeof(d.cinfo));
    d.cinfo.mem->max_memory_to_use = kMaxJpegWorkMemory;
    d.progress.progress_monitor = CheckScanCount;
    d.cinfo.progress = &d.progress;
    if (input.file != nullptr)
        jpeg_stdio_src(&d.cinfo, input.file);
    else
        jpeg_mem_src(&d.cinfo, input.bytes.data(), static_cast<unsigned long>(input.bytes.size()));
    jpeg_read_header(&d.cinfo, TRUE);

    if (std::int64_t{d.cinfo.image_width} * std::int64_t{d.cinfo.image_height} > maxPixels) {
        std::snprintf(d.errors.message, JMSG_LENGTH_MAX,
                      "JPEG image of %u x %u pixels is larger than the limit of %lld pixels",
                      d.cinfo.image_width, d.cinfo.image_height, static_cast<long long>(maxPixels));
        return false;
    }
    if (!ChooseLayout(d.cinfo, layout)) {
        std::snprintf(d.errors.message, JMSG_LENGTH_MAX,
                      "JPEG colour space with %d components is not supported", d.cinfo.num_components);
        return false;
    }
    jpeg_start_decompress(&d.cinfo);
    if (d.cinfo.output_components != ComponentsOf(*layout)) {
        std::snprintf(d.errors.message, JMSG_LENGTH_MAX, "JPEG output of %d components is not supported",
                      d.cinfo.output_components);
        return false;
    }
    return true;
}

// Light let through by two inks given as light amounts (255 - ink), rounded.
constexpr std::uint8_t Filter(unsigned light, unsigned blackLight) {
    return static_cast<std::uint8_t>((light * blackLight + 127) / 255);
}

void ConvertRow(const JSAMPLE* in, RowLayout layout, PixelValue* out, int width) {
    if (layout == RowLayout::kRgb) {
        for (int x = 0; x < width; ++x, in += 3) out[x] = MakePixel(in[0], in[1], in[2]);
        return;
    }
    // Plain ink amounts become light amounts by inversion; inverted files
    // already hold light amounts.
    const unsigned flip = layout == RowLayout::kCmyk ? 0xFF : 0x00;
    for (int x = 0; x < width; ++x, in += 4) {
        const unsigned k = in[3] ^ flip;
        out[x] = MakePixel(Filter(in[0] ^ flip, k), Filter(in[1] ^ flip, k), Filter(in[2] ^ flip, k));
    }
}

// Reads every scan line into image (already sized to the output) and
// finishes the decompressor. On false the reason is in d.errors.message.
bool ReadRows(Decompressor& d, RowLayout layout, PackedDib& image) {
    if (setjmp(d.errors.jump) != 0) return false;
    // The row buffer comes from libjpeg's image pool, released with the decompressor.
    const JDIMENSION rowSamples = d.cinfo.output_width * JDIMENSION(d.cinfo.output_components);
    JSAMPARRAY row =
        (*d.cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&d.cinfo), JPOOL_IMAGE, rowSamples, 1);
    while (d.cinfo.output_scanline < d.cinfo.output_height) {
        // The file and memory sources never suspend, so each call yields one row.
        if (jpeg_read_scanlines(&d.cinfo, row, 1) != 1)
            FailWith(reinterpret_cast<j_common_ptr>(&d.cinfo), "JPEG decoder delivered no scan line");
        const int y = static_cast<int>(d.cinfo.output_scanline) - 1;
        ConvertRow(row[0], layout, image.Row(y), image.Width());
    }
    jpeg_finish_decompress(&d.cinfo);
    return true;
}

// The first row libjpeg made up rather than decoded: in a file cut short
// within its first scan, the rows from the MCU row the data ran out in
// (a cut in a later scan of a progressive file leaves every row, with less
// detail). The height when every row was decoded.
int FirstMissingRow(const Decompressor& d, int height) {
    if (d.errors.endedInScan != 1) return height;
    const std::int64_t mcuRowHeight = std::int64_t{d.cinfo.max_v_samp_factor} * DCTSIZE;
    return static_cast<int>(std::min<std::int64_t>(height, std::int64_t{d.errors.endedAtMcuRow} * mcuRowHeight));
}

// ---------------------------------------------------------------------------
// Encoding.

// A libjpeg destination that hands the stream to a byte sink in chunks.
struct SinkDestination {
    jpeg_destination_mgr pub;  // first member: libjpeg hands back a pointer to it
    const ByteSinkFn* sink;
    bool failed;
    JOCTET buffer[kOutputChunkBytes];
};

SinkDestination* DestinationOf(j_compress_ptr cinfo) { return reinterpret_cast<SinkDestination*>(cinfo->dest); }

// The sink may throw (a growing vector): that counts as a failed write.
bool CallSink(const ByteSinkFn& sink, std::span<const std::uint8_t> data) noexcept {
    try {
        return sink(data);
    } catch (...) {
        return false;
    }
}

void Deliver(j_compress_ptr cinfo, std::size_t count) {
    SinkDestination* dest = DestinationOf(cinfo);
    if (count == 0) return;
    if (!CallSink(*dest->sink, {dest->buffer, count})) {
        dest->failed = true;
        FailWith(reinterpret_cast<j_common_ptr>(cinfo), "the JPEG data could not be written");
    }
}

void InitDestination(j_compress_ptr cinfo) {
    SinkDestination* dest = DestinationOf(cinfo);
    dest->pub.next_output_byte = dest->buffer;
    dest->pub.free_in_buffer = sizeof dest->buffer;
}

// Called when the buffer is full, whatever free_in_buffer says.
boolean FlushDestination(j_compress_ptr cinfo) {
    Deliver(cinfo, sizeof DestinationOf(cinfo)->buffer);
    InitDestination(cinfo);
    return TRUE;
}

void TerminateDestination(j_compress_ptr cinfo) {
    SinkDestination* dest = DestinationOf(cinfo);
    Deliver(cinfo, sizeof dest->buffer - dest->pub.free_in_buffer);
}

// Owns a libjpeg compressor and destroys it, whatever state an error left it in.
struct Compressor {
    jpeg_compress_struct cinfo{};
    ErrorManager errors{};
    SinkDestination dest{};

    explicit Compressor(const ByteSinkFn& sink) {
        InstallErrorManager(errors, &cinfo.err);
        dest.pub.init_destination = InitDestination;
        dest.pub.empty_output_buffer = FlushDestination;
        dest.pub.term_destination = TerminateDestination;
        dest.sink = &sink;
        dest.failed = false;
    }
    ~Compressor() { jpeg_destroy_compress(&cinfo); }
    Compressor(const Compressor&) = delete;
    Compressor& operator=(const Compressor&) = delete;
};

void PixelsToRgb(const PixelValue* in, JSAMPLE* out, int width) {
    for (int x = 0; x < width; ++x, out += 3) {
        out[0] = RedOf(in[x]);
        out[1] = GreenOf(in[x]);
        out[2] = BlueOf(in[x]);
    }
}

// Compresses image as a baseline JPEG, rows from the top. On false the
// reason is in c.errors.message.
bool WriteRows(Compressor& c, const PackedDib& image, int quality) {
    if (setjmp(c.errors.jump) != 0) return false;
    jpeg_CreateCompress(&c.cinfo, kJpegInterfaceVersion, sizeof(c.cinfo));
    c.cinfo.dest = &c.dest.pub;
    c.cinfo.image_width = static_cast<JDIMENSION>(image.Width());
    c.cinfo.image_height = static_cast<JDIMENSION>(image.Height());
    c.cinfo.input_components = 3;
    c.cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c.cinfo);
    jpeg_set_quality(&c.cinfo, quality * 10, TRUE);
    jpeg_start_compress(&c.cinfo, TRUE);
    JSAMPARRAY row = (*c.cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&c.cinfo), JPOOL_IMAGE,
                                                  c.cinfo.image_width * 3, 1);
    while (c.cinfo.next_scanline < c.cinfo.image_height) {
        PixelsToRgb(image.Row(static_cast<int>(c.cinfo.next_scanline)), row[0], image.Width());
        jpeg_write_scanlines(&c.cinfo, row, 1);
    }
    jpeg_finish_compress(&c.cinfo);
    return true;
}

struct EncodeOutcome {
    bool ok = false;
    bool sinkFailed = false;  // the output refused bytes (its owner knows why)
    std::string message;      // the reason of a failure, or the first warning
    int warnings = 0;
};

EncodeOutcome Encode(const PackedDib& image, int quality, const ByteSinkFn& sink) {
    EncodeOutcome outcome;
    if (!image.HasBlock()) {
        outcome.message = "there is no picture to write";
        return outcome;
    }
    Compressor c(sink);
    outcome.ok = WriteRows(c, image, quality);
    outcome.sinkFailed = c.dest.failed;
    outcome.warnings = c.errors.warnings;
    outcome.message = outcome.ok ? c.errors.firstWarning : c.errors.message;
    return outcome;
}

struct DecodeOutcome {
    std::unique_ptr<PackedDib> image;  // null on failure
    std::string message;               // the reason of a failure, or the first warning
    int warnings = 0;
    bool cutShort = false;
};

DecodeOutcome Decode(const JpegInput& input, std::int64_t maxPixels) {
    DecodeOutcome outcome;
    Decompressor d;
    RowLayout layout = RowLayout::kRgb;
    if (!StartDecoding(d, input, maxPixels, &layout)) {
        outcome.message = d.errors.message;
        return outcome;
    }
    const int width = static_cast<int>(d.cinfo.output_width);
    const int height = static_cast<int>(d.cinfo.output_height);
    auto image = std::make_unique<PackedDib>();
    if (!image->CreateBlank(width, height) || !image->Lock()) {
        outcome.message = "not enough memory for a JPEG image of " + std::to_string(width) + " x " +
                          std::to_string(height) + " pixels";
        return outcome;
    }
    const bool read = ReadRows(d, layout, *image);
    image->Unlock();
    outcome.warnings = d.errors.warnings;
    if (!read) {
        outcome.message = d.errors.message;
        return outcome;
    }
    outcome.message = d.errors.firstWarning;
    // Rows the file never held are transparent, not a grey band.
    outcome.cutShort = d.errors.endedInScan != 0;
    for (int y = FirstMissingRow(d, height); y < height; ++y)
        std::fill(image->Row(y), image->Row(y) + width, kTransparentWhite);
    outcome.image = std::move(image);
    return outcome;
}

}  // namespace

void JpegCodec::SetQuality(int quality) { quality_ = std::clamp(quality, kMinQuality, kMaxQuality); }

void JpegCodec::ResetResult() {
    image_.reset();
    firstWarning_.clear();
    warningCount_ = 0;
    cutShort_ = false;
}

Status JpegCodec::Adopt(std::unique_ptr<PackedDib> image, const std::string& message, int warnings,
                        const std::string& context) {
    warningCount_ = warnings;
    image_ = std::move(image);
    if (!image_) return Status::Error(context + message);
    if (!message.empty()) firstWarning_ = context + message;
    return Status::Ok();
}

Status JpegCodec::ReadJpeg(const std::filesystem::path& path) {
    ResetResult();
    const Result<FileStream> file = OpenFileForReading(path);
    if (!file) return Status::Error("can't open " + file.message());
    DecodeOutcome outcome = Decode(JpegInput{file->get(), {}}, maxPixels_);
    cutShort_ = outcome.cutShort;
    return Adopt(std::move(outcome.image), outcome.message, outcome.warnings, path.string() + ": ");
}

Status JpegCodec::ReadJpeg(std::span<const std::uint8_t> bytes) {
    ResetResult();
    DecodeOutcome outcome = Decode(JpegInput{nullptr, bytes}, maxPixels_);
    cutShort_ = outcome.cutShort;
    return Adopt(std::move(outcome.image), outcome.message, outcome.warnings, {});
}

Status JpegCodec::WriteJpeg(const std::filesystem::path& path, const PackedDib& image) {
    ResetResult();
    bool opened = false;
    EncodeOutcome outcome;
    const Status status = WriteFileAtomic(path, [&](const ByteSinkFn& sink) {
        opened = true;
        outcome = Encode(image, quality_, sink);
        return outcome.ok;
    });
    warningCount_ = outcome.warnings;
    if (status.ok()) {
        if (!outcome.message.empty()) firstWarning_ = path.string() + ": " + outcome.message;
        return status;
    }
    if (!opened) return Status::Error("can't open " + status.message());
    if (outcome.ok || outcome.sinkFailed) return status;
    return Status::Error(path.string() + ": " + outcome.message);
}

Status JpegCodec::WriteJpeg(std::vector<std::uint8_t>& out, const PackedDib& image) {
    ResetResult();
    out.clear();
    const ByteSinkFn sink = [&out](std::span<const std::uint8_t> data) {
        out.insert(out.end(), data.begin(), data.end());
        return true;
    };
    const EncodeOutcome outcome = Encode(image, quality_, sink);
    warningCount_ = outcome.warnings;
    if (outcome.ok) {
        firstWarning_ = outcome.message;
        return Status::Ok();
    }
    out.clear();
    return Status::Error(outcome.message);
}

}  // namespace vantrel
