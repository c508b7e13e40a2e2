#include "document/Export.h"

#include <algorithm>
#include <functional>
#include <string>

#include "codec/ColorQuantizer.h"
#include "codec/Dither.h"
#include "codec/FrameChanges.h"
#include "codec/GifFile.h"
#include "codec/JpegCodec.h"
#include "codec/LocalPalettes.h"
#include "codec/LzwEncoder.h"
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
    options.reduce = distinctColors > ColorQuantizer::kMaxColors;
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

// The steps a run over images images counts after rendering: one per image
// for the mapping, the dithering and the encoding, and a few for the size
// reduction (fewer are made when an option is off).
std::size_t ExportSteps(std::size_t images) { return 3 * images + 4; }

// Image `last` as a viewer shows the encoded file: every record up to it
// drawn over the ones before (each keeps what it does not cover, as its
// disposal says), its transparent pixels left out. Every pixel is opaque.
PackedDib ShownImage(const GifFile& gif, std::size_t last) {
    PackedDib shown;
    if (gif.images.empty() || !shown.SetSize(gif.screenWidth, gif.screenHeight)) return shown;
    for (std::size_t r = 0; r <= last && r < gif.images.size(); ++r) {
        const GifImage& image = gif.images[r];
        const ColorTable* table = gif.TableOf(image);
        const std::size_t width = image.width;
        if (table == nullptr || image.indices.size() != width * image.height) continue;
        const int right = std::min<int>(image.left + image.width, gif.screenWidth);
        const int bottom = std::min<int>(image.top + image.height, gif.screenHeight);
        for (int y = image.top; y < bottom; ++y) {
            const std::uint8_t* indices = image.indices.data() + std::size_t(y - image.top) * width;
            PixelValue* row = shown.Row(y);
            for (int x = image.left; x < right; ++x) {
                const std::uint8_t index = indices[x - image.left];
                if (image.transparent && index == image.transparentIndex) continue;
                const RgbTriple& color = (*table)[index];
                row[x] = MakePixel(color.red, color.green, color.blue);
            }
        }
    }
    return shown;
}

// image's colour indices through its colour table; no block when it has no
// table or no indices of its size.
PackedDib PreviewOf(const GifFile& gif, const GifImage& image) {
    PackedDib preview;
    const std::size_t width = image.width;
    const ColorTable* own = gif.TableOf(image);
    if (own == nullptr || image.indices.size() != width * image.height) return preview;
    if (!preview.SetSizeForOverwrite(image.width, image.height)) return preview;
    const ColorTable& table = *own;
    for (int y = 0; y < image.height; ++y) {
        const std::uint8_t* indices = image.indices.data() + static_cast<std::size_t>(y) * width;
        PixelValue* row = preview.Row(y);
        for (std::size_t x = 0; x < width; ++x) {
            const RgbTriple& color = table[indices[x]];
            row[x] = MakePixel(color.red, color.green, color.blue);
        }
    }
    return preview;
}

// The images of every frame that is not a master frame, which must be rendered.
GifExportImages AnimationImages(const Animation& animation) {
    GifExportImages images;
    images.width = animation.Width();
    images.height = animation.Height();
    const GifLoop loop = GifLoopForPlays(animation.loopCount);
    images.loopCount = loop.repetitions;
    images.hasLoopExtension = loop.extension;
    for (const auto& frame : animation.Frames()) {
        if (frame->isMaster) continue;
        images.pixels.emplace_back().ShareFrom(frame->Image());
        // A GIF delay holds 16 bits: longer durations are written as the longest.
        images.delays.push_back(std::uint16_t(std::min<std::uint32_t>(frame->duration, 0xFFFF)));
    }
    return images;
}

GifOptionsChooser Fixed(const GifExportOptions& options) {
    return [options](const GifExportRequest&) { return std::optional(options); };
}

// "17223 bytes (17.2 KB)": a size in bytes and in the kilobytes (1000
// bytes) the options dialog's budget is given in.
std::string BytesText(std::uint64_t bytes) {
    const std::uint64_t tenths = (bytes + 50) / 100;
    std::string kilobytes = std::to_string(tenths / 10);
    if (tenths % 10 != 0) kilobytes += "." + std::to_string(tenths % 10);
    return std::to_string(bytes) + " bytes (" + kilobytes + " KB)";
}

GifExportResult Cancelled(GifExportResult result) {
    result.report.cancelled = true;
    result.bytes.clear();
    result.preview = PackedDib();
    return result;
}

}  // namespace

GifExportImages CopyGifExportImages(const GifExportRequest& request) {
    GifExportImages copy;
    copy.sizeReductionApplies = request.sizeReductionApplies;
    if (request.images == nullptr) return copy;
    const GifExportImages& from = *request.images;
    copy.sizeReductionApplies = from.sizeReductionApplies;
    copy.width = from.width;
    copy.height = from.height;
    copy.loopCount = from.loopCount;
    copy.hasLoopExtension = from.hasLoopExtension;
    copy.delays = from.delays;
    copy.pixels.resize(from.pixels.size());
    for (std::size_t i = 0; i < from.pixels.size(); ++i) copy.pixels[i].ShareFrom(from.pixels[i]);
    return copy;
}

GifExportJob::GifExportJob(GifExportImages images, GifExportRun run)
    : GifExportJob(std::make_shared<const GifExportImages>(std::move(images)), std::move(run)) {}

GifExportJob::GifExportJob(std::shared_ptr<const GifExportImages> images, GifExportRun run)
    : images_(std::move(images)), run_(std::move(run)) {
    if (run_.progress != nullptr) run_.progress->AddToTotal(ExportSteps(images_->pixels.size()));
}

GifExportJob GifExportJob::OfAnimation(Animation& animation, GifExportRun run) {
    bool rendered = true;
    if (run.progress != nullptr) {
        run.progress->AddToTotal(animation.FrameCount());
        rendered = animation.RenderAll(*run.progress);
    } else {
        animation.RenderAll();
    }
    GifExportJob job = OfRenderedAnimation(animation, std::move(run));
    job.renderStopped_ = !rendered;
    return job;
}

GifExportJob GifExportJob::OfRenderedAnimation(const Animation& animation, GifExportRun run) {
    return GifExportJob(AnimationImages(animation), std::move(run));
}

GifExportJob GifExportJob::OfFrame(AnimFrame& frame, GifExportRun run) {
    frame.Render();
    GifExportImages images;
    images.width = frame.Canvas().Width();
    images.height = frame.Canvas().Height();
    images.loopCount = 1;
    images.sizeReductionApplies = false;
    images.pixels.emplace_back().ShareFrom(frame.Image());
    images.delays.push_back(0);
    return GifExportJob(std::move(images), std::move(run));
}

bool GifExportJob::Stopped() const {
    if (run_.checkpoint) run_.checkpoint(run_.stop);
    if (run_.progress != nullptr && !run_.progress->Step()) return true;
    return run_.stop.stop_requested();
}

bool GifExportJob::StopSeen() const {
    return run_.stop.stop_requested() || (run_.progress != nullptr && run_.progress->Stopped());
}

GifExportResult GifExportJob::Run(const GifOptionsChooser& choose, Stage stage) {
    GifExportResult result;
    GifExportReport& report = result.report;
    const GifExportImages& images = *images_;
    report.images = static_cast<int>(images.pixels.size());
    if (renderStopped_) return Cancelled(std::move(result));
    if (images.pixels.empty()) {
        result.status = Status::Error("There is no frame to write: every frame is a master frame.");
        return result;
    }
    const StopCheck stopped = [this] { return Stopped(); };
    if (stopped()) return Cancelled(std::move(result));

    // The file reads the images in place: they stay as they are until it is written.
    GifFile gif;
    gif.SetScreenSize(images.width, images.height);
    gif.loopCount = images.loopCount;
    gif.hasLoopExtension = images.hasLoopExtension;
    for (std::size_t i = 0; i < images.pixels.size(); ++i) gif.AddImageView(images.pixels[i]).delay = images.delays[i];

    changes_.Clear();
    FindChangedColumns(gif, changes_);
    ColorQuantizer quantizer;
    report.distinctColors = quantizer.CountDistinctColors(gif, &changes_);
    const auto options = choose({report.distinctColors, gif.animated, &images, images.sizeReductionApplies});
    if (!options) return Cancelled(std::move(result));
    result.options = *options;
    const int requested = options->reduce ? options->colorCount : report.distinctColors;
    quantizer.BuildPalette(gif, requested, options->quantizer, stopped, &changes_);
    report.paletteSize = quantizer.PaletteSize();
    report.requestedColors = requested;
    if (StopSeen()) return Cancelled(std::move(result));
    const bool dithered = options->dither && requested < report.distinctColors;
    if (dithered) DitherImages(gif, quantizer.Palette(), stopped);
    if (StopSeen()) return Cancelled(std::move(result));

    // Where one palette loses colour, each image is mapped onto a palette
    // of its own too, and takes it when that shows the image truer.
    const bool globalExact = requested >= report.distinctColors && report.distinctColors <= ColorQuantizer::kMaxColors;
    const bool ownAllowed = !options->onePalette && gif.images.size() > 1;
    if (ownAllowed && !dithered && !globalExact) {
        report.ownPalettes = TakeTruerOwnPalettes(gif, *options);
        if (StopSeen()) return Cancelled(std::move(result));
    }

    const bool previewed = run_.previewImage && *run_.previewImage < gif.images.size();
    // With the global palette alone the images show what the mapping shows;
    // an image shown through its own palette keeps pixels from an image
    // mapped another way, so only the file tells what it shows.
    if (stage == Stage::Map && report.ownPalettes == 0) {
        if (previewed) result.preview = PreviewOf(gif, gif.images[*run_.previewImage]);
        return result;
    }
    if (images.sizeReductionApplies && options->sizeReduction) ReduceAnimationSize(gif, changes_, stopped);
    if (StopSeen()) return Cancelled(std::move(result));

    report.ownPalettes += EncodeNarrowingTables(gif, *options, ownAllowed && gif.globalColorTable.has_value());
    report.lossy = std::clamp(options->lossy, 0, kMaxLossy);
    if (StopSeen()) return Cancelled(std::move(result));
    if (report.ownPalettes == report.images) {
        gif.globalColorTable.reset();
        gif.globalColorTableSize = 0;
    }
    // Lossy LZW rewrites the indices to what the file decodes to: the
    // preview is drawn from them, exactly as written.
    if (previewed) result.preview = ShownImage(gif, *run_.previewImage);
    gif.WriteGif(result.bytes);
    return result;
}

int GifExportJob::TakeTruerOwnPalettes(GifFile& gif, const GifExportOptions& options) const {
    const int perImage = options.reduce ? std::clamp(options.colorCount, 1, ColorQuantizer::kMaxColors)
                                        : ColorQuantizer::kMaxColors;
    ColorQuantizer quantizer;
    GifFile local;  // the images mapped onto their own palettes; they show the same pixels
    int taken = 0;
    for (GifImage& mapped : gif.images) {
        if (StopSeen()) return taken;
        if (mapped.Pixels() == nullptr) continue;
        GifImage& own = local.AddImageView(*mapped.Pixels());
        own.delay = mapped.delay;
        BuildLocalPalette(own, perImage, options.quantizer, quantizer);
        if (own.localColorTable &&
            MappingError(own, *own.localColorTable) < MappingError(mapped, *gif.globalColorTable)) {
            std::swap(mapped, own);
            ++taken;
        }
    }
    return taken;
}

int GifExportJob::EncodeNarrowingTables(GifFile& gif, const GifExportOptions& options, bool narrowing) {
    // Lossy encoding rewrites the indices: those before it are kept for the second encoding.
    int taken = 0;
    std::vector<std::vector<std::uint8_t>> unencoded(narrowing && options.lossy > 0 ? gif.images.size() : 0);
    for (std::size_t r = 0; r < unencoded.size(); ++r) unencoded[r] = gif.images[r].indices;
    gif.EncodeImages([this] { return Stopped(); }, options.lossy, &changes_);
    if (StopSeen()) return 0;
    GifFile narrowed;
    FrameChanges narrowedChanges;
    std::vector<std::size_t> narrowedFrom;  // the record each narrowed one stands for
    const std::size_t smallestTable = 3 * static_cast<std::size_t>(ColorTableSizeFor(2));
    for (std::size_t r = 0; narrowing && r < gif.images.size(); ++r) {
        GifImage& image = gif.images[r];
        const int wide = image.minimumCodeSize;
        const std::size_t data = image.CompressedLength();
        if (image.localColorTable || MostBytesSaved(wide, kLzwMinCodeSizeLow, data) <= smallestTable) continue;
        if (!unencoded.empty()) std::swap(image.indices, unencoded[r]);
        GifImage& own = narrowed.images.emplace_back();
        RecordChanges& ownChanges = narrowedChanges.At(narrowedFrom.size());
        const bool made = NarrowToOwnTable(image, *gif.globalColorTable, changes_.Of(r), own, ownChanges);
        if (!unencoded.empty()) std::swap(image.indices, unencoded[r]);
        const std::size_t ownTable = 3 * static_cast<std::size_t>(ColorTableSizeFor(own.colorTableSize));
        if (made && MostBytesSaved(wide, own.minimumCodeSize, data) > ownTable) {
            narrowedFrom.push_back(r);
        } else {
            narrowed.images.pop_back();
            ownChanges = {};
        }
    }
    if (!narrowedFrom.empty()) {
        // These steps count no progress: the run's steps are those of one file.
        narrowed.EncodeImages([this] { return StopSeen(); }, options.lossy, &narrowedChanges);
        if (StopSeen()) return 0;
        for (std::size_t n = 0; n < narrowedFrom.size(); ++n) {
            GifImage& image = gif.images[narrowedFrom[n]];
            if (RecordDataBytes(narrowed.images[n]) >= RecordDataBytes(image)) continue;
            std::swap(image, narrowed.images[n]);
            ++taken;
        }
    }
    return taken;
}

GifExportResult GifExportJob::Encode(const GifOptionsChooser& choose) { return Run(choose, Stage::Encode); }

GifExportResult GifExportJob::Encode(const GifExportOptions& options) { return Encode(Fixed(options)); }

GifExportResult GifExportJob::Save(const std::filesystem::path& path, const GifOptionsChooser& choose, FileSync sync) {
    GifExportResult result = Encode(choose);
    if (!result.status || result.report.cancelled) return result;
    result.status = WriteFileAtomic(path, result.bytes, sync);
    // The last step tells that the file is written: too late to stop.
    if (result.status && run_.progress != nullptr) run_.progress->Finish();
    return result;
}

GifExportResult GifExportJob::Preview(const GifExportOptions& options) {
    GifExportResult result = Run(Fixed(options), options.lossy <= 0 ? Stage::Map : Stage::Encode);
    result.bytes.clear();
    return result;
}

std::vector<BudgetRung> BudgetLadder(int colors, int lossy) {
    std::vector<BudgetRung> rungs{{colors, lossy}};
    for (const int level : {40, 80})
        if (level > lossy) rungs.push_back({colors, level});
    int level = std::max(lossy, 80);
    for (int count = ColorQuantizer::kMaxColors; count >= 2; count /= 2) {
        if (count >= colors) continue;
        level = std::min(kMaxLossy, level + 40);
        rungs.push_back({count, level});
    }
    return rungs;
}

GifExportResult GifExportJob::Fit(std::uint64_t maxBytes, const GifOptionsChooser& choose) {
    // The user is asked once; every further trial reuses the answer with
    // another colour count.
    GifExportResult first = Run(
        [&choose](const GifExportRequest& request) {
            std::optional<GifExportOptions> chosen = choose(request);
            if (chosen) chosen->sizeReduction = true;
            return chosen;
        },
        Stage::Encode);
    first.report.trials = 1;
    if (!first.status || first.report.cancelled || first.bytes.size() <= maxBytes) return first;

    // The rungs after the first trial's, each losing a little more.
    std::vector<BudgetRung> rungs = BudgetLadder(first.report.requestedColors, first.report.lossy);
    rungs.erase(rungs.begin());
    // Bisection for the first rung that fits, assuming a later rung never
    // makes a larger file; only measured fits are kept, so the budget holds
    // even where that assumption fails.
    std::size_t low = 0;
    std::size_t high = rungs.size();
    std::uint64_t sizeOfLast = first.bytes.size();  // the size at the last rung tried
    std::optional<GifExportResult> fit;
    int trials = 1;
    // The options of the first trial at a rung.
    const auto at = [&first](const BudgetRung& rung) {
        GifExportOptions options = first.options;
        options.reduce = true;
        options.colorCount = rung.colors;
        options.lossy = rung.lossy;
        return options;
    };
    // One more trial; whether it fits (into fit) or its size; a failed or
    // cancelled trial ends the search with the result to give back.
    std::optional<GifExportResult> ended;
    const auto tryOptions = [&](const GifExportOptions& options) -> std::optional<std::uint64_t> {
        ++trials;
        GifExportResult trial = Encode(options);
        if (!trial.status) {
            ended = std::move(trial);
        } else if (trial.report.cancelled) {
            first.report.trials = trials;
            ended = Cancelled(std::move(first));
        } else if (trial.bytes.size() <= maxBytes) {
            fit = std::move(trial);
        } else {
            return trial.bytes.size();
        }
        return std::nullopt;
    };
    while (low < high) {
        const std::size_t middle = (low + high) / 2;
        const std::optional<std::uint64_t> tooLarge = tryOptions(at(rungs[middle]));
        if (ended) return std::move(*ended);
        if (!tooLarge) {
            high = middle;
        } else {
            if (middle + 1 == rungs.size()) sizeOfLast = *tooLarge;
            low = middle + 1;
        }
    }
    const BudgetRung last = rungs.empty() ? BudgetRung{first.report.requestedColors, first.report.lossy} : rungs.back();
    if (!fit && !first.options.onePalette) {
        // Palettes of their own make images truer at some bytes: the last
        // rung is tried once more with one palette for all.
        GifExportOptions options = at(last);
        options.onePalette = true;
        const std::optional<std::uint64_t> tooLarge = tryOptions(options);
        if (ended) return std::move(*ended);
        if (tooLarge) sizeOfLast = std::min(sizeOfLast, *tooLarge);
    }
    if (!fit) {
        first.bytes.clear();
        first.report.trials = trials;
        first.status = Status::Error("Even with " + std::to_string(last.colors) + " colours and lossy " +
                                     std::to_string(last.lossy) + " the GIF takes " + BytesText(sizeOfLast) +
                                     ", more than the limit of " + BytesText(maxBytes) + ".");
        return first;
    }
    fit->report.trials = trials;
    fit->report.fewColors = fit->report.requestedColors < kFewestColorsUnasked &&
                            fit->report.requestedColors < first.report.requestedColors;
    return std::move(*fit);
}

GifExportResult GifExportJob::Fit(std::uint64_t maxBytes, const GifExportOptions& options) {
    return Fit(maxBytes, Fixed(options));
}

Status ExportFrameAsJpeg(AnimFrame& frame, const std::filesystem::path& path, int quality) {
    frame.Render();
    return JpegCodec(quality).WriteJpeg(path, frame.Image());
}

FrameExportFormat FrameExportFormatFor(const std::filesystem::path& path) {
    const FileFormat* format = FindFileFormat(path);
    if (format == nullptr || !format->exportsFrame) return FrameExportFormat::None;
    return format->kind == FileKind::Jpeg ? FrameExportFormat::Jpeg : FrameExportFormat::Gif;
}

GifExportResult ExportFrame(AnimFrame& frame, const std::filesystem::path& path, const GifOptionsChooser& chooseGif,
                            const JpegQualityChooser& chooseQuality) {
    GifExportResult result;
    switch (FrameExportFormatFor(path)) {
    case FrameExportFormat::Gif:
        return GifExportJob::OfFrame(frame).Save(path, chooseGif);
    case FrameExportFormat::Jpeg:
        if (const auto quality = chooseQuality())
            result.status = ExportFrameAsJpeg(frame, path, *quality);
        else
            result.report.cancelled = true;
        return result;
    case FrameExportFormat::None:
        break;
    }
    result.status = Status::Error(path.string() + ": frames are exported as .gif, .jpg, .jpe or .jpeg files");
    return result;
}

}  // namespace vantrel
