// Instrument parameters and scan input: the routines that the other layers call.
//
// The standard data file is the program's own data-set format: a header (H, T, U, A lines and
// DATA), then per reflection one R line and its S count lines, every line ending CR LF.
// Every pass reads scans only through READ_SCAN_STDDATA from the working file on LUNSTD, whose
// read position is shared by all passes.
#pragma once
#include "include/DATA.h"
#include "runtime/farray.h"
#include "runtime/ftext.h"

// Read modes of READ_SCAN_STDDATA.
constexpr int STD_PREVIOUS = -1;
constexpr int STD_NEXT = 0;
constexpr int STD_BY_NUMBER = 1;
constexpr int STD_BY_HKL = 2;

// Writes the ten header lines (title, cell, the three U lines of UB, ATTEN, DATA) at the current
// position of unit. A failing write ends the program (unchecked output error).
void WRITE_HEADER_STDDATA(int unit);

// Writes one reflection record and its count lines. Counts larger than eight digits are divided
// by a whole factor and the scale written is multiplied by it; the caller's counts and scale are
// not changed. A record with a field that does not fit its columns or is not finite, or with
// steps outside 1..500 (or above ndim), is refused. status: 0 written, 1 refused or a write failed.
void WRITE_REF_STDDATA(int unit, int& status, int iseq, const rt::FArray<int, 3>& ih, float psi,
                       const rt::FArray<float, 4>& angl, int nstep, float step, float scale, int istd,
                       const rt::FText<1>& scancode, const rt::FArray<int, MAXSTEP>& icount, int ndim);

// Rewinds unit and reads up to and including the DATA line. status: unchanged when the DATA line
// was found, 12 at end of file, 11 on a read error.
void SKIP_HEADER_STDDATA(int unit, int& status);

// Reads the header of a file just opened, up to and including the DATA line; restores TITLE and,
// from three clean U lines holding a regular matrix, UB with UBOK = 1 (a bad or partial U block
// clears UBOK; no U line leaves UB and UBOK as they were). status: 0, or 1 at end of file or on
// a read error.
void READ_HEADER_STDDATA(int unit, int& status);

// Reads one reflection into the current reflection REFLN. mode: -1 previous, 0 next, 1 the
// reflection with sequence number `number`, 2 the reflection with h k l = hkl. status in: -1 asks
// for a quiet read. status out: 0 read, 11 read error (also a malformed record or count line,
// which leaves REFLN as it was), 12 end of data (modes 0, -1), 13 not found (modes 1, 2).
void READ_SCAN_STDDATA(int unit, int mode, int number, const rt::FArray<int, 3>& hkl, int& status);

// Parses the instrument parameter file open on unit 3 into the shared records. The argument is
// not used. Returns only when the file was accepted; otherwise ends the program through EXITINT.
void READ_PARAMETERS(int unused);
