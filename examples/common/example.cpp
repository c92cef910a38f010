// The examples' shared start-up, frame loop and shutdown.
#include "example.h"

#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <zarn/zarn.h>

namespace {

int frames_wanted = 0;  // 0: until Escape
int frames_begun = 0;
int window_closed = 0;
char program[64] = "zarn-example";

// The folders looked in for the art and sounds, for the message naming a missing file.
std::string searched;

// The art and sounds lie in data/NAME beside the program in the build tree, in
// ../share/zarn/examples/NAME once installed, and, for an example built from the installed
// sources, where that install put them (ZARN_EXAMPLES_DATA); failing all, the working directory
// is used (the web page's file system holds them there).
void enter_data_folder(const char* name) {
    std::string folders[3];
    int count = 0;
    char self[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n > 0) {
        self[n] = '\0';
        const std::string beside = std::string(self, std::strrchr(self, '/') + 1);
        folders[count++] = beside + "data/" + name;
        folders[count++] = beside + "../share/zarn/examples/" + name;
    }
#ifdef ZARN_EXAMPLES_DATA
    folders[count++] = std::string(ZARN_EXAMPLES_DATA) + "/" + name;
#endif
    searched.clear();
    for (int i = 0; i < count; ++i) {
        searched += (searched.empty() ? "" : ", ") + folders[i];
        if (chdir(folders[i].c_str()) == 0) return;
    }
    searched += (searched.empty() ? "" : ", ") + std::string("the working directory");
}

int fail(const char* what) {
    const char* why = plat_error_text();
    std::fprintf(stderr, "%s: %s%s%s\n", program, what, (why && *why) ? ": " : "", (why && *why) ? why : "");
    example_stop();
    return 0;
}

}  // namespace

int example_start(const char* name, int argc, char** argv) {
    std::snprintf(program, sizeof program, "zarn-example-%s", name);
    frames_wanted = 0;
    frames_begun = 0;
    window_closed = 0;
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--frames") == 0) frames_wanted = std::atoi(argv[i + 1]);
    enter_data_folder(name);

    char title[96];
    std::snprintf(title, sizeof title, "Zarn example: %s", name);
    if (plat_window_create(title) != PLAT_OK) return fail("cannot make the window");
    if (!display_init(640, 480, 8)) return fail("cannot open the display");
    // Sprites and text are blitted onto the back surface; the clipper cuts them at its edges.
    const PlatRect screen{0, 0, display_width, display_height};
    display_clipper = display_attach_clipper(display_back, 1, &screen);
    if (!input_init() || !keyboard_init()) return fail("cannot open the keyboard");
    plat_cursor_show(0);
    return 1;
}

int example_running() {
    PlatMessage message{};
    while (plat_message_take(&message))
        if (message.kind == PLAT_MSG_DESTROY || message.kind == PLAT_MSG_QUIT) window_closed = 1;
    keyboard_read();
    if (window_closed || keyboard_state[DIK_ESCAPE]) return 0;
    if (frames_wanted > 0 && frames_begun >= frames_wanted) return 0;
    ++frames_begun;
    return 1;
}

int example_frame() { return frames_begun; }

void example_missing(const char* file) {
    std::fprintf(stderr, "%s: cannot read %s (looked in %s)\n", program, file, searched.c_str());
}

void example_stop() {
    input_shutdown();
    display_shutdown();
    plat_window_destroy();
}
