// Setting angles and diffraction vectors of a four-circle diffractometer (Busing & Levy 1967,
// phi-axis frame, reciprocal Angstrom without 2 pi). Angles in degrees, converted with 57.2958.
#include <cmath>

#include "include/DATA.h"
#include "include/UNITCELL.h"
#include "include/geometry.h"

namespace {

// Bisecting-position angles of the vector v at wavelength lambda; false (and zero angles) when the
// reflection cannot be reached.
bool bisecting_angles(const geo::Vec3& v, float lambda, geo::Angles& ANGL) {
    const float d = std::sqrt(v(1) * v(1) + v(2) * v(2) + v(3) * v(3));
    const float sinth = d * lambda * 0.5f;
    // A NaN length or wavelength counts as unreachable, like a vector beyond the limiting sphere.
    if (!(d > 1.0e-6f) || !(sinth <= 1.0f)) {
        for (int i = 1; i <= 4; ++i) ANGL(i) = 0.0f;
        return false;
    }
    ANGL(1) = 2.0f * 57.2958f * std::asin(sinth);
    ANGL(2) = 0.0f;
    ANGL(3) = std::atan2(v(3), std::sqrt(v(1) * v(1) + v(2) * v(2))) * 57.2958f;
    ANGL(4) = std::atan2(v(2), v(1)) * 57.2958f;
    return true;
}

}  // namespace

void CALCH(const geo::Angles& ANGL, geo::Vec3& V) {
    const float s = std::sin(ANGL(1) * 0.5f / 57.2958f);
    const float om = float(GONIO.PARITY(2)) * ANGL(2) / 57.2958f;
    const float ch = float(GONIO.PARITY(3)) * ANGL(3) / 57.2958f;
    const float ph = float(GONIO.PARITY(4)) * ANGL(4) / 57.2958f;
    const float cw = std::cos(om), sw = std::sin(om);
    const float cc = std::cos(ch), sc = std::sin(ch);
    const float cp = std::cos(ph), sp = std::sin(ph);
    const float wave = WAVES.WAVE(1);
    V(1) = 2.0f * s * (cw * cc * cp - sw * sp) / wave;
    V(2) = 2.0f * s * (cw * cc * sp + sw * cp) / wave;
    V(3) = 2.0f * s * cw * sc / wave;
}

void CALCA(const geo::Vec3& V, geo::Angles& ANGL, int& IERR) {
    IERR = bisecting_angles(V, WAVES.WAVE(1), ANGL) ? 0 : 1;
}

void IH_TO_EULER(const geo::Indices& IH, geo::Angles& ANGL) {
    geo::Vec3 THPHI;
    const auto& UB = UNITCELL.UB;
    for (int i = 1; i <= 3; ++i)
        THPHI(i) = UB(i, 1) * float(IH(1)) + UB(i, 2) * float(IH(2)) + UB(i, 3) * float(IH(3));
    bisecting_angles(THPHI, 0.70926f, ANGL);
}

bool ALPHA2_OFFSET(float RATIO, float TTH, float DEG, float& DELTA) {
    const float s = RATIO * std::sin(TTH / 2.0f / DEG);
    if (!(std::fabs(s) <= 1.0f)) return false;
    DELTA = std::asin(s) * DEG - TTH / 2.0f;
    return true;
}
