// Bricks, step 4 of the tutorial: a score, 10 points a brick and more for the higher rows, and
// three balls; when the last is lost or the wall is down, Space plays again.
// Usage: step4 [FRAMES]   (FRAMES: end by itself after so many)
#include <zarn/zarn.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

// The palette indices the game draws with; index 0 is black from the start.
enum { BLACK = 0, WHITE = 1, BLUE = 2, BRICK = 3 };  // BRICK to BRICK + 4: a colour for each row

// Sets palette entry index to a colour.
static void set_colour(int index, uint8_t red, uint8_t green, uint8_t blue) {
    const PaletteEntry entry{red, green, blue, 0};
    palette_set_entry(index, &entry);
}

// Fills a w x h box at (x, y) of the back surface, where the next frame is drawn.
static void box(int x, int y, int w, int h, int colour) { rect_fill(x, y, x + w, y + h, colour, display_back); }

// True when two boxes share a pixel.
static bool overlap(int x1, int y1, int w1, int h1, int x2, int y2, int w2, int h2) {
    return x1 < x2 + w2 && x2 < x1 + w1 && y1 < y2 + h2 && y2 < y1 + h1;
}

const int kBall = 8;                            // the ball is a square this many pixels wide
const int kBatW = 80, kBatH = 10, kBatY = 440;  // the bat's size and the row it moves along

struct Ball {
    int x, y, vx, vy;  // top-left corner and pixels moved each frame
};

// A new ball from the middle, going up.
static Ball serve() { return Ball{316, 300, 3, -4}; }

const int kRows = 5, kColumns = 10, kBrickW = 64, kBrickH = 20, kWallTop = 60;

struct Wall {
    bool standing[kRows][kColumns];  // true for a brick not yet knocked out
};

// A whole wall.
static Wall build_wall() {
    Wall wall{};
    for (auto& row : wall.standing)
        for (bool& brick : row) brick = true;
    return wall;
}

//! [points]
// Knocks out the first standing brick the ball meets and sends the ball back; the points it was
// worth (the top row 50, the bottom row 10), or 0 when the ball met none.
static int hit_wall(Wall& wall, Ball& ball) {
    for (int row = 0; row < kRows; ++row)
        for (int column = 0; column < kColumns; ++column) {
            const int x = column * kBrickW, y = kWallTop + row * kBrickH;
            if (wall.standing[row][column] && overlap(ball.x, ball.y, kBall, kBall, x, y, kBrickW, kBrickH)) {
                wall.standing[row][column] = false;
                ball.vy = -ball.vy;
                return (kRows - row) * 10;
            }
        }
    return 0;
}
//! [points]

// Draws the bricks still standing, each a row's colour with a black seam around it.
static void draw_wall(const Wall& wall) {
    for (int row = 0; row < kRows; ++row)
        for (int column = 0; column < kColumns; ++column)
            if (wall.standing[row][column])
                box(column * kBrickW + 1, kWallTop + row * kBrickH + 1, kBrickW - 2, kBrickH - 2, BRICK + row);
}

//! [lost]
// Moves the ball one frame: it turns back at the sides and the top, and off the bat, which sends
// it more to the side the further from its middle it meets the ball. True when it has fallen past
// the bat.
static bool move_ball(Ball& ball, int bat_x) {
    ball.x += ball.vx;
    ball.y += ball.vy;
    if (ball.x < 0 || ball.x > 640 - kBall) ball.vx = -ball.vx;
    if (ball.y < 0) ball.vy = -ball.vy;
    if (ball.vy > 0 && overlap(ball.x, ball.y, kBall, kBall, bat_x, kBatY, kBatW, kBatH)) {
        ball.vy = -ball.vy;
        ball.vx = std::clamp((ball.x + kBall / 2 - (bat_x + kBatW / 2)) / 6, -6, 6);
    }
    return ball.y > 480;
}
//! [lost]

int main(int argc, char** argv) {
    int frames = argc > 1 ? std::atoi(argv[1]) : -1;  // -1: until Escape
    if (plat_window_create("Bricks") != PLAT_OK || !display_init(640, 480, 8)) return 1;
    input_init();
    keyboard_init();
    set_colour(WHITE, 255, 255, 255);
    set_colour(BLUE, 90, 160, 255);
    for (int row = 0; row < kRows; ++row) set_colour(BRICK + row, 255, 200 - 35 * row, 40 + 30 * row);
    Wall wall = build_wall();

    Ball ball = serve();
    int bat_x = 280;
    //! [score]
    int score = 0, balls = 3, bricks = kRows * kColumns;
    //! [score]
    PlatMessage message{};
    while (frames-- != 0 && !keyboard_state[DIK_ESCAPE]) {
        if (plat_message_take(&message) && message.kind == PLAT_MSG_DESTROY) break;  // window closed
        clock_start();
        keyboard_read();
        if (keyboard_state[DIK_LEFT]) bat_x = std::max(0, bat_x - 8);
        if (keyboard_state[DIK_RIGHT]) bat_x = std::min(640 - kBatW, bat_x + 8);
        //! [frame]
        const bool over = balls == 0 || bricks == 0;
        if (!over) {
            if (move_ball(ball, bat_x)) {
                --balls;
                ball = serve();
            }
            const int points = hit_wall(wall, ball);
            score += points;
            if (points) --bricks;
        } else if (keyboard_state[DIK_SPACE]) {  // a new game
            wall = build_wall();
            ball = serve();
            score = 0, balls = 3, bricks = kRows * kColumns;
        }
        display_fill_surface(display_back, BLACK);
        draw_wall(wall);
        char line[64];
        std::snprintf(line, sizeof line, "Score %d   Balls %d", score, balls);
        text_draw_indexed(line, 8, 8, WHITE, display_back);
        if (over)
            text_draw_indexed(bricks == 0 ? "Cleared! Space plays again" : "Game over. Space plays again", 220, 260,
                              WHITE, display_back);
        //! [frame]
        box(bat_x, kBatY, kBatW, kBatH, BLUE);
        if (!over) box(ball.x, ball.y, kBall, kBall, WHITE);
        display_flip();
        clock_wait(20);  // 50 frames a second
    }
    input_shutdown();
    display_shutdown();
    plat_window_destroy();
    return 0;
}
