// PngCodec: PNG files written by libpng itself read back to the pixels they
// were written from; damaged and oversized files fail with a reason.

#include <gtest/gtest.h>
#include <png.h>

#include <csetjmp>
#include <cstdint>
#include <fstream>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "codec/PngCodec.h"
#include "support/TestPaths.h"

namespace vantrel {
namespace {

// What the test writes: samples one per value, in the file's own channel
// order (grey, grey+alpha, RGB, RGBA, or palette indices), row by row.
struct PngPicture {
    int width = 0;
    int height = 0;
    int colorType = PNG_COLOR_TYPE_RGB;
    int bitDepth = 8;
    bool interlaced = false;
    std::vector<png_color> palette;
    std::vector<png_byte> paletteAlpha;  // tRNS entries for the first palette colours
    std::vector<unsigned> samples;
    // Only the header and an empty IDAT chunk (for files that announce more
    // than they hold).
    bool headerOnly = false;
};

int Channels(int colorType) {
    switch (colorType) {
    case PNG_COLOR_TYPE_GRAY:
    case PNG_COLOR_TYPE_PALETTE: return 1;
    case PNG_COLOR_TYPE_GRAY_ALPHA: return 2;
    case PNG_COLOR_TYPE_RGB: return 3;
    default: return 4;
    }
}

void AppendBytes(png_structp png, png_bytep data, std::size_t size) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + size);
}

void Flush(png_structp) {}

// CRC-32 as PNG chunks use it (polynomial 0xEDB88320), bit by bit.
std::uint32_t Crc32(const std::uint8_t* data, std::size_t size) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// A chunk: length, type, data, the CRC of type and data.
void AppendChunk(std::vector<std::uint8_t>& out, const char (&type)[5], std::span<const std::uint8_t> data) {
    std::vector<std::uint8_t> typeAndData(type, type + 4);
    typeAndData.insert(typeAndData.end(), data.begin(), data.end());
    const std::uint32_t crc = Crc32(typeAndData.data(), typeAndData.size());
    const auto length = std::uint32_t(data.size());
    out.insert(out.end(), {std::uint8_t(length >> 24), std::uint8_t(length >> 16), std::uint8_t(length >> 8),
                           std::uint8_t(length)});
    out.insert(out.end(), typeAndData.begin(), typeAndData.end());
    out.insert(out.end(), {std::uint8_t(crc >> 24), std::uint8_t(crc >> 16), std::uint8_t(crc >> 8), std::uint8_t(crc)});
}

// A chunk without data: length 0, the type, the CRC of the type.
void AppendEmptyChunk(std::vector<std::uint8_t>& out, const char (&type)[5]) { AppendChunk(out, type, {}); }

// Hands picture and its packed rows to libpng; false when libpng fails.
bool WriteRows(png_structp png, png_infop info, const PngPicture& picture, std::vector<png_bytep>& rows,
               std::vector<std::uint8_t>& out) {
    if (setjmp(png_jmpbuf(png)) != 0) return false;
    png_set_write_fn(png, &out, AppendBytes, Flush);
    png_set_IHDR(png, info, png_uint_32(picture.width), png_uint_32(picture.height), picture.bitDepth,
                 picture.colorType, picture.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!picture.palette.empty()) png_set_PLTE(png, info, picture.palette.data(), int(picture.palette.size()));
    if (!picture.paletteAlpha.empty())
        png_set_tRNS(png, info, picture.paletteAlpha.data(), int(picture.paletteAlpha.size()), nullptr);
    png_write_info(png, info);
    if (picture.headerOnly) return true;
    if (picture.bitDepth < 8) png_set_packing(png);
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    return true;
}

// The PNG file libpng writes for picture; depths below 8 are packed by
// libpng from one byte per sample, 16-bit samples are given big-endian.
std::vector<std::uint8_t> WriteWithLibpng(const PngPicture& picture) {
    const int channels = Channels(picture.colorType);
    const std::size_t rowBytes = std::size_t(picture.width * channels) * (picture.bitDepth == 16 ? 2 : 1);
    std::vector<std::vector<png_byte>> rows(picture.headerOnly ? 0 : std::size_t(picture.height));
    for (std::size_t y = 0; y < rows.size(); ++y) {
        auto& row = rows[y];
        row.reserve(rowBytes);
        for (int i = 0; i < picture.width * channels; ++i) {
            const unsigned value = picture.samples[y * std::size_t(picture.width * channels) + std::size_t(i)];
            if (picture.bitDepth == 16) row.push_back(png_byte(value >> 8));
            row.push_back(png_byte(value & 0xFF));
        }
    }
    std::vector<png_bytep> pointers;
    for (auto& row : rows) pointers.push_back(row.data());
    std::vector<std::uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (!WriteRows(png, info, picture, pointers, out)) {
        ADD_FAILURE() << "libpng refused to write the test picture";
        out.clear();
    }
    png_destroy_write_struct(&png, &info);
    if (picture.headerOnly) AppendEmptyChunk(out, "IDAT");
    return out;
}

// Expected pixel for one pixel's samples.
using ExpectedPixel = std::function<PixelValue(const unsigned* samples)>;

struct ReadCase {
    const char* name;
    PngPicture picture;
    ExpectedPixel expected;
};

// Samples of a w x h picture with n channels, each value a different mix of
// x, y and channel, kept below limit.
std::vector<unsigned> Pattern(int width, int height, int channels, unsigned limit, unsigned scale = 1) {
    std::vector<unsigned> samples;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < channels; ++c)
                samples.push_back(((unsigned(x) * 37 + unsigned(y) * 91 + unsigned(c) * 53) % limit) * scale);
    return samples;
}

PngPicture Picture(int width, int height, int colorType, int bitDepth, std::vector<unsigned> samples) {
    PngPicture p;
    p.width = width;
    p.height = height;
    p.colorType = colorType;
    p.bitDepth = bitDepth;
    p.samples = std::move(samples);
    return p;
}

std::uint8_t Inverse(unsigned alpha) { return static_cast<std::uint8_t>(255 - alpha); }
std::uint8_t Byte(unsigned v) { return static_cast<std::uint8_t>(v); }

std::vector<ReadCase> ReadCases() {
    std::vector<ReadCase> cases;
    std::vector<unsigned> rgba = Pattern(7, 5, 4, 256);
    rgba[3] = 0;  // one fully transparent and one opaque pixel at least
    rgba[7] = 255;
    cases.push_back({"8-bit RGBA", Picture(7, 5, PNG_COLOR_TYPE_RGBA, 8, rgba),
                     [](const unsigned* s) { return MakePixel(Byte(s[0]), Byte(s[1]), Byte(s[2]), Inverse(s[3])); }});
    // 16-bit samples that are 257 times an 8-bit value scale back to exactly it.
    cases.push_back({"16-bit RGBA", Picture(6, 4, PNG_COLOR_TYPE_RGBA, 16, Pattern(6, 4, 4, 256, 257)),
                     [](const unsigned* s) {
                         return MakePixel(Byte(s[0] / 257), Byte(s[1] / 257), Byte(s[2] / 257), Inverse(s[3] / 257));
                     }});
    cases.push_back({"16-bit RGB", Picture(5, 3, PNG_COLOR_TYPE_RGB, 16, Pattern(5, 3, 3, 256, 257)),
                     [](const unsigned* s) { return MakePixel(Byte(s[0] / 257), Byte(s[1] / 257), Byte(s[2] / 257)); }});
    cases.push_back({"8-bit grey+alpha", Picture(6, 6, PNG_COLOR_TYPE_GRAY_ALPHA, 8, Pattern(6, 6, 2, 256)),
                     [](const unsigned* s) { return MakePixel(Byte(s[0]), Byte(s[0]), Byte(s[0]), Inverse(s[1])); }});
    // Two-bit grey levels 0..3 stand for 0, 85, 170, 255.
    cases.push_back({"2-bit grey", Picture(9, 2, PNG_COLOR_TYPE_GRAY, 2, Pattern(9, 2, 1, 4)),
                     [](const unsigned* s) { return MakePixel(Byte(s[0] * 85), Byte(s[0] * 85), Byte(s[0] * 85)); }});

    ReadCase palette{"palette with tRNS", Picture(8, 3, PNG_COLOR_TYPE_PALETTE, 4, Pattern(8, 3, 1, 3)), {}};
    palette.picture.palette = {{200, 10, 20}, {30, 220, 40}, {50, 60, 240}};
    palette.picture.paletteAlpha = {0, 100};  // the third colour has no entry: opaque
    palette.expected = [](const unsigned* s) {
        static const PixelValue kColours[] = {MakePixel(200, 10, 20, 255), MakePixel(30, 220, 40, 155),
                                              MakePixel(50, 60, 240, 0)};
        return kColours[s[0]];
    };
    cases.push_back(palette);

    // 13 x 11 gives every one of the seven passes some pixels.
    ReadCase interlaced{"interlaced 8-bit RGB", Picture(13, 11, PNG_COLOR_TYPE_RGB, 8, Pattern(13, 11, 3, 256)),
                        [](const unsigned* s) { return MakePixel(Byte(s[0]), Byte(s[1]), Byte(s[2])); }};
    interlaced.picture.interlaced = true;
    cases.push_back(interlaced);
    ReadCase interlacedAlpha{"interlaced 16-bit grey+alpha",
                             Picture(10, 9, PNG_COLOR_TYPE_GRAY_ALPHA, 16, Pattern(10, 9, 2, 256, 257)),
                             [](const unsigned* s) {
                                 const auto g = Byte(s[0] / 257);
                                 return MakePixel(g, g, g, Inverse(s[1] / 257));
                             }};
    interlacedAlpha.picture.interlaced = true;
    cases.push_back(interlacedAlpha);
    return cases;
}

TEST(PngCodecTest, ReadsWhatLibpngWrote) {
    for (const ReadCase& c : ReadCases()) {
        SCOPED_TRACE(c.name);
        const std::vector<std::uint8_t> bytes = WriteWithLibpng(c.picture);
        ASSERT_FALSE(bytes.empty());
        PngCodec codec;
        const Status status = codec.ReadPng(bytes);
        ASSERT_TRUE(status.ok()) << status.message();
        const std::unique_ptr<PackedDib> image = codec.TakeImage();
        ASSERT_TRUE(image);
        ASSERT_EQ(image->Width(), c.picture.width);
        ASSERT_EQ(image->Height(), c.picture.height);
        const int channels = Channels(c.picture.colorType);
        int wrong = 0;
        for (int y = 0; y < c.picture.height; ++y) {
            for (int x = 0; x < c.picture.width; ++x) {
                const unsigned* s = &c.picture.samples[std::size_t((y * c.picture.width + x) * channels)];
                const PixelValue want = c.expected(s);
                if (image->Row(y)[x] != want && ++wrong <= 3)
                    ADD_FAILURE() << "pixel " << x << "," << y << ": " << std::hex << image->Row(y)[x]
                                  << " instead of " << want;
            }
        }
        EXPECT_EQ(wrong, 0);
    }
}

// The RGBA fixture really holds fully transparent, opaque and partial
// pixels, so that all three are checked above.
TEST(PngCodecTest, RgbaFixtureCoversAlphaExtremes) {
    const PngPicture rgba = ReadCases().front().picture;
    ASSERT_EQ(rgba.colorType, PNG_COLOR_TYPE_RGBA);
    bool zero = false, full = false, partial = false;
    for (std::size_t i = 3; i < rgba.samples.size(); i += 4) {
        zero |= rgba.samples[i] == 0;
        full |= rgba.samples[i] == 255;
        partial |= rgba.samples[i] > 0 && rgba.samples[i] < 255;
    }
    EXPECT_TRUE(zero && full && partial);
}

std::vector<std::uint8_t> NoisePng(int width, int height) {
    std::vector<unsigned> samples;
    std::uint32_t state = 12345;
    for (int i = 0; i < width * height * 3; ++i) {
        state = state * 1103515245u + 12345u;
        samples.push_back((state >> 16) & 0xFF);
    }
    return WriteWithLibpng(Picture(width, height, PNG_COLOR_TYPE_RGB, 8, samples));
}

TEST(PngCodecTest, TruncatedFilesBeforeTheFirstRowFail) {
    const std::vector<std::uint8_t> whole = NoisePng(40, 40);
    ASSERT_TRUE(PngCodec().ReadPng(whole).ok());
    struct Cut {
        std::size_t size;
        const char* reason;
    };
    for (const Cut cut : {Cut{60, "cut short"}, Cut{40, "cut short"}, Cut{5, "not a PNG file"},
                          Cut{0, "not a PNG file"}}) {
        SCOPED_TRACE(cut.size);
        PngCodec codec;
        const Status status = codec.ReadPng(std::span(whole.data(), cut.size));
        EXPECT_FALSE(status.ok());
        EXPECT_NE(status.message().find(cut.reason), std::string::npos) << status.message();
        EXPECT_EQ(codec.TakeImage(), nullptr);
    }
}

// A file cut anywhere in its image data once rows are whole (libpng reads
// an image data chunk whole, and writes them 8 KiB long): the rows read are
// the whole file's, the rest transparent, and the cut is told. Rows kept
// grow with the cut; an interlaced file cut short is refused.
TEST(PngCodecTest, TruncatedFilesKeepTheirWholeRows) {
    constexpr int kSide = 128;
    const std::vector<std::uint8_t> whole = NoisePng(kSide, kSide);
    PngCodec reference;
    ASSERT_TRUE(reference.ReadPng(whole).ok());
    EXPECT_FALSE(reference.cutShort());
    const auto full = reference.TakeImage();
    int lastKept = 0;
    int opened = 0;
    for (std::size_t cut = 60; cut + 12 < whole.size(); cut += 61) {  // the last 12 bytes: IEND
        PngCodec codec;
        const Status status = codec.ReadPng(std::span(whole.data(), cut));
        if (!status.ok()) {
            EXPECT_EQ(lastKept, 0) << "refused after rows were kept, cut " << cut;
            continue;
        }
        ++opened;
        EXPECT_TRUE(codec.cutShort()) << cut;
        const auto image = codec.TakeImage();
        int kept = 0;
        while (kept < kSide && TransparencyOf(image->GetPixel(0, kept)) != 255) ++kept;
        for (int y = 0; y < kSide; ++y)
            for (int x = 0; x < kSide; ++x)
                ASSERT_EQ(image->GetPixel(x, y), y < kept ? full->GetPixel(x, y) : MakePixel(0, 0, 0, 255))
                    << "cut " << cut << " at " << x << "," << y;
        EXPECT_GE(kept, lastKept) << cut;
        lastKept = kept;
    }
    EXPECT_GT(opened, 0);
    EXPECT_GT(lastKept, kSide / 2);
    EXPECT_LT(lastKept, kSide);

    std::vector<unsigned> samples(std::size_t{kSide} * kSide * 3, 77);
    PngPicture interlaced = Picture(kSide, kSide, PNG_COLOR_TYPE_RGB, 8, samples);
    interlaced.interlaced = true;
    const auto bytes = WriteWithLibpng(interlaced);
    PngCodec codec;
    EXPECT_FALSE(codec.ReadPng(std::span(bytes.data(), bytes.size() - 20)).ok());
    EXPECT_FALSE(codec.cutShort());
}

TEST(PngCodecTest, DamagedImageDataFailsWithLibpngsReason) {
    std::vector<std::uint8_t> bytes = NoisePng(30, 30);
    // The first byte after IHDR's chunk (8 + 25) and the next chunk header is in IDAT's data.
    bytes[8 + 25 + 8 + 20] ^= 0x55;
    const Status status = PngCodec().ReadPng(bytes);
    EXPECT_FALSE(status.ok());
    EXPECT_FALSE(status.message().empty());
}

TEST(PngCodecTest, OversizedHeaderIsRefusedBeforeReadingPixels) {
    PngPicture huge = Picture(20000, 20000, PNG_COLOR_TYPE_RGBA, 8, {});
    huge.headerOnly = true;
    const Status status = PngCodec().ReadPng(WriteWithLibpng(huge));
    EXPECT_FALSE(status.ok());
    EXPECT_NE(status.message().find("20000 x 20000"), std::string::npos) << status.message();
    EXPECT_NE(status.message().find("limit"), std::string::npos) << status.message();

    // The limit is the codec's: one pixel over it is refused, exactly at it is read.
    const auto small = WriteWithLibpng(Picture(3, 2, PNG_COLOR_TYPE_GRAY, 8, Pattern(3, 2, 1, 256)));
    PngCodec codec;
    codec.SetMaxPixels(5);
    EXPECT_FALSE(codec.ReadPng(small).ok());
    codec.SetMaxPixels(6);
    EXPECT_TRUE(codec.ReadPng(small).ok());
}

TEST(PngCodecTest, FileErrorsNameThePath) {
    const auto dir = test::ScratchDir("png-codec");
    const auto path = dir / "cut.png";
    const auto whole = NoisePng(20, 20);
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(whole.data()), 60);
    const Status status = PngCodec().ReadPng(path);
    ASSERT_FALSE(status.ok());
    EXPECT_EQ(status.message().rfind(path.string() + ": ", 0), 0u) << status.message();
    EXPECT_FALSE(PngCodec().ReadPng(dir / "missing.png").ok());
}

// The signature and IHDR chunk (8 + 25 bytes) of a libpng file, then the
// chunks given, then the rest of the file.
std::vector<std::uint8_t> WithChunksAfterHeader(const std::vector<std::uint8_t>& png,
                                                const std::vector<std::uint8_t>& chunks) {
    constexpr std::size_t kHeaderEnd = 8 + 25;
    std::vector<std::uint8_t> out(png.begin(), png.begin() + kHeaderEnd);
    out.insert(out.end(), chunks.begin(), chunks.end());
    out.insert(out.end(), png.begin() + kHeaderEnd, png.end());
    return out;
}

// 41 bytes: a PNG signature, the IHDR of a 1 x 1 RGBA picture, and the header
// of a chunk of the given type that claims 2 GiB of data.
std::vector<std::uint8_t> ChunkBomb(const char (&type)[5]) {
    std::vector<std::uint8_t> bytes = WriteWithLibpng(Picture(1, 1, PNG_COLOR_TYPE_RGBA, 8, {1, 2, 3, 4}));
    bytes.resize(8 + 25);
    bytes.insert(bytes.end(), {0x7F, 0xFF, 0xFF, 0xFF});
    bytes.insert(bytes.end(), type, type + 4);
    return bytes;
}

constexpr const char kChunkTypes[][5] = {"tEXt", "zTXt", "iTXt", "sPLT", "iCCP", "eXIf", "PLTE", "IDAT", "abCd"};

// Each libpng once took as a warning and went on, allocating and clearing
// the 2 GiB it claims. Refused now, whatever the type.
TEST(PngCodecTest, ChunkClaimingGigabytesIsRefused) {
    for (const auto& type : kChunkTypes) {
        SCOPED_TRACE(type);
        const std::vector<std::uint8_t> bomb = ChunkBomb(type);
        ASSERT_EQ(bomb.size(), 41u);
        PngCodec codec;
        const Status status = codec.ReadPng(bomb);
        EXPECT_FALSE(status.ok());
        EXPECT_EQ(status.message(), std::string(type) + ": chunk data is too large");
        EXPECT_EQ(codec.TakeImage(), nullptr);
    }
}

// Reading the bombs does not even touch what they claim: the peak memory of
// the process grows by a few MiB at most. (The sanitizers keep memory of
// their own, so they skip it.)
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
// The most memory this process has held so far, in KiB (VmHWM).
long PeakResidentKiB() {
    std::ifstream status("/proc/self/status");
    std::string word;
    while (status >> word) {
        if (word == "VmHWM:") {
            long kib = 0;
            status >> kib;
            return kib;
        }
    }
    return -1;
}

TEST(PngCodecTest, ChunkBombsAreRefusedWithinAFewMegabytes) {
    std::vector<std::vector<std::uint8_t>> bombs;
    for (const auto& type : kChunkTypes) bombs.push_back(ChunkBomb(type));
    const long before = PeakResidentKiB();
    ASSERT_GT(before, 0);
    for (const auto& bomb : bombs) EXPECT_FALSE(PngCodec().ReadPng(bomb).ok());
    EXPECT_LT(PeakResidentKiB() - before, 16 * 1024);
}
#endif

// A chunk over the allocation limit is refused even when all its bytes are
// there; one below it is read past.
TEST(PngCodecTest, ChunkOverTheLimitIsRefusedOneBelowIsSkipped) {
    const std::vector<std::uint8_t> png = NoisePng(8, 8);
    std::vector<std::uint8_t> text(std::size_t{1} << 20, 'a');
    text[0] = 'k';
    text[1] = 0;  // keyword "k", then the text
    std::vector<std::uint8_t> chunk;
    AppendChunk(chunk, "tEXt", text);
    PngCodec codec;
    ASSERT_TRUE(codec.ReadPng(WithChunksAfterHeader(png, chunk)).ok());

    text.resize(kMaxPngChunkBytes + 1, 'a');
    chunk.clear();
    AppendChunk(chunk, "tEXt", text);
    const Status status = codec.ReadPng(WithChunksAfterHeader(png, chunk));
    EXPECT_FALSE(status.ok());
    EXPECT_EQ(status.message(), "tEXt: chunk data is too large");
}

// Damage libpng forgives with a warning only when it is asked to: in chunks
// the picture never uses it costs nothing (they are skipped unread); in what
// the picture needs it is an error, not a picture read from guesses.
TEST(PngCodecTest, BenignErrorsAreErrorsWhereThePictureNeedsTheChunk) {
    const std::vector<std::uint8_t> png = NoisePng(8, 8);
    PngCodec plain;
    ASSERT_TRUE(plain.ReadPng(png).ok());
    const std::unique_ptr<PackedDib> expected = plain.TakeImage();

    const std::uint8_t garbage[] = {'x', 'y', 0, 0, 0x12, 0x34, 0x56};
    const std::uint8_t shortGamma[] = {0, 1, 2};
    const std::uint8_t trns[] = {0, 1, 0, 2, 0, 3};  // an RGB picture's transparent colour
    struct Case {
        const char* name;
        std::vector<std::uint8_t> chunks;
        const char* refusal;  // null: the picture reads as it is
    };
    std::vector<Case> cases;
    {
        std::vector<std::uint8_t> c;
        AppendChunk(c, "iCCP", garbage);  // a profile that does not inflate
        cases.push_back({"damaged colour profile", c, nullptr});
    }
    {
        std::vector<std::uint8_t> c;
        AppendChunk(c, "gAMA", shortGamma);  // gAMA holds four bytes
        AppendChunk(c, "gAMA", shortGamma);  // and only once
        cases.push_back({"damaged and repeated gamma", c, nullptr});
    }
    {
        std::vector<std::uint8_t> c;
        AppendChunk(c, "zTXt", garbage);
        AppendChunk(c, "iTXt", garbage);
        cases.push_back({"damaged texts", c, nullptr});
    }
    {
        std::vector<std::uint8_t> c;
        AppendChunk(c, "tRNS", trns);
        AppendChunk(c, "tRNS", trns);
        cases.push_back({"tRNS twice", c, "tRNS: duplicate"});
    }
    {
        std::vector<std::uint8_t> c;
        AppendChunk(c, "tRNS", shortGamma);  // an RGB picture's tRNS holds six bytes
        cases.push_back({"tRNS of the wrong length", c, "tRNS: invalid"});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PngCodec codec;
        const Status status = codec.ReadPng(WithChunksAfterHeader(png, c.chunks));
        if (c.refusal == nullptr) {
            ASSERT_TRUE(status.ok()) << status.message();
            const std::unique_ptr<PackedDib> image = codec.TakeImage();
            for (int y = 0; y < 8; ++y)
                for (int x = 0; x < 8; ++x) ASSERT_EQ(image->Row(y)[x], expected->Row(y)[x]) << x << "," << y;
        } else {
            EXPECT_FALSE(status.ok());
            EXPECT_EQ(status.message(), c.refusal);
        }
    }
}

}  // namespace
}  // namespace vantrel
