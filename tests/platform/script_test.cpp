// The scripted front end: the script vocabulary, script errors, exhaustion and the transcript.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "include/shared.h"
#include "platform/frontend.h"
#include "platform/model.h"
#include "platform/script.h"
#include "platform/wingui.h"
#include "runtime/fatal.h"
#include "scripted_fixture.h"

namespace {

class Script : public ScriptedTest {
protected:
    wl::Model& m = wl::model();
    int dlg = 0;

    void SetUp() override {
        ScriptedTest::SetUp();
        // The slots that set, toggle and select lines name.
        REGHANDLETABLE(GRAPHICS.IWID.data(), GRAPHICS.IWID.rows(), GRAPHICS.IWID.cols());
        // A master window "Main" and a dialog "Dialog", both shown.
        REGTITLESTRING("Main", 4);
        OPENMASTER(5, 5);
        REGTITLESTRING("Dialog", 6);
        OPENWINDOW(1, 0, 0, dlg);
        WINDOWDRAW(0, 1);
        WINDOWDRAW(0, dlg);
    }

    // A widget in slot IWID(g, k).
    int slot(int g, int k, int kind, int parent, int callback = 0) {
        const int id = m.create(kind, parent);
        GRAPHICS.IWID(g, k) = id;
        if (callback) SETCALLBACK(id, callback);
        return id;
    }
};

TEST_F(Script, PressDeliversTheNumberOfAnOperableControl) {
    const int b = slot(1, 1, wl::KIND_BUTTON, dlg, 53);
    wl::script::load_lines({"# comment line", "", "press 53   # Ok", "press -1"});
    EXPECT_EQ(wl::script::lines_left(), 2);
    EXPECT_EQ(next(), 53);
    EXPECT_EQ(m.last.widget, b);
    EXPECT_EQ(m.last.kind, wl::KIND_BUTTON);  // the event kind the real window gives
    EXPECT_EQ(next(), -1);
}

TEST_F(Script, PressOfGreyedOrHiddenControlIsAScriptError) {
    struct Case {
        const char* what;
        const char* line;
        std::function<void(int button, int title)> prepare;
    };
    const Case cases[] = {
        {"greyed", "press 53", [this](int b, int) { m.find(b)->state = wl::STATE_GREYED; }},
        {"hidden", "press 53", [this](int b, int) { m.find(b)->state = wl::STATE_HIDDEN; }},
        {"greyed menu title", "press 321", [this](int, int t) { m.find(t)->state = wl::STATE_GREYED; }},
        {"dialog not shown", "press 53", [this](int, int) { WINDOWREMOVE(dlg); }},
    };
    for (const Case& c : cases) {
        SetUp();
        const int b = slot(1, 1, wl::KIND_BUTTON, dlg, 53);
        const int title = m.create(wl::KIND_MENUTITLE, m.create(wl::KIND_MENUBAR, 1));
        const int pull = m.create(wl::KIND_PULLDOWN, title);
        slot(1, 2, wl::KIND_MENUENTRY, pull, 321);
        c.prepare(b, title);
        wl::script::load_lines({c.line});
        EXPECT_EQ(exit_status([&] { next(); }), wl::script::EXIT_SCRIPT_ERROR) << c.what;
        EXPECT_FALSE(wl::script::exhausted());
    }
}

TEST_F(Script, MalformedOrMisplacedLinesAreScriptErrors) {
    const char* lines[] = {"press", "press x", "press 999", "answer 6", "file a.par", "cancel",
                           "jump 3", "ticks -1", "set 1 1", "toggle 11 1 1", "select 1 1 9"};
    slot(1, 1, wl::KIND_LISTBOX, dlg);
    for (const char* l : lines) {
        wl::script::load_lines({l});
        EXPECT_EQ(exit_status([&] { next(); }), wl::script::EXIT_SCRIPT_ERROR) << l;
    }
}

TEST_F(Script, ExhaustedWhileWaitingReportsWindowsAndBoxesAndEndsWithStatusThree) {
    wl::script::load_lines({});
    ERRORBOX("Kelvorantide v3.72", "Run PreProcess first", 0);
    testing::internal::CaptureStderr();
    EXPECT_EQ(exit_status([&] { next(); }), wl::script::EXIT_EXHAUSTED);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(wl::script::exhausted());
    EXPECT_NE(err.find("open window 1: Main\n"), std::string::npos) << err;
    EXPECT_NE(err.find("open window " + std::to_string(dlg) + ": Dialog\n"), std::string::npos) << err;
    EXPECT_NE(err.find("last box: Kelvorantide v3.72 | Run PreProcess first\n"), std::string::npos) << err;
}

TEST_F(Script, SetKeepsTheFullNumberTyped) {
    const int v = slot(2, 5, wl::KIND_VALUE, dlg);
    m.find(v)->decimals = 2;
    const int t = slot(2, 6, wl::KIND_TEXT, dlg);
    slot(2, 7, wl::KIND_BUTTON, dlg, 54);
    wl::script::load_lines({"set 2 5 12345.678901", "set 2 6 Run 3 of  the day", "press 54"});
    EXPECT_EQ(next(), 54);  // set queues nothing
    EXPECT_EQ(m.find(v)->value, 12345.678901);
    EXPECT_EQ(m.find(t)->text, "Run 3 of  the day");

    // A number is read as the real window reads it: a D exponent too.
    wl::script::load_lines({"set 2 5 1d3", "press 54"});
    EXPECT_EQ(next(), 54);
    EXPECT_EQ(m.find(v)->value, 1000.0);

}

// A text the value entry cannot take is typed as given and refused as at the real window: a box
// titled as the master window shows it and what is expected, the entry shows its number again,
// and the press that followed is dropped; the exit request still arrives.
TEST_F(Script, SetOfATextThatIsNoNumberIsRefusedWithABoxAndThePressDropped) {
    const int v = slot(2, 5, wl::KIND_VALUE, dlg);
    m.find(v)->decimals = 3;
    m.find(v)->field_width = 6;
    slot(2, 7, wl::KIND_BUTTON, dlg, 54);
    const std::string not_a_number = "\" is not a number: type digits with a decimal point, for example 0.025 or 2.5E-2";
    const std::string too_large = "\" is too large: type a number between -3.4E+38 and 3.4E+38";
    const struct {
        const char* typed;
        std::string box;
    } cases[] = {{"0,03", "\"0,03" + not_a_number}, {"abc", "\"abc" + not_a_number},
                 {"1.2.3", "\"1.2.3" + not_a_number}, {"0x10", "\"0x10" + not_a_number},
                 {"1e400", "\"1e400" + too_large}, {"-4e38", "\"-4e38" + too_large}};
    for (const auto& c : cases) {
        m.find(v)->value = 0.02;
        wl::script::load_lines({std::string("set 2 5 ") + c.typed, "press 54", "press -1"});
        EXPECT_EQ(next(), -1) << c.typed;
        ASSERT_FALSE(m.boxes.empty());
        EXPECT_EQ(m.boxes.back().title, "Main");
        EXPECT_EQ(m.boxes.back().text, c.box) << c.typed;
        EXPECT_EQ(m.find(v)->value, 0.02) << c.typed;
        EXPECT_EQ(m.find(v)->text, " 0.020") << c.typed;
        EXPECT_EQ(m.refused_entry, 0);
    }
    // The largest number a 32-bit real holds is taken.
    wl::script::load_lines({"set 2 5 3.4e38", "press 54"});
    EXPECT_EQ(next(), 54);
    EXPECT_EQ(m.find(v)->value, 3.4e38);
}

TEST_F(Script, ToggleInRadioBoxSwitchesSiblingsOffAndCallsBack) {
    const int radio = m.create(wl::KIND_RADIO, dlg);
    const int a = slot(3, 1, wl::KIND_TOGGLE, radio, 801);
    const int b = slot(3, 2, wl::KIND_TOGGLE, radio, 802);
    const int plain = slot(3, 3, wl::KIND_TOGGLE, dlg);
    m.set_toggle(a, 1);
    wl::script::load_lines({"toggle 3 3 1", "toggle 3 2 1", "toggle 3 2 0", "press -1"});
    EXPECT_EQ(next(), 802);
    EXPECT_EQ(m.find(plain)->toggle, 1);
    EXPECT_EQ(m.find(a)->toggle, 0);
    EXPECT_EQ(m.find(b)->toggle, 1);
    // Clicked off, the radio box's choice stays on, as in the real window; its callback follows.
    EXPECT_EQ(next(), 802);
    EXPECT_EQ(m.find(b)->toggle, 1);
    EXPECT_EQ(next(), -1);
}

TEST_F(Script, SelectPicksAListEntry) {
    const int list = slot(6, 24, wl::KIND_LISTBOX, dlg);
    m.find(list)->items = {"Monoclinic-b", "Monoclinic-c", "Orthorhombic"};
    slot(6, 25, wl::KIND_BUTTON, dlg, 55);
    wl::script::load_lines({"select 6 24 3", "press 55"});
    EXPECT_EQ(next(), 55);
    EXPECT_EQ(m.find(list)->selection, 3);
    SETCALLBACK(list, 56);
    SETCALLSELECT(list, 57);
    wl::script::load_lines({"select 6 24 1", "press 55"});
    EXPECT_EQ(next(), 57);  // its select callback before its action callback
    EXPECT_EQ(m.last.kind, wl::KIND_LISTBOX);
}

TEST_F(Script, RunDeliversTicksUntilTheTimerStops) {
    SETCALLTIME(10, 990);
    wl::script::load_lines({"run", "press -1"});
    int ticks = 0;
    for (int cb = next(); cb != -1; cb = next()) {
        ASSERT_EQ(cb, 990);
        if (++ticks == 7) SETCALLTIME(10, 0);
    }
    EXPECT_EQ(ticks, 7);
}

TEST_F(Script, TranscriptOfBoxesFilesAndWindows) {
    const auto file = std::filesystem::path(KV_BINARY_DIR) / "script_transcript.txt";
    wl::script::load_lines({"answer 7", "file data/x.rfl 2", "cancel"});
    ASSERT_TRUE(wl::script::set_transcript_file(file.string()));
    ERRORBOX("Kelvorantide v3.72  ", "Run PreProcess first   ", 0);
    int answer = 0;
    GENERALMESSAGE(2, 4, answer, "Kelvorantide v3.72", "No output datafile is open. Do you want to open a file?");
    EXPECT_EQ(answer, 7);
    wl::FileRequest r;
    r.caption = "Open Input File";
    r.filters = {{"*.dat", "Vosket"}, {"*.rfl", "Standard"}};
    const wl::FileAnswer a = wl::choose_file(r);
    EXPECT_FALSE(a.cancelled);
    EXPECT_EQ(a.filter_index, 2);
    EXPECT_TRUE(std::filesystem::path(a.path).is_absolute());
    EXPECT_TRUE(wl::choose_file(r).cancelled);
    WINDOWREMOVE(dlg);
    const std::vector<std::string> expected = {
        "box Kelvorantide v3.72 | Run PreProcess first",
        "ask Kelvorantide v3.72 | No output datafile is open. Do you want to open a file? -> 7",
        "file Open Input File -> " + (std::filesystem::current_path() / "data/x.rfl").string(),
        "file Open Input File -> cancel",
        "hide Dialog",
    };
    EXPECT_EQ(wl::script::transcript(), expected);
    std::ifstream in(file);
    std::vector<std::string> written;
    for (std::string s; std::getline(in, s);) written.push_back(s);
    EXPECT_EQ(written, expected);
    wl::script::set_transcript_file("");
}

TEST_F(Script, EnterPressesTheBoxsDefaultButton) {
    // The first button unless the button code names the second or the third.
    struct Case {
        int buttons, answer;
    };
    const Case cases[] = {{3, 2},
                          {3 + wl::BOX_DEFAULT_2, 3},
                          {4, 6},
                          {4 + wl::BOX_DEFAULT_2, 7},
                          {4 + wl::BOX_DEFAULT_3, 1},
                          {1 + wl::BOX_DEFAULT_3, 2}};  // past the last button: the last one
    for (const Case& c : cases) {
        SCOPED_TRACE(c.buttons);
        wl::script::load_lines({"answer enter"});
        int answer = 0;
        GENERALMESSAGE(1, c.buttons, answer, "Kelvorantide v3.72", "Output file already exists");
        EXPECT_EQ(answer, c.answer);
        EXPECT_EQ(wl::script::transcript().back(),
                  "ask Kelvorantide v3.72 | Output file already exists -> " + std::to_string(c.answer));
    }
    // A default button does not make a notice a question.
    wl::script::load_lines({});
    int answer = 0;
    GENERALMESSAGE(3, wl::BOX_DEFAULT_2, answer, "Kelvorantide v3.72", "Cif created successfully");
    EXPECT_EQ(wl::script::transcript().back(), "box Kelvorantide v3.72 | Cif created successfully");
}

TEST_F(Script, AnAnswerTheBoxDoesNotOfferIsAScriptErrorNamingItsButtons) {
    // Every code of each question kind is taken; any other number is refused with the buttons.
    struct Case {
        int buttons;
        std::vector<int> offered;
        const char* named;
    };
    const Case cases[] = {{1, {1, 2}, "OK 1, Cancel 2"},
                          {2, {4, 2}, "Retry 4, Cancel 2"},
                          {3, {2, 3}, "Yes 2, No 3"},
                          {3 + wl::BOX_DEFAULT_2, {2, 3}, "Yes 2, No 3"},
                          {4, {6, 7, 1}, "Yes 6, No 7, Cancel 1"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.buttons);
        for (const int code : c.offered) {
            wl::script::load_lines({"answer " + std::to_string(code)});
            int answer = 0;
            GENERALMESSAGE(1, c.buttons, answer, "Kelvorantide v3.72", "Are you sure you want to exit the program?");
            EXPECT_EQ(answer, code);
        }
        for (const char* wrong : {"0", "5", "99", "-1", "yes"}) {
            wl::script::load_lines({std::string("answer ") + wrong});
            testing::internal::CaptureStderr();
            int answer = 0;
            EXPECT_EQ(exit_status([&] { GENERALMESSAGE(1, c.buttons, answer, "T", "Q"); }),
                      wl::script::EXIT_SCRIPT_ERROR)
                << wrong;
            const std::string err = testing::internal::GetCapturedStderr();
            EXPECT_NE(err.find(std::string("the box offers ") + c.named), std::string::npos) << err;
        }
    }
}

TEST_F(Script, ScriptFileIsRead) {
    const auto file = std::filesystem::path(KV_BINARY_DIR) / "script_lines.txt";
    std::ofstream(file) << "press -1\r\n# end\n";
    std::string error;
    ASSERT_TRUE(wl::script::load_file(file.string(), error));
    EXPECT_EQ(wl::script::lines_left(), 1);
    EXPECT_EQ(next(), -1);
    EXPECT_FALSE(wl::script::load_file("/no/such/script", error));
    EXPECT_NE(error.find("cannot read the script /no/such/script"), std::string::npos) << error;
    // A folder is no script: refused at once, not played as an empty script.
    EXPECT_FALSE(wl::script::load_file(KV_BINARY_DIR, error));
    EXPECT_NE(error.find("is a folder, not a file"), std::string::npos) << error;
}

}  // namespace
