// The wait for the next callback number, the timer and the callback definitions.
#include "core_fixture.h"
#include "gui_toolkit/frames.h"
#include "platform/graphics_model.h"

namespace {

using Events = CoreTest;

TEST_F(Events, WaitWithoutMasterShowsAbortBoxAndEndsTheProgram) {
    int icb = 0;
    EXPECT_NE(exit_status([&] { gmAction(icb); }), -1);
    ASSERT_EQ(console().size(), 1u);
    EXPECT_EQ(console()[0].title, "Program Abort");
    EXPECT_EQ(console()[0].text, "ACTION called without a master window defined");
    EXPECT_EQ(console()[0].code, 0);
}

TEST_F(Events, ExitRequestPassesUnchanged) {
    start_master();
    script({"press -1"});
    int icb = 0;
    EXPECT_EQ(gmAction(icb), -1);
    EXPECT_EQ(icb, -1);
    EXPECT_EQ(ACTION_STATE.ACTION_CALLBACK, -1);
}

TEST_F(Events, ButtonPressArrivesWithItsNumberAndEventState) {
    start_master();
    const int b = widget(wl::KIND_BUTTON, 1, 101);
    script({"press 101"});
    int icb = 0;
    EXPECT_EQ(gmAction(icb), 101);
    EXPECT_EQ(ACTION_STATE.ACTION_WIDGET, b);

    int cb = 0, w = 0, extra = 0, kind = 9, count = 0;
    float x = 1, y = 1, reals[4] = {9, 9, 9, 9};
    int ints[4] = {9, 9, 9, 9};
    char text[8];
    ACTENQ(cb, w, extra, kind, x, y, text, 8, count, reals, ints);
    EXPECT_EQ(cb, 101);
    EXPECT_EQ(w, b);
    EXPECT_EQ(kind, wl::KIND_BUTTON);  // the library's event kind of a push button
    EXPECT_EQ(count, 4);
    for (float r : reals) EXPECT_EQ(r, 0.0f);
    EXPECT_EQ(std::string(text, 8), "        ");
}

TEST_F(Events, PointerEventInAnotherFrameMakesItCurrent) {
    start_master();
    widget(wl::KIND_BUTTON, 1);  // the frame is not widget 2, the frame current after start-up
    const int f = widget(wl::KIND_FRAME, 1);
    gfx::create_frame(f, 600, 400);
    SETFRAMESCALE(f, 300.0f, 200.0f, 0.0f, 0.0f);
    SETCALLBACK(f, 200);
    ASSERT_NE(FRAME_LAYER.CURRENT_FRAME, f);
    wl::Event e;
    e.callback = 200;
    e.widget = f;
    e.kind = -1;
    e.x = 300;
    e.y = 100;
    wl::model().post(e);
    int icb = 0;
    EXPECT_EQ(gmAction(icb), 200);
    EXPECT_EQ(FRAME_LAYER.CURRENT_FRAME, f);
    EXPECT_EQ(CURRENT_ROUTINE, "");

    int cb = 0, w = 0, extra = 0, kind = 9, count = 0;
    float x = 0, y = 0, reals[4];
    int ints[4];
    char text[4];
    ACTENQ(cb, w, extra, kind, x, y, text, 4, count, reals, ints);
    EXPECT_EQ(kind, 0);
    EXPECT_FLOAT_EQ(x, 150.0f);
    EXPECT_FLOAT_EQ(y, 50.0f);
    EXPECT_EQ(ints[1], 400);
    EXPECT_EQ(ints[2], 600);
    EXPECT_EQ(reals[2], 300.0f);
    EXPECT_EQ(reals[3], 200.0f);
}

TEST_F(Events, PointerStateOfAFrameWithoutPixelsIsNotDividedByZero) {
    start_master();
    widget(wl::KIND_BUTTON, 1);
    const int f = widget(wl::KIND_FRAME, 1);
    gfx::create_frame(f, 0, 0);
    SETFRAMESCALE(f, 300.0f, 200.0f, 10.0f, 20.0f);
    wl::Event e;
    e.widget = f;
    e.kind = -1;
    e.x = 5;
    e.y = 7;
    wl::model().post(e);
    int icb = 0;
    gmAction(icb);
    int cb = 0, w = 0, extra = 0, kind = 9, count = 0;
    float x = 0, y = 0, reals[4];
    int ints[4];
    ACTENQ(cb, w, extra, kind, x, y, nullptr, 0, count, reals, ints);
    EXPECT_EQ(x, 15.0f);
    EXPECT_EQ(y, 27.0f);
}

TEST_F(Events, TicksArriveAsTheTimerNumber) {
    start_master();
    gmDefineTimerCallback(50, 990);
    script({"ticks 2", "press -1"});
    int icb = 0;
    EXPECT_EQ(gmAction(icb), 990);
    EXPECT_EQ(gmAction(icb), 990);
    EXPECT_EQ(gmAction(icb), -1);
}

TEST_F(Events, AtMostOneTickIsPending) {
    start_master();
    gmDefineTimerCallback(50, 990);
    wl::model().post_tick();
    wl::model().post_tick();
    EXPECT_EQ(wl::model().queue.size(), 1u);
}

TEST_F(Events, ReplacedOrStoppedTimerDropsItsPendingTick) {
    start_master();
    gmDefineTimerCallback(50, 990);
    wl::model().post_tick();
    gmDefineTimerCallback(10, 991);  // replaced: only the second interval and number remain
    EXPECT_TRUE(wl::model().queue.empty());
    EXPECT_EQ(wl::model().timer_interval, 10);
    EXPECT_EQ(wl::model().timer_callback, 991);

    wl::model().post_tick();
    widget(wl::KIND_BUTTON, 1, 102);
    wl::model().post({102});
    gmDefineTimerCallback(50, 0);  // Stop: the tick queued before it is never delivered
    script({"ticks 5", "press -1"});
    int icb = 0;
    EXPECT_EQ(gmAction(icb), 102);
    EXPECT_EQ(gmAction(icb), -1);  // no timer: the five ticks deliver nothing
}

TEST_F(Events, TimerWithoutMasterIsRefused) {
    gmDefineTimerCallback(50, 990);
    ASSERT_EQ(console().size(), 1u);
    EXPECT_EQ(console()[0].title, "gmDefineTimerCallback");
    EXPECT_EQ(wl::model().timer_callback, 0);
}

// The main loop, a fit mode inside it and a dialog inside the fit mode, each waiting in its
// own loop and dropping the numbers it does not handle.
TEST_F(Events, NestedWaitsThreeDeep) {
    script({"press 321", "ticks 1", "press 116", "press 53", "run", "press -1"});
    start_master();
    const int dlg = dialog("Kelvorantide v3.72 Fitting");
    widget(wl::KIND_BUTTON, 1, 321);
    widget(wl::KIND_BUTTON, 1, 116);
    widget(wl::KIND_BUTTON, dlg, 53);
    std::vector<std::string> seen;
    int icb = 0;
    for (;;) {  // main loop
        gmAction(icb);
        if (icb == -1) break;
        if (icb != 321) continue;
        seen.push_back("fit mode");
        gmDefineTimerCallback(50, 990);
        int ticks = 0;
        for (bool fitting = true; fitting;) {  // fit mode
            gmAction(icb);
            if (icb == 990) {
                if (++ticks == 3) {
                    gmDefineTimerCallback(50, 0);
                    fitting = false;
                }
            } else if (icb == 116) {
                gmDrawWindow(dlg);
                gmSetActiveWindow(dlg);
                for (;;) {  // dialog
                    gmAction(icb);
                    if (icb == 53) break;
                }
                gmRemoveWindow(dlg);
                gmSetActiveWindow(1);
                seen.push_back("dialog closed");
            }
        }
        seen.push_back("fit done after " + std::to_string(ticks));
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"fit mode", "dialog closed", "fit done after 3"}));
    EXPECT_EQ(transcript(), (std::vector<std::string>{"show Kelvorantide v3.72", "show Kelvorantide v3.72 Fitting",
                                                      "hide Kelvorantide v3.72 Fitting"}));
}

TEST_F(Events, CallbackDefinitionsCheckTheWidget) {
    start_master();
    const int bar = widget(wl::KIND_MENUBAR, 1);
    const int button = widget(wl::KIND_BUTTON, 1);
    gmDefineCallback(bar, 5);
    gmDefineCallback(-1, 5);
    gmDefineExposeCallback(button, 7);
    gmDefineCallback(button, 101);
    ASSERT_EQ(console().size(), 3u);
    EXPECT_EQ(console()[0].text, "GINOMENU error 30 - Cannot attach callback to widget");
    EXPECT_EQ(console()[0].title, "gmDefineCallback");
    EXPECT_EQ(console()[1].code, 1626);
    EXPECT_EQ(console()[2].text, "GINOMENU error 31 - Not a graphics frame");
    EXPECT_EQ(wl::model().find(button)->callback(), 101);
    EXPECT_EQ(wl::model().find(bar)->callback(), 0);
}

TEST_F(Events, KeyCallbackHasNoMasterCheck) {
    gmDefineKeyCallback(70, 312);
    EXPECT_TRUE(console().empty());
    EXPECT_EQ(wl::model().hotkeys[70], 312);
    gmDefineKeyCallback(-21, 1);
    ASSERT_EQ(console().size(), 1u);
    EXPECT_EQ(console()[0].code, 1635);
}

TEST_F(Events, PostedCallbacksAndTheQueue) {
    start_master();
    GMPOSTCALLBACK(31, 500);
    GMPOSTCALLBACK(-1, 500);
    EXPECT_TRUE(wl::model().queue.empty());
    GMPOSTCALLBACK(0, 501);
    GMPOSTCALLBACK(30, 502);
    EXPECT_EQ(wl::model().queue.size(), 2u);
    int icb = 0;
    EXPECT_EQ(gmAction(icb), 501);
    GMFLUSHCALLBACKQUEUE();
    EXPECT_TRUE(wl::model().queue.empty());
    widget(wl::KIND_BUTTON, 1, 101);
    EXPECT_EQ(GMCHECKCALLBACK(101), 1);
    EXPECT_EQ(GMCHECKCALLBACK(102), 0);
}

}  // namespace
