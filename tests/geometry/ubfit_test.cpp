// "Calc Unit Cell" on the program's own dialogs, driven by a script: the choice of strategy, the
// report in the log, the results dialog and the failure paths.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "../shell/main_ui.h"
#include "include/profile_fit.h"
#include "include/scan_input.h"
#include "shell/config_file.h"
#include "include/toolkit_services.h"
#include "lsq_table.h"
#include "run_log.h"
#include "shell/kelvor_main.h"

namespace {

using kvtest::TITLE;

const ref::Cell kCell{7.812, 9.433, 11.205, 88.4, 104.3, 93.7};

class CalcUnitCell : public geomtest::WithRunLog<kvtest::ShellTest> {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        build_ui();
        WAVES.WAVE(1) = float(lsqtest::kWave);
        for (int i = 1; i <= 4; ++i) GONIO.PARITY(i) = 1;
        GONIO.GONCON1 = 200.0f;
        gmSetWidgetStatus(GRAPHICS.IWID(3, 36), STATUS_GREYED);
        ub = lsqtest::orientation_matrix(kCell);
        lsqtest::fill_table(ub, lsqtest::spread_reflections());
        // The first reflection measured on the other side: negative 2theta, opposite indices.
        for (int k = 1; k <= 3; ++k) FITVALS.IHFIT(1, k) = -FITVALS.IHFIT(1, k);
        FITVALS.ANGLESFIT(1, 1) = -FITVALS.ANGLESFIT(1, 1);
    }
    // Some earlier state of the orientation records, for the tests that change nothing.
    static void earlier_state() {
        for (int i = 1; i <= 3; ++i)
            for (int j = 1; j <= 3; ++j) {
                UNITCELL.UB(i, j) = 0.01f * float(i + 3 * j);
                UNITCELL.UBT(i, j) = 0.01f * float(j + 3 * i);
            }
        for (int k = 1; k <= 7; ++k) {
            UNITCELL.CELL(k) = 5.0f + k;
            UNITCELL.ESD(k) = 0.001f * k;
            UNITCELL.RECELL(k) = 0.1f * k;
        }
        UNITCELL.UBOK = 1;
        XTALOFF.DELX(1) = 0.5f;
        XTALOFF.OMZERO = 0.125f;
    }
    static void expect_earlier_state() {
        for (int i = 1; i <= 3; ++i)
            for (int j = 1; j <= 3; ++j) {
                EXPECT_EQ(UNITCELL.UB(i, j), 0.01f * float(i + 3 * j));
                EXPECT_EQ(UNITCELL.UBT(i, j), 0.01f * float(j + 3 * i));
            }
        for (int k = 1; k <= 7; ++k) {
            EXPECT_EQ(UNITCELL.CELL(k), 5.0f + k);
            EXPECT_EQ(UNITCELL.ESD(k), 0.001f * k);
            EXPECT_EQ(UNITCELL.RECELL(k), 0.1f * k);
        }
        EXPECT_EQ(UNITCELL.UBOK, 1);
        EXPECT_EQ(XTALOFF.DELX(1), 0.5f);
        EXPECT_EQ(XTALOFF.OMZERO, 0.125f);
        EXPECT_EQ(w(3, 36).state, STATUS_GREYED);
    }
    ref::M3 ub;
};

// Seven numbers of a cell or ESD line, from column 17 of the log line on.
std::vector<float> numbers_after(const std::string& line, std::size_t col) {
    std::vector<float> v;
    std::istringstream in(line.substr(col));
    float x;
    while (in >> x) v.push_back(x);
    return v;
}

const std::vector<std::string> kHeading = {"", "", "RESULTS OF LEAST SQUARES REFINEMENT OF CELL PARAMETERS"};

TEST_F(CalcUnitCell, PlainRefinementReportsTheFitAndShowsTheResults) {
    open_the_log();
    for (int k = 1; k <= 3; ++k) XTALOFF.DELX(k) = 0.3f;
    XTALOFF.OMZERO = 0.2f;
    script({"toggle 6 21 0", "toggle 6 22 0", "toggle 6 23 0", "press 626", "press 631"});
    UB_FIT();

    const std::vector<std::string> shown = {
        "show " + TITLE + ": Unit Cell Refinement", "hide " + TITLE + ": Unit Cell Refinement",
        "show " + TITLE,  // the wait box
        "hide " + TITLE,  "show " + TITLE + ": Cell Refinement Results",
        "hide " + TITLE + ": Cell Refinement Results"};
    EXPECT_EQ(transcript(), shown);
    EXPECT_EQ(UNITCELL.UBOK, 1);
    lsqtest::expect_ub(ub, 2e-6);
    lsqtest::expect_cell(kCell, 2e-4, 2e-3);
    for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 3; ++j) EXPECT_EQ(UNITCELL.UBT(i, j), UNITCELL.UB(j, i));
    const ref::Recip r = ref::reciprocal(kCell);
    EXPECT_NEAR(UNITCELL.RECELL(1), r.as, 1e-6);
    EXPECT_NEAR(UNITCELL.RECELL(5), r.betas, 2e-3);
    for (int k = 1; k <= 3; ++k) EXPECT_EQ(XTALOFF.DELX(k), 0.0f);
    EXPECT_EQ(XTALOFF.OMZERO, 0.0f);
    EXPECT_EQ(w(3, 36).state, STATUS_ACTIVE);
    EXPECT_DOUBLE_EQ(w(6, 50).value, 20.0);  // the results dialog got the reflection count

    const auto log = log_lines();
    ASSERT_EQ(log.size(), 48u);
    const std::vector<std::string> head(log.begin(), log.begin() + 9);
    const std::vector<std::string> expected_head = {
        "", "", "RESULTS OF LEAST SQUARES REFINEMENT OF CELL PARAMETERS", "", " UNCONSTRAINED REFINEMENT ", "",
        "  H   K   L  2TH(det)  2TH(cal) OM(FIT)     CHI     PHI   OM(UB)   DEL-OM", "",
        // a negative observed 2theta gives a negative calculated one
        " -1   0   0  -5.3909  -5.3909    0.000   42.217   20.275    0.000    0.000"};
    EXPECT_EQ(head, expected_head);
    EXPECT_EQ(log[9].size(), 74u);  // the plain layout ends with DEL-OM
    const std::vector<std::string> matrix_head = {"", "", " Unconstrained Orientation Matrix ",
                                                  "    (For Busing Levy axes and circle parities)", ""};
    EXPECT_EQ(std::vector<std::string>(log.begin() + 28, log.begin() + 33), matrix_head);
    for (int i = 1; i <= 3; ++i) {
        const auto row = numbers_after(log[32 + i], 0);
        ASSERT_EQ(row.size(), 3u);
        for (int j = 1; j <= 3; ++j) EXPECT_NEAR(row[j - 1], ub[i - 1][j - 1], 6e-6);
        EXPECT_EQ(log[32 + i].size(), 35u);  // 3F12.5 less the carriage-control column
    }
    EXPECT_EQ(log[36], "");
    EXPECT_EQ(log[37], "");
    ASSERT_EQ(log[38].substr(0, 16), "CELL            ");
    ASSERT_EQ(log[39].substr(0, 16), "ESDs            ");
    // Each esd in its value's columns, rounded up to its first significant digit (never 0.000
    // for an angle esd of a few ten-thousandths), or "fixed".
    const int widths[7] = {9, 9, 9, 8, 8, 8, 10};
    std::size_t at = 16;
    for (int k = 1; k <= 7; ++k) {
        SCOPED_TRACE(k);
        const std::string field = log[39].substr(at, std::size_t(widths[k - 1]));
        at += std::size_t(widths[k - 1]);
        const float esd = UNITCELL.ESD(k);
        if (esd <= 1.0e-7f) {
            EXPECT_EQ(field.substr(field.find_first_not_of(' ')), "fixed");
            continue;
        }
        const double shown = std::stod(field);
        EXPECT_GE(shown, double(esd) * 0.9);
        EXPECT_LE(shown, double(esd) * 2.0 + 1e-12);
    }
    const auto cell = numbers_after(log[38], 16);
    ASSERT_EQ(cell.size(), 7u);
    for (int k = 1; k <= 7; ++k) EXPECT_NEAR(cell[k - 1], UNITCELL.CELL(k), 1e-4 * std::max(1.0f, UNITCELL.CELL(k)));
    const std::vector<std::string> tail = {"",
                                           "       20 REFLECTIONS USED",
                                           "AVERAGE DELTA-OMEGA =  0.0000",
                                           "    MAX OMEGA ERROR =  0.0000",
                                           "         OMEGA-ZERO =  0.0000",
                                           "",
                                           "    CRYSTAL OFFSETS =     0.0000    0.0000    0.0000",
                                           ""};
    EXPECT_EQ(std::vector<std::string>(log.begin() + 40, log.end()), tail);
}

TEST_F(CalcUnitCell, TooFewReflectionsOrQuitChangeNothing) {
    earlier_state();
    FITVALS.NFIT = 2;
    script({});
    UB_FIT();
    EXPECT_EQ(transcript(), std::vector<std::string>{"box " + TITLE + " | Too Few Reflections for Least Squares"});
    expect_earlier_state();

    FITVALS.NFIT = 20;
    wl::script::load_lines({"toggle 6 22 1", "press 625"});
    UB_FIT();
    EXPECT_EQ(transcript(), (std::vector<std::string>{"show " + TITLE + ": Unit Cell Refinement",
                                                      "hide " + TITLE + ": Unit Cell Refinement"}));
    expect_earlier_state();
}

TEST_F(CalcUnitCell, SymmetryWithOffsetsWarnsAndUsesTheOffsetsLayout) {
    const ref::Cell cubic{8.3, 8.3, 8.3, 90, 90, 90};
    ub = lsqtest::orientation_matrix(cubic);
    lsqtest::fill_table(ub, lsqtest::spread_reflections());
    open_the_log();
    script({"toggle 6 21 1", "select 6 24 6", "toggle 6 22 1", "toggle 6 23 1", "press 626", "press 631"});
    UB_FIT();
    const std::vector<std::string> shown = {
        "show " + TITLE + ": Unit Cell Refinement",
        "hide " + TITLE + ": Unit Cell Refinement",
        "show " + TITLE,
        "box " + TITLE + " | Warning: Crystal offsets not refined with symmetry-constrained cell",
        "hide " + TITLE,
        "show " + TITLE + ": Cell Refinement Results",
        "hide " + TITLE + ": Cell Refinement Results"};
    EXPECT_EQ(transcript(), shown);
    EXPECT_EQ(UNITCELL.CELL(4), 90.0f);
    EXPECT_NEAR(UNITCELL.CELL(1), 8.3, 2e-4);
    EXPECT_EQ(UNITCELL.CELL(1), UNITCELL.CELL(3));
    EXPECT_EQ(XTALOFF.OMZERO, 0.0f);
    EXPECT_EQ(UNITCELL.UBOK, 1);

    const auto log = log_lines();
    ASSERT_GE(log.size(), 9u);
    const std::vector<std::string> expected_head = {
        "", "", "RESULTS OF LEAST SQUARES REFINEMENT OF CELL PARAMETERS", "",
        " SYMMETRY-CONSTRAINED TO Cubic                     NO XTAL OFFSETS",
        "  H   K   L  2TH(DET)  2TH(cal) OM(FIT)     CHI     PHI   OM(UB) + OM(OFF) = OM(CALC)   DEL-OM", ""};
    EXPECT_EQ(std::vector<std::string>(log.begin(), log.begin() + 7), expected_head);
    // Offsets layout: OM(OFF) of zeros, the calculated omega and DEL-OM.
    const std::string& row = log[7];
    ASSERT_EQ(row.size(), 92u);
    EXPECT_EQ(row.substr(65, 9), "    0.000");
}

TEST_F(CalcUnitCell, FailedRefinementDumpsTheInputAndRestoresTheRecords) {
    lsqtest::fill_table(ub, {{1, 1, 1}, {2, 2, 2}, {3, 3, 3}, {-1, -1, -1}});
    earlier_state();
    open_the_log();
    script({"toggle 6 21 0", "toggle 6 22 0", "toggle 6 23 1", "press 626"});
    UB_FIT();
    const std::vector<std::string> shown = {
        "show " + TITLE + ": Unit Cell Refinement", "hide " + TITLE + ": Unit Cell Refinement", "show " + TITLE,
        "hide " + TITLE, "box " + TITLE + " | Problem with least squares procedure for unit-cell"};
    EXPECT_EQ(transcript(), shown);
    expect_earlier_state();

    const auto log = log_lines();
    std::vector<std::string> expected = kHeading;
    expected.insert(expected.end(), {"", " UNCONSTRAINED REFINEMENT WITH OMEGA ZERO", "",
                                     " FAILURE IN LEAST-SQUARES PROCEDURE, INPUT DATA WERE:", "",
                                     "  H   K   L  2THETA   OM(FIT)    CHI      PHI   ", ""});
    ASSERT_EQ(log.size(), expected.size() + 4);
    EXPECT_EQ(std::vector<std::string>(log.begin(), log.begin() + expected.size()), expected);
    char want[80];
    std::snprintf(want, sizeof want, "   1   1   1%9.3f%9.3f%9.3f%9.3f", FITVALS.ANGLESFIT(1, 1),
                  FITVALS.ANGLESFIT(1, 2), FITVALS.ANGLESFIT(1, 3), FITVALS.ANGLESFIT(1, 4));
    EXPECT_EQ(log[expected.size()], std::string(want).substr(1));
}

TEST_F(CalcUnitCell, WithTheLogClosedTheRefinementStillHappens) {
    lsqtest::shift_omegas(0.04f, -0.03f, 0.02f, 0.0f);
    script({"toggle 6 21 0", "toggle 6 22 1", "toggle 6 23 0", "press 626", "press 631"});
    UB_FIT();
    EXPECT_EQ(UNITCELL.UBOK, 1);
    EXPECT_NEAR(XTALOFF.DELX(1), 0.04f, 2e-3f);
    EXPECT_NEAR(XTALOFF.DELX(2), -0.03f, 2e-3f);
    EXPECT_NEAR(XTALOFF.DELX(3), 0.02f, 2e-3f);
    EXPECT_EQ(XTALOFF.OMZERO, 0.0f);
    EXPECT_NEAR(w(6, 46).value, XTALOFF.DELX(1), 1e-7);  // shown in the results dialog
    EXPECT_EQ(w(3, 36).state, STATUS_ACTIVE);
    EXPECT_FALSE(std::filesystem::exists(dir / "run.log"));
}

TEST_F(CalcUnitCell, OmegaZeroShowsInTheResidualsOfThePlainLayout) {
    lsqtest::shift_omegas(0, 0, 0, -0.5f);
    open_the_log();
    script({"toggle 6 21 0", "toggle 6 22 0", "toggle 6 23 1", "press 626", "press 631"});
    UB_FIT();
    EXPECT_EQ(UNITCELL.UBOK, 1);
    EXPECT_LT(XTALOFF.OMZERO, -0.2f);
    const auto log = log_lines();
    ASSERT_EQ(log.size(), 48u);
    EXPECT_EQ(log[4], " UNCONSTRAINED REFINEMENT WITH OMEGA ZERO");
    EXPECT_EQ(log[6], "  H   K   L  2TH(det)  2TH(cal) OM(FIT)     CHI     PHI   OM(UB)   DEL-OM");
    // Every residual is negative, carrying the zero that the plain layout does not apply; the
    // largest error is the largest magnitude among them.
    float largest = 0.0f, sum = 0.0f;
    for (int i = 0; i < 20; ++i) {
        const auto v = numbers_after(log[8 + i], 0);
        ASSERT_EQ(v.size(), 10u);
        EXPECT_LT(v[9], 0.0f) << log[8 + i];
        largest = std::max(largest, -v[9]);
        sum += -v[9];
    }
    const auto max_line = numbers_after(log[43], 22);
    const auto zero_line = numbers_after(log[44], 22);
    const auto avg_line = numbers_after(log[42], 22);
    ASSERT_EQ(max_line.size(), 1u);
    EXPECT_NEAR(max_line[0], largest, 6e-4);
    EXPECT_NEAR(avg_line[0], sum / 20, 6e-4);
    EXPECT_NEAR(zero_line[0], XTALOFF.OMZERO, 5e-5);
    EXPECT_EQ(transcript().at(3), "box " + TITLE + " | WARNING: NO CONVERGENCE AFTER 10 CYCLES IN LSQ_OFFSETS");
}

// The generated monoclinic main-road data set (fixture "mainroad") loaded, preprocessed,
// and its cell refined from the fitted peak positions.
class CalcUnitCellOnADataSet : public kvtest::DataSetTest {
protected:
    CalcUnitCellOnADataSet() : DataSetTest({"mainroad"}, true) {}
};

TEST_F(CalcUnitCellOnADataSet, RefinesTheGeneratingCellFromThePreprocessedPeaks) {
    ASSERT_EQ(kvtest::open_read(3, dir / "mainroad.par"), rt::IOS_OK);
    READ_PARAMETERS(0);
    FILEINFO.LUNSTD = 25;
    FILEINFO.IN_NAME = "mainroad.rfl";
    ASSERT_EQ(kvtest::open_read(25, dir / "mainroad.rfl"), rt::IOS_OK);
    int status = 0;
    READ_HEADER_STDDATA(25, status);
    ASSERT_EQ(status, 0);
    const rt::FArray<int, 3> none;
    READ_SCAN_STDDATA(25, STD_NEXT, 0, none, status);
    ASSERT_EQ(status, 0);
    FIRST_SCAN_READ = 1;
    // The matrix of the file is not what is refined: start from a wrong one.
    for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 3; ++j) UNITCELL.UB(i, j) *= 1.01f;

    script({"press 53", "run"});
    START_PREPROCESS();
    ASSERT_GE(FITVALS.NFIT, 10);
    script({"toggle 6 21 0", "toggle 6 22 0", "toggle 6 23 0", "press 626", "press 631"});
    UB_FIT();
    ASSERT_EQ(UNITCELL.UBOK, 1);
    // Peak positions fitted to noisy counts: within a thousandth of an Angstrom and a hundredth
    // of a degree, with small but non-zero uncertainties.
    const ref::Cell truth{7.11, 9.23, 11.45, 90, 97.25, 90};
    lsqtest::expect_cell(truth, 0.001, 0.01);
    for (int k = 1; k <= 6; ++k) {
        EXPECT_GT(UNITCELL.ESD(k), 0.0f) << k;
        EXPECT_LT(UNITCELL.ESD(k), k <= 3 ? 0.002f : 0.02f) << k;
    }
    EXPECT_EQ(w(3, 36).state, STATUS_ACTIVE);
}

}  // namespace
