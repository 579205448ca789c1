// Crystallographic value(esd) notation, as the CIF writes refined cell values: 12.3456(15).
// The rounding is the program's one esd rule (ROUND_ESD); all arithmetic in 32-bit float, which
// the published examples need.
#pragma once
#include "include/geometry.h"
#include "runtime/ftext.h"

// value (rounded in place to the decimal the text shows) and esd as a value(esd) text,
// left-justified in OUTSTRING. An esd of 1.0E-7 or less gives the value as F8.4 alone (a held
// value); an esd of 1 or more rounds the value to whole units or coarser (1235(3), 1230(30)); an
// esd that is not a number, negative or infinite, or a value that is not a finite number, gives
// the CIF's unknown "?" and leaves the value unchanged.
void FORMAT_VALUE(float& value, float esd, rt::FText<20>& OUTSTRING);
