#include "frontend/cli/choice_tree.h"

namespace talu::cli {

bool ChoiceTree::StartRun() {
    if (pending_.empty()) {
        return false;
    }
    replay_ = std::move(pending_.back());
    pending_.pop_back();
    taken_.clear();
    return true;
}

std::optional<int> ChoiceTree::Choose(const std::vector<int>& choosable, const std::string& state) {
    if (taken_.size() < replay_.size()) {
        taken_.push_back(replay_[taken_.size()]);
        return taken_.back();
    }
    if (choosable.empty() || !explored_.insert(state).second) {
        return std::nullopt;
    }
    // The other links are tried by later runs; pushed last-first so the lower ones come first.
    for (std::size_t i = choosable.size(); i-- > 1;) {
        std::vector<int> path = taken_;
        path.push_back(choosable[i]);
        pending_.push_back(std::move(path));
    }
    taken_.push_back(choosable.front());
    return taken_.back();
}

}  // namespace talu::cli
