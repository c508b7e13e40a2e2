#include "imaging/Transitions.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace vantrel {

namespace {

struct KindNames {
    TransitionKind kind;
    std::string_view keyword;
    std::string_view title;
};

constexpr std::array<KindNames, 11> kNames = {{
    {TransitionKind::Fade, "fade", "Fade"},
    {TransitionKind::SlideLeft, "slide-left", "Slide Left"},
    {TransitionKind::SlideRight, "slide-right", "Slide Right"},
    {TransitionKind::SlideUp, "slide-up", "Slide Up"},
    {TransitionKind::SlideDown, "slide-down", "Slide Down"},
    {TransitionKind::WipeLeft, "wipe-left", "Wipe Left"},
    {TransitionKind::WipeRight, "wipe-right", "Wipe Right"},
    {TransitionKind::WipeUp, "wipe-up", "Wipe Up"},
    {TransitionKind::WipeDown, "wipe-down", "Wipe Down"},
    {TransitionKind::Dissolve, "dissolve", "Dissolve"},
    {TransitionKind::ZoomIn, "zoom", "Zoom In"},
}};

const KindNames& NamesOf(TransitionKind kind) {
    for (const KindNames& names : kNames)
        if (names.kind == kind) return names;
    return kNames.front();
}

// a * step / steps rounded to the nearest whole number (halves up), for a >= 0.
int Part(int a, int step, int steps) {
    return int((2 * std::int64_t(a) * step + steps) / (2 * std::int64_t(steps)));
}

// One byte of a fade: a + (b - a) * step / steps, rounded to nearest.
std::uint32_t Mix(std::uint32_t a, std::uint32_t b, std::uint32_t step, std::uint32_t steps) {
    const std::uint32_t sum = a * (steps - step) + b * step;
    return (2 * sum + steps) / (2 * steps);
}

void Fade(const PackedDib& first, const PackedDib& second, int step, int steps, PackedDib& out) {
    const int width = first.Width();
    for (int y = 0; y < first.Height(); ++y) {
        const PixelValue* a = first.Row(y);
        const PixelValue* b = second.Row(y);
        PixelValue* o = out.Row(y);
        for (int x = 0; x < width; ++x) {
            PixelValue value = 0;
            for (int shift = 0; shift < 32; shift += 8)
                value |= Mix((a[x] >> shift) & 0xFF, (b[x] >> shift) & 0xFF, std::uint32_t(step),
                             std::uint32_t(steps))
                         << shift;
            o[x] = value;
        }
    }
}

// Copies count pixels of row sy of from, starting at column sx, to row dy of
// out at column dx.
void CopyRun(const PackedDib& from, int sx, int sy, PackedDib& out, int dx, int dy, int count) {
    if (count <= 0) return;
    const PixelValue* source = from.Row(sy) + sx;
    std::copy(source, source + count, out.Row(dy) + dx);
}

// Both pictures move: the first leaves by the edge the direction names, the
// second follows it in from the opposite edge, offset pixels along.
void Slide(const PackedDib& first, const PackedDib& second, TransitionKind kind, int step, int steps,
           PackedDib& out) {
    const int w = first.Width();
    const int h = first.Height();
    const bool horizontal = kind == TransitionKind::SlideLeft || kind == TransitionKind::SlideRight;
    const int offset = Part(horizontal ? w : h, step, steps);
    for (int y = 0; y < h; ++y) {
        switch (kind) {
        case TransitionKind::SlideLeft:
            CopyRun(first, offset, y, out, 0, y, w - offset);
            CopyRun(second, 0, y, out, w - offset, y, offset);
            break;
        case TransitionKind::SlideRight:
            CopyRun(second, w - offset, y, out, 0, y, offset);
            CopyRun(first, 0, y, out, offset, y, w - offset);
            break;
        case TransitionKind::SlideUp:
            if (y < h - offset)
                CopyRun(first, 0, y + offset, out, 0, y, w);
            else
                CopyRun(second, 0, y - (h - offset), out, 0, y, w);
            break;
        default:  // down
            if (y < offset)
                CopyRun(second, 0, y + (h - offset), out, 0, y, w);
            else
                CopyRun(first, 0, y - offset, out, 0, y, w);
            break;
        }
    }
}

// Neither picture moves: the second is uncovered from the edge opposite the
// direction named, offset pixels deep.
void Wipe(const PackedDib& first, const PackedDib& second, TransitionKind kind, int step, int steps,
          PackedDib& out) {
    const int w = first.Width();
    const int h = first.Height();
    const bool horizontal = kind == TransitionKind::WipeLeft || kind == TransitionKind::WipeRight;
    const int offset = Part(horizontal ? w : h, step, steps);
    for (int y = 0; y < h; ++y) {
        switch (kind) {
        case TransitionKind::WipeLeft:  // the second shows at the right
            CopyRun(first, 0, y, out, 0, y, w - offset);
            CopyRun(second, w - offset, y, out, w - offset, y, offset);
            break;
        case TransitionKind::WipeRight:
            CopyRun(second, 0, y, out, 0, y, offset);
            CopyRun(first, offset, y, out, offset, y, w - offset);
            break;
        case TransitionKind::WipeUp:  // the second shows at the bottom
            CopyRun(y >= h - offset ? second : first, 0, y, out, 0, y, w);
            break;
        default:  // down: the second shows at the top
            CopyRun(y < offset ? second : first, 0, y, out, 0, y, w);
            break;
        }
    }
}

void Dissolve(const PackedDib& first, const PackedDib& second, int step, int steps, PackedDib& out) {
    const int w = first.Width();
    const std::vector<std::uint32_t> ranks = DissolveRanks(w, first.Height());
    const auto turned = std::uint32_t(
        (2 * std::uint64_t(ranks.size()) * std::uint64_t(step) + std::uint64_t(steps)) / (2 * std::uint64_t(steps)));
    for (int y = 0; y < first.Height(); ++y) {
        const PixelValue* a = first.Row(y);
        const PixelValue* b = second.Row(y);
        const std::uint32_t* rank = ranks.data() + std::size_t(y) * std::size_t(w);
        PixelValue* o = out.Row(y);
        for (int x = 0; x < w; ++x) o[x] = rank[x] < turned ? b[x] : a[x];
    }
}

// The second picture grows from the centre over the first, scaled to
// step / steps of its size (nearest pixel).
void ZoomIn(const PackedDib& first, const PackedDib& second, int step, int steps, PackedDib& out) {
    const int w = first.Width();
    const int h = first.Height();
    const int zw = Part(w, step, steps);
    const int zh = Part(h, step, steps);
    const int left = (w - zw) / 2;
    const int top = (h - zh) / 2;
    for (int y = 0; y < h; ++y) {
        CopyRun(first, 0, y, out, 0, y, w);
        if (y < top || y >= top + zh || zw == 0) continue;
        const PixelValue* b = second.Row(int(std::int64_t(y - top) * h / zh));
        PixelValue* o = out.Row(y);
        for (int x = 0; x < zw; ++x) o[left + x] = b[std::int64_t(x) * w / zw];
    }
}

}  // namespace

std::string_view TransitionKeyword(TransitionKind kind) { return NamesOf(kind).keyword; }

std::string_view TransitionTitle(TransitionKind kind) { return NamesOf(kind).title; }

std::optional<TransitionKind> TransitionFromKeyword(std::string_view keyword) {
    for (const KindNames& names : kNames)
        if (names.keyword == keyword) return names.kind;
    return std::nullopt;
}

std::vector<std::uint32_t> DissolveRanks(int width, int height) {
    const std::size_t count = std::size_t(std::max(width, 0)) * std::size_t(std::max(height, 0));
    std::vector<std::uint32_t> order(count);
    for (std::size_t i = 0; i < count; ++i) order[i] = std::uint32_t(i);
    // Fisher-Yates over a splitmix64 stream with a fixed seed: the same
    // order on every machine and in every run.
    std::uint64_t state = 0x5645'4E54'5245'4C31;
    auto next = [&state] {
        std::uint64_t z = (state += 0x9E3779B97F4A7C15);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EB;
        return z ^ (z >> 31);
    };
    for (std::size_t i = count; i > 1; --i) std::swap(order[i - 1], order[next() % i]);
    std::vector<std::uint32_t> ranks(count);
    for (std::size_t place = 0; place < count; ++place) ranks[order[place]] = std::uint32_t(place);
    return ranks;
}

bool MakeTransitionPicture(const PackedDib& first, const PackedDib& second, TransitionKind kind, int step,
                           int steps, PackedDib& out) {
    if (!first.HasBlock() || !second.HasBlock() || first.Width() != second.Width() ||
        first.Height() != second.Height() || first.Width() <= 0 || first.Height() <= 0 || steps < 1 ||
        step < 1 || step > steps)
        return false;
    if (!out.SetSizeForOverwrite(first.Width(), first.Height())) return false;
    out.DetachForOverwrite();
    const int total = steps + 1;
    switch (kind) {
    case TransitionKind::Fade: Fade(first, second, step, total, out); break;
    case TransitionKind::SlideLeft:
    case TransitionKind::SlideRight:
    case TransitionKind::SlideUp:
    case TransitionKind::SlideDown: Slide(first, second, kind, step, total, out); break;
    case TransitionKind::WipeLeft:
    case TransitionKind::WipeRight:
    case TransitionKind::WipeUp:
    case TransitionKind::WipeDown: Wipe(first, second, kind, step, total, out); break;
    case TransitionKind::Dissolve: Dissolve(first, second, step, total, out); break;
    case TransitionKind::ZoomIn: ZoomIn(first, second, step, total, out); break;
    }
    return true;
}

}  // namespace vantrel
