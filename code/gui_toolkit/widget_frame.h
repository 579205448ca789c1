// The operation frame as the widget kinds' plain routines use it: the name recorded for the
// duration of the call, the master, number, kind and placement checks, and the escape call with
// the routine's private texts.
#pragma once
#include <cfloat>
#include <cmath>
#include <cstring>
#include <initializer_list>
#include <span>
#include <string_view>

#include "gui_toolkit/f77gui.h"
#include "gui_toolkit/widget_tables.h"
#include "platform/wingui.h"

namespace wf {

// Records name in CURRENT_ROUTINE for the life of the object, then six blanks.
class Op {
public:
    explicit Op(std::string_view name) { GINOTS(2, name); }
    ~Op() { GINOTS(2, "      "); }
    Op(const Op&) = delete;
    Op& operator=(const Op&) = delete;
};

inline void err(int n) { GMERR(n, 0); }

// Checks of the text-array block transfers: no master test; array < 1: error 26; not a text
// array: error 24.
inline bool text_array_checks(int array) {
    if (array < 1) {
        err(26);
        return false;
    }
    if (IGETWIDGETTYPE(array) != wl::KIND_TEXTARRAY) {
        err(24);
        return false;
    }
    return true;
}

// Runs fn(column, row, element) over a block of an array, row index outer, column index inner;
// cells beyond any grid are passed over.
template <class F>
void for_block(int col, int row, int cols, int rows, F fn) {
    if (cols <= 0 || rows <= 0) return;
    for (long long i = 0; i < rows; ++i)
        for (long long j = 0; j < cols; ++j) {
            const long long c = col + j, r = row + i;
            if (c > 2147483647LL || r > 2147483647LL) continue;
            fn(int(c), int(r), std::size_t(j + i * cols));
        }
}

// Master check: error 1 when no master window exists.
inline bool master() {
    if (gm_no_master()) {
        err(1);
        return false;
    }
    return true;
}

// Master check and a positive widget number (error 26).
inline bool master_and_number(int widget) {
    if (!master()) return false;
    if (widget <= 0) {
        err(26);
        return false;
    }
    return true;
}

// Master check, a positive widget number, and a widget of the given kind (else the given error).
inline bool widget_of_kind(int widget, int kind, int error) {
    if (!master_and_number(widget)) return false;
    if (IGETWIDGETTYPE(widget) != kind) {
        err(error);
        return false;
    }
    return true;
}

// The placement rule: justification centred with expansion 1, on the master window of an MDI
// application, is refused.
inline bool placement_refused(int parent) {
    return POSITION_MODE(1) == 4 && POSITION_MODE(2) == 1 && parent == 1 && IGETWIDGETTYPE(1) == 0 &&
           IGETWIDGETTYPE(2) == 32;
}

struct FrameChecks {
    bool number = true;     // parent <= 0: error 26
    bool kind = true;       // parent kind outside the set: error 7
    bool placement = true;  // the placement rule: error 62
};

// The creation frame's checks after the name is recorded and the result set to 0.
inline bool creation(int parent, std::span<const int> kinds, FrameChecks c = {}) {
    if (!master()) return false;
    if (c.number && parent <= 0) {
        err(26);
        return false;
    }
    if (c.kind && !wk::in(IGETWIDGETTYPE(parent), kinds)) {
        err(7);
        return false;
    }
    if (c.placement && placement_refused(parent)) {
        err(62);
        return false;
    }
    return true;
}

// A private text of 256 characters for escape calls.
struct Text256 {
    char c[256];
    Text256() { std::memset(c, ' ', sizeof c); }
    explicit Text256(std::string_view s) : Text256() {
        std::memcpy(c, s.data(), s.size() < sizeof c ? s.size() : sizeof c);
    }
};

// Escape call with the routine's private 256-character text; returns o1.
inline int escape(int op, int p1 = 0, int p2 = 0, int p3 = 0, int p4 = 0, int p5 = 0, int p6 = 0, int* o2 = nullptr) {
    Text256 t;
    int r1 = 0, r2 = 0;
    ESCAPEROUTINE(op, p1, p2, p3, p4, p5, p6, r1, r2, t.c, 256);
    if (o2) *o2 = r2;
    return r1;
}

// A double narrowed to the nearest float; beyond the float range an infinity (never undefined).
inline float narrow(double d) {
    constexpr double limit = double(FLT_MAX) + 0x1p103;  // halfway to the next power of two
    if (std::isnan(d)) return NAN;
    if (d >= limit) return INFINITY;
    if (d <= -limit) return -INFINITY;
    return float(d);
}

// Truncation toward zero of a float or double into an int, saturating (NaN gives 0).
inline int trunc_int(double d) {
    if (std::isnan(d)) return 0;
    if (d >= 2147483647.0) return 2147483647;
    if (d <= -2147483648.0) return -2147483647 - 1;
    return int(d);
}

}  // namespace wf

// For the routines that record their name by separate calls (more than one way out); kept
// apart from wf so that files using all of wf keep their own helpers of these names.
namespace wf::calls {

inline void begin(std::string_view name) { GINOTS(2, name); }
inline void end() { GINOTS(2, "      "); }

inline bool kind_in(int kind, std::initializer_list<int> kinds) {
    for (int k : kinds)
        if (k == kind) return true;
    return false;
}

// The magnitude of an identifier, without overflow.
inline int abs_id(int id) { return id == -2147483647 - 1 ? 2147483647 : (id < 0 ? -id : id); }

}  // namespace wf::calls
