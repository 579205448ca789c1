// Creation of the other widget kinds: codes recoded before registration, kinds made by an
// escape operation, settings reset whatever the outcome, the steps after a creation and the
// automatic callback numbers.
#include <functional>

#include "widget_fixture.h"

using MoreOther = WidgetTest;

namespace {

std::string esc(int op, std::initializer_list<int> p) { return escape_call(op, p); }

// A handler that makes a widget of kind for an escape-created kind the library does not make
// itself, for the life of the object.
struct Maker {
    int op;
    Maker(int op_, int kind) : op(op_) {
        set_escape_handler(op, [kind](int, const int(&p)[6], int& o1, int&, char*, int) {
            o1 = wl::model().create(kind, p[0]);
        });
    }
    ~Maker() { set_escape_handler(op, nullptr); }
};

double reg(const char* entry, std::size_t k = 0) { return wl::model().reg.other.at(entry).at(k); }

}  // namespace

TEST_F(MoreOther, CodesAreRecodedAsEachProcedureSays) {
    const std::vector<std::tuple<const char*, std::function<int(int)>, std::vector<std::pair<int, int>>>> cases = {
        {"tree level", tree_level_code, {{1, 0}, {-2, 1}, {-1, -1}, {5, 5}}},
        {"toolbar place", toolbar_place_code, {{-1, 1}, {2, 2}, {3, 3}, {0, 0}, {1, 0}, {7, 0}}},
        {"docking side", docking_side_code, {{1, 0}, {-1, 1}, {2, 2}, {3, 3}, {0, 4}, {9, 4}}},
        {"slider type", slider_type_code, {{32764, 0}, {32763, 1}, {2, 2}}},
        {"progress type", progress_bar_type, {{32745, 1}, {0, 0}, {3, 3}}},
        {"spinner mode", [](int m) { return spinner_mode(m); }, {{32764, 1}, {1, 0}, {32763, 0}}},
        {"array scroll", [](int m) { return array_scroll_mode(m); }, {{32763, 1}, {32764, 2}, {3, 3}}},
        {"panel scroll", [](int m) { return panel_scroll_mode(m); }, {{32763, 1}, {32764, 2}, {0, 0}}},
    };
    for (const auto& [name, fn, pairs] : cases)
        for (auto [in, out] : pairs) EXPECT_EQ(fn(in), out) << name << " " << in;
    EXPECT_EQ(spinner_mode({}), 0);
    EXPECT_EQ(array_scroll_mode({}), 0);
    EXPECT_EQ(panel_scroll_mode({}), -1);
}

TEST_F(MoreOther, TreeEntryWithPlacementValuesIsMadeByTheEscape) {
    start();
    const int tree = gmCreateTreeViewBox(1, 1, 1, 6, 8);
    ASSERT_GT(tree, 0);
    const auto plain = trace([&] { gmCreateTreeEntry(tree, 1, "Scans"); });
    EXPECT_TRUE(has(plain, "ADDTREEENTRY(" + std::to_string(tree) + ", 0, \"Scans\")"));
    const auto t = trace([&] { EXPECT_EQ(gmCreateTreeEntry(tree, -2, "Scan 1", {.callback = 5, .place2 = 4}), 0); });
    EXPECT_EQ(only(t, "ESCAPEROUTINE"), std::vector<std::string>{esc(880, {tree, 1, -1, -1, 4, 0})});
    EXPECT_FALSE(has(t, "SETCALLBACK(0, 5)"));  // refused by the library: nothing applied
}

TEST_F(MoreOther, ProgressBarGetsItsLimitsAlwaysAndItsTypeRecoded) {
    start();
    const auto t = trace([] {
        const int id = gmCreateProgressBar(1, 2, 3, 8, 1, {.bar_type = 32745});
        EXPECT_GT(id, 1);
    });
    const auto e = only(t, "ESCAPEROUTINE");
    ASSERT_EQ(e.size(), 2u);
    EXPECT_EQ(e[0], esc(100, {1, 2, 3, 1}));
    const int id = wl::model().next_id - 1;
    EXPECT_EQ(wl::extra(id).gauge_low, 0);
    EXPECT_EQ(wl::extra(id).gauge_high, 100);
    gmCreateProgressBar(1, 2, 3, 8, 1, {.maximum = 40, .minimum = 10, .value = 20});
    const int id2 = wl::model().next_id - 1;
    EXPECT_EQ(wl::extra(id2).gauge_low, 10);
    EXPECT_EQ(wl::extra(id2).gauge_high, 40);
    EXPECT_EQ(wl::extra(id2).gauge_value, 20);
}

TEST_F(MoreOther, SliderTypeAndSettingsAreRegisteredBeforeTheSlider) {
    start();
    gmCreateSlider(1, 1, 1, 8, 1, 0.0f, 10.0f, 1.0f, 5.0f, {.slider_type = 32764});
    EXPECT_EQ(reg("REGSLIDERTYPE"), 0.0);
    gmCreateSlider(1, 1, 1, 8, 1, 0.0f, 10.0f, 1.0f, 5.0f, {.colour3_alt = 4, .slider_type_alt = 32763});
    EXPECT_EQ(reg("REGSLIDERTYPE"), 1.0);
    EXPECT_EQ(reg("REGSLIDERATTR"), 4.0);
    EXPECT_TRUE(console().empty());
}

TEST_F(MoreOther, ToolbarWithoutTitleTakesTheWindowsOwnText) {
    start();
    const int bar = gmCreateToolBar(1, -1, 0, {.callback = AUTO_CALLBACK});
    ASSERT_GT(bar, 1);
    EXPECT_EQ(w(bar).reg.title.substr(0, 18), "Kelvorantide v3.72");
    EXPECT_EQ(w(bar).callback(), bar);
    const int bar2 = gmCreateToolBar(1, 2, 0, {.title = "Tools", .title_type = 1});
    EXPECT_EQ(w(bar2).reg.title, "Tools");
    EXPECT_EQ(w(bar2).reg.title_type, -1);
}

TEST_F(MoreOther, TextRulerChangeCallbackIsGivenOrAutomatic) {
    start();
    Maker maker(360, wl::KIND_EDITOR);
    const int a = GMCREATETEXTRULER(1, 1, 1, 10, 1, {.change_callback = 812});
    ASSERT_GT(a, 1);
    EXPECT_EQ(w(a).callback(wl::Cb::Change), 812);
    const int b = GMCREATETEXTRULER(1, 1, 1, 10, 1, {.change_callback = AUTO_CALLBACK});
    EXPECT_EQ(w(b).callback(wl::Cb::Change), b + 200000);
    EXPECT_EQ(wl::extra(b).prop_int[131], 1);
}

TEST_F(MoreOther, SettingsThatWouldCarryOverAreResetEvenWhenRefused) {
    start();
    const auto combo = trace([] {
        EXPECT_EQ(gmCreateComboBox(-4, 1, 1, 6, 1, 0, 19, {.escape110_first = 3, .escape110_second = 4}), 0);
    });
    EXPECT_EQ(only(combo, "ESCAPEROUTINE"), (std::vector<std::string>{esc(110, {3, 4}), esc(110, {})}));
    EXPECT_EQ(reg("REGCOMBOTYPE"), 1.0);  // mode 19 is display only

    wl::model().console.clear();
    const auto panel = trace([] { EXPECT_EQ(gmCreatePanel(-4, 1, 1, 6, 4, {.scroll_mode = 32764}), 0); });
    EXPECT_EQ(only(panel, "ESCAPEROUTINE"), (std::vector<std::string>{esc(500, {0, 2}), esc(500, {0, 0})}));
    EXPECT_EQ(errors(), std::vector<std::string>{err(26)});
}

TEST_F(MoreOther, ArraysRegisterTheirAttributesAndAlwaysGetTwoProperties) {
    start();
    ArrayOptions o;
    o.label2 = "Counts";
    o.escape2015_more = {3, 3, 3, 3};
    o.escape2015_more_over[0] = 9;
    o.escape2016_first = 1;
    o.escape2016_first_over = 6;
    o.callback = AUTO_CALLBACK;
    int id = 0;
    const auto t = trace([&] { id = gmCreateValueArray(1, 1, 1, 12, 8, 4, 50, o); });
    ASSERT_GT(id, 1);
    EXPECT_TRUE(has(t, "GASETGRIDATTR(-1, -1, 0, 0, \"\", \"Counts\")"));
    const auto e = only(t, "ESCAPEROUTINE");
    ASSERT_GE(e.size(), 4u);
    EXPECT_EQ(e[0], esc(2015, {4, 9, 3, 3, 3}));
    EXPECT_EQ(e[1], esc(2016, {6, 2, 0}));
    EXPECT_EQ(e[2], esc(2020, {}));
    EXPECT_EQ(e[3], esc(2021, {}));
    EXPECT_EQ(IGETWIDGETTYPE(id), wl::KIND_TEXTARRAY);
    EXPECT_EQ(w(id).callback(), id);
    EXPECT_EQ(wl::extra(id).prop_int[131], 0);
    EXPECT_EQ(wl::extra(id).prop_int[132], 1);
    EXPECT_GT(gmCreateTextArray(1, 1, 1, 12, 8, 2, 2), 1);
}

TEST_F(MoreOther, TerminalEntryGetsItsPromptAndTextPartedProperties) {
    start();
    int id = 0;
    const auto t = trace([&] { id = gmCreateTTYEntry(1, 1, 1, 20, 6, 0, "log", {.prompt = "> ", .prop129 = 3}); });
    ASSERT_GT(id, 1);
    EXPECT_EQ(only(t, "ESCAPEROUTINE")[0], esc(75, {0, 1}));
    EXPECT_EQ(wl::extra(id).prop_text[129], "log");
    EXPECT_EQ(wl::extra(id).prop_int[129], 3);
}

TEST_F(MoreOther, ToolbarButtonStatusFlagAndAlwaysPropertyOneThirtyOne) {
    start();
    const int bar = gmCreateToolBar(1, 0, 0, {.title = "T"});
    const int a = gmCreateToolBarButton(bar, 1, "Fit", {.status_flag = 1});
    ASSERT_GT(a, 0);
    EXPECT_EQ(wl::extra(a).prop_int[131], 1);
    const auto t = trace([&] { gmCreateToolBarButton(bar, 2, "Stop", {.status_flag = 2, .prop131 = 0}); });
    EXPECT_TRUE(only(t, "WIDGETSTATUS").empty());
    EXPECT_EQ(wl::extra(a + 1).prop_int[131], 0);
    EXPECT_GT(gmCreateToolBarSeparator(bar, 5), a + 1);
}

TEST_F(MoreOther, EscapeMadeKindsReturnTheEscapesAnswer) {
    start();
    // Refused by default (the library answers 0): nothing after it.
    for (const auto& make_it : std::vector<std::function<int()>>{
             [] { return GMCREATESPINNER(1, 1, 1, 4, 1, {.callback = 5}); },
             [] { return GMCREATEPROPERTYLIST(1, 1, 1, 4, 4, {.callback = 5}); },
             [] { return GMCREATECALENDAR(1, 1, 1, 4, 4, {.callback = 5}); },
             [] { return GMCREATEDOCKINGPANE(1, 9, 1, 2, 3, 4, {.callback = 5}); }}) {
        const auto t = trace([&] { EXPECT_EQ(make_it(), 0); });
        EXPECT_TRUE(only(t, "SETCALLBACK").empty());
    }
    EXPECT_EQ(only(trace([] { GMCREATEDOCKINGPANE(1, 9, 1, 2, 3, 4); }), "ESCAPEROUTINE"),
              std::vector<std::string>{esc(5060, {1, 4, 1, 2, 3, 4})});
    EXPECT_EQ(only(trace([] { GMCREATESPINNER(1, 1, 1, 4, 1, {.mode = 32764}); }), "ESCAPEROUTINE"),
              (std::vector<std::string>{esc(371, {1, 1, 0, 0}), esc(370, {1, 1, 1})}));

    Maker maker(5001, wl::KIND_BUTTON);
    const int cal = GMCREATECALENDAR(1, 1, 1, 4, 4, {.callback = AUTO_CALLBACK});
    ASSERT_GT(cal, 1);
    EXPECT_EQ(w(cal).callback(), cal);
}

TEST_F(MoreOther, GaugeGetsTypeAndLimitsByDefault) {
    start();
    const int g = gmCreateGauge(1, 1, 1, 4, 4, "dial");
    ASSERT_GT(g, 1);
    EXPECT_EQ(wl::extra(g).gauge_low, 0);
    EXPECT_EQ(wl::extra(g).gauge_high, 100);
    EXPECT_EQ(wl::extra(g).prop_int[131], 1);
}

TEST_F(MoreOther, PanelAppliesItsAttributesInItsOwnOrder) {
    start();
    PanelOptions o;
    o.image = "logo.bmp";
    o.image_kind = 2;
    o.help = "help";
    o.prop98 = 1;
    o.prop98_second = 2;
    o.callback = o.select_callback = o.move_callback = o.dragdrop_callback = AUTO_CALLBACK;
    o.doubleclick_callback = o.filedrop_callback = AUTO_CALLBACK;
    o.prop99 = 3;
    o.prop111 = 4;
    o.prop100 = 5;
    o.status = 0;
    o.prop126 = 6;
    o.prop111_second = 7;
    int id = 0;
    const auto t = trace([&] { id = gmCreatePanel(1, 1, 1, 10, 6, o); });
    ASSERT_GT(id, 1);
    // The steps after the creation, by library entry (escape operations by number).
    std::vector<std::string> steps;
    bool created = false;
    for (const auto& s : t) {
        if (s.rfind("ADDPANELBOX", 0) == 0) created = true;
        if (!created) continue;
        const auto paren = s.find('(');
        std::string step = s.substr(0, paren);
        if (step == "ESCAPEROUTINE") step += " " + s.substr(paren + 1, s.find(',') - paren - 1);
        if (step == "SETWIDGETPROP") {
            const auto c1 = s.find(", ") + 2;
            step += " " + s.substr(c1, s.find(',', c1) - c1);
        }
        steps.push_back(step);
    }
    EXPECT_EQ(steps, (std::vector<std::string>{
                         "ADDPANELBOX", "ESCAPEROUTINE 500", "REGPANELIMAGE", "ESCAPEROUTINE 1202",
                         "ESCAPEROUTINE 1201", "ESCAPEROUTINE 1000", "SETCALLMOVE", "SETCALLSELECT", "SETCALLBACK",
                         "ADDWIDGETHELP", "SETWIDGETPROP 98", "SETWIDGETPROP 98", "SETWIDGETPROP 126",
                         "SETWIDGETPROP 99", "SETWIDGETPROP 111", "SETWIDGETPROP 111", "SETWIDGETPROP 100",
                         "WIDGETSTATUS", "SETWIDGETPROP 131"}));
    EXPECT_EQ(w(id).callback(wl::Cb::FileDrop), id + 350000);
    EXPECT_EQ(w(id).callback(wl::Cb::Move), id + 100000);
    EXPECT_EQ(wl::extra(id).prop_int[111], 7);
}

TEST_F(MoreOther, TableVideoAndTrackBarParentsAreWalked) {
    const int kinds[] = {0, 1, 2, 3, 4, 6, 8, 9, 10, 11, 13, 15, 16, 17, 23, 27, 29, 35, 39, 45, 48, 103};
    const std::vector<std::tuple<const char*, std::function<void(int, int&)>, std::vector<int>>> cases = {
        {"gmCreateTableBox", [](int p, int& id) { TABBOX(p, 1, 1, id); }, {0, 2, 15, 48}},
        {"gmCreateVideoFrame", [](int p, int& id) { VIDCAP(p, 1, 1, 0, id); }, {0, 2, 15}},
        {"TRABAR", [](int p, int& id) { TRABAR(p, 1, 2, 3, 4, 5, id); }, {0, 2, 15}},
    };
    for (const auto& [name, create, accepted] : cases)
        for (int kind : kinds) {
            reset_toolkit();
            start();
            const int parent = kind == 0 ? 1 : make(kind);
            int id = -7;
            create(parent, id);
            const bool ok = std::find(accepted.begin(), accepted.end(), kind) != accepted.end();
            if (ok) {
                EXPECT_TRUE(console().empty()) << name << " in kind " << kind;
            } else {
                ASSERT_EQ(console().size(), 1u) << name << " in kind " << kind;
                EXPECT_EQ(console()[0].text, err(7));
                EXPECT_EQ(console()[0].title, name);
                EXPECT_EQ(id, 0);
            }
        }
}
