// Edit-descriptor record I/O, written as in the file layouts:
//   ('R' I6 3I4 5F10.4 I4 2F10.5 I4 A1)      ('S' 10I8)      (3I3, 2F8.4, 1X, F11.3)
// Descriptors: Iw, Fw.d, Ew.d, Aw and A, nX, Tn, TLn, TRn, '/', quoted literals ('..' or ".."),
// repeat counts on descriptors and on parenthesised groups; commas or blanks separate items.
// Widths and decimals chosen at run time are written into the format text by the caller.
// Output: right-aligned; a value that does not fit its field (NaN and infinities too) fills it
// with asterisks; negative values that round to zero, and negative zero, keep their sign
// ("-0.0000"). NUL characters of a text that was never set go out as blanks.
// Input: fixed columns, blanks ignored, an all-blank field is 0, implied decimals.
// When the items run out, output stops at the next data descriptor; when a format is exhausted
// with items left, it restarts (Fortran format reversion) on a new record.
//
// List-directed input: values separated by blanks, commas or tabs; '/' ends the list; ',,' is a
// null value; r*c repeats. Running out of values leaves the remaining items unchanged.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "runtime/farray.h"
#include "runtime/ftext.h"
#include "runtime/units.h"

namespace rt {

// One item of a transfer list: a run of n elements of one kind (n = 1 for a scalar).
struct IoItem {
    enum Kind { INT, REAL, DOUBLE, TEXT };
    Kind kind;
    void* p;      // first element (for TEXT: first character)
    int n = 1;    // number of elements
    int len = 0;  // TEXT: length of one element
};

// Output items: values are copied, so expressions may be written directly.
struct OutItem {
    IoItem::Kind kind = IoItem::INT;
    int i = 0;
    float f = 0.0f;
    double d = 0.0;
    std::string_view s;           // TEXT
    const void* arr = nullptr;    // a run of n elements (arrays), nullptr for a scalar
    int n = 1;
    int len = 0;
};

// ---- Building item lists ------------------------------------------------------------------
inline IoItem in_item(int& x) { return {IoItem::INT, &x, 1, 0}; }
inline IoItem in_item(float& x) { return {IoItem::REAL, &x, 1, 0}; }
inline IoItem in_item(double& x) { return {IoItem::DOUBLE, &x, 1, 0}; }
inline IoItem in_item(std::string& x) = delete;  // texts are fixed-length: use FText
template <int N> IoItem in_item(FText<N>& t) { return {IoItem::TEXT, t.c, 1, N}; }
template <int N, int L> IoItem in_item(FArray<int, N, L>& a) { return {IoItem::INT, a.data(), N, 0}; }
template <int N, int L> IoItem in_item(FArray<float, N, L>& a) { return {IoItem::REAL, a.data(), N, 0}; }
template <int N, int L> IoItem in_item(FArray<double, N, L>& a) { return {IoItem::DOUBLE, a.data(), N, 0}; }
template <int M, int N, int L> IoItem in_item(FArray<FText<M>, N, L>& a) { return {IoItem::TEXT, a.data(), N, M}; }
template <int R, int C> IoItem in_item(FArray2<int, R, C>& a) { return {IoItem::INT, a.data(), R * C, 0}; }
template <int R, int C> IoItem in_item(FArray2<float, R, C>& a) { return {IoItem::REAL, a.data(), R * C, 0}; }
template <int R, int C> IoItem in_item(FArray2<double, R, C>& a) { return {IoItem::DOUBLE, a.data(), R * C, 0}; }
inline IoItem in_item(IoItem it) { return it; }

// Elements lo..hi of a 1-based array, as Fortran's A(lo:hi) in a transfer list.
template <class T, int N, int L>
IoItem in_slice(FArray<T, N, L>& a, int lo, int hi) {
    if (hi < lo) return {IoItem::INT, a.data(), 0, 0};
    (void)a(lo); (void)a(hi);  // bounds check
    IoItem it = in_item(a);
    it.p = &a(lo);
    it.n = hi - lo + 1;
    return it;
}

inline OutItem out_item(int x) { OutItem o; o.kind = IoItem::INT; o.i = x; return o; }
inline OutItem out_item(long x) = delete;  // say which width you mean
inline OutItem out_item(char c) = delete;  // a character is a text: pass an FText<1> or a string
inline OutItem out_item(bool b) = delete;
inline OutItem out_item(float x) { OutItem o; o.kind = IoItem::REAL; o.f = x; return o; }
inline OutItem out_item(double x) { OutItem o; o.kind = IoItem::DOUBLE; o.d = x; return o; }
inline OutItem out_item(std::string_view s) { OutItem o; o.kind = IoItem::TEXT; o.s = s; o.len = int(s.size()); return o; }
inline OutItem out_item(const char* s) { return out_item(std::string_view(s)); }
inline OutItem out_item(const std::string& s) { return out_item(std::string_view(s)); }
template <int N> OutItem out_item(const FText<N>& t) { return out_item(t.view()); }
template <int N, int L> OutItem out_item(const FArray<int, N, L>& a) { OutItem o; o.kind = IoItem::INT; o.arr = a.data(); o.n = N; return o; }
template <int N, int L> OutItem out_item(const FArray<float, N, L>& a) { OutItem o; o.kind = IoItem::REAL; o.arr = a.data(); o.n = N; return o; }
template <int N, int L> OutItem out_item(const FArray<double, N, L>& a) { OutItem o; o.kind = IoItem::DOUBLE; o.arr = a.data(); o.n = N; return o; }
template <int R, int C> OutItem out_item(const FArray2<int, R, C>& a) { OutItem o; o.kind = IoItem::INT; o.arr = a.data(); o.n = R * C; return o; }
template <int R, int C> OutItem out_item(const FArray2<float, R, C>& a) { OutItem o; o.kind = IoItem::REAL; o.arr = a.data(); o.n = R * C; return o; }
template <int R, int C> OutItem out_item(const FArray2<double, R, C>& a) { OutItem o; o.kind = IoItem::DOUBLE; o.arr = a.data(); o.n = R * C; return o; }
template <int M, int N, int L> OutItem out_item(const FArray<FText<M>, N, L>& a) { OutItem o; o.kind = IoItem::TEXT; o.arr = a.data(); o.n = N; o.len = M; return o; }
inline OutItem out_item(const OutItem& o) { return o; }

template <class T, int N, int L>
OutItem out_slice(const FArray<T, N, L>& a, int lo, int hi) {
    OutItem o = out_item(a);
    if (hi < lo) { o.n = 0; return o; }
    (void)a(lo); (void)a(hi);
    o.arr = &a(lo);
    o.n = hi - lo + 1;
    return o;
}

// ---- Core entries (item vectors) ------------------------------------------------------------
// Formats fmt with the items into records; returns IOS_OK or IOS_BAD_FORMAT.
int format_records(std::string_view fmt, const std::vector<OutItem>& items, std::vector<std::string>& records);
// Reads the items from records under fmt; next_record supplies each further record that '/' or
// format reversion asks for (it returns IOS_OK or IOS_END). Returns IOS_OK, IOS_END, IOS_BAD_VALUE
// or IOS_BAD_FORMAT.
int read_records(std::string_view fmt, const std::string& first, const std::vector<IoItem>& items,
                 int (*next_record)(void* ctx, std::string& rec), void* ctx);
// List-directed read from a text; IOS_OK (all items or '/'), IOS_END (ran out), IOS_BAD_VALUE.
int list_read_items(std::string_view text, const std::vector<IoItem>& items);
// List-directed read from a unit, continuing across records until the items are read or '/'.
int list_read_unit_items(int unit, const std::vector<IoItem>& items);
// The same for a list of data values (counts, indices, angles), where every value must stand in
// its place: a null value (",," or "r*") or a '/' cannot be read (IOS_BAD_VALUE), as either
// would leave its item holding what it held before. `more`, when given, says whether the record
// of the last value read holds further values after it.
int list_read_data_items(std::string_view text, const std::vector<IoItem>& items, bool* more = nullptr);
int list_read_unit_data_items(int unit, const std::vector<IoItem>& items, bool* more = nullptr);

// ---- Convenience front ends ---------------------------------------------------------------
// Ends the program for an unchecked I/O error on unit (names the unit and the error).
[[noreturn]] void io_fatal_unit(int unit, int iostat);

// Internal write: the records joined with '\n' (one record for most layouts).
template <class... A>
std::string fmt_write(std::string_view fmt, const A&... a) {
    std::vector<std::string> recs;
    format_records(fmt, {out_item(a)...}, recs);
    std::string out;
    for (std::size_t k = 0; k < recs.size(); ++k) { if (k) out += '\n'; out += recs[k]; }
    return out;
}
// Formatted write to a unit; returns IOS_OK or the error of the first record that failed.
int write_unit_items(int unit, std::string_view fmt, const std::vector<OutItem>& items);
template <class... A>
int write_unit(int unit, std::string_view fmt, const A&... a) { return write_unit_items(unit, fmt, {out_item(a)...}); }
// Internal read from one record.
template <class... A>
int fmt_read(std::string_view record, std::string_view fmt, A&&... a) {
    return read_records(fmt, std::string(record), {in_item(a)...}, nullptr, nullptr);
}
// Formatted read from a unit: reads the records the format needs.
int read_unit_items(int unit, std::string_view fmt, const std::vector<IoItem>& items);
template <class... A>
int read_unit(int unit, std::string_view fmt, A&&... a) { return read_unit_items(unit, fmt, {in_item(a)...}); }

template <class... A>
int list_read(std::string_view text, A&&... a) { return list_read_items(text, {in_item(a)...}); }
template <class... A>
int list_read_unit(int unit, A&&... a) { return list_read_unit_items(unit, {in_item(a)...}); }
template <class... A>
int list_read_data(std::string_view text, A&&... a) { return list_read_data_items(text, {in_item(a)...}); }

// ---- Internals shared by the runtime's own sources ------------------------------------------
namespace detail {
constexpr int kMaxFieldWidth = 1000;  // widths, decimals and repeat counts above this are refused
constexpr int kMaxFormatDepth = 32;   // nesting of parenthesised groups
// One pass over a format, its repeat counts multiplied out, writes or steps over at most this
// many characters (a format beyond it is refused).
constexpr long kMaxExpansion = 10'000'000;

// One parsed edit descriptor. I: w (0 = minimal), m (-1 = none); F/E/D: w, d; A: w (-1 = the
// item's length); X/TR/TL/T: w is the count or column; LIT: the text; GBEG/GEND: rep and match.
struct Op {
    enum Kind { GBEG, GEND, I, F, E, D, A, X, T, TL, TR, SLASH, LIT } k = LIT;
    int rep = 1;
    int w = -1;
    int d = 0;
    int m = -1;
    int match = -1;
    std::string lit;
    Op() = default;
    Op(Kind kind, int r) : k(kind), rep(r) {}
};
struct Format {
    std::vector<Op> ops;
    int revert = 0;         // where format reversion restarts: the last top-level group, else 0
    bool has_data = false;  // holds at least one data descriptor
};
// The parsed format (cached); nullptr when the text is not a format this runtime supports.
const Format* parse_format(std::string_view text);

void put_int(std::string& out, long long v, int w, int m);
void put_fixed(std::string& out, double v, int w, int d);
bool fixed_text(double a, int d, char* out, int& n);  // a >= 0; "%.*f" without snprintf, or false
void put_exp(std::string& out, double v, int w, int d, char letter);
// Converts the text of a number; blanks_ok: blanks are dropped and an empty field is 0
// (fixed columns), otherwise the text is one value token (list-directed).
int read_int_text(std::string_view field, long long lo, long long hi, long long& out, bool blanks_ok);
int read_real_text(std::string_view field, int implied, bool is_double, double& dout, float& fout,
                   bool blanks_ok);
}  // namespace detail

}  // namespace rt
