// The widget module's remaining operations: those that forward to a body of the plain layer,
// those that call the library's escape entry with an operation number, and a few with logic of
// their own (RTF zoom, find-and-replace dialogue, frozen RTF changes, word extraction,
// paragraph tab stops, table-box entries and columns, property lists). None checks anything:
// the plain layer and the library judge every request.
#include <string>
#include <vector>

#include "gui_toolkit/f77gui.h"
#include "gui_toolkit/f77gui_widgets.h"
#include "gui_toolkit/menu_f90.h"
#include "gui_toolkit/menu_f90_rules.h"
#include "gui_toolkit/widget_frame.h"
#include "platform/model.h"
#include "platform/wingui.h"

namespace {

using mf::esc;
using mf::esc_text;

// The escape entry with a caller's buffer that the library may write.
int esc_buffer(int op, char* text, int len, int p1 = 0, int p2 = 0, int p3 = 0, int p4 = 0, int* r2 = nullptr) {
    if (op <= 0) return 0;
    int o1 = 0, o2 = 0;
    char scratch[2] = {' ', ' '};
    if (!text || len <= 0)
        ESCAPEROUTINE(op, p1, p2, p3, p4, 0, 0, o1, o2, scratch, 2);
    else
        ESCAPEROUTINE(op, p1, p2, p3, p4, 0, 0, o1, o2, text, len);
    if (r2) *r2 = o2;
    return o1;
}


// The selection remembered by GMFREEZERTFCHANGES and the position by GMEXTRACTWORD.
int frozen_first = 0, frozen_last = 0;
int word_position = 0;

// A fresh toolkit forgets them.
struct Init {
    Init() {
        wl::add_reset_hook("further_operations", [] {
            frozen_first = frozen_last = 0;
            word_position = 0;
        });
    }
};
const Init init;

// n - 1 for a position counted from 1 sent counted from 0 (the lowest integer stays).
int before(int n) { return n == -2147483647 - 1 ? n : n - 1; }

constexpr int k2p24 = 1 << 24;
constexpr int k2p28 = 1 << 28;

}  // namespace

// ---- forwarders ----

void gmSelectArrayCells(int a, int b, int c, int d, int e) { ARRSEL(a, b, c, d, e); }
void gmDefineArrayAction(int a, int b, int c) { ARRACM(a, b, c); }

void gmDefineWidgetLinks(int widget, int count, const int* values, const int* widgets) {
    LINKER(widget, values, widgets, count);
}
void gmDrawImage(int a, int b, int width, int height, const int* data) { IMGDRA(a, b, width, height, data); }
void GMDUMPIMAGE(int a, int b, int c, int d, int e) { IMGDMP(a, b, c, d, e); }
int gmGetCursorResource(int resource) {
    int cursor = 0;
    GETCUR(resource, cursor);
    return cursor;
}

void gmGetResourceImageData(int kind, int name, int width, int height, int value, int* data) {
    const int k = kind == 14 ? 2 : kind;
    if (data) return GETRIM(k, name, value, data);
    // A scratch list for a caller that wants none back; no list for an empty (or absurd) size.
    const long long n = (long long)width * height;
    std::vector<int> scratch(n >= 1 && n <= (1LL << 26) ? std::size_t(n) : 0);
    GETRIM(k, name, value, scratch.empty() ? nullptr : scratch.data());
}
void gmGetResourceImageData_2(int kind, int name, int width, int height, int value, int* data) {
    gmGetResourceImageData(kind, name, width, height, value, data);
}

void gmDefineLinkCallback(int widget, int callback) { CALLLK(widget, callback); }
void gmDefineChangeCallback(int widget, int callback) { CALLCH(widget, callback); }
void gmDefineValueErrorCallback(int widget, int callback) { CALLVE(widget, callback); }
void gmDefineDragSelectCallback(int widget, int callback) { DRAGSL(widget, callback); }
void gmDefineDragMoveCallback(int widget, int callback) { DRAGMV(widget, callback); }
void gmDefineDragDropCallback(int widget, int callback) { DRAGDR(widget, callback); }
void gmDefineDragRect(int a, int b) { DRGREC(a, b); }

void gmDefineDragShape(int count, const int* points) {
    if (count <= 0 || !points) return;
    std::vector<int> xs(static_cast<std::size_t>(count)), ys(static_cast<std::size_t>(count));
    for (int k = 0; k < count; ++k) {
        xs[std::size_t(k)] = points[2 * k];
        ys[std::size_t(k)] = points[2 * k + 1];
    }
    DRGPOL(xs.data(), ys.data(), count);
}
void gmDefineDragShape_2(int count, const int* points) { gmDefineDragShape(count, points); }

void gmReturnChildList(int widget, int& list, int& count) { WIDLIS(widget, count, list); }

int gmTextUndoAction(int widget, int action) {
    int result = 0;
    TEXUND(widget, action, result);
    return result;
}
void gmReplaceText(int widget, int a, int b, std::string_view text) { TEXINS(widget, a, b, text); }
int gmSaveTextToFile(int widget, std::string_view file, int mode) {
    int status = mode;
    TEXSAV(widget, file, status);
    return status;
}
int gmGetTextFromFile(int widget, std::string_view file, int mode) {
    int status = mode;
    TEXGET(widget, file, status);
    return status;
}
void gmCopyTextToClipboard(int widget, int mode) { TEXCLP(widget, mode); }
void gmTreeViewAction(int widget, int action) { TREACT(widget, action); }

void gmPrintTextWidget(int widget, int a, int b, int c, int* status) {
    TEXPRT(widget, a, b, c);
    if (status) *status = esc(67);
}
void gmPrintTextWidget_2(int widget, int a, int b, int c) { TEXPRT(widget, a, b, c); }

void gmSaveVideo(int frame, std::string_view file) { VIDSAV(frame, file); }
void gmCaptureVideo(int frame) { VIDGET(frame); }
void gmConnectVideoFrame(int frame) { VIDCON(frame); }
void gmDisconnectVideoFrame(int frame) { VIDDIS(frame); }
void gmDisplayVideoDialogue(int frame, int dialogue) { VIDDIA(frame, dialogue); }
void gmDisplayVideoDialog(int frame, int dialogue) { VIDDIA(frame, dialogue); }
void gmDisplayVideoDialogueBox(int frame, int dialogue) { VIDDIA(frame, dialogue); }

void gmMDIAction(int window, int action, OptInt option) {
    MDIACT(window, option.value_or(0), action == 32744 ? 5 : action);
}

void GMDEFINEIMAGEBACKGROUND(int widget, std::string_view image, int mode, OptInt flag) {
    IMGPAT(widget, image, mode, flag.value_or(0));
}
void GMDEFINEICONBACKGROUND(int widget, std::string_view image, int mode, OptInt flag) {
    ICOPAT(widget, image, mode, flag.value_or(0));
}

// ---- escape operations ----

void GMCONVERTRTF2HTML(std::string_view file) { esc_text(7000, file); }
void GMSELECTPROPERTY(int list, int item) { esc(5025, list, item, 999); }
void GMSAVESYNTAXKEYWORDS(std::string_view file) { esc_text(985, file); }
void GMLOADSYNTAXKEYWORDS(std::string_view file) { esc_text(986, file); }
void GMADDSYNTAXKEYWORD(int widget, std::string_view word) { esc_text(981, word, widget); }
void GMINITIALIZESYNTAXTREE() { esc(983); }
void GMREMOVETABLEBOXCOLUMN(int table, int column) { esc(206, table, before(column)); }
void GMREMOVEPROPERTYFROMLIST(int list, int item) { esc(5013, list, item); }
void gmRemoveArrayRow(int array, int row, OptInt count) { esc(2002, array, row, count.value_or(1)); }
void gmRemoveArrayColumn(int array, int column, OptInt count) { esc(2003, array, column, count.value_or(1)); }
void gmAddArrayRow(int array, int row, OptInt count) {
    if (count.value_or(1) > 0) esc(2000, array, row, count.value_or(1));
}
void gmAddArrayColumn(int array, int column, OptInt count) {
    if (count.value_or(1) > 0) esc(2001, array, column, count.value_or(1));
}
int GMPROPERTYITEMNUMBER(int list, std::string_view name) { return esc_text(5017, name, list); }
int GMPROPERTYITEMCOUNT(int list) { return esc(5018, list); }
int GMPAGESETUPDIALOGUE(int widget) { return esc(970, widget); }
int GMINSERTOBJECTDIALOGUE(int widget) { return esc(5101, widget); }
int GMINSERTOBJECT(int widget, std::string_view file) { return esc_text(5100, file, widget); }
int GMIMPORTWMFFILE(int v1, int v2, int v3, int v4, int v5, int v6, std::string_view file) {
    return esc_text(5500, file, v1, v2, v3, v4, v5, v6);
}
void GMGETSTRINGFROMRESOURCE(int identifier, char* text, int len) { esc_buffer(6100, text, len, identifier, len); }
int GMGETICONRESOURCE(std::string_view name) { return esc_text(850, name); }
int GMGETBITMAPRESOURCE(std::string_view name) { return esc_text(852, name); }
void GMFONTATTRIBSDIALOGUE(int widget) { esc(902, widget); }
void GMFINDTEXTDIALOGUE(int widget, char* text, int len) { esc_buffer(53, text, len, widget); }
int GMFINDTEXT(int widget, int a, std::string_view text, OptInt b) { return esc_text(52, text, widget, a, b.value_or(0)); }
void GMEXTRACTTEXT(int widget, int a, int b, char* text, int len) { esc_buffer(874, text, len, widget, a, b, len); }
void GMCLEARVALUEENTRY(int widget) { esc(2014, widget); }
void GMCLEARARRAYCELL(int array, int row, int column) { esc(2013, array, row, column); }
void GMCHANGEWIDGETORDER(int a, int b, int c) { esc(80, a, b, c); }
void GMADOPTCHILD(int a, int b, int c) { esc(6000, a, b, c); }
void GMADDPARAGRAPHTABSTOP(int a, int b, int c, int d) { esc(914, a, b, c, d); }
void GMREMOVEPARAGRAPHTABSTOP(int widget, int index) { esc(915, widget, before(index)); }
void GMDISPLAYTABSTOPEDITOR(int widget) { esc(363, widget); }

// ---- operations with logic of their own ----

void rtf_zoom_fraction(float zoom, int& n, int& d) {
    if (!(zoom > 0.0f)) {  // zero, negative or NaN
        n = d = 0;
        return;
    }
    if (zoom > 32.0f) {
        d = 1;
        n = zoom >= 64.0f ? 64 : int(zoom);
        return;
    }
    d = zoom > 16.0f ? 2 : zoom > 8.0f ? 4 : zoom > 4.0f ? 8 : zoom > 2.0f ? 16 : zoom > 1.0f ? 32 : 64;
    n = int(zoom * float(d));
}

void GMSETRTFZOOM(int widget, float zoom) {
    int n = 0, d = 0;
    rtf_zoom_fraction(zoom, n, d);
    esc(380, widget, n, d);
}

void GMREPLACETEXTDIALOGUE(int widget, char* find, int find_len, char* replace, int replace_len) {
    std::string joined(rt::trim_right(std::string_view(find ? find : "", find && find_len > 0 ? std::size_t(find_len) : 0), {.nuls = false}));
    joined += '|';
    joined.append(replace ? replace : "", replace && replace_len > 0 ? std::size_t(replace_len) : 0);
    joined.resize(2048, ' ');
    int o1 = 0, o2 = 0;
    ESCAPEROUTINE(54, widget, 0, 0, 0, 0, 0, o1, o2, joined.data(), 2048);
    const std::string_view back(joined);
    const auto bar = back.find('|');
    if (bar == std::string_view::npos) {
        rt::fill_text(find, find_len, "");
        rt::fill_text(replace, replace_len, back);
    } else {
        rt::fill_text(find, find_len, back.substr(0, bar));
        rt::fill_text(replace, replace_len, back.substr(bar + 1));
    }
}

void GMFREEZERTFCHANGES(int widget, int mode) {
    if (mode == 1) {
        GETSEL(widget, frozen_first, frozen_last);
        esc(870, widget, frozen_first, frozen_last);
    } else if (mode == -1) {
        frozen_first = frozen_last = -1;
        esc(871, widget, frozen_first, frozen_last);
    } else if (mode == 0) {
        esc(871, widget, frozen_first, frozen_last);
    }
}

void GMEXTRACTWORD(int widget, char* text, int len, OptInt position, int* first, int* last) {
    if (position) word_position = *position;
    int r2 = 0;
    const int r1 = esc_buffer(875, text, len, widget, word_position, len, 0, &r2);
    if (first) *first = r1;
    if (last) *last = r2;
}

void GMENQPARAGRAPHTABSTOP(int widget, int index, int* position, int* alignment, int* leader) {
    const int v = esc(908, widget, index);
    if (position) *position = v % k2p24;
    if (alignment) *alignment = (v / k2p24) % 16;
    if (leader) *leader = v / k2p28;
}

void GMSETPARAGRAPHTABSTOP(int widget, int index, OptInt position, OptInt alignment, OptInt leader) {
    const int v = esc(908, widget, index);
    const long long p = position.value_or(v % k2p24);
    const long long a = alignment.value_or((v / k2p24) % 16);
    const long long l = leader.value_or(v / k2p28);
    // Packed in 32 bits as the library stores it (bits beyond wrap round).
    const auto packed = static_cast<int>(static_cast<unsigned>((p + a * k2p24 + l * k2p28) & 0xFFFFFFFFLL));
    esc(909, widget, index, packed);
}

void gmAddTableBoxEntry(int table, std::string_view text, OptInt position) {
    if (position)
        esc_text(202, text, table, 0, *position);
    else
        TABENT(table, 0, text);
}

void gmAddTableBoxColumn(int table, int column, int a, OptInt b, OptText text, OptInt c) {
    TABCOL(table, column, a, b.value_or(-1), text ? *text : std::string_view(" "));
    if (c) esc(207, table, before(column), *c);
}

void gmAddTableBoxColumn_2(int table, int column, int a, OptInt b, OptText text) {
    gmAddTableBoxColumn(table, column, a, b, text);
}

void GMADDPROPERTYTOLIST(int list, int item, std::string_view name, OptText value, OptInt type, OptText extra) {
    std::string t(rt::trim_right(name, {.nuls = false}));
    t += '|';
    if (value) t += *value;
    const int r1 = esc_text(5011, t, list, item, 0, type.value_or(0));
    if (extra) esc_text(5027, *extra, list, r1);
}

void GMSETEMULATIONATTRIBS(const EmulationAttribs& record) {
    ACTMOD(record[0]);
    ACCATR(record[1], record[2], record[3]);
    BORWID(record[4]);
    GUICOL(record.data() + 5);
}

void GMENQEMULATIONATTRIBS(EmulationAttribs&) {
    // The routines are retired and fill nothing; they are given scratch places.
    int a = 0, b = 0, c = 0, mode = 0, width = 0;
    int colours[9] = {};
    ACCENQ(a, b, c);
    ACMENQ(mode);
    BORENQ(width);
    GCOENQ(colours);
}
