// The transcript of a run: one line per thing shown to the user, in order. The library's entries
// write it whatever front end shows the things, so that a scripted run and a run in the real
// windows give the same lines for the same journey. Lines, without trailing blanks:
//   box TITLE | TEXT          error, information and notice boxes
//   ask TITLE | TEXT -> N     questions and the button code answered
//   file CAPTION -> PATH      a file dialog or the file browser, PATH the absolute path of the
//                             file chosen, however it was named (or "-> cancel")
//   show TITLE / hide TITLE   windows and dialogs
//   colour R G B -> R G B     the colour dialog, the colour it started from and the one chosen
//                             (or "-> cancel")
//   help FILE [| TOPIC]       the help window shown
//   print -> PATH             the print dialog: the absolute path of the PostScript file, or
//                             "printer" (or "-> cancel", "-> cannot write PATH"; "-> the file
//                             could not be written in full" when the job ends)
#pragma once
#include <string>
#include <vector>

namespace wl::transcript {

// Adds a line (its trailing blanks removed).
void write(const std::string& line);
// Forgets the lines so far (the file, if any, is kept and written on).
void clear();
const std::vector<std::string>& lines();
// Also writes every line to this file, the lines so far first (empty path: no file). False when
// the file cannot be written.
bool to_file(const std::string& path);

}  // namespace wl::transcript
