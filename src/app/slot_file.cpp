#include "app/slot_file.h"

#include <algorithm>
#include <array>

#include "host/encoding.h"
#include "script/keywords.h"
#include "script/sjis_text.h"
#include "script/tag_parser.h"
#include "script/tag_record.h"
#include "stage/stage.h"

namespace talu::app {
namespace {

namespace kw = script::kw;

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kStartList = "###START_LIST###";
constexpr std::string_view kEndList = "###END_LIST###";
constexpr std::size_t kBlocks = 6;

struct RestorableTag {
    int id;
    std::size_t most;  // lines of the kind one state block may hold
};

// The tags the state block's writers produce, each as often as they write it: PLUGIN per
// plug-in, ICON per wait-icon frame, CURSOR, TITLE; STAGE and SPACE; BACKGROUND, ENTER and ACT
// per character, and SUNGLASS of the stage; SCREEN, two FONTs, WINDOW and the style tags of the
// message window; BGM. Bounding each kind bounds the pictures a load decodes.
constexpr std::array kRestorableTags = {
    RestorableTag{kw::kPlugin, 64},
    RestorableTag{kw::kIcon, 64},
    RestorableTag{kw::kCursor, 1},
    RestorableTag{kw::kTitle, 1},
    RestorableTag{kw::kStage, 1},
    RestorableTag{kw::kSpace, 1},
    RestorableTag{kw::kBackground, 1},
    RestorableTag{kw::kEnter, stage::kCharacterSlots},
    RestorableTag{kw::kAct, stage::kCharacterSlots},
    RestorableTag{kw::kSunglass, 1},
    RestorableTag{kw::kScreen, 1},
    RestorableTag{kw::kFont, 2},
    RestorableTag{kw::kWindow, 1},
    RestorableTag{kw::kB, 1},
    RestorableTag{kw::kI, 1},
    RestorableTag{kw::kU, 1},
    RestorableTag{kw::kS, 1},
    RestorableTag{kw::kShadow, 1},
    RestorableTag{kw::kBgm, 1},
};

// The entry of kRestorableTags for a line that is one whole tag of those kinds, else nullptr.
const RestorableTag* RestorableKind(std::string_view line) {
    // One whole tag: its first ">" ends the line, so nothing else rides along behind it.
    if (line.size() < 3 || line.front() != '<' || script::FindChar(line, '>') != line.size() - 1) {
        return nullptr;
    }
    std::string scratch;
    const int id = script::ClassifyItem(line, scratch).id;
    for (const RestorableTag& tag : kRestorableTags) {
        if (tag.id == id) {
            return &tag;
        }
    }
    return nullptr;
}

void AppendBlock(std::string& out, const std::vector<std::string>& lines) {
    out.append(kStartList).append(kLineEnd);
    for (const std::string& line : lines) {
        out.append(line).append(kLineEnd);
    }
    out.append(kEndList).append(kLineEnd);
}

void AppendTable(std::string& out, const TableEntries& entries) {
    out.append(kStartList).append(kLineEnd);
    for (const auto& [key, value] : entries) {
        out.append(key).append(1, '\t').append(value).append(kLineEnd);
    }
    out.append(kEndList).append(kLineEnd);
}

void ReadTable(const std::vector<std::string_view>& lines, TableEntries& entries) {
    for (std::string_view line : lines) {
        // A line without a tab, or with an empty name, was always passed over.
        if (auto split = script::SplitEntry(line); split && !split->first.empty()) {
            entries.emplace_back(split->first, split->second);
        }
    }
}

bool IsPlainFileName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." &&
           script::FindChar(name, '\\') == script::npos &&
           script::FindChar(name, '/') == script::npos &&
           script::FindChar(name, ':') == script::npos;
}

// Block 5's line 2: the file up to the tab, then the index as its leading decimal digits
// ("-1", the top of a fresh slot, reads as 0).
bool ReadPosition(std::string_view line, SlotFile& slot) {
    const std::size_t tab = script::FindChar(line, '\t');
    if (tab == script::npos || tab == 0) {
        return false;
    }
    slot.positionFile = std::string(line.substr(0, tab));
    std::string_view digits = line.substr(tab + 1);
    long long index = 0;
    for (std::size_t i = 0; i < digits.size() && digits[i] >= '0' && digits[i] <= '9'; ++i) {
        index = index * 10 + (digits[i] - '0');
        if (index > 0x7FFFFFFF) {
            return false;
        }
    }
    slot.positionIndex = static_cast<int>(index);
    return true;
}

// Block 6, bounded so that executing it on a load stays quick.
bool ReadState(const std::vector<std::string_view>& lines, SlotFile& slot, std::string& problem) {
    std::size_t total = 0;
    for (std::string_view line : lines) {
        total += line.size() + kLineEnd.size();
    }
    if (lines.size() > kMaxStateLines || total > kMaxStateBytes) {
        problem = "the state block is longer than any stage writes";
        return false;
    }
    std::array<std::size_t, kRestorableTags.size()> seen{};
    for (std::string_view line : lines) {
        // The stage writes an empty line between the message window and the characters.
        const RestorableTag* kind = line.empty() ? nullptr : RestorableKind(line);
        if (!line.empty() && kind == nullptr) {
            problem = "the state block holds a tag a bookmark never writes: " + std::string(line);
            return false;
        }
        if (kind != nullptr &&
            ++seen[static_cast<std::size_t>(kind - kRestorableTags.data())] > kind->most) {
            problem = "the state block repeats a tag more often than any stage writes it";
            return false;
        }
        slot.state.emplace_back(line);
    }
    return true;
}

}  // namespace

std::string FormatSlotFile(const SlotFile& slot) {
    std::string out;
    AppendBlock(out, {slot.headerPosition, slot.date + '\t' + slot.comment});
    AppendTable(out, slot.substitutions);
    AppendTable(out, slot.variables);
    AppendTable(out, slot.bookmarks);
    AppendBlock(out,
                {slot.bookFile, slot.positionFile + '\t' + std::to_string(slot.positionIndex)});
    AppendBlock(out, slot.state);
    return out;
}

bool IsCleanCp932Line(std::string_view line) {
    for (std::size_t i = 0; i < line.size(); ++i) {
        const auto c = static_cast<unsigned char>(line[i]);
        if (host::IsLeadByte(c)) {
            if (i + 1 >= line.size() ||
                !host::IsTrailByte(static_cast<unsigned char>(line[i + 1]))) {
                return false;
            }
            ++i;
        } else if ((c < 0x20 && c != '\t') || c == 0x7F || c == 0x80 || c == 0xA0 || c >= 0xFD) {
            return false;
        }
    }
    return true;
}

bool IsRestorableStateLine(std::string_view line) {
    return RestorableKind(line) != nullptr;
}

std::optional<SlotFile> ParseSlotFile(std::string_view bytes, std::string& problem) {
    if (bytes.size() > kMaxSlotFileBytes) {
        problem = "the file is too large";
        return std::nullopt;
    }
    std::vector<std::vector<std::string_view>> blocks;
    bool inBlock = false;
    std::size_t lineNumber = 0;
    for (std::size_t start = 0; start < bytes.size();) {
        std::size_t end = bytes.find('\n', start);
        std::string_view line = bytes.substr(
            start, end == std::string_view::npos ? std::string_view::npos : end - start);
        start = end == std::string_view::npos ? bytes.size() : end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (line.size() > kMaxSlotLineBytes || !IsCleanCp932Line(line)) {
            problem = "line " + std::to_string(lineNumber) + " is not bookmark text";
            return std::nullopt;
        }
        if (!inBlock) {
            if (blocks.size() == kBlocks && !line.empty()) {
                // Whatever follows the sixth block would be read by nobody but an attacker.
                problem = "line " + std::to_string(lineNumber) + " follows the sixth block";
                return std::nullopt;
            }
            if (line == kStartList) {
                blocks.emplace_back();
                inBlock = true;
            }
        } else if (line == kEndList) {
            inBlock = false;
        } else {
            blocks.back().push_back(line);
        }
    }
    if (blocks.size() < kBlocks || inBlock) {
        problem = "the file ends before its sixth block is complete";
        return std::nullopt;
    }
    SlotFile slot;
    const auto& header = blocks[0];
    if (!header.empty()) {
        slot.headerPosition = std::string(header[0]);
    }
    if (header.size() > 1) {
        const std::size_t tab = script::FindChar(header[1], '\t');
        slot.date = std::string(header[1].substr(0, tab));
        if (tab != script::npos) {
            slot.comment = std::string(header[1].substr(tab + 1));
        }
    }
    ReadTable(blocks[1], slot.substitutions);
    ReadTable(blocks[2], slot.variables);
    ReadTable(blocks[3], slot.bookmarks);
    const auto& position = blocks[4];
    if (position.size() != 2 || !IsPlainFileName(position[0]) || !ReadPosition(position[1], slot)) {
        problem = "the position block is damaged";
        return std::nullopt;
    }
    slot.bookFile = std::string(position[0]);
    if (!ReadState(blocks[5], slot, problem)) {
        return std::nullopt;
    }
    return slot;
}

std::optional<std::string> FormatLoadableSlotFile(const SlotFile& slot, std::string& problem) {
    std::string bytes = FormatSlotFile(slot);
    std::optional<SlotFile> back = ParseSlotFile(bytes, problem);
    if (!back) {
        return std::nullopt;
    }
    SlotFile expected = slot;
    expected.positionIndex = std::max(expected.positionIndex, 0);
    if (!(*back == expected)) {
        problem = "a name or value would not read back as it is";
        return std::nullopt;
    }
    return bytes;
}

}  // namespace talu::app
