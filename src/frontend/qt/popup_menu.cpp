#include "frontend/qt/popup_menu.h"

#include "frontend/qt/commands.h"
#include "frontend/qt/ui_text.h"

namespace talu::qt {
namespace {

struct Item {
    int id;
    const char* japanese;
    const char* english;
};

QAction* AddItem(QMenu& menu, int langMode, const Item& item) {
    QAction* action = menu.addAction(Pick(langMode, item.japanese, item.english));
    action->setData(item.id);
    return action;
}

void Check(QAction* action, bool checked) {
    action->setCheckable(true);
    action->setChecked(checked);
}

void AddWindowMenu(QMenu& menu, const MenuState& state) {
    const int lang = state.langMode;
    QMenu* window = menu.addMenu(Pick(lang, "画面(&W)", "Window(&W)"));
    Check(AddItem(*window, lang, {command::kFullScreen, "フルスクリーン", "Full Screen"}),
          state.fullScreen);
    Check(AddItem(*window, lang, {command::kWindow, "ウィンドウ", "Window"}), !state.fullScreen);
    window->addSeparator();
    for (int scale = 1; scale <= 3; ++scale) {
        const QString text = Pick(lang, "ウィンドウ ×%1", "Window ×%1").arg(scale);
        QAction* action = window->addAction(text);
        action->setData(command::kWindowScale + scale);
        Check(action, !state.fullScreen && state.windowScale == scale);
        action->setEnabled(state.scaleFits[scale - 1]);
    }
}

void AddSystemMenu(QMenu& menu, const MenuState& state) {
    const int lang = state.langMode;
    QMenu* system = menu.addMenu(Pick(lang, "システム(&Y)", "System(&Y)"));
    AddItem(*system, lang, {command::kHelp, "ヘルプ(&H)", "Help(&H)"});
    AddItem(*system, lang, {command::kAbout, "アバウト(&A)", "About(&A)"});
    if (!state.singleBook) {
        AddItem(*system, lang, {command::kDebug, "デバック(&D)", "Debug(&D)"});
    }
    AddItem(*system, lang, {command::kTags, "TALUタグ一覧(&T)", "TALU Tags(&T)"});
    AddItem(*system, lang, {command::kTest, "TEST", "TEST"});
}

void AddInternetMenu(QMenu& menu, const MenuState& state) {
    const int lang = state.langMode;
    QMenu* internet = menu.addMenu(Pick(lang, "インターネット(&L)", "Internet(&I)"));
    const Item items[] = {
        {command::kDownloadNewVersion, "最新版のダウンロード", "Download New Version"},
        {command::kDownloadBook, "ブックのダウンロード", "Download Book"},
        {command::kMessageBoard, "掲示板へ行く", "Message Board"},
        {command::kRanking, "ランキングへ投票", nullptr},
    };
    for (std::size_t i = 0; i < std::size(items); ++i) {
        if (lang != 0 && items[i].english == nullptr) {
            continue;  // the English menu has no ranking vote
        }
        AddItem(*internet, lang, items[i])->setEnabled(state.webAvailable[i]);
    }
}

}  // namespace

void BuildPopupMenu(QMenu& menu, const MenuState& state) {
    const int lang = state.langMode;
    if (!state.singleBook) {
        AddItem(menu, lang, {command::kOpen, "本を開く(&O)", "Open...(&O)"});
        menu.addSeparator();
    }
    AddItem(menu, lang,
            {command::kGotoNextChoice, "次の選択肢まで進む(&N)", "Goto Next Choice(&N)"});
    AddItem(menu, lang, {command::kCloseWindow, "ウィンドウを消す(&C)", "Close Window(&C)"});
    AddItem(menu, lang, {command::kSave, "現在のしおりへセーブ(&S)", "Save(&S)"});
    AddItem(menu, lang, {command::kLoad, "現在のしおりからロード(&L)", "Load(&L)"});
    AddItem(menu, lang, {command::kBookmarkMenu, "しおりの整理(&B)", "Bookmark Menu(&B)"});
    AddItem(menu, lang, {command::kBacklog, "バックログ(&K)", "Backlog(&K)"});
    menu.addSeparator();
    AddItem(menu, lang, {command::kSetting, "設定(&M)", "Setting(&M)"});
    AddItem(menu, lang, {command::kSavePicture, "画像を保存(&P)", "Save Picture(&P)"});
    AddWindowMenu(menu, state);
    AddSystemMenu(menu, state);
    AddInternetMenu(menu, state);
    QMenu* language = menu.addMenu(QStringLiteral("Language(&L)"));
    Check(AddItem(*language, lang, {command::kJapanese, "Japanese(&J)", "Japanese(&J)"}),
          lang == 0);
    Check(AddItem(*language, lang, {command::kEnglish, "English(&E)", "English(&E)"}), lang != 0);
    menu.addSeparator();
    AddItem(menu, lang, {command::kQuit, "終了(&Q)", "Quit(&Q)"});
    for (int id : state.refused) {
        if (QAction* action = FindCommand(menu, id)) {
            action->setEnabled(false);
        }
    }
}

QAction* FindCommand(const QMenu& menu, int id) {
    for (QAction* action : menu.actions()) {
        if (action->menu() != nullptr) {
            if (QAction* found = FindCommand(*action->menu(), id)) {
                return found;
            }
        } else if (!action->isSeparator() && action->data().toInt() == id) {
            return action;
        }
    }
    return nullptr;
}

}  // namespace talu::qt
