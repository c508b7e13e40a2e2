#include "text/FontSystem.h"

#include FT_DRIVER_H
#include FT_MODULE_H

#include <memory>

namespace vantrel::text_detail {
namespace {

// The process-wide reference; Fonts keep their own, so clearing this at exit
// only ends the system once no Font is left.
std::shared_ptr<FontSystem>& Instance() {
    static std::shared_ptr<FontSystem> instance;
    return instance;
}

// Fixed FreeType settings, so that hinted widths and pixels do not depend on
// the machine's defaults or on FREETYPE_PROPERTIES: the classic TrueType
// interpreter, and no stem darkening in the other hinters.
void PinFreeTypeProperties(FT_Library library) {
    FT_UInt interpreter = TT_INTERPRETER_VERSION_35;
    FT_Property_Set(library, "truetype", "interpreter-version", &interpreter);
    FT_Bool noDarkening = 1;
    FT_Property_Set(library, "cff", "no-stem-darkening", &noDarkening);
    FT_Property_Set(library, "autofitter", "no-stem-darkening", &noDarkening);
}

struct PatternDeleter {
    void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
using PatternPtr = std::unique_ptr<FcPattern, PatternDeleter>;

}  // namespace

std::shared_ptr<FontSystem> FontSystem::Get() {
    auto& instance = Instance();
    if (instance) return instance;

    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) return nullptr;
    PinFreeTypeProperties(library);
    FcConfig* config = FcInitLoadConfigAndFonts();
    if (config == nullptr) {
        FT_Done_FreeType(library);
        return nullptr;
    }
    instance.reset(new FontSystem(library, config));
    return instance;
}

FontSystem::~FontSystem() {
    FcConfigDestroy(config_);
    FcFini();
    FT_Done_FreeType(library_);
}

namespace {

// fontconfig's pick for a request, uncached.
std::optional<FaceChoice> ChooseFace(FcConfig* config, const std::string& family, int weight, bool italic) {
    PatternPtr pattern(FcPatternCreate());
    if (!pattern) return std::nullopt;
    if (!family.empty())
        FcPatternAddString(pattern.get(), FC_FAMILY,
                           reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddDouble(pattern.get(), FC_WEIGHT, FcWeightFromOpenTypeDouble(weight));
    FcPatternAddInteger(pattern.get(), FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    // Sizes are arbitrary, so only outline fonts will do.
    FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
    FcConfigSubstitute(config, pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());

    FcResult result = FcResultNoMatch;
    // The match has gone through the configuration's font rules, which add
    // the embolden and matrix settings when a face stands in for a style.
    PatternPtr match(FcFontMatch(config, pattern.get(), &result));
    if (!match) return std::nullopt;

    FaceChoice choice;
    FcChar8* file = nullptr;
    if (FcPatternGetString(match.get(), FC_FILE, 0, &file) != FcResultMatch || file == nullptr)
        return std::nullopt;
    choice.file = reinterpret_cast<const char*>(file);
    FcPatternGetInteger(match.get(), FC_INDEX, 0, &choice.index);
    FcChar8* name = nullptr;
    for (int i = 0; FcPatternGetString(match.get(), FC_FAMILY, i, &name) == FcResultMatch; ++i)
        choice.families.emplace_back(reinterpret_cast<const char*>(name));
    FcBool embolden = FcFalse;
    if (FcPatternGetBool(match.get(), FC_EMBOLDEN, 0, &embolden) == FcResultMatch)
        choice.embolden = embolden == FcTrue;
    FcMatrix* matrix = nullptr;
    if (FcPatternGetMatrix(match.get(), FC_MATRIX, 0, &matrix) == FcResultMatch &&
        matrix != nullptr)
        choice.matrix = *matrix;
    return choice;
}

}  // namespace

std::optional<FaceChoice> FontSystem::Choose(const std::string& family, int weight, bool italic) {
    // Requests come from documents: a bounded number is remembered.
    constexpr std::size_t kRemembered = 256;
    const std::lock_guard<std::mutex> lock(chosenLock_);
    auto key = std::make_tuple(family, weight, italic);
    if (const auto found = chosen_.find(key); found != chosen_.end()) return found->second;
    if (chosen_.size() >= kRemembered) chosen_.clear();
    std::optional<FaceChoice> choice = ChooseFace(config_, family, weight, italic);
    chosen_.emplace(std::move(key), choice);
    return choice;
}

}  // namespace vantrel::text_detail
