#include "frontend/cli/scripted_reader.h"

#include <cstdint>

#include "host/encoding.h"

namespace talu::cli {
namespace {

const char* TypeName(int type) {
    switch (type) {
        case script::kw::kCheckbox:
            return "CHECKBOX";
        case script::kw::kRadio:
            return "RADIO";
        case script::kw::kSubmit:
            return "SUBMIT";
        case script::kw::kReset:
            return "RESET";
        default:
            return "TEXT";
    }
}

int Centre(int low, int high) {
    return static_cast<int>(low + (std::int64_t{high} - low) / 2);
}

// One input for one control, as the reader would enter it.
void Enter(app::Player& player, interp::Form& form, const interp::FormControl& control,
           const std::string& value) {
    switch (control.type) {
        case script::kw::kText:
            form.SetText(control.id, value);
            break;
        case script::kw::kCheckbox:
            form.SetChecked(control.id, value == control.value || value == "on");
            break;
        case script::kw::kRadio:
            if (value == control.value) {
                player.FormCommand(control.id);
            }
            break;
        default:
            break;
    }
}

}  // namespace

bool ParseFormInput(std::string_view argument, FormInputs& inputs) {
    const std::size_t equals = argument.find('=');
    if (equals == 0 || equals == std::string_view::npos) {
        return false;
    }
    inputs.emplace_back(host::Utf8ToCp932(argument.substr(0, equals)),
                        host::Utf8ToCp932(argument.substr(equals + 1)));
    return true;
}

std::vector<int> ChoosableLinks(const interp::LinkSet& links) {
    std::vector<int> choosable;
    for (int k = 0; k < links.Count(); ++k) {
        if (links.Enabled(k) && !links.RectOf(k).IsEmpty()) {
            choosable.push_back(k);
        }
    }
    return choosable;
}

void TraceLinks(const interp::LinkSet& links, const TraceLine& line) {
    line("links " + std::to_string(links.Count()));
    for (int k = 0; k < links.Count(); ++k) {
        line("link " + std::to_string(k) + (links.Enabled(k) ? " 1 " : " 0 ") + links.Text(k));
    }
}

bool TakeLinkAsReader(app::Player& player, interp::Interpreter& interpreter, int k,
                      const TraceLine& line, std::string& problem) {
    interp::LinkSet& links = interpreter.Links();
    const std::string name = "link " + std::to_string(k);
    if (k < 0 || k >= links.Count()) {
        problem = name + " is not among the " + std::to_string(links.Count()) + " links shown";
        return false;
    }
    if (!links.Enabled(k)) {
        problem = name + " is disabled";
        return false;
    }
    const stage::Rect rect = links.RectOf(k);
    if (rect.IsEmpty()) {
        problem = name + " was not drawn: it lies below the message window";
        return false;
    }
    player.MouseMove(Centre(rect.left, rect.right), Centre(rect.top, rect.bottom));
    if (links.Highlighted() != k) {
        problem = name + " cannot be pointed at: another link covers it";
        return false;
    }
    line("choose " + std::to_string(k));
    player.Click();
    return true;
}

bool SubmitFormAsReader(app::Player& player, interp::Interpreter& interpreter,
                        const FormInputs& inputs, const TraceLine& line, std::string& problem) {
    player.ShowForm();
    interp::Form* form = interpreter.CurrentForm();
    if (form == nullptr) {
        problem = "no form is shown";
        return false;
    }
    line("form " + std::to_string(form->Controls().size()));
    int submit = 0;
    for (const interp::FormControl& control : form->Controls()) {
        const bool box =
            control.type == script::kw::kCheckbox || control.type == script::kw::kRadio;
        const stage::Rect& r = control.rect;
        line("control " + std::string(TypeName(control.type)) + ' ' + control.name + ' ' +
             (box ? control.value : control.shownText) + ' ' + std::to_string(r.left) + ' ' +
             std::to_string(r.top) + ' ' + std::to_string(std::int64_t{r.right} - r.left) + ' ' +
             std::to_string(std::int64_t{r.bottom} - r.top));
        if (submit == 0 && control.type == script::kw::kSubmit) {
            submit = control.id;
        }
    }
    if (submit == 0) {
        problem = "the form has no SUBMIT button";
        return false;
    }
    for (const auto& [name, value] : inputs) {
        for (const interp::FormControl& control : form->Controls()) {
            if (control.name == name) {
                Enter(player, *form, control, value);
            }
        }
    }
    line("submit");
    player.FormCommand(submit);
    return true;
}

}  // namespace talu::cli
