// Reader of the CAD4 format (.dat): 80-column lines of numbered records, each line preceded by
// ISKIP (0..4) columns that are the same for the whole file. Header records 21 (title), 22
// (prescan speed index, maximum time), 27 (followed by one line per standard reflection with
// record number 0), 32 (wavelengths, attenuator factor); 23-26, 28-31 and 33 are ignored. Each
// reflection is a record 1 (sequence number, h k l, code letters, scan-speed index), a record 2
// (kappa angles theta, phi, omega, kappa and the scan width) and the count records 3 to 10 of
// twelve counts each: 96 steps over 95 intervals. A "$" in the first five columns ends the data.
//
// The scale factor is 1000 / |speed index|; a negative index marks a scan measured with the
// attenuator, whose factor divides the scale.
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
using scanin::unchecked_line;
using scanin::unchecked_values;
constexpr int CAD4_STEPS = 96;

// Reads the next line of unit 1 as 80 columns (cut or padded with blanks).
int read_line(std::string& line, std::size_t* length = nullptr) { return scanin::read_line(line, 80, length); }

// A line of the data that cannot be read at all is the user's damaged file.
int data_status(int ios) {
    if (ios != rt::IOS_OK && ios != rt::IOS_END) scanin::unchecked_line(ios, "a reflection");
    return scanin::read_status(ios);
}

// An edit-descriptor list that starts at record column `col` (line column ISKIP + col).
std::string layout(int col, std::string_view rest) {
    return "(T" + std::to_string(CAD4HDR.ISKIP + col) + "," + std::string(rest) + ")";
}

// The record number of a line (record columns 1-2; blank reads 0).
int record_number(const std::string& line, int& irec) { return rt::fmt_read(line, layout(1, "I2"), irec); }

// Record columns (from 1) of the fields of record 1 (sequence number, h k l, speed index), of
// record 2 (sequence number, theta, phi, omega, kappa, scan width) and of the twelve counts of a
// count record.
constexpr scanin::Field RECORD1_FIELDS[] = {{3, 6}, {9, 5}, {14, 5}, {19, 5}, {38, 4}};
constexpr scanin::Field RECORD2_FIELDS[] = {{3, 6}, {9, 8}, {17, 9}, {26, 9}, {35, 9}, {44, 7}};
constexpr int COUNT_COLUMNS[12] = {10, 14, 18, 23, 27, 31, 36, 40, 44, 49, 53, 57};

// True when a field of the record in the line (record columns, shifted by ISKIP) is blank: it
// would read as 0, a number the file never held.
template <std::size_t N>
bool blank_record_field(const std::string& line, const scanin::Field (&fields)[N]) {
    return scanin::blank_field(std::string_view(line).substr(std::size_t(CAD4HDR.ISKIP)), fields);
}

// The speed index of the slowest rescan, trunc(16.48 / K) with K = trunc(WIDTH / TMAXC / 60) + 1.
// False when it has no value (TMAXC 0, or K not a usable whole number).
bool slowest_rescan_index(float width, int tmaxc, int& npimin) {
    const float q = width / float(tmaxc) / 60.0f;
    if (!(q > -2.0e9f && q < 2.0e9f)) return false;  // also NaN and infinities
    const int k = int(q) + 1;
    if (k == 0) return false;
    npimin = int(16.48f / float(k));
    return true;
}

}  // namespace

void READ_HEADER_CAD4(int& IERR) {
    IERR = 0;
    scanin::begin_input();
    CAD4HDR_t& hdr = CAD4HDR;
    std::string line;
    unchecked_line(read_line(line), "the header");
    const std::size_t at = line.find("21");
    if (at == std::string::npos || at > 4) scanin::damaged("the first line is no record 21");
    hdr.ISKIP = int(at);
    FILEINFO.TITLE = line.substr(std::size_t(hdr.ISKIP) + 8, 28);

    STDREF_t& sr = STDREF;
    unchecked_line(read_line(line), "the header");
    int irec = 0;
    for (;;) {
        unchecked_values(record_number(line, irec), "the record number");
        if (irec == 27) {
            sr.NSTD = 0;
            for (;;) {
                unchecked_line(read_line(line), "the header");
                unchecked_values(record_number(line, irec), "the record number");
                if (irec != 0) break;
                if (sr.NSTD + 1 > MAXSTD) scanin::damaged("More than 10 standards");
                int h = 0, k = 0, l = 0;
                unchecked_values(rt::fmt_read(line, layout(5, "3I3"), h, k, l), "a standard line");
                // A standard listed twice (a doubled line) would renumber the ones after it.
                if (scanin::standard_number(rt::FArray<int, 3>{{h, k, l}}) != 0)
                    scanin::damaged("a standard listed twice");
                sr.NSTD = sr.NSTD + 1;
                sr.IHSTD(sr.NSTD, 1) = h;
                sr.IHSTD(sr.NSTD, 2) = k;
                sr.IHSTD(sr.NSTD, 3) = l;
            }
            continue;  // the line that ended the list is the next header record
        }
        if (irec == 32) {
            unchecked_values(rt::fmt_read(line, layout(34, "3F9.2"), WAVES.WAVE(1), WAVES.WAVE(2), SCANHDR.ATTEN),
                             "record 32");
            if (!(WAVES.WAVE(1) > 0.0f) || !(WAVES.WAVE(2) > 0.0f))
                scanin::damaged("a wavelength that is not positive in record 32");
        } else if (irec == 22) {
            unchecked_values(rt::fmt_read(line, layout(49, "I2,I4"), hdr.NPIPRE, hdr.TMAXC), "record 22");
            // A blank field would read as 0 and change how every reflection is classified.
            constexpr scanin::Field RECORD22_FIELDS[] = {{49, 2}, {51, 4}};
            if (blank_record_field(line, RECORD22_FIELDS)) scanin::damaged("a blank field in record 22");
        } else if (irec < 21 || irec > 33) {
            break;
        }
        unchecked_line(read_line(line), "the header");
    }
    if (irec != 1) scanin::damaged("record " + std::to_string(irec) + " where the header ends");
    scanin::unchecked_step_back(rt::unit_backspace(IN_UNIT));  // the scan reader starts with this record 1

    REFLN.NSTEP = CAD4_STEPS;
    const int nstd = sr.NSTD < MAXSTD ? sr.NSTD : MAXSTD;
    for (int i = 1; i <= nstd; ++i) sr.NSTEP_STD(i) = CAD4_STEPS;
}

void READ_SCAN_CAD4(int& IERR) {
    IERR = 0;
    REFLN_t& r = REFLN;
    std::string line;
    int irec = 0;
    rt::FText<6> code;
    int npi = 0;

    // The next record 1; X-flagged reflections are passed over with their records. A blank
    // line is passed over; any other record here belongs to no reflection the file still holds
    // whole (its record 1 was lost, or it is one too many), and is the user's damaged file.
    int passed_over = -1;  // the sequence number of the X-flagged reflection passed over, if any
    for (;;) {
        IERR = data_status(read_line(line));
        if (IERR != 0) return;
        if (line.substr(0, 5).find('$') != std::string::npos) {
            IERR = 12;
            return;
        }
        scanin::no_cut_blank_line(line);
        if (line.find_first_not_of(' ') == std::string::npos) continue;
        unchecked_values(record_number(line, irec), "the record number");
        if (irec != 1) {
            int iseqt = 0;
            const bool ours = irec >= 2 && irec <= 10 &&
                              rt::fmt_read(line, layout(1, "I2,I6"), irec, iseqt) == rt::IOS_OK && iseqt == passed_over;
            if (!ours) scanin::damaged("record " + std::to_string(irec) + " where a record 1 belongs");
            continue;
        }
        int iseq = 0;
        rt::FArray<int, 3> ih;
        unchecked_values(rt::fmt_read(line, layout(1, "I2,I6,3I5,1X,A6,T" + std::to_string(CAD4HDR.ISKIP + 38) + ",I4"),
                                      irec, iseq, ih, code, npi),
                         "record 1");
        if (blank_record_field(line, RECORD1_FIELDS)) scanin::damaged("a blank field in record 1");
        r.ISEQ = iseq;
        r.IH = ih;
        if (code(2) != 'X') break;
        passed_over = iseq;
    }

    // Record 2: kappa angles (theta, phi, omega, kappa) and the scan width.
    unchecked_line(read_line(line), "a reflection");
    int iseqt = 0;
    rt::FArray<float, 4> kset;
    float width = 0;
    unchecked_values(rt::fmt_read(line, layout(1, "I2,I6,F8.3,3F9.3,F7.3"), irec, iseqt, kset(1), kset(2),
                                  kset(3), kset(4), width),
                     "record 2");
    if (blank_record_field(line, RECORD2_FIELDS)) scanin::damaged("a blank field in record 2");
    r.WIDTH = width;
    r.STEP = width / 95.0f;
    if (iseqt != r.ISEQ || irec != 2) scanin::damaged("record 2 of reflection " + std::to_string(r.ISEQ) + " expected");

    // Count records 3 to 10, twelve counts each. A count is a whole number that is not negative:
    // a blank field (a line cut short, its blanks read as zeros) or a negative one leaves the
    // reflection out.
    rt::FArray<int, 12> icounts;
    for (int j = 3; j <= 10; ++j) {
        std::size_t length = 0;
        unchecked_line(read_line(line, &length), "a reflection");
        // The record reaches its last count's column: a count cut in its field reads as another.
        bool whole = length >= std::size_t(CAD4HDR.ISKIP + 60) &&
                     rt::fmt_read(line, layout(1, "I2,I6,4(1X,3I4)"), irec, iseqt, icounts) == rt::IOS_OK;
        for (int i = 0; whole && i < 12; ++i)
            whole = scanin::count_field(line, std::size_t(CAD4HDR.ISKIP + COUNT_COLUMNS[i]), 4);
        if (!whole) {
            // A record of another reflection in its place is no count record of this one.
            if (rt::fmt_read(line, layout(1, "I2,I6"), irec, iseqt) == rt::IOS_OK && (irec != j || iseqt != r.ISEQ))
                scanin::damaged("record " + std::to_string(j) + " of reflection " + std::to_string(r.ISEQ) + " expected");
            IERR = 13;
            continue;
        }
        for (int i = 1; i <= 12; ++i) r.COUNTS(12 * (j - 3) + i) = float(icounts(i));
        if (iseqt != r.ISEQ || irec != j)
            scanin::damaged("record " + std::to_string(j) + " of reflection " + std::to_string(r.ISEQ) + " expected");
    }
    if (IERR == 13) return;

    int unused = 0;
    ANGLE_CONV(kset, r.ANGL, unused);
    const int anpi = npi < 0 ? -npi : npi;
    r.SCALE = 1000.0f / float(anpi);

    int npimin = 0;
    const bool has_npimin = slowest_rescan_index(r.WIDTH, CAD4HDR.TMAXC, npimin);

    if (code(1) == 'I') {
        r.ISTD = scanin::standard_number(r.IH);
        // Named at its record 1, nine lines back.
        if (r.ISTD == 0) scanin::damaged_at(rt::unit_record_number(IN_UNIT) - 9, "Unidentified Standard Refln");
        r.SCANCODE = "I";
    } else {
        r.ISTD = 0;
        if (code(4) == 'W') {
            r.SCANCODE = "W";
        } else if (npi < 0) {
            r.SCALE = r.SCALE / SCANHDR.ATTEN;
            r.SCANCODE = "F";
        } else if (npi == CAD4HDR.NPIPRE) {
            r.SCANCODE = "S";
        } else if (has_npimin && (npi - npimin < 2 && npi - npimin > -2)) {
            r.SCANCODE = "M";
        } else {
            r.SCANCODE = "R";
        }
    }
    // A scan without a finite scale (speed index 0) or angles cannot be used.
    if (r.NSTEP != CAD4_STEPS || !scanin::all_finite()) IERR = 13;
}
