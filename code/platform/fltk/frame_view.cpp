// Replays a frame's display list. draw() only reads the list; pointer presses only queue events.
#include "platform/fltk/frame_view.h"


#include <algorithm>
#include <cmath>

#include "platform/graphics_model.h"
#include "platform/model.h"

// FLTK last: its X11 headers define macros (Expose, ...) that clash with our names.
#include <FL/Fl.H>
#include <FL/fl_draw.H>

namespace wl::fltk {

namespace {
Fl_Color colour(const gfx::Rgb& c) { return fl_rgb_color(c.r, c.g, c.b); }

// Texts are drawn with the character height in pixels as font size, within legible limits.
int font_size(int char_height) { return std::clamp(char_height, 6, 200); }
}  // namespace

FrameView::FrameView(int id, int x, int y, int w, int h) : Fl_Widget(x, y, w, h), id_(id) {
    box(FL_NO_BOX);
}

void FrameView::draw() {
    const gfx::FrameGraphics* f = gfx::frame(id_);
    fl_push_clip(x(), y(), w(), h());
    fl_rectf(x(), y(), w(), h(), f ? colour(f->background) : colour(gfx::kFrameBackground));
    if (f) {
        const int ox = x(), oy = y();
        for (const gfx::DrawOp& op : f->list) {
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
            }
        }
    }
    fl_pop_clip();
}

int FrameView::handle(int event) {
    if (event != FL_PUSH) return Fl_Widget::handle(event);
    Model& m = model();
    const Widget* w = m.find(id_);
    if (!w || !m.operable(id_)) return 1;
    const int cb = w->callback();
    if (cb == 0) return 1;
    const gfx::FrameGraphics* f = gfx::frame(id_);
    Event e;
    e.callback = cb;
    e.widget = id_;
    e.kind = -1;
    e.x = Fl::event_x() - x();
    e.y = (f ? f->height : h()) - (Fl::event_y() - y());
    m.post(e);
    return 1;
}

}  // namespace wl::fltk
