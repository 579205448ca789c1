#include "include/quantity_ranges.h"

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace {

constexpr double INF = HUGE_VAL;

struct Row {
    Quantity q;
    QuantityRange r;
};

// name, low, high, low open, high open, whole, not zero, unit
constexpr Row TABLE[] = {
    {Quantity::NumberOfWavelengths, {"the number of wavelengths", 1, 2, false, false, true, false, ""}},
    {Quantity::Wavelength1, {"the alpha1 wavelength", 0, 10, true, false, false, false, "A"}},
    {Quantity::Wavelength2, {"the alpha2 wavelength", 0, 10, true, false, false, false, "A"}},
    {Quantity::Iratio, {"the alpha2/alpha1 ratio Iratio", 0, 1, false, false, false, false, ""}},
    {Quantity::FwhmA, {"the FWHM coefficient a", 0.001, 10, false, false, false, false, "degrees"}},
    {Quantity::FwhmB, {"the FWHM coefficient b", 0, 10, false, false, false, false, "degrees"}},
    {Quantity::Eta, {"eta", 0, 1, false, false, false, false, ""}},
    {Quantity::BackgroundA, {"the background coefficient a", 0, 1e9, false, false, false, false, "counts"}},
    {Quantity::BackgroundB, {"the background coefficient b", -1, 1, false, false, false, false, "per degree"}},
    {Quantity::BackgroundC, {"the background coefficient c", 0, 1e9, false, false, false, false, "counts"}},
    {Quantity::EndSteps, {"the number of end steps", 1, 99, false, false, true, false, ""}},
    {Quantity::StartBackground, {"the background start value", 0, INF, false, false, false, false, "counts"}},
    {Quantity::StartFwhm, {"the FWHM start value", 0, 10, true, false, false, false, "degrees"}},
    {Quantity::StartIntensity, {"the intensity start value", 0, INF, false, false, false, false, ""}},
    {Quantity::StartPosition, {"the position start value", -180, 180, false, false, false, false, "degrees"}},
    {Quantity::StartEta, {"the eta start value", 0, 1, false, false, false, false, ""}},
    {Quantity::StartIratio, {"the Iratio start value", 0, 1, false, false, false, false, ""}},
    // A background limit below 0 leaves the lower side of the test open: parameter files use it so.
    {Quantity::LimitBackground, {"a background limit", -INF, INF, false, false, false, false, "counts"}},
    {Quantity::LimitFwhm, {"an FWHM limit", 0, 10, false, false, false, false, "degrees"}},
    {Quantity::LimitIntensity, {"an intensity limit", -INF, INF, false, false, false, false, ""}},
    {Quantity::LimitPosition, {"a position limit", -10, 10, false, false, false, false, "degrees"}},
    {Quantity::LimitEta, {"an eta limit", 0, 1, false, false, false, false, ""}},
    {Quantity::LimitIratio, {"an Iratio limit", 0, 1, false, false, false, false, ""}},
    {Quantity::LimitRwp, {"the Rwp limit", 0, 100, true, false, false, false, ""}},
    {Quantity::IsigmaThreshold, {"the I/sigma threshold", 0, 1000, false, false, false, false, ""}},
    {Quantity::SequenceNumber, {"a sequence number", 1, 999999, false, false, true, false, ""}},
    // An attenuator factor of 0 would make every attenuated reflection's intensity 0.
    {Quantity::Attenuator, {"the attenuator factor", 0, 1e6, true, false, false, false, ""}},
    {Quantity::MonochromatorType, {"the monochromator type", 0, 1, false, false, true, false, ""}},
    {Quantity::Monochromator2Theta, {"the monochromator 2theta", -180, 180, false, false, false, false, "degrees"}},
    {Quantity::DihedralAngle, {"the dihedral angle", -360, 360, false, false, false, false, "degrees"}},
    {Quantity::MonochromatorSense, {"the monochromator sense", -1, 1, false, false, true, false, ""}},
    {Quantity::Parity, {"a circle parity", -1, 1, false, false, true, true, ""}},
    {Quantity::RefineFlag, {"a refine flag", 0, 1, false, false, true, false, ""}},
    {Quantity::TestFlag, {"a test flag", 0, 1, false, false, true, false, ""}},
    {Quantity::BackgroundModel, {"the background model", 0, 3, false, false, true, false, ""}},
    // The crystal-to-detector distance and the second distance of the goniometer: a diffractometer
    // circle measures some centimetres to a few metres.
    {Quantity::GoniometerDistance, {"a goniometer distance", 10, 5000, false, false, false, false, "mm"}},
    // The signed axis numbers of the mapping onto Busing-Levy axes: whether the three make a
    // signed permutation is checked after the file has been read.
    {Quantity::AxisIndex, {"an axis number", -INF, INF, false, false, true, false, ""}},
    {Quantity::UnusedNumber, {"the value", -INF, INF, false, false, false, false, ""}},
};

}  // namespace

QuantityRange range_of(Quantity q) {
    for (const Row& row : TABLE)
        if (row.q == q) return row.r;
    return {"a number", -INF, INF, false, false, false, false, ""};
}

QuantityRange with_scan_bounds(Quantity q, double x1, double xn) {
    QuantityRange r = range_of(q);
    if (!std::isfinite(x1) || !std::isfinite(xn) || x1 == xn) return r;
    if (x1 > xn) std::swap(x1, xn);
    if (q == Quantity::StartFwhm) {
        r.high = xn - x1;
        r.high_open = true;
    } else if (q == Quantity::StartPosition) {
        r.low = x1;
        r.high = xn;
    }
    return r;
}

bool in_range(const QuantityRange& r, double v) {
    if (std::isnan(v)) return false;
    if (r.low_open ? !(v > r.low) : !(v >= r.low)) return false;
    if (r.high_open ? !(v < r.high) : !(v <= r.high)) return false;
    if (r.whole && v != std::trunc(v)) return false;
    if (r.not_zero && v == 0) return false;
    return true;
}

std::string shown_number(double v) {
    // The program keeps its numbers as 32-bit reals: a number that one holds is shown with the
    // digits that give that real back (0.2, not 0.20000000298023224).
    const bool real = std::isfinite(v) && std::fabs(v) <= double(FLT_MAX) && double(float(v)) == v;
    char buf[40];
    if (std::fabs(v) < 1e15 && v == std::trunc(v)) {
        std::snprintf(buf, sizeof buf, "%.0f", v);  // whole numbers in full: 2147483648
        return buf;
    }
    for (int digits = 6; digits <= 17; ++digits) {
        std::snprintf(buf, sizeof buf, "%.*g", digits, v);
        const double back = std::strtod(buf, nullptr);
        if (real ? float(back) == float(v) : back == v) break;
    }
    return buf;
}

std::string range_rule(const QuantityRange& r) {
    std::string text = std::string(r.name) + " must be ";
    const std::string unit = *r.unit ? std::string(" ") + r.unit : std::string();
    if (r.not_zero && r.whole && r.low == -1 && r.high == 1) return text + "-1 or 1";
    if (r.whole && std::isfinite(r.low) && std::isfinite(r.high) && !r.low_open && !r.high_open)
        return text + "a whole number from " + shown_number(r.low) + " to " + shown_number(r.high) + unit;
    std::string low, high;
    if (std::isfinite(r.low)) low = (r.low_open ? "above " : "at least ") + shown_number(r.low);
    if (std::isfinite(r.high)) high = (r.high_open ? "below " : "at most ") + shown_number(r.high);
    if (low.empty() && high.empty()) return text + "a number" + unit;
    if (low.empty() || high.empty()) return text + low + high + unit;
    return text + low + " and " + high + unit;
}
