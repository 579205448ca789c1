// The damping of the profile fit, seen where the model is linear: with only the background
// refined each Gauss-Newton shift is the whole remaining gap, so the gap shrinks by exactly
// (1 - damping) per cycle, 0.1, 0.2, ... up to 0.7 and then 0.7 for ever, and the fit stops one
// evaluation after the first undamped shift within 0.01 esd.
#include <gtest/gtest.h>

#include <cmath>

#include "include/profile_fit.h"
#include "include/shared.h"
#include "scan_model.h"

namespace sm = scan_model;

TEST(ProfileFitDamping, BackgroundAloneClosesItsGapByTheCappedDampedSteps) {
    reset_shared_records();
    const sm::Params truth{50.0, 0.20, 2000.0, 0.0, 0.4, 0.5};
    const sm::Scan s = sm::make(truth, 41, 0.04, 40.0, 11);
    sm::load(s);

    rt::FArray<float, 6> vals, sig;
    rt::FArray<int, 6> iref;
    for (int j = 1; j <= 6; ++j) vals(j) = float(truth[j - 1]);
    iref(1) = 1;

    // The weighted least-squares background for the held peak, from the model in 32 bits.
    const float delta = float(sm::alpha2_offset(40.0));
    double swr = 0.0, sw = 0.0;
    for (int i = 1; i <= REFLN.NSTEP; ++i) {
        float d1, d2, d3;
        const float p1 = PSVOIGT(REFLN.XPOS(i), vals(4), vals(5), vals(2), d1, d2, d3);
        const float p2 = PSVOIGT(REFLN.XPOS(i), vals(4) + delta, vals(5), vals(2), d1, d2, d3);
        const double w = 1.0 / (double(REFLN.COUNTS(i)) + 1.0);
        swr += w * (double(REFLN.COUNTS(i)) - double(vals(3)) * double(p1 + vals(6) * p2));
        sw += w;
    }
    const double best = swr / sw;
    const double gap0 = 30.0;
    vals(1) = float(best + gap0);

    float rwp = 0.0f, chi2 = 0.0f;
    int flag = -1;
    PKLSQ(REFLN.XPOS, REFLN.COUNTS, REFLN.NSTEP, WAVES.WAVE, REFLN.DOMONO, REFLN.ANGL(1), vals, iref, REFLN.YC, sig,
          rwp, chi2, flag);
    ASSERT_EQ(flag, 0);
    const double esd = sig(1);
    ASSERT_GT(esd, 0.0);

    // The gap left after each cycle; the fit stops after the first cycle whose full shift (the gap
    // before it) is within 0.01 esd.
    double gap = gap0;
    int cycle = 0;
    for (;;) {
        ++cycle;
        const double damp = std::fmin(0.1 * cycle, 0.7);
        const bool last = std::fabs(gap) <= 0.01 * esd;
        gap *= 1.0 - damp;
        if (last) break;
    }
    EXPECT_GE(cycle, 8);  // the damping reached its cap on the way
    // The 32-bit model of the peak (up to 2000 counts) leaves the fit's own solution about 2e-4
    // from the reference; one cycle more or less would change the gap threefold.
    EXPECT_NEAR(double(vals(1)) - best, gap, 0.1 * std::fabs(gap)) << "esd " << esd << ", cycles " << cycle;
    EXPECT_GT(double(vals(1)) - best, 0.0);  // approached from one side, never overshot
}
