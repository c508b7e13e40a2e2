// An animation made from the input written as animated PNG, then read back:
// libpng (through the program's PNG reader) must show the first frame
// exactly, and every chunk must be whole, with its CRC, the frame chunks
// numbered in sequence and every frame inside the canvas.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>
#include <vector>

#include <zlib.h>

#include "FuzzAnimation.h"
#include "codec/ApngWriter.h"
#include "codec/PngCodec.h"

namespace {

std::uint32_t Big32(const std::uint8_t* p) {
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3];
}

// Walks the chunks; aborts on anything a reader would refuse.
void CheckChunks(const std::vector<std::uint8_t>& bytes, const vantrel::AnimationFrames& frames) {
    std::size_t at = 8;
    std::uint32_t sequence = 0, controls = 0;
    bool ended = false;
    while (at < bytes.size()) {
        if (bytes.size() - at < 12) std::abort();
        const std::uint32_t length = Big32(&bytes[at]);
        if (length > bytes.size() - at - 12) std::abort();
        const std::uint8_t* type = &bytes[at + 4];
        const std::uint8_t* data = &bytes[at + 8];
        if (crc32(crc32(0, nullptr, 0), type, length + 4) != Big32(data + length)) std::abort();
        if (std::memcmp(type, "fcTL", 4) == 0 || std::memcmp(type, "fdAT", 4) == 0) {
            if (length < 4 || Big32(data) != sequence++) std::abort();
        }
        if (std::memcmp(type, "fcTL", 4) == 0) {
            ++controls;
            const std::uint32_t w = Big32(data + 4), h = Big32(data + 8), x = Big32(data + 12), y = Big32(data + 16);
            if (w == 0 || h == 0 || x + w > std::uint32_t(frames.width) || y + h > std::uint32_t(frames.height))
                std::abort();
        }
        if (std::memcmp(type, "IEND", 4) == 0) ended = at + 12 == bytes.size();
        at += 12 + length;
    }
    if (!ended || controls != frames.frames.size()) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const vantrel::fuzz::FuzzAnimation animation = vantrel::fuzz::MakeFuzzAnimation({data, size});
    std::vector<std::uint8_t> bytes;
    if (!vantrel::EncodeApng(animation.frames, bytes)) std::abort();  // every such animation can be written
    CheckChunks(bytes, animation.frames);
    vantrel::PngCodec codec;
    if (!codec.ReadPng(std::span<const std::uint8_t>(bytes))) std::abort();
    const vantrel::PackedDib& first = animation.images.front();
    const vantrel::PackedDib* read = codec.image();
    if (read->Width() != first.Width() || read->Height() != first.Height()) std::abort();
    for (int y = 0; y < first.Height(); ++y)
        for (int x = 0; x < first.Width(); ++x)
            if (!vantrel::fuzz::SameShownPixel(read->Row(y)[x], first.Row(y)[x])) std::abort();
    return 0;
}
