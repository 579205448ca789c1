// Fitting, testing and integrating the current reflection.
//
// FITSCAN fits the profile model to the current scan, runs the acceptance tests in their fixed
// order (reject letters E C D F B I S R W P), refits an accepted reflection, finds the integration
// limits where the fitted profile rises 1 % above the background, and has INTEGRATE sum the counts
// between them. Intensities and their esds leave multiplied by the scan's SCALE.
#include <cmath>

#include "include/profile_fit.h"
#include "include/shared.h"

namespace {

bool outside(float v, float lo, float hi) { return v < lo || v > hi; }

// The reject letter of a fit that ended with status INV, or blank when it converged.
char failed_fit(int INV) {
    if (INV == 0) return ' ';
    if (INV == 1) return 'E';
    if (INV == 2) return 'C';
    return 'D';
}

// Runs the tests on the first fit; returns the reject letter, or blank when the reflection passes.
// The constrained refit of the tests leaves its RWP and CHI2 behind.
char run_tests(int INV) {
    auto& P = FITPAR;
    auto& R = REFLN;
    if (INV != 0) return failed_fit(INV);
    // A fit that ends at a width of 0 or less found no peak: its intensity carries the width's
    // sign, so the tests that judge a peak's values have nothing to judge. It is rejected as a
    // width out of range, before them, weak or not, with the width test on or off.
    if (!WIDTH_MAKES_A_PEAK(P.VALS(2))) return 'W';
    if (P.RWP > P.RWPMAX && P.TFLAG(7) == 1 && R.UNEQ == 0) return 'F';
    if (P.TFLAG(1) == 1 && P.IREF(1) == 1 && outside(P.VALS(1), P.FITLIM(1, 1), P.FITLIM(1, 2))) return 'B';
    if (P.TFLAG(3) == 1 && P.VALS(3) < P.FITLIM(3, 1)) return 'I';

    const bool weak = P.VALS(3) < 6.0f * P.SIGVAL(3);
    if (!weak) {
        if (P.TFLAG(5) == 1 && P.IREF(5) == 1 && outside(P.VALS(5), P.FITLIM(5, 1), P.FITLIM(5, 2)))
            return 'S';
        if (P.TFLAG(6) == 1 || P.TFLAG(2) == 1) {
            // Intensity and Iratio refit with width and position held (both freed when the width
            // is below the alpha1-alpha2 separation).
            rt::FArray<float, NPAR> TVAL = P.VALS;
            rt::FArray<int, NPAR> IREFL;
            IREFL(1) = 0;
            IREFL(2) = 0;
            IREFL(3) = 1;
            IREFL(4) = 0;
            IREFL(5) = P.IREF(5);
            IREFL(6) = 1;
            if (P.VALS(2) < R.DOMA2 + R.DOMONO) {
                IREFL(2) = 1;
                IREFL(4) = 1;
            }
            int INV2 = 0;
            // Scratch results of the constrained refit; nothing reads them afterwards.
            rt::FArray<float, MAXSTEP> YC_SCRATCH;
            rt::FArray<float, NPAR> SIG_SCRATCH;
            PKLSQ(R.XPOS, R.COUNTS, R.NSTEP, WAVES.WAVE, R.DOMONO, R.ANGL(1), TVAL, IREFL, YC_SCRATCH,
                  SIG_SCRATCH, P.RWP, P.CHI2, INV2);
            if (P.TFLAG(6) == 1 && outside(TVAL(6), P.FITLIM(6, 1), P.FITLIM(6, 2))) return 'R';
            // The width test never passes a width that makes no peak, whatever its lower limit.
            if (P.TFLAG(2) == 1 &&
                (outside(TVAL(2), P.FITLIM(2, 1), P.FITLIM(2, 2)) || !WIDTH_MAKES_A_PEAK(TVAL(2))))
                return 'W';
        }
    }

    if (P.TFLAG(4) == 1 && P.IREF(4) == 1) {
        float lo, hi;
        if (R.ANGL(1) > 0.0f) {
            lo = R.ANGL(2) - P.FITLIM(4, 1);
            hi = R.ANGL(2) + P.FITLIM(4, 2);
        } else {
            lo = R.ANGL(2) - P.FITLIM(4, 2);
            hi = R.ANGL(2) + P.FITLIM(4, 1);
        }
        if (outside(P.VALS(4), lo, hi)) return 'P';
    }
    return ' ';
}

}  // namespace

void FITSCAN(int IFIX, int& IERR) {
    auto& P = FITPAR;
    auto& R = REFLN;

    INTRES.PEAK = 0.0f;
    INTRES.ISUM = 0.0f;
    INTRES.SIGPEAK = 1.0f;
    INTRES.SIGISUM = 1.0f;
    // The unequal-ends flag belongs to the background this fit starts from: model 3 evaluated
    // for this very scan. Any other start leaves it clear, so a flag from an earlier scan never
    // spares this one the Rwp test.
    if (P.IDEF(1) == 1 && FIXEDBG.IBGTYPE == 3)
        (void)GET_BACKGROUND(R.ANGL(1));
    else
        R.UNEQ = 0;
    for (int k = 2; k <= 6; ++k) R.FLAG(k) = ' ';
    if (R.UNEQ == 1) R.FLAG(5) = 'U';
    IERR = 0;
    const int NDATA = R.NSTEP;

    // No reflection carries the esds of an earlier one.
    P.SIGVAL.fill(0.0f);

    rt::FArray<int, NPAR> IREFL = P.IREF;
    if (IFIX == 1) IREFL(4) = 0;
    const float TTH = R.ANGL(1);
    int INV = 0;
    PKLSQ(R.XPOS, R.COUNTS, NDATA, WAVES.WAVE, R.DOMONO, TTH, P.VALS, IREFL, R.YC, P.SIGVAL, P.RWP, P.CHI2,
          INV);

    char code = run_tests(INV);
    if (code == ' ') {
        IREFL = P.IREF;
        if (IFIX == 1) IREFL(4) = 0;
        PKLSQ(R.XPOS, R.COUNTS, NDATA, WAVES.WAVE, R.DOMONO, TTH, P.VALS, IREFL, R.YC, P.SIGVAL, P.RWP,
              P.CHI2, INV);
        // The final values are those of this refit: one that fails leaves the reflection
        // rejected as a failed first fit would, with the values it reached; one that ends at a
        // width that makes no peak is rejected as the width test rejects it.
        code = failed_fit(INV);
        if (code == ' ' && !WIDTH_MAKES_A_PEAK(P.VALS(2))) code = 'W';
    }
    if (code == ' ') {
        R.FLAG(2) = 'F';
        R.FLAG(3) = ' ';
    } else {
        R.FLAG(2) = 'R';
        R.FLAG(3) = code;
    }

    // Integration limits: the steps where the fitted profile stands above 1.01 x background.
    INTRES.PEAK = P.VALS(3);
    INTRES.SIGPEAK = P.SIGVAL(3);
    const float level = 1.01f * P.VALS(1);
    const int n = NDATA < 0 ? 0 : (NDATA > MAXSTEP ? MAXSTEP : NDATA);
    int i = 1;
    while (i <= n && !(R.YC(i) > level)) ++i;
    if (i > n) i = NDATA + 1;
    R.NBG(1) = 1;
    R.NBG(2) = i - 1;
    int j = n;
    while (j >= 1 && !(R.YC(j) > level)) --j;
    R.NBG(3) = j + 1;
    if (R.NBG(3) <= R.NBG(2)) R.NBG(3) = R.NBG(2) + 1;
    R.NBG(4) = NDATA;
    INTEGRATE(IERR);

    INTRES.PEAK = INTRES.PEAK * R.SCALE;
    INTRES.ISUM = INTRES.ISUM * R.SCALE;
    INTRES.SIGPEAK = INTRES.SIGPEAK * R.SCALE;
    INTRES.SIGISUM = INTRES.SIGISUM * R.SCALE;

    // An intensity without a usable esd is no measurement: such a fit is an error of the least
    // squares, never a reflection that passed.
    if (R.FLAG(2) == 'F' && !INTENSITY_ESD_USABLE()) {
        R.FLAG(2) = 'R';
        R.FLAG(3) = 'E';
    }
}

bool INTENSITY_ESD_USABLE() {
    const float esd = FITOPT.IINT == 2 ? INTRES.SIGPEAK : INTRES.SIGISUM;
    return esd > 0.0f && std::isfinite(esd);
}

void INTEGRATE(int& IERR) {
    auto& R = REFLN;
    IERR = 0;
    for (int k = 1; k <= 3; ++k) {
        int m = k;
        for (int l = k + 1; l <= 4; ++l)
            if (R.NBG(l) < R.NBG(m)) m = l;
        const int t = R.NBG(k);
        R.NBG(k) = R.NBG(m);
        R.NBG(m) = t;
    }
    const int last = R.NSTEP > MAXSTEP ? MAXSTEP : R.NSTEP;
    if (R.NBG(1) < 1 || R.NBG(4) > last) {
        IERR = 1;
        return;
    }
    float B = 0.0f;
    for (int i = R.NBG(1); i <= R.NBG(2); ++i) B = B + R.COUNTS(i);
    for (int i = R.NBG(3); i <= R.NBG(4); ++i) B = B + R.COUNTS(i);
    const int NB = (R.NBG(2) - R.NBG(1)) + (R.NBG(4) - R.NBG(3)) + 2;
    float P = 0.0f;
    for (int i = R.NBG(2) + 1; i <= R.NBG(3) - 1; ++i) P = P + R.COUNTS(i);
    const int NP = R.NBG(3) - R.NBG(2) - 1;
    INTRES.SIGISUM = std::sqrt(P + (float(NP) / float(NB)) * B);
    INTRES.ISUM = P - float(NP) * B / float(NB);
}
