// "Calc Unit Cell" through kelvor-script as a process: with "Symmetry constrained" ticked and no
// crystal system chosen, "Refine" asks for a system and refines nothing; once a system is chosen
// the symmetry-constrained refinement runs and its results are shown.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "../scan_input/test_files.h"

namespace {

namespace fs = std::filesystem;

const std::string TITLE = "Kelvorantide v3.72";

std::size_t count_of(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

TEST(RefineScript, SymmetryWithoutACrystalSystemAsksForOneAndRefinesNothingUntilChosen) {
    const fs::path exe = kvtest::kelvor_script_path();
    if (!fs::exists(exe)) GTEST_SKIP() << "kelvor-script is not built";
    const fs::path dir = kvtest::test_dir();
    kvtest::copy_data_set("mainroad", dir);
    fs::create_directories(dir / "module");
    kvtest::write_bytes(dir / "go.txt",
                        kvtest::join({"file mainroad.rfl 1", "press 470", "file mainroad.par",
                                      "press 331", "press 53", "run",  // Preprocess, Go, to the end
                                      "press 332", "toggle 6 21 1", "press 626",  // no system chosen
                                      "select 6 24 1", "press 626",             // Monoclinic-b
                                      "press 631", "press 101", "answer 2"},
                                     "\n"));
    ASSERT_EQ(kvtest::run_kelvor_script(dir), 0) << kvtest::read_bytes(dir / "stderr.txt");

    const std::string shown = kvtest::read_bytes(dir / "shown.txt");
    const std::string asked = "show " + TITLE + ": Unit Cell Refinement\nbox " + TITLE +
                              " | Choose a crystal system, or switch Symmetry constrained off\nhide " + TITLE +
                              ": Unit Cell Refinement\n";
    EXPECT_NE(shown.find(asked), std::string::npos) << shown;
    EXPECT_EQ(count_of(shown, "show " + TITLE + ": Cell Refinement Results\n"), 1u) << shown;
    EXPECT_GT(shown.find("show " + TITLE + ": Cell Refinement Results\n"), shown.find(asked));

    // One refinement, symmetry-constrained; none ran unconstrained at the first "Refine".
    const std::string log = kvtest::read_bytes(dir / "mainroad_Kelvor.log");
    EXPECT_EQ(count_of(log, "RESULTS OF LEAST SQUARES REFINEMENT OF CELL PARAMETERS"), 1u) << log;
    EXPECT_NE(log.find(" SYMMETRY-CONSTRAINED TO Monoclinic (B-unique)     NO XTAL OFFSETS"), std::string::npos);
    EXPECT_EQ(log.find("UNCONSTRAINED REFINEMENT"), std::string::npos);

    // Monoclinic b unique: alpha and gamma are held at 90 and shown "fixed"; beta's esd reads as
    // a number above 0 (not 0.000 in three decimals).
    const std::size_t esds = log.find("\nESDs");
    ASSERT_NE(esds, std::string::npos) << log;
    const std::string line = log.substr(esds + 1, log.find('\n', esds + 1) - esds - 1);
    ASSERT_GE(line.size(), 67u) << line;
    const std::string alpha = line.substr(43, 8), beta = line.substr(51, 8), gamma = line.substr(59, 8);
    EXPECT_EQ(alpha, "   fixed") << line;
    EXPECT_EQ(gamma, "   fixed") << line;
    EXPECT_GT(std::stod(beta), 0.0) << line;
    EXPECT_EQ(beta.find("0.000 "), std::string::npos) << line;
}

}  // namespace
