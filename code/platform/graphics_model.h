// Graphics frames of our widget library: per frame the world box, the pixel size and a display
// list of what was drawn (pixels, lines, filled polygons, texts and pixel areas, in pixels, row 0
// at the top).
// Everything stored lies inside the bitmap (0..width-1, 0..height-1): lines and polygons are
// clipped when they are drawn, pixels outside are dropped, and a text whose anchor lies far off
// the bitmap is dropped (a front end clips the glyphs of the others). Texts are anchored at
// their bottom left. Front ends replay a frame's list; nothing here knows about them.
//
// The library entries keep the names the drawing layer calls them by (GETBITMAP, DRAWLINE, ...);
// they act on the bitmap selected last with GETBITMAP.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace gfx {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

struct Point {
    int x = 0, y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

enum class OpKind : std::uint8_t { Pixel, Line, Polygon, Text, Image };

struct DrawOp {
    OpKind kind = OpKind::Pixel;
    Rgb colour;
    // Pixel: 1, Line: 2, Polygon: 3 or more (a filled area), Text: the anchor, Image: its top
    // left pixel
    std::vector<Point> points;
    std::string text;           // Text only
    int char_width = 0, char_height = 0;  // Text: character cell in pixels
    int angle_tenths = 0;                 // Text: angle in tenths of a degree, anticlockwise
    int image_w = 0, image_h = 0;         // Image: its size in pixels, within the bitmap
    std::vector<Rgb> pixels;              // Image: image_w x image_h colours, row by row from the top
};

// The colour a new frame is cleared to.
inline constexpr Rgb kFrameBackground{192, 192, 192};

// The default palette, entries 0 to 10 (grey, black, red, orange, yellow, green, cyan, blue,
// magenta, brown, white). The library's palette starts as these and the system colours 11 to
// 19 (GETSYSCOLOUR); SETBMPCOLOUR changes an entry. Both the drawing layer's start-up and the
// front ends take their colours from here.
inline constexpr Rgb kDefaultPalette[11] = {
    {160, 160, 160}, {0, 0, 0},     {255, 0, 0},   {255, 128, 0}, {255, 255, 0}, {0, 255, 0},
    {0, 255, 255},   {0, 0, 255},   {255, 0, 255}, {128, 64, 0},  {255, 255, 255},
};
// The colour of a widget colour code: 1 to 255 the library's palette entry (when it holds a
// colour: 0 to 19 from the start, any other once SETBMPCOLOUR set it), a true colour
// (16777216 + 65536 red + 256 green + blue) as it stands. False for code 0 (the default of
// every attribute) and for codes that name no colour.
bool colour_of_code(int code, Rgb& colour);

struct FrameGraphics {
    int width = 0, height = 0;                 // pixel size of the bitmap
    float xrange = 1.0f, yrange = 1.0f;        // world extent
    float xorigin = 0.0f, yorigin = 0.0f;      // world coordinates of the left and bottom edges
    Rgb background = kFrameBackground;
    std::vector<DrawOp> list;
    Point position;                            // the library's own current position
    unsigned serial = 0;                       // grows with every change of the list
};

// Pixel size of one grid cell of the model's layout grid.
void cell_size(int& width, int& height);

// The frame of a widget id, nullptr when the id has no frame.
FrameGraphics* frame(int id);
// Makes (or remakes, emptied) the frame of widget id with the given pixel size.
FrameGraphics& create_frame(int id, int width, int height);
// Changes the pixel size of an existing frame (a front end that lays it out); the list is kept.
void resize_frame(int id, int width, int height);
void remove_frame(int id);
// Forgets every frame, the selection and the pen, and puts the palette back to its start (tests,
// start-up).
void reset();
// The bitmap that the drawing entries act on (0 when none is selected).
int selected();
// Selects bitmap id for drawing (0, or an id without a frame: none), as GETBITMAP does but
// without a trace: for the library's own surfaces (the printer page).
void select(int id);
Rgb pen();

// A front end's notice that frame id should be shown again (UPDATEFRAME, CLEARFRAME, WINFLUSH
// with id 0 meaning every frame). Optional; at most one is installed.
void set_update_hook(std::function<void(int id)> hook);

// The frame's picture as pixels (width x height, row by row from the top): the background with
// the pixels, lines, filled polygons and pixel areas of its list drawn over it in order. The
// glyphs of texts are the front end's font and are not part of it.
std::vector<Rgb> rasterise(const FrameGraphics& f);
// A pixel value of the pixel-area entries: 65536 x red + 256 x green + blue; and back (bits
// above the 24 colour bits are ignored).
int pixel_value(const Rgb& c);
Rgb pixel_colour(int value);

// The picture copied to the clipboard last (FRAMECUTANDPASTE): a copy of the frame as it was;
// nullptr before any copy.
const FrameGraphics* clipboard();

// Sound clipping helpers, exposed for the tests.
// Clips the segment to [0,w-1] x [0,h-1]; false when nothing of it is inside.
bool clip_line(int w, int h, long long x0, long long y0, long long x1, long long y1, Point& a, Point& b);
// Clips a polygon to [0,w-1] x [0,h-1] (Sutherland-Hodgman); an empty result when outside.
std::vector<Point> clip_polygon(int w, int h, const std::vector<Point>& in);

}  // namespace gfx

// ---- library entries (pixel coordinates, integer colours 0..255) ----
// Creates a graphics frame widget (kind 6) under parent at grid cell (x, y), its size the
// registered minimum size in grid cells; its bitmap has that size in pixels of the grid.
void GRAPHICSFRAME(int parent, int x, int y, int& id);
// The same for a frame with a rendering context of its own (kind 40).
void GRAPHICSFRAME3D(int parent, int x, int y, int handle, int& id);
// Pixel size of an area of cells_w x cells_h grid cells.
void GETGLOBALSIZE(int cells_w, int cells_h, int& width, int& height);
void GETRENDER(int frame, int& render);
// Copies the frame's picture to the clipboard (gfx::clipboard(), and the front end's clipboard);
// mode is the toolkit's (1 copy, 0 copy before a clear) and does not change the copy.
void FRAMECUTANDPASTE(int frame, int mode);
void GETBITMAP(int frame);                             // selects frame for drawing
void GETBITMAPSIZE(int frame, int& width, int& height);
void GETFRAMESCALE(int frame, float& xrange, float& yrange, float& xorigin, float& yorigin);
void SETFRAMESCALE(int frame, float xrange, float yrange, float xorigin, float yorigin);
void CLEARFRAME(int frame);
void UPDATEFRAME();
void WINFLUSH();
void DRAWMOVE(int x, int y);
void DRAWLINE(int x, int y);
void DRAWPIXEL(int x, int y, int red, int green, int blue);
// points: n pairs of pixel x and y.
void DRAWPOLYGON(const int* points, int n);
void DRAWSTRING(int x, int y, int char_width, int char_height, int angle_tenths, int c1, int c2, int c3,
                std::string_view font, std::string_view text);
void CHANGEPEN(int index, int red, int green, int blue);
// Palette entry index (0 to 255) becomes the colour; widget colour codes show it.
void SETBMPCOLOUR(int index, int red, int green, int blue);
void GETSYSCOLOUR(int index, int& red, int& green, int& blue);
// Pixel areas of the selected bitmap, pixel values as gfx::pixel_value. The area's top left
// pixel is (a, b), row 0 at the top; ncols x nrows pixels. Reading gives what was drawn
// (gfx::rasterise; a pixel outside the bitmap reads as the background). Drawing keeps the
// rows given between IMAGEDRAWINIT and IMAGEDRAWEND (a row not given keeps what was there) and
// adds the area to the display list at IMAGEDRAWEND; IMAGEDRAWFASTDATA gives every row at once.
// A copy (IMAGECOPY) does nothing.
void IMAGECOPY(int a, int b, int c, int d, int e, int f, int g, int h);
void IMAGEGETINIT(int a, int b, int ncols, int nrows, int mode);
void IMAGEGETDATA(int row, int mode, int* buffer, int n);
void IMAGEGETEND();
void IMAGEDRAWINIT(int a, int b, int ncols, int nrows, int mode);
void IMAGEDRAWDATA(int row, int mode, const int* buffer, int n);
// Every row of the area at once: data holds its ncols x nrows pixel values row by row.
void IMAGEDRAWFASTDATA(const int* data, int mode);
void IMAGEDRAWEND(int ncols, int nrows);
// Print job of two-dimensional drawing. While a page is open it is the bitmap the drawing
// entries act on (a display list like a frame's); the front end prints it.
//   0   starts a job: the print dialog asks where to print; status 1 with the page's pixel
//       size w, h and its extent xr, yr in millimetres, status 0 when cancelled. A job
//       already running is ended first (its page printed).
//  -1   starts a further page of the running job without asking (the page before it is
//       printed); without a running job as 0.
//   1   prints the page and ends the job; drawing goes back to the bitmap selected before.
//   2   abandons the job: the open page is not printed.
//   3   clears the open page.
// Actions 1, 2 and 3 give status 1 when a job was running, else 0 and do nothing.
void PRINTJOB(int action, int& status, int& w, int& h, float& xr, float& yr);
namespace gfx {
// The id of the printer page while a job runs (never a widget id).
inline constexpr int kPrinterPage = -2;
}  // namespace gfx
// The value of an environment variable, empty when unset.
std::string GFSENV(std::string_view name);
