// Window operations and the attributes every widget has: showing, removing, raising, lowering
// and freezing windows, the window icon, widget status, help, redrawing, the cursor, widget
// information, and the registrations made before a creation (title, placement, size).
#include <algorithm>
#include <cstring>

#include "gui_toolkit/f77gui.h"
#include "gui_toolkit/widget_frame.h"
#include "gui_toolkit/minigino.h"
#include "platform/graphics_model.h"
#include "platform/model.h"
#include "platform/wingui.h"

namespace {

using wf::calls::begin;
using wf::calls::end;
using wf::calls::kind_in;
using wf::calls::abs_id;

// A status number of the library: n > 0 is toolkit error n, a negative one the abort box.
void library_status(int status) {
    if (status > 0)
        GMERR(status, 0);
    else if (status < 0)
        GMABORT();
}

// Master check (error 1) and a positive widget number (error 26).
bool widget_checks(int widget) { return wf::master_and_number(widget); }

// Checks of raising and lowering a window: master (error 1), a window, dialogue or panel
// of either sign of its number (error 25).
bool stacking_checks(int window) {
    if (gm_no_master()) {
        GMERR(1, 0);
        return false;
    }
    if (!kind_in(IGETWIDGETTYPE(abs_id(window)), {0, 1, 2, 15})) {
        GMERR(25, 0);
        return false;
    }
    return true;
}

// The checks shared by most window operations: master, positive number, window kind.
bool window_checks(int window, std::initializer_list<int> kinds) {
    if (!widget_checks(window)) return false;
    if (!kind_in(IGETWIDGETTYPE(window), kinds)) {
        GMERR(25, 0);
        return false;
    }
    return true;
}

}  // namespace

void WTYENQ(int& style) {
    begin("gmEnqGuiStyle");
    GETWINVER(style);
    end();
}

void WINTYP(int style) {
    begin("gmSetGuiStyle");
    if (style < 0 || style > 3) GMERR(33, 0);  // the style is validated, not stored
    end();
}

void WINTOP(int window) {
    begin("gmPopWindow");
    if (stacking_checks(window)) WINDOWPOP(window);
    end();
}

void WINBOT(int window) {
    begin("gmPushWindow");
    if (stacking_checks(window)) WINDOWPUSH(window);
    end();
}

void WINREM(int window) {
    begin("gmRemoveWindow");
    if (window_checks(window, {0, 1, 2})) WINDOWREMOVE(window);
    end();
}


void WINFIX(int window, int a, int b) {
    if (window_checks(window, {0, 1, 2})) WINDOWFREEZE(window, a, b);
}

void WINDRA(int window) {
    begin("gmDrawWindow");
    if (window_checks(window, {0, 1, 2, 4, 34})) {
        const int kind = IGETWIDGETTYPE(window);
        const int mode = kind == 1 ? 1 : (kind == 4 || kind == 34) ? 2 : 0;
        WINDOWDRAW(mode, window);
    }
    end();
}

void WINICO(int window, std::string_view icon, int a, int b) {
    begin("gmSetWindowIcon");
    if (window_checks(window, {0, 1, 2})) {
        const int flag = IGETWIDGETTYPE(window) == 1 ? 1 : 0;
        int status = 0;
        WINDOWICON(window, icon, a, b, flag, status);
        library_status(status);
    }
    end();
}

void WIDTTL(int title_type) {
    if (title_type > 1 || title_type < -31) GMERR(35, 0);
    REGTITLETYPE(title_type);  // registered also after the error
}

void WIDSTR(std::string_view text) {
    const int len = int(std::min<std::size_t>(text.size(), 255));
    REGTITLESTRING(text, len);
}

void REMMOD(int mode) {
    if (mode < 0 || mode > 2)
        GMERR(59, 0);
    else
        SETREMOVEMODE(mode);
}

void WIDSTA(int widget, int status) {
    begin("gmSetWidgetStatus");
    if (gm_no_master()) {
        GMERR(1, 0);
    } else {
        int lib = 0;
        WIDGETSTATUS(widget, status, lib);
        library_status(lib);
    }
    end();
}

void WIDREM(int widget) {
    begin("gmEraseWidget");
    if (IGETWIDGETTYPE(widget) == wl::KIND_FRAME3D) {
        int render = 0;
        GETRENDER(widget, render);
        WOGLD3(render);
    }
    REMOVEWINDOW(widget);
    end();
}

void WIDPOS(int code, int expansion) {
    REGPOSITION(code, expansion);
    POSITION_MODE(1) = code;
    POSITION_MODE(2) = expansion;
}

void WIDMIN(int width, int height) { REGMINIMUM(width, height); }

void WIDMAX(int width, int height) { REGMAXIMUM(width, height); }

void WIDINF(int widget, char* text, int text_len, int* a1, int& n1, int* a2, int& n2) {
    begin("gmEnqWidgetInfo");
    if (gm_no_master()) {
        GMERR(1, 0);
    } else if (widget < 1) {
        GMERR(26, 0);
    } else {
        char buffer[256];
        GETWIDGETINFO(widget, buffer, a1, n1, a2, n2, 256);
        const int len = std::max(text_len, 0);
        const int n = std::min(len, 256);
        if (text) {
            std::memcpy(text, buffer, std::size_t(n));
            if (len > n) std::memset(text + n, ' ', std::size_t(len - n));
        }
    }
    end();
}

void WIDHLP(int widget, int help_kind, std::string_view text) {
    begin("gmSetWidgetHelp");
    if (widget_checks(widget)) ADDWIDGETHELP(widget, help_kind, text, int(text.size()));
    end();
}

void WIDDRA(int widget) {
    begin("gmDrawWidget");
    if (widget_checks(widget)) REDRAWWIDGET(widget);
    end();
}

void WIDCUR(int frame, int cursor, int third, int, int) {
    begin("gmSetGuiCursor");
    const int kind = IGETWIDGETTYPE(frame);
    if (gm_no_master())
        GMERR(1, 0);
    else if (frame == -1)
        CURSORWAIT(third == -1 ? 1 : 0);
    else if (frame < -1)
        GMERR(26, 0);
    else if (kind_in(kind, {6, 15, 40}))
        SETGRAPHICSCURSOR(frame, cursor, third);
    else
        GMERR(31, 0);
    end();
}

void WIDCHA(int widget, std::string_view text, int* a1, int n1, int* a2, int n2) {
    begin("gmSetWidgetInfo");
    if (widget_checks(widget)) SETWIDGETINFO(widget, text, a1, n1, a2, n2, int(text.size()));
    end();
}
