// The value entries whose numbers the program judges. What the program last showed in such an
// entry is remembered, so that a number it computed itself (a negative intensity start value, a
// refined width) is never refused, while one the user typed is judged by its quantity's range.
#include <cctype>
#include <map>
#include <string_view>
#include <string>

#include "gui_toolkit/menu_f90.h"
#include "include/shared.h"
#include "include/shell_services.h"
#include "include/toolkit_services.h"
#include "shell/parameter_dialogs.h"

namespace {

// The number the program last showed in each judged entry, by widget handle.
std::map<int, double>& shown_numbers() {
    static std::map<int, double> shown;
    return shown;
}

std::string capitalised(std::string text) {
    if (!text.empty()) text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    return text;
}

// The entry shows its number from before again; an entry the program never filled keeps what it
// holds.
double take_back(int widget, double otherwise) {
    const auto it = shown_numbers().find(widget);
    const double before = it == shown_numbers().end() ? otherwise : it->second;
    gmSetValueSetting(widget, before);
    return before;
}

}  // namespace

void SHOW_CHECKED(int widget, double v) {
    gmSetValueSetting(widget, v);
    shown_numbers()[widget] = gmEnqValueSetting(widget);
}

bool TAKE_CHECKED(int widget, const QuantityRange& range, double& v) {
    const double typed = gmEnqValueSetting(widget);
    const auto it = shown_numbers().find(widget);
    if (it != shown_numbers().end() && it->second == typed) {
        v = typed;
        return true;
    }
    // Judged as the 32-bit real the program keeps: 1e-50 is a width of 0.
    const double kept = entry_real(typed);
    if (in_range(range, kept)) {
        shown_numbers()[widget] = typed;
        v = kept;
        return true;
    }
    GUIERR(PROGID.PROG_TITLE.view(),
           capitalised(range_rule(range)) + "; " + shown_number(typed) + " is not taken");
    v = take_back(widget, range.low);
    return false;
}

bool LIMITS_IN_ORDER(int lower_widget, int upper_widget, std::string_view what) {
    const double lower = gmEnqValueSetting(lower_widget);
    const double upper = gmEnqValueSetting(upper_widget);
    if (lower < upper) return true;
    const auto typed = [](int widget, double v) {
        const auto it = shown_numbers().find(widget);
        return it == shown_numbers().end() || it->second != v;
    };
    if (!typed(lower_widget, lower) && !typed(upper_widget, upper)) return true;
    GUIERR(PROGID.PROG_TITLE.view(), "The lower " + std::string(what) + " limit must be below the upper one; " +
                                         shown_number(lower) + " and " + shown_number(upper) + " are not taken");
    take_back(lower_widget, lower);
    take_back(upper_widget, upper);
    return false;
}
