// Graphics frames of the widget layer: activation (the world-to-pixel transform of a frame),
// clearing, bounds, pixel size, the creation body, the clipboard and the printer page.
#include "gui_toolkit/frames.h"

#include <cmath>

#include "gui_toolkit/f77gui.h"
#include "gui_toolkit/minigino.h"
#include "platform/graphics_model.h"
#include "platform/model.h"
#include "platform/wingui.h"

namespace {

constexpr const char* kBlank = "      ";

void record(const char* name) { GINOTS(2, name); }
void done() { GINOTS(2, kBlank); }
bool no_master() { return IGETNEXTIDENTIFIER() < 2; }
bool is_frame_kind(int kind) { return kind == wl::KIND_FRAME || kind == wl::KIND_FRAME3D; }

// The checks of an operation on a given frame: master (error 1), a number from 2 (error 26), a
// graphics frame (error 31). The frame's kind, or 0 after the error.
int checked_frame_kind(int frame) {
    if (no_master()) {
        GMERR(1, 0);
        return 0;
    }
    if (frame < 2) {
        GMERR(26, 0);
        return 0;
    }
    const int kind = IGETWIDGETTYPE(frame);
    if (!is_frame_kind(kind)) {
        GMERR(31, 0);
        return 0;
    }
    return kind;
}

// Switches the drawing device to the one of a frame kind (2D or 3D) when the current frame is
// not of that kind. True when it switched.
bool use_device_of(int kind) {
    if (IGETWIDGETTYPE(FRAME_LAYER.CURRENT_FRAME) == kind) return false;
    DEVSUS();
    if (kind == wl::KIND_FRAME)
        GUIWIN();
    else
        OGLWIN();
    return true;
}

// World units per pixel of a surface; a surface without pixels maps one pixel to one unit.
void per_pixel(int w, int h, float xr, float yr, float& sx, float& sy) {
    if (w == 0 || h == 0) {
        sx = sy = 1.0f;
    } else {
        sx = xr / float(w);
        sy = yr / float(h);
    }
}

// Steps 3 to 5 of the activation, for a frame already checked.
void activate(int frame, int kind) {
    FrameLayerState& s = FRAME_LAYER;
    int w = 0, h = 0;
    float xr = 0, yr = 0, x0 = 0, y0 = 0;
    if (kind == wl::KIND_FRAME) {
        use_device_of(wl::KIND_FRAME);
        GETBITMAP(frame);
        GETBITMAPSIZE(frame, w, h);
        GETFRAMESCALE(frame, xr, yr, x0, y0);
        float sx, sy;
        per_pixel(w, h, xr, yr, sx, sy);
        GWINFS(w, h, sx, sy, x0, y0);
    } else {
        if (use_device_of(wl::KIND_FRAME3D)) MOVTO2(0.0f, 0.0f);
        GETBITMAPSIZE(frame, w, h);
        GETFRAMESCALE(frame, xr, yr, x0, y0);
        float sx = 1.0f, sy = 1.0f;
        if (w != 0 && h != 0) {
            sx = float(w) / xr;
            sy = float(h) / yr;
        }
        int r = 0;
        GETRENDER(frame, r);
        WOGLS3(r, sx, sy, x0, y0);
        OWINFS(w, h, sx, sy, x0, y0);
    }
    s.FRAME_XRANGE = xr;
    s.FRAME_YRANGE = yr;
    s.FRAME_XORIGIN = x0;
    s.FRAME_YORIGIN = y0;
    s.CURRENT_FRAME = frame;
}

}  // namespace

void reset_frame_layer() { FRAME_LAYER = FrameLayerState{}; }

void FRAACT(int frame) {
    record("gmActivateGraphicsFrame");
    if (const int kind = checked_frame_kind(frame)) activate(frame, kind);
    done();
}

void FRACLE(int frame) {
    record("gmClearGraphicsFrame");
    if (frame == 0) frame = FRAME_LAYER.CURRENT_FRAME;
    if (const int kind = checked_frame_kind(frame)) {
        use_device_of(kind);
        if (kind == wl::KIND_FRAME) {
            GETBITMAP(frame);
            CLEARFRAME(frame);
            UPDATEFRAME();
        } else {
            int r = 0;
            GETRENDER(frame, r);
            WOGLC3(r);
        }
        FRAME_LAYER.CURRENT_FRAME = frame;
        FRAACT(frame);  // records its own name and blanks it
        return;
    }
    done();
}

void FRAENQ(int frame, float& xmin, float& ymin, float& xmax, float& ymax) {
    record("gmEnqGraphicsFrameBounds");
    const FrameLayerState& s = FRAME_LAYER;
    if (no_master()) {
        GMERR(1, 0);
    } else if (frame == 0) {
        xmin = s.FRAME_XORIGIN;
        ymin = s.FRAME_YORIGIN;
        xmax = s.FRAME_XRANGE + s.FRAME_XORIGIN;
        ymax = s.FRAME_YRANGE + s.FRAME_YORIGIN;
    } else if (!is_frame_kind(IGETWIDGETTYPE(frame))) {
        GMERR(31, 0);
    } else {
        float xr = 0, yr = 0, x0 = 0, y0 = 0;
        GETFRAMESCALE(frame, xr, yr, x0, y0);
        xmin = x0;
        ymin = y0;
        xmax = xr + x0;
        ymax = yr + y0;
    }
    done();
}

void FRALIM(int frame, float x1, float y1, float x2, float y2) {
    record("gmSetGraphicsFrameBounds");
    if (frame == 0) frame = FRAME_LAYER.CURRENT_FRAME;
    if (no_master()) {
        GMERR(1, 0);
    } else if (frame <= 0) {
        GMERR(26, 0);
    } else if (!is_frame_kind(IGETWIDGETTYPE(frame))) {
        GMERR(31, 0);
    } else {
        const float dx = std::fabs(x2 - x1), dy = std::fabs(y2 - y1);
        // A box without width or height (or with a bound that is not a number) is ignored.
        if (dx >= 1e-30f && dy >= 1e-30f)
            SETFRAMESCALE(frame, dx, dy, std::fmin(x1, x2), std::fmin(y1, y2));
    }
    done();
}

void FRAPIX(int frame, int& i1, int& i2, int& i3, int& i4) {
    record("gmEnqGraphicsPixelBounds");
    if (no_master()) {
        GMERR(1, 0);
    } else if (frame < 0) {
        GMERR(26, 0);
    } else if (frame != 0 && !is_frame_kind(IGETWIDGETTYPE(frame))) {
        GMERR(31, 0);
    } else {
        const int f = frame == 0 ? FRAME_LAYER.CURRENT_FRAME : frame;
        int w = 0, h = 0;
        GETBITMAPSIZE(f, w, h);
        i1 = 0;
        i2 = 0;
        i3 = w;
        i4 = h;
    }
    done();
}

void FRATYP(int type) {
    if (type == 0 || type == 1)
        FRAME_LAYER.FRAME_TYPE = type;
    else
        GMERR(33, 0);
}

void FRADEF(int parent, int x, int y, float xrange, float yrange, int& id) {
    record("gmCreateGraphicsFrame");
    id = 0;
    const wl::Model& m = wl::model();
    FrameLayerState& s = FRAME_LAYER;
    if (no_master()) {
        GMERR(1, 0);
    } else if (parent < 1) {
        GMERR(26, 0);
    } else if (!(xrange > 0.0f) || !(yrange > 0.0f)) {
        GMERR(10, 0);
    } else if (const int pk = IGETWIDGETTYPE(parent); pk != 0 && pk != 2 && pk != 15) {
        GMERR(7, 0);
    } else if (POSITION_MODE(1) == 4 && POSITION_MODE(2) == 1 && parent == 1 &&
               IGETWIDGETTYPE(1) == wl::KIND_MASTER && IGETWIDGETTYPE(2) == wl::KIND_MDI) {
        GMERR(62, 0);
    } else if (s.FRAME_TYPE == 0) {
        use_device_of(wl::KIND_FRAME);
        GRAPHICSFRAME(parent, x, y, id);
        GETBITMAP(id);
        CHANGEPEN(0, 192, 192, 192);
        CLEARFRAME(id);
        SETFRAMESCALE(id, xrange, yrange, 0.0f, 0.0f);
        s.CURRENT_FRAME = id;
    } else {
        use_device_of(wl::KIND_FRAME3D);
        int w = 0, h = 0;
        GETGLOBALSIZE(m.reg.min_w, m.reg.min_h, w, h);
        if (w < 1) w = 1;
        if (h < 1) h = 1;
        int handle = 0;
        GETHANDLE(parent, handle);
        WOGLO3();
        GRAPHICSFRAME3D(parent, x, y, handle, id);
        SETFRAMESCALE(id, xrange, yrange, 0.0f, 0.0f);
        int r = 0;
        GETRENDER(id, r);
        WOGLS3(r, float(w) / xrange, float(h) / yrange, 0.0f, 0.0f);
        s.CURRENT_FRAME = id;
    }
    done();
}

void FRACLP(int frame, int mode) {
    record("gmCopyGraphicsToClipboard");
    if (frame == 0) frame = FRAME_LAYER.CURRENT_FRAME;
    if (no_master()) {
        GMERR(1, 0);
    } else if (frame < 2) {
        GMERR(26, 0);
    } else if (IGETWIDGETTYPE(frame) != wl::KIND_FRAME) {
        GMERR(31, 0);
    } else if (mode == 1) {
        FRAMECUTANDPASTE(frame, mode);
    } else if (mode == 0 || mode == -1) {
        if (mode == 0) FRAMECUTANDPASTE(frame, mode);
        GETBITMAP(frame);
        CLEARFRAME(frame);
        UPDATEFRAME();
    }
    done();
}

void gmActivateGraphicsFrame(int frame) { FRAACT(frame); }
void gmClearGraphicsFrame(int frame) { FRACLE(frame); }
void gmCopyGraphicsToClipboard(int frame, int mode) { FRACLP(frame, mode == -1 ? 0 : mode); }

void GUIPRT(int action, int& status) {
    record("gmPrinterControl");
    if (no_master()) {
        GMERR(1, 0);
    } else if (action < -1 || action > 3) {
        GMERR(35, 0);
    } else {
        int w = 0, h = 0;
        float xr = 0, yr = 0;
        PRINTJOB(action, status, w, h, xr, yr);
        if ((action == -1 || action == 0) && status == 1) {
            FRAME_LAYER.FRAME_XRANGE = xr;
            FRAME_LAYER.FRAME_YRANGE = yr;
            FRAME_LAYER.FRAME_XORIGIN = 0.0f;
            FRAME_LAYER.FRAME_YORIGIN = 0.0f;
            float sx, sy;
            per_pixel(w, h, xr, yr, sx, sy);
            GWINFS(w, h, sx, sy, 0.0f, 0.0f);
        }
    }
    done();
}
