// Menus, list boxes, push buttons and the status bar: the two ids of a menu-bar title, entries
// that deliver their callback numbers, list entries with selection.
#include "widget_fixture.h"

using WidgetMenus = WidgetTest;

TEST_F(WidgetMenus, TitleTakesTwoIdsAndPulldownAnswersTitlePlusOne) {
    start();
    const int bar = gmCreateMenuBar(1);
    ASSERT_GT(bar, 1);
    int library_id = 0;
    const auto t = trace([&] { library_id = gmCreateMenuEntry(bar, "File", {.accelerator = 70}); });
    // The library's id is the pulldown's; the title is one below it.
    const int title = library_id;
    EXPECT_EQ(w(title).kind, wl::KIND_MENUTITLE);
    EXPECT_EQ(w(title).caption, "File");
    EXPECT_EQ(w(title + 1).kind, wl::KIND_PULLDOWN);
    EXPECT_EQ(w(title + 1).parent, title);
    EXPECT_EQ(only(t, "REGACCEL").size(), 0u);  // a title gets no accelerator registration

    int menu = 0;
    const auto p = trace([&] { menu = GMCREATEPULLDOWNMENU(title); });
    EXPECT_EQ(menu, title + 1);
    EXPECT_TRUE(only(p, "ADDMENU").empty());  // no library call: the pulldown exists already

    const int entry = gmCreateMenuEntry(menu, "Open data file", {.callback = 312});
    EXPECT_EQ(w(entry).kind, wl::KIND_MENUENTRY);
    EXPECT_EQ(w(entry).callback(), 312);
    EXPECT_EQ(gmCreateMenuSeparator(menu), entry + 1);
    EXPECT_EQ(w(entry + 1).kind, wl::KIND_SEPARATOR);

    // Greying the title makes its entries unusable; the master window must be shown.
    gmManage();
    EXPECT_TRUE(wl::model().operable(entry));
    gmSetWidgetStatus(title, STATUS_GREYED);
    EXPECT_FALSE(wl::model().operable(entry));
    EXPECT_TRUE(console().empty());
}

TEST_F(WidgetMenus, EntryHelpEscapeAndRefusal) {
    start();
    const int bar = gmCreateMenuBar(1);
    const int menu = GMCREATEPULLDOWNMENU(gmCreateMenuEntry(bar, "Utilities"));
    int id = 0;
    const auto t = trace([&] { id = gmCreateMenuEntry(menu, "Calc Unit Cell", {.callback = 332, .help = "Refine"}); });
    EXPECT_TRUE(has(t, "ADDWIDGETHELP(" + std::to_string(id) + ", 2, \"Refine\")"));
    EXPECT_EQ(only(t, "ESCAPEROUTINE(854").back(), "ESCAPEROUTINE(854, " + std::to_string(id) + ", 0, 0, 0, 0, 0)");

    // An entry under a push button is refused: error 7, id 0, and no escape follows.
    const int button = gmCreatePushButton(1, 0, 0, 2, 1, "Go");
    const auto r = trace([&] { id = gmCreateMenuEntry(button, "x", {.callback = 5}); });
    EXPECT_EQ(id, 0);
    EXPECT_TRUE(only(r, "ESCAPEROUTINE").empty());
    EXPECT_TRUE(only(r, "SETCALLBACK").empty());
    ASSERT_FALSE(console().empty());
    EXPECT_EQ(console().back().text, "GINOMENU error 7 - Parent cannot support this child");
    EXPECT_EQ(console().back().title, "gmCreateMenuEntry");
}

TEST_F(WidgetMenus, MenuBarStyleOtherThanMinusOneIsRetired) {
    start();
    int id = 5;
    MENBAR(1, 0, 0, id);
    EXPECT_EQ(id, 0);
    EXPECT_EQ(console().back().text, "GINOMENU error 48 - Feature no longer supported");
    EXPECT_EQ(console().back().code, 1648);
}

TEST_F(WidgetMenus, EntryCutToItsTextInAWindowOfKindOne) {
    start();
    const int window = make(wl::KIND_WINDOW);
    const auto t = trace([&] { gmCreateMenuEntry(window, "Run   "); });
    EXPECT_TRUE(has(t, "ADDMENUSTRING(" + std::to_string(window) + ", \"Run\", 3)"));
}

TEST_F(WidgetMenus, PushButtonWithBlankLabelGetsOneBlank) {
    start();
    int id = 0;
    const auto t = trace([&] { id = gmCreatePushButton(1, 1, 1, 3, 1, "    ", {.callback = 101}); });
    EXPECT_TRUE(has(t, "ADDBUTTON(1, 0, \"\", 1, 1)"));
    EXPECT_EQ(w(id).caption, " ");
    EXPECT_TRUE(only(t, "REGACCEL").empty());
    EXPECT_EQ(w(id).callback(), 101);
}

TEST_F(WidgetMenus, ListEntriesSentAndKept) {
    start();
    const int list = gmCreateListBox(1, 1, 1, 6, 4, 0, {.type3 = 0});
    ASSERT_GT(list, 0);
    struct Case {
        int action;
        ListEntryOptions o;
        std::string sent;
    } cases[] = {
        {0, {.text = "Cubic"}, "LISTBOXSET(" + std::to_string(list) + ", 0, 0, \"Cubic\")"},
        {0, {.text = "Monoclinic-b"}, "LISTBOXSET(" + std::to_string(list) + ", 0, 0, \"Monoclinic-b\")"},
        {3, {.index = 7}, "LISTBOXSET(" + std::to_string(list) + ", 7, 3, \"\")"},
        {6, {}, "LISTBOXSET(" + std::to_string(list) + ", -1, 6, \"\")"},
        {5, {}, "LISTBOXSET(" + std::to_string(list) + ", -1, 5, \"*.*\")"},
    };
    for (const auto& c : cases) {
        const auto t = trace([&] { gmSetListEntry(list, c.action, c.o); });
        EXPECT_EQ(only(t, "LISTBOXSET"), std::vector<std::string>{c.sent}) << c.sent;
    }
    EXPECT_EQ(w(list).items.at(0), "Cubic");
    EXPECT_EQ(w(list).items.at(1), "Monoclinic-b");

    // A long text is cut at 1024 characters.
    const std::string long_text(1500, 'x');
    const auto t = trace([&] { gmSetListEntry(list, 0, {.text = long_text}); });
    EXPECT_EQ(w(list).items.back(), std::string(1024, 'x'));

    // The selection, as the user makes it, is the third value of the status.
    w(list).selection = 2;
    int a = 0, b = 0, c = 0;
    gmEnqListStatus(list, a, b, c);
    EXPECT_EQ(c, 2);
    char text[20];
    EXPECT_EQ(gmEnqListEntry(list, 0, text, 20), 0);
    EXPECT_EQ(std::string(text, 20), "Monoclinic-b        ");
}

TEST_F(WidgetMenus, StatusBarGivenBothTextsEndsWithTheSecond) {
    start();
    int id = 0;
    const auto t = trace([&] { id = gmCreateStatusBar(1, {.second_text = "second", .first_text = "first"}); });
    const auto sets = only(t, "SETSTATUSTEXT");
    ASSERT_EQ(sets.size(), 2u);
    EXPECT_EQ(sets[0], "SETSTATUSTEXT(" + std::to_string(id) + ", 0, \"first\")");
    EXPECT_EQ(sets[1], "SETSTATUSTEXT(" + std::to_string(id) + ", 0, \"second\")");
    EXPECT_EQ(w(id).text, "second");

    // The program's own bar: the title with its trailing blanks, then the notice.
    const int bar = gmCreateStatusBar(1, {.second_text = "Kelvorantide v3.72  (c) notice  "});
    EXPECT_EQ(wl::find_extra(bar)->pane_text.at(0), "Kelvorantide v3.72  (c) notice  ");
}
