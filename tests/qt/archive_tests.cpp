// The window given an archive (dropped, opened, from the command line): its one book opens from
// inside it, several are offered in a list, none gets a box; and the popup menu's Recent Books.
#include <QInputDialog>
#include <QMenu>
#include <QMimeData>
#include <QtTest>

#include "frontend/qt/commands.h"
#include "qt/window_rig.h"
#include "support/archive_bytes.h"

namespace talu::qt {

using test::ModalDriver;

class ArchiveTests : public QObject, test::WindowRig {
    Q_OBJECT

  private:
    std::string OpenPath() {
        return window_->Session() != nullptr
                   ? window_->Session()->GetInterpreter()->Book().Path()
                   : std::string();
    }

    /// The texts of the Recent Books items of the popup menu, which is closed again.
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

    void TheOneBookOfADroppedArchiveOpensFromInsideIt() {
        const auto zip = Write("game.zip", test::StoredZip({{"game/tale.talu", "Inside.<P>"},
                                                            {"game/readme.txt", "x"}}));
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(QString::fromStdString(zip.string()))});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(window_.get(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window_.get(), &drop);
        QTRY_VERIFY(window_->Session() != nullptr);
        QVERIFY(Idle());
        QVERIFY2(OpenPath().ends_with("game.zip\\game\\tale.talu"), OpenPath().c_str());
        QVERIFY(!window_->Gate().BoxShown());
    }

    void SeveralBooksAreOfferedInAListAndCancelOpensNone() {
        int lists = 0;
        ModalDriver chooser([&lists](QWidget& modal) {
            if (auto* dialog = qobject_cast<QInputDialog*>(&modal)) {
                const bool first = ++lists == 1;
                test::Later(dialog, [dialog, first] {
                    if (first && dialog->comboBoxItems() == QStringList{"first.talu", "second.talu"}) {
                        dialog->setTextValue(dialog->comboBoxItems()[1]);
                        dialog->accept();
                    } else {
                        dialog->reject();
                    }
                });
            }
        });
        const auto zip = Write("two.zip", test::StoredZip({{"first.talu", "One.<P>"},
                                                           {"second.talu", "Two.<P>"}}));
        QVERIFY(window_->OpenBook(zip));
        QVERIFY(Idle());
        QVERIFY2(OpenPath().ends_with("two.zip\\second.talu"), OpenPath().c_str());
        QCOMPARE(chooser.seen, QStringList{"Choose a book"});
        // Cancelled: nothing opens, no box, and the open book stays.
        QVERIFY(!window_->OpenBook(Write("again.zip", test::StoredZip({{"a.talu", "A<P>"},
                                                                      {"b.talu", "B<P>"}}))));
        QCOMPARE(chooser.seen.size(), 2);
        QVERIFY2(OpenPath().ends_with("two.zip\\second.talu"), OpenPath().c_str());
    }

    void AnArchiveWithoutABookGetsABox() {
        ModalDriver answerer(QMessageBox::Ok);
        QVERIFY(!window_->OpenBook(Write("none.zip", test::StoredZip({{"a/b/deep.talu", "x"}}))));
        QVERIFY(!window_->OpenBook(Write("broken.zip", "PK\x03\x04 cut short")));
        QCOMPARE(answerer.seen.size(), 2);
        QVERIFY2(answerer.seen[0].contains("holds no book"), qPrintable(answerer.seen[0]));
        QVERIFY2(answerer.seen[1].contains("archive cannot be read"), qPrintable(answerer.seen[1]));
        QVERIFY(window_->Session() == nullptr);
    }

    void RecentBooksAreNewestFirstDropTheMissingAndOpen() {
        const auto a = Write("a.talu", "A.<P>");
        const auto b = Write("b.zip", test::StoredZip({{"b.talu", "B.<P>"}}));
        const auto c = Write("c.talu", "C.<P>");
        QCOMPARE(RecentItems(), QStringList{});
        for (const auto& book : {a, b, c, a}) {
            QVERIFY(window_->OpenBook(book));
            QVERIFY(Idle());
        }
        const QString folder = QDir::toNativeSeparators(dir_.path());
        QCOMPARE(RecentItems(), (QStringList{"&1 a.talu  (" + folder + ")",
                                             "&2 c.talu  (" + folder + ")",
                                             "&3 b.zip  (" + folder + ")"}));
        std::filesystem::remove(c);
        QCOMPARE(RecentItems().size(), 2);
        window_->RunCommand(command::kRecentBook + 1);
        QVERIFY(Idle());
        QVERIFY2(OpenPath().ends_with("b.zip\\b.talu"), OpenPath().c_str());
        // Kept in the settings for the next start.
        window_.reset();
        OpenWindow();
        QCOMPARE(RecentItems(), (QStringList{"&1 b.zip  (" + folder + ")",
                                             "&2 a.talu  (" + folder + ")"}));
    }

    void ASingleBookPlayerKeepsNoRecentBooks() {
        window_.reset();
        qt::LaunchOptions launch;
        launch.display = qt::DisplayChoice::kWindow;
        launch.singleBook = true;
        window_ = std::make_unique<qt::MainWindow>(settings_, desktop_, *store_, launch);
        window_->show();
        QVERIFY(window_->OpenBook(Write("tale.talu", "Tale.<P>")));
        QVERIFY(Idle());
        QCOMPARE(RecentItems(), QStringList{});
        QVERIFY(!store_->ReadString("SYSTEM", "RecentBook1").has_value());
    }
};

}  // namespace talu::qt

QTEST_MAIN(talu::qt::ArchiveTests)
#include "archive_tests.moc"
