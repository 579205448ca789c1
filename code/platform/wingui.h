// Entries of our widget library that the toolkit's plain layer calls: start and end, the
// wait for the next event, the timer, boxes, the file browser, windows, the registrations for
// the next creation, widget status and attributes, callbacks, the escape entry and the
// message console. They keep the names and argument order the plain layer calls them by;
// every one acts on the model (model.h) and shows through the current front end.
// The creation entries of the individual widget kinds and the frame entries live beside the
// modules that use them (widget_extra.h, graphics_model.h).
#pragma once
#include <functional>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_request.h"
#include "runtime/ftext.h"

namespace wl {
// A text argument as the library keeps it: without its trailing blanks and NULs.
inline std::string rtrim(std::string_view s) { return std::string(rt::trim_right(s)); }
}  // namespace wl

// ---- the program's resources, registered once at start-up ----
// The program's widget-handle table: groups x items handles, the group varying fastest (the
// scripted driver's set, toggle and select lines name a widget by its slot). The table must
// stay alive; a later registration replaces it.
void REGHANDLETABLE(const int* handles, int groups, int items);
// A built-in image of the program, by resource name ("#101"), as XPM text that stays alive.
void REGIMAGE(std::string_view name, std::span<const char* const> xpm);

namespace wl {
// What the program does when it is asked to end from outside its window (SIGTERM, SIGINT,
// SIGHUP: the wait for the next user action calls it) and when its display has gone (the front
// end calls it; nothing can be shown any more). Registered once by the program's main; neither
// returns. Without a registration a signal is left to the wait's caller as the exit request.
void on_end_request(void (*handler)());
void on_display_lost(void (*handler)());
void end_without_display();
}  // namespace wl

// ---- identity and kinds ----
// The id the next widget receives: 1 while none exists (below 2: no master window).
int IGETNEXTIDENTIFIER();
// Kind code of a widget (wl::Kind); -1 for an id that names no widget.
int IGETWIDGETTYPE(int widget);

// ---- start, end ----
void WININIT();
void WINEXIT();
void DRAWTITLE();
void REMOVETITLE();

// ---- events and timer ----
// Blocks until the next user action or timer tick; returns its callback number.
int IWINACTION(int& callback, int& x, int& y, int& widget, int& kind, int& extra);
// Repeating timer (interval kept, see Model::timer_interval) whose ticks IWINACTION returns as callback;
// callback 0 stops it. At most one tick is ever pending; a new call drops it.
void SETCALLTIME(int interval, int callback);
void GETACTIONINFO(int& i1, int& i2, int& i3, int& i4);
void SETCALLBACK(int widget, int callback);
void SETCALLSELECT(int widget, int callback);
void SETCALLMOVE(int widget, int callback);
void SETCALLLOSE(int widget, int callback);
void SETCALLEXPOSE(int widget, int callback);
// Key callback: a press of the key queues the callback (callback 0 removes it). key 1 to 255 is
// the character the key types (Ctrl with a letter types 1 to 26), -1 to -20 the function keys
// F1 to F20; other keys are kept and never pressed.
void REGHOTKEY(int key, int callback);

// ---- boxes and the file browser ----
// Modal box; kind 0 error, 1 information.
void ERRORBOX(std::string_view title, std::string_view text, int kind);
// Modal message box; answer = code of the button pressed.
void GENERALMESSAGE(int icon, int buttons, int& answer, std::string_view title, std::string_view text);
// Modal file dialog with the caption registered last (REGTITLESTRING). filter: pattern and
// label alternating, separated by '|'. On return name holds the chosen file's bare name,
// blank-padded to name_len; the current directory becomes the file's directory. Blank when
// cancelled, and also when the name is longer than name_len (then an error box says so: a
// name is never cut into another file's name).
void OPENBROWSE(int mode, char* name, int name_len, std::string_view directory, std::string_view filter);
void REGBROWSETYPE(int type);
// The program's own open-file dialog (caption, filters, preset filter and name, initial
// directory, default extension, open or save): what the user chose, or a cancel.
wl::FileAnswer GETOPENFILENAME(const wl::FileRequest& request);
// Shows the help file (a path; HTML when it ends in .htm or .html, else plain text) for the
// command ("contents", "index", "key", ...) and topic. result 0 when it is shown, 1 when the
// file cannot be read (or is larger than 16 MB) or not shown.
void DISPLAYHELP(std::string_view help_file, int& result, std::string_view command, std::string_view topic);

// ---- windows ----
void OPENMASTER(int x, int y);
void OPENMDIMASTER(int x, int y);
void OPENWINDOW(int parent, int x, int y, int& id);
void OPENMDIWINDOW(int parent, int x, int y, int& id);
// mode 0 master and dialogs, 1 further windows, 2 menus; window 1 with mode 0 shows the
// master window and every window already drawn.
void WINDOWDRAW(int mode, int window);
void WINDOWREMOVE(int window);
void WINDOWACTION(int window);
// Raise (POP) or lower (PUSH) the shown window |window| above or below the other windows;
// a hidden window or a widget that is not a window is left alone.
void WINDOWPOP(int window);
void WINDOWPUSH(int window);
void WINDOWFREEZE(int window, int a, int b);
// Loads an icon for a window or icon widget: status 0 done, 37 image file not found.
void WINDOWICON(int window, std::string_view icon, int a, int b, int kind_flag, int& status);
void GETWINVER(int& style);
void ACTIVATEWIDGET(int widget);
void REDRAWWIDGET(int widget);
void REMOVEWINDOW(int widget);
// The busy cursor of the whole application on (non-zero) or off, shown over every window.
void CURSORWAIT(int on);
void SETGRAPHICSCURSOR(int frame, int cursor, int third);

// ---- layout grid ----
// The layout grid: a columns and b rows (as SETGRIDAREA set them) of cells c pixels wide and d
// pixels high, so a x c is the usable width and b x d the usable height in pixels.
void GETGRIDAREA(int& a, int& b, int& c, int& d);
void SETGRIDAREA(int nx, int ny);
void SETGRIDMODE(int mode);
void GETGRIDMODE(int& mode);

// ---- registrations for the next creation ----
void REGMINIMUM(int width, int height);
void REGMAXIMUM(int width, int height);
void REGTITLETYPE(int type);
void REGTITLESTRING(std::string_view text, int len);
void REGPOSITION(int code, int expansion);
void SETREMOVEMODE(int mode);
void REGBUILDMODE(int mode);
void SETDRAWMODE(int mode);
void REGTOGGLEATTR(int a, int b, int c);
void REGTOGGLESIZE(int size);
void REGTOGGLETYPE(int type);
void REGBUTTONATTR(int a, int b, int c);
void REGBUTTONSIZE(int size);
void REGBUTTONTYPE(int type);
void REGVALUEATTR(int a, int b, int c, int d);
void REGVALUETYPE(int a, int b);
void REGTEXTATTR(int a, int b, int c, int d);
void REGTEXTTYPE(int a, int b);
void REGSLIDERSIZE(int size);
void REGPANELTYPE(int type);
void REGICONTYPE(int type);
void REGVALUESIZE(int size);
void REGTEXTSIZE(int size);
void REGICONSIZE(int size);
// Any other registration, kept by name with its values (for the widget kinds' own entries).
void register_other(std::string_view entry, std::initializer_list<double> values);

// ---- widget status and attributes ----
// status 1 active, 0 greyed, -1 hidden (2 and 3 accepted for buttons and toggles, which keep
// their state); lib_status 0 done, n > 0 toolkit error n.
void WIDGETSTATUS(int widget, int status, int& lib_status);
void ADDWIDGETHELP(int widget, int help_kind, std::string_view text, int len);
// Describes a widget: its text (its caption for windows and buttons) into buffer (len
// characters, blank-padded), and the first n1 of 43 integers into a1 and the first n2 of 6
// 32-bit reals (as their bit patterns) into a2; positions from 1, everything else 0:
//   integers 1-4 place and size in grid cells (x, y, width, height), 5 justification code
//   (0..8), 6 expansion, 13 parent, 14 id, 15 kind, 29 state (1 active, 0 greyed, -1 hidden);
//   reals of a graphics frame: 1, 2 world x and y of its left and bottom edges, 4, 5 its world
//   extent; of a value entry: 6 its value.
// A widget that does not exist gives a blank text and zeros.
void GETWIDGETINFO(int widget, char* buffer, int* a1, int& n1, int* a2, int& n2, int len);
// Sets the widget's caption to the first len characters of text; the arrays are not used.
void SETWIDGETINFO(int widget, std::string_view text, const int* a1, int n1, const int* a2, int n2, int len);
void GETHANDLE(int widget, int& handle);
// Display width in pixels of the first len characters of text.
int GETSTRINGWIDTH(std::string_view text, int len);

// ---- escape entry ----
// Multi-purpose entry chosen by operation number: dispatched through the table of escape
// operations (set_escape_handler), each with what the library does with it. An operation with
// no handler is recorded (Model::escapes) and leaves o1 and o2 as they were; the toolkit layer
// passes them in as 0.
void ESCAPEROUTINE(int op, int p1, int p2, int p3, int p4, int p5, int p6, int& o1, int& o2,
                   char* text, int len);
using EscapeHandler = std::function<void(int op, const int (&p)[6], int& o1, int& o2, char* text, int len)>;

namespace wl {
// What the library does with a request of the toolkit layer:
//   Done     it acts on it: shown in the window, delivered as an event, or answered;
//   Kept     the model keeps it (set and read back) but no front end shows it or acts on it;
//   Refused  nothing is kept: it answers zeros, blanks or a failure, or does nothing.
enum class Coverage { Done, Kept, Refused };
const char* coverage_name(Coverage c);
struct EscapeOperation {
    int op = 0;
    Coverage coverage = Coverage::Done;
    std::string what;
};
// Every escape operation that has a handler, by number.
std::vector<EscapeOperation> escape_operations();
}  // namespace wl

void set_escape_handler(int op, wl::Coverage coverage, std::string_view what, EscapeHandler fn);
// Installs fn for op without a class (a test standing in for the library); nullptr removes op's
// handler.
void set_escape_handler(int op, EscapeHandler fn);

// ---- the message console ----
// Shows a message in the toolkit's console; texts as one character code per element (at most
// 256 used); code 1601..1669 toolkit error, 0 error, -1 information.
extern "C" void errormessage_(const int* title, const int* text, const int* ntitle, const int* ntext,
                              const int* code);
extern "C" void registerconsole_(const int* a, const int* b);
