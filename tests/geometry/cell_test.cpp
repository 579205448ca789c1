// Cells, reciprocal cells, metric tensors, B matrices and calculated 2theta, against the
// double-precision reference; round trips; idealisation to the crystal systems; refused input.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "geometry_reference.h"
#include "include/geometry.h"
#include "include/shared.h"
#include "platform/model.h"
#include "runtime/units.h"

namespace {

// Cells covering every crystal system, with a general orientation each.
const ref::Cell kCells[] = {
    {10.0, 10.0, 10.0, 90.0, 90.0, 90.0},        {5.4307, 5.4307, 5.4307, 90.0, 90.0, 90.0},
    {4.9134, 4.9134, 5.4052, 90.0, 90.0, 120.0}, {6.1, 7.25, 12.8, 90.0, 90.0, 90.0},
    {5.87, 14.02, 7.11, 90.0, 113.45, 90.0},     {7.812, 9.433, 11.205, 88.4, 104.3, 93.7},
    {3.95, 3.95, 16.2, 90.0, 90.0, 90.0},        {8.3, 9.1, 10.4, 62.0, 71.5, 80.25},
};

class CellAlgebra : public ::testing::Test {
protected:
    void SetUp() override {
        reset_shared_records();
        wl::reset_model();
        WAVES.WAVE(1) = 0.70930f;
    }
    static const std::vector<wl::BoxRecord>& boxes() { return wl::model().boxes; }
    static void set_cell(const ref::Cell& c) {
        UNITCELL.CELL(1) = float(c.a); UNITCELL.CELL(2) = float(c.b); UNITCELL.CELL(3) = float(c.c);
        UNITCELL.CELL(4) = float(c.alpha); UNITCELL.CELL(5) = float(c.beta); UNITCELL.CELL(6) = float(c.gamma);
    }
    static geo::Vec6 cosine_form(double a, double b, double c, double al, double be, double ga) {
        geo::Vec6 x;
        x(1) = float(a); x(2) = float(b); x(3) = float(c);
        x(4) = float(std::cos(ref::rad(al))); x(5) = float(std::cos(ref::rad(be))); x(6) = float(std::cos(ref::rad(ga)));
        return x;
    }
};

void expect_matrix_near(const geo::Mat3& m, const ref::M3& r, double tol, const std::string& what) {
    for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 3; ++j) EXPECT_NEAR(m(i, j), r[i - 1][j - 1], tol) << what << " (" << i << "," << j << ")";
}

TEST_F(CellAlgebra, CellOfAnOrientationMatrixAgreesWithReferenceForEverySystem) {
    int n = 0;
    for (const auto& c : kCells) {
        const std::string what = "cell " + std::to_string(++n);
        const ref::M3 ub = ref::mul(ref::rotation(17.0 * n, -33.0 + 5 * n, 71.0 - 3 * n), ref::bmatrix(c));
        ref::store(ub, UNITCELL.UB);
        ASSERT_EQ(OMTOB(), 0) << what;
        const ref::Recip r = ref::reciprocal(c);
        // To the digits the files print: F10.5 lengths, F9.4 angles, F10.4 volume (relative).
        EXPECT_NEAR(UNITCELL.CELL(1), c.a, 2e-5 * c.a) << what;
        EXPECT_NEAR(UNITCELL.CELL(2), c.b, 2e-5 * c.b) << what;
        EXPECT_NEAR(UNITCELL.CELL(3), c.c, 2e-5 * c.c) << what;
        EXPECT_NEAR(UNITCELL.CELL(4), c.alpha, 2e-3) << what;
        EXPECT_NEAR(UNITCELL.CELL(5), c.beta, 2e-3) << what;
        EXPECT_NEAR(UNITCELL.CELL(6), c.gamma, 2e-3) << what;
        EXPECT_NEAR(UNITCELL.CELL(7), r.volume, 5e-5 * r.volume) << what;
        expect_matrix_near(UNITCELL.BMAT, ref::bmatrix(c), 2e-6, what + " BMAT");

        ASSERT_EQ(RECIP_CELL(), 0) << what;
        for (int i = 1; i <= 3; ++i)
            for (int j = 1; j <= 3; ++j) EXPECT_EQ(UNITCELL.UBT(i, j), UNITCELL.UB(j, i));
        EXPECT_NEAR(UNITCELL.RECELL(1), r.as, 2e-6) << what;
        EXPECT_NEAR(UNITCELL.RECELL(2), r.bs, 2e-6) << what;
        EXPECT_NEAR(UNITCELL.RECELL(3), r.cs, 2e-6) << what;
        EXPECT_NEAR(UNITCELL.RECELL(4), r.alphas, 2e-3) << what;
        EXPECT_NEAR(UNITCELL.RECELL(5), r.betas, 2e-3) << what;
        EXPECT_NEAR(UNITCELL.RECELL(6), r.gammas, 2e-3) << what;

        // The reciprocal cell from the refined cell agrees with the one from the matrix.
        UNITCELL.RECELL.fill(0.0f);
        ASSERT_EQ(CELL_TO_RECIP(), 0) << what;
        EXPECT_NEAR(UNITCELL.RECELL(1), r.as, 2e-6) << what;
        EXPECT_NEAR(UNITCELL.RECELL(3), r.cs, 2e-6) << what;
        EXPECT_NEAR(UNITCELL.RECELL(4), r.alphas, 2e-3) << what;
        EXPECT_NEAR(UNITCELL.RECELL(6), r.gammas, 2e-3) << what;
    }
    EXPECT_TRUE(boxes().empty());
}

TEST_F(CellAlgebra, BMatrixFromTheDirectCellOrFromBothCellsAgree) {
    int n = 0;
    for (const auto& c : kCells) {
        const std::string what = "cell " + std::to_string(++n);
        geo::Mat3 b1, b2;
        rt::FArray<float, 7> cell;
        cell(1) = float(c.a); cell(2) = float(c.b); cell(3) = float(c.c);
        cell(4) = float(c.alpha); cell(5) = float(c.beta); cell(6) = float(c.gamma);
        ASSERT_EQ(CALCB(cell, b1), 0) << what;
        const ref::Recip r = ref::reciprocal(c);
        BCALC(b2, cosine_form(c.a, c.b, c.c, c.alpha, c.beta, c.gamma),
              cosine_form(r.as, r.bs, r.cs, r.alphas, r.betas, r.gammas));
        expect_matrix_near(b1, ref::bmatrix(c), 2e-6, what + " CALCB");
        expect_matrix_near(b2, ref::bmatrix(c), 2e-6, what + " BCALC");
        EXPECT_FLOAT_EQ(b2(3, 3), float(1.0 / c.c));
        EXPECT_NEAR(b1(3, 3), 1.0 / c.c, 1e-6) << what;
    }
}

TEST_F(CellAlgebra, ReciprocalOfTheReciprocalCellIsTheCell) {
    float v = 0, ov = 0;
    geo::Vec6 cubic = cosine_form(10, 10, 10, 90, 90, 90), other;
    cubic(4) = cubic(5) = cubic(6) = 0.0f;
    ASSERT_EQ(RECIP(cubic, v, other, ov), 0);
    EXPECT_FLOAT_EQ(v, 1000.0f);
    EXPECT_FLOAT_EQ(ov, 0.001f);
    for (int i = 1; i <= 3; ++i) EXPECT_FLOAT_EQ(other(i), 0.1f);
    for (int i = 4; i <= 6; ++i) EXPECT_EQ(other(i), 0.0f);

    for (const auto& c : kCells) {
        const geo::Vec6 direct = cosine_form(c.a, c.b, c.c, c.alpha, c.beta, c.gamma);
        const ref::Recip r = ref::reciprocal(c);
        geo::Vec6 rec, back;
        float vol = 0, rvol = 0, rvol2 = 0, vol2 = 0;
        ASSERT_EQ(RECIP(direct, vol, rec, rvol), 0);
        EXPECT_NEAR(vol, r.volume, 2e-6 * r.volume);
        EXPECT_NEAR(rec(1), r.as, 1e-6);
        EXPECT_NEAR(rec(5), std::cos(ref::rad(r.betas)), 1e-6);
        ASSERT_EQ(RECIP(rec, rvol2, back, vol2), 0);
        for (int i = 1; i <= 3; ++i) EXPECT_NEAR(back(i), direct(i), 2e-6 * direct(i));
        for (int i = 4; i <= 6; ++i) EXPECT_NEAR(back(i), direct(i), 1e-6);
        EXPECT_NEAR(vol2, vol, 2e-6 * vol);
    }
}

TEST_F(CellAlgebra, CellWhoseAnglesCannotCloseIsRefused) {
    // alpha + beta < gamma: no lattice.
    const geo::Vec6 bad = cosine_form(5, 6, 7, 20, 30, 100);
    geo::Vec6 other;
    other.fill(4.0f);
    float v = -1, ov = -1;
    EXPECT_EQ(RECIP(bad, v, other, ov), 1);
    EXPECT_EQ(v, -1.0f);
    EXPECT_EQ(ov, -1.0f);
    for (float x : other) EXPECT_EQ(x, 4.0f);

    geo::Mat3 b;
    b.fill(2.0f);
    rt::FArray<float, 7> cell;
    cell(1) = 5; cell(2) = 6; cell(3) = 7; cell(4) = 20; cell(5) = 30; cell(6) = 100;
    EXPECT_EQ(CALCB(cell, b), 1);
    for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 3; ++j) EXPECT_EQ(b(i, j), 2.0f);
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].title, "Kelvorantide v3.72");
    EXPECT_EQ(boxes()[0].text, " Error in CALCB");

    // The same cell as CELL has no reciprocal cell: RECELL keeps what it held.
    UNITCELL.RECELL.fill(0.5f);
    for (int i = 1; i <= 6; ++i) UNITCELL.CELL(i) = cell(i);
    EXPECT_EQ(CELL_TO_RECIP(), 1);
    for (int i = 1; i <= 6; ++i) EXPECT_EQ(UNITCELL.RECELL(i), 0.5f);
}

TEST_F(CellAlgebra, RefusedCellIsLoggedWithTheDeterminant) {
    const std::string path = std::string(KV_BINARY_DIR) + "/geometry_calcb_log.txt";
    std::remove(path.c_str());
    rt::OpenSpec spec;
    spec.status = rt::FileStatus::Replace;
    spec.action = rt::FileAction::Write;
    spec.carriage_control = true;
    ASSERT_EQ(rt::unit_open(20, path, spec), rt::IOS_OK);
    FILEINFO.LOGOPEN = 1;
    rt::FArray<float, 7> cell;
    cell(1) = 5; cell(2) = 6; cell(3) = 7; cell(4) = 20; cell(5) = 30; cell(6) = 100;
    geo::Mat3 b;
    EXPECT_EQ(CALCB(cell, b), 1);
    rt::unit_close(20);
    std::ifstream in(path);
    std::string line;
    ASSERT_TRUE(std::getline(in, line));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::string lead = "Error in Cell: Determinant of G = ";
    ASSERT_EQ(line.size(), lead.size() + 12) << line;
    EXPECT_EQ(line.substr(0, lead.size()), lead);
    // det G of this cell, independently: (abc)^2 (1 - sum cos^2 + 2 prod cos) < 0.
    const double ca = std::cos(ref::rad(20)), cb = std::cos(ref::rad(30)), cg = std::cos(ref::rad(100));
    const double det = 210.0 * 210.0 * (1 - ca * ca - cb * cb - cg * cg + 2 * ca * cb * cg);
    EXPECT_NEAR(std::stod(line.substr(lead.size())), det, 0.05 * std::fabs(det));
    EXPECT_EQ(line.substr(lead.size()).find('.'), 8u);  // F12.3
    std::remove(path.c_str());
}

TEST_F(CellAlgebra, InvalidOrientationMatrixLeavesCellAndBMatrixAsTheyWere) {
    struct Case {
        const char* what;
        void (*make)(geo::Mat3&);
        std::vector<std::string> texts;
    };
    const Case cases[] = {
        {"zero column", [](geo::Mat3& m) { m(1, 2) = m(2, 2) = m(3, 2) = 0.0f; },
         {"Singular matrix in LUDCMP", "Invalid Orientation Matrix in OMTOB"}},
        {"dependent columns", [](geo::Mat3& m) { for (int i = 1; i <= 3; ++i) m(i, 3) = m(i, 1) + 2.0f * m(i, 2); },
         {"Invalid Orientation Matrix in OMTOB"}},
        {"no matrix", [](geo::Mat3& m) { m.fill(0.0f); },
         {"Singular matrix in LUDCMP", "Invalid Orientation Matrix in OMTOB"}},
    };
    for (const auto& c : cases) {
        wl::reset_model();
        ref::store(ref::mul(ref::rotation(10, 20, 30), ref::bmatrix(kCells[5])), UNITCELL.UB);
        c.make(UNITCELL.UB);
        UNITCELL.CELL.fill(3.0f);
        UNITCELL.BMAT.fill(4.0f);
        EXPECT_EQ(OMTOB(), 1) << c.what;
        for (float x : UNITCELL.CELL) EXPECT_EQ(x, 3.0f) << c.what;
        for (int i = 1; i <= 3; ++i)
            for (int j = 1; j <= 3; ++j) EXPECT_EQ(UNITCELL.BMAT(i, j), 4.0f) << c.what;
        ASSERT_EQ(boxes().size(), c.texts.size()) << c.what;
        for (std::size_t k = 0; k < c.texts.size(); ++k) EXPECT_EQ(boxes()[k].text, c.texts[k]) << c.what;

        // No NaN reaches the reciprocal cell from such a matrix.
        UNITCELL.RECELL.fill(0.25f);
        RECIP_CELL();
        for (int i = 1; i <= 6; ++i) EXPECT_TRUE(std::isfinite(UNITCELL.RECELL(i))) << c.what;
        for (int i = 1; i <= 3; ++i)
            for (int j = 1; j <= 3; ++j) EXPECT_EQ(UNITCELL.UBT(i, j), UNITCELL.UB(j, i));
    }
    // A zero column leaves the reciprocal cell in force.
    UNITCELL.UB(1, 1) = UNITCELL.UB(2, 1) = UNITCELL.UB(3, 1) = 0.0f;
    EXPECT_EQ(RECIP_CELL(), 1);
}

TEST_F(CellAlgebra, CalculatedTwoThetaAgreesWithBraggsLaw) {
    int n = 0;
    for (const auto& c : kCells) {
        const ref::Recip r = ref::reciprocal(c);
        UNITCELL.RECELL(1) = float(r.as); UNITCELL.RECELL(2) = float(r.bs); UNITCELL.RECELL(3) = float(r.cs);
        UNITCELL.RECELL(4) = float(r.alphas); UNITCELL.RECELL(5) = float(r.betas); UNITCELL.RECELL(6) = float(r.gammas);
        ++n;
        for (const auto& h : {std::array<int, 3>{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {2, -3, 4}, {-5, 1, -2}, {3, 3, 3}}) {
            geo::Indices ih;
            ih(1) = h[0]; ih(2) = h[1]; ih(3) = h[2];
            EXPECT_NEAR(TWOTHETA(ih), ref::two_theta(c, h[0], h[1], h[2], 0.70930), 3e-4)
                << "cell " << n << " hkl " << h[0] << h[1] << h[2];
        }
    }
}

TEST_F(CellAlgebra, TwoThetaAtAndBeyondTheLimitingSphere) {
    // Cubic a = 1: d(100) = 1; with lambda = 2 sin(theta) is exactly 1.
    UNITCELL.RECELL(1) = UNITCELL.RECELL(2) = UNITCELL.RECELL(3) = 1.0f;
    UNITCELL.RECELL(4) = UNITCELL.RECELL(5) = UNITCELL.RECELL(6) = 90.0f;
    WAVES.WAVE(1) = 2.0f;
    geo::Indices ih;
    ih(1) = 1;
    EXPECT_FLOAT_EQ(TWOTHETA(ih), 2.0f * std::asin(1.0f) * 45.0f / 0.7853982f);
    ih(1) = 2;
    EXPECT_EQ(TWOTHETA(ih), 180.0f);
    // No 1/d^2: the indices 0 0 0, or no reciprocal cell yet.
    ih(1) = 0;
    EXPECT_EQ(TWOTHETA(ih), 0.0f);
    UNITCELL.RECELL.fill(0.0f);
    ih(1) = 1; ih(2) = 2; ih(3) = 3;
    EXPECT_EQ(TWOTHETA(ih), 0.0f);
}

TEST_F(CellAlgebra, IdealisationToEachCrystalSystem) {
    const float in[6] = {0.11f, 0.13f, 0.09f, 0.02f, -0.03f, 0.04f};
    struct Case { int isys; float want[6]; };
    const float ab = std::sqrt(0.11f * 0.13f), abc = std::cbrt(0.11f * 0.13f * 0.09f);
    const Case cases[] = {
        {0, {0.11f, 0.13f, 0.09f, 0.02f, -0.03f, 0.04f}},
        {1, {0.11f, 0.13f, 0.09f, 0.0f, -0.03f, 0.0f}},
        {2, {0.11f, 0.13f, 0.09f, 0.0f, 0.0f, 0.04f}},
        {3, {0.11f, 0.13f, 0.09f, 0.0f, 0.0f, 0.0f}},
        {4, {ab, ab, 0.09f, 0.0f, 0.0f, 0.0f}},
        {5, {ab, ab, 0.09f, 0.0f, 0.0f, 0.5f}},
        {6, {abc, abc, abc, 0.0f, 0.0f, 0.0f}},
        {7, {0.11f, 0.13f, 0.09f, 0.02f, -0.03f, 0.04f}},
    };
    for (const auto& c : cases) {
        geo::Vec6 x;
        for (int i = 1; i <= 6; ++i) x(i) = in[i - 1];
        SYMFIXA(x, c.isys);
        for (int i = 1; i <= 6; ++i) EXPECT_EQ(x(i), c.want[i - 1]) << "system " << c.isys << " value " << i;
    }
}

TEST_F(CellAlgebra, CellOfTheRefinementMatrixWithAndWithoutIdealisation) {
    // Hexagonal: exactly 90, 90, 120.
    const ref::Cell hex{4.9134, 4.9134, 5.4052, 90.0, 90.0, 120.0};
    ref::store(ref::mul(ref::rotation(12, 34, 56), ref::bmatrix(hex)), VECLSQ.X);
    ASSERT_EQ(PARAMS(5), 0);
    EXPECT_EQ(VECLSQ.A1(7), 90.0f);
    EXPECT_EQ(VECLSQ.A1(8), 90.0f);
    EXPECT_EQ(VECLSQ.A1(9), 120.0f);
    EXPECT_NEAR(VECLSQ.A1(1), 4.9134, 2e-4);
    EXPECT_NEAR(VECLSQ.A1(3), 5.4052, 2e-4);
    EXPECT_NEAR(VECLSQ.VOL, ref::reciprocal(hex).volume, 5e-5 * ref::reciprocal(hex).volume);
    EXPECT_FLOAT_EQ(VECLSQ.RVOL * VECLSQ.VOL, 1.0f);
    EXPECT_EQ(VECLSQ.A2(6), 0.5f);

    // Monoclinic without idealisation: beta through atan2, and no angle that is exactly 90.
    const ref::Cell mono{5.87, 14.02, 7.11, 90.0, 125.0, 90.0};
    ref::store(ref::mul(ref::rotation(-5, 44, 80), ref::bmatrix(mono)), VECLSQ.X);
    ASSERT_EQ(PARAMS(0), 0);
    EXPECT_NEAR(VECLSQ.A1(8), 125.0f, 2e-3);
    EXPECT_NEAR(VECLSQ.A1(7), 90.0f, 2e-3);
    EXPECT_NEAR(VECLSQ.A1(9), 90.0f, 2e-3);
    EXPECT_NEAR(VECLSQ.A1(2), 14.02, 5e-4);
    // Idealised to monoclinic (b unique): alpha and gamma exactly 90, beta kept.
    ASSERT_EQ(PARAMS(1), 0);
    EXPECT_EQ(VECLSQ.A1(7), 90.0f);
    EXPECT_EQ(VECLSQ.A1(9), 90.0f);
    EXPECT_NEAR(VECLSQ.A1(8), 125.0f, 2e-3);
}

TEST_F(CellAlgebra, DegenerateRefinementMatrixLeavesTheWorkBlockAlone) {
    ref::store(ref::mul(ref::rotation(12, 34, 56), ref::bmatrix(kCells[5])), VECLSQ.X);
    ASSERT_EQ(PARAMS(0), 0);
    const VECLSQ_t before = VECLSQ;
    for (int i = 1; i <= 3; ++i) VECLSQ.X(i, 2) = 0.0f;  // a zero column
    EXPECT_EQ(PARAMS(3), 1);
    for (int i = 1; i <= 3; ++i) VECLSQ.X(i, 2) = 2.0f * VECLSQ.X(i, 1);  // dependent columns
    EXPECT_EQ(PARAMS(0), 1);
    for (int i = 1; i <= 9; ++i) EXPECT_EQ(VECLSQ.A1(i), before.A1(i));
    for (int i = 1; i <= 6; ++i) EXPECT_EQ(VECLSQ.A2(i), before.A2(i));
    EXPECT_EQ(VECLSQ.VOL, before.VOL);
    EXPECT_EQ(VECLSQ.RVOL, before.RVOL);
}

}  // namespace
