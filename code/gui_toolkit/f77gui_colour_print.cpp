// The colour-choice dialog and the printer control of the toolkit layer.
//
// Printing goes through the library's print job for two-dimensional frames (GUIPRT, beside
// the frame operations) and through the three-dimensional page routines for frames of kind 40
// (OGLPRT). Three-dimensional printing does not exist here: its page routine starts no page,
// so OGLPRT reports status 0 for a page start (actions 0 and -1) and for action 2, and leaves
// the drawing transform alone.
#include <optional>

#include "gui_toolkit/f77gui_widgets.h"
#include "gui_toolkit/frames.h"
#include "gui_toolkit/menu_f90.h"
#include "gui_toolkit/minigino.h"
#include "gui_toolkit/widget_frame.h"
#include "platform/model.h"
#include "platform/widget_more.h"

using namespace wf;

namespace {

// The frame type of the last print job started through gmPrinterControl (0 before any).
int last_print_type = 0;

struct Init {
    Init() {
        wl::add_reset_hook("printer_control", [] { last_print_type = 0; });
    }
};
const Init init;

// A colour component 0..1 as 0..255 (truncated).
int component(float c) { return trunc_int(double(c) * 255.0); }

// Result of the three-dimensional page routine: it starts no page here.
constexpr int kPageRoutineResult = 1;

}  // namespace

void GUIRGB(float& red, float& green, float& blue) {
    Op op("gmColourControl");
    if (!master()) return;
    for (float c : {red, green, blue})
        if (!(c >= 0.0f && c <= 1.0f)) return err(35);  // NaN refused as well
    int r = component(red), g = component(green), b = component(blue);
    GETRGBCOLOR(r, g, b);
    red = float(r) / 255.0f;
    green = float(g) / 255.0f;
    blue = float(b) / 255.0f;
}

void gmColourControl(float& red, float& green, float& blue) { GUIRGB(red, green, blue); }
void gmColourControl(std::array<float, 3>& colour) { GUIRGB(colour[0], colour[1], colour[2]); }
void gmColourControl(GCOLOUR& colour) { GUIRGB(colour.red, colour.green, colour.blue); }

void OGLPRT(int action, int& status) {
    Op op("gmPrinterControl");
    if (!master()) return;
    if (action < -1 || action > 3) return err(35);
    status = 1;
    switch (action) {
        case 0:
        case -1: {
            DEVSUS();
            WOGLPP(action == 0 ? 2 : 3);
            status = 1 - kPageRoutineResult;
            if (status == 1) {
                int w = 0, h = 0;
                float pw = 0, ph = 0;
                PIXENQ(w, h);
                PAPENQ(pw, ph);
                FRAME_LAYER.FRAME_XRANGE = pw;
                FRAME_LAYER.FRAME_YRANGE = ph;
                FRAME_LAYER.FRAME_XORIGIN = 0.0f;
                FRAME_LAYER.FRAME_YORIGIN = 0.0f;
                // OWINFS takes pixels per world unit, as for a three-dimensional frame.
                const float sx = w == 0 || pw == 0.0f ? 1.0f : float(w) / pw;
                const float sy = h == 0 || ph == 0.0f ? 1.0f : float(h) / ph;
                OWINFS(w, h, sx, sy, 0.0f, 0.0f);
            } else {
                DUMMY();
            }
            break;
        }
        case 1:
            DEVEND();
            if (IGETWIDGETTYPE(FRAME_LAYER.CURRENT_FRAME) == wl::KIND_FRAME3D)
                OGLWIN();
            else
                GUIWIN();
            break;
        case 2:
            WOGLPP(0);
            status = 1 - kPageRoutineResult;
            break;
        case 3:
            PICCLE();
            break;
    }
}

int gmPrinterControl(int action, std::optional<int> type) {
    int status = 0;
    bool three_d;
    if (action == 1 || action == 3) {
        three_d = last_print_type == wl::KIND_FRAME3D;
    } else {
        three_d = type && *type == wl::KIND_FRAME3D;
        last_print_type = type.value_or(0);
    }
    if (three_d)
        OGLPRT(action, status);
    else
        GUIPRT(action, status);
    return status;
}
