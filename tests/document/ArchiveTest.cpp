#include "document/Archive.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vantrel {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Runs fn against an archive appending to a vector, flushes, returns the bytes.
template <typename Fn>
Bytes Stored(Fn fn) {
    Bytes out;
    Archive archive = Archive::StoringTo(out);
    fn(archive);
    archive.Flush();
    return out;
}

// The cause of the ArchiveError fn raises; fails the test when it raises none.
template <typename Fn>
ArchiveErrorCause CauseOf(Fn fn) {
    try {
        fn();
    } catch (const ArchiveError& error) {
        return error.Cause();
    }
    ADD_FAILURE() << "no archive error raised";
    return ArchiveErrorCause::kWriteFailed;
}

TEST(ArchiveTest, NumbersAreLittleEndianWithoutPadding) {
    const Bytes bytes = Stored([](Archive& a) {
        a.WriteU8(0xAB);
        a.WriteU16(0x1234);
        a.WriteU32(0xDEADBEEF);
        a.WriteI32(-2);
        a.WriteF64(1.0);  // 0x3FF0000000000000
    });
    const Bytes expected = {0xAB, 0x34, 0x12, 0xEF, 0xBE, 0xAD, 0xDE, 0xFE, 0xFF, 0xFF, 0xFF,
                            0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF0, 0x3F};
    EXPECT_EQ(bytes, expected);

    Archive in = Archive::Loading(bytes);
    EXPECT_EQ(in.ReadU8(), 0xAB);
    EXPECT_EQ(in.ReadU16(), 0x1234);
    EXPECT_EQ(in.ReadU32(), 0xDEADBEEFu);
    EXPECT_EQ(in.ReadI32(), -2);
    EXPECT_EQ(in.ReadF64(), 1.0);
    EXPECT_EQ(in.Remaining(), 0u);
}

// Each length form: the bytes before the characters, and the round trip.
struct StringForm {
    std::size_t length;
    Bytes prefix;
};

TEST(ArchiveTest, CountedStringsTakeTheShortestOfThreeLengthForms) {
    const StringForm forms[] = {
        {0, {0x00}},
        {7, {0x07}},
        {254, {0xFE}},                                  // largest one-byte length
        {255, {0xFF, 0xFF, 0x00}},                      // 0xFF then a 16-bit length
        {0xFFFD, {0xFF, 0xFD, 0xFF}},                   // largest 16-bit length
        {0xFFFE, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},  // 0xFF, 0xFFFF, 32-bit length
        {70000, {0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00}},
    };
    for (const StringForm& form : forms) {
        SCOPED_TRACE(form.length);
        std::string text(form.length, 'x');
        for (std::size_t i = 0; i < text.size(); ++i) text[i] = static_cast<char>('a' + i % 26);
        const Bytes bytes = Stored([&](Archive& a) { a.WriteString(text); });
        ASSERT_EQ(bytes.size(), form.prefix.size() + form.length);
        EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + std::ptrdiff_t(form.prefix.size())), form.prefix);
        EXPECT_EQ(std::string(bytes.begin() + std::ptrdiff_t(form.prefix.size()), bytes.end()), text);

        Archive in = Archive::Loading(bytes);
        EXPECT_EQ(in.ReadString(), text);
        EXPECT_EQ(in.Remaining(), 0u);
    }
}

TEST(ArchiveTest, LongerLengthFormsAreReadEvenForShortStrings) {
    const Bytes wide = {0xFF, 0x03, 0x00, 'a', 'b', 'c'};
    const Bytes huge = {0xFF, 0xFF, 0xFF, 0x03, 0x00, 0x00, 0x00, 'a', 'b', 'c'};
    Archive a = Archive::Loading(wide);
    EXPECT_EQ(a.ReadString(), "abc");
    Archive b = Archive::Loading(huge);
    EXPECT_EQ(b.ReadString(), "abc");
}

TEST(ArchiveTest, StringsThatCannotBeReadRaiseTheRightCause) {
    struct Case {
        const char* name;
        Bytes bytes;
        std::size_t maxLength;
        ArchiveErrorCause cause;
    };
    const Case cases[] = {
        {"empty input", {}, 100, ArchiveErrorCause::kEndOfFile},
        {"characters missing", {0x05, 'a', 'b'}, 100, ArchiveErrorCause::kEndOfFile},
        {"16-bit length cut", {0xFF, 0x10}, 100, ArchiveErrorCause::kEndOfFile},
        {"32-bit length cut", {0xFF, 0xFF, 0xFF, 0x01, 0x00}, 100, ArchiveErrorCause::kEndOfFile},
        {"huge length, few bytes", {0xFF, 0xFF, 0xFF, 0xF0, 0xFF, 0xFF, 0xFF, 'a'}, SIZE_MAX,
         ArchiveErrorCause::kEndOfFile},
        {"16-bit length 0xFFFE", {0xFF, 0xFE, 0xFF}, SIZE_MAX, ArchiveErrorCause::kBadIndex},
        {"longer than allowed", {0x05, 'a', 'b', 'c', 'd', 'e'}, 4, ArchiveErrorCause::kBadIndex},
        // The limit is checked before the characters are looked for.
        {"huge and longer than allowed", {0xFF, 0xFF, 0xFF, 0xF0, 0xFF, 0xFF, 0xFF}, 254,
         ArchiveErrorCause::kBadIndex},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Archive in = Archive::Loading(c.bytes);
        EXPECT_EQ(CauseOf([&] { in.ReadString(c.maxLength); }), c.cause);
    }
}

TEST(ArchiveTest, ReadsPastTheEndRaiseEndOfFile) {
    const Bytes three = {1, 2, 3};
    const struct {
        const char* name;
        std::function<void(Archive&)> read;
    } reads[] = {
        {"u32", [](Archive& a) { a.ReadU32(); }},
        {"i32", [](Archive& a) { a.ReadI32(); }},
        {"f64", [](Archive& a) { a.ReadF64(); }},
        {"raw 4", [](Archive& a) {
             std::uint8_t out[4];
             a.Read(out);
         }},
        {"view 4", [](Archive& a) { a.ReadView(4); }},
        {"u16 after u16", [](Archive& a) {
             a.ReadU16();
             a.ReadU16();
         }},
    };
    for (const auto& r : reads) {
        SCOPED_TRACE(r.name);
        Archive in = Archive::Loading(three);
        EXPECT_EQ(CauseOf([&] { r.read(in); }), ArchiveErrorCause::kEndOfFile);
    }
}

TEST(ArchiveTest, RawBytesAreCopiedAsTheyAre) {
    const Bytes payload = {0, 1, 0xFF, 0x80, 0};
    const Bytes bytes = Stored([&](Archive& a) {
        a.Write(payload);
        a.WriteU8(9);
    });
    EXPECT_EQ(bytes, (Bytes{0, 1, 0xFF, 0x80, 0, 9}));

    Archive in = Archive::Loading(bytes);
    std::uint8_t first[2];
    in.Read(first);
    EXPECT_EQ(first[0], 0);
    EXPECT_EQ(first[1], 1);
    const auto view = in.ReadView(3);
    EXPECT_EQ(Bytes(view.begin(), view.end()), (Bytes{0xFF, 0x80, 0}));
    EXPECT_EQ(in.Position(), 5u);
    const auto rest = in.ReadRest();
    EXPECT_EQ(Bytes(rest.begin(), rest.end()), Bytes{9});
    EXPECT_EQ(in.Remaining(), 0u);
}

TEST(ArchiveTest, StoringBuffersSmallWritesAndPassesLargeRunsInOrder) {
    std::vector<Bytes> pieces;
    Archive archive = Archive::Storing([&](std::span<const std::uint8_t> piece) {
        pieces.emplace_back(piece.begin(), piece.end());
        return true;
    });
    archive.WriteU32(7);
    EXPECT_TRUE(pieces.empty());  // still buffered
    const Bytes large(Archive::kStoreBufferBytes, 0x5A);
    archive.Write(large);
    archive.WriteU8(1);
    archive.Flush();
    EXPECT_EQ(archive.BytesStored(), 4 + large.size() + 1);

    // The buffered four bytes first, then the run itself, then the last byte.
    ASSERT_EQ(pieces.size(), 3u);
    EXPECT_EQ(pieces[0], (Bytes{7, 0, 0, 0}));
    EXPECT_EQ(pieces[1], large);
    EXPECT_EQ(pieces[2], Bytes{1});
}

TEST(ArchiveTest, ARefusingSinkRaisesWriteFailed) {
    Archive archive = Archive::Storing([](std::span<const std::uint8_t>) { return false; });
    archive.WriteU32(1);  // buffered: the sink has not been asked yet
    EXPECT_EQ(CauseOf([&] { archive.Flush(); }), ArchiveErrorCause::kWriteFailed);
    // The refused bytes are not offered again.
    EXPECT_NO_THROW(archive.Flush());
}

TEST(ArchiveTest, DirectionIsFixedAtCreation) {
    Bytes out;
    Archive storing = Archive::StoringTo(out, "a.qvd");
    EXPECT_TRUE(storing.IsStoring());
    EXPECT_EQ(storing.FileName(), std::filesystem::path("a.qvd"));
    EXPECT_EQ(CauseOf([&] { storing.ReadU8(); }), ArchiveErrorCause::kEndOfFile);

    const Bytes in = {1};
    Archive loading = Archive::Loading(in, "b.gif");
    EXPECT_TRUE(loading.IsLoading());
    EXPECT_EQ(loading.FileName(), std::filesystem::path("b.gif"));
    EXPECT_EQ(CauseOf([&] { loading.WriteU8(1); }), ArchiveErrorCause::kWriteFailed);
    EXPECT_EQ(loading.ReadU8(), 1);  // a refused write does not move the read position
}

}  // namespace
}  // namespace vantrel
