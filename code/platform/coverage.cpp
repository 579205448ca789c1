// The entries of the widget library that do less than their name says.
#include "platform/coverage.h"

namespace wl {
namespace {

constexpr Coverage K = Coverage::Kept;
constexpr Coverage R = Coverage::Refused;

const EntryCoverage kNotDone[] = {
    // Events and callbacks.
    {"SETCALLMOVE", K, "move callback: kept, never delivered"},
    {"SETCALLLOSE", K, "lose-focus callback: kept, never delivered"},
    {"SETCALLEXPOSE", K, "expose callback: kept, never delivered"},
    {"GETACTIONINFO", R, "details of the last event: answers zeros"},
    {"GETESCAPECALLBACKS", R, "escape callbacks: answers zeros"},
    {"ACTIVATEWIDGET", K, "the widget made active is stored; the keyboard focus is not moved"},
    {"REGHOTKEY", K, "key callbacks beyond the characters and F1 to F20 are kept, never pressed"},
    // Layout registrations.
    {"REGPOSITION", K, "justification and expansion"},
    {"REGMAXIMUM", K, "maximum size"},
    {"REGTITLETYPE", K, "title type (answered by GETTITLETYPE)"},
    {"SETREMOVEMODE", K, "remove mode"},
    {"REGBUILDMODE", K, "build mode"},
    {"SETDRAWMODE", K, "draw mode"},
    {"SETGRIDMODE", K, "grid mode (answered by GETGRIDMODE)"},
    {"REGBROWSETYPE", K, "browse type of the file browser"},
    {"GETWINVER", R, "GUI style: answers 0"},
    // Looks registrations: only the text and value entry attributes are shown.
    {"REGTOGGLEATTR", K, "looks of toggles"},
    {"REGTOGGLESIZE", K, "looks of toggles"},
    {"REGTOGGLETYPE", K, "looks of toggles"},
    {"REGBUTTONATTR", K, "looks of buttons"},
    {"REGBUTTONSIZE", K, "looks of buttons"},
    {"REGBUTTONTYPE", K, "looks of buttons"},
    {"REGVALUETYPE", K, "looks of value entries"},
    {"REGTEXTTYPE", K, "looks of text entries"},
    {"REGVALUESIZE", K, "looks of value entries"},
    {"REGTEXTSIZE", K, "looks of text entries"},
    {"REGSLIDERSIZE", K, "looks of sliders"},
    {"REGSLIDERATTR", K, "looks of sliders"},
    {"REGSLIDERTYPE", K, "looks of sliders"},
    {"REGPANELTYPE", K, "looks of panels"},
    {"REGPANELATTR", K, "looks of panels"},
    {"REGPANELIMAGE", K, "image of panels"},
    {"REGICONTYPE", K, "looks of icons"},
    {"REGICONSIZE", K, "looks of icons"},
    {"REGCOMBOTYPE", K, "looks of combo boxes"},
    {"REGLISTBOXTYPE", K, "looks of list boxes"},
    {"REGRADIOTYPE", K, "looks of radio toggles"},
    {"REGROGUEVALUE", R, "rogue-value text of a value entry: neither kept nor shown (only traced)"},
    // Widgets kept in the model but not shown in the real window.
    {"ADDSLIDER", K, "slider"},
    {"SETSLIDER", K, "value of a slider"},
    {"ADDTOOLBAR", K, "tool bar"},
    {"ADDTOOLBUTTON", K, "tool bar button"},
    {"ADDTOOLSEPARATOR", K, "tool bar separator"},
    {"ADDTREEBOX", K, "tree view"},
    {"ADDTREEENTRY", K, "tree view entry"},
    {"SETTREEENTRY", K, "tree view entry"},
    {"TREEACTION", R, "tree view action: traced only"},
    {"ADDPANELBOX", K, "panel; widgets inside panels and tab boxes are not shown either"},
    {"ADDPANELMASTER", K, "tab box"},
    {"ADDMENUPOP", K, "popup menu"},
    {"ADDMENUFLOAT", K, "floating menu"},
    {"ADDMENUCASCADE", K, "cascade submenu (a pulldown inside a pulldown is not shown)"},
    {"GAADDTEXTGRID", K, "text array"},
    {"GAADDVALUEGRID", K, "value array"},
    {"GASETCELLATTR", K, "array cell"},
    {"GASETCELLSIZE", K, "array cell"},
    {"GASETCELLTYPE", K, "array cell"},
    {"GASETCELLVALUE", K, "array cell"},
    {"GASETGRIDATTR", K, "array"},
    {"GASELECTARRAYAREA", K, "array selection"},
    {"GAARRAYACTIONMODE", K, "array action mode"},
    {"GAMOVESHEETENTRY", K, "array"},
    {"GASCROLLBARSET", K, "array scroll bar"},
    {"SCROLLBARSET", K, "scroll bar"},
    {"SETCELLVALUELIMITS", K, "limits of an array cell, not enforced"},
    {"OPENMDIMASTER", K, "MDI client (opened as a master window)"},
    {"OPENMDIWINDOW", K, "MDI child window"},
    {"ADDSTATUSPANES", K, "status-bar panes after the first"},
    // Widget attributes kept but not shown.
    {"SETVALUELIMITS", K, "value limits: kept, not enforced (the program enforces its own)"},
    {"ADDWIDGETHELP", K, "widget help text"},
    {"REGACCEL", K, "accelerator: shown only for menu-bar titles (Alt and the key)"},
    {"SETTOGGLEACCEL", K, "accelerator of a toggle"},
    {"REGLINK", K, "widget link"},
    {"SETWIDGETPROP", K, "widget properties other than the state (29)"},
    {"SETWIDGETINFO", K, "description of a widget: only the caption changes"},
    // Requests that do nothing.
    {"WINDOWFREEZE", R, "window freeze: traced only"},
    {"SETGRAPHICSCURSOR", R, "graphics cursor shape: traced only"},
    {"DRAWTITLE", R, "start-up title window: traced only"},
    {"REMOVETITLE", R, "start-up title window: traced only"},
    {"PRINTTEXTFILE", R, "printing a text widget: prints nothing (gmPrintTextWidget reports failure)"},
    {"GAPRINTTEXTFILE", R, "printing an array: prints nothing"},
    {"TEXTCUTANDPASTE", R, "copying text to the clipboard: does nothing"},
    {"GALOADTEXTFILE", R, "loading an array from a text file: status 1"},
    {"IMAGEDRAWDUMPINIT", R, "image dump: traced only"},
    {"IMAGEDRAWDUMPEND", R, "image dump: traced only"},
    {"IMAGECOPY", R, "pixel-area copy: does nothing"},
    {"RESOURCEIMAGEDATA", R, "resource image data: traced only"},
    {"RESOURCEIMAGEINFO", R, "resource image size: answers zeros"},
    {"WINDOWICON", K, "icon of a window: a resource name or an existing image file is kept, no image is read"},
    // The message console.
    {"errormessage_", K, "the toolkit's console: kept in the model and written to stderr, no window"},
    {"registerconsole_", K, "console settings"},
};

}  // namespace

std::span<const EntryCoverage> entries_not_done() { return kNotDone; }

}  // namespace wl
