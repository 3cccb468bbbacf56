// Reading with a game controller alone, with SDL's virtual joystick (no hardware): the demo to
// its end, controllers plugged in and pulled out while reading, the held skip, and the pad in
// the menu, the backlog and the boxes.
#include <SDL2/SDL.h>

#include <QCheckBox>
#include <QMenu>
#include <QScrollBar>
#include <QtTest>

#include "frontend/qt/backlog_view.h"
#include "frontend/qt/commands.h"
#include "frontend/qt/form_overlay.h"
#include "frontend/qt/gamepad_input.h"
#include "frontend/qt/ui_text.h"
#include "qt/window_rig.h"
#include "script/messages.h"
#include "support/repeat.h"

namespace talu::qt {
namespace {

constexpr auto kA = SDL_CONTROLLER_BUTTON_A;
constexpr auto kB = SDL_CONTROLLER_BUTTON_B;
constexpr auto kDown = SDL_CONTROLLER_BUTTON_DPAD_DOWN;
constexpr auto kUp = SDL_CONTROLLER_BUTTON_DPAD_UP;
constexpr auto kLeft = SDL_CONTROLLER_BUTTON_DPAD_LEFT;
constexpr auto kRight = SDL_CONTROLLER_BUTTON_DPAD_RIGHT;
constexpr auto kBacklogButton = SDL_CONTROLLER_BUTTON_LEFTSHOULDER;
constexpr auto kSkipButton = SDL_CONTROLLER_BUTTON_RIGHTSHOULDER;

/// A game controller SDL makes itself, attached while it lives (or until Detach).
class VirtualPad {
  public:
    VirtualPad() {
        SDL_VirtualJoystickDesc desc{};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = SDL_CONTROLLER_AXIS_MAX;
        desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
        desc.name = "talu test pad";
        const int index = SDL_JoystickAttachVirtualEx(&desc);
        mapped_ = index >= 0 && SDL_IsGameController(index);
        joystick_ = index >= 0 ? SDL_JoystickOpen(index) : nullptr;
    }
    ~VirtualPad() { Detach(); }

    /// Attached, and with a game-controller mapping (what the player opens).
    bool Mapped() const { return mapped_ && joystick_ != nullptr; }
    void Tilt(SDL_GameControllerAxis axis, int value) {
        SDL_JoystickSetVirtualAxis(joystick_, axis, static_cast<Sint16>(value));
    }
    void Set(SDL_GameControllerButton button, bool down) {
        SDL_JoystickSetVirtualButton(joystick_, button, down ? 1 : 0);
    }
    /// The player has read the button as it was set: SDL updates the joystick we share with
    /// it only when the player polls.
    bool Read(SDL_GameControllerButton button, bool down) const {
        return (SDL_JoystickGetButton(joystick_, button) != 0) == down;
    }
    bool Read(SDL_GameControllerAxis axis, int value) const {
        return SDL_JoystickGetAxis(joystick_, axis) == value;
    }
    void Detach() {
        if (joystick_ == nullptr) {
            return;
        }
        const SDL_JoystickID instance = SDL_JoystickInstanceID(joystick_);
        SDL_JoystickClose(joystick_);
        joystick_ = nullptr;
        for (int i = 0; i < SDL_NumJoysticks(); ++i) {
            if (SDL_JoystickGetDeviceInstanceID(i) == instance) {
                SDL_JoystickDetachVirtual(i);
            }
        }
    }

  private:
    SDL_Joystick* joystick_ = nullptr;
    bool mapped_ = false;
};

/// Presses a pad's buttons one after another from a timer, so it goes on inside the menu's and
/// the boxes' own event loops: each step waits until `when` holds, then taps (down until the
/// player read it, then up). A step with `until` taps again, whenever `when` holds, until it
/// holds.
class PadHand : public QObject {
  public:
    struct Step {
        SDL_GameControllerButton button;
        std::function<bool()> when;
        std::function<bool()> until;
    };

    PadHand(VirtualPad& pad, std::vector<Step> steps) : pad_(pad), steps_(std::move(steps)) {
        connect(&timer_, &QTimer::timeout, this, [this] { Turn(); });
        timer_.start(5);
    }
    bool Done() const { return at_ >= steps_.size(); }
    /// Where it waits, for a failure's message.
    QString Where() const { return QStringLiteral("stopped at step %1").arg(at_); }

  private:
    void Turn() {
        if (Done()) {
            return;
        }
        const Step& step = steps_[at_];
        if (down_) {
            if (pad_.Read(step.button, true)) {
                pad_.Set(step.button, false);
                down_ = false;
                settle_ = 4;  // the press's effect has a moment to start
            }
            return;
        }
        if (!pad_.Read(step.button, false) || --settle_ > 0) {
            return;
        }
        if (step.until ? step.until() : tapped_) {
            ++at_;
            tapped_ = false;
            return;
        }
        if (step.when()) {
            pad_.Set(step.button, true);
            down_ = true;
            tapped_ = true;
        }
    }

    VirtualPad& pad_;
    std::vector<Step> steps_;
    QTimer timer_;
    std::size_t at_ = 0;
    bool down_ = false;
    bool tapped_ = false;
    int settle_ = 0;
};

}  // namespace

class GamepadTests : public QObject, test::WindowRig {
    Q_OBJECT

  private:
    app::ReaderCommands& Commands() { return window_->Session()->Commands(); }
    int Index() { return window_->Session()->GetInterpreter()->Book().CurrentIndex(); }
    bool Waits() {
        return window_->Session() != nullptr && window_->Session()->GetInterpreter() != nullptr &&
               !window_->Session()->GetPlayer().WorkerRunning() &&
               QApplication::activeModalWidget() == nullptr;
    }
    static QMessageBox* Box() {
        return qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    }
    static QMenu* Menu() { return qobject_cast<QMenu*>(QApplication::activePopupWidget()); }

    /// Taps button once the player has read every change before.
    void Tap(VirtualPad& pad, SDL_GameControllerButton button) {
        PadHand hand(pad, {{button, [] { return true; }, nullptr}});
        QVERIFY(QTest::qWaitFor([&] { return hand.Done(); }, 5000));
    }
    /// Runs steps to their end.
    void Run(VirtualPad& pad, std::vector<PadHand::Step> steps) {
        PadHand hand(pad, std::move(steps));
        QVERIFY2(QTest::qWaitFor([&] { return hand.Done(); }, 60000), qPrintable(hand.Where()));
    }

  private slots:
    void initTestCase() {
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        QCOMPARE(SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER), 0);
    }
    void cleanupTestCase() { SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER); }
    void init() {
        for (app::PairedSetting* wait :
             {&settings_.charWait, &settings_.textWait, &settings_.backWait, &settings_.fadeWait}) {
            wait->Set(0);
        }
        settings_.useCD.Set(0);
        settings_.usePCM.Set(0);
        OpenWindow();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    }
    void cleanup() { CloseWindow(); }

    // The demo read to its end with the controller alone: A reads on, the D-pad walks the
    // form (A ticks "I like the waves" and presses OK) and the links; "Look for shells", the
    // third, is there only with the box ticked. A answers the end box and the close question.
    void TheDemoIsReadToItsEndWithTheControllerAlone() {
        const std::filesystem::path book = Folder() / "demo";
        std::filesystem::copy(std::filesystem::path(TALU_SOURCE_DIR) / "books/demo", book,
                              std::filesystem::copy_options::recursive);
        QVERIFY(window_->OpenBook(book / "demo.talu"));
        VirtualPad pad;  // plugged in after the window opened
        QVERIFY(pad.Mapped());
        QTRY_COMPARE(window_->Gamepads().Attached(), std::size_t{1});
        const auto& controls = window_->Forms().Controls();
        auto focusedIs = [&](std::size_t i) {
            return controls.size() == 3 && window_->focusWidget() == controls[i].data();
        };
        auto highlighted = [&](int link) {
            return Waits() && window_->Session()->GetInterpreter()->Links().Highlighted() == link;
        };
        const QString question = FromCp932(script::PlayerMessage(1, script::msg::kExitQuestion));
        Run(pad,
            {{kA, [&] { return Waits(); }, [&] { return controls.size() == 3; }},
             {kDown, [&] { return focusedIs(0); }, nullptr},
             {kA, [&] { return focusedIs(1); }, nullptr},
             {kDown, [&] { return qobject_cast<QCheckBox*>(controls[1])->isChecked(); }, nullptr},
             {kA, [&] { return focusedIs(2); }, nullptr},
             {kA, [&] { return Waits(); },
              [&] { return Waits() && window_->Session()->GetPlayer().ChoicePending(); }},
             {kDown, [&] { return highlighted(-1); }, nullptr},
             {kDown, [&] { return highlighted(0); }, nullptr},
             {kDown, [&] { return highlighted(1); }, nullptr},
             {kA, [&] { return highlighted(2); }, nullptr},
             {kA, [&] { return Waits(); }, [&] { return Box() != nullptr; }},
             {kA, [&] { return Box() != nullptr && Box()->text() != question; }, nullptr},
             {kA, [&] { return Box() != nullptr && Box()->text() == question; }, nullptr}});
        QTRY_VERIFY(!window_->isVisible());
        QVERIFY(std::filesystem::exists(book / "keepsake.jpg"));  // the book's last page
    }

    // Controllers plugged in while reading are read, several at once, at the fast pace. The
    // right shoulder held skips until let go, until its pad is pulled out, or until talu loses
    // the focus; a press while talu is away is not read. No pad left: the slow pace again.
    void ControllersComeAndGoAndTheShoulderHoldsSkip() {
        settings_.skipUnread = 1;
        QVERIFY(window_->OpenBook(Write("many.talu", test::Repeat("page<P>", 20000))));
        QVERIFY(Idle());
        QTRY_COMPARE(window_->Gamepads().PollInterval(), GamepadInput::kSlowPoll);
        VirtualPad first;
        VirtualPad second;
        QTRY_COMPARE(window_->Gamepads().Attached(), std::size_t{2});
        QTRY_COMPARE(window_->Gamepads().PollInterval(), GamepadInput::kFastPoll);
        auto skipEndedBy = [&](VirtualPad& pad, const std::function<void()>& end) {
            pad.Set(kSkipButton, true);
            QTRY_COMPARE(Commands().Mode(), app::ReadingMode::kSkip);
            end();
            QTRY_COMPARE(Commands().Mode(), app::ReadingMode::kNone);
            QVERIFY(Idle());
        };
        skipEndedBy(first, [&] { first.Set(kSkipButton, false); });
        int at = Index();
        Tap(second, kA);
        QTRY_VERIFY(Waits() && Index() > at);
        skipEndedBy(second, [&] { second.Detach(); });
        QCOMPARE(window_->Gamepads().Attached(), std::size_t{1});
        skipEndedBy(first, [] { emit qApp->applicationStateChanged(Qt::ApplicationInactive); });
        QCOMPARE(window_->Gamepads().PollInterval(), GamepadInput::kSlowPoll);
        first.Set(kSkipButton, false);
        at = Index();
        Tap(first, kA);
        QTest::qWait(100);
        QCOMPARE(Index(), at);
        emit qApp->applicationStateChanged(Qt::ApplicationActive);
        Tap(first, kA);
        QTRY_VERIFY(Waits() && Index() > at);
        first.Detach();
        QTRY_COMPARE(window_->Gamepads().PollInterval(), GamepadInput::kSlowPoll);
    }

    // A D-pad direction held repeats, as a held arrow key does, until let go; the left stick
    // is the D-pad too.
    void AHeldDirectionRepeatsAndTheStickIsTheDpad() {
        std::string book;
        for (int i = 0; i < 8; ++i) {
            book += "<A HREF=\"#end\" ALT=\"Link " + std::to_string(i) + "\">";
        }
        QVERIFY(window_->OpenBook(Write("links.talu", book + "<A NAME=\"end\">End.<P>")));
        QVERIFY(Idle());
        VirtualPad pad;
        QTRY_COMPARE(window_->Gamepads().Attached(), std::size_t{1});
        const interp::LinkSet& links = window_->Session()->GetInterpreter()->Links();
        pad.Set(kDown, true);
        QTRY_VERIFY(links.Highlighted() >= 3);
        pad.Set(kDown, false);
        QTRY_VERIFY(pad.Read(kDown, false));
        const int last = links.Highlighted();
        QTest::qWait(400);
        QCOMPARE(links.Highlighted(), last);
        pad.Tilt(SDL_CONTROLLER_AXIS_LEFTY, -30000);  // up
        QTRY_VERIFY(links.Highlighted() < last);
        pad.Tilt(SDL_CONTROLLER_AXIS_LEFTY, 0);
        QTRY_VERIFY(pad.Read(SDL_CONTROLLER_AXIS_LEFTY, 0));
        const int up = links.Highlighted();
        QTest::qWait(400);
        QCOMPARE(links.Highlighted(), up);
    }

    // B opens the menu; the D-pad walks it and its submenus, A takes an item, B closes it.
    // In a box, A takes the default button, the D-pad moves to the other one, B cancels.
    void TheMenuAndTheBoxesFollowThePad() {
        QVERIFY(window_->OpenBook(Write("pages.talu", "One.<P>Two.<P>")));
        QVERIFY(Idle());
        VirtualPad pad;
        QTRY_COMPARE(window_->Gamepads().Attached(), std::size_t{1});
        auto active = [](auto test) {
            return [test] {
                return Menu() != nullptr && Menu()->activeAction() != nullptr &&
                       test(*Menu()->activeAction());
            };
        };
        QMenu* top = nullptr;
        Run(pad, {{kB, [&] { return Waits(); }, nullptr},
                  {kDown, [&] { return (top = Menu()) != nullptr; },
                   active([](QAction& a) { return a.text().startsWith("Window"); })},
                  {kRight, [] { return true; }, nullptr},
                  {kLeft, [&] { return Menu() != top && Menu() != nullptr; }, nullptr},
                  {kB, [&] { return Menu() == top; }, nullptr},
                  {kB, [&] { return Menu() == nullptr && Waits(); }, nullptr},
                  {kDown, [&] { return Menu() != nullptr; },
                   active([](QAction& a) { return a.data().toInt() == command::kBacklog; })},
                  {kA, [] { return true; }, nullptr}});
        QTRY_VERIFY(Menu() == nullptr && window_->Backlog() != nullptr);

        // Three questions, one after the other.
        std::vector<int> answers;
        std::function<void()> ask = [&] {
            answers.push_back(window_->Gate().Ask("Go?", true) ? 1 : 0);
            if (answers.size() < 3) {
                test::Later(window_.get(), ask);
            }
        };
        test::Later(window_.get(), ask);
        Run(pad, {{kA, [] { return Box() != nullptr; }, nullptr},
                  {kRight, [&] { return answers.size() == 1 && Box() != nullptr; }, nullptr},
                  {kA, [] { return true; }, nullptr},
                  {kB, [&] { return answers.size() == 2 && Box() != nullptr; }, nullptr}});
        QTRY_COMPARE(answers, (std::vector<int>{1, 0, 0}));
    }

    // In the backlog the D-pad scrolls and walks the "Return here" links, A returns to the
    // highlighted page; B or the backlog's own button close it.
    void TheBacklogFollowsThePad() {
        QVERIFY(window_->OpenBook(
            Write("long.talu", test::Repeat("line<BR>line<BR>line<BR>line<BR>page<P>", 8))));
        VirtualPad pad;
        QTRY_COMPARE(window_->Gamepads().Attached(), std::size_t{1});
        Run(pad, {{kA, [&] { return Waits(); },
                   [&] { return window_->Session()->GetBacklog().Size() == 6; }}});
        QVERIFY(Idle());
        QScrollBar* bar = nullptr;
        auto backlog = [&] {
            BacklogView* view = window_->Backlog();
            bar = view != nullptr ? view->verticalScrollBar() : nullptr;
            return bar != nullptr;
        };
        int bottom = 0;
        Run(pad, {{kBacklogButton, [&] { return Waits(); }, nullptr},
                  {kUp, [&] { return backlog() && (bottom = bar->value()) > 0; }, nullptr},
                  {kDown, [&] { return bar->value() < bottom; }, nullptr},
                  {kLeft, [&] { return bar->value() == bottom; }, nullptr},
                  {kLeft, [&] { return window_->Backlog()->textCursor().hasSelection(); }, nullptr},
                  {kA, [] { return true; }, nullptr}});
        QTRY_VERIFY(window_->Backlog() == nullptr);
        QTRY_COMPARE(window_->Session()->GetBacklog().Size(), std::size_t{5});
        auto open = [&] { return window_->Backlog() != nullptr; };
        auto shut = [&] { return window_->Backlog() == nullptr && Waits(); };
        Run(pad, {{kBacklogButton, shut, nullptr},
                  {kB, open, nullptr},
                  {kBacklogButton, shut, nullptr},
                  {kBacklogButton, open, nullptr},
                  {kBacklogButton, shut, nullptr}});
        QTRY_VERIFY(open());
        // Another book opened over the backlog (a drop on the window) closes it: its pause
        // was the old book's.
        QVERIFY(window_->OpenBook(Write("next.talu", "Next.<P>")));
        QVERIFY(window_->Backlog() == nullptr);
        QVERIFY(Idle());
    }
};

}  // namespace talu::qt

QTEST_MAIN(talu::qt::GamepadTests)
#include "gamepad_tests.moc"
