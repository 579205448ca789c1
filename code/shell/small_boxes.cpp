// Small modal boxes of the shell that the lower layers call: the wait box and the step-size
// dialog. Both work on dialogs built once at start-up (IWID(6,60) and IWID(6,70..72)); before
// the dialogs exist (a handle of 0) they keep only their state.
#include "shell/small_boxes.h"

#include "include/shared.h"
#include "include/shell_services.h"
#include "include/toolkit_services.h"

namespace {
bool wait_box_up = false;
float step_field = 0.02f;  // what the step-size field holds while the dialog is not built
}  // namespace

bool waitbox_shown() { return wait_box_up; }

// 1 shows "Working; Please wait..." and makes it the active window; any other value removes it
// (also when it is not shown) and makes the master window active again.
void WAITBOX(int flag) {
    wait_box_up = flag == 1;
    const int box = GRAPHICS.IWID(6, 60);
    if (box == 0) return;
    if (flag == 1) {
        gmDrawWindow(box);
        gmSetActiveWindow(box);
    } else {
        gmRemoveWindow(box);
        gmSetActiveWindow(GRAPHICS.IMASTER);
    }
}

// Asks for the omega step width in degrees, at least 0.001. The field is never refilled, so
// each call offers the value of the previous one; a value below 0.001 is refused with a box and
// replaced by 0.001 in the field.
void GET_STEP_SIZE(float& step) {
    const int dialog = GRAPHICS.IWID(6, 70);
    if (dialog == 0) {
        if (!(step_field >= 0.001f)) step_field = 0.001f;
        step = step_field;
        return;
    }
    const int field = GRAPHICS.IWID(6, 71);
    gmDrawWindow(dialog);
    gmSetActiveWindow(dialog);
    int icb = 0;
    for (;;) {
        icb = gmAction(icb);
        if (icb == 672) {
            step = static_cast<float>(gmEnqValueSetting(field));
            if (step >= 0.001f) break;  // compared in single precision: a typed 0.001 passes
            GUIERR(PROGID.PROG_TITLE.view(), "  Step size too small");
            step = 0.001f;
            gmSetValueSetting(field, 0.001f);
        }
        gmDrawWindow(dialog);
    }
    gmRemoveWindow(dialog);
    gmSetActiveWindow(GRAPHICS.IMASTER);
}
