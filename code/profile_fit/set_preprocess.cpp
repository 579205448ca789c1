// The preprocessed flag IPREPROC and the "Utilities" entries that need the fitted-reflection
// table: "Calc Unit Cell", "Calc Background", "Calc FWHM", "Zref" and "Delta-d/d".
#include "include/profile_fit.h"
#include "include/shared.h"
#include "include/toolkit_services.h"

namespace {

void set_entry(int item, int status) { gmSetWidgetStatus(GRAPHICS.IWID(3, item), status); }

}  // namespace

// ISET 0 marks the table as not filled (a new data file) and greys its users; "Calc Background"
// keeps its state and the rows themselves stay. Any other ISET marks it filled and makes its
// users selectable, "Delta-d/d" only while a valid orientation matrix exists. NOZREF 1 then
// greys "Zref", so the centring cannot be run on its own output.
void SET_PREPROCESS(int ISET, int NOZREF) {
    if (ISET == 0) {
        FITVALS.IPREPROC = 0;
        for (int item : {32, 34, 35, 36}) set_entry(item, STATUS_GREYED);
    } else {
        FITVALS.IPREPROC = 1;
        for (int item : {32, 33, 34, 35}) set_entry(item, STATUS_ACTIVE);
        if (UNITCELL.UBOK != 0) set_entry(36, STATUS_ACTIVE);
    }
    if (NOZREF == 1) set_entry(35, STATUS_GREYED);
}
