// The FLTK front end: shows the model's windows and widgets, replays graphics frames, runs the
// modal boxes and the file chooser, and feeds user actions and timer ticks into the model's
// queue. Nothing here calls the program.
#include "platform/fltk/fltk_frontend.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/fltk/boxes.h"
#include "platform/fltk/desk.h"
#include "platform/fltk/fields.h"
#include "platform/fltk/frame_view.h"
#include "platform/fltk/looks.h"
#include "platform/graphics_model.h"
#include "platform/widget_extra.h"
#include "platform/wingui.h"
#include "runtime/fatal.h"

// FLTK last: its X11 headers define macros (Expose, ...) that clash with our names.
#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_File_Chooser.H>
#include <FL/Fl_File_Input.H>
#include <FL/Fl_Return_Button.H>
#include <FL/Fl_Hold_Browser.H>
#include <FL/filename.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Menu_Bar.H>
#include <FL/Fl_Multiline_Input.H>
#include <FL/Fl_Pixmap.H>
#include <FL/Fl_RGB_Image.H>
#include <FL/Fl_Round_Button.H>
#include <FL/x.H>

namespace wl::fltk {
namespace {

// Set once the display has gone: boxes are no longer shown (a box answers as its close box).
bool display_lost = false;

// ---- layout on the grid ----

struct Cell {
    int w = 40, h = 40;
};

Cell cell(const Model& m) {
    Cell c;
    if (m.grid_nx > 0) c.w = std::max(m.screen_w / m.grid_nx, 1);
    if (m.grid_ny > 0) c.h = std::max(m.screen_h / m.grid_ny, 1);
    return c;
}

// Size of a widget in grid cells: its registered minimum size, at least one cell.
void cells_of(const Widget& w, int& cw, int& ch, int dw, int dh) {
    cw = w.reg.min_w > 0 ? w.reg.min_w : dw;
    ch = w.reg.min_h > 0 ? w.reg.min_h : dh;
}

struct Rect {
    int x = 0, y = 0, w = 0, h = 0;
};

// Escapes a caption for an FLTK menu path.
std::string menu_label(const std::string& s) {
    std::string out;
    for (char c : s) {
        if (c == '/' || c == '\\' || c == '&' || c == '_') out += '\\';
        out += c;
    }
    while (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

// A menu-bar title with a letter or digit accelerator opens with Alt and that key: FLTK marks
// it with "&" before the first character that matches it.
std::string title_label(const std::string& caption, int accelerator) {
    std::string out = menu_label(caption);
    if (accelerator <= 0 || accelerator > 127 || !std::isalnum(accelerator)) return out;
    const int want = std::tolower(accelerator);
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (out[i] == '\\') {
            ++i;  // an escaped character is not a candidate
            continue;
        }
        if (std::tolower(static_cast<unsigned char>(out[i])) == want) {
            out.insert(i, "&");
            break;
        }
    }
    return out;
}

// The text a value entry shows for its number when the library keeps none.
std::string shown_value_text(const Widget& w) {
    char buf[64];
    const int dec = std::clamp(w.decimals, 0, 15);
    std::snprintf(buf, sizeof buf, "%.*f", dec, w.value);
    return buf;
}

// Gives a widget or window a new label only when it differs from the one it shows: a shown
// window's label is its title, and every new title is sent to the window manager.
void set_label(Fl_Widget* f, const std::string& text) {
    if (f->label() && text == f->label()) return;
    if (!f->label() && text.empty()) return;
    f->copy_label(text.c_str());
}

// A menu bar whose greyed titles do not open. FLTK opens the bar's menu loop on any press on
// the bar, a greyed title's or an empty stretch's included; that loop holds the program (a
// running pass, its Stop button) until it is closed. Here only a press on a title that can be
// chosen opens it. The titles lie as FLTK draws them: from 6 pixels in, each 16 pixels wider
// than its label.
class MenuBar : public Fl_Menu_Bar {
public:
    MenuBar(int x, int y, int w, int h) : Fl_Menu_Bar(x, y, w, h) {}
    int handle(int event) override {
        if (event == FL_PUSH && !active_title_at(Fl::event_x())) return 1;
        return Fl_Menu_Bar::handle(event);
    }

private:
    bool active_title_at(int px) const {
        if (!menu() || !menu()->text) return false;
        int left = x() + 6;
        for (const Fl_Menu_Item* t = menu()->first(); t && t->text; t = t->next()) {
            if (!t->visible()) continue;
            const int width = t->measure(nullptr, this) + 16;
            if (px >= left && px < left + width) return t->active() != 0;
            left += width;
        }
        return false;
    }
};

class KvWindow;

class FltkFrontEnd : public FrontEnd {
public:
    void pump(Model& m) override;
    void gather_input(Model&) override { Fl::check(); }
    void show_window(Model& m, int id) override;
    void hide_window(Model& m, int id) override;
    void redraw(Model& m, int id) override;
    void error_box(Model& m, const std::string& title, const std::string& text, int kind) override;
    int message_box(Model& m, const std::string& title, const std::string& text, int icon, int buttons) override;
    FileAnswer file_dialog(Model& m, const FileRequest& r) override;
    void console(Model& m, const ConsoleMessage& msg) override;
    void timer_changed(Model& m) override;
    void shutdown(Model& m) override;
    // Desktop services (desk.h).
    bool choose_colour(Model& m, int& r, int& g, int& b) override;
    bool print_begin(Model& m, PrintPage& page) override;
    void print_page(Model& m, const gfx::FrameGraphics& page) override;
    bool print_end(Model& m, bool abandoned) override;
    void copy_frame(Model& m, const gfx::FrameGraphics& f) override;
    void cursor_changed(Model& m) override;
    void restack(Model& m, int window, bool top) override;
    bool show_help(Model& m, const HelpRequest& r) override;

    void frame_changed(int id);
    // Shows what changed in the model since the last call (Model::take_changes).
    void show_changes(Model& m);

private:
    void build(Model& m, int window_id);
    void add_children(Model& m, KvWindow& win, int parent, const Rect& area);
    void add_widget(Model& m, KvWindow& win, const Widget& w, const Rect& area);
    void build_menu(Model& m, Fl_Menu_Bar& bar, int bar_id);
    // Brings the parts `what` (Changed bits) of a widget up to date on the FLTK widget made
    // for it; a changed state also reaches the widgets inside it.
    void sync(Model& m, int id, unsigned what);
    void sync_visibility(Model& m, const Widget& w, Fl_Widget* f);
    void sync_window(Model& m, int window_id);
    // The menu bar a widget belongs to (an entry, a pulldown or a title of it); 0 for none.
    int menubar_of(const Model& m, const Widget& w) const;
    void raise_active(Model& m);
    void clear_of_plot(const Model& m, int& x, int& y, int w, int h) const;

    std::map<int, std::unique_ptr<KvWindow>> windows_;
    std::map<int, Fl_Widget*> widgets_;  // owned by their windows
    std::map<int, int> menubar_of_entry_;
    int raised_ = 0;  // the window last made active and raised
    std::vector<std::pair<int, unsigned>> changes_;  // taken from the model, being shown
};

FltkFrontEnd& instance() {
    static FltkFrontEnd fe;
    return fe;
}

// ---- windows ----

// A window's grid area lies between its menu bar (above) and its status bar (below), as the
// client area of a window with both.
class KvWindow : public Fl_Double_Window {
public:
    KvWindow(int id, int w, int h, const Rect& client, int bar_h)
        : Fl_Double_Window(w, h), client(client), bar_h(bar_h), id_(id) {}
    int id() const { return id_; }
    const Rect client;
    const int bar_h;

private:
    int id_;
};

// The close box queues the exit request -1 and leaves the window shown; the program decides.
void window_cb(Fl_Widget* w, void*) {
    if (Fl::event() == FL_SHORTCUT && Fl::event_key() == FL_Escape) return;
    Event e;
    e.callback = -1;
    e.widget = static_cast<KvWindow*>(w)->id();
    model().post(e);
}

// ---- widget callbacks: change the model as the user did, queue the callback number ----

// A click that continues a double click made before the program changed what the window shows
// (it flushed its queue meanwhile) was aimed at what the user saw before: it is dropped.
void button_cb(Fl_Widget* b, void*) {
    Model& m = model();
    const bool repeat = Fl::event_clicks() > 0;
    if (m.drop_repeated_click && repeat) return;
    m.drop_repeated_click = false;
    m.post_callback(widget_id(b), Cb::Action);
}

void toggle_cb(Fl_Widget* b, void*) {
    const int id = widget_id(b);
    Model& m = model();
    auto* button = static_cast<Fl_Button*>(b);
    // The button has flipped; the model decides what the click leaves (a radio box keeps one on).
    // The radio siblings it switches off are shown with the model's next changes.
    button->value(m.click_toggle(id, button->value() ? 1 : 0));
    m.post_callback(id, Cb::Action);
}

void choice_cb(Fl_Widget* b, void*) {
    const int id = widget_id(b);
    Widget* w = model().find(id);
    if (!w) return;
    if (auto* list = dynamic_cast<Fl_Hold_Browser*>(b))
        w->selection = list->value();  // from 1; 0 none
    else
        w->selection = static_cast<Fl_Choice*>(b)->value() + 1;
    model().post_callback(id, w->choice_callback());
}

void menu_cb(Fl_Widget*, void* data) { model().post_callback(int(reinterpret_cast<intptr_t>(data)), Cb::Action); }

void frame_update(int id) { instance().frame_changed(id); }

// ---- building a window from the model ----

void FltkFrontEnd::build(Model& m, int window_id) {
    const Widget* w = m.find(window_id);
    if (!w) return;
    const Cell c = cell(m);
    int cw, ch;
    cells_of(*w, cw, ch, w->kind == KIND_MASTER ? 24 : 12, w->kind == KIND_MASTER ? 18 : 8);
    // A window is at least as large as the cells its widgets take.
    bool has_menu = false, has_status = false;
    for (const int cid : w->children) {
        const Widget* cp = m.find(cid);
        if (!cp) continue;
        const Widget& child = *cp;
        has_menu = has_menu || child.kind == KIND_MENUBAR;
        has_status = has_status || child.kind == KIND_STATUSBAR;
        if (child.is_window() || child.kind == KIND_MENUBAR || child.kind == KIND_STATUSBAR) continue;
        int ccw, cch;
        cells_of(child, ccw, cch, 4, 1);
        cw = std::max(cw, child.x + ccw);
        ch = std::max(ch, child.y + cch);
    }
    const int pw = std::min(cw * c.w, std::max(m.screen_w, 200));
    const int ph = std::min(ch * c.h, std::max(m.screen_h, 150));
    const int top = has_menu ? kBarHeight : 0, bottom = has_status ? kBarHeight : 0;
    const int wh = top + ph + bottom;
    auto win = std::make_unique<KvWindow>(window_id, pw, wh, Rect{0, top, pw, ph}, kBarHeight);
    // Windows and dialogs stand at a column and row of the screen grid, the row counted upward
    // from the bottom of the screen; they are kept on the screen. A dialog moves off the master
    // window's plot where the screen has a place that hides less of it.
    int px = std::clamp(w->x * c.w, 0, std::max(m.screen_w - pw, 0));
    int py = std::clamp(m.screen_h - (w->y * c.h + wh), 0, std::max(m.screen_h - wh, 0));
    if (w->kind != KIND_MASTER) clear_of_plot(m, px, py, pw, wh);
    win->position(px, py);
    if (w->kind == KIND_MASTER) {
        win->xclass(kClassMaster);
    } else {
        const std::string cls = std::string(kClassDialog) + "-" + std::to_string(window_id);
        win->xclass(cls.c_str());  // copied by FLTK
    }
    win->copy_label(trimmed(w->caption).c_str());
    // The window's icon, when it is one of the program's own images (FLTK copies it).
    if (Fl_Pixmap* px = program_pixmap(trimmed(w->icon))) {
        const Fl_RGB_Image rgb(px, FL_BACKGROUND_COLOR);
        win->icon(&rgb);
    }
    win->callback(window_cb);
    win->end();
    KvWindow& ref = *win;
    windows_[window_id] = std::move(win);
    add_children(m, ref, window_id, ref.client);
}

namespace {

long long overlap_area(const Rect& a, const Rect& b) {
    const long long w = std::min(a.x + a.w, b.x + b.w) - std::max(a.x, b.x);
    const long long h = std::min(a.y + a.h, b.y + b.h) - std::max(a.y, b.y);
    return w > 0 && h > 0 ? w * h : 0;
}

}  // namespace

// A dialog of w x h pixels at (x, y) on the screen that covers a graphics frame of the shown
// master window goes where it covers less of the frames: beside, above or below them or at a
// screen edge. A place that covers more of the master's other widgets (shown now or not: they
// come and go with the program's modes) than the dialog's own place is never taken; where no
// place is better, the dialog keeps its own.
void FltkFrontEnd::clear_of_plot(const Model& m, int& x, int& y, int w, int h) const {
    const auto master = windows_.find(1);
    if (master == windows_.end() || !master->second->shown()) return;
    const Fl_Window& mw = *master->second;
    std::vector<Rect> frames, others;
    for (const auto& [id, f] : widgets_) {
        if (f->window() != &mw) continue;
        const Widget* wd = m.find(id);
        if (!wd || wd->kind == KIND_MENUBAR || wd->kind == KIND_STATUSBAR) continue;
        const Rect r{mw.x() + f->x(), mw.y() + f->y(), f->w(), f->h()};
        (dynamic_cast<FrameView*>(f) ? frames : others).push_back(r);
    }
    if (frames.empty()) return;
    auto cost = [&](int cx, int cy, long long& plot, long long& rest) {
        const Rect d{cx, cy, w, h};
        plot = rest = 0;
        for (const Rect& r : frames) plot += overlap_area(d, r);
        for (const Rect& r : others) rest += overlap_area(d, r);
    };
    long long best_plot = 0, own_rest = 0;
    cost(x, y, best_plot, own_rest);
    if (best_plot == 0) return;
    std::vector<int> xs = {x, 0, m.screen_w - w}, ys = {y, 0, m.screen_h - h};
    for (const Rect& r : frames) {
        xs.push_back(r.x + r.w);
        xs.push_back(r.x - w);
        ys.push_back(r.y + r.h);
        ys.push_back(r.y - h);
    }
    const int x0 = x, y0 = y;
    long long best_distance = 0;
    for (int cx : xs)
        for (int cy : ys) {
            cx = std::clamp(cx, 0, std::max(m.screen_w - w, 0));
            cy = std::clamp(cy, 0, std::max(m.screen_h - h, 0));
            long long plot = 0, rest = 0;
            cost(cx, cy, plot, rest);
            const long long distance = std::llabs(cx - x0) + std::llabs(cy - y0);
            if (rest > own_rest || plot > best_plot || (plot == best_plot && distance >= best_distance)) continue;
            best_plot = plot;
            best_distance = distance;
            x = cx;
            y = cy;
        }
}

void FltkFrontEnd::add_children(Model& m, KvWindow& win, int parent, const Rect& area) {
    const Widget* p = m.find(parent);
    if (!p) return;
    const std::vector<int> ids = p->children;  // the model does not change here; a copy all the same
    for (int id : ids) {
        const Widget* w = m.find(id);
        if (w && !w->is_window() && !widgets_.count(id)) add_widget(m, win, *w, area);
    }
}

void FltkFrontEnd::add_widget(Model& m, KvWindow& win, const Widget& w, const Rect& area) {
    if (!kind_built(w.kind)) return;  // kept in the model, not shown
    const Cell c = cell(m);
    int cw, ch;
    cells_of(w, cw, ch, 4, 1);
    // Column x from the parent's left edge, row y counted upward from its bottom edge.
    Rect r{area.x + w.x * c.w, area.y + area.h - (w.y + ch) * c.h, cw * c.w, ch * c.h};
    void* ud = reinterpret_cast<void*>(intptr_t(w.id));
    Fl_Widget* made = nullptr;
    win.begin();
    switch (w.kind) {
        case KIND_FRAME:
        case KIND_FRAME3D: {
            const gfx::FrameGraphics* f = gfx::frame(w.id);
            if (f) {
                r.w = f->width;
                r.h = f->height;
                r.y = area.y + area.h - w.y * c.h - r.h;
            }
            made = new FrameView(w.id, r.x, r.y, r.w, r.h);
            break;
        }
        case KIND_BUTTON: {
            auto* b = new Fl_Button(r.x, r.y, r.w, r.h);
            b->callback(button_cb);
            made = b;
            break;
        }
        case KIND_TOGGLE: {
            const Widget* p = m.find(w.parent);
            Fl_Button* b = p && p->kind == KIND_RADIO ? static_cast<Fl_Button*>(new Fl_Round_Button(r.x, r.y, r.w, r.h))
                                                      : static_cast<Fl_Button*>(new Fl_Check_Button(r.x, r.y, r.w, r.h));
            b->callback(toggle_cb);
            made = b;
            break;
        }
        case KIND_TEXT:
        case KIND_VALUE:
            made = make_entry(false, r.x, r.y, r.w, r.h);
            break;
        case KIND_EDITOR:
            made = make_entry(true, r.x, r.y, r.w, r.h);
            break;
        case KIND_LISTBOX:
        case KIND_COMBO: {
            // A list more than one cell high shows its entries; a lower one drops them down.
            if (w.kind == KIND_LISTBOX && ch > 1) {
                auto* list = new Fl_Hold_Browser(r.x, r.y, r.w, r.h);
                list->callback(choice_cb);
                made = list;
            } else {
                auto* ch_ = new Fl_Choice(r.x, r.y, r.w, std::min(r.h, c.h));
                ch_->callback(choice_cb);
                made = ch_;
            }
            break;
        }
        case KIND_MENUBAR: {
            auto* bar = new MenuBar(0, 0, win.w(), win.bar_h);
            made = bar;
            break;
        }
        case KIND_STATUSBAR: {
            auto* b = new Fl_Box(0, win.h() - win.bar_h, win.w(), win.bar_h);
            b->box(FL_THIN_DOWN_BOX);
            b->align(FL_ALIGN_LEFT | FL_ALIGN_INSIDE);
            made = b;
            break;
        }
        case KIND_RADIO: {
            auto* b = new Fl_Box(r.x, r.y, r.w, r.h);
            b->box(FL_ENGRAVED_FRAME);
            b->align(FL_ALIGN_TOP_LEFT);
            made = b;
            break;
        }
        case KIND_ICON: {
            made = make_icon(r.x, r.y, r.w, r.h);
            break;
        }
        default:
            break;  // menu parts belong to their bar; other kinds are not shown yet
    }
    win.end();
    if (!made) return;
    made->user_data(ud);
    widgets_[w.id] = made;
    if (w.kind == KIND_RADIO) {
        add_children(m, win, w.id, r);
        // The box's frame encloses all of its toggles.
        int x0 = made->x(), y0 = made->y(), x1 = x0 + made->w(), y1 = y0 + made->h();
        for (const int cid : w.children) {
            auto it = widgets_.find(cid);
            if (it == widgets_.end()) continue;
            const Fl_Widget* t = it->second;
            x0 = std::min(x0, t->x());
            y0 = std::min(y0, t->y());
            x1 = std::max(x1, t->x() + t->w());
            y1 = std::max(y1, t->y() + t->h());
        }
        made->resize(x0, y0, x1 - x0, y1 - y0);
    }
    if (w.kind == KIND_MENUBAR) build_menu(m, *static_cast<Fl_Menu_Bar*>(made), w.id);
    sync(m, w.id, CHANGED_ALL);
}

void FltkFrontEnd::build_menu(Model& m, Fl_Menu_Bar& bar, int bar_id) {
    bar.clear();
    auto children = [&](int parent) {
        const Widget* p = m.find(parent);
        return p ? p->children : std::vector<int>();
    };
    for (int tid : children(bar_id)) {
        const Widget* t = m.find(tid);
        if (!t || (t->kind != KIND_MENUTITLE && t->kind != KIND_PULLDOWN)) continue;
        if (t->state == STATE_HIDDEN) continue;
        const std::string title = title_label(t->caption, t->accelerator);
        int tflags = FL_SUBMENU;
        if (t->state == STATE_GREYED) tflags |= FL_MENU_INACTIVE;
        bar.add(title.c_str(), 0, nullptr, nullptr, tflags);
        // The entries hang from the title, from its pulldown menus (the id after the title, or
        // one made on the title later) or from pulldowns within those.
        std::vector<int> entries, menus = {tid};
        if (const Widget* pd = m.find(tid + 1); pd && pd->kind == KIND_PULLDOWN && pd->parent != tid)
            menus.push_back(tid + 1);
        for (std::size_t k = 0; k < menus.size() && k < 64; ++k)
            for (int cid : children(menus[k])) {
                const Widget* cw_ = m.find(cid);
                if (cw_ && cw_->kind == KIND_PULLDOWN)
                    menus.push_back(cid);
                else
                    entries.push_back(cid);
            }
        std::sort(entries.begin(), entries.end());
        int last_index = -1;
        for (int eid : entries) {
            const Widget* e = m.find(eid);
            if (!e || e->kind == KIND_PULLDOWN) continue;
            if (e->kind == KIND_SEPARATOR) {
                if (last_index >= 0) {
                    Fl_Menu_Item* items = const_cast<Fl_Menu_Item*>(bar.menu());
                    items[last_index].flags |= FL_MENU_DIVIDER;
                }
                continue;
            }
            int flags = 0;
            if (e->state == STATE_GREYED) flags |= FL_MENU_INACTIVE;
            if (e->state == STATE_HIDDEN) flags |= FL_MENU_INVISIBLE;
            const std::string path = title + "/" + menu_label(e->caption);
            last_index = bar.add(path.c_str(), 0, menu_cb, reinterpret_cast<void*>(intptr_t(eid)), flags);
            menubar_of_entry_[eid] = bar_id;
        }
        for (int mid : menus) menubar_of_entry_[mid] = bar_id;
    }
    bar.redraw();
}

// ---- showing the model ----

void FltkFrontEnd::sync(Model& m, int id, unsigned what) {
    auto it = widgets_.find(id);
    const Widget* w = m.find(id);
    if (it == widgets_.end() || !w || what == 0) return;
    Fl_Widget* f = it->second;
    const bool caption = (what & CHANGED_CAPTION) != 0, looks = (what & CHANGED_LOOKS) != 0;
    if (w->kind == KIND_MENUBAR) {
        build_menu(m, *static_cast<Fl_Menu_Bar*>(f), id);
    } else if (w->kind == KIND_FRAME || w->kind == KIND_FRAME3D) {
        // drawn from its list
    } else if (w->kind == KIND_STATUSBAR) {
        if (what & (CHANGED_TEXT | CHANGED_CAPTION)) set_label(f, trimmed(w->text.empty() ? w->caption : w->text));
    } else if (w->kind == KIND_TEXT || w->kind == KIND_VALUE || w->kind == KIND_EDITOR) {
        auto* in = static_cast<Fl_Input_*>(f);
        bool refit = looks;
        // What the user is typing is not overwritten; an entry that merely holds the focus
        // shows what the program wrote.
        if ((what & (CHANGED_TEXT | CHANGED_VALUE)) && !typing_into(in)) {
            // A value entry shows the text the library keeps for its number.
            const std::string t = w->kind == KIND_VALUE && trimmed(w->text).empty() ? shown_value_text(*w) : trimmed(w->text);
            if (!in->value() || t != in->value()) {
                in->value(t.c_str());
                refit = true;
            }
            in->position(0);  // a text longer than the field shows its start, never only its end
        }
        if (looks) {
            // A display-only entry shows its text on the window's face colour and takes no typing.
            const bool display_only = w->mode == 1;
            in->readonly(display_only);
            // A text entry takes no more characters than its length limit, so that nothing typed
            // is cut off unseen when the program reads it. A value entry's width only sets what
            // it shows: a number is kept as typed, in full.
            if (w->kind != KIND_VALUE && !display_only) {
                const WidgetExtra* x = find_extra(w->id);
                int limit = x && x->text_limit != 0 ? x->text_limit : w->field_width;
                limit = limit == INT_MIN ? 0 : std::abs(limit);
                in->maximum_size(limit > 0 ? limit : 32767);
            }
            in->color(display_only ? FL_BACKGROUND_COLOR : FL_BACKGROUND2_COLOR);
            f->align(FL_ALIGN_LEFT);
        }
        if (caption) set_label(f, trimmed(w->caption));
        // The text is measured only when it or its looks changed.
        if (looks)
            apply_looks(f, *w);
        else if (refit)
            fit_text(f, *w);
    } else if (w->kind == KIND_TOGGLE) {
        if (what & CHANGED_TOGGLE) static_cast<Fl_Button*>(f)->value(w->toggle != 0);
        if (caption) set_label(f, trimmed(w->caption));
    } else if (w->kind == KIND_LISTBOX || w->kind == KIND_COMBO) {
        if (what & CHANGED_ITEMS) {
            const bool valid = w->selection >= 1 && w->selection <= int(w->items.size());
            if (auto* list = dynamic_cast<Fl_Hold_Browser*>(f)) {
                list->clear();
                for (const std::string& item : w->items) list->add(trimmed(item).c_str());
                if (valid) list->select(w->selection);
            } else {
                auto* c = static_cast<Fl_Choice*>(f);
                c->clear();
                for (const std::string& item : w->items) c->add(menu_label(item).c_str());
                c->value(valid ? w->selection - 1 : -1);
            }
        }
    } else if (w->kind == KIND_ICON) {
        if (caption) {
            Fl_Pixmap* px = program_pixmap(trimmed(w->icon));
            f->image(px);
            // An image that is not built in shows its name.
            if (px) {
                if (f->label()) f->copy_label(nullptr);
            } else
                set_label(f, trimmed(w->icon));
        }
    } else if (caption) {
        set_label(f, trimmed(w->caption));
    }
    if (looks && !(w->kind == KIND_TEXT || w->kind == KIND_VALUE || w->kind == KIND_EDITOR)) apply_looks(f, *w);
    if (what & CHANGED_STATE) sync_visibility(m, *w, f);
    f->redraw();
}

// A widget inside a hidden or greyed container (a radio box's toggles) follows it, so a changed
// state reaches every widget inside.
void FltkFrontEnd::sync_visibility(Model& m, const Widget& w, Fl_Widget* f) {
    bool hidden = false, greyed = false;
    int depth = 0;
    for (const Widget* a = &w; a && !a->is_window() && depth < 64; a = m.find(a->parent), ++depth) {
        hidden = hidden || a->state == STATE_HIDDEN;
        greyed = greyed || a->state == STATE_GREYED;
    }
    if (hidden)
        f->hide();
    else
        f->show();
    if (greyed)
        f->deactivate();
    else
        f->activate();
    for (const int cid : w.children) {
        const Widget* c = m.find(cid);
        auto it = widgets_.find(cid);
        if (c && !c->is_window() && it != widgets_.end()) {
            sync_visibility(m, *c, it->second);
            it->second->redraw();
        }
    }
}

// Every widget of the window shown in full, as when it is shown.
void FltkFrontEnd::sync_window(Model& m, int window_id) {
    auto it = windows_.find(window_id);
    const Widget* w = m.find(window_id);
    if (it == windows_.end() || !w) return;
    // The title goes to the window manager only when it changed.
    set_label(it->second.get(), trimmed(w->caption));
    // Widgets created since the window was built join it now.
    add_children(m, *it->second, window_id, it->second->client);
    std::vector<int> ids = w->children;
    for (std::size_t k = 0; k < ids.size(); ++k) {
        const Widget* c = m.find(ids[k]);
        if (!c || c->is_window()) continue;
        sync(m, ids[k], CHANGED_ALL);
        ids.insert(ids.end(), c->children.begin(), c->children.end());
    }
    it->second->redraw();
}

int FltkFrontEnd::menubar_of(const Model& m, const Widget& w) const {
    if (w.kind == KIND_MENUBAR) return w.id;
    if (auto mb = menubar_of_entry_.find(w.id); mb != menubar_of_entry_.end()) return mb->second;
    const Widget* p = m.find(w.parent);
    return p && p->kind == KIND_MENUBAR ? p->id : 0;
}

void FltkFrontEnd::show_changes(Model& m) {
    if (!m.has_changes()) return;
    m.take_changes(changes_);
    std::vector<int> bars;
    for (const auto& [id, what] : changes_) {
        const Widget* w = m.find(id);
        if (!w) continue;
        if (w->is_window()) {
            auto it = windows_.find(id);
            if (it == windows_.end()) continue;  // built, in full, when it is first shown
            if (what & CHANGED_CAPTION) set_label(it->second.get(), trimmed(w->caption));
            // Widgets created since the window was built join it now.
            if (what & CHANGED_CHILDREN) add_children(m, *it->second, id, it->second->client);
            continue;
        }
        // A menu is built again once, whatever in it changed.
        if (const int bar = menubar_of(m, *w); bar != 0) {
            if (std::find(bars.begin(), bars.end(), bar) == bars.end()) bars.push_back(bar);
            continue;
        }
        sync(m, id, what);
    }
    for (const int bar : bars) sync(m, bar, CHANGED_ALL);
}

// Waits until a window just shown is on the screen and has had its first exposure, then draws
// it, so that a window the program shows right before it works for a while (the wait box of a
// load) shows its texts, not an empty frame. Bounded, should a window manager never map it.
void draw_once_mapped(Fl_Window& win) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    for (;;) {
        XSync(fl_display, False);
        XWindowAttributes a;
        if (XGetWindowAttributes(fl_display, fl_xid(&win), &a) && a.map_state == IsViewable) break;
        if (std::chrono::steady_clock::now() >= until) break;
        Fl::wait(0.01);
    }
    Fl::check();  // the exposure of the mapping
    win.redraw();
    Fl::flush();
    XSync(fl_display, False);
}

void FltkFrontEnd::show_window(Model& m, int id) {
    if (!windows_.count(id)) build(m, id);
    auto it = windows_.find(id);
    if (it == windows_.end()) return;
    sync_window(m, id);
    KvWindow& win = *it->second;
    // A dialog stays above the master window (a window manager keeps it on top).
    if (win.id() != 1 && !win.shown()) win.set_non_modal();
    // A window already on the screen is redrawn, not shown again: show() would map and raise it
    // once more through the window manager.
    if (!win.shown() || !win.visible()) {
        win.show();
        // FLTK makes a dialog transient for the window it showed last, so that under a window
        // manager a dialog would stay above every dialog shown before it and could never be
        // raised over them; it belongs to the master window.
        auto master = windows_.find(1);
        if (win.id() != 1 && master != windows_.end() && master->second->shown())
            XSetTransientForHint(fl_display, fl_xid(&win), fl_xid(master->second.get()));
        draw_once_mapped(win);
        return;
    }
    Fl::flush();
}

// The dialog the program has made active comes to the front, so that a modal dialog is never
// hidden behind another dialog shown after it. The master window is not raised over its dialogs.
void FltkFrontEnd::raise_active(Model& m) {
    if (m.active_window == raised_) return;
    raised_ = m.active_window;
    auto it = windows_.find(raised_);
    const Widget* w = m.find(raised_);
    if (it == windows_.end() || !w || w->kind == KIND_MASTER || !w->shown || !it->second->shown()) return;
    it->second->show();  // raises a window that is shown
}

void FltkFrontEnd::hide_window(Model&, int id) {
    auto it = windows_.find(id);
    if (it != windows_.end()) it->second->hide();
    Fl::flush();
}

// A redraw the program asks for is shown with the model's next changes: of a window its title
// and the widgets made in it since it was built (what changed in its widgets is recorded on
// them), of any other widget all it shows.
void FltkFrontEnd::redraw(Model& m, int id) {
    const Widget* w = m.find(id);
    if (w) m.mark(id, w->is_window() ? CHANGED_CAPTION | CHANGED_CHILDREN : CHANGED_ALL);
}

void FltkFrontEnd::frame_changed(int id) {
    if (id == 0) {
        for (auto& [fid, fw] : widgets_)
            if (dynamic_cast<FrameView*>(fw)) fw->redraw();
    } else if (auto it = widgets_.find(id); it != widgets_.end()) {
        it->second->redraw();
    }
}

// ---- boxes and files ----

void FltkFrontEnd::error_box(Model&, const std::string& title, const std::string& text, int kind) {
    if (display_lost) return;
    run_box(title, text, kind == 1 ? 3 : 4, box_buttons(0), kClassError);
}

int FltkFrontEnd::message_box(Model&, const std::string& title, const std::string& text, int icon, int buttons) {
    if (display_lost) return box_buttons(buttons).close_answer();
    return run_box(title, text, icon, box_buttons(buttons), kClassMessage);
}

// The chooser's name field completes names and changes directory at every typed "/", which
// scrambles a path typed in full (the cursor lands before the slash). Here the field keeps the
// typed text as it is; Enter (or OK) then opens a directory or takes the file as FLTK does.
struct NameField {
    Fl_Callback* callback = nullptr;
    void* data = nullptr;
    Fl_Widget* ok = nullptr;
};
NameField name_field;

void name_field_cb(Fl_Widget* w, void*) {
    if (Fl::event_key() == FL_Enter || Fl::event_key() == FL_KP_Enter) {
        if (name_field.callback) name_field.callback(w, name_field.data);
        return;
    }
    if (name_field.ok) {
        if (static_cast<Fl_Input_*>(w)->size() > 0)
            name_field.ok->activate();
        else
            name_field.ok->deactivate();
    }
}

template <class T>
T* find_child(Fl_Group* g) {
    for (int i = 0; i < g->children(); ++i) {
        if (auto* t = dynamic_cast<T*>(g->child(i))) return t;
        if (Fl_Group* sub = g->child(i)->as_group())
            if (T* t = find_child<T>(sub)) return t;
    }
    return nullptr;
}

void take_over_name_field() {
    for (Fl_Window* w = Fl::first_window(); w; w = Fl::next_window(w)) {
        if (!w->xclass() || std::string(w->xclass()) != kClassFile) continue;
        Fl_File_Input* in = find_child<Fl_File_Input>(w);
        if (!in || in->callback() == name_field_cb) return;
        name_field.callback = in->callback();
        name_field.data = in->user_data();
        name_field.ok = find_child<Fl_Return_Button>(w);
        in->callback(name_field_cb);
        return;
    }
}

FileAnswer FltkFrontEnd::file_dialog(Model&, const FileRequest& r) {
    // FLTK's filter list: "Label (pattern)" entries separated by tabs; "*.*" means every file.
    std::string filter;
    for (const auto& [pattern, label] : r.filters) {
        std::string p = pattern == "*.*" ? "*" : pattern;
        for (char& ch : p)
            if (ch == ';') ch = ',';
        if (p.find(',') != std::string::npos) p = "{" + p + "}";
        // Labels come as "(Parameter File)": FLTK adds the pattern in parentheses itself.
        std::string l = label;
        if (l.size() >= 2 && l.front() == '(' && l.back() == ')') l = l.substr(1, l.size() - 2);
        if (!filter.empty()) filter += '\t';
        filter += (l.empty() ? p : l) + " (" + p + ")";
    }
    if (filter.empty()) filter = "All Files (*)";
    const std::string dir = r.directory.empty() ? "." : r.directory;
    const std::string caption = r.caption.empty() ? "File Browser" : r.caption;
    // The chooser takes a new name in both modes: whether a missing file is an error is for the
    // opener to say (the log, the experiment file and the scan export are created when missing).
    Fl_File_Chooser fc(dir.c_str(), filter.c_str(), Fl_File_Chooser::CREATE, caption.c_str());
    if (r.filter_index >= 1 && r.filter_index <= int(r.filters.size())) fc.filter_value(r.filter_index - 1);
    // FLTK resolves a typed name against the current directory, so the chooser runs in the
    // directory it shows; the caller's directory comes back whatever the answer.
    std::string here;
    if (char* cwd = ::getcwd(nullptr, 0)) {
        here = cwd;
        std::free(cwd);
    }
    const bool moved = !r.directory.empty() && ::chdir(r.directory.c_str()) == 0;
    // The proposed name shows in the name field (a bare name in the directory shown; a path
    // takes the chooser to its directory). Cancel and the close box still clear the field.
    if (!r.name.empty()) {
        std::string proposal = r.name;
        if (proposal[0] != '/' && !r.directory.empty())
            proposal = r.directory + (r.directory.back() == '/' ? "" : "/") + proposal;
        fc.value(proposal.c_str());
    }
    with_class(kClassFile, [&] {
        fc.show();
        take_over_name_field();  // while the chooser's window still answers to its class
    });
    while (fc.shown() && !rt::end_signal_received()) Fl::wait(1.0);
    const bool interrupted = fc.shown();  // an end request from outside cancels the choice
    if (interrupted) fc.hide();
    name_field = NameField{};
    FileAnswer a;
    a.filter_index = fc.filter_value() + 1;
    if (!interrupted && fc.count() > 0 && fc.value()) {
        a.cancelled = false;
        // A relative name is taken in the directory the chooser shows.
        std::string chosen = fc.value();
        if (!chosen.empty() && chosen[0] != '/' && fc.directory() && fc.directory()[0])
            chosen = std::string(fc.directory()) + "/" + chosen;
        char abs[FL_PATH_MAX];
        fl_filename_absolute(abs, sizeof abs, chosen.c_str());
        a.path = abs;
    }
    if (moved && !here.empty() && ::chdir(here.c_str()) != 0) {
        // The old directory is gone; the chosen file's directory becomes current anyway.
    }
    return a;
}

void FltkFrontEnd::console(Model&, const ConsoleMessage& msg) {
    std::fprintf(stderr, "%s: %s\n", msg.title.c_str(), msg.text.c_str());
}

// ---- events and the timer ----

// The timer's unit is taken as zero, as the model says: a tick is due as soon as the program has
// taken the last one, so a pass runs as fast as its work allows; the user's own actions are
// handled before every tick, so a press of Stop is queued ahead of the next one.
//
// While the timer ticks, the windows are brought up to date on the screen no more often than
// it can show them: a pass may change its plot and its dialog thousands of times a second, and
// drawing each change would bound the pass. The model keeps every change (Model::take_changes)
// and every display list; a frame drawn shows the latest.
constexpr double kFrameInterval = 1.0 / 60.0;

double now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

double last_drawn = 0.0;

// Whether the X server has sent anything not yet handled (a press, a key, an exposure).
bool input_waiting() { return fl_display && XEventsQueued(fl_display, QueuedAfterReading) > 0; }

// Handles what the user did and draws what changed, without waiting.
void handle_and_draw() {
    Fl::check();
    last_drawn = now();
}

// Between ticks: input is handled at once, drawing waits for its frame.
void handle_between_ticks() {
    if (input_waiting() || now() - last_drawn >= kFrameInterval) handle_and_draw();
}

void FltkFrontEnd::pump(Model& m) {
    raise_active(m);
    if (m.timer_callback != 0)
        handle_between_ticks();
    else
        handle_and_draw();
    // A refused entry returns at once: the library shows the refusal.
    while (m.queue.empty() && m.refused_entry == 0 && !rt::end_signal_received()) {
        if (m.timer_callback != 0) {
            m.post_tick();
            break;
        }
        if (!Fl::first_window()) {
            // Nothing is shown and nothing will tick: the only way on is the exit request.
            Event e;
            e.callback = -1;
            e.widget = 1;
            m.post(e);
            break;
        }
        Fl::wait(1.0);  // a signal cuts the wait short; the second bounds a signal's race with it
    }
}

void FltkFrontEnd::timer_changed(Model&) {}

void FltkFrontEnd::shutdown(Model&) {
    for (auto& [id, w] : windows_) w->hide();
    widgets_.clear();
    menubar_of_entry_.clear();
    windows_.clear();
    raised_ = 0;
    Fl::flush();
}

// ---- desktop services ----

bool FltkFrontEnd::choose_colour(Model&, int& r, int& g, int& b) { return wl::fltk::choose_colour(r, g, b); }
bool FltkFrontEnd::print_begin(Model&, PrintPage& page) { return wl::fltk::print_begin(page); }
void FltkFrontEnd::print_page(Model&, const gfx::FrameGraphics& page) { wl::fltk::print_page(page); }
bool FltkFrontEnd::print_end(Model&, bool abandoned) { return wl::fltk::print_end(abandoned); }
void FltkFrontEnd::copy_frame(Model&, const gfx::FrameGraphics& f) { wl::fltk::copy_frame(f); }
void FltkFrontEnd::cursor_changed(Model& m) { show_busy_cursor(m.busy_cursor); }
bool FltkFrontEnd::show_help(Model&, const HelpRequest& r) { return wl::fltk::show_help(r); }

void FltkFrontEnd::restack(Model&, int window, bool top) {
    if (auto it = windows_.find(window); it != windows_.end()) wl::fltk::restack(*it->second, top);
}

}  // namespace

// The connection to the display is gone: nothing can be shown any more. The program ends
// without its windows (Xlib ends the process if this returns).
int display_gone(Display*) {
    display_lost = true;
    wl::end_without_display();
    std::_Exit(0);
}

FrontEnd& install() {
    static bool done = false;
    FltkFrontEnd& fe = instance();
    if (!done) {
        done = true;
        fl_open_display();
        // The display closing under the program is an end request it cannot answer in a window.
        XSetIOErrorHandler(display_gone);
        Fl_Window::default_xclass(kClassMaster);
        // Windows and controls in the desktop's face colour (system colour 11), so that a
        // graphics frame's own grey stands apart from the window around it.
        int r = 0, g = 0, b = 0;
        GETSYSCOLOUR(11, r, g, b);
        Fl::background(uchar(r), uchar(g), uchar(b));
        auto size_screen = [] {
            Model& m = model();
            if (Fl::w() > 0 && Fl::h() > 0) {
                m.screen_w = Fl::w();
                m.screen_h = Fl::h();
            }
        };
        size_screen();
        add_reset_hook("fltk-screen", size_screen);
        gfx::set_update_hook(frame_update);
        // What changed in the model is shown whenever FLTK is about to draw: once a frame while
        // a pass runs (pump), at once while the program waits for the user or a box.
        Fl::add_check([](void*) { instance().show_changes(model()); });
        install_desk();
    }
    set_frontend(&fe);
    return fe;
}

}  // namespace wl::fltk
