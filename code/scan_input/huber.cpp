// Reader of "Old Vosket" scan data files (.dat): no header; per reflection a count line
//   ('*' I3 I2 21I6)   '*', NSTEP, step time ITPST (0 or blank: none), 21 counts
// then (NSTEP - 1) / 21 continuation lines (TR6 21I6), then a reflection line
//   (A1 I4 I1 3I3 4F8.3 TR36 F10.3)   ISEQ, standard number, h k l, 2theta, omega, chi, phi,
//                                     step time
// whose first character is not '*'. Angles in degrees, stored as written (omega is already
// relative to theta). The file gives no step width: the user gives it once per load. Counts
// are normalised to the step time of the first reflection of the file.
#include <string>

#include "include/scan_input.h"
#include "include/shared.h"
#include "include/shell_services.h"
#include "runtime/format.h"
#include "runtime/units.h"
#include "scan_input/reader_helpers.h"

namespace {

constexpr int UNIT = 1;
constexpr int PER_LINE = 21;

// Step time of the first reflection of the file being loaded; every later one is scaled to it.
float T0 = 0.0f;
bool t0_set = false;

// The columns the reflection line's layout reads.
constexpr std::size_t REFLECTION_WIDTH = 93;

// The line after a count line: end of file there, or a line that cannot be read, is the user's
// damaged (cut) file.
void next_line(std::string& line) { scanin::unchecked_line(rt::unit_read_record(UNIT, line), "a reflection"); }

}  // namespace

void READ_HEADER_HUBER(int& IERR) {
    IERR = 0;
    scanin::begin_input();
    FILEINFO.TITLE = "Data from " + FILEINFO.IN_NAME.str();
    STDREF.NSTD = 0;  // the file lists no standards, and codes none of its scans as one
    GET_STEP_SIZE(REFLN.STEP);
    t0_set = false;  // a new file: its first reflection sets the reference step time
}

void READ_SCAN_HUBER(int& IERR) {
    IERR = 0;
    REFLN_t& r = REFLN;

    std::string line;
    int ios = rt::unit_read_record(UNIT, line);
    if (ios == rt::IOS_END) {
        IERR = 12;
        rt::unit_rewind(UNIT);
        return;
    }
    scanin::unchecked_line(ios, "a reflection");
    rt::FText<1> mark;
    int itpst = 0;
    rt::FArray<int, PER_LINE> icounts;
    scanin::unchecked_values(rt::fmt_read(line, "(A1,I3,I2,21I6)", mark, r.NSTEP, itpst, icounts), "the count line");
    if (mark(1) != '*') scanin::damaged("a count line starting with \"*\" expected");
    for (int k = 1; k <= PER_LINE; ++k) r.COUNTS(k) = float(icounts(k));

    // Whole continuation lines are stored, but nothing beyond the capacity of a scan: a scan
    // longer than that is read to its end and then left out.
    const int nlines = (r.NSTEP - 1) / PER_LINE;
    for (int l = 1; l <= nlines; ++l) {
        next_line(line);
        scanin::unchecked_values(rt::fmt_read(line, "(TR6,21I6)", icounts), "a continuation line");
        for (int k = 1; k <= PER_LINE && PER_LINE * l + k <= MAXSTEP; ++k)
            r.COUNTS(PER_LINE * l + k) = float(icounts(k));
    }

    // The reflection line; a line that starts with '*' in its place is read and passed over. The
    // last line of a file cut inside it lost the digits of its last fields: the reflection is
    // left out.
    bool cut = false;
    for (;;) {
        next_line(line);
        cut = scanin::cut_inside(line.size(), REFLECTION_WIDTH);
        scanin::unchecked_values(
            rt::fmt_read(line, "(A1,I4,I1,3I3,4F8.3,TR36,F10.3)", mark, r.ISEQ, r.ISTD, r.IH, r.ANGL, r.TSTEP),
            "the reflection line");
        if (itpst != 0) r.TSTEP = float(itpst);
        // Only a positive step time can serve as the reference of the file.
        if (!t0_set && r.TSTEP > 0.0f) {
            T0 = r.TSTEP;
            t0_set = true;
        }
        r.SCALE = r.TSTEP > 0.0f ? T0 / r.TSTEP : 0.0f;
        r.SCANCODE = "N";
        if (mark(1) != '*') break;
    }

    // Steps outside 1..500, or a step time that cannot normalise the counts: left out.
    if (cut || r.NSTEP < 1 || r.NSTEP > MAXSTEP || !(r.TSTEP > 0.0f)) IERR = 13;
}
