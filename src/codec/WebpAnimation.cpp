#include "codec/WebpAnimation.h"

#include <algorithm>
#include <climits>
#include <memory>
#include <string>

#include <webp/encode.h>
#include <webp/mux.h>

namespace vantrel {

namespace {

struct EncoderDeleter {
    void operator()(WebPAnimEncoder* encoder) const { WebPAnimEncoderDelete(encoder); }
};
using EncoderPtr = std::unique_ptr<WebPAnimEncoder, EncoderDeleter>;

// A picture of libwebp's own, freed whatever happens.
struct Picture {
    WebPPicture picture{};
    Picture() { WebPPictureInit(&picture); }
    ~Picture() { WebPPictureFree(&picture); }
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;
};

struct AssembledData {
    WebPData data{};
    AssembledData() { WebPDataInit(&data); }
    ~AssembledData() { WebPDataClear(&data); }
    AssembledData(const AssembledData&) = delete;
    AssembledData& operator=(const AssembledData&) = delete;
};

Status EncoderError(WebPAnimEncoder* encoder, const char* what) {
    const char* reason = WebPAnimEncoderGetError(encoder);
    std::string message = std::string("The WebP file could not be made (") + what;
    if (reason != nullptr && *reason != '\0') message += ": " + std::string(reason);
    return Status::Error(message + ").");
}

// Copies a picture into libwebp's ARGB layout: alpha = 255 - T is the
// transparency byte with its bits inverted.
bool FillPicture(const PackedDib& image, WebPPicture& picture) {
    picture.use_argb = 1;
    picture.width = image.Width();
    picture.height = image.Height();
    if (!WebPPictureAlloc(&picture)) return false;
    for (int y = 0; y < image.Height(); ++y) {
        const PixelValue* row = image.Row(y);
        std::uint32_t* argb = picture.argb + static_cast<std::ptrdiff_t>(y) * picture.argb_stride;
        for (int x = 0; x < image.Width(); ++x) argb[x] = row[x] ^ 0xFF000000u;
    }
    return true;
}

bool MakeConfig(const WebpOptions& options, WebPConfig& config) {
    if (!WebPConfigInit(&config)) return false;
    if (options.quality) {
        config.lossless = 0;
        config.quality = static_cast<float>(std::clamp(*options.quality, 0, kMaxWebpQuality));
    } else {
        config.lossless = 1;
        config.quality = 75;  // for lossless, the effort spent on size
    }
    config.method = 4;
    return WebPValidateConfig(&config) != 0;
}

}  // namespace

Status EncodeWebpAnimation(const AnimationFrames& animation, const WebpOptions& options,
                           std::vector<std::uint8_t>& out, ProgressSteps* steps) {
    out.clear();
    if (Status checked = CheckAnimationFrames(animation); !checked) return checked;
    WebPConfig config;
    if (!MakeConfig(options, config)) return Status::Error("The WebP settings are not valid.");

    WebPAnimEncoderOptions encoderOptions;
    if (!WebPAnimEncoderOptionsInit(&encoderOptions)) return Status::Error("libwebp is not the version built against.");
    encoderOptions.anim_params.loop_count = static_cast<int>(animation.plays);
    encoderOptions.anim_params.bgcolor = 0x00000000;  // transparent: viewers clear to it between plays
    EncoderPtr encoder(WebPAnimEncoderNew(animation.width, animation.height, &encoderOptions));
    if (!encoder) return Status::Error("Not enough memory to make a WebP file.");

    long long timestamp = 0;  // milliseconds since the start
    for (const AnimationFrame& frame : animation.frames) {
        Picture picture;
        if (!FillPicture(*frame.image, picture.picture)) return Status::Error("Not enough memory to make a WebP file.");
        if (!WebPAnimEncoderAdd(encoder.get(), &picture.picture, static_cast<int>(timestamp), &config))
            return EncoderError(encoder.get(), "adding a frame");
        timestamp += frame.milliseconds;
        if (timestamp > INT_MAX) return Status::Error("The animation lasts too long for a WebP file.");
        if (steps != nullptr && !steps->Step()) return Status::Error(std::string(kStoppedByUser));
    }
    // The end of the last frame.
    if (!WebPAnimEncoderAdd(encoder.get(), nullptr, static_cast<int>(timestamp), nullptr))
        return EncoderError(encoder.get(), "ending the animation");
    AssembledData assembled;
    if (!WebPAnimEncoderAssemble(encoder.get(), &assembled.data)) return EncoderError(encoder.get(), "assembling");
    out.assign(assembled.data.bytes, assembled.data.bytes + assembled.data.size);
    return Status::Ok();
}

}  // namespace vantrel
