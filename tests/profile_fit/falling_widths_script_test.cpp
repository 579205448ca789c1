// A data set whose widths fall with the angle (tests/fixtures/specs/falling_widths.spec), walked
// through the whole program with kelvor-script: the preprocessing pass stores the 40 strong
// reflections at 2theta 11 to 57, and the line "Calc FWHM" fits to their widths is negative from
// about 2theta 94, where the file's 20 weak reflections lie. "Save values" refuses it, and the
// automatic pass that follows starts every weak reflection from the rule in force and accepts no
// fit whose width makes no peak.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "../scan_input/test_files.h"

namespace {

namespace fs = std::filesystem;

const std::string TITLE = "Kelvorantide v3.72";

TEST(FallingWidths, TheLineNegativeAtTheWeakReflectionsIsNotSaved) {
    const fs::path exe = kvtest::kelvor_script_path();
    if (!fs::exists(exe)) GTEST_SKIP() << "kelvor-script is not built";
    const fs::path dir = kvtest::test_dir();
    kvtest::copy_data_set("falling_widths", dir);
    fs::create_directories(dir / "module");
    const std::vector<std::string> lines = {
        "file falling_widths.rfl 1", "press 470", "file falling_widths.par",  // the data set
        "press 331", "press 53", "run",                                      // the pass
        "press 334", "press 65", "press 64",                                 // refused, then Quit
        // The automatic pass into an "Rfine extended" file, whose PARAMETERS lines give each width.
        "press 322", "answer 6", "file out.dat", "toggle 5 95 1", "press 593", "press 541",
        "set 1 7 1", "press 108", "press 118", "run",  // from the first reflection on
        "press 316", "answer 2"};
    kvtest::write_bytes(dir / "go.txt", kvtest::join(lines, "\n"));
    ASSERT_EQ(kvtest::run_kelvor_script(dir), 0) << kvtest::read_bytes(dir / "stderr.txt");
    const std::string shown = kvtest::read_bytes(dir / "shown.txt");
    EXPECT_NE(shown.find("box " + TITLE + " |    40 Reflections stored for fitting\n"), std::string::npos) << shown;
    EXPECT_NE(shown.find("box " + TITLE + " | FWHM not positive at every 2theta of the data: not saved\n"),
              std::string::npos)
        << shown;
    // Every reflection written; none accepted ("F" in the second flag column) with a width of 0
    // or less, and the strong ones all accepted.
    const std::string out = kvtest::read_bytes(dir / "out.dat");
    std::vector<std::string> rows;
    for (std::size_t at = 0; at < out.size();) {
        const std::size_t end = out.find("\r\n", at);
        if (end == std::string::npos) break;
        rows.push_back(out.substr(at, end - at));
        at = end + 2;
    }
    ASSERT_GE(rows.size(), 4u * 59u) << out;
    int accepted = 0, strong_accepted = 0;
    for (std::size_t r = 0; r < rows.size(); r += 4) {
        const std::string& line = rows[r];
        ASSERT_GE(line.size(), 76u) << line;
        ASSERT_EQ(rows[r + 2].rfind("PARAMETERS", 0), 0u) << rows[r + 2];
        const double fwhm = std::stod(rows[r + 2].substr(20, 10));
        if (line[71] != 'F') continue;
        ++accepted;
        if (std::stoi(line.substr(61, 7)) / 10 <= 40) ++strong_accepted;  // 10 x the sequence number
        EXPECT_GT(fwhm, 0.0) << line << "\n" << rows[r + 2];
    }
    EXPECT_EQ(strong_accepted, 40);
    EXPECT_GT(accepted, 40);
}

}  // namespace
