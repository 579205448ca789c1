// The strongest reflections through the whole road, on generated data sets. Peaks of a few hundred
// thousand counts per step lying a few degrees from the omega origin are fitted, stored and used
// by the cell refinement. "Calc FWHM" uses every refined width, however small its esd, before and
// after "Zref" (eight-setting groups, each reflection at the eight centring settings), recovers
// the generating law FWHM = a + b tan(theta), and its saved line, used as the FWHM default rule,
// lets a new pass store as many reflections as before.
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "../profile_fit/manual_loaded_set.h"
#include "include/geometry.h"

namespace {

struct Line {
    double fwhm0, fwhm1, esd0, esd1;
};

class StrongestReflections : public kvtest::LoadedSet {
protected:
    // The generated data set `stem` opened as the program opens it, its first reflection read and
    // a log open.
    void open_set(const std::string& stem) {
        kvtest::copy_data_set(stem, dir);
        ASSERT_EQ(kvtest::open_read(3, dir / (stem + ".par")), rt::IOS_OK);
        READ_PARAMETERS(0);
        FILEINFO.LUNSTD = 25;
        FILEINFO.IN_NAME = stem + ".rfl";
        ASSERT_EQ(kvtest::open_read(25, dir / (stem + ".rfl")), rt::IOS_OK);
        int status = 0;
        READ_HEADER_STDDATA(25, status);
        ASSERT_EQ(status, 0);
        read(STD_NEXT, 0);
        FIRST_SCAN_READ = 1;
        ASSERT_EQ(kvtest::open_log(dir / "run.log"), rt::IOS_OK);
        FILEINFO.LOGOPEN = 1;
    }
    static void pass(const std::vector<std::string>& lines) {
        script(lines);
        START_PREPROCESS();
    }
    // "Calc FWHM" with this answer in its dialog: the line as the dialog shows it (the esds as
    // texts, rounded up to their first significant digit).
    static Line calibrate(const std::string& answer = "press 64") {
        script({answer});
        FIT_GAMMA();
        return {w(6, 2).value, w(6, 3).value, std::stod(w(6, 6).text), std::stod(w(6, 7).text)};
    }
    // The same weighted line in double precision over every row of the table with a refined width
    // (esd above 0), and the largest of those esds.
    static Line every_refined_row(double& largest_esd) {
        double s0 = 0, s1 = 0, s2 = 0, s3 = 0, s4 = 0;
        largest_esd = 0;
        for (int n = 1; n <= FITVALS.NFIT; ++n) {
            const double esd = FITVALS.FWHMFIT(n, 2);
            EXPECT_GT(esd, 0.0) << n;
            largest_esd = std::max(largest_esd, esd);
            const double t = std::tan(std::fabs(FITVALS.ANGLESFIT(n, 1)) * M_PI / 360), w = 1 / (esd * esd);
            const double f = FITVALS.FWHMFIT(n, 1);
            s0 += w;
            s1 += t * w;
            s2 += f * w;
            s3 += t * t * w;
            s4 += t * f * w;
        }
        const double d = s0 * s3 - s1 * s1;
        return {(s3 * s2 - s1 * s4) / d, (s0 * s4 - s1 * s2) / d, std::sqrt(s3 / d), std::sqrt(s0 / d)};
    }
    // The dialog's line is the line through every refined row (to the precision of its 32-bit
    // sums) and finds the generating law.
    static Line expect_calibration(double a, double b) {
        double largest_esd = 0;
        const Line all = every_refined_row(largest_esd);
        const Line shown = calibrate();
        EXPECT_NEAR(shown.fwhm0, all.fwhm0, 0.1 * all.esd0);
        EXPECT_NEAR(shown.fwhm1, all.fwhm1, 0.1 * all.esd1);
        // Rounded up to one significant digit (two while they read 19 or less): never below the
        // esd, at most half as much again.
        EXPECT_GE(shown.esd0, 0.99 * all.esd0);
        EXPECT_LE(shown.esd0, 1.51 * all.esd0);
        EXPECT_GE(shown.esd1, 0.99 * all.esd1);
        EXPECT_LE(shown.esd1, 1.51 * all.esd1);
        EXPECT_NEAR(shown.fwhm0, a, 4 * shown.esd0);
        EXPECT_NEAR(shown.fwhm1, b, 4 * shown.esd1);
        return shown;
    }
};

// Data sets of strong reflections lying off the bisecting omega (the instrument's omega zero):
// 88 reflections at 2theta 3 to 13 degrees with peaks up to 325000 counts per step, 4 degrees
// off; 40 reflections with peaks up to 2E6 counts per step, 25 degrees off.
struct StrongSet {
    const char* stem;
    int reflections;
    float omega_zero;
    double cell[6];
};
const StrongSet kStrongSets[] = {
    {"strong_lowangle", 88, 4.0f, {14.21, 15.34, 16.45, 90.0, 98.30, 90.0}},
    {"strong_offset", 40, 25.0f, {8.31, 9.42, 10.53, 90.0, 104.20, 90.0}},
};

void PrintTo(const StrongSet& set, std::ostream* os) { *os << set.stem; }

class StrongSetsOffBisecting : public StrongestReflections, public ::testing::WithParamInterface<StrongSet> {};

TEST_P(StrongSetsOffBisecting, AllConvergeAndRefineTheCell) {
    const StrongSet& set = GetParam();
    open_set(set.stem);
    pass({"press 53", "run"});
    // Every reflection accepted and stored, at its true position.
    ASSERT_EQ(FITVALS.NFIT, set.reflections);
    for (int n = 1; n <= FITVALS.NFIT; ++n) EXPECT_NEAR(FITVALS.ANGLESFIT(n, 2), set.omega_zero, 3e-4f) << n;

    // The cell refinement on every row, their omegas less the instrument's zero.
    static FitAngles angles;
    for (int n = 1; n <= FITVALS.NFIT; ++n)
        for (int k = 1; k <= 4; ++k) angles(n, k) = FITVALS.ANGLESFIT(n, k) - (k == 2 ? set.omega_zero : 0.0f);
    int ierr = -1;
    LSQ(FITVALS.NFIT, angles, FITVALS.IHFIT, ierr);
    ASSERT_EQ(ierr, 0);
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(UNITCELL.CELL(i + 1), set.cell[i], 1e-3) << i + 1;
    for (int i = 3; i < 6; ++i) EXPECT_NEAR(UNITCELL.CELL(i + 1), set.cell[i], 5e-3) << i + 1;
}

INSTANTIATE_TEST_SUITE_P(Sets, StrongSetsOffBisecting, ::testing::ValuesIn(kStrongSets),
                         [](const auto& info) { return std::string(info.param.stem); });

TEST_F(StrongestReflections, CalibrationUsesEveryPreciseWidthAndItsSavedRuleKeepsEveryReflection) {
    // 60 reflections with areas of 300000 to 3000000 counts x degrees: width esds far below 1E-4.
    open_set("strong_widths");
    pass({"press 53", "run"});
    ASSERT_EQ(FITVALS.NFIT, 60);
    double largest_esd = 0;
    every_refined_row(largest_esd);
    EXPECT_LT(largest_esd, 1e-4);
    const Line line = expect_calibration(0.08, 0.12);
    ASSERT_GT(line.esd0, 0.0);

    // "Save values", then a new pass from the first reflection with the FWHM from its default rule.
    calibrate("press 65");
    EXPECT_EQ(FITPAR.PKVALS(2, 1), float(line.fwhm0));
    EXPECT_EQ(FITPAR.PKVALS(2, 2), float(line.fwhm1));
    read(STD_BY_NUMBER, 1);
    pass({"toggle 4 62 1", "press 53", "run"});
    EXPECT_EQ(FITVALS.NFIT, 60);
}

// Eight-setting groups: the calibration on the 48 fitted rows, "Zref", and the calibration on the
// six centred rows, which must each hold their own group's width and background and give the same
// line within its esds. Ordinary groups, and strong ones (up to 65000 counts per step) whose
// centred widths have esds smaller by root 8 than their members'.
class CalibrationAfterZref : public StrongestReflections, public ::testing::WithParamInterface<const char*> {};

TEST_P(CalibrationAfterZref, CentredRowsGiveTheCalibrationOfTheirGroups) {
    open_set(GetParam());
    script({"press 53", "run"});
    START_PREPROCESS();
    ASSERT_EQ(FITVALS.NFIT, 48);
    // The generator's law, FWHM = 0.12 + 0.09 tan(theta), found from the 48 fitted widths.
    const Line before = expect_calibration(0.12, 0.09);
    ASSERT_GT(before.esd0, 0.0);

    float background[6] = {};  // the mean background of each group's eight rows
    for (int g = 0; g < 6; ++g)
        for (int m = 1; m <= 8; ++m) background[g] += FITVALS.BACKFIT(8 * g + m) / 8.0f;
    RUN_ZREF();
    ASSERT_EQ(FITVALS.NFIT, 6);
    for (int i = 1; i <= 6; ++i) {
        // Each centred row holds its own group's width and background.
        SCOPED_TRACE(i);
        const double theta = std::fabs(FITVALS.ANGLESFIT(i, 1)) / 2 * M_PI / 180;
        EXPECT_GT(FITVALS.FWHMFIT(i, 2), 0.0f);
        EXPECT_NEAR(FITVALS.FWHMFIT(i, 1), 0.12 + 0.09 * std::tan(theta), 4 * FITVALS.FWHMFIT(i, 2));
        EXPECT_NEAR(FITVALS.BACKFIT(i), background[i - 1], 1e-4);
    }

    const Line after = expect_calibration(0.12, 0.09);
    EXPECT_NEAR(after.fwhm0, before.fwhm0, before.esd0);
    EXPECT_NEAR(after.fwhm1, before.fwhm1, before.esd1);
    EXPECT_NEAR(after.esd0, before.esd0, 0.1 * before.esd0);
    EXPECT_NEAR(after.esd1, before.esd1, 0.1 * before.esd1);
}

INSTANTIATE_TEST_SUITE_P(Groups, CalibrationAfterZref, ::testing::Values("zref8", "zref8_strong"));

}  // namespace
