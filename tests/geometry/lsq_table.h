// Fitted-reflection tables computed exactly from a known cell and orientation, for the tests of
// the refinements: bisecting settings of a list of reflections (double precision, rounded to the
// float table), optionally with omegas moved by a constant zero or by a crystal offset.
#pragma once
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "geometry_reference.h"
#include "include/geometry.h"
#include "include/shared.h"
#include "platform/model.h"

namespace lsqtest {

constexpr double kWave = 0.71073;

struct Hkl {
    int h, k, l;
};

// Reflections spread over reciprocal space; every index set below spans three dimensions.
inline std::vector<Hkl> spread_reflections() {
    return {{1, 0, 0},  {0, 1, 0},  {0, 0, 1},  {2, -1, 1}, {-1, 2, 2}, {3, 1, -2}, {1, -3, 2},
            {-2, -2, 3}, {4, 0, 1}, {0, 4, -1}, {1, 1, 4},  {-3, 2, -1}, {2, 3, 1},  {-1, -1, -3},
            {3, -2, 4}, {5, 1, 0},  {0, -2, 5}, {-4, 3, 2}, {2, 2, -4}, {1, 5, 1}};
}

inline ref::M3 orientation_matrix(const ref::Cell& cell) {
    return ref::mul(ref::rotation(23.0, -41.0, 12.0), ref::bmatrix(cell));
}

// Fills FITVALS with the bisecting settings of the reflections (omega 0) under ub.
inline void fill_table(const ref::M3& ub, const std::vector<Hkl>& refl) {
    FITVALS.NFIT = int(refl.size());
    for (int i = 1; i <= FITVALS.NFIT; ++i) {
        const Hkl& r = refl[i - 1];
        const ref::Bisecting b = ref::bisecting(ref::mul(ub, ref::V3{double(r.h), double(r.k), double(r.l)}), kWave);
        FITVALS.ANGLESFIT(i, 1) = float(b.tth);
        FITVALS.ANGLESFIT(i, 2) = 0.0f;
        FITVALS.ANGLESFIT(i, 3) = float(b.chi);
        FITVALS.ANGLESFIT(i, 4) = float(b.phi);
        FITVALS.IHFIT(i, 1) = r.h;
        FITVALS.IHFIT(i, 2) = r.k;
        FITVALS.IHFIT(i, 3) = r.l;
    }
}

// Moves every fitted omega by the shift that the crystal offset delx and the zero omzero cause
// at its setting (the program's own offset model).
inline void shift_omegas(float d1, float d2, float d3, float omzero) {
    const XTALOFF_t keep = XTALOFF;
    XTALOFF.DELX(1) = d1;
    XTALOFF.DELX(2) = d2;
    XTALOFF.DELX(3) = d3;
    XTALOFF.OMZERO = omzero;
    for (int i = 1; i <= FITVALS.NFIT; ++i) {
        geo::Angles a, off;
        for (int k = 1; k <= 4; ++k) a(k) = FITVALS.ANGLESFIT(i, k);
        CALC_ANGOFF(a, off);
        FITVALS.ANGLESFIT(i, 2) = a(2) + off(2);
    }
    XTALOFF = keep;
}

inline void expect_ub(const ref::M3& ub, double tol) {
    for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 3; ++j)
            EXPECT_NEAR(UNITCELL.UB(i, j), ub[i - 1][j - 1], tol) << "UB(" << i << "," << j << ")";
}

inline void expect_cell(const ref::Cell& c, double len_tol, double ang_tol) {
    EXPECT_NEAR(UNITCELL.CELL(1), c.a, len_tol);
    EXPECT_NEAR(UNITCELL.CELL(2), c.b, len_tol);
    EXPECT_NEAR(UNITCELL.CELL(3), c.c, len_tol);
    EXPECT_NEAR(UNITCELL.CELL(4), c.alpha, ang_tol);
    EXPECT_NEAR(UNITCELL.CELL(5), c.beta, ang_tol);
    EXPECT_NEAR(UNITCELL.CELL(6), c.gamma, ang_tol);
}

inline std::vector<std::string> box_texts() {
    std::vector<std::string> out;
    for (const auto& b : wl::model().boxes) out.push_back(b.text);
    return out;
}

// The start-of-run state with a diffractometer: Mo wavelength, all circle senses +1, 200 mm.
class RefinementTest : public ::testing::Test {
protected:
    void SetUp() override {
        reset_shared_records();
        wl::reset_model();
        PROGID.PROG_TITLE = "Kelvorantide v3.72";
        WAVES.WAVE(1) = float(kWave);
        for (int i = 1; i <= 4; ++i) GONIO.PARITY(i) = 1;
        GONIO.GONCON1 = 200.0f;
    }
    // Marks every value of the orientation records, so a test can see that nothing changed.
    static void mark_records() {
        for (int i = 1; i <= 3; ++i)
            for (int j = 1; j <= 3; ++j) {
                UNITCELL.UB(i, j) = 0.01f * float(i + 3 * j);
                UNITCELL.BMAT(i, j) = 0.02f * float(i * j);
            }
        for (int k = 1; k <= 7; ++k) {
            UNITCELL.CELL(k) = 5.0f + k;
            UNITCELL.ESD(k) = 0.001f * k;
        }
        UNITCELL.UBOK = 0;
        XTALOFF.DELX(1) = 0.5f;
        XTALOFF.DELX(2) = -0.25f;
        XTALOFF.OMZERO = 0.125f;
    }
    static void expect_records_unchanged(const UNITCELL_t& u, const XTALOFF_t& x) {
        for (int i = 1; i <= 3; ++i)
            for (int j = 1; j <= 3; ++j) {
                EXPECT_EQ(UNITCELL.UB(i, j), u.UB(i, j));
                EXPECT_EQ(UNITCELL.BMAT(i, j), u.BMAT(i, j));
            }
        for (int k = 1; k <= 7; ++k) {
            EXPECT_EQ(UNITCELL.CELL(k), u.CELL(k));
            EXPECT_EQ(UNITCELL.ESD(k), u.ESD(k));
        }
        EXPECT_EQ(UNITCELL.UBOK, u.UBOK);
        for (int k = 1; k <= 3; ++k) EXPECT_EQ(XTALOFF.DELX(k), x.DELX(k));
        EXPECT_EQ(XTALOFF.OMZERO, x.OMZERO);
    }
};

}  // namespace lsqtest
