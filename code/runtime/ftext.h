// Fixed-length blank-padded texts. Assignment cuts or pads with blanks; comparison ignores
// trailing blanks. A zero-initialised FText holds NUL characters (the state of a text that
// no routine has written yet); blank() fills it with blanks.
#pragma once
#include <cstring>
#include <string>
#include <string_view>

namespace rt {

template <int N>
struct FText {
    static_assert(N > 0);
    char c[N]{};

    static constexpr int len() { return N; }

    constexpr FText() = default;
    constexpr FText(std::string_view s) { assign(s); }
    constexpr FText(const char* s) { assign(std::string_view(s)); }
    template <int M>
    constexpr FText(const FText<M>& o) { assign(o.view()); }

    FText& operator=(std::string_view s) { assign(s); return *this; }
    FText& operator=(const char* s) { assign(std::string_view(s)); return *this; }
    template <int M>
    FText& operator=(const FText<M>& o) { assign(o.view()); return *this; }

    constexpr void assign(std::string_view s) {
        const std::size_t n = s.size() < std::size_t(N) ? s.size() : std::size_t(N);
        if (n && s.data() >= c && s.data() < c + N) {  // overlapping source: copy through a buffer
            char tmp[N];
            for (std::size_t k = 0; k < n; ++k) tmp[k] = s[k];
            for (std::size_t k = 0; k < n; ++k) c[k] = tmp[k];
        } else {
            for (std::size_t k = 0; k < n; ++k) c[k] = s[k];
        }
        for (std::size_t k = n; k < std::size_t(N); ++k) c[k] = ' ';
    }
    void blank() { std::memset(c, ' ', N); }
    void clear() { std::memset(c, 0, N); }

    // The whole field, N characters.
    constexpr std::string_view view() const { return std::string_view(c, N); }
    // The text without its trailing blanks (and without trailing NULs).
    std::string_view trimmed() const { return std::string_view(c, trulen()); }
    std::string str() const { return std::string(trimmed()); }
    // Length without trailing blanks or NULs.
    int trulen() const {
        int n = N;
        while (n > 0 && (c[n - 1] == ' ' || c[n - 1] == '\0')) --n;
        return n;
    }
    // Character i, counted from 1.
    char& operator()(int i) {
        if (i < 1 || i > N) std::abort();
        return c[i - 1];
    }
    char operator()(int i) const {
        if (i < 1 || i > N) std::abort();
        return c[i - 1];
    }
    // Substring i..j, counted from 1 (Fortran's T(i:j)).
    std::string_view sub(int i, int j) const {
        if (i < 1 || j > N || j < i - 1) std::abort();
        return std::string_view(c + i - 1, std::size_t(j - i + 1));
    }
};

// What trim_right removes from the end of a text besides blanks: NULs (the filling of a text no
// routine has written yet) unless nuls is false, tabs only when tabs is true.
struct Trailing {
    bool nuls = true;
    bool tabs = false;
};

// The text without its trailing blanks (and NULs, and tabs, as `also` says). Comparison of fixed
// texts ignores trailing blanks and NULs through it.
inline std::string_view trim_right(std::string_view s, Trailing also = {}) {
    while (!s.empty() &&
           (s.back() == ' ' || (also.nuls && s.back() == '\0') || (also.tabs && s.back() == '\t')))
        s.remove_suffix(1);
    return s;
}

// Copies s into the text argument out of len characters: cut at len, or padded with blanks.
// Nothing is written for a null out or a len of 0 or less.
inline void fill_text(char* out, int len, std::string_view s) {
    if (!out || len <= 0) return;
    const std::size_t n = s.size() < std::size_t(len) ? s.size() : std::size_t(len);
    if (n) std::memcpy(out, s.data(), n);
    std::memset(out + n, ' ', std::size_t(len) - n);
}
template <int N, int M>
bool operator==(const FText<N>& a, const FText<M>& b) { return trim_right(a.view()) == trim_right(b.view()); }
template <int N>
bool operator==(const FText<N>& a, std::string_view b) { return trim_right(a.view()) == trim_right(b); }
template <int N>
bool operator==(const FText<N>& a, const char* b) { return a == std::string_view(b); }

// Length of a text without trailing blanks.
inline int TRULEN(std::string_view s) { return int(trim_right(s).size()); }
template <int N>
int TRULEN(const FText<N>& t) { return t.trulen(); }

}  // namespace rt
