#pragma once
// Bounded little-endian reading over a byte span. Reading past the end yields
// zeros and sets the exhausted flag; nothing is ever read outside the span.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

namespace vantrel {

class ByteReader {
public:
    explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::size_t Position() const { return pos_; }
    std::size_t Size() const { return bytes_.size(); }
    std::size_t Remaining() const { return bytes_.size() - pos_; }
    bool AtEnd() const { return pos_ >= bytes_.size(); }
    // True once any read asked for more bytes than were left.
    bool Exhausted() const { return exhausted_; }

    std::uint8_t U8() {
        if (pos_ >= bytes_.size()) {
            exhausted_ = true;
            return 0;
        }
        return bytes_[pos_++];
    }
    std::uint16_t U16() {
        const std::uint16_t lo = U8();
        return static_cast<std::uint16_t>(lo | (U8() << 8));
    }
    std::uint32_t U32() {
        const std::uint32_t lo = U16();
        return lo | (std::uint32_t{U16()} << 16);
    }
    std::int32_t I32() { return static_cast<std::int32_t>(U32()); }
    // A double stored as its 64-bit pattern, low half first.
    double F64() {
        const std::uint64_t lo = U32();
        return std::bit_cast<double>(lo | (std::uint64_t{U32()} << 32));
    }

    // Copies n bytes into out; when fewer are left, copies what there is,
    // zero-fills the rest and returns false.
    bool Read(void* out, std::size_t n) {
        const std::size_t take = n <= Remaining() ? n : Remaining();
        if (take > 0) std::memcpy(out, bytes_.data() + pos_, take);
        if (take < n) {
            std::memset(static_cast<std::uint8_t*>(out) + take, 0, n - take);
            exhausted_ = true;
        }
        pos_ += take;
        return take == n;
    }
    // The next n bytes as a view, or an empty span (and exhausted) when fewer are left.
    std::span<const std::uint8_t> Take(std::size_t n) {
        if (n > Remaining()) {
            pos_ = bytes_.size();
            exhausted_ = true;
            return {};
        }
        auto view = bytes_.subspan(pos_, n);
        pos_ += n;
        return view;
    }
    // Moves forward n bytes, at most to the end.
    bool Skip(std::size_t n) {
        if (n > Remaining()) {
            pos_ = bytes_.size();
            exhausted_ = true;
            return false;
        }
        pos_ += n;
        return true;
    }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t pos_ = 0;
    bool exhausted_ = false;
};

}  // namespace vantrel
