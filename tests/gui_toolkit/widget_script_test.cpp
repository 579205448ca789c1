// The widget kinds under a user: a scripted user types into entries, clicks toggles, picks a list
// entry and presses buttons and menu entries; the program's enquiries read back what was done.
#include <cstring>

#include "include/toolkit_services.h"
#include "runtime/fatal.h"
#include "widget_fixture.h"

using WidgetScript = WidgetTest;

TEST_F(WidgetScript, UserInputReadBackThroughTheEnquiries) {
    start();
    const int dialog = gmCreateComplexDialogueBox(1, 2, 2, 12, 10, 1, "Kelvorantide v3.72 Fit");
    const int value = gmCreateValueEntry(dialog, 1, 8, 4, 1, 0.0f, 10, 3, 0);
    const int text = gmCreateTextEntry(dialog, 1, 7, 4, 1, "", 20, 0);
    const int radio = gmCreateRadioBox(dialog, 1, 3, 4, 3);
    int toggle[3];
    for (int k = 0; k < 3; ++k) toggle[k] = gmCreateToggleButton(radio, 0, k, 3, 1, "T", k == 0 ? 1 : 0);
    const int list = gmCreateListBox(dialog, 6, 3, 5, 4, 0);
    for (const char* name : {"Triclinic", "Monoclinic-b", "Monoclinic-c"}) gmSetListEntry(list, 0, {.text = name});
    const int go = gmCreatePushButton(dialog, 1, 1, 3, 1, "Go", {.callback = 53});
    const int bar = gmCreateMenuBar(1);
    const int menu = GMCREATEPULLDOWNMENU(gmCreateMenuEntry(bar, "File"));
    gmCreateMenuEntry(menu, "Open data file", {.callback = 312});
    ASSERT_TRUE(console().empty());
    GRAPHICS.IWID(5, 2) = value;
    GRAPHICS.IWID(5, 3) = text;
    for (int k = 0; k < 3; ++k) GRAPHICS.IWID(5, 4 + k) = toggle[k];
    GRAPHICS.IWID(5, 7) = list;
    REGHANDLETABLE(GRAPHICS.IWID.data(), GRAPHICS.IWID.rows(), GRAPHICS.IWID.cols());
    gmManage();
    gmDrawWindow(dialog);

    wl::script::load_lines({"set 5 2 123456.789012345", "set 5 3 1 -2 3", "toggle 5 6 1", "select 5 7 3",
                            "press 53", "press 312"});
    int cb = 0;
    EXPECT_EQ(gmAction(cb), 53);
    // The number typed in full, not the three decimals shown.
    EXPECT_EQ(gmEnqValueSetting(value), 123456.789012345);
    char hkl[12];
    gmEnqTextSetting(text, hkl, 12);
    EXPECT_EQ(std::string(hkl, 12), "1 -2 3      ");
    EXPECT_EQ(gmEnqToggleSwitch(toggle[0]), 0);
    EXPECT_EQ(gmEnqToggleSwitch(toggle[1]), 0);
    EXPECT_EQ(gmEnqToggleSwitch(toggle[2]), 1);
    int a = 0, b = 0, c = 0;
    gmEnqListStatus(list, a, b, c);
    EXPECT_EQ(a, 3);
    EXPECT_EQ(c, 3);
    EXPECT_EQ(gmAction(cb), 312);

    // A greyed button cannot be pressed; the script says so.
    gmSetWidgetStatus(go, STATUS_GREYED);
    EXPECT_EQ(gmEnqWidgetStatus(go), 0);
    wl::script::load_lines({"press 53"});
    int status = 0;
    try {
        gmAction(cb);
    } catch (const rt::ProgramExit& e) {
        status = e.status;
    }
    EXPECT_EQ(status, wl::script::EXIT_SCRIPT_ERROR);
}
