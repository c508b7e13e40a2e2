#include "document/Archive.h"

#include <algorithm>
#include <utility>

namespace vantrel {

const char* ArchiveError::what() const noexcept {
    switch (cause_) {
        case ArchiveErrorCause::kBadIndex: return "archive: unexpected content";
        case ArchiveErrorCause::kEndOfFile: return "archive: unexpected end of file";
        case ArchiveErrorCause::kWriteFailed: return "archive: write failed";
    }
    return "archive: error";
}

void ThrowFormatError() { throw ArchiveError(ArchiveErrorCause::kBadIndex); }

Archive::Archive(bool storing, std::filesystem::path fileName)
    : storing_(storing), fileName_(std::move(fileName)) {}

Archive Archive::Loading(std::span<const std::uint8_t> bytes, std::filesystem::path fileName) {
    Archive archive(false, std::move(fileName));
    archive.input_ = ByteReader(bytes);
    return archive;
}

Archive Archive::Storing(ByteSinkFn sink, std::filesystem::path fileName) {
    Archive archive(true, std::move(fileName));
    archive.sink_ = std::move(sink);
    return archive;
}

Archive Archive::StoringTo(std::vector<std::uint8_t>& out, std::filesystem::path fileName) {
    return Storing(
        [&out](std::span<const std::uint8_t> bytes) {
            out.insert(out.end(), bytes.begin(), bytes.end());
            return true;
        },
        std::move(fileName));
}

// ---- loading ----

void Archive::Require(std::size_t n) const {
    if (n > Remaining()) throw ArchiveError(ArchiveErrorCause::kEndOfFile);
}

std::uint8_t Archive::ReadU8() {
    Require(1);
    return input_.U8();
}

std::uint16_t Archive::ReadU16() {
    Require(2);
    return input_.U16();
}

std::uint32_t Archive::ReadU32() {
    Require(4);
    return input_.U32();
}

double Archive::ReadF64() {
    Require(8);
    return input_.F64();
}

std::string Archive::ReadString(std::size_t maxLength) {
    std::size_t length = ReadU8();
    if (length == kLongStringMarker) {
        const std::uint16_t wide = ReadU16();
        if (wide == kWideStringMarker) ThrowFormatError();
        length = wide == kHugeStringMarker ? std::size_t{ReadU32()} : std::size_t{wide};
    }
    if (length > maxLength) ThrowFormatError();
    const auto view = ReadView(length);
    return std::string(view.begin(), view.end());
}

void Archive::Read(std::span<std::uint8_t> out) {
    const auto view = ReadView(out.size());
    std::copy(view.begin(), view.end(), out.begin());
}

std::span<const std::uint8_t> Archive::ReadView(std::size_t n) {
    Require(n);
    return input_.Take(n);
}

std::span<const std::uint8_t> Archive::ReadRest() { return ReadView(Remaining()); }

// ---- storing ----

void Archive::Emit(std::span<const std::uint8_t> bytes) {
    if (bytes.empty()) return;
    if (!sink_ || !sink_(bytes)) throw ArchiveError(ArchiveErrorCause::kWriteFailed);
}

void Archive::Flush() {
    // The buffer is emptied first so that a failed sink does not see the same bytes twice.
    std::vector<std::uint8_t> pending;
    pending.swap(buffer_);
    Emit(pending);
}

ByteWriter Archive::Room(std::size_t n) {
    if (!storing_) throw ArchiveError(ArchiveErrorCause::kWriteFailed);
    stored_ += n;
    if (buffer_.size() + n > kStoreBufferBytes) Flush();
    return ByteWriter(buffer_);
}

void Archive::Write(std::span<const std::uint8_t> bytes) {
    const bool fits = buffer_.size() + bytes.size() <= kStoreBufferBytes;
    ByteWriter buffer = Room(bytes.size());
    if (fits || bytes.size() < kStoreBufferBytes) {
        buffer.Bytes(bytes);
    } else {
        // A large run (a pixel block) goes straight to the sink after what was buffered.
        Emit(bytes);
    }
}

void Archive::WriteU8(std::uint8_t value) { Room(1).U8(value); }

void Archive::WriteU16(std::uint16_t value) { Room(2).U16(value); }

void Archive::WriteU32(std::uint32_t value) { Room(4).U32(value); }

void Archive::WriteF64(double value) { Room(8).F64(value); }

void Archive::WriteString(std::string_view text) {
    const std::size_t length = text.size();
    if (length < kLongStringMarker) {
        WriteU8(static_cast<std::uint8_t>(length));
    } else if (length < kWideStringMarker) {
        WriteU8(kLongStringMarker);
        WriteU16(static_cast<std::uint16_t>(length));
    } else {
        if (length > std::numeric_limits<std::uint32_t>::max()) throw ArchiveError(ArchiveErrorCause::kWriteFailed);
        WriteU8(kLongStringMarker);
        WriteU16(kHugeStringMarker);
        WriteU32(static_cast<std::uint32_t>(length));
    }
    Write(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), length));
}

}  // namespace vantrel
