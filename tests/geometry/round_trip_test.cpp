// The whole chain for a table of cells, orientations and reflections: h k l to setting angles,
// angles back to h k l, the predicted omega, the cell of the matrix and the calculated 2theta,
// each against the double-precision reference to the digits the program's files print
// (angles with four decimals, lengths with five). The program's degree constant 57.2958 lies
// 3.6e-7 (relative) above 180/pi, which moves an angle near 180 degrees by up to 6.5e-5.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>

#include "geometry_reference.h"
#include "include/geometry.h"
#include "include/shared.h"
#include "platform/model.h"

namespace {

struct Crystal {
    ref::Cell cell;
    double rz, ry, rx;  // orientation
};

const Crystal kCrystals[] = {
    {{5.4307, 5.4307, 5.4307, 90, 90, 90}, 0, 0, 0},
    {{5.4307, 5.4307, 5.4307, 90, 90, 90}, 31.0, -17.5, 64.2},
    {{4.9134, 4.9134, 5.4052, 90, 90, 120}, -72.3, 8.8, 140.0},
    {{5.87, 14.02, 7.11, 90, 113.45, 90}, 11.0, 48.0, -23.0},
    {{8.3, 9.1, 10.4, 62.0, 71.5, 80.25}, 155.0, -60.0, 5.0},
};

const std::array<int, 3> kReflections[] = {{1, 0, 0}, {0, 2, 0}, {0, 0, 3}, {1, 1, 1},  {2, -1, 3},
                                           {-3, 2, -2}, {4, 0, -4}, {-1, -5, 2}, {5, 3, 1}, {0, -2, 6}};

TEST(GeometryRoundTrip, IndicesToAnglesAndBackAgreeWithReference) {
    reset_shared_records();
    wl::reset_model();
    WAVES.WAVE(1) = 0.70926f;  // the wavelength IH_TO_EULER uses
    for (int i = 1; i <= 4; ++i) GONIO.PARITY(i) = 1;
    int n = 0;
    for (const auto& x : kCrystals) {
        ++n;
        const ref::M3 ub = ref::mul(ref::rotation(x.rz, x.ry, x.rx), ref::bmatrix(x.cell));
        ref::store(ub, UNITCELL.UB);
        ASSERT_EQ(OMTOB(), 0);
        ASSERT_EQ(RECIP_CELL(), 0);
        for (const auto& h : kReflections) {
            const std::string what = "crystal " + std::to_string(n) + " hkl " + std::to_string(h[0]) + " " +
                                     std::to_string(h[1]) + " " + std::to_string(h[2]);
            geo::Indices ih;
            ih(1) = h[0]; ih(2) = h[1]; ih(3) = h[2];
            const ref::Bisecting r = ref::bisecting(ref::mul(ub, ref::V3{double(h[0]), double(h[1]), double(h[2])}), 0.70926);

            geo::Angles a;
            IH_TO_EULER(ih, a);
            auto tol = [](double angle) { return 2e-5 + 4e-7 * std::fabs(angle); };
            EXPECT_NEAR(a(1), r.tth, tol(r.tth)) << what;
            EXPECT_NEAR(a(3), r.chi, tol(r.chi)) << what;
            EXPECT_NEAR(a(4), r.phi, tol(r.phi)) << what;

            geo::Vec3 th;
            HCALC(a, th);
            for (int i = 1; i <= 3; ++i) EXPECT_NEAR(th(i), h[i - 1], 5e-5) << what;

            // Predicted omega from settings on either side of the peak (which is at omega 0).
            for (float set : {-0.61f, 0.0f, 0.77f}) {
                geo::Angles s = a;
                s(2) = set;
                float omega = 99;
                CALOMEGA(s, ih, omega);
                EXPECT_NEAR(omega, 0.0f, 3e-4) << what << " setting " << set;
            }

            EXPECT_NEAR(TWOTHETA(ih), r.tth, 5e-5) << what;
            EXPECT_NEAR(TWOTHETA(ih), ref::two_theta(x.cell, h[0], h[1], h[2], 0.70926), 5e-5) << what;
        }
    }
    EXPECT_TRUE(wl::model().boxes.empty());
}

}  // namespace
