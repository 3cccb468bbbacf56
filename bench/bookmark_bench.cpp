// Saving and loading a bookmark of a book with 1,000 variables and a full stage of 20
// characters: a save runs at every P of an automatic book, a load every time the reader
// continues a story.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>

#include "app/bookmark_manager.h"
#include "stage/screen.h"
#include "stage/shrunk_picture.h"
#include "stage/stage.h"
#include "support/interpreter_rig.h"

namespace {

using talu::app::BookmarkManager;

// A side x side picture, 24 bits a pixel, bottom-up rows (side a multiple of 4: no padding).
std::string Bmp(std::uint32_t side) {
    const auto le32 = [](std::uint32_t v) {
        return std::string{static_cast<char>(v), static_cast<char>(v >> 8),
                           static_cast<char>(v >> 16), static_cast<char>(v >> 24)};
    };
    const std::uint32_t bytes = side * side * 3;
    std::string bmp = "BM" + le32(54 + bytes) + le32(0) + le32(54);
    bmp += le32(40) + le32(side) + le32(side) + std::string("\x01\x00\x18\x00", 4) + le32(0) +
           le32(bytes) + le32(2835) + le32(2835) + le32(0) + le32(0);
    bmp += std::string(bytes, '\x40');
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
        [](std::vector<std::string>& lines) { lines.push_back("<BGM SRC=\"m.mid\" LOOP=\"1\">"); },
        [this](talu::stage::Surface& out) { return screen.CopyOut(out); },
        {},
        {},
        {},
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
        rig.dir.Write("c.bmp", Bmp(8));
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

// Slot 2 as slot 1 with its state block replaced by lines.
void WriteSlotWithState(Rig& r, const std::string& lines) {
    r.manager.Save(*r.interpreter, 1);
    std::ifstream in(r.rig.dir.Path() / "tale.01.bmk", std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::size_t start = bytes.rfind("###START_LIST###\r\n") + 18;
    bytes.replace(start, bytes.rfind("###END_LIST###") - start, lines);
    r.rig.dir.Write("tale.02.bmk", bytes);
}

void LoadSlotTwo(benchmark::State& state, Rig& r, bool accepted) {
    for (auto _ : state) {
        auto file = r.manager.ReadForLoad(2, r.interpreter->Book());
        if (file.has_value() != accepted) {
            state.SkipWithError("the slot was not taken as it should be");
            break;
        }
        if (file) {
            r.rig.stage.Create();  // a load begins from an empty stage, as the session's does
            auto fresh = r.Make();
            r.manager.Restore(*fresh, *file, 2, {});
        }
    }
}

// The costliest slot a load accepts: every kind of state tag as often as the player writes it,
// each naming a 640 x 480 picture (characters with a mask as large).
void BM_LoadLargestAcceptedSlot(benchmark::State& state) {
    Rig r;
    r.rig.dir.Write("big.bmp", Bmp(640));
    std::string lines =
        "<BACKGROUND SRC=\"big.bmp\">\r\n<WINDOW SRC=\"big.bmp\" >\r\n"
        "<CURSOR SRC=\"big.bmp\">\r\n";
    for (std::size_t i = 0; i < talu::stage::kCharacterSlots; ++i) {
        const std::string name = "c" + std::to_string(i);
        lines += "<ENTER NAME=\"" + name + "\" ALIGN=\"LEFT\" VALIGN=\"TOP\">\r\n<ACT NAME=\"" +
                 name + "\" SRC=\"big.bmp\" ALPHA=\"big.bmp\" >\r\n";
    }
    for (int i = 0; i < 64; ++i) {
        lines += "<ICON SRC=\"big.bmp\" TIME=\"100\" MODE=\"P\" >\r\n";
    }
    WriteSlotWithState(r, lines);
    LoadSlotTwo(state, r, true);
}
BENCHMARK(BM_LoadLargestAcceptedSlot)->Unit(benchmark::kMillisecond);

// A 1.3 MB slot of repeated BACKGROUND lines: refused before anything is decoded.
void BM_RefuseRepeatedBackgroundSlot(benchmark::State& state) {
    Rig r;
    r.rig.dir.Write("big.bmp", Bmp(640));
    std::string lines;
    while (lines.size() < (1300u << 10)) {
        lines += "<BACKGROUND SRC=\"big.bmp\">\r\n";
    }
    WriteSlotWithState(r, lines);
    LoadSlotTwo(state, r, false);
}
BENCHMARK(BM_RefuseRepeatedBackgroundSlot)->Unit(benchmark::kMillisecond);

}  // namespace
