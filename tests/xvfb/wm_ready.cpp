// Waits until the window manager on $DISPLAY takes in new windows: maps a small window and
// waits for the manager to frame and show it. The manager's announcement on the root window
// comes before it has finished starting; a window mapped in between can be taken in and left
// unmapped, and a check started then would wait for a window that never shows.
// Exit status 0 when a window was framed and shown, 1 when none was within five minutes (a
// loaded machine only makes the manager slower).
#include <X11/Xlib.h>

#include <cstdio>
#include <ctime>

namespace {

void pause_ms(long ms) {
    struct timespec ts{0, ms * 1000000L};
    nanosleep(&ts, nullptr);
}

// Whether the manager has put w in a frame of its own and the window is on the screen.
bool framed_and_shown(Display* d, Window w) {
    XWindowAttributes a;
    if (!XGetWindowAttributes(d, w, &a) || a.map_state != IsViewable) return false;
    Window root = 0, parent = 0, *children = nullptr;
    unsigned n = 0;
    if (!XQueryTree(d, w, &root, &parent, &children, &n)) return false;
    if (children) XFree(children);
    return parent != root;
}

}  // namespace

int main() {
    Display* d = XOpenDisplay(nullptr);
    if (!d) {
        std::fprintf(stderr, "wm_ready: cannot open the display\n");
        return 1;
    }
    // A window the manager left unmapped is not tried again: a new one is made.
    for (int attempt = 0; attempt < 30; ++attempt) {
        const Window w = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 16, 16, 0, 0, 0);
        XMapWindow(d, w);
        XSync(d, False);
        bool ready = false;
        for (int k = 0; k < 1000 && !ready; ++k) {
            pause_ms(10);
            ready = framed_and_shown(d, w);
        }
        XDestroyWindow(d, w);
        XSync(d, False);
        if (ready) {
            XCloseDisplay(d);
            return 0;
        }
    }
    std::fprintf(stderr, "wm_ready: the window manager did not show a new window\n");
    XCloseDisplay(d);
    return 1;
}
