// File, "Create Exp file": the experiment file written in one go: a dated header, the input
// classification and fit summaries, the cell and orientation matrix, and the diffractometer
// lines in the syntax of the instrument parameter file. The data and the matrix are on
// Busing-Levy axes, so the parity and axis lines are always the identity ones.
#include <string>

#include "include/shared.h"
#include "include/shell_services.h"
#include "runtime/format.h"
#include "runtime/units.h"
#include "shell/kelvor_main.h"
#include "shell/report_records.h"

namespace {

constexpr int kExpUnit = 26;

void put(const std::string& rec) { put_record(kExpUnit, rec); }

}  // namespace

void CREATE_EXP() {
    // A cancelled choice leaves unit 26 unconnected; a unit left connected by someone else is
    // not the file the user chose and is never written here.
    if (rt::unit_connected(kExpUnit)) rt::unit_close(kExpUnit);
    OPEN_EXP();
    if (!rt::unit_connected(kExpUnit)) return;
    const FILEINFO_t& fi = FILEINFO;
    put(creation_line());
    put("");
    put("      INPUT DATA FILE WAS: " + fi.IN_NAME.str() + "      OUTPUT DATA FILE WAS: " + fi.OUT_NAME.str());
    put("TITLE " + report_title());
    put("");
    put("");
    WRITE_INPUT(kExpUnit);
    WRITE_FIT_SUMMARY(kExpUnit);

    const UNITCELL_t& u = UNITCELL;
    if (u.UBOK == 1) {
        put("CELL  " + rt::fmt_write("(7F10.4)", u.CELL));
        for (int i = 1; i <= 3; ++i)
            put("UB    " + rt::fmt_write("(3F10.6)", u.UB(i, 1), u.UB(i, 2), u.UB(i, 3)));
    }
    put("");
    put("");
    put("      Diffractometer parameters: ");
    put("      Note: Data file has angles in Busing-Levy, UB is on Busing Levy Axes");
    put("");
    put("WAVEL " + rt::fmt_write("(I5,3F10.6)", WAVES.NWAVE, WAVES.WAVE(1), WAVES.WAVE(2), FITPAR.PKVALS(6, 1)));
    put("MONO  " + rt::fmt_write("(I5,2F10.4,I5)", MONOCH.MONO_TYPE, MONOCH.MONO_2THETA, MONOCH.MONO_DIHEDRAL,
                                 MONOCH.MONO_SENSE));
    put("PARITY 1,1,1,1");
    put("BLAXES 1,2,3");
    put("");
    put("");
    CLOSE_WRITTEN(kExpUnit);
}
