// Text colours and fonts in a real window under Xvfb, made through the same creation routines
// the program calls and read back from the screen: a heading in colour 7 shows blue, a row name
// in colour 2 red, an entry without a colour black; a "Go" button with font attribute 1 = 10
// shows a larger caption than a plain "Go"; a number wider than its one-cell field shows whole
// in a smaller size instead of being cut at the field's edge. Colour codes and point sizes are
// checked against their table first. Then overlapping dialogs: the one the program makes
// active comes above the one shown after it, as the X server stacks them, also when it is made
// active the moment the other is shown.
// Exit status 0 when the check holds; the reason for a failure on stderr.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "gui_toolkit/f77gui.h"
#include "gui_toolkit/menu_f90.h"
#include "gui_toolkit/minigino.h"
#include "include/toolkit_services.h"
#include "platform/fltk/boxes.h"
#include "platform/fltk/fltk_frontend.h"
#include "platform/fltk/looks.h"
#include "platform/model.h"
#include "check_support.h"

#include <FL/Fl.H>
#include <FL/Fl_Input_.H>
#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>
#include <FL/x.H>

namespace {

using namespace xcheck;

constexpr const char* kTitle = "Kelvorantide looks";

struct Ids {
    int master = 0, heading = 0, row_name = 0, plain = 0, go = 0, plain_go = 0, narrow = 0;
} id;

void build() {
    wl::fltk::install();
    gOpenGino();
    GGUIWIN();
    gmInitializeMenu();
    gmDefineGuiGrid(32, 24);
    id.master = gmCreateMasterWindow(2, 2, 12, 8, 11, kTitle);
    id.heading = gmCreateTextEntry(id.master, 1, 6, 3, 1, "Refined", 10, 19, {.colour3 = 7});
    id.row_name = gmCreateTextEntry(id.master, 1, 5, 3, 1, "Background", 10, 19, {.colour3 = 2});
    id.plain = gmCreateTextEntry(id.master, 5, 5, 3, 1, "Background", 10, 19);
    id.go = gmCreatePushButton(id.master, 1, 3, 1, 1, "Go", {.callback = 106});
    gmSetFontAttribs(id.go, {.a1 = 10});
    id.plain_go = gmCreatePushButton(id.master, 3, 3, 1, 1, "Go", {.callback = 108});
    id.narrow = gmCreateValueEntry(id.master, 1, 1, 1, 1, 200.0f, 6, 1, 19);
    gmManage();
    for (int k = 0; k < 25; ++k) {
        Fl::wait(0.02);
        Fl::flush();
    }
}

Fl_Window* master_window() { return master_window_titled(kTitle); }

Fl_Widget* shown(Fl_Window* w, int wid) { return child_showing(w, wid); }

// What the text inside a widget (its frame left out) is drawn in, counted pixel by pixel.
struct Ink {
    int blue = 0, red = 0, black = 0;
    int top = 1 << 30, bottom = -1, right = -1;  // extent of the dark (text) pixels
};

Ink ink_in(const ScreenShot& s, const Fl_Widget* f, int inset) {
    Ink k;
    if (!s.rgb || !f) return k;
    for (int y = f->y() + inset; y < f->y() + f->h() - inset; ++y)
        for (int x = f->x() + inset; x < f->x() + f->w() - inset; ++x) {
            if (x < 0 || y < 0 || x >= s.w || y >= s.h) continue;
            const unsigned char* p = s.at(x, y);
            const bool blue = p[2] > 200 && p[0] < 60 && p[1] < 60;
            const bool red = p[0] > 200 && p[1] < 60 && p[2] < 60;
            const bool dark = p[0] + p[1] + p[2] < 200;
            k.blue += blue;
            k.red += red;
            k.black += dark && !blue && !red;
            if (dark || blue || red) {
                k.top = std::min(k.top, y);
                k.bottom = std::max(k.bottom, y);
                k.right = std::max(k.right, x);
            }
        }
    return k;
}

// Colour codes: the default palette, true colours, and codes with no colour of their own.
void check_codes() {
    constexpr unsigned kFallback = 0x12345600;
    struct Code {
        int code;
        unsigned char r, g, b;
        bool fallback;
    };
    const Code codes[] = {
        {0, 0, 0, 0, true},          {1, 0, 0, 0, false},     {2, 255, 0, 0, false},
        {7, 0, 0, 255, false},       {9, 128, 64, 0, false},  {10, 255, 255, 255, false},
        {20, 0, 0, 0, true},         {16777215, 0, 0, 0, true}, {-3, 0, 0, 0, true},
        {16777216 + 65536 * 10 + 256 * 20 + 30, 10, 20, 30, false},
    };
    for (const Code& c : codes) {
        const unsigned got = wl::fltk::colour_of_code(c.code, kFallback);
        const unsigned want = c.fallback ? kFallback : fl_rgb_color(c.r, c.g, c.b);
        check(got == want, "colour code " + std::to_string(c.code));
    }
    // A palette entry the program defines shows as it was defined.
    RGBDEF(20, 0.2f, 0.4f, 0.6f);
    check(wl::fltk::colour_of_code(20, kFallback) == fl_rgb_color(51, 102, 153), "colour code 20 after RGBDEF");
    check(wl::fltk::pixel_size_of_points(0) == FL_NORMAL_SIZE, "no size keeps the normal size");
    check(wl::fltk::pixel_size_of_points(8) == FL_NORMAL_SIZE, "8 points is the normal size");
    check(wl::fltk::pixel_size_of_points(10) > FL_NORMAL_SIZE, "10 points is larger");
    check(wl::fltk::pixel_size_of_points(1000000) <= 96, "a huge size stays within a window");
}

int run() {
    check_codes();
    build();
    Fl_Window* win = master_window();
    check(win != nullptr, "the window is shown");
    if (!win) return 1;
    ScreenShot screen;
    screen.read(win);
    check(screen.rgb != nullptr, "the window can be read back");

    // Text colours: the entry's frame (3 pixels) left out, only its text is counted.
    struct Coloured {
        const char* what;
        int wid;
        bool blue, red;
    };
    for (const Coloured& c : {Coloured{"heading in colour 7", id.heading, true, false},
                              Coloured{"row name in colour 2", id.row_name, false, true},
                              Coloured{"entry without a colour", id.plain, false, false}}) {
        const Ink k = ink_in(screen, shown(win, c.wid), 3);
        check((k.blue > 20) == c.blue, std::string(c.what) + ": blue text pixels " + std::to_string(k.blue));
        check((k.red > 20) == c.red, std::string(c.what) + ": red text pixels " + std::to_string(k.red));
        if (!c.blue && !c.red) check(k.black > 20, std::string(c.what) + ": black text");
    }

    // Font attribute 1 = 10 makes the "Go" caption taller than the plain one.
    const Ink big = ink_in(screen, shown(win, id.go), 3), plain = ink_in(screen, shown(win, id.plain_go), 3);
    const int big_h = big.bottom - big.top, plain_h = plain.bottom - plain.top;
    check(plain_h > 0 && big_h > plain_h,
          "\"Go\" with font attribute 1 = 10 is " + std::to_string(big_h) + " pixels high, the plain one " +
              std::to_string(plain_h));

    // "200.0" in a field one cell wide ends inside the field, clear of its right frame.
    Fl_Widget* narrow = shown(win, id.narrow);
    const Ink n = ink_in(screen, narrow, 3);
    check(narrow && n.right > 0 && n.right < narrow->x() + narrow->w() - 4,
          "the number in a narrow field ends inside it (last text pixel at " + std::to_string(n.right) +
              ", field " + (narrow ? std::to_string(narrow->x()) + " + " + std::to_string(narrow->w()) : "-") + ")");
    if (auto* in = dynamic_cast<Fl_Input_*>(narrow)) {
        fl_font(in->textfont(), in->textsize());
        check(fl_width(in->value()) <= in->w() - 6 && in->textsize() >= 9,
              "the narrow field's text size fits its number and stays readable");
        const std::string v = in->value();
        check(v.find("200.0") != std::string::npos, "the narrow field shows its number in full: \"" + v + "\"");
    }
    return failures == 0 ? 0 : 1;
}

Fl_Window* window_titled(const std::string& title) {
    for (Fl_Window* w = Fl::first_window(); w; w = Fl::next_window(w))
        if (w->label() && title == w->label()) return w;
    return nullptr;
}

void check_stacking() {
    const int first = gmCreateComplexDialogueBox(id.master, 3, 3, 6, 4, 1, "First dialog");
    const int second = gmCreateComplexDialogueBox(id.master, 4, 4, 6, 4, 1, "Second dialog");
    gmDrawWindow(first);
    gmDrawWindow(second);
    Fl::flush();
    XSync(fl_display, False);
    Fl_Window* a = window_titled("First dialog");
    Fl_Window* b = window_titled("Second dialog");
    check(a && b, "both dialogs are shown");
    if (!a || !b) return;
    check(stacked(fl_xid(b), fl_xid(a)), "the dialog shown last is in front");
    gmSetActiveWindow(first);
    wl::Event e;
    e.callback = 1;
    wl::model().post(e);  // so that the wait returns at once
    wl::frontend().pump(wl::model());
    Fl::flush();
    XSync(fl_display, False);
    check(stacked(fl_xid(a), fl_xid(b)), "the dialog made active comes to the front");
    check(stacked(fl_xid(a), fl_xid(master_window())), "a dialog stays above the master window");
    // A dialog shown and, at once, another made active: the one made active ends in front,
    // however long the window manager takes to take in the new one.
    const int third = gmCreateComplexDialogueBox(id.master, 5, 5, 6, 4, 1, "Third dialog");
    gmDrawWindow(third);
    gmSetActiveWindow(second);
    wl::model().post(e);
    wl::frontend().pump(wl::model());
    Fl::flush();
    Fl_Window* c = window_titled("Third dialog");
    check(c != nullptr, "the third dialog is shown");
    if (c)
        check(stacked(fl_xid(b), fl_xid(c)), "a dialog made active just after another was shown comes to the front");
}

}  // namespace

int main() {
    const int status = run();
    check_stacking();
    return status == 0 && failures == 0 ? 0 : 1;
}
