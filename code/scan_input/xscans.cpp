// Reader of the Xscans format (.p4t). Header: 120-column keyword lines up to a DATA line
// (CHECKR standards and step count, SOURCE wavelengths, CHECKN one standard reflection, DETECT
// attenuator factor, TITLE). Data: per reflection one line with blanks in columns 1-2 (sequence
// number, negative for a standard; h k l; 2theta, absolute omega, phi, chi; scan range, negative
// when measured with the attenuator; scan rate), followed by its counts in the instrument's
// packed code on lines of 80 columns.
//
// Packed counts: zero or more high-digit letters, then one terminator character. The value is
// L + 42 H, L the terminator's value (0..41) and H the base-52 number of the letters ("A".."Z"
// 0..25, "a".."z" 26..51, first letter most significant). Blanks anywhere are ignored and a count
// may run on to the next line.
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
using scanin::read_line;
using scanin::unchecked_line;
using scanin::unchecked_values;
constexpr int MAXLETTERS = 10;

// Terminator values by character code 1..127; every other code is 0.
struct TerminatorTable {
    int v[128]{};
    constexpr TerminatorTable() {
        for (int d = 0; d <= 9; ++d) v['0' + d] = d;
        constexpr std::string_view rest = "`~!@#$%^&*()-_=+|\\[{]};:'\",<.>/?";
        for (int k = 0; k < int(rest.size()); ++k) v[static_cast<unsigned char>(rest[std::size_t(k)])] = 10 + k;
    }
};
constexpr TerminatorTable TABLE;


bool keyword(const std::string& line, std::string_view word) { return line.compare(0, word.size(), word) == 0; }

// A reflection line: blanks in columns 1 and 2, and something after them.
bool reflection_line(const std::string& line) {
    return line.size() >= 2 && line[0] == ' ' && line[1] == ' ' && line.find_first_not_of(' ') != std::string::npos;
}

// The fields of a reflection line (first column from 1, width): sequence number, h k l, 2theta,
// omega, phi, chi, range, rate.
constexpr scanin::Field REFLECTION_FIELDS[] = {{2, 6},   {8, 4},   {12, 4},  {16, 4}, {20, 8},
                                              {28, 8},  {36, 8},  {44, 8},  {52, 5}, {57, 8}};

}  // namespace

int ILOWBIT(char c) {
    const int code = static_cast<unsigned char>(c);
    return code >= 1 && code <= 127 ? TABLE.v[code] : 0;
}

long long IHIBIT(const rt::FText<10>& letters, int n) {
    long long total = 0, weight = 42;
    for (int i = n; i >= 1; --i) {
        const int code = static_cast<unsigned char>(letters(i));
        const int d = code <= 90 ? code - 65 : code - 71;
        total += weight * d;
        weight *= 52;
    }
    return total;
}

void READ_HEADER_XSCANS(int& IERR) {
    IERR = 0;
    scanin::begin_input();
    STDREF_t& sr = STDREF;
    std::string line;
    for (;;) {
        unchecked_line(read_line(line, 120), "the header");
        if (keyword(line, "CHECKR")) {
            int nstd = 0, stdint = 0, nstep = 0;
            unchecked_values(rt::fmt_read(line, "(TR6,I4,I6,TR22,I3)", nstd, stdint, nstep), "the CHECKR line");
            // The standard-reflection store holds ten.
            if (nstd < 0) scanin::damaged("a negative number of standards in the CHECKR line");
            if (nstd > MAXSTD) scanin::damaged("More than 10 standards");
            sr.NSTD = nstd;
            sr.STDINT = stdint;
            REFLN.NSTEP = nstep;
            for (int i = 1; i <= nstd; ++i) sr.NSTEP_STD(i) = nstep;
        } else if (keyword(line, "SOURCE")) {
            unchecked_values(rt::fmt_read(line, "(TR24,F7.5,TR3,F7.5)", WAVES.WAVE(1), WAVES.WAVE(2)),
                             "the SOURCE line");
            if (!(WAVES.WAVE(1) > 0.0f) || !(WAVES.WAVE(2) > 0.0f))
                scanin::damaged("a wavelength that is not positive in the SOURCE line");
            WAVES.NWAVE = 2;
        } else if (keyword(line, "CHECKN")) {
            int i = 0, h = 0, k = 0, l = 0;
            unchecked_values(rt::fmt_read(line, "(TR6,I6,3I4)", i, h, k, l), "the CHECKN line");
            if (i < 1 || i > MAXSTD) scanin::damaged("a standard number outside 1 to 10 in the CHECKN line");
            sr.IHSTD(i, 1) = h;
            sr.IHSTD(i, 2) = k;
            sr.IHSTD(i, 3) = l;
        } else if (keyword(line, "DETECT")) {
            unchecked_values(rt::fmt_read(line, "(TR46,F6.3)", SCANHDR.ATTEN), "the DETECT line");
        } else if (keyword(line, "DATA")) {
            return;
        } else if (keyword(line, "TITLE")) {
            FILEINFO.TITLE = line.substr(6, 60);
        }
    }
}

void DECODE_DATA(int& IERR) {
    IERR = 0;
    REFLN_t& r = REFLN;
    int i = 0;
    int n = 0;
    rt::FText<10> letters;
    bool spoilt = false;  // a count that cannot be decoded: the reflection is unusable
    std::string line;
    do {
        // The end of the file inside the counts leaves the reflection out; a line that is no
        // text (a block of zero bytes) is the user's damaged file.
        const int ios = read_line(line, 80);
        if (ios == rt::IOS_BAD_RECORD) unchecked_line(ios, "a reflection");
        if (ios != rt::IOS_OK) {
            IERR = 13;
            return;
        }
        scanin::no_cut_blank_line(line);
        // A reflection line where counts belong: a count line of this reflection was lost.
        if (reflection_line(line)) scanin::damaged("a reflection line where counts belong");
        for (const char c : line) {
            if (c == ' ') continue;
            const unsigned char u = static_cast<unsigned char>(c);
            if (ILOWBIT(c) != 0 || c == '0') {
                // Counts are kept as far as the current reflection holds them.
                ++i;
                if (i <= MAXSTEP) r.COUNTS(i) = float(ILOWBIT(c) + IHIBIT(letters, n));
                n = 0;
            } else if (((u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z')) && n < MAXLETTERS) {
                ++n;
                letters(n) = c;
            } else {
                // A control or non-ASCII character, or more letters than a count can hold.
                spoilt = true;
                n = 0;
            }
        }
    } while (i < r.NSTEP);
    if (spoilt) IERR = 13;
}

void READ_SCAN_XSCANS(int& IERR) {
    IERR = 0;
    REFLN_t& r = REFLN;
    std::string line;
    // The next reflection line: blanks in columns 1 and 2. A wholly blank line holds no
    // reflection and is passed over; any other line stands where only a reflection line
    // belongs (the count lines of a reflection whose line was lost, a line too many, the line
    // of another format) and is the user's damaged file.
    std::size_t length = 0;
    for (;;) {
        const int ios = read_line(line, 120, &length);
        if (ios != rt::IOS_OK && ios != rt::IOS_END) unchecked_line(ios, "the data");
        IERR = scanin::read_status(ios);
        if (IERR != 0) return;
        scanin::no_cut_blank_line(line);
        if (reflection_line(line)) break;
        if (line.find_first_not_of(' ') != std::string::npos)
            scanin::damaged("a line that is no reflection line where one belongs");
    }

    int iseq = 0;
    rt::FArray<int, 3> ih;
    float tth = 0, omega = 0, phi = 0, chi = 0, range = 0, rate = 0;
    unchecked_values(rt::fmt_read(line, "(TR1,I6,3I4,4F8.2,F5.2,F8.2)", iseq, ih, tth, omega, phi, chi, range, rate),
                     "the reflection line");
    // Every field holds a number: a blank one (a line cut short) would read as 0.
    if (length < 64 || scanin::blank_field(line, REFLECTION_FIELDS)) scanin::damaged("a blank field in the reflection line");
    const bool standard = iseq < 0;
    r.ISEQ = standard ? -iseq : iseq;
    r.IH = ih;
    r.ANGL(1) = tth;
    r.ANGL(2) = omega;
    r.ANGL(3) = chi;
    r.ANGL(4) = phi;

    r.ISTD = 0;
    if (standard) {
        r.ISTD = scanin::standard_number(r.IH);
        if (r.ISTD == 0) scanin::damaged("Unidentified Standard Refln");
    }

    DECODE_DATA(IERR);
    if (IERR == 13) return;

    r.WIDTH = std::fabs(range);
    r.STEP = r.WIDTH / float(r.NSTEP - 1);
    r.SCALE = standard ? 1.0f : rate;
    r.ANGL(2) = r.ANGL(2) - 0.5f * r.ANGL(1);  // omega relative to theta
    if (range < 0.0f) {
        r.SCALE = r.SCALE * SCANHDR.ATTEN;
        r.SCANCODE = "F";
    } else {
        r.SCANCODE = "N";
    }
    if (standard) r.SCANCODE = "I";

    // A scan the current reflection cannot hold, or without a finite step width (one step), is
    // skipped; its counts have been passed over.
    if (r.NSTEP < 1 || r.NSTEP > MAXSTEP || !scanin::all_finite()) IERR = 13;
}
