#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct _SDL_GameController;

namespace talu::host {

/// A controller's button pressed or let go, by SDL's game-controller name ("a", "dpdown",
/// "leftshoulder"). The left stick gives the D-pad's names.
struct PadButton {
    /// Which controller (SDL's instance id), so a button held on two of them is two presses.
    std::int32_t controller = 0;
    std::string name;
    bool pressed = false;
};

/// Every game controller attached, now and later: SDL's game-controller part, started with the
/// object and quit with it. Interface thread only: SDL's events are taken there.
class SdlGamepads {
  public:
    SdlGamepads();
    ~SdlGamepads();
    SdlGamepads(const SdlGamepads&) = delete;
    SdlGamepads& operator=(const SdlGamepads&) = delete;

    /// False when SDL could not start its controllers (Problem says why); nothing is read then.
    bool Ready() const { return ready_; }
    const std::string& Problem() const { return problem_; }
    /// Takes SDL's events: controllers plugged in are opened, those pulled out closed (SDL lets
    /// their held buttons go first), and the buttons come out in the order they changed.
    std::vector<PadButton> Poll();
    /// How many controllers are open.
    std::size_t Attached() const { return pads_.size(); }

  private:
    /// The left stick's directions, each held as a D-pad button.
    enum Direction { kUp, kDown, kLeft, kRight, kDirections };
    struct Pad {
        _SDL_GameController* controller = nullptr;
        /// The buttons down now, by name.
        std::vector<std::string> held;
        bool directions[kDirections] = {};
    };

    void Open(int deviceIndex);
    void Close(std::int32_t instance);
    void Button(std::int32_t instance, const std::string& name, bool pressed,
                std::vector<PadButton>& out);
    void Axis(std::int32_t instance, int axis, int value, std::vector<PadButton>& out);

    bool ready_ = false;
    std::string problem_;
    std::map<std::int32_t, Pad> pads_;
};

}  // namespace talu::host
