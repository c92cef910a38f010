// The program's spine: window messages, start-up, the frame routine, the quit sequence,
// shutdown and the message loop that runs one frame per pass.
#include "game/game.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "display/display.h"
#include "game/assets.h"
#include "game/states.h"
#include "imaging/clock.h"
#include "imaging/image.h"
#include "imaging/transition.h"
#include "input/keyboard.h"
#include "platform/status.h"
#include "sound/sound.h"
#include "sprites/bob.h"

char game_startup_error[256] = "";
int32_t game_sound_missing = 0;

namespace {

// The backdrop of the current state: the menus have their own, every other state the court.
const PixelImage* backdrop() {
    if (game_state == GAME_MAIN_MENU) return &main_menu_image;
    if (game_state == GAME_OPTIONS) return &options_image;
    return &court_image;
}

// What the platform said about its last failure, or the given reason when it said nothing.
const char* platform_reason(const char* otherwise) {
    const char* why = plat_error_text();
    return (why && *why) ? why : otherwise;
}

}  // namespace

int game_startup_failed(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vsnprintf(game_startup_error, sizeof game_startup_error, format, args);
    va_end(args);
    return 0;
}

int game_window_proc(const PlatMessage* message) {
    if (!message) return 0;
    switch (message->kind) {
        case PLAT_MSG_CREATE:
        case PLAT_MSG_PAINT:  // the picture comes only from the flips
            return 0;
        case PLAT_MSG_DESTROY: plat_post_quit(0); return 0;
        default: return 0;
    }
}

int game_init(void*) {
    game_startup_error[0] = '\0';
    game_sound_missing = 0;
    std::srand(clock_start());

    if (!display_init(640, 480, 8)) return game_startup_failed("%s", platform_reason("cannot open the display"));
    if (!assets_load_art()) return 0;
    if (!input_init() || !keyboard_init()) return game_startup_failed("cannot open the keyboard");
    if (!sound_init()) {
        // The game is playable without sound: say so once and go on silently.
        std::fprintf(stderr, "zarn-tennis: no sound device (%s); playing without sound\n",
                     platform_reason("the sound system cannot be started"));
        game_sound_missing = 1;
    }
    if (!assets_load_sounds()) return 0;

    const PlatRect screen{0, 0, display_width, display_height};
    display_clipper = display_attach_clipper(display_back, 1, &screen);
    plat_cursor_show(0);
    return 1;
}

void game_frame_work() {
    display_fill_surface(display_back, 0);
    if (display_lock_back()) {
        image_draw(backdrop(), back_pixels, back_pitch, 0);
        display_unlock_back();
    }
    keyboard_read();
    game_release_latches();
    game_state_step();
    display_flip();
}

int game_frame(void*) {
    clock_start();
    game_frame_work();
    clock_wait(FRAME_PERIOD_MS);

    // Escape acts after the frame has been shown.
    if (keyboard_state[DIK_ESCAPE] && !escape_latch) {
        if (game_state == GAME_MAIN_MENU || game_state == GAME_OPTIONS) game_quit_sequence();
        else game_state = GAME_MAIN_MENU;
        escape_latch = 1;
    }
    return 1;
}

void game_quit_sequence() {
    // With the queue full the destroy message cannot be posted; ask for the quit directly, so
    // that Escape always ends the program.
    if (plat_message_post(PLAT_MSG_DESTROY, 0) != PLAT_OK) plat_post_quit(0);
    sound_stop_all();
    screen_transition(TRANSITION_FADE_TO_BLACK, nullptr, 0);
}

int game_shutdown(void*) {
    assets_release();
    display_shutdown();
    sound_stop_all();
    sound_shutdown();
    input_shutdown();
    return 1;
}

int game_loop_pass(int32_t* exit_code) {
    PlatMessage message{};
    if (plat_message_take(&message)) {
        if (message.kind == PLAT_MSG_QUIT) {
            if (exit_code) *exit_code = message.param;
            return 0;
        }
        game_window_proc(&message);
    }
    game_frame(nullptr);
    return 1;
}

int game_main() {
    if (plat_window_create(GAME_WINDOW_TITLE) != PLAT_OK) {
        plat_report_error("zarn-tennis", platform_reason("cannot make the window"));
        return 1;
    }
    if (!game_init(nullptr)) {
        plat_report_error("zarn-tennis", game_startup_error);
        game_shutdown(nullptr);
        plat_window_destroy();
        return 1;
    }
    int32_t exit_code = 0;
    while (game_loop_pass(&exit_code)) {
    }
    game_shutdown(nullptr);
    plat_window_destroy();
    return exit_code;
}
