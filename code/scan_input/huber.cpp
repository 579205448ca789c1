// Reader of "Old Vosket" scan data files (.dat): no header; per reflection a count line
//   ('*' I3 I2 21I6)   '*', NSTEP, step time ITPST (0 or blank: none), 21 counts
// then (NSTEP - 1) / 21 continuation lines (TR6 21I6), then a reflection line
//   (A1 I4 I1 3I3 4F8.3 TR36 F10.3)   ISEQ, standard number, h k l, 2theta, omega, chi, phi,
//                                     step time
// whose first character is not '*'. Angles in degrees, stored as written (omega is already
// relative to theta). The file gives no step width: the user gives it once per load. Counts
// are normalised to the step time of the first reflection of the file.
#include <algorithm>
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

// The columns the reflection line's layout reads.
constexpr std::size_t REFLECTION_WIDTH = 93;

// The fields of the reflection line (first column from 1, width): sequence number, h k l and
// the four angles. A blank one (a line cut short) would read as 0.
constexpr scanin::Field REFLECTION_FIELDS[] = {{2, 4},   {7, 3},   {10, 3},  {13, 3},
                                              {16, 8},  {24, 8},  {32, 8},  {40, 8}};

// True when the counts first..last (from 1) of a count line, whose counts start in column
// `column`, are each a whole number that is not negative.
bool whole_counts(const std::string& line, int first, int last, std::size_t column) {
    for (int k = first; k <= last; ++k)
        if (!scanin::count_field(line, column + std::size_t(6 * (k - first)), 6)) return false;
    return true;
}

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
    HUBERHDR.T0_SET = 0;  // a new file: its first reflection sets the reference step time
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
    // The step count, and every count the scan uses, is a whole number that is not negative,
    // and the line reaches the last one's column: a blank field (a line cut short) would read
    // as 0, a count cut in its field as another number.
    if (!scanin::count_field(line, 2, 3)) scanin::damaged("no step count in the count line");
    if (r.NSTEP >= 1 && (line.size() < std::size_t(6 + 6 * std::min(r.NSTEP, PER_LINE)) ||
                         !whole_counts(line, 1, std::min(r.NSTEP, PER_LINE), 7)))
        scanin::damaged("a blank or negative count in the count line");
    for (int k = 1; k <= PER_LINE; ++k) r.COUNTS(k) = float(icounts(k));

    // Whole continuation lines are stored, but nothing beyond the capacity of a scan: a scan
    // longer than that is read to its end and then left out.
    const int nlines = (r.NSTEP - 1) / PER_LINE;
    for (int l = 1; l <= nlines; ++l) {
        next_line(line);
        // Columns 1-6 of a continuation line are blank: a count line or a reflection line here
        // means a line was lost or doubled.
        if (line.size() < 6 || line.find_first_not_of(' ') < 6) scanin::damaged("a continuation line expected");
        const int used = std::min(r.NSTEP - PER_LINE * l, PER_LINE);
        if (line.size() < std::size_t(6 + 6 * used) || !whole_counts(line, 1, used, 7))
            scanin::damaged("a blank or negative count in a continuation line");
        scanin::unchecked_values(rt::fmt_read(line, "(TR6,21I6)", icounts), "a continuation line");
        for (int k = 1; k <= PER_LINE && PER_LINE * l + k <= MAXSTEP; ++k)
            r.COUNTS(PER_LINE * l + k) = float(icounts(k));
    }

    // The reflection line. A count line in its place means this reflection's line was lost,
    // and the next reflection's line would be taken for it. The last line of a file cut inside
    // it lost the digits of its last fields: the reflection is left out.
    next_line(line);
    const bool cut = scanin::cut_inside(line.size(), REFLECTION_WIDTH);
    if (!line.empty() && line[0] == '*') scanin::damaged("a count line where the reflection line belongs");
    scanin::unchecked_values(
        rt::fmt_read(line, "(A1,I4,I1,3I3,4F8.3,TR36,F10.3)", mark, r.ISEQ, r.ISTD, r.IH, r.ANGL, r.TSTEP),
        "the reflection line");
    if (!cut && scanin::blank_field(line, REFLECTION_FIELDS)) scanin::damaged("a blank field in the reflection line");
    if (itpst != 0) r.TSTEP = float(itpst);
    // Only a positive step time can serve as the reference of the file.
    if (HUBERHDR.T0_SET == 0 && r.TSTEP > 0.0f) {
        HUBERHDR.T0 = r.TSTEP;
        HUBERHDR.T0_SET = 1;
    }
    r.SCALE = r.TSTEP > 0.0f ? HUBERHDR.T0 / r.TSTEP : 0.0f;
    r.SCANCODE = "N";

    // Steps outside 1..500, or a step time that cannot normalise the counts: left out.
    if (cut || r.NSTEP < 1 || r.NSTEP > MAXSTEP || !(r.TSTEP > 0.0f)) IERR = 13;
}
