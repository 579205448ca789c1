// The FLTK front end of our widget library: real windows laid out on the model's grid, graphics
// frames drawn from their display lists, modal boxes, FLTK's own file chooser and the timer.
// Its callbacks only change widget contents the way a user does and queue callback numbers.
#pragma once
#include "platform/frontend.h"

namespace wl::fltk {

// Opens the display, sizes the model's screen to it and makes the FLTK front end the
// library's front end. Returns it; later calls return the same one.
FrontEnd& install();

}  // namespace wl::fltk
