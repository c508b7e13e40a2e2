// PngEncoder: pictures written as PNG and read back by libpng's own reader
// (an independent decoder, which also checks the CRCs and the zlib
// checksum): the same pixels, RGB when every pixel is opaque, RGBA with the
// chosen alpha mapping otherwise; pictures large enough to be compressed in
// two halves included.

#include <gtest/gtest.h>
#include <png.h>

#include <random>
#include <string>
#include <vector>

#include "codec/PngCodec.h"

namespace vantrel {
namespace {

struct Decoded {
    bool ok = false;
    bool hasAlpha = false;
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;
};

Decoded DecodeWithLibpng(const std::vector<std::uint8_t>& file) {
    Decoded decoded;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, file.data(), file.size())) return decoded;
    decoded.hasAlpha = (image.format & PNG_FORMAT_FLAG_ALPHA) != 0;
    image.format = PNG_FORMAT_RGBA;
    decoded.rgba.resize(PNG_IMAGE_SIZE(image));
    decoded.ok = png_image_finish_read(&image, nullptr, decoded.rgba.data(), 0, nullptr) != 0;
    decoded.width = int(image.width);
    decoded.height = int(image.height);
    return decoded;
}

// Pixels of a smooth picture with noise, so that rows hold both runs and
// varied bytes; transparency bytes from the given list in turn.
PackedDib Picture(int width, int height, std::vector<std::uint8_t> transparencies, unsigned seed) {
    std::mt19937 rng(seed);
    PackedDib dib;
    dib.SetSize(width, height);
    std::size_t n = 0;
    for (int y = 0; y < height; ++y) {
        PixelValue* row = dib.Row(y);
        for (int x = 0; x < width; ++x) {
            const auto noise = static_cast<int>(rng() % 5);
            const auto flat = static_cast<std::uint8_t>((x / 40) * 30);
            const auto t = transparencies[n++ % transparencies.size()];
            row[x] = MakePixel(flat, static_cast<std::uint8_t>(y + noise), static_cast<std::uint8_t>(x * 7 + y), t);
        }
    }
    return dib;
}

std::uint8_t ExpectedAlpha(std::uint8_t transparency, PngAlpha alpha) {
    if (alpha == PngAlpha::Inverse) return static_cast<std::uint8_t>(255 - transparency);
    return transparency == 255 ? 0 : 255;
}

struct Case {
    std::string name;
    PackedDib picture;
    PngAlpha alpha;
    bool expectAlpha;
};

TEST(PngEncoderTest, LibpngReadsBackTheSamePixels) {
    const std::vector<std::uint8_t> opaque{0};
    const std::vector<std::uint8_t> partly{0, 0, 255, 128, 1, 254};
    const std::vector<std::uint8_t> notFully{0, 1, 128, 254};
    std::vector<Case> cases;
    cases.push_back({"1 x 1", Picture(1, 1, opaque, 1), PngAlpha::Inverse, false});
    cases.push_back({"opaque", Picture(37, 11, opaque, 2), PngAlpha::Inverse, false});
    cases.push_back({"partly transparent", Picture(37, 11, partly, 3), PngAlpha::Inverse, true});
    cases.push_back({"fully transparent ones", Picture(37, 11, partly, 4), PngAlpha::OnlyFullyTransparent, true});
    cases.push_back({"none fully transparent", Picture(37, 11, notFully, 5), PngAlpha::OnlyFullyTransparent, false});
    // 420 KB and 700 KB of rows: compressed in two halves
    cases.push_back({"large opaque", Picture(700, 200, opaque, 6), PngAlpha::Inverse, false});
    cases.push_back({"large transparent", Picture(1000, 175, partly, 7), PngAlpha::Inverse, true});
    cases.push_back({"large single row", Picture(100000, 1, opaque, 8), PngAlpha::Inverse, false});
    cases.push_back({"large odd height", Picture(300, 301, partly, 9), PngAlpha::OnlyFullyTransparent, true});

    PngEncoder encoder;  // one encoder for all: its buffers and compressors are reused
    std::vector<std::uint8_t> file;
    for (const Case& c : cases) {
        ASSERT_TRUE(encoder.Encode(c.picture, c.alpha, file)) << c.name;
        const Decoded decoded = DecodeWithLibpng(file);
        ASSERT_TRUE(decoded.ok) << c.name;
        EXPECT_EQ(decoded.hasAlpha, c.expectAlpha) << c.name;
        ASSERT_EQ(decoded.width, c.picture.Width()) << c.name;
        ASSERT_EQ(decoded.height, c.picture.Height()) << c.name;
        int wrong = 0;
        for (int y = 0; y < decoded.height; ++y) {
            for (int x = 0; x < decoded.width; ++x) {
                const PixelValue p = c.picture.Row(y)[x];
                const std::uint8_t* got = &decoded.rgba[(std::size_t(y) * std::size_t(decoded.width) + std::size_t(x)) * 4];
                wrong += got[0] != RedOf(p) || got[1] != GreenOf(p) || got[2] != BlueOf(p) ||
                         got[3] != ExpectedAlpha(TransparencyOf(p), c.alpha);
            }
        }
        EXPECT_EQ(wrong, 0) << c.name;
    }
}

TEST(PngEncoderTest, EmptyPictureGivesNoFile) {
    PngEncoder encoder;
    std::vector<std::uint8_t> file{1, 2, 3};
    EXPECT_FALSE(encoder.Encode(PackedDib{}, PngAlpha::Inverse, file));
    EXPECT_TRUE(file.empty());
}

}  // namespace
}  // namespace vantrel
