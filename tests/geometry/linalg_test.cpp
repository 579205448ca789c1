// Inverse and determinant of small matrices: pivoting, parity, aliasing, dense storage of any
// order, and the two kinds of singular input.
#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <vector>

#include "include/geometry.h"
#include "include/shared.h"
#include "platform/model.h"

namespace {

class LinearAlgebra : public ::testing::Test {
protected:
    void SetUp() override {
        reset_shared_records();
        wl::reset_model();
    }
    static const std::vector<wl::BoxRecord>& boxes() { return wl::model().boxes; }
};

// Fills a dense store column by column from a matrix written row by row.
template <int M>
void dense(rt::FArray<float, M>& out, int n, std::initializer_list<float> rows) {
    auto it = rows.begin();
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j) out((j - 1) * n + i) = *it++;
}

// Independent inverse by Gauss-Jordan elimination in double, row by row.
std::vector<double> reference_inverse(const std::vector<double>& a_rows, int n) {
    std::vector<double> a = a_rows, inv(n * n, 0.0);
    for (int i = 0; i < n; ++i) inv[i * n + i] = 1.0;
    for (int c = 0; c < n; ++c) {
        int p = c;
        for (int r = c + 1; r < n; ++r)
            if (std::fabs(a[r * n + c]) > std::fabs(a[p * n + c])) p = r;
        for (int k = 0; k < n; ++k) {
            std::swap(a[c * n + k], a[p * n + k]);
            std::swap(inv[c * n + k], inv[p * n + k]);
        }
        const double d = a[c * n + c];
        for (int k = 0; k < n; ++k) { a[c * n + k] /= d; inv[c * n + k] /= d; }
        for (int r = 0; r < n; ++r) {
            if (r == c) continue;
            const double f = a[r * n + c];
            for (int k = 0; k < n; ++k) { a[r * n + k] -= f * a[c * n + k]; inv[r * n + k] -= f * inv[c * n + k]; }
        }
    }
    return inv;
}

TEST_F(LinearAlgebra, SmallCasesGiveExactInverseAndSignedDeterminant) {
    struct Case {
        int n;
        std::initializer_list<float> a, inv;
        float det;
    };
    const Case cases[] = {
        {3, {1, 0, 0, 0, 1, 0, 0, 0, 1}, {1, 0, 0, 0, 1, 0, 0, 0, 1}, 1.0f},
        {2, {0, 1, 1, 0}, {0, 1, 1, 0}, -1.0f},  // one row exchange
        {1, {4}, {0.25f}, 4.0f},
        {3, {2, 0, 0, 0, 0, 5, 0, 4, 0}, {0.5f, 0, 0, 0, 0, 0.25f, 0, 0.2f, 0}, -40.0f},
    };
    for (const auto& c : cases) {
        rt::FArray<float, 9> a, ainv, want;
        dense(a, c.n, c.a);
        dense(want, c.n, c.inv);
        float det = 0;
        MINV(a, ainv, det, c.n);
        EXPECT_FLOAT_EQ(det, c.det) << "order " << c.n;
        for (int k = 1; k <= c.n * c.n; ++k) EXPECT_FLOAT_EQ(ainv(k), want(k)) << "order " << c.n << " element " << k;
    }
    EXPECT_TRUE(boxes().empty());
}

TEST_F(LinearAlgebra, GeneralMatricesOfOrderThreeToSixAgreeWithDoublePrecision) {
    for (int n = 3; n <= 6; ++n) {
        std::vector<double> rows(n * n);
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j) rows[i * n + j] = (i == j ? 3.0 : 0.0) + std::sin(1.0 + 7 * i + 3 * j);
        const std::vector<double> inv = reference_inverse(rows, n);
        rt::FArray<float, 36> a, ainv;
        for (int i = 1; i <= n; ++i)
            for (int j = 1; j <= n; ++j) a((j - 1) * n + i) = float(rows[(i - 1) * n + (j - 1)]);
        float det = 0;
        MINV(a, ainv, det, n);
        // Determinant as the product of the eliminated pivots, computed independently.
        std::vector<double> lu = rows;
        double ref_det = 1;
        for (int c = 0; c < n; ++c) {
            int p = c;
            for (int r = c + 1; r < n; ++r)
                if (std::fabs(lu[r * n + c]) > std::fabs(lu[p * n + c])) p = r;
            if (p != c) {
                for (int k = 0; k < n; ++k) std::swap(lu[c * n + k], lu[p * n + k]);
                ref_det = -ref_det;
            }
            ref_det *= lu[c * n + c];
            for (int r = c + 1; r < n; ++r) {
                const double f = lu[r * n + c] / lu[c * n + c];
                for (int k = c; k < n; ++k) lu[r * n + k] -= f * lu[c * n + k];
            }
        }
        EXPECT_NEAR(det, ref_det, 1e-5 * std::fabs(ref_det)) << "order " << n;
        for (int i = 1; i <= n; ++i)
            for (int j = 1; j <= n; ++j)
                EXPECT_NEAR(ainv((j - 1) * n + i), inv[(i - 1) * n + (j - 1)], 2e-6)
                    << "order " << n << " (" << i << "," << j << ")";
    }
}

TEST_F(LinearAlgebra, OrderFourIsReadAsSixteenConsecutiveValues) {
    rt::FArray2<float, 4, 4> a, ainv;
    const float rows[4][4] = {{2, 1, 0, 0}, {1, 3, 1, 0}, {0, 1, 4, 1}, {0, 0, 1, 5}};
    for (int i = 1; i <= 4; ++i)
        for (int j = 1; j <= 4; ++j) a(i, j) = rows[i - 1][j - 1];
    float det = 0;
    MINV(a, ainv, det, 4);
    EXPECT_NEAR(det, 85.0f, 1e-4f);  // the continuant 2, 5, 18, 85
    for (int i = 1; i <= 4; ++i)
        for (int j = 1; j <= 4; ++j) {
            float s = 0;
            for (int k = 1; k <= 4; ++k) s += a(i, k) * ainv(k, j);
            EXPECT_NEAR(s, i == j ? 1.0f : 0.0f, 1e-6f);
        }
}

TEST_F(LinearAlgebra, InvertsInPlaceWhenBothArgumentsAreTheSameMatrix) {
    geo::Mat3 m;
    const float rows[3][3] = {{4, 1, 2}, {0, 3, 1}, {1, 0, 2}};
    for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 3; ++j) m(i, j) = rows[i - 1][j - 1];
    const geo::Mat3 original = m;
    float det = 0;
    MINV(m, m, det, 3);
    EXPECT_NEAR(det, 19.0f, 1e-5f);
    for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 3; ++j) {
            float s = 0;
            for (int k = 1; k <= 3; ++k) s += original(i, k) * m(k, j);
            EXPECT_NEAR(s, i == j ? 1.0f : 0.0f, 1e-6f);
        }
}

TEST_F(LinearAlgebra, AllZeroRowShowsOneBoxPerCallAndLeavesTheResultAlone) {
    geo::Mat3 a, ainv;
    a(1, 1) = 1; a(1, 2) = 2; a(1, 3) = 3;
    a(3, 1) = 4; a(3, 2) = 5; a(3, 3) = 6;  // row 2 stays zero
    ainv.fill(7.0f);
    float det = 5;
    MINV(a, ainv, det, 3);
    EXPECT_EQ(det, 0.0f);
    for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 3; ++j) EXPECT_EQ(ainv(i, j), 7.0f);
    // In place: the matrix is left untouched.
    const geo::Mat3 before = a;
    MINV(a, a, det, 3);
    for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 3; ++j) EXPECT_EQ(a(i, j), before(i, j));
    ASSERT_EQ(boxes().size(), 2u);
    for (const auto& b : boxes()) {
        EXPECT_EQ(b.title, "Kelvorantide v3.72");
        EXPECT_EQ(b.text, "Singular matrix in LUDCMP");
    }
}

TEST_F(LinearAlgebra, DependentRowsGiveTinyDeterminantWithoutBox) {
    rt::FArray<float, 4> a, ainv;
    dense(a, 2, {1, 2, 1, 2});
    float det = 0;
    MINV(a, ainv, det, 2);
    // Equal merits: the later row is the pivot (one exchange), and the zero last pivot becomes 1e-20.
    EXPECT_EQ(det, -1.0e-20f);
    EXPECT_TRUE(boxes().empty());

    geo::Mat6 lu;
    lu(1, 1) = 1; lu(1, 2) = 2; lu(2, 1) = 1; lu(2, 2) = 2;
    rt::FArray<int, 6> indx;
    float d = 0;
    int ierr = -1;
    LUDCMP(lu, indx, 2, d, ierr);
    EXPECT_EQ(ierr, 0);
    EXPECT_EQ(d, -1.0f);
    EXPECT_EQ(indx(1), 2);
    EXPECT_EQ(indx(2), 2);
    EXPECT_EQ(lu(2, 2), 1.0e-20f);
}

TEST_F(LinearAlgebra, BackSubstitutionSkipsLeadingZerosOfTheRightHandSide) {
    const float rows[3][3] = {{1, 2, 0}, {3, 1, 1}, {0, 2, 5}};
    geo::Mat6 lu;
    for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 3; ++j) lu(i, j) = rows[i - 1][j - 1];
    rt::FArray<int, 6> indx;
    float d = 0;
    int ierr = 0;
    LUDCMP(lu, indx, 3, d, ierr);
    ASSERT_EQ(ierr, 0);
    const std::vector<double> inv = reference_inverse({1, 2, 0, 3, 1, 1, 0, 2, 5}, 3);
    for (int col = 1; col <= 3; ++col) {  // unit right-hand sides: 1, 2 or 0 leading zeros
        rt::FArray<float, 6> b;
        b(col) = 1.0f;
        LUBKSB(lu, indx, 3, b);
        for (int i = 1; i <= 3; ++i) EXPECT_NEAR(b(i), inv[(i - 1) * 3 + (col - 1)], 1e-6) << col << " " << i;
    }
}

TEST_F(LinearAlgebra, OrderOutsideOneToSixIsRefusedWithoutTouchingTheResult) {
    rt::FArray<float, 49> a, ainv;
    ainv.fill(3.0f);
    for (int n : {0, 7, -1}) {
        float det = 9;
        MINV(a, ainv, det, n);
        EXPECT_EQ(det, 0.0f);
    }
    for (float x : ainv) EXPECT_EQ(x, 3.0f);
    // A store too small for the order is refused the same way.
    rt::FArray<float, 4> small, small_inv;
    float det = 9;
    MINV(small, small_inv, det, 3);
    EXPECT_EQ(det, 0.0f);
}

}  // namespace
