#include "imaging/Resample.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <vector>

#include "core/Pixel.h"

namespace vantrel {

namespace {

// Where one new pixel takes its value along an axis: old pixels first ..
// first + count - 1, weighted by weights[offset ..].
struct Taps {
    int first = 0;
    int count = 0;
    std::size_t offset = 0;
};

struct AxisWeights {
    std::vector<Taps> taps;  // one per new pixel
    std::vector<double> weights;
};

// The weights of one axis from oldSize pixels to newSize: the covered area
// when shrinking, bilinear between pixel centres when growing (the same size
// copies). The weights of each new pixel add up to 1.
AxisWeights WeighAxis(int oldSize, int newSize) {
    AxisWeights axis;
    axis.taps.resize(static_cast<std::size_t>(newSize));
    const double scale = double(oldSize) / newSize;
    for (int i = 0; i < newSize; ++i) {
        Taps& t = axis.taps[static_cast<std::size_t>(i)];
        t.offset = axis.weights.size();
        if (newSize < oldSize) {
            const double from = i * scale;
            const double to = (i + 1) * scale;
            t.first = static_cast<int>(std::floor(from));
            const int last = std::min(static_cast<int>(std::ceil(to)), oldSize);
            t.count = last - t.first;
            for (int u = t.first; u < last; ++u)
                axis.weights.push_back(std::min(to, u + 1.0) - std::max(from, double(u)));
        } else {
            const double centre = std::clamp((i + 0.5) * scale - 0.5, 0.0, double(oldSize - 1));
            t.first = static_cast<int>(std::floor(centre));
            const double fraction = centre - t.first;
            t.count = fraction > 0 && t.first + 1 < oldSize ? 2 : 1;
            axis.weights.push_back(t.count == 2 ? 1 - fraction : 1.0);
            if (t.count == 2) axis.weights.push_back(fraction);
        }
        const auto mine = axis.weights.begin() + static_cast<std::ptrdiff_t>(t.offset);
        double total = 0;
        for (auto w = mine; w != axis.weights.end(); ++w) total += *w;
        for (auto w = mine; w != axis.weights.end(); ++w) *w /= total;
    }
    return axis;
}

std::uint8_t Channel(double value) { return static_cast<std::uint8_t>(std::clamp(std::lround(value), 0L, 255L)); }

// How pixels are added up while they are resampled. A picture with
// transparency keeps blue, green, red weighted by opacity, the opacity
// (255 - transparency), and blue, green, red unweighted (the colour where
// nothing is opaque). An opaque picture needs blue, green and red alone.
struct WithTransparency {
    using Sums = std::array<double, 7>;
    static Sums Of(PixelValue p) {
        const double opacity = 255 - TransparencyOf(p);
        const double b = BlueOf(p), g = GreenOf(p), r = RedOf(p);
        return {b * opacity, g * opacity, r * opacity, opacity, b, g, r};
    }
    static PixelValue Pixel(const Sums& s) {
        const std::uint8_t opacity = Channel(s[3]);
        const bool weighted = s[3] > 1e-9;
        const auto colour = [&](std::size_t c) { return Channel(weighted ? s[c] / s[3] : s[c + 4]); };
        return MakePixel(colour(2), colour(1), colour(0), static_cast<std::uint8_t>(255 - opacity));
    }
};

struct Opaque {
    using Sums = std::array<double, 3>;
    static Sums Of(PixelValue p) { return {double(BlueOf(p)), double(GreenOf(p)), double(RedOf(p))}; }
    static PixelValue Pixel(const Sums& s) { return MakePixel(Channel(s[2]), Channel(s[1]), Channel(s[0])); }
};

// sum += w * s, channel by channel.
template <typename Sums>
void AddWeighted(Sums& sum, double w, const Sums& s) {
    for (std::size_t c = 0; c < sum.size(); ++c) sum[c] += w * s[c];
}

template <typename Model>
std::optional<PackedDib> Smooth(const PackedDib& picture, int width, int height) {
    using Sums = typename Model::Sums;
    const int oldW = picture.Width();
    const int oldH = picture.Height();
    const AxisWeights across = WeighAxis(oldW, width);
    const AxisWeights down = WeighAxis(oldH, height);
    // Rows first: every old row at the new width.
    std::vector<Sums> rows(static_cast<std::size_t>(width) * static_cast<std::size_t>(oldH));
    std::vector<Sums> oldRow(static_cast<std::size_t>(oldW));
    for (int y = 0; y < oldH; ++y) {
        const PixelValue* in = picture.Row(y);
        for (int x = 0; x < oldW; ++x) oldRow[std::size_t(x)] = Model::Of(in[x]);
        Sums* out = rows.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
        for (int x = 0; x < width; ++x) {
            const Taps& t = across.taps[std::size_t(x)];
            Sums sum{};
            for (int k = 0; k < t.count; ++k)
                AddWeighted(sum, across.weights[t.offset + std::size_t(k)], oldRow[std::size_t(t.first + k)]);
            out[x] = sum;
        }
    }
    PackedDib result;
    if (!result.SetSizeForOverwrite(width, height)) return std::nullopt;
    for (int y = 0; y < height; ++y) {
        const Taps& t = down.taps[std::size_t(y)];
        PixelValue* out = result.Row(y);
        for (int x = 0; x < width; ++x) {
            Sums sum{};
            for (int k = 0; k < t.count; ++k) {
                const std::size_t from = static_cast<std::size_t>(t.first + k) * static_cast<std::size_t>(width);
                AddWeighted(sum, down.weights[t.offset + std::size_t(k)], rows[from + std::size_t(x)]);
            }
            out[x] = Model::Pixel(sum);
        }
    }
    return result;
}

}  // namespace

std::string_view ResampleTitle(ResampleMode mode) { return mode == ResampleMode::Smooth ? "Smooth" : "Sharp"; }

std::optional<PackedDib> Resampled(const PackedDib& picture, int width, int height, ResampleMode mode) {
    if (!picture.HasBlock() || picture.Width() <= 0 || picture.Height() <= 0 || width < 1 || height < 1)
        return std::nullopt;
    if (mode == ResampleMode::Smooth)
        return picture.IsOpaque() ? Smooth<Opaque>(picture, width, height)
                                  : Smooth<WithTransparency>(picture, width, height);
    PackedDib result;
    result.CopyFrom(&picture);
    result.Resample(width, height);
    if (result.Width() != width || result.Height() != height) return std::nullopt;
    return result;
}

}  // namespace vantrel
