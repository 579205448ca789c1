// The scan-profile export of the manual fit ("Export"): the omega, observed counts and
// calculated profile of the current reflection as a comma-separated block appended to a file
// of the user's choice. The file is printer-style (column 1 of each record is carriage control
// and is not written) and has a unit of its own, closed after every export, so no other open
// file of the program is touched. A block that did not reach the file is reported in a box.
#include "include/profile_fit.h"
#include "include/shared.h"
#include "include/shell_services.h"
#include "include/toolkit_services.h"
#include "runtime/format.h"
#include "runtime/units.h"

void EXPORT_SCAN() {
    int status = 0;
    OPEN_SCANDATA(status);
    if (status != 0) {
        gmDisplayMessageBox(PROGID.PROG_TITLE.view(), "Data file not opened", 3, 0);
        return;
    }
    const REFLN_t& r = REFLN;
    const int unit = SCANDATA_UNIT();
    // A record the file does not take stays as the unit's failure; the close reports it.
    (void)rt::write_unit(unit, "('  PROFILE FOR REFLECTION HKL = ',3I5/'    OMEGA       OBS   COUNTS    CALC')", r.IH);
    // XPOS: omega of the step relative to theta; YC: the last fit's profile, background included.
    for (int i = 1; i <= r.NSTEP; ++i)
        (void)rt::write_unit(unit, "(1X,F10.3,',',F10.1,',',F10.1)", r.XPOS(i), r.COUNTS(i), r.YC(i));
    CLOSE_WRITTEN(unit);
}
