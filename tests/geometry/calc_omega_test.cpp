// Fractional indices, the predicted omega of a reflection and the omega shift of a crystal offset.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>

#include "geometry_reference.h"
#include "include/geometry.h"
#include "include/shared.h"
#include "platform/model.h"

namespace {

const ref::Cell kCell{7.812, 9.433, 11.205, 88.4, 104.3, 93.7};

class PredictedOmega : public ::testing::Test {
protected:
    void SetUp() override {
        reset_shared_records();
        wl::reset_model();
        WAVES.WAVE(1) = 0.70930f;
        for (int i = 1; i <= 4; ++i) GONIO.PARITY(i) = 1;
        GONIO.GONCON1 = 200.0f;
        ub = ref::mul(ref::rotation(23.0, -41.0, 12.0), ref::bmatrix(kCell));
        ref::store(ub, UNITCELL.UB);
    }
    static geo::Indices hkl(int h, int k, int l) {
        geo::Indices ih;
        ih(1) = h; ih(2) = k; ih(3) = l;
        return ih;
    }
    // Bisecting setting of h k l, in double, rounded to the float store.
    geo::Angles setting(const geo::Indices& ih) const {
        const ref::Bisecting r = ref::bisecting(ref::mul(ub, ref::V3{double(ih(1)), double(ih(2)), double(ih(3))}), 0.70930);
        geo::Angles a;
        a(1) = float(r.tth); a(2) = 0.0f; a(3) = float(r.chi); a(4) = float(r.phi);
        return a;
    }
    ref::M3 ub;
};

TEST_F(PredictedOmega, FractionalIndicesOfTheBisectingSettingAreTheIndices) {
    for (const auto& ih : {hkl(1, 0, 0), hkl(2, -3, 4), hkl(-5, 1, -2), hkl(6, 6, -7)}) {
        geo::Vec3 th;
        HCALC(setting(ih), th);
        for (int i = 1; i <= 3; ++i) EXPECT_NEAR(th(i), float(ih(i)), 2e-4) << i;
        EXPECT_LT(GETDEL(setting(ih), ih), 5e-4f);
    }
}

TEST_F(PredictedOmega, FindsThePeakWithinAboutOneDegreeOfTheSetting) {
    // The peak lies at omega 0 (the bisecting position); the setting omega is moved away from it.
    const float offsets[] = {0.0f, -0.5f, 0.5f, 0.93f, -0.71f, 0.013f};
    for (const auto& ih : {hkl(2, -3, 4), hkl(-5, 1, -2), hkl(1, 1, 1), hkl(0, 0, 6)}) {
        for (float off : offsets) {
            geo::Angles a = setting(ih);
            a(2) = off;
            float omega = 99.0f;
            CALOMEGA(a, ih, omega);
            EXPECT_NEAR(omega, 0.0f, 6e-4f) << "hkl " << ih(1) << ih(2) << ih(3) << " setting " << off;
        }
    }
    EXPECT_TRUE(wl::model().boxes.empty());
}

TEST_F(PredictedOmega, EqualMisfitsKeepTheLowestOmegaOfTheCoarseGrid) {
    // At 2theta = 0 every omega gives the zero vector, so every misfit is the same.
    geo::Angles a;
    a(1) = 0.0f; a(2) = 0.3f; a(3) = 10.0f; a(4) = 20.0f;
    float omega = 0;
    CALOMEGA(a, hkl(1, 2, 3), omega);
    EXPECT_EQ(omega, (0.3f - 1.0f) + 0.02f * 1.0f);
}

TEST_F(PredictedOmega, SingularOrientationMatrixReturnsTheSettingOmegaWithoutBox) {
    geo::Angles a = setting(hkl(2, -3, 4));
    a(2) = 0.37f;
    struct Case { const char* what; void (*make)(geo::Mat3&); };
    const Case cases[] = {
        {"no matrix yet", [](geo::Mat3& m) { m.fill(0.0f); }},
        {"zero row", [](geo::Mat3& m) { m(2, 1) = m(2, 2) = m(2, 3) = 0.0f; }},
        {"zero column", [](geo::Mat3& m) { m(1, 3) = m(2, 3) = m(3, 3) = 0.0f; }},
        {"dependent rows", [](geo::Mat3& m) { for (int j = 1; j <= 3; ++j) m(3, j) = 2.0f * m(1, j) - m(2, j); }},
    };
    for (const auto& c : cases) {
        ref::store(ub, UNITCELL.UB);
        c.make(UNITCELL.UB);
        float omega = -5.0f;
        CALOMEGA(a, hkl(2, -3, 4), omega);
        EXPECT_EQ(omega, 0.37f) << c.what;
    }
    EXPECT_TRUE(wl::model().boxes.empty());
}

TEST_F(PredictedOmega, HugeSettingOmegaEndsTheSearch) {
    geo::Angles a = setting(hkl(1, 0, 0));
    a(2) = 3.0e7f;  // a step of 0.0002 no longer changes the omega
    float omega = 0;
    const auto t0 = std::chrono::steady_clock::now();
    CALOMEGA(a, hkl(1, 0, 0), omega);
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(60));
    EXPECT_TRUE(std::isfinite(omega));
}

TEST_F(PredictedOmega, SingularMatrixInHcalcShowsTheInversionBox) {
    UNITCELL.UB.fill(0.0f);
    geo::Vec3 th;
    HCALC(setting(hkl(1, 0, 0)), th);
    HCALC(setting(hkl(1, 0, 0)), th);
    ASSERT_EQ(wl::model().boxes.size(), 2u);
    EXPECT_EQ(wl::model().boxes[0].text, "Singular matrix in LUDCMP");
}

TEST_F(PredictedOmega, OffsetShiftAgreesWithReferenceAndIgnoresCircleSenses) {
    XTALOFF.DELX(1) = 0.05f; XTALOFF.DELX(2) = -0.03f; XTALOFF.DELX(3) = 0.02f;
    XTALOFF.OMZERO = 0.0f;
    struct Case { float tth, om, chi, phi; };
    const Case cases[] = {{20.0f, 0.1f, 30.0f, 40.0f}, {-35.0f, -0.4f, -60.0f, 170.0f}, {90.0f, 1.0f, 85.0f, -45.0f}};
    for (const auto& c : cases) {
        geo::Angles a, off;
        a(1) = c.tth; a(2) = c.om; a(3) = c.chi; a(4) = c.phi;
        off(4) = 42.0f;
        CALC_ANGOFF(a, off);
        // Reference: rotate the offset into the laboratory frame by Omega Chi Phi, project onto the
        // direction that moves the peak in omega, divide by the crystal-to-detector distance.
        const double w = ref::rad(c.om), x = ref::rad(c.chi), p = ref::rad(c.phi), th = ref::rad(c.tth) / 2;
        const ref::M3 Om{{{std::cos(w), std::sin(w), 0}, {-std::sin(w), std::cos(w), 0}, {0, 0, 1}}};
        const ref::M3 Ch{{{std::cos(x), 0, std::sin(x)}, {0, 1, 0}, {-std::sin(x), 0, std::cos(x)}}};
        const ref::M3 Ph{{{std::cos(p), std::sin(p), 0}, {-std::sin(p), std::cos(p), 0}, {0, 0, 1}}};
        const ref::V3 d = ref::mul(ref::mul(Om, ref::mul(Ch, Ph)), ref::V3{0.05, -0.03, 0.02});
        const double shift = ref::deg((d[0] * std::cos(th) + d[1] * std::sin(th)) / 200.0);
        EXPECT_NEAR(off(1), shift, 1e-7 + 1e-5 * std::fabs(shift)) << c.tth;
        EXPECT_EQ(off(2), off(1));
        EXPECT_EQ(off(3), 0.0f);
        EXPECT_EQ(off(4), 42.0f);
        // The circle senses play no part.
        geo::Angles off2;
        for (int i = 2; i <= 4; ++i) GONIO.PARITY(i) = -1;
        CALC_ANGOFF(a, off2);
        for (int i = 2; i <= 4; ++i) GONIO.PARITY(i) = 1;
        EXPECT_EQ(off2(1), off(1));
    }
    XTALOFF.OMZERO = -0.125f;
    geo::Angles a, off;
    a(1) = 20.0f; a(3) = 30.0f;
    CALC_ANGOFF(a, off);
    EXPECT_EQ(off(2), off(1) + -0.125f);
}

TEST_F(PredictedOmega, NoOffsetGivesTheOmegaZeroAlone) {
    XTALOFF.DELX(1) = 3e-6f;  // below the cut-off
    XTALOFF.OMZERO = 0.25f;
    geo::Angles a, off;
    a(1) = 30.0f; a(2) = 0.2f; a(3) = 40.0f; a(4) = 50.0f;
    off(1) = 9; off(3) = 9; off(4) = 9;
    CALC_ANGOFF(a, off);
    EXPECT_EQ(off(1), 0.0f);
    EXPECT_EQ(off(2), 0.25f);
    EXPECT_EQ(off(3), 0.0f);
    EXPECT_EQ(off(4), 9.0f);
}

TEST_F(PredictedOmega, OffsetWithoutDetectorDistanceGivesNoInfiniteShift) {
    GONIO.GONCON1 = 0.0f;
    XTALOFF.DELX(1) = 0.05f;
    XTALOFF.OMZERO = 0.1f;
    geo::Angles a, off;
    a(1) = 30.0f; a(3) = 40.0f; a(4) = 50.0f;
    CALC_ANGOFF(a, off);
    EXPECT_EQ(off(1), 0.0f);
    EXPECT_EQ(off(2), 0.1f);
}

}  // namespace
