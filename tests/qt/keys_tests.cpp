// Keys of the reader's choosing: a key rebound in the Setting dialog's keys page works in the
// window at once and the old one no longer does, the bindings survive the desktop's settings
// file (punctuation keys too), held and modifier bindings, repeats that never toggle, and the
// page's refusal of a key or button another action has.
#include <QComboBox>
#include <QKeyEvent>
#include <QPushButton>
#include <QtTest>

#include "frontend/qt/key_text.h"
#include "frontend/qt/keys_page.h"
#include "frontend/qt/settings_dialog.h"
#include "frontend/qt/stage_notes.h"
#include "qt/window_rig.h"
#include "support/repeat.h"

namespace talu::qt {
namespace {

using app::ReaderAction;
using app::ReadingMode;
using test::Later;
using test::ModalDriver;
using Names = std::vector<std::string>;

/// Captures a key on the page's Change (or Add) button as a reader does: clicks it, then
/// presses key (a modifier alone: pressed and let go).
void Capture(KeysPage& page, const char* button, Qt::Key key,
             Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    auto* capture = page.findChild<KeyCapture*>(QString::fromLatin1(button));
    QVERIFY(capture != nullptr);
    capture->click();
    QVERIFY(capture->Capturing());
    if (IsModifierKey(key)) {
        QTest::keyPress(capture, key, modifiers);
        QTest::keyRelease(capture, key);
    } else {
        QTest::keyClick(capture, key, modifiers);
    }
    QVERIFY(!capture->Capturing());
}

/// A press (or its release) with the repeat flag a held key's repeats have.
void SendKey(QWidget* to, QEvent::Type type, Qt::Key key, bool repeat) {
    QKeyEvent event(type, key, Qt::NoModifier, QString(), repeat);
    QApplication::sendEvent(to, &event);
}

}  // namespace

class KeysTests : public QObject, test::WindowRig {
    Q_OBJECT

  private:
    app::ReaderCommands& Commands() { return window_->Session()->Commands(); }
    void OpenManyPages() {
        QVERIFY(window_->OpenBook(Write("keys.talu", test::Repeat("page<P>", 20000))));
        QVERIFY(Idle());
    }

  private slots:
    void init() { OpenWindow(); }
    void cleanup() { CloseWindow(); }

    // Save moved to F5 in the dialog the window opens (its own key, Ctrl+M): OK applies it at
    // once, F5 saves, Ctrl+S no longer does; the settings the window wrote read back the same.
    void AReboundKeyWorksAndTheDefaultNoLongerDoes() {
        settings_.langMode = 0;
        OpenManyPages();
        ModalDriver driver([](QWidget& modal) {
            auto* dialog = dynamic_cast<SettingsDialog*>(&modal);
            QVERIFY(dialog != nullptr);
            Later(dialog, [dialog] {
                dialog->ShowKeysPage(true);
                dialog->KeysPart().Select(ReaderAction::kSave);
                Capture(dialog->KeysPart(), "changeKey", Qt::Key_F5);
                dialog->accept();
            });
        });
        QTest::keyClick(window_.get(), Qt::Key_M, Qt::ControlModifier);
        QCOMPARE(driver.seen, QStringList{QString::fromUtf8("設定")});
        QCOMPARE(settings_.inputs.Keys(ReaderAction::kSave), Names{"F5"});

        QTest::keyClick(window_.get(), Qt::Key_S, Qt::ControlModifier);
        QVERIFY(window_->Notes().Notice().isEmpty());
        QVERIFY(!QFile::exists(dir_.filePath("keys.01.png")));
        QTest::keyClick(window_.get(), Qt::Key_F5);
        QCOMPARE(window_->Notes().Notice(), QString::fromUtf8("しおり1にセーブしました"));
        QVERIFY(QFile::exists(dir_.filePath("keys.01.png")));

        QtSettingsStore written(SettingsFile());
        app::Settings read;
        read.Read(written, "Z:\\p\\");
        DropUnknownKeys(read.inputs);
        QCOMPARE(read.inputs, settings_.inputs);
    }

    // The desktop's settings file keeps the keys a separator or its quoting could break.
    void PunctuationKeysSurviveTheDesktopSettingsFile() {
        app::InputBindings bindings;
        const Names keys{
            KeyText(Qt::Key_Comma, Qt::NoModifier),      KeyText(Qt::Key_Semicolon, Qt::NoModifier),
            KeyText(Qt::Key_Bar, Qt::ShiftModifier),     KeyText(Qt::Key_Bar, Qt::NoModifier),
            KeyText(Qt::Key_Comma, Qt::ControlModifier), KeyText(Qt::Key_Equal, Qt::NoModifier),
            KeyText(Qt::Key_Percent, Qt::NoModifier),    KeyText(Qt::Key_yen, Qt::NoModifier),
            KeyText(Qt::Key_Adiaeresis, Qt::NoModifier), KeyText(Qt::Key_Alt, Qt::AltModifier)};
        for (const std::string& key : keys) {
            QVERIFY2(IsKeyText(key), key.c_str());
        }
        bindings.SetKeys(ReaderAction::kMenu, keys);
        {
            QtSettingsStore store(SettingsFile());
            bindings.Write(store);
            QVERIFY(store.Flush());
        }
        QtSettingsStore store(SettingsFile());
        app::InputBindings read;
        read.Read(store);
        DropUnknownKeys(read);
        QCOMPARE(read.Keys(ReaderAction::kMenu), keys);
    }

    // Names a hand-edited file may hold that no press gives are dropped; every default is one.
    void OnlyNamesAPressGivesAreKept() {
        for (const app::ReaderActionInfo& info : app::ReaderActions()) {
            for (std::string_view key : info.keys) {
                QVERIFY2(IsKeyText(key), key.data());
            }
        }
        app::InputBindings bindings;
        bindings.SetKeys(ReaderAction::kSave,
                         {"ctrl+s", "Shift+Backtab", "Hyper+X", "Frobnicate", "Ctrl+S, F5", "Ctrl+",
                          "F5", "Shift+Ctrl+Q", "Ctrl+Shift+Q"});
        DropUnknownKeys(bindings);
        QCOMPARE(bindings.Keys(ReaderAction::kSave), (Names{"F5", "Ctrl+Shift+Q"}));
    }

    // Skip while held on an ordinary key lasts from its press to its release; auto on Shift
    // alone toggles when Shift is let go alone, not when it went with a key; the skip key's
    // repeats never toggle it back.
    void HeldModifierAndRepeatedKeys() {
        settings_.skipUnread = 1;
        settings_.autoPace = app::Settings::kMaxAutoPace;
        settings_.inputs.SetKeys(ReaderAction::kHoldSkip, {"H"});
        settings_.inputs.SetKeys(ReaderAction::kAuto, {"Shift"});
        OpenManyPages();
        QTest::keyPress(window_.get(), Qt::Key_H);
        QTRY_COMPARE(Commands().Mode(), ReadingMode::kSkip);
        QTest::keyRelease(window_.get(), Qt::Key_H);
        QTRY_COMPARE(Commands().Mode(), ReadingMode::kNone);
        QVERIFY(Idle());

        QTest::keyClick(window_.get(), Qt::Key_Q, Qt::ShiftModifier);  // Shift with a key
        QTest::qWait(50);
        QCOMPARE(Commands().Mode(), ReadingMode::kNone);
        QTest::keyPress(window_.get(), Qt::Key_Shift, Qt::ShiftModifier);
        QCOMPARE(Commands().Mode(), ReadingMode::kNone);  // not before it is let go
        QTest::keyRelease(window_.get(), Qt::Key_Shift);
        QTRY_COMPARE(Commands().Mode(), ReadingMode::kAuto);
        QTest::keyClick(window_.get(), Qt::Key_X);
        QTRY_COMPARE(Commands().Mode(), ReadingMode::kNone);
        QVERIFY(Idle());

        SendKey(window_.get(), QEvent::KeyPress, Qt::Key_S, false);
        QTRY_COMPARE(Commands().Mode(), ReadingMode::kSkip);
        for (int i = 0; i < 3; ++i) {
            SendKey(window_.get(), QEvent::KeyRelease, Qt::Key_S, true);
            SendKey(window_.get(), QEvent::KeyPress, Qt::Key_S, true);
        }
        SendKey(window_.get(), QEvent::KeyRelease, Qt::Key_S, false);
        QTest::qWait(50);
        QCOMPARE(Commands().Mode(), ReadingMode::kSkip);
    }

    // Pressed on the shown dialog, Escape and Enter are keys to bind while the page waits for
    // one, not the dialog's Cancel and OK.
    void EscapeAndEnterAreCapturedNotTheDialogsOwn() {
        app::Settings settings;
        DesktopSettings desktop;
        SettingsDialog dialog(settings, desktop, 1);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        dialog.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        dialog.ShowKeysPage(true);
        KeysPage& page = dialog.KeysPart();
        page.Select(ReaderAction::kClose);
        page.findChild<QPushButton*>(QStringLiteral("clearKeys"))->click();
        auto* change = page.findChild<KeyCapture*>(QStringLiteral("changeKey"));
        change->click();
        QTest::keyClick(dialog.windowHandle(), Qt::Key_Escape);
        QVERIFY(dialog.isVisible());
        QCOMPARE(page.Bindings().Keys(ReaderAction::kClose), Names{"Esc"});
        change->click();
        QTest::keyClick(dialog.windowHandle(), Qt::Key_Return);
        QVERIFY(dialog.isVisible());
        QVERIFY(page.Message().contains(QStringLiteral("Read on")));
        QVERIFY(!change->Capturing());
        QTest::keyClick(dialog.windowHandle(), Qt::Key_Escape);  // no longer waiting: Cancel
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
    }

    // A key or button another action has is refused, naming that action in the reader's
    // language; Cancel (no Apply) changes nothing, OK takes what was accepted.
    void ThePageRefusesWhatAnotherActionHas() {
        for (int lang : {0, 1}) {
            app::Settings settings;
            DesktopSettings desktop;
            SettingsDialog dialog(settings, desktop, lang);
            KeysPage& page = dialog.KeysPart();
            page.Select(ReaderAction::kSave);
            Capture(page, "changeKey", Qt::Key_B, Qt::ControlModifier);
            QVERIFY2(page.Message().contains(lang == 0 ? QString::fromUtf8("しおりの整理")
                                                       : QStringLiteral("Bookmark Menu")),
                     qPrintable(page.Message()));
            QVERIFY(page.Message().contains(QStringLiteral("Ctrl+B")));
            Capture(page, "addKey", Qt::Key_Alt, Qt::AltModifier);  // Alt alone: the menu's
            QVERIFY(page.Message().contains(lang == 0 ? QString::fromUtf8("メニュー")
                                                      : QStringLiteral("Menu")));
            QVERIFY(!page.TakeButton("b"));
            QVERIFY(page.Message().contains(lang == 0 ? QString::fromUtf8("メニュー")
                                                      : QStringLiteral("Menu")));
            QCOMPARE(page.Bindings(), app::InputBindings());

            Capture(page, "addKey", Qt::Key_Escape, Qt::ShiftModifier);  // Esc itself binds
            QVERIFY(page.Message().isEmpty());
            auto* pad = page.findChild<QComboBox*>(QStringLiteral("padButton"));
            pad->setCurrentIndex(pad->findData(QStringLiteral("x")));
            emit pad->activated(pad->currentIndex());
            QCOMPARE(page.Bindings().Keys(ReaderAction::kSave), (Names{"Ctrl+S", "Shift+Esc"}));
            QCOMPARE(page.Bindings().Buttons(ReaderAction::kSave), Names{"x"});
            QCOMPARE(settings.inputs, app::InputBindings());  // nothing before OK
            dialog.Apply();
            QCOMPARE(settings.inputs.ActionForKey("Shift+Esc"), ReaderAction::kSave);
            QCOMPARE(settings.inputs.ActionForButton("x"), ReaderAction::kSave);

            // The default of one action comes back only where no other action took its keys.
            page.Select(ReaderAction::kSave);
            page.findChild<QPushButton*>(QStringLiteral("clearKeys"))->click();
            page.Select(ReaderAction::kSkip);
            QVERIFY(page.TakeKey("Ctrl+S", false));
            page.Select(ReaderAction::kSave);
            page.findChild<QPushButton*>(QStringLiteral("defaultKeys"))->click();
            QVERIFY(!page.Message().isEmpty());
            QVERIFY(page.Bindings().Keys(ReaderAction::kSave).empty());
            page.findChild<QPushButton*>(QStringLiteral("restoreDefaults"))->click();
            QCOMPARE(page.Bindings(), app::InputBindings());
        }
    }
};

}  // namespace talu::qt

QTEST_MAIN(talu::qt::KeysTests)
#include "keys_tests.moc"
