#pragma once
// Helpers for the writer's tests: small pixel buffers from lists of pixels,
// writing a GifFile to bytes, and showing a decoded GIF the way a viewer
// does (each image drawn over the previous picture, transparent index skipped).

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <span>
#include <vector>

#include "codec/GifFile.h"
#include "core/PackedDib.h"
#include "support/GiflibRef.h"

namespace vantrel::test::writer {

// A buffer of width x height from pixels listed row by row from the top.
inline PackedDib MakeDib(int width, int height, std::span<const PixelValue> topDown) {
    PackedDib dib;
    dib.SetSize(width, height);
    for (int y = 0; y < height; ++y) {
        PixelValue* row = dib.Row(y);
        for (int x = 0; x < width; ++x) row[x] = topDown[static_cast<std::size_t>(y * width + x)];
    }
    return dib;
}

inline PackedDib FilledDib(int width, int height, PixelValue value) {
    return MakeDib(width, height, std::vector<PixelValue>(static_cast<std::size_t>(width * height), value));
}

// The pixels of a buffer row by row from the top.
inline std::vector<PixelValue> TopDownPixels(const PackedDib& dib) {
    std::vector<PixelValue> pixels;
    for (int y = 0; y < dib.Height(); ++y) {
        const PixelValue* row = dib.Row(y);
        pixels.insert(pixels.end(), row, row + dib.Width());
    }
    return pixels;
}

inline std::vector<std::uint8_t> WrittenBytes(const GifFile& gif) {
    std::vector<std::uint8_t> bytes;
    gif.WriteGif(bytes);
    return bytes;
}

// Writes gif and decodes the bytes with giflib; fails the test when giflib refuses them.
inline RefGif DecodeWritten(const GifFile& gif) {
    std::string error;
    auto decoded = DecodeWithGiflib(WrittenBytes(gif), &error);
    EXPECT_TRUE(decoded.has_value()) << error;
    return decoded ? *decoded : RefGif{};
}

inline PixelValue ToPixel(const RgbTriple& c) { return MakePixel(c.red, c.green, c.blue); }

// What a viewer shows after each image: every image is drawn over the
// picture left by the one before (disposal 0 and 1 keep it); pixels with the
// transparent index are skipped. Pixels are 0x00RRGGBB, rows from the top.
inline std::vector<std::vector<PixelValue>> CompositeFrames(const RefGif& gif) {
    std::vector<std::vector<PixelValue>> frames;
    std::vector<PixelValue> canvas(static_cast<std::size_t>(gif.screenWidth * gif.screenHeight), 0);
    for (const RefImage& image : gif.images) {
        const auto& colors = image.localColors.empty() ? gif.globalColors : image.localColors;
        for (int y = 0; y < image.height; ++y) {
            for (int x = 0; x < image.width; ++x) {
                const int index = image.indices[static_cast<std::size_t>(y * image.width + x)];
                if (index == image.transparentIndex) continue;
                const int cx = image.left + x;
                const int cy = image.top + y;
                if (cx >= gif.screenWidth || cy >= gif.screenHeight) continue;
                EXPECT_LT(static_cast<std::size_t>(index), colors.size()) << "index outside the colour table";
                if (static_cast<std::size_t>(index) >= colors.size()) continue;
                canvas[static_cast<std::size_t>(cy * gif.screenWidth + cx)] =
                    ToPixel(colors[static_cast<std::size_t>(index)]);
            }
        }
        frames.push_back(canvas);
    }
    return frames;
}

// How far what a viewer shows (CompositeFrames) lies from the images that
// went in: the sum over every frame's pixels of the squared differences of
// red, green and blue. The frame counts must agree.
inline std::uint64_t SquaredError(const std::vector<std::vector<PixelValue>>& shown,
                                  const std::vector<PackedDib>& given) {
    EXPECT_EQ(shown.size(), given.size());
    std::uint64_t error = 0;
    for (std::size_t f = 0; f < shown.size() && f < given.size(); ++f) {
        const std::vector<PixelValue> pixels = TopDownPixels(given[f]);
        EXPECT_EQ(shown[f].size(), pixels.size());
        for (std::size_t i = 0; i < pixels.size() && i < shown[f].size(); ++i) {
            for (const int shift : {0, 8, 16}) {
                const int a = int(pixels[i] >> shift & 0xFF);
                const int b = int(shown[f][i] >> shift & 0xFF);
                error += static_cast<std::uint64_t>((a - b) * (a - b));
            }
        }
    }
    return error;
}

// Indices below limit; a fixed seed keeps every run the same.
inline std::vector<std::uint8_t> RandomIndices(std::size_t count, int limit, std::uint32_t seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> pick(0, limit - 1);
    std::vector<std::uint8_t> out(count);
    for (auto& v : out) v = static_cast<std::uint8_t>(pick(random));
    return out;
}

}  // namespace vantrel::test::writer
