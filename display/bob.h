#pragma once
// Sprites (blitter objects): frames on off-screen surfaces drawn with index 0 transparent,
// animation, motion and overlap tests.
#include <cstdint>

#include "imaging/bmp.h"
#include "platform/video.h"

enum {
    BOB_STILL = 0x01,
    BOB_CYCLE = 0x02,
    BOB_SCRIPTED = 0x04,
    BOB_PLAY_ONCE = 0x08,
    BOB_SHOWN = 0x10,
    BOB_REBOUND = 0x20,
    BOB_WRAPS = 0x40,
    BOB_HAS_IMAGE = 0x80,
    BOB_BORROWED = 0x100,
};

enum { BOB_MAX_FRAMES = 64, BOB_MAX_SEQUENCES = 16 };

struct BOB {
    int32_t status;
    int32_t anim_done;
    int32_t attributes;
    int32_t x, y;
    int32_t vx, vy;
    int32_t width, height;
    int32_t row_extra;  // 0..7 so that width + row_extra is a multiple of 8
    int32_t spare_counters[4];
    uint8_t spare_block[128];
    int32_t frame;
    int32_t frame_count;
    int32_t sequence;
    int32_t tick;
    int32_t seq_pos;
    int32_t ticks_per_step;
    int32_t* sequences[BOB_MAX_SEQUENCES];
    int32_t left, right, top, bottom;  // refreshed by bob_create, bob_move, bob_set_position only
    PlatSurface* frames[BOB_MAX_FRAMES];
};

int bob_create(BOB* bob, int32_t x, int32_t y, int32_t width, int32_t height, int32_t frame_count,
               int32_t attributes, uint32_t memory_caps);
int bob_destroy(BOB* bob);
int bob_clone(const BOB* source, BOB* dest);
int bob_load_frame(BOB* bob, const BmpFile* bmp, int32_t frame, int32_t cx, int32_t cy, int32_t mode);
int bob_draw(const BOB* bob, PlatSurface* dest);
int bob_draw_scaled(const BOB* bob, int32_t width, int32_t height, PlatSurface* dest);

int bob_animate(BOB* bob);
int bob_move(BOB* bob);
int bob_add_sequence(BOB* bob, int32_t slot, int32_t count, const int32_t* frames);
int bob_select_sequence(BOB* bob, int32_t slot);
int bob_set_anim_speed(BOB* bob, int32_t calls_per_step);
int bob_set_velocity(BOB* bob, int32_t vx, int32_t vy);
int bob_set_position(BOB* bob, int32_t x, int32_t y);
int bob_hide(BOB* bob);
int bob_show(BOB* bob);
int bob_collide(const BOB* a, const BOB* b);
int rect_collide(int32_t x1, int32_t y1, int32_t width1, int32_t height1, int32_t x2, int32_t y2, int32_t width2,
                 int32_t height2);
int region_has_colour(int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint8_t low, uint8_t high,
                      const uint8_t* pixels, int32_t pitch);
