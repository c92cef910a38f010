// A replay: a fixed script of keys over a few thousand frames from start-up, summarised frame by
// frame and compared with the summary kept in tests/data, so that any change of behaviour shows
// as a difference. Set ZARN_REPLAY_WRITE=1 to write the summary anew after an intended change.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "game_fixture.h"

namespace {

const int kFrames = 3000;

// The keys held in frame f: the menus first, then a long game with both racquets wandering, a
// pause, a return to the menu and a second game.
std::vector<int> keys_at(int f) {
    std::vector<int> k;
    auto during = [&](int from, int to, int key) {
        if (f >= from && f < to) k.push_back(key);
    };
    during(10, 12, DIK_RIGHT);   // main menu: options
    during(20, 24, DIK_RETURN);  // into the options
    during(30, 33, DIK_RIGHT);
    during(40, 43, DIK_RIGHT);
    during(50, 53, DIK_RETURN);  // fast ball
    during(60, 62, DIK_DOWN);
    during(70, 73, DIK_RETURN);  // back to the main menu
    during(80, 82, DIK_LEFT);
    during(90, 93, DIK_RETURN);  // a new game
    during(100, 110, DIK_A);
    during(1500, 1503, DIK_P);  // pause
    during(1560, 1563, DIK_P);  // and on
    during(2500, 2503, DIK_ESCAPE);
    during(2530, 2533, DIK_RETURN);  // a second game from the menu
    if (f >= 120) {
        // Space every 40 frames: serves and leaves the point screens.
        if (f % 40 < 3) k.push_back(DIK_SPACE);
        // Each racquet sweeps up and down on its own rhythm.
        const int left = (f / 23) % 6, right = (f / 31) % 5;
        if (left == 0 || left == 1) k.push_back(DIK_Z);
        if (left == 3 || left == 4) k.push_back(DIK_A);
        if (right == 0 || right == 2) k.push_back(DIK_UP);
        if (right == 1 || right == 3) k.push_back(DIK_DOWN);
        if (f % 97 == 0) k.push_back(DIK_A);  // now and then both keys of the left racquet
    }
    return k;
}

std::string summary_line(int f, const int32_t before[64]) {
    char line[200];
    std::snprintf(line, sizeof line, "%d s%d b%d,%d v%d,%d f%d L%d,%d R%d,%d sc%d:%d snd", f, game_state, ball.x,
                  ball.y, ball.vx, ball.vy, ball.frame, left_racquet.y, left_racquet.top, right_racquet.y,
                  right_racquet.top, left_score, right_score);
    std::string s = line;
    for (int id = 0; id < 64; ++id)
        for (int32_t n = before[id]; n < game_sound_starts[id]; ++n) {
            s += ' ';
            s += std::to_string(id);
        }
    return s;
}

}  // namespace

TEST_F(GameTest, ReplayOfAScriptedMatchMatchesTheKeptSummary) {
    std::ostringstream out;
    std::vector<int> held;
    for (int f = 0; f < kFrames; ++f) {
        for (int key : held) let_go(key);
        held = keys_at(f);
        for (int key : held) hold(key);
        int32_t before[64];
        std::copy(game_sound_starts, game_sound_starts + 64, before);
        game_frame(nullptr);
        out << summary_line(f, before) << "\n";
    }
    const std::string path = std::string(ZARN_TEST_DATA) + "/game_replay.txt";
    if (std::getenv("ZARN_REPLAY_WRITE")) {
        std::ofstream(path) << out.str();
        GTEST_SKIP() << "summary written to " << path;
    }
    std::ifstream kept(path);
    ASSERT_TRUE(kept) << "no kept summary at " << path;
    std::istringstream now(out.str());
    std::string want, got;
    int line = 0;
    while (std::getline(kept, want)) {
        ASSERT_TRUE(std::getline(now, got)) << "the replay ended early at line " << line;
        ASSERT_EQ(got, want) << "first difference at frame " << line;
        ++line;
    }
    EXPECT_EQ(line, kFrames);
}
