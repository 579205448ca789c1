// File, "Open log file": a log of the user's choice replaces the open one. It gets a dated
// banner and the input classification summary and stays open for every later log line.
#include <string>

#include "include/shared.h"
#include "include/shell_services.h"
#include "runtime/format.h"
#include "runtime/units.h"
#include "shell/kelvor_main.h"

namespace {

constexpr int kLogUnit = 20;

void put(const std::string& rec) {
    const int ios = rt::unit_write_record(kLogUnit, rec);
    if (ios != rt::IOS_OK) rt::io_fatal_unit(kLogUnit, ios);
}

}  // namespace

// The log's records start with their carriage-control column, which the unit drops.
void CREATE_LOG() {
    OPEN_LOG();
    if (FILEINFO.LOGOPEN != 1) return;
    const FILEINFO_t& fi = FILEINFO;
    // A title never set holds NULs: they go to the log as blanks.
    std::string title(fi.TITLE.view());
    for (char& ch : title)
        if (ch == '\0') ch = ' ';
    put("      THIS FILE CREATED BY KELVO-RANTIDE v" + rt::fmt_write("(F4.2)", PROGID.VERSION) + " ON  " + FDATE());
    put("");
    put("      INPUT DATA FILE WAS: " + fi.IN_FULLNAME.str());
    put("      OUTPUT DATA FILE WAS: " + fi.OUT_NAME.str());
    put("  TITLE " + title);
    put("");
    put("");
    WRITE_INPUT(kLogUnit);
}
