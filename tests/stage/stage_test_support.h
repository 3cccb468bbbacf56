#pragma once

// A stage wired to a scratch book folder, a screen and a virtual clock, recording every
// presentation and every message box, for the stage, character and picture-loading tests.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/clock.h"
#include "picture_test_support.h"
#include "pixel_test_support.h"
#include "script/keywords.h"
#include "script/messages.h"
#include "script/tag_record.h"
#include "stage/extension_map.h"
#include "stage/picture_loader.h"
#include "stage/plugin_list.h"
#include "stage/screen.h"
#include "stage/stage.h"
#include "stage/stage_controller.h"

namespace talu::stage::testing {

using Attributes = std::vector<std::pair<int, std::string>>;

/// The bookmark lines something (a picture, a character, the stage) writes.
template <typename Writer>
std::vector<std::string> Lines(const Writer& writer) {
    std::vector<std::string> lines;
    writer.WriteTags(lines);
    return lines;
}

/// A record of tag id with attributes (id, value); closing marks the closing form.
inline script::TagRecord Tag(int command, std::vector<std::pair<int, std::string>> attributes,
                             bool closing = false) {
    script::TagRecord tag;
    tag.SetCommand(command);
    for (const auto& [id, value] : attributes)
        tag.AddAttribute(id, value);
    if (closing)
        tag.MarkClosing();
    return tag;
}

/// The stage, its controller and everything around them, in one pixel format.
class StageRig {
  public:
    explicit StageRig(const PixelFormat& format = PixelFormat::Rgb565()) : stage(format) {
        PictureServices services;
        services.plugins = &plugins;
        services.extensions = &extensions;
        services.diagnostics = &diagnostics;
        services.format = format;
        services.bookFolder = folder.InsideFolder();
        loader = std::make_unique<PictureLoader>(std::move(services));
        EXPECT_TRUE(screen.Create(format));
        EXPECT_TRUE(stage.Create());
        StageOutput output;
        output.screen = &screen;
        output.effects.clock = &clock;
        stage.SetOutput(output);
        stage.SetPresentListener([this](const PresentCall& call) { presents.push_back(call); });
        StageServices stageServices;
        stageServices.stage = &stage;
        stageServices.loader = loader.get();
        stageServices.settings = &settings;
        stageServices.diagnostics = &diagnostics;
        stageServices.itemText = [] { return std::string("<TAG>"); };
        stageServices.curtainFlag = &curtainFlag;
        controller = std::make_unique<StageController>(std::move(stageServices));
    }

    /// Writes a solid 24-bit picture (colour 0xRRGGBB) with its top-left pixel in corner.
    void Picture(const std::string& name, int width, int height, uint32_t colour,
                 std::optional<uint32_t> corner = std::nullopt) {
        WriteFile(folder.Path() / name, MakeBmp(Bmp24(width, height, [&](int x, int y) {
                      return corner && x == 0 && y == 0 ? *corner : colour;
                  })));
    }

    /// True when the latest message box contains text.
    bool LastBoxHas(std::string_view text) const {
        return !boxes.boxes.empty() && boxes.boxes.back().find(text) != std::string::npos;
    }

    uint16_t StagePixel(int x, int y) const { return stage.StageSurface().Row(y)[x]; }
    uint16_t Native(uint32_t colour) const { return stage.Format().FromColour(colour); }

    /// True when the screen shows the whole composed stage.
    bool ScreenShowsStage() {
        Surface shown;
        return screen.CopyOut(shown) && shown.Bounds() == stage.StageSurface().Bounds() &&
               SameRect(shown, stage.StageSurface(), shown.Bounds());
    }

    /// Effect ids of the presentations so far.
    std::vector<int> Effects() const {
        std::vector<int> out;
        for (const auto& p : presents)
            out.push_back(p.effect);
        return out;
    }

    test::TempFolder folder;
    /// Empty unless a test scans for the built-in decoders and extractor.
    PluginList plugins;
    ExtensionMap extensions;
    RecordingBoxes boxes;
    script::Diagnostics diagnostics{boxes, script::kLangEnglish};
    std::unique_ptr<PictureLoader> loader;
    Screen screen;
    host::VirtualClock clock;
    StageSettings settings;
    std::atomic<int> curtainFlag{0};
    Stage stage;
    std::unique_ptr<StageController> controller;
    std::vector<PresentCall> presents;
};

}  // namespace talu::stage::testing
