// Sorting a block of channels by a key, and matching and applying a reference list's order
// in its passes, with the favourites entries following their channels.
#include "editing/reorder.h"

#include <algorithm>
#include <climits>
#include <functional>
#include <numeric>
#include <string_view>
#include <utility>

#include "channels/records.h"
#include "editing/channel_rows.h"
#include "editing/collation.h"
#include "editing/transponders.h"
#include "text/translate.h"

namespace rivo {

namespace {

// The channel a favourites entry names (1..channels), or 0.
int EntryChannel(const Grid& list, int slot, int channels) {
    const int n = TransponderReference(list.cell(slot, fav::Channel));
    return n >= 1 && n <= channels ? n : 0;
}

bool CarriesEntries(const GridRow& row) {
    return ReadCellNumber(row.cells[ch::Favourites], 0) != 0;
}

// The frequency of every transponder row in hertz (index 0 unused); 0 for a free row or
// a text that is not a frequency.
std::vector<std::int64_t> TransponderHertz(const ListPage& page) {
    const int count = page.transponderCount();
    std::vector<std::int64_t> hertz(static_cast<size_t>(count) + 1, 0);
    for (int t = 1; t <= count; ++t) {
        try {
            hertz[static_cast<size_t>(t)] =
                FrequencyHertz(page.transponderGrid.cell(t, tp::Frequency));
        } catch (const ConversionError&) {
            hertz[static_cast<size_t>(t)] = 0;
        }
    }
    return hertz;
}

// The transponder row channel row r names when it has one in use, else 0.
int ChannelTransponder(const ListPage& page, int r, const std::vector<std::int64_t>& hertz) {
    const int t = TransponderReference(page.channelGrid.cell(r, ch::Transponder));
    if (t < 1 || t == kNoTransponder || t > page.transponderCount()) return 0;
    return hertz[static_cast<size_t>(t)] > 0 ? t : 0;
}

std::int64_t SidOf(const ListPage& page, int r) {
    return CellIntegerOr(page.channelGrid.cell(r, ch::Sid), INT64_MAX);
}

}  // namespace

void ReorderChannels(ListPage& page, int first, const std::vector<int>& order) {
    const int channels = page.channelCount();
    const int count = static_cast<int>(order.size());
    if (count == 0 || first < 1 || first + count - 1 > channels) return;
    const Grid& rows = page.channelGrid;
    // Where each row's channel goes; entries of channels that carry them follow.
    std::vector<int> newRow(static_cast<size_t>(channels) + 1);
    std::iota(newRow.begin(), newRow.end(), 0);
    for (int i = 0; i < count; ++i) {
        const int from = order[static_cast<size_t>(i)];
        if (CarriesEntries(rows.row(from))) newRow[static_cast<size_t>(from)] = first + i;
    }
    for (Grid& list : page.favouriteGrids) {
        for (int s = 1; s < list.rowCount(); ++s) {
            const int n = EntryChannel(list, s, channels);
            if (n != 0 && newRow[static_cast<size_t>(n)] != n)
                list.setCell(s, fav::Channel, std::to_string(newRow[static_cast<size_t>(n)]));
        }
    }
    page.channelGrid.permuteRows(first, order);
}

std::optional<SortKey> SortKeyFromWord(const std::string& word) {
    if (word == "name") return SortKey::Name;
    if (word == "sid") return SortKey::Sid;
    if (word == "frequency") return SortKey::Frequency;
    return std::nullopt;
}

EditResult SortChannels(ListPage& page, int first, int last, SortKey key) {
    if (first < 1 || first > last || last > page.channelCount()) return {};
    std::vector<int> order(static_cast<size_t>(last - first + 1));
    std::iota(order.begin(), order.end(), first);
    auto at = [first](int row) { return static_cast<size_t>(row - first); };
    switch (key) {
        case SortKey::Name: {
            std::vector<std::string> keys(order.size());
            for (const int r : order)
                keys[at(r)] = CollationKey(page.channelGrid.cell(r, ch::Name));
            std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
                const std::string& ka = keys[at(a)];
                const std::string& kb = keys[at(b)];
                if (ka.empty() != kb.empty()) return kb.empty();
                return NaturalKeyLess(ka, kb);
            });
            break;
        }
        case SortKey::Sid: {
            std::vector<std::int64_t> sids(order.size());
            for (const int r : order) sids[at(r)] = SidOf(page, r);
            std::stable_sort(order.begin(), order.end(),
                             [&](int a, int b) { return sids[at(a)] < sids[at(b)]; });
            break;
        }
        case SortKey::Frequency: {
            const std::vector<std::int64_t> hertz = TransponderHertz(page);
            struct FrequencyKey {
                bool none;
                std::int64_t hertz;
                std::string polarisation;
                std::int64_t sid;
                bool operator<(const FrequencyKey& o) const {
                    if (none != o.none) return o.none;
                    if (hertz != o.hertz) return hertz < o.hertz;
                    if (polarisation != o.polarisation) return polarisation < o.polarisation;
                    return sid < o.sid;
                }
            };
            std::vector<FrequencyKey> keys(order.size());
            for (const int r : order) {
                const int t = ChannelTransponder(page, r, hertz);
                // Channels without a transponder all tie, so they keep their order.
                keys[at(r)] = t == 0 ? FrequencyKey{true, 0, {}, 0}
                                     : FrequencyKey{false, hertz[static_cast<size_t>(t)],
                                                    page.transponderGrid.cell(t, tp::Polarisation),
                                                    SidOf(page, r)};
            }
            std::stable_sort(order.begin(), order.end(),
                             [&](int a, int b) { return keys[at(a)] < keys[at(b)]; });
            break;
        }
    }
    ReorderChannels(page, first, order);
    page.modified = true;
    return {true, first};
}

std::vector<ChannelIdentity> ChannelIdentities(const ListPage& page) {
    const std::vector<std::int64_t> hertz = TransponderHertz(page);
    std::vector<ChannelIdentity> identities(static_cast<size_t>(page.channelCount()));
    for (int r = 1; r <= page.channelCount(); ++r) {
        ChannelIdentity& id = identities[static_cast<size_t>(r - 1)];
        const std::string& name = page.channelGrid.cell(r, ch::Name);
        id.name = CollationKey(name);
        id.sid = CellIntegerOr(page.channelGrid.cell(r, ch::Sid), -1);
        id.emptyRow = name.empty() && TransponderReference(page.channelGrid.cell(
                                          r, ch::Transponder)) == kNoTransponder;
        if (const int t = ChannelTransponder(page, r, hertz); t != 0) {
            id.hasTransponder = true;
            id.tid = CellIntegerOr(page.transponderGrid.cell(t, tp::Tid), -1);
            id.nid = CellIntegerOr(page.transponderGrid.cell(t, tp::Nid), -1);
            id.hertz = hertz[static_cast<size_t>(t)];
            id.polarisation = page.transponderGrid.cell(t, tp::Polarisation);
        }
    }
    return identities;
}

int ReferenceMatch::matched() const {
    return std::accumulate(passCounts.begin(), passCounts.end(), 0);
}

namespace {

std::uint64_t Mix(std::uint64_t h, std::uint64_t v) {
    // 64-bit hash combining (the constant and shifts of a well-known mixer).
    h ^= v + 0x9E3779B97F4A7C15ull + (h << 6) + (h >> 2);
    return h;
}

std::uint64_t NameHash(const std::string& name) { return std::hash<std::string_view>{}(name); }

// One pass. inPass(identity) says whether a channel takes part; hash(identity) groups the
// candidates; sameKey(reference, current) is the exact test of the pass's key (hashes
// may collide) and accept(reference, current) any test beyond it. Candidates are kept
// sorted by hash and then by row, so the first one that passes is the first still
// unmatched current channel in current order.
template <typename InPass, typename Hash, typename SameKey, typename Accept>
int MatchPass(const std::vector<ChannelIdentity>& current,
              const std::vector<ChannelIdentity>& reference, ReferenceMatch& match, InPass inPass,
              Hash hash, SameKey sameKey, Accept accept) {
    struct Candidate {
        std::uint64_t hash;
        int index;
        bool operator<(const Candidate& o) const {
            return hash != o.hash ? hash < o.hash : index < o.index;
        }
    };
    std::vector<Candidate> candidates;
    candidates.reserve(current.size());
    for (size_t c = 0; c < current.size(); ++c)
        if (match.referenceOf[c + 1] == 0 && !current[c].emptyRow && inPass(current[c]))
            candidates.push_back({hash(current[c]), static_cast<int>(c)});
    if (candidates.empty()) return 0;
    std::sort(candidates.begin(), candidates.end());
    int matched = 0;
    for (size_t r = 0; r < reference.size(); ++r) {
        const ChannelIdentity& ref = reference[r];
        if (match.currentOf[r + 1] != 0 || ref.emptyRow || !inPass(ref)) continue;
        const std::uint64_t h = hash(ref);
        auto it = std::lower_bound(candidates.begin(), candidates.end(), Candidate{h, -1});
        for (; it != candidates.end() && it->hash == h; ++it) {
            const auto c = static_cast<size_t>(it->index);
            if (match.referenceOf[c + 1] != 0 || !sameKey(ref, current[c]) ||
                !accept(ref, current[c]))
                continue;
            match.currentOf[r + 1] = it->index + 1;
            match.referenceOf[c + 1] = static_cast<int>(r) + 1;
            ++matched;
            break;
        }
    }
    return matched;
}

// How many rows carry each name: the names sorted by hash (then by text, so equal
// names stand together whatever the hashes do), counted by range.
class NameCounts {
public:
    explicit NameCounts(const std::vector<ChannelIdentity>& ids) {
        names_.reserve(ids.size());
        for (const auto& id : ids)
            if (!id.name.empty()) names_.emplace_back(nameHash(id.name), id.name);
        std::sort(names_.begin(), names_.end());
    }
    bool unique(std::string_view name) const {
        const auto [first, last] =
            std::equal_range(names_.begin(), names_.end(), std::pair(nameHash(name), name));
        return last - first == 1;
    }

private:
    static std::uint64_t nameHash(std::string_view name) {
        return std::hash<std::string_view>{}(name);
    }
    std::vector<std::pair<std::uint64_t, std::string_view>> names_;
};

bool CloseFrequencies(const ChannelIdentity& a, const ChannelIdentity& b) {
    const std::int64_t d = a.hertz - b.hertz;
    return d <= kMatchToleranceHertz && d >= -kMatchToleranceHertz;
}

// A row no pass can match: no name and no transponder. Empty rows are such rows, and
// so are the zeroed records some lists carry as free rows (transponder 0); they are
// no channels the user could miss, so the unmatched lists leave them out.
bool UnnamedWithoutTransponder(const ChannelIdentity& id) {
    return id.name.empty() && !id.hasTransponder;
}

}  // namespace

ReferenceMatch MatchReference(const ListPage& current, const ListPage& reference) {
    const std::vector<ChannelIdentity> cur = ChannelIdentities(current);
    const std::vector<ChannelIdentity> ref = ChannelIdentities(reference);
    ReferenceMatch match;
    match.referenceOf.assign(cur.size() + 1, 0);
    match.currentOf.assign(ref.size() + 1, 0);
    RunMatchPasses(cur, ref, match, {true, true, true, true});
    FinishMatch(cur, ref, match);
    return match;
}

void RunMatchPasses(const std::vector<ChannelIdentity>& cur,
                    const std::vector<ChannelIdentity>& ref, ReferenceMatch& match,
                    const std::array<bool, kMatchPasses>& runPass) {
    // The pairs a pass found are those matched but not yet marked with an earlier pass;
    // pairs a caller made before the passes keep whatever mark the caller gave them.
    match.passOf.resize(match.currentOf.size(), 0);
    std::vector<char> pairedBefore(match.currentOf.size(), 0);
    for (size_t r = 1; r < match.currentOf.size(); ++r) pairedBefore[r] = match.currentOf[r] != 0;
    auto markPass = [&match, &pairedBefore](int pass) {
        for (size_t r = 1; r < match.currentOf.size(); ++r)
            if (match.currentOf[r] != 0 && match.passOf[r] == 0 && !pairedBefore[r])
                match.passOf[r] = pass;
    };
    auto any = [](const ChannelIdentity&, const ChannelIdentity&) { return true; };
    auto withTransponder = [](const ChannelIdentity& id) { return id.hasTransponder; };
    auto sameBroadcast = [](const ChannelIdentity& a, const ChannelIdentity& b) {
        return a.sid == b.sid && a.tid == b.tid && a.nid == b.nid;
    };
    auto broadcastHash = [](const ChannelIdentity& id) {
        return Mix(Mix(static_cast<std::uint64_t>(id.sid), static_cast<std::uint64_t>(id.tid)),
                   static_cast<std::uint64_t>(id.nid));
    };

    if (runPass[0])
        match.passCounts[0] = MatchPass(
            cur, ref, match, withTransponder,
            [&](const ChannelIdentity& id) {
                return Mix(Mix(broadcastHash(id), NameHash(id.name)), NameHash(id.polarisation));
            },
            [&](const ChannelIdentity& a, const ChannelIdentity& b) {
                return sameBroadcast(a, b) && a.polarisation == b.polarisation && a.name == b.name;
            },
            CloseFrequencies);
    markPass(1);
    if (runPass[1])
        match.passCounts[1] =
            MatchPass(cur, ref, match, withTransponder, broadcastHash, sameBroadcast, any);
    markPass(2);
    if (runPass[2])
        match.passCounts[2] = MatchPass(
            cur, ref, match, withTransponder,
            [](const ChannelIdentity& id) {
                return Mix(static_cast<std::uint64_t>(id.sid), NameHash(id.polarisation));
            },
            [](const ChannelIdentity& a, const ChannelIdentity& b) {
                return a.sid == b.sid && a.polarisation == b.polarisation;
            },
            CloseFrequencies);
    markPass(3);

    // A name counts only where it is carried by exactly one row of each list. Counting
    // costs a sort of each list's names, so it waits until both lists have a named
    // channel left.
    auto namedLeft = [](const std::vector<ChannelIdentity>& ids,
                        const std::vector<int>& matchedOf) {
        for (size_t i = 0; i < ids.size(); ++i)
            if (matchedOf[i + 1] == 0 && !ids[i].name.empty()) return true;
        return false;
    };
    if (runPass[3] && namedLeft(cur, match.referenceOf) && namedLeft(ref, match.currentOf)) {
        const NameCounts curNames(cur), refNames(ref);
        match.passCounts[3] = MatchPass(
            cur, ref, match,
            [&](const ChannelIdentity& id) {
                return !id.name.empty() && curNames.unique(id.name) && refNames.unique(id.name);
            },
            [](const ChannelIdentity& id) { return NameHash(id.name); },
            [](const ChannelIdentity& a, const ChannelIdentity& b) { return a.name == b.name; },
            any);
    }
    markPass(4);
}

void FinishMatch(const std::vector<ChannelIdentity>& cur, const std::vector<ChannelIdentity>& ref,
                 ReferenceMatch& match) {
    match.order.clear();
    match.unmatchedCurrent.clear();
    match.unmatchedReference.clear();
    match.order.reserve(cur.size());
    for (size_t r = 1; r <= ref.size(); ++r)
        if (match.currentOf[r] != 0) match.order.push_back(match.currentOf[r]);
    for (size_t c = 1; c <= cur.size(); ++c) {
        if (match.referenceOf[c] != 0) continue;
        match.order.push_back(static_cast<int>(c));
        if (!UnnamedWithoutTransponder(cur[c - 1]))
            match.unmatchedCurrent.push_back(static_cast<int>(c));
    }
    for (size_t r = 1; r <= ref.size(); ++r)
        if (match.currentOf[r] == 0 && !UnnamedWithoutTransponder(ref[r - 1]))
            match.unmatchedReference.push_back(static_cast<int>(r));
}

bool CanTakeFavourites(const ListPage& current, const ListPage& reference) {
    return current.layout == ListLayout::Split && reference.layout == ListLayout::Split;
}

EditResult ApplyReference(ListPage& page, const ListPage& reference, const ReferenceMatch& match,
                          const ReferenceOptions& options) {
    const int channels = page.channelCount();
    if (static_cast<int>(match.order.size()) != channels ||
        static_cast<int>(match.currentOf.size()) != reference.channelCount() + 1)
        return {};
    if (options.takeFavourites && !CanTakeFavourites(page, reference)) return {};

    std::vector<char> renamed(static_cast<size_t>(channels) + 1, 0);
    if (options.takeNames) {
        for (int r = 1; r <= reference.channelCount(); ++r) {
            const int c = match.currentOf[static_cast<size_t>(r)];
            if (c == 0) continue;
            std::string& name = page.channelGrid.row(c).cells[ch::Name];
            const std::string& wanted = reference.channelGrid.cell(r, ch::Name);
            if (name != wanted) {
                name = wanted;
                renamed[static_cast<size_t>(c)] = 1;
            }
        }
    }
    std::vector<int> newRow(static_cast<size_t>(channels) + 1, 0);
    for (int i = 0; i < channels; ++i)
        newRow[static_cast<size_t>(match.order[static_cast<size_t>(i)])] = i + 1;
    ReorderChannels(page, 1, match.order);

    if (options.takeFavourites) {
        std::vector<std::uint8_t> sets(static_cast<size_t>(channels) + 1, 0);
        for (int k = 0; k < fav::Lists; ++k) {
            const Grid& from = reference.favouriteGrids[static_cast<size_t>(k)];
            Grid& list = page.favouriteGrids[static_cast<size_t>(k)];
            int write = 1;
            for (int s = 1; s < from.rowCount() && write < list.rowCount(); ++s) {
                const int n = EntryChannel(from, s, reference.channelCount());
                const int c = n == 0 ? 0 : match.currentOf[static_cast<size_t>(n)];
                if (c == 0) continue;
                const int row = newRow[static_cast<size_t>(c)];
                list.setRow(write, {{std::string(), page.channelGrid.cell(row, ch::Name),
                                     std::to_string(row)},
                                    page.channelGrid.colour(row)});
                sets[static_cast<size_t>(row)] |= static_cast<std::uint8_t>(1u << k);
                ++write;
            }
            for (; write < list.rowCount(); ++write)
                list.setRow(write, {{std::string(), std::string(), "0"}, kColourGrey});
        }
        for (int k = 1; k <= fav::Lists && k < reference.configGrid.rowCount() &&
                        k < page.configGrid.rowCount();
             ++k) {
            page.configGrid.setCell(k, 0, std::to_string(k));
            page.configGrid.setCell(k, 1, reference.configGrid.cell(k, 1));
        }
        for (int r = 1; r <= channels; ++r)
            page.channelGrid.setCell(r, ch::Favourites,
                                     std::to_string(sets[static_cast<size_t>(r)]));
    } else if (options.takeNames) {
        // The entries show their channel's name.
        for (Grid& list : page.favouriteGrids)
            for (int s = 1; s < list.rowCount(); ++s) {
                const int n = EntryChannel(list, s, channels);
                if (n == 0) continue;
                const int was = match.order[static_cast<size_t>(n - 1)];
                if (renamed[static_cast<size_t>(was)])
                    list.setCell(s, fav::Name, page.channelGrid.cell(n, ch::Name));
            }
    }
    page.modified = true;
    const int matched = match.matched();
    return {true, matched < channels ? matched + 1 : 0};
}

std::string ReferenceStatusText(const ReferenceMatch& match) {
    // Two counts, each with its own plural: two patterns.
    const int matched = match.matched();
    const auto unmatched = static_cast<long long>(match.unmatchedCurrent.size());
    return Fmt(TrN("%1 canale ordinato secondo il riferimento",
                   "%1 canali ordinati secondo il riferimento", matched),
               matched) +
           ", " + Fmt(TrN("%1 non trovato", "%1 non trovati", unmatched), unmatched);
}

}  // namespace rivo
