#pragma once

#include <QString>
#include <filesystem>
#include <optional>
#include <string>

class QWidget;

namespace talu::qt {

/// The inside path of the book to open for a file the reader chose: the file itself, or the book
/// inside an archive, asking which one in a list when it holds several. nullopt when nothing is
/// to be opened: problem says why in the reader's language (0 Japanese, 1 English), and stays
/// empty when the reader cancelled the list.
std::optional<std::string> BookToOpen(QWidget* parent, const std::filesystem::path& file,
                                      int langMode, QString& problem);

}  // namespace talu::qt
