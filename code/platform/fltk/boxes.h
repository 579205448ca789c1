// Modal boxes of the FLTK front end: error and information boxes and message boxes with the
// button codes the program expects, each a window of its own class.
#pragma once
#include <string>
#include <vector>

#include <FL/Fl_Window.H>

#include "platform/model.h"

namespace wl::fltk {

// Window classes, so that a test driving the real windows can find each one.
inline constexpr const char* kClassMaster = "kelvorantide";
inline constexpr const char* kClassDialog = "kelvor-dialog";   // followed by "-" and the dialog's id
inline constexpr const char* kClassError = "kelvor-error";
inline constexpr const char* kClassMessage = "kelvor-message";
inline constexpr const char* kClassFile = "kelvor-file";

// Runs fn with FLTK's default window class set to cls, so that the windows it shows carry it.
template <class Fn>
auto with_class(const char* cls, Fn fn) {
    const char* previous = Fl_Window::default_xclass();
    const std::string keep = previous ? previous : "";
    Fl_Window::default_xclass(cls);
    struct Restore {
        const std::string& keep;
        ~Restore() { Fl_Window::default_xclass(keep.c_str()); }
    } restore{keep};
    return fn();
}

// Height in pixels of a window's menu bar and of its status bar; the grid area lies between them.
inline constexpr int kBarHeight = 28;

// Shows a modal box and waits until it is answered; returns the code of the button pressed.
// icon: 0 none, 1 question, 2 warning, 3 information, 4 error. The model's default button is
// the return button (Enter presses it) and has the focus; the close box answers as the last.
int run_box(const std::string& title, const std::string& text, int icon, const BoxButtons& buttons,
            const char* xclass);

}  // namespace wl::fltk
