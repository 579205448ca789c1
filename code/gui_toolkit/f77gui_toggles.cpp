// Plain routines for toggle buttons, radio boxes, sliders, scroll positions, panels and tab
// boxes, status bars, toolbars, tree views, icon gauges and progress bars.
//
// A slider keeps an integer position 0..10000 over its range with its scale
// (100 / (maximum - minimum)), minimum and increment in position units.
#include <cmath>

#include "gui_toolkit/f77gui_widgets.h"
#include "gui_toolkit/widget_frame.h"
#include "platform/widget_extra.h"

using namespace wf;

void TOGTYP(int type) {
    if (type < 0 || type > 7) return err(33);
    REGTOGGLETYPE(type);
}

void TOGSIZ(int size) { REGTOGGLESIZE(size); }

void TOGATR(int c1, int c2, int c3) {
    if (c1 < 0 || c2 < 0 || c3 < 0) return err(19);
    REGTOGGLEATTR(c1, c2, c3);
}

void RADTYP(int type) {
    if (type < 0 || type > 2) return err(33);
    REGRADIOTYPE(type);
}

void SLITYP(int type) {
    if (type < 0 || type > 3) return err(33);
    REGSLIDERTYPE(type);
}

void SLISIZ(int size) {
    if (size < 50 || size > 100) return err(34);
    REGSLIDERSIZE(size);
}

void SLIATR(int c1, int c2, int c3) {
    if (c1 < 0 || c2 < 0 || c3 < 0) return err(19);
    REGSLIDERATTR(c3);
}

void PANTYP(int type) {
    if (!((type >= 0 && type <= 7) || type >= 99)) return err(33);
    REGPANELTYPE(type);
}

void PANATR(int c1, int c2, int c3, int c4) {
    if (c1 < 0 || c2 < 0 || c3 < 0 || c4 < 0) return err(19);
    REGPANELATTR(c1, c2, c3, c4);
}

void TOGGLE(int parent, int x, int y, int state, std::string_view text, int& id) {
    Op op("gmCreateToggleButton");
    id = 0;
    if (!creation(parent, wk::kToggleParents)) return;
    const int len = int(text.size());
    if (IGETWIDGETTYPE(parent) == wl::KIND_RADIO)
        ADDRADIO(parent, x, y, text, 0, id, len);
    else
        ADDTOGGLE(parent, 0, text, 0, x, y, id, len);
    if (id > 0) SETTOGGLE(id, state);  // a toggle the library did not make has no state to set
}

void RADIO(int parent, int x, int y, int& id) {
    Op op("gmCreateRadioBox");
    id = 0;
    if (!creation(parent, wk::kRadioParents)) return;
    ADDRADIOBOX(parent, x, y, id);
}

void SLIDER(int parent, int x, int y, float minimum, float maximum, float increment, float value, int& id) {
    Op op("gmCreateSlider");
    id = 0;
    if (!creation(parent, wk::kSliderParents)) return;
    // A slider needs a range: an empty or unusable one would give an infinite scale.
    const float range = maximum - minimum;
    if (!(range != 0.0f) || !std::isfinite(range)) return err(13);
    ADDSLIDER(parent, 0, x, y, id);
    const float scale = 100.0f / range;
    const int position = trunc_int(std::trunc((value - minimum) * scale)) ;
    const long long pos100 = (long long)position * 100;
    const int stored = pos100 > 2147483647LL ? 2147483647 : (pos100 < -2147483648LL ? -2147483647 - 1 : int(pos100));
    SETSLIDER(id, stored, scale, minimum, increment * scale * 100.0f);
}

void PANEL(int parent, int x, int y, int& id) {
    Op op("gmCreatePanel");
    id = 0;
    if (!creation(parent, {}, {.kind = false})) return;
    ADDPANELBOX(parent, x, y, id);
}

void PANMAS(int parent, int x, int y, int& id) {
    Op op("gmCreateTabDialogueBox");
    id = 0;
    if (!creation(parent, wk::kTabBoxParents)) return;
    ADDPANELMASTER(parent, x, y, id);
}

void STABAR(int window, int type, int& id) {
    Op op("gmCreateStatusBar");
    id = 0;
    if (!creation(window, wk::kStatusBarWindows)) return;
    ADDSTATUSBAR(window, type, id);
    (void)IGETWIDGETTYPE(id);
}

void TOLBAR(int window, int a, int b, int& id) {
    Op op("gmCreateToolBar");
    id = 0;
    if (!creation(window, wk::kToolBarWindows, {.placement = false})) return;
    ADDTOOLBAR(window, a, b, id);
    (void)IGETWIDGETTYPE(id);
}

namespace {
bool toolbar_checks(int toolbar) { return widget_of_kind(toolbar, wl::KIND_TOOLBAR, 7); }
}  // namespace

void TOLBUT(int toolbar, int a, std::string_view text, int& id) {
    Op op("gmCreateToolBarButton");
    id = 0;
    if (!toolbar_checks(toolbar)) return;
    ADDTOOLBUTTON(toolbar, a, id, text, int(text.size()));
}

void TOLSEP(int toolbar, int& id) {
    Op op("gmCreateToolBarSeparator");
    id = 0;
    if (!toolbar_checks(toolbar)) return;
    ADDTOOLSEPARATOR(toolbar, id);
}

void TREBOX(int parent, int a, int b, int c, int& id) {
    Op op("gmCreateTreeViewBox");
    id = 0;
    if (!creation(parent, wk::kTreeBoxParents, {.number = false})) return;
    ADDTREEBOX(parent, a, b, c, id);
}

void TREENT(int parent, int a, std::string_view text, int& id) {
    Op op("gmCreateTreeEntry");
    id = 0;
    if (!master()) return;
    if (!wk::in(IGETWIDGETTYPE(parent), wk::kTreeEntryParents)) return err(7);
    ADDTREEENTRY(parent, a, text, id, int(text.size()));
}

void GAUGE(int parent, int a, int b, int c, std::string_view text, int& id) {
    Op op("gmCreateGauge");
    id = 0;
    if (!creation(parent, wk::kGaugeParents)) return;
    Text256 t(text);
    int o1 = 0, o2 = 0;
    ESCAPEROUTINE(350, parent, a, b, c, 0, 0, o1, o2, t.c, 256);
    id = o1;
}

void PROBAR(int parent, int a, int b, int c, int& id) {
    Op op("gmCreateProgressBar");
    id = 0;
    if (!creation(parent, wk::kGaugeParents)) return;
    id = escape(100, parent, a, b, c);
}

namespace {
bool toggle_checks(int widget) { return widget_of_kind(widget, wl::KIND_TOGGLE, 21); }
}  // namespace

void TOGSET(int widget, int state) {
    Op op("gmSetToggleSwitch");
    if (!toggle_checks(widget)) return;
    if (state < 0 || state > 1) return err(35);
    SETTOGGLE(widget, state);
}

void TOGENQ(int widget, int& state) {
    Op op("gmEnqToggleSwitch");
    if (!toggle_checks(widget)) return;
    GETTOGGLE(widget, state);
}

void TOGACC(int widget, int accelerator) {
    if (!toggle_checks(widget)) return;
    SETTOGGLEACCEL(widget, accelerator);
}

void SLISET(int slider, float value) {
    Op op("gmSetSliderValue");
    if (!master()) return;
    if (slider < 1) return err(26);
    int position = 0;
    float scale = 0, minimum = 0, increment = 0;
    GETSLIDER(slider, position, scale, minimum, increment);
    position = trunc_int(std::trunc((value - minimum) * scale * 100.0f));
    SETSLIDER(slider, position, scale, minimum, increment);
}

void SLIENQ(int slider, float& value) {
    Op op("gmEnqSliderValue");
    if (!master_and_number(slider)) return;
    int position = 0;
    float scale = 0, minimum = 0, increment = 0;
    GETSLIDER(slider, position, scale, minimum, increment);
    value = float(position) / scale / 100.0f + minimum;
}

void SCRSET(int widget, int a, int b) {
    Op op("gmSetScrollBarPos");
    const int kind = IGETWIDGETTYPE(widget);
    if (kind == 17 || kind == 19)
        SCROLLBARSET(widget, a, b);
    else if (kind == wl::KIND_TEXTARRAY)
        GASCROLLBARSET(widget, a, b);
}

void SCRENQ(int widget, int& a, int& b) {
    Op op("gmEnqScrollBarPos");
    const int kind = IGETWIDGETTYPE(widget);
    if (kind == 17 || kind == 19)
        SCROLLBARENQ(widget, a, b);
    else if (kind == wl::KIND_TEXTARRAY)
        GASCROLLBARENQ(widget, a, b);
}

void PANIMG(int panel, int a, std::string_view image) {
    if (!master_and_number(panel)) return;
    if (!wk::in(IGETWIDGETTYPE(panel), wk::kPanelImageKinds)) return err(7);
    REGPANELIMAGE(panel, a, image, int(image.size()));
}

void STATEX(int bar, int pane, std::string_view text) {
    Op op("gmSetStatusBarText");
    SETSTATUSTEXT(bar, pane, text, int(text.size()));
}

void STAPAN(int bar, int a, int b) {
    Op op("gmSetTextPanes");
    ADDSTATUSPANES(bar, a, b);
}

void TRESET(int entry, std::string_view text) {
    Op op("gmSetTreeViewLabel");
    if (!master()) return;
    SETTREEENTRY(entry, text, int(text.size()));
}

void TREENQ(int entry, char* text, int text_len) {
    Op op("gmEnqTreeViewLabel");
    if (!master()) return;
    GETTREEENTRY(entry, text, text_len);
}

void TREACT(int widget, int action) {
    Op op("gmTreeViewAction");
    if (!master()) return;
    if (!wk::in(IGETWIDGETTYPE(widget), wk::kTreeEntryParents)) return err(7);
    TREEACTION(widget, action);
}

namespace {
bool gauge_checks(int gauge) { return widget_of_kind(gauge, wl::KIND_GAUGE, 64); }
bool bar_checks(int bar, bool zero_allowed) {
    if (!master()) return false;
    if (bar < 0 || (bar == 0 && !zero_allowed)) {
        err(26);
        return false;
    }
    if (IGETWIDGETTYPE(bar) != wl::KIND_PROGRESS) {
        err(66);
        return false;
    }
    return true;
}
}  // namespace

void GAGTYP(int gauge, int a, int b, int c) {
    if (!master()) return;
    if (gauge < 0) return err(26);
    if (gauge != 0 && IGETWIDGETTYPE(gauge) != wl::KIND_GAUGE) return err(64);
    escape(351, gauge, a, b, c);
}

void GAGSET(int gauge, int value) {
    Op op("gmSetGaugeValue");
    if (!gauge_checks(gauge)) return;
    escape(353, gauge, value);
}

void GAGLIM(int gauge, int a, int b) {
    if (!gauge_checks(gauge)) return;
    escape(354, gauge, a, b);
}

void GAGENQ(int gauge, int& value) {
    Op op("gmEnqGaugeValue");
    if (!gauge_checks(gauge)) return;
    value = escape(352, gauge);
}

void PROSET(int bar, int value) {
    Op op("gmSetProgressValue");
    if (!bar_checks(bar, true)) return;
    escape(102, bar, value);
}

void PROLIM(int bar, int a, int b) {
    if (!bar_checks(bar, false)) return;
    escape(101, bar, a, b);
}
