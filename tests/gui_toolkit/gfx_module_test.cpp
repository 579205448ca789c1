// The graphics module's procedures: records and point lists handed on to the primitives.
#include "gfx_fixture.h"

namespace {

class Module : public GfxTest {
protected:
    int frame = 0;
    void SetUp() override {
        GfxTest::SetUp();
        gOpenGino();
        GGUIWIN();
        gmInitializeMenu();
        int id = 0;
        MASTER(0, 0, id);
        frame = make_frame(15, 10, 300.0f, 200.0f);
        FRAACT(frame);
        console();
    }
};

TEST_F(Module, FillRectTakesTheRecordsXLimitsFirst) {
    gFillRect(0, 0, GLIMIT{0.0f, 300.0f, 0.0f, 200.0f});
    RFILL(0, 0, 0.0f, 0.0f, 300.0f, 200.0f);
    const auto& l = list(frame);
    ASSERT_EQ(l.size(), 2u);
    EXPECT_EQ(l[0].points, l[1].points);
}

TEST_F(Module, PointListsWithoutPointsCallNothing) {
    gDrawPolylineTo2D(0, nullptr);
    gDrawPolylineTo2D(-3, nullptr);
    gFillPolygonTo2D(0, 0, 0, -1, nullptr);
    EXPECT_TRUE(console().empty());
    EXPECT_TRUE(list(frame).empty());

    const GPOINT2 pts[3] = {{0, 0}, {100, 0}, {100, 100}};
    GMOVETO2D(0.0f, 100.0f);
    gDrawPolylineTo2D(3, pts);
    EXPECT_EQ(list(frame).size(), 3u);  // two lines inside and the end pixel
    gFillPolygonTo2D(0, 0, 7, 3, pts);
    EXPECT_EQ(list(frame).back().kind, gfx::OpKind::Polygon);
}

TEST_F(Module, ClosingLeavesTheLibraryStateAsItWas) {
    gSetLineColour(4);
    gSetCharSize(2.0f, 2.0f);
    const int pen = GINO_DRAW.PEN_SLOT, cw = GINO_DRAW.CHAR_WIDTH_PX;
    GCLOSEDEVICE();
    GCLOSEGINO();
    GSTATE s;
    GENQGINOSTATE(s);
    EXPECT_EQ(s.state, 1);
    EXPECT_EQ(std::vector<int>(s.values, s.values + 3), std::vector<int>({0, 0, 1}));
    EXPECT_EQ(GINO_DRAW.PEN_SLOT, pen);
    EXPECT_EQ(GINO_DRAW.CHAR_WIDTH_PX, cw);
}

TEST_F(Module, ColourProceduresRoundTrip) {
    gDefineRGB(20, 0.0f, 1.0f, 0.2f);
    GCOLOUR c;
    GENQRGB(20, c);
    EXPECT_EQ(c.red, 0.0f);
    EXPECT_EQ(c.green, 1.0f);
    EXPECT_EQ(c.blue, 51.0f / 255.0f);
    EXPECT_EQ(GTRUECOL(0.0f, 0.0f, 1.0f), 16777216 + 255);
    EXPECT_EQ(GTRUELEN("ab  "), 2);
}

}  // namespace
