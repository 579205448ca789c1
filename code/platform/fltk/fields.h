// Entry fields and icons of the FLTK front end, and the helpers its widgets share: a user's
// typing reaches the model at once, an entry's callback follows when the edit ends, and an icon
// shows one of the program's own images.
#pragma once
#include <string>

#include "platform/model.h"

class Fl_Pixmap;
class Fl_Widget;

namespace wl::fltk {

// The model's widget id that an FLTK widget stands for (kept as its user data).
int widget_id(Fl_Widget* w);

// The text without trailing blanks (and NULs).
std::string trimmed(const std::string& s);

// A one-line or multi-line entry bound to the model widget whose id becomes its user data.
Fl_Widget* make_entry(bool multiline, int x, int y, int w, int h);

// Whether the user is typing into this entry (it holds the focus and changed since its last
// edit ended): what the program writes then must not overwrite the typing.
bool typing_into(const Fl_Widget* entry);

// An icon: the image of the model widget's icon name, centred in its cells; a click queues its
// callback (or its select callback when it has only that).
Fl_Widget* make_icon(int x, int y, int w, int h);

// One of the program's built-in images as it registered them (REGIMAGE: "#101" its icon,
// "#102" its logo), made once; nullptr for a name no image is registered for.
Fl_Pixmap* program_pixmap(const std::string& name);

}  // namespace wl::fltk
