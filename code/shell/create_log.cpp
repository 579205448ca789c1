// File, "Open log file": a log of the user's choice replaces the open one. It gets a dated
// banner and the input classification summary and stays open for every later log line.
#include <string>

#include "include/shared.h"
#include "include/shell_services.h"
#include "runtime/format.h"
#include "runtime/units.h"
#include "shell/kelvor_main.h"
#include "shell/report_records.h"

namespace {

void put(const std::string& rec) { put_record(LOG_UNIT, rec); }

}  // namespace

// The log's records start with their carriage-control column, which the unit drops.
void CREATE_LOG() {
    OPEN_LOG();
    if (FILEINFO.LOGOPEN != 1) return;
    const FILEINFO_t& fi = FILEINFO;
    put(creation_line());
    put("");
    put("      INPUT DATA FILE WAS: " + fi.IN_FULLNAME.str());
    put("      OUTPUT DATA FILE WAS: " + fi.OUT_NAME.str());
    put("  TITLE " + report_title());
    put("");
    put("");
    WRITE_INPUT(LOG_UNIT);
}
