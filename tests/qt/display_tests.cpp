// What the reader sees: where the stage sits in the window, cursor files, saved pictures.
#include <QBuffer>
#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

#include "frontend/qt/cursor_file.h"
#include "frontend/qt/save_picture.h"
#include "frontend/qt/stage_view.h"
#include "stage/screen.h"

namespace talu::qt {
namespace {

/// A Windows cursor file of a w x h picture with its hot spot: Qt writes the icon, the type
/// word and the hot spot make it a cursor.
QByteArray CursorData(int w, int h, QColor colour, QPoint hotSpot) {
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(colour);
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "ICO");
    data[2] = 2;
    data[10] = static_cast<char>(hotSpot.x());
    data[11] = 0;
    data[12] = static_cast<char>(hotSpot.y());
    data[13] = 0;
    return data;
}

QByteArray Chunk(const char* id, const QByteArray& body) {
    QByteArray chunk(id, 4);
    const quint32 size = static_cast<quint32>(body.size());
    for (int i = 0; i < 4; ++i) {
        chunk.append(static_cast<char>((size >> (8 * i)) & 0xFF));
    }
    chunk.append(body);
    if (body.size() % 2 != 0) {
        chunk.append('\0');
    }
    return chunk;
}

QByteArray Words(std::initializer_list<quint32> values) {
    QByteArray out;
    for (quint32 v : values) {
        for (int i = 0; i < 4; ++i) {
            out.append(static_cast<char>((v >> (8 * i)) & 0xFF));
        }
    }
    return out;
}

}  // namespace

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

    void CursorFilesWithHotSpotsAndAnimation() {
        const auto still = ReadCursorData(CursorData(16, 16, Qt::red, QPoint(3, 4)));
        QVERIFY(still.has_value());
        QCOMPARE(still->size(), std::size_t{1});
        QCOMPARE(still->front().hotSpot, QPoint(3, 4));
        QCOMPARE(still->front().image.size(), QSize(16, 16));
        QCOMPARE(still->front().durationMs, 0);

        // Two pictures shown in the order 1, 0, 1 at 6, 12 and 30 jiffies.
        const QByteArray frames = QByteArray("fram") +
                                  Chunk("icon", CursorData(8, 8, Qt::red, QPoint(1, 1))) +
                                  Chunk("icon", CursorData(8, 8, Qt::blue, QPoint(2, 2)));
        const QByteArray body = QByteArray("ACON") +
                                Chunk("anih", Words({36, 2, 3, 0, 0, 0, 0, 10, 3})) +
                                Chunk("rate", Words({6, 12, 30})) +
                                Chunk("seq ", Words({1, 0, 1})) + Chunk("LIST", frames);
        const auto animated = ReadCursorData(Chunk("RIFF", body));
        QVERIFY(animated.has_value());
        QCOMPARE(animated->size(), std::size_t{3});
        QCOMPARE((*animated)[0].hotSpot, QPoint(2, 2));
        QCOMPARE((*animated)[1].hotSpot, QPoint(1, 1));
        QCOMPARE((*animated)[0].durationMs, 6 * 16);
        QCOMPARE((*animated)[2].durationMs, 30 * 16);
        QCOMPARE((*animated)[0].image.pixelColor(0, 0), QColor(Qt::blue));

        QImage picture(5, 5, QImage::Format_RGB32);
        picture.fill(Qt::green);
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        picture.save(&buffer, "PNG");
        const auto fromPicture = ReadCursorData(png);
        QVERIFY(fromPicture.has_value());
        QCOMPARE(fromPicture->front().hotSpot, QPoint(0, 0));

        for (const QByteArray& broken : {QByteArray(), QByteArray("RIFF\x10\0\0\0ACONjunk", 16),
                                         png.left(20), CursorData(4, 4, Qt::red, {}).left(30)}) {
            QVERIFY(!ReadCursorData(broken).has_value());
        }
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
            if (c.format != SavedPictureFormat::kJpeg) {
                QCOMPARE(written.pixelColor(0, 0), QColor(248, 0, 0));
                QCOMPARE(written.pixelColor(3, 1), QColor(0, 0, 248));
            }
        }
        QVERIFY(!WriteScreenPicture(screen, dir.filePath("no/such/folder/x.BMP"),
                                    SavedPictureFormat::kBmp, 70));
    }
};

}  // namespace talu::qt

QTEST_MAIN(talu::qt::DisplayTests)
#include "display_tests.moc"
