// The frame of every toolkit operation: its name in CURRENT_ROUTINE, the numbered GINOMENU
// errors and their console messages, the error and information boxes, and the small string
// and handle routines.
#include <algorithm>
#include <array>
#include <string>

#include "gui_toolkit/f77gui.h"
#include "gui_toolkit/frames.h"
#include "include/toolkit_services.h"
#include "platform/model.h"
#include "platform/wingui.h"

namespace {

// The descriptions of GINOMENU errors 1 to 69.
constexpr std::array<const char*, GINOMENU_ERROR_COUNT> kErrorDescription = {
    "Master window must be first",
    "Menu database exhausted",
    "Master window not defined",
    "Parent not defined",
    "Invalid parent number",
    "Window too large",
    "Parent cannot support this child",
    "Invalid accelerator key",
    "Duplicate accelerator key",
    "Mapping dimensions are zero or negative",
    "Invalid toggle status value",
    "Only one radio box toggle can be on",
    "Invalid slider range",
    "Slider value out of range",
    "Text string too long",
    "Numerical value length too short",
    "Numerical value size parameter is invalid",
    "Duplicate master definition",
    "Menu colour out of range",
    "Negative positioning disallowed",
    "Widget is not a toggle button",
    "Widget is not a slider",
    "Widget is not a text entry",
    "Widget is not a numerical value entry",
    "Not a window widget",
    "Invalid widget number",
    "Linked entry has different parent",
    "Link database exhausted",
    "Cannot draw/remove child widget",
    "Cannot attach callback to widget",
    "Not a graphics frame",
    "Negative or zero size",
    "Type out of range",
    "Percentage out of range",
    "Parameter out of range",
    "Cannot fix a child widget",
    "Image file not found",
    "Incorrect file format",
    "Not a valid image file",
    "Cannot read compressed file",
    "Image too large",
    "Image library not found",
    "Cannot find icon in image library",
    "Icon database exhausted",
    "Grid size too small",
    "Cannot handle 24 bit images",
    "Cannot set action on widget",
    "Feature no longer supported",
    "Invalid status for menu entry",
    "Invalid status for button",
    "Invalid status for entry widget",
    "Invalid status for container",
    "Cannot set popup menu status",
    "cannot change window status",
    "Routine name is being deprecated",
    "Widget type cannot be linked",
    "Invalid menu bar position",
    "Invalid widget type",
    "Invalid mode",
    "Invalid list action",
    "Routine no longer available",
    "Invalid widget expansion setting",
    "Not a text or value array",
    "Not an icon gauge",
    "Not an MDI window",
    "Not a progress bar",
    "Invalid scroll bar request",
    "Not a table list box",
    "Not a video capture widget",
};

constexpr int kConsoleLimit = 256;  // codes per console title or text

// Converts title and text into the console buffer (at most 256 codes each) and sends them.
void send_console(std::string_view title, std::string_view text, int code) {
    const int nt = std::min<int>(int(title.size()), kConsoleLimit);
    const int nm = std::min<int>(int(text.size()), kConsoleLimit);
    for (int k = 0; k < nt; ++k) GMERRBUF.ITITLECODE(k + 1) = static_cast<unsigned char>(title[std::size_t(k)]);
    for (int k = 0; k < nm; ++k) GMERRBUF.IMSGCODE(k + 1) = static_cast<unsigned char>(text[std::size_t(k)]);
    errormessage_(GMERRBUF.ITITLECODE.data(), GMERRBUF.IMSGCODE.data(), &nt, &nm, &code);
}

// Title of a GINOMENU error: CURRENT_ROUTINE without its trailing blanks.
std::string_view routine_title() { return rt::trim_right(CURRENT_ROUTINE.view(), {.nuls = false}); }

// Shows GINOMENU error nn (any number; outside the table a generic text) with code 1600 + nn.
void show_error(long long nn) {
    long long code = 1600 + nn;
    if (code > 2147483647LL) code = 2147483647LL;
    GMERROR(routine_title(), GINOMENU_ERROR_TEXT(nn > 2147483647LL ? 2147483647 : int(nn)), int(code));
}

constexpr std::string_view kBlank6 = "      ";

}  // namespace

std::string GINOMENU_ERROR_TEXT(int nn) {
    const char* description = (nn >= 1 && nn <= GINOMENU_ERROR_COUNT) ? kErrorDescription[std::size_t(nn - 1)]
                                                                      : "Unknown error";
    return "GINOMENU error " + std::to_string(nn) + " - " + description;
}

void reset_toolkit() {
    CURRENT_ROUTINE = kBlank6;
    POSITION_MODE.fill(0);
    GMERRBUF = GMERRBUF_t{};
    ACTION_STATE = ACTION_STATE_t{};
    wl::reset_model();
    reset_frame_layer();
}

void GINOTS(int, std::string_view name) { CURRENT_ROUTINE = name; }

void GMTS0(std::string_view name) { GINOTS(2, name); }

void TRULEN(std::string_view text, int& n) { n = int(rt::trim_right(text, {.nuls = false}).size()); }

int STRLEN(std::string_view text) {
    const std::string_view t = rt::trim_right(text, {.nuls = false});
    if (t.empty()) return 0;
    return GETSTRINGWIDTH(t, int(t.size()));
}

void GET_HANDLE(int widget, int& handle) { GETHANDLE(widget, handle); }

int GMGETWIDGETHANDLE(int widget) {
    int handle = 0;
    GET_HANDLE(widget, handle);
    return handle;
}

void GINOER(int code) {
    const long long v = code < 0 ? -static_cast<long long>(code) : code;
    show_error(v - 1600);
}

void GMERR(int n, int) {
    if (n > 0)
        show_error(n);
    else
        GMABORT();
}

void GMERROR(std::string_view title, std::string_view text, int code) {
    send_console(rt::trim_right(title, {.nuls = false}), rt::trim_right(text, {.nuls = false}), code);
}

void GMABORT() {
    GMERRBUF.ABORTMSG = "ACTION called without a master window defined";
    send_console("Program Abort", rt::trim_right(GMERRBUF.ABORTMSG.view(), {.nuls = false}), 0);
}

namespace {

// The error and information boxes: a title starting with '*' goes to the console instead.
void message_box(std::string_view name, std::string_view title, std::string_view text, int kind, int code) {
    GINOTS(2, name);
    if (!title.empty() && title[0] == '*')
        send_console(rt::trim_right(title.substr(1), {.nuls = false}), rt::trim_right(text, {.nuls = false}), code);
    else
        ERRORBOX(title, text, kind);
    GINOTS(2, kBlank6);
}

}  // namespace

void GUIERR(std::string_view title, std::string_view message) {
    message_box("gmDisplayErrorBox", title, message, 0, 0);
}

void gmDisplayErrorBox(std::string_view title, std::string_view message) { GUIERR(title, message); }

void GUIINF(std::string_view title, std::string_view text) { message_box("gmDisplayInfoBox", title, text, 1, -1); }

void gmDisplayInfoBox(std::string_view title, std::string_view text) { GUIINF(title, text); }
