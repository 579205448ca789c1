// The wait for the next callback number, the record of the last event, the repeating timer,
// the callback definitions and the callback-queue operations.
#include <cstdlib>
#include <cstring>

#include "gui_toolkit/f77gui.h"
#include "gui_toolkit/widget_frame.h"
#include "gui_toolkit/frames.h"
#include "include/toolkit_services.h"
#include "platform/graphics_model.h"
#include "platform/model.h"
#include "platform/wingui.h"
#include "runtime/fatal.h"

namespace {

using wf::calls::begin;
using wf::calls::end;
using wf::calls::kind_in;
using wf::escape;

// The shared checks of the callback definitions: master window, no negative identifier.
bool callback_checks(int widget) {
    if (gm_no_master()) {
        GMERR(1, 0);
        return false;
    }
    if (widget < 0) {
        GMERR(26, 0);
        return false;
    }
    return true;
}

// A callback definition: name, refused kinds (error 30) and the library entry.
void define(std::string_view name, int widget, int callback, std::initializer_list<int> refused,
            void (*entry)(int, int)) {
    begin(name);
    if (callback_checks(widget)) {
        if (kind_in(IGETWIDGETTYPE(widget), refused))
            GMERR(30, 0);
        else
            entry(widget, callback);
    }
    end();
}

// The same for the callbacks that only some kinds take: any other kind is the given error.
void define_for(std::string_view name, int widget, int callback, std::initializer_list<int> accepted, int error,
                void (*entry)(int, int)) {
    begin(name);
    if (callback_checks(widget)) {
        if (kind_in(IGETWIDGETTYPE(widget), accepted))
            entry(widget, callback);
        else
            GMERR(error, 0);
    }
    end();
}

}  // namespace

int ACTION(int& callback) {
    begin("gmAction");
    if (gm_no_master()) {
        GMABORT();
        WINEXIT();
        end();
        rt::program_exit(1);
    }
    ACTION_STATE_t& a = ACTION_STATE;
    IWINACTION(callback, a.ACTION_X, a.ACTION_Y, a.ACTION_WIDGET, a.ACTION_KIND, a.ACTION_EXTRA);
    a.ACTION_CALLBACK = callback;
    // A pointer event in another two-dimensional frame makes that frame current, so that what
    // is drawn in reaction goes to it.
    if (IGETWIDGETTYPE(a.ACTION_WIDGET) == wl::KIND_FRAME && a.ACTION_KIND == -1 &&
        a.ACTION_WIDGET != FRAME_LAYER.CURRENT_FRAME)
        FRAACT(a.ACTION_WIDGET);
    end();
    return callback;
}

int gmAction(int& callback) {
    callback = ACTION(callback);
    return callback;
}

void ACTENQ(int& callback, int& widget, int& extra, int& kind, float& x, float& y, char* text, int text_len,
            int& count, float* reals4, int* integers4) {
    const ACTION_STATE_t& a = ACTION_STATE;
    callback = a.ACTION_CALLBACK;
    widget = a.ACTION_WIDGET;
    extra = a.ACTION_EXTRA;
    count = 4;
    if (a.ACTION_KIND == -1) {
        kind = 0;
        int w = 0, h = 0;
        float xr = 0, yr = 0, x0 = 0, y0 = 0;
        GETBITMAPSIZE(a.ACTION_WIDGET, w, h);
        GETFRAMESCALE(a.ACTION_WIDGET, xr, yr, x0, y0);
        // A frame without pixels maps one pixel to one world unit (no division by zero).
        if (w == 0 || h == 0) {
            x = float(a.ACTION_X) + x0;
            y = float(a.ACTION_Y) + y0;
        } else {
            x = float(a.ACTION_X) * xr / float(w) + x0;
            y = float(a.ACTION_Y) * yr / float(h) + y0;
        }
        integers4[0] = 0;
        integers4[1] = h;
        integers4[2] = w;
        integers4[3] = 0;
        reals4[0] = 0;
        reals4[1] = 0;
        reals4[2] = xr;
        reals4[3] = yr;
    } else {
        kind = a.ACTION_KIND;
        x = float(a.ACTION_X > 32767 ? a.ACTION_X - 65536 : a.ACTION_X);
        y = float(a.ACTION_Y > 32767 ? a.ACTION_Y - 65536 : a.ACTION_Y);
        GETACTIONINFO(integers4[0], integers4[1], integers4[2], integers4[3]);
        for (int k = 0; k < 4; ++k) reals4[k] = 0;
    }
    // The event text: 256 characters from the library, cut or padded to the caller's length.
    char buffer[256];
    int o1 = 0, o2 = 0;
    ESCAPEROUTINE(90, 0, 0, 0, 0, 0, 0, o1, o2, buffer, 256);
    if (text && text_len > 0) {
        const int n = text_len < 256 ? text_len : 256;
        std::memcpy(text, buffer, std::size_t(n));
        if (text_len > n) std::memset(text + n, ' ', std::size_t(text_len - n));
    }
}

void CALLTM(int interval, int callback) {
    begin("gmDefineTimerCallback");
    if (gm_no_master())
        GMERR(1, 0);
    else
        SETCALLTIME(interval, callback);
    end();
}

void gmDefineTimerCallback(int interval, int callback) { CALLTM(interval, callback); }

void CALLBK(int widget, int callback) {
    define("gmDefineCallback", widget, callback, {3, 4, 12, 25, 26}, SETCALLBACK);
}
void CALLSL(int widget, int callback) {
    define("gmDefineSelectCallback", widget, callback, {3, 4, 5, 12, 25, 26}, SETCALLSELECT);
}
void CALLMV(int widget, int callback) {
    define("gmDefineMoveCallback", widget, callback, {3, 4, 5, 12, 25, 26, 27}, SETCALLMOVE);
}

void CALLLF(int widget, int callback) {
    define_for("CALLLF", widget, callback, {2, 6, 7, 8, 9, 10, 11, 13, 14, 15, 17, 18, 30, 33}, 30, SETCALLLOSE);
}

void CALLEX(int widget, int callback) {
    define_for("gmDefineExposeCallback", widget, callback, {wl::KIND_FRAME, wl::KIND_FRAME3D}, 31, SETCALLEXPOSE);
}

void CALLKY(int key, int callback) {
    begin("gmDefineKeyCallback");
    if (key < -20)
        GMERR(35, 0);
    else
        REGHOTKEY(key, callback);
    end();
}

void gmDefineCallback(int widget, int callback) { CALLBK(widget, callback); }
void gmDefineSelectCallback(int widget, int callback) { CALLSL(widget, callback); }
void gmDefineMoveCallback(int widget, int callback) { CALLMV(widget, callback); }
void gmDefineExposeCallback(int widget, int callback) { CALLEX(widget, callback); }
void gmDefineKeyCallback(int key, int callback) { CALLKY(key, callback); }
void GMDEFINEKEYSELECTCALLBACK(int widget, int callback) { escape(2710, widget, callback); }
void gmDefineFileDropCallback(int widget, int callback) { escape(1202, widget, callback); }
void gmDefineDoubleClickCallback(int widget, int callback) { escape(1201, widget, callback); }
void GMDEFINEESCAPECALLBACK(int a, int b, int c, int d) { escape(1205, a, b, c, d); }

void GMPOSTCALLBACK(int action, int callback, int i1, int i2, int i3, int i4, std::string_view text) {
    if (action < 0 || action > 30) return;
    char buffer[256];
    const std::size_t n = text.size() < 256 ? text.size() : 256;
    std::memcpy(buffer, text.data(), n);
    std::memset(buffer + n, ' ', 256 - n);
    int o1 = 0, o2 = 0;
    ESCAPEROUTINE(1220 + action, callback, i1, i2, i3, i4, 0, o1, o2, buffer, 256);
}

void GMFLUSHCALLBACKQUEUE() { escape(1210); }

int GMCHECKCALLBACK(int callback) {
    int o1 = 0, o2 = 0;
    char text[2] = {' ', ' '};
    ESCAPEROUTINE(2720, callback, 0, 0, 0, 0, 0, o1, o2, text, 2);
    return o1;
}
