#include "app/dialogs/AppDialogs.h"

#include <QWidget>

#include "app/dialogs/ColorPickerDlg.h"
#include "app/dialogs/FontChoice.h"
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
