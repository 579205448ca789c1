// A request for a file and its answer: what the toolkit's file browser (OPENBROWSE) and the
// program's open-file dialog (GETOPENFILENAME) ask of the front end.
#pragma once
#include <string>
#include <utility>
#include <vector>

namespace wl {

// A request for a file: serves the toolkit's file browser (OPENBROWSE) and the program's
// open-file dialog alike.
struct FileRequest {
    std::string caption;                                    // dialog title
    std::vector<std::pair<std::string, std::string>> filters;  // (pattern, label), e.g. ("*.par", "Parameter File")
    int filter_index = 1;                                   // the filter preset, from 1
    std::string default_extension;                          // without the dot; may be empty
    std::string directory;                                  // initial directory; empty = current
    std::string name;  // proposed file: a path, or a bare name in `directory`; empty = none
    bool save = false;                                      // the browser's second mode
};

struct FileAnswer {
    bool cancelled = true;
    std::string path;       // as chosen: absolute, or relative to the current directory
    int filter_index = 1;   // the filter the user had picked, from 1
};

}  // namespace wl
