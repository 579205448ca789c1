// Widget creation: automatic callback numbers, justification codes, call orders (also after a
// refused creation), recodings of modes and options, and values that stay as they were set.
#include <cmath>
#include <cstring>
#include <map>

#include "gui_toolkit/frames.h"
#include "gui_toolkit/menu_f90_rules.h"
#include "widget_fixture.h"

using WidgetCreate = WidgetTest;

TEST_F(WidgetCreate, AutomaticCallbackNumbersByKind) {
    start();
    const std::map<mf::CbKind, wl::Cb> model_kind = {
        {mf::CbKind::Callback, wl::Cb::Action},       {mf::CbKind::Select, wl::Cb::Select},
        {mf::CbKind::Move, wl::Cb::Move},             {mf::CbKind::Expose, wl::Cb::Expose},
        {mf::CbKind::Change, wl::Cb::Change},         {mf::CbKind::DragDrop, wl::Cb::DragDrop},
        {mf::CbKind::DoubleClick, wl::Cb::DoubleClick}, {mf::CbKind::FileDrop, wl::Cb::FileDrop},
        {mf::CbKind::DragSelect, wl::Cb::DragSelect}, {mf::CbKind::DragMove, wl::Cb::DragMove},
        {mf::CbKind::ValueError, wl::Cb::ValueError}, {mf::CbKind::Link, wl::Cb::Link},
    };
    // A widget of a kind that takes every callback its definer allows.
    auto host = [](mf::CbKind k) {
        if (k == mf::CbKind::Expose) return make(wl::KIND_FRAME);
        if (k == mf::CbKind::DragMove) return make(wl::KIND_BUTTON);
        return make(wl::KIND_EDITOR);
    };
    // Each kind with the offset its automatic number adds to the widget id.
    const std::pair<mf::CbKind, int> offsets[] = {
        {mf::CbKind::Callback, 0},          {mf::CbKind::Select, 50000},     {mf::CbKind::Move, 100000},
        {mf::CbKind::Expose, 150000},       {mf::CbKind::Change, 200000},    {mf::CbKind::DragDrop, 250000},
        {mf::CbKind::DoubleClick, 300000},  {mf::CbKind::FileDrop, 350000},  {mf::CbKind::DragSelect, 400000},
        {mf::CbKind::DragMove, 450000},     {mf::CbKind::ValueError, 500000}, {mf::CbKind::Link, 550000},
    };
    for (const auto& [kind, offset] : offsets) {
        SCOPED_TRACE(offset);
        const int id = host(kind);
        mf::define_callback(kind, AUTO_CALLBACK, id);
        EXPECT_EQ(w(id).callback(model_kind.at(kind)), id + offset);
        mf::define_callback(kind, 321, id);
        EXPECT_EQ(w(id).callback(model_kind.at(kind)), 321);
        mf::define_callback(kind, std::nullopt, id);  // absent: nothing changes
        EXPECT_EQ(w(id).callback(model_kind.at(kind)), 321);
    }
    EXPECT_TRUE(console().empty());

    const int button = gmCreatePushButton(1, 0, 0, 2, 1, "Go", {.callback = AUTO_CALLBACK, .select_callback = AUTO_CALLBACK});
    EXPECT_EQ(w(button).callback(), button);
    EXPECT_EQ(w(button).callback(wl::Cb::Select), button + 50000);
}

TEST_F(WidgetCreate, JustificationCodes) {
    start();
    struct Case {
        OptInt x, y;
        int code;
    } cases[] = {{{}, {}, 0}, {-1, -1, 0}, {0, 0, 4}, {1, 1, 8}, {1, -1, 2}, {-1, 1, 6}, {0, {}, 1}, {{}, 0, 3}};
    for (const auto& c : cases) {
        const auto t = trace([&] { gmCreatePushButton(1, 0, 0, 2, 1, "B", {.xjust = c.x, .yjust = c.y, .expansion = 1}); });
        EXPECT_TRUE(has(t, "REGPOSITION(" + std::to_string(c.code) + ", 1)")) << c.code;
        EXPECT_EQ(POSITION_MODE(1), c.code);
        EXPECT_EQ(POSITION_MODE(2), 1);
    }
    EXPECT_EQ(mf::justification_code(2147483647, 2147483647), 2147483647);  // saturates, no overflow
}

TEST_F(WidgetCreate, ValueEntryOfTheProgramsFieldsHoldsWhatItWasMadeWith) {
    start();
    const int dialog = make(wl::KIND_DIALOG);
    const int id = gmCreateValueEntry(dialog, 3, 2, 4, 1, 0.0f, 10, 3, 19, {.callback = 106});
    ASSERT_EQ(id, dialog + 1);
    const wl::Widget& x = w(id);
    EXPECT_EQ(x.kind, wl::KIND_VALUE);
    EXPECT_EQ(x.parent, dialog);
    EXPECT_EQ(x.x, 3);
    EXPECT_EQ(x.y, 2);
    EXPECT_EQ(x.reg.min_w, 4);
    EXPECT_EQ(x.reg.min_h, 1);
    EXPECT_EQ(x.value, 0.0);
    EXPECT_EQ(x.field_width, 10);
    EXPECT_EQ(x.decimals, 3);
    EXPECT_EQ(x.mode, 1);  // 19: display only
    EXPECT_EQ(x.callback(), 106);
    EXPECT_EQ(wl::extra(id).text_limit, 10);
    EXPECT_EQ(wl::extra(id).prop_int[131], 1);
    EXPECT_EQ(wl::extra(id).prop_double[103], 1.0);
    EXPECT_TRUE(console().empty());
}

TEST_F(WidgetCreate, RefusedCreationsApplyNothingButTheirResets) {
    // Before the master window: error 1 titled with the creation, id 0, nothing after.
    int id = 7;
    auto t = trace([&] { id = gmCreateValueEntry(1, 0, 0, 4, 1, 1.5f, 10, 3, 0, {.callback = 5, .status = 0}); });
    EXPECT_EQ(id, 0);
    ASSERT_EQ(console().size(), 1u);
    EXPECT_EQ(console()[0].text, "GINOMENU error 1 - Master window must be first");
    EXPECT_EQ(console()[0].title, "gmCreateValueEntry");
    EXPECT_TRUE(only(t, "ADD").empty());
    EXPECT_TRUE(only(t, "SETCALLBACK").empty());
    EXPECT_TRUE(only(t, "SETWIDGETPROP").empty());
    EXPECT_TRUE(only(t, "WIDGETSTATUS").empty());

    start();
    const int button = make(wl::KIND_BUTTON);
    // A text entry on a push button: refused, yet the scroll mode is reset.
    t = trace([&] { id = gmCreateTextEntry(button, 0, 0, 4, 1, "abc", 20, 19, {.callback = 9}); });
    EXPECT_EQ(id, 0);
    const auto scroll = only(t, "ESCAPEROUTINE(500");
    ASSERT_EQ(scroll.size(), 2u);
    EXPECT_EQ(scroll[0], "ESCAPEROUTINE(500, 0, 1, 0, 0, 0, 0)");
    EXPECT_EQ(scroll[1], "ESCAPEROUTINE(500, 0, 0, 0, 0, 0, 0)");
    EXPECT_TRUE(only(t, "SETCALLBACK").empty());
    EXPECT_EQ(console().back().text, "GINOMENU error 7 - Parent cannot support this child");

    // A list box on a push button: refused, and escape 111 is reset all the same.
    t = trace([&] { id = gmCreateListBox(button, 0, 0, 4, 4, 0, {.callback = 9, .escape111_first = 3}); });
    EXPECT_EQ(id, 0);
    const auto e111 = only(t, "ESCAPEROUTINE(111");
    ASSERT_EQ(e111.size(), 2u);
    EXPECT_EQ(e111[0], "ESCAPEROUTINE(111, 3, 0, 0, 0, 0, 0)");
    EXPECT_EQ(e111[1], "ESCAPEROUTINE(111, 0, 0, 0, 0, 0, 0)");

    // A toggle whose creation is refused sets no state.
    t = trace([&] { id = gmCreateToggleButton(button, 0, 0, 2, 1, "R", 1); });
    EXPECT_EQ(id, 0);
    EXPECT_TRUE(only(t, "SETTOGGLE").empty());
}

TEST_F(WidgetCreate, EntryModesAndJustificationOption) {
    start();
    struct Case {
        int mode;
        int id_expected_positive;
        int model_mode;
    } cases[] = {{0, 1, 0}, {1, 1, 1}, {19, 1, 1}, {5, 0, 0}};
    for (const auto& c : cases) {
        const int id = gmCreateValueEntry(1, 0, 0, 4, 1, 2.0, 8, 2, c.mode);
        EXPECT_EQ(id > 0, c.id_expected_positive == 1) << c.mode;
        if (id > 0) {
            EXPECT_EQ(w(id).mode, c.model_mode);
        }
    }
    EXPECT_EQ(console().back().text, "GINOMENU error 35 - Parameter out of range");

    // Option 1: the field is created with -10 but the text limit stays 10.
    int id = 0;
    const auto t = trace([&] { id = gmCreateValueEntry(1, 0, 0, 4, 1, 2.0, 10, 2, 0, {.justification = 1}); });
    EXPECT_EQ(w(id).field_width, -10);
    EXPECT_TRUE(has(t, "ESCAPEROUTINE(912, " + std::to_string(id) + ", 10, 0, 0, 0, 0)"));
    EXPECT_EQ(mf::justified_width(-10, 0), 10);
    EXPECT_EQ(mf::justified_width(-10, 7), -10);
    EXPECT_EQ(mf::justified_width(-2147483647 - 1, 0), 2147483647);
}

TEST_F(WidgetCreate, ValueEntryLimitsAffixesAndHelp) {
    start();
    auto t = trace([&] { gmCreateValueEntry(1, 0, 0, 4, 1, 2.0f, 8, 2, 0, {.limit1 = 3.0f, .limit2 = 3.0f}); });
    EXPECT_TRUE(only(t, "SETVALUELIMITS").empty());

    int id = 0;
    t = trace([&] {
        id = gmCreateValueEntry(1, 0, 0, 4, 1, 2.0f, 8, 2, 0,
                                {.limit1 = 10.0f, .limit2 = 2.0f, .dlimit1 = 1.0, .dlimit2 = 5.0});
    });
    const auto limits = only(t, "SETVALUELIMITS");
    ASSERT_EQ(limits.size(), 2u);
    EXPECT_EQ(limits[0], "SETVALUELIMITS(" + std::to_string(id) + ", 2.000000, 10.000000)");
    EXPECT_EQ(limits[1], "SETVALUELIMITS(" + std::to_string(id) + ", 1.000000, 5.000000)");

    id = gmCreateValueEntry(1, 0, 0, 4, 1, 2.0f, 8, 2, 0, {.suffix = "deg"});
    EXPECT_EQ(wl::find_extra(id)->prefix, "");
    EXPECT_EQ(wl::find_extra(id)->suffix, "deg");
    id = gmCreateValueEntry(1, 0, 0, 4, 1, 2.0f, 8, 2, 0, {.prefix = "a="});
    EXPECT_EQ(wl::find_extra(id)->prefix, "a=");
    EXPECT_EQ(wl::find_extra(id)->suffix, "");

    t = trace([&] { id = gmCreateValueEntry(1, 0, 0, 4, 1, 2.0f, 8, 2, 0, {.help = "FWHM", .help_mode = 31}); });
    EXPECT_TRUE(has(t, "ADDWIDGETHELP(" + std::to_string(id) + ", 2, \"FWHM\")"));
    t = trace([&] { gmCreateValueEntry(1, 0, 0, 4, 1, 2.0f, 8, 2, 0, {.help_mode = 1}); });
    EXPECT_TRUE(only(t, "ADDWIDGETHELP").empty());
}

TEST_F(WidgetCreate, ValueEntryKeepsTheNumberItWasSetTo) {
    start();
    const int id = gmCreateValueEntry(1, 0, 0, 4, 1, 0.0f, 8, 2, 0);
    gmSetValueSetting(id, 1234567.875f);
    EXPECT_EQ(gmEnqValueSetting(id), 1234567.875);
    EXPECT_EQ(w(id).text, "1234567.88");  // shown rounded, held in full
    // A number the user typed in full comes back in full.
    w(id).value = 0.123456789;
    EXPECT_EQ(gmEnqValueSetting(id), 0.123456789);
    EXPECT_EQ(float(gmEnqValueSetting(id)), 0.123456789f);
    // The integer form goes through the nearest float.
    gmSetValueSetting(id, 16777217);
    EXPECT_EQ(gmEnqValueSetting(id), 16777216.0);
    w(id).value = -2.7;
    EXPECT_EQ(gmEnqValueSettingInteger(id), -2);
    // A refused enquiry answers 0.
    EXPECT_EQ(gmEnqValueSetting(make(wl::KIND_TEXT)), 0.0);
    EXPECT_EQ(console().back().text, "GINOMENU error 24 - Widget is not a numerical value entry");
}

TEST_F(WidgetCreate, ToggleTypeFromItsParent) {
    start();
    const int radio = gmCreateRadioBox(1, 0, 0, 4, 4);
    ASSERT_GT(radio, 0);
    auto t = trace([&] { gmCreateToggleButton(radio, 0, 0, 2, 1, "Xcalibur", 1); });
    EXPECT_TRUE(has(t, "REGTOGGLETYPE(6)"));
    EXPECT_TRUE(only(t, "ADDRADIO").size() == 1);
    t = trace([&] { gmCreateToggleButton(radio, 0, 1, 2, 1, "Stoe", 0, {.toggle_type = 7}); });
    EXPECT_TRUE(has(t, "REGTOGGLETYPE(7)"));
    const int panel = make(wl::KIND_PANEL);
    t = trace([&] { gmCreateToggleButton(panel, 0, 0, 2, 1, "P", 0); });
    EXPECT_TRUE(has(t, "REGTOGGLETYPE(7)"));
    t = trace([&] { gmCreateToggleButton(1, 0, 0, 2, 1, "C", 0); });
    EXPECT_TRUE(has(t, "REGTOGGLETYPE(0)"));
    EXPECT_TRUE(only(t, "ADDTOGGLE").size() == 1);
}

TEST_F(WidgetCreate, StatusFlagOnlyOneSetsStatusThree) {
    start();
    for (int flag : {0, 2}) {
        const auto t = trace([&] { gmCreatePushButton(1, 0, 0, 2, 1, "B", {.status_flag = flag}); });
        EXPECT_TRUE(only(t, "WIDGETSTATUS").empty()) << flag;
    }
    int id = 0;
    const auto t = trace([&] { id = gmCreatePushButton(1, 0, 0, 2, 1, "B", {.status_flag = 1}); });
    EXPECT_TRUE(has(t, "WIDGETSTATUS(" + std::to_string(id) + ", 3)"));
    EXPECT_EQ(w(id).state, wl::STATE_ACTIVE);
}

TEST_F(WidgetCreate, GraphicsFrameExtentsThenBounds) {
    start();
    int id = 0;
    const auto t = trace([&] { id = gmCreateGraphicsFrame(1, 1, 4, 18, 12, {0.0f, 300.0f, 0.0f, 200.0f}, {.callback = 200}); });
    ASSERT_GT(id, 0);
    EXPECT_EQ(w(id).kind, wl::KIND_FRAME);
    EXPECT_EQ(w(id).callback(), 200);
    GraphicsBounds b;
    gmEnqGraphicsFrameBounds(id, b);
    EXPECT_EQ(b.xmin, 0.0f);
    EXPECT_EQ(b.xmax, 300.0f);
    EXPECT_EQ(b.ymin, 0.0f);
    EXPECT_EQ(b.ymax, 200.0f);
    // Bounds set back to front give the same box.
    gmSetGraphicsFrameBounds(id, {300.0f, 10.0f, 200.0f, 20.0f});
    gmEnqGraphicsFrameBounds(id, b);
    EXPECT_EQ(b.xmin, 10.0f);
    EXPECT_EQ(b.xmax, 300.0f);
    EXPECT_EQ(b.ymin, 20.0f);
    EXPECT_EQ(b.ymax, 200.0f);
    EXPECT_TRUE(console().empty());
}

TEST_F(WidgetCreate, TextEntryKeepsItsTextAndPropertiesCarryIt) {
    start();
    int id = 0;
    const auto t = trace([&] { id = gmCreateTextEntry(1, 0, 0, 6, 1, "1 0 0", 20, 0, {.callback = 106}); });
    ASSERT_GT(id, 0);
    EXPECT_EQ(w(id).kind, wl::KIND_TEXT);
    EXPECT_TRUE(has(t, "ESCAPEROUTINE(75, 1, 1, 0, 0, 0, 0)"));
    EXPECT_TRUE(has(t, "SETWIDGETPROP(" + std::to_string(id) + ", 131, 1, 0.000000, \"1 0 0\")"));
    char hkl[30];
    gmEnqTextSetting(id, hkl, 30);
    EXPECT_EQ(std::string(hkl, 30), "1 0 0" + std::string(25, ' '));
    EXPECT_EQ(mf::scroll_mode(32764), 2);
    EXPECT_EQ(mf::scroll_mode(std::nullopt), 1);
}

TEST_F(WidgetCreate, IconAsIconButtonOrLoadedIcon) {
    start();
    int id = 0;
    auto t = trace([&] { id = gmCreateIcon(1, 0, 0, 2, 2, "#102", 4, 0, {.icon_type = 1}); });
    ASSERT_GT(id, 0);
    EXPECT_TRUE(has(t, "REGICONTYPE(1)"));
    EXPECT_EQ(w(id).icon, "#102");
    t = trace([&] { id = gmCreateIcon(1, 0, 0, 2, 2, "#102  ", 4, 0, {.icon_type = 7, .button_text = "Logo  "}); });
    EXPECT_TRUE(has(t, "REGICONTYPE(0)"));
    EXPECT_EQ(w(id).caption, "Logo");
    EXPECT_EQ(w(id).icon, "#102");
    // A missing image file is error 37 but the icon stays.
    id = gmCreateIcon(1, 0, 0, 2, 2, "no_such_icon.ico", 1, 0);
    EXPECT_GT(id, 0);
    EXPECT_EQ(console().back().text, "GINOMENU error 37 - Image file not found");
}

TEST_F(WidgetCreate, PushButtonsAndIconsAreKinds7And14AndTakeADragMoveCallback) {
    start();
    const int button = gmCreatePushButton(1, 0, 0, 2, 1, "Go", {.dragmove_callback = 61});
    const int icon = gmCreateIcon(1, 0, 0, 2, 2, "#102", 4, 0, {.dragmove_callback = 62});
    EXPECT_EQ(IGETWIDGETTYPE(button), 7);
    EXPECT_EQ(IGETWIDGETTYPE(icon), 14);
    EXPECT_EQ(w(button).callback(wl::Cb::DragMove), 61);
    EXPECT_EQ(w(icon).callback(wl::Cb::DragMove), 62);
    EXPECT_TRUE(console().empty());
}

TEST_F(WidgetCreate, RecodingTablesReachTheToolkit) {
    start();
    // Each code the caller gives (from) and the one the toolkit receives (to).
    struct Pair {
        int from, to;
    };
    for (const Pair r : {Pair{1, 4}, {8, 1}, {4, 2}, {32, 3}}) {
        const auto t = trace([&] { gmCreateComplexDialogueBox(1, 2, 2, 10, 8, 1, "D", {.draw_mode = r.from}); });
        EXPECT_TRUE(has(t, "SETDRAWMODE(" + std::to_string(r.to) + ")")) << r.from;
    }
    for (const Pair r : {Pair{1, 1}, {19, 1}}) {
        int id = 0;
        const auto t = trace([&] { id = gmCreateValueEntry(1, 0, 0, 4, 1, 0.5, 6, 1, r.from); });
        EXPECT_EQ(w(id).mode, r.to) << r.from;
    }
    for (const Pair r : {Pair{32763, 1}, {32764, 2}}) {
        const auto t = trace([&] { gmCreateTextEntry(1, 0, 0, 4, 1, "", 6, 0, {.scroll_mode = r.from}); });
        EXPECT_EQ(only(t, "ESCAPEROUTINE(500").front(), "ESCAPEROUTINE(500, 0, " + std::to_string(r.to) + ", 0, 0, 0, 0)");
    }
    for (const Pair r : {Pair{32763, 0}, {32764, 1}}) {
        const auto t = trace([&] { gmCreateRadioBox(1, 0, 0, 4, 4, {.radio_type = r.from}); });
        EXPECT_TRUE(has(t, "REGRADIOTYPE(" + std::to_string(r.to) + ")")) << r.from;
    }
    for (const Pair r : {Pair{7, 0}}) {
        const auto t = trace([&] { gmCreateIcon(1, 0, 0, 2, 2, "#102", 4, 0, {.icon_type = r.from}); });
        EXPECT_TRUE(has(t, "REGICONTYPE(" + std::to_string(r.to) + ")")) << r.from;
    }
    for (const Pair r : {Pair{0, 0}, {40, 1}}) {
        const int id = gmCreateGraphicsFrame(1, 1, 1, 4, 4, {0, 10, 0, 10}, {.frame_type = r.from});
        ASSERT_GT(id, 0);
        EXPECT_EQ(w(id).kind, r.to == 1 ? wl::KIND_FRAME3D : wl::KIND_FRAME) << r.from;
    }
    for (const Pair r : {Pair{31, 2}}) {
        int id = 0;
        const auto t = trace([&] { id = gmCreatePushButton(1, 0, 0, 2, 1, "B", {.help = "h", .help_mode = r.from}); });
        EXPECT_TRUE(has(t, "ADDWIDGETHELP(" + std::to_string(id) + ", " + std::to_string(r.to) + ", \"h\")"));
    }
    for (const Pair r : {Pair{32758, 1}, {32757, 2}, {32755, 3}, {32753, 4}, {32752, 5}}) {
        const auto t = trace([&] { gmSetRogueValueStr(r.from, 1, 2, "-"); });
        EXPECT_EQ(t, std::vector<std::string>{"REGROGUEVALUE(1, 2, " + std::to_string(r.to) + ", \"-\")"});
    }
    const int bar = make(wl::KIND_TOOLBAR);
    for (const Pair r : {Pair{2, 2}, {3, 3}, {4, 4}, {-1, 1}}) {
        const auto t = trace([&] { gmSetToolbarPos(bar, 0, 0, 0, r.from); });
        EXPECT_EQ(t, std::vector<std::string>{"ESCAPEROUTINE(5050, " + std::to_string(bar) + ", 0, 0, 0, " +
                                              std::to_string(r.to) + ", 0)"});
    }
    EXPECT_TRUE(console().empty());
}
