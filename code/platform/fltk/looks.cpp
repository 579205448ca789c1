#include "platform/fltk/looks.h"

#include <algorithm>
#include <cmath>
#include <string_view>
#include <vector>

#include "platform/graphics_model.h"
#include "platform/widget_extra.h"

// FLTK last: its X11 headers define macros that clash with our names.
#include <FL/Enumerations.H>
#include <FL/Fl_Input_.H>
#include <FL/Fl_Widget.H>
#include <FL/fl_draw.H>

namespace wl::fltk {
namespace {

constexpr int kLibraryPoints = 8;
constexpr int kLeastSize = 9;

// The values of a registration the widget was created with (empty when it had none).
const std::vector<double>* registered(const Widget& w, std::string_view entry) {
    auto it = w.reg.other.find(entry);
    return it == w.reg.other.end() ? nullptr : &it->second;
}

bool one_line_entry(const Widget& w) { return w.kind == KIND_TEXT || w.kind == KIND_VALUE; }

// The text size of a widget: font attribute 1 (the character size in points) when it was set.
bool registered_size(const Widget& w, int& size) {
    size = FL_NORMAL_SIZE;
    const WidgetExtra* x = find_extra(w.id);
    if (!x) return false;
    auto it = x->font.find(1);
    if (it == x->font.end()) return false;
    size = pixel_size_of_points(it->second);
    return true;
}

}  // namespace

unsigned colour_of_code(int code, unsigned fallback) {
    gfx::Rgb c;
    if (!gfx::colour_of_code(code, c)) return fallback;
    return fl_rgb_color(c.r, c.g, c.b);
}

int pixel_size_of_points(int points) {
    if (points <= 0) return FL_NORMAL_SIZE;
    // Large enough to read, small enough that a caption stays within a window.
    const long px = std::lround(double(points) * FL_NORMAL_SIZE / kLibraryPoints);
    return int(std::clamp<long>(px, 6, 96));
}

void apply_looks(Fl_Widget* f, const Widget& w) {
    if (!f) return;
    int size = FL_NORMAL_SIZE;
    if (registered_size(w, size)) f->labelsize(size);
    if (w.kind == KIND_TEXT || w.kind == KIND_VALUE || w.kind == KIND_EDITOR) {
        auto* in = static_cast<Fl_Input_*>(f);
        in->textsize(size);
        // The third text attribute colours the text.
        const auto* attr = registered(w, w.kind == KIND_VALUE ? "REGVALUEATTR" : "REGTEXTATTR");
        const int colour = attr && attr->size() >= 3 ? int((*attr)[2]) : 0;
        in->textcolor(colour_of_code(colour, FL_FOREGROUND_COLOR));
        fit_text(f, w);
    }
}

void fit_text(Fl_Widget* f, const Widget& w) {
    if (!f || !one_line_entry(w)) return;
    auto* in = static_cast<Fl_Input_*>(f);
    int size = FL_NORMAL_SIZE;
    registered_size(w, size);
    // A one-line entry narrower than its text shows it in a smaller size, down to a readable
    // least, rather than cut a number or caption short.
    if (in->value()) {
        fl_font(in->textfont(), size);
        const int room = in->w() - 6;
        while (size > kLeastSize && fl_width(in->value()) > room) fl_font(in->textfont(), --size);
    }
    in->textsize(size);
}

}  // namespace wl::fltk
