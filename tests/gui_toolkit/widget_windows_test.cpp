// Window and menu creation: registrations before the creation, saved icon values, draw modes,
// a second master window.
#include "gui_toolkit/menu_f90_rules.h"
#include "widget_fixture.h"

using WidgetWindows = WidgetTest;

TEST_F(WidgetWindows, MasterWindowOfTheProgram) {
    gmInitializeMenu();
    int id = 0;
    const auto t = trace([&] {
        id = gmCreateMasterWindow(5, 5, 20, 19, 11, "Kelvorantide v3.72  ", {.icon1 = 4, .icon_name = "#101"});
    });
    EXPECT_EQ(id, 1);
    const std::vector<std::string> expected = {
        "REGBUILDMODE(1)",
        "REGMINIMUM(20, 19)",
        "REGMAXIMUM(0, 0)",
        "REGTITLETYPE(-11)",
        "REGTITLESTRING(\"Kelvorantide v3.72  \", 20)",
        "REGPOSITION(0, 0)",
        "SETDRAWMODE(0)",
        "OPENMASTER(5, 5)",
        "WINDOWICON(1, \"#101\", 4, 0, 0)",
    };
    EXPECT_EQ(t, expected);
    EXPECT_EQ(w(1).icon, "#101");

    // A second master window is refused and gets nothing.
    const auto r = trace([&] { id = gmCreateMasterWindow(1, 1, 5, 5, 1, "Again", {.icon_name = "#101", .callback = 7}); });
    EXPECT_EQ(id, 0);
    EXPECT_EQ(console().back().text, "GINOMENU error 18 - Duplicate master definition");
    EXPECT_TRUE(only(r, "SETCALLBACK").empty());
    EXPECT_TRUE(only(r, "WINDOWICON").empty());
}

TEST_F(WidgetWindows, DialogueBoxRegistrationsAndSavedIconValues) {
    start();
    int id = 0;
    // Only a maximum width: the maximum size stays (0, 0).
    auto t = trace([&] { id = gmCreateComplexDialogueBox(1, 2, 2, 10, 8, 1, "Fit", {.max_width = 30}); });
    ASSERT_GT(id, 0);
    EXPECT_EQ(t.front(), "REGTITLETYPE(-1)");
    EXPECT_TRUE(has(t, "REGMAXIMUM(0, 0)"));
    EXPECT_TRUE(has(t, "SETREMOVEMODE(0)"));
    EXPECT_EQ(w(id).kind, wl::KIND_DIALOG);
    EXPECT_FALSE(w(id).shown);  // hidden until drawn

    // Values given without a name are saved; a later name-only call uses them.
    gmCreateComplexDialogueBox(1, 2, 2, 10, 8, 1, "A", {.icon1 = 4, .icon2 = 9});
    t = trace([&] { id = gmCreateComplexDialogueBox(1, 2, 2, 10, 8, 1, "B", {.icon_name = "#101"}); });
    EXPECT_TRUE(has(t, "WINDOWICON(" + std::to_string(id) + ", \"#101\", 4, 9, 0)"));
    // A refused call saves nothing.
    gmCreateComplexDialogueBox(make(wl::KIND_TEXT), 2, 2, 10, 8, 1, "C", {.icon1 = 1, .icon2 = 1});
    t = trace([&] { id = gmCreateDialogueBox(1, 2, 2, 10, 8, 1, "D", {.icon_name = "#101"}); });
    EXPECT_TRUE(has(t, "WINDOWICON(" + std::to_string(id) + ", \"#101\", 4, 9, 0)"));
    // The master window keeps its own pair.
    EXPECT_EQ(mf::negated(-2147483647 - 1), 2147483647);
}

TEST_F(WidgetWindows, DrawModes) {
    struct Case {
        OptInt given;
        int registered;
    } cases[] = {{{}, 0}, {1, 4}, {8, 1}, {4, 2}, {32, 3}, {2, 2}};
    for (const auto& c : cases) EXPECT_EQ(mf::draw_mode(c.given), c.registered);
    start();
    const auto t = trace([&] { gmCreateComplexDialogueBox(1, 2, 2, 10, 8, 1, "Fit", {.draw_mode = 8}); });
    EXPECT_TRUE(has(t, "SETDRAWMODE(1)"));
}

TEST_F(WidgetWindows, PopupMenuAndTabBox) {
    start();
    int id = 0;
    auto t = trace([&] { id = gmCreatePopupMenu(1, 3, 4, 2, "Pop"); });
    ASSERT_GT(id, 0);
    EXPECT_EQ(w(id).kind, wl::KIND_POPUP);
    EXPECT_TRUE(has(t, "REGMINIMUM(0, 0)"));
    EXPECT_TRUE(has(t, "REGTITLETYPE(-2)"));
    EXPECT_TRUE(has(t, "ADDMENUPOP(1, 3, 5)"));  // on the master window with a title type the second value is one up
    const int tab = gmCreateTabDialogueBox(1, 0, 0, 8, 8, {.status = STATUS_GREYED});
    ASSERT_GT(tab, 0);
    EXPECT_EQ(w(tab).kind, wl::KIND_TABBOX);
    EXPECT_EQ(w(tab).state, wl::STATE_GREYED);
}

TEST_F(WidgetWindows, TitleStringStaysInForceForTheFileBrowser) {
    start();
    gmCreateComplexDialogueBox(1, 2, 2, 10, 8, 1, "Choose the parameter file");
    const int bar = gmCreateMenuBar(1);
    GMCREATEPULLDOWNMENU(gmCreateMenuEntry(bar, "File"));  // registers title type 0 only
    gmCreateRadioBox(1, 0, 0, 4, 4);                         // without a title: title type 0 only
    gmCreateGraphicsFrame(1, 1, 1, 4, 4, {0, 1, 0, 1});
    EXPECT_EQ(wl::model().reg.title_type, 0);
    EXPECT_EQ(wl::model().reg.title, "Choose the parameter file");
    wl::script::load_lines({"cancel"});
    char name[30];
    std::memset(name, ' ', sizeof name);  // no name proposed
    BROWSE(0, 0, 0, 0, name, 30, ".", "*.par|(Parameter File)");
    EXPECT_EQ(transcript_last(), "file Choose the parameter file -> cancel");
}
