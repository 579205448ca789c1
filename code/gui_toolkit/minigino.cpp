// GINO-F drawing primitives: the world-to-pixel transform of the current surface, lines, text,
// filled areas and the palette. Each primitive keeps the drawing state and hands pixels and
// colours to the library's drawing entries.
#include "gui_toolkit/minigino.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>

#include "gui_toolkit/f77gui.h"
#include "platform/graphics_model.h"

namespace {

// A pixel further than this from the origin lies beyond any surface: such a point is dropped.
constexpr double kPixelLimit = 1 << 30;
constexpr int kMaxPolygon = 1024;

void warn(int number, std::string_view title) {
    const char* text = "";
    switch (number) {
        case 42: text = "GINO-F warning 42 - Negative number of points in multi-drawing routine"; break;
        case 46: text = "GINO-F warning 46 - Negative colour index"; break;
        case 59: text = "GINO-F warning 59 - Invalid component in colour definition"; break;
        case 68: text = "GINO-F warning 68 - Negative or zero character dimension"; break;
        case 88: text = "GINO-F warning 88 - Negative fill style in fill routine"; break;
        case 89: text = "GINO-F warning 89 - Negative line style in fill routine"; break;
        case 151: text = "GINO-F warning 151 - Too many vertices in polygon boundary"; break;
        default: break;
    }
    gino_console_warning(title, text);
}

// Fortran NINT of a 32-bit value: halves away from zero, computed exactly.
double nint(float v) { return std::round(double(v)); }

// Truncation toward zero into an int, saturating (a NaN gives 0).
int trunc_sat(float v) {
    if (std::isnan(v)) return 0;
    const double t = std::trunc(double(v));
    if (t >= double(INT_MAX)) return INT_MAX;
    if (t <= double(INT_MIN)) return INT_MIN;
    return int(t);
}

void pen_colour(int& r, int& g, int& b) {
    const int slot = std::clamp(GINO_DRAW.PEN_SLOT - 1, 0, 255);
    r = GINO_DRAW.PALETTE_RED(slot);
    g = GINO_DRAW.PALETTE_GREEN(slot);
    b = GINO_DRAW.PALETTE_BLUE(slot);
}

bool component_ok(float c) { return c >= 0.0f && c <= 1.0f; }

}  // namespace

bool gino_to_pixel(float x, float y, int& px, int& py) {
    const GinoDrawState& d = GINO_DRAW;
    const float fx = (x - d.DRAW_XORIGIN) * d.DRAW_XSCALE;
    const float fy = (y - d.DRAW_YORIGIN) * d.DRAW_YSCALE;
    if (!std::isfinite(fx) || !std::isfinite(fy)) return false;
    const double rx = nint(fx);
    const double ry = double(d.DRAW_HEIGHT) - nint(fy);
    if (std::fabs(rx) > kPixelLimit || std::fabs(ry) > kPixelLimit) return false;
    px = int(rx);
    py = int(ry);
    return true;
}

void GWINFS(int w, int h, float sx, float sy, float x0, float y0) {
    GinoDrawState& d = GINO_DRAW;
    d.DRAW_WIDTH = w;
    d.DRAW_HEIGHT = h;
    d.DRAW_XSCALE = 1.0f / sx;
    d.DRAW_YSCALE = 1.0f / sy;
    d.DRAW_XORIGIN = x0;
    d.DRAW_YORIGIN = y0;
}

float gEnqPixelWorldWidth() {
    return GINO_DRAW.DRAW_XSCALE > 0.0f ? 1.0f / GINO_DRAW.DRAW_XSCALE : 0.0f;
}

void MOVTO2(float x, float y) {
    int px = 0, py = 0;
    if (!gino_to_pixel(x, y, px, py)) return;
    DRAWMOVE(px, py);
    GINO_DRAW.DRAW_POINT(1) = px;
    GINO_DRAW.DRAW_POINT(2) = py;
}

void LINTO2(float x, float y) {
    int px = 0, py = 0;
    if (!gino_to_pixel(x, y, px, py)) return;
    DRAWLINE(px, py);
    int r, g, b;
    pen_colour(r, g, b);
    DRAWPIXEL(px, py, r, g, b);
    GINO_DRAW.DRAW_POINT(1) = px;
    GINO_DRAW.DRAW_POINT(2) = py;
}

void LINCOL(int colour) {
    GinoDrawState& d = GINO_DRAW;
    if (colour < 0) {
        warn(46, "gSetLineColour(LINCOL)");
        return;
    }
    if (colour <= 255) {
        d.PEN_SLOT = colour + 1;
        CHANGEPEN(colour, d.PALETTE_RED(colour), d.PALETTE_GREEN(colour), d.PALETTE_BLUE(colour));
        return;
    }
    // 256 .. 16777215 is neither a palette index nor a true colour: the pen stays as it is.
    if (colour < 16777216) return;
    const int r = (colour / 65536) % 256, g = (colour / 256) % 256, b = colour % 256;
    d.PALETTE_RED(255) = r;
    d.PALETTE_GREEN(255) = g;
    d.PALETTE_BLUE(255) = b;
    d.PEN_SLOT = 256;
    CHANGEPEN(255, r, g, b);
}

void CHASIZ(float width, float height) {
    if (!(width > 0.0f) || !(height > 0.0f)) {
        warn(68, "gSetCharSize(CHASIZ)");
        return;
    }
    GINO_DRAW.CHAR_WIDTH_PX = trunc_sat(width * GINO_DRAW.DRAW_XSCALE);
    GINO_DRAW.CHAR_HEIGHT_PX = trunc_sat(height * GINO_DRAW.DRAW_YSCALE);
}

void CHAANG(float angle) { GINO_DRAW.CHAR_ANGLE = angle; }

void CHASTR(std::string_view text) {
    const GinoDrawState& d = GINO_DRAW;
    DRAWSTRING(d.DRAW_POINT(1), d.DRAW_POINT(2), d.CHAR_WIDTH_PX, d.CHAR_HEIGHT_PX, trunc_sat(d.CHAR_ANGLE * 10.0f), 1, 0,
               0, " ", text);
}

void RFILL(int fill_style, int line_style, float x1, float y1, float x2, float y2) {
    if (fill_style < 0) {
        warn(88, "gFillRect(RFILL)");
        return;
    }
    if (line_style < 0) {
        warn(89, "gFillRect(RFILL)");
        return;
    }
    int p1, q1, p2, q2;
    if (!gino_to_pixel(x1, y1, p1, q1) || !gino_to_pixel(x2, y2, p2, q2)) return;
    const int points[8] = {p1, q1, p2, q1, p2, q2, p1, q2};
    DRAWMOVE(p1, q2);
    DRAWPOLYGON(points, 4);
    GINO_DRAW.DRAW_POINT(1) = p1;
    GINO_DRAW.DRAW_POINT(2) = q2;
}

void FLUSHG() {
    UPDATEFRAME();
    WINFLUSH();
}

void POLTO2(const float* x, const float* y, int n) {
    if (n < 0) {
        warn(42, "gDrawPolylineTo2D(POLTO2)");
        return;
    }
    bool any = false;
    int lx = 0, ly = 0;
    for (int i = 0; i < n; ++i) {
        int px, py;
        if (!gino_to_pixel(x[i], y[i], px, py)) continue;
        DRAWLINE(px, py);
        lx = px;
        ly = py;
        any = true;
    }
    if (!any) return;
    int r, g, b;
    pen_colour(r, g, b);
    DRAWPIXEL(lx, ly, r, g, b);
    GINO_DRAW.DRAW_POINT(1) = lx;
    GINO_DRAW.DRAW_POINT(2) = ly;
}

void POFTO2(int fill_style, int line_style, int, const float* x, const float* y, int n) {
    constexpr std::string_view title = "gFillPolygonTo2D(POFTO2)";
    if (n > kMaxPolygon) return warn(151, title);
    if (n < 0) return warn(42, title);
    if (fill_style < 0) return warn(88, title);
    if (line_style < 0) return warn(89, title);
    std::array<int, 2 * kMaxPolygon> points;
    int m = 0;
    for (int i = 0; i < n; ++i) {
        int px, py;
        if (!gino_to_pixel(x[i], y[i], px, py)) continue;
        points[std::size_t(2 * m)] = px;
        points[std::size_t(2 * m + 1)] = py;
        ++m;
    }
    if (m > 0) DRAWPOLYGON(points.data(), m);
}

void TRUCOL(float red, float green, float blue, int& colour) {
    auto comp = [](float c) {
        if (std::isnan(c)) c = 0.0f;
        c = std::clamp(c, 0.0f, 1.0f);
        return int(nint(c * 255.0f));
    };
    colour = 16777216 + 65536 * comp(red) + 256 * comp(green) + comp(blue);
}

void RGBDEF(int index, float red, float green, float blue) {
    if (index < 0 || index > 255 || !component_ok(red) || !component_ok(green) || !component_ok(blue)) {
        warn(59, "gDefineRGB(RGBDEF)");
        return;
    }
    GinoDrawState& d = GINO_DRAW;
    d.PALETTE_RED(index) = trunc_sat(red * 255.0f);
    d.PALETTE_GREEN(index) = trunc_sat(green * 255.0f);
    d.PALETTE_BLUE(index) = trunc_sat(blue * 255.0f);
    SETBMPCOLOUR(index, d.PALETTE_RED(index), d.PALETTE_GREEN(index), d.PALETTE_BLUE(index));
}

void RGBENQ(int index, float& red, float& green, float& blue) {
    if (index < 0 || index > 255) {
        warn(59, "gDefineRGB(RGBDEF)");
        return;
    }
    red = float(GINO_DRAW.PALETTE_RED(index)) / 255.0f;
    green = float(GINO_DRAW.PALETTE_GREEN(index)) / 255.0f;
    blue = float(GINO_DRAW.PALETTE_BLUE(index)) / 255.0f;
}

void PIXCOP(int a, int b, int c, int d, int e, int f, int g, int h) { IMAGECOPY(a, b, c, d, e, f, g, h); }

namespace {
// Index (from 0) of pixel j (from 1) of row r in an array with leading dimension ld; -1 when
// it does not fit an int.
long long pixel_index(int ld, int row, int column, int r, int j) {
    return (static_cast<long long>(row) + r) * ld + column + j - 1;
}
}  // namespace

void PIXGET(int a, int b, int ld, int, int column, int row, int ncols, int nrows, int* array) {
    if (ncols > kPixelRowCapacity || !array) return;
    std::array<int, kPixelRowCapacity> buffer{};
    IMAGEGETINIT(a, b, ncols, nrows, 2);
    for (int r = 0; r < nrows; ++r) {
        IMAGEGETDATA(r, 2, buffer.data(), ncols);
        for (int j = 1; j <= ncols; ++j) {
            const long long k = pixel_index(ld, row, column, r, j);
            if (k >= 0) array[k] = buffer[std::size_t(j - 1)];
        }
    }
    IMAGEGETEND();
}

void PIXDRA(int a, int b, int ld, int, int column, int row, int ncols, int nrows, const int* array) {
    if (ncols > kPixelRowCapacity || !array) return;
    std::array<int, kPixelRowCapacity> buffer{};
    IMAGEDRAWINIT(a, b, ncols, nrows, 2);
    for (int r = 0; r < nrows; ++r) {
        for (int j = 1; j <= ncols; ++j) {
            const long long k = pixel_index(ld, row, column, r, j);
            buffer[std::size_t(j - 1)] = k >= 0 ? array[k] : 0;
        }
        IMAGEDRAWDATA(r, 2, buffer.data(), ncols);
    }
    IMAGEDRAWEND(ncols, nrows);
}

void gino_console_warning(std::string_view title, std::string_view text) { GMERROR(title, text, 0); }
