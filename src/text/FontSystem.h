#pragma once
// Internal to the text library: the one FreeType library and fontconfig
// configuration of the process, and the choice of a font file for a request.
// Only the text library's own sources include this header.

#include <ft2build.h>
#include FT_FREETYPE_H

#include <fontconfig/fontconfig.h>

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace vantrel::text_detail {

// The font file fontconfig picked for a request, with the synthesis it asks for.
struct FaceChoice {
    std::string file;
    int index = 0;
    std::vector<std::string> families;  // UTF-8, the preferred name first
    bool embolden = false;              // draw a regular face bold
    std::optional<FcMatrix> matrix;     // slant a roman face to italic
};

// Owns the FreeType library and a fontconfig configuration. Every Font holds
// a reference, so the system outlives every face made from it; the last
// release shuts fontconfig down completely (FcFini), which leaves nothing for
// leak checkers to report. The program must not use fontconfig through other
// code after that point.
class FontSystem {
public:
    // The shared instance, made on first use; null when FreeType or
    // fontconfig cannot start (a later call tries again).
    static std::shared_ptr<FontSystem> Get();

    ~FontSystem();
    FontSystem(const FontSystem&) = delete;
    FontSystem& operator=(const FontSystem&) = delete;

    FT_Library Library() const { return library_; }
    FcConfig* Config() const { return config_; }

    // The best scalable face for family (UTF-8; empty selects the default
    // face), an OpenType weight (1 to 1000) and a slant; none only when no
    // font is installed at all. Remembered: fontconfig's matching takes
    // longer than opening the face, and a document's labels ask for the
    // same few faces over and over.
    std::optional<FaceChoice> Choose(const std::string& family, int weight, bool italic);

private:
    FontSystem(FT_Library library, FcConfig* config) : library_(library), config_(config) {}

    FT_Library library_;
    FcConfig* config_;
    std::mutex chosenLock_;
    std::map<std::tuple<std::string, int, bool>, std::optional<FaceChoice>> chosen_;
};


}  // namespace vantrel::text_detail
