#include "frontend/cli/reader_actions.h"

#include "host/encoding.h"

namespace talu::cli {
namespace {

std::optional<int> Number(std::string_view text, int low, int high) {
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != text.npos) {
        return std::nullopt;
    }
    const int value = std::stoi(std::string(text));
    if (value < low || value > high) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

std::optional<int> ParseSlot(std::string_view text) {
    return Number(text, 0, app::BookmarkManager::kSlots - 1);
}

bool ParseReaderAction(std::string_view argument, ReaderActions& actions, std::string& problem) {
    problem =
        "--at needs N:ACTION with ACTION save[:S], load[:S], initialize:S, comment:TEXT, "
        "next-choice, hide-window or back:K (S a slot 0 to 9, K pages back)";
    const std::size_t colon = argument.find(':');
    const std::optional<int> wait = Number(argument.substr(0, colon), 1, 1000000000);
    if (colon == argument.npos || !wait) {
        return false;
    }
    const std::string_view action = argument.substr(colon + 1);
    const std::size_t split = action.find(':');
    const std::string_view name = action.substr(0, split);
    const std::optional<std::string_view> value =
        split == action.npos ? std::nullopt : std::optional(action.substr(split + 1));
    ReaderAction parsed;
    if (name == "comment" && value) {
        parsed.kind = ReaderAction::Kind::kComment;
        parsed.text = host::Utf8ToCp932(*value);
    } else if ((name == "next-choice" || name == "hide-window") && !value) {
        parsed.kind = name == "next-choice" ? ReaderAction::Kind::kNextChoice
                                            : ReaderAction::Kind::kHideWindow;
    } else if (name == "back" && value) {
        const std::optional<int> pages = Number(*value, 0, 1000000000);
        if (!pages) {
            return false;
        }
        parsed.kind = ReaderAction::Kind::kBack;
        parsed.pages = *pages;
    } else if (name == "save" || name == "load" || name == "initialize") {
        parsed.kind = name == "save"   ? ReaderAction::Kind::kSave
                      : name == "load" ? ReaderAction::Kind::kLoad
                                       : ReaderAction::Kind::kInitialize;
        if (value) {
            const std::optional<int> slot = ParseSlot(*value);
            if (!slot) {
                return false;
            }
            parsed.slot = *slot;
        } else if (parsed.kind == ReaderAction::Kind::kInitialize) {
            return false;
        }
    } else {
        return false;
    }
    actions.emplace(*wait, std::move(parsed));
    problem.clear();
    return true;
}

std::optional<app::LocalTime> ParseLocalTime(std::string_view text) {
    // YYYY-MM-DDTHH:MM
    if (text.size() != 16 || text[4] != '-' || text[7] != '-' || text[10] != 'T' ||
        text[13] != ':' || !Number(text.substr(0, 4), 0, 9999)) {
        return std::nullopt;
    }
    const auto month = Number(text.substr(5, 2), 1, 12);
    const auto day = Number(text.substr(8, 2), 1, 31);
    const auto hour = Number(text.substr(11, 2), 0, 23);
    const auto minute = Number(text.substr(14, 2), 0, 59);
    if (!month || !day || !hour || !minute) {
        return std::nullopt;
    }
    return app::LocalTime{*month, *day, *hour, *minute};
}

}  // namespace talu::cli
