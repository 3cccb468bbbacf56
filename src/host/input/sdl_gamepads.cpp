#include "host/input/sdl_gamepads.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <cstdlib>

namespace talu::host {
namespace {

// A stick counts as pressed past half its travel and let go below a quarter, so a
// stick resting near the edge does not chatter.
constexpr int kPressAt = 16000;
constexpr int kLetGoAt = 8000;

constexpr const char* kDirectionNames[] = {"dpup",    "dpdown",      "dpleft",
                                           "dpright", "lefttrigger", "righttrigger"};

}  // namespace

SdlGamepads::SdlGamepads() {
    // Only the reader's window reads the pad; SDL has no window of ours to ask, so the caller
    // checks the focus, and SDL must not read for a window in the background either.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "0");
    // SDL's events would otherwise take SIGINT and SIGTERM, which end the player.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
        problem_ = SDL_GetError();
        return;
    }
    ready_ = true;
    // Controllers attached before we started (SDL announces them too; Open takes each once).
    for (int i = 0; i < SDL_NumJoysticks(); ++i) {
        Open(i);
    }
}

SdlGamepads::~SdlGamepads() {
    if (!ready_) {
        return;
    }
    for (auto& [instance, pad] : pads_) {
        SDL_GameControllerClose(pad.controller);
    }
    pads_.clear();
    SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

void SdlGamepads::Open(int deviceIndex) {
    if (!SDL_IsGameController(deviceIndex) ||
        pads_.contains(SDL_JoystickGetDeviceInstanceID(deviceIndex))) {
        return;  // a joystick SDL has no mapping for, or one open already
    }
    if (SDL_GameController* controller = SDL_GameControllerOpen(deviceIndex)) {
        const SDL_JoystickID instance =
            SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller));
        pads_[instance].controller = controller;
    }
}

void SdlGamepads::Close(std::int32_t instance) {
    // SDL has let its buttons go already, each with its event.
    if (const auto found = pads_.find(instance); found != pads_.end()) {
        SDL_GameControllerClose(found->second.controller);
        pads_.erase(found);
    }
}

void SdlGamepads::Button(std::int32_t instance, const std::string& name, bool pressed,
                         std::vector<PadButton>& out) {
    const auto found = pads_.find(instance);
    if (found == pads_.end()) {
        return;
    }
    std::vector<std::string>& held = found->second.held;
    const auto at = std::find(held.begin(), held.end(), name);
    if (pressed == (at != held.end())) {
        return;  // the stick and the D-pad share names: a name already down is no new press
    }
    if (pressed) {
        held.push_back(name);
    } else {
        held.erase(at);
    }
    out.push_back({instance, name, pressed});
}

void SdlGamepads::Axis(std::int32_t instance, int axis, int value, std::vector<PadButton>& out) {
    const auto found = pads_.find(instance);
    if (found == pads_.end()) {
        return;
    }
    bool* directions = found->second.directions;
    // travel: how far toward direction the axis is now.
    auto set = [&](Direction direction, int travel) {
        const bool now = directions[direction] ? travel >= kLetGoAt : travel > kPressAt;
        if (now != directions[direction]) {
            directions[direction] = now;
            Button(instance, kDirectionNames[direction], now, out);
        }
    };
    switch (axis) {
        case SDL_CONTROLLER_AXIS_LEFTX:
            set(kLeft, -value);
            set(kRight, value);
            break;
        case SDL_CONTROLLER_AXIS_LEFTY:
            set(kUp, -value);
            set(kDown, value);
            break;
        default:
            break;
    }
}

std::vector<PadButton> SdlGamepads::Poll() {
    std::vector<PadButton> out;
    if (!ready_) {
        return out;
    }
    SDL_PumpEvents();
    SDL_Event event;
    // Every event is taken, also the joystick and audio ones no one reads, so none piles up.
    while (SDL_PollEvent(&event) == 1) {
        switch (event.type) {
            case SDL_CONTROLLERDEVICEADDED:
                Open(event.cdevice.which);
                break;
            case SDL_CONTROLLERDEVICEREMOVED:
                Close(event.cdevice.which);
                break;
            case SDL_CONTROLLERBUTTONDOWN:
            case SDL_CONTROLLERBUTTONUP:
                if (const char* name = SDL_GameControllerGetStringForButton(
                        static_cast<SDL_GameControllerButton>(event.cbutton.button))) {
                    Button(event.cbutton.which, name, event.type == SDL_CONTROLLERBUTTONDOWN, out);
                }
                break;
            case SDL_CONTROLLERAXISMOTION:
                Axis(event.caxis.which, event.caxis.axis, event.caxis.value, out);
                break;
            default:
                break;
        }
    }
    return out;
}

}  // namespace talu::host
