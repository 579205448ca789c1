// Crystallographic value(esd) notation, as the CIF writes refined cell values: 12.3456(15).
// All arithmetic in 32-bit float; the rounding rules reproduce the published examples only so.
#pragma once
#include "runtime/ftext.h"

// value (rounded in place to the decimal the text shows) and esd as a value(esd) text,
// left-justified in OUTSTRING. An esd of 1.0E-7 or less gives the value as F8.4 alone; an esd
// of 1 or more rounds the value to whole units or coarser (1235(3), 1230(30)); an infinite esd
// leaves OUTSTRING blank and the value unchanged, with a line on standard output.
void FORMAT_VALUE(float& value, float esd, rt::FText<20>& OUTSTRING);
// Rounds an esd below 1 up to one significant digit (two when they are 19 or less): J decimals,
// ISIG the rounded esd in units of the last decimal, JSIG its number of digits. J = 0 for an
// esd of 1 or more (esd and ISIG then unchanged).
void ROUND_SIGMA(float& esd, int& J, int& ISIG, int& JSIG);
// Rounds value to J decimals, halves away from zero.
void ROUND_VALUE(float& value, int J);
// Characters of the integer part of value: its digits (at least one), one more for a minus sign.
void GET_PLACES(float value, int& K);
