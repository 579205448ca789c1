// What the real-window checks of the program share beyond driving it: a fresh directory holding
// the main road's data set and a copy of the program, the report at the end of a check, and a
// click on a window's close box as a window manager passes it on.
#pragma once
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "drive_support.h"

// Xlib last: its macros clash with other names.
#include <X11/Xlib.h>

namespace drive {

// A fresh directory (no dot in its path: the automatic log is named after the input path up to
// its first dot) holding mainroad.rfl and mainroad.par, the program in bin/ (its configuration
// file is kept beside it) and an empty module folder for a scripted run. Empty when it cannot be
// made.
inline fs::path fresh_app_dir(const fs::path& app, const fs::path& fixtures, const std::string& prefix) {
    std::string tmpl = (fs::temp_directory_path() / (prefix + "XXXXXX")).string();
    if (!mkdtemp(tmpl.data())) return {};
    const fs::path dir = tmpl;
    std::error_code ec;
    fs::create_directories(dir / "bin", ec);
    fs::create_directories(dir / "module", ec);
    for (const char* f : {"mainroad.rfl", "mainroad.par"}) fs::copy_file(fixtures / f, dir / f, ec);
    fs::copy_file(app, dir / "bin/kelvorantide", ec);
    if (ec) {
        std::fprintf(stderr, "FAILED: cannot set up %s: %s\n", dir.c_str(), ec.message().c_str());
        return {};
    }
    return dir;
}

// A passed check leaves nothing behind; a failed one keeps its directory and shows what the
// program said (and its transcript, when it wrote one).
inline void report_app_end(const fs::path& dir) {
    end_app();
    if (failures == 0) {
        fs::remove_all(dir);
        return;
    }
    std::error_code ec;
    fs::remove(dir / "bin/kelvorantide", ec);
    std::fprintf(stderr, "kept: %s\nthe program said:\n%s\n", dir.c_str(), read_bytes(dir / "program.txt").c_str());
    if (fs::exists(dir / "shown.txt")) std::fprintf(stderr, "shown:\n%s\n", read_bytes(dir / "shown.txt").c_str());
}

// A click on a window's close box, as the window manager passes it on: WM_DELETE_WINDOW in a
// WM_PROTOCOLS message to the window (also where no manager draws a close box).
inline bool press_close_box(const std::string& id) {
    Display* d = XOpenDisplay(nullptr);
    if (!d) return false;
    XEvent ev{};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = Window(std::stoul(id));
    ev.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = long(XInternAtom(d, "WM_DELETE_WINDOW", False));
    ev.xclient.data.l[1] = CurrentTime;
    const bool sent = XSendEvent(d, ev.xclient.window, False, NoEventMask, &ev) != 0;
    XCloseDisplay(d);  // sends it
    return sent;
}

// Button k (from the right, 0 the last) of the exit question's two (90 pixels wide, 12 apart, 12
// from the box's right and bottom edges, 28 high), clicked; true once the box has closed.
inline bool click_exit_button(const std::string& box, int from_right) {
    const Geometry g = geometry(box);
    run("xdotool mousemove --window " + box + " " + std::to_string(g.w - 12 - 45 - from_right * (90 + 12)) + " " +
        std::to_string(g.h - 12 - 14) + " click 1");
    return wait_gone(box, 5);
}
inline bool answer_no(const std::string& box) { return click_exit_button(box, 0); }
inline bool answer_yes(const std::string& box) { return click_exit_button(box, 1); }

// The exit question just asked, answered "Yes" (Return answers "No"); true once it has closed.
inline bool confirm_exit() {
    const std::string box = wait_window(20, wl::fltk::kClassMessage);
    check(!box.empty(), "the exit question is shown");
    return !box.empty() && answer_yes(box);
}

// "Exit" in the main window and Yes to the question: the program ends with status 0.
inline void exit_program(const std::string& master) {
    step("Exit");
    click_cell(master, 16, 0, 2, 1, wl::fltk::kBarHeight, wl::fltk::kBarHeight);
    check(confirm_exit(), "Yes answers the exit question");
    check(wait_app(20) == 0, "the program ends with status 0");
}

}  // namespace drive
