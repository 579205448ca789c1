// The plain routines of text and value arrays, table list boxes, video frames, the MDI action
// and the retired routines: the kind each accepts (and the error for any other), what reaches
// the library, and what the library keeps.
#include <functional>

#include "platform/widget_more.h"
#include "widget_fixture.h"

using MoreCells = WidgetTest;

namespace {

struct KindCheck {
    const char* name;                      // recorded operation name
    std::function<void(int widget)> call;
    int kind;                              // the kind it accepts
    int error;                             // the error for any other kind
};

std::vector<KindCheck> kind_checks() {
    return {
        {"", [](int a) { CELTYP(a, 1, 1, 0); }, 23, 63},
        {"gmSetCellSetting", [](int a) { DCLSET(a, 1, 1, 2.0, "x"); }, 23, 63},
        {"gmEnqCellSetting", [](int a) { double v = 0; char t[4]; DCLENQ(a, 1, 1, v, t, 4); }, 23, 63},
        {"gmSetActiveCell", [](int a) { CELACT(a, 1, 1); }, 23, 63},
        {"gmAddArrayRow", [](int a) { ADDROW(a, 2); }, 23, 63},
        {"gmRemoveArrayColumn", [](int a) { REMCOL(a, 2); }, 23, 63},
        {"gmEnqArrayAttribs", [](int a) { int v = 9; ARRENQ(a, 1, v); }, 23, 63},
        {"gmSetTableBoxLabel", [](int b) { TABSET(b, 1, 0, 2, "L"); }, 35, 68},
        {"gmAddTableBoxColumn", [](int b) { TABCOL(b, 1, 10, -1, "C"); }, 35, 68},
        {"gmAddTableBoxEntry", [](int b) { TABENT(b, 0, "E"); }, 35, 68},
        {"gmCaptureVideo", [](int f) { VIDGET(f); }, 39, 69},
        {"gmSaveVideo", [](int f) { VIDSAV(f, "clip.avi"); }, 39, 69},
        {"gmDisconnectVideoFrame", [](int f) { VIDDIS(f); }, 39, 69},
    };
}

}  // namespace

TEST_F(MoreCells, EachRoutineAcceptsItsKindAndNamesItsErrorForAnother) {
    start();
    const int list = make(wl::KIND_LISTBOX), frame = make(wl::KIND_FRAME);
    const int array = make(wl::KIND_TEXTARRAY), table = make(wl::KIND_TABLE), video = make(wl::KIND_VIDEO);
    for (const auto& c : kind_checks()) {
        SCOPED_TRACE(c.name);
        const int good = c.kind == 23 ? array : c.kind == 35 ? table : video;
        wl::model().console.clear();
        c.call(good);
        EXPECT_TRUE(console().empty());
        for (int wrong : {list, frame}) {
            wl::model().console.clear();
            c.call(wrong);
            ASSERT_EQ(console().size(), 1u);
            EXPECT_EQ(console()[0].text, err(c.error));
            EXPECT_EQ(console()[0].title, c.name);
        }
        wl::model().console.clear();
        c.call(0);
        ASSERT_EQ(errors(), std::vector<std::string>{err(26)});
    }
    EXPECT_EQ(CURRENT_ROUTINE.trimmed(), "");
}

TEST_F(MoreCells, ArrayRowsAndColumnsGoToTheLibraryOneAtATime) {
    start();
    const int array = make(wl::KIND_TEXTARRAY);
    const auto t = trace([&] {
        ADDROW(array, 3);
        ADDCOL(array, 4);
        REMROW(array, 5);
        REMCOL(array, 6);
    });
    const std::string a = std::to_string(array);
    EXPECT_EQ(only(t, "ESCAPEROUTINE"),
              (std::vector<std::string>{"ESCAPEROUTINE(2000, " + a + ", 3, 1, 0, 0, 0)",
                                        "ESCAPEROUTINE(2001, " + a + ", 4, 1, 0, 0, 0)",
                                        "ESCAPEROUTINE(2002, " + a + ", 5, 1, 0, 0, 0)",
                                        "ESCAPEROUTINE(2003, " + a + ", 6, 1, 0, 0, 0)"}));
}

TEST_F(MoreCells, CellLimitsGoSmallerFirstAndTheEnquiryNeverComplains) {
    start();
    const int array = make(wl::KIND_TEXTARRAY), text = make(wl::KIND_TEXT);
    CELLIM(array, 2, 3, 5.0f, 1.0f, 7);
    float lo = -1, hi = -1;
    int third = -1;
    CELLIQ(array, 2, 3, lo, hi, third);
    EXPECT_EQ(lo, 1.0f);
    EXPECT_EQ(hi, 5.0f);
    EXPECT_EQ(third, 7);
    CELLIM(text, 2, 3, 5.0f, 1.0f, 7);
    EXPECT_EQ(errors(), std::vector<std::string>{err(63)});

    // Column or row 0, a non-array or no array at all: three zeros and no message.
    wl::model().console.clear();
    for (auto [a, col, row] : {std::tuple{array, 0, 3}, std::tuple{array, 2, 0}, std::tuple{text, 2, 3},
                               std::tuple{-1, 2, 3}}) {
        lo = hi = 9;
        third = 9;
        CELLIQ(a, col, row, lo, hi, third);
        EXPECT_EQ(lo, 0.0f);
        EXPECT_EQ(hi, 0.0f);
        EXPECT_EQ(third, 0);
    }
    EXPECT_TRUE(console().empty());
}

TEST_F(MoreCells, CellAttributeEnquiryOnAWrongWidgetReturnsZeros) {
    start();
    const int list = make(wl::KIND_LISTBOX), array = make(wl::KIND_TEXTARRAY);
    int values[5] = {7, 7, 7, 7, 7};
    CELANQ(list, 1, 1, 5, values);
    for (int v : values) EXPECT_EQ(v, 0);
    EXPECT_EQ(errors(), std::vector<std::string>{err(63)});
    wl::model().console.clear();
    CELANQ(array, 0, 1, 5, values);
    EXPECT_EQ(errors(), std::vector<std::string>{err(35)});
}

TEST_F(MoreCells, AFailedCellEnquiryLeavesValueAndText) {
    start();
    const int list = make(wl::KIND_LISTBOX);
    float v = 2.5f;
    char text[3] = {'a', 'b', 'c'};
    CELENQ(list, 1, 1, v, text, 3);
    EXPECT_EQ(v, 2.5f);
    EXPECT_EQ(std::string(text, 3), "abc");
}

TEST_F(MoreCells, TableBoxKeepsColumnsEntriesAndLabels) {
    start();
    const int box = gmCreateTableBox(1, 1, 1, 10, 6);
    ASSERT_GT(box, 1);
    EXPECT_EQ(IGETWIDGETTYPE(box), wl::KIND_TABLE);
    gmAddTableBoxColumn(box, 1, 12, {}, "h");
    gmAddTableBoxColumn(box, 2, 8, {}, "I(obs)", 3);
    gmAddTableBoxEntry(box, "1 0 0|1520.5");
    gmAddTableBoxEntry(box, "0 0 2|88.1", 1);  // before the first
    const wl::TableBox* t = wl::find_table(box);
    ASSERT_NE(t, nullptr);
    ASSERT_EQ(t->columns.size(), 2u);
    EXPECT_EQ(t->columns[1].label, "I(obs)");
    EXPECT_EQ(t->columns[1].attribute, 3);
    ASSERT_EQ(t->rows.size(), 2u);
    EXPECT_EQ(t->rows[0], (std::vector<std::string>{"0 0 2", "88.1"}));

    gmSetTableBoxLabel(box, 1, 0, "hkl");
    char label[8];
    gmEnqTableBoxLabel(box, 1, 0, label, 8);
    EXPECT_EQ(std::string(label, 8), "hkl     ");
    gmEnqTableBoxLabel(box, 2, 2, label, 8);
    EXPECT_EQ(std::string(label, 8), "1520.5  ");

    gmSetTableBoxAttribs(box, 2, 20);
    int width = 0, attribute = 0;
    gmEnqTableBoxAttribs(box, 2, &width, &attribute);
    EXPECT_EQ(width, 20);
    EXPECT_EQ(attribute, 3);

    GMREMOVETABLEBOXCOLUMN(box, 1);
    ASSERT_EQ(t->columns.size(), 1u);
    EXPECT_EQ(t->columns[0].label, "I(obs)");
    EXPECT_TRUE(console().empty());
}

TEST_F(MoreCells, TableSizeEnquiryCopiesBackOnlyWithFlagOne) {
    start();
    const int box = gmCreateTableBox(1, 1, 1, 10, 6);
    gmAddTableBoxColumn(box, 1, 12, {}, "h");
    int first = 5, second = 6;
    TABSIZ(box, 0, first, second, 0);  // sets the width 5, returns nothing
    EXPECT_EQ(first, 5);
    EXPECT_EQ(second, 6);
    first = second = -1;
    TABSIZ(box, 0, first, second, 1);
    EXPECT_EQ(first, 5);
    EXPECT_EQ(second, 0);
}

TEST_F(MoreCells, VideoAndMdiAreRefusedWhereTheyCannotExist) {
    start();
    // No capture device: the library refuses the frame, and nothing is applied to it.
    const auto t = trace([] { EXPECT_EQ(gmCreateVideoFrame(1, 1, 1, 8, 6, 0, {.callback = 77, .status = 0}), 0); });
    EXPECT_FALSE(has(t, "SETCALLBACK(0, 77)"));
    EXPECT_TRUE(console().empty());

    // The device enquiry writes no more than the caller's text holds.
    char name[41];
    std::memset(name, 'x', sizeof name);
    EXPECT_EQ(gmEnqVideoDevice(0, name, 40), 0);
    EXPECT_EQ(std::string(name, 40), std::string(40, ' '));
    EXPECT_EQ(name[40], 'x');

    // gmMDIAction on an ordinary master window.
    MDIACT(1, 0, 5);
    EXPECT_EQ(errors(), std::vector<std::string>{err(65)});
}

TEST_F(MoreCells, MdiActionReachesTheLibraryOnAnMdiMaster) {
    start();
    ASSERT_EQ(make(wl::KIND_MDI), 2);
    const auto t = trace([] { gmMDIAction(1, 32744); });
    EXPECT_EQ(only(t, "ESCAPEROUTINE"), std::vector<std::string>{"ESCAPEROUTINE(600, 1, 0, 5, 0, 0, 0)"});
    EXPECT_TRUE(console().empty());
}

TEST_F(MoreCells, RetiredRoutinesOnlyReportUnderTheirOwnName) {
    start();
    int i = 0, j = 0, k = 0, colours[9] = {};
    const std::vector<std::tuple<const char*, std::function<void()>, int>> cases = {
        {"MENGRD", [] { MENGRD(1, 2); }, 55},
        {"IMGPAT", [] { IMGPAT(1, "a.bmp", 0, 0); }, 55},
        {"ICOPAT", [] { ICOPAT(1, "a.ico", 0, 0); }, 55},
        {"GUICOL", [&] { GUICOL(colours); }, 55},
        {"BORWID", [] { BORWID(2); }, 55},
        {"ACTMOD", [] { ACTMOD(1); }, 55},
        {"ACCATR", [] { ACCATR(1, 2, 3); }, 55},
        {"GCOENQ", [&] { GCOENQ(colours); }, 55},
        {"BORENQ", [&] { BORENQ(i); }, 55},
        {"ACMENQ", [&] { ACMENQ(i); }, 55},
        {"ACCENQ", [&] { ACCENQ(i, j, k); }, 55},
        {"GUIRES", [] { GUIRES(); }, 61},
        {"GUICDE", [] { GUICDE(); }, 61},
    };
    for (const auto& [name, call, error] : cases) {
        wl::model().console.clear();
        const auto t = trace(call);
        ASSERT_EQ(console().size(), 1u) << name;
        EXPECT_EQ(console()[0].title, name);
        EXPECT_EQ(console()[0].text, err(error));
        EXPECT_EQ(only(t, "errormessage_").size(), t.size()) << name;  // no other library call
        EXPECT_EQ(CURRENT_ROUTINE.trimmed(), "");
    }
}

TEST_F(MoreCells, EmulationAttributesRaiseFourDeprecationsAndFillNothing) {
    start();
    EmulationAttribs record;
    for (int n = 0; n < 14; ++n) record[std::size_t(n)] = n + 1;
    GMSETEMULATIONATTRIBS(record);
    GMENQEMULATIONATTRIBS(record);
    std::vector<std::string> titles;
    for (const auto& c : console()) {
        EXPECT_EQ(c.text, err(55));
        titles.push_back(c.title);
    }
    EXPECT_EQ(titles, (std::vector<std::string>{"ACTMOD", "ACCATR", "BORWID", "GUICOL", "ACCENQ", "ACMENQ", "BORENQ",
                                                "GCOENQ"}));
    for (int n = 0; n < 14; ++n) EXPECT_EQ(record[std::size_t(n)], n + 1);
}

TEST_F(MoreCells, LongTableTextsAreKeptWhole) {
    start();
    const int box = gmCreateTableBox(1, 1, 1, 10, 6);
    const std::string label(300, 'L'), entry = std::string(280, 'e') + "|tail";
    gmAddTableBoxColumn(box, 1, 12, {}, label);
    gmAddTableBoxEntry(box, entry);
    const wl::TableBox* t = wl::find_table(box);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->columns[0].label, label);
    ASSERT_EQ(t->rows.size(), 1u);
    EXPECT_EQ(t->rows[0].back(), "tail");
    const std::string heading = std::string(290, 'H') + "end";
    gmSetTableBoxLabel(box, 1, 0, heading);
    std::string back(300, '?');
    gmEnqTableBoxLabel(box, 1, 0, back.data(), 300);
    EXPECT_EQ(back, heading + std::string(7, ' '));
}
