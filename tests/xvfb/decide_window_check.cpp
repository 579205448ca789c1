// Keystrokes and clicks that must not decide for the user, in the real windows under Xvfb, driven
// with xdotool. One check per mode:
//   exitenter  the main window's close box asks the exit question; Return answers "No" and the
//              session goes on ("Exit" asks again, and "Yes" there ends the program).
//   doubleaccept  with an output file open, a double click on "Accept" in the manual fit writes
//              the reflection on display once: the second click was aimed at it too, never at
//              the next reflection, which the user has not seen.
// usage: decide_window_check exitenter|doubleaccept KELVORANTIDE FIXTURE_DIR
// Exit status 0 when the check holds; the reason for a failure on stderr.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app_dir.h"
#include "drive_support.h"
#include "platform/fltk/boxes.h"

namespace {

using namespace drive;

int records(const std::string& text) {
    int n = 0;
    for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2)) ++n;
    return n;
}

// A passed check leaves nothing behind; a failed one keeps its directory and says why.
int report_end(const fs::path& dir) {
    report_app_end(dir);
    return failures ? 1 : 0;
}

// The program started with a transcript, the main road's data set and parameter file loaded.
// The main window's id ("" after a failure, reported).
std::string start_loaded(const fs::path& dir) {
    start_app(dir / "bin/kelvorantide", dir, {"--transcript", (dir / "shown.txt").string()});
    const std::string master = master_window();
    check(!master.empty(), "the main window is shown");
    if (master.empty()) return "";
    check(choose_file((dir / "mainroad.rfl").string()), "the data file is chosen");
    const std::string format = dialog("Input Data file Format");
    check(!format.empty(), "the format dialog is shown");
    if (format.empty()) return "";
    click_cell(format, 4, 1, 2, 1);  // "OK"
    check(wait_gone(format, 10), "OK closes the format dialog");
    check(choose_file((dir / "mainroad.par").string()), "the parameter file is chosen");
    check(answer_box("the data file is read"), "the notice is closed");
    return failures ? "" : master;
}

int run_exit_enter(const fs::path& dir) {
    const std::string master = start_loaded(dir);
    if (master.empty()) return report_end(dir);
    step("the close box of the main window, Return");
    check(press_close_box(master), "the close box is pressed");
    const std::string box = wait_window(20, wl::fltk::kClassMessage);
    check(!box.empty(), "the close box asks the exit question");
    if (!box.empty()) check(return_until_gone(box), "Return closes the question");
    check(app_pid > 0 && waitpid(app_pid, nullptr, WNOHANG) == 0, "the program goes on");
    check(!gone(master), "the main window stays");
    exit_program(master);
    const std::string shown = read_bytes(dir / "shown.txt");
    const std::string q = "Are you sure you want to exit the program? -> ";
    const std::size_t no = shown.find(q + "3\n");
    check(no != std::string::npos, "Return answered No");
    check(no != std::string::npos && shown.find(q + "2\n", no) != std::string::npos, "the later Yes ended the program");
    return report_end(dir);
}

int run_double_accept(const fs::path& dir) {
    const std::string master = start_loaded(dir);
    if (master.empty()) return report_end(dir);
    step("File > Open output file");
    check(choose_menu(master, 1, 3, wl::fltk::kClassFile), "Open output file asks for a file");
    check(choose_file((dir / "out.int").string()), "the output file is named");
    step("Integrate > Manual profile fit");
    check(choose_menu(master, 2, 1, wl::fltk::kClassDialog), "Manual profile fit shows the fitting dialog");
    const std::string fit = dialog("Fitting Controls");
    check(!fit.empty(), "the fitting dialog is shown");
    if (failures) return report_end(dir);
    step("a double click on Accept");
    run("xdotool " + cell_point(master, 16, 2, 3, 1, wl::fltk::kBarHeight, wl::fltk::kBarHeight) +
        " click --repeat 2 --delay 80 1");
    // "Exit" of the pass comes after both clicks: when it has closed the fitting dialog, both
    // clicks have been handled.
    step("Exit of the pass");
    click_cell(master, 16, 0, 2, 1, wl::fltk::kBarHeight, wl::fltk::kBarHeight);
    check(wait_gone(fit, 20), "Exit ends the manual fit");
    const std::string out = read_bytes(dir / "out.int");
    check(records(out) == 1, "the double click wrote one reflection, not " + std::to_string(records(out)));
    // 10 ISEQ + ISTD in columns 62-68: the entry is the reflection shown first.
    check(out.size() > 68 && std::atoi(out.substr(61, 6).c_str()) == 10, "the entry is reflection 1: " + out);
    exit_program(master);
    return report_end(dir);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s exitenter|doubleaccept KELVORANTIDE FIXTURE_DIR\n", argv[0]);
        return 2;
    }
    signal(SIGALRM, on_alarm);
    alarm(110);
    const std::string mode = argv[1];
    measure_grid();
    const fs::path dir = fresh_app_dir(argv[2], argv[3], "kvdecide");
    if (dir.empty()) return 1;
    shot_dir = dir.string();
    if (mode == "exitenter") return run_exit_enter(dir);
    if (mode == "doubleaccept") return run_double_accept(dir);
    std::fprintf(stderr, "unknown mode %s\n", mode.c_str());
    return 2;
}
