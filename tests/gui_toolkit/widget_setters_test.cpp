// Setters and enquiries: what is sent for each optional argument, and round trips through the
// model (toggles and radio boxes, texts, paragraph spacing, cells, sliders, dock codes).
#include <climits>
#include <cstring>

#include "gui_toolkit/frames.h"
#include "widget_fixture.h"
#include "runtime/farray.h"
#include "runtime/ftext.h"

using WidgetSetters = WidgetTest;

TEST_F(WidgetSetters, TextSettingWithAndWithoutMode) {
    start();
    const int text = gmCreateTextEntry(1, 0, 0, 6, 1, "", 20, 0);
    auto t = trace([&] { gmSetTextSetting(text, "abc", 7); });
    const std::string id = std::to_string(text);
    const std::vector<std::string> with_mode = {"ESCAPEROUTINE(960, 7, 0, 0, 0, 0, 0)", "SETSTRING(" + id + ", \"abc\")",
                                                "ESCAPEROUTINE(960, 0, 0, 0, 0, 0, 0)"};
    EXPECT_EQ(t, with_mode);
    t = trace([&] { gmSetTextSetting(text, ""); });
    EXPECT_EQ(t, std::vector<std::string>{"SETSTRING(" + id + ", \"\")"});
    EXPECT_EQ(w(text).text, "");

    // Reading with a mode brackets the read the same way; a refused read leaves the text as it was.
    char out[8];
    std::memcpy(out, "XXXXXXXX", 8);
    t = trace([&] { gmEnqTextSetting(text, out, 8, 2); });
    EXPECT_EQ(t.front(), "ESCAPEROUTINE(960, 2, 0, 0, 0, 0, 0)");
    EXPECT_EQ(t.back(), "ESCAPEROUTINE(960, 0, 0, 0, 0, 0, 0)");
    EXPECT_EQ(std::string(out, 8), "        ");
    std::memcpy(out, "XXXXXXXX", 8);
    gmEnqTextSetting(make(wl::KIND_VALUE), out, 8);
    EXPECT_EQ(std::string(out, 8), "XXXXXXXX");
    EXPECT_EQ(console().back().text, "GINOMENU error 23 - Widget is not a text entry");
}

TEST_F(WidgetSetters, ToggleRoundTripsAndRadioBoxKeepsOneOn) {
    start();
    const int radio = gmCreateRadioBox(1, 0, 0, 4, 7);
    int toggle[3];
    for (int k = 0; k < 3; ++k) toggle[k] = gmCreateToggleButton(radio, 0, k, 3, 1, "F", k == 1 ? 1 : 0);
    EXPECT_EQ(gmEnqToggleSwitch(toggle[1]), 1);
    gmSetToggleSwitch(toggle[2], 1);
    EXPECT_EQ(gmEnqToggleSwitch(toggle[0]), 0);
    EXPECT_EQ(gmEnqToggleSwitch(toggle[1]), 0);
    EXPECT_EQ(gmEnqToggleSwitch(toggle[2]), 1);
    EXPECT_TRUE(console().empty());

    // State 2 is refused and changes nothing; a text entry is not a toggle.
    gmSetToggleSwitch(toggle[2], 2);
    EXPECT_EQ(console().back().text, "GINOMENU error 35 - Parameter out of range");
    EXPECT_EQ(gmEnqToggleSwitch(toggle[2]), 1);
    int state = 9;
    TOGENQ(gmCreateTextEntry(1, 0, 0, 3, 1, "", 5, 0), state);
    EXPECT_EQ(console().back().text, "GINOMENU error 21 - Widget is not a toggle button");
    EXPECT_EQ(state, 9);
    gmSetToggleSwitch(gmCreateValueEntry(1, 0, 0, 3, 1, 0.0f, 5, 1, 0), 1);
    EXPECT_EQ(console().back().text, "GINOMENU error 21 - Widget is not a toggle button");

    // A check toggle in a dialogue box is independent.
    const int dialog = make(wl::KIND_DIALOG);
    const int a = gmCreateToggleButton(dialog, 0, 0, 3, 1, "R", 1), b = gmCreateToggleButton(dialog, 0, 1, 3, 1, "D", 1);
    EXPECT_EQ(gmEnqToggleSwitch(a) + gmEnqToggleSwitch(b), 2);
}

TEST_F(WidgetSetters, FontAttributes) {
    start();
    const int button = gmCreatePushButton(1, 0, 0, 3, 1, "Go");
    auto t = trace([&] { gmSetFontAttribs(button, {.a1 = 10}); });
    EXPECT_EQ(t, std::vector<std::string>{"ESCAPEROUTINE(900, " + std::to_string(button) + ", 1, 10, 0, 0, 0)"});
    t = trace([&] { gmSetFontAttribs(button, {.item1 = 3}); });
    EXPECT_TRUE(t.empty());
    t = trace([&] { gmSetFontAttribs(button, {.font_name = "Courier", .item1 = 1, .item2 = 2, .a11 = 4}); });
    ASSERT_EQ(t.size(), 4u);
    EXPECT_EQ(t[0], "ESCAPEROUTINE(870, " + std::to_string(button) + ", 1, 2, 0, 0, 0)");
    EXPECT_EQ(t[3], "ESCAPEROUTINE(871, " + std::to_string(button) + ", 0, 0, 0, 0, 0)");
    // Read back.
    int a1 = 0, a11 = 0;
    char name[10];
    gmEnqFontAttribs(button, {.font_name = name, .font_name_len = 10, .a = {&a1}, .a11 = &a11});
    EXPECT_EQ(a1, 10);
    EXPECT_EQ(a11, 4);
    EXPECT_EQ(std::string(name, 10), "Courier   ");
}

TEST_F(WidgetSetters, ParagraphSpacingWordPackedWithoutOverflow) {
    struct Case {
        OptInt a, b, c;
        int word;
    } cases[] = {
        {{}, {}, 12, 5},
        {45, -37, 3, 2 * 256 + 3 * 16 + 3},
        {1000, {}, {}, 15 * 256 + 5},
        {{}, {}, {}, 5},
        {INT_MIN, INT_MIN, INT_MIN, 15 * 256 + 15 * 16 + 5},
        {{}, {}, -10, 10},
    };
    for (const auto& c : cases) EXPECT_EQ(paragraph_spacing_word(c.a, c.b, c.c), c.word);

    start();
    const int editor = make(wl::KIND_EDITOR);
    gmSetParagraphProp(editor, {.p0 = 1, .spacing_a = 45, .spacing_b = -37, .spacing_c = 3});
    int p0 = 0, p7 = -1, a = 0, b = 0, c = 0;
    ParagraphEnq q;
    q.p[0] = &p0;
    q.p[7] = &p7;
    q.a = &a;
    q.b = &b;
    q.c = &c;
    gmEnqParagraphProp(editor, q);
    EXPECT_EQ(p0, 1);
    EXPECT_EQ(p7, 0);
    EXPECT_EQ(a, 40);
    EXPECT_EQ(b, 30);
    EXPECT_EQ(c, 3);
}

TEST_F(WidgetSetters, PropertyColoursAndValueEntry) {
    start();
    auto t = trace([&] { gmSetPropertySetting(50, 2, {.colour1 = std::array<float, 3>{1.0f, 0.5f, 0.999f}}); });
    EXPECT_EQ(t, std::vector<std::string>{"ESCAPEROUTINE(5019, 50, 2, 255, 127, 254, 0)"});
    // An item without a value entry (escape 5025 answers 0) gets nothing more.
    t = trace([&] { gmSetPropertySetting(50, 2, {.real = 1.5f}); });
    EXPECT_EQ(t, std::vector<std::string>{"ESCAPEROUTINE(5025, 50, 2, 0, 0, 0, 0)"});
    // Component 127 reads back as 127/255.
    set_escape_handler(5020, [](int, const int(&)[6], int& o1, int&, char*, int) { o1 = 127; });
    std::array<float, 3> colour{};
    gmEnqPropertySetting(50, 2, {.colour1 = &colour});
    set_escape_handler(5020, nullptr);
    EXPECT_EQ(colour[0], 127.0f / 255.0f);
    EXPECT_EQ(colour[1], 0.0f);
}

TEST_F(WidgetSetters, CellSettingKeepsAGivenText) {
    start();
    const int array = make(wl::KIND_TEXTARRAY);
    // A text cell given a text keeps the text (it is never blanked).
    gmSetCellSetting(array, 1, 1, {.text = "Fe"});
    char text[4];
    double value = -1;
    gmEnqCellSetting(array, 1, 1, value, text, 4);
    EXPECT_EQ(std::string(text, 4), "Fe  ");
    EXPECT_EQ(value, 0.0);
    // A number on a text cell makes it a number cell; a text on a number cell a text cell.
    auto t = trace([&] { gmSetCellSetting(array, 2, 1, {.real = 2.5f}); });
    EXPECT_TRUE(has(t, "GASETCELLTYPE(" + std::to_string(array) + ", 2, 1, 1, 0)"));
    t = trace([&] { gmSetCellSetting(array, 2, 1, {.text = "x"}); });
    EXPECT_TRUE(has(t, "GASETCELLTYPE(" + std::to_string(array) + ", 2, 1, 0, 0)"));
    int n = 0;
    gmSetCellSetting(array, 3, 1, {.integer = 7, .text = "seven"});
    gmEnqCellSetting(array, 3, 1, n, text, 4);
    EXPECT_EQ(n, 7);
    EXPECT_EQ(std::string(text, 4), "seve");
    // Array 0: no attribute enquiry and no type change, only the value request (refused).
    t = trace([&] { gmSetCellSetting(0, 1, 1, {.real = 1.0f}); });
    EXPECT_TRUE(only(t, "GA").empty());
    EXPECT_EQ(console().back().text, "GINOMENU error 26 - Invalid widget number");
    EXPECT_EQ(console().back().title, "gmSetCellSetting");
}

TEST_F(WidgetSetters, CellAttributesRoundTrip) {
    start();
    const int array = make(wl::KIND_TEXTARRAY);
    CellAttribs a;
    for (int k : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 21}) a.field(k) = k + 100;
    a.field(9) = 19;     // sent as 1
    a.field(12) = 32746; // none: kind 0
    a.real(19) = 2.5f;   // real limits, in either order
    a.real(20) = 0.5f;
    a.text = "label";
    gmSetCellAttribs(array, 2, 3, a);
    CellAttribs b;
    gmEnqCellAttribs(array, 2, 3, b);
    for (int k : {1, 2, 3, 4, 5, 6, 7, 8, 10, 11, 13, 14, 15, 16, 17, 18, 21}) EXPECT_EQ(b.field(k), a.field(k)) << k;
    EXPECT_EQ(b.field(9), 19);
    EXPECT_EQ(b.field(12), 32746);
    EXPECT_EQ(b.real(19), 0.5f);
    EXPECT_EQ(b.real(20), 2.5f);
    EXPECT_EQ(b.text, "label");
    // Not an array: every attribute reads 0 and error 63 is shown.
    CellAttribs c;
    c.field(5) = 9;
    gmEnqCellAttribs(make(wl::KIND_TEXT), 1, 1, c);
    EXPECT_EQ(c.field(5), 0);
    EXPECT_EQ(console().back().text, "GINOMENU error 63 - Not a text or value array");
}

TEST_F(WidgetSetters, DockCodes) {
    struct Case {
        int dock, sent;
    } sent[] = {{2, 2}, {3, 3}, {4, 4}, {-1, 1}, {7, 0}, {1, 0}, {-5, 0}};
    for (const auto& c : sent) EXPECT_EQ(dock_code_sent(c.dock), c.sent) << c.dock;
    struct Read {
        int code, dock;
    } read[] = {{1, -1}, {2, 2}, {3, 3}, {4, 4}, {9, 1}, {0, 1}};
    for (const auto& c : read) EXPECT_EQ(dock_code_read(c.code), c.dock) << c.code;

    start();
    const int bar = make(wl::KIND_TOOLBAR);
    auto t = trace([&] { gmSetToolbarPos(bar, 1, 2, 3, 0); });
    EXPECT_EQ(t, std::vector<std::string>{"WIDGETSTATUS(" + std::to_string(bar) + ", -1)"});
    t = trace([&] { gmSetToolbarPos(bar, 1, 2, 3, -1); });
    EXPECT_EQ(t, std::vector<std::string>{"ESCAPEROUTINE(5050, " + std::to_string(bar) + ", 1, 2, 3, 1, 0)"});

    // Read back: hidden reads 0 whatever the toolkit reports.
    set_escape_handler(5052, [](int, const int(&)[6], int&, int& o2, char*, int) { o2 = 1; });
    int x, y, r, dock = 5;
    gmEnqToolbarPos(bar, x, y, r, dock);
    EXPECT_EQ(dock, 0);
    gmSetWidgetStatus(bar, STATUS_ACTIVE);
    gmEnqToolbarPos(bar, x, y, r, dock);
    EXPECT_EQ(dock, -1);
    set_escape_handler(5052, nullptr);
}

TEST_F(WidgetSetters, SmallRecodings) {
    start();
    for (int action : {-2, 3}) {
        const auto t = trace([&] { gmSetArrayGridReturnAction(action); });
        EXPECT_EQ(t, std::vector<std::string>{"ESCAPEROUTINE(2023, 2, 0, 0, 0, 0, 0)"}) << action;
    }
    struct Rogue {
        int code, sent;
    } rogues[] = {{32758, 1}, {32757, 2}, {32755, 3}, {32753, 4}, {32752, 5}, {32754, 32754}};
    for (const auto& c : rogues) {
        const auto t = trace([&] { gmSetRogueValueStr(c.code, 1, 2, "n/a"); });
        EXPECT_EQ(t, std::vector<std::string>{"REGROGUEVALUE(1, 2, " + std::to_string(c.sent) + ", \"n/a\")"});
    }
    auto t = trace([&] { EXPECT_EQ(gmEnqEntrySelectionMode(), 2); });
    t = trace([&] { gmEnqClipboardStatus(32746); });
    EXPECT_EQ(t, std::vector<std::string>{"ESCAPEROUTINE(2900, 0, 0, 0, 0, 0, 0)"});
    t = trace([&] { gmSetWidgetHelp(1, 31, {.text = "help", .e6 = 4}); });
    ASSERT_EQ(t.size(), 2u);
    EXPECT_EQ(t[0].rfind("ADDWIDGETHELP(1, 2, \"help ", 0), 0u);  // the whole 32768-character scratch text
    EXPECT_EQ(w(1).help.size(), 32768u);
    EXPECT_EQ(t[1], "SETWIDGETPROP(1, 126, 4, 0.000000, \"\")");
}

TEST_F(WidgetSetters, SliderPositions) {
    start();
    int slider = 0;
    SLIDER(1, 0, 0, 0.0f, 10.0f, 1.0f, 2.75f, slider);
    ASSERT_GT(slider, 0);
    EXPECT_EQ(wl::find_extra(slider)->slider_position, 2700);  // a whole percent, truncated
    gmSetSliderValue(slider, 2.75f);
    EXPECT_EQ(wl::find_extra(slider)->slider_position, 2750);
    EXPECT_EQ(gmEnqSliderValue(slider), 2.75f);
    // An empty range is refused: nothing is created.
    int none = 9;
    SLIDER(1, 0, 0, 5.0f, 5.0f, 1.0f, 5.0f, none);
    EXPECT_EQ(none, 0);
    EXPECT_EQ(console().back().text, "GINOMENU error 13 - Invalid slider range");
}

TEST_F(WidgetSetters, StatusAndKindThroughProperties) {
    start();
    const int kinds[] = {wl::KIND_DIALOG, wl::KIND_BUTTON, wl::KIND_TEXT, wl::KIND_VALUE, wl::KIND_TOGGLE,
                         wl::KIND_RADIO,  wl::KIND_LISTBOX, wl::KIND_FRAME, wl::KIND_SLIDER, wl::KIND_MENUTITLE};
    for (int kind : kinds) {
        const int id = make(kind);
        int value = -99;
        double d = 0;
        char t[1];
        PRPENQ(id, 15, value, d, t, 1);
        EXPECT_EQ(value, kind);
        gmSetWidgetStatus(id, STATUS_HIDDEN);
        EXPECT_EQ(gmEnqWidgetStatus(id), -1) << kind;
    }
    // Other properties keep what was set.
    PRPSET(1, 98, 12, 2.5, "tip");
    int value = 0;
    double d = 0;
    char t[5];
    PRPENQ(1, 98, value, d, t, 5);
    EXPECT_EQ(value, 12);
    EXPECT_EQ(d, 2.5);
    EXPECT_EQ(std::string(t, 5), "tip  ");
    PRPSET(0, 98, 1, 0, " ");
    EXPECT_EQ(console().back().title, "gmSetWidgetProp");
    EXPECT_EQ(console().back().text, "GINOMENU error 26 - Invalid widget number");
}

TEST_F(WidgetSetters, PixelAndWorldPositions) {
    start();
    const int frame = gmCreateGraphicsFrame(1, 1, 4, 18, 12, {0.0f, 300.0f, 0.0f, 200.0f});
    int q[4];
    FRAPIX(frame, q[0], q[1], q[2], q[3]);
    ASSERT_GT(q[2], 0);
    float pos[2];
    gmEnqPosOfPixel(frame, q[0], q[1], pos);
    EXPECT_EQ(pos[0], 0.0f);
    EXPECT_EQ(pos[1], 200.0f);
    gmEnqPosOfPixel(frame, q[2], q[3], pos);
    EXPECT_EQ(pos[0], 300.0f);
    EXPECT_EQ(pos[1], 0.0f);
    int pixel[2];
    gmEnqPixelPos(frame, 300.0f, 0.0f, pixel);
    EXPECT_EQ(pixel[0], q[2]);
    EXPECT_EQ(pixel[1], q[3]);
}

TEST_F(WidgetSetters, ValueArrayBlockOrder) {
    start();
    int array = 0;
    VALARR(1, 3, 3, 10, 10, array);
    const double values[6] = {1, 2, 3, 4, 5, 6};
    const auto t = trace([&] { gmSetValueArray_DOUBLE(array, 5, 1, 2, 3, values); });
    const auto cells = only(t, "GASETCELLVALUE");
    ASSERT_EQ(cells.size(), 6u);
    const char* expected[] = {"5, 1, 1.0", "6, 1, 2.0", "5, 2, 3.0", "6, 2, 4.0", "5, 3, 5.0", "6, 3, 6.0"};
    for (int k = 0; k < 6; ++k)
        EXPECT_EQ(cells[std::size_t(k)].rfind("GASETCELLVALUE(" + std::to_string(array) + ", " + expected[k], 0), 0u)
            << cells[std::size_t(k)];
    int back[6] = {};
    gmEnqValueArray_INTEGER(array, 5, 1, 2, 3, back);
    for (int k = 0; k < 6; ++k) EXPECT_EQ(back[k], k + 1);
    // A real widened keeps its double digits in the cell text.
    const float tenth = 0.1f;
    gmSetValueArray_REAL(array, 1, 1, 1, 1, &tenth);
    char text[20];
    double v = 0;
    gmEnqCellSetting(array, 1, 1, v, text, 20);
    EXPECT_EQ(std::string(text, 19), "0.10000000149011612");
    // Texts: a number reads as its value, letters as 0.
    const char texts[] = "12.5 abc ";
    gmSetTextArray_1(array, 1, 5, 2, 1, texts, 5);
    gmEnqCellSetting(array, 1, 5, v, text, 20);
    EXPECT_EQ(v, 12.5);
    gmEnqCellSetting(array, 2, 5, v, text, 20);
    EXPECT_EQ(v, 0.0);
    EXPECT_EQ(std::string(text, 4), "abc ");
}

// Array enquiries into two-dimensional arrays: every request reaches the toolkit, an empty block
// included, so a wrong widget is reported whatever the block.
TEST_F(WidgetSetters, ArrayEnquiryOfAnEmptyBlockStillChecksTheWidget) {
    start();
    const int entry = make(wl::KIND_VALUE);
    rt::FArray2<double, 2, 2> values;
    rt::FArray2<rt::FText<4>, 2, 2> texts;
    struct Case {
        const char* what;
        std::function<void()> call;
    } cases[] = {
        {"values, no columns", [&] { gmEnqValueArray2(entry, 1, 1, 0, 2, values); }},
        {"values, no rows", [&] { gmEnqValueArray2(entry, 1, 1, 2, -1, values); }},
        {"texts, no rows", [&] { gmEnqTextArray_2(entry, 1, 1, 2, 0, texts); }},
    };
    for (const auto& c : cases) {
        wl::model().console.clear();
        c.call();
        ASSERT_EQ(console().size(), 1u) << c.what;
        EXPECT_EQ(console()[0].text, err(24)) << c.what;
    }

    // On a real array an empty block transfers nothing and reports nothing.
    int array = 0;
    VALARR(1, 3, 3, 10, 10, array);
    wl::model().console.clear();
    values(1, 1) = 5.0;
    gmEnqValueArray2(array, 1, 1, 0, 2, values);
    EXPECT_EQ(values(1, 1), 5.0);
    EXPECT_TRUE(console().empty());
}

// Setters checked against the precision of what they forward: a cell number given as an integer
// reaches the cell in double precision, unrounded.
TEST_F(WidgetSetters, CellNumberGivenAsIntegerKeepsEveryDigit) {
    start();
    const int array = make(wl::KIND_TEXTARRAY);
    // 2^24 + 1 has no 32-bit real; the cell holds a double, so it must arrive as it was given.
    const int cases[] = {16777217, -16777219, 2147483647, 7};
    int col = 1;
    for (int given : cases) {
        gmSetCellSetting(array, col, 1, {.integer = given});
        double value = 0;
        char text[4];
        gmEnqCellSetting(array, col, 1, value, text, 4);
        EXPECT_EQ(value, double(given)) << given;
        ++col;
    }
    EXPECT_TRUE(console().empty());
}
