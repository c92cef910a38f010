// The state machine: the menus, the serve, the rally, the pause and the point screens, with the
// key latches that make an action happen once per press.
#include "game/states.h"

#include <cstdio>

#include "display/display.h"
#include "game/assets.h"
#include "game/play.h"
#include "imaging/text.h"
#include "input/keyboard.h"
#include "sound/sound.h"
#include "sprites/bob.h"

int32_t game_state = GAME_MAIN_MENU;
int32_t main_menu_choice = 1;
int32_t options_cursor = 1;
int32_t speed_option = 2;
int32_t ball_speed_offset = 0;
int32_t left_score = 0;
int32_t right_score = 0;
int32_t welcome_played = 0;
const char* const version_text = "Ver 1.0";
int32_t pause_latch = 0, space_latch = 0, right_arrow_latch = 0, left_arrow_latch = 0, return_latch = 0,
        escape_latch = 0;
int32_t game_sound_starts[64] = {};

namespace {

const uint32_t kBlack = 0x000000;  // texts are drawn in black, background left as it is

bool down(int key) { return keyboard_state[key] != 0; }

void draw_text(const char* text, int32_t x, int32_t y) { text_draw(text, x, y, kBlack, display_back); }

void main_menu_step() {
    if (!welcome_played) {
        game_play_sound(welcome_sound);
        welcome_played = 1;
    }
    if (down(DIK_RIGHT)) main_menu_choice = 2;
    if (down(DIK_LEFT)) main_menu_choice = 1;
    if (main_menu_choice == 1) bob_set_position(&menu_pointer, 60, 300);
    else bob_set_position(&menu_pointer, 400, 300);
    bob_draw_scaled(&menu_pointer, 20, 60, display_back);
    if (down(DIK_RETURN) && !return_latch) {
        if (main_menu_choice == 1) {
            game_state = GAME_LEFT_SERVES;
            left_score = 0;
            right_score = 0;
        } else {
            game_state = GAME_OPTIONS;
        }
        welcome_played = 0;
        return_latch = 1;
    }
    draw_text(version_text, 575, 450);
}

void options_step() {
    if (down(DIK_RIGHT) && options_cursor <= 3 && !right_arrow_latch) {
        ++options_cursor;
        right_arrow_latch = 1;
    }
    if (down(DIK_LEFT) && options_cursor >= 2 && !left_arrow_latch) {
        --options_cursor;
        left_arrow_latch = 1;
    }
    if (down(DIK_DOWN)) options_cursor = 4;
    if (down(DIK_UP)) options_cursor = 2;

    static const int32_t pointer_at[4][2] = {{210, 240}, {330, 240}, {500, 240}, {210, 390}};
    if (options_cursor >= 1 && options_cursor <= 4)
        bob_set_position(&menu_pointer, pointer_at[options_cursor - 1][0], pointer_at[options_cursor - 1][1]);
    bob_draw_scaled(&menu_pointer, 20, 60, display_back);

    if (down(DIK_RETURN) && !return_latch) {
        if (options_cursor == 4) game_state = GAME_MAIN_MENU;
        else speed_option = options_cursor;
        return_latch = 1;
    }

    switch (speed_option) {
        case 1:
            bob_set_position(&option_box, 233, 245);
            bob_draw_scaled(&option_box, 85, 50, display_back);
            ball_speed_offset = -1;
            break;
        case 2:
            bob_set_position(&option_box, 350, 245);
            bob_draw_scaled(&option_box, 140, 50, display_back);
            ball_speed_offset = 0;
            break;
        case 3:
            bob_set_position(&option_box, 525, 245);
            bob_draw_scaled(&option_box, 85, 50, display_back);
            ball_speed_offset = 1;
            break;
        default: break;
    }
    bob_set_velocity(&ball, SERVE_SPEED_BASE + ball_speed_offset, SERVE_SPEED_BASE + ball_speed_offset);
    draw_text(version_text, 575, 450);
}

void serve_step(int32_t side) {
    racquet_steer();
    racquet_clamp(&left_racquet);
    racquet_clamp(&right_racquet);
    ball_hold_for_serve(side);
    bob_draw(&ball, display_back);
    if (down(DIK_SPACE) && !space_latch) {
        ball_launch_serve(side);
        game_state = GAME_PLAYING;
        space_latch = 1;
    }
    bob_draw(&left_racquet, display_back);
    bob_draw(&right_racquet, display_back);
    game_draw_scores();
}

void playing_step() {
    bob_move(&ball);
    racquet_steer();
    if (down(DIK_P) && !pause_latch) {
        game_state = GAME_PAUSED;
        pause_latch = 1;
    }
    ball_rebound_walls();
    ball_check_point();
    ball_hit_racquet(&left_racquet, SIDE_LEFT_RACQUET);
    ball_hit_racquet(&right_racquet, SIDE_RIGHT_RACQUET);
    racquet_clamp(&left_racquet);
    racquet_clamp(&right_racquet);
    bob_animate(&ball);
    bob_draw(&ball, display_back);
    bob_draw(&left_racquet, display_back);
    bob_draw(&right_racquet, display_back);
    game_draw_scores();
}

void paused_step() {
    bob_set_position(&paused_banner, 160, 180);
    bob_draw(&paused_banner, display_back);
    draw_text("HIT P TO CONTINUE", 260, 400);
    if (down(DIK_P) && !pause_latch) {
        game_state = GAME_PLAYING;
        pause_latch = 1;
    }
}

// A point screen; `banner` is the winner's, `next_server` the loser's side, `next_state` their serve.
void scored_step(BOB* banner, int32_t next_server, int32_t next_state) {
    draw_text("HIT SPACEBAR TO CONTINUE", 230, 400);
    bob_set_position(banner, 140, 180);
    ball_set_serve_velocity(next_server);
    bob_draw(banner, display_back);
    if (down(DIK_SPACE)) {  // no latch test: Space held through the point goes straight on
        game_state = next_state;
        space_latch = 1;
    }
    game_draw_scores();
}

}  // namespace

void game_states_reset() {
    game_state = GAME_MAIN_MENU;
    main_menu_choice = 1;
    options_cursor = 1;
    speed_option = 2;
    ball_speed_offset = 0;
    left_score = 0;
    right_score = 0;
    welcome_played = 0;
    pause_latch = space_latch = right_arrow_latch = left_arrow_latch = return_latch = escape_latch = 0;
    for (int32_t& n : game_sound_starts) n = 0;
}

void game_state_step() {
    switch (game_state) {
        case GAME_MAIN_MENU: main_menu_step(); break;
        case GAME_OPTIONS: options_step(); break;
        case GAME_LEFT_SERVES: serve_step(SIDE_LEFT_RACQUET); break;
        case GAME_RIGHT_SERVES: serve_step(SIDE_RIGHT_RACQUET); break;
        case GAME_PLAYING: playing_step(); break;
        case GAME_PAUSED: paused_step(); break;
        case GAME_LEFT_SCORED: scored_step(&left_scores_banner, SIDE_RIGHT_RACQUET, GAME_RIGHT_SERVES); break;
        case GAME_RIGHT_SCORED: scored_step(&right_scores_banner, SIDE_LEFT_RACQUET, GAME_LEFT_SERVES); break;
        default: break;  // no step: only the court shows
    }
}

void game_release_latches() {
    // Each latch is held by its key; the Enter latch by either Enter key, the keypad's too.
    struct Latch {
        int32_t* latch;
        int32_t key, other_key;  // other_key 0: none
    };
    const Latch latches[] = {{&pause_latch, DIK_P, 0},
                             {&space_latch, DIK_SPACE, 0},
                             {&right_arrow_latch, DIK_RIGHT, 0},
                             {&left_arrow_latch, DIK_LEFT, 0},
                             {&return_latch, DIK_RETURN, DIK_NUMPADENTER},
                             {&escape_latch, DIK_ESCAPE, 0}};
    for (const Latch& l : latches)
        if (!keyboard_key_down_now(l.key) && !(l.other_key && keyboard_key_down_now(l.other_key))) *l.latch = 0;
}

void game_draw_scores() {
    char text[64];
    std::snprintf(text, sizeof text, "Left Player Score: %d", static_cast<int>(left_score));
    draw_text(text, 125, 20);
    std::snprintf(text, sizeof text, "Right Player Score: %d", static_cast<int>(right_score));
    draw_text(text, 400, 20);
}

void game_play_sound(int32_t id) {
    if (id >= 0 && id < 64) ++game_sound_starts[id];
    sound_play(id, 0);
}
