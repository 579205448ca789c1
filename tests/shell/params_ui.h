// The whole user interface built as the program builds it at start-up (GRAPHICS_SETUP: master
// window, plot frame, main-window controls, menus and the fourteen dialogs, hidden), over a
// fresh program state, with an empty script and transcript.
#pragma once
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "gui_toolkit/menu_f90.h"
#include "include/shell_services.h"
#include "main_ui.h"

namespace kvtest {

// The text with the creation date after each " ON  " replaced by <date>, once it has been
// checked to be a 24-character local date ("Thu Dec  4 09:05:01 2026"); at least `least` dates
// must be there.
inline std::string undated(std::string text, int least = 0) {
    static const std::regex date("^[A-Z][a-z]{2} [A-Z][a-z]{2} [ 123][0-9] [0-2][0-9]:[0-5][0-9]:[0-6][0-9] [0-9]{4}$");
    int found = 0;
    for (std::size_t at = text.find(" ON  "); at != std::string::npos; at = text.find(" ON  ", at + 1)) {
        const std::string d = text.substr(at + 5, 24);
        EXPECT_TRUE(std::regex_match(d, date)) << d;
        text.replace(at + 5, 24, "<date>");
        ++found;
    }
    EXPECT_GE(found, least) << "no creation date";
    return text;
}

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

// A report file chosen in the file browser, for a data set read from /data/run1/scan.dat.
class ReportFileTest : public BuiltUi {
protected:
    void SetUp() override {
        BuiltUi::SetUp();
        FILEINFO.IN_FULLNAME = "/data/run1/scan.dat";
        FILEINFO.IN_NAME = "scan.dat";
        FILEINFO.TITLE = "TEST CRYSTAL";
    }
    std::string path(const std::string& name) const { return (dir / name).string(); }
};

}  // namespace kvtest
