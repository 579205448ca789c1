// Small modal boxes of the shell: the choice and the results of a cell refinement, the wait box,
// the step-size dialog and the two boxes that offer to open a missing file. Each works on its
// dialog built once at start-up and found through its IWID slots; before the dialogs exist (a
// handle of 0) the wait box and the step-size dialog keep only their state.
#include "shell/small_boxes.h"

#include <string_view>

#include "include/geometry.h"
#include "include/shared.h"
#include "include/shell_services.h"
#include "include/toolkit_services.h"
#include "gui_toolkit/menu_f90.h"
#include "shell/parameter_dialogs.h"

namespace {
bool wait_box_up = false;
float step_field = 0.02f;  // what the step-size field holds while the dialog is not built
constexpr float MAX_STEP = 10000.0f;  // the first step the standard data file cannot write
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

// Asks for the omega step width in degrees, at least 0.001 and below 10000, saying that the
// file of the format being loaded holds none. The field is never
// refilled, so each call offers the value of the previous one; a value below 0.001 is refused
// with a box and replaced by 0.001 in the field, one too large with a box that leaves the field
// as typed.
void GET_STEP_SIZE(float& step) {
    const int dialog = GRAPHICS.IWID(6, 70);
    if (dialog == 0) {
        if (!(step_field >= 0.001f)) step_field = 0.001f;
        step = step_field;
        return;
    }
    const int field = GRAPHICS.IWID(6, 71);
    // The two formats that ask: their files give the number of steps but not their width.
    gmSetTextSetting(GRAPHICS.IWID(6, 73), FILEINFO.IFORMAT == 6 ? "Phillips Febo files hold no step width"
                                                                  : "Old Vosket files hold no step width");
    gmDrawWindow(dialog);
    gmSetActiveWindow(dialog);
    int icb = 0;
    for (;;) {
        icb = gmAction(icb);
        if (icb == 672) {
            step = entry_real(gmEnqValueSetting(field));  // beyond the float range: an infinity
            // Compared in single precision: a typed 0.001 passes. A step the reflection records
            // of the standard data file cannot hold (F10.5) would drop every scan of the load.
            if (step >= 0.001f && step < MAX_STEP) break;
            if (step >= MAX_STEP) {
                GUIERR(PROGID.PROG_TITLE.view(), "  Step size too large: at most 9999.999");
            } else {
                GUIERR(PROGID.PROG_TITLE.view(), "  Step size too small");
                step = 0.001f;
                gmSetValueSetting(field, 0.001f);
            }
        }
        gmDrawWindow(dialog);
    }
    gmRemoveWindow(dialog);
    gmSetActiveWindow(GRAPHICS.IMASTER);
}

namespace {

constexpr std::string_view NO_SYSTEM_CHOSEN = "Choose a crystal system, or switch Symmetry constrained off";

// Ends a modal dialog: removes it and makes the master window active again.
void close_dialog(int dialog) {
    gmRemoveWindow(dialog);
    gmSetActiveWindow(GRAPHICS.IMASTER);
}

void open_dialog(int dialog) {
    gmDrawWindow(dialog);
    gmSetActiveWindow(dialog);
}

}  // namespace

// Asks for the kind of cell refinement. go 1 after "Refine", with offsets and zero the states of
// "Refine crystal offsets" and "Refine omega zero" and system 0 (unconstrained) or the crystal
// system 1..6 selected in the list while "Symmetry constrained" is on; go 0 after "Quit", the
// other arguments untouched. The choices stay for the next run. "Refine" with "Symmetry
// constrained" on and no system selected refines nothing: a box asks for a system and the dialog
// stays open until one is chosen or the toggle is switched off.
void RUN_REFINEMENT_BOX(int& go, int& offsets, int& zero, int& system) {
    const int dialog = GRAPHICS.IWID(6, 20);
    const int symmetry = GRAPHICS.IWID(6, 21);
    const int list = GRAPHICS.IWID(6, 24);
    gmSetWidgetStatus(GRAPHICS.IWID(6, 25), STATUS_ACTIVE);
    gmSetWidgetStatus(GRAPHICS.IWID(6, 26), STATUS_ACTIVE);
    const auto show_list = [&] {
        gmSetWidgetStatus(list, gmEnqToggleSwitch(symmetry) == 1 ? STATUS_ACTIVE : STATUS_HIDDEN);
    };
    show_list();
    open_dialog(dialog);
    int icb = 0;
    for (;;) {
        icb = gmAction(icb);
        if (icb == 625) {
            go = 0;
            break;
        }
        if (icb == 626) {
            int chosen = gmEnqToggleSwitch(symmetry);
            if (chosen != 0) {
                int entries = 0, selected = 0;
                gmEnqListStatus(list, entries, selected, chosen);
                if (chosen < 1 || chosen > entries) {
                    gmDisplayMessageBox(PROGID.PROG_TITLE.view(), NO_SYSTEM_CHOSEN, 3, 0);
                    gmDrawWindow(dialog);
                    continue;
                }
            }
            system = chosen;
            offsets = gmEnqToggleSwitch(GRAPHICS.IWID(6, 22));
            zero = gmEnqToggleSwitch(GRAPHICS.IWID(6, 23));
            go = 1;
            break;
        }
        if (icb == 621) show_list();
        gmDrawWindow(dialog);
    }
    close_dialog(dialog);
}

// Shows the refined cell with its esds (by their first significant digit, "fixed" for a value the
// refinement held; each value to its esd's last digit), the crystal offsets, the omega zero and the number of
// reflections used, until "Ok".
void RUN_RESULTS_BOX(int n) {
    const int dialog = GRAPHICS.IWID(6, 30);
    gmSetWidgetStatus(GRAPHICS.IWID(6, 31), STATUS_ACTIVE);
    // Each value to its esd's last digit (a held value with the decimals of its row), as the
    // CIF writes it.
    constexpr int DECIMALS[7] = {5, 5, 5, 3, 3, 3, 4};
    for (int k = 1; k <= 7; ++k) {
        gmSetTextSetting(GRAPHICS.IWID(6, 31 + k), VALUE_TEXT(UNITCELL.CELL(k), UNITCELL.ESD(k), DECIMALS[k - 1]));
        gmSetTextSetting(GRAPHICS.IWID(6, 38 + k), ESD_TEXT(UNITCELL.ESD(k)));
    }
    for (int k = 1; k <= 3; ++k) gmSetValueSetting(GRAPHICS.IWID(6, 45 + k), XTALOFF.DELX(k));
    gmSetValueSetting(GRAPHICS.IWID(6, 49), XTALOFF.OMZERO);
    gmSetValueSetting(GRAPHICS.IWID(6, 50), n);
    open_dialog(dialog);
    int icb = 0;
    do {
        icb = gmAction(icb);
    } while (icb != 631);
    close_dialog(dialog);
}

// Offers "Open File" and "Exit Program" while no instrument parameter file is open. flag 0: a
// parameter file has been opened and read; 1: the user chose "Exit Program". A cancelled file
// choice leaves the box up.
void NOPARFILE(int& flag) {
    const int dialog = GRAPHICS.IWID(8, 10);
    open_dialog(dialog);
    int icb = 0;
    for (;;) {
        icb = gmAction(icb);
        if (icb == 812) {
            flag = 1;
            break;
        }
        if (icb == 811) {
            int status = 1;
            OPEN_PAR(status);
            if (status == 0) {
                flag = 0;
                break;
            }
            continue;
        }
        gmDrawWindow(dialog);
    }
    close_dialog(dialog);
}

// Offers "Open File", "Continue" and "Exit" while no integrated data file is open. flag 0 after
// "Continue" or once a file is open; 1 after "Exit".
void RUN_NOOUTPUT(int& flag) {
    const int dialog = GRAPHICS.IWID(8, 1);
    open_dialog(dialog);
    int icb = 0;
    for (;;) {
        icb = gmAction(icb);
        if (icb == 84) {
            flag = 1;
            break;
        }
        if (icb == 83) {
            flag = 0;
            break;
        }
        if (icb == 82) {
            OPEN_OUT();
            if (FILEINFO.OUTOPEN != 0) {
                flag = 0;
                break;
            }
            continue;
        }
        gmDrawWindow(dialog);
    }
    close_dialog(dialog);
}
