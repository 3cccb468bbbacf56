#include "frontend/qt/form_overlay.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "frontend/qt/stage_view.h"
#include "frontend/qt/ui_text.h"
#include "host/fonts/face_names.h"
#include "script/keywords.h"

namespace talu::qt {
namespace {

/// The form's font at the stage's scale (heights are cells, as the engine measures them).
QFont FontFor(const host::FontOptions& options, double scale) {
    QFont font(QString::fromStdString(host::SubstituteFamily(options.face)));
    const int cell = options.height > 0   ? options.height
                     : options.height < 0 ? -options.height
                                          : 16;
    font.setPixelSize(std::max(1, static_cast<int>(cell * scale * 0.8)));
    font.setBold(options.weight >= 600);
    font.setItalic(options.italic);
    font.setUnderline(options.underline);
    font.setStrikeOut(options.strikeOut);
    return font;
}

}  // namespace

FormOverlay::FormOverlay(StageView& view, std::function<int(int)> command)
    : view_(view), command_(std::move(command)) {}

FormOverlay::~FormOverlay() {
    Clear();
}

void FormOverlay::Show(interp::Form& form) {
    Clear();
    form_ = &form;
    QWidget* previous = nullptr;
    for (const interp::FormControl& control : form.Controls()) {
        QWidget* widget = Make(control);
        widget->setProperty("formId", control.id);
        widgets_.emplace_back(widget);
        if (previous != nullptr) {
            QWidget::setTabOrder(previous, widget);
        }
        previous = widget;
    }
    Refresh();
    Place();
    for (const auto& widget : widgets_) {
        widget->show();
    }
    if (!widgets_.empty()) {
        widgets_.front()->setFocus();
    }
}

QWidget* FormOverlay::Make(const interp::FormControl& control) {
    const int id = control.id;
    switch (control.type) {
        case script::kw::kCheckbox: {
            auto* box = new QCheckBox(&view_);
            connect(box, &QCheckBox::toggled, this, [this, id](bool checked) {
                if (!refreshing_ && form_ != nullptr) {
                    form_->SetChecked(id, checked);
                }
            });
            return box;
        }
        case script::kw::kRadio: {
            auto* radio = new QRadioButton(&view_);
            radio->setAutoExclusive(false);  // the form decides which button of a name is on
            connect(radio, &QRadioButton::clicked, this, [this, id] {
                if (!refreshing_) {
                    command_(id);
                    Refresh();
                }
            });
            return radio;
        }
        case script::kw::kSubmit:
        case script::kw::kReset: {
            auto* button = new QPushButton(&view_);
            button->setAutoDefault(false);
            connect(button, &QPushButton::clicked, this, [this, id] {
                if (command_(id) != interp::kFormSubmitted) {
                    Refresh();  // RESET put the controls back
                }
            });
            return button;
        }
        default: {
            auto* edit = new QLineEdit(&view_);
            connect(edit, &QLineEdit::textEdited, this, [this, id](const QString& text) {
                if (form_ != nullptr) {
                    form_->SetText(id, ToCp932(text));
                }
            });
            return edit;
        }
    }
}

bool FormOverlay::PressFocused() {
    for (const auto& widget : widgets_) {
        auto* button = qobject_cast<QPushButton*>(widget.data());
        if (button != nullptr && button->hasFocus()) {
            button->click();
            return true;
        }
    }
    return false;
}

void FormOverlay::Refresh() {
    if (form_ == nullptr) {
        return;
    }
    refreshing_ = true;
    for (const auto& widget : widgets_) {
        const interp::FormControl* control =
            widget ? form_->Find(widget->property("formId").toInt()) : nullptr;
        if (control == nullptr) {
            continue;
        }
        if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
            const QString text = FromCp932(control->shownText);
            if (edit->text() != text) {
                edit->setText(text);
            }
        } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            if (button->isCheckable()) {
                button->setChecked(control->shownChecked);
            } else {
                button->setText(FromCp932(control->shownText));
            }
        }
    }
    refreshing_ = false;
}

void FormOverlay::Place() {
    if (form_ == nullptr) {
        return;
    }
    const QRect area = view_.StageArea();
    const double scale = view_.width() > 0 ? static_cast<double>(area.width()) / 640.0 : 1.0;
    for (const auto& widget : widgets_) {
        const interp::FormControl* control =
            widget ? form_->Find(widget->property("formId").toInt()) : nullptr;
        if (control == nullptr) {
            continue;
        }
        const stage::Rect& r = control->rect;
        widget->setGeometry(view_.ToView(QRect(r.left, r.top, r.Width(), r.Height())));
        widget->setFont(FontFor(control->font, scale));
    }
}

void FormOverlay::Clear() {
    for (const auto& widget : widgets_) {
        if (widget) {
            widget->hide();
            widget->deleteLater();  // a button may be the one whose click got us here
        }
    }
    widgets_.clear();
    form_ = nullptr;
}

}  // namespace talu::qt
