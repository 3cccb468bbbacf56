#include "frontend/cli/item_checks.h"

#include <optional>
#include <string>

#include "frontend/cli/book_relative.h"
#include "host/encoding.h"
#include "script/keywords.h"
#include "script/sjis_text.h"
#include "script/tag_parser.h"

namespace talu::cli {
namespace {

namespace kw = script::kw;
using Problem = script::Book::ReadProblem;

std::string ReadProblemText(const Problem& problem, std::string_view bookFolder) {
    const std::string path = QuoteBookText(BookRelativePath(problem.path, bookFolder));
    switch (problem.kind) {
        case Problem::Kind::kIncludeNotFound:
            return "Included file " + path + " cannot be opened.";
        case Problem::Kind::kIncludeCycle:
            return "Included file " + path + " is already being read (an include cycle); " +
                   "the player skips it.";
        case Problem::Kind::kIncludeTooDeep:
            return "Includes nest too deep at " + path + "; the player skips it.";
        case Problem::Kind::kIncludeTooLarge:
            return "Included file " + path +
                   " would take the book past what the player reads through includes (64 MiB, "
                   "4 million items or 16384 file readings); the player skips it and every "
                   "include after it.";
        case Problem::Kind::kUnterminatedTag:
            return "Tag without its closing \">\"; it runs to the end of the file.";
        case Problem::Kind::kUnterminatedComment:
            return "Comment \"<#\" without its \"#>\"; it runs to the end of the file.";
    }
    return {};
}

// Items that the tag parser reads no attributes from.
bool HoldsNoAttributes(const script::Book::Item& item) {
    return item.kind == kw::kText || item.kind == kw::kLineComment ||
           item.kind == kw::kBlockComment ||
           (item.kind == kw::kWrite && script::Trim(item.text).starts_with("<<"));
}

// What the parser drops from a tag, as a message; empty when it drops nothing.
std::string AttributeProblem(std::string_view rest) {
    const std::string lostToo = "; the player ignores it and the attributes after it.";
    while (true) {
        const script::TakenAttribute taken = script::TakeAttribute(rest);
        switch (taken.stop) {
            case script::AttributeStop::kNone:
                if (!taken.skipped.empty()) {
                    return "Value of " + host::Cp932ToUtf8(taken.name) +
                           " is not in double quotes; the player takes the next quoted text " +
                           QuoteBookText(taken.value) + " for it.";
                }
                continue;
            case script::AttributeStop::kEnd:
                return {};
            case script::AttributeStop::kNoEquals: {
                std::string_view text = script::Trim(rest);
                if (text.ends_with('>')) {
                    text = script::Trim(text.substr(0, text.size() - 1));
                }
                return "Text " + QuoteBookText(text) +
                       " in the tag is not an attribute; the player ignores it.";
            }
            case script::AttributeStop::kUnknownName:
                if (taken.name.empty()) {
                    return "Attribute without a name" + lostToo;
                }
                return "Unknown attribute " + QuoteBookText(taken.name) + lostToo;
            case script::AttributeStop::kUnquoted:
                return "Value of " + host::Cp932ToUtf8(taken.name) + " is not in double quotes" +
                       lostToo;
        }
    }
}

void CheckTags(const script::Book& book, const std::vector<Place>& places, CheckReport& report) {
    const std::vector<script::Book::Item>& items = book.Items();
    std::string scratch;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (HoldsNoAttributes(items[i])) {
            continue;
        }
        const script::ItemClass cls = script::ClassifyItem(items[i].text, scratch);
        if (!script::IsTagId(cls.id)) {
            std::string tag = "<" + std::string(cls.name) + ">";
            report.Add(places[i], "Unknown tag " + QuoteBookText(tag) + "; the player skips it.");
            continue;
        }
        if (std::string dropped = AttributeProblem(cls.rest); !dropped.empty()) {
            report.Add(places[i], std::move(dropped));
        }
    }
}

// EVENT blocks nest and are matched as the reader skips them; a CURTAIN must close before the
// next one opens.
void CheckBlocks(const script::Book& book, const std::vector<Place>& places, CheckReport& report) {
    const std::vector<script::Book::Item>& items = book.Items();
    std::vector<std::size_t> openEvents;
    std::optional<std::size_t> openCurtain;
    std::string scratch;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i].kind != kw::kEvent && items[i].kind != kw::kCurtain) {
            continue;
        }
        const bool closing = script::ClassifyItem(items[i].text, scratch).closing;
        if (items[i].kind == kw::kEvent) {
            if (!closing) {
                openEvents.push_back(i);
            } else if (!openEvents.empty()) {
                openEvents.pop_back();
            }
        } else if (closing) {
            openCurtain.reset();
        } else if (openCurtain) {
            report.Add(places[i], "CURTAIN inside an open CURTAIN; the player refuses it.");
        } else {
            openCurtain = i;
        }
    }
    for (std::size_t event : openEvents) {
        report.Add(places[event],
                   "EVENT block without its </EVENT>; when its test fails the player skips the "
                   "rest of the book.");
    }
    if (openCurtain) {
        report.Add(places[*openCurtain],
                   "CURTAIN without its </CURTAIN>; the stage is never shown again.");
    }
}

}  // namespace

void CheckItems(const script::Book& book, const std::vector<Place>& places,
                std::string_view bookFolder, CheckReport& report) {
    for (const Problem& problem : book.ReadProblems()) {
        report.Add(places[problem.item], ReadProblemText(problem, bookFolder));
    }
    CheckTags(book, places, report);
    CheckBlocks(book, places, report);
}

}  // namespace talu::cli
