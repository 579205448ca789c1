// A frame's display list (graphics_model.h) drawn on FLTK's current surface: the screen, a page
// of a printer or PostScript file, or a copy for the clipboard.
#pragma once
#include "platform/graphics_model.h"

namespace wl::fltk {

// Draws the frame's background and its list with the frame's pixel (0, 0) at (ox, oy) of the
// current surface. The caller clips.
void replay(const gfx::FrameGraphics& f, int ox, int oy);

}  // namespace wl::fltk
