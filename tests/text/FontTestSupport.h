#pragma once
// Fonts for the text tests: the document's default record with a few fields changed.

#include <memory>

#include "text/Font.h"
#include "text/LogFont.h"

namespace vantrel::test {

struct FontRequest {
    int height = 24;
    int width = 0;
    int weight = 400;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    const char* face = "Arial";
};

inline LogFont MakeLogFont(const FontRequest& r) {
    LogFont font = LogFont::DocumentDefault();
    font.height = r.height;
    font.width = r.width;
    font.weight = r.weight;
    font.italic = r.italic ? 1 : 0;
    font.underline = r.underline ? 1 : 0;
    font.strikeOut = r.strikeOut ? 1 : 0;
    font.SetFaceName(r.face);
    return font;
}

inline std::unique_ptr<Font> MakeFont(const FontRequest& r) { return Font::Create(MakeLogFont(r)); }

}  // namespace vantrel::test
