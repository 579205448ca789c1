// Reader of the "Xcalibur Ascii" format (.dca): 80-column lines whose first column names the kind
// of line. Header: G (ignored), C (comment; "Version" marks the new layout), P (parameter lines
// "sc s"/"sc w", "mo s", "wl", "rr" and the standard lines after "rr"), U (three rows of the
// orientation matrix, per unit wavelength). Data: per reflection a "#" (ordinary) or "R"
// (reference) line, two Z lines of kappa angles (the second unused), an optional E line of Euler
// angles, at most one line of another kind, and the S count lines, eight counts a line.
//
// The goniometer is a kappa instrument (kappa axis inclined at 50 degrees); ANGLE_CONV turns its
// settings into the program's angle set. Omega of the file is absolute and is reduced by
// 2theta/2. Degrees and radians are converted with 0.017453292.
#include <cmath>
#include <string>
#include <string_view>

#include "include/scan_input.h"
#include "include/shared.h"
#include "include/shell_services.h"
#include "runtime/format.h"
#include "runtime/units.h"
#include "scan_input/reader_helpers.h"

namespace {

using scanin::IN_UNIT;
using scanin::unchecked_values;

constexpr float DTOR = 0.017453292f;


// Scan codes of the file and the program's codes they become ("FT", attenuated, is apart).
struct ScanCode {
    std::string_view format;
    const char* program;
};
constexpr ScanCode SCAN_CODES[] = {{"LT", "W"}, {"WK", "M"}, {"NL", "R"}, {"ST", "S"}};

// Steps the input file back by one line; the line read again keeps its number.
void step_back() {
    scanin::unchecked_step_back(rt::unit_backspace(IN_UNIT));
}

// The fields of the lines of a reflection (first column from 1, width): of a "#" line (and an
// "R" line of the new layout) the sequence number, h k l and the scale factor; of a Z or E line
// the four angles; of an S line one count.
constexpr scanin::Field REFLECTION_FIELDS[] = {{2, 5}, {10, 5}, {15, 5}, {20, 5}, {64, 6}};
constexpr scanin::Field OLD_REFERENCE_FIELDS[] = {{2, 5}, {10, 5}, {15, 5}, {20, 5}};
constexpr scanin::Field WIDE_REFERENCE_FIELDS[] = {{2, 6}, {11, 5}, {16, 5}, {21, 5}};
constexpr scanin::Field ANGLE_FIELDS[] = {{2, 10}, {12, 10}, {22, 10}, {32, 10}};

// The file ends inside a reflection (a cut file): the reflection is dropped as unusable, and the
// next call meets the end of the file.
void cut_short(int& IERR) { IERR = 13; }

// Columns first..first+width-1 (from 1) of the line, blanks beyond its end.
std::string columns(const rt::FText<80>& line, int first, int width) {
    std::string s;
    for (int c = first; c < first + width; ++c) s += (c >= 1 && c <= 80) ? line(c) : ' ';
    return s;
}

// Column (from 1) at which text first occurs in the line, 0 when it does not.
int find_col(const rt::FText<80>& line, std::string_view text) {
    const std::size_t p = line.view().find(text);
    return p == std::string_view::npos ? 0 : int(p) + 1;
}

// A value of the header that its layout cannot read: the user's damaged file.
void header_value(int ios) { unchecked_values(ios, "the header line"); }

// GET_LINE for the header: the end of the file before the first reflection line is damage.
void header_line(rt::FText<80>& line, char label) {
    int ierr = 0;
    GET_LINE(line, label, ierr);
    if (ierr != 0) scanin::damaged("end of file inside the header", true);
}

// "C ... Version a.b.c": the three parts of the version number are read (and not used further).
void read_version(const rt::FText<80>& line, int after) {
    const std::string_view s = line.view();
    const std::size_t p = std::size_t(after);  // 0-based index of the column after "Version"
    const std::size_t dot1 = s.find('.', p);
    const std::string big(s.substr(p, dot1 == std::string_view::npos ? std::string_view::npos : dot1 - p));
    std::string mid, bug;
    if (dot1 != std::string_view::npos) {
        const std::size_t dot2 = s.find('.', dot1 + 1);
        mid = std::string(s.substr(dot1 + 1, dot2 == std::string_view::npos ? std::string_view::npos
                                                                              : dot2 - dot1 - 1));
        if (dot2 != std::string_view::npos)
            for (std::size_t k = dot2 + 1; k < s.size() && s[k] >= '0' && s[k] <= '9'; ++k) bug += s[k];
    }
    int IVBIG = 0, IVMID = 0, IVBUG = 0;
    const auto read_part = [](const std::string& text, int& value) {
        const int ios = rt::list_read(text, value);
        if (ios != rt::IOS_END) scanin::unchecked_values(ios, "the Version field");
    };
    read_part(big, IVBIG);
    read_part(mid, IVMID);
    read_part(bug, IVBUG);
}

// The "rr" line (values from column k+2) and the standard lines that follow it.
void read_standards(const rt::FText<80>& rr, int k) {
    const std::string values = columns(rr, k + 2, 80 - k - 1);
    STDREF_t& sr = STDREF;
    int nstd = 0, stdint = sr.STDINT, nsteps = 0;
    header_value(rt::list_read(values, nstd));
    if (nstd != 0) {
        if (XCALHDR.XCALNEW == 0)
            header_value(rt::list_read(values, nstd, stdint, nsteps));
        else
            header_value(rt::list_read(values, nstd, stdint));
    }
    if (XCALHDR.XCALNEW == 1) nsteps = SCANHDR.NSTEPDEF;
    // The standard-reflection store holds ten.
    if (nstd < 0) scanin::damaged("a negative number of standards in the rr line");
    if (nstd > MAXSTD) scanin::damaged("More than 10 standards");
    sr.NSTD = nstd;
    sr.STDINT = stdint;
    rt::FText<80> line;
    for (int j = 1; j <= nstd; ++j) {
        header_line(line, 'P');
        int h = 0, kk = 0, l = 0;
        float time = sr.STEP_TIME_STD(j);
        if (XCALHDR.XCALNEW == 0)
            header_value(rt::fmt_read(line.view(), "(TR32,3I4,TR5,F6.2)", h, kk, l, time));
        else
            header_value(rt::fmt_read(line.view(), "(TR27,3I4)", h, kk, l));
        sr.IHSTD(j, 1) = h;
        sr.IHSTD(j, 2) = kk;
        sr.IHSTD(j, 3) = l;
        sr.STEP_TIME_STD(j) = time;
        sr.NSTEP_STD(j) = nsteps;
    }
}

// Three U lines, the first in hand: UB per unit wavelength, divided by WAVE(1). The matrix is
// valid only when it comes out finite and regular.
void read_matrix(const rt::FText<80>& first) {
    rt::FText<80> line = first;
    rt::FArray2<float, 3, 3> ub;
    for (int r = 1; r <= 3; ++r) {
        if (r > 1) header_line(line, 'U');
        float a = 0, b = 0, c = 0;
        header_value(rt::fmt_read(line.view(), "(TR1,3F12.0)", a, b, c));
        ub(r, 1) = a;
        ub(r, 2) = b;
        ub(r, 3) = c;
    }
    bool finite = true;
    for (int r = 1; r <= 3; ++r)
        for (int c = 1; c <= 3; ++c) {
            ub(r, c) = ub(r, c) / WAVES.WAVE(1);
            finite = finite && std::isfinite(ub(r, c));
        }
    UNITCELL.UB = ub;
    const double det = double(ub(1, 1)) * (double(ub(2, 2)) * ub(3, 3) - double(ub(2, 3)) * ub(3, 2)) -
                       double(ub(1, 2)) * (double(ub(2, 1)) * ub(3, 3) - double(ub(2, 3)) * ub(3, 1)) +
                       double(ub(1, 3)) * (double(ub(2, 1)) * ub(3, 2) - double(ub(2, 2)) * ub(3, 1));
    const bool valid = finite && std::isfinite(det) && det != 0.0;
    UNITCELL.UBOK = valid ? 1 : 0;
    MATRIX_READ = valid ? 1 : 0;
}

}  // namespace

void GET_LINE(rt::FText<80>& STRING, char LABEL, int& IERR) {
    std::string rec;
    const int ios = rt::unit_read_record(IN_UNIT, rec);
    if (ios == rt::IOS_END) {
        IERR = 1;
        return;
    }
    // A line that cannot be read, or of another kind than the one the layout puts there, is the
    // user's damaged file.
    if (ios != rt::IOS_OK) scanin::damaged(scanin::unreadable_line(ios));
    scanin::no_cut_blank_line(rec);
    XCALHDR.LINE_LENGTH = rec.size();
    STRING = rec;
    IERR = 0;
    if (LABEL != ' ' && STRING(1) != LABEL)
        scanin::damaged(std::string("expected a line starting with ") + LABEL + ", found one starting with \"" +
                        STRING(1) + "\"");
}

void READ_HEADER_XCAL(int& IERR) {
    IERR = 0;
    scanin::begin_input();
    FILEINFO.TITLE.blank();
    XCALHDR.XCALNEW = 0;
    rt::FText<80> line;
    for (;;) {
        header_line(line, ' ');
        switch (line(1)) {
        case 'C': {
            const int v = find_col(line, "Version");
            if (v != 0) {
                read_version(line, v - 1 + 7);
                XCALHDR.XCALNEW = 1;
            }
            break;
        }
        case 'P': {
            SCANHDR_t& sh = SCANHDR;
            if (const int k = find_col(line, "sc s"); k != 0) {
                unchecked_values(rt::fmt_read(columns(line, k + 4, 9), "(F9.0)", sh.SCANSPEED), "the sc s field");
                const int kw = find_col(line, "sc w");
                if (kw == 0) rt::input_error(IN_UNIT, "the sc s line has no sc w field");
                unchecked_values(rt::fmt_read(columns(line, kw + 5, 23), "(2F7.0,F9.0)", sh.SCW(1), sh.SCW(2),
                                              sh.SCW(3)),
                                 "the sc w field");
            } else if (const int km = find_col(line, "mo s"); km != 0) {
                header_value(rt::fmt_read(columns(line, km + 8, 5), "(I5)", sh.NSTEPDEF));
            } else if (const int kl = find_col(line, "wl"); kl != 0) {
                header_value(rt::list_read(columns(line, kl + 2, 80 - kl - 1), WAVES.WAVE(1), WAVES.WAVE(2)));
                if (!(WAVES.WAVE(1) > 0.0f) || !(WAVES.WAVE(2) > 0.0f))
                    scanin::damaged("a wavelength that is not positive in the wl line");
                WAVES.NWAVE = 2;
            } else if (const int kr = find_col(line, "rr"); kr != 0) {
                read_standards(line, kr);
            }
            break;
        }
        case 'U':
            read_matrix(line);
            break;
        case '#':
        case 'R':
            step_back();  // the scan reader starts with this line
            return;
        case 'Z':
        case 'E':
        case 'S':
            // A line of a reflection before any reflection line: the first one was lost.
            scanin::damaged(std::string("a line starting with ") + line(1) + " before the first reflection line");
        default:
            break;
        }
    }
}

void READ_SCAN_XCAL(int& IERR) {
    IERR = 0;
    REFLN_t& r = REFLN;
    rt::FText<80> line;
    int eof = 0;
    do {
        GET_LINE(line, ' ', eof);
        if (eof != 0) {
            IERR = 12;
            return;
        }
        // A Z, E or S line stands only inside a reflection: here its reflection line was lost
        // (blanked, dropped) or it is a line too many (doubled).
        if (line(1) == 'Z' || line(1) == 'E' || line(1) == 'S')
            scanin::damaged(std::string("a line starting with ") + line(1) + " where a reflection line belongs");
    } while (line(1) != '#' && line(1) != 'R');

    // The reflection line.
    const bool reference = line(1) == 'R';
    const bool old_layout = XCALHDR.XCALNEW == 0;
    int iseq = 0;
    rt::FArray<int, 3> ih;
    float psi = 0;
    rt::FText<2> code;
    float scale = r.SCALE;
    int ios = rt::IOS_OK;
    if (!reference || !old_layout)
        ios = rt::fmt_read(line.view(), "(TR1,I5,TR3,3I5,F10.0,TR3,A2,TR24,F6.4)", iseq, ih, psi, code, scale);
    else if (r.ISEQ < 9999)
        ios = rt::fmt_read(line.view(), "(TR1,I5,TR3,3I5,F10.0,TR3,A2)", iseq, ih, psi, code);
    else
        ios = rt::fmt_read(line.view(), "(TR1,I6,TR3,3I5,F10.0,TR3,A2)", iseq, ih, psi, code);
    unchecked_values(ios, "the reflection line");
    // Every field read holds a number: a blank one (a line cut short) would read as 0.
    const bool blank = !reference || !old_layout ? scanin::blank_field(line.view(), REFLECTION_FIELDS)
                       : r.ISEQ < 9999        ? scanin::blank_field(line.view(), OLD_REFERENCE_FIELDS)
                                              : scanin::blank_field(line.view(), WIDE_REFERENCE_FIELDS);
    if (blank)
        scanin::damaged("a blank field in the reflection line");
    const long reflection_line = rt::unit_record_number(IN_UNIT);
    r.ISEQ = iseq < 0 ? -iseq : iseq;
    r.IH = ih;
    r.SCALE = scale;

    // Kappa angles: omega, 2theta, kappa, phi; then the unused second Z line.
    GET_LINE(line, 'Z', eof);
    if (eof != 0) return cut_short(IERR);
    float omega = 0, tth = 0, kappa = 0, phi = 0;
    unchecked_values(rt::fmt_read(line.view(), "(TR1,4F10.0)", omega, tth, kappa, phi), "a Z line");
    if (scanin::blank_field(line.view(), ANGLE_FIELDS)) scanin::damaged("a blank field in a Z line");
    rt::FArray<float, 4> kset{{tth * 0.5f, phi, omega, kappa}};
    GET_LINE(line, 'Z', eof);
    if (eof != 0) return cut_short(IERR);

    // Euler angles from the file, or converted from the kappa angles.
    GET_LINE(line, ' ', eof);
    if (eof != 0) return cut_short(IERR);
    const bool euler = line(1) == 'E';
    if (euler) {
        float om = 0, tt = 0, chi = 0, ph = 0;
        unchecked_values(rt::fmt_read(line.view(), "(TR1,4F10.0)", om, tt, chi, ph), "an E line");
        if (scanin::blank_field(line.view(), ANGLE_FIELDS)) scanin::damaged("a blank field in an E line");
        r.ANGL(2) = om;
        r.ANGL(1) = tt;
        r.ANGL(3) = chi;
        r.ANGL(4) = ph;
    } else {
        int unused = 0;
        ANGLE_CONV(kset, r.ANGL, unused);
        r.ANGL(2) = r.ANGL(2) + r.ANGL(1) * 0.5f;  // omega of the goniometer
        step_back();
    }
    // One line of another kind may stand before the counts; a reflection line or a Z line
    // there means the counts of this reflection are missing.
    GET_LINE(line, ' ', eof);
    if (eof != 0) return cut_short(IERR);
    if (line(1) == '#' || line(1) == 'R' || line(1) == 'Z')
        scanin::damaged(std::string("a line starting with ") + line(1) + " where the counts belong");
    if (line(1) == 'S') step_back();

    // Standard reflection, and the steps of the scan.
    const STDREF_t& sr = STDREF;
    if (reference) {
        r.ISTD = scanin::standard_number(r.IH);
        if (r.ISTD == 0) scanin::damaged_at(reflection_line, "Unidentified Standard Refln");
        r.NSTEP = sr.NSTEP_STD(r.ISTD);
    } else {
        r.ISTD = 0;
        r.NSTEP = SCANHDR.NSTEPDEF;
    }
    // A scan the current reflection cannot hold is skipped; its S lines are passed over.
    if (r.NSTEP < 1 || r.NSTEP > MAXSTEP) {
        IERR = 13;
        for (;;) {
            GET_LINE(line, ' ', eof);
            if (eof != 0) return;
            if (line(1) != 'S') break;
        }
        step_back();
        return;
    }

    // Counts, eight a line; a line that cannot be read spoils the reflection, the rest are read.
    // The last line of a file cut inside it, padded with blanks, would read as zero counts.
    const int nfull = r.NSTEP / 8;
    const int rest = r.NSTEP % 8;
    const int nlines = nfull + (rest != 0 ? 1 : 0);
    rt::FArray<int, 8> icounts;
    for (int j = 1; j <= nlines; ++j) {
        GET_LINE(line, 'S', eof);
        if (eof != 0) return cut_short(IERR);
        if (rt::fmt_read(line.view(), "(TR1,8I9)", icounts) != rt::IOS_OK) {
            IERR = 13;
            continue;
        }
        // Each count used is a whole number that is not negative, in a field of its own: a line
        // cut short (its blanks would read as zeros, a count cut in its last field as another
        // number), a blank or negative field spoils it.
        const int used = (j <= nfull) ? 8 : rest;
        bool whole = XCALHDR.LINE_LENGTH >= std::size_t(1 + 9 * used);
        for (int i = 1; whole && i <= used; ++i)
            whole = scanin::count_field(line.view(), std::size_t(2 + 9 * (i - 1)), 9);
        if (!whole) {
            IERR = 13;
            continue;
        }
        for (int i = 1; i <= used; ++i) r.COUNTS(8 * (j - 1) + i) = float(icounts(i));
    }

    // Scan code. A code the format does not know marks a normal reflection.
    if (r.ISTD != 0) {
        r.SCANCODE = "I";
    } else if (code == "FT") {
        r.SCANCODE = "F";
        r.SCALE = r.SCALE * SCANHDR.ATTEN;
    } else {
        r.SCANCODE = "N";
        for (const ScanCode& c : SCAN_CODES)
            if (code == c.format) r.SCANCODE = c.program;
    }

    const rt::FArray<float, 3>& scw = SCANHDR.SCW;
    // Old layout: 2theta corrected for the wavelength factor of the scan-width line.
    if (old_layout && std::fabs(scw(3) - 1.0f) > 1e-5f)
        r.ANGL(1) = 2.0f * std::asin(std::sin(r.ANGL(1) * DTOR * 0.5f) / scw(3)) / DTOR;
    r.WIDTH = scw(1) + scw(2) * std::tan(r.ANGL(1) * DTOR * 0.5f);
    r.STEP = r.WIDTH / float(r.NSTEP);
    if (reference && old_layout)
        r.SCALE = (r.WIDTH / SCANHDR.SCANSPEED) / (float(r.NSTEP) * sr.STEP_TIME_STD(r.ISTD));
    // Omega relative to theta; old-layout Euler omega stands at the start of the scan.
    if (old_layout && euler)
        r.ANGL(2) = r.ANGL(2) - r.ANGL(1) * 0.5f - r.WIDTH * 0.5f;
    else
        r.ANGL(2) = r.ANGL(2) - r.ANGL(1) * 0.5f;

    if (IERR == 0 && !scanin::all_finite()) IERR = 13;
}

void ANGLE_CONV(const rt::FArray<float, 4>& KAPPA, rt::FArray<float, 4>& EULER, int& IERR) {
    (void)IERR;
    const float theta = KAPPA(1), phi = KAPPA(2), omega = KAPPA(3), kappa = KAPPA(4);
    const float tth = 2.0f * theta;
    const float s = std::sin(kappa * DTOR * 0.5f);
    const float chi = 2.0f * std::asin(0.76604f * s) / DTOR;
    float d = std::cos(kappa * DTOR * 0.5f) / std::cos(chi * DTOR * 0.5f);
    if (std::fabs(d) > 1.001f) EXITINT("OVERFLOW IN ANGLE_CONVERT");
    if (std::fabs(d) > 0.999999f) d = d > 0.0f ? 1.0f : -1.0f;
    float delta = std::acos(d) / DTOR;
    if (s < 0.0f) delta = -delta;
    EULER(1) = tth;
    EULER(2) = omega + delta - tth * 0.5f;
    EULER(3) = chi;
    EULER(4) = phi + delta;
}
