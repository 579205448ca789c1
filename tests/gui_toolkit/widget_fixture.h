// A fresh toolkit for each widget-module test: shared records, the plain layer, the library
// model (with its per-widget tables) and an empty script; helpers to start the master window,
// make widgets of any kind directly in the model, and record the library entries a call makes.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <functional>
#include <string>
#include <vector>

#include "gui_toolkit/f77gui.h"
#include "gui_toolkit/f77gui_widgets.h"
#include "gui_toolkit/menu_f90.h"
#include "include/shared.h"
#include "platform/model.h"
#include "platform/script.h"
#include "platform/widget_extra.h"
#include "platform/wingui.h"

class WidgetTest : public ::testing::Test {
protected:
    void SetUp() override {
        reset_shared_records();
        reset_toolkit();
        wl::model().trace_on = false;
        wl::model().trace.clear();
        wl::script::load_lines({});
    }
    void TearDown() override { wl::model().trace_on = false; }

    // Toolkit start and the master window (id 1).
    static void start() {
        gmInitializeMenu();
        WIDSTR("Kelvorantide v3.72");
        int id = 0;
        MASTER(5, 5, id);
        ASSERT_EQ(id, 1);
    }

    // A widget of any kind made directly in the model.
    static int make(int kind, int parent = 1) { return wl::model().create(kind, parent); }
    static wl::Widget& w(int id) { return *wl::model().find(id); }

    // The library entries called by body, in order.
    static std::vector<std::string> trace(const std::function<void()>& body) {
        auto& m = wl::model();
        m.trace.clear();
        m.trace_on = true;
        body();
        m.trace_on = false;
        return m.trace;
    }
    // Entries of a trace whose name starts with prefix.
    static std::vector<std::string> only(const std::vector<std::string>& t, const std::string& prefix) {
        std::vector<std::string> out;
        for (const auto& s : t)
            if (s.rfind(prefix, 0) == 0) out.push_back(s);
        return out;
    }
    static bool has(const std::vector<std::string>& t, const std::string& entry) {
        return std::find(t.begin(), t.end(), entry) != t.end();
    }

    static const std::vector<wl::ConsoleMessage>& console() { return wl::model().console; }
    // The console texts shown, in order.
    static std::vector<std::string> errors() {
        std::vector<std::string> out;
        for (const auto& c : console()) out.push_back(c.text);
        return out;
    }
    static std::string err(int n) { return GINOMENU_ERROR_TEXT(n); }
    static std::string transcript_last() {
        const auto& t = wl::script::transcript();
        return t.empty() ? std::string() : t.back();
    }
};

// The trace line of an escape request with operation op and the values p (the rest 0).
inline std::string escape_call(int op, std::initializer_list<int> p) {
    std::string s = "ESCAPEROUTINE(" + std::to_string(op);
    int n = 0;
    for (int v : p) {
        s += ", " + std::to_string(v);
        ++n;
    }
    for (; n < 6; ++n) s += ", 0";
    return s + ")";
}
