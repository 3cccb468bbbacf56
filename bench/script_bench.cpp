// How fast books load and how fast the reader hands out records.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "host/paths.h"
#include "script/book.h"

namespace {

namespace fs = std::filesystem;

struct GeneratedBook {
    fs::path folder;
    fs::path path;
    std::size_t bytes = 0;
};

void WriteFile(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

// About 10 MB in about 200,000 items: text runs over lines, tags over several lines, comments
// and includes, in the mix a real book has.
const GeneratedBook& LargeBook() {
    static const GeneratedBook book = [] {
        GeneratedBook b;
        b.folder = fs::temp_directory_path() / "talu-bench-book";
        fs::create_directories(b.folder / "inc");
        WriteFile(b.folder / "inc" / "part.talu",
                  "<!-- included part -->\n\x82\xA0\x82\xA2\x82\xA4<BR>\n<WAIT TIME=\"10\">\n");
        std::string text;
        text.reserve(11 << 20);
        for (int i = 0; text.size() < (10u << 20); ++i) {
            text += "\x8D\xA1\x93\xFA\x82\xCD\x90\xB0\x82\xEA\x81\x42 The morning sun rose over";
            text += " the quiet town, and Mina walked\n  toward the sea once more. The gulls";
            text += " called above the harbour\n  while the fishing boats came home one by one,";
            text += " their lanterns swaying\n  in the cool air of the early day.<BR>\n";
            text += "<FONT COLOR=\"#ffe0a0\"\n      SIZE=\"24\" FACE=\"MS Mincho\">name</FONT>\n";
            text += "<!-- scene " + std::to_string(i) + " -->\n";
            text += "<BACKGROUND SRC=\"img\\bg" + std::to_string(i % 50) + ".bmp\"\n";
            text += "  EFFECT=\"EF_FADEIN\">\n<A NAME=\"l" + std::to_string(i) + "\">\n";
            text += "<#\n  a note over\n  several lines\n#>\n";
            if (i % 100 == 0) {
                text += "<INCLUDE SRC=\"inc\\part.talu\">\n";
            }
            text += "<P>\n";
        }
        b.path = b.folder / "large.talu";
        WriteFile(b.path, text);
        b.bytes = text.size();
        return b;
    }();
    return book;
}

void BM_OpenLargeBook(benchmark::State& state) {
    const GeneratedBook& generated = LargeBook();
    const std::string inside = talu::host::InsidePathFromHost(generated.path);
    std::size_t items = 0;
    for (auto _ : state) {
        talu::script::Book book({});
        if (!book.OpenPath(inside)) {
            state.SkipWithError("cannot open the generated book");
            return;
        }
        items = book.Items().size();
        benchmark::DoNotOptimize(items);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * generated.bytes));
    state.counters["items"] = static_cast<double>(items);
}
BENCHMARK(BM_OpenLargeBook)->Unit(benchmark::kMillisecond);

void BM_FetchSimpleTags(benchmark::State& state) {
    const fs::path folder = fs::temp_directory_path() / "talu-bench-book";
    fs::create_directories(folder);
    std::string text;
    for (int i = 0; i < 10000; ++i) {
        text += "<BR>\n<WAIT TIME=\"10\">\n<B>\n<P>\n";
    }
    WriteFile(folder / "tags.talu", text);
    talu::script::Book book({});
    if (!book.OpenPath(talu::host::InsidePathFromHost(folder / "tags.talu"))) {
        state.SkipWithError("cannot open the generated book");
        return;
    }
    talu::script::TagRecord record;
    for (auto _ : state) {
        if (!book.FetchTag(record)) {
            book.SeekIndex(0);
            book.FetchTag(record);
        }
        benchmark::DoNotOptimize(record);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FetchSimpleTags);

}  // namespace
