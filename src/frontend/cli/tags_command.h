#pragma once

#include <iosfwd>
#include <string>
#include <string_view>

// talu-cli tags --html DIR: the authors' reference of every tag, written from the player's
// keyword table and the descriptions built into talu-cli.
namespace talu::cli {

/// Writes DIR/ja/index.html, DIR/en/index.html and DIR/index.html (a choice of language) from
/// descriptions. Problems with the descriptions or the files go to err; returns the exit status.
int WriteTagReference(const std::string& folder, std::string_view descriptions, std::ostream& out,
                      std::ostream& err);

}  // namespace talu::cli
