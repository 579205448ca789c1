// All shared records, and their reset to the start-of-run state (for tests).
#pragma once
#include <string_view>

#include "include/DATA.h"
#include "include/FILES.h"
#include "include/FITVALS.h"
#include "include/GRAPHICS.h"
#include "include/INTEGRAT.h"
#include "include/TOTALS.h"
#include "include/UNITCELL.h"
#include "include/geometry.h"
#include "include/profile_fit.h"
#include "include/scan_input.h"

// Every record that a run or a data set leaves behind, in one table: the shared records of the
// declaration groups, the records the readers, the geometry and the fit keep between calls, and
// the file openers' memory. visit(name, record) is called once for each.
template <class Visit>
void for_each_shared_record(Visit&& visit) {
    // DATA
    visit(std::string_view("REFLN"), REFLN);
    visit(std::string_view("FITOPT"), FITOPT);
    visit(std::string_view("WAVES"), WAVES);
    visit(std::string_view("MONOCH"), MONOCH);
    visit(std::string_view("GONIO"), GONIO);
    visit(std::string_view("SCANHDR"), SCANHDR);
    visit(std::string_view("STDREF"), STDREF);
    // UNITCELL
    visit(std::string_view("UNITCELL"), UNITCELL);
    visit(std::string_view("XTALOFF"), XTALOFF);
    // INTEGRAT
    visit(std::string_view("FITPAR"), FITPAR);
    visit(std::string_view("FIXEDBG"), FIXEDBG);
    visit(std::string_view("INTRES"), INTRES);
    // TOTALS, FITVALS
    visit(std::string_view("TOTALS"), TOTALS);
    visit(std::string_view("FITVALS"), FITVALS);
    // FILES
    visit(std::string_view("FILEINFO"), FILEINFO);
    visit(std::string_view("PROGID"), PROGID);
    visit(std::string_view("FIRST_SCAN_READ"), FIRST_SCAN_READ);
    visit(std::string_view("OPENERS"), OPENERS);
    // GRAPHICS
    visit(std::string_view("GRAPHICS"), GRAPHICS);
    visit(std::string_view("PLOTFRAME"), PLOTFRAME);
    // The readers: the matrix flag of a header, the layouts' header values, the reason of a failed
    // read of the standard data file.
    visit(std::string_view("MATRIX_READ"), MATRIX_READ);
    visit(std::string_view("XCALHDR"), XCALHDR);
    visit(std::string_view("CAD4HDR"), CAD4HDR);
    visit(std::string_view("HUBERHDR"), HUBERHDR);
    visit(std::string_view("STDREAD"), STDREAD);
    // The geometry: the constrained refinement's work block, HCALC's last inverse.
    visit(std::string_view("VECLSQ"), VECLSQ);
    visit(std::string_view("HCALCINV"), HCALCINV);
    // The fit: the reflection whose shortened background the log reported last.
    visit(std::string_view("BGLOG"), BGLOG);
}

// Puts every record of the table back to its start-of-run state: everything zero, empty or NUL,
// except PARNAME, the reject-code table F and the program identity.
void reset_shared_records();
