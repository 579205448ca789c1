// What the real-window check programs share: the failure count, a settling wait, finding the
// check's master window and a widget by its id, and the window read back from the screen.
#pragma once
#include <signal.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/fltk/boxes.h"
#include "platform/fltk/fltk_frontend.h"

#include <FL/Fl.H>
#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>
#include <FL/x.H>

namespace xcheck {

inline int failures = 0;

inline void check(bool ok, const std::string& what) {
    if (!ok) {
        std::fprintf(stderr, "FAILED: %s\n", what.c_str());
        ++failures;
    }
}

// ---- waiting ----
// What the X server, a window manager or an xdotool helper does comes a moment later, later still
// on a loaded machine. A check waits for it as long as it takes, up to a generous limit that only
// a lost event reaches; it never fails because the machine is busy.

// The longest a check waits for one thing done outside the process (an event, a window mapped).
inline constexpr unsigned kPatienceSeconds = 180;

// What the check waits for now, named when the wait runs out.
inline const char* awaited = "";

inline void on_wait_ran_out(int) {
    static const char head[] = "FAILED: nothing came while the check waited for ";
    (void)!write(2, head, sizeof head - 1);
    (void)!write(2, awaited, std::strlen(awaited));
    (void)!write(2, "\n", 1);
    _exit(1);
}

// Starts a blocking wait for something made outside the process (gmAction waiting for a click
// xdotool sends, a box or dialog waiting to be answered); when wait_over() has not followed
// after kPatienceSeconds, the check ends, failed, naming `what`.
inline void waiting_for(const char* what) {
    awaited = what;
    signal(SIGALRM, on_wait_ran_out);
    alarm(kPatienceSeconds);
}
inline void wait_over() { alarm(0); }

// Lets the windows appear and be drawn.
inline void settle(double seconds = 0.5) {
    for (double t = 0; t < seconds; t += 0.02) {
        Fl::wait(0.02);
        Fl::flush();
    }
}

// The shown master window with the given title.
inline Fl_Window* master_window_titled(const std::string& title) {
    for (Fl_Window* w = Fl::first_window(); w; w = Fl::next_window(w))
        if (w->xclass() && std::string(w->xclass()) == wl::fltk::kClassMaster && w->label() &&
            std::string(w->label()) == title)
            return w;
    return nullptr;
}

// The child of w that shows widget wid.
inline Fl_Widget* child_showing(Fl_Window* w, int wid) {
    if (!w) return nullptr;
    for (int i = 0; i < w->children(); ++i)
        if (w->child(i)->user_data() == reinterpret_cast<void*>(intptr_t(wid))) return w->child(i);
    return nullptr;
}

// Waits until cond() holds, `seconds` at most, handling the windows' events meanwhile; whether
// it holds. For what the server or a window manager does a moment later.
template <class Cond>
bool eventually(Cond cond, double seconds = kPatienceSeconds) {
    for (double t = 0; t < seconds; t += 0.02) {
        if (cond()) return true;
        settle(0.02);
    }
    return cond();
}

// Whether the X window is on the screen: mapped, and every window it lies in mapped too. Under a
// window manager a new window is only mapped once the manager has taken it in.
inline bool viewable(Window xid) {
    XSync(fl_display, False);
    XWindowAttributes attributes;
    return XGetWindowAttributes(fl_display, xid, &attributes) && attributes.map_state == IsViewable;
}

// Waits until the window is on the screen and drawn: a window manager on a busy machine may take
// a while to take a new window in and map it, and a window not yet mapped cannot be read back.
inline bool wait_on_screen(Fl_Window* win) {
    if (!eventually([&] { return win->shown() && viewable(fl_xid(win)); })) return false;
    settle(0.06);  // the exposure it was mapped with is handled and the window drawn
    return true;
}

// Where a window stands in the server's stacking order (higher is nearer the front), -1 when
// it is not on the screen. Under a window manager the window lies in a frame of the manager's:
// the frame, the root window's child, stands for it. A window the manager has not finished
// taking in is not on the screen yet: until then it may stand anywhere (an unmanaged window
// lies at the top, a new frame is made at the top and only then put in its place).
inline int stacking_place(Window xid) {
    if (!viewable(xid)) return -1;
    const Window top = RootWindow(fl_display, fl_screen);
    Window root = 0, parent = 0, *children = nullptr;
    unsigned n = 0;
    for (int depth = 0; depth < 32; ++depth) {
        if (!XQueryTree(fl_display, xid, &root, &parent, &children, &n)) return -1;
        if (children) XFree(children);
        if (parent == top || parent == 0) break;
        xid = parent;
    }
    int place = -1;
    if (XQueryTree(fl_display, top, &root, &parent, &children, &n)) {
        for (unsigned k = 0; k < n; ++k)
            if (children[k] == xid) place = int(k);
        if (children) XFree(children);
    }
    return place;
}

// Waits until window `upper` stands in front of window `lower`, both on the screen (a window
// manager restacks a moment later); whether it does.
inline bool stacked(Window upper, Window lower) {
    return eventually([&] {
        const int u = stacking_place(upper), l = stacking_place(lower);
        return u >= 0 && l >= 0 && u > l;
    });
}

// The window as it is on the screen, read back once.
struct ScreenShot {
    int w = 0, h = 0;
    unsigned char* rgb = nullptr;
    ScreenShot() = default;
    ScreenShot(const ScreenShot&) = delete;
    ScreenShot& operator=(const ScreenShot&) = delete;
    ~ScreenShot() { delete[] rgb; }
    void read(Fl_Window* win) {
        wait_on_screen(win);
        win->make_current();
        w = win->w();
        h = win->h();
        rgb = fl_read_image(nullptr, 0, 0, w, h);
    }
    const unsigned char* at(int x, int y) const { return rgb + 3 * (std::size_t(y) * std::size_t(w) + std::size_t(x)); }
    bool pixel_is(int x, int y, Fl_Color c) const {
        if (!rgb || x < 0 || y < 0 || x >= w || y >= h) return false;
        uchar r, g, b;
        Fl::get_color(c, r, g, b);
        const unsigned char* p = at(x, y);
        return p[0] == r && p[1] == g && p[2] == b;
    }
};

}  // namespace xcheck
