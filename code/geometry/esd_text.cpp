#include <cmath>
#include <cstdio>

#include "include/geometry.h"

std::string ESD_TEXT(float esd) {
    if (!std::isfinite(esd) || esd < 0.0f) return "none";
    // As the CIF: an esd of 1.0E-7 or less is no esd (a constrained refinement leaves the angles
    // it holds a variance of nothing but rounding).
    if (!(esd > 1.0e-7f)) return "fixed";
    char buf[32];
    if (esd >= 1.0f) {
        // One decimal while the leading digits read 19 or less, whole units above.
        if (esd <= 1.9f) std::snprintf(buf, sizeof buf, "%.1f", std::ceil(double(esd) * 10.0 - 1e-6) / 10.0);
        else std::snprintf(buf, sizeof buf, "%.0f", std::ceil(double(esd) - 1e-6));
        return buf;
    }
    // As the CIF rounds it, in 32-bit floats: decimals n put the esd in (1, 19] units of the last
    // place, and it is rounded up, never down.
    int n = 0;
    float v = esd;
    do {
        v = v * 10.0f;
        ++n;
    } while (!(v > 1.0f));
    if (v <= 1.9f) {
        v = v * 10.0f;
        ++n;
    }
    if (n > 12) {
        std::snprintf(buf, sizeof buf, "%.0E", double(esd));
        return buf;
    }
    std::snprintf(buf, sizeof buf, "%.*f", n, double(std::ceil(v)) / std::pow(10.0, n));
    return buf;
}
