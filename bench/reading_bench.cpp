// Skip's costs: the pages-read lookup and record at every wait of a book, and skipping the whole
// demo book (pictures, effects cut short, the form and the choice aside) as the player runs it.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "app/read_pages.h"
#include "frontend/cli/headless_session.h"
#include "host/paths.h"

namespace {

// A long book read along many paths: 40 files of 2,000 pages read, none next to another (the
// worst case of the ranges: 80,000 of them, a file of some 500 KB).
void FillLongBook(talu::app::ReadPages& pages) {
    for (int file = 0; file < 40; ++file) {
        const std::string path = "Z:\\books\\tale\\chapter" + std::to_string(file) + ".talu";
        for (int index = 0; index < 6000; index += 3) {
            pages.Record(path, index);
        }
    }
}

// One wait: is the page read, then record it (the file is not written here: every fiftieth new
// page it is, which BM_SavePagesRead measures).
void BM_CheckAndRecordPage(benchmark::State& state) {
    talu::app::ReadPages pages;
    pages.Bind({}, "Z:\\books\\tale\\");
    FillLongBook(pages);
    int step = 0;
    for (auto _ : state) {
        const std::string path = "Z:\\books\\tale\\chapter" + std::to_string(step % 40) + ".talu";
        const int index = (step * 7919) % 9000;
        benchmark::DoNotOptimize(pages.Contains(path, index));
        benchmark::DoNotOptimize(pages.Record(path, index));
        ++step;
    }
}
BENCHMARK(BM_CheckAndRecordPage);

// Writing the long book's file, atomically, as every fifty new pages and the close do.
void BM_SavePagesRead(benchmark::State& state) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / "talu-reading-bench";
    std::filesystem::create_directories(folder);
    talu::app::ReadPages pages;
    pages.Bind({talu::host::InsidePathFromHost(folder / "tale.read"), nullptr},
               "Z:\\books\\tale\\");
    FillLongBook(pages);
    int index = 6001;
    for (auto _ : state) {
        pages.Record("Z:\\books\\tale\\chapter0.talu", index += 2);
        benchmark::DoNotOptimize(pages.Save());
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_SavePagesRead)->Unit(benchmark::kMillisecond);

// The demo book from its first page to its end with skip on, unread pages too: the process's
// CPU time, the worker's included.
void BM_SkipTheDemoBook(benchmark::State& state) {
    const std::filesystem::path copy =
        std::filesystem::temp_directory_path() / "talu-reading-bench-demo";
    std::filesystem::remove_all(copy);
    std::filesystem::copy(std::filesystem::path(TALU_SOURCE_DIR) / "books" / "demo", copy,
                          std::filesystem::copy_options::recursive);
    for (auto _ : state) {
        talu::cli::SessionOptions options;
        options.book = copy / "demo.talu";
        options.langMode = 1;
        options.skipUnread = true;
        options.keepReadPages = false;
        std::string problem;
        auto session = talu::cli::HeadlessSession::Open(
            options, [](const std::string&) {}, problem);
        talu::cli::ReaderScript reader;
        reader.choose = [](const std::vector<int>& choosable) { return choosable.front(); };
        reader.mode = talu::app::ReadingMode::kSkip;
        const std::string reason = session->Play(reader, {}, problem);
        if (reason != "end-tag" && reason != "book-end") {
            state.SkipWithError(("the demo did not end: " + reason + ' ' + problem).c_str());
            break;
        }
    }
    std::filesystem::remove_all(copy);
}
BENCHMARK(BM_SkipTheDemoBook)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

}  // namespace
