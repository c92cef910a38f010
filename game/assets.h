#pragma once
/// \file
/// The game's art and sounds: the pictures and sounds read at start-up and what each becomes.
#include <cstddef>
#include <cstdint>

#include "imaging/bmp.h"
#include "imaging/image.h"
#include "sprites/bob.h"

extern BmpFile art_bitmap;
extern PixelImage court_image, main_menu_image, options_image;
extern BOB ball, left_racquet, right_racquet, menu_pointer, option_box;
extern BOB left_scores_banner, right_scores_banner, paused_banner;
extern int32_t thwack_sound, point_left_sound, point_right_sound, welcome_sound;

/// The name of the file in the working directory that matches `name` regardless of letter
/// case (an exact match first). 1 when found, 0 when not (or when it would not fit in size).
int asset_find(const char* name, char* path, size_t size);
/// The three backdrops, each installing its palette, then the eight sprites. 1, or 0 at the
/// first picture that is missing or unusable (reason in game_startup_error).
int assets_load_art();
/// The four sounds and their playback frequencies. 1, or 0 at the first sound file that is
/// missing or unreadable. Without a sound device the files are only checked for reading.
int assets_load_sounds();
/// The sprites in their fixed order, then the backdrops.
void assets_release();
