// Text colours and fonts of the FLTK front end: what the program registered or set for a widget
// (the third text attribute of an entry, font attributes) shown on
// the FLTK widget that stands for it.
#pragma once
#include "platform/model.h"

class Fl_Widget;

namespace wl::fltk {

// The FLTK colour of a widget-library colour code, as the library's palette gives it
// (gfx::colour_of_code): palette entries 1 to 255 (the default palette and the system colours
// until the program redefines them), a true colour as it stands. Code 0 (the default of every
// attribute) and codes that name no colour give `fallback`.
unsigned colour_of_code(int code, unsigned fallback);

// The pixel size of a font attribute 1 (the character size in points); the library's own
// font, 8 points, is shown at FLTK's normal size, and a size scales from there. 0 or less
// keeps FLTK's normal size.
int pixel_size_of_points(int points);

// Applies the widget's text colour and font to the FLTK widget made for it (and fits its text).
void apply_looks(Fl_Widget* f, const Widget& w);

// Fits the text a one-line entry shows into its width: a text wider than the entry is shown in
// a smaller size, down to a readable least. Measures the text, so it is called when the text or
// the looks change, not whenever the entry is shown again.
void fit_text(Fl_Widget* f, const Widget& w);

}  // namespace wl::fltk
