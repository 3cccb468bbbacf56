// Music and effects in the window, on SDL's silent "dummy" driver (no sound card needed): a
// waiting book is released at once by closing, another book or a bookmark load; a sound left
// to the run loop lets the book go on; music switched off stops; a device that cannot open is
// told and the book goes on silent.
#include <QCheckBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QSlider>
#include <QtTest>

#include "frontend/qt/commands.h"
#include "qt/window_rig.h"
#include "support/wave_bytes.h"

namespace talu::qt {

using test::ModalDriver;

class AudioTests : public QObject, test::WindowRig {
    Q_OBJECT

  private:
    app::Player& Player() { return window_->Session()->GetPlayer(); }

  private slots:
    void initTestCase() {
        // Ten seconds of effect and a looping song of a second, made here.
        const std::vector<std::uint8_t> effect = test::ToneSamples(22050 * 10);
        Write("long.p16", std::string(effect.begin(), effect.end()));
        const std::vector<std::uint8_t> song = test::WaveBytes(test::ToneSamples(22050));
        Write("song.wav", std::string(song.begin(), song.end()));
    }

    void init() {
        qputenv("SDL_AUDIODRIVER", "dummy");
        settings_.useCD.Set(1);
        OpenWindow();
    }

    void cleanup() { CloseWindow(); }

    void AWaitingBookIsReleasedAtOnce_data() {
        QTest::addColumn<QString>("wait");
        QTest::addColumn<QString>("action");
        for (const char* wait : {"sound", "fade"}) {
            for (const char* action : {"close", "open", "load"}) {
                QTest::addRow("%s %s", wait, action) << wait << action;
            }
        }
    }

    void AWaitingBookIsReleasedAtOnce() {
        QFETCH(QString, wait);
        QFETCH(QString, action);
        ModalDriver answerer(QMessageBox::Ok);
        // A ten-second effect, or a minute's fade that keeps the book waiting (no MODE=PASS).
        const std::string waiting = wait == "sound"
                                        ? "<SOUND SRC=\"long.p16\">"
                                        : "<BGM SRC=\"song.wav\">Saved.<P><BGM TIME=\"60000\">";
        QVERIFY(window_->OpenBook(Write("wait.talu", "Saved.<P>" + waiting + "After.<P>")));
        QVERIFY(Idle());
        QVERIFY(window_->Session()->Bookmarks().Save(*window_->Session()->GetInterpreter(), 1));
        if (wait == "fade") {
            Player().Click();
            QVERIFY(Idle());
            QTRY_VERIFY(window_->Audio()->MusicPlaying());
        }
        Player().Click();
        QTest::qWait(300);
        QVERIFY(Player().WorkerRunning());  // the book waits

        QElapsedTimer timer;
        timer.start();
        if (action == "close") {
            QTest::keyClick(window_.get(), Qt::Key_Escape);  // and the reader presses OK
            QTRY_VERIFY_WITH_TIMEOUT(!window_->isVisible(), 3000);
            QVERIFY(window_->Session() == nullptr);
        } else if (action == "open") {
            QVERIFY(window_->OpenBook(Write("next.talu", "Next.<P>")));
            QVERIFY(Idle());
        } else {
            QVERIFY(window_->Session()->LoadBookmark(1));
            QVERIFY(!Player().WorkerRunning());
        }
        QVERIFY2(timer.elapsed() < 3000, qPrintable(QString::number(timer.elapsed())));
        QVERIFY(!window_->Audio()->SoundPlaying(0));
        if (action != "load") {
            // Closing the book ends its music too (a load plays the bookmark's music).
            QVERIFY(!window_->Audio()->MusicPlaying());
        }
    }

    void TheDemoBooksMidiIsHeard() {
        ModalDriver answerer(QMessageBox::Ok);
        QVERIFY(window_->OpenBook(std::filesystem::path(TALU_SOURCE_DIR) / "books/demo/demo.talu"));
        QTRY_VERIFY(window_->Audio()->MusicPlaying());
        QTest::qWait(1000);  // loaded through the soundfont and still playing
        QVERIFY(window_->Audio()->MusicPlaying());
        QCOMPARE(answerer.seen, QStringList{});
    }

    void TheSeventeenthEffectIsLeftAndTheBookGoesOn() {
        std::string book;
        for (int i = 0; i < 17; ++i) {
            book += "<SOUND SRC=\"long.p16\" LOOP=\"0\">";
        }
        QVERIFY(window_->OpenBook(
            Write("seventeen.talu", book + "<SOUND SRC=\"long.p16\"><TITLE ALT=\"On\">On.<P>")));
        QVERIFY(Idle());
        for (int channel = 0; channel < host::AudioDevice::kChannels; ++channel) {
            QVERIFY(window_->Audio()->SoundPlaying(channel));
        }
        QVERIFY(Idle());
        QTRY_COMPARE(window_->windowTitle(), QStringLiteral("On"));
    }

    void MusicSwitchedOffStopsAndIsRemembered() {
        QVERIFY(window_->OpenBook(
            Write("music.talu", "<BGM SRC=\"song.wav\">One.<P><BGM SRC=\"song.wav\">Two.<P>")));
        QVERIFY(Idle());
        QTRY_VERIFY(window_->Audio()->MusicPlaying());
        QTimer::singleShot(50, [] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog != nullptr);
            dialog->findChild<QCheckBox*>("check1009")->setChecked(false);
            dialog->accept();
        });
        window_->RunCommand(command::kSetting);
        QVERIFY(!window_->Audio()->MusicPlaying());
        app::MusicPlayer& music = *window_->Session()->Music();
        QCOMPARE(music.CurrentSource(), std::string("song.wav"));  // bookmarks still record it
        Player().Click();
        QVERIFY(Idle());
        QTest::qWait(100);
        QVERIFY(!window_->Audio()->MusicPlaying());  // the next BGM is only remembered
        QCOMPARE(music.CurrentSource(), std::string("song.wav"));
        QVERIFY(music.BgmTagText().has_value());
    }

    // What the sound card receives (SDL's disk driver): the Setting dialog's sound volume halves
    // an effect at once, and with the mute chosen, an effect played in the background is silent.
    void TheVolumeAndTheBackgroundMuteReachTheSoundCard() {
        const QString heard = dir_.filePath("heard.raw");
        qputenv("SDL_AUDIODRIVER", "disk");
        qputenv("SDL_DISKAUDIOFILE", heard.toUtf8());
        const std::vector<std::uint8_t> tone = test::ToneSamples(22050 / 2);
        Write("tone.p16", std::string(tone.begin(), tone.end()));
        QVERIFY(window_->OpenBook(
            Write("loud.talu",
                  "Start.<P><SOUND SRC=\"tone.p16\">One.<P><SOUND SRC=\"tone.p16\">Two.<P>")));
        QVERIFY(Idle());
        QTimer::singleShot(50, [] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog != nullptr);
            dialog->findChild<QSlider*>("soundVolume")->setValue(50);
            dialog->findChild<QCheckBox*>("muteInBackground")->setChecked(true);
            dialog->accept();
        });
        window_->RunCommand(command::kSetting);
        QCOMPARE(settings_.soundVolume.load(), 50);
        Player().Click();  // One: half as loud
        QVERIFY(Idle());
        emit qApp->applicationStateChanged(Qt::ApplicationInactive);
        Player().Click();  // Two: in the background
        QVERIFY(Idle());
        emit qApp->applicationStateChanged(Qt::ApplicationActive);
        CloseWindow();  // the driver has written everything
        qunsetenv("SDL_DISKAUDIOFILE");
        settings_.soundVolume = 100;
        settings_.muteInBackground = 0;
        QFile file(heard);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        const auto* samples = reinterpret_cast<const std::int16_t*>(bytes.constData());
        int peak = 0;
        qsizetype loud = 0;
        for (qsizetype i = 0; i < bytes.size() / 2; i += 2) {
            peak = std::max(peak, std::abs(int{samples[i]}));
            loud += std::abs(int{samples[i]}) > 2000 ? 1 : 0;
        }
        QVERIFY2(peak > 12000 * 4 / 10 && peak < 12000 * 6 / 10, qPrintable(QString::number(peak)));
        // One tone's half second heard (at the mixing rate), not two.
        QVERIFY2(loud < host::kMixRate * 3 / 4, qPrintable(QString::number(loud)));
        QVERIFY2(loud > host::kMixRate / 4, qPrintable(QString::number(loud)));
    }

    void ADeviceThatCannotOpenIsToldAndTheBookGoesOnSilent() {
        qputenv("SDL_AUDIODRIVER", "no-such-driver");
        ModalDriver answerer(QMessageBox::Ok);
        QVERIFY(window_->OpenBook(Write(
            "silent.talu",
            "<BGM SRC=\"song.wav\"><SOUND SRC=\"long.p16\"><TITLE ALT=\"Silent\">Silent.<P>")));
        QVERIFY(Idle());
        QTRY_COMPARE(answerer.seen.size(), 1);
        QVERIFY2(answerer.seen[0].startsWith("The sound device cannot be opened"),
                 qPrintable(answerer.seen[0]));
        QVERIFY(Idle());
        QTRY_COMPARE(window_->windowTitle(), QStringLiteral("Silent"));
        QTest::qWait(100);
        QCOMPARE(answerer.seen.size(), 1);  // told once
    }
};

}  // namespace talu::qt

QTEST_MAIN(talu::qt::AudioTests)
#include "audio_tests.moc"
