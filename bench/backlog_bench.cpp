// What the backlog costs on the demo book: the save point taken where each page begins (on the
// worker), the memory of 500 pages with the last 100 save points, and going back to a page.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <memory>
#include <string>

#include "app/session.h"
#include "host/paths.h"

namespace {

using namespace talu;

class QuietShell : public app::Shell {
  public:
    void Post(app::PlayerMessage) override {}
    bool ShowMessage(const std::string&, bool) override { return true; }
    void ScreenChanged() override {}
    void SetStageSize(int, int) override {}
    void RequestClose() override {}
    void SetTitle(const std::string&) override {}
    bool SetCursor(const std::string&) override { return false; }
    void StartProgram(const std::string&, const std::string&, const std::string&) override {}
    void OpenWebAddress(const std::string&) override {}
};

/// The demo book read to its third wait, on virtual time.
struct Demo {
    QuietShell shell;
    app::Settings settings;
    host::VirtualClock clock;
    std::unique_ptr<app::Session> session;

    Demo() {
        app::SessionOptions options;
        options.shell = &shell;
        options.settings = &settings;
        options.clock = &clock;
        options.programFolder = "Z:\\player\\";
        std::string problem;
        session = app::Session::Create(options, problem);
        const std::string book = host::InsidePathFromHost(std::filesystem::path(TALU_SOURCE_DIR) /
                                                          "books" / "demo" / "demo.talu");
        if (!session || !session->OpenBook(book)) {
            return;
        }
        for (int i = 0; i < 3; ++i) {
            session->GetPlayer().WaitForWorker();
            session->GetPlayer().Click();
        }
        session->GetPlayer().WaitForWorker();
    }
    bool Ready() { return session && session->GetInterpreter() != nullptr; }
};

void BM_PageSavePoint(benchmark::State& state) {
    Demo demo;
    if (!demo.Ready()) {
        state.SkipWithError("the demo book did not open");
        return;
    }
    interp::Interpreter& interpreter = *demo.session->GetInterpreter();
    for (auto _ : state) {
        benchmark::DoNotOptimize(std::make_shared<const app::PageSavePoint>(
            demo.session->Bookmarks().CapturePage(interpreter)));
    }
}
BENCHMARK(BM_PageSavePoint)->Unit(benchmark::kMicrosecond);

// 500 pages of the demo's text, the last 100 with a save point of a demo page: the heap they
// take, as the counter "bytes".
void BM_BacklogMemory(benchmark::State& state) {
    Demo demo;
    if (!demo.Ready()) {
        state.SkipWithError("the demo book did not open");
        return;
    }
    interp::Interpreter& interpreter = *demo.session->GetInterpreter();
    const app::ShownPage page{demo.session->GetBacklog().Entries().back().text, {"Left", "Right"}};
    std::size_t bytes = 0;
    for (auto _ : state) {
        const std::size_t before = mallinfo2().uordblks;
        {
            app::Backlog backlog;
            for (int i = 0; i < 500; ++i) {
                backlog.PageStarted(std::make_shared<const app::PageSavePoint>(
                    demo.session->Bookmarks().CapturePage(interpreter)));
                backlog.PageShown(page);
            }
            bytes = mallinfo2().uordblks - before;
        }
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_BacklogMemory)->Unit(benchmark::kMillisecond);

// Return here, up to the book ready to run again (the worker not started).
void BM_ReturnToPage(benchmark::State& state) {
    Demo demo;
    if (!demo.Ready() || demo.session->GetBacklog().Size() < 2) {
        state.SkipWithError("the demo book did not reach its second page");
        return;
    }
    app::Backlog& backlog = demo.session->GetBacklog();
    const std::size_t index = backlog.Size() - 2;
    const app::ShownPage page{backlog.Entries()[index].text, {}};
    for (auto _ : state) {
        if (!demo.session->ReturnToPage(index)) {
            state.SkipWithError("going back failed");
            break;
        }
        state.PauseTiming();
        backlog.PageShown(page);  // the page returned to is shown again
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ReturnToPage)->Unit(benchmark::kMillisecond);

}  // namespace
