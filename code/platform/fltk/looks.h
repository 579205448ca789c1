// Text colours and fonts of the FLTK front end: what the program registered or set for a widget
// (the third text attribute of an entry, font attributes) shown on
// the FLTK widget that stands for it.
#pragma once
#include "platform/model.h"

class Fl_Widget;

namespace wl::fltk {

// The FLTK colour of a widget-library colour code: palette indices 1 to 10 of the default
// palette, 11 to 19 the system colours, a true colour (16777216 + 65536 red + 256 green + blue)
// as it stands. Code 0 (the default of every attribute) and codes the front end has no
// colour for give `fallback`.
unsigned colour_of_code(int code, unsigned fallback);

// The pixel size of a font attribute 1 (the character size in points); the library's own
// font, 8 points, is shown at FLTK's normal size, and a size scales from there. 0 or less
// keeps FLTK's normal size.
int pixel_size_of_points(int points);

// Applies the widget's text colour and font to the FLTK widget made for it.
void apply_looks(Fl_Widget* f, const Widget& w);

}  // namespace wl::fltk
