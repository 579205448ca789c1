// What the README tells a newcomer, tried: the two set-up commands and the programs they build,
// every path it names, the exit statuses of the two programs and of the generator, the formats
// the generator writes with what each holds, and the program's questions with their buttons.
// Each check reads the statement from the README itself, so the README and the program cannot
// part without a failure here.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "../scan_input/test_files.h"

namespace {

namespace fs = std::filesystem;

const fs::path SRC = KV_SOURCE_DIR;
const fs::path BIN = KV_BINARY_DIR;
const fs::path SCRIPT_EXE = BIN / "code/shell/apps/kelvor-script";
const fs::path WINDOW_EXE = BIN / "code/shell/apps/kelvorantide";
const fs::path GEN_EXE = BIN / "tests/fixtures/kelvor-gen";

// The README with its line ends as blanks: a statement reads the same wherever its lines break.
std::string readme() {
    std::string text = kvtest::read_bytes(SRC / "README.md");
    for (char& ch : text)
        if (ch == '\n') ch = ' ';
    return text;
}
// The README as it stands, for its tables.
std::string readme_lines() { return kvtest::read_bytes(SRC / "README.md"); }

// The exit status of a shell command, or -1.
int status_of(const std::string& cmd) {
    const int rc = std::system(cmd.c_str());
    return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
}

std::string quoted(const fs::path& p) { return "'" + p.string() + "'"; }

// The lines of the README from the one that begins with `head` to the end of its block.
std::vector<std::string> table_rows(const std::string& text, const std::string& head) {
    std::vector<std::string> rows;
    const std::size_t at = text.find("\n" + head);
    if (at == std::string::npos) return rows;
    std::istringstream in(text.substr(at + 1));
    std::string line;
    std::getline(in, line);  // the head
    std::getline(in, line);  // |---|
    while (std::getline(in, line) && !line.empty() && line[0] == '|') rows.push_back(line);
    return rows;
}

// The cells of a table row, trimmed.
std::vector<std::string> cells(const std::string& row) {
    std::vector<std::string> out;
    std::size_t start = 1;
    for (std::size_t bar = row.find(" | ", start); bar != std::string::npos; bar = row.find(" | ", start)) {
        out.push_back(row.substr(start, bar - start));
        start = bar + 3;
    }
    out.push_back(row.substr(start, row.rfind(" |") - start));
    for (auto& c : out) {
        while (!c.empty() && c.front() == ' ') c.erase(c.begin());
        while (!c.empty() && c.back() == ' ') c.pop_back();
    }
    return out;
}

class Readme : public ::testing::Test {
protected:
    void SetUp() override { dir = kvtest::test_dir(); }
    fs::path dir;
};

// The two set-up commands are there, as runnable scripts, and the CI runs the test command;
// every program the README names under build/ is built by the first one and is there after the
// build; every file or folder of the checkout it names exists.
TEST_F(Readme, SetUpCommandsBuildEveryProgramItNamesAndEveryPathExists) {
    const std::string text = readme();
    for (const char* command : {"scripts/run.sh", "scripts/test.sh"}) {
        EXPECT_NE(readme_lines().find("\n    " + std::string(command) + "\n"), std::string::npos) << command;
        EXPECT_EQ(::access((SRC / command).c_str(), X_OK), 0) << command;
    }
    EXPECT_NE(kvtest::read_bytes(SRC / ".ci/run").find("\nexec scripts/test.sh\n"), std::string::npos);

    // What scripts/run.sh builds: the targets named on its build line.
    std::set<std::string> built;
    {
        const std::string run = kvtest::read_bytes(SRC / "scripts/run.sh");
        const std::string build_line = "scripts/build.sh release";
        const std::size_t at = run.find("\n" + build_line);
        ASSERT_NE(at, std::string::npos) << run;
        std::istringstream targets(run.substr(at + 1 + build_line.size(), run.find('\n', at + 1) - at - 1 - build_line.size()));
        for (std::string t; targets >> t;) built.insert(t);
    }
    // The programs: every `build/...` path (the first word of a command), by the file name of its target.
    const std::regex program_rx("`build/([^` ]+)");
    std::set<std::string> programs;
    for (auto m = std::sregex_iterator(text.begin(), text.end(), program_rx); m != std::sregex_iterator(); ++m)
        programs.insert((*m)[1].str());
    EXPECT_GE(programs.size(), 4u);
    for (const std::string& p : programs) {
        SCOPED_TRACE(p);
        const std::string name = fs::path(p).filename().string();
        EXPECT_TRUE(built.count(name)) << "scripts/run.sh does not build " << name;
        if ((name == "kelvor-bench" && !KV_HAS_BENCH) || (name == "kelvorantide" && !KV_HAS_FLTK)) continue;
        EXPECT_EQ(::access((BIN / p).c_str(), X_OK), 0) << "not built: " << (BIN / p);
    }
    // Paths of the checkout, as the README names them in backticks.
    const std::regex path_rx("`((?:scripts|bench|examples|tests|code)/[^` ]*)[` ]");
    int paths = 0;
    for (auto m = std::sregex_iterator(text.begin(), text.end(), path_rx); m != std::sregex_iterator(); ++m, ++paths)
        EXPECT_TRUE(fs::exists(SRC / (*m)[1].str())) << (*m)[1].str();
    EXPECT_GE(paths, 10);
}

// The exit statuses the README gives kelvor-script, each tried on a case of its kind.
TEST_F(Readme, KelvorScriptEndsWithTheStatusesItStates) {
    const std::string text = readme();
    kvtest::copy_data_set("mainroad", dir);
    fs::create_directories(dir / "module");
    fs::create_directories(dir / "a folder");
    const std::string start = "file mainroad.rfl 1\npress 470\nfile mainroad.par\n";
    kvtest::write_bytes(dir / "leave.txt", start + "press 101\nanswer 2\n");
    kvtest::write_bytes(dir / "short.txt", start);
    kvtest::write_bytes(dir / "wrong.txt", start + "press 101\nanswer 99\n");
    struct Case {
        const char* statement;  // as the README says it
        std::string args;
        int status;
        const char* said;  // on stderr ("" anything)
    } cases[] = {
        {"0 for an orderly end", "--script leave.txt", 0, ""},
        {"2 for a wrong command line", "--scrip leave.txt", 2, "usage: kelvor-script"},
        {"2 for a wrong command line", "", 2, "usage: kelvor-script"},
        {"a script it cannot read", "--script missing.txt", 2, "cannot read the script missing.txt"},
        {"a script it cannot read", "--script module", 2, "cannot read the script module: it is a folder"},
        {"a transcript it cannot write", "--script leave.txt --transcript nowhere/shown.txt", 2,
         "cannot write the transcript"},
        {"3 when the script ran out while the program waited", "--script short.txt", 3, ""},
        {"4 for a script error", "--script wrong.txt", 4, "the box offers Yes 2, No 3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        EXPECT_NE(text.find(c.statement), std::string::npos) << "the README no longer says: " << c.statement;
        const int status = status_of("cd " + quoted(dir) + " && timeout 300 " + quoted(SCRIPT_EXE) + " " + c.args +
                                     (c.args.empty() ? "" : " --module-dir module") + " >/dev/null 2>stderr.txt");
        EXPECT_EQ(status, c.status);
        EXPECT_NE(kvtest::read_bytes(dir / "stderr.txt").find(c.said), std::string::npos)
            << kvtest::read_bytes(dir / "stderr.txt");
    }
    // The blank that a script line cannot hold: a path with one is taken as a path and a filter.
    EXPECT_NE(text.find("`kelvor-script` cannot name a path that holds a blank"), std::string::npos);
    kvtest::copy_data_set("mainroad", dir / "a folder");
    kvtest::write_bytes(dir / "blank.txt", "file a folder/mainroad.rfl 1\n");
    EXPECT_EQ(status_of("cd " + quoted(dir) + " && timeout 300 " + quoted(SCRIPT_EXE) +
                        " --script blank.txt --module-dir module >/dev/null 2>stderr.txt"),
              4)
        << kvtest::read_bytes(dir / "stderr.txt");
}

// The exit statuses the README gives kelvorantide that need no display to try.
TEST_F(Readme, KelvorantideEndsWithTheStatusesItStates) {
    if (!KV_HAS_FLTK) GTEST_SKIP() << "the real-window program is not built in this tree";
    const std::string text = readme();
    struct Case {
        const char* statement;
        std::string cmd;
        int status;
    } cases[] = {
        {"2 for a wrong command line", quoted(WINDOW_EXE) + " --bogus", 2},
        {"or a transcript it cannot write", quoted(WINDOW_EXE) + " --transcript " + quoted(dir / "nowhere/t.txt"), 2},
        {"1 when there is no display to open", "env -u DISPLAY -u WAYLAND_DISPLAY " + quoted(WINDOW_EXE), 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cmd);
        EXPECT_NE(text.find(c.statement), std::string::npos) << "the README no longer says: " << c.statement;
        EXPECT_EQ(status_of("cd " + quoted(dir) + " && timeout 300 " + c.cmd + " >/dev/null 2>&1"), c.status);
    }
}

// The generator: --help is no error, the README's table of formats is the one the generator
// checks (as its help states it), the example's spec writes the formats the README says it
// writes, and the exit statuses are the README's.
TEST_F(Readme, GeneratorWritesTheFormatsItStatesWithTheirLimits) {
    const std::string text = readme();
    ASSERT_EQ(status_of(quoted(GEN_EXE) + " --help >" + quoted(dir / "help.txt")), 0);
    const std::string help = kvtest::read_bytes(dir / "help.txt");
    const std::vector<std::string> rows = table_rows(readme_lines(), "| NAME | file | what it holds |");
    ASSERT_EQ(rows.size(), 6u);
    std::vector<std::string> names;
    for (const std::string& row : rows) {
        const std::vector<std::string> c = cells(row);
        ASSERT_EQ(c.size(), 3u) << row;
        ASSERT_GE(c[0].size(), 3u);
        const std::string name = c[0].substr(1, c[0].size() - 2);
        names.push_back(name);
        // "`.ext`, "Program name"" and the limits, as the help gives them.
        const std::size_t comma = c[1].find(", ");
        ASSERT_NE(comma, std::string::npos) << row;
        const std::string ext = c[1].substr(1, comma - 2);
        const std::string line = "  " + name + ", " + ext + ", " + c[1].substr(comma + 2) + ": " + c[2] + "\n";
        EXPECT_NE(help.find(line), std::string::npos) << "not in kelvor-gen --help: " << line;
    }
    EXPECT_EQ(names, (std::vector<std::string>{"vosket", "xcalibur", "xscans", "stoe", "febo", "cad4"}));
    // "The example's spec (41 steps, counts above 9999) writes every format but `cad4`; a spec
    // with `steps 96 0.02` and weaker reflections writes that one too."
    EXPECT_NE(text.find("writes every format but `cad4`"), std::string::npos);
    kvtest::write_bytes(dir / "weak96.spec", "steps 96 0.02\nrefl 1 1 0 300\nrefl 0 0 2 400 std=1\nrefl 1 1 1 600\n");
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        const int status = status_of(quoted(GEN_EXE) + " " + quoted(SRC / "examples/example.spec") + " " +
                                     quoted(dir / ("ex_" + name)) + " --format " + name + " 2>" + quoted(dir / "err.txt"));
        EXPECT_EQ(status, name == "cad4" ? 1 : 0) << kvtest::read_bytes(dir / "err.txt");
        EXPECT_EQ(status_of(quoted(GEN_EXE) + " " + quoted(dir / "weak96.spec") + " " + quoted(dir / ("w_" + name)) +
                            " --format " + name + " 2>/dev/null"),
                  0);
    }
    // "Exit status: 0 when written, 1 for a spec or a data set it cannot write ..., 2 for a wrong command line."
    EXPECT_NE(text.find("Exit status: 0 when written, 1 for a spec or a data set it cannot write"), std::string::npos);
    EXPECT_EQ(status_of(quoted(GEN_EXE) + " " + quoted(dir / "missing.spec") + " " + quoted(dir / "m") + " 2>/dev/null"), 1);
    EXPECT_EQ(status_of(quoted(GEN_EXE) + " --format cad4 2>/dev/null"), 2);
}

// Every question of the README's table, raised on the way a user meets it: the buttons the
// box offers are the row's, and Enter presses the one the row marks (or the first).
TEST_F(Readme, QuestionsOfferTheButtonsAndTheDefaultItStates) {
    const std::vector<std::string> rows = table_rows(readme_lines(), "| question | buttons |");
    ASSERT_GE(rows.size(), 8u);
    kvtest::copy_data_set("mainroad", dir);
    fs::create_directories(dir / "module");
    const std::vector<std::string> start = {"file mainroad.rfl 1", "press 470", "file mainroad.par"};
    const std::vector<std::string> open = {"press 314", "file out.int 1"};
    const std::vector<std::string> some = {"press 322", "press 541", "press 118", "ticks 4", "press 119", "press 101"};
    struct Road {
        const char* question;  // what the row's question says
        std::vector<std::vector<std::string>> steps;  // up to the question
        const char* file;      // a file of the user's that the road meets, "" none
    };
    const Road roads[] = {
        {"Are you sure you want to exit the program?", {{"press 101"}}, ""},
        {"No output datafile is open. Do you want to open a file?", {{"press 322"}}, ""},
        {"Output file already exists", {{"press 314", "file mine.txt 1"}}, "mine.txt"},
        {"does not begin as a scan export", {{"press 321", "press 120", "file mine.txt"}}, "mine.txt"},
        {"already exists: Replace it (Yes)", {{"press 319", "file mine.txt"}}, "mine.txt"},
        {"holds reflections in the", {open, some, {"press 344", "toggle 5 96 1", "press 593"}}, ""},
        {"on display is already in", {open, some, {"press 322", "press 541", "press 118"}}, ""},
        {"Go on from reflection", {open, {"press 322", "press 541", "press 118", "ticks 5", "press 119", "set 1 7 2", "press 108"}}, ""},
    };
    for (const std::string& row : rows) {
        const std::vector<std::string> c = cells(row);
        ASSERT_EQ(c.size(), 2u) << row;
        SCOPED_TRACE(c[0]);
        const Road* road = nullptr;
        for (const Road& r : roads)
            if (c[0].find(r.question) != std::string::npos) road = &r;
        ASSERT_NE(road, nullptr) << "a question of the README that this test does not raise";
        // "Yes 6, No 7 (Enter), Cancel 1": the buttons offered, and the code Enter answers.
        std::string offered = c[1];
        std::string enter;
        const std::size_t mark = offered.find(" (Enter)");
        if (mark != std::string::npos) {
            offered.erase(mark, 8);
            enter = offered.substr(offered.rfind(' ', mark - 1) + 1, mark - offered.rfind(' ', mark - 1) - 1);
        } else {
            enter = offered.substr(offered.find(' ') + 1, offered.find(',') - offered.find(' ') - 1);
        }
        for (const char* answer : {"answer 99", "answer enter"}) {
            SCOPED_TRACE(answer);
            fs::remove(dir / "out.int");
            if (*road->file) kvtest::write_bytes(dir / road->file, "a file of the user's\r\n");
            std::vector<std::string> lines = start;
            for (const auto& s : road->steps) lines.insert(lines.end(), s.begin(), s.end());
            lines.push_back(answer);
            kvtest::write_bytes(dir / "go.txt", kvtest::join(lines, "\n"));
            const int status = status_of("cd " + quoted(dir) + " && timeout 600 " + quoted(SCRIPT_EXE) +
                                         " --script go.txt --transcript shown.txt --module-dir module >/dev/null 2>stderr.txt");
            const std::string shown = kvtest::read_bytes(dir / "shown.txt");
            if (std::string(answer) == "answer 99") {
                EXPECT_EQ(status, 4) << shown;
                EXPECT_NE(kvtest::read_bytes(dir / "stderr.txt").find("the box offers " + offered + " ("), std::string::npos)
                    << kvtest::read_bytes(dir / "stderr.txt");
            } else {
                std::string asked;
                std::istringstream in(shown);
                for (std::string l; std::getline(in, l);)
                    if (l.rfind("ask ", 0) == 0 && l.find(road->question) != std::string::npos) asked = l;
                EXPECT_EQ(asked.substr(asked.rfind(" -> ") + 4), enter) << shown;
            }
        }
    }
}

}  // namespace
