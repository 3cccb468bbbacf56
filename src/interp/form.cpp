#include "interp/form.h"

#include <cstdint>
#include <optional>
#include <utility>

#include "script/keywords.h"
#include "script/numbers.h"

namespace talu::interp {
namespace {

namespace kw = script::kw;

// Check boxes and radio buttons are 15-pixel squares centred on the line.
constexpr int kBoxSize = 15;
constexpr int kBoxHalf = 8;

// A size or offset of INPUT: its leading digits, or none when absent or not a number.
std::optional<int> Digits(const script::TagRecord& record, int id) {
    const auto value = record.FindAttribute(id);
    if (!value || value->empty() || value->front() < '0' || value->front() > '9') {
        return std::nullopt;
    }
    return script::ParseDigits(*value);
}

int ControlType(const script::TagRecord& record) {
    const auto type = record.FindAttribute(kw::kType);
    const int id = type ? script::LookupKeyword(*type) : 0;
    switch (id) {
        case script::kw::kCheckbox:
        case script::kw::kRadio:
        case script::kw::kSubmit:
        case script::kw::kReset:
            return id;
        default:
            return script::kw::kText;
    }
}

// A field or button is as wide as its text at half a cell per byte, but never narrower than
// four cells.
int TextWidth(std::string_view value, int h) {
    const std::int64_t cells = (static_cast<std::int64_t>(value.size()) + 1) / 2;
    const std::int64_t width = cells * h + 2;
    return script::ClampToInt(width < std::int64_t{4} * h ? std::int64_t{4} * h + 2 : width);
}

bool IsBox(int type) {
    return type == script::kw::kCheckbox || type == script::kw::kRadio;
}

// What a check box or radio button stands for: its VALUE, or "on" without one. A box is
// shown checked when its variable holds exactly this, so a submitted box shows again as it
// was submitted.
std::string_view BoxValue(const FormControl& control) {
    return control.value.empty() ? std::string_view("on") : std::string_view(control.value);
}

}  // namespace

FormControl ControlFromInput(const script::TagRecord& record, PenPoint pen, int fontHeight) {
    FormControl control;
    control.type = ControlType(record);
    record.GetAttribute(kw::kName, control.name);
    record.GetAttribute(kw::kValue, control.value);
    const int h = fontHeight;

    stage::Rect& rect = control.rect;
    if (const auto width = Digits(record, kw::kWidth)) {
        rect.right = *width;
    }
    if (const auto height = Digits(record, kw::kHeight)) {
        rect.bottom = *height;
    }
    if (const auto left = Digits(record, kw::kLeft)) {
        rect.left = script::SaturatingAdd(rect.left, *left);
        rect.right = script::SaturatingAdd(rect.right, *left);
    }
    if (const auto top = Digits(record, kw::kTop)) {
        rect.top = script::SaturatingAdd(rect.top, *top);
        rect.bottom = script::SaturatingAdd(rect.bottom, *top);
    }

    int defaultWidth = TextWidth(control.value, h);
    int defaultHeight = script::SaturatingAdd(h, control.type == script::kw::kText ? 2 : 4);
    PenPoint offset = pen;
    if (IsBox(control.type)) {
        defaultWidth = kBoxSize;
        defaultHeight = kBoxSize;
        offset = PenPoint{script::ClampToInt(std::int64_t{pen.x} + h / 2 - kBoxHalf),
                          script::ClampToInt(std::int64_t{pen.y} + h / 2 - kBoxHalf)};
    }
    if (rect.right == rect.left) {
        rect.right = script::SaturatingAdd(rect.left, defaultWidth);
    }
    if (rect.bottom == rect.top) {
        rect.bottom = script::SaturatingAdd(rect.top, defaultHeight);
    }
    if (rect.left == 0) {
        rect.left = offset.x;
        rect.right = script::SaturatingAdd(rect.right, offset.x);
    }
    if (rect.top == 0) {
        rect.top = offset.y;
        rect.bottom = script::SaturatingAdd(rect.bottom, offset.y);
    }
    return control;
}

PenPoint PenAfterControl(const FormControl& control, PenPoint pen, int fontHeight) {
    const int advance = IsBox(control.type) ? fontHeight : script::ClampToInt(control.rect.Width());
    return PenPoint{script::SaturatingAdd(pen.x, advance), pen.y};
}

host::FontOptions FontOf(const TextLayout& layout) {
    host::FontOptions font;
    font.face = layout.face;
    font.height = layout.height;
    font.weight = layout.weight;
    font.italic = layout.italic != 0;
    font.underline = layout.underline != 0;
    font.strikeOut = layout.strikeout != 0;
    return font;
}

const FormControl& Form::Add(FormControl control) {
    control.id = nextId_++;
    if (IsBox(control.type)) {
        if (control.type == script::kw::kRadio && radioGroups_.insert(control.name).second) {
            control.checked = true;
        }
        control.shownChecked = control.checked;
    } else {
        control.shownText = control.value;
    }
    controls_.push_back(std::move(control));
    return controls_.back();
}

const FormControl* Form::Find(int id) const {
    if (id < kFirstFormCommand || id >= nextId_) {
        return nullptr;
    }
    return &controls_[static_cast<std::size_t>(id - kFirstFormCommand)];
}

FormControl* Form::FindMutable(int id) {
    return const_cast<FormControl*>(std::as_const(*this).Find(id));
}

bool Form::SetText(int id, std::string_view text) {
    FormControl* control = FindMutable(id);
    if (control == nullptr || control->type != script::kw::kText) {
        return false;
    }
    control->shownText.assign(text);
    return true;
}

bool Form::SetChecked(int id, bool checked) {
    FormControl* control = FindMutable(id);
    if (control == nullptr || control->type != script::kw::kCheckbox) {
        return false;
    }
    control->shownChecked = checked;
    return true;
}

void Form::CheckRadio(FormControl& chosen) {
    for (FormControl& other : controls_) {
        if (other.type == script::kw::kRadio && other.name == chosen.name) {
            other.checked = false;
            other.shownChecked = false;
        }
    }
    chosen.checked = true;
    chosen.shownChecked = true;
}

void Form::Show(const script::StringTable& variables) {
    for (FormControl& control : controls_) {
        const std::string_view variable = variables.Find(control.name).value_or("");
        switch (control.type) {
            case script::kw::kText:
                if (control.value.empty() && !variable.empty() && variable != "0") {
                    control.value.assign(variable);
                    control.shownText.assign(variable);
                }
                break;
            case script::kw::kCheckbox:
                control.checked = variable == BoxValue(control);
                control.shownChecked = control.checked;
                break;
            case script::kw::kRadio:
                if (variable == BoxValue(control)) {
                    CheckRadio(control);
                }
                break;
            default:
                break;
        }
    }
}

int Form::Command(int id) {
    FormControl* control = FindMutable(id);
    if (control == nullptr) {
        return 0;
    }
    switch (control->type) {
        case script::kw::kRadio:
            CheckRadio(*control);
            return 1;
        case script::kw::kSubmit:
            control->pressed = true;
            ReadStates();
            return kFormSubmitted;
        case script::kw::kReset:
            for (FormControl& each : controls_) {
                if (each.type == script::kw::kText) {
                    each.shownText = each.value;
                } else if (IsBox(each.type)) {
                    each.shownChecked = each.checked;
                }
            }
            return 1;
        default:
            return 1;
    }
}

void Form::ReadStates() {
    for (FormControl& control : controls_) {
        if (IsBox(control.type)) {
            control.checked = control.shownChecked;
            control.value = control.checked ? std::string(BoxValue(control)) : std::string();
        } else if (control.type == script::kw::kSubmit) {
            if (control.pressed && !control.name.empty() && control.value.empty()) {
                control.value = "on";
            }
        } else if (control.type == script::kw::kText) {
            control.value = control.shownText;
        }
    }
}

void Form::Submit(script::StringTable& variables) const {
    for (const FormControl& control : controls_) {
        if (control.name.empty()) {
            continue;
        }
        switch (control.type) {
            case script::kw::kText:
                if (control.value.empty()) {
                    variables.RemoveRecorded(control.name);
                } else {
                    variables.SetRecorded(control.name, control.value);
                }
                break;
            case script::kw::kCheckbox:
                variables.SetRecorded(control.name, control.checked ? control.value : "0");
                break;
            case script::kw::kRadio:
                if (control.checked && !control.value.empty()) {
                    variables.SetRecorded(control.name, control.value);
                }
                break;
            case script::kw::kSubmit:
                if (control.pressed && !control.value.empty()) {
                    variables.SetRecorded(control.name, control.value);
                }
                break;
            default:
                break;
        }
    }
}

}  // namespace talu::interp
