#pragma once

#include <array>
#include <deque>

#include "script/tag_record.h"

namespace talu::app {

struct Settings;

/// The WAIT tag's saved speeds: up to 20 entries of the four current waits (text, character,
/// background, fade); a 21st push drops the oldest. Emptied when a book is opened.
class SpeedStack {
  public:
    static constexpr std::size_t kDepth = 20;

    /// WAIT: saves the current waits, then sets those the tag names (BACK, CHARACTER, TEXT,
    /// FADE; USER restores the reader's own value). /WAIT: restores the last saved waits.
    void Apply(const script::TagRecord& tag, Settings& settings);
    void Clear() { entries_.clear(); }
    std::size_t Size() const { return entries_.size(); }

  private:
    std::deque<std::array<int, 4>> entries_;
};

}  // namespace talu::app
