// The widget module's creation procedures for the widget kinds the program itself does not
// create: video frames, value and text arrays, terminal entries, tree views and entries,
// toolbars with buttons and separators, text rulers, table boxes, spinners, sliders, property
// lists, progress bars, panels, gauges, docking panes, combo boxes and calendars. They follow
// the common creation sequence: registrations, the plain creation routine (or an escape that
// answers the new id), a refused creation returned at once, then callbacks, help, properties
// and status in the order each procedure gives.
#include <cstring>
#include <string>

#include "gui_toolkit/f77gui.h"
#include "gui_toolkit/f77gui_widgets.h"
#include "gui_toolkit/menu_f90.h"
#include "gui_toolkit/menu_f90_rules.h"

using namespace mf;

namespace {

void status_flag(int id, OptInt flag) {
    if (flag && *flag == 1) WIDSTA(id, 3);
}
void sizes(int width, int height) {
    WIDMIN(width, height);
    WIDMAX(width, height);
}
void place(OptInt xjust, OptInt yjust, OptInt expansion) {
    WIDPOS(justification_code(xjust, yjust), expansion.value_or(0));
}
// The fixed size of a new widget, then its placement.
template <class Options>
void size_and_place(int width, int height, const Options& o) {
    sizes(width, height);
    place(o.xjust, o.yjust, o.expansion);
}

// The title of a toolbar or docking pane: the caller's, else the window's own text.
void register_title(int window, OptText title) {
    if (title) return WIDSTR(*title);
    char own[256];
    std::array<int, 43> I{};
    std::array<int, 6> R{};
    int n1 = 43, n2 = 6;
    std::memset(own, ' ', sizeof own);
    WIDINF(window, own, 256, I.data(), n1, R.data(), n2);
    WIDSTR(std::string_view(own, 256));
}

constexpr Recoding kTreeLevels[] = {{1, 0}, {-2, 1}};
constexpr Recoding kToolbarPlaces[] = {{-1, 1}, {2, 2}, {3, 3}};
constexpr Recoding kDockingSides[] = {{1, 0}, {-1, 1}, {2, 2}, {3, 3}};
constexpr Recoding kSliderTypes[] = {{32764, 0}, {32763, 1}};
constexpr Recoding kProgressTypes[] = {{32745, 1}};
constexpr Recoding kSpinnerModes[] = {{32764, 1}};

int array_create(bool values, int parent, int x, int y, int width, int height, int columns, int rows,
                 const ArrayOptions& o) {
    ARRATR(o.attribute1.value_or(-1), o.attribute2.value_or(-1), o.attribute3.value_or(0), o.attribute4.value_or(0),
           o.label1.value_or(" "), o.label2.value_or(" "));
    int e2015[4];
    for (int k = 0; k < 4; ++k) e2015[k] = first_of(o.escape2015_more_over[std::size_t(k)], o.escape2015_more[std::size_t(k)], 0);
    esc(2015, o.escape2015_first.value_or(4), e2015[0], e2015[1], e2015[2], e2015[3]);
    esc(2016, first_of(o.escape2016_first_over, o.escape2016_first, 0), o.escape2016_second.value_or(2),
        first_of(o.escape2016_third_over, o.escape2016_third, 0));
    esc(2020, o.escape2020.value_or(0));
    esc(2021, o.escape2021.value_or(0));
    WIDMIN(width, height);
    place(o.xjust, o.yjust, o.expansion);
    int id = 0;
    if (values)
        VALARR(parent, x, y, columns, rows, id);
    else
        TEXARR(parent, x, y, columns, rows, id);
    if (id <= 0) return id;
    SCRMOD(id, array_scroll_mode(o.scroll_mode));
    define_callbacks(id, {{CbKind::DoubleClick, o.doubleclick_callback},
                          {CbKind::DragDrop, o.dragdrop_callback},
                          {CbKind::Change, o.change_callback},
                          {CbKind::Select, o.select_callback},
                          {CbKind::Callback, o.callback}});
    help_and_props(id, o);
    status(id, o.status);
    PRPSET(id, 131, o.prop131.value_or(0), 0.0, " ");
    PRPSET(id, 132, o.prop132.value_or(1), 0.0, " ");
    return id;
}

int panel_create(int parent, int x, int y, int width, int height, const PanelOptions& o, int image_kind) {
    int style = 0;
    WTYENQ(style);
    sizes(width, height);
    PANTYP(first_of(o.panel_type, o.panel_type_alt, style == 1 ? 5 : 0));
    PANATR(o.colour1.value_or(0), o.colour2.value_or(1), o.colour3.value_or(0), o.colour4.value_or(0));
    if (o.title) {
        WIDTTL(1);
        WIDSTR(*o.title);
    } else {
        WIDTTL(0);
    }
    place(o.xjust, o.yjust, o.expansion);
    SCRMOD(0, panel_scroll_mode(o.scroll_mode));
    int id = 0;
    PANEL(parent, x, y, id);
    SCRMOD(0, 0);  // the scroll mode must not carry over to a later panel
    if (id <= 0) return id;
    if (o.image) PANIMG(id, image_kind, *o.image);
    define_callbacks(id, {{CbKind::FileDrop, o.filedrop_callback},
                          {CbKind::DoubleClick, o.doubleclick_callback},
                          {CbKind::DragDrop, o.dragdrop_callback},
                          {CbKind::Move, o.move_callback},
                          {CbKind::Select, o.select_callback},
                          {CbKind::Callback, o.callback}});
    help_and_props(id, o);
    prop(id, 99, o.prop99);
    prop(id, 111, o.prop111);
    prop(id, 111, o.prop111_second);
    prop(id, 100, o.prop100);
    status(id, o.status);
    PRPSET(id, 131, o.prop131.value_or(1), 0.0, " ");
    return id;
}

}  // namespace

int tree_level_code(int level) { return recode(kTreeLevels, level); }
int toolbar_place_code(int place) { return recode(kToolbarPlaces, place, 0); }
int docking_side_code(int side) { return recode(kDockingSides, side, 4); }
int slider_type_code(int type) { return recode(kSliderTypes, type); }
int progress_bar_type(int type) { return recode(kProgressTypes, type); }
int spinner_mode(OptInt mode) { return mode ? recode(kSpinnerModes, *mode, 0) : 0; }
int array_scroll_mode(OptInt mode) { return mode ? recode(kScrollModes, *mode) : 0; }
int panel_scroll_mode(OptInt mode) { return mode ? recode(kScrollModes, *mode) : -1; }

int gmCreateVideoFrame(int parent, int x, int y, int width, int height, int video, const VideoFrameOptions& o) {
    size_and_place(width, height, o);
    int id = 0;
    VIDCAP(parent, x, y, video, id);
    if (id <= 0) return id;
    define_callbacks(id, {{CbKind::DragDrop, o.dragdrop_callback}, {CbKind::Callback, o.callback}});
    status(id, o.status);
    return id;
}

int gmCreateValueArray(int parent, int x, int y, int width, int height, int columns, int rows, const ArrayOptions& o) {
    return array_create(true, parent, x, y, width, height, columns, rows, o);
}

int gmCreateTextArray(int parent, int x, int y, int width, int height, int columns, int rows, const ArrayOptions& o) {
    return array_create(false, parent, x, y, width, height, columns, rows, o);
}

int gmCreateTTYEntry(int parent, int x, int y, int width, int height, int value, std::string_view text,
                     const TTYEntryOptions& o) {
    esc(75, 0, o.escape75_second.value_or(1));
    sizes(width, height);
    TEXATR(o.colour1.value_or(0), o.colour2.value_or(0), o.colour3.value_or(0), -1);
    TEXTYP(0, o.text_type_option.value_or(0));
    place(o.xjust, o.yjust, o.expansion);
    int id = 0;
    TTYENT(parent, x, y, value, text, id);
    if (id <= 0) return id;
    if (o.prompt) TTYPRO(id, *o.prompt);
    define_callbacks(id, {{CbKind::DragDrop, o.dragdrop_callback},
                          {CbKind::Select, o.select_callback},
                          {CbKind::Callback, o.callback}});
    help_and_props(id, o, text);
    prop(id, 129, o.prop129, text);
    status(id, o.status);
    return id;
}

int gmCreateTreeViewBox(int parent, int x, int y, int width, int height, const TreeViewBoxOptions& o) {
    size_and_place(width, height, o);
    int id = 0;
    TREBOX(parent, x, y, first_of(o.tree_type, o.tree_type_alt, 0), id);
    if (id <= 0) return id;
    status(id, o.status);
    return id;
}

int gmCreateTreeEntry(int tree, int level, std::string_view text, const TreeEntryOptions& o) {
    const int code = tree_level_code(level);
    int id = 0;
    if (!o.place1 && !o.place2 && !o.place3)
        TREENT(tree, code, text, id);
    else
        id = esc_text(880, text, tree, code, o.place1.value_or(-1), o.place3.value_or(-1), o.place2.value_or(-1), 0);
    if (id <= 0) return id;
    define_callbacks(id, {{CbKind::DoubleClick, o.doubleclick_callback},
                          {CbKind::DragDrop, o.dragdrop_callback},
                          {CbKind::Select, o.select_callback},
                          {CbKind::Callback, o.callback},
                          {CbKind::Change, o.change_callback}});
    return id;
}

int gmCreateToolBarSeparator(int toolbar, OptInt prop42) {
    int id = 0;
    TOLSEP(toolbar, id);
    if (id <= 0) return id;
    prop(id, 42, prop42);
    return id;
}

int gmCreateToolBarButton(int toolbar, int value, std::string_view text, const ToolBarButtonOptions& o) {
    ICOTYP(icon_type(first_of(o.icon_type, o.icon_type_alt, 0)));
    int id = 0;
    TOLBUT(toolbar, value, text, id);
    if (id <= 0) return id;
    define_callbacks(id, {{CbKind::DragMove, o.dragmove_callback},
                          {CbKind::DragSelect, o.dragselect_callback},
                          {CbKind::DragDrop, o.dragdrop_callback},
                          {CbKind::Move, o.move_callback},
                          {CbKind::Select, o.select_callback},
                          {CbKind::Callback, o.callback}});
    status_flag(id, o.status_flag);
    help_and_props(id, o, text);
    status(id, o.status);
    PRPSET(id, 131, o.prop131.value_or(1), 0.0, " ");
    return id;
}

int gmCreateToolBar(int window, int place_code, int value, const ToolBarOptions& o) {
    const int code = toolbar_place_code(place_code);
    WIDTTL(negated(o.title_type.value_or(0)));
    REMMOD(o.remove_mode.value_or(0));
    register_title(window, o.title);
    int id = 0;
    TOLBAR(window, code, value, id);
    if (id <= 0) return id;
    define_callbacks(id, {{CbKind::DragDrop, o.dragdrop_callback}, {CbKind::Callback, o.callback}});
    return id;
}

int GMCREATETEXTRULER(int parent, int x, int y, int width, int height, const TextRulerOptions& o) {
    size_and_place(width, height, o);
    const int id = esc(360, parent, x, y, o.escape360_fourth.value_or(0));
    if (id <= 0) return id;
    define_callbacks(id, {{CbKind::Move, o.move_callback},
                          {CbKind::Select, o.select_callback},
                          {CbKind::Callback, o.callback},
                          {CbKind::Change, o.change_callback}});
    help_and_props(id, o);
    PRPSET(id, 131, o.prop131.value_or(1), 0.0, " ");
    return id;
}

int gmCreateTableBox(int parent, int x, int y, int width, int height, const TableBoxOptions& o) {
    size_and_place(width, height, o);
    int id = 0;
    TABBOX(parent, x, y, id);
    if (id <= 0) return id;
    define_callbacks(id, {{CbKind::DoubleClick, o.doubleclick_callback},
                          {CbKind::DragDrop, o.dragdrop_callback},
                          {CbKind::Callback, o.callback}});
    status(id, o.status);
    return id;
}

int GMCREATESPINNER(int parent, int x, int y, int width, int height, const SpinnerOptions& o) {
    size_and_place(width, height, o);
    esc(371, o.first.value_or(1), spinner_mode(o.mode), o.third.value_or(0), o.fourth.value_or(0));
    const int id = esc(370, parent, x, y);
    if (id <= 0) return id;
    define_callbacks(id, {{CbKind::Callback, o.callback}});
    return id;
}

int gmCreateSlider(int parent, int x, int y, int width, int height, float minimum, float maximum, float increment,
                   float value, const SliderOptions& o) {
    sizes(width, height);
    SLIATR(0, 0, first_of(o.colour3, o.colour3_alt, 0));
    SLISIZ(o.slider_size.value_or(100));
    SLITYP(slider_type_code(first_of(o.slider_type, o.slider_type_alt, 0)));
    place(o.xjust, o.yjust, o.expansion);
    int id = 0;
    SLIDER(parent, x, y, minimum, maximum, increment, value, id);
    if (id <= 0) return id;
    define_callbacks(id, {{CbKind::DragDrop, o.dragdrop_callback}, {CbKind::Callback, o.callback}});
    status(id, o.status);
    return id;
}

int GMCREATEPROPERTYLIST(int parent, int x, int y, int width, int height, const PropertyListOptions& o) {
    place(o.xjust, o.yjust, o.expansion);
    const int id = esc(5010, parent, x, y, width, height, o.list_size.value_or(100));
    if (id <= 0) return id;
    if (o.prop43) PRPSET(id, 43, *o.prop43, 0.0, " ");
    if (o.prop92) PRPSET(id, 92, *o.prop92, 0.0, " ");
    PANIMG(id, 0, o.image.value_or(" "));
    define_callbacks(id, {{CbKind::DragDrop, o.dragdrop_callback},
                          {CbKind::Change, o.change_callback},
                          {CbKind::Select, o.select_callback},
                          {CbKind::Callback, o.callback}});
    help_and_props(id, o);
    status(id, o.status);
    return id;
}

int gmCreateProgressBar(int parent, int x, int y, int width, int height, const ProgressBarOptions& o) {
    size_and_place(width, height, o);
    int id = 0;
    PROBAR(parent, x, y, progress_bar_type(o.bar_type.value_or(0)), id);
    if (id <= 0) return id;
    PROLIM(id, o.minimum.value_or(0), o.maximum.value_or(100));
    if (o.value) PROSET(id, *o.value);
    define_callbacks(id, {{CbKind::DragDrop, o.dragdrop_callback}});
    status(id, o.status);
    return id;
}

int gmCreatePanel(int parent, int x, int y, int width, int height, const PanelOptions& o) {
    return panel_create(parent, x, y, width, height, o, o.image_kind.value_or(0));
}

int gmCreatePanel_2(int parent, int x, int y, int width, int height, const PanelOptions& o) {
    return panel_create(parent, x, y, width, height, o, 0);
}

int gmCreateGauge(int parent, int x, int y, int width, int height, std::string_view image, const GaugeOptions& o) {
    size_and_place(width, height, o);
    int id = 0;
    GAUGE(parent, x, y, o.initial.value_or(0), image, id);
    if (id <= 0) return id;
    GAGTYP(id, o.gauge_type.value_or(0), o.type_value1.value_or(10), o.type_value2.value_or(10));
    GAGLIM(id, o.minimum.value_or(0), o.maximum.value_or(100));
    define_callbacks(id, {{CbKind::Move, o.move_callback},
                          {CbKind::Select, o.select_callback},
                          {CbKind::Callback, o.callback},
                          {CbKind::DragDrop, o.dragdrop_callback}});
    help_and_props(id, o);
    status(id, o.status);
    PRPSET(id, 131, o.prop131.value_or(1), 0.0, " ");
    return id;
}

int GMCREATEDOCKINGPANE(int window, int side, int v1, int v2, int v3, int v4, const DockingPaneOptions& o) {
    const int code = docking_side_code(side);
    WIDTTL(negated(o.title_type.value_or(0)));
    REMMOD(o.remove_mode.value_or(0));
    register_title(window, o.title);
    const int id = esc(5060, window, code, v1, v2, v3, v4);
    if (id <= 0) return id;
    define_callbacks(id, {{CbKind::DragDrop, o.dragdrop_callback}, {CbKind::Callback, o.callback}});
    return id;
}

int gmCreateComboBox(int parent, int x, int y, int width, int height, int combo_kind, int mode,
                     const ComboBoxOptions& o) {
    sizes(width, height);
    COMTYP(entry_mode(mode), o.combo_option.value_or(0));
    place(o.xjust, o.yjust, o.expansion);
    esc(110, o.escape110_first.value_or(0), o.escape110_second.value_or(0));
    int id = 0;
    COMBO(parent, x, y, combo_kind, id);
    esc(110);  // the setting must not carry over to a later combo box
    if (id <= 0) return id;
    define_callbacks(id, {{CbKind::Select, o.select_callback},
                          {CbKind::Callback, o.callback},
                          {CbKind::DragDrop, o.dragdrop_callback}});
    help_and_props(id, o);
    status(id, o.status);
    PRPSET(id, 131, o.prop131.value_or(1), 0.0, " ");
    return id;
}

int GMCREATECALENDAR(int parent, int x, int y, int width, int height, const CalendarOptions& o) {
    place(o.xjust, o.yjust, o.expansion);
    const int id = esc_text(5001, "  ", parent, x, y, width, height, 0);
    if (id <= 0) return id;
    define_callbacks(id, {{CbKind::Callback, o.callback}});
    return id;
}
