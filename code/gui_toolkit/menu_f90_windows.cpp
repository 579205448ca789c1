// The widget module's creation procedures for windows, dialogue boxes, menus and the status
// bar. The window procedures register size, title (the title type negated), placement, draw
// and build or remove mode before the creation, then define callbacks and give the icon. Each
// window procedure keeps its own pair of icon values: a value the caller leaves out is the one
// an earlier successful call of the same procedure gave (0 at the start).
#include <string>

#include "gui_toolkit/f77gui.h"
#include "gui_toolkit/f77gui_widgets.h"
#include "gui_toolkit/menu_f90.h"
#include "gui_toolkit/menu_f90_rules.h"
#include "platform/model.h"

using namespace mf;

namespace {

struct IconPair {
    int first = 0, second = 0;
};
enum SavedIcons { MASTER_ICONS, DIALOG_ICONS, MDI_MASTER_ICONS, MDI_DIALOG_ICONS, POPUP_ICONS, N_ICONS };
IconPair saved_icons[N_ICONS];

struct ResetIcons {
    ResetIcons() {
        wl::add_reset_hook("widget_module_icons", [] {
            for (auto& p : saved_icons) p = IconPair{};
        });
    }
};
const ResetIcons reset_icons;

// After a successful creation: the given icon values replace the saved ones; with an icon name
// the window receives its icon with the saved pair.
void window_icon(int id, SavedIcons which, OptInt icon1, OptText name, OptInt icon2) {
    IconPair& p = saved_icons[which];
    if (icon1) p.first = *icon1;
    if (icon2) p.second = *icon2;
    if (name) WINICO(id, *name, p.first, p.second);
}

void max_size(OptInt w, OptInt h) {
    if (w && h)
        WIDMAX(*w, *h);
    else
        WIDMAX(0, 0);
}

void title(int title_type, std::string_view text) {
    WIDTTL(negated(title_type));
    WIDSTR(text);
}

// What a master window (plain or MDI) registers before its creation.
template <class Options>
void master_registrations(int width, int height, int title_type, std::string_view text, const Options& o) {
    BUIMOD(o.build_mode.value_or(1));
    WIDMIN(width, height);
    max_size(o.max_width, o.max_height);
    title(title_type, text);
    WIDPOS(justification_code(o.xjust, o.yjust), 0);
    DRAMOD(draw_mode(o.draw_mode));
}

}  // namespace

int gmCreateMasterWindow(int x, int y, int width, int height, int title_type, std::string_view text,
                         const MasterWindowOptions& o) {
    master_registrations(width, height, title_type, text, o);
    int id = 0;
    MASTER(x, y, id);
    if (id <= 0) return id;
    define_callbacks(id, {{CbKind::DragDrop, o.dragdrop_callback},
                          {CbKind::Select, o.select_callback},
                          {CbKind::Callback, o.callback}});
    window_icon(id, MASTER_ICONS, o.icon1, o.icon_name, o.icon2);
    return id;
}

int gmCreateComplexDialogueBox(int parent, int x, int y, int width, int height, int title_type,
                               std::string_view text, const DialogueBoxOptions& o) {
    title(title_type, text);
    WIDMIN(width, height);
    max_size(o.max_width, o.max_height);
    WIDPOS(justification_code(o.xjust, o.yjust), 0);
    DRAMOD(draw_mode(o.draw_mode));
    REMMOD(o.remove_mode.value_or(0));
    int id = 0;
    DIACMP(parent, x, y, id);
    if (id <= 0) return id;
    define_callbacks(id, {{CbKind::Select, o.select_callback},
                          {CbKind::Callback, o.callback},
                          {CbKind::DragDrop, o.dragdrop_callback}});
    window_icon(id, DIALOG_ICONS, o.icon1, o.icon_name, o.icon2);
    return id;
}

int gmCreateComplexDialogBox(int parent, int x, int y, int width, int height, int title_type, std::string_view text,
                             const DialogueBoxOptions& o) {
    return gmCreateComplexDialogueBox(parent, x, y, width, height, title_type, text, o);
}

int gmCreateDialogueBox(int parent, int x, int y, int width, int height, int title_type, std::string_view text,
                        const DialogueBoxOptions& o) {
    return gmCreateComplexDialogueBox(parent, x, y, width, height, title_type, text, o);
}

int gmCreateMenuBar(int window) {
    int id = 0;
    MENBAR(window, -1, -1, id);
    return id;
}

int GMCREATEPULLDOWNMENU(int menu_title) {
    WIDMIN(0, 0);
    WIDMAX(0, 0);
    WIDTTL(0);
    int id = 0;
    MENPOP(menu_title, 0, 0, id);
    return id;
}

int gmCreateMenuSeparator(int menu) {
    int id = 0;
    MENSEP(menu, id);
    return id;
}

int gmCreateMenuEntry(int parent, std::string_view text, const MenuEntryOptions& o) {
    int id = 0;
    MENENT(parent, text, o.accelerator.value_or(0), id);
    if (id <= 0) return id;
    define_callback(CbKind::Callback, o.callback, id);
    if (o.help) WIDHLP(id, 2, *o.help);
    if (o.status) WIDSTA(id, *o.status);
    char scratch[2] = {' ', ' '};
    int o1 = 0, o2 = 0;
    GUIESC(854, id, o.escape854_first.value_or(0), o.escape854_second.value_or(0),
           first_of(o.escape854_third, o.escape854_third_alt, 0), 0, 0, o1, o2, scratch, 2);
    return id;
}

int gmCreateStatusBar(int window, const StatusBarOptions& o) {
    int id = 0;
    STABAR(window, o.type.value_or(0), id);
    if (id <= 0) return id;
    if (o.pane1 && o.pane2) STAPAN(id, *o.pane1, *o.pane2);
    if (o.first_text) STATEX(id, 0, *o.first_text);
    if (o.second_text) STATEX(id, 0, *o.second_text);
    define_callback(CbKind::DragDrop, o.dragdrop_callback, id);
    return id;
}

int gmCreateMDIMasterWindow(int x, int y, int width, int height, int title_type, std::string_view text,
                            const MDIMasterWindowOptions& o) {
    master_registrations(width, height, title_type, text, o);
    int id = 0;
    MASMDI(x, y, id);
    if (id <= 0) return id;
    if (o.escape1300_text) {
        std::string t(*o.escape1300_text);
        int o1 = 0, o2 = 0;
        GUIESC(1300, id, o.escape1300_value.value_or(0), 0, 0, 0, 0, o1, o2, t.data(), int(t.size()));
    }
    define_callbacks(id, {{CbKind::FileDrop, o.filedrop_callback},
                          {CbKind::DragDrop, o.dragdrop_callback},
                          {CbKind::Select, o.select_callback},
                          {CbKind::Callback, o.callback}});
    window_icon(id, MDI_MASTER_ICONS, o.icon1, o.icon_name, o.icon2);
    return id;
}

int gmCreateMDIComplexDialogueBox(int parent, int x, int y, int width, int height, int title_type,
                                  std::string_view text, const MDIDialogueBoxOptions& o) {
    title(title_type, text);
    WIDMIN(width, height);
    max_size(o.max_width, o.max_height);
    DRAMOD(draw_mode(o.draw_mode));
    REMMOD(o.remove_mode.value_or(0));
    int id = 0;
    DIAMDI(parent, x, y, id);
    if (id <= 0) return id;
    define_callbacks(id, {{CbKind::DragDrop, o.dragdrop_callback},
                          {CbKind::Select, o.select_callback},
                          {CbKind::Callback, o.callback}});
    window_icon(id, MDI_DIALOG_ICONS, o.icon1, o.icon_name, o.icon2);
    return id;
}

int gmCreateMDIComplexDialogBox(int parent, int x, int y, int width, int height, int title_type,
                                std::string_view text, const MDIDialogueBoxOptions& o) {
    return gmCreateMDIComplexDialogueBox(parent, x, y, width, height, title_type, text, o);
}

int gmCreateMDIDialogueBox(int parent, int x, int y, int width, int height, int title_type, std::string_view text,
                           const MDIDialogueBoxOptions& o) {
    return gmCreateMDIComplexDialogueBox(parent, x, y, width, height, title_type, text, o);
}

int gmCreateTabDialogueBox(int parent, int x, int y, int width, int height, const TabDialogueBoxOptions& o) {
    WIDMIN(width, height);
    WIDMAX(width, height);
    WIDPOS(justification_code(o.xjust, o.yjust), o.expansion.value_or(0));
    int id = 0;
    PANMAS(parent, x, y, id);
    if (id <= 0) return id;
    define_callbacks(id, {{CbKind::DragDrop, o.dragdrop_callback},
                          {CbKind::Select, o.select_callback},
                          {CbKind::Callback, o.callback}});
    if (o.status) WIDSTA(id, *o.status);
    return id;
}

int gmCreateTabDialogBox(int parent, int x, int y, int width, int height, const TabDialogueBoxOptions& o) {
    return gmCreateTabDialogueBox(parent, x, y, width, height, o);
}

int gmCreateTabBox(int parent, int x, int y, int width, int height, const TabDialogueBoxOptions& o) {
    return gmCreateTabDialogueBox(parent, x, y, width, height, o);
}

int gmCreatePopupMenu(int parent, int popup1, int popup2, int title_type, std::string_view text,
                      const PopupMenuOptions& o) {
    WIDMIN(0, 0);
    max_size(o.max_width, o.max_height);
    title(title_type, text);
    WIDPOS(justification_code(o.xjust, o.yjust), 0);
    REMMOD(o.remove_mode.value_or(0));
    int id = 0;
    MENPOP(parent, popup1, popup2, id);
    if (id <= 0) return id;
    define_callbacks(id, {{CbKind::DragDrop, o.dragdrop_callback},
                          {CbKind::Callback, o.callback}});
    window_icon(id, POPUP_ICONS, o.icon1, o.icon_name, o.icon2);
    return id;
}
