// Every widget kind of the program's own windows in one real window under Xvfb, made through
// the same creation routines the program calls: menu bar (titles, entries, a separator, a
// greyed entry and a greyed title), push button, value entries and text entries (editable and
// display-only), toggle, radio box with its toggles, list box, icon, graphics frame and status
// bar.
//   layout  each widget stands where the grid puts it (columns from the left, rows upward from
//           the bottom of the grid area between the bars) and is drawn there, read back from
//           the screen; the menu shows its entries with their states.
//   clicks  a click (xdotool) on each control queues its callback number and changes the
//           model as the user did; typed numbers are kept in full, a text that is no number is
//           refused with a box that shows it, a display-only entry takes no typing.
// Exit status 0 when the check holds; the reason for a failure on stderr.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "gui_toolkit/f77gui.h"
#include "gui_toolkit/menu_f90.h"
#include "gui_toolkit/minigino.h"
#include "include/toolkit_services.h"
#include "platform/fltk/boxes.h"
#include "platform/fltk/fltk_frontend.h"
#include "platform/model.h"
#include "platform/wingui.h"
#include "shell/window_tables.h"
#include "check_support.h"

#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Input_.H>
#include <FL/Fl_Menu_Bar.H>
#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>

namespace {

using namespace xcheck;


// The grid of the check's master window: 20 x 12 cells between the menu bar and the status bar.
constexpr int kCols = 20, kRows = 12;

struct Ids {
    int master = 0, bar = 0, file = 0, integrate = 0, utilities = 0;
    int open = 0, exit = 0, manual = 0, autofit = 0, preprocess = 0;
    int button = 0, value = 0, shown_value = 0, text = 0, caption = 0, toggle = 0;
    int radio = 0, rfine = 0, shelx = 0, list = 0, icon = 0, status = 0, frame = 0;
} id;

void build() {
    wl::fltk::install();
    gOpenGino();
    GGUIWIN();
    gmInitializeMenu();
    gmDefineGuiGrid(32, 24);
    // The program's images reach the front end through the library, as the program hands them.
    for (std::string_view image : {"#101", "#102"}) REGIMAGE(image, ui::program_image(image));
    id.master = gmCreateMasterWindow(2, 2, kCols, kRows, 11, "Kelvorantide widget kinds",
                                     {.icon1 = 4, .icon_name = "#101"});
    id.button = gmCreatePushButton(id.master, 1, 10, 3, 1, "Accept", {.callback = 111});
    id.value = gmCreateValueEntry(id.master, 5, 10, 3, 1, 1.5f, 8, 3, 0, {.callback = 108, .value_error_callback = 109});
    id.shown_value = gmCreateValueEntry(id.master, 9, 10, 3, 1, 2.25f, 7, 2, 19);
    id.text = gmCreateTextEntry(id.master, 1, 8, 4, 1, "", 20, 0, {.callback = 106});
    id.caption = gmCreateTextEntry(id.master, 6, 8, 4, 1, "HKL = ", 6, 19, {.colour3 = 7});
    id.toggle = gmCreateToggleButton(id.master, 1, 6, 4, 1, "Skip weak reflns", 0, {.toggle_type = 7, .callback = 428});
    id.radio = gmCreateRadioBox(id.master, 6, 3, 5, 3);
    id.rfine = gmCreateToggleButton(id.radio, 0, 2, 5, 1, "Rfine", 1, {.callback = 594});
    id.shelx = gmCreateToggleButton(id.radio, 0, 1, 5, 1, "Shelx hkl", 0, {.callback = 596});
    id.list = gmCreateListBox(id.master, 12, 6, 5, 1, 0, {.type3 = 0, .select_callback = 55});
    for (const char* s : {"Monoclinic-b", "Orthorhombic", "Cubic"}) gmSetListEntry(id.list, 0, {.text = s});
    id.frame = gmCreateGraphicsFrame(id.master, 12, 1, 6, 4, {0.0f, 300.0f, 0.0f, 200.0f}, {.callback = 200});
    id.icon = gmCreateIcon(id.master, 0, 0, 2, 2, "#102", 4, 0, {.icon_type = 1, .callback = 99});
    id.status = gmCreateStatusBar(id.master, {.second_text = "Kelvorantide v3.72   (c) Kelvor"});

    id.bar = gmCreateMenuBar(id.master);
    id.file = gmCreateMenuEntry(id.bar, "File", {.accelerator = 'F'});
    id.integrate = gmCreateMenuEntry(id.bar, "Integrate");
    id.utilities = gmCreateMenuEntry(id.bar, "Utilities");
    const int file_menu = GMCREATEPULLDOWNMENU(id.file);
    id.open = gmCreateMenuEntry(file_menu, "Open data file", {.callback = 312});
    gmCreateMenuSeparator(file_menu);
    id.exit = gmCreateMenuEntry(file_menu, "Exit", {.callback = 316});
    const int integrate_menu = GMCREATEPULLDOWNMENU(id.integrate);
    id.manual = gmCreateMenuEntry(integrate_menu, "Manual profile fit", {.callback = 321});
    id.autofit = gmCreateMenuEntry(integrate_menu, "Auto profile fit", {.callback = 322});
    const int utilities_menu = GMCREATEPULLDOWNMENU(id.utilities);
    id.preprocess = gmCreateMenuEntry(utilities_menu, "Preprocess", {.callback = 331});
    gmSetWidgetStatus(id.exit, STATUS_GREYED);
    gmSetWidgetStatus(id.utilities, STATUS_GREYED);
    gmManage();
    settle();
}

Fl_Window* master_window() { return master_window_titled("Kelvorantide widget kinds"); }

Fl_Widget* shown(int wid) { return child_showing(master_window(), wid); }

struct Rect {
    int x = 0, y = 0, w = 0, h = 0;
};

int cell_w() { return wl::model().screen_w / 32; }
int cell_h() { return wl::model().screen_h / 24; }

// Where the grid puts a widget of w x h cells at column x, row y of an area (rows counted
// upward from the area's bottom edge).
Rect grid_rect(const Rect& area, int x, int y, int w, int h) {
    return {area.x + x * cell_w(), area.y + area.h - (y + h) * cell_h(), w * cell_w(), h * cell_h()};
}

Rect grid_area() { return {0, wl::fltk::kBarHeight, kCols * cell_w(), kRows * cell_h()}; }

Rect rect_of(const Fl_Widget* f) { return {f->x(), f->y(), f->w(), f->h()}; }

std::string str(const Rect& r) {
    return "(" + std::to_string(r.x) + ", " + std::to_string(r.y) + ", " + std::to_string(r.w) + " x " +
           std::to_string(r.h) + ")";
}

bool same(const Rect& a, const Rect& b) { return a.x == b.x && a.y == b.y && a.w == b.w && a.h == b.h; }

// Pixels inside r (one pixel in from its edges) that are not of colour c, and that are.
int count_not(const ScreenShot& s, const Rect& r, Fl_Color c) {
    int n = 0;
    for (int y = r.y + 1; y < r.y + r.h - 1; ++y)
        for (int x = r.x + 1; x < r.x + r.w - 1; ++x) n += !s.pixel_is(x, y, c);
    return n;
}
int count_of(const ScreenShot& s, const Rect& r, Fl_Color c) {
    int n = 0;
    for (int y = r.y + 1; y < r.y + r.h - 1; ++y)
        for (int x = r.x + 1; x < r.x + r.w - 1; ++x) n += s.pixel_is(x, y, c);
    return n;
}

int run_layout() {
    build();
    Fl_Window* win = master_window();
    check(win != nullptr, "the window is shown");
    if (!win) return 1;
    check(win->w() == kCols * cell_w() && win->h() == kRows * cell_h() + 2 * wl::fltk::kBarHeight,
          "the window holds its grid and the two bars");
    const Rect area = grid_area();

    // Each widget where the grid puts it.
    struct Placed {
        const char* what;
        int wid, x, y, w, h;
    };
    const Placed placed[] = {
        {"push button", id.button, 1, 10, 3, 1},     {"value entry", id.value, 5, 10, 3, 1},
        {"display-only value", id.shown_value, 9, 10, 3, 1}, {"text entry", id.text, 1, 8, 4, 1},
        {"display-only text", id.caption, 6, 8, 4, 1}, {"toggle", id.toggle, 1, 6, 4, 1},
        {"list box", id.list, 12, 6, 5, 1},          {"icon", id.icon, 0, 0, 2, 2},
        {"graphics frame", id.frame, 12, 1, 6, 4},
    };
    ScreenShot screen;
    screen.read(win);
    for (const Placed& p : placed) {
        Fl_Widget* f = shown(p.wid);
        check(f && f->visible(), std::string(p.what) + " is shown");
        if (!f) continue;
        const Rect want = grid_rect(area, p.x, p.y, p.w, p.h);
        check(same(rect_of(f), want), std::string(p.what) + " at " + str(want) + ", got " + str(rect_of(f)));
        // Drawn: something other than the window's face inside its cells.
        check(count_not(screen, want, FL_BACKGROUND_COLOR) > 0, std::string(p.what) + " is drawn");
    }

    // The radio box's toggles stand in its cells, the box's frame around them.
    const Rect box = grid_rect(area, 6, 3, 5, 3);
    Fl_Widget* frame = shown(id.radio);
    for (const auto& [wid, row] : {std::pair{id.rfine, 2}, std::pair{id.shelx, 1}}) {
        Fl_Widget* t = shown(wid);
        const Rect want = grid_rect(box, 0, row, 5, 1);
        check(t && same(rect_of(t), want), "a radio toggle at " + str(want) + ", got " + (t ? str(rect_of(t)) : "none"));
        if (t && frame)
            check(frame->x() <= t->x() && frame->y() <= t->y() && frame->x() + frame->w() >= t->x() + t->w() &&
                      frame->y() + frame->h() >= t->y() + t->h(),
                  "the radio box's frame encloses its toggles");
        if (t) check(count_not(screen, want, FL_BACKGROUND_COLOR) > 0, "a radio toggle is drawn");
    }
    check(frame && count_not(screen, rect_of(frame), FL_BACKGROUND_COLOR) > 0, "the radio box is drawn");

    // What each shows: editable fields white, display-only ones on the window's face; the value
    // with its decimals; the toggles' states; the list's entries; the icon's image.
    const Rect value = grid_rect(area, 5, 10, 3, 1), shown_value = grid_rect(area, 9, 10, 3, 1);
    check(count_of(screen, value, FL_WHITE) > value.w * value.h / 3, "an editable entry is white");
    check(count_of(screen, shown_value, FL_WHITE) == 0, "a display-only entry is not");
    auto text_of = [](int wid) {
        auto* in = dynamic_cast<Fl_Input_*>(shown(wid));
        return std::string(in && in->value() ? in->value() : "");
    };
    check(text_of(id.value).find("1.500") != std::string::npos, "the value shows three decimals: " + text_of(id.value));
    check(text_of(id.shown_value).find("2.25") != std::string::npos, "the display-only value: " + text_of(id.shown_value));
    check(text_of(id.caption) == "HKL =", "the display-only text: \"" + text_of(id.caption) + "\"");
    auto* rfine = dynamic_cast<Fl_Button*>(shown(id.rfine));
    auto* shelx = dynamic_cast<Fl_Button*>(shown(id.shelx));
    check(rfine && rfine->value() == 1 && shelx && shelx->value() == 0, "the radio box shows its choice");
    auto* choice = dynamic_cast<Fl_Choice*>(shown(id.list));
    check(choice && choice->size() == 4, "the list box holds its three entries");  // and the end mark
    const Rect icon = grid_rect(area, 0, 0, 2, 2);
    // The logo's dark blue ground in the middle of the icon's cells.
    check(count_of(screen, {icon.x + icon.w / 2 - 4, icon.y + icon.h / 2 - 4, 8, 8}, fl_rgb_color(0x1E, 0x2A, 0x44)) > 0,
          "the icon shows the program's logo");

    // Menu bar above the grid, status bar below it.
    Fl_Menu_Bar* bar = dynamic_cast<Fl_Menu_Bar*>(shown(id.bar));
    Fl_Widget* status = shown(id.status);
    check(bar && same(rect_of(bar), {0, 0, win->w(), wl::fltk::kBarHeight}), "the menu bar spans the top");
    check(status && same(rect_of(status), {0, win->h() - wl::fltk::kBarHeight, win->w(), wl::fltk::kBarHeight}),
          "the status bar spans the bottom");
    check(status && status->label() && std::string(status->label()) == "Kelvorantide v3.72   (c) Kelvor",
          "the status bar's text");
    check(status && count_not(screen, rect_of(status), FL_BACKGROUND_COLOR) > 0, "the status bar is drawn");
    if (bar) {
        check(count_not(screen, rect_of(bar), FL_BACKGROUND_COLOR) > 0, "the menu bar is drawn");
        const Fl_Menu_Item* open = bar->find_item("&File/Open data file");
        const Fl_Menu_Item* exit = bar->find_item("&File/Exit");
        const Fl_Menu_Item* autofit = bar->find_item("Integrate/Auto profile fit");
        const Fl_Menu_Item* utilities = bar->find_item("Utilities");
        check(open && exit && autofit && utilities, "the titles and entries are in the menu bar");
        if (open && exit && autofit && utilities) {
            check((open->flags & FL_MENU_DIVIDER) != 0, "a separator follows \"Open data file\"");
            check(open->active() && !exit->active() && autofit->active(), "the greyed entry is inactive");
            check(!utilities->active(), "the greyed title is inactive");
        }
    }
    gmCloseMenu();
    return failures ? 1 : 0;
}

// The middle of a widget on the screen.
void click(Fl_Widget* w) {
    Fl_Window* win = w->window();
    const std::string cmd = "xdotool mousemove " + std::to_string(win->x_root() + w->x() + w->w() / 2) + " " +
                            std::to_string(win->y_root() + w->y() + w->h() / 2) + " click 1";
    check(std::system(cmd.c_str()) == 0, "xdotool clicks");
}

void keys(const std::string& k) { check(std::system(("xdotool " + k).c_str()) == 0, "xdotool " + k); }

int next_callback() {
    int cb = 0;
    waiting_for("the click xdotool sends");
    gmAction(cb);
    wait_over();
    return cb;
}

// After an edit the entry refuses: the box that says so is answered with a click on its OK (90
// by 28 pixels, 12 from the box's right and bottom edges), then the push button is clicked; the
// callback the program takes next.
int callback_after_refusal() {
    Fl_Widget* b = shown(id.button);
    Fl_Window* win = b->window();
    const std::string at = std::to_string(win->x_root() + b->x() + b->w() / 2) + " " +
                           std::to_string(win->y_root() + b->y() + b->h() / 2);
    const std::string cmd = "(box=$(xdotool search --sync --onlyvisible --classname " + std::string(wl::fltk::kClassError) +
                            " | head -n 1); eval $(xdotool getwindowgeometry --shell $box); "
                            "xdotool mousemove --window $box $((WIDTH - 57)) $((HEIGHT - 26)) click 1; sleep 0.3; "
                            "xdotool mousemove " + at + " click 1) >/dev/null 2>&1 &";
    check(std::system(cmd.c_str()) == 0, "xdotool started");
    return next_callback();
}

int run_clicks() {
    build();
    wl::Model& m = wl::model();
    Fl_Window* win = master_window();
    check(win != nullptr, "the window is shown");
    if (!win) return 1;
    for (int wid :
         {id.button, id.value, id.shown_value, id.text, id.toggle, id.rfine, id.shelx, id.list, id.icon, id.frame})
        check(shown(wid) != nullptr, "widget " + std::to_string(wid) + " is shown");
    if (failures) return 1;

    // Push button, toggle, radio toggle, icon: each click queues its callback.
    click(shown(id.button));
    check(next_callback() == 111, "the push button queues its callback");
    click(shown(id.toggle));
    check(next_callback() == 428 && m.find(id.toggle)->toggle == 1, "the toggle is on and queues its callback");
    click(shown(id.shelx));
    check(next_callback() == 596, "the radio toggle queues its callback");
    check(m.find(id.shelx)->toggle == 1 && m.find(id.rfine)->toggle == 0, "the radio box's choice moves");
    click(shown(id.icon));
    check(next_callback() == 99, "the icon queues its callback");
    click(shown(id.frame));
    check(next_callback() == 200, "the graphics frame queues its callback");

    // The list box drops its entries down; the first chosen from the keyboard, then the next.
    click(shown(id.list));
    keys("key Down");
    keys("key Return");
    const int list_cb = next_callback();
    check(list_cb == 55, "choosing in the list box queues its select callback, got " + std::to_string(list_cb));
    check(m.find(id.list)->selection == 1, "the list box's selection is the first entry, got " +
                                               std::to_string(m.find(id.list)->selection));
    click(shown(id.list));
    keys("key Down");
    keys("key Return");
    check(next_callback() == 55 && m.find(id.list)->selection == 2, "and then the second, got " +
                                                                       std::to_string(m.find(id.list)->selection));

    // A number typed into the value entry and Enter: its callback, the number in full.
    click(shown(id.value));
    keys("key ctrl+a BackSpace");
    keys("type 12.3456789");
    keys("key Return");
    check(next_callback() == 108, "Enter in the value entry queues its callback");
    check(m.find(id.value)->value == 12.3456789, "the typed number is kept in full");
    // A text that is no number: refused with a box that shows it, the value kept and shown
    // again; what the edit queued is dropped, so the next callback is the push button's, clicked
    // once the box is answered.
    keys("key ctrl+a BackSpace");
    keys("type 1.5abc");
    keys("key Return");
    check(callback_after_refusal() == 111, "a text that is no number queues nothing");
    check(m.find(id.value)->value == 12.3456789, "and leaves the value as it was");
    check(!m.boxes.empty() && m.boxes.back().text.rfind("\"1.5abc\" is not a number", 0) == 0,
          "the box shows the text typed");
    // Exponents as the program's files write them are numbers; what C would also take is not,
    // nor a number beyond a 32-bit real.
    struct Typed {
        const char* text;
        bool number;
        double value;
    };
    for (const Typed& t : {Typed{"1.5D3", true, 1500.0}, Typed{" -2.5e-3 ", true, -2.5e-3}, Typed{"nan", false, 0},
                           Typed{"0x10", false, 0}, Typed{"1e999", false, 0}, Typed{"4e38", false, 0},
                           Typed{"1.", true, 1.0}}) {
        const double was = m.find(id.value)->value;
        click(shown(id.value));
        keys("key ctrl+a BackSpace");
        keys(std::string("type -- '") + t.text + "'");
        keys("key Return");
        const int cb = t.number ? next_callback() : callback_after_refusal();
        const double now = m.find(id.value)->value;
        check(cb == (t.number ? 108 : 111) && now == (t.number ? t.value : was),
              std::string("typed \"") + t.text + "\": callback " + std::to_string(cb) + ", value " + std::to_string(now));
    }
    // A number too wide for its field shows asterisks; Enter on it, untouched, keeps the number.
    gmSetValueSetting(id.value, 1.0e9f);
    settle(0.2);
    keys("key Return");
    check(next_callback() == 108 && m.find(id.value)->value == 1.0e9, "Enter on a number shown as asterisks keeps it");

    // Typing into a text entry; Enter queues its callback (the h k l of the fit modes).
    click(shown(id.text));
    keys("type '1 2 -3'");
    keys("key Return");
    check(next_callback() == 106, "Enter in the text entry queues its callback");
    check(m.find(id.text)->text == "1 2 -3", "the typed text reaches the model: \"" + m.find(id.text)->text + "\"");
    // No more characters than the entry's length limit of 20.
    keys("type ' 4 5 6 7 8 9 10 11 12'");
    keys("key Return");
    check(next_callback() == 106 && m.find(id.text)->text == "1 2 -3 4 5 6 7 8 9 1",
          "the text entry stops at its length limit: \"" + m.find(id.text)->text + "\"");

    // A display-only entry takes no typing; the button that follows still answers.
    click(shown(id.shown_value));
    keys("type 99");
    keys("key Return");
    click(shown(id.button));
    const int after_display = next_callback();
    check(after_display == 111, "a display-only entry queues nothing, got " + std::to_string(after_display));
    check(m.find(id.shown_value)->value == 2.25, "and keeps its value");

    // A menu entry chosen from its title: Alt+F opens the File menu.
    keys("key alt+f");
    keys("key Down");
    keys("key Return");
    const int menu_cb = next_callback();
    check(menu_cb == 312, "the menu entry queues its callback, got " + std::to_string(menu_cb));
    gmCloseMenu();
    return failures ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "layout";
    if (mode == "layout") return run_layout();
    if (mode == "clicks") return run_clicks();
    std::fprintf(stderr, "usage: %s layout|clicks\n", argv[0]);
    return 2;
}
