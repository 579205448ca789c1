#include "include/shared.h"

void reset_shared_records() {
    REFLN = REFLN_t{};
    FITOPT = FITOPT_t{};
    WAVES = WAVES_t{};
    MONOCH = MONOCH_t{};
    GONIO = GONIO_t{};
    SCANHDR = SCANHDR_t{};
    STDREF = STDREF_t{};
    UNITCELL = UNITCELL_t{};
    XTALOFF = XTALOFF_t{};
    FITPAR = FITPAR_t{};
    FIXEDBG = FIXEDBG_t{};
    INTRES = INTRES_t{};
    TOTALS = TOTALS_t{};
    FITVALS = FITVALS_t{};
    FILEINFO = FILEINFO_t{};
    PROGID = PROGID_t{};
    GRAPHICS = GRAPHICS_t{};
    PLOTFRAME = PLOTFRAME_t{};
}
