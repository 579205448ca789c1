// A fresh program state for the shell's tests: shared records, toolkit, units and script reset,
// the current directory kept, and the windows the shell routines address through IWID built
// with the slots, captions and callback numbers the program gives them.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "../scan_input/test_files.h"
#include "gui_toolkit/f77gui.h"
#include "include/shared.h"
#include "platform/model.h"
#include "platform/script.h"
#include "platform/wingui.h"
#include "runtime/fatal.h"
#include "runtime/units.h"

namespace kvtest {

inline const std::string TITLE = "Kelvorantide v3.72";
// An instrument parameter file that the reader accepts.
inline const std::vector<std::string> PARAMETERS = {
    "PKPAR  0.05 0.01 0.5",
    "FITLIM 0 1000 0.01 0.5 0 1e6 -0.2 0.2 0 1 0.3 0.7 25.0",
    "ATTEN  12.5",
    "WAVEL  2 1.54056 1.54439 0.5",
    "RFLAGS 1 1 1 1 0 0",
    "TFLAGS 1 1 0 1 0 0 1",
    "PARITY 1 -1 1 1",
    "MONO   1 13.0 90.0 1",
};

class ShellTest : public FileTest {
protected:
    void SetUp() override {
        cwd_ = std::filesystem::current_path();
        reset_toolkit();
        FileTest::SetUp();
        PROGID.PROG_TITLE = TITLE;
    }
    void TearDown() override {
        FileTest::TearDown();
        std::filesystem::current_path(cwd_);
    }

    static void script(const std::vector<std::string>& lines) { wl::script::load_lines(lines); }
    static std::vector<std::string> transcript() { return wl::script::transcript(); }
    static wl::Widget& w(int g, int k) { return *wl::model().find(GRAPHICS.IWID(g, k)); }

    // Runs body; the exit status it ended the program with, or -1 when it returned.
    static int exit_status(const std::function<void()>& body) {
        try {
            body();
        } catch (const rt::ProgramExit& e) {
            return e.status;
        }
        return -1;
    }

    // The master window, the file-information line, the "Output format" menu entry and the
    // dialogs of the file choice and the small boxes, all dialogs hidden.
    static void build_ui() {
        gmInitializeMenu();
        WIDSTR(TITLE);
        int id = 0;
        MASTER(5, 5, id);
        GRAPHICS.IMASTER = id;
        for (int k = 40; k <= 45; ++k) slot(1, k, wl::KIND_TEXT, id);
        w(1, 42).state = wl::STATE_HIDDEN;
        w(1, 44).state = wl::STATE_HIDDEN;
        slot(3, 44, wl::KIND_MENUENTRY, id, 344, "Output format").state = wl::STATE_GREYED;
        gmManage();

        const int fmt = dialog(4, 1, "Input Data file Format");
        slot(4, 2, wl::KIND_RADIO, fmt);
        const int radio = GRAPHICS.IWID(4, 2);
        const std::pair<int, const char*> toggles[] = {{3, "Xcalibur"},   {4, "Old Vosket"}, {5, "Enraf CAD4"},
                                                      {6, "Xscans"},     {8, "Stoe"},       {9, "Phillips Febo"},
                                                      {10, "Standard"}};
        for (const auto& [k, label] : toggles) slot(4, k, wl::KIND_TOGGLE, radio, 0, label);
        w(4, 3).toggle = 1;
        slot(4, 7, wl::KIND_BUTTON, fmt, 470, "OK");

        const int refine = dialog(6, 20, TITLE + ": Unit Cell Refinement");
        slot(6, 21, wl::KIND_TOGGLE, refine, 621, "Symmetry constrained");
        slot(6, 22, wl::KIND_TOGGLE, refine, 622, "Refine crystal offsets");
        slot(6, 23, wl::KIND_TOGGLE, refine, 623, "Refine omega zero");
        slot(6, 24, wl::KIND_LISTBOX, refine).items = {"Monoclinic-b", "Monoclinic-c", "Orthorhombic",
                                                       "Tetragonal",   "Hexagonal",    "Cubic"};
        slot(6, 25, wl::KIND_BUTTON, refine, 625, "Quit");
        slot(6, 26, wl::KIND_BUTTON, refine, 626, "Refine");

        const int results = dialog(6, 30, TITLE + ": Cell Refinement Results");
        slot(6, 31, wl::KIND_BUTTON, results, 631, "Ok");
        for (int k = 32; k <= 50; ++k) slot(6, k, wl::KIND_VALUE, results).mode = 19;

        dialog(6, 60, TITLE);
        const int step = dialog(6, 70, TITLE);
        slot(6, 71, wl::KIND_VALUE, step).value = 0.02f;
        slot(6, 72, wl::KIND_BUTTON, step, 672, "Ok");

        const int noout = dialog(8, 1, TITLE);
        slot(8, 2, wl::KIND_BUTTON, noout, 82, "Open File");
        slot(8, 3, wl::KIND_BUTTON, noout, 83, "Continue");
        slot(8, 4, wl::KIND_BUTTON, noout, 84, "Exit");
        const int nopar = dialog(8, 10, TITLE);
        slot(8, 11, wl::KIND_BUTTON, nopar, 811, "Open File");
        slot(8, 12, wl::KIND_BUTTON, nopar, 812, "Exit Program");
    }

private:
    static wl::Widget& slot(int g, int k, int kind, int parent, int callback = 0, const std::string& caption = "") {
        const int id = wl::model().create(kind, parent);
        GRAPHICS.IWID(g, k) = id;
        if (callback) SETCALLBACK(id, callback);
        wl::Widget& wid = *wl::model().find(id);
        wid.caption = caption;
        return wid;
    }
    static int dialog(int g, int k, const std::string& title) {
        WIDSTR(title);
        int id = 0;
        DIACMP(GRAPHICS.IMASTER, 2, 2, id);
        GRAPHICS.IWID(g, k) = id;
        return id;
    }
    std::filesystem::path cwd_;
};

}  // namespace kvtest
