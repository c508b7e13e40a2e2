// Refined palettes: large flat colours keep their exact values, the Lloyd
// passes never leave a picture further from its colours than the classic
// median cut does, and the same pixels always give the same file.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "codec/ColorQuantizer.h"
#include "codec/GifEncoderFixtures.h"
#include "support/TestPaths.h"

namespace vantrel {
namespace {

using test::writer::ToPixel;

constexpr PixelValue kNavy = 0x001A2A6C;    // a banner background
constexpr PixelValue kOrange = 0x00FF9335;  // its lettering

// Squared and absolute channel differences between every pixel and the
// palette colour its index stands for.
struct MappingError {
    double squared = 0;
    double absolute = 0;
    std::uint64_t channels = 0;
    double MeanSquared() const { return squared / double(channels); }
    double MeanAbsolute() const { return absolute / double(channels); }
};

MappingError ErrorOf(const GifFile& gif) {
    MappingError error;
    for (const GifImage& image : gif.images) {
        const PackedDib& pixels = *image.Pixels();
        for (int y = 0; y < image.height; ++y) {
            for (int x = 0; x < image.width; ++x) {
                const PixelValue pixel = pixels.Row(y)[x];
                const RgbTriple shown =
                    (*gif.globalColorTable)[image.indices[std::size_t(y) * image.width + std::size_t(x)]];
                for (const auto& [a, b] : {std::pair{RedOf(pixel), shown.red}, std::pair{GreenOf(pixel), shown.green},
                                          std::pair{BlueOf(pixel), shown.blue}}) {
                    const double d = double(a) - double(b);
                    error.squared += d * d;
                    error.absolute += d < 0 ? -d : d;
                    ++error.channels;
                }
            }
        }
    }
    return error;
}

// A 240 x 80 banner: navy background, an orange bar, and a strip of smooth
// gradient that alone has far more than 256 colours.
PackedDib BannerPicture() {
    PackedDib dib;
    dib.SetSize(240, 80);
    for (int y = 0; y < 80; ++y) {
        PixelValue* row = dib.Row(y);
        for (int x = 0; x < 240; ++x) {
            if (y >= 60) {
                row[x] = MakePixel(std::uint8_t(x), std::uint8_t(255 - x), std::uint8_t((y - 60) * 12));
            } else if (x >= 20 && x < 120 && y >= 20 && y < 40) {
                row[x] = kOrange;
            } else {
                row[x] = kNavy;
            }
        }
    }
    return dib;
}

std::set<PixelValue> PaletteSet(const ColorQuantizer& quantizer) {
    return {quantizer.Palette().begin(), quantizer.Palette().end()};
}

TEST(RefinedPalette, LargeFlatColoursStayExact) {
    GifFile fixture;
    fixture.AddImage(BannerPicture());
    ColorQuantizer counter;
    ASSERT_EQ(counter.CountDistinctColors(fixture), ColorQuantizer::kMoreThanMaxColors)
        << "the fixture must need a reduced palette";

    for (int requested : {256, 64, 16, 4}) {
        SCOPED_TRACE(requested);
        GifFile gif;
        gif.AddImage(BannerPicture());
        ColorQuantizer quantizer;
        quantizer.CountDistinctColors(gif);
        quantizer.BuildPalette(gif, requested, PaletteMethod::Refined);
        const auto palette = PaletteSet(quantizer);
        EXPECT_LE(quantizer.PaletteSize(), requested);
        EXPECT_TRUE(palette.count(kNavy)) << "the background keeps its colour";
        EXPECT_TRUE(palette.count(kOrange)) << "the lettering keeps its colour";
        // Every navy and orange pixel is written with its own colour.
        const GifImage& image = gif.images[0];
        for (int y = 0; y < 60; ++y) {
            for (int x = 0; x < image.width; ++x) {
                const RgbTriple shown = (*gif.globalColorTable)[image.indices[std::size_t(y) * image.width + std::size_t(x)]];
                ASSERT_EQ(ToPixel(shown), image.Pixels()->Row(y)[x]) << x << "," << y;
            }
        }
    }

    // The classic median cut moves both (which is why the refined palette exists).
    GifFile gif;
    gif.AddImage(BannerPicture());
    ColorQuantizer classic;
    classic.BuildPalette(gif, 256, PaletteMethod::MedianCut);
    EXPECT_FALSE(PaletteSet(classic).count(kNavy));
    EXPECT_FALSE(PaletteSet(classic).count(kOrange));
}

TEST(RefinedPalette, SameImagesGiveTheSameBytes) {
    std::vector<std::uint8_t> first;
    for (int run = 0; run < 2; ++run) {
        GifFile gif;
        gif.SetScreenSize(240, 80);
        gif.AddImage(BannerPicture());
        ColorQuantizer quantizer;
        quantizer.BuildPalette(gif, 32, PaletteMethod::Refined);
        gif.EncodeImages();
        const auto bytes = test::writer::WrittenBytes(gif);
        if (run == 0) first = bytes;
        else EXPECT_EQ(bytes, first);
    }
}

TEST(RefinedPalette, IndicesStayWithinThePaletteAndTheFileDecodes) {
    GifFile gif;
    gif.SetScreenSize(240, 80);
    gif.AddImage(BannerPicture());
    ColorQuantizer quantizer;
    quantizer.BuildPalette(gif, 7, PaletteMethod::Refined);
    ASSERT_LE(quantizer.PaletteSize(), 7);
    const std::set<std::uint8_t> used(gif.images[0].indices.begin(), gif.images[0].indices.end());
    EXPECT_LT(int(*used.rbegin()), quantizer.PaletteSize());
    EXPECT_EQ(gif.globalColorTableSize, 8);
    gif.EncodeImages();
    const test::RefGif decoded = test::writer::DecodeWritten(gif);
    ASSERT_EQ(decoded.images.size(), 1u);
    EXPECT_EQ(decoded.images[0].indices, gif.images[0].indices);
}

std::vector<std::uint8_t> FileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Every readable GIF of the corpora, reduced to fewer colours than it has,
// is mapped at least as closely by the refined palette as by the classic
// one (mean squared and mean absolute error per channel).
TEST(RefinedPalette, NeverFurtherFromThePictureThanMedianCutOnTheCorpora) {
    VANTREL_REQUIRE_CORPORA();
    int compared = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(test::CorporaDir())) {
        if (entry.path().extension() != ".gif") continue;
        GifFile source;
        const auto bytes = FileBytes(entry.path());
        if (!source.ReadGif(bytes)) continue;
        source.DecodeImages();
        source.BuildPixelBuffers();
        for (int requested : {16, 128}) {
            MappingError errors[2];
            int distinct = 0;
            for (const PaletteMethod method : {PaletteMethod::MedianCut, PaletteMethod::Refined}) {
                GifFile gif;
                for (const GifImage& image : source.images)
                    if (image.Pixels() != nullptr && image.width > 0 && image.height > 0) gif.AddImage(*image.Pixels());
                ColorQuantizer quantizer;
                distinct = quantizer.CountDistinctColors(gif);
                if (distinct <= requested) break;
                quantizer.BuildPalette(gif, requested, method);
                errors[method == PaletteMethod::Refined] = ErrorOf(gif);
            }
            if (distinct <= requested) continue;
            SCOPED_TRACE(entry.path().filename().string() + " at " + std::to_string(requested));
            EXPECT_LE(errors[1].MeanSquared(), errors[0].MeanSquared());
            EXPECT_LE(errors[1].MeanAbsolute(), errors[0].MeanAbsolute());
            ++compared;
        }
    }
    EXPECT_GE(compared, 10) << "the corpora should offer pictures with colours to lose";
}

}  // namespace
}  // namespace vantrel
