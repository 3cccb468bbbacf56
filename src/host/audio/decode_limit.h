#pragma once

#include <chrono>
#include <cstddef>

namespace talu::host {

/// Bounds one decode through SDL and SDL2_mixer, whose decoders grow their output for as long
/// as a file lets them: while a DecodeLimit lives on a thread, once what SDL holds of what it
/// allocated there would pass maxBytes, or once the time is up, every further allocation fails,
/// and the decoder gives up as out of memory.
/// Other threads (the mixer's) are not affected.
class DecodeLimit {
  public:
    /// Routes SDL's allocations through the limit (to the allocator SDL had, so blocks from
    /// before stay valid). Once per process, before the first decode; any thread.
    static void Install();

    DecodeLimit(std::size_t maxBytes, std::chrono::milliseconds time);
    ~DecodeLimit();
    DecodeLimit(const DecodeLimit&) = delete;
    DecodeLimit& operator=(const DecodeLimit&) = delete;

    /// True once an allocation was refused.
    bool Reached() const;
};

}  // namespace talu::host
