// The keys of the instrument parameter file as one table: each key's keyword, whether a file
// must give it, and the values its line holds, in order, each with the quantity that fixes its
// kind (a whole number or a real) and its range. The reader takes every line through this table
// and nothing else, so a line is judged the same way whatever its key: it holds exactly the
// values of its key, each readable and in its range, or the file is refused.
#pragma once
#include <vector>

#include "include/quantity_ranges.h"

struct ParameterValue {
    Quantity q;     // kind and range (range_of(q).whole: read as a whole number)
    float* real;    // the member it fills (one of the two)
    int* whole;
};

// One layout of a key's line. A key whose count depends on its first value (the number of
// wavelengths, the background model) has one layout per such value; `first` is that value.
struct ParameterLayout {
    int first;  // the first value that selects this layout; ANY_FIRST for a key with one layout
    std::vector<ParameterValue> values;
};
inline constexpr int ANY_FIRST = -1000000;

struct ParameterKey {
    const char* word;  // as compared: padded with blanks to `width` columns
    int width;         // 6, or 4 for MONO (columns 5 and 6 may hold anything)
    bool mandatory;
    std::vector<ParameterLayout> layouts;
};

// The eleven keys in the order they are tried; the first match decides. The eight mandatory keys
// come first, in the order the "missing" check names them.
const std::vector<ParameterKey>& PARAMETER_KEYS();
