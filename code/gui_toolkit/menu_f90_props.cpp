// The widget module's procedures that change or read many settings of one widget in one call:
// gmSetWidgetProp and gmEnqWidgetProp move each present argument through one property request
// (PRPSET, PRPENQ); gmSetWidgetInfo and gmEnqWidgetInfo exchange a whole widget description
// through the integer and real request lists of WIDCHA and WIDINF.
#include <cmath>
#include <cstring>
#include <map>

#include "gui_toolkit/f77gui.h"
#include "gui_toolkit/f77gui_widgets.h"
#include "gui_toolkit/menu_f90.h"
#include "gui_toolkit/menu_f90_rules.h"

namespace {

using K = PropKind;

// Ranges of arguments with consecutive positions and codes: setter positions first..last,
// enquiry position of the first, code of the first (step 0: every argument the same code).
struct Range {
    int set_first, set_last, enq_first, code_first;
    K kind;
    int step = 1;
};
constexpr Range kRanges[] = {
    {2, 13, 2, 1, K::Integer},      {14, 14, 14, 13, K::Integer},   {15, 16, 15, 14, K::Integer},
    {17, 17, 17, 16, K::Integer},   {18, 22, 18, 17, K::Integer},   {37, 37, 37, 37, K::Integer},
    {23, 31, 23, 23, K::Integer},   {32, 32, 32, 31, K::Integer},   {33, 33, 33, 32, K::Integer},
    {34, 36, 34, 34, K::Integer},   {38, 40, 38, 38, K::Integer},   {41, 41, 41, 40, K::Integer},
    {42, 53, 42, 41, K::Integer},   {54, 54, 54, 53, K::Text},      {55, 55, 55, 54, K::Integer},
    {56, 56, 56, 55, K::Text},      {57, 58, 58, 98, K::Integer, 0}, {59, 59, 57, 56, K::Integer},
    {60, 66, 60, 57, K::Integer},   {67, 67, 67, 64, K::Text},      {68, 68, 68, 65, K::Integer},
    {69, 69, 69, 66, K::Text},      {70, 76, 70, 67, K::Integer},   {77, 79, 77, 74, K::Text},
    {80, 80, 80, 77, K::Integer},   {81, 81, 81, 78, K::Integer},   {82, 84, 82, 79, K::Integer},
    {85, 85, 85, 82, K::Text},      {86, 89, 86, 83, K::Integer},   {90, 91, 90, 87, K::Text},
    {92, 95, 92, 89, K::Integer},   {96, 96, 96, 93, K::Integer},   {97, 97, 98, 92, K::Integer},
    {98, 102, 99, 101, K::Double},  {103, 103, 104, 109, K::Double}, {104, 105, 105, 107, K::Double},
    {106, 106, 107, 44, K::Integer}, {107, 107, 108, 43, K::Integer}, {108, 110, 109, 95, K::Integer},
    {111, 111, 112, 99, K::Integer}, {112, 112, 113, 110, K::Integer}, {113, 114, 114, 111, K::Integer, 0},
    {115, 115, 116, 100, K::Integer}, {116, 116, 117, 42, K::Integer}, {117, 117, 118, 112, K::Integer},
    {118, 124, 124, 118, K::Integer}, {125, 129, 131, 118, K::Integer}, {130, 130, 136, 124, K::Integer},
    {131, 138, 137, 125, K::Integer}, {139, 143, 146, 134, K::Integer},
};

// Setter positions in the order of the requests; 0 marks where the read-only properties of
// the enquiry are read (in the order of kReadOnly).
constexpr int kReadOnlyMark = 0;
std::vector<int> request_order() {
    std::vector<int> o;
    auto span = [&](int a, int b) {
        for (int k = a; k <= b; ++k) o.push_back(k);
    };
    span(2, 22);
    o.push_back(37);
    span(23, 36);
    span(38, 43);
    for (int k : {116, 44, 107, 45, 106}) o.push_back(k);
    span(46, 56);
    span(59, 95);
    o.push_back(97);
    o.push_back(96);
    o.push_back(kReadOnlyMark);  // property 94
    span(108, 110);
    for (int k : {57, 58, 111, 115}) o.push_back(k);
    span(98, 105);
    span(112, 114);
    o.push_back(117);
    for (int k = 0; k < 5; ++k) o.push_back(kReadOnlyMark);  // properties 113-117
    for (int k = 0; k < 5; ++k) {
        o.push_back(118 + k);
        o.push_back(125 + k);
    }
    o.push_back(123);
    o.push_back(124);
    o.push_back(130);
    span(131, 138);
    o.push_back(kReadOnlyMark);  // property 133
    span(139, 143);
    return o;
}

// Read-only properties of the enquiry: position and code.
constexpr WidgetPropArg kReadOnly[] = {
    {0, 97, 94, K::Text},     {0, 119, 113, K::Integer}, {0, 120, 114, K::Integer},
    {0, 121, 115, K::Integer}, {0, 122, 116, K::Integer}, {0, 123, 117, K::Integer},
    {0, 145, 133, K::Integer},
};

std::vector<WidgetPropArg> build_table() {
    std::map<int, WidgetPropArg> by_set;
    for (const Range& r : kRanges)
        for (int p = r.set_first; p <= r.set_last; ++p) {
            const int n = p - r.set_first;
            by_set[p] = {p, r.enq_first + n, r.code_first + r.step * n, r.kind};
        }
    std::vector<WidgetPropArg> t;
    std::size_t ro = 0;
    for (int p : request_order()) t.push_back(p == kReadOnlyMark ? kReadOnly[ro++] : by_set.at(p));
    return t;
}

constexpr mf::Recoding kProp13Sent[] = {{0, 1}, {-1, 0}, {8, 2}, {4, 3}};
constexpr mf::Recoding kProp13Read[] = {{0, -1}, {1, 0}, {2, 8}, {3, 4}};
constexpr mf::Recoding kProp78Sent[] = {{32763, 1}, {32764, 2}};
constexpr mf::Recoding kProp78Read[] = {{1, 32763}, {2, 32764}};

// Marks an enquiry the toolkit left unanswered.
constexpr int kUnanswered = -2147483647 - 1;

// Property 15 of the widget (its kind), as PRPENQ reads it.
int kind_of(int widget) {
    int kind = 0;
    double scratch = 0.0;
    char text[1] = {' '};
    PRPENQ(widget, 15, kind, scratch, text, 1);
    return kind;
}

// The code an argument reaches: 37 and 109 become 22 and 106 on a widget of kind 9.
int code_for(int widget, const WidgetPropArg& a) {
    if (a.code != 37 && a.code != 109) return a.code;
    if (kind_of(widget) != 9) return a.code;
    return a.code == 37 ? 22 : 106;
}

}  // namespace

const std::vector<WidgetPropArg> kWidgetPropArgs = build_table();

int widget_prop_sent(int code, int value) {
    if (code == 13) return mf::recode(kProp13Sent, value);
    if (code == 16) return mf::negated(value);
    if (code == 78) return mf::recode(kProp78Sent, value);
    return value;
}

int widget_prop_read(int code, int value) {
    if (code == 13) return mf::recode(kProp13Read, value);
    if (code == 16) return mf::negated(value);
    if (code == 78) return mf::recode(kProp78Read, value);
    return value;
}

void gmSetWidgetProp(int widget, const WidgetPropValues& args) {
    for (const WidgetPropArg& a : kWidgetPropArgs) {
        if (a.set_pos == 0) continue;
        const auto p = std::size_t(a.set_pos);
        switch (a.kind) {
            case K::Integer:
                if (args.i[p]) PRPSET(widget, code_for(widget, a), widget_prop_sent(a.code, *args.i[p]), 0.0, " ");
                break;
            case K::Double:
                if (args.d[p]) PRPSET(widget, code_for(widget, a), 0, *args.d[p], " ");
                break;
            case K::Text:
                if (args.t[p]) PRPSET(widget, code_for(widget, a), 0, 0.0, *args.t[p]);
                break;
        }
    }
}

void gmSetWidgetProp_2(int widget, const WidgetPropValues& args) {
    WidgetPropValues moved = args;
    moved.i[59] = args.i[57];
    moved.i[57] = args.i[58];
    moved.i[58] = args.i[59];
    gmSetWidgetProp(widget, moved);
}

void gmEnqWidgetProp(int widget, const WidgetPropResults& args) {
    for (const WidgetPropArg& a : kWidgetPropArgs) {
        const auto p = std::size_t(a.enq_pos);
        double scratch_d = 0.0;
        int scratch_i = 0;
        char scratch_t[1] = {' '};
        switch (a.kind) {
            case K::Integer:
                if (int* out = args.i[p]) {
                    // A refused property leaves the value. It goes in coded as it would be
                    // sent; a value that the decoding would not give back (1 of property 13,
                    // say) is kept when the toolkit writes nothing.
                    const int in = widget_prop_sent(a.code, *out);
                    int v = in;
                    const bool round_trips = widget_prop_read(a.code, in) == *out;
                    if (!round_trips) v = kUnanswered;
                    PRPENQ(widget, code_for(widget, a), v, scratch_d, scratch_t, 1);
                    if (round_trips || v != kUnanswered) *out = widget_prop_read(a.code, v);
                }
                break;
            case K::Double:
                if (double* out = args.d[p]) PRPENQ(widget, code_for(widget, a), scratch_i, *out, scratch_t, 1);
                break;
            case K::Text:
                if (char* out = args.t[p]) PRPENQ(widget, code_for(widget, a), scratch_i, scratch_d, out, args.t_len[p]);
                break;
        }
    }
}

// ---- widget descriptions ----

namespace {
int saturate(long long v) {
    if (v > 2147483647LL) return 2147483647;
    if (v < -2147483648LL) return -2147483647 - 1;
    return int(v);
}
}  // namespace

void widget_info_to_lists(const WidgetDescription& d, std::array<int, 43>& I, std::array<float, 6>& R) {
    I.fill(0);
    R.fill(0.0f);
    auto f = [&](int k) { return d.i.at(std::size_t(k - 1)); };
    auto r = [&](int k) { return d.r.at(std::size_t(k - 1)); };
    auto set = [&](int n, int v) { I.at(std::size_t(n - 1)) = v; };
    auto setr = [&](int n, float v) { R.at(std::size_t(n - 1)) = v; };
    for (int k = 0; k < 4; ++k) set(1 + k, f(6 + k));
    set(5, saturate(3LL * ((long long)f(5) + 1) + ((long long)f(4) + 1)));
    set(6, f(10));
    set(13, f(3));
    set(17, f(39));
    set(18, f(38));
    set(19, f(37));
    set(20, f(14));
    set(21, f(16));
    set(28, f(15));
    set(29, f(11));
    set(39, f(36));
    switch (f(1)) {
        case 1:
        case 2:
            set(43, f(13));
            break;
        case 6:
        case 40:
            setr(1, r(40));
            setr(2, r(42));
            setr(4, std::fabs(r(41) - r(40)));
            setr(5, std::fabs(r(43) - r(42)));
            break;
        case 7:
        case 8:
            set(26, f(27));
            set(25, f(28));
            set(27, f(29));
            break;
        case 9:
            for (int k = 0; k < 3; ++k) set(22 + k, f(27 + k));
            setr(1, r(23));
            setr(2, r(24));
            setr(3, r(25));
            setr(6, r(22));
            break;
        case 10:
            for (int k = 0; k < 3; ++k) set(25 + k, f(27 + k));
            set(30, f(18));
            set(33, f(17));
            set(40, f(19));
            break;
        case 11:
            for (int k = 0; k < 3; ++k) set(25 + k, f(27 + k));
            set(30, f(18));
            set(31, f(17));
            set(32, f(20));
            set(40, f(19));
            setr(1, r(23));
            setr(2, r(24));
            setr(6, r(22));
            break;
        case 13:
            for (int k = 0; k < 4; ++k) set(22 + k, f(27 + k));
            set(38, f(26));
            break;
        case 15:
            set(16, f(12));
            for (int k = 0; k < 4; ++k) set(22 + k, f(27 + k));
            break;
        case 18:
            set(41, f(31));
            break;
        case 19:
            set(41, f(31));
            set(42, f(32));
            break;
        case 23:
        case 24:
            set(7, f(33));
            set(8, f(34));
            break;
        default:
            break;
    }
}

void widget_info_from_lists(const std::array<int, 43>& I, const std::array<float, 6>& R, WidgetDescription& d) {
    auto g = [&](int n) { return I.at(std::size_t(n - 1)); };
    auto gr = [&](int n) { return R.at(std::size_t(n - 1)); };
    auto f = [&](int k) -> int& { return d.i.at(std::size_t(k - 1)); };
    auto r = [&](int k) -> float& { return d.r.at(std::size_t(k - 1)); };
    f(1) = g(15);
    f(2) = g(14);
    f(3) = g(13);
    f(4) = g(5) % 3 - 1;
    f(5) = g(5) / 3 - 1;
    for (int k = 0; k < 4; ++k) f(6 + k) = g(1 + k);
    f(10) = g(6);
    f(11) = g(29);
    f(12) = g(16);
    f(14) = g(20);
    f(15) = g(28);
    f(16) = g(21);
    f(35) = g(37);
    f(36) = g(39);
    f(37) = g(19);
    f(38) = g(18);
    f(39) = g(17);
    switch (g(15)) {
        case 1:
        case 2:
            f(13) = g(43);
            break;
        case 6:
        case 40:
            r(40) = gr(1);
            r(41) = gr(1) + gr(4);
            r(42) = gr(2);
            r(43) = gr(2) + gr(5);
            break;
        case 7:
        case 8:
            f(27) = g(26);
            f(28) = g(25);
            f(29) = g(27);
            break;
        case 9:
            for (int k = 0; k < 3; ++k) f(27 + k) = g(22 + k);
            r(22) = gr(6);
            for (int k = 0; k < 3; ++k) r(23 + k) = gr(1 + k);
            break;
        case 10:
            for (int k = 0; k < 3; ++k) f(27 + k) = g(25 + k);
            f(17) = g(33);
            f(18) = g(30);
            f(19) = g(40);
            f(21) = g(34);
            break;
        case 11:
            for (int k = 0; k < 3; ++k) f(27 + k) = g(25 + k);
            f(17) = g(31);
            f(18) = g(30);
            f(19) = g(40);
            f(20) = g(32);
            f(21) = g(34);
            r(22) = gr(6);
            r(23) = gr(1);
            r(24) = gr(2);
            break;
        case 13:
            for (int k = 0; k < 4; ++k) f(27 + k) = g(22 + k);
            f(26) = g(38);
            break;
        case 14:
            f(20) = g(36);
            break;
        case 15:
            for (int k = 0; k < 4; ++k) f(27 + k) = g(22 + k);
            break;
        case 18:
            // The setter sends this field as I41; it is read back from the same place.
            f(31) = g(41);
            break;
        case 19:
            f(31) = g(41);
            f(32) = g(42);
            break;
        case 23:
        case 24:
            f(33) = g(7);
            f(34) = g(8);
            break;
        default:
            break;
    }
}

namespace {
// The module's request lists and text, overwritten by every call.
std::array<int, 43> request_i;
std::array<float, 6> request_r;
std::array<int, 6> request_r_bits;
rt::FText<32768> request_text;
}  // namespace

void gmSetWidgetInfo(int widget, const WidgetDescription& description) {
    widget_info_to_lists(description, request_i, request_r);
    request_text = description.text;
    // The real list travels as the bit patterns of its 32-bit reals.
    std::memcpy(request_r_bits.data(), request_r.data(), sizeof request_r);
    WIDCHA(widget, std::string_view(request_text.c, 32768), request_i.data(), 43, request_r_bits.data(), 6);
}

void gmEnqWidgetInfo(int widget, WidgetDescription& description) {
    request_i.fill(0);
    request_r_bits.fill(0);
    request_text.blank();
    int n1 = 43, n2 = 6;
    WIDINF(widget, request_text.c, 32768, request_i.data(), n1, request_r_bits.data(), n2);
    std::memcpy(request_r.data(), request_r_bits.data(), sizeof request_r);
    description.text = request_text;
    widget_info_from_lists(request_i, request_r, description);
}
