// The widget model: creation with the registrations in force, operability, the timer tick.
#include <gtest/gtest.h>

#include "platform/model.h"
#include "platform/wingui.h"

namespace {

class Model : public ::testing::Test {
protected:
    wl::Model& m = wl::model();
    void SetUp() override { wl::reset_model(); }
};

TEST_F(Model, IdsFollowCreationOrderAndRegistrationsStayInForce) {
    EXPECT_EQ(IGETNEXTIDENTIFIER(), 1);
    REGTITLESTRING("Caption", 7);
    REGMINIMUM(20, 19);
    OPENMASTER(5, 5);
    int dlg = 0;
    OPENWINDOW(1, 2, 3, dlg);
    EXPECT_EQ(dlg, 2);
    EXPECT_EQ(IGETNEXTIDENTIFIER(), 3);
    EXPECT_EQ(m.find(dlg)->caption, "Caption");  // the title string is still the registered one
    EXPECT_EQ(m.find(dlg)->reg.min_w, 20);
    EXPECT_EQ(m.find(dlg)->properties[15], wl::KIND_DIALOG);
    EXPECT_EQ(IGETWIDGETTYPE(99), wl::KIND_NONE);
}

TEST_F(Model, OperableNeedsEveryAncestorActiveAndTheWindowShown) {
    OPENMASTER(0, 0);
    const int bar = m.create(wl::KIND_MENUBAR, 1);
    const int title = m.create(wl::KIND_MENUTITLE, bar);
    const int pull = m.create(wl::KIND_PULLDOWN, title);
    const int entry = m.create(wl::KIND_MENUENTRY, pull);
    EXPECT_FALSE(m.operable(entry));  // master not shown yet
    WINDOWDRAW(0, 1);
    EXPECT_TRUE(m.operable(entry));
    int status = 0;
    WIDGETSTATUS(title, 0, status);
    EXPECT_EQ(status, 0);
    EXPECT_FALSE(m.operable(entry));
    EXPECT_EQ(m.window_of(entry), 1);
}

TEST_F(Model, ResetRunsTheHooks) {
    int runs = 0;
    wl::add_reset_hook("model_test", [&] { ++runs; });
    wl::reset_model();
    wl::add_reset_hook("model_test", nullptr);
    wl::reset_model();
    EXPECT_EQ(runs, 1);
}

TEST_F(Model, TraceRecordsEntryCallsWhenSwitchedOn) {
    SETCALLTIME(50, 990);
    EXPECT_TRUE(m.trace.empty());
    m.trace_on = true;
    SETCALLTIME(50, 0);
    REGTITLESTRING("File Browser", 12);
    EXPECT_EQ(m.trace, (std::vector<std::string>{"SETCALLTIME(50, 0)", "REGTITLESTRING(\"File Browser\", 12)"}));
}

}  // namespace
