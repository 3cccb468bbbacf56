// What follows each typed page: the clipboard, what assistive technology reads on the stage, the
// spoken page and the text feed, each as the reader's settings say; and their part of the
// settings dialog.
#include <QAccessible>
#include <QAccessibleTextInterface>
#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QSpinBox>
#include <QtTest>

#include "app/ini_settings_store.h"
#include "app/settings.h"
#include "frontend/qt/read_along.h"
#include "frontend/qt/read_along_box.h"
#include "frontend/qt/settings_dialog.h"
#include "frontend/qt/stage_view.h"

#ifdef TALU_HAS_SPEECH
#include "qt/speech_recorder.h"
#endif
#include "qt/window_rig.h"
#ifdef TALU_HAS_WEBSOCKETS
#include <QTcpServer>
#include <QWebSocket>
#endif

namespace talu::qt {
namespace {

const app::ShownPage kChoice{"「どこへ行く?」\n森か、川か。", {"森へ", "川へ"}};
// What the clipboard, the voice and the feed get for it: the text, then its links.
const QString kChoiceNews = QStringLiteral("「どこへ行く?」\n森か、川か。\n森へ\n川へ");
const app::ShownPage kPlain{"Morning came.", {}};

}  // namespace

class ReadAlongTests : public QObject, test::WindowRig {
    Q_OBJECT

  private:
    app::ReadAlongSettings settings_;
    StageView view_;
    int langMode_ = 0;

    ReadAlong Follower(QStringList engines = {QStringLiteral("talu-recorder")}) {
        return ReadAlong(
            settings_, view_, [this] { return langMode_; }, std::move(engines));
    }

  private slots:
    void init() {
        settings_ = app::ReadAlongSettings();
        langMode_ = 0;
#ifdef TALU_HAS_SPEECH
        test::ClearRecordedSpeech();
#endif
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    }

    void TheClipboardGetsEachPageOnlyWhenSwitchedOn() {
        ReadAlong follower = Follower();
        follower.Show(kPlain);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("before"));
        settings_.copyToClipboard = 1;
        follower.Show(kChoice);
        QCOMPARE(QGuiApplication::clipboard()->text(), kChoiceNews);
        // A page with nothing to read leaves the last text for the dictionary tool.
        follower.Show(app::ShownPage{"\n", {}});
        QCOMPARE(QGuiApplication::clipboard()->text(), kChoiceNews);
    }

    void AssistiveTechnologyReadsThePageAndItsLinks() {
        ReadAlong follower = Follower();
        follower.Show(kChoice);
        QAccessibleInterface* stage = QAccessible::queryAccessibleInterface(&view_);
        QVERIFY(stage != nullptr);
        QCOMPARE(stage->text(QAccessible::Name), QString::fromStdString(kChoice.text));
        QVERIFY(stage->state().readOnly);
        QAccessibleTextInterface* text = stage->textInterface();
        QVERIFY(text != nullptr);
        QCOMPARE(text->text(0, text->characterCount()), QString::fromStdString(kChoice.text));
        QCOMPARE(stage->childCount(), 2);
        QStringList links;
        for (int i = 0; i < stage->childCount(); ++i) {
            QAccessibleInterface* link = stage->child(i);
            QCOMPARE(link->role(), QAccessible::Button);
            QCOMPARE(link->parent(), stage);
            QCOMPARE(stage->indexOfChild(link), i);
            links << link->text(QAccessible::Name);
        }
        QCOMPARE(links, (QStringList{"森へ", "川へ"}));

        follower.Show(kPlain);  // the old links go
        QCOMPARE(stage->childCount(), 0);
        QCOMPARE(stage->text(QAccessible::Name), QStringLiteral("Morning came."));
        follower.BookClosed();
        QCOMPARE(stage->text(QAccessible::Name), QString());
    }

#ifdef TALU_HAS_SPEECH
    void PagesAreSpokenInTheBooksLanguageAndStopAtTheClick() {
        ReadAlong follower = Follower();
        follower.Show(kPlain);  // switched off: nothing is said
        settings_.readAloud = 1;
        follower.Show(kChoice);
        QTRY_COMPARE(test::RecordedSpeech().said, QStringList{kChoiceNews});
        QCOMPARE(test::RecordedSpeech().language, QLocale::Japanese);
        QCOMPARE(follower.ReadAloudProblem(), QString());
        const int stops = test::RecordedSpeech().stops;
        follower.Clicked();
        QTRY_COMPARE(test::RecordedSpeech().stops, stops + 1);
        follower.Clicked();  // nothing is spoken any more: nothing to stop
        follower.Show(app::ShownPage{"次へ。", {}});
        QTRY_COMPARE(test::RecordedSpeech().said.size(), 2);
        QCOMPARE(test::RecordedSpeech().stops, stops + 1);

        // The recorder has no English voice: an English book is not read aloud, and says why.
        langMode_ = 1;
        QCOMPARE(follower.ReadAloudProblem(), QStringLiteral("No English voice is installed."));
        follower.Show(kPlain);
        QTest::qWait(50);
        QCOMPARE(test::RecordedSpeech().said.size(), 2);
        ReadAlong noEngine = Follower(QStringList());
        QCOMPARE(noEngine.ReadAloudProblem(), std::nullopt);  // asked now, answered later
        QTRY_VERIFY(noEngine.ReadAloudProblem().has_value());
        QVERIFY(noEngine.ReadAloudProblem()->startsWith("No speech engine is installed"));
    }

    void TheSettingsBoxAsksForVoicesWhenShownAndTellsTheAnswer() {
        langMode_ = 1;
        ReadAlong follower = Follower();
        ReadAlongBox box(settings_, 1);
        follower.Attend(box);
        auto* readAloud = box.findChild<QCheckBox*>("readAloud");
        auto* reason = box.findChild<QLabel*>("readAloudReason");
        box.show();
        QCOMPARE(reason->text(), QStringLiteral("Looking for voices…"));
        QTRY_COMPARE(reason->text(), QStringLiteral("No English voice is installed."));
        QVERIFY(!readAloud->isEnabled());
    }
#endif

    void TheSettingsDialogShowsWhyReadAloudIsOffAndKeepsTheReadersChoice() {
        app::IniSettingsStore stored;
        stored.WriteInt("SYSTEM", "ReadAloud", 1);
        app::Settings settings;
        settings.Read(stored, "Z:\\prog\\");
        DesktopSettings desktop;
        SettingsDialog dialog(settings, desktop, 1);
        auto* readAloud = dialog.findChild<QCheckBox*>("readAloud");
        auto* port = dialog.findChild<QSpinBox*>("textFeedPort");
        QVERIFY(readAloud->isChecked());
        QCOMPARE(port->value(), 6677);
        QVERIFY(!port->isEnabled());  // the feed is off
        dialog.ReadAlongPart().SetReadAloudProblem(
            QStringLiteral("No English voice is installed."));
        QVERIFY(!readAloud->isEnabled());
        QCOMPARE(dialog.findChild<QLabel*>("readAloudReason")->text(),
                 QStringLiteral("No English voice is installed."));
        dialog.findChild<QCheckBox*>("textFeed")->setChecked(true);
        QVERIFY(port->isEnabled());
        port->setValue(7001);
        dialog.findChild<QCheckBox*>("copyPageText")->setChecked(true);
        dialog.Apply();
        app::IniSettingsStore written;
        settings.Write(written);
        QCOMPARE(written.ReadInt("SYSTEM", "ReadAloud"), 1);
        QCOMPARE(written.ReadInt("SYSTEM", "TextFeed"), 1);
        QCOMPARE(written.ReadInt("SYSTEM", "TextFeedPort"), 7001);
        QCOMPARE(written.ReadInt("SYSTEM", "CopyPageText"), 1);
    }

    void AFeedThatCannotListenSaysWhy() {
        settings_.textFeed = 1;
#ifdef TALU_HAS_WEBSOCKETS
        QTcpServer taken;
        QVERIFY(taken.listen(QHostAddress::LocalHost));
        settings_.textFeedPort = taken.serverPort();
        const QString expected = QString::number(taken.serverPort());
#else
        const QString expected = QStringLiteral("Qt WebSockets");  // built without it
#endif
        ReadAlong follower = Follower();
        const QString problem = follower.Apply();
        QVERIFY2(problem.contains(expected), qPrintable(problem));
        QVERIFY(!follower.Feed().Listening());
    }

#ifdef TALU_HAS_WEBSOCKETS
    void TheWindowFeedsItsPagesOn127001OnlyAndWhatIsSentToItChangesNothing() {
        WindowRig::settings_.readAlong.textFeed = 1;
        WindowRig::settings_.readAlong.textFeedPort = 0;
        WindowRig::settings_.readAlong.copyToClipboard = 1;
        OpenWindow();
        test::ModalDriver answerer(QMessageBox::Ok);
        QWebSocket reader;
        QStringList received;
        connect(&reader, &QWebSocket::textMessageReceived, this,
                [&](const QString& message) { received << message; });
        reader.open(
            QUrl(QStringLiteral("ws://127.0.0.1:%1").arg(window_->PageFollowers().Feed().Port())));
        QTRY_COMPARE(reader.state(), QAbstractSocket::ConnectedState);
        QVERIFY(window_->OpenBook(Write("feed.talu", "First page.<P>Second<BR>page.<P>")));
        QVERIFY(Idle());
        QTRY_COMPARE(received, QStringList{"First page."});
        QAccessibleInterface* stage = QAccessible::queryAccessibleInterface(&window_->View());
        QCOMPARE(stage->text(QAccessible::Name), QStringLiteral("First page."));
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("First page."));

        const long long index = window_->Session()->GetInterpreter()->Book().CurrentIndex();
        reader.sendTextMessage(QStringLiteral("click"));
        reader.sendBinaryMessage(QByteArray(4096, 'x'));
        QTest::qWait(200);
        QVERIFY(Idle());
        QCOMPARE(window_->Session()->GetInterpreter()->Book().CurrentIndex(), index);
        QCOMPARE(received.size(), 1);

        window_->ClickAt(QPoint(10, 10));
        QTRY_COMPARE(received, (QStringList{"First page.", "Second"}));
        QVERIFY(Idle());
        window_->ClickAt(QPoint(10, 10));  // the rest of the same page
        QTRY_COMPARE(received, (QStringList{"First page.", "Second", "page."}));
        QCOMPARE(stage->text(QAccessible::Name), QStringLiteral("Second\npage."));

        // Another loopback address, IPv6 included, finds nothing listening.
        const int port = window_->PageFollowers().Feed().Port();
        for (const char* other : {"ws://127.0.0.2:%1", "ws://[::1]:%1"}) {
            QWebSocket stranger;
            stranger.open(QUrl(QString::fromLatin1(other).arg(port)));
            QTRY_VERIFY(stranger.state() == QAbstractSocket::UnconnectedState);
            QVERIFY2(stranger.error() != QAbstractSocket::UnknownSocketError, other);
        }
        WindowRig::settings_.readAlong.textFeed = 0;
        QCOMPARE(window_->PageFollowers().Apply(), QString());
        QTRY_COMPARE(reader.state(), QAbstractSocket::UnconnectedState);
        CloseWindow();
    }
#endif
};

}  // namespace talu::qt

QTEST_MAIN(talu::qt::ReadAlongTests)
#include "read_along_tests.moc"
