// The widget module's further operations: what each escape operation sends, the operations
// with logic of their own (RTF zoom, find and replace, frozen changes, word extraction, tab
// stops, property lists, table boxes, array rows) and the forwarders' argument order.
#include <cmath>
#include <functional>

#include "widget_fixture.h"

using MoreFurther = WidgetTest;

namespace {

std::string call(int op, std::initializer_list<int> p) { return escape_call(op, p); }

// Installs a handler for op for the life of the object.
struct Handler {
    int op;
    Handler(int op_, EscapeHandler fn) : op(op_) { set_escape_handler(op, std::move(fn)); }
    ~Handler() { set_escape_handler(op, nullptr); }
};

std::string text_of(const char* t, int len) {
    std::string s(t, std::size_t(len));
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
}

}  // namespace

TEST_F(MoreFurther, EscapeOperationsSendTheirNumberAndValues) {
    start();
    char buf[16];
    const std::vector<std::pair<std::function<void()>, std::string>> cases = {
        {[] { GMCONVERTRTF2HTML("a.rtf"); }, call(7000, {})},
        {[] { GMSELECTPROPERTY(5, 2); }, call(5025, {5, 2, 999})},
        {[] { GMSAVESYNTAXKEYWORDS("k.txt"); }, call(985, {})},
        {[] { GMLOADSYNTAXKEYWORDS("k.txt"); }, call(986, {})},
        {[] { GMADDSYNTAXKEYWORD(5, "do"); }, call(981, {5})},
        {[] { GMINITIALIZESYNTAXTREE(); }, call(983, {})},
        {[] { GMREMOVETABLEBOXCOLUMN(5, 1); }, call(206, {5, 0})},
        {[] { GMREMOVEPROPERTYFROMLIST(5, 3); }, call(5013, {5, 3})},
        {[] { gmRemoveArrayRow(5, 4); }, call(2002, {5, 4, 1})},
        {[] { gmRemoveArrayColumn(5, 4, 3); }, call(2003, {5, 4, 3})},
        {[] { gmAddArrayRow(5, 4); }, call(2000, {5, 4, 1})},
        {[] { gmAddArrayColumn(5, 4, 2); }, call(2001, {5, 4, 2})},
        {[] { GMPROPERTYITEMNUMBER(5, "name"); }, call(5017, {5})},
        {[] { GMPROPERTYITEMCOUNT(5); }, call(5018, {5})},
        {[] { GMPAGESETUPDIALOGUE(5); }, call(970, {5})},
        {[] { GMINSERTOBJECTDIALOGUE(5); }, call(5101, {5})},
        {[] { GMINSERTOBJECT(5, "f.doc"); }, call(5100, {5})},
        {[] { GMIMPORTWMFFILE(1, 2, 3, 4, 5, 6, "f.wmf"); }, call(5500, {1, 2, 3, 4, 5, 6})},
        {[&] { GMGETSTRINGFROMRESOURCE(9, buf, 16); }, call(6100, {9, 16})},
        {[] { GMGETICONRESOURCE("icon"); }, call(850, {})},
        {[] { GMGETBITMAPRESOURCE("bmp"); }, call(852, {})},
        {[] { GMFONTATTRIBSDIALOGUE(5); }, call(902, {5})},
        {[&] { GMFINDTEXTDIALOGUE(5, buf, 16); }, call(53, {5})},
        {[] { GMFINDTEXT(5, 2, "x"); }, call(52, {5, 2, 0})},
        {[] { GMFINDTEXT(5, 2, "x", 7); }, call(52, {5, 2, 7})},
        {[&] { GMEXTRACTTEXT(5, 1, 4, buf, 16); }, call(874, {5, 1, 4, 16})},
        {[] { GMCLEARVALUEENTRY(5); }, call(2014, {5})},
        {[] { GMCLEARARRAYCELL(5, 2, 3); }, call(2013, {5, 2, 3})},
        {[] { GMCHANGEWIDGETORDER(1, 2, 3); }, call(80, {1, 2, 3})},
        {[] { GMADOPTCHILD(1, 2, 3); }, call(6000, {1, 2, 3})},
        {[] { GMADDPARAGRAPHTABSTOP(1, 2, 3, 4); }, call(914, {1, 2, 3, 4})},
        {[] { GMREMOVEPARAGRAPHTABSTOP(5, 3); }, call(915, {5, 2})},
        {[] { GMDISPLAYTABSTOPEDITOR(5); }, call(363, {5})},
        {[] { gmAddTableBoxEntry(5, "e", 2); }, call(202, {5, 0, 2})},
    };
    for (const auto& [fn, expected] : cases) {
        const auto t = only(trace(fn), "ESCAPEROUTINE");
        EXPECT_EQ(t, std::vector<std::string>{expected});
    }
    // Adding no rows or columns sends nothing.
    EXPECT_TRUE(trace([] {
                    gmAddArrayRow(5, 4, 0);
                    gmAddArrayColumn(5, 4, -1);
                }).empty());
    EXPECT_TRUE(console().empty());  // none of them checks anything
}

TEST_F(MoreFurther, EscapeTextsReachTheLibraryWhole) {
    start();
    std::string seen;
    Handler h(5500, [&](int, const int(&)[6], int& o1, int&, char* text, int len) {
        seen = text_of(text, len);
        o1 = 42;
    });
    const std::string path = "/data/" + std::string(300, 'd') + "/plot.wmf";
    EXPECT_EQ(GMIMPORTWMFFILE(1, 2, 3, 4, 5, 6, path), 42);
    EXPECT_EQ(seen, path);
}

TEST_F(MoreFurther, RtfZoomBecomesAFractionByRange) {
    const std::vector<std::tuple<float, int, int>> cases = {
        {1.5f, 48, 32}, {40.0f, 40, 1}, {100.0f, 64, 1}, {0.0f, 0, 0},  {-3.0f, 0, 0}, {NAN, 0, 0},
        {1.0f, 64, 64}, {0.5f, 32, 64}, {2.0f, 64, 32},  {3.0f, 48, 16}, {32.0f, 64, 2}, {20.0f, 40, 2},
        {1e30f, 64, 1}, {INFINITY, 64, 1},
    };
    for (const auto& [z, n, d] : cases) {
        int gn = -1, gd = -1;
        rtf_zoom_fraction(z, gn, gd);
        EXPECT_EQ(gn, n) << z;
        EXPECT_EQ(gd, d) << z;
    }
    start();
    EXPECT_EQ(only(trace([] { GMSETRTFZOOM(5, 1.5f); }), "ESCAPEROUTINE"),
              std::vector<std::string>{call(380, {5, 48, 32})});
}

TEST_F(MoreFurther, ReplaceDialogueSplitsTheReturnedTextAtItsFirstBar) {
    start();
    std::string sent;
    std::string answer;
    Handler h(54, [&](int, const int(&)[6], int&, int&, char* text, int len) {
        sent = text_of(text, len);
        EXPECT_EQ(len, 2048);
        if (!answer.empty()) {
            std::memset(text, ' ', std::size_t(len));
            std::memcpy(text, answer.data(), answer.size());
        }
    });
    char find[10], replace[10];
    std::memcpy(find, "alpha     ", 10);
    std::memcpy(replace, "beta      ", 10);
    answer = "a1|b|2";
    GMREPLACETEXTDIALOGUE(5, find, 10, replace, 10);
    EXPECT_EQ(sent, "alpha|beta");
    EXPECT_EQ(std::string(find, 10), "a1        ");
    EXPECT_EQ(std::string(replace, 10), "b|2       ");
    answer = "nobar";
    GMREPLACETEXTDIALOGUE(5, find, 10, replace, 10);
    EXPECT_EQ(std::string(find, 10), std::string(10, ' '));
    EXPECT_EQ(std::string(replace, 10), "nobar     ");
}

TEST_F(MoreFurther, FrozenRtfChangesRememberTheSelection) {
    start();
    const int editor = make(wl::KIND_EDITOR);
    SETSEL(editor, 4, 9);
    const std::string e = std::to_string(editor);
    const auto t = trace([&] {
        GMFREEZERTFCHANGES(editor, 1);
        GMFREEZERTFCHANGES(editor, 0);
        GMFREEZERTFCHANGES(editor, -1);
        GMFREEZERTFCHANGES(editor, 0);
        GMFREEZERTFCHANGES(editor, 2);
    });
    auto sent = only(t, "ESCAPEROUTINE(87");
    EXPECT_EQ(sent, (std::vector<std::string>{call(870, {editor, 4, 9}), call(871, {editor, 4, 9}),
                                              call(871, {editor, -1, -1}), call(871, {editor, -1, -1})}));
}

TEST_F(MoreFurther, ExtractWordKeepsTheLastPositionGiven) {
    start();
    Handler h(875, [](int, const int(&p)[6], int& o1, int& o2, char*, int) {
        o1 = p[1];
        o2 = p[1] + 3;
    });
    char word[12];
    int first = 0, last = 0;
    GMEXTRACTWORD(5, word, 12, 7, &first, &last);
    EXPECT_EQ(first, 7);
    EXPECT_EQ(last, 10);
    const auto t = trace([&] { GMEXTRACTWORD(5, word, 12, {}, &first, &last); });
    EXPECT_EQ(only(t, "ESCAPEROUTINE"), std::vector<std::string>{call(875, {5, 7, 12})});
}

TEST_F(MoreFurther, TabStopFieldsArePackedAndKeptWhenNotGiven) {
    start();
    GMSETPARAGRAPHTABSTOP(5, 1, 1440, 2, 3);
    int position = 0, alignment = 0, leader = 0;
    GMENQPARAGRAPHTABSTOP(5, 1, &position, &alignment, &leader);
    EXPECT_EQ(position, 1440);
    EXPECT_EQ(alignment, 2);
    EXPECT_EQ(leader, 3);
    GMSETPARAGRAPHTABSTOP(5, 1, 720);
    GMENQPARAGRAPHTABSTOP(5, 1, &position, &alignment, &leader);
    EXPECT_EQ(position, 720);
    EXPECT_EQ(alignment, 2);
    EXPECT_EQ(leader, 3);
    // The packed word as the library receives it.
    EXPECT_EQ(only(trace([] { GMSETPARAGRAPHTABSTOP(5, 2, 100, 1, 1); }), "ESCAPEROUTINE(909"),
              std::vector<std::string>{call(909, {5, 2, 100 + (1 << 24) + (1 << 28)})});
}

TEST_F(MoreFurther, PropertyListItemJoinsNameAndValue) {
    start();
    std::vector<std::string> texts;
    Handler a(5011, [&](int, const int(&p)[6], int& o1, int&, char* text, int len) {
        texts.push_back(text_of(text, len));
        EXPECT_EQ(p[3], 4);
        o1 = 77;
    });
    Handler b(5027, [&](int, const int(&p)[6], int&, int&, char* text, int len) {
        EXPECT_EQ(p[1], 77);
        texts.push_back(text_of(text, len));
    });
    GMADDPROPERTYTOLIST(5, 1, "Wavelength  ", "0.71073", 4, "extra");
    GMADDPROPERTYTOLIST(5, 2, "Title", {}, 4);
    EXPECT_EQ(texts, (std::vector<std::string>{"Wavelength|0.71073", "extra", "Title|"}));
}

TEST_F(MoreFurther, ForwardersPassTheirArgumentsInTheBodysOrder) {
    start();
    const int text = make(wl::KIND_TEXT), value = make(wl::KIND_VALUE);
    const int values[] = {3}, widgets[] = {value};
    gmDefineWidgetLinks(text, 1, values, widgets);
    ASSERT_EQ(wl::extra(text).links.size(), 1u);
    EXPECT_EQ(wl::extra(text).links[0], (std::pair<int, int>{3, value}));

    EXPECT_EQ(only(trace([] { gmGetResourceImageData(14, 101, 2, 2, 5); }), "RESOURCEIMAGEDATA"),
              std::vector<std::string>{"RESOURCEIMAGEDATA(2, 101, 5)"});
    EXPECT_EQ(only(trace([] { gmAddTableBoxColumn(6, 3, 12, {}, {}, 9); }), "ESCAPEROUTINE(207"),
              std::vector<std::string>{call(207, {6, 2, 9})});
    int status = -1;
    EXPECT_EQ(only(trace([&] { gmPrintTextWidget(text, 1, 2, 3, &status); }), "ESCAPEROUTINE"),
              std::vector<std::string>{call(67, {})});
    EXPECT_EQ(status, 1);  // nothing is printed: the request reports failure
    EXPECT_TRUE(only(trace([&] { gmPrintTextWidget_2(text, 1, 2, 3); }), "ESCAPEROUTINE").empty());

    // The deprecated background definitions report and do nothing else.
    wl::model().console.clear();
    GMDEFINEIMAGEBACKGROUND(text, "b.bmp", 1);
    GMDEFINEICONBACKGROUND(text, "b.ico", 1, 2);
    EXPECT_EQ(errors(), (std::vector<std::string>{err(55), err(55)}));
}
