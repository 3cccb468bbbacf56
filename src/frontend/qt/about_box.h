#pragma once

class QWidget;

namespace talu::qt {

/// The About box: the old version texts, talu's own version, the Qt version and the licences of
/// what the player is built on.
void ShowAboutBox(QWidget* parent, int langMode);

}  // namespace talu::qt
