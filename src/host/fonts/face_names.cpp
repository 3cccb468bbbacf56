#include "host/fonts/face_names.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <utility>

#include "host/encoding.h"

namespace talu::host {
namespace {

constexpr std::string_view kFallbackFamily = "IPAMincho";
constexpr std::size_t kCacheLimit = 256;

struct Substitute {
    std::string_view face;
    std::string_view family;
};

// The old system's Japanese faces, by their Japanese and English names, and the IPA font drawn
// to the same design (the proportional ones for the "Ｐ" faces).
constexpr Substitute kSubstitutes[] = {
    {"ＭＳ 明朝", "IPAMincho"},        {"MS Mincho", "IPAMincho"},
    {"ＭＳ Ｐ明朝", "IPAPMincho"},     {"MS PMincho", "IPAPMincho"},
    {"ＭＳ ゴシック", "IPAGothic"},    {"MS Gothic", "IPAGothic"},
    {"ＭＳ Ｐゴシック", "IPAPGothic"}, {"MS PGothic", "IPAPGothic"},
};

char FoldAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return FoldAscii(x) == FoldAscii(y);
           });
}

// fontconfig always answers with its best guess; only a face of the asked family that can show
// Japanese counts as found.
std::optional<FontFileMatch> MatchFamily(std::string_view family, bool bold) {
    std::optional<FontFileMatch> match = MatchFontFile(family, bold);
    if (!match || !match->japanese) {
        return std::nullopt;
    }
    bool named =
        std::any_of(match->families.begin(), match->families.end(),
                    [&](const std::string& f) { return EqualsIgnoringAsciiCase(f, family); });
    return named ? match : std::nullopt;
}

}  // namespace

std::string SubstituteFamily(std::string_view faceCp932) {
    std::string utf8 = Cp932ToUtf8(faceCp932);
    for (const Substitute& s : kSubstitutes) {
        if (EqualsIgnoringAsciiCase(utf8, s.face)) {
            return std::string(s.family);
        }
    }
    return utf8;
}

std::optional<FontFileMatch> ResolveFace(std::string_view faceCp932, bool bold) {
    // A fontconfig match costs milliseconds and fonts are recreated at every style tag.
    static std::mutex mutex;
    static std::map<std::pair<std::string, bool>, std::optional<FontFileMatch>> cache;
    auto key = std::make_pair(std::string(faceCp932), bold);
    {
        std::lock_guard lock(mutex);
        if (auto it = cache.find(key); it != cache.end()) {
            return it->second;
        }
    }
    std::string family = SubstituteFamily(faceCp932);
    std::optional<FontFileMatch> match;
    if (!family.empty()) {
        match = MatchFamily(family, bold);
    }
    if (!match) {
        match = MatchFamily(kFallbackFamily, bold);
    }
    std::lock_guard lock(mutex);
    if (cache.size() >= kCacheLimit) {
        cache.clear();  // a book that names endless faces must not grow memory without end
    }
    cache.emplace(std::move(key), match);
    return match;
}

}  // namespace talu::host
