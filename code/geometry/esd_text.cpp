// The program's one esd rule: the crystallographic value(esd) convention of the CIF, used for
// every esd the program shows. Every step is 32-bit float arithmetic, which the published
// examples of the notation depend on.
#include <cmath>
#include <cstdio>
#include <string>

#include "include/geometry.h"
#include "runtime/format.h"

namespace {

// 10 to the power n in float, by repeated multiplication (exact up to 10^10).
float ten_to(int n) {
    float p = 1.0f;
    for (int i = 0; i < n; ++i) p = p * 10.0f;
    for (int i = 0; i > n; --i) p = p / 10.0f;
    return p;
}

// An esd of 1 or more: the same rules one or more places further left, so 2.5 gives 3 (places 0)
// and 25 gives 30 (places -1, digits 3).
RoundedEsd round_large(float esd) {
    float v = esd;
    int places = 0;
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
    RoundedEsd r;
    r.kind = RoundedEsd::Rounded;
    r.places = places;
    r.digits = static_cast<long long>(std::ceil(v));
    return r;
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

RoundedEsd ROUND_ESD(float esd) {
    RoundedEsd r;
    if (std::isnan(esd) || esd < 0.0f || std::isinf(esd)) return r;  // Unknown
    if (!(esd > 1.0E-7f)) {
        r.kind = RoundedEsd::Fixed;
        return r;
    }
    if (esd >= 1.0f) return round_large(esd);
    float sigout = esd;
    int j = 0, isig = 0, jsig = 1;
    ROUND_SIGMA(sigout, j, isig, jsig);
    r.kind = RoundedEsd::Rounded;
    r.places = j;
    r.digits = isig;
    return r;
}

std::string ESD_TEXT(float esd) {
    const RoundedEsd r = ROUND_ESD(esd);
    if (r.kind == RoundedEsd::Unknown) return "none";
    if (r.kind == RoundedEsd::Fixed) return "fixed";
    // Built from the digits, so the text is the rounded esd exactly.
    std::string digits = std::to_string(r.digits);
    if (r.places <= 0) return digits + std::string(static_cast<std::size_t>(-r.places), '0');
    const std::size_t places = static_cast<std::size_t>(r.places);
    if (digits.size() <= places) digits.insert(0, places + 1 - digits.size(), '0');
    return digits.substr(0, digits.size() - places) + "." + digits.substr(digits.size() - places);
}

bool VALUE_ESD_TEXT(float& value, float esd, std::string& text) {
    const RoundedEsd r = ROUND_ESD(esd);
    if (r.kind != RoundedEsd::Rounded || !std::isfinite(value)) return false;
    const std::string sig = std::to_string(r.digits);
    if (r.places > 0) {
        float v = value;
        ROUND_VALUE(v, r.places);
        int k = 1;
        GET_PLACES(v, k);
        // The value field is exactly as wide as the rounded value needs, so the text starts at its
        // first digit or sign.
        text = rt::fmt_write("(F" + std::to_string(r.places + k + 1) + "." + std::to_string(r.places) + ",A)", v,
                             "(" + sig + ")");
        value = v;
        return true;
    }
    // Whole units or coarser: the value and the esd in units of one. Beyond what a 64-bit integer
    // holds the value has no digit at this place to show.
    if (-r.places > 17) return false;
    long long unit = 1;
    for (int i = 0; i < -r.places; ++i) unit = unit * 10;
    const float scaled = value / static_cast<float>(unit);
    if (!std::isfinite(scaled) || std::fabs(scaled) >= 9.0e18f / static_cast<float>(unit)) return false;
    const long long rounded = std::llround(scaled) * unit;
    value = static_cast<float>(rounded);
    text = std::to_string(rounded) + "(" + std::to_string(r.digits * unit) + ")";
    return true;
}

std::string VALUE_TEXT(float value, float esd, int decimals) {
    float v = value;
    std::string text;
    if (VALUE_ESD_TEXT(v, esd, text)) return text.substr(0, text.find('('));
    char buf[64];
    if (!std::isfinite(value)) return "none";
    std::snprintf(buf, sizeof buf, "%.*f", decimals, double(value));
    return buf;
}
