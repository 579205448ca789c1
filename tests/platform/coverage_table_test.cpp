// The coverage table of the widget library, code/platform/COVERAGE.md: every entry and escape
// operation the toolkit layer sends, with what the library does with it, made from the library's
// own dispatch (the escape table and the entries' classes). The committed file must be the one
// made now: an operation that changes class without the table fails here.
// KV_WRITE_COVERAGE=1 writes the file afresh instead.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "platform/coverage.h"
#include "platform/model.h"
#include "platform/script.h"
#include "platform/widget_extra.h"
#include "platform/widget_more.h"
#include "platform/graphics_model.h"
#include "platform/wingui.h"

namespace {

namespace fs = std::filesystem;

const fs::path kSource = KV_SOURCE_DIR;
const fs::path kTable = kSource / "code/platform/COVERAGE.md";

std::string read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

bool word_char(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

// The text of every source file of the toolkit layer.
std::string toolkit_sources() {
    std::string all;
    for (const auto& e : fs::directory_iterator(kSource / "code/gui_toolkit"))
        if (e.path().extension() == ".cpp" || e.path().extension() == ".h") all += read(e.path()) + "\n";
    return all;
}

// Whether `name` occurs in the text as a whole word.
bool mentions(const std::string& text, const std::string& name) {
    for (std::size_t at = text.find(name); at != std::string::npos; at = text.find(name, at + 1)) {
        const bool before = at > 0 && word_char(text[at - 1]);
        const bool after = at + name.size() < text.size() && word_char(text[at + name.size()]);
        if (!before && !after) return true;
    }
    return false;
}

// The entries the library's headers declare: the functions with an upper-case name (and the
// console's two with a trailing underscore), from the start of a declaration line.
std::set<std::string> declared_entries() {
    std::set<std::string> names;
    for (const char* h : {"wingui.h", "widget_extra.h", "widget_more.h", "graphics_model.h"}) {
        std::istringstream in(read(kSource / "code/platform" / h));
        for (std::string line; std::getline(in, line);) {
            if (line.empty() || line[0] == ' ' || line[0] == '/' || line[0] == '#') continue;
            const auto paren = line.find('(');
            if (paren == std::string::npos) continue;
            std::size_t b = paren;
            while (b > 0 && word_char(line[b - 1])) --b;
            const std::string name = line.substr(b, paren - b);
            if (name.empty() || b == 0 || line.find(' ') > b) continue;  // a type must come first
            bool upper = std::isupper(static_cast<unsigned char>(name[0])) != 0;
            for (const char c : name)
                if (std::islower(static_cast<unsigned char>(c))) upper = false;
            if (upper || name == "errormessage_" || name == "registerconsole_") names.insert(name);
        }
    }
    return names;
}

// The escape operations the toolkit layer sends: the literal operation numbers of its calls of
// the escape entry and of its wrappers, the callback definitions' operations (the last argument
// of `define`), and the range of posted actions (1220 + action).
std::set<int> sent_operations(const std::string& text) {
    std::set<int> ops;
    const char* callers[] = {"ESCAPEROUTINE(", "GUIESC(", "escape(", "esc(", "esc_text(", "esc_buffer(", "esc_pair("};
    for (const char* caller : callers) {
        const std::string c = caller;
        for (std::size_t at = text.find(c); at != std::string::npos; at = text.find(c, at + 1)) {
            if (at > 0 && word_char(text[at - 1])) continue;
            std::size_t k = at + c.size();
            while (k < text.size() && text[k] == ' ') ++k;
            std::size_t e = k;
            while (e < text.size() && std::isdigit(static_cast<unsigned char>(text[e]))) ++e;
            if (e == k) continue;
            const int op = std::stoi(text.substr(k, e - k));
            if (text.compare(e, 4, " + a") == 0 && op == 1220)
                for (int a = 1220; a <= 1250; ++a) ops.insert(a);
            else
                ops.insert(op);
        }
    }
    const std::string define = "define(\"";
    for (std::size_t at = text.find(define); at != std::string::npos; at = text.find(define, at + 1)) {
        const auto end = text.find(");", at);
        if (end == std::string::npos) break;
        std::size_t b = end;
        while (b > at && std::isdigit(static_cast<unsigned char>(text[b - 1]))) --b;
        if (b < end) ops.insert(std::stoi(text.substr(b, end - b)));
    }
    return ops;
}


// ---- What the entries do, tried ------------------------------------------------------------
//
// The class of an entry that makes widgets, or that answers, follows from what it does, not from
// its name: each one is called here. An entry whose widgets the real window does not show
// (wl::shown_in_window, the gate the FLTK front end builds by) is at best "kept, not shown"; an
// entry that answers the same whatever the model holds and whatever it is asked is "refused". A
// hand-written class can only lower what the call shows, never raise it.

// What the widgets of a probe are made in.
struct Parents {
    int master = 1, window = 0, menubar = 0, pulldown = 0, radio = 0, toolbar = 0, tree = 0;
};

Parents make_parents() {
    Parents p;
    OPENMASTER(0, 0);
    OPENWINDOW(p.master, 2, 2, p.window);
    ADDMENUBAR(p.master, p.menubar);
    ADDMENUPULL(p.menubar, "File", 0, p.pulldown);
    ADDRADIOBOX(p.window, 1, 1, p.radio);
    ADDTOOLBAR(p.master, 0, 0, p.toolbar);
    ADDTREEBOX(p.window, 0, 0, 0, p.tree);
    return p;
}

using Maker = std::function<void(const Parents&)>;

// Every entry that makes widgets, made where the program would make it.
const std::map<std::string, Maker>& makers() {
    static const std::map<std::string, Maker> m = {
        {"OPENMASTER", [](const Parents&) { OPENMASTER(0, 0); }},
        {"OPENMDIMASTER", [](const Parents&) { OPENMDIMASTER(0, 0); }},
        {"OPENWINDOW", [](const Parents& p) { int id; OPENWINDOW(p.master, 1, 1, id); }},
        {"OPENMDIWINDOW", [](const Parents& p) { int id; OPENMDIWINDOW(p.master, 1, 1, id); }},
        {"GRAPHICSFRAME", [](const Parents& p) { int id; GRAPHICSFRAME(p.window, 0, 0, id); }},
        {"GRAPHICSFRAME3D", [](const Parents& p) { int id; GRAPHICSFRAME3D(p.window, 0, 0, 0, id); }},
        {"ADDMENUBAR", [](const Parents& p) { int id; ADDMENUBAR(p.window, id); }},
        {"ADDMENUPOP", [](const Parents& p) { int id; ADDMENUPOP(p.window, 0, 0, id); }},
        {"ADDMENUFLOAT", [](const Parents& p) { int id; ADDMENUFLOAT(p.window, id); }},
        {"ADDMENUCASCADE", [](const Parents& p) { int id; ADDMENUCASCADE(p.pulldown, id); }},
        {"ADDMENUSTRING", [](const Parents& p) { int id; ADDMENUSTRING(p.pulldown, "Entry", id, 5); }},
        {"ADDMENUENTRY", [](const Parents& p) { int id; ADDMENUENTRY(p.pulldown, "Entry", 0, id); }},
        {"ADDMENUPULL", [](const Parents& p) { int id; ADDMENUPULL(p.menubar, "Edit", 0, id); }},
        {"ADDMENUSEPARATOR", [](const Parents& p) { int id; ADDMENUSEPARATOR(p.pulldown, 0, id); }},
        {"ADDSYSMENU", [](const Parents& p) { int id; ADDSYSMENU(p.window, id); }},
        {"ADDLISTBOX", [](const Parents& p) { int id; ADDLISTBOX(p.window, 0, 0, 0, id); }},
        {"ADDCOMBOBOX", [](const Parents& p) { int id; ADDCOMBOBOX(p.window, 0, 0, 0, id); }},
        {"ADDICON", [](const Parents& p) { int id; ADDICON(p.window, 0, 0, id); }},
        {"ADDBUTTON", [](const Parents& p) { int id; ADDBUTTON(p.window, 0, "OK", 0, 0, id); }},
        {"ADDDOUBLE", [](const Parents& p) { int id; ADDDOUBLE(p.window, 1.5, 0, 2, 8, 0, 0, id); }},
        {"ADDFLOAT", [](const Parents& p) { int id; ADDFLOAT(p.window, 1.5f, 0, 2, 8, 0, 0, id); }},
        {"GAADDVALUEGRID", [](const Parents& p) { int id; GAADDVALUEGRID(p.window, 2, 2, 0, 0, id); }},
        {"GAADDTEXTGRID", [](const Parents& p) { int id; GAADDTEXTGRID(p.window, 2, 2, 0, 0, id); }},
        {"ADDEDITOR", [](const Parents& p) { int id; ADDEDITOR(p.window, 0, 0, "text", 100, 0, id, 4); }},
        {"ADDSTRING", [](const Parents& p) { int id; ADDSTRING(p.window, 0, "text", 0, 0, 0, 20, id, 4); }},
        {"ADDRADIO", [](const Parents& p) { int id; ADDRADIO(p.radio, 0, 0, "one", 0, id, 3); }},
        {"ADDTOGGLE", [](const Parents& p) { int id; ADDTOGGLE(p.window, 0, "on", 0, 0, 0, id, 2); }},
        {"ADDRADIOBOX", [](const Parents& p) { int id; ADDRADIOBOX(p.window, 0, 0, id); }},
        {"ADDSLIDER", [](const Parents& p) { int id; ADDSLIDER(p.window, 0, 0, 0, id); }},
        {"ADDPANELBOX", [](const Parents& p) { int id; ADDPANELBOX(p.window, 0, 0, id); }},
        {"ADDPANELMASTER", [](const Parents& p) { int id; ADDPANELMASTER(p.window, 0, 0, id); }},
        {"ADDSTATUSBAR", [](const Parents& p) { int id; ADDSTATUSBAR(p.window, 0, id); }},
        {"ADDTOOLBAR", [](const Parents& p) { int id; ADDTOOLBAR(p.window, 0, 0, id); }},
        {"ADDTOOLBUTTON", [](const Parents& p) { int id; ADDTOOLBUTTON(p.toolbar, 0, id, "tool", 4); }},
        {"ADDTOOLSEPARATOR", [](const Parents& p) { int id; ADDTOOLSEPARATOR(p.toolbar, id); }},
        {"ADDTREEBOX", [](const Parents& p) { int id; ADDTREEBOX(p.window, 0, 0, 0, id); }},
        {"ADDTREEENTRY", [](const Parents& p) { int id; ADDTREEENTRY(p.tree, 0, "leaf", id, 4); }},
    };
    return m;
}
// Entries whose names read like makers but that make no widget.
const std::set<std::string> kNotMakers = {"ADDSTATUSPANES", "ADDWIDGETHELP", "OPENBROWSE"};
bool maker_name(const std::string& n) {
    return (n.rfind("ADD", 0) == 0 || n.rfind("GAADD", 0) == 0 || n.rfind("OPEN", 0) == 0 ||
            n.rfind("GRAPHICSFRAME", 0) == 0) &&
           !kNotMakers.count(n);
}

// Whether every widget the entry makes is shown in the real window.
bool makes_shown_widgets(const Maker& make) {
    wl::reset_model();
    const Parents p = make_parents();
    const int first = wl::model().next_id;
    make(p);
    const int last = wl::model().next_id;
    if (last == first) return false;
    for (int id = first; id < last; ++id)
        if (!wl::shown_in_window(wl::model(), id)) return false;
    return true;
}

// A model that holds something of everything an answer can come from: windows and one widget of
// each kind with values set, a frame with its scale, registrations, a timer and colours.
struct Busy {
    Parents p;
    int toggle = 0, value = 0, text = 0, list = 0, slider = 0, grid = 0, frame = 0, entry = 0;
};
Busy make_busy() {
    Busy b;
    b.p = make_parents();
    ADDTOGGLE(b.p.window, 0, "on", 0, 0, 0, b.toggle, 2);
    SETTOGGLE(b.toggle, 1);
    ADDDOUBLE(b.p.window, 2.5, 0, 2, 8, 0, 0, b.value);
    ADDSTRING(b.p.window, 0, "text", 0, 0, 0, 20, b.text, 4);
    ADDLISTBOX(b.p.window, 0, 0, 0, b.list);
    LISTBOXSET(b.list, 0, 0, "first", 5);  // appended
    LISTBOXSET(b.list, 0, 0, "second", 6);
    ADDSLIDER(b.p.window, 0, 0, 0, b.slider);
    SETSLIDER(b.slider, 3, 2.0f, 1.0f, 0.5f);
    GAADDVALUEGRID(b.p.window, 2, 2, 0, 0, b.grid);
    GASETCELLVALUE(b.grid, 1, 1, 7.0, "7", 1);
    GASETCELLATTR(b.grid, 1, 1, 1, 2, 3, 4, 5);
    SETCELLVALUELIMITS(b.grid, 1, 1, 1.0f, 9.0f, 1);
    SCROLLBARSET(b.grid, 2, 3);
    GASCROLLBARSET(b.grid, 2, 3);
    SETGRIDAREA(40, 30);
    REGMINIMUM(30, 20);
    GRAPHICSFRAME(b.p.window, 0, 0, b.frame);
    SETFRAMESCALE(b.frame, 2.0f, 3.0f, 0.5f, 0.25f);
    ADDTREEENTRY(b.p.tree, 0, "leaf", b.entry, 4);
    SETWIDGETPROP(b.toggle, 3, 2, 1.5, "x", 1);
    SETGRIDMODE(1);
    REGTITLETYPE(1);
    SETCALLTIME(50, 990);
    SETBMPCOLOUR(1, 10, 20, 30);
    return b;
}

// What an answer holds, as text.
struct Answer {
    std::ostringstream s;
    template <class T>
    Answer& operator<<(const T& v) {
        s << v << ' ';
        return *this;
    }
};
// The answer to the k-th of two askings (k = 0 or 1: inputs that differ, where the entry takes any).
using Asker = std::function<std::string(const Busy&, int k)>;

// Every entry that answers, asked about the busy model's widgets (in a fresh model the same ids
// name nothing).
const std::map<std::string, Asker>& askers() {
    static const std::map<std::string, Asker> m = {
        {"GETACTIONINFO", [](const Busy&, int k) { int a, b, c, d; GETACTIONINFO(a, b, c, d); return (Answer() << a << b << c << d).s.str(); }},
        {"GETWINVER", [](const Busy&, int k) { int a; GETWINVER(a); return std::to_string(a); }},
        {"GETGRIDAREA", [](const Busy&, int k) { int a, b, c, d; GETGRIDAREA(a, b, c, d); return (Answer() << a << b << c << d).s.str(); }},
        {"GETGRIDMODE", [](const Busy&, int k) { int a; GETGRIDMODE(a); return std::to_string(a); }},
        {"GETWIDGETINFO", [](const Busy& b, int k) {
             char buf[64] = {};
             int a1[16] = {}, a2[16] = {}, n1 = 16, n2 = 16;
             GETWIDGETINFO(b.toggle, buf, a1, n1, a2, n2, 63);
             Answer x;
             x << std::string(buf, 63) << n1 << n2;
             for (int i = 0; i < 16; ++i) x << a1[i] << a2[i];
             return x.s.str(); }},
        {"GETHANDLE", [](const Busy& b, int k) { int h; GETHANDLE(b.toggle + k, h); return std::to_string(h); }},
        {"GETTITLETYPE", [](const Busy&, int k) { int a; GETTITLETYPE(a); return std::to_string(a); }},
        {"LISTBOXENQUIRE", [](const Busy& b, int k) {
             char buf[32] = {};
             int r = 0;
             LISTBOXENQUIRE(b.list, 1 + k, r, buf, 31);
             return (Answer() << r << std::string(buf, 31)).s.str(); }},
        {"GETRESOURCECURSOR", [](const Busy& b, int k) { int c; GETRESOURCECURSOR(1 + k, c); return std::to_string(c); }},
        {"GETNUMBER", [](const Busy& b, int k) {
             char buf[32] = {};
             double v = 0;
             int st = 0;
             GETNUMBER(b.value, v, buf, st, 31);
             return (Answer() << v << st << std::string(buf, 31)).s.str(); }},
        {"GAGETCELLVALUE", [](const Busy& b, int k) {
             char buf[32] = {};
             double v = 0;
             GAGETCELLVALUE(b.grid, 1, 1, v, buf, 31);
             return (Answer() << v << std::string(buf, 31)).s.str(); }},
        {"GACELLATTRENQUIRY", [](const Busy& b, int k) {
             int v[8] = {};
             GACELLATTRENQUIRY(b.grid, 1, 1, 5, v);
             return (Answer() << v[0] << v[1] << v[2] << v[3] << v[4]).s.str(); }},
        {"GETCELLVALUELIMITS", [](const Busy& b, int k) {
             float lo = 0, hi = 0;
             int t = 0;
             GETCELLVALUELIMITS(b.grid, 1, 1, lo, hi, t);
             return (Answer() << lo << hi << t).s.str(); }},
        {"GETMINIMUM", [](const Busy&, int k) { int w, h; GETMINIMUM(w, h); return (Answer() << w << h).s.str(); }},
        {"GETSTRING", [](const Busy& b, int k) { char buf[32] = {}; GETSTRING(b.text, buf, 31); return std::string(buf, 31); }},
        {"GETTOGGLE", [](const Busy& b, int k) { int t; GETTOGGLE(b.toggle, t); return std::to_string(t); }},
        {"GETSLIDER", [](const Busy& b, int k) {
             int pos = 0;
             float sc = 0, mn = 0, inc = 0;
             GETSLIDER(b.slider, pos, sc, mn, inc);
             return (Answer() << pos << sc << mn << inc).s.str(); }},
        {"GETTREEENTRY", [](const Busy& b, int k) { char buf[32] = {}; GETTREEENTRY(b.entry, buf, 31); return std::string(buf, 31); }},
        {"SCROLLBARENQ", [](const Busy& b, int k) { int x, y; SCROLLBARENQ(b.grid, x, y); return (Answer() << x << y).s.str(); }},
        {"GASCROLLBARENQ", [](const Busy& b, int k) { int x, y; GASCROLLBARENQ(b.grid, x, y); return (Answer() << x << y).s.str(); }},
        {"GETTIMERCALLBACKS", [](const Busy&, int k) { int a, b, c, d; GETTIMERCALLBACKS(a, b, c, d); return (Answer() << a << b << c << d).s.str(); }},
        {"GETESCAPECALLBACKS", [](const Busy&, int k) {
             int a, b, c, d, e, f;
             GETESCAPECALLBACKS(a, b, c, d, e, f);
             return (Answer() << a << b << c << d << e << f).s.str(); }},
        {"ENQWIDGETPROP", [](const Busy& b, int k) {
             int i = 0;
             double d = 0;
             char buf[16] = {};
             ENQWIDGETPROP(b.toggle, 3 + k, i, d, buf, 15);
             return (Answer() << i << d << std::string(buf, 15)).s.str(); }},
        {"GETGLOBALSIZE", [](const Busy&, int k) { int w, h; GETGLOBALSIZE(10 + k, 5, w, h); return (Answer() << w << h).s.str(); }},
        {"GETRENDER", [](const Busy& b, int k) { int r; GETRENDER(b.frame + k, r); return std::to_string(r); }},
        {"GETBITMAPSIZE", [](const Busy& b, int k) { int w, h; GETBITMAPSIZE(b.frame, w, h); return (Answer() << w << h).s.str(); }},
        {"GETFRAMESCALE", [](const Busy& b, int k) {
             float a, c, d, e;
             GETFRAMESCALE(b.frame, a, c, d, e);
             return (Answer() << a << c << d << e).s.str(); }},
        {"GETSYSCOLOUR", [](const Busy&, int k) { int r, g, bl; GETSYSCOLOUR(11 + k, r, g, bl); return (Answer() << r << g << bl).s.str(); }},
        {"GETSTRINGWIDTH", [](const Busy&, int k) { return std::to_string(GETSTRINGWIDTH("abc", 2 + k)); }},
        {"IGETNEXTIDENTIFIER", [](const Busy&, int k) { return std::to_string(IGETNEXTIDENTIFIER()); }},
        {"IGETWIDGETTYPE", [](const Busy& b, int k) { return std::to_string(IGETWIDGETTYPE(b.toggle)); }},
        {"LISTBOXSTATUS", [](const Busy& b, int k) { int x, y, z; LISTBOXSTATUS(b.list, x, y, z); return (Answer() << x << y << z).s.str(); }},
    };
    return m;
}
// Entries whose names read like questions but that ask the user or select: GETBITMAP selects a
// frame for drawing, GETRGBCOLOR runs the colour dialog.
const std::set<std::string> kNotAskers = {"GETBITMAP", "GETRGBCOLOR"};
bool asker_name(const std::string& n) {
    return (n.rfind("GET", 0) == 0 || n.rfind("IGET", 0) == 0 || n.find("ENQ") != std::string::npos ||
            n.rfind("LISTBOXSTATUS", 0) == 0) &&
           !kNotAskers.count(n);
}

// Whether the entry answers the same in a fresh model and in a busy one, to both askings.
bool answers_a_constant(const Asker& ask) {
    wl::reset_model();
    const Busy busy = make_busy();
    const std::string first = ask(busy, 0);
    bool same = ask(busy, 1) == first;
    wl::reset_model();
    for (int k = 0; k <= 1; ++k) same = same && ask(busy, k) == first;
    return same;
}

// The class the entry's handler earns when it is tried, with what it does when that lowers the
// class it is given (Done if trying tells nothing).
wl::Coverage tried_class(const std::string& name, std::string& what, std::vector<std::string>& untried) {
    if (maker_name(name)) {
        const auto it = makers().find(name);
        if (it == makers().end()) {
            untried.push_back(name);
            return wl::Coverage::Done;
        }
        if (!makes_shown_widgets(it->second)) {
            what = "makes a widget the real window does not show";
            return wl::Coverage::Kept;
        }
    }
    if (asker_name(name)) {
        const auto it = askers().find(name);
        if (it == askers().end()) {
            untried.push_back(name);
            return wl::Coverage::Done;
        }
        if (answers_a_constant(it->second)) {
            what = "answers the same whatever the model holds";
            return wl::Coverage::Refused;
        }
    }
    return wl::Coverage::Done;
}

struct Row {
    std::string name;
    wl::Coverage coverage;
    std::string what;
};

std::string counts(const std::vector<Row>& rows) {
    int n[3] = {0, 0, 0};
    for (const Row& r : rows) ++n[int(r.coverage)];
    return std::to_string(rows.size()) + ": " + std::to_string(n[0]) + " done, " + std::to_string(n[1]) +
           " kept but not shown, " + std::to_string(n[2]) + " refused";
}

std::string table(const std::vector<Row>& rows, const char* head) {
    std::string t = std::string("| ") + head + " | class | what |\n|---|---|---|\n";
    for (const Row& r : rows) t += "| " + r.name + " | " + wl::coverage_name(r.coverage) + " | " + r.what + " |\n";
    return t;
}

// The table made from the code now, with the entries' classes named that no entry the toolkit
// calls has (stale names).
std::string make_table(std::vector<std::string>& stale, std::vector<std::string>& untried) {
    const std::string sources = toolkit_sources();
    std::map<std::string, const wl::EntryCoverage*> not_done;
    for (const wl::EntryCoverage& e : wl::entries_not_done()) not_done[e.entry] = &e;

    std::vector<Row> entries;
    for (const std::string& name : declared_entries()) {
        if (!mentions(sources, name)) continue;
        Row row{"`" + name + "`", wl::Coverage::Done, name == "ESCAPEROUTINE" ? "dispatches the escape operations below" : ""};
        auto it = not_done.find(name);
        if (it != not_done.end()) {
            row.coverage = it->second->coverage;
            row.what = it->second->what;
            not_done.erase(it);
        }
        // What the handler does when tried can only lower the class it is given.
        std::string tried_what;
        const wl::Coverage tried = tried_class(name, tried_what, untried);
        if (int(tried) > int(row.coverage)) {
            row.coverage = tried;
            row.what = tried_what;
        }
        entries.push_back(row);
    }
    wl::reset_model();
    for (const auto& [name, e] : not_done) stale.push_back(name);

    std::map<int, Row> by_op;
    for (const int op : sent_operations(sources))
        by_op[op] = {"", wl::Coverage::Refused, "no handler: recorded, answers nothing"};
    for (const wl::EscapeOperation& e : wl::escape_operations()) by_op[e.op] = {"", e.coverage, e.what};
    // Consecutive operations alike make one row.
    std::vector<Row> ops;
    for (auto it = by_op.begin(); it != by_op.end();) {
        auto last = it;
        for (auto next = std::next(it); next != by_op.end() && next->first == std::prev(next)->first + 1 &&
                                        next->second.coverage == it->second.coverage && next->second.what == it->second.what;
             ++next)
            last = next;
        Row r = it->second;
        r.name = std::to_string(it->first) + (last != it ? "-" + std::to_string(last->first) : "");
        ops.push_back(r);
        it = std::next(last);
    }
    int op_count = 0;
    int n[3] = {0, 0, 0};
    for (const auto& [op, r] : by_op) {
        ++op_count;
        ++n[int(r.coverage)];
    }

    std::string md =
        "# What the widget library does with each request\n\n"
        "Every entry of the widget library (`code/platform`) that the toolkit layer (`code/gui_toolkit`) calls, and\n"
        "every escape operation it sends, with what the library does with it:\n\n"
        "- **done**: it acts on it: shown in the window, delivered as an event, or answered;\n"
        "- **kept, not shown**: the model keeps it (set and read back), but no front end shows it or acts on it;\n"
        "- **refused**: nothing is kept: it answers zeros, blanks or a failure, or does nothing.\n\n"
        "This file is made from the library's own dispatch: the escape table (`set_escape_handler`, with each\n"
        "operation's class) and the classes of the entries that are not done (`code/platform/coverage.cpp`); an\n"
        "escape operation without a handler is refused. Every entry that makes widgets or answers is also tried:\n"
        "one whose widgets the real window does not show is at best kept, not shown, and one that answers the same\n"
        "whatever the model holds is refused. `test_platform` (`CoverageTable.*`) fails when it differs\n"
        "from what the code says; `KV_WRITE_COVERAGE=1 build/tests/test_platform --gtest_filter='CoverageTable.*'`\n"
        "writes it afresh.\n\n"
        "## Entries: " +
        counts(entries) + "\n\n" + table(entries, "entry") + "\n## Escape operations: " + std::to_string(op_count) +
        ": " + std::to_string(n[0]) + " done, " + std::to_string(n[1]) + " kept but not shown, " +
        std::to_string(n[2]) + " refused\n\n" + table(ops, "operation");
    return md;
}

TEST(CoverageTable, TheCommittedTableIsTheOneTheCodeMakes) {
    std::vector<std::string> stale, untried;
    const std::string made = make_table(stale, untried);
    if (std::getenv("KV_WRITE_COVERAGE")) std::ofstream(kTable, std::ios::binary) << made;
    EXPECT_TRUE(stale.empty()) << "classes named for entries the toolkit layer does not call: " << stale.front();
    EXPECT_TRUE(untried.empty()) << "an entry that makes widgets or answers, not tried here: " << untried.front();
    const std::string committed = read(kTable);
    if (committed == made) return;
    // The first line that differs, for the report.
    std::istringstream a(committed), b(made);
    std::string la, lb;
    int line = 0;
    while (true) {
        ++line;
        const bool ga = bool(std::getline(a, la)), gb = bool(std::getline(b, lb));
        if (!ga || !gb || la != lb) break;
    }
    ADD_FAILURE() << kTable.string() << " is not the table the code makes (KV_WRITE_COVERAGE=1 writes it); line "
                  << line << ":\n  committed: " << la << "\n  made:      " << lb;
}

TEST(CoverageTable, EveryHandledOperationHasAClassAndASaying) {
    for (const wl::EscapeOperation& e : wl::escape_operations()) EXPECT_FALSE(e.what.empty()) << e.op;
}

}  // namespace
