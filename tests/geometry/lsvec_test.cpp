// The crystal-system constraints and the symmetry-constrained refinement of the cell.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "lsq_table.h"

namespace {

// ---- Constraints -----------------------------------------------------------------------------

// A reciprocal cell in cosine form with the symmetry of each system (alpha* always 90 degrees).
struct SystemCell {
    int isys;
    float as, bs, cs, cb, cg;  // a*, b*, c*, cos beta*, cos gamma*
    int nparm;
};
const SystemCell kSystems[] = {
    {1, 0.145f, 0.108f, 0.091f, -0.23f, 0.0f, 7},  {2, 0.171f, 0.122f, 0.099f, 0.0f, 0.37f, 7},
    {3, 0.185f, 0.127f, 0.081f, 0.0f, 0.0f, 6},    {4, 0.152f, 0.152f, 0.102f, 0.0f, 0.0f, 5},
    {5, 0.236f, 0.236f, 0.185f, 0.0f, 0.5f, 5},    {6, 0.120f, 0.120f, 0.120f, 0.0f, 0.0f, 4},
};

// Reciprocal metric D' G0 D of the corrected matrix, G0 the metric of the cell in A2.
void corrected_metric(const SystemCell& s, const geo::Mat3& D, double G[3][3]) {
    double G0[3][3] = {{double(s.as) * s.as, double(s.as) * s.bs * s.cg, double(s.as) * s.cs * s.cb},
                       {0, double(s.bs) * s.bs, 0},
                       {0, 0, double(s.cs) * s.cs}};
    G0[1][0] = G0[0][1];
    G0[2][0] = G0[0][2];
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            double sum = 0;
            for (int k = 0; k < 3; ++k)
                for (int l = 0; l < 3; ++l) sum += D(k + 1, i + 1) * G0[k][l] * D(l + 1, j + 1);
            G[i][j] = sum;
        }
}

// The relations of each system on a reciprocal metric, each as a value that vanishes when held.
std::vector<double> broken_relations(int isys, const double G[3][3]) {
    switch (isys) {
    case 1: return {G[0][1], G[1][2]};
    case 2: return {G[0][2], G[1][2]};
    case 3: return {G[0][1], G[0][2], G[1][2]};
    case 4: return {G[0][0] - G[1][1], G[0][1], G[0][2], G[1][2]};
    case 5: return {G[0][0] - G[1][1], G[0][1] - 0.5 * G[0][0], G[0][2], G[1][2]};
    default: return {G[0][0] - G[1][1], G[0][0] - G[2][2], G[0][1], G[0][2], G[1][2]};
    }
}

void load_problem(const SystemCell& s, const geo::Mat3& unconstrained) {
    auto& W = VECLSQ;
    W.A2(1) = s.as;
    W.A2(2) = s.bs;
    W.A2(3) = s.cs;
    W.A2(4) = 0.0f;
    W.A2(5) = s.cb;
    W.A2(6) = s.cg;
    for (int i = 1; i <= 15; ++i)
        for (int j = 1; j <= 16; ++j) W.XA(i, j) = 0.0f;
    // Normal matrix of three unit reflections along the axes: each row of D sees the identity.
    for (int p = 1; p <= 9; ++p) W.XA(p, p) = 1.0f;
    for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 3; ++j) W.XB(3 * (i - 1) + j) = unconstrained(i, j);
}

TEST(CrystalSystemConstraints, SolutionHoldsTheSymmetryOfEachSystemToFirstOrder) {
    // An unconstrained correction close to the identity that breaks every relation.
    geo::Mat3 E;
    const float e[3][3] = {{0.7f, -0.4f, 0.9f}, {0.3f, -0.8f, 0.5f}, {-0.6f, 0.2f, 1.1f}};
    for (SystemCell s : kSystems) {
        SCOPED_TRACE(s.isys);
        for (int i = 1; i <= 3; ++i)
            for (int j = 1; j <= 3; ++j) E(i, j) = (i == j ? 1.0f : 0.0f) + 1e-3f * e[i - 1][j - 1];
        double G[3][3];
        corrected_metric(s, E, G);
        const double scale = double(s.as) * s.as;
        double worst_before = 0;
        for (double r : broken_relations(s.isys, G)) worst_before = std::max(worst_before, std::fabs(r) / scale);
        ASSERT_GT(worst_before, 1e-4);

        load_problem(s, E);
        int ierr = -1, nparm = -1;
        CONSTR(s.isys, ierr, nparm);
        ASSERT_EQ(ierr, 0);
        EXPECT_EQ(nparm, s.nparm);
        geo::Mat3 D;
        for (int i = 1; i <= 3; ++i)
            for (int j = 1; j <= 3; ++j) D(i, j) = VECLSQ.XB(3 * (i - 1) + j);
        corrected_metric(s, D, G);
        for (double r : broken_relations(s.isys, G)) EXPECT_LT(std::fabs(r) / scale, 1e-5);
        // The identity itself is kept.
        load_problem(s, geo::Mat3{});
        for (int p = 1; p <= 9; p += 4) VECLSQ.XB(p) = 1.0f;
        CONSTR(s.isys, ierr, nparm);
        ASSERT_EQ(ierr, 0);
        for (int p = 1; p <= 9; ++p) EXPECT_NEAR(VECLSQ.XB(p), (p == 1 || p == 5 || p == 9) ? 1.0f : 0.0f, 1e-6f) << p;
    }
}

TEST(CrystalSystemConstraints, CubicDiagonalMovesAsOneAndOrthorhombicPairIsTied) {
    geo::Mat3 I;
    for (int i = 1; i <= 3; ++i) I(i, i) = 1.0f;
    int ierr = -1, nparm = 0;
    load_problem(kSystems[5], I);
    CONSTR(6, ierr, nparm);
    ASSERT_EQ(ierr, 0);
    for (int p : {1, 5, 9})
        for (int q : {1, 5, 9}) EXPECT_NEAR(VECLSQ.XA(p, q), VECLSQ.XA(1, 1), 1e-6f) << p << " " << q;
    load_problem(kSystems[2], I);
    CONSTR(3, ierr, nparm);
    ASSERT_EQ(ierr, 0);
    const float det = VECLSQ.XA(2, 2) * VECLSQ.XA(4, 4) - VECLSQ.XA(2, 4) * VECLSQ.XA(4, 2);
    EXPECT_NEAR(det, 0.0f, 1e-6f);
    EXPECT_GT(VECLSQ.XA(2, 2), 0.1f);
}

TEST(CrystalSystemConstraints, UnknownSystemLeavesTheProblemAlone) {
    geo::Mat3 E;
    for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 3; ++j) E(i, j) = 0.1f * float(i + j);
    for (int isys : {0, 7}) {
        load_problem(kSystems[0], E);
        const VECLSQ_t before = VECLSQ;
        int ierr = 0, nparm = 42;
        CONSTR(isys, ierr, nparm);
        EXPECT_EQ(ierr, 2);
        EXPECT_EQ(nparm, 42);
        for (int i = 1; i <= 9; ++i) {
            EXPECT_EQ(VECLSQ.XB(i), before.XB(i));
            for (int j = 1; j <= 9; ++j) EXPECT_EQ(VECLSQ.XA(i, j), before.XA(i, j));
        }
    }
}

// ---- The refinement ------------------------------------------------------------------------

class SymmetryConstrained : public lsqtest::RefinementTest {};

TEST_F(SymmetryConstrained, RecoversTheCellOfEachSystemWithItsFixedAnglesExact) {
    struct Case {
        int isys;
        ref::Cell cell;
    };
    const Case cases[] = {
        {1, {7.1, 9.3, 11.4, 90, 103.5, 90}}, {2, {6.2, 8.8, 10.1, 90, 90, 112.0}},
        {3, {5.4, 7.9, 12.3, 90, 90, 90}},    {4, {6.6, 6.6, 9.8, 90, 90, 90}},
        {5, {4.9, 4.9, 5.4, 90, 90, 120}},    {6, {8.3, 8.3, 8.3, 90, 90, 90}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.isys);
        const ref::M3 ub = lsqtest::orientation_matrix(c.cell);
        lsqtest::fill_table(ub, lsqtest::spread_reflections());
        UNITCELL.UBOK = 0;
        int ierr = -1;
        LSVEC(c.isys, ierr);
        ASSERT_EQ(ierr, 0);
        EXPECT_EQ(UNITCELL.UBOK, 1);
        lsqtest::expect_ub(ub, 2e-6);
        lsqtest::expect_cell(c.cell, 2e-4, 2e-3);
        EXPECT_NEAR(UNITCELL.CELL(7), ref::reciprocal(c.cell).volume, 0.05);
        // Fixed angles are exact, equal lengths equal, and their uncertainties 1e-12 (in degrees
        // 57.2958e-12 over the sine).
        const bool free_beta = c.isys == 1, free_gamma = c.isys == 2;
        EXPECT_EQ(UNITCELL.CELL(4), 90.0f);
        if (!free_beta) { EXPECT_EQ(UNITCELL.CELL(5), 90.0f); }
        if (!free_gamma) { EXPECT_EQ(UNITCELL.CELL(6), c.isys == 5 ? 120.0f : 90.0f); }
        if (c.isys >= 4) { EXPECT_EQ(UNITCELL.CELL(1), UNITCELL.CELL(2)); }
        if (c.isys == 6) { EXPECT_EQ(UNITCELL.CELL(1), UNITCELL.CELL(3)); }
        EXPECT_FLOAT_EQ(UNITCELL.ESD(4), 57.2958f * 1e-12f);
        if (!free_beta) { EXPECT_FLOAT_EQ(UNITCELL.ESD(5), 57.2958f * 1e-12f); }
        if (!free_gamma) {
            EXPECT_FLOAT_EQ(UNITCELL.ESD(6), 57.2958f * 1e-12f / (c.isys == 5 ? std::sqrt(0.75f) : 1.0f));
        }
        for (int k = 1; k <= 3; ++k) EXPECT_LT(UNITCELL.ESD(k), 1e-3f) << k;
        EXPECT_TRUE(wl::model().boxes.empty());
    }
}

TEST_F(SymmetryConstrained, SlightlyDistortedDataGiveTheSymmetricCellAndTheFreeUB) {
    const ref::Cell distorted{5.4, 7.9, 12.3, 90.0, 90.0, 90.3};
    const ref::M3 ub = lsqtest::orientation_matrix(distorted);
    lsqtest::fill_table(ub, lsqtest::spread_reflections());
    int ierr = -1;
    LSVEC(3, ierr);
    ASSERT_EQ(ierr, 0);
    EXPECT_EQ(UNITCELL.CELL(6), 90.0f);
    lsqtest::expect_ub(ub, 2e-6);  // the stored matrix keeps the distortion
    EXPECT_NEAR(UNITCELL.CELL(1), 5.4, 2e-3);
    EXPECT_NEAR(UNITCELL.CELL(2), 7.9, 2e-3);
}

TEST_F(SymmetryConstrained, FreeMonoclinicAngleCarriesItsUncertainty) {
    const ref::Cell cell{7.1, 9.3, 11.4, 90, 103.5, 90};
    const ref::M3 ub = lsqtest::orientation_matrix(cell);
    lsqtest::fill_table(ub, lsqtest::spread_reflections());
    for (int i = 1; i <= FITVALS.NFIT; ++i)
        for (int k = 1; k <= 4; ++k) FITVALS.ANGLESFIT(i, k) += 0.01f * std::sin(float(7 * i + 3 * k));
    int ierr = -1;
    LSVEC(1, ierr);
    ASSERT_EQ(ierr, 0);
    EXPECT_GT(UNITCELL.ESD(5), 1e-4f);
    EXPECT_LT(UNITCELL.ESD(5), 0.5f);
    EXPECT_FLOAT_EQ(UNITCELL.ESD(4), 57.2958f * 1e-12f);
    EXPECT_FLOAT_EQ(UNITCELL.ESD(6), 57.2958f * 1e-12f);
    for (int k : {1, 2, 3, 7}) EXPECT_GT(UNITCELL.ESD(k), 1e-5f) << k;
    EXPECT_NEAR(UNITCELL.CELL(5), 103.5, 0.1);
}

TEST_F(SymmetryConstrained, FailuresLeaveTheRecordsAsTheyWere) {
    struct Case {
        const char* what;
        ref::Cell cell;
        std::vector<lsqtest::Hkl> refl;
        int isys, ierr;
        std::vector<std::string> boxes;
    };
    const Case cases[] = {
        {"one zone", {8.3, 8.3, 8.3, 90, 90, 90}, {{1, 0, 0}, {0, 1, 0}, {1, 1, 0}, {2, -1, 0}}, 6, 2, {}},
        // The start matrix of a cell of 100000 cubic Angstrom or more counts as singular.
        {"very large cell",
         {47.0, 47.0, 47.0, 90, 90, 90},
         lsqtest::spread_reflections(),
         6,
         2,
         {"Normal Equations Matrix in LSVEC is Singular"}},
        {"no such system", {8.3, 8.3, 8.3, 90, 90, 90}, lsqtest::spread_reflections(), 7, 2, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        wl::reset_model();
        lsqtest::fill_table(lsqtest::orientation_matrix(c.cell), c.refl);
        mark_records();
        const UNITCELL_t u = UNITCELL;
        const XTALOFF_t x = XTALOFF;
        int ierr = 0;
        LSVEC(c.isys, ierr);
        EXPECT_EQ(ierr, c.ierr);
        expect_records_unchanged(u, x);
        EXPECT_EQ(lsqtest::box_texts(), c.boxes);
    }
}

}  // namespace
