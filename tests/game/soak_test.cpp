// A soak: the game driven by random keys through the message loop for many frames with no frame
// wait, checking the rules of the court in every frame. ZARN_SOAK_FRAMES sets the number of frames
// (50000 by default, a few seconds; 1000000 for the long run by hand) and ZARN_SOAK_SEED the
// random sequence.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <random>
#include <string>

#include "game_fixture.h"

namespace {

long env_number(const char* name, long fallback) {
    const char* v = std::getenv(name);
    if (!v || !*v) return fallback;
    char* end = nullptr;
    const long n = std::strtol(v, &end, 10);
    return (end && *end == '\0' && n > 0) ? n : fallback;
}

// Each key is pressed or let go at random, with the chance per frame of a change; the racquet
// keys change often, Escape seldom, so that games last long enough for points to be won.
struct SoakKey {
    int code;
    double change;
};
const SoakKey kKeys[] = {
    {DIK_A, 0.10},     {DIK_Z, 0.10},      {DIK_UP, 0.10},    {DIK_DOWN, 0.10}, {DIK_LEFT, 0.05},
    {DIK_RIGHT, 0.05}, {DIK_RETURN, 0.05}, {DIK_SPACE, 0.08}, {DIK_P, 0.01},    {DIK_ESCAPE, 0.004},
};

bool speed_ok(int32_t v) { return v == 9 || v == 10 || v == 11 || v == -9 || v == -10 || v == -11; }

}  // namespace

TEST_F(GameTest, SoakOfRandomKeysKeepsTheCourtRulesInEveryFrame) {
    const long total = env_number("ZARN_SOAK_FRAMES", 50000);
    std::mt19937 random(static_cast<uint32_t>(env_number("ZARN_SOAK_SEED", 7)));
    std::uniform_real_distribution<double> chance(0.0, 1.0);
    // Every reading of the clock moves it on by a whole frame: no frame wait and no fade spins.
    headless_set_tick_step(FRAME_PERIOD_MS);

    long points = 0, runs = 1, options_frames = 0, paused_frames = 0, playing_frames = 0, new_games = 0;
    // The ball starts at (10, 10) and only the options menu and the point screens set its speed,
    // so its vx is checked from the first frame on, not only once the options have been shown.
    bool held[std::size(kKeys)] = {};
    const auto started = std::chrono::steady_clock::now();
    for (long f = 0; f < total; ++f) {
        for (size_t i = 0; i < std::size(kKeys); ++i)
            if (chance(random) < kKeys[i].change) {
                held[i] = !held[i];
                headless_key_set(kKeys[i].code, held[i]);
            }
        const int32_t state = game_state, left = left_score, right = right_score;
        const int32_t left_sounds = game_sound_starts[point_left_sound];
        const int32_t right_sounds = game_sound_starts[point_right_sound];

        int32_t code = -1;
        if (!game_loop_pass(&code)) {
            // Escape in a menu ended the program. A new run starts, as the program would be
            // started again, so the soak goes on through start-up and shutdown over and over.
            ASSERT_EQ(code, 0) << "frame " << f;
            game_shutdown(nullptr);
            game_states_reset();
            sound_first_init = 1;
            sound_object = nullptr;
            ASSERT_EQ(game_init(nullptr), 1) << game_startup_error;
            ++runs;
            continue;
        }

        // The racquets stand at their sides and inside the court once clamped.
        ASSERT_EQ(left_racquet.x, 0) << "frame " << f;
        ASSERT_EQ(right_racquet.x, 616) << "frame " << f;
        ASSERT_GE(left_racquet.y, 0) << "frame " << f;
        ASSERT_LE(left_racquet.y, 376) << "frame " << f;
        ASSERT_GE(right_racquet.y, 0) << "frame " << f;
        ASSERT_LE(right_racquet.y, 376) << "frame " << f;
        ASSERT_TRUE(speed_ok(ball.vx)) << "frame " << f << ": vx " << ball.vx;

        // The scores grow by one at a point, announced by its sound, or go back to 0 for a new
        // game from the main menu; they never change otherwise.
        if (left_score != left || right_score != right) {
            const bool new_game = state == GAME_MAIN_MENU && left_score == 0 && right_score == 0;
            const bool left_point = state == GAME_PLAYING && left_score == left + 1 && right_score == right &&
                                    game_sound_starts[point_left_sound] == left_sounds + 1;
            const bool right_point = state == GAME_PLAYING && right_score == right + 1 && left_score == left &&
                                     game_sound_starts[point_right_sound] == right_sounds + 1;
            ASSERT_TRUE(new_game || left_point || right_point)
                << "frame " << f << ": " << left << ":" << right << " became " << left_score << ":" << right_score
                << " in state " << state;
            points += left_point || right_point;
        } else {
            ASSERT_EQ(game_sound_starts[point_left_sound], left_sounds) << "frame " << f;
            ASSERT_EQ(game_sound_starts[point_right_sound], right_sounds) << "frame " << f;
        }
        if (state == GAME_MAIN_MENU && game_state == GAME_LEFT_SERVES) ++new_games;
        options_frames += state == GAME_OPTIONS;
        paused_frames += state == GAME_PAUSED;
        playing_frames += state == GAME_PLAYING;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf(
        "soak: %ld frames in %.1f s; %ld runs, %ld games, %ld points; frames in play %ld, paused %ld, "
        "in the options %ld\n",
        total, seconds, runs, new_games, points, playing_frames, paused_frames, options_frames);
    // The random keys reached every part of the game.
    if (total >= 50000) {
        EXPECT_GT(points, 10);
        EXPECT_GT(runs, 1);
        EXPECT_GT(new_games, 1);
        EXPECT_GT(options_frames, 0);
        EXPECT_GT(paused_frames, 0);
    }
}
