#include "app/dialogs/AppDialogs.h"

#include <QApplication>
#include <QInputDialog>
#include <QTimer>
#include <QWidget>
#include <algorithm>

#include "app/PreviewWindow.h"
#include "app/Prompts.h"
#include "app/dialogs/CanvasSizeDialog.h"
#include "app/dialogs/ResizeAnimationDialog.h"
#include "app/dialogs/EffectDialog.h"
#include "app/dialogs/ColorPickerDialog.h"
#include "app/dialogs/FontChoice.h"
#include "app/dialogs/FrameDurationDialog.h"
#include "app/dialogs/FrameSetupDialog.h"
#include "app/dialogs/GifSaveOptionsDialog.h"
#include "app/dialogs/GoToFrameDialog.h"
#include "app/dialogs/ImageSizeDialog.h"
#include "app/dialogs/InBetweenDialogs.h"
#include "app/dialogs/JpegSaveOptionsDialog.h"
#include "app/dialogs/LoopCountDialog.h"
#include "app/dialogs/MoveByDialog.h"
#include "app/dialogs/RectStyleDialog.h"
#include "app/dialogs/TextEditDialog.h"
#include "document/FileFormats.h"
#include "edit/FrameRangeCommands.h"
#include "view/SaveOptions.h"

namespace vantrel {

TextEditAnswer AppDialogs::EditText(const TextEditValues& values) {
    // The font chosen with "Font..." stands even when the dialog is then cancelled.
    TextEditDialog dialog(values, parent_);
    const bool confirmed = dialog.exec() == QDialog::Accepted;
    return {confirmed ? std::optional(dialog.chosen) : std::nullopt, dialog.chosen.font};
}

std::optional<LogFont> AppDialogs::SelectFont(const LogFont& font) { return AskFont(parent_, font); }

std::optional<ImageSizeValues> AppDialogs::ImageSize(const ImageSizeValues& values) {
    return RunChecked<ImageSizeDialog>(values, parent_);
}
std::optional<CanvasSizeValues> AppDialogs::CanvasSize(const CanvasSizeValues& values) {
    return RunChecked<CanvasSizeDialog>(values, parent_);
}
std::optional<MoveByValues> AppDialogs::MoveBy(const MoveByValues& values) {
    return RunChecked<MoveByDialog>(values, parent_);
}
std::optional<RectStyleValues> AppDialogs::RectangleStyle(const RectStyleValues& values) {
    return RunChecked<RectStyleDialog>(values, parent_);
}

std::optional<std::string> AppDialogs::ImportImagePath() {
    FileDialogRequest request;
    request.title = QStringLiteral("Import Image");
    request.filters = FormatFilters(FilePurpose::Import);
    const QString path = AskFileName(parent_, request);
    if (path.isEmpty()) return std::nullopt;
    return path.toStdString();
}

std::optional<PixelValue> AppDialogs::PickColor(const ColorPickRequest& request) {
    std::optional<PixelValue> chosen = RunChecked<ColorPickerDialog>(request, parent_);
    // The picker is opened from the floating Current Colors bar; the keys
    // (Ctrl+Z to undo the change) belong to the document window again.
    if (parent_) {
        parent_->activateWindow();
        parent_->setFocus(Qt::OtherFocusReason);
    }
    return chosen;
}

namespace {

// Shows the wait cursor until control comes back to the event loop, that
// is until the work that follows the dialog is done.
void WaitUntilIdle() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QTimer::singleShot(0, [] { QApplication::restoreOverrideCursor(); });
}

std::filesystem::path PathOf(const QString& text) { return std::filesystem::path(text.toStdString()); }

}  // namespace

std::optional<Size> AppDialogs::FrameSetup(Size canvas) { return AskFrameSetup(parent_, canvas); }

std::optional<std::uint32_t> AppDialogs::LoopCount(std::uint32_t loopCount) { return AskLoopCount(parent_, loopCount); }

std::optional<std::uint32_t> AppDialogs::FrameDuration(std::uint32_t hundredths) {
    return AskFrameDuration(parent_, hundredths);
}

std::optional<int> AppDialogs::SpeedPercent() {
    bool ok = false;
    const int percent = QInputDialog::getInt(parent_, QStringLiteral("Change Speed"),
                                             QStringLiteral("Speed in percent (200 plays twice as fast):"), 100,
                                             kMinSpeedPercent, kMaxSpeedPercent, 10, &ok);
    if (!ok) return {};
    return percent;
}

std::optional<TransitionValues> AppDialogs::Transition(const TransitionRequest& request) {
    return AskTransition(parent_, request);
}

std::optional<TweenValues> AppDialogs::Tween(const TweenValues& values) { return AskTween(parent_, values); }

std::optional<ResizeAnimationValues> AppDialogs::ResizeAnimation(const ResizeAnimationValues& values) {
    return AskResizeAnimation(parent_, values);
}

std::optional<EffectSettings> AppDialogs::Effect(const EffectRequest& request) { return AskEffect(parent_, request); }

std::optional<ObjectUid> AppDialogs::GoToFrame(const Animation& animation, ObjectUid current) {
    return AskGoToFrame(parent_, animation, current);
}

void AppDialogs::PreviewAnimation(Animation& animation) { RunPreview(animation, parent_); }

std::optional<std::filesystem::path> AppDialogs::AnimationPath(const std::string& title,
                                                               const std::filesystem::path& suggested) {
    FileDialogRequest request;
    request.save = true;
    request.title = QString::fromStdString(title);
    request.filters = FormatFilters(FilePurpose::SaveAnimation);
    request.startPath = QString::fromStdString(suggested.string());
    int filter = 0;
    const QString chosen = AskFileName(parent_, request, &filter);
    if (chosen.isEmpty()) return std::nullopt;
    // A name without extension gets the one of the chosen file type, which
    // then chooses the writer; a typed extension decides by itself.
    return vantrel::FrameExportPath(PathOf(chosen), UsualExtension(FilePurpose::SaveAnimation, filter));
}

std::optional<FrameExportChoice> AppDialogs::FrameExportPath(const std::filesystem::path& suggested) {
    FileDialogRequest request;
    request.save = true;
    request.title = QStringLiteral("Save Current Frame As");
    request.filters = FormatFilters(FilePurpose::ExportFrame);
    request.startPath = QString::fromStdString(suggested.string());
    int filter = 0;
    const QString chosen = AskFileName(parent_, request, &filter);
    if (chosen.isEmpty()) return std::nullopt;
    return FrameExportChoice{PathOf(chosen), std::string(UsualExtension(FilePurpose::ExportFrame, filter))};
}

std::optional<GifExportOptions> AppDialogs::GifSaveOptions(const GifExportRequest& request) {
    auto options = AskGifSaveOptions(parent_, request);
    if (options) WaitUntilIdle();
    return options;
}

std::optional<int> AppDialogs::JpegQuality() {
    auto quality = AskJpegQuality(parent_, kDefaultJpegQuality);
    if (quality) WaitUntilIdle();
    return quality;
}

}  // namespace vantrel
