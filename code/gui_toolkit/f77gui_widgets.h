// The toolkit's plain layer for the individual widget kinds: menus, lists, icons, push buttons
// and images; value entries and value arrays; text entries, text arrays and terminal entries;
// toggles, radio boxes, sliders, panels and bars; the escape forwarder, the added callbacks,
// drag, widget properties and fonts; and the cell and table-box bodies the widget module
// forwards to. Each routine records its operation name, checks the request (master window,
// identifiers, widget kinds) and then calls one entry of our widget library
// (platform/widget_extra.h); misuse shows one numbered GINOMENU error and the caller goes on.
//
// Texts passed in are string views (their length is the text's length); texts passed out are
// a character buffer and its length, written blank-padded.
#pragma once
#include <string_view>

#include "runtime/ftext.h"

// ---- menus, lists, icons, push buttons, links, images ----
void MENBAR(int window, int style, int unused, int& id);
void MENPOP(int parent, int p1, int p2, int& id);
void MENENT(int parent, std::string_view text, int accelerator, int& id);
void MENSEP(int menu, int& id);
void MENSYS(int window, int& id);
void LISTYP(int a, int b, int c);
void LISBOX(int parent, int x, int y, int list_kind, int& id);
void LISSET(int list, int index, std::string_view text, int action);
void LISSTA(int list, int& a, int& b, int& c);
void LISENQ(int list, int index, char* text, int text_len, int& result);
void COMTYP(int a, int b);
void COMBO(int parent, int x, int y, int combo_kind, int& id);
void ICOTYP(int type);
void ICOSIZ(int size);
void ICODEF(int parent, int x, int y, std::string_view name, int p, int q, int& id);
void BUTTYP(int type);
void BUTSIZ(int size);
void BUTATR(int a, int b, int c);
void BUTTON(int parent, int x, int y, std::string_view text, int accelerator, int& id);
void LINKER(int widget, const int* values, const int* widgets, int count);
void IMGDRA(int a, int b, int width, int height, const int* data);
void IMGDMP(int a, int b, int c, int d, int e);
void GETRIM(int a, int b, int c, int* data);
void RIMENQ(int a, int kind, int& a3, int& a4, int& a5, int& a6, int& a7);
void GETCUR(int a, int& cursor);

// ---- value entries and value arrays ----
void VALTYP(int type, int second);
void VALSIZ(int size);
void VALATR(int c1, int c2, int c3, int fourth);
void DVLENT(int parent, int x, int y, double value, int field_width, int decimals, int mode, int& id);
void VALENT(int parent, int x, int y, float value, int field_width, int decimals, int mode, int& id);
void VALARR(int parent, int a, int b, int c, int d, int& id);
void DVLSET(int widget, double value);
void VALSET(int widget, float value);
void DVLENQ(int widget, double& value, char* text, int text_len, int& status);
void VALENQ(int widget, float& value);
void VALLIM(int widget, float limit1, float limit2);
void VALLID(int widget, double limit1, double limit2);
void VALFIX(int widget, int flag, std::string_view prefix, std::string_view suffix);
void VALROG(int a, int b, int code, std::string_view text);
void DVRSET(int array, int col, int row, int cols, int rows, const double* values);
void VARSET(int array, int col, int row, int cols, int rows, const float* values);
void DVRENQ(int array, int col, int row, int cols, int rows, double* values);
void VARENQ(int array, int col, int row, int cols, int rows, float* values);

// ---- text entries, text arrays, terminal entries ----
void TEXTYP(int type, int second);
void TEXSIZ(int size);
void TEXATR(int c1, int c2, int c3, int fourth);
void SCRMOD(int widget, int mode);
void TEXENT(int parent, int x, int y, std::string_view text, int limit, int mode, int& id);
void TEXARR(int parent, int a, int b, int c, int d, int& id);
void TTYENT(int parent, int a, int b, int c, std::string_view text, int& id);
void TEXSET(int widget, std::string_view text);
void TEXENQ(int widget, char* text, int text_len);
template <int N>
void TEXENQ(int widget, rt::FText<N>& text) { TEXENQ(widget, text.c, N); }
void TEXLIM(int widget, int limit);
void SETSEL(int widget, int first, int last);
void GETSEL(int widget, int& first, int& last);
void SETPAR(int widget, int property, int value);
void GETPAR(int widget, int property, int& value);
void TEXUND(int widget, int action, int& result);
void TEXPOS(int widget, int a, int b, int& result);
void TEXINS(int widget, int a, int b, std::string_view text);
void TEXSAV(int widget, std::string_view file, int& status);
void TEXGET(int widget, std::string_view file, int& status);
void TEXPRT(int widget, int a, int b, int c);
void TEXCLP(int widget, int mode);
void TTYPRO(int widget, std::string_view text);
void TEXLEN(std::string_view text, int& width);
// Texts of a text array: `texts` holds cols x rows elements of elem_len characters each, in
// column order (the column index varies fastest).
void TARSET(int array, int col, int row, int cols, int rows, const char* texts, int elem_len);
void TARENQ(int array, int col, int row, int cols, int rows, char* texts, int elem_len);

// ---- toggles, radio boxes, sliders, panels, bars ----
void TOGTYP(int type);
void TOGSIZ(int size);
void TOGATR(int c1, int c2, int c3);
void RADTYP(int type);
void SLITYP(int type);
void SLISIZ(int size);
void SLIATR(int c1, int c2, int c3);
void PANTYP(int type);
void PANATR(int c1, int c2, int c3, int c4);
void TOGGLE(int parent, int x, int y, int state, std::string_view text, int& id);
void RADIO(int parent, int x, int y, int& id);
void SLIDER(int parent, int x, int y, float minimum, float maximum, float increment, float value, int& id);
void PANEL(int parent, int x, int y, int& id);
void PANMAS(int parent, int x, int y, int& id);
void STABAR(int window, int type, int& id);
void TOLBAR(int window, int a, int b, int& id);
void TOLBUT(int toolbar, int a, std::string_view text, int& id);
void TOLSEP(int toolbar, int& id);
void TREBOX(int parent, int a, int b, int c, int& id);
void TREENT(int parent, int a, std::string_view text, int& id);
void GAUGE(int parent, int a, int b, int c, std::string_view text, int& id);
void PROBAR(int parent, int a, int b, int c, int& id);
void TOGSET(int widget, int state);
void TOGENQ(int widget, int& state);
void TOGACC(int widget, int accelerator);
void SLISET(int slider, float value);
void SLIENQ(int slider, float& value);
void SCRSET(int widget, int a, int b);
void SCRENQ(int widget, int& a, int& b);
void PANIMG(int panel, int a, std::string_view image);
void STATEX(int bar, int pane, std::string_view text);
void STAPAN(int bar, int a, int b);
void TRESET(int entry, std::string_view text);
void TREENQ(int entry, char* text, int text_len);
void TREACT(int widget, int action);
void GAGTYP(int gauge, int a, int b, int c);
void GAGSET(int gauge, int value);
void GAGLIM(int gauge, int a, int b);
void GAGENQ(int gauge, int& value);
void PROSET(int bar, int value);
void PROLIM(int bar, int a, int b);

// ---- escape forwarding, added callbacks, drag, properties, fonts ----
void GUIESC(int op, int p1, int p2, int p3, int p4, int p5, int p6, int& o1, int& o2, char* text, int len);
void CALLLK(int widget, int callback);
void CALLVE(int widget, int callback);
void CALLFD(int widget, int callback);
void CALLDB(int widget, int callback);
void CALLCH(int widget, int callback);
void DRAGDR(int widget, int callback);
void DRAGSL(int widget, int callback);
void DRAGMV(int widget, int callback);
void CALLTQ(int& a, int& b, int& c, int& d);
void CALLEQ(int& a, int& b, int& c, int& d, int& e, int& f);
void CALLKQ(int key, int& callback);
void CLPINF(int format, int& status);
void DRGREC(int a, int b);
void DRGPOL(int* xs, int* ys, int count);
void WIDLIS(int widget, int& first, int& second);
void GUIFNT(int value);
void STRNUM(char* text, int len, int& result);
void WIDFNT(int widget, int attribute, int value, std::string_view font);
void WIDFNQ(int widget, int attribute, int& value, char* font, int font_len);
void PRPSET(int widget, int code, int ivalue, double dvalue, std::string_view text);
void PRPENQ(int widget, int code, int& ivalue, double& dvalue, char* text, int text_len);
void BUTICO(int parent, int x, int y, std::string_view text, std::string_view icon, int& id);

// ---- cells of text and value arrays, table boxes, video device (bodies the widget module
// forwards to) ----
void CELTYP(int array, int col, int row, int type);
void CELSIZ(int array, int col, int row, int a, int b);
void DCLSET(int array, int col, int row, double value, std::string_view text);
void CELSET(int array, int col, int row, float value, std::string_view text);
void CELFRM(int array, int col, int row, int f1, int f2, int f3, int f4);
void DCLENQ(int array, int col, int row, double& value, char* text, int text_len);
void CELENQ(int array, int col, int row, float& value, char* text, int text_len);
void CELATR(int array, int col, int row, int a, int b, int c, int d, int e);
void CELANQ(int array, int col, int row, int count, int* values);
void CELACT(int array, int col, int row);
void CELLIM(int array, int col, int row, float limit1, float limit2, int third);
void CELLIQ(int array, int col, int row, float& lower, float& upper, int& third);
void TABSET(int box, int a, int b, int c, std::string_view label);
void TABENQ(int box, int a, int b, int& value, char* label, int label_len);
void TABSIZ(int box, int attribute, int& first, int& second, int flag);
void VIDENQ(int device, int& result, char* name, int name_len);

// ---- array rows, columns and settings, table list boxes, video frames, MDI action, track
// bar, retired routines (bodies the widget module forwards to) ----
void ADDROW(int array, int row);
void ADDCOL(int array, int col);
void REMROW(int array, int row);
void REMCOL(int array, int col);
void ARRENQ(int array, int attribute, int& value);
void ARRSEL(int a, int b, int c, int d, int e);
void ARRATR(int a1, int a2, int a3, int a4, std::string_view label1, std::string_view label2);
void ARRACM(int a, int b, int c);
void TABBOX(int parent, int x, int y, int& id);
void TABCOL(int box, int a, int b, int c, std::string_view label);
void TABENT(int box, int a, std::string_view text);
void VIDCAP(int parent, int a, int b, int c, int& id);
void VIDGET(int frame);
void VIDSAV(int frame, std::string_view file);
void VIDDIA(int frame, int dialogue);
void VIDCON(int frame);
void VIDDIS(int frame);
void MDIACT(int window, int a, int b);
void TRABAR(int parent, int a, int b, int c, int d, int e, int& id);
// Retired: each reports error 55 ("Routine name is being deprecated") titled with its own
// name, or 61 ("Routine no longer available") for GUIRES and GUICDE, and ignores its arguments.
void IMGPAT(int widget, std::string_view image, int mode, int flag);
void ICOPAT(int widget, std::string_view image, int mode, int flag);
void GUICOL(const int* colours);
void BORWID(int width);
void ACTMOD(int mode);
void ACCATR(int a, int b, int c);
void GCOENQ(int* colours);
void BORENQ(int& width);
void ACMENQ(int& mode);
void ACCENQ(int& a, int& b, int& c);
void GUIRES();
void GUICDE();
// Colour dialog and printer control (f77gui_colour_print.cpp).
void GUIRGB(float& red, float& green, float& blue);
void OGLPRT(int action, int& status);
