// List-directed input: values separated by blanks, tabs or one comma; '/' ends the list and
// leaves the items not yet read unchanged; an empty place between commas (a null value) leaves
// its item unchanged; r*c gives r copies of c and r* r null values. Texts are quoted ('..' or
// "..", a doubled quote stands for one) or bare words. From a unit the list continues over as
// many records as the items need; the end of a record separates like a blank.
#include <climits>
#include <cstring>
#include <string>

#include "runtime/format.h"

namespace rt {
namespace {

struct Source {
    std::string_view text;  // the current record
    std::size_t pos = 0;
    int unit = -1;          // >= 0: further records come from this unit
    std::string buf;
    bool after_value = false;  // a value was just read: the next comma is its separator
    bool strict = false;       // a record of data values: no null value, no '/'
    bool pending = false;      // a repeat count ended the read with copies still to hand out

    static bool blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
    // Skips blanks, moving on to the next record at the end of one. IOS_END when there is no more.
    int skip_blanks() {
        while (true) {
            while (pos < text.size() && blank(text[pos])) ++pos;
            if (pos < text.size()) return IOS_OK;
            if (unit < 0) return IOS_END;
            int r = unit_read_record(unit, buf);
            if (r != IOS_OK) return r;
            text = buf;
            pos = 0;
        }
    }
    static bool ends_token(char c) { return blank(c) || c == ',' || c == '/'; }
};

// One value of the list: its text (unquoted) or a null; with a repeat count.
struct Value {
    bool null = false;
    bool quoted = false;
    std::string text;
};

// Reads the next value or null at the position. IOS_OK with *slash set when the list ends.
int next_value(Source& src, Value& v, int& repeat, bool& slash) {
    repeat = 1;
    slash = false;
    v = Value{};
    if (int r = src.skip_blanks()) return r;
    char c = src.text[src.pos];
    if (c == ',' && src.after_value) {
        // The separator after the previous value, also when blanks or a record end came first.
        ++src.pos;
        if (int r = src.skip_blanks()) return r;
        c = src.text[src.pos];
    }
    src.after_value = false;
    if (c == '/') { slash = true; return IOS_OK; }
    if (c == ',') { ++src.pos; v.null = true; return IOS_OK; }
    // A repeat count: digits followed by '*'.
    std::size_t p = src.pos;
    while (p < src.text.size() && src.text[p] >= '0' && src.text[p] <= '9') ++p;
    if (p > src.pos && p < src.text.size() && src.text[p] == '*') {
        long long r = 0;
        if (detail::read_int_text(src.text.substr(src.pos, p - src.pos), 1, INT_MAX, r, false) != IOS_OK)
            return IOS_BAD_VALUE;
        repeat = int(r);
        src.pos = p + 1;
        if (src.pos >= src.text.size() || Source::ends_token(src.text[src.pos])) {
            v.null = true;  // r* : r null values
            src.after_value = true;
            return IOS_OK;
        }
    }
    c = src.text[src.pos];
    if (c == '\'' || c == '"') {
        v.quoted = true;
        ++src.pos;
        while (true) {
            if (src.pos >= src.text.size()) break;  // an unclosed text ends with its record
            char d = src.text[src.pos++];
            if (d == c) {
                if (src.pos < src.text.size() && src.text[src.pos] == c) { v.text.push_back(c); ++src.pos; continue; }
                break;
            }
            v.text.push_back(d);
        }
    } else {
        std::size_t b = src.pos;
        while (src.pos < src.text.size() && !Source::ends_token(src.text[src.pos])) ++src.pos;
        v.text.assign(src.text.substr(b, src.pos - b));
    }
    src.after_value = true;
    return IOS_OK;
}

int store(const IoItem& it, int k, const Value& v) {
    switch (it.kind) {
        case IoItem::INT: {
            long long x = 0;
            if (v.quoted || detail::read_int_text(v.text, INT_MIN, INT_MAX, x, false) != IOS_OK) return IOS_BAD_VALUE;
            static_cast<int*>(it.p)[k] = int(x);
            return IOS_OK;
        }
        case IoItem::REAL:
        case IoItem::DOUBLE: {
            double d = 0;
            float f = 0;
            const bool dbl = it.kind == IoItem::DOUBLE;
            if (v.quoted || detail::read_real_text(v.text, 0, dbl, d, f, false) != IOS_OK) return IOS_BAD_VALUE;
            if (dbl) static_cast<double*>(it.p)[k] = d; else static_cast<float*>(it.p)[k] = f;
            return IOS_OK;
        }
        case IoItem::TEXT: {
            char* dst = static_cast<char*>(it.p) + std::size_t(k) * std::size_t(it.len);
            const std::size_t len = std::size_t(it.len);
            const std::size_t n = v.text.size() < len ? v.text.size() : len;
            std::memcpy(dst, v.text.data(), n);
            std::memset(dst + n, ' ', len - n);
            return IOS_OK;
        }
    }
    return IOS_BAD_VALUE;
}

int list_read_source(Source& src, const std::vector<IoItem>& items) {
    Value v;
    int repeat = 0;  // copies of v still to hand out
    for (const IoItem& it : items) {
        for (int k = 0; k < it.n; ++k) {
            if (repeat == 0) {
                bool slash = false;
                int r = next_value(src, v, repeat, slash);
                if (r != IOS_OK) return r;
                // A data value left out would leave its item holding what it held before.
                if (src.strict && (slash || v.null)) return IOS_BAD_VALUE;
                if (slash) return IOS_OK;
            }
            --repeat;
            if (!v.null)
                if (int e = store(it, k, v)) return e;
        }
    }
    if (repeat > 0) src.pending = true;
    return IOS_OK;
}

// True when the record holds another value after the position: anything but blanks and the one
// comma that separates the value just read.
bool more_values(const Source& src) {
    if (src.pending) return true;
    std::size_t p = src.pos;
    while (p < src.text.size() && Source::blank(src.text[p])) ++p;
    if (p < src.text.size() && src.text[p] == ',') ++p;
    while (p < src.text.size() && Source::blank(src.text[p])) ++p;
    return p < src.text.size();
}

}  // namespace

int list_read_items(std::string_view text, const std::vector<IoItem>& items) {
    Source src;
    src.text = text;
    return list_read_source(src, items);
}

int list_read_unit_items(int unit, const std::vector<IoItem>& items) {
    Source src;
    src.unit = unit;
    int r = unit_read_record(unit, src.buf);
    if (r != IOS_OK) return r;
    src.text = src.buf;
    return list_read_source(src, items);
}

int list_read_data_items(std::string_view text, const std::vector<IoItem>& items, bool* more) {
    Source src;
    src.text = text;
    src.strict = true;
    const int r = list_read_source(src, items);
    if (more) *more = r == IOS_OK && more_values(src);
    return r;
}

int list_read_unit_data_items(int unit, const std::vector<IoItem>& items, bool* more) {
    Source src;
    src.unit = unit;
    src.strict = true;
    if (more) *more = false;
    int r = unit_read_record(unit, src.buf);
    if (r != IOS_OK) return r;
    src.text = src.buf;
    r = list_read_source(src, items);
    if (more) *more = r == IOS_OK && more_values(src);
    return r;
}

}  // namespace rt
