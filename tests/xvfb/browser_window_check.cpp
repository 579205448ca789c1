// The file browser in the real windows, run under Xvfb and driven with xdotool, in a fresh
// directory holding the main road's data set. One check per mode:
//   create  a missing parameter file is refused ("Error opening file: Try again") and the browser
//           offered again; then "Open log file", "Create Exp file" and a manual fit's "Export"
//           create the files whose new names the user types (the default extensions added).
//   same    the same journey through kelvor-script and through kelvorantide: the files each
//           writes and the transcript of what each showed are the same (the creation time in
//           the banners aside), also for the log file named by a bare name.
// usage: browser_window_check create|same KELVORANTIDE KELVOR_SCRIPT FIXTURE_DIR
// Exit status 0 when the check holds; the reason for a failure on stderr.
#include <algorithm>
#include <map>

#include "app_dir.h"
#include "drive_support.h"

namespace {

using namespace drive;

const std::string kTitle = "Kelvorantide v3.72";

fs::path fresh_dir(const fs::path& app, const fs::path& fixtures) { return fresh_app_dir(app, fixtures, "kvbrowse"); }

void report_end(const fs::path& dir) { report_app_end(dir); }

// The journey in the real windows: the data file, the format, a missing parameter file then the
// real one, a new log, a new experiment file, a manual fit's scan export, Exit. The paths are
// typed in full, but for the log's: a bare name, taken in the data file's folder, which the
// browser shows.
void window_journey(const fs::path& dir, const std::vector<std::string>& args) {
    start_app(dir / "bin/kelvorantide", dir, args);
    step("the program starts");
    const std::string master = master_window();
    check(!master.empty(), "the main window is shown");
    if (master.empty()) return;
    check(choose_file((dir / "mainroad.rfl").string()), "the data file is chosen");
    const std::string format = dialog("Input Data file Format");
    check(!format.empty(), "the format dialog is shown");
    if (format.empty()) return;
    click_cell(format, 4, 1, 2, 1);  // "OK"
    check(wait_gone(format, 10), "OK closes the format dialog");

    step("a parameter file that does not exist");
    check(choose_file((dir / "missing.par").string()), "the browser takes a name that names no file");
    const std::string refused = wait_window(10, wl::fltk::kClassError, "ERROR");
    check(!refused.empty(), "the missing parameter file is refused in a box");
    check(!refused.empty() && return_until_gone(refused), "the box is closed");
    check(choose_file((dir / "mainroad.par").string()), "the browser is offered again");
    check(answer_box("the data file is read"), "the notice is closed");

    step("File > Open log file");
    check(choose_menu(master, 1, 4, wl::fltk::kClassFile), "Open log file shows the browser");
    check(choose_file("newlog"), "a new log name is typed bare");
    step("File > Create Exp file");
    check(choose_menu(master, 1, 5, wl::fltk::kClassFile), "Create Exp file shows the browser");
    check(choose_file((dir / "newexp").string()), "a new experiment file name is typed");

    step("Integrate > Manual profile fit, Export");
    check(choose_menu(master, 2, 1, wl::fltk::kClassDialog), "the manual fit shows its dialog");
    const std::string fitting = dialog("Fitting Controls");
    click_cell(master, 14, 0, 2, 1, wl::fltk::kBarHeight, wl::fltk::kBarHeight);  // "Export"
    check(choose_file((dir / "profile").string()), "a new scan export name is typed");
    click_cell(master, 16, 0, 2, 1, wl::fltk::kBarHeight, wl::fltk::kBarHeight);  // "Exit" the fit
    check(!fitting.empty() && wait_gone(fitting, 10), "Exit leaves the manual fit");

    exit_program(master);
}

// The same journey for kelvor-script; its exit status.
int script_journey(const fs::path& dir, const fs::path& script) {
    const std::string d = dir.string() + "/";
    write_bytes(dir / "go.txt", "file " + d + "mainroad.rfl\npress 470\nfile " + d + "missing.par\nfile " + d +
                                    "mainroad.par\npress 315\nfile newlog\npress 317\nfile " + d +
                                    "newexp\npress 321\npress 120\nfile " + d + "profile\npress 101\npress 101\nanswer 2\n");
    return run("cd " + quoted(dir.string()) + " && " + quoted(script.string()) +
               " --script go.txt --transcript shown.txt --module-dir module >script.txt 2>&1");
}

// The banner line of a log or experiment file with its creation time blanked.
std::string without_time(const std::string& text) {
    std::string out = text;
    const std::string mark = "THIS FILE CREATED BY KELVO-RANTIDE v";
    for (std::size_t at = out.find(mark); at != std::string::npos; at = out.find(mark, at + 1)) {
        const std::size_t on = out.find(" ON  ", at);
        if (on != std::string::npos && on + 5 + 24 <= out.size()) out.replace(on + 5, 24, std::string(24, '#'));
    }
    return out;
}

int run_create(const fs::path& app, const fs::path& fixtures) {
    const fs::path dir = fresh_dir(app, fixtures);
    if (dir.empty()) return 1;
    window_journey(dir, {});
    const std::string log = read_bytes(dir / "newlog.log");
    check(log.find("INPUT DATA FILE WAS: " + (dir / "mainroad.rfl").string()) != std::string::npos,
          "the new log newlog.log holds its banner");
    const std::string exp = read_bytes(dir / "newexp.exp");
    check(exp.find("PARITY 1,1,1,1") != std::string::npos, "the new experiment file newexp.exp is written");
    check(read_bytes(dir / "profile.dat").rfind(" PROFILE FOR REFLECTION HKL =", 0) == 0,
          "the new scan export profile.dat is written");
    check(!fs::exists(dir / "missing.par"), "the refused parameter file is not created");
    report_end(dir);
    return failures ? 1 : 0;
}

int run_same(const fs::path& app, const fs::path& script, const fs::path& fixtures) {
    const fs::path dir = fresh_dir(app, fixtures);
    if (dir.empty()) return 1;
    const char* made[] = {"newlog.log", "newexp.exp", "profile.dat", "mainroad_Kelvor.log"};
    step("the scripted run");
    const int rc = script_journey(dir, script);
    check(rc == 0, "kelvor-script runs the journey (status " + std::to_string(rc) + "): " +
                       read_bytes(dir / "script.txt"));
    std::map<std::string, std::string> scripted;
    for (const char* f : made) {
        scripted[f] = read_bytes(dir / f);
        fs::remove(dir / f);
    }
    const std::string scripted_shown = read_bytes(dir / "shown.txt");

    step("the run in the windows");
    window_journey(dir, {"--transcript", (dir / "window_shown.txt").string()});
    for (const char* f : made) {
        const std::string got = read_bytes(dir / f);
        check(!got.empty(), std::string(f) + " is written in the windows");
        check(without_time(got) == without_time(scripted[f]), std::string(f) + " is the scripted run's");
    }
    const std::string shown = read_bytes(dir / "window_shown.txt");
    check(shown.find("Open Log File -> " + (dir / "newlog").string() + "\n") != std::string::npos,
          "the bare log name is written as the file's path");
    check(!shown.empty() && shown == scripted_shown,
          "the windows showed what the script showed:\n--- script\n" + scripted_shown + "--- windows\n" + shown);
    report_end(dir);
    return failures ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: %s create|same KELVORANTIDE KELVOR_SCRIPT FIXTURE_DIR\n", argv[0]);
        return 2;
    }
    whole_check_limit();
    measure_grid();
    const std::string mode = argv[1];
    if (mode == "create") return run_create(argv[2], argv[4]);
    if (mode == "same") return run_same(argv[2], argv[3], argv[4]);
    std::fprintf(stderr, "unknown mode %s\n", mode.c_str());
    return 2;
}
