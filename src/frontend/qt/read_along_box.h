#pragma once

#include <QGroupBox>

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

    /// Read-aloud cannot be used here: its box is disabled and the reason shown beside it.
    void DisableReadAloud(const QString& reason);
    /// Reads the controls back; a disabled read-aloud keeps what the reader chose before, for
    /// when a voice is installed.
    void Apply(app::ReadAlongSettings& settings) const;

  private:
    QCheckBox* copy_ = nullptr;
    QCheckBox* readAloud_ = nullptr;
    QLabel* readAloudReason_ = nullptr;
    QCheckBox* feed_ = nullptr;
    QSpinBox* port_ = nullptr;
};

}  // namespace talu::qt
