// The toolkit's plain layer (six-letter routines) as far as the core goes: the frame every
// operation runs in (its name in CURRENT_ROUTINE, the master check, numbered GINOMENU errors in
// the console), the event wait and the timer, windows, dialogs, boxes and the file browser,
// and the window operations and widget attributes. Each routine checks its request and then
// calls one entry of our widget library (platform/wingui.h); misuse shows one console message
// and the caller goes on.
#pragma once
#include <string>
#include <string_view>

#include "runtime/farray.h"
#include "runtime/ftext.h"

// ---- state of the layer ----
// The toolkit operation in progress (six blanks between operations).
inline rt::FText<32> CURRENT_ROUTINE{"      "};
// Justification code and expansion recorded by WIDPOS (0, 0 after gmInitializeMenu).
inline rt::FArray<int, 2> POSITION_MODE;

// The console buffer: the abort text and a title and text as one character code per element.
struct GMERRBUF_t {
    rt::FText<80> ABORTMSG;
    rt::FArray<int, 256> ITITLECODE;
    rt::FArray<int, 256> IMSGCODE;
};
inline GMERRBUF_t GMERRBUF;

// The last event, overwritten by every wait.
struct ACTION_STATE_t {
    int ACTION_X = 0, ACTION_Y = 0;
    int ACTION_WIDGET = 0;
    int ACTION_KIND = 0;      // -1: pointer event in a graphics frame
    int ACTION_EXTRA = 0;
    int ACTION_CALLBACK = 0;
};
inline ACTION_STATE_t ACTION_STATE;

// Puts the layer's state, the library model and the frame layer back to the state of a fresh
// process (for tests). The front end is left as it is.
void reset_toolkit();

// ---- the GINOMENU error table ----
inline constexpr int GINOMENU_ERROR_COUNT = 69;
// "GINOMENU error NN - description" for 1..69; a number outside the table gives the generic
// "GINOMENU error NN - Unknown error" instead of reading past it.
std::string GINOMENU_ERROR_TEXT(int nn);

// ---- the frame and error reporting ----
void GINOTS(int dummy, std::string_view name);
void GMTS0(std::string_view name);
void TRULEN(std::string_view text, int& n);
int STRLEN(std::string_view text);
void GET_HANDLE(int widget, int& handle);
int GMGETWIDGETHANDLE(int widget);
void GINOER(int code);
void GMERR(int n, int dummy);
void GMERROR(std::string_view title, std::string_view text, int code);
// The abort box ("Program Abort", "ACTION called without a master window defined") on the
// console with code 0; the program goes on.
void GMABORT();
// True when no master window exists (the library's next identifier is below 2).
inline bool gm_no_master();
void GUIINF(std::string_view title, std::string_view text);
void gmDisplayInfoBox(std::string_view title, std::string_view text);
// GUIERR and gmDisplayErrorBox: include/toolkit_services.h.

// ---- event wait, callbacks and timer ----
int ACTION(int& callback);
// The last event (gmEnqActionState of the widget module reads it through this body).
void ACTENQ(int& callback, int& widget, int& extra, int& kind, float& x, float& y, char* text, int text_len,
            int& count, float* reals4, int* integers4);
void CALLTM(int interval, int callback);
void CALLBK(int widget, int callback);
void CALLSL(int widget, int callback);
void CALLMV(int widget, int callback);
void CALLLF(int widget, int callback);
void CALLEX(int widget, int callback);
void CALLKY(int key, int callback);
void gmDefineCallback(int widget, int callback);
void gmDefineSelectCallback(int widget, int callback);
void gmDefineMoveCallback(int widget, int callback);
void gmDefineExposeCallback(int widget, int callback);
void gmDefineKeyCallback(int key, int callback);
void GMDEFINEKEYSELECTCALLBACK(int widget, int callback);
void gmDefineFileDropCallback(int widget, int callback);
void gmDefineDoubleClickCallback(int widget, int callback);
void GMDEFINEESCAPECALLBACK(int a, int b, int c, int d);
// Absent optional integers are 0 and an absent text one blank.
void GMPOSTCALLBACK(int action, int callback, int i1 = 0, int i2 = 0, int i3 = 0, int i4 = 0,
                    std::string_view text = " ");
void GMFLUSHCALLBACKQUEUE();
int GMCHECKCALLBACK(int callback);

// ---- start-up, grid, windows, boxes, file browser ----
void gmInitializeMenu();
void GUIGRD(int nx, int ny);
void gmDefineGuiGrid(int nx, int ny);
// Retired: reports error 55 titled "MENGRD" and does nothing else.
void MENGRD(int a, int b);
void GMMENUOVERLAYGRID(int a, int b);
void GRDENQ(int& a, int& b, int& c, int& d);
void gmEnqGuiGrid(int& a, int& b, int& c, int& d);
void GRDMOD(int mode);
void gmSetGuiGridMode(int mode);
void GRMENQ(int& mode);
void gmEnqGuiGridMode(int& mode);
void MASTER(int x, int y, int& id);
void MASMDI(int x, int y, int& id);
void DIACMP(int parent, int x, int y, int& id);
void DIAMDI(int parent, int x, int y, int& id);
void BUIMOD(int mode);
void DRAMOD(int mode);
void MANAGE();
void gmManage();
// gmDrawWindow(window) is in include/toolkit_services.h; this form takes the hold flag.
void gmDrawWindowHold(int window, int hold);
void gmDrawWidget(int widget);
void gmDrawWidgetHold(int widget, int hold);
void gmPushWindow(int window);
void gmPopWindow(int window);
void gmEraseWidget(int widget);
void GMFIXWINDOW(int window, int a, int b);
void gmSetGuiStyle(int style);
void ACTWIN(int window);
void ACTWID(int widget);
void GUIMSG(std::string_view title, std::string_view text, int icon, int buttons, int& answer);
// The help window: the body records "gmDisplayHelpWindow" and asks the library; the
// procedure copies the topic into 256 characters (one blank when absent) first.
void GUIHLP(std::string_view help_file, int& result, std::string_view command, std::string_view topic);
int GMDISPLAYHELP(std::string_view help_file, std::string_view command, const std::string_view* topic = nullptr,
                  const int* option = nullptr);
void BROWSE(int mode, int i2, int i3, int i4, char* name, int name_len, std::string_view directory,
            std::string_view filter);
template <int N>
void BROWSE(int mode, int i2, int i3, int i4, rt::FText<N>& name, std::string_view directory,
            std::string_view filter) {
    BROWSE(mode, i2, i3, i4, name.c, N, directory, filter);
}
void BRSTYP(int type);
// title and type/type2 optional (nullptr: absent).
void gmFileBrowser(char* name, int name_len, std::string_view directory, std::string_view filter,
                   const int* type = nullptr, const std::string_view* title = nullptr, const int* type2 = nullptr);
void MENEND();
void gmCloseMenu();
void GUIEND();

// ---- window operations and widget attributes ----
void WTYENQ(int& style);
void WINTYP(int style);
void WINTOP(int window);
void WINBOT(int window);
void WINREM(int window);
void WINFIX(int window, int a, int b);
void WINDRA(int window);
void WINICO(int window, std::string_view icon, int a, int b);
void WIDTTL(int title_type);
void WIDSTR(std::string_view text);
void REMMOD(int mode);
void WIDSTA(int widget, int status);
void WIDREM(int widget);
void WIDPOS(int code, int expansion);
void WIDMIN(int width, int height);
void WIDMAX(int width, int height);
void WIDINF(int widget, char* text, int text_len, int* a1, int& n1, int* a2, int& n2);
void WIDHLP(int widget, int help_kind, std::string_view text);
void WIDDRA(int widget);
void WIDCUR(int frame, int cursor, int third, int a = 0, int b = 0);
void WIDCHA(int widget, std::string_view text, int* a1, int n1, int* a2, int n2);

// ---- inline ----
int IGETNEXTIDENTIFIER();
inline bool gm_no_master() { return IGETNEXTIDENTIFIER() < 2; }
