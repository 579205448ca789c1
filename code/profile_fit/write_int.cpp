// The integrated data file: Lorentz-polarisation correction of the current reflection and its
// entry in the "Rfine", "Rfine extended" or "Shelx hkl" layout on unit 2.
//
// Angles are degrees, omega relative to theta. The entry carries the profile intensity (IINT = 2)
// or the summation intensity, multiplied by the inverse Lorentz-polarisation factor; the fitted
// peak position replaces the setting omega; chi and phi are brought into (-180, 180]. Shelx
// entries with a valid orientation matrix carry the direction cosines of the reversed incident
// and the diffracted beam on the reciprocal axes, as SHELX expects them.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "include/profile_fit.h"
#include "include/shared.h"
#include "include/shell_services.h"
#include "include/toolkit_services.h"
#include "runtime/format.h"

namespace {

constexpr int LUN_INT = 2;  // unit of the integrated data file

// Fixed-point descriptor "Fw.d" for a width and decimal count chosen at run time.
std::string fdesc(int w, int d) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "F%d.%d", w, d);
    return buf;
}

// True when VALUE written with d decimals (rounded as the record writer rounds, the zero before
// the point dropped when that makes room) takes at most w columns.
bool fits_field(float value, int w, int d) {
    char buf[80];
    const int n = std::snprintf(buf, sizeof buf, "%.*f", d, double(value));
    if (n < 0 || n >= int(sizeof buf)) return false;
    int len = n;
    if (len > w && (std::strncmp(buf, "0.", 2) == 0 || std::strncmp(buf, "-0.", 3) == 0)) len = len - 1;
    return len <= w;
}

// The file refused the entry: what reached it is cut off, the user and the log are told, and the
// file is closed with the entries written before.
int write_failed(long mark) {
    const std::string reason = rt::write_failure_reason();
    (void)rt::unit_cut_back(LUN_INT, mark);
    const std::string text = "Error writing integrated data file " + FILEINFO.OUT_NAME.str() + ": " + reason +
                             ". Reflection " + std::to_string(REFLN.ISEQ) +
                             " not written; the file keeps the reflections written before it and is closed.";
    LOG_WRITE("(/1X,A)", text);
    CHECK_LOG();
    GUIERR(PROGID.PROG_TITLE.view(), text);
    CLOSE_OUT();
    return INT_WRITE_FAILED;
}

}  // namespace

// Number of decimals that make VALUE fill a field of IW columns exactly (one column for a minus
// sign, at least one digit before the point). IERR = 1, ND untouched, when the value does not fit
// at all. A value that is not a number fits no field.
void DYNAMIC_FT(int IW, float VALUE, int& ND, int& IERR) {
    // 10^k for the limits 10^(IW-1) - 1 and 10^(IW-2) - 1; wider fields than the table holds are
    // refused rather than read past it.
    static const double TEN[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    constexpr int NTEN = int(sizeof TEN / sizeof TEN[0]);
    IERR = 0;
    if (std::isnan(VALUE)) {
        IERR = 1;
        return;
    }
    float X = VALUE + 0.001f;
    bool negative;
    int k;
    if (X > 0.0f) {
        negative = false;
        k = IW - 1;
    } else {
        negative = true;
        k = IW - 2;
        X = std::fabs(X);
    }
    if (k < 0 || k >= NTEN) {
        IERR = 1;
        return;
    }
    const double LIMIT = TEN[k] - 1.0;
    if (double(X) > LIMIT) {
        IERR = 1;
        return;
    }
    int N = 1;
    do {
        X = X / 10.0f;
        N = N + 1;
    } while (X > 1.0f);
    if (negative) N = N + 1;
    int nd = IW - N;
    // The digit count above can fall one short: once the value is large enough to swallow the
    // 0.001 in 32 bits, an exact power of ten (100000.0) divides down to exactly 1.0. Such a value
    // would then overflow its own field, so take one decimal less when it does not fit.
    if (nd >= 0 && !fits_field(VALUE, IW, nd)) nd = nd - 1;
    if (nd < 0) {
        IERR = 1;
        return;
    }
    ND = nd;
}

// Brings an angle in degrees into (-180, 180]. A value that is not finite stays as it is; a huge
// one is first reduced with fmod, so the stepping below always ends.
void WRAP(float& ANGLE) {
    if (!std::isfinite(ANGLE)) return;
    if (std::fabs(ANGLE) > 1.0e6f) ANGLE = std::fmod(ANGLE, 360.0f);
    while (!(ANGLE > -180.0f)) ANGLE = ANGLE + 360.0f;
    while (ANGLE > 180.0f) ANGLE = ANGLE - 360.0f;
}

// Inverse Lorentz-polarisation factor at 2theta TTH (degrees): the factor by which a measured
// intensity is multiplied. With a monochromator (MONO_TYPE 1) its Bragg angle and the dihedral
// angle between the two diffraction planes enter the polarisation; without one the factor is
// 2 sin 2theta / (1 + cos^2 2theta). Depends on |2theta| only.
float CLORENZ(float TTH) {
    const float R = 0.017453292f;
    if (MONOCH.MONO_TYPE == 1) {
        const float cm = std::cos(MONOCH.MONO_2THETA * R);
        const float M = cm * cm;
        const float sd = std::sin(MONOCH.MONO_DIHEDRAL * R);
        const float S = sd * sd;
        const float c = std::cos(TTH * R);
        const float s = std::fabs(std::sin(TTH * R));
        return (1.0f + M) * s / ((M * (1.0f - S) + S) * (c * c) + S * M + 1.0f - S);
    }
    const float s = std::fabs(std::sin(0.5f * TTH * R));
    const float c = std::sqrt(1.0f - s * s);
    const float p = s * c;
    return 2.0f * s * c / (1.0f - 2.0f * p * p);
}

// Unit vectors of the reversed incident beam (DC 1..3) and of the diffracted beam (DC 4..6) in the
// phi-axis frame of Busing & Levy, for the angles 2theta, omega (relative to theta), chi, phi in
// degrees, all circle senses +1. Their sum is 2 sin(theta) times the unit diffraction vector.
void CALC_DIRNCOSINES(const rt::FArray<float, 4>& ANGLES, rt::FArray<float, 6>& DC) {
    const float R = 0.017453292f;
    const float t = ANGLES(1) / 2.0f;
    const float w = ANGLES(2);
    const float x = ANGLES(3) * R;
    const float f = ANGLES(4) * R;
    const float a = (t + w) * R;
    const float b = (t - w) * R;
    const float sa = std::sin(a), ca = std::cos(a), sb = std::sin(b), cb = std::cos(b);
    const float sx = std::sin(x), cx = std::cos(x), sf = std::sin(f), cf = std::cos(f);
    DC(1) = sa * cx * cf + ca * sf;
    DC(2) = sa * cx * sf - ca * cf;
    DC(3) = sa * sx;
    DC(4) = sb * cx * cf - cb * sf;
    DC(5) = sb * cx * sf + cb * cf;
    DC(6) = sb * sx;
}

// Direction cosines of the two beams with a*, b*, c* of the orientation matrix in force:
// DCSHELX = (incident.a*, diffracted.a*, incident.b*, diffracted.b*, incident.c*, diffracted.c*).
void DC_TOSHELX(const rt::FArray<float, 6>& DC, rt::FArray<float, 6>& DCSHELX) {
    if (UNITCELL.UBOK == 0) {
        DCSHELX(1) = 1.0f;
        DCSHELX(2) = 1.0f;
        for (int i = 3; i <= 6; ++i) DCSHELX(i) = 0.0f;
        return;
    }
    rt::FArray<float, 3> DCI, DCD;
    for (int i = 1; i <= 3; ++i) {
        float si = 0.0f, sd = 0.0f;
        for (int j = 1; j <= 3; ++j) {
            si = si + UNITCELL.UBT(i, j) * DC(j);
            sd = sd + UNITCELL.UBT(i, j) * DC(j + 3);
        }
        DCI(i) = si;
        DCD(i) = sd;
    }
    for (int i = 1; i <= 3; ++i) {
        DCSHELX(2 * i - 1) = DCI(i) / UNITCELL.RECELL(i);
        DCSHELX(2 * i) = DCD(i) / UNITCELL.RECELL(i);
    }
}

// Writes the current reflection as one entry of the integrated data file (nothing while no file
// is open). An intensity (or, in the Rfine layouts, an esd) too large for its field is reported
// in a box and the entry is left out. Every entry goes out to the file at once, and the log is
// flushed with it, so a failure loses nothing written before it: a write the file system refuses
// (a full disk, a file-size limit) cuts the part of the entry that reached the file off again,
// names the file and the reason in a box and closes the file with its whole entries.
int WRITE_INT() {
    if (FILEINFO.OUTOPEN == 0) return INT_LEFT_OUT;
    const float SEQCODE = 10.0f * float(REFLN.ISEQ) + float(REFLN.ISTD);
    const int NEXTRA = FILEINFO.OUT_FORMAT == 2 ? 3 : 0;

    float PEAK_OUT, SIGMA_OUT;
    if (FITOPT.IINT == 2) {
        PEAK_OUT = INTRES.PEAK;
        SIGMA_OUT = INTRES.SIGPEAK;
    } else {
        PEAK_OUT = INTRES.ISUM;
        SIGMA_OUT = INTRES.SIGISUM;
    }
    const float L = CLORENZ(REFLN.ANGL(1));
    PEAK_OUT = L * PEAK_OUT;
    SIGMA_OUT = L * SIGMA_OUT;
    // At 2theta = 0 the factor is 0: a negative intensity then gives zero, not a negative zero
    // (which the record writer would show with its sign).
    if (PEAK_OUT == 0.0f) PEAK_OUT = 0.0f;
    if (SIGMA_OUT == 0.0f) SIGMA_OUT = 0.0f;

    WRAP(REFLN.ANGL(3));
    WRAP(REFLN.ANGL(4));
    rt::FArray<float, 4> TANGLE;
    for (int i = 1; i <= 4; ++i) TANGLE(i) = REFLN.ANGL(i);
    if (std::fabs(FITPAR.VALS(4)) < 999.0f) TANGLE(2) = FITPAR.VALS(4);

    // The six status characters; a character no routine has set yet goes out as a blank.
    rt::FText<6> flags = REFLN.FLAG;
    for (int i = 1; i <= 6; ++i)
        if (flags(i) == '\0') flags(i) = ' ';

    // The file's length before the entry: a refused write is cut back to it.
    const long mark = rt::unit_mark(LUN_INT);
    bool failed = mark < 0;
    auto checked = [&failed](int ios) {
        if (ios != rt::IOS_OK) failed = true;
    };
    // The entry goes out to the file, and the log's lines with it: a pass cut short (a signal,
    // a full disk) leaves a log that says what the integrated data file holds.
    auto flushed = [&]() -> int {
        if (!failed) checked(rt::unit_flush(LUN_INT));
        if (failed) return write_failed(mark);
        CHECK_LOG();
        return INT_WRITTEN;
    };

    int ND1 = 0, ND2 = 0, IERR = 0;
    if (FILEINFO.OUT_FORMAT == 1 || FILEINFO.OUT_FORMAT == 2) {
        DYNAMIC_FT(11, PEAK_OUT, ND1, IERR);
        if (IERR == 0) DYNAMIC_FT(7, SIGMA_OUT, ND2, IERR);
        if (IERR == 0) {
            const std::string fmt = "(3I3, 2F8.4, 2F8.3, 1X, " + fdesc(11, ND1) + ", 1X, " + fdesc(7, ND2) +
                                    ", F7.0, 2X, A6, I3)";
            checked(rt::write_unit(LUN_INT, fmt, REFLN.IH, TANGLE, PEAK_OUT, SIGMA_OUT, SEQCODE, flags, NEXTRA));
            if (NEXTRA == 3) {
                checked(rt::write_unit(LUN_INT, "('FACTORS   ', 4(1X, F9.4))", FITPAR.RWP, FITPAR.CHI2, REFLN.SCALE,
                                       REFLN.STEP));
                checked(rt::write_unit(LUN_INT, "('PARAMETERS', 6(1X, F9.4))", FITPAR.VALS));
                checked(rt::write_unit(LUN_INT, "('SIGMAS    ', 7(1X, F9.4))", FITPAR.SIGVAL, INTRES.SIGISUM));
            }
            return flushed();
        }
    } else {
        DYNAMIC_FT(7, PEAK_OUT, ND1, IERR);
        if (IERR == 0) {
            int IERR2 = 0;
            DYNAMIC_FT(7, SIGMA_OUT, ND2, IERR2);
            if (IERR2 != 0) {
                SIGMA_OUT = 999999.0f;
                ND2 = 0;
            }
            const std::string head = "(3I4, 1X, " + fdesc(7, ND1) + ", 1X, " + fdesc(7, ND2) + ", '   1'";
            if (UNITCELL.UBOK == 0) {
                checked(rt::write_unit(LUN_INT, head + ")", REFLN.IH, PEAK_OUT, SIGMA_OUT));
            } else {
                rt::FArray<float, 6> DC, DCSHELX;
                CALC_DIRNCOSINES(TANGLE, DC);
                DC_TOSHELX(DC, DCSHELX);
                checked(rt::write_unit(LUN_INT, head + ", 6F8.5)", REFLN.IH, PEAK_OUT, SIGMA_OUT, DCSHELX));
            }
            return flushed();
        }
    }

    // Overflow: the reflection is left out and the user is told which one.
    const std::string msg = rt::fmt_write("('Output format exceeded, reflection', I5, ' not written')", REFLN.ISEQ);
    GUIERR(PROGID.PROG_TITLE.view(), msg);
    return INT_LEFT_OUT;
}
