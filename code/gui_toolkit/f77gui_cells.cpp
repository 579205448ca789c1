// Bodies behind the operations on text and value arrays (cells, value limits, rows and
// columns, array-wide settings), table list boxes, video capture frames, the MDI action, the
// track bar, and the retired routines of the layer, which only report that they are deprecated
// or no longer available.
#include <array>
#include <string>

#include "gui_toolkit/f77gui_widgets.h"
#include "gui_toolkit/widget_frame.h"
#include "platform/widget_extra.h"
#include "platform/widget_more.h"

using namespace wf;

namespace {
// No master check: array <= 0: 26; not an array: 63.
bool cell_checks(int array) {
    if (array <= 0) {
        err(26);
        return false;
    }
    if (IGETWIDGETTYPE(array) != wl::KIND_TEXTARRAY) {
        err(63);
        return false;
    }
    return true;
}

// A private text of at least 256 characters holding s whole (a file name is never cut).
std::string private_text(std::string_view s) {
    std::string t(s);
    if (t.size() < 256) t.resize(256, ' ');
    return t;
}

// Parents of table list boxes, and of video frames and track bars.
constexpr std::array kTableBoxParents{0, 2, 15, 48};
constexpr std::array kVideoParents{0, 2, 15};

bool table_checks(int box) { return widget_of_kind(box, wl::KIND_TABLE, 68); }
bool video_checks(int frame) { return widget_of_kind(frame, wl::KIND_VIDEO, 69); }

// A retired routine: its own name, one error, nothing else.
void retired(std::string_view name, int error) {
    Op op(name);
    err(error);
}
}  // namespace

void CELTYP(int array, int col, int row, int type) {
    if (!cell_checks(array)) return;
    GASETCELLTYPE(array, col, row, type, 0);
}

void CELSIZ(int array, int col, int row, int a, int b) {
    if (!cell_checks(array)) return;
    GASETCELLSIZE(array, col, row, a, b);
}

void DCLSET(int array, int col, int row, double value, std::string_view text) {
    Op op("gmSetCellSetting");
    if (!cell_checks(array)) return;
    GASETCELLVALUE(array, col, row, value, text, int(text.size()));
}

void CELSET(int array, int col, int row, float value, std::string_view text) {
    Op op("gmSetCellSetting");
    if (!cell_checks(array)) return;
    GASETCELLVALUE(array, col, row, double(value), text, int(text.size()));
}

void CELFRM(int array, int col, int row, int f1, int f2, int f3, int f4) {
    if (!cell_checks(array)) return;
    char t[80];
    std::memset(t, ' ', sizeof t);
    int o1 = 0, o2 = 0;
    ESCAPEROUTINE(2011, array, col, row, f2, f3, f1, o1, o2, t, 80);
    ESCAPEROUTINE(2012, array, col, row, f4, 0, 0, o1, o2, t, 80);
}

void DCLENQ(int array, int col, int row, double& value, char* text, int text_len) {
    Op op("gmEnqCellSetting");
    if (!cell_checks(array)) return;
    Text256 t;
    double v = 0.0;
    GAGETCELLVALUE(array, col, row, v, t.c, 256);
    value = v;
    rt::fill_text(text, text_len, std::string_view(t.c, 256));
}

void CELENQ(int array, int col, int row, float& value, char* text, int text_len) {
    Op op("gmEnqCellSetting");
    if (!cell_checks(array)) return;
    Text256 t;
    double v = 0.0;
    GAGETCELLVALUE(array, col, row, v, t.c, 256);
    value = narrow(v);
    rt::fill_text(text, text_len, std::string_view(t.c, 256));
}

void CELATR(int array, int col, int row, int a, int b, int c, int d, int e) {
    Op op("gmSetCellAttribs");
    if (!cell_checks(array)) return;
    GASETCELLATTR(array, col, row, a, b, c, d, e);
}

void CELANQ(int array, int col, int row, int count, int* values) {
    Op op("gmEnqCellAttribs");
    for (int k = 0; k < count; ++k) values[k] = 0;
    if (!cell_checks(array)) return;
    if (col <= 0 || row <= 0) return err(35);
    GACELLATTRENQUIRY(array, col, row, count, values);
}

void CELACT(int array, int col, int row) {
    Op op("gmSetActiveCell");
    if (!cell_checks(array)) return;
    GAMOVESHEETENTRY(array, col, row);
}

void CELLIM(int array, int col, int row, float limit1, float limit2, int third) {
    Op op("gmSetCellAttribs");
    if (!master()) return;
    if (!cell_checks(array)) return;
    SETCELLVALUELIMITS(array, col, row, limit1 < limit2 ? limit1 : limit2, limit1 < limit2 ? limit2 : limit1, third);
}

void CELLIQ(int array, int col, int row, float& lower, float& upper, int& third) {
    Op op("gmEnqCellAttribs");
    lower = 0;
    upper = 0;
    third = 0;
    if (gm_no_master() || array <= 0 || IGETWIDGETTYPE(array) != wl::KIND_TEXTARRAY || col <= 0 || row <= 0) return;
    GETCELLVALUELIMITS(array, col, row, lower, upper, third);
}

void TABSET(int box, int a, int b, int c, std::string_view label) {
    Op op("gmSetTableBoxLabel");
    if (!table_checks(box)) return;
    std::string t = private_text(label);
    int o1 = 0, o2 = 0;
    ESCAPEROUTINE(203, box, a, b, c, 0, 0, o1, o2, t.data(), int(t.size()));
}

void TABENQ(int box, int a, int b, int& value, char* label, int label_len) {
    Op op("gmEnqTableBoxLabel");
    if (!table_checks(box)) return;
    std::string t = private_text(std::string_view(label, label_len > 0 ? std::size_t(label_len) : 0));
    int o1 = 0, o2 = 0;
    ESCAPEROUTINE(204, box, a, b, 0, 0, 0, o1, o2, t.data(), int(t.size()));
    value = o1;
    rt::fill_text(label, label_len, t);
}

void TABSIZ(int box, int attribute, int& first, int& second, int flag) {
    Op op("gmEnqTableBoxAttribs");
    if (!table_checks(box)) return;
    Text256 t;
    int o1 = first, o2 = 0;
    ESCAPEROUTINE(205, box, attribute, flag, 0, 0, 0, o1, o2, t.c, 256);
    if (flag == 1) {
        first = o1;
        second = o2;
    }
}

void VIDENQ(int device, int& result, char* name, int name_len) {
    Op op("gmEnqVideoDevice");
    int o1 = 0, o2 = 0;
    ESCAPEROUTINE(806, device, 0, 0, 0, 0, 0, o1, o2, name, name_len);
    result = o1;
}

// ---- array rows and columns, array-wide settings ----

void ADDROW(int array, int row) {
    Op op("gmAddArrayRow");
    if (cell_checks(array)) escape(2000, array, row, 1);
}

void ADDCOL(int array, int col) {
    Op op("gmAddArrayColumn");
    if (cell_checks(array)) escape(2001, array, col, 1);
}

void REMROW(int array, int row) {
    Op op("gmRemoveArrayRow");
    if (cell_checks(array)) escape(2002, array, row, 1);
}

void REMCOL(int array, int col) {
    Op op("gmRemoveArrayColumn");
    if (cell_checks(array)) escape(2003, array, col, 1);
}

void ARRENQ(int array, int attribute, int& value) {
    Op op("gmEnqArrayAttribs");
    value = 0;
    if (cell_checks(array)) value = escape(2010, array, attribute);
}

void ARRSEL(int a, int b, int c, int d, int e) {
    Op op("gmSelectArrayCells");
    GASELECTARRAYAREA(a, b, c, d, e);
}

void ARRATR(int a1, int a2, int a3, int a4, std::string_view label1, std::string_view label2) {
    Op op("gmSetArrayAttribs");
    GASETGRIDATTR(a1, a2, a3, a4, label1, label2, int(label1.size()), int(label2.size()));
}

void ARRACM(int a, int b, int c) {
    Op op("gmDefineArrayAction");
    GAARRAYACTIONMODE(a, b, c);
}

// ---- table list boxes ----

void TABBOX(int parent, int x, int y, int& id) {
    Op op("gmCreateTableBox");
    id = 0;
    if (!creation(parent, kTableBoxParents)) return;
    id = escape(200, parent, x, y);
}

void TABCOL(int box, int a, int b, int c, std::string_view label) {
    Op op("gmAddTableBoxColumn");
    if (!table_checks(box)) return;
    std::string t = private_text(label);
    int o1 = 0, o2 = 0;
    ESCAPEROUTINE(201, box, a, b, c, 0, 0, o1, o2, t.data(), int(t.size()));
}

void TABENT(int box, int a, std::string_view text) {
    Op op("gmAddTableBoxEntry");
    if (!table_checks(box)) return;
    std::string t = private_text(text);
    int o1 = 0, o2 = 0;
    ESCAPEROUTINE(202, box, a, 0, 0, 0, 0, o1, o2, t.data(), int(t.size()));
}

// ---- video capture frames ----

void VIDCAP(int parent, int a, int b, int c, int& id) {
    Op op("gmCreateVideoFrame");
    id = 0;
    if (!creation(parent, kVideoParents)) return;
    id = escape(800, parent, a, b, c);
}

void VIDGET(int frame) {
    Op op("gmCaptureVideo");
    if (video_checks(frame)) escape(801, frame);
}

void VIDSAV(int frame, std::string_view file) {
    Op op("gmSaveVideo");
    if (!video_checks(frame)) return;
    std::string t = private_text(file);
    int o1 = 0, o2 = 0;
    ESCAPEROUTINE(802, frame, 0, 0, 0, 0, 0, o1, o2, t.data(), int(t.size()));
}

void VIDDIA(int frame, int dialogue) {
    Op op("gmDisplayVideoDialogue");
    if (video_checks(frame)) escape(803, frame, dialogue);
}

void VIDCON(int frame) {
    Op op("gmConnectVideoFrame");
    if (video_checks(frame)) escape(804, frame);
}

void VIDDIS(int frame) {
    Op op("gmDisconnectVideoFrame");
    if (video_checks(frame)) escape(805, frame);
}

// ---- MDI action, track bar ----

void MDIACT(int window, int a, int b) {
    Op op("gmMDIAction");
    if (!master_and_number(window)) return;
    if (!(window == 1 && IGETWIDGETTYPE(2) == wl::KIND_MDI)) return err(65);
    escape(600, window, a, b);
}

void TRABAR(int parent, int a, int b, int c, int d, int e, int& id) {
    Op op("TRABAR");
    id = 0;
    if (!creation(parent, kVideoParents)) return;
    id = escape(300, parent, a, b, c, d, e);
}

// ---- retired routines ----

void IMGPAT(int, std::string_view, int, int) { retired("IMGPAT", 55); }
void ICOPAT(int, std::string_view, int, int) { retired("ICOPAT", 55); }
void GUICOL(const int*) { retired("GUICOL", 55); }
void BORWID(int) { retired("BORWID", 55); }
void ACTMOD(int) { retired("ACTMOD", 55); }
void ACCATR(int, int, int) { retired("ACCATR", 55); }
void GCOENQ(int*) { retired("GCOENQ", 55); }
void BORENQ(int&) { retired("BORENQ", 55); }
void ACMENQ(int&) { retired("ACMENQ", 55); }
void ACCENQ(int&, int&, int&) { retired("ACCENQ", 55); }
void GUIRES() { retired("GUIRES", 61); }
void GUICDE() { retired("GUICDE", 61); }
