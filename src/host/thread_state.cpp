#include "host/thread_state.h"

#include <SDL2/SDL_thread.h>

namespace talu::host {

void ReleaseThreadState() {
    SDL_TLSCleanup();
}

}  // namespace talu::host
