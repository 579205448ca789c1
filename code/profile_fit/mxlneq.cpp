// Gauss-Jordan elimination with full pivoting, in 32-bit arithmetic, on a column-major matrix.
// Serves the profile fit (its normalised normal matrix) and the symmetry-constrained cell
// refinement (its 3 x 3 start and its bordered system with one right-hand side).
#include <cmath>

#include "include/profile_fit.h"

void MXLNEQ(float* A, int NA, int N, int IA, float& DET, int& IRANK, float EPS, int* NTEMP, int NT,
            int M) {
    DET = 1.0f;
    IRANK = 0;
    if (N <= 0) return;
    // Arguments that the storage cannot hold are refused before anything is touched.
    if (M < 0 || IA < N || N > 255 || N > NT || long(IA) * long(N + M - 1) + long(N) > long(NA)) return;

    const int NM = N + M;
    auto a = [&](int i, int j) -> float& { return A[(i - 1) + (j - 1) * IA]; };

    for (int k = 1; k <= N; ++k) {
        // Largest remaining element, columns then rows in ascending order; ties keep the first.
        float big = 0.0f;
        float piv = 0.0f;
        int irow = k;
        int jcol = k;
        for (int j = k; j <= N; ++j) {
            for (int i = k; i <= N; ++i) {
                if (std::fabs(a(i, j)) > big) {
                    big = std::fabs(a(i, j));
                    piv = a(i, j);
                    irow = i;
                    jcol = j;
                }
            }
        }
        if (std::fabs(piv) < EPS || piv == 0.0f) {  // a zero pivot is never divided by
            IRANK = k - 1;
            return;
        }
        if (std::fabs(DET) > 1.0e38f && piv > 1.0f) {
            IRANK = k - 1;
            return;
        }
        DET = DET * piv;
        NTEMP[k - 1] = irow * 256 + jcol;
        if (irow != k) {
            DET = -DET;
            for (int j = 1; j <= NM; ++j) {
                const float t = a(irow, j);
                a(irow, j) = a(k, j);
                a(k, j) = t;
            }
        }
        if (jcol != k) {
            DET = -DET;
            for (int i = 1; i <= N; ++i) {
                const float t = a(i, jcol);
                a(i, jcol) = a(i, k);
                a(i, k) = t;
            }
        }
        const float r = 1.0f / piv;
        for (int j = 1; j <= NM; ++j) a(k, j) = a(k, j) * r;
        a(k, k) = 0.0f;
        // Every other row i less t(i) = A(i, k) times row k, column by column (each element
        // takes the same single operation as row by row; the columns run down contiguous storage).
        float t[256];
        float* ck = &a(1, k);
        for (int i = 0; i < N; ++i) t[i] = ck[i];
        for (int j = 1; j <= NM; ++j) {
            float* cj = &a(1, j);
            const float akj = cj[k - 1];
            for (int i = 0; i < k - 1; ++i) cj[i] = cj[i] - t[i] * akj;
            for (int i = k; i < N; ++i) cj[i] = cj[i] - t[i] * akj;
        }
        for (int i = 0; i < N; ++i)
            if (i != k - 1) ck[i] = -t[i] * r;
        a(k, k) = r;
    }
    IRANK = N;

    // Undo the exchanges in reverse order: row exchanges come back as column exchanges of the
    // inverse, column exchanges as row exchanges of the inverse and of the solutions.
    for (int k = N; k >= 1; --k) {
        const int irow = NTEMP[k - 1] / 256;
        const int jcol = NTEMP[k - 1] % 256;
        if (irow != k) {
            for (int i = 1; i <= N; ++i) {
                const float t = a(i, k);
                a(i, k) = a(i, irow);
                a(i, irow) = t;
            }
        }
        if (jcol != k) {
            for (int j = 1; j <= NM; ++j) {
                const float t = a(k, j);
                a(k, j) = a(jcol, j);
                a(jcol, j) = t;
            }
        }
    }
}
