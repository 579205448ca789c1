// "Calc Unit Cell" inside the whole program on the scripted front end: start-up with a generated
// data set, a preprocessing pass, the refinement chosen in its dialog, and the report in the log.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "../shell/main_ui.h"
#include "shell/config_file.h"
#include "shell/kelvor_main.h"

namespace {

class CalcUnitCellInTheProgram : public kvtest::DataSetTest {
protected:
    CalcUnitCellInTheProgram() : DataSetTest({"mainroad"}) {}
    int run(const std::vector<std::string>& lines) {
        rt::units_close_all();
        reset_toolkit();
        reset_shared_records();
        script(lines);
        return rt::run_program([] { MAIN__(); });
    }
};

// The lines of the log, carriage returns removed.
std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> out;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(at, end - at);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        out.push_back(line);
        at = end + 1;
    }
    return out;
}

TEST_F(CalcUnitCellInTheProgram, MonoclinicRefinementAfterPreprocessingIsReportedInTheLog) {
    const std::string rfl = (dir / "mainroad.rfl").string(), par = (dir / "mainroad.par").string();
    const int status = run({"file " + rfl, "press 470", "file " + par, "press 331", "press 53", "run", "press 332",
                            "toggle 6 21 1", "select 6 24 1", "press 626", "press 631", "press 101", "answer 2"});
    EXPECT_EQ(status, 0);
    const std::string T = kvtest::TITLE;
    const std::vector<std::string> tail = {"box " + T + " |    14 Reflections stored for fitting",
                                           "show " + T + ": Unit Cell Refinement",
                                           "hide " + T + ": Unit Cell Refinement",
                                           "show " + T,
                                           "hide " + T,
                                           "show " + T + ": Cell Refinement Results",
                                           "hide " + T + ": Cell Refinement Results"};
    const auto shown = transcript();
    ASSERT_GE(shown.size(), tail.size() + 2);
    EXPECT_EQ(std::vector<std::string>(shown.end() - 2 - tail.size(), shown.end() - 2), tail);

    const auto log = lines_of(kvtest::read_bytes(dir / "mainroad_Kelvor.log"));
    const auto at = std::find(log.begin(), log.end(), "RESULTS OF LEAST SQUARES REFINEMENT OF CELL PARAMETERS");
    ASSERT_NE(at, log.end());
    ASSERT_GE(log.end() - at, 40);
    EXPECT_EQ(at[2], " SYMMETRY-CONSTRAINED TO Monoclinic (B-unique)     NO XTAL OFFSETS");
    EXPECT_EQ(at[4], "  H   K   L  2TH(det)  2TH(cal) OM(FIT)     CHI     PHI   OM(UB)   DEL-OM");
    // The reflection measured at negative 2theta among the fourteen rows.
    EXPECT_NE(std::find_if(at + 6, at + 20, [](const std::string& l) { return l.rfind("  1   0  -2  -8.61", 0) == 0; }),
              at + 20);
    const auto cell = std::find_if(at, log.end(), [](const std::string& l) { return l.rfind("CELL ", 0) == 0; });
    ASSERT_NE(cell, log.end());
    // The generating cell, beta refined and alpha, gamma held at 90 exactly.
    ASSERT_EQ(cell->size(), 77u);
    const double lengths[3] = {std::stod(cell->substr(16, 9)), std::stod(cell->substr(25, 9)),
                               std::stod(cell->substr(34, 9))};
    EXPECT_NEAR(lengths[0], 7.11, 0.001);
    EXPECT_NEAR(lengths[1], 9.23, 0.001);
    EXPECT_NEAR(lengths[2], 11.45, 0.001);
    EXPECT_EQ(cell->substr(43, 24), "  90.000  97.250  90.000");
    EXPECT_EQ(cell[3], "       14 REFLECTIONS USED");
}

}  // namespace
