// PostScript pages from display lists (see ps_file.h).
#include "platform/ps_file.h"

#include <cmath>

namespace wl {
namespace {

constexpr int kSheetW = 595, kSheetH = 842, kMargin = 18;

void colour(std::FILE* o, const gfx::Rgb& c) {
    std::fprintf(o, "%.4g %.4g %.4g setrgbcolor\n", c.r / 255.0, c.g / 255.0, c.b / 255.0);
}

// A PostScript string literal.
std::string literal(const std::string& s) {
    std::string out = "(";
    for (const char ch : s) {
        if (ch == '(' || ch == ')' || ch == '\\') out += '\\';
        out += ch;
    }
    return out + ")";
}

}  // namespace

PrintPage PostScriptFile::a4_page() {
    PrintPage p;
    p.width = kSheetW - 2 * kMargin;
    p.height = kSheetH - 2 * kMargin;
    p.width_mm = float(p.width) * 25.4f / 72.0f;
    p.height_mm = float(p.height) * 25.4f / 72.0f;
    return p;
}

bool PostScriptFile::open(const std::string& path) {
    close();
    out_ = std::fopen(path.c_str(), "w");
    if (!out_) return false;
    pages_ = 0;
    std::fprintf(out_, "%%!PS-Adobe-3.0\n%%%%Creator: Kelvorantide\n%%%%BoundingBox: 0 0 %d %d\n%%%%Pages: (atend)\n"
                       "%%%%EndComments\n", kSheetW, kSheetH);
    return true;
}

void PostScriptFile::page(const gfx::FrameGraphics& f) {
    if (!out_) return;
    ++pages_;
    std::FILE* o = out_;
    std::fprintf(o, "%%%%Page: %d %d\ngsave\n", pages_, pages_);
    // Page pixels with row 0 at the top of the printable area; pixel (x, y) covers the square
    // from its corner, so a line runs through the pixels' centres.
    std::fprintf(o, "%d %d translate 1 -1 scale 0.5 0.5 translate 1 setlinewidth 1 setlinecap\n", kMargin,
                 kSheetH - kMargin);
    std::fprintf(o, "%d %d %d %d rectclip\n", -1, -1, f.width + 1, f.height + 1);
    for (const gfx::DrawOp& op : f.list) {
        switch (op.kind) {
            case gfx::OpKind::Pixel:
                colour(o, op.colour);
                std::fprintf(o, "%g %g 1 1 rectfill\n", op.points[0].x - 0.5, op.points[0].y - 0.5);
                break;
            case gfx::OpKind::Line:
                colour(o, op.colour);
                std::fprintf(o, "newpath %d %d moveto %d %d lineto stroke\n", op.points[0].x, op.points[0].y,
                             op.points[1].x, op.points[1].y);
                break;
            case gfx::OpKind::Polygon: {
                colour(o, op.colour);
                std::fprintf(o, "newpath %d %d moveto", op.points[0].x, op.points[0].y);
                for (std::size_t k = 1; k < op.points.size(); ++k)
                    std::fprintf(o, " %d %d lineto", op.points[k].x, op.points[k].y);
                std::fprintf(o, " closepath gsave eofill grestore stroke\n");
                break;
            }
            case gfx::OpKind::Text: {
                colour(o, op.colour);
                // Anchored at the bottom left; the character height is the font size.
                const int size = op.char_height > 0 ? op.char_height : 12;
                std::fprintf(o, "gsave %d %d translate 1 -1 scale %.4g rotate /Helvetica findfont %d scalefont "
                                "setfont 0 0 moveto %s show grestore\n",
                             op.points[0].x, op.points[0].y, op.angle_tenths / 10.0, size, literal(op.text).c_str());
                break;
            }
            case gfx::OpKind::Image: {
                std::fprintf(o, "gsave %g %g translate %d %d scale %d %d 8 [%d 0 0 %d 0 0] currentfile /ASCIIHexDecode "
                                "filter false 3 colorimage\n",
                             op.points[0].x - 0.5, op.points[0].y - 0.5, op.image_w, op.image_h, op.image_w, op.image_h, op.image_w,
                             op.image_h);
                int n = 0;
                for (const gfx::Rgb& c : op.pixels) {
                    std::fprintf(o, "%02x%02x%02x", c.r, c.g, c.b);
                    if (++n % 24 == 0) std::fputc('\n', o);
                }
                std::fprintf(o, ">\ngrestore\n");
                break;
            }
        }
    }
    std::fprintf(o, "grestore\nshowpage\n");
}

bool PostScriptFile::close() {
    if (!out_) return true;
    std::fprintf(out_, "%%%%Trailer\n%%%%Pages: %d\n%%%%EOF\n", pages_);
    const bool ok = std::ferror(out_) == 0;
    const bool closed = std::fclose(out_) == 0;
    out_ = nullptr;
    return ok && closed;
}

}  // namespace wl
