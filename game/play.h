#pragma once
/// \file
/// Ball, racquets and scoring: steering, the court's edges, rebounds, the return angle, points
/// and the serve.
#include <cstdint>

#include "sprites/bob.h"

enum {
    RACQUET_SPEED = 9,
    SERVE_SPEED_BASE = 10,
    SIDE_RIGHT_RACQUET = 500,
    SIDE_LEFT_RACQUET = 501,
};

/// 0; 1 at or beyond the left side; 2 at or beyond the right side (2 wins).
int court_test_x_edges(const BOB* bob);
/// 0; 3 at or beyond the top; 4 at or beyond the bottom (4 wins).
int court_test_y_edges(const BOB* bob);
/// 0; 4 overlapping the racquet's top end; 5 its bottom end (5 wins). Reads the edge fields.
int ball_test_racquet_ends(const BOB* ball, const BOB* racquet, int32_t side);
/// 0, or 2 when the ball meets the racquet's face. Reads the edge fields.
int ball_test_racquet_face(const BOB* ball, const BOB* racquet, int32_t side);
/// Bends vy by where the ball met the racquet. 1.
int ball_deflect(BOB* ball, const BOB* racquet);
/// Moves each racquet whose keys are held by RACQUET_SPEED pixels a key (A up and Z down for the
/// left one, the Up and Down arrows for the right one): its velocity set to the step, then
/// bob_move(), so that its edges follow; both keys of a racquet held cancel out. No key held:
/// that racquet is left as it was.
void racquet_steer();
/// Puts a racquet that reached the top or bottom of the court back on it (y 0, or the display's
/// height less its own). Only y is written: the edges keep the values of the racquet's last
/// move, so the hit tests read them stale until it moves again.
void racquet_clamp(BOB* racquet);
/// A ball at or beyond the top or bottom of the court has its vy reversed and is set back onto
/// the court's edge (bob_set_position(), which also brings its edges up to date). Else nothing.
void ball_rebound_walls();
/// A ball at or beyond a side of the court scores for the other player: its vx reversed, set
/// back onto that side, the point's sound played, the player's score counted, the state
/// GAME_RIGHT_SCORED (left side reached) or GAME_LEFT_SCORED (right side). Else nothing.
void ball_check_point();
/// The ball against one racquet (side: SIDE_LEFT_RACQUET or SIDE_RIGHT_RACQUET, which one it
/// is): off the top end, its vy reversed and it set above the racquet; off the bottom end, below
/// it; on the face, its vx reversed, it set against the face, the hit sound played and its vy
/// bent by ball_deflect(). Reads the edge fields. No contact: nothing changes.
void ball_hit_racquet(BOB* racquet, int32_t side);
/// Puts the ball at the serving racquet's top, against its face (side: SIDE_LEFT_RACQUET or
/// SIDE_RIGHT_RACQUET), then moves it once by bob_move() (its velocity added, its edges
/// brought up to date).
void ball_hold_for_serve(int32_t side);
/// Turns the ball's velocity away from the serving racquet (side: SIDE_LEFT_RACQUET sends it
/// right, SIDE_RIGHT_RACQUET left) and upwards, keeping its speed on each axis.
void ball_launch_serve(int32_t side);
/// Sets the ball's velocity for a serve by side (SIDE_LEFT_RACQUET or SIDE_RIGHT_RACQUET, the
/// player who serves): SERVE_SPEED_BASE + ball_speed_offset pixels a frame on each axis, away
/// from the server and upwards.
void ball_set_serve_velocity(int32_t side);
