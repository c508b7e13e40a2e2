#pragma once
// Archive: the byte stream a document is read from or written to. Numbers are
// little-endian without padding; strings are counted (a length in one of
// three forms, then the 8-bit characters, no terminator); raw byte runs are
// copied as they are.
//
// A loading archive reads from bytes in memory and never reads past them. A
// storing archive buffers its output and hands it to a byte sink (a file
// being written, or a vector in memory).
//
// Reading something that is not what the reader expects, running out of
// bytes, or a sink that refuses bytes raises ArchiveError. The exception never
// leaves the document file functions: they catch it where a document is
// opened or saved and turn it into a Status.

#include <cstddef>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <limits>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/ByteReader.h"
#include "core/ByteWriter.h"
#include "core/FileIO.h"

namespace vantrel {

// The one message for every file that cannot be read as a document.
inline constexpr std::string_view kUnexpectedFileFormat = "Unexpected file format.";
// The message when memory runs out while a file is read.
inline constexpr std::string_view kNotEnoughMemory = "There is not enough memory to read this file.";

// Why an archive stopped.
enum class ArchiveErrorCause {
    kBadIndex,     // the bytes are not what the format allows
    kEndOfFile,    // a field runs past the end of the bytes
    kWriteFailed,  // the sink refused bytes
};

class ArchiveError : public std::exception {
public:
    explicit ArchiveError(ArchiveErrorCause cause) : cause_(cause) {}
    ArchiveErrorCause Cause() const { return cause_; }
    const char* what() const noexcept override;

private:
    ArchiveErrorCause cause_;
};

// Raises the format error (cause kBadIndex).
[[noreturn]] void ThrowFormatError();

class Archive {
public:
    // Counted-string length forms: one byte below kLongStringMarker; then the
    // marker and a 16-bit length below kWideStringMarker; then the marker,
    // kHugeStringMarker and a 32-bit length.
    static constexpr std::uint8_t kLongStringMarker = 0xFF;
    static constexpr std::uint16_t kWideStringMarker = 0xFFFE;
    static constexpr std::uint16_t kHugeStringMarker = 0xFFFF;
    // Storing output is handed to the sink in pieces of about this size.
    static constexpr std::size_t kStoreBufferBytes = std::size_t{64} << 10;

    // An archive reading bytes (not copied: they must outlive the archive).
    // fileName names the file the bytes came from, if any.
    static Archive Loading(std::span<const std::uint8_t> bytes, std::filesystem::path fileName = {});
    // An archive writing through sink. Call Flush when done; bytes still
    // buffered at destruction are dropped.
    static Archive Storing(ByteSinkFn sink, std::filesystem::path fileName = {});
    // An archive appending to out.
    static Archive StoringTo(std::vector<std::uint8_t>& out, std::filesystem::path fileName = {});

    Archive(const Archive&) = delete;
    Archive& operator=(const Archive&) = delete;
    Archive(Archive&&) = default;
    Archive& operator=(Archive&&) = default;
    ~Archive() = default;

    bool IsStoring() const { return storing_; }
    bool IsLoading() const { return !storing_; }
    // The file the archive reads or writes; empty for bytes in memory.
    const std::filesystem::path& FileName() const { return fileName_; }

    // ---- loading ----
    std::uint8_t ReadU8();
    std::uint16_t ReadU16();
    std::uint32_t ReadU32();
    std::int32_t ReadI32() { return static_cast<std::int32_t>(ReadU32()); }
    double ReadF64();
    // A counted string. A length above maxLength is a format error, raised
    // before anything is allocated; so is the 16-bit length 0xFFFE, which no
    // writer produces.
    std::string ReadString(std::size_t maxLength = std::numeric_limits<std::size_t>::max());
    // Fills out with the next bytes.
    void Read(std::span<std::uint8_t> out);
    // The next n bytes as a view into the loaded bytes.
    std::span<const std::uint8_t> ReadView(std::size_t n);
    // Everything not read yet, as a view (the archive is then at its end).
    std::span<const std::uint8_t> ReadRest();
    std::size_t Position() const { return input_.Position(); }
    std::size_t Remaining() const { return input_.Remaining(); }

    // ---- storing ----
    void WriteU8(std::uint8_t value);
    void WriteU16(std::uint16_t value);
    void WriteU32(std::uint32_t value);
    void WriteI32(std::int32_t value) { WriteU32(static_cast<std::uint32_t>(value)); }
    void WriteF64(double value);
    // A counted string in the shortest form that holds its length.
    void WriteString(std::string_view text);
    // Bytes as they are.
    void Write(std::span<const std::uint8_t> bytes);
    // Hands everything buffered to the sink.
    void Flush();
    // Bytes written so far, flushed or not.
    std::uint64_t BytesStored() const { return stored_; }

private:
    Archive(bool storing, std::filesystem::path fileName);
    // Raises end of file unless n more bytes can be read.
    void Require(std::size_t n) const;
    // Counts n bytes as stored and returns a writer appending to the buffer,
    // flushing the buffer first when n more bytes would not fit in it.
    ByteWriter Room(std::size_t n);
    void Emit(std::span<const std::uint8_t> bytes);

    bool storing_;
    std::filesystem::path fileName_;
    ByteReader input_{std::span<const std::uint8_t>{}};
    ByteSinkFn sink_;
    std::vector<std::uint8_t> buffer_;
    std::uint64_t stored_ = 0;
};

}  // namespace vantrel
