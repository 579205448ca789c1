// Reader of "Phillips Febo" scan data files (.feb).
//
// Header: line 1 the title (TR2 A60), line 3 the cell (TR4 6F8.0), lines 5-7 the rows of the
// orientation matrix per unit wavelength (TR3 3F10.0); then lines starting with "P" or "V",
// passed over, up to the first line starting with a digit. Data: per reflection a free-form
// record of nine values
//   ICODE h k l IANG_PSI INT ISIG NSTEP ISCALE
// (ICODE 0 ordinary, 6 or 7 standard; ISCALE 100 normal, -100 attenuated, otherwise a divisor
// of 100), then its counts in free-form groups of ten, each group starting on a new line. The
// file gives neither angles nor a step width: the bisecting angles come from h k l and the
// orientation matrix, the step width from the user once per load. Standards are registered as
// they are met.
#include <cmath>
#include <string>

#include "include/geometry.h"
#include "include/scan_input.h"
#include "include/shared.h"
#include "include/shell_services.h"
#include "include/toolkit_services.h"
#include "runtime/format.h"
#include "runtime/units.h"
#include "scan_input/reader_helpers.h"

namespace {

constexpr int UNIT = 1;

// A header line: a failure there is the user's damaged file.
void header_line(std::string& line) { scanin::unchecked_line(rt::unit_read_record(UNIT, line), "the header"); }

// A header line that is passed over.
void skip_line() {
    std::string line;
    header_line(line);
}

float determinant(const rt::FArray2<float, 3, 3>& m) {
    return m(1, 1) * (m(2, 2) * m(3, 3) - m(2, 3) * m(3, 2)) - m(1, 2) * (m(2, 1) * m(3, 3) - m(2, 3) * m(3, 1)) +
           m(1, 3) * (m(2, 1) * m(3, 2) - m(2, 2) * m(3, 1));
}

// One free-form group of counts into ICOUNT(first..last), starting on a new line. End of file
// inside the counts, or a line that cannot be read, is the user's damaged (cut) file; false when
// a value cannot be read.
bool count_group(rt::FArray<int, MAXSTEP>& icount, int first, int last) {
    bool more = false;
    const int ios = rt::list_read_unit_data_items(UNIT, {rt::in_slice(icount, first, last)}, &more);
    if (ios == rt::IOS_END || ios == rt::IOS_BAD_RECORD) scanin::unchecked_line(ios, "a reflection");
    // A group ends with its line: values after it are those of a line out of its place (the
    // next reflection's record read as counts when a count line was lost).
    if (more) scanin::damaged("more than " + std::to_string(last - first + 1) + " counts in a group of counts");
    return ios == rt::IOS_OK;
}

// Counts of a scan longer than the current reflection holds: read group by group, so that the
// file stays in step, and not kept.
void pass_over_counts(long nstep) {
    rt::FArray<int, 10> group;
    for (long g = 0; g < nstep / 10; ++g) {
        const int ios = rt::list_read_unit_items(UNIT, {rt::in_item(group)});
        if (ios == rt::IOS_END || ios == rt::IOS_BAD_RECORD) scanin::unchecked_line(ios, "a reflection");
    }
    if (nstep % 10 != 0) {
        const int ios = rt::list_read_unit_items(UNIT, {rt::in_slice(group, 1, int(nstep % 10))});
        if (ios == rt::IOS_END || ios == rt::IOS_BAD_RECORD) scanin::unchecked_line(ios, "a reflection");
    }
}

}  // namespace

void READ_HEADER_FEBO(int& IERR) {
    IERR = 0;
    scanin::begin_input();
    GET_STEP_SIZE(REFLN.STEP);

    std::string line;
    rt::FText<60> title;
    header_line(line);
    scanin::unchecked_values(rt::fmt_read(line, "(TR2,A60)", title), "the title line");
    FILEINFO.TITLE = title;
    skip_line();
    UNITCELL_t& uc = UNITCELL;
    header_line(line);
    scanin::unchecked_values(rt::fmt_read(line, "(TR4,6F8.0)", rt::in_slice(uc.CELL, 1, 6)), "the cell line");
    skip_line();
    constexpr scanin::Field MATRIX_FIELDS[] = {{4, 10}, {14, 10}, {24, 10}};
    for (int i = 1; i <= 3; ++i) {
        header_line(line);
        scanin::unchecked_values(rt::fmt_read(line, "(TR3,3F10.0)", uc.UB(i, 1), uc.UB(i, 2), uc.UB(i, 3)),
                                 "a line of the orientation matrix");
        // A blank element (a row blanked or cut short) would read as 0.
        if (scanin::blank_field(line, MATRIX_FIELDS)) scanin::damaged("a blank element in a line of the orientation matrix");
    }
    // The matrix is stored per unit wavelength; the file gives none, so the instrument's is used.
    const float wave = WAVES.WAVE(1);
    if (!(wave > 0.0f)) scanin::damaged("no positive wavelength in force to scale the orientation matrix");
    for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 3; ++j) uc.UB(i, j) = uc.UB(i, j) / wave;
    // The reflections' angles are computed from this matrix, so it is the orientation matrix in
    // force when it is regular; a singular one is no orientation matrix at all.
    // The format gives the reflections' angles only through this matrix: without a regular one
    // every reflection would be set at angles of 0, so a singular matrix is a damaged file.
    const float det = determinant(uc.UB);
    if (!std::isfinite(det) || det == 0.0f)
        scanin::damaged_at(rt::unit_record_number(UNIT) - 2, "the orientation matrix is singular");
    uc.UBOK = 1;
    MATRIX_READ = 1;
    // The standards of this file are registered as they come; none of an earlier data set stays.
    STDREF.NSTD = 0;
    STDREF.IHSTD.fill(0);

    for (;;) {
        header_line(line);
        const char c = line.empty() ? ' ' : line[0];
        if (c == 'P' || c == 'V') continue;
        if (c >= '0' && c <= '9') {
            scanin::unchecked_step_back(rt::unit_backspace(UNIT));
            REFLN.ISEQ = 0;
            return;
        }
        scanin::damaged("a line starting with P, V or a digit expected");
    }
}

void READ_SCAN_FEBO(int& IERR) {
    IERR = 0;
    REFLN_t& r = REFLN;
    // A record cut short by the end of the file is a reflection left out; the end of the file
    // before it is the end of the data. The first value shows which: it is read, or still unset.
    constexpr int UNSET = -2147483647 - 1;
    // Values of the reflection record that are not kept in the current reflection.
    int ICODE = UNSET, IANG_PSI = 0, INT = 0, ISIG = 0, ISCALE = 0;
    bool more = false;
    const int ios = rt::list_read_unit_data_items(
        UNIT,
        {rt::in_item(ICODE), rt::in_item(r.IH), rt::in_item(IANG_PSI), rt::in_item(INT), rt::in_item(ISIG),
         rt::in_item(r.NSTEP), rt::in_item(ISCALE)},
        &more);
    if (ios == rt::IOS_END) {
        IERR = ICODE == UNSET ? 12 : 13;
        return;
    }
    scanin::unchecked_values(ios, "the reflection record");
    // The record ends with its line: more values there belong to a line out of its place (a
    // count line read as the record when a line was lost or doubled).
    if (more) scanin::damaged("more than nine values in the reflection record");
    if (r.IH(1) == 0 && r.IH(2) == 0 && r.IH(3) == 0) {
        IERR = 12;
        return;
    }
    r.ISEQ += 1;

    if (ICODE == 6 || ICODE == 7) {
        int ierr = 0;
        MATCH_STANDARD(ierr);
    } else if (ICODE == 0) {
        r.ISTD = 0;
    } else {
        scanin::damaged("reflection code " + std::to_string(ICODE) + " of reflection " + std::to_string(r.ISEQ) +
                        " is none of 0, 6 and 7");
    }

    if (ISCALE == 100) {
        r.SCALE = 1.0f;
        r.SCANCODE = "N";
    } else if (ISCALE == -100) {
        r.SCALE = SCANHDR.ATTEN;  // the attenuator factor replaces the scale factor
        r.SCANCODE = "F";
    } else {
        r.SCALE = ISCALE != 0 ? 100.0f / float(ISCALE) : 0.0f;
        r.SCANCODE = "N";
    }
    if (r.ISTD != 0) r.SCANCODE = "I";

    IH_TO_EULER(r.IH, r.ANGL);

    // A scan outside 1..500 steps does not fit the current reflection: its counts are passed
    // over and the reflection is left out.
    if (r.NSTEP < 1 || r.NSTEP > MAXSTEP) {
        if (r.NSTEP > MAXSTEP) pass_over_counts(r.NSTEP);
        IERR = 13;
        return;
    }
    rt::FArray<int, MAXSTEP> icount;
    icount.fill(0);
    const int groups = r.NSTEP / 10;
    for (int g = 0; g < groups; ++g)
        if (!count_group(icount, 10 * g + 1, 10 * g + 10)) IERR = 13;
    if (r.NSTEP % 10 != 0)
        if (!count_group(icount, 10 * groups + 1, r.NSTEP)) IERR = 13;
    for (int k = 1; k <= r.NSTEP; ++k) r.COUNTS(k) = float(icount(k));
    // The last count of a file cut inside its last line may have lost digits (23 read as 2):
    // counts whose line has no line end are not taken as whole.
    if (rt::unit_record_unended(UNIT)) IERR = 13;

    // Without a scale code the counts cannot be normalised.
    if (ISCALE == 0) IERR = 13;
}

void MATCH_STANDARD(int& IERR) {
    IERR = 0;
    REFLN_t& r = REFLN;
    STDREF_t& s = STDREF;
    const int nstd = s.NSTD < MAXSTD ? s.NSTD : MAXSTD;
    for (int i = 1; i <= nstd; ++i) {
        if (s.IHSTD(i, 1) == r.IH(1) && s.IHSTD(i, 2) == r.IH(2) && s.IHSTD(i, 3) == r.IH(3)) {
            r.ISTD = i;
            return;
        }
    }
    if (nstd < MAXSTD) {
        s.NSTD = nstd + 1;
        for (int j = 1; j <= 3; ++j) s.IHSTD(s.NSTD, j) = r.IH(j);
        r.ISTD = s.NSTD;
        return;
    }
    // The list is full: the reflection is measured as an ordinary one, and the list stays at
    // its capacity.
    GUIERR(PROGID.PROG_TITLE.view(), "Too many standards");
    r.ISTD = 0;
}
