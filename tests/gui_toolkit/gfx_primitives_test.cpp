// The world-to-pixel transform, the drawing primitives, their warnings and the palette.
#include <cmath>
#include <limits>

#include "gfx_fixture.h"

namespace {

// A 600 x 400 surface showing world 0..300 x 0..200: two pixels per world unit.
class Primitives : public GfxTest {
protected:
    int frame = 0;
    void SetUp() override {
        GfxTest::SetUp();
        start_master();
        frame = make_frame(15, 10, 300.0f, 200.0f);
        ASSERT_GT(frame, 1);
        FRAACT(frame);
        console();
    }
    static std::pair<int, int> point() { return {GINO_DRAW.DRAW_POINT(1), GINO_DRAW.DRAW_POINT(2)}; }
};

TEST_F(Primitives, ActivationSetsTheTransformOfA600By400Frame) {
    EXPECT_EQ(GINO_DRAW.DRAW_WIDTH, 600);
    EXPECT_EQ(GINO_DRAW.DRAW_HEIGHT, 400);
    EXPECT_EQ(GINO_DRAW.DRAW_XSCALE, 2.0f);
    EXPECT_EQ(GINO_DRAW.DRAW_YSCALE, 2.0f);
}

TEST_F(Primitives, WorldPointsMapToPixelsWithHalvesAwayFromZero) {
    struct Case { float x, y; int px, py; };
    const Case cases[] = {
        {0.0f, 0.0f, 0, 400},       // bottom-left corner: row 400, one below the bitmap
        {300.0f, 200.0f, 600, 0},   // top-right corner
        {0.25f, 0.0f, 1, 400},      // 0.5 pixel rounds up
        {-0.25f, 0.0f, -1, 400},    // -0.5 pixel rounds down
        {0.2f, 0.2f, 0, 400},
        {150.0f, 100.0f, 300, 200},
        {-1000.0f, 1000.0f, -2000, -1600},  // outside the surface: passed on
    };
    for (const Case& c : cases) {
        MOVTO2(c.x, c.y);
        EXPECT_EQ(point(), std::make_pair(c.px, c.py)) << c.x << ", " << c.y;
    }
}

TEST_F(Primitives, NonFiniteOrUnrepresentablePointsAreDroppedNotConverted) {
    MOVTO2(10.0f, 10.0f);
    const auto before = point();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const std::size_t n = list(frame).size();
    for (float v : {nan, inf, -inf, 1e30f}) {
        MOVTO2(v, 5.0f);
        LINTO2(5.0f, v);
        RFILL(0, 0, v, 0.0f, 10.0f, 10.0f);
        EXPECT_EQ(point(), before);
    }
    EXPECT_EQ(list(frame).size(), n);
    EXPECT_TRUE(console().empty());
}

TEST_F(Primitives, LineIsClippedToTheBitmapAndItsEndPixelSetInThePenColour) {
    LINCOL(2);  // red
    MOVTO2(-50.0f, 100.0f);
    LINTO2(400.0f, 100.0f);  // runs across and beyond the surface at row 200
    const auto& l = list(frame);
    ASSERT_EQ(l.size(), 1u);  // the end pixel lies outside and is dropped
    EXPECT_EQ(l[0].kind, gfx::OpKind::Line);
    EXPECT_EQ(l[0].points[0], (gfx::Point{0, 200}));
    EXPECT_EQ(l[0].points[1], (gfx::Point{599, 200}));
    EXPECT_EQ(l[0].colour, (gfx::Rgb{255, 0, 0}));
    EXPECT_EQ(point(), std::make_pair(800, 200));

    // A line whose end is the current point still sets that pixel.
    MOVTO2(10.0f, 10.0f);
    LINTO2(10.0f, 10.0f);
    ASSERT_EQ(l.size(), 3u);
    EXPECT_EQ(l[2].kind, gfx::OpKind::Pixel);
    EXPECT_EQ(l[2].points[0], (gfx::Point{20, 380}));
    EXPECT_EQ(l[2].colour, (gfx::Rgb{255, 0, 0}));
}

TEST_F(Primitives, CharacterSizeIsTruncatedPixelsAndTextAnchoredAtTheCurrentPoint) {
    CHASIZ(1.75f, 1.75f);
    EXPECT_EQ(GINO_DRAW.CHAR_WIDTH_PX, 3);
    EXPECT_EQ(GINO_DRAW.CHAR_HEIGHT_PX, 3);
    CHASIZ(5.0f, 6.0f);
    CHAANG(90.0f);
    MOVTO2(20.0f, 30.0f);
    CHASTR("Omega ");
    const auto& t = list(frame).back();
    EXPECT_EQ(t.kind, gfx::OpKind::Text);
    EXPECT_EQ(t.text, "Omega ");
    EXPECT_EQ(t.points[0], (gfx::Point{40, 340}));
    EXPECT_EQ(t.char_width, 10);
    EXPECT_EQ(t.char_height, 12);
    EXPECT_EQ(t.angle_tenths, 900);
    EXPECT_EQ(point(), std::make_pair(40, 340));  // the text does not move the point
}

TEST_F(Primitives, FilledRectangleIsAPolygonStartingAtItsFirstXAndSecondY) {
    LINCOL(7);
    RFILL(0, 0, 10.0f, 20.0f, 30.0f, 40.0f);
    const auto& r = list(frame).back();
    EXPECT_EQ(r.kind, gfx::OpKind::Polygon);
    EXPECT_EQ(r.points, (std::vector<gfx::Point>{{20, 360}, {60, 360}, {60, 320}, {20, 320}}));
    EXPECT_EQ(r.colour, (gfx::Rgb{0, 0, 255}));
    EXPECT_EQ(point(), std::make_pair(20, 320));
}

TEST_F(Primitives, MisuseGivesItsWarningAndChangesNothing) {
    LINCOL(3);
    CHASIZ(2.0f, 2.0f);
    const int pen = GINO_DRAW.PEN_SLOT;
    const std::size_t n = list(frame).size();
    struct Case { const char* what; void (*call)(); const char* expected; };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    (void)nan;
    const Case cases[] = {
        {"LINCOL(-1)", [] { LINCOL(-1); }, "gSetLineColour(LINCOL)|GINO-F warning 46 - Negative colour index|0"},
        {"CHASIZ(0,5)", [] { CHASIZ(0.0f, 5.0f); },
         "gSetCharSize(CHASIZ)|GINO-F warning 68 - Negative or zero character dimension|0"},
        {"CHASIZ(5,-1)", [] { CHASIZ(5.0f, -1.0f); },
         "gSetCharSize(CHASIZ)|GINO-F warning 68 - Negative or zero character dimension|0"},
        {"CHASIZ(NaN,5)", [] { CHASIZ(std::numeric_limits<float>::quiet_NaN(), 5.0f); },
         "gSetCharSize(CHASIZ)|GINO-F warning 68 - Negative or zero character dimension|0"},
        {"RFILL(-1,-1)", [] { RFILL(-1, -1, 0, 0, 10, 10); },
         "gFillRect(RFILL)|GINO-F warning 88 - Negative fill style in fill routine|0"},
        {"RFILL(0,-1)", [] { RFILL(0, -1, 0, 0, 10, 10); },
         "gFillRect(RFILL)|GINO-F warning 89 - Negative line style in fill routine|0"},
        {"RGBDEF(256)", [] { RGBDEF(256, 0.5f, 0.5f, 0.5f); },
         "gDefineRGB(RGBDEF)|GINO-F warning 59 - Invalid component in colour definition|0"},
        {"RGBDEF(3, 1.01)", [] { RGBDEF(3, 1.01f, 0.5f, 0.5f); },
         "gDefineRGB(RGBDEF)|GINO-F warning 59 - Invalid component in colour definition|0"},
        {"RGBENQ(-1)", [] { float r = 9, g = 9, b = 9; RGBENQ(-1, r, g, b); EXPECT_EQ(r, 9.0f); },
         "gDefineRGB(RGBDEF)|GINO-F warning 59 - Invalid component in colour definition|0"},
        {"POLTO2(-1)", [] { POLTO2(nullptr, nullptr, -1); },
         "gDrawPolylineTo2D(POLTO2)|GINO-F warning 42 - Negative number of points in multi-drawing routine|0"},
        {"POFTO2(-1)", [] { POFTO2(0, 0, 0, nullptr, nullptr, -1); },
         "gFillPolygonTo2D(POFTO2)|GINO-F warning 42 - Negative number of points in multi-drawing routine|0"},
        {"POFTO2(1025)", [] { POFTO2(-1, -1, 0, nullptr, nullptr, 1025); },
         "gFillPolygonTo2D(POFTO2)|GINO-F warning 151 - Too many vertices in polygon boundary|0"},
        {"POFTO2 fill -1", [] { float x[3] = {0, 1, 1}, y[3] = {0, 0, 1}; POFTO2(-1, 0, 0, x, y, 3); },
         "gFillPolygonTo2D(POFTO2)|GINO-F warning 88 - Negative fill style in fill routine|0"},
    };
    for (const Case& c : cases) {
        c.call();
        EXPECT_EQ(console(), std::vector<std::string>{c.expected}) << c.what;
    }
    EXPECT_EQ(GINO_DRAW.PEN_SLOT, pen);
    EXPECT_EQ(GINO_DRAW.CHAR_WIDTH_PX, 4);
    EXPECT_EQ(GINO_DRAW.PALETTE_RED(3), 255);
    EXPECT_EQ(list(frame).size(), n);
}

TEST_F(Primitives, PolygonOfAtMost1024VerticesIsFilled) {
    std::vector<float> x(1024), y(1024);
    for (int i = 0; i < 1024; ++i) {
        const float a = float(i) * 6.2831853f / 1024.0f;
        x[std::size_t(i)] = 150.0f + 50.0f * std::cos(a);
        y[std::size_t(i)] = 100.0f + 50.0f * std::sin(a);
    }
    POFTO2(0, 0, 0, x.data(), y.data(), 1024);
    EXPECT_TRUE(console().empty());
    ASSERT_EQ(list(frame).size(), 1u);
    EXPECT_EQ(list(frame)[0].kind, gfx::OpKind::Polygon);
}

TEST_F(Primitives, TrueColoursAndPaletteDefinitions) {
    int c = 0;
    TRUCOL(1.0f, 0.5f, 0.0f, c);
    EXPECT_EQ(c, 16777216 + 65536 * 255 + 256 * 128);  // the half rounds up
    TRUCOL(1.5f, -0.2f, 1.0f, c);
    EXPECT_EQ(c, 16777216 + 65536 * 255 + 255);  // components clamped to 0..1

    RGBDEF(5, 1.0f, 0.5f, 0.0f);  // truncated: 0.5 gives 127
    EXPECT_EQ(GINO_DRAW.PALETTE_RED(5), 255);
    EXPECT_EQ(GINO_DRAW.PALETTE_GREEN(5), 127);
    EXPECT_EQ(GINO_DRAW.PALETTE_BLUE(5), 0);
    // The library's palette, which widget colour codes show, follows; an entry nobody defined
    // names no colour until it is defined.
    gfx::Rgb shown;
    ASSERT_TRUE(gfx::colour_of_code(5, shown));
    EXPECT_EQ(shown, (gfx::Rgb{255, 127, 0}));
    EXPECT_FALSE(gfx::colour_of_code(40, shown));
    RGBDEF(40, 0.2f, 0.4f, 0.6f);
    ASSERT_TRUE(gfx::colour_of_code(40, shown));
    EXPECT_EQ(shown, (gfx::Rgb{51, 102, 153}));

    LINCOL(16777216 + 65536 * 255);  // true red occupies palette entry 255
    EXPECT_EQ(GINO_DRAW.PEN_SLOT, 256);
    float r, g, b;
    RGBENQ(255, r, g, b);
    EXPECT_EQ(r, 1.0f);
    EXPECT_EQ(g, 0.0f);
    EXPECT_EQ(b, 0.0f);
    EXPECT_EQ(gfx::pen(), (gfx::Rgb{255, 0, 0}));

    // Neither a palette index nor a true colour: the pen stays.
    LINCOL(70000);
    EXPECT_EQ(GINO_DRAW.PEN_SLOT, 256);
    EXPECT_TRUE(console().empty());
}

TEST_F(Primitives, PolylineDrawsFromTheCurrentPointAndEndsOnItsLastVertex) {
    MOVTO2(0.0f, 100.0f);
    const float x[3] = {100.0f, 100.0f, 200.0f}, y[3] = {100.0f, 50.0f, 50.0f};
    POLTO2(x, y, 3);
    const auto& l = list(frame);
    ASSERT_EQ(l.size(), 4u);
    EXPECT_EQ(l[0].points, (std::vector<gfx::Point>{{0, 200}, {200, 200}}));
    EXPECT_EQ(l[2].points, (std::vector<gfx::Point>{{200, 300}, {400, 300}}));
    EXPECT_EQ(l[3].kind, gfx::OpKind::Pixel);
    EXPECT_EQ(point(), std::make_pair(400, 300));
    POLTO2(x, y, 0);  // nothing, and the point stays
    EXPECT_EQ(l.size(), 4u);
}

TEST(GfxClipping, SegmentsAndPolygonsAreCutToTheBitmap) {
    gfx::Point a, b;
    struct Case { long long x0, y0, x1, y1; bool inside; gfx::Point a, b; };
    const Case cases[] = {
        {5, 5, 20, 5, true, {5, 5}, {9, 5}},           // leaves at the right edge (w = 10)
        {-5, -5, 15, 15, true, {0, 0}, {9, 9}},        // diagonal through
        {-5, 20, 20, 20, false, {}, {}},               // below the bitmap
        {3, 4, 3, 4, true, {3, 4}, {3, 4}},            // a point inside
        {-4000000000LL, 5, 4000000000LL, 5, true, {0, 5}, {9, 5}},
    };
    for (const Case& c : cases) {
        const bool in = gfx::clip_line(10, 10, c.x0, c.y0, c.x1, c.y1, a, b);
        ASSERT_EQ(in, c.inside) << c.x0 << "," << c.y0;
        if (in) {
            EXPECT_EQ(a, c.a);
            EXPECT_EQ(b, c.b);
        }
    }
    EXPECT_EQ(gfx::clip_polygon(10, 10, {{-5, -5}, {5, -5}, {5, 5}, {-5, 5}}),
              (std::vector<gfx::Point>{{0, 0}, {5, 0}, {5, 5}, {0, 5}}));
    EXPECT_TRUE(gfx::clip_polygon(10, 10, {{20, 20}, {30, 20}, {30, 30}}).empty());
}

}  // namespace
