// The animated WebP and animated PNG writers, read back through readers that
// share nothing with them: libwebp's animation decoder, a chunk walk of the
// tests' own for APNG, libpng for the APNG's default image, and Pillow when
// it is installed.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "codec/ApngWriter.h"
#include "codec/WebpAnimation.h"
#include "support/AnimationReadBack.h"
#include "support/TestPaths.h"

namespace vantrel {
namespace {

using test::ReadBackAnimation;

// A picture of pseudo-random opaque colours (a different one per seed).
PackedDib Noise(int width, int height, std::uint32_t seed) {
    PackedDib picture;
    picture.SetSize(width, height);
    std::uint32_t state = seed * 2654435761u + 1;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            state = state * 1664525u + 1013904223u;
            picture.Row(y)[x] = (state >> 8) & 0x00FFFFFF;
        }
    }
    return picture;
}

// Adds delta to one channel (shift 0 blue, 8 green, 16 red) of the pixels in area.
PackedDib Nudged(const PackedDib& from, const Rect& area, int shift, int delta = 1) {
    PackedDib picture;
    picture.SetSize(from.Width(), from.Height());
    picture.CopyPixels(from);
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            PixelValue& p = picture.Row(y)[x];
            const PixelValue channel = (p >> shift) & 0xFF;
            p = (p & ~(PixelValue{0xFF} << shift)) | (((channel + PixelValue(delta)) & 0xFF) << shift);
        }
    }
    return picture;
}

PackedDib Copy(const PackedDib& from) {
    PackedDib picture;
    picture.SetSize(from.Width(), from.Height());
    picture.CopyPixels(from);
    return picture;
}

// An animation and the pictures it points to.
struct Fixture {
    std::vector<PackedDib> images;
    std::vector<std::uint32_t> milliseconds;
    std::uint32_t plays = 0;

    AnimationFrames Frames() const {
        AnimationFrames frames;
        frames.width = images.front().Width();
        frames.height = images.front().Height();
        frames.plays = plays;
        for (std::size_t i = 0; i < images.size(); ++i) frames.frames.push_back({&images[i], milliseconds[i]});
        return frames;
    }
};

// What a viewer shows over time: frames identical to the one before merged
// into its duration (the WebP encoder stores them so).
std::vector<std::pair<const PackedDib*, std::uint32_t>> Timeline(const std::vector<const PackedDib*>& images,
                                                                  const std::vector<std::uint32_t>& ms) {
    std::vector<std::pair<const PackedDib*, std::uint32_t>> shown;
    for (std::size_t i = 0; i < images.size(); ++i) {
        if (!shown.empty() && test::SameShown(*shown.back().first, *images[i]))
            shown.back().second += ms[i];
        else
            shown.emplace_back(images[i], ms[i]);
    }
    return shown;
}

void ExpectSameTimeline(const Fixture& fixture, const ReadBackAnimation& read) {
    ASSERT_TRUE(read.error.empty()) << read.error;
    EXPECT_EQ(read.width, fixture.images.front().Width());
    EXPECT_EQ(read.height, fixture.images.front().Height());
    EXPECT_EQ(read.plays, fixture.plays);
    std::vector<const PackedDib*> given, back;
    std::vector<std::uint32_t> backMs;
    for (const PackedDib& image : fixture.images) given.push_back(&image);
    for (const auto& frame : read.frames) {
        back.push_back(&frame.image);
        backMs.push_back(frame.milliseconds);
    }
    const auto expected = Timeline(given, fixture.milliseconds);
    const auto actual = Timeline(back, backMs);
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE("shown frame " + std::to_string(i));
        EXPECT_TRUE(test::SameShown(*actual[i].first, *expected[i].first));
        EXPECT_EQ(actual[i].second, expected[i].second);
    }
}

ReadBackAnimation WebpRoundTrip(const Fixture& fixture, const WebpOptions& options = {}) {
    std::vector<std::uint8_t> bytes;
    const Status status = EncodeWebpAnimation(fixture.Frames(), options, bytes);
    EXPECT_TRUE(status) << status.message();
    return test::ReadWebpAnimation(bytes);
}

ReadBackAnimation ApngRoundTrip(const Fixture& fixture, std::vector<std::uint8_t>* keep = nullptr) {
    std::vector<std::uint8_t> bytes;
    const Status status = EncodeApng(fixture.Frames(), bytes);
    EXPECT_TRUE(status) << status.message();
    ReadBackAnimation read = test::ReadApngByChunks(bytes);
    if (keep != nullptr) *keep = std::move(bytes);
    return read;
}

// 40 x 30 noise; then a 3 x 2 block with green + 1; then one corner pixel
// with red + 1; then the same again; then another picture altogether.
Fixture SmallChanges() {
    Fixture f;
    f.images.push_back(Noise(40, 30, 1));
    f.images.push_back(Nudged(f.images[0], {10, 5, 13, 7}, 8));
    f.images.push_back(Nudged(f.images[1], {39, 29, 40, 30}, 16));
    f.images.push_back(Copy(f.images[2]));
    f.images.push_back(Noise(40, 30, 2));
    f.milliseconds = {100, 250, 10, 70, 655350};
    f.plays = 3;
    return f;
}

TEST(AnimationWritersTest, FixtureChangesWhatItSays) {
    const Fixture f = SmallChanges();
    int changed = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) changed += f.images[0].Row(y)[x] != f.images[1].Row(y)[x];
    EXPECT_EQ(changed, 6);
    EXPECT_EQ(GreenOf(f.images[1].Row(5)[10]), std::uint8_t(GreenOf(f.images[0].Row(5)[10]) + 1));
    EXPECT_EQ(RedOf(f.images[1].Row(5)[10]), RedOf(f.images[0].Row(5)[10]));
}

TEST(AnimationWritersTest, ApngStoresOnlyTheChangedRectangles) {
    const Fixture f = SmallChanges();
    const ReadBackAnimation read = ApngRoundTrip(f);
    ExpectSameTimeline(f, read);
    ASSERT_EQ(read.frames.size(), f.images.size());  // no frame merged
    for (std::size_t i = 0; i < f.images.size(); ++i) {
        EXPECT_TRUE(test::SameShown(read.frames[i].image, f.images[i])) << i;
        EXPECT_EQ(read.frames[i].milliseconds, f.milliseconds[i]) << i;
        EXPECT_EQ(read.frames[i].dispose, 0) << i;
    }
    EXPECT_EQ(read.frames[0].stored, (Rect{0, 0, 40, 30}));
    EXPECT_EQ(read.frames[1].stored, (Rect{10, 5, 13, 7}));
    EXPECT_EQ(read.frames[2].stored, (Rect{39, 29, 40, 30}));
    EXPECT_EQ(read.frames[3].stored.Width() * read.frames[3].stored.Height(), 1);
    EXPECT_EQ(read.frames[4].stored, (Rect{0, 0, 40, 30}));
}

TEST(AnimationWritersTest, WebpDecodesToTheFramesWithTheirDurations) {
    const Fixture f = SmallChanges();
    const ReadBackAnimation read = WebpRoundTrip(f);
    ExpectSameTimeline(f, read);
    // The block that changed is stored as a small rectangle around it.
    ASSERT_GE(read.frames.size(), 2u);
    const Rect stored = read.frames[1].stored;
    EXPECT_LT(stored.Width() * stored.Height(), 40 * 30 / 4);
    EXPECT_EQ(Intersect(stored, {10, 5, 13, 7}), (Rect{10, 5, 13, 7}));
}

// Frames with partial and full transparency, changing in both directions.
Fixture Transparency() {
    Fixture f;
    PackedDib first = Noise(48, 16, 3);  // more than 256 colours beside the flat half
    const Rect half{0, 0, 12, 16};
    first.FillRect(MakePixel(10, 20, 30, 127), &half);  // half of it at alpha 128
    f.images.push_back(std::move(first));
    PackedDib second = Copy(f.images[0]);
    const Rect hole{14, 2, 20, 9};
    second.FillRect(kTransparentWhite, &hole);  // opaque pixels become fully transparent
    f.images.push_back(std::move(second));
    PackedDib third = Copy(f.images[1]);
    const Rect patch{2, 3, 6, 5};
    third.FillRect(MakePixel(200, 100, 50), &patch);  // half-transparent pixels become opaque
    f.images.push_back(std::move(third));
    f.milliseconds = {30, 40, 50};
    f.plays = 0;
    return f;
}

TEST(AnimationWritersTest, TransparencyComesBackInBothFormats) {
    const Fixture f = Transparency();
    ExpectSameTimeline(f, WebpRoundTrip(f));
    const ReadBackAnimation apng = ApngRoundTrip(f);
    ExpectSameTimeline(f, apng);
    ASSERT_EQ(apng.frames.size(), 3u);
    // Pixels turning transparent must replace what was there; pixels turning
    // opaque can be drawn over it.
    EXPECT_EQ(apng.frames[1].blend, 0);
    EXPECT_EQ(apng.frames[1].stored, (Rect{14, 2, 20, 9}));
    EXPECT_EQ(apng.frames[2].blend, 1);
    EXPECT_EQ(apng.frames[2].stored, (Rect{2, 3, 6, 5}));
}

TEST(AnimationWritersTest, OneFrameIsAnAnimationOfOne) {
    Fixture f;
    f.images.push_back(Noise(7, 5, 4));
    f.milliseconds = {120};
    f.plays = 1;
    std::vector<std::uint8_t> apngBytes;
    const ReadBackAnimation apng = ApngRoundTrip(f, &apngBytes);
    ExpectSameTimeline(f, apng);
    const auto first = test::ReadPngWithLibpng(apngBytes);
    ASSERT_TRUE(first.has_value());
    EXPECT_TRUE(test::SameShown(*first, f.images[0]));
    // A single WebP frame is a still picture: one frame, no loop count to keep.
    const ReadBackAnimation webp = WebpRoundTrip(f);
    ASSERT_TRUE(webp.error.empty()) << webp.error;
    ASSERT_EQ(webp.frames.size(), 1u);
    EXPECT_TRUE(test::SameShown(webp.frames[0].image, f.images[0]));
}

TEST(AnimationWritersTest, LoopCountsAndDurationsAreKeptExactly) {
    for (const std::uint32_t plays : {0u, 1u, 2u, 65535u}) {
        for (const std::uint32_t ms : {10u, 990u, 65530u, 655350u}) {
            SCOPED_TRACE("plays " + std::to_string(plays) + ", " + std::to_string(ms) + " ms");
            Fixture f;
            f.images.push_back(Noise(6, 4, 5));
            f.images.push_back(Noise(6, 4, 6));
            f.milliseconds = {ms, 20};
            f.plays = plays;
            ExpectSameTimeline(f, WebpRoundTrip(f));
            ExpectSameTimeline(f, ApngRoundTrip(f));
        }
    }
}

// Four flat colours and a moving box: few enough colours for one palette.
Fixture FlatColours() {
    Fixture f;
    for (int i = 0; i < 4; ++i) {
        PackedDib picture;
        picture.SetSize(32, 12);
        picture.FillRect(MakePixel(0x1A, 0x2A, 0x6C));
        const Rect text{2, 2, 30, 5};
        picture.FillRect(MakePixel(0xFF, 0x93, 0x35), &text);
        const Rect box{4 + 3 * i, 6, 8 + 3 * i, 10};
        picture.FillRect(i == 3 ? MakePixel(9, 9, 9, 200) : MakePixel(255, 255, 255), &box);
        f.images.push_back(std::move(picture));
    }
    f.milliseconds = {100, 100, 100, 400};
    f.plays = 0;
    return f;
}

TEST(AnimationWritersTest, FewColoursGoIntoOnePalette) {
    const Fixture f = FlatColours();
    std::vector<std::uint8_t> bytes;
    const ReadBackAnimation read = ApngRoundTrip(f, &bytes);
    ExpectSameTimeline(f, read);
    EXPECT_EQ(read.colorType, 3);
    ASSERT_EQ(read.frames.size(), 4u);
    // The opaque box moved: drawn over, with the pixels it left written as it was.
    EXPECT_EQ(read.frames[1].blend, 1);
    EXPECT_EQ(read.frames[1].stored, (Rect{4, 6, 11, 10}));
    // The half-transparent box must replace what lay beneath.
    EXPECT_EQ(read.frames[3].blend, 0);
    const auto first = test::ReadPngWithLibpng(bytes);
    ASSERT_TRUE(first.has_value());
    EXPECT_TRUE(test::SameShown(*first, f.images[0]));
    // Noise of more than 256 colours keeps its samples.
    EXPECT_EQ(ApngRoundTrip(SmallChanges()).colorType, 2);
    EXPECT_EQ(ApngRoundTrip(Transparency()).colorType, 6);
}

TEST(AnimationWritersTest, LibpngShowsTheFirstFrameOfAnApng) {
    const Fixture f = Transparency();
    std::vector<std::uint8_t> bytes;
    ApngRoundTrip(f, &bytes);
    const auto first = test::ReadPngWithLibpng(bytes);
    ASSERT_TRUE(first.has_value());
    EXPECT_TRUE(test::SameShown(*first, f.images[0]));
}

// A smooth picture, where lossy compression can keep close.
PackedDib Gradient(int width, int height, int phase) {
    PackedDib picture;
    picture.SetSize(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.Row(y)[x] = MakePixel(std::uint8_t(x * 2 + phase), std::uint8_t(y * 3), std::uint8_t(128 + phase));
    return picture;
}

double Psnr(const PackedDib& a, const PackedDib& b) {
    double sum = 0;
    for (int y = 0; y < a.Height(); ++y) {
        for (int x = 0; x < a.Width(); ++x) {
            const PixelValue p = a.Row(y)[x], q = b.Row(y)[x];
            for (int shift : {0, 8, 16}) {
                const double d = double((p >> shift) & 0xFF) - double((q >> shift) & 0xFF);
                sum += d * d;
            }
        }
    }
    const double mse = sum / (3.0 * a.Width() * a.Height());
    return mse == 0 ? 99 : 10 * std::log10(255.0 * 255.0 / mse);
}

TEST(AnimationWritersTest, LossyWebpStaysCloseAndShrinksWithQuality) {
    Fixture f;
    for (int i = 0; i < 3; ++i) f.images.push_back(Gradient(96, 64, i * 20));
    f.milliseconds = {100, 200, 300};
    f.plays = 0;
    std::vector<std::uint8_t> high, low;
    ASSERT_TRUE(EncodeWebpAnimation(f.Frames(), {90}, high));
    ASSERT_TRUE(EncodeWebpAnimation(f.Frames(), {5}, low));
    EXPECT_LT(low.size(), high.size());
    const ReadBackAnimation read = test::ReadWebpAnimation(high);
    ASSERT_TRUE(read.error.empty()) << read.error;
    ASSERT_EQ(read.frames.size(), 3u);
    EXPECT_EQ(read.plays, 0u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(read.frames[i].milliseconds, f.milliseconds[i]);
        EXPECT_GT(Psnr(read.frames[i].image, f.images[i]), 30.0) << i;
    }
}

TEST(AnimationWritersTest, WhatCannotBeWrittenIsRefusedWithAReason) {
    const PackedDib small = Noise(4, 4, 7);
    const PackedDib other = Noise(5, 4, 8);
    const PackedDib none;
    struct Case {
        const char* what;
        AnimationFrames frames;
    };
    const Case cases[] = {
        {"no frames", {4, 4, 0, {}}},
        {"a frame of another size", {4, 4, 0, {{&small, 10}, {&other, 10}}}},
        {"a frame without pixels", {4, 4, 0, {{&none, 10}}}},
        {"a null frame", {4, 4, 0, {{nullptr, 10}}}},
        {"a frame too long", {4, 4, 0, {{&small, kMaxFrameMilliseconds + 1}}}},
        {"too many plays", {4, 4, kMaxAnimationPlays + 1, {{&small, 10}}}},
        {"no canvas", {0, 4, 0, {{&small, 10}}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::uint8_t> out{1, 2, 3};
        const Status webp = EncodeWebpAnimation(c.frames, {}, out);
        EXPECT_FALSE(webp);
        EXPECT_FALSE(webp.message().empty());
        EXPECT_TRUE(out.empty());
        out = {1, 2, 3};
        EXPECT_FALSE(EncodeApng(c.frames, out));
        EXPECT_TRUE(out.empty());
    }
}

TEST(AnimationWritersTest, ApngFrameDataIsSplitIntoBoundedChunks) {
    Fixture f;
    f.images.push_back(Noise(800, 600, 9));  // noise does not compress: over 1 MiB of data
    f.images.push_back(Noise(800, 600, 10));
    f.milliseconds = {10, 20};
    std::vector<std::uint8_t> bytes;
    ExpectSameTimeline(f, ApngRoundTrip(f, &bytes));
    std::size_t at = 8, largest = 0, dataChunks = 0;
    while (at + 8 <= bytes.size()) {
        const std::size_t length = (std::size_t(bytes[at]) << 24) | (std::size_t(bytes[at + 1]) << 16) |
                                   (std::size_t(bytes[at + 2]) << 8) | bytes[at + 3];
        const std::string type(reinterpret_cast<const char*>(&bytes[at + 4]), 4);
        if (type == "IDAT" || type == "fdAT") {
            largest = std::max(largest, length);
            ++dataChunks;
        }
        at += 12 + length;
    }
    EXPECT_LE(largest, kMaxApngDataChunk + 4);
    EXPECT_GE(dataChunks, 4u);
}

// Pillow, an independent reader that browsers' behaviour is often checked
// against, when the machine has it.
std::optional<std::string> PillowFrames(const std::filesystem::path& file) {
    const std::string command =
        "/usr/bin/python3 -c \"import sys\ntry:\n from PIL import Image\nexcept ImportError:\n sys.exit(7)\n"
        "im = Image.open(sys.argv[1]); out = [str(im.n_frames), str(im.info.get('loop'))]\n"
        "for i in range(im.n_frames):\n im.seek(i); im.load(); out.append(str(int(im.info['duration'])))\n"
        "print(' '.join(out))\" '" +
        file.string() + "' 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return std::nullopt;
    std::string text;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) text += buffer;
    const int status = pclose(pipe);
    if (!WIFEXITED(status) || WEXITSTATUS(status) == 7 || WEXITSTATUS(status) == 127) return std::nullopt;
    return text;
}

TEST(AnimationWritersTest, PillowPlaysBothWithTheirDelays) {
    const Fixture f = SmallChanges();
    const auto dir = test::ScratchDir("animation_writers_pillow");
    std::vector<std::uint8_t> webp, apng;
    ASSERT_TRUE(EncodeWebpAnimation(f.Frames(), {}, webp));
    ASSERT_TRUE(EncodeApng(f.Frames(), apng));
    std::ofstream(dir / "a.webp", std::ios::binary).write(reinterpret_cast<const char*>(webp.data()), std::streamsize(webp.size()));
    std::ofstream(dir / "a.png", std::ios::binary).write(reinterpret_cast<const char*>(apng.data()), std::streamsize(apng.size()));
    const auto webpSeen = PillowFrames(dir / "a.webp");
    if (!webpSeen) GTEST_SKIP() << "Pillow is not installed";
    // WebP keeps the identical fourth frame inside the third one's time.
    EXPECT_EQ(*webpSeen, "4 3 100 250 80 655350\n");
    EXPECT_EQ(PillowFrames(dir / "a.png").value_or(""), "5 3 100 250 10 70 655350\n");
}

}  // namespace
}  // namespace vantrel
