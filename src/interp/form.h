#pragma once

#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "host/fonts/font.h"
#include "interp/text_layout.h"
#include "script/keywords.h"
#include "script/string_table.h"
#include "script/tag_record.h"
#include "stage/rect.h"

// The input controls of one FORM, without any toolkit: a frontend shows each control as a real
// widget, writes what the reader does into the shown state, and the form turns that state into
// script variables when its SUBMIT button is pressed.
namespace talu::interp {

/// The first command id a form hands out; each control takes the next one.
inline constexpr int kFirstFormCommand = 1500;
/// FormCommand's result for a pressed SUBMIT button.
inline constexpr int kFormSubmitted = script::kw::kSubmit;

/// One control of a form.
struct FormControl {
    /// The keyword of INPUT's TYPE: kw::kCheckbox, kRadio, kSubmit or kReset; a text field has
    /// kw::kText.
    int type = script::kw::kText;
    /// NAME: the variable the control reads and writes.
    std::string name;
    /// VALUE: a text field's text, a button's label, what a check box or radio button stands
    /// for; replaced by the reader's state when the form is submitted.
    std::string value;
    /// Position and size on the stage.
    stage::Rect rect;
    /// Command id, from kFirstFormCommand on.
    int id = 0;
    /// The remembered checked state (RESET returns to it).
    bool checked = false;
    /// A SUBMIT button that was pressed.
    bool pressed = false;
    /// The visible message window's font when the control was made.
    host::FontOptions font;
    /// What the on-screen control shows now: a text field's text or a button's label.
    std::string shownText;
    /// Whether the on-screen check box or radio button is checked now.
    bool shownChecked = false;
};

/// The controls of one FORM in INPUT order.
class Form {
  public:
    /// Adds control with the next command id (a text field or button shows its VALUE, the first
    /// radio button of a name starts checked) and returns it.
    const FormControl& Add(FormControl control);
    /// Every control in INPUT order.
    const std::vector<FormControl>& Controls() const { return controls_; }
    /// The control with a command id; null when it is not this form's.
    const FormControl* Find(int id) const;

    /// The reader typed into a text field; false when id is no text field of this form.
    bool SetText(int id, std::string_view text);
    /// The reader checked or unchecked a check box; false when id is no check box of this form.
    bool SetChecked(int id, bool checked);

    /// Shown at /FORM: text fields, check boxes and radio buttons take their state from the
    /// variables their NAMEs name.
    void Show(const script::StringTable& variables);
    /// A command from a control: 0 when id is not this form's, kFormSubmitted for a SUBMIT
    /// button (the controls' states are then read), else 1.
    int Command(int id);
    /// Stores the read states in variables (after Command gave kFormSubmitted).
    void Submit(script::StringTable& variables) const;

  private:
    FormControl* FindMutable(int id);
    void CheckRadio(FormControl& chosen);
    void ReadStates();

    std::vector<FormControl> controls_;
    std::set<std::string, std::less<>> radioGroups_;
    int nextId_ = kFirstFormCommand;
};

/// Makes the control an INPUT tag describes, sized and placed at pen (the visible pen) with
/// the visible font height; its id is given by Form::Add.
FormControl ControlFromInput(const script::TagRecord& record, PenPoint pen, int fontHeight);

/// Where the visible pen goes after a control made at pen.
PenPoint PenAfterControl(const FormControl& control, PenPoint pen, int fontHeight);

/// The font description a control copies from a layout.
host::FontOptions FontOf(const TextLayout& layout);

}  // namespace talu::interp
