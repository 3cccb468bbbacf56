// Any run of stage tags (one per line) on a small stage: no crash, no hang, no undefined
// behaviour, whatever sizes, positions, names and effects the lines carry.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "host/clock.h"
#include "script/keywords.h"
#include "script/tag_parser.h"
#include "stage/screen.h"
#include "stage/stage.h"
#include "stage/stage_controller.h"

namespace {

using talu::stage::StageController;
using talu::stage::TagOutcome;

void Run(StageController& controller, const talu::script::TagRecord& tag) {
    int id = 0;
    tag.GetCommand(id);
    namespace kw = talu::script::kw;
    switch (id) {
        case kw::kStage:
            controller.StageTag(tag);
            break;
        case kw::kSpace:
            controller.SpaceTag(tag);
            break;
        case kw::kBackground:
            controller.BackgroundTag(tag);
            break;
        case kw::kKick:
            controller.KickTag(tag);
            break;
        case kw::kCurtain:
            controller.CurtainTag(tag);
            break;
        case kw::kSunglass:
            controller.SunglassTag(tag);
            break;
        case kw::kEnter:
            controller.EnterTag(tag);
            break;
        case kw::kAct:
            controller.ActTag(tag);
            break;
        case kw::kExit:
            controller.ExitTag(tag);
            break;
        default:
            break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    talu::host::VirtualClock clock;
    talu::stage::Screen screen;
    screen.Create(talu::stage::PixelFormat::Rgb565(), 16, 12);
    talu::stage::Stage stage;
    if (!stage.Create(32, 24))
        return 0;
    talu::stage::StageOutput output;
    output.screen = &screen;
    output.effects.clock = &clock;
    stage.SetOutput(output);
    talu::stage::StageServices services;
    services.stage = &stage;
    StageController controller(services);

    std::string_view input(reinterpret_cast<const char*>(data), size);
    int lines = 0;
    while (!input.empty() && lines++ < 64) {
        const std::size_t end = input.find('\n');
        const std::string_view line = input.substr(0, end);
        input = end == std::string_view::npos ? std::string_view() : input.substr(end + 1);
        talu::script::TagRecord tag;
        if (talu::script::ParseItem(line, tag))
            Run(controller, tag);
        stage.Recompose();
    }
    std::vector<std::string> tags;
    controller.WriteStageTags(tags);
    return 0;
}
