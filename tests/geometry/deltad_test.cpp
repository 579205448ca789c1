// "Delta-d/d": the report in the log against values worked out by hand, and the plot it leaves in
// the plot frame's display list (axes, ticks, labels, points), with the axis ends of unusual data.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "../shell/params_ui.h"
#include "gui_toolkit/minigino.h"
#include "include/geometry.h"
#include "platform/graphics_model.h"
#include "run_log.h"
#include "shell/kelvor_main.h"

namespace {

class DeltaD : public geomtest::WithRunLog<kvtest::BuiltUi> {
protected:
    void SetUp() override {
        BuiltUi::SetUp();
        // An orthorhombic cell of 5, 6, 7 Angstrom at the Mo wavelength.
        WAVES.WAVE(1) = 0.71073f;
        const float cell[7] = {5.0f, 6.0f, 7.0f, 90.0f, 90.0f, 90.0f, 210.0f};
        for (int k = 1; k <= 7; ++k) UNITCELL.CELL(k) = cell[k - 1];
        ASSERT_EQ(CELL_TO_RECIP(), 0);
        UNITCELL.UBOK = 1;
    }
    // Table rows: indices and observed 2theta.
    static void row(int h, int k, int l, float tth) {
        const int i = ++FITVALS.NFIT;
        FITVALS.IHFIT(i, 1) = h;
        FITVALS.IHFIT(i, 2) = k;
        FITVALS.IHFIT(i, 3) = l;
        FITVALS.ANGLESFIT(i, 1) = tth;
        FITVALS.ANGLESFIT(i, 2) = 0.25f;
        FITVALS.ANGLESFIT(i, 3) = 10.0f;
        FITVALS.ANGLESFIT(i, 4) = 20.0f;
    }
    static void five_rows() {
        row(1, 0, 0, 8.1632f);
        row(0, 2, 0, 13.5979f);
        row(1, 1, 1, 12.1354f);
        row(4, 0, -2, -35.2f);
        row(0, 0, 4, 23.4176f);
    }

    static const gfx::FrameGraphics& frame() { return *gfx::frame(GRAPHICS.IFRAME); }
    static gfx::Rgb colour(int index) {
        return {std::uint8_t(GINO_DRAW.PALETTE_RED(index)), std::uint8_t(GINO_DRAW.PALETTE_GREEN(index)),
                std::uint8_t(GINO_DRAW.PALETTE_BLUE(index))};
    }
    static std::vector<gfx::DrawOp> ops(gfx::OpKind kind) {
        std::vector<gfx::DrawOp> out;
        for (const gfx::DrawOp& op : frame().list)
            if (op.kind == kind) out.push_back(op);
        return out;
    }
    static std::vector<std::string> texts() {
        std::vector<std::string> out;
        for (const gfx::DrawOp& op : ops(gfx::OpKind::Text)) out.push_back(op.text);
        return out;
    }
    static gfx::Point pixel(float x, float y) {
        gfx::Point p;
        EXPECT_TRUE(gino_to_pixel(x, y, p.x, p.y));
        return p;
    }
    // The square drawn for a world point, as pixel corners.
    static std::vector<gfx::Point> square(float px, float py) {
        const gfx::Point lo = pixel(px - 1.0f, py - 1.0f), hi = pixel(px + 1.0f, py + 1.0f);
        return {{lo.x, lo.y}, {hi.x, lo.y}, {hi.x, hi.y}, {lo.x, hi.y}};
    }
    static std::string label(const std::string& number) { return number + std::string(25 - number.size(), ' '); }
    static void plot(std::vector<float> x, std::vector<float> y) {
        rt::FArray<float, MAXFIT> X, Y;
        for (std::size_t i = 0; i < x.size(); ++i) {
            X(int(i) + 1) = x[i];
            Y(int(i) + 1) = y[i];
        }
        PLOTDATASET(X, Y, MAXFIT, int(x.size()));
    }
};

TEST_F(DeltaD, LogReportsEveryRowAndTheStatistics) {
    five_rows();
    open_the_log();
    RUN_DELTAD();
    const std::vector<std::string> expected = {
        "",
        "",
        "**** OUTPUT FROM DELTA-D/D CALCULATION",  // the first asterisk is the carriage control
        "",
        "     CELL USED FOR D-CALC:    5.00000   6.00000   7.00000  90.0000  90.0000  90.0000  210.0000",
        "",
        "",
        "   RESULTS OF DELTA-D/D CALCULATION",
        "  H   K   L  2TH(OBS) 2TH(cal)  DOBS      DCALC    DELTAD/D",
        "  1   0   0   8.1632   8.1512   4.99269   5.00000 -0.001463",
        "  0   2   0  13.5979  13.6059   3.00175   3.00000  0.000585",
        "  1   1   1  12.1354  12.1154   3.36190   3.36744 -0.001645",
        "  4   0  -2 -35.2000  35.1410   1.17527   1.17718 -0.001624",
        "  0   0   4  23.4176  23.4326   1.75110   1.75000  0.000631",
        "",
        "  MINIMUM VALUE OF DELTA-D/D =  -0.001645",
        "  MAXIMUM VALUE OF DELTA-D/D =   0.000631",
        "  AVERAGE VALUE OF DELTA-D/D =  -0.000703",
        "",
        "",
    };
    EXPECT_EQ(log_lines(), expected);
    // The table and the cell are only read.
    EXPECT_EQ(FITVALS.NFIT, 5);
    EXPECT_EQ(FITVALS.ANGLESFIT(4, 1), -35.2f);
    EXPECT_EQ(UNITCELL.CELL(1), 5.0f);
}

TEST_F(DeltaD, ReflectionOnTheNegativeSideIsPlottedAtItsAbsoluteTwoTheta) {
    five_rows();
    RUN_DELTAD();  // the log closed: only the plot
    EXPECT_FALSE(std::filesystem::exists(dir / "run.log"));
    // 2theta 8.2 to 35.2: axis 0 to 40; delta-d/d -0.001645 to 0.000631: axis -0.002 to 0.0007.
    EXPECT_EQ(PLOTFRAME.XSCALE, 300.0f / 40.0f);
    EXPECT_EQ(PLOTFRAME.YSCALE, 180.0f / (0.0007f - -0.002f));
    const std::vector<gfx::DrawOp> points = ops(gfx::OpKind::Polygon);
    ASSERT_EQ(points.size(), 5u);
    const float y4 = float(1.17527 / 1.17718 - 1.0);  // the row at -35.2
    const float px = PLOTFRAME.XSCALE * 35.2f;
    const float py = 20.0f + PLOTFRAME.YSCALE * (y4 - -0.002f);
    const std::vector<gfx::Point> want = square(px, py);
    const std::vector<gfx::Point>& got = points[3].points;
    ASSERT_EQ(got.size(), 4u);
    for (std::size_t k = 0; k < 4; ++k) {
        EXPECT_EQ(got[k].x, want[k].x) << k;
        EXPECT_NEAR(got[k].y, want[k].y, 1) << k;  // y4 worked out in double
    }
    EXPECT_EQ(points[3].colour, colour(2));
}

// A cell that fits to a few parts in a million: in F8.5 the y labels would read -0.00000,
// 0.00000 and 0.00001; they are written in E form, so each can be told from the others.
TEST_F(DeltaD, YLabelsThatF85CannotTellApartAreWrittenInEForm) {
    plot({12.3f, 20.0f, 35.2f}, {-0.0000031f, 0.0000042f, 0.000001f});
    EXPECT_EQ(PLOTFRAME.YSCALE, 180.0f / (0.000005f - -0.000004f));
    const std::vector<std::string> t = texts();
    ASSERT_EQ(t.size(), 11u);  // caption, four 2theta labels, five delta-d/d labels, title
    EXPECT_EQ(std::vector<std::string>(t.begin() + 5, t.begin() + 10),
              (std::vector<std::string>{label("-4.00E-06"), label("-1.75E-06"), label("5.00E-07"), label("2.75E-06"),
                                        label("5.00E-06")}));
}

TEST_F(DeltaD, PlotDrawsAxesTicksLabelsAndPointsInOrder) {
    // Data between 12.3 and 47.9 degrees: an axis from 10 to 50 with five ticks.
    plot({12.3f, 20.0f, 35.2f, 47.9f}, {-0.0012f, 0.0005f, 0.00234f, -0.0051f});
    EXPECT_EQ(PLOTFRAME.YLEN, 180.0f);
    EXPECT_EQ(PLOTFRAME.XSCALE, 7.5f);
    EXPECT_EQ(PLOTFRAME.YSCALE, 180.0f / (0.003f - -0.006f));

    EXPECT_EQ(texts(), (std::vector<std::string>{
                           "2THETA: DEG", label("10.00"), label("50.00"), label("20.00"), label("30.00"),
                           label("40.00"), label("-0.00600"), label("-0.00375"), label("-0.00150"),
                           label(" 0.00075"), label(" 0.00300"), "DELTA-D/D PLOT"}));
    const std::vector<gfx::DrawOp> t = ops(gfx::OpKind::Text);
    EXPECT_EQ(t[0].points[0], pixel(135.0f, 4.0f));
    EXPECT_EQ(t[1].points[0], pixel(0.0f, 10.0f));
    EXPECT_EQ(t[2].points[0], pixel(267.0f, 10.0f));
    EXPECT_EQ(t[4].points[0], pixel(2.0f * 75.0f - 6.0f, 10.0f));
    EXPECT_EQ(t[6].points[0], pixel(0.0f, 20.0f + 1.8f));
    EXPECT_EQ(t[10].points[0], pixel(0.0f, 20.0f + 0.96f * 180.0f));
    EXPECT_EQ(t[11].points[0], pixel(105.0f, 24.0f));
    for (std::size_t k = 0; k + 1 < t.size(); ++k) EXPECT_EQ(t[k].colour, colour(1)) << k;
    EXPECT_EQ(t[11].colour, colour(4));
    EXPECT_GT(t[11].char_height, t[1].char_height);  // 10 high against 7

    // Lines, all black: base line, the line of delta-d/d = 0, five x ticks, four y ticks.
    const std::vector<gfx::DrawOp> lines = ops(gfx::OpKind::Line);
    ASSERT_EQ(lines.size(), 11u);
    for (const gfx::DrawOp& l : lines) EXPECT_EQ(l.colour, colour(1));
    const float yzero = 20.0f + PLOTFRAME.YSCALE * 0.006f;
    EXPECT_EQ(lines[0].points[0], pixel(0.0f, 20.0f));
    EXPECT_EQ(lines[1].points[0], pixel(0.0f, yzero));
    EXPECT_EQ(lines[2].points[0], pixel(0.0f, 20.0f));
    EXPECT_EQ(lines[2].points[1], pixel(0.0f, 18.0f));
    EXPECT_EQ(lines[4].points[0], pixel(150.0f, 20.0f));
    EXPECT_EQ(lines[6].points[0].x, frame().width - 1);  // the tick at 50, held in the last column
    EXPECT_EQ(lines[7].points[0], pixel(0.0f, 20.0f));
    EXPECT_EQ(lines[7].points[1], pixel(15.0f, 20.0f));

    // Every point lies inside the plot area: four red squares, drawn after the axes.
    const std::vector<gfx::DrawOp> squares = ops(gfx::OpKind::Polygon);
    ASSERT_EQ(squares.size(), 4u);
    EXPECT_EQ(squares[0].points, square(PLOTFRAME.XSCALE * (12.3f - 10.0f), 20.0f + PLOTFRAME.YSCALE * (-0.0012f - -0.006f)));
    EXPECT_EQ(squares[0].colour, colour(2));
    const auto& list = frame().list;
    const auto first_square = std::find_if(list.begin(), list.end(), [](const gfx::DrawOp& op) {
        return op.kind == gfx::OpKind::Polygon;
    });
    EXPECT_EQ(std::count_if(first_square, list.end(), [](const gfx::DrawOp& op) { return op.kind == gfx::OpKind::Text; }),
              1);
}

TEST_F(DeltaD, AxisEndsAndLabelsOfUnusualData) {
    struct Case {
        const char* name;
        std::vector<float> x, y;
        std::string xlow, xhigh;  // 2theta labels at the ends
        std::string ylow, yhigh;  // delta-d/d labels at the ends
        std::size_t squares;
    };
    const Case cases[] = {
        {"data up to exactly 50 give an axis to 60", {12.3f, 50.0f}, {0.0012f, -0.0012f}, "10.00", "60.00",
         "-0.00200", " 0.00200", 2},
        {"2theta labels of 100 and more", {95.0f, 105.0f}, {0.0012f, -0.0012f}, "90.00", "*****", "-0.00200",
         " 0.00200", 2},
        // F8.5 would fill them with asterisks: E form keeps them readable.
        {"delta-d/d labels of 100 or more and of -10 or less", {25.0f, 35.0f}, {150.0f, -12.0f}, "20.00", "40.00",
         "-1.30E+01", "1.51E+02", 2},
        {"every value positive: the low end lies above the smallest", {25.0f, 35.0f}, {0.0012f, 0.0031f}, "20.00",
         "40.00", " 0.00200", " 0.00400", 1},
        {"every value negative: the one above the top is held below it", {25.0f, 35.0f}, {-0.0012f, -0.0031f},
         "20.00", "40.00", "-0.00400", "-0.00200", 2},
        {"a point at the low end of the 2theta axis is not drawn", {10.0f, 25.0f}, {0.0012f, -0.0012f}, "10.00",
         "30.00", "-0.00200", " 0.00200", 1},
        // Ends that would give no height, or never end their rounding.
        {"largest value exactly 0", {25.0f, 35.0f}, {-0.002f, 0.0f}, "20.00", "40.00", "-0.00300", " 0.00000", 2},
        {"every value exactly 0", {25.0f, 35.0f}, {0.0f, 0.0f}, "20.00", "40.00", "-0.00100", " 0.00100", 2},
        {"one reflection", {25.0f}, {0.0023f}, "20.00", "30.00", " 0.00000", " 0.00300", 1},
        {"two values of one first digit, negative", {25.0f, 35.0f}, {-0.0023f, -0.0027f}, "20.00", "40.00",
         "-0.00300", " 0.00000", 2},
        {"a value that is not finite has no place", {25.0f, 35.0f},
         {0.0023f, std::numeric_limits<float>::infinity()}, "20.00", "30.00", " 0.00000", " 0.00300", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        plot(c.x, c.y);
        const std::vector<std::string> t = texts();
        ASSERT_GE(t.size(), 9u);
        EXPECT_EQ(t[1], label(c.xlow));
        EXPECT_EQ(t[2], label(c.xhigh));
        // Caption, two end labels, the inner 2theta labels, four delta-d/d labels, the top one, title.
        const std::size_t inner = t.size() - 9;
        EXPECT_EQ(t[inner + 3], label(c.ylow));
        EXPECT_EQ(t[inner + 7], label(c.yhigh));
        EXPECT_TRUE(std::isfinite(PLOTFRAME.YSCALE));
        EXPECT_GT(PLOTFRAME.YSCALE, 0.0f);
        const std::vector<gfx::DrawOp> squares = ops(gfx::OpKind::Polygon);
        EXPECT_EQ(squares.size(), c.squares);
    }
}

TEST_F(DeltaD, PointAboveTheTopIsDrawnOneUnitBelowIt) {
    plot({25.0f, 35.0f}, {-0.0012f, -0.0031f});
    const std::vector<gfx::DrawOp> squares = ops(gfx::OpKind::Polygon);
    ASSERT_EQ(squares.size(), 2u);
    EXPECT_EQ(squares[0].points, square(PLOTFRAME.XSCALE * 5.0f, 199.0f));
}

TEST_F(DeltaD, EmptyTableLeavesTheHeadingsAndAClearedFrame) {
    open_the_log();
    plot({12.3f, 47.9f}, {0.001f, -0.001f});  // an earlier plot
    const PLOTFRAME_t before = PLOTFRAME;
    FITVALS.NFIT = 0;
    RUN_DELTAD();
    EXPECT_TRUE(frame().list.empty());
    EXPECT_EQ(PLOTFRAME.XSCALE, before.XSCALE);
    EXPECT_EQ(PLOTFRAME.YSCALE, before.YSCALE);
    const std::vector<std::string> lines = log_lines();
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_EQ(lines.back(), "  H   K   L  2TH(OBS) 2TH(cal)  DOBS      DCALC    DELTAD/D");
}

TEST_F(DeltaD, RowWithoutAFiniteValueIsLoggedAsAsterisksAndNotPlotted) {
    five_rows();
    row(0, 0, 0, 20.0f);  // indices 0 0 0 have no d-spacing
    row(2, 0, 0, 0.0f);   // an observed 2theta of 0 neither
    open_the_log();
    RUN_DELTAD();
    const std::vector<std::string> lines = log_lines();
    ASSERT_EQ(lines.size(), 22u);
    EXPECT_EQ(lines[14], "  0   0   0  20.0000   0.0000   2.04647********** -1.000000");
    EXPECT_EQ(lines[15], "  2   0   0   0.0000  16.3441**********   2.50000**********");
    EXPECT_EQ(lines[19], "  AVERAGE VALUE OF DELTA-D/D = **********");
    EXPECT_EQ(ops(gfx::OpKind::Polygon).size(), 6u);  // the row of 0 0 0 sits at -1
    EXPECT_TRUE(std::isfinite(PLOTFRAME.YSCALE));
}

}  // namespace
