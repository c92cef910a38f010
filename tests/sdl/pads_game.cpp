// The game played with gamepads on the desktop backend: SDL's own virtual pads, plugged in and
// out while the game runs on SDL's dummy video driver, through SDL's joystick and game controller
// code as a real pad would go.
#include <gtest/gtest.h>
#include <unistd.h>

#include "game/assets.h"
#include "game/game.h"
#include "game/states.h"
#include "platform/sdl/sdl_state.h"  // SDL itself, for its virtual pads
#include "platform/status.h"
#include "platform/window.h"

namespace {

// A virtual pad laid out as a game controller: every standard button and axis.
struct VirtualPad {
    SDL_Joystick* joystick = nullptr;
    int device = -1;

    void plug() {
        SDL_VirtualJoystickDesc d{};
        d.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        d.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        d.naxes = SDL_CONTROLLER_AXIS_MAX;
        d.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
        d.name = "test pad";
        device = SDL_JoystickAttachVirtualEx(&d);
        ASSERT_GE(device, 0) << SDL_GetError();
        joystick = SDL_JoystickOpen(device);
        ASSERT_NE(joystick, nullptr) << SDL_GetError();
    }
    void set(SDL_GameControllerButton button, int down) {
        SDL_JoystickSetVirtualButton(joystick, button, down ? 1 : 0);
    }
    void unplug() {
        const SDL_JoystickID id = SDL_JoystickInstanceID(joystick);
        SDL_JoystickClose(joystick);
        for (int i = 0; i < SDL_NumJoysticks(); ++i)
            if (SDL_JoystickGetDeviceInstanceID(i) == id) SDL_JoystickDetachVirtual(i);
        joystick = nullptr;
    }
};

void passes(int n) {
    int32_t code = 0;
    for (int i = 0; i < n; ++i) ASSERT_EQ(game_loop_pass(&code), 1);
}

TEST(GamePads, StartPlaysTheDPadsSteerTheirRacquetsAndAnUnpluggedPadLetsGo) {
    ASSERT_EQ(chdir(ZARN_GAME_DATA), 0);
    ASSERT_EQ(plat_window_create(GAME_WINDOW_TITLE), 0) << plat_error_text();
    ASSERT_EQ(game_init(nullptr), 1) << game_startup_error;
    passes(3);
    ASSERT_EQ(game_state, GAME_MAIN_MENU);

    VirtualPad first, second;
    first.plug();
    second.plug();
    passes(2);

    // Start on either pad chooses "play" in the menu.
    second.set(SDL_CONTROLLER_BUTTON_START, 1);
    passes(2);
    second.set(SDL_CONTROLLER_BUTTON_START, 0);
    passes(2);
    ASSERT_EQ(game_state, GAME_LEFT_SERVES);

    // The first pad's d-pad is the left player's A and Z, the second's the right player's arrows.
    const int32_t left_y = left_racquet.y, right_y = right_racquet.y;
    first.set(SDL_CONTROLLER_BUTTON_DPAD_UP, 1);
    second.set(SDL_CONTROLLER_BUTTON_DPAD_DOWN, 1);
    passes(5);
    EXPECT_LT(left_racquet.y, left_y);
    EXPECT_GT(right_racquet.y, right_y);

    // Unplugged while held down: its racquet stops; the other pad still plays.
    second.unplug();
    passes(2);
    const int32_t right_after = right_racquet.y, left_after = left_racquet.y;
    passes(3);
    EXPECT_EQ(right_racquet.y, right_after);
    EXPECT_LT(left_racquet.y, left_after);

    // The window losing the focus lets go of what a pad holds, until it comes back.
    auto focus = [](Uint8 what) {
        SDL_Event e{};
        e.type = SDL_WINDOWEVENT;
        e.window.event = what;
        SDL_PushEvent(&e);
    };
    focus(SDL_WINDOWEVENT_FOCUS_LOST);
    passes(2);
    const int32_t left_unfocused = left_racquet.y;
    passes(3);
    EXPECT_EQ(left_racquet.y, left_unfocused);
    focus(SDL_WINDOWEVENT_FOCUS_GAINED);
    passes(3);
    EXPECT_LT(left_racquet.y, left_unfocused);

    first.set(SDL_CONTROLLER_BUTTON_DPAD_UP, 0);
    first.unplug();
    game_shutdown(nullptr);
    plat_window_destroy();
}

}  // namespace
