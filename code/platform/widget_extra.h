// Entries of our widget library for the individual widget kinds (menus, lists, icons, buttons,
// value and text entries, arrays, toggles, radio boxes, sliders, panels, status bars, toolbars,
// trees, gauges, progress bars), widget properties and fonts. Every entry acts on the model
// (model.h); what the model's Widget does not hold is kept here in a table keyed by widget id,
// which clears itself at every reset_model.
//
// Texts passed in carry their length (the view's first `len` characters are used, len clamped
// to the view); texts passed out are a buffer of `len` characters, written blank-padded.
#pragma once
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/model.h"

namespace wl {

// Kind codes this library gives the widget kinds that model.h does not name. The toolkit layer
// tests the panel as 15, tab box 45, tree box 27, tree entry 28 and toolbar button 30 by number.
enum ExtraKind : int {
    KIND_PANEL = 15,
    KIND_TREEBOX = 27,
    KIND_TREEENTRY = 28,
    KIND_TOOLBUTTON = 30,
    KIND_TOOLSEPARATOR = 31,
    KIND_SLIDER = 36,
    KIND_TTY = 41,
    KIND_TABBOX = 45,
};

// One cell of a text or value array.
struct Cell {
    int type = 0;            // 0 text cell, 1 number cell
    double value = 0.0;
    std::string text;
    int attr[18] = {};       // attributes 1..18 as GACELLATTRENQUIRY reports them (index 0 = attribute 1)
    float lower = 0, upper = 0;
    int limit_third = 0;
    bool has_limits = false;
};

// What a widget holds beyond the model's Widget.
struct WidgetExtra {
    // value entries
    bool has_limits = false;
    double lower = 0.0, upper = 0.0;
    std::string prefix, suffix;      // fixed texts before and after the number
    int text_limit = 0;              // TEXLIM (escape 912)
    // sliders: position 0..10000 over the range, scale, minimum, increment in position units
    int slider_position = 0;
    float slider_scale = 0, slider_minimum = 0, slider_increment = 0;
    // text editors
    int selection_first = 0, selection_last = 0;
    std::map<int, int> paragraph;    // paragraph properties by code (11: packed spacing word)
    // fonts: attribute code -> value; the font name is attribute 0's text
    std::map<int, int> font;
    std::string font_name;
    // status bars
    std::map<int, std::string> pane_text;
    int panes_a = 0, panes_b = 0;
    // arrays: cells by (column, row)
    std::map<std::pair<int, int>, Cell> cells;
    int active_col = 0, active_row = 0;
    // links of a text or value entry: (value, linked widget)
    std::vector<std::pair<int, int>> links;
    // properties: integer, double and text parts by code
    std::map<int, int> prop_int;
    std::map<int, double> prop_double;
    std::map<int, std::string> prop_text;
    // gauges and progress bars
    int gauge_value = 0, gauge_low = 0, gauge_high = 100;
    // tree entries
    int tree_data = 0;
    // scroll positions
    int scroll_a = 0, scroll_b = 0;
};

// The extra record of a widget (created on first use).
WidgetExtra& extra(int id);
// The extra record if one exists, else nullptr.
const WidgetExtra* find_extra(int id);

// The characters the narrowest value entry (two grid cells) shows whole.
inline constexpr int MIN_ENTRY_CHARACTERS = 10;
// The text a value entry shows: value with `decimals` decimals, right-aligned in |field_width|
// characters (left-aligned when field_width is negative). A value whose fixed form is wider than
// both the field and MIN_ENTRY_CHARACTERS shows in E form with as many digits as fit ("1.0E+30"),
// so that no front end shows it cut to its leading digits; never cut, so it may be wider.
std::string value_text(double value, int field_width, int decimals);

// Installs the escape operations of the extra widget kinds, fonts, editors, cells and added
// callbacks (the escape entry does, on first use).
void install_extra_escapes();

}  // namespace wl

// ---- menus ----
void ADDMENUBAR(int window, int& id);
void GETTITLETYPE(int& type);
void ADDMENUPOP(int parent, int p1, int p2, int& id);
void ADDMENUFLOAT(int parent, int& id);
void ADDMENUCASCADE(int parent, int& id);
// A menu entry in a further window or text widget; text cut to n characters.
void ADDMENUSTRING(int parent, std::string_view text, int& id, int n);
void REGACCEL(int id, int accelerator);
void ADDMENUENTRY(int parent, std::string_view text, int accelerator, int& id);
// A menu-bar title: the library creates the title and the pulldown that hangs from it and
// returns the pulldown's id; the title's id is one less.
void ADDMENUPULL(int menubar, std::string_view text, int accelerator, int& id);
void ADDMENUSEPARATOR(int menu, int mode, int& id);
void ADDSYSMENU(int window, int& id);

// ---- lists and combo boxes ----
void REGLISTBOXTYPE(int a, int b, int c);
void ADDLISTBOX(int parent, int x, int y, int list_kind, int& id);
void REGCOMBOTYPE(int a, int b);
void ADDCOMBOBOX(int parent, int x, int y, int combo_kind, int& id);
// List actions: 0 adds text (at the end for index 0 or below, before entry index otherwise);
// 1 selects entry index (none for an index outside the list); 2 replaces entry index (the
// selected one for -1); 3 deletes entry index (every entry for -1); 4 adds the names of the
// files of the current directory that match the pattern text, 5 those of its directories.
void LISTBOXSET(int list, int index, int action, std::string_view text, int len);
// a = number of entries, b = first entry shown (1), c = selected entry from 1 (0 none).
void LISTBOXSTATUS(int list, int& a, int& b, int& c);
// Text of entry index (index 0: the selected entry); result 0 found, 1 no such entry.
void LISTBOXENQUIRE(int list, int index, int& result, char* text, int len);

// ---- icons, buttons, links, images, resources ----
void ADDICON(int parent, int x, int y, int& id);
void ADDBUTTON(int parent, int accelerator, std::string_view text, int x, int y, int& id);
void REGLINK(int widget, int value, int linked);
void IMAGEDRAWDUMPINIT(int a, int b, int c, int d);
void IMAGEDRAWDUMPEND(int e, int mode);
void RESOURCEIMAGEDATA(int a, int b, int c, int* data);
void RESOURCEIMAGEINFO(int a, int kind, int& a3, int& a4, int& a5, int& a6, int& a7);
void GETRESOURCECURSOR(int a, int& cursor);

// ---- value entries and arrays ----
void ADDDOUBLE(int parent, double value, int mode, int decimals, int field_width, int x, int y, int& id);
void ADDFLOAT(int parent, float value, int mode, int decimals, int field_width, int x, int y, int& id);
void GAADDVALUEGRID(int parent, int a, int b, int c, int d, int& id);
void SETDOUBLE(int widget, double value);
void SETNUMBER(int widget, float value);
// The number held (as set, or as typed in full) and the text shown; status 0.
void GETNUMBER(int widget, double& value, char* text, int& status, int len);
void SETVALUELIMITS(int widget, double lower, double upper);
void REGROGUEVALUE(int a, int b, int code, std::string_view text, int len);
void GASETCELLTYPE(int array, int col, int row, int type, int unused);
void GASETCELLVALUE(int array, int col, int row, double value, std::string_view text, int len);
void GAGETCELLVALUE(int array, int col, int row, double& value, char* text, int len);
void GASETCELLSIZE(int array, int col, int row, int a, int b);
void GASETCELLATTR(int array, int col, int row, int a, int b, int c, int d, int e);
void GACELLATTRENQUIRY(int array, int col, int row, int count, int* values);
void GAMOVESHEETENTRY(int array, int col, int row);
void SETCELLVALUELIMITS(int array, int col, int row, float lower, float upper, int third);
void GETCELLVALUELIMITS(int array, int col, int row, float& lower, float& upper, int& third);

// ---- text entries ----
void ADDEDITOR(int parent, int x, int y, std::string_view text, int limit, int mode, int& id, int len);
void ADDSTRING(int parent, int zero, std::string_view text, int mode, int x, int y, int limit, int& id, int len);
void GETMINIMUM(int& width, int& height);
void GAADDTEXTGRID(int parent, int a, int b, int c, int d, int& id);
void SETSTRING(int widget, std::string_view text, int len);
void GETSTRING(int widget, char* text, int len);
void SAVETEXTFILE(int widget, int& status, std::string_view file, int len);
void GASAVETEXTFILE(int widget, int& status, std::string_view file, int len);
void LOADTEXTFILE(int widget, int& status, std::string_view file, int len);
void GALOADTEXTFILE(int widget, int& status, std::string_view file, int len);
void PRINTTEXTFILE(int widget, int a, int b, int c);
void GAPRINTTEXTFILE(int widget, int a, int b, int c);
void TEXTCUTANDPASTE(int widget, int mode);

// ---- toggles, radio boxes, sliders, panels, bars, trees ----
void ADDRADIO(int parent, int x, int y, std::string_view text, int zero, int& id, int len);
void ADDTOGGLE(int parent, int zero, std::string_view text, int zero2, int x, int y, int& id, int len);
// State 0 or 1 (any other non-zero value counts as 1); in a radio box switching one toggle on
// switches the others off.
void SETTOGGLE(int widget, int state);
void GETTOGGLE(int widget, int& state);
void SETTOGGLEACCEL(int widget, int accelerator);
void REGRADIOTYPE(int type);
void REGSLIDERTYPE(int type);
void REGSLIDERATTR(int c);
void REGPANELATTR(int a, int b, int c, int d);
void ADDRADIOBOX(int parent, int x, int y, int& id);
void ADDSLIDER(int parent, int zero, int x, int y, int& id);
void SETSLIDER(int slider, int position, float scale, float minimum, float increment);
void GETSLIDER(int slider, int& position, float& scale, float& minimum, float& increment);
void ADDPANELBOX(int parent, int x, int y, int& id);
void ADDPANELMASTER(int parent, int x, int y, int& id);
void ADDSTATUSBAR(int window, int type, int& id);
void ADDSTATUSPANES(int bar, int a, int b);
void SETSTATUSTEXT(int bar, int pane, std::string_view text, int len);
void ADDTOOLBAR(int window, int a, int b, int& id);
void ADDTOOLBUTTON(int toolbar, int a, int& id, std::string_view text, int len);
void ADDTOOLSEPARATOR(int toolbar, int& id);
void ADDTREEBOX(int parent, int a, int b, int c, int& id);
void ADDTREEENTRY(int parent, int a, std::string_view text, int& id, int len);
void SETTREEENTRY(int entry, std::string_view text, int len);
void GETTREEENTRY(int entry, char* text, int len);
void TREEACTION(int widget, int action);
void SCROLLBARSET(int widget, int a, int b);
void SCROLLBARENQ(int widget, int& a, int& b);
void GASCROLLBARSET(int widget, int a, int b);
void GASCROLLBARENQ(int widget, int& a, int& b);
void REGPANELIMAGE(int panel, int a, std::string_view image, int len);

// ---- callbacks, properties ----
void GETTIMERCALLBACKS(int& a, int& b, int& c, int& d);
void GETESCAPECALLBACKS(int& a, int& b, int& c, int& d, int& e, int& f);
// Property 15 is the widget's kind and 29 its state (1 active, 0 greyed, -1 hidden); setting
// 29 sets the state, 15 cannot be set. Other codes keep what was set.
void SETWIDGETPROP(int widget, int code, int ivalue, double dvalue, std::string_view text, int len);
void ENQWIDGETPROP(int widget, int code, int& ivalue, double& dvalue, char* text, int len);
