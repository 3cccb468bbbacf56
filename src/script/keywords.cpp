#include "script/keywords.h"

#include <unordered_map>

namespace talu::script {
namespace {

// Every word of the markup. Several words share an id (spellings and closing forms).
// clang-format off
constexpr KeywordEntry kKeywords[] = {
    {"transparent", kw::kTransparent}, {"text", kw::kText}, {"!", kw::kLineComment},
    {"#", kw::kBlockComment}, {"ef_toheart_back", kw::kBlockComment},
    {"background", kw::kBackground}, {"bgm", kw::kBgm}, {"/bgm", kw::kBgm},
    {"ef_toheart_char", kw::kBgm}, {"include", kw::kInclude}, {"stage", kw::kStage},
    {"alias", kw::kAlias}, {"define", kw::kDefine}, {"act", kw::kAct}, {"enter", kw::kEnter},
    {"exit", kw::kExit}, {"ef_one_back", kw::kExit}, {"w", kw::kW}, {"ef_one_char", kw::kW},
    {"br", kw::kBr}, {"p", kw::kP}, {"b", kw::kB}, {"/b", kw::kB}, {"i", kw::kI}, {"/i", kw::kI},
    {"u", kw::kU}, {"/u", kw::kU}, {"s", kw::kS}, {"/s", kw::kS}, {"screen", kw::kScreen},
    {"font", kw::kFont}, {"/font", kw::kFont}, {"cursor", kw::kCursor}, {"window", kw::kWindow},
    {"/window", kw::kWindow}, {"trap", kw::kTrap}, {"a", kw::kA}, {"newpage", kw::kNewPage},
    {"np", kw::kNewPage}, {"newline", kw::kNewLine}, {"nl", kw::kNewLine},
    {"question", kw::kQuestion}, {"wait", kw::kWait}, {"/wait", kw::kWait}, {"plugin", kw::kPlugin},
    {"sound", kw::kSound}, {"/sound", kw::kSound}, {"end", kw::kEnd}, {"icon", kw::kIcon},
    {"/icon", kw::kIcon}, {"command", kw::kCommand}, {"title", kw::kTitle},
    {"bookmark", kw::kBookmark}, {"sunglass", kw::kSunglass}, {"/sunglass", kw::kSunglass},
    {"timer", kw::kTimer}, {"hide", kw::kHide}, {"event", kw::kEvent}, {"/event", kw::kEvent},
    {"indent", kw::kIndent}, {"/indent", kw::kIndent}, {"shadow", kw::kShadow},
    {"/shadow", kw::kShadow}, {"form", kw::kForm}, {"/form", kw::kForm}, {"input", kw::kInput},
    {"write", kw::kWrite}, {"break", kw::kBreak}, {"position", kw::kPosition},
    {"space", kw::kSpace}, {"focue", kw::kFocue}, {"kick", kw::kKick}, {"clip", kw::kClip},
    {"/clip", kw::kClip}, {"snap", kw::kSnap}, {"curtain", kw::kCurtain},
    {"/curtain", kw::kCurtain}, {"memo", kw::kMemo}, {"cover", kw::kCover}, {"src", kw::kSrc},
    {"dest", kw::kDest}, {"name", kw::kName}, {"status", kw::kStatus}, {"folder", kw::kFolder},
    {"top", kw::kTop}, {"left", kw::kLeft}, {"width", kw::kWidth}, {"height", kw::kHeight},
    {"skip", kw::kSkip}, {"align", kw::kAlign}, {"aline", kw::kAlign}, {"alpha", kw::kAlpha},
    {"color", kw::kColor}, {"time", kw::kTime}, {"href", kw::kHref}, {"answer", kw::kAnswer},
    {"alt", kw::kAlt}, {"character", kw::kCharacter}, {"fade", kw::kFade}, {"back", kw::kBack},
    {"mode", kw::kMode}, {"effect", kw::kEffect}, {"loop", kw::kLoop}, {"type", kw::kType},
    {"value", kw::kValue}, {"face", kw::kFace}, {"place", kw::kPlace}, {"view", kw::kView},
    {"enable", kw::kEnable}, {"valign", kw::kValign}, {"shut", kw::kShut}, {"size", kw::kSize},
    {"mask", kw::kMask}, {"put", kw::kPut}, {"genre", kw::kGenre}, {"auther", kw::kAuther},
    {"date", kw::kDate}, {"mail", kw::kMail}, {"homepage", kw::kHomepage},
    {"comment", kw::kComment}, {"center", kw::kCenter}, {"right", kw::kRight},
    {"leftside", kw::kLeftSide}, {"rightside", kw::kRightSide}, {"user", kw::kUser},
    {"pass", kw::kPass}, {"manual", kw::kManual}, {"semiauto", kw::kSemiAuto}, {"auto", kw::kAuto},
    {"toppage", kw::kTopPage}, {"checkbox", kw::kCheckbox}, {"radio", kw::kRadio},
    {"submit", kw::kSubmit}, {"reset", kw::kReset}, {"mono", kw::kMono}, {"inverse", kw::kInverse},
    {"sepia", kw::kSepia}, {"light", kw::kLight}, {"sunset", kw::kSunset}, {"night", kw::kNight},
    {"midnight", kw::kMidnight}, {"save", kw::kSave}, {"load", kw::kLoad}, {"none", kw::kNone},
    {"middle", kw::kMiddle}, {"bottom", kw::kBottom}, {"floor", kw::kFloor}, {"roof", kw::kRoof},
    {"both", kw::kBoth}, {"bmp", kw::kBmp}, {"jpeg", kw::kJpeg}, {"book", kw::kBook},
    {"clear", kw::kClear}, {"front", kw::kFront}, {"infinity", kw::kInfinity},
};
// clang-format on

constexpr std::size_t kLongestWord = 20;

const std::unordered_map<std::string_view, int>& KeywordMap() {
    static const std::unordered_map<std::string_view, int> map = [] {
        std::unordered_map<std::string_view, int> m;
        for (const KeywordEntry& k : kKeywords) {
            m.emplace(k.word, k.id);  // the first spelling of a word wins
        }
        return m;
    }();
    return map;
}

}  // namespace

std::span<const KeywordEntry> KeywordTable() {
    return kKeywords;
}

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
    return kw::kNotKeyword;
}

bool IsTagId(int id) {
    return id == 3 || (id >= 5 && id <= 43) || (id >= 45 && id <= 56) || (id >= 98 && id <= 103);
}

bool IsAttributeId(int id) {
    return id == 1 || id == 2 || id == 30 || id == 57 || (id >= 62 && id <= 87) ||
           (id >= 89 && id <= 95) || id == 97 || id == 104 || id == 105;
}

}  // namespace talu::script
