// All shared records, and their reset to the start-of-run state (for tests).
#pragma once
#include "include/DATA.h"
#include "include/FILES.h"
#include "include/FITVALS.h"
#include "include/GRAPHICS.h"
#include "include/INTEGRAT.h"
#include "include/TOTALS.h"
#include "include/UNITCELL.h"

// Puts every shared record back to its start-of-run state: everything zero or NUL, except
// PARNAME, the reject-code table F and the program identity.
void reset_shared_records();
