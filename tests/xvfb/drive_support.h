// Driving the program's real windows from outside, as a user does, with xdotool: finding
// windows by class and title, clicking grid cells, typing into FLTK's file chooser, answering
// boxes, choosing menu entries from the keyboard; starting and ending the program.
#pragma once
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/fltk/boxes.h"

namespace drive {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

inline int failures = 0;
inline pid_t app_pid = 0;
inline std::string shot_dir;  // when set, where a picture of the screen goes at the first failure

inline void check(bool ok, const std::string& what) {
    if (!ok) {
        std::fprintf(stderr, "FAILED: %s\n", what.c_str());
        if (failures++ == 0 && !shot_dir.empty()) {
            const std::string cmd = "import -window root '" + shot_dir + "/failure.png' >/dev/null 2>&1";
            if (std::system(cmd.c_str()) == 0) std::fprintf(stderr, "the screen: %s/failure.png\n", shot_dir.c_str());
        }
    }
}

// The journey's progress, for the report of a failure.
inline void step(const std::string& what) {
    static const auto t0 = Clock::now();
    std::fprintf(stderr, "%6.2f s  %s\n", std::chrono::duration<double>(Clock::now() - t0).count(), what.c_str());
}

// ---- waiting on progress ----
// A check waits on what the program does, not on the clock: a wait goes on as long as the
// program advances (it uses the processor) and gives up once the program has stood still for the
// wait's stated number of seconds. The whole check has a generous limit of its own
// (whole_check_limit), which only a program that runs without end reaches. A loaded machine
// makes a check slower, never failed.

// The limit of a whole check, in seconds; the test's own limit (kv_window_test) lies above it.
inline constexpr unsigned kWholeCheckSeconds = 1200;

// The check as a whole must end: a program that hangs is ended with it.
inline void on_alarm(int) {
    if (app_pid > 0) kill(app_pid, SIGKILL);
    static const char msg[] = "FAILED: the check ran out of time\n";
    (void)!write(2, msg, sizeof msg - 1);
    _exit(1);
}

// Arms the whole check's limit.
inline void whole_check_limit(unsigned seconds = kWholeCheckSeconds) {
    signal(SIGALRM, on_alarm);
    alarm(seconds);
}

inline void pause_ms(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// The time a process has run on a processor so far, in seconds (-1 when it is gone).
inline double cpu_seconds(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/schedstat");
    long long ns = -1;
    if (!(in >> ns)) return -1;
    return double(ns) * 1e-9;
}

// The program's progress: its processor time so far (-1 when no program runs).
inline double program_progress() { return app_pid > 0 ? cpu_seconds(app_pid) : -1; }

// Waits until cond() holds; false when the program stood still for `stall` seconds without it
// holding (without a program running: `stall` seconds from the start).
template <class Cond>
bool wait_until(Cond cond, double stall) {
    const auto patience = std::chrono::duration<double>(stall);
    double seen = program_progress();
    auto moved = Clock::now();
    for (;;) {
        if (cond()) return true;
        const double now = program_progress();
        if (now != seen) {
            seen = now;
            moved = Clock::now();
        } else if (Clock::now() - moved >= patience) {
            return cond();
        }
        pause_ms(30);
    }
}

inline std::string output_of(const std::string& cmd) {
    std::string out;
    if (FILE* p = popen(cmd.c_str(), "r")) {
        char buf[512];
        std::size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
        pclose(p);
    }
    return out;
}

inline int run(const std::string& cmd) {
    const int rc = std::system(cmd.c_str());
    return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
}

inline std::string read_bytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void write_bytes(const fs::path& p, const std::string& text) { std::ofstream(p, std::ios::binary) << text; }

inline std::string quoted(const std::string& s) { return "'" + s + "'"; }

// ---- windows ----

inline std::vector<std::string> search(const std::string& what, const std::string& pattern) {
    std::vector<std::string> ids;
    std::istringstream in(output_of("xdotool search --onlyvisible --" + what + " " + quoted(pattern) + " 2>/dev/null"));
    for (std::string id; in >> id;) ids.push_back(id);
    return ids;
}

// The visible windows whose class matches the pattern and, when one is given, whose title
// matches the second.
inline std::vector<std::string> windows(const std::string& cls, const std::string& title = "") {
    std::vector<std::string> ids = search("classname", cls);
    if (title.empty() || ids.empty()) return ids;
    const std::vector<std::string> named = search("name", title);
    std::vector<std::string> both;
    for (const std::string& id : ids)
        for (const std::string& n : named)
            if (id == n) both.push_back(id);
    return both;
}

// Waits for a window; "" once the program stood still for `stall` seconds without showing it.
inline std::string wait_window(double stall, const std::string& cls, const std::string& title = "") {
    std::string found;
    wait_until([&] {
        const auto ids = windows(cls, title);
        if (!ids.empty()) found = ids.front();
        return !found.empty();
    }, stall);
    return found;
}

inline bool gone(const std::string& id) { return run("xdotool getwindowname " + id + " >/dev/null 2>&1") != 0; }

// Waits until the window is gone; false once the program stood still for `stall` seconds with
// the window still there.
inline bool wait_gone(const std::string& id, double stall) {
    return wait_until([&] { return gone(id); }, stall);
}

inline void focus(const std::string& win) { run("xdotool windowfocus --sync " + win + " >/dev/null 2>&1"); }

// Presses Return in a window until it closes (a key sent the moment a window maps can be lost):
// again whenever the program stood still for a moment with the window still there.
inline bool return_until_gone(const std::string& win) {
    for (int attempt = 0; attempt < 5; ++attempt) {
        focus(win);
        run("xdotool key Return");
        if (wait_gone(win, 1.5)) return true;
    }
    return false;
}

// Answers the next file chooser with a path typed over whatever its name field proposes.
inline bool choose_file(const std::string& path) {
    const std::string fc = wait_window(20, wl::fltk::kClassFile);
    if (fc.empty()) return false;
    focus(fc);
    run("xdotool key ctrl+a BackSpace");
    run("xdotool type --delay 2 " + quoted(path));
    return return_until_gone(fc);
}

// Answers the next message box with its first button (Return).
inline bool answer_box(const std::string& what) {
    const std::string box = wait_window(20, wl::fltk::kClassMessage);
    check(!box.empty(), what + ": the box is shown");
    return !box.empty() && return_until_gone(box);
}

inline std::string master_window() {
    return wait_window(20, std::string("^") + wl::fltk::kClassMaster + "$", "Kelvorantide");
}

inline std::string dialog(const std::string& title) { return wait_window(20, wl::fltk::kClassDialog, title); }

// Every visible window; a menu's pulldown is one (without a class of its own).
inline std::vector<std::string> visible_windows() { return search("name", ""); }

inline bool windows_change(const std::vector<std::string>& before, double stall) {
    return wait_until([&] { return visible_windows() != before; }, stall);
}

// Chooses entry `entry` (from 1, separators not counted) of the menu-bar title `title` (from 1)
// from the keyboard: Alt+F opens the first menu, Right moves on; done again when no window of
// class `then` follows.
inline bool choose_menu(const std::string& master, int title, int entry, const std::string& then) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        focus(master);
        std::vector<std::string> idle = visible_windows();
        run("xdotool key alt+f");
        bool open = windows_change(idle, 3);
        for (int k = 1; open && k < title; ++k) {
            idle = visible_windows();
            run("xdotool key Right");
            open = windows_change(idle, 3);
        }
        if (open) {
            std::string keys;
            for (int k = 0; k < entry; ++k) keys += " Down";
            run("xdotool key" + keys + " Return");
            if (!wait_window(3, then).empty()) return true;
        }
        step("the menu did not answer; again");
        run("xdotool key Escape Escape");
    }
    return false;
}

struct Geometry {
    int x = 0, y = 0, w = 0, h = 0;
};

inline Geometry geometry(const std::string& id) {
    Geometry g;
    std::istringstream in(output_of("xdotool getwindowgeometry --shell " + id + " 2>/dev/null"));
    for (std::string line; std::getline(in, line);) {
        const auto eq = line.find('=');
        if (eq == std::string::npos) continue;
        const std::string k = line.substr(0, eq);
        const int v = std::atoi(line.c_str() + eq + 1);
        if (k == "X") g.x = v;
        if (k == "Y") g.y = v;
        if (k == "WIDTH") g.w = v;
        if (k == "HEIGHT") g.h = v;
    }
    return g;
}

// Clicks button k (from 1, left to right) of a message box with `count` buttons (90 pixels wide,
// 12 apart, 12 from the box's right and bottom edges, 28 high), as a user does whatever the
// box's default; whether the box then closes.
inline bool click_box_button(const std::string& box, int k, int count) {
    const Geometry g = geometry(box);
    const int x = g.w - 12 - (count - k) * (90 + 12) - 45;
    run("xdotool mousemove --window " + box + " " + std::to_string(x) + " " + std::to_string(g.h - 12 - 14) +
        " click 1");
    return wait_gone(box, 5);
}

// The grid cell in pixels: the screen divided by the program's 32 x 24 grid.
inline int cell_w = 40, cell_h = 42;

inline void measure_grid() {
    std::istringstream in(output_of("xdotool getdisplaygeometry"));
    int w = 0, h = 0;
    if (in >> w >> h && w > 0 && h > 0) {
        cell_w = w / 32;
        cell_h = h / 24;
    }
}

// The xdotool arguments that move the pointer to the middle of a control at grid column x, row y
// (counted upward from the bottom of the grid area), w x h cells, in a window whose grid area has
// `top` and `bottom` pixels of bars above and below it.
inline std::string cell_point(const std::string& win, int x, int y, int w, int h, int top = 0, int bottom = 0) {
    const int area_h = geometry(win).h - top - bottom;
    const int px = (2 * x + w) * cell_w / 2;
    const int py = top + area_h - (2 * y + h) * cell_h / 2;
    return "mousemove --window " + win + " " + std::to_string(px) + " " + std::to_string(py);
}

// Clicks the middle of that control.
inline void click_cell(const std::string& win, int x, int y, int w, int h, int top = 0, int bottom = 0) {
    run("xdotool " + cell_point(win, x, y, w, h, top, bottom) + " click 1");
}

// ---- the program ----

// Utilities > Preprocess, Go: the pass runs to "End of File", and the box with the count of
// reflections stored is answered.
inline void preprocess(const std::string& master) {
    step("Utilities > Preprocess, Go");
    check(choose_menu(master, 3, 1, wl::fltk::kClassDialog), "Preprocess shows its dialog");
    const std::string pre = dialog("Preprocessing Control");
    check(!pre.empty(), "the preprocessing dialog is shown");
    if (!pre.empty()) click_cell(pre, 6, 1, 2, 1);  // "Go"
    check(answer_box("the end of the data"), "\"End of File\" is answered");
    check(answer_box("the reflections stored"), "the count of stored reflections is answered");
}

// Starts the program in dir with these arguments; its own messages go to dir/program.txt.
inline void start_app(const fs::path& exe, const fs::path& dir, const std::vector<std::string>& args = {}) {
    app_pid = fork();
    if (app_pid == 0) {
        if (chdir(dir.c_str()) != 0) _exit(127);
        if (!std::freopen("program.txt", "w", stderr) || !std::freopen("program.txt", "a", stdout)) _exit(127);
        std::vector<char*> argv{const_cast<char*>(exe.c_str())};
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(exe.c_str(), argv.data());
        _exit(127);
    }
}

// Waits for the program to end; its exit status, or -1 when it stood still for `stall` seconds
// without ending and had to be ended.
inline int wait_app(double stall) {
    int status = 0;
    bool ended = false;
    wait_until([&] {
        ended = app_pid > 0 && waitpid(app_pid, &status, WNOHANG) == app_pid;
        return ended;
    }, stall);
    if (ended) {
        app_pid = 0;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    kill(app_pid, SIGKILL);
    waitpid(app_pid, &status, 0);
    app_pid = 0;
    return -1;
}

inline void end_app() {
    if (app_pid > 0) {
        kill(app_pid, SIGKILL);
        waitpid(app_pid, nullptr, 0);
        app_pid = 0;
    }
}

}  // namespace drive
