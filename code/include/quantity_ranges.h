// What each number a user gives the program may be: one table from quantity to the range it
// allows, read by every dialog that takes a typed number and by the instrument parameter file's
// reader, so that a number is judged the same wherever it comes from. A number that reads but
// makes no physical sense (a wavelength of 0, a width wider than the scan, 2.7 end steps) is
// refused with the sentence range_rule() makes.
#pragma once
#include <string>

enum class Quantity {
    // Wavelengths and the alpha2 peak (Pkvals, WAVEL).
    NumberOfWavelengths,
    Wavelength1,
    Wavelength2,
    Iratio,
    // The default peak width a + b tan|theta| and the peak shape (Pkvals, PKPAR).
    FwhmA,
    FwhmB,
    Eta,
    // The fixed background: a exp(-b 2theta) + c and the end-step count (Backgrounds, BACKGR).
    BackgroundA,
    BackgroundB,
    BackgroundC,
    EndSteps,
    // Start values typed into the fitting dialog. The FWHM and the position are bounded by the
    // scan on display (with_scan_bounds).
    StartBackground,
    StartFwhm,
    StartIntensity,
    StartPosition,
    StartEta,
    StartIratio,
    // Acceptance limits (fitting dialog, FITLIM). The position limits are distances from the
    // calculated position; the intensity limit may be negative (weak reflections).
    LimitBackground,
    LimitFwhm,
    LimitIntensity,
    LimitPosition,
    LimitEta,
    LimitIratio,
    LimitRwp,
    // The preprocessing threshold and the sequence-number search.
    IsigmaThreshold,
    SequenceNumber,
    // Instrument constants of the parameter file.
    Attenuator,
    MonochromatorType,
    Monochromator2Theta,
    DihedralAngle,
    MonochromatorSense,
    Parity,
    // Further values of the instrument parameter file: the refine and test flags, the background
    // model, the goniometer distances, the axis mapping, and a value the line carries but the
    // program does not use (the alpha2 values of a line with one wavelength).
    RefineFlag,
    TestFlag,
    BackgroundModel,
    GoniometerDistance,
    AxisIndex,
    UnusedNumber,
};

struct QuantityRange {
    const char* name;     // "the alpha1 wavelength"
    double low, high;     // +-infinity: no bound on that side
    bool low_open;        // true: the bound itself is not allowed ("above 0")
    bool high_open;
    bool whole;           // whole numbers only
    bool not_zero;        // 0 is not allowed (a circle parity is -1 or 1)
    const char* unit;     // after the numbers: "A", "degrees"; empty for none
};

// The range of a quantity as the table gives it.
QuantityRange range_of(Quantity q);

// The range of the FWHM and position start values for the scan on display, whose steps run
// from omega x1 to xn: a width above 0 and below the scan's width, a position inside the scan.
// Other quantities are returned as the table gives them.
QuantityRange with_scan_bounds(Quantity q, double x1, double xn);

// Whether v lies in the range (not a number never does).
bool in_range(const QuantityRange& r, double v);
inline bool in_range(Quantity q, double v) { return in_range(range_of(q), v); }

// "the alpha1 wavelength must be above 0 and at most 10 A", "the number of end steps must be a
// whole number from 1 to 99".
std::string range_rule(const QuantityRange& r);
inline std::string range_rule(Quantity q) { return range_rule(range_of(q)); }

// A number as the refusal shows it: shortest form that reads back as the number ("1e+30",
// "-1.5", "2.7").
std::string shown_number(double v);
