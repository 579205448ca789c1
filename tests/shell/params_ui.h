// The whole user interface built as the program builds it at start-up (GRAPHICS_SETUP: master
// window, plot frame, main-window controls, menus and the fourteen dialogs, hidden), over a
// fresh program state, with an empty script and transcript.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui_toolkit/menu_f90.h"
#include "include/shell_services.h"
#include "main_ui.h"

namespace kvtest {

class BuiltUi : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        PROGID.VERSION = 3.72f;
        GRAPHICS_SETUP();
        script({});
    }
    // No toolkit request of the routines under test was refused.
    void TearDown() override {
        for (const wl::ConsoleMessage& m : wl::model().console) ADD_FAILURE() << m.title << ": " << m.text;
        ShellTest::TearDown();
    }

    // Runs a modal routine against the script lines; fails the test when it does not return.
    static void run(const std::vector<std::string>& lines, const std::function<void()>& body) {
        script(lines);
        EXPECT_EQ(exit_status(body), -1) << "the routine did not return";
    }
    static double value(int g, int k) { return w(g, k).value; }
    static int state(int g, int k) { return w(g, k).state; }
    static int toggle(int g, int k) { return w(g, k).toggle; }
    static bool shown(int g, int k) { return w(g, k).shown; }
};

}  // namespace kvtest
