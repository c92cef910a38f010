// The play: racquets follow the keys and stay on the court; the ball rebounds from the top and
// bottom, scores at the sides, and leaves a racquet at an angle set by where it met it.
#include "game/play.h"

#include "display/display.h"
#include "game/assets.h"
#include "game/states.h"
#include "input/keyboard.h"

namespace {

int32_t magnitude(int32_t v) { return v < 0 ? -v : v; }

}  // namespace

int court_test_x_edges(const BOB* bob) {
    int result = 0;
    if (bob->x <= 0) result = 1;
    if (bob->x + bob->width >= display_width) result = 2;
    return result;
}

int court_test_y_edges(const BOB* bob) {
    int result = 0;
    if (bob->y <= 0) result = 3;
    if (bob->y + bob->height >= display_height) result = 4;
    return result;
}

int ball_test_racquet_ends(const BOB* b, const BOB* r, int32_t side) {
    int result = 0;
    if ((side == SIDE_LEFT_RACQUET && b->left < r->right) || (side == SIDE_RIGHT_RACQUET && b->right > r->left)) {
        if (b->bottom >= r->top && b->top < r->top) result = 4;
        if (b->top <= r->bottom && b->bottom > r->bottom) result = 5;
    }
    return result;
}

int ball_test_racquet_face(const BOB* b, const BOB* r, int32_t side) {
    int result = 0;
    if ((side == SIDE_LEFT_RACQUET && b->left <= r->right) || (side == SIDE_RIGHT_RACQUET && b->right >= r->left)) {
        if (b->bottom <= r->bottom && b->bottom > r->top) result = 2;
        if (b->top >= r->top && b->top < r->bottom) result = 2;
    }
    return result;
}

int ball_deflect(BOB* ball_bob, const BOB* racquet) {
    // Where the ball's top met the racquet, measured from the racquet's top.
    const int32_t d = (display_height - racquet->y) - (display_height - ball_bob->y);
    if (d < 15) ball_bob->vy -= 4;
    else if (d < 30) ball_bob->vy -= 2;
    else if (d <= 60) {
    } else if (d < 90) ball_bob->vy += 2;
    else if (d < 105) ball_bob->vy += 4;
    return 1;
}

namespace {

// While its key is down, a racquet moves by vy.
void steer(BOB* racquet, int key, int32_t vy) {
    if (!keyboard_state[key]) return;
    bob_set_velocity(racquet, 0, vy);
    bob_move(racquet);
}

}  // namespace

void racquet_steer() {
    steer(&left_racquet, DIK_A, -RACQUET_SPEED);
    steer(&left_racquet, DIK_Z, RACQUET_SPEED);
    steer(&right_racquet, DIK_UP, -RACQUET_SPEED);
    steer(&right_racquet, DIK_DOWN, RACQUET_SPEED);
}

void racquet_clamp(BOB* racquet) {
    // Only y is written: the edges keep the values of the racquet's last move.
    if (court_test_y_edges(racquet) == 3) racquet->y = 0;
    if (court_test_y_edges(racquet) == 4) racquet->y = display_height - racquet->height;
}

void ball_rebound_walls() {
    if (court_test_y_edges(&ball) == 3) {
        ball.vy = -ball.vy;
        bob_set_position(&ball, ball.x, 0);
    }
    if (court_test_y_edges(&ball) == 4) {
        ball.vy = -ball.vy;
        bob_set_position(&ball, ball.x, display_height - ball.height);
    }
}

void ball_check_point() {
    if (court_test_x_edges(&ball) == 1) {
        ball.vx = -ball.vx;
        bob_set_position(&ball, 0, ball.y);
        game_play_sound(point_right_sound);
        ++right_score;
        game_state = GAME_RIGHT_SCORED;
    }
    if (court_test_x_edges(&ball) == 2) {
        ball.vx = -ball.vx;
        bob_set_position(&ball, display_width - ball.width, ball.y);
        game_play_sound(point_left_sound);
        ++left_score;
        game_state = GAME_LEFT_SCORED;
    }
}

void ball_hit_racquet(BOB* racquet, int32_t side) {
    if (ball_test_racquet_ends(&ball, racquet, side) == 4) {
        ball.vy = -ball.vy;
        bob_set_position(&ball, ball.x, racquet->y - ball.height);
    }
    if (ball_test_racquet_ends(&ball, racquet, side) == 5) {
        ball.vy = -ball.vy;
        bob_set_position(&ball, ball.x, racquet->bottom);
    }
    if (ball_test_racquet_face(&ball, racquet, side) == 2) {
        ball.vx = -ball.vx;
        if (side == SIDE_LEFT_RACQUET) bob_set_position(&ball, racquet->right, ball.y);
        else bob_set_position(&ball, racquet->left - ball.width, ball.y);
        game_play_sound(thwack_sound);
        ball_deflect(&ball, racquet);
    }
}

void ball_hold_for_serve(int32_t side) {
    if (side == SIDE_LEFT_RACQUET) {
        ball.x = left_racquet.right;
        ball.y = left_racquet.top;
    } else {
        ball.x = right_racquet.left - ball.width;
        ball.y = right_racquet.top;
    }
    bob_move(&ball);
}

void ball_launch_serve(int32_t side) {
    ball.vx = side == SIDE_LEFT_RACQUET ? magnitude(ball.vx) : -magnitude(ball.vx);
    ball.vy = -magnitude(ball.vy);
}

void ball_set_serve_velocity(int32_t side) {
    const int32_t speed = SERVE_SPEED_BASE + ball_speed_offset;
    if (side == SIDE_RIGHT_RACQUET) bob_set_velocity(&ball, -speed, -speed);
    else bob_set_velocity(&ball, speed, -speed);
}
