// Whether the current reflection holds a scan that the fit modes and the plot may use.
#include "include/shared.h"
#include "include/shell_services.h"
#include "include/toolkit_services.h"
#include "shell/kelvor_main.h"

// True when the data set loaded last had its first scan read and the current reflection holds
// 1..500 steps; otherwise the box "No reflection loaded" and false (an empty data set).
bool CURRENT_REFLECTION_VALID() {
    if (FIRST_SCAN_READ == 1 && REFLN.NSTEP >= 1 && REFLN.NSTEP <= MAXSTEP) return true;
    GUIERR(PROGID.PROG_TITLE.view(), "No reflection loaded");
    return false;
}
