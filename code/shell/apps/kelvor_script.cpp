// kelvor-script: the program on the scripted front end. The main program is not yet wired in.
#include <cstdio>
int main(int, char**) {
    std::fprintf(stderr, "kelvor-script: the main program is not yet built end to end\n");
    return 2;
}
