// The plain routines of the widget kinds: the parent kinds each creation accepts (walked over
// every kind the library knows), the master check, registrations out of range, the callback
// definers' kind sets, and the text-entry form.
#include <cmath>
#include <functional>
#include <map>

#include "gui_toolkit/widget_tables.h"  // wk::in
#include "widget_fixture.h"

using WidgetPlain = WidgetTest;

namespace {

const int kAllKinds[] = {0,  1,  2,  3,  4,  5,  6,  8,  9,  10, 11, 12, 13, 15, 16, 17, 18, 19,
                         20, 21, 22, 23, 27, 28, 29, 30, 34, 35, 36, 38, 40, 41, 42, 45, 48, 103};

struct Creation {
    const char* name;
    std::function<int(int parent)> create;
    std::vector<int> parents;  // the parent kinds accepted
    std::function<bool(int kind)> creates_nothing = [](int) { return false; };  // accepted, yet no widget
};

std::vector<Creation> creations() {
    return {
        {"gmCreateMenuBar", [](int p) { int id = 0; MENBAR(p, -1, -1, id); return id; }, {0, 2}},
        {"gmCreatePopupMenu", [](int p) { int id = 0; MENPOP(p, 0, 0, id); return id; }, {0, 1, 2, 5, 10, 15, 103}},
        {"gmCreateMenuEntry", [](int p) { int id = 0; MENENT(p, "E", 0, id); return id; }, {1, 3, 4, 18, 19, 22, 34},
         [](int k) { return k == 18; }},
        {"gmEnqSystemMenu", [](int p) { int id = 0; MENSYS(p, id); return id; }, {0, 2}},
        {"gmCreateListBox", [](int p) { int id = 0; LISBOX(p, 0, 0, 0, id); return id; }, {0, 2, 15, 23, 48}},
        {"gmCreateComboBox", [](int p) { int id = 0; COMBO(p, 0, 0, 0, id); return id; }, {0, 2, 15, 23, 29, 45}},
        {"gmCreateIcon", [](int p) { int id = 0; ICODEF(p, 0, 0, "#102", 4, 0, id); return id; }, {0, 2, 15, 29}},
        {"gmCreatePushButton", [](int p) { int id = 0; BUTTON(p, 0, 0, "B", 0, id); return id; }, {0, 2, 15, 23}},
        {"gmCreateValueEntry", [](int p) { int id = 0; DVLENT(p, 0, 0, 1.0, 8, 2, 0, id); return id; },
         {0, 2, 6, 15, 40, 45}},
        {"gmCreateValueEntry", [](int p) { int id = 0; VALENT(p, 0, 0, 1.0f, 8, 2, 1, id); return id; },
         {0, 2, 6, 15, 40, 45}},
        {"gmCreateValueArray", [](int p) { int id = 0; VALARR(p, 1, 1, 4, 4, id); return id; }, {0, 2, 15}},
        {"gmCreateTextEntry", [](int p) { int id = 0; TEXENT(p, 0, 0, "T", 8, 0, id); return id; },
         {0, 2, 6, 10, 15, 17, 40, 48}, [](int k) { return k == 48; }},
        {"gmCreateTextArray", [](int p) { int id = 0; TEXARR(p, 1, 1, 4, 4, id); return id; }, {0, 2, 15}},
        {"gmCreateTTYEntry", [](int p) { int id = 0; TTYENT(p, 1, 1, 1, "tty", id); return id; }, {0, 2, 15}},
        {"gmCreateToggleButton", [](int p) { int id = 0; TOGGLE(p, 0, 0, 1, "T", id); return id; },
         {0, 2, 13, 15, 23}},
        {"gmCreateRadioBox", [](int p) { int id = 0; RADIO(p, 0, 0, id); return id; }, {0, 2, 15}},
        {"gmCreateSlider", [](int p) { int id = 0; SLIDER(p, 0, 0, 0, 1, 0.1f, 0.5f, id); return id; },
         {0, 2, 15}},
        {"gmCreateTabDialogueBox", [](int p) { int id = 0; PANMAS(p, 0, 0, id); return id; }, {0, 2, 15, 48}},
        {"gmCreateStatusBar", [](int p) { int id = 0; STABAR(p, 0, id); return id; }, {0, 2}},
        {"gmCreateToolBar", [](int p) { int id = 0; TOLBAR(p, 0, 0, id); return id; }, {0, 2}},
        {"gmCreateTreeViewBox", [](int p) { int id = 0; TREBOX(p, 0, 0, 0, id); return id; }, {0, 2, 15, 48}},
        {"gmCreateTreeEntry", [](int p) { int id = 0; TREENT(p, 0, "leaf", id); return id; }, {27, 28}},
        {"gmCreateGauge", [](int p) { int id = 0; GAUGE(p, 0, 0, 0, "g", id); return id; }, {0, 2, 15}},
        {"gmCreateProgressBar", [](int p) { int id = 0; PROBAR(p, 0, 0, 0, id); return id; }, {0, 2, 15}},
    };
}

}  // namespace

TEST_F(WidgetPlain, CreationsBeforeTheMasterWindow) {
    for (const auto& c : creations()) {
        wl::model().console.clear();
        EXPECT_EQ(c.create(1), 0) << c.name;
        ASSERT_EQ(console().size(), 1u) << c.name;
        EXPECT_EQ(console()[0].text, "GINOMENU error 1 - Master window must be first") << c.name;
        EXPECT_EQ(console()[0].title, c.name);
        EXPECT_EQ(CURRENT_ROUTINE, "      ");
    }
}

TEST_F(WidgetPlain, ParentKindsEachCreationAccepts) {
    start();
    std::map<int, int> parent_of_kind;
    for (int kind : kAllKinds) parent_of_kind[kind] = kind == 0 ? 1 : make(kind);
    for (const auto& c : creations()) {
        for (int kind : kAllKinds) {
            wl::model().console.clear();
            const int parent = parent_of_kind[kind];
            const int id = c.create(parent);
            const bool accepted = wk::in(kind, c.parents);
            if (accepted && !c.creates_nothing(kind)) {
                EXPECT_GT(id, 0) << c.name << " on kind " << kind;
                EXPECT_TRUE(console().empty()) << c.name << " on kind " << kind;
            } else {
                EXPECT_EQ(id, 0) << c.name << " on kind " << kind;
            }
            if (!accepted) {
                ASSERT_EQ(console().size(), 1u) << c.name << " on kind " << kind;
                EXPECT_EQ(console()[0].text, err(7)) << c.name << " on kind " << kind;
            }
        }
        // A parent number of 0 or below is refused before its kind (tree boxes test only the kind).
        wl::model().console.clear();
        EXPECT_EQ(c.create(-3), 0);
        if (std::string(c.name) != "gmCreateTreeViewBox" && std::string(c.name) != "gmCreateTreeEntry") {
            EXPECT_EQ(console().back().text, err(26)) << c.name;
        }
    }
}

TEST_F(WidgetPlain, PlacementRuleRefusesCentredExpansionOnAnMdiMaster) {
    gmInitializeMenu();
    ASSERT_EQ(gmCreateMDIMasterWindow(0, 0, 20, 20, 1, "MDI"), 1);
    ASSERT_EQ(IGETWIDGETTYPE(2), wl::KIND_MDI);
    const int dialog = make(wl::KIND_DIALOG);
    WIDPOS(4, 1);
    int id = 0;
    BUTTON(1, 0, 0, "B", 0, id);
    EXPECT_EQ(id, 0);
    EXPECT_EQ(console().back().text, err(62));
    BUTTON(dialog, 0, 0, "B", 0, id);
    EXPECT_GT(id, 0);
}

TEST_F(WidgetPlain, RegistrationsOutOfRange) {
    struct Case {
        const char* what;
        std::function<void()> call;
        int error;  // 0: accepted
        const char* entry;
    } cases[] = {
        {"VALSIZ(49)", [] { VALSIZ(49); }, 34, "REGVALUESIZE"},
        {"VALSIZ(101)", [] { VALSIZ(101); }, 34, "REGVALUESIZE"},
        {"VALSIZ(50)", [] { VALSIZ(50); }, 0, "REGVALUESIZE"},
        {"VALSIZ(100)", [] { VALSIZ(100); }, 0, "REGVALUESIZE"},
        {"VALTYP(16)", [] { VALTYP(16, 0); }, 33, "REGVALUETYPE"},
        {"VALATR(-1, .., 9)", [] { VALATR(-1, 0, 0, 9); }, 19, "REGVALUEATTR"},
        {"VALATR(0, 0, 0, 2)", [] { VALATR(0, 0, 0, 2); }, 35, "REGVALUEATTR"},
        {"TEXSIZ(101)", [] { TEXSIZ(101); }, 34, "REGTEXTSIZE"},
        {"TEXATR(0, 0, 0, 2)", [] { TEXATR(0, 0, 0, 2); }, 0, "REGTEXTATTR"},
        {"TEXATR(0, 0, 0, 3)", [] { TEXATR(0, 0, 0, 3); }, 35, "REGTEXTATTR"},
        {"PANTYP(8)", [] { PANTYP(8); }, 33, "REGPANELTYPE"},
        {"PANTYP(98)", [] { PANTYP(98); }, 33, "REGPANELTYPE"},
        {"PANTYP(99)", [] { PANTYP(99); }, 0, "REGPANELTYPE"},
        {"PANTYP(7)", [] { PANTYP(7); }, 0, "REGPANELTYPE"},
        {"ICOTYP(8)", [] { ICOTYP(8); }, 33, "REGICONTYPE"},
        {"ICOSIZ(49)", [] { ICOSIZ(49); }, 34, "REGICONSIZE"},
        {"BUTTYP(4)", [] { BUTTYP(4); }, 33, "REGBUTTONTYPE"},
        {"BUTTYP(99)", [] { BUTTYP(99); }, 0, "REGBUTTONTYPE"},
        {"BUTSIZ(201)", [] { BUTSIZ(201); }, 34, "REGBUTTONSIZE"},
        {"BUTATR(0, -1, 0)", [] { BUTATR(0, -1, 0); }, 34, "REGBUTTONATTR"},
        {"TOGTYP(8)", [] { TOGTYP(8); }, 33, "REGTOGGLETYPE"},
        {"RADTYP(3)", [] { RADTYP(3); }, 33, "REGRADIOTYPE"},
        {"SLISIZ(49)", [] { SLISIZ(49); }, 34, "REGSLIDERSIZE"},
        {"SLIATR(0, 0, -2)", [] { SLIATR(0, 0, -2); }, 19, "REGSLIDERATTR"},
        {"SLIATR(1, 2, 3)", [] { SLIATR(1, 2, 3); }, 0, "REGSLIDERATTR(3)"},
        {"PANATR(0, 0, 0, -1)", [] { PANATR(0, 0, 0, -1); }, 19, "REGPANELATTR"},
    };
    for (const auto& c : cases) {
        wl::model().console.clear();
        const auto t = trace(c.call);
        if (c.error) {
            ASSERT_EQ(console().size(), 1u) << c.what;
            EXPECT_EQ(console()[0].text, err(c.error)) << c.what;
            EXPECT_TRUE(only(t, c.entry).empty()) << c.what;
        } else {
            EXPECT_TRUE(console().empty()) << c.what;
            EXPECT_EQ(only(t, c.entry).size(), 1u) << c.what;
        }
    }
}

TEST_F(WidgetPlain, ValueEntryCreationChecks) {
    start();
    int id = 5;
    DVLENT(1, 0, 0, 1.0, 8, 2, 2, id);
    EXPECT_EQ(id, 0);
    EXPECT_EQ(console().back().text, err(35));
    DVLENT(1, 0, 0, 1.0, 8, -1, 0, id);
    EXPECT_EQ(id, 0);
    EXPECT_EQ(console().back().text, "GINOMENU error 17 - Numerical value size parameter is invalid");
    VALSET(make(wl::KIND_TEXT), 1.0f);
    EXPECT_EQ(console().back().text, err(24));
    // Limits in either order; a value read back narrowed to the nearest float.
    DVLENT(1, 0, 0, 0.1, 8, 2, 0, id);
    VALLIM(id, 10.0f, 2.0f);
    EXPECT_EQ(wl::find_extra(id)->lower, 2.0);
    EXPECT_EQ(wl::find_extra(id)->upper, 10.0);
    float v = 0;
    VALENQ(id, v);
    EXPECT_EQ(v, 0.1f);
    DVLSET(id, 1e300);
    VALENQ(id, v);
    EXPECT_TRUE(std::isinf(v));
    // Fixed texts: a prefix only passes "prefix|" with flag 1.
    VALFIX(id, 1, "ab", " ");
    EXPECT_EQ(wl::find_extra(id)->prefix, "ab");
    EXPECT_EQ(wl::find_extra(id)->suffix, "");
}

TEST_F(WidgetPlain, TextEntryFormAndTextChecks) {
    start();
    const int dialog = make(wl::KIND_DIALOG);
    // Taller than one grid cell (cells of 40 pixels here), or 25 units on a grid of one-pixel
    // rows, makes an editor; so does a vertically centred expanding entry.
    struct Case {
        int rows;  // grid rows of the screen
        int height;
        int code, expansion;
        int kind;
    } cases[] = {{24, 1, 0, 0, wl::KIND_TEXT},   {24, 2, 0, 0, wl::KIND_EDITOR},  {960, 25, 0, 0, wl::KIND_TEXT},
                 {960, 26, 0, 0, wl::KIND_EDITOR}, {24, 1, 4, 1, wl::KIND_EDITOR}, {24, 1, 4, 0, wl::KIND_TEXT},
                 {24, 1, 3, 1, wl::KIND_EDITOR},  {24, 1, 6, 1, wl::KIND_TEXT}};
    for (const auto& c : cases) {
        SETGRIDAREA(32, c.rows);
        WIDMIN(4, c.height);
        WIDPOS(c.code, c.expansion);
        int id = 0;
        TEXENT(dialog, 0, 0, "t", 10, 0, id);
        ASSERT_GT(id, 0);
        EXPECT_EQ(w(id).kind, c.kind) << c.rows << " " << c.height << " " << c.code << " " << c.expansion;
    }
    SETGRIDAREA(32, 24);
    // A one-line entry on a parent of kind 48 is refused; an editor there is made.
    const int pane = make(48);
    WIDMIN(4, 1);
    WIDPOS(0, 0);
    int id = 0;
    TEXENT(pane, 0, 0, "t", 10, 0, id);
    EXPECT_EQ(id, 0);
    EXPECT_EQ(console().back().text, err(7));
    WIDMIN(4, 30);
    TEXENT(pane, 0, 0, "t", 10, 0, id);
    EXPECT_GT(id, 0);

    const int value = make(wl::KIND_VALUE);
    wl::model().console.clear();
    TEXLIM(value, 12);  // a value entry takes a text limit
    EXPECT_TRUE(console().empty());
    TEXSET(value, "x");
    EXPECT_EQ(console().back().text, err(23));
    SCRMOD(-1, 1);
    EXPECT_EQ(console().back().text, err(26));
    SCRMOD(make(wl::KIND_BUTTON), 1);
    EXPECT_EQ(console().back().text, "GINOMENU error 67 - Invalid scroll bar request");
    int width = -1;
    TEXLEN("          ", width);
    EXPECT_EQ(width, 0);
    TEXLEN("A   ", width);
    EXPECT_EQ(width, STRLEN("A"));
    int status = 7;
    wl::model().console.clear();
    TEXSAV(make(wl::KIND_BUTTON), "x.txt", status);  // not a text widget: nothing, silently
    EXPECT_TRUE(console().empty());
    EXPECT_EQ(status, 7);
}

TEST_F(WidgetPlain, CallbackDefinersKindSets) {
    start();
    struct Definer {
        const char* name;
        void (*define)(int, int);
        std::function<bool(int)> accepts;
        wl::Cb cb;
    } definers[] = {
        {"gmDefineLinkCallback", CALLLK, [](int k) { return k == 17; }, wl::Cb::Link},
        {"gmDefineValueErrorCallback", CALLVE, [](int) { return true; }, wl::Cb::ValueError},
        {"gmDefineFileDropCallback", CALLFD, [](int) { return true; }, wl::Cb::FileDrop},
        {"gmDefineDoubleClickCallback", CALLDB, [](int) { return true; }, wl::Cb::DoubleClick},
        {"gmDefineChangeCallback", CALLCH, [](int k) { return wk::in(k, std::array{10, 17, 18, 19, 23, 28, 45, 47}); }, wl::Cb::Change},
        {"gmDefineDragDropCallback", DRAGDR, [](int k) { return !wk::in(k, std::array{3, 4, 5, 12}); }, wl::Cb::DragDrop},
        {"gmDefineDragSelectCallback", DRAGSL, [](int k) { return !wk::in(k, std::array{3, 4, 5, 12}); },
         wl::Cb::DragSelect},
        {"gmDefineDragMoveCallback", DRAGMV,
         [](int k) { return k == 7 || k == 14 || k == 30; }, wl::Cb::DragMove},
    };
    for (const auto& d : definers) {
        for (int kind : kAllKinds) {
            wl::model().console.clear();
            const int id = kind == 0 ? 1 : make(kind);
            d.define(id, 77);
            if (d.accepts(kind)) {
                EXPECT_TRUE(console().empty()) << d.name << " kind " << kind;
                EXPECT_EQ(w(id).callback(d.cb), 77) << d.name << " kind " << kind;
            } else {
                ASSERT_EQ(console().size(), 1u) << d.name << " kind " << kind;
                EXPECT_EQ(console()[0].text, "GINOMENU error 30 - Cannot attach callback to widget");
                EXPECT_EQ(console()[0].title, d.name);
                EXPECT_EQ(w(id).callback(d.cb), 0);
            }
        }
        d.define(-1, 5);
        EXPECT_EQ(console().back().text, err(26)) << d.name;
    }
    // Widget 0 passes the number test: forwarded where any kind is taken.
    wl::model().console.clear();
    const auto t = trace([] { CALLVE(0, 9); });
    EXPECT_TRUE(console().empty());
    EXPECT_EQ(t, std::vector<std::string>{"ESCAPEROUTINE(1203, 0, 9, 0, 0, 0, 0)"});
}

TEST_F(WidgetPlain, EscapesGaugesBarsAndTrees) {
    start();
    const auto before = wl::model().escapes.size();
    int o1 = 0, o2 = 0;
    char text[2] = {' ', ' '};
    GUIESC(0, 1, 2, 3, 4, 5, 6, o1, o2, text, 2);
    GUIESC(-5, 1, 2, 3, 4, 5, 6, o1, o2, text, 2);
    EXPECT_EQ(wl::model().escapes.size(), before);

    int id = 0;
    BUTICO(1, 0, 0, "Logo   ", "#102  ", id);
    ASSERT_GT(id, 0);
    EXPECT_EQ(w(id).caption, "Logo");
    EXPECT_EQ(w(id).icon, "#102");

    wl::model().console.clear();
    auto t = trace([] { GAGTYP(0, 1, 2, 3); });
    EXPECT_TRUE(console().empty());
    EXPECT_EQ(t, std::vector<std::string>{"ESCAPEROUTINE(351, 0, 1, 2, 3, 0, 0)"});
    GAGTYP(-1, 1, 2, 3);
    EXPECT_EQ(console().back().text, err(26));
    PROSET(0, 5);
    EXPECT_EQ(console().back().text, "GINOMENU error 66 - Not a progress bar");
    int gauge = 0;
    GAUGE(1, 0, 0, 0, "g", gauge);
    gmSetGaugeValue(gauge, 42);
    EXPECT_EQ(gmEnqGaugeValue(gauge), 42);
    int leaf = 0;
    TREENT(make(wl::KIND_BUTTON), 0, "x", leaf);
    EXPECT_EQ(console().back().text, err(7));
    int list = 0;
    COMBO(1, 0, 0, 0, list);
    char entry[4];
    int result = 0;
    LISENQ(list, 0, entry, 4, result);
    EXPECT_EQ(console().back().text, "GINOMENU error 58 - Invalid widget type");
}

TEST_F(WidgetPlain, StatusBarTextBeforeAnyMasterIsForwarded) {
    const auto t = trace([] { STATEX(3, 0, "x"); });
    EXPECT_EQ(t, std::vector<std::string>{"SETSTATUSTEXT(3, 0, \"x\")"});
    EXPECT_TRUE(console().empty());
}

TEST_F(WidgetPlain, LinksSkipWidgetsThatCannotBeLinked) {
    start();
    const int a = make(wl::KIND_VALUE), b = make(wl::KIND_TEXT), c = make(wl::KIND_BUTTON), d = make(wl::KIND_VALUE);
    const int values[] = {1, 2, 3};
    const int widgets[] = {b, c, d};
    LINKER(a, values, widgets, 3);
    EXPECT_EQ(console().back().text, "GINOMENU error 56 - Widget type cannot be linked");
    const auto& links = wl::find_extra(a)->links;
    ASSERT_EQ(links.size(), 2u);
    EXPECT_EQ(links[0], std::make_pair(1, b));
    EXPECT_EQ(links[1], std::make_pair(3, d));
}

TEST_F(WidgetPlain, FontAndPropertyErrorsTitledWithTheirOperation) {
    start();
    struct Case {
        std::function<void()> call;
        const char* title;
    } cases[] = {
        {[] { WIDFNT(0, 1, 10, " "); }, "gmSetFontAttribs"},
        {[] { int v = 0; char t[1]; WIDFNQ(0, 1, v, t, 1); }, "gmEnqFontAttribs"},
        {[] { PRPSET(-2, 98, 1, 0.0, " "); }, "gmSetWidgetProp"},
        {[] { int v = 0; double d = 0; char t[1]; PRPENQ(0, 15, v, d, t, 1); }, "gmEnqWidgetProp"},
    };
    for (const auto& c : cases) {
        wl::model().console.clear();
        c.call();
        ASSERT_EQ(console().size(), 1u) << c.title;
        EXPECT_EQ(console()[0].text, err(26));
        EXPECT_EQ(console()[0].title, c.title);
    }
    EXPECT_EQ(CURRENT_ROUTINE, "      ");
}
