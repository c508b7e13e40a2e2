#include "document/ItemPack.h"

#include <gtest/gtest.h>

#include "DocumentFileFixtures.h"
#include "ItemRecordBytes.h"
#include "document/Archive.h"
#include "document/LabelItem.h"

namespace vantrel {
namespace {

using test::ByteBuilder;
using test::Bytes;
using test::PeekU32;


// A frame of a new document holding a bitmap, a box, an ellipse and a label, bottom to top.
struct FourKinds {
    CQVDoc doc;
    AnimFrame& frame = *doc.GetAnimation().FirstFrame();
    CanvasItem* bitmap = frame.AppendItem(test::PatternBitmap(400, 570, 4, 3, true));
    CanvasItem* box = frame.AppendItem(test::StyledBox({410, 575, 430, 590}, {0x00FF00FF, 0x01000000, 4, 3, BoxLineStyle::Outline}));
    CanvasItem* ellipse = frame.AppendItem(test::StyledEllipse({420, 580, 427, 589}, {0x00FF0000, true}));
    CanvasItem* label = frame.AppendItem(test::StyledLabel(LabelParams{"Paste", LogFont::DocumentDefault(), 0x000000FF, false, 1.0, 2.0}, {430, 610}));
};

TEST(ItemPackTest, TheTableHoldsOneOffsetPerSelectedItemThenZero) {
    FourKinds f;
    f.bitmap->SetSelected(true);
    f.ellipse->SetSelected(true);
    f.label->SetSelected(true);
    const auto block = CopySelectedToBlock(f.frame);
    ASSERT_TRUE(block.has_value());
    const Bytes bitmapRecord = *f.bitmap->SaveRecord();
    const Bytes ellipseRecord = *f.ellipse->SaveRecord();
    const Bytes labelRecord = *f.label->SaveRecord();
    ASSERT_EQ(bitmapRecord.size(), 28u + 4 * 3 * 4);
    ASSERT_EQ(ellipseRecord.size(), 32u);
    ASSERT_EQ(labelRecord.size(), 121u + 5);

    // 16 table bytes, then the records in z-order, back to back.
    ASSERT_EQ(block->size(), 16 + bitmapRecord.size() + ellipseRecord.size() + labelRecord.size());
    EXPECT_EQ(PeekU32(*block, 0), 16u);
    EXPECT_EQ(PeekU32(*block, 4), 16u + 76);
    EXPECT_EQ(PeekU32(*block, 8), 16u + 76 + 32);
    EXPECT_EQ(PeekU32(*block, 12), 0u);
    const Bytes expected = ByteBuilder().U32(16).U32(92).U32(124).U32(0).Raw(bitmapRecord).Raw(ellipseRecord).Raw(labelRecord);
    EXPECT_EQ(*block, expected);
}

TEST(ItemPackTest, NothingSelectedGivesNoBlock) {
    FourKinds f;
    EXPECT_FALSE(CopySelectedToBlock(f.frame).has_value());
    EXPECT_FALSE(CopySelectedToBlock(ItemList()).has_value());
}

TEST(ItemPackTest, PastedItemsLandSelectedOnTopWhereTheyWereCopiedFrom) {
    FourKinds source;
    source.frame.SelectAll();
    source.ellipse->SetSelected(false);
    const auto block = CopySelectedToBlock(source.frame);
    ASSERT_TRUE(block.has_value());

    FourKinds target;
    ASSERT_TRUE(PasteBlock(target.frame, *block).ok());
    const auto items = target.frame.Items();
    ASSERT_EQ(items.size(), 7u);
    const CanvasItem* copied[] = {source.bitmap, source.box, source.label};
    for (std::size_t i = 0; i < 4; ++i) EXPECT_FALSE(items[i]->IsSelected()) << i;
    for (std::size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const CanvasItem* pasted = items[4 + i];
        EXPECT_TRUE(pasted->IsSelected());
        EXPECT_EQ(pasted->Kind(), copied[i]->Kind());
        EXPECT_EQ(pasted->Bounds(), copied[i]->Bounds());
        EXPECT_EQ(pasted->Position(), copied[i]->Position());
        EXPECT_EQ(pasted->SaveRecord(), copied[i]->SaveRecord());
        EXPECT_EQ(test::PixelsOf(pasted->Image()), test::PixelsOf(copied[i]->Image()));
    }
}

TEST(ItemPackTest, ReadersFollowTheTableNotTheOrderOfRecords) {
    const Bytes first = test::BitmapRecord({0, 0, 1, 1}, 0x00000011);
    const Bytes second = test::BoxRecord({5, 5, 7, 7}, 0x00000022);
    // Records in reverse order with a gap of junk, the first one used twice.
    const std::uint32_t secondAt = 16 + 3;
    const std::uint32_t firstAt = secondAt + std::uint32_t(second.size());
    const Bytes block = ByteBuilder().U32(firstAt).U32(secondAt).U32(firstAt).U32(0).Chars("gap").Raw(second).Raw(first);
    ItemList list;
    ASSERT_TRUE(PasteBlock(list, block).ok());
    const auto items = list.Items();
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0]->Kind(), ItemKind::Bitmap);
    EXPECT_EQ(items[1]->Kind(), ItemKind::Box);
    EXPECT_EQ(items[2]->Kind(), ItemKind::Bitmap);
    EXPECT_EQ(items[1]->PixelAt({6, 6}), 0x00000022u);
}

TEST(ItemPackTest, DamagedPacksStopWithTheFormatErrorKeepingEarlierItems) {
    const Bytes good = test::BitmapRecord({0, 0, 2, 2}, 0x00000033);
    struct Case {
        const char* name;
        Bytes block;
        int itemsMade;
    };
    const Case cases[] = {
        {"empty block", {}, 0},
        {"table cut inside its first entry", {16, 0}, 0},
        {"offset at the end of the block", ByteBuilder().U32(8).U32(0), 0},
        {"first offset past the end", ByteBuilder().U32(100).U32(0).Raw(good), 0},
        {"second offset past the end", ByteBuilder().U32(12).U32(5000).U32(0).Raw(good), 1},
        {"second offset exactly at the end", ByteBuilder().U32(12).U32(12 + 44).U32(0).Raw(good), 1},
        {"record running past the end",
         ByteBuilder().U32(12).U32(12 + 44).U32(0).Raw(good).Raw(Bytes(good.begin(), good.begin() + 30)), 1},
        {"unknown tag second",
         ByteBuilder().U32(12).U32(12 + 44).U32(0).Raw(good).Raw(test::BoxRecord({0, 0, 1, 1}, 0, "XXXX")), 1},
        // The third entry would be the record's tag read as an offset.
        {"no 0 entry before the records", ByteBuilder().U32(8).U32(8).Raw(good), 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ItemList list;
        const Status status = PasteBlock(list, c.block);
        EXPECT_EQ(status.message(), kUnexpectedFileFormat);
        EXPECT_EQ(list.CountItems(), c.itemsMade);
        EXPECT_EQ(list.CountSelected(), c.itemsMade);
    }
}

TEST(ItemPackTest, AnEmptyTableIsAnEmptyPaste) {
    ItemList list;
    EXPECT_TRUE(PasteBlock(list, ByteBuilder().U32(0).bytes()).ok());
    EXPECT_TRUE(list.IsEmpty());
}

TEST(ItemPackTest, UnpackingStaysWithinTheMemoryBudgetAndTheItemLimit) {
    // One 10 x 10 box named by many entries.
    const Bytes box = test::BoxRecord({0, 0, 10, 10}, 0);
    const std::uint64_t perItem = kItemOverheadBytes + 10 * 10 * 8;
    {
        const Bytes block = ByteBuilder().U32(16).U32(16).U32(16).U32(0).Raw(box);
        ItemList list;
        // The refusal names the total of the whole pack and the limit.
        EXPECT_EQ(PasteBlock(list, block, {2 * perItem}).message(), DocumentTooLargeMessage(3 * perItem, 2 * perItem));
        EXPECT_EQ(list.CountItems(), 2);
        // What the document holds already counts.
        ItemList other;
        EXPECT_FALSE(PasteBlock(other, block, {4 * perItem}, 2 * perItem).ok());
        EXPECT_TRUE(PasteBlock(other, block, {5 * perItem}, 2 * perItem).ok());
    }
    {
        ByteBuilder table;
        const std::uint32_t entries = kMaxItemsPerFrame + 1;
        const std::uint32_t recordAt = 4 * (entries + 1);
        for (std::uint32_t i = 0; i < entries; ++i) table.U32(recordAt);
        const Bytes block = table.U32(0).Raw(test::BitmapRecord({0, 0, 1, 1}, 0));
        ItemList list;
        // Refused before anything is made, naming both numbers.
        EXPECT_EQ(PasteBlock(list, block).message(), TooManyItemsMessage(kMaxItemsPerFrame + 1, kMaxItemsPerFrame));
        EXPECT_EQ(list.CountItems(), 0);
        // What the list holds already counts, against the limit given.
        DocumentLimits three;
        three.itemsPerFrame = 3;
        const Bytes two = ByteBuilder().U32(12).U32(12).U32(0).Raw(box);
        EXPECT_TRUE(PasteBlock(list, two, three).ok());
        EXPECT_EQ(PasteBlock(list, two, three).message(), TooManyItemsMessage(4, 3));
        EXPECT_EQ(list.CountItems(), 2);
    }
}

TEST(ItemPackTest, TheFactoryMakesEachKindByTagAndRefusesOthers) {
    const FourKinds f;
    const std::pair<const CanvasItem*, ItemKind> kinds[] = {
        {f.bitmap, ItemKind::Bitmap}, {f.box, ItemKind::Box}, {f.ellipse, ItemKind::Ellipse}, {f.label, ItemKind::Label}};
    ItemList list;
    for (const auto& [item, kind] : kinds) {
        CanvasItem* made = CreateItemFromRecord(list, *item->SaveRecord());
        ASSERT_NE(made, nullptr);
        EXPECT_EQ(made->Kind(), kind);
        EXPECT_EQ(list.Top(), made) << "appended on top";
        EXPECT_FALSE(made->IsSelected());
    }
    EXPECT_EQ(CreateItemFromRecord(list, test::BoxRecord({0, 0, 1, 1}, 0, "rect")), nullptr);
    EXPECT_EQ(CreateItemFromRecord(list, Bytes{'D', 'I', 'B'}), nullptr);
    EXPECT_EQ(list.CountItems(), 4);
}

TEST(ItemPackTest, RecordCostsComeFromTheBoundsBeforeAnythingIsMade) {
    EXPECT_EQ(ItemRecordCost(test::BoxRecord({0, 0, 10, 20}, 0)), kItemOverheadBytes + 10 * 20 * 8);
    EXPECT_EQ(ItemRecordCost(test::BoxRecord({-5, -5, -5, -5}, 0)), kItemOverheadBytes);
    EXPECT_EQ(ItemRecordCost(test::BoxRecord({0, 0, kMaxItemCoordinate, 1}, 0)),
              kItemOverheadBytes + std::uint64_t(kMaxItemCoordinate) * 8);
    EXPECT_FALSE(ItemRecordCost(test::BoxRecord({0, 0, kMaxItemCoordinate + 1, 1}, 0)).has_value());
    EXPECT_FALSE(ItemRecordCost(test::BoxRecord({-kMaxItemCoordinate - 1, 0, 0, 1}, 0)).has_value());
    EXPECT_FALSE(ItemRecordCost(test::BoxRecord({0, 0, 1, 1}, 0, "BOXX")).has_value());
    const Bytes box = test::BoxRecord({0, 0, 1, 1}, 0);
    EXPECT_FALSE(ItemRecordCost(std::span(box).first(20)).has_value()) << "shorter than the common header";
}

// A label is measured without being drawn: the size it reports for its
// record is the size of the image loading the record draws, for plain and
// smoothed text, spacing, width factors, and an empty text.
TEST(ItemPackTest, ALabelMeasuredWithoutDrawingHasTheSizeItIsDrawnAt) {
    LogFont big = LogFont::DocumentDefault();
    big.height = 90;
    const LabelParams cases[] = {
        {"Paste", LogFont::DocumentDefault(), 0x000000FF, false, 1.0, 2.0},
        {"Paste", LogFont::DocumentDefault(), 0x000000FF, true, 1.0, 0.0},
        {"Wide text, wide spacing", big, 0x00FF0000, true, 2.5, 7.5},
        {"jqy", big, 0x00FF0000, false, 0.5, 0.0},
        {"", big, 0x00FF0000, true, 1.0, 3.0},
    };
    for (const LabelParams& params : cases) {
        const auto label = test::StyledLabel(params, {430, 610});
        const auto record = label->SaveRecord();
        ASSERT_TRUE(record.has_value());
        const auto measured = LabelItem::RecordImageSize(*record);
        ASSERT_TRUE(measured.has_value()) << params.text;
        LabelItem loaded;
        ASSERT_TRUE(loaded.LoadRecord(*record));
        EXPECT_EQ(measured->width, loaded.Image().Width()) << params.text;
        EXPECT_EQ(measured->height, loaded.Image().Height()) << params.text;
        EXPECT_GT(measured->height, 0) << params.text;
    }
    const Bytes damaged = test::BoxRecord({0, 0, 1, 1}, 0, "LABL");
    EXPECT_FALSE(LabelItem::RecordImageSize(damaged).has_value());
}

// A label whose stored bounds are small but whose text draws large is
// counted at the size it draws at, before it is made.
TEST(ItemPackTest, ALabelCountsTheSizeItDrawsAtNotItsStoredBounds) {
    LogFont big = LogFont::DocumentDefault();
    big.height = 400;
    auto label = test::StyledLabel({"A large label", big, 0x00000000, true, 1.0, 0.0}, {0, 400});
    Bytes record = *label->SaveRecord();
    // Stored bounds of no size: right = left and bottom = top.
    test::PokeU32(record, 16, test::PeekU32(record, 8));
    test::PokeU32(record, 20, test::PeekU32(record, 12));
    const auto size = LabelItem::RecordImageSize(record);
    ASSERT_TRUE(size.has_value());
    const std::uint64_t needed = ItemMemoryBytes(std::uint64_t(size->width), std::uint64_t(size->height));
    ASSERT_EQ(ItemRecordCost(record), kItemOverheadBytes);

    MemoryBudget tight(needed - 1);
    ItemList list;
    EXPECT_EQ(CreateItemFromRecord(list, record, &tight), nullptr);
    EXPECT_EQ(tight.Needed(), needed);
    EXPECT_EQ(list.CountItems(), 0);
    MemoryBudget enough(needed);
    ASSERT_NE(CreateItemFromRecord(list, record, &enough), nullptr);
    EXPECT_FALSE(enough.Exceeded());
    EXPECT_EQ(list.Top()->Image().Width(), size->width);
    // With room for any label it is drawn first and counted the same.
    MemoryBudget roomy(std::uint64_t{1} << 40);
    ASSERT_NE(CreateItemFromRecord(list, record, &roomy), nullptr);
    EXPECT_EQ(roomy.Needed(), needed);
}

}  // namespace
}  // namespace vantrel
