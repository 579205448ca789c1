// The escape forwarder and the later-added routines that reach the library through the escape
// entry: added callbacks, drag shapes, enquiries, fonts, widget properties and the captioned
// icon button.
#include <string>

#include "gui_toolkit/f77gui_widgets.h"
#include "gui_toolkit/widget_frame.h"
#include "platform/widget_extra.h"

using namespace wf;

void GUIESC(int op, int p1, int p2, int p3, int p4, int p5, int p6, int& o1, int& o2, char* text, int len) {
    if (op <= 0) return;
    ESCAPEROUTINE(op, p1, p2, p3, p4, p5, p6, o1, o2, text, len);
}

namespace {
enum class Accept { Any, Listed, AllBut };

// A callback definition: name, master check, widget below 0 refused (26), the kind check
// (30), then the escape operation with (widget, callback).
void define(std::string_view name, int widget, int callback, Accept accept, std::span<const int> kinds, int op) {
    Op frame(name);
    if (!master()) return;
    if (widget < 0) return err(26);
    const int kind = IGETWIDGETTYPE(widget);
    const bool ok = accept == Accept::Any || (accept == Accept::Listed && wk::in(kind, kinds)) ||
                    (accept == Accept::AllBut && !wk::in(kind, kinds));
    if (!ok) return err(30);
    escape(op, widget, callback);
}
}  // namespace

void CALLLK(int widget, int callback) {
    define("gmDefineLinkCallback", widget, callback, Accept::Listed, wk::kLinkCallbackKinds, 1204);
}
void CALLVE(int widget, int callback) { define("gmDefineValueErrorCallback", widget, callback, Accept::Any, {}, 1203); }
void CALLFD(int widget, int callback) { define("gmDefineFileDropCallback", widget, callback, Accept::Any, {}, 1202); }
void CALLDB(int widget, int callback) { define("gmDefineDoubleClickCallback", widget, callback, Accept::Any, {}, 1201); }
void CALLCH(int widget, int callback) {
    define("gmDefineChangeCallback", widget, callback, Accept::Listed, wk::kChangeCallbackKinds, 1200);
}
void DRAGDR(int widget, int callback) {
    define("gmDefineDragDropCallback", widget, callback, Accept::AllBut, wk::kDragRefusedKinds, 1000);
}
void DRAGSL(int widget, int callback) {
    define("gmDefineDragSelectCallback", widget, callback, Accept::AllBut, wk::kDragRefusedKinds, 1010);
}
void DRAGMV(int widget, int callback) {
    define("gmDefineDragMoveCallback", widget, callback, Accept::Listed, wk::kDragMoveKinds, 1020);
}

void CALLTQ(int& a, int& b, int& c, int& d) {
    Op op("gmEnqTimerCallbacks");
    if (!master()) return;
    GETTIMERCALLBACKS(a, b, c, d);
}

void CALLEQ(int& a, int& b, int& c, int& d, int& e, int& f) {
    Op op("gmEnqEscapeCallbacks");
    if (!master()) return;
    GETESCAPECALLBACKS(a, b, c, d, e, f);
}

void CALLKQ(int key, int& callback) {
    Op op("gmEnqKeyCallback");
    callback = escape(2700, key);
}

void CLPINF(int format, int& status) {
    Op op("gmEnqClipboardStatus");
    status = escape(2900, format);
}

void DRGREC(int a, int b) {
    Op op("gmDefineDragRect");
    escape(1030, 0, 0, a, b);
}

void DRGPOL(int* xs, int* ys, int count) {
    Op op("gmDefineDragShape");
    Text256 t;
    int x0 = 0, y0 = 0;
    ESCAPEROUTINE(1040, count, 0, 0, 0, 0, 0, xs ? *xs : x0, ys ? *ys : y0, t.c, 256);
}

void WIDLIS(int widget, int& first, int& second) {
    Op op("gmReturnChildList");
    Text256 t;
    int o1 = 0;
    ESCAPEROUTINE(1100, widget, 0, 0, 0, 0, 0, o1, second, t.c, 256);
    first = o1;
}

void GUIFNT(int value) { escape(902, value); }

void STRNUM(char* text, int len, int& result) {
    int o1 = 0, o2 = 0;
    ESCAPEROUTINE(950, 0, 0, 0, 0, 0, 0, o1, o2, text, len);
    result = o1;
}

void WIDFNT(int widget, int attribute, int value, std::string_view font) {
    Op op("gmSetFontAttribs");
    if (!master()) return;
    if (widget < 1) return err(26);
    Text256 t(font);
    int o1 = 0, o2 = 0;
    ESCAPEROUTINE(900, widget, attribute, value, 0, 0, 0, o1, o2, t.c, 256);
}

void WIDFNQ(int widget, int attribute, int& value, char* font, int font_len) {
    Op op("gmEnqFontAttribs");
    if (!master_and_number(widget)) return;
    int o1 = 0, o2 = 0;
    ESCAPEROUTINE(901, widget, attribute, 0, 0, 0, 0, o1, o2, font, font_len);
    value = o1;
}

void PRPSET(int widget, int code, int ivalue, double dvalue, std::string_view text) {
    Op op("gmSetWidgetProp");
    if (!master_and_number(widget)) return;
    SETWIDGETPROP(widget, code, ivalue, dvalue, text, int(text.size()));
}

void PRPENQ(int widget, int code, int& ivalue, double& dvalue, char* text, int text_len) {
    Op op("gmEnqWidgetProp");
    if (!master_and_number(widget)) return;
    int i = ivalue;
    double d = dvalue;
    ENQWIDGETPROP(widget, code, i, d, text, text_len);
    ivalue = i;
    dvalue = d;
}

void BUTICO(int parent, int x, int y, std::string_view text, std::string_view icon, int& id) {
    id = 0;
    if (!creation(parent, wk::kIconButtonParents)) return;
    std::string joined(rt::trim_right(text, {.nuls = false}));
    joined += '|';
    joined += rt::trim_right(icon, {.nuls = false});
    Text256 t(joined);
    int o1 = 0, o2 = 0;
    ESCAPEROUTINE(700, parent, x, y, 0, 0, 0, o1, o2, t.c, 256);
    id = o1;
}
