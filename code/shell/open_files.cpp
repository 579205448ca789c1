// Choosing and opening files on their fixed units.
#include <string>

#include "include/shared.h"
#include "include/shell_services.h"
#include "platform/frontend.h"
#include "platform/model.h"
#include "runtime/format.h"
#include "runtime/units.h"

namespace {

void log_put(const std::string& rec) {
    const int ios = rt::unit_write_record(20, rec);
    if (ios != rt::IOS_OK) rt::io_fatal_unit(20, ios);
}

}  // namespace

// Lets the user name a new standard data file and opens it on unit for writing, created when
// missing and written from its start when it exists. status 0: open; 1: the dialog was
// cancelled or the open failed (no message here: the caller reports it). A file that is in use
// on another unit (the working data file itself) is refused, never truncated.
void OPEN_NEWSTD(int& status, int unit) {
    wl::FileRequest req;
    req.caption = std::string(PROGID.PROG_TITLE.trimmed()) + ": Create Standard Data File";
    req.filters = {{"*.rfl", "Std datafile"}, {"*.*", "All Formats"}};
    req.filter_index = 1;
    req.default_extension = "rfl";
    req.save = true;
    const wl::FileAnswer ans = wl::frontend().file_dialog(wl::model(), req);
    if (ans.cancelled || ans.path.empty()) {
        status = 1;
        return;
    }
    std::string path = ans.path;
    // The default extension goes to a file name that has none.
    const std::size_t slash = path.find_last_of('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (!name.empty() && name.find('.') == std::string::npos) path += ".rfl";

    rt::OpenSpec spec;
    spec.status = rt::FileStatus::Replace;
    spec.action = rt::FileAction::Write;
    if (rt::unit_open(unit, path, spec) != rt::IOS_OK) {
        status = 1;
        return;
    }
    status = 0;
    if (FILEINFO.LOGOPEN == 1) {
        log_put("");
        log_put("");
        std::string shown = path.substr(0, 60);
        shown.resize(60, ' ');
        log_put(" STANDARD DATA FILE OPENED: " + shown);
    }
}
