// Graphics frames of our widget library: world boxes, pixel sizes and display lists.
#include "platform/graphics_model.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <map>

#include "platform/model.h"

namespace gfx {
namespace {

struct Library {
    Library();
    std::map<int, FrameGraphics> frames;
    int selected = 0;
    Rgb pen{0, 0, 0};
    std::array<Rgb, 256> palette{};
    std::array<bool, 256> defined{};  // entries that hold a colour
    std::function<void(int)> hook;
};

Library::Library() {
    for (int i = 0; i <= 10; ++i) palette[std::size_t(i)] = kDefaultPalette[i];
    for (int i = 11; i <= 19; ++i) {
        int r = 0, g = 0, b = 0;
        GETSYSCOLOUR(i, r, g, b);
        palette[std::size_t(i)] = {std::uint8_t(r), std::uint8_t(g), std::uint8_t(b)};
    }
    for (int i = 0; i <= 19; ++i) defined[std::size_t(i)] = true;
}

Library& lib() {
    static Library l;
    return l;
}

FrameGraphics* current() { return frame(lib().selected); }

// The frames belong to widgets: a fresh model has none.
const bool registered = [] {
    wl::add_reset_hook("graphics_model", [] { reset(); });
    return true;
}();

void changed(FrameGraphics& f) { ++f.serial; }

// A text anchored further than this from the bitmap cannot reach into it.
constexpr long long kTextReach = 1 << 14;

}  // namespace

FrameGraphics* frame(int id) {
    auto it = lib().frames.find(id);
    return it == lib().frames.end() ? nullptr : &it->second;
}

FrameGraphics& create_frame(int id, int width, int height) {
    FrameGraphics& f = lib().frames[id];
    const unsigned serial = f.serial;
    f = FrameGraphics{};
    f.width = std::max(width, 0);
    f.height = std::max(height, 0);
    f.serial = serial + 1;
    return f;
}

void resize_frame(int id, int width, int height) {
    if (FrameGraphics* f = frame(id)) {
        f->width = std::max(width, 0);
        f->height = std::max(height, 0);
        changed(*f);
    }
}

void remove_frame(int id) {
    lib().frames.erase(id);
    if (lib().selected == id) lib().selected = 0;
}

void reset() {
    auto hook = std::move(lib().hook);
    lib() = Library{};
    lib().hook = std::move(hook);
}

int selected() { return lib().selected; }

void select(int id) { lib().selected = frame(id) ? id : 0; }

void cell_size(int& width, int& height) {
    const wl::Model& m = wl::model();
    width = m.grid_nx > 0 ? m.screen_w / m.grid_nx : 0;
    height = m.grid_ny > 0 ? m.screen_h / m.grid_ny : 0;
}
Rgb pen() { return lib().pen; }

bool colour_of_code(int code, Rgb& colour) {
    constexpr int kTrueColour = 16777216;
    if (code >= 1 && code <= 255) {
        if (!lib().defined[std::size_t(code)]) return false;
        colour = lib().palette[std::size_t(code)];
        return true;
    }
    if (code >= kTrueColour) {
        const int c = code - kTrueColour;
        colour = {std::uint8_t((c / 65536) % 256), std::uint8_t((c / 256) % 256), std::uint8_t(c % 256)};
        return true;
    }
    return false;
}

void set_update_hook(std::function<void(int)> hook) { lib().hook = std::move(hook); }

static int round_to_int(double v) { return int(std::lround(v)); }

bool clip_line(int w, int h, long long x0, long long y0, long long x1, long long y1, Point& a, Point& b) {
    if (w <= 0 || h <= 0) return false;
    // Liang-Barsky against the pixel centres' box.
    const double xmin = 0, ymin = 0, xmax = w - 1, ymax = h - 1;
    const double dx = double(x1 - x0), dy = double(y1 - y0);
    double t0 = 0.0, t1 = 1.0;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {double(x0) - xmin, xmax - double(x0), double(y0) - ymin, ymax - double(y0)};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0) return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0.0) {
            if (t > t1) return false;
            t0 = std::max(t0, t);
        } else {
            if (t < t0) return false;
            t1 = std::min(t1, t);
        }
    }
    const auto clampx = [&](double v) { return std::clamp(round_to_int(v), 0, w - 1); };
    const auto clampy = [&](double v) { return std::clamp(round_to_int(v), 0, h - 1); };
    a = {clampx(double(x0) + t0 * dx), clampy(double(y0) + t0 * dy)};
    b = {clampx(double(x0) + t1 * dx), clampy(double(y0) + t1 * dy)};
    return true;
}

std::vector<Point> clip_polygon(int w, int h, const std::vector<Point>& in) {
    std::vector<Point> out;
    if (w <= 0 || h <= 0 || in.empty()) return out;
    struct P { double x, y; };
    std::vector<P> poly;
    poly.reserve(in.size());
    for (const Point& p : in) poly.push_back({double(p.x), double(p.y)});
    const double lim[4] = {0.0, double(w - 1), 0.0, double(h - 1)};
    for (int edge = 0; edge < 4 && !poly.empty(); ++edge) {
        const bool is_x = edge < 2;
        const bool keep_above = edge % 2 == 0;  // left and top edges keep larger values
        const double c = lim[edge];
        auto inside = [&](const P& p) {
            const double v = is_x ? p.x : p.y;
            return keep_above ? v >= c : v <= c;
        };
        std::vector<P> next;
        next.reserve(poly.size() + 4);
        for (std::size_t i = 0; i < poly.size(); ++i) {
            const P& cur = poly[i];
            const P& prev = poly[(i + poly.size() - 1) % poly.size()];
            const bool ci = inside(cur), pi = inside(prev);
            if (ci != pi) {
                const double pv = is_x ? prev.x : prev.y, cv = is_x ? cur.x : cur.y;
                const double t = (c - pv) / (cv - pv);
                P q{prev.x + t * (cur.x - prev.x), prev.y + t * (cur.y - prev.y)};
                if (is_x) q.x = c; else q.y = c;
                next.push_back(q);
            }
            if (ci) next.push_back(cur);
        }
        poly.swap(next);
    }
    for (const P& p : poly) {
        Point q{std::clamp(round_to_int(p.x), 0, w - 1), std::clamp(round_to_int(p.y), 0, h - 1)};
        if (out.empty() || !(out.back() == q)) out.push_back(q);
    }
    while (out.size() > 1 && out.front() == out.back()) out.pop_back();
    return out;
}

}  // namespace gfx

using gfx::FrameGraphics;

void GETGLOBALSIZE(int cells_w, int cells_h, int& width, int& height) {
    int cw = 0, ch = 0;
    gfx::cell_size(cw, ch);
    const long long w = static_cast<long long>(std::max(cells_w, 0)) * cw;
    const long long h = static_cast<long long>(std::max(cells_h, 0)) * ch;
    width = int(std::min<long long>(w, 1 << 20));
    height = int(std::min<long long>(h, 1 << 20));
}

static int make_frame(int kind, int parent, int x, int y) {
    wl::Model& m = wl::model();
    const int id = m.create(kind, parent, x, y);
    const wl::Widget* w = m.find(id);
    int width = 0, height = 0;
    GETGLOBALSIZE(w->reg.min_w, w->reg.min_h, width, height);
    gfx::create_frame(id, width, height);
    return id;
}

void GRAPHICSFRAME(int parent, int x, int y, int& id) {
    wl::trace_call("GRAPHICSFRAME", parent, x, y);
    id = make_frame(wl::KIND_FRAME, parent, x, y);
}

void GRAPHICSFRAME3D(int parent, int x, int y, int, int& id) {
    wl::trace_call("GRAPHICSFRAME3D", parent, x, y);
    id = make_frame(wl::KIND_FRAME3D, parent, x, y);
}

void GETRENDER(int frame, int& render) { render = frame; }

void GETBITMAP(int frame) {
    wl::trace_call("GETBITMAP", frame);
    gfx::select(frame);
}

void GETBITMAPSIZE(int frame, int& width, int& height) {
    if (const FrameGraphics* f = gfx::frame(frame)) {
        width = f->width;
        height = f->height;
    } else {
        width = 0;
        height = 0;
    }
}

void GETFRAMESCALE(int frame, float& xrange, float& yrange, float& xorigin, float& yorigin) {
    if (const FrameGraphics* f = gfx::frame(frame)) {
        xrange = f->xrange;
        yrange = f->yrange;
        xorigin = f->xorigin;
        yorigin = f->yorigin;
    }
}

void SETFRAMESCALE(int frame, float xrange, float yrange, float xorigin, float yorigin) {
    wl::trace_call("SETFRAMESCALE", frame, xrange, yrange, xorigin, yorigin);
    if (FrameGraphics* f = gfx::frame(frame)) {
        f->xrange = xrange;
        f->yrange = yrange;
        f->xorigin = xorigin;
        f->yorigin = yorigin;
    }
}

void CLEARFRAME(int frame) {
    wl::trace_call("CLEARFRAME", frame);
    if (FrameGraphics* f = gfx::frame(frame)) {
        f->list.clear();
        gfx::changed(*f);
    }
}

void UPDATEFRAME() {
    wl::trace_call("UPDATEFRAME");
    if (gfx::lib().hook && gfx::lib().selected != 0) gfx::lib().hook(gfx::lib().selected);
}

void WINFLUSH() {
    wl::trace_call("WINFLUSH");
    if (gfx::lib().hook) gfx::lib().hook(0);
}

void DRAWMOVE(int x, int y) {
    wl::trace_call("DRAWMOVE", x, y);
    if (FrameGraphics* f = gfx::current()) f->position = {x, y};
}

void DRAWLINE(int x, int y) {
    wl::trace_call("DRAWLINE", x, y);
    FrameGraphics* f = gfx::current();
    if (!f) return;
    gfx::Point a, b;
    if (gfx::clip_line(f->width, f->height, f->position.x, f->position.y, x, y, a, b)) {
        gfx::DrawOp op;
        op.kind = gfx::OpKind::Line;
        op.colour = gfx::lib().pen;
        op.points = {a, b};
        f->list.push_back(std::move(op));
        gfx::changed(*f);
    }
    f->position = {x, y};
}

static std::uint8_t channel(int v) { return std::uint8_t(std::clamp(v, 0, 255)); }

void DRAWPIXEL(int x, int y, int red, int green, int blue) {
    wl::trace_call("DRAWPIXEL", x, y, red, green, blue);
    FrameGraphics* f = gfx::current();
    if (!f || x < 0 || y < 0 || x >= f->width || y >= f->height) return;
    gfx::DrawOp op;
    op.kind = gfx::OpKind::Pixel;
    op.colour = {channel(red), channel(green), channel(blue)};
    op.points = {{x, y}};
    f->list.push_back(std::move(op));
    gfx::changed(*f);
}

void DRAWPOLYGON(const int* points, int n) {
    if (wl::model().trace_on && points && n > 0) {
        std::string pts;
        for (int i = 0; i < 2 * n; ++i) pts += (i ? " " : "") + std::to_string(points[i]);
        wl::trace_call("DRAWPOLYGON", pts, n);
    }
    FrameGraphics* f = gfx::current();
    if (!f || n <= 0 || !points) return;
    std::vector<gfx::Point> in(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) in[std::size_t(i)] = {points[2 * i], points[2 * i + 1]};
    std::vector<gfx::Point> out = gfx::clip_polygon(f->width, f->height, in);
    if (out.empty()) return;
    gfx::DrawOp op;
    // A polygon without area still marks the pixels of its outline.
    op.kind = out.size() == 1 ? gfx::OpKind::Pixel : out.size() == 2 ? gfx::OpKind::Line : gfx::OpKind::Polygon;
    op.colour = gfx::lib().pen;
    op.points = std::move(out);
    f->list.push_back(std::move(op));
    gfx::changed(*f);
}

void DRAWSTRING(int x, int y, int char_width, int char_height, int angle_tenths, int, int, int,
                std::string_view, std::string_view text) {
    wl::trace_call("DRAWSTRING", x, y, char_width, char_height, angle_tenths, text);
    FrameGraphics* f = gfx::current();
    if (!f || f->width <= 0 || f->height <= 0) return;
    if (x < -gfx::kTextReach || y < -gfx::kTextReach || x > f->width + gfx::kTextReach ||
        y > f->height + gfx::kTextReach)
        return;
    gfx::DrawOp op;
    op.kind = gfx::OpKind::Text;
    op.colour = gfx::lib().pen;
    op.points = {{x, y}};
    op.text = std::string(text);
    op.char_width = char_width;
    op.char_height = char_height;
    op.angle_tenths = angle_tenths;
    f->list.push_back(std::move(op));
    gfx::changed(*f);
}

void CHANGEPEN(int index, int red, int green, int blue) {
    wl::trace_call("CHANGEPEN", index, red, green, blue);
    gfx::lib().pen = {channel(red), channel(green), channel(blue)};
}

void SETBMPCOLOUR(int index, int red, int green, int blue) {
    wl::trace_call("SETBMPCOLOUR", index, red, green, blue);
    if (index < 0 || index > 255) return;
    gfx::lib().palette[std::size_t(index)] = {channel(red), channel(green), channel(blue)};
    gfx::lib().defined[std::size_t(index)] = true;
}

void GETSYSCOLOUR(int index, int& red, int& green, int& blue) {
    // The desktop's colours for entries 11 to 19: a plain light theme.
    static constexpr unsigned char sys[9][3] = {
        {212, 208, 200},  // 11 face of buttons and dialogs
        {255, 255, 255},  // 12 window background
        {0, 0, 0},        // 13 window text
        {128, 128, 128},  // 14 shadow
        {255, 255, 255},  // 15 highlight
        {10, 36, 106},    // 16 selection
        {255, 255, 255},  // 17 selected text
        {128, 128, 128},  // 18 greyed text
        {64, 64, 64},     // 19 dark shadow
    };
    if (index < 11 || index > 19) {
        red = green = blue = 0;
        return;
    }
    red = sys[index - 11][0];
    green = sys[index - 11][1];
    blue = sys[index - 11][2];
}

std::string GFSENV(std::string_view name) {
    const char* v = std::getenv(std::string(name).c_str());
    return v ? std::string(v) : std::string();
}
