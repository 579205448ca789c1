// Entries of our widget library: each acts on the model and shows through the front end.
#include "platform/wingui.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>

#include "platform/frontend.h"
#include "platform/graphics_model.h"
#include "platform/model.h"
#include "platform/transcript.h"
#include "platform/widget_extra.h"
#include "platform/widget_more.h"
#include "runtime/fatal.h"

namespace {

using wl::model;
using wl::rtrim;

// Pixels per character of the library's system font.
constexpr int kCharWidth = 8;

// Lengths of the two lists of a widget description (GETWIDGETINFO).
constexpr int kInfoInts = 43, kInfoReals = 6;
// The largest help file shown (bytes); a larger one is refused rather than read whole.
constexpr std::size_t kHelpLimit = std::size_t(16) << 20;

struct EscapeEntry {
    wl::Coverage coverage = wl::Coverage::Done;
    std::string what;
    EscapeHandler fn;
};

std::map<int, EscapeEntry>& escape_table() {
    static std::map<int, EscapeEntry> h;
    return h;
}

void install_escapes();

// The escape table, complete: the library's own operations are installed on first use (so that
// every program and test that reaches the escape entry has them all, and a handler a test
// installs later takes the place of the library's).
std::map<int, EscapeEntry>& escape_handlers() {
    static bool installed = false;
    if (!installed) {
        installed = true;
        install_escapes();
        wl::install_extra_escapes();
        wl::install_more_escapes();
    }
    return escape_table();
}

void set_callback(wl::Cb kind, int widget, int callback) {
    if (wl::Widget* w = model().find(widget)) {
        if (callback == 0)
            w->callbacks.erase(kind);
        else
            w->callbacks[kind] = callback;
    }
}

}  // namespace

// ---- identity and kinds ----

int IGETNEXTIDENTIFIER() { return model().next_id; }

int IGETWIDGETTYPE(int widget) { return model().kind_of(widget); }

// ---- the program's resources ----

void REGHANDLETABLE(const int* handles, int groups, int items) {
    wl::trace_call("REGHANDLETABLE", groups, items);
    wl::set_handle_table({handles, std::max(groups, 0), std::max(items, 0)});
}

void REGIMAGE(std::string_view name, std::span<const char* const> xpm) {
    wl::trace_call("REGIMAGE", name);
    wl::set_program_image(name, xpm);
}

// ---- start, end ----

void WININIT() {
    wl::trace_call("WININIT");
    model().started = true;
}

void WINEXIT() {
    wl::trace_call("WINEXIT");
    auto& m = model();
    // Dialogs first, the master window last.
    for (auto it = m.widgets.rbegin(); it != m.widgets.rend(); ++it)
        if (it->second.shown) {
            it->second.shown = false;
            if (it->second.is_window()) {
                wl::transcript::write("hide " + rtrim(it->second.caption));
                wl::frontend().hide_window(m, it->first);
            }
        }
    m.set_timer(0, 0);
    m.started = false;
    wl::frontend().shutdown(m);
}

void DRAWTITLE() { wl::trace_call("DRAWTITLE"); }
void REMOVETITLE() { wl::trace_call("REMOVETITLE"); }

// ---- events and timer ----

namespace {

// What a user typed into a value entry and it could not take: a box, titled as the master
// window, shows the text and what the entry expects; the entry shows its kept number again.
// What the user did since the edit (the OK press that ended it, a click while the box was up)
// is dropped, so that no dialog goes on with a number the user did not type; the exit request
// stays.
void refuse_typed_text(wl::Model& m) {
    const int id = m.refused_entry;
    const std::string typed = m.refused_text;
    m.refused_entry = 0;
    if (wl::Widget* w = m.find(id)) {
        // The entry still shows what was typed: its text is shown again whatever it was.
        w->text = wl::value_text(w->value, w->field_width, w->decimals);
        m.mark(id, wl::CHANGED_TEXT | wl::CHANGED_VALUE);
    }
    const auto drop_actions = [&m] {
        m.queue.erase(std::remove_if(m.queue.begin(), m.queue.end(),
                                     [](const wl::Event& e) { return e.callback != wl::EXIT_REQUEST; }),
                      m.queue.end());
    };
    drop_actions();
    const wl::Widget* master = m.find(1);
    ERRORBOX(master ? master->caption : std::string(), wl::refusal_text(typed, m.refused_too_large), 0);
    drop_actions();
}

}  // namespace

namespace {
void (*end_request_handler)() = nullptr;
void (*display_lost_handler)() = nullptr;
}  // namespace

void wl::on_end_request(void (*handler)()) { end_request_handler = handler; }
void wl::on_display_lost(void (*handler)()) { display_lost_handler = handler; }
void wl::end_without_display() {
    if (display_lost_handler) display_lost_handler();
}

int IWINACTION(int& callback, int& x, int& y, int& widget, int& kind, int& extra) {
    auto& m = model();
    wl::Event e;
    for (;;) {
        if (rt::end_signal_received()) {
            if (end_request_handler) end_request_handler();
            // Unregistered: the exit request, as from the master window's close box.
            e = wl::Event{};
            e.callback = -1;
            e.widget = 1;
            break;
        }
        if (m.refused_entry != 0) {
            refuse_typed_text(m);
            continue;
        }
        if (m.pop(e)) break;
        wl::frontend().pump(m);
    }
    m.last = e;
    callback = e.callback;
    x = e.x;
    y = e.y;
    widget = e.widget;
    kind = e.kind;
    extra = e.extra;
    wl::trace_call("IWINACTION", callback);
    return callback;
}

void SETCALLTIME(int interval, int callback) {
    wl::trace_call("SETCALLTIME", interval, callback);
    auto& m = model();
    m.set_timer(interval, callback);
    wl::frontend().timer_changed(m);
}

void GETACTIONINFO(int& i1, int& i2, int& i3, int& i4) { i1 = i2 = i3 = i4 = 0; }

void SETCALLBACK(int widget, int callback) {
    wl::trace_call("SETCALLBACK", widget, callback);
    set_callback(wl::Cb::Action, widget, callback);
}
void SETCALLSELECT(int widget, int callback) {
    wl::trace_call("SETCALLSELECT", widget, callback);
    set_callback(wl::Cb::Select, widget, callback);
}
void SETCALLMOVE(int widget, int callback) {
    wl::trace_call("SETCALLMOVE", widget, callback);
    set_callback(wl::Cb::Move, widget, callback);
}
void SETCALLLOSE(int widget, int callback) {
    wl::trace_call("SETCALLLOSE", widget, callback);
    set_callback(wl::Cb::LoseFocus, widget, callback);
}
void SETCALLEXPOSE(int widget, int callback) {
    wl::trace_call("SETCALLEXPOSE", widget, callback);
    set_callback(wl::Cb::Expose, widget, callback);
}
void REGHOTKEY(int key, int callback) {
    wl::trace_call("REGHOTKEY", key, callback);
    if (callback == 0)
        model().hotkeys.erase(key);
    else
        model().hotkeys[key] = callback;
}

// ---- boxes and the file browser ----

void ERRORBOX(std::string_view title, std::string_view text, int kind) {
    wl::trace_call("ERRORBOX", rtrim(title), rtrim(text), kind);
    auto& m = model();
    wl::BoxRecord b;
    b.title = rtrim(title);
    b.text = rtrim(text);
    m.boxes.push_back(b);
    wl::transcript::write("box " + b.title + " | " + b.text);
    wl::frontend().error_box(m, b.title, b.text, kind);
}

void GENERALMESSAGE(int icon, int buttons, int& answer, std::string_view title, std::string_view text) {
    wl::trace_call("GENERALMESSAGE", icon, buttons, rtrim(title), rtrim(text));
    auto& m = model();
    wl::BoxRecord b;
    b.title = rtrim(title);
    b.text = rtrim(text);
    b.icon = icon;
    b.buttons = buttons;
    b.question = wl::box_asks(buttons);
    m.boxes.push_back(b);
    if (!b.question) wl::transcript::write("box " + b.title + " | " + b.text);
    answer = wl::frontend().message_box(m, b.title, b.text, icon, buttons);
    m.boxes.back().answer = answer;
    if (b.question) wl::transcript::write("ask " + b.title + " | " + b.text + " -> " + std::to_string(answer));
}

namespace {

// The caller's name field without its trailing blanks; a field that holds anything but
// printable text (never set by the caller) proposes nothing.
std::string proposed_name(const char* name, int name_len) {
    std::string t = rtrim(std::string_view(name, std::size_t(name_len)));
    for (const char ch : t)
        if (static_cast<unsigned char>(ch) < 0x20 || ch == 0x7f) return std::string();
    return t;
}

}  // namespace

wl::FileAnswer GETOPENFILENAME(const wl::FileRequest& request) {
    wl::trace_call("GETOPENFILENAME", request.caption);
    return wl::choose_file(request);
}

void OPENBROWSE(int mode, char* name, int name_len, std::string_view directory, std::string_view filter) {
    wl::trace_call("OPENBROWSE", mode, rtrim(directory), rtrim(filter));
    auto& m = model();
    wl::FileRequest r;
    r.caption = m.reg.title;
    r.directory = rtrim(directory);
    // What the caller's name field holds on entry is proposed; a cancel leaves it blank.
    if (name_len > 0) r.name = proposed_name(name, name_len);
    rt::fill_text(name, name_len, "");
    r.save = mode == 1;
    // "pattern|label|pattern|label"
    std::string f = rtrim(filter);
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= f.size() && !f.empty()) {
        std::size_t bar = f.find('|', start);
        if (bar == std::string::npos) bar = f.size();
        parts.push_back(f.substr(start, bar - start));
        start = bar + 1;
    }
    for (std::size_t k = 0; k < parts.size(); k += 2)
        r.filters.emplace_back(parts[k], k + 1 < parts.size() ? parts[k + 1] : std::string());
    wl::FileAnswer a = wl::choose_file(r);
    if (a.cancelled || a.path.empty()) return;

    namespace fs = std::filesystem;
    fs::path p(a.path);
    if (p.is_relative() && !r.directory.empty()) p = fs::path(r.directory) / p;
    const std::string base = p.filename().string();
    if (name_len < 0 || base.size() > std::size_t(name_len)) {
        ERRORBOX("ERROR", "File name too long (at most " + std::to_string(std::max(name_len, 0)) +
                              " characters): " + base, 0);
        return;
    }
    const fs::path dir = p.parent_path();
    if (!dir.empty() && ::chdir(dir.c_str()) != 0) {
        ERRORBOX("ERROR", "Cannot enter the directory " + dir.string(), 0);
        return;
    }
    rt::fill_text(name, name_len, base);
}

namespace wl {

FileAnswer choose_file(const FileRequest& r) {
    FileAnswer a = frontend().file_dialog(model(), r);
    // The file is written as the absolute path of what was chosen, however the user named it.
    if (!a.cancelled && !a.path.empty()) {
        std::filesystem::path p(a.path);
        std::error_code ec;
        if (p.is_relative()) p = std::filesystem::current_path(ec) / p;
        a.path = p.lexically_normal().string();
    }
    transcript::write("file " + rtrim(r.caption) + " -> " + (a.cancelled ? std::string("cancel") : a.path));
    if (!a.cancelled) a.path = with_default_extension(a.path, r.default_extension);
    return a;
}

}  // namespace wl

void REGBROWSETYPE(int type) {
    wl::trace_call("REGBROWSETYPE", type);
    model().reg.browse_type = type;
}

void DISPLAYHELP(std::string_view help_file, int& result, std::string_view command, std::string_view topic) {
    wl::trace_call("DISPLAYHELP", rtrim(help_file), rtrim(command), rtrim(topic));
    wl::HelpRequest r;
    r.file = rtrim(help_file);
    r.command = rtrim(command);
    r.topic = rtrim(topic);
    result = 1;
    std::FILE* in = r.file.empty() ? nullptr : std::fopen(r.file.c_str(), "rb");
    if (!in) return;
    char buf[8192];
    bool ok = true;
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, in)) > 0;) {
        r.text.append(buf, n);
        if (r.text.size() > kHelpLimit) {
            ok = false;
            break;
        }
    }
    if (std::ferror(in)) ok = false;
    std::fclose(in);
    // Only plain text and HTML are shown: a file holding control bytes other than white space (a
    // Windows help file, .hlp or .chm) is not, and the call says so.
    for (const char c : r.text) {
        const auto b = static_cast<unsigned char>(c);
        if ((b < 0x20 && b != '\t' && b != '\n' && b != '\v' && b != '\f' && b != '\r') || b == 0x7F) {
            ok = false;
            break;
        }
    }
    if (ok && wl::frontend().show_help(model(), r)) {
        wl::transcript::write("help " + r.file + (r.topic.empty() ? std::string() : " | " + r.topic));
        result = 0;
    }
}

// ---- windows ----

void OPENMASTER(int x, int y) {
    wl::trace_call("OPENMASTER", x, y);
    model().create(wl::KIND_MASTER, 0, x, y);
}

void OPENMDIMASTER(int x, int y) {
    wl::trace_call("OPENMDIMASTER", x, y);
    auto& m = model();
    const int id = m.create(wl::KIND_MASTER, 0, x, y);
    m.create(wl::KIND_MDI, id, 0, 0);  // the client area, widget 2
}

void OPENWINDOW(int parent, int x, int y, int& id) {
    wl::trace_call("OPENWINDOW", parent, x, y);
    id = model().create(wl::KIND_DIALOG, parent, x, y);
}

void OPENMDIWINDOW(int parent, int x, int y, int& id) {
    wl::trace_call("OPENMDIWINDOW", parent, x, y);
    id = model().create(wl::KIND_DIALOG, parent, x, y);
}

void WINDOWDRAW(int mode, int window) {
    wl::trace_call("WINDOWDRAW", mode, window);
    auto& m = model();
    wl::Widget* w = m.find(window);
    if (!w) return;
    if (!w->shown) {
        w->shown = true;
        if (w->is_window()) {
            wl::transcript::write("show " + rtrim(w->caption));
            wl::frontend().show_window(m, window);
        } else {
            wl::frontend().redraw(m, window);
        }
    } else {
        wl::frontend().redraw(m, window);
    }
}

void WINDOWREMOVE(int window) {
    wl::trace_call("WINDOWREMOVE", window);
    auto& m = model();
    wl::Widget* w = m.find(window);
    if (!w || !w->shown) return;
    w->shown = false;
    if (w->is_window()) {
        wl::transcript::write("hide " + rtrim(w->caption));
        wl::frontend().hide_window(m, window);
    } else {
        wl::frontend().redraw(m, window);
    }
    if (m.active_window == window) m.active_window = 1;
}

void WINDOWACTION(int window) {
    wl::trace_call("WINDOWACTION", window);
    model().active_window = window;
}

namespace {

// Raises or lowers a shown window; the sign of the number does not matter.
void restack(int window, bool top) {
    auto& m = model();
    const int id = window == INT_MIN ? 0 : std::abs(window);
    const wl::Widget* w = m.find(id);
    if (w && w->is_window() && w->shown) wl::frontend().restack(m, id, top);
}

}  // namespace

void WINDOWPOP(int window) {
    wl::trace_call("WINDOWPOP", window);
    restack(window, true);
}

void WINDOWPUSH(int window) {
    wl::trace_call("WINDOWPUSH", window);
    restack(window, false);
}
void WINDOWFREEZE(int window, int a, int b) { wl::trace_call("WINDOWFREEZE", window, a, b); }

void WINDOWICON(int window, std::string_view icon, int a, int b, int kind_flag, int& status) {
    wl::trace_call("WINDOWICON", window, rtrim(icon), a, b, kind_flag);
    const std::string name = rtrim(icon);
    status = 0;
    // Resource names ("#101") are built in; anything else is an image file.
    if (name.empty() || (name[0] != '#' && !std::filesystem::exists(name))) {
        status = 37;
        return;
    }
    if (wl::Widget* w = model().find(window)) w->icon = name;
}

void GETWINVER(int& style) { style = 0; }

void ACTIVATEWIDGET(int widget) {
    wl::trace_call("ACTIVATEWIDGET", widget);
    model().focus = widget;
}

void REDRAWWIDGET(int widget) {
    wl::trace_call("REDRAWWIDGET", widget);
    auto& m = model();
    if (m.find(widget)) wl::frontend().redraw(m, widget);
}

void REMOVEWINDOW(int widget) {
    wl::trace_call("REMOVEWINDOW", widget);
    auto& m = model();
    wl::Widget* w = m.find(widget);
    if (!w) return;
    if (w->is_window())
        WINDOWREMOVE(widget);
    else
        m.set_state(widget, wl::STATE_HIDDEN);
}

void CURSORWAIT(int on) {
    wl::trace_call("CURSORWAIT", on);
    auto& m = model();
    if (m.busy_cursor == (on != 0)) return;
    m.busy_cursor = on != 0;
    wl::frontend().cursor_changed(m);
}

void SETGRAPHICSCURSOR(int frame, int cursor, int third) {
    wl::trace_call("SETGRAPHICSCURSOR", frame, cursor, third);
}

// ---- layout grid ----

void GETGRIDAREA(int& a, int& b, int& c, int& d) {
    const auto& m = model();
    a = m.grid_nx;
    b = m.grid_ny;
    gfx::cell_size(c, d);
}

void SETGRIDAREA(int nx, int ny) {
    wl::trace_call("SETGRIDAREA", nx, ny);
    model().grid_nx = nx;
    model().grid_ny = ny;
}

void SETGRIDMODE(int mode) {
    wl::trace_call("SETGRIDMODE", mode);
    model().grid_mode = mode;
}

void GETGRIDMODE(int& mode) { mode = model().grid_mode; }

// ---- registrations ----

void REGMINIMUM(int width, int height) {
    wl::trace_call("REGMINIMUM", width, height);
    model().reg.min_w = width;
    model().reg.min_h = height;
}
void REGMAXIMUM(int width, int height) {
    wl::trace_call("REGMAXIMUM", width, height);
    model().reg.max_w = width;
    model().reg.max_h = height;
}
void REGTITLETYPE(int type) {
    wl::trace_call("REGTITLETYPE", type);
    model().reg.title_type = type;
}
void REGTITLESTRING(std::string_view text, int len) {
    len = std::clamp(len, 0, int(text.size()));
    wl::trace_call("REGTITLESTRING", text.substr(0, std::size_t(len)), len);
    model().reg.title = std::string(text.substr(0, std::size_t(len)));
}
void REGPOSITION(int code, int expansion) {
    wl::trace_call("REGPOSITION", code, expansion);
    model().reg.position_code = code;
    model().reg.expansion = expansion;
}
void SETREMOVEMODE(int mode) {
    wl::trace_call("SETREMOVEMODE", mode);
    model().reg.remove_mode = mode;
}
void REGBUILDMODE(int mode) {
    wl::trace_call("REGBUILDMODE", mode);
    model().reg.build_mode = mode;
}
void SETDRAWMODE(int mode) {
    wl::trace_call("SETDRAWMODE", mode);
    model().reg.draw_mode = mode;
}

void register_other(std::string_view entry, std::initializer_list<double> values) {
    if (model().trace_on) {
        std::string args;
        for (double v : values) {
            if (!args.empty()) args += ", ";
            char buf[40];
            std::snprintf(buf, sizeof buf, "%.17g", v);
            args += buf;
        }
        model().trace.push_back(std::string(entry) + "(" + args + ")");
    }
    model().reg.other[std::string(entry)] = std::vector<double>(values);
}

void REGTOGGLEATTR(int a, int b, int c) { register_other("REGTOGGLEATTR", {double(a), double(b), double(c)}); }
void REGTOGGLESIZE(int size) { register_other("REGTOGGLESIZE", {double(size)}); }
void REGTOGGLETYPE(int type) { register_other("REGTOGGLETYPE", {double(type)}); }
void REGBUTTONATTR(int a, int b, int c) { register_other("REGBUTTONATTR", {double(a), double(b), double(c)}); }
void REGBUTTONSIZE(int size) { register_other("REGBUTTONSIZE", {double(size)}); }
void REGBUTTONTYPE(int type) { register_other("REGBUTTONTYPE", {double(type)}); }
void REGVALUEATTR(int a, int b, int c, int d) {
    register_other("REGVALUEATTR", {double(a), double(b), double(c), double(d)});
}
void REGVALUETYPE(int a, int b) { register_other("REGVALUETYPE", {double(a), double(b)}); }
void REGTEXTATTR(int a, int b, int c, int d) {
    register_other("REGTEXTATTR", {double(a), double(b), double(c), double(d)});
}
void REGTEXTTYPE(int a, int b) { register_other("REGTEXTTYPE", {double(a), double(b)}); }
void REGSLIDERSIZE(int size) { register_other("REGSLIDERSIZE", {double(size)}); }
void REGPANELTYPE(int type) { register_other("REGPANELTYPE", {double(type)}); }
void REGICONTYPE(int type) { register_other("REGICONTYPE", {double(type)}); }
void REGVALUESIZE(int size) { register_other("REGVALUESIZE", {double(size)}); }
void REGTEXTSIZE(int size) { register_other("REGTEXTSIZE", {double(size)}); }
void REGICONSIZE(int size) { register_other("REGICONSIZE", {double(size)}); }

// ---- widget status and attributes ----

void WIDGETSTATUS(int widget, int status, int& lib_status) {
    wl::trace_call("WIDGETSTATUS", widget, status);
    auto& m = model();
    lib_status = 0;
    wl::Widget* w = m.find(widget);
    if (!w) {
        lib_status = 26;
        return;
    }
    const bool plain = status == wl::STATE_ACTIVE || status == wl::STATE_GREYED || status == wl::STATE_HIDDEN;
    if (w->kind == wl::KIND_MASTER) {
        lib_status = 54;  // the master window's status cannot change
        return;
    }
    if (!plain) {
        if ((status == 2 || status == 3) && (w->kind == wl::KIND_BUTTON || w->kind == wl::KIND_TOGGLE))
            return;  // default-button marks: the state stays
        switch (w->kind) {
        case wl::KIND_MENUENTRY: case wl::KIND_MENUTITLE: case wl::KIND_SEPARATOR: lib_status = 49; break;
        case wl::KIND_BUTTON: case wl::KIND_TOGGLE: lib_status = 50; break;
        case wl::KIND_TEXT: case wl::KIND_VALUE: case wl::KIND_EDITOR: case wl::KIND_COMBO: lib_status = 51; break;
        default: lib_status = 52; break;
        }
        return;
    }
    m.set_state(widget, status);
}

void ADDWIDGETHELP(int widget, int help_kind, std::string_view text, int len) {
    len = std::clamp(len, 0, int(text.size()));
    wl::trace_call("ADDWIDGETHELP", widget, help_kind, text.substr(0, std::size_t(len)));
    if (wl::Widget* w = model().find(widget)) {
        w->help_kind = help_kind;
        w->help = std::string(text.substr(0, std::size_t(len)));
    }
}

void GETWIDGETINFO(int widget, char* buffer, int* a1, int& n1, int* a2, int& n2, int len) {
    std::string s;
    std::array<int, kInfoInts> info{};
    std::array<float, kInfoReals> reals{};
    if (const wl::Widget* w = model().find(widget)) {
        s = w->text.empty() ? w->caption : w->text;
        info[0] = w->x;
        info[1] = w->y;
        info[2] = w->reg.min_w;
        info[3] = w->reg.min_h;
        info[4] = w->reg.position_code;
        info[5] = w->reg.expansion;
        info[12] = w->parent;
        info[13] = w->id;
        info[14] = w->kind;
        info[28] = w->state;
        if (w->kind == wl::KIND_FRAME || w->kind == wl::KIND_FRAME3D) {
            float xr = 0, yr = 0, x0 = 0, y0 = 0;
            GETFRAMESCALE(widget, xr, yr, x0, y0);
            reals = {x0, y0, 0.0f, xr, yr, 0.0f};
        } else if (w->kind == wl::KIND_VALUE) {
            reals[5] = float(w->value);
        }
    }
    rt::fill_text(buffer, len, s);
    if (a1)
        for (int k = 0; k < std::min(n1, kInfoInts); ++k) a1[k] = info[std::size_t(k)];
    if (a2)
        for (int k = 0; k < std::min(n2, kInfoReals); ++k) std::memcpy(&a2[k], &reals[std::size_t(k)], sizeof(float));
}

void SETWIDGETINFO(int widget, std::string_view text, const int*, int n1, const int*, int n2, int len) {
    len = std::clamp(len, 0, int(text.size()));
    wl::trace_call("SETWIDGETINFO", widget, text.substr(0, std::size_t(len)), n1, n2);
    auto& m = model();
    m.set_caption(widget, text.substr(0, std::size_t(len)));
}

void GETHANDLE(int widget, int& handle) { handle = widget; }

int GETSTRINGWIDTH(std::string_view text, int len) {
    len = std::clamp(len, 0, int(text.size()));
    return len * kCharWidth;
}

// ---- escape entry ----

void set_escape_handler(int op, wl::Coverage coverage, std::string_view what, EscapeHandler fn) {
    escape_handlers()[op] = {coverage, std::string(what), std::move(fn)};
}

void set_escape_handler(int op, EscapeHandler fn) {
    if (fn)
        escape_handlers()[op] = {wl::Coverage::Done, std::string(), std::move(fn)};
    else
        escape_handlers().erase(op);
}

namespace wl {

const char* coverage_name(Coverage c) {
    switch (c) {
        case Coverage::Done: return "done";
        case Coverage::Kept: return "kept, not shown";
        case Coverage::Refused: return "refused";
    }
    return "";
}

std::vector<EscapeOperation> escape_operations() {
    std::vector<EscapeOperation> ops;
    for (const auto& [op, e] : escape_handlers()) ops.push_back({op, e.coverage, e.what});
    return ops;
}

}  // namespace wl

namespace {

// The escape operations of the event queue and the event itself.
void install_escapes() {
    using wl::Coverage;
    set_escape_handler(90, Coverage::Refused, "event text: answers a blank text",
                       [](int, const int(&)[6], int&, int&, char* text, int len) { rt::fill_text(text, len, ""); });
    // Nothing prints a text widget (PRINTTEXTFILE): the status of the print is a failure.
    set_escape_handler(67, Coverage::Refused, "status of the last text print: answers 1, failed (nothing is printed)",
                       [](int, const int(&)[6], int& o1, int&, char*, int) { o1 = 1; });
    set_escape_handler(1210, Coverage::Done, "discards the queued events, and the clicks still on their way",
                       [](int, const int(&)[6], int&, int&, char*, int) {
                           auto& m = model();
                           wl::frontend().gather_input(m);  // clicks still on their way to the queue go with it
                           m.queue.clear();
                           m.drop_repeated_click = true;
                       });
    for (int op = 1220; op <= 1250; ++op)
        set_escape_handler(op, Coverage::Done, "queues callback p1 with action op - 1220",
                           [](int op2, const int(&p)[6], int&, int&, char*, int) {
                               wl::Event e;
                               e.callback = p[0];
                               e.extra = op2 - 1220;
                               model().post(e);
                           });
    set_escape_handler(2720, Coverage::Done, "answers 1 when some widget carries callback p1",
                       [](int, const int(&p)[6], int& o1, int&, char*, int) {
                           o1 = 0;
                           for (const auto& [id, w] : model().widgets)
                               for (const auto& [k, cb] : w.callbacks)
                                   if (cb == p[0]) o1 = 1;
                       });
}

}  // namespace

void ESCAPEROUTINE(int op, int p1, int p2, int p3, int p4, int p5, int p6, int& o1, int& o2,
                   char* text, int len) {
    wl::trace_call("ESCAPEROUTINE", op, p1, p2, p3, p4, p5, p6);
    auto& m = model();
    auto it = escape_handlers().find(op);
    if (it != escape_handlers().end() && it->second.fn) {
        const int p[6] = {p1, p2, p3, p4, p5, p6};
        it->second.fn(op, p, o1, o2, text, len);
        return;
    }
    m.escapes.push_back({op, p1, p2, p3, p4, p5, p6});
}

// ---- the message console ----

extern "C" void errormessage_(const int* title, const int* text, const int* ntitle, const int* ntext,
                              const int* code) {
    auto decode = [](const int* codes, const int* n) {
        std::string s;
        const int count = n ? std::clamp(*n, 0, 256) : 0;
        for (int k = 0; k < count; ++k) s += char(static_cast<unsigned char>(codes[k] & 0xFF));
        return s;
    };
    wl::ConsoleMessage msg;
    msg.title = decode(title, ntitle);
    msg.text = decode(text, ntext);
    msg.code = code ? *code : 0;
    auto& m = model();
    m.console.push_back(msg);
    wl::trace_call("errormessage_", msg.title, msg.text, msg.code);
    wl::frontend().console(m, msg);
}

extern "C" void registerconsole_(const int* a, const int* b) {
    model().console_setting[0] = a ? *a : 0;
    model().console_setting[1] = b ? *b : 0;
}
