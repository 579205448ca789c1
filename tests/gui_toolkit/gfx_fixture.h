// A fresh toolkit and graphics library for each drawing test: the master window, and a frame
// whose bitmap and world box the test chooses, made current.
#pragma once
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "gui_toolkit/f77gui.h"
#include "gui_toolkit/frames.h"
#include "gui_toolkit/minigino.h"
#include "include/shared.h"
#include "platform/graphics_model.h"
#include "platform/model.h"
#include "platform/script.h"
#include "platform/wingui.h"

class GfxTest : public ::testing::Test {
protected:
    void SetUp() override {
        reset_shared_records();
        reset_toolkit();
        reset_gino_state();
        wl::script::load_lines({});
        ::unsetenv("GINO");
    }

    // Graphics start, toolkit start and the master window (widget 1).
    static void start_master() {
        GINO();
        gmInitializeMenu();
        int id = 0;
        MASTER(0, 0, id);
        ASSERT_EQ(id, 1);
    }

    // A frame of cw x ch grid cells (40 pixels each on the model's default screen) showing
    // world 0..xr x 0..yr.
    static int make_frame(int cw, int ch, float xr, float yr, int x = 1, int y = 4) {
        REGMINIMUM(cw, ch);
        REGMAXIMUM(cw, ch);
        int id = 0;
        FRADEF(1, x, y, xr, yr, id);
        return id;
    }

    static const std::vector<gfx::DrawOp>& list(int frame) { return gfx::frame(frame)->list; }

    // Console messages since the last call, as "title|text|code".
    static std::vector<std::string> console() {
        std::vector<std::string> out;
        for (const auto& m : wl::model().console)
            out.push_back(m.title + "|" + m.text + "|" + std::to_string(m.code));
        wl::model().console.clear();
        return out;
    }
};
