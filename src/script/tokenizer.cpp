#include "script/tokenizer.h"

#include "script/keywords.h"
#include "script/sjis_text.h"
#include "script/tag_parser.h"

namespace talu::script {

bool Tokenizer::ReadNormalizedLine() {
    if (!file_.ReadLine(line_)) {
        line_.clear();
        restStart_ = 0;
        return false;
    }
    NormalizeInPlace(line_);
    restStart_ = 0;
    return true;
}

std::string_view Tokenizer::Rest() const {
    std::string_view rest = std::string_view(line_).substr(restStart_);
    // The line is normalized already, so only blanks left of the rest need trimming.
    std::size_t begin = 0;
    while (begin < rest.size() && rest[begin] == ' ') {
        ++begin;
    }
    return rest.substr(begin);
}

bool Tokenizer::NextItem(RawItem& item) {
    if (restStart_ >= line_.size() || Rest().empty()) {
        if (!ReadNormalizedLine()) {
            return false;
        }
    } else {
        restStart_ = line_.size() - Rest().size();
    }
    item.text.clear();
    item.line = file_.LineNumber();
    item.unterminated = false;

    std::string scratch;
    std::string_view current = Rest();
    ItemClass cls = ClassifyItem(current, scratch);
    item.kind = cls.id;
    switch (cls.id) {
        case kw::kLineComment:
            item.text.assign(current);
            restStart_ = line_.size();
            return true;
        case kw::kBlockComment:
            ReadBlockComment(item);
            return true;
        case kw::kText:
            // A text run never starts at "<" unless it is a lone "<" or a "<<" without ">>";
            // searching past those keeps the reader moving.
            ReadTextRun(item, current.starts_with("<<") ? 2 : current.starts_with('<') ? 1 : 0);
            return true;
        default:
            break;
    }
    if (cls.id == kw::kWrite && current.starts_with("<<")) {
        std::size_t close = FindText(current, ">>");
        item.text.assign(current.substr(0, close + 2));
        restStart_ = line_.size() - current.size() + close + 2;
        return true;
    }
    ReadTag(item);
    return true;
}

void Tokenizer::ReadTextRun(RawItem& item, std::size_t searchFrom) {
    std::string_view current = Rest();
    while (true) {
        std::size_t open = FindChar(current, '<', searchFrom);
        if (open != npos) {
            item.text.append(current.substr(0, open));
            restStart_ = line_.size() - current.size() + open;
            return;
        }
        item.text.append(current);
        if (!ReadNormalizedLine()) {
            return;
        }
        current = line_;
        searchFrom = 0;
    }
}

void Tokenizer::ReadBlockComment(RawItem& item) {
    std::string_view current = Rest();
    while (true) {
        std::size_t close = FindText(current, "#>");
        if (close != npos) {
            item.text.append(current.substr(0, close + 2));
            restStart_ = line_.size();  // text after "#>" on its line is dropped
            return;
        }
        item.text.append(current);
        if (!ReadNormalizedLine()) {
            item.unterminated = true;
            return;
        }
        current = line_;
    }
}

void Tokenizer::ReadTag(RawItem& item) {
    std::string_view current = Rest();
    std::size_t quotes = 0;
    while (true) {
        std::size_t close = FindChar(current, '>');
        while (close != npos) {
            std::string_view head = current.substr(0, close + 1);
            quotes += CountChar(head, '"');
            if (quotes % 2 == 0) {
                item.text += ' ';
                item.text.append(head);
                restStart_ = line_.size() - current.size() + close + 1;
                return;
            }
            // The ">" stands inside a quoted value: keep going on the rest of the line.
            item.text.append(head);
            current = Trim(current.substr(close + 1));
            close = FindChar(current, '>');
        }
        item.text += ' ';
        item.text.append(current);
        if (!ReadNormalizedLine()) {
            item.unterminated = true;
            return;
        }
        current = line_;
    }
}

}  // namespace talu::script
