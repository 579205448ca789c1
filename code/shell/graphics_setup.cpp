// The whole user interface, built once at start-up: the master window with its plot frame,
// status bar, logo, controls, file-information line and menu bar, then the fourteen dialogs,
// hidden. Every widget that a routine addresses again is stored in IWID at the slot its table
// row names; the widgets live until the toolkit is closed at the program's end.
//
// END_GRAPHICS returns the main window to its idle look when a fit mode ends.
#include <string>

#include "gui_toolkit/f77gui.h"
#include "gui_toolkit/frames.h"
#include "gui_toolkit/menu_f90.h"
#include "gui_toolkit/minigino.h"
#include "include/shared.h"
#include "include/shell_services.h"
#include "include/toolkit_services.h"
#include "platform/wingui.h"
#include "runtime/format.h"
#include "shell/window_tables.h"

namespace {

OptInt passed(int v) { return v == ui::NOT_PASSED ? OptInt{} : OptInt{v}; }
OptInt callback_of(const ui::WidgetDef& d) { return d.callback ? OptInt{d.callback} : OptInt{}; }

// Creates one widget of a table row on window (or on the radio box its row names) and keeps
// its id in the row's slot.
void create_widget(const ui::WidgetDef& d, int window) {
    const int parent = d.parent.kept() ? GRAPHICS.IWID(d.parent.group, d.parent.item) : window;
    int id = 0;
    switch (d.kind) {
    case ui::Kind::PushButton:
        id = gmCreatePushButton(parent, d.x, d.y, d.w, d.h, d.text, {.callback = callback_of(d)});
        break;
    case ui::Kind::TextEntry:
        id = gmCreateTextEntry(parent, d.x, d.y, d.w, d.h, d.text, d.limit, d.mode,
                               {.colour3 = passed(d.colour), .fourth = passed(d.fourth), .callback = callback_of(d)});
        break;
    case ui::Kind::ValueEntry:
        id = gmCreateValueEntry(parent, d.x, d.y, d.w, d.h, d.value, d.limit, d.decimals, d.mode,
                                {.callback = callback_of(d)});
        break;
    case ui::Kind::Toggle:
        id = gmCreateToggleButton(parent, d.x, d.y, d.w, d.h, d.text, d.state,
                                  {.toggle_type = passed(d.toggle_type), .callback = callback_of(d)});
        break;
    case ui::Kind::RadioBox:
        id = gmCreateRadioBox(parent, d.x, d.y, d.w, d.h);
        break;
    case ui::Kind::ListBox:
        id = gmCreateListBox(parent, d.x, d.y, d.w, d.h, 0, {.type3 = 0});
        break;
    }
    if (d.slot.kept()) GRAPHICS.IWID(d.slot.group, d.slot.item) = id;

    switch (d.after) {
    case ui::After::Nothing:
        break;
    case ui::After::Hide:
        gmSetWidgetStatus(id, STATUS_HIDDEN);
        break;
    case ui::After::GoFont:
        gmSetFontAttribs(id, {.a1 = 10});
        break;
    case ui::After::Crystals:
        for (std::string_view system : ui::crystal_systems()) gmSetListEntry(id, 0, {.text = system});
        break;
    }
}

void create_widgets(std::span<const ui::WidgetDef> rows, int window) {
    for (const ui::WidgetDef& d : rows) create_widget(d, window);
}

void create_menu_bar() {
    const int MBAR = gmCreateMenuBar(GRAPHICS.IMASTER);
    for (const ui::MenuDef& m : ui::menus())
        GRAPHICS.IWID(m.title_slot.group, m.title_slot.item) =
            gmCreateMenuEntry(MBAR, m.title, {.accelerator = m.accelerator ? OptInt{m.accelerator} : OptInt{}});
    for (const ui::MenuDef& m : ui::menus()) {
        const int menu = GMCREATEPULLDOWNMENU(GRAPHICS.IWID(m.title_slot.group, m.title_slot.item));
        GRAPHICS.IWID(m.pulldown_slot.group, m.pulldown_slot.item) = menu;
        for (const ui::MenuEntryDef& e : m.entries) {
            if (e.separator()) {
                gmCreateMenuSeparator(menu);
                continue;
            }
            GRAPHICS.IWID(e.slot.group, e.slot.item) = gmCreateMenuEntry(menu, e.text, {.callback = e.callback});
        }
    }
    for (const ui::MenuDef& m : ui::menus())
        for (const ui::MenuEntryDef& e : m.entries)
            if (e.greyed) gmSetWidgetStatus(GRAPHICS.IWID(e.slot.group, e.slot.item), STATUS_GREYED);
}

void create_dialog(const ui::DialogDef& dlg) {
    std::string title;
    switch (dlg.title_form) {
    case ui::Title::Own: title = dlg.title; break;
    case ui::Title::ProgramPrefix: title = PROGID.PROG_TITLE.str() + std::string(dlg.title); break;
    case ui::Title::Program: title = PROGID.PROG_TITLE.view(); break;
    }
    const int id = gmCreateComplexDialogueBox(GRAPHICS.IMASTER, dlg.x, dlg.y, dlg.w, dlg.h, 1, title);
    GRAPHICS.IWID(dlg.slot.group, dlg.slot.item) = id;
    create_widgets(dlg.widgets, id);
}

}  // namespace

void GRAPHICS_SETUP() {
    // The program title: "Kelvorantide v" and the version, four characters with two decimals.
    PROGID.PROG_TITLE = "Kelvorantide v" + rt::fmt_write("(F4.2)", PROGID.VERSION);

    gOpenGino();
    GGUIWIN();
    gmInitializeMenu();
    gmDefineGuiGrid(32, 24);
    // The widget library learns the program's handle table and built-in images.
    REGHANDLETABLE(GRAPHICS.IWID.data(), GRAPHICS.IWID.rows(), GRAPHICS.IWID.cols());
    for (std::string_view image : {"#101", "#102"}) REGIMAGE(image, ui::program_image(image));

    GRAPHICS.IMASTER =
        gmCreateMasterWindow(5, 5, 20, 19, 11, PROGID.PROG_TITLE.view(), {.icon1 = 4, .icon_name = "#101"});

    // The plot frame: world x 0 to 300, y 0 to 200; mouse actions in it deliver 200.
    GRAPHICS.IFRAME = gmCreateGraphicsFrame(GRAPHICS.IMASTER, 1, 4, 18, 12, {0.0f, 300.0f, 0.0f, 200.0f},
                                            {.callback = 200});
    PLOTFRAME.YBASE = 20.0f;
    PLOTFRAME.XMAX = 300.0f;
    PLOTFRAME.YMAX = 200.0f;

    const std::string status_text = std::string(PROGID.PROG_TITLE.view()) + std::string(ui::OWNERSHIP_NOTICE);
    gmCreateStatusBar(GRAPHICS.IMASTER, {.second_text = status_text});

    GRAPHICS.IWID(1, 99) = gmCreateIcon(GRAPHICS.IMASTER, 0, 0, 2, 2, "#102", 4, 0, {.icon_type = 1});

    create_widgets(ui::main_controls(), GRAPHICS.IMASTER);
    GRAPHICS.NWIDMAIN = 20;
    for (int k = 2; k <= GRAPHICS.NWIDMAIN; ++k) gmSetWidgetStatus(GRAPHICS.IWID(1, k), STATUS_HIDDEN);

    create_widgets(ui::file_line(), GRAPHICS.IMASTER);
    create_menu_bar();
    for (const ui::DialogDef& dlg : ui::dialogs()) create_dialog(dlg);

    gmManage();
}

void END_GRAPHICS() {
    FRACLE(GRAPHICS.IFRAME);
    gmRemoveWindow(GRAPHICS.IWID(4, 20));
    for (int k = 2; k <= GRAPHICS.NWIDMAIN; ++k) gmSetWidgetStatus(GRAPHICS.IWID(1, k), STATUS_HIDDEN);
    for (int k = 1; k <= 4; ++k) gmSetWidgetStatus(GRAPHICS.IWID(3, k), STATUS_ACTIVE);
    gmDrawWindow(GRAPHICS.IMASTER);
}
