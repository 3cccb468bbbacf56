// Any bytes as a book, performed step by step on a headless stage: no crash, no hang, no
// undefined behaviour, whatever tags and values the book holds.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "host/clock.h"
#include "host/paths.h"
#include "interp/interpreter.h"
#include "script/diagnostics.h"
#include "script/keywords.h"
#include "stage/screen.h"

namespace {

class DiscardedBoxes : public talu::script::MessageBoxHost {
  public:
    void ShowMessageBox(std::string_view) override {}
};

// Most of a run's time goes to pixels (composing, dimming behind the window, fades), not to
// the book: a stage a sixteenth of the screen keeps every drawing path while making runs cheap.
// The message window still shows part of itself, so text is laid out, wrapped and paged.
constexpr int kStageWidth = 160;
constexpr int kStageHeight = 120;
// The book's folder, emptied before every run: a memo or snapshot that one book writes must not
// change what the next one does, or a failure the fuzzer finds would not repeat on its own.
class ScratchFolder {
  public:
    ScratchFolder()
        : path_(std::filesystem::temp_directory_path() /
                ("talu-fuzz-interpreter-" + std::to_string(::getpid()))) {}
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& Fresh() const {
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
        return path_;
    }

  private:
    std::filesystem::path path_;
};

// Enough steps for any small book to reach most tags; a loop stops here.
constexpr int kMaxSteps = 300;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace talu;
    static const ScratchFolder scratch;
    const std::filesystem::path book = scratch.Fresh() / "book.talu";
    {
        std::ofstream out(book, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }

    static DiscardedBoxes boxes;
    script::Diagnostics diagnostics(boxes, 1);
    host::VirtualClock clock;
    stage::Screen screen;
    stage::Stage stageLayers;
    screen.Create(stage::PixelFormat::Rgb565(), kStageWidth, kStageHeight);
    stageLayers.Create(kStageWidth, kStageHeight);
    stageLayers.SetOutput(stage::StageOutput{&screen, stage::EffectOptions{&clock}});
    interp::MessageDisplay display;
    stage::PluginList plugins;
    plugins.Scan();
    stage::ExtensionMap extensions;
    interp::ClickFlags clicks{};

    interp::InterpreterServices services;
    services.diagnostics = &diagnostics;
    services.programFolder = "Z:\\talu-fuzz-player\\";
    services.stage = &stageLayers;
    services.display = &display;
    services.plugins = &plugins;
    services.extensions = &extensions;
    services.clock = &clock;
    services.clicks = &clicks;
    services.fastForward = [] { return true; };  // W TIME does not sleep
    // Books of odd length are read with Latin words wrapped at spaces: the input alone decides,
    // so a failure repeats from it.
    services.readSettings = [wrap = size % 2 == 1](interp::EngineSettings& settings) {
        settings.wrapAtSpaces = wrap ? 1 : 0;
    };
    services.startWidth = kStageWidth;
    services.startHeight = kStageHeight;
    interp::Interpreter interpreter(std::move(services));
    if (!interpreter.Open(host::InsidePathFromHost(book))) {
        return 0;
    }
    script::TagRecord record;
    for (int step = 0; step < kMaxSteps; ++step) {
        record.Clear();
        const int result = interpreter.Step(record);
        if (result == interp::step::kBookEnd) {
            break;
        }
        if (result == interp::step::kForm && record.IsClosing()) {
            // A reader who presses every control of the form in turn.
            interpreter.ShowForm();
            const interp::Form* form = interpreter.CurrentForm();
            const int controls = form ? static_cast<int>(form->Controls().size()) : 0;
            for (int id = interp::kFirstFormCommand; id < interp::kFirstFormCommand + controls;
                 ++id) {
                if (interpreter.FormCommand(id) == interp::kFormSubmitted) {
                    interpreter.SubmitForm();
                    break;
                }
            }
            interpreter.CloseForm();
        }
        if (result == interp::step::kLinks) {
            interp::LinkSet& links = interpreter.Links();
            links.Build(record, interpreter.Variables());
            script::TagRecord chosen;
            if (!links.ResolveAtOnce(chosen)) {
                stageLayers.DrawLocked([&links](stage::Surface& composed, stage::Surface&) {
                    links.DrawLinks(composed);
                    links.Hover(links.RectOf(0).left, links.RectOf(0).top, composed);
                });
            }
            // Only links ahead of the reader, so a book cannot loop for ever on its links.
            std::string href;
            if (record.GetAttribute(script::kw::kHref, href) && !href.empty() && href[0] == '#') {
                auto label = interpreter.Book().FindLabel(href.substr(1));
                if (label &&
                    *label >= static_cast<std::size_t>(interpreter.Book().CurrentIndex())) {
                    interpreter.Variables().TakeLink(record);
                }
            }
        }
    }
    return 0;
}
