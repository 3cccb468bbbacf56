#pragma once

#include <QString>

namespace talu::qt {

/// Puts a page's text on the desktop's clipboard, where a dictionary tool beside the window
/// picks it up. Interface thread only.
void CopyPageText(const QString& text);

}  // namespace talu::qt
