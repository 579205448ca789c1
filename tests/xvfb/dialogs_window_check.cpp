// The program's own windows, built by its start-up routine and shown in real FLTK windows: the
// texts of the fitting dialog, the peak-parameter dialog and the cell-results dialog fit the
// boxes they stand in, measured with the width of the font they are drawn in, and no two texts
// of a window share room (the data-set title leaves the output format beside it alone); a scan
// plot whose fitted curves dip below zero counts draws nothing of them under its base line,
// where the texts under the plot stand; the wait box shows its text as soon as it is shown.
// Exit status 0 when the check holds; the reason for a failure on stderr.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "check_support.h"
#include "gui_toolkit/frames.h"
#include "gui_toolkit/menu_f90.h"
#include "gui_toolkit/minigino.h"
#include "include/shared.h"
#include "include/shell_services.h"
#include "include/toolkit_services.h"
#include "platform/fltk/boxes.h"
#include "platform/fltk/fltk_frontend.h"
#include "platform/fltk/frame_view.h"

#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Input_.H>
#include <FL/Fl_Light_Button.H>
#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>
#include <FL/x.H>

namespace {

using namespace xcheck;

Fl_Window* window_of_class(const std::string& cls) {
    for (Fl_Window* w = Fl::first_window(); w; w = Fl::next_window(w))
        if (w->xclass() && cls == w->xclass()) return w;
    return nullptr;
}

std::string text_of(Fl_Widget* f) {
    if (auto* in = dynamic_cast<Fl_Input_*>(f)) return in->value() ? in->value() : "";
    return f->label() ? f->label() : "";
}

std::string trimmed(std::string s) {
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
}

// Whether the widget's text fits the room its box leaves for it, in the font it is drawn in.
// An entry draws its text inside its frame with a few pixels either side; a check button beside
// its box; a push button inside its frame.
bool fits(Fl_Widget* f, std::string& why) {
    const std::string text = trimmed(text_of(f));
    if (text.empty() || !f->visible()) return true;
    int room = f->w() - Fl::box_dw(f->box());
    if (auto* in = dynamic_cast<Fl_Input_*>(f)) {
        fl_font(in->textfont(), in->textsize());
        room -= 6;
    } else if (dynamic_cast<Fl_Light_Button*>(f)) {
        fl_font(f->labelfont(), f->labelsize());
        room -= f->labelsize() + 8;
    } else {
        fl_font(f->labelfont(), f->labelsize());
        room -= 4;
    }
    const int width = int(fl_width(text.c_str()) + 0.5);
    if (width <= room) return true;
    why = "\"" + text + "\" is " + std::to_string(width) + " pixels wide in a room of " + std::to_string(room);
    return false;
}

bool overlap(const Fl_Widget* a, const Fl_Widget* b) {
    return a->x() < b->x() + b->w() && b->x() < a->x() + a->w() && a->y() < b->y() + b->h() &&
           b->y() < a->y() + a->h();
}

// Every text of the window fits its box, and no two widgets that show a text share room.
void check_texts(Fl_Window* win, const std::string& name) {
    check(win != nullptr, name + " is shown");
    if (!win) return;
    check(wait_on_screen(win), name + " is on the screen");
    win->make_current();
    std::vector<Fl_Widget*> texts;
    for (int i = 0; i < win->children(); ++i) {
        Fl_Widget* f = win->child(i);
        if (!f->visible() || (!dynamic_cast<Fl_Input_*>(f) && !dynamic_cast<Fl_Button*>(f))) continue;
        std::string why;
        check(fits(f, why), name + ": " + why);
        texts.push_back(f);
    }
    // Nothing ends at the window's right or top edge, where its frame and text would be cut.
    for (Fl_Widget* f : texts)
        check(f->y() >= 4 && f->x() + f->w() <= win->w() - 4,
              name + ": \"" + trimmed(text_of(f)) + "\" reaches the window's edge");
    for (std::size_t i = 0; i < texts.size(); ++i)
        for (std::size_t j = i + 1; j < texts.size(); ++j)
            check(!overlap(texts[i], texts[j]), name + ": \"" + trimmed(text_of(texts[i])) + "\" and \"" +
                                                    trimmed(text_of(texts[j])) + "\" overlap");
}

void check_dialog(int group, int item, const std::string& name) {
    const int id = GRAPHICS.IWID(group, item);
    gmDrawWindow(id);
    settle(0.2);
    check_texts(window_of_class(std::string(wl::fltk::kClassDialog) + "-" + std::to_string(id)), name);
    gmRemoveWindow(id);
    settle(0.1);
}

// A 41-step doublet scan whose fit has a background far below zero counts.
void scan_below_zero() {
    REFLN_t& r = REFLN;
    r.NSTEP = 41;
    r.ANGL(1) = 40.0f;
    r.CMAX = 0.0f;
    r.ISTD = 1;
    for (int i = 1; i <= 41; ++i) {
        r.XPOS(i) = 0.02f * float(i - 21);
        const float d = r.XPOS(i) / 0.1f;
        r.COUNTS(i) = 20.0f + 500.0f * std::exp(-d * d);
        r.YC(i) = r.COUNTS(i) - 220.0f;
        if (r.COUNTS(i) > r.CMAX) r.CMAX = r.COUNTS(i);
    }
    FITPAR_t& fp = FITPAR;
    fp.VALS(1) = -200.0f;
    fp.VALS(2) = 0.15f;
    fp.VALS(3) = 90.0f;
    fp.VALS(4) = 0.0f;
    fp.VALS(5) = 0.4f;
    fp.VALS(6) = 0.5f;
    WAVES.NWAVE = 2;
    WAVES.WAVE(1) = 1.54056f;
    WAVES.WAVE(2) = 1.54439f;
    r.DOMA2 = 0.05f;
}

void check_plot(Fl_Window* master) {
    scan_below_zero();
    PLOTSCAN();
    settle(0.2);
    Fl_Widget* view = child_showing(master, GRAPHICS.IFRAME);
    check(view != nullptr, "the plot frame is shown");
    if (!view) return;
    ScreenShot shot;
    shot.read(master);
    check(shot.rgb != nullptr, "the master window is read back");
    if (!shot.rgb) return;
    // The base line's row in the frame, and the colours of the curves (palette 3 and 5).
    FRAACT(GRAPHICS.IFRAME);
    int bx = 0, base = 0;
    check(gino_to_pixel(0.0f, PLOTFRAME.YBASE, bx, base), "the base line has a pixel row");
    int below = 0, curve = 0;
    for (int y = 0; y < view->h(); ++y)
        for (int x = 0; x < view->w(); ++x) {
            const unsigned char* p = shot.at(view->x() + x, view->y() + y);
            bool is_curve = false;
            for (int c : {3, 5})
                is_curve = is_curve || (p[0] == GINO_DRAW.PALETTE_RED(c) && p[1] == GINO_DRAW.PALETTE_GREEN(c) &&
                                        p[2] == GINO_DRAW.PALETTE_BLUE(c));
            if (!is_curve) continue;
            ++curve;
            if (y > base) ++below;
        }
    check(curve > 0, "the curves are drawn above the base line");
    check(below == 0, std::to_string(below) + " pixels of the curves lie under the base line");
}

// The wait box shows its text the moment it is shown: the program then works without handling
// the window's events, so what is not drawn by then stays an empty frame. Read back at once.
void check_wait_box() {
    // As in a load: a dialog stood where the box comes (the step size asked for an Old Vosket
    // file) and has just gone.
    const int step = GRAPHICS.IWID(6, 70);
    gmDrawWindow(step);
    settle(0.3);
    gmRemoveWindow(step);
    WAITBOX(1);
    const int id = GRAPHICS.IWID(6, 60);
    Fl_Window* win = window_of_class(std::string(wl::fltk::kClassDialog) + "-" + std::to_string(id));
    check(win != nullptr, "the wait box is shown");
    if (!win) return;
    XSync(fl_display, False);
    win->make_current();
    const int w = win->w(), h = win->h();
    unsigned char* rgb = fl_read_image(nullptr, 0, 0, w, h);
    check(rgb != nullptr, "the wait box is read back");
    int ink = 0;  // pixels of the blue text
    for (int k = 0; rgb && k < w * h; ++k) {
        const unsigned char* p = rgb + 3 * k;
        if (p[2] > 150 && p[0] < 100 && p[1] < 100) ++ink;
    }
    delete[] rgb;
    check(ink > 20, "the wait box shows its text at once (" + std::to_string(ink) + " pixels of it)");
    WAITBOX(0);
    settle(0.1);
}

}  // namespace

int main() {
    wl::fltk::install();
    GRAPHICS_SETUP();
    settle();
    Fl_Window* master = master_window_titled(trimmed(std::string(PROGID.PROG_TITLE.view())));
    check(master != nullptr, "the master window is shown");
    if (!master) return 1;
    // The file line with a long data-set title and an output file open.
    gmSetTextSetting(GRAPHICS.IWID(1, 40), "example.rfl");
    gmSetTextSetting(GRAPHICS.IWID(1, 41), "CU MONOCHROMATED MONOCLINIC CRYSTAL, SECOND LOAD OF THE DAY");
    gmSetTextSetting(GRAPHICS.IWID(1, 43), "example.int");
    gmSetTextSetting(GRAPHICS.IWID(1, 45), "Rfine");
    gmSetWidgetStatus(GRAPHICS.IWID(1, 42), STATUS_ACTIVE);
    gmSetWidgetStatus(GRAPHICS.IWID(1, 44), STATUS_ACTIVE);
    gmDrawWindow(GRAPHICS.IMASTER);
    settle(0.2);
    // The title is as long as its field holds and shows its start: only the other texts must fit.
    {
        std::vector<Fl_Widget*> line;
        for (int k = 40; k <= 45; ++k)
            if (Fl_Widget* f = child_showing(master, GRAPHICS.IWID(1, k))) line.push_back(f);
        check(line.size() == 6, "the file line is shown");
        for (std::size_t i = 0; i < line.size(); ++i)
            for (std::size_t j = i + 1; j < line.size(); ++j)
                check(!overlap(line[i], line[j]),
                      "file line: \"" + trimmed(text_of(line[i])) + "\" and \"" + trimmed(text_of(line[j])) + "\" overlap");
    }
    check_dialog(4, 20, "the fitting dialog");
    check_dialog(5, 30, "the peak-parameter dialog");
    check_dialog(6, 30, "the cell-results dialog");
    check_plot(master);
    check_wait_box();
    if (failures == 0) std::printf("dialog texts and the plot fit their boxes\n");
    return failures == 0 ? 0 : 1;
}
