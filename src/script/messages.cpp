#include "script/messages.h"

#include "host/encoding.h"

namespace talu::script {
namespace {

struct Wording {
    int key;
    std::string_view japanese;  // UTF-8 here, converted to CP932 when used
    std::string_view english;
};

// The wording is the system's own; keep each text as one readable piece.
// clang-format off
constexpr Wording kScriptErrors[] = {
    {0,
     "ファイル\"%s\"が開けません。\nフォルダの指定やファイル名に間違いがないか確認してください。",
     "I can't open file \"%s\"."},
    {1,
     "リンク先、\"%s\"が見つかりません。\n<A HREF>タグで指定されたラベル名を確認してください。\n"
     "最初に\"#\"をつけるのを忘れないでください。",
     "Link target \"%s\"is not found.\nPlease confirm HREF attribute in <A HREF> tag. \nIf jump "
     "to label defined by <A NAME> tag. Set \"#\" top of label name."},
    {2, "SRC属性が指定してありません。", "SRC attribute is not found."},
    {3, "NAME属性が指定してありません。", "NAME attribute is not found."},
    {4,
     "ASNWERもしくはVIEW属性が評価できません。\nこのエラーは多くの場合左右のカッコがつり合っていないとき"
     "表示されます。",
     "ANSWER or VIEW attribute can't be understaneded.\nUsualy,this error message happen in "
     "unable to put together left and right parentheses."},
    {5, "INPUTタグは<FORM>と</FORM>の中でしか使えません", "<FORM> tag is necessary to use <INPUT> tag."},
    {6, "NAME属性が在りません。登場人物に名前を付けて下さい。",
     "NAME attribute is not found.Please name for character."},
    {7,
     "ENTERコマンドのALIGNが指定してありません。\nRIGHT,CENTER,LEFT,LEFTSIDE,RIGHTSIDE等の登場位置を"
     "指定してください。",
     "ALIGN attribut is not found.\n Please set \nRIGHT or CENTER or LEFT or LEFTSIDE or RIGHTSIDE."},
    {8,
     "ENTERコマンドのVALIGNが指定してありません。\nTOP,MIDDLE,BOTTOM,ROOF,FLOOR等の登場位置を指定して"
     "ください。",
     "VALIGN attribut is not found.\n Please set \nTOP or MIDDLE or BOTTOM or ROOF or FLOOR."},
    {9, "\"%s\"さん、二重登録です。\n同じ名前の人物がすでに登場しています。",
     "Character \"%s\" has enterd.\nPlaease make other name."},
    {10, "一度に登場できるのは%s人までです。",
     "No more character can enter to stage.\nMax %s characters."},
    {11,
     "ACTコマンドのNAMEが指定してありません。\nENTERタグで指定した名前と同じになっているか確認してください。",
     "NAME attribute is not found in <ACT> tag.\nPlease conform NAME attribute in <ENTER> and "
     "<ACT> tag."},
    {12,
     "\"%s\"さんは登場していません。\nNAMEの名前がENTERタグで指定した名前と同じになっているか確認して"
     "ください。",
     "Character \"%s\" has't enterd. \nPlease conform NAME attribute in <ENTER> and <EXIT> tag."},
    {14, "SPACEタグのWIDTH属性がありません", "WIDTH attribute is not found in <SPACE>tag"},
    {15, "SPACEタグのHEIGHT属性がありません", "HEIGHT attribute is not found in <SPACE>tag"},
    {16, "\"%s\" を開くためのプラグインが設定してありません",
     "Plugin not found to read \"%s\" format graphics ."},
    {18,
     "プラグイン\"%s\"が見つかりません。\n\"%s\"をTALU.EXEと同じフォルダにコピーしてください。\n\n"
     "必要なプラグインのある場所はヘルプに書いてあります。\n右クリックしてメニューより[システム]->"
     "[ヘルプ]を選択してください。",
     "Plugin \"%s\" is not found."},
    {19, "このゲームはオートセーブです。ユーザーはセーブできません", "This game is auto save. Player can't save."},
    {20, "セーブできません", "Can't save."},
    {22, "セーブに失敗しました", "Save fail."},
    {23, "ロードに失敗しました", "Load fail."},
    {24, "CURTAINタグは重ねて使えません", "Can not nest CURTAIN Tag."},
    {25, "しおりがひらけません", "Bookmark can't be open."},
    {26, "ステージの大きさ%sは大きすぎます。\n幅×高さは33554432ピクセルまでです。",
     "Stage size %s is too large: width x height may be 33554432 pixels at most."},
};

constexpr Wording kPlayerMessages[] = {
    {0, "アプリケーションを終了します", "Exit Application?"},
    {1, "TALUの文法に間違いがあります", "Syntax Error."},
    {2, "フルスクリーンで起動しますか？", "Use full screen window?"},
    {3, "現在ウィンドウモードでは65000色モードでしか起動できません",
     "Window mode can be use only in 65000 color mode."},
    {4,
     "このプログラムを動かすにはDirectX3以上が必要です。\nDirectX3はWindows95 OSR2以降、Windows98、"
     "WindowsNT(サービスパック3)には最初から含まれています。\nWindows95 OSR1をお使いの方は"
     "http://www.microsoft.com/directx/ からダウンロードしてください。",
     "This application needs DirectX 3 or later."},
    {5, "おしまい", "The End."},
    {7, "よろしいですか？", "Are you OK?"},
    {8, "ブックマークを置くフォルダを選んで下さい", "Please choice the folder for bookmark."},
    {9, "Direct Drawが初期化できませんでした", "Initialize Direct Draw fail."},
    {20, "まだセーブできません", "Unable to save,yet."},
    {21, "%dのしおりからロードします", "Load from bookmark  No.%d."},
    // The English text always named the slot; it showed 0 as its number, now the slot's own.
    {22, "しおりからロード出来ません", "Unable to load from bookmark  No.%d."},
    {23, "%dのしおりからロード出来ません", "Unable to load from bookmark  No.%d."},
    {24, "%dのしおりにセーブします", "Save to bookmark No.%d."},
    {25, "%dのしおりを初期化します", "Initialoze bookmark No.%d"},
    {26, "しおりが開けません", "しおりが開けません"},
};
// clang-format on

const Wording* FindWording(const auto& table, int key) {
    for (const Wording& w : table) {
        if (w.key == key) {
            return &w;
        }
    }
    return nullptr;
}

// Replaces every "%s" with the argument; other "%" characters stay as written.
std::string FillArgument(std::string_view pattern, std::string_view argument) {
    std::string out;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] == 's') {
            out.append(argument);
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

}  // namespace

bool FormatScriptError(int langMode, int code, std::string& out, std::string_view argument) {
    const Wording* wording = FindWording(kScriptErrors, code);
    if (wording == nullptr || (langMode != kLangJapanese && langMode != kLangEnglish)) {
        return false;
    }
    std::string_view pattern = langMode == kLangJapanese ? wording->japanese : wording->english;
    out = FillArgument(host::Utf8ToCp932(pattern), argument);
    return true;
}

std::string PlayerMessage(int langMode, int index) {
    const Wording* wording = FindWording(kPlayerMessages, index);
    if (wording == nullptr) {
        return {};
    }
    return host::Utf8ToCp932(langMode == kLangJapanese ? wording->japanese : wording->english);
}

std::string PlayerMessageForSlot(int langMode, int index, int slot) {
    const std::string pattern = PlayerMessage(langMode, index);
    std::string out;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] == 'd') {
            out += std::to_string(slot);
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

std::string CommandQuestion(int langMode, std::string_view commandLine) {
    constexpr Wording kQuestion{
        0, "このブックがプログラムを起動しようとしています。\n\n%s\n\n起動してもよろしいですか？",
        "This book wants to start a program:\n\n%s\n\nStart it?"};
    return FillArgument(
        host::Utf8ToCp932(langMode == kLangJapanese ? kQuestion.japanese : kQuestion.english),
        commandLine);
}

std::string UnsupportedMusicMessage(int langMode) {
    return host::Utf8ToCp932(langMode == kLangJapanese ? "サポートしていないファイル形式です"
                                                       : "This music format is not supported.");
}

std::string CannotOpenFileMessage(std::string_view path) {
    return FillArgument("Can not open file \"%s\".", path);
}

}  // namespace talu::script
