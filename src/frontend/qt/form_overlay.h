#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <vector>

#include "interp/form.h"

namespace talu::qt {

class StageView;

/// A book's form as real controls over the stage: line edits, check boxes, radio buttons and
/// SUBMIT and RESET push buttons at the form's rectangles, scaled with the stage, in the book's
/// Tab order. What the reader types or ticks goes into the form at once; buttons and radio
/// buttons go through command, which answers as Player::FormCommand does.
class FormOverlay : public QObject {
  public:
    /// command runs a control's id (the form is read again afterwards); view carries the
    /// controls and outlives the overlay.
    FormOverlay(StageView& view, std::function<int(int id)> command);
    ~FormOverlay() override;

    /// Makes the controls of form (already shown, so its states are set). form stays alive
    /// until Clear.
    void Show(interp::Form& form);
    /// Takes every control away.
    void Clear();
    /// Places the controls again after the stage moved or changed its scale.
    void Place();
    /// Enter: the focused SUBMIT or RESET button is pressed, as Space presses it; false when
    /// no button of the form has the focus.
    bool PressFocused();
    /// The controls, in Tab order.
    const std::vector<QPointer<QWidget>>& Controls() const { return widgets_; }

  private:
    void Refresh();
    QWidget* Make(const interp::FormControl& control);

    StageView& view_;
    std::function<int(int)> command_;
    interp::Form* form_ = nullptr;
    std::vector<QPointer<QWidget>> widgets_;
    bool refreshing_ = false;
};

}  // namespace talu::qt
