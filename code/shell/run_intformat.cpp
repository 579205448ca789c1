// Parameters, "Output format", and the output-file choice when the file name does not tell the
// kind: the dialog ": Output Format" with the three layouts of the integrated data file
// (1 "Rfine", 2 "Rfine extended", 3 "Shelx hkl"). "Save + Exit" takes OUT_FORMAT from the
// toggles, "Quit" keeps it; either way a "Shelx hkl" layout without a valid orientation matrix
// is warned about, since its direction cosines need one.
#include "gui_toolkit/menu_f90.h"
#include "include/shared.h"
#include "include/toolkit_services.h"
#include "shell/parameter_dialogs.h"

namespace {

constexpr int QUIT = 592;
constexpr int SAVE = 593;

int widget(int item) { return GRAPHICS.IWID(5, item); }

// The toggle of an output format code: IWID(5, 93 + code) for the codes 1 to 3.
int format_toggle(int code) { return widget(93 + code); }

}  // namespace

void RUN_INTFORMAT() {
    const int dialog = widget(90);
    gmSetWidgetStatus(widget(92), STATUS_ACTIVE);
    gmSetWidgetStatus(widget(93), STATUS_ACTIVE);
    // With the kind undecided (0) the radio box keeps its last choice.
    if (FILEINFO.OUT_FORMAT >= 1 && FILEINFO.OUT_FORMAT <= 3) gmSetToggleSwitch(format_toggle(FILEINFO.OUT_FORMAT), 1);
    gmDrawWindow(dialog);
    gmSetActiveWindow(dialog);
    int icb = 0;
    for (;;) {
        icb = gmAction(icb);
        if (icb == QUIT) break;
        if (icb == SAVE) {
            for (int code = 1; code <= 3; ++code)
                if (gmEnqToggleSwitch(format_toggle(code)) == 1) FILEINFO.OUT_FORMAT = code;
            break;
        }
        gmDrawWindow(dialog);
    }
    gmRemoveWindow(dialog);
    gmSetActiveWindow(GRAPHICS.IMASTER);

    if (FILEINFO.OUT_FORMAT == 3 && UNITCELL.UBOK == 0)
        gmDisplayMessageBox(PROGID.PROG_TITLE.view(), "Warning: Refine UB to obtain direction cosines for SHELX output",
                            3, 0);
}
