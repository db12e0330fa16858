#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editing/dialog_numbers.h"

namespace rivo {
namespace {

ChannelDialogValues ChannelBoxes(const std::vector<std::string>& boxes) {
    ChannelDialogValues values;
    for (size_t b = 0; b < boxes.size(); ++b) values.boxes[b] = boxes[b];
    return values;
}

// Each number box at and past its field's limits; the name box is never a number.
TEST(DialogNumbers, ChannelBoxesOutsideTheirFieldAreNamed) {
    struct Case {
        const char* what;
        std::vector<std::string> boxes;  // name, transponder, SID, VPID, APID, VECM, AECM, PCR
        bool emptyKeeps;
        std::vector<BadNumberBox> bad;
    };
    const std::vector<Case> cases = {
        {"every box at its top",
         {"abc", "255", "65535", "65535", "65535", "65535", "65535", "65535"},
         false,
         {}},
        {"every box at zero", {"", "0", "0", "0", "0", "0", "0", "0"}, false, {}},
        {"one past the top",
         {"x", "256", "65536", "1", "1", "1", "1", "1"},
         false,
         {{"Transponder", "256", 0, 255}, {"SID", "65536", 0, 65535}}},
        {"the slips of a real session",
         {"x", "99999999999", "-5", "1", "abc", "1", "1", "1"},
         false,
         {{"Transponder", "99999999999", 0, 255},
          {"SID", "-5", 0, 65535},
          {"APID", "abc", 0, 65535}}},
        {"in the order shown: SID, APID, AECM, PCR, VPID, VECM",
         {"x", "1", "1", "v", "1", "e", "a", "p"},
         false,
         {{"AECM", "a", 0, 65535},
          {"PCR", "p", 0, 65535},
          {"VPID", "v", 0, 65535},
          {"VECM", "e", 0, 65535}}},
        {"an empty box of one row",
         {"x", "", "1", "1", "1", "1", "1", ""},
         false,
         {{"Transponder", "", 0, 255}, {"PCR", "", 0, 65535}}},
        {"an empty box of a selection keeps each row's",
         {"", "", "", "", "", "", "", ""},
         true,
         {}},
        {"a selection's typed box still counts",
         {"", "", "1,5", "", "", "", "", ""},
         true,
         {{"SID", "1,5", 0, 65535}}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(BadChannelNumbers(ChannelBoxes(c.boxes), c.emptyKeeps), c.bad) << c.what;
    }
}

TEST(DialogNumbers, TransponderBoxesOutsideTheirFieldAreNamed) {
    struct Case {
        std::string frequency, tid, nid, channels;
        std::vector<BadNumberBox> bad;
    };
    const std::vector<Case> cases = {
        {"11747,5", "65535", "0", "255", {}},
        {"0", "0", "65535", "0", {}},
        {"11747,1234567",
         "65536",
         "-1",
         "256",
         {{"Frequenza", "11747,1234567", 0, -1},
          {"Transponder ID", "65536", 0, 65535},
          {"Network ID", "-1", 0, 65535},
          {"Canali", "256", 0, 255}}},
        {"abc", "1", "1", "", {{"Frequenza", "abc", 0, -1}, {"Canali", "", 0, 255}}},
    };
    for (const Case& c : cases) {
        TransponderDialogValues values;
        values.frequency = c.frequency;
        values.tid = c.tid;
        values.nid = c.nid;
        values.channels = c.channels;
        EXPECT_EQ(BadTransponderNumbers(values), c.bad) << c.frequency;
    }
}

TEST(DialogNumbers, TheQuestionNamesEachBox) {
    EXPECT_EQ(BadNumbersQuestion({{"SID", "-5", 0, 65535}}),
              "Questo campo non contiene un valore che la lista possa memorizzare:\n"
              "- SID: \"-5\" non è un numero intero da 0 a 65535\n\nConfermare comunque?");
    EXPECT_EQ(BadNumbersQuestion({{"Frequenza", "abc", 0, -1}, {"Canali", "300", 0, 255}}),
              "Questi campi non contengono un valore che la lista possa memorizzare:\n"
              "- Frequenza: \"abc\" non è una frequenza in MHz\n"
              "- Canali: \"300\" non è un numero intero da 0 a 255\n\nConfermare comunque?");
}

}  // namespace
}  // namespace rivo
