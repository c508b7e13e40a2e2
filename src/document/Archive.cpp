#include "document/Archive.h"

#include <algorithm>
#include <bit>
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
    archive.input_ = bytes;
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
    return input_[position_++];
}

std::uint16_t Archive::ReadU16() {
    Require(2);
    const auto value = static_cast<std::uint16_t>(input_[position_] | (input_[position_ + 1] << 8));
    position_ += 2;
    return value;
}

std::uint32_t Archive::ReadU32() {
    Require(4);
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = (value << 8) | input_[position_ + std::size_t(i)];
    position_ += 4;
    return value;
}

double Archive::ReadF64() {
    const std::uint64_t low = ReadU32();
    const std::uint64_t high = ReadU32();
    return std::bit_cast<double>(low | (high << 32));
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
    const auto view = input_.subspan(position_, n);
    position_ += n;
    return view;
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

void Archive::Write(std::span<const std::uint8_t> bytes) {
    if (!storing_) throw ArchiveError(ArchiveErrorCause::kWriteFailed);
    stored_ += bytes.size();
    if (buffer_.size() + bytes.size() <= kStoreBufferBytes) {
        buffer_.insert(buffer_.end(), bytes.begin(), bytes.end());
        return;
    }
    // Large runs (pixel blocks) go straight to the sink after what is buffered.
    Flush();
    if (bytes.size() >= kStoreBufferBytes) {
        Emit(bytes);
    } else {
        buffer_.insert(buffer_.end(), bytes.begin(), bytes.end());
    }
}

void Archive::WriteU8(std::uint8_t value) { Write(std::span(&value, 1)); }

void Archive::WriteU16(std::uint16_t value) {
    const std::uint8_t bytes[2] = {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8)};
    Write(bytes);
}

void Archive::WriteU32(std::uint32_t value) {
    const std::uint8_t bytes[4] = {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
                                   static_cast<std::uint8_t>(value >> 16),
                                   static_cast<std::uint8_t>(value >> 24)};
    Write(bytes);
}

void Archive::WriteF64(double value) {
    const auto bits = std::bit_cast<std::uint64_t>(value);
    WriteU32(static_cast<std::uint32_t>(bits));
    WriteU32(static_cast<std::uint32_t>(bits >> 32));
}

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
