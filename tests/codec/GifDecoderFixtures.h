#pragma once
// Hand-made GIF streams for the reader's tests: a byte builder for blocks and
// an LZW code packer that knows nothing of the decoder under test.

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

#include "codec/GifFile.h"
#include "core/ByteWriter.h"

namespace vantrel::test {

// A code and the number of bits it takes in the stream.
struct SizedCode {
    unsigned code;
    unsigned bits;
};

// Packs codes least significant bit first, the last byte padded with zeros.
inline std::vector<std::uint8_t> PackCodes(std::span<const SizedCode> codes) {
    std::vector<std::uint8_t> out;
    std::uint32_t buffer = 0;
    unsigned count = 0;
    for (const SizedCode& c : codes) {
        buffer |= c.code << count;
        count += c.bits;
        while (count >= 8) {
            out.push_back(static_cast<std::uint8_t>(buffer));
            buffer >>= 8;
            count -= 8;
        }
    }
    if (count > 0) out.push_back(static_cast<std::uint8_t>(buffer));
    return out;
}

// Builds the code sequence of an uncompressed LZW stream: each index is sent
// as its literal code. A decoder adds a table entry for every code after the
// first following a clear code, so code k after a clear (k = 0, 1, ...) is as
// wide as the next free code clearCode + 1 + k needs, at most 12 bits.
class LiteralCodes {
public:
    explicit LiteralCodes(unsigned minimumCodeSize)
        : minimum_(minimumCodeSize), clear_(1u << minimumCodeSize) {}

    unsigned ClearCode() const { return clear_; }
    unsigned EndCode() const { return clear_ + 1; }
    // Width of the code that comes next.
    unsigned Width() const {
        if (sinceClear_ == 0) return minimum_ + 1;
        const unsigned nextFree = std::min(clear_ + 1 + sinceClear_, 4096u);
        return std::clamp(static_cast<unsigned>(std::bit_width(nextFree)), minimum_ + 1, 12u);
    }
    LiteralCodes& Clear() {
        codes_.push_back({clear_, Width()});
        sinceClear_ = 0;
        return *this;
    }
    // Any code that takes a table slot like a literal does (a literal, or a
    // string code the caller has worked out).
    LiteralCodes& Code(unsigned code) {
        codes_.push_back({code, Width()});
        ++sinceClear_;
        return *this;
    }
    LiteralCodes& Literals(std::span<const std::uint8_t> indices) {
        for (std::uint8_t index : indices) Code(index);
        return *this;
    }
    LiteralCodes& End() {
        codes_.push_back({EndCode(), Width()});
        return *this;
    }
    std::vector<std::uint8_t> Bytes() const { return PackCodes(codes_); }

private:
    unsigned minimum_;
    unsigned clear_;
    unsigned sinceClear_ = 0;
    std::vector<SizedCode> codes_;
};

// The LZW data of indices sent as literals, with a clear code first.
inline std::vector<std::uint8_t> LiteralLzw(unsigned minimumCodeSize, std::span<const std::uint8_t> indices) {
    return LiteralCodes(minimumCodeSize).Clear().Literals(indices).End().Bytes();
}

// Writes GIF blocks byte by byte.
class GifBytes {
public:
    GifBytes& Byte(std::uint8_t b) {
        bytes_.push_back(b);
        return *this;
    }
    GifBytes& Word(std::uint16_t w) {
        ByteWriter(bytes_).U16(w);
        return *this;
    }
    GifBytes& Text(std::string_view text) {
        ByteWriter(bytes_).Text(text);
        return *this;
    }
    GifBytes& Raw(std::span<const std::uint8_t> raw) {
        ByteWriter(bytes_).Bytes(raw);
        return *this;
    }
    // Signature, version and logical screen descriptor.
    GifBytes& Header(std::string_view version, std::uint16_t width, std::uint16_t height, std::uint8_t packed,
                     std::uint8_t background = 0) {
        return Text("GIF").Text(version).Word(width).Word(height).Byte(packed).Byte(background).Byte(0);
    }
    GifBytes& Colors(std::span<const RgbTriple> colors) {
        for (const RgbTriple& c : colors) Byte(c.red).Byte(c.green).Byte(c.blue);
        return *this;
    }
    GifBytes& Control(std::uint8_t packed, std::uint16_t delay, std::uint8_t transparentIndex) {
        return Byte(0x21).Byte(0xF9).Byte(4).Byte(packed).Word(delay).Byte(transparentIndex).Byte(0);
    }
    // An application extension with an 11-byte identifier and one data sub-block.
    GifBytes& Application(std::string_view identifier, std::span<const std::uint8_t> data) {
        Byte(0x21).Byte(0xFF).Byte(11).Text(identifier);
        return Byte(static_cast<std::uint8_t>(data.size())).Raw(data).Byte(0);
    }
    GifBytes& Loop(std::uint16_t count, std::string_view identifier = "NETSCAPE2.0") {
        std::vector<std::uint8_t> data;
        ByteWriter(data).U8(1).U16(count);
        return Application(identifier, data);
    }
    GifBytes& Comment(std::string_view text) {
        return Byte(0x21).Byte(0xFE).Byte(static_cast<std::uint8_t>(text.size())).Text(text).Byte(0);
    }
    GifBytes& Descriptor(std::uint16_t left, std::uint16_t top, std::uint16_t width, std::uint16_t height,
                         std::uint8_t packed) {
        return Byte(0x2C).Word(left).Word(top).Word(width).Word(height).Byte(packed);
    }
    // Minimum code size, then data in sub-blocks of at most chunk bytes, then the terminator.
    GifBytes& Data(std::uint8_t minimumCodeSize, std::span<const std::uint8_t> lzw, std::size_t chunk = 255) {
        Byte(minimumCodeSize);
        for (std::size_t at = 0; at < lzw.size(); at += chunk) {
            const std::size_t n = std::min(chunk, lzw.size() - at);
            Byte(static_cast<std::uint8_t>(n)).Raw(lzw.subspan(at, n));
        }
        return Byte(0);
    }
    GifBytes& Trailer() { return Byte(0x3B); }

    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }
    std::size_t Size() const { return bytes_.size(); }

private:
    std::vector<std::uint8_t> bytes_;
};

// Colour k of a test palette: distinct, easy to compute by hand.
inline RgbTriple TestColor(unsigned k) {
    return RgbTriple{static_cast<std::uint8_t>(k), static_cast<std::uint8_t>(255 - k),
                     static_cast<std::uint8_t>(k * 7)};
}
inline std::vector<RgbTriple> TestPalette(unsigned size) {
    std::vector<RgbTriple> colors;
    for (unsigned k = 0; k < size; ++k) colors.push_back(TestColor(k));
    return colors;
}
inline PixelValue TestPixel(unsigned k) {
    const RgbTriple c = TestColor(k);
    return MakePixel(c.red, c.green, c.blue);
}

// Reads, decodes and builds pixels in one go; ReadGif's result.
inline Status ReadAll(GifFile& gif, std::span<const std::uint8_t> bytes) {
    Status result = gif.ReadGif(bytes);
    if (result) {
        gif.DecodeImages();
        gif.BuildPixelBuffers();
    }
    return result;
}

// Pixels of a buffer, rows top-down.
inline std::vector<PixelValue> PixelsOf(const PackedDib& dib) {
    std::vector<PixelValue> pixels;
    for (int y = 0; y < dib.Height(); ++y) {
        for (int x = 0; x < dib.Width(); ++x) pixels.push_back(dib.GetPixel(x, y));
    }
    return pixels;
}

}  // namespace vantrel::test
