#pragma once

#include <cstddef>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace talu::cli {

/// Which links to take, run after run, so that together the runs try every choice of a book
/// once: depth-first, each run replaying the choices of a path found earlier and then taking the
/// first link of every new choice. A choice met again in the same state (same place, same
/// variables) is not explored a second time, so books whose menus lead back to themselves end.
class ChoiceTree {
  public:
    /// Starts the next run; false when every path has been tried.
    bool StartRun();
    /// The link to take at the run's next choice, given the indexes of the links that can be
    /// chosen and a text naming the state the book is in; nullopt ends the run (the state was
    /// explored before, or no link can be chosen).
    std::optional<int> Choose(const std::vector<int>& choosable, const std::string& state);
    /// The choices the current run has taken so far.
    const std::vector<int>& Taken() const { return taken_; }
    /// Paths still waiting to be tried.
    std::size_t Pending() const { return pending_.size(); }

  private:
    std::vector<std::vector<int>> pending_{{}};  // the first run replays nothing
    std::vector<int> replay_;
    std::vector<int> taken_;
    std::set<std::string> explored_;
};

}  // namespace talu::cli
