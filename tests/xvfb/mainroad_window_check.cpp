// The program in its real windows, run under Xvfb and driven with xdotool as a user drives it,
// in a fresh directory with a generated data set. One check per mode:
//   road  open the data file (typed into FLTK's file chooser), accept the format dialog, open
//         the parameter file, choose "Integrate" > "Auto profile fit", answer the output-file
//         question and name the file, "Save + Exit" in the peak-parameter dialog, "Start", wait
//         for the end of the data, "Exit" twice and confirm. The integrated data file must be
//         byte for byte the one kelvor-script writes for the same journey.
//   stop  the same journey on a larger data set, with "Stop" pressed while the pass runs: the
//         file stops growing at once, the program ends with the reflections fitted before the
//         Stop, and those are byte for byte what the script driver writes when it stops after
//         as many.
//   stopstart  the journey on a few thousand reflections: "Stop" while the pass runs stops it
//         at once (the program goes idle); "Start" goes on; a second "Stop", pressed while the
//         program is held still, is taken before the next reflection (at most the one being
//         fitted is written); "Start" then finishes the pass, the "End of File" box is shown,
//         and the file holds every reflection exactly once, byte for byte the scripted run's.
//         The pass rate and the Stop latency are reported.
//   long  the journey on some thousands of reflections to the end of the data: the "End of
//         File" box is shown within moments of the last reflection and the program answers.
//   closebox  the close box of the fitting dialog while the pass runs asks the exit question;
//         the pass waits for the answer, "No" goes on where it was, and the file holds every
//         reflection once.
//   menubar  a click on the greyed menu bar while the pass runs opens nothing: the pass goes on
//         and a Stop pressed next is answered at once.
//   search  an h k l typed into its entry while the pass runs (Return) is refused with a box;
//         the pass goes on and writes every reflection once, as the scripted run.
//   fwhm  after a preprocessing pass, the close box of the FWHM dialog asks the exit question;
//         "No" leaves the dialog open, and its "Quit" then closes it.
//   step  an Old Vosket load: "0,03", "abc" and "1e400" in the step-size box are each refused
//         with a box and the dialog stays; the step then typed is the one in the standard data
//         file written next.
//   cellesd  after a preprocessing pass, "Calc Unit Cell" refines the monoclinic cell: the results
//         show the esd of beta as a number above 0, by its first significant digit.
//   bench  a benchmark, not a check: the pass over REPEATS times the main road's reflections
//         (1,000 times: 20,000), the scan plot drawn, from "Start" to the end of the data, in
//         the windows and through kelvor-script; both rates, by the clock and by the programs'
//         own processor time, and how many times the scripted pass's time the window's takes.
//         The file written in the windows must still be the scripted run's.
// usage: mainroad_window_check road|stop|stopstart|long|closebox|menubar|search|fwhm|step|cellesd|bench KELVORANTIDE KELVOR_SCRIPT KELVOR_GEN
//                              FIXTURE_DIR SPEC [REPEATS]
// REPEATS: how many times the long passes repeat the main road's reflections (a slower build
// runs fewer).
// Exit status 0 when the check holds; the reason for a failure on stderr.
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app_dir.h"
#include "drive_support.h"
#include "platform/fltk/boxes.h"

// Xlib last: its macros clash with other names.
#include <X11/Xlib.h>

namespace {

using namespace drive;

// How long the program may stand still (use no processor) while a check waits for what it does
// next: far longer than any pause of a working program, on a loaded machine too.
constexpr double kStall = 60;

// Waits until no dialog of that title is shown.
bool dialog_closes(const std::string& title, double seconds) {
    for (const std::string& id : windows(wl::fltk::kClassDialog, title))
        if (!wait_gone(id, seconds)) return false;
    return true;
}

// "Integrate" > "Auto profile fit" from the keyboard: the second entry of the second menu; done
// again when no box follows.
bool choose_auto_fit(const std::string& master) { return choose_menu(master, 2, 2, wl::fltk::kClassMessage); }

long bytes_on_disk(const fs::path& p) {
    struct stat st {};
    return ::stat(p.c_str(), &st) == 0 ? long(st.st_size) : -1;
}

// Waits until the file has grown past `than` bytes; false once the program stood still for
// `stall` seconds before.
bool grows(const fs::path& out, long than, double stall) {
    return wait_until([&] { return bytes_on_disk(out) > than; }, stall);
}

// Waits until the program has used no processor time for `quiet` seconds; the seconds from
// `since` to the last moment it ran, or -1 when it kept running for `seconds`.
double idle_after(Clock::time_point since, double quiet, double seconds) {
    const auto give_up = since + std::chrono::duration<double>(seconds);
    double last = cpu_seconds(app_pid);
    auto last_ran = Clock::now();
    while (Clock::now() < give_up) {
        pause_ms(5);
        const double c = cpu_seconds(app_pid);
        if (c != last) {
            last = c;
            last_ran = Clock::now();
        } else if (std::chrono::duration<double>(Clock::now() - last_ran).count() >= quiet) {
            return std::chrono::duration<double>(last_ran - since).count();
        }
    }
    return -1;
}

int records(const std::string& text) {
    int n = 0;
    for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2)) ++n;
    return n;
}

struct Setup {
    fs::path app, script, gen, fixtures, spec;
};

// A fresh directory (no dot in its path: the log is named after the input path up to its first
// dot) with a folder for each run, each holding the data set STEM.rfl and STEM.par copied from
// `from`; the program is copied into a folder of its own, so that the configuration file it
// keeps beside itself starts fresh too. Empty when it cannot be made.
fs::path fresh_dir(const Setup& s, const fs::path& from, const std::string& stem) {
    std::string tmpl = (fs::temp_directory_path() / "kvroadXXXXXX").string();
    if (!mkdtemp(tmpl.data())) return {};
    const fs::path dir = tmpl;
    std::error_code ec;
    for (const char* sub : {"window/bin", "script/module"}) fs::create_directories(dir / sub, ec);
    for (const char* ext : {".rfl", ".par"})
        for (const char* sub : {"window", "script"})
            fs::copy_file(from / (stem + ext), dir / sub / (stem + ext), ec);
    fs::copy_file(s.app, dir / "window/bin/kelvorantide", ec);
    if (ec) {
        std::fprintf(stderr, "FAILED: cannot set up %s: %s\n", dir.c_str(), ec.message().c_str());
        return {};
    }
    return dir;
}

// The scripted run of the same journey: its integrated data file, or "" when it failed.
std::string scripted_output(const Setup& s, const fs::path& dir, const std::string& stem, const std::string& pass) {
    const fs::path sd = dir / "script";
    write_bytes(sd / "go.txt", "file " + stem + ".rfl\npress 470\nfile " + stem + ".par\npress 322\nanswer 6\n" +
                                   "file out.int\npress 541\npress 118\n" + pass + "press 101\nanswer 2\n");
    const int rc = run("cd " + quoted(sd.string()) + " && " + quoted(s.script.string()) +
                       " --script go.txt --transcript shown.txt --module-dir module >out.txt 2>&1");
    check(rc == 0, "kelvor-script runs the journey (status " + std::to_string(rc) + "): " +
                       read_bytes(sd / "out.txt"));
    return rc == 0 ? read_bytes(sd / "out.int") : "";
}

// When a pass was started: the clock and the program's processor time (seconds).
struct PassStart {
    Clock::time_point at;
    double cpu = 0;
};

// The journey in the real windows up to "Start" pressed; the master window's id. `started`, when
// given, receives the moment of the press.
std::string start_pass(const fs::path& dir, const std::string& stem, PassStart* started = nullptr) {
    const fs::path wd = dir / "window";
    start_app(wd / "bin/kelvorantide", wd);
    step("the program starts");
    const std::string master = master_window();
    std::string ended;
    int status = 0;
    if (master.empty() && app_pid > 0 && waitpid(app_pid, &status, WNOHANG) == app_pid) {
        ended = " (the program ended with status " + std::to_string(status) + ")";
        app_pid = 0;
    }
    check(!master.empty(), "the main window is shown" + ended);
    if (master.empty()) return "";
    step("the data file");
    check(choose_file((wd / (stem + ".rfl")).string()), "the data file is chosen");
    step("the format dialog");
    const std::string format = dialog("Input Data file Format");
    check(!format.empty(), "the format dialog is shown");
    if (format.empty()) return "";
    click_cell(format, 4, 1, 2, 1);  // "OK"
    check(wait_gone(format, 10), "OK closes the format dialog");
    step("the parameter file");
    check(choose_file((wd / (stem + ".par")).string()), "the parameter file is chosen");
    check(answer_box("the data file is read"), "the notice is closed");
    step("Integrate > Auto profile fit");
    check(choose_auto_fit(master), "Auto profile fit asks for an output file");
    check(answer_box("no output file open"), "Yes opens an output file");
    step("the output file");
    check(choose_file((wd / "out.int").string()), "the output file is named");
    step("the peak-parameter dialog");
    const std::string pk = dialog("Peak parameter default values");
    check(!pk.empty(), "the peak-parameter dialog is shown");
    if (pk.empty()) return "";
    click_cell(pk, 6, 0, 4, 1);  // "Save + Exit"
    check(wait_gone(pk, 10), "Save + Exit closes the peak-parameter dialog");
    check(!dialog("Fitting Controls").empty(), "the fitting dialog is shown");
    step("Start");
    if (started) *started = {Clock::now(), cpu_seconds(app_pid)};
    click_cell(master, 16, 2, 2, 1, wl::fltk::kBarHeight, wl::fltk::kBarHeight);  // "Start"
    return master;
}

// A passed check leaves nothing behind; a failed one keeps its directory and shows what the
// program said.
void report_end(const fs::path& dir) {
    if (app_pid > 0) {
        kill(app_pid, SIGKILL);
        waitpid(app_pid, nullptr, 0);
        app_pid = 0;
    }
    if (failures == 0) {
        fs::remove_all(dir);
        return;
    }
    std::error_code ec;
    fs::remove_all(dir / "window/bin", ec);  // the program's copy is not worth keeping
    std::fprintf(stderr, "kept: %s\nthe program said:\n%s\n", dir.c_str(), read_bytes(dir / "window/program.txt").c_str());
}

// The number of reflections a generator spec lists (its "refl" lines).
int reflections_in(const fs::path& spec) {
    std::istringstream in(read_bytes(spec));
    int n = 0;
    for (std::string line; std::getline(in, line);) n += line.rfind("refl", 0) == 0;
    return n;
}

int run_road(const Setup& s) {
    const fs::path dir = fresh_dir(s, s.fixtures, "mainroad");
    if (dir.empty()) return 1;
    shot_dir = dir.string();
    const std::string expected = scripted_output(s, dir, "mainroad", "run\n");
    const std::string master = start_pass(dir, "mainroad");
    if (master.empty()) {
        report_end(dir);
        return 1;
    }
    check(answer_box("the end of the data"), "the end of the data is reported");
    check(dialog_closes("Fitting Controls", 10), "the fitting dialog closes at the end of the pass");
    exit_program(master);
    const std::string got = read_bytes(dir / "window/out.int");
    const int total = reflections_in(s.spec);
    check(records(got) == total, "one record per reflection: " + std::to_string(total) + ", got " +
                                     std::to_string(records(got)));
    check(!expected.empty() && got == expected, "the file written in the windows is the scripted run's");
    report_end(dir);
    return failures ? 1 : 0;
}

// A larger data set: the main road's reflections over and over, so that the pass runs for a few
// seconds; written by the fixture generator into dir as big.rfl, big.par and big.truth.
int make_big_data_set(const Setup& s, const fs::path& dir, int repeats) {
    std::istringstream in(read_bytes(s.spec));
    std::string head, refl;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("refl", 0) == 0)
            refl += line + "\n";
        else
            head += line + "\n";
    }
    std::string spec = head;
    for (int k = 0; k < repeats; ++k) spec += refl;
    const int count = repeats * reflections_in(s.spec);
    write_bytes(dir / "big.spec", spec);
    const int rc = run(quoted(s.gen.string()) + " " + quoted((dir / "big.spec").string()) + " " +
                       quoted((dir / "big").string()) + " >/dev/null");
    check(rc == 0, "the generator writes the larger data set");
    return rc == 0 ? count : 0;
}

int run_stop(const Setup& s) {
    std::string tmpl = (fs::temp_directory_path() / "kvbigXXXXXX").string();
    if (!mkdtemp(tmpl.data())) return 1;
    const fs::path gen_dir = tmpl;
    const int total = make_big_data_set(s, gen_dir, 600);
    if (total == 0) return 1;
    const fs::path dir = fresh_dir(s, gen_dir, "big");
    fs::remove_all(gen_dir);
    if (dir.empty()) return 1;
    shot_dir = dir.string();
    const fs::path out = dir / "window/out.int";
    const std::string master = start_pass(dir, "big");
    if (master.empty()) {
        report_end(dir);
        return 1;
    }

    // The pass runs: the file grows (the unit writes it in blocks).
    check(grows(out, 0, 30), "the pass writes reflections");
    step("Stop");
    click_cell(master, 16, 1, 2, 1, wl::fltk::kBarHeight, wl::fltk::kBarHeight);  // "Stop"

    // Within moments of the Stop the file stops growing, short of the end of the data.
    long last = bytes_on_disk(out);
    auto still_since = Clock::now();
    const auto give_up = Clock::now() + std::chrono::seconds(30);
    while (Clock::now() - still_since < std::chrono::milliseconds(1500) && Clock::now() < give_up) {
        pause_ms(50);
        const long now_size = bytes_on_disk(out);
        if (now_size != last) {
            last = now_size;
            still_since = Clock::now();
        }
    }
    check(Clock::now() - still_since >= std::chrono::milliseconds(1500), "the file stops growing after Stop");
    check(windows(wl::fltk::kClassMessage).empty(),
          "the pass was stopped before the end of the data");

    // "Exit" leaves the stopped pass, then the program ends: what it wrote is the reflections
    // fitted before the Stop, the same as the script driver writes after that many ticks.
    click_cell(master, 16, 0, 2, 1, wl::fltk::kBarHeight, wl::fltk::kBarHeight);
    check(dialog_closes("Fitting Controls", 10), "Exit leaves the stopped pass");
    exit_program(master);
    const std::string got = read_bytes(out);
    const int n = records(got);
    check(long(got.size()) >= last, "nothing written before the Stop is lost");
    check(n > 0 && n < total, "the pass stopped part way, after " + std::to_string(n) + " of " +
                                  std::to_string(total) + " reflections");
    // "Start" fits and writes the reflection on display, each tick the next one.
    const std::string expected =
        scripted_output(s, dir, "big", "ticks " + std::to_string(n - 1) + "\npress 119\npress 101\n");
    check(!expected.empty() && got == expected, "the reflections before the Stop are the scripted run's");
    report_end(dir);
    return failures ? 1 : 0;
}

// A fresh directory with a data set of `repeats` times the main road's reflections; its
// reflection count in `total`.
fs::path big_dir(const Setup& s, int repeats, int& total) {
    std::string tmpl = (fs::temp_directory_path() / "kvbigXXXXXX").string();
    if (!mkdtemp(tmpl.data())) return {};
    const fs::path gen_dir = tmpl;
    total = make_big_data_set(s, gen_dir, repeats);
    const fs::path dir = total > 0 ? fresh_dir(s, gen_dir, "big") : fs::path();
    fs::remove_all(gen_dir);
    if (!dir.empty()) shot_dir = dir.string();
    return dir;
}

// The pass in the windows goes to the end of the data: the "End of File" box is shown (the pass
// may take as long as it needs while it advances, and fails once the program has stood still
// for kStall seconds), is answered, and the fitting dialog closes; the seconds it took.
double pass_ends() {
    const auto t0 = Clock::now();
    const std::string box = wait_window(kStall, wl::fltk::kClassMessage);
    const double took = std::chrono::duration<double>(Clock::now() - t0).count();
    check(!box.empty(), "the \"End of File\" box is shown before the program stands still for " +
                            std::to_string(int(kStall)) + " s");
    if (!box.empty()) check(return_until_gone(box), "the \"End of File\" box is answered");
    check(dialog_closes("Fitting Controls", 10), "the fitting dialog closes at the end of the pass");
    return took;
}

// The file written in the windows holds every reflection once: the scripted run's file.
void whole_pass_written(const Setup& s, const fs::path& dir, int total) {
    const std::string got = read_bytes(dir / "window/out.int");
    check(records(got) == total, "one record per reflection: " + std::to_string(total) + ", got " +
                                     std::to_string(records(got)));
    const std::string expected = scripted_output(s, dir, "big", "run\n");
    check(!expected.empty() && got == expected, "the file written in the windows is the scripted run's");
}

int run_stop_start(const Setup& s, int repeats) {
    int total = 0;
    const fs::path dir = big_dir(s, repeats, total);
    if (dir.empty()) return 1;
    const fs::path out = dir / "window/out.int";
    const std::string master = start_pass(dir, "big");
    if (master.empty()) {
        report_end(dir);
        return 1;
    }
    const auto started = Clock::now();
    check(grows(out, 0, 30), "the pass writes reflections");
    pause_ms(300);

    // Stop as a user presses it: the program goes idle at once, short of the end of the data.
    // The pointer is on the button first; the time counts from the start of the press.
    step("Stop");
    const std::string stop_at = cell_point(master, 16, 1, 2, 1, wl::fltk::kBarHeight, wl::fltk::kBarHeight);
    const std::string start_at = cell_point(master, 16, 2, 2, 1, wl::fltk::kBarHeight, wl::fltk::kBarHeight);
    run("xdotool " + stop_at);
    const int before = records(read_bytes(out));  // every entry goes out to the file at once
    const auto pressed = Clock::now();
    run("xdotool click 1");
    const double click_took = std::chrono::duration<double>(Clock::now() - pressed).count();
    const double latency = idle_after(pressed, 0.3, 30);
    check(latency >= 0, "the program goes idle after Stop");
    check(windows(wl::fltk::kClassMessage).empty(), "the pass was stopped before the end of the data");
    const long stopped_at = bytes_on_disk(out);
    const int after = records(read_bytes(out));
    pause_ms(500);
    check(bytes_on_disk(out) == stopped_at, "the file does not grow while the pass is stopped");

    // Start, and Stop once more with the program held still while the press reaches it: once
    // it goes on, it finishes at most the reflection it was fitting and takes the Stop.
    step("Start, then Stop with the program held");
    run("xdotool " + start_at + " click 1");
    check(grows(out, stopped_at, 30), "Start goes on with the pass");
    pause_ms(200);
    run("xdotool " + stop_at);
    kill(app_pid, SIGSTOP);
    pause_ms(100);
    const int held_at = records(read_bytes(out));
    run("xdotool click 1");
    pause_ms(300);
    kill(app_pid, SIGCONT);
    check(idle_after(Clock::now(), 0.3, 30) >= 0, "the program goes idle after the second Stop");
    const int fitted_after = records(read_bytes(out)) - held_at;
    check(windows(wl::fltk::kClassMessage).empty(), "the second Stop came before the end of the data");
    check(fitted_after >= 0 && fitted_after <= 1, "Stop is taken before the next reflection: " +
                                                      std::to_string(fitted_after) + " fitted after the press");

    // Start: the pass goes on from the next reflection to the end of the data.
    step("Start");
    const int restarted_at = records(read_bytes(out));
    run("xdotool " + start_at + " click 1");
    // The rate over the first stretch (Start to Stop) and the last (Start to the end).
    const double ran = std::chrono::duration<double>(pressed - started).count() + pass_ends();
    const int fitted = before + total - restarted_at;
    exit_program(master);
    whole_pass_written(s, dir, total);
    std::fprintf(stderr,
                 "pass of %d reflections: %.0f per second; Stop: the program was idle %.0f ms from the start of the "
                 "click (xdotool itself took %.0f ms), %d reflections written meanwhile; held: %d fitted after "
                 "the press\n",
                 total, fitted / std::max(ran, 1e-3), latency * 1e3,
                 click_took * 1e3, after - before, fitted_after);
    // Stop is taken before the next reflection: the program answers as fast as it fits.
    check(latency >= 0 && latency < 1.0, "Stop is answered within a second, after " +
                                             std::to_string(int(latency * 1e3)) + " ms");
    report_end(dir);
    return failures ? 1 : 0;
}

int run_long(const Setup& s, int repeats) {
    int total = 0;
    const fs::path dir = big_dir(s, repeats, total);
    if (dir.empty()) return 1;
    const std::string master = start_pass(dir, "big");
    if (master.empty()) {
        report_end(dir);
        return 1;
    }
    const double took = pass_ends();
    exit_program(master);
    whole_pass_written(s, dir, total);
    std::fprintf(stderr, "pass of %d reflections to its end: %.1f s, %.0f per second\n", total, took,
                 total / std::max(took, 1e-3));
    report_end(dir);
    return failures ? 1 : 0;
}

// The processor time the program's finished children have used so far (seconds).
double children_cpu_seconds() {
    rusage u{};
    getrusage(RUSAGE_CHILDREN, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + 1e-6 * double(u.ru_utime.tv_usec + u.ru_stime.tv_usec);
}

// One run of kelvor-script in dir/script: its wall and processor seconds, false when it failed.
bool timed_script(const Setup& s, const fs::path& dir, const std::string& journey, double& wall, double& cpu) {
    const fs::path sd = dir / "script";
    write_bytes(sd / "timed.txt", journey);
    std::error_code ec;
    fs::remove(sd / "out.int", ec);  // a new output file each time, not a question
    const double cpu0 = children_cpu_seconds();
    const auto t0 = Clock::now();
    const int rc = run("cd " + quoted(sd.string()) + " && " + quoted(s.script.string()) +
                       " --script timed.txt --module-dir module >timed_out.txt 2>&1");
    wall = std::chrono::duration<double>(Clock::now() - t0).count();
    cpu = children_cpu_seconds() - cpu0;
    check(rc == 0, "kelvor-script runs the timed journey (status " + std::to_string(rc) + ")");
    return rc == 0;
}

int run_bench(const Setup& s, int repeats) {
    int total = 0;
    const fs::path dir = big_dir(s, repeats, total);
    if (dir.empty()) return 1;
    PassStart started;
    const std::string master = start_pass(dir, "big", &started);
    if (master.empty()) {
        report_end(dir);
        return 1;
    }
    // From the press of "Start" to the "End of File" box, which the program shows at the end. A
    // reflection too large for the layout is refused with an error box (the scripted run's closes
    // by itself): it is answered at once, and the time it stood is not counted.
    std::string box;
    int refused = 0;
    double answering = 0;
    for (const auto give_up = Clock::now() + std::chrono::seconds(540); box.empty() && Clock::now() < give_up;) {
        if (const auto done = windows(wl::fltk::kClassMessage); !done.empty()) {
            box = done.front();
            break;
        }
        for (const std::string& error : windows(wl::fltk::kClassError)) {
            const auto seen = Clock::now();
            check(return_until_gone(error), "an error box during the pass is answered");
            answering += std::chrono::duration<double>(Clock::now() - seen).count();
            ++refused;
        }
        pause_ms(20);
    }
    const double window_wall = std::chrono::duration<double>(Clock::now() - started.at).count() - answering;
    const double window_cpu = cpu_seconds(app_pid) - started.cpu;
    check(!box.empty(), "the pass reaches the end of the data");
    if (!box.empty()) check(return_until_gone(box), "the \"End of File\" box is answered");
    check(dialog_closes("Fitting Controls", 10), "the fitting dialog closes at the end of the pass");
    exit_program(master);
    whole_pass_written(s, dir, total - refused);

    // The scripted pass: the whole run less a run that opens the same files and leaves at once
    // ("Exit" leaves the fitting dialog, then the program).
    const std::string opening = "file big.rfl\npress 470\nfile big.par\npress 322\nanswer 6\nfile out.int\npress 541\n";
    double full_wall = 0, full_cpu = 0, open_wall = 0, open_cpu = 0;
    const bool timed = timed_script(s, dir, opening + "press 118\nrun\npress 101\nanswer 2\n", full_wall, full_cpu) &&
                       timed_script(s, dir, opening + "press 101\npress 101\nanswer 2\n", open_wall, open_cpu);
    if (timed && failures == 0) {
        const double script_wall = std::max(full_wall - open_wall, 1e-3), script_cpu = std::max(full_cpu - open_cpu, 1e-3);
        const double wall = std::max(window_wall, 1e-3), cpu = std::max(window_cpu, 1e-3);
        std::printf("%d reflections, the scan plot drawn; %d refused as too large for the layout, as in the "
                    "scripted pass\n", total, refused);
        std::printf("window pass:   %6.2f s, %6.0f per second; processor time %6.2f s, %6.0f per second\n", wall,
                    total / wall, cpu, total / cpu);
        std::printf("scripted pass: %6.2f s, %6.0f per second; processor time %6.2f s, %6.0f per second\n",
                    script_wall, total / script_wall, script_cpu, total / script_cpu);
        std::printf("the window pass takes %.2f times the scripted pass's time (processor time: %.2f times)\n",
                    wall / script_wall, cpu / script_cpu);
    }
    report_end(dir);
    return failures ? 1 : 0;
}

// A check on a running pass: the big data set loaded and the pass running, then `body` given the
// master window and the integrated data file; afterwards the pass runs to its end, the program
// exits, and every reflection must be in the file once.
template <class Body>
int on_running_pass(const Setup& s, int repeats, Body body) {
    int total = 0;
    const fs::path dir = big_dir(s, repeats, total);
    if (dir.empty()) return 1;
    const std::string master = start_pass(dir, "big");
    if (master.empty()) {
        report_end(dir);
        return 1;
    }
    const fs::path out = dir / "window/out.int";
    check(grows(out, 0, 30), "the pass writes reflections");
    pause_ms(200);
    body(master, out);
    pass_ends();
    exit_program(master);
    whole_pass_written(s, dir, total);
    report_end(dir);
    return failures ? 1 : 0;
}

int run_close_box(const Setup& s, int repeats) {
    return on_running_pass(s, repeats, [](const std::string&, const fs::path& out) {
        const std::string fit = dialog("Fitting Controls");
        step("the close box of the fitting dialog");
        check(press_close_box(fit), "the close box is pressed");
        const std::string box = wait_window(10, wl::fltk::kClassMessage);
        check(!box.empty(), "the close box asks the exit question");
        if (!box.empty()) {
            pause_ms(300);
            const long held = bytes_on_disk(out);
            pause_ms(500);
            check(bytes_on_disk(out) == held, "the pass waits for the answer");
            check(!gone(fit), "the fitting dialog stays");
            step("No");
            check(answer_no(box), "No closes the question");
            check(app_pid > 0 && waitpid(app_pid, nullptr, WNOHANG) == 0, "the program goes on");
            check(grows(out, held, 10), "the pass goes on where it was");
        }
    });
}

int run_menu_bar(const Setup& s, int repeats) {
    return on_running_pass(s, repeats, [](const std::string& master, const fs::path& out) {
        step("a click on the greyed menu bar");
        run("xdotool mousemove --window " + master + " 20 " + std::to_string(wl::fltk::kBarHeight / 2) + " click 1");
        pause_ms(300);
        check(grows(out, bytes_on_disk(out), 5), "the pass goes on after the click");
        step("Stop");
        const std::string stop_at = cell_point(master, 16, 1, 2, 1, wl::fltk::kBarHeight, wl::fltk::kBarHeight);
        run("xdotool " + stop_at);
        const auto pressed = Clock::now();
        run("xdotool click 1");
        const double latency = idle_after(pressed, 0.3, 30);
        check(latency >= 0 && latency < 1.0, "Stop is answered at once, after " + std::to_string(int(latency * 1e3)) + " ms");
        const long stopped_at = bytes_on_disk(out);
        pause_ms(500);
        check(bytes_on_disk(out) == stopped_at, "the file does not grow after Stop");
        check(windows(wl::fltk::kClassMessage).empty(), "the pass was stopped before the end of the data");
        step("Start");
        click_cell(master, 16, 2, 2, 1, wl::fltk::kBarHeight, wl::fltk::kBarHeight);
    });
}

int run_search(const Setup& s, int repeats) {
    return on_running_pass(s, repeats, [](const std::string& master, const fs::path& out) {
        step("an h k l typed while the pass runs");
        click_cell(master, 5, 1, 3, 1, wl::fltk::kBarHeight, wl::fltk::kBarHeight);  // the h k l entry
        run("xdotool key ctrl+a BackSpace");
        run("xdotool type --delay 30 '0 0 2'");  // the main road's standard
        run("xdotool key Return");
        const std::string box = wait_window(10, wl::fltk::kClassError);
        check(!box.empty(), "the search is refused with a box while the pass runs");
        if (!box.empty()) check(return_until_gone(box), "the box is answered");
    });
}

// Starts the program in `dir`/window with a transcript, chooses the data file `name` there and
// waits for the format dialog. False (the check's end reported) when a window is missing.
bool open_data_file(const fs::path& dir, const std::string& name, std::string& master, std::string& format) {
    const fs::path wd = dir / "window";
    start_app(wd / "bin/kelvorantide", wd, {"--transcript", (wd / "shown.txt").string()});
    master = master_window();
    check(!master.empty(), "the main window is shown");
    check(choose_file((wd / name).string()), "the data file is chosen");
    format = dialog("Input Data file Format");
    check(!format.empty(), "the format dialog is shown");
    if (master.empty() || format.empty()) {
        report_end(dir);
        return false;
    }
    return true;
}

// The main road loaded in the window and its preprocessing pass run to the end: the state the
// Utilities that need stored reflections start from. False when the data file could not be opened.
bool preprocessed(const fs::path& dir, std::string& master) {
    const fs::path wd = dir / "window";
    std::string format;
    if (!open_data_file(dir, "mainroad.rfl", master, format)) return false;
    click_cell(format, 4, 1, 2, 1);  // "OK"
    check(choose_file((wd / "mainroad.par").string()), "the parameter file is chosen");
    check(answer_box("the data file is read"), "the notice is closed");
    preprocess(master);
    return true;
}

// A fresh copy of the main road, loaded in the window and preprocessed; empty when that failed
// (the check's end reported).
fs::path preprocessed_main_road(const Setup& s, std::string& master) {
    const fs::path dir = fresh_dir(s, s.fixtures, "mainroad");
    if (dir.empty()) return {};
    shot_dir = dir.string();
    return preprocessed(dir, master) ? dir : fs::path();
}

int run_fwhm(const Setup& s) {
    std::string master;
    const fs::path dir = preprocessed_main_road(s, master);
    if (dir.empty()) return 1;
    const fs::path wd = dir / "window";
    step("Utilities > Calc FWHM");
    check(choose_menu(master, 3, 5, wl::fltk::kClassDialog), "Calc FWHM shows its dialog");
    const std::string fw = dialog("FWHM values from dataset");
    check(!fw.empty(), "the FWHM dialog is shown");
    if (!fw.empty()) {
        step("the close box of the FWHM dialog");
        check(press_close_box(fw), "the close box is pressed");
        const std::string box = wait_window(10, wl::fltk::kClassMessage);
        check(!box.empty(), "the close box asks the exit question");
        if (!box.empty()) check(answer_no(box), "No closes the question");
        pause_ms(300);
        check(app_pid > 0 && waitpid(app_pid, nullptr, WNOHANG) == 0, "the program goes on");
        check(!gone(fw), "the FWHM dialog stays open");
        step("Quit");
        click_cell(fw, 2, 1, 2, 1);
        check(wait_gone(fw, 10), "Quit closes the FWHM dialog");
    }
    exit_program(master);
    const std::string shown = read_bytes(wd / "shown.txt");
    check(shown.find("Are you sure you want to exit the program? -> 3") != std::string::npos,
          "the question was answered No");
    if (failures) std::fprintf(stderr, "shown:\n%s", shown.c_str());
    report_end(dir);
    return failures ? 1 : 0;
}

// The text on the desktop's clipboard (CLIPBOARD as UTF8_STRING), as another program pastes it;
// empty when none comes within five seconds.
std::string clipboard_text() {
    Display* d = XOpenDisplay(nullptr);
    if (!d) return {};
    const Window w = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 1, 1, 0, 0, 0);
    const Atom prop = XInternAtom(d, "KV_CLIPBOARD", False);
    XConvertSelection(d, XInternAtom(d, "CLIPBOARD", False), XInternAtom(d, "UTF8_STRING", False), prop, w,
                      CurrentTime);
    XFlush(d);
    std::string text;
    for (int tries = 0; tries < 500; ++tries) {
        if (!XPending(d)) {
            pause_ms(10);
            continue;
        }
        XEvent e;
        XNextEvent(d, &e);
        if (e.type != SelectionNotify) continue;
        if (e.xselection.property != None) {
            Atom type = 0;
            int format = 0;
            unsigned long n = 0, left = 0;
            unsigned char* data = nullptr;
            if (XGetWindowProperty(d, w, prop, 0, 4096, True, AnyPropertyType, &type, &format, &n, &left, &data) ==
                    Success &&
                data) {
                text.assign(reinterpret_cast<char*>(data), n);
                XFree(data);
            }
        }
        break;
    }
    XDestroyWindow(d, w);
    XCloseDisplay(d);
    return text;
}

// The text of a display-only field of a dialog: clicked, selected whole and copied, as a user
// copies a number to paste it elsewhere.
std::string field_text(const std::string& dlg, int x, int y, int w, int h) {
    click_cell(dlg, x, y, w, h);
    run("xdotool key ctrl+a ctrl+c");
    pause_ms(200);
    return clipboard_text();
}

int run_cell_esd(const Setup& s) {
    std::string master;
    const fs::path dir = preprocessed_main_road(s, master);
    if (dir.empty()) return 1;
    const fs::path wd = dir / "window";
    step("Utilities > Calc Unit Cell, Refine");
    check(choose_menu(master, 3, 3, wl::fltk::kClassDialog), "Calc Unit Cell shows its dialog");
    const std::string refine = dialog("Unit Cell Refinement");
    check(!refine.empty(), "the refinement dialog is shown");
    if (!refine.empty()) click_cell(refine, 4, 0, 4, 1);  // "Refine"
    const std::string results = dialog("Cell Refinement Results");
    check(!results.empty(), "the results are shown");
    if (!results.empty()) {
        // The monoclinic angle beta: its esd is a few ten-thousandths of a degree, which three
        // decimals would show as 0.000.
        const std::string beta = field_text(results, 7, 6, 3, 1);
        step("the esd of beta reads \"" + beta + "\"");
        char* end = nullptr;
        const double esd = std::strtod(beta.c_str(), &end);
        check(!beta.empty() && end && *end == 0 && esd > 0.0 && esd < 0.01,
              "the esd of beta reads as a number above 0: \"" + beta + "\"");
        click_cell(results, 4, 0, 2, 1);  // "Ok"
        check(wait_gone(results, 10), "Ok closes the results");
    }
    exit_program(master);
    if (failures) std::fprintf(stderr, "shown:\n%s", read_bytes(wd / "shown.txt").c_str());
    report_end(dir);
    return failures ? 1 : 0;
}

// Types a text into the step-size box and presses its Ok.
void type_step(const std::string& dlg, const std::string& text) {
    click_cell(dlg, 7, 1, 2, 1);
    run("xdotool key ctrl+a BackSpace");
    run("xdotool type --delay 20 " + quoted(text));
    click_cell(dlg, 4, 0, 2, 1);
}

int run_step(const Setup& s) {
    std::string tmpl = (fs::temp_directory_path() / "kvstepXXXXXX").string();
    if (!mkdtemp(tmpl.data())) return 1;
    const fs::path dir = tmpl;
    shot_dir = dir.string();
    const fs::path wd = dir / "window";
    std::error_code ec;
    fs::create_directories(wd / "bin", ec);
    fs::copy_file(s.app, wd / "bin/kelvorantide", ec);
    // The main road's reflections measured with the common step (Old Vosket has one step width).
    std::istringstream spec_in(read_bytes(s.spec));
    std::string spec;
    for (std::string line; std::getline(spec_in, line);)
        if (line.find("step=") == std::string::npos) spec += line + "\n";
    write_bytes(dir / "vos.spec", spec);
    const int rc = run(quoted(s.gen.string()) + " " + quoted((dir / "vos.spec").string()) + " " +
                       quoted((wd / "vos").string()) + " --format vosket >/dev/null");
    check(rc == 0 && fs::exists(wd / "vos.dat") && !ec, "the Old Vosket data set is written");
    if (failures) {
        report_end(dir);
        return 1;
    }
    std::string master, format;
    if (!open_data_file(dir, "vos.dat", master, format)) return 1;
    // "Old Vosket": column 1, row 5 within the radio box, which sits at column 1, row 2.
    click_cell(format, 1 + 1, 2 + 5, 6, 1);
    click_cell(format, 4, 1, 2, 1);  // "OK"
    check(wait_gone(format, 10), "OK closes the format dialog");
    check(choose_file((wd / "vos.par").string()), "the parameter file is chosen");
    const std::string dlg = wait_window(20, wl::fltk::kClassDialog, "Kelvorantide");
    check(!dlg.empty(), "the step-size box is shown");
    if (dlg.empty()) {
        report_end(dir);
        return 1;
    }
    for (const char* bad : {"0,03", "abc", "1e400"}) {
        step(std::string("step ") + bad);
        type_step(dlg, bad);
        const std::string box = wait_window(10, wl::fltk::kClassError);
        check(!box.empty(), std::string("\"") + bad + "\" is refused with a box");
        if (!box.empty()) check(return_until_gone(box), "the box is answered");
        check(!gone(dlg), "the step-size box stays for a new number");
    }
    step("step 0.03");
    type_step(dlg, "0.03");
    check(wait_gone(dlg, 10), "Ok with 0.03 closes the step-size box");
    check(answer_box("the data file is read"), "the notice is closed");
    step("File > Write Std datafile");
    check(choose_menu(master, 1, 7, wl::fltk::kClassFile), "Write Std datafile asks for a file");
    check(choose_file((wd / "written.rfl").string()), "the standard data file is named");
    // The copy ends with "End of File" and "Standard data file written successfully".
    for (int k = 0; k < 2; ++k) check(answer_box("the copy's notice"), "the copy's notice is answered");
    // Every reflection record carries the step typed last (F10.5 after column 73).
    std::istringstream in(read_bytes(wd / "written.rfl"));
    int seen = 0, right = 0;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] != 'R' || line.size() < 83) continue;
        ++seen;
        right += line.substr(73, 10) == "   0.03000";
    }
    check(seen == reflections_in(dir / "vos.spec") && right == seen,
          "every record of the file written carries the step 0.03: " + std::to_string(right) + " of " +
              std::to_string(seen));
    exit_program(master);
    if (failures) std::fprintf(stderr, "shown:\n%s", read_bytes(wd / "shown.txt").c_str());
    report_end(dir);
    return failures ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 7 && argc != 8) {
        std::fprintf(stderr, "usage: %s road|stop|stopstart|long|closebox|menubar|search|fwhm|step|cellesd|bench KELVORANTIDE KELVOR_SCRIPT KELVOR_GEN FIXTURE_DIR SPEC "
                     "[REPEATS]\n", argv[0]);
        return 2;
    }
    whole_check_limit();
    const std::string mode = argv[1];
    const Setup s{argv[2], argv[3], argv[4], argv[5], argv[6]};
    measure_grid();
    if (mode == "road") return run_road(s);
    if (mode == "stop") return run_stop(s);
    const int repeats = argc == 8 ? std::max(std::atoi(argv[7]), 1) : 150;
    if (mode == "stopstart") return run_stop_start(s, repeats);
    if (mode == "long") return run_long(s, repeats);
    if (mode == "bench") return run_bench(s, argc == 8 ? repeats : 1000);
    if (mode == "closebox") return run_close_box(s, repeats);
    if (mode == "menubar") return run_menu_bar(s, repeats);
    if (mode == "search") return run_search(s, repeats);
    if (mode == "step") return run_step(s);
    if (mode == "fwhm") return run_fwhm(s);
    if (mode == "cellesd") return run_cell_esd(s);
    std::fprintf(stderr, "unknown mode %s\n", mode.c_str());
    return 2;
}
