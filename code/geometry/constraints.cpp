// Crystal-system constraints of the symmetry-constrained refinement. The nine elements of the
// correction matrix D (row by row: p = 3 (i - 1) + j is D(i, j)) are held by homogeneous linear
// equations, first-order conditions that the reciprocal metric D' G0 D keeps the relations of the
// crystal system; the normal equations are bordered with them (Lagrange multipliers) and solved
// by Gauss-Jordan elimination. Which equations each system imposes is the data below.
#include <cmath>

#include "include/geometry.h"
#include "include/profile_fit.h"

namespace {

// Constraint types: the parameters of the terms and the index of each term's coefficient in COEF.
// A two-term type has parameter 0 and coefficient 15 (0.0) in its third place.
constexpr int NCOEF[10] = {2, 2, 2, 2, 2, 3, 3, 3, 3, 3};
constexpr int ROWTP[10][3] = {{2, 4, 0}, {3, 7, 0}, {6, 8, 0}, {1, 5, 0}, {1, 9, 0},
                              {1, 4, 5}, {7, 3, 6}, {7, 8, 6}, {6, 8, 2}, {6, 4, 2}};
constexpr int COEFTP[10][3] = {{1, 2, 15}, {3, 4, 15},  {5, 6, 15},  {7, 8, 15}, {7, 8, 15},
                               {7, 7, 8},  {4, 3, 9},   {10, 6, 11}, {5, 6, 12}, {13, 2, 14}};

// The constraint types of each crystal system, in order.
constexpr int NCNST[6] = {2, 2, 3, 4, 4, 5};
constexpr int CNSTYP[6][5] = {
    {9, 10, 0, 0, 0},  // monoclinic, b unique: alpha* = gamma* = 90
    {7, 8, 0, 0, 0},   // monoclinic, c unique: alpha* = beta* = 90
    {1, 2, 3, 0, 0},   // orthorhombic
    {4, 1, 2, 3, 0},   // tetragonal: a* = b*
    {6, 1, 7, 8, 0},   // hexagonal: a* = b*, gamma* = 60
    {4, 5, 1, 2, 3},   // cubic: a* = b* = c*
};

}  // namespace

void CONSTR(int ISYS, int& IERR, int& NPARM) {
    rt::FArray<float, 15> COEF;
    rt::FArray<float, 20> SAV;
    rt::FArray<int, 15> NTEMP;
    auto& W = VECLSQ;
    auto& XA = W.XA;
    const auto& A2 = W.A2;

    // Coefficients from the reciprocal cell of the idealised start matrix.
    const float as = A2(1), bs = A2(2), cs = A2(3), cb = A2(5), cg = A2(6);
    COEF(1) = as / bs;
    COEF(2) = bs / as;
    COEF(3) = as / cs;
    COEF(4) = cs / as;
    COEF(5) = bs / cs;
    COEF(6) = cs / bs;
    COEF(7) = 1.0f;
    COEF(8) = -1.0f;
    COEF(9) = bs * cg / cs;
    COEF(10) = -(cs * cg / as);
    COEF(11) = bs * (1.0f - cg * cg) / cs;
    COEF(12) = as * cb / bs;
    COEF(13) = -(bs * cb / cs);
    COEF(14) = as * (1.0f - cb * cb) / bs;
    COEF(15) = 0.0f;

    for (int i = 1; i <= 9; ++i)
        for (int j = 10; j <= 16; ++j) XA(i, j) = 0.0f;
    for (int i = 10; i <= 15; ++i)
        for (int j = 1; j <= 16; ++j) XA(i, j) = 0.0f;

    if (ISYS < 1 || ISYS > 6) {
        IERR = 2;
        return;
    }
    const int NC = NCNST[ISYS - 1];
    NPARM = 9 - NC;
    for (int L = 1; L <= NC; ++L) {
        const int T = CNSTYP[ISYS - 1][L - 1];
        for (int K = 1; K <= NCOEF[T - 1]; ++K) {
            const int R = ROWTP[T - 1][K - 1];
            const float c = COEF(COEFTP[T - 1][K - 1]);
            XA(9 + L, R) = c;
            XA(R, 9 + L) = c;
        }
    }
    const int N = 9 + NC;
    for (int i = 1; i <= 9; ++i) XA(i, N + 1) = W.XB(i);

    // Rows and columns scaled to a unit diagonal of the normal block, so that the absolute pivot
    // tolerance of the solver acts as a relative one.
    for (int i = 1; i <= N + 1; ++i) SAV(i) = XA(i, i) >= 1.0e-6f ? 1.0f / std::sqrt(XA(i, i)) : 1.0f;
    for (int i = 1; i <= N + 1; ++i)
        for (int j = 1; j <= N + 1; ++j) XA(i, j) = XA(i, j) * SAV(i) * SAV(j);

    float DET = 0.0f;
    int JRANK = 0;
    MXLNEQ(XA, N, 15, DET, JRANK, 1.0e-6f, NTEMP, 1);
    if (JRANK != N) {
        IERR = 1;
        return;
    }
    for (int i = 1; i <= N + 1; ++i)
        for (int j = 1; j <= N + 1; ++j) XA(i, j) = XA(i, j) * SAV(i) * SAV(j);
    for (int i = 1; i <= 9; ++i) W.XB(i) = XA(i, N + 1);
    IERR = 0;
}
