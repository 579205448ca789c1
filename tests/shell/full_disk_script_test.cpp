// Files the program writes, through kelvor-script as a process, on a full disk (each file a link
// to /dev/full, or the configuration file's folder or the scratch files' folder a small file system
// filled up): every writer names the failure in a box and never reports success, and the program
// goes on. And a data set in a folder whose name holds a dot gets its log and CIF beside it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "../scan_input/test_files.h"

namespace {

namespace fs = std::filesystem;

const std::string TITLE = "Kelvorantide v3.72";
const std::string FULL = ": No space left on device\n";

class FullDisk : public ::testing::Test {
protected:
    void SetUp() override {
        exe = kvtest::kelvor_script_path();
        if (!fs::exists(exe)) GTEST_SKIP() << "kelvor-script is not built";
        if (access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full";
        dir = kvtest::test_dir();
        fs::create_directories(dir / "module");
    }
    // Copies the generated data set into folder (under the test's directory).
    void data_set(const fs::path& folder) {
        fs::create_directories(dir / folder);
        kvtest::copy_data_set("mainroad", dir / folder);
    }
    // Runs the program on input (a path) with these further user actions; its exit status.
    int run(const std::string& input, const std::vector<std::string>& actions, const std::string& par = "mainroad.par") {
        std::vector<std::string> lines = {"file " + input + " 1", "press 470", "file " + par};
        lines.insert(lines.end(), actions.begin(), actions.end());
        kvtest::write_bytes(dir / "go.txt", kvtest::join(lines, "\n"));
        return kvtest::run_kelvor_script(dir, "go.txt", "shown.txt", "stderr.txt", "stdout.txt");
    }
    std::string shown() const { return kvtest::read_bytes(dir / "shown.txt"); }
    fs::path exe, dir;
};

TEST_F(FullDisk, EveryWriterReportsTheFailureAndNeverItsSuccess) {
    struct Case {
        const char* writer;
        const char* full;  // the file that is a link to /dev/full
        std::vector<std::string> actions;
        std::string box;      // the end of the box that says what was lost
        std::string success;  // what must never be shown ("" none)
    };
    const std::string exit_quietly = "press 101";
    const Case cases[] = {
        {"Write Std datafile", "full.rfl", {"press 319", "file full.rfl"}, "| Error writing standard data file\n",
         "Standard data file written successfully"},
        {"Create Cif", "mainroad_kelvor.cif", {"press 318"}, std::string("mainroad_kelvor.cif") + FULL,
         "Cif created successfully"},
        {"Create Exp file", "full.exp", {"press 317", "file full.exp"}, std::string("full.exp") + FULL, ""},
        {"scan export", "full.dat", {"press 321", "press 120", "file full.dat", "press 101"},
         std::string("full.dat") + FULL, ""},
        {"Open log file", "full.log", {"press 315", "file full.log"}, std::string("full.log") + FULL, ""},
        {"automatic log", "mainroad_Kelvor.log", {}, std::string("mainroad_Kelvor.log") + FULL, ""},
        {"integrated data file", "full.int",
         {"press 322", "answer 6", "file full.int", "answer 6", "press 541", "press 118"},
         std::string("full.int: No space left on device. Reflection 1 not written; the file keeps the reflections "
                     "written before it and is closed.\n"),
         "End of File"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.writer);
        fs::remove_all(dir / "set");
        data_set("set");
        fs::create_symlink("/dev/full", dir / "set" / c.full);
        std::vector<std::string> actions = {"# " + std::string(c.writer)};
        // The program runs in the data set's folder, as after the file dialog.
        actions.insert(actions.end(), c.actions.begin(), c.actions.end());
        actions.insert(actions.end(), {"press 101", "answer 2"});
        const fs::path here = dir;
        dir = dir / "set";
        fs::create_directories(dir / "module");
        const int status = run("mainroad.rfl", actions);
        const std::string text = shown();
        dir = here;
        EXPECT_EQ(status, 0) << text;
        // A file the program named itself appears with its folder, one the user chose as chosen.
        const std::size_t end = text.find(c.box);
        ASSERT_NE(end, std::string::npos) << text;
        const std::size_t line = text.rfind('\n', end) + 1;
        const std::string shown_box = text.substr(line, end + c.box.size() - line);
        EXPECT_EQ(shown_box.rfind("box " + TITLE + " | ", 0), 0u) << text;
        if (c.box[0] != '|') {
            EXPECT_NE(shown_box.find(" | Error writing "), std::string::npos) << text;
        }
        if (!c.success.empty()) {
            EXPECT_EQ(text.find(c.success), std::string::npos) << text;
        }
    }
}

// The configuration file is rewritten at the end of the run on a disk that has no room left: the
// box names it, and the settings of the previous run stay whole (never a cut or empty file). The
// module folder is a small tmpfs of its own, filled up before the run.
TEST_F(FullDisk, ConfigurationFileKeepsThePreviousSettings) {
    kvtest::copy_data_set("mainroad", dir);
    const fs::path module = dir / "module";
    const kvtest::SmallTmpfs disk(module);
    if (!disk.mounted())
        GTEST_SKIP() << "cannot mount a small tmpfs for the configuration file (needs root): " << disk.reason();
    const std::string previous =
        "      This is the configuration file for Kelvorantide v3.72\r\n"
        "      Created on: Mon Nov 30 10:00:00 2026\r\n"
        "IN_DIR: /previous/run/\r\n"
        "FORMATS:     7    3\r\n";
    kvtest::write_bytes(module / "Kelvor_defaults.dat", previous);
    {
        std::ofstream filler(module / "filler", std::ios::binary);
        const std::string block(4096, 'x');
        while (filler.write(block.data(), long(block.size())) && filler.flush()) {
        }
    }
    const int status = run("mainroad.rfl", {"press 101", "answer 2"});
    EXPECT_EQ(status, 0) << shown();
    EXPECT_NE(shown().find("Kelvor_defaults.dat: No space left on device\n"), std::string::npos) << shown();
    EXPECT_EQ(kvtest::read_bytes(module / "Kelvor_defaults.dat"), previous);
    EXPECT_FALSE(fs::exists(module / "Kelvor_defaults.dat.new"));
}

// The scratch working file of an instrument file's load lies on a disk that fills (a small tmpfs):
// at start-up the box says so with the system's reason, nothing of the file stays on that disk,
// and the input-file dialog comes again; its Cancel ends the program as it always has.
TEST_F(FullDisk, ScratchFileOnAFullDiskAtStartUpOffersTheChoiceAgain) {
    kvtest::copy_data_set("small", dir);
    kvtest::write_bytes(dir / "big.p4t", kvtest::join(kvtest::xscans_lines(1000)));
    const kvtest::SmallTmpfs disk(dir / "scratch");
    if (!disk.mounted()) GTEST_SKIP() << "cannot mount a small tmpfs for the scratch file (needs root): " << disk.reason();
    const unsigned long used = disk.used_blocks();
    kvtest::write_bytes(dir / "go.txt", kvtest::join({"file big.p4t", "press 470", "file small.par", "cancel"}, "\n"));
    int status = -1;
    {
        const kvtest::ScratchFilesIn scratch(dir / "scratch");
        status = kvtest::run_kelvor_script(dir, "go.txt", "shown.txt", "stderr.txt", "stdout.txt");
    }
    const std::string text = shown();
    EXPECT_EQ(status, 0) << text;
    const std::string expected = "box " + TITLE +
                                 " | WRITE ERROR ON SCRATCH FILE: the working file for big.p4t could not be written:"
                                 " No space left on device\n"
                                 "file " + TITLE + ": Open Input Data File -> cancel\n"
                                 "box " + TITLE + " |  NO INPUT FILE SELECTED: END OF PROGRAM\n";
    EXPECT_NE(text.find(expected), std::string::npos) << text;
    EXPECT_EQ(text.find("Data File read in successfully"), std::string::npos) << text;
    EXPECT_TRUE(fs::is_empty(dir / "scratch"));
    EXPECT_EQ(disk.used_blocks(), used);
}

// The README's test command runs from a clone anywhere, also below a folder named with a dot.
TEST_F(FullDisk, DataSetInADottedFolderKeepsItsLogAndCifBesideIt) {
    data_set("run.v2");
    const std::string input = (dir / "run.v2" / "mainroad.rfl").string();
    ASSERT_EQ(run(input, {"press 318", "press 101", "answer 2"}, (dir / "run.v2" / "mainroad.par").string()), 0)
        << shown();
    EXPECT_NE(shown().find("box " + TITLE + " | Cif created successfully\n"), std::string::npos) << shown();
    EXPECT_TRUE(fs::exists(dir / "run.v2" / "mainroad_Kelvor.log"));
    EXPECT_TRUE(fs::exists(dir / "run.v2" / "mainroad_kelvor.cif"));
    EXPECT_FALSE(fs::exists(dir / "run_Kelvor.log"));
    EXPECT_FALSE(fs::exists(dir / "run_kelvor.cif"));
}

}  // namespace
