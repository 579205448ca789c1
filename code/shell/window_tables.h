// The user interface as data: every widget of the main window and of the fourteen dialogs (slot
// in IWID, kind, place, size, caption, options, callback number) and the menu tree. GRAPHICS_SETUP
// walks these tables in order; the order of each table is the creation order.
//
// Places and sizes are whole cells of the parent on the 32 x 24 layout grid, column x from the
// parent's left edge and row y counted upward from its bottom edge (row 0 at the bottom).
#pragma once
#include <climits>
#include <span>
#include <string_view>

namespace ui {

// A slot IWID(group, item) of the widget-handle table; {0, 0}: the id is not kept.
struct Slot {
    int group = 0, item = 0;
    constexpr bool kept() const { return group != 0; }
    friend constexpr bool operator==(Slot, Slot) = default;
};

enum class Kind { PushButton, TextEntry, ValueEntry, Toggle, RadioBox, ListBox };

// What the builder does to a widget right after creating it.
enum class After {
    Nothing,
    Hide,      // set STATUS_HIDDEN at once
    GoFont,    // font attribute 1 = 10 (the two "Go" buttons of the main window)
    Crystals,  // the six crystal systems appended to the list box
};

// An option that a creation call may leave out.
constexpr int NOT_PASSED = INT_MIN;

struct WidgetDef {
    Slot slot;
    Kind kind = Kind::PushButton;
    std::string_view text;   // button caption, initial text of a text entry, toggle caption
    int x = 0, y = 0, w = 0, h = 0;
    int limit = 0;           // text entry: length limit; value entry: field width in characters
    int decimals = 0;        // value entry
    int mode = 0;            // text and value entries: 0 editable, 19 display only
    float value = 0.0f;      // value entry: initial value
    int colour = NOT_PASSED; // text entry: third text attribute (7 headings, 2 names and values)
    int fourth = NOT_PASSED; // text entry: fourth text attribute
    int state = 0;           // toggle: initial state
    int toggle_type = NOT_PASSED;  // toggle: 7, or the parent's default
    int callback = 0;        // 0: delivers nothing
    Slot parent;             // {0, 0}: the window; otherwise the radio box held in this slot
    After after = After::Nothing;
};

// How a dialog's title is formed from the program title.
enum class Title {
    Own,            // the text alone
    ProgramPrefix,  // PROG_TITLE without its trailing blanks, then the text at once
    Program,        // PROG_TITLE, all 20 characters
};

struct DialogDef {
    std::string_view name;   // the dialog's name in the program
    Slot slot;
    int x = 0, y = 0, w = 0, h = 0;  // on the screen grid
    Title title_form = Title::Own;
    std::string_view title;
    std::span<const WidgetDef> widgets;
};

struct MenuEntryDef {
    Slot slot;               // {0, 0} with an empty text: a separator
    std::string_view text;
    int callback = 0;
    bool greyed = false;     // greyed once the whole menu bar is built
    constexpr bool separator() const { return !slot.kept(); }
};

struct MenuDef {
    Slot title_slot;
    std::string_view title;
    int accelerator = 0;     // character code, 0 none
    Slot pulldown_slot;
    std::span<const MenuEntryDef> entries;
};

// The twenty main-window controls, in creation order, then the file-information line.
std::span<const WidgetDef> main_controls();
std::span<const WidgetDef> file_line();
// The four pulldown menus in the order of the menu bar.
std::span<const MenuDef> menus();
// The fourteen dialogs in creation order.
std::span<const DialogDef> dialogs();
// The crystal systems of the cell-refinement list, entry n being crystal system n.
std::span<const std::string_view> crystal_systems();

// The callback number a widget's slot gives it by the numbering rule: 100 + K in group 1;
// 100 J + K in groups 3 to 8 for K of 10 or more and 10 J + K below; 0 elsewhere.
int slot_rule_callback(Slot s);

// Status-bar text after the program title: a 12-character ownership notice.
inline constexpr std::string_view OWNERSHIP_NOTICE = " (c) Kelvor ";

// The images of the two icon resources, as XPM text ("#101": window icon, "#102": logo);
// empty for any other name.
std::span<const char* const> program_image(std::string_view resource);

}  // namespace ui
