#include "document/Export.h"

#include <algorithm>
#include <functional>
#include <string>

#include "codec/ColorQuantizer.h"
#include "codec/Dither.h"
#include "codec/FrameChanges.h"
#include "codec/GifFile.h"
#include "codec/JpegCodec.h"
#include "codec/SizeReduction.h"
#include "core/FileIO.h"
#include "document/FileFormats.h"

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

std::size_t ExportImageIndexOf(const Animation& animation, const AnimFrame* frame) {
    std::size_t images = 0;
    bool reached = false;
    for (const auto& each : animation.Frames()) {
        reached = reached || each.get() == frame;
        if (each->isMaster) continue;
        if (reached) return images;
        ++images;
    }
    return images > 0 ? images - 1 : 0;
}

namespace {

// The frame's image is read in place: it stays as it is until the GIF is written.
void AddFrameImage(GifFile& gif, const AnimFrame& frame, std::uint16_t delay) {
    gif.AddImageView(frame.Image()).delay = delay;
}

// Where a finished GIF goes: a file, or memory only.
using GifWriter = std::function<Status(const GifFile&)>;

GifWriter ToFile(const std::filesystem::path& path, FileSync sync = FileSync::Each) {
    return [&path, sync](const GifFile& gif) { return gif.SaveGif(path, sync); };
}

GifWriter ToMemory(std::vector<std::uint8_t>& out) {
    return [&out](const GifFile& gif) {
        out.clear();
        gif.WriteGif(out);
        return Status::Ok();
    };
}

// Whether the run is to stop now; its checkpoint and its progress hear of
// every look first.
bool Stopped(const GifExportRun& run) {
    if (run.checkpoint) run.checkpoint(run.stop);
    if (run.progress != nullptr && !run.progress->Step()) return true;
    return run.stop.stop_requested();
}

// Whether the run was told to stop, without looking again.
bool StopSeen(const GifExportRun& run) {
    return run.stop.stop_requested() || (run.progress != nullptr && run.progress->Stopped());
}

// The steps an export of images images counts after rendering: one per
// image for the mapping, the dithering and the encoding, and a few for the
// size reduction (fewer are made when an option is off).
std::size_t ExportSteps(std::size_t images) { return 3 * images + 4; }

// preview.image's colour indices through the file's colour table; an empty
// preview when there is no such image or it has no indices of its size.
void TakePreview(const GifFile& gif, GifImagePreview& preview) {
    preview.pixels = PackedDib();
    if (preview.image >= gif.images.size() || !gif.globalColorTable) return;
    const GifImage& image = gif.images[preview.image];
    const std::size_t width = image.width;
    if (image.indices.size() != width * image.height) return;
    if (!preview.pixels.SetSizeForOverwrite(image.width, image.height)) return;
    const ColorTable& table = *gif.globalColorTable;
    for (int y = 0; y < image.height; ++y) {
        const std::uint8_t* indices = image.indices.data() + static_cast<std::size_t>(y) * width;
        PixelValue* row = preview.pixels.Row(y);
        for (std::size_t x = 0; x < width; ++x) {
            const RgbTriple& color = table[indices[x]];
            row[x] = MakePixel(color.red, color.green, color.blue);
        }
    }
}

// Counts colours, asks for the options, builds the palette and maps every
// image (dithered on request), then optionally shrinks, encodes and writes.
// Cancelling, by the chooser or by a stop, writes nothing. Without a writer
// the run ends after the mapping, which is all a preview needs.
Status FinishGif(GifFile& gif, const GifWriter& write, const GifOptionsChooser& choose,
                 bool allowSizeReduction, GifExportReport* report, const GifExportRun& run = {}) {
    GifExportReport local;
    GifExportReport& out = report ? *report : local;
    out = GifExportReport{};
    out.images = static_cast<int>(gif.images.size());
    if (gif.images.empty()) return Status::Error("There is no frame to write: every frame is a master frame.");
    const auto cancelled = [&out] {
        out.cancelled = true;
        return Status::Ok();
    };
    const StopCheck stopped = [&run] { return Stopped(run); };
    if (stopped()) return cancelled();

    FindChangedColumns(gif);
    ColorQuantizer quantizer;
    out.distinctColors = quantizer.CountDistinctColors(gif);
    const auto options = choose({out.distinctColors, gif.animated, &gif, allowSizeReduction});
    if (!options) return cancelled();
    const int requested = options->reduce ? options->colorCount : out.distinctColors;
    quantizer.BuildPalette(gif, requested, options->quantizer, stopped);
    out.paletteSize = quantizer.PaletteSize();
    out.requestedColors = requested;
    if (StopSeen(run)) return cancelled();
    if (options->dither && requested < out.distinctColors) DitherImages(gif, quantizer.Palette(), stopped);
    if (StopSeen(run)) return cancelled();
    if (run.preview) TakePreview(gif, *run.preview);
    if (!write) return Status::Ok();
    if (allowSizeReduction && options->sizeReduction) ReduceAnimationSize(gif, stopped);
    if (StopSeen(run)) return cancelled();
    gif.EncodeImages(stopped, options->lossy);
    if (StopSeen(run)) return cancelled();
    return write(gif);
}

// The GIF of every frame that is not a master frame, not yet reduced or
// encoded. The frames must be rendered.
void AddAnimationFrames(const Animation& animation, GifFile& gif) {
    gif.SetScreenSize(animation.Width(), animation.Height());
    const GifLoop loop = GifLoopForPlays(animation.loopCount);
    gif.loopCount = loop.repetitions;
    gif.hasLoopExtension = loop.extension;
    for (const auto& frame : animation.Frames()) {
        // A GIF delay holds 16 bits: longer durations are written as the longest.
        if (!frame->isMaster) AddFrameImage(gif, *frame, std::uint16_t(std::min<std::uint32_t>(frame->duration, 0xFFFF)));
    }
}

}  // namespace

namespace {

// Writes the rendered frames to path, counting the steps of the run in steps.
Status WriteRenderedAnimation(const Animation& animation, const std::filesystem::path& path,
                              const GifOptionsChooser& choose, GifExportReport* report, ProgressSteps& steps,
                              FileSync sync = FileSync::Each) {
    GifFile gif;
    AddAnimationFrames(animation, gif);
    steps.AddToTotal(ExportSteps(gif.images.size()));
    GifExportRun run;
    run.progress = &steps;
    GifExportReport local;
    GifExportReport& out = report != nullptr ? *report : local;
    Status status = FinishGif(gif, ToFile(path, sync), choose, true, &out, run);
    if (status && !out.cancelled) steps.Finish();
    return status;
}

}  // namespace

Status SaveAnimationAsGif(Animation& animation, const std::filesystem::path& path,
                          const GifOptionsChooser& choose, GifExportReport* report,
                          const ProgressReport& progress) {
    ProgressSteps steps(progress, animation.FrameCount());
    if (!animation.RenderAll(steps)) {
        if (report != nullptr) *report = GifExportReport{.cancelled = true};
        return Status::Ok();
    }
    return WriteRenderedAnimation(animation, path, choose, report, steps);
}

Status SaveRenderedAnimationAsGif(const Animation& animation, const std::filesystem::path& path,
                                  const GifOptionsChooser& choose, GifExportReport* report, FileSync sync,
                                  const ProgressReport& progress) {
    ProgressSteps steps(progress);
    return WriteRenderedAnimation(animation, path, choose, report, steps, sync);
}

namespace {

// The export into memory of an animation whose frames are rendered.
Status EncodeRenderedAnimation(const Animation& animation, std::vector<std::uint8_t>& out,
                               const GifOptionsChooser& choose, GifExportReport* report) {
    out.clear();
    GifFile gif;
    AddAnimationFrames(animation, gif);
    return FinishGif(gif, ToMemory(out), choose, true, report);
}

}  // namespace

Status EncodeAnimationAsGif(Animation& animation, std::vector<std::uint8_t>& out, const GifOptionsChooser& choose,
                            GifExportReport* report) {
    animation.RenderAll();
    return EncodeRenderedAnimation(animation, out, choose, report);
}

namespace {

// "17223 bytes (17.2 KB)": a size in bytes and in the kilobytes (1000
// bytes) the options dialog's budget is given in.
std::string BytesText(std::uint64_t bytes) {
    const std::uint64_t tenths = (bytes + 50) / 100;
    std::string kilobytes = std::to_string(tenths / 10);
    if (tenths % 10 != 0) kilobytes += "." + std::to_string(tenths % 10);
    return std::to_string(bytes) + " bytes (" + kilobytes + " KB)";
}

// One export into memory for the budget search: with the options given, or
// (null) the first one with the caller's own choice, which must leave the
// options it used in the search's chosen. preview, when set, is the run's.
using GifTrial = std::function<Status(const GifExportOptions* options, std::vector<std::uint8_t>& out,
                                      GifExportReport& report, GifImagePreview* preview)>;

// Exports with the chosen options, then, while the file is too large, with
// fewer colours (bisection over 256, 128, ... 2). chosen ends as the options
// of the bytes left in out, and preview (when given) as the image of that
// export. A trial that reports cancelled ends the search, cancelled.
Status FitUnderBudget(const GifTrial& trial, std::uint64_t maxBytes, std::vector<std::uint8_t>& out,
                      GifExportReport& result, std::optional<GifExportOptions>& chosen,
                      GifImagePreview* preview = nullptr) {
    out.clear();
    int trials = 1;
    if (Status status = trial(nullptr, out, result, preview); !status || result.cancelled || !chosen) {
        result.trials = trials;
        return status;
    }
    if (out.size() <= maxBytes) {
        result.trials = trials;
        return Status::Ok();
    }
    const std::size_t firstSize = out.size();
    out.clear();

    // Fewer colours than the first trial, most first: 256, 128, ... 2.
    std::vector<int> counts;
    for (int count = ColorQuantizer::kMaxColors; count >= 2; count /= 2)
        if (count < result.requestedColors) counts.push_back(count);
    // Bisection for the first count that fits, assuming fewer colours never
    // make a larger file; only measured fits are kept, so the budget holds
    // even where that assumption fails.
    std::size_t low = 0;
    std::size_t high = counts.size();
    std::size_t sizeWithFewest = firstSize;  // the size with the fewest colours tried
    std::vector<std::uint8_t> trialBytes;
    GifExportReport fitReport;
    GifExportOptions fitOptions = *chosen;
    GifImagePreview trialPreview;
    if (preview) trialPreview.image = preview->image;
    while (low < high) {
        const std::size_t middle = (low + high) / 2;
        GifExportOptions options = *chosen;
        options.reduce = true;
        options.colorCount = counts[middle];
        GifExportReport trialReport;
        ++trials;
        if (Status status = trial(&options, trialBytes, trialReport, preview ? &trialPreview : nullptr); !status)
            return status;
        if (trialReport.cancelled) {
            out.clear();
            result.cancelled = true;
            result.trials = trials;
            return Status::Ok();
        }
        if (trialBytes.size() <= maxBytes) {
            out.swap(trialBytes);
            fitReport = trialReport;
            fitOptions = options;
            if (preview) std::swap(*preview, trialPreview);
            high = middle;
        } else {
            if (middle + 1 == counts.size()) sizeWithFewest = trialBytes.size();
            low = middle + 1;
        }
    }
    if (out.empty()) {
        result.trials = trials;
        return Status::Error("Even with " + std::to_string(counts.empty() ? result.requestedColors : counts.back()) +
                             " colours the GIF takes " + BytesText(sizeWithFewest) + ", more than the limit of " +
                             BytesText(maxBytes) + ".");
    }
    result = fitReport;
    result.trials = trials;
    chosen = fitOptions;
    return Status::Ok();
}

GifOptionsChooser Fixed(const GifExportOptions& options) {
    return [options](const GifExportRequest&) { return std::optional(options); };
}

}  // namespace

Status EncodeAnimationWithin(Animation& animation, std::uint64_t maxBytes, std::vector<std::uint8_t>& out,
                             const GifOptionsChooser& choose, GifExportReport* report) {
    GifExportReport local;
    // The user is asked once; every further trial reuses the answer with
    // another colour count.
    std::optional<GifExportOptions> chosen;
    const GifOptionsChooser askOnce = [&](const GifExportRequest& request) {
        chosen = choose(request);
        if (chosen) chosen->sizeReduction = true;
        return chosen;
    };
    // Rendered once: every trial encodes the same frames.
    animation.RenderAll();
    const GifTrial trial = [&](const GifExportOptions* options, std::vector<std::uint8_t>& bytes,
                               GifExportReport& trialReport, GifImagePreview*) {
        return EncodeRenderedAnimation(animation, bytes, options ? Fixed(*options) : askOnce, &trialReport);
    };
    return FitUnderBudget(trial, maxBytes, out, report ? *report : local, chosen);
}

GifExportImages CopyGifExportImages(const GifExportRequest& request) {
    GifExportImages copy;
    copy.sizeReductionApplies = request.sizeReductionApplies;
    if (request.images == nullptr) return copy;
    const GifFile& gif = *request.images;
    copy.width = gif.screenWidth;
    copy.height = gif.screenHeight;
    copy.loopCount = gif.loopCount;
    copy.hasLoopExtension = gif.hasLoopExtension;
    for (const GifImage& image : gif.images) {
        if (image.Pixels() == nullptr) continue;
        // Shared, not copied: a frame written while the copy lives gets a
        // block of its own first.
        copy.pixels.emplace_back().ShareFrom(*image.Pixels());
        copy.delays.push_back(image.delay);
    }
    return copy;
}

namespace {

// The GIF of the copied images, not yet reduced or encoded.
void AddExportImages(const GifExportImages& images, GifFile& gif) {
    gif.SetScreenSize(images.width, images.height);
    gif.loopCount = images.loopCount;
    gif.hasLoopExtension = images.hasLoopExtension;
    for (std::size_t i = 0; i < images.pixels.size(); ++i) gif.AddImageView(images.pixels[i]).delay = images.delays[i];
}

}  // namespace

Status EncodeGifExportImages(const GifExportImages& images, const GifExportOptions& options,
                             std::vector<std::uint8_t>& out, GifExportReport* report, const GifExportRun& run) {
    out.clear();
    GifFile gif;
    AddExportImages(images, gif);
    return FinishGif(gif, ToMemory(out), Fixed(options), images.sizeReductionApplies, report, run);
}

Status PreviewGifExportImage(const GifExportImages& images, const GifExportOptions& options,
                             GifImagePreview& preview, std::stop_token stop) {
    preview.pixels = PackedDib();
    GifFile gif;
    AddExportImages(images, gif);
    GifExportReport report;
    Status status = FinishGif(gif, GifWriter(), Fixed(options), images.sizeReductionApplies, &report,
                              GifExportRun{std::move(stop), &preview, {}});
    if (report.cancelled) preview.pixels = PackedDib();
    return status;
}

Status EncodeGifExportImagesWithin(const GifExportImages& images, std::uint64_t maxBytes,
                                   const GifExportOptions& options, std::vector<std::uint8_t>& out,
                                   GifExportOptions& fitted, GifExportReport* report, const GifExportRun& run) {
    GifExportReport local;
    std::optional<GifExportOptions> chosen = options;
    chosen->sizeReduction = true;
    const GifTrial trial = [&](const GifExportOptions* trialOptions, std::vector<std::uint8_t>& bytes,
                               GifExportReport& trialReport, GifImagePreview* preview) {
        return EncodeGifExportImages(images, trialOptions ? *trialOptions : *chosen, bytes, &trialReport,
                                     GifExportRun{run.stop, preview, run.checkpoint});
    };
    Status status = FitUnderBudget(trial, maxBytes, out, report ? *report : local, chosen, run.preview);
    fitted = *chosen;
    return status;
}

Status ExportFrameAsGif(AnimFrame& frame, const std::filesystem::path& path, const GifOptionsChooser& choose,
                        GifExportReport* report) {
    frame.Render();
    GifFile gif;
    gif.SetScreenSize(frame.Canvas().Width(), frame.Canvas().Height());
    gif.loopCount = 1;
    AddFrameImage(gif, frame, 0);
    return FinishGif(gif, ToFile(path), choose, false, report);
}

Status ExportFrameAsJpeg(AnimFrame& frame, const std::filesystem::path& path, int quality) {
    frame.Render();
    JpegCodec codec(quality);
    if (codec.WriteJpeg(path, frame.Image()) != 0) return Status::Error(codec.errorMessage());
    return Status::Ok();
}

FrameExportFormat FrameExportFormatFor(const std::filesystem::path& path) {
    const FileFormat* format = FindFileFormat(path);
    if (format == nullptr || !format->exportsFrame) return FrameExportFormat::None;
    return format->kind == FileKind::Jpeg ? FrameExportFormat::Jpeg : FrameExportFormat::Gif;
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
