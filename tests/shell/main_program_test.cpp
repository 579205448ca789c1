// The main program from the scripted front end: start-up without an input or a parameter file,
// the exit question, "Open data file" cancelled, and the fit modes refused on an empty data set.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "main_ui.h"
#include "shell/config_file.h"
#include "shell/kelvor_main.h"

namespace {

const std::string BOX = "box " + kvtest::TITLE + " | ";
const std::string SHOW = "show " + kvtest::TITLE;
const std::string HIDE = "hide " + kvtest::TITLE;
const std::string ASK_IN = "file " + kvtest::TITLE + ": Open Input Data File -> ";
const std::string ASK_PAR = "file " + kvtest::TITLE + "  Open Instrument Parameter File -> ";
const std::string EXIT_Q = "ask " + kvtest::TITLE + " | Are you sure you want to exit the program? -> ";

class MainProgram : public kvtest::SmallSetTest {
protected:
    void SetUp() override {
        DataSetTest::SetUp();
        rfl = path("small.rfl");
        par = path("small.par");
    }
    // One run of the program from a fresh start.
    int run(const std::vector<std::string>& lines) {
        rt::units_close_all();
        reset_toolkit();
        reset_shared_records();
        script(lines);
        return rt::run_program([] { MAIN__(); });
    }
    std::string config() const { return kvtest::read_bytes(dir / "Kelvor_defaults.dat"); }
    // The start-up road with the small data set: input file, format, parameter file.
    std::vector<std::string> start() const { return {"file " + rfl, "press 470", "file " + par}; }
    std::vector<std::string> started() const {
        return {SHOW,       ASK_IN + rfl, "show Input Data file Format", "hide Input Data file Format",
                ASK_PAR + par, SHOW,      HIDE,  // the wait box of the load
                BOX + "Data File read in successfully"};
    }
    std::string rfl, par;
};

TEST_F(MainProgram, CancelledInputFileEndsTheProgramAndRewritesTheConfiguration) {
    EXPECT_EQ(run({"cancel"}), 0);
    const std::vector<std::string> expected = {SHOW, ASK_IN + "cancel",
                                               BOX + " NO INPUT FILE SELECTED: END OF PROGRAM", HIDE};
    EXPECT_EQ(transcript(), expected);
    // A first run: no directory was ever known.
    EXPECT_NE(config().find("\r\nIN_DIR: \r\nFORMATS:     1    1\r\n"), std::string::npos) << config();
}

TEST_F(MainProgram, WithoutAParameterFileTheNoParameterBoxDecides) {
    EXPECT_EQ(run({"file " + rfl, "press 470", "cancel", "press 811", "cancel", "press 812"}), 0);
    const std::vector<std::string> expected = {
        SHOW,         ASK_IN + rfl,        "show Input Data file Format", "hide Input Data file Format",
        ASK_PAR + "cancel", SHOW,          ASK_PAR + "cancel",
        HIDE,  // the box offering the parameter file
        BOX + " NO PAR FILE SELECTED: END OF PROGRAM", HIDE};
    EXPECT_EQ(transcript(), expected);
    EXPECT_NE(config().find("\r\nIN_DIR: " + dir.string() + "/\r\nFORMATS:     1    1\r\n"), std::string::npos)
        << config();

    // "Open File" in the box loads the data set after all.
    std::vector<std::string> lines = {"file " + rfl, "press 470", "cancel", "press 811", "file " + par,
                                      "press 101", "answer 2"};
    EXPECT_EQ(run(lines), 0);
    EXPECT_EQ(transcript()[transcript().size() - 3], BOX + "Data File read in successfully");
    EXPECT_EQ(REFLN.ISEQ, 1);
}

TEST_F(MainProgram, EveryExitAsksAndDecliningChangesNothing) {
    std::vector<std::string> lines = start();
    for (const char* press : {"press -1", "press 101", "press 316"}) {
        lines.push_back(press);
        lines.push_back("answer 3");
    }
    lines.push_back("press 200");  // a click in the plot does nothing
    lines.push_back("press 316");
    lines.push_back("answer 2");
    EXPECT_EQ(run(lines), 0);
    std::vector<std::string> expected = started();
    for (int k = 0; k < 3; ++k) expected.push_back(EXIT_Q + "3");
    expected.push_back(EXIT_Q + "2");
    expected.push_back(HIDE);
    EXPECT_EQ(transcript(), expected);
    EXPECT_EQ(REFLN.ISEQ, 1);  // the first scan is the current reflection
    EXPECT_EQ(w(1, 41).text, "SYNTHETIC ORTHORHOMBIC TEST CRYSTAL");
    EXPECT_EQ(w(1, 40).text, "small.rfl");
}

// Enter in the exit question answers "No": a close box followed by Enter keeps the session.
TEST_F(MainProgram, EnterInTheExitQuestionKeepsTheSession) {
    std::vector<std::string> lines = start();
    for (const char* l : {"press -1", "answer enter", "press 101", "answer enter", "press 316", "answer 2"})
        lines.push_back(l);
    EXPECT_EQ(run(lines), 0);
    std::vector<std::string> expected = started();
    for (const std::string& l : {EXIT_Q + "3", EXIT_Q + "3", EXIT_Q + "2", HIDE}) expected.push_back(l);
    EXPECT_EQ(transcript(), expected);
}

// Mid-session, a new data file whose parameter file is damaged, then Cancel at the parameter-file
// browser: the session returns to the data set in use (at start-up the same Cancel still offers
// only another parameter file or the end of the program).
TEST_F(MainProgram, CancelledParameterFileMidSessionKeepsTheDataSetInUse) {
    const std::filesystem::path fx = std::filesystem::path(KV_BINARY_DIR) / "fixtures";
    std::filesystem::create_directories(dir / "second");
    std::filesystem::copy_file(fx / "cu_mono.rfl", dir / "second" / "cu.rfl");
    std::string damaged = kvtest::read_bytes(fx / "cu_mono.par");
    const std::size_t wavel = damaged.find("WAVEL ");
    ASSERT_NE(wavel, std::string::npos);
    damaged.replace(wavel + 6, 3, " x ");
    kvtest::write_bytes(dir / "second" / "cu.par", damaged);
    std::vector<std::string> lines = start();
    for (const std::string& l : std::vector<std::string>{"press 312", "file " + (dir / "second" / "cu.rfl").string(),
                                                         "press 470", "file " + (dir / "second" / "cu.par").string(),
                                                         "cancel", "press 316", "answer 2"})
        lines.push_back(l);
    EXPECT_EQ(run(lines), 0);
    const std::vector<std::string> shown = transcript();
    const auto at = std::find(shown.begin(), shown.end(), BOX + "NO PARAMETER FILE SELECTED: the data set in use stays");
    ASSERT_NE(at, shown.end());
    EXPECT_EQ(*(at - 1), ASK_PAR + "cancel");
    EXPECT_EQ(*(at + 1), EXIT_Q + "2");
    EXPECT_EQ(FILEINFO.IN_NAME, "small.rfl");
    EXPECT_EQ(w(1, 41).text, "SYNTHETIC ORTHORHOMBIC TEST CRYSTAL");
    EXPECT_EQ(REFLN.ISEQ, 1);
}

TEST_F(MainProgram, CancelledOpenDataFileKeepsTheDataSetInUse) {
    std::vector<std::string> lines = start();
    for (const char* l : {"press 312", "cancel", "press 316", "answer 2"}) lines.push_back(l);
    EXPECT_EQ(run(lines), 0);
    std::vector<std::string> expected = started();
    for (const std::string& l : {ASK_IN + "cancel", BOX + "NO NEW INPUT DATA FILE SELECTED", EXIT_Q + "2", HIDE})
        expected.push_back(l);
    EXPECT_EQ(transcript(), expected);
    EXPECT_EQ(FILEINFO.LOADED, 1);  // the data set in use is still loaded
    EXPECT_EQ(rt::unit_path(FILEINFO.LUNSTD), "");  // every unit closed at the end
    EXPECT_EQ(REFLN.ISEQ, 1);
}

TEST_F(MainProgram, OpenDataFileLoadsTheNewSetWithAFreshParameterFileAndLog) {
    const std::filesystem::path fx = std::filesystem::path(KV_BINARY_DIR) / "fixtures";
    std::filesystem::create_directories(dir / "second");
    std::filesystem::copy_file(fx / "cu_mono.rfl", dir / "second" / "cu.rfl");
    std::filesystem::copy_file(fx / "cu_mono.par", dir / "second" / "cu.par");
    const std::string cu = (dir / "second" / "cu.rfl").string();
    std::vector<std::string> lines = start();
    for (const std::string& l : std::vector<std::string>{"press 312", "file " + cu, "press 470",
                                 "file " + (dir / "second" / "cu.par").string(), "press 101", "answer 2"})
        lines.push_back(l);
    EXPECT_EQ(run(lines), 0);
    EXPECT_EQ(FILEINFO.IN_NAME, "cu.rfl");
    EXPECT_EQ(FILEINFO.IN_DIR, (dir / "second").string() + "/");
    EXPECT_EQ(w(1, 41).text, "CU MONOCHROMATED MONOCLINIC, NO UB KNOWN");
    EXPECT_EQ(REFLN.IH(1), 1);
    EXPECT_EQ(REFLN.IH(3), 0);
    // The new input's own log, with its own title once the set has loaded, and never the title
    // of the set loaded before.
    const std::string log = kvtest::read_bytes(dir / "second" / "cu_Kelvor.log");
    EXPECT_NE(log.find(" INSTRUMENT PARAMETER FILE OPENED: cu.par"), std::string::npos);
    EXPECT_NE(log.find("END OF PARAMETER FILE"), std::string::npos);
    EXPECT_NE(log.find("\r\n TITLE CU MONOCHROMATED MONOCLINIC, NO UB KNOWN", log.find("END OF PARAMETER FILE")),
              std::string::npos)
        << log;
    EXPECT_EQ(log.find("SYNTHETIC ORTHORHOMBIC"), std::string::npos) << log;
    // The next run starts where this one chose its last input file.
    EXPECT_NE(config().find("\r\nIN_DIR: " + (dir / "second").string() + "/\r\n"), std::string::npos) << config();
}

// A data file that holds no reflection is no data set: its load ends in the box, and the
// input file is asked for again (a cancel then ends the program).
TEST_F(MainProgram, AnEmptyDataSetIsRefusedAtItsLoad) {
    std::string header = kvtest::read_bytes(dir / "small.rfl");
    header = header.substr(0, header.find("DATA\r\n") + 6);
    kvtest::write_bytes(dir / "empty.rfl", header);
    const std::string empty = (dir / "empty.rfl").string();
    EXPECT_EQ(run({"file " + empty, "press 470", "file " + par, "cancel"}), 0);
    const std::vector<std::string> shown = transcript();
    const auto box = std::find(shown.begin(), shown.end(),
                               BOX + "Error reading empty.rfl: empty.rfl holds no reflection of the Standard format");
    ASSERT_NE(box, shown.end());
    ASSERT_GE(shown.end() - box, 3);
    EXPECT_EQ(*(box + 1), "file " + kvtest::TITLE + ": Open Input Data File -> cancel");
    EXPECT_EQ(*(box + 2), BOX + " NO INPUT FILE SELECTED: END OF PROGRAM");
}

// The driver as a process: exit status, transcript file and the configuration file beside the
// module directory it is given.
TEST_F(MainProgram, ScriptDriverRunsTheProgramAsAProcess) {
    const std::filesystem::path exe = kvtest::kelvor_script_path();
    if (!std::filesystem::exists(exe)) GTEST_SKIP() << "kelvor-script is not built";
    std::filesystem::create_directories(dir / "module");
    kvtest::write_bytes(dir / "module" / "Kelvor_defaults.dat", "IN_DIR: " + dir.string() + "/\r\nFORMATS: 3 2\r\n");
    kvtest::write_bytes(dir / "go.txt", kvtest::join({"file small.rfl 1", "press 470", "file small.par", "press -1",
                                                      "answer 2"}, "\n"));
    const std::string cmd = "cd " + dir.string() + " && " + exe.string() +
                            " --script go.txt --transcript out.txt --module-dir module 2>/dev/null";
    EXPECT_EQ(std::system(cmd.c_str()), 0);
    const std::string t = kvtest::read_bytes(dir / "out.txt");
    EXPECT_NE(t.find(EXIT_Q + "2\n"), std::string::npos) << t;
    const std::string cfg = kvtest::read_bytes(dir / "module" / "Kelvor_defaults.dat");
    EXPECT_NE(cfg.find("\r\nIN_DIR: " + dir.string() + "/\r\nFORMATS:     1    2\r\n"), std::string::npos) << cfg;

    // A script that runs out while the program waits ends with status 3.
    kvtest::write_bytes(dir / "short.txt", "file small.rfl\npress 470\nfile small.par\n");
    const std::string cmd2 = "cd " + dir.string() + " && " + exe.string() + " --script short.txt 2>/dev/null";
    const int st = std::system(cmd2.c_str());
    EXPECT_TRUE(WIFEXITED(st));
    EXPECT_EQ(WEXITSTATUS(st), 3);
}

using MainAfterCancel = kvtest::DataSetTest;

// The main program after a cancelled "Open data file": the data set in use stays the one the
// fit modes step through.
TEST_F(MainAfterCancel, ManualFitStillStepsThroughThePreviousDataSet) {
    rt::units_close_all();
    reset_toolkit();
    reset_shared_records();
    script({"file " + (dir / "small.rfl").string(), "press 470", "file " + (dir / "small.par").string(),
            "press 312", "cancel", "press 321", "press 103", "press 103", "press 101", "press 101", "answer 2"});
    EXPECT_EQ(rt::run_program([] { MAIN__(); }), 0);
    EXPECT_EQ(REFLN.ISEQ, 3);
    for (const std::string& l : transcript()) EXPECT_EQ(l.find("No reflection loaded"), std::string::npos) << l;
}

}  // namespace
