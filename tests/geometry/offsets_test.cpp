// Refinement of the crystal offset and the omega zero together with the orientation matrix.
#include <gtest/gtest.h>

#include <cmath>

#include "lsq_table.h"

namespace {

const ref::Cell kCell{7.812, 9.433, 11.205, 88.4, 104.3, 93.7};

class CrystalOffsets : public lsqtest::RefinementTest {};

TEST_F(CrystalOffsets, RecoversOffsetAndZeroFromShiftedOmegas) {
    struct Case {
        const char* what;
        int zero_flag;
        float d1, d2, d3, omzero;
        float tol;  // of the offset
    };
    const Case cases[] = {
        {"offset alone", 0, 0.08f, -0.05f, 0.03f, 0.0f, 0.001f},
        // With the zero refined too, the orientation takes up part of the shifts and the loop
        // stops once the summed residual changes by 5 % or less, short of the exact offset.
        {"offset and zero", 1, -0.06f, 0.04f, 0.07f, 0.0f, 0.015f},
    };
    const ref::M3 ub = lsqtest::orientation_matrix(kCell);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        wl::reset_model();
        lsqtest::fill_table(ub, lsqtest::spread_reflections());
        lsqtest::shift_omegas(c.d1, c.d2, c.d3, c.omzero);
        const FITVALS_t table = FITVALS;
        XTALOFF = XTALOFF_t{};
        UNITCELL.UBOK = 0;
        int ierr = -1;
        LSQ_WITHOFF(c.zero_flag, ierr);
        ASSERT_EQ(ierr, 0);
        EXPECT_EQ(UNITCELL.UBOK, 1);
        EXPECT_NEAR(XTALOFF.DELX(1), c.d1, c.tol);
        EXPECT_NEAR(XTALOFF.DELX(2), c.d2, c.tol);
        EXPECT_NEAR(XTALOFF.DELX(3), c.d3, c.tol);
        if (c.zero_flag == 0) {
            EXPECT_EQ(XTALOFF.OMZERO, 0.0f);
        } else {
            EXPECT_NE(XTALOFF.OMZERO, 0.0f);
            EXPECT_NEAR(XTALOFF.OMZERO, c.omzero, 0.01f);
        }
        EXPECT_TRUE(wl::model().boxes.empty());
        lsqtest::expect_cell(kCell, 2e-3, 0.02);
        for (int i = 1; i <= FITVALS.NFIT; ++i)
            for (int k = 1; k <= 4; ++k) EXPECT_EQ(FITVALS.ANGLESFIT(i, k), table.ANGLESFIT(i, k));
    }
}

TEST_F(CrystalOffsets, ThreeReflectionsCannotCarryFourParameters) {
    // Three equations for the offset and the zero: the offset system is singular in the first and
    // the second cycle, the summed residual does not change, and the refinement ends settled.
    const ref::M3 ub = lsqtest::orientation_matrix(kCell);
    lsqtest::fill_table(ub, {{2, -1, 1}, {-1, 2, 2}, {3, 1, -2}});
    int ierr = -1;
    LSQ_WITHOFF(1, ierr);
    EXPECT_EQ(ierr, 0);
    EXPECT_EQ(UNITCELL.UBOK, 1);
    for (int k = 1; k <= 3; ++k) EXPECT_EQ(XTALOFF.DELX(k), 0.0f);
    EXPECT_EQ(XTALOFF.OMZERO, 0.0f);
    const std::vector<std::string> expected(2, "SINGULAR MATRIX IN LSQ FOR XTAL OFFSETS");
    EXPECT_EQ(lsqtest::box_texts(), expected);
}

TEST_F(CrystalOffsets, NoDetectorDistanceGivesTheSingularBoxNotAnInfiniteOffset) {
    const ref::M3 ub = lsqtest::orientation_matrix(kCell);
    lsqtest::fill_table(ub, lsqtest::spread_reflections());
    GONIO.GONCON1 = 0.0f;
    int ierr = -1;
    LSQ_WITHOFF(0, ierr);
    EXPECT_EQ(ierr, 0);
    for (int k = 1; k <= 3; ++k) EXPECT_EQ(XTALOFF.DELX(k), 0.0f);
    const auto boxes = lsqtest::box_texts();
    ASSERT_FALSE(boxes.empty());
    for (const auto& b : boxes) EXPECT_EQ(b, "SINGULAR MATRIX IN LSQ FOR XTAL OFFSETS");
    lsqtest::expect_ub(ub, 2e-6);
}

TEST_F(CrystalOffsets, SingularIndicesChangeNothing) {
    const ref::M3 ub = lsqtest::orientation_matrix(kCell);
    lsqtest::fill_table(ub, {{1, 1, 1}, {2, 2, 2}, {3, 3, 3}, {-1, -1, -1}});
    mark_records();
    const UNITCELL_t u = UNITCELL;
    const XTALOFF_t x = XTALOFF;
    int ierr = 0;
    LSQ_WITHOFF(1, ierr);
    EXPECT_EQ(ierr, 1);
    expect_records_unchanged(u, x);
    EXPECT_TRUE(wl::model().boxes.empty());
}

TEST_F(CrystalOffsets, ACentredCrystalWithExactOmegasNeedsNoOffset) {
    const ref::M3 ub = lsqtest::orientation_matrix(kCell);
    lsqtest::fill_table(ub, lsqtest::spread_reflections());
    int ierr = -1;
    LSQ_WITHOFF(1, ierr);
    ASSERT_EQ(ierr, 0);
    for (int k = 1; k <= 3; ++k) EXPECT_NEAR(XTALOFF.DELX(k), 0.0f, 2e-3f);
    EXPECT_NEAR(XTALOFF.OMZERO, 0.0f, 2e-4f);
    lsqtest::expect_ub(ub, 2e-6);
    EXPECT_TRUE(wl::model().boxes.empty());
}

}  // namespace
