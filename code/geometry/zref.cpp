// Utilities, "Zref": eight-position centring. A reflection measured at eight equivalent settings
// (the reflection or its opposite at positive and negative 2theta and omega and at four chi
// positions) gives its true 2theta, omega and chi free of the zero errors of the circles, the
// zero errors themselves, the offset of the crystal from the goniometer centre and the term
// DELTA-H of the second goniometer constant. Every complete group of eight consecutive rows of the
// fitted-reflection table is centred; the table is then replaced by one row of true angles per
// good group, so that "Calc Unit Cell" refines from centred angles. A centred row's width is the
// weighted mean of its group's refined widths and its background the mean of the eight, so that
// "Calc FWHM" after "Zref" pairs each width with its own reflection. Angles in degrees, omega from
// the bisecting position; this routine family converts degrees with 57.295.
#include <cmath>

#include "include/FILES.h"
#include "include/FITVALS.h"
#include "include/geometry.h"
#include "include/profile_fit.h"
#include "include/shared.h"
#include "include/shell_services.h"
#include "include/toolkit_services.h"
#include "runtime/farray.h"
#include "runtime/format.h"
#include "runtime/ftext.h"

namespace {

// Signs of the settings relative to setting 1: 2theta, then omega.
constexpr int ISIGNS[8][2] = {{+1, +1}, {-1, +1}, {-1, -1}, {+1, -1}, {+1, -1}, {-1, -1}, {-1, +1}, {+1, +1}};

// Sign patterns of the weighted sums over settings 1..8.
constexpr int PAT_TTH[8] = {+1, -1, -1, +1, +1, -1, -1, +1};  // true 2theta (from absolute omega)
constexpr int PAT_OM[8] = {+1, +1, -1, -1, -1, -1, +1, +1};   // true omega
constexpr int PAT_CHI[8] = {+1, +1, +1, +1, -1, -1, -1, -1};  // true chi
constexpr int PAT_A[8] = {+1, +1, -1, -1, +1, +1, -1, -1};    // offset along the beam (omega)
constexpr int PAT_B[8] = {+1, -1, -1, +1, -1, +1, +1, -1};    // offset across the beam (omega)
constexpr int PAT_E[8] = {+1, -1, +1, -1, -1, +1, -1, +1};    // offset along the phi axis (chi)
constexpr int PAT_H[8] = {-1, +1, +1, -1, -1, +1, +1, -1};    // DELTA-H (chi)

constexpr float R = 57.295f;

int sign_of(float v) { return v >= 0.0f ? 1 : -1; }

float weighted(const int (&pattern)[8], const float (&q)[8]) {
    float s = 0.0f;
    for (int k = 0; k < 8; ++k) s = s + float(pattern[k]) * q[k];
    return s;
}

// Adds 360 degrees to the chi of two settings while cond says so; false when the values are too
// large for a step of 360 degrees to change them (the loop could never end).
template <class Cond>
bool unwrap_pair(rt::FArray2<float, 8, 4>& angles, int k, Cond cond) {
    while (cond()) {
        const float before = angles(k, 3);
        angles(k, 3) = angles(k, 3) + 360.0f;
        angles(k + 1, 3) = angles(k + 1, 3) + 360.0f;
        if (angles(k, 3) == before) return false;
    }
    return true;
}

// The width of a centred row: the mean of the group's widths weighted by 1/esd^2, with the esd of
// that mean; members whose width was not refined are left out, and a group without a refined
// width gets esd 0, which the FWHM calibration leaves out.
void group_width(const float (&fwhm)[8], const float (&esd)[8], float& mean, float& mean_esd) {
    float sw = 0.0f, swx = 0.0f;
    for (int k = 0; k < 8; ++k) {
        if (!width_refined(esd[k])) continue;
        const float w = 1.0f / (esd[k] * esd[k]);
        sw += w;
        swx += w * fwhm[k];
    }
    if (sw > 0.0f) {
        mean = swx / sw;
        mean_esd = 1.0f / std::sqrt(sw);
    } else {
        float s = 0.0f;
        for (int k = 0; k < 8; ++k) s += fwhm[k];
        mean = s / 8.0f;
        mean_esd = 0.0f;
    }
}

}  // namespace

void CALC_OFFSETS(rt::FArray2<float, 8, 4>& angles, const rt::FArray<float, 4>& parities, float g1, float g2,
                  rt::FArray<float, 10>& results, int& status) {
    for (int i = 1; i <= 10; ++i) results(i) = 0.0f;
    status = 0;

    // The settings must follow the sign pattern of 2theta and, unless setting 1 lies within one
    // degree of the bisecting position, of omega.
    for (int k = 2; k <= 8; ++k) {
        if (sign_of(angles(k, 1)) * sign_of(angles(1, 1)) != ISIGNS[k - 1][0]) {
            status = 1;
            return;
        }
        if (std::fabs(angles(1, 2)) > 1.0f &&
            sign_of(angles(k, 2)) * sign_of(angles(1, 2)) != ISIGNS[k - 1][1]) {
            status = 2;
            return;
        }
    }
    // The two settings of each pair share their chi. A chi that is not a number fails here too.
    for (int k = 1; k <= 7; k += 2) {
        if (!(std::fabs(angles(k, 3) - angles(k + 1, 3)) <= 5.0f)) {
            status = 3;
            return;
        }
    }
    // Chi of settings 3, 4 above that of setting 1; chi of settings 5, 6 near 180 minus it.
    const bool unwrapped =
        unwrap_pair(angles, 3, [&] { return !(angles(3, 3) - angles(1, 3) > 0.0f); }) &&
        unwrap_pair(angles, 5, [&] { return angles(5, 3) + angles(1, 3) <= 170.0f; });
    if (!unwrapped) {
        status = 3;
        return;
    }

    float w[8], t[8], c[8];
    for (int k = 1; k <= 8; ++k) {
        t[k - 1] = angles(k, 1);
        w[k - 1] = angles(k, 1) / 2.0f + angles(k, 2);  // absolute omega
        c[k - 1] = angles(k, 3);
    }
    const float P1 = parities(1), P2 = parities(2), P3 = parities(3), P4 = parities(4);
    constexpr int ALL[8] = {1, 1, 1, 1, 1, 1, 1, 1};
    results(1) = weighted(PAT_TTH, w) * 0.25f;
    results(2) = weighted(PAT_OM, w) * 0.125f;
    results(3) = weighted(PAT_CHI, c) * 0.125f;
    results(4) = weighted(ALL, t) * 0.125f;
    results(5) = weighted(ALL, w) * 0.125f;
    results(6) = (weighted(ALL, c) - 720.0f) * 0.125f;
    const float a = weighted(PAT_A, w) * 0.125f * P2;
    const float b = weighted(PAT_B, w) * 0.125f * P2;
    const float e = weighted(PAT_E, c) * 0.125f * P3;
    const float h = weighted(PAT_H, c) * 0.125f * P3;

    const float theta = results(1) / 2.0f / R;
    const float omega = results(2) / R;
    const float chi = results(3) / R;
    const float phi = angles(1, 4) / R;
    const float s_th = P1 * std::sin(theta), c_th = std::cos(theta);
    const float s_om = P2 * std::sin(omega), c_om = std::cos(omega);
    const float s_chi = P3 * std::sin(chi), c_chi = std::cos(chi);
    const float s_phi = P4 * std::sin(phi), c_phi = std::cos(phi);

    rt::FArray<float, 3> TPHI;
    TPHI(1) = a * g1 / c_th / R;
    TPHI(2) = b * g1 / s_th / R;
    TPHI(3) = 2.0f * e * s_th / c_om / (1.0f / g1 + 1.0f / g2) / R;

    rt::FArray2<float, 3, 3> ROT;
    ROT(1, 1) = c_phi * c_om * c_chi - s_phi * s_om;
    ROT(1, 2) = -s_om * c_chi * c_phi - s_phi * c_om;
    ROT(1, 3) = -s_chi * c_phi;
    ROT(2, 1) = c_om * c_chi * s_phi + s_om * c_phi;
    ROT(2, 2) = -s_om * c_chi * s_phi + c_om * c_phi;
    ROT(2, 3) = -s_phi * s_chi;
    ROT(3, 1) = c_om * s_chi;
    ROT(3, 2) = -s_om * s_chi;
    ROT(3, 3) = c_chi;
    for (int i = 1; i <= 3; ++i) {
        float s = 0.0f;
        for (int j = 1; j <= 3; ++j) s = s + ROT(i, j) * TPHI(j);
        results(6 + i) = s;
    }
    results(10) = -(2.0f * g2 * h * s_th / c_om) / R;
}

void RUN_ZREF() {
    rt::FArray2<float, 8, 4> ZANGLES;
    rt::FArray<int, 3> IHSET;
    rt::FArray<float, 10> RESULTS;
    rt::FArray2<float, 125, 4> TRUE_ANGLES;
    rt::FArray2<int, 125, 3> IHSTORE;
    rt::FArray2<float, 125, 2> FWHMSTORE;  // width and esd of each good group
    rt::FArray<float, 125> BACKSTORE;       // background of each good group
    float zfwhm[8], zesd[8], zback[8];            // the group's widths, esds and backgrounds

    WAITBOX(1);
    SET_PREPROCESS(1, 1);
    LOG_WRITE("(/ 80('*') / TR10 'OUTPUT FROM ZREF' /)");

    rt::FArray<float, 4> parities;
    for (int k = 1; k <= 4; ++k) parities(k) = float(GONIO.PARITY(k));

    const int nfit = FITVALS.NFIT < 0 ? 0 : (FITVALS.NFIT > MAXFIT ? MAXFIT : FITVALS.NFIT);
    int ngood = 0;    // good groups so far
    int members = 0;  // rows in the group being collected
    for (int i = 1; i <= nfit; ++i) {
        bool joins = members > 0;
        if (joins) {
            bool same = true, opposite = true;
            for (int k = 1; k <= 3; ++k) {
                same = same && FITVALS.IHFIT(i, k) == IHSET(k);
                opposite = opposite && FITVALS.IHFIT(i, k) == -IHSET(k);
            }
            joins = same || opposite;
        }
        if (!joins) {
            for (int k = 1; k <= 3; ++k) IHSET(k) = FITVALS.IHFIT(i, k);
            members = 0;
        }
        ++members;
        for (int k = 1; k <= 4; ++k) ZANGLES(members, k) = FITVALS.ANGLESFIT(i, k);
        zfwhm[members - 1] = FITVALS.FWHMFIT(i, 1);
        zesd[members - 1] = FITVALS.FWHMFIT(i, 2);
        zback[members - 1] = FITVALS.BACKFIT(i);
        if (members < 8) continue;
        members = 0;

        LOG_WRITE("(/ ' Results For Reflection No. ' I2 ' : hkl= ' 3I5 / TR22 '2Theta' TR4 'Omega' TR6 'Chi' TR6 "
                  "'Phi')",
                  ngood + 1, IHSET);
        for (int k = 1; k <= 8; ++k)
            LOG_WRITE("(TR18 4F10.4)", ZANGLES(k, 1), ZANGLES(k, 2), ZANGLES(k, 3), ZANGLES(k, 4));

        int status = 0;
        CALC_OFFSETS(ZANGLES, parities, GONIO.GONCON1, GONIO.GONCON2, RESULTS, status);
        if (status != 0) {
            LOG_WRITE("(/ / '  SUBROUTINE CALC_OFFSETS RETURNED IERR =' I2)", status);
            continue;
        }
        ++ngood;
        for (int k = 1; k <= 3; ++k) {
            TRUE_ANGLES(ngood, k) = RESULTS(k);
            IHSTORE(ngood, k) = IHSET(k);
        }
        TRUE_ANGLES(ngood, 4) = ZANGLES(1, 4);
        group_width(zfwhm, zesd, FWHMSTORE(ngood, 1), FWHMSTORE(ngood, 2));
        float back = 0.0f;
        for (int k = 0; k < 8; ++k) back += zback[k];
        BACKSTORE(ngood) = back / 8.0f;
        const float length =
            std::sqrt(RESULTS(7) * RESULTS(7) + RESULTS(8) * RESULTS(8) + RESULTS(9) * RESULTS(9));
        LOG_WRITE("(/ / '     TRUE ANGLES: ' 4F10.4 / '          ZEROES: ' 3F10.4 / ' CRYSTAL OFFSETS: ' 3F10.4 / "
                  "'         DELTA-H: ' F10.4 '   LENGTH OF OFFSET = ' F10.4)",
                  RESULTS(1), RESULTS(2), RESULTS(3), ZANGLES(1, 4), rt::out_slice(RESULTS, 4, 10), length);
    }

    WAITBOX(0);
    const std::string_view title = PROGID.PROG_TITLE.trimmed();
    if (ngood == 0) {
        gmDisplayMessageBox(title, "No reflections processed by ZREF", 3, 0);
        return;
    }
    FITVALS.NFIT = ngood;
    for (int i = 1; i <= ngood; ++i) {
        for (int k = 1; k <= 3; ++k) FITVALS.IHFIT(i, k) = IHSTORE(i, k);
        for (int k = 1; k <= 4; ++k) FITVALS.ANGLESFIT(i, k) = TRUE_ANGLES(i, k);
        FITVALS.TH_TRUE(i) = TRUE_ANGLES(i, 1) / 2.0f;
        FITVALS.FWHMFIT(i, 1) = FWHMSTORE(i, 1);
        FITVALS.FWHMFIT(i, 2) = FWHMSTORE(i, 2);
        FITVALS.BACKFIT(i) = BACKSTORE(i);
    }
    const rt::FText<50> text(rt::fmt_write("(I5 ' Reflection groups processed by Zref')", ngood));
    gmDisplayMessageBox(title, text.view(), 3, 0);
}
