// Plain routines for text entries, multi-line editors, text arrays and terminal entries.
#include <string>

#include "gui_toolkit/f77gui_widgets.h"
#include "gui_toolkit/widget_frame.h"
#include "platform/widget_extra.h"
#include "runtime/format.h"

using namespace wf;

void TEXTYP(int type, int second) { REGTEXTTYPE(type, second); }

void TEXSIZ(int size) {
    if (size < 50 || size > 100) return err(34);
    REGTEXTSIZE(size);
}

void TEXATR(int c1, int c2, int c3, int fourth) {
    if (c1 < 0 || c2 < 0 || c3 < 0) return err(19);
    if (fourth < -1 || fourth > 2) return err(35);
    REGTEXTATTR(c1, c2, c3, fourth);
}

void SCRMOD(int widget, int mode) {
    if (widget < 0) return err(26);
    if (widget > 0 && !wk::in(IGETWIDGETTYPE(widget), wk::kScrollModeKinds)) return err(67);
    escape(500, widget, mode);
}

void TEXENT(int parent, int x, int y, std::string_view text, int limit, int mode, int& id) {
    Op op("gmCreateTextEntry");
    id = 0;
    if (!creation(parent, wk::kTextEntryParents)) return;
    int w = 0, h = 0, a = 0, b = 0, c = 0, g = 0;
    GETMINIMUM(w, h);
    GETGRIDAREA(a, b, c, g);
    bool editor = (g > 1 && h > 1) || (g == 1 && h > 25) || g < 1;
    if (!editor && POSITION_MODE(2) != 0 && POSITION_MODE(1) >= 3 && POSITION_MODE(1) <= 5) editor = true;
    const int len = int(text.size());
    if (editor) {
        ADDEDITOR(parent, x, y, text, limit, mode, id, len);
    } else if (IGETWIDGETTYPE(parent) == 48) {
        err(7);
    } else {
        ADDSTRING(parent, 0, text, mode, x, y, limit, id, len);
    }
}

void TEXARR(int parent, int a, int b, int c, int d, int& id) {
    Op op("gmCreateTextArray");
    id = 0;
    if (!creation(parent, wk::kArrayParents)) return;
    GAADDTEXTGRID(parent, a, b, c, d, id);
}

void TTYENT(int parent, int a, int b, int c, std::string_view text, int& id) {
    Op op("gmCreateTTYEntry");
    id = 0;
    if (!creation(parent, wk::kArrayParents)) return;
    Text256 t(text);
    int o1 = 0, o2 = 0;
    ESCAPEROUTINE(2500, parent, a, b, c, 0, 0, o1, o2, t.c, 256);
    id = o1;
}

namespace {
// Master, positive number and one of kinds (else error 23).
bool text_checks(int widget, std::span<const int> kinds) {
    if (!master_and_number(widget)) return false;
    if (!wk::in(IGETWIDGETTYPE(widget), kinds)) {
        err(23);
        return false;
    }
    return true;
}
}  // namespace

void TEXSET(int widget, std::string_view text) {
    Op op("gmSetTextSetting");
    if (!text_checks(widget, wk::kTextSettable)) return;
    SETSTRING(widget, text, int(text.size()));
}

void TEXENQ(int widget, char* text, int text_len) {
    Op op("gmEnqTextSetting");
    if (!text_checks(widget, wk::kTextSettable)) return;
    rt::fill_text(text, text_len, "");
    GETSTRING(widget, text, text_len);
}

void TEXLIM(int widget, int limit) {
    if (!text_checks(widget, wk::kTextLimitable)) return;
    escape(912, widget, limit);
}

void SETSEL(int widget, int first, int last) {
    Op op("gmSetSelectedTextRange");
    if (!text_checks(widget, wk::kSelectable)) return;
    escape(903, widget, first, last);
}

void GETSEL(int widget, int& first, int& last) {
    Op op("gmEnqSelectedTextRange");
    if (!text_checks(widget, wk::kEditors)) return;
    int o2 = 0;
    first = escape(904, widget, 0, 0, 0, 0, 0, &o2);
    last = o2;
}

void SETPAR(int widget, int property, int value) {
    Op op("gmSetParagraphProp");
    if (!text_checks(widget, wk::kEditors)) return;
    escape(906, widget, property, value);
}

void GETPAR(int widget, int property, int& value) {
    Op op("gmEnqParagraphProp");
    if (!text_checks(widget, wk::kEditors)) return;
    value = escape(905, widget, property);
}

void TEXUND(int widget, int action, int& result) {
    Op op("gmTextUndoAction");
    if (!text_checks(widget, wk::kEditors)) return;
    result = escape(913, widget, action);
}

void TEXPOS(int widget, int a, int b, int& result) {
    Op op("gmEnqTextPos");
    if (!text_checks(widget, wk::kEditors)) return;
    result = escape(911, widget, a, b);
}

void TEXINS(int widget, int a, int b, std::string_view text) {
    Op op("gmReplaceText");
    if (!text_checks(widget, wk::kEditors)) return;
    std::string own(text);  // the caller's own text and length
    int o1 = 0, o2 = 0;
    ESCAPEROUTINE(910, widget, a, b, 0, 0, 0, o1, o2, own.data(), int(own.size()));
}

namespace {
// The file operations of text widgets: on_text for a widget of the given kinds, on_array for a
// text array, nothing for any other widget.
template <class Text, class Array>
void text_or_array(std::string_view name, int widget, std::span<const int> kinds, Text on_text, Array on_array) {
    Op op(name);
    if (!master_and_number(widget)) return;
    const int kind = IGETWIDGETTYPE(widget);
    if (wk::in(kind, kinds))
        on_text();
    else if (kind == wl::KIND_TEXTARRAY)
        on_array();
}
}  // namespace

void TEXSAV(int widget, std::string_view file, int& status) {
    text_or_array(
        "gmSaveTextToFile", widget, wk::kTextFileKinds,
        [&] { SAVETEXTFILE(widget, status, file, int(file.size())); },
        [&] { GASAVETEXTFILE(widget, status, file, int(file.size())); });
}

void TEXGET(int widget, std::string_view file, int& status) {
    text_or_array(
        "gmGetTextFromFile", widget, wk::kTextLoadKinds,
        [&] { LOADTEXTFILE(widget, status, file, int(file.size())); },
        [&] { GALOADTEXTFILE(widget, status, file, int(file.size())); });
}

void TEXPRT(int widget, int a, int b, int c) {
    text_or_array(
        "gmPrintTextWidget", widget, wk::kTextFileKinds, [&] { PRINTTEXTFILE(widget, a, b, c); },
        [&] { GAPRINTTEXTFILE(widget, a, b, c); });
}

void TEXCLP(int widget, int mode) {
    Op op("gmCopyTextToClipboard");
    if (!master_and_number(widget)) return;
    TEXTCUTANDPASTE(widget, mode);
}

void TTYPRO(int widget, std::string_view text) {
    Text256 t(text);
    int o1 = 0, o2 = 0;
    ESCAPEROUTINE(2510, widget, 0, 0, 0, 0, 0, o1, o2, t.c, 256);
}

void TEXLEN(std::string_view text, int& width) {
    Op op("gmEnqTextLength");
    if (text.empty()) {
        width = 0;
        return;
    }
    int n = int(rt::trim_right(text, {.nuls = false}).size());
    if (n == 0) n = 1;
    if (n == 1 && text[0] == ' ') {
        width = 0;
        return;
    }
    width = GETSTRINGWIDTH(text, n);
}

void TARSET(int array, int col, int row, int cols, int rows, const char* texts, int elem_len) {
    Op op("gmSetTextArray");
    if (!text_array_checks(array)) return;
    const std::size_t elen = elem_len > 0 ? std::size_t(elem_len) : 0;
    for_block(col, row, cols, rows, [&](int c, int r, std::size_t k) {
        const std::string_view element(texts + k * elen, elen);
        GASETCELLTYPE(array, c, r, 0, 0);
        Text256 t(element);
        double value = 0.0;
        if (rt::list_read(std::string_view(t.c, 256), value) != 0) value = 0.0;
        GASETCELLVALUE(array, c, r, value, std::string_view(t.c, 256), 256);
    });
}

void TARENQ(int array, int col, int row, int cols, int rows, char* texts, int elem_len) {
    Op op("gmEnqTextArray");
    if (!text_array_checks(array)) return;
    const std::size_t elen = elem_len > 0 ? std::size_t(elem_len) : 0;
    for_block(col, row, cols, rows, [&](int c, int r, std::size_t k) {
        Text256 t;
        double value = 0.0;
        GAGETCELLVALUE(array, c, r, value, t.c, 256);
        rt::fill_text(texts + k * elen, int(elen), std::string_view(t.c, 256));
    });
}
