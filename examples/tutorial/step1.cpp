// Bricks, step 1 of the tutorial: a window, a colour and a ball that bounces off the four edges
// of the screen. Escape or closing the window ends it.
// Usage: step1 [FRAMES]   (FRAMES: end by itself after so many)
#include <zarn/zarn.h>

#include <cstdlib>

//! [colours]
// The palette indices the game draws with; index 0 is black from the start.
enum { BLACK = 0, WHITE = 1 };

// Sets palette entry index to a colour.
static void set_colour(int index, uint8_t red, uint8_t green, uint8_t blue) {
    const PaletteEntry entry{red, green, blue, 0};
    palette_set_entry(index, &entry);
}

// Fills a w x h box at (x, y) of the back surface, where the next frame is drawn.
static void box(int x, int y, int w, int h, int colour) { rect_fill(x, y, x + w, y + h, colour, display_back); }
//! [colours]

//! [ball]
const int kBall = 8;  // the ball is a square this many pixels wide

struct Ball {
    int x, y, vx, vy;  // top-left corner and pixels moved each frame
};

// Moves the ball one frame, turning it back at the edges of the screen.
static void move_ball(Ball& ball) {
    ball.x += ball.vx;
    ball.y += ball.vy;
    if (ball.x < 0 || ball.x > 640 - kBall) ball.vx = -ball.vx;
    if (ball.y < 0 || ball.y > 480 - kBall) ball.vy = -ball.vy;
}
//! [ball]

int main(int argc, char** argv) {
    int frames = argc > 1 ? std::atoi(argv[1]) : -1;  // -1: until Escape
    //! [start]
    if (plat_window_create("Bricks") != PLAT_OK || !display_init(640, 480, 8)) return 1;
    input_init();
    keyboard_init();
    set_colour(WHITE, 255, 255, 255);
    //! [start]

    Ball ball{316, 300, 3, -4};
    //! [loop]
    PlatMessage message{};
    while (frames-- != 0 && !keyboard_state[DIK_ESCAPE]) {
        if (plat_message_take(&message) && message.kind == PLAT_MSG_DESTROY) break;  // window closed
        clock_start();
        keyboard_read();
        move_ball(ball);
        display_fill_surface(display_back, BLACK);
        box(ball.x, ball.y, kBall, kBall, WHITE);
        display_flip();
        clock_wait(20);  // 50 frames a second
    }
    //! [loop]
    //! [end]
    input_shutdown();
    display_shutdown();
    plat_window_destroy();
    return 0;
    //! [end]
}
