// What the widget library does with each entry the toolkit layer calls, where it does less than
// its name says. The escape operations carry theirs in the escape table (wingui.h,
// escape_operations); code/platform/COVERAGE.md is made from both and kept true by a test.
#pragma once
#include <span>

#include "platform/wingui.h"

namespace wl {

struct EntryCoverage {
    const char* entry;
    Coverage coverage;
    const char* what;
};

// The entries that are not done (kept but not shown, or refused), by name; every other entry the
// toolkit layer calls is done.
std::span<const EntryCoverage> entries_not_done();

}  // namespace wl
