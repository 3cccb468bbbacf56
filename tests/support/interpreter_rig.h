#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/clock.h"
#include "interp/interpreter.h"
#include "script/diagnostics.h"
#include "script/messages.h"
#include "stage/screen.h"
#include "support/temp_folder.h"

namespace talu::test {

/// Message boxes kept for the test to read.
class RecordedBoxes : public script::MessageBoxHost {
  public:
    void ShowMessageBox(std::string_view text) override { shown.emplace_back(text); }
    std::vector<std::string> shown;
};

/// A headless display for interpreters: virtual clock, screen, stage, message display and the
/// built-in plug-ins, with a book written into a temporary folder.
struct InterpreterRig {
    TempFolder dir;
    RecordedBoxes boxes;
    script::Diagnostics diagnostics{boxes, script::kLangEnglish};
    host::VirtualClock clock;
    stage::Screen screen;
    stage::Stage stage;
    interp::MessageDisplay display;
    stage::PluginList plugins;
    stage::ExtensionMap extensions;

    InterpreterRig() {
        stage.Create();
        stage.SetOutput(stage::StageOutput{&screen, stage::EffectOptions{&clock}});
        plugins.Scan();
    }

    /// Services for an interpreter on this display; the caller adds its own hooks.
    interp::InterpreterServices Services(interp::ClickFlags& clicks) {
        interp::InterpreterServices services;
        services.diagnostics = &diagnostics;
        services.programFolder = "Z:\\player\\";
        services.stage = &stage;
        services.display = &display;
        services.plugins = &plugins;
        services.extensions = &extensions;
        services.clock = &clock;
        services.clicks = &clicks;
        return services;
    }

    /// Writes the book and returns its inside path.
    std::string WriteBook(std::string_view text) {
        dir.Write("book.talu", text);
        return dir.Inside("book.talu");
    }
};

}  // namespace talu::test
