#pragma once
// GifFile: the in-memory form of a GIF stream. The reader fills it in three
// steps (ReadGif, DecodeImages, BuildPixelBuffers); the writer encodes the
// colour indices of its image records and writes a GIF89a stream from it.

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/FileIO.h"
#include "core/PackedDib.h"
#include "core/Status.h"

namespace vantrel {

class FrameChanges;

struct RgbTriple {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    friend bool operator==(const RgbTriple&, const RgbTriple&) = default;
};

// Colour tables always hold 256 entries; only the table size's worth are
// read from or written to a file.
using ColorTable = std::array<RgbTriple, 256>;

// Limits that keep a hostile file from making the reader allocate without
// bound or run for minutes.
struct GifLimits {
    // Largest image (width x height) the reader accepts. 65535 x 65535 is
    // legal GIF, but nothing this program makes or shows comes near it.
    static constexpr std::uint64_t kMaxImagePixels = std::uint64_t{1} << 26;  // 64 Mi pixels
    // Largest total of decoded pixels over all images of one file; at 4 bytes
    // a pixel this is 1 GiB of pixel buffers.
    static constexpr std::uint64_t kMaxTotalPixels = std::uint64_t{1} << 28;
    // Most image records one file may hold.
    static constexpr std::size_t kMaxImages = 100000;
};

// Asked by the writer's long loops before each image (and between passes):
// true ends the work at once, leaving the file unfinished for the caller to
// drop. An empty check never stops.
using StopCheck = std::function<bool()>;

inline bool StopRequested(const StopCheck& stopped) { return stopped && stopped(); }

// One image of the stream with the graphic control extension before it.
struct GifImage {
    std::uint16_t delay = 0;         // 1/100 s
    std::uint8_t disposal = 0;       // bits 2-4 of the control extension's packed byte
    bool transparent = false;
    std::uint8_t transparentIndex = 0;
    std::vector<std::uint8_t> compressedData;        // LZW data without sub-block lengths
    std::unique_ptr<PackedDib> pixels;               // owned until the importer takes it
    const PackedDib* borrowedPixels = nullptr;       // the writer's pixels held by the caller (AddImageView)
    std::uint16_t left = 0;
    std::uint16_t top = 0;
    std::uint16_t width = 0;
    std::uint16_t height = 0;
    bool interlaced = false;
    std::optional<ColorTable> localColorTable;
    bool sorted = false;
    std::uint16_t colorTableSize = 0;  // entries of the local table, 2 to 256
    std::uint8_t minimumCodeSize = 0;
    // The file ended inside this record's image data (its terminator is missing).
    bool dataCutShort = false;
    std::vector<std::uint8_t> indices;  // width x height colour indices, top-down rows

    // The pixels, owned or borrowed; null when the record has none.
    const PackedDib* Pixels() const { return pixels ? pixels.get() : borrowedPixels; }
    std::size_t CompressedLength() const { return compressedData.size(); }
};

// Reading fails with the program's text for why: kNoGifFormat; one image
// above GifLimits::kMaxImagePixels, all images together above
// GifLimits::kMaxTotalPixels, or more than GifLimits::kMaxImages records,
// each saying which and by how much; or the file's own reason it could not be read.
inline constexpr const char* kNoGifFormat = "No GIF Format";

// Lossy LZW levels run from 0 (lossless) to kMaxLossy.
inline constexpr int kMaxLossy = 200;
// The largest distance (Euclidean, over red, green and blue) between a
// pixel's palette colour and the colour written in its place at a level.
// (Half the level: on a photo of 256 colours, whose neighbouring palette
// entries lie some 36 apart, the levels from 80 on find substitutes.)
inline double LossyColorDistance(int lossy) { return lossy / 2.0; }
// The root of the mean squared distance by which the pixels of one LZW
// string may differ at a level: far substitutes only now and then, so that
// quality falls gradually as the level rises.
inline double LossyMeanDistance(int lossy) { return lossy / 5.0; }

class GifFile {
public:
    GifFile() = default;
    GifFile(const GifFile&) = delete;
    GifFile& operator=(const GifFile&) = delete;

    // ---- reading ----
    // Parses a GIF87a or GIF89a stream: logical screen, colour tables and the
    // image records with their still-compressed data; a failure says why.
    Status ReadGif(std::span<const std::uint8_t> bytes);
    // Reads a whole file and parses it; an unreadable file fails with its reason.
    Status ReadGifFile(const std::filesystem::path& path);
    // Runs the LZW decompressor over every record, filling its indices.
    void DecodeImages();
    // Gives every record a PackedDib made from its indices and palette.
    void BuildPixelBuffers();
    // Both steps for one record without keeping its indices: decodes into
    // scratch (reused from call to call, so one buffer serves a whole file)
    // and expands through the palette into pixels, which is resized without
    // clearing. Pixels no code reached (data cut short or damaged) are
    // transparent, as browsers show them; decoded, when given, receives how
    // many pixels the codes did reach. False when the record is larger than
    // the limits allow or its buffer cannot be had.
    bool DecodePixels(const GifImage& image, std::vector<std::uint8_t>& scratch, PackedDib& pixels,
                      std::size_t* decoded = nullptr) const;

    // ---- writing ----
    void SetScreenSize(int width, int height);
    // Appends a record holding a copy of pixels and a zeroed index buffer of
    // the same size; the caller sets its delay.
    GifImage& AddImage(const PackedDib& pixels);
    // The same without the copy: the record reads pixels, which the caller
    // keeps alive and unchanged until the file is written. Its indices are
    // left for the palette builder to size.
    GifImage& AddImageView(const PackedDib& pixels);
    // The colour table image's indices refer to: its own, else the file's;
    // null when there is neither.
    const ColorTable* TableOf(const GifImage& image) const {
        if (image.localColorTable) return &*image.localColorTable;
        return globalColorTable ? &*globalColorTable : nullptr;
    }
    // Compresses every record's indices into its compressed data, each the
    // smallest of several encodings that show the same (parses, uses of a
    // full string table, and where size reduction gave unchanged pixels the
    // transparent index, those pixels with their own colour instead); the
    // records of a large animation are shared out among threads, the bytes
    // the same. A stop leaves the records not yet begun unencoded. With lossy above 0 (up to
    // kMaxLossy) a string may go on over a pixel whose palette colour lies
    // within LossyColorDistance(lossy) of the string's (never over a
    // transparent pixel, nor making one), and a pixel that shows what the
    // image before left there (marked unchanged in changes, when given) may
    // become transparent; the indices are rewritten to what the data
    // decodes to.
    void EncodeImages(const StopCheck& stopped = {}, int lossy = 0, const FrameChanges* changes = nullptr);
    // Appends the GIF89a stream to out; returns the number of bytes written.
    std::size_t WriteGif(std::vector<std::uint8_t>& out) const;
    // Writes the stream to path through a temporary file renamed over it,
    // flushed to the disk as sync says.
    Status SaveGif(const std::filesystem::path& path, FileSync sync = FileSync::Each) const;

    // ---- fields ----
    std::int32_t loopCount = 0;  // raw NETSCAPE2.0 value; 1 when the file has none
    // Set by ReadGif when a NETSCAPE2.0 loop block was read, so that a raw
    // value of 1 can be told from a file without the block. When writing, a
    // set flag writes the block whatever loopCount is (a count of 1 writes
    // none otherwise).
    bool hasLoopExtension = false;
    bool animated = false;       // more than one image record
    std::array<char, 4> version{'8', '9', 'a', '\0'};
    std::uint16_t screenWidth = 0;
    std::uint16_t screenHeight = 0;
    std::uint8_t colorResolution = 0;
    std::uint8_t sortFlag = 0;  // 0 or 8
    std::optional<ColorTable> globalColorTable;
    std::uint16_t globalColorTableSize = 0;
    std::uint8_t backgroundColorIndex = 0;
    std::deque<GifImage> images;  // file order; references stay valid as records are added

private:
    // The LZW step for one record into indices (width x height, zero where
    // no code reached); the count of indices reached, or none when the record
    // is above the pixel limit.
    std::optional<std::size_t> DecodeIndices(const GifImage& image, std::vector<std::uint8_t>& indices) const;
    // Indices through the record's palette into pixels, rows top-down; the
    // indices from reached on (in stream order) become transparent pixels.
    void ExpandIndices(const GifImage& image, std::span<const std::uint8_t> indices, PackedDib& pixels,
                       std::size_t reached) const;
};

}  // namespace vantrel
