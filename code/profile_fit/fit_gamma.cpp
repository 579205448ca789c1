// Utilities, "Calc FWHM": calibrates the peak width against the scattering angle. A straight
// line FWHM = FWHM0 + FWHM1 tan(|2theta|/2) is fitted by weighted least squares (weights
// 1/esd^2) to the widths the preprocessing pass stored in the fitted-reflection table; on
// "Save values" the two coefficients become the FWHM default coefficients PKVALS(2,1) and
// PKVALS(2,2), in memory only. Widths in degrees.
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <limits>

#include "include/fwhm_rule.h"
#include "include/geometry.h"
#include "include/profile_fit.h"
#include "include/shared.h"
#include "include/shell_services.h"
#include "include/toolkit_services.h"

namespace {

constexpr int EXIT_REQUEST = -1;
constexpr int QUIT = 64;
constexpr int SAVE_VALUES = 65;

constexpr float HALF_DEGREE_IN_RADIANS = 0.008726646f;  // pi / 360: tan of theta from 2theta

int fwhm_widget(int k) { return GRAPHICS.IWID(6, k); }

bool fits_a_float(double v) { return std::isfinite(v) && std::fabs(v) <= double(FLT_MAX); }

// tan(theta) from 2theta (degrees, either sign).
float tan_theta(float twotheta) { return std::tan(std::fabs(twotheta) * HALF_DEGREE_IN_RADIANS); }

}  // namespace

// Whether the rule FWHM = a + b tan(theta) makes a peak at every reflection of the data set in
// use: every reflection of its file, not only those the preprocessing pass stored, and from
// 2theta 0 on. The rule is a straight line in tan(theta), so it is judged at the ends of the
// range: at 0, at the lowest and highest tan(theta) among the file's reflections as the start
// values take it, and at each row of the table.
bool FWHM_RULE_MAKES_PEAKS(float a, float b) {
    const FITVALS_t& fv = FITVALS;
    const TOTALS_t& tot = TOTALS;
    bool positive = WIDTH_MAKES_A_PEAK(a);
    if (tot.NREFL > 0) {
        positive = positive && WIDTH_MAKES_A_PEAK(FWHM_RULE_AT(a, b, tot.TANLOW)) &&
                   WIDTH_MAKES_A_PEAK(FWHM_RULE_AT(a, b, tot.TANHIGH));
    }
    const int nfit = fv.NFIT < MAXFIT ? fv.NFIT : MAXFIT;
    for (int n = 1; n <= nfit && positive; ++n)
        positive = WIDTH_MAKES_A_PEAK(FWHM_RULE_AT(a, b, FWHM_RULE_TAN(fv.ANGLESFIT(n, 1)))) &&
                   WIDTH_MAKES_A_PEAK(FWHM_RULE_AT(a, b, tan_theta(fv.ANGLESFIT(n, 1))));
    return positive;
}

void FIT_GAMMA() {
    const FITVALS_t& fv = FITVALS;
    if (fv.IPREPROC != 1) {
        // Titled with the short name "Kelvorantid", not PROG_TITLE as every other box: the one
        // exception, on purpose, and asserted by the calibration's tests.
        gmDisplayErrorBox("Kelvorantid", "Run PreProcess first");
        return;
    }

    // Weighted sums in 32-bit floats, in row order.
    float s0 = 0.0f, s1 = 0.0f, s2 = 0.0f, s3 = 0.0f, s4 = 0.0f;
    int used = 0;
    float first_t = 0.0f;
    bool distinct = false;  // at least two different tan(theta) among the rows used
    const int nfit = fv.NFIT < MAXFIT ? fv.NFIT : MAXFIT;
    for (int n = 1; n <= nfit; ++n) {
        const float esd = fv.FWHMFIT(n, 2);
        if (!width_refined(esd)) continue;  // width not refined (esd 0): left out
        const float fwhm = fv.FWHMFIT(n, 1);
        const float t = tan_theta(fv.ANGLESFIT(n, 1));
        const float w = 1.0f / (esd * esd);
        s0 += w;
        s1 += t * w;
        s2 += fwhm * w;
        s3 += t * t * w;
        s4 += t * fwhm * w;
        if (used == 0) first_t = t;
        if (t != first_t) distinct = true;
        ++used;
    }
    // Without a refined width there is no line: a law of zeros would give every later fit a
    // width of 0.
    if (used == 0) {
        GUIERR(PROGID.PROG_TITLE.view(), "No reflection could be used: no FWHM was refined");
        return;
    }
    // Fewer than two distinct tan(theta) determine no line. D is then zero only in exact
    // arithmetic; in floats its rounding residue would give finite values that look fitted. They
    // are shown as not a number instead.
    float fwhm0 = std::numeric_limits<float>::quiet_NaN(), fwhm1 = fwhm0, esd0 = fwhm0, esd1 = fwhm0;
    const float d = s0 * s3 - s1 * s1;
    if (distinct && d > 0.0f) {
        fwhm0 = (s3 * s2 - s1 * s4) / d;
        fwhm1 = (s0 * s4 - s1 * s2) / d;
        esd0 = std::sqrt(s3 / d);
        esd1 = std::sqrt(s0 / d);
    }

    SHOW_CHECKED(fwhm_widget(2), fwhm0);
    SHOW_CHECKED(fwhm_widget(3), fwhm1);
    gmSetTextSetting(fwhm_widget(6), ESD_TEXT(esd0));
    gmSetTextSetting(fwhm_widget(7), ESD_TEXT(esd1));
    gmDrawWindow(fwhm_widget(1));
    gmSetActiveWindow(fwhm_widget(1));

    int icb = 0;
    for (;;) {
        icb = gmAction(icb);
        if (icb == EXIT_REQUEST) EXIT_PROGRAM();  // "No" goes on where the user was
        if (icb == QUIT) break;
        if (icb == SAVE_VALUES) {
            // What the entries hold is stored, so a value the user typed there is the one kept.
            const double a = gmEnqValueSetting(fwhm_widget(2));
            const double b = gmEnqValueSetting(fwhm_widget(3));
            // A width rule that is not a number would spoil the start value of every later
            // fit: such values are refused and the dialog stays for a correction or "Quit".
            if (!fits_a_float(a) || !fits_a_float(b)) {
                GUIERR(PROGID.PROG_TITLE.view(), "FWHM values are not finite: not saved");
                continue;
            }
            // A coefficient the user typed is judged as in "Pkvals"; the fitted ones stand.
            double typed = 0.0;
            if (!TAKE_CHECKED(fwhm_widget(2), range_of(Quantity::FwhmA), typed) ||
                !TAKE_CHECKED(fwhm_widget(3), range_of(Quantity::FwhmB), typed))
                continue;
            // Nor is a rule that gives a width of 0 or less at any reflection of the data set.
            if (!FWHM_RULE_MAKES_PEAKS(static_cast<float>(a), static_cast<float>(b))) {
                GUIERR(PROGID.PROG_TITLE.view(), "FWHM not positive at every 2theta of the data: not saved");
                continue;
            }
            FITPAR.PKVALS(2, 1) = static_cast<float>(a);
            FITPAR.PKVALS(2, 2) = static_cast<float>(b);
            break;
        }
    }
    gmRemoveWindow(fwhm_widget(1));
    gmSetActiveWindow(GRAPHICS.IMASTER);
}
