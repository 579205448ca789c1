// Start-up, the grid, windows and dialogs, message boxes and the file browser.
#include <unistd.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "core_fixture.h"

namespace {

using Windows = CoreTest;

TEST_F(Windows, StartUpStartsTheLibraryAndRegistersTheDefaults) {
    wl::model().trace_on = true;
    gmInitializeMenu();
    const auto& t = wl::model().trace;
    for (const char* call : {"WININIT()", "DRAWTITLE()"})
        EXPECT_NE(std::find(t.begin(), t.end(), call), t.end()) << call;
    const wl::Registrations& r = wl::model().reg;
    EXPECT_EQ(r.min_w, 0);
    EXPECT_EQ(r.min_h, 0);
    EXPECT_EQ(r.max_w, 256);
    EXPECT_EQ(r.max_h, 256);
    const std::map<std::string, std::vector<double>, std::less<>> expected = {
        {"REGTOGGLEATTR", {0, 0, 1}}, {"REGTOGGLESIZE", {100}},         {"REGTOGGLETYPE", {0}},
        {"REGBUTTONATTR", {0, 0, 1}}, {"REGBUTTONSIZE", {100}},         {"REGBUTTONTYPE", {0}},
        {"REGVALUEATTR", {0, 0, 0, -1}}, {"REGVALUETYPE", {0, 0}},      {"REGTEXTATTR", {0, 0, 0, -1}},
        {"REGTEXTTYPE", {0, 0}},      {"REGSLIDERSIZE", {100}},         {"REGPANELTYPE", {1}},
        {"REGICONTYPE", {0}},         {"REGVALUESIZE", {100}},          {"REGTEXTSIZE", {100}},
        {"REGICONSIZE", {100}},
    };
    EXPECT_EQ(r.other, expected);
    EXPECT_EQ(POSITION_MODE(1), 0);
    EXPECT_EQ(CURRENT_ROUTINE, "");
}

TEST_F(Windows, GridCellsMustBeAtLeastTwelvePixels) {
    struct Case {
        int w, h, nx, ny;
        bool accepted;
    };
    const Case cases[] = {{640, 480, 32, 24, true}, {320, 240, 32, 24, false}, {640, 240, 32, 24, false},
                          {384, 288, 32, 24, true}, {640, 480, 0, 24, false},  {640, 480, 32, -1, false}};
    for (const Case& c : cases) {
        reset_toolkit();
        wl::model().screen_w = c.w;
        wl::model().screen_h = c.h;
        wl::model().grid_nx = 8;
        gmDefineGuiGrid(c.nx, c.ny);
        SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h) + " / " + std::to_string(c.nx));
        if (c.accepted) {
            EXPECT_TRUE(console().empty());
            EXPECT_EQ(wl::model().grid_nx, c.nx);
        } else {
            ASSERT_EQ(console().size(), 1u);
            EXPECT_EQ(console()[0].text, "GINOMENU error 45 - Grid size too small");
            EXPECT_EQ(console()[0].title, "gmDefineGuiGrid");
            EXPECT_EQ(wl::model().grid_nx, 8);
        }
    }
}

TEST_F(Windows, GridEnquiriesAndTheRetiredOverlayGrid) {
    wl::model().screen_w = 1024;
    wl::model().screen_h = 768;
    // The grid that was set, in columns and rows of cells of so many pixels.
    const std::array<int, 4> grids[] = {{32, 24, 32, 32}, {16, 12, 64, 64}, {20, 16, 51, 48}};
    for (const auto& g : grids) {
        gmDefineGuiGrid(g[0], g[1]);
        std::array<int, 4> got{};
        gmEnqGuiGrid(got[0], got[1], got[2], got[3]);
        EXPECT_EQ(got, g);
    }
    gmSetGuiGridMode(1);
    int mode = 0;
    gmEnqGuiGridMode(mode);
    EXPECT_EQ(mode, 1);
    GMMENUOVERLAYGRID(1, 1);
    ASSERT_EQ(console().size(), 1u);
    EXPECT_EQ(console()[0].title, "MENGRD");
    EXPECT_EQ(console()[0].text, "GINOMENU error 55 - Routine name is being deprecated");
    EXPECT_EQ(CURRENT_ROUTINE, "");
}

TEST_F(Windows, MasterWindowIsOneAndASecondIsRefused) {
    start_master();
    EXPECT_EQ(IGETWIDGETTYPE(1), wl::KIND_MASTER);
    EXPECT_EQ(transcript(), std::vector<std::string>{"show Kelvorantide v3.72"});
    int id = 5;
    MASTER(1, 1, id);
    EXPECT_EQ(id, 0);
    ASSERT_EQ(console().size(), 1u);
    EXPECT_EQ(console()[0].text, "GINOMENU error 18 - Duplicate master definition");
    EXPECT_EQ(IGETNEXTIDENTIFIER(), 2);
}

TEST_F(Windows, DialogParentsAndModes) {
    start_master();
    // A dialogue box hangs from a window, a push button or an icon, not from a text entry.
    const int entry = widget(wl::KIND_TEXT, 1);
    int id = 0;
    DIACMP(entry, 0, 0, id);
    EXPECT_EQ(id, 0);
    for (int parent : {widget(wl::KIND_BUTTON, 1), widget(wl::KIND_ICON, 1)}) {
        DIACMP(parent, 0, 0, id);
        EXPECT_GT(id, 0);
    }
    DIACMP(0, 0, 0, id);
    EXPECT_EQ(id, 0);
    const int dlg = dialog("Box");
    EXPECT_EQ(IGETWIDGETTYPE(dlg), wl::KIND_DIALOG);
    EXPECT_FALSE(wl::model().find(dlg)->shown);
    BUIMOD(2);
    DRAMOD(5);
    DRAMOD(-1);
    ASSERT_EQ(console().size(), 4u);
    EXPECT_EQ(console()[0].code, 1607);
    EXPECT_EQ(console()[1].code, 1626);
    EXPECT_EQ(console()[2].code, 1659);
    EXPECT_EQ(console()[3].code, 1659);
    EXPECT_EQ(wl::model().reg.draw_mode, -1);
}

TEST_F(Windows, ModalDialogIsShownActivatedAndRemoved) {
    start_master();
    const int dlg = dialog("Kelvorantide v3.72 Cell Refinement");
    gmDrawWindow(dlg);
    gmSetActiveWindow(dlg);
    EXPECT_EQ(wl::model().active_window, dlg);
    gmDrawWindow(dlg);  // a redraw while shown shows nothing new
    gmRemoveWindow(dlg);
    gmSetActiveWindow(0);  // 0 names the master window
    EXPECT_EQ(wl::model().active_window, 1);
    EXPECT_EQ(transcript(), (std::vector<std::string>{"show Kelvorantide v3.72",
                                                      "show Kelvorantide v3.72 Cell Refinement",
                                                      "hide Kelvorantide v3.72 Cell Refinement"}));
    const int button = widget(wl::KIND_BUTTON, dlg);
    gmSetActiveWindow(button);
    gmSetActiveWindow(-2);
    ASSERT_EQ(console().size(), 2u);
    EXPECT_EQ(console()[0].text, "GINOMENU error 25 - Not a window widget");
    EXPECT_EQ(console()[1].code, 1626);
}

TEST_F(Windows, DrawWidgetDrawsWindowsAsWindowsAndActivatesHeldControls) {
    start_master();
    const int dlg = dialog("Box");
    const int button = widget(wl::KIND_BUTTON, dlg);
    const int sep = widget(wl::KIND_SEPARATOR, 1);
    gmDrawWidget(dlg);
    EXPECT_TRUE(wl::model().find(dlg)->shown);
    gmDrawWidgetHold(button, 1);
    EXPECT_EQ(wl::model().focus, button);
    gmDrawWidgetHold(sep, 1);
    EXPECT_EQ(wl::model().focus, button);
    EXPECT_TRUE(console().empty());
}

TEST_F(Windows, MessageBoxesAnswerWithTheButtonCode) {
    script({"answer 3", "answer 6"});
    start_master();
    EXPECT_EQ(gmDisplayMessageBox("Kelvorantide v3.72", "Are you sure you want to exit the program?", 1, 3), 3);
    gmDisplayMessageBox("Kelvorantide v3.72", "Data File read in successfully", 3, 0);
    EXPECT_EQ(gmDisplayMessageBox("Kelvorantide v3.72",
                                  "Output file already exists: Overwrite (YES) or Append (No)", 1, 4),
              6);
    const std::vector<std::string> expected = {
        "show Kelvorantide v3.72",
        "ask Kelvorantide v3.72 | Are you sure you want to exit the program? -> 3",
        "box Kelvorantide v3.72 | Data File read in successfully",
        "ask Kelvorantide v3.72 | Output file already exists: Overwrite (YES) or Append (No) -> 6"};
    EXPECT_EQ(transcript(), expected);
    EXPECT_EQ(CURRENT_ROUTINE, "");
}

TEST_F(Windows, UnansweredQuestionEndsTheRunWithStatusThree) {
    start_master();
    EXPECT_EQ(exit_status([] { gmDisplayMessageBox("T", "Q?", 2, 4); }), wl::script::EXIT_EXHAUSTED);
    EXPECT_TRUE(wl::script::exhausted());
}

class Browser : public CoreTest {
protected:
    std::filesystem::path start, dir;
    void SetUp() override {
        CoreTest::SetUp();
        start = std::filesystem::current_path();
        dir = std::filesystem::path(KV_BINARY_DIR) / "core_browser_dir" / std::string(::testing::UnitTest::GetInstance()->current_test_info()->name());  // one folder per test: tests run in parallel
        std::filesystem::create_directories(dir / "sub");
        std::ofstream(dir / "sub" / "inst.par") << "PKPAR\n";
    }
    void TearDown() override { std::filesystem::current_path(start); }
};

TEST_F(Browser, ChosenFileComesBackBareAndBecomesTheCurrentDirectory) {
    start_master();
    std::filesystem::current_path(dir);
    script({"file sub/inst.par"});
    rt::FText<30> name("old");
    WIDSTR("Open Parameter File");
    wl::model().trace_on = true;
    BROWSE(-1, 0, 0, 0, name, "", "*.par|(Parameter File)|*.*|(All Files)");
    EXPECT_EQ(name, "inst.par");
    EXPECT_EQ(std::filesystem::current_path(), dir / "sub");
    EXPECT_EQ(wl::model().trace.front(), "OPENBROWSE(1, \"\", \"*.par|(Parameter File)|*.*|(All Files)\")");
    EXPECT_EQ(transcript().back(), "file Open Parameter File -> " + (std::filesystem::canonical(dir) / "sub/inst.par").string());
}

TEST_F(Browser, CancelLeavesTheNameBlank) {
    start_master();
    script({"cancel"});
    char name[10];
    std::memset(name, ' ', sizeof name);  // no name proposed
    std::string filter = "*.par|(Parameter File)";
    gmFileBrowser(name, 10, " ", filter);
    EXPECT_EQ(std::string(name, 10), std::string(10, ' '));
    EXPECT_EQ(transcript().back(), "file File Browser -> cancel");
}

TEST_F(Browser, NameLongerThanTheCallerHoldsIsRefused) {
    start_master();
    std::filesystem::current_path(dir);
    script({"file sub/inst.par"});
    rt::FText<5> name;
    BROWSE(0, 0, 0, 0, name, "", "*.*|(All Files)");
    EXPECT_EQ(name.view(), "     ");
    EXPECT_EQ(std::filesystem::current_path(), dir);
    ASSERT_FALSE(wl::model().boxes.empty());
    EXPECT_EQ(wl::model().boxes.back().title, "ERROR");
}

TEST_F(Browser, WithoutMasterNothingOpens) {
    rt::FText<30> name("keep");
    BROWSE(0, 0, 0, 0, name, "", "*.*|(All Files)");
    EXPECT_EQ(name, "keep");
    ASSERT_EQ(console().size(), 1u);
    EXPECT_EQ(console()[0].title, "gmFileBrowser");
}

TEST_F(Windows, CloseMenuRemovesEveryWindow) {
    start_master();
    const int dlg = dialog("Box");
    gmDrawWindow(dlg);
    gmCloseMenu();
    EXPECT_FALSE(wl::model().find(1)->shown);
    EXPECT_FALSE(wl::model().find(dlg)->shown);
    EXPECT_EQ(transcript().back(), "hide Kelvorantide v3.72");
}

// The help window: the procedure goes through its plain body to the library, without a master
// check, with one blank for an absent topic.
TEST_F(Windows, HelpWindowNeedsNoMasterAndPassesTheTopicOrOneBlank) {
    const std::string help = testing::TempDir() + "kelvor.hlp";
    std::ofstream(help) << "Fitting\nCell\n";
    wl::model().trace_on = true;
    const std::string_view topic = "Fitting";
    EXPECT_EQ(GMDISPLAYHELP(help, "contents"), 0);
    EXPECT_EQ(GMDISPLAYHELP(help, "index", &topic), 0);
    int result = 7;
    GUIHLP("kelvor.hlp", result, "key", "Cell");  // no such file here: nothing is shown
    EXPECT_EQ(result, 1);
    EXPECT_EQ(wl::model().trace, (std::vector<std::string>{"DISPLAYHELP(\"" + help + "\", \"contents\", \"\")",
                                                           "DISPLAYHELP(\"" + help + "\", \"index\", \"Fitting\")",
                                                           "DISPLAYHELP(\"kelvor.hlp\", \"key\", \"Cell\")"}));
    EXPECT_TRUE(console().empty());
    EXPECT_EQ(CURRENT_ROUTINE, "");
}

}  // namespace
