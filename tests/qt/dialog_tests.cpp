// The Setting dialog and the debug window, driven as a reader and an author would.
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QtTest>
#include <thread>

#include "app/ini_settings_store.h"
#include "app/settings.h"
#include "frontend/qt/debug_window.h"
#include "frontend/qt/settings_dialog.h"

namespace talu::qt {

class DialogTests : public QObject {
    Q_OBJECT

  private:
    template <typename T>
    static T* Child(QWidget& parent, const QString& name) {
        T* child = parent.findChild<T*>(name);
        if (child == nullptr) {
            qFatal("no control %s", qPrintable(name));
        }
        return child;
    }

  private slots:
    void SettingsDialogShowsClampedValuesAndWritesThemBack() {
        app::IniSettingsStore stored;
        stored.WriteInt("EFFECT", "m_nTextWait", 150);
        stored.WriteInt("EFFECT", "m_nBright", 120);
        stored.WriteInt("EFFECT", "m_nBackEffect", 0);
        stored.WriteInt("EFFECT", "m_nUsePCM", 0);
        app::Settings settings;
        settings.Read(stored, "Z:\\prog\\");
        DesktopSettings desktop;
        SettingsDialog dialog(settings, desktop, 1);

        QCOMPARE(settings.textWait.current.load(), 99);
        QCOMPARE(Child<QSlider>(dialog, "slider1003")->value(), 99);
        QCOMPARE(Child<QSlider>(dialog, "slider1007")->value(), 99);
        QCOMPARE(Child<QSlider>(dialog, "slider1004")->value(), 40);
        QCOMPARE(Child<QSlider>(dialog, "slider1008")->value(), 70);
        QVERIFY(Child<QCheckBox>(dialog, "check1036")->isChecked());
        QVERIFY(!Child<QSlider>(dialog, "slider1005")->isEnabled());
        QVERIFY(Child<QSlider>(dialog, "slider1003")->isEnabled());
        QVERIFY(!Child<QCheckBox>(dialog, "check1010")->isChecked());
        QCOMPARE(Child<QLineEdit>(dialog, "edit1054")->text(), QStringLiteral("/prog/bookmark/"));

        // Ticking None disables the slider at once; its value is still written.
        Child<QCheckBox>(dialog, "check1034")->setChecked(true);
        QVERIFY(!Child<QSlider>(dialog, "slider1003")->isEnabled());
        Child<QSlider>(dialog, "slider1004")->setValue(7);
        Child<QCheckBox>(dialog, "check1009")->setChecked(false);
        Child<QLineEdit>(dialog, "edit1054")->setText("/tmp/marks");
        Child<QLineEdit>(dialog, "web1")->setText(" https://example.org/books ");
        Child<QSlider>(dialog, "slider1007")->setValue(60);
        QVERIFY(Child<QCheckBox>(dialog, "askDisplayMode")->isChecked());
        Child<QCheckBox>(dialog, "askDisplayMode")->setChecked(false);
        QCOMPARE(Child<QSlider>(dialog, "autoPace")->value(), app::Settings::kDefaultAutoPace);
        Child<QSlider>(dialog, "autoPace")->setValue(120);
        Child<QCheckBox>(dialog, "skipUnread")->setChecked(true);
        QVERIFY(!Child<QCheckBox>(dialog, "wrapAtSpaces")->isChecked());
        Child<QCheckBox>(dialog, "wrapAtSpaces")->setChecked(true);
        const SettingsDialog::Outcome outcome = dialog.Apply();

        QVERIFY(outcome.redraw);
        QCOMPARE(settings.bright.load(), 60);
        QVERIFY(outcome.musicOff);
        QCOMPARE(settings.textWait.user.load(), 99);
        QCOMPARE(settings.charWait.user.load(), 7);
        QCOMPARE(settings.charWait.current.load(), 7);
        QCOMPARE(settings.textEffect.current.load(), 0);
        QCOMPARE(settings.textEffect.user.load(), 1);  // leaving fast-forward keeps start's value
        QCOMPARE(settings.backEffect.current.load(), 0);
        QCOMPARE(settings.bookmarkFolder, std::string("Z:\\tmp\\marks\\"));
        QCOMPARE(desktop.webAddresses[1], std::string("https://example.org/books"));
        QCOMPARE(desktop.askDisplayMode, 0);
        QCOMPARE(settings.autoPace.load(), 120);
        QCOMPARE(settings.skipUnread.load(), 1);
        QCOMPARE(settings.wrapAtSpaces.load(), 1);
        app::IniSettingsStore written;
        settings.Write(written);
        QCOMPARE(written.ReadInt("EFFECT", "m_nTextWait").value(), 99);
        QCOMPARE(written.ReadInt("EFFECT", "m_nTextEffect").value(), 0);
        QCOMPARE(written.ReadInt("EFFECT", "m_nUseCD").value(), 0);
    }

    void SettingsDialogWithoutChangesAsksForNoRedraw() {
        app::Settings settings;
        DesktopSettings desktop;
        SettingsDialog dialog(settings, desktop, 0);
        QCOMPARE(dialog.windowTitle(), QString::fromUtf8("設定"));
        const SettingsDialog::Outcome outcome = dialog.Apply();
        QVERIFY(!outcome.redraw);
        QVERIFY(!outcome.musicOff);
        QCOMPARE(settings.textWait.user.load(), 50);
        QCOMPARE(settings.fadeEffect.current.load(), 1);
    }

    void DetailButtonWidensAndNarrows() {
        app::Settings settings;
        DesktopSettings desktop;
        SettingsDialog dialog(settings, desktop, 0);
        dialog.show();
        auto* detail = Child<QPushButton>(dialog, "button1047");
        QCOMPARE(detail->text(), QString::fromUtf8("詳細"));
        const int narrow = dialog.sizeHint().width();
        QVERIFY(!dialog.DetailShown());
        detail->click();
        QVERIFY(dialog.DetailShown());
        QCOMPARE(detail->text(), QString::fromUtf8("戻す"));
        QVERIFY(dialog.sizeHint().width() > narrow);
        detail->click();
        QCOMPARE(detail->text(), QString::fromUtf8("詳細"));
        QVERIFY(!dialog.DetailShown());
    }

    void DebugWindowShowsValuesAndStaysOpenOnEnter() {
        std::vector<std::string> asked;
        std::vector<int> bookmarks;
        DebugItems items;
        DebugWindow window(1,
                           {[&](const std::string& text) -> std::optional<std::string> {
                                asked.push_back(text);
                                if (text == "(1+2)") {
                                    return "3";
                                }
                                return std::nullopt;
                            },
                            [&](int which) { bookmarks.push_back(which); }},
                           items);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto* name = Child<QLineEdit>(window, "edit1058");
        auto* value = Child<QLineEdit>(window, "edit1057");
        name->setFocus();
        QTest::keyClicks(name, "(1+2)");
        QTest::keyClick(name, Qt::Key_Return);
        QCOMPARE(value->text(), QStringLiteral("3"));
        QVERIFY(window.isVisible());
        name->setText("   ");
        Child<QPushButton>(window, "button1060")->click();  // nothing to show keeps the value
        QCOMPARE(value->text(), QStringLiteral("3"));
        QCOMPARE(asked, (std::vector<std::string>{"(1+2)", "   "}));
        Child<QPushButton>(window, "button1027")->click();
        Child<QPushButton>(window, "button1028")->click();
        QCOMPARE(bookmarks, (std::vector<int>{1, 2}));
    }

    void DebugWindowFollowsTheWorkersItems() {
        // Items that came before the window was made show at once; later ones follow.
        DebugItems items;
        items.ShowTags("<BGM>", "<P>", "text", 1);
        auto window = std::make_unique<DebugWindow>(0, DebugWindow::Actions{}, items);
        QCOMPARE(Child<QLineEdit>(*window, "edit1000")->text(), QStringLiteral("<BGM>"));
        std::thread worker([&] {
            items.ShowTags("<P>", "text", "<W>", 2);
            items.ShowTags("text", "<W>", "", 3);
            items.ShowTags("<W>", "", "", 4);
        });
        worker.join();
        QTRY_COMPARE(Child<QLineEdit>(*window, "edit1019")->text(), QStringLiteral("4"));
        QCOMPARE(Child<QLineEdit>(*window, "edit1000")->text(), QStringLiteral("<W>"));
        QCOMPARE(Child<QLineEdit>(*window, "edit1005")->text(), QStringLiteral("text"));
        QCOMPARE(Child<QLineEdit>(*window, "edit1006")->text(), QStringLiteral("<P>"));
        QCOMPARE(Child<QLineEdit>(*window, "edit1007")->text(), QString());
        QCOMPARE(items.CurrentItem(), std::string("<W>"));
        QCOMPARE(window->windowTitle(), QString::fromUtf8("デバッグ"));
        window.reset();
        items.ShowTags("<END>", "", "", 5);  // a gone window is not told
        QCoreApplication::processEvents();
        QCOMPARE(items.CurrentItem(), std::string("<END>"));
    }
};

}  // namespace talu::qt

QTEST_MAIN(talu::qt::DialogTests)
#include "dialog_tests.moc"
