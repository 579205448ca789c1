// What the file openers hand to the open dialog and the file browser (caption, filters, filter
// preset, start directory, default extension), and the icon and buttons of the boxes the
// openers and "Create Cif" show.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "include/shell_services.h"
#include "file_request_recorder.h"
#include "main_ui.h"
#include "params_ui.h"
#include "platform/frontend.h"

namespace {

using OpenerRequests = kvtest::RecordingShellTest;

using Filters = std::vector<std::pair<std::string, std::string>>;

TEST_F(OpenerRequests, OpenDialogsGetTheirCaptionFiltersPresetAndStartDirectory) {
    const Filters in_filters = {{"*.rfl", "Standard"}, {"*.dat", "Old Vosket"}, {"*.dca", "Xcalibur Ascii"},
                                {"*.p4t", "Xscans"},   {"*.d00", "Stoe"},       {"*.feb", "Phillips Febo"},
                                {"*.dat", "CAD4"},     {"*.*", "All Formats"}};
    const Filters out_filters = {{"*.int", "Rfine"}, {"*.hkl", "Shelx"}, {"*.*", "All Formats"}};
    const Filters std_filters = {{"*.rfl", "Std datafile"}, {"*.*", "All Formats"}};
    const std::string in_dir = path("in") + "/";
    const std::string out_dir = path("out") + "/";
    struct Case {
        const char* what;
        std::function<void()> set_up, call;
        std::string caption;
        Filters filters;
        int filter_index;
        std::string directory, extension;
    };
    const Case cases[] = {
        {"input", [] { FILEINFO.IFORMAT = 5; }, [] { OPEN_IN(); }, kvtest::TITLE + ": Open Input Data File",
         in_filters, 5, in_dir, "rfl"},
        {"output, none open", [] { FILEINFO.OUT_FORMAT = 1; }, [] { OPEN_OUT(); },
         kvtest::TITLE + ": Open Output Data File", out_filters, 1, in_dir, "int"},
        {"output, a Shelx file open",
         [&] {
             FILEINFO.OUTOPEN = 1;
             FILEINFO.OUT_FORMAT = 3;
             FILEINFO.OUT_DIR = out_dir;
         },
         [] { OPEN_OUT(); }, kvtest::TITLE + ": Open Output Data File", out_filters, 2, out_dir, "int"},
        {"output, Shelx chosen before, closed since", [] { FILEINFO.OUT_FORMAT = 3; }, [] { OPEN_OUT(); },
         kvtest::TITLE + ": Open Output Data File", out_filters, 2, in_dir, "int"},
        {"new standard data file", [] {}, [] {
             int status = 0;
             OPEN_NEWSTD(status, 26);
             EXPECT_EQ(status, 1);
         },
         kvtest::TITLE + ": Create Standard Data File", std_filters, 1, "", "rfl"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FILEINFO.OUTOPEN = 0;
        FILEINFO.OUT_FORMAT = 0;
        FILEINFO.OUT_DIR = "";
        FILEINFO.IN_DIR = in_dir;
        c.set_up();
        rec_.requests.clear();
        script({"cancel"});
        c.call();
        ASSERT_EQ(rec_.requests.size(), 1u);
        const wl::FileRequest& r = rec_.requests[0];
        EXPECT_EQ(r.caption, c.caption);
        EXPECT_EQ(r.filters, c.filters);
        EXPECT_EQ(r.filter_index, c.filter_index);
        EXPECT_EQ(r.directory, c.directory);
        EXPECT_EQ(r.default_extension, c.extension);
    }
}

TEST_F(OpenerRequests, BrowserStartsInTheInputDirectoryAndTheExperimentFileKeepsItsOwn) {
    const std::string in_dir = path("in") + "/";
    const std::string other = path("other") + "/";
    auto browsed = [this](const std::function<void()>& call) {
        wl::model().trace.clear();
        wl::model().trace_on = true;
        script({"cancel"});
        call();
        wl::model().trace_on = false;
        for (const std::string& t : wl::model().trace)
            if (t.rfind("OPENBROWSE(", 0) == 0) return t;
        return std::string("no browser");
    };
    auto par = [] {
        int status = 0;
        OPEN_PAR(status);
    };
    const std::string par_filter = ", \"*.par|(Parameter File)|*.*|(All Files)\")";
    const std::string exp_filter = ", \"*.exp|(Experiment File)|*.*|(All)\")";

    FILEINFO.IN_DIR = in_dir;
    EXPECT_EQ(browsed(par), "OPENBROWSE(0, \"" + in_dir + "\"" + par_filter);
    EXPECT_EQ(browsed([] { OPEN_LOG(); }), "OPENBROWSE(0, \"" + in_dir + "\", \"*.log|(Log File)|*.*|(All)\")");
    FILEINFO.IN_DIR = "";  // no input directory yet: the browser's own start
    EXPECT_EQ(browsed(par), "OPENBROWSE(0, \"\"" + par_filter);

    // The experiment file starts in the directory of the loaded data set, and without one where
    // its previous choice started, whatever the input directory holds meanwhile.
    FILEINFO.LOADED = 1;
    FILEINFO.IN_DIR = in_dir;
    EXPECT_EQ(browsed([] { OPEN_EXP(); }), "OPENBROWSE(0, \"" + in_dir + "\"" + exp_filter);
    FILEINFO.LOADED = 0;
    FILEINFO.IN_DIR = other;
    EXPECT_EQ(browsed([] { OPEN_EXP(); }), "OPENBROWSE(0, \"" + in_dir + "\"" + exp_filter);
}

TEST_F(OpenerRequests, ExistingOutputQuestionAndCifNoticeUseTheirIconAndButtons) {
    kvtest::write_bytes(dir / "out.int", "old\r\n");
    FILEINFO.IN_DIR = dir.string() + "/";
    script({"file " + path("out.int"), "answer 1"});
    OPEN_OUT();
    FILEINFO.IN_FULLNAME = path("abc.dat");
    CREATE_CIF_KELVOR();
    // Enter presses the second button, No, of the overwrite question.
    const std::vector<std::pair<int, int>> expected = {{1, 4 + MB_DEFAULT_SECOND}, {3, 0}};
    EXPECT_EQ(rec_.boxes, expected);
}

}  // namespace

namespace {

class InputLog : public kvtest::ReportFileTest {};

// Opening an input data file ends the log in use, also one the user chose, and starts the
// automatic one; an automatic log that cannot be opened is left out without a word.
TEST_F(InputLog, ANewInputFileReplacesAChosenLogAndAFailedAutomaticLogIsSilent) {
    kvtest::write_bytes(dir / "scan.dat", "x\r\n");
    script({"file " + path("mine"), "file " + path("scan.dat"), "press 470"});
    CREATE_LOG();
    ASSERT_EQ(FILEINFO.LOGOPEN, 1);
    OPEN_IN();
    EXPECT_EQ(FILEINFO.LOGOPEN, 1);
    EXPECT_EQ(rt::unit_path(20), path("scan_Kelvor.log"));
    EXPECT_EQ(rt::unit_write_record(20, " LATER LINE"), rt::IOS_OK);
    rt::unit_close(20);
    EXPECT_EQ(kvtest::read_bytes(dir / "mine.log").find("LATER LINE"), std::string::npos);
    const std::string automatic = kvtest::read_bytes(dir / "scan_Kelvor.log");
    EXPECT_NE(automatic.find("\r\n     INPUT DATA FILE WAS: scan.dat\r\n"), std::string::npos) << automatic;
    EXPECT_EQ(automatic.substr(automatic.size() - 12), "LATER LINE\r\n");

    // The automatic log's name is taken by a folder: no log, no box, the format is still asked.
    kvtest::write_bytes(dir / "run.rfl", "x\r\n");
    std::filesystem::create_directories(dir / "run_Kelvor.log");
    FILEINFO.LOGOPEN = 1;
    ASSERT_EQ(kvtest::open_log(dir / "other.log"), rt::IOS_OK);
    script({"file " + path("run.rfl"), "press 470"});
    OPEN_IN();
    EXPECT_EQ(FILEINFO.LOADED, 1);
    EXPECT_EQ(FILEINFO.LOGOPEN, 0);
    EXPECT_FALSE(rt::unit_connected(20));
    const std::vector<std::string> expected = {"file " + kvtest::TITLE + ": Open Input Data File -> " + path("run.rfl"),
                                               "show Input Data file Format", "hide Input Data file Format"};
    EXPECT_EQ(transcript(), expected);
}

}  // namespace
