// Saving and loading a bookmark of a book with 1,000 variables and a full stage of 20
// characters: a save runs at every P of an automatic book, a load every time the reader
// continues a story.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "app/bookmark_manager.h"
#include "stage/screen.h"
#include "stage/shrunk_picture.h"
#include "support/interpreter_rig.h"

namespace {

using talu::app::BookmarkManager;

// An 8 x 8 picture, 24 bits a pixel, bottom-up rows of 24 bytes.
std::string SmallBmp() {
    const auto le32 = [](std::uint32_t v) {
        return std::string{static_cast<char>(v), static_cast<char>(v >> 8),
                           static_cast<char>(v >> 16), static_cast<char>(v >> 24)};
    };
    std::string bmp = "BM" + le32(54 + 8 * 24) + le32(0) + le32(54);
    bmp += le32(40) + le32(8) + le32(8) + std::string("\x01\x00\x18\x00", 4) + le32(0) +
           le32(8 * 24) + le32(2835) + le32(2835) + le32(0) + le32(0);
    bmp += std::string(8 * 24, '\x40');
    return bmp;
}

struct Rig {
    talu::test::InterpreterRig rig;
    talu::interp::ClickFlags clicks{};
    // The screen the slot pictures are taken from, as the session's.
    talu::stage::Screen screen;
    BookmarkManager manager{talu::app::BookmarkServices{
        [](const std::string&) {},
        [] { return 1; },
        [] { return talu::app::LocalTime{}; },
        [](std::vector<std::string>& lines) {
            lines.push_back("<BGM SRC=\"Z:\\m.mid\" LOOP=\"1\">");
        },
        [this](talu::stage::Surface& out) { return screen.CopyOut(out); },
        {}}};
    std::unique_ptr<talu::interp::Interpreter> interpreter;

    Rig() {
        screen.Create(talu::stage::PixelFormat::Rgb565());
        screen.Draw([](talu::stage::Surface& s) {
            for (int y = 0; y < s.Height(); ++y) {
                for (int x = 0; x < s.Width(); ++x) {
                    s.Row(y)[x] = static_cast<std::uint16_t>(x * 37 + y * 101);  // no flat areas
                }
            }
            return s.Bounds();
        });
        rig.dir.Write("c.bmp", SmallBmp());
        std::string book;
        for (int i = 0; i < 20; ++i) {
            book += "<ENTER NAME=\"c" + std::to_string(i) +
                    "\" SRC=\"c.bmp\" ALIGN=\"LEFT\" VALIGN=\"TOP\">";
        }
        rig.dir.Write("tale.talu", book + "text<P>more<P>");
        interpreter = Make();
        interpreter->Open(rig.dir.Inside("tale.talu"));
        manager.Reset(interpreter->Book().Path());
        for (int i = 0; i < 1000; ++i) {
            interpreter->Variables().Variables().Set("variable" + std::to_string(i),
                                                     "value " + std::to_string(i * 7));
        }
        for (int i = 0; i < 1000; ++i) {
            talu::script::TagRecord record;
            if (interpreter->Step(record) != 1) {
                break;  // the first P: a save point
            }
        }
    }

    std::unique_ptr<talu::interp::Interpreter> Make() {
        talu::interp::InterpreterServices services = rig.Services(clicks);
        services.onSavePoint = [this] { manager.SavePoint(*interpreter); };
        return std::make_unique<talu::interp::Interpreter>(std::move(services));
    }
};

void BM_SaveSlot(benchmark::State& state) {
    Rig r;
    for (auto _ : state) {
        if (!r.manager.Save(*r.interpreter, 1)) {
            state.SkipWithError("save failed");
            break;
        }
    }
}
BENCHMARK(BM_SaveSlot)->Unit(benchmark::kMillisecond);

void BM_SavePoint(benchmark::State& state) {
    Rig r;
    for (auto _ : state) {
        r.manager.SavePoint(*r.interpreter);
    }
}
BENCHMARK(BM_SavePoint)->Unit(benchmark::kMillisecond);

// What a save adds for the slot's picture: the stage shrunk and made a PNG.
void BM_SlotPicture(benchmark::State& state) {
    Rig r;
    talu::stage::Surface shot;
    r.screen.CopyOut(shot);
    for (auto _ : state) {
        benchmark::DoNotOptimize(talu::host::EncodePng(talu::stage::ShrunkPicture(
            shot, talu::app::kSlotPictureWidth, talu::app::kSlotPictureHeight)));
    }
}
BENCHMARK(BM_SlotPicture)->Unit(benchmark::kMillisecond);

void BM_LoadSlot(benchmark::State& state) {
    Rig r;
    r.manager.Save(*r.interpreter, 1);
    for (auto _ : state) {
        auto file = r.manager.ReadForLoad(1, r.interpreter->Book());
        auto fresh = r.Make();
        if (!file || !r.manager.Restore(*fresh, *file, 1, {})) {
            state.SkipWithError("load failed");
            break;
        }
    }
}
BENCHMARK(BM_LoadSlot)->Unit(benchmark::kMillisecond);

}  // namespace
