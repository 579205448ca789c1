// Real-window checks of the FLTK front end, run under Xvfb. One program, one check per mode:
//   draw     a master window with a graphics frame; a red line and a blue filled rectangle are
//            drawn through the primitives and read back from the screen pixel by pixel.
//   pointer  a click (xdotool) into the frame arrives through gmAction as the frame's callback
//            with world coordinates counted upward from the bottom of the frame.
//   boxes    close boxes queue -1 and leave windows shown; a message box answered with the
//            keyboard (xdotool) returns the program's button code.
//   boxdefault  Return in a question whose button code names its second button presses that one.
//   timer    ticks of the repeating timer arrive one by one; a click on Stop made while a pass
//            runs comes before the next tick, and stopping drops the tick.
//   menu     the menu bar above and the status bar below the grid area; menu entries with their
//            states, and a chosen entry queues its callback.
//   file     FLTK's file chooser, found by its window class, answered by typing a name: the
//            browser returns the bare name and moves into the file's directory; the caller's
//            name is proposed (Return takes it) and Escape returns a blank name.
//   widgets  a push button laid out on the grid queues its callback when clicked and nothing
//            when greyed; a number typed into a value entry is kept in full.
// Exit status 0 when the check holds; the reason for a failure on stderr.
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "gui_toolkit/f77gui.h"
#include "gui_toolkit/frames.h"
#include "gui_toolkit/minigino.h"
#include "include/toolkit_services.h"
#include "platform/fltk/fltk_frontend.h"
#include "platform/fltk/frame_view.h"
#include "platform/graphics_model.h"
#include "platform/model.h"
#include "frame_support.h"
#include "platform/widget_extra.h"
#include "platform/wingui.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Hold_Browser.H>
#include <FL/Fl_Menu_Bar.H>
#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>

namespace {

using namespace xcheck;

// The master window with its frame, whose clicks return callback 200.
int start(int& frame, void (*more)() = nullptr) { return start_with_frame(frame, 200, more); }

struct Pixel {
    int r, g, b;
};

Pixel screen_pixel(Fl_Window* win, int x, int y) {
    win->make_current();
    unsigned char* p = fl_read_image(nullptr, x, y, 1, 1);
    Pixel px{p[0], p[1], p[2]};
    delete[] p;
    return px;
}

std::string str(const Pixel& p) {
    return "(" + std::to_string(p.r) + ", " + std::to_string(p.g) + ", " + std::to_string(p.b) + ")";
}

int run_draw() {
    int frame = 0;
    start(frame);
    wl::fltk::FrameView* v = frame_view(frame);
    check(v != nullptr, "the frame is shown");
    if (!v) return 1;
    int w = 0, h = 0;
    GETBITMAPSIZE(frame, w, h);
    check(v->w() == w && v->h() == h, "the frame on screen has its bitmap's size");

    gmClearGraphicsFrame(frame);
    LINCOL(2);  // red
    MOVTO2(0.0f, 100.0f);
    LINTO2(300.0f, 100.0f);
    LINCOL(7);  // blue
    RFILL(0, 0, 200.0f, 150.0f, 250.0f, 190.0f);
    FLUSHG();
    settle();

    // Rows as the transform gives them (y upward from the bottom of the frame).
    const int row = h - int(std::lround(100.0 * h / 200.0));
    Fl_Window* win = v->window();
    const Pixel on = screen_pixel(win, v->x() + w / 3, v->y() + row);
    check(on.r == 255 && on.g == 0 && on.b == 0, "a pixel of the line is red, got " + str(on));
    const Pixel off = screen_pixel(win, v->x() + w / 3, v->y() + row + 10);
    check(off.r == 192 && off.g == 192 && off.b == 192, "the background next to the line is grey, got " + str(off));
    const int ry = h - int(std::lround(170.0 * h / 200.0));
    const Pixel fill = screen_pixel(win, v->x() + int(225.0 * w / 300.0), v->y() + ry);
    check(fill.r == 0 && fill.g == 0 && fill.b == 255, "inside the rectangle is blue, got " + str(fill));
    const Pixel above = screen_pixel(win, v->x() + int(225.0 * w / 300.0), v->y() + 2);
    check(above.r == 192 && above.b == 192, "above the rectangle is background, got " + str(above));

    // Clearing the frame brings the background back.
    gmClearGraphicsFrame(frame);
    FLUSHG();
    settle();
    const Pixel cleared = screen_pixel(win, v->x() + w / 3, v->y() + row);
    check(cleared.r == 192 && cleared.g == 192 && cleared.b == 192, "a cleared frame is background, got " + str(cleared));
    gmCloseMenu();
    return failures ? 1 : 0;
}

int run_pointer() {
    int frame = 0;
    start(frame);
    wl::fltk::FrameView* v = frame_view(frame);
    if (!v) return 1;
    Fl_Window* win = v->window();
    int w = 0, h = 0;
    GETBITMAPSIZE(frame, w, h);
    // A quarter across, a quarter up from the bottom.
    const int px = w / 4, py_from_bottom = h / 4;
    const int sx = win->x_root() + v->x() + px;
    const int sy = win->y_root() + v->y() + (h - py_from_bottom);
    const std::string cmd = "xdotool mousemove " + std::to_string(sx) + " " + std::to_string(sy) + " click 1";
    check(std::system(cmd.c_str()) == 0, "xdotool clicks");
    waiting_for("the click on the frame");
    int cb = 0;
    gmAction(cb);
    wait_over();
    check(cb == 200, "the click returns the frame's callback, got " + std::to_string(cb));
    check(FRAME_LAYER.CURRENT_FRAME == frame, "the clicked frame is current");
    int callback, widget, extra, kind, count, ints[4];
    float x, y, reals[4];
    char text[4];
    ACTENQ(callback, widget, extra, kind, x, y, text, 4, count, reals, ints);
    check(widget == frame && kind == 0, "a frame event");
    check(std::fabs(x - 75.0f) < 1.5f, "world x of the click, got " + std::to_string(x));
    check(std::fabs(y - 50.0f) < 1.5f, "world y of the click counts from the bottom, got " + std::to_string(y));
    gmCloseMenu();
    return failures ? 1 : 0;
}

// Presses Return in the question box once it is shown, and again every fifth of a second until
// it has gone: on a busy machine a key can reach the box before it takes the keyboard focus, and
// that key is lost. Gives up after ten minutes.
void press_return_in_question_box() {
    const char* cmd =
        "(seen=; for i in $(seq 1 3000); do "
        "box=$(xdotool search --onlyvisible --classname kelvor-message 2>/dev/null | head -n 1); "
        "if [ -n \"$box\" ]; then seen=1; timeout 5 xdotool windowfocus --sync \"$box\"; xdotool key Return; "
        "elif [ -n \"$seen\" ]; then break; fi; sleep 0.2; done) >/dev/null 2>&1 &";
    if (std::system(cmd) != 0) check(false, "xdotool started");
}

int run_boxes() {
    int frame = 0;
    const int master = start(frame);
    const int dialog = show_dialog(master, "Kelvorantide v3.72 Fit parameters");
    settle();

    // Close boxes: the exit request, and the windows stay.
    for (int id : {master, dialog}) {
        Fl_Window* win = nullptr;
        for (Fl_Window* w = Fl::first_window(); w; w = Fl::next_window(w))
            if (std::string(w->xclass() ? w->xclass() : "") ==
                (id == master ? std::string("kelvorantide") : "kelvor-dialog-" + std::to_string(id)))
                win = w;
        check(win != nullptr, "window " + std::to_string(id) + " found by its class");
        if (!win) continue;
        win->do_callback();
        int cb = 0;
        gmAction(cb);
        check(cb == -1, "a close box queues -1");
        check(win->shown(), "a close box leaves the window shown");
    }

    // A question answered from the keyboard: Return presses the first button, Yes (6).
    press_return_in_question_box();
    waiting_for("the answer to the question box");
    const int answer = gmDisplayMessageBox("Kelvorantide v3.72", "No output datafile is open. Do you want to open a file?", 2, 4);
    wait_over();
    check(answer == 6, "Yes answers 6, got " + std::to_string(answer));
    gmCloseMenu();
    return failures ? 1 : 0;
}

// The overwrite question names its second button, No (7), as the one Return presses: the answer
// that keeps the file.
int run_box_default() {
    int frame = 0;
    start(frame);
    settle();
    press_return_in_question_box();
    waiting_for("the Return in the question box");
    const int answer = gmDisplayMessageBox("Kelvorantide v3.72: Open output file",
                                           "Output file already exists: Overwrite (YES) or Append (No)", 1,
                                           4 + MB_DEFAULT_SECOND);
    wait_over();
    check(answer == 7, "Return answers No (7), got " + std::to_string(answer));
    gmCloseMenu();
    return failures ? 1 : 0;
}

Fl_Widget* shown_widget(int id) {
    for (Fl_Window* w = Fl::first_window(); w; w = Fl::next_window(w))
        for (int i = 0; i < w->children(); ++i)
            if (w->child(i)->user_data() == reinterpret_cast<void*>(intptr_t(id))) return w->child(i);
    return nullptr;
}

void click(Fl_Widget* w) {
    Fl_Window* win = w->window();
    const std::string cmd = "xdotool mousemove " + std::to_string(win->x_root() + w->x() + w->w() / 2) + " " +
                            std::to_string(win->y_root() + w->y() + w->h() / 2) + " click 1";
    check(std::system(cmd.c_str()) == 0, "xdotool clicks");
}

int run_widgets() {
    int frame = 0;
    start(frame);
    wl::Model& m = wl::model();
    // A push button of 4 x 1 cells at column 14, row 1 and a value entry above it, made in the
    // model as the widget kinds' own creation routines make them.
    REGMINIMUM(4, 1);
    const int button = m.create(wl::KIND_BUTTON, 1, 14, 1);
    m.find(button)->caption = "Accept";
    SETCALLBACK(button, 101);
    const int entry = m.create(wl::KIND_VALUE, 1, 14, 3);
    m.find(entry)->value = 1.5;
    m.find(entry)->decimals = 2;
    m.find(entry)->text = "1.50";
    REGMINIMUM(5, 3);
    const int list = m.create(wl::KIND_LISTBOX, 1, 14, 5);
    m.find(list)->items = {"Standard", "Old Vosket", "CAD4"};
    m.find(list)->selection = 2;
    SETCALLSELECT(list, 55);
    gmDrawWindow(1);
    settle();

    // A list box three cells high shows its entries with the selection.
    auto* lb = dynamic_cast<Fl_Hold_Browser*>(shown_widget(list));
    check(lb && lb->size() == 3 && lb->value() == 2, "the list shows three entries, the second selected");
    if (lb) {
        lb->select(3);
        lb->do_callback();
        int sel_cb = 0;
        gmAction(sel_cb);
        check(sel_cb == 55 && m.find(list)->selection == 3, "choosing an entry selects it and queues the select callback");
    }

    Fl_Widget* b = shown_widget(button);
    Fl_Widget* e = shown_widget(entry);
    check(b && e, "the button and the entry are shown");
    if (!b || !e) return 1;
    const int cell_w = m.screen_w / 32, cell_h = m.screen_h / 24;
    check(b->x() == 14 * cell_w && b->w() == 4 * cell_w && b->h() == cell_h, "the button spans its cells");
    check(b->y() == b->window()->h() - 2 * cell_h, "row 1 is the second row from the bottom");
    check(std::string(b->label() ? b->label() : "") == "Accept", "the button shows its caption");

    click(b);
    waiting_for("the click on the button, then on the frame");
    int cb = 0;
    gmAction(cb);
    check(cb == 101, "the button's callback, got " + std::to_string(cb));

    // Greyed: the click is lost; the frame's click that follows comes through.
    int status = 0;
    WIDGETSTATUS(button, 0, status);
    settle(0.2);
    check(!b->active(), "the greyed button is inactive");
    click(b);
    click(frame_view(frame));
    gmAction(cb);
    check(cb == 200, "a greyed button queues nothing, got " + std::to_string(cb));

    // Typing into the value entry keeps the full number typed.
    click(e);
    check(std::system("xdotool key ctrl+a BackSpace type 12.3456789") == 0, "xdotool types");
    eventually([&] { return m.find(entry)->value == 12.3456789; });
    wait_over();
    check(m.find(entry)->value == 12.3456789, "the typed number is the value, got " + std::to_string(m.find(entry)->value));
    gmCloseMenu();
    return failures ? 1 : 0;
}

int run_timer() {
    int frame = 0;
    start(frame);
    wl::Model& m = wl::model();
    REGMINIMUM(4, 1);
    const int stop = m.create(wl::KIND_BUTTON, 1, 14, 1);
    m.find(stop)->caption = "Stop";
    SETCALLBACK(stop, 102);
    gmDrawWindow(1);
    settle();
    Fl_Widget* b = shown_widget(stop);
    if (!b) return 1;

    waiting_for("the timer's ticks and the click on Stop");
    gmDefineTimerCallback(50, 990);
    int cb = 0;
    for (int i = 0; i < 3; ++i) {
        gmAction(cb);
        check(cb == 990, "a tick, got " + std::to_string(cb));
    }
    click(b);  // the user presses Stop while the program works on a tick
    gmAction(cb);
    check(cb == 102, "Stop comes before the next tick, got " + std::to_string(cb));
    gmDefineTimerCallback(50, 0);
    check(!m.tick_pending() && m.queue.empty(), "a stopped timer leaves no tick");
    wait_over();
    gmCloseMenu();
    return failures ? 1 : 0;
}

int menu_open = 0, menu_exit = 0, status_bar = 0;

void add_menus() {
    int bar = 0, pull = 0, sep = 0;
    ADDMENUBAR(1, bar);
    ADDMENUPULL(bar, "File", 0, pull);
    ADDMENUENTRY(pull, "Open data file", 0, menu_open);
    ADDMENUSEPARATOR(pull, 0, sep);
    ADDMENUENTRY(pull, "Exit", 0, menu_exit);
    SETCALLBACK(menu_open, 312);
    SETCALLBACK(menu_exit, 313);
    ADDSTATUSBAR(1, 0, status_bar);
    SETSTATUSTEXT(status_bar, 0, "Kelvorantide v3.72  (c) owners", 30);
}

int run_menu() {
    int frame = 0;
    start(frame, add_menus);
    Fl_Menu_Bar* bar = nullptr;
    Fl_Box* status = nullptr;
    for (Fl_Window* w = Fl::first_window(); w; w = Fl::next_window(w))
        for (int i = 0; i < w->children(); ++i) {
            if (auto* b = dynamic_cast<Fl_Menu_Bar*>(w->child(i))) bar = b;
            if (w->child(i)->user_data() == reinterpret_cast<void*>(intptr_t(status_bar)))
                status = dynamic_cast<Fl_Box*>(w->child(i));
        }
    check(bar && status, "the menu bar and the status bar are shown");
    if (!bar || !status) return 1;
    wl::fltk::FrameView* v = frame_view(frame);
    const int cell_h = wl::model().screen_h / 24;
    check(bar->y() == 0 && v->y() == bar->h() + (15 - 2 - 8) * cell_h, "the grid area starts below the menu bar");
    check(status->y() == bar->h() + 15 * cell_h, "the status bar lies below the grid area");
    check(std::string(status->label() ? status->label() : "") == "Kelvorantide v3.72  (c) owners", "the status text");

    const Fl_Menu_Item* open = bar->find_item("File/Open data file");
    const Fl_Menu_Item* exit = bar->find_item("File/Exit");
    check(open && exit, "the entries are in the menu");
    if (!open || !exit) return 1;
    check((open->flags & FL_MENU_DIVIDER) != 0, "the separator follows the first entry");
    int status_code = 0;
    WIDGETSTATUS(menu_exit, 0, status_code);
    settle(0.05);  // the window shows the change with its next frame
    exit = bar->find_item("File/Exit");
    check(exit && !exit->active(), "a greyed entry is inactive");

    bar->picked(bar->find_item("File/Open data file"));
    int cb = 0;
    waiting_for("the menu entry picked");
    gmAction(cb);
    wait_over();
    check(cb == 312, "the chosen entry's callback, got " + std::to_string(cb));
    gmCloseMenu();
    return failures ? 1 : 0;
}

int run_file() {
    int frame = 0;
    start(frame);
    char tmpl[] = "/tmp/kvfileXXXXXX";
    const char* dir = mkdtemp(tmpl);
    check(dir != nullptr, "a scratch directory");
    if (!dir) return 1;
    const std::string par = std::string(dir) + "/scan1.par";
    if (FILE* f = std::fopen(par.c_str(), "w")) {
        std::fputs("WAVEL 0.71073\n", f);
        std::fclose(f);
    }
    if (std::system("(xdotool search --sync --classname kelvor-file windowfocus --sync type scan1.par; "
                    "sleep 0.3; xdotool key Return) >/dev/null 2>&1 &") != 0)
        check(false, "xdotool started");
    waiting_for("the name typed into the file browser");
    WIDSTR("Select the parameter file");
    char name[30];
    std::memset(name, ' ', sizeof name);  // the caller's name is proposed: none here
    BROWSE(0, 0, 0, 0, name, 30, dir, "*.par|(Parameter File)|*.*|(All Files)");
    wait_over();
    const std::string got(name, 30);
    check(got == "scan1.par" + std::string(21, ' '), "the bare name, blank-padded, got \"" + got + "\"");
    char cwd[4096];
    check(getcwd(cwd, sizeof cwd) && std::string(cwd) == dir, "the current directory is the file's");

    // A path typed in full, starting from another directory.
    check(chdir("/") == 0, "back to the root");
    const std::string typed = "(xdotool search --sync --classname kelvor-file windowfocus --sync type " + par +
                              "; sleep 0.3; xdotool key Return) >/dev/null 2>&1 &";
    if (std::system(typed.c_str()) != 0) check(false, "xdotool started");
    waiting_for("the full path typed into the file browser");
    BROWSE(0, 0, 0, 0, name, 30, "/tmp", "*.par|(Parameter File)|*.*|(All Files)");
    wait_over();
    check(std::string(name, 30) == "scan1.par" + std::string(21, ' '), "a full path typed gives its bare name");
    check(getcwd(cwd, sizeof cwd) && std::string(cwd) == dir, "and its directory becomes current");

    // The caller's name is proposed in the chooser's name field: Return alone takes it.
    auto propose = [&](const char* proposal, const char* keys) {
        std::memset(name, ' ', sizeof name);
        std::memcpy(name, proposal, std::strlen(proposal));
        const std::string answer = std::string("(xdotool search --sync --classname kelvor-file windowfocus --sync; "
                                               "sleep 0.5; xdotool key ") + keys + ") >/dev/null 2>&1 &";
        if (std::system(answer.c_str()) != 0) check(false, "xdotool started");
        waiting_for("the answer to the file browser");
        BROWSE(0, 0, 0, 0, name, 30, dir, "*.par|(Parameter File)|*.*|(All Files)");
        wait_over();
        return std::string(name, 30);
    };
    check(propose("scan1.par", "Return") == "scan1.par" + std::string(21, ' '), "the proposed name is taken");
    // Escape cancels: the name comes back blank and nothing exists under the proposal.
    const std::string fresh = std::string(dir) + "/fresh.par";
    check(propose("fresh.par", "Escape") == std::string(30, ' '), "a cancel with a proposal gives a blank name");
    check(access(fresh.c_str(), F_OK) != 0, "nothing is made under the proposed name");
    std::remove(par.c_str());
    rmdir(dir);
    gmCloseMenu();
    return failures ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "draw";
    if (mode == "draw") return run_draw();
    if (mode == "pointer") return run_pointer();
    if (mode == "boxes") return run_boxes();
    if (mode == "boxdefault") return run_box_default();
    if (mode == "widgets") return run_widgets();
    if (mode == "file") return run_file();
    if (mode == "timer") return run_timer();
    if (mode == "menu") return run_menu();
    std::fprintf(stderr, "usage: %s draw|pointer|boxes|widgets|file|timer|menu\n", argv[0]);
    return 2;
}
