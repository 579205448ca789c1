// Crystallographic value(esd) notation: the esd rounded up to one significant digit (two when
// its leading digits are 19 or less), the value rounded to the same last decimal, written as
// 12.3456(15). Every step is 32-bit float arithmetic, which the expected texts depend on.
#include "shell/format_esd.h"

#include <cmath>
#include <string>

#include "runtime/format.h"
#include "runtime/units.h"

namespace {

// 10 to the power n in float, by repeated multiplication (exact up to 10^10).
float ten_to(int n) {
    float p = 1.0f;
    for (int i = 0; i < n; ++i) p = p * 10.0f;
    for (int i = 0; i > n; --i) p = p / 10.0f;
    return p;
}

void put_stdout(const std::string& rec) {
    const int ios = rt::unit_write_record(rt::kStdOutUnit, rec);
    if (ios != rt::IOS_OK) rt::io_fatal_unit(rt::kStdOutUnit, ios);
}

// The value(esd) text for an esd of 1 or more (a large cell volume's, typically): the same
// rules one or more places further left, so 1234.567 with esd 2.5 gives 1235(3) and with esd 25
// gives 1230(30). false for an esd that is not a finite number.
bool large_esd_text(float& value, float esd, std::string& text) {
    if (!std::isfinite(esd)) return false;
    float v = esd;
    int places = 0;  // decimals kept; 0 or below: the value is rounded to 10^-places
    while (v > 10.0f) {
        v = v / 10.0f;
        places = places - 1;
    }
    if (v <= 1.0f) {  // exactly 1: two digits, as an esd of 0.1 gives 10
        v = v * 10.0f;
        places = places + 1;
    }
    if (v <= 1.9f) {
        v = v * 10.0f;
        places = places + 1;
    }
    const int isig = static_cast<int>(std::ceil(v));
    const std::string digits = isig > 9 ? "2" : "1";
    if (places > 0) {
        ROUND_VALUE(value, places);
        int k = 1;
        GET_PLACES(value, k);
        text = rt::fmt_write("(F" + std::to_string(places + k + 1) + "." + std::to_string(places) + ",'(',I" +
                                 digits + ",')')",
                             value, isig);
        return true;
    }
    // Whole units or coarser: value and esd written as integers, the esd in units of one.
    // Beyond what 20 columns can show (or a 64-bit integer hold): a field of asterisks.
    const std::string overflow(21, '*');
    if (-places > 17) {
        text = overflow;
        return true;
    }
    long long unit = 1;
    for (int i = 0; i < -places; ++i) unit = unit * 10;
    const float scaled = value / static_cast<float>(unit);
    if (!std::isfinite(scaled) || std::fabs(scaled) >= 9.0e18f / static_cast<float>(unit)) {
        text = overflow;
        return true;
    }
    const long long rounded = std::llround(scaled) * unit;
    value = static_cast<float>(rounded);
    text = std::to_string(rounded) + "(" + std::to_string(static_cast<long long>(isig) * unit) + ")";
    return true;
}

}  // namespace

void ROUND_SIGMA(float& esd, int& J, int& ISIG, int& JSIG) {
    J = 0;
    JSIG = 1;
    if (esd >= 1.0f) return;
    // A zero, negative or undefined esd has no first significant digit to find.
    if (!(esd > 0.0f)) return;
    float v = esd;
    int n = 0;
    // Scaled until strictly above 1: an esd of 0.1 becomes 10, not 1.
    do {
        n = n + 1;
        v = v * 10.0f;
    } while (!(v > 1.0f));
    if (v <= 1.9f) {
        v = v * 10.0f;
        n = n + 1;
    }
    ISIG = static_cast<int>(std::ceil(v));  // v lies in (1, 19]: rounded up, never down
    JSIG = ISIG > 9 ? 2 : 1;
    esd = static_cast<float>(ISIG) / ten_to(n);
    J = n;
}

void ROUND_VALUE(float& value, int J) {
    const float p = ten_to(J);
    const float scaled = value * p;
    // A value too large to need rounding at this decimal (or not a number) stays as it is.
    if (!std::isfinite(scaled) || std::fabs(scaled) >= 9.0e18f) return;
    value = static_cast<float>(std::llround(scaled)) / p;
}

void GET_PLACES(float value, int& K) {
    K = value < 0.0f ? 2 : 1;
    float a = std::fabs(value);
    if (!std::isfinite(a)) return;
    while (a / 10.0f >= 1.0f) {
        K = K + 1;
        a = a / 10.0f;
    }
}

void FORMAT_VALUE(float& value, float esd, rt::FText<20>& OUTSTRING) {
    OUTSTRING.blank();
    if (esd > 1.0E-7f) {
        float sigout = esd;
        int j = 0, isig = 0, jsig = 1;
        ROUND_SIGMA(sigout, j, isig, jsig);
        std::string text;
        if (j == 0) {
            // An esd of 1 or more still gives a value: a CIF item without one is unreadable.
            if (!large_esd_text(value, esd, text)) {
                put_stdout("");
                put_stdout(" ***SUBROUTINE REPORTED SIG > 1.0");
                return;
            }
        } else {
            ROUND_VALUE(value, j);
            int k = 1;
            GET_PLACES(value, k);
            // The value field is exactly as wide as the rounded value needs, so the text starts
            // at its first digit or sign; a wide value (a large cell volume) gets its full width.
            const std::string fmt = "(F" + std::to_string(j + k + 1) + "." + std::to_string(j) + ",'(',I" +
                                    std::to_string(jsig) + ",')')";
            text = rt::fmt_write(fmt, value, isig);
        }
        // A text that cannot stand in the 20 columns is shown as a field of asterisks.
        if (text.size() > 20) text.assign(20, '*');
        OUTSTRING = text;
    } else {
        ROUND_VALUE(value, 4);
        std::string text = rt::fmt_write("(F8.4)", value);
        if (std::isfinite(value) && text.find('*') != std::string::npos) {
            // Too wide for F8.4 (a cell volume of 1000 cubic angstroms or more): the same four
            // decimals in a field as wide as the value needs, never a field of asterisks.
            int k = 1;
            GET_PLACES(value, k);
            text = rt::fmt_write("(F" + std::to_string(k + 5) + ".4)", value);
            if (text.size() > 20) text.assign(20, '*');
            OUTSTRING = text;
        } else {
            OUTSTRING = text + "    ";
        }
    }
}
