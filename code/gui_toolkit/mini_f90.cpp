// The graphics module: the library's long procedure names, each forwarding to one primitive
// with its arguments as records and point lists instead of separate values and arrays.
#include <vector>

#include "gui_toolkit/minigino.h"

void gOpenGino() { GINO(); }
void GGUIWIN() { GUIWIN(); }
void GOGLWIN() { OGLWIN(); }
void GCLOSEDEVICE() { DEVEND(); }
void GCLOSEGINO() { GINEND(); }
void GNEWDRAWING() { PICCLE(); }
void GFLUSHGRAPHICS() { FLUSHG(); }
void GMOVETO2D(float x, float y) { MOVTO2(x, y); }
void GDRAWLINETO2D(float x, float y) { LINTO2(x, y); }
void gSetLineColour(int colour) { LINCOL(colour); }
void gSetCharSize(float width, float height) { CHASIZ(width, height); }
void GSETSTRANGLE(float angle) { CHAANG(angle); }
void GDISPLAYSTR(std::string_view text) { CHASTR(text); }

// The rectangle record holds the two x limits first: its corners are (xmin, ymin) and (xmax, ymax)
// in the record's field order.
void gFillRect(int fill_style, int line_style, const GLIMIT& rect) {
    RFILL(fill_style, line_style, rect.xmin, rect.ymin, rect.xmax, rect.ymax);
}

namespace {
// Splits a point list into its x and y arrays.
void split(int n, const GPOINT2* points, std::vector<float>& x, std::vector<float>& y) {
    x.resize(std::size_t(n));
    y.resize(std::size_t(n));
    for (int i = 0; i < n; ++i) {
        x[std::size_t(i)] = points[i].x;
        y[std::size_t(i)] = points[i].y;
    }
}
}  // namespace

// With no points the primitive is not called at all (so no warning for a negative count).
void gDrawPolylineTo2D(int n, const GPOINT2* points) {
    if (n < 1 || !points) return;
    std::vector<float> x, y;
    split(n, points, x, y);
    POLTO2(x.data(), y.data(), n);
}

void gFillPolygonTo2D(int fill_style, int line_style, int third, int n, const GPOINT2* points) {
    if (n < 1 || !points) return;
    std::vector<float> x, y;
    split(n, points, x, y);
    POFTO2(fill_style, line_style, third, x.data(), y.data(), n);
}

void gDefineRGB(int index, float red, float green, float blue) { RGBDEF(index, red, green, blue); }

void GENQRGB(int index, GCOLOUR& colour) { RGBENQ(index, colour.red, colour.green, colour.blue); }

int GTRUECOL(float red, float green, float blue) {
    int colour = 0;
    TRUCOL(red, green, blue, colour);
    return colour;
}

int GTRUELEN(std::string_view text) { return rt::TRULEN(text); }

void GENQGINOSTATE(GSTATE& state) { GINENQ(state.state, state.values, 3); }

void GCOPYPIXELAREA(int a, int b, int c, int d, int e, int f, int g, int h) { PIXCOP(a, b, c, d, e, f, g, h); }

void GDRAWPIXELAREA(int a, int b, int ld, int unused, int column, int row, int ncols, int nrows, const int* array) {
    PIXDRA(a, b, ld, unused, column, row, ncols, nrows, array);
}
