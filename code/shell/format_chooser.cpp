// The input-format dialog: the user confirms the format of the input data file just opened.
#include <string_view>

#include "gui_toolkit/f77gui.h"
#include "gui_toolkit/f77gui_widgets.h"
#include "gui_toolkit/menu_f90.h"
#include "include/shared.h"
#include "include/toolkit_services.h"
#include "shell/open_files.h"

namespace {

// Toggle slot of the dialog, the format code it gives and the extension that preselects it, in
// the order the toggles are read back.
struct FormatToggle {
    int slot;
    int code;
    std::string_view ext;  // empty: no extension preselects it
};
constexpr FormatToggle kToggles[] = {
    {3, 3, "DCA"}, {4, 2, ""}, {5, 7, "DAT"}, {6, 4, "P4T"}, {8, 5, "D00"}, {9, 6, "FEB"}, {10, 1, "RFL"},
};
constexpr int kOk = 470;

}  // namespace

// Preselects the format that the extension of IN_NAME suggests (the three characters after its
// first ".", upper-cased), then waits for "OK" and sets IFORMAT from the toggle that is on. An
// unknown extension leaves the toggles as the user last left them. Every other callback number,
// the exit request included, is dropped.
void GETFORMAT() {
    const rt::FText<255>& name = FILEINFO.IN_NAME;
    const std::string_view whole = name.view();
    const std::size_t dot = whole.find('.');
    const std::size_t from = dot == std::string_view::npos ? 0 : dot + 1;
    char ext[3] = {' ', ' ', ' '};
    for (std::size_t k = 0; k < 3 && from + k < whole.size(); ++k) {
        char ch = whole[from + k];
        if (static_cast<unsigned char>(ch) > 96 && static_cast<unsigned char>(ch) < 128) ch = char(ch - 32);
        ext[k] = ch;
    }
    const std::string_view e(ext, 3);
    for (const FormatToggle& t : kToggles)
        if (!t.ext.empty() && e == t.ext) gmSetToggleSwitch(GRAPHICS.IWID(4, t.slot), 1);

    const int dialog = GRAPHICS.IWID(4, 1);
    gmDrawWindow(dialog);
    gmSetActiveWindow(dialog);
    int icb = 0;
    do {
        icb = gmAction(icb);
    } while (icb != kOk);
    for (const FormatToggle& t : kToggles) {
        int state = 0;
        TOGENQ(GRAPHICS.IWID(4, t.slot), state);
        if (state == 1) FILEINFO.IFORMAT = t.code;
    }
    ACTWIN(GRAPHICS.IMASTER);
    WINREM(dialog);
}
