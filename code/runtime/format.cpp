// Edit-descriptor record I/O: one tokenizer, a format interpreter shared by the writer and the
// fixed-column reader, and the unit front ends. List-directed input lives in list_read.cpp.
//
// Numbers are written from the exact binary value, rounded to the nearest decimal with ties to
// even (as gfortran does); a negative value that rounds to zero, and negative zero itself, keep
// their minus sign ("-0.0000"). Fields read are converted from their exact decimal text.
#include "runtime/format.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <unordered_map>

#include "runtime/fatal.h"

namespace rt {
namespace detail {

// ---- Tokenizer ------------------------------------------------------------------------------

namespace {

constexpr int kMaxWidth = kMaxFieldWidth;
constexpr int kMaxDepth = kMaxFormatDepth;

struct Parser {
    std::string_view s;
    std::size_t i = 0;
    Format& f;
    int depth = 0;

    bool at_end() const { return i >= s.size(); }
    char peek() const { return at_end() ? '\0' : s[i]; }
    static char up(char c) { return (c >= 'a' && c <= 'z') ? char(c - 32) : c; }
    void skip_blanks() {
        while (!at_end() && (s[i] == ' ' || s[i] == '\t')) ++i;
    }
    bool digit() const { return !at_end() && s[i] >= '0' && s[i] <= '9'; }
    // An unsigned number right at the position; -1 when there is none. Blanks end it: they
    // separate items, so "A 3I4" is A and 3I4, never A3.
    int number() {
        if (!digit()) return -1;
        long v = 0;
        while (digit()) {
            v = v * 10 + (s[i] - '0');
            if (v > kMaxWidth * 100L) return -2;
            ++i;
        }
        return int(v);
    }

    // Parses items up to the ')' that closes the current group (consumed). False on error.
    bool list() {
        while (true) {
            skip_blanks();
            if (at_end()) return false;
            char c = s[i];
            if (c == ',') { ++i; continue; }
            if (c == ')') { ++i; return true; }
            if (c == '/') { ++i; f.ops.push_back(Op{Op::SLASH, 1}); continue; }
            if (c == '\'' || c == '"') {
                if (!literal(1)) return false;
                continue;
            }
            int rep = number();
            if (rep == -2 || rep == 0) return false;
            skip_blanks();
            if (at_end()) return false;
            c = s[i];
            if (c == '(') {
                ++i;
                if (++depth > kMaxDepth) return false;
                std::size_t beg = f.ops.size();
                f.ops.push_back(Op{Op::GBEG, rep < 0 ? 1 : rep});
                if (depth == 1) f.revert = int(beg);
                if (!list()) return false;
                --depth;
                Op end{Op::GEND, 1};
                end.match = int(beg);
                f.ops[beg].match = int(f.ops.size());
                f.ops.push_back(end);
                continue;
            }
            if (c == '/') { ++i; f.ops.push_back(Op{Op::SLASH, rep < 0 ? 1 : rep}); continue; }
            if (c == '\'' || c == '"') {
                if (!literal(rep < 0 ? 1 : rep)) return false;
                continue;
            }
            if (!descriptor(rep)) return false;
        }
    }

    bool literal(int rep) {
        char q = s[i++];
        std::string text;
        while (true) {
            if (at_end()) return false;
            char c = s[i++];
            if (c == q) {
                if (!at_end() && s[i] == q) { text.push_back(q); ++i; continue; }
                break;
            }
            text.push_back(c);
        }
        Op op{Op::LIT, 1};
        if (double(text.size()) * rep > double(kMaxExpansion)) return false;
        for (int k = 0; k < rep; ++k) op.lit += text;
        f.ops.push_back(std::move(op));
        return true;
    }

    bool descriptor(int rep) {
        char c = up(s[i++]);
        Op op{Op::LIT, rep < 0 ? 1 : rep};
        switch (c) {
            case 'I': {
                op.k = Op::I;
                op.w = number();
                if (op.w < 0) return false;
                if (peek() == '.') {
                    ++i;
                    op.m = number();
                    // Iw.m: m digits at most as wide as a field may be (I0.m too).
                    if (op.m < 0 || op.m > kMaxWidth || (op.w > 0 && op.m > op.w)) return false;
                }
                break;
            }
            case 'F':
            case 'E':
            case 'D': {
                op.k = c == 'F' ? Op::F : (c == 'E' ? Op::E : Op::D);
                op.w = number();
                if (op.w < 0 || (op.w == 0 && op.k != Op::F)) return false;
                if (peek() != '.') return false;
                ++i;
                op.d = number();
                if (op.d < 0 || (op.k != Op::F && op.d == 0)) return false;
                break;
            }
            case 'A': {
                op.k = Op::A;
                op.w = number();
                if (op.w == 0 || op.w == -2) return false;
                break;
            }
            case 'X': {
                op.k = Op::X;
                op.w = rep < 0 ? 1 : rep;
                op.rep = 1;
                break;
            }
            case 'T': {
                char n = up(peek());
                if (n == 'L' || n == 'R') { ++i; op.k = n == 'L' ? Op::TL : Op::TR; } else op.k = Op::T;
                if (rep >= 0) return false;
                op.w = number();
                if (op.w < (op.k == Op::T ? 1 : 0)) return false;
                break;
            }
            default:
                return false;
        }
        if (op.w > kMaxWidth || op.d > kMaxWidth) return false;
        if (op.k == Op::I || op.k == Op::F || op.k == Op::E || op.k == Op::D || op.k == Op::A) f.has_data = true;
        f.ops.push_back(std::move(op));
        return true;
    }
};

// True when one pass over the format, every repeat count of its groups multiplied out, does a
// bounded amount of work: nested repeats such as (1000(1000(1000('ab')))) would otherwise write
// or step over billions of characters.
bool bounded(const Format& f) {
    double mult[kMaxDepth + 2];
    int sp = 0;
    mult[0] = 1.0;
    double total = 0.0;
    for (const Op& op : f.ops) {
        switch (op.k) {
            case Op::GBEG:
                mult[sp + 1] = mult[sp] * op.rep;
                ++sp;
                break;
            case Op::GEND: --sp; break;
            case Op::LIT: total += mult[sp] * double(op.lit.size() + 1); break;
            case Op::X:
            case Op::TR:
            case Op::TL:
            case Op::T: total += mult[sp] * double(op.w + 1); break;
            default: total += mult[sp] * double(op.rep) * double((op.w > 0 ? op.w : 1) + 1); break;
        }
        if (total > double(kMaxExpansion)) return false;
    }
    return true;
}

struct Hash {
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
};

}  // namespace

const Format* parse_format(std::string_view text) {
    static std::unordered_map<std::string, std::unique_ptr<Format>, Hash, std::equal_to<>> cache;
    auto it = cache.find(text);
    if (it != cache.end()) return it->second.get();
    auto f = std::make_unique<Format>();
    Parser p{text, 0, *f};
    p.skip_blanks();
    bool ok = false;
    if (p.peek() == '(') {
        ++p.i;
        ok = p.list();
        p.skip_blanks();
        ok = ok && p.at_end();
    }
    if (!ok || !bounded(*f)) f.reset();
    if (cache.size() > 4096) cache.clear();  // run-time built formats: keep the cache bounded
    const Format* r = f.get();
    cache.emplace(std::string(text), std::move(f));
    return r;
}

// ---- Number output --------------------------------------------------------------------------

namespace {

void stars(std::string& out, int w) { out.append(std::size_t(w), '*'); }

void right(std::string& out, int w, const char* s, std::size_t n) {
    if (w > 0) out.append(std::size_t(w) - n, ' ');
    out.append(s, n);
}

}  // namespace

void put_int(std::string& out, long long v, int w, int m) {
    char digits[32];
    unsigned long long a = v < 0 ? 0ULL - (unsigned long long)v : (unsigned long long)v;
    int n = 0;
    do { digits[n++] = char('0' + a % 10); a /= 10; } while (a);
    if (m == 0 && v == 0) n = 0;  // Iw.0 writes zero as blanks
    char buf[1100];
    int len = 0;
    if (v < 0) buf[len++] = '-';
    for (int k = n; k < m; ++k) buf[len++] = '0';
    while (n) buf[len++] = digits[--n];
    if (w > 0 && len > w) { stars(out, w); return; }
    right(out, w, buf, std::size_t(len));
}

// The text of a >= 0 rounded to d decimals, exactly as "%.*f" prints it (the exact binary value,
// ties to even), by integer arithmetic: q = round(m 2^ex 10^d) in 128 bits. False when the
// value or the decimals are too large for that; the caller then prints with snprintf.
bool fixed_text(double a, int d, char* out, int& n) {
    static const std::uint64_t p10[20] = {1ULL,
                                          10ULL,
                                          100ULL,
                                          1000ULL,
                                          10000ULL,
                                          100000ULL,
                                          1000000ULL,
                                          10000000ULL,
                                          100000000ULL,
                                          1000000000ULL,
                                          10000000000ULL,
                                          100000000000ULL,
                                          1000000000000ULL,
                                          10000000000000ULL,
                                          100000000000000ULL,
                                          1000000000000000ULL,
                                          10000000000000000ULL,
                                          100000000000000000ULL,
                                          1000000000000000000ULL,
                                          10000000000000000000ULL};
    if (d > 19) return false;
    using u128 = unsigned __int128;
    u128 q = 0;
    if (a != 0.0) {
        int e = 0;
        const double fr = std::frexp(a, &e);  // a = fr 2^e, fr in [0.5, 1)
        const std::uint64_t m = std::uint64_t(std::ldexp(fr, 53));
        const int ex = e - 53;
        const u128 N = u128(m) * p10[d];  // below 2^117
        if (ex >= 0) {
            if (ex > 10) return false;  // keeps N 2^ex below 2^127
            q = N << ex;
        } else {
            const int k = -ex;
            if (k >= 127) {
                q = 0;  // N < 2^117 lies below half a unit
            } else {
                q = N >> k;
                const u128 rem = N & ((u128(1) << k) - 1);
                const u128 half = u128(1) << (k - 1);
                if (rem > half || (rem == half && (q & 1))) ++q;
            }
        }
    }
    char dig[48];
    int nd = 0;
    do {
        dig[nd++] = char('0' + int(q % 10));
        q /= 10;
    } while (q);
    while (nd < d + 1) dig[nd++] = '0';
    n = 0;
    for (int k = nd - 1; k >= 0; --k) {
        out[n++] = dig[k];
        if (k == d && d > 0) out[n++] = '.';
    }
    out[n] = '\0';
    return true;
}

void put_fixed(std::string& out, double v, int w, int d) {
    if (!std::isfinite(v)) { stars(out, w > 0 ? w : 1); return; }
    const bool neg = std::signbit(v);
    const double a = std::fabs(v);
    static const auto pow10 = [] {
        std::vector<double> p(300);
        for (int k = 0; k < 300; ++k) p[std::size_t(k)] = std::pow(10.0, k);
        return p;
    }();
    if (w > 0 && w < 300 && a >= pow10[std::size_t(w)]) { stars(out, w); return; }
    char buf[2200];
    buf[0] = '-';
    int n = 0;
    if (!fixed_text(a, d, buf + 1, n)) n = std::snprintf(buf + 1, sizeof buf - 2, "%.*f", d, a);
    if (n < 0 || n >= int(sizeof buf) - 3) { stars(out, w > 0 ? w : 1); return; }
    if (d == 0) { buf[1 + n] = '.'; ++n; buf[1 + n] = '\0'; }
    char* s = buf + 1;
    if (neg) { s = buf; ++n; }
    if (w == 0) {  // minimal width: no leading zero
        if (a < 1.0 && (s[neg ? 1 : 0] == '0') && d > 0) {
            if (neg) { s[1] = '-'; ++s; } else ++s;
            --n;
        }
        out.append(s, std::size_t(n));
        return;
    }
    if (n > w) {
        // Drop the zero before the point when that makes it fit.
        char* z = s + (neg ? 1 : 0);
        if (n - 1 <= w && z[0] == '0' && z[1] == '.' && d > 0) {
            if (neg) { z[0] = '-'; ++s; } else ++s;
            --n;
        } else {
            stars(out, w);
            return;
        }
    }
    right(out, w, s, std::size_t(n));
}

void put_exp(std::string& out, double v, int w, int d, char letter) {
    if (!std::isfinite(v)) { stars(out, w); return; }
    const bool neg = std::signbit(v);
    const double a = std::fabs(v);
    char tmp[1100];
    int e10 = 0;
    std::string digits;
    if (a == 0.0) {
        digits.assign(std::size_t(d), '0');
    } else {
        std::snprintf(tmp, sizeof tmp, "%.*e", d - 1, a);
        // tmp: D[.DDD]e±XX
        char* p = tmp;
        for (; *p && *p != 'e'; ++p)
            if (*p != '.') digits.push_back(*p);
        e10 = std::atoi(p + 1) + 1;
    }
    char ex[8];
    int ae = e10 < 0 ? -e10 : e10;
    if (ae <= 99) std::snprintf(ex, sizeof ex, "%c%c%02d", letter, e10 < 0 ? '-' : '+', ae);
    else if (ae <= 999) std::snprintf(ex, sizeof ex, "%c%03d", e10 < 0 ? '-' : '+', ae);
    else { stars(out, w); return; }
    std::string s;
    if (neg) s.push_back('-');
    s += "0.";
    s += digits;
    s += ex;
    if (int(s.size()) > w) {
        std::size_t z = neg ? 1 : 0;
        s.erase(z, 1);
        if (int(s.size()) > w) { stars(out, w); return; }
    }
    right(out, w, s.data(), s.size());
}

// ---- Number input ---------------------------------------------------------------------------

int read_int_text(std::string_view field, long long lo, long long hi, long long& out, bool blanks_ok) {
    char buf[64];
    std::size_t n = 0;
    for (char c : field) {
        if (c == ' ' && blanks_ok) continue;
        if (n >= sizeof buf - 1) return IOS_BAD_VALUE;
        buf[n++] = c;
    }
    std::size_t k = 0;
    bool neg = false;
    if (k < n && (buf[k] == '+' || buf[k] == '-')) { neg = buf[k] == '-'; ++k; }
    if (k == n) {
        if (n == 0 && blanks_ok) { out = 0; return IOS_OK; }  // an all-blank field
        return IOS_BAD_VALUE;                                  // nothing, or a sign alone
    }
    long long v = 0;
    for (; k < n; ++k) {
        if (buf[k] < '0' || buf[k] > '9') return IOS_BAD_VALUE;
        v = v * 10 + (buf[k] - '0');
        if (v > hi + 1) return IOS_BAD_VALUE;
    }
    if (neg) v = -v;
    if (v < lo || v > hi) return IOS_BAD_VALUE;
    out = v;
    return IOS_OK;
}

int read_real_text(std::string_view field, int implied, bool is_double, double& dout, float& fout,
                   bool blanks_ok) {
    // Clean text: sign, mantissa digits with the point, 'e', exponent.
    char src[160];
    std::size_t n = 0;
    for (char c : field) {
        if (c == ' ' && blanks_ok) continue;
        if (n >= sizeof src - 1) return IOS_BAD_VALUE;
        src[n++] = c;
    }
    std::size_t k = 0;
    char sign = 0;
    if (k < n && (src[k] == '+' || src[k] == '-')) sign = src[k++];
    // t: the clean text for the C library, sign, mantissa (point inserted), 'e', exponent.
    char t[sizeof src + kMaxFieldWidth + 8];
    std::size_t tn = 0;
    if (sign) t[tn++] = sign;
    const std::size_t mant0 = tn;
    bool point = false;
    int ndig = 0;
    for (; k < n; ++k) {
        char c = src[k];
        if (c >= '0' && c <= '9') { t[tn++] = c; ++ndig; }
        else if (c == '.' && !point) { point = true; t[tn++] = c; }
        else break;
    }
    if (ndig > 0 && !point && implied > 0) {
        // Implied decimals: the point goes into the text, implied digits from the right.
        const std::size_t nd = tn - mant0;
        const std::size_t imp = std::size_t(implied);
        if (nd < imp) {  // leading zeros up to the implied digits
            std::memmove(t + mant0 + (imp - nd), t + mant0, nd);
            std::memset(t + mant0, '0', imp - nd);
            tn += imp - nd;
        }
        std::memmove(t + tn - imp + 1, t + tn - imp, imp);
        t[tn - imp] = '.';
        ++tn;
    }
    if (k < n) {
        char c = src[k];
        t[tn++] = 'e';
        if (c == 'E' || c == 'e' || c == 'D' || c == 'd') {
            ++k;
            if (k < n && (src[k] == '+' || src[k] == '-')) t[tn++] = src[k++];
        } else if (c == '+' || c == '-') {
            t[tn++] = src[k++];  // a sign-only exponent
        } else {
            return IOS_BAD_VALUE;
        }
        int edig = 0;
        for (; k < n; ++k) {
            if (src[k] < '0' || src[k] > '9') return IOS_BAD_VALUE;
            t[tn++] = src[k];
            ++edig;
        }
        if (edig == 0 || ndig == 0) return IOS_BAD_VALUE;
    }
    t[tn] = '\0';
    if (ndig == 0) {
        // Blank, a lone sign or a lone point read as zero (as fixed-column input does).
        if (!blanks_ok && n > 0) return IOS_BAD_VALUE;
        if (is_double) dout = 0.0; else fout = 0.0f;
        return IOS_OK;
    }
    errno = 0;
    char* end = nullptr;
    if (is_double) {
        double v = std::strtod(t, &end);
        if (*end || !std::isfinite(v)) return IOS_BAD_VALUE;
        dout = v;
    } else {
        float v = std::strtof(t, &end);
        if (*end || !std::isfinite(v)) return IOS_BAD_VALUE;
        fout = v;
    }
    return IOS_OK;
}

}  // namespace detail

using detail::Format;
using detail::Op;

// ---- Format interpreter ---------------------------------------------------------------------

namespace {

// Runs the format over the handler: data descriptors consume items, the rest position or
// break records. Stops at the first data descriptor without an item, or at the end of the
// format when no item is left; reverts to the last top-level group otherwise.
template <class H>
int run_format(const Format& f, H& h) {
    int beg[detail::kMaxFormatDepth + 1];
    int left[detail::kMaxFormatDepth + 1];
    int sp = 0;
    std::size_t pc = 0;
    const std::size_t nops = f.ops.size();
    bool reverted = false, consumed = false;
    while (true) {
        if (pc == nops) {
            if (!h.has_item()) return IOS_OK;
            // A format (or the part it reverts to) that takes no item would loop for ever.
            if (!f.has_data || (reverted && !consumed)) return IOS_BAD_FORMAT;
            if (int r = h.new_record()) return r;
            pc = std::size_t(f.revert);
            sp = 0;
            reverted = true;
            consumed = false;
            continue;
        }
        const Op& op = f.ops[pc];
        switch (op.k) {
            case Op::GBEG:
                beg[sp] = int(pc);
                left[sp] = op.rep;
                ++sp;
                ++pc;
                break;
            case Op::GEND:
                if (--left[sp - 1] > 0) pc = std::size_t(beg[sp - 1]) + 1;
                else { --sp; ++pc; }
                break;
            case Op::SLASH:
                for (int r = 0; r < op.rep; ++r)
                    if (int e = h.new_record()) return e;
                ++pc;
                break;
            case Op::I:
            case Op::F:
            case Op::E:
            case Op::D:
            case Op::A:
                for (int r = 0; r < op.rep; ++r) {
                    if (!h.has_item()) return IOS_OK;
                    if (int e = h.data(op)) return e;
                    consumed = true;
                }
                ++pc;
                break;
            default:
                h.control(op);
                ++pc;
                break;
        }
    }
}

// Output: builds records in place.
// The records go into recs[0..used-1], reusing the strings already there, so that a caller
// that keeps its vector (the unit writer) formats without allocating.
struct Writer {
    const std::vector<OutItem>& items;
    std::vector<std::string>& recs;
    std::string& rec;
    std::string& field;
    std::size_t used = 0;
    std::size_t it = 0;
    int el = 0;
    std::size_t pos = 0;

    void emit() {
        if (used < recs.size()) recs[used].assign(rec);
        else recs.push_back(rec);
        ++used;
        rec.clear();
        pos = 0;
    }

    void skip_empty() {
        while (it < items.size() && items[it].n <= 0) ++it;
    }
    bool has_item() {
        skip_empty();
        return it < items.size();
    }
    void put(std::string_view s) {
        if (pos > rec.size()) rec.append(pos - rec.size(), ' ');
        std::size_t over = std::min(s.size(), rec.size() - pos);
        rec.replace(pos, over, s.data(), over);
        if (over < s.size()) rec.append(s.data() + over, s.size() - over);
        pos += s.size();
    }
    int new_record() {
        emit();
        return IOS_OK;
    }
    void control(const Op& op) {
        switch (op.k) {
            case Op::LIT: put(op.lit); break;
            case Op::X:
            case Op::TR: pos += std::size_t(op.w); break;
            case Op::TL: pos = pos > std::size_t(op.w) ? pos - std::size_t(op.w) : 0; break;
            case Op::T: pos = std::size_t(op.w - 1); break;
            default: break;
        }
    }
    int data(const Op& op) {
        const OutItem& o = items[it];
        const int k = el;
        if (++el >= o.n) { el = 0; ++it; }
        field.clear();
        switch (o.kind) {
            case IoItem::INT: {
                if (op.k != Op::I) return IOS_BAD_FORMAT;
                int v = o.arr ? static_cast<const int*>(o.arr)[k] : o.i;
                detail::put_int(field, v, op.w, op.m);
                break;
            }
            case IoItem::REAL:
            case IoItem::DOUBLE: {
                double v = o.kind == IoItem::REAL ? double(o.arr ? static_cast<const float*>(o.arr)[k] : o.f)
                                                  : (o.arr ? static_cast<const double*>(o.arr)[k] : o.d);
                if (op.k == Op::F) detail::put_fixed(field, v, op.w, op.d);
                else if (op.k == Op::E || op.k == Op::D) detail::put_exp(field, v, op.w, op.d, op.k == Op::E ? 'E' : 'D');
                else return IOS_BAD_FORMAT;
                break;
            }
            case IoItem::TEXT: {
                if (op.k != Op::A) return IOS_BAD_FORMAT;
                std::string_view s = o.arr ? std::string_view(static_cast<const char*>(o.arr) + std::size_t(k) * std::size_t(o.len),
                                                              std::size_t(o.len))
                                           : o.s;
                if (op.w < 0) {
                    field.assign(s);
                } else if (std::size_t(op.w) <= s.size()) {
                    field.assign(s.substr(0, std::size_t(op.w)));
                } else {
                    field.assign(std::size_t(op.w) - s.size(), ' ');
                    field.append(s);
                }
                // A text never yet written holds NULs; they go out as blanks.
                for (char& c : field) if (c == '\0') c = ' ';
                break;
            }
        }
        put(field);
        return IOS_OK;
    }
};

// Input: reads fields from fixed columns of the current record.
struct Reader {
    const std::vector<IoItem>& items;
    std::string rec;
    int (*next)(void*, std::string&);
    void* ctx;
    std::size_t it = 0;
    int el = 0;
    std::size_t pos = 0;

    bool has_item() {
        while (it < items.size() && items[it].n <= 0) ++it;
        return it < items.size();
    }
    int new_record() {
        if (!next) return IOS_END;
        int r = next(ctx, rec);
        pos = 0;
        return r;
    }
    void control(const Op& op) {
        switch (op.k) {
            case Op::LIT: pos += op.lit.size(); break;
            case Op::X:
            case Op::TR: pos += std::size_t(op.w); break;
            case Op::TL: pos = pos > std::size_t(op.w) ? pos - std::size_t(op.w) : 0; break;
            case Op::T: pos = std::size_t(op.w - 1); break;
            default: break;
        }
    }
    std::string pad;
    // The w columns from the position, blanks beyond the end of the record.
    std::string_view take(std::size_t w) {
        std::size_t p = pos;
        pos += w;
        if (p + w <= rec.size()) return std::string_view(rec.data() + p, w);
        std::size_t have = p < rec.size() ? rec.size() - p : 0;
        pad.assign(rec.data() + (have ? p : 0), have);
        pad.append(w - have, ' ');
        return std::string_view(pad);
    }
    int data(const Op& op) {
        const IoItem& o = items[it];
        const int k = el;
        if (++el >= o.n) { el = 0; ++it; }
        switch (o.kind) {
            case IoItem::INT: {
                if (op.k != Op::I || op.w == 0) return IOS_BAD_FORMAT;
                long long v = 0;
                if (detail::read_int_text(take(std::size_t(op.w)), INT_MIN, INT_MAX, v, true) != IOS_OK)
                    return IOS_BAD_VALUE;
                static_cast<int*>(o.p)[k] = int(v);
                return IOS_OK;
            }
            case IoItem::REAL:
            case IoItem::DOUBLE: {
                if (op.k != Op::F && op.k != Op::E && op.k != Op::D) return IOS_BAD_FORMAT;
                if (op.w == 0) return IOS_BAD_FORMAT;
                double dv = 0;
                float fv = 0;
                const bool dbl = o.kind == IoItem::DOUBLE;
                if (detail::read_real_text(take(std::size_t(op.w)), op.d, dbl, dv, fv, true) != IOS_OK)
                    return IOS_BAD_VALUE;
                if (dbl) static_cast<double*>(o.p)[k] = dv; else static_cast<float*>(o.p)[k] = fv;
                return IOS_OK;
            }
            case IoItem::TEXT: {
                if (op.k != Op::A) return IOS_BAD_FORMAT;
                char* dst = static_cast<char*>(o.p) + std::size_t(k) * std::size_t(o.len);
                const std::size_t len = std::size_t(o.len);
                const std::size_t w = op.w < 0 ? len : std::size_t(op.w);
                std::string_view f = take(w);
                if (w >= len) std::memcpy(dst, f.data() + (w - len), len);
                else { std::memcpy(dst, f.data(), w); std::memset(dst + w, ' ', len - w); }
                return IOS_OK;
            }
        }
        return IOS_BAD_FORMAT;
    }
};

}  // namespace

int format_records(std::string_view fmt, const std::vector<OutItem>& items, std::vector<std::string>& records) {
    const Format* f = detail::parse_format(fmt);
    if (!f) { records.clear(); return IOS_BAD_FORMAT; }
    static thread_local std::string rec, field;
    rec.clear();
    Writer w{items, records, rec, field};
    int r = run_format(*f, w);
    w.emit();
    records.resize(w.used);
    return r;
}

int read_records(std::string_view fmt, const std::string& first, const std::vector<IoItem>& items,
                 int (*next_record)(void* ctx, std::string& rec), void* ctx) {
    const Format* f = detail::parse_format(fmt);
    if (!f) return IOS_BAD_FORMAT;
    Reader r{items, first, next_record, ctx, 0, 0, 0, {}};
    return run_format(*f, r);
}

int write_unit_items(int unit, std::string_view fmt, const std::vector<OutItem>& items) {
    static thread_local std::vector<std::string> recs;
    if (!unit_connected(unit)) return IOS_NOT_CONNECTED;
    int r = format_records(fmt, items, recs);
    if (r != IOS_OK) return r;
    for (const auto& rec : recs)
        if (int e = unit_write_record(unit, rec)) return e;
    return IOS_OK;
}

namespace {
int unit_next(void* ctx, std::string& rec) { return unit_read_record(*static_cast<int*>(ctx), rec); }
}  // namespace

int read_unit_items(int unit, std::string_view fmt, const std::vector<IoItem>& items) {
    const Format* f = detail::parse_format(fmt);
    if (!f) return IOS_BAD_FORMAT;
    std::string first;
    if (int e = unit_read_record(unit, first)) return e;
    Reader r{items, std::move(first), unit_next, &unit, 0, 0, 0, {}};
    return run_format(*f, r);
}

}  // namespace rt
