// Widget properties in one call (argument positions, property codes, recodings, the order of
// the requests) and the widget-description record's exchange through the request lists.
#include <set>
#include <sstream>

#include "widget_fixture.h"

using MoreProps = WidgetTest;

namespace {

// (code, integer part) of every property sent, in order.
std::vector<std::pair<int, int>> sent(const std::vector<std::string>& t) {
    std::vector<std::pair<int, int>> out;
    for (const auto& s : t) {
        if (s.rfind("SETWIDGETPROP(", 0) != 0) continue;
        std::istringstream in(s.substr(14));
        int widget = 0, code = 0, value = 0;
        char comma = 0;
        in >> widget >> comma >> code >> comma >> value;
        out.push_back({code, value});
    }
    return out;
}

}  // namespace

TEST_F(MoreProps, EveryPositionHasOneRowAndPropertyThirtyThreeNone) {
    std::set<int> set_positions, enq_positions;
    for (const auto& a : kWidgetPropArgs) {
        if (a.set_pos) {
            EXPECT_TRUE(set_positions.insert(a.set_pos).second) << a.set_pos;
        }
        EXPECT_TRUE(enq_positions.insert(a.enq_pos).second) << a.enq_pos;
        EXPECT_NE(a.code, 33);
        EXPECT_GE(a.code, 1);
        EXPECT_LE(a.code, 138);
    }
    EXPECT_EQ(set_positions.size(), 142u);
    EXPECT_EQ(*set_positions.begin(), 2);
    EXPECT_EQ(*set_positions.rbegin(), kWidgetPropLastSetArg);
    EXPECT_EQ(enq_positions.size(), 149u);
    EXPECT_EQ(*enq_positions.rbegin(), kWidgetPropLastEnqArg);
}

TEST_F(MoreProps, SpecialPropertiesAreRecodedBothWays) {
    const std::vector<std::tuple<int, int, int>> cases = {
        // code, caller's value, value sent
        {13, 0, 1}, {13, -1, 0}, {13, 8, 2}, {13, 4, 3}, {13, 5, 5},
        {16, 5, -5}, {16, -2147483647 - 1, 2147483647},
        {78, 32763, 1}, {78, 32764, 2}, {78, 7, 7}, {12, 8, 8},
    };
    for (const auto& [code, value, wire] : cases) EXPECT_EQ(widget_prop_sent(code, value), wire) << code << " " << value;
    EXPECT_EQ(widget_prop_read(13, 0), -1);
    EXPECT_EQ(widget_prop_read(13, 1), 0);
    EXPECT_EQ(widget_prop_read(13, 2), 8);
    EXPECT_EQ(widget_prop_read(13, 3), 4);
    EXPECT_EQ(widget_prop_read(16, -5), 5);
    EXPECT_EQ(widget_prop_read(78, 1), 32763);
    EXPECT_EQ(widget_prop_read(78, 2), 32764);
}

TEST_F(MoreProps, SetterSendsEachPresentArgumentToItsCode) {
    start();
    // Argument 37 reaches property 22 only on a widget of kind 9, which a push button is not.
    const int kind9 = make(9), bar = make(wl::KIND_MENUBAR), button = make(wl::KIND_BUTTON);
    WidgetPropValues v;
    v.i[14] = -1;
    v.i[17] = 5;
    v.i[37] = 11;
    EXPECT_EQ(sent(trace([&] { gmSetWidgetProp(kind9, v); })),
              (std::vector<std::pair<int, int>>{{13, 0}, {16, -5}, {22, 11}}));
    for (int other : {bar, button})
        EXPECT_EQ(sent(trace([&] { gmSetWidgetProp(other, v); })),
                  (std::vector<std::pair<int, int>>{{13, 0}, {16, -5}, {37, 11}}));

    // Two arguments of one property, and the arguments sent out of their own order.
    WidgetPropValues w;
    w.i[31] = 1;
    w.i[32] = 2;
    w.i[43] = 3;
    w.i[116] = 4;
    w.i[44] = 5;
    w.i[57] = 6;
    w.i[58] = 7;
    w.i[110] = 8;
    w.i[111] = 9;
    w.i[125] = 10;
    w.i[118] = 11;
    w.i[119] = 12;
    EXPECT_EQ(sent(trace([&] { gmSetWidgetProp(bar, w); })),
              (std::vector<std::pair<int, int>>{{31, 1}, {31, 2}, {42, 3}, {42, 4}, {43, 5}, {97, 8}, {98, 6},
                                                {98, 7}, {99, 9}, {118, 11}, {118, 10}, {119, 12}}));

    // The second entry: argument 57 is property 56, 58 and 59 property 98.
    WidgetPropValues x;
    x.i[57] = 1;
    x.i[58] = 2;
    x.i[59] = 3;
    EXPECT_EQ(sent(trace([&] { gmSetWidgetProp_2(bar, x); })),
              (std::vector<std::pair<int, int>>{{56, 1}, {98, 2}, {98, 3}}));
}

TEST_F(MoreProps, DoubleAndTextPropertiesCarryTheirOwnParts) {
    start();
    const int bar = make(wl::KIND_MENUBAR), kind9 = make(9), button = make(wl::KIND_BUTTON);
    WidgetPropValues v;
    v.d[103] = 2.5;
    v.t[54] = "caption";
    gmSetWidgetProp(bar, v);
    gmSetWidgetProp(kind9, v);
    gmSetWidgetProp(button, v);
    EXPECT_EQ(wl::extra(bar).prop_double[109], 2.5);
    EXPECT_EQ(wl::extra(kind9).prop_double[106], 2.5);
    EXPECT_EQ(wl::extra(button).prop_double[109], 2.5);
    EXPECT_EQ(wl::extra(button).prop_double.count(106), 0u);
    EXPECT_EQ(wl::extra(bar).prop_text[53], "caption");

    // The enquiry reads them back from the same places, and the read-only text property 94.
    SETWIDGETPROP(bar, 94, 0, 0.0, "selected", 8);
    double d = 0;
    char t53[10], t94[10];
    WidgetPropResults r;
    r.d[104] = &d;
    r.t[54] = t53;
    r.t_len[54] = 10;
    r.t[97] = t94;
    r.t_len[97] = 10;
    gmEnqWidgetProp(bar, r);
    EXPECT_EQ(d, 2.5);
    EXPECT_EQ(std::string(t53, 10), "caption   ");
    EXPECT_EQ(std::string(t94, 10), "selected  ");
}

TEST_F(MoreProps, EnquiryDecodesAndARefusedPropertyKeepsItsValue) {
    start();
    const int bar = make(wl::KIND_MENUBAR);
    SETWIDGETPROP(bar, 13, 0, 0.0, " ", 1);
    SETWIDGETPROP(bar, 16, -5, 0.0, " ", 1);
    SETWIDGETPROP(bar, 78, 2, 0.0, " ", 1);
    int p13 = 99, p16 = 99, p78 = 99;
    WidgetPropResults r;
    r.i[14] = &p13;
    r.i[17] = &p16;
    r.i[81] = &p78;
    gmEnqWidgetProp(bar, r);
    EXPECT_EQ(p13, -1);
    EXPECT_EQ(p16, 5);
    EXPECT_EQ(p78, 32764);

    // A widget the toolkit does not know: error, values as they were (recoded ones too).
    p13 = 8;
    p16 = 5;
    gmEnqWidgetProp(-3, r);
    EXPECT_EQ(p13, 8);
    EXPECT_EQ(p16, 5);
    EXPECT_EQ(errors(), std::vector<std::string>(3, err(26)));
}

TEST_F(MoreProps, DescriptionPositionCodesRoundTrip) {
    for (int h = -1; h <= 1; ++h)
        for (int v = -1; v <= 1; ++v) {
            WidgetDescription d;
            d.field(4) = h;
            d.field(5) = v;
            std::array<int, 43> I{};
            std::array<float, 6> R{};
            widget_info_to_lists(d, I, R);
            if (h == -1 && v == 1) {
                EXPECT_EQ(I[4], 6);
            }
            WidgetDescription back;
            widget_info_from_lists(I, R, back);
            EXPECT_EQ(back.field(4), h);
            EXPECT_EQ(back.field(5), v);
        }
}

TEST_F(MoreProps, GraphicsFrameExtentsGoAsOriginAndSize) {
    for (auto [x1, x2, y1, y2] : {std::array<float, 4>{0, 300, 0, 200}, std::array<float, 4>{300, 0, 200, 0}}) {
        WidgetDescription d;
        d.field(1) = 6;
        d.real(40) = x1;
        d.real(41) = x2;
        d.real(42) = y1;
        d.real(43) = y2;
        std::array<int, 43> I{};
        std::array<float, 6> R{};
        widget_info_to_lists(d, I, R);
        EXPECT_EQ(R[0], x1);
        EXPECT_EQ(R[1], y1);
        EXPECT_EQ(R[3], 300.0f);
        EXPECT_EQ(R[4], 200.0f);
        EXPECT_EQ(R[2], 0.0f);
        EXPECT_EQ(R[5], 0.0f);
    }
}

TEST_F(MoreProps, KindsChooseTheFieldsSentAndRead) {
    WidgetDescription d;
    for (int k = 2; k <= 39; ++k) d.field(k) = 100 + k;
    std::array<int, 43> I{};
    std::array<float, 6> R{};
    // A menu bar (kind 3): only the fields of every kind.
    d.field(1) = 3;
    widget_info_to_lists(d, I, R);
    std::array<int, 43> common{};
    const std::vector<std::pair<int, int>> every = {{1, 6},   {2, 7},   {3, 8},   {4, 9},   {6, 10},  {13, 3},
                                                    {17, 39}, {18, 38}, {19, 37}, {20, 14}, {21, 16}, {28, 15},
                                                    {29, 11}, {39, 36}};
    for (auto [n, f] : every) common[std::size_t(n - 1)] = 100 + f;
    common[4] = 3 * (105 + 1) + (104 + 1);
    EXPECT_EQ(I, common);

    // A value entry (kind 11) adds its own.
    d.field(1) = 11;
    widget_info_to_lists(d, I, R);
    EXPECT_EQ(I[24], 127);  // I25 = field 27
    EXPECT_EQ(I[30], 117);  // I31 = field 17
    EXPECT_EQ(I[31], 120);  // I32 = field 20

    // Read back: fields not written keep the caller's values.
    std::array<int, 43> J{};
    J[14] = 23;  // I15: kind 23
    J[6] = 7;
    J[7] = 8;
    WidgetDescription back;
    back.field(20) = -4;
    widget_info_from_lists(J, R, back);
    EXPECT_EQ(back.field(1), 23);
    EXPECT_EQ(back.field(33), 7);
    EXPECT_EQ(back.field(34), 8);
    EXPECT_EQ(back.field(20), -4);
}

TEST_F(MoreProps, DescriptionTextReachesTheWidget) {
    start();
    const int button = make(wl::KIND_BUTTON);
    WidgetDescription d;
    d.field(1) = wl::KIND_BUTTON;
    d.text = "Fit";
    gmSetWidgetInfo(button, d);
    EXPECT_EQ(w(button).caption.substr(0, 3), "Fit");
    WidgetDescription back;
    gmEnqWidgetInfo(button, back);
    EXPECT_EQ(back.text.trimmed(), "Fit");
}

TEST_F(MoreProps, DescriptionReportsKindPlaceSizeStateAndFrameBox) {
    start();
    const int button = gmCreatePushButton(1, 3, 2, 4, 1, "Go", {.xjust = -1, .yjust = 1});
    gmSetWidgetStatus(button, STATUS_GREYED);
    const int frame = gmCreateGraphicsFrame(1, 1, 4, 18, 12, {50.0f, 350.0f, 0.0f, 200.0f});
    WidgetDescription d;
    gmEnqWidgetInfo(button, d);
    EXPECT_EQ(d.field(1), 7);
    EXPECT_EQ(d.field(2), button);
    EXPECT_EQ(d.field(3), 1);  // the parent
    EXPECT_EQ(std::make_pair(d.field(4), d.field(5)), std::make_pair(-1, 1));
    EXPECT_EQ((std::array{d.field(6), d.field(7), d.field(8), d.field(9)}), (std::array{3, 2, 4, 1}));
    EXPECT_EQ(d.field(11), STATUS_GREYED);
    EXPECT_EQ(d.text.trimmed(), "Go");

    WidgetDescription f;
    gmEnqWidgetInfo(frame, f);
    EXPECT_EQ(f.field(1), wl::KIND_FRAME);
    EXPECT_EQ((std::array{f.field(6), f.field(7), f.field(8), f.field(9)}), (std::array{1, 4, 18, 12}));
    EXPECT_EQ((std::array{f.real(40), f.real(41), f.real(42), f.real(43)}), (std::array{50.0f, 350.0f, 0.0f, 200.0f}));
}

// Recoded widget properties read back through gmEnqWidgetProp: a value the toolkit does not
// answer stays as it was, whatever it is; an answered one is decoded.
TEST_F(MoreProps, RecodedEnquiryKeepsEveryValueWhenRefusedAndDecodesAnswers) {
    start();
    const int bar = make(wl::KIND_MENUBAR);
    // (enquiry position, property code, value held before, library answer, value read)
    struct Case {
        int pos, code, before, answer, read;
    };
    const Case cases[] = {
        {14, 13, 1, 1, 0},  {14, 13, 2, 2, 8},         {14, 13, 3, 0, -1}, {14, 13, -1, 3, 4},
        {81, 78, 1, 1, 32763}, {81, 78, 2, 7, 7}, {81, 78, 32764, 2, 32764}, {17, 16, 4, 9, -9},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "code " << c.code << " before " << c.before);
        int value = c.before;
        WidgetPropResults r;
        r.i[std::size_t(c.pos)] = &value;
        gmEnqWidgetProp(-3, r);  // refused: error 26, nothing written
        EXPECT_EQ(value, c.before);
        SETWIDGETPROP(bar, c.code, c.answer, 0.0, " ", 1);
        gmEnqWidgetProp(bar, r);
        EXPECT_EQ(value, c.read);
    }
}
