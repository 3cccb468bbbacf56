// Bookmarks at the window: the dialog's lines and buttons in both languages, Save and Load
// through the keys and the menu, Save with comment, the load-only dialog of automatic books, the
// slot pictures, and a load that must end a book that waits in a box at once (a load ends a
// pause as closing does, player_test; a waited-for sound: audio_tests). The questions and their
// Cancel are tests/app's.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

#include "frontend/qt/bookmark_commands.h"
#include "frontend/qt/bookmark_dialog.h"
#include "frontend/qt/commands.h"
#include "qt/window_rig.h"
#include "support/file_contents.h"

namespace talu::qt {
namespace {

namespace fs = std::filesystem;
using test::Later;
using test::ModalDriver;
using test::Press;

void Click(QWidget& dialog, const char* button) {
    auto* target = dialog.findChild<QPushButton*>(QString::fromUtf8(button));
    QVERIFY2(target != nullptr, button);
    Later(target, [target] { target->click(); });
}

app::SlotSummary Filled(const char* comment) {
    return app::SlotSummary{"03/04 05:06", comment, true};
}

}  // namespace

class BookmarkTests : public QObject, test::WindowRig {
    Q_OBJECT

  private:
    fs::path Book(const std::string& text) { return Write("tale.talu", text); }

    int Index() { return window_->Session()->GetInterpreter()->Book().CurrentIndex(); }

    void ClickOn() {
        QTest::mouseClick(window_.get(), Qt::LeftButton, {}, QPoint(10, 10));
        QVERIFY(Idle());
    }

    /// Opens a book of three pages and saves slot 1 at the first; returns the item index there.
    int SavedAtFirstPage() {
        [&] {
            QVERIFY(
                window_->OpenBook(Book("<BACKGROUND COLOR=\"#0000F8\">One.<P>Two.<P>"
                                       "Three.<P>Four.<P>")));
        }();
        [&] { QVERIFY(Idle()); }();
        QTest::keyClick(window_.get(), Qt::Key_S, Qt::ControlModifier);
        return Index();
    }

  private slots:
    void init() {
        QVERIFY(dir_.isValid());
        for (const auto& entry : fs::directory_iterator(Folder())) {
            fs::remove_all(entry.path());
        }
        OpenWindow();
    }

    void cleanup() { CloseWindow(); }

    void DialogLinesTitlesAndButtonsFollowTheSlotsAndTheForm_data() {
        QTest::addColumn<int>("lang");
        QTest::addColumn<bool>("loadOnly");
        QTest::addColumn<bool>("savingAllowed");
        QTest::addColumn<int>("slot");
        QTest::addColumn<QString>("enabled");  // save, load, saveWithComment, initialize
        QTest::newRow("en empty slot") << 1 << false << true << 1 << "S-CI";
        QTest::newRow("en filled slot") << 1 << false << true << 2 << "SLCI";
        QTest::newRow("ja filled slot, automatic book") << 0 << false << false << 2 << "-L-I";
        QTest::newRow("ja empty slot, automatic book") << 0 << false << false << 1 << "---I";
        QTest::newRow("load-only, empty slot") << 1 << true << false << 1 << "-L--";
        QTest::newRow("load-only, filled slot") << 0 << true << false << 2 << "-L--";
        QTest::newRow("nothing selected") << 1 << false << true << 0 << "----";
    }

    void DialogLinesTitlesAndButtonsFollowTheSlotsAndTheForm() {
        QFETCH(int, lang);
        QFETCH(bool, loadOnly);
        QFETCH(bool, savingAllowed);
        QFETCH(int, slot);
        QFETCH(QString, enabled);
        std::array<app::SlotSummary, 9> list{};
        list[1] = Filled("NEW BOOKMARK");
        list[8] = Filled("\x82\xA0");  // "あ" in CP932
        QImage shot(app::kSlotPictureWidth, app::kSlotPictureHeight, QImage::Format_RGB32);
        shot.fill(Qt::green);
        BookmarkDialog dialog(
            lang, loadOnly ? BookmarkDialog::Form::kLoadOnly : BookmarkDialog::Form::kFull,
            savingAllowed, slot,
            BookmarkDialog::SlotSource{
                [&] { return list; }, [&](int s) { return s == 2 ? shot : QImage(); }, [](int) {}});
        QCOMPARE(dialog.windowTitle(),
                 lang == 0 ? QString::fromUtf8("しおりの整理") : QStringLiteral("Save menu"));
        auto* lines = dialog.findChild<QListWidget*>("slots");
        QCOMPARE(lines->count(), 9);
        QCOMPARE(lines->item(0)->text(), QStringLiteral(" ?? ??:?? - NO DATA"));
        QCOMPARE(lines->item(1)->text(), QStringLiteral(" 03/04 05:06 - NEW BOOKMARK"));
        QCOMPARE(lines->item(8)->text(), QString::fromUtf8(" 03/04 05:06 - あ"));
        // Each line has its slot's number beside it, drawn and read aloud.
        QCOMPARE(lines->item(8)->data(Qt::AccessibleTextRole).toString(),
                 QString::fromUtf8("9 03/04 05:06 - あ"));
        const QImage one = lines->item(0)->icon().pixmap(32).toImage();
        const QImage nine = lines->item(8)->icon().pixmap(32).toImage();
        QVERIFY(!one.isNull());
        QVERIFY(one != nine);
        const char* names[] = {"save", "load", "saveWithComment", "initialize"};
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(dialog.findChild<QPushButton*>(names[i])->isEnabled(), enabled[i] != '-');
        }
        QCOMPARE(dialog.findChild<QPushButton*>("cancel")->text(),
                 lang == 0 ? QString::fromUtf8("キャンセル") : QStringLiteral("Cancel"));
        // The picture beside the selected slot; none for a slot without one.
        const QPixmap shown = dialog.findChild<QLabel*>("picture")->pixmap();
        QCOMPARE(shown.isNull(), slot != 2);
        if (slot == 2) {
            QCOMPARE(shown.size(), QSize(app::kSlotPictureWidth, app::kSlotPictureHeight));
        }
    }

    void SaveKeyWritesTheSlotAndItsPictureAndTheMenuLoadsItBack() {
        const int saved = SavedAtFirstPage();
        const fs::path slot = Folder() / "tale.01.bmk";
        QVERIFY(fs::exists(slot));
        QImage picture(QString::fromStdString((Folder() / "tale.01.png").string()));
        QCOMPARE(picture.size(), QSize(app::kSlotPictureWidth, app::kSlotPictureHeight));
        // The background's blue as the screen shows it, where no text covers it.
        const stage::Screen& screen = window_->Session()->GetScreen();
        QColor blue;
        const stage::PixelFormat format = screen.Format();
        screen.WithPixels([&](const uint16_t* pixels, int pitch, int, int) {
            const uint16_t pixel = pixels[470 * pitch + 630];
            blue = QColor(format.red.ExpandFull(pixel), format.green.ExpandFull(pixel),
                          format.blue.ExpandFull(pixel));
        });
        QVERIFY(blue.blue() > 0);
        QCOMPARE(QColor(picture.pixel(150, 110)), blue);
        ClickOn();
        const int secondPage = Index();
        ClickOn();
        ClickOn();
        QVERIFY(Index() != secondPage);
        bool pictureShown = false;
        ModalDriver driver([&](QWidget& modal) {
            if (auto* dialog = qobject_cast<BookmarkDialog*>(&modal)) {
                pictureShown = !dialog->findChild<QLabel*>("picture")->pixmap().isNull();
                Click(*dialog, "load");
            } else {
                Press(modal, QMessageBox::Ok);
            }
        });
        window_->RunCommand(command::kBookmarkMenu);
        QVERIFY(Idle());
        QCOMPARE(driver.seen, (QStringList{"Save menu", "Load from bookmark  No.1."}));
        QVERIFY(pictureShown);
        // Restored at the first page's end and run to the next wait: the second page again.
        QCOMPARE(Index(), secondPage);
        QVERIFY(saved < secondPage);
        QVERIFY(window_->Session()->GetPlayer().LoadedFromBookmark());
    }

    void SaveWithCommentAsksForTheCommentAndCancelReturnsToTheList() {
        SavedAtFirstPage();
        int comments = 0;
        ModalDriver driver([&](QWidget& modal) {
            if (auto* dialog = qobject_cast<BookmarkDialog*>(&modal)) {
                Later(dialog, [dialog] { dialog->Select(2); });
                Click(*dialog, "saveWithComment");
            } else if (auto* comment = qobject_cast<CommentDialog*>(&modal)) {
                if (++comments == 1) {
                    Later(comment, [comment] { comment->reject(); });
                    Later(comment, [] {
                        // Back at the list: the comment again, this time given.
                        auto* dialog =
                            qobject_cast<BookmarkDialog*>(QApplication::activeModalWidget());
                        if (dialog != nullptr) {
                            dialog->findChild<QPushButton*>("saveWithComment")->click();
                        }
                    });
                } else {
                    Later(comment, [comment] {
                        comment->findChild<QLineEdit*>("comment")->setText("By the river");
                        comment->accept();
                    });
                }
            } else {
                Press(modal, QMessageBox::Ok);
            }
        });
        window_->RunCommand(command::kBookmarkMenu);
        QTRY_VERIFY(fs::exists(Folder() / "tale.02.bmk"));
        QCOMPARE(driver.seen,
                 (QStringList{"Save menu", QString::fromUtf8("しおりのコメント"),
                              QString::fromUtf8("しおりのコメント"), "Save to bookmark No.2."}));
        const auto list = window_->Session()->Bookmarks().SlotList();
        QCOMPARE(list[1].comment, std::string("By the river"));
        QCOMPARE(window_->Session()->Bookmarks().CurrentSlot(), 2);
    }

    void AutomaticBookOffersTheLoadOnlyDialogAndAnEmptySlotStartsAtTheTop() {
        ModalDriver driver([&](QWidget& modal) {
            if (auto* dialog = qobject_cast<BookmarkDialog*>(&modal)) {
                Later(dialog, [dialog] { dialog->Select(3); });
                Click(*dialog, "load");
            } else {
                Press(modal, QMessageBox::Ok);
            }
        });
        QVERIFY(window_->OpenBook(Book("<BOOKMARK MODE=\"AUTO\">One.<P>Two.<P>")));
        QTRY_VERIFY_WITH_TIMEOUT(fs::exists(Folder() / "tale.03.bmk"), 5000);
        QVERIFY(Idle());
        QCOMPARE(driver.seen, QStringList{"Save menu"});  // no question before the load
        app::Session& session = *window_->Session();
        QCOMPARE(session.Bookmarks().CurrentSlot(), 3);
        QVERIFY(session.GetPlayer().LoadedFromBookmark());
        // The auto-save of the first page went to slot 3, which now holds it.
        QTRY_VERIFY(test::ReadText(Folder() / "tale.03.bmk").find("NEW BOOKMARK") !=
                    std::string::npos);
        QVERIFY(fs::exists(Folder() / "tale.03.png"));
    }

    void AutomaticBookWhoseDialogIsCancelledStaysStopped() {
        ModalDriver driver([&](QWidget& modal) { Click(modal, "cancel"); });
        QVERIFY(window_->OpenBook(Book("<BOOKMARK MODE=\"AUTO\">One.<P>")));
        QTRY_COMPARE(driver.seen, QStringList{"Save menu"});
        QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);
        QVERIFY(Idle());
        QCOMPARE(Index(), 1);  // stopped right after the automatic-bookmark point
        QVERIFY(!fs::exists(Folder() / "tale.01.bmk"));
    }

    void ReloadReadsTheEditedBookAtSlotZero() {
        QVERIFY(window_->OpenBook(Book("One.<P>Two.<P>")));
        QVERIFY(Idle());
        ModalDriver driver([&](QWidget& modal) { Press(modal, QMessageBox::Ok); });
        window_->Debug().findChild<QPushButton*>("button1027")->click();  // Bookmark
        QVERIFY(fs::exists(Folder() / "tale.00.bmk"));
        QCOMPARE(window_->Session()->Bookmarks().CurrentSlot(), 1);  // slot 0 is the author's
        Book("One.<P>Edited.<P>");
        window_->Debug().findChild<QPushButton*>("button1028")->click();  // Reload
        QVERIFY(Idle());
        QVERIFY(driver.seen.isEmpty());  // no question
        interp::Interpreter& interpreter = *window_->Session()->GetInterpreter();
        QCOMPARE(interpreter.Book().CurrentIndex(), 4);
        QVERIFY(interpreter.Book().Items()[2].text.find("Edited") != std::string::npos);
    }

    void LoadWhileTheWorkerWaitsInABoxEndsTheBoxAndLoads() {
        QVERIFY(window_->OpenBook(Book("One.<P><ACT NAME=\"nobody\" SRC=\"x.bmp\">Two.<P>")));
        QVERIFY(Idle());
        QTest::keyClick(window_.get(), Qt::Key_S, Qt::ControlModifier);
        const int saved = Index();
        QString workerBox;
        ModalDriver driver([&](QWidget& modal) {
            auto* box = qobject_cast<QMessageBox*>(&modal);
            if (box != nullptr && box->text().startsWith("Load from")) {
                Press(modal, QMessageBox::Ok);
            } else if (workerBox.isEmpty()) {
                // The worker waits for this box: the reader loads instead of answering it.
                workerBox = box != nullptr ? box->text() : QString();
                Later(window_.get(), [this] { window_->RunCommand(command::kLoad); });
            } else {
                Press(modal, QMessageBox::Ok);  // the restored book comes to the ACT again
            }
        });
        QTest::mouseClick(window_.get(), Qt::LeftButton, {}, QPoint(10, 10));
        QTRY_VERIFY_WITH_TIMEOUT(driver.seen.size() == 3, 5000);
        QVERIFY(Idle());
        QVERIFY(!workerBox.isEmpty());
        QCOMPARE(driver.seen, (QStringList{workerBox, "Load from bookmark  No.1.", workerBox}));
        QVERIFY(window_->Session()->GetPlayer().LoadedFromBookmark());
        QVERIFY(Index() > saved);  // at the second page's wait
        QVERIFY(!window_->Gate().BoxShown());
    }
};

}  // namespace talu::qt

QTEST_MAIN(talu::qt::BookmarkTests)
#include "bookmark_tests.moc"
