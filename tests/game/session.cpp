// A whole scripted session of the game on the headless backend, as a program of its own so that
// it can run under a memory checker: start-up, both menus, a few points, a pause, Escape back to
// the menu, the quit sequence, shutdown. The sound output is pulled every frame, so the mixer
// runs too. Exit code 0 when every step of the script reached the state it expects, else 1 with
// the step named on stderr.
#include <unistd.h>

#include <cstdio>

#include "game/assets.h"
#include "game/game.h"
#include "game/states.h"
#include "input/keyboard.h"
#include "platform/headless/headless.h"
#include "platform/window.h"
#include "sprites/bob.h"

namespace {

int32_t g_exit_code = -1;
int g_ended = 0;  // the quit message has been taken

// One pass of the message loop with the keys as they are held, and the 20 ms of sound that the
// output would pull meanwhile.
void pass() {
    if (g_ended) return;
    if (!game_loop_pass(&g_exit_code)) g_ended = 1;
    static int16_t out[2 * 960];
    headless_audio_pull(out, 960);
}

void passes(int n) {
    for (int i = 0; i < n; ++i) pass();
}

// A key held for two frames, then let go for two (which frees its latch).
void tap(int key) {
    headless_key_set(key, 1);
    passes(2);
    headless_key_set(key, 0);
    passes(2);
}

int expect(bool ok, const char* step) {
    if (!ok) std::fprintf(stderr, "session: %s (state %d)\n", step, game_state);
    return ok ? 1 : 0;
}

int run() {
    if (!expect(plat_window_create(GAME_WINDOW_TITLE) == 0, "the window")) return 0;
    if (!expect(game_init(nullptr) == 1, game_startup_error)) return 0;

    // Window messages reach the window procedure one a frame, in the menus as in play.
    plat_message_post(PLAT_MSG_PAINT, 0);
    plat_message_post(PLAT_MSG_OTHER, 0);
    passes(5);
    if (!expect(game_state == GAME_MAIN_MENU && welcome_played, "the main menu with its welcome")) return 0;

    // The options menu: the fast ball, then back.
    headless_key_set(DIK_RIGHT, 1);
    pass();
    headless_key_set(DIK_RIGHT, 0);
    tap(DIK_RETURN);
    if (!expect(game_state == GAME_OPTIONS, "into the options")) return 0;
    tap(DIK_RIGHT);
    tap(DIK_RIGHT);
    tap(DIK_RETURN);
    if (!expect(speed_option == 3 && (ball.vx == 11 || ball.vx == -11), "the fast ball chosen")) return 0;
    headless_key_set(DIK_DOWN, 1);
    pass();
    headless_key_set(DIK_DOWN, 0);
    tap(DIK_RETURN);
    if (!expect(game_state == GAME_MAIN_MENU, "back to the main menu")) return 0;

    // A new game: serve, and let three points be won, serving again after each.
    headless_key_set(DIK_LEFT, 1);
    pass();
    headless_key_set(DIK_LEFT, 0);
    tap(DIK_RETURN);
    if (!expect(game_state == GAME_LEFT_SERVES, "a new game")) return 0;
    for (int frame = 0; frame < 1500 && left_score + right_score < 3; ++frame) {
        if (game_state != GAME_PLAYING) {
            tap(DIK_SPACE);
        } else {
            // The left racquet wanders so that some balls are returned.
            headless_key_set(DIK_A, (frame / 20) % 3 == 0);
            headless_key_set(DIK_Z, (frame / 20) % 3 == 1);
            pass();
        }
    }
    headless_key_set(DIK_A, 0);
    headless_key_set(DIK_Z, 0);
    if (!expect(left_score + right_score == 3, "three points")) return 0;

    // Serve once more, pause the rally and take it up again.
    for (int i = 0; i < 4 && game_state != GAME_PLAYING; ++i) tap(DIK_SPACE);
    if (!expect(game_state == GAME_PLAYING, "a rally")) return 0;
    tap(DIK_P);
    if (!expect(game_state == GAME_PAUSED, "the pause")) return 0;
    passes(10);
    tap(DIK_P);
    if (!expect(game_state == GAME_PLAYING, "the rally again")) return 0;

    // Escape to the menu, then Escape again: the fade, then the quit message ends the loop.
    tap(DIK_ESCAPE);
    if (!expect(game_state == GAME_MAIN_MENU, "Escape to the menu")) return 0;
    tap(DIK_ESCAPE);
    passes(10);
    if (!expect(g_ended && g_exit_code == 0, "the quit message with code 0")) return 0;

    game_shutdown(nullptr);
    plat_window_destroy();
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (chdir(argc > 1 ? argv[1] : ZARN_GAME_DATA) != 0) {
        std::perror("session: the game's data folder");
        return 1;
    }
    headless_reset();
    // Every reading of the clock moves it on by a whole frame, so no wait spins.
    headless_set_tick_step(FRAME_PERIOD_MS);
    if (!run()) {
        game_shutdown(nullptr);
        plat_window_destroy();
        return 1;
    }
    std::printf("session: %d pictures shown, %d points, ended with code %d\n", headless_present_count(),
                left_score + right_score, g_exit_code);
    return 0;
}
