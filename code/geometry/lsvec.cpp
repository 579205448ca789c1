// Symmetry-constrained refinement of the cell from the fitted-reflection table, on diffraction
// vectors (phi-axis frame, reciprocal Angstrom without 2 pi), in three stages:
// 1. the unconstrained linear fit X of v = X h, which becomes UB;
// 2. a start matrix V0 = U B0: the orientation U of X with the Busing-Levy B0 of the cell of X
//    idealised to the crystal system;
// 3. a correction matrix D with V0 D h fitted to v under the linear constraints of the system
//    (CONSTR); the cell of V0 D is the result, its uncertainties propagated from the covariance
//    of D by forward differences.
#include <cmath>

#include "include/FILES.h"
#include "include/FITVALS.h"
#include "include/UNITCELL.h"
#include "include/geometry.h"
#include "include/profile_fit.h"
#include "include/toolkit_services.h"

namespace {

// P = Q R for 3 x 3 matrices.
void mul3(const geo::Mat3& Q, const geo::Mat3& R, geo::Mat3& P) {
    for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 3; ++j) {
            float s = 0.0f;
            for (int k = 1; k <= 3; ++k) s = s + Q(i, k) * R(k, j);
            P(i, j) = s;
        }
}

}  // namespace

void LSVEC(int ISYS, int& IERR) {
    rt::FArray2<int, 3, MAXFIT> H;
    rt::FArray2<float, 3, MAXFIT> VECT, HH;
    geo::Mat3 A, YB, B, U, V0, V0INV, D;
    rt::FArray2<float, 9, 9> DCOV;
    rt::FArray2<float, 7, 9> DERIVS, T;
    rt::FArray<float, 6> AA1;
    rt::FArray<int, 3> NTEMP;
    auto& W = VECLSQ;
    const int N = FITVALS.NFIT;
    IERR = 0;
    if (ISYS < 1 || ISYS > 6 || N < 3 || N > MAXFIT) {
        IERR = 2;
        return;
    }
    // Any failure after the first stage puts back what the refinement found on entry.
    const UNITCELL_t entry = UNITCELL;
    const auto fail = [&](int status) {
        UNITCELL = entry;
        IERR = status;
    };

    // Stage 1: the unconstrained fit.
    A = geo::Mat3{};
    YB = geo::Mat3{};
    W.X = geo::Mat3{};
    for (int i = 1; i <= 12; ++i)
        for (int j = 1; j <= 12; ++j) W.XA(i, j) = 0.0f;
    for (int i = 1; i <= 12; ++i) W.XB(i) = 0.0f;

    geo::Angles ang;
    geo::Vec3 v;
    for (int n = 1; n <= N; ++n) {
        for (int k = 1; k <= 3; ++k) H(k, n) = FITVALS.IHFIT(n, k);
        for (int k = 1; k <= 4; ++k) ang(k) = FITVALS.ANGLESFIT(n, k);
        CALCH(ang, v);
        for (int k = 1; k <= 3; ++k) VECT(k, n) = v(k);
    }
    for (int n = 1; n <= N; ++n)
        for (int k = 1; k <= 3; ++k) {
            for (int j = 1; j <= 3; ++j) A(k, j) = A(k, j) + float(H(k, n) * H(j, n));
            for (int i = 1; i <= 3; ++i) YB(k, i) = YB(k, i) + float(H(k, n)) * VECT(i, n);
        }
    // The normal matrix of the nine elements of D is block-diagonal: each row of D sees A.
    for (int b = 0; b < 3; ++b)
        for (int i = 1; i <= 3; ++i)
            for (int j = 1; j <= 3; ++j) W.XA(3 * b + i, 3 * b + j) = A(i, j);

    float DET = 0.0f;
    int JRANK = 0;
    MXLNEQ(A, 3, 3, DET, JRANK, 1.0e-6f, NTEMP, 0);
    if (JRANK != 3) {
        IERR = 2;
        return;
    }
    for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 3; ++j) {
            float s = 0.0f;
            for (int k = 1; k <= 3; ++k) s = s + A(j, k) * YB(k, i);
            W.X(i, j) = s;
        }
    if (PARAMS(0) != 0) return fail(2);
    UNITCELL.UB = W.X;
    UNITCELL.UBOK = 1;

    // Stage 2: the start matrix with the symmetry of the system.
    BCALC(B, W.A1, W.A2);
    MINV(B, B, DET, 3);
    mul3(W.X, B, U);
    SYMFIXA(W.A2, ISYS);
    if (RECIP(W.A2, W.RVOL, W.A1, W.VOL) != 0) return fail(2);
    BCALC(B, W.A1, W.A2);
    mul3(U, B, V0);
    MINV(V0, V0INV, DET, 3);
    // DET is the reciprocal volume of the idealised cell.
    if (!(std::fabs(DET) > 1.0e-5f)) {
        GUIERR(PROGID.PROG_TITLE.trimmed(), "Normal Equations Matrix in LSVEC is Singular");
        return fail(2);
    }

    // Stage 3: the constrained fit of D.
    for (int n = 1; n <= N; ++n)
        for (int i = 1; i <= 3; ++i)
            HH(i, n) = V0INV(i, 1) * VECT(1, n) + V0INV(i, 2) * VECT(2, n) + V0INV(i, 3) * VECT(3, n);
    for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 3; ++j) {
            float s = 0.0f;
            for (int n = 1; n <= N; ++n) s = s + float(H(j, n)) * HH(i, n);
            W.XB(3 * (i - 1) + j) = s;
        }
    int NPARM = 0;
    int ierr = 0;
    CONSTR(ISYS, ierr, NPARM);
    if (ierr != 0) return fail(ierr);
    for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 3; ++j) D(i, j) = W.XB(3 * (i - 1) + j);
    mul3(V0, D, W.X);
    if (PARAMS(ISYS) != 0) return fail(2);

    float S = 0.0f;
    for (int n = 1; n <= N; ++n)
        for (int i = 1; i <= 3; ++i) {
            const float r = D(i, 1) * float(H(1, n)) + D(i, 2) * float(H(2, n)) + D(i, 3) * float(H(3, n)) -
                            HH(i, n);
            S = S + r * r;
        }
    const float sigma2 = S / float(3 * N - NPARM);
    for (int i = 1; i <= 9; ++i)
        for (int j = 1; j <= 9; ++j) DCOV(i, j) = sigma2 * W.XA(i, j);

    rt::FArray<float, 7> cell;
    for (int c = 1; c <= 3; ++c) cell(c) = W.A1(c);
    for (int c = 4; c <= 6; ++c) cell(c) = W.A1(c + 3);
    cell(7) = W.VOL;
    for (int c = 1; c <= 6; ++c) AA1(c) = W.A1(c);
    const float base_vol = W.VOL;

    // Forward differences of the cell quantities a, b, c, cos alpha, cos beta, cos gamma, V.
    for (int j = 1; j <= 3; ++j)
        for (int i = 1; i <= 3; ++i) {
            const int p = 3 * (i - 1) + j;
            const float keep = D(i, j);
            D(i, j) = D(i, j) + 0.0005f;
            mul3(V0, D, W.X);
            const int st = PARAMS(0);
            D(i, j) = keep;
            if (st != 0) return fail(2);
            for (int c = 1; c <= 6; ++c) DERIVS(c, p) = (W.A1(c) - AA1(c)) / 0.0005f;
            DERIVS(7, p) = (W.VOL - base_vol) / 0.0005f;
        }
    // Covariance of the cell quantities: DERIVS DCOV DERIVS', over the leading 7 x 7 of DCOV.
    for (int c = 1; c <= 7; ++c)
        for (int q = 1; q <= 9; ++q) {
            float s = 0.0f;
            for (int k = 1; k <= 9; ++k) s = s + DERIVS(c, k) * DCOV(k, q);
            T(c, q) = s;
        }
    for (int c = 1; c <= 7; ++c)
        for (int e = 1; e <= 7; ++e) {
            float s = 0.0f;
            for (int k = 1; k <= 9; ++k) s = s + T(c, k) * DERIVS(e, k);
            DCOV(c, e) = s;
        }
    // Angles fixed by the system carry no variance: alpha always, gamma but for c unique, beta but
    // for b unique.
    const auto clear = [&](int q) {
        for (int k = 1; k <= 6; ++k) {
            DCOV(q, k) = 0.0f;
            DCOV(k, q) = 0.0f;
        }
    };
    clear(4);
    if (ISYS != 2) clear(6);
    if (ISYS != 1) clear(5);

    rt::FArray<float, 7> esd;
    for (int c = 1; c <= 7; ++c) {
        float var = DCOV(c, c);
        if (!(var > 0.0f)) var = 1.0e-24f;
        esd(c) = std::sqrt(var);
    }
    for (int c = 4; c <= 6; ++c) esd(c) = 57.2958f * esd(c) / std::sqrt(1.0f - AA1(c) * AA1(c));

    UNITCELL.CELL = cell;
    UNITCELL.ESD = esd;
}
