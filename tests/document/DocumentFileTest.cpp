#include "document/DocumentFile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>

#include "DocumentFileFixtures.h"
#include "ItemRecordBytes.h"
#include "document/DocumentSnapshot.h"
#include "document/Importers.h"
#include "document/ItemPack.h"
#include "support/TestPaths.h"

namespace vantrel {
namespace {

using test::ByteBuilder;
using test::Bytes;
using test::PeekU32;

Bytes SaveBytes(const CQVDoc& doc) {
    auto bytes = DocumentBytes(doc);
    EXPECT_TRUE(bytes.has_value());
    return bytes.value_or(Bytes{});
}


// ---- byte layout ----

TEST(DocumentFileTest, ANewDocumentIs113Bytes) {
    const CQVDoc doc;
    const Bytes bytes = SaveBytes(doc);
    // magic 8, font 60, canvas and loop count 12, one frame 25 + 4, end marker 4.
    ASSERT_EQ(bytes.size(), 113u);
    EXPECT_EQ(bytes[0], 7);
    EXPECT_EQ(std::string(bytes.begin() + 1, bytes.begin() + 8), "QVDF1.0");
    Bytes font;
    ByteWriter fontWriter(font);
    LogFont::DocumentDefault().WriteTo(fontWriter);
    ASSERT_EQ(font.size(), LogFont::kRecordSize);
    EXPECT_TRUE(std::equal(font.begin(), font.end(), bytes.begin() + 8));
    EXPECT_EQ(PeekU32(bytes, 68), 468u);
    EXPECT_EQ(PeekU32(bytes, 72), 60u);
    EXPECT_EQ(PeekU32(bytes, 76), 0u);  // loop count
    EXPECT_EQ(bytes[80], 4);
    EXPECT_EQ(std::string(bytes.begin() + 81, bytes.begin() + 85), "XFRM");
    EXPECT_EQ(PeekU32(bytes, 85), 1u);            // frame id, non-zero
    EXPECT_EQ(PeekU32(bytes, 89), 0u);            // no background frame
    EXPECT_EQ(PeekU32(bytes, 93), 0u);            // not a master frame
    EXPECT_EQ(PeekU32(bytes, 97), 100u);          // duration
    EXPECT_EQ(PeekU32(bytes, 101), 0x00FFFFFFu);  // white
    EXPECT_EQ(PeekU32(bytes, 105), 0u);           // item list end
    EXPECT_EQ(PeekU32(bytes, 109), 0u);           // end marker
    EXPECT_EQ(bytes, Bytes(ByteBuilder().FileHeader(468, 60).FrameHeader(1, 0).U32(0).U32(0)));
}

TEST(DocumentFileTest, ABitmapOf2x3IsA52ByteRecordAfterItsLength) {
    CQVDoc doc;
    doc.GetAnimation().FirstFrame()->AppendItem(test::PatternBitmap(10, 20, 2, 3, false));
    const Bytes bytes = SaveBytes(doc);
    ASSERT_EQ(bytes.size(), 113u + 4 + 52);
    EXPECT_EQ(PeekU32(bytes, 105), 52u);
    EXPECT_EQ(std::string(bytes.begin() + 109, bytes.begin() + 113), "DIBM");
    EXPECT_EQ(PeekU32(bytes, 113), 28u);  // header size
    EXPECT_EQ(PeekU32(bytes, 117), 10u);  // bounds
    EXPECT_EQ(PeekU32(bytes, 121), 20u);
    EXPECT_EQ(PeekU32(bytes, 125), 12u);
    EXPECT_EQ(PeekU32(bytes, 129), 23u);
    EXPECT_EQ(PeekU32(bytes, 161), 0u);  // item list end after 24 pixel bytes
}

TEST(DocumentFileTest, FramesAreNumberedFromOneAndNameTheirBackgroundFrame) {
    const auto doc = test::MakeRichDocument();
    const Bytes bytes = SaveBytes(*doc);
    Archive archive = Archive::Loading(bytes);
    // Walk the file's frame records and collect (id, background id).
    archive.ReadString();
    std::uint8_t skip[LogFont::kRecordSize + 12];
    archive.Read(skip);
    std::vector<std::pair<std::uint32_t, std::uint32_t>> ids;
    while (archive.ReadString() == "XFRM") {
        const std::uint32_t id = archive.ReadU32();
        const std::uint32_t background = archive.ReadU32();
        ids.emplace_back(id, background);
        archive.ReadView(12);
        for (std::uint32_t n = archive.ReadU32(); n != 0; n = archive.ReadU32()) archive.ReadView(n);
    }
    const std::vector<std::pair<std::uint32_t, std::uint32_t>> expected = {{1, 0}, {2, 1}, {3, 1}};
    EXPECT_EQ(ids, expected);
}

// ---- round trips ----

TEST(DocumentFileTest, EveryItemKindWithEveryFieldSurvivesSaveAndLoad) {
    const auto original = test::MakeRichDocument();
    const Bytes bytes = SaveBytes(*original);

    CQVDoc loaded;
    ASSERT_TRUE(LoadDocumentBytes(loaded, bytes).ok());
    test::ExpectSameDocument(*original, loaded);
    EXPECT_TRUE(loaded.GetAnimation().isNative);
    // The rendered frames are not just equal to each other: the items show.
    EXPECT_NE(test::PixelsOf(loaded.GetAnimation().FirstFrame()->Image()),
              test::PixelsOf(CQVDoc().GetAnimation().FirstFrame()->Image()));
    // Saving what was read gives the same bytes.
    EXPECT_EQ(SaveBytes(loaded), bytes);
}

// A snapshot is the document as it was when taken, whatever is done to the
// document before it is written: pixels painted in place, items moved and
// removed, frames added. It writes the bytes a save would have written then.
TEST(DocumentFileTest, ASnapshotWritesTheDocumentAsItWasWhenTaken) {
    const auto doc = test::MakeRichDocument();
    const Bytes then = SaveBytes(*doc);
    const auto snapshot = SnapshotDocument(*doc);
    ASSERT_TRUE(snapshot.has_value());

    Animation& animation = doc->GetAnimation();
    for (const auto& frame : animation.Frames()) {
        for (CanvasItem* item : frame->BottomToTop()) {
            if (auto* bitmap = dynamic_cast<BitmapItem*>(item)) {
                PackedDib& pixels = bitmap->EditImage();
                for (int y = 0; y < pixels.Height(); ++y)
                    for (int x = 0; x < pixels.Width(); ++x) pixels.Row(y)[x] = 0x00123456;
            }
            item->MoveBy(7, 3);
        }
    }
    (void)animation.FirstFrame()->Unlink(animation.FirstFrame()->Top());
    animation.AppendFrame();
    ASSERT_NE(SaveBytes(*doc), then);

    const auto written = SnapshotBytes(*snapshot);
    ASSERT_TRUE(written.has_value());
    EXPECT_EQ(*written, then);
    // A document over its limits gives no snapshot, as it gives no file.
    doc->limits.itemsPerFrame = 0;
    EXPECT_FALSE(SnapshotDocument(*doc).has_value());
}

TEST(DocumentFileTest, RecordsLongerThanTheirContentReadTheSame) {
    // A record may carry trailing zero bytes after its content.
    Bytes record = test::BitmapRecord({5, 6, 7, 8}, 0x00ABCDEF);
    record.resize(record.size() + 9, 0);
    const Bytes bytes = ByteBuilder().FileHeader(10, 10).FrameHeader(1, 0).Item(record).U32(0).U32(0);
    CQVDoc doc;
    ASSERT_TRUE(LoadDocumentBytes(doc, bytes).ok());
    const CanvasItem* item = doc.GetAnimation().FirstFrame()->Bottom();
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->Bounds(), (Rect{5, 6, 7, 8}));
    EXPECT_EQ(item->PixelAt({6, 7}), 0x00ABCDEFu);
}

TEST(DocumentFileTest, BackgroundIdsResolveOnlyToEarlierFrames) {
    // Frame ids 10, 20, 30, 40, 50, 20 (a repeated id), naming backgrounds:
    const Bytes bytes = ByteBuilder()
                            .FileHeader(4, 4)
                            .FrameHeader(10, 0).U32(0)    // 0: none
                            .FrameHeader(20, 10).U32(0)   // the first frame
                            .FrameHeader(30, 40).U32(0)   // a later frame: none
                            .FrameHeader(40, 40).U32(0)   // itself: none
                            .FrameHeader(50, 99).U32(0)   // unknown: none
                            .FrameHeader(20, 20).U32(0)   // the first frame with id 20
                            .U32(0);
    CQVDoc doc;
    ASSERT_TRUE(LoadDocumentBytes(doc, bytes).ok());
    const Animation& animation = doc.GetAnimation();
    ASSERT_EQ(animation.FrameCount(), 6u);
    const std::ptrdiff_t expected[] = {-1, 0, -1, -1, -1, 1};
    for (std::size_t i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(animation.IndexOf(animation.Frames()[i]->BackgroundFrame()), expected[i]);
    }
    EXPECT_EQ(animation.Frames()[4]->savedId, 50u);
}

TEST(DocumentFileTest, AFrameOnItsBackgroundShowsTheBackgroundPixels) {
    // Frame 2 lies on frame 1, whose 1 x 1 bitmap covers the canvas corner.
    const Bytes bytes = ByteBuilder()
                            .FileHeader(2, 2)
                            .FrameHeader(7, 0, 0, 100, 0x00000010)
                            .Item(test::BitmapRecord({599, 599, 600, 600}, 0x00FF0000))
                            .U32(0)
                            .FrameHeader(8, 7, 0, 100, 0x00000020)
                            .U32(0)
                            .U32(0);
    CQVDoc doc;
    ASSERT_TRUE(LoadDocumentBytes(doc, bytes).ok());
    const AnimFrame& second = *doc.GetAnimation().Frames()[1];
    // The 2 x 2 canvas starts at (599, 599): the item covers its top-left pixel.
    EXPECT_EQ(second.Image().GetPixel(0, 0), 0x00FF0000u);  // frame 1's item
    EXPECT_EQ(second.Image().GetPixel(1, 1), 0x00000010u);  // frame 1's background colour
}

// ---- damaged files ----

Bytes Replace(Bytes bytes, std::size_t at, std::initializer_list<std::uint8_t> with) {
    std::copy(with.begin(), with.end(), bytes.begin() + std::ptrdiff_t(at));
    return bytes;
}

TEST(DocumentFileTest, DamagedFilesGiveTheFormatErrorAndLeaveTheDocumentAlone) {
    const Rect tiny{600, 600, 602, 603};  // 2 x 3
    const Bytes good = ByteBuilder().FileHeader(4, 4).FrameHeader(1, 0).Item(test::BitmapRecord(tiny, 5)).U32(0).U32(0);
    const std::size_t frameAt = 80, itemLengthAt = 105, recordAt = 109;
    struct Case {
        const char* name;
        Bytes bytes;
    };
    const Case cases[] = {
        {"empty", {}},
        {"wrong magic", Replace(good, 1, {'X'})},
        {"magic in a long length form", ByteBuilder().U8(0xFF).U8(7).U8(0).Chars("QVDF1.0")},
        {"canvas width 0", ByteBuilder().FileHeader(0, 4).FrameHeader(1, 0).U32(0).U32(0)},
        {"canvas height -5", ByteBuilder().FileHeader(4, -5).FrameHeader(1, 0).U32(0).U32(0)},
        {"canvas width 1201", ByteBuilder().FileHeader(1201, 4).FrameHeader(1, 0).U32(0).U32(0)},
        {"canvas height 1201", ByteBuilder().FileHeader(4, 1201).FrameHeader(1, 0).U32(0).U32(0)},
        {"no first frame", ByteBuilder().FileHeader(4, 4).U32(0)},
        {"unknown frame tag first", Replace(good, frameAt + 4, {'N'})},
        {"unknown frame tag later",
         ByteBuilder().FileHeader(4, 4).FrameHeader(1, 0).U32(0).Counted("XFRN").Zeros(24)},
        {"end marker not zero", Replace(good, good.size() - 1, {1})},
        {"end marker cut", Bytes(good.begin(), good.end() - 1)},
        {"unknown item tag", Replace(good, recordAt, {'D', 'I', 'B', 'X'})},
        {"record length beyond the file", Replace(good, itemLengthAt, {0xF0, 0xFF, 0xFF, 0xFF})},
        {"record shorter than a header", ByteBuilder().FileHeader(4, 4).FrameHeader(1, 0).Item(Bytes{'D', 'I', 'B', 'M', 28}).U32(0).U32(0)},
        {"pixels fewer than the bounds need",
         ByteBuilder().FileHeader(4, 4).FrameHeader(1, 0).Item(test::BitmapRecord(tiny, 5, 5)).U32(0).U32(0)},
        {"huge bounds, few pixels",
         ByteBuilder().FileHeader(4, 4).FrameHeader(1, 0).Item(test::BitmapRecord({0, 0, 60000, 60000}, 5, 6)).U32(0).U32(0)},
        {"reversed bounds",
         ByteBuilder().FileHeader(4, 4).FrameHeader(1, 0).Item(test::BoxRecord({10, 10, 5, 20}, 0)).U32(0).U32(0)},
        {"bounds far outside the work area",
         ByteBuilder().FileHeader(4, 4).FrameHeader(1, 0).Item(test::BoxRecord({-2000000000, 0, -1999999990, 10}, 0)).U32(0).U32(0)},
        {"header size beyond the record",
         Replace(good, recordAt + 4, {0xFF, 0, 0, 0})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CQVDoc doc;
        const Animation* before = &doc.GetAnimation();
        const Status status = LoadDocumentBytes(doc, c.bytes);
        EXPECT_FALSE(status.ok());
        EXPECT_EQ(status.message(), kUnexpectedFileFormat);
        EXPECT_EQ(&doc.GetAnimation(), before);
        EXPECT_EQ(doc.GetAnimation().FrameCount(), 1u);
        EXPECT_EQ(doc.GetAnimation().Width(), 468);
        EXPECT_FALSE(doc.GetAnimation().isNative);
    }
    CQVDoc doc;
    EXPECT_TRUE(LoadDocumentBytes(doc, good).ok()) << "the undamaged file must read";
}

TEST(DocumentFileTest, EveryCutBeforeTheEndMarkerFailsWithTheFormatError) {
    const auto original = test::MakeRichDocument();
    const Bytes bytes = SaveBytes(*original);
    ASSERT_GT(bytes.size(), 400u);
    const std::size_t endMarkerAt = bytes.size() - 4;
    for (std::size_t length = 0; length <= endMarkerAt + 3; ++length) {
        CQVDoc doc;
        const Status status = LoadDocumentBytes(doc, std::span(bytes.data(), length));
        ASSERT_EQ(status.message(), kUnexpectedFileFormat) << "cut at " << length;
        ASSERT_EQ(doc.GetAnimation().FrameCount(), 1u) << "cut at " << length;
    }
    CQVDoc whole;
    EXPECT_TRUE(LoadDocumentBytes(whole, bytes).ok());
}

TEST(DocumentFileTest, CutsOfADocumentOpenedFromAGifFailToo) {
    // A real multi-frame document: the sample GIF opened as a document, with
    // a label and a box added; cut inside every field and at a stride
    // through the pixel blocks.
    CQVDoc gifDoc;
    ASSERT_TRUE(OpenGifDocument(gifDoc, test::SourceDir() / "examples" / "banner.gif").ok());
    ASSERT_GT(gifDoc.GetAnimation().FrameCount(), 1u);
    LabelParams params;
    params.text = "cut";
    gifDoc.GetAnimation().LastFrame()->AppendItem(test::StyledLabel(params, {400, 600}));
    gifDoc.GetAnimation().FirstFrame()->AppendItem(test::StyledBox({400, 580, 420, 590}, BoxStyle{}));
    const Bytes bytes = SaveBytes(gifDoc);
    const std::size_t endMarkerAt = bytes.size() - 4;
    for (std::size_t length = 0; length <= endMarkerAt + 3; length += length < 200 ? 1 : 997) {
        CQVDoc doc;
        ASSERT_EQ(LoadDocumentBytes(doc, std::span(bytes.data(), length)).message(), kUnexpectedFileFormat)
            << "cut at " << length;
    }
    for (std::size_t length = endMarkerAt - 300; length <= endMarkerAt + 3; ++length) {
        CQVDoc doc;
        ASSERT_EQ(LoadDocumentBytes(doc, std::span(bytes.data(), length)).message(), kUnexpectedFileFormat)
            << "cut at " << length;
    }
    CQVDoc whole;
    ASSERT_TRUE(LoadDocumentBytes(whole, bytes).ok());
    test::ExpectSameDocument(gifDoc, whole);
}

TEST(DocumentFileTest, DocumentsBeyondTheMemoryBudgetAreRefused) {
    // Two 10 x 10 frames, each with a 10 x 10 box: frames take 400 bytes of
    // pixels, items 800 (image and composite), plus bookkeeping each.
    const Bytes bytes = ByteBuilder()
                            .FileHeader(10, 10)
                            .FrameHeader(1, 0).Item(test::BoxRecord({0, 0, 10, 10}, 0)).U32(0)
                            .FrameHeader(2, 0).Item(test::BoxRecord({0, 0, 10, 10}, 0)).U32(0)
                            .U32(0);
    const std::uint64_t needed = 2 * (kItemOverheadBytes + 400) + 2 * (kItemOverheadBytes + 800);
    CQVDoc tight;
    tight.limits.memoryBudget = needed;
    EXPECT_TRUE(LoadDocumentBytes(tight, bytes).ok());
    CQVDoc tooTight;
    tooTight.limits.memoryBudget = needed - 1;
    // Refused with the total and the limit, never as a damaged file.
    EXPECT_EQ(LoadDocumentBytes(tooTight, bytes).message(), DocumentTooLargeMessage(needed, needed - 1));
    EXPECT_EQ(tooTight.GetAnimation().FrameCount(), 1u);
}

// ---- opening, saving and the save rules ----

TEST(DocumentFileTest, FileExtensionsAreTheTextAfterTheLastDotOfTheName) {
    const std::pair<const char*, const char*> cases[] = {
        {"a.qvd", "qvd"}, {"A.QvD", "qvd"},       {"x.tar.gz", "gz"}, {"dir.v2/name", ""},
        {"noext", ""},     {"/tmp/dir/.qvd", "qvd"}, {"trailing.", ""},
    };
    for (const auto& [path, ext] : cases) EXPECT_EQ(FileExtensionLower(path), ext) << path;
    EXPECT_EQ(WithDocumentExtension("a.QVD"), std::filesystem::path("a.QVD"));
    EXPECT_EQ(WithDocumentExtension("a.gif"), std::filesystem::path("a.gif.qvd"));
    EXPECT_EQ(WithDocumentExtension("a"), std::filesystem::path("a.qvd"));
}

TEST(DocumentFileTest, SavingWritesTheFileAndMakesTheDocumentNative) {
    const auto dir = test::ScratchDir("qvd_save");
    const auto doc = test::MakeRichDocument();
    doc->SetModifiedFlag();
    EXPECT_FALSE(SilentSavePath(*doc).has_value()) << "a new document asks for a name";

    ASSERT_TRUE(SaveDocument(*doc, dir / "work").ok());
    const auto path = dir / "work.qvd";  // the extension was added
    EXPECT_EQ(doc->PathName(), path);
    EXPECT_EQ(doc->Title(), "work.qvd");
    EXPECT_FALSE(doc->IsModified());
    EXPECT_TRUE(doc->GetAnimation().isNative);
    EXPECT_EQ(SilentSavePath(*doc), path);
    EXPECT_EQ(ReadFileBytes(path).ValueOr({}), DocumentBytes(*doc));
    EXPECT_FALSE(std::filesystem::exists(dir / "work"));

    CQVDoc reopened;
    ASSERT_TRUE(OpenDocument(reopened, path).ok());
    test::ExpectSameDocument(*doc, reopened);
    EXPECT_TRUE(reopened.GetAnimation().isNative);
    EXPECT_EQ(reopened.PathName(), path);
    EXPECT_FALSE(reopened.IsModified());
    EXPECT_EQ(SilentSavePath(reopened), path);
}

TEST(DocumentFileTest, AGifOpenedAsDocumentAsksForANameUntilSavedAsQvd) {
    const auto dir = test::ScratchDir("qvd_gif_rules");
    const auto gif = test::SourceDir() / "examples" / "banner.gif";
    CQVDoc doc;
    ASSERT_TRUE(OpenDocument(doc, gif).ok());
    EXPECT_FALSE(doc.GetAnimation().isNative);
    EXPECT_GT(doc.GetAnimation().FrameCount(), 1u);
    EXPECT_EQ(doc.PathName(), gif);
    EXPECT_FALSE(SilentSavePath(doc).has_value());
    ASSERT_TRUE(SaveDocument(doc, dir / "banner.qvd").ok());
    EXPECT_EQ(SilentSavePath(doc), dir / "banner.qvd") << "a document file is saved without asking";
}

TEST(DocumentFileTest, OpeningWhatIsNotADocumentChangesNothing) {
    const auto dir = test::ScratchDir("qvd_open_fail");
    const Bytes document = SaveBytes(CQVDoc());
    std::string error;
    ASSERT_TRUE(WriteFileAtomic(dir / "plain.txt", document).ok());
    ASSERT_TRUE(WriteFileAtomic(dir / "bad.qvd", Bytes{1, 2, 3}).ok());

    struct Case {
        const char* name;
        std::filesystem::path path;
        bool formatError;
    };
    const Case cases[] = {
        {"other extension", dir / "plain.txt", true},
        {"damaged document", dir / "bad.qvd", true},
        {"missing file", dir / "missing.qvd", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CQVDoc doc;
        const Status status = OpenDocument(doc, c.path);
        ASSERT_FALSE(status.ok());
        if (c.formatError) {
            EXPECT_EQ(status.message(), kUnexpectedFileFormat);
        } else {
            EXPECT_NE(status.message().find("missing.qvd"), std::string::npos) << status.message();
        }
        EXPECT_TRUE(doc.PathName().empty());
        EXPECT_FALSE(doc.GetAnimation().isNative);
    }
}

TEST(DocumentFileTest, SerializeChoosesByTheArchiveFileExtension) {
    const CQVDoc source;
    Bytes out;
    CQVDoc doc;
    Archive toGif = Archive::StoringTo(out, "anim.gif");
    EXPECT_EQ(Serialize(doc, toGif).message(), kUnexpectedFileFormat);
    EXPECT_TRUE(out.empty()) << "nothing but a document file is written";

    Archive toQvd = Archive::StoringTo(out, "doc.QVD");
    ASSERT_TRUE(Serialize(doc, toQvd).ok());
    EXPECT_EQ(out, SaveBytes(source));

    CQVDoc loaded;
    Archive fromQvd = Archive::Loading(out, "doc.qvd");
    ASSERT_TRUE(Serialize(loaded, fromQvd).ok());
    EXPECT_TRUE(loaded.GetAnimation().isNative);
    // The same bytes under a GIF name are read as a GIF, and are not one.
    CQVDoc notGif;
    Archive fromGif = Archive::Loading(out, "doc.gif");
    EXPECT_FALSE(Serialize(notGif, fromGif).ok());
}

// Lets the first `allowed` pieces through, then refuses every write.
ByteSinkFn FailingAfter(const ByteSinkFn& sink, int allowed, int& calls) {
    return [&sink, allowed, &calls](std::span<const std::uint8_t> piece) {
        return calls++ < allowed && sink(piece);
    };
}

TEST(DocumentFileTest, ASaveThatFailsPartWayLeavesTheOldFileIntact) {
    const auto dir = test::ScratchDir("qvd_failed_save");
    const auto path = dir / "keep.qvd";
    const auto old = test::MakeRichDocument();
    ASSERT_TRUE(SaveDocument(*old, path).ok());
    const auto oldBytes = ReadFileBytes(path);
    ASSERT_TRUE(oldBytes.ok());

    // A new document big enough to reach the file in several pieces.
    CQVDoc bigger;
    bigger.GetAnimation().FirstFrame()->AppendItem(test::PatternBitmap(0, 0, 200, 100, false));
    bigger.GetAnimation().AppendFrame()->AppendItem(test::PatternBitmap(0, 0, 100, 100, false));
    int pieces = 0;
    {
        Bytes whole;
        Archive counting = Archive::Storing([&](std::span<const std::uint8_t> piece) {
            ++pieces;
            whole.insert(whole.end(), piece.begin(), piece.end());
            return true;
        }, path);
        ASSERT_TRUE(Serialize(bigger, counting).ok());
    }
    ASSERT_GE(pieces, 3);

    for (int allowed = 0; allowed < pieces; ++allowed) {
        SCOPED_TRACE(allowed);
        int calls = 0;
        const Status status = WriteFileAtomic(path, [&](const ByteSinkFn& sink) {
            Archive archive = Archive::Storing(FailingAfter(sink, allowed, calls), path);
            return Serialize(bigger, archive).ok();
        });
        EXPECT_FALSE(status.ok());
        EXPECT_FALSE(status.message().empty());
        EXPECT_EQ(ReadFileBytes(path).ValueOr({}), *oldBytes);
        // No temporary file is left beside it.
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1);
    }
}

TEST(DocumentFileTest, AFailedSaveSaysWhyAndChangesNothingInTheDocument) {
    const auto dir = test::ScratchDir("qvd_save_refused");
    std::filesystem::create_directory(dir / "taken.qvd");
    const struct {
        const char* name;
        std::filesystem::path path;
    } cases[] = {
        {"a folder of that name", dir / "taken.qvd"},
        {"a missing folder", dir / "missing" / "doc.qvd"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CQVDoc doc;
        doc.SetModifiedFlag();
        const Status status = SaveDocument(doc, c.path);
        ASSERT_FALSE(status.ok());
        EXPECT_NE(status.message().find(c.path.filename().string()), std::string::npos) << status.message();
        EXPECT_TRUE(doc.PathName().empty());
        EXPECT_TRUE(doc.IsModified());
        EXPECT_FALSE(doc.GetAnimation().isNative);
    }
    EXPECT_TRUE(std::filesystem::is_directory(dir / "taken.qvd"));
}

}  // namespace
}  // namespace vantrel
