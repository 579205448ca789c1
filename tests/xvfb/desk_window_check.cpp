// Real-window checks of the FLTK front end's desktop services, run under Xvfb. One check per mode:
//   colour     gmColourControl opens FLTK's colour chooser; the red component typed into it
//              (xdotool) comes back, the other two as they were.
//   cursor     the busy cursor (gmSetGuiCursor on -1) is the cursor over the master window, also
//              over a text entry, and the normal cursor comes back after it (read with XFixes).
//   hotkey     F5 and Ctrl+F pressed in the master window (xdotool) arrive through gmAction as
//              their key callbacks.
//   stacking   gmPushWindow lowers the master window below another program's window and
//              gmPopWindow raises it again (the screen's stacking order); without a window
//              manager also a dialog below the master window and back.
//   clipboard  gmCopyGraphicsToClipboard puts the frame's picture on the clipboard: another
//              program pastes an image of the frame's size with the frame's red line in it.
//   print      a print job into a PostScript file (Fl_PostScript_File_Device): the file holds
//              the lines drawn on the page.
//   pixels     a pixel area drawn with gmDrawImage shows in the frame on screen, and reads back
//              as it shows.
//   help       GMDISPLAYHELP shows a plain-text help file in FLTK's help window.
// Exit status 0 when the check holds; the reason for a failure on stderr.
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "gui_toolkit/f77gui.h"
#include "gui_toolkit/frames.h"
#include "gui_toolkit/menu_f90.h"
#include "gui_toolkit/minigino.h"
#include "frame_support.h"
#include "platform/fltk/desk.h"
#include "platform/fltk/fltk_frontend.h"
#include "platform/fltk/frame_view.h"
#include "platform/graphics_model.h"
#include "platform/model.h"
#include "platform/transcript.h"
#include "platform/wingui.h"

#include <FL/Fl.H>
#include <FL/Fl_Color_Chooser.H>
#include <FL/Fl_Return_Button.H>
#include <FL/Fl_Value_Input.H>
#include <FL/Fl_Window.H>
#include <FL/x.H>
#include <X11/Xatom.h>
#include <X11/extensions/Xfixes.h>

namespace {

using namespace xcheck;

// The master window with its frame.
int start(int& frame, void (*more)() = nullptr) { return start_with_frame(frame, 0, more); }

Fl_Window* master_window() { return master_window_titled("Kelvorantide v3.72"); }

std::string sh(const std::string& cmd) { return cmd + " >/dev/null 2>&1"; }

// The window class the X server holds for a shown window (FLTK's xclass() answers the default
// class in force now for a window that was given none).
std::string x_class(Fl_Window* w) {
    XClassHint hint{nullptr, nullptr};
    if (!w->shown() || !XGetClassHint(fl_display, fl_xid(w), &hint)) return "";
    const std::string name = hint.res_name ? hint.res_name : "";
    if (hint.res_name) XFree(hint.res_name);
    if (hint.res_class) XFree(hint.res_class);
    return name;
}

template <class T>
T* find_in(Fl_Group* g) {
    for (int i = 0; i < g->children(); ++i) {
        if (auto* t = dynamic_cast<T*>(g->child(i))) return t;
        if (Fl_Group* sub = g->child(i)->as_group())
            if (T* t = find_in<T>(sub)) return t;
    }
    return nullptr;
}

// ---- colour ----

// Once the colour chooser shows, types 200 into its red field and presses OK, as a user does.
void answer_colour(void*) {
    Fl_Window* chooser = nullptr;
    for (Fl_Window* w = Fl::first_window(); w; w = Fl::next_window(w))
        if (x_class(w) == wl::fltk::kClassColour) chooser = w;
    Fl_Value_Input* red = chooser ? find_in<Fl_Value_Input>(chooser) : nullptr;
    Fl_Return_Button* ok = chooser ? find_in<Fl_Return_Button>(chooser) : nullptr;
    // On the screen first: a click on a window not yet mapped is lost.
    if (!red || !ok || !chooser->shown() || !viewable(fl_xid(chooser))) {
        Fl::repeat_timeout(0.2, answer_colour);
        return;
    }
    const int rx = chooser->x_root() + red->x() + red->w() / 2, ry = chooser->y_root() + red->y() + red->h() / 2;
    const int ox = chooser->x_root() + ok->x() + ok->w() / 2, oy = chooser->y_root() + ok->y() + ok->h() / 2;
    const std::string cmd = "(sleep 0.3; xdotool mousemove " + std::to_string(rx) + " " + std::to_string(ry) +
                            " click 1 key End BackSpace BackSpace BackSpace BackSpace type 200; sleep 0.3; "
                            "xdotool key Tab mousemove " +
                            std::to_string(ox) + " " + std::to_string(oy) + " click 1) >/dev/null 2>&1 &";
    check(std::system(cmd.c_str()) == 0, "xdotool started");
}

int run_colour() {
    int frame = 0;
    start(frame);
    Fl::add_timeout(0.3, answer_colour);
    float r = 0.2f, g = 0.4f, b = 0.6f;  // 51, 102, 153
    waiting_for("the colour typed into the colour dialog");
    gmColourControl(r, g, b);
    wait_over();
    check(r == 200.0f / 255.0f, "the red typed comes back, got " + std::to_string(r * 255.0f));
    check(g == 102.0f / 255.0f && b == 153.0f / 255.0f,
          "green and blue stay, got " + std::to_string(g * 255.0f) + " " + std::to_string(b * 255.0f));
    gmCloseMenu();
    return failures ? 1 : 0;
}

// ---- cursor ----

// The cursor the server shows now, as a comparable text.
std::string cursor_now() {
    Fl::flush();
    XSync(fl_display, False);
    XFixesCursorImage* c = XFixesGetCursorImage(fl_display);
    if (!c) return "none";
    std::ostringstream s;
    s << c->width << "x" << c->height << "@" << c->xhot << "," << c->yhot << ":";
    for (int i = 0; i < c->width * c->height; ++i) s << std::hex << c->pixels[i] << ' ';
    XFree(c);
    return s.str();
}

void pointer_to(int x, int y) {
    check(std::system(sh("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y)).c_str()) == 0,
          "xdotool moves the pointer");
}

// The cursor once it has stayed the same for a moment (the window takes the pointer's arrival
// in its own time).
std::string steady_cursor() {
    std::string last = cursor_now();
    eventually([&] {
        settle(0.1);
        const std::string c = cursor_now();
        const bool same = c == last;
        last = c;
        return same;
    });
    return last;
}

int entry_id = 0;

int run_cursor() {
    int frame = 0;
    start(frame, [] {
        REGMINIMUM(5, 1);
        entry_id = wl::model().create(wl::KIND_TEXT, 1, 14, 1);
        wl::model().find(entry_id)->text = "a text";
    });
    int ev = 0, eb = 0;
    check(XFixesQueryExtension(fl_display, &ev, &eb), "the server has XFixes");
    Fl_Window* win = master_window();
    Fl_Widget* entry = child_showing(win, entry_id);
    check(win && entry, "the master window and its entry are shown");
    if (!win || !entry) return 1;
    check(wait_on_screen(win), "the master window is on the screen");
    const int fx = win->x_root() + 5, fy = win->y_root() + win->h() / 2;
    const int ex = win->x_root() + entry->x() + entry->w() / 2, ey = win->y_root() + entry->y() + entry->h() / 2;
    // The cursors before: the text cursor over the entry, the window's own cursor beside it
    // (once the pointer has been over the entry: before, the window may show its parent's).
    pointer_to(fx, fy);
    const std::string first = steady_cursor();
    pointer_to(ex, ey);
    check(eventually([&] { return cursor_now() != first; }), "a text entry shows its own cursor");
    const std::string text_cursor = steady_cursor();
    pointer_to(fx, fy);
    check(eventually([&] { return cursor_now() != text_cursor; }), "the window's own cursor beside the entry");
    const std::string normal = steady_cursor();
    // The busy cursor (animated by some themes, so known by what it is not).
    auto busy_shown = [&] {
        const std::string c = cursor_now();
        return c != normal && c != text_cursor;
    };

    WIDCUR(-1, 0, -1);  // busy
    check(eventually(busy_shown), "the busy cursor shows over the window");
    pointer_to(ex, ey);
    settle(0.3);
    check(busy_shown(), "the busy cursor stays over a text entry");
    pointer_to(fx, fy);
    settle(0.3);
    check(busy_shown(), "and after the entry");

    WIDCUR(-1, 0, 0);  // not busy
    check(eventually([&] { return cursor_now() == normal; }), "the normal cursor comes back");
    gmCloseMenu();
    return failures ? 1 : 0;
}

// ---- hot keys ----

int run_hotkey() {
    int frame = 0;
    start(frame);
    gmDefineKeyCallback(-5, 312);  // F5
    gmDefineKeyCallback(6, 313);   // Ctrl+F
    const std::string keys =
        "(xdotool search --sync --classname " + std::string(wl::fltk::kClassMaster) +
        " windowfocus --sync; sleep 0.2; xdotool key F5; sleep 0.2; xdotool key ctrl+f) >/dev/null 2>&1 &";
    check(std::system(keys.c_str()) == 0, "xdotool started");
    waiting_for("the key presses");
    int cb = 0;
    gmAction(cb);
    check(cb == 312, "F5 queues its key callback, got " + std::to_string(cb));
    gmAction(cb);
    check(cb == 313, "Ctrl+F queues its key callback, got " + std::to_string(cb));
    wait_over();
    gmCloseMenu();
    return failures ? 1 : 0;
}

// ---- stacking ----

// Whether a window manager runs on the display (it announces itself on the root window).
bool window_manager_runs() {
    const Atom check = XInternAtom(fl_display, "_NET_SUPPORTING_WM_CHECK", False);
    Atom type = 0;
    int format = 0;
    unsigned long n = 0, left = 0;
    unsigned char* data = nullptr;
    const bool found = XGetWindowProperty(fl_display, DefaultRootWindow(fl_display), check, 0, 1, False, XA_WINDOW,
                                          &type, &format, &n, &left, &data) == Success &&
                       n == 1;
    if (data) XFree(data);
    return found;
}

// The master window goes below another program's window and comes back above it; without a
// window manager also a dialog below the master window and back (a window manager such as
// openbox keeps a dialog above its master window).
int run_stacking() {
    int frame = 0;
    const int master = start(frame);
    const int dialog = show_dialog(master, "Kelvorantide v3.72 Dialog");
    Fl_Window* mw = master_window();
    Fl_Window* dw = nullptr;
    const std::string dcls = std::string(wl::fltk::kClassDialog) + "-" + std::to_string(dialog);
    for (Fl_Window* w = Fl::first_window(); w; w = Fl::next_window(w))
        if (w->xclass() && dcls == w->xclass()) dw = w;
    check(mw && dw, "the master window and the dialog are shown");
    if (!mw || !dw) return 1;
    const Window mt = fl_xid(mw), dt = fl_xid(dw);
    check(stacked(dt, mt), "the dialog shown last lies above the master window");
    if (!window_manager_runs()) {
        gmPushWindow(dialog);
        check(stacked(mt, dt), "gmPushWindow lowers the dialog below the master window");
        gmPopWindow(-dialog);
        check(stacked(dt, mt), "gmPopWindow raises it again");
    }

    // Another program's window, mapped after ours and so above them.
    Display* other = XOpenDisplay(nullptr);
    const Window ow = XCreateSimpleWindow(other, DefaultRootWindow(other), 50, 50, 300, 200, 0, 0, 0);
    XMapWindow(other, ow);
    XSync(other, False);
    check(stacked(ow, mt), "the other window lies above the master window");
    gmPopWindow(master);
    check(stacked(mt, ow), "gmPopWindow raises the master window above it");
    gmPushWindow(master);
    check(stacked(ow, mt), "gmPushWindow lowers it below again");
    XDestroyWindow(other, ow);
    XCloseDisplay(other);
    gmCloseMenu();
    return failures ? 1 : 0;
}

// ---- clipboard ----

std::string helper_path;  // the clipboard reader beside this program

int run_clipboard() {
    int frame = 0;
    start(frame);
    int w = 0, h = 0;
    GETBITMAPSIZE(frame, w, h);
    gmClearGraphicsFrame(frame);
    LINCOL(2);  // red
    MOVTO2(0.0f, 100.0f);
    LINTO2(300.0f, 100.0f);
    FLUSHG();
    gmCopyGraphicsToClipboard(frame, 1);
    settle(0.2);

    const std::string out = "/tmp/kv_clipboard_" + std::to_string(getpid()) + ".ppm";
    std::remove(out.c_str());
    const pid_t reader = fork();
    if (reader == 0) {
        execl(helper_path.c_str(), helper_path.c_str(), out.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    // This program owns the clipboard: it answers the reader while it waits for it.
    int status = -1;
    for (int k = 0; k < 300; ++k) {
        Fl::wait(0.05);
        if (waitpid(reader, &status, WNOHANG) == reader) break;
    }
    check(WIFEXITED(status) && WEXITSTATUS(status) == 0, "another program pastes an image from the clipboard");
    std::ifstream in(out, std::ios::binary);
    std::string magic;
    int iw = 0, ih = 0, maxv = 0;
    in >> magic >> iw >> ih >> maxv;
    in.get();
    check(magic == "P6" && iw == w && ih == h,
          "the image has the frame's size " + std::to_string(w) + " x " + std::to_string(h) + ", got " +
              std::to_string(iw) + " x " + std::to_string(ih));
    std::vector<unsigned char> px(std::size_t(iw) * std::size_t(ih) * 3);
    in.read(reinterpret_cast<char*>(px.data()), std::streamsize(px.size()));
    auto at = [&](int x, int y) {
        const unsigned char* p = &px[(std::size_t(y) * std::size_t(iw) + std::size_t(x)) * 3];
        return std::to_string(p[0]) + " " + std::to_string(p[1]) + " " + std::to_string(p[2]);
    };
    if (in && iw == w && ih == h) {
        const int row = h - int(std::lround(100.0 * h / 200.0));
        check(at(w / 3, row) == "255 0 0", "the line is red in the copy, got " + at(w / 3, row));
        check(at(w / 3, row + 10) == "192 192 192", "beside it the frame's grey, got " + at(w / 3, row + 10));
    }
    std::remove(out.c_str());
    gmCloseMenu();
    return failures ? 1 : 0;
}

// ---- print ----

int run_print() {
    int frame = 0;
    start(frame);
    const std::string out = "/tmp/kv_print_" + std::to_string(getpid()) + ".ps";
    wl::fltk::print_to_file(out);
    check(gmPrinterControl(0) == 1, "a print job starts");
    // World units of the page are millimetres.
    LINCOL(2);
    MOVTO2(20.0f, 30.0f);
    LINTO2(120.0f, 30.0f);
    LINTO2(120.0f, 150.0f);
    const gfx::FrameGraphics* page = gfx::frame(gfx::kPrinterPage);
    std::vector<std::string> lines;
    if (page)
        for (const gfx::DrawOp& op : page->list)
            if (op.kind == gfx::OpKind::Line)
                lines.push_back(std::to_string(op.points[0].x) + " " + std::to_string(op.points[0].y) + " " +
                                std::to_string(op.points[1].x) + " " + std::to_string(op.points[1].y) + " L");
    check(lines.size() == 2, "two lines on the page");
    check(gmPrinterControl(1) == 1, "the job ends");
    // The job's line in the transcript is the scripted front end's.
    check(!wl::transcript::lines().empty() && wl::transcript::lines().back() == "print -> " + out,
          "the transcript says where the pages went");
    std::ifstream in(out);
    std::stringstream s;
    s << in.rdbuf();
    const std::string text = s.str();
    check(text.rfind("%!PS-Adobe", 0) == 0, "the file is PostScript");
    for (const std::string& l : lines) check(text.find(l) != std::string::npos, "the file holds the line " + l);
    check(text.find("1 0 0 SRGB") != std::string::npos, "in red");
    std::remove(out.c_str());
    gmCloseMenu();
    return failures ? 1 : 0;
}

// ---- pixel areas and help ----

int run_pixels() {
    int frame = 0;
    start(frame);
    gmClearGraphicsFrame(frame);
    // A 20 x 10 pixel area at (30, 40): its left half green, its right half blue.
    std::vector<int> data(200);
    for (int r = 0; r < 10; ++r)
        for (int k = 0; k < 20; ++k) data[std::size_t(r * 20 + k)] = k < 10 ? 0x00FF00 : 0x0000FF;
    gmDrawImage(30, 40, 20, 10, data.data());
    FLUSHG();
    settle();
    Fl_Window* win = master_window();
    wl::fltk::FrameView* v = frame_view(frame);
    if (v && v->window() != win) v = nullptr;
    check(v != nullptr, "the frame is shown");
    if (!v) return 1;
    ScreenShot shot;
    shot.read(win);
    check(shot.pixel_is(v->x() + 32, v->y() + 45, fl_rgb_color(0, 255, 0)), "the area's left half is green on screen");
    check(shot.pixel_is(v->x() + 45, v->y() + 45, fl_rgb_color(0, 0, 255)), "its right half is blue");
    check(shot.pixel_is(v->x() + 25, v->y() + 45, fl_rgb_color(192, 192, 192)), "beside it the frame's grey");
    // What the screen shows is what the library reads back.
    int back[3] = {0, 0, 0};
    PIXGET(25, 45, 3, 0, 0, 0, 3, 1, back);
    check(back[0] == 0xC0C0C0 && back[1] == 0xC0C0C0 && back[2] == 0xC0C0C0, "read back: grey beside it");
    PIXGET(32, 45, 3, 0, 0, 0, 1, 1, back);
    check(back[0] == 0x00FF00, "read back: green inside");
    gmCloseMenu();
    return failures ? 1 : 0;
}

int run_help() {
    int frame = 0;
    start(frame);
    const std::string file = "/tmp/kv_help_" + std::to_string(getpid()) + ".txt";
    std::ofstream(file) << "Contents\n\nFitting: the profile fit of one scan.\nCell: the cell refinement.\n";
    const std::string_view topic = "Cell";
    check(GMDISPLAYHELP(file, "key", &topic) == 0, "the help file is shown");
    settle();
    bool shown = false;
    for (Fl_Window* w = Fl::first_window(); w; w = Fl::next_window(w))
        if (x_class(w) == wl::fltk::kClassHelp && w->label())
            shown = std::string(w->label()) == file.substr(5);
    check(shown, "the help window is on the screen, titled with the file's name");
    check(GMDISPLAYHELP(file + ".missing", "contents") == 1, "a missing help file is not shown");
    std::remove(file.c_str());
    gmCloseMenu();
    return failures ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "colour";
    helper_path = argc > 2 ? argv[2] : "";
    if (mode == "colour") return run_colour();
    if (mode == "cursor") return run_cursor();
    if (mode == "hotkey") return run_hotkey();
    if (mode == "stacking") return run_stacking();
    if (mode == "clipboard") return run_clipboard();
    if (mode == "print") return run_print();
    if (mode == "pixels") return run_pixels();
    if (mode == "help") return run_help();
    std::fprintf(stderr, "usage: %s colour|cursor|hotkey|stacking|clipboard CLIPBOARD_READ|print|pixels|help\n", argv[0]);
    return 2;
}
