#include "host/audio/decode_limit.h"

#include <SDL2/SDL_stdinc.h>

#include <mutex>

namespace talu::host {
namespace {

struct ThreadLimit {
    bool active = false;
    bool reached = false;
    std::size_t maxBytes = 0;
    std::chrono::steady_clock::time_point deadline;
};

thread_local ThreadLimit limit;

SDL_malloc_func originalMalloc = nullptr;
SDL_calloc_func originalCalloc = nullptr;
SDL_realloc_func originalRealloc = nullptr;
SDL_free_func originalFree = nullptr;

// Small blocks are always given: decoders' bookkeeping is not where a decode runs away, and
// their failure paths need it.
constexpr std::size_t kAlwaysGiven = 64 * 1024;

bool Refuse(std::size_t bytes) {
    if (!limit.active || bytes < kAlwaysGiven) {
        return false;
    }
    if (bytes > limit.maxBytes || std::chrono::steady_clock::now() > limit.deadline) {
        limit.reached = true;
        return true;
    }
    return false;
}

void* LimitedMalloc(std::size_t size) {
    return Refuse(size) ? nullptr : originalMalloc(size);
}

void* LimitedCalloc(std::size_t count, std::size_t size) {
    const std::size_t bytes = size != 0 && count > SIZE_MAX / size ? SIZE_MAX : count * size;
    return Refuse(bytes) ? nullptr : originalCalloc(count, size);
}

void* LimitedRealloc(void* block, std::size_t size) {
    return Refuse(size) ? nullptr : originalRealloc(block, size);
}

void LimitedFree(void* block) {
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
    limit = {true, false, maxBytes, std::chrono::steady_clock::now() + time};
}

DecodeLimit::~DecodeLimit() {
    limit.active = false;
}

bool DecodeLimit::Reached() const {
    return limit.reached;
}

}  // namespace talu::host
