// The toolkit entries that the scientific routines call: boxes, the wait for the next user
// action, the timer, widget states and values, and the drawing primitives. Implemented in
// code/gui_toolkit; declared here so that lower layers call them by name.
#pragma once
#include <string_view>

#include "runtime/ftext.h"

// Modal error box (a title starting with '*' sends the text to the toolkit's console instead).
void GUIERR(std::string_view title, std::string_view message);
void gmDisplayErrorBox(std::string_view title, std::string_view message);
// Modal message box; returns the code of the button pressed (notice: icon 3, buttons 0;
// question: icon 2, buttons 4 -> 6 Yes, 1 Cancel, other No).
int gmDisplayMessageBox(std::string_view title, std::string_view message, int icon, int buttons);
// Added to a question's button code: the second (third) button is the one Enter presses; the
// first one otherwise.
constexpr int MB_DEFAULT_SECOND = 0x100;
constexpr int MB_DEFAULT_THIRD = 0x200;

// Waits for the next user action or timer tick and returns its callback number (-1: exit request).
int gmAction(int& callback);
// Discards every user action and tick queued so far, those the window has still to hand over
// included: what the user did before the window showed the latest change is not acted on.
void GMFLUSHCALLBACKQUEUE();
// From now on gmAction returns callback at every tick of a repeating timer; callback 0 stops it.
void gmDefineTimerCallback(int interval, int callback);

constexpr int STATUS_ACTIVE = 1;
constexpr int STATUS_GREYED = 0;
constexpr int STATUS_HIDDEN = -1;
void gmSetWidgetStatus(int widget, int status);
int gmEnqToggleSwitch(int widget);
double gmEnqValueSetting(int widget);
// Copies the text of a text entry into text (len characters, blank-padded).
void gmEnqTextSetting(int widget, char* text, int len);
template <int N>
void gmEnqTextSetting(int widget, rt::FText<N>& text) { gmEnqTextSetting(widget, text.c, N); }
void gmSetValueSetting(int widget, float value);
// Shows text in a text entry (a display-only field: an esd as the program rounds it).
void gmSetTextSetting(int widget, std::string_view text);
void gmDrawWindow(int window);
void gmRemoveWindow(int window);
void gmSetActiveWindow(int window);

// Drawing primitives on the active graphics frame, in its world coordinates (y upward).
void MOVTO2(float x, float y);
void LINTO2(float x, float y);
void LINCOL(int colour);
void CHASIZ(float width, float height);
void CHASTR(std::string_view text);
void RFILL(int fill_style, int line_style, float x1, float y1, float x2, float y2);
void FLUSHG();
// World width of one pixel column of the active drawing surface; 0 while no surface has a scale.
float gEnqPixelWorldWidth();
