// Graphics frames of the widget layer: creation, activation, clearing, bounds and pixel size.
#include "gfx_fixture.h"
#include "platform/ps_file.h"

namespace {

class Frames : public GfxTest {
protected:
    void SetUp() override {
        GfxTest::SetUp();
        start_master();
        console();
    }
    static std::vector<float> bounds(int frame) {
        float b[4] = {-9, -9, -9, -9};
        FRAENQ(frame, b[0], b[1], b[2], b[3]);
        return {b[0], b[1], b[2], b[3]};
    }
};

TEST_F(Frames, CreationMakesTheFrameCurrentWithItsWorldBoxAndBackground) {
    const int f = make_frame(18, 12, 300.0f, 200.0f);
    ASSERT_EQ(f, 2);
    EXPECT_EQ(IGETWIDGETTYPE(f), 6);
    EXPECT_EQ(FRAME_LAYER.CURRENT_FRAME, f);
    int i1 = -1, i2 = -1, w = 0, h = 0;
    FRAPIX(f, i1, i2, w, h);
    EXPECT_EQ(std::vector<int>({i1, i2, w, h}), std::vector<int>({0, 0, 720, 480}));
    EXPECT_EQ(gfx::frame(f)->background, (gfx::Rgb{192, 192, 192}));
    EXPECT_EQ(bounds(f), std::vector<float>({0, 0, 300, 200}));
    // Current but not activated: FRAME_SCALE still describes nothing.
    EXPECT_EQ(bounds(0), std::vector<float>({0, 0, 0, 0}));
    EXPECT_TRUE(console().empty());
}

TEST_F(Frames, RefusedCreationsReturnZero) {
    struct Case { const char* what; int parent; float xr, yr; const char* error; };
    const Case cases[] = {
        {"zero x range", 1, 0.0f, 200.0f, "gmCreateGraphicsFrame|GINOMENU error 10 - Mapping dimensions are zero or negative|1610"},
        {"negative y range", 1, 300.0f, -1.0f, "gmCreateGraphicsFrame|GINOMENU error 10 - Mapping dimensions are zero or negative|1610"},
        {"no parent", 0, 300.0f, 200.0f, "gmCreateGraphicsFrame|GINOMENU error 26 - Invalid widget number|1626"},
    };
    for (const Case& c : cases) {
        int id = 99;
        FRADEF(c.parent, 1, 1, c.xr, c.yr, id);
        EXPECT_EQ(id, 0) << c.what;
        EXPECT_EQ(console(), std::vector<std::string>{c.error}) << c.what;
    }
    EXPECT_EQ(FRAME_LAYER.CURRENT_FRAME, 2);
}

TEST_F(Frames, FrameTypeChoosesTheKindOfTheNextFrame) {
    FRATYP(2);
    EXPECT_EQ(console(), std::vector<std::string>{"|GINOMENU error 33 - Type out of range|1633"});
    FRATYP(1);
    const int f3 = make_frame(6, 4, 60.0f, 40.0f);
    EXPECT_EQ(IGETWIDGETTYPE(f3), 40);
    FRAACT(f3);
    EXPECT_EQ(FRAME_LAYER.CURRENT_FRAME, f3);
    EXPECT_EQ(bounds(0), std::vector<float>({0, 0, 60, 40}));
    FRATYP(0);
    EXPECT_EQ(IGETWIDGETTYPE(make_frame(6, 4, 60.0f, 40.0f)), 6);
    EXPECT_TRUE(console().empty());
}

TEST_F(Frames, ALineDrawnAfterActivatingAThreeDimensionalFrameGoesIntoIt) {
    const int flat = make_frame(6, 4, 60.0f, 40.0f);
    FRATYP(1);
    const int solid = make_frame(6, 4, 60.0f, 40.0f, 8, 4);
    FRATYP(0);
    FRAACT(flat);
    FRAACT(solid);
    // 240 x 160 pixels showing 0..60 x 0..40: 4 pixels per unit, y upward.
    MOVTO2(10.0f, 10.0f);
    LINTO2(30.0f, 20.0f);
    EXPECT_TRUE(list(flat).empty());
    ASSERT_FALSE(list(solid).empty());
    EXPECT_EQ(list(solid)[0].kind, gfx::OpKind::Line);
    EXPECT_EQ(list(solid)[0].points, (std::vector<gfx::Point>{{40, 120}, {120, 80}}));
    // Clearing empties it and leaves it the drawing surface.
    FRACLE(solid);
    EXPECT_TRUE(list(solid).empty());
    LINTO2(60.0f, 40.0f);
    EXPECT_FALSE(list(solid).empty());
    EXPECT_TRUE(list(flat).empty());
    EXPECT_TRUE(console().empty());
}

TEST(FramePlacement, CentredExpandingFrameIsRefusedOnAnMdiMaster) {
    reset_toolkit();
    reset_gino_state();
    wl::script::load_lines({});
    GINO();
    gmInitializeMenu();
    int master = 0, dialog = 0, id = 0;
    MASMDI(0, 0, master);
    DIACMP(master, 1, 1, dialog);
    WIDPOS(4, 1);
    wl::model().console.clear();
    FRADEF(master, 1, 1, 300.0f, 200.0f, id);
    EXPECT_EQ(id, 0);
    ASSERT_EQ(wl::model().console.size(), 1u);
    EXPECT_EQ(wl::model().console[0].code, 1662);
    FRADEF(dialog, 1, 1, 300.0f, 200.0f, id);
    EXPECT_GT(id, 0);
}

TEST_F(Frames, BoundsAreTakenAtActivationInEitherCornerOrder) {
    const int f = make_frame(18, 12, 10.0f, 10.0f);
    FRALIM(f, 300.0f, 200.0f, 0.0f, 0.0f);
    EXPECT_EQ(bounds(f), std::vector<float>({0, 0, 300, 200}));
    EXPECT_EQ(bounds(0), std::vector<float>({0, 0, 0, 0}));  // not yet activated
    gmActivateGraphicsFrame(f);
    EXPECT_EQ(bounds(0), std::vector<float>({0, 0, 300, 200}));

    FRALIM(f, -5.0f, 10.0f, 25.0f, 50.0f);
    FRAACT(f);
    EXPECT_EQ(bounds(0), std::vector<float>({-5, 10, 25, 50}));
    MOVTO2(-5.0f, 10.0f);
    EXPECT_EQ(GINO_DRAW.DRAW_POINT(1), 0);
    EXPECT_EQ(GINO_DRAW.DRAW_POINT(2), 480);

    // A box without width leaves the frame as it was, silently.
    FRALIM(f, 7.0f, 0.0f, 7.0f, 100.0f);
    EXPECT_EQ(bounds(f), std::vector<float>({-5, 10, 25, 50}));
    EXPECT_TRUE(console().empty());
}

TEST_F(Frames, ActivationErrorsChangeNothing) {
    const int f = make_frame(18, 12, 300.0f, 200.0f);
    FRAACT(f);
    int dlg = 0;
    DIACMP(1, 1, 1, dlg);
    console();
    struct Case { int frame; const char* error; };
    const Case cases[] = {
        {0, "gmActivateGraphicsFrame|GINOMENU error 26 - Invalid widget number|1626"},
        {1, "gmActivateGraphicsFrame|GINOMENU error 26 - Invalid widget number|1626"},
        {dlg, "gmActivateGraphicsFrame|GINOMENU error 31 - Not a graphics frame|1631"},
    };
    for (const Case& c : cases) {
        FRAACT(c.frame);
        EXPECT_EQ(console(), std::vector<std::string>{c.error});
        EXPECT_EQ(FRAME_LAYER.CURRENT_FRAME, f);
        EXPECT_EQ(GINO_DRAW.DRAW_WIDTH, 720);
    }
    FRACLE(dlg);
    EXPECT_EQ(console(), std::vector<std::string>{"gmClearGraphicsFrame|GINOMENU error 31 - Not a graphics frame|1631"});
    EXPECT_EQ(CURRENT_ROUTINE, "");
}

TEST_F(Frames, ClearingEmptiesTheListAndActivatesTheFrame) {
    const int f1 = make_frame(18, 12, 300.0f, 200.0f);
    const int f2 = make_frame(8, 6, 100.0f, 100.0f, 20, 4);
    FRAACT(f1);
    MOVTO2(0.0f, 100.0f);
    LINTO2(300.0f, 100.0f);
    ASSERT_FALSE(list(f1).empty());
    FRAACT(f2);
    gmClearGraphicsFrame(f1);
    EXPECT_TRUE(list(f1).empty());
    EXPECT_EQ(FRAME_LAYER.CURRENT_FRAME, f1);
    EXPECT_EQ(GINO_DRAW.DRAW_WIDTH, 720);

    // Frame 0 is the current frame.
    LINTO2(10.0f, 10.0f);
    FRAACT(f2);
    FRACLE(0);
    EXPECT_EQ(FRAME_LAYER.CURRENT_FRAME, f2);
    EXPECT_FALSE(list(f1).empty());
    EXPECT_EQ(GINO_DRAW.DRAW_WIDTH, 320);
    EXPECT_TRUE(console().empty());
}

TEST_F(Frames, FrameWithoutPixelsIsActivatedWithScalesOfOne) {
    const int f = make_frame(0, 0, 300.0f, 200.0f);
    int i1, i2, w = -1, h = -1;
    FRAPIX(f, i1, i2, w, h);
    EXPECT_EQ(w, 0);
    EXPECT_EQ(h, 0);
    FRAACT(f);
    EXPECT_EQ(GINO_DRAW.DRAW_XSCALE, 1.0f);
    EXPECT_EQ(GINO_DRAW.DRAW_YSCALE, 1.0f);
    MOVTO2(3.0f, 4.0f);  // nothing to draw into, and nothing breaks
    LINTO2(30.0f, 40.0f);
    EXPECT_TRUE(list(f).empty());
}

TEST_F(Frames, PrinterPageIsTheDrawingSurfaceInMillimetresUntilTheJobEnds) {
    const int f = make_frame(18, 12, 300.0f, 200.0f);
    FRAACT(f);
    const std::string ps = testing::TempDir() + "frames_page.ps";
    wl::script::load_lines({"cancel", "print " + ps});
    int status = -1;
    GUIPRT(0, status);  // cancelled: the frame stays the surface
    EXPECT_EQ(status, 0);
    EXPECT_EQ(bounds(0), std::vector<float>({0, 0, 300, 200}));

    GUIPRT(0, status);
    EXPECT_EQ(status, 1);
    const wl::PrintPage a4 = wl::PostScriptFile::a4_page();
    EXPECT_EQ(bounds(0), std::vector<float>({0, 0, a4.width_mm, a4.height_mm}));
    EXPECT_FLOAT_EQ(GINO_DRAW.DRAW_XSCALE, float(a4.width) / a4.width_mm);
    EXPECT_EQ(FRAME_LAYER.CURRENT_FRAME, f);
    MOVTO2(0.0f, 0.0f);
    LINTO2(100.0f, 100.0f);
    EXPECT_TRUE(list(f).empty());
    EXPECT_FALSE(gfx::frame(gfx::kPrinterPage)->list.empty());
    GUIPRT(1, status);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(gfx::selected(), f);
    GUIPRT(4, status);
    EXPECT_EQ(console(), std::vector<std::string>{"gmPrinterControl|GINOMENU error 35 - Parameter out of range|1635"});
}

TEST_F(Frames, ClipboardCopyAndClearOfTheCurrentFrame) {
    const int f = make_frame(18, 12, 300.0f, 200.0f);
    FRAACT(f);
    MOVTO2(0.0f, 0.0f);
    LINTO2(100.0f, 100.0f);
    gmCopyGraphicsToClipboard(0, 1);  // copy only
    EXPECT_FALSE(list(f).empty());
    ASSERT_NE(gfx::clipboard(), nullptr);
    EXPECT_EQ(gfx::clipboard()->list.size(), list(f).size());
    MOVTO2(0.0f, 100.0f);
    LINTO2(100.0f, 0.0f);
    const std::size_t drawn = list(f).size();
    gmCopyGraphicsToClipboard(0, -1);  // copy and clear
    EXPECT_TRUE(list(f).empty());
    EXPECT_EQ(gfx::clipboard()->list.size(), drawn);
    EXPECT_TRUE(console().empty());
}

TEST_F(Frames, PointerPressInAnotherFrameMakesItCurrentAndReportsWorldCoordinates) {
    const int f1 = make_frame(18, 12, 300.0f, 200.0f);
    const int f2 = make_frame(10, 5, 100.0f, 50.0f, 20, 4);
    FRAACT(f1);
    SETCALLBACK(f2, 200);
    wl::Event e;
    e.callback = 200;
    e.widget = f2;
    e.kind = -1;
    e.x = 100;   // pixels from the left
    e.y = 40;    // pixels from the bottom
    wl::model().post(e);
    int cb = 0;
    EXPECT_EQ(gmAction(cb), 200);
    EXPECT_EQ(FRAME_LAYER.CURRENT_FRAME, f2);
    int callback, widget, extra, kind, count;
    float x, y, reals[4];
    int ints[4];
    char text[8];
    ACTENQ(callback, widget, extra, kind, x, y, text, 8, count, reals, ints);
    EXPECT_EQ(x, 25.0f);
    EXPECT_EQ(y, 10.0f);

    // A frame without pixels maps one pixel to one world unit instead of dividing by zero.
    const int f0 = make_frame(0, 0, 300.0f, 200.0f, 25, 4);
    FRALIM(f0, 10.0f, 20.0f, 310.0f, 220.0f);
    SETCALLBACK(f0, 201);
    e.callback = 201;
    e.widget = f0;
    e.x = 3;
    e.y = 4;
    wl::model().post(e);
    gmAction(cb);
    ACTENQ(callback, widget, extra, kind, x, y, text, 8, count, reals, ints);
    EXPECT_EQ(x, 13.0f);
    EXPECT_EQ(y, 24.0f);
}

}  // namespace

namespace {

// The library sees the calls in the order the frame layer and the primitives make them.
TEST_F(Frames, LibraryCallsComeInTheirOrder) {
    wl::model().trace_on = true;
    wl::model().trace.clear();
    const int f = make_frame(15, 10, 300.0f, 200.0f);
    FRACLE(f);
    MOVTO2(0.0f, 0.0f);
    LINTO2(300.0f, 200.0f);
    RFILL(0, 0, 10.0f, 20.0f, 30.0f, 40.0f);
    FLUSHG();
    std::vector<std::string> calls;
    for (const std::string& c : wl::model().trace)
        if (c.rfind("REG", 0) != 0) calls.push_back(c);
    const std::vector<std::string> expected = {
        "GRAPHICSFRAME(1, 1, 4)",
        "GETBITMAP(2)",
        "CHANGEPEN(0, 192, 192, 192)",
        "CLEARFRAME(2)",
        "SETFRAMESCALE(2, 300.000000, 200.000000, 0.000000, 0.000000)",
        "GETBITMAP(2)",  // clearing
        "CLEARFRAME(2)",
        "UPDATEFRAME()",
        "GETBITMAP(2)",  // activation
        "DRAWMOVE(0, 400)",
        "DRAWLINE(600, 0)",
        "DRAWPIXEL(600, 0, 160, 160, 160)",  // palette colour 0 until the first LINCOL
        "DRAWMOVE(20, 320)",
        "DRAWPOLYGON(\"20 360 60 360 60 320 20 320\", 4)",
        "UPDATEFRAME()",
        "WINFLUSH()",
    };
    EXPECT_EQ(calls, expected);
}

}  // namespace
