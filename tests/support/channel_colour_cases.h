// The channel colour rule as one table of cases, for every place that applies it: the
// record codec, UpdateChannelRow and the channel dialog. The rules apply in order:
// default, radio (VPid 65535), neither audio nor video (both 65535), inactive (status
// bit 2 clear) over all of them; a PID text that is not a number is no 65535. The
// channel dialog recolours after Ok by the PID texts ("065535" is not "65535"), hence
// the second colour.
#pragma once

#include <cstdint>
#include <vector>

#include "channels/list_page.h"

namespace rivo::testsupport {

struct ChannelColourCase {
    const char* vpid;
    const char* apid;
    const char* status;  // hexadecimal
    std::uint32_t colour;
    std::uint32_t byTextColour = 0;  // when PIDs are compared as texts; 0: the same
    std::uint32_t colourByText() const { return byTextColour != 0 ? byTextColour : colour; }
};

inline const std::vector<ChannelColourCase>& ChannelColourCases() {
    static const std::vector<ChannelColourCase> cases = {
        {"512", "650", "04", kColourChannel},          {"65535", "650", "04", kColourRadio},
        {"65535", "65535", "04", kColourNoAudioVideo}, {"512", "65535", "04", kColourChannel},
        {"512", "650", "00", kColourGrey},             {"65535", "650", "FB", kColourGrey},
        {"65535", "65535", "00", kColourGrey},         {"65535", "65535", "03", kColourGrey},
        {"512", "650", "C4", kColourChannel},          {"abc", "650", "0C", kColourChannel},
        {"065535", "1", "E4", kColourRadio, kColourChannel},           {"65536", "65535", "04", kColourChannel},
    };
    return cases;
}

}  // namespace rivo::testsupport
