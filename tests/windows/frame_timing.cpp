// A frame of play of the Windows program timed under Wine: a pass of the game's loop without the
// frame's 20 ms wait (a window message taken, then game_frame_work), drawn and presented in the
// real window, in a rally in mid-court; the work of the native benchmark BM_GameFrame_Play.
// Prints one line of JSON: the time a frame takes in the quickest batch, in microseconds, the
// batch least disturbed by the rest of the machine. Usage: zarn_frame_timing GAME_DATA_FOLDER
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "game/assets.h"
#include "game/game.h"
#include "game/states.h"
#include "platform/window.h"
#include "sprites/bob.h"

int main(int argc, char** argv) {
    if (argc != 2 || chdir(argv[1]) != 0) {
        std::fprintf(stderr, "zarn_frame_timing: give the game's data folder\n");
        return 2;
    }
    if (plat_window_create(GAME_WINDOW_TITLE) != 0 || !game_init(nullptr)) {
        std::fprintf(stderr, "zarn_frame_timing: no game: %s\n", game_startup_error);
        return 1;
    }
    constexpr int kBatches = 21;
    constexpr int kPerBatch = 10;
    std::vector<double> batches;
    for (int b = 0; b <= kBatches; ++b) {
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < kPerBatch; ++i) {
            PlatMessage message{};
            if (plat_message_take(&message)) game_window_proc(&message);
            game_state = GAME_PLAYING;
            bob_set_position(&ball, 300, 200);
            bob_set_velocity(&ball, 10, 10);
            game_frame_work();
        }
        const std::chrono::duration<double, std::micro> spent = std::chrono::steady_clock::now() - start;
        if (b > 0) batches.push_back(spent.count() / kPerBatch);  // the first warms up
    }
    std::printf("{\"frame_us\": %.1f}\n", *std::min_element(batches.begin(), batches.end()));
    game_shutdown(nullptr);
    plat_window_destroy();
    return 0;
}
