// A PostScript file of printed pages, written by the scripted front end's printer: each page is
// a display list (graphics_model.h) in points (1/72 inch), row 0 at the top of the printable
// area, placed on an A4 sheet with the margins FLTK's PostScript printer uses.
#pragma once
#include <cstdio>
#include <string>

#include "platform/frontend.h"
#include "platform/graphics_model.h"

namespace wl {

class PostScriptFile {
public:
    // The printable area of an A4 sheet (595 x 842 points) within 18-point margins.
    static PrintPage a4_page();

    PostScriptFile() = default;
    PostScriptFile(const PostScriptFile&) = delete;
    PostScriptFile& operator=(const PostScriptFile&) = delete;
    ~PostScriptFile() { close(); }

    // Creates the file (replacing one of that name); false when it cannot be written.
    bool open(const std::string& path);
    bool is_open() const { return out_ != nullptr; }
    void page(const gfx::FrameGraphics& page);
    // Ends the document; false when the file could not be written in full.
    bool close();

private:
    std::FILE* out_ = nullptr;
    int pages_ = 0;
};

}  // namespace wl
