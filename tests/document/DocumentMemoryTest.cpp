// One memory estimate for making and for opening a document: with a lowered
// limit, the largest document that editing accepts saves and opens again,
// and one frame more is refused, by the edit and by the reader, with the
// message naming the total and the limit.

#include "document/DocumentMemory.h"

#include <gtest/gtest.h>

#include <vector>

#include "DocTestUtil.h"
#include "codec/JpegCodec.h"
#include "support/StatusAssert.h"
#include "document/DocumentFile.h"
#include "document/QuickAnimation.h"
#include "support/TestPaths.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;

// A 40 x 30 JPEG picture to import.
fs::path PictureFile(const char* folder) {
    const fs::path path = test::ScratchDir(folder) / "picture.jpg";
    JpegCodec codec;
    EXPECT_TRUE(test::Ok(codec.WriteJpeg(path, test::SolidImage(40, 30, 0x00336699))));
    return path;
}

TEST(DocumentMemory, PartsAddUpAsTheReaderCountsThem) {
    CQVDoc doc;  // one 468 x 60 frame
    Animation& animation = doc.GetAnimation();
    animation.FirstFrame()->AppendItem(test::SolidItem({0, 0, 40, 30}, 0));
    animation.AppendFrame()->AppendItem(test::SolidItem({5, 5, 15, 25}, 0));
    const DocumentMemory memory = MemoryOf(animation);
    EXPECT_EQ(memory.frames, 2u);
    EXPECT_EQ(memory.Total(), 2 * (kItemOverheadBytes + 468 * 60 * 4) + (kItemOverheadBytes + 40 * 30 * 8) +
                                  (kItemOverheadBytes + 10 * 20 * 8));
    // The file of this document, read under a limit of exactly this total, opens.
    const auto bytes = DocumentBytes(doc);
    ASSERT_TRUE(bytes.has_value());
    CQVDoc reopened;
    reopened.limits.memoryBudget = memory.Total();
    EXPECT_TRUE(LoadDocumentBytes(reopened, *bytes).ok());
    EXPECT_EQ(MemoryOf(reopened.GetAnimation()).Total(), memory.Total());
}

TEST(DocumentMemory, TheLargestDocumentEditingAcceptsReopensAndOneFrameMoreIsRefused) {
    const fs::path picture = PictureFile("memory-symmetry");
    const fs::path dir = picture.parent_path();
    const std::uint64_t limit = 1u << 20;  // room for some 468 x 60 frames with a picture each

    CQVDoc doc;
    doc.limits.memoryBudget = limit;
    // Importing one picture per frame until the limit stops it.
    const std::vector<fs::path> many(40, picture);
    const Status imported = ImportFiles(doc, many, doc.GetAnimation().FirstFrame());
    ASSERT_FALSE(imported.ok());
    EXPECT_EQ(imported.message().find("The document would need about "), 0u) << imported.message();
    EXPECT_NE(imported.message().find("limit of 1 MiB"), std::string::npos) << imported.message();
    const std::size_t frames = doc.GetAnimation().FrameCount();
    ASSERT_GT(frames, 3u);
    ASSERT_LT(frames, many.size());
    EXPECT_LE(MemoryOf(doc.GetAnimation()).Total(), limit);
    EXPECT_TRUE(CheckFramesFit(doc, 0).ok());
    // Inserting one more frame, as the editor's frame commands ask first.
    EXPECT_FALSE(CheckFramesFit(doc, 1).ok()) << "the import stopped before the limit";

    // Saved and opened again under the same limit.
    ASSERT_TRUE(SaveDocument(doc, dir / "largest.qvd").ok());
    CQVDoc reopened;
    reopened.limits.memoryBudget = limit;
    ASSERT_TRUE(OpenDocument(reopened, dir / "largest.qvd").ok());
    EXPECT_EQ(DocumentBytes(reopened), DocumentBytes(doc));

    // One frame more, made under a larger limit, is refused on opening with
    // the message, and leaves the document as it was.
    CQVDoc bigger;
    ASSERT_TRUE(OpenDocument(bigger, dir / "largest.qvd").ok());
    bigger.GetAnimation().AppendFrame();
    ASSERT_TRUE(SaveDocument(bigger, dir / "bigger.qvd").ok());
    CQVDoc refused;
    refused.limits.memoryBudget = limit;
    const Status opened = OpenDocument(refused, dir / "bigger.qvd");
    EXPECT_EQ(opened.message(), DocumentTooLargeMessage(MemoryOf(bigger.GetAnimation()).Total(), limit));
    EXPECT_EQ(refused.GetAnimation().FrameCount(), 1u);
    EXPECT_TRUE(refused.PathName().empty());
}

TEST(DocumentMemory, TheQuickAnimationCountsTheCanvasItGrowsTo) {
    // A wide and a tall picture, both centred: the canvas grows to 600 x 600,
    // four times what the two frames held while the pictures were imported.
    const fs::path dir = test::ScratchDir("memory-quick");
    JpegCodec codec;
    ASSERT_TRUE(test::Ok(codec.WriteJpeg(dir / "wide.jpg", test::SolidImage(600, 10, 0x00336699))));
    ASSERT_TRUE(test::Ok(codec.WriteJpeg(dir / "tall.jpg", test::SolidImage(10, 600, 0x00996633))));
    const std::vector<fs::path> pictures{dir / "wide.jpg", dir / "tall.jpg"};
    const std::uint64_t grown = 2 * FrameMemoryBytes(600, 600) + 2 * ItemMemoryBytes(600, 10);
    ASSERT_LT(2 * FrameMemoryBytes(468, 60) + 2 * ItemMemoryBytes(600, 10), grown - 1);

    CQVDoc refused;
    refused.limits.memoryBudget = grown - 1;
    EXPECT_EQ(MakeQuickAnimation(refused, pictures, 1.0).message(), DocumentTooLargeMessage(grown, grown - 1));

    CQVDoc made;
    made.limits.memoryBudget = grown;
    ASSERT_TRUE(MakeQuickAnimation(made, pictures, 1.0).ok());
    EXPECT_EQ(made.GetAnimation().Width(), 600);
    EXPECT_EQ(made.GetAnimation().Height(), 600);
    EXPECT_EQ(MemoryOf(made.GetAnimation()).Total(), grown);
}

}  // namespace
}  // namespace vantrel
