// Inverse and determinant of small square matrices (orders 1 to 6): Crout LU factorisation with
// partial pivoting and implicit row scaling, forward and back substitution, and the inverse built
// column by column from the factors. All arithmetic in 32-bit floats.
#include <cmath>

#include "include/FILES.h"
#include "include/geometry.h"
#include "include/toolkit_services.h"

void LUDCMP(geo::Mat6& A, rt::FArray<int, 6>& INDX, int N, float& D, int& IERR) {
    rt::FArray<float, 6> VV;  // implicit scale factor of each row
    IERR = 0;
    D = 1.0f;
    if (N < 1 || N > 6) {
        IERR = 1;
        return;
    }
    for (int i = 1; i <= N; ++i) {
        float big = 0.0f;
        for (int j = 1; j <= N; ++j) {
            const float t = std::fabs(A(i, j));
            if (t > big) big = t;
        }
        if (big == 0.0f) {
            GUIERR(PROGID.PROG_TITLE.trimmed(), "Singular matrix in LUDCMP");
            IERR = 1;
            return;
        }
        VV(i) = 1.0f / big;
    }
    for (int j = 1; j <= N; ++j) {
        for (int i = 1; i <= j - 1; ++i) {
            float sum = A(i, j);
            for (int k = 1; k <= i - 1; ++k) sum = sum - A(i, k) * A(k, j);
            A(i, j) = sum;
        }
        float big = 0.0f;
        int ipiv = j;  // stays j when no merit qualifies (a column of NaN)
        for (int i = j; i <= N; ++i) {
            float sum = A(i, j);
            for (int k = 1; k <= j - 1; ++k) sum = sum - A(i, k) * A(k, j);
            A(i, j) = sum;
            const float merit = VV(i) * std::fabs(sum);
            if (merit >= big) {
                big = merit;
                ipiv = i;
            }
        }
        if (ipiv != j) {
            for (int k = 1; k <= N; ++k) {
                const float t = A(ipiv, k);
                A(ipiv, k) = A(j, k);
                A(j, k) = t;
            }
            D = -D;
            VV(ipiv) = VV(j);
        }
        INDX(j) = ipiv;
        if (j != N) {
            if (A(j, j) == 0.0f) A(j, j) = 1.0e-20f;
            const float dum = 1.0f / A(j, j);
            for (int i = j + 1; i <= N; ++i) A(i, j) = A(i, j) * dum;
        }
    }
    if (A(N, N) == 0.0f) A(N, N) = 1.0e-20f;
}

void LUBKSB(const geo::Mat6& A, const rt::FArray<int, 6>& INDX, int N, rt::FArray<float, 6>& B) {
    int ii = 0;  // first row with a non-zero right-hand side, 0 until found
    for (int i = 1; i <= N; ++i) {
        const int ll = INDX(i);
        float sum = B(ll);
        B(ll) = B(i);
        if (ii != 0) {
            for (int j = ii; j <= i - 1; ++j) sum = sum - A(i, j) * B(j);
        } else if (sum != 0.0f) {
            ii = i;
        }
        B(i) = sum;
    }
    for (int i = N; i >= 1; --i) {
        float sum = B(i);
        for (int j = i + 1; j <= N; ++j) sum = sum - A(i, j) * B(j);
        B(i) = sum / A(i, i);
    }
}

void minv_dense(const float* a, float* ainv, float& DET, int N, int capacity) {
    geo::Mat6 Z;  // the factors
    geo::Mat6 Y;  // identity, then the inverse
    rt::FArray<int, 6> INDX;
    if (N < 1 || N > 6 || N * N > capacity) {
        DET = 0.0f;
        return;
    }
    // The dense N x N matrix, column by column, as the 1-based element (i, j).
    auto at = [N](int i, int j) { return (j - 1) * N + (i - 1); };
    for (int i = 1; i <= N; ++i)
        for (int j = 1; j <= N; ++j) {
            Z(i, j) = a[at(i, j)];
            Y(i, j) = 0.0f;
        }
    for (int i = 1; i <= N; ++i) Y(i, i) = 1.0f;
    float D = 1.0f;
    int IERR = 0;
    LUDCMP(Z, INDX, N, D, IERR);
    if (IERR == 1) {
        DET = 0.0f;
        return;
    }
    DET = D;
    for (int i = 1; i <= N; ++i) DET = DET * Z(i, i);
    rt::FArray<float, 6> col;
    for (int j = 1; j <= N; ++j) {
        for (int i = 1; i <= N; ++i) col(i) = Y(i, j);
        LUBKSB(Z, INDX, N, col);
        for (int i = 1; i <= N; ++i) Y(i, j) = col(i);
    }
    for (int i = 1; i <= N; ++i)
        for (int j = 1; j <= N; ++j) ainv[at(i, j)] = Y(i, j);
}
