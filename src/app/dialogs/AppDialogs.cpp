#include "app/dialogs/AppDialogs.h"

#include <QWidget>

#include "app/Prompts.h"
#include "app/dialogs/CanvasSizeDlg.h"
#include "app/dialogs/ColorPickerDlg.h"
#include "app/dialogs/FontChoice.h"
#include "app/dialogs/ImageSizeDlg.h"
#include "app/dialogs/MoveByDlg.h"
#include "app/dialogs/RectStyleDlg.h"
#include "app/dialogs/TextEditDlg.h"

namespace vantrel {

bool AppDialogs::EditText(TextEditValues& values) {
    // The font is edited in place even when the dialog is then cancelled.
    TextEditValues working = values;
    CTextEditDlg dialog(working, parent_);
    const bool confirmed = dialog.exec() == QDialog::Accepted;
    values.font = working.font;
    if (confirmed) values = working;
    return confirmed;
}

bool AppDialogs::SelectFont(LogFont& font) { return AskFont(parent_, font); }

namespace {

// Runs a dialog on a working copy of values; the caller's values change only on OK.
template <typename Dialog, typename Values>
bool RunOn(Values& values, QWidget* parent) {
    Values working = values;
    Dialog dialog(working, parent);
    if (dialog.exec() != QDialog::Accepted) return false;
    values = working;
    return true;
}

}  // namespace

bool AppDialogs::ImageSize(ImageSizeValues& values) { return RunOn<CImageSizeDlg>(values, parent_); }
bool AppDialogs::CanvasSize(CanvasSizeValues& values) { return RunOn<CCanvasSizeDlg>(values, parent_); }
bool AppDialogs::MoveBy(MoveByValues& values) { return RunOn<CMoveByDlg>(values, parent_); }
bool AppDialogs::RectangleStyle(RectStyleValues& values) { return RunOn<CRectStyleDlg>(values, parent_); }

std::optional<std::string> AppDialogs::ImportImagePath() {
    FileDialogRequest request;
    request.title = QStringLiteral("Import Image");
    request.filters = FormatFilters(FilePurpose::Import);
    const QString path = AskFileName(parent_, request);
    if (path.isEmpty()) return std::nullopt;
    return path.toStdString();
}

std::optional<PixelValue> AppDialogs::PickColor(const ColorPickRequest& request) {
    std::optional<PixelValue> chosen = CColorPickerDlg::Pick(parent_, request);
    // The picker is opened from the floating Current Colors bar; the keys
    // (Ctrl+Z to undo the change) belong to the document window again.
    if (parent_) {
        parent_->activateWindow();
        parent_->setFocus(Qt::OtherFocusReason);
    }
    return chosen;
}

}  // namespace vantrel
