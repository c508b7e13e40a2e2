#include "document/Export.h"

#include <algorithm>
#include <string>

#include "codec/ColorQuantizer.h"
#include "codec/GifFile.h"
#include "codec/JpegCodec.h"
#include "codec/SizeReduction.h"
#include "core/FileIO.h"

namespace vantrel {

std::vector<int> ReduceToChoices(int distinctColors) {
    std::vector<int> choices;
    for (int count = 256; count >= 4; count /= 2) {
        if (distinctColors > count) choices.push_back(count);
    }
    return choices;
}

GifExportOptions DefaultGifExportOptions(int distinctColors) {
    GifExportOptions options;
    options.reduce = distinctColors >= 256;
    const auto choices = ReduceToChoices(distinctColors);
    options.colorCount = choices.empty() ? distinctColors : choices.front();
    options.sizeReduction = true;
    return options;
}

GifOptionsChooser DefaultGifOptionsChooser() {
    return [](const GifExportRequest& request) -> std::optional<GifExportOptions> {
        return DefaultGifExportOptions(request.distinctColors);
    };
}

GifLoop GifLoopForPlays(std::uint32_t plays) {
    if (plays == 1) return {false, 1};
    if (plays == 0) return {true, 0};
    return {true, static_cast<int>(std::min<std::uint32_t>(plays, 65536) - 1)};
}

namespace {

void AddFrameImage(GifFile& gif, const AnimFrame& frame, std::uint16_t delay) {
    gif.AddImage(frame.Image()).delay = delay;
}

// Counts colours, asks for the options, builds the palette, optionally
// shrinks, encodes and writes. Cancelling writes nothing.
Status FinishGif(GifFile& gif, const std::filesystem::path& path, const GifOptionsChooser& choose,
                 bool allowSizeReduction, GifExportReport* report) {
    GifExportReport local;
    GifExportReport& out = report ? *report : local;
    out = GifExportReport{};
    out.images = static_cast<int>(gif.images.size());
    if (gif.images.empty()) return Status::Error("There is no frame to write: every frame is a master frame.");

    ColorQuantizer quantizer;
    out.distinctColors = quantizer.CountDistinctColors(gif);
    const auto options = choose({out.distinctColors, gif.animated});
    if (!options) {
        out.cancelled = true;
        return Status::Ok();
    }
    const int requested = options->reduce ? options->colorCount : out.distinctColors;
    quantizer.BuildPalette(gif, requested);
    out.paletteSize = quantizer.PaletteSize();
    if (allowSizeReduction && options->sizeReduction) ReduceAnimationSize(gif);
    gif.EncodeImages();
    return gif.SaveGif(path);
}

}  // namespace

Status SaveAnimationAsGif(Animation& animation, const std::filesystem::path& path,
                          const GifOptionsChooser& choose, GifExportReport* report) {
    animation.RenderAll();
    GifFile gif;
    gif.SetScreenSize(animation.Width(), animation.Height());
    const GifLoop loop = GifLoopForPlays(animation.loopCount);
    gif.loopCount = loop.repetitions;
    gif.hasLoopExtension = loop.extension;
    for (const auto& frame : animation.Frames()) {
        // A GIF delay holds 16 bits: longer durations are written as the longest.
        if (!frame->isMaster) AddFrameImage(gif, *frame, std::uint16_t(std::min<std::uint32_t>(frame->duration, 0xFFFF)));
    }
    return FinishGif(gif, path, choose, true, report);
}

Status ExportFrameAsGif(AnimFrame& frame, const std::filesystem::path& path, const GifOptionsChooser& choose,
                        GifExportReport* report) {
    frame.Render();
    GifFile gif;
    gif.SetScreenSize(frame.Canvas().Width(), frame.Canvas().Height());
    gif.loopCount = 1;
    AddFrameImage(gif, frame, 0);
    return FinishGif(gif, path, choose, false, report);
}

Status ExportFrameAsJpeg(AnimFrame& frame, const std::filesystem::path& path, int quality) {
    frame.Render();
    JpegCodec codec(quality);
    if (codec.WriteJpeg(path, frame.Image()) != 0) return Status::Error(codec.errorMessage());
    return Status::Ok();
}

FrameExportFormat FrameExportFormatFor(const std::filesystem::path& path) {
    const std::string ext = LowerCaseExtension(path);
    if (ext == "gif") return FrameExportFormat::Gif;
    if (ext == "jpg" || ext == "jpe" || ext == "jpeg") return FrameExportFormat::Jpeg;
    return FrameExportFormat::None;
}

Status ExportFrame(AnimFrame& frame, const std::filesystem::path& path, const GifOptionsChooser& chooseGif,
                   const JpegQualityChooser& chooseQuality, GifExportReport* report) {
    switch (FrameExportFormatFor(path)) {
    case FrameExportFormat::Gif:
        return ExportFrameAsGif(frame, path, chooseGif, report);
    case FrameExportFormat::Jpeg: {
        const auto quality = chooseQuality();
        if (!quality) {
            if (report) report->cancelled = true;
            return Status::Ok();
        }
        return ExportFrameAsJpeg(frame, path, *quality);
    }
    case FrameExportFormat::None:
        break;
    }
    return Status::Error(path.string() + ": frames are exported as .gif, .jpg, .jpe or .jpeg files");
}

}  // namespace vantrel
