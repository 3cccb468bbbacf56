#pragma once

#include <string>
#include <string_view>

#include "frontend/cli/tag_reference.h"

// The authors' reference as one HTML page a language. Every word the player reads is written as
// <code class="kw">WORD</code>, which is what the reference's checks read back.
namespace talu::cli {

/// The page in Japanese (langMode 0) or English (1).
std::string TagReferenceHtml(const TagReference& reference, int langMode);

/// The text with &, <, > and " written as entities.
std::string EscapeHtml(std::string_view text);

}  // namespace talu::cli
