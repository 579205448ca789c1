// Unconstrained refinement of the orientation matrix and the cell, with and without omega zero.
#include <gtest/gtest.h>

#include <cmath>

#include "lsq_table.h"

namespace {

using lsqtest::Hkl;

const ref::Cell kTriclinic{7.812, 9.433, 11.205, 88.4, 104.3, 93.7};

class UnconstrainedRefinement : public lsqtest::RefinementTest {};

TEST_F(UnconstrainedRefinement, RecoversMatrixAndCellFromExactAngles) {
    const ref::M3 ub = lsqtest::orientation_matrix(kTriclinic);
    lsqtest::fill_table(ub, lsqtest::spread_reflections());
    const FITVALS_t table = FITVALS;
    int ierr = -1;
    LSQ(FITVALS.NFIT, FITVALS.ANGLESFIT, FITVALS.IHFIT, ierr);
    ASSERT_EQ(ierr, 0);
    lsqtest::expect_ub(ub, 2e-6);
    lsqtest::expect_cell(kTriclinic, 2e-4, 2e-3);
    EXPECT_NEAR(UNITCELL.CELL(7), ref::reciprocal(kTriclinic).volume, 0.05);
    // A perfect fit: the uncertainties vanish to float precision.
    for (int k = 1; k <= 3; ++k) EXPECT_LT(UNITCELL.ESD(k), 2e-4) << k;
    for (int k = 4; k <= 6; ++k) EXPECT_LT(UNITCELL.ESD(k), 2e-3) << k;
    EXPECT_LT(UNITCELL.ESD(7), 0.05);
    // BMAT belongs to the refined cell.
    const ref::M3 b = ref::bmatrix(kTriclinic);
    for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 3; ++j) EXPECT_NEAR(UNITCELL.BMAT(i, j), b[i - 1][j - 1], 2e-6);
    EXPECT_EQ(XTALOFF.OMZERO, 0.0f);
    EXPECT_TRUE(wl::model().boxes.empty());
    for (int i = 1; i <= FITVALS.NFIT; ++i)
        for (int k = 1; k <= 4; ++k) EXPECT_EQ(FITVALS.ANGLESFIT(i, k), table.ANGLESFIT(i, k));
}

TEST_F(UnconstrainedRefinement, UncertaintiesGrowInProportionToTheScatterOfTheAngles) {
    const ref::M3 ub = lsqtest::orientation_matrix(kTriclinic);
    const auto refl = lsqtest::spread_reflections();
    rt::FArray<float, 7> esd[2];
    for (int pass = 0; pass < 2; ++pass) {
        lsqtest::fill_table(ub, refl);
        const float scale = pass == 0 ? 0.01f : 0.02f;
        // A fixed pattern of errors in every angle.
        for (int i = 1; i <= FITVALS.NFIT; ++i)
            for (int k = 1; k <= 4; ++k)
                FITVALS.ANGLESFIT(i, k) += scale * std::sin(float(7 * i + 3 * k));
        int ierr = -1;
        LSQ(FITVALS.NFIT, FITVALS.ANGLESFIT, FITVALS.IHFIT, ierr);
        ASSERT_EQ(ierr, 0);
        esd[pass] = UNITCELL.ESD;
    }
    for (int k = 1; k <= 7; ++k) {
        EXPECT_GT(esd[0](k), 0.0f) << k;
        EXPECT_NEAR(esd[1](k) / esd[0](k), 2.0, 0.1) << k;
    }
    // Of the order of the errors put in: a hundredth of a degree moves a length of 10 A by about
    // a thousandth of an Angstrom.
    EXPECT_GT(esd[0](1), 1e-4f);
    EXPECT_LT(esd[0](1), 1e-2f);
}

TEST_F(UnconstrainedRefinement, ThreeReflectionsFixTheMatrixAndKeepTheEarlierUncertainties) {
    const ref::M3 ub = lsqtest::orientation_matrix(kTriclinic);
    lsqtest::fill_table(ub, {{2, -1, 1}, {-1, 2, 2}, {3, 1, -2}});
    for (int k = 1; k <= 7; ++k) UNITCELL.ESD(k) = 0.5f * k;
    int ierr = -1;
    LSQ(3, FITVALS.ANGLESFIT, FITVALS.IHFIT, ierr);
    ASSERT_EQ(ierr, 0);
    lsqtest::expect_ub(ub, 2e-6);
    lsqtest::expect_cell(kTriclinic, 2e-4, 2e-3);
    for (int k = 1; k <= 7; ++k) EXPECT_EQ(UNITCELL.ESD(k), 0.5f * k);
}

TEST_F(UnconstrainedRefinement, IndicesInOnePlaneChangeNothing) {
    struct Case {
        const char* what;
        std::vector<Hkl> refl;
        std::vector<std::string> boxes;
    };
    const Case cases[] = {
        {"collinear indices: status only", {{1, 1, 1}, {2, 2, 2}, {3, 3, 3}}, {}},
        {"one zone, a zero row of the normal matrix", {{1, 0, 0}, {0, 1, 0}, {1, 1, 0}, {2, -1, 0}},
         {"Singular matrix in LUDCMP"}},
    };
    const ref::M3 ub = lsqtest::orientation_matrix(kTriclinic);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        wl::reset_model();
        lsqtest::fill_table(ub, c.refl);
        mark_records();
        const UNITCELL_t u = UNITCELL;
        const XTALOFF_t x = XTALOFF;
        int ierr = -1;
        LSQ(FITVALS.NFIT, FITVALS.ANGLESFIT, FITVALS.IHFIT, ierr);
        EXPECT_EQ(ierr, 1);
        expect_records_unchanged(u, x);
        EXPECT_EQ(lsqtest::box_texts(), c.boxes);

        wl::reset_model();
        LSQ_ZERO(ierr);
        EXPECT_EQ(ierr, 1);
        expect_records_unchanged(u, x);
    }
}

TEST_F(UnconstrainedRefinement, MatrixWithoutCellIsAFailureNotAResult) {
    // Independent indices, but every observed vector in one plane (chi = 0 at omega = 0): the
    // fitted matrix is singular and has no cell.
    const ref::M3 ub = lsqtest::orientation_matrix(kTriclinic);
    lsqtest::fill_table(ub, lsqtest::spread_reflections());
    for (int i = 1; i <= FITVALS.NFIT; ++i) FITVALS.ANGLESFIT(i, 3) = 0.0f;
    mark_records();
    const UNITCELL_t u = UNITCELL;
    const XTALOFF_t x = XTALOFF;
    int ierr = 0;
    LSQ(FITVALS.NFIT, FITVALS.ANGLESFIT, FITVALS.IHFIT, ierr);
    EXPECT_NE(ierr, 0);
    expect_records_unchanged(u, x);
    ASSERT_FALSE(wl::model().boxes.empty());
    EXPECT_EQ(wl::model().boxes.back().text, "Invalid Orientation Matrix in OMTOB");
}

TEST_F(UnconstrainedRefinement, ExactOmegasGiveAZeroAfterOneCycle) {
    const ref::M3 ub = lsqtest::orientation_matrix(kTriclinic);
    lsqtest::fill_table(ub, lsqtest::spread_reflections());
    XTALOFF.OMZERO = 3.0f;
    XTALOFF.DELX(2) = 0.5f;
    int ierr = -1;
    LSQ_ZERO(ierr);
    ASSERT_EQ(ierr, 0);
    EXPECT_LT(std::fabs(XTALOFF.OMZERO), 1e-3f);
    EXPECT_EQ(XTALOFF.DELX(2), 0.5f);  // the offset is not this refinement's
    lsqtest::expect_ub(ub, 2e-6);
    EXPECT_TRUE(wl::model().boxes.empty());
}

TEST_F(UnconstrainedRefinement, OmegaZeroMovesTowardsAConstantShiftOfTheOmegas) {
    const ref::M3 ub = lsqtest::orientation_matrix(kTriclinic);
    lsqtest::fill_table(ub, lsqtest::spread_reflections());
    lsqtest::shift_omegas(0, 0, 0, 0.5f);
    const FITVALS_t table = FITVALS;
    int ierr = -1;
    LSQ_ZERO(ierr);
    ASSERT_EQ(ierr, 0);
    // Each cycle removes only a part of the zero, as the orientation absorbs some of it: after
    // the tenth cycle the zero has come a good way towards 0.5 and the warning is shown.
    EXPECT_GT(XTALOFF.OMZERO, 0.2f);
    EXPECT_LT(XTALOFF.OMZERO, 0.5f);
    EXPECT_EQ(lsqtest::box_texts(), std::vector<std::string>{"WARNING: NO CONVERGENCE AFTER 10 CYCLES IN LSQ_OFFSETS"});
    for (int i = 1; i <= FITVALS.NFIT; ++i)
        for (int k = 1; k <= 4; ++k) EXPECT_EQ(FITVALS.ANGLESFIT(i, k), table.ANGLESFIT(i, k));
}

}  // namespace
