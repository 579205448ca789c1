// What the instrument readers share: the input file on unit 1 read line by line, the reader
// status of a read, the standard a reflection is, and the checks of a reflection and of the
// axis mapping.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <string>
#include <string_view>

#include "include/shared.h"
#include "runtime/farray.h"
#include "runtime/fatal.h"
#include "runtime/units.h"

namespace scanin {

// The instrument file is connected to unit 1.
constexpr int IN_UNIT = 1;

// Marks unit 1 as the user's input file (a control character in a line is damage). Every header
// reader starts with it.
inline void begin_input() { rt::unit_mark_user_text(IN_UNIT); }

// Reads the next line of unit 1 as `width` columns (cut or padded with blanks); `length`, when
// given, receives the number of characters the line held.
inline int read_line(std::string& line, std::size_t width, std::size_t* length = nullptr) {
    const int ios = rt::unit_read_record(IN_UNIT, line);
    if (length) *length = line.size();
    if (ios == rt::IOS_OK) line.resize(width, ' ');
    return ios;
}

// True when the line just read, `length` characters long, is the last of a file cut inside it:
// it has no line end and stops before column `needed`, so its last fields lost their digits
// (padded with blanks they would read as other numbers, or as zeros).
inline bool cut_inside(std::size_t length, std::size_t needed) {
    return rt::unit_record_unended(IN_UNIT) && length < needed;
}

// A last line without its line end that holds nothing but blanks: the file was cut inside the
// leading blanks of its next record, and whatever followed is lost. Passed over as a blank
// line, it would end the data with the success notice.
inline void no_cut_blank_line(const std::string& line) {
    if (rt::unit_record_unended(IN_UNIT) && line.find_first_not_of(' ') == std::string::npos)
        rt::input_error(IN_UNIT, "the file ends inside a line");
}

// A fixed-column field of a line: its first column (from 1) and its width.
struct Field {
    int first;
    int width;
};
// True when one of the fields is blank in the line (cut or padded to its width): a blank
// numeric field reads as 0, a number the file never held.
template <std::size_t N>
bool blank_field(std::string_view line, const Field (&fields)[N]) {
    for (const Field& f : fields) {
        const std::size_t a = std::size_t(f.first - 1);
        if (a >= line.size()) return true;
        if (line.find_first_not_of(' ', a) >= a + std::size_t(f.width)) return true;
    }
    return false;
}

// True when columns first..first+width-1 (from 1) of the line hold one count: a whole number
// that is not negative, right-aligned or not (digits in one run, blanks around them only).
inline bool count_field(std::string_view line, std::size_t first, std::size_t width) {
    const std::string_view f = line.substr(std::min(first - 1, line.size()), width);
    const std::size_t a = f.find_first_not_of(' ');
    if (a == std::string_view::npos) return false;
    const std::size_t b = f.find_last_not_of(' ');
    for (std::size_t k = a; k <= b; ++k)
        if (f[k] < '0' || f[k] > '9') return false;
    return true;
}

// Reads the format does not check: a failure is the user's damaged file (rt::InputError), named
// with the line and what could not be read.
//
// What cannot be read at the line the last read returned (or the one after it, at_end).
[[noreturn]] inline void damaged(const std::string& what, bool at_end = false) {
    rt::input_error(IN_UNIT, what, at_end);
}
// What cannot be read at an earlier line of the file.
[[noreturn]] inline void damaged_at(long line, const std::string& what) { rt::input_error_at(IN_UNIT, line, what); }
//
// Why a line of the file on `unit` could not be read.
inline std::string unreadable_line(int ios, int unit = IN_UNIT) {
    if (ios != rt::IOS_BAD_RECORD) return "the line cannot be read";
    return rt::unit_record_too_long(unit) ? "the line is too long (more than 1 MiB without a line end)"
                                          : "the line holds control characters";
}
// A line of the file: the end of the file inside `part` ("a reflection", "the header"), or a
// line that cannot be read at all.
inline void unchecked_line(int ios, std::string_view part) {
    if (ios == rt::IOS_OK) return;
    if (ios == rt::IOS_END) rt::input_error(IN_UNIT, "end of file inside " + std::string(part), true);
    // A line that cannot be read still counts as read: the number names it.
    rt::input_error(IN_UNIT, unreadable_line(ios));
}
// The values of `item` ("the reflection line", "a Z line"): a value that cannot be read, or a
// free-form list that holds fewer values than asked for.
inline void unchecked_values(int ios, std::string_view item) {
    if (ios == rt::IOS_OK) return;
    if (ios == rt::IOS_BAD_RECORD) rt::input_error(IN_UNIT, unreadable_line(ios));
    if (ios == rt::IOS_END) rt::input_error(IN_UNIT, "too few values in " + std::string(item));
    rt::input_error(IN_UNIT, "unreadable value in " + std::string(item));
}
// A step back by one line that the file refuses.
inline void unchecked_step_back(int ios) {
    if (ios != rt::IOS_OK) rt::input_error(IN_UNIT, "the line cannot be read again");
}

// The reader status of a read: 0 read, 12 end of the data, 11 read error.
inline int read_status(int ios) {
    if (ios == rt::IOS_END) return 12;
    return ios == rt::IOS_OK ? 0 : 11;
}

// True when the setting angles, step and scale of the reflection are all finite numbers.
inline bool all_finite() {
    const REFLN_t& r = REFLN;
    for (int k = 1; k <= 4; ++k)
        if (!std::isfinite(r.ANGL(k))) return false;
    return std::isfinite(r.STEP) && std::isfinite(r.SCALE);
}

// True when the setting angles (2theta, omega relative to theta, chi, phi, in degrees) are
// angles a four-circle instrument can be set to: 2theta within -180..180, omega within
// -450..450 (an absolute omega within -360..360 less half of 2theta), chi and phi within
// -360..360. A value beyond them is a damaged number, never a setting.
inline bool settable_angles(const rt::FArray<float, 4>& angl) {
    const float most[4] = {180.0f, 450.0f, 360.0f, 360.0f};
    for (int k = 1; k <= 4; ++k)
        if (!(std::fabs(angl(k)) <= most[k - 1])) return false;  // also NaN
    return true;
}

// The number of the standard reflection with the indices ih (the first that has them), or 0
// when no standard has them.
inline int standard_number(const rt::FArray<int, 3>& ih) {
    const STDREF_t& sr = STDREF;
    const int nstd = sr.NSTD < MAXSTD ? sr.NSTD : MAXSTD;
    for (int j = 1; j <= nstd; ++j)
        if (sr.IHSTD(j, 1) == ih(1) && sr.IHSTD(j, 2) == ih(2) && sr.IHSTD(j, 3) == ih(3)) return j;
    return 0;
}

// True when IBL holds each of the axes 1, 2, 3 once, each with either sign.
inline bool signed_permutation(const rt::FArray<int, 3>& ibl) {
    bool seen[4] = {false, false, false, false};
    for (int i = 1; i <= 3; ++i) {
        const int a = ibl(i) < 0 ? -ibl(i) : ibl(i);
        if (a < 1 || a > 3 || seen[a]) return false;
        seen[a] = true;
    }
    return true;
}

}  // namespace scanin
