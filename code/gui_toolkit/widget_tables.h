// The widget kinds each plain routine of the widget kinds accepts, as tables that the routines
// check against and the tests walk. Kind codes as IGETWIDGETTYPE reports them (platform/model.h,
// platform/widget_extra.h).
#pragma once
#include <array>
#include <span>

#include "platform/model.h"
#include "platform/widget_extra.h"

namespace wk {

// Parents that can hold a widget of each kind (a parent of another kind: error 7).
inline constexpr std::array kMenuBarWindows{0, 2};
inline constexpr std::array kPopupParents{0, 1, 2, 5, 10, 15, 103};
inline constexpr std::array kMenuEntryParents{1, 3, 4, 18, 19, 22, 34};
inline constexpr std::array kSystemMenuWindows{0, 2};
inline constexpr std::array kListBoxParents{0, 2, 15, 23, 48};
inline constexpr std::array kComboParents{0, 2, 15, 23, 29, 45};
inline constexpr std::array kIconParents{0, 2, 15, 29};
inline constexpr std::array kButtonParents{0, 2, 15, 23};
inline constexpr std::array kValueEntryParents{0, 2, 6, 15, 40, 45};
inline constexpr std::array kArrayParents{0, 2, 15};
inline constexpr std::array kTextEntryParents{0, 2, 6, 10, 15, 17, 40, 48};
inline constexpr std::array kToggleParents{0, 2, 13, 15, 23};
inline constexpr std::array kRadioParents{0, 2, 15};
inline constexpr std::array kSliderParents{0, 2, 15};
inline constexpr std::array kTabBoxParents{0, 2, 15, 48};
inline constexpr std::array kStatusBarWindows{0, 2};
inline constexpr std::array kToolBarWindows{0, 2};
inline constexpr std::array kTreeBoxParents{0, 2, 15, 48};
inline constexpr std::array kTreeEntryParents{27, 28};
inline constexpr std::array kGaugeParents{0, 2, 15};
inline constexpr std::array kIconButtonParents{0, 2, 15};

// Widgets each operation acts on (another kind: the operation's own error).
inline constexpr std::array kLinkable{10, 11};                        // error 56
inline constexpr std::array kTextSettable{10, 17, 18, 41};            // error 23
inline constexpr std::array kTextLimitable{10, 11, 17};               // error 23
inline constexpr std::array kSelectable{10, 17};                      // error 23
inline constexpr std::array kEditors{17};                             // error 23
inline constexpr std::array kScrollModeKinds{10, 15, 17, 23};         // error 67
inline constexpr std::array kTextFileKinds{17, 18, 19, 35, 41};       // saving and printing
inline constexpr std::array kTextLoadKinds{17, 18, 19, 35};           // loading
inline constexpr std::array kPanelImageKinds{15, 45};                 // error 7

// Callback definitions of the added kinds (error 30 for a kind outside the set).
inline constexpr std::array kLinkCallbackKinds{17};
inline constexpr std::array kChangeCallbackKinds{10, 17, 18, 19, 23, 28, 45, 47};
// Drag-move: push buttons, icons and toolbar buttons.
inline constexpr std::array kDragMoveKinds{7, 14, 30};
static_assert(wl::KIND_BUTTON == 7 && wl::KIND_ICON == 14 && wl::KIND_TOOLBUTTON == 30);
// Drag-drop and drag-select: every kind but the menu bar, pulldown menus, menu entries and
// separators (3, 4, 5, 12).
inline constexpr std::array kDragRefusedKinds{3, 4, 5, 12};

inline bool in(int kind, std::span<const int> kinds) {
    for (int k : kinds)
        if (k == kind) return true;
    return false;
}

}  // namespace wk
