#pragma once

#include <cstddef>
#include <map>
#include <string>

namespace talu::cli {

/// Spots a run going round a loop that only counts: a choice met again and again at the same
/// place where nothing but numbers changed since the last time (a round counter, a score). Such
/// a loop never meets the same state twice, so the choice tree alone would follow it until the
/// run's step limit, path after path.
class CountingLoopWatch {
  public:
    /// Returns to one place, each with only numbers changed, that make a counting loop.
    static constexpr int kReturns = 3;

    /// Forgets what the last run met.
    void StartRun() { places_.clear(); }
    /// The run meets a choice at place with these variables; true when it has now come back to
    /// that place kReturns times in a row with only numbers changed.
    bool Met(const std::string& place, const std::map<std::string, std::string>& variables);

  private:
    struct Visit {
        std::map<std::string, std::string> variables;
        int countingReturns = 0;
    };
    std::map<std::string, Visit> places_;
};

}  // namespace talu::cli
