// The backlog over the stage: how it opens and closes, that it holds the book still, copies
// what the reader selects, and that "Return here" shows the page as the headless runner does.
#include <QClipboard>
#include <QProcess>
#include <QTextCursor>
#include <QWheelEvent>

#include "app/backlog.h"
#include "frontend/qt/backlog_view.h"
#include "frontend/qt/commands.h"
#include "stage/surface_png.h"
#include "window_rig.h"

namespace talu::qt {

using namespace talu::test;

class BacklogTests : public QObject, public WindowRig {
    Q_OBJECT

    void Wheel(int delta, QWidget* target) {
        const QPointF at(20, 20);
        QWheelEvent event(at, target->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &event);
    }

    /// Opens book and clicks through clicks pages.
    void Read(const std::string& text, int clicks) {
        QVERIFY(window_->OpenBook(Write("book.talu", text)));
        for (int i = 0; i <= clicks; ++i) {
            QVERIFY(Idle());
            if (i < clicks) {
                QTest::mouseClick(window_.get(), Qt::LeftButton, {}, QPoint(10, 10));
                QTest::qWait(20);
            }
        }
    }

  private slots:
    void init() { OpenWindow(); }
    void cleanup() { CloseWindow(); }

    void TheWheelPageUpAndTheMenuOpenItAndNothingOfTheBookRuns() {
        Read("One.<P>Two.<P>Three.<P>", 2);
        Wheel(120, window_.get());
        BacklogView* view = window_->Backlog();
        QVERIFY(view != nullptr);
        QCOMPARE(view->toPlainText().count(QStringLiteral("Return here")), 3);
        QVERIFY(view->toPlainText().contains(QStringLiteral("Two.")));
        QVERIFY(window_->Session()->GetPlayer().Paused());
        // Clicks and keys go to the backlog, never to the book.
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
        QTest::keyClick(view, Qt::Key_Space);
        QTest::qWait(50);
        QCOMPARE(window_->Session()->GetBacklog().Size(), std::size_t{3});
        // Selected text goes to the clipboard.
        view->selectAll();
        QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
        QVERIFY(QApplication::clipboard()->text().contains(QStringLiteral("One.")));
        // Turned down past the last page, it closes; the book waits as before.
        Wheel(-120, view->viewport());
        QTRY_VERIFY(window_->Backlog() == nullptr);
        QVERIFY(!window_->Session()->GetPlayer().Paused());
        QTest::keyClick(window_.get(), Qt::Key_PageUp);
        QVERIFY(window_->Backlog() != nullptr);
        QTest::keyClick(window_->Backlog(), Qt::Key_Escape);
        QTRY_VERIFY(window_->Backlog() == nullptr);
        window_->RunCommand(command::kBacklog);
        QVERIFY(window_->Backlog() != nullptr);
        QTest::mouseClick(window_->Backlog()->viewport(), Qt::RightButton);
        QTRY_VERIFY(window_->Backlog() == nullptr);
    }

    void ReturnHereShowsThePageAsTheHeadlessRunnerDoes() {
        const std::string book =
            "<BACKGROUND COLOR=\"#803010\"><SUNGLASS COLOR=\"SEPIA\">One.<P>Two.<P>"
            "<BACKGROUND COLOR=\"#108030\"><SUNGLASS COLOR=\"NONE\">Three.<P>";
        Read(book, 2);
        const QString frames = dir_.filePath("frames");
        QProcess cli;
        cli.start(QStringLiteral(TALU_CLI),
                  {"run", QString::fromStdString((Folder() / "book.talu").string()), "--lang", "en",
                   "--frames", frames});
        QVERIFY(cli.waitForFinished(30000));
        QCOMPARE(cli.exitCode(), 0);

        window_->ShowBacklog();
        BacklogView* view = window_->Backlog();
        QVERIFY(view != nullptr);
        // The second "Return here": the page "Two.".
        QTextCursor link = view->document()->find(QStringLiteral("Return here"));
        link = view->document()->find(QStringLiteral("Return here"), link);
        QVERIFY(!link.isNull());
        view->ensureCursorVisible();
        view->setTextCursor(link);
        view->ensureCursorVisible();
        const QPoint at = view->cursorRect(link).center() - QPoint(4, 0);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
        QTRY_VERIFY(window_->Backlog() == nullptr);
        QTRY_COMPARE(window_->Session()->GetBacklog().Size(), std::size_t{2});
        QVERIFY(Idle());
        stage::Surface shown;
        QVERIFY(window_->Session()->GetScreen().CopyOut(shown));
        const std::string mine = dir_.filePath("mine.png").toStdString();
        QVERIFY(stage::WriteSurfacePng(mine, shown));
        QFile expected(frames + "/0002.png");
        QFile actual(QString::fromStdString(mine));
        QVERIFY(expected.open(QIODevice::ReadOnly) && actual.open(QIODevice::ReadOnly));
        QVERIFY(expected.readAll() == actual.readAll());
    }
};

}  // namespace talu::qt

QTEST_MAIN(talu::qt::BacklogTests)
#include "backlog_tests.moc"
