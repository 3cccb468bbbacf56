#pragma once

#include <string>
#include <string_view>

// The wording of script errors and of the player's general prompts, in Japanese (language 0)
// and English (language 1). Texts are returned in CP932, the engine's own encoding.
namespace talu::script {

inline constexpr int kLangJapanese = 0;
inline constexpr int kLangEnglish = 1;

/// Script error codes.
namespace err {
inline constexpr int kCannotOpenFile = 0;
inline constexpr int kLinkTargetNotFound = 1;
inline constexpr int kPluginNoSrc = 2;
inline constexpr int kPluginNoName = 3;
inline constexpr int kBadExpression = 4;
inline constexpr int kInputOutsideForm = 5;
inline constexpr int kEnterNoName = 6;
inline constexpr int kEnterBadAlign = 7;
inline constexpr int kEnterBadValign = 8;
inline constexpr int kAlreadyEntered = 9;
inline constexpr int kStageFull = 10;
inline constexpr int kActNoName = 11;
inline constexpr int kNotEntered = 12;
inline constexpr int kSpaceNoWidth = 14;
inline constexpr int kSpaceNoHeight = 15;
inline constexpr int kNoPluginForFormat = 16;
inline constexpr int kPluginNotFound = 18;
inline constexpr int kAutoSaveOnly = 19;
inline constexpr int kCannotSave = 20;
inline constexpr int kSaveFailed = 22;
inline constexpr int kLoadFailed = 23;
inline constexpr int kCurtainNested = 24;
inline constexpr int kBookmarkCannotOpen = 25;
/// STAGE asked for more pixels than any picture may have; "%s" is the size asked for.
inline constexpr int kStageTooLarge = 26;
}  // namespace err

/// General message indexes.
namespace msg {
inline constexpr int kExitQuestion = 0;
inline constexpr int kSyntaxErrorTitle = 1;
inline constexpr int kFullScreenQuestion = 2;
inline constexpr int kNeeds16BitColour = 3;
inline constexpr int kNeedsDisplayInterface = 4;
inline constexpr int kTheEnd = 5;
inline constexpr int kConfirm = 7;
inline constexpr int kBookmarkFolderTitle = 8;
inline constexpr int kDisplayInitFailed = 9;
// Bookmarks; "%d" stands for a slot number (PlayerMessageForSlot).
inline constexpr int kUnableToSaveYet = 20;
inline constexpr int kLoadQuestion = 21;
/// The Load command on a current slot without a file.
inline constexpr int kCannotLoadCurrent = 22;
/// Any other load of a slot without a file.
inline constexpr int kCannotLoadSlot = 23;
inline constexpr int kSaveQuestion = 24;
inline constexpr int kInitializeQuestion = 25;
/// Initialize could not write the slot (the same Japanese text in both languages).
inline constexpr int kInitializeFailed = 26;
}  // namespace msg

/// The message of a script error with every "%s" replaced by argument. With a language other
/// than 0 or 1, or an unknown code, out is left as it was and the result is false.
bool FormatScriptError(int langMode, int code, std::string& out, std::string_view argument);

/// A general message: Japanese for language 0, English for any other; empty for unknown indexes.
std::string PlayerMessage(int langMode, int index);

/// A general message with every "%d" replaced by the slot number.
std::string PlayerMessageForSlot(int langMode, int index, int slot);

/// The question asked before a book starts a program for the first time: the exact command line
/// (CP932, program and parameters) is shown.
std::string CommandQuestion(int langMode, std::string_view commandLine);

/// The box of music in a format no decoder plays.
std::string UnsupportedMusicMessage(int langMode);

/// The plain box of a jump to a book file that cannot be opened (English in both languages).
std::string CannotOpenFileMessage(std::string_view path);

}  // namespace talu::script
