#include "frontend/qt/display_mode.h"

#include <QCheckBox>
#include <QMessageBox>

#include "frontend/qt/ui_text.h"
#include "script/messages.h"

namespace talu::qt {

bool FullScreenWithoutAsking(DisplayChoice choice, QSize screen, bool& haveAnswer) {
    haveAnswer = true;
    if (choice != DisplayChoice::kAsk) {
        return choice == DisplayChoice::kFullScreen;
    }
    if (screen.width() <= 640 || screen.height() <= 480) {
        return true;
    }
    haveAnswer = false;
    return false;
}

bool AskFullScreen(QWidget* parent, int langMode, bool lastChoice, bool* dontAskAgain) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("talu"),
                    FromCp932(script::PlayerMessage(langMode, script::msg::kFullScreenQuestion)),
                    QMessageBox::Yes | QMessageBox::No, parent);
    NameButtons(box, langMode);
    box.setDefaultButton(lastChoice ? QMessageBox::Yes : QMessageBox::No);
    if (dontAskAgain != nullptr) {
        // The box owns the check box.
        auto* check = new QCheckBox(Pick(langMode, "次回から確認しない", "Don't ask again"));
        check->setObjectName(QStringLiteral("dontAskAgain"));
        box.setCheckBox(check);
    }
    const bool full = box.exec() == QMessageBox::Yes;
    if (dontAskAgain != nullptr) {
        *dontAskAgain = box.checkBox()->isChecked();
    }
    return full;
}

}  // namespace talu::qt
