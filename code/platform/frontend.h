// The abstract front end of our widget library: what shows the model to a person (FLTK) or to
// a script (the scripted driver). A front end never calls the program: it changes the model's
// widget contents the way a user would (typed values, toggles, selections) and queues events;
// the program only runs inside IWINACTION's caller.
#pragma once
#include <string>
#include <utility>
#include <vector>

#include "platform/file_request.h"
#include "platform/graphics_model.h"
#include "platform/model.h"

namespace wl {

// The printable area of the page a print job draws on: its size in device pixels and in
// millimetres (the page's world extent).
struct PrintPage {
    int width = 0, height = 0;
    float width_mm = 0.0f, height_mm = 0.0f;
    // Where the pages go, for the transcript: the absolute path of the PostScript file, or
    // "printer" for a job the print dialog sent to a printer. Left empty by a cancelled dialog.
    std::string destination;
};

// A help request (DISPLAYHELP): the help file's path and text, the command ("contents",
// "index", "key", ...) and the topic, blank-trimmed.
struct HelpRequest {
    std::string file, text, command, topic;
};

class FrontEnd {
public:
    virtual ~FrontEnd() = default;

    // Blocks until the model's queue holds at least one event (a user action, a close box's
    // -1, a timer tick). May change widget contents on the way (typing, toggling, selecting).
    virtual void pump(Model& m) = 0;
    // Hands every user action already made over to the model's queue, without waiting.
    virtual void gather_input(Model&) {}

    // A window or dialog has been drawn (shown), removed (hidden) or is to be redrawn (the
    // program asked for it: a window drawn again, a widget redrawn). What the library's entries
    // change in a widget (its value, text, state, toggle, ...) is recorded in the model
    // (Model::take_changes); a front end that shows widgets shows those changes, as often as it
    // draws, and one that does not may leave them.
    virtual void show_window(Model& m, int id) = 0;
    virtual void hide_window(Model& m, int id) = 0;
    virtual void redraw(Model& m, int id) = 0;

    // Modal boxes. error_box: kind 0 error, 1 information; closes when acknowledged.
    // message_box: returns the code of the button pressed; box_buttons(buttons) (model.h) gives
    // the box's buttons, their codes and the one Enter presses.
    virtual void error_box(Model& m, const std::string& title, const std::string& text, int kind) = 0;
    virtual int message_box(Model& m, const std::string& title, const std::string& text,
                            int icon, int buttons) = 0;

    // Modal file dialog.
    virtual FileAnswer file_dialog(Model& m, const FileRequest& r) = 0;

    // A message sent to the toolkit's console (already recorded in the model).
    virtual void console(Model&, const ConsoleMessage&) {}

    // The timer was started, replaced or stopped (m.timer_interval, m.timer_callback).
    virtual void timer_changed(Model&) {}

    // The library ends (WINEXIT): remove every window.
    virtual void shutdown(Model&) {}

    // Modal colour dialog starting from (r, g, b), each 0..255. True with the colour chosen;
    // false, the colour untouched, when the user cancelled (or there is no dialog).
    virtual bool choose_colour(Model&, int& r, int& g, int& b) { return false; }

    // Printing: print_begin asks where to print (the print dialog) and fills the page's
    // printable area and destination; false when the user cancelled (destination left empty)
    // or the destination chosen cannot take the pages. Each page drawn is handed to print_page
    // (a display list in the page's pixels, row 0 at the top); print_end closes the job
    // (abandoned: nothing more is sent, what was started is dropped where the device allows)
    // and is false when the pages could not all be written.
    virtual bool print_begin(Model&, PrintPage&) { return false; }
    virtual void print_page(Model&, const gfx::FrameGraphics&) {}
    virtual bool print_end(Model&, bool abandoned) { return true; }

    // The picture of a graphics frame has been copied to the clipboard (gfx::clipboard()).
    virtual void copy_frame(Model&, const gfx::FrameGraphics&) {}

    // The busy cursor was switched on or off (m.busy_cursor).
    virtual void cursor_changed(Model&) {}

    // A shown window is to be raised above (top) or lowered below the other windows.
    virtual void restack(Model&, int window, bool top) {}

    // Shows the help text; false when it cannot be shown.
    virtual bool show_help(Model&, const HelpRequest&) { return false; }
};

// Asks the front end in use for a file (the program's open-file dialog and the toolkit's file
// browser alike) and applies what every file dialog does with the answer, whatever shows it: a
// name typed without an extension takes the request's default extension.
FileAnswer choose_file(const FileRequest& r);

// The front end the library uses now. At start a scripted front end with an empty script
// (so tests that never show a box need no set-up).
FrontEnd& frontend();
// Installs fe (not owned; it must outlive its use). nullptr goes back to the default.
void set_frontend(FrontEnd* fe);

}  // namespace wl
