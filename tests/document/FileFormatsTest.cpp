// The file format table and the places that ask it: opening pictures as
// documents, importing PNG files, quick animations of PNG frames.

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "DocTestUtil.h"
#include "document/DocumentFile.h"
#include "document/Export.h"
#include "document/FileFormats.h"
#include "document/Importers.h"
#include "document/QuickAnimation.h"
#include "document/WorkArea.h"
#include "support/PngRef.h"
#include "support/TestPaths.h"

namespace vantrel {
namespace {

TEST(FileFormatsTest, ExtensionsAreFoundWhateverTheirCase) {
    struct Case {
        const char* path;
        const FileKind* kind;  // null: unknown
    };
    static constexpr FileKind kDoc = FileKind::Document, kGif = FileKind::Gif, kJpeg = FileKind::Jpeg,
                              kPng = FileKind::Png;
    for (const Case& c : {Case{"a.qvd", &kDoc}, Case{"A.QVD", &kDoc}, Case{"b.GIF", &kGif}, Case{"c.JpE", &kJpeg},
                          Case{"d.jpeg", &kJpeg}, Case{"dir.x/e.JPG", &kJpeg}, Case{"f.Png", &kPng},
                          Case{"g.png.txt", nullptr}, Case{"png", nullptr}, Case{"dir.png/h", nullptr},
                          Case{"i.bmp", nullptr}}) {
        SCOPED_TRACE(c.path);
        const FileFormat* format = FindFileFormat(c.path);
        if (c.kind == nullptr) {
            EXPECT_EQ(format, nullptr);
        } else {
            ASSERT_NE(format, nullptr);
            EXPECT_EQ(format->kind, *c.kind);
        }
    }
}

TEST(FileFormatsTest, EveryExtensionIsLowerCaseAndBelongsToOneFormat) {
    std::set<std::string> seen;
    for (const FileFormat& format : FileFormats()) {
        ASSERT_FALSE(format.extensions.empty());
        for (std::string_view ext : format.extensions) {
            EXPECT_TRUE(seen.insert(std::string(ext)).second) << ext;
            for (char c : ext) EXPECT_FALSE(c >= 'A' && c <= 'Z') << ext;
            EXPECT_EQ(FindFileFormat("x." + std::string(ext)), &format) << ext;
        }
    }
}

TEST(FileFormatsTest, DialogFiltersListWhatEachDialogServes) {
    const auto open = DialogFilters(FilePurpose::Open);
    ASSERT_EQ(open.size(), 5u);
    EXPECT_EQ(open[0], "Editable Files (*.qvd *.gif *.jpg *.jpe *.jpeg *.png)");
    EXPECT_EQ(open[3], "JPEG (*.jpg *.jpe *.jpeg)");
    const auto import = DialogFilters(FilePurpose::Import);
    ASSERT_EQ(import.size(), 4u);
    EXPECT_EQ(import[0], "Importable Files (*.gif *.jpg *.jpe *.jpeg *.png)");
    EXPECT_EQ(DialogFilters(FilePurpose::ExportFrame),
              (std::vector<std::string>{"Compuserve GIF (*.gif)", "JPEG (*.jpg *.jpe *.jpeg)"}));
    EXPECT_EQ(FormatNames(FilePurpose::Import), "GIF, JPEG and PNG");
    // The frame exporter follows the same table.
    EXPECT_EQ(FrameExportFormatFor("f.JPE"), FrameExportFormat::Jpeg);
    EXPECT_EQ(FrameExportFormatFor("f.Gif"), FrameExportFormat::Gif);
    EXPECT_EQ(FrameExportFormatFor("f.png"), FrameExportFormat::None);
    EXPECT_EQ(FrameExportFormatFor("f.qvd"), FrameExportFormat::None);
}

// A w x h picture: left half opaque red, right half blue at alpha 128 (T 127).
PackedDib TwoHalves(int width, int height) {
    PackedDib image = test::SolidImage(width, height, MakePixel(255, 0, 0));
    const Rect right{width / 2, 0, width, height};
    image.FillRect(MakePixel(0, 0, 255, 127), &right);
    return image;
}

TEST(OpenPictureTest, PngOpensAsADocumentHoldingIt) {
    const auto dir = test::ScratchDir("open-png");
    const auto path = dir / "Shot.PNG";
    const PackedDib picture = TwoHalves(40, 30);
    ASSERT_TRUE(test::WritePngWithLibpng(path, picture));
    CQVDoc doc;
    const Status status = OpenDocument(doc, path);
    ASSERT_TRUE(status.ok()) << status.message();
    const Animation& animation = doc.GetAnimation();
    EXPECT_EQ(animation.Width(), 40);  // the canvas fits the picture
    EXPECT_EQ(animation.Height(), 30);
    ASSERT_EQ(animation.FrameCount(), 1u);
    const AnimFrame& frame = *animation.FirstFrame();
    ASSERT_EQ(frame.CountItems(), 1);
    EXPECT_EQ(frame.Top()->Kind(), ItemKind::Bitmap);
    // The item holds the pixels as read, transparency included.
    EXPECT_EQ(test::PixelsOf(frame.Top()->Image()), test::PixelsOf(picture));
    EXPECT_FALSE(animation.isNative);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(doc.PathName(), path);
    EXPECT_FALSE(SilentSavePath(doc).has_value());  // saving asks for a document name
}

TEST(OpenPictureTest, FailureLeavesTheDocumentAsItWas) {
    const auto dir = test::ScratchDir("open-png-bad");
    const auto path = dir / "cut.png";
    ASSERT_TRUE(test::WritePngWithLibpng(path, TwoHalves(64, 64)));
    std::filesystem::resize_file(path, 70);
    CQVDoc doc;
    doc.GetAnimation().SetSize(50, 20);
    const Status status = OpenDocument(doc, path);
    EXPECT_FALSE(status.ok());
    EXPECT_NE(status.message().find("cut short"), std::string::npos) << status.message();
    EXPECT_EQ(doc.GetAnimation().Width(), 50);
    EXPECT_EQ(doc.GetAnimation().FirstFrame()->CountItems(), 0);
    EXPECT_TRUE(doc.PathName().empty());
}

TEST(OpenPictureTest, PngFramesMakeAQuickAnimation) {
    const auto dir = test::ScratchDir("quick-png");
    std::vector<std::filesystem::path> paths;
    const PixelValue colours[] = {MakePixel(200, 0, 0), MakePixel(0, 200, 0), MakePixel(0, 0, 200)};
    for (int i = 0; i < 3; ++i) {
        paths.push_back(dir / ("f" + std::to_string(i) + (i == 1 ? ".PNG" : ".png")));
        ASSERT_TRUE(test::WritePngWithLibpng(paths.back(), test::SolidImage(12 + 2 * i, 8, colours[i])));
    }
    CQVDoc doc;
    const Status status = MakeQuickAnimation(doc, paths, 0.5);
    ASSERT_TRUE(status.ok()) << status.message();
    const Animation& animation = doc.GetAnimation();
    ASSERT_EQ(animation.FrameCount(), 3u);
    EXPECT_EQ(animation.Width(), 16);  // the widest picture
    for (int i = 0; i < 3; ++i) {
        const AnimFrame& frame = *animation.Frames()[std::size_t(i)];
        EXPECT_EQ(frame.duration, 50u);
        EXPECT_EQ(frame.Image().GetPixel(8, 4), colours[i]) << i;
    }
}

}  // namespace
}  // namespace vantrel
