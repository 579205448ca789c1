// A frame's picture leaving the library: copied to the clipboard (FRAMECUTANDPASTE) and drawn on
// the pages of a print job (PRINTJOB). The model keeps the copy and the page; the front end puts
// them on the desktop's clipboard and its printer.
#include <memory>
#include <optional>

#include "platform/frontend.h"
#include "platform/graphics_model.h"
#include "platform/model.h"
#include "platform/transcript.h"

namespace gfx {
namespace {

std::optional<FrameGraphics>& copied() {
    static std::optional<FrameGraphics> c;
    return c;
}

// The running print job.
struct Job {
    bool running = false;
    wl::PrintPage page;
    int before = 0;  // the bitmap selected when the job started
};

Job& job() {
    static Job j;
    return j;
}

const bool registered = [] {
    wl::add_reset_hook("frame_output", [] {
        copied().reset();
        job() = Job{};
    });
    return true;
}();

// Opens an empty page of the job's size and makes it the drawing surface.
void open_page() {
    create_frame(kPrinterPage, job().page.width, job().page.height);
    FrameGraphics* p = frame(kPrinterPage);
    p->background = {255, 255, 255};
    p->xrange = job().page.width_mm;
    p->yrange = job().page.height_mm;
    select(kPrinterPage);
}

// Sends the page drawn so far to the printer.
void print_open_page() {
    if (const FrameGraphics* p = frame(kPrinterPage)) wl::frontend().print_page(wl::model(), *p);
}

// Ends the job: the open page is printed unless the job is abandoned; drawing goes back to the
// bitmap selected before.
void close_job(bool abandoned) {
    if (!abandoned) print_open_page();
    if (!wl::frontend().print_end(wl::model(), abandoned))
        wl::transcript::write("print -> the file could not be written in full");
    remove_frame(kPrinterPage);
    select(job().before);
    job() = Job{};
}

}  // namespace

const FrameGraphics* clipboard() { return copied() ? &*copied() : nullptr; }

}  // namespace gfx

void FRAMECUTANDPASTE(int frame, int mode) {
    wl::trace_call("FRAMECUTANDPASTE", frame, mode);
    const gfx::FrameGraphics* f = gfx::frame(frame);
    if (!f) return;
    gfx::copied() = *f;
    wl::frontend().copy_frame(wl::model(), *gfx::copied());
}

void PRINTJOB(int action, int& status, int& w, int& h, float& xr, float& yr) {
    wl::trace_call("PRINTJOB", action);
    wl::Model& m = wl::model();
    gfx::Job& j = gfx::job();
    status = 0;
    switch (action) {
        case -1:
            if (j.running) {
                gfx::print_open_page();
                gfx::open_page();
                status = 1;
                break;
            }
            [[fallthrough]];
        case 0: {
            if (j.running) gfx::close_job(false);
            wl::PrintPage page;
            // The print dialog's answer goes to the transcript, whichever front end asked.
            const bool begun = wl::frontend().print_begin(m, page) && page.width > 0 && page.height > 0;
            wl::transcript::write("print -> " + (begun                      ? page.destination
                                                 : page.destination.empty() ? std::string("cancel")
                                                                            : "cannot write " + page.destination));
            if (!begun) return;
            j.running = true;
            j.page = page;
            j.before = gfx::selected();
            gfx::open_page();
            status = 1;
            break;
        }
        case 1:
        case 2:
            if (!j.running) return;
            gfx::close_job(action == 2);
            status = 1;
            return;
        case 3:
            if (!j.running) return;
            CLEARFRAME(gfx::kPrinterPage);
            status = 1;
            return;
        default:
            return;
    }
    w = j.page.width;
    h = j.page.height;
    xr = j.page.width_mm;
    yr = j.page.height_mm;
}
