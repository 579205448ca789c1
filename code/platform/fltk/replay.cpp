// Replays a display list with FLTK's drawing calls; it only reads the list.
#include "platform/fltk/replay.h"

#include <algorithm>
#include <cmath>
#include <vector>

// FLTK last: its X11 headers define macros (Expose, ...) that clash with our names.
#include <FL/Fl.H>
#include <FL/fl_draw.H>

namespace wl::fltk {

namespace {
Fl_Color colour(const gfx::Rgb& c) { return fl_rgb_color(c.r, c.g, c.b); }

// Texts are drawn with the character height in pixels as font size, within legible limits.
int font_size(int char_height) { return std::clamp(char_height, 6, 200); }
}  // namespace

void replay(const gfx::FrameGraphics& f, int ox, int oy) {
    fl_rectf(ox, oy, f.width, f.height, colour(f.background));
    std::vector<unsigned char> rgb;
    for (const gfx::DrawOp& op : f.list) {
        fl_color(colour(op.colour));
        switch (op.kind) {
            case gfx::OpKind::Pixel:
                fl_point(ox + op.points[0].x, oy + op.points[0].y);
                break;
            case gfx::OpKind::Line:
                fl_line_style(FL_SOLID, 1);
                fl_line(ox + op.points[0].x, oy + op.points[0].y, ox + op.points[1].x, oy + op.points[1].y);
                break;
            case gfx::OpKind::Polygon:
                fl_begin_complex_polygon();
                for (const gfx::Point& p : op.points) fl_vertex(ox + p.x, oy + p.y);
                fl_end_complex_polygon();
                // The outline's pixels belong to the area as well.
                fl_begin_loop();
                for (const gfx::Point& p : op.points) fl_vertex(ox + p.x, oy + p.y);
                fl_end_loop();
                break;
            case gfx::OpKind::Text: {
                fl_font(FL_HELVETICA, font_size(op.char_height));
                // Anchored at the bottom left: the baseline sits the descent above the anchor.
                const double a = op.angle_tenths / 10.0 * M_PI / 180.0;
                const int d = fl_descent();
                const int bx = ox + op.points[0].x - int(std::lround(d * std::sin(a)));
                const int by = oy + op.points[0].y - int(std::lround(d * std::cos(a)));
                const int deg = op.angle_tenths / 10;
                if (deg == 0)
                    fl_draw(op.text.c_str(), bx, by);
                else
                    fl_draw(deg, op.text.c_str(), bx, by);
                break;
            }
            case gfx::OpKind::Image: {
                if (op.image_w <= 0 || op.image_h <= 0 ||
                    op.pixels.size() < std::size_t(op.image_w) * std::size_t(op.image_h))
                    break;
                rgb.resize(op.pixels.size() * 3);
                for (std::size_t i = 0; i < op.pixels.size(); ++i) {
                    rgb[3 * i] = op.pixels[i].r;
                    rgb[3 * i + 1] = op.pixels[i].g;
                    rgb[3 * i + 2] = op.pixels[i].b;
                }
                fl_draw_image(rgb.data(), ox + op.points[0].x, oy + op.points[0].y, op.image_w, op.image_h, 3);
                break;
            }
        }
    }
}

}  // namespace wl::fltk
