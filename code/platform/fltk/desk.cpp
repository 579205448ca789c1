// Desktop services of the FLTK front end (see desk.h). Like the rest of the front end, nothing
// here calls the program: a key press only queues its callback number.
#include "platform/fltk/desk.h"

#include <cctype>
#include <cstdio>
#include <memory>
#include <string>

#include "platform/fltk/boxes.h"
#include "platform/fltk/replay.h"
#include "platform/model.h"

// FLTK last: its X11 headers define macros (Expose, ...) that clash with our names.
#include <FL/Fl.H>
#include <FL/Fl_Color_Chooser.H>
#include <FL/Fl_Copy_Surface.H>
#include <FL/Fl_Device.H>
#include <FL/Fl_Help_Dialog.H>
#include <FL/Fl_PostScript.H>
#include <FL/Fl_Printer.H>
#include <FL/Fl_Window.H>
#include <FL/filename.H>
#include <FL/fl_draw.H>
#include <FL/x.H>

namespace wl::fltk {
namespace {

// ---- key callbacks ----

// The key number of a key press as REGHOTKEY numbers it: -1 to -20 for F1 to F20, else the
// character it types; 0 for a key that types nothing.
int key_number() {
    const int k = Fl::event_key();
    if (k > FL_F && k <= FL_F + 20) return -(k - FL_F);
    if (Fl::event_length() > 0) return static_cast<unsigned char>(Fl::event_text()[0]);
    return 0;
}

// A key that no widget used reaches the handlers as a shortcut.
int key_handler(int event) {
    if (event != FL_SHORTCUT) return 0;
    const int key = key_number();
    return key != 0 && model().press_key(key) ? 1 : 0;
}

// ---- the busy cursor ----

bool busy = false;

void set_cursor(Fl_Window* w, bool on) {
    if (w && w->shown()) w->cursor(on ? FL_CURSOR_WAIT : FL_CURSOR_DEFAULT);
}

// Widgets change their window's cursor when the pointer enters or moves over them (a text
// entry shows its text cursor); while busy, the busy cursor is put back after them, and a
// window shown while busy takes it when the pointer enters.
int dispatch(int event, Fl_Window* w) {
    const int used = Fl::handle_(event, w);
    if (busy && w) {
        switch (event) {
            case FL_ENTER:
            case FL_MOVE:
            case FL_LEAVE:
            case FL_PUSH:
            case FL_RELEASE:
            case FL_DRAG:
            case FL_SHOW:
                set_cursor(w->top_window(), true);
                break;
            default:
                break;
        }
    }
    return used;
}

// ---- printing ----

struct PrintJob {
    std::unique_ptr<Fl_Printer> printer;
    std::unique_ptr<Fl_PostScript_File_Device> ps;
    Fl_Paged_Device* device = nullptr;  // the one of the two in use
    std::FILE* file = nullptr;  // the PostScript file of a job printed to a file
    std::string to_file;        // print_to_file
};

PrintJob& printing() {
    static PrintJob j;
    return j;
}

// Ends the job: the device closes its output; a file of our own is closed after it.
void finish_job() {
    PrintJob& j = printing();
    if (j.device) {
        j.device->end_job();
        j.device = nullptr;
        j.printer.reset();
        j.ps.reset();
    }
    if (j.file) {
        std::fclose(j.file);
        j.file = nullptr;
    }
    Fl_Display_Device::display_device()->set_current();
}

// ---- help ----

std::string html_escaped(const std::string& s) {
    std::string out;
    out.reserve(s.size() + s.size() / 8);
    for (const char c : s) {
        if (c == '&')
            out += "&amp;";
        else if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else
            out += c;
    }
    return out;
}

bool ends_with(const std::string& s, const std::string& tail) {
    if (s.size() < tail.size()) return false;
    for (std::size_t i = 0; i < tail.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(s[s.size() - tail.size() + i])) != tail[i]) return false;
    return true;
}

// A plain-text help file as HTML titled with the file's name: preformatted, with an anchor
// "topic" at the first line that mentions the topic (case ignored).
std::string text_as_html(const std::string& file, const std::string& text, const std::string& topic) {
    std::string lower_text = text, lower_topic = topic;
    for (char& c : lower_text) c = char(std::tolower(static_cast<unsigned char>(c)));
    for (char& c : lower_topic) c = char(std::tolower(static_cast<unsigned char>(c)));
    std::size_t at = topic.empty() ? std::string::npos : lower_text.find(lower_topic);
    if (at != std::string::npos) {
        const std::size_t line = lower_text.rfind('\n', at);
        at = line == std::string::npos ? 0 : line + 1;
    }
    const std::size_t slash = file.rfind('/');
    const std::string head = "<html><head><title>" + html_escaped(slash == std::string::npos ? file : file.substr(slash + 1)) +
                             "</title></head><body><pre>";
    if (at == std::string::npos) return head + html_escaped(text) + "</pre></body></html>";
    return head + html_escaped(text.substr(0, at)) + "<a name=\"topic\"></a>" + html_escaped(text.substr(at)) +
           "</pre></body></html>";
}

}  // namespace

void install_desk() {
    static bool done = false;
    if (done) return;
    done = true;
    Fl::add_handler(key_handler);
    Fl::event_dispatch(dispatch);
}

bool choose_colour(int& r, int& g, int& b) {
    uchar cr = uchar(r), cg = uchar(g), cb = uchar(b);
    const int ok = with_class(kClassColour, [&] { return fl_color_chooser("Colour", cr, cg, cb, 1); });
    if (!ok) return false;
    r = cr;
    g = cg;
    b = cb;
    return true;
}

void print_to_file(const std::string& path) { printing().to_file = path; }

bool print_begin(PrintPage& page) {
    PrintJob& j = printing();
    finish_job();
    if (!j.to_file.empty()) {
        char abs[FL_PATH_MAX];
        fl_filename_absolute(abs, sizeof abs, j.to_file.c_str());
        page.destination = abs;
        j.file = std::fopen(j.to_file.c_str(), "w");
        if (!j.file) return false;
        auto ps = std::make_unique<Fl_PostScript_File_Device>();
        if (ps->start_job(j.file, 0, Fl_Paged_Device::A4) != 0) {
            std::fclose(j.file);
            j.file = nullptr;
            Fl_Display_Device::display_device()->set_current();
            return false;
        }
        j.ps = std::move(ps);
        j.device = j.ps.get();
    } else {
        auto printer = std::make_unique<Fl_Printer>();
        // The printer dialog: a printer, or a PostScript file. 0 when the user chose one.
        if (printer->start_job(0) != 0) {
            Fl_Display_Device::display_device()->set_current();
            return false;
        }
        j.printer = std::move(printer);
        j.device = j.printer.get();
        page.destination = "printer";
    }
    int w = 0, h = 0;
    j.device->printable_rect(&w, &h);
    // The device draws only while a page is sent; meanwhile the windows draw on the screen.
    Fl_Display_Device::display_device()->set_current();
    if (w <= 0 || h <= 0) {
        finish_job();
        return false;
    }
    page.width = w;
    page.height = h;
    // FLTK's printers measure pages in points (1/72 inch).
    page.width_mm = float(w) * 25.4f / 72.0f;
    page.height_mm = float(h) * 25.4f / 72.0f;
    return true;
}

void print_page(const gfx::FrameGraphics& page) {
    PrintJob& j = printing();
    if (!j.device) return;
    j.device->set_current();
    if (j.device->start_page() == 0) {
        fl_push_clip(0, 0, page.width, page.height);
        replay(page, 0, 0);
        fl_pop_clip();
        j.device->end_page();
    }
    Fl_Display_Device::display_device()->set_current();
}

bool print_end(bool) {
    PrintJob& j = printing();
    if (j.device) j.device->set_current();
    // A page that did not reach the file shows as an error on it before the job closes it.
    const bool written = !j.file || (std::fflush(j.file) == 0 && std::ferror(j.file) == 0);
    finish_job();
    return written;
}

void copy_frame(const gfx::FrameGraphics& f) {
    if (f.width <= 0 || f.height <= 0) return;
    fl_open_display();
    // The copy goes to the clipboard when the surface is deleted, while it is still the current
    // surface (FLTK 1.3 then ends its drawing and returns to the surface before it).
    auto* surface = new Fl_Copy_Surface(f.width, f.height);
    surface->set_current();
    replay(f, 0, 0);
    delete surface;
    Fl_Display_Device::display_device()->set_current();
}

void show_busy_cursor(bool on) {
    busy = on;
    for (Fl_Window* w = Fl::first_window(); w; w = Fl::next_window(w)) set_cursor(w, on);
    Fl::flush();
}

void restack(Fl_Window& w, bool top) {
    if (!w.shown()) return;
    if (top)
        XRaiseWindow(fl_display, fl_xid(&w));
    else
        XLowerWindow(fl_display, fl_xid(&w));
    XFlush(fl_display);
}

bool show_help(const HelpRequest& r) {
    static Fl_Help_Dialog* dialog = nullptr;
    if (!dialog) dialog = new Fl_Help_Dialog;
    const bool html = ends_with(r.file, ".htm") || ends_with(r.file, ".html");
    if (html) {
        dialog->load(r.file.c_str());
        if (!r.topic.empty()) dialog->topline(r.topic.c_str());
    } else {
        dialog->value(text_as_html(r.file, r.text, r.topic).c_str());
        if (!r.topic.empty()) dialog->topline("topic");
    }
    // The window takes the class in force when it is first shown.
    with_class(kClassHelp, [&] {
        dialog->show();
        return 0;
    });
    Fl::flush();
    return true;
}

}  // namespace wl::fltk
