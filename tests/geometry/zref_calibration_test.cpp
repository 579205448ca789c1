// "Calc FWHM" after "Zref" on a generated data set of eight-setting groups (six reflections, each
// at the eight centring settings, widths from a known FWHM(theta) law): the preprocessing pass
// fills the table, the calibration runs on the 48 rows, "Zref" centres the groups and the
// calibration on the six centred rows must give the same line within its esds.
#include <cmath>
#include <filesystem>
#include <string>

#include "../profile_fit/manual_loaded_set.h"
#include "include/geometry.h"

namespace {

struct Line {
    double fwhm0, fwhm1, esd0, esd1;
};

class CalibrationAfterZref : public kvtest::LoadedSet {
protected:
    void SetUp() override {
        LoadedSet::SetUp();
        kvtest::copy_data_set("zref8", dir);
    }
    void load_groups() {
        ASSERT_EQ(kvtest::open_read(3, dir / "zref8.par"), rt::IOS_OK);
        READ_PARAMETERS(0);
        FILEINFO.LUNSTD = 25;
        FILEINFO.IN_NAME = "zref8.rfl";
        ASSERT_EQ(kvtest::open_read(25, dir / "zref8.rfl"), rt::IOS_OK);
        int status = 0;
        READ_HEADER_STDDATA(25, status);
        ASSERT_EQ(status, 0);
        read(STD_NEXT, 0);
        FIRST_SCAN_READ = 1;
    }
    // "Calc FWHM", then "Quit": the line as the dialog shows it.
    static Line calibrate() {
        script({"press 64"});
        FIT_GAMMA();
        return {w(6, 2).value, w(6, 3).value, w(6, 6).value, w(6, 7).value};
    }
};

TEST_F(CalibrationAfterZref, CentredRowsGiveTheCalibrationOfTheirGroups) {
    load_groups();
    script({"press 53", "run"});
    START_PREPROCESS();
    ASSERT_EQ(FITVALS.NFIT, 48);
    const Line before = calibrate();
    // The generator's law, FWHM = 0.12 + 0.09 tan(theta), found from the 48 fitted widths.
    EXPECT_NEAR(before.fwhm0, 0.12, 4 * before.esd0);
    EXPECT_NEAR(before.fwhm1, 0.09, 4 * before.esd1);
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

    const Line after = calibrate();
    EXPECT_NEAR(after.fwhm0, before.fwhm0, before.esd0);
    EXPECT_NEAR(after.fwhm1, before.fwhm1, before.esd1);
    EXPECT_NEAR(after.esd0, before.esd0, 0.1 * before.esd0);
    EXPECT_NEAR(after.esd1, before.esd1, 0.1 * before.esd1);
}

}  // namespace
