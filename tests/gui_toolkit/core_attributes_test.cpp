// Window operations and the attributes every widget has.
#include <cstring>

#include "core_fixture.h"

namespace {

using Attributes = CoreTest;

TEST_F(Attributes, WindowOperationsBeforeMasterDoNothing) {
    wl::model().trace_on = true;
    WINREM(1);
    WINDRA(1);
    WIDSTA(1, 0);
    ASSERT_EQ(console().size(), 3u);
    for (const auto& m : console()) EXPECT_EQ(m.code, 1601);
    EXPECT_EQ(console()[0].title, "gmRemoveWindow");
    EXPECT_EQ(console()[1].title, "gmDrawWindow");
    EXPECT_EQ(console()[2].title, "gmSetWidgetStatus");
    EXPECT_TRUE(wl::model().trace.size() == 3u);  // only the console messages
}

TEST_F(Attributes, WindowChecksAndDrawModes) {
    start_master();
    const int dlg = dialog("Box");
    const int button = widget(wl::KIND_BUTTON, dlg);
    const int pulldown = widget(wl::KIND_PULLDOWN, 1);
    const int popup = widget(wl::KIND_POPUP, 1);
    const int window = widget(wl::KIND_WINDOW, 1);
    wl::model().trace_on = true;
    WINREM(button);
    WINREM(0);
    WINDRA(pulldown);
    WINDRA(popup);
    WINDRA(window);
    WINDRA(dlg);
    WINTOP(-dlg);
    WINBOT(button);
    const std::vector<std::string> calls = {
        "errormessage_(\"gmRemoveWindow\", \"GINOMENU error 25 - Not a window widget\", 1625)",
        "errormessage_(\"gmRemoveWindow\", \"GINOMENU error 26 - Invalid widget number\", 1626)",
        "WINDOWDRAW(2, " + std::to_string(pulldown) + ")",
        "WINDOWDRAW(2, " + std::to_string(popup) + ")",
        "WINDOWDRAW(1, " + std::to_string(window) + ")",
        "WINDOWDRAW(0, " + std::to_string(dlg) + ")",
        "WINDOWPOP(" + std::to_string(-dlg) + ")",
        "errormessage_(\"gmPushWindow\", \"GINOMENU error 25 - Not a window widget\", 1625)",
    };
    EXPECT_EQ(wl::model().trace, calls);
}

TEST_F(Attributes, TitleStringRegistrationIsClamped) {
    start_master();
    WIDSTR(std::string(300, 'c'));
    EXPECT_EQ(wl::model().reg.title.size(), 255u);
    WIDSTR("");
    EXPECT_EQ(wl::model().reg.title, "");
}

TEST_F(Attributes, TitleTypeOutOfRangeIsReportedAndStillRegistered) {
    const std::pair<int, bool> cases[] = {{-32, true}, {-31, false}, {1, false}, {2, true}, {-11, false}};
    for (const auto& [type, error] : cases) {
        reset_toolkit();
        WIDTTL(type);
        EXPECT_EQ(wl::model().reg.title_type, type);
        EXPECT_EQ(console().size(), error ? 1u : 0u) << type;
        if (error) {
            EXPECT_EQ(console()[0].code, 1635);
        }
    }
}

TEST_F(Attributes, RemoveModeAndStyleRanges) {
    REMMOD(2);
    REMMOD(3);
    WINTYP(4);
    WINTYP(0);
    EXPECT_EQ(wl::model().reg.remove_mode, 2);
    ASSERT_EQ(console().size(), 2u);
    EXPECT_EQ(console()[0].code, 1659);
    EXPECT_EQ(console()[1].text, "GINOMENU error 33 - Type out of range");
}

TEST_F(Attributes, PlacementIsRecordedForLaterCreations) {
    WIDPOS(4, 1);
    EXPECT_EQ(POSITION_MODE(1), 4);
    EXPECT_EQ(POSITION_MODE(2), 1);
    EXPECT_EQ(wl::model().reg.position_code, 4);
    WIDMIN(20, 19);
    WIDMAX(0, 0);
    EXPECT_EQ(wl::model().reg.min_w, 20);
    EXPECT_EQ(wl::model().reg.max_h, 0);
}

TEST_F(Attributes, WidgetStatusGreysHidesAndReportsTheLibrarysRefusal) {
    start_master();
    const int entry = widget(wl::KIND_VALUE, 1);
    const int title = widget(wl::KIND_MENUTITLE, 1);
    WIDSTA(title, 0);
    EXPECT_EQ(wl::model().find(title)->state, 0);
    WIDSTA(entry, -1);
    EXPECT_EQ(wl::model().find(entry)->state, -1);
    WIDSTA(entry, 7);
    WIDSTA(1, 0);
    WIDSTA(999, 1);
    ASSERT_EQ(console().size(), 3u);
    EXPECT_EQ(console()[0].text, "GINOMENU error 51 - Invalid status for entry widget");
    EXPECT_EQ(console()[1].text, "GINOMENU error 54 - cannot change window status");
    EXPECT_EQ(console()[2].code, 1626);
    EXPECT_EQ(wl::model().find(entry)->state, -1);
}

TEST_F(Attributes, WidgetInfoIsCutToTheCallersText) {
    start_master();
    const int entry = widget(wl::KIND_TEXT, 1);
    wl::model().find(entry)->text = "abcdefghijklmnop";
    char text[10];
    int a1[2], a2[2], n1 = 2, n2 = 2;  // the lists' lengths: no more is written
    WIDINF(entry, text, 10, a1, n1, a2, n2);
    EXPECT_EQ(std::string(text, 10), "abcdefghij");
    char wide[20];
    WIDINF(entry, wide, 20, a1, n1, a2, n2);
    EXPECT_EQ(std::string(wide, 20), "abcdefghijklmnop    ");
    WIDINF(0, text, 10, a1, n1, a2, n2);
    ASSERT_EQ(console().size(), 1u);
    EXPECT_EQ(console()[0].title, "gmEnqWidgetInfo");
}

TEST_F(Attributes, HelpRedrawAndInfoNeedAWidgetNumber) {
    start_master();
    const int button = widget(wl::KIND_BUTTON, 1);
    WIDHLP(button, 3, "Accept the fit");
    EXPECT_EQ(wl::model().find(button)->help, "Accept the fit");
    WIDHLP(0, 3, "x");
    WIDDRA(-4);
    WIDCHA(button, "Accept", nullptr, 0, nullptr, 0);
    EXPECT_EQ(wl::model().find(button)->caption, "Accept");
    ASSERT_EQ(console().size(), 2u);
    EXPECT_EQ(console()[0].title, "gmSetWidgetHelp");
    EXPECT_EQ(console()[1].title, "gmDrawWidget");
}

TEST_F(Attributes, CursorOnFramesAndTheBusyCursor) {
    start_master();
    const int frame = widget(wl::KIND_FRAME, 1);
    const int button = widget(wl::KIND_BUTTON, 1);
    WIDCUR(-1, 0, -1);
    EXPECT_TRUE(wl::model().busy_cursor);
    WIDCUR(-1, 0, 0);
    EXPECT_FALSE(wl::model().busy_cursor);
    WIDCUR(frame, 2, 0);
    WIDCUR(-2, 0, 0);
    WIDCUR(button, 0, 0);
    ASSERT_EQ(console().size(), 2u);
    EXPECT_EQ(console()[0].code, 1626);
    EXPECT_EQ(console()[1].code, 1631);
}

TEST_F(Attributes, WindowIconLoadsResourcesAndReportsMissingFiles) {
    start_master();
    WINICO(1, "#101", 4, 0);
    EXPECT_EQ(wl::model().find(1)->icon, "#101");
    WINICO(1, "no_such_icon.ico", 0, 0);
    ASSERT_EQ(console().size(), 1u);
    EXPECT_EQ(console()[0].text, "GINOMENU error 37 - Image file not found");
    EXPECT_EQ(console()[0].title, "gmSetWindowIcon");
}

}  // namespace
