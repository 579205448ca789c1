// The rules the widget module's creation procedures share, as data and small functions: the
// callback kinds with their definers and automatic-number offsets, the justification code, and
// the recodings of modes, types and options.
#pragma once
#include <array>
#include <initializer_list>
#include <optional>
#include <span>
#include <string_view>

using OptInt = std::optional<int>;

namespace mf {

// The plain layer's escape request (GUIESC) with a blank scratch text: returns the first result,
// the second through o2. An operation of 0 or less does nothing and returns 0.
int esc(int op, int p1 = 0, int p2 = 0, int p3 = 0, int p4 = 0, int p5 = 0, int p6 = 0, int* o2 = nullptr);
// The same with the caller's text, sent whole (never cut); an empty text goes as one blank.
int esc_text(int op, std::string_view text, int p1 = 0, int p2 = 0, int p3 = 0, int p4 = 0, int p5 = 0, int p6 = 0,
             int* o2 = nullptr);

// The twelve kinds of callback a creation can define.
enum class CbKind { Callback, Select, Move, Expose, Change, DragDrop, DoubleClick, FileDrop, DragSelect, DragMove,
                    ValueError, Link };

struct CallbackRule {
    CbKind kind;
    int offset;                // added to the widget id for the automatic number
    void (*define)(int widget, int callback);
    std::string_view definer;  // the plain routine
};
extern const std::array<CallbackRule, 12> kCallbackRules;

// The number defined for a given callback argument of the widget id: the argument itself, or
// for 50000 the id plus the kind's offset.
int callback_number(CbKind kind, int given, int id);
// Defines the callback of kind when given (nothing when absent).
void define_callback(CbKind kind, OptInt given, int id);
// Defines the given callbacks of the widget id in the order listed.
struct CallbackArg {
    CbKind kind;
    OptInt given;
};
void define_callbacks(int id, std::initializer_list<CallbackArg> callbacks);

// A recoding: a value sent (or read) as another; values not in the table pass unchanged (or
// take the table's default).
struct Recoding {
    int from, to;
};
inline int recode(std::span<const Recoding> table, int v) {
    for (const auto& r : table)
        if (r.from == v) return r.to;
    return v;
}
inline int recode(std::span<const Recoding> table, int v, int otherwise) {
    for (const auto& r : table)
        if (r.from == v) return r.to;
    return otherwise;
}

inline constexpr Recoding kEntryModes[] = {{1, 1}, {19, 1}};          // creation modes of entries
inline constexpr Recoding kDrawModes[] = {{1, 4}, {8, 1}, {4, 2}, {32, 3}};  // window procedures
inline constexpr Recoding kScrollModes[] = {{32763, 1}, {32764, 2}};  // text entries
inline constexpr Recoding kRadioTypes[] = {{32763, 0}, {32764, 1}};
inline constexpr Recoding kIconTypes[] = {{7, 0}};
inline constexpr Recoding kFrameTypes[] = {{0, 0}, {40, 1}};
inline constexpr Recoding kHelpModes[] = {{31, 2}};
inline constexpr Recoding kRogueCodes[] = {{32758, 1}, {32757, 2}, {32755, 3}, {32753, 4}, {32752, 5}};
// Dock codes sent (any other code 0; the code 0 itself hides the widget) and read back (any
// other code 1; a hidden widget reads 0).
inline constexpr Recoding kDockSent[] = {{2, 2}, {3, 3}, {4, 4}, {-1, 1}};
inline constexpr Recoding kDockRead[] = {{1, -1}, {2, 2}, {3, 3}, {4, 4}};

// Defaults of absent arguments.
inline constexpr int kDefaultHelpMode = 3;
inline constexpr int kDefaultScrollMode = 1;
inline constexpr int kDefaultDrawMode = 0;

// x justification + 3 x y justification + 4, each -1 when absent (so 0 when both are absent);
// not range-checked, computed without overflow (saturating).
int justification_code(OptInt xjust, OptInt yjust);
// Entry mode: 0 stays 0 (editable), 1 and 19 become 1 (display only), others unchanged.
int entry_mode(int mode);
// Justification option of value and text entries: 1 makes the width negative, 0 positive,
// anything else (or absent) leaves it.
int justified_width(int width, OptInt option);
// Help mode: absent 3, 31 becomes 2.
int help_mode(OptInt mode);
// Draw mode of the window procedures: 1 -> 4, 8 -> 1, 4 -> 2, 32 -> 3, absent 0, others unchanged.
int draw_mode(OptInt mode);
// Scroll mode of text entries: absent 1, 32763 -> 1, 32764 -> 2, others unchanged.
int scroll_mode(OptInt mode);
// Radio type: 32763 -> 0, 32764 -> 1, others unchanged.
int radio_type(int type);
// Icon type: 7 -> 0, others unchanged.
int icon_type(int type);
// Frame type: absent or 0 -> 0, 40 -> 1, others unchanged.
int frame_type(OptInt type);
// The first given of a paired alternative, else the default.
inline int first_of(OptInt a, OptInt b, int dflt) { return a ? *a : (b ? *b : dflt); }
// Negation without overflow.
inline int negated(int v) { return v == -2147483647 - 1 ? 2147483647 : -v; }

// Steps that creation procedures take after the widget exists, each only when its option is given:
// an integer property with a text (a blank by default), the help text, the state.
void prop(int id, int code, OptInt value, std::string_view text = " ");
void help(int id, std::optional<std::string_view> text, OptInt mode);
void status(int id, OptInt s);
// Help, then the integer properties 98 (first and second) and 126 that most widgets take.
template <class Options>
void help_and_props(int id, const Options& o, std::string_view text = " ") {
    help(id, o.help, o.help_mode);
    prop(id, 98, o.prop98, text);
    prop(id, 98, o.prop98_second, text);
    prop(id, 126, o.prop126, text);
}

}  // namespace mf
