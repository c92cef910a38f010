// Gamepads as keys: every game controller SDL knows presses the keys a player at the keyboard
// would. The first pad plugged in plays the left racquet (up and down press A and Z), the second
// the right one (the Up and Down arrows); on any pad the d-pad's left and right press the Left and
// Right arrows, Start presses Enter and P, the south button Space, and Back Escape. Pads come and
// go at any time; a pad holds its keys only while its buttons are down, it is plugged in and the
// window has the focus.
#include <SDL.h>

#include <algorithm>
#include <cstdint>

#include "platform/sdl/sdl_state.h"

namespace {

// How far the left stick leans before it counts as the d-pad's up or down: about a third.
constexpr Sint16 kStickLean = 12000;

// The lowest racquet slot no open pad holds.
int free_slot() {
    for (int slot = 0;; ++slot) {
        const bool taken =
            std::any_of(sdl.pads.begin(), sdl.pads.end(), [&](const SdlPad& p) { return p.slot == slot; });
        if (!taken) return slot;
    }
}

void pad_added(int device_index) {
    SDL_GameController* c = SDL_GameControllerOpen(device_index);
    if (!c) return;
    const SDL_JoystickID id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(c));
    for (const SdlPad& p : sdl.pads)
        if (p.id == id) {  // told twice about one pad: keep the first opening
            SDL_GameControllerClose(c);
            return;
        }
    sdl.pads.push_back(SdlPad{c, id, free_slot()});
}

void pad_removed(SDL_JoystickID id) {
    for (size_t i = 0; i < sdl.pads.size(); ++i)
        if (sdl.pads[i].id == id) {
            SDL_GameControllerClose(sdl.pads[i].controller);
            sdl.pads.erase(sdl.pads.begin() + static_cast<std::ptrdiff_t>(i));
            return;
        }
}

}  // namespace

void sdl_pads_open() {
    // The window's focus decides, not SDL's: pads are read whether or not SDL thinks the window
    // is in front, and the focus events mute them.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    sdl.pads_muted = 0;
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) return;  // no pads: the keyboard alone
    sdl.pad_system = 1;
}

void sdl_pads_close() {
    for (const SdlPad& p : sdl.pads) SDL_GameControllerClose(p.controller);
    sdl.pads.clear();
    if (sdl.pad_system) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    sdl.pad_system = 0;
}

void sdl_pads_event(const SDL_Event& e) {
    if (e.type == SDL_CONTROLLERDEVICEADDED) pad_added(e.cdevice.which);
    if (e.type == SDL_CONTROLLERDEVICEREMOVED) pad_removed(e.cdevice.which);
}

void sdl_pads_press(uint8_t keys[KEY_SCANCODE_COUNT]) {
    if (sdl.pads_muted) return;
    for (const SdlPad& p : sdl.pads) {
        SDL_GameController* c = p.controller;
        auto down = [c](SDL_GameControllerButton b) { return SDL_GameControllerGetButton(c, b) != 0; };
        const Sint16 stick = SDL_GameControllerGetAxis(c, SDL_CONTROLLER_AXIS_LEFTY);
        const bool up = down(SDL_CONTROLLER_BUTTON_DPAD_UP) || stick < -kStickLean;
        const bool dn = down(SDL_CONTROLLER_BUTTON_DPAD_DOWN) || stick > kStickLean;
        auto press = [keys](bool held, SDL_Scancode sc) {
            if (held) keys[sc] = 1;
        };
        if (p.slot == 0) {
            press(up, SDL_SCANCODE_A);
            press(dn, SDL_SCANCODE_Z);
        } else if (p.slot == 1) {
            press(up, SDL_SCANCODE_UP);
            press(dn, SDL_SCANCODE_DOWN);
        }
        press(down(SDL_CONTROLLER_BUTTON_DPAD_LEFT), SDL_SCANCODE_LEFT);
        press(down(SDL_CONTROLLER_BUTTON_DPAD_RIGHT), SDL_SCANCODE_RIGHT);
        // Enter acts only in the menus and P only in play, so Start both chooses and pauses. The
        // south button must not press Enter too: a game started by it would serve at once.
        press(down(SDL_CONTROLLER_BUTTON_START), SDL_SCANCODE_RETURN);
        press(down(SDL_CONTROLLER_BUTTON_START), SDL_SCANCODE_P);
        press(down(SDL_CONTROLLER_BUTTON_A), SDL_SCANCODE_SPACE);
        press(down(SDL_CONTROLLER_BUTTON_BACK), SDL_SCANCODE_ESCAPE);
    }
}
