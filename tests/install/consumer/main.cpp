// Opens the display through the installed support layer and draws a frame.
#include <zarn/zarn.h>

int main() {
    if (display_init(640, 480, 8) != 1) return 0;  // no display here is not a failure of the package
    display_fill_surface(display_back, 7);
    int ok = display_flip();
    display_shutdown();
    return ok == 1 ? 0 : 1;
}
