// The README's first run, as kelvor-script walks it: examples/walkthrough.script on the example
// data set of examples/ (standard data file, parameter file), from choosing the file to the
// refined cell. What the README promises at the end is read from the README itself and checked
// against the run: the reflections written, the reflections stored for the refinement and the
// refined cell as "Cell Refinement Results" shows it.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "../scan_input/test_files.h"

namespace {

namespace fs = std::filesystem;

const std::string TITLE = "Kelvorantide v3.72";

std::size_t count_lines(const std::string& text) {
    std::size_t n = 0;
    for (char c : text) n += c == '\n';
    return n;
}

// The numbers after "NAME = " on the README's cell line, in the order given.
std::vector<double> readme_cell(const std::string& readme) {
    const std::size_t at = readme.find("    a = ");
    if (at == std::string::npos) return {};
    std::istringstream line(readme.substr(at, readme.find('\n', at) - at));
    std::vector<double> v;
    for (std::string name, eq; line >> name >> eq;) {
        double x = 0;
        if (eq != "=" || !(line >> x)) return {};
        v.push_back(x);
    }
    return v;
}

// The seven numbers of the log's " CELL" line of the cell refinement.
std::vector<double> logged_cell(const std::string& log) {
    const std::size_t at = log.find("\r\nCELL ");
    if (at == std::string::npos) return {};
    std::istringstream line(log.substr(at + 6, log.find('\r', at + 2) - at - 6));
    std::vector<double> v;
    for (double x; line >> x;) v.push_back(x);
    return v;
}

TEST(ExampleWalkthrough, TheReadmesFirstRunGivesWhatTheReadmePromises) {
    const fs::path exe = kvtest::kelvor_script_path();
    if (!fs::exists(exe)) GTEST_SKIP() << "kelvor-script is not built";
    const fs::path src = fs::path(KV_SOURCE_DIR);
    const fs::path dir = kvtest::test_dir();
    for (const char* name : {"example.rfl", "example.par", "walkthrough.script"})
        fs::copy_file(src / "examples" / name, dir / name);
    fs::create_directories(dir / "module");
    ASSERT_EQ(kvtest::run_kelvor_script(dir, "walkthrough.script"), 0) << kvtest::read_bytes(dir / "stderr.txt");

    const std::string readme = kvtest::read_bytes(src / "README.md");
    const std::string shown = kvtest::read_bytes(dir / "shown.txt");
    const std::string log = kvtest::read_bytes(dir / "example_Kelvor.log");

    // The boxes of the walk-through, in the README's words.
    for (const std::string box : {"Data File read in successfully", "45 Reflections stored for fitting"}) {
        EXPECT_NE(readme.find(box), std::string::npos) << box;
        EXPECT_NE(shown.find(box + "\n"), std::string::npos) << box << "\n" << shown;
    }
    EXPECT_NE(shown.find("show " + TITLE + ": Cell Refinement Results\n"), std::string::npos) << shown;

    // 50 reflections written, as the log says.
    EXPECT_NE(readme.find("`example.int` holds 50 reflections"), std::string::npos);
    EXPECT_NE(readme.find("\"50 TOTAL REFLECTIONS PASSED\""), std::string::npos);
    EXPECT_EQ(count_lines(kvtest::read_bytes(dir / "example.int")), 50u);
    EXPECT_NE(log.find("   50 TOTAL REFLECTIONS PASSED\r\n"), std::string::npos);
    EXPECT_NE(log.find("   45 REFLECTIONS USED\r\n"), std::string::npos);

    // The refined cell, to the last digit the results dialog shows.
    const std::vector<double> promised = readme_cell(readme);
    const std::vector<double> refined = logged_cell(log);
    ASSERT_EQ(promised.size(), 7u) << "the README's cell line";
    ASSERT_EQ(refined.size(), 7u) << log;
    const double last_digit[7] = {1e-5, 1e-5, 1e-5, 1e-3, 1e-3, 1e-3, 1e-4};
    for (int i = 0; i < 7; ++i) EXPECT_NEAR(refined[std::size_t(i)], promised[std::size_t(i)], 0.51 * last_digit[i]) << i;
}

}  // namespace
