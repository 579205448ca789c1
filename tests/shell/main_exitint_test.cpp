// The orderly end: the message box of at most 60 characters with unusual characters blanked.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "main_ui.h"
#include "shell/config_file.h"
#include "include/shared.h"
#include "include/shell_services.h"
#include "runtime/fatal.h"

namespace {

class OrderlyEnd : public kvtest::ShellTest {};

TEST_F(OrderlyEnd, ShowsTheFirstSixtyCharactersWithUnusualCharactersBlanked) {
    struct Case {
        std::string message;
        std::vector<std::string> boxes;
    };
    const std::string sixty = std::string(59, 'A') + "B";
    const Case cases[] = {
        {" NO INPUT FILE SELECTED: END OF PROGRAM", {"box Kelvorantide v3.72 |  NO INPUT FILE SELECTED: END OF PROGRAM"}},
        {sixty + "CDEF", {"box Kelvorantide v3.72 | " + sixty}},
        {"TAB\there {braces} ~x\x01\xe9 z", {"box Kelvorantide v3.72 | TAB here  braces   x   z"}},
        {"", {}},
        {"      ", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        wl::script::load_lines({});
        const int status = rt::run_program([&] { EXITINT(c.message); });
        EXPECT_EQ(status, 0);
        EXPECT_EQ(wl::script::transcript(), c.boxes);
    }
}

TEST_F(OrderlyEnd, ClosesEveryUnitIncludingTheScratchDataFile) {
    rt::OpenSpec spec;
    spec.status = rt::FileStatus::Scratch;
    spec.action = rt::FileAction::ReadWrite;
    ASSERT_EQ(rt::unit_open(25, "", spec), rt::IOS_OK);
    ASSERT_EQ(rt::unit_write_record(25, "H"), rt::IOS_OK);
    EXPECT_EQ(rt::run_program([] { EXITINT("READ ERROR ON SCAN FILE"); }), 0);
    EXPECT_FALSE(rt::unit_connected(25));
}

TEST_F(OrderlyEnd, RewritesTheConfigurationFileAndClosesTheToolkit) {
    SET_PROGRAM_DIRECTORY(dir.string());
    READ_DEFAULTS_FROM_FILE();
    build_ui();
    FILEINFO.IN_DIR = "/data/run/";
    FILEINFO.IFORMAT = 4;
    FILEINFO.OUT_FORMAT = 3;
    script({});
    EXPECT_EQ(rt::run_program([] { EXITINT(""); }), 0);
    SET_PROGRAM_DIRECTORY("");
    const std::string text = kvtest::read_bytes(dir / "Kelvor_defaults.dat");
    EXPECT_NE(text.find("\r\nIN_DIR: /data/run/\r\nFORMATS:     4    3\r\n"), std::string::npos) << text;
    EXPECT_FALSE(wl::model().started);
    EXPECT_EQ(transcript(), std::vector<std::string>{"hide " + kvtest::TITLE});
}

}  // namespace
