// The input classification block as the log and the experiment file hold it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../scan_input/test_files.h"
#include "include/shared.h"
#include "include/shell_services.h"

namespace {

class InputSummary : public kvtest::FileTest {
protected:
    // Writes the block to a plain file (columns as built) and returns its lines.
    std::string block() {
        EXPECT_EQ(kvtest::open_write(26, dir / "exp"), rt::IOS_OK);
        WRITE_INPUT(26);
        rt::unit_close(26);
        return kvtest::read_bytes(dir / "exp");
    }
};

TEST_F(InputSummary, NormalReflectionsGiveTheShortLayoutAndBesideClassesTheyAreListedAmongThem) {
    FILEINFO.IN_NAME = "scan.dat";
    TOTALS.INUM(7) = 3;
    TOTALS.INUM(6) = 1;
    EXPECT_EQ(block(), kvtest::join({
                           "",
                           "",
                           "       REFLECTIONS AS CLASSIFIED IN INPUT FILE: scan.dat",
                           "        NORMAL REFLECTIONS:              3",
                           "        STANDARDS:                       1",
                           "",
                           "        TOTAL NUMBER OF REFLECTIONS:     4",
                       }));
    // Weak scans among the normal ones: every class is listed, and the lines add up to the total.
    TOTALS.INUM(1) = 2;
    EXPECT_EQ(block(), kvtest::join({
                           "",
                           "",
                           "       REFLECTIONS AS CLASSIFIED IN INPUT FILE: scan.dat",
                           "        WEAK REFLECTIONS NOT RESCANNED:             2",
                           "        WEAK REFLECTIONS RESCANNED, MIN SPEED:      0",
                           "        NORMAL REFLECTIONS RESCANNED:               0",
                           "        STRONG REFLECTIONS NOT RESCANNED:           0",
                           "        FILTERED REFLECTIONS:                       0",
                           "        NORMAL REFLECTIONS:                         3",
                           "        STANDARDS:                                  1",
                           "",
                           "        TOTAL NUMBER OF REFLECTIONS:                6",
                       }));
}

TEST_F(InputSummary, ClassifiedLayoutAlsoWhenEveryCountIsZero) {
    FILEINFO.IN_NAME = "run.rfl";
    const std::vector<std::string> zero = {
        "",
        "",
        "       REFLECTIONS AS CLASSIFIED IN INPUT FILE: run.rfl",
        "        WEAK REFLECTIONS NOT RESCANNED:             0",
        "        WEAK REFLECTIONS RESCANNED, MIN SPEED:      0",
        "        NORMAL REFLECTIONS RESCANNED:               0",
        "        STRONG REFLECTIONS NOT RESCANNED:           0",
        "        FILTERED REFLECTIONS:                       0",
        "        STANDARDS:                                  0",
        "",
        "        TOTAL NUMBER OF REFLECTIONS:                0",
    };
    EXPECT_EQ(block(), kvtest::join(zero));
    for (int k = 1; k <= 6; ++k) TOTALS.INUM(k) = 10 * k;
    TOTALS.INUM(5) = 123456;  // too wide for its field
    const std::string text = block();
    EXPECT_NE(text.find("        WEAK REFLECTIONS NOT RESCANNED:            10\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("        FILTERED REFLECTIONS:                   *****\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("        TOTAL NUMBER OF REFLECTIONS:            *****\r\n"), std::string::npos) << text;
}

TEST_F(InputSummary, OnTheLogEachLineLosesItsFirstColumn) {
    FILEINFO.IN_NAME = "scan.dat";
    TOTALS.INUM(7) = 3;
    ASSERT_EQ(kvtest::open_log(dir / "scan_Kelvor.log"), rt::IOS_OK);
    WRITE_INPUT(20);
    rt::unit_close(20);
    const std::string text = kvtest::read_bytes(dir / "scan_Kelvor.log");
    EXPECT_EQ(text.substr(0, 4), "\r\n\r\n");
    EXPECT_NE(text.find("\r\n      REFLECTIONS AS CLASSIFIED IN INPUT FILE: scan.dat\r\n"), std::string::npos) << text;
}

}  // namespace
