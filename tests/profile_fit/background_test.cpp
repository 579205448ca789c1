#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "include/profile_fit.h"
#include "include/shared.h"

namespace {

class FixedBackground : public ::testing::Test {
protected:
    void SetUp() override { reset_shared_records(); }

    // A 20-step scan whose ends sum to the given values over the first and last 4 steps.
    void ends(float left_each, float right_each) {
        REFLN.NSTEP = 20;
        for (int i = 1; i <= 20; ++i) REFLN.COUNTS(i) = 500.0f;
        for (int i = 1; i <= 4; ++i) {
            REFLN.COUNTS(i) = left_each;
            REFLN.COUNTS(16 + i) = right_each;
        }
    }
    // Builds the table from (|2theta|, normalised background) pairs with a running mean of ns.
    void build(const std::vector<std::pair<float, float>>& scans, int ns) {
        int n = 0;
        for (auto& s : scans) {
            ++n;
            tth(n) = s.first;
            bg(n) = s.second;
        }
        SET_BACKGROUND_SPLINE(n, bg, tth, 1, ns);
    }

    BgTable tth, bg;
};

}  // namespace

TEST_F(FixedBackground, ModelsGiveRawOrRescaledCountsPerStep) {
    REFLN.NSTEP = 10;
    REFLN.COUNTS(1) = 30.0f;
    REFLN.COUNTS(10) = 41.0f;
    REFLN.SCALE = 2.0f;
    for (int k = 1; k <= 90; ++k) FIXEDBG.BGS(k) = 10.0f * float(k);
    FITPAR.PKVALS(1, 1) = 400.0f;
    FITPAR.PKVALS(1, 2) = 0.05f;
    FITPAR.PKVALS(1, 3) = 20.0f;
    struct Case {
        int type;
        float tth;
        float expected;
    };
    for (const Case& c : {
             Case{0, 40.0f, 35.5f},                                      // end-count mean, raw
             Case{1, 37.5f, 375.0f / 2.0f},                             // table at |2theta|, / SCALE
             Case{1, -37.5f, 375.0f / 2.0f},
             Case{1, 0.3f, 10.0f / 2.0f},                               // below the table: first bin
             Case{1, 90.0f, 900.0f / 2.0f},                             // beyond it: last bin
             Case{1, 1.0e30f, 900.0f / 2.0f},
             Case{2, -40.0f, (400.0f * std::exp(-0.05f * 40.0f) + 20.0f) / 2.0f},
             Case{7, 40.0f, 35.5f},                                     // no such model: end-count mean
         }) {
        FIXEDBG.IBGTYPE = c.type;
        REFLN.UNEQ = 1;
        EXPECT_FLOAT_EQ(GET_BACKGROUND(c.tth), c.expected) << c.type << " " << c.tth;
        EXPECT_EQ(REFLN.UNEQ, 0);
    }
}

TEST_F(FixedBackground, EndStepModelFlagsUnequalSidesAtThreeEsds) {
    FIXEDBG.IBGTYPE = 3;
    FIXEDBG.NSTEP_BG = 4;
    struct Case {
        float left, right;  // per step, 4 steps a side
        float expected;
        int uneq;
    };
    for (const Case& c : {Case{0, 0, 0.0f, 1},          // 0 >= 0: unequal, result 0
                          Case{25, 35, 30.0f, 0},       // |100 - 140| = 40 < 46.5
                          Case{25, 40, 25.0f, 1},       // |100 - 160| = 60 >= 48.4: the smaller side
                          Case{40, 25, 25.0f, 1}}) {
        ends(c.left, c.right);
        EXPECT_FLOAT_EQ(GET_BACKGROUND(40.0f), c.expected) << c.left << " " << c.right;
        EXPECT_EQ(REFLN.UNEQ, c.uneq);
    }
    // An end-step count outside the scan is kept inside it; no step outside the scan is read.
    ends(25, 35);
    REFLN.COUNTS(21) = 1.0e6f;
    FIXEDBG.NSTEP_BG = 0;
    EXPECT_FLOAT_EQ(GET_BACKGROUND(40.0f), 30.0f);
    FIXEDBG.NSTEP_BG = 50;
    EXPECT_FLOAT_EQ(GET_BACKGROUND(40.0f), (100.0f + 140.0f + 12 * 500.0f) / 20.0f);
    EXPECT_EQ(REFLN.UNEQ, 0);
}

TEST_F(FixedBackground, ShellSortOrdersByTwoThetaCarryingTheBackground) {
    std::mt19937 gen(3);
    std::uniform_real_distribution<float> u(0.0f, 90.0f);
    for (int n : {0, 1, 2, 8, 100}) {
        for (int i = 1; i <= n; ++i) {
            tth(i) = u(gen);
            bg(i) = 2.0f * tth(i) + 1.0f;
        }
        tth(n + 1) = -1.0f;  // beyond N: untouched
        SORT(n, tth, bg);
        for (int i = 2; i <= n; ++i) EXPECT_LE(tth(i - 1), tth(i));
        for (int i = 1; i <= n; ++i) EXPECT_EQ(bg(i), 2.0f * tth(i) + 1.0f);
        EXPECT_EQ(tth(n + 1), -1.0f);
    }
}

TEST_F(FixedBackground, TableTakesBinMinimaRampsAndRepeatsTheEnds) {
    // Scans covering 12 to 40 degrees at a constant 100 (one at 25.2 lower, 60): bins 1-11 ramp
    // up to the first bin, bins beyond 40 repeat it, and the running mean of 3 smooths bin 25.
    std::vector<std::pair<float, float>> scans;
    for (float t = 12.0f; t <= 40.0f; t += 0.5f) scans.push_back({t, 100.0f});
    scans.push_back({25.2f, 60.0f});
    build(scans, 3);
    auto& B = FIXEDBG.BGS;
    EXPECT_FLOAT_EQ(B(1), 100.0f / 12.0f);
    EXPECT_FLOAT_EQ(B(6), (5.0f + 6.0f + 7.0f) * (100.0f / 12.0f) / 3.0f);
    EXPECT_FLOAT_EQ(B(24), (100.0f + 100.0f + 60.0f) / 3.0f);
    EXPECT_FLOAT_EQ(B(25), (100.0f + 60.0f + 100.0f) / 3.0f);
    EXPECT_FLOAT_EQ(B(60), 100.0f);
    EXPECT_FLOAT_EQ(B(90), 100.0f);  // the last bin is filled from the table, not left at zero
    // Bins are whole degrees, a half going up: 10.4 in bin 10, 10.6 and 11.4 in bin 11.
    build({{10.4f, 30.0f}, {10.6f, 50.0f}, {11.4f, 40.0f}}, 1);
    EXPECT_FLOAT_EQ(B(10), 30.0f);
    EXPECT_FLOAT_EQ(B(11), 40.0f);
    EXPECT_FLOAT_EQ(B(5), 5.0f * 3.0f);
    EXPECT_FLOAT_EQ(B(1), 3.0f);  // running mean of one: the ramp bin keeps its value
}

TEST_F(FixedBackground, RunningMeanWidthIsMadeOdd) {
    int ns = 4;
    tth(1) = 30.0f;
    bg(1) = 10.0f;
    SET_BACKGROUND_SPLINE(1, bg, tth, 1, ns);
    EXPECT_EQ(ns, 5);
    ns = -2;
    SET_BACKGROUND_SPLINE(1, bg, tth, 1, ns);
    EXPECT_EQ(ns, 3);
}

TEST_F(FixedBackground, NewBuildForgetsThePreviousDataSet) {
    std::vector<std::pair<float, float>> wide;
    for (float t = 5.0f; t <= 80.0f; t += 1.0f) wide.push_back({t, 200.0f});
    build(wide, 3);
    build({{20.0f, 50.0f}, {30.0f, 50.0f}}, 3);
    auto& B = FIXEDBG.BGS;
    EXPECT_FLOAT_EQ(B(60), 50.0f);
    EXPECT_FLOAT_EQ(B(25), 50.0f);  // an empty stretch between two bins of 50 stays at 50
    EXPECT_FLOAT_EQ(B(1), 50.0f / 20.0f);
    EXPECT_FLOAT_EQ(B(90), 50.0f);
}

TEST_F(FixedBackground, GapsAreBridgedNotHalvedTowardZero) {
    // One empty bin takes the mean of its neighbours; a run of empty bins the straight line.
    build({{20.0f, 100.0f}, {22.0f, 140.0f}, {23.0f, 130.0f}, {26.0f, 160.0f}}, 1);
    auto& B = FIXEDBG.BGS;
    EXPECT_FLOAT_EQ(B(21), 120.0f);
    EXPECT_FLOAT_EQ(B(24), 140.0f);
    EXPECT_FLOAT_EQ(B(25), 150.0f);
    EXPECT_FLOAT_EQ(B(26), 160.0f);
}

TEST_F(FixedBackground, ScansOutsideTheTableAreLeftOutAndTheEndStillFilled) {
    // A scan below half a degree has no bin; one beyond 90.5 degrees ends the binning, and the
    // bins above the last scan inside repeat it.
    build({{0.2f, 5.0f}, {60.0f, 80.0f}, {85.0f, 40.0f}, {95.0f, 10.0f}}, 1);
    auto& B = FIXEDBG.BGS;
    EXPECT_FLOAT_EQ(B(30), 80.0f * 30.0f / 60.0f);
    EXPECT_FLOAT_EQ(B(88), 40.0f);
    EXPECT_FLOAT_EQ(B(90), 40.0f);
    // Every scan beyond the table: a flat table at the lowest background.
    build({{95.0f, 30.0f}, {120.0f, 20.0f}}, 3);
    EXPECT_FLOAT_EQ(B(1), 20.0f);
    EXPECT_FLOAT_EQ(B(90), 20.0f);
}

TEST_F(FixedBackground, ExponentialModelFromMeanAboveFortyFiveAndLogLineBelow) {
    // Independent double computation of the same fit on scattered data.
    std::mt19937 gen(5);
    std::uniform_real_distribution<double> u(2.0, 80.0);
    const int n = 60;
    std::vector<double> x(n), y(n);
    for (int i = 0; i < n; ++i) {
        x[i] = u(gen);
        y[i] = 300.0 * std::exp(-0.06 * x[i]) + 25.0 + 3.0 * std::sin(double(i));
        tth(i + 1) = float(x[i]);
        bg(i + 1) = float(y[i]);
    }
    double c = 0;
    int m = 0;
    for (int i = 0; i < n; ++i)
        if (double(float(x[i])) > 45.0) {
            c += double(float(y[i]));
            ++m;
        }
    c /= m;
    double k = 0, sx = 0, sy = 0, sxx = 0, sxy = 0;
    for (int i = 0; i < n; ++i) {
        const double d = double(float(y[i])) - c;
        if (d > 1e-4) {
            const double xx = double(float(x[i])), yy = std::log(d);
            ++k;
            sx += xx;
            sy += yy;
            sxx += xx * xx;
            sxy += xx * yy;
        }
    }
    const double D = k * sxx - sx * sx;
    SET_BACKGROUND_EXP(n, bg, tth);
    EXPECT_NEAR(FITPAR.PKVALS(1, 3), c, 1e-4 * c);
    EXPECT_NEAR(FITPAR.PKVALS(1, 1), std::exp((sxx * sy - sx * sxy) / D), 2e-2 * std::exp((sxx * sy - sx * sxy) / D));
    EXPECT_NEAR(FITPAR.PKVALS(1, 2), -(k * sxy - sx * sy) / D, 1e-3 * std::fabs((k * sxy - sx * sy) / D));
}

TEST_F(FixedBackground, ExponentialModelEdgeCases) {
    auto& PK = FITPAR.PKVALS;
    // No scan above 45 degrees: c = 0 and a pure exponential is recovered.
    for (int i = 1; i <= 10; ++i) {
        tth(i) = 4.0f * float(i);
        bg(i) = 500.0f * std::exp(-0.08f * tth(i));
    }
    SET_BACKGROUND_EXP(10, bg, tth);
    EXPECT_EQ(PK(1, 3), 0.0f);
    EXPECT_NEAR(PK(1, 1), 500.0f, 0.5f);
    EXPECT_NEAR(PK(1, 2), 0.08f, 1e-4f);
    // Every scan at or below c: a = 1, b = 0.1.
    for (int i = 1; i <= 4; ++i) {
        tth(i) = 50.0f + float(i);
        bg(i) = 30.0f;
    }
    SET_BACKGROUND_EXP(4, bg, tth);
    EXPECT_EQ(PK(1, 1), 1.0f);
    EXPECT_FLOAT_EQ(PK(1, 2), 0.1f);
    EXPECT_EQ(PK(1, 3), 30.0f);
    // One usable 2theta only: no slope, the excess at its level.
    tth(1) = 20.0f;
    bg(1) = 130.0f;
    tth(2) = 60.0f;
    bg(2) = 30.0f;
    SET_BACKGROUND_EXP(2, bg, tth);
    EXPECT_FLOAT_EQ(PK(1, 3), 30.0f);
    EXPECT_NEAR(PK(1, 1), 100.0f, 1e-3f);
    EXPECT_EQ(PK(1, 2), 0.0f);
    EXPECT_TRUE(std::isfinite(PK(1, 1)));
}
