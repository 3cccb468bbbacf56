#pragma once

#include <span>
#include <string_view>

// One vocabulary for the whole markup: tag names, attribute names and a set of attribute values
// share a single space of small fixed ids (they are also written into bookmark files).
namespace talu::script {

/// Every keyword id by name, one name an id; a comment lists the words where the name does not
/// spell the only word. Closing forms ("/bgm") share the id of their tag.
namespace kw {
/// Not a keyword.
inline constexpr int kNotKeyword = 0;
inline constexpr int kTransparent = 1;
inline constexpr int kText = 2;
inline constexpr int kLineComment = 3;   // "!"
inline constexpr int kBlockComment = 4;  // "#", "ef_toheart_back"
inline constexpr int kBackground = 5;
inline constexpr int kBgm = 6;  // "bgm", "/bgm", "ef_toheart_char"
inline constexpr int kInclude = 7;
inline constexpr int kStage = 8;
inline constexpr int kAlias = 9;
inline constexpr int kDefine = 10;
inline constexpr int kAct = 11;
inline constexpr int kEnter = 12;
inline constexpr int kExit = 13;  // "exit", "ef_one_back"
inline constexpr int kW = 14;     // "w", "ef_one_char"
inline constexpr int kBr = 15;
inline constexpr int kP = 16;
inline constexpr int kB = 17;
inline constexpr int kI = 18;
inline constexpr int kU = 19;
inline constexpr int kS = 20;
inline constexpr int kScreen = 21;
inline constexpr int kFont = 22;
inline constexpr int kCursor = 23;
inline constexpr int kWindow = 24;
inline constexpr int kTrap = 25;
inline constexpr int kA = 26;
inline constexpr int kNewPage = 27;  // "newpage", "np"
inline constexpr int kNewLine = 28;  // "newline", "nl"
inline constexpr int kQuestion = 29;
inline constexpr int kWait = 30;
inline constexpr int kPlugin = 31;
inline constexpr int kSound = 32;
inline constexpr int kEnd = 33;
inline constexpr int kIcon = 34;
inline constexpr int kCommand = 35;
inline constexpr int kTitle = 36;
inline constexpr int kBookmark = 37;
inline constexpr int kSunglass = 38;
inline constexpr int kTimer = 39;
inline constexpr int kHide = 40;
inline constexpr int kEvent = 41;
inline constexpr int kIndent = 42;
inline constexpr int kShadow = 43;
inline constexpr int kForm = 45;
inline constexpr int kInput = 46;
inline constexpr int kWrite = 47;
inline constexpr int kBreak = 48;
inline constexpr int kPosition = 49;
inline constexpr int kSpace = 50;
inline constexpr int kFocue = 51;
inline constexpr int kKick = 52;
inline constexpr int kClip = 53;
inline constexpr int kSnap = 54;
inline constexpr int kCurtain = 55;
inline constexpr int kMemo = 56;
inline constexpr int kCover = 57;
inline constexpr int kSrc = 62;
inline constexpr int kDest = 63;
inline constexpr int kName = 64;
inline constexpr int kStatus = 65;
inline constexpr int kFolder = 66;
inline constexpr int kTop = 67;
inline constexpr int kLeft = 68;
inline constexpr int kWidth = 69;
inline constexpr int kHeight = 70;
inline constexpr int kSkip = 71;
inline constexpr int kAlign = 72;  // "align", "aline"
inline constexpr int kAlpha = 73;
inline constexpr int kColor = 74;
inline constexpr int kTime = 75;
inline constexpr int kHref = 76;
inline constexpr int kAnswer = 77;
inline constexpr int kAlt = 78;
inline constexpr int kCharacter = 79;
inline constexpr int kFade = 80;
inline constexpr int kBack = 81;
inline constexpr int kMode = 82;
inline constexpr int kEffect = 83;
inline constexpr int kLoop = 84;
inline constexpr int kType = 85;
inline constexpr int kValue = 86;
inline constexpr int kFace = 87;
inline constexpr int kPlace = 89;
inline constexpr int kView = 90;
inline constexpr int kEnable = 91;
inline constexpr int kValign = 92;
inline constexpr int kShut = 93;
inline constexpr int kSize = 94;
inline constexpr int kMask = 95;
inline constexpr int kPut = 97;
inline constexpr int kGenre = 98;
inline constexpr int kAuther = 99;
inline constexpr int kDate = 100;
inline constexpr int kMail = 101;
inline constexpr int kHomepage = 102;
inline constexpr int kComment = 103;
inline constexpr int kCenter = 104;
inline constexpr int kRight = 105;
inline constexpr int kLeftSide = 106;
inline constexpr int kRightSide = 107;
inline constexpr int kUser = 109;
inline constexpr int kPass = 110;
inline constexpr int kManual = 111;
inline constexpr int kSemiAuto = 112;
inline constexpr int kAuto = 113;
inline constexpr int kTopPage = 114;
/// Not a word: the key that marks a record written in closing form.
inline constexpr int kClosingMark = 115;
inline constexpr int kCheckbox = 116;
inline constexpr int kRadio = 117;
inline constexpr int kSubmit = 118;
inline constexpr int kReset = 119;
inline constexpr int kMono = 120;
inline constexpr int kInverse = 121;
inline constexpr int kSepia = 122;
inline constexpr int kLight = 123;
inline constexpr int kSunset = 124;
inline constexpr int kNight = 125;
inline constexpr int kMidnight = 126;
inline constexpr int kSave = 127;
inline constexpr int kLoad = 128;
inline constexpr int kNone = 129;
inline constexpr int kMiddle = 130;
inline constexpr int kBottom = 131;
inline constexpr int kFloor = 132;
inline constexpr int kRoof = 133;
inline constexpr int kBoth = 134;
inline constexpr int kBmp = 135;
inline constexpr int kJpeg = 136;
inline constexpr int kBook = 137;
inline constexpr int kClear = 138;
inline constexpr int kFront = 139;
inline constexpr int kInfinity = 140;
/// Attributes of the k-th following link of a link group sit at base id + kLinkStride * k.
inline constexpr int kLinkStride = 141;
}  // namespace kw

/// One word of the markup and its id.
struct KeywordEntry {
    std::string_view word;
    int id;
};

/// Every word of the markup in lower case with its id, first spellings first (for the authors'
/// reference and its checks). The clock form of TIMER is a shape, not a word, and is not listed.
std::span<const KeywordEntry> KeywordTable();

/// The keyword id of word (any ASCII case; no trimming), or 0 when it is no keyword.
/// A word of five or more bytes whose third byte is ":" is the clock form of TIMER (39).
int LookupKeyword(std::string_view word);

/// True when an id may open a tag: 3, 5 to 43, 45 to 56, 98 to 103.
bool IsTagId(int id);

/// True when an id may name an attribute: 1, 2, 30, 57, 62 to 87, 89 to 95, 97, 104, 105.
bool IsAttributeId(int id);

}  // namespace talu::script
