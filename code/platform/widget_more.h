// Entries of our widget library for the colour-choice dialog, the array-wide settings of text
// and value arrays, and the escape operations of table list boxes and video capture frames.
//
// The colour dialog is the front end's (FrontEnd::choose_colour). There is no video capture
// device here: a video frame is refused by the library (its creation answers 0) and the device
// enquiry finds no device.
// Table list boxes are kept in the model: columns with a label and a width, entries as rows of
// texts.
#pragma once
#include <string>
#include <string_view>
#include <vector>

// ---- colour dialog ----
// Shows the colour dialog starting from (r, g, b), each 0..255, and returns the colour chosen;
// a cancelled dialog leaves the three as they were.
void GETRGBCOLOR(int& r, int& g, int& b);

// ---- text and value arrays ----
void GASELECTARRAYAREA(int a, int b, int c, int d, int e);
// Attributes and the two labels registered for the next array created.
void GASETGRIDATTR(int a1, int a2, int a3, int a4, std::string_view label1, std::string_view label2, int len1,
                   int len2);
void GAARRAYACTIONMODE(int a, int b, int c);

namespace wl {

// A table list box (kind 35) as the escape operations 200 to 207 keep it.
struct TableColumn {
    std::string label;
    int width = 0;
    int attribute = 0;  // escape 207
};
struct TableBox {
    std::vector<TableColumn> columns;
    std::vector<std::vector<std::string>> rows;  // entries; an entry's texts are separated by '|'
};
// The table of a table list box; nullptr for an id that names none.
const TableBox* find_table(int id);

// Installs the escape operations of the table list boxes, tab stops and video frames (the
// escape entry does, on first use).
void install_more_escapes();

}  // namespace wl
