// The window answering the reader: Alt alone, files dropped on it, moving it, and the settings
// dialog's OK showing a new brightness at once.
#include <QDialog>
#include <QMenu>
#include <QMimeData>
#include <QSlider>
#include <QtTest>

#include "frontend/qt/commands.h"
#include "frontend/qt/window_placement.h"
#include "qt/window_rig.h"

namespace talu::qt {

class InputTests : public QObject, test::WindowRig {
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

QTEST_MAIN(talu::qt::InputTests)
#include "input_tests.moc"
