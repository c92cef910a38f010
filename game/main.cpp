// Program entry: moves into the folder that holds the game's art and sounds, then runs the game.
#include <unistd.h>

#include <climits>
#include <string>

#include "game/assets.h"
#include "game/game.h"

namespace {

// The game's data lies next to the program in the build tree (data/), under share/zarn-tennis
// once installed, and under share/games/zarn-tennis in the Debian package (the program in
// games/); failing all three, the working directory is used as it is.
void enter_data_folder() {
    char self[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0) return;
    self[n] = '\0';
    std::string dir(self);
    dir.erase(dir.find_last_of('/') + 1);
    for (const char* relative : {"data", "../share/zarn-tennis", "../share/games/zarn-tennis"}) {
        const std::string candidate = dir + relative;
        if (access(candidate.c_str(), R_OK | X_OK) == 0 && chdir(candidate.c_str()) == 0) return;
    }
}

}  // namespace

int main() {
    enter_data_folder();
    return game_main();
}
