// Refinement of the crystal offset DELX (phi-axis frame, in the length unit of the crystal-to-
// detector distance GONCON1) and of the omega zero OMZERO (degrees) together with the orientation
// matrix UB. A crystal off the goniometer centre shifts each peak in omega by an amount linear in
// the offset; the omega residuals against UB are fitted by linear least squares.
#include <cmath>

#include "include/DATA.h"
#include "include/FILES.h"
#include "include/FITVALS.h"
#include "include/UNITCELL.h"
#include "include/geometry.h"
#include "include/toolkit_services.h"

namespace {

void row_of(const FitAngles& ANG, const FitIndices& IH, int i, geo::Angles& a, geo::Indices& h) {
    for (int k = 1; k <= 4; ++k) a(k) = ANG(i, k);
    for (int k = 1; k <= 3; ++k) h(k) = IH(i, k);
}

}  // namespace

void GET_XTALSHIFT(int N, const FitAngles& ANG, const FitIndices& IH, int ZEROFLAG) {
    rt::FArray<float, MAXFIT> DELOM;
    rt::FArray2<float, MAXFIT, 4> A;
    rt::FArray<float, 16> ASQ;  // the NP x NP normal matrix, dense, column by column
    rt::FArray<float, 4> ATB, SOLN;
    if (N < 1 || N > MAXFIT) return;
    const float Q = (1.0f / GONIO.GONCON1) / 0.017453292f;  // degrees of omega per unit offset
    const int NP = ZEROFLAG == 1 ? 4 : 3;

    geo::Angles a;
    geo::Indices h;
    for (int i = 1; i <= N; ++i) {
        row_of(ANG, IH, i, a, h);
        float ROM = 0.0f;
        CALOMEGA(a, h, ROM);
        DELOM(i) = a(2) - ROM;
        const float th = a(1) * 0.017453292f * 0.5f;
        const float om = ROM * 0.017453292f;
        const float ch = a(3) * 0.017453292f;
        const float ph = a(4) * 0.017453292f;
        const float co = std::cos(om), so = std::sin(om);
        const float cc = std::cos(ch), sc = std::sin(ch);
        const float cp = std::cos(ph), sp = std::sin(ph);
        const float r11 = co * cc * cp - so * sp, r12 = co * cc * sp + so * cp, r13 = co * sc;
        const float r21 = -so * cc * cp - co * sp, r22 = -so * cc * sp + co * cp, r23 = -so * sc;
        const float ct = std::cos(th), st = std::sin(th);
        A(i, 1) = (r11 * ct + r21 * st) * Q;
        A(i, 2) = (r12 * ct + r22 * st) * Q;
        A(i, 3) = (r13 * ct + r23 * st) * Q;
        A(i, 4) = 1.0f;
    }
    for (int j = 1; j <= NP; ++j) {
        for (int k = 1; k <= NP; ++k) {
            float s = 0.0f;
            for (int i = 1; i <= N; ++i) s = s + A(i, j) * A(i, k);
            ASQ((j - 1) + (k - 1) * NP + 1) = s;
        }
        float t = 0.0f;
        for (int i = 1; i <= N; ++i) t = t + A(i, j) * DELOM(i);
        ATB(j) = t;
    }
    float DET = 0.0f;
    MINV(ASQ, ASQ, DET, NP);
    // Not finite (no crystal-to-detector distance) counts as singular too.
    if (!(std::fabs(DET) >= 1.0e-4f)) {
        GUIERR(PROGID.PROG_TITLE.trimmed(), "SINGULAR MATRIX IN LSQ FOR XTAL OFFSETS");
        return;
    }
    for (int j = 1; j <= NP; ++j) {
        float s = 0.0f;
        for (int k = 1; k <= NP; ++k) s = s + ASQ((j - 1) + (k - 1) * NP + 1) * ATB(k);
        SOLN(j) = s;
    }
    for (int j = 1; j <= NP; ++j)
        if (!std::isfinite(SOLN(j))) return;
    for (int j = 1; j <= 3; ++j) XTALOFF.DELX(j) = SOLN(j);
    if (NP == 4) XTALOFF.OMZERO = SOLN(4);
}

void LSQ_WITHOFF(int ZEROFLAG, int& IERR) {
    FitAngles ANGW;
    rt::FArray<float, MAXFIT> OBS;
    const int N = FITVALS.NFIT;
    IERR = 0;
    if (N < 3 || N > MAXFIT) {
        IERR = 1;
        return;
    }
    // A failure puts back what the refinement found on entry.
    const UNITCELL_t entry_cell = UNITCELL;
    const XTALOFF_t entry_off = XTALOFF;
    XTALOFF.OMZERO = 0.0f;
    for (int i = 1; i <= N; ++i) {
        for (int k = 1; k <= 4; ++k) ANGW(i, k) = FITVALS.ANGLESFIT(i, k);
        OBS(i) = FITVALS.ANGLESFIT(i, 2);
    }
    geo::Angles a, off;
    geo::Indices h;
    float SUM = 0.0f;
    for (int cycle = 1;; ++cycle) {
        const float PREV = SUM;
        LSQ(N, ANGW, FITVALS.IHFIT, IERR);
        if (IERR != 0) {
            UNITCELL = entry_cell;
            XTALOFF = entry_off;
            return;
        }
        for (int i = 1; i <= N; ++i) ANGW(i, 2) = OBS(i);
        GET_XTALSHIFT(N, ANGW, FITVALS.IHFIT, ZEROFLAG);
        SUM = 0.0f;
        for (int i = 1; i <= N; ++i) {
            row_of(ANGW, FITVALS.IHFIT, i, a, h);
            float ROM = 0.0f;
            CALOMEGA(a, h, ROM);
            CALC_ANGOFF(a, off);
            SUM = SUM + std::fabs(OBS(i) - ROM - off(2));
            ANGW(i, 2) = OBS(i) - off(2);
        }
        if (cycle == 1) continue;
        // Settled when the summed residual changed by 5 % or less; two sums of zero are settled.
        const bool settled = (PREV == 0.0f && SUM == 0.0f) || std::fabs(PREV - SUM) / PREV <= 0.05f;
        if (settled) break;
        if (cycle >= 21) {
            GUIERR(PROGID.PROG_TITLE.trimmed(), "WARNING: NO CONVERGENCE AFTER 20 CYCLES IN LSQ_OFFSETS");
            break;
        }
    }
    UNITCELL.UBOK = 1;
}
