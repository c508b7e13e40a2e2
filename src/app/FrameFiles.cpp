#include "app/FrameFiles.h"

#include <QApplication>

#include "app/Prompts.h"
#include "app/dialogs/GifSaveOptionsDialog.h"
#include "app/dialogs/JpegSaveOptionsDialog.h"
#include "document/Animation.h"
#include "view/SaveAnimation.h"
#include "view/SaveOptions.h"

namespace vantrel {

namespace {

// Shows the wait cursor from the moment an options dialog is confirmed
// until the export returns.
class WaitCursorAfterChoice {
public:
    ~WaitCursorAfterChoice() {
        if (on_) QApplication::restoreOverrideCursor();
    }
    void Start() {
        if (on_) return;
        on_ = true;
        QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    GifOptionsChooser Gif(QWidget* parent) {
        return [this, parent](const GifExportRequest& request) {
            auto options = AskGifSaveOptions(parent, request);
            if (options) Start();
            return options;
        };
    }
    JpegQualityChooser Jpeg(QWidget* parent) {
        return [this, parent] {
            auto quality = AskJpegQuality(parent, kDefaultJpegQuality);
            if (quality) Start();
            return quality;
        };
    }

private:
    bool on_ = false;
};

QString PathText(const std::filesystem::path& path) { return QString::fromStdString(path.string()); }

bool Report(QWidget* parent, const SaveOutcome& outcome) {
    if (outcome.kind == SaveOutcome::Kind::Failed)
        ShowMessageBox(parent, QString::fromStdString(outcome.status.message()), MessageStyle::Error);
    return outcome.kind == SaveOutcome::Kind::Saved;
}

}  // namespace

bool SaveAnimationFromEditor(QWidget* parent, Animation& animation, bool saveAs) {
    const bool animated = animation.CountFrames(false) > 1;
    const SavePathChooser ask = [&](const std::filesystem::path& suggested) -> std::optional<std::filesystem::path> {
        FileDialogRequest request;
        request.save = true;
        request.title = animated ? QStringLiteral("Save Animation As") : QStringLiteral("Save Image As");
        request.filters = {QStringLiteral("Compuserve GIF (*.gif)")};
        request.startPath = PathText(suggested);
        const QString chosen = AskFileName(parent, request);
        if (chosen.isEmpty()) return std::nullopt;
        return std::filesystem::path(chosen.toStdString());
    };
    SaveOutcome outcome;
    {
        WaitCursorAfterChoice wait;
        outcome = SaveAnimationFile(animation, saveAs, ask, wait.Gif(parent));
    }
    return Report(parent, outcome);
}

bool ExportFrameFromEditor(QWidget* parent, const Animation& animation, AnimFrame& frame) {
    const FrameExportChooser ask = [&](const std::filesystem::path& suggested) -> std::optional<FrameExportChoice> {
        FileDialogRequest request;
        request.save = true;
        request.title = QStringLiteral("Save Current Frame As");
        request.filters = {QStringLiteral("Compuserve GIF (*.gif)"), QStringLiteral("JPEG (*.jpg)")};
        request.startPath = PathText(suggested);
        int filter = 0;
        const QString chosen = AskFileName(parent, request, &filter);
        if (chosen.isEmpty()) return std::nullopt;
        return FrameExportChoice{chosen.toStdString(), filter == 1 ? FrameExportFilter::Jpeg : FrameExportFilter::Gif};
    };
    SaveOutcome outcome;
    {
        WaitCursorAfterChoice wait;
        outcome = ExportFrameFile(animation, frame, ask, wait.Gif(parent), wait.Jpeg(parent));
    }
    return Report(parent, outcome);
}

}  // namespace vantrel
