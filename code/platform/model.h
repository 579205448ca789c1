// The in-memory model of our widget library: every window and widget, the registrations that
// the next creation consumes, the event queue, the timer, the console and the trace of entry
// calls. It is the one source of truth. Library entries (code/platform/wingui.h) act on it;
// front ends (frontend.h) only show it and feed events into its queue.
//
// One model per process, reached through wl::model(). Nothing here talks to a window system.
#pragma once
#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

namespace wl {

// Widget kind codes, as IGETWIDGETTYPE reports them. The named codes are those the toolkit
// layer tests (push button 7 and icon 14 among the drag-move kinds {7, 14, 30}; kind 9, whose
// widget-description layout and properties 22 and 106 differ, is no kind of ours); the codes
// marked "ours" are this library's choice for kinds the layer never tests by number.
enum Kind : int {
    KIND_NONE = -1,         // no such widget (IGETWIDGETTYPE of an unknown id)
    KIND_MASTER = 0,        // master window, always widget 1
    KIND_WINDOW = 1,        // further window kind that takes menu entries
    KIND_DIALOG = 2,        // complex dialogue box
    KIND_MENUBAR = 3,
    KIND_PULLDOWN = 4,      // pulldown menu hanging from a menu-bar title
    KIND_MENUENTRY = 5,     // ours: menu entry
    KIND_FRAME = 6,         // two-dimensional graphics frame
    KIND_BUTTON = 7,        // push button
    KIND_TOGGLE = 8,
    KIND_TEXT = 10,         // one-line text entry
    KIND_VALUE = 11,        // numeric value entry
    KIND_SEPARATOR = 12,    // ours: menu separator
    KIND_RADIO = 13,        // radio box (its toggles are its children)
    KIND_ICON = 14,         // icon
    KIND_LISTBOX = 16,      // ours: list box
    KIND_EDITOR = 17,       // multi-line text editor
    KIND_COMBO = 19,        // ours: combo box (a text widget kind)
    KIND_STATUSBAR = 21,    // ours: status bar
    KIND_TEXTARRAY = 23,    // text or value array
    KIND_TOOLBAR = 29,
    KIND_MDI = 32,          // MDI client window (widget 2 of an MDI master)
    KIND_POPUP = 34,        // popup menu
    KIND_TABLE = 35,        // table list box
    KIND_GAUGE = 38,        // icon gauge
    KIND_VIDEO = 39,        // video capture frame
    KIND_FRAME3D = 40,      // graphics frame with its own rendering context
    KIND_PROGRESS = 42,
    KIND_MENUTITLE = 103,   // menu-bar title (takes two ids: the title, then its pulldown)
};

// Widget states as the program passes them.
constexpr int STATE_ACTIVE = 1;
constexpr int STATE_GREYED = 0;
constexpr int STATE_HIDDEN = -1;

// The callback number of the exit request: the master window's close box queues it, and so
// does a dialog's close box, which leaves the dialog shown.
constexpr int EXIT_REQUEST = -1;

// The kinds of callback a widget can carry (one number each).
enum class Cb : int {
    Action,      // SETCALLBACK: press, menu choice, toggle click
    Select,      // SETCALLSELECT: list or entry selection
    Move,        // SETCALLMOVE
    Expose,      // SETCALLEXPOSE (graphics frames)
    LoseFocus,   // SETCALLLOSE
    Change,
    ValueError,
    Link,
    DragSelect,
    DragMove,
    DragDrop,
    DoubleClick,
    FileDrop,
    KeySelect,
};

// Attributes registered for the next creation. Each registration stays in force until the
// next registration of the same attribute (a creation copies them, it does not clear them).
struct Registrations {
    int min_w = 0, min_h = 0;        // REGMINIMUM (grid cells)
    int max_w = 256, max_h = 256;    // REGMAXIMUM
    int title_type = 0;              // REGTITLETYPE
    std::string title;               // REGTITLESTRING (at most 255 characters)
    int position_code = 0;           // REGPOSITION: justification 0..8
    int expansion = 0;               // REGPOSITION: expansion setting
    int remove_mode = 0;             // SETREMOVEMODE
    int build_mode = 0;              // REGBUILDMODE
    int draw_mode = 0;               // SETDRAWMODE
    int browse_type = 0;             // REGBROWSETYPE
    // Every other registration entry (REGTOGGLEATTR, REGVALUETYPE, REGBUTTONSIZE, ...), by
    // entry name, with the values of its last call.
    std::map<std::string, std::vector<double>, std::less<>> other;
};

// What about a widget has changed since a front end last took the changes (Model::take_changes),
// so that a front end brings only those parts of those widgets up to date.
enum Changed : unsigned {
    CHANGED_VALUE = 1u << 0,     // a value entry's number
    CHANGED_TEXT = 1u << 1,      // the text an entry or a status bar shows
    CHANGED_STATE = 1u << 2,     // active, greyed or hidden; the widgets inside it follow
    CHANGED_TOGGLE = 1u << 3,
    CHANGED_CAPTION = 1u << 4,   // caption, title or icon
    CHANGED_ITEMS = 1u << 5,     // a list's entries or its selection
    CHANGED_LOOKS = 1u << 6,     // font, colours, length limit, fixed texts
    CHANGED_CHILDREN = 1u << 7,  // a widget was made inside it
    CHANGED_ALL = (1u << 8) - 1, // everything it shows (a redraw asked for)
};

struct Widget {
    int id = 0;
    int kind = KIND_NONE;
    int parent = 0;                  // 0 for the master window
    int x = 0, y = 0;                // place in grid cells of the parent (row 0 at the bottom)
    int state = STATE_ACTIVE;        // 1 active, 0 greyed, -1 hidden
    bool shown = false;              // windows and dialogs: drawn (WINDOWDRAW) and not removed
    Registrations reg;               // the registrations in force when it was created
    std::string caption;             // window title, button label, menu text, toggle text
    std::string text;                // content of a text entry (or text shown in a value entry)
    // Value entry: the number as set by the program or as typed in full by the user. It is
    // never replaced by the rounded text shown with `decimals` decimals.
    double value = 0.0;
    int field_width = 0;             // value entry field width / text entry length limit
    int decimals = 0;
    int mode = 0;                    // entry mode (0 editable, 1 display only) or list kind
    int toggle = 0;                  // toggle button state 0/1
    std::vector<std::string> items;  // list or combo box entries
    int selection = 0;               // selected list entry, from 1; 0 none
    int accelerator = 0;
    int help_kind = 0;
    std::string help;
    std::string icon;                // window icon name
    std::map<Cb, int> callbacks;     // callback numbers by kind; absent = none
    std::map<int, double> properties;  // widget properties by code (property 15 is the kind)
    std::vector<int> children;       // the widgets made inside it, in creation order
    unsigned changed = 0;            // Changed bits not yet taken by a front end

    int callback(Cb k = Cb::Action) const {
        auto it = callbacks.find(k);
        return it == callbacks.end() ? 0 : it->second;
    }
    // The callback a choice in a list or combo box queues: its select callback, or its action
    // callback when it has none.
    Cb choice_callback() const { return callback(Cb::Select) != 0 ? Cb::Select : Cb::Action; }
    // The event kind a user action on this widget carries: -1 (a pointer event) for a graphics
    // frame, the widget's kind code for every other widget.
    int event_kind() const { return kind == KIND_FRAME || kind == KIND_FRAME3D ? -1 : kind; }
    bool is_window() const { return kind == KIND_MASTER || kind == KIND_WINDOW || kind == KIND_DIALOG; }
};

// One user action or timer tick, as IWINACTION returns it.
struct Event {
    int callback = 0;
    int x = 0, y = 0;       // pointer position in pixels of the widget
    int widget = 0;
    int kind = 0;           // -1: pointer event in a graphics frame
    int extra = 0;
    bool tick = false;      // a timer tick (at most one is ever queued)
};

// A message sent to the toolkit's console (errormessage_).
struct ConsoleMessage {
    std::string title, text;
    int code = 0;           // 1601..1669 toolkit error, 0 error, -1 information
};

// A box shown (kept for the report of an exhausted script and for tests).
struct BoxRecord {
    std::string title, text;
    int icon = 0, buttons = 0;   // 0, 0 for error and information boxes
    int answer = 0;
    bool question = false;
};

// The buttons of a message box. The low byte of a box's button code picks its set: 0 one
// acknowledging button, 1 OK/Cancel, 2 Retry/Cancel, 3 the exit question (Yes 2, No 3),
// 4 Yes/No/Cancel (6, 7, 1). BOX_DEFAULT_2 or BOX_DEFAULT_3 added to the code makes the second
// or the third button the one Enter presses; without them it is the first. The box's close box
// answers as its last button.
inline constexpr int BOX_DEFAULT_2 = 0x100;
inline constexpr int BOX_DEFAULT_3 = 0x200;
struct BoxButton {
    const char* label;
    int code;
};
struct BoxButtons {
    std::vector<BoxButton> buttons;
    std::size_t enter = 0;  // index of the button Enter presses
    int enter_answer() const { return buttons[enter].code; }
    int close_answer() const { return buttons.back().code; }
};
BoxButtons box_buttons(int buttons);
// Whether a box of that button code asks a question (has more than one acknowledging button).
inline bool box_asks(int buttons) { return (buttons & 0xff) != 0; }

class Model {
public:
    // Widgets by id; ids are handed out in creation order from 1.
    std::map<int, Widget> widgets;
    int next_id = 1;                 // IGETNEXTIDENTIFIER
    Registrations reg;               // registrations for the next creation
    bool started = false;            // WININIT called and WINEXIT not yet
    int active_window = 0;           // last window made active (WINDOWACTION)
    int focus = 0;                   // widget made active (ACTIVATEWIDGET)
    bool busy_cursor = false;        // CURSORWAIT
    std::map<int, int> hotkeys;      // key code -> callback number (REGHOTKEY)

    // Layout: the screen area the grid divides and the grid itself.
    int screen_w = 1280, screen_h = 960;
    int grid_nx = 32, grid_ny = 24;
    int grid_mode = 0;

    // Events.
    std::deque<Event> queue;
    // Set when the queue is flushed: the rest of a double click begun before is not queued (a
    // front end that tells the clicks of a double click apart drops it).
    bool drop_repeated_click = false;
    Event last;                      // the event IWINACTION returned last
    // The repeating timer. The interval is kept as the program gave it; its unit is ours and
    // is taken as zero: a front end delivers the next tick as soon as the program has taken
    // the last one and the user's own actions are queued, so a pass is bound by its work and
    // a press of Stop arrives before the next tick.
    int timer_interval = 0;
    int timer_callback = 0;          // 0: no timer

    // Console and boxes.
    std::vector<ConsoleMessage> console;
    std::vector<BoxRecord> boxes;
    int console_setting[2] = {0, 0};  // registerconsole_
    // Escape operations sent that no handler took: operation and its six values.
    std::vector<std::array<int, 7>> escapes;

    // The widgets with changes not yet taken (Model::mark), each once.
    std::vector<int> changed_ids;

    // Trace of entry calls ("NAME(a, b, ...)"), recorded only while trace_on.
    bool trace_on = false;
    std::vector<std::string> trace;

    // --- widgets ---------------------------------------------------------------------------
    Widget* find(int id);
    const Widget* find(int id) const;
    int kind_of(int id) const;       // KIND_NONE when there is no such widget
    // Creates a widget of `kind` under `parent` with the registrations now in force and
    // returns its id.
    int create(int kind, int parent, int x = 0, int y = 0);
    // Whether a control can be operated: it and every ancestor neither greyed nor hidden, and
    // its top window shown.
    bool operable(int id) const;
    // The top window (master or dialog) that holds the widget; 0 when none.
    int window_of(int id) const;
    // Sets a toggle; in a radio box, switching one on switches its siblings off.
    void set_toggle(int id, int state);
    // The user clicks a toggle into `state`. A radio box keeps one toggle on: a click that would
    // switch a radio toggle off leaves it as it is. Returns the toggle's state afterwards.
    int click_toggle(int id, int state);

    // --- changes ----------------------------------------------------------------------------
    // Records that `what` (Changed bits) of the widget changed. Each widget is listed once
    // however often it changes before the changes are taken, so the list never outgrows the
    // model, also where no front end takes it.
    void mark(int id, unsigned what);
    // Moves the changes recorded since the last call into `out` (widget id, Changed bits), in
    // the order the widgets first changed, and forgets them.
    void take_changes(std::vector<std::pair<int, unsigned>>& out);
    bool has_changes() const { return !changed_ids.empty(); }
    // Setters of what a front end shows: each records a change only when there is one, so that
    // setting a widget to what it already holds costs nothing further.
    void set_state(int id, int state);
    void set_text(int id, std::string_view text);
    void set_caption(int id, std::string_view caption);

    // --- events ----------------------------------------------------------------------------
    void post(const Event& e) { queue.push_back(e); }
    // Queues the widget's callback of that kind, with the widget and its event kind, as a user
    // action on it does; false (nothing queued) when the widget has no such callback.
    bool post_callback(int id, Cb kind);
    // Queues a timer tick when the timer runs and no tick is pending.
    void post_tick();
    bool tick_pending() const;
    // Starts, replaces (callback != 0) or stops (callback 0) the timer; a pending tick is
    // dropped either way.
    void set_timer(int interval, int callback);
    bool pop(Event& e);
    // A press of a key with a key callback (REGHOTKEY) queues the callback, the key as the
    // event's extra value; false (nothing queued) for a key without one.
    bool press_key(int key);

    // --- typing -----------------------------------------------------------------------------
    // The user ends an edit of an entry (Enter, leaving the entry, a script's set line) with
    // `text` typed in it. A value entry takes the number the text reads (read_entry_number);
    // what it cannot take is refused: the entry keeps `kept`, the number it held before the
    // edit, and the refusal waits here until the library shows it, before the program takes its
    // next event. False when refused.
    bool end_edit(int id, const std::string& text, double kept);
    int refused_entry = 0;           // the entry whose typed text waits to be refused; 0 none
    std::string refused_text;        // what the user typed there
    bool refused_too_large = false;  // a number, but beyond what a value entry holds

    // --- trace -----------------------------------------------------------------------------
    void record(std::string_view call) {
        if (trace_on) trace.emplace_back(call);
    }
};

Model& model();

// Reads the number a user typed into a value entry, as the program reads numbers from its own
// files: an optional sign, digits with at most one decimal point, an optional exponent (E or D,
// either case, so "1d3" is 1000), blanks around it. Anything else (letters, hexadecimal, "nan",
// "inf", an empty text) or a number too large for a double is no number: false, and out is left
// alone.
bool read_typed_number(std::string_view text, double& out);

// What a value entry takes from a user's text: a number as read_typed_number reads it, of a size
// a 32-bit real holds (the program keeps every entry's number in one). Number: out is set;
// otherwise out is left alone.
enum class Typed { Number, NotANumber, TooLarge };
Typed read_entry_number(std::string_view text, double& out);
// The text of the box that refuses what was typed into a value entry: the text as typed and
// what the entry expects.
std::string refusal_text(std::string_view typed, bool too_large);

// A file name typed without an extension takes the dialog's default extension (given without
// its dot) unless the name as typed is an existing file; a name with a "." in its last
// component, an empty extension or an empty name stay as they are.
std::string with_default_extension(const std::string& path, const std::string& extension);

// What the program hands the library once at start-up, kept for the whole run (a reset of the
// model keeps it): its widget-handle table, by which the scripted front end finds the widget of
// a slot (group, item), and its built-in images by resource name ("#101"), which the front ends
// show. The program keeps both alive.
struct HandleTable {
    const int* handles = nullptr;  // groups x items, the group varying fastest
    int groups = 0, items = 0;
};
void set_handle_table(const HandleTable& table);
// The handle in slot (group, item), from 1; -1 when no table is registered or the slot lies
// outside it.
int slot_handle(int group, int item);
void set_program_image(std::string_view name, std::span<const char* const> xpm);
// The XPM text of a registered image; empty for any other name.
std::span<const char* const> program_image(std::string_view name);

// Forgets every widget, event, registration, console message and box, and runs the reset
// hooks (other tables keyed by widget id clear themselves there). The front end is not
// touched. For tests and for WININIT.
void reset_model();

// The kinds of widget the real window builds as widgets of a window (the window kinds and the
// menu parts aside): graphics frames, buttons, toggles, text and value entries, editors, list and
// combo boxes, menu and status bars, radio boxes and icons. Every other kind is kept in the model
// and not shown. The FLTK front end builds no other kind.
bool kind_built(int kind);
// Whether the real window shows this widget at all: a window; a widget of a built kind made in a
// window (a toggle also in a radio box); a menu title on a menu bar, its pulldown, and the
// entries and separators of that pulldown. A widget inside a panel, a cascade inside a pulldown,
// a popup menu and its entries are not shown. The coverage table takes the class of the entries
// that make widgets from here.
bool shown_in_window(const Model& m, int id);
// Registers fn to run at every reset_model (once per key; a second call with the same key
// replaces the first).
void add_reset_hook(const std::string& key, std::function<void()> fn);

// Formats an entry call for the trace: trace_call("WINDOWDRAW", 0, 3) -> "WINDOWDRAW(0, 3)".
std::string format_call(std::string_view name, std::initializer_list<std::string> args);
template <class... A>
void trace_call(std::string_view name, const A&... a) {
    if (!model().trace_on) return;
    [[maybe_unused]] auto s = [](const auto& v) {
        if constexpr (std::is_convertible_v<decltype(v), std::string_view>)
            return "\"" + std::string(std::string_view(v)) + "\"";
        else
            return std::to_string(v);
    };
    model().trace.push_back(format_call(name, {s(a)...}));
}

}  // namespace wl
