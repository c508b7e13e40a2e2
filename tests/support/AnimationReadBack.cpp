#include "support/AnimationReadBack.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <memory>

#include <png.h>
#include <webp/demux.h>
#include <zlib.h>

namespace vantrel::test {

PackedDib PictureFromRgba(const std::uint8_t* rgba, int width, int height) {
    PackedDib picture;
    picture.SetSize(width, height);
    for (int y = 0; y < height; ++y) {
        PixelValue* row = picture.Row(y);
        const std::uint8_t* in = rgba + std::size_t(y) * std::size_t(width) * 4;
        for (int x = 0; x < width; ++x, in += 4)
            row[x] = MakePixel(in[0], in[1], in[2], static_cast<std::uint8_t>(255 - in[3]));
    }
    return picture;
}

bool SameShown(const PackedDib& a, const PackedDib& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
    for (int y = 0; y < a.Height(); ++y) {
        for (int x = 0; x < a.Width(); ++x) {
            const PixelValue p = a.Row(y)[x], q = b.Row(y)[x];
            const bool clear = TransparencyOf(p) == 255 && TransparencyOf(q) == 255;
            if (!clear && p != q) return false;
        }
    }
    return true;
}

namespace {

ReadBackAnimation Failed(std::string reason) {
    ReadBackAnimation result;
    result.error = std::move(reason);
    return result;
}

}  // namespace

// ---------------------------------------------------------------------------
// WebP

ReadBackAnimation ReadWebpAnimation(std::span<const std::uint8_t> bytes) {
    ReadBackAnimation result;
    const WebPData data{bytes.data(), bytes.size()};
    WebPAnimDecoderOptions options;
    if (!WebPAnimDecoderOptionsInit(&options)) return Failed("libwebp version");
    options.color_mode = MODE_RGBA;
    options.use_threads = 0;
    std::unique_ptr<WebPAnimDecoder, void (*)(WebPAnimDecoder*)> decoder(WebPAnimDecoderNew(&data, &options),
                                                                         WebPAnimDecoderDelete);
    if (!decoder) return Failed("not a WebP file libwebp reads");
    WebPAnimInfo info;
    if (!WebPAnimDecoderGetInfo(decoder.get(), &info)) return Failed("no animation info");
    result.width = int(info.canvas_width);
    result.height = int(info.canvas_height);
    result.plays = info.loop_count;
    int previous = 0;
    while (WebPAnimDecoderHasMoreFrames(decoder.get())) {
        std::uint8_t* rgba = nullptr;
        int timestamp = 0;  // the end of the frame
        if (!WebPAnimDecoderGetNext(decoder.get(), &rgba, &timestamp)) return Failed("frame not decoded");
        ReadBackFrame frame;
        frame.image = PictureFromRgba(rgba, result.width, result.height);
        frame.milliseconds = std::uint32_t(timestamp - previous);
        previous = timestamp;
        result.frames.push_back(std::move(frame));
    }
    // The stored rectangles, through the demuxer.
    const WebPDemuxer* demux = WebPAnimDecoderGetDemuxer(decoder.get());
    WebPIterator iter;
    if (WebPDemuxGetFrame(demux, 1, &iter)) {
        std::size_t i = 0;
        do {
            if (i < result.frames.size())
                result.frames[i].stored = {iter.x_offset, iter.y_offset, iter.x_offset + iter.width,
                                           iter.y_offset + iter.height};
            ++i;
        } while (WebPDemuxNextFrame(&iter));
        WebPDemuxReleaseIterator(&iter);
    }
    return result;
}

// ---------------------------------------------------------------------------
// APNG

namespace {

std::uint32_t Big32(const std::uint8_t* p) {
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3];
}
std::uint16_t Big16(const std::uint8_t* p) { return std::uint16_t((p[0] << 8) | p[1]); }

struct FrameControl {
    Rect area;
    std::uint32_t milliseconds = 0;
    int dispose = 0;
    int blend = 0;
    std::vector<std::uint8_t> stream;  // zlib data of the frame
};

int Paeth(int a, int b, int c) {
    const int p = a + b - c;
    const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    if (pa <= pb && pa <= pc) return a;
    return pb <= pc ? b : c;
}

// Inflates and unfilters a frame into RGBA rows; false on any damage.
bool Unfilter(const FrameControl& frame, int channels, std::vector<std::uint8_t>& rgba) {
    const std::size_t width = std::size_t(frame.area.Width());
    const std::size_t height = std::size_t(frame.area.Height());
    const std::size_t stride = width * std::size_t(channels);
    std::vector<std::uint8_t> raw((stride + 1) * height);
    uLongf length = static_cast<uLongf>(raw.size());
    if (uncompress(raw.data(), &length, frame.stream.data(), static_cast<uLong>(frame.stream.size())) != Z_OK ||
        length != raw.size())
        return false;
    std::vector<std::uint8_t> prior(stride, 0), row(stride);
    rgba.assign(width * height * 4, 255);
    for (std::size_t y = 0; y < height; ++y) {
        const std::uint8_t* in = raw.data() + y * (stride + 1);
        const int type = in[0];
        ++in;
        for (std::size_t i = 0; i < stride; ++i) {
            const int a = i >= std::size_t(channels) ? row[i - std::size_t(channels)] : 0;
            const int b = prior[i];
            const int c = i >= std::size_t(channels) ? prior[i - std::size_t(channels)] : 0;
            int predictor = 0;
            switch (type) {
            case 0: predictor = 0; break;
            case 1: predictor = a; break;
            case 2: predictor = b; break;
            case 3: predictor = (a + b) / 2; break;
            case 4: predictor = Paeth(a, b, c); break;
            default: return false;
            }
            row[i] = std::uint8_t(in[i] + predictor);
        }
        for (std::size_t x = 0; x < width; ++x)
            for (int k = 0; k < channels; ++k) rgba[(y * width + x) * 4 + std::size_t(k)] = row[x * std::size_t(channels) + std::size_t(k)];
        prior = row;
    }
    return true;
}

// Draws a frame's RGBA rectangle onto the canvas (RGBA too), replacing or
// compositing over.
void Draw(std::vector<std::uint8_t>& canvas, int canvasWidth, const FrameControl& frame,
          const std::vector<std::uint8_t>& rgba) {
    for (int y = 0; y < frame.area.Height(); ++y) {
        for (int x = 0; x < frame.area.Width(); ++x) {
            const std::uint8_t* s = &rgba[(std::size_t(y) * std::size_t(frame.area.Width()) + std::size_t(x)) * 4];
            std::uint8_t* d = &canvas[(std::size_t(frame.area.top + y) * std::size_t(canvasWidth) +
                                       std::size_t(frame.area.left + x)) * 4];
            if (frame.blend == 0 || s[3] == 255) {
                std::memcpy(d, s, 4);
            } else if (s[3] != 0) {
                // Porter-Duff over, in floating point.
                const double sa = s[3] / 255.0, da = d[3] / 255.0, oa = sa + da * (1 - sa);
                for (int k = 0; k < 3; ++k)
                    d[k] = std::uint8_t((s[k] * sa + d[k] * da * (1 - sa)) / oa + 0.5);
                d[3] = std::uint8_t(oa * 255 + 0.5);
            }
        }
    }
}

void Clear(std::vector<std::uint8_t>& canvas, int canvasWidth, const Rect& area) {
    for (int y = area.top; y < area.bottom; ++y)
        std::fill_n(&canvas[(std::size_t(y) * std::size_t(canvasWidth) + std::size_t(area.left)) * 4],
                    std::size_t(area.Width()) * 4, std::uint8_t{0});
}

}  // namespace

ReadBackAnimation ReadApngByChunks(std::span<const std::uint8_t> bytes) {
    static constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (bytes.size() < 8 || std::memcmp(bytes.data(), kSignature, 8) != 0) return Failed("no PNG signature");
    ReadBackAnimation result;
    int channels = 0;
    std::uint32_t declaredFrames = 0;
    std::uint32_t nextSequence = 0;
    bool seenEnd = false;
    std::vector<FrameControl> frames;
    std::vector<std::array<std::uint8_t, 4>> palette;
    std::size_t at = 8;
    while (at < bytes.size() && !seenEnd) {
        if (bytes.size() - at < 12) return Failed("chunk cut short");
        const std::uint32_t length = Big32(&bytes[at]);
        if (length > bytes.size() - at - 12) return Failed("chunk longer than the file");
        const std::string type(reinterpret_cast<const char*>(&bytes[at + 4]), 4);
        const std::uint8_t* data = &bytes[at + 8];
        const uLong crc = crc32(crc32(0, nullptr, 0), &bytes[at + 4], length + 4);
        if (crc != Big32(data + length)) return Failed("bad CRC in " + type);
        at += 12 + length;
        const auto sequence = [&]() {
            return length >= 4 && Big32(data) == nextSequence++;
        };
        if (type == "IHDR") {
            if (length != 13 || data[8] != 8 || data[12] != 0) return Failed("unexpected IHDR");
            result.width = int(Big32(data));
            result.height = int(Big32(data + 4));
            result.colorType = data[9];
            channels = data[9] == 2 ? 3 : data[9] == 6 ? 4 : data[9] == 3 ? 1 : 0;
            if (channels == 0) return Failed("colour type not read here");
        } else if (type == "PLTE") {
            if (length % 3 != 0 || length > 768) return Failed("PLTE length");
            for (std::uint32_t i = 0; i < length; i += 3) palette.push_back({data[i], data[i + 1], data[i + 2], 255});
        } else if (type == "tRNS") {
            if (length > palette.size()) return Failed("tRNS longer than the palette");
            for (std::uint32_t i = 0; i < length; ++i) palette[i][3] = data[i];
        } else if (type == "acTL") {
            if (length != 8) return Failed("acTL length");
            declaredFrames = Big32(data);
            result.plays = Big32(data + 4);
        } else if (type == "fcTL") {
            if (length != 26 || !sequence()) return Failed("fcTL length or sequence");
            FrameControl frame;
            const int w = int(Big32(data + 4)), h = int(Big32(data + 8));
            const int x = int(Big32(data + 12)), y = int(Big32(data + 16));
            frame.area = {x, y, x + w, y + h};
            const std::uint16_t num = Big16(data + 20);
            const std::uint16_t den = Big16(data + 22) == 0 ? 100 : Big16(data + 22);
            if ((std::uint32_t(num) * 1000) % den != 0) return Failed("delay not a whole number of ms");
            frame.milliseconds = std::uint32_t(num) * 1000 / den;
            frame.dispose = data[24];
            frame.blend = data[25];
            if (w <= 0 || h <= 0 || frame.area.right > result.width || frame.area.bottom > result.height)
                return Failed("frame outside the canvas");
            frames.push_back(std::move(frame));
        } else if (type == "IDAT") {
            // Part of the animation only when a frame control came before it.
            if (frames.size() == 1) frames.back().stream.insert(frames.back().stream.end(), data, data + length);
        } else if (type == "fdAT") {
            if (!sequence() || frames.empty()) return Failed("fdAT sequence");
            frames.back().stream.insert(frames.back().stream.end(), data + 4, data + length);
        } else if (type == "IEND") {
            seenEnd = true;
        }
    }
    if (!seenEnd) return Failed("no IEND");
    if (declaredFrames != frames.size()) return Failed("acTL counts another number of frames");
    std::vector<std::uint8_t> canvas(std::size_t(result.width) * std::size_t(result.height) * 4, 0);
    std::vector<std::uint8_t> rgba;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const FrameControl& frame = frames[i];
        if (!Unfilter(frame, channels, rgba)) return Failed("frame data damaged");
        if (channels == 1) {
            // Unfilter left each index in the red byte.
            for (std::size_t p = 0; p < rgba.size(); p += 4) {
                if (rgba[p] >= palette.size()) return Failed("index outside the palette");
                std::memcpy(&rgba[p], palette[rgba[p]].data(), 4);
            }
        }
        const std::vector<std::uint8_t> before = canvas;
        Draw(canvas, result.width, frame, rgba);
        ReadBackFrame shown;
        shown.image = PictureFromRgba(canvas.data(), result.width, result.height);
        shown.milliseconds = frame.milliseconds;
        shown.stored = frame.area;
        shown.blend = frame.blend;
        shown.dispose = frame.dispose;
        result.frames.push_back(std::move(shown));
        if (frame.dispose == 1) Clear(canvas, result.width, frame.area);
        if (frame.dispose == 2) canvas = before;
    }
    return result;
}

std::optional<PackedDib> ReadPngWithLibpng(std::span<const std::uint8_t> bytes) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) return std::nullopt;
    image.format = PNG_FORMAT_RGBA;
    std::vector<std::uint8_t> rgba(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr)) {
        png_image_free(&image);
        return std::nullopt;
    }
    return PictureFromRgba(rgba.data(), int(image.width), int(image.height));
}

}  // namespace vantrel::test
