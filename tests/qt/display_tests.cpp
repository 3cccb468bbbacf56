// What the reader sees: where the stage sits in the window, cursor files, saved pictures.
#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

#include "frontend/qt/cursor_file.h"
#include "frontend/qt/save_picture.h"
#include "frontend/qt/stage_view.h"
#include "stage/screen.h"

namespace talu::qt {

class DisplayTests : public QObject {
    Q_OBJECT

  private slots:
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

QTEST_MAIN(talu::qt::DisplayTests)
#include "display_tests.moc"
