#pragma once

#include <QString>

class QMessageBox;
#include <string>
#include <string_view>

// Where the engine's CP932 text meets the desktop's Unicode, and the two-language choice of every
// text the window shows.
namespace talu::qt {

/// CP932 text as the desktop shows it.
QString FromCp932(std::string_view cp932);
/// Desktop text as the engine keeps it (characters CP932 cannot hold become "?").
std::string ToCp932(const QString& text);

/// The Japanese text for language 0, the English one for any other. Both are UTF-8.
QString Pick(int langMode, const char* japanese, const char* english);

/// Names a box's Yes, No and Cancel buttons in the reader's language: without it a Japanese
/// question would offer English buttons, which the old system's boxes never did on a Japanese
/// desktop.
void NameButtons(QMessageBox& box, int langMode);

}  // namespace talu::qt
