// What the channel number dialog accepts, as one table for the rule and for the dialog:
// a whole number from 1 to limit - 1, nothing else.
#pragma once

#include <string>
#include <vector>

namespace rivo::testsupport {

struct ChannelNumberCase {
    const char* name;
    std::string text;
    int limit;
    bool accepted;
};

inline const std::vector<ChannelNumberCase>& ChannelNumberCases() {
    static const std::vector<ChannelNumberCase> cases = {
        {"first", "1", 11, true},        {"limit - 1", "10", 11, true},         {"limit", "11", 11, false},
        {"zero", "0", 11, false},        {"empty", "", 11, false},              {"letters", "abc", 11, false},
        {"negative", "-3", 11, false},   {"trailing letter", "5x", 11, false},  {"no channels", "1", 1, false},
        {"beyond 32 bits", "99999999999", 11, false},                            {"leading zeros", "007", 11, true},
    };
    return cases;
}

}  // namespace rivo::testsupport
