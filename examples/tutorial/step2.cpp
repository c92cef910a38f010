// Bricks, step 2 of the tutorial: a bat at the bottom that Left and Right move. The ball bounces
// off it; a ball that gets past it is served again from the middle.
// Usage: step2 [FRAMES]   (FRAMES: end by itself after so many)
#include <zarn/zarn.h>

#include <algorithm>
#include <cstdlib>

// The palette indices the game draws with; index 0 is black from the start.
enum { BLACK = 0, WHITE = 1, BLUE = 2 };

// Sets palette entry index to a colour.
static void set_colour(int index, uint8_t red, uint8_t green, uint8_t blue) {
    const PaletteEntry entry{red, green, blue, 0};
    palette_set_entry(index, &entry);
}

// Fills a w x h box at (x, y) of the back surface, where the next frame is drawn.
static void box(int x, int y, int w, int h, int colour) { rect_fill(x, y, x + w, y + h, colour, display_back); }

//! [overlap]
// True when two boxes share a pixel.
static bool overlap(int x1, int y1, int w1, int h1, int x2, int y2, int w2, int h2) {
    return x1 < x2 + w2 && x2 < x1 + w1 && y1 < y2 + h2 && y2 < y1 + h1;
}
//! [overlap]

const int kBall = 8;  // the ball is a square this many pixels wide
//! [bat]
const int kBatW = 80, kBatH = 10, kBatY = 440;  // the bat's size and the row it moves along
//! [bat]

struct Ball {
    int x, y, vx, vy;  // top-left corner and pixels moved each frame
};

//! [serve]
// A new ball from the middle, going up.
static Ball serve() { return Ball{316, 300, 3, -4}; }
//! [serve]

//! [move]
// Moves the ball one frame: it turns back at the sides and the top, and off the bat, which sends
// it more to the side the further from its middle it meets the ball. One that falls past the bat
// is served again.
static void move_ball(Ball& ball, int bat_x) {
    ball.x += ball.vx;
    ball.y += ball.vy;
    if (ball.x < 0 || ball.x > 640 - kBall) ball.vx = -ball.vx;
    if (ball.y < 0) ball.vy = -ball.vy;
    if (ball.vy > 0 && overlap(ball.x, ball.y, kBall, kBall, bat_x, kBatY, kBatW, kBatH)) {
        ball.vy = -ball.vy;
        ball.vx = std::clamp((ball.x + kBall / 2 - (bat_x + kBatW / 2)) / 6, -6, 6);
    }
    if (ball.y > 480) ball = serve();
}
//! [move]

int main(int argc, char** argv) {
    int frames = argc > 1 ? std::atoi(argv[1]) : -1;  // -1: until Escape
    if (plat_window_create("Bricks") != PLAT_OK || !display_init(640, 480, 8)) return 1;
    input_init();
    keyboard_init();
    set_colour(WHITE, 255, 255, 255);
    set_colour(BLUE, 90, 160, 255);

    Ball ball = serve();
    int bat_x = 280;
    PlatMessage message{};
    while (frames-- != 0 && !keyboard_state[DIK_ESCAPE]) {
        if (plat_message_take(&message) && message.kind == PLAT_MSG_DESTROY) break;  // window closed
        clock_start();
        keyboard_read();
        //! [keys]
        if (keyboard_state[DIK_LEFT]) bat_x = std::max(0, bat_x - 8);
        if (keyboard_state[DIK_RIGHT]) bat_x = std::min(640 - kBatW, bat_x + 8);
        //! [keys]
        move_ball(ball, bat_x);
        display_fill_surface(display_back, BLACK);
        box(bat_x, kBatY, kBatW, kBatH, BLUE);
        box(ball.x, ball.y, kBall, kBall, WHITE);
        display_flip();
        clock_wait(20);  // 50 frames a second
    }
    input_shutdown();
    display_shutdown();
    plat_window_destroy();
    return 0;
}
