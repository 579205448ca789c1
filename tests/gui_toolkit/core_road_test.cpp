// One road through the interface as the program builds and drives it: the widgets made by the
// widget module, waits nested in the main loop, a modal dialog, the exit question, all from a
// script.
#include "core_fixture.h"
#include "gui_toolkit/menu_f90.h"

namespace {

class Road : public CoreTest {
protected:
    int title = 0, entry = 0, dlg = 0, value = 0, toggle = 0;

    void build() {
        gmInitializeMenu();
        gmDefineGuiGrid(32, 24);
        rt::FText<20> prog("Kelvorantide v3.72");
        GRAPHICS.IMASTER = gmCreateMasterWindow(5, 5, 20, 19, 11, prog.view(), {.icon1 = 4, .icon_name = "#101"});
        const int bar = gmCreateMenuBar(GRAPHICS.IMASTER);
        title = gmCreateMenuEntry(bar, "Integrate");
        const int pull = GMCREATEPULLDOWNMENU(title);
        entry = gmCreateMenuEntry(pull, "Manual profile fit", {.callback = 321});
        dlg = gmCreateComplexDialogueBox(GRAPHICS.IMASTER, 2, 2, 12, 10, 1, "Kelvorantide v3.72 Fitting");
        value = gmCreateValueEntry(dlg, 1, 1, 4, 1, 0.5, 10, 3, 0);
        toggle = gmCreateToggleButton(dlg, 1, 2, 4, 1, "Refine", 0);
        gmCreatePushButton(dlg, 1, 3, 3, 1, "Ok", {.callback = 53});
        GRAPHICS.IWID(5, 3) = value;
        GRAPHICS.IWID(5, 4) = toggle;
        REGHANDLETABLE(GRAPHICS.IWID.data(), GRAPHICS.IWID.rows(), GRAPHICS.IWID.cols());
        gmDisplayMessageBox(prog.view(), "Data File read in successfully", 3, 0);
        gmManage();
        ASSERT_TRUE(console().empty()) << console()[0].title << ": " << console()[0].text;
    }

    // The main loop with its exit question and one modal dialog behind menu entry 321.
    std::vector<std::string> run_main_loop() {
        std::vector<std::string> seen;
        for (int icb = 0;;) {
            gmAction(icb);
            if (icb == -1) {
                if (gmDisplayMessageBox("Kelvorantide v3.72", "Are you sure you want to exit the program?", 1, 3) != 3)
                    break;
            } else if (icb == 321) {
                gmDrawWindow(dlg);
                gmSetActiveWindow(dlg);
                for (;;) {
                    gmAction(icb);
                    if (icb == 53) break;
                }
                seen.push_back("value " + std::to_string(gmEnqValueSetting(value)) + " toggle " +
                               std::to_string(gmEnqToggleSwitch(toggle)));
                gmRemoveWindow(dlg);
                gmSetActiveWindow(GRAPHICS.IMASTER);
            }
        }
        return seen;
    }
};

TEST_F(Road, ScriptDrivesMenuDialogAndExitQuestion) {
    script({"press 321", "set 5 3 0.123456789", "toggle 5 4 1", "press -1", "press 53", "press -1", "answer 3",
            "press -1", "answer 2"});
    build();
    EXPECT_EQ(run_main_loop(), std::vector<std::string>{"value 0.123457 toggle 1"});
    EXPECT_EQ(gmEnqValueSetting(value), 0.123456789);  // the full number typed, not the 3 decimals shown
    const std::vector<std::string> expected = {
        "box Kelvorantide v3.72 | Data File read in successfully",
        "show Kelvorantide v3.72",
        "show Kelvorantide v3.72 Fitting",
        "hide Kelvorantide v3.72 Fitting",
        "ask Kelvorantide v3.72 | Are you sure you want to exit the program? -> 3",
        "ask Kelvorantide v3.72 | Are you sure you want to exit the program? -> 2",
    };
    EXPECT_EQ(transcript(), expected);
    EXPECT_EQ(wl::script::lines_left(), 0);
}

TEST_F(Road, GreyedMenuTitleRefusesItsEntries) {
    script({"press 321"});
    build();
    gmSetWidgetStatus(title, STATUS_GREYED);
    EXPECT_EQ(exit_status([&] { run_main_loop(); }), wl::script::EXIT_SCRIPT_ERROR);
    gmSetWidgetStatus(title, STATUS_ACTIVE);
    script({"press 321", "press 53", "press -1"});
    EXPECT_EQ(exit_status([&] { run_main_loop(); }), wl::script::EXIT_EXHAUSTED);
    EXPECT_EQ(transcript().back(), "hide Kelvorantide v3.72 Fitting");
}

}  // namespace
