// The reading half of GifFile: parsing a GIF87a or GIF89a stream into image
// records (ReadGif), LZW decoding of every record (DecodeImages) and the
// expansion of colour indices into pixel buffers (BuildPixelBuffers).

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "codec/GifFile.h"
#include "codec/LzwDecoder.h"
#include "core/ByteReader.h"
#include "core/FileIO.h"

namespace vantrel {

namespace {

constexpr std::uint8_t kImageSeparator = 0x2C;       // ','
constexpr std::uint8_t kExtensionIntroducer = 0x21;  // '!'
constexpr std::uint8_t kTrailer = 0x3B;              // ';'

constexpr std::uint8_t kGraphicControlLabel = 0xF9;
constexpr std::uint8_t kApplicationLabel = 0xFF;

constexpr std::uint8_t kColorTableFlag = 0x80;
constexpr std::uint8_t kInterlaceFlag = 0x40;
constexpr std::uint8_t kImageSortFlag = 0x20;
constexpr std::uint8_t kScreenSortFlag = 0x08;

constexpr std::size_t kApplicationIdentifierSize = 11;
constexpr std::size_t kLoopSubBlockSize = 3;

constexpr std::uint32_t kTransparentPixel = 0xFF000000;
// What a pixel no code reached shows: nothing, as browsers show it.
constexpr PixelValue kUndecodedPixel = kTransparentWhite;

// Entries in a colour table: 2 << (packed AND 7), so 2 to 256.
std::uint16_t ColorTableEntries(std::uint8_t packed) {
    return static_cast<std::uint16_t>(2u << (packed & 7));
}

// One pass over the stream. Every read goes through a bounded ByteReader: at
// the end of the input it yields zeros and the parse loop stops, so a
// truncated file ends as if its trailer had been read. A block cut short
// before its fields are complete is not applied.
class GifStreamReader {
public:
    GifStreamReader(std::span<const std::uint8_t> bytes, GifFile& gif) : in_(bytes), gif_(gif) {}

    // Reads the whole stream; a failure says why.
    Status ReadStream() {
        if (!ReadSignature()) return Status::Error(kNoGifFormat);
        ReadLogicalScreen();
        while (!in_.AtEnd()) {
            switch (in_.U8()) {
                case kTrailer:
                    return Status::Ok();
                case kImageSeparator:
                    if (Status failed = ReadImageDescriptor(); !failed) return failed;
                    break;
                case kExtensionIntroducer:
                    if (Status failed = ReadExtension(); !failed) return failed;
                    break;
                default:
                    break;  // a stray byte between blocks: skipped
            }
        }
        return Status::Ok();
    }

private:
    bool ReadSignature() {
        std::array<std::uint8_t, 3> signature{};
        in_.Read(signature.data(), signature.size());
        return signature[0] == 'G' && signature[1] == 'I' && signature[2] == 'F';
    }

    void ReadLogicalScreen() {
        for (std::size_t i = 0; i < 3; ++i) gif_.version[i] = static_cast<char>(in_.U8());
        gif_.version[3] = '\0';
        gif_.screenWidth = in_.U16();
        gif_.screenHeight = in_.U16();
        const std::uint8_t packed = in_.U8();
        gif_.sortFlag = packed & kScreenSortFlag;
        gif_.colorResolution = static_cast<std::uint8_t>((packed & 0x70) >> 4);
        gif_.backgroundColorIndex = in_.U8();
        in_.U8();  // pixel aspect ratio: not used
        if (packed & kColorTableFlag) {
            gif_.globalColorTableSize = ColorTableEntries(packed);
            gif_.globalColorTable = ReadColorTable(gif_.globalColorTableSize);
        }
    }

    // Entries past count (or past the end of the input) stay black.
    ColorTable ReadColorTable(std::size_t count) {
        ColorTable table{};
        for (std::size_t i = 0; i < count; ++i) {
            table[i].red = in_.U8();
            table[i].green = in_.U8();
            table[i].blue = in_.U8();
        }
        return table;
    }

    // The record a graphic control extension or image descriptor fills: the
    // pending one, or a new one appended to the list.
    Status TakeRecord(GifImage*& record) {
        if (pending_) {
            record = &gif_.images.back();
            return Status::Ok();
        }
        if (gif_.images.size() >= GifLimits::kMaxImages) {
            return Status::Error("The file holds more than " + std::to_string(GifLimits::kMaxImages) +
                                 " images, the most this program reads.");
        }
        record = &gif_.images.emplace_back();
        return Status::Ok();
    }

    Status ReadImageDescriptor() {
        const std::uint16_t left = in_.U16();
        const std::uint16_t top = in_.U16();
        const std::uint16_t width = in_.U16();
        const std::uint16_t height = in_.U16();
        const std::uint8_t packed = in_.U8();
        std::optional<ColorTable> localTable;
        if (packed & kColorTableFlag) localTable = ReadColorTable(ColorTableEntries(packed));
        const std::uint8_t minimumCodeSize = in_.U8();
        if (in_.Exhausted()) return Status::Ok();  // descriptor cut short: no image

        const std::uint64_t pixels = std::uint64_t{width} * height;
        const std::size_t imageNumber = gif_.images.size() + (pending_ ? 0 : 1);
        if (pixels > GifLimits::kMaxImagePixels) {
            return Status::Error("Image " + std::to_string(imageNumber) + " is " + std::to_string(width) +
                                 " x " + std::to_string(height) + " = " + std::to_string(pixels) +
                                 " pixels, more than the limit of " + std::to_string(GifLimits::kMaxImagePixels) +
                                 " pixels.");
        }
        if (totalPixels_ + pixels > GifLimits::kMaxTotalPixels) {
            return Status::Error("The images up to image " + std::to_string(imageNumber) + " hold " +
                                 std::to_string(totalPixels_ + pixels) + " pixels, more than the limit of " +
                                 std::to_string(GifLimits::kMaxTotalPixels) + " pixels for one file.");
        }
        GifImage* record = nullptr;
        if (Status failed = TakeRecord(record); !failed) return failed;
        pending_ = false;
        totalPixels_ += pixels;

        record->left = left;
        record->top = top;
        record->width = width;
        record->height = height;
        record->interlaced = (packed & kInterlaceFlag) != 0;
        record->sorted = (packed & kImageSortFlag) != 0;
        record->colorTableSize = ColorTableEntries(packed);
        record->localColorTable = localTable;
        record->minimumCodeSize = minimumCodeSize;
        ReadDataSubBlocks(record->compressedData);
        record->dataCutShort = in_.Exhausted();
        return Status::Ok();
    }

    // Concatenates data sub-blocks up to the zero-size terminator. The total
    // is measured first so the buffer is allocated once; it can never exceed
    // the input.
    void ReadDataSubBlocks(std::vector<std::uint8_t>& data) {
        ByteReader probe = in_;
        std::size_t total = 0;
        for (std::size_t size = probe.U8(); size != 0; size = probe.U8()) {
            total += std::min(size, probe.Remaining());
            if (!probe.Skip(size)) break;
        }
        data.clear();
        data.reserve(total);
        for (std::size_t size = in_.U8(); size != 0; size = in_.U8()) {
            const std::size_t available = std::min(size, in_.Remaining());
            const auto chunk = in_.Take(available);
            data.insert(data.end(), chunk.begin(), chunk.end());
            if (available < size) {
                in_.Skip(size);  // marks the reader exhausted
                break;
            }
        }
    }

    Status ReadExtension() {
        const std::uint8_t label = in_.U8();
        if (in_.Exhausted()) return Status::Ok();
        switch (label) {
            case kGraphicControlLabel:
                return ReadGraphicControlExtension();
            case kApplicationLabel:
                ReadApplicationExtension();
                return Status::Ok();
            default:
                SkipSubBlocks(in_.U8());  // comment, plain text and unknown extensions
                return Status::Ok();
        }
    }

    // Applies to the next image; a second one before the same image overwrites
    // the first, one after the last image leaves a record without image data.
    Status ReadGraphicControlExtension() {
        in_.U8();  // block size: always taken as 4
        const std::uint8_t packed = in_.U8();
        const std::uint16_t delay = in_.U16();
        const std::uint8_t transparentIndex = in_.U8();
        in_.U8();  // block terminator
        if (in_.Exhausted()) return Status::Ok();

        GifImage* record = nullptr;
        if (Status failed = TakeRecord(record); !failed) return failed;
        pending_ = true;
        record->transparent = (packed & 1) != 0;
        record->disposal = static_cast<std::uint8_t>((packed >> 2) & 7);
        record->delay = delay;
        record->transparentIndex = transparentIndex;
        return Status::Ok();
    }

    // A loop extension is any application extension whose identifier starts
    // with "NET" and whose first sub-block has 3 bytes: id, loop count.
    void ReadApplicationExtension() {
        std::size_t size = in_.U8();
        if (size == kApplicationIdentifierSize) {
            std::array<std::uint8_t, kApplicationIdentifierSize> identifier{};
            in_.Read(identifier.data(), identifier.size());
            size = in_.U8();
            if (size == kLoopSubBlockSize && std::memcmp(identifier.data(), "NET", 3) == 0) {
                in_.U8();  // sub-block id: not looked at
                const std::uint16_t loops = in_.U16();
                if (!in_.Exhausted()) {
                    gif_.loopCount = static_cast<std::int32_t>(
                        (static_cast<std::uint32_t>(gif_.loopCount) & 0xFFFF0000u) | loops);
                    gif_.hasLoopExtension = true;
                }
                size = in_.U8();
            }
        }
        SkipSubBlocks(size);
    }

    // Skips sub-blocks, the first of which has size bytes, through the
    // zero-size terminator (or to the end of the input).
    void SkipSubBlocks(std::size_t size) {
        while (size != 0 && in_.Skip(size)) size = in_.U8();
    }

    ByteReader in_;
    GifFile& gif_;
    bool pending_ = false;  // the last record waits for its image descriptor
    std::uint64_t totalPixels_ = 0;
};

// Clears everything a previous read left behind.
void ResetReadFields(GifFile& gif) {
    gif.loopCount = 1;
    gif.hasLoopExtension = false;
    gif.animated = false;
    gif.version = {'8', '9', 'a', '\0'};
    gif.screenWidth = 0;
    gif.screenHeight = 0;
    gif.colorResolution = 0;
    gif.sortFlag = 0;
    gif.globalColorTable.reset();
    gif.globalColorTableSize = 0;
    gif.backgroundColorIndex = 0;
    gif.images.clear();
}

// Row of the index buffer that holds output row i of an image of height h.
// Interlaced data holds every 8th row from 0, every 8th from 4, every 4th
// from 2, then every 2nd from 1.
std::size_t IndexRowOf(std::size_t i, std::size_t h, bool interlaced) {
    if (!interlaced) return i;
    if (i % 8 == 0) return i / 8;
    if (i % 8 == 4) return i / 8 + (h + 7) / 8;
    if (i % 4 == 2) return i / 4 + (h + 3) / 4;
    return i / 2 + (h + 1) / 2;
}

// Pixel value of every index: palette colour, with T = 255 for the
// transparent index. Without any colour table every index is black.
std::array<PixelValue, 256> PixelTable(const GifImage& image, const std::optional<ColorTable>& global) {
    std::array<PixelValue, 256> pixels{};
    const std::optional<ColorTable>& palette = image.localColorTable ? image.localColorTable : global;
    if (palette) {
        for (std::size_t k = 0; k < pixels.size(); ++k) {
            const RgbTriple& c = (*palette)[k];
            pixels[k] = MakePixel(c.red, c.green, c.blue);
        }
    }
    if (image.transparent) pixels[image.transparentIndex] |= kTransparentPixel;
    return pixels;
}

}  // namespace

Status GifFile::ReadGif(std::span<const std::uint8_t> bytes) {
    ResetReadFields(*this);
    GifStreamReader reader(bytes, *this);
    if (Status read = reader.ReadStream(); !read) return read;
    animated = images.size() > 1;
    return Status::Ok();
}

Status GifFile::ReadGifFile(const std::filesystem::path& path) {
    const auto bytes = ReadFileBytes(path);
    if (!bytes) {
        ResetReadFields(*this);
        return bytes.status();
    }
    return ReadGif(*bytes);
}

void GifFile::DecodeImages() {
    for (GifImage& image : images) {
        if (!DecodeIndices(image, image.indices)) image.indices.clear();  // never made by ReadGif; refused here as well
    }
}

void GifFile::BuildPixelBuffers() {
    for (GifImage& image : images) {
        image.pixels = std::make_unique<PackedDib>();
        const std::size_t count = std::size_t{image.width} * image.height;
        if (count > GifLimits::kMaxImagePixels) continue;
        // Indices that were never decoded count as index 0.
        if (image.indices.size() != count) image.indices.assign(count, 0);
        ExpandIndices(image, image.indices, *image.pixels, count);
    }
}

std::optional<std::size_t> GifFile::DecodeIndices(const GifImage& image, std::vector<std::uint8_t>& indices) const {
    const std::uint64_t count = std::uint64_t{image.width} * image.height;
    if (count > GifLimits::kMaxImagePixels) return std::nullopt;
    // Only the part no code reached is cleared: everything before it is written.
    indices.resize(static_cast<std::size_t>(count));
    const LzwResult result = DecodeLzw(image.minimumCodeSize, image.compressedData, indices);
    std::fill(indices.begin() + static_cast<std::ptrdiff_t>(result.written), indices.end(), std::uint8_t{0});
    return result.written;
}

void GifFile::ExpandIndices(const GifImage& image, std::span<const std::uint8_t> indices, PackedDib& pixels,
                            std::size_t reached) const {
    const std::size_t width = image.width;
    const std::size_t height = image.height;
    if (indices.size() != width * height || !pixels.SetSizeForOverwrite(image.width, image.height)) return;
    const std::array<PixelValue, 256> table = PixelTable(image, globalColorTable);
    for (std::size_t i = 0; i < height; ++i) {
        const std::size_t start = IndexRowOf(i, height, image.interlaced) * width;
        const std::uint8_t* source = indices.data() + start;
        PixelValue* const row = pixels.Row(static_cast<int>(i));
        // The part of the row no code reached shows what lies beneath.
        const std::size_t decoded = reached > start ? std::min(width, reached - start) : 0;
        for (std::size_t j = 0; j < decoded; ++j) row[j] = table[source[j]];
        for (std::size_t j = decoded; j < width; ++j) row[j] = kUndecodedPixel;
    }
}

bool GifFile::DecodePixels(const GifImage& image, std::vector<std::uint8_t>& scratch, PackedDib& pixels,
                           std::size_t* decoded) const {
    const auto reached = DecodeIndices(image, scratch);
    if (!reached) return false;
    if (decoded != nullptr) *decoded = *reached;
    ExpandIndices(image, scratch, pixels, *reached);
    return pixels.HasBlock() || scratch.empty();
}

}  // namespace vantrel
