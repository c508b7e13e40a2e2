// The GIF reader on third-party files: recorded indices and palettes, corner
// cases made by hand elsewhere, damaged files, and agreement with giflib.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "codec/GifDecoderFixtures.h"
#include "codec/GifFile.h"
#include "support/GiflibRef.h"
#include "support/TestPaths.h"

namespace vantrel {
namespace {

using test::PixelsOf;
using test::ReadAll;

std::filesystem::path Wuffs() { return test::CorporaDir() / "gif" / "wuffs"; }
std::filesystem::path Artificial() { return Wuffs() / "artificial-gif"; }

std::vector<std::uint8_t> FileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Reads all three steps; fails the test if ReadGif does.
void ReadFile(GifFile& gif, const std::filesystem::path& path) {
    const std::vector<std::uint8_t> bytes = FileBytes(path);
    ASSERT_FALSE(bytes.empty()) << path;
    const Status read = ReadAll(gif, bytes);
    ASSERT_TRUE(read.ok()) << path << ": " << read.message();
}

const ColorTable& PaletteOf(const GifFile& gif, const GifImage& image) {
    return image.localColorTable ? *image.localColorTable : *gif.globalColorTable;
}

TEST(GifCorpora, FirstFramesGiveTheRecordedIndicesAndPalettes) {
    VANTREL_REQUIRE_CORPORA();
    struct Case {
        const char* name;
        bool hasPalette;
    };
    for (const Case& c : {Case{"bricks-dither", true}, Case{"bricks-nodither", true}, Case{"bricks-gray", false}}) {
        SCOPED_TRACE(c.name);
        GifFile gif;
        ReadFile(gif, Wuffs() / (std::string(c.name) + ".gif"));
        ASSERT_FALSE(gif.images.empty());
        const GifImage& image = gif.images[0];
        ASSERT_FALSE(image.interlaced);
        EXPECT_EQ(image.indices, FileBytes(Wuffs() / (std::string(c.name) + ".indexes")));
        if (!c.hasPalette) continue;

        // The palette file holds 256 entries of blue, green, red, alpha.
        const std::vector<std::uint8_t> palette = FileBytes(Wuffs() / (std::string(c.name) + ".palette"));
        ASSERT_EQ(palette.size(), 1024u);
        const ColorTable& table = PaletteOf(gif, image);
        for (std::size_t k = 0; k < 256; ++k) {
            EXPECT_EQ(table[k], (RgbTriple{palette[4 * k + 2], palette[4 * k + 1], palette[4 * k]})) << k;
        }
        const std::vector<PixelValue> pixels = PixelsOf(*image.pixels);
        for (std::size_t i = 0; i < pixels.size(); i += 97) {
            const std::size_t k = image.indices[i];
            EXPECT_EQ(pixels[i], MakePixel(palette[4 * k + 2], palette[4 * k + 1], palette[4 * k])) << i;
        }
    }
}

TEST(GifCorpora, InterlacedAndRegularEncodingsOfOnePictureAgree) {
    VANTREL_REQUIRE_CORPORA();
    GifFile interlaced;
    GifFile regular;
    ReadFile(interlaced, Wuffs() / "hippopotamus.interlaced.gif");
    ReadFile(regular, Wuffs() / "hippopotamus.regular.gif");
    ASSERT_EQ(interlaced.images.size(), 1u);
    ASSERT_EQ(regular.images.size(), 1u);
    EXPECT_TRUE(interlaced.images[0].interlaced);
    EXPECT_FALSE(regular.images[0].interlaced);
    EXPECT_NE(interlaced.images[0].indices, regular.images[0].indices);  // different row orders
    EXPECT_EQ(PixelsOf(*interlaced.images[0].pixels), PixelsOf(*regular.images[0].pixels));
}

TEST(GifCorpora, TruncatedInterlacedFileKeepsTheRowsItHas) {
    VANTREL_REQUIRE_CORPORA();
    GifFile whole;
    GifFile truncated;
    ReadFile(whole, Wuffs() / "hippopotamus.interlaced.gif");
    ReadFile(truncated, Wuffs() / "hippopotamus.interlaced.truncated.gif");
    ASSERT_EQ(truncated.images.size(), 1u);
    const std::vector<std::uint8_t>& cut = truncated.images[0].indices;
    const std::vector<std::uint8_t>& full = whole.images[0].indices;
    ASSERT_EQ(cut.size(), full.size());
    std::size_t same = 0;
    while (same < cut.size() && cut[same] == full[same]) ++same;
    EXPECT_GE(same, 4u * 36u);  // the first pass (rows 0, 8, 16, 24) is there
    EXPECT_LT(same, cut.size());
    EXPECT_EQ(std::count(cut.begin() + static_cast<std::ptrdiff_t>(same), cut.end(), 0),
              static_cast<std::ptrdiff_t>(cut.size() - same));
}

TEST(GifCorpora, AnimationFramesGiveTheRecordedIndices) {
    VANTREL_REQUIRE_CORPORA();
    GifFile gif;
    ReadFile(gif, Wuffs() / "muybridge.gif");
    ASSERT_EQ(gif.images.size(), 15u);
    EXPECT_TRUE(gif.animated);
    for (std::size_t i = 0; i < gif.images.size(); ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "muybridge-frame-%03zu.indexes", i);
        EXPECT_EQ(gif.images[i].indices, FileBytes(Wuffs() / name)) << name;
    }
}

TEST(GifCorpora, HandMadeCornerCases) {
    VANTREL_REQUIRE_CORPORA();
    {
        GifFile gif;
        ReadFile(gif, Artificial() / "no-frames.gif");
        EXPECT_TRUE(gif.images.empty());
        EXPECT_FALSE(gif.animated);
    }
    {
        GifFile gif;
        ReadFile(gif, Artificial() / "transparent-index.gif");
        ASSERT_EQ(gif.images.size(), 2u);
        EXPECT_EQ(gif.images[0].delay, 10);
        EXPECT_EQ(gif.images[1].delay, 20);
        EXPECT_EQ(gif.images[1].left, 1);
        EXPECT_EQ(gif.images[1].top, 1);
        EXPECT_EQ(PixelsOf(*gif.images[1].pixels), (std::vector<PixelValue>{0x000000FF, 0xFF0000AA, 0x00000055}));
        EXPECT_EQ(PixelsOf(*gif.images[0].pixels)[7], 0x00F00000u);
    }
    {
        GifFile gif;
        ReadFile(gif, Artificial() / "multiple-loop-counts.gif");
        EXPECT_EQ(gif.images.size(), 4u);
        EXPECT_EQ(gif.loopCount, 40);  // the last block read wins
    }
    {
        GifFile gif;
        ReadFile(gif, Artificial() / "multiple-graphic-controls.gif");
        ASSERT_EQ(gif.images.size(), 1u);
        EXPECT_EQ(gif.images[0].delay, 30);
    }
    {
        GifFile gif;
        ReadFile(gif, Artificial() / "frame-out-of-bounds.gif");
        ASSERT_EQ(gif.images.size(), 4u);
        EXPECT_EQ(gif.images[2].top, 4);
        EXPECT_EQ(gif.images[3].pixels->Width(), 4);
        EXPECT_EQ(gif.images[3].pixels->Height(), 3);
        EXPECT_EQ(gif.images[3].indices,
                  (std::vector<std::uint8_t>{4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}));
    }
    {
        GifFile gif;
        ReadFile(gif, Artificial() / "empty-palette.gif");
        ASSERT_EQ(gif.images.size(), 2u);
        EXPECT_EQ(PixelsOf(*gif.images[0].pixels), (std::vector<PixelValue>{0x000000FF}));
        EXPECT_EQ(PixelsOf(*gif.images[1].pixels), (std::vector<PixelValue>{0x00000000}));
    }
    {
        GifFile gif;
        ReadFile(gif, Artificial() / "metadata-full.gif");
        EXPECT_EQ(gif.loopCount, 2000);
        ASSERT_EQ(gif.images.size(), 1u);
        EXPECT_EQ(gif.images[0].indices, (std::vector<std::uint8_t>{1}));
    }
    for (const char* name : {"pixel-data-none.gif", "pixel-data-not-enough.gif", "pixel-data-too-much-bad-lzw.gif",
                             "pixel-data-too-much-good-lzw.gif"}) {
        SCOPED_TRACE(name);
        GifFile gif;
        ReadFile(gif, Artificial() / name);
        ASSERT_EQ(gif.images.size(), 1u);
        EXPECT_EQ(gif.images[0].indices, (std::vector<std::uint8_t>{0, 0, 0, 0}));
    }
    {
        GifFile gif;
        ReadFile(gif, Artificial() / "zero-width-frame.gif");
        ASSERT_EQ(gif.images.size(), 1u);
        EXPECT_TRUE(gif.images[0].indices.empty());
        EXPECT_FALSE(gif.images[0].pixels->HasBlock());
    }
}

// Every GIF below the corpora folder, damaged ones included.
std::vector<std::filesystem::path> AllCorporaGifs() {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(test::CorporaDir() / "gif")) {
        if (entry.is_regular_file() && entry.path().extension() == ".gif") files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

TEST(GifCorpora, EveryFileReadsWithoutFaultAndAgreesWithGiflibWhereGiflibSucceeds) {
    VANTREL_REQUIRE_CORPORA();
    const auto files = AllCorporaGifs();
    ASSERT_GT(files.size(), 30u);
    std::size_t compared = 0;
    for (const auto& path : files) {
        SCOPED_TRACE(path.string());
        const std::vector<std::uint8_t> bytes = FileBytes(path);
        GifFile gif;
        if (const Status read = ReadAll(gif, bytes); !read) {
            EXPECT_EQ(read.message(), kNoGifFormat);
            continue;
        }
        for (const GifImage& image : gif.images) {
            ASSERT_TRUE(image.pixels);
            EXPECT_EQ(image.indices.size(), std::size_t{image.width} * image.height);
        }
        const auto reference = test::DecodeWithGiflib(bytes);
        if (!reference) continue;  // giflib refuses damaged files
        ASSERT_EQ(gif.images.size(), reference->images.size());
        for (std::size_t i = 0; i < gif.images.size(); ++i) {
            const GifImage& ours = gif.images[i];
            const test::RefImage& theirs = reference->images[i];
            EXPECT_EQ(ours.width, theirs.width);
            EXPECT_EQ(ours.height, theirs.height);
            EXPECT_EQ(ours.indices, test::ToStreamRowOrder(theirs.indices, theirs.width, theirs.height,
                                                           theirs.interlaced))
                << "image " << i;
        }
        ++compared;
    }
    EXPECT_GT(compared, 20u);
}

}  // namespace
}  // namespace vantrel
