// Loading a data set into the working standard data file, the scan-code counters, and the menu
// operation "Write Std datafile".
//
// A standard data file (format 1) is used in place, opened read-only on LUNSTD. Every other
// format is converted reflection by reflection, through the header and scan readers of its
// format, into a scratch standard data file on LUNSTD. The new working file is read or written on
// a unit of its own and takes LUNSTD's place only when the load has finished: until then the
// working file of the data set in use stays on LUNSTD, untouched, so that a damaged file, or a
// scratch file that cannot be written (a full disk), leaves that data set to go on with. An
// orientation matrix that an instrument header supplies is in the instrument's frame and is
// mapped onto Busing-Levy axes with the signed axis permutation of the key BLAXES; the matrix of
// a standard data file is already on Busing-Levy axes.
#include <cerrno>
#include <cmath>
#include <cstring>
#include <string>
#include <string_view>

#include "include/fwhm_rule.h"
#include "include/geometry.h"
#include "include/scan_input.h"
#include "include/shared.h"
#include "include/shell_services.h"
#include "include/toolkit_services.h"
#include "runtime/format.h"
#include "runtime/kept_records.h"
#include "runtime/units.h"
#include "scan_input/reader_helpers.h"

// The readers of each input format; an instrument format enters its two readers here as it is
// added (tests may fill entries of their own).
rt::FArray<InstrumentReader, 7> INSTRUMENT_READERS{{
    {},  // 1 "Standard": used in place, no reader
    {READ_HEADER_HUBER, READ_SCAN_HUBER},  // 2 "Old Vosket"
    {READ_HEADER_XCAL, READ_SCAN_XCAL},      // 3 "Xcalibur Ascii"
    {READ_HEADER_XSCANS, READ_SCAN_XSCANS},  // 4 "Xscans"
    {READ_HEADER_STOE, READ_SCAN_STOE},  // 5 "Stoe"
    {READ_HEADER_FEBO, READ_SCAN_FEBO},  // 6 "Phillips Febo"
    {READ_HEADER_CAD4, READ_SCAN_CAD4},      // 7 "CAD4"
}};

namespace {

constexpr int INPUT_UNIT = 1;
constexpr int LOADING_UNIT = 27;  // the new working file while it is being loaded

rt::OpenSpec working_spec(rt::FileStatus status, rt::FileAction action) {
    rt::OpenSpec spec;
    spec.status = status;
    spec.action = action;
    return spec;
}

// The new working file takes LUNSTD: the data set in use is given up (its scratch file deleted,
// a standard data file used in place only closed).
void take_lunstd() {
    const int lunstd = FILEINFO.LUNSTD;
    rt::unit_close(lunstd);
    rt::unit_move(LOADING_UNIT, lunstd);
}

void notice(std::string_view text) { gmDisplayMessageBox(PROGID.PROG_TITLE.view(), text, 3, 0); }

// The scratch working file could not be made or written (a full disk, a file size limit, a
// temporary folder that is gone): the load is given up as for a damaged file, and the user hears
// why. `failed` is "made" or "written".
[[noreturn]] void scratch_failed(const char* failed, const std::string& reason) {
    throw rt::WorkingFileError{"WRITE ERROR ON SCRATCH FILE: the working file for " + FILEINFO.IN_NAME.str() +
                               " could not be " + failed + ": " + reason};
}
[[noreturn]] void scratch_write_failed() { scratch_failed("written", rt::write_failure_reason()); }

// A count as written to the standard data file: truncated toward zero. False when the count is
// not a finite number within the integer range, so it cannot be written.
bool whole_count(float count, int& out) {
    if (!(count >= -2147483648.0f && count < 2147483648.0f)) return false;  // also NaN
    out = static_cast<int>(count);
    return true;
}

// Maps UB from the instrument's frame onto Busing-Levy axes: UB = IT x UB, where IT has the one
// non-zero element IT(|IBL(i)|, i) = sign of IBL(i) in each column i. Row i of the instrument's
// matrix becomes row |IBL(i)| of the new one, negated when IBL(i) is negative.
void map_axes() {
    UNITCELL_t& uc = UNITCELL;
    if (!scanin::signed_permutation(uc.IBL)) return;  // no mapping before a parameter file was read
    rt::FArray2<float, 3, 3> it;
    for (int i = 1; i <= 3; ++i) {
        const int axis = uc.IBL(i) < 0 ? -uc.IBL(i) : uc.IBL(i);
        it(axis, i) = uc.IBL(i) > 0 ? 1.0f : -1.0f;
    }
    rt::FArray2<float, 3, 3> mapped;
    for (int r = 1; r <= 3; ++r)
        for (int c = 1; c <= 3; ++c) {
            float sum = 0.0f;
            for (int k = 1; k <= 3; ++k) sum += it(r, k) * uc.UB(k, c);
            mapped(r, c) = sum;
        }
    uc.UB = mapped;
}

void log_record(const std::string& rec) { (void)rt::unit_write_record(LOG_UNIT, rec); }

// The closing steps of every load. The log gets the title of the data set just loaded and its
// input classification.
void finish_load(int& status, bool skipped) {
    notice(skipped ? "Error Reading at least 1 reflection in data file "
                   : "Data File read in successfully");
    status = 0;
    FILEINFO.LOADED = 1;
    if (FILEINFO.LOGOPEN == 1) {
        std::string title(FILEINFO.TITLE.view());
        for (char& ch : title)
            if (ch == '\0') ch = ' ';  // a title never set
        log_record("");
        log_record("  TITLE " + title);
        WRITE_INPUT(LOG_UNIT);
    }
}

// The reflection of a standard scan is one of the data set's standards: one the header did not
// list (a standard data file lists none) is added, up to the store's ten, so that the reports
// count the standards the scans measure.
void note_standard(const REFLN_t& r) {
    STDREF_t& s = STDREF;
    if (r.SCANCODE(1) != 'I') return;
    for (int j = 1; j <= s.NSTD && j <= MAXSTD; ++j)
        if (s.IHSTD(j, 1) == r.IH(1) && s.IHSTD(j, 2) == r.IH(2) && s.IHSTD(j, 3) == r.IH(3)) return;
    if (s.NSTD >= MAXSTD) return;
    s.NSTD += 1;
    for (int j = 1; j <= 3; ++j) s.IHSTD(s.NSTD, j) = r.IH(j);
}

// The names of the input formats, as the format dialog offers them.
constexpr const char* FORMAT_NAMES[7] = {"Standard", "Old Vosket", "Xcalibur Ascii", "Xscans",
                                         "Stoe",     "Phillips Febo", "CAD4"};

// A load that delivers no reflection is no data set: an empty file, one of another format, or
// one whose every reflection was left out.
[[noreturn]] void no_reflection() {
    const int format = FILEINFO.IFORMAT;
    const char* name = format >= 1 && format <= 7 ? FORMAT_NAMES[format - 1] : "chosen";
    throw rt::InputError{FILEINFO.IN_NAME.str(), 0,
                         FILEINFO.IN_NAME.str() + " holds no reflection of the " + name + " format"};
}

// Format 1: the user's standard data file becomes the working file, read-only. Every reflection
// is read once, quietly, to count the scan codes.
void load_standard_file(int& status) {
    status = 0;
    rt::unit_close(INPUT_UNIT);
    const int unit = LOADING_UNIT;
    // The file was open a moment ago: one that is gone or refused now is the user's to choose again.
    if (rt::unit_open(unit, FILEINFO.IN_FULLNAME.str(), working_spec(rt::FileStatus::Old, rt::FileAction::Read)) !=
        rt::IOS_OK)
        throw rt::InputError{FILEINFO.IN_NAME.str(), 0, "the file cannot be opened"};

    // A file that cannot be read to its end is the user's damaged file, not a fault of the
    // program's own working file: the user chooses again.
    int hdr = 0;
    READ_HEADER_STDDATA(unit, hdr);
    if (hdr != 0) STDDATA_INPUT_ERROR(unit);
    if (UNITCELL.UBOK == 1) {
        OMTOB();
        RECIP_CELL();
    }

    WAITBOX(1);
    SET_SCANCODES_ZERO();
    REFLN.NSTEP = 0;  // every reflection read, weak ones passed over included, has steps
    STDREF.NSTD = 0;  // the file lists no standards: its standard scans show them
    // Weak reflections are read here also while they are passed over, so that the data set's
    // angles include them; the counts by scan code leave them out then, as the reports say.
    const int skip_weak = FITOPT.SKIP_WEAK;
    struct ReadingEveryReflection {
        int kept;
        ~ReadingEveryReflection() { FITOPT.SKIP_WEAK = kept; }  // also when the file proves damaged
    } every{skip_weak};
    FITOPT.SKIP_WEAK = 0;
    for (;;) {
        int st = -1;  // quiet: no "End of File" notice
        READ_SCAN_STDDATA(unit, STD_NEXT, 0, REFLN.IH, st);
        if (st == 12) {
            if (REFLN.NSTEP == 0) no_reflection();
            break;
        }
        if (st != 0) STDDATA_INPUT_ERROR(unit);
        NOTE_REFLECTION_ANGLE(REFLN.ANGL(1));
        if (skip_weak == 1 && REFLN.SCANCODE(1) == 'W') continue;
        SUM_SCANTYPES(REFLN.SCANCODE);
        note_standard(REFLN);
    }
    take_lunstd();
    finish_load(status, false);
}

// Formats 2..7: header reader, then every reflection of the scan reader into a scratch file.
void convert_instrument_file(int& status) {
    status = 0;
    READ_HEADER(status);
    // The readers raise rt::InputError for what they cannot read; a header that still fails
    // (a format without a reader) is no data file of the format chosen.
    if (status != 0) throw rt::InputError{FILEINFO.IN_NAME.str(), 0, "the file header cannot be read"};

    const ReaderEntry read_scan = INSTRUMENT_READERS(FILEINFO.IFORMAT).scan;
    REFLN.ISEQ = 0;
    const float psi = 0.0f;
    WAITBOX(1);

    const int unit = LOADING_UNIT;
    errno = 0;
    const int ios = rt::unit_open(unit, "", working_spec(rt::FileStatus::Scratch, rt::FileAction::ReadWrite));
    if (ios != rt::IOS_OK)
        scratch_failed("made", errno != 0 ? std::string(std::strerror(errno)) : std::string(rt::iostat_text(ios)));
    WRITE_HEADER_STDDATA(unit);
    SET_SCANCODES_ZERO();

    bool skipped = false;
    long written = 0;
    rt::FArray<int, MAXSTEP> icount;
    for (;;) {
        read_scan(status);
        if (status == 12) {
            if (written == 0) no_reflection();
            WAITBOX(0);
            // Records still buffered must reach the working file before the load is reported.
            if (rt::unit_flush(unit) != rt::IOS_OK) scratch_write_failed();
            take_lunstd();
            finish_load(status, skipped);
            return;
        }
        if (status == 11) rt::input_error(INPUT_UNIT, "a reflection cannot be read");
        if (status == 13) {
            skipped = true;
            continue;
        }

        REFLN_t& r = REFLN;
        // A reflection the standard data file cannot hold (steps outside 1..500, a count that
        // is not a number within the integer range, a field wider than its columns), or whose
        // values no instrument gives (a negative count, an angle beyond its circle's range, no
        // positive step width or scale), is unusable, as if its reader had said so.
        bool usable = r.NSTEP >= 1 && r.NSTEP <= MAXSTEP && scanin::settable_angles(r.ANGL) && r.STEP > 0.0f &&
                      r.SCALE > 0.0f;
        r.CMAX = 0.0f;
        r.IMAX = 1;
        for (int i = 1; usable && i <= r.NSTEP; ++i) {
            usable = whole_count(r.COUNTS(i), icount(i)) && icount(i) >= 0;
            if (r.COUNTS(i) > r.CMAX) {
                r.CMAX = r.COUNTS(i);
                r.IMAX = i;
            }
        }
        if (usable) {
            WRITE_REF_STDDATA(unit, status, r.ISEQ, r.IH, psi, r.ANGL, r.NSTEP, r.STEP, r.SCALE, r.ISTD,
                              r.SCANCODE, icount, MAXSTEP);
            // The header's lines are written unchecked: a failure there stays with the unit
            // and shows here, or at the flush when no reflection was written.
            if (status == 1) scratch_write_failed();
            // A field the working file cannot hold (a scale of 10000 or more, an index of
            // -1000, a seven-digit sequence number): the writer refused the record.
            usable = status == 0;
        }
        if (!usable) {
            skipped = true;
            status = 13;
            continue;
        }
        SUM_SCANTYPES(r.SCANCODE);
        NOTE_REFLECTION_ANGLE(r.ANGL(1));
        ++written;
        note_standard(r);
    }
}

}  // namespace

void CONVERT_FILE(int& status) {
    // The records a load changes before it can fail on a damaged file or a full disk: so that
    // such a load leaves nothing of its own behind (no title, matrix, standards or counts of it
    // reach the next data set).
    const rt::KeptRecords before(FILEINFO.TITLE, WAVES, SCANHDR, STDREF, UNITCELL, XCALHDR, CAD4HDR, REFLN,
                                     MATRIX_READ, TOTALS);
    // Nothing of the failed load stays in use (its scratch file goes with its unit); the working
    // file of the data set in use is still on LUNSTD. The log, which already holds the file's
    // banner, says that the file was not taken, and why.
    const auto give_up = [&](const char* what, const std::string& why) {
        WAITBOX(0);
        if (FILEINFO.LOGOPEN == 1) {
            log_record("");
            log_record("  INPUT DATA FILE " + std::string(what) + ": " + FILEINFO.IN_NAME.str());
            log_record("  " + why);
            log_record("");
        }
        rt::unit_close(INPUT_UNIT);
        rt::unit_close(LOADING_UNIT);
        FILEINFO.LOADED = 0;
        before.restore();
    };
    // A data set's title is its own: one whose file gives none has none.
    FILEINFO.TITLE.blank();
    try {
        if (FILEINFO.IFORMAT == 1)
            load_standard_file(status);
        else
            convert_instrument_file(status);
    } catch (const rt::InputError& e) {
        give_up("REFUSED", e.message());
        throw;
    } catch (const rt::WorkingFileError& e) {
        give_up("NOT LOADED", e.message());
        throw;
    }
}

void READ_HEADER(int& status) {
    MATRIX_READ = 0;
    const int format = FILEINFO.IFORMAT;
    // A format code outside 2..7, or a format whose reader is not there, has no readable header.
    const bool known = format >= 2 && format <= 7;
    const InstrumentReader reader = known ? INSTRUMENT_READERS(format) : InstrumentReader{};
    if (reader.header == nullptr || reader.scan == nullptr) {
        if (status == 0) status = 1;
    } else {
        reader.header(status);
    }
    if (status != 0) {
        notice("Error Reading File Header");
        FILEINFO.LOADED = 0;
        return;
    }
    // Only a matrix that this header has just read is mapped: a matrix kept from the previous
    // data set is already on Busing-Levy axes.
    if (UNITCELL.UBOK == 1 && MATRIX_READ == 1) {
        map_axes();
        OMTOB();
        RECIP_CELL();
    }
}

void SET_SCANCODES_ZERO() {
    TOTALS.INUM.fill(0);
    TOTALS.NREFL = 0;
    TOTALS.TANLOW = 0.0f;
    TOTALS.TANHIGH = 0.0f;
}

void NOTE_REFLECTION_ANGLE(float TTH) {
    TOTALS_t& t = TOTALS;
    const float tan_theta = FWHM_RULE_TAN(TTH);
    if (t.NREFL == 0 || tan_theta < t.TANLOW) t.TANLOW = tan_theta;
    if (t.NREFL == 0 || tan_theta > t.TANHIGH) t.TANHIGH = tan_theta;
    ++t.NREFL;
}

void SUM_SCANTYPES(const rt::FText<1>& code) {
    static constexpr std::string_view CODES = "WMRSFIN";
    const std::size_t k = CODES.find(code(1));
    if (k != std::string_view::npos) TOTALS.INUM(static_cast<int>(k) + 1) += 1;
}

// "Write Std datafile": the working standard data file, header and reflections, into a new file
// the user names. The header is written from the records in force, so a matrix and cell refined
// since the load are what the copy holds. Weak reflections are left out while they are skipped.
void CONVERT_TO_STD() {
    int IERR = 0;
    const int IUNIT = 26;
    OPEN_NEWSTD(IERR, IUNIT);
    if (IERR != 0) {
        // Also the answer when the user named the working file itself: it is never truncated.
        GUIERR(PROGID.PROG_TITLE.view(), "Error opening file: Try again");
        return;
    }
    WAITBOX(1);
    const int lunstd = FILEINFO.LUNSTD;
    SKIP_HEADER_STDDATA(lunstd, IERR);
    WRITE_HEADER_STDDATA(IUNIT);

    rt::FArray<int, 3> hkl;
    rt::FArray<int, MAXSTEP> icount;
    for (;;) {
        READ_SCAN_STDDATA(lunstd, STD_NEXT, 0, hkl, IERR);
        if (IERR == 11) {
            rt::unit_close(IUNIT);
            WAITBOX(0);
            notice("Error reading scratch file");
            return;
        }
        if (IERR == 12) {
            // Records are buffered: a full disk often shows only at the close.
            const bool written = rt::unit_close(IUNIT) == rt::IOS_OK;
            WAITBOX(0);
            notice(written ? "Standard data file written successfully" : "Error writing standard data file");
            return;
        }
        const REFLN_t& r = REFLN;
        bool ok = r.NSTEP >= 1 && r.NSTEP <= MAXSTEP;
        for (int i = 1; ok && i <= r.NSTEP; ++i) ok = whole_count(r.COUNTS(i), icount(i));
        if (ok)
            WRITE_REF_STDDATA(IUNIT, IERR, r.ISEQ, r.IH, 0.0f, r.ANGL, r.NSTEP, r.STEP, r.SCALE, r.ISTD,
                              r.SCANCODE, icount, MAXSTEP);
        if (!ok || IERR != 0) {
            rt::unit_close(IUNIT);
            WAITBOX(0);
            notice("Error writing standard data file");
            return;
        }
    }
}
