// Reading on with the keys and the wheel: the arrows and Tab at a choice (Tab through a form is
// window_tests'), Ctrl held, the skip and auto keys and their marker, the wheel, the save's
// notice; what the window draws over the stage never reaches a saved picture; the display mode
// not asked again.
#include <QCheckBox>
#include <QElapsedTimer>
#include <QImage>
#include <QSettings>
#include <QWheelEvent>
#include <QtTest>

#include "frontend/qt/commands.h"
#include "frontend/qt/save_picture.h"
#include "frontend/qt/stage_notes.h"
#include "frontend/qt/stage_view.h"
#include "qt/window_rig.h"
#include "support/repeat.h"

namespace talu::qt {

using app::ReadingMode;
using test::ModalDriver;

namespace {

/// A book of many short pages over a magenta background, the message window at the bottom.
std::string ManyPages(int pages) {
    return "<BACKGROUND COLOR=\"#F800F8\"><SCREEN LEFT=\"40\" TOP=\"380\" WIDTH=\"560\" "
           "HEIGHT=\"80\">" +
           test::Repeat("page<P>", pages);
}

}  // namespace

class ReadingTests : public QObject, test::WindowRig {
    Q_OBJECT

  private:
    app::ReaderCommands& Commands() { return window_->Session()->Commands(); }
    int Index() { return window_->Session()->GetInterpreter()->Book().CurrentIndex(); }
    const interp::LinkSet& Links() { return window_->Session()->GetInterpreter()->Links(); }

    /// The window as the reader sees it, in stage pixels (the window is at scale 1).
    QImage Seen() { return window_->grab().toImage(); }
    /// The screen as a picture file holds it.
    QImage Saved() {
        const QString path = dir_.filePath("saved.png");
        if (!WriteScreenPicture(window_->Session()->GetScreen(), path, SavedPictureFormat::kPng,
                                90)) {
            return {};
        }
        return QImage(path);
    }

    void Wheel(int turn) {
        QWheelEvent wheel(QPointF(10, 10), window_->mapToGlobal(QPointF(10, 10)), QPoint(),
                          QPoint(0, turn), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(window_.get(), &wheel);
    }

  private slots:
    void init() { OpenWindow(); }
    void cleanup() { CloseWindow(); }

    // Down, Up, Tab and Shift+Tab walk the links that can be chosen; Enter takes the
    // highlighted one though the mouse rests elsewhere; a mouse move takes the highlight over.
    void ArrowsTabAndEnterChooseAndTheMouseTakesOver() {
        QVERIFY(
            window_->OpenBook(Write("choose.talu",
                                    "<A HREF=\"#a\" ALT=\"First\" ANSWER=\"a\">"
                                    "<A HREF=\"#b\" ALT=\"Shut\" ENABLE=\"no\" ANSWER=\"b\">"
                                    "<A HREF=\"#c\" ALT=\"Third\" ANSWER=\"c\">"
                                    "<A NAME=\"a\">A.<P><A NAME=\"b\">B.<P><A NAME=\"c\">C.<P>")));
        QVERIFY(Idle());
        QVERIFY(window_->Session()->GetPlayer().ChoicePending());
        QString walked;
        for (auto [key, modifiers] : {std::pair{Qt::Key_Down, Qt::NoModifier},
                                      {Qt::Key_Down, Qt::NoModifier},
                                      {Qt::Key_Up, Qt::NoModifier},
                                      {Qt::Key_Tab, Qt::NoModifier},
                                      {Qt::Key_Tab, Qt::NoModifier},
                                      {Qt::Key_Backtab, Qt::ShiftModifier}}) {
            QTest::keyClick(window_.get(), key, modifiers);
            walked += QString::number(Links().Highlighted());
        }
        QCOMPARE(walked, QStringLiteral("020202"));
        // The mouse takes the highlight over (that keys and hovering draw alike is the link
        // set's test).
        const stage::Rect third = Links().RectOf(2);
        QTest::mouseMove(window_.get(), QPoint(1, 470));  // off every link
        QTRY_COMPARE(Links().Highlighted(), -1);
        QTest::mouseMove(window_.get(), QPoint(third.left + 2, third.top + 2));
        QTRY_COMPARE(Links().Highlighted(), 2);
        QTest::keyClick(window_.get(), Qt::Key_Up);  // the keys take it back: the first link
        QTest::keyClick(window_.get(), Qt::Key_Return);
        QVERIFY(Idle());
        QVERIFY(!window_->Session()->GetPlayer().ChoicePending());
        const auto& variables = window_->Session()->GetInterpreter()->Variables();
        QVERIFY(variables.IsSet("a"));
        QVERIFY(!variables.IsSet("c"));
    }

    // Ctrl held skips with its marker over the stage, never in the stage; letting go stops at
    // a page. Ctrl with S saves without skipping a page first, and the notice comes and goes.
    void CtrlHeldSkipsAndLettingGoStops() {
        settings_.skipUnread = 1;  // a first reading: nothing was read before
        ModalDriver answerer(QMessageBox::Ok);
        QVERIFY(window_->OpenBook(Write("many.talu", ManyPages(20000))));
        QVERIFY(Idle());
        const QImage stage = Saved();
        const int first = Index();
        QTest::keyPress(window_.get(), Qt::Key_Control, Qt::ControlModifier);
        QTRY_COMPARE(Commands().Mode(), ReadingMode::kSkip);
        QTRY_COMPARE(window_->Notes().Marker(), QStringLiteral("Skip"));
        const QRect marker = window_->Notes().MarkerArea();
        QVERIFY(!marker.isEmpty());
        QVERIFY(Seen().pixel(marker.center()) != stage.pixel(marker.center()));
        QCOMPARE(Saved().pixel(marker.center()), stage.pixel(marker.center()));
        QTest::keyRelease(window_.get(), Qt::Key_Control);
        QTRY_COMPARE(Commands().Mode(), ReadingMode::kNone);
        QVERIFY(Idle());
        QTRY_VERIFY(window_->Notes().Marker().isEmpty());
        const int stopped = Index();
        QVERIFY(stopped > first);
        QTest::qWait(100);
        QCOMPARE(Index(), stopped);        // it waits at a page
        QVERIFY(answerer.seen.isEmpty());  // not at the end

        QTest::keyPress(window_.get(), Qt::Key_Control, Qt::ControlModifier);
        QTest::keyClick(window_.get(), Qt::Key_S, Qt::ControlModifier);
        QElapsedTimer shown;
        shown.start();
        QCOMPARE(window_->Notes().Notice(), QStringLiteral("Saved to bookmark 1."));
        const QRect notice = window_->Notes().NoticeArea();
        QVERIFY(Seen().pixel(notice.center()) != stage.pixel(notice.center()));
        QCOMPARE(Saved().pixel(notice.center()), stage.pixel(notice.center()));
        // The slot's picture is the stage alone: its top middle has the stage's colour.
        const QImage slotPicture(dir_.filePath("many.01.png"));
        QVERIFY(!slotPicture.isNull());
        QCOMPARE(slotPicture.pixel(slotPicture.width() / 2, 2), stage.pixel(320, 2));
        // Ctrl still down, longer than it must be held alone: no skip after Ctrl+S. Timers
        // never fire early, so the notice is still up after a second.
        QTest::qWait(std::max<int>(0, 1000 - shown.elapsed()));
        QTest::keyRelease(window_.get(), Qt::Key_Control);
        QCOMPARE(Index(), stopped);
        QVERIFY(!window_->Notes().Notice().isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(window_->Notes().Notice().isEmpty(), 3000);
    }

    // S toggles skip and A auto (markers in the reader's language; that no marker reaches a
    // picture is the Ctrl test's); any other key ends them.
    void TheSkipAndAutoKeysAndMenuItemsToggle() {
        settings_.skipUnread = 1;
        settings_.langMode = 0;
        settings_.autoPace = app::Settings::kMaxAutoPace;
        QVERIFY(window_->OpenBook(Write("toggle.talu", ManyPages(20000))));
        QVERIFY(Idle());
        QTest::keyClick(window_.get(), Qt::Key_A);
        QTRY_COMPARE(Commands().Mode(), ReadingMode::kAuto);
        QTRY_COMPARE(window_->Notes().Marker(), QString::fromUtf8("オート"));
        QTest::keyClick(window_.get(), Qt::Key_A);
        QTRY_COMPARE(Commands().Mode(), ReadingMode::kNone);
        QTRY_VERIFY(window_->Notes().Marker().isEmpty());
        QVERIFY(Idle());

        window_->RunCommand(command::kSkipRead);
        QTRY_COMPARE(window_->Notes().Marker(), QString::fromUtf8("既読スキップ"));
        QTest::keyClick(window_.get(), Qt::Key_X);  // any other key ends it
        QTRY_COMPARE(Commands().Mode(), ReadingMode::kNone);
        QTRY_VERIFY(window_->Notes().Marker().isEmpty());
    }

    // The wheel turned down reads on like a click, a notch at a time (up opens the backlog: its
    // own tests), and at a choice the wheel never picks a link.
    void TheWheelTurnedDownReadsOn() {
        QVERIFY(window_->OpenBook(Write("wheel.talu",
                                        "One.<P>Two.<P>Three.<P><A HREF=\"#x\" ALT=\"Go\" "
                                        "ANSWER=\"went\"><A NAME=\"x\">")));
        QVERIFY(Idle());
        const int one = Index();
        Wheel(-60);  // half a notch
        QTest::qWait(50);
        QCOMPARE(Index(), one);
        Wheel(-60);
        QVERIFY(Idle());
        const int two = Index();
        QVERIFY(two > one);
        Wheel(-120);
        QVERIFY(Idle());
        QVERIFY(Index() > two);
        Wheel(-120);
        QVERIFY(Idle());
        QVERIFY(window_->Session()->GetPlayer().ChoicePending());
        QTest::mouseMove(window_.get(),
                         QPoint(Links().RectOf(0).left + 2, Links().RectOf(0).top + 2));
        QTRY_COMPARE(Links().Highlighted(), 0);
        Wheel(-120);
        QTest::qWait(50);
        QVERIFY(window_->Session()->GetPlayer().ChoicePending());
        QVERIFY(!window_->Session()->GetInterpreter()->Variables().IsSet("went"));
    }

    // "Don't ask again" keeps the answer for the next start; --window still wins, and the
    // settings dialog brings the question back.
    void TheDisplayModeIsNotAskedAfterDontAskAgain() {
        const std::filesystem::path book = Write("ask.talu", "Asked.<P>");
        QString question;
        const auto start = [&](DisplayChoice choice) {
            window_.reset();
            store_ = std::make_unique<QtSettingsStore>(SettingsFile());
            desktop_ = DesktopSettings{};
            desktop_.Read(*store_);
            LaunchOptions launch;
            launch.display = choice;
            window_ = std::make_unique<MainWindow>(settings_, desktop_, *store_, launch);
            window_->show();
        };
        {
            ModalDriver answerer([](QWidget& modal) {
                auto& box = static_cast<QMessageBox&>(modal);
                box.checkBox()->setChecked(true);
                test::Press(modal, QMessageBox::Yes);
            });
            start(DisplayChoice::kAsk);
            QVERIFY(window_->OpenBook(book));
            QCOMPARE(answerer.seen.size(), 1);
            question = answerer.seen.front();
            QVERIFY(window_->FullScreen());
        }
        QCOMPARE(QSettings(SettingsFile(), QSettings::IniFormat).value("SYSTEM/AskDisplayMode"),
                 QVariant(0));
        ModalDriver watcher(QMessageBox::No);
        start(DisplayChoice::kAsk);
        QVERIFY(window_->OpenBook(book));
        QVERIFY(window_->FullScreen());  // the answer kept, not asked
        start(DisplayChoice::kWindow);
        QVERIFY(window_->OpenBook(book));
        QVERIFY(!window_->FullScreen());
        QVERIFY(watcher.seen.isEmpty());
        QTimer::singleShot(50, [] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog != nullptr);
            dialog->findChild<QCheckBox*>("askDisplayMode")->setChecked(true);
            dialog->accept();
        });
        window_->RunCommand(command::kSetting);
        start(DisplayChoice::kAsk);
        QVERIFY(window_->OpenBook(book));
        QCOMPARE(watcher.seen, (QStringList{"Setting", question}));  // asked again
    }
};

}  // namespace talu::qt

QTEST_MAIN(talu::qt::ReadingTests)
#include "reading_tests.moc"
