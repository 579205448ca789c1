// A fresh toolkit for each test: shared records, the plain layer, the library model and a
// scripted front end with the test's own script.
#pragma once
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "gui_toolkit/f77gui.h"
#include "include/shared.h"
#include "include/toolkit_services.h"
#include "platform/model.h"
#include "platform/script.h"
#include "platform/wingui.h"
#include "runtime/fatal.h"
#include "../platform/scripted_fixture.h"

class CoreTest : public ScriptedTest {
protected:
    void SetUp() override {
        reset_shared_records();
        reset_toolkit();
        wl::script::load_lines({});
    }

    static void script(const std::vector<std::string>& lines) { wl::script::load_lines(lines); }

    // Toolkit start, the master window titled as the program's boxes are, shown.
    static void start_master(const char* title = "Kelvorantide v3.72") {
        gmInitializeMenu();
        WIDSTR(title);
        int id = 0;
        MASTER(5, 5, id);
        ASSERT_EQ(id, 1);
        gmManage();
    }

    // A complex dialogue box on the master window with the given title (hidden).
    static int dialog(const char* title) {
        WIDSTR(title);
        int id = 0;
        DIACMP(1, 2, 2, id);
        return id;
    }

    // A widget of the given kind made directly in the model (the widget kinds' own creation
    // routines live elsewhere), with an action callback when callback != 0.
    static int widget(int kind, int parent, int callback = 0) {
        const int id = wl::model().create(kind, parent);
        if (callback) SETCALLBACK(id, callback);
        return id;
    }

    static const std::vector<wl::ConsoleMessage>& console() { return wl::model().console; }

    static std::vector<std::string> transcript() { return wl::script::transcript(); }
};
