// Numbers that read but make no sense, typed into the program's dialogs as a user does, through
// kelvor-script on the main-road data set: each dialog's table of typed values (inside the range,
// on its bounds, outside it). A number outside is refused with a box saying what is allowed, the
// entry takes back its number (a second "Save" then passes without a box) and the dialog stays
// open; a number inside is taken.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "../scan_input/test_files.h"

namespace {

namespace fs = std::filesystem;

const std::string TITLE = "Kelvorantide v3.72";
const std::string BOX = "box " + TITLE + " | ";
const std::vector<std::string> LOAD = {"file mainroad.rfl 1", "press 470", "file mainroad.par"};
const std::vector<std::string> LEAVE = {"press 101", "answer 2"};

struct Session {
    int status = -1;
    std::vector<std::string> shown;  // the transcript, one line each
    std::string errors;
    fs::path dir;
};

// Runs the program on the main-road data set with the lines after the load and before the exit.
Session play(const std::vector<std::string>& lines, const std::vector<std::string>& leave = LEAVE) {
    Session s;
    s.dir = kvtest::test_dir();
    kvtest::copy_data_set("mainroad", s.dir);
    fs::create_directories(s.dir / "module");
    std::vector<std::string> all = LOAD;
    all.insert(all.end(), lines.begin(), lines.end());
    all.insert(all.end(), leave.begin(), leave.end());
    kvtest::write_bytes(s.dir / "go.txt", kvtest::join(all, "\n"));
    s.status = kvtest::run_kelvor_script(s.dir);
    s.errors = kvtest::read_bytes(s.dir / "stderr.txt");
    std::istringstream in(kvtest::read_bytes(s.dir / "shown.txt"));
    for (std::string line; std::getline(in, line);) s.shown.push_back(line);
    return s;
}

// The transcript from the first line equal to `first`, as many lines as `expected` holds.
std::vector<std::string> from(const std::vector<std::string>& shown, const std::string& first, std::size_t n) {
    for (std::size_t i = 0; i < shown.size(); ++i)
        if (shown[i] == first) return {shown.begin() + i, shown.begin() + std::min(shown.size(), i + n)};
    return {};
}

std::string joined(const std::vector<std::string>& lines) {
    std::string s;
    for (const auto& l : lines) s += l + "\n";
    return s;
}

// One typed value of a modal dialog: the slot typed into (after `before`), the text, and the
// box that refuses it (empty: taken).
struct Typed {
    std::string before;  // a line that prepares the case ("toggle 5 65 1"), or empty
    std::string slot;    // "5 39"
    std::string text;
    std::string refusal;
};

// Plays every case in one session: open the dialog, type, save; a refused number is followed by a
// second save, which the number taken back lets through. Checks the whole exchange.
void check_modal_table(const std::string& open, const std::string& save, const std::string& title,
                       const std::vector<Typed>& cases) {
    std::vector<std::string> lines, expected;
    for (const Typed& c : cases) {
        lines.push_back(open);
        if (!c.before.empty()) lines.push_back(c.before);
        lines.push_back("set " + c.slot + " " + c.text);
        lines.push_back(save);
        expected.push_back("show " + title);
        if (!c.refusal.empty()) {
            lines.push_back(save);
            expected.push_back(BOX + c.refusal);
        }
        expected.push_back("hide " + title);
    }
    const Session s = play(lines);
    ASSERT_EQ(s.status, 0) << s.errors << joined(s.shown);
    EXPECT_EQ(joined(from(s.shown, expected.front(), expected.size())), joined(expected)) << joined(s.shown);
}

TEST(TypedRanges, PeakParameterDialogTakesOnlyWhatItsQuantitiesAllow) {
    if (!fs::exists(kvtest::kelvor_script_path())) GTEST_SKIP() << "kelvor-script is not built";
    const std::string wave1 = "The alpha1 wavelength must be above 0 and at most 10 A; ";
    const std::string a = "The FWHM coefficient a must be at least 0.001 and at most 10 degrees; ";
    check_modal_table("press 341", "press 541", TITLE + ": Peak parameter default values",
                      {
                          {"", "5 39", "0", wave1 + "0 is not taken"},
                          {"", "5 39", "-1.5", wave1 + "-1.5 is not taken"},
                          {"", "5 39", "2147483648", wave1 + "2147483648 is not taken"},
                          {"", "5 39", "10.000001", wave1 + "10.000001 is not taken"},
                          {"", "5 39", "10", ""},
                          {"", "5 39", "0.71073", ""},
                          {"", "5 32", "1d3", a + "1000 is not taken"},
                          {"", "5 32", "1e-50", a + "1e-50 is not taken"},
                          {"", "5 32", "0.0009", a + "0.0009 is not taken"},
                          {"", "5 32", "0.001", ""},
                          {"", "5 32", "10", ""},
                          {"", "5 32", "0.18", ""},
                          {"", "5 33", "-0.01", "The FWHM coefficient b must be at least 0 and at most 10 degrees; "
                                                "-0.01 is not taken"},
                          {"", "5 33", "0", ""},
                          {"", "5 37", "1.01", "Eta must be at least 0 and at most 1; 1.01 is not taken"},
                          {"", "5 37", "1", ""},
                          {"", "5 38", "-0.5", "The alpha2/alpha1 ratio Iratio must be at least 0 and at most 1; "
                                               "-0.5 is not taken"},
                          {"", "5 38", "1", ""},
                          // With an alpha2 peak the second wavelength is judged too.
                          {"", "5 40", "0", "The alpha2 wavelength must be above 0 and at most 10 A; 0 is not taken"},
                          {"", "5 40", "0.71359", ""},
                      });
}

TEST(TypedRanges, BackgroundDialogTakesOnlyWhatItsQuantitiesAllow) {
    if (!fs::exists(kvtest::kelvor_script_path())) GTEST_SKIP() << "kelvor-script is not built";
    const std::string steps = "The number of end steps must be a whole number from 1 to 99; ";
    const std::string from_scan = "toggle 5 65 1", exp = "toggle 5 64 1";
    check_modal_table("press 343", "press 579", TITLE + ": Fixed Background Options",
                      {
                          {from_scan, "5 73", "99999", steps + "99999 is not taken"},
                          {from_scan, "5 73", "-5", steps + "-5 is not taken"},
                          {from_scan, "5 73", "0", steps + "0 is not taken"},
                          {from_scan, "5 73", "2.7", steps + "2.7 is not taken"},
                          {from_scan, "5 73", "1e9", steps + "1000000000 is not taken"},
                          {from_scan, "5 73", "100", steps + "100 is not taken"},
                          {from_scan, "5 73", "1", ""},
                          {from_scan, "5 73", "99", ""},
                          {exp, "5 70", "-1", "The background coefficient a must be at least 0 and at most 1000000000 "
                                              "counts; -1 is not taken"},
                          {exp, "5 71", "1.5", "The background coefficient b must be at least -1 and at most 1 per "
                                               "degree; 1.5 is not taken"},
                          {exp, "5 71", "-1", ""},
                          {exp, "5 72", "-3", "The background coefficient c must be at least 0 and at most 1000000000 "
                                              "counts; -3 is not taken"},
                          {exp, "5 72", "0", ""},
                      });
}

// The fitting dialog is no modal dialog: a limit is judged when its edit ends (its callback), a
// start value at the next fit ("Refit"). A refused number is replaced by the one before, with
// which the fit goes on.
TEST(TypedRanges, FittingDialogJudgesLimitsAndStartValues) {
    if (!fs::exists(kvtest::kelvor_script_path())) GTEST_SKIP() << "kelvor-script is not built";
    struct Case {
        std::string slot, text, press, refusal;
    };
    const std::string fwhm_limit = "An FWHM limit must be at least 0 and at most 10 degrees; ";
    const Case cases[] = {
        {"4 82", "2", "press 482", "The lower FWHM limit must be below the upper one; 2 and 1 are not taken"},
        {"4 92", "0.005", "press 492", "The lower FWHM limit must be below the upper one; 0.01 and 0.005 are not taken"},
        {"4 92", "11", "press 492", fwhm_limit + "11 is not taken"},
        {"4 82", "-0.1", "press 482", fwhm_limit + "-0.1 is not taken"},
        {"4 92", "10", "press 492", ""},
        {"4 82", "0", "press 482", ""},
        {"4 86", "0.8", "press 486", "The lower Iratio limit must be below the upper one; 0.8 and 0.7 are not taken"},
        {"4 96", "1.5", "press 496", "An Iratio limit must be at least 0 and at most 1; 1.5 is not taken"},
        {"4 96", "1", "press 496", ""},
        {"4 81", "-1", "press 481", ""},  // a lower background limit below 0 leaves the test open
        {"4 84", "-0.5", "press 484", ""},  // a position window may lie off centre
        {"4 83", "-100", "press 483", ""},  // weak reflections may refine negative
        // Start values: a width inside the 51 steps of 0.025 degrees, eta between 0 and 1.
        {"4 22", "0", "press 104", "The FWHM start value must be above 0 and below 1.25 degrees; 0 is not taken"},
        {"4 22", "1.25", "press 104", "The FWHM start value must be above 0 and below 1.25 degrees; 1.25 is not taken"},
        {"4 22", "1.2", "press 104", ""},
        {"4 25", "1.5", "press 104", "The eta start value must be at least 0 and at most 1; 1.5 is not taken"},
        {"4 23", "-5", "press 104", "The intensity start value must be at least 0; -5 is not taken"},
    };
    std::vector<std::string> lines = {"press 321"};
    std::vector<std::string> expected;
    for (const Case& c : cases) {
        lines.push_back("set " + c.slot + " " + c.text);
        lines.push_back(c.press);
        if (!c.refusal.empty()) expected.push_back(BOX + c.refusal);
    }
    // A position outside the scan on display: its own bounds.
    lines.insert(lines.end(), {"set 4 24 999", "press 104"});
    const Session s = play(lines, {"press 101", "press 101", "answer 2"});  // the pass ends, then the program
    ASSERT_EQ(s.status, 0) << s.errors << joined(s.shown);
    std::vector<std::string> boxes;  // from the start of the pass on
    bool in_pass = false;
    for (const auto& l : s.shown) {
        in_pass = in_pass || l == "show " + TITLE + ": Fitting Controls & Results";
        if (in_pass && l.rfind(BOX, 0) == 0) boxes.push_back(l);
    }
    ASSERT_EQ(boxes.size(), expected.size() + 1) << joined(s.shown);
    EXPECT_EQ(joined({boxes.begin(), boxes.end() - 1}), joined(expected));
    EXPECT_EQ(boxes.back().rfind(BOX + "The position start value must be at least ", 0), 0u) << boxes.back();
    EXPECT_NE(boxes.back().find(" degrees; 999 is not taken"), std::string::npos) << boxes.back();
}

}  // namespace
