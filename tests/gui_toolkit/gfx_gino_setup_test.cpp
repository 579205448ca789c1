// Graphics start-up: default palette and settings, the GINO.CON search and reader, the state
// record and the library's file services.
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <fstream>

#include "gfx_fixture.h"
#include "runtime/units.h"

namespace fs = std::filesystem;

namespace {

// Runs each test in an empty directory of its own.
class GinoSetup : public GfxTest {
protected:
    fs::path dir, old;
    void SetUp() override {
        GfxTest::SetUp();
        old = fs::current_path();
        dir = fs::temp_directory_path() / ("kv_gfx_" + std::to_string(::getpid()) + "_" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        fs::current_path(dir);
    }
    void TearDown() override {
        rt::units_close_all();
        fs::current_path(old);
        fs::remove_all(dir);
        ::unsetenv("GINO");
    }
    static void write(const fs::path& p, const std::string& text) { std::ofstream(p) << text; }
};

TEST_F(GinoSetup, WithoutConfigurationTheDefaultsHold) {
    GINO();
    EXPECT_EQ(GFSINQ(22), 6);
    EXPECT_EQ(GFSINQ(23), 0);
    EXPECT_EQ(GFSINQ(5), 1);
    EXPECT_EQ(GFSINQ(6), 99);
    EXPECT_EQ(GFSINQ(21), 5);
    EXPECT_EQ(GFSINQ(0), 0);
    EXPECT_EQ(GFSINQ(34), 0);
    EXPECT_EQ(GINO_DRAW.PEN_SLOT, 1);
    EXPECT_EQ(GINO_DRAW.PALETTE_RED(3), 255);
    EXPECT_EQ(GINO_DRAW.PALETTE_GREEN(3), 128);
    EXPECT_EQ(GINO_DRAW.PALETTE_BLUE(9), 0);
    EXPECT_EQ(GINO_DRAW.PALETTE_GREEN(9), 64);
    EXPECT_EQ(GINO_DRAW.PALETTE_RED(0), 160);
    // One default palette: the drawing layer's entries are the widget library's.
    for (int i = 1; i <= 19; ++i) {
        gfx::Rgb c;
        ASSERT_TRUE(gfx::colour_of_code(i, c));
        EXPECT_EQ(c, (gfx::Rgb{std::uint8_t(GINO_DRAW.PALETTE_RED(i)), std::uint8_t(GINO_DRAW.PALETTE_GREEN(i)),
                               std::uint8_t(GINO_DRAW.PALETTE_BLUE(i))}))
            << i;
    }

    int state = 0, values[3] = {9, 9, 9};
    gmInitializeMenu();  // sets the code-2 slot
    GINENQ(state, values, 3);
    EXPECT_EQ(state, 1);
    EXPECT_EQ(std::vector<int>(values, values + 3), std::vector<int>({0, 0, 1}));
    EXPECT_EQ(wl::model().console_setting[0], 6);
    EXPECT_EQ(wl::model().console_setting[1], 0);
}

TEST_F(GinoSetup, ConfigurationLinesSetTheirSettingOrCountForNothing) {
    struct Case { const char* line; int expected; };
    const Case cases[] = {
        {"NFERTR=2", 2},
        {"NFERTR = 2   ", 2},
        {"NFERTR=   -4", -4},
        {"NFERTR=-", 0},
        {"NFERTR=+2", 7},
        {"NFERTR=2 3", 7},
        {"NFERTR=- 3", 7},
        {"NFERTR=2-", 7},
        {" NFERTR=2", 7},          // leading blanks before the key
        {"nfertr=2", 7},           // keys are case-sensitive
        {"NFERTRX=2", 7},
        {"NFERTR=", 7},
        {"NFERTR 2", 7},           // no "="
        {"NFERTR=2147483647", 2147483647},
        {"NFERTR=-2147483648", INT_MIN},
        {"NFERTR=2147483648", 7},  // does not fit 32 bits
        {"NFERTR=99999999999999999999", 7},
    };
    for (const Case& c : cases) {
        write("GINO.CON", std::string("NFERTR=7\r\n") + c.line + "\n");
        reset_gino_state();
        GINO();
        EXPECT_EQ(GFSINQ(23), c.expected) << '"' << c.line << '"';
    }
    // Only columns 1 to 80 count: a value from column 80 on is cut after its first digit,
    // one from column 81 on is empty.
    write("GINO.CON", "NFERTR=" + std::string(72, ' ') + "12345\n");
    reset_gino_state();
    GINO();
    EXPECT_EQ(GFSINQ(23), 1);
    write("GINO.CON", "NFERTR=" + std::string(73, ' ') + "12345\n");
    reset_gino_state();
    GINO();
    EXPECT_EQ(GFSINQ(23), 0);
    EXPECT_FALSE(rt::unit_connected(99));  // the file is closed after reading
}

TEST_F(GinoSetup, EveryKeyWritesItsOwnSetting) {
    write("GINO.CON", "NFMESS=1\nNFERTR=2\nNFSDF=3\nNDEVIC=4\nNSAVDF=5\nNFFONT=6\nNFICON=7\nNFSTAT=8\nNFUNKN=9\n");
    GINO();
    const int settings[8] = {24, 23, 25, 7, 8, 26, 29, 30};
    for (int k = 0; k < 8; ++k) EXPECT_EQ(GFSINQ(settings[k]), k + 1) << settings[k];
    EXPECT_EQ(GFSINQ(22), 6);
}

TEST_F(GinoSetup, CurrentDirectoryWinsOverTheGinoDirectoryOfAnyLength) {
    // A directory name far longer than 80 characters is used whole.
    const fs::path gino = dir / (std::string(90, 'g') + "_conf");
    fs::create_directories(gino);
    write(gino / "GINO.CON", "NFERTR=3\n");
    ::setenv("GINO", gino.c_str(), 1);
    GINO();
    EXPECT_EQ(GFSINQ(23), 3);

    write("GINO.CON", "NFERTR=1\n");
    reset_gino_state();
    GINO();
    EXPECT_EQ(GFSINQ(23), 1);
}

TEST_F(GinoSetup, FreeUnitIsChosenFromTheTop) {
    write("a.txt", "x\n");
    write("b.txt", "y\n");
    write("c.txt", "z\n");
    GINO();
    int u = -1, result = 9;
    GFOPNF(u, "a.txt", 4, 0, 0, 80, result);
    EXPECT_EQ(std::make_pair(u, result), std::make_pair(99, 0));
    u = -1;
    GFOPNF(u, "b.txt", 1, 0, 0, 80, result);
    EXPECT_EQ(u, 98);
    u = -1;
    GFOPNF(u, "c.txt", 0, 0, 0, 80, result);
    EXPECT_EQ(std::make_pair(u, result), std::make_pair(97, 0));

    u = -1;
    GFOPNF(u, "missing.txt", 4, 0, 0, 80, result);
    EXPECT_EQ(result, -1);
    GFOPNF(u, "a.txt", 2, 0, 0, 80, result);  // a new file that exists
    EXPECT_EQ(result, -1);

    GFCLF(97, 1, result);
    EXPECT_EQ(result, 0);
    EXPECT_FALSE(fs::exists("c.txt"));
    GFCLF(98, 0, result);
    EXPECT_TRUE(fs::exists("b.txt"));
    result = 42;
    GFCLF(99, 5, result);  // other modes do nothing
    EXPECT_EQ(result, 42);
    EXPECT_TRUE(rt::unit_connected(99));
}

TEST(GinoText, IntegersAndLengths) {
    struct Case { const char* text; int value, status; };
    const Case cases[] = {
        {"  42", 42, 0}, {"-7", -7, 0}, {"-", 0, 0}, {"", 0, 1}, {"   ", 0, 1},
        {"4 2", 0, 1},   {"+4", 0, 1},  {"--4", 0, 1}, {"4x", 0, 1}, {"12   ", 12, 0},
    };
    for (const Case& c : cases) {
        int status = -1;
        EXPECT_EQ(GFSTRI(c.text, status), c.value) << c.text;
        EXPECT_EQ(status, c.status) << c.text;
    }
    EXPECT_EQ(GFLEN("abc  "), 3);
    EXPECT_EQ(GFLEN("    "), 0);
    EXPECT_EQ(GFLEN(""), 0);
}

}  // namespace
