#include "host/audio/decode_limit.h"

#include <SDL2/SDL_error.h>
#include <SDL2/SDL_stdinc.h>
#include <malloc.h>

#include <algorithm>
#include <mutex>

namespace talu::host {
namespace {

struct ThreadLimit {
    bool active = false;
    bool reached = false;
    std::size_t maxBytes = 0;
    // What the thread holds of what it took since the limit began. Blocks from before (or from
    // another thread) freed meanwhile make it smaller than the truth, never larger.
    std::size_t liveBytes = 0;
    std::chrono::steady_clock::time_point deadline;
};

thread_local ThreadLimit limit;

SDL_malloc_func originalMalloc = nullptr;
SDL_calloc_func originalCalloc = nullptr;
SDL_realloc_func originalRealloc = nullptr;
SDL_free_func originalFree = nullptr;

// SDL's error text and thread-local slots: refusing them sends SDL round in circles reporting
// that it is out of memory.
constexpr std::size_t kAlwaysGiven = 512;

// Decoders grow their output a block at a time, or pass it through queues of small packets: the
// bound is on all they hold at once, and once reached (or once the time is up) no block but the
// smallest is given.
bool Refuse(std::size_t bytes) {
    if (!limit.active || bytes < kAlwaysGiven) {
        return false;
    }
    if (!limit.reached && (bytes > limit.maxBytes - std::min(limit.maxBytes, limit.liveBytes) ||
                           std::chrono::steady_clock::now() > limit.deadline)) {
        limit.reached = true;
    }
    return limit.reached;
}

void Took(void* block) {
    if (limit.active && block != nullptr) {
        limit.liveBytes += malloc_usable_size(block);
    }
}

void Gave(void* block) {
    if (limit.active && block != nullptr) {
        limit.liveBytes -= std::min(limit.liveBytes, malloc_usable_size(block));
    }
}

void* LimitedMalloc(std::size_t size) {
    if (Refuse(size)) {
        return nullptr;
    }
    void* block = originalMalloc(size);
    Took(block);
    return block;
}

void* LimitedCalloc(std::size_t count, std::size_t size) {
    const std::size_t bytes = size != 0 && count > SIZE_MAX / size ? SIZE_MAX : count * size;
    if (Refuse(bytes)) {
        return nullptr;
    }
    void* block = originalCalloc(count, size);
    Took(block);
    return block;
}

void* LimitedRealloc(void* block, std::size_t size) {
    const std::size_t before = block != nullptr ? malloc_usable_size(block) : 0;
    if (Refuse(size > before ? size - before : 0)) {
        return nullptr;
    }
    Gave(block);
    void* moved = originalRealloc(block, size);
    Took(moved != nullptr ? moved : block);  // a failed realloc keeps the old block
    return moved;
}

void LimitedFree(void* block) {
    Gave(block);
    originalFree(block);
}

}  // namespace

void DecodeLimit::Install() {
    static std::once_flag once;
    std::call_once(once, [] {
        SDL_GetMemoryFunctions(&originalMalloc, &originalCalloc, &originalRealloc, &originalFree);
        SDL_SetMemoryFunctions(LimitedMalloc, LimitedCalloc, LimitedRealloc, LimitedFree);
    });
}

DecodeLimit::DecodeLimit(std::size_t maxBytes, std::chrono::milliseconds time) {
    Install();
    // The thread's error buffer exists before anything is refused.
    SDL_SetError("%s", "decoding");
    limit = {true, false, maxBytes, 0, std::chrono::steady_clock::now() + time};
}

DecodeLimit::~DecodeLimit() {
    limit.active = false;
}

bool DecodeLimit::Reached() const {
    return limit.reached;
}

}  // namespace talu::host
