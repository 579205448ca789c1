// Utilities, "Calc Unit Cell": refines the orientation matrix and the cell from the fitted-
// reflection table by the strategy chosen in the unit-cell refinement dialog (unconstrained, with
// omega zero, with crystal offsets, or constrained to a crystal system), reports the fit in the
// log and shows the results dialog. A failed refinement leaves the orientation, cell, offsets and
// omega zero as they were before the run. Angles in degrees, omega from the bisecting position.
#include <cmath>
#include <cstdio>
#include <string>

#include "include/FILES.h"
#include "include/FITVALS.h"
#include "include/GRAPHICS.h"
#include "include/UNITCELL.h"
#include "include/geometry.h"
#include "include/shell_services.h"
#include "include/toolkit_services.h"
#include "runtime/format.h"
#include "runtime/ftext.h"

namespace {

const rt::FText<25> SYMNAME[6] = {
    rt::FText<25>("Monoclinic (B-unique)"), rt::FText<25>("Monoclinic (C-unique)"),
    rt::FText<25>("Orthorhombic"),          rt::FText<25>("Tetragonal"),
    rt::FText<25>("Hexagonal"),             rt::FText<25>("Cubic"),
};

void row_of(int i, geo::Angles& a, geo::Indices& h) {
    for (int k = 1; k <= 4; ++k) a(k) = FITVALS.ANGLESFIT(i, k);
    for (int k = 1; k <= 3; ++k) h(k) = FITVALS.IHFIT(i, k);
}

// The input table, for a refinement that failed.
void log_failure_dump() {
    LOG_WRITE("(/ '  FAILURE IN LEAST-SQUARES PROCEDURE, INPUT DATA WERE:' / / "
              "'   H   K   L  2THETA   OM(FIT)    CHI      PHI   ' /)");
    geo::Angles a;
    geo::Indices h;
    for (int i = 1; i <= FITVALS.NFIT; ++i) {
        row_of(i, a, h);
        LOG_WRITE("(3I4 4F9.3)", h(1), h(2), h(3), a(1), a(2), a(3), a(4));
    }
}

// Observed against calculated positions of every stored reflection, then the matrix, the cell
// and the statistics of the fit.
void log_report(int IUSEOFF) {
    const auto& U = UNITCELL;
    if (IUSEOFF == 1)
        LOG_WRITE("('   H   K   L  2TH(DET)  2TH(cal) OM(FIT)' "
                  "'     CHI     PHI   OM(UB) + OM(OFF) = OM(CALC)   DEL-OM' /)");
    else
        LOG_WRITE("(/ '   H   K   L  2TH(det)  2TH(cal) OM(FIT)' '     CHI     PHI   OM(UB)   DEL-OM' /)");
    float sum = 0.0f, largest = 0.0f;
    geo::Angles a, off;
    geo::Indices h;
    for (int i = 1; i <= FITVALS.NFIT; ++i) {
        row_of(i, a, h);
        float tth = TWOTHETA(h);
        if (a(1) < 0.0f) tth = -tth;
        float ROM = 0.0f;
        CALOMEGA(a, h, ROM);
        float delom = 0.0f;
        if (IUSEOFF == 1) {
            CALC_ANGOFF(a, off);
            const float omcalc = ROM + off(2);
            delom = a(2) - omcalc;
            LOG_WRITE("(3I4 2F9.4 7F9.3)", h(1), h(2), h(3), a(1), tth, a(2), a(3), a(4), ROM, off(2), omcalc,
                      delom);
        } else {
            delom = a(2) - ROM;
            LOG_WRITE("(3I4 2F9.4 7F9.3)", h(1), h(2), h(3), a(1), tth, a(2), a(3), a(4), ROM, delom);
        }
        sum = sum + std::fabs(delom);
        if (std::fabs(delom) > largest) largest = std::fabs(delom);
    }
    LOG_WRITE("(/ / '  Unconstrained Orientation Matrix ' / TR5 '(For Busing Levy axes and circle parities)' "
              "/ / (3F12.5))",
              U.UB(1, 1), U.UB(1, 2), U.UB(1, 3), U.UB(2, 1), U.UB(2, 2), U.UB(2, 3), U.UB(3, 1), U.UB(3, 2),
              U.UB(3, 3));
    LOG_WRITE("(/ / ' CELL' TR12 3F9.5 3F8.3 F10.4)", U.CELL);
    LOG_WRITE("(' ESDs' TR12 A)", CELL_ESDS_RECORD(U.ESD));
    LOG_WRITE("(/ TR5 I5 ' REFLECTIONS USED' / ' AVERAGE DELTA-OMEGA = ' F7.4 / "
              "'     MAX OMEGA ERROR = ' F7.4 / '          OMEGA-ZERO = ' F7.4 / / '     CRYSTAL OFFSETS = ' "
              "3F10.4 /)",
              FITVALS.NFIT, sum / float(FITVALS.NFIT), largest, XTALOFF.OMZERO, XTALOFF.DELX);
}

}  // namespace

std::string CELL_ESDS_RECORD(const rt::FArray<float, 7>& ESD) {
    // Each esd under its cell value, in the value's columns, as the results box and the CIF
    // round it (an angle esd of 0.0004 would read 0.000 in the value's three decimals); "fixed"
    // for a value the refinement held. One too long for its columns (a few millionths) is written
    // with the same digits in E form.
    std::string esds;
    for (int k = 1; k <= 7; ++k) {
        const std::size_t width = k <= 3 ? 9 : (k <= 6 ? 8 : 10);
        std::string t = ESD_TEXT(ESD(k));
        const RoundedEsd r = ROUND_ESD(ESD(k));
        if (t.size() >= width && r.kind == RoundedEsd::Rounded) {
            const std::string d = std::to_string(r.digits);
            const int exponent = static_cast<int>(d.size()) - 1 - r.places;
            char e[16];
            std::snprintf(e, sizeof e, "E%c%02d", exponent < 0 ? '-' : '+', exponent < 0 ? -exponent : exponent);
            t = d.substr(0, 1) + (d.size() > 1 ? "." + d.substr(1) : std::string()) + e;
        }
        esds += std::string(t.size() < width ? width - t.size() : 1, ' ') + t;
    }
    return esds;
}

void UB_FIT() {
    const std::string_view title = PROGID.PROG_TITLE.trimmed();
    if (FITVALS.NFIT < 3) {
        GUIERR(title, "Too Few Reflections for Least Squares");
        return;
    }
    int IGO = 0, IUSEOFF = 0, IOMEGA = 0, ICRSTP = 0;
    RUN_REFINEMENT_BOX(IGO, IUSEOFF, IOMEGA, ICRSTP);
    if (IGO != 1) return;

    // What a failed refinement puts back.
    const UNITCELL_t entry_cell = UNITCELL;
    const XTALOFF_t entry_off = XTALOFF;

    for (int k = 1; k <= 3; ++k) XTALOFF.DELX(k) = 0.0f;
    XTALOFF.OMZERO = 0.0f;
    UNITCELL.UBOK = 0;
    WAITBOX(1);
    LOG_WRITE("(/ / ' RESULTS OF LEAST SQUARES REFINEMENT OF ' 'CELL PARAMETERS')");

    int IERR = 0;
    if (ICRSTP != 0) {
        if (IUSEOFF == 1)
            gmDisplayMessageBox(title, "Warning: Crystal offsets not refined with symmetry-constrained cell", 3, 0);
        LSVEC(ICRSTP, IERR);
        if (IERR == 0) {
            const int k = ICRSTP >= 1 && ICRSTP <= 6 ? ICRSTP - 1 : 0;
            LOG_WRITE("(/ '  SYMMETRY-CONSTRAINED TO ' A25 ' NO XTAL OFFSETS')", SYMNAME[k]);
        }
    } else if (IUSEOFF == 1) {
        LSQ_WITHOFF(IOMEGA, IERR);
        if (IERR == 0) LOG_WRITE("(/ '  UNCONSTRAINED REFINEMENT WITH CRYSTAL OFFSETS')");
    } else if (IOMEGA == 1) {
        LOG_WRITE("(/ '  UNCONSTRAINED REFINEMENT WITH OMEGA ZERO')");
        LSQ_ZERO(IERR);
        for (int k = 1; k <= 3; ++k) XTALOFF.DELX(k) = 0.0f;
    } else {
        LSQ(FITVALS.NFIT, FITVALS.ANGLESFIT, FITVALS.IHFIT, IERR);
        for (int k = 1; k <= 3; ++k) XTALOFF.DELX(k) = 0.0f;
        if (IERR == 0) LOG_WRITE("(/ '  UNCONSTRAINED REFINEMENT ')");
    }
    // The reciprocal cell of the refined cell is part of the result: a cell without one is a
    // failed refinement too.
    if (IERR == 0 && CELL_TO_RECIP() != 0) IERR = 3;

    if (IERR != 0) {
        UNITCELL = entry_cell;
        XTALOFF = entry_off;
        WAITBOX(0);
        GUIERR(title, "Problem with least squares procedure for unit-cell");
        log_failure_dump();
        return;
    }

    auto& U = UNITCELL;
    for (int i = 1; i <= 3; ++i)
        for (int j = 1; j <= 3; ++j) U.UBT(i, j) = U.UB(j, i);
    U.UBOK = 1;
    log_report(IUSEOFF);
    WAITBOX(0);
    RUN_RESULTS_BOX(FITVALS.NFIT);
    gmSetWidgetStatus(GRAPHICS.IWID(3, 36), STATUS_ACTIVE);
}
