// The widget model: creation with the registrations in force, operability, the timer tick, and
// the rules both front ends follow (a toggle clicked, a callback queued, a typed number, a typed
// file name's extension).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/model.h"
#include "platform/widget_extra.h"
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

TEST_F(Model, AClickNeverSwitchesARadioBoxsChoiceOff) {
    OPENMASTER(0, 0);
    const int radio = m.create(wl::KIND_RADIO, 1);
    const int a = m.create(wl::KIND_TOGGLE, radio);
    const int b = m.create(wl::KIND_TOGGLE, radio);
    const int check = m.create(wl::KIND_TOGGLE, 1);
    m.set_toggle(a, 1);
    EXPECT_EQ(m.click_toggle(a, 0), 1);  // the choice stays on
    EXPECT_EQ(m.click_toggle(b, 0), 0);  // an unchosen one stays off
    EXPECT_EQ(m.find(a)->toggle, 1);
    EXPECT_EQ(m.click_toggle(b, 1), 1);  // choosing another moves the choice
    EXPECT_EQ(m.find(a)->toggle, 0);
    m.set_toggle(check, 1);
    EXPECT_EQ(m.click_toggle(check, 0), 0);  // a check toggle goes off
}

// A front end shows only what changed: each widget once, with what changed in it, and nothing
// for a widget set to what it already holds.
TEST_F(Model, RecordsWhatChangedOnceAndNothingForTheSameValue) {
    OPENMASTER(0, 0);
    int value = 0, text = 0, radio = 0, a = 0, b = 0;
    ADDDOUBLE(1, 2.5, 0, 3, 8, 0, 0, value);
    ADDSTRING(1, 0, "hkl", 0, 0, 1, 20, text, 3);
    ADDRADIOBOX(1, 0, 2, radio);
    ADDRADIO(radio, 0, 0, "Rfine", 0, a, 5);
    ADDRADIO(radio, 0, 1, "Shelx", 0, b, 5);
    EXPECT_EQ(m.find(1)->children, (std::vector<int>{value, text, radio}));
    EXPECT_EQ(m.find(radio)->children, (std::vector<int>{a, b}));
    std::vector<std::pair<int, unsigned>> got;
    m.take_changes(got);
    EXPECT_EQ(got, (std::vector<std::pair<int, unsigned>>{{1, wl::CHANGED_CHILDREN}, {radio, wl::CHANGED_CHILDREN}}));
    SETTOGGLE(a, 1);
    m.take_changes(got);

    // The same again: nothing.
    int status = 0;
    SETDOUBLE(value, 2.5);
    SETNUMBER(value, 2.5f);
    SETSTRING(text, "hkl", 3);
    SETTOGGLE(a, 1);
    WIDGETSTATUS(text, wl::STATE_ACTIVE, status);
    EXPECT_FALSE(m.has_changes());

    // Changes: each widget listed once, in the order it first changed; a radio choice moved
    // switches the other toggle off.
    SETDOUBLE(value, 3.0);
    WIDGETSTATUS(text, wl::STATE_GREYED, status);
    SETDOUBLE(value, 3.5);
    SETTOGGLE(b, 1);
    SETSTRING(text, "1 2 3", 5);
    m.take_changes(got);
    const std::vector<std::pair<int, unsigned>> want = {{value, wl::CHANGED_VALUE | wl::CHANGED_TEXT},
                                                        {text, wl::CHANGED_STATE | wl::CHANGED_TEXT},
                                                        {b, wl::CHANGED_TOGGLE},
                                                        {a, wl::CHANGED_TOGGLE}};
    EXPECT_EQ(got, want);
    EXPECT_EQ(m.find(value)->value, 3.5);
    EXPECT_EQ(m.find(value)->text, wl::value_text(3.5, 8, 3));
    EXPECT_FALSE(m.has_changes());

    // A number typed in full is not the number shown: setting the same number shows it anew.
    ASSERT_TRUE(m.end_edit(value, "3.50", 3.5));
    SETDOUBLE(value, 3.5);
    m.take_changes(got);
    EXPECT_EQ(got, (std::vector<std::pair<int, unsigned>>{{value, wl::CHANGED_VALUE | wl::CHANGED_TEXT}}));
}

TEST_F(Model, ACallbackCarriesItsWidgetAndEventKind) {
    OPENMASTER(0, 0);
    const int button = m.create(wl::KIND_BUTTON, 1);
    const int frame = m.create(wl::KIND_FRAME, 1);
    const int list = m.create(wl::KIND_LISTBOX, 1);
    const int combo = m.create(wl::KIND_COMBO, 1);
    SETCALLBACK(button, 53);
    SETCALLBACK(frame, 77);
    SETCALLBACK(list, 60);
    SETCALLSELECT(list, 61);  // a list's choice queues its select callback before its action one
    SETCALLBACK(combo, 62);
    EXPECT_FALSE(m.post_callback(button, wl::Cb::Select));  // none of that kind: nothing queued
    EXPECT_TRUE(m.post_callback(button, wl::Cb::Action));
    EXPECT_TRUE(m.post_callback(frame, wl::Cb::Action));
    EXPECT_TRUE(m.post_callback(list, m.find(list)->choice_callback()));
    EXPECT_TRUE(m.post_callback(combo, m.find(combo)->choice_callback()));
    const int want[][3] = {{53, button, wl::KIND_BUTTON}, {77, frame, -1}, {61, list, wl::KIND_LISTBOX},
                           {62, combo, wl::KIND_COMBO}};
    for (const auto& w : want) {
        wl::Event e;
        ASSERT_TRUE(m.pop(e));
        EXPECT_EQ(e.callback, w[0]);
        EXPECT_EQ(e.widget, w[1]);
        EXPECT_EQ(e.kind, w[2]) << w[0];
    }
    EXPECT_TRUE(m.queue.empty());
}

TEST(TypedNumber, ReadsTheProgramsNumberFormsAndRefusesTheRest) {
    const struct {
        const char* text;
        double value;
    } good[] = {{"1d3", 1000.0}, {"1D-2", 0.01}, {" 12.5 ", 12.5}, {"-.5e1", -5.0}, {"+7.", 7.0},
                {"2.5E+2", 250.0}, {"0", 0.0}};
    for (const auto& c : good) {
        double v = -1.0;
        EXPECT_TRUE(wl::read_typed_number(c.text, v)) << c.text;
        EXPECT_DOUBLE_EQ(v, c.value) << c.text;
    }
    for (const char* bad : {"", " ", "1.2.3", "0x10", "nan", "inf", "1e", "1d", "e3", ".", "1e999", "12a", "--1"}) {
        double v = 42.0;
        EXPECT_FALSE(wl::read_typed_number(bad, v)) << bad;
        EXPECT_EQ(v, 42.0) << bad;
    }
}

TEST(TypedFileName, TakesTheDefaultExtensionOnlyWhenItHasNoneAndNamesNoFile) {
    const std::filesystem::path dir = std::filesystem::path(KV_BINARY_DIR) / "typed_name.d";
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "plain") << "x";
    const std::string d = dir.string() + "/";
    EXPECT_EQ(wl::with_default_extension(d + "outnoext", "int"), d + "outnoext.int");
    EXPECT_EQ(wl::with_default_extension(d + "plain", "int"), d + "plain");  // an existing file
    EXPECT_EQ(wl::with_default_extension(d + "out.hkl", "int"), d + "out.hkl");
    EXPECT_EQ(wl::with_default_extension(d + "out", ""), d + "out");
    EXPECT_EQ(wl::with_default_extension(d, "int"), d);  // no name
    std::filesystem::remove_all(dir);
}

}  // namespace
