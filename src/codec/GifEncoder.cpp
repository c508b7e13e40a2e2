// The writing half of GifFile: records made from pixel buffers (AddImage),
// LZW compression of their colour indices (EncodeImages) and the GIF89a
// stream itself (WriteGif, SaveGif).

#include <algorithm>
#include <array>
#include <atomic>
#include <exception>
#include <system_error>
#include <thread>
#include <cstring>
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

// How many of bytes equal value, eight at a time.
std::size_t CountBytes(std::span<const std::uint8_t> bytes, std::uint8_t value) {
    constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Fu;
    const std::uint64_t pattern = std::uint64_t{value} * 0x0101010101010101u;
    std::size_t count = 0;
    std::size_t i = 0;
    for (; i + 8 <= bytes.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes.data() + i, sizeof word);
        const std::uint64_t differ = word ^ pattern;
        // 1 in each byte that differs from value, the bytes then summed.
        const std::uint64_t differing = ((((differ & kLow7) + kLow7) | differ) & ~kLow7) >> 7;
        count += 8 - static_cast<std::size_t>((differing * 0x0101010101010101u) >> 56);
    }
    for (; i < bytes.size(); ++i) count += bytes[i] == value ? 1 : 0;
    return count;
}

// How many threads besides the calling one encode the records: none for a
// small animation (a thread costs more than its share), else one per core
// up to 3 more, and never more than there are records to share.
std::size_t SharedOut(const std::deque<GifImage>& images) {
    constexpr std::size_t kSharedPixels = std::size_t{1} << 20;
    constexpr std::size_t kMostHelpers = 3;
    std::size_t pixels = 0;
    for (const GifImage& image : images) pixels += std::size_t{image.width} * image.height;
    const std::size_t cores = std::thread::hardware_concurrency();
    if (pixels < kSharedPixels || cores < 2 || images.size() < 2) return 0;
    return std::min({cores - 1, kMostHelpers, images.size() - 1});
}

// The fewest pixels of a record parsed with the look-ahead.
constexpr std::size_t kLookaheadPixels = std::size_t{1} << 15;

// The smallest of several encodings of one record's indices, all of which
// any GIF decoder reads:
// - The lossless ones read the indices as given or, where size reduction
//   gave unchanged pixels the transparent index but few pixels are
//   unchanged, every pixel its own colour's index (there the transparent
//   index only breaks the strings of the picture's colours); in between,
//   both are tried.
// - They are parsed for the longest match and, where the table fills, with
//   the other uses of a full table; records of kLookaheadPixels or more also
//   with the look-ahead parse and the best of those uses.
// - Lossy, and in a larger record whose table fills where most pixels are
//   unchanged, the indices as given are also parsed for the longest match
//   going on through the other of an unchanged pixel's colour and the
//   transparent index (which show the same), and through substitutes, with
//   the best use.
// A lossless encoding may still be the smallest of a lossy export. indices
// end as the chosen data decodes.
class RecordEncoder {
public:
    int Encode(std::span<std::uint8_t> indices, int minimumCodeSize, LzwEncoder::Choices& choices,
               std::vector<std::uint8_t>& out) {
        out.clear();
        codeSize_ = 0;
        bool filled = false;
        const auto quick = [&](std::span<const std::uint8_t> input) {
            KeepSmaller(input, encoder_.Encode(input, minimumCodeSize, trial_), out);
            filled = filled || encoder_.TableFilled();
        };
        std::span<std::uint8_t> parsed = indices;
        const Unchanged unchanged = UnchangedShare(indices, choices);
        if (unchanged != Unchanged::Most) {
            own_.assign(indices.begin(), indices.end());
            for (std::size_t i = 0; i < own_.size(); ++i) {
                if (own_[i] == choices.freeIndex) own_[i] = choices.colors[i];
            }
        }
        // Small records (a banner's) are parsed for the longest match
        // only: there the look-ahead, several times that work, costs more
        // time than its few bytes are worth.
        const bool lookAhead = indices.size() >= kLookaheadPixels;
        bool lookedAhead = false;  // with the best table use
        if (unchanged == Unchanged::Most && lookAhead) {
            // The look-ahead parse first: where the table never fills,
            // nothing else is worth a trial.
            KeepSmaller(indices, encoder_.EncodeLookingAhead(indices, minimumCodeSize, kTableUses[0], trial_), out);
            lookedAhead = true;
            if (encoder_.TableFilled()) quick(indices);
        } else if (unchanged == Unchanged::Most) {
            quick(indices);
        } else {
            if (unchanged == Unchanged::Some) quick(indices);
            const std::size_t before = out.size();
            quick(own_);
            if (unchanged == Unchanged::Few || out.size() != before) parsed = own_;
        }
        LzwEncoder::TableUse best = kTableUses[0];
        if (filled) {
            for (const LzwEncoder::TableUse& use : std::span(kTableUses).subspan(1)) {
                plain_.table = use;
                const std::size_t before = out.size();
                KeepSmaller(parsed, encoder_.EncodeChoosing(parsed, minimumCodeSize, plain_, trial_), out);
                if (out.size() != before) {
                    best = use;
                    lookedAhead = false;
                }
            }
        }
        if (lookAhead && !lookedAhead) {
            KeepSmaller(parsed, encoder_.EncodeLookingAhead(parsed, minimumCodeSize, best, trial_), out);
        }
        const bool lossy = std::any_of(choices.substitutes.begin(), choices.substitutes.end(),
                                       [](const auto& list) { return !list.empty(); });
        if (lossy || (filled && !choices.free.empty() && unchanged != Unchanged::Few)) {
            // This parse changes the indices it reads: it works on a copy.
            given_.assign(indices.begin(), indices.end());
            choices.table = best;
            KeepSmaller(given_, encoder_.EncodeChoosing(given_, minimumCodeSize, choices, trial_), out);
        }
        std::copy(chosen_.begin(), chosen_.end(), indices.begin());
        return codeSize_;
    }

private:
    // How many of a record's pixels are unchanged ones given the transparent
    // index: Some when their own colours are worth a trial.
    enum class Unchanged { Few, Some, Most };
    static Unchanged UnchangedShare(std::span<const std::uint8_t> indices, const LzwEncoder::Choices& choices) {
        if (choices.freeIndex < 0 || choices.colors.size() != indices.size()) return Unchanged::Most;
        const std::size_t shown = CountBytes(indices, static_cast<std::uint8_t>(choices.freeIndex));
        if (3 * shown < indices.size()) return Unchanged::Few;
        return 3 * shown > 2 * indices.size() ? Unchanged::Most : Unchanged::Some;
    }

    // Keeps the trial just made, and the indices it decodes to, when it is
    // the smallest so far.
    void KeepSmaller(std::span<const std::uint8_t> decoded, int codeSize, std::vector<std::uint8_t>& out) {
        if (!out.empty() && trial_.size() >= out.size()) return;
        out.swap(trial_);
        codeSize_ = codeSize;
        chosen_.assign(decoded.begin(), decoded.end());
    }

    LzwEncoder encoder_;
    LzwEncoder::Choices plain_;  // none: the longest match
    int codeSize_ = 0;
    std::vector<std::uint8_t> given_;
    std::vector<std::uint8_t> own_;  // every pixel its own colour's index
    std::vector<std::uint8_t> chosen_;
    std::vector<std::uint8_t> trial_;
};

}  // namespace

void GifFile::EncodeImages(const StopCheck& stopped, int lossy, const FrameChanges* changes) {
    // Encodes one record with an encoder of its own thread.
    struct Worker {
        RecordEncoder encoder;
        LzwEncoder::Choices choices;
    };
    const auto encode = [&](Worker& worker, std::size_t record) {
        GifImage& image = images[record];
        LzwEncoder::Choices& choices = worker.choices;
        const std::size_t pixels = std::size_t{image.width} * image.height;
        const std::span<std::uint8_t> indices =
            std::span<std::uint8_t>(image.indices).first(std::min(pixels, image.indices.size()));
        image.compressedData.clear();
        const ColorTable* table = TableOf(image);
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
        image.minimumCodeSize = static_cast<std::uint8_t>(
            worker.encoder.Encode(indices, image.minimumCodeSize, choices, image.compressedData));
    };
    // Records are independent: each thread takes the next one not taken.
    // Only this thread asks whether to stop (the check may not be safe
    // elsewhere); the others see its answer before their next record.
    std::atomic<std::size_t> next = 0;
    std::atomic<bool> stop = false;
    const auto work = [&](bool asks) {
        Worker worker;
        while (!stop) {
            if (asks && StopRequested(stopped)) {
                stop = true;
                return;
            }
            const std::size_t record = next++;
            if (record >= images.size()) return;
            encode(worker, record);
        }
    };
    std::vector<std::jthread> helpers;
    std::vector<std::exception_ptr> failures;
    const std::size_t wanted = SharedOut(images);
    failures.resize(wanted);
    for (std::size_t k = 0; k < wanted; ++k) {
        try {
            helpers.emplace_back([&, k] {
                try {
                    work(false);
                } catch (...) {
                    failures[k] = std::current_exception();
                    stop = true;
                }
            });
        } catch (const std::system_error&) {
            break;  // no more threads to be had: the records go to those there are
        }
    }
    try {
        work(true);
    } catch (...) {
        stop = true;
        throw;  // the helpers are joined as they go out of scope
    }
    for (std::jthread& helper : helpers) helper.join();
    for (const std::exception_ptr& failure : failures) {
        if (failure) std::rethrow_exception(failure);
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
