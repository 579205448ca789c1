// The whole program through kelvor-script, on what a user's files must keep: a chosen file that
// exists is replaced only when the user says so (Enter keeps it); a CIF or a configuration file
// the program cannot write where it stands is told, never lost in silence, and a configuration
// file that is a pipe, a link or lies in a folder the user cannot write is handled as the user
// would expect; a refused file says so in the log; an integrated data file holds one layout; and
// the log and the CIF count what the data set holds.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "../scan_input/test_files.h"

namespace {

namespace fs = std::filesystem;

const std::string TITLE = "Kelvorantide v3.72";
const std::vector<std::string> LEAVE = {"press 101", "answer 2"};  // Exit, and "Yes" to its question
const char* const SKIP_NOBODY =
    "needs root, setpriv and a folder that the user nobody can reach (/tmp, /var/tmp or /dev/shm) to run the "
    "program as another user";

class KeptFiles : public ::testing::Test {
protected:
    void SetUp() override {
        if (!fs::exists(kvtest::kelvor_script_path())) GTEST_SKIP() << "kelvor-script is not built";
        dir = kvtest::test_dir();
        fs::create_directories(dir / "module");
        kvtest::copy_data_set("mainroad", dir);
    }
    // The start of every run: the data set chosen, its format confirmed, its parameter file.
    static std::vector<std::string> start(const std::string& input = "mainroad.rfl") {
        return {"file " + input + " 1", "press 470", "file mainroad.par"};
    }
    // A whole run: the start, these groups of user actions in turn, and the exit.
    static std::vector<std::string> road(const std::vector<std::vector<std::string>>& groups) {
        std::vector<std::string> lines = start();
        for (const auto& g : groups) lines.insert(lines.end(), g.begin(), g.end());
        lines.insert(lines.end(), LEAVE.begin(), LEAVE.end());
        return lines;
    }
    // Runs the program in `here` on these script lines (the configuration file's folder is
    // dir/module); `as` goes before the program (another user, a time limit). Its exit status.
    int run(const std::vector<std::string>& lines, const fs::path& here = {}, const std::string& as = "") {
        const fs::path cwd = here.empty() ? dir : here;
        kvtest::write_bytes(dir / "go.txt", kvtest::join(lines, "\n"));
        const std::string cmd = "cd " + cwd.string() + " && " + as + " " + program.string() +
                                " --script " + (dir / "go.txt").string() + " --transcript " +
                                (dir / "shown.txt").string() + " --module-dir " + (dir / "module").string() +
                                " 2>" + (dir / "stderr.txt").string() + " >/dev/null";
        const int rc = std::system(cmd.c_str());
        return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    }
    std::string shown() const { return kvtest::read_bytes(dir / "shown.txt"); }
    std::string text(const std::string& name) const { return kvtest::read_bytes(dir / name); }
    void TearDown() override {
        if (!elsewhere.empty()) fs::remove_all(elsewhere);
    }
    // The program runs as another user ("nobody"), for whom a folder of ours is read-only. The
    // build tree may lie where nobody cannot enter (a home folder of mode 700, a folder from
    // mktemp -d), so the test moves to a folder of its own that nobody can reach, with a copy of
    // the program: dir becomes place/work (nobody's), and what lies beside it in place is ours.
    // False when no such folder can be made here (not root, no setpriv, every candidate closed to
    // nobody): the test is then skipped with that reason.
    bool as_nobody() {
        if (::geteuid() != 0 || std::system("command -v setpriv >/dev/null") != 0) return false;
        for (const fs::path& base : {fs::path("/tmp"), fs::path("/var/tmp"), fs::path("/dev/shm")}) {
            std::string name = (base / "kv-nobody-XXXXXX").string();
            // A dot in the path would change the names the program derives from it.
            if (name.find('.') != std::string::npos || ::mkdtemp(name.data()) == nullptr) continue;
            const fs::path place = name;
            std::error_code ec;
            fs::permissions(place, fs::perms(0755), ec);
            const fs::path work = place / "work";
            const fs::path copy = place / "kelvor-script";
            fs::copy(dir, work, fs::copy_options::recursive, ec);
            if (!ec) fs::copy_file(program, copy, ec);
            // nobody reaches the place and runs the program there (it answers a bare call with its usage).
            const std::string reach = "cd " + work.string() + " && " + nobody() + " " + copy.string() +
                                      " >/dev/null 2>&1; test $? -eq 2";
            if (ec || std::system(("chown -R 65534:65534 " + work.string()).c_str()) != 0 ||
                std::system(reach.c_str()) != 0) {
                fs::remove_all(place, ec);
                continue;
            }
            elsewhere = place;
            dir = work;
            program = copy;
            return true;
        }
        return false;
    }
    static std::string nobody() { return "setpriv --reuid=65534 --regid=65534 --clear-groups"; }
    fs::path dir;
    fs::path program = kvtest::kelvor_script_path();
    fs::path elsewhere;  // the folder made for another user, removed at the end
};

// "Write Std datafile" and "Create Exp file" on a file that holds something: Enter and "No" keep
// it and offer the choice again, "Cancel" writes nothing, only "Yes" replaces it. An empty file
// and a new one are written without a question.
TEST_F(KeptFiles, ChosenFileThatHoldsSomethingIsReplacedOnlyWhenTheUserSaysSo) {
    const std::string precious = "a file of the user's\r\n";
    struct Writer {
        const char* name;
        std::string press, caption, file, other;
        std::string after_cancel;  // the box that follows "write nothing" ("" none)
    };
    const Writer writers[] = {
        {"Write Std datafile", "press 319", "Create Standard Data File", "old.rfl", "new.rfl",
         "box " + TITLE + " | Error opening file: Try again\n"},
        {"Create Exp file", "press 317", "Create Experiment File", "old.exp", "new.exp", ""},
    };
    struct Case {
        const char* answer;  // "" no question expected
        bool kept;
        bool other_written;  // the choice was offered again and the other file written
    };
    const Case cases[] = {{"enter", true, true}, {"7", true, true}, {"1", true, false}, {"6", false, false}};
    for (const Writer& w : writers) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(w.name) + ", answer " + c.answer);
            fs::remove(dir / w.other);
            kvtest::write_bytes(dir / w.file, precious);
            std::vector<std::string> actions = {w.press, "file " + w.file, std::string("answer ") + c.answer};
            if (c.other_written) actions.push_back("file " + w.other);
            ASSERT_EQ(run(road({actions})), 0) << shown();
            const std::string ask = "ask " + TITLE + ": " + w.caption + " | " + w.file +
                                    " already exists: Replace it (Yes), choose another file (No) or write nothing (Cancel) -> ";
            const std::string code = std::string(c.answer) == "enter" ? "7" : c.answer;
            EXPECT_NE(shown().find(ask + code + "\n"), std::string::npos) << shown();
            if (c.kept) {
                EXPECT_EQ(text(w.file), precious);
            } else {
                EXPECT_NE(text(w.file).find("MAIN ROAD MONOCLINIC TEST CRYSTAL"), std::string::npos);
            }
            EXPECT_EQ(fs::exists(dir / w.other), c.other_written);
            if (std::string(c.answer) == "1" && !w.after_cancel.empty()) {
                EXPECT_NE(shown().find(ask + "1\n" + w.after_cancel), std::string::npos) << shown();
            }
        }
        SCOPED_TRACE(std::string(w.name) + ", an empty file");
        kvtest::write_bytes(dir / w.file, "");
        ASSERT_EQ(run(road({{w.press, "file " + w.file}})), 0) << shown();
        EXPECT_EQ(shown().find("already exists"), std::string::npos) << shown();
        EXPECT_NE(text(w.file).find("MAIN ROAD MONOCLINIC TEST CRYSTAL"), std::string::npos);
    }
}

// "Create Cif" where the data set's folder is read-only for the user: a box names the file and
// the reason, and no success is reported.
TEST_F(KeptFiles, CifThatCannotBeOpenedIsToldInABox) {
    if (!as_nobody()) GTEST_SKIP() << SKIP_NOBODY;
    const fs::path ro = dir.parent_path() / "readonly";
    fs::create_directories(ro);
    kvtest::copy_data_set("mainroad", ro);
    EXPECT_EQ(run(road({{"press 318"}}), ro, nobody()), 0) << shown() << text("stderr.txt");
    const std::string box = "box " + TITLE + " | Error opening " + (ro / "mainroad_kelvor.cif").string() +
                            ": Permission denied\n";
    EXPECT_NE(shown().find(box), std::string::npos) << shown();
    EXPECT_EQ(shown().find("Cif created successfully"), std::string::npos) << shown();
    EXPECT_FALSE(fs::exists(ro / "mainroad_kelvor.cif"));
    fs::remove_all(ro);
}

// The configuration file as something other than a plain file in a folder the user may write.
TEST_F(KeptFiles, ConfigurationFileThatIsAPipeIsRefusedAndTheDefaultsUsed) {
    const fs::path conf = dir / "module" / "Kelvor_defaults.dat";
    ASSERT_EQ(::mkfifo(conf.c_str(), 0644), 0);
    // A pipe that is read waits for a writer for ever: the time limit turns a hang into a failure.
    EXPECT_EQ(run(road({}), {}, "timeout 120"), 0) << shown();
    EXPECT_NE(shown().find("show " + TITLE), std::string::npos) << shown();
    EXPECT_EQ(shown().find("Error writing"), std::string::npos) << shown();
    EXPECT_TRUE(fs::is_fifo(fs::symlink_status(conf)));
}

TEST_F(KeptFiles, ConfigurationFileThatIsALinkIsWrittenThroughToItsTarget) {
    fs::create_directories(dir / "settings");
    const fs::path target = dir / "settings" / "mine.dat";
    kvtest::write_bytes(target, "IN_DIR: /previous/run/\r\nFORMATS:     7    3\r\n");
    fs::create_symlink("../settings/mine.dat", dir / "module" / "Kelvor_defaults.dat");
    ASSERT_EQ(run(road({})), 0) << shown();
    EXPECT_TRUE(fs::is_symlink(dir / "module" / "Kelvor_defaults.dat"));
    EXPECT_EQ(fs::read_symlink(dir / "module" / "Kelvor_defaults.dat"), "../settings/mine.dat");
    // This run's input folder and format; the output format read from the file is kept.
    const std::string now = text("settings/mine.dat");
    EXPECT_NE(now.find("\r\nIN_DIR: " + dir.string() + "/\r\nFORMATS:     1    3\r\n"), std::string::npos) << now;
    EXPECT_FALSE(fs::exists(dir / "settings" / "mine.dat.new"));
    EXPECT_FALSE(fs::exists(dir / "module" / "Kelvor_defaults.dat.new"));
}

TEST_F(KeptFiles, ConfigurationFileInAFolderTheUserCannotWriteIsRewrittenInPlace) {
    // The folder is ours (read-only for the user), the file in it the user's.
    const fs::path module = dir / "module";
    const fs::path conf = module / "Kelvor_defaults.dat";
    kvtest::write_bytes(conf, "IN_DIR: /previous/run/\r\nFORMATS:     7    3\r\n");
    if (!as_nobody()) GTEST_SKIP() << SKIP_NOBODY;
    ASSERT_EQ(::chown(module.c_str(), 0, 0), 0);
    ASSERT_EQ(::chmod(module.c_str(), 0755), 0);
    ASSERT_EQ(run(road({}), {}, nobody()), 0) << shown() << text("stderr.txt");
    EXPECT_EQ(shown().find("Error writing"), std::string::npos) << shown();
    const std::string now = text("module/Kelvor_defaults.dat");
    EXPECT_NE(now.find("This is the configuration file for Kelvorantide v3.72\r\n"), std::string::npos) << now;
    EXPECT_NE(now.find("\r\nIN_DIR: " + dir.string() + "/\r\nFORMATS:     1    3\r\n"), std::string::npos) << now;
    EXPECT_EQ(now.find("previous"), std::string::npos) << now;
}

// A parameter file refused mid-session, and a damaged data file that shares the data set's log:
// the log keeps their echo and banner, and then says that they were refused and why.
TEST_F(KeptFiles, LogSaysWhichFilesWereRefused) {
    std::string par = text("mainroad.par");
    const std::size_t wavel = par.find("WAVEL");
    ASSERT_NE(wavel, std::string::npos);
    par.insert(wavel + 6, "x");  // a wavelength that does not read
    kvtest::write_bytes(dir / "broken.par", par);
    std::string rfl = text("mainroad.rfl");
    const std::size_t r5 = rfl.find("\r\nR     5   ");
    ASSERT_NE(r5, std::string::npos);
    rfl[r5 + 2 + 10] = 'x';  // reflection 5 cannot be read
    kvtest::write_bytes(dir / "mainroad.2.rfl", rfl);

    ASSERT_EQ(run(road({{"press 313", "file broken.par", "cancel"},
                        {"press 312", "file mainroad.2.rfl 1", "press 470", "file mainroad.par", "cancel"}})),
              0)
        << shown();
    const std::string log = text("mainroad_Kelvor.log");

    const std::size_t echo = log.find("INSTRUMENT PARAMETER FILE OPENED: broken.par");
    ASSERT_NE(echo, std::string::npos) << log;
    const std::string refused_par =
        "\r\n****************PARAMETER FILE REFUSED****************\r\n Error reading broken.par at line ";
    const std::size_t said = log.find(refused_par, echo);
    ASSERT_NE(said, std::string::npos) << log;
    EXPECT_NE(log.find("\r\n NONE OF ITS VALUES IS USED\r\n", said), std::string::npos) << log;
    EXPECT_EQ(log.find("END OF PARAMETER FILE", echo), log.find("END OF PARAMETER FILE", said)) << log;

    const std::size_t banner = log.find("INPUT DATA FILE WAS: mainroad.2.rfl");
    ASSERT_NE(banner, std::string::npos) << log;
    EXPECT_NE(log.find("\r\n INPUT DATA FILE REFUSED: mainroad.2.rfl\r\n Error reading mainroad.2.rfl at line ", banner),
              std::string::npos)
        << log;
}

// Two data sets one after the other: each log's title line is its own data set's; the input
// classification counts every class of scan (weak, strong and rescanned ones among the normal
// ones) up to the total; the CIF counts the standards the scans measure.
TEST_F(KeptFiles, LogTitlesCountsAndCifStandardsAreTrue) {
    kvtest::copy_data_set("two_standards", dir);
    ASSERT_EQ(run(road({{"press 312", "file two_standards.rfl 1", "press 470", "file two_standards.par", "press 318"}})),
              0)
        << shown();

    const std::string first = text("mainroad_Kelvor.log");
    EXPECT_NE(first.find("\r\n TITLE MAIN ROAD MONOCLINIC TEST CRYSTAL"), std::string::npos) << first;
    const std::string classes =
        "       WEAK REFLECTIONS NOT RESCANNED:             1\r\n"
        "       WEAK REFLECTIONS RESCANNED, MIN SPEED:      0\r\n"
        "       NORMAL REFLECTIONS RESCANNED:               1\r\n"
        "       STRONG REFLECTIONS NOT RESCANNED:           1\r\n"
        "       FILTERED REFLECTIONS:                       0\r\n"
        "       NORMAL REFLECTIONS:                        14\r\n"
        "       STANDARDS:                                  3\r\n"
        "\r\n"
        "       TOTAL NUMBER OF REFLECTIONS:               20\r\n";
    EXPECT_NE(first.find(classes), std::string::npos) << first;

    const std::string second = text("two_standards_Kelvor.log");
    EXPECT_NE(second.find("\r\n TITLE TWO STANDARDS MONOCLINIC TEST CRYSTAL"), std::string::npos) << second;
    EXPECT_EQ(second.find("MAIN ROAD"), std::string::npos) << second;
    EXPECT_NE(second.find("       WEAK REFLECTIONS NOT RESCANNED:             2\r\n"), std::string::npos) << second;
    EXPECT_NE(second.find("       STANDARDS:                                  5\r\n\r\n"
                          "       TOTAL NUMBER OF REFLECTIONS:               13\r\n"),
              std::string::npos)
        << second;
    EXPECT_NE(text("two_standards_kelvor.cif").find("\r\n_diffrn_standards_number             2\r\n"),
              std::string::npos);
}

// The output format changed while an integrated data file is open: a file that holds
// reflections keeps its layout (Enter), or the user opens a new file for the new one (Yes); a
// file that holds nothing yet takes the new layout.
TEST_F(KeptFiles, IntegratedDataFileHoldsOneLayout) {
    const std::vector<std::string> open = {"press 314", "file out.int 1"};
    // A few reflections of an automatic pass, stopped, and the fit mode left.
    const std::vector<std::string> some = {"press 322", "press 541", "press 118", "ticks 4", "press 119", "press 101"};
    // The rest of the data set, to its end.
    const std::vector<std::string> rest = {"press 322", "press 541", "press 118", "run"};
    // The same where the reflection on display was the last written to the file open now: Start
    // asks whether it goes there again, and Enter goes on with the next.
    const std::vector<std::string> rest_after_some = {"press 322", "press 541", "press 118", "answer enter", "run"};
    const std::vector<std::string> shelx = {"press 344", "toggle 5 96 1", "press 593"};
    const std::string ask = "ask " + TITLE + ": Output format | out.int holds reflections in the Rfine layout, and a file "
                            "holds one layout: open a new output file for the Shelx hkl layout now (Yes), or go on "
                            "writing Rfine to out.int and use Shelx hkl for the next output file (No) -> ";
    // Every line of a file has the length of its first: one layout.
    const auto one_layout = [&](const std::string& name, std::size_t& length) {
        const std::string t = text(name);
        length = t.find("\r\n");
        std::size_t lines = 0;
        for (std::size_t at = 0; at < t.size(); at = t.find("\r\n", at) + 2, ++lines)
            if (t.find("\r\n", at) - at != length) return std::size_t(0);
        return lines;
    };
    std::size_t rfine = 0, shelx_length = 0;
    {
        SCOPED_TRACE("Enter keeps the layout of the file");
        ASSERT_EQ(run(road({open, some, shelx, {"answer enter"}, rest_after_some})), 0) << shown();
        EXPECT_NE(shown().find(ask + "3\n"), std::string::npos) << shown();
        EXPECT_GE(one_layout("out.int", rfine), 15u) << text("out.int");
    }
    {
        SCOPED_TRACE("Yes opens a new file for the new layout");
        fs::remove(dir / "out.int");
        ASSERT_EQ(run(road({open, some, shelx, {"answer 2", "file out.hkl 1"}, rest})), 0) << shown();
        std::size_t length = 0;
        const std::size_t before = one_layout("out.int", length);
        EXPECT_GE(before, 1u) << text("out.int");
        EXPECT_EQ(length, rfine);
        EXPECT_GE(one_layout("out.hkl", shelx_length), 10u) << text("out.hkl");
        EXPECT_NE(shelx_length, rfine);
    }
    {
        SCOPED_TRACE("a file that holds nothing yet takes the new layout");
        fs::remove(dir / "out.int");
        ASSERT_EQ(run(road({open, shelx, rest})), 0) << shown();
        EXPECT_EQ(shown().find("holds reflections in"), std::string::npos) << shown();
        std::size_t length = 0;
        EXPECT_GE(one_layout("out.int", length), 15u) << text("out.int");
        EXPECT_EQ(length, shelx_length);
    }
}

}  // namespace
