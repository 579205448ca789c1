// Replays a frame's display list. draw() only reads the list; pointer presses only queue events.
#include "platform/fltk/frame_view.h"

#include "platform/fltk/replay.h"
#include "platform/graphics_model.h"
#include "platform/model.h"

// FLTK last: its X11 headers define macros (Expose, ...) that clash with our names.
#include <FL/Fl.H>
#include <FL/fl_draw.H>

namespace wl::fltk {

FrameView::FrameView(int id, int x, int y, int w, int h) : Fl_Widget(x, y, w, h), id_(id) {
    box(FL_NO_BOX);
}

void FrameView::draw() {
    const gfx::FrameGraphics* f = gfx::frame(id_);
    const gfx::Rgb& b = f ? f->background : gfx::kFrameBackground;
    fl_push_clip(x(), y(), w(), h());
    fl_rectf(x(), y(), w(), h(), fl_rgb_color(b.r, b.g, b.b));
    if (f) replay(*f, x(), y());
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
