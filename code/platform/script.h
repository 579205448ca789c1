// The scripted front end: answers boxes and dialogs and plays user actions from a script, and
// writes a transcript of everything shown. Used by kelvor-script and directly by tests.
//
// Script lines, one action each ('#' starts a comment, blank lines are skipped):
//   file PATH [N]   answers the next file dialog or file browser (N: the filter picked, from 1;
//                   a relative PATH is taken from the current directory at the time the
//                   script was loaded, not from the script's own folder)
//   cancel          cancels the next file dialog, file browser, colour or print dialog
//   answer N        answers the next question box with button code N, one the box offers
//                   (box_buttons in model.h); "answer enter" presses its default button
//   press N         triggers callback number N of a shown and active control, or -1 (close)
//   set G K VALUE   types VALUE into the value or text entry in slot (G, K) of the program's
//                   handle table (REGHANDLETABLE) (no callback)
//   toggle G K 0/1  clicks the toggle in slot (G, K) into that state (its callback follows)
//   select G K I    selects entry I (from 1) of the list in slot (G, K) (its select callback follows)
//   key K           presses key K (as REGHOTKEY numbers it), which queues its key callback
//   colour R G B    answers the next colour dialog with that colour (each 0..255)
//   print PATH      answers the next print dialog: the pages go to PATH as PostScript (A4)
//   ticks N         delivers N timer ticks
//   run             delivers ticks until the timer stops (at most 1,000,000)
// Notices (one-button message boxes) and error/information boxes close by themselves.
//
// The transcript (platform/transcript.h) has one line per thing shown, written by the library
// as for the real window. A click that would switch a radio toggle off leaves it on, as in the
// real window.
//
// When the program waits, or a box or dialog needs an answer, and the script has no line
// left, the front end reports the open windows and the last boxes on stderr and ends the
// program with status 3 (rt::program_exit). A line that does not fit what the program asks
// for (a press of a greyed or hidden control, an answer where a file is asked, an answer with
// a code the box does not offer, a malformed line) is a script error: reported on stderr with
// its line number, status 4.
#pragma once
#include <string>
#include <vector>

namespace wl::script {

constexpr int EXIT_EXHAUSTED = 3;
constexpr int EXIT_SCRIPT_ERROR = 4;

// Installs the scripted front end with these lines (replacing any earlier script and
// transcript).
void load_lines(const std::vector<std::string>& lines);
// Same from a file; false (with a message in error) when it cannot be read.
bool load_file(const std::string& path, std::string& error);
// Also writes every transcript line to this file as it happens (empty: none).
bool set_transcript_file(const std::string& path);

// Transcript so far.
const std::vector<std::string>& transcript();
// True once the program asked for something the exhausted script could not give.
bool exhausted();
// Script lines not yet used (comments and blank lines not counted).
int lines_left();

}  // namespace wl::script
