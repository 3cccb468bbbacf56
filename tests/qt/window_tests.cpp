// The window with a book in it: reading by clicks and keys, boxes that block only the worker,
// forms as real controls, and closing or opening another book while the worker waits.
#include <QCheckBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>
#include <fstream>

#include "app/settings.h"
#include "frontend/qt/form_overlay.h"
#include "frontend/qt/main_window.h"
#include "frontend/qt/qt_settings_store.h"
#include "frontend/qt/stage_view.h"
#include "interp/interpreter.h"

namespace talu::qt {
namespace {

/// Answers the modal boxes as they come up (also inside nested event loops): each box's text
/// is kept and the box is handed to answer, which presses a button or leaves it up.
class BoxAnswerer : public QObject {
  public:
    explicit BoxAnswerer(std::function<void(QMessageBox&)> answer) : answer_(std::move(answer)) {
        connect(&timer_, &QTimer::timeout, this, [this] { Look(); });
        timer_.start(5);
    }
    QStringList seen;

  private:
    void Look() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        // Boxes live on the stack, so a later one may reuse a gone one's address.
        if (box == nullptr ||
            std::any_of(handled_.begin(), handled_.end(),
                        [box](const QPointer<QMessageBox>& p) { return p == box; })) {
            return;
        }
        handled_.emplace_back(box);
        seen << box->text();
        answer_(*box);
    }
    std::function<void(QMessageBox&)> answer_;
    QTimer timer_;
    std::vector<QPointer<QMessageBox>> handled_;
};

void Press(QMessageBox& box, QMessageBox::StandardButton which) {
    QTimer::singleShot(0, box.button(which), &QAbstractButton::click);
}

}  // namespace

class WindowTests : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir dir_;
    std::unique_ptr<QtSettingsStore> store_;
    app::Settings settings_;
    DesktopSettings desktop_;
    std::unique_ptr<MainWindow> window_;

    std::filesystem::path Book(const char* name, const std::string& text) {
        const std::filesystem::path path = std::filesystem::path(dir_.path().toStdString()) / name;
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    /// Waits until the worker ended (the book waits for the reader).
    bool Idle() {
        return QTest::qWaitFor(
            [&] {
                return window_->Session() != nullptr &&
                       !window_->Session()->GetPlayer().WorkerRunning();
            },
            5000);
    }

    QString SettingsFile() const { return dir_.filePath("talu.conf"); }

  private slots:
    void init() {
        store_ = std::make_unique<QtSettingsStore>(SettingsFile());
        settings_.langMode = 1;
        LaunchOptions launch;
        launch.display = DisplayChoice::kWindow;
        window_ = std::make_unique<MainWindow>(settings_, desktop_, *store_, launch);
        window_->show();
    }

    void cleanup() {
        window_.reset();
        store_.reset();
        QFile::remove(SettingsFile());
    }

    void ReadsABookToTheEndAndClosesWithTheSettingsWritten() {
        BoxAnswerer answerer([](QMessageBox& box) { Press(box, QMessageBox::Ok); });
        QVERIFY(window_->OpenBook(Book("read.talu",
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

    void EscapeAsksAndCancelKeepsReading() {
        BoxAnswerer answerer([](QMessageBox& box) { Press(box, QMessageBox::Cancel); });
        QVERIFY(window_->OpenBook(Book("stay.talu", "Stay.<P>")));
        QVERIFY(Idle());
        QTest::keyClick(window_.get(), Qt::Key_Escape);
        QTRY_COMPARE(answerer.seen, QStringList{"Exit Application?"});
        QVERIFY(window_->isVisible());
        QVERIFY(window_->Session() != nullptr);
    }

    void PopupRefusedAndCloseEndsWhileTheWorkerWaitsInABox() {
        bool refused = false;
        BoxAnswerer answerer([&](QMessageBox& box) {
            if (box.text() == "Exit Application?") {
                Press(box, QMessageBox::Ok);
                return;
            }
            // A script error stops the worker in its box: no menu now, and closing must end it.
            refused = window_->Session()->GetPlayer().WorkerRunning() &&
                      !window_->ShowPopupMenu(QPoint(0, 0));
            QTimer::singleShot(0, window_.get(), &QWidget::close);
        });
        QVERIFY(
            window_->OpenBook(Book("error.talu", "<ACT NAME=\"nobody\" SRC=\"x.bmp\">Never.<P>")));
        QTRY_VERIFY_WITH_TIMEOUT(!window_->isVisible(), 5000);
        QVERIFY(refused);
        QCOMPARE(answerer.seen.size(), 2);
        QVERIFY(window_->Session() == nullptr);
    }

    void AnotherBookOpensWhileTheWorkerWaitsInABox() {
        int boxes = 0;
        BoxAnswerer answerer([&](QMessageBox&) {
            if (++boxes == 1) {
                QTimer::singleShot(0, window_.get(),
                                   [&] { window_->OpenBook(Book("next.talu", "Next.<P>")); });
            }
        });
        QVERIFY(
            window_->OpenBook(Book("first.talu", "<ACT NAME=\"nobody\" SRC=\"x.bmp\">First.<P>")));
        QTRY_VERIFY_WITH_TIMEOUT(boxes == 1 && window_->Session() != nullptr &&
                                     window_->Session()->GetInterpreter()->Book().Path().find(
                                         "next") != std::string::npos,
                                 5000);
        QVERIFY(Idle());
        QVERIFY(!window_->Gate().BoxShown());
    }

    void BadBooksGetABoxAndTheWindowStays() {
        BoxAnswerer answerer([](QMessageBox& box) { Press(box, QMessageBox::Ok); });
        QVERIFY(window_->OpenBook(Book("good.talu", "Good.<P>")));
        QVERIFY(Idle());
        const std::string binary("\x01\x02\0\0\xff", 5);
        QVERIFY(!window_->OpenBook(dir_.path().toStdString() + "/missing.talu"));
        QVERIFY(!window_->OpenBook(dir_.path().toStdString()));
        QVERIFY(!window_->OpenBook(Book("binary.talu", binary)));
        QVERIFY(!window_->OpenBook(Book("empty.talu", " \r\n")));
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

    void FormControlsSitOnTheStageAndFillTheVariables() {
        QVERIFY(
            window_->OpenBook(Book("form.talu",
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
        QTest::keyClicks(edit, "Aoi");
        QCOMPARE(form->Controls()[0].shownText, std::string("Aoi"));
        QTest::mouseClick(brave, Qt::LeftButton);
        QVERIFY(form->Controls()[1].shownChecked);
        QTest::mouseClick(right, Qt::LeftButton);
        QVERIFY(right->isChecked());
        QVERIFY(!left->isChecked());
        QTest::mouseClick(go, Qt::LeftButton);
        QTRY_VERIFY(window_->Forms().Controls().empty());
        QVERIFY(Idle());
        std::string value;
        auto& variables = window_->Session()->GetInterpreter()->Variables().Variables();
        QVERIFY(variables.Lookup("who", value) && value == "Aoi");
        QVERIFY(variables.Lookup("brave", value) && value == "yes");
        QVERIFY(variables.Lookup("way", value) && value == "right");
    }

    void FormControlsFollowTheWindowScale() {
        QVERIFY(window_->OpenBook(
            Book("scaled.talu", "<FORM><INPUT TYPE=\"SUBMIT\" VALUE=\"Go\"></FORM>")));
        QVERIFY(Idle());
        QTRY_COMPARE(window_->Forms().Controls().size(), std::size_t{1});
        const QRect before = window_->Forms().Controls()[0]->geometry();
        window_->SetDisplayMode(false, 2);
        QCOMPARE(window_->size(), QSize(1280, 960));
        const QRect after = window_->Forms().Controls()[0]->geometry();
        QCOMPARE(after.topLeft(), before.topLeft() * 2);
        QCOMPARE(after.size(), before.size() * 2);
    }
};

}  // namespace talu::qt

QTEST_MAIN(talu::qt::WindowTests)
#include "window_tests.moc"
