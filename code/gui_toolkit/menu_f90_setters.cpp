// The widget module's setters: each supplies defaults, converts types, recodes a few values and
// forwards to one plain routine or to the escape request.
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
using mf::esc_text;

// A text copied into a scratch text of n characters (blank-padded or cut).
std::string scratch(std::string_view text, std::size_t n) {
    std::string s(n, ' ');
    std::memcpy(s.data(), text.data(), std::min(n, text.size()));
    return s;
}

// A colour component 0..1 as an integer 0..255 (multiplied by 255 and truncated).
int component(float c) {
    const float v = c * 255.0f;
    if (std::isnan(v)) return 0;
    if (v >= 2147483647.0f) return 2147483647;
    if (v <= -2147483648.0f) return -2147483647 - 1;
    return int(v);
}

int trunc_to_int(float v) {
    if (std::isnan(v)) return 0;
    if (v >= 2147483647.0f) return 2147483647;
    if (v <= -2147483648.0f) return -2147483647 - 1;
    return int(v);
}

}  // namespace

void gmSetWidgetStatus(int widget, int status) { WIDSTA(widget, status); }

void gmSetValueSetting(int widget, float value) {
    const float copy = value;  // the caller's variable is never handed on
    VALSET(widget, copy);
}

void gmSetValueSetting(int widget, int value) { VALSET(widget, float(value)); }

void gmSetValueSetting(int widget, double value) { DVLSET(widget, value); }

void gmSetToggleSwitch(int widget, int state) { TOGSET(widget, state); }

void gmSetTextSetting(int widget, std::string_view text) { TEXSET(widget, text); }

void gmSetTextSetting(int widget, std::string_view text, int mode) {
    esc(960, mode);
    TEXSET(widget, text);
    esc(960, 0);
}

void gmSetListEntry(int list, int action, const ListEntryOptions& o) {
    const int index = o.index ? *o.index : (action == 0 ? 0 : -1);
    std::string text;
    if (o.text)
        text = scratch(*o.text, 1024);
    else
        text = scratch((action == 4 || action == 5) ? "*.*" : " ", 1024);
    if (o.extra) {
        int r1 = 0, r2 = 0;
        GUIESC(890, list, index, action, *o.extra, 0, 0, r1, r2, text.data(), 1024);
    } else {
        LISSET(list, index, text, action);
    }
}

void gmSetFontAttribs(int widget, const FontAttribs& o) {
    const bool items = o.item1 && o.item2;
    int saved1 = 0, saved2 = 0;
    if (items) saved1 = esc(870, widget, *o.item1, *o.item2, 0, 0, 0, &saved2);
    if (o.font_name) WIDFNT(widget, 0, 0, *o.font_name);
    const OptInt attrs[] = {o.a1, o.a2, o.a3, o.a4, o.a5, o.a6, o.a7, o.a8, o.a9, o.a10, o.a11};
    for (int k = 0; k < 11; ++k)
        if (attrs[k]) WIDFNT(widget, k + 1, *attrs[k], " ");
    if (items) esc(871, widget, saved1, saved2);
}

void gmSetValueArray_DOUBLE(int widget, int col, int row, int cols, int rows, const double* values) {
    DVRSET(widget, col, row, cols, rows, values);
}

namespace {
// The cols x rows block of values converted element by element (empty for an empty block).
template <class To, class From>
std::vector<To> converted_block(int cols, int rows, const From* values) {
    std::vector<To> list;
    if (cols > 0 && rows > 0) {
        const std::size_t n = std::size_t(cols) * std::size_t(rows);
        list.resize(n);
        for (std::size_t k = 0; k < n; ++k) list[k] = static_cast<To>(values[k]);
    }
    return list;
}
}  // namespace

void gmSetValueArray_REAL(int widget, int col, int row, int cols, int rows, const float* values) {
    DVRSET(widget, col, row, cols, rows, converted_block<double>(cols, rows, values).data());
}

void gmSetValueArray_INTEGER(int widget, int col, int row, int cols, int rows, const int* values) {
    VARSET(widget, col, row, cols, rows, converted_block<float>(cols, rows, values).data());
}

void gmSetPropertySetting(int grid, int item, const PropertySettingOptions& o) {
    if (o.text1) esc_text(5014, *o.text1, grid, item);
    if (o.text2) esc_text(5012, *o.text2, grid, item);
    for (const auto& colour : {o.colour1, o.colour2})
        if (colour)
            esc(5019, grid, item, component((*colour)[0]), component((*colour)[1]), component((*colour)[2]));
    if (o.integer) esc(5023, grid, item, *o.integer);
    if (o.real) {
        const int entry = esc(5025, grid, item);
        if (entry != 0) {
            VALSET(entry, *o.real);
            esc(5026, grid, item);
        }
    }
    if (o.dbl) {
        const int entry = esc(5025, grid, item);
        if (entry != 0) {
            DVLSET(entry, *o.dbl);
            esc(5026, grid, item);
        }
    }
}

int paragraph_spacing_word(OptInt a, OptInt b, OptInt c) {
    // Computed wide: the magnitude of the most negative integer does not fit an int.
    auto mag = [](long long v) { return v < 0 ? -v : v; };
    const long long ap = a ? std::min(mag(*a / 20), 15LL) : 0;
    const long long bp = b ? std::min(mag(*b / 10), 15LL) : 0;
    long long cp = 5;
    if (c) cp = mag(*c) <= 10 ? mag(*c) : 5;
    return int(ap * 256 + bp * 16 + cp);
}

void gmSetParagraphProp(int widget, const ParagraphOptions& o) {
    const OptInt props[] = {o.p0, o.p1, o.p2, o.p3, o.p4, o.p5, o.p6, o.p8, o.p9, o.p10};
    const int codes[] = {0, 1, 2, 3, 4, 5, 6, 8, 9, 10};
    for (int k = 0; k < 10; ++k)
        if (props[k]) SETPAR(widget, codes[k], *props[k]);
    if (o.spacing_a || o.spacing_b || o.spacing_c)
        SETPAR(widget, 11, paragraph_spacing_word(o.spacing_a, o.spacing_b, o.spacing_c));
}

void gmSetPrinterProps(int, const PrinterOptions& o) {
    if (o.name1) esc_text(1401, *o.name1, 1);
    if (o.name2) esc_text(1401, *o.name2, 2);
    for (int arg = 3; arg <= 16; ++arg) {
        const OptInt& v = o.s[std::size_t(arg - 3)];
        if (!v) continue;
        const int sub = arg <= 11 ? arg : (arg == 12 ? 11 : arg - 1);
        esc(1401, sub, *v);
    }
}

void gmSetPageSetupAttribs(int widget, float r1, float r2, float r3, float r4, int n, OptInt e1, OptInt e2) {
    esc(60, widget, trunc_to_int(r1), trunc_to_int(r2), trunc_to_int(r3), trunc_to_int(r4), n);
    if (e1) esc(65, widget, *e1);
    if (e2) esc(66, widget, *e2);
}

void gmSetCellSetting(int array, int col, int row, const CellSettingOptions& o) {
    std::string text(256, ' ');
    const bool number = o.dbl || o.real || o.integer;
    const double value = o.dbl ? *o.dbl : (o.real ? double(*o.real) : (o.integer ? double(*o.integer) : 0.0));
    if (array > 0 && col > 0 && row > 0) {
        int attributes[12] = {};
        CELANQ(array, col, row, 12, attributes);
        const int kind = attributes[11];
        if (number && !o.text && kind == 0) CELTYP(array, col, row, 1);
        if (!number && o.text && kind == 1) CELTYP(array, col, row, 0);
    }
    // A given text is always the cell's text: a text cell never loses its text to a blank.
    if (o.text) text = scratch(*o.text, 256);
    DCLSET(array, col, row, value, text);
}

void gmSetCellAttribs(int array, int col, int row, const CellAttribs& a) {
    const int kind = a.field(12) == 32746 ? 0 : a.field(12);
    CELTYP(array, col, row, kind);
    CELSIZ(array, col, row, a.field(1), a.field(2));
    CELFRM(array, col, row, a.field(4), a.field(10), a.field(11), a.field(3));
    CELATR(array, col, row, a.field(5), a.field(6), a.field(7), a.field(8), a.field(9) == 19 ? 1 : a.field(9));
    std::string text(a.text.c, 256);
    int r1 = 0, r2 = 0;
    GUIESC(2018, array, col, row, a.field(13), a.field(14), a.field(15), r1, r2, text.data(), 256);
    GUIESC(2019, array, col, row, a.field(16), a.field(17), a.field(18), r1, r2, text.data(), 256);
    CELLIM(array, col, row, a.real(19), a.real(20), a.field(21));
}

void gmSetWidgetHelp(int widget, int kind, const WidgetHelpOptions& o) {
    static std::string help(32768, ' ');
    help = scratch(o.text ? *o.text : std::string_view(" "), 32768);
    WIDHLP(widget, kind == 31 ? 2 : kind, help);
    if (o.e4) PRPSET(widget, 98, *o.e4, 0.0, " ");
    if (o.e5) PRPSET(widget, 98, *o.e5, 0.0, " ");
    if (o.e6) PRPSET(widget, 126, *o.e6, 0.0, " ");
    help = scratch(" ", 32768);
}

void gmSetRogueValueStr(int code, int a, int b, std::string_view text) {
    VALROG(a, b, mf::recode(mf::kRogueCodes, code), text);
}

int dock_code_sent(int dock) { return mf::recode(mf::kDockSent, dock, 0); }

void gmSetToolbarPos(int toolbar, int x, int y, int r, int dock) {
    if (dock == 0) return WIDSTA(toolbar, -1);
    esc(5050, toolbar, x, y, r, dock_code_sent(dock));
}

void gmSetPanePos(int pane, int x, int y, int r1, int r2, int dock) {
    if (dock == 0) return WIDSTA(pane, -1);
    esc(5061, pane, x, y, r1, r2, dock_code_sent(dock));
}

void gmSetActiveWidget(int widget) { ACTWID(widget); }
void gmSetActiveCell(int array, int col, int row) { CELACT(array, col, row); }
void gmSetAppDirSwitch(int on) { esc(876, on != 0 ? 1 : 0); }
void gmSetArrayGridReturnAction(int action) { esc(2023, (action >= -1 && action <= 2) ? action : 2); }
void gmSetBubbleHelpSwitch(int on) { esc(77, on); }
void gmSetCalendarDate(int widget, int d1, int d2, int d3) { esc(5004, widget, d1, d2, d3); }
void gmSetCursorPos(int a, int b, int c) { esc(73, a, b, c); }
void gmSetEntrySelectionMode(int mode) { esc(872, mode == 1 ? 1 : 0); }
void gmSetGaugeValue(int widget, int value) { GAGSET(widget, value); }
void gmSetGraphicsFrameBounds(int frame, const GraphicsBounds& b) { FRALIM(frame, b.xmin, b.ymin, b.xmax, b.ymax); }

void gmSetGuiCursor(int widget, int a, int b) {
    static int s1 = 0, s2 = 0;
    WIDCUR(widget, b, a, s1, s2);
}

void gmSetProgressValue(int widget, int value) { PROSET(widget, value); }
void gmSetScrollBarPos(int widget, int a, int b) { SCRSET(widget, a, b); }
void gmSetSelectedTextRange(int widget, int a, int b) { SETSEL(widget, a, b); }
void gmSetSliderValue(int widget, float value) { SLISET(widget, value); }
void gmSetSnapGrid(int value) { esc(70, value); }
void gmSetStatusBarText(int bar, int pane, std::string_view text) { STATEX(bar, pane, text); }

void gmSetSyntaxFont(int widget, const SyntaxFontOptions& o) {
    if (o.font_name) esc_text(984, *o.font_name, widget, 0);
    const std::pair<OptInt, int> fonts[] = {{o.f2, 2}, {o.f4, 4}, {o.f5, 5}, {o.f6, 6}, {o.f7, 7}};
    for (const auto& [v, code] : fonts)
        if (v) esc(984, widget, code, *v);
}

void gmSetSyntaxHighlighting(int widget, int on, OptInt kind) {
    if (kind) esc(982, widget, *kind);
    esc(980, widget, on);
}

void gmSetTableBoxAttribs(int table, int column, OptInt width) {
    int first = width.value_or(0), second = 0;
    TABSIZ(table, column == -2147483647 - 1 ? column : column - 1, first, second, 0);
}

void gmSetTableBoxLabel(int table, int a, int b, std::string_view text) { TABSET(table, a, b, 2, text); }

void gmSetTextArray_1(int widget, int col, int row, int cols, int rows, const char* texts, int elem_len) {
    TARSET(widget, col, row, cols, rows, texts, elem_len);
}

void gmSetTextPanes(int widget, int a, int b) { STAPAN(widget, a, b); }
void gmSetTextRuler(int widget, int value) { esc(362, widget, value); }
void gmSetTrackingPos(int a, int b) { esc(50, a, b); }
void gmSetTreeViewLabel(int entry, std::string_view text) { TRESET(entry, text); }
