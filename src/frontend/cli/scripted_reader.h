#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/player.h"
#include "interp/interpreter.h"

// What the headless reader does where a book asks it something: it points at a link and clicks,
// or fills in a form and presses its submit button, as a reader at the window would.
namespace talu::cli {

/// Writes one trace line (CP932).
using TraceLine = std::function<void(const std::string&)>;

/// NAME=VALUE pairs (CP932) the reader enters into every form.
using FormInputs = std::vector<std::pair<std::string, std::string>>;

/// Adds one "NAME=VALUE" argument (UTF-8) to inputs in the book's CP932; false when it has no
/// "=" or no name.
bool ParseFormInput(std::string_view argument, FormInputs& inputs);

/// The shown links a reader can choose: enabled and drawn, in order.
std::vector<int> ChoosableLinks(const interp::LinkSet& links);

/// Traces the links on screen: "links N", then "link K ENABLED ALT" for each.
void TraceLinks(const interp::LinkSet& links, const TraceLine& line);

/// Takes shown link k: traces "choose K", moves the mouse to the centre of its rectangle and
/// clicks. False with a problem text when it cannot be chosen (no such link, disabled, not
/// drawn, or another link lies under its centre); nothing is traced or clicked then.
bool TakeLinkAsReader(app::Player& player, interp::Interpreter& interpreter, int k,
                      const TraceLine& line, std::string& problem);

/// Shows the pending form and traces it ("form N", then "control TYPE NAME VALUE X Y W H" for
/// each), enters inputs, traces "submit" and presses the first SUBMIT button. False with a
/// problem text when the form has no SUBMIT button.
bool SubmitFormAsReader(app::Player& player, interp::Interpreter& interpreter,
                        const FormInputs& inputs, const TraceLine& line, std::string& problem);

}  // namespace talu::cli
