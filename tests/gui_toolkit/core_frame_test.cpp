// The operation frame: the error table, console messages, GUIERR and the small routines.
#include "core_fixture.h"

namespace {

using Frame = CoreTest;

TEST_F(Frame, ErrorTableNumbersEveryTextByItsIndex) {
    for (int nn = 1; nn <= GINOMENU_ERROR_COUNT; ++nn) {
        const std::string t = GINOMENU_ERROR_TEXT(nn);
        EXPECT_EQ(t.rfind("GINOMENU error " + std::to_string(nn) + " - ", 0), 0u) << t;
        EXPECT_LE(t.size(), 80u) << t;
    }
    const std::pair<int, const char*> cases[] = {
        {1, "GINOMENU error 1 - Master window must be first"},
        {3, "GINOMENU error 3 - Master window not defined"},
        {26, "GINOMENU error 26 - Invalid widget number"},
        {45, "GINOMENU error 45 - Grid size too small"},
        {54, "GINOMENU error 54 - cannot change window status"},
        {69, "GINOMENU error 69 - Not a video capture widget"},
    };
    for (const auto& [nn, text] : cases) EXPECT_EQ(GINOMENU_ERROR_TEXT(nn), text);
}

TEST_F(Frame, ErrorNumberOutsideTableShowsGenericText) {
    EXPECT_EQ(GINOMENU_ERROR_TEXT(0), "GINOMENU error 0 - Unknown error");
    EXPECT_EQ(GINOMENU_ERROR_TEXT(70), "GINOMENU error 70 - Unknown error");
    GINOER(1700);
    GMERR(2147483647, 0);
    ASSERT_EQ(console().size(), 2u);
    EXPECT_EQ(console()[0].text, "GINOMENU error 100 - Unknown error");
    EXPECT_EQ(console()[0].code, 1700);
    EXPECT_EQ(console()[1].text, "GINOMENU error 2147483647 - Unknown error");
}

TEST_F(Frame, CreationBeforeMasterReportsErrorOneAndReturnsZero) {
    int id = 77;
    DIACMP(1, 0, 0, id);
    EXPECT_EQ(id, 0);
    ASSERT_EQ(console().size(), 1u);
    EXPECT_EQ(console()[0].title, "gmCreateComplexDialogueBox");
    EXPECT_EQ(console()[0].text, "GINOMENU error 1 - Master window must be first");
    EXPECT_EQ(console()[0].code, 1601);
    EXPECT_EQ(CURRENT_ROUTINE, "");
    EXPECT_EQ(CURRENT_ROUTINE.view(), std::string(32, ' '));
}

TEST_F(Frame, EveryCheckedOperationBeforeTheMasterWindowReportsErrorOne) {
    char text[8];
    int a[1], n = 0, id = 0;
    rt::FText<30> name("keep");
    const std::pair<const char*, std::function<void()>> cases[] = {
        {"gmSetActiveWindow", [] { gmSetActiveWindow(1); }},
        {"gmSetActiveWidget", [] { ACTWID(1); }},
        {"gmManage", [] { gmManage(); }},
        {"gmCreateComplexDialogueBox", [&] { DIACMP(1, 0, 0, id); }},
        {"gmCreateMDIComplexDialogueBox", [&] { DIAMDI(1, 0, 0, id); }},
        {"gmFileBrowser", [&] { BROWSE(0, 0, 0, 0, name, "", "*.*|All"); }},
        {"gmDefineTimerCallback", [] { gmDefineTimerCallback(50, 990); }},
        {"gmDefineCallback", [] { gmDefineCallback(1, 5); }},
        {"gmDefineSelectCallback", [] { gmDefineSelectCallback(1, 5); }},
        {"gmDefineMoveCallback", [] { gmDefineMoveCallback(1, 5); }},
        {"CALLLF", [] { CALLLF(1, 5); }},
        {"gmDefineExposeCallback", [] { gmDefineExposeCallback(1, 5); }},
        {"gmPopWindow", [] { gmPopWindow(1); }},
        {"gmPushWindow", [] { gmPushWindow(1); }},
        {"gmRemoveWindow", [] { gmRemoveWindow(1); }},
        {"", [] { GMFIXWINDOW(1, 0, 0); }},
        {"gmDrawWindow", [] { gmDrawWindow(1); }},
        {"gmSetWindowIcon", [] { WINICO(1, "#101", 0, 0); }},
        {"gmSetWidgetStatus", [] { WIDSTA(1, 0); }},
        {"gmEnqWidgetInfo", [&] { WIDINF(1, text, 8, a, n, a, n); }},
        {"gmSetWidgetHelp", [] { WIDHLP(1, 3, "help"); }},
        {"gmDrawWidget", [] { WIDDRA(1); }},
        {"gmSetGuiCursor", [] { WIDCUR(-1, 0, -1); }},
        {"gmSetWidgetInfo", [] { WIDCHA(1, "x", nullptr, 0, nullptr, 0); }},
    };
    wl::model().trace_on = true;
    for (const auto& [title, call] : cases) {
        wl::model().console.clear();
        wl::model().trace.clear();
        call();
        ASSERT_EQ(console().size(), 1u) << title;
        EXPECT_EQ(console()[0].title, title);
        EXPECT_EQ(console()[0].text, "GINOMENU error 1 - Master window must be first") << title;
        EXPECT_EQ(console()[0].code, 1601);
        EXPECT_EQ(wl::model().trace.size(), 1u) << title << ": the library was called";
        EXPECT_EQ(CURRENT_ROUTINE, "") << title;
    }
    EXPECT_EQ(id, 0);
    EXPECT_EQ(name, "keep");
    EXPECT_EQ(wl::model().timer_callback, 0);
    EXPECT_FALSE(wl::model().busy_cursor);
}

TEST_F(Frame, GinoerTakesTheNumberWithoutSignAndTitlesWithTheRoutine) {
    GINOTS(2, "gmCreateMenuEntry");
    GINOER(-1626);
    GINOTS(2, "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789");  // cut to 32 characters
    GINOER(1607);
    ASSERT_EQ(console().size(), 2u);
    EXPECT_EQ(console()[0].title, "gmCreateMenuEntry");
    EXPECT_EQ(console()[0].text, "GINOMENU error 26 - Invalid widget number");
    EXPECT_EQ(console()[0].code, 1626);
    EXPECT_EQ(console()[1].title, "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345");
    EXPECT_EQ(console()[1].code, 1607);
}

TEST_F(Frame, GmerrOfZeroShowsTheAbortBoxAndGoesOn) {
    GMERR(0, 0);
    GMERR(-3, 0);
    ASSERT_EQ(console().size(), 2u);
    EXPECT_EQ(console()[0].title, "Program Abort");
    EXPECT_EQ(console()[0].text, "ACTION called without a master window defined");
    EXPECT_EQ(console()[0].code, 0);
    EXPECT_EQ(GMERRBUF.ABORTMSG.view().size(), 80u);
}

TEST_F(Frame, GuierrWithStarTitleGoesToConsole) {
    GUIERR("*", "abc");
    ASSERT_EQ(console().size(), 1u);
    EXPECT_EQ(console()[0].title, "");
    EXPECT_EQ(console()[0].text, "abc");
    EXPECT_EQ(console()[0].code, 0);
    EXPECT_EQ(GMERRBUF.IMSGCODE(1), 97);
    EXPECT_EQ(GMERRBUF.IMSGCODE(2), 98);
    EXPECT_EQ(GMERRBUF.IMSGCODE(3), 99);
    EXPECT_TRUE(transcript().empty());
    EXPECT_TRUE(wl::model().boxes.empty());

    GUIERR("*Reader   ", "bad line   ");
    EXPECT_EQ(console()[1].title, "Reader");
    EXPECT_EQ(console()[1].text, "bad line");
}

TEST_F(Frame, GuierrOpensErrorBoxWithTitleAndFullText) {
    rt::FText<20> title("Kelvorantide v3.72");
    gmDisplayErrorBox(title.view(), "Error opening file: Try again   ");
    ASSERT_EQ(wl::model().boxes.size(), 1u);
    EXPECT_EQ(transcript(), std::vector<std::string>{"box Kelvorantide v3.72 | Error opening file: Try again"});
    EXPECT_TRUE(console().empty());
    EXPECT_EQ(CURRENT_ROUTINE, "");
}

TEST_F(Frame, InfoBoxUsesKindOneAndInformationCode) {
    wl::model().trace_on = true;
    gmDisplayInfoBox("T", "note");
    gmDisplayInfoBox("*T", "note");
    EXPECT_EQ(wl::model().trace.front(), "ERRORBOX(\"T\", \"note\", 1)");
    ASSERT_EQ(console().size(), 1u);
    EXPECT_EQ(console()[0].code, -1);
}

TEST_F(Frame, ConsoleTextsAreCutAt256Codes) {
    const std::string title(300, 'T'), text(400, 'x');
    GUIERR("*" + title, text);
    GMERROR(title, text, 0);
    ASSERT_EQ(console().size(), 2u);
    for (const auto& m : console()) {
        EXPECT_EQ(m.title.size(), 256u);
        EXPECT_EQ(m.text.size(), 256u);
    }
}

TEST_F(Frame, StringLengths) {
    int n = -1;
    TRULEN("      ", n);
    EXPECT_EQ(n, 0);
    TRULEN("", n);
    EXPECT_EQ(n, 0);
    TRULEN(" ab c  ", n);
    EXPECT_EQ(n, 5);
    EXPECT_EQ(STRLEN(" "), 0);
    EXPECT_EQ(STRLEN(""), 0);
    EXPECT_GT(STRLEN("A    "), 0);
    EXPECT_EQ(STRLEN("A    "), GETSTRINGWIDTH("A", 1));
    EXPECT_EQ(STRLEN("AB"), 2 * STRLEN("A"));
}

TEST_F(Frame, HandleOfWidgetComesFromTheLibrary) {
    start_master();
    int h = 0;
    GET_HANDLE(1, h);
    EXPECT_NE(h, 0);
    EXPECT_EQ(GMGETWIDGETHANDLE(1), h);
}

}  // namespace
