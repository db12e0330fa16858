// Which channel rows a filter lets through: the filter bar over the channel table and
// `rivo800-tool dump --where` use the same rules, so both show the same rows.
//
// A filter never changes the page and never renumbers anything: it only says which
// rows are shown. Every condition that is set must hold ("and").
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "channels/list_page.h"

namespace rivo {

// The state choice. TV, radio and data follow the channel colour rule: VPid 65535
// with another APid is radio, both 65535 is data, anything else TV.
enum class ChannelState { All, Active, Inactive, Locked, Coded, Clear, Tv, Radio, Data };
inline constexpr int kChannelStateCount = 9;

inline constexpr int kAnySatellite = 0, kSatelliteA = 1, kSatelliteB = 2;
inline constexpr int kAnyList = -1, kNoList = 0;  // or 1 .. 8: in that favourites list
inline constexpr int kAnyTransponder = 0;         // or a transponder row 1 .. T

struct ChannelFilter {
    // UTF-8 as typed. Matches a name whose collation key holds the text's key (accents
    // and case ignored); a text of digits also matches the channel with exactly that
    // SID and the channels of transponders on that frequency in whole MHz.
    std::string text;
    // The tool's separate conditions: a name-only text, an exact SID, a frequency.
    std::string name;
    std::optional<std::int64_t> sid;
    std::optional<std::int64_t> mhz;
    int satellite = kAnySatellite;
    ChannelState state = ChannelState::All;
    int list = kAnyList;
    int transponder = kAnyTransponder;
    // Conditions that must hold as well, each a filter of its own: the tool's expression
    // may name a field more than once ("state=coded,state=active"), and every condition
    // counts.
    std::vector<ChannelFilter> alsoRequired;

    // No condition set: every row passes.
    bool empty() const;
    bool operator==(const ChannelFilter&) const = default;
};

// The collation keys of every channel name (index = row; row 0 unused): the filter bar
// keeps them while the page does not change, so typing costs no key building.
std::vector<std::string> ChannelNameKeys(const ListPage& page);

// Decides rows one at a time against a filter; built once per filter, reused for every
// row. keys (optional) are ChannelNameKeys of the page as it stands.
class ChannelMatcher {
public:
    ChannelMatcher(const ListPage& page, ChannelFilter filter,
                   const std::vector<std::string>* keys = nullptr);
    // Its conditions point into its own copy of the filter.
    ChannelMatcher(const ChannelMatcher&) = delete;
    ChannelMatcher& operator=(const ChannelMatcher&) = delete;
    bool matches(int row) const;

private:
    // A filter with its texts made ready: the filter itself, then each of its
    // alsoRequired (and theirs), all sharing the page's tables below.
    struct Condition {
        const ChannelFilter* filter;
        std::string textKey;
        std::string nameKey;
        std::optional<std::int64_t> number;  // the text as a whole number, if it is one
    };
    void addConditions(const ChannelFilter& filter);
    bool holds(const Condition& condition, int row) const;

    const ListPage& page_;
    ChannelFilter filter_;
    const std::vector<std::string>* keys_;
    std::vector<Condition> conditions_;
    // Per transponder row: satellite B (true) or A, and its whole MHz.
    std::vector<int> transponderSatellite_;
    std::vector<std::int64_t> transponderMhz_;
};

// The rows 1 .. N that pass, in order.
std::vector<int> FilterRows(const ListPage& page, const ChannelFilter& filter,
                            const std::vector<std::string>* keys = nullptr);

// The state choice's Italian names, marked for the catalogue (index = ChannelState).
const char* ChannelStateName(ChannelState state);

// The tool's filter language: conditions joined by "," for "and", every one of them
// holding (a field named twice asks for both values, so "sat=A,sat=B" lets no row
// through): "sat=A", "sat=B",
// "state=WORD" (active, inactive, locked, coded, clear, tv, radio, data), "list=K"
// (1..8), "none" (in no list), "name~TEXT", "sid=N", "freq=MHz", "tp=N". Returns the
// filter, or std::nullopt with error set to a message naming the bad condition.
std::optional<ChannelFilter> ParseFilterExpression(const std::string& expression,
                                                   std::string& error);

}  // namespace rivo
