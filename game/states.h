#pragma once
/// \file
/// The game's states, menus and screens: what each state draws, which keys act, when sounds play.
#include <cstdint>

enum {
    GAME_PLAYING = 1,
    GAME_PAUSED = 2,
    GAME_LEFT_SCORED = 5,
    GAME_RIGHT_SCORED = 6,
    GAME_LEFT_SERVES = 7,
    GAME_RIGHT_SERVES = 8,
    GAME_MAIN_MENU = 9,
    GAME_OPTIONS = 10,
};

extern int32_t game_state;
extern int32_t main_menu_choice;
extern int32_t options_cursor;
extern int32_t speed_option;
extern int32_t ball_speed_offset;
extern int32_t left_score;
extern int32_t right_score;
extern int32_t welcome_played;
extern const char* const version_text;
extern int32_t pause_latch, space_latch, right_arrow_latch, left_arrow_latch, return_latch, escape_latch;
extern int32_t game_sound_starts[64];  ///< how many times each sound id was started

/// Every global of the state machine back to its value at program start.
void game_states_reset();
/// Runs the step of game_state for this frame; a state without a step draws nothing more.
void game_state_step();
/// Clears the latch of every latched key that is up at this moment.
void game_release_latches();
/// The two score texts, left first, in black.
void game_draw_scores();
/// Starts a sound once from its beginning (and counts it).
void game_play_sound(int32_t id);
