#pragma once

#include <QGroupBox>
#include <functional>
#include <optional>

#include "app/read_along_settings.h"

class QCheckBox;
class QLabel;
class QSpinBox;

namespace talu::qt {

/// The settings dialog's part for readers who read along: copy each page to the clipboard,
/// read it aloud, and the text feed with its port. Controls are named "copyPageText",
/// "readAloud", "textFeed" and "textFeedPort".
class ReadAlongBox : public QGroupBox {
  public:
    ReadAlongBox(const app::ReadAlongSettings& settings, int langMode);

    /// Whether read-aloud can be used here: nullopt while that is being found out (said beside
    /// it), empty when it can, else why not (it is then disabled and the reason shown beside).
    void SetReadAloudProblem(const std::optional<QString>& problem);
    /// call runs when the box is first shown (the dialog's wide part opened).
    void WhenShown(std::function<void()> call) { whenShown_ = std::move(call); }
    /// Reads the controls back; a disabled read-aloud keeps what the reader chose before, for
    /// when a voice is installed.
    void Apply(app::ReadAlongSettings& settings) const;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    QCheckBox* copy_ = nullptr;
    QCheckBox* readAloud_ = nullptr;
    QLabel* readAloudReason_ = nullptr;
    QCheckBox* feed_ = nullptr;
    QSpinBox* port_ = nullptr;
    int langMode_ = 0;
    std::function<void()> whenShown_;
};

}  // namespace talu::qt
