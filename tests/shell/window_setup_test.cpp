// The user interface that GRAPHICS_SETUP builds, checked through the library model: every table
// row became a widget of its kind, parent, place, size, caption, options and callback number in
// its IWID slot; the menus; the idle state; the dialogs hidden; and END_GRAPHICS.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "gui_toolkit/f77gui.h"
#include "gui_toolkit/f77gui_widgets.h"
#include "gui_toolkit/frames.h"
#include "gui_toolkit/menu_f90.h"
#include "gui_toolkit/minigino.h"
#include "include/shared.h"
#include "include/shell_services.h"
#include "include/toolkit_services.h"
#include "platform/graphics_model.h"
#include "platform/model.h"
#include "platform/script.h"
#include "runtime/ftext.h"
#include "shell/window_tables.h"

namespace {

class WindowSetup : public ::testing::Test {
protected:
    void SetUp() override {
        reset_shared_records();
        reset_toolkit();
        wl::script::load_lines({});
        GRAPHICS_SETUP();
    }

    static const wl::Widget& w(int id) {
        const wl::Widget* p = wl::model().find(id);
        if (!p) throw std::runtime_error("no widget " + std::to_string(id));
        return *p;
    }
    static const wl::Widget& slot(int g, int k) { return w(GRAPHICS.IWID(g, k)); }
    static std::vector<double> reg(const wl::Widget& x, const std::string& entry) {
        auto it = x.reg.other.find(entry);
        return it == x.reg.other.end() ? std::vector<double>{} : it->second;
    }

    // The widget made from row d on window, compared with the row.
    static void expect_row(const wl::Widget& x, const ui::WidgetDef& d, int window, const std::string& where) {
        SCOPED_TRACE(where);
        static const std::map<ui::Kind, int> kinds = {
            {ui::Kind::PushButton, wl::KIND_BUTTON}, {ui::Kind::TextEntry, wl::KIND_TEXT},
            {ui::Kind::ValueEntry, wl::KIND_VALUE},  {ui::Kind::Toggle, wl::KIND_TOGGLE},
            {ui::Kind::RadioBox, wl::KIND_RADIO},    {ui::Kind::ListBox, wl::KIND_LISTBOX}};
        EXPECT_EQ(x.kind, kinds.at(d.kind));
        EXPECT_EQ(x.parent, d.parent.kept() ? GRAPHICS.IWID(d.parent.group, d.parent.item) : window);
        EXPECT_EQ(x.x, d.x);
        EXPECT_EQ(x.y, d.y);
        EXPECT_EQ(x.reg.min_w, d.w);
        EXPECT_EQ(x.reg.min_h, d.h);
        EXPECT_EQ(x.callback(), d.callback);
        if (d.slot.kept()) {
            EXPECT_EQ(GRAPHICS.IWID(d.slot.group, d.slot.item), x.id);
        }
        const int shown_mode = d.mode == 19 ? 1 : d.mode;
        switch (d.kind) {
        case ui::Kind::PushButton:
            EXPECT_EQ(x.caption, d.text);
            break;
        case ui::Kind::TextEntry: {
            EXPECT_EQ(x.text, rt::trim_right(d.text));
            EXPECT_EQ(x.field_width, d.limit);
            EXPECT_EQ(x.mode, shown_mode);
            const auto attr = reg(x, "REGTEXTATTR");
            ASSERT_EQ(attr.size(), 4u);
            EXPECT_EQ(attr[2], d.colour == ui::NOT_PASSED ? 0 : d.colour);
            EXPECT_EQ(attr[3], d.fourth == ui::NOT_PASSED ? -1 : d.fourth);
            break;
        }
        case ui::Kind::ValueEntry:
            EXPECT_EQ(x.value, double(d.value));
            EXPECT_EQ(x.field_width, d.limit);
            EXPECT_EQ(x.decimals, d.decimals);
            EXPECT_EQ(x.mode, shown_mode);
            break;
        case ui::Kind::Toggle:
            EXPECT_EQ(x.caption, d.text);
            EXPECT_EQ(x.toggle, d.state);
            // A radio box's choices take the box's own toggle type.
            EXPECT_EQ(reg(x, "REGTOGGLETYPE"), std::vector<double>{d.parent.kept() ? 6.0 : 7.0});
            break;
        case ui::Kind::RadioBox:
        case ui::Kind::ListBox:
            break;
        }
    }

    // The widgets created after id `first`, in creation order, up to (not including) `end`.
    static std::vector<int> ids_between(int first, int end) {
        std::vector<int> out;
        for (const auto& [id, x] : wl::model().widgets)
            if (id > first && id < end) out.push_back(id);
        return out;
    }
};

TEST_F(WindowSetup, MainWindowControlsAndFileLineAreTheProgramsFixedSet) {
    // What the main window shows, written out: slot (0 for the one caption kept in no slot), kind,
    // place, size, caption or text, field width, callback number. Created right after the logo,
    // in this order.
    struct Row {
        int item;
        int kind;
        int x, y, w, h;
        const char* text;
        int width;
        int callback;
    };
    const int B = wl::KIND_BUTTON, T = wl::KIND_TEXT, V = wl::KIND_VALUE;
    const Row rows[] = {
        {1, B, 16, 0, 2, 1, "Exit", 0, 101},       {2, B, 5, 2, 3, 1, "Previous", 0, 102},
        {3, B, 13, 2, 3, 1, "Next", 0, 103},       {4, B, 9, 2, 3, 1, "Refit", 0, 104},
        {9, T, 3, 1, 2, 1, "HKL =", 6, 0},         {5, T, 5, 1, 3, 1, "", 20, 106},
        {6, B, 8, 1, 1, 1, "Go", 0, 106},          {10, T, 11, 1, 2, 1, "ISEQ =", 7, 0},
        {7, V, 13, 1, 2, 1, "", 5, 108},           {8, B, 15, 1, 1, 1, "Go", 0, 108},
        {11, B, 16, 2, 3, 1, "Accept", 0, 111},    {12, B, 16, 1, 3, 1, "Reject", 0, 112},
        {13, V, 6, 0, 2, 1, "", 7, 0},             {14, V, 8, 0, 2, 1, "", 7, 0},
        {15, V, 10, 0, 2, 1, "", 7, 0},            {16, V, 12, 0, 2, 1, "", 7, 0},
        {17, T, 3, 0, 3, 1, "ANGLES:", 7, 0},      {18, B, 16, 2, 2, 1, "Start", 0, 118},
        {19, B, 16, 1, 2, 1, "Stop", 0, 119},      {20, B, 14, 0, 2, 1, "Export", 0, 120},
        {0, T, 1, 17, 3, 1, "Data from", 10, 0},   {40, T, 4, 17, 6, 1, "", 30, 0},
        {41, T, 1, 16, 10, 1, "", 60, 0},          {42, T, 11, 17, 2, 1, "Output:", 7, 0},
        {43, T, 13, 17, 6, 1, "", 30, 0},          {44, T, 11, 16, 2, 1, "Format:", 7, 0},
        {45, T, 13, 16, 6, 1, "", 30, 0},
    };
    const int logo = GRAPHICS.IWID(1, 99);
    const auto ids = ids_between(logo, logo + 1 + int(std::size(rows)));
    ASSERT_EQ(ids.size(), std::size(rows));
    for (std::size_t n = 0; n < ids.size(); ++n) {
        const Row& r = rows[n];
        const wl::Widget& x = w(ids[n]);
        SCOPED_TRACE("main-window row " + std::to_string(n + 1) + " \"" + r.text + "\"");
        if (r.item) {
            EXPECT_EQ(GRAPHICS.IWID(1, r.item), x.id);
        }
        EXPECT_EQ(x.kind, r.kind);
        EXPECT_EQ(x.parent, GRAPHICS.IMASTER);
        EXPECT_EQ(x.x, r.x);
        EXPECT_EQ(x.y, r.y);
        EXPECT_EQ(x.reg.min_w, r.w);
        EXPECT_EQ(x.reg.min_h, r.h);
        EXPECT_EQ(x.callback(), r.callback);
        if (r.kind == B) {
            EXPECT_EQ(x.caption, r.text);
        }
        if (r.kind == T) {
            EXPECT_EQ(x.text, r.text);
        }
        if (r.kind != B) {
            EXPECT_EQ(x.field_width, r.width);
        }
        if (r.kind == V) {
            EXPECT_EQ(x.value, 0.0);
        }
    }

    // The two "Go" buttons use font attribute 1 = 10.
    for (int k : {6, 8}) {
        int value = 0;
        char font[8];
        WIDFNQ(GRAPHICS.IWID(1, k), 1, value, font, 8);
        EXPECT_EQ(value, 10) << "Go button (1," << k << ")";
    }
}

TEST_F(WindowSetup, EveryDialogHoldsItsRowsInCreationOrder) {
    const auto dialogs = ui::dialogs();
    for (std::size_t n = 0; n < dialogs.size(); ++n) {
        const ui::DialogDef& d = dialogs[n];
        const int id = GRAPHICS.IWID(d.slot.group, d.slot.item);
        const int next = n + 1 < dialogs.size() ? GRAPHICS.IWID(dialogs[n + 1].slot.group, dialogs[n + 1].slot.item)
                                                : wl::model().next_id;
        SCOPED_TRACE(std::string(d.name));
        const wl::Widget& dlg = w(id);
        EXPECT_EQ(dlg.kind, wl::KIND_DIALOG);
        EXPECT_EQ(dlg.parent, GRAPHICS.IMASTER);
        EXPECT_EQ(dlg.x, d.x);
        EXPECT_EQ(dlg.y, d.y);
        EXPECT_EQ(dlg.reg.min_w, d.w);
        EXPECT_EQ(dlg.reg.min_h, d.h);
        EXPECT_EQ(dlg.reg.title_type, -1);
        EXPECT_FALSE(dlg.shown);
        const auto ids = ids_between(id, next);
        ASSERT_EQ(ids.size(), d.widgets.size());
        for (std::size_t k = 0; k < ids.size(); ++k) expect_row(w(ids[k]), d.widgets[k], id, "row " + std::to_string(k + 1));
    }
}

TEST_F(WindowSetup, DialogControlsTheUserMeetsAreTheProgramsFixedSet) {
    // A sample of every kind of dialog control, written out: slot, kind, caption (buttons and
    // toggles), text (text entries) or value (value entries), callback number.
    struct Row {
        int g, k;
        int kind;
        const char* text;
        double value;
        int callback;
    };
    const int B = wl::KIND_BUTTON, T = wl::KIND_TEXT, V = wl::KIND_VALUE, G = wl::KIND_TOGGLE;
    const Row rows[] = {
        {4, 3, G, "Xcalibur", 0, 0},
        {4, 10, G, "Standard", 0, 0},
        {4, 7, B, "OK", 0, 470},
        {4, 28, G, "Skip weak reflns", 0, 428},
        {4, 29, B, "Reset to Defaults", 0, 429},
        {4, 77, G, "", 0, 477},
        {4, 97, V, "", 0.0, 497},
        {5, 2, V, "", 10.0, 0},
        {5, 3, B, "Go", 0, 53},
        {5, 4, B, "Quit", 0, 54},
        {5, 11, B, "OK", 0, 511},
        {5, 17, T, "Monochromator 2Theta:", 0, 0},
        {5, 19, T, "Dihedral angle =", 0, 0},
        {5, 23, V, "", 200.0, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::to_string(r.g) + "," + std::to_string(r.k));
        const wl::Widget& x = slot(r.g, r.k);
        EXPECT_EQ(x.kind, r.kind);
        EXPECT_EQ(x.callback(), r.callback);
        if (r.kind == B || r.kind == G) {
            EXPECT_EQ(x.caption, r.text);
        }
        if (r.kind == T) {
            EXPECT_EQ(x.text, r.text);
        }
        if (r.kind == V) {
            EXPECT_EQ(x.value, r.value);
        }
    }
}

TEST_F(WindowSetup, DialogsHoldTheirWidgetsWithACellToSpare) {
    // No heading or field of the dialogs with column headings ends at their right or top edge,
    // where it would be cut.
    for (const ui::DialogDef& d : ui::dialogs()) {
        if (d.name != "FITTING_DIALOG" && d.name != "PKVALS_DIALOG" && d.name != "CELLRESULTS_DIALOG") continue;
        SCOPED_TRACE(std::string(d.name));
        for (const ui::WidgetDef& x : d.widgets) {
            if (x.parent.kept()) continue;  // a radio box's choices stand in its box
            EXPECT_LT(x.x + x.w, d.w) << x.text;
            EXPECT_LT(x.y + x.h, d.h) << x.text;
        }
    }
    // The data-set title ends where the output format's label begins.
    const wl::Widget& title = slot(1, 41);
    EXPECT_LE(title.x + title.reg.min_w, slot(1, 44).x);
}

TEST_F(WindowSetup, WidgetsSitWhereTheLayoutPutsThem) {
    // Slot, caption or text, place and size, written out independently of the tables.
    struct Spot {
        int g, k;
        const char* text;
        int x, y, w, h;
    };
    const Spot spots[] = {
        {1, 1, "Exit", 16, 0, 2, 1},          {1, 9, "HKL =", 3, 1, 2, 1},
        {1, 17, "ANGLES:", 3, 0, 3, 1},       {1, 41, "", 1, 16, 10, 1},
        {1, 44, "Format:", 11, 16, 2, 1},     {4, 10, "Standard", 1, 0, 6, 1},
        {4, 28, "Skip weak reflns", 1, 0, 5, 1}, {4, 29, "Reset to Defaults", 12, 0, 5, 1},
        {4, 48, "", 8, 1, 3, 1},              {4, 93, "", 15, 8, 2, 1},
        {4, 66, "", 7, 3, 1, 1},              {5, 3, "Go", 6, 1, 2, 1},
        {5, 21, "Parallel", 9, 5, 3, 1},      {5, 17, "Monochromator 2Theta:", 1, 6, 6, 1},
        {5, 41, "Save + Exit", 6, 0, 4, 1},   {5, 65, "From scan using nstep_bg =", 1, 1, 7, 1},
        {5, 74, "Parameters:", 0, 2, 3, 1},   {5, 95, "Rfine extended", 0, 2, 5, 1},
        {6, 5, "Save values", 5, 1, 4, 1},    {6, 22, "Refine crystal offsets", 1, 3, 9, 1},
        {6, 24, "", 7, 4, 5, 1},              {6, 45, "", 7, 4, 3, 1},
        {6, 48, "", 8, 3, 2, 1},              {6, 71, "", 7, 1, 2, 1},
        {8, 4, "Exit", 8, 1, 2, 1},           {8, 12, "Exit Program", 5, 1, 4, 1},
    };
    for (const Spot& s : spots) {
        const wl::Widget& x = slot(s.g, s.k);
        SCOPED_TRACE("(" + std::to_string(s.g) + "," + std::to_string(s.k) + ")");
        EXPECT_EQ(x.kind == wl::KIND_TEXT ? x.text : x.caption, s.text);
        EXPECT_EQ(std::vector<int>({x.x, x.y, x.reg.min_w, x.reg.min_h}), std::vector<int>({s.x, s.y, s.w, s.h}));
    }
    // Display-only fields and their formats.
    // The cell results' values and esds are display-only texts (each value to its esd's digit).
    EXPECT_EQ(std::vector<int>({slot(6, 38).kind, slot(6, 38).mode}), std::vector<int>({wl::KIND_TEXT, 1}));
    EXPECT_EQ(std::vector<int>({slot(6, 49).field_width, slot(6, 49).decimals, slot(6, 49).mode}),
              std::vector<int>({7, 4, 1}));
    EXPECT_EQ(std::vector<int>({slot(5, 39).field_width, slot(5, 39).decimals, slot(5, 39).mode}),
              std::vector<int>({8, 6, 0}));
    EXPECT_EQ(slot(5, 23).value, 200.0);
    EXPECT_EQ(std::vector<int>({slot(1, 7).field_width, slot(1, 7).decimals, slot(1, 7).mode}),
              std::vector<int>({5, 0, 0}));
}

TEST_F(WindowSetup, DialogTitlesCarryTheProgramTitle) {
    const std::map<std::pair<int, int>, std::string> titles = {
        {{4, 1}, "Input Data file Format"},
        {{4, 20}, "Kelvorantide v3.72: Fitting Controls & Results"},
        {{5, 1}, "Kelvorantide v3.72: Preprocessing Control"},
        {{5, 10}, "Kelvorantide v3.72: Diffractometer constants"},
        {{5, 30}, "Kelvorantide v3.72: Peak parameter default values"},
        {{5, 60}, "Kelvorantide v3.72: Fixed Background Options"},
        {{6, 1}, "Kelvorantide v3.72: FWHM values from dataset"},
        {{5, 90}, "Kelvorantide v3.72: Output Format"},
        {{6, 20}, "Kelvorantide v3.72: Unit Cell Refinement"},
        {{6, 30}, "Kelvorantide v3.72: Cell Refinement Results"},
        {{6, 60}, "Kelvorantide v3.72  "},
        {{6, 70}, "Kelvorantide v3.72  "},
        {{8, 1}, "Kelvorantide v3.72  "},
        {{8, 10}, "Kelvorantide v3.72  "},
    };
    for (const auto& [s, title] : titles) EXPECT_EQ(slot(s.first, s.second).reg.title, title);
    EXPECT_EQ(ui::dialogs().size(), titles.size());
}

TEST_F(WindowSetup, ProgramTitleWindowAndStatusBar) {
    EXPECT_EQ(std::string(PROGID.PROG_TITLE.view()), "Kelvorantide v3.72  ");
    const wl::Widget& master = w(GRAPHICS.IMASTER);
    EXPECT_EQ(GRAPHICS.IMASTER, 1);
    EXPECT_EQ(std::make_pair(wl::model().grid_nx, wl::model().grid_ny), std::make_pair(32, 24));
    EXPECT_EQ(master.kind, wl::KIND_MASTER);
    EXPECT_TRUE(master.shown);
    EXPECT_EQ(master.reg.title, "Kelvorantide v3.72  ");
    EXPECT_EQ(master.reg.title_type, -11);
    EXPECT_EQ(master.icon, "#101");
    EXPECT_EQ(std::make_pair(master.x, master.y), std::make_pair(5, 5));
    EXPECT_EQ(std::make_pair(master.reg.min_w, master.reg.min_h), std::make_pair(20, 19));

    int bars = 0;
    for (const auto& [id, x] : wl::model().widgets) {
        if (x.kind != wl::KIND_STATUSBAR) continue;
        ++bars;
        EXPECT_EQ(x.parent, GRAPHICS.IMASTER);
        EXPECT_EQ(x.text.size(), 32u);
        EXPECT_EQ(x.text, "Kelvorantide v3.72  " + std::string(ui::OWNERSHIP_NOTICE));
    }
    EXPECT_EQ(bars, 1);
}

TEST_F(WindowSetup, ProgramTitleFollowsTheVersion) {
    const std::pair<float, const char*> cases[] = {
        {3.72f, "Kelvorantide v3.72  "},
        {4.0f, "Kelvorantide v4.00  "},
        {0.5f, "Kelvorantide v0.50  "},
        {12.5f, "Kelvorantide v****  "},  // a version wider than its field
    };
    for (const auto& [version, title] : cases) {
        reset_shared_records();
        reset_toolkit();
        PROGID.VERSION = version;
        GRAPHICS_SETUP();
        EXPECT_EQ(std::string(PROGID.PROG_TITLE.view()), title) << version;
        EXPECT_EQ(slot(8, 1).reg.title, title);
    }
}

TEST_F(WindowSetup, PlotFrameAndLogo) {
    const wl::Widget& frame = w(GRAPHICS.IFRAME);
    EXPECT_EQ(frame.kind, wl::KIND_FRAME);
    EXPECT_EQ(frame.parent, GRAPHICS.IMASTER);
    EXPECT_EQ(std::make_pair(frame.x, frame.y), std::make_pair(1, 4));
    EXPECT_EQ(std::make_pair(frame.reg.min_w, frame.reg.min_h), std::make_pair(18, 12));
    EXPECT_EQ(frame.callback(), 200);
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    FRAENQ(GRAPHICS.IFRAME, x1, y1, x2, y2);
    EXPECT_EQ(std::vector<float>({x1, y1, x2, y2}), std::vector<float>({0.0f, 0.0f, 300.0f, 200.0f}));
    EXPECT_EQ(PLOTFRAME.XMAX, 300.0f);
    EXPECT_EQ(PLOTFRAME.YMAX, 200.0f);
    EXPECT_EQ(PLOTFRAME.YBASE, 20.0f);
    EXPECT_EQ(PLOTFRAME.XMIN, 0.0f);  // left to the plots
    EXPECT_EQ(PLOTFRAME.YLEN, 0.0f);

    const wl::Widget& logo = slot(1, 99);
    EXPECT_EQ(logo.kind, wl::KIND_ICON);
    EXPECT_EQ(logo.parent, GRAPHICS.IMASTER);
    EXPECT_EQ(logo.icon, "#102");
    EXPECT_EQ(std::make_pair(logo.x, logo.y), std::make_pair(0, 0));
    EXPECT_EQ(std::make_pair(logo.reg.min_w, logo.reg.min_h), std::make_pair(2, 2));
    EXPECT_EQ(logo.state, wl::STATE_ACTIVE);
}

TEST_F(WindowSetup, MenuTreeWithItsNumbersAndStates) {
    struct Title {
        int k;
        const char* text;
        int accelerator;
    };
    const Title titles[] = {{1, "File", 70}, {2, "Integrate", 0}, {3, "Utilities", 0}, {4, "Parameters", 0}};
    for (const Title& t : titles) {
        const wl::Widget& title = slot(3, t.k);
        EXPECT_EQ(title.kind, wl::KIND_MENUTITLE);
        EXPECT_EQ(title.caption, t.text);
        EXPECT_EQ(title.accelerator, t.accelerator);
        EXPECT_EQ(title.callback(), 0);
        EXPECT_EQ(title.state, wl::STATE_ACTIVE);
        const wl::Widget& pulldown = slot(3, 10 * t.k);
        EXPECT_EQ(pulldown.kind, wl::KIND_PULLDOWN);
        EXPECT_EQ(pulldown.parent, title.id);
    }

    // Each pulldown's children in order: entry caption and callback, "-" for a separator.
    const std::map<int, std::vector<std::pair<std::string, int>>> menus = {
        {10,
         {{"Open data file", 312}, {"Open parameter file", 313}, {"Open output file", 314}, {"Open log file", 315},
          {"-", 0}, {"Create Exp file", 317}, {"Create Cif", 318}, {"Write Std datafile", 319}, {"-", 0},
          {"Exit", 316}}},
        {20, {{"Manual profile fit", 321}, {"Auto profile fit", 322}}},
        {30,
         {{"Preprocess", 331}, {"Zref", 335}, {"Calc Unit Cell", 332}, {"Calc Background", 333}, {"Calc FWHM", 334},
          {"Delta-d/d", 336}}},
        {40, {{"Pkvals", 341}, {"Diffractometer", 342}, {"Backgrounds", 343}, {"Output format", 344}}},
    };
    for (const auto& [k, entries] : menus) {
        std::vector<std::pair<std::string, int>> found;
        for (const auto& [id, x] : wl::model().widgets)
            if (x.parent == GRAPHICS.IWID(3, k))
                found.emplace_back(x.kind == wl::KIND_SEPARATOR ? "-" : x.caption, x.callback());
        EXPECT_EQ(found, entries) << "pulldown (3," << k << ")";
    }
    // Slots of the entries: the callback number names the slot, except File's first four.
    for (const auto& [k, entries] : menus)
        for (const auto& [text, cb] : entries) {
            if (cb == 0) continue;
            const int item = cb >= 312 && cb <= 315 ? cb - 301 : cb - 300;
            EXPECT_EQ(slot(3, item).caption, text);
            EXPECT_EQ(slot(3, item).state, cb == 344 ? wl::STATE_GREYED : wl::STATE_ACTIVE) << text;
        }
    EXPECT_EQ(GRAPHICS.IWID(3, 15), 0);
}

TEST_F(WindowSetup, IdleStateShowsOnlyExitAndTheFileLine) {
    EXPECT_EQ(GRAPHICS.NWIDMAIN, 20);
    EXPECT_EQ(slot(1, 1).state, wl::STATE_ACTIVE);
    for (int k = 2; k <= 20; ++k) EXPECT_EQ(slot(1, k).state, wl::STATE_HIDDEN) << "control (1," << k << ")";
    for (int k : {40, 41, 43, 45}) EXPECT_EQ(slot(1, k).state, wl::STATE_ACTIVE) << k;
    for (int k : {42, 44}) EXPECT_EQ(slot(1, k).state, wl::STATE_HIDDEN) << k;
    // Every window other than the master stays off the screen.
    for (const auto& [id, x] : wl::model().widgets)
        if (x.kind == wl::KIND_DIALOG) {
            EXPECT_FALSE(x.shown) << x.reg.title;
        }
    EXPECT_TRUE(w(GRAPHICS.IMASTER).shown);
    // Only the intensity row's default toggle is hidden in the dialogs.
    for (const ui::DialogDef& d : ui::dialogs())
        for (const ui::WidgetDef& row : d.widgets)
            if (row.slot.kept()) {
                const int expected = row.slot == ui::Slot{4, 63} ? wl::STATE_HIDDEN : wl::STATE_ACTIVE;
                EXPECT_EQ(slot(row.slot.group, row.slot.item).state, expected) << row.slot.group << "," << row.slot.item;
            }
}

TEST_F(WindowSetup, IwidHoldsExactlyTheNamedSlots) {
    std::set<std::pair<int, int>> named = {{1, 99}};
    for (int k = 1; k <= 20; ++k) named.insert({1, k});
    for (int k = 40; k <= 45; ++k) named.insert({1, k});
    for (int k : {1, 2, 3, 4, 10, 11, 12, 13, 14, 16, 17, 18, 19, 20, 21, 22, 30, 31, 32, 33, 34, 35, 36, 40, 41, 42, 43, 44})
        named.insert({3, k});
    for (const ui::DialogDef& d : ui::dialogs()) {
        named.insert({d.slot.group, d.slot.item});
        for (const ui::WidgetDef& row : d.widgets)
            if (row.slot.kept()) named.insert({row.slot.group, row.slot.item});
    }
    std::set<int> ids;
    for (int g = 1; g <= 10; ++g)
        for (int k = 1; k <= 120; ++k) {
            const int id = GRAPHICS.IWID(g, k);
            if (named.count({g, k})) {
                EXPECT_GT(id, 0) << "(" << g << "," << k << ")";
                EXPECT_TRUE(ids.insert(id).second) << "(" << g << "," << k << ") shares an id";
            } else {
                EXPECT_EQ(id, 0) << "(" << g << "," << k << ")";
            }
        }
    // Spot checks of the dialog slots written out by hand.
    for (auto s : std::vector<std::pair<int, int>>{{4, 7}, {4, 48}, {4, 97}, {5, 2}, {5, 21}, {5, 73}, {5, 96},
                                                   {6, 7}, {6, 24}, {6, 50}, {6, 72}, {8, 4}, {8, 12}})
        EXPECT_TRUE(named.count(s)) << s.first << "," << s.second;
    for (auto s : std::vector<std::pair<int, int>>{{4, 11}, {4, 27}, {4, 49}, {5, 12}, {5, 24}, {5, 66}, {6, 8},
                                                   {6, 61}, {8, 5}, {2, 1}, {7, 1}})
        EXPECT_FALSE(named.count(s)) << s.first << "," << s.second;
    EXPECT_EQ(ids.size(), named.size());
}

TEST_F(WindowSetup, CallbackNumbersAreTheProgramsFixedSet) {
    std::set<int> expected = {53, 54, 64, 65, 82, 83, 84, 101, 102, 103, 104, 106, 108, 111, 112, 118, 119, 120, 200,
                              321, 322, 428, 429, 470, 511, 531, 541, 578, 579, 621, 622, 623, 625, 626, 631, 672,
                              811, 812};
    for (int c = 312; c <= 319; ++c) expected.insert(c);
    for (int c = 331; c <= 336; ++c) expected.insert(c);
    for (int c = 341; c <= 344; ++c) expected.insert(c);
    for (int base : {430, 460, 480})
        for (int p = 1; p <= 6; ++p) expected.insert(base + p);
    for (int c = 471; c <= 477; ++c) expected.insert(c);
    for (int c = 491; c <= 497; ++c) expected.insert(c);
    for (int c = 562; c <= 565; ++c) expected.insert(c);
    for (int c = 592; c <= 596; ++c) expected.insert(c);

    std::set<int> found;
    std::map<int, int> users;
    for (const auto& [id, x] : wl::model().widgets)
        if (const int cb = x.callback()) {
            found.insert(cb);
            ++users[cb];
        }
    EXPECT_EQ(found, expected);
    // Only the two search fields share a number with their "Go" buttons.
    for (const auto& [cb, n] : users) EXPECT_EQ(n, cb == 106 || cb == 108 ? 2 : 1) << cb;
    EXPECT_EQ(slot(1, 5).callback(), 106);
    EXPECT_EQ(slot(1, 6).callback(), 106);
    EXPECT_EQ(slot(1, 7).callback(), 108);
    EXPECT_EQ(slot(1, 8).callback(), 108);
}

TEST_F(WindowSetup, CallbackNumbersFollowTheSlotRuleSaveTheKnownExceptions) {
    // The rule, written out: 100 + item in the main window; in groups 3 to 8, 100 x group + item
    // from item 10 on and 10 x group + item below it.
    const auto slot_rule = [](ui::Slot s) {
        if (s.group == 1) return 100 + s.item;
        if (s.group >= 3 && s.group <= 8) return s.item >= 10 ? 100 * s.group + s.item : 10 * s.group + s.item;
        return 0;
    };
    for (const std::array<int, 3>& c : {std::array{1, 20, 120}, {3, 12, 312}, {4, 7, 47}, {5, 3, 53}, {8, 12, 812}, {2, 5, 0}})
        EXPECT_EQ(ui::slot_rule_callback({c[0], c[1]}), c[2]) << c[0] << "," << c[1];
    auto check = [&](const ui::WidgetDef& d) {
        if (!d.callback) return;
        SCOPED_TRACE(std::to_string(d.slot.group) + "," + std::to_string(d.slot.item));
        int expected = slot_rule(d.slot);
        if (d.slot == ui::Slot{4, 7}) expected = 470;  // "OK" of the format dialog
        if (d.slot == ui::Slot{1, 5}) expected = 106;  // the h k l field delivers as its "Go"
        if (d.slot == ui::Slot{1, 7}) expected = 108;  // the sequence-number field likewise
        EXPECT_EQ(d.callback, expected);
    };
    for (const ui::WidgetDef& d : ui::main_controls()) check(d);
    for (const ui::DialogDef& dlg : ui::dialogs())
        for (const ui::WidgetDef& d : dlg.widgets) check(d);
    for (const ui::MenuDef& m : ui::menus())
        for (const ui::MenuEntryDef& e : m.entries)
            if (!e.separator()) {
                // The first four File entries lie one above the rule.
                EXPECT_EQ(e.callback, slot_rule(e.slot) + (e.slot.item <= 14 ? 1 : 0)) << e.text;
            }
}

TEST_F(WindowSetup, InterfaceComposition) {
    // What the whole interface is made of, kind by kind.
    std::map<int, int> count;
    int zero_values = 0, display_values = 0, value_callbacks = 0;
    int typed_toggles = 0, toggle_callbacks = 0;
    int colour2 = 0, colour7 = 0, fourth0 = 0, fourth1 = 0, editable_texts = 0;
    for (const auto& [id, x] : wl::model().widgets) {
        ++count[x.kind];
        if (x.kind == wl::KIND_VALUE) {
            zero_values += x.value == 0.0;
            display_values += x.mode == 1;
            value_callbacks += x.callback() != 0;
        } else if (x.kind == wl::KIND_TOGGLE) {
            typed_toggles += reg(x, "REGTOGGLETYPE") == std::vector<double>{7.0};
            toggle_callbacks += x.callback() != 0;
        } else if (x.kind == wl::KIND_TEXT) {
            const auto a = reg(x, "REGTEXTATTR");
            colour2 += a[2] == 2;
            colour7 += a[2] == 7;
            fourth0 += a[3] == 0;
            fourth1 += a[3] == 1;
            editable_texts += x.mode == 0;
        }
    }
    // The esds are texts (seven of the cell results with their values, six of the fitting
    // dialog, two of the FWHM dialog); the step box has a line naming the format.
    EXPECT_EQ(count[wl::KIND_VALUE], 58);
    EXPECT_EQ(zero_values, 50);
    EXPECT_EQ(display_values, 24);
    EXPECT_EQ(value_callbacks, 14);
    EXPECT_EQ(count[wl::KIND_TEXT], 89);
    EXPECT_EQ(colour2, 43);
    EXPECT_EQ(colour7, 18);
    EXPECT_EQ(fourth0, 7);
    EXPECT_EQ(fourth1, 1);
    EXPECT_EQ(editable_texts, 1);
    EXPECT_EQ(count[wl::KIND_TOGGLE], 37);
    EXPECT_EQ(typed_toggles, 23);
    EXPECT_EQ(toggle_callbacks, 30);
    EXPECT_EQ(count[wl::KIND_BUTTON], 33);
    EXPECT_EQ(count[wl::KIND_RADIO], 3);
    EXPECT_EQ(count[wl::KIND_LISTBOX], 1);
    EXPECT_EQ(count[wl::KIND_DIALOG], 14);
    EXPECT_EQ(count[wl::KIND_MENUENTRY], 20);
    EXPECT_EQ(count[wl::KIND_SEPARATOR], 2);
    EXPECT_EQ(count[wl::KIND_ICON], 1);
    EXPECT_EQ(count[wl::KIND_FRAME], 1);
    // Nothing was refused on the way.
    EXPECT_TRUE(wl::model().console.empty()) << wl::model().console.front().text;
}

TEST_F(WindowSetup, ChoicesStartWithTheirDefaults) {
    // The one toggle on in each radio box; every other toggle off.
    const std::set<std::pair<int, int>> on = {{4, 3}, {5, 62}, {5, 94}};
    for (const auto& [id, x] : wl::model().widgets) {
        if (x.kind != wl::KIND_TOGGLE) continue;
        const bool expected = std::any_of(on.begin(), on.end(), [&](auto s) { return GRAPHICS.IWID(s.first, s.second) == id; });
        EXPECT_EQ(x.toggle, expected ? 1 : 0) << x.caption << " " << id;
    }
    EXPECT_EQ(slot(6, 24).items, std::vector<std::string>({"Monoclinic-b", "Monoclinic-c", "Orthorhombic",
                                                           "Tetragonal", "Hexagonal", "Cubic"}));
    EXPECT_EQ(slot(6, 24).selection, 0);
    EXPECT_EQ(slot(6, 71).value, double(0.02f));
    EXPECT_EQ(slot(5, 2).value, 10.0);
}

TEST_F(WindowSetup, FittingDialogDecimalsByParameter) {
    // Intensity (p = 3) fields show one decimal, every other numeric field three.
    for (int p = 1; p <= 6; ++p)
        for (int base : {20, 40, 80, 90}) {
            const wl::Widget& x = slot(4, base + p);
            EXPECT_EQ(x.decimals, p == 3 ? 1 : 3) << "(4," << base + p << ")";
            EXPECT_EQ(x.field_width, 6);
        }
    // The esds are display-only texts, each rounded by the program's esd rule.
    for (int p = 1; p <= 6; ++p) {
        EXPECT_EQ(slot(4, 50 + p).kind, wl::KIND_TEXT);
        EXPECT_NE(slot(4, 50 + p).mode, 0);
    }
    for (int k : {47, 97}) EXPECT_EQ(slot(4, k).decimals, 3);
    // Rows from the top: intensity, FWHM, position, background, eta, Iratio.
    const int row_of_p[] = {0, 5, 7, 8, 6, 4, 3};
    for (int p = 1; p <= 6; ++p)
        for (int base : {20, 30, 40, 50, 60, 70, 80, 90}) EXPECT_EQ(slot(4, base + p).y, row_of_p[p]);
    // The hidden intensity default toggle still keeps what is written into it.
    gmSetToggleSwitch(GRAPHICS.IWID(4, 63), 1);
    EXPECT_EQ(gmEnqToggleSwitch(GRAPHICS.IWID(4, 63)), 1);
    EXPECT_EQ(slot(4, 63).state, wl::STATE_HIDDEN);
}

TEST_F(WindowSetup, WaitDialogDeliversNothing) {
    const int wait = GRAPHICS.IWID(6, 60);
    int children = 0;
    for (const auto& [id, x] : wl::model().widgets)
        if (x.parent == wait) {
            ++children;
            EXPECT_EQ(x.kind, wl::KIND_TEXT);
            EXPECT_EQ(x.text, "Working; Please wait...");
            EXPECT_TRUE(x.callbacks.empty());
        }
    EXPECT_EQ(children, 1);
}

// ---- END_GRAPHICS ----

class EndGraphics : public WindowSetup {};

TEST_F(EndGraphics, ReturnsTheControlsTitlesAndFrameToIdle) {
    // A fit mode's look: controls shown, titles greyed, fitting dialog up, a line in the plot.
    for (int k = 2; k <= 20; ++k) gmSetWidgetStatus(GRAPHICS.IWID(1, k), STATUS_ACTIVE);
    for (int k = 1; k <= 4; ++k) gmSetWidgetStatus(GRAPHICS.IWID(3, k), STATUS_GREYED);
    gmSetWidgetStatus(GRAPHICS.IWID(1, 1), STATUS_GREYED);          // "Exit" as a pass leaves it
    gmSetWidgetStatus(GRAPHICS.IWID(1, 42), STATUS_ACTIVE);         // an output file was opened
    gmSetWidgetStatus(GRAPHICS.IWID(3, 35), STATUS_GREYED);         // Zref already run
    gmSetWidgetStatus(GRAPHICS.IWID(3, 44), STATUS_ACTIVE);
    gmDrawWindow(GRAPHICS.IWID(4, 20));
    gmSetValueSetting(GRAPHICS.IWID(4, 23), 1234.5f);
    FRAACT(GRAPHICS.IFRAME);
    MOVTO2(10.0f, 10.0f);
    LINTO2(200.0f, 150.0f);
    ASSERT_FALSE(gfx::frame(GRAPHICS.IFRAME)->list.empty());
    ASSERT_TRUE(slot(4, 20).shown);

    END_GRAPHICS();

    EXPECT_TRUE(gfx::frame(GRAPHICS.IFRAME)->list.empty());
    EXPECT_FALSE(slot(4, 20).shown);
    EXPECT_EQ(slot(4, 23).value, 1234.5);  // the dialog keeps its contents
    for (int k = 2; k <= 20; ++k) EXPECT_EQ(slot(1, k).state, wl::STATE_HIDDEN) << k;
    for (int k = 1; k <= 4; ++k) EXPECT_EQ(slot(3, k).state, wl::STATE_ACTIVE) << k;
    EXPECT_EQ(slot(1, 1).state, wl::STATE_GREYED);
    EXPECT_EQ(slot(1, 42).state, wl::STATE_ACTIVE);
    EXPECT_EQ(slot(1, 99).state, wl::STATE_ACTIVE);
    EXPECT_EQ(slot(3, 35).state, wl::STATE_GREYED);
    EXPECT_EQ(slot(3, 44).state, wl::STATE_ACTIVE);
    EXPECT_TRUE(w(GRAPHICS.IMASTER).shown);
    EXPECT_TRUE(wl::model().console.empty());
}

TEST_F(EndGraphics, OnTheIdleWindowOnlyClearsAndRedraws) {
    FRAACT(GRAPHICS.IFRAME);
    MOVTO2(0.0f, 0.0f);
    LINTO2(300.0f, 200.0f);
    std::map<int, int> before;
    for (const auto& [id, x] : wl::model().widgets) before[id] = x.state;

    auto& m = wl::model();
    m.trace.clear();
    m.trace_on = true;
    END_GRAPHICS();
    m.trace_on = false;

    for (const auto& [id, x] : m.widgets) EXPECT_EQ(x.state, before[id]) << id;
    EXPECT_TRUE(gfx::frame(GRAPHICS.IFRAME)->list.empty());
    // In order: the frame cleared, the fitting dialog removed, ..., the master window redrawn last.
    const auto clear = std::find(m.trace.begin(), m.trace.end(), "CLEARFRAME(" + std::to_string(GRAPHICS.IFRAME) + ")");
    const auto remove =
        std::find(m.trace.begin(), m.trace.end(), "WINDOWREMOVE(" + std::to_string(GRAPHICS.IWID(4, 20)) + ")");
    EXPECT_LT(clear, remove);
    EXPECT_NE(remove, m.trace.end());
    ASSERT_FALSE(m.trace.empty());
    EXPECT_EQ(m.trace.back().rfind("WINDOWDRAW(", 0), 0u) << m.trace.back();
    EXPECT_TRUE(m.console.empty());
}

// ---- program images ----

TEST(ProgramImages, IconAndLogoAreWellFormedXpm) {
    const std::pair<const char*, int> resources[] = {{"#101", 32}, {"#102", 64}};
    for (const auto& [name, size] : resources) {
        SCOPED_TRACE(name);
        const auto image = ui::program_image(name);
        ASSERT_FALSE(image.empty());
        int width = 0, height = 0, colours = 0, per_pixel = 0;
        ASSERT_EQ(std::sscanf(image[0], "%d %d %d %d", &width, &height, &colours, &per_pixel), 4);
        EXPECT_EQ(width, size);
        EXPECT_EQ(height, size);
        ASSERT_EQ(per_pixel, 1);
        ASSERT_EQ(image.size(), std::size_t(1 + colours + height));
        std::set<char> palette;
        for (int c = 1; c <= colours; ++c) palette.insert(image[std::size_t(c)][0]);
        EXPECT_EQ(int(palette.size()), colours);
        for (int r = 0; r < height; ++r) {
            const std::string row = image[std::size_t(1 + colours + r)];
            ASSERT_EQ(int(row.size()), width) << "row " << r;
            for (char ch : row) EXPECT_TRUE(palette.count(ch)) << "row " << r;
        }
    }
    EXPECT_TRUE(ui::program_image("#103").empty());
    EXPECT_TRUE(ui::program_image("").empty());
}

}  // namespace
