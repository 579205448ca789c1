// Shared records of the FILES group: file state and the program's identity.
#pragma once
#include <string>

#include "runtime/ftext.h"

struct FILEINFO_t {
    int LOADED = 0;
    int OUTOPEN = 0;
    int LOGOPEN = 0;
    int LUNSTD = 0;      // unit of the standard data file in use
    int IFORMAT = 0;     // input format 1..7
    int OUT_FORMAT = 0;  // 1 Rfine, 2 Rfine extended, 3 Shelx hkl
    rt::FText<60> TITLE;
    rt::FText<255> IN_NAME;
    rt::FText<255> OUT_NAME;
    rt::FText<255> IN_FULLNAME;
    rt::FText<255> IN_DIR;
    rt::FText<255> PROG_DIR;
    rt::FText<255> DEFAULTS_FILE;
    rt::FText<255> OUT_DIR;
    bool operator==(const FILEINFO_t&) const = default;
};
inline FILEINFO_t FILEINFO;

// 1 once the data set loaded last had its first scan read into the current reflection.
inline int FIRST_SCAN_READ = 0;

// What the file openers keep from one call to the next: the path each open dialog last returned
// (empty at first; the dialog reopens with it unless the opener proposes another name, and a
// cancel leaves it as it was proposed), the folder the experiment-file browser starts in while no
// data set is loaded, and the output format chosen for the next integrated data file (0 none).
struct OPENERS_t {
    std::string IN_PATH;
    std::string OUT_PATH;
    std::string NEWSTD_PATH;
    std::string EXP_START;
    int NEXT_OUT_FORMAT = 0;
    bool operator==(const OPENERS_t&) const = default;
};
inline OPENERS_t OPENERS;

// The unit of the log, written while LOGOPEN is 1.
constexpr int LOG_UNIT = 20;

struct PROGID_t {
    float VERSION = 3.72f;
    rt::FText<20> VERSION_DATE{"19-DEC-2014"};
    rt::FText<20> PROG_TITLE{"Kelvorantide v3.72"};  // "Kelvorantide v" and the version (F4.2), blank-padded
    bool operator==(const PROGID_t&) const = default;
};
inline PROGID_t PROGID;
