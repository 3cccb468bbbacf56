#include "host/fonts/fontconfig_match.h"

#include <fontconfig/fontconfig.h>

#include <memory>

namespace talu::host {
namespace {

struct PatternDestroyer {
    void operator()(FcPattern* pattern) const { FcPatternDestroy(pattern); }
};
using PatternPtr = std::unique_ptr<FcPattern, PatternDestroyer>;

struct ConfigDestroyer {
    void operator()(FcConfig* config) const { FcConfigDestroy(config); }
};

const FcChar8* Bytes(const char* text) {
    return reinterpret_cast<const FcChar8*>(text);
}

// One configuration for the whole process, loaded on first use and released at exit. Our own
// rather than fontconfig's implicit default, which is never released.
FcConfig* SharedConfig() {
    static const std::unique_ptr<FcConfig, ConfigDestroyer> config(FcInitLoadConfigAndFonts());
    return config.get();
}

}  // namespace

void PrepareFontMatching() {
    SharedConfig();
}

std::optional<FontFileMatch> MatchFontFile(std::string_view familyUtf8, bool bold) {
    FcConfig* config = SharedConfig();
    PatternPtr pattern(FcPatternCreate());
    if (config == nullptr || !pattern) {
        return std::nullopt;
    }
    std::string family(familyUtf8);
    FcPatternAddString(pattern.get(), FC_FAMILY, Bytes(family.c_str()));
    FcPatternAddString(pattern.get(), FC_LANG, Bytes("ja"));
    FcPatternAddInteger(pattern.get(), FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
    if (!FcConfigSubstitute(config, pattern.get(), FcMatchPattern)) {
        return std::nullopt;
    }
    FcDefaultSubstitute(pattern.get());

    FcResult result = FcResultNoMatch;
    PatternPtr match(FcFontMatch(config, pattern.get(), &result));
    if (!match || result != FcResultMatch) {
        return std::nullopt;
    }
    FcChar8* file = nullptr;
    if (FcPatternGetString(match.get(), FC_FILE, 0, &file) != FcResultMatch || file == nullptr) {
        return std::nullopt;
    }
    FontFileMatch found;
    found.path = reinterpret_cast<const char*>(file);
    int index = 0;
    if (FcPatternGetInteger(match.get(), FC_INDEX, 0, &index) == FcResultMatch) {
        found.index = index;
    }
    FcChar8* name = nullptr;
    for (int i = 0; FcPatternGetString(match.get(), FC_FAMILY, i, &name) == FcResultMatch; ++i) {
        found.families.emplace_back(reinterpret_cast<const char*>(name));
    }
    int weight = FC_WEIGHT_REGULAR;
    if (FcPatternGetInteger(match.get(), FC_WEIGHT, 0, &weight) == FcResultMatch) {
        found.bold = weight >= FC_WEIGHT_BOLD;
    }
    FcLangSet* languages = nullptr;
    if (FcPatternGetLangSet(match.get(), FC_LANG, 0, &languages) == FcResultMatch) {
        found.japanese = FcLangSetHasLang(languages, Bytes("ja")) != FcLangDifferentLang;
    }
    return found;
}

}  // namespace talu::host
