// Plays the part of the desktop for the tests under Xvfb, where no window manager runs:
//   x_desktop close WINDOW   asks the window to close, as a window manager's close button does
//                            (the WM_DELETE_WINDOW protocol message), without killing its client;
//   x_desktop window X Y     opens a small window of its own at (X, Y) that can take the focus,
//                            prints its id and keeps it open until the program is ended.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

int close_window(Display* d, Window w) {
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = w;
    e.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
    e.xclient.data.l[1] = CurrentTime;
    if (!XSendEvent(d, w, False, NoEventMask, &e)) return 1;
    XSync(d, False);
    return 0;
}

int open_window(Display* d, int x, int y) {
    const int screen = DefaultScreen(d);
    XSetWindowAttributes a{};
    a.background_pixel = BlackPixel(d, screen);
    a.override_redirect = False;
    const Window w = XCreateWindow(d, RootWindow(d, screen), x, y, 16, 16, 0, CopyFromParent, InputOutput,
                                   CopyFromParent, CWBackPixel | CWOverrideRedirect, &a);
    XStoreName(d, w, "x_desktop");
    XSelectInput(d, w, KeyPressMask | KeyReleaseMask | FocusChangeMask | StructureNotifyMask);
    XMapRaised(d, w);
    for (;;) {  // until it is shown
        XEvent e;
        XNextEvent(d, &e);
        if (e.type == MapNotify) break;
    }
    std::printf("%lu\n", static_cast<unsigned long>(w));
    std::fflush(stdout);
    for (;;) {
        XEvent e;
        XNextEvent(d, &e);
    }
}

}  // namespace

int main(int argc, char** argv) {
    Display* d = XOpenDisplay(nullptr);
    if (!d) {
        std::fprintf(stderr, "x_desktop: cannot open the display\n");
        return 1;
    }
    int r = 2;
    if (argc == 3 && std::strcmp(argv[1], "close") == 0) {
        r = close_window(d, static_cast<Window>(std::strtoul(argv[2], nullptr, 0)));
    } else if (argc == 4 && std::strcmp(argv[1], "window") == 0) {
        r = open_window(d, std::atoi(argv[2]), std::atoi(argv[3]));
    } else {
        std::fprintf(stderr, "usage: x_desktop close WINDOW | x_desktop window X Y\n");
    }
    XCloseDisplay(d);
    return r;
}
