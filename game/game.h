#pragma once
/// \file
/// The tennis program: its window, start-up, the frame routine, shutdown and the message loop.
#include <cstdint>

#include "platform/window.h"

enum { FRAME_PERIOD_MS = 20 };

#define GAME_WINDOW_TITLE "Zarn Game Console"

/// Answers one window message: the destroy message asks for the quit message (code 0). 0.
int game_window_proc(const PlatMessage* message);
/// Starts the clock, the display, the art, the keyboard, the sound and the sounds, in that order.
/// 1; 0 at the first failure that leaves the game unplayable, with the reason in
/// game_startup_error (what was made stays for game_shutdown).
int game_init(void* params);
/// One frame: backdrop, keyboard, latches, the state's step, flip, the 20 ms wait, Escape. 1.
int game_frame(void* params);
/// Releases the sprites and backdrops, the display, the sounds and the input devices. 1.
int game_shutdown(void* params);
/// The frame's work between the clock's start and its wait: clear, backdrop, keyboard, latches,
/// the state's step, flip.
void game_frame_work();
/// Escape in a menu: asks for the window's destroy message, stops every sound, fades to black.
void game_quit_sequence();
/// One pass of the message loop: at most one message, then one frame. 0 once the quit message
/// was taken (its code in *exit_code, and no frame run), else 1.
int game_loop_pass(int32_t* exit_code);
/// The whole program in the working directory: window, start-up, loop, shutdown. The exit code:
/// the quit message's (0), or 1 when the window or start-up failed (one line on stderr).
int game_main();

extern char game_startup_error[256];  ///< why start-up stopped, or ""

/// Keeps why start-up stopped in game_startup_error, formatted as by printf and cut to fit. 0,
/// so that a start-up step can end with `return game_startup_failed(...)`.
int game_startup_failed(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;
extern int32_t game_sound_missing;  ///< 1 when the game plays silently for want of a sound device
