// The widget model: widgets, registrations, event queue and timer.
#include "platform/model.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cfloat>
#include <cmath>
#include <cstdlib>

namespace wl {

Model& model() {
    static Model m;
    return m;
}

namespace {
std::map<std::string, std::function<void()>>& hooks() {
    static std::map<std::string, std::function<void()>> h;
    return h;
}
}  // namespace

void reset_model() {
    model() = Model();
    for (auto& [key, fn] : hooks())
        if (fn) fn();
}

namespace {
HandleTable& handle_table() {
    static HandleTable t;
    return t;
}
std::map<std::string, std::span<const char* const>, std::less<>>& images() {
    static std::map<std::string, std::span<const char* const>, std::less<>> i;
    return i;
}
}  // namespace

BoxButtons box_buttons(int buttons) {
    BoxButtons b;
    switch (buttons & 0xff) {
        case 1: b.buttons = {{"OK", 1}, {"Cancel", 2}}; break;
        case 2: b.buttons = {{"Retry", 4}, {"Cancel", 2}}; break;
        case 3: b.buttons = {{"Yes", 2}, {"No", 3}}; break;
        case 4: b.buttons = {{"Yes", 6}, {"No", 7}, {"Cancel", 1}}; break;
        default: b.buttons = {{"OK", 1}}; break;
    }
    const std::size_t wanted = (buttons & BOX_DEFAULT_3) ? 2 : (buttons & BOX_DEFAULT_2) ? 1 : 0;
    b.enter = std::min(wanted, b.buttons.size() - 1);
    return b;
}

bool kind_built(int kind) {
    switch (kind) {
        case KIND_FRAME:
        case KIND_FRAME3D:
        case KIND_BUTTON:
        case KIND_TOGGLE:
        case KIND_TEXT:
        case KIND_VALUE:
        case KIND_EDITOR:
        case KIND_LISTBOX:
        case KIND_COMBO:
        case KIND_MENUBAR:
        case KIND_STATUSBAR:
        case KIND_RADIO:
        case KIND_ICON:
            return true;
        default:
            return false;
    }
}

bool shown_in_window(const Model& m, int id) {
    const Widget* w = m.find(id);
    if (!w) return false;
    if (w->is_window()) return true;
    const Widget* p = m.find(w->parent);
    if (!p) return false;
    switch (w->kind) {
        case KIND_MENUTITLE:
            return p->kind == KIND_MENUBAR && shown_in_window(m, p->id);
        case KIND_PULLDOWN:
            return p->kind == KIND_MENUTITLE && shown_in_window(m, p->id);
        case KIND_MENUENTRY:
        case KIND_SEPARATOR:
            return p->kind == KIND_PULLDOWN && shown_in_window(m, p->id);
        case KIND_TOGGLE:
            if (p->kind == KIND_RADIO) return shown_in_window(m, p->id);
            break;
        default:
            break;
    }
    return kind_built(w->kind) && p->is_window();
}

void set_handle_table(const HandleTable& table) { handle_table() = table; }

int slot_handle(int group, int item) {
    const HandleTable& t = handle_table();
    if (!t.handles || group < 1 || group > t.groups || item < 1 || item > t.items) return -1;
    return t.handles[std::size_t(item - 1) * std::size_t(t.groups) + std::size_t(group - 1)];
}

void set_program_image(std::string_view name, std::span<const char* const> xpm) {
    images()[std::string(name)] = xpm;
}

std::span<const char* const> program_image(std::string_view name) {
    auto it = images().find(name);
    return it == images().end() ? std::span<const char* const>() : it->second;
}

void add_reset_hook(const std::string& key, std::function<void()> fn) { hooks()[key] = std::move(fn); }

std::string format_call(std::string_view name, std::initializer_list<std::string> args) {
    std::string s(name);
    s += '(';
    bool first = true;
    for (const auto& a : args) {
        if (!first) s += ", ";
        s += a;
        first = false;
    }
    s += ')';
    return s;
}

Widget* Model::find(int id) {
    auto it = widgets.find(id);
    return it == widgets.end() ? nullptr : &it->second;
}

const Widget* Model::find(int id) const {
    auto it = widgets.find(id);
    return it == widgets.end() ? nullptr : &it->second;
}

int Model::kind_of(int id) const {
    const Widget* w = find(id);
    return w ? w->kind : KIND_NONE;
}

int Model::create(int kind, int parent, int x, int y) {
    Widget w;
    w.id = next_id++;
    w.kind = kind;
    w.parent = parent;
    w.x = x;
    w.y = y;
    w.reg = reg;
    w.properties[15] = kind;
    if (kind == KIND_MASTER || kind == KIND_WINDOW || kind == KIND_DIALOG) w.caption = reg.title;
    const int id = w.id;
    widgets[id] = std::move(w);
    if (Widget* p = find(parent); p && parent != id) {
        p->children.push_back(id);
        mark(parent, CHANGED_CHILDREN);
    }
    return id;
}

void Model::mark(int id, unsigned what) {
    Widget* w = find(id);
    if (!w || what == 0) return;
    if (w->changed == 0) changed_ids.push_back(id);
    w->changed |= what;
}

void Model::take_changes(std::vector<std::pair<int, unsigned>>& out) {
    out.clear();
    for (int id : changed_ids)
        if (Widget* w = find(id); w && w->changed != 0) {
            out.emplace_back(id, w->changed);
            w->changed = 0;
        }
    changed_ids.clear();
}

void Model::set_state(int id, int state) {
    Widget* w = find(id);
    if (!w || w->state == state) return;
    w->state = state;
    mark(id, CHANGED_STATE);
}

void Model::set_text(int id, std::string_view text) {
    Widget* w = find(id);
    if (!w || w->text == text) return;
    w->text = text;
    mark(id, CHANGED_TEXT);
}

void Model::set_caption(int id, std::string_view caption) {
    Widget* w = find(id);
    if (!w || w->caption == caption) return;
    w->caption = caption;
    mark(id, CHANGED_CAPTION);
}

int Model::window_of(int id) const {
    for (int guard = 0; guard < 100000; ++guard) {
        const Widget* w = find(id);
        if (!w) return 0;
        if (w->is_window()) return id;
        id = w->parent;
    }
    return 0;
}

bool Model::operable(int id) const {
    for (int guard = 0; guard < 100000; ++guard) {
        const Widget* w = find(id);
        if (!w) return false;
        if (w->state != STATE_ACTIVE) return false;
        if (w->is_window()) return w->shown;
        id = w->parent;
    }
    return false;
}

void Model::set_toggle(int id, int state) {
    Widget* w = find(id);
    if (!w) return;
    if (w->toggle != state) {
        w->toggle = state;
        mark(id, CHANGED_TOGGLE);
    }
    if (state != 0) {
        const Widget* p = find(w->parent);
        if (p && p->kind == KIND_RADIO)
            for (int sid : p->children) {
                Widget* o = find(sid);
                if (sid == id || !o || o->kind != KIND_TOGGLE || o->toggle == 0) continue;
                o->toggle = 0;
                mark(sid, CHANGED_TOGGLE);
            }
    }
}

int Model::click_toggle(int id, int state) {
    Widget* w = find(id);
    if (!w) return 0;
    const Widget* p = find(w->parent);
    if (state == 0 && p && p->kind == KIND_RADIO) return w->toggle;
    set_toggle(id, state);
    return w->toggle;
}

bool Model::post_callback(int id, Cb kind) {
    const Widget* w = find(id);
    if (!w) return false;
    const int cb = w->callback(kind);
    if (cb == 0) return false;
    Event e;
    e.callback = cb;
    e.widget = id;
    e.kind = w->event_kind();
    post(e);
    return true;
}

bool Model::tick_pending() const {
    return std::any_of(queue.begin(), queue.end(), [](const Event& e) { return e.tick; });
}

void Model::post_tick() {
    if (timer_callback == 0 || tick_pending()) return;
    Event e;
    e.callback = timer_callback;
    e.tick = true;
    queue.push_back(e);
}

void Model::set_timer(int interval, int callback) {
    queue.erase(std::remove_if(queue.begin(), queue.end(), [](const Event& e) { return e.tick; }),
                queue.end());
    timer_interval = interval;
    timer_callback = callback;
}

bool Model::press_key(int key) {
    auto it = hotkeys.find(key);
    if (it == hotkeys.end() || it->second == 0) return false;
    Event e;
    e.callback = it->second;
    e.extra = key;
    post(e);
    return true;
}

bool Model::pop(Event& e) {
    if (queue.empty()) return false;
    e = queue.front();
    queue.pop_front();
    return true;
}

namespace {
// The text without the white space around it.
std::string_view without_blanks(std::string_view text) {
    std::size_t a = 0, b = text.size();
    while (a < b && std::isspace(static_cast<unsigned char>(text[a]))) ++a;
    while (b > a && std::isspace(static_cast<unsigned char>(text[b - 1]))) --b;
    return text.substr(a, b - a);
}

// The syntax of a typed number; d is its value, an infinity when it lies beyond a double.
bool typed_syntax(std::string_view text, double& d) {
    std::string t(without_blanks(text));
    std::size_t i = 0;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    int digits = 0;
    bool point = false;
    for (; i < t.size(); ++i) {
        if (std::isdigit(static_cast<unsigned char>(t[i])))
            ++digits;
        else if (t[i] == '.' && !point)
            point = true;
        else
            break;
    }
    if (digits == 0) return false;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E' || t[i] == 'd' || t[i] == 'D')) {
        t[i] = 'e';
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
        int exp_digits = 0;
        for (; i < t.size() && std::isdigit(static_cast<unsigned char>(t[i])); ++i) ++exp_digits;
        if (exp_digits == 0) return false;
    }
    if (i != t.size()) return false;
    d = std::strtod(t.c_str(), nullptr);
    return true;
}
}  // namespace

bool read_typed_number(std::string_view text, double& out) {
    double d = 0.0;
    if (!typed_syntax(text, d) || !std::isfinite(d)) return false;
    out = d;
    return true;
}

Typed read_entry_number(std::string_view text, double& out) {
    double d = 0.0;
    if (!typed_syntax(text, d)) return Typed::NotANumber;
    if (!(std::fabs(d) <= double(FLT_MAX))) return Typed::TooLarge;
    out = d;
    return Typed::Number;
}

std::string refusal_text(std::string_view typed, bool too_large) {
    std::string shown(without_blanks(typed));
    if (shown.size() > 40) shown = shown.substr(0, 40) + "...";
    if (too_large) return "\"" + shown + "\" is too large: type a number between -3.4E+38 and 3.4E+38";
    return "\"" + shown + "\" is not a number: type digits with a decimal point, for example 0.025 or 2.5E-2";
}

bool Model::end_edit(int id, const std::string& text, double kept) {
    Widget* w = find(id);
    if (!w) return true;
    w->text = text;
    if (w->kind != KIND_VALUE) return true;
    const Typed got = read_entry_number(text, w->value);
    if (got == Typed::Number) return true;
    w->value = kept;
    refused_entry = id;
    refused_text = text;
    refused_too_large = got == Typed::TooLarge;
    return false;
}

std::string with_default_extension(const std::string& path, const std::string& extension) {
    const std::size_t slash = path.rfind('/');
    const std::string base = path.substr(slash == std::string::npos ? 0 : slash + 1);
    if (extension.empty() || base.empty() || base.find('.') != std::string::npos) return path;
    if (::access(path.c_str(), F_OK) == 0) return path;
    return path + "." + extension;
}

}  // namespace wl
