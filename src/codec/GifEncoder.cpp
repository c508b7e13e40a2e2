// The writing half of GifFile: records made from pixel buffers (AddImage),
// LZW compression of their colour indices (EncodeImages) and the GIF89a
// stream itself (WriteGif, SaveGif).

#include <algorithm>
#include <array>
#include <limits>
#include <string_view>

#include "codec/FrameChanges.h"
#include "codec/GifFile.h"
#include "codec/Lzw.h"
#include "codec/LzwEncoder.h"
#include "core/ByteWriter.h"
#include "core/FileIO.h"

namespace vantrel {

namespace {

constexpr std::uint8_t kImageSeparator = 0x2C;
constexpr std::uint8_t kExtensionIntroducer = 0x21;
constexpr std::uint8_t kTrailer = 0x3B;
constexpr std::uint8_t kGraphicControlLabel = 0xF9;
constexpr std::uint8_t kCommentLabel = 0xFE;
constexpr std::uint8_t kApplicationLabel = 0xFF;
constexpr std::uint8_t kColorTableFlag = 0x80;
constexpr std::uint8_t kInterlaceFlag = 0x40;
constexpr std::uint8_t kImageSortFlag = 0x20;
constexpr std::uint8_t kScreenSortFlag = 0x08;
constexpr std::size_t kMaxSubBlock = 255;

constexpr std::string_view kLoopApplication = "NETSCAPE2.0";
constexpr std::string_view kComment = "Vantrel GIF Animator";
static_assert(kComment.size() <= kMaxSubBlock);

constexpr int kMaxDimension = std::numeric_limits<std::uint16_t>::max();

// The 3-bit size field of a colour table of n entries: the smallest code with
// 2 << code >= n (2 -> 0, 4 -> 1, ..., 256 -> 7; 0 -> 0).
int ColorTableSizeCode(int entries) {
    int code = 0;
    while (code < 7 && (2 << code) < entries) ++code;
    return code;
}

// A colour table as its size code says: 2 << sizeCode entries, so the
// stream never holds fewer entries than its header announces.
void WriteColorTable(ByteWriter& w, const ColorTable& table, int sizeCode) {
    const int entries = 2 << sizeCode;
    for (int i = 0; i < entries; ++i) {
        const RgbTriple& c = table[static_cast<std::size_t>(i)];
        w.U8(c.red).U8(c.green).U8(c.blue);
    }
}

void WriteLogicalScreen(ByteWriter& w, const GifFile& gif) {
    w.Text("GIF89a");
    w.U16(gif.screenWidth);
    w.U16(gif.screenHeight);
    const int sizeCode = ColorTableSizeCode(gif.globalColorTableSize);
    std::uint8_t packed = static_cast<std::uint8_t>(((gif.colorResolution & 7) << 4) | sizeCode);
    if (gif.globalColorTable) packed |= kColorTableFlag;
    if (gif.sortFlag != 0) packed |= kScreenSortFlag;
    w.U8(packed);
    w.U8(gif.backgroundColorIndex);
    w.U8(0);  // pixel aspect ratio
    if (gif.globalColorTable) WriteColorTable(w, *gif.globalColorTable, sizeCode);
}

void WriteLoopExtension(ByteWriter& w, std::int32_t loopCount) {
    w.U8(kExtensionIntroducer);
    w.U8(kApplicationLabel);
    w.U8(static_cast<std::uint8_t>(kLoopApplication.size()));
    w.Text(kLoopApplication);
    w.U8(3);  // sub-block: id 1, then the 16-bit count
    w.U8(1);
    w.U16(static_cast<std::uint16_t>(loopCount));
    w.U8(0);
}

void WriteCommentExtension(ByteWriter& w) {
    w.U8(kExtensionIntroducer);
    w.U8(kCommentLabel);
    w.U8(static_cast<std::uint8_t>(kComment.size()));
    w.Text(kComment);
    w.U8(0);
}

void WriteGraphicControlExtension(ByteWriter& w, const GifImage& image) {
    w.U8(kExtensionIntroducer);
    w.U8(kGraphicControlLabel);
    w.U8(4);
    w.U8(static_cast<std::uint8_t>(((image.disposal & 7) << 2) | (image.transparent ? 1 : 0)));
    w.U16(image.delay);
    w.U8(image.transparentIndex);
    w.U8(0);
}

void WriteImageDescriptor(ByteWriter& w, const GifImage& image) {
    w.U8(kImageSeparator);
    w.U16(image.left);
    w.U16(image.top);
    w.U16(image.width);
    w.U16(image.height);
    const int sizeCode = ColorTableSizeCode(image.colorTableSize);
    std::uint8_t packed = static_cast<std::uint8_t>(sizeCode);
    if (image.localColorTable) packed |= kColorTableFlag;
    if (image.interlaced) packed |= kInterlaceFlag;
    if (image.sorted) packed |= kImageSortFlag;
    w.U8(packed);
    // A record that carries a local table gets it written, or the stream
    // would announce a table it does not hold.
    if (image.localColorTable) WriteColorTable(w, *image.localColorTable, sizeCode);
}

// The LZW data in sub-blocks of at most 255 bytes, then the terminator.
void WriteImageData(ByteWriter& w, const GifImage& image) {
    w.U8(static_cast<std::uint8_t>(std::clamp<int>(image.minimumCodeSize, kLzwMinCodeSizeLow, kLzwMinCodeSizeHighWritten)));
    std::span<const std::uint8_t> data = image.compressedData;
    while (data.size() >= kMaxSubBlock) {
        w.U8(static_cast<std::uint8_t>(kMaxSubBlock));
        w.Bytes(data.first(kMaxSubBlock));
        data = data.subspan(kMaxSubBlock);
    }
    w.U8(static_cast<std::uint8_t>(data.size()));
    if (!data.empty()) {
        w.Bytes(data);
        w.U8(0);
    }
}

}  // namespace

void GifFile::SetScreenSize(int width, int height) {
    screenWidth = static_cast<std::uint16_t>(std::clamp(width, 0, kMaxDimension));
    screenHeight = static_cast<std::uint16_t>(std::clamp(height, 0, kMaxDimension));
}

GifImage& GifFile::AddImage(const PackedDib& source) {
    GifImage& image = images.emplace_back();
    image.pixels = std::make_unique<PackedDib>();
    const int width = std::min(source.Width(), kMaxDimension);
    const int height = std::min(source.Height(), kMaxDimension);
    if (width == source.Width() && height == source.Height()) {
        image.pixels->CopyFrom(&source);
    } else if (image.pixels->SetSize(width, height)) {
        // A GIF image holds at most 65535 pixels in each direction.
        source.BlitTo(*image.pixels, 0, 0);
    }
    image.width = static_cast<std::uint16_t>(image.pixels->Width());
    image.height = static_cast<std::uint16_t>(image.pixels->Height());
    image.indices.assign(std::size_t{image.width} * image.height, 0);
    animated = images.size() > 1;
    return image;
}

GifImage& GifFile::AddImageView(const PackedDib& source) {
    // A GIF image holds at most 65535 pixels in each direction: larger
    // sources are cut in a copy.
    if (source.Width() > kMaxDimension || source.Height() > kMaxDimension) return AddImage(source);
    GifImage& image = images.emplace_back();
    image.borrowedPixels = &source;
    image.width = static_cast<std::uint16_t>(std::max(source.Width(), 0));
    image.height = static_cast<std::uint16_t>(std::max(source.Height(), 0));
    animated = images.size() > 1;
    return image;
}

namespace {

// For each index of the table, the others within the level's distance,
// nearest first (lowest index on ties); none for the transparent index,
// which is never given another colour nor given to a pixel. No level, no
// substitutes.
void FindSubstitutes(const ColorTable& table, int transparentIndex, int lossy, LzwEncoder::Choices& choices) {
    for (auto& list : choices.substitutes) list.clear();
    const double mean = LossyMeanDistance(lossy);
    choices.meanError = static_cast<std::uint32_t>(mean * mean);
    if (lossy <= 0) return;
    const double bound = LossyColorDistance(lossy);
    const double boundSquared = bound * bound;
    for (int v = 0; v < 256; ++v) {
        if (v == transparentIndex) continue;
        auto& list = choices.substitutes[static_cast<std::size_t>(v)];
        const RgbTriple& a = table[static_cast<std::size_t>(v)];
        for (int b = 0; b < 256; ++b) {
            if (b == v || b == transparentIndex) continue;
            const RgbTriple& c = table[static_cast<std::size_t>(b)];
            const int dr = a.red - c.red, dg = a.green - c.green, db = a.blue - c.blue;
            const auto distance = static_cast<std::uint32_t>(dr * dr + dg * dg + db * db);
            if (distance <= boundSquared) list.push_back({static_cast<std::uint8_t>(b), distance});
        }
        std::stable_sort(list.begin(), list.end(),
                         [](const auto& x, const auto& y) { return x.error < y.error; });
    }
}

// The ways a stream may use its string table once full, tried in turn:
// restarted at once, then kept and looked at after every 1024 input bytes,
// or never.
constexpr LzwEncoder::TableUse kTableUses[] = {
    {LzwTableFull::Restart, SIZE_MAX},
    {LzwTableFull::Keep, 1024},
    {LzwTableFull::Keep, SIZE_MAX},
};

// The smallest of several encodings of one record's indices. Lossless ones
// all show the same: the indices as given, and when size reduction gave
// unchanged pixels the transparent index, also every pixel its own colour's
// index (transparency does not always pay). Each is parsed for the longest
// match with every use of a full table (only the first when the table never
// fills), then with the look-ahead parse and the best of those uses. Where
// there is a choice, the indices as given are also parsed for the longest
// match going on through the other of an unchanged pixel's colour and the
// transparent index (which show the same) and, lossy, through substitutes,
// with their best use. A lossless encoding may still be the smallest of a
// lossy export. indices end as the chosen data decodes.
class RecordEncoder {
public:
    int Encode(std::span<std::uint8_t> indices, int minimumCodeSize, LzwEncoder::Choices& choices,
               std::vector<std::uint8_t>& out) {
        given_.assign(indices.begin(), indices.end());
        out.clear();
        codeSize_ = 0;
        const bool ownColors = choices.freeIndex >= 0 && choices.colors.size() == indices.size();
        LzwEncoder::TableUse bestOfGiven = kTableUses[0];
        for (int variant = 0; variant < (ownColors ? 2 : 1); ++variant) {
            const auto fresh = [&] {
                std::copy(given_.begin(), given_.end(), indices.begin());
                if (variant == 1) ToOwnColors(indices, choices);
            };
            LzwEncoder::TableUse best = kTableUses[0];
            std::size_t smallest = SIZE_MAX;
            for (const LzwEncoder::TableUse& use : kTableUses) {
                fresh();
                plain_.table = use;
                const bool quick = use.tableFull == LzwTableFull::Restart;
                const int codeSize = quick ? encoder_.Encode(indices, minimumCodeSize, trial_)
                                           : encoder_.EncodeChoosing(indices, minimumCodeSize, plain_, trial_);
                if (trial_.size() < smallest) {
                    smallest = trial_.size();
                    best = use;
                }
                KeepSmaller(indices, codeSize, out);
                if (!encoder_.TableFilled()) break;
            }
            fresh();
            KeepSmaller(indices, encoder_.EncodeLookingAhead(indices, minimumCodeSize, best, trial_), out);
            if (variant == 0) bestOfGiven = best;
        }
        const bool choosing = !choices.free.empty() ||
                              std::any_of(choices.substitutes.begin(), choices.substitutes.end(),
                                          [](const auto& list) { return !list.empty(); });
        if (choosing) {
            std::copy(given_.begin(), given_.end(), indices.begin());
            choices.table = bestOfGiven;
            KeepSmaller(indices, encoder_.EncodeChoosing(indices, minimumCodeSize, choices, trial_), out);
        }
        std::copy(chosen_.begin(), chosen_.end(), indices.begin());
        return codeSize_;
    }

private:
    // Keeps the trial just made when it is the smallest so far.
    void KeepSmaller(std::span<const std::uint8_t> indices, int codeSize, std::vector<std::uint8_t>& out) {
        if (!out.empty() && trial_.size() >= out.size()) return;
        out.swap(trial_);
        chosen_.assign(indices.begin(), indices.end());
        codeSize_ = codeSize;
    }

    static void ToOwnColors(std::span<std::uint8_t> indices, const LzwEncoder::Choices& choices) {
        for (std::size_t i = 0; i < indices.size(); ++i) {
            if (indices[i] == choices.freeIndex) indices[i] = choices.colors[i];
        }
    }

    LzwEncoder encoder_;
    LzwEncoder::Choices plain_;  // none: the longest match
    int codeSize_ = 0;
    std::vector<std::uint8_t> given_;
    std::vector<std::uint8_t> chosen_;
    std::vector<std::uint8_t> trial_;
};

}  // namespace

void GifFile::EncodeImages(const StopCheck& stopped, int lossy, const FrameChanges* changes) {
    RecordEncoder encoder;
    LzwEncoder::Choices choices;
    for (std::size_t record = 0; record < images.size(); ++record) {
        GifImage& image = images[record];
        if (StopRequested(stopped)) return;
        const std::size_t pixels = std::size_t{image.width} * image.height;
        const std::span<std::uint8_t> indices =
            std::span<std::uint8_t>(image.indices).first(std::min(pixels, image.indices.size()));
        image.compressedData.clear();
        const ColorTable* table = image.localColorTable ? &*image.localColorTable
                                  : globalColorTable   ? &*globalColorTable
                                                       : nullptr;
        const int transparentIndex = image.transparent ? image.transparentIndex : -1;
        FindSubstitutes(table != nullptr ? *table : ColorTable{}, transparentIndex,
                        table != nullptr ? std::clamp(lossy, 0, kMaxLossy) : 0, choices);
        const RecordChanges* learnt = changes != nullptr ? &changes->Of(record) : nullptr;
        choices.free = learnt != nullptr ? std::span<const std::uint8_t>(learnt->unchanged)
                                         : std::span<const std::uint8_t>();
        choices.colors = learnt != nullptr ? std::span<const std::uint8_t>(learnt->colors)
                                           : std::span<const std::uint8_t>();
        choices.freeIndex = transparentIndex;
        if (transparentIndex < 0) choices.free = {};
        image.minimumCodeSize =
            static_cast<std::uint8_t>(encoder.Encode(indices, image.minimumCodeSize, choices, image.compressedData));
    }
}

std::size_t GifFile::WriteGif(std::vector<std::uint8_t>& out) const {
    const std::size_t start = out.size();
    ByteWriter w(out);
    WriteLogicalScreen(w, *this);
    if (animated) {
        if (loopCount != 1 || hasLoopExtension) WriteLoopExtension(w, loopCount);
        WriteCommentExtension(w);
    }
    for (const GifImage& image : images) {
        if (animated) WriteGraphicControlExtension(w, image);
        WriteImageDescriptor(w, image);
        WriteImageData(w, image);
    }
    w.U8(kTrailer);
    return out.size() - start;
}

Status GifFile::SaveGif(const std::filesystem::path& path, FileSync sync) const {
    std::vector<std::uint8_t> bytes;
    WriteGif(bytes);
    return WriteFileAtomic(path, bytes, sync);
}

}  // namespace vantrel
