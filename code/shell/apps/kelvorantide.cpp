// kelvorantide: the program in real windows. The main program is not yet wired in.
#include <cstdio>
int main(int, char**) {
    std::fprintf(stderr, "kelvorantide: the main program is not yet built end to end\n");
    return 2;
}
