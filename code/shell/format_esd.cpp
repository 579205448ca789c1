// Crystallographic value(esd) notation of the CIF's cell items, by the program's one esd rule.
#include "shell/format_esd.h"

#include <cmath>
#include <string>

#include "runtime/format.h"

void FORMAT_VALUE(float& value, float esd, rt::FText<20>& OUTSTRING) {
    OUTSTRING.blank();
    const RoundedEsd r = ROUND_ESD(esd);
    if (r.kind == RoundedEsd::Fixed && std::isfinite(value)) {
        // A held value: four decimals, no esd.
        ROUND_VALUE(value, 4);
        std::string text = rt::fmt_write("(F8.4)", value);
        if (text.find('*') != std::string::npos) {
            // Too wide for F8.4 (a cell volume of 1000 cubic angstroms or more): the same four
            // decimals in a field as wide as the value needs, never a field of asterisks.
            int k = 1;
            GET_PLACES(value, k);
            text = rt::fmt_write("(F" + std::to_string(k + 5) + ".4)", value);
            if (text.size() > 20) text.assign(20, '*');
            OUTSTRING = text;
        } else {
            OUTSTRING = text + "    ";
        }
        return;
    }
    std::string text;
    float rounded = value;
    if (!VALUE_ESD_TEXT(rounded, esd, text)) {
        // No esd that can be stated, or no value: the CIF's unknown, never a value that reads as
        // exactly known.
        OUTSTRING = "?";
        return;
    }
    // A text that cannot stand in the 20 columns is shown as a field of asterisks.
    if (text.size() > 20) text.assign(20, '*');
    OUTSTRING = text;
    value = rounded;
}
