// The widget module: the gm procedures through which the program creates its widgets and sets
// and reads them. Each procedure supplies the defaults of its optional arguments, converts
// types, recodes a few values and forwards to the plain layer (f77gui.h, f77gui_widgets.h),
// which checks every request. The procedures validate nothing themselves and keep no state
// beyond scratch texts and the saved icon values of the window procedures.
//
// Optional arguments are gathered in one options struct per procedure; a member left empty is
// an absent argument (which is not the same as any value), e.g.
//   gmCreateValueEntry(dlg, 3, 2, 4, 1, 0.0f, 10, 3, 19, {.callback = 106});
// Optional results of enquiries are pointers (nullptr: absent). The numbers in the comments of
// the options structs are the argument positions (text lengths counted) the defaults refer to.
#pragma once
#include <array>
#include <optional>
#include <string_view>
#include <type_traits>
#include <vector>

#include "include/toolkit_services.h"
#include "runtime/farray.h"
#include "runtime/ftext.h"

using OptInt = std::optional<int>;
using OptText = std::optional<std::string_view>;

// The value 50000 given for any callback of a creation asks for an automatic number: the new
// widget's id plus the offset of the callback's kind.
constexpr int AUTO_CALLBACK = 50000;

// A world box in the order x min, x max, y min, y max.
struct GraphicsBounds {
    float xmin = 0, xmax = 0, ymin = 0, ymax = 0;
};
// A pixel box in the same order.
struct PixelBounds {
    int xmin = 0, xmax = 0, ymin = 0, ymax = 0;
};

// ---- widget creation ----

struct ValueEntryOptions {
    OptInt value_type{};                        // 10 (over 34)
    OptInt value_type_option{};                 // 11
    OptText prefix{}, suffix{};                   // 12, 13
    OptInt value_size{};                        // 14
    std::optional<float> limit1{}, limit2{};      // 15, 16
    OptInt colour1{}, colour1_alt{};              // 17 (over 18), 18
    OptInt colour2{}, colour2_alt{};              // 19 (over 20), 20
    OptInt colour3{};                           // 21
    OptInt fourth{};                            // 22
    OptInt xjust{}, yjust{}, expansion{};           // 23, 24, 25
    OptText help{};                             // 26
    OptInt help_mode{};                         // 27
    OptInt prop98{}, prop98_second{};             // 28, 29
    OptInt callback{}, select_callback{}, move_callback{}, dragdrop_callback{};  // 30-33
    OptInt value_type_alt{};                    // 34
    OptInt escape74_first{};                    // 35
    OptInt justification{};                     // 36: 1 field width negative, 0 positive
    OptInt status{};                            // 37
    OptInt escape74_second{};                   // 38
    OptInt prop126{};                           // 39
    OptInt value_error_callback{};              // 40
    OptInt prop129{};                           // 41
    OptInt prop131{};                           // 42
    std::optional<double> dlimit1{}, dlimit2{};   // 44, 45
    std::optional<double> prop103{};            // 46 (the double part of property 103)
};
int gmCreateValueEntry(int parent, int x, int y, int width, int height, double value, int field_width,
                       int decimals, int mode, const ValueEntryOptions& o = {});
int gmCreateValueEntry(int parent, int x, int y, int width, int height, float value, int field_width,
                       int decimals, int mode, const ValueEntryOptions& o = {});
int gmCreateValueEntry(int parent, int x, int y, int width, int height, int value, int field_width, int decimals,
                       int mode, const ValueEntryOptions& o = {});

struct TextEntryOptions {
    OptInt text_type{}, text_type_option{}, text_size{};  // 9 (over 33), 10, 11
    OptInt colour1{}, colour1_alt{}, colour2{}, colour2_alt{}, colour3{}, fourth{};  // 12-17
    OptInt xjust{}, yjust{}, expansion{};                 // 18-20
    OptText help{};                                   // 21
    OptInt help_mode{};                               // 22
    OptInt prop98{}, prop98_second{};                   // 23, 24
    OptInt scroll_mode{};                             // 25: 32763 -> 1, 32764 -> 2
    OptInt justification{};                           // 26
    OptInt callback{}, select_callback{}, move_callback{}, change_callback{}, dragdrop_callback{},
        filedrop_callback{};                        // 27-32
    OptInt text_type_alt{};                           // 33
    OptInt doubleclick_callback{};                    // 34
    OptInt escape74_first{};                          // 35
    OptInt escape75_first{}, escape75_second{};         // 36, 37
    OptInt status{};                                  // 38
    OptInt prop126{}, prop129{}, prop131{};               // 39, 40, 41
    OptInt escape75_third{};                          // 42
    OptInt link_callback{};                           // 43
};
int gmCreateTextEntry(int parent, int x, int y, int width, int height, std::string_view text, int limit, int mode,
                      const TextEntryOptions& o = {});

struct ToggleButtonOptions {
    OptInt toggle_type{}, toggle_size{}, accelerator{};   // 8 (over 25), 9, 10
    OptInt colour1{}, colour2{}, colour3{};               // 11-13
    OptInt xjust{}, yjust{}, expansion{};                 // 14-16
    OptText help{};                                   // 17
    OptInt help_mode{};                               // 18
    OptInt prop98{}, prop98_second{};                   // 19, 20
    OptInt callback{}, select_callback{}, move_callback{}, dragdrop_callback{};  // 21-24
    OptInt toggle_type_alt{};                         // 25
    OptInt status{}, prop126{}, prop131{};                // 26-28
};
int gmCreateToggleButton(int parent, int x, int y, int width, int height, std::string_view text, int state,
                         const ToggleButtonOptions& o = {});

struct PushButtonOptions {
    OptInt accelerator{}, button_type{}, button_size{};   // 7, 8 (over 27), 9
    OptInt attribute1{}, attribute2{}, attribute3{};      // 10-12
    OptInt xjust{}, yjust{}, expansion{};                 // 13-15
    OptText help{};                                   // 16
    OptInt help_mode{};                               // 17
    OptInt prop98{}, prop98_second{};                   // 18, 19
    OptInt callback{}, move_callback{}, select_callback{};  // 20-22
    OptInt status_flag{};                             // 23: 1 sets status 3
    OptInt dragselect_callback{}, dragmove_callback{}, dragdrop_callback{};  // 24-26
    OptInt button_type_alt{};                         // 27
    OptInt doubleclick_callback{}, filedrop_callback{}; // 28, 29
    OptInt prop100{}, status{}, prop30{}, prop126{}, prop131{};  // 30-34
};
int gmCreatePushButton(int parent, int x, int y, int width, int height, std::string_view text,
                       const PushButtonOptions& o = {});

struct RadioBoxOptions {
    OptInt radio_type{}, panel_type{};                  // 6 (over 24), 7
    OptText title{};                                  // 8
    OptInt colour1{}, colour2{}, colour3{}, colour4{};      // 9-12
    OptInt xjust{}, yjust{}, expansion{};                 // 13-15
    OptInt select_callback{};                         // 16
    OptText help{};                                   // 17
    OptInt help_mode{};                               // 18
    OptInt prop98{}, prop98_second{};                   // 19, 20
    OptInt callback{}, move_callback{}, dragdrop_callback{};  // 21-23
    OptInt radio_type_alt{};                          // 24
    OptInt status{}, prop126{};                         // 25, 26
};
int gmCreateRadioBox(int parent, int x, int y, int width, int height, const RadioBoxOptions& o = {});

struct ListBoxOptions {
    OptInt type1{}, type2{}, type2_alt{}, type3{};          // 7 (over 18), 8 (over 9), 9, 10
    OptInt xjust{}, yjust{}, expansion{};                 // 11-13
    OptInt callback{}, select_callback{}, change_callback{}, dragdrop_callback{};  // 14-17
    OptInt type1_alt{};                               // 18
    OptInt doubleclick_callback{}, filedrop_callback{}; // 19, 20
    OptInt max_width{};                               // 21
    OptInt escape111_first{}, escape111_second{};       // 22, 23
    OptInt status{}, prop131{};                         // 24, 25
};
int gmCreateListBox(int parent, int x, int y, int width, int height, int list_kind, const ListBoxOptions& o = {});

struct IconOptions {
    OptInt icon_type{};                               // 9 (over 26): 7 -> 0
    OptText button_text{};                            // 10
    OptInt icon_size{};                               // 11
    OptInt xjust{}, yjust{}, expansion{};                 // 12-14
    OptText help{};                                   // 15
    OptInt help_mode{};                               // 16
    OptInt prop98{}, prop98_second{};                   // 17, 18
    OptInt callback{}, select_callback{}, move_callback{};  // 19-21
    OptInt status_flag{};                             // 22
    OptInt dragselect_callback{}, dragmove_callback{}, dragdrop_callback{};  // 23-25
    OptInt icon_type_alt{};                           // 26
    OptInt doubleclick_callback{};                    // 27
    OptInt prop100{}, status{}, prop126{}, prop131{};       // 28-31
};
int gmCreateIcon(int parent, int x, int y, int width, int height, std::string_view icon_name, int icon1, int icon2,
                 const IconOptions& o = {});

struct GraphicsFrameOptions {
    OptInt frame_type{};                              // 7: absent or 0 -> 0, 40 -> 1
    OptInt xjust{}, yjust{}, expansion{};                 // 8-10
    OptText help{};                                   // 11
    OptInt help_mode{};                               // 12
    OptInt prop98{}, prop98_second{};                   // 13, 14
    OptInt callback{}, select_callback{}, move_callback{}, expose_callback{}, dragdrop_callback{},
        filedrop_callback{};                        // 15-20
    OptInt status{}, prop126{};                         // 21, 22
};
int gmCreateGraphicsFrame(int parent, int x, int y, int width, int height, const GraphicsBounds& bounds,
                          const GraphicsFrameOptions& o = {});

// ---- window and menu creation ----

struct MasterWindowOptions {
    OptInt max_width{}, max_height{};                   // 7, 8
    OptInt xjust{}, yjust{};                            // 9, 10
    OptInt icon1{};                                   // 11
    OptText icon_name{};                              // 12
    OptInt icon2{};                                   // 13
    OptInt callback{}, select_callback{}, dragdrop_callback{};  // 14-16
    OptInt draw_mode{}, build_mode{};                   // 17, 18
};
int gmCreateMasterWindow(int x, int y, int width, int height, int title_type, std::string_view title,
                         const MasterWindowOptions& o = {});

struct DialogueBoxOptions {
    OptInt max_width{}, max_height{};                   // 8, 9
    OptInt xjust{}, yjust{};                            // 10, 11
    OptInt icon1{};                                   // 12
    OptText icon_name{};                              // 13
    OptInt icon2{};                                   // 14
    OptInt callback{}, select_callback{}, dragdrop_callback{};  // 15-17
    OptInt draw_mode{}, remove_mode{};                  // 18, 19
};
int gmCreateComplexDialogueBox(int parent, int x, int y, int width, int height, int title_type,
                               std::string_view title, const DialogueBoxOptions& o = {});
// Two further entries that do the same.
int gmCreateComplexDialogBox(int parent, int x, int y, int width, int height, int title_type, std::string_view title,
                             const DialogueBoxOptions& o = {});
int gmCreateDialogueBox(int parent, int x, int y, int width, int height, int title_type, std::string_view title,
                        const DialogueBoxOptions& o = {});

int gmCreateMenuBar(int window);
int GMCREATEPULLDOWNMENU(int title);
int gmCreateMenuSeparator(int menu);

struct MenuEntryOptions {
    OptInt accelerator{};                             // 3
    OptInt callback{};                                // 4
    OptText help{};                                   // 5
    OptInt escape854_first{}, escape854_second{};       // 6, 7
    OptInt escape854_third_alt{};                     // 8
    OptInt status{};                                  // 9
    OptInt escape854_third{};                         // 10 (over 8)
};
int gmCreateMenuEntry(int parent, std::string_view text, const MenuEntryOptions& o = {});

struct StatusBarOptions {
    OptInt type{};                                    // 2
    OptInt pane1{}, pane2{};                            // 3, 4
    OptText second_text{};                            // 5
    OptText first_text{};                             // 6
    OptInt dragdrop_callback{};                       // 7
};
int gmCreateStatusBar(int window, const StatusBarOptions& o = {});

struct MDIMasterWindowOptions {
    OptInt max_width{}, max_height{}, xjust{}, yjust{};     // 7-10
    OptInt icon1{};                                   // 11
    OptText icon_name{};                              // 12
    OptInt icon2{};                                   // 13
    OptInt callback{}, select_callback{}, dragdrop_callback{};  // 14-16
    OptInt draw_mode{};                               // 17
    OptText escape1300_text{};                        // 18
    OptInt escape1300_value{};                        // 19
    OptInt filedrop_callback{};                       // 20
    OptInt build_mode{};                              // 21
};
int gmCreateMDIMasterWindow(int x, int y, int width, int height, int title_type, std::string_view title,
                            const MDIMasterWindowOptions& o = {});

struct MDIDialogueBoxOptions {
    OptInt max_width{}, max_height{};                   // 8, 9
    OptInt icon1{};                                   // 10
    OptText icon_name{};                              // 11
    OptInt icon2{};                                   // 12
    OptInt select_callback{}, callback{}, dragdrop_callback{};  // 13-15
    OptInt draw_mode{}, remove_mode{};                  // 16, 17
};
int gmCreateMDIComplexDialogueBox(int parent, int x, int y, int width, int height, int title_type,
                                  std::string_view title, const MDIDialogueBoxOptions& o = {});
int gmCreateMDIComplexDialogBox(int parent, int x, int y, int width, int height, int title_type,
                                std::string_view title, const MDIDialogueBoxOptions& o = {});
int gmCreateMDIDialogueBox(int parent, int x, int y, int width, int height, int title_type, std::string_view title,
                           const MDIDialogueBoxOptions& o = {});

struct TabDialogueBoxOptions {
    OptInt xjust{}, yjust{}, expansion{};                 // 6-8
    OptInt callback{}, select_callback{}, dragdrop_callback{};  // 9-11
    OptInt status{};                                  // 12
};
int gmCreateTabDialogueBox(int parent, int x, int y, int width, int height, const TabDialogueBoxOptions& o = {});
int gmCreateTabDialogBox(int parent, int x, int y, int width, int height, const TabDialogueBoxOptions& o = {});
int gmCreateTabBox(int parent, int x, int y, int width, int height, const TabDialogueBoxOptions& o = {});

struct PopupMenuOptions {
    OptInt max_width{}, max_height{}, xjust{}, yjust{};     // 6-9
    OptInt icon1{};                                   // 10
    OptText icon_name{};                              // 11
    OptInt icon2{};                                   // 12
    OptInt callback{}, dragdrop_callback{};             // 13, 14
    OptInt remove_mode{};                             // 15
};
int gmCreatePopupMenu(int parent, int popup1, int popup2, int title_type, std::string_view title,
                      const PopupMenuOptions& o = {});

// ---- setters ----
// gmSetWidgetStatus, gmSetValueSetting(int, float): include/toolkit_services.h.
void gmSetValueSetting(int widget, int value);
void gmSetValueSetting(int widget, double value);
void gmSetToggleSwitch(int widget, int state);
void gmSetTextSetting(int widget, std::string_view text);
void gmSetTextSetting(int widget, std::string_view text, int mode);

struct ListEntryOptions {
    OptInt index{};
    OptText text{};
    OptInt extra{};
};
void gmSetListEntry(int list, int action, const ListEntryOptions& o = {});

struct FontAttribs {
    OptText font_name{};                              // 2
    OptInt a1{}, a2{}, a3{}, a4{}, a5{}, a6{}, a7{}, a8{}, a9{};      // 3-11: attribute codes 1-9
    OptInt item1{}, item2{};                            // 12, 13
    OptInt a10{}, a11{};                                // 14, 15: codes 10, 11
};
void gmSetFontAttribs(int widget, const FontAttribs& o = {});

void gmSetValueArray_DOUBLE(int widget, int col, int row, int cols, int rows, const double* values);
void gmSetValueArray_REAL(int widget, int col, int row, int cols, int rows, const float* values);
void gmSetValueArray_INTEGER(int widget, int col, int row, int cols, int rows, const int* values);
// Two-dimensional forms: an array declared (columns, rows), element (c, r) from 1.
template <class T, int NC, int NR>
void gmSetValueArray2(int widget, int col, int row, int cols, int rows, const rt::FArray2<T, NC, NR>& a);

struct PropertySettingOptions {
    OptText text1{}, text2{};
    std::optional<std::array<float, 3>> colour1{}, colour2{};  // red, green, blue 0..1
    OptInt integer{};
    std::optional<float> real{};
    std::optional<double> dbl{};
};
void gmSetPropertySetting(int grid, int item, const PropertySettingOptions& o = {});

struct ParagraphOptions {
    OptInt p0{}, p1{}, p2{}, p3{}, p4{}, p5{}, p6{}, p8{}, p9{}, p10{};  // paragraph codes 0-6, 8-10
    OptInt spacing_a{}, spacing_b{}, spacing_c{};          // packed into code 11
};
void gmSetParagraphProp(int widget, const ParagraphOptions& o = {});
// The packed spacing word of code 11 (each part from its absent/present value).
int paragraph_spacing_word(OptInt a, OptInt b, OptInt c);

struct PrinterOptions {
    OptText name1{};                                  // 2: sub-code 1
    std::array<OptInt, 14> s{};                       // arguments 3-16 (s[0] is argument 3)
    OptText name2{};                                  // 17: sub-code 2
};
void gmSetPrinterProps(int unused, const PrinterOptions& o = {});

void gmSetPageSetupAttribs(int widget, float r1, float r2, float r3, float r4, int n, OptInt e1 = {},
                           OptInt e2 = {});

struct CellSettingOptions {
    std::optional<float> real{};
    OptInt integer{};
    std::optional<double> dbl{};
    OptText text{};
};
void gmSetCellSetting(int array, int col, int row, const CellSettingOptions& o = {});

// Cell attributes record: 21 fields and a text. Fields 19 and 20 (the value limits) are 32-bit
// reals, the others integers; field(k) reaches an integer field, real(k) a real one (a field of
// the other type is out of range).
struct CellAttribs {
    std::array<int, 19> f{};    // fields 1-18, then field 21
    std::array<float, 2> r{};   // fields 19, 20
    rt::FText<256> text;
    int& field(int k) { return f.at(int_slot(k)); }
    int field(int k) const { return f.at(int_slot(k)); }
    float& real(int k) { return r.at(std::size_t(k - 19)); }
    float real(int k) const { return r.at(std::size_t(k - 19)); }

private:
    static std::size_t int_slot(int k) { return k >= 1 && k <= 18 ? std::size_t(k - 1) : k == 21 ? 18 : 19; }
};
void gmSetCellAttribs(int array, int col, int row, const CellAttribs& a);

struct WidgetHelpOptions {
    OptText text{};
    OptInt e4{}, e5{}, e6{};
};
void gmSetWidgetHelp(int widget, int kind, const WidgetHelpOptions& o = {});
void gmSetRogueValueStr(int code, int a, int b, std::string_view text);
void gmSetToolbarPos(int toolbar, int x, int y, int r, int dock);
void gmSetPanePos(int pane, int x, int y, int r1, int r2, int dock);
// The dock code sent for a caller's dock code (0 hides and sends nothing).
int dock_code_sent(int dock);

void gmSetActiveWidget(int widget);
void gmSetActiveCell(int array, int col, int row);
void gmSetAppDirSwitch(int on);
void gmSetArrayGridReturnAction(int action);
void gmSetBubbleHelpSwitch(int on);
void gmSetCalendarDate(int widget, int d1, int d2, int d3);
void gmSetCursorPos(int a, int b, int c);
void gmSetEntrySelectionMode(int mode);
void gmSetGaugeValue(int widget, int value);
void gmSetGraphicsFrameBounds(int frame, const GraphicsBounds& bounds);
void gmSetGuiCursor(int widget, int a, int b);
void gmSetProgressValue(int widget, int value);
void gmSetScrollBarPos(int widget, int a, int b);
void gmSetSelectedTextRange(int widget, int a, int b);
void gmSetSliderValue(int widget, float value);
void gmSetSnapGrid(int value);
void gmSetStatusBarText(int bar, int pane, std::string_view text);
struct SyntaxFontOptions {
    OptText font_name{};
    OptInt f2{}, f4{}, f5{}, f6{}, f7{};
};
void gmSetSyntaxFont(int widget, const SyntaxFontOptions& o = {});
void gmSetSyntaxHighlighting(int widget, int on, OptInt kind = {});
void gmSetTableBoxAttribs(int table, int column, OptInt width = {});
void gmSetTableBoxLabel(int table, int a, int b, std::string_view text);
// Texts of a text array: cols x rows elements of elem_len characters in column order.
void gmSetTextArray_1(int widget, int col, int row, int cols, int rows, const char* texts, int elem_len);
template <int N, int NC, int NR>
void gmSetTextArray_2(int widget, int col, int row, int cols, int rows, const rt::FArray2<rt::FText<N>, NC, NR>& a);
void gmSetTextPanes(int widget, int a, int b);
void gmSetTextRuler(int widget, int value);
void gmSetTrackingPos(int a, int b);
void gmSetTreeViewLabel(int entry, std::string_view text);

// ---- enquiries ----
// gmEnqToggleSwitch, gmEnqValueSetting(int), gmEnqTextSetting(int, char*, int):
// include/toolkit_services.h.
double gmEnqValueSetting(int widget, int* status, char* text = nullptr, int text_len = 0);
double gmEnqValueSettingDouble(int widget, int* status = nullptr, char* text = nullptr, int text_len = 0);
int gmEnqValueSettingInteger(int widget, int* status = nullptr, char* text = nullptr, int text_len = 0);
void gmEnqTextSetting(int widget, char* text, int len, int mode);
void gmEnqListStatus(int list, int& a, int& b, int& c);

void gmEnqValueArray_DOUBLE(int widget, int col, int row, int cols, int rows, double* values);
void gmEnqValueArray_REAL(int widget, int col, int row, int cols, int rows, float* values);
void gmEnqValueArray_INTEGER(int widget, int col, int row, int cols, int rows, int* values);
template <class T, int NC, int NR>
void gmEnqValueArray2(int widget, int col, int row, int cols, int rows, rt::FArray2<T, NC, NR>& a);

void gmEnqCellSetting(int array, int col, int row, double& value, char* text, int len);
void gmEnqCellSetting(int array, int col, int row, float& value, char* text, int len);
void gmEnqCellSetting(int array, int col, int row, int& value, char* text, int len);
void gmEnqCellAttribs(int array, int col, int row, CellAttribs& a);

struct FontAttribsEnq {
    char* font_name = nullptr;                      // 2
    int font_name_len = 0;
    std::array<int*, 9> a{};                        // 3-11: codes 1-9
    OptInt item1{}, item2{};                            // 12, 13 (sent)
    int* a10 = nullptr;                             // 14
    int* a11 = nullptr;                             // 15
};
void gmEnqFontAttribs(int widget, const FontAttribsEnq& o);

struct ParagraphEnq {
    std::array<int*, 11> p{};                       // codes 0-10
    int* a = nullptr;
    int* b = nullptr;
    int* c = nullptr;
};
void gmEnqParagraphProp(int widget, const ParagraphEnq& o);

struct PrinterEnq {
    char* name1 = nullptr;
    int name1_len = 0;
    std::array<int*, 16> s{};                       // arguments 3-18 (s[0] is argument 3)
    char* name2 = nullptr;
    int name2_len = 0;
};
void gmEnqPrinterProps(int unused, const PrinterEnq& o);

struct PropertySettingEnq {
    char* text1 = nullptr;
    int text1_len = 0;
    char* text2 = nullptr;
    int text2_len = 0;
    std::array<float, 3>* colour1 = nullptr;
    std::array<float, 3>* colour2 = nullptr;
    int* integer = nullptr;
    float* real = nullptr;
    double* dbl = nullptr;
};
void gmEnqPropertySetting(int grid, int item, const PropertySettingEnq& o);

void gmEnqPageSetupAttribs(int widget, float& r1, float& r2, float& r3, float& r4, int& n, int* e1 = nullptr,
                           int* e2 = nullptr);
void gmEnqToolbarPos(int toolbar, int& x, int& y, int& r, int& dock);
void gmEnqPanePos(int pane, int& x, int& y, int& r1, int& r2, int& r3, int& r4, int& dock);
// The caller's dock code for a toolkit code (before the hidden test).
int dock_code_read(int code);
void gmEnqPosOfPixel(int frame, int px, int py, float position[2]);
void gmEnqPixelPos(int frame, float x, float y, int pixel[2]);
void gmEnqGraphicsFrameBounds(int frame, GraphicsBounds& bounds);
void gmEnqGraphicsPixelBounds(int frame, PixelBounds& bounds);

struct ActionStateRecord {
    int callback = 0, widget = 0, extra = 0, kind = 0;
    float x = 0, y = 0;
    int count = 0;
    std::array<int, 80> list1{}, list2{};
    rt::FText<256> text;
};
void gmEnqActionState(ActionStateRecord& state);

int gmEnqActiveWidget();
int gmEnqActiveWindow();
int gmEnqAppDirSwitch();
void gmEnqArrayCells(int widget, int& c1, int& r1, int& c2, int& r2);
int gmEnqArrayGridReturnAction();
int gmEnqBubbleHelpSwitch();
void gmEnqCalendarDate(int widget, int& d1, int& d2, int& d3, int& d4);
int gmEnqClipboardStatus(int kind);
int gmEnqEntrySelectionMode();
void gmEnqEscapeCallbacks(int& a1, int& a2, int& a3, int& a4, int& a5, int& a6);
void gmEnqEscapeCallbacks_2(int& a1, int& a2, int& a3, int& a4, int& a5, int& a6);
int gmEnqGaugeValue(int widget);
int gmEnqGuiStyle();
int gmEnqKeyCallback(int key);
int gmEnqKeySelectCallback(int widget);
int gmEnqListEntry(int list, int index, char* text, int len, int* extra = nullptr);
void gmEnqResourceImageInfo(int a1, int kind, int& a3, int& a4, int& a5, int& a6, int& a7);
void gmEnqScrollBarPos(int widget, int& a, int& b);
void gmEnqSelectedText(int widget, char* text, int len);
void gmEnqSelectedTextRange(int widget, int& a, int& b, char* text = nullptr, int len = 0);
float gmEnqSliderValue(int widget);
void gmEnqSnapGrid(int& value);
struct SyntaxFontEnq {
    char* font_name = nullptr;
    int font_name_len = 0;
    int* f2 = nullptr;
    int* f4 = nullptr;
    int* f5 = nullptr;
    int* f6 = nullptr;
    int* f7 = nullptr;
};
void gmEnqSyntaxFont(int widget, const SyntaxFontEnq& o);
int gmEnqSystemMenu(int widget);
void gmEnqTableBoxAttribs(int table, int column, int* width = nullptr, int* w2 = nullptr);
void gmEnqTableBoxLabel(int table, int a, int b, char* text, int len);
void gmEnqTextArray_1(int widget, int col, int row, int cols, int rows, char* texts, int elem_len);
template <int N, int NC, int NR>
void gmEnqTextArray_2(int widget, int col, int row, int cols, int rows, rt::FArray2<rt::FText<N>, NC, NR>& a);
int gmEnqTextLength(std::string_view text);
int gmEnqTextPos(int widget, int a, OptInt b = {});
void gmEnqTimerCallbacks(int& a1, int& a2, int& a3, int& a4);
void gmEnqTimerCallbacks_2(int& a1, int& a2, int& a3, int& a4);
void gmEnqTrackingPos(int& a, int& b);
void gmEnqTreeViewLabel(int entry, char* text, int len);
int gmEnqVideoDevice(int device, char* text, int len);
int gmEnqWidgetStatus(int widget);

// ---- templates ----

template <class T, int NC, int NR>
void gmSetValueArray2(int widget, int col, int row, int cols, int rows, const rt::FArray2<T, NC, NR>& a) {
    std::vector<T> list;
    if (cols > 0 && rows > 0) {
        list.reserve(std::size_t(cols) * std::size_t(rows));
        for (int r = 1; r <= rows; ++r)
            for (int c = 1; c <= cols; ++c) list.push_back(a(c, r));
    }
    if constexpr (std::is_same_v<T, double>)
        gmSetValueArray_DOUBLE(widget, col, row, cols, rows, list.data());
    else if constexpr (std::is_same_v<T, float>)
        gmSetValueArray_REAL(widget, col, row, cols, rows, list.data());
    else
        gmSetValueArray_INTEGER(widget, col, row, cols, rows, list.data());
}

template <class T, int NC, int NR>
void gmEnqValueArray2(int widget, int col, int row, int cols, int rows, rt::FArray2<T, NC, NR>& a) {
    // An empty block still goes to the toolkit, which checks the widget.
    std::vector<T> list(cols > 0 && rows > 0 ? std::size_t(cols) * std::size_t(rows) : 0);
    for (int r = 1; r <= rows; ++r)  // a block that does not fit the array stops here, before any transfer
        for (int c = 1; c <= cols; ++c) list[std::size_t(c - 1 + (r - 1) * cols)] = a(c, r);
    if constexpr (std::is_same_v<T, double>)
        gmEnqValueArray_DOUBLE(widget, col, row, cols, rows, list.data());
    else if constexpr (std::is_same_v<T, float>)
        gmEnqValueArray_REAL(widget, col, row, cols, rows, list.data());
    else
        gmEnqValueArray_INTEGER(widget, col, row, cols, rows, list.data());
    for (int r = 1; r <= rows; ++r)
        for (int c = 1; c <= cols; ++c) a(c, r) = list[std::size_t(c - 1 + (r - 1) * cols)];
}

template <int N, int NC, int NR>
void gmSetTextArray_2(int widget, int col, int row, int cols, int rows, const rt::FArray2<rt::FText<N>, NC, NR>& a) {
    std::vector<char> list;
    if (cols > 0 && rows > 0)
        for (int r = 1; r <= rows; ++r)
            for (int c = 1; c <= cols; ++c) list.insert(list.end(), a(c, r).c, a(c, r).c + N);
    gmSetTextArray_1(widget, col, row, cols, rows, list.data(), N);
}

template <int N, int NC, int NR>
void gmEnqTextArray_2(int widget, int col, int row, int cols, int rows, rt::FArray2<rt::FText<N>, NC, NR>& a) {
    std::vector<char> list;  // an empty block still goes to the toolkit, which checks the widget
    for (int r = 1; r <= rows; ++r)
        for (int c = 1; c <= cols; ++c) list.insert(list.end(), a(c, r).c, a(c, r).c + N);
    gmEnqTextArray_1(widget, col, row, cols, rows, list.data(), N);
    std::size_t k = 0;
    for (int r = 1; r <= rows; ++r)
        for (int c = 1; c <= cols; ++c, k += N) a(c, r).assign(std::string_view(list.data() + k, N));
}

// ---- further operations: forwarders to the plain layer, escape operations, colour dialog,
// printer control ----
struct GCOLOUR;
// The colour dialog starting from (red, green, blue), each 0..1; the components receive the
// colour chosen. Three forms of one procedure.
void gmColourControl(float& red, float& green, float& blue);
void gmColourControl(std::array<float, 3>& colour);
void gmColourControl(GCOLOUR& colour);
// Starts (0, -1), ends (1) or otherwise drives a print job; returns its status. type 40 prints
// a three-dimensional frame; actions 1 and 3 follow the type of the job started last.
int gmPrinterControl(int action, OptInt type = {});
void gmSelectArrayCells(int a, int b, int c, int d, int e);
void gmDefineArrayAction(int a, int b, int c);

void gmDefineWidgetLinks(int widget, int count, const int* values, const int* widgets);
void gmDrawImage(int a, int b, int width, int height, const int* data);
void GMDUMPIMAGE(int a, int b, int c, int d, int e);
int gmGetCursorResource(int resource);
// kind 14 is sent as 2; without data a scratch list of width x height integers is lent.
void gmGetResourceImageData(int kind, int name, int width, int height, int value, int* data = nullptr);
void gmGetResourceImageData_2(int kind, int name, int width, int height, int value, int* data = nullptr);
void gmDefineLinkCallback(int widget, int callback);
void gmDefineChangeCallback(int widget, int callback);
void gmDefineValueErrorCallback(int widget, int callback);
void gmDefineDragSelectCallback(int widget, int callback);
void gmDefineDragMoveCallback(int widget, int callback);
void gmDefineDragDropCallback(int widget, int callback);
void gmDefineDragRect(int a, int b);
// points: count pairs (x, y).
void gmDefineDragShape(int count, const int* points);
void gmDefineDragShape_2(int count, const int* points);
void gmReturnChildList(int widget, int& list, int& count);
int gmTextUndoAction(int widget, int action);
void gmReplaceText(int widget, int a, int b, std::string_view text);
// mode goes in, the status comes back.
int gmSaveTextToFile(int widget, std::string_view file, int mode);
int gmGetTextFromFile(int widget, std::string_view file, int mode);
void gmCopyTextToClipboard(int widget, int mode);
void gmTreeViewAction(int widget, int action);
void gmPrintTextWidget(int widget, int a, int b, int c, int* status = nullptr);
void gmPrintTextWidget_2(int widget, int a, int b, int c);
void gmSaveVideo(int frame, std::string_view file);
void gmCaptureVideo(int frame);
void gmConnectVideoFrame(int frame);
void gmDisconnectVideoFrame(int frame);
void gmDisplayVideoDialogue(int frame, int dialogue);
void gmDisplayVideoDialog(int frame, int dialogue);
void gmDisplayVideoDialogueBox(int frame, int dialogue);
// action 32744 is sent as 5.
void gmMDIAction(int window, int action, OptInt option = {});
void GMDEFINEIMAGEBACKGROUND(int widget, std::string_view image, int mode, OptInt flag = {});
void GMDEFINEICONBACKGROUND(int widget, std::string_view image, int mode, OptInt flag = {});

void GMCONVERTRTF2HTML(std::string_view file);
void GMSELECTPROPERTY(int list, int item);
void GMSAVESYNTAXKEYWORDS(std::string_view file);
void GMLOADSYNTAXKEYWORDS(std::string_view file);
void GMADDSYNTAXKEYWORD(int widget, std::string_view word);
void GMINITIALIZESYNTAXTREE();
void GMREMOVETABLEBOXCOLUMN(int table, int column);
void GMREMOVEPROPERTYFROMLIST(int list, int item);
void gmRemoveArrayRow(int array, int row, OptInt count = {});
void gmRemoveArrayColumn(int array, int column, OptInt count = {});
void gmAddArrayRow(int array, int row, OptInt count = {});
void gmAddArrayColumn(int array, int column, OptInt count = {});
int GMPROPERTYITEMNUMBER(int list, std::string_view name);
int GMPROPERTYITEMCOUNT(int list);
int GMPAGESETUPDIALOGUE(int widget);
int GMINSERTOBJECTDIALOGUE(int widget);
int GMINSERTOBJECT(int widget, std::string_view file);
int GMIMPORTWMFFILE(int v1, int v2, int v3, int v4, int v5, int v6, std::string_view file);
void GMGETSTRINGFROMRESOURCE(int identifier, char* text, int len);
int GMGETICONRESOURCE(std::string_view name);
int GMGETBITMAPRESOURCE(std::string_view name);
void GMFONTATTRIBSDIALOGUE(int widget);
void GMFINDTEXTDIALOGUE(int widget, char* text, int len);
int GMFINDTEXT(int widget, int a, std::string_view text, OptInt b = {});
void GMEXTRACTTEXT(int widget, int a, int b, char* text, int len);
void GMCLEARVALUEENTRY(int widget);
void GMCLEARARRAYCELL(int array, int row, int column);
void GMCHANGEWIDGETORDER(int a, int b, int c);
void GMADOPTCHILD(int a, int b, int c);
void GMADDPARAGRAPHTABSTOP(int a, int b, int c, int d);
void GMREMOVEPARAGRAPHTABSTOP(int widget, int index);
void GMDISPLAYTABSTOPEDITOR(int widget);

// The zoom as a fraction n / d (d by range, n = zoom x d truncated, at most 64 / 1).
void rtf_zoom_fraction(float zoom, int& n, int& d);
void GMSETRTFZOOM(int widget, float zoom);
// find and replace go to the dialogue as "find|replace" and come back split at the first '|'.
void GMREPLACETEXTDIALOGUE(int widget, char* find, int find_len, char* replace, int replace_len);
void GMFREEZERTFCHANGES(int widget, int mode);
void GMEXTRACTWORD(int widget, char* text, int len, OptInt position = {}, int* first = nullptr, int* last = nullptr);
// A tab stop packs position (bits 0-23), alignment (24-27) and leader (28 on).
void GMENQPARAGRAPHTABSTOP(int widget, int index, int* position = nullptr, int* alignment = nullptr,
                           int* leader = nullptr);
void GMSETPARAGRAPHTABSTOP(int widget, int index, OptInt position = {}, OptInt alignment = {}, OptInt leader = {});
void gmAddTableBoxEntry(int table, std::string_view text, OptInt position = {});
void gmAddTableBoxColumn(int table, int column, int a, OptInt b = {}, OptText text = {}, OptInt c = {});
void gmAddTableBoxColumn_2(int table, int column, int a, OptInt b = {}, OptText text = {});
void GMADDPROPERTYTOLIST(int list, int item, std::string_view name, OptText value = {}, OptInt type = {},
                        OptText extra = {});
// Active mode, three accelerator attributes, border width, nine colours: the routines behind
// them are retired, so the record is neither used nor filled.
using EmulationAttribs = std::array<int, 14>;
void GMSETEMULATIONATTRIBS(const EmulationAttribs& record);
void GMENQEMULATIONATTRIBS(EmulationAttribs& record);

// ---- widget properties and widget descriptions ----
// The optional arguments of gmSetWidgetProp (positions 2..143) and gmEnqWidgetProp (2..150),
// counted from the widget (argument 1); each position has one value kind (see
// kWidgetPropArgs in menu_f90_props.cpp).
constexpr int kWidgetPropLastSetArg = 143;
constexpr int kWidgetPropLastEnqArg = 150;
enum class PropKind { Integer, Double, Text };
struct WidgetPropArg {
    int set_pos;   // position in gmSetWidgetProp (0: read only)
    int enq_pos;   // position in gmEnqWidgetProp
    int code;      // property code (37 and 109 become 22 and 106 on a widget of kind 9)
    PropKind kind;
};
// One row per argument, in the order the requests are made.
extern const std::vector<WidgetPropArg> kWidgetPropArgs;
struct WidgetPropValues {
    std::array<OptInt, kWidgetPropLastEnqArg + 1> i{};
    std::array<std::optional<double>, kWidgetPropLastEnqArg + 1> d{};
    std::array<OptText, kWidgetPropLastEnqArg + 1> t{};
};
struct WidgetPropResults {
    std::array<int*, kWidgetPropLastEnqArg + 1> i{};
    std::array<double*, kWidgetPropLastEnqArg + 1> d{};
    std::array<char*, kWidgetPropLastEnqArg + 1> t{};
    std::array<int, kWidgetPropLastEnqArg + 1> t_len{};
};
void gmSetWidgetProp(int widget, const WidgetPropValues& args);
// The second entry: argument 57 is property 56 and arguments 58, 59 property 98.
void gmSetWidgetProp_2(int widget, const WidgetPropValues& args);
void gmEnqWidgetProp(int widget, const WidgetPropResults& args);
// Recodings of the integer properties 13, 16 and 78 (sent and read).
int widget_prop_sent(int code, int value);
int widget_prop_read(int code, int value);

// The widget-description record: 43 fields (22-25 and 40-43 real, the others integer; index
// 0 is field 1) and a text of 32,768 characters.
struct WidgetDescription {
    std::array<int, 43> i{};
    std::array<float, 43> r{};
    rt::FText<32768> text;
    int& field(int k) { return i.at(std::size_t(k - 1)); }
    float& real(int k) { return r.at(std::size_t(k - 1)); }
};
// The request lists I1-I43 and R1-R6 built from a description, and a description filled from
// them (fields not written keep their values).
void widget_info_to_lists(const WidgetDescription& d, std::array<int, 43>& I, std::array<float, 6>& R);
void widget_info_from_lists(const std::array<int, 43>& I, const std::array<float, 6>& R, WidgetDescription& d);
void gmSetWidgetInfo(int widget, const WidgetDescription& description);
void gmEnqWidgetInfo(int widget, WidgetDescription& description);

// ---- creation of the other widget kinds ----
// The numbers are the argument positions (text lengths counted) the defaults refer to.

struct VideoFrameOptions {
    OptInt xjust{}, yjust{}, expansion{};             // 7-9
    OptInt callback{}, dragdrop_callback{};         // 10, 11
    OptInt status{};                              // 12
};
int gmCreateVideoFrame(int parent, int x, int y, int width, int height, int video, const VideoFrameOptions& o = {});

struct ArrayOptions {
    OptInt attribute1{}, attribute2{};              // 8, 9 (-1, -1)
    OptText label1{}, label2{};                     // 10, 11 (one blank)
    OptInt attribute3{}, attribute4{};              // 12, 13 (0, 0)
    OptInt xjust{}, yjust{}, expansion{};             // 14-16
    OptInt scroll_mode{};                         // 17 (0; 32763 -> 1, 32764 -> 2)
    OptText help{};                               // 18
    OptInt help_mode{};                           // 19
    OptInt prop98{}, prop98_second{};               // 20, 21
    OptInt callback{}, select_callback{}, dragdrop_callback{}, doubleclick_callback{},
        change_callback{};                        // 22-26
    OptInt escape2015_first{};                    // 27 (4)
    OptInt status{};                              // 28
    std::array<OptInt, 4> escape2015_more{};      // 29-32 (0 each; 41-44 over them)
    OptInt escape2016_first{};                    // 33 (0; 45 over it)
    OptInt escape2016_second{};                   // 34 (2)
    OptInt escape2016_third{};                    // 35 (0; 46 over it)
    OptInt prop126{};                             // 36
    OptInt escape2020{}, escape2021{};              // 37, 38 (0, 0)
    OptInt prop131{}, prop132{};                    // 39, 40 (0, 1)
    std::array<OptInt, 4> escape2015_more_over{}; // 41-44
    OptInt escape2016_first_over{};               // 45
    OptInt escape2016_third_over{};               // 46
};
int gmCreateValueArray(int parent, int x, int y, int width, int height, int columns, int rows,
                       const ArrayOptions& o = {});
int gmCreateTextArray(int parent, int x, int y, int width, int height, int columns, int rows,
                      const ArrayOptions& o = {});

struct TTYEntryOptions {
    OptText prompt{};                             // 8
    OptInt text_type_option{};                    // 9 (0)
    OptInt colour1{}, colour2{}, colour3{};           // 10-12 (0)
    OptInt xjust{}, yjust{}, expansion{};             // 13-15
    OptText help{};                               // 16
    OptInt help_mode{};                           // 17
    OptInt prop98{}, prop98_second{};               // 18, 19
    OptInt callback{}, select_callback{}, dragdrop_callback{};  // 20-22
    OptInt escape75_second{};                     // 23 (1)
    OptInt status{}, prop126{}, prop129{};            // 24-26
};
int gmCreateTTYEntry(int parent, int x, int y, int width, int height, int value, std::string_view text,
                     const TTYEntryOptions& o = {});

struct TreeViewBoxOptions {
    OptInt tree_type{}, tree_type_alt{};            // 6 (over 7), 7 (0)
    OptInt xjust{}, yjust{}, expansion{};             // 8-10
    OptInt status{};                              // 11
};
int gmCreateTreeViewBox(int parent, int x, int y, int width, int height, const TreeViewBoxOptions& o = {});

struct TreeEntryOptions {
    OptInt callback{}, select_callback{}, dragdrop_callback{}, change_callback{};  // 4-7
    OptInt place1{}, place2{}, place3{};              // 8-10 (-1 each)
    OptInt doubleclick_callback{};                // 11
};
// level: 1 is sent as 0, -2 as 1, others unchanged.
int gmCreateTreeEntry(int tree, int level, std::string_view text, const TreeEntryOptions& o = {});

int gmCreateToolBarSeparator(int toolbar, OptInt prop42 = {});

struct ToolBarButtonOptions {
    OptInt icon_type{};                           // 4 (over 16; 0; 7 -> 0)
    OptText help{};                               // 5
    OptInt help_mode{};                           // 6
    OptInt prop98{}, prop98_second{};               // 7, 8
    OptInt callback{}, select_callback{}, move_callback{};  // 9-11
    OptInt status_flag{};                         // 12: 1 sets status 3
    OptInt dragselect_callback{}, dragmove_callback{}, dragdrop_callback{};  // 13-15
    OptInt icon_type_alt{};                       // 16
    OptInt status{}, prop126{};                     // 17, 18
    OptInt prop131{};                             // 19 (1)
};
int gmCreateToolBarButton(int toolbar, int value, std::string_view text, const ToolBarButtonOptions& o = {});

struct ToolBarOptions {
    OptText title{};                              // 4 (the window's own text)
    OptInt title_type{};                          // 5 (0)
    OptInt callback{}, dragdrop_callback{};         // 6, 7
    OptInt remove_mode{};                         // 8 (0)
};
// place: -1 is sent as 1, 2 and 3 unchanged, any other 0.
int gmCreateToolBar(int window, int place, int value, const ToolBarOptions& o = {});

struct TextRulerOptions {
    OptInt xjust{}, yjust{}, expansion{};             // 6-8
    OptText help{};                               // 9
    OptInt help_mode{};                           // 10
    OptInt prop98{}, prop98_second{};               // 11, 12
    OptInt select_callback{}, callback{}, move_callback{}, change_callback{};  // 13-16
    OptInt escape360_fourth{};                    // 17 (0)
    OptInt prop126{};                             // 18
    OptInt prop131{};                             // 19 (1)
};
int GMCREATETEXTRULER(int parent, int x, int y, int width, int height, const TextRulerOptions& o = {});

struct TableBoxOptions {
    OptInt xjust{}, yjust{}, expansion{};             // 6-8
    OptInt callback{}, dragdrop_callback{};         // 9, 10
    OptInt status{};                              // 11
    OptInt doubleclick_callback{};                // 12
};
int gmCreateTableBox(int parent, int x, int y, int width, int height, const TableBoxOptions& o = {});

struct SpinnerOptions {
    OptInt first{};                               // 6 (1)
    OptInt mode{};                                // 7 (32764 -> 1, anything else 0)
    OptInt third{}, fourth{};                       // 8, 9 (0, 0)
    OptInt xjust{}, yjust{}, expansion{};             // 10-12
    OptInt callback{};                            // 13
};
int GMCREATESPINNER(int parent, int x, int y, int width, int height, const SpinnerOptions& o = {});

struct SliderOptions {
    OptInt slider_type{};                         // 10 (over 19; 0; 32764 -> 0, 32763 -> 1)
    OptInt slider_size{};                         // 11 (100)
    OptInt colour3{}, colour3_alt{};                // 12 (over 13), 13 (0)
    OptInt xjust{}, yjust{}, expansion{};             // 14-16
    OptInt callback{}, dragdrop_callback{};         // 17, 18
    OptInt slider_type_alt{};                     // 19
    OptInt status{};                              // 20
};
int gmCreateSlider(int parent, int x, int y, int width, int height, float minimum, float maximum, float increment,
                   float value, const SliderOptions& o = {});

struct PropertyListOptions {
    OptInt list_size{};                           // 6 (100)
    OptInt prop92{}, prop43{};                      // 7, 8
    OptText image{};                              // 9 (one blank)
    OptInt xjust{}, yjust{}, expansion{};             // 10-12
    OptInt dragdrop_callback{}, change_callback{}, select_callback{}, callback{};  // 13-16
    OptText help{};                               // 17
    OptInt help_mode{};                           // 18
    OptInt prop98{}, prop98_second{};               // 19, 20
    OptInt status{}, prop126{};                     // 21, 22
};
int GMCREATEPROPERTYLIST(int parent, int x, int y, int width, int height, const PropertyListOptions& o = {});

struct ProgressBarOptions {
    OptInt bar_type{};                            // 6 (0; 32745 -> 1)
    OptInt maximum{}, minimum{};                    // 7, 8 (100, 0)
    OptInt value{};                               // 9
    OptInt xjust{}, yjust{}, expansion{};             // 10-12
    OptInt dragdrop_callback{};                   // 13
    OptInt status{};                              // 14
};
int gmCreateProgressBar(int parent, int x, int y, int width, int height, const ProgressBarOptions& o = {});

struct PanelOptions {
    OptInt panel_type{};                          // 6 (over 26; 5 in GUI style 1, else 0)
    OptText title{}, image{};                       // 7, 8
    OptInt image_kind{};                          // 9 (0)
    OptInt colour1{}, colour2{}, colour3{}, colour4{};  // 10-13 (0, 1, 0, 0)
    OptInt xjust{}, yjust{}, expansion{};             // 14-16
    OptInt scroll_mode{};                         // 17 (-1; 32763 -> 1, 32764 -> 2)
    OptText help{};                               // 18
    OptInt help_mode{};                           // 19
    OptInt prop98{}, prop98_second{};               // 20, 21
    OptInt callback{}, select_callback{}, move_callback{}, dragdrop_callback{};  // 22-25
    OptInt panel_type_alt{};                      // 26
    OptInt doubleclick_callback{}, filedrop_callback{};  // 27, 28
    OptInt prop99{}, prop111{}, prop100{};            // 29-31
    OptInt status{}, prop126{};                     // 32, 33
    OptInt prop131{};                             // 34 (1)
    OptInt prop111_second{};                      // 35
};
int gmCreatePanel(int parent, int x, int y, int width, int height, const PanelOptions& o = {});
// The entry without the image kind (always 0).
int gmCreatePanel_2(int parent, int x, int y, int width, int height, const PanelOptions& o = {});

struct GaugeOptions {
    OptInt gauge_type{};                          // 7 (0)
    OptInt type_value1{}, type_value2{};            // 8, 9 (10, 10)
    OptInt maximum{}, minimum{}, initial{};           // 10-12 (100, 0, 0)
    OptInt xjust{}, yjust{}, expansion{};             // 13-15
    OptText help{};                               // 16
    OptInt help_mode{};                           // 17
    OptInt prop98{}, prop98_second{};               // 18, 19
    OptInt select_callback{}, callback{}, move_callback{}, dragdrop_callback{};  // 20-23
    OptInt status{}, prop126{};                     // 24, 25
    OptInt prop131{};                             // 26 (1)
};
int gmCreateGauge(int parent, int x, int y, int width, int height, std::string_view image,
                  const GaugeOptions& o = {});

struct DockingPaneOptions {
    OptText title{};                              // 7 (the window's own text)
    OptInt title_type{}, remove_mode{};             // 8, 9 (0, 0)
    OptInt callback{}, dragdrop_callback{};         // 10, 11
};
// side: 1 is sent as 0, -1 as 1, 2 and 3 unchanged, any other 4.
int GMCREATEDOCKINGPANE(int window, int side, int v1, int v2, int v3, int v4, const DockingPaneOptions& o = {});

struct ComboBoxOptions {
    OptInt combo_option{};                        // 8 (0)
    OptInt xjust{}, yjust{}, expansion{};             // 9-11
    OptInt callback{}, select_callback{}, dragdrop_callback{};  // 12-14
    OptText help{};                               // 15
    OptInt help_mode{};                           // 16
    OptInt prop98{}, prop98_second{};               // 17, 18
    OptInt escape110_first{}, escape110_second{};   // 19, 20 (0, 0)
    OptInt status{}, prop126{};                     // 21, 22
    OptInt prop131{};                             // 23 (1)
};
int gmCreateComboBox(int parent, int x, int y, int width, int height, int combo_kind, int mode,
                     const ComboBoxOptions& o = {});

struct CalendarOptions {
    OptInt xjust{}, yjust{}, expansion{};             // 6-8
    OptInt callback{};                            // 9
};
int GMCREATECALENDAR(int parent, int x, int y, int width, int height, const CalendarOptions& o = {});

// Codes recoded before registration (values a table does not name pass unchanged unless the
// procedure gives a default for them).
int tree_level_code(int level);
int toolbar_place_code(int place);
int docking_side_code(int side);
int slider_type_code(int type);
int progress_bar_type(int type);
int spinner_mode(OptInt mode);
int array_scroll_mode(OptInt mode);
int panel_scroll_mode(OptInt mode);
