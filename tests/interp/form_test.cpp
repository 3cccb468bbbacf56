#include "interp/form.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "interp/interp_test_support.h"
#include "script/keywords.h"

namespace talu::interp {
namespace {

namespace kw = script::kw;
using stage::Rect;
using Pairs = std::map<std::string, std::string>;

script::TagRecord Input(std::initializer_list<std::pair<int, std::string_view>> attributes) {
    return test::Tag(0, attributes);
}

class FormTest : public ::testing::Test {
  protected:
    /// Adds the control of an INPUT made at (20, 20) with font height 27; returns its id.
    int Add(std::initializer_list<std::pair<int, std::string_view>> attributes) {
        return form.Add(ControlFromInput(Input(attributes), PenPoint{20, 20}, 27)).id;
    }

    /// Each control's flag as 1 or 0.
    std::string Checked(std::initializer_list<int> ids,
                        bool FormControl::*flag = &FormControl::shownChecked) {
        std::string flags;
        for (int id : ids) {
            flags += form.Find(id)->*flag ? '1' : '0';
        }
        return flags;
    }

    Form form;
    script::StringTable variables;
};

TEST(FormControls, SizesAndPlacesAsTheirTypeAsks) {
    const PenPoint pen{100, 50};
    // Four bytes of VALUE: (4 + 1) div 2 x 27 + 2 = 56 is less than 4 x 27, so 4 x 27 + 2.
    FormControl field = ControlFromInput(Input({{kw::kValue, "abcd"}}), pen, 27);
    EXPECT_EQ(std::tuple(field.type, field.rect), std::tuple(kw::kText, Rect{100, 50, 210, 79}));
    EXPECT_EQ(PenAfterControl(field, pen, 27), (PenPoint{210, 50}));

    const std::string wide(20, 'w');  // 10 cells: 272
    FormControl button =
        ControlFromInput(Input({{kw::kType, "submit"}, {kw::kValue, wide}}), pen, 27);
    EXPECT_EQ(std::tuple(button.type, button.rect),
              std::tuple(kw::kSubmit, Rect{100, 50, 372, 81}));

    FormControl box = ControlFromInput(Input({{kw::kType, "CheckBox"}}), pen, 27);
    // Centred: pen + 13 - 8.
    EXPECT_EQ(std::tuple(box.type, box.rect), std::tuple(kw::kCheckbox, Rect{105, 55, 120, 70}));
    EXPECT_EQ(PenAfterControl(box, pen, 27), (PenPoint{127, 50}));

    // TYPE=TEXT is no keyword: a text field. LEFT and TOP place it on the stage itself.
    FormControl placed = ControlFromInput(
        Input({{kw::kType, "TEXT"}, {kw::kLeft, "300"}, {kw::kTop, "7x"}, {kw::kWidth, "40"}}), pen,
        27);
    EXPECT_EQ(std::tuple(placed.type, placed.rect), std::tuple(kw::kText, Rect{300, 7, 340, 36}));

    FormControl odd = ControlFromInput(Input({{kw::kLeft, "-5"}, {kw::kWidth, "abc"}}), pen, 27);
    EXPECT_EQ(odd.rect, (Rect{100, 50, 210, 79}));  // values that are no numbers count not
}

TEST_F(FormTest, RadioButtonsFormGroupsByName) {
    const int a = Add({{kw::kType, "radio"}, {kw::kName, "q"}, {kw::kValue, "a"}});
    const int b = Add({{kw::kType, "radio"}, {kw::kName, "q"}, {kw::kValue, "b"}});
    const int other = Add({{kw::kType, "radio"}, {kw::kName, "r"}, {kw::kValue, "a"}});
    EXPECT_EQ(a, kFirstFormCommand);
    EXPECT_EQ(Checked({a, b, other}, &FormControl::checked), "101");
    variables.Set("q", "b");
    form.Show(variables);
    EXPECT_EQ(Checked({a, b, other}), "011");
    EXPECT_EQ(form.Command(a), 1);
    EXPECT_EQ(Checked({a, b, other}), "101");
    EXPECT_EQ(form.Command(kFirstFormCommand - 1), 0);
    EXPECT_EQ(form.Command(other + 1), 0);
}

TEST_F(FormTest, FieldsShowTheirVariableAndSubmittingStoresWhatTheReaderLeft) {
    const int text = Add({{kw::kName, "text"}, {kw::kValue, "typed"}});
    const int cleared = Add({{kw::kName, "cleared"}, {kw::kValue, "old"}});
    const int unchecked = Add({{kw::kType, "checkbox"}, {kw::kName, "x"}, {kw::kValue, "yes"}});
    const int checked = Add({{kw::kType, "checkbox"}, {kw::kName, "y"}});
    Add({{kw::kType, "radio"}, {kw::kName, "r"}, {kw::kValue, "one"}});
    const int two = Add({{kw::kType, "radio"}, {kw::kName, "r"}, {kw::kValue, "two"}});
    const int submit = Add({{kw::kType, "submit"}, {kw::kName, "button"}});
    const int other = Add({{kw::kType, "submit"}, {kw::kName, "unused"}, {kw::kValue, "no"}});
    const int word = Add({{kw::kName, "word"}});
    const int zero = Add({{kw::kName, "zero"}});
    variables.Set("cleared", "before");
    variables.Set("word", "hello");
    variables.Set("zero", "0");
    form.Show(variables);
    // A field shows its variable, "0" as nothing, and its own VALUE before any variable.
    EXPECT_EQ(std::tuple(form.Find(word)->shownText, form.Find(zero)->shownText,
                         form.Find(cleared)->shownText),
              std::tuple("hello", "", "old"));

    EXPECT_TRUE(form.SetText(cleared, ""));
    EXPECT_FALSE(form.SetText(unchecked, "not a field"));
    EXPECT_TRUE(form.SetChecked(checked, true));
    EXPECT_FALSE(form.SetChecked(two, true));  // radio buttons are chosen by command
    EXPECT_EQ(form.Command(two), 1);
    EXPECT_EQ(form.Command(text), 1);
    EXPECT_EQ(form.Command(submit), kFormSubmitted);
    form.Submit(variables);

    // Fields left empty ("cleared", "zero") and the submit button not pressed leave nothing.
    const Pairs submitted{{"text", "typed"}, {"x", "0"},       {"y", "on"},
                          {"r", "two"},      {"button", "on"}, {"word", "hello"}};
    EXPECT_EQ(Pairs(variables.Values().begin(), variables.Values().end()), submitted);
    EXPECT_FALSE(form.Find(unchecked)->checked);
    EXPECT_FALSE(form.Find(other)->pressed);
}

TEST_F(FormTest, ResetReturnsToTheRememberedState) {
    const int text = Add({{kw::kName, "t"}, {kw::kValue, "start"}});
    const int box = Add({{kw::kType, "checkbox"}, {kw::kName, "b"}, {kw::kValue, "v"}});
    const int first = Add({{kw::kType, "radio"}, {kw::kName, "r"}, {kw::kValue, "1"}});
    const int second = Add({{kw::kType, "radio"}, {kw::kName, "r"}, {kw::kValue, "2"}});
    const int reset = Add({{kw::kType, "reset"}, {kw::kValue, "Again"}});
    variables.Set("b", "v");
    form.Show(variables);
    EXPECT_EQ(form.Find(reset)->shownText, "Again");

    form.SetText(text, "changed");
    form.SetChecked(box, false);
    form.Command(second);  // a chosen radio button is remembered
    EXPECT_EQ(form.Command(reset), 1);
    EXPECT_EQ(form.Find(text)->shownText, "start");
    EXPECT_EQ(Checked({box, first, second}), "101");
}

TEST_F(FormTest, ABoxWithoutValueShowsAgainAsItWasSubmitted) {
    const int box = Add({{kw::kType, "checkbox"}, {kw::kName, "flag"}});
    const int submit = Add({{kw::kType, "submit"}});
    form.Show(variables);
    EXPECT_EQ(Checked({box}), "0");  // no variable: not checked

    form.SetChecked(box, true);
    form.Command(submit);
    form.Submit(variables);
    ASSERT_EQ(variables.Find("flag"), "on");

    Form again;
    const int shown =
        again.Add(ControlFromInput(Input({{kw::kType, "checkbox"}, {kw::kName, "flag"}}), {}, 27))
            .id;
    again.Show(variables);
    EXPECT_TRUE(again.Find(shown)->shownChecked);
}

TEST_F(FormTest, HundredsOfControls) {
    for (int i = 0; i < 600; ++i) {
        Add({{kw::kType, "radio"},
             {kw::kName, "r" + std::to_string(i % 3)},
             {kw::kValue, std::to_string(i)}});
    }
    const int last = kFirstFormCommand + 599;
    EXPECT_EQ(form.Controls().size(), 600u);
    EXPECT_EQ(form.Command(last), 1);
    // The first of the same group, another group's first.
    EXPECT_EQ(Checked({last, kFirstFormCommand + 2, kFirstFormCommand + 1}, &FormControl::checked),
              "101");
}

}  // namespace
}  // namespace talu::interp
