// Angles to diffraction vectors and back, against the double-precision reference.
#include <gtest/gtest.h>

#include <cmath>
#include <utility>

#include "geometry_reference.h"
#include "include/geometry.h"
#include "include/shared.h"
#include "platform/model.h"

namespace {

class Angles : public ::testing::Test {
protected:
    void SetUp() override {
        reset_shared_records();
        wl::reset_model();
        WAVES.WAVE(1) = 0.70930f;
        for (int i = 1; i <= 4; ++i) GONIO.PARITY(i) = 1;
    }
    static geo::Angles angles(float tth, float om, float chi, float phi) {
        geo::Angles a;
        a(1) = tth; a(2) = om; a(3) = chi; a(4) = phi;
        return a;
    }
};

TEST_F(Angles, VectorOfASettingAgreesWithReferenceForEveryCircleSense) {
    struct Case { float tth, om, chi, phi; int pw, pc, pp; };
    const Case cases[] = {
        {20.0f, 0.0f, 0.0f, 0.0f, 1, 1, 1},     {35.2f, 0.4f, 45.0f, -120.0f, 1, 1, 1},
        {61.07f, -1.3f, -72.5f, 170.3f, 1, 1, 1}, {48.0f, 2.0f, 30.0f, 75.0f, -1, 1, 1},
        {48.0f, 2.0f, 30.0f, 75.0f, 1, -1, 1},  {48.0f, 2.0f, 30.0f, 75.0f, 1, 1, -1},
        {-25.0f, 0.5f, 89.0f, -10.0f, -1, -1, -1},
    };
    for (const auto& c : cases) {
        GONIO.PARITY(2) = c.pw; GONIO.PARITY(3) = c.pc; GONIO.PARITY(4) = c.pp;
        geo::Vec3 v;
        CALCH(angles(c.tth, c.om, c.chi, c.phi), v);
        const ref::V3 r = ref::vector_of(c.tth, c.om, c.chi, c.phi, 0.70930, c.pw, c.pc, c.pp);
        for (int i = 1; i <= 3; ++i) EXPECT_NEAR(v(i), r[i - 1], 2e-6) << c.tth << " " << c.phi << " component " << i;
    }
}

TEST_F(Angles, BisectingAnglesRoundTripThroughTheVector) {
    struct Case { float tth, chi, phi; };
    const Case cases[] = {{10.0f, 0.0f, 0.0f},    {35.2f, 45.0f, -120.0f}, {80.5f, -89.0f, 179.9f},
                          {120.0f, 12.5f, -179.9f}, {5.0f, 60.0f, 90.0f},   {150.0f, -30.0f, 0.5f}};
    for (const auto& c : cases) {
        geo::Vec3 v;
        CALCH(angles(c.tth, 0.0f, c.chi, c.phi), v);
        geo::Angles back;
        int ierr = -1;
        CALCA(v, back, ierr);
        EXPECT_EQ(ierr, 0);
        EXPECT_NEAR(back(1), c.tth, 2e-4) << c.tth;
        EXPECT_EQ(back(2), 0.0f);
        EXPECT_NEAR(back(3), c.chi, 2e-4) << c.tth;
        EXPECT_NEAR(back(4), c.phi, 2e-4) << c.tth;
    }
    // Phi beyond 180 comes back folded into -180..180.
    geo::Vec3 v;
    CALCH(angles(30.0f, 0.0f, 10.0f, 200.0f), v);
    geo::Angles back;
    int ierr = 0;
    CALCA(v, back, ierr);
    EXPECT_NEAR(back(4), -160.0f, 2e-4);
}

TEST_F(Angles, NegativePhiSenseMirrorsPhi) {
    GONIO.PARITY(4) = -1;
    geo::Vec3 v, w;
    CALCH(angles(40.0f, 0.0f, 20.0f, 65.0f), v);
    GONIO.PARITY(4) = 1;
    CALCH(angles(40.0f, 0.0f, 20.0f, -65.0f), w);
    for (int i = 1; i <= 3; ++i) EXPECT_EQ(v(i), w(i));
    geo::Angles back;
    int ierr = 0;
    GONIO.PARITY(4) = -1;  // CALCA ignores the senses
    CALCA(v, back, ierr);
    EXPECT_NEAR(back(4), -65.0f, 2e-4);
}

TEST_F(Angles, UnreachableVectorsGiveZeroAngles) {
    geo::Vec3 v;
    CALCH(angles(0.0f, 3.0f, 40.0f, 50.0f), v);
    for (int i = 1; i <= 3; ++i) EXPECT_EQ(v(i), 0.0f);

    geo::Angles a = angles(1, 2, 3, 4);
    int ierr = 0;
    CALCA(v, a, ierr);
    EXPECT_EQ(ierr, 1);
    for (int i = 1; i <= 4; ++i) EXPECT_EQ(a(i), 0.0f);

    // sin(theta) exactly 1 is still reachable; anything longer is not.
    WAVES.WAVE(1) = 2.0f;
    geo::Vec3 edge;
    edge(1) = 1.0f;
    CALCA(edge, a, ierr);
    EXPECT_EQ(ierr, 0);
    EXPECT_FLOAT_EQ(a(1), 180.00006f);
    edge(1) = 1.0001f;
    a = angles(1, 2, 3, 4);
    CALCA(edge, a, ierr);
    EXPECT_EQ(ierr, 1);
    for (int i = 1; i <= 4; ++i) EXPECT_EQ(a(i), 0.0f);

    // No wavelength yet: nothing sensible can be computed, and nothing undefined comes back.
    WAVES.WAVE(1) = std::nanf("");
    a = angles(1, 2, 3, 4);
    CALCA(edge, a, ierr);
    EXPECT_EQ(ierr, 1);
    for (int i = 1; i <= 4; ++i) EXPECT_EQ(a(i), 0.0f);
}

TEST_F(Angles, IndicesToBisectingAnglesAgreeWithReference) {
    const ref::Cell cell{7.812, 9.433, 11.205, 88.4, 104.3, 93.7};
    const ref::M3 ub = ref::mul(ref::rotation(23.0, -41.0, 12.0), ref::bmatrix(cell));
    ref::store(ub, UNITCELL.UB);
    const int hkls[][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {2, -3, 4}, {-5, 1, -2}, {6, 6, -7}, {0, -4, 9}};
    for (const auto& h : hkls) {
        geo::Indices ih;
        ih(1) = h[0]; ih(2) = h[1]; ih(3) = h[2];
        geo::Angles a;
        IH_TO_EULER(ih, a);
        const ref::Bisecting r = ref::bisecting(ref::mul(ub, ref::V3{double(h[0]), double(h[1]), double(h[2])}), 0.70926);
        EXPECT_NEAR(a(1), r.tth, 2e-4) << h[0] << h[1] << h[2];
        EXPECT_EQ(a(2), 0.0f);
        EXPECT_NEAR(a(3), r.chi, 2e-4) << h[0] << h[1] << h[2];
        EXPECT_NEAR(a(4), r.phi, 2e-4) << h[0] << h[1] << h[2];
    }
    // Beyond the limiting sphere of 0.70926 A, and the zero matrix of a data set without one.
    geo::Indices far;
    far(1) = 40; far(2) = 40; far(3) = 40;
    geo::Angles a;
    a(1) = 5;
    IH_TO_EULER(far, a);
    for (int i = 1; i <= 4; ++i) EXPECT_EQ(a(i), 0.0f);
    UNITCELL.UB.fill(0.0f);
    a(1) = 5;
    IH_TO_EULER(far, a);
    for (int i = 1; i <= 4; ++i) EXPECT_EQ(a(i), 0.0f);
    EXPECT_TRUE(wl::model().boxes.empty());
}

}  // namespace

TEST(Alpha2Offset, BraggAngleDifferenceWithTheSignOfTwoThetaAndNoneBeyondTheLimit) {
    // Mo K-alpha: the difference of the Bragg angles of the two wavelengths, in double precision,
    // with the sign of 2theta; the degree factor is the caller's.
    const double ratio = 0.71359 / 0.70930;
    for (float tth : {5.0f, 40.0f, 150.0f, -35.0f}) {
        SCOPED_TRACE(tth);
        const double th = double(tth) / 2 * M_PI / 180;
        const double expect = (std::asin(ratio * std::sin(th)) - th) * 180 / M_PI;
        for (float deg : {57.29578f, 57.295776f}) {
            float d = -99.0f;
            ASSERT_TRUE(ALPHA2_OFFSET(0.71359f / 0.70930f, tth, deg, d));
            EXPECT_NEAR(d, expect, 2e-5 * (1 + std::fabs(expect)));
        }
    }
    // Beyond 2theta 167.4 degrees the alpha2 wavelength has no Bragg angle; a ratio that is not a
    // number gives none either. The offset is then left as it was.
    for (const auto& [r, tth] : {std::pair{0.71359f / 0.70930f, 170.0f}, std::pair{0.71359f / 0.70930f, -170.0f},
                                 std::pair{NAN, 40.0f}, std::pair{1.2f, 179.98f}}) {
        float d = -99.0f;
        EXPECT_FALSE(ALPHA2_OFFSET(r, tth, 57.29578f, d)) << r << " " << tth;
        EXPECT_EQ(d, -99.0f);
    }
}
