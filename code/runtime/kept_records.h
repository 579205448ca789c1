// Copies of shared records taken when made, put back by restore(): an operation that fails part
// way (a damaged file, a cancelled choice) leaves the records it had begun to change as they were.
#pragma once

#include <tuple>

namespace rt {

template <class... R>
class KeptRecords {
public:
    explicit KeptRecords(R&... records) : places_(records...), values_(records...) {}
    void restore() const {
        std::apply([&](R&... place) { std::apply([&](const R&... value) { ((place = value), ...); }, values_); },
                   places_);
    }

private:
    std::tuple<R&...> places_;
    std::tuple<R...> values_;
};

}  // namespace rt
