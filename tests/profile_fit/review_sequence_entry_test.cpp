// The sequence number typed in the main window is taken as a 32-bit real and then truncated
// toward zero: a number that rounds up to the next integer in single precision finds that one.
#include <string>

#include "manual_loaded_set.h"

namespace {

class SequenceEntry : public kvtest::LoadedSet {};

TEST_F(SequenceEntry, TheTypedNumberIsASinglePrecisionRealTruncated) {
    struct Case {
        const char* typed;
        int iseq;
    };
    const Case cases[] = {{"12.9", 12}, {"7.99999999", 8}, {"4.0000001", 4}};
    load();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        script({"set 1 7 " + std::string(c.typed), "press 108", "press 101"});
        START_MANUAL_FIT();
        EXPECT_EQ(REFLN.ISEQ, c.iseq);
    }
}

}  // namespace
