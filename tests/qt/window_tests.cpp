// The window with a book in it: reading by clicks and keys, boxes that block only the worker,
// forms as real controls, closing while the worker waits (opening another book closes the same
// way; audio_tests opens one over a waiting sound); Alt alone, files dropped on it, moving it,
// and the settings dialog's OK showing a new brightness at once.
#include <array>

#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSlider>
#include <QtTest>

#include "frontend/qt/commands.h"
#include "frontend/qt/display_mode.h"
#include "frontend/qt/form_overlay.h"
#include "frontend/qt/stage_view.h"
#include "frontend/qt/window_placement.h"
#include "qt/window_rig.h"

namespace talu::qt {

using test::ModalDriver;
using test::Press;

class WindowTests : public QObject, test::WindowRig {
    Q_OBJECT

  private:
    QString Book(const char* name) {
        return QString::fromStdString(Write(name, std::string(name) + "<P>").string());
    }

    /// Presses and releases Alt, then key (none: Alt alone); true when a popup menu came up,
    /// which is closed again.
    bool PopupAfterAlt(Qt::Key key) {
        bool shown = false;
        QTimer probe;
        QObject::connect(&probe, &QTimer::timeout, [&] {
            if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
                shown = true;
                menu->close();
            }
        });
        probe.start(5);
        QTest::keyPress(window_.get(), Qt::Key_Alt, Qt::AltModifier);
        if (key != Qt::Key_unknown) {
            QTest::keyClick(window_.get(), key, Qt::AltModifier);
        }
        QTest::keyRelease(window_.get(), Qt::Key_Alt);
        QTest::qWait(50);
        return shown;
    }

  private slots:
    void init() { OpenWindow(); }
    void cleanup() { CloseWindow(); }

    void ReadsABookToTheEndAndClosesWithTheSettingsWritten() {
        ModalDriver answerer(QMessageBox::Ok);
        QVERIFY(window_->OpenBook(Write("read.talu",
                                        "<TITLE ALT=\"A Tale\"><BACKGROUND COLOR=\"#F800F8\">"
                                        "<STAGE WIDTH=\"320\" HEIGHT=\"240\">One.<P>Two.<P>")));
        QVERIFY(Idle());
        QTRY_COMPARE(window_->windowTitle(), QStringLiteral("A Tale"));
        QTRY_COMPARE(window_->size(), QSize(320, 240));
        QTest::mouseClick(window_.get(), Qt::LeftButton, {}, QPoint(10, 10));
        QVERIFY(Idle());
        QTest::keyClick(window_.get(), Qt::Key_Space);
        // The end box, then the close question; both answered OK end the window.
        QTRY_VERIFY_WITH_TIMEOUT(!window_->isVisible(), 5000);
        QCOMPARE(answerer.seen, (QStringList{"The End.", "Exit Application?"}));
        QVERIFY(window_->Session() == nullptr);
        QSettings written(SettingsFile(), QSettings::IniFormat);
        QCOMPARE(written.value("EFFECT/m_nTextWait").toInt(), 50);
        QCOMPARE(written.value("SYSTEM/m_iLangMode").toInt(), 1);
    }

    // Escape asks before closing, and Cancel keeps the book; boxes (also the display mode's
    // question) name their buttons in the reader's language.
    void EscapeAsksAndCancelKeepsReadingWithButtonsInTheReadersLanguage() {
        settings_.langMode = 0;
        QStringList buttons;
        const auto names = [&](QMessageBox::StandardButton answer) {
            return [&buttons, answer](QWidget& modal) {
                for (QAbstractButton* button : static_cast<QMessageBox&>(modal).buttons()) {
                    buttons << button->text();
                }
                Press(modal, answer);
            };
        };
        {
            ModalDriver answerer(names(QMessageBox::Cancel));
            QVERIFY(window_->OpenBook(Write("stay.talu", "Stay.<P>")));
            QVERIFY(Idle());
            QTest::keyClick(window_.get(), Qt::Key_Escape);
            QTRY_COMPARE(answerer.seen,
                         QStringList{QString::fromUtf8("アプリケーションを終了します")});
            QVERIFY(window_->isVisible());
            QVERIFY(window_->Session() != nullptr);
        }
        {
            ModalDriver answerer(names(QMessageBox::No));
            QVERIFY(!qt::AskFullScreen(window_.get(), 0, true));
        }
        buttons.sort();
        QCOMPARE(buttons, (QStringList{"OK", "いいえ(&N)", "はい(&Y)", "キャンセル"}));
    }

    void QtsOwnTextsFollowTheLanguageMenu() {
        // File dialogs and the edit menus of form fields are Qt's; they follow the reader too.
        const auto cancel = [] { return QCoreApplication::translate("QPlatformTheme", "Cancel"); };
        QCOMPARE(cancel(), QStringLiteral("Cancel"));
        window_->RunCommand(qt::command::kJapanese);
        QCOMPARE(cancel(), QStringLiteral("キャンセル"));
        window_->RunCommand(qt::command::kEnglish);
        QCOMPARE(cancel(), QStringLiteral("Cancel"));
    }

    void PopupRefusedAndCloseEndsWhileTheWorkerWaitsInABox() {
        bool refused = false;
        ModalDriver answerer([&](QWidget& box) {
            if (static_cast<QMessageBox&>(box).text() == "Exit Application?") {
                Press(box, QMessageBox::Ok);
                return;
            }
            // A script error stops the worker in its box: no menu now, and closing must end it.
            refused = window_->Session()->GetPlayer().WorkerRunning() &&
                      !window_->ShowPopupMenu(QPoint(0, 0));
            QTimer::singleShot(0, window_.get(), &QWidget::close);
        });
        QVERIFY(
            window_->OpenBook(Write("error.talu", "<ACT NAME=\"nobody\" SRC=\"x.bmp\">Never.<P>")));
        QTRY_VERIFY_WITH_TIMEOUT(!window_->isVisible(), 5000);
        QVERIFY(refused);
        QCOMPARE(answerer.seen.size(), 2);
        QVERIFY(window_->Session() == nullptr);
    }

    void BadBooksGetABoxAndTheWindowStays() {
        ModalDriver answerer(QMessageBox::Ok);
        QVERIFY(window_->OpenBook(Write("good.talu", "Good.<P>")));
        QVERIFY(Idle());
        const std::string binary("\x01\x02\0\0\xff", 5);
        QVERIFY(!window_->OpenBook(dir_.path().toStdString() + "/missing.talu"));
        QVERIFY(!window_->OpenBook(dir_.path().toStdString()));
        QVERIFY(!window_->OpenBook(Write("binary.talu", binary)));
        QVERIFY(!window_->OpenBook(Write("empty.talu", " \r\n")));
        QCOMPARE(answerer.seen.size(), 4);
        for (const QString& text : answerer.seen) {
            QVERIFY2(text.startsWith("Cannot open the book."), qPrintable(text));
        }
        QVERIFY(answerer.seen[0].contains("does not exist"));
        QVERIFY(answerer.seen[1].contains("folder"));
        QVERIFY(answerer.seen[2].contains("not text"));
        QVERIFY(answerer.seen[3].contains("no text"));
        QVERIFY(window_->Session() != nullptr);  // the book that was open stays
    }

    // The field has the focus; typing, Space and clicks reach the form, Tab walks the controls
    // round, and Enter on the button submits. (The choices book has more of what SUBMIT makes.)
    void FormControlsSitOnTheStageAndReachTheForm() {
        QVERIFY(window_->OpenBook(
            Write("form.talu",
                  "<FORM>Name: <INPUT TYPE=\"TEXT\" NAME=\"who\"><NL>"
                  "<INPUT TYPE=\"CHECKBOX\" NAME=\"brave\" VALUE=\"yes\">Brave<NL>"
                  "<INPUT TYPE=\"RADIO\" NAME=\"way\" VALUE=\"left\">Left "
                  "<INPUT TYPE=\"RADIO\" NAME=\"way\" VALUE=\"right\">Right<NL>"
                  "<INPUT TYPE=\"SUBMIT\" VALUE=\"Go\"></FORM>Hello {who}.<P>")));
        QVERIFY(Idle());
        QTRY_COMPARE(window_->Forms().Controls().size(), std::size_t{5});
        interp::Form* form = window_->Session()->GetInterpreter()->CurrentForm();
        QVERIFY(form != nullptr);
        const auto& widgets = window_->Forms().Controls();
        for (std::size_t i = 0; i < widgets.size(); ++i) {
            const stage::Rect& r = form->Controls()[i].rect;
            QCOMPARE(widgets[i]->geometry(), QRect(r.left, r.top, r.Width(), r.Height()));
            QVERIFY(widgets[i]->isVisible());
        }
        auto* edit = qobject_cast<QLineEdit*>(widgets[0]);
        auto* brave = qobject_cast<QCheckBox*>(widgets[1]);
        auto* left = qobject_cast<QRadioButton*>(widgets[2]);
        auto* right = qobject_cast<QRadioButton*>(widgets[3]);
        auto* go = qobject_cast<QPushButton*>(widgets[4]);
        QVERIFY(edit && brave && left && right && go);
        QCOMPARE(go->text(), QStringLiteral("Go"));
        QVERIFY(left->isChecked());
        const auto tab = [&] {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            return std::find(widgets.begin(), widgets.end(), QApplication::focusWidget()) -
                   widgets.begin();
        };
        QTRY_COMPARE(QApplication::focusWidget(), edit);
        QTest::keyClicks(edit, "Aoi");
        QCOMPARE(form->Controls()[0].shownText, std::string("Aoi"));
        QCOMPARE(tab(), 1);
        QTest::keyClick(brave, Qt::Key_Space);
        QVERIFY(form->Controls()[1].shownChecked);
        QTest::mouseClick(right, Qt::LeftButton);
        QVERIFY(right->isChecked());
        QVERIFY(!left->isChecked());
        QVERIFY(form->Controls()[3].shownChecked && !form->Controls()[2].shownChecked);
        go->setFocus();
        QCOMPARE(tab(), 0);  // round to the field
        go->setFocus();
        QTest::keyClick(go, Qt::Key_Return);
        QTRY_VERIFY(window_->Forms().Controls().empty());
        QVERIFY(Idle());
        auto& variables = window_->Session()->GetInterpreter()->Variables().Variables();
        QCOMPARE(variables.Find("who").value_or("none"), std::string_view("Aoi"));
        QCOMPARE(variables.Find("brave").value_or("none"), std::string_view("yes"));
        QCOMPARE(variables.Find("way").value_or("none"), std::string_view("right"));
    }

    void FormControlsFollowTheWindowScale() {
        QVERIFY(window_->OpenBook(
            Write("scaled.talu", "<FORM><INPUT TYPE=\"SUBMIT\" VALUE=\"Go\"></FORM>")));
        QVERIFY(Idle());
        QTRY_COMPARE(window_->Forms().Controls().size(), std::size_t{1});
        const QRect before = window_->Forms().Controls()[0]->geometry();
        window_->SetDisplayMode(false, 2);
        QCOMPARE(window_->size(), QSize(1280, 960));
        const QRect after = window_->Forms().Controls()[0]->geometry();
        QCOMPARE(after.topLeft(), before.topLeft() * 2);
        QCOMPARE(after.size(), before.size() * 2);
    }

    // Window sizes the desktop cannot hold are not offered, and a stage larger than the desktop
    // is scaled down to fit it.
    void WindowSizesThatDoNotFitAreNotOfferedAndABigStageIsScaledDown() {
        QVERIFY(window_->OpenBook(Write("big.talu",
                                        "<STAGE WIDTH=\"1000\" HEIGHT=\"700\">Big.<P>"
                                        "<STAGE WIDTH=\"3000\" HEIGHT=\"2000\">Huge.<P>")));
        QVERIFY(Idle());
        QTRY_COMPARE(window_->size(), QSize(1000, 700));
        QCOMPARE(window_->Display().FittingScales(), (std::array<bool, 3>{true, false, false}));
        window_->SetDisplayMode(false, 3);
        QCOMPARE(window_->size(), QSize(1000, 700));
        QTest::mouseClick(window_.get(), Qt::LeftButton, {}, QPoint(10, 10));
        QVERIFY(Idle());
        // 3000 x 2000 scaled into the 1920 x 1200 desktop, frame included.
        const QRect desk = window_->screen()->availableGeometry();
        QTRY_VERIFY(window_->width() > 1000);
        QVERIFY(window_->frameGeometry().width() <= desk.width());
        QVERIFY(window_->frameGeometry().height() <= desk.height());
        QVERIFY(std::abs(window_->width() * 2000 - window_->height() * 3000) <= 3000);
        QCOMPARE(window_->Display().FittingScales(), (std::array<bool, 3>{false, false, false}));
    }

    void AltAloneOpensThePopupAndAltWithAKeyDoesNot() {
        QVERIFY(PopupAfterAlt(Qt::Key_unknown));
        QVERIFY(!PopupAfterAlt(Qt::Key_X));
        QVERIFY(PopupAfterAlt(Qt::Key_unknown));
    }

    void TheFirstOfSeveralDroppedFilesOpensAndTheRestAreIgnored() {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(Book("first.talu")),
                      QUrl::fromLocalFile(Book("second.talu")),
                      QUrl::fromLocalFile(Book("third.talu"))});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(window_.get(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window_.get(), &drop);
        QTRY_VERIFY(window_->Session() != nullptr);
        QTest::qWait(100);  // nothing else opens after it
        const std::string path = window_->Session()->GetInterpreter()->Book().Path();
        QVERIFY2(path.find("first.talu") != std::string::npos, path.c_str());
    }

    void PlacementKeepsTheWindowInsideTheWorkArea_data() {
        QTest::addColumn<QRect>("frame");
        QTest::addColumn<QPoint>("place");
        // The work area is 1024 x 738 below a panel 30 pixels high.
        QTest::newRow("inside") << QRect(100, 100, 660, 520) << QPoint(100, 100);
        QTest::newRow("left and above") << QRect(-50, 10, 660, 520) << QPoint(0, 30);
        QTest::newRow("right and below") << QRect(500, 400, 660, 520) << QPoint(364, 248);
        QTest::newRow("larger than the area") << QRect(-5, -5, 2000, 1000) << QPoint(0, 30);
    }

    void PlacementKeepsTheWindowInsideTheWorkArea() {
        QFETCH(QRect, frame);
        QFETCH(QPoint, place);
        QCOMPARE(KeptInside(frame, QRect(0, 30, 1024, 738)), place);
    }

    void AWindowMovedPastTheEdgeComesBack() {
        const QRect area = window_->screen()->availableGeometry();
        window_->move(area.right() - 10, area.bottom() - 10);
        QTRY_VERIFY(area.contains(window_->frameGeometry()));
        window_->move(area.left() - 100, area.top() - 100);
        QTRY_COMPARE(window_->frameGeometry().topLeft(), area.topLeft());
    }

    void SettingsOkShowsANewBrightnessAtOnce() {
        // A frameless message window dims the stage behind it to the brightness setting.
        settings_.bright = 50;
        settings_.brightEffect = 1;
        QVERIFY(window_->OpenBook(Write("dim.talu", "<BACKGROUND COLOR=\"#F800F8\">Dim.<P>")));
        QVERIFY(Idle());
        const auto corner = [&] {
            std::uint16_t pixel = 0;
            window_->Session()->GetScreen().WithPixels(
                [&](const std::uint16_t* pixels, int, int, int) { pixel = pixels[0]; });
            return pixel;
        };
        QVERIFY(corner() != 0xF81F);
        QTimer::singleShot(50, [] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog != nullptr);
            dialog->findChild<QSlider*>("slider1007")->setValue(100);
            dialog->accept();
        });
        window_->RunCommand(command::kSetting);
        QCOMPARE(corner(), std::uint16_t{0xF81F});
    }
};

}  // namespace talu::qt

QTEST_MAIN(talu::qt::WindowTests)
#include "window_tests.moc"
