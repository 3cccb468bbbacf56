// Text drawing cost per character once its image is cached: the glyph copy alone, and a whole
// placement (measure, shadow, text, rectangle) as typing does it twice per character.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "host/encoding.h"
#include "host/fonts/font.h"
#include "interp/text_layout.h"
#include "interp/text_placement.h"
#include "stage/surface.h"

namespace {

using talu::host::CharLength;

// Sixty-four kana and kanji in CP932, the kind of text a page is made of.
std::vector<std::string> Characters() {
    std::string text = talu::host::Utf8ToCp932(
        "あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめも"
        "日本語文章表示速度測定用漢字愛情物語始終今昔春夏秋冬朝昼夜星月雪花風");
    std::vector<std::string> out;
    for (std::size_t i = 0; i < text.size(); i += CharLength(text, i)) {
        out.push_back(text.substr(i, CharLength(text, i)));
    }
    return out;
}

void BM_DrawCachedGlyph(benchmark::State& state) {
    talu::host::FontOptions options;
    options.face = std::string(talu::interp::kDefaultFace);
    options.height = static_cast<int>(state.range(0));
    auto font = talu::host::Font::Create(options);
    if (!font) {
        state.SkipWithError("no font installed");
        return;
    }
    std::vector<uint16_t> pixels(640 * 480);
    talu::host::PixelBuffer16 buffer{pixels.data(), 640, 640, 480};
    const std::vector<std::string> characters = Characters();
    for (const std::string& c : characters) {
        font->Draw(buffer, c, 0, 0, 0xFFFF);
    }
    std::size_t i = 0;
    for (auto _ : state) {
        const int x = static_cast<int>(i % 20) * 27 + 20;
        const int y = static_cast<int>(i / 20 % 14) * 30 + 20;
        font->Draw(buffer, characters[i % characters.size()], x, y, 0xFFFF);
        benchmark::ClobberMemory();
        ++i;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DrawCachedGlyph)->Arg(16)->Arg(27)->Arg(40);

void BM_PlaceCharacter(benchmark::State& state) {
    talu::interp::TextLayout layout;
    talu::stage::Surface layer;
    layer.Create(640, 480, talu::stage::PixelFormat::Rgb565());
    layer.Fill(0xFF00FF);
    const std::vector<std::string> characters = Characters();
    talu::interp::DrawingContext context(layer, layout.colour);
    talu::stage::Rect rectangle;
    std::size_t i = 0;
    for (auto _ : state) {
        if (!talu::interp::PlaceCharacter(layout, context, characters[i % characters.size()],
                                          rectangle)) {
            layout.penX = layout.window.left;  // page full: start the page again
            layout.penY = layout.window.top;
        }
        benchmark::DoNotOptimize(rectangle);
        ++i;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PlaceCharacter);

}  // namespace
