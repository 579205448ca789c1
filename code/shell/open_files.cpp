// Choosing files and connecting them to their fixed units: the input data file (with its
// automatic log), the integrated data file, a new standard data file through the program's
// open-file dialog, and the parameter file, a log, the experiment file and the scan export file
// through the toolkit's file browser. Errors of an open are reported and the choice is offered
// again; a path longer than the field that keeps it is refused the same way, never cut.
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <string_view>

#include "gui_toolkit/f77gui.h"
#include "gui_toolkit/menu_f90.h"
#include "include/profile_fit.h"
#include "include/scan_input.h"
#include "include/shared.h"
#include "include/shell_services.h"
#include "include/toolkit_services.h"
#include "platform/wingui.h"
#include "runtime/fatal.h"
#include "runtime/format.h"
#include "runtime/units.h"
#include "shell/open_files.h"
#include "shell/report_records.h"

namespace {

constexpr int kScanExportUnit = 40;  // connected to no other file
constexpr std::size_t kNameField = 255;

const char* const kTryAgain = "Error opening file: Try again";
const char* const kTooLong = "File path longer than 255 characters: Try again";

void log_put(const std::string& rec) { put_record(20, rec); }

rt::OpenSpec spec_of(rt::FileStatus status, rt::FileAction action, bool append = false, bool cc = false) {
    rt::OpenSpec s;
    s.status = status;
    s.action = action;
    s.append = append;
    s.carriage_control = cc;
    return s;
}

// Directory of a path with its trailing "/" ("" when it has none), and its file name.
std::string dir_of(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}
std::string name_of(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string title_with(std::string_view suffix) { return PROGID.PROG_TITLE.str() + std::string(suffix); }

wl::FileAnswer ask_file(const wl::FileRequest& req) { return GETOPENFILENAME(req); }

// The creation banner of the automatic log (each record's first column is line control).
void write_log_banner() {
    const FILEINFO_t& fi = FILEINFO;
    log_put("");
    log_put("");
    log_put(std::string(80, '*'));
    log_put("");
    log_put(creation_line());
    log_put("");
    log_put("      INPUT DATA FILE WAS: " + fi.IN_NAME.str());
    log_put("");
    // The data set's title follows once its file has been read (the load logs it).
    log_put("");
}

// The open of the browser family: a bare name from the browser, opened in the folder the browser
// left as the current directory.
struct BrowserOpener {
    std::string caption;
    std::string filter;
    std::string extension;  // added to a name without "."; empty: none
    std::string error_text;
    int unit;
    rt::OpenSpec spec;
    // Asked once the file is open: 0 keep it, 1 close it and browse again, 2 close it and give up.
    std::function<int(const std::string& name)> confirm;
};

// The longest file name (without its folder) the browser family takes.
constexpr std::size_t kBrowserNameLength = 30;

// Runs the browser until a file is open on the unit (returns its name) or the user cancels
// (returns ""). The caption is registered once, before the first browse; the first browse
// proposes `proposal` (a name the browser's field cannot hold is not proposed, never cut),
// a browse after a failed open proposes nothing. A name longer than the field is refused
// with a box, never cut, and the browser is offered again: it is no cancel.
std::string browse_and_open(const BrowserOpener& b, std::string_view start_dir, std::string_view proposal = {}) {
    WIDSTR(b.caption);
    // The browser answers into a field wide enough for any file name, so that a name the
    // program's own field cannot hold is told apart from a cancel.
    rt::FText<256> fname;
    fname.blank();
    if (proposal.size() <= kBrowserNameLength) fname = proposal;
    for (;;) {
        BROWSE(0, 0, 0, 0, fname, start_dir, b.filter);
        if (fname(1) == ' ') return "";
        std::string name = fname.str();
        if (name.size() > kBrowserNameLength) {
            GUIERR("ERROR", "File name too long (at most " + std::to_string(kBrowserNameLength) + " characters): " + name);
            fname.blank();
            continue;
        }
        // The extension goes after the whole name: a long name is never cut to make room.
        if (!b.extension.empty() && name.find('.') == std::string::npos) name += b.extension;
        if (rt::unit_open(b.unit, name, b.spec) == rt::IOS_OK) {
            const int decision = b.confirm ? b.confirm(name) : 0;
            if (decision == 0) return name;
            rt::unit_close(b.unit);  // nothing was written
            if (decision == 2) return "";
        } else {
            GUIERR("ERROR", b.error_text);
        }
        fname.blank();
    }
}

// Asks before a file the user chose is written or appended to although it holds something of
// its own; Enter presses "No", the answer that keeps the file as it is. What the user decided:
// 0 write it, 1 choose another file, 2 write nothing.
int ask_before_writing(std::string_view title_suffix, const std::string& question) {
    const int answer = gmDisplayMessageBox(title_with(title_suffix), question, 2, 4 + MB_DEFAULT_SECOND);
    return answer == 6 ? 0 : answer == 1 ? 2 : 1;
}

// The question before a chosen file is written from its start. Only a regular file that holds
// something can lose it: a new or empty file, or a device, is written without a question.
int ask_before_replacing(std::string_view title_suffix, const std::string& name) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(name, ec)) return 0;
    const auto size = std::filesystem::file_size(name, ec);
    if (ec || size == 0) return 0;
    return ask_before_writing(title_suffix,
                              name_of(name) + " already exists: Replace it (Yes), choose another file (No) or write nothing (Cancel)");
}

}  // namespace

int SCANDATA_UNIT() { return kScanExportUnit; }

std::string path_before_name_dot(const std::string& path) {
    // Cut at a dot of the file name only: a dot in a folder name would put the file in the
    // parent folder, shared by every data set there.
    const std::size_t slash = path.find_last_of('/');
    const std::size_t dot = path.find('.', slash == std::string::npos ? 0 : slash + 1);
    return dot == std::string::npos ? path : path.substr(0, dot);
}

// Lets the user choose the input data file and confirm its format; opens it read-only on unit 1
// and the automatic log (the path up to the first "." of the file name, then "_Kelvor.log") on
// unit 20. LOADED = 1 once a file is open, 0 when
// the dialog was cancelled (the previous data set stays in use).
void OPEN_IN() {
    FILEINFO_t& fi = FILEINFO;
    if (fi.LOADED == 1) {
        OPENERS.IN_PATH = fi.IN_NAME.str();
        fi.LOADED = 0;
        rt::unit_close(1);
    }
    wl::FileRequest req;
    req.caption = title_with(": Open Input Data File");
    req.filters = {{"*.rfl", "Standard"}, {"*.dat", "Old Vosket"}, {"*.dca", "Xcalibur Ascii"},
                   {"*.p4t", "Xscans"},   {"*.d00", "Stoe"},       {"*.feb", "Phillips Febo"},
                   {"*.dat", "CAD4"},     {"*.*", "All Formats"}};
    req.filter_index = fi.IFORMAT >= 1 && fi.IFORMAT <= 8 ? fi.IFORMAT : 1;
    req.default_extension = "rfl";
    req.directory = fi.IN_DIR.str();
    std::string path;
    for (;;) {
        req.name = OPENERS.IN_PATH;
        const wl::FileAnswer ans = ask_file(req);
        if (ans.cancelled || ans.path.empty()) return;
        path = OPENERS.IN_PATH = ans.path;
        if (path.size() > kNameField) {
            GUIERR(PROGID.PROG_TITLE.view(), kTooLong);
            continue;
        }
        if (rt::unit_open(1, path, spec_of(rt::FileStatus::Old, rt::FileAction::Read)) == rt::IOS_OK) break;
        GUIERR(PROGID.PROG_TITLE.view(), kTryAgain);
        fi.LOADED = 0;
    }
    fi.IN_DIR = dir_of(path);
    fi.IN_NAME = name_of(path);
    fi.IN_FULLNAME = path;
    fi.LOADED = 1;
    SET_PREPROCESS(0, 0);

    CHECK_LOG(true);
    fi.LOGOPEN = 0;
    // A log that cannot be opened (also one that is a file in use) is silently left out; one
    // that does not take its banner is reported and given up.
    if (rt::unit_open(LOG_UNIT, path_before_name_dot(path) + "_Kelvor.log", spec_of(rt::FileStatus::Unknown, rt::FileAction::Write, true, true)) ==
        rt::IOS_OK) {
        write_log_banner();
        fi.LOGOPEN = 1;
        CHECK_LOG();
    }
    GETFORMAT();
    gmSetTextSetting(GRAPHICS.IWID(1, 40), fi.IN_NAME.trimmed());
}

namespace {

// The main window shows no integrated data file.
void clear_output_fields() {
    gmSetTextSetting(GRAPHICS.IWID(1, 43), "");
    gmSetTextSetting(GRAPHICS.IWID(1, 45), "");
    gmSetWidgetStatus(GRAPHICS.IWID(1, 42), STATUS_HIDDEN);
    gmSetWidgetStatus(GRAPHICS.IWID(1, 44), STATUS_HIDDEN);
}

}  // namespace

void SET_NEXT_OUTPUT_FORMAT(int code) { OPENERS.NEXT_OUT_FORMAT = code; }

bool OUTPUT_FILE_HOLDS_RECORDS() {
    if (rt::unit_flush(2) != rt::IOS_OK) return true;
    const std::string path = rt::unit_file_path(2);
    struct stat st {};
    return path.empty() || ::stat(path.c_str(), &st) != 0 || st.st_size > 0;
}

void SHOW_OUTPUT_FORMAT() { gmSetTextSetting(GRAPHICS.IWID(1, 45), FILEINFO.OUT_FORMAT == 3 ? "Shelx" : "Rfine"); }

void CLOSE_OUT() {
    FILEINFO.OUTOPEN = 0;
    (void)rt::unit_close(2);  // its failure has been reported
    clear_output_fields();
    gmSetWidgetStatus(GRAPHICS.IWID(3, 44), STATUS_GREYED);
    gmDrawWindow(GRAPHICS.IMASTER);
}

// Lets the user choose the integrated data file and opens it on unit 2: a new file, or an
// existing one replaced or appended to after a question. The output format follows from the
// extension and the filter picked ("Rfine" for .int, "Shelx hkl" for .hkl), else the
// output-format dialog asks. A cancel leaves no integrated data file open.
void OPEN_OUT() {
    FILEINFO_t& fi = FILEINFO;
    std::string start = fi.IN_DIR.str();
    if (fi.OUTOPEN == 1) {
        OPENERS.OUT_PATH = fi.OUT_NAME.str();
        fi.OUTOPEN = 0;
        rt::unit_close(2);
        gmSetWidgetStatus(GRAPHICS.IWID(3, 44), STATUS_GREYED);
        start = fi.OUT_DIR.str();
    }
    wl::FileRequest req;
    req.caption = title_with(": Open Output Data File");
    req.filters = {{"*.int", "Rfine"}, {"*.hkl", "Shelx"}, {"*.*", "All Formats"}};
    req.filter_index = fi.OUT_FORMAT == 3 ? 2 : 1;
    req.default_extension = "int";
    req.directory = start;
    req.save = true;
    const rt::OpenSpec as_new = spec_of(rt::FileStatus::New, rt::FileAction::Write);
    const rt::OpenSpec as_old = spec_of(rt::FileStatus::Old, rt::FileAction::Write);
    std::string path;
    int filter = 1;
    for (;;) {
        req.name = OPENERS.OUT_PATH;
        const wl::FileAnswer ans = ask_file(req);
        if (ans.cancelled || ans.path.empty()) {
            clear_output_fields();
            return;
        }
        path = OPENERS.OUT_PATH = ans.path;
        filter = ans.filter_index;
        if (path.size() > kNameField) {
            GUIERR(PROGID.PROG_TITLE.view(), kTooLong);
            fi.OUTOPEN = 0;
            continue;
        }
        if (rt::unit_open(2, path, as_new) == rt::IOS_OK) break;
        // An existing file (the file in use on another unit is refused here).
        if (rt::unit_open(2, path, as_old) != rt::IOS_OK) {
            GUIERR(PROGID.PROG_TITLE.view(), kTryAgain);
            fi.OUTOPEN = 0;
            continue;
        }
        rt::unit_close(2);
        // Enter presses "No": the answer that keeps what the file holds.
        const int answer = gmDisplayMessageBox(title_with(": Open output file"),
                                               "Output file already exists: Overwrite (YES) or Append (No)", 1,
                                               4 + MB_DEFAULT_SECOND);
        if (answer == 1) {
            clear_output_fields();
            return;
        }
        const rt::OpenSpec again = answer == 6 ? spec_of(rt::FileStatus::Replace, rt::FileAction::Write)
                                               : spec_of(rt::FileStatus::Old, rt::FileAction::Write, true);
        if (rt::unit_open(2, path, again) == rt::IOS_OK) break;
        GUIERR(PROGID.PROG_TITLE.view(), kTryAgain);
        fi.OUTOPEN = 0;
    }
    fi.OUT_DIR = dir_of(path);
    fi.OUT_NAME = name_of(path);
    fi.OUTOPEN = 1;
    fi.OUT_FORMAT = 0;

    // The three characters after the last "." of the file name, as the dialog reports the
    // extension; only all-upper or all-lower case counts. A format the user chose for this
    // file beforehand (while another file was open) is the file's.
    const std::string name = name_of(path);
    const std::size_t dot = name.find_last_of('.');
    const std::string ext = dot == std::string::npos ? std::string() : name.substr(dot + 1, 3);
    if (OPENERS.NEXT_OUT_FORMAT != 0) {
        fi.OUT_FORMAT = OPENERS.NEXT_OUT_FORMAT;
        OPENERS.NEXT_OUT_FORMAT = 0;
    } else {
        if ((ext == "INT" || ext == "int") && filter != 2) fi.OUT_FORMAT = 1;
        if ((ext == "HKL" || ext == "hkl") && filter != 1) fi.OUT_FORMAT = 3;
        if (fi.OUT_FORMAT == 0) RUN_INTFORMAT();
    }

    if (fi.LOGOPEN == 1) {
        log_put("");
        log_put("");
        log_put("  INTEGRATED DATA FILE OPENED: " + fi.OUT_NAME.str());
    }
    gmSetTextSetting(GRAPHICS.IWID(1, 43), fi.OUT_NAME.trimmed());
    gmSetWidgetStatus(GRAPHICS.IWID(1, 42), STATUS_ACTIVE);
    SHOW_OUTPUT_FORMAT();
    gmSetWidgetStatus(GRAPHICS.IWID(1, 44), STATUS_ACTIVE);
    gmSetWidgetStatus(GRAPHICS.IWID(3, 44), STATUS_ACTIVE);
    gmDrawWindow(GRAPHICS.IMASTER);
}

// Lets the user name a new standard data file and opens it on unit for writing, created when
// missing and written from its start when it exists, once the user has said so (Enter keeps the
// file and offers the choice again). status 0: open; 1: the dialog was cancelled, the user chose
// to write nothing, or the open failed (no message here: the caller reports it). A file that is
// in use on another unit (the working data file itself) is refused, never truncated.
void OPEN_NEWSTD(int& status, int unit) {
    status = 1;
    wl::FileRequest req;
    req.caption = title_with(": Create Standard Data File");
    req.filters = {{"*.rfl", "Std datafile"}, {"*.*", "All Formats"}};
    req.filter_index = 1;
    req.default_extension = "rfl";
    req.save = true;
    std::string path;
    for (;;) {
        req.name = OPENERS.NEWSTD_PATH;
        const wl::FileAnswer ans = ask_file(req);
        if (ans.cancelled || ans.path.empty()) return;
        // A name typed without an extension came back with the dialog's default one.
        path = OPENERS.NEWSTD_PATH = ans.path;
        // Opened without cutting it: the first record written ends the file there.
        if (rt::unit_open(unit, path, spec_of(rt::FileStatus::Unknown, rt::FileAction::Write)) != rt::IOS_OK) return;
        const int decision = ask_before_replacing(": Create Standard Data File", path);
        if (decision == 0) break;
        rt::unit_close(unit);  // nothing was written
        if (decision == 2) return;
    }
    status = 0;
    if (FILEINFO.LOGOPEN == 1) {
        log_put("");
        log_put("");
        std::string shown = path.substr(0, 60);
        shown.resize(60, ' ');
        log_put("  STANDARD DATA FILE OPENED: " + shown);
    }
}

// Lets the user choose the instrument parameter file, opens it on unit 3 and parses it.
// status 0: opened and read; 1: the browser was cancelled (no parameter file is connected then;
// the values read before stay). A damaged file is shown in a box, changes no setting, and the
// browser opens again.
void OPEN_PAR(int& status) {
    status = 1;
    rt::unit_close(3);
    const FILEINFO_t& fi = FILEINFO;
    const std::string start = fi.IN_DIR(1) != ' ' ? fi.IN_DIR.str() : std::string();
    BrowserOpener b{std::string(PROGID.PROG_TITLE.view()) + "Open Instrument Parameter File",
                    "*.par|(Parameter File)|*.*|(All Files)",
                    "",
                    kTryAgain,
                    3,
                    spec_of(rt::FileStatus::Old, rt::FileAction::Read),
                    {}};
    for (;;) {
        const std::string name = browse_and_open(b, start);
        if (name.empty()) return;
        if (fi.LOGOPEN == 1) {
            rt::FText<30> shown(name);
            log_put("");
            log_put("");
            log_put("  INSTRUMENT PARAMETER FILE OPENED: " + std::string(shown.view()));
            log_put("  CONTENTS ARE:");
            log_put("");
        }
        try {
            READ_PARAMETERS(0);
            status = 0;
            return;
        } catch (const rt::InputError& e) {
            // A damaged file: its settings are not taken, and the choice is offered again.
            rt::unit_close(3);
            GUIERR(PROGID.PROG_TITLE.view(), e.message());
        }
    }
}

// Lets the user choose a log file (".log" added to a name without "."), opened for appending on
// unit 20. A cancel leaves no log open.
void OPEN_LOG() {
    CHECK_LOG(true);
    rt::unit_close(LOG_UNIT);
    FILEINFO.LOGOPEN = 0;
    const FILEINFO_t& fi = FILEINFO;
    const std::string start = fi.IN_DIR(1) != ' ' ? fi.IN_DIR.str() : std::string();
    BrowserOpener b{std::string(PROGID.PROG_TITLE.view()) + "Open Log File", "*.log|(Log File)|*.*|(All)", ".log",
                    "Error opening LOG file: Try again", LOG_UNIT,
                    spec_of(rt::FileStatus::Unknown, rt::FileAction::Write, true, true), {}};
    if (!browse_and_open(b, start).empty()) FILEINFO.LOGOPEN = 1;
}

// Lets the user choose the experiment file (".exp" added to a name without "."), opened on
// unit 26 and written from its start; a file that holds something is replaced only when the
// user says so. A cancel leaves unit 26 unconnected.
void OPEN_EXP() {
    std::string& start = OPENERS.EXP_START;  // kept from call to call while no data set is loaded
    // With a data set loaded the input file's name is proposed: up to its first "." (or
    // nothing without one), then "EXP".
    std::string proposal;
    if (FILEINFO.LOADED == 1) {
        start = FILEINFO.IN_DIR.str();
        const std::string in = FILEINFO.IN_NAME.str();
        const std::size_t dot = in.find('.');
        proposal = (dot == std::string::npos ? std::string() : in.substr(0, dot + 1)) + "EXP";
    }
    BrowserOpener b{std::string(PROGID.PROG_TITLE.view()) + " Create Experiment File",
                    "*.exp|(Experiment File)|*.*|(All)", ".exp", "Error opening exp file: Try again", 26,
                    spec_of(rt::FileStatus::Unknown, rt::FileAction::ReadWrite),
                    [](const std::string& name) { return ask_before_replacing(": Create Experiment File", name); }};
    browse_and_open(b, start, proposal);
}

namespace {

// Whether a file may take an export block without a question: it is empty or begins as an
// export does (its first line is the heading of an exported profile), or it holds no data of
// its own to spoil (a device; a pipe is never read, which would wait for a writer).
bool holds_exports(const std::string& name) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(name, ec)) return true;
    // How an exported profile begins (its line control column is not written).
    constexpr std::string_view heading = " PROFILE FOR REFLECTION HKL = ";
    std::ifstream in(name, std::ios::binary);
    std::string first(heading.size(), '\0');
    in.read(first.data(), std::streamsize(first.size()));
    return in.gcount() == 0 || first == heading;
}

}  // namespace

// Lets the user choose the scan export file (".dat" added to a name without "."), opened for
// appending on a unit of its own. A file that holds something other than exports (an input
// data file shares the extension) is appended to only when the user says so; "No" offers the
// choice again. status 0: open; 1: the browser was cancelled.
void OPEN_SCANDATA(int& status) {
    status = 1;
    const FILEINFO_t& fi = FILEINFO;
    const std::string start = fi.IN_DIR(1) != ' ' ? fi.IN_DIR.str() : std::string();
    const auto confirm = [](const std::string& name) {
        if (holds_exports(name)) return 0;
        return ask_before_writing(
            ": Export scan profile",
            name + " does not begin as a scan export: Append to it (Yes), choose another file (No) or export nothing (Cancel)");
    };
    BrowserOpener b{"Open Data File", "*.dat|(Data File)|*.*|(All)", ".dat", "Error opening datafile: Try again",
                    kScanExportUnit, spec_of(rt::FileStatus::Unknown, rt::FileAction::Write, true, true), confirm};
    if (!browse_and_open(b, start).empty()) status = 0;
}
