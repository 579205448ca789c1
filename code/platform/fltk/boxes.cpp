// Modal boxes: a text, an icon and a row of buttons; the box waits in its own loop.
#include "platform/fltk/boxes.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Return_Button.H>
#include <FL/fl_draw.H>

#include <algorithm>
#include <memory>

#include "runtime/fatal.h"

namespace wl::fltk {

namespace {

struct BoxWindow : Fl_Double_Window {
    int answer = 0;
    int close_answer = 0;
    BoxWindow(int w, int h, const char* t) : Fl_Double_Window(w, h, t) {}
};

void button_cb(Fl_Widget* b, void* code) {
    auto* win = static_cast<BoxWindow*>(b->window());
    win->answer = int(reinterpret_cast<intptr_t>(code));
    win->hide();
}

void close_cb(Fl_Widget* w, void*) {
    auto* win = static_cast<BoxWindow*>(w);
    win->answer = win->close_answer;
    win->hide();
}

const char* icon_text(int icon) {
    switch (icon) {
        case 1: return "?";
        case 2: return "!";
        case 3: return "i";
        case 4: return "X";
        default: return "";
    }
}

}  // namespace

int run_box(const std::string& title, const std::string& text, int icon, const BoxButtons& box,
            const char* xclass) {
    const std::vector<BoxButton>& buttons = box.buttons;
    constexpr int kTextWidth = 380, kPad = 12, kIcon = 40, kButtonW = 90, kButtonH = 28;
    fl_font(FL_HELVETICA, FL_NORMAL_SIZE);
    int tw = kTextWidth, th = 0;
    fl_measure(text.c_str(), tw, th, 0);
    tw = std::max(tw + 12, 200);  // room for the label's own margins, so the text wraps as measured
    th = std::max(th, kIcon);
    const int nb = int(buttons.size());
    const int width = std::max(kPad + kIcon + kPad + tw + kPad, kPad + nb * (kButtonW + kPad));
    const int height = kPad + th + kPad + kButtonH + kPad;

    auto win = std::make_unique<BoxWindow>(width, height, nullptr);
    win->copy_label(title.c_str());
    win->xclass(xclass);
    win->close_answer = box.close_answer();
    win->begin();
    auto* ic = new Fl_Box(kPad, kPad, kIcon, kIcon, icon_text(icon));
    ic->labelsize(24);
    ic->labelfont(FL_HELVETICA_BOLD);
    ic->box(icon ? FL_OVAL_BOX : FL_NO_BOX);
    auto* msg = new Fl_Box(kPad + kIcon + kPad, kPad, tw, th);
    msg->copy_label(text.c_str());
    msg->align(FL_ALIGN_LEFT | FL_ALIGN_TOP | FL_ALIGN_INSIDE | FL_ALIGN_WRAP);
    int bx = width - nb * (kButtonW + kPad);
    Fl_Button* enter = nullptr;
    for (int i = 0; i < nb; ++i) {
        const int by = height - kPad - kButtonH;
        Fl_Button* b = std::size_t(i) == box.enter ? new Fl_Return_Button(bx, by, kButtonW, kButtonH)
                                                   : new Fl_Button(bx, by, kButtonW, kButtonH);
        b->label(buttons[std::size_t(i)].label);
        b->callback(button_cb, reinterpret_cast<void*>(intptr_t(buttons[std::size_t(i)].code)));
        if (std::size_t(i) == box.enter) enter = b;
        bx += kButtonW + kPad;
    }
    win->end();
    win->callback(close_cb);
    // Over the master window when it is shown, else in the middle of the screen.
    int cx = Fl::x() + Fl::w() / 2, cy = Fl::y() + Fl::h() / 2;
    for (Fl_Window* w = Fl::first_window(); w; w = Fl::next_window(w))
        if (w->xclass() && std::string(w->xclass()) == kClassMaster) {
            cx = w->x() + w->w() / 2;
            cy = w->y() + w->h() / 2;
        }
    win->position(std::max(cx - width / 2, 0), std::max(cy - height / 2, 0));
    win->set_modal();
    win->show();
    if (enter) enter->take_focus();  // the space bar presses it too
    // An end request from outside (a signal) closes the box as its close box would.
    while (win->shown() && !rt::end_signal_received()) Fl::wait(1.0);
    if (win->shown()) return win->close_answer;
    return win->answer;
}

}  // namespace wl::fltk
