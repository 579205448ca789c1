// The widget module's creation procedures for the widgets inside a window: value and text
// entries, toggles, push buttons, radio boxes, list boxes, icons and graphics frames. Each
// registers what the next creation takes (sizes, type, size class, attributes, placement),
// calls the plain creation routine of its kind, returns at once when that refused (id 0), and
// otherwise applies callbacks, help, properties and status in a fixed order.
#include <string>

#include "gui_toolkit/f77gui.h"
#include "gui_toolkit/f77gui_widgets.h"
#include "gui_toolkit/frames.h"
#include "gui_toolkit/menu_f90.h"
#include "gui_toolkit/menu_f90_rules.h"

using namespace mf;

namespace mf {

int esc(int op, int p1, int p2, int p3, int p4, int p5, int p6, int* o2) {
    char scratch[2] = {' ', ' '};
    int r1 = 0, r2 = 0;
    GUIESC(op, p1, p2, p3, p4, p5, p6, r1, r2, scratch, 2);
    if (o2) *o2 = r2;
    return r1;
}

int esc_text(int op, std::string_view text, int p1, int p2, int p3, int p4, int p5, int p6, int* o2) {
    std::string t(text.empty() ? std::string_view(" ") : text);
    int r1 = 0, r2 = 0;
    GUIESC(op, p1, p2, p3, p4, p5, p6, r1, r2, t.data(), int(t.size()));
    if (o2) *o2 = r2;
    return r1;
}

const std::array<CallbackRule, 12> kCallbackRules{{
    {CbKind::Callback, 0, CALLBK, "CALLBK"},
    {CbKind::Select, 50000, CALLSL, "CALLSL"},
    {CbKind::Move, 100000, CALLMV, "CALLMV"},
    {CbKind::Expose, 150000, CALLEX, "CALLEX"},
    {CbKind::Change, 200000, CALLCH, "CALLCH"},
    {CbKind::DragDrop, 250000, DRAGDR, "DRAGDR"},
    {CbKind::DoubleClick, 300000, CALLDB, "CALLDB"},
    {CbKind::FileDrop, 350000, CALLFD, "CALLFD"},
    {CbKind::DragSelect, 400000, DRAGSL, "DRAGSL"},
    {CbKind::DragMove, 450000, DRAGMV, "DRAGMV"},
    {CbKind::ValueError, 500000, CALLVE, "CALLVE"},
    {CbKind::Link, 550000, CALLLK, "CALLLK"},
}};

namespace {
int saturate(long long v) {
    if (v > 2147483647LL) return 2147483647;
    if (v < -2147483648LL) return -2147483647 - 1;
    return int(v);
}
const CallbackRule& rule(CbKind k) {
    for (const auto& r : kCallbackRules)
        if (r.kind == k) return r;
    return kCallbackRules[0];
}
}  // namespace

int callback_number(CbKind kind, int given, int id) {
    if (given != AUTO_CALLBACK) return given;
    return saturate((long long)id + rule(kind).offset);
}

void define_callback(CbKind kind, OptInt given, int id) {
    if (!given) return;
    rule(kind).define(id, callback_number(kind, *given, id));
}

void define_callbacks(int id, std::initializer_list<CallbackArg> callbacks) {
    for (const auto& c : callbacks) define_callback(c.kind, c.given, id);
}

int justification_code(OptInt xjust, OptInt yjust) {
    return saturate((long long)xjust.value_or(-1) + 3LL * yjust.value_or(-1) + 4);
}

int entry_mode(int mode) { return recode(kEntryModes, mode); }

int justified_width(int width, OptInt option) {
    if (!option) return width;
    const int magnitude = width == -2147483647 - 1 ? 2147483647 : (width < 0 ? -width : width);
    if (*option == 1) return -magnitude;
    if (*option == 0) return magnitude;
    return width;
}

int help_mode(OptInt mode) { return mode ? recode(kHelpModes, *mode) : kDefaultHelpMode; }
int draw_mode(OptInt mode) { return mode ? recode(kDrawModes, *mode) : kDefaultDrawMode; }
int scroll_mode(OptInt mode) { return mode ? recode(kScrollModes, *mode) : kDefaultScrollMode; }
int radio_type(int type) { return recode(kRadioTypes, type); }
int icon_type(int type) { return recode(kIconTypes, type); }
int frame_type(OptInt type) { return recode(kFrameTypes, type.value_or(0)); }

void prop(int id, int code, OptInt value, std::string_view text) {
    if (value) PRPSET(id, code, *value, 0.0, text);
}

void help(int id, std::optional<std::string_view> text, OptInt mode) {
    if (text) WIDHLP(id, help_mode(mode), *text);
}

void status(int id, OptInt s) {
    if (s) WIDSTA(id, *s);
}

}  // namespace mf

namespace {

// What push buttons and icons take after their callbacks.
template <class Options>
void button_props(int id, const Options& o) {
    if (o.status_flag && *o.status_flag == 1) WIDSTA(id, 3);
    help_and_props(id, o);
    prop(id, 100, o.prop100);
    status(id, o.status);
}

// The steps a value entry takes after its plain creation routine made it.
void value_entry_after(int id, int field_width, const ValueEntryOptions& o) {
    if (o.limit1 && o.limit2 && *o.limit1 != *o.limit2) VALLIM(id, *o.limit1, *o.limit2);
    if (o.dlimit1 && o.dlimit2 && *o.dlimit1 != *o.dlimit2) VALLID(id, *o.dlimit1, *o.dlimit2);
    if (o.prefix && o.suffix)
        VALFIX(id, 3, *o.prefix, *o.suffix);
    else if (o.prefix)
        VALFIX(id, 1, *o.prefix, " ");
    else if (o.suffix)
        VALFIX(id, 2, " ", *o.suffix);
    TEXLIM(id, field_width);
    define_callbacks(id, {{CbKind::ValueError, o.value_error_callback},
                          {CbKind::DragDrop, o.dragdrop_callback},
                          {CbKind::Move, o.move_callback},
                          {CbKind::Select, o.select_callback},
                          {CbKind::Callback, o.callback}});
    help_and_props(id, o);
    prop(id, 129, o.prop129);
    status(id, o.status);
    PRPSET(id, 131, o.prop131.value_or(1), 0.0, " ");
    PRPSET(id, 103, 0, o.prop103.value_or(1.0), " ");
}

// Registrations of a value entry, then the creation (double or float form).
template <class Create>
int value_entry(int width, int height, int field_width, int mode, const ValueEntryOptions& o, Create create) {
    esc(74, o.escape74_first.value_or(0), o.escape74_second.value_or(0));
    WIDMIN(width, height);
    WIDMAX(width, height);
    VALATR(first_of(o.colour1, o.colour1_alt, 0), first_of(o.colour2, o.colour2_alt, 0), o.colour3.value_or(0),
           o.fourth.value_or(-1));
    VALTYP(first_of(o.value_type, o.value_type_alt, 0), o.value_type_option.value_or(0));
    VALSIZ(o.value_size.value_or(100));
    WIDPOS(justification_code(o.xjust, o.yjust), o.expansion.value_or(0));
    int id = 0;
    create(justified_width(field_width, o.justification), entry_mode(mode), id);
    if (id <= 0) return id;
    value_entry_after(id, field_width, o);
    return id;
}

}  // namespace

int gmCreateValueEntry(int parent, int x, int y, int width, int height, double value, int field_width,
                       int decimals, int mode, const ValueEntryOptions& o) {
    return value_entry(width, height, field_width, mode, o, [&](int fw, int m, int& id) {
        DVLENT(parent, x, y, value, fw, decimals, m, id);
    });
}

int gmCreateValueEntry(int parent, int x, int y, int width, int height, float value, int field_width,
                       int decimals, int mode, const ValueEntryOptions& o) {
    return value_entry(width, height, field_width, mode, o, [&](int fw, int m, int& id) {
        DVLENT(parent, x, y, double(value), fw, decimals, m, id);
    });
}

int gmCreateValueEntry(int parent, int x, int y, int width, int height, int value, int field_width, int decimals,
                       int mode, const ValueEntryOptions& o) {
    return value_entry(width, height, field_width, mode, o, [&](int fw, int m, int& id) {
        VALENT(parent, x, y, float(value), fw, decimals, m, id);
    });
}

int gmCreateTextEntry(int parent, int x, int y, int width, int height, std::string_view text, int limit, int mode,
                      const TextEntryOptions& o) {
    esc(74, o.escape74_first.value_or(0));
    esc(75, o.escape75_first.value_or(1), o.escape75_second.value_or(1), o.escape75_third.value_or(0));
    WIDMIN(width, height);
    WIDMAX(width, height);
    TEXATR(first_of(o.colour1, o.colour1_alt, 0), first_of(o.colour2, o.colour2_alt, 0), o.colour3.value_or(0),
           o.fourth.value_or(-1));
    TEXTYP(first_of(o.text_type, o.text_type_alt, 0), o.text_type_option.value_or(0));
    TEXSIZ(o.text_size.value_or(100));
    WIDPOS(justification_code(o.xjust, o.yjust), o.expansion.value_or(0));
    SCRMOD(0, scroll_mode(o.scroll_mode));
    int id = 0;
    TEXENT(parent, x, y, text, justified_width(limit, o.justification), entry_mode(mode), id);
    SCRMOD(0, 0);  // the scroll mode must not carry over to a later widget
    if (id <= 0) return id;
    TEXLIM(id, limit);
    define_callbacks(id, {{CbKind::Link, o.link_callback},
                          {CbKind::FileDrop, o.filedrop_callback},
                          {CbKind::DoubleClick, o.doubleclick_callback},
                          {CbKind::DragDrop, o.dragdrop_callback},
                          {CbKind::Change, o.change_callback},
                          {CbKind::Move, o.move_callback},
                          {CbKind::Select, o.select_callback},
                          {CbKind::Callback, o.callback}});
    help_and_props(id, o, text);
    prop(id, 129, o.prop129, text);
    status(id, o.status);
    PRPSET(id, 131, o.prop131.value_or(1), 0.0, text);
    return id;
}

int gmCreateToggleButton(int parent, int x, int y, int width, int height, std::string_view text, int state,
                         const ToggleButtonOptions& o) {
    int type = 0;
    if (o.toggle_type || o.toggle_type_alt) {
        type = first_of(o.toggle_type, o.toggle_type_alt, 0);
    } else {
        // Taken from the parent: a radio box's choices are radio toggles.
        int kind = 0;
        double d = 0.0;
        char t[1] = {' '};
        PRPENQ(parent, 15, kind, d, t, 1);
        type = kind == 13 ? 6 : (kind == 15 ? 7 : 0);
    }
    WIDMIN(width, height);
    WIDMAX(width, height);
    TOGATR(o.colour1.value_or(0), o.colour2.value_or(0), o.colour3.value_or(1));
    TOGTYP(type);
    TOGSIZ(o.toggle_size.value_or(100));
    WIDPOS(justification_code(o.xjust, o.yjust), o.expansion.value_or(0));
    int id = 0;
    TOGGLE(parent, x, y, state, text, id);
    if (id <= 0) return id;
    if (o.accelerator) TOGACC(id, *o.accelerator);
    define_callbacks(id, {{CbKind::DragDrop, o.dragdrop_callback},
                          {CbKind::Move, o.move_callback},
                          {CbKind::Select, o.select_callback},
                          {CbKind::Callback, o.callback}});
    help_and_props(id, o);
    status(id, o.status);
    PRPSET(id, 131, o.prop131.value_or(1), 0.0, " ");
    return id;
}

int gmCreatePushButton(int parent, int x, int y, int width, int height, std::string_view text,
                       const PushButtonOptions& o) {
    WIDMIN(width, height);
    WIDMAX(width, height);
    BUTTYP(first_of(o.button_type, o.button_type_alt, 0));
    BUTSIZ(o.button_size.value_or(100));
    BUTATR(o.attribute1.value_or(0), o.attribute2.value_or(0), o.attribute3.value_or(0));
    WIDPOS(justification_code(o.xjust, o.yjust), o.expansion.value_or(0));
    int id = 0;
    BUTTON(parent, x, y, text, o.accelerator.value_or(0), id);
    if (id <= 0) return id;
    define_callbacks(id, {{CbKind::DragMove, o.dragmove_callback},
                          {CbKind::DragSelect, o.dragselect_callback},
                          {CbKind::FileDrop, o.filedrop_callback},
                          {CbKind::DoubleClick, o.doubleclick_callback},
                          {CbKind::DragDrop, o.dragdrop_callback},
                          {CbKind::Move, o.move_callback},
                          {CbKind::Select, o.select_callback},
                          {CbKind::Callback, o.callback}});
    button_props(id, o);
    PRPSET(id, 30, o.prop30.value_or(0), 0.0, " ");
    PRPSET(id, 131, o.prop131.value_or(1), 0.0, " ");
    return id;
}

int gmCreateRadioBox(int parent, int x, int y, int width, int height, const RadioBoxOptions& o) {
    int style = 0;
    WTYENQ(style);
    WIDMIN(width, height);
    WIDMAX(width, height);
    RADTYP(radio_type(first_of(o.radio_type, o.radio_type_alt, 0)));
    PANTYP(o.panel_type.value_or(style == 1 ? 5 : 1));
    PANATR(o.colour1.value_or(0), o.colour2.value_or(1), o.colour3.value_or(0), o.colour4.value_or(0));
    if (o.title) {
        WIDTTL(1);
        WIDSTR(*o.title);
    } else {
        WIDTTL(0);
    }
    WIDPOS(justification_code(o.xjust, o.yjust), o.expansion.value_or(0));
    int id = 0;
    RADIO(parent, x, y, id);
    if (id <= 0) return id;
    define_callbacks(id, {{CbKind::DragDrop, o.dragdrop_callback},
                          {CbKind::Move, o.move_callback},
                          {CbKind::Select, o.select_callback},
                          {CbKind::Callback, o.callback}});
    help_and_props(id, o);
    status(id, o.status);
    return id;
}

int gmCreateListBox(int parent, int x, int y, int width, int height, int list_kind, const ListBoxOptions& o) {
    WIDMIN(width, height);
    if (o.max_width)
        WIDMAX(*o.max_width, height);
    else
        WIDMAX(width, height);
    LISTYP(first_of(o.type1, o.type1_alt, 0), first_of(o.type2, o.type2_alt, 0), o.type3.value_or(0));
    WIDPOS(justification_code(o.xjust, o.yjust), o.expansion.value_or(0));
    esc(111, o.escape111_first.value_or(0), o.escape111_second.value_or(0));
    int id = 0;
    LISBOX(parent, x, y, list_kind, id);
    esc(111);  // the setting must not carry over to a later list
    if (id <= 0) return id;
    define_callbacks(id, {{CbKind::FileDrop, o.filedrop_callback},
                          {CbKind::DoubleClick, o.doubleclick_callback},
                          {CbKind::DragDrop, o.dragdrop_callback},
                          {CbKind::Select, o.select_callback},
                          {CbKind::Change, o.change_callback},
                          {CbKind::Callback, o.callback}});
    status(id, o.status);
    PRPSET(id, 131, o.prop131.value_or(1), 0.0, " ");
    return id;
}

int gmCreateIcon(int parent, int x, int y, int width, int height, std::string_view icon_name, int icon1, int icon2,
                 const IconOptions& o) {
    WIDMIN(width, height);
    WIDMAX(width, height);
    ICOTYP(icon_type(first_of(o.icon_type, o.icon_type_alt, 0)));
    ICOSIZ(o.icon_size.value_or(100));
    WIDPOS(justification_code(o.xjust, o.yjust), o.expansion.value_or(0));
    int id = 0;
    if (o.button_text && icon1 == 4)
        BUTICO(parent, x, y, *o.button_text, icon_name, id);
    else
        ICODEF(parent, x, y, icon_name, icon1, icon2, id);
    if (id <= 0) return id;
    define_callbacks(id, {{CbKind::DragMove, o.dragmove_callback},
                          {CbKind::DragSelect, o.dragselect_callback},
                          {CbKind::DoubleClick, o.doubleclick_callback},
                          {CbKind::DragDrop, o.dragdrop_callback},
                          {CbKind::Move, o.move_callback},
                          {CbKind::Select, o.select_callback},
                          {CbKind::Callback, o.callback}});
    button_props(id, o);
    PRPSET(id, 131, o.prop131.value_or(1), 0.0, " ");
    return id;
}

int gmCreateGraphicsFrame(int parent, int x, int y, int width, int height, const GraphicsBounds& b,
                          const GraphicsFrameOptions& o) {
    WIDTTL(0);
    WIDMIN(width, height);
    WIDMAX(width, height);
    WIDPOS(justification_code(o.xjust, o.yjust), o.expansion.value_or(0));
    FRATYP(frame_type(o.frame_type));
    int id = 0;
    const float xrange = b.xmax - b.xmin;
    const float yrange = b.ymax - b.ymin;
    FRADEF(parent, x, y, xrange, yrange, id);
    if (id <= 0) return id;
    FRALIM(id, b.xmin, b.ymin, b.xmax, b.ymax);
    define_callbacks(id, {{CbKind::FileDrop, o.filedrop_callback},
                          {CbKind::Move, o.move_callback},
                          {CbKind::Select, o.select_callback},
                          {CbKind::Callback, o.callback},
                          {CbKind::Expose, o.expose_callback},
                          {CbKind::DragDrop, o.dragdrop_callback}});
    help_and_props(id, o);
    status(id, o.status);
    return id;
}
