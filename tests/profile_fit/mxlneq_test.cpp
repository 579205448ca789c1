#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

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
    using Rows = std::vector<std::vector<float>>;
    struct Case {
        const char* what;
        int n;
        Rows rows;        // the leading block before, as written
        int rank;
        float det;
        int first_pivot;  // NTEMP(1) = 256 * row + column; 0: not checked
        Rows after;       // the leading block after; empty: not checked
    };
    const float third = 1.0f / 3.0f;
    const Case cases[] = {
        {"order 0: nothing happens", 0, {{3}}, 0, 1.0f, 0, {{3}}},
        {"1 x 1", 1, {{4}}, 1, 4.0f, 257, {{0.25f}}},
        {"ties of magnitude: the column-1 element is met first, so row 2, column 1 is the first pivot", 2,
         {{1, 2}, {2, 1}}, 2, -3.0f, 2 * 256 + 1, {{-third, 2 * third}, {2 * third, -third}}},
        {"all zero: no pivot, matrix untouched", 3, {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}}, 0, 1.0f, 0,
         {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}}},
        {"singular: the first pivot is 4 at (2, 2), then nothing is left", 2, {{1, 2}, {2, 4}}, 1, 4.0f,
         2 * 256 + 2, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        rt::FArray2<float, 6, 6> a;
        for (std::size_t i = 0; i < c.rows.size(); ++i)
            for (std::size_t j = 0; j < c.rows[i].size(); ++j) a(int(i) + 1, int(j) + 1) = c.rows[i][j];
        rt::FArray<int, 6> nt;
        float det = -5.0f;
        int rank = -5;
        MXLNEQ(a, c.n, 6, det, rank, 1.0e-6f, nt, 0);
        EXPECT_EQ(rank, c.rank);
        EXPECT_FLOAT_EQ(det, c.det);
        if (c.first_pivot != 0) {
            EXPECT_EQ(nt(1), c.first_pivot);
        }
        for (std::size_t i = 0; i < c.after.size(); ++i)
            for (std::size_t j = 0; j < c.after[i].size(); ++j)
                EXPECT_FLOAT_EQ(a(int(i) + 1, int(j) + 1), c.after[i][j]) << "(" << i + 1 << ", " << j + 1 << ")";
        // Nothing outside the leading block is written.
        for (int i = 1; i <= 6; ++i)
            for (int j = 1; j <= 6; ++j)
                if (i > int(c.rows.size()) || j > int(c.rows.size())) {
                    EXPECT_EQ(a(i, j), 0.0f);
                }
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
