#pragma once
/// \file
/// What every example does alike, kept here so that each example shows only its own part of the
/// library: the window, the display and the keyboard started and stopped, the data folder found,
/// and the frame loop's window messages, Escape and frame count.
///
/// The frame loop of every example reads:
///
///     while (example_running()) {   // messages, keyboard snapshot, Escape, --frames N
///         clock_start();
///         ... draw into display_back ...
///         display_flip();
///         clock_wait(EXAMPLE_FRAME_MS);
///     }

/// 50 frames a second
enum { EXAMPLE_FRAME_MS = 20 };

/// Reads `--frames N` (end after N frames; without it run until Escape), moves into the folder
/// that holds the example's art and sounds, opens the window, the 640 x 480 x 8 display with a
/// clipper of the whole screen on the back surface, the input object and the keyboard, and
/// hides the mouse cursor. 1; 0 after one line on stderr saying why, everything released.
int example_start(const char* name, int argc, char** argv);
/// Takes the window's waiting messages and a fresh keyboard snapshot. 0 when the example is to
/// end (the window was closed, Escape is held, or the frames asked for have run), else 1.
int example_running();
/// The number of the frame now running, from 1 (0 before the first).
int example_frame();
/// Says on stderr that FILE cannot be read, naming the folders looked in for the example's data
/// (each tried by example_start until one existed, or all of them and the working directory).
void example_missing(const char* file);
/// Releases the input devices, the display and the window.
void example_stop();
