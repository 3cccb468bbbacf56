#include "frontend/cli/listed_choices.h"

namespace talu::cli {

std::optional<int> ListedChoices::Choose(const std::vector<int>& choosable) {
    if (next_ < listed_.size()) {
        return listed_[next_++];
    }
    if (choosable.empty()) {
        return std::nullopt;
    }
    return choosable.front();
}

}  // namespace talu::cli
