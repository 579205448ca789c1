// Fractional indices of a setting, the misfit against integer indices, the omega at which the
// orientation matrix UB puts a reflection, and the omega shift of a crystal offset.
// Omega is measured from the bisecting position; angles in degrees.
#include <cmath>

#include "include/DATA.h"
#include "include/UNITCELL.h"
#include "include/geometry.h"

namespace {

// inv x CALCH(ANGL): the fractional indices of an angle set for a given inverse of UB.
void fractional_indices(const geo::Mat3& inv, const geo::Angles& ANGL, geo::Vec3& TH) {
    geo::Vec3 v;
    CALCH(ANGL, v);
    for (int i = 1; i <= 3; ++i) TH(i) = inv(i, 1) * v(1) + inv(i, 2) * v(2) + inv(i, 3) * v(3);
}

float misfit(const geo::Mat3& inv, const geo::Angles& ANGL, const geo::Indices& IH) {
    geo::Vec3 th;
    fractional_indices(inv, ANGL, th);
    return std::fabs(th(1) - float(IH(1))) + std::fabs(th(2) - float(IH(2))) +
           std::fabs(th(3) - float(IH(3)));
}

// True when UB has an all-zero row (the inversion would refuse it with a box).
bool has_zero_row(const geo::Mat3& m) {
    for (int i = 1; i <= 3; ++i)
        if (m(i, 1) == 0.0f && m(i, 2) == 0.0f && m(i, 3) == 0.0f) return true;
    return false;
}

// True when the determinant shows the matrix to be singular for practical purposes: not finite, or
// below 1e-4 of the product of the column lengths (the largest value the columns allow). A real
// orientation matrix stays far above this; dependent columns fall far below it.
bool degenerate(const geo::Mat3& m, float det) {
    if (!std::isfinite(det)) return true;
    double prod = 1.0;
    for (int j = 1; j <= 3; ++j) {
        const double c = double(m(1, j)) * m(1, j) + double(m(2, j)) * m(2, j) + double(m(3, j)) * m(3, j);
        prod *= std::sqrt(c);
    }
    return !(std::fabs(double(det)) > 1.0e-4 * prod);
}

}  // namespace

void HCALC(const geo::Angles& ANGL, geo::Vec3& TH) {
    // The inverse of the last successful inversion stays in force when UB cannot be inverted.
    float DET = 0.0f;
    MINV(UNITCELL.UB, HCALCINV.UBINV, DET, 3);
    fractional_indices(HCALCINV.UBINV, ANGL, TH);
}

float GETDEL(const geo::Angles& ANGL, const geo::Indices& IH) {
    geo::Vec3 th;
    HCALC(ANGL, th);
    return std::fabs(th(1) - float(IH(1))) + std::fabs(th(2) - float(IH(2))) +
           std::fabs(th(3) - float(IH(3)));
}

void CALOMEGA(const geo::Angles& ANGL, const geo::Indices& IH, float& OMEGA) {
    geo::Angles TANGL;
    geo::Mat3 UBINV;
    OMEGA = ANGL(2);
    // UB is the same for every evaluation of the search: invert it once. A singular matrix predicts
    // nothing, and the setting omega stands.
    if (has_zero_row(UNITCELL.UB)) return;
    float DET = 0.0f;
    MINV(UNITCELL.UB, UBINV, DET, 3);
    if (degenerate(UNITCELL.UB, DET)) return;

    TANGL = ANGL;
    float best = 1000.0f;
    const float start = ANGL(2) - 1.0f;
    for (int k = 1; k <= 100; ++k) {
        TANGL(2) = start + 0.02f * float(k);
        const float del = misfit(UBINV, TANGL, IH);
        if (del < best) {
            best = del;
            OMEGA = TANGL(2);
        }
    }
    // Fine steps of 0.0002 over +-0.02 about the coarse result. The step count is bounded so that
    // an omega too large for the step to change it cannot hold the search for ever.
    TANGL(2) = OMEGA - 0.02f;
    const float upper = OMEGA + 0.02f;
    for (int n = 0; n < 400; ++n) {
        TANGL(2) = TANGL(2) + 0.0002f;
        const float del = misfit(UBINV, TANGL, IH);
        if (del < best) {
            best = del;
            OMEGA = TANGL(2);
        }
        if (!(TANGL(2) < upper)) break;
    }
}

void CALC_ANGOFF(const geo::Angles& ANGL, geo::Angles& OFF) {
    geo::Angles TANGL;
    geo::Mat3 R;
    geo::Vec3 D;
    const auto& DELX = XTALOFF.DELX;
    OFF(1) = 0.0f;
    OFF(2) = 0.0f;
    OFF(3) = 0.0f;
    if (std::fabs(DELX(1)) + std::fabs(DELX(2)) + std::fabs(DELX(3)) < 1.0e-5f) {
        OFF(2) = XTALOFF.OMZERO;
        return;
    }
    for (int i = 1; i <= 4; ++i) TANGL(i) = ANGL(i) * 0.017453292f;
    const float cw = std::cos(TANGL(2)), sw = std::sin(TANGL(2));
    const float cc = std::cos(TANGL(3)), sc = std::sin(TANGL(3));
    const float cp = std::cos(TANGL(4)), sp = std::sin(TANGL(4));
    R(1, 1) = cw * cc * cp - sw * sp;
    R(1, 2) = cw * cc * sp + sw * cp;
    R(1, 3) = cw * sc;
    R(2, 1) = -sw * cc * cp - cw * sp;
    R(2, 2) = -sw * cc * sp + cw * cp;
    R(2, 3) = -sw * sc;
    R(3, 1) = -sc * cp;
    R(3, 2) = -sc * sp;
    R(3, 3) = cc;
    for (int i = 1; i <= 3; ++i) D(i) = R(i, 1) * DELX(1) + R(i, 2) * DELX(2) + R(i, 3) * DELX(3);
    const float theta = TANGL(1) * 0.5f;
    const float shift = ((D(1) * std::cos(theta) + D(2) * std::sin(theta)) / GONIO.GONCON1) / 0.017453292f;
    // Without a crystal-to-detector distance the offset moves nothing; no infinity reaches the fit.
    OFF(1) = std::isfinite(shift) ? shift : 0.0f;
    OFF(2) = OFF(1) + XTALOFF.OMZERO;
}
