#pragma once

#include <QGroupBox>

#include "app/settings.h"

class QCheckBox;
class QSlider;

namespace talu::qt {

/// The reader's volumes of music and sound effects (0 to 100, the player's own, never the
/// system's) and the mute while the window is in the background, in the Setting dialog.
class SoundSettingsGroup : public QGroupBox {
  public:
    SoundSettingsGroup(const app::Settings& settings, int langMode);
    /// Writes the controls into settings, as the dialog's OK does.
    void Apply(app::Settings& settings) const;

  private:
    QSlider* music_ = nullptr;
    QSlider* sound_ = nullptr;
    QCheckBox* muteInBackground_ = nullptr;
};

}  // namespace talu::qt
