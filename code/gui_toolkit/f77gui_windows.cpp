// The life of the toolkit and its windows: start-up, the layout grid, the master window and
// dialogue boxes, showing, activating and removing windows, the message and help boxes, the
// file browser and the end of the toolkit.
#include <cstdlib>
#include <string>

#include "gui_toolkit/f77gui.h"
#include "gui_toolkit/widget_frame.h"
#include "gui_toolkit/f77gui_widgets.h"
#include "gui_toolkit/frames.h"
#include "gui_toolkit/minigino.h"
#include "include/toolkit_services.h"
#include "platform/model.h"
#include "platform/wingui.h"

namespace {

using wf::calls::begin;
using wf::calls::end;
using wf::calls::kind_in;
using wf::calls::abs_id;

}  // namespace

// ---- start-up and the grid ----

void gmInitializeMenu() {
    begin("gmInitializeMenu");
    FRAME_LAYER.CURRENT_FRAME = 2;
    ACTION_STATE.ACTION_X = 0;
    ACTION_STATE.ACTION_Y = 0;
    FRAME_LAYER.FRAME_TYPE = 0;
    POSITION_MODE(1) = 0;
    POSITION_MODE(2) = 0;
    WININIT();
    DRAWTITLE();
    REGMINIMUM(0, 0);
    REGMAXIMUM(256, 256);
    REGTOGGLEATTR(0, 0, 1);
    REGTOGGLESIZE(100);
    REGTOGGLETYPE(0);
    REGBUTTONATTR(0, 0, 1);
    REGBUTTONSIZE(100);
    REGBUTTONTYPE(0);
    REGVALUEATTR(0, 0, 0, -1);
    REGVALUETYPE(0, 0);
    REGTEXTATTR(0, 0, 0, -1);
    REGTEXTTYPE(0, 0);
    REGSLIDERSIZE(100);
    REGPANELTYPE(1);
    REGICONTYPE(0);
    REGVALUESIZE(100);
    REGTEXTSIZE(100);
    REGICONSIZE(100);
    GF19VS(2, 1);
    const int s22 = GFSINQ(22), s23 = GFSINQ(23);
    registerconsole_(&s22, &s23);
    end();
}

void GUIGRD(int nx, int ny) {
    begin("gmDefineGuiGrid");
    int a = 0, b = 0, c = 0, d = 0;
    GETGRIDAREA(a, b, c, d);
    // Every cell must be at least 12 pixels wide and high; no grid of zero or fewer cells.
    if (nx < 1 || ny < 1 || (long long)a * c / nx < 12 || (long long)b * d / ny < 12)
        GMERR(45, 0);
    else
        SETGRIDAREA(nx, ny);
    end();
}

void gmDefineGuiGrid(int nx, int ny) { GUIGRD(nx, ny); }

// The menu overlay grid is retired: its body only reports so.
void MENGRD(int, int) {
    begin("MENGRD");
    GMERR(55, 0);
    end();
}

void GMMENUOVERLAYGRID(int a, int b) { MENGRD(a, b); }

void GRDENQ(int& a, int& b, int& c, int& d) { GETGRIDAREA(a, b, c, d); }
void gmEnqGuiGrid(int& a, int& b, int& c, int& d) { GRDENQ(a, b, c, d); }
void GRDMOD(int mode) { SETGRIDMODE(mode); }
void gmSetGuiGridMode(int mode) { GRDMOD(mode); }
void GRMENQ(int& mode) { GETGRIDMODE(mode); }
void gmEnqGuiGridMode(int& mode) { GRMENQ(mode); }

// ---- master window and dialogue boxes ----

namespace {

void master_body(std::string_view name, int x, int y, int& id, void (*open)(int, int)) {
    id = 0;
    begin(name);
    if (IGETNEXTIDENTIFIER() > 1) {
        GMERR(18, 0);
    } else {
        open(x, y);
        id = 1;
    }
    end();
}

void dialog_body(std::string_view name, int parent, int x, int y, int& id,
                 std::initializer_list<int> kinds, void (*open)(int, int, int, int&)) {
    id = 0;
    begin(name);
    if (gm_no_master())
        GMERR(1, 0);
    else if (parent <= 0)
        GMERR(26, 0);
    else if (parent != 1 && !kind_in(IGETWIDGETTYPE(parent), kinds))
        GMERR(7, 0);
    else
        open(parent, x, y, id);
    end();
}

}  // namespace

void MASTER(int x, int y, int& id) { master_body("gmCreateMasterWindow", x, y, id, OPENMASTER); }
void MASMDI(int x, int y, int& id) { master_body("gmCreateMDIMasterWindow", x, y, id, OPENMDIMASTER); }

void DIACMP(int parent, int x, int y, int& id) {
    dialog_body("gmCreateComplexDialogueBox", parent, x, y, id, {0, 2, 5, 7, 14}, OPENWINDOW);
}

void DIAMDI(int parent, int x, int y, int& id) {
    dialog_body("gmCreateMDIComplexDialogueBox", parent, x, y, id, {5, 7, 14}, OPENMDIWINDOW);
}

void BUIMOD(int mode) {
    if (mode == 0 || mode == 1)
        REGBUILDMODE(mode);
    else
        GMERR(59, 0);
}

void DRAMOD(int mode) {
    if (mode >= -1 && mode <= 4)
        SETDRAWMODE(mode);
    else
        GMERR(59, 0);
}

void MANAGE() {
    begin("gmManage");
    if (gm_no_master()) {
        GMERR(1, 0);
    } else {
        REMOVETITLE();
        WINDOWDRAW(0, 1);
        WINDOWDRAW(0, 1);
    }
    end();
}

void gmManage() { MANAGE(); }

// ---- drawing, activating and removing ----

void gmDrawWindow(int window) { WINDRA(window); }

void gmDrawWindowHold(int window, int hold) {
    if (hold == 0) {
        int o1 = 0, o2 = 0;
        char t[2] = {' ', ' '};
        ESCAPEROUTINE(72, 1, 0, 0, 0, 0, 0, o1, o2, t, 2);
        WINDRA(window);
        ESCAPEROUTINE(72, 0, 0, 0, 0, 0, 0, o1, o2, t, 2);
    } else {
        WINDRA(window);
    }
}

namespace {

void draw_widget(int widget, const int* hold) {
    int kind = -1;  // property 15 of a widget is its kind
    double unused = 0;
    char text[1] = {' '};
    PRPENQ(widget, 15, kind, unused, text, 1);
    if (kind == wl::KIND_MASTER || kind == wl::KIND_WINDOW || kind == wl::KIND_DIALOG) {
        if (hold)
            gmDrawWindowHold(widget, *hold);
        else
            gmDrawWindow(widget);
        return;
    }
    WIDDRA(widget);
    if (hold && *hold == 1 && !kind_in(kind, {3, 5, 12})) ACTWID(widget);
}

}  // namespace

void gmDrawWidget(int widget) { draw_widget(widget, nullptr); }
void gmDrawWidgetHold(int widget, int hold) { draw_widget(widget, &hold); }

void gmRemoveWindow(int window) { WINREM(window); }
void gmPushWindow(int window) { WINBOT(window); }
void gmPopWindow(int window) { WINTOP(window); }
void gmEraseWidget(int widget) { WIDREM(widget); }
void GMFIXWINDOW(int window, int a, int b) { WINFIX(window, a, b); }
void gmSetGuiStyle(int style) { WINTYP(style); }

void ACTWIN(int window) {
    begin("gmSetActiveWindow");
    if (gm_no_master())
        GMERR(1, 0);
    else if (window < 0)
        GMERR(26, 0);
    else if (window == 0 || window == 1)
        WINDOWACTION(1);
    else if (kind_in(IGETWIDGETTYPE(window), {0, 1, 2}))
        WINDOWACTION(window);
    else
        GMERR(25, 0);
    end();
}

void gmSetActiveWindow(int window) { ACTWIN(window); }

void ACTWID(int widget) {
    begin("gmSetActiveWidget");
    if (gm_no_master())
        GMERR(1, 0);
    else if (widget == 0)
        ACTIVATEWIDGET(1);
    else if (kind_in(IGETWIDGETTYPE(abs_id(widget)), {3, 4, 5, 12}))
        GMERR(47, 0);
    else
        ACTIVATEWIDGET(widget);
    end();
}

// ---- boxes ----

void GUIMSG(std::string_view title, std::string_view text, int icon, int buttons, int& answer) {
    begin("gmDisplayMessageBox");
    GENERALMESSAGE(icon, buttons, answer, title, text);
    end();
}

// The default-button flags pass unchanged: the library defines them.
static_assert(MB_DEFAULT_SECOND == wl::BOX_DEFAULT_2 && MB_DEFAULT_THIRD == wl::BOX_DEFAULT_3);

int gmDisplayMessageBox(std::string_view title, std::string_view message, int icon, int buttons) {
    int answer = 0;
    GUIMSG(title, message, icon, buttons, answer);
    return answer;
}

void GUIHLP(std::string_view help_file, int& result, std::string_view command, std::string_view topic) {
    begin("gmDisplayHelpWindow");
    DISPLAYHELP(help_file, result, command, topic);
    end();
}

int GMDISPLAYHELP(std::string_view help_file, std::string_view command, const std::string_view* topic,
                  const int*) {
    rt::FText<256> t(topic ? *topic : std::string_view(" "));
    int result = 0;
    GUIHLP(help_file, result, command, t.view());
    return result;
}

// ---- the file browser ----

void BROWSE(int mode, int, int, int, char* name, int name_len, std::string_view directory,
            std::string_view filter) {
    begin("gmFileBrowser");
    if (gm_no_master())
        GMERR(1, 0);
    else
        OPENBROWSE(mode >= 0 ? 0 : 1, name, name_len, directory, filter);
    end();
}

void BRSTYP(int type) { REGBROWSETYPE(type); }

void gmFileBrowser(char* name, int name_len, std::string_view directory, std::string_view filter,
                   const int* type, const std::string_view* title, const int* type2) {
    WIDSTR(title ? *title : std::string_view("File Browser"));
    BRSTYP(type ? *type : (type2 ? *type2 : 0));
    BROWSE(0, 0, 0, 0, name, name_len, directory, filter);
}

// ---- the end ----

void MENEND() {
    begin("gmCloseMenu");
    WINEXIT();
    end();
}

void gmCloseMenu() { MENEND(); }

void GUIEND() {
    begin("gmCloseMenu");
    GMERR(55, 0);
    MENEND();
}
