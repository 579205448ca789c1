// Plain routines for numeric value entries and value arrays. A value entry holds its number in
// double precision, as set or as typed in full; the 32-bit routines convert on the way in
// (exactly) and out (to the nearest float).
#include <cstdio>
#include <string>
#include <type_traits>

#include "gui_toolkit/f77gui_widgets.h"
#include "gui_toolkit/widget_frame.h"
#include "platform/widget_extra.h"

using namespace wf;

void VALTYP(int type, int second) {
    if (type < 0 || type > 15) return err(33);
    REGVALUETYPE(type, second);
}

void VALSIZ(int size) {
    if (size < 50 || size > 100) return err(34);
    REGVALUESIZE(size);
}

void VALATR(int c1, int c2, int c3, int fourth) {
    if (c1 < 0 || c2 < 0 || c3 < 0) return err(19);
    if (fourth < -1 || fourth > 1) return err(35);
    REGVALUEATTR(c1, c2, c3, fourth);
}

namespace {
// The creation frame of a value entry; true when the library may create it.
bool value_entry_checks(int parent, int decimals, int mode) {
    if (!creation(parent, wk::kValueEntryParents, {.placement = false})) return false;
    if (mode < 0 || mode > 1) {
        err(35);
        return false;
    }
    if (decimals < 0) {
        err(17);
        return false;
    }
    if (placement_refused(parent)) {
        err(62);
        return false;
    }
    return true;
}

// Value checks: master, positive number, a value entry (error 24).
bool value_checks(int widget) { return widget_of_kind(widget, wl::KIND_VALUE, 24); }
}  // namespace

void DVLENT(int parent, int x, int y, double value, int field_width, int decimals, int mode, int& id) {
    Op op("gmCreateValueEntry");
    id = 0;
    if (!value_entry_checks(parent, decimals, mode)) return;
    ADDDOUBLE(parent, value, mode, decimals, field_width, x, y, id);
}

void VALENT(int parent, int x, int y, float value, int field_width, int decimals, int mode, int& id) {
    Op op("gmCreateValueEntry");
    id = 0;
    if (!value_entry_checks(parent, decimals, mode)) return;
    ADDFLOAT(parent, value, mode, decimals, field_width, x, y, id);
}

void VALARR(int parent, int a, int b, int c, int d, int& id) {
    Op op("gmCreateValueArray");
    id = 0;
    if (!creation(parent, wk::kArrayParents)) return;
    GAADDVALUEGRID(parent, a, b, c, d, id);
}

void DVLSET(int widget, double value) {
    Op op("gmSetValueSetting");
    if (!value_checks(widget)) return;
    SETDOUBLE(widget, value);
}

void VALSET(int widget, float value) {
    Op op("gmSetValueSetting");
    if (!value_checks(widget)) return;
    SETNUMBER(widget, value);
}

void DVLENQ(int widget, double& value, char* text, int text_len, int& status) {
    Op op("gmEnqValueSetting");
    if (!value_checks(widget)) return;
    GETNUMBER(widget, value, text, status, text_len);
}

void VALENQ(int widget, float& value) {
    Op op("gmEnqValueSetting");
    if (!value_checks(widget)) return;
    Text256 buffer;
    double d = 0.0;
    int status = 0;
    GETNUMBER(widget, d, buffer.c, status, 256);
    value = narrow(d);
}

void VALLIM(int widget, float limit1, float limit2) {
    if (!value_checks(widget)) return;
    const double a = limit1, b = limit2;
    SETVALUELIMITS(widget, a < b ? a : b, a < b ? b : a);
}

void VALLID(int widget, double limit1, double limit2) {
    if (!value_checks(widget)) return;
    SETVALUELIMITS(widget, limit1 < limit2 ? limit1 : limit2, limit1 < limit2 ? limit2 : limit1);
}

void VALFIX(int widget, int flag, std::string_view prefix, std::string_view suffix) {
    std::string joined(rt::trim_right(prefix, {.nuls = false}));
    joined += '|';
    joined += rt::trim_right(suffix, {.nuls = false});
    Text256 t(joined);
    int o1 = 0, o2 = 0;
    ESCAPEROUTINE(2600, widget, flag, 0, 0, 0, 0, o1, o2, t.c, 256);
}

void VALROG(int a, int b, int code, std::string_view text) {
    Op op("gmSetRogueValueStr");
    if (!master()) return;
    REGROGUEVALUE(a, b, code, text, int(text.size()));
}

namespace {
// The free number text of a cell value: the digits of its 64-bit value.
void number_text(double v, Text256& t) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.17g", v);
    t = Text256(buf);
}

// The block of a value array set from doubles or floats, each cell a number.
template <class T>
void set_value_array(int array, int col, int row, int cols, int rows, const T* values) {
    Op op("gmSetValueArray");
    if (!text_array_checks(array)) return;
    Text256 t;
    for_block(col, row, cols, rows, [&](int c, int r, std::size_t k) {
        const double v = values[k];
        GASETCELLTYPE(array, c, r, 1, 0);
        number_text(v, t);
        GASETCELLVALUE(array, c, r, v, std::string_view(t.c, 256), 256);
    });
}

// The block of a value array read into doubles or floats (narrowed as a float entry is).
template <class T>
void enq_value_array(int array, int col, int row, int cols, int rows, T* values) {
    Op op("gmEnqValueArray");
    if (!text_array_checks(array)) return;
    Text256 t;
    for_block(col, row, cols, rows, [&](int c, int r, std::size_t k) {
        double v = 0.0;
        GAGETCELLVALUE(array, c, r, v, t.c, 256);
        if constexpr (std::is_same_v<T, float>)
            values[k] = narrow(v);
        else
            values[k] = v;
    });
}
}  // namespace

void DVRSET(int array, int col, int row, int cols, int rows, const double* values) {
    set_value_array(array, col, row, cols, rows, values);
}

void VARSET(int array, int col, int row, int cols, int rows, const float* values) {
    set_value_array(array, col, row, cols, rows, values);
}

void DVRENQ(int array, int col, int row, int cols, int rows, double* values) {
    enq_value_array(array, col, row, cols, rows, values);
}

void VARENQ(int array, int col, int row, int cols, int rows, float* values) {
    enq_value_array(array, col, row, cols, rows, values);
}
