// The preprocessing pass, the FWHM calibration and the manual fit as a user reaches them from
// the menus, through kelvor-script as a process: "Calc FWHM" is not selectable before a pass and
// is once the pass has stored its reflections; the calibration is saved; a manual fit then
// jumps to a reflection and exports its profile.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "../scan_input/test_files.h"

namespace {

namespace fs = std::filesystem;

const std::string TITLE = "Kelvorantide v3.72";

class PreprocessScript : public ::testing::Test {
protected:
    void SetUp() override {
        exe = kvtest::kelvor_script_path();
        if (!fs::exists(exe)) GTEST_SKIP() << "kelvor-script is not built";
        dir = kvtest::test_dir();
        kvtest::copy_data_set("mainroad", dir);
        fs::create_directories(dir / "module");
    }
    // Runs the program on the data set with these further user actions; its exit status.
    int run(const std::vector<std::string>& actions) {
        std::vector<std::string> lines = {"file mainroad.rfl 1", "press 470", "file mainroad.par"};
        lines.insert(lines.end(), actions.begin(), actions.end());
        kvtest::write_bytes(dir / "go.txt", kvtest::join(lines, "\n"));
        return kvtest::run_kelvor_script(dir, "go.txt", "shown.txt", "stderr.txt", "stdout.txt");
    }
    std::string shown() const { return kvtest::read_bytes(dir / "shown.txt"); }
    fs::path exe, dir;
};

TEST_F(PreprocessScript, CalcFwhmWaitsForAPreprocessingPass) {
    EXPECT_EQ(run({"press 334"}), 4);  // a greyed menu entry: the script cannot press it
}

TEST_F(PreprocessScript, PreprocessThenCalibrateThenExportFromAManualFit) {
    ASSERT_EQ(run({"press 331", "toggle 4 28 1", "press 53", "run",       // the pass
                   "press 334", "press 65",                               // calibration saved
                   // The pass left the read position at the end: the manual fit jumps to 2.
                   "press 321", "set 1 7 2", "press 108", "press 120", "file profile",
                   "press 101", "press 101", "answer 2"}),
              0)
        << kvtest::read_bytes(dir / "stderr.txt") << shown();
    const std::string text = shown();
    for (const std::string& l :
         {"show " + TITLE + ": Preprocessing Control\nhide " + TITLE + ": Preprocessing Control\n",
          "box " + TITLE + " |    13 Reflections stored for fitting\n",
          "show " + TITLE + ": FWHM values from dataset\nhide " + TITLE + ": FWHM values from dataset\n",
          "file Open Data File -> " + fs::canonical(dir).string() + "/profile\n"})
        EXPECT_NE(text.find(l), std::string::npos) << l << "\n" << text;
    const std::string log = kvtest::read_bytes(dir / "mainroad_Kelvor.log");
    EXPECT_NE(log.find("SUMMARY OF REFLECTIONS FIT WITH PREPROCESS UTILITY"), std::string::npos);
    const std::string profile = kvtest::read_bytes(dir / "profile.dat");
    EXPECT_EQ(profile.rfind(" PROFILE FOR REFLECTION HKL =     0    2    0\r\n", 0), 0u) << profile;
    std::size_t lines = 0;
    for (std::size_t at = profile.find("\r\n"); at != std::string::npos; at = profile.find("\r\n", at + 2)) ++lines;
    EXPECT_EQ(lines, 2u + 51u);
}

}  // namespace
