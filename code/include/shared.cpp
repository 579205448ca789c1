#include "include/shared.h"

#include <type_traits>

void reset_shared_records() {
    for_each_shared_record([](std::string_view, auto& record) {
        record = std::remove_reference_t<decltype(record)>{};
    });
}
