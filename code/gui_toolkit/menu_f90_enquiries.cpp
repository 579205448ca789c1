// The widget module's enquiries: they read back what the user or the toolkit put into a widget,
// through the plain routines or the escape request, and undo every recoding the setters apply.
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "gui_toolkit/f77gui.h"
#include "gui_toolkit/f77gui_widgets.h"
#include "gui_toolkit/frames.h"
#include "gui_toolkit/menu_f90.h"
#include "gui_toolkit/menu_f90_rules.h"

namespace {

using mf::esc;

// An escape request that answers with two numbers, for the widget.
void esc_pair(int op, int widget, int& first, int& second) {
    int o2 = 0;
    first = esc(op, widget, 0, 0, 0, 0, 0, &o2);
    second = o2;
}

float narrow(double d) {
    constexpr double limit = 3.4028234663852886e38 + 0x1p103;
    if (std::isnan(d)) return NAN;
    if (d >= limit) return INFINITY;
    if (d <= -limit) return -INFINITY;
    return float(d);
}

int trunc_int(double d) {
    if (std::isnan(d)) return 0;
    if (d >= 2147483647.0) return 2147483647;
    if (d <= -2147483648.0) return -2147483647 - 1;
    return int(d);
}

// The value of an entry, 0.0 when the request is refused.
double value_of(int widget, int* status, char* text, int text_len) {
    static char scratch[32];
    double value = 0.0;
    int st = status ? *status : 0;
    if (text)
        DVLENQ(widget, value, text, text_len, st);
    else
        DVLENQ(widget, value, scratch, 32, st);
    if (status) *status = st;
    return value;
}

}  // namespace

double gmEnqValueSetting(int widget) { return value_of(widget, nullptr, nullptr, 0); }
double gmEnqValueSetting(int widget, int* status, char* text, int text_len) {
    return value_of(widget, status, text, text_len);
}
double gmEnqValueSettingDouble(int widget, int* status, char* text, int text_len) {
    return value_of(widget, status, text, text_len);
}
int gmEnqValueSettingInteger(int widget, int* status, char* text, int text_len) {
    return trunc_int(value_of(widget, status, text, text_len));
}

int gmEnqToggleSwitch(int widget) {
    int state = 0;  // a refused request reads as off
    TOGENQ(widget, state);
    return state;
}

void gmEnqTextSetting(int widget, char* text, int len) { TEXENQ(widget, text, len); }

void gmEnqTextSetting(int widget, char* text, int len, int mode) {
    esc(960, mode);
    TEXENQ(widget, text, len);
    esc(960, 0);
}

void gmEnqListStatus(int list, int& a, int& b, int& c) { LISSTA(list, a, b, c); }

void gmEnqValueArray_DOUBLE(int widget, int col, int row, int cols, int rows, double* values) {
    DVRENQ(widget, col, row, cols, rows, values);
}

namespace {
// A block read through the enquiry of a wider type: the caller's values go in widened, and
// come back converted by back.
template <class Wide, class T, class Back>
void enq_widened(int widget, int col, int row, int cols, int rows, T* values,
                 void (*enq)(int, int, int, int, int, Wide*), Back back) {
    if (cols <= 0 || rows <= 0) return enq(widget, col, row, cols, rows, nullptr);
    const std::size_t n = std::size_t(cols) * std::size_t(rows);
    std::vector<Wide> list(n);
    for (std::size_t k = 0; k < n; ++k) list[k] = static_cast<Wide>(values[k]);
    enq(widget, col, row, cols, rows, list.data());
    for (std::size_t k = 0; k < n; ++k) values[k] = back(list[k]);
}
}  // namespace

void gmEnqValueArray_REAL(int widget, int col, int row, int cols, int rows, float* values) {
    enq_widened<double>(widget, col, row, cols, rows, values, DVRENQ, [](double v) { return narrow(v); });
}

void gmEnqValueArray_INTEGER(int widget, int col, int row, int cols, int rows, int* values) {
    enq_widened<float>(widget, col, row, cols, rows, values, VARENQ, [](float v) { return trunc_int(v); });
}

void gmEnqCellSetting(int array, int col, int row, double& value, char* text, int len) {
    DCLENQ(array, col, row, value, text, len);
}

void gmEnqCellSetting(int array, int col, int row, float& value, char* text, int len) {
    double v = value;
    DCLENQ(array, col, row, v, text, len);
    value = narrow(v);
}

void gmEnqCellSetting(int array, int col, int row, int& value, char* text, int len) {
    float v = NAN;  // stays NaN when the enquiry is refused: the caller's value is left alone
    CELENQ(array, col, row, v, text, len);
    if (!std::isnan(v)) value = trunc_int(v);
}

void gmEnqCellAttribs(int array, int col, int row, CellAttribs& a) {
    int at[18] = {};
    CELANQ(array, col, row, 18, at);
    auto attr = [&](int k) { return at[k - 1]; };
    a.field(1) = attr(6);
    a.field(2) = attr(7);
    a.field(3) = attr(8);
    a.field(4) = attr(9);
    for (int k = 5; k <= 8; ++k) a.field(k) = attr(k - 4);
    a.field(9) = attr(5) == 1 ? 19 : attr(5);
    a.field(10) = attr(10);
    a.field(11) = attr(11);
    a.field(12) = attr(12) == 0 ? 32746 : attr(12);
    for (int k = 13; k <= 18; ++k) a.field(k) = attr(k);
    float lower = 0, upper = 0;
    int third = 0;
    CELLIQ(array, col, row, lower, upper, third);
    a.real(19) = lower;
    a.real(20) = upper;
    a.field(21) = third;
    int r1 = 0, r2 = 0;
    GUIESC(2017, array, col, row, 0, 0, 0, r1, r2, a.text.c, 256);
}

void gmEnqFontAttribs(int widget, const FontAttribsEnq& o) {
    const bool items = o.item1 && o.item2;
    int saved1 = 0, saved2 = 0;
    if (items) saved1 = esc(870, widget, *o.item1, *o.item2, 0, 0, 0, &saved2);
    if (o.font_name) {
        int result = 0;
        WIDFNQ(widget, 0, result, o.font_name, o.font_name_len);
    }
    static char scratch[256];
    int* attrs[11] = {o.a[0], o.a[1], o.a[2], o.a[3], o.a[4], o.a[5], o.a[6], o.a[7], o.a[8], o.a10, o.a11};
    for (int k = 0; k < 11; ++k)
        if (attrs[k]) WIDFNQ(widget, k + 1, *attrs[k], scratch, 256);
    if (items) esc(871, widget, saved1, saved2);
}

void gmEnqParagraphProp(int widget, const ParagraphEnq& o) {
    for (int code = 0; code <= 10; ++code)
        if (o.p[std::size_t(code)]) GETPAR(widget, code, *o.p[std::size_t(code)]);
    if (o.a || o.b || o.c) {
        int w = 0;
        GETPAR(widget, 11, w);
        const unsigned u = unsigned(w);  // the low bits of the word, whatever its sign
        if (o.a) *o.a = int((u / 256) % 16) * 20;
        if (o.b) *o.b = int((u / 16) % 16) * 10;
        if (o.c) *o.c = int(u % 16);
    }
}

void gmEnqPrinterProps(int, const PrinterEnq& o) {
    static char scratch[256];
    auto text_request = [&](int sub, char* out, int len) {
        std::memset(scratch, ' ', 256);
        int r1 = 0, r2 = 0;
        GUIESC(1400, sub, 0, 0, 0, 0, 0, r1, r2, scratch, 256);
        rt::fill_text(out, len, std::string_view(scratch, 256));
    };
    auto int_request = [&](int sub, int* out) {
        std::memset(scratch, ' ', 256);
        int r1 = 0, r2 = 0;
        GUIESC(1400, sub, 0, 0, 0, 0, 0, r1, r2, scratch, 256);
        *out = r1;
    };
    if (o.name1) text_request(1, o.name1, o.name1_len);
    if (o.name2) text_request(2, o.name2, o.name2_len);
    for (int arg = 3; arg <= 16; ++arg) {
        int* out = o.s[std::size_t(arg - 3)];
        if (!out) continue;
        int_request(arg <= 11 ? arg : (arg == 12 ? 11 : arg - 1), out);
    }
    if (o.s[15]) int_request(16, o.s[15]);  // argument 18
    if (o.s[14]) int_request(17, o.s[14]);  // argument 17
}

void gmEnqPropertySetting(int grid, int item, const PropertySettingEnq& o) {
    if (o.text2) {
        int r1 = 0, r2 = 0;
        GUIESC(5016, grid, item, 0, 0, 0, 0, r1, r2, o.text2, o.text2_len);
    }
    if (o.text1) {
        int r1 = 0, r2 = 0;
        GUIESC(5015, grid, item, 0, 0, 0, 0, r1, r2, o.text1, o.text1_len);
    }
    for (std::array<float, 3>* colour : {o.colour1, o.colour2}) {
        if (!colour) continue;
        (*colour)[0] = float(esc(5020, grid, item)) / 255.0f;
        (*colour)[1] = float(esc(5021, grid, item)) / 255.0f;
        (*colour)[2] = float(esc(5022, grid, item)) / 255.0f;
    }
    if (o.integer) *o.integer = esc(5024, grid, item);
    if (o.real) {
        const int entry = esc(5025, grid, item);
        if (entry != 0) {
            VALENQ(entry, *o.real);
            esc(5026, grid, item);
        }
    }
    if (o.dbl) {
        const int entry = esc(5025, grid, item);
        if (entry != 0) {
            char scratch[32];
            int status = 0;
            DVLENQ(entry, *o.dbl, scratch, 32, status);
            esc(5026, grid, item);
        }
    }
}

void gmEnqPageSetupAttribs(int widget, float& r1, float& r2, float& r3, float& r4, int& n, int* e1, int* e2) {
    int o2 = 0;
    r1 = float(esc(61, widget, 0, 0, 0, 0, 0, &o2));
    r2 = float(o2);
    r3 = float(esc(62, widget, 0, 0, 0, 0, 0, &o2));
    r4 = float(o2);
    n = esc(63, widget);
    if (e1 || e2) {
        const int a = esc(64, widget, 0, 0, 0, 0, 0, &o2);
        if (e1) *e1 = a;
        if (e2) *e2 = o2;
    }
}

int dock_code_read(int code) { return mf::recode(mf::kDockRead, code, 1); }

namespace {
// Hidden widgets read dock 0.
int dock_or_hidden(int widget, int code) {
    int state = 0;
    double d = 0.0;
    char t[1] = {' '};
    PRPENQ(widget, 29, state, d, t, 1);
    return state == -1 ? 0 : code;
}
}  // namespace

void gmEnqToolbarPos(int toolbar, int& x, int& y, int& r, int& dock) {
    esc_pair(5051, toolbar, x, y);
    int o2 = 0;
    r = esc(5052, toolbar, 0, 0, 0, 0, 0, &o2);
    dock = dock_or_hidden(toolbar, dock_code_read(o2));
}

void gmEnqPanePos(int pane, int& x, int& y, int& r1, int& r2, int& r3, int& r4, int& dock) {
    esc_pair(5051, pane, x, y);
    esc_pair(5062, pane, r1, r2);
    esc_pair(5063, pane, r3, r4);
    dock = dock_or_hidden(pane, dock_code_read(esc(5064, pane)));
}

void gmEnqPosOfPixel(int frame, int px, int py, float position[2]) {
    float xmin = 0, ymin = 0, xmax = 0, ymax = 0;
    int q1 = 0, q2 = 0, q3 = 0, q4 = 0;
    FRAENQ(frame, xmin, ymin, xmax, ymax);
    FRAPIX(frame, q1, q2, q3, q4);
    // A frame without pixel extent maps every pixel to its top left corner.
    const float dx = float((long long)px - q1), dy = float((long long)py - q2);
    position[0] = q3 != q1 ? xmin + (xmax - xmin) * dx / float((long long)q3 - q1) : xmin;
    position[1] = q4 != q2 ? ymax - (ymax - ymin) * dy / float((long long)q4 - q2) : ymax;
}

void gmEnqPixelPos(int frame, float x, float y, int pixel[2]) {
    float xmin = 0, ymin = 0, xmax = 0, ymax = 0;
    int q1 = 0, q2 = 0, q3 = 0, q4 = 0;
    FRAENQ(frame, xmin, ymin, xmax, ymax);
    FRAPIX(frame, q1, q2, q3, q4);
    // A frame without world extent maps every point to its first pixel column and last row.
    pixel[0] = xmax != xmin ? trunc_int(float(q1) + (x - xmin) * float((long long)q3 - q1) / (xmax - xmin)) : q1;
    pixel[1] = ymax != ymin ? trunc_int(float(q4) - (y - ymin) * float((long long)q4 - q2) / (ymax - ymin)) : q4;
}

void gmEnqGraphicsFrameBounds(int frame, GraphicsBounds& b) { FRAENQ(frame, b.xmin, b.ymin, b.xmax, b.ymax); }

void gmEnqGraphicsPixelBounds(int frame, PixelBounds& b) { FRAPIX(frame, b.xmin, b.ymin, b.xmax, b.ymax); }

void gmEnqActionState(ActionStateRecord& s) {
    char text[255];
    float reals[4] = {};
    int integers[4] = {};
    int count = 0;
    ACTENQ(s.callback, s.widget, s.extra, s.kind, s.x, s.y, text, 255, count, reals, integers);
    s.count = count;
    s.list1.fill(0);
    s.list2.fill(0);
    // ACTENQ's lists hold four entries; the record's second list gets the first and vice versa.
    const int n = std::min(count, 4);
    for (int k = 0; k < n; ++k) {
        s.list1[std::size_t(k)] = integers[k];
        s.list2[std::size_t(k)] = trunc_int(reals[k]);
    }
    s.text = std::string_view(text, 255);
}

int gmEnqActiveWidget() { return esc(860); }
int gmEnqActiveWindow() { return esc(861); }
int gmEnqAppDirSwitch() { return esc(877) != 0 ? 1 : 0; }

void gmEnqArrayCells(int widget, int& c1, int& r1, int& c2, int& r2) {
    esc_pair(990, widget, c1, r1);
    esc_pair(991, widget, c2, r2);
}

int gmEnqArrayGridReturnAction() { return esc(2022); }
int gmEnqBubbleHelpSwitch() { return esc(76); }

void gmEnqCalendarDate(int widget, int& d1, int& d2, int& d3, int& d4) {
    esc_pair(5002, widget, d1, d2);
    esc_pair(5003, widget, d3, d4);
}

int gmEnqClipboardStatus(int kind) {
    // 32746 stands for none: the toolkit is asked about kind 0.
    const int k = kind == 32746 ? 0 : kind;
    int result = 0;
    CLPINF(k, result);
    return result;
}

int gmEnqEntrySelectionMode() { return esc(873) == 1 ? 1 : 2; }

void gmEnqEscapeCallbacks(int& a1, int& a2, int& a3, int& a4, int& a5, int& a6) { CALLEQ(a2, a3, a4, a5, a1, a6); }
void gmEnqEscapeCallbacks_2(int& a1, int& a2, int& a3, int& a4, int& a5, int& a6) { CALLEQ(a1, a2, a3, a4, a5, a6); }

int gmEnqGaugeValue(int widget) {
    int value = 0;
    GAGENQ(widget, value);
    return value;
}

int gmEnqGuiStyle() {
    int style = 0;
    WTYENQ(style);
    return style;
}

int gmEnqKeyCallback(int key) {
    int callback = 0;
    CALLKQ(key, callback);
    return callback;
}

int gmEnqKeySelectCallback(int widget) { return esc(2711, widget); }

int gmEnqListEntry(int list, int index, char* text, int len, int* extra) {
    int result = 0;
    LISENQ(list, index, text, len, result);
    if (extra) *extra = esc(891, list, index);
    return result;
}

void gmEnqResourceImageInfo(int a1, int kind, int& a3, int& a4, int& a5, int& a6, int& a7) {
    RIMENQ(a1, kind == 2 ? 14 : kind, a3, a4, a5, a6, a7);
}

void gmEnqScrollBarPos(int widget, int& a, int& b) { SCRENQ(widget, a, b); }

void gmEnqSelectedText(int widget, char* text, int len) {
    int i = 0;
    double d = 0.0;
    PRPENQ(widget, 94, i, d, text, len);
}

void gmEnqSelectedTextRange(int widget, int& a, int& b, char* text, int len) {
    GETSEL(widget, a, b);
    if (text) gmEnqSelectedText(widget, text, len);
}

float gmEnqSliderValue(int widget) {
    float value = 0;
    SLIENQ(widget, value);
    return value;
}

void gmEnqSnapGrid(int& value) { value = esc(71); }

void gmEnqSyntaxFont(int widget, const SyntaxFontEnq& o) {
    if (o.font_name) {
        int r1 = 0, r2 = 0;
        GUIESC(987, widget, 0, 0, 0, 0, 0, r1, r2, o.font_name, o.font_name_len);
    }
    const std::pair<int*, int> fonts[] = {{o.f2, 2}, {o.f4, 4}, {o.f5, 5}, {o.f6, 6}, {o.f7, 7}};
    for (const auto& [out, code] : fonts)
        if (out) *out = esc(987, widget, code);
}

int gmEnqSystemMenu(int widget) {
    int id = 0;
    MENSYS(widget, id);
    return id;
}

void gmEnqTableBoxAttribs(int table, int column, int* width, int* w2) {
    int t1 = 0, t2 = 0;
    TABSIZ(table, column == -2147483647 - 1 ? column : column - 1, t1, t2, 1);
    if (width) *width = t1;
    if (w2) *w2 = t2;
}

void gmEnqTableBoxLabel(int table, int a, int b, char* text, int len) {
    int k = 0;
    TABENQ(table, a, b, k, text, len);
}

void gmEnqTextArray_1(int widget, int col, int row, int cols, int rows, char* texts, int elem_len) {
    TARENQ(widget, col, row, cols, rows, texts, elem_len);
}

int gmEnqTextLength(std::string_view text) {
    int width = 0;
    TEXLEN(text, width);
    return width;
}

int gmEnqTextPos(int widget, int a, OptInt b) {
    int result = 0;
    TEXPOS(widget, a, b.value_or(-1), result);
    return result;
}

void gmEnqTimerCallbacks(int& a1, int& a2, int& a3, int& a4) { CALLTQ(a2, a3, a1, a4); }
void gmEnqTimerCallbacks_2(int& a1, int& a2, int& a3, int& a4) { CALLTQ(a1, a2, a3, a4); }

void gmEnqTrackingPos(int& a, int& b) {
    esc_pair(49, 0, a, b);
}

void gmEnqTreeViewLabel(int entry, char* text, int len) { TREENQ(entry, text, len); }

int gmEnqVideoDevice(int device, char* text, int len) {
    int result = 0;
    VIDENQ(device, result, text, len);
    return result;
}

int gmEnqWidgetStatus(int widget) {
    int state = 0;
    double d = 0.0;
    char t[1] = {' '};
    PRPENQ(widget, 29, state, d, t, 1);
    return state;
}
