#include "codec/ColorQuantizer.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "codec/FrameChanges.h"
#include "codec/LzwEncoder.h"

namespace vantrel {

namespace {

constexpr PixelValue kColorMask = 0x00FFFFFF;
constexpr PixelValue kPureWhite = 0x00FFFFFF;
constexpr int kWhiteCell = ColorQuantizer::kCellCount - 1;
constexpr int kRed = 0;
constexpr int kGreen = 1;
constexpr int kBlue = 2;

// Colour (24 bits) -> small index, for at most 257 colours. Open addressing
// in a table four times larger than it ever gets, so probes stay short.
class ColorIndexTable {
public:
    ColorIndexTable() { slots_.fill(kEmpty); }

    // The index stored for color, or -1.
    int Find(PixelValue color) const {
        for (std::size_t i = Hash(color);; i = (i + 1) & kMask) {
            if (slots_[i] == kEmpty) return -1;
            if ((slots_[i] & kColorMask) == color) return static_cast<int>(slots_[i] >> 24);
        }
    }
    // Stores color with index (0 to 256) unless it is already there; returns
    // whether it was new.
    bool Insert(PixelValue color, int index) {
        for (std::size_t i = Hash(color);; i = (i + 1) & kMask) {
            if (slots_[i] == kEmpty) {
                slots_[i] = std::uint64_t{color} | (std::uint64_t(index) << 24);
                return true;
            }
            if ((slots_[i] & kColorMask) == color) return false;
        }
    }

private:
    static constexpr std::size_t kSlots = 1024;
    static constexpr std::size_t kMask = kSlots - 1;
    static constexpr std::uint64_t kEmpty = ~std::uint64_t{0};
    static std::size_t Hash(PixelValue color) { return ((color * 0x9E3779B1u) >> 22) & kMask; }

    std::array<std::uint64_t, kSlots> slots_{};
};

// Row pointers of an image, taken once, for scans that walk columns.
std::vector<const PixelValue*> RowPointers(const PackedDib& pixels) {
    std::vector<const PixelValue*> rows(static_cast<std::size_t>(pixels.Height()));
    for (int y = 0; y < pixels.Height(); ++y) rows[static_cast<std::size_t>(y)] = pixels.Row(y);
    return rows;
}

int Cell(int red, int green, int blue) { return red * 1024 + green * 32 + blue; }

// Calls visit with every pixel of every record that has pixels of its size,
// records in order, rows from the top.
template <typename Visit>
void ForEachPixel(const GifFile& gif, Visit&& visit) {
    for (const GifImage& image : gif.images) {
        if (!HasPixelsOfItsSize(image)) continue;
        for (int y = 0; y < image.height; ++y) {
            const PixelValue* row = image.Pixels()->Row(y);
            for (int x = 0; x < image.width; ++x) visit(row[x]);
        }
    }
}

}  // namespace

int ColorTableSizeFor(int count) {
    int size = 2;
    while (size < count && size < ColorQuantizer::kMaxColors) size <<= 1;
    return size;
}

bool HasPixelsOfItsSize(const GifImage& image) {
    const PackedDib* pixels = image.Pixels();
    return pixels != nullptr && pixels->Width() == image.width && pixels->Height() == image.height &&
           (pixels->HasBlock() || std::size_t{image.width} * image.height == 0);
}

ColorQuantizer::ColorQuantizer() : histogram_(kCellCount, 0), inverse_(kCellCount, -1) {}

int ColorQuantizer::CountDistinctColors(const GifFile& gif, const FrameChanges* changes) {
    counted_ = &gif;
    if (CountDistinctColorsByRows(gif, changes)) return static_cast<int>(distinct_.size());
    // More than 256: which 257 colours are reported depends on the column
    // order, so they are found again in that order (which stops at 257).
    distinct_.clear();
    ColorIndexTable seen;
    PixelValue last = ~PixelValue{0};  // no colour: never equal to a masked pixel
    for (const GifImage& image : gif.images) {
        if (!HasPixelsOfItsSize(image)) continue;
        const std::vector<const PixelValue*> rows = RowPointers(*image.Pixels());
        for (int x = 0; x < image.width; ++x) {
            for (const PixelValue* row : rows) {
                const PixelValue color = row[x] & kColorMask;
                if (color == last) continue;
                last = color;
                if (!seen.Insert(color, static_cast<int>(distinct_.size()))) continue;
                distinct_.push_back(color);
                if (distinct_.size() > static_cast<std::size_t>(kMaxColors)) return kMoreThanMaxColors;
            }
        }
    }
    return static_cast<int>(distinct_.size());
}

// The same colours as the column scan, found in memory order: each colour
// keeps the earliest place it has in column order (image, then column, then
// row), and sorting by those places gives the column scan's order.
bool ColorQuantizer::CountDistinctColorsByRows(const GifFile& gif, const FrameChanges* changes) {
    struct Found {
        std::uint64_t place;
        PixelValue color;
    };
    std::vector<Found> found;
    found.reserve(kMaxColors);
    ColorIndexTable seen;
    std::uint64_t imageNumber = 0;
    for (const GifImage& image : gif.images) {
        const std::size_t record = imageNumber;
        ++imageNumber;
        if (!HasPixelsOfItsSize(image)) continue;
        const std::uint64_t height = image.height;
        // A pixel showing the colour the previous record has at its place
        // cannot bring a new colour nor an earlier place: only changed
        // columns are scanned.
        const bool changesKnown = changes != nullptr && changes->HasChangedColumns(gif, record);
        for (int y = 0; y < image.height; ++y) {
            const PixelValue* row = image.Pixels()->Row(y);
            const ColumnSpan span = changesKnown ? changes->Of(record).changedColumns[static_cast<std::size_t>(y)]
                                                 : ColumnSpan{0, image.width};
            // Within a row a repeated colour lies later in column order than
            // the pixel before it, so it cannot move the colour's place.
            PixelValue last = ~PixelValue{0};
            for (int x = span.first; x < span.end; ++x) {
                const PixelValue color = row[x] & kColorMask;
                if (color == last) continue;
                last = color;
                const std::uint64_t place = (imageNumber << 40) | (std::uint64_t(x) * height + std::uint64_t(y));
                const int index = seen.Find(color);
                if (index >= 0) {
                    Found& entry = found[static_cast<std::size_t>(index)];
                    entry.place = std::min(entry.place, place);
                    continue;
                }
                if (found.size() == static_cast<std::size_t>(kMaxColors)) return false;
                seen.Insert(color, static_cast<int>(found.size()));
                found.push_back({place, color});
            }
        }
    }
    std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) { return a.place < b.place; });
    distinct_.clear();
    for (const Found& entry : found) distinct_.push_back(entry.color);
    return true;
}

void ColorQuantizer::BuildPalette(GifFile& gif, int requested, PaletteMethod method, const StopCheck& stopped,
                                  const FrameChanges* changes) {
    const int distinct = counted_ == &gif ? static_cast<int>(distinct_.size()) : CountDistinctColors(gif, changes);
    const int wanted = std::clamp(requested, 1, kMaxColors);
    ResetInverseMap();
    whiteSeen_ = false;
    method_ = wanted >= distinct ? PaletteMethod::MedianCut : method;
    if (wanted >= distinct) {
        BuildExactPalette();
        MapImages(gif, true, stopped, changes);
    } else if (method == PaletteMethod::Refined) {
        BuildRefinedPalette(gif, wanted);
        MapImages(gif, true, stopped, changes);
    } else {
        BuildMedianCutPalette(gif, wanted);
        MapImages(gif, false, stopped, changes);
    }
    WriteColorTable(gif);
    counted_ = nullptr;  // a count serves one palette
}

void ColorQuantizer::BuildExactPalette() { palette_.assign(distinct_.begin(), distinct_.end()); }

void ColorQuantizer::FillHistogram(const GifFile& gif) {
    std::fill(histogram_.begin(), histogram_.end(), 0);
    ForEachPixel(gif, [this](PixelValue pixel) { ++histogram_[static_cast<std::size_t>(CellOf(pixel))]; });
    whiteSeen_ = histogram_[kWhiteCell] > 0;
}

ColorQuantizer::Projections ColorQuantizer::Project(const ColorBox& box) const {
    Projections projections{};
    for (int r = box.min[kRed]; r <= box.max[kRed]; ++r) {
        for (int g = box.min[kGreen]; g <= box.max[kGreen]; ++g) {
            const std::uint64_t* line = &histogram_[static_cast<std::size_t>(Cell(r, g, 0))];
            for (int b = box.min[kBlue]; b <= box.max[kBlue]; ++b) {
                const std::uint64_t count = line[b];
                projections[kRed][static_cast<std::size_t>(r)] += count;
                projections[kGreen][static_cast<std::size_t>(g)] += count;
                projections[kBlue][static_cast<std::size_t>(b)] += count;
            }
        }
    }
    return projections;
}

// Moves each bound of the box inward past slices without any pixel, red
// first, then green, then blue; a bound never passes the other one. Slices
// are taken once: cutting empty slices off one axis leaves the slice sums of
// the other axes as they were.
void ColorQuantizer::Shrink(ColorBox& box, const Projections& projections) {
    for (int axis : {kRed, kGreen, kBlue}) {
        const auto& slices = projections[static_cast<std::size_t>(axis)];
        int& lo = box.min[static_cast<std::size_t>(axis)];
        int& hi = box.max[static_cast<std::size_t>(axis)];
        while (lo < hi && slices[static_cast<std::size_t>(lo)] == 0) ++lo;
        while (lo < hi && slices[static_cast<std::size_t>(hi)] == 0) --hi;
    }
}

// Splits boxes[chosen] at the median of its longest axis. The lower part
// becomes a new box at the head of the active list (the back of the vector);
// the chosen box keeps the upper part.
void ColorQuantizer::SplitBox(std::vector<ColorBox>& boxes, std::size_t chosen) {
    ColorBox upper = boxes[chosen];
    const int redRange = upper.max[kRed] - upper.min[kRed];
    const int greenRange = upper.max[kGreen] - upper.min[kGreen];
    const int blueRange = upper.max[kBlue] - upper.min[kBlue];
    int axis = kRed;
    if (redRange < greenRange || redRange < blueRange) axis = greenRange < blueRange ? kBlue : kGreen;
    const auto a = static_cast<std::size_t>(axis);

    const Projections projections = Project(upper);
    const auto& slices = projections[a];
    const int lo = upper.min[a];
    const int hi = upper.max[a];
    const std::uint64_t half = upper.count / 2;
    std::uint64_t running = 0;
    int v = lo;
    for (; v < hi; ++v) {
        running += slices[static_cast<std::size_t>(v)];
        if (running >= half) break;
    }
    if (v == lo) v = lo + 1;

    std::uint64_t below = 0;
    std::uint64_t above = 0;
    for (int s = lo; s <= hi; ++s) (s < v ? below : above) += slices[static_cast<std::size_t>(s)];

    ColorBox lower = upper;
    lower.max[a] = v - 1;
    lower.count = below;
    upper.min[a] = v;
    upper.count = above;
    Shrink(lower, Project(lower));
    Shrink(upper, Project(upper));
    boxes[chosen] = upper;
    boxes.push_back(lower);
}

std::vector<ColorQuantizer::ColorBox> ColorQuantizer::CutBoxes(int boxCount) {
    // The first box spans every occupied cell and counts every pixel.
    ColorBox first;
    first.min = {999, 999, 999};
    first.max = {-1, -1, -1};
    for (int cell = 0; cell < kCellCount; ++cell) {
        const std::uint64_t count = histogram_[static_cast<std::size_t>(cell)];
        if (count == 0) continue;
        const std::array<int, 3> at{cell >> 10, (cell >> 5) & 31, cell & 31};
        for (std::size_t axis = 0; axis < 3; ++axis) {
            first.min[axis] = std::min(first.min[axis], at[axis]);
            first.max[axis] = std::max(first.max[axis], at[axis]);
        }
        first.count += count;
    }
    std::vector<ColorBox> boxes;
    if (first.count == 0 || boxCount < 1) return boxes;  // no pixels at all: nothing to cut

    // Active list with its head at the back: the newest box comes first.
    boxes.reserve(static_cast<std::size_t>(boxCount));
    boxes.push_back(first);
    while (boxes.size() < static_cast<std::size_t>(boxCount)) {
        std::size_t chosen = boxes.size();
        std::uint64_t largest = 0;
        for (std::size_t i = boxes.size(); i-- > 0;) {
            const ColorBox& box = boxes[i];
            const bool splittable = box.min[kRed] < box.max[kRed] || box.min[kGreen] < box.max[kGreen] ||
                                    box.min[kBlue] < box.max[kBlue];
            if (splittable && (chosen == boxes.size() || box.count > largest)) {
                chosen = i;
                largest = box.count;
            }
        }
        if (chosen == boxes.size()) break;  // every box is a single cell
        SplitBox(boxes, chosen);
    }
    return boxes;
}

void ColorQuantizer::BuildMedianCutPalette(const GifFile& gif, int boxCount) {
    FillHistogram(gif);
    const std::vector<ColorBox> boxes = CutBoxes(boxCount);

    // One entry per box from the head; the brightest entry may become white.
    palette_.clear();
    int brightest = 0;
    int brightestSum = 0;
    for (std::size_t i = boxes.size(); i-- > 0;) {
        const ColorBox& box = boxes[i];
        const int red = (box.min[kRed] + box.max[kRed]) * 4;
        const int green = (box.min[kGreen] + box.max[kGreen]) * 4;
        const int blue = (box.min[kBlue] + box.max[kBlue]) * 4;
        if (red + green + blue > brightestSum) {
            brightestSum = red + green + blue;
            brightest = static_cast<int>(palette_.size());
        }
        palette_.push_back(MakePixel(static_cast<std::uint8_t>(red), static_cast<std::uint8_t>(green),
                                     static_cast<std::uint8_t>(blue)));
    }
    if (whiteSeen_ && brightest > 0) palette_[static_cast<std::size_t>(brightest)] = kPureWhite;
}

void ColorQuantizer::FillCellColors(const GifFile& gif) {
    std::fill(histogram_.begin(), histogram_.end(), 0);
    cellColors_.assign(kCellCount, CellColors{});
    // First the counts, the colour sums and each cell's majority vote (a
    // colour holding most of its cell's pixels wins it)...
    ForEachPixel(gif, [this](PixelValue pixel) {
        const PixelValue color = pixel & kColorMask;
        const auto cell = static_cast<std::size_t>(CellOf(color));
        ++histogram_[cell];
        CellColors& colors = cellColors_[cell];
        colors.sums[kRed] += RedOf(color);
        colors.sums[kGreen] += GreenOf(color);
        colors.sums[kBlue] += BlueOf(color);
        if (colors.votes == 0) {
            colors.candidate = color;
            colors.votes = 1;
        } else if (colors.candidate == color) {
            ++colors.votes;
        } else {
            --colors.votes;
        }
    });
    // ...then how many pixels each winner really has.
    ForEachPixel(gif, [this](PixelValue pixel) {
        const PixelValue color = pixel & kColorMask;
        CellColors& colors = cellColors_[static_cast<std::size_t>(CellOf(color))];
        if (colors.candidate == color) ++colors.candidateCount;
    });
}

namespace {

// A colour as three doubles: the mean of some pixels, or a palette entry.
using ColorPoint = std::array<double, 3>;

double DistanceSquared(const ColorPoint& a, PixelValue entry) {
    const double red = a[0] - RedOf(entry);
    const double green = a[1] - GreenOf(entry);
    const double blue = a[2] - BlueOf(entry);
    return red * red + green * green + blue * blue;
}

// The nearest palette entry to a point by squared distance, ties to the
// lowest index. Entries are searched outward from the point's red value in
// red order; a side ends where red alone is farther than the best so far.
class NearestEntry {
public:
    explicit NearestEntry(std::span<const PixelValue> palette) : palette_(palette) {
        order_.resize(palette.size());
        for (std::size_t i = 0; i < order_.size(); ++i) order_[i] = i;
        std::sort(order_.begin(), order_.end(), [&](std::size_t a, std::size_t b) {
            return RedOf(palette[a]) != RedOf(palette[b]) ? RedOf(palette[a]) < RedOf(palette[b]) : a < b;
        });
    }

    std::size_t Find(const ColorPoint& point) const {
        const auto start = static_cast<std::size_t>(
            std::lower_bound(order_.begin(), order_.end(), point[0],
                             [&](std::size_t i, double red) { return RedOf(palette_[i]) < red; }) -
            order_.begin());
        double best = std::numeric_limits<double>::infinity();
        std::size_t bestIndex = 0;
        const auto consider = [&](std::size_t at) {
            const std::size_t index = order_[at];
            const double red = point[0] - RedOf(palette_[index]);
            if (red * red > best) return false;
            const double distance = DistanceSquared(point, palette_[index]);
            if (distance < best || (distance == best && index < bestIndex)) {
                best = distance;
                bestIndex = index;
            }
            return true;
        };
        for (std::size_t at = start; at < order_.size() && consider(at);) ++at;
        for (std::size_t at = start; at-- > 0 && consider(at);) {}
        return bestIndex;
    }

private:
    std::span<const PixelValue> palette_;
    std::vector<std::size_t> order_;
};

std::uint8_t Channel(std::uint64_t sum, std::uint64_t count) {
    return static_cast<std::uint8_t>(std::min<std::uint64_t>(255, (sum + count / 2) / count));
}

}  // namespace

void ColorQuantizer::BuildRefinedPalette(const GifFile& gif, int requested) {
    FillCellColors(gif);
    std::uint64_t total = 0;
    for (std::uint64_t count : histogram_) total += count;

    // Colours covering a large share of the pixels, most common first (cells
    // in order on ties), take exact entries and leave the histogram.
    const std::uint64_t threshold =
        std::max<std::uint64_t>(1, total / (std::uint64_t(kExactShareDivisor) * std::uint64_t(requested)));
    std::vector<std::size_t> common;
    for (std::size_t cell = 0; cell < cellColors_.size(); ++cell)
        if (cellColors_[cell].candidateCount >= threshold) common.push_back(cell);
    std::stable_sort(common.begin(), common.end(), [&](std::size_t a, std::size_t b) {
        return cellColors_[a].candidateCount > cellColors_[b].candidateCount;
    });
    common.resize(std::min(common.size(), static_cast<std::size_t>(requested / 2)));
    palette_.clear();
    for (std::size_t cell : common) {
        CellColors& colors = cellColors_[cell];
        const PixelValue color = colors.candidate;
        palette_.push_back(color);
        histogram_[cell] -= colors.candidateCount;
        colors.sums[kRed] -= RedOf(color) * colors.candidateCount;
        colors.sums[kGreen] -= GreenOf(color) * colors.candidateCount;
        colors.sums[kBlue] -= BlueOf(color) * colors.candidateCount;
    }
    const std::size_t exactEntries = palette_.size();

    // Median cut shares the other entries among the other pixels; each
    // starts at the mean colour of its box's pixels.
    for (auto boxes = CutBoxes(requested - static_cast<int>(exactEntries)); !boxes.empty(); boxes.pop_back()) {
        const ColorBox& last = boxes.back();
        std::array<std::uint64_t, 3> sums{};
        for (int r = last.min[kRed]; r <= last.max[kRed]; ++r)
            for (int g = last.min[kGreen]; g <= last.max[kGreen]; ++g)
                for (int b = last.min[kBlue]; b <= last.max[kBlue]; ++b)
                    for (std::size_t axis = 0; axis < 3; ++axis)
                        sums[axis] += cellColors_[static_cast<std::size_t>(Cell(r, g, b))].sums[axis];
        if (last.count == 0) continue;
        palette_.push_back(MakePixel(Channel(sums[kRed], last.count), Channel(sums[kGreen], last.count),
                                     Channel(sums[kBlue], last.count)));
    }

    // The cells left, each standing at the mean colour of its pixels.
    struct Weighted {
        std::size_t cell;
        std::uint64_t count;
        ColorPoint mean;
    };
    std::vector<Weighted> points;
    for (std::size_t cell = 0; cell < histogram_.size(); ++cell) {
        const std::uint64_t count = histogram_[cell];
        if (count == 0) continue;
        const auto& sums = cellColors_[cell].sums;
        const auto n = static_cast<double>(count);
        points.push_back({cell, count, {double(sums[kRed]) / n, double(sums[kGreen]) / n, double(sums[kBlue]) / n}});
    }

    // Lloyd passes: each cell goes to its nearest entry, then every entry
    // that is not exact moves to the mean of its cells' pixels.
    std::vector<std::size_t> nearest(points.size(), 0);
    for (int pass = 0;; ++pass) {
        const NearestEntry search(palette_);
        for (std::size_t i = 0; i < points.size(); ++i) nearest[i] = search.Find(points[i].mean);
        if (pass == kRefinePasses) break;
        std::vector<std::array<std::uint64_t, 4>> moved(palette_.size());  // sums and count per entry
        for (std::size_t i = 0; i < points.size(); ++i) {
            auto& entry = moved[nearest[i]];
            for (std::size_t axis = 0; axis < 3; ++axis) entry[axis] += cellColors_[points[i].cell].sums[axis];
            entry[3] += points[i].count;
        }
        bool changed = false;
        for (std::size_t e = exactEntries; e < palette_.size(); ++e) {
            const auto& entry = moved[e];
            if (entry[3] == 0) continue;  // no cell nearer to it: it stays
            const PixelValue mean = MakePixel(Channel(entry[kRed], entry[3]), Channel(entry[kGreen], entry[3]),
                                              Channel(entry[kBlue], entry[3]));
            changed = changed || mean != palette_[e];
            palette_[e] = mean;
        }
        if (!changed) break;
    }
    for (std::size_t i = 0; i < points.size(); ++i)
        inverse_[points[i].cell] = static_cast<std::int16_t>(nearest[i]);
    cellColors_.clear();
}

void ColorQuantizer::ResetInverseMap() { std::fill(inverse_.begin(), inverse_.end(), std::int16_t{-1}); }

std::uint8_t ColorQuantizer::NearestPaletteIndex(int red, int green, int blue) const {
    int best = 999999;
    std::size_t bestIndex = 0;
    for (std::size_t i = 0; i < palette_.size(); ++i) {
        const PixelValue entry = palette_[i];
        const int distance =
            std::abs(red - RedOf(entry)) + std::abs(green - GreenOf(entry)) + std::abs(blue - BlueOf(entry));
        if (distance < best) {
            best = distance;
            bestIndex = i;
        }
    }
    return static_cast<std::uint8_t>(bestIndex);
}

// Each cell is looked up when a pixel first needs it: a cell maps to the
// palette entry nearest its lowest colour (r x 8, g x 8, b x 8), the top
// cell to the entry nearest pure white. Cells no pixel falls into are never
// asked for, so building them all in advance would change nothing.
std::uint8_t ColorQuantizer::FillInverseMapCell(int cell) {
    const int red = (cell >> 10) * 8;
    const int green = ((cell >> 5) & 31) * 8;
    const int blue = (cell & 31) * 8;
    // A refined palette fills the cells its pixels fall into when it is made;
    // any other cell maps by the centre of its colours.
    const std::uint8_t index =
        method_ == PaletteMethod::Refined
            ? static_cast<std::uint8_t>(NearestEntry(palette_).Find({red + 3.5, green + 3.5, blue + 3.5}))
        : cell == kWhiteCell ? NearestPaletteIndex(255, 255, 255)
                             : NearestPaletteIndex(red, green, blue);
    inverse_[static_cast<std::size_t>(cell)] = index;
    return index;
}

void ColorQuantizer::MapImages(GifFile& gif, bool exactMatching, const StopCheck& stopped,
                               const FrameChanges* changes) {
    // With exact matching a pixel whose cell maps to another colour takes the
    // first palette entry of its own colour, if there is one.
    ColorIndexTable exact;
    if (exactMatching) {
        for (std::size_t i = 0; i < palette_.size(); ++i) exact.Insert(palette_[i], static_cast<int>(i));
    }
    const auto codeSize = static_cast<std::uint8_t>(MinimumCodeSizeFor(PaletteSize()));
    for (GifImage& image : gif.images) image.minimumCodeSize = codeSize;
    if (palette_.empty()) return;  // only when there is no pixel at all
    PixelValue lastColor = ~PixelValue{0};
    std::uint8_t lastIndex = 0;
    const GifImage* previous = nullptr;
    for (std::size_t record = 0; record < gif.images.size(); ++record) {
        GifImage& image = gif.images[record];
        if (StopRequested(stopped)) return;
        if (!HasPixelsOfItsSize(image)) {
            previous = nullptr;
            continue;
        }
        const std::size_t width = image.width;
        image.indices.resize(width * image.height);
        // A pixel with the colour the previous record has at its place
        // takes the index mapped there: only changed columns are mapped.
        const bool changesKnown =
            changes != nullptr && changes->HasChangedColumns(gif, record) && previous != nullptr;
        for (int y = 0; y < image.height; ++y) {
            const PixelValue* row = image.Pixels()->Row(y);
            std::uint8_t* out = image.indices.data() + static_cast<std::size_t>(y) * width;
            std::size_t first = 0;
            std::size_t end = width;
            if (changesKnown) {
                const ColumnSpan span = changes->Of(record).changedColumns[static_cast<std::size_t>(y)];
                const std::uint8_t* before = previous->indices.data() + static_cast<std::size_t>(y) * width;
                first = span.first;
                end = span.Empty() ? first : span.end;
                std::copy(before, before + first, out);
                std::copy(before + end, before + width, out + end);
            }
            for (std::size_t x = first; x < end; ++x) {
                const PixelValue color = row[x] & kColorMask;
                if (color != lastColor) {
                    lastColor = color;
                    lastIndex = InverseMapIndex(color);
                    if (exactMatching && palette_[lastIndex] != color) {
                        const int found = exact.Find(color);
                        if (found >= 0) lastIndex = static_cast<std::uint8_t>(found);
                    }
                }
                out[x] = lastIndex;
            }
        }
        previous = &image;
    }
}

void ColorQuantizer::WriteColorTable(GifFile& gif) const {
    ColorTable table{};
    for (std::size_t i = 0; i < palette_.size(); ++i) {
        table[i] = {RedOf(palette_[i]), GreenOf(palette_[i]), BlueOf(palette_[i])};
    }
    gif.globalColorTable = table;
    gif.globalColorTableSize = static_cast<std::uint16_t>(ColorTableSizeFor(PaletteSize()));
}

}  // namespace vantrel
