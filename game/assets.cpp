// The art and sounds: found in the working directory regardless of letter case, loaded in a
// fixed order, each checked so that a missing or unusable file stops start-up with its name.
#include "game/assets.h"

#include <dirent.h>

#include <strings.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "display/display.h"
#include "game/game.h"
#include "imaging/palette.h"
#include "sound/sound.h"

BmpFile art_bitmap;
PixelImage court_image, main_menu_image, options_image;
BOB ball, left_racquet, right_racquet, menu_pointer, option_box;
BOB left_scores_banner, right_scores_banner, paused_banner;
int32_t thwack_sound, point_left_sound, point_right_sound, welcome_sound;

namespace {

const uint32_t kSpriteAttributes = BOB_SHOWN | BOB_CYCLE;
const uint32_t kSoundControls = DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPAN | DSBCAPS_CTRLVOLUME;

// Finds and loads a picture into art_bitmap; it must be 8 bits per pixel and at least
// min_width x min_height, so that every cell taken from it lies inside its pixels.
int load_picture(const char* name, int32_t min_width, int32_t min_height) {
    char path[256];
    if (!asset_find(name, path, sizeof path)) return game_startup_failed("cannot find the picture %s", name);
    if (!bmp_load(&art_bitmap, path)) return game_startup_failed("cannot read the picture %s", name);
    const int32_t w = art_bitmap.info_header.biWidth;
    const int32_t h = std::abs(art_bitmap.info_header.biHeight);
    if (art_bitmap.info_header.biBitCount != 8 || w < min_width || h < min_height) {
        bmp_unload(&art_bitmap);
        return game_startup_failed("the picture %s is not an 8-bit picture of at least %d x %d pixels", name,
                                   static_cast<int>(min_width), static_cast<int>(min_height));
    }
    return 1;
}

int load_backdrop(const char* name, PixelImage* image) {
    if (!load_picture(name, 640, 480)) return 0;
    image_create(image, 0, 0, 640, 480);
    const int loaded = image_load_from_bmp(image, &art_bitmap, 0, 0, LOAD_FROM_PIXEL);
    if (loaded) palette_set_all(art_bitmap.palette);
    bmp_unload(&art_bitmap);
    return loaded ? 1 : game_startup_failed("cannot make the backdrop from %s", name);
}

// A sprite of `frames` cells stacked in the first column of its picture, each cell with a
// one-pixel border. `settings` runs between creation and the frames, as each sprite needs.
int load_sprite(BOB* bob, const char* name, int32_t x, int32_t y, int32_t width, int32_t height, int32_t frames,
                void (*settings)(BOB*)) {
    if (!load_picture(name, width + 1, frames * (height + 1))) return 0;
    int ok = bob_create(bob, x, y, width, height, frames, kSpriteAttributes, DDSCAPS_SYSTEMMEMORY);
    if (ok && settings) settings(bob);
    for (int32_t i = 0; ok && i < frames; ++i) ok = bob_load_frame(bob, &art_bitmap, i, 0, i, LOAD_FROM_CELL);
    bmp_unload(&art_bitmap);
    return ok ? 1 : game_startup_failed("cannot make the sprite from %s", name);
}

void ball_settings(BOB* b) {
    bob_set_anim_speed(b, 2);
    bob_set_velocity(b, 10, 10);
    bob_set_position(b, 200, 200);
}

void left_racquet_settings(BOB* b) {
    bob_set_velocity(b, 0, 9);
    bob_set_position(b, 0, display_height / 2);
}

void right_racquet_settings(BOB* b) {
    bob_set_velocity(b, 0, 9);
    bob_set_position(b, display_width - b->width, display_height / 2);
}

int load_sound(const char* name, int32_t* id) {
    char path[256];
    if (!asset_find(name, path, sizeof path)) return game_startup_failed("cannot find the sound %s", name);
    *id = sound_load_wav(path, kSoundControls);
    if (game_sound_missing) {
        // Nothing will play, but a broken installation is still told.
        FILE* f = std::fopen(path, "rb");
        if (!f) return game_startup_failed("cannot read the sound %s", name);
        std::fclose(f);
        return 1;
    }
    return *id >= 0 ? 1 : game_startup_failed("cannot read the sound %s", name);
}

}  // namespace

int asset_find(const char* name, char* path, size_t size) {
    if (!name || !path || size == 0) return 0;
    DIR* dir = opendir(".");
    if (!dir) return 0;
    int found = 0;
    while (const dirent* entry = readdir(dir)) {
        const int exact = std::strcmp(entry->d_name, name) == 0;
        if (!exact && (found || strcasecmp(entry->d_name, name) != 0)) continue;
        if (std::strlen(entry->d_name) >= size) continue;
        std::snprintf(path, size, "%s", entry->d_name);
        found = 1;
        if (exact) break;
    }
    closedir(dir);
    return found;
}

int assets_load_art() {
    return load_backdrop("TennisBackground.BMP", &court_image) && load_backdrop("MainMenu.BMP", &main_menu_image) &&
           load_backdrop("OptionsMenu.bmp", &options_image) &&
           load_sprite(&ball, "BallCell.BMP", 0, 120, 32, 32, 6, ball_settings) &&
           load_sprite(&left_racquet, "Racquet.BMP", 0, 200, 24, 104, 1, left_racquet_settings) &&
           load_sprite(&right_racquet, "RacquetFlipped.BMP", 300, 200, 24, 104, 1, right_racquet_settings) &&
           load_sprite(&menu_pointer, "Racquet.bmp", 0, 0, 24, 104, 1, nullptr) &&
           load_sprite(&option_box, "MenuBox.bmp", 0, 0, 256, 256, 1, nullptr) &&
           load_sprite(&left_scores_banner, "LeftPlayerScores.bmp", 0, 0, 376, 64, 1, nullptr) &&
           load_sprite(&right_scores_banner, "RightPlayerScores.bmp", 0, 0, 384, 64, 1, nullptr) &&
           load_sprite(&paused_banner, "GamePaused.bmp", 0, 0, 336, 64, 1, nullptr);
}

int assets_load_sounds() {
    if (!load_sound("TennisThwack.WAV", &thwack_sound) || !load_sound("PointLeftPlayer.WAV", &point_left_sound) ||
        !load_sound("PointRightPlayer.WAV", &point_right_sound) || !load_sound("Welcome.WAV", &welcome_sound))
        return 0;
    sound_set_frequency(thwack_sound, 8000);
    sound_set_frequency(point_left_sound, 9000);
    sound_set_frequency(point_right_sound, 9000);
    sound_set_frequency(welcome_sound, 18000);
    return 1;
}

void assets_release() {
    BOB* const sprites[] = {&ball,       &left_racquet,       &right_racquet,       &menu_pointer,
                            &option_box, &left_scores_banner, &right_scores_banner, &paused_banner};
    for (BOB* b : sprites) {
        bob_destroy(b);
        *b = BOB{};  // forgets the released frames, so a second release is harmless
    }
    image_destroy(&court_image);
    image_destroy(&main_menu_image);
    image_destroy(&options_image);
}
