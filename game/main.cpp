// Program entry: moves into the folder that holds the game's art and sounds, then runs the game.
#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <unistd.h>
#endif

#include <climits>
#include <string>

#include "game/assets.h"
#include "game/game.h"

namespace {

#ifdef _WIN32
// On Windows the data lies in data\ beside the program, wherever it was unpacked or installed;
// failing that, the working directory is used as it is.
void enter_data_folder() {
    wchar_t self[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return;
    std::wstring dir(self, n);
    dir.erase(dir.find_last_of(L"\\/") + 1);
    SetCurrentDirectoryW((dir + L"data").c_str());
}
#else
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
#endif

}  // namespace

int main() {
    enter_data_folder();
    return game_main();
}
