#pragma once
/// \file
/// What the SDL backend's files share: the window and its renderer, the picture last shown, the
/// keys and mouse motion gathered from events, the open joysticks, the gamepads that press keys,
/// the display's pacing and why the backend last failed. Internal to the SDL backend.
#include <SDL.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/keys.h"

/// A gamepad that presses keys: its controller, SDL's instance id and the racquet it plays
/// (0 left, 1 right, 2 and on none).
struct SdlPad {
    SDL_GameController* controller;
    SDL_JoystickID id;
    int slot;
};

struct SdlState {
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    int vsync = 0;           ///< presents wait for the refresh
    int vsync_switches = 0;  ///< the renderer turns that wait off and on without rebuilding itself
    SDL_Texture* texture = nullptr;
    int32_t mode_w = 0, mode_h = 0;
    std::vector<uint32_t> frame;
    int frame_w = 0, frame_h = 0;
    uint8_t scancodes[KEY_SCANCODE_COUNT] = {};
    std::string error;
    int32_t mouse_dx = 0, mouse_dy = 0, mouse_dz = 0;  ///< gathered since the last take
    std::vector<SDL_Joystick*> joysticks;              ///< open, by SDL's instance id
    int joystick_system = 0;                           ///< SDL's joystick subsystem is started
    std::vector<SdlPad> pads;                          ///< the gamepads open, in the order plugged in
    int pad_system = 0;                                ///< SDL's game controller subsystem is started
    int pads_muted = 0;                                ///< the window has lost the focus
    uint64_t refresh_us = 16667;                       ///< the display's refresh period
    uint64_t present_every_us = 16667;                 ///< the least time between presents outside flips
    void (*tick_observer)(uint32_t, void*) = nullptr;  ///< a test's look at each tick reading
    void* tick_context = nullptr;
};

extern SdlState sdl;  ///< the backend's one state

/// Keeps why the backend failed, followed by SDL's own reason, for plat_error_text().
void sdl_set_error(const char* what);
/// Copies the last picture shown into the renderer's target, scaled, without presenting it;
/// nothing before the first picture.
void sdl_show_frame();
/// Closes the font and forgets every glyph made from it; the next text opens it again. Nothing to
/// do with the glyph table of the build without a font renderer.
void sdl_glyphs_release();
/// Takes SDL's keyboard state into the scancodes (after the events have been pumped).
void sdl_keys_refresh();
/// The event watch that gathers mouse motion and wheel notches as the desktop reports them. 1.
int sdl_mouse_watch(void* unused, SDL_Event* event);
/// Starts SDL's game controllers with the window; pads already plugged in arrive as events.
void sdl_pads_open();
/// Closes every pad and SDL's game controllers with the window.
void sdl_pads_close();
/// Opens a pad plugged in and closes one unplugged, from SDL's event; other events do nothing.
void sdl_pads_event(const SDL_Event& event);
/// Sets, in a keyboard snapshot indexed by scancode, the keys the pads' buttons hold now; nothing
/// while the window is out of focus.
void sdl_pads_press(uint8_t keys[KEY_SCANCODE_COUNT]);
