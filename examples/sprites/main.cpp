// Sprites: a crowd of animated creatures on a backdrop.
//
// Two sprites own the frames, cut from one picture, and the animation sequences; every creature
// on the screen is a clone that borrows them and keeps its own place, velocity and animation.
// Green creatures rebound from the screen's edges, blue ones wrap round to the other side, and
// creatures that touch look startled for a moment. See crowd.cpp for the sprite calls.
//
// Keys: Up and Down add and remove creatures, Space freezes them, Escape ends.
#include <cstdio>

#include <zarn/zarn.h>

#include "../common/example.h"
#include "crowd.h"

namespace {

// The backdrop's dark band at the top, behind the text: the creatures live below it.
enum { BAND_HEIGHT = 24 };

// Green creatures rebound from the band's lower edge as from the screen's; blue ones going up
// slip beneath it (it is drawn over them) and, once wholly beneath, come back from the bottom,
// as those going down come back from beneath it.
void keep_below_band(Crowd* crowd) {
    for (size_t i = 0; i < crowd->members.size(); ++i) {
        BOB* member = &crowd->members[i];
        if (member->attributes & BOB_REBOUND) {
            if (member->y < BAND_HEIGHT && member->vy < 0) bob_set_velocity(member, member->vx, -member->vy);
        } else if (member->vy < 0 && member->y + member->height <= BAND_HEIGHT) {
            bob_set_position(member, member->x, 480);
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (!example_start("sprites", argc, argv)) return 1;

    // A BmpFile is a staging record: load a picture, take what is needed from it, load the next.
    // The backdrop is kept as a PixelImage, copied into the back surface at every frame; its
    // file's palette becomes the screen's.
    // The band is a second image of the backdrop's top rows, drawn again over the creatures.
    BmpFile picture{};
    PixelImage backdrop{}, band{};
    Crowd crowd{};
    int loaded = bmp_load(&picture, "backdrop.bmp") && image_create(&backdrop, 0, 0, 640, 480) &&
                 image_load_from_bmp(&backdrop, &picture, 0, 0, LOAD_FROM_PIXEL) &&
                 image_create(&band, 0, 0, 640, BAND_HEIGHT) &&
                 image_load_from_bmp(&band, &picture, 0, 0, LOAD_FROM_PIXEL);
    if (loaded) palette_set_all(picture.palette);
    // The sheet shares the backdrop's palette; its cells become the owners' frames.
    loaded = loaded && bmp_load(&picture, "creatures.bmp") && crowd_load(&crowd, &picture);
    bmp_unload(&picture);
    if (!loaded) {
        example_missing("backdrop.bmp and creatures.bmp");
        crowd_release(&crowd);
        image_destroy(&band);
        image_destroy(&backdrop);
        example_stop();
        return 1;
    }
    crowd_add(&crowd, 36);

    int frozen = 0;
    uint8_t space_before = 0;
    while (example_running()) {
        clock_start();

        // The keyboard snapshot holds a byte per key, non-zero while it is down.
        if (keyboard_state[DIK_UP] && crowd.members.size() < 240) crowd_add(&crowd, 2);
        if (keyboard_state[DIK_DOWN]) crowd_remove(&crowd, 2);
        if (keyboard_state[DIK_SPACE] && !space_before) frozen = !frozen;  // once per press
        space_before = keyboard_state[DIK_SPACE];

        // Move and animate first, then test for overlaps, then draw.
        if (!frozen) {
            crowd_move(&crowd);
            keep_below_band(&crowd);
        }
        const int touching = crowd_collide(&crowd);

        // Pixels are written through a lock; sprites and text are blitted while it is unlocked.
        if (display_lock_back()) {
            image_draw(&backdrop, back_pixels, back_pitch, 0);  // opaque: the whole screen
            display_unlock_back();
        }
        crowd_draw(&crowd, display_back);
        if (display_lock_back()) {
            image_draw(&band, back_pixels, back_pitch, 0);
            display_unlock_back();
        }

        char status[96];
        std::snprintf(status, sizeof status, "%d creatures, %d touching%s", static_cast<int>(crowd.members.size()),
                      touching, frozen ? ", frozen" : "");
        // The status on the left, up to "240 creatures, 999 touching, frozen"; the help clear of it.
        text_draw(status, 8, 5, 0xFFFFFF, display_back);  // colours are 0x00BBGGRR
        text_draw("Up/Down: more/fewer  Space: freeze  Esc: quit", 292, 5, 0xAAFFDC, display_back);

        display_flip();
        clock_wait(EXAMPLE_FRAME_MS);
    }

    crowd_release(&crowd);  // the clones, then the sprites that own the frames
    image_destroy(&band);
    image_destroy(&backdrop);
    example_stop();
    return 0;
}
