// Entries of our widget library for the individual widget kinds, acting on the model and on the
// table of what a widget holds beyond the model's Widget.
#include "platform/widget_extra.h"

#include <fnmatch.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/wingui.h"

namespace wl {
namespace {

std::map<int, WidgetExtra>& extras() {
    static std::map<int, WidgetExtra> t;
    return t;
}

void mark(int id, unsigned what) { model().mark(id, what); }

void set_cb(int widget, Cb kind, int callback) {
    if (Widget* w = model().find(widget)) {
        if (callback == 0)
            w->callbacks.erase(kind);
        else
            w->callbacks[kind] = callback;
    }
}

Cell& cell(int array, int col, int row) { return extra(array).cells[{col, row}]; }

// Adds the names in the current directory that match pattern (files, or directories).
void add_listing(Widget& w, const std::string& pattern, bool directories) {
    namespace fs = std::filesystem;
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(fs::current_path(ec), ec), end; !ec && it != end; it.increment(ec)) {
        const bool dir = it->is_directory(ec);
        if (dir != directories) continue;
        const std::string name = it->path().filename().string();
        if (::fnmatch(pattern.c_str(), name.c_str(), 0) == 0) names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    w.items.insert(w.items.end(), names.begin(), names.end());
}

}  // namespace

void install_extra_escapes() {
    // Text limit of a text or value entry.
    set_escape_handler(912, Coverage::Done, "text limit of a text or value entry",
                       [](int, const int(&p)[6], int&, int&, char*, int) {
                           extra(p[0]).text_limit = p[1];
                           mark(p[0], CHANGED_LOOKS);
                       });
    // Selection of an editor.
    set_escape_handler(903, Coverage::Kept, "selection of an editor",
                       [](int, const int(&p)[6], int&, int&, char*, int) {
        extra(p[0]).selection_first = p[1];
        extra(p[0]).selection_last = p[2];
    });
    set_escape_handler(904, Coverage::Kept, "answers the selection of an editor as set",
                       [](int, const int(&p)[6], int& o1, int& o2, char*, int) {
        const WidgetExtra* x = find_extra(p[0]);
        o1 = x ? x->selection_first : 0;
        o2 = x ? x->selection_last : 0;
    });
    // Paragraph properties.
    set_escape_handler(906, Coverage::Kept, "paragraph property of an editor",
                       [](int, const int(&p)[6], int&, int&, char*, int) { extra(p[0]).paragraph[p[1]] = p[2]; });
    set_escape_handler(905, Coverage::Kept, "answers a paragraph property as set",
                       [](int, const int(&p)[6], int& o1, int&, char*, int) {
        o1 = 0;
        if (const WidgetExtra* x = find_extra(p[0])) {
            auto it = x->paragraph.find(p[1]);
            if (it != x->paragraph.end()) o1 = it->second;
        }
    });
    // Fonts: attribute 0 is the font name (the text), others a value.
    set_escape_handler(900, Coverage::Kept,
                       "font name and attributes of a widget; only the size (attribute 1) of a value entry is shown",
                       [](int, const int(&p)[6], int&, int&, char* text, int len) {
        WidgetExtra& x = extra(p[0]);
        if (p[1] == 0)
            x.font_name = rtrim(std::string_view(text ? text : "", text ? std::size_t(std::max(len, 0)) : 0));
        else
            x.font[p[1]] = p[2];
        mark(p[0], CHANGED_LOOKS);
    });
    set_escape_handler(901, Coverage::Kept, "answers a font name or attribute as set",
                       [](int, const int(&p)[6], int& o1, int&, char* text, int len) {
        const WidgetExtra* x = find_extra(p[0]);
        o1 = 0;
        if (p[1] == 0) {
            rt::fill_text(text, len, x ? x->font_name : std::string());
        } else if (x) {
            auto it = x->font.find(p[1]);
            if (it != x->font.end()) o1 = it->second;
        }
    });
    // List entry with an extra value: as LISTBOXSET.
    set_escape_handler(890, Coverage::Done, "list entry with an extra value, as LISTBOXSET",
                       [](int, const int(&p)[6], int&, int&, char* text, int len) {
        LISTBOXSET(p[0], p[1], p[2], std::string_view(text ? text : "", text ? std::size_t(std::max(len, 0)) : 0), len);
    });
    // Fixed texts of a value entry: "prefix|suffix" with flag 1 prefix, 2 suffix, 3 both.
    set_escape_handler(2600, Coverage::Kept, "prefix and suffix texts of a value entry",
                       [](int, const int(&p)[6], int&, int&, char* text, int len) {
        const std::string t = rtrim(std::string_view(text ? text : "", text ? std::size_t(std::max(len, 0)) : 0));
        const auto bar = t.find('|');
        const std::string pre = t.substr(0, bar);
        const std::string suf = bar == std::string::npos ? std::string() : t.substr(bar + 1);
        WidgetExtra& x = extra(p[0]);
        x.prefix = (p[1] == 1 || p[1] == 3) ? rtrim(pre) : std::string();
        x.suffix = (p[1] == 2 || p[1] == 3) ? rtrim(suf) : std::string();
        mark(p[0], CHANGED_LOOKS);
    });
    // Added callbacks: (widget, callback).
    const std::pair<int, Cb> callbacks[] = {{1200, Cb::Change},    {1201, Cb::DoubleClick}, {1202, Cb::FileDrop},
                                            {1203, Cb::ValueError}, {1204, Cb::Link},        {1000, Cb::DragDrop},
                                            {1010, Cb::DragSelect}, {1020, Cb::DragMove},    {2710, Cb::KeySelect}};
    for (const auto& [op, kind] : callbacks) {
        const Cb k = kind;
        // Of the added callbacks only the value error is delivered (the FLTK value entry).
        const Coverage c = k == Cb::ValueError ? Coverage::Done : Coverage::Kept;
        set_escape_handler(op, c, "defines a callback (widget p1, callback p2)",
                           [k](int, const int(&p)[6], int&, int&, char*, int) { set_cb(p[0], k, p[1]); });
    }
    // Key callback enquiry.
    set_escape_handler(2700, Coverage::Done, "answers the key callback of a key",
                       [](int, const int(&p)[6], int& o1, int&, char*, int) {
        auto& hk = model().hotkeys;
        auto it = hk.find(p[0]);
        o1 = it == hk.end() ? 0 : it->second;
    });
    // Active widget and window.
    set_escape_handler(860, Coverage::Done, "answers the widget made active (the keyboard focus itself is not moved)",
                       [](int, const int(&)[6], int& o1, int&, char*, int) { o1 = model().focus; });
    set_escape_handler(861, Coverage::Done, "answers the window made active",
                       [](int, const int(&)[6], int& o1, int&, char*, int) { o1 = model().active_window; });
    // Child list: the number of children.
    set_escape_handler(1100, Coverage::Done, "answers the number of children of a widget",
                       [](int, const int(&p)[6], int& o1, int&, char*, int) {
        o1 = 0;
        for (const auto& [id, w] : model().widgets)
            if (w.parent == p[0] && id != p[0]) ++o1;
    });
    // Number in a text.
    set_escape_handler(950, Coverage::Done, "answers the number a text holds",
                       [](int, const int(&)[6], int& o1, int&, char* text, int len) {
        const std::string t = rtrim(std::string_view(text ? text : "", text ? std::size_t(std::max(len, 0)) : 0));
        o1 = 0;
        std::istringstream in(t);
        long long v = 0;
        if (in >> v && v >= -2147483647LL - 1 && v <= 2147483647LL) o1 = int(v);
    });
    // Gauges.
    set_escape_handler(350, Coverage::Kept, "creates a gauge",
                       [](int, const int(&p)[6], int& o1, int&, char* text, int len) {
        o1 = model().create(KIND_GAUGE, p[0], p[1], p[2]);
        model().find(o1)->caption = rtrim(std::string_view(text ? text : "", text ? std::size_t(std::max(len, 0)) : 0));
    });
    set_escape_handler(352, Coverage::Kept, "answers the value of a gauge",
                       [](int, const int(&p)[6], int& o1, int&, char*, int) {
        const WidgetExtra* x = find_extra(p[0]);
        o1 = x ? x->gauge_value : 0;
    });
    set_escape_handler(353, Coverage::Kept, "value of a gauge", [](int, const int(&p)[6], int&, int&, char*, int) {
        extra(p[0]).gauge_value = p[1];
        mark(p[0], CHANGED_VALUE);
    });
    set_escape_handler(354, Coverage::Kept, "range of a gauge", [](int, const int(&p)[6], int&, int&, char*, int) {
        extra(p[0]).gauge_low = p[1];
        extra(p[0]).gauge_high = p[2];
    });
    // Progress bars.
    set_escape_handler(100, Coverage::Kept, "creates a progress bar",
                       [](int, const int(&p)[6], int& o1, int&, char*, int) {
        o1 = model().create(KIND_PROGRESS, p[0], p[1], p[2]);
    });
    set_escape_handler(101, Coverage::Kept, "range of a progress bar",
                       [](int, const int(&p)[6], int&, int&, char*, int) {
        extra(p[0]).gauge_low = p[1];
        extra(p[0]).gauge_high = p[2];
    });
    set_escape_handler(102, Coverage::Kept, "value of a progress bar",
                       [](int, const int(&p)[6], int&, int&, char*, int) {
        extra(p[0]).gauge_value = p[1];
        mark(p[0], CHANGED_VALUE);
    });
    // Terminal entries.
    set_escape_handler(2500, Coverage::Kept, "creates a terminal entry",
                       [](int, const int(&p)[6], int& o1, int&, char* text, int len) {
        o1 = model().create(KIND_TTY, p[0], p[1], p[2]);
        model().find(o1)->text = rtrim(std::string_view(text ? text : "", text ? std::size_t(std::max(len, 0)) : 0));
    });
    set_escape_handler(2510, Coverage::Kept, "appends text to a terminal entry",
                       [](int, const int(&p)[6], int&, int&, char* text, int len) {
        if (Widget* w = model().find(p[0])) {
            w->text += rtrim(std::string_view(text ? text : "", text ? std::size_t(std::max(len, 0)) : 0));
            mark(p[0], CHANGED_TEXT);
        }
    });
    // Icon with a caption: "caption|icon name".
    set_escape_handler(700, Coverage::Done, "creates an icon with a caption",
                       [](int, const int(&p)[6], int& o1, int&, char* text, int len) {
        const std::string t = rtrim(std::string_view(text ? text : "", text ? std::size_t(std::max(len, 0)) : 0));
        const auto bar = t.find('|');
        o1 = model().create(KIND_ICON, p[0], p[1], p[2]);
        Widget* w = model().find(o1);
        w->caption = t.substr(0, bar);
        w->icon = bar == std::string::npos ? std::string() : t.substr(bar + 1);
    });
    // Cell formats and colours, and the cell text.
    set_escape_handler(2011, Coverage::Kept, "formats and colours of an array cell",
                       [](int, const int(&p)[6], int&, int&, char*, int) {
        Cell& c = cell(p[0], p[1], p[2]);
        c.attr[9] = p[3];
        c.attr[10] = p[4];
        c.attr[8] = p[5];
    });
    set_escape_handler(2012, Coverage::Kept, "attribute 8 of an array cell",
                       [](int, const int(&p)[6], int&, int&, char*, int) { cell(p[0], p[1], p[2]).attr[7] = p[3]; });
    for (int op : {2018, 2019}) {
        set_escape_handler(op, Coverage::Kept, "attributes and text of an array cell",
                           [](int op2, const int(&p)[6], int&, int&, char* text, int len) {
            Cell& c = cell(p[0], p[1], p[2]);
            const int first = op2 == 2018 ? 12 : 15;  // attributes 13-15 or 16-18
            for (int k = 0; k < 3; ++k) c.attr[first + k] = p[3 + k];
            c.text = rtrim(std::string_view(text ? text : "", text ? std::size_t(std::max(len, 0)) : 0));
        });
    }
    set_escape_handler(2017, Coverage::Kept, "answers the text of an array cell",
                       [](int, const int(&p)[6], int&, int&, char* text, int len) {
        const WidgetExtra* x = find_extra(p[0]);
        std::string t;
        if (x) {
            auto it = x->cells.find({p[1], p[2]});
            if (it != x->cells.end()) t = it->second.text;
        }
        rt::fill_text(text, len, t);
    });
}

namespace {

struct Init {
    Init() { add_reset_hook("widget_extra", [] { extras().clear(); }); }
};
const Init init;

}  // namespace

WidgetExtra& extra(int id) { return extras()[id]; }

const WidgetExtra* find_extra(int id) {
    auto it = extras().find(id);
    return it == extras().end() ? nullptr : &it->second;
}

std::string value_text(double value, int field_width, int decimals) {
    char buf[512];
    const int d = std::clamp(decimals, 0, 30);
    const int w = std::clamp(field_width, -100, 100);
    std::snprintf(buf, sizeof buf, "%*.*f", w, d, value);
    // A number whose fixed form is wider than the entry can show would be seen cut to its
    // leading digits: it shows in E form instead, with as many digits as fit (at least one).
    const int room = std::max(std::abs(w), MIN_ENTRY_CHARACTERS);
    if (!std::isfinite(value) || int(std::strlen(buf)) <= room) return buf;
    char e[64];
    for (int p = 15; p >= 0; --p) {
        std::snprintf(e, sizeof e, "%.*E", p, value);
        if (int(std::strlen(e)) <= room) break;
    }
    std::snprintf(buf, sizeof buf, "%*s", w, e);
    return buf;
}

}  // namespace wl

using wl::model;
using wl::trace_call;

namespace {

std::string_view head_s(std::string_view text, int len) {
    len = std::clamp(len, 0, int(text.size()));
    return text.substr(0, std::size_t(len));
}
int create(int kind, int parent, int x = 0, int y = 0) { return model().create(kind, parent, x, y); }
wl::Widget* find(int id) { return model().find(id); }

}  // namespace

// ---- menus ----

void ADDMENUBAR(int window, int& id) {
    trace_call("ADDMENUBAR", window);
    id = create(wl::KIND_MENUBAR, window);
}

void GETTITLETYPE(int& type) { type = model().reg.title_type; }

void ADDMENUPOP(int parent, int p1, int p2, int& id) {
    trace_call("ADDMENUPOP", parent, p1, p2);
    id = create(wl::KIND_POPUP, parent, p1, p2);
    find(id)->caption = model().reg.title;
}

void ADDMENUFLOAT(int parent, int& id) {
    trace_call("ADDMENUFLOAT", parent);
    id = create(wl::KIND_POPUP, parent);
}

void ADDMENUCASCADE(int parent, int& id) {
    trace_call("ADDMENUCASCADE", parent);
    id = create(wl::KIND_PULLDOWN, parent);
}

void ADDMENUSTRING(int parent, std::string_view text, int& id, int n) {
    trace_call("ADDMENUSTRING", parent, head_s(text, n), n);
    id = create(wl::KIND_MENUENTRY, parent);
    find(id)->caption = std::string(head_s(text, n));
}

void REGACCEL(int id, int accelerator) {
    trace_call("REGACCEL", id, accelerator);
    if (wl::Widget* w = find(id)) w->accelerator = accelerator;
}

void ADDMENUENTRY(int parent, std::string_view text, int accelerator, int& id) {
    trace_call("ADDMENUENTRY", parent, wl::rtrim(text), accelerator);
    id = create(wl::KIND_MENUENTRY, parent);
    find(id)->caption = wl::rtrim(text);
}

void ADDMENUPULL(int menubar, std::string_view text, int accelerator, int& id) {
    trace_call("ADDMENUPULL", menubar, wl::rtrim(text), accelerator);
    const int title = create(wl::KIND_MENUTITLE, menubar);
    find(title)->caption = wl::rtrim(text);
    find(title)->accelerator = accelerator;
    id = create(wl::KIND_PULLDOWN, title);
}

void ADDMENUSEPARATOR(int menu, int mode, int& id) {
    trace_call("ADDMENUSEPARATOR", menu, mode);
    id = create(wl::KIND_SEPARATOR, menu);
}

void ADDSYSMENU(int window, int& id) {
    trace_call("ADDSYSMENU", window);
    id = create(wl::KIND_POPUP, window);
}

// ---- lists and combo boxes ----

void REGLISTBOXTYPE(int a, int b, int c) { register_other("REGLISTBOXTYPE", {double(a), double(b), double(c)}); }

void ADDLISTBOX(int parent, int x, int y, int list_kind, int& id) {
    trace_call("ADDLISTBOX", parent, x, y, list_kind);
    id = create(wl::KIND_LISTBOX, parent, x, y);
    find(id)->mode = list_kind;
}

void REGCOMBOTYPE(int a, int b) { register_other("REGCOMBOTYPE", {double(a), double(b)}); }

void ADDCOMBOBOX(int parent, int x, int y, int combo_kind, int& id) {
    trace_call("ADDCOMBOBOX", parent, x, y, combo_kind);
    id = create(wl::KIND_COMBO, parent, x, y);
    find(id)->mode = combo_kind;
}

void LISTBOXSET(int list, int index, int action, std::string_view text, int len) {
    const std::string t = wl::rtrim(head_s(text, len));
    trace_call("LISTBOXSET", list, index, action, t);
    wl::Widget* w = find(list);
    if (!w) return;
    auto& items = w->items;
    const int n = int(items.size());
    switch (action) {
    case 0:
        if (index >= 1 && index <= n) {
            items.insert(items.begin() + (index - 1), t);
            if (w->selection >= index) ++w->selection;
        } else {
            items.push_back(t);
        }
        break;
    case 1:
        w->selection = (index >= 1 && index <= n) ? index : 0;
        break;
    case 2: {
        const int k = index == -1 ? w->selection : index;
        if (k >= 1 && k <= n) items[std::size_t(k - 1)] = t;
        break;
    }
    case 3:
        if (index == -1) {
            items.clear();
            w->selection = 0;
        } else if (index >= 1 && index <= n) {
            items.erase(items.begin() + (index - 1));
            if (w->selection == index)
                w->selection = 0;
            else if (w->selection > index)
                --w->selection;
        }
        break;
    case 4:
    case 5:
        wl::add_listing(*w, t.empty() ? std::string("*") : t, action == 5);
        break;
    default:
        break;
    }
    model().mark(list, wl::CHANGED_ITEMS);
}

void LISTBOXSTATUS(int list, int& a, int& b, int& c) {
    const wl::Widget* w = find(list);
    a = w ? int(w->items.size()) : 0;
    b = w && !w->items.empty() ? 1 : 0;
    c = w ? w->selection : 0;
}

void LISTBOXENQUIRE(int list, int index, int& result, char* text, int len) {
    const wl::Widget* w = find(list);
    result = 1;
    if (!w) return;
    const int k = index == 0 ? w->selection : index;
    if (k >= 1 && k <= int(w->items.size())) {
        rt::fill_text(text, len, w->items[std::size_t(k - 1)]);
        result = 0;
    }
}

// ---- icons, buttons, links, images, resources ----

void ADDICON(int parent, int x, int y, int& id) {
    trace_call("ADDICON", parent, x, y);
    id = create(wl::KIND_ICON, parent, x, y);
}

void ADDBUTTON(int parent, int accelerator, std::string_view text, int x, int y, int& id) {
    trace_call("ADDBUTTON", parent, accelerator, wl::rtrim(text), x, y);
    id = create(wl::KIND_BUTTON, parent, x, y);
    find(id)->caption = std::string(text);
    find(id)->accelerator = accelerator;
}

void REGLINK(int widget, int value, int linked) {
    trace_call("REGLINK", widget, value, linked);
    wl::extra(widget).links.emplace_back(value, linked);
}

void IMAGEDRAWDUMPINIT(int a, int b, int c, int d) { trace_call("IMAGEDRAWDUMPINIT", a, b, c, d); }
void IMAGEDRAWDUMPEND(int e, int mode) { trace_call("IMAGEDRAWDUMPEND", e, mode); }
void RESOURCEIMAGEDATA(int a, int b, int c, int*) { trace_call("RESOURCEIMAGEDATA", a, b, c); }
void RESOURCEIMAGEINFO(int a, int kind, int& a3, int& a4, int& a5, int& a6, int& a7) {
    trace_call("RESOURCEIMAGEINFO", a, kind);
    a3 = a4 = a5 = a6 = a7 = 0;
}
void GETRESOURCECURSOR(int a, int& cursor) {
    trace_call("GETRESOURCECURSOR", a);
    cursor = 0;
}

// ---- value entries and arrays ----

namespace {
void add_value(int parent, double value, int mode, int decimals, int field_width, int x, int y, int& id) {
    id = create(wl::KIND_VALUE, parent, x, y);
    wl::Widget* w = find(id);
    w->value = value;
    w->mode = mode;
    w->decimals = decimals;
    w->field_width = field_width;
    w->text = wl::value_text(value, field_width, decimals);
}
void set_value(int widget, double value) {
    wl::Widget* w = find(widget);
    if (!w) return;
    std::string text = wl::value_text(value, w->field_width, w->decimals);
    // The same number shown the same way: nothing changes.
    if (std::memcmp(&w->value, &value, sizeof value) == 0 && w->text == text) return;
    w->value = value;
    w->text = std::move(text);
    model().mark(widget, wl::CHANGED_VALUE | wl::CHANGED_TEXT);
}
}  // namespace

void ADDDOUBLE(int parent, double value, int mode, int decimals, int field_width, int x, int y, int& id) {
    trace_call("ADDDOUBLE", parent, value, mode, decimals, field_width, x, y);
    add_value(parent, value, mode, decimals, field_width, x, y, id);
}

void ADDFLOAT(int parent, float value, int mode, int decimals, int field_width, int x, int y, int& id) {
    trace_call("ADDFLOAT", parent, value, mode, decimals, field_width, x, y);
    add_value(parent, double(value), mode, decimals, field_width, x, y, id);
}

void GAADDVALUEGRID(int parent, int a, int b, int c, int d, int& id) {
    trace_call("GAADDVALUEGRID", parent, a, b, c, d);
    id = create(wl::KIND_TEXTARRAY, parent, a, b);
}

void SETDOUBLE(int widget, double value) {
    trace_call("SETDOUBLE", widget, value);
    set_value(widget, value);
}

void SETNUMBER(int widget, float value) {
    trace_call("SETNUMBER", widget, value);
    set_value(widget, double(value));
}

void GETNUMBER(int widget, double& value, char* text, int& status, int len) {
    const wl::Widget* w = find(widget);
    status = 0;
    value = w ? w->value : 0.0;
    rt::fill_text(text, len, w ? w->text : std::string());
}

void SETVALUELIMITS(int widget, double lower, double upper) {
    trace_call("SETVALUELIMITS", widget, lower, upper);
    wl::WidgetExtra& x = wl::extra(widget);
    x.has_limits = true;
    x.lower = lower;
    x.upper = upper;
}

void REGROGUEVALUE(int a, int b, int code, std::string_view text, int len) {
    trace_call("REGROGUEVALUE", a, b, code, wl::rtrim(head_s(text, len)));
}

void GASETCELLTYPE(int array, int col, int row, int type, int unused) {
    trace_call("GASETCELLTYPE", array, col, row, type, unused);
    wl::Cell& c = wl::extra(array).cells[{col, row}];
    c.type = type;
    c.attr[11] = type;
}

void GASETCELLVALUE(int array, int col, int row, double value, std::string_view text, int len) {
    const std::string t = wl::rtrim(head_s(text, len));
    trace_call("GASETCELLVALUE", array, col, row, value, t);
    wl::Cell& c = wl::extra(array).cells[{col, row}];
    c.value = value;
    c.text = t;
    model().mark(array, wl::CHANGED_VALUE);
}

void GAGETCELLVALUE(int array, int col, int row, double& value, char* text, int len) {
    const wl::WidgetExtra* x = wl::find_extra(array);
    value = 0.0;
    std::string t;
    if (x) {
        auto it = x->cells.find({col, row});
        if (it != x->cells.end()) {
            value = it->second.value;
            t = it->second.text;
        }
    }
    rt::fill_text(text, len, t);
}

void GASETCELLSIZE(int array, int col, int row, int a, int b) {
    trace_call("GASETCELLSIZE", array, col, row, a, b);
    wl::Cell& c = wl::extra(array).cells[{col, row}];
    c.attr[5] = a;
    c.attr[6] = b;
}

void GASETCELLATTR(int array, int col, int row, int a, int b, int c, int d, int e) {
    trace_call("GASETCELLATTR", array, col, row, a, b, c, d, e);
    wl::Cell& cl = wl::extra(array).cells[{col, row}];
    const int v[5] = {a, b, c, d, e};
    for (int k = 0; k < 5; ++k) cl.attr[k] = v[k];
}

void GACELLATTRENQUIRY(int array, int col, int row, int count, int* values) {
    const wl::WidgetExtra* x = wl::find_extra(array);
    if (!x || !values) return;
    auto it = x->cells.find({col, row});
    if (it == x->cells.end()) return;
    for (int k = 0; k < std::min(count, 18); ++k) values[k] = it->second.attr[k];
}

void GAMOVESHEETENTRY(int array, int col, int row) {
    trace_call("GAMOVESHEETENTRY", array, col, row);
    wl::extra(array).active_col = col;
    wl::extra(array).active_row = row;
}

void SETCELLVALUELIMITS(int array, int col, int row, float lower, float upper, int third) {
    trace_call("SETCELLVALUELIMITS", array, col, row, lower, upper, third);
    wl::Cell& c = wl::extra(array).cells[{col, row}];
    c.lower = lower;
    c.upper = upper;
    c.limit_third = third;
    c.has_limits = true;
}

void GETCELLVALUELIMITS(int array, int col, int row, float& lower, float& upper, int& third) {
    const wl::WidgetExtra* x = wl::find_extra(array);
    if (!x) return;
    auto it = x->cells.find({col, row});
    if (it == x->cells.end()) return;
    lower = it->second.lower;
    upper = it->second.upper;
    third = it->second.limit_third;
}

// ---- text entries ----

namespace {
int add_text(int kind, int parent, int x, int y, std::string_view text, int limit, int mode) {
    const int id = create(kind, parent, x, y);
    wl::Widget* w = find(id);
    w->text = wl::rtrim(text);
    w->field_width = limit;
    w->mode = mode;
    return id;
}
}  // namespace

void ADDEDITOR(int parent, int x, int y, std::string_view text, int limit, int mode, int& id, int len) {
    trace_call("ADDEDITOR", parent, x, y, wl::rtrim(head_s(text, len)), limit, mode);
    id = add_text(wl::KIND_EDITOR, parent, x, y, head_s(text, len), limit, mode);
}

void ADDSTRING(int parent, int zero, std::string_view text, int mode, int x, int y, int limit, int& id, int len) {
    trace_call("ADDSTRING", parent, zero, wl::rtrim(head_s(text, len)), mode, x, y, limit);
    id = add_text(wl::KIND_TEXT, parent, x, y, head_s(text, len), limit, mode);
}

void GETMINIMUM(int& width, int& height) {
    width = model().reg.min_w;
    height = model().reg.min_h;
}

void GAADDTEXTGRID(int parent, int a, int b, int c, int d, int& id) {
    trace_call("GAADDTEXTGRID", parent, a, b, c, d);
    id = create(wl::KIND_TEXTARRAY, parent, a, b);
}

void SETSTRING(int widget, std::string_view text, int len) {
    trace_call("SETSTRING", widget, wl::rtrim(head_s(text, len)));
    model().set_text(widget, wl::rtrim(head_s(text, len)));
}

void GETSTRING(int widget, char* text, int len) {
    const wl::Widget* w = find(widget);
    rt::fill_text(text, len, w ? w->text : std::string());
}

namespace {
void save_text(int widget, int& status, std::string_view file, int len, bool array) {
    const std::string name = wl::rtrim(head_s(file, len));
    std::ofstream out(name, std::ios::binary | std::ios::trunc);
    if (!out) {
        status = 1;
        return;
    }
    if (array) {
        if (const wl::WidgetExtra* x = wl::find_extra(widget))
            for (const auto& [key, c] : x->cells) out << key.first << ' ' << key.second << ' ' << c.text << '\n';
    } else if (const wl::Widget* w = find(widget)) {
        out << w->text;
    }
    status = out ? 0 : 1;
}
void load_text(int widget, int& status, std::string_view file, int len) {
    const std::string name = wl::rtrim(head_s(file, len));
    std::ifstream in(name, std::ios::binary);
    if (!in) {
        status = 1;
        return;
    }
    std::ostringstream s;
    s << in.rdbuf();
    model().set_text(widget, s.str());
    status = 0;
}
}  // namespace

void SAVETEXTFILE(int widget, int& status, std::string_view file, int len) {
    trace_call("SAVETEXTFILE", widget, status, wl::rtrim(head_s(file, len)));
    save_text(widget, status, file, len, false);
}
void GASAVETEXTFILE(int widget, int& status, std::string_view file, int len) {
    trace_call("GASAVETEXTFILE", widget, status, wl::rtrim(head_s(file, len)));
    save_text(widget, status, file, len, true);
}
void LOADTEXTFILE(int widget, int& status, std::string_view file, int len) {
    trace_call("LOADTEXTFILE", widget, status, wl::rtrim(head_s(file, len)));
    load_text(widget, status, file, len);
}
void GALOADTEXTFILE(int widget, int& status, std::string_view file, int len) {
    trace_call("GALOADTEXTFILE", widget, status, wl::rtrim(head_s(file, len)));
    status = 1;  // arrays are not loaded from text files by this library
}
void PRINTTEXTFILE(int widget, int a, int b, int c) { trace_call("PRINTTEXTFILE", widget, a, b, c); }
void GAPRINTTEXTFILE(int widget, int a, int b, int c) { trace_call("GAPRINTTEXTFILE", widget, a, b, c); }
void TEXTCUTANDPASTE(int widget, int mode) { trace_call("TEXTCUTANDPASTE", widget, mode); }

// ---- toggles, radio boxes, sliders, panels, bars, trees ----

void ADDRADIO(int parent, int x, int y, std::string_view text, int zero, int& id, int len) {
    trace_call("ADDRADIO", parent, x, y, wl::rtrim(head_s(text, len)), zero);
    id = create(wl::KIND_TOGGLE, parent, x, y);
    find(id)->caption = wl::rtrim(head_s(text, len));
}

void ADDTOGGLE(int parent, int zero, std::string_view text, int zero2, int x, int y, int& id, int len) {
    trace_call("ADDTOGGLE", parent, zero, wl::rtrim(head_s(text, len)), zero2, x, y);
    id = create(wl::KIND_TOGGLE, parent, x, y);
    find(id)->caption = wl::rtrim(head_s(text, len));
}

void SETTOGGLE(int widget, int state) {
    trace_call("SETTOGGLE", widget, state);
    if (!find(widget)) return;
    model().set_toggle(widget, state != 0 ? 1 : 0);
}

void GETTOGGLE(int widget, int& state) {
    const wl::Widget* w = find(widget);
    state = w ? w->toggle : 0;
}

void SETTOGGLEACCEL(int widget, int accelerator) {
    trace_call("SETTOGGLEACCEL", widget, accelerator);
    if (wl::Widget* w = find(widget)) w->accelerator = accelerator;
}

void REGRADIOTYPE(int type) { register_other("REGRADIOTYPE", {double(type)}); }
void REGSLIDERTYPE(int type) { register_other("REGSLIDERTYPE", {double(type)}); }
void REGSLIDERATTR(int c) { register_other("REGSLIDERATTR", {double(c)}); }
void REGPANELATTR(int a, int b, int c, int d) {
    register_other("REGPANELATTR", {double(a), double(b), double(c), double(d)});
}

void ADDRADIOBOX(int parent, int x, int y, int& id) {
    trace_call("ADDRADIOBOX", parent, x, y);
    id = create(wl::KIND_RADIO, parent, x, y);
    find(id)->caption = model().reg.title_type == 1 ? model().reg.title : std::string();
}

void ADDSLIDER(int parent, int zero, int x, int y, int& id) {
    trace_call("ADDSLIDER", parent, zero, x, y);
    id = create(wl::KIND_SLIDER, parent, x, y);
}

void SETSLIDER(int slider, int position, float scale, float minimum, float increment) {
    trace_call("SETSLIDER", slider, position, scale, minimum, increment);
    wl::WidgetExtra& x = wl::extra(slider);
    x.slider_position = position;
    x.slider_scale = scale;
    x.slider_minimum = minimum;
    x.slider_increment = increment;
    model().mark(slider, wl::CHANGED_VALUE);
}

void GETSLIDER(int slider, int& position, float& scale, float& minimum, float& increment) {
    const wl::WidgetExtra* x = wl::find_extra(slider);
    position = x ? x->slider_position : 0;
    scale = x ? x->slider_scale : 0.0f;
    minimum = x ? x->slider_minimum : 0.0f;
    increment = x ? x->slider_increment : 0.0f;
}

void ADDPANELBOX(int parent, int x, int y, int& id) {
    trace_call("ADDPANELBOX", parent, x, y);
    id = create(wl::KIND_PANEL, parent, x, y);
}

void ADDPANELMASTER(int parent, int x, int y, int& id) {
    trace_call("ADDPANELMASTER", parent, x, y);
    id = create(wl::KIND_TABBOX, parent, x, y);
}

void ADDSTATUSBAR(int window, int type, int& id) {
    trace_call("ADDSTATUSBAR", window, type);
    id = create(wl::KIND_STATUSBAR, window);
    find(id)->mode = type;
}

void ADDSTATUSPANES(int bar, int a, int b) {
    trace_call("ADDSTATUSPANES", bar, a, b);
    wl::extra(bar).panes_a = a;
    wl::extra(bar).panes_b = b;
}

void SETSTATUSTEXT(int bar, int pane, std::string_view text, int len) {
    const std::string t(head_s(text, len));
    trace_call("SETSTATUSTEXT", bar, pane, t);
    wl::Widget* w = find(bar);
    if (!w) return;
    wl::extra(bar).pane_text[pane] = t;
    if (pane == 0) model().set_text(bar, t);
}

void ADDTOOLBAR(int window, int a, int b, int& id) {
    trace_call("ADDTOOLBAR", window, a, b);
    id = create(wl::KIND_TOOLBAR, window);
}

void ADDTOOLBUTTON(int toolbar, int a, int& id, std::string_view text, int len) {
    trace_call("ADDTOOLBUTTON", toolbar, a, wl::rtrim(head_s(text, len)));
    id = create(wl::KIND_TOOLBUTTON, toolbar);
    find(id)->caption = wl::rtrim(head_s(text, len));
}

void ADDTOOLSEPARATOR(int toolbar, int& id) {
    trace_call("ADDTOOLSEPARATOR", toolbar);
    id = create(wl::KIND_TOOLSEPARATOR, toolbar);
}

void ADDTREEBOX(int parent, int a, int b, int c, int& id) {
    trace_call("ADDTREEBOX", parent, a, b, c);
    id = create(wl::KIND_TREEBOX, parent, a, b);
}

void ADDTREEENTRY(int parent, int a, std::string_view text, int& id, int len) {
    trace_call("ADDTREEENTRY", parent, a, wl::rtrim(head_s(text, len)));
    id = create(wl::KIND_TREEENTRY, parent);
    find(id)->caption = wl::rtrim(head_s(text, len));
    wl::extra(id).tree_data = a;
}

void SETTREEENTRY(int entry, std::string_view text, int len) {
    trace_call("SETTREEENTRY", entry, wl::rtrim(head_s(text, len)));
    model().set_caption(entry, wl::rtrim(head_s(text, len)));
}

void GETTREEENTRY(int entry, char* text, int len) {
    const wl::Widget* w = find(entry);
    if (!w) return;
    rt::fill_text(text, len, w->caption);
}

void TREEACTION(int widget, int action) { trace_call("TREEACTION", widget, action); }

void SCROLLBARSET(int widget, int a, int b) {
    trace_call("SCROLLBARSET", widget, a, b);
    wl::extra(widget).scroll_a = a;
    wl::extra(widget).scroll_b = b;
}
void SCROLLBARENQ(int widget, int& a, int& b) {
    const wl::WidgetExtra* x = wl::find_extra(widget);
    a = x ? x->scroll_a : 0;
    b = x ? x->scroll_b : 0;
}
void GASCROLLBARSET(int widget, int a, int b) {
    trace_call("GASCROLLBARSET", widget, a, b);
    wl::extra(widget).scroll_a = a;
    wl::extra(widget).scroll_b = b;
}
void GASCROLLBARENQ(int widget, int& a, int& b) { SCROLLBARENQ(widget, a, b); }

void REGPANELIMAGE(int panel, int a, std::string_view image, int len) {
    trace_call("REGPANELIMAGE", panel, a, wl::rtrim(head_s(image, len)));
}

// ---- callbacks, properties ----

void GETTIMERCALLBACKS(int& a, int& b, int& c, int& d) {
    a = model().timer_interval;
    b = model().timer_callback;
    c = 0;
    d = 0;
}

void GETESCAPECALLBACKS(int& a, int& b, int& c, int& d, int& e, int& f) { a = b = c = d = e = f = 0; }

void SETWIDGETPROP(int widget, int code, int ivalue, double dvalue, std::string_view text, int len) {
    const std::string t(head_s(text, len));
    trace_call("SETWIDGETPROP", widget, code, ivalue, dvalue, wl::rtrim(t));
    wl::Widget* w = find(widget);
    if (!w || code == 15) return;
    if (code == 29) {
        if (ivalue == wl::STATE_ACTIVE || ivalue == wl::STATE_GREYED || ivalue == wl::STATE_HIDDEN)
            model().set_state(widget, ivalue);
        return;
    }
    wl::WidgetExtra& x = wl::extra(widget);
    x.prop_int[code] = ivalue;
    x.prop_double[code] = dvalue;
    x.prop_text[code] = t;
    w->properties[code] = ivalue;
}

void ENQWIDGETPROP(int widget, int code, int& ivalue, double& dvalue, char* text, int len) {
    const wl::Widget* w = find(widget);
    if (!w) return;
    if (code == 15) {
        ivalue = w->kind;
        dvalue = 0.0;
        rt::fill_text(text, len, "");
        return;
    }
    if (code == 29) {
        ivalue = w->state;
        dvalue = 0.0;
        rt::fill_text(text, len, "");
        return;
    }
    const wl::WidgetExtra* x = wl::find_extra(widget);
    ivalue = 0;
    dvalue = 0.0;
    std::string t;
    if (x) {
        if (auto it = x->prop_int.find(code); it != x->prop_int.end()) ivalue = it->second;
        if (auto it = x->prop_double.find(code); it != x->prop_double.end()) dvalue = it->second;
        if (auto it = x->prop_text.find(code); it != x->prop_text.end()) t = it->second;
    }
    rt::fill_text(text, len, t);
}
