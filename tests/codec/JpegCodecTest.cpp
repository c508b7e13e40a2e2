#include "codec/JpegCodec.h"
#include "support/StatusAssert.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "support/TestPaths.h"

// jpeglib.h needs FILE and size_t declared first. The fixtures are made and
// checked with libjpeg directly, independently of the codec under test.
#include <jpeglib.h>

namespace vantrel {
namespace {

namespace fs = std::filesystem;

using Bytes = std::vector<std::uint8_t>;

// ---------------------------------------------------------------------------
// Fixtures made with libjpeg's compressor.

struct FixtureOptions {
    J_COLOR_SPACE input = JCS_RGB;       // colour space of the samples
    int components = 3;                  // samples per pixel
    J_COLOR_SPACE file = JCS_UNKNOWN;    // colour space stored in the file; JCS_UNKNOWN: libjpeg's default
    bool dropAdobeMarker = false;        // libjpeg writes one for CMYK and YCCK files
    bool progressive = false;
    int quality = 100;
};

Bytes CompressWithLibjpeg(int width, int height, const Bytes& samples, const FixtureOptions& options) {
    EXPECT_EQ(samples.size(), std::size_t(width * height * options.components));
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr errors{};
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = JDIMENSION(width);
    cinfo.image_height = JDIMENSION(height);
    cinfo.input_components = options.components;
    cinfo.in_color_space = options.input;
    jpeg_set_defaults(&cinfo);
    if (options.file != JCS_UNKNOWN) jpeg_set_colorspace(&cinfo, options.file);
    if (options.dropAdobeMarker) cinfo.write_Adobe_marker = FALSE;
    jpeg_set_quality(&cinfo, options.quality, TRUE);
    if (options.progressive) jpeg_simple_progression(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    const std::size_t stride = std::size_t(width * options.components);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPLE*>(samples.data() + cinfo.next_scanline * stride);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    Bytes out(buffer, buffer + size);
    std::free(buffer);
    return out;
}

// A flat picture: every pixel the same samples.
Bytes FlatSamples(int width, int height, const std::vector<std::uint8_t>& pixel) {
    Bytes samples;
    for (int i = 0; i < width * height; ++i) samples.insert(samples.end(), pixel.begin(), pixel.end());
    return samples;
}

// An RGB picture with some variation, so that its entropy-coded data is long.
Bytes PatternSamples(int width, int height) {
    Bytes samples;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            samples.insert(samples.end(), {std::uint8_t(x * 5), std::uint8_t(y * 7), std::uint8_t((x ^ y) * 9)});
    return samples;
}

// What libjpeg itself reads from a JPEG stream: RGB rows from the first scan
// line, the luminance quantisation table (natural order) and the frame type.
struct LibjpegView {
    int width = 0;
    int height = 0;
    Bytes rgb;
    std::array<unsigned, DCTSIZE2> lumaTable{};
    bool progressive = false;
};

LibjpegView DecodeWithLibjpeg(const Bytes& jpeg) {
    LibjpegView view;
    jpeg_decompress_struct cinfo{};
    jpeg_error_mgr errors{};
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, jpeg.data(), jpeg.size());
    jpeg_read_header(&cinfo, TRUE);
    for (int i = 0; i < DCTSIZE2; ++i) view.lumaTable[std::size_t(i)] = cinfo.quant_tbl_ptrs[0]->quantval[i];
    view.progressive = cinfo.progressive_mode != 0;
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    view.width = int(cinfo.output_width);
    view.height = int(cinfo.output_height);
    view.rgb.resize(std::size_t(view.width * view.height * 3));
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = view.rgb.data() + std::size_t(cinfo.output_scanline) * std::size_t(view.width * 3);
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return view;
}

// Offset of the first byte after a marker code (its segment length), or 0.
// Entropy-coded data never holds FF followed by a segment's marker code, and
// in these fixtures no header segment holds such a pair before the marker.
std::size_t FindMarker(const Bytes& jpeg, std::uint8_t code) {
    for (std::size_t i = 0; i + 1 < jpeg.size(); ++i)
        if (jpeg[i] == 0xFF && jpeg[i + 1] == code) return i + 2;
    return 0;
}

int Distance(PixelValue a, PixelValue b) {
    return std::max({std::abs(RedOf(a) - RedOf(b)), std::abs(GreenOf(a) - GreenOf(b)),
                     std::abs(BlueOf(a) - BlueOf(b))});
}

int Distance(PixelValue a, const std::uint8_t* rgb) {
    return Distance(a, MakePixel(rgb[0], rgb[1], rgb[2]));
}

std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void Spit(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

Bytes SlurpBytes(const fs::path& path) {
    const std::string text = Slurp(path);
    return {text.begin(), text.end()};
}

long FilesIn(const fs::path& dir) { return long(std::distance(fs::directory_iterator(dir), fs::directory_iterator())); }

// ---------------------------------------------------------------------------
// Round trips and quality.

// A 64 x 64 picture of four flat 32 x 32 quadrants; every 16 x 16 block
// (the colour subsampling unit) lies inside one quadrant.
constexpr std::array<PixelValue, 4> kQuadrantColors = {0x00C81E28, 0x0014A03C, 0x00283CDC, 0x00E6DC5A};
constexpr int kQuadrantSide = 64;

PixelValue QuadrantColor(int x, int y) {
    return kQuadrantColors[std::size_t((y >= kQuadrantSide / 2) * 2 + (x >= kQuadrantSide / 2))];
}

PackedDib MakeQuadrants() {
    PackedDib image;
    EXPECT_TRUE(image.SetSize(kQuadrantSide, kQuadrantSide));
    for (int y = 0; y < kQuadrantSide; ++y) {
        PixelValue* row = image.Row(y);
        for (int x = 0; x < kQuadrantSide; ++x) row[x] = QuadrantColor(x, y);
    }
    return image;
}

// Pixels next to a quadrant border take some colour of the neighbour when
// the subsampled colour is smoothed back up; the rest must stay flat.
bool NearQuadrantBorder(int x, int y) {
    constexpr int kBorder = kQuadrantSide / 2;
    return std::abs(x - kBorder) <= 2 || std::abs(y - kBorder) <= 2 || std::abs(x + 1 - kBorder) <= 2 ||
           std::abs(y + 1 - kBorder) <= 2;
}

struct RoundTripCase {
    int quality;
    int tolerance;  // largest channel error away from the quadrant borders
};

void PrintTo(const RoundTripCase& c, std::ostream* os) {
    *os << "quality " << c.quality << ", tolerance " << c.tolerance;
}

class JpegRoundTrip : public testing::TestWithParam<RoundTripCase> {};

TEST_P(JpegRoundTrip, FlatAreasComeBackWithinTolerance) {
    const RoundTripCase c = GetParam();
    const PackedDib original = MakeQuadrants();
    JpegCodec codec(c.quality);
    Bytes jpeg;
    ASSERT_TRUE(test::Ok(codec.WriteJpeg(jpeg, original)));
    ASSERT_TRUE(test::Ok(codec.ReadJpeg(jpeg)));
    EXPECT_EQ(codec.warningCount(), 0);
    EXPECT_EQ(codec.firstWarning(), "");
    const std::unique_ptr<PackedDib> decoded = codec.TakeImage();
    ASSERT_NE(decoded, nullptr);
    EXPECT_EQ(codec.image(), nullptr);  // handed over
    ASSERT_EQ(decoded->Width(), kQuadrantSide);
    ASSERT_EQ(decoded->Height(), kQuadrantSide);
    int worst = 0;
    for (int y = 0; y < kQuadrantSide; ++y) {
        const PixelValue* row = decoded->Row(y);
        for (int x = 0; x < kQuadrantSide; ++x) {
            ASSERT_TRUE(IsOpaque(row[x])) << x << "," << y;
            if (!NearQuadrantBorder(x, y)) worst = std::max(worst, Distance(row[x], QuadrantColor(x, y)));
        }
    }
    EXPECT_LE(worst, c.tolerance) << "quality " << c.quality;
}

INSTANTIATE_TEST_SUITE_P(Qualities, JpegRoundTrip,
                         testing::Values(RoundTripCase{0, 40}, RoundTripCase{5, 4}, RoundTripCase{10, 2}),
                         [](const testing::TestParamInfo<RoundTripCase>& info) {
                             return "Quality" + std::to_string(info.param.quality);
                         });

// The standard luminance table, which libjpeg uses unscaled at its quality 50.
constexpr std::array<unsigned, DCTSIZE2> kStandardLumaTable = {
    16, 11, 10, 16, 24,  40,  51,  61,  12, 12, 14, 19, 26,  58,  60,  55,  14, 13, 16, 24, 40, 57,
    69, 56, 14, 17, 22,  29,  51,  87,  80, 62, 18, 22, 37,  56,  68,  109, 103, 77, 24, 35, 55, 64,
    81, 104, 113, 92, 49, 64, 78, 87, 103, 121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99};

TEST(JpegCodec, QualityScalesTheQuantisationTables) {
    std::array<unsigned, DCTSIZE2> all255{};
    std::array<unsigned, DCTSIZE2> all1{};
    all255.fill(255);  // libjpeg quality 1 (0 is raised to 1), clamped to 8 bits for baseline
    all1.fill(1);      // libjpeg quality 100
    const struct {
        int quality;
        const std::array<unsigned, DCTSIZE2>* table;
    } cases[] = {{0, &all255}, {5, &kStandardLumaTable}, {10, &all1}};
    for (const auto& c : cases) {
        JpegCodec codec(c.quality);
        Bytes jpeg;
        ASSERT_TRUE(test::Ok(codec.WriteJpeg(jpeg, MakeQuadrants())));
        const LibjpegView view = DecodeWithLibjpeg(jpeg);
        EXPECT_EQ(view.lumaTable, *c.table) << "quality " << c.quality;
        // Baseline: a SOF0 frame, with its quantisation and Huffman tables.
        EXPECT_GT(FindMarker(jpeg, 0xC0), 0u) << "quality " << c.quality;
        EXPECT_GT(FindMarker(jpeg, 0xDB), 0u);
        EXPECT_GT(FindMarker(jpeg, 0xC4), 0u);
        EXPECT_FALSE(view.progressive);
    }
}

TEST(JpegCodec, QualityIsClampedToItsScale) {
    const struct {
        int requested;
        int kept;
    } cases[] = {{-3, 0}, {0, 0}, {7, 7}, {10, 10}, {42, 10}};
    for (const auto& c : cases) {
        JpegCodec codec;
        codec.SetQuality(c.requested);
        EXPECT_EQ(codec.quality(), c.kept) << c.requested;
    }
}

// Greys carry no colour, so colour subsampling cannot blur them: a 3 x 2
// picture of six greys keeps every pixel at the highest quality.
constexpr std::array<std::uint8_t, 6> kGreys = {250, 170, 90, 10, 130, 210};  // rows from the top

TEST(JpegCodec, FirstScanLineIsTheTopRowWhenReading) {
    Bytes samples;
    for (std::uint8_t g : kGreys) samples.insert(samples.end(), {g, g, g});
    JpegCodec codec;
    ASSERT_TRUE(test::Ok(codec.ReadJpeg(CompressWithLibjpeg(3, 2, samples, {}))));
    const PackedDib* image = codec.image();
    ASSERT_EQ(image->Width(), 3);
    ASSERT_EQ(image->Height(), 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            const std::uint8_t g = kGreys[std::size_t(y * 3 + x)];
            EXPECT_LE(Distance(image->GetPixel(x, y), MakePixel(g, g, g)), 2) << x << "," << y;
        }
}

TEST(JpegCodec, TopRowBecomesTheFirstScanLineWhenWriting) {
    PackedDib image;
    ASSERT_TRUE(image.SetSize(3, 2));
    ASSERT_TRUE(image.Lock());
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            const std::uint8_t g = kGreys[std::size_t(y * 3 + x)];
            image.SetPixel(x, y, MakePixel(g, g, g));
        }
    image.Unlock();
    JpegCodec codec(10);
    Bytes jpeg;
    ASSERT_TRUE(test::Ok(codec.WriteJpeg(jpeg, image)));
    const LibjpegView view = DecodeWithLibjpeg(jpeg);
    ASSERT_EQ(view.width, 3);
    ASSERT_EQ(view.height, 2);
    for (std::size_t i = 0; i < kGreys.size(); ++i)
        EXPECT_LE(Distance(MakePixel(kGreys[i], kGreys[i], kGreys[i]), &view.rgb[i * 3]), 2) << i;
}

TEST(JpegCodec, TransparencyByteIsNotWritten) {
    PackedDib opaque = MakeQuadrants();
    PackedDib transparent = MakeQuadrants();
    for (int y = 0; y < kQuadrantSide; ++y) {
        PixelValue* row = transparent.Row(y);
        for (int x = 0; x < kQuadrantSide; ++x) row[x] |= PixelValue{255} << 24;
    }
    JpegCodec codec(7);
    Bytes a;
    Bytes b;
    ASSERT_TRUE(test::Ok(codec.WriteJpeg(a, opaque)));
    ASSERT_TRUE(test::Ok(codec.WriteJpeg(b, transparent)));
    EXPECT_FALSE(a.empty());
    EXPECT_EQ(a, b);
}

// ---------------------------------------------------------------------------
// Colour spaces.

struct ColorSpaceCase {
    const char* name;
    FixtureOptions options;
    std::vector<std::uint8_t> samples;  // one pixel, as stored
    PixelValue expected;
};

// The ink amounts cyan 0, magenta 128, yellow 255, black 64 let through the
// light 255 - ink per ink: red = 255 * 191 / 255 = 191,
// green = 127 * 191 / 255 = 95, blue = 0 * 191 / 255 = 0.
constexpr PixelValue kInkResult = 0x00BF5F00;

TEST(JpegCodec, ColourSpacesAreConvertedToRgb) {
    const ColorSpaceCase cases[] = {
        {"greyscale", {JCS_GRAYSCALE, 1}, {77}, 0x004D4D4D},
        {"YCbCr", {JCS_RGB, 3}, {200, 100, 50}, 0x00C86432},
        // Adobe files store every ink inverted: 255 - amount.
        {"Adobe CMYK", {JCS_CMYK, 4}, {255, 127, 0, 191}, kInkResult},
        {"plain CMYK", {JCS_CMYK, 4, JCS_UNKNOWN, true}, {0, 128, 255, 64}, kInkResult},
        {"Adobe YCCK", {JCS_CMYK, 4, JCS_YCCK}, {255, 127, 0, 191}, kInkResult},
    };
    for (const ColorSpaceCase& c : cases) {
        const Bytes jpeg = CompressWithLibjpeg(16, 16, FlatSamples(16, 16, c.samples), c.options);
        JpegCodec codec;
        ASSERT_TRUE(test::Ok(codec.ReadJpeg(jpeg))) << c.name;
        const PackedDib* image = codec.image();
        ASSERT_EQ(image->Width(), 16) << c.name;
        ASSERT_EQ(image->Height(), 16) << c.name;
        int worst = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const PixelValue p = image->GetPixel(x, y);
                EXPECT_TRUE(IsOpaque(p));
                worst = std::max(worst, Distance(p, c.expected));
            }
        EXPECT_LE(worst, 3) << c.name;
    }
}

TEST(JpegCodec, TwoComponentFilesAreRefused) {
    const Bytes jpeg = CompressWithLibjpeg(8, 8, FlatSamples(8, 8, {10, 20}), {JCS_UNKNOWN, 2});
    JpegCodec codec;
    const Status read = codec.ReadJpeg(jpeg);
    EXPECT_FALSE(read.ok());
    EXPECT_EQ(codec.image(), nullptr);
    EXPECT_NE(read.message().find("2 components"), std::string::npos) << read.message();
}

// ---------------------------------------------------------------------------
// Damaged and hostile input.

TEST(JpegCodec, EveryTruncationEndsCleanly) {
    constexpr int kWidth = 48;
    constexpr int kHeight = 32;
    for (const bool progressive : {false, true}) {
        FixtureOptions options;
        options.progressive = progressive;
        options.quality = 90;
        const Bytes whole = CompressWithLibjpeg(kWidth, kHeight, PatternSamples(kWidth, kHeight), options);
        int refused = 0;
        int repaired = 0;
        int lastMissingFrom = 0;
        bool someRowsKept = false;
        for (std::size_t cut = 0; cut < whole.size(); ++cut) {
            JpegCodec codec;
            const Status result = codec.ReadJpeg(std::span(whole.data(), cut));
            if (!result) {
                ++refused;
                EXPECT_EQ(codec.image(), nullptr) << cut;
                EXPECT_FALSE(result.message().empty()) << cut;
                continue;
            }
            ++repaired;
            EXPECT_GE(codec.warningCount(), 1) << "cut at " << cut << " of " << whole.size();
            EXPECT_FALSE(codec.firstWarning().empty()) << cut;
            ASSERT_NE(codec.image(), nullptr);
            EXPECT_EQ(codec.image()->Width(), kWidth);
            EXPECT_EQ(codec.image()->Height(), kHeight);
            // A cut before the end of the data is told. The rows the file
            // never held are transparent, never a grey band: from a row of
            // MCUs (16 rows at libjpeg's default sampling) to the bottom,
            // moving down as the cut moves on.
            if (cut + 2 >= whole.size()) continue;  // only the end marker is lost
            EXPECT_TRUE(codec.cutShort()) << cut;
            int missingFrom = kHeight;
            while (missingFrom > 0 && TransparencyOf(codec.image()->GetPixel(0, missingFrom - 1)) == 255) --missingFrom;
            for (int y = 0; y < kHeight; ++y)
                for (int x = 0; x < kWidth; ++x)
                    ASSERT_EQ(TransparencyOf(codec.image()->GetPixel(x, y)), y < missingFrom ? 0 : 255)
                        << "cut " << cut << " at " << x << "," << y;
            EXPECT_EQ(missingFrom % 16, 0) << cut;
            EXPECT_GE(missingFrom, lastMissingFrom) << cut;
            lastMissingFrom = missingFrom;
            someRowsKept |= missingFrom > 0 && missingFrom < kHeight;
        }
        // A progressive file's first scan holds every row coarsely: a cut
        // in a later one keeps them all.
        if (progressive) {
            EXPECT_EQ(lastMissingFrom, kHeight);
        }
        EXPECT_TRUE(someRowsKept) << "progressive " << progressive;
        // Cuts in the header are refused; cuts in the image data are repaired.
        EXPECT_GT(refused, 0) << "progressive " << progressive;
        EXPECT_GT(repaired, 0) << "progressive " << progressive;
        JpegCodec codec;
        EXPECT_TRUE(test::Ok(codec.ReadJpeg(whole)));
        EXPECT_EQ(codec.warningCount(), 0);
        EXPECT_FALSE(codec.cutShort());
    }
}

TEST(JpegCodec, GarbageAndEmptyInputFail) {
    std::mt19937 random(20240611);
    Bytes noise(4096);
    for (auto& b : noise) b = std::uint8_t(random());
    Bytes soiThenNoise = noise;
    soiThenNoise[0] = 0xFF;
    soiThenNoise[1] = 0xD8;
    const std::string text = "GIF89a is not a JPEG";
    const struct {
        const char* name;
        Bytes bytes;
    } cases[] = {
        {"empty", {}},
        {"one byte", {0xFF}},
        {"bare SOI", {0xFF, 0xD8}},
        {"SOI and EOI", {0xFF, 0xD8, 0xFF, 0xD9}},
        {"text", Bytes(text.begin(), text.end())},
        {"noise", noise},
        {"SOI then noise", soiThenNoise},
    };
    for (const auto& c : cases) {
        JpegCodec codec;
        const Status read = codec.ReadJpeg(c.bytes);
        EXPECT_FALSE(read.ok()) << c.name;
        EXPECT_EQ(codec.TakeImage(), nullptr) << c.name;
        EXPECT_FALSE(read.message().empty()) << c.name;
    }
}

TEST(JpegCodec, HugeDeclaredSizeIsRefusedBeforeDecoding) {
    Bytes jpeg = CompressWithLibjpeg(8, 8, FlatSamples(8, 8, {1, 2, 3}), {});
    const std::size_t sof = FindMarker(jpeg, 0xC0);
    ASSERT_GT(sof, 0u);
    // Segment length (2), precision (1), height (2), width (2).
    constexpr std::uint8_t kHigh = 65000 >> 8;
    constexpr std::uint8_t kLow = 65000 & 0xFF;
    jpeg[sof + 3] = kHigh;
    jpeg[sof + 4] = kLow;
    jpeg[sof + 5] = kHigh;
    jpeg[sof + 6] = kLow;
    JpegCodec codec;
    const Status read = codec.ReadJpeg(jpeg);
    EXPECT_FALSE(read.ok());
    EXPECT_EQ(codec.image(), nullptr);
    EXPECT_NE(read.message().find("65000 x 65000"), std::string::npos) << read.message();
    EXPECT_NE(read.message().find("limit"), std::string::npos) << read.message();
}

// A progressive file whose last scan is repeated: libjpeg accepts the
// repeats with a warning each, so only the scan limit stops a small file from
// keeping the decoder busy.
Bytes WithRepeatedLastScan(int repeats) {
    FixtureOptions options;
    options.progressive = true;
    const Bytes whole = CompressWithLibjpeg(16, 16, PatternSamples(16, 16), options);
    std::size_t lastScan = 0;
    int scans = 0;
    for (std::size_t i = 0; i + 1 < whole.size(); ++i)
        if (whole[i] == 0xFF && whole[i + 1] == 0xDA) {
            lastScan = i;
            ++scans;
        }
    EXPECT_EQ(scans, 10);
    const std::size_t end = whole.size() - 2;  // the EOI marker
    Bytes out(whole.begin(), whole.begin() + std::ptrdiff_t(end));
    for (int i = 0; i < repeats; ++i)
        out.insert(out.end(), whole.begin() + std::ptrdiff_t(lastScan), whole.begin() + std::ptrdiff_t(end));
    out.insert(out.end(), {0xFF, 0xD9});
    return out;
}

TEST(JpegCodec, ScanCountIsLimited) {
    JpegCodec codec;
    // The fixture has 10 scans; 10 + 480 stays under the limit.
    EXPECT_TRUE(test::Ok(codec.ReadJpeg(WithRepeatedLastScan(480))));
    EXPECT_GE(codec.warningCount(), 1);
    const Status tooMany = codec.ReadJpeg(WithRepeatedLastScan(kMaxJpegScans));
    EXPECT_FALSE(tooMany.ok());
    EXPECT_NE(tooMany.message().find("more than 500 scans"), std::string::npos) << tooMany.message();
}

TEST(JpegCodec, PixelLimitIsInclusive) {
    const Bytes jpeg = CompressWithLibjpeg(48, 32, PatternSamples(48, 32), {});
    JpegCodec codec;
    codec.SetMaxPixels(48 * 32);
    EXPECT_TRUE(test::Ok(codec.ReadJpeg(jpeg)));
    codec.SetMaxPixels(48 * 32 - 1);
    EXPECT_TRUE(test::Failed(codec.ReadJpeg(jpeg)));
    EXPECT_EQ(codec.image(), nullptr);  // a failed read drops the previous image
}

// ---------------------------------------------------------------------------
// Files.

TEST(JpegCodec, ReadsFilesAndReportsMissingOnes) {
    const fs::path dir = test::ScratchDir("jpeg-read");
    const Bytes jpeg = CompressWithLibjpeg(48, 32, PatternSamples(48, 32), {});
    std::ofstream(dir / "pattern.jpg", std::ios::binary)
        .write(reinterpret_cast<const char*>(jpeg.data()), std::streamsize(jpeg.size()));
    JpegCodec codec;
    ASSERT_TRUE(test::Ok(codec.ReadJpeg(dir / "pattern.jpg")));
    EXPECT_EQ(codec.image()->Width(), 48);
    EXPECT_EQ(codec.image()->Height(), 32);

    const Status missing = codec.ReadJpeg(dir / "missing.jpg");
    EXPECT_FALSE(missing.ok());
    EXPECT_EQ(codec.image(), nullptr);
    EXPECT_EQ(missing.message().rfind("can't open " + (dir / "missing.jpg").string(), 0), 0u) << missing.message();

    Spit(dir / "text.jpg", "not a picture");
    const Status text = codec.ReadJpeg(dir / "text.jpg");
    EXPECT_FALSE(text.ok());
    EXPECT_NE(text.message().find("text.jpg"), std::string::npos) << text.message();
    EXPECT_TRUE(test::Failed(codec.ReadJpeg(dir)));  // a folder
}

TEST(JpegCodec, WritingIntoAMissingFolderFailsAndLeavesNothing) {
    const fs::path dir = test::ScratchDir("jpeg-missing-folder");
    const fs::path target = dir / "absent" / "out.jpg";
    JpegCodec codec;
    const Status written = codec.WriteJpeg(target, MakeQuadrants());
    EXPECT_FALSE(written.ok());
    EXPECT_EQ(written.message().rfind("can't open " + target.string(), 0), 0u) << written.message();
    EXPECT_FALSE(fs::exists(dir / "absent"));
    EXPECT_EQ(FilesIn(dir), 0);
}

TEST(JpegCodec, WritingReplacesAnExistingFileOnlyOnSuccess) {
    const fs::path dir = test::ScratchDir("jpeg-replace");
    const fs::path target = dir / "frame.jpg";
    Spit(target, "old contents");

    // libjpeg refuses images wider than 65500 pixels once it starts.
    PackedDib tooWide;
    ASSERT_TRUE(tooWide.SetSize(65501, 1));
    JpegCodec codec;
    const Status written = codec.WriteJpeg(target, tooWide);
    EXPECT_FALSE(written.ok());
    EXPECT_NE(written.message().find("65500"), std::string::npos) << written.message();
    EXPECT_EQ(Slurp(target), "old contents");
    EXPECT_EQ(FilesIn(dir), 1);

    EXPECT_TRUE(test::Failed(codec.WriteJpeg(target, PackedDib{})));  // nothing to write
    EXPECT_EQ(Slurp(target), "old contents");
    EXPECT_EQ(FilesIn(dir), 1);
    Bytes out = {1, 2, 3};
    EXPECT_TRUE(test::Failed(codec.WriteJpeg(out, PackedDib{})));
    EXPECT_TRUE(out.empty());

    ASSERT_TRUE(test::Ok(codec.WriteJpeg(target, MakeQuadrants())));
    EXPECT_EQ(FilesIn(dir), 1);
    Bytes inMemory;
    ASSERT_TRUE(test::Ok(codec.WriteJpeg(inMemory, MakeQuadrants())));
    EXPECT_EQ(SlurpBytes(target), inMemory);
}

}  // namespace
}  // namespace vantrel
