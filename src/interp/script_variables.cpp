#include "interp/script_variables.h"

#include <cstdio>

#include "interp/expression.h"
#include "script/keywords.h"
#include "script/messages.h"

namespace talu::interp {
namespace {

// The book's path without its extension (the last "." after the last folder).
std::string_view WithoutExtension(std::string_view path) {
    std::size_t folder = path.find_last_of("\\/");
    std::size_t dot = path.rfind('.');
    if (dot == std::string_view::npos || (folder != std::string_view::npos && dot < folder)) {
        return path;
    }
    return path.substr(0, dot);
}

}  // namespace

ScriptVariables::ScriptVariables(script::Book& book, script::Diagnostics* diagnostics,
                                 host::Clock& clock)
    : book_(book), diagnostics_(diagnostics), clock_(clock) {}

void ScriptVariables::LoadMemos(std::string_view bookPath, int slot) {
    std::string base(WithoutExtension(bookPath));
    char slotText[16];
    std::snprintf(slotText, sizeof(slotText), ".%02d.memo", slot);
    bookmarkMemo_.Load(base + slotText);
    bookMemo_.Load(base + ".memo");
}

bool ScriptVariables::IsSet(std::string_view name) const {
    auto value = variables_.Find(name);
    if (!value) {
        value = bookmarks_.Find(name);
    }
    return value && *value != "0";
}

std::int32_t ScriptVariables::Evaluate(std::string_view expression) {
    ExpressionEvaluator evaluator(variables_, bookmarks_,
                                  static_cast<std::uint32_t>(clock_.NowMs()));
    std::int32_t value = evaluator.Evaluate(expression);
    if (value == kExpressionError && diagnostics_ != nullptr) {
        diagnostics_->ReportScriptError(book_.CurrentItemText(), script::err::kBadExpression, "");
    }
    return value;
}

bool ScriptVariables::Condition(std::string_view text) {
    if (text.empty()) {
        return false;
    }
    if (text[0] != '(') {
        return IsSet(text);
    }
    std::int32_t value = Evaluate(text);
    return value != kExpressionError && value != 0;
}

bool ScriptVariables::SetByAnswer(const script::TagRecord& record, script::StringTable& table) {
    std::string answer = record.AttributeText(script::kw::kAnswer);
    if (answer.empty()) {
        return false;
    }
    table.SetRecorded(answer, "1");
    return true;
}

void ScriptVariables::TakeLink(const script::TagRecord& record) {
    std::string answer = record.AttributeText(script::kw::kAnswer);
    if (!answer.empty()) {
        if (answer[0] == '(') {
            Condition(answer);  // evaluated for its assignments
        } else {
            SetByAnswer(record, variables_);
        }
    }
    book_.Jump(record.AttributeText(script::kw::kHref));
}

void ScriptVariables::Question(const script::TagRecord& record) {
    if (Condition(record.AttributeText(script::kw::kAnswer))) {
        book_.Jump(record.AttributeText(script::kw::kHref));
    }
}

void ScriptVariables::Event(const script::TagRecord& record) {
    if (record.IsClosing()) {
        return;
    }
    std::string answer = record.AttributeText(script::kw::kAnswer);
    bool run;
    if (answer.empty() || answer[0] != '(') {
        run = IsSet(answer);
    } else {
        std::int32_t value = Evaluate(answer);
        run = value != 0;  // a wrong expression lets the block run
    }
    if (!run) {
        book_.SkipEventBlock();
    }
}

MemoStore* ScriptVariables::MemoNamed(std::string_view keyword) {
    switch (script::LookupKeyword(keyword)) {
        case script::kw::kBook:
            return &bookMemo_;
        case script::kw::kBookmark:
            return &bookmarkMemo_;
        default:
            return nullptr;
    }
}

bool ScriptVariables::Memo(const script::TagRecord& record) {
    const std::string src = record.AttributeText(script::kw::kSrc);
    const std::string dest = record.AttributeText(script::kw::kDest);
    if (MemoStore* from = MemoNamed(src)) {
        std::string value;
        if (!from->Lookup(dest, value)) {
            return false;
        }
        variables_.SetRecorded(dest, value);
        return true;
    }
    if (MemoStore* to = MemoNamed(dest)) {
        if (script::LookupKeyword(src) == script::kw::kClear) {
            to->Erase();
            return true;
        }
        std::string value;
        variables_.Lookup(src, value);
        to->Put(src, value);
        to->Flush();
    }
    return true;
}

void ScriptVariables::Commit() {
    book_.Substitutions().CommitShadow();
    variables_.CommitShadow();
    bookmarks_.CommitShadow();
    bookmarkMemo_.Commit();
    bookMemo_.Commit();
}

}  // namespace talu::interp
