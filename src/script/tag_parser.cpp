#include "script/tag_parser.h"

#include "host/encoding.h"
#include "script/keywords.h"
#include "script/sjis_text.h"

namespace talu::script {

ItemClass ClassifyItem(std::string_view item, std::string& scratch) {
    ItemClass result;
    std::string_view text;
    if (item.find('\t') == std::string_view::npos) {
        text = Trim(item);  // items from the reader are already free of tabs
    } else {
        scratch = Normalize(item);
        text = scratch;
    }
    if (text.empty()) {
        result.id = kw::kLineComment;
        return result;
    }
    if (text[0] != '<' || text.size() < 2) {
        result.id = kw::kText;
        return result;
    }
    std::string_view inner = Trim(text.substr(1));
    if (!inner.empty() && inner[0] == '!') {
        result.id = kw::kLineComment;
        return result;
    }
    if (!inner.empty() && inner[0] == '#') {
        result.id = kw::kBlockComment;
        return result;
    }
    const bool doubleAngle = text[1] == '<';
    if (doubleAngle && FindText(text, ">>", 2) == npos) {
        result.id = kw::kText;
        return result;
    }
    std::size_t end = 0;
    while (end < inner.size() && inner[end] != ' ' && inner[end] != '>') {
        end += host::CharLength(inner, end);
    }
    result.name = inner.substr(0, end);
    result.rest = inner.substr(end);
    result.closing = !result.name.empty() && result.name[0] == '/';
    result.id = doubleAngle ? kw::kWrite : LookupKeyword(result.name);
    return result;
}

TakenAttribute TakeAttribute(std::string_view& rest) {
    TakenAttribute taken;
    // Text from the reader holds no tabs, so trimming is all that normalizing does here.
    std::string_view text = Trim(rest);
    std::size_t equals = FindChar(text, '=');
    if (equals == npos) {
        taken.stop = text.empty() || text == ">" ? AttributeStop::kEnd : AttributeStop::kNoEquals;
        return taken;
    }
    taken.name = Trim(text.substr(0, equals));
    int attribute = LookupKeyword(taken.name);
    if (!IsAttributeId(attribute)) {
        taken.stop = AttributeStop::kUnknownName;
        return taken;
    }
    std::string_view after = Trim(text.substr(equals + 1));
    std::size_t open = FindChar(after, '"');
    std::size_t close = open == npos ? npos : FindChar(after, '"', open + 1);
    if (close == npos) {
        taken.stop = AttributeStop::kUnquoted;
        return taken;
    }
    taken.stop = AttributeStop::kNone;
    taken.id = attribute;
    taken.value = after.substr(open + 1, close - open - 1);
    taken.skipped = after.substr(0, open);
    rest = after.substr(close + 1);
    return taken;
}

bool ParseAttribute(std::string_view& rest, int& id, std::string_view& value) {
    TakenAttribute taken = TakeAttribute(rest);
    if (taken.stop != AttributeStop::kNone) {
        return false;
    }
    id = taken.id;
    value = taken.value;
    return true;
}

bool ParseItem(std::string_view item, TagRecord& record, bool knownText) {
    record.Clear();
    std::string scratch;
    ItemClass cls;
    if (knownText) {
        cls.id = kw::kText;
    } else {
        cls = ClassifyItem(item, scratch);
    }
    if (cls.id == kw::kText || cls.id == kw::kLineComment) {
        record.SetCommand(cls.id);
        record.AddAttribute(kw::kSrc, item);
        return true;
    }
    if (!IsTagId(cls.id)) {
        return false;
    }
    record.SetCommand(cls.id);
    if (cls.closing) {
        record.MarkClosing();
    }
    if (cls.id == kw::kTimer && !cls.name.empty() && cls.name[0] >= '0' && cls.name[0] <= '9') {
        record.AddAttribute(kw::kTime, cls.name);
    }
    if (cls.id == kw::kWrite) {
        std::size_t open = FindText(item, "<<");
        if (open != npos) {
            std::size_t close = FindText(item, ">>", open + 2);
            if (close == npos) {
                return false;
            }
            record.AddAttribute(kw::kSrc, item.substr(open + 2, close - open - 2));
            return true;
        }
    }
    std::string_view rest = cls.rest;
    int id = 0;
    std::string_view value;
    while (ParseAttribute(rest, id, value)) {
        record.AddAttribute(id, value);
    }
    return true;
}

}  // namespace talu::script
