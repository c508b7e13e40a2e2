#pragma once
// ColorQuantizer: brings every image of a GifFile to one global colour table
// of at most 256 colours and fills each record's colour indices.
//
// Counting comes first (the number is what the user chooses a palette size
// by); BuildPalette then makes an exact palette when the requested count
// holds every distinct colour, and otherwise cuts a 32 x 32 x 32 colour
// histogram into boxes by their medians. Pixels are mapped through an
// inverse colour map without dithering. Every pixel takes part, transparent
// ones included: only the low 24 bits (the colour) are used.

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "codec/GifFile.h"
#include "core/Pixel.h"

namespace vantrel {

class FrameChanges;

// Entries of a colour table able to hold count colours: the smallest of 2, 4,
// 8, ..., 256 that is at least count.
int ColorTableSizeFor(int count);

// Whether a record has a pixel buffer of exactly its own width and height
// (true for every record AddImage makes). Records without one take no part
// in colour counting, palette building or size reduction.
bool HasPixelsOfItsSize(const GifImage& image);

// How a palette smaller than the picture's colours is made.
enum class PaletteMethod {
    // The classic median cut: each box's centre on the 5-bit grid, the
    // brightest entry forced to white when white occurs, each histogram cell
    // mapped by its lowest colour. Its results are kept byte for byte.
    MedianCut,
    // Colours that cover a large share of the pixels first get entries of
    // their own, exact; median cut shares the rest of the palette among the
    // other pixels, and a few Lloyd (k-means) passes over the weighted
    // histogram move every other entry to the mean of the colours mapped to
    // it. Cells map by the mean colour of their pixels. Deterministic.
    Refined,
};

class ColorQuantizer {
public:
    // Refined palettes: a colour gets an exact entry when it covers at least
    // 1 / (kExactShareDivisor x requested) of all pixels, and at most half
    // of the entries are exact (the most common colours first).
    static constexpr int kExactShareDivisor = 2;
    // Lloyd passes after the median cut; each never raises the error of the
    // histogram's cells against their entries.
    static constexpr int kRefinePasses = 6;

    static constexpr int kMaxColors = 256;
    // Returned by CountDistinctColors for any number above 256.
    static constexpr int kMoreThanMaxColors = kMaxColors + 1;
    static constexpr int kCellsPerAxis = 32;
    static constexpr int kCellCount = kCellsPerAxis * kCellsPerAxis * kCellsPerAxis;

    ColorQuantizer();

    // Distinct colours of all records in list order, each image scanned
    // column by column from the left and each column from the top. Counting
    // stops as soon as it exceeds 256, so the result is at most 257.
    // With changes (FindChangedColumns) only the changed columns of the
    // records compared are scanned; the result is the same.
    int CountDistinctColors(const GifFile& gif, const FrameChanges* changes = nullptr);

    // Builds the palette for `requested` colours (at most 256 are made):
    // exact when requested is at least the distinct count, otherwise by
    // method. Afterwards the file has its global colour table and size and
    // every record its indices (top-down rows) and minimum code size.
    // The colours counted by a CountDistinctColors for this same file right
    // before are used (its pixels must not change in between); without such
    // a count, BuildPalette counts first. A count serves one BuildPalette.
    // A stop leaves the records from there on unmapped. With changes, a
    // pixel outside its row's changed columns takes the index of the
    // previous record's pixel; the result is the same.
    void BuildPalette(GifFile& gif, int requested, PaletteMethod method = PaletteMethod::MedianCut,
                      const StopCheck& stopped = {}, const FrameChanges* changes = nullptr);

    // ---- results, for the caller and for tests ----
    // Distinct colours (0x00RRGGBB) in order of first appearance; at most 257.
    std::span<const PixelValue> DistinctColors() const { return distinct_; }
    int PaletteSize() const { return static_cast<int>(palette_.size()); }
    // Palette entries as pixel values 0x00RRGGBB.
    std::span<const PixelValue> Palette() const { return palette_; }
    // Some pixel fell into the brightest histogram cell (each channel >= 248).
    bool WhiteSeen() const { return whiteSeen_; }
    // The inverse map: the palette index of the cell that holds color.
    std::uint8_t InverseMapIndex(PixelValue color) {
        const std::int16_t index = inverse_[static_cast<std::size_t>(CellOf(color))];
        return index >= 0 ? static_cast<std::uint8_t>(index) : FillInverseMapCell(CellOf(color));
    }

    // Histogram cell of a colour: r x 1024 + g x 32 + b of the top 5 bits.
    static int CellOf(PixelValue color) {
        return static_cast<int>(((color >> 9) & 0x7C00) | ((color >> 6) & 0x03E0) | ((color >> 3) & 0x001F));
    }

private:
    struct ColorBox {
        std::array<int, 3> min{};  // red, green, blue cell coordinates, inclusive
        std::array<int, 3> max{};
        std::uint64_t count = 0;
    };
    using Projections = std::array<std::array<std::uint64_t, kCellsPerAxis>, 3>;
    // What a refined palette knows of a histogram cell beyond its count:
    // the colour sums of its pixels and its most common colour.
    struct CellColors {
        std::array<std::uint64_t, 3> sums{};  // red, green, blue over the cell's pixels
        PixelValue candidate = 0;             // the cell's majority vote winner
        std::uint32_t votes = 0;
        std::uint64_t candidateCount = 0;     // the winner's exact pixel count
    };

    void BuildExactPalette();
    void BuildMedianCutPalette(const GifFile& gif, int boxCount);
    void BuildRefinedPalette(const GifFile& gif, int requested);
    void FillHistogram(const GifFile& gif);
    void FillCellColors(const GifFile& gif);
    // Median cut over the histogram as it stands: at most boxCount boxes, the
    // head of the active list at the back; empty when no cell has a pixel.
    std::vector<ColorBox> CutBoxes(int boxCount);
    Projections Project(const ColorBox& box) const;
    static void Shrink(ColorBox& box, const Projections& projections);
    void SplitBox(std::vector<ColorBox>& boxes, std::size_t chosen);
    void ResetInverseMap();
    std::uint8_t NearestPaletteIndex(int red, int green, int blue) const;
    std::uint8_t FillInverseMapCell(int cell);
    void MapImages(GifFile& gif, bool exactMatching, const StopCheck& stopped, const FrameChanges* changes);
    void WriteColorTable(GifFile& gif) const;
    // The distinct colours scanned row by row (fast on row-major pixels),
    // put in column-scan order; false, with nothing kept, above 256.
    bool CountDistinctColorsByRows(const GifFile& gif, const FrameChanges* changes);

    std::vector<PixelValue> distinct_;
    const GifFile* counted_ = nullptr;      // the file distinct_ belongs to
    std::vector<std::uint64_t> histogram_;  // kCellCount pixel counts
    std::vector<std::int16_t> inverse_;     // kCellCount palette indices, -1 until first asked
    std::vector<CellColors> cellColors_;    // kCellCount entries while a refined palette is made
    bool whiteSeen_ = false;
    PaletteMethod method_ = PaletteMethod::MedianCut;
    std::vector<PixelValue> palette_;
};

}  // namespace vantrel
