#pragma once
// giflib as an independent reference for tests: writing GIF files from index
// images with giflib's encoder, and decoding GIF bytes with its DGifSlurp.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "codec/GifFile.h"

namespace vantrel::test {

// One image of a reference GIF.
struct RefImage {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool interlaced = false;
    // Local colour table; empty for none. Its size must be a power of two
    // from 2 to 256 and sets the LZW code size: max(2, log2(size)).
    std::vector<RgbTriple> localColors;
    // width x height indices, rows top-down (also for interlaced images).
    std::vector<std::uint8_t> indices;
    // Graphic control block: written when hasControl is set.
    bool hasControl = false;
    int delay = 0;
    int disposal = 0;
    int transparentIndex = -1;  // -1: no transparency
};

// A whole reference GIF: logical screen, global table, loop block, images.
struct RefGif {
    int screenWidth = 0;
    int screenHeight = 0;
    std::vector<RgbTriple> globalColors;  // empty for none; same size rule as local tables
    int backgroundIndex = 0;
    std::optional<int> loopCount;  // NETSCAPE2.0 value; nothing writes no loop block
    std::vector<RefImage> images;
};

// Writes gif with giflib's encoder. The stream is GIF87a unless a control or
// loop block is present. Fails (nothing, error set) when giflib refuses, for
// instance for an image without any colour table.
std::optional<std::vector<std::uint8_t>> EncodeWithGiflib(const RefGif& gif, std::string* error = nullptr);
bool EncodeWithGiflib(const RefGif& gif, const std::filesystem::path& path, std::string* error = nullptr);

// Decodes bytes with giflib's DGifSlurp: screen, global table, loop count
// (from a NETSCAPE2.0 block wherever giflib stored it), and per image its
// position, size, table, control block and top-down indices. Nothing when
// giflib reports an error.
std::optional<RefGif> DecodeWithGiflib(std::span<const std::uint8_t> bytes, std::string* error = nullptr);

// An index image as the GIF stream stores it: for interlaced images the rows
// in pass order (every 8th row from 0, every 8th from 4, every 4th from 2,
// every 2nd from 1); otherwise unchanged.
std::vector<std::uint8_t> ToStreamRowOrder(std::span<const std::uint8_t> topDown, int width, int height,
                                           bool interlaced);

}  // namespace vantrel::test
