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

// ---------------------------------------------------------------------------------------------
// Loading a data set, and the copy "Write Std datafile".
//
// Input formats (IFORMAT): 1 "Standard", 2 "Old Vosket", 3 "Xcalibur Ascii", 4 "Xscans",
// 5 "Stoe", 6 "Phillips Febo", 7 "CAD4".
//
// Reader contract of formats 2..7. Both entries take their status and read the input data file
// on unit 1. The header reader is called once per load: status 0 when the header was read; it
// fills what its format gives (TITLE, wavelengths, ATTEN, STDREF, SCANHDR, UB in the instrument's
// frame with UBOK = 1, CELL) and sets MATRIX_READ = 1 when it has just read an orientation matrix
// into UB; it never maps axes. The scan reader is called once per reflection until it returns
// 12 (end of data) or 11 (read error); 13 skips an unusable reflection; 0 (or any other value)
// means the current reflection holds ISEQ, IH, ANGL, NSTEP (1..500), STEP, SCALE, ISTD,
// SCANCODE and COUNTS(1..NSTEP). Its status is not reset between calls.
using ReaderEntry = void (*)(int& status);
struct InstrumentReader {
    ReaderEntry header = nullptr;
    ReaderEntry scan = nullptr;
};
// The readers by input format (entries 2..7 are used); a format without a reader loads as a
// file whose header cannot be read.
extern rt::FArray<InstrumentReader, 7> INSTRUMENT_READERS;
// Set to 0 by READ_HEADER before the header reader runs; 1 when that reader read a matrix. The
// axis mapping of BLAXES applies only to such a matrix.
inline int MATRIX_READ = 0;

// Loads the input data file open on unit 1 in the format IFORMAT into the working standard data
// file on LUNSTD (format 1: the file itself, read-only; 2..7: a scratch file). Returns status 0
// with LOADED = 1 and the read position at the end of the working file; every failure ends the
// program through EXITINT.
void CONVERT_FILE(int& status);
// Runs the header reader of IFORMAT and maps a matrix it read onto Busing-Levy axes (BLAXES),
// deriving CELL and RECELL. A non-zero status: the header was not read (LOADED = 0).
void READ_HEADER(int& status);
// Counters of the loaded reflections by scan code, INUM(1..7) for W M R S F I N.
void SET_SCANCODES_ZERO();
void SUM_SCANTYPES(const rt::FText<1>& code);
// "Write Std datafile": copies the working standard data file into a new one the user names.
void CONVERT_TO_STD();
