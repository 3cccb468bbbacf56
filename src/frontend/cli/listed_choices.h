#pragma once

#include <cstddef>
#include <optional>
#include <utility>
#include <vector>

namespace talu::cli {

/// Which link the scripted reader of `run` takes at each choice: the links listed by --choose in
/// turn (indexes among the shown links, taken as they are, so a wrong one ends the run), then the
/// first link that can be chosen.
class ListedChoices {
  public:
    explicit ListedChoices(std::vector<int> listed) : listed_(std::move(listed)) {}

    /// The link to take, given the shown links that can be chosen (in order); nullopt when the
    /// list is used up and no link can be chosen.
    std::optional<int> Choose(const std::vector<int>& choosable);

  private:
    std::vector<int> listed_;
    std::size_t next_ = 0;
};

}  // namespace talu::cli
