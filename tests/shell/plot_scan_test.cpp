// The scan plot: the curves, markers and texts it leaves in the plot frame's display list, the
// main-window fields it fills, and the reflections it does not draw.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "gui_toolkit/minigino.h"
#include "include/profile_fit.h"
#include "params_ui.h"
#include "platform/graphics_model.h"
#include "shell/plotscan.h"

namespace {

class ScanPlot : public kvtest::BuiltUi {
protected:
    void SetUp() override {
        BuiltUi::SetUp();
        make_scan(41);
    }

    // A doublet scan of n steps of 0.02 degrees around omega 0 at 2theta 40: counts, a fitted
    // profile slightly above them at the peak, and fitted values.
    static void make_scan(int n) {
        REFLN_t& r = REFLN;
        r.NSTEP = n;
        r.ANGL(1) = 40.0f;
        r.ANGL(2) = 0.5f;
        r.ANGL(3) = -12.25f;
        r.ANGL(4) = 130.0f;
        r.CMAX = 0.0f;
        for (int i = 1; i <= n; ++i) {
            r.XPOS(i) = 0.02f * float(i - 1 - n / 2);
            const float d = r.XPOS(i) / 0.1f;
            r.COUNTS(i) = 20.0f + 500.0f * std::exp(-d * d);
            r.YC(i) = r.COUNTS(i);
            if (r.COUNTS(i) > r.CMAX) r.CMAX = r.COUNTS(i);
        }
        FITPAR_t& fp = FITPAR;
        fp.VALS(1) = 20.0f;
        fp.VALS(2) = 0.15f;
        fp.VALS(3) = 90.0f;
        fp.VALS(4) = 0.0f;
        fp.VALS(5) = 0.4f;
        fp.VALS(6) = 0.5f;
        WAVES.NWAVE = 2;
        WAVES.WAVE(1) = 1.54056f;
        WAVES.WAVE(2) = 1.54439f;
        r.DOMA2 = 0.05f;
        r.DOMONO = 0.0f;
    }

    static const gfx::FrameGraphics& frame() { return *gfx::frame(GRAPHICS.IFRAME); }
    static gfx::Rgb colour(int index) {
        return {std::uint8_t(GINO_DRAW.PALETTE_RED(index)), std::uint8_t(GINO_DRAW.PALETTE_GREEN(index)),
                std::uint8_t(GINO_DRAW.PALETTE_BLUE(index))};
    }
    static std::vector<gfx::DrawOp> ops(gfx::OpKind kind, int palette) {
        std::vector<gfx::DrawOp> out;
        for (const gfx::DrawOp& op : frame().list)
            if (op.kind == kind && op.colour == colour(palette)) out.push_back(op);
        return out;
    }
    static int lines(int palette) { return int(ops(gfx::OpKind::Line, palette).size()); }
    static gfx::Point pixel(float x, float y) {
        gfx::Point p;
        EXPECT_TRUE(gino_to_pixel(x, y, p.x, p.y));
        return p;
    }
};

TEST_F(ScanPlot, FullScanDrawsCountsBothComponentsTotalAndMarkers) {
    make_scan(500);
    PLOTSCAN();
    EXPECT_EQ(lines(1), 1 + 499);      // base line and counts
    EXPECT_EQ(lines(3), 2 * 499);      // alpha1 and alpha2 components
    EXPECT_EQ(lines(5), 499);          // total fit
    EXPECT_EQ(lines(7), 2);            // peak and alpha2 markers
    EXPECT_EQ(PLOTFRAME.XSCALE, 300.0f / (REFLN.XPOS(500) - REFLN.XPOS(1)));
    EXPECT_EQ(PLOTFRAME.YLEN, 180.0f);
    EXPECT_EQ(PLOTFRAME.YSCALE, 180.0f / REFLN.CMAX);

    // Drawn in this order, each over the ones before: counts, components, total fit, markers.
    std::vector<gfx::Rgb> layers;
    for (const gfx::DrawOp& op : frame().list)
        if (op.kind == gfx::OpKind::Line && (layers.empty() || !(layers.back() == op.colour)))
            layers.push_back(op.colour);
    EXPECT_EQ(layers, (std::vector<gfx::Rgb>{colour(1), colour(3), colour(5), colour(7)}));

    // The counts start at the left edge of the frame.
    const std::vector<gfx::DrawOp> black = ops(gfx::OpKind::Line, 1);
    EXPECT_EQ(black[1].points[0], pixel(0.0f, 20.0f + PLOTFRAME.YSCALE * REFLN.COUNTS(1)));
}

TEST_F(ScanPlot, ComponentsAreThePseudoVoigtAtTheStepsAndTheAlpha2OneIsShifted) {
    ScanArray y;
    CALC_PROFILE(1, REFLN.XPOS, FITPAR.VALS, MAXSTEP, 41, y);
    float d1, d2, d3;
    for (int i : {1, 21, 41})
        EXPECT_EQ(y(i), 20.0f + 90.0f * 1.0f * PSVOIGT(REFLN.XPOS(i), 0.0f, 0.4f, 0.15f, d1, d2, d3));
    CALC_PROFILE(2, REFLN.XPOS, FITPAR.VALS, MAXSTEP, 41, y);
    EXPECT_EQ(y(21), 20.0f + 90.0f * 0.5f * PSVOIGT(0.0f, 0.0f, 0.4f, 0.15f, d1, d2, d3));

    // The plot leaves VALS as they were.
    PLOTSCAN();
    EXPECT_EQ(FITPAR.VALS(4), 0.0f);
}

TEST_F(ScanPlot, MarkersStayInsideTheFrameAndTheAlpha2OneIsMeasuredFromThePeakMarker) {
    struct Case {
        const char* name;
        float position;
        float x1;  // world x of the peak marker; 300: the frame's right edge
        float doma2 = 0.05f;
    };
    const float span = REFLN.XPOS(41) - REFLN.XPOS(1);
    const Case cases[] = {
        {"inside", 0.1f, (0.1f - REFLN.XPOS(1)) * (300.0f / span)},
        {"left of the scan", -2.0f, 0.0f},
        {"right of the scan", 2.0f, 300.0f},
        // Measured from the right edge itself, not from the column the peak marker is drawn in.
        {"right of the scan, alpha2 to the left", 2.0f, 300.0f, -0.05f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FITPAR.VALS(4) = c.position;
        REFLN.DOMA2 = c.doma2;
        PLOTSCAN();
        const std::vector<gfx::DrawOp> blue = ops(gfx::OpKind::Line, 7);
        ASSERT_EQ(blue.size(), 2u);  // both visible, at the right edge too
        // The right edge maps one pixel past the bitmap: the markers stand in its last column.
        const auto column = [&](float x) { return std::min(pixel(x, 200.0f).x, frame().width - 1); };
        const float x2 = std::min(c.x1 + PLOTFRAME.XSCALE * c.doma2, 300.0f);
        EXPECT_EQ(blue[0].points[0].x, column(c.x1));
        EXPECT_EQ(blue[0].points[1].x, column(c.x1));
        EXPECT_EQ(blue[1].points[0].x, column(x2));
        EXPECT_EQ(blue[0].points[0].y, pixel(0.0f, 200.0f).y);
        EXPECT_EQ(blue[0].points[1].y, pixel(0.0f, 200.0f - 0.3f * 180.0f).y);
    }
}

TEST_F(ScanPlot, Alpha2ComponentAndMarkerDependOnTheirOwnConditions) {
    struct Case {
        const char* name;
        int nwave;
        float wave2;
        int components, markers;
    };
    const Case cases[] = {
        {"two wavelengths", 2, 1.54439f, 2, 2},
        {"second wavelength 0.1 or less", 2, 0.1f, 1, 2},
        {"one wavelength, a second one still known", 1, 1.54439f, 2, 1},
        {"sine of the shifted angle beyond 1", 2, 10.0f, 1, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WAVES.NWAVE = c.nwave;
        WAVES.WAVE(2) = c.wave2;
        PLOTSCAN();
        EXPECT_EQ(lines(3), c.components * 40);
        EXPECT_EQ(lines(7), c.markers);
        EXPECT_EQ(lines(5), 40);
    }
}

TEST_F(ScanPlot, CalculatedProfileAboveTheCountsRaisesTheScale) {
    for (int i = 1; i <= 41; ++i) REFLN.YC(i) = 2.0f * REFLN.COUNTS(i);
    const float top = 2.0f * REFLN.CMAX;
    PLOTSCAN();
    EXPECT_EQ(PLOTFRAME.YSCALE, 180.0f / top);
    int highest = frame().height;
    for (const gfx::DrawOp& op : ops(gfx::OpKind::Line, 5))
        for (const gfx::Point& p : op.points) highest = std::min(highest, p.y);
    EXPECT_EQ(highest, pixel(0.0f, 200.0f).y);  // the fit reaches the top of the frame, not beyond
}

TEST_F(ScanPlot, CurvesBelowZeroCountsAreCutAtTheBaseLine) {
    // A fit whose background lies below zero: its curves dip under the base line, where the
    // texts stand. What is drawn stops at the base line; what lies above it is drawn as before.
    FITPAR.VALS(1) = -200.0f;
    for (int i = 1; i <= 41; ++i) REFLN.YC(i) = REFLN.COUNTS(i) - 220.0f;
    PLOTSCAN();
    const int base = pixel(0.0f, 20.0f).y;
    for (int palette : {3, 5}) {
        SCOPED_TRACE(palette);
        const std::vector<gfx::DrawOp> curve = ops(gfx::OpKind::Line, palette);
        ASSERT_FALSE(curve.empty());  // the peak stands above the base line
        int lowest = 0;
        for (const gfx::DrawOp& op : curve)
            for (const gfx::Point& p : op.points) lowest = std::max(lowest, p.y);
        EXPECT_EQ(lowest, base);  // reaches the base line, never below it
    }
    // The peak step is drawn where it was; the steps under zero counts are left out.
    const std::vector<gfx::DrawOp> total = ops(gfx::OpKind::Line, 5);
    EXPECT_LT(total.size(), 40u);
    bool peak = false;
    for (const gfx::DrawOp& op : total)
        for (const gfx::Point& p : op.points)
            peak = peak || p == pixel(150.0f, 20.0f + PLOTFRAME.YSCALE * REFLN.YC(21));
    EXPECT_TRUE(peak);
}

TEST_F(ScanPlot, TextsShowStandardAndTheLargestCount) {
    struct Case {
        int istd;
        float cmax;
        std::string counts;
    };
    const Case cases[] = {
        {3, 987.6f, "Max Counts =      987    "},
        {0, 123456789.0f, "Max Counts = ********    "},
        {0, 12345678.0f, "Max Counts = 12345678    "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.counts);
        REFLN.ISTD = c.istd;
        REFLN.CMAX = c.cmax;
        for (int i = 1; i <= 41; ++i) REFLN.YC(i) = 0.0f;
        PLOTSCAN();
        const std::vector<gfx::DrawOp> texts = ops(gfx::OpKind::Text, 2);
        ASSERT_EQ(texts.size(), c.istd > 0 ? 2u : 1u);
        const gfx::DrawOp& count = texts.back();
        EXPECT_EQ(count.text, c.counts);
        EXPECT_EQ(count.points[0], pixel(180.0f, 10.0f));
        if (c.istd > 0) {
            EXPECT_EQ(texts[0].text, "STANDARD");
            EXPECT_EQ(texts[0].points[0], pixel(5.0f, 10.0f));  // below the base line, at the left
            EXPECT_LT(texts[0].char_height, count.char_height);
        }
    }
}

TEST_F(ScanPlot, MainWindowFieldsShowIndicesSequenceAndAngles) {
    struct Case {
        int h, k, l;
        std::string shown;
    };
    const Case cases[] = {{1, -2, 10, "  1 -2 10"}, {-100, 999, -99, "***999-99"}};
    for (const Case& c : cases) {
        REFLN.IH(1) = c.h;
        REFLN.IH(2) = c.k;
        REFLN.IH(3) = c.l;
        REFLN.ISEQ = 16777217;  // not a 32-bit real
        PLOTSCAN();
        rt::FText<20> hkl;
        gmEnqTextSetting(GRAPHICS.IWID(1, 5), hkl);
        EXPECT_EQ(hkl.trimmed(), c.shown);
        EXPECT_EQ(value(1, 7), 16777217.0);
        EXPECT_EQ(value(1, 13), 40.0);
        EXPECT_EQ(value(1, 15), -12.25);
        EXPECT_EQ(value(1, 16), 130.0);
    }
}

TEST_F(ScanPlot, ScanWithoutFiniteScalesLeavesTheFrameClearedAndStillFillsTheFields) {
    struct Case {
        const char* name;
        void (*spoil)();
    };
    const Case cases[] = {
        {"one step", [] { REFLN.NSTEP = 1; }},
        {"no steps", [] { REFLN.NSTEP = 0; }},
        {"all steps at one angle", [] { for (int i = 1; i <= 41; ++i) REFLN.XPOS(i) = 0.5f; }},
        {"nothing above zero", [] { REFLN.CMAX = 0.0f; for (int i = 1; i <= 41; ++i) REFLN.YC(i) = 0.0f; }},
        {"largest count not a number", [] { REFLN.CMAX = std::numeric_limits<float>::quiet_NaN(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        make_scan(41);
        PLOTSCAN();
        ASSERT_FALSE(frame().list.empty());
        const float xscale = PLOTFRAME.XSCALE;
        c.spoil();
        REFLN.ISEQ = 77;
        PLOTSCAN();
        EXPECT_TRUE(frame().list.empty());
        EXPECT_EQ(PLOTFRAME.XSCALE, xscale);  // the scales of the last plot are kept
        EXPECT_EQ(value(1, 7), 77.0);
    }
}

TEST_F(ScanPlot, PlotStartClearsTheFrameAndReadsItsBounds) {
    PLOTSCAN();
    PLOTFRAME.XMIN = PLOTFRAME.YMIN = -1.0f;
    PLOTFRAME.XMAX = PLOTFRAME.YMAX = 0.0f;
    PLOT_START();
    EXPECT_TRUE(frame().list.empty());
    EXPECT_EQ(PLOTFRAME.XMIN, 0.0f);
    EXPECT_EQ(PLOTFRAME.YMIN, 0.0f);
    EXPECT_EQ(PLOTFRAME.XMAX, 300.0f);
    EXPECT_EQ(PLOTFRAME.YMAX, 200.0f);
}

}  // namespace
