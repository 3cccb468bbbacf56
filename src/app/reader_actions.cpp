#include "app/reader_actions.h"

#include <array>

namespace talu::app {
namespace {

using Names = std::string_view;

constexpr std::array<Names, 3> kReadOnKeys{"Return", "Enter", "Space"};
constexpr std::array<Names, 1> kReadOnButtons{"a"};
constexpr std::array<Names, 2> kChoiceNextKeys{"Down", "Tab"};
constexpr std::array<Names, 1> kChoiceNextButtons{"dpdown"};
constexpr std::array<Names, 2> kChoicePreviousKeys{"Up", "Shift+Tab"};
constexpr std::array<Names, 1> kChoicePreviousButtons{"dpup"};
constexpr std::array<Names, 2> kGotoNextChoiceKeys{"PgDown", "Ctrl+N"};
constexpr std::array<Names, 1> kSkipKeys{"S"};
constexpr std::array<Names, 1> kHoldSkipKeys{"Ctrl"};
constexpr std::array<Names, 1> kHoldSkipButtons{"rightshoulder"};
constexpr std::array<Names, 1> kAutoKeys{"A"};
constexpr std::array<Names, 1> kAutoButtons{"y"};
constexpr std::array<Names, 1> kBacklogKeys{"PgUp"};
constexpr std::array<Names, 1> kBacklogButtons{"leftshoulder"};
constexpr std::array<Names, 1> kMenuKeys{"Alt"};
constexpr std::array<Names, 1> kMenuButtons{"b"};
constexpr std::array<Names, 1> kSaveKeys{"Ctrl+S"};
constexpr std::array<Names, 1> kLoadKeys{"Ctrl+L"};
constexpr std::array<Names, 1> kBookmarksKeys{"Ctrl+B"};
constexpr std::array<Names, 1> kSavePictureKeys{"Ctrl+P"};
constexpr std::array<Names, 1> kSettingsKeys{"Ctrl+M"};
constexpr std::array<Names, 1> kOpenKeys{"Ctrl+O"};
constexpr std::array<Names, 2> kFullScreenKeys{"F11", "Alt+Return"};
constexpr std::array<Names, 1> kCloseKeys{"Esc"};
constexpr std::array<Names, 1> kQuitKeys{"Ctrl+Q"};

constexpr std::span<const Names> kNone{};

// SDL_GameControllerGetStringForButton's names (SDL 2.0.14 and later).
// clang-format off
constexpr std::array<Names, 21> kButtonNames{
    "a", "b", "x", "y", "back", "guide", "start", "leftstick", "rightstick", "leftshoulder",
    "rightshoulder", "dpup", "dpdown", "dpleft", "dpright", "misc1", "paddle1", "paddle2",
    "paddle3", "paddle4", "touchpad"};
// clang-format on

// The Japanese names are the menu's own where the menu has the command.
const std::array kActions{
    ReaderActionInfo{ReaderAction::kReadOn, "ReadOn", "読み進める", "Read on", kReadOnKeys,
                     kReadOnButtons},
    ReaderActionInfo{ReaderAction::kChoiceNext, "NextLink", "次の選択肢", "Next link",
                     kChoiceNextKeys, kChoiceNextButtons},
    ReaderActionInfo{ReaderAction::kChoicePrevious, "PreviousLink", "前の選択肢", "Previous link",
                     kChoicePreviousKeys, kChoicePreviousButtons},
    ReaderActionInfo{ReaderAction::kGotoNextChoice, "GotoNextChoice", "次の選択肢まで進む",
                     "Goto Next Choice", kGotoNextChoiceKeys, kNone},
    ReaderActionInfo{ReaderAction::kSkip, "Skip", "既読スキップ", "Skip read text", kSkipKeys,
                     kNone},
    ReaderActionInfo{ReaderAction::kHoldSkip, "HoldSkip", "押している間スキップ", "Skip while held",
                     kHoldSkipKeys, kHoldSkipButtons},
    ReaderActionInfo{ReaderAction::kAuto, "Auto", "オート", "Auto", kAutoKeys, kAutoButtons},
    ReaderActionInfo{ReaderAction::kBacklog, "Backlog", "バックログ", "Backlog", kBacklogKeys,
                     kBacklogButtons},
    ReaderActionInfo{ReaderAction::kMenu, "Menu", "メニュー", "Menu", kMenuKeys, kMenuButtons},
    ReaderActionInfo{ReaderAction::kCloseWindow, "CloseWindow", "ウィンドウを消す", "Close Window",
                     kNone, kNone},
    ReaderActionInfo{ReaderAction::kSave, "Save", "現在のしおりへセーブ", "Save", kSaveKeys, kNone},
    ReaderActionInfo{ReaderAction::kLoad, "Load", "現在のしおりからロード", "Load", kLoadKeys,
                     kNone},
    ReaderActionInfo{ReaderAction::kBookmarks, "Bookmarks", "しおりの整理", "Bookmark Menu",
                     kBookmarksKeys, kNone},
    ReaderActionInfo{ReaderAction::kSavePicture, "SavePicture", "画像を保存", "Save Picture",
                     kSavePictureKeys, kNone},
    ReaderActionInfo{ReaderAction::kSettings, "Settings", "設定", "Setting", kSettingsKeys, kNone},
    ReaderActionInfo{ReaderAction::kOpen, "Open", "本を開く", "Open", kOpenKeys, kNone},
    ReaderActionInfo{ReaderAction::kFullScreen, "FullScreen", "フルスクリーン", "Full Screen",
                     kFullScreenKeys, kNone},
    ReaderActionInfo{ReaderAction::kClose, "Close", "ウィンドウを閉じる", "Close", kCloseKeys,
                     kNone},
    ReaderActionInfo{ReaderAction::kQuit, "Quit", "終了", "Quit", kQuitKeys, kNone},
};

}  // namespace

std::span<const ReaderActionInfo> ReaderActions() {
    return kActions;
}

const ReaderActionInfo& InfoOf(ReaderAction action) {
    return kActions[static_cast<std::size_t>(action)];
}

bool IsHeld(ReaderAction action) {
    return action == ReaderAction::kHoldSkip;
}

bool Repeats(ReaderAction action) {
    return action == ReaderAction::kReadOn || action == ReaderAction::kChoiceNext ||
           action == ReaderAction::kChoicePrevious || action == ReaderAction::kGotoNextChoice;
}

std::span<const std::string_view> GamepadButtonNames() {
    return kButtonNames;
}

}  // namespace talu::app
