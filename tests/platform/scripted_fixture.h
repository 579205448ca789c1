// What the tests on the scripted front end share: a fresh start, the next action a script
// delivers and the exit status a body ends the program with.
#pragma once
#include <gtest/gtest.h>

#include <functional>

#include "include/shared.h"
#include "platform/model.h"
#include "platform/script.h"
#include "platform/wingui.h"
#include "runtime/fatal.h"

class ScriptedTest : public ::testing::Test {
protected:
    // Fresh shared records, a fresh library model and an empty script.
    void SetUp() override {
        reset_shared_records();
        wl::reset_model();
        wl::script::load_lines({});
    }

    // The callback number of the next action the script delivers.
    static int next() {
        int cb = 0, x = 0, y = 0, w = 0, kind = 0, extra = 0;
        return IWINACTION(cb, x, y, w, kind, extra);
    }

    // Runs body; returns the exit status it ended the program with, or -1 when it returned.
    static int exit_status(const std::function<void()>& body) {
        try {
            body();
        } catch (const rt::ProgramExit& e) {
            return e.status;
        }
        return -1;
    }
};
