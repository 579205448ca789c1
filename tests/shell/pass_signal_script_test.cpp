// kelvor-script as a process, ended from outside (SIGTERM, SIGINT, SIGHUP) in the middle of an
// automatic pass: the orderly end, with the pass's summary in the log as at its end, only whole
// entries in the integrated data file and the configuration file rewritten.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <string>
#include <thread>

#include "../scan_input/test_files.h"

namespace {

namespace fs = std::filesystem;

const std::string HEADING = std::string(60, '*') + "\r\n" + std::string(10, ' ') +
                            "SUMMARY OF REFLECTIONS FIT WITH AUTOFIT UTILITY\r\n";

class PassCutShort : public ::testing::Test {
protected:
    void SetUp() override {
        exe = kvtest::kelvor_script_path();
        if (!fs::exists(exe)) GTEST_SKIP() << "kelvor-script is not built";
        dir = kvtest::test_dir();
        fs::create_directories(dir / "module");
        kvtest::copy_data_set("small", dir);
        // Long enough that the pass is still running when the signal comes.
        kvtest::write_bytes(dir / "big.p4t", kvtest::join(kvtest::xscans_lines(4000)));
        kvtest::write_bytes(dir / "go.txt",
                            kvtest::join({"file big.p4t", "press 470", "file small.par", "press 322", "answer 6",
                                          "file out.int", "press 541", "press 118", "run", "press 101", "answer 2"},
                                         "\n"));
    }
    // Starts the program, waits until the pass has written `entries` lines (progress, not a
    // clock), sends sig and returns the exit status (-1: not a normal exit).
    int run_until_written_then(int sig, std::size_t entries) {
        const pid_t pid = fork();
        if (pid == 0) {
            if (chdir(dir.c_str()) != 0) _exit(127);
            execl(exe.c_str(), exe.c_str(), "--script", "go.txt", "--transcript", "shown.txt", "--module-dir", "module",
                  static_cast<char*>(nullptr));
            _exit(127);
        }
        int status = 0;
        bool signalled = false;
        const auto give_up = std::chrono::steady_clock::now() + std::chrono::minutes(5);
        while (waitpid(pid, &status, WNOHANG) == 0) {
            if (!signalled && lines(dir / "out.int") >= entries) {
                kill(pid, sig);
                signalled = true;
            }
            if (std::chrono::steady_clock::now() > give_up) kill(pid, SIGKILL);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        sent = signalled;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    static std::size_t lines(const fs::path& p) {
        const std::string text = kvtest::read_bytes(p);
        std::size_t n = 0;
        for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2)) ++n;
        return n;
    }
    fs::path exe, dir;
    bool sent = false;
};

TEST_F(PassCutShort, EndSignalsLeaveThePassSummaryInTheLog) {
    for (int sig : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(strsignal(sig));
        for (const char* f : {"out.int", "big_Kelvor.log", "shown.txt"}) fs::remove(dir / f);
        const int status = run_until_written_then(sig, 20);
        ASSERT_TRUE(sent) << "the pass ended before the signal";
        EXPECT_EQ(status, 0);
        const std::string out = kvtest::read_bytes(dir / "out.int");
        ASSERT_GE(out.size(), 2u);
        EXPECT_EQ(out.substr(out.size() - 2), "\r\n");
        EXPECT_LT(lines(dir / "out.int"), 4000u);
        const std::string log = kvtest::read_bytes(dir / "big_Kelvor.log");
        const std::size_t at = log.find(HEADING);
        ASSERT_NE(at, std::string::npos) << log;
        EXPECT_EQ(log.find(HEADING, at + 1), std::string::npos);
        EXPECT_NE(log.find("THESE REFLECTIONS WRITTEN TO: out.int", at), std::string::npos) << log;
        EXPECT_TRUE(fs::exists(dir / "module" / "Kelvor_defaults.dat"));
    }
}

}  // namespace
