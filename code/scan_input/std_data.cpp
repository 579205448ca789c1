// The standard data file: writer of the header and of reflection records, header skip and
// header reader, and the reflection reader with its four read modes.
//
// Layout (columns from 1, every line ending CR LF):
//   H / 'T ' TITLE(60) / 'H' 6F10.4 (cell) / H / H / three 'U' 3F12.7 (rows of UB) / 'A' F10.6 / DATA
//   per reflection: ('R' I6 3I4 5F10.4 I4 2F10.5 I4 A1)  ISEQ, h k l, psi, 2theta, omega-theta,
//   chi, phi, NSTEP, STEP, SCALE, ISTD, scan code; then NSTEP/10 lines ('S' 10I8) and one line
//   with the remaining counts.
// Angles in degrees; omega is relative to the bisecting position.
#include <algorithm>
#include <cmath>
#include <string>
#include <string_view>

#include "include/geometry.h"
#include "include/scan_input.h"
#include "include/shared.h"
#include "include/shell_services.h"
#include "include/toolkit_services.h"
#include "runtime/format.h"
#include "runtime/units.h"
#include "scan_input/reader_helpers.h"

namespace {

constexpr int LINE_WIDTH = 120;     // the reader's line buffer STRING
constexpr int MAX_COUNT = 99999999; // largest count of eight digits

// Character codes above 96 lose 32 (lower-case letters become capitals, "~" becomes "^").
void upcase(std::string& s) {
    for (char& ch : s) {
        const unsigned char u = static_cast<unsigned char>(ch);
        if (u > 96) ch = static_cast<char>(u - 32);
    }
}

// A record cut or padded with blanks to width columns.
std::string fit_width(std::string s, std::size_t width) {
    s.resize(width, ' ');
    return s;
}

bool fits_int(long long v, int width) {
    long long hi = 1;
    for (int k = 0; k < width; ++k) hi *= 10;
    return v <= hi - 1 && v >= -(hi / 10 - 1);
}

// True when v written under the one-field format fmt ("(F10.4)") is a number, not asterisks.
bool fits_real(float v, const char* fmt) {
    if (!std::isfinite(v)) return false;
    return rt::fmt_write(fmt, v).find('*') == std::string::npos;
}

// A header line the file does not take stays as the unit's failure: the next reflection record
// fails with it, and the close (or the flush at the end of a load) reports it.
void put_header_line(int unit, const std::string& rec) { (void)rt::unit_write_record(unit, rec); }

// The fields of one reflection record.
struct RecordFields {
    int iseq = 0;
    rt::FArray<int, 3> ih;
    float psi = 0.0f;
    rt::FArray<float, 4> angl;
    int nstep = 0;
    float step = 0.0f;
    float scale = 0.0f;
    int istd = 0;
    rt::FText<1> code;
};

// Reads the fields of an R line held in STRING. False when a field cannot be read.
bool parse_record(const std::string& line, RecordFields& r) {
    const int ios = rt::fmt_read(line, "(TR1,I6,3I4,5F10.4,I4,2F10.5,I4,A1)", r.iseq, r.ih, r.psi,
                                 r.angl, r.nstep, r.step, r.scale, r.istd, r.code);
    return ios == rt::IOS_OK;
}

// The numeric fields of an R line: first column (from 1) and width, ISEQ to ISTD.
constexpr scanin::Field RECORD_FIELDS[] = {{2, 6},   {8, 4},  {12, 4},  {16, 4},  {20, 10}, {30, 10}, {40, 10},
                                           {50, 10}, {60, 10}, {70, 4}, {74, 10}, {84, 10}, {94, 4}};

// What is wrong with an R line `length` characters long whose fields were read into r, against
// what the writer puts there; "" when nothing. Every numeric field holds a number (a blank one
// would read as 0), and the values are those of a measured scan.
std::string record_damage(const std::string& line, std::size_t length, const RecordFields& r) {
    if (length < 97) return "the reflection line is cut short";
    if (scanin::blank_field(line, RECORD_FIELDS)) return "a blank field in the reflection line";
    if (r.nstep < 1 || r.nstep > MAXSTEP) return "a step count outside 1 to 500 in the reflection line";
    if (!scanin::settable_angles(r.angl)) return "an angle beyond its circle's range in the reflection line";
    if (!(r.step > 0.0f) || !(r.scale > 0.0f)) return "no positive step width or scale in the reflection line";
    return "";
}

// True when the line has the look of a count line: "S" followed by nothing but digits and
// blanks. Met where a reflection line belongs, it is a count line out of its place (a doubled
// or stray one), not a comment.
bool stray_count_line(const std::string& line) {
    return line[0] == 'S' && line.find_first_not_of(" 0123456789", 1) == std::string::npos;
}

int fail(int ios, const std::string& what, bool at_end = false) {
    STDREAD = {what, at_end};
    return ios;
}

// Reads the count lines of a reflection of nstep steps (1..500) into counts.
// Returns IOS_OK, IOS_END (file ended inside the counts) or an error.
int read_counts(int unit, int nstep, rt::FArray<float, MAXSTEP>& counts) {
    rt::FArray<int, 10> line_counts;
    int done = 0;
    while (done < nstep) {
        const int n = nstep - done < 10 ? nstep - done : 10;
        std::string rec;
        const int ios = rt::unit_read_record(unit, rec);
        if (ios == rt::IOS_END) return fail(ios, "end of file inside the counts", true);
        if (ios != rt::IOS_OK) return fail(ios, scanin::unreadable_line(ios, unit));
        // A count line is "S" and exactly its n counts: a line cut short (its blanks would
        // read as zeros), one of another kind, or one holding more than its counts is damage.
        if (rec.empty() || rec[0] != 'S') return fail(rt::IOS_BAD_VALUE, "a count line expected");
        if (rec.size() < std::size_t(1 + 8 * n)) return fail(rt::IOS_BAD_VALUE, "the count line is cut short");
        if (rec.find_first_not_of(' ', std::size_t(1 + 8 * n)) != std::string::npos)
            return fail(rt::IOS_BAD_VALUE, "more than " + std::to_string(n) + " counts in a count line");
        static const char* const FORMATS[11] = {"",           "(TR1,1I8)", "(TR1,2I8)", "(TR1,3I8)",
                                                 "(TR1,4I8)",  "(TR1,5I8)", "(TR1,6I8)", "(TR1,7I8)",
                                                 "(TR1,8I8)",  "(TR1,9I8)", "(TR1,10I8)"};
        line_counts.fill(0);
        rec.resize(81, ' ');
        bool whole = rt::fmt_read(rec, FORMATS[n], rt::in_slice(line_counts, 1, n)) == rt::IOS_OK;
        for (int k = 0; whole && k < n; ++k) whole = scanin::count_field(rec, std::size_t(2 + 8 * k), 8);
        if (!whole) return fail(rt::IOS_BAD_VALUE, "unreadable value in a count line");
        for (int k = 1; k <= n; ++k) counts(done + k) = static_cast<float>(line_counts(k));
        done += n;
    }
    return rt::IOS_OK;
}

// Omega offset of the alpha2 peak from the alpha1 peak, in degrees, where the profile fit places
// it. Without a usable alpha1 wavelength, or where no alpha2 position exists, the offset is 0.
float alpha2_offset(float twotheta) {
    const float w1 = WAVES.WAVE(1);
    float d = 0.0f;
    if (w1 > 0.0f) (void)ALPHA2_OFFSET(WAVES.WAVE(2) / w1, twotheta, 57.29578f, d);
    return d;
}

// Makes the record and counts the current reflection and derives the values that the fit and
// the plot need.
void take_reflection(const RecordFields& r, const rt::FArray<float, MAXSTEP>& counts) {
    REFLN.ISEQ = r.iseq;
    REFLN.IH = r.ih;
    REFLN.ANGL = r.angl;
    REFLN.NSTEP = r.nstep;
    REFLN.STEP = r.step;
    REFLN.SCALE = r.scale;
    REFLN.ISTD = r.istd;
    REFLN.SCANCODE = r.code;
    const int n = r.nstep;
    for (int i = 1; i <= n; ++i) REFLN.COUNTS(i) = counts(i);
    for (int i = 1; i <= n; ++i)
        REFLN.XPOS(i) = REFLN.ANGL(2) - static_cast<float>(n / 2) * REFLN.STEP +
                        static_cast<float>(i - 1) * REFLN.STEP;
    REFLN.CMAX = 0.0f;
    REFLN.IMAX = 1;
    for (int i = 1; i <= n; ++i) {
        if (REFLN.COUNTS(i) > REFLN.CMAX) {
            REFLN.CMAX = REFLN.COUNTS(i);
            REFLN.IMAX = i;
        }
    }
    REFLN.DOMA2 = alpha2_offset(REFLN.ANGL(1));
    REFLN.DOMONO = MONOCH.MONO_SHIFT;
    REFLN.WIDTH = static_cast<float>(n - 1) * REFLN.STEP;
    REFLN.YC.fill(0.0f);
    REFLN.FLAG(1) = REFLN.SCANCODE(1);
}

void notice(const char* text) {
    gmDisplayMessageBox(PROGID.PROG_TITLE.view(), text, 3, 0);
}

// A 3 x 3 matrix is taken as an orientation matrix only when it is clearly regular: its
// determinant is not negligible against the product of its row lengths.
bool regular_matrix(const rt::FArray2<float, 3, 3>& m) {
    double a[3][3];
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) a[i][j] = m(i + 1, j + 1);
    const double det = a[0][0] * (a[1][1] * a[2][2] - a[1][2] * a[2][1]) -
                       a[0][1] * (a[1][0] * a[2][2] - a[1][2] * a[2][0]) +
                       a[0][2] * (a[1][0] * a[2][1] - a[1][1] * a[2][0]);
    double norms = 1.0;
    for (int i = 0; i < 3; ++i)
        norms *= std::sqrt(a[i][0] * a[i][0] + a[i][1] * a[i][1] + a[i][2] * a[i][2]);
    if (!(norms > 0.0) || !std::isfinite(det)) return false;
    return std::fabs(det) > 1e-6 * norms;
}

}  // namespace

void WRITE_HEADER_STDDATA(int unit) {
    // A title that no reader has set yet holds NULs; the file gets blanks in their place.
    std::string title(FILEINFO.TITLE.view());
    for (char& ch : title)
        if (ch == '\0') ch = ' ';
    const UNITCELL_t& uc = UNITCELL;
    put_header_line(unit, "H");
    put_header_line(unit, "T " + title);
    put_header_line(unit, rt::fmt_write("('H',6F10.4)", uc.CELL(1), uc.CELL(2), uc.CELL(3), uc.CELL(4),
                                   uc.CELL(5), uc.CELL(6)));
    put_header_line(unit, "H");
    put_header_line(unit, "H");
    for (int i = 1; i <= 3; ++i)
        put_header_line(unit, rt::fmt_write("('U',3F12.7)", uc.UB(i, 1), uc.UB(i, 2), uc.UB(i, 3)));
    put_header_line(unit, rt::fmt_write("('A',F10.6)", SCANHDR.ATTEN));
    put_header_line(unit, "DATA");
}

void WRITE_REF_STDDATA(int unit, int& status, int iseq, const rt::FArray<int, 3>& ih, float psi,
                       const rt::FArray<float, 4>& angl, int nstep, float step, float scale, int istd,
                       const rt::FText<1>& scancode, const rt::FArray<int, MAXSTEP>& icount, int ndim) {
    status = 2;  // refused
    if (nstep < 1 || nstep > MAXSTEP || nstep > ndim) return;

    // Counts above eight digits: divide every count by the smallest whole factor that brings the
    // largest to eight digits, and multiply the scale by it.
    rt::FArray<int, MAXSTEP> counts = icount;
    int largest = 0;
    for (int i = 1; i <= nstep; ++i)
        if (counts(i) > largest) largest = counts(i);
    if (largest > MAX_COUNT) {
        const int factor = largest / (MAX_COUNT + 1) + 1;
        for (int i = 1; i <= nstep; ++i) counts(i) /= factor;
        scale *= static_cast<float>(factor);
    }

    // Nothing is written that could not be read back.
    bool ok = fits_int(iseq, 6) && fits_int(nstep, 4) && fits_int(istd, 4) &&
              fits_real(psi, "(F10.4)") && fits_real(step, "(F10.5)") && fits_real(scale, "(F10.5)");
    for (int k = 1; k <= 3; ++k) ok = ok && fits_int(ih(k), 4);
    for (int k = 1; k <= 4; ++k) ok = ok && fits_real(angl(k), "(F10.4)");
    for (int i = 1; i <= nstep; ++i) ok = ok && fits_int(counts(i), 8);
    if (!ok) return;

    status = 1;  // until every line is written
    rt::FText<1> code = scancode;
    if (code(1) == '\0') code(1) = ' ';
    const std::string record =
        rt::fmt_write("('R',I6,3I4,5F10.4,I4,2F10.5,I4,A1)", iseq, ih(1), ih(2), ih(3), psi, angl(1),
                      angl(2), angl(3), angl(4), nstep, step, scale, istd, code);
    if (rt::unit_write_record(unit, record) != rt::IOS_OK) return;
    for (int first = 1; first <= nstep; first += 10) {
        const int last = first + 9 < nstep ? first + 9 : nstep;
        const std::string line = rt::fmt_write("('S',10I8)", rt::out_slice(counts, first, last));
        if (rt::unit_write_record(unit, line) != rt::IOS_OK) return;
    }
    status = 0;
}

void SKIP_HEADER_STDDATA(int unit, int& status) {
    // A working file whose writing failed reads as an error (status 11) from here on.
    rt::unit_rewind(unit);
    for (;;) {
        std::string rec;
        const int ios = rt::unit_read_record(unit, rec);
        if (scanin::read_status(ios) != 0) {
            status = scanin::read_status(ios);
            return;
        }
        rec = fit_width(rec, 4);
        upcase(rec);
        if (rec == "DATA") return;
    }
}

void READ_HEADER_STDDATA(int unit, int& status) {
    status = 0;
    rt::unit_mark_user_text(unit);  // only a file the user chose is read here
    int nu = 0;           // U lines met
    bool clean = true;    // the first three U lines were read without fault
    long bad_line = 0;    // the line where the matrix could not be read (0: none)
    rt::FArray2<float, 3, 3> ub;

    // The matrix is taken from a complete, clean, regular block of U lines; a bad or partial
    // block leaves no valid matrix; a header without U lines keeps the one in force.
    auto settle_matrix = [&] {
        if (nu == 0) return;
        // A block cut short: the DATA line that ended it is where the next row was looked for.
        if (nu < 3 && bad_line == 0) bad_line = rt::unit_record_number(unit);
        // A header that cannot be read whole is the load's own error; only a file that loads
        // is told about its matrix.
        if (bad_line != 0 && status == 0) {
            // The data load without a matrix, and the user is told so: the cell and the angles
            // of later steps depend on it.
            const std::string msg = "The orientation matrix of " + rt::unit_file_name(unit) +
                                    " could not be read at line " + std::to_string(bad_line) +
                                    ": the data set has no orientation matrix";
            notice(msg.c_str());
        }
        if (nu >= 3 && clean && regular_matrix(ub)) {
            UNITCELL.UB = ub;
            UNITCELL.UBOK = 1;
        } else {
            // A refused matrix is no matrix: the one in force belongs to another data set and
            // must not be written into this one's files.
            UNITCELL.UB.fill(0.0f);
            UNITCELL.UBOK = 0;
        }
    };

    for (;;) {
        std::string line;
        const int ios = rt::unit_read_record(unit, line);
        if (ios != rt::IOS_OK) {
            STDREAD = ios == rt::IOS_END ? STDREAD_t{"end of file inside the header", true}
                                         : STDREAD_t{scanin::unreadable_line(ios, unit), false};
            status = 1;
            settle_matrix();
            return;
        }
        line = fit_width(line, LINE_WIDTH);
        upcase(line);
        if (line[0] == 'U') {
            ++nu;
            if (nu > 3) continue;  // the matrix has three rows
            float row[3] = {NAN, NAN, NAN};
            const int rios = rt::list_read(std::string_view(line).substr(1, 99), row[0], row[1], row[2]);
            for (int j = 0; j < 3; ++j) {
                ub(nu, j + 1) = row[j];
                if (!std::isfinite(row[j])) clean = false;
            }
            if (rios != rt::IOS_OK) clean = false;
            if (!clean && bad_line == 0) bad_line = rt::unit_record_number(unit);
        } else if (line[0] == 'T') {
            FILEINFO.TITLE = std::string_view(line).substr(2, 60);
        } else if (line.compare(0, 4, "DATA") == 0) {
            settle_matrix();
            return;
        }
    }
}

void READ_SCAN_STDDATA(int unit, int mode, int number, const rt::FArray<int, 3>& hkl, int& status) {
    const bool quiet = status == -1;
    status = 0;
    const rt::FArray<int, 3> want = hkl;  // the caller may pass REFLN.IH itself
    const int wanted_seq = number < 0 ? 1 : number;

    switch (mode) {
        case STD_BY_NUMBER:
        case STD_BY_HKL: {
            int st = 0;
            SKIP_HEADER_STDDATA(unit, st);
            if (st == 11) {
                status = 11;
                return;
            }
            rt::unit_backspace(unit);
            break;
        }
        case STD_NEXT:
            rt::unit_backspace(unit);
            break;
        case STD_PREVIOUS: {
            if (REFLN.ISEQ == 1) return;
            // Walk backwards, line by line, from the read position. The first record met is the
            // current reflection; the next one is the answer (with skipping on, the next one
            // that is not weak). Reaching the DATA line gives the first reflection of the file.
            bool passed_current = false;
            std::string last;
            long repeats = 0;
            for (;;) {
                if (rt::unit_backspace(unit) != rt::IOS_OK) {
                    status = 11;
                    return;
                }
                std::string line;
                const int ios = rt::unit_read_record(unit, line);
                if (ios != rt::IOS_OK) {
                    status = 11;
                    return;
                }
                rt::unit_backspace(unit);
                // At the start of the file a step back does not move: a file without a DATA line
                // would be walked for ever. No real file repeats one line this often.
                repeats = line == last ? repeats + 1 : 0;
                if (repeats > 100000) break;
                last = line;
                line = fit_width(line, LINE_WIDTH);
                if (line[0] == 'D' || line[0] == 'd') break;
                if (line[0] != 'R') continue;
                if (!passed_current) {
                    passed_current = true;
                    continue;
                }
                bool stop = FITOPT.SKIP_WEAK != 1;
                if (!stop) {
                    RecordFields r;
                    stop = !parse_record(line, r) || r.code(1) != 'W';
                }
                if (stop) {
                    rt::unit_backspace(unit);
                    break;
                }
            }
            break;
        }
        default:
            status = 11;
            return;
    }

    // Forward read. Every mode first steps back one line, so the first line met is the one
    // before the reflection sought: the DATA line, or the last count line of the reflection
    // before it.
    for (bool first = true;; first = false) {
        std::string line;
        const int ios = rt::unit_read_record(unit, line);
        if (ios == rt::IOS_END) {
            WAITBOX(0);
            if (mode == STD_NEXT || mode == STD_PREVIOUS) {
                if (!quiet) notice("End of File");
                status = 12;
            } else {
                notice("Reflection not found");
                status = 13;
            }
            rt::unit_backspace(unit);
            return;
        }
        if (ios != rt::IOS_OK) {
            fail(ios, scanin::unreadable_line(ios, unit));
            status = 11;
            return;
        }
        const std::size_t length = line.size();
        line = fit_width(line, LINE_WIDTH);
        if (!first && stray_count_line(line)) {
            fail(rt::IOS_BAD_VALUE, "a count line where a reflection line belongs");
            status = 11;
            return;
        }
        if (line[0] != 'R') continue;

        RecordFields r;
        if (!parse_record(line, r)) {
            fail(rt::IOS_BAD_VALUE, "unreadable value in the reflection line");
            status = 11;
            return;
        }
        if (const std::string what = record_damage(line, length, r); !what.empty()) {
            fail(rt::IOS_BAD_VALUE, what);
            status = 11;
            return;
        }
        // The count lines are read also of a reflection passed over, so that the next line met
        // is where the next reflection line belongs.
        rt::FArray<float, MAXSTEP> counts;
        if (read_counts(unit, r.nstep, counts) != rt::IOS_OK) {
            status = 11;
            return;
        }
        if (mode == STD_BY_NUMBER && r.iseq != wanted_seq) continue;
        if (mode == STD_BY_HKL && (r.ih(1) != want(1) || r.ih(2) != want(2) || r.ih(3) != want(3)))
            continue;
        take_reflection(r, counts);
        if (mode == STD_NEXT && FITOPT.SKIP_WEAK == 1 && REFLN.SCANCODE(1) == 'W') continue;
        return;
    }
}

void STDDATA_INPUT_ERROR(int unit) { rt::input_error(unit, STDREAD.WHAT, STDREAD.AT_END); }
