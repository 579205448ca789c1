// Unconstrained least-squares refinement of the orientation matrix UB (Busing & Levy 1967 axes,
// columns a*, b*, c*) from fitted peak positions, with the cell and its standard uncertainties,
// and the same refinement alternated with an omega zero. Angles in degrees, omega measured from
// the bisecting position; diffraction vectors in reciprocal Angstrom without 2 pi.
#include <algorithm>
#include <cmath>

#include "include/FILES.h"
#include "include/FITVALS.h"
#include "include/UNITCELL.h"
#include "include/geometry.h"
#include "include/toolkit_services.h"

namespace {

// Row i of an angle table and of an index table as the geometry routines take them.
void row_of(const FitAngles& ANG, const FitIndices& IH, int i, geo::Angles& a, geo::Indices& h) {
    for (int k = 1; k <= 4; ++k) a(k) = ANG(i, k);
    for (int k = 1; k <= 3; ++k) h(k) = IH(i, k);
}

}  // namespace

void LSQ(int N, const FitAngles& ANG, const FitIndices& IH, int& IERR) {
    FitAngles ANGW;
    FitIndices IHW;
    geo::Mat3 H6, H7, UBNEW, SIG, UBS;
    rt::FArray<float, 3> S;
    rt::FArray<float, 7> SUMSQ, SHIFTED;
    IERR = 0;
    if (N < 3 || N > MAXFIT) {
        IERR = 1;
        return;
    }
    H6 = geo::Mat3{};
    H7 = geo::Mat3{};
    for (int i = 1; i <= N; ++i) {
        for (int k = 1; k <= 4; ++k) ANGW(i, k) = ANG(i, k);
        for (int k = 1; k <= 3; ++k) IHW(i, k) = IH(i, k);
    }

    geo::Angles a;
    geo::Indices h;
    geo::Vec3 v;
    for (int i = 1; i <= N; ++i) {
        row_of(ANGW, IHW, i, a, h);
        CALCH(a, v);
        for (int j = 1; j <= 3; ++j)
            for (int k = 1; k <= 3; ++k) {
                H6(k, j) = H6(k, j) + v(j) * float(h(k));
                H7(k, j) = H7(k, j) + float(h(k) * h(j));
            }
    }
    float DET = 0.0f;
    MINV(H7, H7, DET, 3);
    if (!(std::fabs(DET) > 1.0e-4f)) {
        IERR = 1;
        return;
    }

    // UB = (sum v h') (sum h h')^-1; H6 holds sum h v', so its transpose is read.
    for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 3; ++j) {
            float s = 0.0f;
            for (int b = 1; b <= 3; ++b) s = s + H6(b, i) * H7(b, j);
            UBNEW(i, j) = s;
        }

    S(1) = S(2) = S(3) = 0.0f;
    if (N >= 4) {
        for (int i = 1; i <= N; ++i) {
            row_of(ANGW, IHW, i, a, h);
            CALCH(a, v);
            for (int q = 1; q <= 3; ++q) {
                const float r = v(q) - (UBNEW(q, 1) * float(h(1)) + UBNEW(q, 2) * float(h(2)) +
                                        UBNEW(q, 3) * float(h(3)));
                S(q) = S(q) + r * r;
            }
        }
    }

    // The cell of the new matrix. A matrix without a cell (its box already shown by OMTOB) is not
    // a result: the orientation in force stays, and the refinement reports failure.
    const geo::Mat3 UBOLD = UNITCELL.UB;
    UNITCELL.UB = UBNEW;
    if (OMTOB() != 0) {
        UNITCELL.UB = UBOLD;
        IERR = 2;
        return;
    }
    if (N < 4) return;

    for (int q = 1; q <= 3; ++q)
        for (int p = 1; p <= 3; ++p) SIG(q, p) = std::sqrt((H7(p, p) / float(N - 3)) * S(q));

    // Each element shifted by its own uncertainty, one at a time, on a copy of UB; the squared
    // changes of the cell are summed, correlations between the elements ignored.
    for (int k = 1; k <= 7; ++k) SUMSQ(k) = 0.0f;
    UBS = UNITCELL.UB;
    for (int p = 1; p <= 3; ++p)
        for (int q = 1; q <= 3; ++q) {
            UBS(q, p) = UNITCELL.UB(q, p) + SIG(q, p);
            if (cell_of_matrix(UBS, SHIFTED)) {
                for (int k = 1; k <= 7; ++k) {
                    const float d = SHIFTED(k) - UNITCELL.CELL(k);
                    SUMSQ(k) = SUMSQ(k) + d * d;
                }
            }
            UBS(q, p) = UNITCELL.UB(q, p);
        }
    for (int k = 1; k <= 7; ++k) UNITCELL.ESD(k) = std::sqrt(SUMSQ(k));
}

void LSQ_ZERO(int& IERR) {
    FitAngles ANGW;
    rt::FArray<float, MAXFIT> OBS;
    const int N = FITVALS.NFIT;
    IERR = 0;
    if (N < 3 || N > MAXFIT) {
        IERR = 1;
        return;
    }
    float SOBS = 0.0f;
    for (int i = 1; i <= N; ++i) {
        for (int k = 1; k <= 4; ++k) ANGW(i, k) = FITVALS.ANGLESFIT(i, k);
        OBS(i) = FITVALS.ANGLESFIT(i, 2);
        SOBS = SOBS + OBS(i);
    }
    // A failure in any cycle puts back what the refinement found on entry.
    const UNITCELL_t entry_cell = UNITCELL;
    const XTALOFF_t entry_off = XTALOFF;
    XTALOFF.OMZERO = 0.0f;
    geo::Angles a;
    geo::Indices h;
    for (int cycle = 1;; ++cycle) {
        const float PREV = XTALOFF.OMZERO;
        LSQ(N, ANGW, FITVALS.IHFIT, IERR);
        if (IERR != 0) {
            UNITCELL = entry_cell;
            XTALOFF = entry_off;
            return;
        }
        float SCALC = 0.0f;
        for (int i = 1; i <= N; ++i) {
            row_of(ANGW, FITVALS.IHFIT, i, a, h);
            float rom = 0.0f;
            CALOMEGA(a, h, rom);
            SCALC = SCALC + rom;
        }
        XTALOFF.OMZERO = (SOBS - SCALC) / float(N);
        for (int i = 1; i <= N; ++i) ANGW(i, 2) = OBS(i) - XTALOFF.OMZERO;
        if (std::fabs(PREV - XTALOFF.OMZERO) < 0.001f) return;
        if (cycle >= 10) {
            GUIERR(PROGID.PROG_TITLE.trimmed(), "WARNING: NO CONVERGENCE AFTER 10 CYCLES IN LSQ_OFFSETS");
            return;
        }
    }
}
