// The configuration file beside the executable: what the reader takes from it, and the four
// lines the writer leaves.
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "../scan_input/test_files.h"
#include "include/shared.h"
#include "shell/config_file.h"

namespace {

class ConfigFile : public kvtest::FileTest {
protected:
    void SetUp() override {
        FileTest::SetUp();
        SET_PROGRAM_DIRECTORY(dir.string());
        prog = dir.string() + "/";
        file = dir / "Kelvor_defaults.dat";
    }
    void TearDown() override {
        SET_PROGRAM_DIRECTORY("");
        FileTest::TearDown();
    }
    std::string prog;
    std::filesystem::path file;
};

TEST_F(ConfigFile, MissingFileIsCreatedEmptyAndHoldsTheFourLinesAfterTheRun) {
    READ_DEFAULTS_FROM_FILE();
    EXPECT_EQ(FILEINFO.IFORMAT, 1);
    EXPECT_EQ(FILEINFO.OUT_FORMAT, 1);
    EXPECT_EQ(FILEINFO.PROG_DIR, prog);
    EXPECT_EQ(FILEINFO.DEFAULTS_FILE, prog + "Kelvor_defaults.dat");
    EXPECT_EQ(FILEINFO.IN_DIR(1), '\0');  // never set: no start directory
    ASSERT_TRUE(std::filesystem::exists(file));
    EXPECT_EQ(kvtest::read_bytes(file), "");

    WRITE_DEFAULTS_TO_FILE();
    EXPECT_FALSE(rt::unit_connected(30));
    const std::string text = kvtest::read_bytes(file);
    const std::regex layout(
        "      This is the configuration file for Kelvorantide v3\\.72\r\n"
        "      Created on: (Mon|Tue|Wed|Thu|Fri|Sat|Sun) [A-Z][a-z]{2} [ 123][0-9] [0-2][0-9]:[0-5][0-9]:[0-6][0-9] "
        "[0-9]{4}\r\n"
        "IN_DIR: \r\n"
        "FORMATS:     1    1\r\n");
    EXPECT_TRUE(std::regex_match(text, layout)) << text;
}

TEST_F(ConfigFile, ReaderTakesTheKeysAnywhereAndFallsBackToTheExecutablesDirectory) {
    struct Case {
        const char* name;
        std::vector<std::string> lines;
        int iformat, out_format;
        std::string in_dir;
    };
    const std::string other = dir.string() + "/data/";
    const Case cases[] = {
        {"both keys", {"comment", "IN_DIR: " + other, "FORMATS:     3    2"}, 3, 2, other},
        {"one code only", {"FORMATS: 4"}, 4, 1, prog},
        {"keys inside a line, later lines win",
         {"x IN_DIR: /first/", "  FORMATS  5 3", "IN_DIR: " + other + "   "}, 5, 3, other},
        {"relative directory", {"IN_DIR: data/", "FORMATS: 2 x"}, 2, 1, prog},
        {"empty directory, unreadable codes", {"IN_DIR: ", "FORMATS: x 3"}, 1, 1, prog},
        {"codes outside their range give the defaults", {"FORMATS: 8 4"}, 1, 1, prog},
        {"zero and negative codes", {"FORMATS: 0 -1"}, 1, 1, prog},
        {"output format still to be asked", {"FORMATS: 7 0"}, 7, 0, prog},
        {"directory with a run of blanks", {"IN_DIR: /my    data/"}, 1, 1, "/my    data/"},
        {"directory longer than its field", {"IN_DIR: /" + std::string(300, 'a') + "/"}, 1, 1, prog},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        rt::units_close_all();
        reset_shared_records();
        kvtest::write_bytes(file, kvtest::join(c.lines));
        READ_DEFAULTS_FROM_FILE();
        EXPECT_EQ(FILEINFO.IFORMAT, c.iformat);
        EXPECT_EQ(FILEINFO.OUT_FORMAT, c.out_format);
        EXPECT_EQ(FILEINFO.IN_DIR, c.in_dir);
        EXPECT_TRUE(rt::unit_connected(30));
    }
}

TEST_F(ConfigFile, WriterReplacesEverythingAndKeepsTheWholeDirectory) {
    std::vector<std::string> lines = {"FORMATS: 7 3"};
    for (int k = 0; k < 20; ++k) lines.push_back("old line " + std::to_string(k));
    kvtest::write_bytes(file, kvtest::join(lines));
    namespace fs = std::filesystem;
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);
    READ_DEFAULTS_FROM_FILE();
    EXPECT_EQ(FILEINFO.IFORMAT, 7);
    FILEINFO.IN_DIR = "/my    data/";
    FILEINFO.OUT_FORMAT = 2;
    WRITE_DEFAULTS_TO_FILE();
    const std::string text = kvtest::read_bytes(file);
    EXPECT_NE(text.find("\r\nIN_DIR: /my    data/\r\nFORMATS:     7    2\r\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("old line"), std::string::npos) << text;
    // Written beside the file and renamed over it: nothing else is left in the folder.
    EXPECT_FALSE(std::filesystem::exists(dir / "Kelvor_defaults.dat.new"));
    EXPECT_EQ(fs::status(file).permissions(), fs::perms::owner_read | fs::perms::owner_write);  // as it was

    // The next run reads back what was written.
    rt::units_close_all();
    reset_shared_records();
    READ_DEFAULTS_FROM_FILE();
    EXPECT_EQ(FILEINFO.IN_DIR, "/my    data/");
    EXPECT_EQ(FILEINFO.IFORMAT, 7);
    EXPECT_EQ(FILEINFO.OUT_FORMAT, 2);
}

TEST_F(ConfigFile, WithoutAProgramDirectoryNothingIsOpenedOrWritten) {
    SET_PROGRAM_DIRECTORY("/" + std::string(260, 'd'));
    READ_DEFAULTS_FROM_FILE();
    EXPECT_EQ(FILEINFO.IFORMAT, 1);
    EXPECT_FALSE(rt::unit_connected(30));
    EXPECT_EQ(FILEINFO.PROG_DIR(1), '\0');
    WRITE_DEFAULTS_TO_FILE();  // no file to rewrite: nothing happens
    EXPECT_FALSE(rt::unit_connected(30));
}

}  // namespace
