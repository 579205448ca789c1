// A shell test whose front end keeps every file request and message-box code the program makes,
// passing everything on to the scripted front end behind it.
#pragma once
#include <string>
#include <utility>
#include <vector>

#include "main_ui.h"
#include "platform/frontend.h"

namespace kvtest {

// Passes everything on to the scripted front end and keeps the file requests and box codes.
class Recorder : public wl::FrontEnd {
public:
    explicit Recorder(wl::FrontEnd& inner) : inner_(inner) {}
    void pump(wl::Model& m) override { inner_.pump(m); }
    void show_window(wl::Model& m, int id) override { inner_.show_window(m, id); }
    void hide_window(wl::Model& m, int id) override { inner_.hide_window(m, id); }
    void redraw(wl::Model& m, int id) override { inner_.redraw(m, id); }
    void error_box(wl::Model& m, const std::string& t, const std::string& x, int kind) override {
        inner_.error_box(m, t, x, kind);
    }
    int message_box(wl::Model& m, const std::string& t, const std::string& x, int icon, int buttons) override {
        boxes.emplace_back(icon, buttons);
        return inner_.message_box(m, t, x, icon, buttons);
    }
    wl::FileAnswer file_dialog(wl::Model& m, const wl::FileRequest& r) override {
        requests.push_back(r);
        return inner_.file_dialog(m, r);
    }
    void console(wl::Model& m, const wl::ConsoleMessage& c) override { inner_.console(m, c); }
    void timer_changed(wl::Model& m) override { inner_.timer_changed(m); }
    void shutdown(wl::Model& m) override { inner_.shutdown(m); }

    std::vector<wl::FileRequest> requests;
    std::vector<std::pair<int, int>> boxes;

private:
    wl::FrontEnd& inner_;
};

// The program's windows built, with the recorder in front of the scripted front end.
class RecordingShellTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        build_ui();
        wl::set_frontend(&rec_);
    }
    void TearDown() override {
        wl::set_frontend(nullptr);
        ShellTest::TearDown();
    }
    std::string path(const std::string& name) const { return (dir / name).string(); }
    // Loading a script installs the scripted front end: the recorder goes back in front of it.
    void script(const std::vector<std::string>& lines) {
        ShellTest::script(lines);
        wl::set_frontend(&rec_);
    }
    Recorder rec_{wl::frontend()};
};

}  // namespace kvtest
