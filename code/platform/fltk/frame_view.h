// A graphics frame on screen: replays the frame's display list (graphics_model.h) and reports
// pointer presses as frame events, their row counted from the bottom of the frame.
#pragma once
#include <FL/Fl_Widget.H>

namespace wl::fltk {

class FrameView : public Fl_Widget {
public:
    FrameView(int id, int x, int y, int w, int h);
    int id() const { return id_; }

protected:
    void draw() override;
    int handle(int event) override;

private:
    int id_;
};

}  // namespace wl::fltk
