#include "app/dialogs/AppDialogs.h"

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

}  // namespace vantrel
