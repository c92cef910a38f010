// Getting started, in C: the same program as main.cpp, line for line where C allows.
// Usage: getting_started_c PICTURE.bmp SOUND.wav [FRAMES]   (FRAMES: end by itself after so many)
#include <zarn/zarn.h>

#include <stdio.h>
#include <stdlib.h>

static int clamp(int value, int low, int high) { return value < low ? low : value > high ? high : value; }

int main(int argc, char** argv) {
    if (argc < 3) {
        fprintf(stderr, "usage: %s PICTURE.bmp SOUND.wav [FRAMES]\n", argv[0]);
        return 2;
    }
    int frames = argc > 3 ? atoi(argv[3]) : -1;  // -1: until Escape
    if (plat_window_create("Getting started") != PLAT_OK || !display_init(640, 480, 8)) return 1;
    input_init();
    keyboard_init();
    sound_init();  // without a sound device the program runs on, silent

    // An 8-bit picture with 32 x 32 cells, each framed by a one-pixel line: cell (0, 0) is the sprite.
    BmpFile picture = {0};
    BOB sprite = {0};
    if (!bmp_load(&picture, argv[1])) {
        fprintf(stderr, "cannot read the picture %s\n", argv[1]);
        return 1;
    }
    palette_set_all(picture.palette);
    bob_create(&sprite, 304, 224, 32, 32, 1, BOB_SHOWN, DDSCAPS_SYSTEMMEMORY);
    bob_load_frame(&sprite, &picture, 0, 0, 0, LOAD_FROM_CELL);
    bmp_unload(&picture);
    const int sound = sound_load_wav(argv[2], DSBCAPS_CTRLVOLUME);

    PlatMessage message = {0};
    while (frames-- != 0 && !keyboard_state[DIK_ESCAPE]) {
        if (plat_message_take(&message) && message.kind == PLAT_MSG_DESTROY) break;  // window closed
        clock_start();
        keyboard_read();
        const int dx = (keyboard_state[DIK_RIGHT] ? 4 : 0) - (keyboard_state[DIK_LEFT] ? 4 : 0);
        const int dy = (keyboard_state[DIK_DOWN] ? 4 : 0) - (keyboard_state[DIK_UP] ? 4 : 0);
        bob_set_position(&sprite, clamp(sprite.x + dx, 0, 640 - 32), clamp(sprite.y + dy, 0, 480 - 32));
        if (keyboard_state[DIK_SPACE] && sound_status(sound) == 0) sound_play(sound, 0, 0, 0, 0);  // C passes all five
        display_fill_surface(display_back, 0);
        bob_draw(&sprite, display_back);
        display_flip();
        clock_wait(20);  // 50 frames a second
    }
    bob_destroy(&sprite);
    sound_shutdown();
    input_shutdown();
    display_shutdown();
    plat_window_destroy();
    return 0;
}
