// Reads the image on the desktop's clipboard as another program pastes it (the X selection
// CLIPBOARD converted to "image/bmp", as FLTK offers a copied picture) and writes it as a binary
// PPM file. usage: clipboard_read OUT.ppm. Exit status 0 when an image was read, 1 when the
// clipboard held none within ten seconds, 2 for a usage error.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

namespace {

// Converts CLIPBOARD to target into a property of w; the bytes, empty when refused or late.
// Large transfers come in increments (INCR).
std::vector<unsigned char> convert(Display* d, Window w, Atom target) {
    const Atom clipboard = XInternAtom(d, "CLIPBOARD", False);
    const Atom prop = XInternAtom(d, "KV_CLIPBOARD", False);
    const Atom incr = XInternAtom(d, "INCR", False);
    XConvertSelection(d, clipboard, target, prop, w, CurrentTime);
    XFlush(d);
    std::vector<unsigned char> out;
    bool incremental = false;
    for (int tries = 0; tries < 1000; ++tries) {
        XEvent e;
        if (!XPending(d)) {
            struct timespec ts{0, 10000000};
            nanosleep(&ts, nullptr);
            continue;
        }
        XNextEvent(d, &e);
        const bool notify = e.type == SelectionNotify;
        const bool more = incremental && e.type == PropertyNotify && e.xproperty.atom == prop &&
                          e.xproperty.state == PropertyNewValue;
        if (notify && e.xselection.property == None) return {};
        if (!notify && !more) continue;
        Atom type = 0;
        int format = 0;
        unsigned long n = 0, left = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(d, w, prop, 0, 0x1FFFFFFF, True, AnyPropertyType, &type, &format, &n, &left, &data) !=
            Success)
            return {};
        const std::size_t bytes = n * std::size_t(format == 32 ? sizeof(long) : format / 8);
        if (notify && type == incr) {
            incremental = true;
        } else if (more && bytes == 0) {
            XFree(data);
            return out;
        } else if (data) {
            out.insert(out.end(), data, data + bytes);
            if (!incremental) {
                XFree(data);
                return out;
            }
        }
        if (data) XFree(data);
    }
    return {};
}

std::uint32_t le(const unsigned char* p, int n) {
    std::uint32_t v = 0;
    for (int i = n - 1; i >= 0; --i) v = (v << 8) | p[i];
    return v;
}

// A 24- or 32-bit uncompressed BMP file (or bare bitmap info) as a PPM file.
bool write_ppm(const std::vector<unsigned char>& bmp, const char* path) {
    std::size_t off = 0;
    if (bmp.size() >= 14 && bmp[0] == 'B' && bmp[1] == 'M') off = 14;
    if (bmp.size() < off + 40) return false;
    const unsigned char* h = bmp.data() + off;
    const int w = int(le(h + 4, 4));
    const int32_t raw_h = int32_t(le(h + 8, 4));
    const int bpp = int(le(h + 14, 2));
    const bool top_down = raw_h < 0;
    const int ht = top_down ? -raw_h : raw_h;
    if (w <= 0 || ht <= 0 || (bpp != 24 && bpp != 32)) return false;
    const std::size_t pixels = off == 14 ? le(bmp.data() + 10, 4) : off + le(h, 4);
    const std::size_t stride = (std::size_t(w) * std::size_t(bpp / 8) + 3) & ~std::size_t(3);
    if (bmp.size() < pixels + stride * std::size_t(ht)) return false;
    std::FILE* f = std::fopen(path, "wb");
    if (!f) return false;
    std::fprintf(f, "P6\n%d %d\n255\n", w, ht);
    for (int y = 0; y < ht; ++y) {
        const int row = top_down ? y : ht - 1 - y;
        const unsigned char* p = bmp.data() + pixels + stride * std::size_t(row);
        for (int x = 0; x < w; ++x, p += bpp / 8) {
            const unsigned char rgb[3] = {p[2], p[1], p[0]};
            std::fwrite(rgb, 1, 3, f);
        }
    }
    return std::fclose(f) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUT.ppm\n", argv[0]);
        return 2;
    }
    Display* d = XOpenDisplay(nullptr);
    if (!d) return 1;
    const Window w = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 1, 1, 0, 0, 0);
    XSelectInput(d, w, PropertyChangeMask);
    const std::vector<unsigned char> bmp = convert(d, w, XInternAtom(d, "image/bmp", False));
    const bool ok = !bmp.empty() && write_ppm(bmp, argv[1]);
    if (!ok) std::fprintf(stderr, "clipboard_read: no image on the clipboard (%zu bytes)\n", bmp.size());
    XDestroyWindow(d, w);
    XCloseDisplay(d);
    return ok ? 0 : 1;
}
