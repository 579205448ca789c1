// The library's desktop services through the scripted front end and the model: pixel areas read
// back what was drawn, the clipboard copy, print jobs into a PostScript file, the colour dialog,
// key callbacks, the help window, the busy cursor and raising or lowering windows.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "include/shared.h"
#include "platform/frontend.h"
#include "platform/graphics_model.h"
#include "platform/model.h"
#include "platform/ps_file.h"
#include "platform/script.h"
#include "platform/widget_extra.h"
#include "platform/widget_more.h"
#include "platform/wingui.h"
#include "runtime/fatal.h"
#include "scripted_fixture.h"

namespace {

using gfx::Rgb;

class Desk : public ScriptedTest {
protected:
    wl::Model& m = wl::model();
    int frame = 0;

    void SetUp() override {
        ScriptedTest::SetUp();
        REGTITLESTRING("Main", 4);
        OPENMASTER(0, 0);
        WINDOWDRAW(0, 1);
        // A frame of 8 x 6 pixels, selected for drawing, pen red.
        frame = m.create(wl::KIND_FRAME, 1);
        gfx::create_frame(frame, 8, 6);
        GETBITMAP(frame);
        CHANGEPEN(0, 255, 0, 0);
    }
    void TearDown() override { wl::set_frontend(nullptr); }

    static std::string temp(const std::string& name) { return testing::TempDir() + "desk_" + name; }

    static std::string read(const std::string& path) {
        std::ifstream in(path);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    // Pixels nrows x ncols of the area at (a, b) as PIXGET reads them, row by row.
    static std::vector<int> get(int a, int b, int ncols, int nrows) {
        std::vector<int> out;
        std::vector<int> row(static_cast<std::size_t>(ncols));
        IMAGEGETINIT(a, b, ncols, nrows, 2);
        for (int r = 0; r < nrows; ++r) {
            IMAGEGETDATA(r, 2, row.data(), ncols);
            out.insert(out.end(), row.begin(), row.end());
        }
        IMAGEGETEND();
        return out;
    }
};

constexpr int kGrey = 0xC0C0C0, kRed = 0xFF0000, kBlue = 0x0000FF;

TEST_F(Desk, PixelAreasReadBackTheLinesAreasAndPixelsDrawn) {
    DRAWMOVE(0, 1);
    DRAWLINE(7, 1);                 // row 1, red
    CHANGEPEN(0, 0, 0, 255);
    const int square[] = {4, 3, 6, 3, 6, 5, 4, 5};
    DRAWPOLYGON(square, 4);         // columns 4..6 of rows 3..5, blue
    DRAWPIXEL(0, 5, 0, 255, 0);
    DRAWSTRING(0, 4, 8, 8, 0, 0, 0, 0, "", "text");  // glyphs are not pixels of the model
    EXPECT_EQ(get(0, 0, 8, 1), std::vector<int>(8, kGrey));
    EXPECT_EQ(get(0, 1, 8, 1), std::vector<int>(8, kRed));
    EXPECT_EQ(get(3, 3, 5, 3), (std::vector<int>{kGrey, kBlue, kBlue, kBlue, kGrey,  //
                                                 kGrey, kBlue, kBlue, kBlue, kGrey,  //
                                                 kGrey, kBlue, kBlue, kBlue, kGrey}));
    EXPECT_EQ(get(0, 5, 1, 1), std::vector<int>{0x00FF00});
    // Pixels outside the bitmap read as its background.
    EXPECT_EQ(get(-1, 1, 3, 1), (std::vector<int>{kGrey, kRed, kRed}));
    EXPECT_EQ(get(7, 6, 2, 1), (std::vector<int>{kGrey, kGrey}));
}

TEST_F(Desk, DrawnPixelAreasAreKeptShownAndReadBack) {
    DRAWMOVE(0, 2);
    DRAWLINE(7, 2);  // a red row through the area
    // A 3 x 3 area at (6, 1): its rows 0 and 2 given, row 1 (the red line) not; its third
    // column lies outside the bitmap.
    IMAGEDRAWINIT(6, 1, 3, 3, 2);
    const int row0[] = {0x010203, 0x040506, 0x070809};
    const int row2[] = {0x0A0B0C, 0x0D0E0F, 0x101112};
    IMAGEDRAWDATA(0, 2, row0, 3);
    IMAGEDRAWDATA(2, 2, row2, 3);
    IMAGEDRAWEND(3, 3);
    EXPECT_EQ(get(6, 1, 2, 3), (std::vector<int>{0x010203, 0x040506, kRed, kRed, 0x0A0B0C, 0x0D0E0F}));
    // Each run of rows given is one area in the display list, inside the bitmap.
    const auto& list = gfx::frame(frame)->list;
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[1].kind, gfx::OpKind::Image);
    EXPECT_EQ(list[1].points[0], (gfx::Point{6, 1}));
    EXPECT_EQ(list[1].image_w, 2);
    EXPECT_EQ(list[1].pixels, (std::vector<Rgb>{{1, 2, 3}, {4, 5, 6}}));

    // The whole area at once, as gmDrawImage gives it; an area wholly outside draws nothing.
    const int data[] = {kBlue, kRed, kRed, kBlue};
    IMAGEDRAWINIT(0, 4, 2, 2, 2);
    IMAGEDRAWFASTDATA(data, 1);
    IMAGEDRAWEND(2, 2);
    EXPECT_EQ(get(0, 4, 2, 2), (std::vector<int>{kBlue, kRed, kRed, kBlue}));
    IMAGEDRAWINIT(20, 20, 2, 2, 2);
    IMAGEDRAWFASTDATA(data, 1);
    IMAGEDRAWEND(2, 2);
    EXPECT_EQ(list.size(), 4u);
}

TEST_F(Desk, ClipboardHoldsTheFrameAsItWasCopied) {
    EXPECT_EQ(gfx::clipboard(), nullptr);
    DRAWMOVE(0, 0);
    DRAWLINE(7, 5);
    FRAMECUTANDPASTE(frame, 1);
    CLEARFRAME(frame);
    DRAWMOVE(0, 5);
    DRAWLINE(7, 5);
    ASSERT_NE(gfx::clipboard(), nullptr);
    EXPECT_EQ(gfx::clipboard()->width, 8);
    ASSERT_EQ(gfx::clipboard()->list.size(), 1u);
    EXPECT_EQ(gfx::clipboard()->list[0].points, (std::vector<gfx::Point>{{0, 0}, {7, 5}}));
    FRAMECUTANDPASTE(999, 1);  // no such frame: the copy stays
    EXPECT_EQ(gfx::clipboard()->list[0].points[0], (gfx::Point{0, 0}));
}

TEST_F(Desk, PrintJobDrawsOnThePageAndWritesItsLinesToThePostScriptFile) {
    const std::string ps = temp("job.ps");
    wl::script::load_lines({"print " + ps});
    int status = -1, w = 0, h = 0;
    float xr = 0, yr = 0;
    PRINTJOB(0, status, w, h, xr, yr);
    ASSERT_EQ(status, 1);
    const wl::PrintPage a4 = wl::PostScriptFile::a4_page();
    EXPECT_EQ(std::vector<int>({w, h}), std::vector<int>({a4.width, a4.height}));
    EXPECT_NEAR(xr, 197.203, 1e-3);  // A4 less 18-point margins, in millimetres
    EXPECT_NEAR(yr, 284.339, 1e-3);
    // The page is the drawing surface until the job ends.
    EXPECT_EQ(gfx::selected(), gfx::kPrinterPage);
    DRAWMOVE(100, 200);
    DRAWLINE(300, 400);
    PRINTJOB(3, status, w, h, xr, yr);  // cleared
    EXPECT_EQ(status, 1);
    DRAWMOVE(10, 20);
    DRAWLINE(110, 20);
    PRINTJOB(-1, status, w, h, xr, yr);  // the first page goes out, a second one opens
    EXPECT_EQ(status, 1);
    DRAWMOVE(5, 6);
    DRAWLINE(7, 8);
    PRINTJOB(1, status, w, h, xr, yr);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(gfx::selected(), frame);
    EXPECT_TRUE(gfx::frame(frame)->list.empty());
    EXPECT_EQ(gfx::frame(gfx::kPrinterPage), nullptr);

    const std::string text = read(ps);
    EXPECT_EQ(text.rfind("%!PS-Adobe-3.0", 0), 0u);
    EXPECT_NE(text.find("%%Pages: 2"), std::string::npos);
    EXPECT_NE(text.find("newpath 10 20 moveto 110 20 lineto stroke"), std::string::npos);
    EXPECT_NE(text.find("newpath 5 6 moveto 7 8 lineto stroke"), std::string::npos);
    EXPECT_EQ(text.find("300 400 lineto"), std::string::npos);  // the cleared line
    EXPECT_EQ(wl::script::transcript(), std::vector<std::string>{"print -> " + ps});
    // Without a job the ending actions do nothing.
    for (int action : {1, 2, 3}) {
        PRINTJOB(action, status, w, h, xr, yr);
        EXPECT_EQ(status, 0) << action;
    }
}

TEST_F(Desk, CancelledOrAbandonedPrintJobsPrintNothing) {
    const std::string ps = temp("abandoned.ps");
    wl::script::load_lines({"cancel", "print " + ps, "print /no/such/dir/x.ps"});
    int status = -1, w = 0, h = 0;
    float xr = 0, yr = 0;
    PRINTJOB(0, status, w, h, xr, yr);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(gfx::selected(), frame);
    PRINTJOB(-1, status, w, h, xr, yr);  // starts a job: nothing was running
    EXPECT_EQ(status, 1);
    DRAWMOVE(1, 1);
    DRAWLINE(50, 50);
    PRINTJOB(2, status, w, h, xr, yr);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(gfx::selected(), frame);
    EXPECT_NE(read(ps).find("%%Pages: 0"), std::string::npos);
    EXPECT_EQ(read(ps).find("lineto"), std::string::npos);
    PRINTJOB(0, status, w, h, xr, yr);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(wl::script::transcript(),
              (std::vector<std::string>{"print -> cancel", "print -> " + ps, "print -> cannot write /no/such/dir/x.ps"}));
}

TEST_F(Desk, ColourDialogIsAnsweredFromTheScript) {
    wl::script::load_lines({"colour 10 20 30", "cancel", "colour 1 2 256"});
    int r = 255, g = 127, b = 0;
    GETRGBCOLOR(r, g, b);
    EXPECT_EQ(std::vector<int>({r, g, b}), std::vector<int>({10, 20, 30}));
    GETRGBCOLOR(r, g, b);
    EXPECT_EQ(std::vector<int>({r, g, b}), std::vector<int>({10, 20, 30}));
    EXPECT_EQ(wl::script::transcript(),
              (std::vector<std::string>{"colour 255 127 0 -> 10 20 30", "colour 10 20 30 -> cancel"}));
    EXPECT_EQ(exit_status([&] { GETRGBCOLOR(r, g, b); }), wl::script::EXIT_SCRIPT_ERROR);
    EXPECT_EQ(exit_status([&] { GETRGBCOLOR(r, g, b); }), wl::script::EXIT_EXHAUSTED);
}

TEST_F(Desk, KeyPressQueuesTheKeyCallback) {
    REGHOTKEY(-5, 312);   // F5
    REGHOTKEY(6, 313);    // Ctrl+F
    REGHOTKEY(70, 314);
    REGHOTKEY(70, 0);     // removed again
    wl::script::load_lines({"key -5", "key 6", "key 70"});
    EXPECT_EQ(next(), 312);
    EXPECT_EQ(m.last.extra, -5);
    EXPECT_EQ(next(), 313);
    EXPECT_EQ(exit_status([] { next(); }), wl::script::EXIT_SCRIPT_ERROR);
}

TEST_F(Desk, HelpFileIsShownWhenItCanBeRead) {
    const std::string file = temp("help.txt");
    std::ofstream(file) << "Fitting\nCell refinement\n";
    int result = -1;
    DISPLAYHELP(file + "   ", result, "key", "Cell  ");
    EXPECT_EQ(result, 0);
    DISPLAYHELP(temp("missing.hlp"), result, "contents", " ");
    EXPECT_EQ(result, 1);
    EXPECT_EQ(wl::script::transcript().back(), "help " + file + " | Cell");
    EXPECT_EQ(wl::script::transcript().size(), 2u);  // the master window's show, the help
}

TEST_F(Desk, OnlyTextAndHtmlHelpFilesAreShown) {
    const struct {
        const char* name;
        std::string bytes;
        int result;  // 0 shown, 1 not shown
    } cases[] = {
        {"plain.txt", "Fitting\tand\r\nrefining\f\v\n", 0},
        {"page.html", "<html><body>Cell</body></html>\n", 0},
        {"accents.txt", "R\xc3\xa9" "flexions\n", 0},
        {"winhelp.hlp", std::string("?_\x03\x00\x2a\x00\x00\x00", 8), 1},
        {"compiled.chm", std::string("ITSF\x03\x00\x00\x00\x60\x00", 10), 1},
        {"escape.txt", "text \x1b[1m bold\n", 1},
    };
    for (const auto& c : cases) {
        const std::string file = temp(c.name);
        std::ofstream(file, std::ios::binary) << c.bytes;
        const std::size_t before = wl::script::transcript().size();
        int result = -1;
        DISPLAYHELP(file, result, "contents", "");
        EXPECT_EQ(result, c.result) << c.name;
        EXPECT_EQ(wl::script::transcript().size(), before + (c.result == 0 ? 1u : 0u)) << c.name;
    }
}

// A front end without a script or a window: it shows nothing and acknowledges every box.
class QuietFrontEnd : public wl::FrontEnd {
public:
    void pump(wl::Model&) override {}
    void show_window(wl::Model&, int) override {}
    void hide_window(wl::Model&, int) override {}
    void redraw(wl::Model&, int) override {}
    void error_box(wl::Model&, const std::string&, const std::string&, int) override {}
    int message_box(wl::Model&, const std::string&, const std::string&, int, int) override { return 1; }
    wl::FileAnswer file_dialog(wl::Model&, const wl::FileRequest&) override { return {}; }
};

// A front end that answers its dialogs as the real window does: a file dialog's path as the
// chooser gives it, a print job to a printer, and a job whose file could not be written in full.
class DialogAnswers : public QuietFrontEnd {
public:
    std::vector<std::string> paths;  // answers to the next file dialogs
    bool print_ok = true;
    wl::FileAnswer file_dialog(wl::Model&, const wl::FileRequest&) override {
        wl::FileAnswer a;
        a.cancelled = paths.empty();
        if (!paths.empty()) {
            a.path = paths.front();
            paths.erase(paths.begin());
        }
        return a;
    }
    bool print_begin(wl::Model&, wl::PrintPage& page) override {
        page = wl::PostScriptFile::a4_page();
        page.destination = "printer";
        return true;
    }
    bool print_end(wl::Model&, bool) override { return print_ok; }
};

TEST_F(Desk, DialogAnswersOfAnyFrontEndAreWrittenInOneForm) {
    const std::filesystem::path here = std::filesystem::current_path();
    DialogAnswers answers;
    answers.paths = {"sub/../data.rfl", (here / "a//b/./c.par").string()};
    wl::set_frontend(&answers);
    wl::FileRequest r;
    r.caption = "Open";
    EXPECT_EQ(wl::choose_file(r).path, (here / "data.rfl").string());
    EXPECT_EQ(wl::choose_file(r).path, (here / "a/b/c.par").string());
    EXPECT_TRUE(wl::choose_file(r).cancelled);
    int status = 0, w = 0, h = 0;
    float xr = 0, yr = 0;
    PRINTJOB(0, status, w, h, xr, yr);
    EXPECT_EQ(status, 1);
    answers.print_ok = false;
    PRINTJOB(1, status, w, h, xr, yr);
    EXPECT_EQ(wl::script::transcript(),
              (std::vector<std::string>{"show Main", "file Open -> " + (here / "data.rfl").string(),
                                        "file Open -> " + (here / "a/b/c.par").string(), "file Open -> cancel",
                                        "print -> printer", "print -> the file could not be written in full"}));
}

// Records what the library asks of a front end that has no script.
class Recorder : public QuietFrontEnd {
public:
    std::vector<std::string> calls;
    void cursor_changed(wl::Model& m) override { calls.push_back("busy " + std::to_string(m.busy_cursor)); }
    void restack(wl::Model&, int window, bool top) override {
        calls.push_back((top ? "raise " : "lower ") + std::to_string(window));
    }
};

TEST_F(Desk, BusyCursorAndStackingReachTheFrontEnd) {
    int dlg = 0, hidden = 0;
    OPENWINDOW(1, 0, 0, dlg);
    WINDOWDRAW(0, dlg);
    OPENWINDOW(1, 0, 0, hidden);
    Recorder rec;
    wl::set_frontend(&rec);
    CURSORWAIT(1);
    CURSORWAIT(1);  // no change, nothing sent
    CURSORWAIT(0);
    WINDOWPOP(-dlg);
    WINDOWPUSH(dlg);
    WINDOWPOP(hidden);  // not shown
    WINDOWPUSH(frame);  // not a window
    EXPECT_EQ(rec.calls, (std::vector<std::string>{"busy 1", "busy 0", "raise " + std::to_string(dlg),
                                                   "lower " + std::to_string(dlg)}));
}

}  // namespace
