#pragma once
// The dialogs the editor view opens, as the view sees them: values in,
// values out. The windowing layer implements them; tests answer them.

#include <optional>
#include <string>

#include "text/LogFont.h"

namespace vantrel {

// "Text Edit": the text of a label (at most kTextEditMaxLength characters,
// never empty), its anti-aliasing and its font. "Font..." edits the font at
// once; a font chosen there is kept even when the dialog is cancelled.
inline constexpr int kTextEditMaxLength = 64;
struct TextEditValues {
    std::string text;
    bool antiAliased = true;
    LogFont font;
};

class ViewDialogs {
public:
    virtual ~ViewDialogs() = default;
    // Shows "Text Edit" on values; true when confirmed (values then hold the
    // result). On cancel only values.font may have changed.
    virtual bool EditText(TextEditValues& values) = 0;
    // Shows "Select Font" on font; true when confirmed (font then holds the choice).
    virtual bool SelectFont(LogFont& font) = 0;
};

}  // namespace vantrel
