// The name each file opener proposes to its dialog or to the file browser, and that a cancel
// with a proposed name opens and writes nothing.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "include/shell_services.h"
#include "file_request_recorder.h"
#include "main_ui.h"
#include "platform/frontend.h"

namespace {

class ProposedName : public kvtest::RecordingShellTest {
protected:
    // Runs call with these script lines; the names proposed to its dialogs, in order.
    std::vector<std::string> proposed(const std::vector<std::string>& lines, const std::function<void()>& call) {
        script(lines);
        wl::set_frontend(&rec_);
        rec_.requests.clear();
        call();
        std::vector<std::string> names;
        for (const wl::FileRequest& r : rec_.requests) names.push_back(r.name);
        return names;
    }
    using Names = std::vector<std::string>;
};

TEST_F(ProposedName, InputDialogProposesTheLoadedFileThenThePathLastChosen) {
    const std::string in_dir = path("in") + "/";
    std::filesystem::create_directories(in_dir);
    FILEINFO.IN_DIR = in_dir;
    FILEINFO.IN_NAME = "scan.dat";
    FILEINFO.LOADED = 1;
    // The loaded file's bare name, in its directory; a cancel opens nothing under it.
    EXPECT_EQ(proposed({"cancel"}, [] { OPEN_IN(); }), Names{"scan.dat"});
    EXPECT_EQ(rec_.requests[0].directory, in_dir);
    EXPECT_EQ(FILEINFO.LOADED, 0);
    EXPECT_FALSE(rt::unit_connected(1));
    EXPECT_FALSE(std::filesystem::exists(in_dir + "scan.dat"));
    EXPECT_FALSE(std::filesystem::exists(in_dir + "scan_Kelvor.log"));
    // Nothing loaded now: the dialog reopens with what it was last given.
    EXPECT_EQ(proposed({"cancel"}, [] { OPEN_IN(); }), Names{"scan.dat"});
    // After a failed open the dialog shows the path just chosen.
    EXPECT_EQ(proposed({"file " + path("missing.rfl"), "cancel"}, [] { OPEN_IN(); }),
              (Names{"scan.dat", path("missing.rfl")}));
    EXPECT_EQ(proposed({"cancel"}, [] { OPEN_IN(); }), Names{path("missing.rfl")});

    kvtest::write_bytes(dir / "run.rfl", "x\r\n");
    proposed({"file " + path("run.rfl"), "press 470"}, [] { OPEN_IN(); });
    ASSERT_EQ(FILEINFO.LOADED, 1);
    EXPECT_EQ(proposed({"cancel"}, [] { OPEN_IN(); }), Names{"run.rfl"});
    EXPECT_EQ(rec_.requests[0].directory, dir.string() + "/");
}

TEST_F(ProposedName, OutputDialogProposesTheOpenFileThenThePathLastChosen) {
    const std::string out_dir = path("out") + "/";
    std::filesystem::create_directories(out_dir);
    FILEINFO.IN_DIR = dir.string() + "/";
    FILEINFO.OUTOPEN = 1;
    FILEINFO.OUT_NAME = "old.int";
    FILEINFO.OUT_DIR = out_dir;
    EXPECT_EQ(proposed({"cancel"}, [] { OPEN_OUT(); }), Names{"old.int"});
    EXPECT_EQ(rec_.requests[0].directory, out_dir);
    EXPECT_EQ(FILEINFO.OUTOPEN, 0);
    EXPECT_FALSE(rt::unit_connected(2));
    EXPECT_FALSE(std::filesystem::exists(out_dir + "old.int"));
    EXPECT_EQ(proposed({"cancel"}, [] { OPEN_OUT(); }), Names{"old.int"});

    // A path that cannot be opened is shown again.
    const std::string bad = path("nowhere/x.int");
    EXPECT_EQ(proposed({"file " + bad, "cancel"}, [] { OPEN_OUT(); }), (Names{"old.int", bad}));

    // Once a file is open its bare name is proposed, in its directory.
    proposed({"file " + out_dir + "new.int"}, [] { OPEN_OUT(); });
    ASSERT_EQ(FILEINFO.OUTOPEN, 1);
    EXPECT_EQ(proposed({"cancel"}, [] { OPEN_OUT(); }), Names{"new.int"});
    EXPECT_EQ(rec_.requests[0].directory, out_dir);
}

TEST_F(ProposedName, NewStandardDataFileDialogReopensWithThePathItReturned) {
    int status = 0;
    proposed({"file " + path("copy")}, [&] { OPEN_NEWSTD(status, 26); });
    ASSERT_EQ(status, 0);
    rt::unit_close(26);
    std::filesystem::remove(dir / "copy.rfl");
    // The dialog returned the name with its default extension.
    EXPECT_EQ(proposed({"cancel"}, [&] { OPEN_NEWSTD(status, 26); }), Names{path("copy.rfl")});
    EXPECT_EQ(status, 1);
    EXPECT_FALSE(rt::unit_connected(26));
    EXPECT_FALSE(std::filesystem::exists(dir / "copy"));
    EXPECT_FALSE(std::filesystem::exists(dir / "copy.rfl"));
}

TEST_F(ProposedName, ExperimentFileProposesTheInputNameUpToItsFirstDotThenExp) {
    const std::string in_dir = dir.string() + "/";
    struct Case {
        const char* in_name;
        int loaded;
        std::string expected;
    };
    const Case cases[] = {
        {"scan.dat", 1, "scan.EXP"},
        {"a.b.rfl", 1, "a.EXP"},
        {"scan", 1, "EXP"},
        {"scan.dat", 0, ""},
        // 26 characters and the dot fill the browser's field exactly.
        {"abcdefghijklmnopqrstuvwxyz.rfl", 1, "abcdefghijklmnopqrstuvwxyz.EXP"},
        // A proposal the field cannot hold is not offered cut.
        {"abcdefghijklmnopqrstuvwxyz0.rfl", 1, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.in_name);
        FILEINFO.IN_DIR = in_dir;
        FILEINFO.IN_NAME = c.in_name;
        FILEINFO.LOADED = c.loaded;
        EXPECT_EQ(proposed({"cancel"}, [] { OPEN_EXP(); }), Names{c.expected});
        // Cancelled: nothing connected, nothing created under the proposal.
        EXPECT_FALSE(rt::unit_connected(26));
        if (!c.expected.empty()) {
            EXPECT_FALSE(std::filesystem::exists(dir / c.expected));
        }
    }

    // After a failed open the browser proposes nothing.
    FILEINFO.IN_NAME = "scan.dat";
    FILEINFO.LOADED = 1;
    std::filesystem::create_directories(dir / "taken.exp");
    EXPECT_EQ(proposed({"file " + path("taken.exp"), "cancel"}, [] { OPEN_EXP(); }), (Names{"scan.EXP", ""}));
    EXPECT_FALSE(rt::unit_connected(26));
}

// A dot in a folder name of the input path is not the name's dot.
TEST_F(ProposedName, ExperimentFileProposalIgnoresDotsInFolderNames) {
    std::filesystem::create_directories(dir / "run.v2");
    for (const char* name : {"ds.rfl", "ds"}) {
        SCOPED_TRACE(name);
        kvtest::write_bytes(dir / "run.v2" / name, "x\r\n");
        script({"file " + path(std::string("run.v2/") + name), "press 470"});
        OPEN_IN();
        ASSERT_EQ(FILEINFO.LOADED, 1);
        EXPECT_EQ(proposed({"cancel"}, [] { OPEN_EXP(); }), Names{std::string(name) == "ds" ? "EXP" : "ds.EXP"});
    }
}

TEST_F(ProposedName, OtherBrowsersProposeNothing) {
    FILEINFO.IN_DIR = dir.string() + "/";
    FILEINFO.IN_NAME = "scan.dat";
    FILEINFO.LOADED = 1;
    int status = 0;
    EXPECT_EQ(proposed({"cancel"}, [&] { OPEN_PAR(status); }), Names{""});
    EXPECT_EQ(proposed({"cancel"}, [] { OPEN_LOG(); }), Names{""});
    EXPECT_EQ(proposed({"cancel"}, [&] { OPEN_SCANDATA(status); }), Names{""});
}

TEST_F(ProposedName, BrowserProposesTheCallersNameAndACancelBlanksIt) {
    rt::FText<30> name("inst.par");
    EXPECT_EQ(proposed({"cancel"}, [&] { BROWSE(0, 0, 0, 0, name, "", "*.par|(Parameter File)"); }),
              Names{"inst.par"});
    EXPECT_EQ(name.view(), std::string(30, ' '));
    // A field holding no text (bytes never set by the caller) proposes nothing.
    char raw[8] = {'a', '\0', '\x01', ' ', ' ', ' ', ' ', ' '};
    EXPECT_EQ(proposed({"cancel"}, [&] { BROWSE(0, 0, 0, 0, raw, 8, "", "*.*|(All)"); }), Names{""});
    EXPECT_EQ(std::string(raw, 8), std::string(8, ' '));
}

}  // namespace
