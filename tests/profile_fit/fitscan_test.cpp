#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "include/profile_fit.h"
#include "include/shared.h"
#include "scan_model.h"

namespace sm = scan_model;

namespace {

const sm::Params kTruth{50.0, 0.20, 2000.0, 0.0, 0.4, 0.5};
const sm::Params kStart{45.0, 0.22, 1800.0, 0.01, 0.45, 0.5};
// Gaussian peaks: their profile falls to the 1 % level inside a scan of +-0.8 degrees (the
// Lorentzian tails of a strong peak stay above it for several degrees).
const sm::Params kGauss{50.0, 0.20, 2000.0, 0.0, 0.0, 0.5};

class ReflectionFit : public ::testing::Test {
protected:
    void SetUp() override { reset_shared_records(); }

    // A Poisson scan of 41 steps at 2theta 40 as the current reflection, all six parameters
    // refined, no test switched on, start values near the truth.
    void prepare(const sm::Params& truth = kTruth, unsigned seed = 17, int n = 41, double tth = 40.0) {
        scan = sm::make(truth, n, 0.04, tth, seed);
        sm::load(scan);
        start(kStart);
        for (int j = 1; j <= 6; ++j) FITPAR.IREF(j) = 1;
        FITPAR.RWPMAX = 1.0f;
    }
    void start(const sm::Params& p) {
        for (int j = 1; j <= 6; ++j) FITPAR.VALS(j) = float(p[j - 1]);
    }
    // The first fit as FITSCAN makes it, for tests that set limits on its exact values.
    rt::FArray<float, 6> first_fit() {
        rt::FArray<float, 6> v = FITPAR.VALS, s;
        rt::FArray<float, MAXSTEP> yc;
        float r, c;
        int f;
        PKLSQ(REFLN.XPOS, REFLN.COUNTS, REFLN.NSTEP, WAVES.WAVE, REFLN.DOMONO, REFLN.ANGL(1), v, FITPAR.IREF, yc, s,
              r, c, f);
        return v;
    }
    std::string outcome() {
        int ierr = -1;
        FITSCAN(0, ierr);
        return std::string(1, REFLN.FLAG(2)) + REFLN.FLAG(3);
    }

    sm::Scan scan;
};

}  // namespace

TEST_F(ReflectionFit, AcceptsAGoodScanAndIntegratesBetweenTheOnePercentLevels) {
    prepare(kGauss);
    FITPAR.IREF(5) = 0;
    FITPAR.VALS(5) = 0.0f;
    REFLN.SCALE = 2.5f;
    int ierr = -1;
    FITSCAN(0, ierr);
    EXPECT_EQ(ierr, 0);
    EXPECT_EQ(REFLN.FLAG(2), 'F');
    EXPECT_EQ(REFLN.FLAG(3), ' ');
    EXPECT_EQ(REFLN.FLAG.sub(4, 6), "   ");
    EXPECT_NEAR(FITPAR.VALS(3), kGauss[2], 4 * FITPAR.SIGVAL(3));
    EXPECT_EQ(INTRES.PEAK, FITPAR.VALS(3) * 2.5f);
    EXPECT_EQ(INTRES.SIGPEAK, FITPAR.SIGVAL(3) * 2.5f);
    // Limits: the profile crosses 1.01 x background between NBG(2) and NBG(2)+1, and between
    // NBG(3)-1 and NBG(3).
    const float level = 1.01f * FITPAR.VALS(1);
    ASSERT_EQ(REFLN.NBG(1), 1);
    ASSERT_EQ(REFLN.NBG(4), 41);
    EXPECT_FALSE(REFLN.YC(REFLN.NBG(2)) > level);
    EXPECT_TRUE(REFLN.YC(REFLN.NBG(2) + 1) > level);
    EXPECT_TRUE(REFLN.YC(REFLN.NBG(3) - 1) > level);
    EXPECT_FALSE(REFLN.YC(REFLN.NBG(3)) > level);
    // Summation over those limits, from the raw counts, scaled.
    double P = 0, B = 0;
    for (int i = 1; i <= 41; ++i) {
        if (i > REFLN.NBG(2) && i < REFLN.NBG(3))
            P += scan.y[i - 1];
        else
            B += scan.y[i - 1];
    }
    const int NB = REFLN.NBG(2) + (41 - REFLN.NBG(3) + 1), NP = 41 - NB;
    EXPECT_NEAR(INTRES.ISUM, 2.5 * (P - NP * B / NB), 1e-3 * P);
    EXPECT_NEAR(INTRES.SIGISUM, 2.5 * std::sqrt(P + double(NP) / NB * B), 1e-3);
}

TEST_F(ReflectionFit, EachTestRejectsAScanBuiltToFailIt) {
    struct Case {
        const char* what;
        std::function<void()> set;
        char letter;
    };
    const std::vector<Case> cases = {
        {"Iratio refined without an alpha2 component: singular", [] { WAVES.WAVE(2) = 0.0f; }, 'E'},
        {"no convergence from a far, narrow start", [] {
             const sm::Scan s = sm::make(kTruth, 41, 0.04, 40.0, 5);
             sm::load(s);
             FITPAR.VALS(1) = 50;
             FITPAR.VALS(2) = 0.02f;
             FITPAR.VALS(3) = 2000;
             FITPAR.VALS(4) = 0.5f;
             FITPAR.VALS(5) = 0.4f;
         }, 'C'},
        {"as many steps as parameters", [] { REFLN.NSTEP = 6; }, 'D'},
        {"Rwp above its limit", [] { FITPAR.TFLAG(7) = 1; FITPAR.RWPMAX = 0.001f; }, 'F'},
        {"background above its range", [] {
             FITPAR.TFLAG(1) = 1;
             FITPAR.FITLIM(1, 1) = 0;
             FITPAR.FITLIM(1, 2) = 10;
         }, 'B'},
        {"intensity below its limit", [] { FITPAR.TFLAG(3) = 1; FITPAR.FITLIM(3, 1) = 1.0e5f; }, 'I'},
        {"eta below its range", [] {
             FITPAR.TFLAG(5) = 1;
             FITPAR.FITLIM(5, 1) = 0.8f;
             FITPAR.FITLIM(5, 2) = 1.0f;
         }, 'S'},
        {"Iratio below its range", [] {
             FITPAR.TFLAG(6) = 1;
             FITPAR.FITLIM(6, 1) = 0.8f;
             FITPAR.FITLIM(6, 2) = 1.0f;
         }, 'R'},
        {"FWHM below its range", [] {
             FITPAR.TFLAG(2) = 1;
             FITPAR.FITLIM(2, 1) = 0.3f;
             FITPAR.FITLIM(2, 2) = 1.0f;
         }, 'W'},
        {"position outside its window", [] {
             FITPAR.TFLAG(4) = 1;
             REFLN.ANGL(2) = -0.3f;
             FITPAR.FITLIM(4, 1) = 0.1f;
             FITPAR.FITLIM(4, 2) = 0.1f;
         }, 'P'},
        {"background, intensity and position all fail: the first test wins", [] {
             FITPAR.TFLAG(1) = 1;
             FITPAR.FITLIM(1, 2) = 10;
             FITPAR.TFLAG(3) = 1;
             FITPAR.FITLIM(3, 1) = 1.0e5f;
             FITPAR.TFLAG(4) = 1;
             REFLN.ANGL(2) = -0.3f;
         }, 'B'},
        {"Rwp fails before background", [] {
             FITPAR.TFLAG(7) = 1;
             FITPAR.RWPMAX = 0.001f;
             FITPAR.TFLAG(1) = 1;
             FITPAR.FITLIM(1, 2) = 10;
         }, 'F'},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        reset_shared_records();
        prepare();
        c.set();
        EXPECT_EQ(outcome(), std::string("R") + c.letter);
    }
}

TEST_F(ReflectionFit, ValuesExactlyOnTheirLimitsPass) {
    prepare();
    const rt::FArray<float, 6> v = first_fit();
    FITPAR.TFLAG(1) = 1;
    FITPAR.FITLIM(1, 1) = FITPAR.FITLIM(1, 2) = v(1);
    FITPAR.TFLAG(3) = 1;
    FITPAR.FITLIM(3, 1) = v(3);
    FITPAR.TFLAG(5) = 1;
    FITPAR.FITLIM(5, 1) = FITPAR.FITLIM(5, 2) = v(5);
    FITPAR.TFLAG(4) = 1;
    REFLN.ANGL(2) = 0.0f;
    // One end of the window exactly at the position.
    FITPAR.FITLIM(4, 1) = v(4) < 0 ? -v(4) : 0.5f;
    FITPAR.FITLIM(4, 2) = v(4) < 0 ? 0.5f : v(4);
    EXPECT_EQ(outcome(), "F ");
    // One step over a limit and the same scan is rejected.
    start(kStart);
    FITPAR.FITLIM(5, 2) = std::nextafter(v(5), -1.0f);
    EXPECT_EQ(outcome(), "RS");
}

TEST_F(ReflectionFit, WeakReflectionSkipsEtaAndRefitTestsButNotPosition) {
    prepare({50.0, 0.2, 25.0, 0.0, 0.4, 0.5}, 23);
    start({50.0, 0.2, 25.0, 0.0, 0.4, 0.5});
    const rt::FArray<float, 6> v = first_fit();
    FITPAR.TFLAG(5) = 1;
    FITPAR.FITLIM(5, 1) = 5.0f;  // eta can never pass
    FITPAR.FITLIM(5, 2) = 6.0f;
    FITPAR.TFLAG(2) = 1;  // nor the width
    FITPAR.FITLIM(2, 1) = 5.0f;
    FITPAR.FITLIM(2, 2) = 6.0f;
    EXPECT_EQ(outcome(), "F ") << "intensity " << v(3);
    start({50.0, 0.2, 25.0, 0.0, 0.4, 0.5});
    FITPAR.TFLAG(4) = 1;
    REFLN.ANGL(2) = 5.0f;
    FITPAR.FITLIM(4, 1) = FITPAR.FITLIM(4, 2) = 0.1f;
    EXPECT_EQ(outcome(), "RP");
}

TEST_F(ReflectionFit, PositionWindowFollowsTheSignOfTwoTheta) {
    // Position held at 0.2 (IFIX) and tested: the window is below/above ANGL(2) by the limits,
    // swapped for a negative 2theta.
    struct Case {
        double tth;
        float pos;
        const char* result;
    };
    for (const Case& c : {Case{30, 0.25f, "F "}, Case{30, -0.15f, "RP"}, Case{-30, 0.25f, "RP"},
                          Case{-30, -0.25f, "F "}, Case{-30, 0.05f, "F "}}) {
        SCOPED_TRACE(::testing::Message() << c.tth << " " << c.pos);
        reset_shared_records();
        prepare({50.0, 0.2, 2000.0, c.pos, 0.4, 0.5}, 29, 41, c.tth);
        FITPAR.VALS(4) = c.pos;
        FITPAR.TFLAG(4) = 1;
        FITPAR.FITLIM(4, 1) = 0.1f;
        FITPAR.FITLIM(4, 2) = 0.3f;
        int ierr;
        FITSCAN(1, ierr);
        EXPECT_EQ(FITPAR.VALS(4), c.pos);  // held in the first fit and the refit
        EXPECT_EQ(std::string(1, REFLN.FLAG(2)) + REFLN.FLAG(3), c.result);
    }
}

TEST_F(ReflectionFit, RejectedReflectionKeepsFirstFitAndRefitRwp) {
    prepare(kGauss);
    FITPAR.IREF(5) = 0;
    FITPAR.VALS(5) = 0.0f;
    const rt::FArray<float, 6> v = first_fit();
    FITPAR.TFLAG(6) = 1;
    FITPAR.FITLIM(6, 1) = 0.8f;
    FITPAR.FITLIM(6, 2) = 1.0f;
    int ierr;
    FITSCAN(0, ierr);
    ASSERT_EQ(REFLN.FLAG(3), 'R');
    for (int j = 1; j <= 6; ++j) EXPECT_EQ(FITPAR.VALS(j), v(j));
    // RWP and CHI2 are those of the refit with width and position held.
    rt::FArray<float, 6> t = v, s;
    rt::FArray<int, 6> fl;
    fl(3) = 1;
    fl(6) = 1;
    rt::FArray<float, MAXSTEP> yc;
    float r, c;
    int f;
    PKLSQ(REFLN.XPOS, REFLN.COUNTS, 41, WAVES.WAVE, 0.0f, 40.0f, t, fl, yc, s, r, c, f);
    EXPECT_EQ(FITPAR.RWP, r);
    EXPECT_EQ(FITPAR.CHI2, c);
    // Integrated all the same.
    EXPECT_EQ(ierr, 0);
    EXPECT_GT(INTRES.ISUM, 0.0f);
}

TEST_F(ReflectionFit, EsdsOfAnEarlierReflectionAreNeverCarriedOver) {
    prepare();
    FITPAR.SIGVAL.fill(99.0f);
    REFLN.NSTEP = 6;  // fit ends at once with status 3
    EXPECT_EQ(outcome(), "RD");
    for (int j = 1; j <= 6; ++j) EXPECT_EQ(FITPAR.SIGVAL(j), 0.0f) << j;
    EXPECT_EQ(INTRES.SIGPEAK, 0.0f);
}

TEST_F(ReflectionFit, UnequalEndsExemptFromRwpTestOnlyForTheScanThatHasThem) {
    // Background rising from 20 to 120 counts across the scan: model 3 finds the sides unequal.
    prepare();
    for (int i = 1; i <= 41; ++i) REFLN.COUNTS(i) += float(std::round(20.0 + 100.0 * (i - 1) / 40.0)) - 50.0f;
    FIXEDBG.IBGTYPE = 3;
    FIXEDBG.NSTEP_BG = 5;
    FITPAR.IDEF(1) = 1;
    FITPAR.TFLAG(7) = 1;
    FITPAR.RWPMAX = 0.001f;
    int ierr;
    FITSCAN(0, ierr);
    EXPECT_EQ(REFLN.UNEQ, 1);
    EXPECT_EQ(REFLN.FLAG(5), 'U');
    EXPECT_EQ(REFLN.FLAG(2), 'F');
    // The next scan, with a flat background, started from the end-count mean: a flag left over
    // from the previous scan does not spare it.
    prepare(kTruth, 18);
    FIXEDBG.IBGTYPE = 3;
    FITPAR.IDEF(1) = 0;
    FITPAR.TFLAG(7) = 1;
    FITPAR.RWPMAX = 0.001f;
    REFLN.UNEQ = 1;
    EXPECT_EQ(outcome(), "RF");
    EXPECT_EQ(REFLN.UNEQ, 0);
    EXPECT_EQ(REFLN.FLAG(5), ' ');
}

TEST_F(ReflectionFit, ConstrainedRefitRunsOnlyWhenWidthOrIratioIsTested) {
    // A reflection rejected for its position carries the RWP of the first fit when neither
    // width nor Iratio is tested, and that of the constrained refit when one of them is.
    auto rejected_rwp = [&](int test_width) {
        prepare();
        FITPAR.TFLAG(4) = 1;
        REFLN.ANGL(2) = -0.3f;
        FITPAR.FITLIM(4, 1) = FITPAR.FITLIM(4, 2) = 0.1f;
        FITPAR.TFLAG(2) = test_width;
        FITPAR.FITLIM(2, 1) = 0.0f;
        FITPAR.FITLIM(2, 2) = 1.0f;
        EXPECT_EQ(outcome(), "RP");
        return FITPAR.RWP;
    };
    prepare();
    rt::FArray<float, 6> v = FITPAR.VALS, s;
    rt::FArray<float, MAXSTEP> yc;
    float first_rwp, c;
    int f;
    PKLSQ(REFLN.XPOS, REFLN.COUNTS, 41, WAVES.WAVE, 0.0f, 40.0f, v, FITPAR.IREF, yc, s, first_rwp, c, f);
    EXPECT_EQ(rejected_rwp(0), first_rwp);
    EXPECT_NE(rejected_rwp(1), first_rwp);
}

TEST_F(ReflectionFit, RefitFreesWidthAndPositionWhenNarrowerThanTheDoubletSplit) {
    // Width limits exactly at the first fit's FWHM: the refit changes the width only when the
    // peaks are narrower than the alpha1-alpha2 separation (0.127 degrees at 2theta 40).
    for (double fwhm : {0.08, 0.2}) {
        SCOPED_TRACE(fwhm);
        reset_shared_records();
        prepare({50.0, fwhm, 2000.0, 0.0, 0.4, 0.5}, 37);
        start({45.0, fwhm * 1.1, 1800.0, 0.01, 0.45, 0.5});
        const rt::FArray<float, 6> v = first_fit();
        start({45.0, fwhm * 1.1, 1800.0, 0.01, 0.45, 0.5});
        FITPAR.TFLAG(2) = 1;
        FITPAR.FITLIM(2, 1) = FITPAR.FITLIM(2, 2) = v(2);
        EXPECT_EQ(outcome(), fwhm < 0.127 ? "RW" : "F ");
    }
}

TEST_F(ReflectionFit, AnAcceptedReflectionWhoseFinalRefitFailsIsRejectedAsAFailedFit) {
    // A coarse scan of 11 steps (about one step per FWHM) whose first fit converges, while the
    // final refit, started from its values, meets singular normal equations: the reflection is
    // never written as accepted.
    const float x[11] = {0x1.702d42p+2f, 0x1.7916fcp+2f, 0x1.8200b4p+2f, 0x1.8aea6ep+2f,
                         0x1.93d426p+2f, 0x1.9cbdep+2f,  0x1.a5a79ap+2f, 0x1.ae9152p+2f,
                         0x1.b77b0cp+2f, 0x1.c064c4p+2f, 0x1.c94e7ep+2f};
    const float counts[11] = {76, 75, 142, 277, 2279, 67959, 3682, 33416, 876, 181, 89};
    sm::Scan coarse;
    coarse.tth = double(0x1.2f519ap+6f);
    coarse.delta = sm::alpha2_offset(coarse.tth);
    for (int i = 0; i < 11; ++i) {
        coarse.x.push_back(x[i]);
        coarse.y.push_back(counts[i]);
    }
    sm::load(coarse);
    const float start[6] = {0x1.4p+3f, 0x1.151692p-3f, 0x1.709606p+13f, 0x1.a7e126p+2f, 0x1.d4aeeep-1f, 0.5f};
    const int flags[6] = {1, 1, 1, 0, 1, 0};
    for (int j = 1; j <= 6; ++j) {
        FITPAR.VALS(j) = start[j - 1];
        FITPAR.IREF(j) = flags[j - 1];
    }
    // The first fit alone converges; a second from its values does not.
    rt::FArray<float, 6> v = FITPAR.VALS, s;
    rt::FArray<float, MAXSTEP> yc;
    float r, c;
    int status = -1;
    PKLSQ(REFLN.XPOS, REFLN.COUNTS, REFLN.NSTEP, WAVES.WAVE, REFLN.DOMONO, REFLN.ANGL(1), v, FITPAR.IREF, yc, s, r,
          c, status);
    ASSERT_EQ(status, 0);
    PKLSQ(REFLN.XPOS, REFLN.COUNTS, REFLN.NSTEP, WAVES.WAVE, REFLN.DOMONO, REFLN.ANGL(1), v, FITPAR.IREF, yc, s, r,
          c, status);
    ASSERT_EQ(status, 1);
    // Its first fit ends at a width below 0 (no peak): it is rejected for that before the final
    // refit runs.
    ASSERT_LT(v(2), 0.0f);
    EXPECT_EQ(outcome(), "RW");
}

TEST(Integration, SumsBetweenSortedLimits) {
    struct Case {
        std::array<int, 4> nbg;
        std::array<int, 4> sorted;
        int ierr;
        int NP, NB;
    };
    for (const Case& c : {Case{{1, 5, 16, 20}, {1, 5, 16, 20}, 0, 10, 10}, Case{{1, 6, 14, 20}, {1, 6, 14, 20}, 0, 7, 13},
                          Case{{20, 14, 1, 6}, {1, 6, 14, 20}, 0, 7, 13}, Case{{1, 0, 5, 20}, {0, 1, 5, 20}, 1, 0, 0},
                          Case{{1, 5, 21, 20}, {1, 5, 20, 21}, 1, 0, 0}}) {
        reset_shared_records();
        REFLN.NSTEP = 20;
        for (int i = 1; i <= 20; ++i) REFLN.COUNTS(i) = float(i * i);
        INTRES.ISUM = 0.0f;
        INTRES.SIGISUM = 1.0f;
        for (int k = 0; k < 4; ++k) REFLN.NBG(k + 1) = c.nbg[k];
        int ierr = -1;
        INTEGRATE(ierr);
        EXPECT_EQ(ierr, c.ierr);
        for (int k = 0; k < 4; ++k) EXPECT_EQ(REFLN.NBG(k + 1), c.sorted[k]);
        if (c.ierr) {
            EXPECT_EQ(INTRES.ISUM, 0.0f);
            EXPECT_EQ(INTRES.SIGISUM, 1.0f);
            continue;
        }
        double P = 0, B = 0;
        for (int i = 1; i <= 20; ++i) {
            if (i > c.sorted[1] && i < c.sorted[2])
                P += i * i;
            else
                B += i * i;
        }
        EXPECT_FLOAT_EQ(INTRES.ISUM, float(P - c.NP * B / c.NB));
        EXPECT_FLOAT_EQ(INTRES.SIGISUM, float(std::sqrt(P + double(c.NP) / c.NB * B)));
    }
}

TEST_F(ReflectionFit, LimitsOutsideTheScanLeaveTheSumAtZeroAndItsEsdAtScale) {
    // A peak at the first step: the profile is above the level at step 1.
    prepare({50.0, 0.2, 2000.0, -0.8, 0.4, 0.5}, 41);
    start({45.0, 0.22, 1800.0, -0.79, 0.45, 0.5});
    REFLN.SCALE = 3.0f;
    int ierr = 0;
    FITSCAN(0, ierr);
    EXPECT_EQ(ierr, 1);
    EXPECT_EQ(INTRES.ISUM, 0.0f);
    EXPECT_EQ(INTRES.SIGISUM, 3.0f);
    EXPECT_EQ(INTRES.PEAK, FITPAR.VALS(3) * 3.0f);
}
