// Start values of a fit: the flags read from the fitting dialog, the default rules, typed values,
// the predicted position, and "Reset to Defaults" re-reading the parameter file.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "gui_toolkit/f77gui.h"
#include "gui_toolkit/menu_f90.h"
#include "include/geometry.h"
#include "include/profile_fit.h"
#include "include/scan_input.h"
#include "include/shared.h"
#include "include/shell_services.h"
#include "platform/script.h"
#include "runtime/fatal.h"
#include "runtime/units.h"

namespace {

constexpr float DEG = 57.29578f;

class StartValues : public ::testing::Test {
protected:
    void SetUp() override {
        rt::units_close_all();
        reset_shared_records();
        reset_toolkit();
        wl::script::load_lines({});
        PROGID.PROG_TITLE = "Kelvorantide v3.72";
        build_dialog();
        FITPAR.PKVALS(2, 1) = 0.2f;
        FITPAR.PKVALS(2, 2) = 0.05f;
        FITPAR.PKVALS(5, 1) = 0.3f;
        FITPAR.PKVALS(6, 1) = 0.5f;
        make_scan(20.0f, {30, 40, 200, 90, 300, 120, 50});
    }
    void TearDown() override {
        rt::units_close_all();
        reset_toolkit();  // later suites start without the dialog built here
    }

    // The program's own windows and dialogs, the fitting dialog among them (hidden).
    static void build_dialog() {
        GRAPHICS_SETUP();
        for (int k : {20, 21, 22, 25, 26, 28, 31, 34, 61, 64}) ASSERT_GT(GRAPHICS.IWID(4, k), 0) << k;
    }

    // The current reflection: 2theta, counts, steps of 0.02 degrees centred on omega 0.
    static void make_scan(float tth, const std::vector<float>& counts) {
        REFLN_t& r = REFLN;
        r.NSTEP = static_cast<int>(counts.size());
        r.STEP = 0.02f;
        r.ANGL(1) = tth;
        r.CMAX = 0.0f;
        for (int i = 1; i <= r.NSTEP; ++i) {
            r.COUNTS(i) = counts[i - 1];
            r.XPOS(i) = static_cast<float>(i - 1 - r.NSTEP / 2) * r.STEP;
            if (r.COUNTS(i) > r.CMAX) {
                r.CMAX = r.COUNTS(i);
                r.IMAX = i;
            }
        }
    }

    static void toggle(int item, int state) { gmSetToggleSwitch(GRAPHICS.IWID(4, item), state); }
    static void type(int item, float value) { gmSetValueSetting(GRAPHICS.IWID(4, item), value); }
    static void defaults_on(std::initializer_list<int> params) {
        for (int p : params) toggle(60 + p, 1);
    }

    // A cubic crystal set so that 1 0 0 lies on the x axis: UB = diag(1/a).
    static void orientation(float a) {
        UNITCELL.UB = {};
        for (int i = 1; i <= 3; ++i) UNITCELL.UB(i, i) = 1.0f / a;
        UNITCELL.UBOK = 1;
        WAVES.WAVE(1) = 0.7093f;
        for (int i = 1; i <= 4; ++i) GONIO.PARITY(i) = 1;
    }

    static float fwhm_rule(float tth) { return 0.2f + 0.05f * std::tan(std::fabs(0.5f * tth) / DEG); }
};

TEST_F(StartValues, DefaultRulesForEveryParameter) {
    FIXEDBG.IBGTYPE = 0;  // background model "None": mean of the scan ends
    defaults_on({1, 2, 4, 5, 6});
    toggle(31, 1);
    toggle(34, 1);
    toggle(28, 1);
    SET_FIT_PARAMETERS();

    const FITPAR_t& fp = FITPAR;
    EXPECT_EQ(fp.IREF(1), 1);
    EXPECT_EQ(fp.IREF(2), 0);
    EXPECT_EQ(fp.IREF(4), 1);
    EXPECT_EQ(fp.IDEF(1), 1);
    EXPECT_EQ(fp.IDEF(3), 0);
    EXPECT_EQ(FITOPT.SKIP_WEAK, 1);

    const float bg = GET_BACKGROUND(20.0f);
    EXPECT_FLOAT_EQ(bg, 40.0f);
    EXPECT_EQ(fp.VALS(1), bg);
    EXPECT_EQ(fp.VALS(2), fwhm_rule(20.0f));
    EXPECT_EQ(fp.VALS(3), (300.0f - bg) * fwhm_rule(20.0f));
    EXPECT_EQ(fp.VALS(4), REFLN.XPOS(5));  // the step of the largest count
    EXPECT_EQ(fp.VALS(5), 0.3f);
    EXPECT_EQ(fp.VALS(6), 0.5f);
    for (const std::string& line : wl::script::transcript())  // no message, no toolkit error
        EXPECT_NE(line.substr(0, 4), "box ") << line;
}

TEST_F(StartValues, FlagsOffTakeTheEndMeanAndTheTypedValues) {
    FIXEDBG.IBGTYPE = 2;  // a model that would give something else
    FITPAR.PKVALS(1, 3) = 1000.0f;
    type(22, 0.125f);
    type(25, 0.75f);
    type(26, 0.25f);
    type(21, 999.0f);  // background and position have no typed alternative
    type(24, 9.0f);
    SET_FIT_PARAMETERS();

    const FITPAR_t& fp = FITPAR;
    EXPECT_EQ(fp.VALS(1), (30.0f + 50.0f) * 0.5f);
    EXPECT_EQ(fp.VALS(2), 0.125f);
    EXPECT_EQ(fp.VALS(3), (300.0f - 40.0f) * 0.125f);
    EXPECT_EQ(fp.VALS(4), REFLN.XPOS(5));
    EXPECT_EQ(fp.VALS(5), 0.75f);
    EXPECT_EQ(fp.VALS(6), 0.25f);

    // The typed values stay in force for the next scan while their flags stay off.
    make_scan(-35.0f, {10, 500, 20});
    SET_FIT_PARAMETERS();
    EXPECT_EQ(fp.VALS(2), 0.125f);
    EXPECT_EQ(fp.VALS(5), 0.75f);
    EXPECT_EQ(fp.VALS(6), 0.25f);
    EXPECT_EQ(fp.VALS(1), 15.0f);
    EXPECT_EQ(fp.VALS(4), REFLN.XPOS(2));
}

TEST_F(StartValues, FwhmRuleUsesTheMagnitudeOfTwoTheta) {
    defaults_on({2});
    make_scan(-40.0f, {10, 20, 10});
    SET_FIT_PARAMETERS();
    const float negative = FITPAR.VALS(2);
    make_scan(40.0f, {10, 20, 10});
    SET_FIT_PARAMETERS();
    EXPECT_EQ(negative, FITPAR.VALS(2));
    EXPECT_EQ(negative, fwhm_rule(40.0f));
}

TEST_F(StartValues, OneStepScanAndABackgroundAboveThePeak) {
    make_scan(20.0f, {77});
    SET_FIT_PARAMETERS();
    EXPECT_EQ(FITPAR.VALS(1), 77.0f);
    EXPECT_EQ(FITPAR.VALS(3), 0.0f);

    // The exponential background far above the maximum count: a negative intensity, kept.
    FIXEDBG.IBGTYPE = 2;
    FITPAR.PKVALS(1, 3) = 5000.0f;
    REFLN.SCALE = 1.0f;
    defaults_on({1, 2});
    SET_FIT_PARAMETERS();
    EXPECT_GT(FITPAR.VALS(1), 77.0f);
    EXPECT_LT(FITPAR.VALS(3), 0.0f);
    EXPECT_EQ(FITPAR.VALS(3), (77.0f - FITPAR.VALS(1)) * FITPAR.VALS(2));
}

// When the position starts at the predicted omega: only when it is not refined, its default
// flag is on and an orientation matrix is valid.
TEST_F(StartValues, PredictedPositionOnlyForAFixedDefaultPositionWithAMatrix) {
    orientation(5.0f);
    XTALOFF.OMZERO = 0.05f;
    REFLN.IH = {{1, 0, 0}};
    const float tth = 2.0f * std::asin(0.7093f / (2.0f * 5.0f)) * DEG;
    make_scan(tth, {10, 20, 90, 30, 10});
    REFLN.ANGL(2) = 0.0f;
    REFLN.ANGL(3) = 0.0f;
    REFLN.ANGL(4) = 0.0f;

    float rom = 0.0f;
    geo::Angles off;
    CALOMEGA(REFLN.ANGL, REFLN.IH, rom);
    CALC_ANGOFF(REFLN.ANGL, off);
    const float predicted = rom + off(2);
    const float at_peak = REFLN.XPOS(3);
    ASSERT_NE(predicted, at_peak);

    struct Case {
        int iref, idef, ubok;
        float expected;
    };
    const Case cases[] = {
        {0, 1, 1, predicted},
        {1, 1, 1, at_peak},  // refined: starts at the maximum count
        {0, 0, 1, at_peak},  // default flag off
        {0, 1, 0, at_peak},  // no valid matrix
    };
    for (const Case& c : cases) {
        toggle(34, c.iref);
        toggle(64, c.idef);
        UNITCELL.UBOK = c.ubok;
        SET_FIT_PARAMETERS();
        EXPECT_EQ(FITPAR.VALS(4), c.expected) << c.iref << c.idef << c.ubok;
    }
}

// "Reset to Defaults" over a parameter file on unit 3.
class ResetToDefaults : public StartValues {
protected:
    void SetUp() override {
        StartValues::SetUp();
        dir = std::filesystem::path(KV_BINARY_DIR) / "start_values_tmp" / std::string(::testing::UnitTest::GetInstance()->current_test_info()->name());  // one folder per test: tests run in parallel
        std::filesystem::create_directories(dir);
    }

    void open_par(const std::string& rflags) {
        const std::filesystem::path p =
            dir / (std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + ".par");
        std::ofstream out(p, std::ios::binary);
        out << "PKPAR  0.15 0.04 0.6\r\n"
               "FITLIM 0 1e6 0.01 1 0 1e9 0.2 0.2 0 1 0.3 0.7 0.5\r\n"
               "ATTEN  15.5\r\n"
               "WAVEL  2 0.70930 0.71359 0.5\r\n"
               "RFLAGS " << rflags << "\r\n"
               "TFLAGS 1 1 1 1 1 1 0\r\n"
               "PARITY 1 1 1 1\r\n"
               "MONO   0 0 0 0\r\n";
        out.close();
        rt::OpenSpec spec;
        spec.status = rt::FileStatus::Old;
        spec.action = rt::FileAction::Read;
        ASSERT_EQ(rt::unit_open(3, p.string(), spec), rt::IOS_OK);
    }
    std::filesystem::path dir;
};

TEST_F(ResetToDefaults, RereadsTheFileAndAppliesTheFixedRules) {
    open_par("1 1 1 1 0 0");
    FITPAR.IDEF.fill(1);
    WAVES.WAVE(1) = 1.54056f;  // from a data file's header
    FIXEDBG.IBGTYPE = 2;
    FITPAR.PKVALS(1, 3) = 5000.0f;
    type(22, 0.9f);  // typed values are not taken
    SET_DEFAULT_PARAMETERS();

    const FITPAR_t& fp = FITPAR;
    for (int i = 1; i <= NPAR; ++i) EXPECT_EQ(fp.IDEF(i), 0) << i;
    EXPECT_EQ(fp.IREF(4), 1);
    EXPECT_EQ(WAVES.WAVE(1), 0.70930f);
    EXPECT_EQ(fp.VALS(1), (30.0f + 50.0f) * 0.5f);
    const float fwhm = 0.15f + 0.04f * std::tan(std::fabs(0.5f * 20.0f) / DEG);
    EXPECT_EQ(fp.VALS(2), fwhm);
    EXPECT_EQ(fp.VALS(3), 300.0f * fwhm);  // the background is not subtracted
    EXPECT_EQ(fp.VALS(4), REFLN.XPOS(5));
    EXPECT_EQ(fp.VALS(5), 0.6f);
    EXPECT_EQ(fp.VALS(6), 0.5f);
}

TEST_F(ResetToDefaults, FixedPositionWithoutAMatrixKeepsItsValue) {
    open_par("1 1 1 0 0 0");
    FITPAR.VALS(4) = 0.0123f;
    UNITCELL.UBOK = 0;
    SET_DEFAULT_PARAMETERS();
    EXPECT_EQ(FITPAR.IREF(4), 0);
    EXPECT_EQ(FITPAR.VALS(4), 0.0123f);
}

TEST_F(ResetToDefaults, FixedPositionWithAMatrixStartsAtThePredictedOne) {
    open_par("1 1 1 0 0 0");
    orientation(5.0f);
    REFLN.IH = {{1, 0, 0}};
    make_scan(2.0f * std::asin(0.7093f / 10.0f) * DEG, {10, 20, 90, 30, 10});
    float rom = 0.0f;
    geo::Angles off;
    CALOMEGA(REFLN.ANGL, REFLN.IH, rom);
    CALC_ANGOFF(REFLN.ANGL, off);
    SET_DEFAULT_PARAMETERS();
    EXPECT_EQ(FITPAR.VALS(4), rom + off(2));
}

// Sets marked values, runs "Reset to Defaults" and checks that it changed none of them and
// ended with this box.
static void expect_reset_changes_nothing(const std::string& last_box) {
    FITPAR.IDEF.fill(1);
    FITPAR.VALS.fill(1.5f);
    WAVES.WAVE(1) = 1.54056f;
    const int status = rt::run_program([] { SET_DEFAULT_PARAMETERS(); });
    EXPECT_EQ(status, 0);
    for (int i = 1; i <= NPAR; ++i) {
        EXPECT_EQ(FITPAR.IDEF(i), 1);
        EXPECT_EQ(FITPAR.VALS(i), 1.5f);
    }
    EXPECT_EQ(WAVES.WAVE(1), 1.54056f);
    const std::vector<std::string> t = wl::script::transcript();
    ASSERT_FALSE(t.empty());
    EXPECT_EQ(t.back(), last_box);
}

TEST_F(ResetToDefaults, WithoutAParameterFileNothingChanges) {
    expect_reset_changes_nothing("box Kelvorantide v3.72 | No parameter file open: defaults not reset");
}

// The parameter file was overwritten since it was read, and its GONCON line cannot be read now.
TEST_F(ResetToDefaults, AFileDamagedSinceItsChoiceIsNamedAndNothingChanges) {
    open_par("1 1 1 1 0 0");
    const std::string name = std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + ".par";
    {
        std::ofstream out(dir / name, std::ios::binary | std::ios::app);
        out << "GONCON 2x0 200\r\n";
    }
    expect_reset_changes_nothing("box Kelvorantide v3.72 | Error reading " + name + " at line 9: unreadable value in the GONCON line");
}

}  // namespace
