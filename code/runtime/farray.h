// Fixed 1-based arrays, indexed A(i) and A(i,j) so that formulas read as written.
// Every access is bounds checked in every build; a bad index aborts with the index.
#pragma once
#include <cstddef>
#include <cstdio>
#include <cstdlib>

namespace rt {

[[noreturn]] inline void bounds_abort(const char* what, long i, long lo, long hi) {
    std::fprintf(stderr, "fatal: %s index %ld outside %ld..%ld\n", what, i, lo, hi);
    std::abort();
}

// One-dimensional array A(1..N) (or A(L..L+N-1) with a lower bound L).
template <class T, int N, int L = 1>
struct FArray {
    static_assert(N > 0);
    T v[N]{};

    static constexpr int size() { return N; }
    static constexpr int lower() { return L; }
    static constexpr int upper() { return L + N - 1; }

    T& operator()(int i) {
        if (i < L || i > L + N - 1) bounds_abort("array", i, L, L + N - 1);
        return v[i - L];
    }
    const T& operator()(int i) const {
        if (i < L || i > L + N - 1) bounds_abort("array", i, L, L + N - 1);
        return v[i - L];
    }
    T* data() { return v; }
    const T* data() const { return v; }
    void fill(const T& x) { for (auto& e : v) e = x; }
    bool operator==(const FArray&) const = default;
    T* begin() { return v; }
    T* end() { return v + N; }
    const T* begin() const { return v; }
    const T* end() const { return v + N; }
};

// Two-dimensional array A(1..R, 1..C), stored column by column (the first index varies fastest).
template <class T, int R, int C>
struct FArray2 {
    static_assert(R > 0 && C > 0);
    T v[R * C]{};

    static constexpr int rows() { return R; }
    static constexpr int cols() { return C; }
    static constexpr int size() { return R * C; }

    T& operator()(int i, int j) {
        if (i < 1 || i > R) bounds_abort("array row", i, 1, R);
        if (j < 1 || j > C) bounds_abort("array column", j, 1, C);
        return v[(j - 1) * R + (i - 1)];
    }
    const T& operator()(int i, int j) const {
        if (i < 1 || i > R) bounds_abort("array row", i, 1, R);
        if (j < 1 || j > C) bounds_abort("array column", j, 1, C);
        return v[(j - 1) * R + (i - 1)];
    }
    T* data() { return v; }
    const T* data() const { return v; }
    void fill(const T& x) { for (auto& e : v) e = x; }
    bool operator==(const FArray2&) const = default;
};

}  // namespace rt
