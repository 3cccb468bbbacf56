#include "frontend/qt/display_mode.h"

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

bool AskFullScreen(QWidget* parent, int langMode, bool lastChoice) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("talu"),
                    FromCp932(script::PlayerMessage(langMode, script::msg::kFullScreenQuestion)),
                    QMessageBox::Yes | QMessageBox::No, parent);
    NameButtons(box, langMode);
    box.setDefaultButton(lastChoice ? QMessageBox::Yes : QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

}  // namespace talu::qt
