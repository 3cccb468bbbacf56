// The window's parts without a window: command line, keys, menus, Save Picture's names and
// pictures, the stored settings, where the stage sits in the view, cursor files.
#include <QImage>
#include <QMenu>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include "app/input_bindings.h"
#include "app/settings.h"
#include "frontend/qt/commands.h"
#include "frontend/qt/cursor_file.h"
#include "frontend/qt/desktop_settings.h"
#include "frontend/qt/display_mode.h"
#include "frontend/qt/key_text.h"
#include "frontend/qt/launch_options.h"
#include "frontend/qt/popup_menu.h"
#include "frontend/qt/qt_settings_store.h"
#include "frontend/qt/save_picture.h"
#include "frontend/qt/stage_view.h"
#include "stage/screen.h"

namespace talu::qt {
namespace {

/// The menu as lines: "text id [checked] [disabled]", submenus as "text >" with their items
/// indented, separators as "---".
QStringList Flatten(const QMenu& menu, const QString& indent = {}) {
    QStringList lines;
    for (QAction* action : menu.actions()) {
        if (action->isSeparator()) {
            lines << indent + "---";
        } else if (action->menu() != nullptr) {
            lines << indent + action->text() + " >";
            lines << Flatten(*action->menu(), indent + "  ");
        } else {
            QString line = indent + action->text() + ' ' + QString::number(action->data().toInt());
            if (action->isChecked()) {
                line += " checked";
            }
            if (!action->isEnabled()) {
                line += " disabled";
            }
            lines << line;
        }
    }
    return lines;
}

}  // namespace

class CommandTests : public QObject {
    Q_OBJECT

  private slots:
    void LaunchOptionsFromTheCommandLine() {
        const std::filesystem::path here = "/home/reader/books";
        constexpr DisplayChoice kAsk = DisplayChoice::kAsk;
        constexpr DisplayChoice kWindow = DisplayChoice::kWindow;
        const std::string tale = "/home/reader/books/tale.talu";
        const struct {
            std::vector<std::string> arguments;
            std::string book;
            bool singleBook;
            DisplayChoice display;
            int lang;  // -1: not given
        } cases[] = {
            {{"/usr/bin/talu"}, "", false, kAsk, -1},
            {{"talu", "story.talu"}, "/home/reader/books/story.talu", false, kAsk, -1},
            {{"talu", "../a b/x.talu", "ignored.talu"}, "/home/reader/a b/x.talu", false, kAsk, -1},
            {{"./TALU", "--window", "/b/x.talu", "--lang", "en"}, "/b/x.talu", false, kWindow, 1},
            {{"Talu", "--fullscreen", "--lang", "ja"}, "", false, DisplayChoice::kFullScreen, 0},
            {{"/opt/tale", "other.talu"}, tale, true, kAsk, -1},
            {{"./tale.bin"}, tale, true, kAsk, -1},
        };
        for (const auto& c : cases) {
            LaunchOptions options;
            std::string error;
            QVERIFY(ParseLaunch(c.arguments, here, options, error));
            QCOMPARE(options.book.string(), c.book);
            QCOMPARE(options.singleBook, c.singleBook);
            QCOMPARE(options.display, c.display);
            QCOMPARE(options.langMode.value_or(-1), c.lang);
        }
    }

    void LaunchOptionsRefuseWhatTheyCannotRead() {
        for (const std::vector<std::string>& arguments :
             {std::vector<std::string>{"talu", "--lang"},
              {"talu", "--lang", "fr"},
              {"talu", "--frobnicate"}}) {
            LaunchOptions options;
            std::string error;
            QVERIFY(!ParseLaunch(arguments, "/", options, error));
            QVERIFY(!error.empty());
        }
        LaunchOptions options;
        std::string error;
        QVERIFY(ParseLaunch({"talu", "--help", "-V"}, "/", options, error));
        QVERIFY(options.help && options.version);
    }

    // Every default key, named as a press names it, gives its action; near misses give none.
    void KeysToActions() {
        using A = app::ReaderAction;
        const struct {
            int key;
            Qt::KeyboardModifiers modifiers;
            std::optional<A> action;
        } cases[] = {
            {Qt::Key_Return, Qt::NoModifier, A::kReadOn},
            {Qt::Key_Enter, Qt::KeypadModifier, A::kReadOn},
            {Qt::Key_Space, Qt::NoModifier, A::kReadOn},
            {Qt::Key_Down, Qt::NoModifier, A::kChoiceNext},
            {Qt::Key_Tab, Qt::NoModifier, A::kChoiceNext},
            {Qt::Key_Up, Qt::KeypadModifier, A::kChoicePrevious},
            {Qt::Key_Backtab, Qt::ShiftModifier, A::kChoicePrevious},
            {Qt::Key_Escape, Qt::NoModifier, A::kClose},
            {Qt::Key_PageDown, Qt::NoModifier, A::kGotoNextChoice},
            {Qt::Key_PageUp, Qt::NoModifier, A::kBacklog},
            {Qt::Key_B, Qt::ControlModifier, A::kBookmarks},
            {Qt::Key_L, Qt::ControlModifier, A::kLoad},
            {Qt::Key_M, Qt::ControlModifier, A::kSettings},
            {Qt::Key_N, Qt::ControlModifier, A::kGotoNextChoice},
            {Qt::Key_O, Qt::ControlModifier, A::kOpen},
            {Qt::Key_P, Qt::ControlModifier, A::kSavePicture},
            {Qt::Key_Q, Qt::ControlModifier, A::kQuit},
            {Qt::Key_S, Qt::ControlModifier, A::kSave},
            {Qt::Key_S, Qt::NoModifier, A::kSkip},
            {Qt::Key_A, Qt::NoModifier, A::kAuto},
            {Qt::Key_Control, Qt::ControlModifier, A::kHoldSkip},
            {Qt::Key_Alt, Qt::AltModifier, A::kMenu},
            {Qt::Key_F11, Qt::NoModifier, A::kFullScreen},
            {Qt::Key_Return, Qt::AltModifier, A::kFullScreen},
            {Qt::Key_A, Qt::ShiftModifier, std::nullopt},
            {Qt::Key_X, Qt::ControlModifier, std::nullopt},
            {Qt::Key_Tab, Qt::ControlModifier, std::nullopt},
            {Qt::Key_Shift, Qt::ShiftModifier, std::nullopt},
            {Qt::Key_unknown, Qt::NoModifier, std::nullopt},
        };
        const app::InputBindings defaults;
        for (const auto& c : cases) {
            const std::string text = KeyText(c.key, c.modifiers);
            QCOMPARE(defaults.ActionForKey(text), c.action);
        }
    }

    void JapaneseMenu() {
        QMenu menu;
        MenuState japanese;
        japanese.windowScale = 2;
        japanese.webAvailable = {true, false, true, true};
        japanese.recentBooks = {"/home/r/R&D.talu", "/tmp/x.zip"};
        BuildPopupMenu(menu, japanese);
        const QStringList expected = {
            "本を開く(&O) 32778",
            "最近開いた本(&R) >",
            "  &1 R&&D.talu  (/home/r) 41000",
            "  &2 x.zip  (/tmp) 41001",
            "---",
            "次の選択肢まで進む(&N) 32785",
            "既読スキップ 40100",
            "オート 40101",
            "ウィンドウを消す(&C) 32826",
            "現在のしおりへセーブ(&S) 32813",
            "現在のしおりからロード(&L) 32815",
            "しおりの整理(&B) 32814",
            "バックログ(&K) 32900",
            "---",
            "設定(&M) 32779",
            "画像を保存(&P) 32786",
            "画面(&W) >",
            "  フルスクリーン 32818",
            "  ウィンドウ 32819 checked",
            "  ---",
            "  ウィンドウ ×1 40001",
            "  ウィンドウ ×2 40002 checked",
            "  ウィンドウ ×3 40003",
            "システム(&Y) >",
            "  ヘルプ(&H) 32781",
            "  アバウト(&A) 32780",
            "  デバック(&D) 32783",
            "  TALUタグ一覧(&T) 32791",
            "  TEST 32787",
            "インターネット(&L) >",
            "  最新版のダウンロード 32788",
            "  ブックのダウンロード 32789 disabled",
            "  掲示板へ行く 32790",
            "  ランキングへ投票 32817",
            "Language(&L) >",
            "  Japanese(&J) 32824 checked",
            "  English(&E) 32825",
            "---",
            "終了(&Q) 32822",
        };
        QCOMPARE(Flatten(menu), expected);
    }

    void EnglishMenuInSingleBookModeFullScreen() {
        QMenu menu;
        MenuState english;
        english.langMode = 1;
        english.singleBook = true;
        english.fullScreen = true;
        english.webAvailable = {false, true, false, true};
        english.refused = {command::kAutoRead};
        BuildPopupMenu(menu, english);
        const QStringList expected = {
            "Goto Next Choice(&N) 32785",
            "Skip read text 40100",
            "Auto 40101 disabled",
            "Close Window(&C) 32826",
            "Save(&S) 32813",
            "Load(&L) 32815",
            "Bookmark Menu(&B) 32814",
            "Backlog(&K) 32900",
            "---",
            "Setting(&M) 32779",
            "Save Picture(&P) 32786",
            "Window(&W) >",
            "  Full Screen 32818 checked",
            "  Window 32819",
            "  ---",
            "  Window ×1 40001",
            "  Window ×2 40002",
            "  Window ×3 40003",
            "System(&Y) >",
            "  Help(&H) 32781",
            "  About(&A) 32780",
            "  TALU Tags(&T) 32791",
            "  TEST 32787",
            "Internet(&I) >",
            "  Download New Version 32788 disabled",
            "  Download Book 32789",
            "  Message Board 32790 disabled",
            "Language(&L) >",
            "  Japanese(&J) 32824",
            "  English(&E) 32825 checked",
            "---",
            "Quit(&Q) 32822",
        };
        QCOMPARE(Flatten(menu), expected);
        QVERIFY(FindCommand(menu, command::kOpen) == nullptr);
        QVERIFY(FindCommand(menu, command::kDebug) == nullptr);
        QCOMPARE(FindCommand(menu, command::kTest)->text(), QStringLiteral("TEST"));
    }

    void SavePictureNames() {
        const struct {
            const char* chosen;
            SavedPictureFormat format;
            const char* written;
        } cases[] = {
            {"/p/shot", SavedPictureFormat::kBmp, "/p/shot.BMP"},
            {"/p/shot.bmp", SavedPictureFormat::kBmp, "/p/shot.bmp"},
            {"/p/shot.jpg", SavedPictureFormat::kBmp, "/p/shot.jpg.BMP"},
            {"/p/shot.jpeg", SavedPictureFormat::kJpeg, "/p/shot.jpeg"},
            {"/p/shot.JPG", SavedPictureFormat::kJpeg, "/p/shot.JPG"},
            {"/p/shot.bmp", SavedPictureFormat::kJpeg, "/p/shot.bmp.JPG"},
            {"/p/shot", SavedPictureFormat::kJpeg, "/p/shot.JPG"},
            {"/p/shot.PNG", SavedPictureFormat::kPng, "/p/shot.PNG"},
            {"/p/v1.2/shot", SavedPictureFormat::kPng, "/p/v1.2/shot.png"},
        };
        for (const auto& c : cases) {
            QCOMPARE(SavedPicturePath(c.chosen, c.format), QString(c.written));
        }
        QCOMPARE(SavePictureFilters().front(), QStringLiteral("BMP files  (*.BMP)"));
    }

    void SettingsRoundTripThroughTheDesktopStore() {
        QTemporaryDir dir;
        const QString path = dir.filePath("talu.conf");
        {
            QtSettingsStore store(path);
            app::Settings settings;
            settings.textWait.Set(12);
            settings.langMode = 1;
            settings.bookmarkFolder = "Z:\\home\\\x83\x65\\";  // "テ" in CP932
            settings.soundVolume = 35;
            settings.Write(store);
            DesktopSettings desktop;
            desktop.windowScale = 3;
            desktop.askDisplayMode = 0;
            desktop.webAddresses[2] = "https://example.org/board";
            desktop.Write(store);
            QVERIFY(store.Flush());
        }
        // The reader's folder is kept as the host path, readable in the file.
        QCOMPARE(QSettings(path, QSettings::IniFormat).value("EFFECT/m_BookmarkFolderOnArchive"),
                 QVariant(QString::fromUtf8("/home/\u30C6/")));
        QtSettingsStore store(path);
        app::Settings settings;
        settings.Read(store, "Z:\\prog\\");
        QCOMPARE(settings.textWait.current.load(), 12);
        QCOMPARE(settings.charWait.current.load(), 40);
        QCOMPARE(settings.langMode.load(), 1);
        QCOMPARE(settings.bookmarkFolder, std::string("Z:\\home\\\x83\x65\\"));
        QCOMPARE(settings.soundVolume.load(), 35);
        store.WriteInt("SYSTEM", "MusicVolume", 250);  // a hand-edited file: kept to 0..100
        settings.Read(store, "Z:\\prog\\");
        QCOMPARE(settings.musicVolume.load(), 100);
        DesktopSettings desktop;
        desktop.Read(store);
        QCOMPARE(desktop.windowScale, 3);
        QCOMPARE(desktop.askDisplayMode, 0);
        QCOMPARE(desktop.webAddresses[2], std::string("https://example.org/board"));
        store.WriteString("SYSTEM", "WindowScale", "huge");
        QVERIFY(!store.ReadInt("SYSTEM", "WindowScale").has_value());
        store.WriteInt("SYSTEM", "WindowScale", 9);
        desktop.Read(store);
        QCOMPARE(desktop.windowScale, 3);
    }

    void DisplayModeDecidedWithoutAsking() {
        const struct {
            DisplayChoice choice;
            QSize screen;
            bool haveAnswer;
            bool fullScreen;
        } cases[] = {
            {DisplayChoice::kAsk, {1920, 1080}, false, false},
            {DisplayChoice::kAsk, {640, 1080}, true, true},
            {DisplayChoice::kAsk, {1024, 480}, true, true},
            {DisplayChoice::kWindow, {640, 480}, true, false},
            {DisplayChoice::kFullScreen, {1920, 1080}, true, true},
        };
        for (const auto& c : cases) {
            bool haveAnswer = false;
            const bool fullScreen = FullScreenWithoutAsking(c.choice, c.screen, haveAnswer);
            QCOMPARE(haveAnswer, c.haveAnswer);
            if (haveAnswer) {
                QCOMPARE(fullScreen, c.fullScreen);
            }
        }
    }

    void StageAreaAndPointsAtEveryScale() {
        stage::Screen screen;
        QVERIFY(screen.Create(stage::PixelFormat::Rgb565()));
        StageView view;
        view.SetScreen(&screen);
        view.resize(1280, 960);
        view.SetScale(2);
        QCOMPARE(view.StageArea(), QRect(0, 0, 1280, 960));
        QPoint stagePoint;
        QVERIFY(view.ToStage(QPoint(101, 51), stagePoint));
        QCOMPARE(stagePoint, QPoint(50, 25));
        QCOMPARE(view.ToView(QRect(10, 20, 30, 40)), QRect(20, 40, 60, 80));

        // Full screen: whole pixels, centred on black; outside the stage is no stage point.
        view.resize(1920, 1080);
        view.SetFit(true, false);
        QCOMPARE(view.StageArea(), QRect(320, 60, 1280, 960));
        QVERIFY(!view.ToStage(QPoint(100, 500), stagePoint));
        QVERIFY(view.ToStage(QPoint(321, 61), stagePoint));
        QCOMPARE(stagePoint, QPoint(0, 0));
        view.SetFit(true, true);
        QCOMPARE(view.StageArea(), QRect(240, 0, 1440, 1080));
    }

    // The cursor reader's pictures reach Qt with their colours, transparency and hot spot.
    void CursorFilesBecomeImages() {
        QTemporaryDir dir;
        QImage picture(3, 2, QImage::Format_ARGB32);
        picture.fill(QColor(10, 200, 30));
        picture.setPixelColor(2, 1, QColor(0, 0, 0, 0));
        QVERIFY(picture.save(dir.filePath("arrow.png"), "PNG"));
        const auto frames = LoadCursorFile(dir.filePath("arrow.png"));
        QVERIFY(frames.has_value());
        QCOMPARE(frames->size(), std::size_t{1});
        QCOMPARE(frames->front().image.pixelColor(0, 0), QColor(10, 200, 30));
        QCOMPARE(frames->front().image.pixelColor(2, 1).alpha(), 0);
        QCOMPARE(frames->front().hotSpot, QPoint(0, 0));
        QVERIFY(!LoadCursorFile(dir.filePath("missing.cur")).has_value());
    }

    void SavedPicturesHoldTheScreen() {
        stage::Screen screen;
        QVERIFY(screen.Create(stage::PixelFormat::Rgb565(), 4, 2));
        screen.Draw([](stage::Surface& pixels) {
            pixels.Row(0)[0] = 0xF800;  // red
            pixels.Row(1)[3] = 0x001F;  // blue
            return pixels.Bounds();
        });
        QTemporaryDir dir;
        const struct {
            const char* name;
            SavedPictureFormat format;
            const char* reader;
        } cases[] = {{"shot.BMP", SavedPictureFormat::kBmp, "BMP"},
                     {"shot.png", SavedPictureFormat::kPng, "PNG"},
                     {"shot.JPG", SavedPictureFormat::kJpeg, "JPEG"}};
        for (const auto& c : cases) {
            const QString path = dir.filePath(c.name);
            QVERIFY(WriteScreenPicture(screen, path, c.format, 100));
            const QImage written(path, c.reader);
            QCOMPARE(written.size(), QSize(4, 2));
            // BMP keeps the screen's bits as they are; PNG shows a full channel as 255.
            const int full = c.format == SavedPictureFormat::kPng ? 255 : 248;
            if (c.format != SavedPictureFormat::kJpeg) {
                QCOMPARE(written.pixelColor(0, 0), QColor(full, 0, 0));
                QCOMPARE(written.pixelColor(3, 1), QColor(0, 0, full));
            }
        }
        QVERIFY(!WriteScreenPicture(screen, dir.filePath("no/such/folder/x.BMP"),
                                    SavedPictureFormat::kBmp, 70));
    }
};

}  // namespace talu::qt

QTEST_MAIN(talu::qt::CommandTests)
#include "command_tests.moc"
