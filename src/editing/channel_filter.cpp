// The channel filter: which rows a filter lets through, the name keys kept between
// keystrokes, and the words of `dump --where` read into a filter.
#include "editing/channel_filter.h"

#include <algorithm>
#include <utility>

#include "channels/cp1252.h"
#include "editing/channel_rows.h"
#include "editing/collation.h"
#include "text/translate.h"

namespace rivo {

namespace {

constexpr std::int64_t kNoPid = 65535;
constexpr std::int64_t kBitLocked = 1, kBitActive = 4;
constexpr int kEncodingShift = 5;

// A text of digits only (no sign, at most 12): a SID or a frequency typed as such.
std::optional<std::int64_t> WholeNumber(const std::string& text) {
    if (text.empty() || text.size() > 12) return std::nullopt;
    std::int64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

// "11747" and "11747,5" are both 11747 whole MHz; anything else is no frequency.
std::int64_t WholeMhz(const std::string& text) {
    const std::string whole = text.substr(0, text.find(','));
    const auto value = WholeNumber(whole);
    return value ? *value : -1;
}

// A text typed in UTF-8 as its collation key; a text Windows-1252 cannot hold matches
// no name, so its key is one no name has.
std::optional<std::string> TypedKey(const std::string& typed) {
    const auto bytes = Utf8ToCp1252(typed);
    if (!bytes) return std::nullopt;
    return CollationKey(*bytes);
}

bool StateMatches(ChannelState state, const ListPage& page, int row) {
    if (state == ChannelState::All) return true;
    const Grid& grid = page.channelGrid;
    const std::int64_t status = ReadCellHex(grid.cell(row, ch::Status), 0);
    const bool noVideo = ReadCellNumber(grid.cell(row, ch::VPid), 0) == kNoPid;
    const bool noAudio = ReadCellNumber(grid.cell(row, ch::APid), 0) == kNoPid;
    switch (state) {
        case ChannelState::All:
            return true;
        case ChannelState::Active:
            return (status & kBitActive) != 0;
        case ChannelState::Inactive:
            return (status & kBitActive) == 0;
        case ChannelState::Locked:
            return (status & kBitLocked) != 0;
        case ChannelState::Coded:
            return ((status >> kEncodingShift) & 7) != 0;
        case ChannelState::Clear:
            return ((status >> kEncodingShift) & 7) == 0;
        case ChannelState::Tv:
            return !noVideo;
        case ChannelState::Radio:
            return noVideo && !noAudio;
        case ChannelState::Data:
            return noVideo && noAudio;
    }
    return true;
}

}  // namespace

bool ChannelFilter::empty() const {
    return text.empty() && name.empty() && !sid && !mhz && satellite == kAnySatellite &&
           state == ChannelState::All && list == kAnyList && transponder == kAnyTransponder &&
           std::all_of(alsoRequired.begin(), alsoRequired.end(),
                       [](const ChannelFilter& f) { return f.empty(); });
}

std::vector<std::string> ChannelNameKeys(const ListPage& page) {
    std::vector<std::string> keys(static_cast<size_t>(page.channelCount()) + 1);
    for (int r = 1; r <= page.channelCount(); ++r)
        keys[static_cast<size_t>(r)] = CollationKey(page.channelGrid.cell(r, ch::Name));
    return keys;
}

ChannelMatcher::ChannelMatcher(const ListPage& page, ChannelFilter filter,
                               const std::vector<std::string>* keys)
    : page_(page), filter_(std::move(filter)), keys_(keys) {
    if (keys_ && keys_->size() != static_cast<size_t>(page.channelCount()) + 1) keys_ = nullptr;
    addConditions(filter_);
    const int transponders = page.transponderCount();
    transponderSatellite_.assign(static_cast<size_t>(transponders) + 1, kAnySatellite);
    transponderMhz_.assign(static_cast<size_t>(transponders) + 1, -1);
    for (int t = 1; t <= transponders; ++t) {
        // As saving reads it: the satellite B name is B, anything else A.
        transponderSatellite_[static_cast<size_t>(t)] =
            page.transponderGrid.cell(t, tp::Satellite) == page.satelliteB ? kSatelliteB
                                                                           : kSatelliteA;
        transponderMhz_[static_cast<size_t>(t)] =
            WholeMhz(page.transponderGrid.cell(t, tp::Frequency));
    }
}

void ChannelMatcher::addConditions(const ChannelFilter& filter) {
    // A text that holds a character no name can hold matches no name (a SID or a
    // frequency is digits, so those cannot match it either).
    const auto key = TypedKey(filter.text);
    const auto nameKey = TypedKey(filter.name);
    conditions_.push_back({&filter, key ? *key : std::string(1, '\0'),
                           nameKey ? *nameKey : std::string(1, '\0'), WholeNumber(filter.text)});
    for (const ChannelFilter& further : filter.alsoRequired) addConditions(further);
}

bool ChannelMatcher::matches(int row) const {
    if (row < 1 || row > page_.channelCount()) return false;
    return std::all_of(conditions_.begin(), conditions_.end(),
                       [&](const Condition& condition) { return holds(condition, row); });
}

bool ChannelMatcher::holds(const Condition& condition, int row) const {
    const ChannelFilter& filter = *condition.filter;
    const Grid& grid = page_.channelGrid;
    const std::int64_t t = ReadCellNumber(grid.cell(row, ch::Transponder), -1);
    const bool hasTransponder = t >= 1 && t < static_cast<std::int64_t>(transponderMhz_.size());
    const auto ti = static_cast<size_t>(hasTransponder ? t : 0);

    if (filter.transponder != kAnyTransponder && t != filter.transponder) return false;
    if (filter.satellite != kAnySatellite &&
        (!hasTransponder || transponderSatellite_[ti] != filter.satellite))
        return false;
    if (filter.list != kAnyList) {
        const std::int64_t lists = ReadCellNumber(grid.cell(row, ch::Favourites), 0);
        if (filter.list == kNoList ? lists != 0
                                   : (lists & (std::int64_t{1} << (filter.list - 1))) == 0)
            return false;
    }
    if (!StateMatches(filter.state, page_, row)) return false;
    if (filter.sid && ReadCellNumber(grid.cell(row, ch::Sid), -1) != *filter.sid) return false;
    if (filter.mhz && (!hasTransponder || transponderMhz_[ti] != *filter.mhz)) return false;

    const auto nameHolds = [&](const std::string& key) {
        if (keys_) return (*keys_)[static_cast<size_t>(row)].find(key) != std::string::npos;
        return CollationKey(grid.cell(row, ch::Name)).find(key) != std::string::npos;
    };
    if (!filter.name.empty() && !nameHolds(condition.nameKey)) return false;
    if (!filter.text.empty()) {
        if (nameHolds(condition.textKey)) return true;
        if (!condition.number) return false;
        if (ReadCellNumber(grid.cell(row, ch::Sid), -1) == *condition.number) return true;
        return hasTransponder && transponderMhz_[ti] == *condition.number;
    }
    return true;
}

std::vector<int> FilterRows(const ListPage& page, const ChannelFilter& filter,
                            const std::vector<std::string>* keys) {
    std::vector<int> rows;
    const int count = page.channelCount();
    if (filter.empty()) {
        rows.reserve(static_cast<size_t>(count));
        for (int r = 1; r <= count; ++r) rows.push_back(r);
        return rows;
    }
    const ChannelMatcher matcher(page, filter, keys);
    for (int r = 1; r <= count; ++r)
        if (matcher.matches(r)) rows.push_back(r);
    return rows;
}

const char* ChannelStateName(ChannelState state) {
    static constexpr const char* names[kChannelStateCount] = {
        TrNoop("Tutti"),    TrNoop("Attivi"),     TrNoop("Non attivi"),
        TrNoop("Bloccati"), TrNoop("Codificati"), TrNoop("In chiaro"),
        TrNoop("TV"),       TrNoop("Radio"),      TrNoop("Dati"),
    };
    return names[static_cast<int>(state)];
}

namespace {

// Adds a filter of one condition to filter: into filter's own field while that is
// free, otherwise as a further filter, so that a field named twice keeps both values.
void AddCondition(ChannelFilter& filter, ChannelFilter condition) {
    bool placed = false;
    const auto place = [&](auto& field, auto& value, bool fieldFree, bool conditionSets) {
        if (!conditionSets || !fieldFree) return;
        field = std::move(value);
        placed = true;
    };
    place(filter.name, condition.name, filter.name.empty(), !condition.name.empty());
    place(filter.sid, condition.sid, !filter.sid, condition.sid.has_value());
    place(filter.mhz, condition.mhz, !filter.mhz, condition.mhz.has_value());
    place(filter.satellite, condition.satellite, filter.satellite == kAnySatellite,
          condition.satellite != kAnySatellite);
    place(filter.state, condition.state, filter.state == ChannelState::All,
          condition.state != ChannelState::All);
    place(filter.list, condition.list, filter.list == kAnyList, condition.list != kAnyList);
    place(filter.transponder, condition.transponder, filter.transponder == kAnyTransponder,
          condition.transponder != kAnyTransponder);
    if (!placed) filter.alsoRequired.push_back(std::move(condition));
}

}  // namespace

std::optional<ChannelFilter> ParseFilterExpression(const std::string& expression,
                                                   std::string& error) {
    ChannelFilter filter;
    static const std::pair<const char*, ChannelState> states[] = {
        {"active", ChannelState::Active}, {"inactive", ChannelState::Inactive},
        {"locked", ChannelState::Locked}, {"coded", ChannelState::Coded},
        {"clear", ChannelState::Clear},   {"tv", ChannelState::Tv},
        {"radio", ChannelState::Radio},   {"data", ChannelState::Data},
    };
    std::size_t begin = 0;
    while (begin <= expression.size()) {
        std::size_t end = expression.find(',', begin);
        if (end == std::string::npos) end = expression.size();
        const std::string condition = expression.substr(begin, end - begin);
        begin = end + 1;
        ChannelFilter one;
        const auto bad = [&] {
            error = Fmt(Tr("condizione '%1' non valida"), condition);
            return std::nullopt;
        };
        if (condition == "none") {
            one.list = kNoList;
            AddCondition(filter, std::move(one));
            continue;
        }
        const std::size_t tilde = condition.find('~');
        const std::size_t equals = condition.find('=');
        if (tilde != std::string::npos && (equals == std::string::npos || tilde < equals)) {
            if (condition.substr(0, tilde) != "name" || tilde + 1 == condition.size()) return bad();
            one.name = condition.substr(tilde + 1);
            AddCondition(filter, std::move(one));
            continue;
        }
        if (equals == std::string::npos) return bad();
        const std::string field = condition.substr(0, equals);
        const std::string value = condition.substr(equals + 1);
        const auto number = WholeNumber(value);
        if (field == "sat") {
            if (value == "A" || value == "a")
                one.satellite = kSatelliteA;
            else if (value == "B" || value == "b")
                one.satellite = kSatelliteB;
            else
                return bad();
        } else if (field == "state") {
            bool found = false;
            for (const auto& [word, state] : states)
                if (value == word) {
                    one.state = state;
                    found = true;
                }
            if (!found) return bad();
        } else if (field == "list") {
            if (!number || *number < 1 || *number > fav::Lists) return bad();
            one.list = static_cast<int>(*number);
        } else if (field == "sid") {
            if (!number) return bad();
            one.sid = number;
        } else if (field == "freq") {
            if (!number) return bad();
            one.mhz = number;
        } else if (field == "tp") {
            if (!number || *number < 1 || *number > 9999) return bad();
            one.transponder = static_cast<int>(*number);
        } else {
            return bad();
        }
        AddCondition(filter, std::move(one));
    }
    return filter;
}

}  // namespace rivo
