#pragma once

#include <QString>
#include <filesystem>

namespace talu::qt {

/// Why a file cannot be a book, in the reader's language (0 Japanese, 1 English): missing, a
/// folder, unreadable, empty or not text. Empty when it may be one.
QString BookProblem(const std::filesystem::path& book, int langMode);

}  // namespace talu::qt
