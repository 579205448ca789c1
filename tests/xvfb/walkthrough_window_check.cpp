// The README's walk-through on the example data set, played twice: by kelvor-script with
// examples/walkthrough.script, and in the real window driven with xdotool as the README tells a
// user. Both run in a copy of examples/ of their own, each with a fresh configuration file; the
// two transcripts must agree line for line (the copies' folders aside), and so must the
// integrated data files.
// usage: walkthrough_window_check KELVORANTIDE KELVOR_SCRIPT EXAMPLES_DIR
// Exit status 0 when the check holds; the reason for a failure on stderr.
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "drive_support.h"
#include "platform/fltk/boxes.h"

namespace {

using namespace drive;

// How long the program may stand still while the check waits for what it does next.
constexpr double kStall = 60;

// The lines of a transcript, with the folder the run worked in written as DIR.
std::vector<std::string> lines_of(const fs::path& transcript, const fs::path& dir) {
    std::vector<std::string> lines;
    std::istringstream in(read_bytes(transcript));
    for (std::string line; std::getline(in, line);) {
        for (auto at = line.find(dir.string()); at != std::string::npos; at = line.find(dir.string()))
            line.replace(at, dir.string().size(), "DIR");
        lines.push_back(line);
    }
    return lines;
}

// A copy of the example data set in dir/sub, the script beside it.
bool copy_examples(const fs::path& examples, const fs::path& dir) {
    std::error_code ec;
    fs::create_directories(dir, ec);
    for (const char* f : {"example.rfl", "example.par", "walkthrough.script"})
        fs::copy_file(examples / f, dir / f, ec);
    return !ec;
}

// The walk-through in the window, step by step as the README says.
void walk(const fs::path& wd) {
    step("the program starts");
    const std::string master = master_window();
    check(!master.empty(), "the main window is shown");
    if (master.empty()) return;
    step("1. the input data file");
    check(choose_file((wd / "example.rfl").string()), "the data file is chosen");
    step("2. the format dialog: OK");
    const std::string format = dialog("Input Data file Format");
    check(!format.empty(), "the format dialog is shown");
    if (format.empty()) return;
    click_cell(format, 4, 1, 2, 1);
    check(wait_gone(format, kStall), "OK closes the format dialog");
    step("3. the parameter file");
    check(choose_file((wd / "example.par").string()), "the parameter file is chosen");
    check(answer_box("Data File read in successfully"), "the notice is closed");
    step("4. Integrate > Auto profile fit");
    check(choose_menu(master, 2, 2, wl::fltk::kClassMessage), "Auto profile fit asks for an output file");
    const std::string ask = wait_window(kStall, wl::fltk::kClassMessage);
    check(!ask.empty() && click_box_button(ask, 1, 3), "Yes opens an output file");
    check(choose_file((wd / "example.int").string()), "the output file is named");
    const std::string pk = dialog("Peak parameter default values");
    check(!pk.empty(), "the peak-parameter dialog is shown");
    if (pk.empty()) return;
    click_cell(pk, 6, 0, 4, 1);  // "Save + Exit"
    check(wait_gone(pk, kStall), "Save + Exit closes the peak-parameter dialog");
    check(!dialog("Fitting Controls").empty(), "the fitting dialog is shown");
    click_cell(master, 16, 2, 2, 1, wl::fltk::kBarHeight, wl::fltk::kBarHeight);  // "Start"
    check(answer_box("End of File"), "the pass ends with \"End of File\"");
    preprocess(master);
    step("6. Utilities > Calc Unit Cell, Refine");
    check(choose_menu(master, 3, 3, wl::fltk::kClassDialog), "Calc Unit Cell shows its dialog");
    const std::string cell = dialog("Unit Cell Refinement");
    check(!cell.empty(), "the cell refinement dialog is shown");
    if (cell.empty()) return;
    click_cell(cell, 4, 0, 4, 1);  // "Refine"
    const std::string results = dialog("Cell Refinement Results");
    check(!results.empty(), "the refined cell is shown");
    if (results.empty()) return;
    click_cell(results, 4, 0, 2, 1);  // "Ok"
    check(wait_gone(results, kStall), "Ok closes the results");
    step("Exit, Yes");
    click_cell(master, 16, 0, 2, 1, wl::fltk::kBarHeight, wl::fltk::kBarHeight);  // "Exit"
    const std::string question = wait_window(kStall, wl::fltk::kClassMessage);
    check(!question.empty() && click_box_button(question, 1, 2), "Yes answers the exit question");
    check(wait_app(kStall) == 0, "the program ends with status 0");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s KELVORANTIDE KELVOR_SCRIPT EXAMPLES_DIR\n", argv[0]);
        return 2;
    }
    whole_check_limit();
    measure_grid();
    const fs::path app = argv[1], script = argv[2], examples = argv[3];
    std::string tmpl = (fs::temp_directory_path() / "kvwalkXXXXXX").string();
    if (!mkdtemp(tmpl.data())) return 1;
    const fs::path dir = tmpl;
    shot_dir = dir.string();
    const fs::path sd = dir / "script", wd = dir / "window";
    std::error_code ec;
    fs::create_directories(sd / "module", ec);
    fs::create_directories(wd / "bin", ec);
    fs::copy_file(app, wd / "bin/kelvorantide", ec);
    check(!ec && copy_examples(examples, sd) && copy_examples(examples, wd), "the example data set is copied");

    step("the scripted run");
    const int rc = run("cd " + quoted(sd.string()) + " && " + quoted(script.string()) +
                       " --script walkthrough.script --transcript shown.txt --module-dir module >out.txt 2>&1");
    check(rc == 0, "kelvor-script plays the walk-through (status " + std::to_string(rc) + "): " +
                       read_bytes(sd / "out.txt"));

    start_app(wd / "bin/kelvorantide", wd, {"--transcript", (wd / "shown.txt").string()});
    walk(wd);
    end_app();

    const std::vector<std::string> scripted = lines_of(sd / "shown.txt", sd);
    const std::vector<std::string> window = lines_of(wd / "shown.txt", wd);
    check(!scripted.empty(), "the scripted run writes a transcript");
    step("the transcripts compared: " + std::to_string(scripted.size()) + " and " + std::to_string(window.size()) +
         " lines");
    for (std::size_t k = 0; k < std::max(scripted.size(), window.size()); ++k) {
        const std::string a = k < scripted.size() ? scripted[k] : "(none)";
        const std::string b = k < window.size() ? window[k] : "(none)";
        if (a == b) continue;
        check(false, "transcript line " + std::to_string(k + 1) + " differs:\n  kelvor-script: " + a +
                         "\n  window:        " + b);
        break;
    }
    const std::string int_script = read_bytes(sd / "example.int"), int_window = read_bytes(wd / "example.int");
    check(!int_script.empty() && int_script == int_window, "the window writes the scripted run's example.int");
    if (failures == 0) {
        fs::remove_all(dir);
        return 0;
    }
    fs::remove_all(wd / "bin", ec);
    std::fprintf(stderr, "kept: %s\nthe program said:\n%s\n", dir.c_str(), read_bytes(wd / "program.txt").c_str());
    return 1;
}
