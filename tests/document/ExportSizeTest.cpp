// The export made in memory: the same bytes the file export writes, so that
// its size is the size of the file, and nothing written.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <string_view>
#include <vector>

#include "DocTestUtil.h"
#include "DocumentFileFixtures.h"
#include "document/Export.h"
#include "support/TestPaths.h"

namespace vantrel {
namespace {

std::vector<std::uint8_t> FileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Noise in every frame: far more than 256 colours, so the palette is reduced;
// the middle strip stays the same from frame to frame, so size reduction
// has something to leave out.
std::unique_ptr<CQVDoc> NoiseDocument(int frames) {
    auto doc = std::make_unique<CQVDoc>();
    Animation& animation = doc->GetAnimation();
    animation.SetSize(48, 32);
    std::uint32_t state = 7;
    for (int f = 0; f < frames; ++f) {
        AnimFrame* frame = f == 0 ? animation.FirstFrame() : animation.AppendFrame();
        frame->duration = std::uint32_t(10 + f);
        PackedDib picture;
        picture.SetSize(48, 32);
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 48; ++x) {
                state = state * 1664525u + 1013904223u;
                picture.Row(y)[x] = (y >= 12 && y < 20) ? MakePixel(std::uint8_t(x * 5), 90, 200)
                                                         : (state >> 8) & 0x00FFFFFF;
            }
        }
        auto item = BitmapItem::FromImage(std::move(picture));
        item->MoveTo(animation.Canvas().left, animation.Canvas().top);
        frame->AppendItem(std::move(item));
    }
    animation.RenderAll();
    return doc;
}

GifOptionsChooser Fixed(bool reduce, int colors, bool sizeReduction) {
    return [=](const GifExportRequest&) -> std::optional<GifExportOptions> {
        return GifExportOptions{reduce, colors, sizeReduction};
    };
}

TEST(ExportSizeTest, MemoryExportHoldsTheBytesOfTheFile) {
    const auto dir = test::ScratchDir("export-size");
    struct Case {
        const char* name;
        std::unique_ptr<CQVDoc> doc;
        GifOptionsChooser choose;
    };
    std::vector<Case> cases;
    cases.push_back({"rich document, defaults", test::MakeRichDocument(), DefaultGifOptionsChooser()});
    cases.push_back({"noise, defaults", NoiseDocument(4), DefaultGifOptionsChooser()});
    cases.push_back({"noise, 16 colours, no size reduction", NoiseDocument(3), Fixed(true, 16, false)});
    cases.push_back({"new document", std::make_unique<CQVDoc>(), DefaultGifOptionsChooser()});
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto path = dir / "out.gif";
        GifExportReport written;
        ASSERT_TRUE(SaveAnimationAsGif(c.doc->GetAnimation(), path, c.choose, &written).ok());
        std::vector<std::uint8_t> bytes = {1, 2, 3};  // replaced, not appended to
        GifExportReport estimated;
        ASSERT_TRUE(EncodeAnimationAsGif(c.doc->GetAnimation(), bytes, c.choose, &estimated).ok());
        EXPECT_EQ(bytes.size(), std::filesystem::file_size(path));
        EXPECT_EQ(bytes, FileBytes(path));
        EXPECT_EQ(estimated.paletteSize, written.paletteSize);
        EXPECT_EQ(estimated.images, written.images);
        // The noise fixtures really need a reduced palette.
        if (std::string_view(c.name).starts_with("noise")) {
            EXPECT_GT(written.distinctColors, 256);
        }
    }
}

TEST(ExportSizeTest, CancelledMemoryExportHoldsNothing) {
    auto doc = NoiseDocument(2);
    std::vector<std::uint8_t> bytes = {1, 2, 3};
    GifExportReport report;
    const auto cancel = [](const GifExportRequest&) -> std::optional<GifExportOptions> { return std::nullopt; };
    EXPECT_TRUE(EncodeAnimationAsGif(doc->GetAnimation(), bytes, cancel, &report).ok());
    EXPECT_TRUE(report.cancelled);
    EXPECT_TRUE(bytes.empty());
}

}  // namespace
}  // namespace vantrel
