// The colour dialog (components 0..1 in, 0..255 to the dialog and back) and the printer
// control, which routes two- and three-dimensional print jobs to their own bodies.
#include <cmath>

#include "gui_toolkit/frames.h"
#include "gui_toolkit/minigino.h"
#include "platform/graphics_model.h"
#include "platform/ps_file.h"
#include "platform/script.h"
#include "widget_fixture.h"

using MoreColourPrint = WidgetTest;

TEST_F(MoreColourPrint, ColourComponentsGoToTheDialogAsWholeStepsAndComeBackChosen) {
    start();
    wl::script::load_lines({"colour 51 0 255", "cancel", "colour 1 2 3", "colour 1 2 3"});
    float r = 1.0f, g = 0.5f, b = 0.0f;
    const auto t = trace([&] { gmColourControl(r, g, b); });
    EXPECT_EQ(only(t, "GETRGBCOLOR"), std::vector<std::string>{"GETRGBCOLOR(255, 127, 0)"});
    EXPECT_EQ(r, 0.2f);
    EXPECT_EQ(g, 0.0f);
    EXPECT_EQ(b, 1.0f);
    EXPECT_TRUE(console().empty());
    // A cancelled dialog gives back the colour it started from, in whole steps of 1/255.
    r = 0.5f;
    gmColourControl(r, g, b);
    EXPECT_EQ(r, 127.0f / 255.0f);
    EXPECT_EQ(b, 1.0f);

    std::array<float, 3> colour{0.2f, 0.4f, 0.6f};
    gmColourControl(colour);
    GCOLOUR gc{0.2f, 0.4f, 0.6f};
    gmColourControl(gc);
    EXPECT_EQ(gc.red, 1.0f / 255.0f);
    EXPECT_EQ(gc.blue, colour[2]);
    EXPECT_EQ(wl::script::transcript(),
              (std::vector<std::string>{"colour 255 127 0 -> 51 0 255", "colour 127 0 255 -> cancel",
                                        "colour 51 102 153 -> 1 2 3", "colour 51 102 153 -> 1 2 3"}));
}

TEST_F(MoreColourPrint, AComponentOutsideZeroToOneIsRefusedAndLeftAlone) {
    start();
    for (float bad : {1.01f, -0.01f, NAN}) {
        wl::model().console.clear();
        float r = 0.5f, g = bad, b = 0.5f;
        const auto t = trace([&] { gmColourControl(r, g, b); });
        EXPECT_TRUE(only(t, "GETRGBCOLOR").empty());
        EXPECT_EQ(r, 0.5f);
        EXPECT_EQ(std::isnan(bad) ? std::isnan(g) : g == bad, true);
        ASSERT_EQ(console().size(), 1u);
        EXPECT_EQ(console()[0].text, err(35));
        EXPECT_EQ(console()[0].title, "gmColourControl");
    }
}

TEST_F(MoreColourPrint, ColourDialogNeedsAMasterWindow) {
    float r = 0, g = 0, b = 0;
    gmColourControl(r, g, b);
    EXPECT_EQ(errors(), std::vector<std::string>{err(1)});
}

TEST_F(MoreColourPrint, PrintJobsFollowTheFrameTypeOfTheJobStarted) {
    start();
    const std::string ps = testing::TempDir() + "colour_print.ps";
    wl::script::load_lines({"print " + ps});
    // A two-dimensional job: the page becomes the drawing surface.
    EXPECT_EQ(gmPrinterControl(0), 1);
    EXPECT_EQ(FRAME_LAYER.FRAME_XRANGE, wl::PostScriptFile::a4_page().width_mm);
    // Action 3 of a two-dimensional job is the library's print job: it clears the page.
    EXPECT_EQ(gmPrinterControl(3), 1);

    // A three-dimensional job: no such printing here, so the page is not started and the
    // drawing surface stays; its later actions (1 and 3) go to the same body.
    FRAME_LAYER.FRAME_XRANGE = 300.0f;
    EXPECT_EQ(gmPrinterControl(0, 40), 0);
    EXPECT_EQ(FRAME_LAYER.FRAME_XRANGE, 300.0f);
    EXPECT_EQ(gmPrinterControl(3), 1);  // the picture is cleared
    EXPECT_EQ(gmPrinterControl(1), 1);
    EXPECT_EQ(gmPrinterControl(2, 40), 0);
    // A later action without a type is a two-dimensional job again: a further page of the job.
    EXPECT_EQ(gmPrinterControl(-1), 1);
    EXPECT_EQ(gmPrinterControl(3), 1);
    EXPECT_EQ(gmPrinterControl(1), 1);
    EXPECT_EQ(gmPrinterControl(3), 0);  // no job runs any more
    EXPECT_TRUE(console().empty());
}

TEST_F(MoreColourPrint, PrinterActionsOutsideTheRangeAreRefusedByBothBodies) {
    start();
    for (auto type : {OptInt{}, OptInt{40}}) {
        wl::model().console.clear();
        gmPrinterControl(4, type);
        gmPrinterControl(-2, type);
        EXPECT_EQ(errors(), (std::vector<std::string>{err(35), err(35)}));
        EXPECT_EQ(console()[0].title, "gmPrinterControl");
    }
}
