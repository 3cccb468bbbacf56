#include "script/keywords.h"

#include <unordered_map>

namespace talu::script {
namespace {

struct Keyword {
    std::string_view word;
    int id;
};

// Every word of the markup. Several words share an id (spellings and closing forms).
// clang-format off
constexpr Keyword kKeywords[] = {
    {"transparent", 1}, {"text", 2}, {"!", 3}, {"#", 4}, {"ef_toheart_back", 4},
    {"background", 5}, {"bgm", 6}, {"/bgm", 6}, {"ef_toheart_char", 6}, {"include", 7},
    {"stage", 8}, {"alias", 9}, {"define", 10}, {"act", 11}, {"enter", 12},
    {"exit", 13}, {"ef_one_back", 13}, {"w", 14}, {"ef_one_char", 14}, {"br", 15},
    {"p", 16}, {"b", 17}, {"/b", 17}, {"i", 18}, {"/i", 18},
    {"u", 19}, {"/u", 19}, {"s", 20}, {"/s", 20}, {"screen", 21},
    {"font", 22}, {"/font", 22}, {"cursor", 23}, {"window", 24}, {"/window", 24},
    {"trap", 25}, {"a", 26}, {"newpage", 27}, {"np", 27}, {"newline", 28},
    {"nl", 28}, {"question", 29}, {"wait", 30}, {"/wait", 30}, {"plugin", 31},
    {"sound", 32}, {"/sound", 32}, {"end", 33}, {"icon", 34}, {"/icon", 34},
    {"command", 35}, {"title", 36}, {"bookmark", 37}, {"sunglass", 38}, {"/sunglass", 38},
    {"timer", 39}, {"hide", 40}, {"event", 41}, {"/event", 41}, {"indent", 42},
    {"/indent", 42}, {"shadow", 43}, {"/shadow", 43}, {"form", 45}, {"/form", 45},
    {"input", 46}, {"write", 47}, {"break", 48}, {"position", 49}, {"space", 50},
    {"focue", 51}, {"kick", 52}, {"clip", 53}, {"/clip", 53}, {"snap", 54},
    {"curtain", 55}, {"/curtain", 55}, {"memo", 56}, {"cover", 57}, {"src", 62},
    {"dest", 63}, {"name", 64}, {"status", 65}, {"folder", 66}, {"top", 67},
    {"left", 68}, {"width", 69}, {"height", 70}, {"skip", 71}, {"align", 72},
    {"aline", 72}, {"alpha", 73}, {"color", 74}, {"time", 75}, {"href", 76},
    {"answer", 77}, {"alt", 78}, {"character", 79}, {"fade", 80}, {"back", 81},
    {"mode", 82}, {"effect", 83}, {"loop", 84}, {"type", 85}, {"value", 86},
    {"face", 87}, {"place", 89}, {"view", 90}, {"enable", 91}, {"valign", 92},
    {"shut", 93}, {"size", 94}, {"mask", 95}, {"put", 97}, {"genre", 98},
    {"auther", 99}, {"date", 100}, {"mail", 101}, {"homepage", 102}, {"comment", 103},
    {"center", 104}, {"right", 105}, {"leftside", 106}, {"rightside", 107}, {"user", 109},
    {"pass", 110}, {"manual", 111}, {"semiauto", 112}, {"auto", 113}, {"toppage", 114},
    {"checkbox", 116}, {"radio", 117}, {"submit", 118}, {"reset", 119}, {"mono", 120},
    {"inverse", 121}, {"sepia", 122}, {"light", 123}, {"sunset", 124}, {"night", 125},
    {"midnight", 126}, {"save", 127}, {"load", 128}, {"none", 129}, {"middle", 130},
    {"bottom", 131}, {"floor", 132}, {"roof", 133}, {"both", 134}, {"bmp", 135},
    {"jpeg", 136}, {"book", 137}, {"clear", 138}, {"front", 139}, {"infinity", 140},
};
// clang-format on

constexpr std::size_t kLongestWord = 20;

const std::unordered_map<std::string_view, int>& KeywordMap() {
    static const std::unordered_map<std::string_view, int> map = [] {
        std::unordered_map<std::string_view, int> m;
        for (const Keyword& k : kKeywords) {
            m.emplace(k.word, k.id);  // the first spelling of a word wins
        }
        return m;
    }();
    return map;
}

}  // namespace

int LookupKeyword(std::string_view word) {
    if (word.size() <= kLongestWord) {
        // Fold ASCII letters into a stack buffer; books look words up for every tag they run.
        char folded[kLongestWord];
        for (std::size_t i = 0; i < word.size(); ++i) {
            char c = word[i];
            folded[i] = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        }
        // A double-byte character's trail byte may have been folded above; such a word can
        // never equal an ASCII keyword, so the lookup result is unaffected.
        const auto& map = KeywordMap();
        auto it = map.find(std::string_view(folded, word.size()));
        if (it != map.end()) {
            return it->second;
        }
    }
    if (word.size() >= 5 && word[2] == ':') {
        return kw::kTimer;
    }
    return kw::kNone;
}

bool IsTagId(int id) {
    return id == 3 || (id >= 5 && id <= 43) || (id >= 45 && id <= 56) || (id >= 98 && id <= 103);
}

bool IsAttributeId(int id) {
    return id == 1 || id == 2 || id == 30 || id == 57 || (id >= 62 && id <= 87) ||
           (id >= 89 && id <= 95) || id == 97 || id == 104 || id == 105;
}

}  // namespace talu::script
