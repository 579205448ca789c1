// Instrument parameters and scan input: the routines that the other layers call.
//
// The standard data file is the program's own data-set format: a header (H, T, U, A lines and
// DATA), then per reflection one R line and its S count lines, every line ending CR LF.
// Every pass reads scans only through READ_SCAN_STDDATA from the working file on LUNSTD, whose
// read position is shared by all passes.
#pragma once
#include <cstddef>
#include <string>

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
// steps outside 1..500 (or above ndim), is refused and nothing is written. status: 0 written,
// 1 a write failed, 2 refused.
void WRITE_REF_STDDATA(int unit, int& status, int iseq, const rt::FArray<int, 3>& ih, float psi,
                       const rt::FArray<float, 4>& angl, int nstep, float step, float scale, int istd,
                       const rt::FText<1>& scancode, const rt::FArray<int, MAXSTEP>& icount, int ndim);

// Rewinds unit and reads up to and including the DATA line. status: unchanged when the DATA line
// was found, 12 at end of file, 11 on a read error.
void SKIP_HEADER_STDDATA(int unit, int& status);

// Reads the header of a file just opened, up to and including the DATA line; restores TITLE and,
// from three clean U lines holding a regular matrix, UB with UBOK = 1 (a bad or partial U block
// clears UBOK; no U line leaves UB and UBOK as they were; a U line that cannot be read, or a
// block of fewer than three, is told in a notice naming the line). The unit is marked as a user's
// text file. status: 0, or 1 at end of file or on a read error.
void READ_HEADER_STDDATA(int unit, int& status);

// Reads one reflection into the current reflection REFLN. mode: -1 previous, 0 next, 1 the
// reflection with sequence number `number`, 2 the reflection with h k l = hkl. status in: -1 asks
// for a quiet read. status out: 0 read, 11 read error (also a malformed record or count line,
// which leaves REFLN as it was), 12 end of data (modes 0, -1), 13 not found (modes 1, 2).
// Malformed: an R line cut short, with a blank field, a step count outside 1..500, an angle
// beyond its circle's range or no positive step width or scale; a count line without its "S",
// cut short, holding more counts than its place or a count that is not a whole number of at
// least 0; a count line where a reflection line belongs.
void READ_SCAN_STDDATA(int unit, int mode, int number, const rt::FArray<int, 3>& hkl, int& status);

// Why the last read of the standard data file failed: WHAT could not be read, and AT_END whether
// the end of the file was met (the line after the last one is then named).
struct STDREAD_t {
    std::string WHAT;
    bool AT_END = false;
    bool operator==(const STDREAD_t&) const = default;
};
inline STDREAD_t STDREAD;

// The user's standard data file being loaded could not be read where the last READ_HEADER_STDDATA
// or READ_SCAN_STDDATA failed: raises rt::InputError naming the file, that line and what could
// not be read.
[[noreturn]] void STDDATA_INPUT_ERROR(int unit);

// Parses the instrument parameter file open on unit 3 into the shared records. The argument is
// not used. Returns when the file was accepted; a line that cannot be read, a value that cannot
// be read or is out of its range (a wavelength that is not positive), or a mandatory key without
// its line raises rt::InputError and leaves every setting as it was.
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
// with LOADED = 1 and the read position at the end of the working file. A reflection the
// working file cannot hold (a field wider than its columns), or whose values no instrument gives
// (a negative count, an angle beyond its circle's range, no positive step width or scale), is
// skipped like an unusable one. A file that yields no reflection raises rt::InputError ("F holds
// no reflection of the NAME format").
// A file damaged where a reader takes it on trust raises rt::InputError, after the wait box is
// taken down, the input and working files are closed (a scratch file is deleted), LOADED = 0
// and the records the load had begun to change (title, wavelengths, headers, matrix, standards,
// the current reflection, the scan-code counts) are as before it. Every read failure of the
// input file is such an error. A scratch working file that cannot be written ends the load the
// same way through rt::WorkingFileError, whose message says so and gives the system's reason.
void CONVERT_FILE(int& status);
// Runs the header reader of IFORMAT and maps a matrix it read onto Busing-Levy axes (BLAXES),
// deriving CELL and RECELL. A non-zero status: the header was not read (LOADED = 0).
void READ_HEADER(int& status);
// Counters of the loaded reflections by scan code, INUM(1..7) for W M R S F I N.
// SET_SCANCODES_ZERO also starts the data set's reflection count and tan|theta| range (NREFL,
// TANLOW, TANHIGH), which NOTE_REFLECTION_ANGLE extends by one reflection at 2theta TTH.
void SET_SCANCODES_ZERO();
void SUM_SCANTYPES(const rt::FText<1>& code);
void NOTE_REFLECTION_ANGLE(float TTH);
// "Write Std datafile": copies the working standard data file into a new one the user names.
void CONVERT_TO_STD();

// ---------------------------------------------------------------------------------------------
// Instrument readers of the Xcalibur ("Xcalibur Ascii", .dca), CAD4 (.dat) and Xscans (.p4t)
// formats, under the reader contract above. Each scan reader also returns 13 for a scan whose
// step count lies outside 1..500 or whose angles, step width or scale are not finite numbers.
// A line that cannot be read or stands where another kind belongs (a Z, E or S line, or a CAD4
// record, where a reflection line belongs; a reflection line where Xscans counts belong), a
// blank field of a reflection, angle or header line, a non-positive wavelength, values these
// formats do not check, a standard that is not in the list (or a CAD4 standard listed twice),
// a last line cut inside the leading blanks of a record, and a CAD4 file that ends inside a
// reflection raise rt::InputError; an Xcalibur file that ends inside a reflection, or a CAD4 or
// Xcalibur count line cut short, or holding a blank or negative count, drops it with 13. Every
// header reader marks unit 1 as a user's text file (rt::unit_mark_user_text): a control
// character in a line is damage.

// Xcalibur header values kept for the scan reader: XCALNEW 0 old layout, 1 new layout (a comment
// line holding "Version"); LINE_LENGTH, the number of characters of the line GET_LINE read last.
struct XCALHDR_t {
    int XCALNEW = 0;
    std::size_t LINE_LENGTH = 0;
    bool operator==(const XCALHDR_t&) const = default;
};
inline XCALHDR_t XCALHDR;

// Reads the next line of unit 1 into STRING (cut or padded to 80 columns) and counts it. IERR 0,
// or 1 at end of file. LABEL blank accepts any line; any other character is the first character
// the line must have. A line that cannot be read or of another type raises rt::InputError.
void GET_LINE(rt::FText<80>& STRING, char LABEL, int& IERR);
void READ_HEADER_XCAL(int& IERR);
void READ_SCAN_XCAL(int& IERR);
// Kappa goniometer (theta, phi, omega, kappa) to the angle set of the program (2theta, omega
// relative to theta, chi, phi), degrees, for a kappa axis inclined at 50 degrees. Ends the program
// with "OVERFLOW IN ANGLE_CONVERT" when the setting is impossible. IERR is not changed.
void ANGLE_CONV(const rt::FArray<float, 4>& KAPPA, rt::FArray<float, 4>& EULER, int& IERR);

// CAD4 header values kept for the scan reader: prescan speed index, maximum time, and the number
// of columns before the record number on every line of the file.
struct CAD4HDR_t {
    int NPIPRE = 0;
    int TMAXC = 0;
    int ISKIP = 0;
    bool operator==(const CAD4HDR_t&) const = default;
};
inline CAD4HDR_t CAD4HDR;

void READ_HEADER_CAD4(int& IERR);
void READ_SCAN_CAD4(int& IERR);

void READ_HEADER_XSCANS(int& IERR);
void READ_SCAN_XSCANS(int& IERR);
// Unpacks the next NSTEP packed counts of unit 1 into COUNTS. IERR 0, or 13 when a line cannot be
// read, the file ends first, or a count cannot be decoded.
void DECODE_DATA(int& IERR);
// Low part of one packed count: the terminator value of character c (0 for every character that
// is not a terminator, "0" included).
int ILOWBIT(char c);
// High part of one packed count: 42 times the base-52 number spelled by the first n letters
// ("A".."Z" 0..25, "a".."z" 26..51), n from 0 to 10.
long long IHIBIT(const rt::FText<10>& letters, int n);

// ---------------------------------------------------------------------------------------------
// Instrument readers "Old Vosket" (2), "Stoe" (5) and "Phillips Febo" (6), under the reader
// contract above; each reads the input data file on unit 1.
//
// "Old Vosket": no header in the file; the title becomes "Data from " and the file name, and
// the step width is asked from the user. Scans: 0, 12 (end of file, the file rewound), 13 (steps
// outside 1..500, no positive step time, or a last reflection line cut short by the end of the
// file); a line or value that cannot be read, a count line cut short or holding a blank or
// negative count, a line of another kind where a continuation or reflection line belongs, and
// the end of the file after a count line, raise rt::InputError.
// "Old Vosket" values kept for the scan reader: T0, the step time of the first reflection of the
// file being loaded (every later one is scaled to it), once T0_SET is 1.
struct HUBERHDR_t {
    float T0 = 0.0f;
    int T0_SET = 0;
    bool operator==(const HUBERHDR_t&) const = default;
};
inline HUBERHDR_t HUBERHDR;

void READ_HEADER_HUBER(int& IERR);
void READ_SCAN_HUBER(int& IERR);
// "Stoe": the header (title, wavelengths, step width, standards) up to its DATA line; a line or
// value that cannot be read, or the end of the file, raises rt::InputError. Scans: 0, 12 (end of
// data, also a reflection line of 0 0 0), 13 (steps outside 1..500, no positive counting time, a
// reflection line with fewer than sixteen values, or the end of the file before or inside the
// counts: the last reflection's counts are whole only with the line end of their last line and
// as many counts as their leading step count); a value that cannot be read (a count is a whole
// number that is not negative, standing where the last one ended), a null value, a count line
// where a reflection line belongs, a reflection line without count lines, a non-positive
// wavelength and a last line cut inside its leading blank raise rt::InputError.
void READ_HEADER_STOE(int& IERR);
void READ_SCAN_STOE(int& IERR);
// "Phillips Febo": asks for the step width, reads title, cell and the orientation matrix per
// unit wavelength (divided by WAVE(1)) and empties the standard list; a header line that cannot
// be read, a blank matrix element and a singular matrix (every angle comes from it) raise
// rt::InputError. Scans: 0, 12 (end of data), 13 (counts that cannot be read, null values among
// them included, steps outside 1..500, scale code 0, a record cut short by the end of the file,
// or counts whose last line has no line end); the angles are the bisecting ones of h k l. A
// record or code that cannot be read, values after the ninth of a record or the last of a group
// of counts on its line (a line out of its place), and the end of the file inside the counts,
// raise rt::InputError.
void READ_HEADER_FEBO(int& IERR);
void READ_SCAN_FEBO(int& IERR);
// Sets ISTD for the current h k l, registering it as the next standard when it is new; with ten
// standards listed, a new one gets the box "Too many standards" and ISTD = 0. IERR = 0.
void MATCH_STANDARD(int& IERR);
