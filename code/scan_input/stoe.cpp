// Reader of "Stoe" scan data files (.d00).
//
// Header: keyword lines (TITL, WAVE, SCAN, STDS) up to a DATA line; the keyword belongs in
// columns 1-4 and its values follow from column 5. Data: per reflection one line that starts
// with a blank and holds sixteen free-form values
//   h k l ICODE R1 R2 I1 I2 ISCANTIME IFILT R3 I4 2theta omega chi phi
// (ICODE 40 marks a standard; IFILT not 0: measured with the attenuator; omega absolute), then
// count lines starting with "P" whose first value is not a count. Reflections are numbered in
// file order. Angles in degrees; omega is stored relative to theta.
#include <string>
#include <string_view>

#include "include/scan_input.h"
#include "include/shared.h"
#include "include/shell_services.h"
#include "runtime/format.h"
#include "runtime/units.h"
#include "scan_input/reader_helpers.h"

namespace {

constexpr int UNIT = 1;
constexpr std::size_t HEADER_WIDTH = 80;
constexpr std::size_t DATA_WIDTH = 100;
constexpr int STANDARD_CODE = 40;

// A header value list of `item` read from column 5: a value that cannot be read, or a list
// shorter than asked for, is the user's damaged file.
void header_values(int ios, const char* item) { scanin::unchecked_values(ios, item); }

// Raises the character codes above 96 of the first six columns by 32 (lower-case letters
// become capitals).
void raise_keyword_columns(std::string& line) {
    for (std::size_t i = 0; i < 6 && i < line.size(); ++i) {
        const unsigned char u = static_cast<unsigned char>(line[i]);
        if (u > 96) line[i] = static_cast<char>(u - 32);
    }
}

// The number of decimal digits of a count's integer part, as the count lines are spaced: the
// value is divided by ten until its integer part is below 1; a value below 10 has one digit.
int digit_count(float value) {
    int n = 1;
    float x = value / 10.0f;
    while (x >= 1.0f) {
        ++n;
        x /= 10.0f;
    }
    return n;
}

// Reads the next data line, cut or padded to the data width. False at end of file; a line that
// cannot be read, or a last line cut before anything but its leading blanks, is the user's
// damaged file.
bool data_line(std::string& line) {
    const int ios = rt::unit_read_record(UNIT, line);
    if (ios == rt::IOS_END) return false;
    scanin::unchecked_line(ios, "the data");
    scanin::no_cut_blank_line(line);
    line.resize(DATA_WIDTH, ' ');
    return true;
}

// Reads the count at reading column p (from 1) of a count line: a whole number that is not
// negative, standing at p or after one blank more, written with exactly the digits it has (so
// the column advance that follows lands where the next one stands). False when the line holds
// no more values from p on; any other text there is the user's damaged file.
bool next_count(const std::string& line, std::size_t p, int& value, std::size_t& next) {
    const std::size_t start = line.find_first_not_of(' ', p - 1);
    if (start == std::string::npos) return false;
    std::size_t end = line.find(' ', start);
    if (end == std::string::npos) end = line.size();
    const std::string_view token = std::string_view(line).substr(start, end - start);
    long long v = 0;
    bool whole = start <= p && token.size() <= 9;
    for (const char c : token) {
        whole = whole && c >= '0' && c <= '9';
        if (whole) v = v * 10 + (c - '0');
    }
    if (!whole || int(token.size()) != digit_count(float(v)))
        scanin::damaged("unreadable value in a count line");
    value = int(v);
    next = p + token.size() + 1;
    return true;
}

}  // namespace

void READ_HEADER_STOE(int& IERR) {
    IERR = 0;
    scanin::begin_input();
    std::string line;
    for (;;) {
        scanin::unchecked_line(rt::unit_read_record(UNIT, line), "the header");
        line.resize(HEADER_WIDTH, ' ');
        raise_keyword_columns(line);
        if (line.compare(0, 4, "    ") == 0) continue;

        const std::string_view values = std::string_view(line).substr(4);
        if (line.find("TITL") != std::string::npos) {
            FILEINFO.TITLE = values.substr(0, 60);
        } else if (line.find("WAVE") != std::string::npos) {
            float wave_ave = 0.0f;  // the mean wavelength is not used
            header_values(rt::list_read(values, wave_ave, WAVES.WAVE(1), WAVES.WAVE(2)), "the WAVE line");
            if (!(WAVES.WAVE(1) > 0.0f) || !(WAVES.WAVE(2) > 0.0f))
                scanin::damaged("a wavelength that is not positive in the WAVE line");
        } else if (line.find("SCAN") != std::string::npos) {
            header_values(rt::list_read(values, SCANHDR.SCW(1), SCANHDR.SCW(2), REFLN.STEP), "the SCAN line");
        } else if (line.find("DATA") != std::string::npos) {
            REFLN.ISEQ = 0;
            return;
        } else if (line.find("STDS") != std::string::npos) {
            STDREF_t& s = STDREF;
            int nstd = s.NSTD;
            header_values(rt::list_read(values, nstd), "the STDS line");
            // The standard store holds MAXSTD reflections: a longer list is not a header this
            // program can keep.
            if (nstd < 0 || nstd > MAXSTD) scanin::damaged("the STDS line lists more than 10 standards");
            s.NSTD = nstd;
            // The line is read again from its start: the count once more, a second integer
            // and a real (neither used), then the h k l of every standard.
            int nstd_again = 0, jj = 0;
            float rjunk = 0.0f;
            rt::FArray<int, 3 * MAXSTD> hkl;
            for (int i = 1; i <= MAXSTD; ++i)
                for (int j = 1; j <= 3; ++j) hkl(3 * (i - 1) + j) = s.IHSTD(i, j);
            header_values(rt::list_read_items(values, {rt::in_item(nstd_again), rt::in_item(jj), rt::in_item(rjunk),
                                                       rt::in_slice(hkl, 1, 3 * nstd)}),
                          "the STDS line");
            for (int i = 1; i <= nstd; ++i)
                for (int j = 1; j <= 3; ++j) s.IHSTD(i, j) = hkl(3 * (i - 1) + j);
        }
    }
}

void READ_SCAN_STOE(int& IERR) {
    IERR = 0;
    REFLN_t& r = REFLN;

    std::string line;
    do {
        if (!data_line(line)) {
            IERR = 12;
            return;
        }
        // Count lines where a reflection line belongs: the line of their reflection was lost
        // (blanked, dropped, or swapped with one of them), or they are one too many.
        if (line[0] == 'P') scanin::damaged("a count line where a reflection line belongs");
    } while (line[0] != ' ' || line.find_first_not_of(' ') == std::string::npos);
    // A wholly blank line is passed over like any other line that is no reflection line: taken
    // as the end of the data, it would drop every reflection after it from a load that reports
    // success.

    const std::string_view fields = std::string_view(line).substr(1);
    // Values of the reflection line that are not kept in the current reflection.
    int ICODE = 0, I1 = 0, I2 = 0, ISCANTIME = 0, IFILT = 0, I4 = 0;
    float R1 = 0, R2 = 0, R3 = 0;
    const int ios = rt::list_read_data(fields, r.IH, ICODE, R1, R2, I1, I2, ISCANTIME, IFILT, R3, I4, r.ANGL);
    if (ios == rt::IOS_BAD_VALUE || ios == rt::IOS_BAD_FORMAT) scanin::unchecked_values(ios, "the reflection line");
    if (ios == rt::IOS_END) {
        // Fewer than sixteen values: the h k l 0 0 0 that ends the data, or a reflection that
        // cannot be used. It is dropped but keeps its number, and its count lines are passed
        // over.
        rt::FArray<int, 3> hkl{{1, 1, 1}};
        if (rt::list_read(fields, hkl) == rt::IOS_OK && hkl(1) == 0 && hkl(2) == 0 && hkl(3) == 0) {
            IERR = 12;
            return;
        }
        r.ISEQ += 1;
        IERR = 13;
        while (data_line(line)) {
            if (line[0] != 'P') {
                scanin::unchecked_step_back(rt::unit_backspace(UNIT));
                break;
            }
        }
        return;
    }
    if (r.IH(1) == 0 && r.IH(2) == 0 && r.IH(3) == 0) {
        IERR = 12;
        return;
    }
    r.ISEQ += 1;

    if (ICODE == STANDARD_CODE) {
        const int nstd = STDREF.NSTD < MAXSTD ? STDREF.NSTD : MAXSTD;
        int found = 0;
        for (int j = 1; j <= nstd && found == 0; ++j)
            if (STDREF.IHSTD(j, 1) == r.IH(1) && STDREF.IHSTD(j, 2) == r.IH(2) && STDREF.IHSTD(j, 3) == r.IH(3))
                found = j;
        if (found == 0) scanin::damaged("Unidentified Standard Refln");
        r.ISTD = found;
        r.SCANCODE = "I";
    } else {
        r.ISTD = 0;
    }

    // Counts: every value of the "P" lines in order, the first one dropped. Each value is
    // read from the column where the previous one ended plus one blank. A count is a whole
    // number that is not negative: anything else in its place ("2Q5", "12.5", "-999", a null
    // ",,") is the user's damaged file, never a count. Values beyond the
    // capacity of a scan are read (so the file stays in step) but not kept.
    // The count lines of the last reflection end with the file. They are whole only when the
    // last line has its line end and the first value, the step count, matches the counts read:
    // a file cut inside them keeps no shortened scan (the reflection is left out).
    rt::FArray<int, MAXSTEP + 1> values;
    long n = 0;
    bool count_lines = false;
    bool ended = true;  // the last count line read has its line end
    for (;;) {
        if (!data_line(line)) {
            // A file cut before the counts or inside them: the reflection is dropped, and the
            // next call meets the end of the file.
            if (!count_lines || !ended || n < 2 || long(values(1)) != n - 1) {
                IERR = 13;
                return;
            }
            break;
        }
        if (line[0] != 'P') {
            // A reflection line without a count line: the line is doubled, or its counts were
            // lost; numbered on, it would shift the numbers of every later reflection.
            if (!count_lines) scanin::damaged("a reflection line without count lines before this line");
            scanin::unchecked_step_back(rt::unit_backspace(UNIT));
            break;
        }
        count_lines = true;
        ended = !rt::unit_record_unended(UNIT);
        for (std::size_t p = 2; p <= DATA_WIDTH;) {
            int value = 0;
            if (!next_count(line, p, value, p)) break;
            if (n < MAXSTEP + 1) values(int(n) + 1) = value;
            ++n;
        }
    }
    // A scan of no steps, or of more than the current reflection holds, is left out.
    if (n - 1 < 1 || n - 1 > MAXSTEP) {
        IERR = 13;
        return;
    }
    r.NSTEP = int(n - 1);
    for (int k = 1; k <= r.NSTEP; ++k) r.COUNTS(k) = float(values(k + 1));

    r.TSTEP = float(ISCANTIME) / float(r.NSTEP);
    // Without a positive counting time the counts cannot be normalised.
    if (!(r.TSTEP > 0.0f)) {
        IERR = 13;
        return;
    }
    // The attenuator factor takes the place of the numerator of the scale factor.
    r.SCALE = (IFILT == 0 ? 1.0f : SCANHDR.ATTEN) / r.TSTEP;
    if (r.ISTD == 0) r.SCANCODE = IFILT == 0 ? "N" : "F";
    r.ANGL(2) = r.ANGL(2) - r.ANGL(1) * 0.5f;
}
