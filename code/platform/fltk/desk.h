// The desktop services of the FLTK front end beside its windows: the colour chooser, printing,
// the clipboard, the busy cursor, key callbacks, the help window and raising or lowering a
// window. The front end's overrides of FrontEnd call these.
#pragma once
#include <string>

#include "platform/frontend.h"

class Fl_Window;

namespace wl::fltk {

// Window classes of the colour chooser and the help window, so that a test can find them.
inline constexpr const char* kClassColour = "kelvor-colour";
inline constexpr const char* kClassHelp = "kelvor-help";

// Installs the key-callback handler and the busy cursor's event filter (once).
void install_desk();

// fl_color_chooser in its 0..255 mode, starting from (r, g, b); false when cancelled.
bool choose_colour(int& r, int& g, int& b);

// Printing through Fl_Printer (its dialog offers a printer or a PostScript file), or, after
// print_to_file, into that PostScript file without asking. Pages are the library's page
// display lists, drawn with FLTK's drawing calls.
bool print_begin(PrintPage& page);
void print_page(const gfx::FrameGraphics& page);
// False when the pages could not all be written to the file.
bool print_end(bool abandoned);
// The next print jobs go to this PostScript file without the print dialog (empty: the dialog
// again). For checks and batch use.
void print_to_file(const std::string& path);

// Puts the frame's picture on the clipboard as an image (Fl_Copy_Surface).
void copy_frame(const gfx::FrameGraphics& f);

// Shows the busy cursor over every window (or takes it away).
void show_busy_cursor(bool busy);

// Raises the window above, or lowers it below, the other windows.
void restack(Fl_Window& w, bool top);

// Shows the help text in FLTK's help dialog; false when it cannot.
bool show_help(const HelpRequest& r);

}  // namespace wl::fltk
