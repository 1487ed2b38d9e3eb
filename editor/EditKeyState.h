#pragma once

namespace Kelvo {

// The editor's flight keys as the control script publishes them with
// "NEW_KEY_EVENTS" in every frame in which one of them is held.
struct EditKeyState {
    bool left = false;
    bool right = false;
    bool forward = false;
    bool backward = false;
    bool action = false;
    bool up = false;
    bool down = false;

    bool anyHeld() const { return left || right || forward || backward || action || up || down; }
};

} // namespace Kelvo
