// What the in-process window checks with a graphics frame share: the master window they start
// with and finding its frame on the screen.
#pragma once
#include "check_support.h"
#include "gui_toolkit/f77gui.h"
#include "gui_toolkit/frames.h"
#include "gui_toolkit/minigino.h"
#include "include/toolkit_services.h"
#include "platform/fltk/fltk_frontend.h"
#include "platform/fltk/frame_view.h"
#include "platform/wingui.h"

#include <FL/Fl.H>
#include <FL/Fl_Window.H>

namespace xcheck {

// Graphics and toolkit start, a master window of 20 x 15 cells with a frame of 12 x 8 cells
// (world 0..300 x 0..200, with `callback` when it is not 0) at column 1, row 2; shown. `more`
// adds widgets first.
inline int start_with_frame(int& frame, int callback, void (*more)() = nullptr) {
    wl::fltk::install();
    gOpenGino();
    GGUIWIN();
    gmInitializeMenu();
    gmDefineGuiGrid(32, 24);
    REGMINIMUM(20, 15);
    REGMAXIMUM(20, 15);
    WIDSTR("Kelvorantide v3.72");
    int master = 0;
    MASTER(0, 0, master);
    REGMINIMUM(12, 8);
    REGMAXIMUM(12, 8);
    FRADEF(master, 1, 2, 300.0f, 200.0f, frame);
    if (callback != 0) gmDefineCallback(frame, callback);
    if (more) more();
    gmManage();
    settle();
    return master;
}

// A dialogue box of 10 x 6 cells on the master window at column 2, row 2, with that title;
// drawn (shown once the windows settle).
inline int show_dialog(int master, const char* title) {
    WIDSTR(title);
    REGMINIMUM(10, 6);
    REGMAXIMUM(10, 6);
    int dialog = 0;
    DIACMP(master, 2, 2, dialog);
    gmDrawWindow(dialog);
    return dialog;
}

// The shown view of graphics frame `frame`, or null.
inline wl::fltk::FrameView* frame_view(int frame) {
    for (Fl_Window* w = Fl::first_window(); w; w = Fl::next_window(w))
        for (int i = 0; i < w->children(); ++i)
            if (auto* v = dynamic_cast<wl::fltk::FrameView*>(w->child(i)); v && v->id() == frame) return v;
    return nullptr;
}

}  // namespace xcheck
