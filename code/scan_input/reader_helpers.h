// What the instrument readers share: the input file on unit 1 read line by line, the reader
// status of a read, the standard a reflection is, and the checks of a reflection and of the
// axis mapping.
#pragma once

#include <cmath>
#include <cstddef>
#include <string>
#include <string_view>
#include <tuple>

#include "include/shared.h"
#include "runtime/farray.h"
#include "runtime/fatal.h"
#include "runtime/units.h"

namespace scanin {

// Copies of shared records taken when made, put back by restore(): a damaged file leaves the
// records its reading had begun to change as they were.
template <class... R>
class KeptRecords {
public:
    explicit KeptRecords(R&... records) : places_(records...), values_(records...) {}
    void restore() const {
        std::apply([&](R&... place) { std::apply([&](const R&... value) { ((place = value), ...); }, values_); },
                   places_);
    }

private:
    std::tuple<R&...> places_;
    std::tuple<R...> values_;
};

// The instrument file is connected to unit 1.
constexpr int IN_UNIT = 1;

// Reads the next line of unit 1 as `width` columns (cut or padded with blanks).
inline int read_line(std::string& line, std::size_t width) {
    const int ios = rt::unit_read_record(IN_UNIT, line);
    if (ios == rt::IOS_OK) line.resize(width, ' ');
    return ios;
}

// Reads the format does not check: a failure is the user's damaged file (rt::InputError), named
// with the line and what could not be read.
//
// A line of the file: the end of the file inside `part` ("a reflection", "the header"), or a
// line that cannot be read at all.
inline void unchecked_line(int ios, std::string_view part) {
    if (ios == rt::IOS_OK) return;
    if (ios == rt::IOS_END) rt::input_error(IN_UNIT, "end of file inside " + std::string(part), true);
    rt::input_error(IN_UNIT, "the line cannot be read", true);
}
// The values of `item` ("the reflection line", "a Z line"): a value that cannot be read, or a
// free-form list that holds fewer values than asked for.
inline void unchecked_values(int ios, std::string_view item) {
    if (ios == rt::IOS_OK) return;
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
