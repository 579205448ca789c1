// Plain routines for menus, list and combo boxes, icons, push buttons, widget links and images.
// A menu-bar title takes two ids: the library returns the id of the pulldown that hangs from the
// title, the title is the one below it, and the pulldown procedure on a title answers title + 1.
#include "gui_toolkit/f77gui_widgets.h"
#include "gui_toolkit/widget_frame.h"
#include "platform/graphics_model.h"
#include "platform/widget_extra.h"

using namespace wf;

namespace {
int plus_one(int v) { return v == 2147483647 ? v : v + 1; }
}  // namespace

void MENBAR(int window, int style, int, int& id) {
    Op op("gmCreateMenuBar");
    id = 0;
    if (!creation(window, wk::kMenuBarWindows, {.placement = false})) return;
    if (style != -1) return err(48);
    ADDMENUBAR(window, id);
}

void MENPOP(int parent, int p1, int p2, int& id) {
    Op op("gmCreatePopupMenu");
    id = 0;
    if (!creation(parent, wk::kPopupParents, {.placement = false})) return;
    int t = 0;
    GETTITLETYPE(t);
    const int kind = IGETWIDGETTYPE(parent);
    if (parent == 1) {
        if (t != 0)
            ADDMENUPOP(parent, p1, plus_one(p2), id);
        else
            ADDMENUFLOAT(parent, id);
    } else if (kind == 15) {
        ADDMENUPOP(parent, p1, p2, id);
    } else if (kind == wl::KIND_MENUTITLE && t == 0) {
        id = plus_one(parent);  // the pulldown the library made with the title
    } else if (kind == 5 && t == 0) {
        ADDMENUCASCADE(parent, id);
    } else {
        ADDMENUPOP(parent, p1, p2, id);
    }
}

void MENENT(int parent, std::string_view text, int accelerator, int& id) {
    Op op("gmCreateMenuEntry");
    id = 0;
    if (!creation(parent, wk::kMenuEntryParents, {.placement = false})) return;
    int n = int(rt::trim_right(text, {.nuls = false}).size());
    if (n < 1) n = 1;
    const int kind = IGETWIDGETTYPE(parent);
    int x = 0;
    if (kind == 1 || kind == 19 || kind == 22) {
        ADDMENUSTRING(parent, text, x, n);
        id = x;
        REGACCEL(id, accelerator);
    } else if (kind == 4 || kind == 34) {
        ADDMENUENTRY(parent, text, accelerator, x);
        id = x;
        REGACCEL(id, accelerator);
    } else if (kind == 3) {
        ADDMENUPULL(parent, text, accelerator, x);
        id = x - 1;  // the title; its pulldown is x
    }
    // kind 18: nothing is created
}

void MENSEP(int menu, int& id) {
    Op op("gmCreateMenuSeparator");
    id = 0;
    if (!master_and_number(menu)) return;
    const int kind = IGETWIDGETTYPE(menu);
    if (kind == 1)
        ADDMENUSEPARATOR(menu, 1, id);
    else if (kind == 4 || kind == 34)
        ADDMENUSEPARATOR(menu, 0, id);
    else
        err(7);
}

void MENSYS(int window, int& id) {
    Op op("gmEnqSystemMenu");
    id = 0;
    if (!creation(window, wk::kSystemMenuWindows, {.placement = false})) return;
    ADDSYSMENU(window, id);
}

void LISTYP(int a, int b, int c) { REGLISTBOXTYPE(a, b, c); }

void LISBOX(int parent, int x, int y, int list_kind, int& id) {
    Op op("gmCreateListBox");
    id = 0;
    if (!creation(parent, wk::kListBoxParents)) return;
    ADDLISTBOX(parent, x, y, list_kind, id);
}

void LISSET(int list, int index, std::string_view text, int action) {
    Op op("gmSetListEntry");
    if (!master()) return;
    LISTBOXSET(list, index, action, text, int(text.size()));
}

void LISSTA(int list, int& a, int& b, int& c) {
    Op op("gmEnqListStatus");
    if (!master()) return;
    LISTBOXSTATUS(list, a, b, c);
}

void LISENQ(int list, int index, char* text, int text_len, int& result) {
    Op op("gmEnqListEntry");
    if (!master_and_number(list)) return;
    if (IGETWIDGETTYPE(list) == 19 && index == 0) return err(58);
    LISTBOXENQUIRE(list, index, result, text, text_len);
}

void COMTYP(int a, int b) { REGCOMBOTYPE(a, b); }

void COMBO(int parent, int x, int y, int combo_kind, int& id) {
    Op op("gmCreateComboBox");
    id = 0;
    if (!creation(parent, wk::kComboParents, {.placement = false})) return;
    ADDCOMBOBOX(parent, x, y, combo_kind, id);
}

void ICOTYP(int type) {
    if (type < 0 || type > 7) return err(33);
    REGICONTYPE(type);
}

void ICOSIZ(int size) {
    if (size < 50 || size > 100) return err(34);
    REGICONSIZE(size);
}

void ICODEF(int parent, int x, int y, std::string_view name, int p, int q, int& id) {
    Op op("gmCreateIcon");
    id = 0;
    if (!creation(parent, wk::kIconParents)) return;
    ADDICON(parent, x, y, id);
    int status = 0;
    WINDOWICON(id, name, p, q, 2, status);
    if (status > 0)
        err(status);
    else if (status < 0)
        GMABORT();
    REDRAWWIDGET(id);
}

void BUTTYP(int type) {
    if (!((type >= 0 && type <= 3) || type > 98)) return err(33);
    REGBUTTONTYPE(type);
}

void BUTSIZ(int size) {
    if (size < 50 || size > 200) return err(34);
    REGBUTTONSIZE(size);
}

void BUTATR(int a, int b, int c) {
    if (a < 0 || b < 0 || c < 0) return err(34);
    REGBUTTONATTR(a, b, c);
}

void BUTTON(int parent, int x, int y, std::string_view text, int accelerator, int& id) {
    Op op("gmCreatePushButton");
    id = 0;
    if (!creation(parent, wk::kButtonParents)) return;
    if (!rt::trim_right(text, {.nuls = false}).empty()) {
        ADDBUTTON(parent, accelerator, text, x, y, id);
        REGACCEL(id, accelerator);
    } else {
        ADDBUTTON(parent, 0, " ", x, y, id);
    }
}

void LINKER(int widget, const int* values, const int* widgets, int count) {
    Op op("gmDefineWidgetLinks");
    if (!master_and_number(widget)) return;
    if (!wk::in(IGETWIDGETTYPE(widget), wk::kLinkable)) return err(56);
    for (int i = 0; i < count; ++i) {
        if (wk::in(IGETWIDGETTYPE(widgets[i]), wk::kLinkable))
            REGLINK(widget, values[i], widgets[i]);
        else
            err(56);
    }
}

void IMGDRA(int a, int b, int width, int height, const int* data) {
    Op op("gmDrawImage");
    IMAGEDRAWINIT(a, b, width, height, 2);
    IMAGEDRAWFASTDATA(data, 1);
    IMAGEDRAWEND(width, height);
}

void IMGDMP(int a, int b, int c, int d, int e) {
    Op op("gmDrawImage");
    IMAGEDRAWDUMPINIT(a, b, c, d);
    IMAGEDRAWDUMPEND(e, 1);
}

void GETRIM(int a, int b, int c, int* data) {
    Op op("gmGetResourceImageData");
    RESOURCEIMAGEDATA(a, b, c, data);
}

void RIMENQ(int a, int kind, int& a3, int& a4, int& a5, int& a6, int& a7) {
    Op op("gmEnqResourceImageInfo");
    RESOURCEIMAGEINFO(a, kind, a3, a4, a5, a6, a7);
}

void GETCUR(int a, int& cursor) {
    Op op("gmGetCursorResource");
    GETRESOURCECURSOR(a, cursor);
}
