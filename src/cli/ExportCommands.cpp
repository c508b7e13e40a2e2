// export, export-frame and quick: writing animations and frames.

#include <iostream>

#include "cli/Cli.h"
#include "cli/TerminalProgress.h"
#include "core/FileIO.h"
#include "document/AnimationExport.h"
#include "document/CQVDoc.h"
#include "document/Export.h"
#include "document/FileFormats.h"
#include "document/QuickAnimation.h"

namespace vantrel::cli {

namespace {

// The largest --max-bytes accepted (1 TiB): larger budgets mean no budget.
constexpr long kMaxByteBudget = 1L << 40;

// The palette choice of --colors N or --exact, or the dialog's defaults.
struct PaletteArgs {
    std::optional<long> colors;
    bool exact = false;
    bool sizeReduction = true;
    bool dither = false;
    PaletteMethod quantizer = PaletteMethod::Refined;
    int lossy = 0;
    bool onePalette = false;
};

// Why a chooser of ChooserFor gives no options: the one request it refuses.
constexpr const char* kExactRefused = "--exact needs 256 colours or fewer; the picture has more than 256";

// The export options the arguments ask for; none (the export is then
// cancelled) when --exact is asked of more than 256 colours.
GifOptionsChooser ChooserFor(const PaletteArgs& args) {
    return [args](const GifExportRequest& request) -> std::optional<GifExportOptions> {
        GifExportOptions options = DefaultGifExportOptions(request.distinctColors);
        if (args.exact) {
            if (request.distinctColors > 256) return std::nullopt;
            options.reduce = false;
        } else if (args.colors) {
            options.reduce = true;
            options.colorCount = int(*args.colors);
        }
        options.sizeReduction = args.sizeReduction;
        options.dither = args.dither;
        options.quantizer = args.quantizer;
        options.lossy = args.lossy;
        options.onePalette = args.onePalette;
        return options;
    };
}

PaletteArgs ParsePalette(const Arguments& a) {
    if (a.Has("--exact") && a.Has("--colors")) throw CommandFailure(kExitUsage, "--colors and --exact exclude each other");
    PaletteArgs out;
    out.exact = a.Has("--exact");
    out.sizeReduction = !a.Has("--no-size-reduction");
    out.dither = a.Has("--dither");
    out.onePalette = a.Has("--one-palette");
    if (auto text = a.Value("--lossy")) {
        const auto level = ParseInteger(*text, 0, kMaxLossy);
        if (!level) throw CommandFailure(kExitUsage, "--lossy takes a number from 0 to " + std::to_string(kMaxLossy));
        out.lossy = int(*level);
    }
    if (auto text = a.Value("--quantizer")) {
        if (*text == "median-cut")
            out.quantizer = PaletteMethod::MedianCut;
        else if (*text != "refined")
            throw CommandFailure(kExitUsage, "--quantizer takes refined or median-cut");
    }
    if (auto text = a.Value("--colors")) {
        out.colors = ParseInteger(*text, 2, 256);
        if (!out.colors) throw CommandFailure(kExitUsage, "--colors takes a number from 2 to 256");
    }
    return out;
}

// The options of export that only GIF output takes, and the one only WebP takes.
const std::vector<std::string> kGifValueOptions{"--colors", "--max-bytes", "--quantizer", "--lossy"};
const std::vector<std::string> kGifSwitches{"--exact", "--no-size-reduction", "--dither", "--allow-few-colors",
                                            "--one-palette"};
constexpr const char* kQualityOption = "--quality";

std::vector<std::string> Joined(std::vector<std::string> list, const std::string& more) {
    list.push_back(more);
    return list;
}

const char* FormatName(AnimationFormat format) {
    return format == AnimationFormat::Webp ? "WebP" : "animated PNG";
}

// export to OUT.webp, OUT.apng or OUT.png: every colour kept, no palette
// options; WebP lossless unless --quality is given.
int ExportAnimationImage(const Arguments& a, AnimationFormat format) {
    const std::string& out = a.Positionals()[1];
    for (const std::vector<std::string>* list : {&kGifValueOptions, &kGifSwitches}) {
        for (const std::string& option : *list) {
            if (a.Has(option))
                return Fail(kExitUsage, option + " applies to GIF output only; " + FormatName(format) +
                                            " output keeps every colour");
        }
    }
    WebpOptions webp;
    if (auto text = a.Value(kQualityOption)) {
        if (format != AnimationFormat::Webp)
            return Fail(kExitUsage, "--quality applies to WebP output only; animated PNG is always lossless");
        const auto quality = ParseInteger(*text, 0, kMaxWebpQuality);
        if (!quality) return Fail(kExitUsage, "--quality takes a number from 0 to 100");
        webp.quality = int(*quality);
    }
    const std::filesystem::path input = a.Positionals()[0];
    if (!a.Has("--dry-run")) CheckOutput(out, std::span(&input, 1));
    CQVDoc doc;
    LoadDocument(a.Positionals()[0], doc);
    Animation& animation = doc.GetAnimation();
    if (animation.CountFrames(false) == 0)
        return Fail(kExitBadInput, a.Positionals()[0] + ": every frame is a master frame; there is nothing to export");
    // Opening renders every frame.
    std::vector<std::uint8_t> bytes;
    ProgressSteps steps(TerminalProgress("writing " + std::filesystem::path(out).filename().string()));
    if (const Status encoded = EncodeRenderedAnimationImage(animation, format, webp, bytes, &steps); !encoded)
        return Fail(kExitBadInput, encoded.message());
    const int frames = animation.CountFrames(false);
    std::cout << out << ": " << frames << (frames == 1 ? " frame as " : " frames as ") << FormatName(format)
              << (format == AnimationFormat::Apng || !webp.quality
                      ? std::string(" (lossless)")
                      : " (quality " + std::to_string(*webp.quality) + ")")
              << '\n';
    if (a.Has("--dry-run")) {
        std::cout << out << ": " << bytes.size() << " bytes would be written (dry run, nothing written)\n";
        return kExitOk;
    }
    // The picture is made from inputs left as they were: not flushed to the disk.
    if (const Status written = WriteFileAtomic(out, bytes, FileSync::None); !written)
        return Fail(kExitBadOutput, written.message());
    std::cout << out << ": " << bytes.size() << " bytes written\n";
    return kExitOk;
}

// The command's end after an export: the reason it failed, or what it wrote.
// The tool's own choosers cancel only for kExactRefused.
int Report(const Status& status, const GifExportReport& report, const std::string& out) {
    if (report.cancelled) return Fail(kExitBadInput, kExactRefused);
    if (!status) return Fail(kExitBadOutput, status.message());
    if (report.images > 0) {
        std::cout << out << ": " << report.images << (report.images == 1 ? " image, " : " images, ")
                  << (report.distinctColors > 256 ? std::string("more than 256")
                                                  : std::to_string(report.distinctColors))
                  << " distinct colours, palette of " << report.paletteSize;
        if (report.ownPalettes == report.images)
            std::cout << ", each image with a palette of its own";
        else if (report.ownPalettes > 0)
            std::cout << ", " << report.ownPalettes << (report.ownPalettes == 1 ? " image" : " images")
                      << " with palettes of their own";
        std::cout << "\n";
    } else {
        std::cout << out << '\n';
    }
    return kExitOk;
}

}  // namespace

int ExportCommand(std::span<const std::string> args) {
    Arguments a(args, Joined(kGifValueOptions, kQualityOption), Joined(kGifSwitches, "--dry-run"));
    if (a.Positionals().size() != 2) return Fail(kExitUsage, "export takes FILE OUT.gif, OUT.webp, OUT.apng or OUT.png");
    if (const AnimationFormat format = AnimationFormatFor(a.Positionals()[1]); format != AnimationFormat::Gif)
        return ExportAnimationImage(a, format);
    if (a.Has(kQualityOption)) return Fail(kExitUsage, "--quality applies to WebP output only");
    const PaletteArgs palette = ParsePalette(a);
    std::optional<long> maxBytes;
    if (auto text = a.Value("--max-bytes")) {
        maxBytes = ParseInteger(*text, 1, kMaxByteBudget);
        if (!maxBytes) return Fail(kExitUsage, "--max-bytes takes a number of bytes from 1");
    }
    const bool dryRun = a.Has("--dry-run");
    const std::string& out = a.Positionals()[1];
    const std::filesystem::path input = a.Positionals()[0];
    if (!dryRun) CheckOutput(out, std::span(&input, 1));
    CQVDoc doc;
    LoadDocument(a.Positionals()[0], doc);
    // Nothing to write is a fault of the input, not of the output.
    if (doc.GetAnimation().CountFrames(false) == 0)
        return Fail(kExitBadInput, a.Positionals()[0] + ": every frame is a master frame; there is nothing to export");
    if (!dryRun && !maxBytes) {
        // Opening renders every frame, so the export need not render again.
        // The picture is made from inputs left as they were: not flushed.
        ProgressSteps steps(TerminalProgress("writing " + out));
        const GifExportResult result = GifExportJob::OfRenderedAnimation(doc.GetAnimation(), CountingIn(steps))
                                           .Save(out, ChooserFor(palette), FileSync::None);
        return Report(result.status, result.report, out);
    }
    // Made in memory first: its size is the size of the file.
    GifExportJob job = GifExportJob::OfRenderedAnimation(doc.GetAnimation());
    const GifExportResult result = maxBytes ? job.Fit(std::uint64_t(*maxBytes), ChooserFor(palette))
                                            : job.Encode(ChooserFor(palette));
    const Status& status = result.status;
    const GifExportReport& report = result.report;
    const std::vector<std::uint8_t>& bytes = result.bytes;
    if (report.cancelled) return Fail(kExitBadInput, kExactRefused);
    if (!status) return Fail(kExitBadInput, status.message());
    // So few colours change most pictures beyond what was asked for: written only when allowed.
    if (report.fewColors && !a.Has("--allow-few-colors")) {
        return Fail(kExitBadInput, out + ": the limit of " + std::to_string(*maxBytes) + " bytes is met only with " +
                                       std::to_string(report.requestedColors) + " colours, lossy " +
                                       std::to_string(report.lossy) + " (" + std::to_string(bytes.size()) +
                                       " bytes), fewer than " + std::to_string(kFewestColorsUnasked) +
                                       "; nothing written (--allow-few-colors writes it)");
    }
    // What the file holds is told only once it is written.
    if (!dryRun) {
        if (const Status written = WriteFileAtomic(out, bytes, FileSync::None); !written)
            return Fail(kExitBadOutput, written.message());
    }
    Report(status, report, out);
    if (maxBytes) {
        std::cout << out << ": fits the limit of " << *maxBytes << " bytes with " << report.requestedColors
                  << " colours (lossy " << report.lossy << "; " << report.trials
                  << (report.trials == 1 ? " export" : " exports") << " tried)\n";
    }
    if (dryRun)
        std::cout << out << ": " << bytes.size() << " bytes would be written (dry run, nothing written)\n";
    else
        std::cout << out << ": " << bytes.size() << " bytes written\n";
    return kExitOk;
}

int ExportFrameCommand(std::span<const std::string> args) {
    Arguments a(args, {"--colors", "--quality", "--quantizer", "--lossy"}, {"--exact", "--dither", "--one-palette"});
    if (a.Positionals().size() != 3) return Fail(kExitUsage, "export-frame takes FILE N OUT");
    const PaletteArgs palette = ParsePalette(a);
    long quality = 7;
    if (auto text = a.Value("--quality")) {
        const auto parsed = ParseInteger(*text, 0, 10);
        if (!parsed) return Fail(kExitUsage, "--quality takes a number from 0 to 10");
        quality = *parsed;
    }
    const auto number = ParseInteger(a.Positionals()[1], 1, 1L << 30);
    if (!number) return Fail(kExitUsage, "the frame number counts from 1");
    const std::string& out = a.Positionals()[2];
    if (FrameExportFormatFor(out) == FrameExportFormat::None)
        return Fail(kExitUsage, "frames are exported as .gif, .jpg, .jpe or .jpeg files");
    const std::filesystem::path input = a.Positionals()[0];
    CheckOutput(out, std::span(&input, 1));

    CQVDoc doc;
    LoadDocument(a.Positionals()[0], doc);
    Animation& animation = doc.GetAnimation();
    if (std::size_t(*number) > animation.FrameCount())
        return Fail(kExitBadInput, "the document has " + std::to_string(animation.FrameCount()) + " frames");
    AnimFrame& frame = *animation.Frames()[std::size_t(*number - 1)];
    animation.RenderAll();  // the frame may lie over earlier frames
    const GifExportResult result = ExportFrame(frame, out, ChooserFor(palette),
                                               [quality] { return std::optional<int>(int(quality)); });
    return Report(result.status, result.report, out);
}

int QuickCommand(std::span<const std::string> args) {
    Arguments a(args, {"--duration"}, {});
    if (a.Positionals().size() < 2) return Fail(kExitUsage, "quick takes OUT.gif and at least one IMAGE");
    double seconds = 1.0;
    if (auto text = a.Value("--duration")) {
        const std::optional<double> given = ParseNumber(*text, kMinQuickSeconds, kMaxQuickSeconds);
        if (!given) return Fail(kExitUsage, "--duration takes seconds from 0.01 to 650");
        seconds = *given;
    }
    const std::filesystem::path out = a.Positionals()[0];
    const FileFormat* format = FindFileFormat(out);
    const bool toDocument = format != nullptr && format->kind == FileKind::Document;
    if (!toDocument && (format == nullptr || format->kind != FileKind::Gif))
        return Fail(kExitUsage, "quick writes a .qvd document or a .gif file");
    std::vector<std::filesystem::path> images(a.Positionals().begin() + 1, a.Positionals().end());
    CheckOutput(out, images);

    CQVDoc doc;
    const Status made = MakeQuickAnimation(doc, images, seconds);
    if (!made) return Fail(kExitBadInput, made.message());
    if (toDocument) return SaveAs(doc, out);
    ProgressSteps steps(TerminalProgress("writing " + out.filename().string()));
    const GifExportResult result =
        GifExportJob::OfAnimation(doc.GetAnimation(), CountingIn(steps)).Save(out, DefaultGifOptionsChooser());
    return Report(result.status, result.report, out.string());
}

}  // namespace vantrel::cli
