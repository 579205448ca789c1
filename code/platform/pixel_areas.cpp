// Pixel areas of our widget library's bitmaps: a frame's picture as pixels (rasterise), and the
// image entries that read a rectangle of it back and draw one into it (graphics_model.h).
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "platform/graphics_model.h"
#include "platform/model.h"

namespace gfx {
namespace {

struct Canvas {
    int w, h;
    std::vector<Rgb>& px;
    void set(int x, int y, const Rgb& c) {
        if (x >= 0 && y >= 0 && x < w && y < h) px[std::size_t(y) * std::size_t(w) + std::size_t(x)] = c;
    }
};

// Bresenham's line, both end pixels included.
void line(Canvas& c, Point a, const Point& b, const Rgb& colour) {
    const int dx = std::abs(b.x - a.x), sx = a.x < b.x ? 1 : -1;
    const int dy = -std::abs(b.y - a.y), sy = a.y < b.y ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        c.set(a.x, a.y, colour);
        if (a.x == b.x && a.y == b.y) break;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            a.x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            a.y += sy;
        }
    }
}

// A filled polygon: the pixels whose centres lie inside (even-odd rule), and its outline, as
// the front ends draw it.
void polygon(Canvas& c, const std::vector<Point>& pts, const Rgb& colour) {
    const std::size_t n = pts.size();
    int ymin = pts[0].y, ymax = pts[0].y;
    for (const Point& p : pts) {
        ymin = std::min(ymin, p.y);
        ymax = std::max(ymax, p.y);
    }
    ymin = std::max(ymin, 0);
    ymax = std::min(ymax, c.h - 1);
    std::vector<double> xs;
    for (int y = ymin; y <= ymax; ++y) {
        const double yc = y + 0.5;
        xs.clear();
        for (std::size_t i = 0; i < n; ++i) {
            const Point& p = pts[i];
            const Point& q = pts[(i + 1) % n];
            if ((p.y <= yc) == (q.y <= yc)) continue;
            xs.push_back(p.x + (yc - p.y) * double(q.x - p.x) / double(q.y - p.y));
        }
        std::sort(xs.begin(), xs.end());
        for (std::size_t k = 0; k + 1 < xs.size(); k += 2) {
            const int x0 = std::max(0, int(std::ceil(xs[k] - 0.5)));
            const int x1 = std::min(c.w - 1, int(std::floor(xs[k + 1] - 0.5)));
            for (int x = x0; x <= x1; ++x) c.set(x, y, colour);
        }
    }
    for (std::size_t i = 0; i < n; ++i) line(c, pts[i], pts[(i + 1) % n], colour);
}

// An area being read (IMAGEGETINIT) or drawn (IMAGEDRAWINIT) on the selected bitmap.
struct Area {
    bool open = false;
    int frame = 0;
    int x = 0, y = 0, cols = 0, rows = 0;
    std::vector<Rgb> px;  // reading: the whole bitmap; drawing: the part of the area in the bitmap
    int bitmap_w = 0;
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;  // drawing: the part in the bitmap, in bitmap pixels
    std::vector<bool> given;              // drawing: the rows of that part given so far
    Rgb background = kFrameBackground;
};

Area& reading() {
    static Area a;
    return a;
}
Area& drawing() {
    static Area a;
    return a;
}

const bool registered = [] {
    wl::add_reset_hook("pixel_areas", [] {
        reading() = Area{};
        drawing() = Area{};
    });
    return true;
}();

// An area size as given, or 0 for a negative one; never more pixels than an int counts.
int extent(int v) { return std::clamp(v, 0, 1 << 15); }

}  // namespace

int pixel_value(const Rgb& c) { return 65536 * c.r + 256 * c.g + c.b; }

Rgb pixel_colour(int value) {
    const auto v = static_cast<std::uint32_t>(value);
    return {std::uint8_t((v >> 16) & 0xFF), std::uint8_t((v >> 8) & 0xFF), std::uint8_t(v & 0xFF)};
}

std::vector<Rgb> rasterise(const FrameGraphics& f) {
    const int w = std::max(f.width, 0), h = std::max(f.height, 0);
    std::vector<Rgb> px(std::size_t(w) * std::size_t(h), f.background);
    Canvas c{w, h, px};
    for (const DrawOp& op : f.list) {
        switch (op.kind) {
            case OpKind::Pixel:
                if (!op.points.empty()) c.set(op.points[0].x, op.points[0].y, op.colour);
                break;
            case OpKind::Line:
                if (op.points.size() == 2) line(c, op.points[0], op.points[1], op.colour);
                break;
            case OpKind::Polygon:
                if (op.points.size() >= 3) polygon(c, op.points, op.colour);
                break;
            case OpKind::Image:
                if (op.points.empty()) break;
                for (int r = 0; r < op.image_h; ++r)
                    for (int k = 0; k < op.image_w; ++k) {
                        const std::size_t i = std::size_t(r) * std::size_t(op.image_w) + std::size_t(k);
                        if (i < op.pixels.size()) c.set(op.points[0].x + k, op.points[0].y + r, op.pixels[i]);
                    }
                break;
            case OpKind::Text:
                break;  // glyphs belong to the front end's font
        }
    }
    return px;
}

}  // namespace gfx

void IMAGECOPY(int, int, int, int, int, int, int, int) {}

void IMAGEGETINIT(int a, int b, int ncols, int nrows, int mode) {
    wl::trace_call("IMAGEGETINIT", a, b, ncols, nrows, mode);
    gfx::Area& r = gfx::reading();
    r = gfx::Area{};
    r.open = true;
    r.x = a;
    r.y = b;
    r.cols = gfx::extent(ncols);
    r.rows = gfx::extent(nrows);
    if (const gfx::FrameGraphics* f = gfx::frame(gfx::selected())) {
        r.frame = gfx::selected();
        r.px = gfx::rasterise(*f);
        r.bitmap_w = f->width;
        r.background = f->background;
    }
}

void IMAGEGETDATA(int row, int mode, int* buffer, int n) {
    if (!buffer || n <= 0) return;
    const gfx::Area& r = gfx::reading();
    const int bitmap_h = r.bitmap_w > 0 ? int(r.px.size() / std::size_t(r.bitmap_w)) : 0;
    const long long y = static_cast<long long>(r.y) + row;
    for (int k = 0; k < n; ++k) {
        const long long x = static_cast<long long>(r.x) + k;
        gfx::Rgb c = r.background;
        if (r.open && row >= 0 && row < r.rows && k < r.cols && x >= 0 && y >= 0 && x < r.bitmap_w && y < bitmap_h)
            c = r.px[std::size_t(y) * std::size_t(r.bitmap_w) + std::size_t(x)];
        buffer[k] = gfx::pixel_value(c);
    }
}

void IMAGEGETEND() {
    wl::trace_call("IMAGEGETEND");
    gfx::reading() = gfx::Area{};
}

void IMAGEDRAWINIT(int a, int b, int ncols, int nrows, int mode) {
    wl::trace_call("IMAGEDRAWINIT", a, b, ncols, nrows, mode);
    gfx::Area& d = gfx::drawing();
    d = gfx::Area{};
    const gfx::FrameGraphics* f = gfx::frame(gfx::selected());
    if (!f) return;
    d.open = true;
    d.frame = gfx::selected();
    d.x = a;
    d.y = b;
    d.cols = gfx::extent(ncols);
    d.rows = gfx::extent(nrows);
    // Only the part inside the bitmap is kept: columns x0..x1-1 and rows y0..y1-1 of it.
    d.x0 = int(std::clamp<long long>(a, 0, f->width));
    d.y0 = int(std::clamp<long long>(b, 0, f->height));
    d.x1 = int(std::clamp<long long>(static_cast<long long>(a) + d.cols, d.x0, f->width));
    d.y1 = int(std::clamp<long long>(static_cast<long long>(b) + d.rows, d.y0, f->height));
    d.px.assign(std::size_t(d.x1 - d.x0) * std::size_t(d.y1 - d.y0), f->background);
    d.given.assign(std::size_t(d.y1 - d.y0), false);
}

namespace {

// Pixel k of area row r from value v, when it lies in the bitmap.
void put(gfx::Area& d, int r, int k, int v) {
    const long long x = static_cast<long long>(d.x) + k, y = static_cast<long long>(d.y) + r;
    if (x < d.x0 || x >= d.x1 || y < d.y0 || y >= d.y1) return;
    d.px[std::size_t(y - d.y0) * std::size_t(d.x1 - d.x0) + std::size_t(x - d.x0)] = gfx::pixel_colour(v);
    d.given[std::size_t(y - d.y0)] = true;
}

}  // namespace

void IMAGEDRAWDATA(int row, int mode, const int* buffer, int n) {
    wl::trace_call("IMAGEDRAWDATA", row, mode, n);
    gfx::Area& d = gfx::drawing();
    if (!d.open || !buffer || row < 0 || row >= d.rows) return;
    const int m = std::min(n, d.cols);
    for (int k = 0; k < m; ++k) put(d, row, k, buffer[k]);
}

void IMAGEDRAWFASTDATA(const int* data, int mode) {
    wl::trace_call("IMAGEDRAWFASTDATA", mode);
    gfx::Area& d = gfx::drawing();
    if (!d.open || !data) return;
    // The caller's array holds the whole area, row by row; only the pixels in the bitmap are read.
    for (int y = d.y0; y < d.y1; ++y)
        for (int x = d.x0; x < d.x1; ++x) {
            const int r = y - d.y, k = x - d.x;
            put(d, r, k, data[std::size_t(r) * std::size_t(d.cols) + std::size_t(k)]);
        }
}

void IMAGEDRAWEND(int ncols, int nrows) {
    wl::trace_call("IMAGEDRAWEND", ncols, nrows);
    gfx::Area d = std::move(gfx::drawing());
    gfx::drawing() = gfx::Area{};
    gfx::FrameGraphics* f = gfx::frame(d.frame);
    if (!d.open || !f) return;
    // One image per run of rows given; rows not given show what was there.
    const int w = d.x1 - d.x0;
    for (int y = d.y0; y < d.y1;) {
        if (!d.given[std::size_t(y - d.y0)]) {
            ++y;
            continue;
        }
        int end = y;
        while (end < d.y1 && d.given[std::size_t(end - d.y0)]) ++end;
        gfx::DrawOp op;
        op.kind = gfx::OpKind::Image;
        op.points = {{d.x0, y}};
        op.image_w = w;
        op.image_h = end - y;
        op.pixels.assign(d.px.begin() + std::ptrdiff_t(std::size_t(y - d.y0) * std::size_t(w)),
                         d.px.begin() + std::ptrdiff_t(std::size_t(end - d.y0) * std::size_t(w)));
        f->list.push_back(std::move(op));
        y = end;
    }
    ++f->serial;
}
