#pragma once
// Ball, racquets and scoring: steering, the court's edges, rebounds, the return angle, points
// and the serve.
#include <cstdint>

#include "display/bob.h"

enum {
    RACQUET_SPEED = 9,
    SERVE_SPEED_BASE = 10,
    SIDE_RIGHT_RACQUET = 500,
    SIDE_LEFT_RACQUET = 501,
};

int court_test_x_edges(const BOB* bob);
//   0; 1 at or beyond the left side; 2 at or beyond the right side (2 wins).
int court_test_y_edges(const BOB* bob);
//   0; 3 at or beyond the top; 4 at or beyond the bottom (4 wins).
int ball_test_racquet_ends(const BOB* ball, const BOB* racquet, int32_t side);
//   0; 4 overlapping the racquet's top end; 5 its bottom end (5 wins). Reads the edge fields.
int ball_test_racquet_face(const BOB* ball, const BOB* racquet, int32_t side);
//   0, or 2 when the ball meets the racquet's face. Reads the edge fields.
int ball_deflect(BOB* ball, const BOB* racquet);
//   Bends vy by where the ball met the racquet. 1.
void racquet_steer();
void racquet_clamp(BOB* racquet);
void ball_rebound_walls();
void ball_check_point();
void ball_hit_racquet(BOB* racquet, int32_t side);
void ball_hold_for_serve(int32_t side);
void ball_launch_serve(int32_t side);
void ball_set_serve_velocity(int32_t side);
//   side: SIDE_LEFT_RACQUET or SIDE_RIGHT_RACQUET, the player who serves.
