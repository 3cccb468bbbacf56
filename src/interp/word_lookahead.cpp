#include "interp/word_lookahead.h"

#include <optional>
#include <string>

#include "interp/font_tag.h"
#include "script/keywords.h"
#include "script/tag_parser.h"
#include "script/variable_expansion.h"
#include "script/vocabularies.h"

namespace talu::interp {
namespace {

namespace kw = script::kw;

// Items looked at at most: a word cut by more tags than this breaks where it must.
constexpr int kMaxItems = 16;

// Items that leave the pen and the font alone: a pause or a sound inside a word does not end it.
bool LeavesLayout(int command) {
    return command == kw::kLineComment || command == kw::kBlockComment ||
           command == kw::kComment || command == kw::kW || command == kw::kWait ||
           command == kw::kSound;
}

bool IsStyle(int command) {
    return command == kw::kB || command == kw::kI || command == kw::kU || command == kw::kS ||
           command == kw::kShadow;
}

// The text a run or WRITE item types, as the book and the interpreter would hand it over.
std::string TypedText(script::TagRecord& record, int command, const LookaheadSources& sources) {
    if (command == kw::kWrite) {
        script::ExpandVariables(record, sources.variables);
        const std::string name = record.AttributeText(kw::kSrc);
        std::string value;
        if (!sources.variables.Lookup(name, value)) {
            sources.book.Substitutions().Lookup(name, value);
        }
        record.Clear();
        record.SetCommand(kw::kText);
        record.AddAttribute(kw::kSrc, value);
    } else {
        const std::string decoded = script::DecodeEntities(record.AttributeText(kw::kSrc));
        record.Clear();
        record.SetCommand(kw::kText);
        record.AddAttribute(kw::kSrc, decoded);
    }
    script::ExpandVariables(record, sources.variables);
    return record.AttributeText(kw::kSrc);
}

// A layout that measures as from does, to take font changes without touching from.
void CopyFont(const TextLayout& from, TextLayout& to) {
    to.face = from.face;
    to.height = from.height;
    to.skip = from.skip;
    to.colour = from.colour;
    to.weight = from.weight;
    to.italic = from.italic;
    to.underline = from.underline;
    to.strikeout = from.strikeout;
    to.shadow = from.shadow;
    to.baseFace = from.baseFace;
    to.baseHeight = from.baseHeight;
    to.baseSkip = from.baseSkip;
    to.baseColour = from.baseColour;
    to.RecreateFont();
}

}  // namespace

WordExtent MeasureContinuation(const LookaheadSources& sources) {
    WordExtent word;
    std::optional<TextLayout> scratch;  // made at the first change of font
    FontStack fonts = sources.fonts;
    bool baseFontTaken = sources.baseFontTaken;
    const auto changeFont = [&]() -> TextLayout& {
        if (!scratch) {
            CopyFont(sources.layout, scratch.emplace());
        }
        return *scratch;
    };
    const std::vector<script::Book::Item>& items = sources.book.Items();
    std::size_t index = static_cast<std::size_t>(sources.book.CurrentIndex());
    for (int n = 0; n < kMaxItems && index < items.size(); ++n, ++index) {
        script::TagRecord record;
        int command = 0;
        if (!script::ParseItem(items[index].text, record, items[index].kind == kw::kText) ||
            !record.GetCommand(command) || LeavesLayout(command)) {
            continue;
        }
        if (command == kw::kText || command == kw::kWrite) {
            const std::string text = TypedText(record, command, sources);
            std::size_t length = 0;
            AppendWord(word, MeasureWord(scratch ? *scratch : sources.layout, text, &length));
            if (length < text.size()) {
                return word;
            }
        } else if (IsStyle(command)) {
            TextLayout& layout = changeFont();
            layout.SetStyle(command, !record.IsClosing());
            layout.RecreateFont();
        } else if (command == kw::kFont && !record.FindAttribute(kw::kLeft) &&
                   !record.FindAttribute(kw::kTop)) {
            script::Substitute(sources.book.Substitutions(), record);
            script::ExpandVariables(record, sources.variables);
            ApplyFontTag(record, FontTagTargets{changeFont(), nullptr, fonts, baseFontTaken,
                                                sources.format});
        } else {
            return word;
        }
    }
    return word;
}

}  // namespace talu::interp
