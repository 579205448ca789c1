// Parameters, "Output format", and the output-file choice when the file name does not tell the
// kind: the dialog ": Output Format" with the three layouts of the integrated data file
// (1 "Rfine", 2 "Rfine extended", 3 "Shelx hkl"). "Save + Exit" takes OUT_FORMAT from the
// toggles, "Quit" keeps it; either way a "Shelx hkl" layout without a valid orientation matrix
// is warned about, since its direction cosines need one.
//
// A file holds one layout: a new format chosen while the open integrated data file already
// holds reflections in another is kept for the next output file, and the user may open that
// file at once. Only a file that holds nothing yet takes the new format itself.
#include <string>

#include "gui_toolkit/menu_f90.h"
#include "include/shared.h"
#include "include/shell_services.h"
#include "include/toolkit_services.h"
#include "shell/open_files.h"
#include "shell/parameter_dialogs.h"

namespace {

constexpr int QUIT = 592;
constexpr int SAVE = 593;

int widget(int item) { return GRAPHICS.IWID(5, item); }

// The toggle of an output format code: IWID(5, 93 + code) for the codes 1 to 3.
int format_toggle(int code) { return widget(93 + code); }

std::string format_name(int code) {
    static const char* const NAMES[3] = {"Rfine", "Rfine extended", "Shelx hkl"};
    return code >= 1 && code <= 3 ? NAMES[code - 1] : "";
}

// The open file keeps the layout in force; the chosen one waits for the next output file, which
// the user may open now ("Yes") or later (Enter: "No").
void keep_layout_of_open_file(int in_force, int chosen) {
    FILEINFO.OUT_FORMAT = in_force;
    SET_NEXT_OUTPUT_FORMAT(chosen);
    const std::string name(FILEINFO.OUT_NAME.trimmed());
    const int answer = gmDisplayMessageBox(
        std::string(PROGID.PROG_TITLE.trimmed()) + ": Output format",
        name + " holds reflections in the " + format_name(in_force) + " layout, and a file holds one layout: open a new output file for the " +
            format_name(chosen) + " layout now (Yes), or go on writing " + format_name(in_force) + " to " + name +
            " and use " + format_name(chosen) + " for the next output file (No)",
        2, 3 + MB_DEFAULT_SECOND);
    if (answer == 2) OPEN_OUT();
}

}  // namespace

void RUN_INTFORMAT() {
    const int in_force = FILEINFO.OUT_FORMAT;
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

    const int chosen = FILEINFO.OUT_FORMAT;
    if (chosen == 3 && UNITCELL.UBOK == 0)
        gmDisplayMessageBox(PROGID.PROG_TITLE.view(), "Warning: Refine UB to obtain direction cosines for SHELX output",
                            3, 0);
    // Choosing the format in force again drops one that was waiting for the next file.
    if (chosen == in_force) SET_NEXT_OUTPUT_FORMAT(0);
    if (FILEINFO.OUTOPEN != 1 || chosen == in_force) return;
    if (in_force >= 1 && in_force <= 3 && OUTPUT_FILE_HOLDS_RECORDS()) {
        keep_layout_of_open_file(in_force, chosen);
        return;
    }
    // The open file holds nothing yet (or its format was still undecided): it takes the format.
    SET_NEXT_OUTPUT_FORMAT(0);
    SHOW_OUTPUT_FORMAT();
}
