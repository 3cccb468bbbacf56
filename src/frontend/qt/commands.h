#pragma once

// The window's command ids: the old menu ids, so the menus of both languages share them, plus the
// window sizes the desktop player adds.
namespace talu::qt::command {

inline constexpr int kOpen = 32778;
inline constexpr int kGotoNextChoice = 32785;
inline constexpr int kCloseWindow = 32826;
inline constexpr int kSave = 32813;
inline constexpr int kLoad = 32815;
inline constexpr int kBookmarkMenu = 32814;
inline constexpr int kSetting = 32779;
inline constexpr int kSavePicture = 32786;
inline constexpr int kFullScreen = 32818;
inline constexpr int kWindow = 32819;
inline constexpr int kHelp = 32781;
inline constexpr int kAbout = 32780;
inline constexpr int kDebug = 32783;
inline constexpr int kTags = 32791;
inline constexpr int kTest = 32787;
inline constexpr int kDownloadNewVersion = 32788;
inline constexpr int kDownloadBook = 32789;
inline constexpr int kMessageBoard = 32790;
inline constexpr int kRanking = 32817;
inline constexpr int kJapanese = 32824;
inline constexpr int kEnglish = 32825;
inline constexpr int kQuit = 32822;
/// The backlog: the pages read so far, to look back and go back to.
inline constexpr int kBacklog = 32900;
/// The window at 1, 2 and 3 times the stage's size: kWindowScale + scale.
inline constexpr int kWindowScale = 40000;

}  // namespace talu::qt::command
