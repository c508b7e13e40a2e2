#include "support/GiflibRef.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "core/FileIO.h"

namespace vantrel::test {

namespace {

struct ColorMapDeleter {
    void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};
using ColorMapPtr = std::unique_ptr<ColorMapObject, ColorMapDeleter>;

// Closes an encoder that failed half way; a successful one is closed by hand
// so that the trailer's write result is seen.
struct EncoderCloser {
    void operator()(GifFileType* gif) const { EGifCloseFile(gif, nullptr); }
};
struct DecoderCloser {
    void operator()(GifFileType* gif) const { DGifCloseFile(gif, nullptr); }
};

void SetError(std::string* error, const std::string& text) {
    if (error) *error = text;
}

std::string GiflibError(const char* step, int code) {
    const char* text = GifErrorString(code);
    return std::string(step) + ": " + (text ? text : "unknown giflib error");
}

// Nothing for an empty table; a null pointer inside for sizes giflib refuses.
std::optional<ColorMapPtr> MakeColorMap(const std::vector<RgbTriple>& colors) {
    if (colors.empty()) return std::nullopt;
    std::vector<GifColorType> entries(colors.size());
    for (std::size_t i = 0; i < colors.size(); ++i) {
        entries[i] = GifColorType{colors[i].red, colors[i].green, colors[i].blue};
    }
    return ColorMapPtr(GifMakeMapObject(static_cast<int>(colors.size()), entries.data()));
}

std::vector<RgbTriple> ColorsOf(const ColorMapObject* map) {
    std::vector<RgbTriple> colors;
    if (!map) return colors;
    for (int i = 0; i < map->ColorCount; ++i) {
        const GifColorType& c = map->Colors[i];
        colors.push_back(RgbTriple{c.Red, c.Green, c.Blue});
    }
    return colors;
}

int AppendToVector(GifFileType* gif, const GifByteType* data, int length) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(gif->UserData);
    out->insert(out->end(), data, data + length);
    return length;
}

struct MemorySource {
    std::span<const std::uint8_t> bytes;
    std::size_t position = 0;
};

int ReadFromMemory(GifFileType* gif, GifByteType* buffer, int length) {
    auto* source = static_cast<MemorySource*>(gif->UserData);
    const std::size_t take =
        std::min(static_cast<std::size_t>(std::max(length, 0)), source->bytes.size() - source->position);
    std::memcpy(buffer, source->bytes.data() + source->position, take);
    source->position += take;
    return static_cast<int>(take);
}

bool WriteLoopBlock(GifFileType* gif, int loopCount) {
    static const char kIdentifier[] = "NETSCAPE2.0";
    const GifByteType data[3] = {1, static_cast<GifByteType>(loopCount & 0xFF),
                                 static_cast<GifByteType>((loopCount >> 8) & 0xFF)};
    return EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
           EGifPutExtensionBlock(gif, 11, kIdentifier) == GIF_OK &&
           EGifPutExtensionBlock(gif, 3, data) == GIF_OK && EGifPutExtensionTrailer(gif) == GIF_OK;
}

bool WriteControlBlock(GifFileType* gif, const RefImage& image) {
    GraphicsControlBlock control{};
    control.DisposalMode = image.disposal;
    control.UserInputFlag = false;
    control.DelayTime = image.delay;
    control.TransparentColor = image.transparentIndex;
    GifByteType extension[4];
    const std::size_t length = EGifGCBToExtension(&control, extension);
    return EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension) == GIF_OK;
}

// The loop count of a NETSCAPE2.0 block among blocks, if there is one.
std::optional<int> FindLoopCount(const ExtensionBlock* blocks, int count) {
    for (int i = 0; i + 1 < count; ++i) {
        const ExtensionBlock& id = blocks[i];
        const ExtensionBlock& data = blocks[i + 1];
        if (id.Function == APPLICATION_EXT_FUNC_CODE && id.ByteCount == 11 &&
            std::memcmp(id.Bytes, "NETSCAPE2.0", 11) == 0 && data.Function == CONTINUE_EXT_FUNC_CODE &&
            data.ByteCount >= 3 && data.Bytes[0] == 1) {
            return data.Bytes[1] | (data.Bytes[2] << 8);
        }
    }
    return std::nullopt;
}

}  // namespace

std::vector<std::uint8_t> ToStreamRowOrder(std::span<const std::uint8_t> topDown, int width, int height,
                                           bool interlaced) {
    if (!interlaced) return {topDown.begin(), topDown.end()};
    static constexpr int kPassStart[4] = {0, 4, 2, 1};
    static constexpr int kPassStep[4] = {8, 8, 4, 2};
    std::vector<std::uint8_t> stream;
    stream.reserve(topDown.size());
    const auto w = static_cast<std::size_t>(width);
    for (int pass = 0; pass < 4; ++pass) {
        for (int y = kPassStart[pass]; y < height; y += kPassStep[pass]) {
            const auto row = topDown.subspan(static_cast<std::size_t>(y) * w, w);
            stream.insert(stream.end(), row.begin(), row.end());
        }
    }
    return stream;
}

std::optional<std::vector<std::uint8_t>> EncodeWithGiflib(const RefGif& gif, std::string* error) {
    std::vector<std::uint8_t> out;
    int code = 0;
    std::unique_ptr<GifFileType, EncoderCloser> encoder(EGifOpen(&out, AppendToVector, &code));
    if (!encoder) {
        SetError(error, GiflibError("EGifOpen", code));
        return std::nullopt;
    }
    const bool extensions = gif.loopCount.has_value() ||
                            std::any_of(gif.images.begin(), gif.images.end(),
                                        [](const RefImage& image) { return image.hasControl; });
    EGifSetGifVersion(encoder.get(), extensions);

    const auto globalMap = MakeColorMap(gif.globalColors);
    if (globalMap && !*globalMap) {
        SetError(error, "global colour table size is not a power of two from 2 to 256");
        return std::nullopt;
    }
    if (EGifPutScreenDesc(encoder.get(), gif.screenWidth, gif.screenHeight, 8, gif.backgroundIndex,
                          globalMap ? globalMap->get() : nullptr) != GIF_OK) {
        SetError(error, GiflibError("EGifPutScreenDesc", encoder->Error));
        return std::nullopt;
    }
    if (gif.loopCount && !WriteLoopBlock(encoder.get(), *gif.loopCount)) {
        SetError(error, GiflibError("loop block", encoder->Error));
        return std::nullopt;
    }
    for (const RefImage& image : gif.images) {
        if (image.hasControl && !WriteControlBlock(encoder.get(), image)) {
            SetError(error, GiflibError("control block", encoder->Error));
            return std::nullopt;
        }
        const auto localMap = MakeColorMap(image.localColors);
        if (localMap && !*localMap) {
            SetError(error, "local colour table size is not a power of two from 2 to 256");
            return std::nullopt;
        }
        if (image.indices.size() != static_cast<std::size_t>(image.width) * image.height) {
            SetError(error, "index image does not match its size");
            return std::nullopt;
        }
        // EGifPutImageDesc drops its copy of the previous image's local table
        // without freeing it when this image has none; free it here.
        if (!localMap && encoder->Image.ColorMap) {
            GifFreeMapObject(encoder->Image.ColorMap);
            encoder->Image.ColorMap = nullptr;
        }
        if (EGifPutImageDesc(encoder.get(), image.left, image.top, image.width, image.height,
                             image.interlaced, localMap ? localMap->get() : nullptr) != GIF_OK) {
            SetError(error, GiflibError("EGifPutImageDesc", encoder->Error));
            return std::nullopt;
        }
        // EGifPutLine masks the line in place, so it gets a copy.
        std::vector<std::uint8_t> stream =
            ToStreamRowOrder(image.indices, image.width, image.height, image.interlaced);
        for (int y = 0; y < image.height; ++y) {
            if (EGifPutLine(encoder.get(), stream.data() + static_cast<std::size_t>(y) * image.width,
                            image.width) != GIF_OK) {
                SetError(error, GiflibError("EGifPutLine", encoder->Error));
                return std::nullopt;
            }
        }
    }
    if (EGifCloseFile(encoder.release(), &code) != GIF_OK) {
        SetError(error, GiflibError("EGifCloseFile", code));
        return std::nullopt;
    }
    return out;
}

bool EncodeWithGiflib(const RefGif& gif, const std::filesystem::path& path, std::string* error) {
    const auto bytes = EncodeWithGiflib(gif, error);
    if (!bytes) return false;
    const Status written = WriteFileAtomic(path, *bytes);
    if (!written) SetError(error, written.message());
    return written.ok();
}

std::optional<RefGif> DecodeWithGiflib(std::span<const std::uint8_t> bytes, std::string* error) {
    MemorySource source{bytes};
    int code = 0;
    std::unique_ptr<GifFileType, DecoderCloser> decoder(DGifOpen(&source, ReadFromMemory, &code));
    if (!decoder) {
        SetError(error, GiflibError("DGifOpen", code));
        return std::nullopt;
    }
    if (DGifSlurp(decoder.get()) != GIF_OK) {
        SetError(error, GiflibError("DGifSlurp", decoder->Error));
        return std::nullopt;
    }
    GifFileType& in = *decoder;
    RefGif gif;
    gif.screenWidth = in.SWidth;
    gif.screenHeight = in.SHeight;
    gif.globalColors = ColorsOf(in.SColorMap);
    gif.backgroundIndex = in.SBackGroundColor;
    gif.loopCount = FindLoopCount(in.ExtensionBlocks, in.ExtensionBlockCount);
    for (int i = 0; i < in.ImageCount; ++i) {
        const SavedImage& saved = in.SavedImages[i];
        if (!gif.loopCount) gif.loopCount = FindLoopCount(saved.ExtensionBlocks, saved.ExtensionBlockCount);
        RefImage& image = gif.images.emplace_back();
        image.left = saved.ImageDesc.Left;
        image.top = saved.ImageDesc.Top;
        image.width = saved.ImageDesc.Width;
        image.height = saved.ImageDesc.Height;
        image.interlaced = saved.ImageDesc.Interlace;
        image.localColors = ColorsOf(saved.ImageDesc.ColorMap);
        // DGifSlurp already returns interlaced images in top-down row order.
        const std::size_t count = static_cast<std::size_t>(image.width) * image.height;
        if (saved.RasterBits) image.indices.assign(saved.RasterBits, saved.RasterBits + count);
        GraphicsControlBlock control{DISPOSAL_UNSPECIFIED, false, 0, NO_TRANSPARENT_COLOR};
        if (DGifSavedExtensionToGCB(decoder.get(), i, &control) == GIF_OK) {
            image.hasControl = true;
            image.delay = control.DelayTime;
            image.disposal = control.DisposalMode;
            image.transparentIndex = control.TransparentColor;
        }
    }
    return gif;
}

}  // namespace vantrel::test
