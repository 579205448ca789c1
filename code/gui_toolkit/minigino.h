// The GINO-F drawing layer: graphics start-up and settings, the drawing state with its palette,
// the world-to-pixel transform and the drawing primitives, and the graphics module procedures.
// Coordinates are 32-bit world coordinates of the current surface (y upward); pixels count
// from the top-left corner of the surface. Misuse gives a "GINO-F warning NN - ..." console
// message with code 0 and the primitive does nothing.
#pragma once
#include <string>
#include <string_view>

#include "include/toolkit_services.h"
#include "runtime/farray.h"

// ---- drawing state and palette ----
struct GinoDrawState {
    int DRAW_WIDTH = 0, DRAW_HEIGHT = 0;     // pixel size of the current surface
    float DRAW_XSCALE = 0, DRAW_YSCALE = 0;  // pixels per world unit
    float DRAW_XORIGIN = 0, DRAW_YORIGIN = 0;  // world coordinates of the left and bottom edges
    rt::FArray<int, 2> DRAW_POINT;           // current point in pixels
    // Character size in pixels (CHAR_WIDTH and CHAR_HEIGHT; <climits> owns those two names).
    int CHAR_WIDTH_PX = 0, CHAR_HEIGHT_PX = 0;
    float CHAR_ANGLE = 0;                    // text angle in degrees
    int PEN_SLOT = 0;                        // palette index + 1, or 256 for a true colour
    rt::FArray<int, 256, 0> PALETTE_RED, PALETTE_GREEN, PALETTE_BLUE;  // 0..255 each
};
inline GinoDrawState GINO_DRAW;

// ---- library settings and state ----
struct GinoSettings {
    rt::FArray<int, 33> GINO_SETTINGS;  // settings 1..33
    int GINO_STATE = 0;                 // 1 once gOpenGino has run
    int VALUE_CODE2 = 0, VALUE_CODE3 = 0, VALUE_GENERAL = 0;  // the slots written by GF19VS
};
inline GinoSettings GINO_SET;

// Puts the drawing state, the settings and the library's frames back to the load state (tests).
void reset_gino_state();

// ---- start-up and settings ----
void GINO();
int GFSINQ(int n);
void GF19VS(int code, int value);
// values: at least min(n, 3) elements.
void GINENQ(int& state, int* values, int n);
// status code: 0 unknown, 1 old, 2 new, 3 scratch, 4 old (must exist); access 0 sequential,
// 1 direct; form 0 formatted, 1 unformatted. unit -1 picks a free unit. result 0 opened,
// -1 missing (old) or present (new), -2 no free unit, else the open's I/O status.
void GFOPNF(int& unit, std::string_view name, int status_code, int access_code, int form_code,
            int record_length, int& result);
void GINOCF(int unit);
void GFCLF(int unit, int mode, int& result);
int GFLEN(std::string_view text);
int GFSTRI(std::string_view text, int& status);
void GFWRF2();

// Device-level routines with nothing to do here.
void DEVSUS();
void GUIWIN();
void OGLWIN();
void DEVEND();
void GINEND();
void PICCLE();
void SCRCLE();
void WOGLO3();
void WOGLD3(int render);
// Three-dimensional frames, drawn as two-dimensional ones: WOGLS3 selects the bitmap of the
// rendering context (the frame's) for drawing, WOGLC3 clears it, OWINFS sets the world-to-pixel
// transform of a surface of w x h pixels with sx, sy pixels per world unit and (x0, y0) at its
// bottom left.
void WOGLS3(int render, float sx, float sy, float x0, float y0);
void WOGLC3(int render);
void OWINFS(int w, int h, float sx, float sy, float x0, float y0);
void WOGLPP(int mode);
void DUMMY();
void PAPENQ(float& width, float& height);
void PIXENQ(int& width, int& height);

// ---- primitives (MOVTO2, LINTO2, LINCOL, CHASIZ, CHASTR, RFILL, FLUSHG in toolkit_services.h) ----
void GWINFS(int w, int h, float sx, float sy, float x0, float y0);
void CHAANG(float angle);
void POLTO2(const float* x, const float* y, int n);
void POFTO2(int fill_style, int line_style, int unused, const float* x, const float* y, int n);
void TRUCOL(float red, float green, float blue, int& colour);
void RGBDEF(int index, float red, float green, float blue);
void RGBENQ(int index, float& red, float& green, float& blue);
void PIXCOP(int a, int b, int c, int d, int e, int f, int g, int h);
// The array is taken as a sequence with leading dimension ld; element (row + r) * ld + column + j
// (counted from 1) holds pixel j of row r.
void PIXGET(int a, int b, int ld, int unused, int column, int row, int ncols, int nrows, int* array);
void PIXDRA(int a, int b, int ld, int unused, int column, int row, int ncols, int nrows, const int* array);
// Longest row that PIXGET and PIXDRA move; a longer row is refused.
inline constexpr int kPixelRowCapacity = 4096;

// Sends a drawing warning to the toolkit's console with code 0.
void gino_console_warning(std::string_view title, std::string_view text);

// World point to pixel by the current transform; false (nothing converted) when a coordinate
// is not finite or the pixel lies beyond any representable surface.
bool gino_to_pixel(float x, float y, int& px, int& py);

// ---- graphics module procedures ----
struct GPOINT2 { float x = 0, y = 0; };
struct GLIMIT { float xmin = 0, xmax = 0, ymin = 0, ymax = 0; };
struct GCOLOUR { float red = 0, green = 0, blue = 0; };
struct GSTATE { int state = 0; int values[3] = {0, 0, 0}; };

void gOpenGino();
void GGUIWIN();
void GOGLWIN();
void GCLOSEDEVICE();
void GCLOSEGINO();
void GNEWDRAWING();
void GFLUSHGRAPHICS();
void GMOVETO2D(float x, float y);
void GDRAWLINETO2D(float x, float y);
void gSetLineColour(int colour);
void gSetCharSize(float width, float height);
void GSETSTRANGLE(float angle);
void GDISPLAYSTR(std::string_view text);
void gFillRect(int fill_style, int line_style, const GLIMIT& rect);
void gDrawPolylineTo2D(int n, const GPOINT2* points);
void gFillPolygonTo2D(int fill_style, int line_style, int third, int n, const GPOINT2* points);
void gDefineRGB(int index, float red, float green, float blue);
void GENQRGB(int index, GCOLOUR& colour);
int GTRUECOL(float red, float green, float blue);
int GTRUELEN(std::string_view text);
void GENQGINOSTATE(GSTATE& state);
void GCOPYPIXELAREA(int a, int b, int c, int d, int e, int f, int g, int h);
void GDRAWPIXELAREA(int a, int b, int ld, int unused, int column, int row, int ncols, int nrows, const int* array);
