#pragma once
// Little-endian writing: appends numbers and byte runs to a byte vector, the
// counterpart of ByteReader. Every multi-byte number is written low byte
// first; a double is written as its 64-bit pattern.

#include <bit>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace vantrel {

class ByteWriter {
public:
    // Appends to out, which must outlive the writer.
    explicit ByteWriter(std::vector<std::uint8_t>& out) : out_(out) {}

    // Bytes in the vector, including any it held before the writer came.
    std::size_t Size() const { return out_.size(); }

    ByteWriter& U8(std::uint8_t value) {
        out_.push_back(value);
        return *this;
    }
    ByteWriter& U16(std::uint16_t value) { return Little(value, 2); }
    ByteWriter& U32(std::uint32_t value) { return Little(value, 4); }
    ByteWriter& I32(std::int32_t value) { return U32(static_cast<std::uint32_t>(value)); }
    ByteWriter& F64(double value) { return Little(std::bit_cast<std::uint64_t>(value), 8); }

    ByteWriter& Bytes(std::span<const std::uint8_t> bytes) {
        out_.insert(out_.end(), bytes.begin(), bytes.end());
        return *this;
    }
    // The 8-bit characters of text, without a length or terminator.
    ByteWriter& Text(std::string_view text) {
        out_.insert(out_.end(), text.begin(), text.end());
        return *this;
    }
    ByteWriter& Zeros(std::size_t n) {
        out_.insert(out_.end(), n, 0);
        return *this;
    }

    // Overwrite bytes written before: the four (eight) bytes from offset at
    // must already be in the vector.
    void PatchU32(std::size_t at, std::uint32_t value) { Store(at, value, 4); }
    void PatchF64(std::size_t at, double value) { Store(at, std::bit_cast<std::uint64_t>(value), 8); }

private:
    ByteWriter& Little(std::uint64_t value, std::size_t bytes) {
        const std::size_t at = out_.size();
        out_.resize(at + bytes);
        Store(at, value, bytes);
        return *this;
    }
    // The low `bytes` bytes of value, low byte first, at offset at.
    void Store(std::size_t at, std::uint64_t value, std::size_t bytes) {
        assert(at <= out_.size() && out_.size() - at >= bytes);
        for (std::size_t i = 0; i < bytes; ++i) out_[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }

    std::vector<std::uint8_t>& out_;
};

}  // namespace vantrel
