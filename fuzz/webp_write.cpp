// An animation made from the input written as WebP, then read back through
// libwebp's animation decoder: lossless, at every moment the file must show
// exactly the frame shown then (the encoder merges a frame identical to the
// one before into its duration); lossy (when the input asks), the canvas, the
// frame count and the total time. An animation of one picture throughout
// becomes a still WebP, without time.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include <webp/demux.h>

#include "FuzzAnimation.h"
#include "codec/WebpAnimation.h"

namespace {

using vantrel::PackedDib;

bool SameShown(const PackedDib& image, const std::uint8_t* rgba) {
    for (int y = 0; y < image.Height(); ++y) {
        for (int x = 0; x < image.Width(); ++x, rgba += 4) {
            const vantrel::PixelValue read = vantrel::MakePixel(rgba[0], rgba[1], rgba[2], std::uint8_t(255 - rgba[3]));
            if (!vantrel::fuzz::SameShownPixel(read, image.Row(y)[x])) return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const vantrel::fuzz::FuzzAnimation animation = vantrel::fuzz::MakeFuzzAnimation({data, size});
    vantrel::WebpOptions options;
    const bool lossy = (animation.flags & 1) != 0;
    if (lossy) options.quality = animation.flags >> 1;  // 0 to 127, clamped to 100
    std::vector<std::uint8_t> bytes;
    if (!vantrel::EncodeWebpAnimation(animation.frames, options, bytes)) std::abort();

    const WebPData webp{bytes.data(), bytes.size()};
    WebPAnimDecoderOptions decoderOptions;
    if (!WebPAnimDecoderOptionsInit(&decoderOptions)) std::abort();
    decoderOptions.color_mode = MODE_RGBA;
    std::unique_ptr<WebPAnimDecoder, void (*)(WebPAnimDecoder*)> decoder(WebPAnimDecoderNew(&webp, &decoderOptions),
                                                                         WebPAnimDecoderDelete);
    WebPAnimInfo info;
    if (!decoder || !WebPAnimDecoderGetInfo(decoder.get(), &info)) std::abort();
    if (int(info.canvas_width) != animation.frames.width || int(info.canvas_height) != animation.frames.height)
        std::abort();
    // Every decoded frame with its end time.
    std::vector<std::pair<std::vector<std::uint8_t>, std::uint32_t>> decoded;
    while (WebPAnimDecoderHasMoreFrames(decoder.get())) {
        std::uint8_t* rgba = nullptr;
        int timestamp = 0;
        if (!WebPAnimDecoderGetNext(decoder.get(), &rgba, &timestamp)) std::abort();
        const std::size_t bytesPerFrame = std::size_t(info.canvas_width) * info.canvas_height * 4;
        decoded.emplace_back(std::vector<std::uint8_t>(rgba, rgba + bytesPerFrame), std::uint32_t(timestamp));
    }
    const auto& input = animation.frames.frames;
    std::uint32_t total = 0;
    for (const auto& frame : input) total += frame.milliseconds;
    if (decoded.empty() || decoded.size() > input.size()) std::abort();
    // A single frame is a still picture, without time.
    const bool still = decoded.size() == 1;
    if (!still && decoded.back().second != total) std::abort();
    if (lossy) return 0;
    if (still) {
        for (std::size_t i = 0; i < input.size(); ++i)
            if ((input[i].milliseconds > 0 || total == 0) && !SameShown(animation.images[i], decoded.front().first.data()))
                std::abort();
        return 0;
    }
    // At the start of every input frame that is shown at all, and of every
    // decoded frame, the two show the same picture.
    std::uint32_t start = 0;
    std::size_t k = 0;
    for (std::size_t i = 0; i < input.size(); start += input[i].milliseconds, ++i) {
        if (input[i].milliseconds == 0) continue;
        while (k < decoded.size() && decoded[k].second <= start) ++k;
        if (k == decoded.size() || !SameShown(animation.images[i], decoded[k].first.data())) std::abort();
    }
    std::uint32_t decodedStart = 0;
    std::size_t i = 0;
    std::uint32_t inputEnd = input.front().milliseconds;
    for (const auto& [rgba, end] : decoded) {
        while (i + 1 < input.size() && inputEnd <= decodedStart) inputEnd += input[++i].milliseconds;
        if (end > decodedStart && !SameShown(animation.images[i], rgba.data())) std::abort();
        decodedStart = end;
    }
    return 0;
}
