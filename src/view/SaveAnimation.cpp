#include "view/SaveAnimation.h"

#include "document/AnimFrame.h"
#include "document/AnimationExport.h"
#include "document/Animation.h"
#include "document/CQVDoc.h"

namespace vantrel {

namespace {

std::filesystem::path WithExtensionIfNone(const std::filesystem::path& chosen, std::string_view extension) {
    if (chosen.has_extension()) return chosen;
    std::filesystem::path named = chosen;
    named += "." + std::string(extension);
    return named;
}

SaveOutcome Finish(Status status, const std::filesystem::path& path, const GifExportReport& report) {
    SaveOutcome outcome;
    outcome.path = path;
    outcome.report = report;
    outcome.kind = !status ? SaveOutcome::Kind::Failed
                           : (report.cancelled ? SaveOutcome::Kind::Cancelled : SaveOutcome::Kind::Saved);
    outcome.status = std::move(status);
    return outcome;
}

}  // namespace

std::filesystem::path FrameExportPath(const std::filesystem::path& chosen, std::string_view extension) {
    return WithExtensionIfNone(chosen, extension);
}

std::filesystem::path AnimationSavePath(const std::filesystem::path& chosen) { return WithExtensionIfNone(chosen, "gif"); }

SaveOutcome SaveAnimationFile(Animation& animation, bool saveAs, const SavePathChooser& askPath,
                              const GifOptionsChooser& chooseGif, const ProgressReport& progress) {
    std::filesystem::path path;
    if (!saveAs && animation.hasAnimationFile && !animation.animationPath.empty()) {
        path = animation.animationPath;
    } else {
        const std::optional<std::filesystem::path> chosen = askPath(animation.animationPath);
        if (!chosen || chosen->empty()) return {};
        path = AnimationSavePath(*chosen);
    }
    // The extension chooses the writer; WebP and animated PNG keep every colour and ask nothing.
    GifExportResult result;
    ProgressSteps steps(progress);
    if (AnimationFormatFor(path) == AnimationFormat::Gif) {
        result = GifExportJob::OfAnimation(animation, CountingIn(steps)).Save(path, chooseGif);
    } else {
        result.status = SaveAnimationAsImage(animation, path, {}, &steps);
        if (steps.Stopped()) {
            // A stop is the user's choice, not a failure.
            result.status = Status::Ok();
            result.report.cancelled = true;
        }
    }
    SaveOutcome outcome = Finish(std::move(result.status), path, result.report);
    if (outcome.kind == SaveOutcome::Kind::Saved) animation.SetAnimationFile(path);
    return outcome;
}

bool NoteAnimationWritten(CQVDoc& doc, const std::filesystem::path& written) {
    if (doc.GetAnimation().isNative || doc.PathName().empty()) return false;
    std::error_code ec;
    if (!std::filesystem::equivalent(doc.PathName(), written, ec) || ec) return false;
    doc.SetModifiedFlag(false);
    return true;
}

SaveOutcome ExportFrameFile(const Animation& animation, AnimFrame& frame, const FrameExportChooser& askPath,
                            const GifOptionsChooser& chooseGif, const JpegQualityChooser& chooseQuality) {
    const std::optional<FrameExportChoice> chosen = askPath(animation.animationPath);
    if (!chosen || chosen->path.empty()) return {};
    const std::filesystem::path path = FrameExportPath(chosen->path, chosen->extension);
    GifExportResult result = ExportFrame(frame, path, chooseGif, chooseQuality);
    return Finish(std::move(result.status), path, result.report);
}

}  // namespace vantrel
