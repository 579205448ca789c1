// Entries of our widget library for the colour dialog, array-wide settings, table list boxes
// and video capture frames (see widget_more.h).
#include "platform/widget_more.h"

#include <algorithm>
#include <cstring>
#include <map>

#include "platform/frontend.h"
#include "platform/model.h"
#include "platform/transcript.h"
#include "platform/wingui.h"

namespace wl {
namespace {

std::map<int, TableBox>& tables() {
    static std::map<int, TableBox> t;
    return t;
}

// Paragraph tab stops of text editors, packed as the widget module packs them, by (widget,
// index).
std::map<std::pair<int, int>, int>& tab_stops() {
    static std::map<std::pair<int, int>, int> t;
    return t;
}

std::string text_of(const char* text, int len) {
    if (!text || len <= 0) return {};
    return rtrim(std::string_view(text, std::size_t(len)));
}

// The fields of one entry, split at '|' and trimmed.
std::vector<std::string> split(const std::string& s) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (;;) {
        const auto bar = s.find('|', start);
        out.push_back(rtrim(s.substr(start, bar == std::string::npos ? std::string::npos : bar - start)));
        if (bar == std::string::npos) break;
        start = bar + 1;
    }
    return out;
}

TableBox* table(int id) {
    if (model().kind_of(id) != KIND_TABLE) return nullptr;
    return &tables()[id];
}

TableColumn* column(TableBox& t, int index0) {
    if (index0 < 0 || index0 >= int(t.columns.size())) return nullptr;
    return &t.columns[std::size_t(index0)];
}

// The text at column a (from 1) of row b: the column's label for row 0, else the entry's field.
std::string* label_at(TableBox& t, int a, int b) {
    if (a < 1) return nullptr;
    if (b == 0) {
        TableColumn* c = column(t, a - 1);
        return c ? &c->label : nullptr;
    }
    if (b < 1 || b > int(t.rows.size())) return nullptr;
    auto& row = t.rows[std::size_t(b - 1)];
    if (a > int(row.size())) row.resize(std::size_t(a));
    return &row[std::size_t(a - 1)];
}

}  // namespace

void install_more_escapes() {
    // Creation of a table list box: (parent, x, y); o1 = the new id.
    set_escape_handler(200, Coverage::Kept, "creates a table list box",
                       [](int, const int(&p)[6], int& o1, int&, char*, int) {
        o1 = model().create(KIND_TABLE, p[0], p[1], p[2]);
        tables()[o1] = TableBox{};
    });
    // Column: (box, column from 1, width, b) with the label; a column number outside the
    // columns appends.
    set_escape_handler(201, Coverage::Kept, "adds a column to a table list box",
                       [](int, const int(&p)[6], int&, int&, char* text, int len) {
        TableBox* t = table(p[0]);
        if (!t) return;
        TableColumn c{text_of(text, len), p[2], 0};
        const int at = p[1] >= 1 && p[1] <= int(t->columns.size()) ? p[1] - 1 : int(t->columns.size());
        t->columns.insert(t->columns.begin() + at, c);
    });
    // Entry: (box, 0, position from 1) with the texts separated by '|'; a position outside the
    // entries appends.
    set_escape_handler(202, Coverage::Kept, "adds an entry to a table list box",
                       [](int, const int(&p)[6], int&, int&, char* text, int len) {
        TableBox* t = table(p[0]);
        if (!t) return;
        const int at = p[2] >= 1 && p[2] <= int(t->rows.size()) ? p[2] - 1 : int(t->rows.size());
        t->rows.insert(t->rows.begin() + at, split(text_of(text, len)));
    });
    // Label or field (box, column, row) set from the text; o1 = 0 done, 1 no such place.
    set_escape_handler(203, Coverage::Kept, "sets a label or field of a table list box",
                       [](int, const int(&p)[6], int& o1, int&, char* text, int len) {
        TableBox* t = table(p[0]);
        std::string* s = t ? label_at(*t, p[1], p[2]) : nullptr;
        o1 = s ? 0 : 1;
        if (s) *s = text_of(text, len);
    });
    // Label or field (box, column, row) into the text; o1 = 0 found, 1 no such place (the text
    // is left alone).
    set_escape_handler(204, Coverage::Kept, "answers a label or field of a table list box",
                       [](int, const int(&p)[6], int& o1, int&, char* text, int len) {
        TableBox* t = table(p[0]);
        std::string* s = t ? label_at(*t, p[1], p[2]) : nullptr;
        o1 = s ? 0 : 1;
        if (s) rt::fill_text(text, len, *s);
    });
    // Column width (box, column from 0, flag): flag 0 sets it from o1; flag 1 returns it in
    // o1 and the column's attribute in o2.
    set_escape_handler(205, Coverage::Kept, "sets or answers the width of a table list box column",
                       [](int, const int(&p)[6], int& o1, int& o2, char*, int) {
        TableBox* t = table(p[0]);
        TableColumn* c = t ? column(*t, p[1]) : nullptr;
        if (!c) return;
        if (p[2] == 0) {
            c->width = o1;
        } else if (p[2] == 1) {
            o1 = c->width;
            o2 = c->attribute;
        }
    });
    // Removal of a column (box, column from 0).
    set_escape_handler(206, Coverage::Kept, "removes a column of a table list box",
                       [](int, const int(&p)[6], int&, int&, char*, int) {
        TableBox* t = table(p[0]);
        if (t && column(*t, p[1])) t->columns.erase(t->columns.begin() + p[1]);
    });
    // Column attribute (box, column from 0, value).
    set_escape_handler(207, Coverage::Kept, "attribute of a table list box column",
                       [](int, const int(&p)[6], int&, int&, char*, int) {
        TableBox* t = table(p[0]);
        if (TableColumn* c = t ? column(*t, p[1]) : nullptr) c->attribute = p[2];
    });
    // Paragraph tab stop (widget, index): 908 reads it into o1 (0 when never set), 909 writes
    // the packed value p3.
    set_escape_handler(908, Coverage::Kept, "answers a paragraph tab stop as set",
                       [](int, const int(&p)[6], int& o1, int&, char*, int) {
        auto it = tab_stops().find({p[0], p[1]});
        o1 = it == tab_stops().end() ? 0 : it->second;
    });
    set_escape_handler(909, Coverage::Kept, "paragraph tab stop",
                       [](int, const int(&p)[6], int&, int&, char*, int) { tab_stops()[{p[0], p[1]}] = p[2]; });
    // Video capture: no device exists, so the creation of a video frame answers 0 (refused)
    // and the device enquiry answers 0 with a blank name.
    set_escape_handler(800, Coverage::Refused, "creation of a video frame: answers 0 (no capture device)",
                       [](int, const int(&)[6], int& o1, int&, char*, int) { o1 = 0; });
    set_escape_handler(806, Coverage::Refused, "video device enquiry: answers 0 and a blank name",
                       [](int, const int(&)[6], int& o1, int&, char* text, int len) {
        o1 = 0;
        rt::fill_text(text, len, "");
    });
}

namespace {

struct Init {
    Init() {
        add_reset_hook("widget_more", [] {
            tables().clear();
            tab_stops().clear();
        });
    }
};
const Init init;

}  // namespace

const TableBox* find_table(int id) {
    auto it = tables().find(id);
    return it == tables().end() || model().kind_of(id) != KIND_TABLE ? nullptr : &it->second;
}

}  // namespace wl

void GETRGBCOLOR(int& r, int& g, int& b) {
    wl::trace_call("GETRGBCOLOR", r, g, b);
    int cr = std::clamp(r, 0, 255), cg = std::clamp(g, 0, 255), cb = std::clamp(b, 0, 255);
    const std::string from = std::to_string(cr) + " " + std::to_string(cg) + " " + std::to_string(cb);
    // A cancelled dialog leaves the colour as it was.
    if (!wl::frontend().choose_colour(wl::model(), cr, cg, cb)) {
        wl::transcript::write("colour " + from + " -> cancel");
        return;
    }
    r = std::clamp(cr, 0, 255);
    g = std::clamp(cg, 0, 255);
    b = std::clamp(cb, 0, 255);
    wl::transcript::write("colour " + from + " -> " + std::to_string(r) + " " + std::to_string(g) + " " +
                          std::to_string(b));
}

void GASELECTARRAYAREA(int a, int b, int c, int d, int e) {
    wl::trace_call("GASELECTARRAYAREA", a, b, c, d, e);
    register_other("GASELECTARRAYAREA", {double(a), double(b), double(c), double(d), double(e)});
}

void GASETGRIDATTR(int a1, int a2, int a3, int a4, std::string_view label1, std::string_view label2, int len1,
                   int len2) {
    const std::string l1 = wl::rtrim(label1.substr(0, std::size_t(std::clamp<int>(len1, 0, int(label1.size())))));
    const std::string l2 = wl::rtrim(label2.substr(0, std::size_t(std::clamp<int>(len2, 0, int(label2.size())))));
    wl::trace_call("GASETGRIDATTR", a1, a2, a3, a4, l1, l2);
    register_other("GASETGRIDATTR", {double(a1), double(a2), double(a3), double(a4)});
}

void GAARRAYACTIONMODE(int a, int b, int c) {
    wl::trace_call("GAARRAYACTIONMODE", a, b, c);
    register_other("GAARRAYACTIONMODE", {double(a), double(b), double(c)});
}
