#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "include/profile_fit.h"

namespace {

// Fills the leading block of a column-major matrix from rows written as in the text.
template <int R, int C>
void set_rows(rt::FArray2<float, R, C>& a, std::initializer_list<std::initializer_list<float>> rows) {
    int i = 0;
    for (auto& row : rows) {
        ++i;
        int j = 0;
        for (float v : row) a(i, ++j) = v;
    }
}

}  // namespace

TEST(GaussJordan, SmallBlocksPivotOrderDeterminantAndRank) {
    // Order 0: nothing happens.
    {
        rt::FArray2<float, 6, 6> a;
        a(1, 1) = 3.0f;
        rt::FArray<int, 6> nt;
        float det = 0;
        int rank = -5;
        MXLNEQ(a, 0, 6, det, rank, 1.0e-6f, nt, 0);
        EXPECT_EQ(rank, 0);
        EXPECT_EQ(det, 1.0f);
        EXPECT_EQ(a(1, 1), 3.0f);
    }
    // 1 x 1.
    {
        rt::FArray2<float, 6, 6> a;
        a(1, 1) = 4.0f;
        rt::FArray<int, 6> nt;
        float det;
        int rank;
        MXLNEQ(a, 1, 6, det, rank, 1.0e-6f, nt, 0);
        EXPECT_EQ(rank, 1);
        EXPECT_EQ(det, 4.0f);
        EXPECT_EQ(a(1, 1), 0.25f);
        EXPECT_EQ(nt(1), 257);
    }
    // Ties of magnitude: the column-1 element is met first, so row 2, column 1 is the first pivot.
    {
        rt::FArray2<float, 6, 6> a;
        set_rows(a, {{1, 2}, {2, 1}});
        rt::FArray<int, 6> nt;
        float det;
        int rank;
        MXLNEQ(a, 2, 6, det, rank, 1.0e-6f, nt, 0);
        EXPECT_EQ(rank, 2);
        EXPECT_EQ(nt(1), 513);
        EXPECT_FLOAT_EQ(det, -3.0f);
        EXPECT_FLOAT_EQ(a(1, 1), -1.0f / 3.0f);
        EXPECT_FLOAT_EQ(a(1, 2), 2.0f / 3.0f);
        EXPECT_FLOAT_EQ(a(2, 1), 2.0f / 3.0f);
        EXPECT_FLOAT_EQ(a(2, 2), -1.0f / 3.0f);
    }
    // All zero: no pivot, matrix untouched.
    {
        rt::FArray2<float, 6, 6> a;
        rt::FArray<int, 6> nt;
        float det;
        int rank;
        MXLNEQ(a, 3, 6, det, rank, 1.0e-6f, nt, 0);
        EXPECT_EQ(rank, 0);
        EXPECT_EQ(det, 1.0f);
        for (int k = 0; k < a.size(); ++k) EXPECT_EQ(a.data()[k], 0.0f);
    }
    // Singular: the first pivot is 4 at (2, 2), then nothing is left.
    {
        rt::FArray2<float, 6, 6> a;
        set_rows(a, {{1, 2}, {2, 4}});
        rt::FArray<int, 6> nt;
        float det;
        int rank;
        MXLNEQ(a, 2, 6, det, rank, 1.0e-6f, nt, 0);
        EXPECT_EQ(rank, 1);
        EXPECT_EQ(nt(1), 2 * 256 + 2);
        EXPECT_EQ(det, 4.0f);
    }
}

TEST(GaussJordan, PivotEqualToToleranceIsTakenSmallerStops) {
    for (float scale : {1.0f, 0.999f}) {
        rt::FArray2<float, 2, 2> a;
        set_rows(a, {{1.0e-3f * scale, 0}, {0, 1.0e-3f * scale}});
        rt::FArray<int, 2> nt;
        float det;
        int rank;
        MXLNEQ(a, 2, 2, det, rank, 1.0e-3f, nt, 0);
        EXPECT_EQ(rank, scale == 1.0f ? 2 : 0) << scale;
    }
}

TEST(GaussJordan, InverseAndSolutionsAgreeWithDoubleReferenceWhateverTheExchanges) {
    std::mt19937 gen(7);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    for (int n : {3, 5, 12}) {
        // Leading dimension 15, one right-hand side: the shape of the constrained cell refinement.
        rt::FArray2<float, 15, 16> a;
        double m[12][13];
        for (int i = 0; i < n; ++i)
            for (int j = 0; j <= n; ++j) {
                m[i][j] = float(u(gen));
                a(i + 1, j + 1) = float(m[i][j]);
            }
        rt::FArray<int, 15> nt;
        float det;
        int rank;
        MXLNEQ(a, n, 15, det, rank, 1.0e-6f, nt, 1);
        ASSERT_EQ(rank, n);
        // A x = b, and inverse x A = identity, in double.
        for (int i = 0; i < n; ++i) {
            double r = -m[i][n];
            for (int j = 0; j < n; ++j) r += m[i][j] * a(j + 1, n + 1);
            EXPECT_NEAR(r, 0.0, 1e-4) << n << " row " << i;
            for (int k = 0; k < n; ++k) {
                double p = 0;
                for (int j = 0; j < n; ++j) p += double(a(i + 1, j + 1)) * m[j][k];
                EXPECT_NEAR(p, i == k ? 1.0 : 0.0, 1e-4);
            }
        }
        // Rows and columns beyond the block and the right-hand side are never touched.
        EXPECT_EQ(a(n + 1, 1), 0.0f);
        EXPECT_EQ(a(1, n + 2), 0.0f);
        // Determinant against a double elimination.
        double w[12][12];
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j) w[i][j] = m[i][j];
        double d = 1;
        for (int k = 0; k < n; ++k) {
            int p = k;
            for (int i = k + 1; i < n; ++i)
                if (std::fabs(w[i][k]) > std::fabs(w[p][k])) p = i;
            if (p != k) {
                for (int j = 0; j < n; ++j) std::swap(w[k][j], w[p][j]);
                d = -d;
            }
            d *= w[k][k];
            for (int i = k + 1; i < n; ++i) {
                const double f = w[i][k] / w[k][k];
                for (int j = k; j < n; ++j) w[i][j] -= f * w[k][j];
            }
        }
        EXPECT_NEAR(det, d, 1e-4 * std::fabs(d));
    }
}

TEST(GaussJordan, OverflowGuardStopsOnlyOnPositivePivotAboveOne) {
    // Diagonal 1e20, 1e20, then 2 (positive) or -2 (negative): |DET| exceeds 1e38 before step 3.
    for (float third : {2.0f, -2.0f}) {
        rt::FArray2<float, 3, 3> a;
        set_rows(a, {{1.0e20f, 0, 0}, {0, 1.0e20f, 0}, {0, 0, third}});
        rt::FArray<int, 3> nt;
        float det;
        int rank;
        MXLNEQ(a, 3, 3, det, rank, 1.0e-6f, nt, 0);
        if (third > 0) {
            EXPECT_EQ(rank, 2);
        } else {
            EXPECT_EQ(rank, 3);
            EXPECT_TRUE(std::isinf(det));
        }
    }
}

TEST(GaussJordan, ArgumentsBeyondTheStorageAreRefusedUntouched) {
    rt::FArray2<float, 3, 3> a;
    a(1, 1) = 2.0f;
    rt::FArray<int, 3> nt;
    float det;
    int rank = 9;
    MXLNEQ(a, 3, 3, det, rank, 1.0e-6f, nt, 1);  // no room for a right-hand side column
    EXPECT_EQ(rank, 0);
    EXPECT_EQ(a(1, 1), 2.0f);
    rank = 9;
    MXLNEQ(a, 4, 3, det, rank, 1.0e-6f, nt, 0);  // order above the leading dimension
    EXPECT_EQ(rank, 0);
    rt::FArray2<float, 6, 6> b;
    rt::FArray<int, 2> nt2;
    MXLNEQ(b, 3, 6, det, rank, 1.0e-6f, nt2, 0);  // pivot record too short
    EXPECT_EQ(rank, 0);
}
