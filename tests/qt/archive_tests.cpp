// The window given an archive of several books offers them in a list (cancel opens none), one
// without a book gets a box; the popup menu's Recent Books.
#include <QInputDialog>
#include <QMenu>
#include <QtTest>

#include "frontend/qt/commands.h"
#include "frontend/qt/ui_text.h"
#include "qt/window_rig.h"
#include "support/archive_bytes.h"

namespace talu::qt {

using test::ModalDriver;

class ArchiveTests : public QObject, test::WindowRig {
    Q_OBJECT

  private:
    bool Opened(const char* ending) {
        return window_->Session() != nullptr &&
               window_->Session()->GetInterpreter()->Book().Path().ends_with(ending);
    }

    /// The Recent Books items of the popup menu, which is closed again.
    QStringList RecentItems() {
        QStringList items;
        QTimer probe;
        QObject::connect(&probe, &QTimer::timeout, [&] {
            if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
                for (QAction* action : menu->actions()) {
                    if (action->menu() != nullptr && action->text() == "Recent Books(&R)") {
                        for (QAction* book : action->menu()->actions()) {
                            items << book->text();
                        }
                    }
                }
                menu->close();
            }
        });
        probe.start(5);
        window_->ShowPopupMenu(window_->mapToGlobal(QPoint(10, 10)));
        return items;
    }

  private slots:
    void init() { OpenWindow(); }
    void cleanup() { CloseWindow(); }

    void SeveralBooksAreOfferedInAListNoneGetsABox() {
        int lists = 0;
        ModalDriver hand([&lists](QWidget& modal) {
            if (auto* dialog = qobject_cast<QInputDialog*>(&modal)) {
                const bool first = ++lists == 1;
                test::Later(dialog, [dialog, first] {
                    dialog->setTextValue(dialog->comboBoxItems().value(1));
                    first ? dialog->accept() : dialog->reject();
                });
            } else {
                test::Press(modal, QMessageBox::Ok);
            }
        });
        const auto two = test::StoredZip({{"first.talu", "One.<P>"}, {"second.talu", "Two.<P>"}});
        QVERIFY(window_->OpenBook(Write("two.zip", two)));
        QVERIFY(Idle() && Opened("two.zip\\second.talu"));
        // Cancelled: nothing opens, no box, and the open book stays.
        QVERIFY(!window_->OpenBook(Write("again.zip", two)));
        QVERIFY(!window_->OpenBook(Write("none.zip", test::StoredZip({{"a/b/c.talu", "x"}}))));
        QCOMPARE(hand.seen.size(), 3);
        QVERIFY2(hand.seen[2].contains("holds no book"), qPrintable(hand.seen[2]));
        QVERIFY(Opened("two.zip\\second.talu"));
    }

    void RecentBooksAreNewestFirstDropTheMissingOpenAndAreKept() {
        const auto a = Write("a.talu", "A.<P>");
        const auto b = Write("b.zip", test::StoredZip({{"b.talu", "B.<P>"}}));
        const auto c = Write("c.talu", "C.<P>");
        for (const auto& book : {a, b, c, a}) {
            QVERIFY(window_->OpenBook(book) && Idle());
        }
        const QString in = "  (" + QDir::toNativeSeparators(dir_.path()) + ")";
        QCOMPARE(RecentItems(), (QStringList{"&1 a.talu" + in, "&2 c.talu" + in, "&3 b.zip" + in}));
        std::filesystem::remove(c);
        QCOMPARE(RecentItems(), (QStringList{"&1 a.talu" + in, "&2 b.zip" + in}));
        window_->RunCommand(command::kRecentBook + 1);
        QVERIFY(Idle() && Opened("b.zip\\b.talu"));
        window_.reset();
        OpenWindow();
        QCOMPARE(RecentItems(), (QStringList{"&1 b.zip" + in, "&2 a.talu" + in}));
        // A single-book copy shows none and keeps none.
        window_.reset();
        qt::LaunchOptions single;
        single.singleBook = true;
        single.display = qt::DisplayChoice::kWindow;
        window_ = std::make_unique<qt::MainWindow>(settings_, desktop_, *store_, single);
        window_->show();
        QVERIFY(window_->OpenBook(Write("x.talu", "X.<P>")) && Idle());
        QCOMPARE(RecentItems(), QStringList{});
        QCOMPARE(FromCp932(*store_->ReadString("SYSTEM", "RecentBook1")),
                 QString::fromStdString(b.string()));
    }
};

}  // namespace talu::qt

QTEST_MAIN(talu::qt::ArchiveTests)
#include "archive_tests.moc"
