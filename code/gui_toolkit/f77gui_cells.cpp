// Bodies behind the cell operations of text and value arrays, the table-box label and size
// operations and the video-device enquiry, as far as the widget module's setters and enquiries
// forward to them.
#include <string>

#include "gui_toolkit/f77gui_widgets.h"
#include "gui_toolkit/widget_frame.h"
#include "platform/widget_extra.h"

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

bool table_checks(int box) {
    if (!master_and_number(box)) return false;
    if (IGETWIDGETTYPE(box) != wl::KIND_TABLE) {
        err(68);
        return false;
    }
    return true;
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
    fill(text, text_len, std::string_view(t.c, 256));
}

void CELENQ(int array, int col, int row, float& value, char* text, int text_len) {
    Op op("gmEnqCellSetting");
    if (!cell_checks(array)) return;
    Text256 t;
    double v = 0.0;
    GAGETCELLVALUE(array, col, row, v, t.c, 256);
    value = narrow(v);
    fill(text, text_len, std::string_view(t.c, 256));
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
    Text256 t(label);
    int o1 = 0, o2 = 0;
    ESCAPEROUTINE(203, box, a, b, c, 0, 0, o1, o2, t.c, 256);
}

void TABENQ(int box, int a, int b, int& value, char* label, int label_len) {
    Op op("gmEnqTableBoxLabel");
    if (!table_checks(box)) return;
    Text256 t(std::string_view(label, label_len > 0 ? std::size_t(label_len) : 0));
    int o1 = 0, o2 = 0;
    ESCAPEROUTINE(204, box, a, b, 0, 0, 0, o1, o2, t.c, 256);
    value = o1;
    fill(label, label_len, std::string_view(t.c, 256));
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
