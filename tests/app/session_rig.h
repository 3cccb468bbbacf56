#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include "app/session.h"
#include "script/keywords.h"
#include "support/repeat.h"
#include "support/temp_folder.h"

namespace talu::app {

/// A shell that keeps everything the session tells it. A box may be held open (as a reader
/// who has not answered yet) until ReadingEnds or Release.
class RecordingShell : public Shell {
  public:
    void Post(PlayerMessage message) override { Keep(posted, std::move(message)); }
    bool ShowMessage(const std::string& text, bool withCancel) override {
        Keep(boxes, text);
        std::unique_lock lock(holdMutex);
        if (holdNextBox) {
            holdNextBox = false;
            holding = true;
            boxShown = true;
            held.notify_all();
            held.wait(lock, [this] { return !holding; });
            return false;
        }
        if (!withCancel || answers.empty()) {
            return true;
        }
        const bool answer = answers.front();
        answers.erase(answers.begin());
        return answer;
    }
    void ReadingEnds() override { ReleaseBoxes(); }
    /// Waits until a held box is up.
    void WaitForBox() {
        std::unique_lock lock(holdMutex);
        held.wait(lock, [this] { return boxShown; });
    }
    /// The next box stays up until ReadingEnds or ReleaseBoxes.
    void HoldNextBox() {
        std::lock_guard lock(holdMutex);
        holdNextBox = true;
        boxShown = false;
    }
    void ReleaseBoxes() {
        {
            std::lock_guard lock(holdMutex);
            holding = false;
            holdNextBox = false;
        }
        held.notify_all();
    }
    void ScreenChanged() override { ++screenChanges; }
    void SetStageSize(int width, int height) override { Keep(sizes, std::pair{width, height}); }
    void RequestClose() override { ++closeRequests; }
    void SetTitle(const std::string& title) override { Keep(titles, title); }
    bool SetCursor(const std::string& path) override {
        Keep(cursors, path);
        return true;
    }
    void StartProgram(const std::string& program, const std::string& parameters,
                      const std::string& folder) override {
        Keep(started, program + '|' + parameters + '|' + folder);
    }
    void OpenWebAddress(const std::string& address) override { Keep(addresses, address); }
    void PageShown(const ShownPage& page) override { Keep(pages, page); }

    std::mutex mutex;
    std::vector<PlayerMessage> posted;
    std::vector<std::string> boxes;
    std::vector<std::pair<int, int>> sizes;
    std::atomic<int> closeRequests{0};
    std::atomic<int> screenChanges{0};
    std::vector<std::string> titles;
    std::vector<std::string> cursors;
    std::vector<std::string> started;
    std::vector<std::string> addresses;
    std::vector<ShownPage> pages;
    /// The answers to the next questions in turn; OK once they are used up.
    std::vector<bool> answers;

  private:
    std::mutex holdMutex;
    std::condition_variable held;
    bool holdNextBox = false;
    bool holding = false;
    bool boxShown = false;

    template <typename T>
    void Keep(std::vector<T>& list, T value) {
        std::lock_guard lock(mutex);
        list.push_back(std::move(value));
    }
};

/// The run loop's steps and waits, as the player reports them.
class Steps : public PlayerListener {
  public:
    void StepDone(int result, const script::TagRecord&) override { results.push_back(result); }
    void WaitStarted(int kind, int, int) override { waits.push_back(kind); }
    std::vector<int> results;
    std::vector<int> waits;
};

/// A session on virtual time with a book written into a scratch folder.
class PlayerTest : public ::testing::Test {
  protected:
    test::TempFolder dir;
    RecordingShell shell;
    Settings settings;
    host::VirtualClock clock;
    host::VirtualClock iconClock;  // the wait icon's own, so it never moves the book's time
    std::unique_ptr<Session> session = MakeSession(clock);
    Player& player = session->GetPlayer();
    Steps steps;
    PlayerListener* listener = &steps;
    interp::Interpreter* interpreter = nullptr;

    std::unique_ptr<Session> MakeSession(host::Clock& bookClock) {
        SessionOptions options;
        options.shell = &shell;
        options.settings = &settings;
        options.clock = &bookClock;
        options.iconClock = &iconClock;
        options.programFolder = "Z:\\player\\";
        std::string problem;
        return Session::Create(options, problem);
    }

    /// Opens the book and starts its worker.
    void Start(std::string_view text) {
        dir.Write("book.talu", text);
        player.SetListener(listener);
        ASSERT_TRUE(session->OpenBook(dir.Inside("book.talu")));
        interpreter = session->GetInterpreter();
    }

    /// Opens the book and waits for the worker it started.
    void Open(std::string_view text) {
        Start(text);
        player.WaitForWorker();
    }

    /// Clicks and waits for the worker it started.
    void ClickAndWait() {
        player.Click();
        player.WaitForWorker();
    }

    /// Moves the mouse to the centre of shown link k.
    void PointAt(int k) {
        const stage::Rect r = interpreter->Links().RectOf(k);
        player.MouseMove((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }

    /// The rectangles presented since the last call (none for a whole-stage present).
    std::vector<std::optional<stage::Rect>> TakePresents() {
        std::lock_guard lock(presentMutex);
        return std::exchange(presents, {});
    }

    void RecordPresents() {
        session->GetStage().SetPresentListener([this](const stage::PresentCall& call) {
            std::lock_guard lock(presentMutex);
            presents.push_back(call.rect);
        });
    }

    std::mutex presentMutex;
    std::vector<std::optional<stage::Rect>> presents;
};

}  // namespace talu::app
namespace talu::app {
inline void PrintTo(const ShownPage& page, std::ostream* out) {
    *out << '"' << page.text << "\" links";
    for (const std::string& link : page.links) {
        *out << " \"" << link << '"';
    }
}
}  // namespace talu::app
