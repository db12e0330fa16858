// Finding the copies of a channel at each level, the copy each group keeps, removing the
// others with their favourites moved to it, and the lists naming a channel twice.
#include "editing/duplicates.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <numeric>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "editing/channel_rows.h"
#include "editing/reorder.h"
#include "editing/transponders.h"

namespace rivo {

namespace {

bool IsActive(const ListPage& page, int row) {
    return (ReadCellHex(page.channelGrid.cell(row, ch::Status), 0) & 4) != 0;
}

// Bit k set when list k names the row; index 0 unused.
std::vector<std::uint8_t> ListMasks(const ListPage& page) {
    const int channels = page.channelCount();
    std::vector<std::uint8_t> masks(static_cast<size_t>(channels) + 1, 0);
    for (int k = 0; k < fav::Lists; ++k) {
        const Grid& list = page.favouriteGrids[static_cast<size_t>(k)];
        for (int s = 1; s < list.rowCount(); ++s)
            if (const int n = FavouriteEntryChannel(list.cell(s, fav::Channel), channels); n != 0)
                masks[static_cast<size_t>(n)] |= static_cast<std::uint8_t>(1u << k);
    }
    return masks;
}

int CountBits(std::uint8_t mask) {
    int bits = 0;
    for (; mask != 0; mask = static_cast<std::uint8_t>(mask & (mask - 1))) ++bits;
    return bits;
}

class DisjointSets {
public:
    explicit DisjointSets(size_t size) : parent_(size) {
        std::iota(parent_.begin(), parent_.end(), size_t{0});
    }
    size_t find(size_t x) {
        while (parent_[x] != x) {
            parent_[x] = parent_[parent_[x]];
            x = parent_[x];
        }
        return x;
    }
    void join(size_t a, size_t b) {
        a = find(a);
        b = find(b);
        // The smaller index stands for the set, so a set's root is its first row.
        if (a != b) parent_[std::max(a, b)] = std::min(a, b);
    }

private:
    std::vector<size_t> parent_;
};

// A channel's keys as the levels compare them.
struct DuplicateKeys {
    ChannelIdentity id;
    std::string satellite;  // the transponder's satellite; "" without a transponder
};

// A key's parts laid end to end: numbers as their eight bytes, texts with their length
// first, so that no two different keys join to the same bytes.
class KeyBytes {
public:
    KeyBytes& operator<<(std::int64_t value) {
        key_.append(reinterpret_cast<const char*>(&value), sizeof value);
        return *this;
    }
    KeyBytes& operator<<(const std::string& text) {
        *this << static_cast<std::int64_t>(text.size());
        key_ += text;
        return *this;
    }
    std::string take() { return std::move(key_); }

private:
    std::string key_;
};

// Joins the channels that share a key; with byFrequency, only those whose frequencies
// lie within the tolerance of a neighbour in frequency order (a chain of them). key
// returns "" for a channel that takes no part.
template <typename Key>
void JoinByKey(const std::vector<DuplicateKeys>& keys, DisjointSets& sets, bool byFrequency,
               Key key) {
    std::unordered_map<std::string, std::vector<std::pair<std::int64_t, size_t>>> buckets;
    buckets.reserve(keys.size());
    for (size_t i = 0; i < keys.size(); ++i) {
        if (keys[i].id.emptyRow) continue;
        std::string k = key(keys[i]);
        if (!k.empty()) buckets[std::move(k)].emplace_back(keys[i].id.hertz, i);
    }
    for (auto& [k, members] : buckets) {
        if (members.size() < 2) continue;
        if (byFrequency) std::sort(members.begin(), members.end());
        for (size_t m = 1; m < members.size(); ++m)
            if (!byFrequency || members[m].first - members[m - 1].first <= kMatchToleranceHertz)
                sets.join(members[m - 1].second, members[m].second);
    }
}

void ApplyKeepRule(const ListPage& page, const std::vector<std::uint8_t>& masks,
                   DuplicateGroup& group) {
    int most = -1;
    for (const int r : group.rows) most = std::max(most, CountBits(masks[static_cast<size_t>(r)]));
    std::vector<int> candidates;
    for (const int r : group.rows)
        if (CountBits(masks[static_cast<size_t>(r)]) == most) candidates.push_back(r);
    if (candidates.size() == 1) {
        group.kept = candidates.front();
        group.reason = KeepReason::Favourites;
        return;
    }
    std::vector<int> active;
    for (const int r : candidates)
        if (IsActive(page, r)) active.push_back(r);
    if (!active.empty() && active.size() < candidates.size()) {
        group.kept = active.front();
        group.reason = KeepReason::Active;
        return;
    }
    group.kept = candidates.front();
    group.reason = KeepReason::LowestRow;
}

}  // namespace

const char* DuplicateLevelWord(DuplicateLevel level) {
    switch (level) {
        case DuplicateLevel::Exact:
            return "exact";
        case DuplicateLevel::Ids:
            return "ids";
        case DuplicateLevel::NameTransponder:
            return "name-transponder";
        case DuplicateLevel::Name:
            return "name";
    }
    return "exact";
}

std::optional<DuplicateLevel> DuplicateLevelFromWord(const std::string& word) {
    for (int l = 0; l < kDuplicateLevels; ++l)
        if (word == DuplicateLevelWord(static_cast<DuplicateLevel>(l)))
            return static_cast<DuplicateLevel>(l);
    return std::nullopt;
}

std::string DuplicateLevelLabel(DuplicateLevel level) {
    switch (level) {
        case DuplicateLevel::Exact:
            return Tr("Stesso servizio sullo stesso transponder");
        case DuplicateLevel::Ids:
            return Tr("Stesso servizio (SID, TID, NID) anche su un altro transponder");
        case DuplicateLevel::NameTransponder:
            return Tr("Stesso nome sullo stesso transponder");
        case DuplicateLevel::Name:
            return Tr("Stesso nome (solo per informazione)");
    }
    return {};
}

const char* KeepReasonWord(KeepReason reason) {
    switch (reason) {
        case KeepReason::Favourites:
            return "favourites";
        case KeepReason::Active:
            return "active";
        case KeepReason::LowestRow:
            return "lowest-row";
        case KeepReason::Chosen:
            return "chosen";
    }
    return "lowest-row";
}

std::string KeepReasonLabel(KeepReason reason) {
    switch (reason) {
        case KeepReason::Favourites:
            return Tr("nel maggior numero di liste preferiti");
        case KeepReason::Active:
            return Tr("attivo");
        case KeepReason::LowestRow:
            return Tr("la riga più in alto");
        case KeepReason::Chosen:
            return Tr("scelto da te");
    }
    return {};
}

int DuplicateFinding::removableCount() const {
    int count = 0;
    for (const DuplicateGroup& group : groups) count += static_cast<int>(group.rows.size()) - 1;
    return count;
}

int ListsNaming(const ListPage& page, int row) {
    int lists = 0;
    const std::string number = std::to_string(row);
    for (const Grid& list : page.favouriteGrids) {
        for (int s = 1; s < list.rowCount(); ++s)
            if (list.cell(s, fav::Channel) == number) {
                ++lists;
                break;
            }
    }
    return lists;
}

DuplicateFinding FindDuplicates(const ListPage& page, DuplicateLevel level) {
    DuplicateFinding finding;
    finding.level = level;
    const int channels = page.channelCount();
    if (channels < 2) return finding;

    std::vector<DuplicateKeys> keys(static_cast<size_t>(channels));
    {
        std::vector<ChannelIdentity> ids = ChannelIdentities(page);
        for (int r = 1; r <= channels; ++r) {
            DuplicateKeys& k = keys[static_cast<size_t>(r - 1)];
            k.id = std::move(ids[static_cast<size_t>(r - 1)]);
            if (k.id.hasTransponder) {
                const int t = TransponderReference(page.channelGrid.cell(r, ch::Transponder));
                k.satellite = page.transponderGrid.cell(t, tp::Satellite);
            }
        }
    }
    DisjointSets sets(keys.size());
    const auto reaches = [level](DuplicateLevel l) {
        return static_cast<int>(level) >= static_cast<int>(l);
    };
    // Each level also joins what the levels before it join.
    JoinByKey(keys, sets, true, [&](const DuplicateKeys& k) {
        if (!k.id.hasTransponder) return std::string();
        return (KeyBytes() << k.id.sid << k.id.tid << k.id.nid << k.id.polarisation << k.satellite)
            .take();
    });
    if (reaches(DuplicateLevel::Ids))
        JoinByKey(keys, sets, false, [&](const DuplicateKeys& k) {
            if (!k.id.hasTransponder) return std::string();
            return (KeyBytes() << k.id.sid << k.id.tid << k.id.nid << k.satellite).take();
        });
    if (reaches(DuplicateLevel::NameTransponder))
        JoinByKey(keys, sets, true, [&](const DuplicateKeys& k) {
            if (!k.id.hasTransponder || k.id.name.empty()) return std::string();
            return (KeyBytes() << k.id.name << k.id.polarisation << k.satellite).take();
        });
    if (reaches(DuplicateLevel::Name))
        JoinByKey(keys, sets, false, [&](const DuplicateKeys& k) {
            if (k.id.name.empty()) return std::string();
            return (KeyBytes() << k.id.name << k.satellite).take();
        });

    // Rows by set, in row order; a set's root is its first row, so walking the rows
    // meets the groups in the order of their first rows.
    std::vector<int> groupOf(keys.size(), -1);
    std::vector<std::vector<int>> members;
    for (size_t i = 0; i < keys.size(); ++i) {
        int& g = groupOf[sets.find(i)];
        if (g < 0) {
            g = static_cast<int>(members.size());
            members.emplace_back();
        }
        members[static_cast<size_t>(g)].push_back(static_cast<int>(i) + 1);
    }
    finding.lists = ListMasks(page);
    const std::vector<std::uint8_t>& masks = finding.lists;
    for (std::vector<int>& rows : members) {
        if (rows.size() < 2) continue;
        DuplicateGroup group;
        group.rows = std::move(rows);
        ApplyKeepRule(page, masks, group);
        finding.groups.push_back(std::move(group));
    }
    return finding;
}

bool ChooseKeptCopy(DuplicateGroup& group, int row) {
    if (std::find(group.rows.begin(), group.rows.end(), row) == group.rows.end()) return false;
    group.kept = row;
    group.reason = KeepReason::Chosen;
    return true;
}

EditResult RemoveDuplicates(ListPage& page, const std::vector<DuplicateGroup>& groups,
                            int* removedCount) {
    if (removedCount) *removedCount = 0;
    const int channels = page.channelCount();
    const auto at = [](int row) { return static_cast<size_t>(row); };
    // keptOf[r]: the row that stays in r's place for a removed copy r; 0 otherwise.
    std::vector<int> keptOf(at(channels) + 1, 0);
    std::vector<char> inGroup(at(channels) + 1, 0), isKept(at(channels) + 1, 0);
    int removed = 0;
    for (const DuplicateGroup& group : groups) {
        if (std::find(group.rows.begin(), group.rows.end(), group.kept) == group.rows.end())
            return {};
        for (const int r : group.rows) {
            if (r < 1 || r > channels || inGroup[at(r)]) return {};
            inGroup[at(r)] = 1;
            if (r != group.kept) {
                keptOf[at(r)] = group.kept;
                ++removed;
            }
        }
        isKept[at(group.kept)] = 1;
    }
    if (removed == 0) return {};

    // Rows after the gaps close: the remaining channels in their order, then the
    // emptied rows.
    std::vector<int> newRow(at(channels) + 1, 0);
    std::vector<int> order;
    order.reserve(at(channels));
    for (int r = 1; r <= channels; ++r)
        if (keptOf[at(r)] == 0) {
            order.push_back(r);
            newRow[at(r)] = static_cast<int>(order.size());
        }
    for (int r = 1; r <= channels; ++r)
        if (keptOf[at(r)] != 0) order.push_back(r);

    std::vector<std::uint8_t> keptLists(at(channels) + 1, 0);
    std::vector<int> seenIn(at(channels) + 1, -1);  // the last list that named a kept channel
    for (int k = 0; k < fav::Lists; ++k) {
        Grid& list = page.favouriteGrids[static_cast<size_t>(k)];
        const int slots = list.rowCount() - 1;
        int write = 1;
        bool dropped = false;
        for (int read = 1; read <= slots; ++read) {
            const int n = FavouriteEntryChannel(list.cell(read, fav::Channel), channels);
            const int target = n != 0 && keptOf[at(n)] != 0 ? keptOf[at(n)] : n;
            if (target != 0 && isKept[at(target)]) {
                if (seenIn[at(target)] == k) {
                    dropped = true;
                    continue;
                }
                seenIn[at(target)] = k;
                keptLists[at(target)] |= static_cast<std::uint8_t>(1u << k);
            }
            if (write != read) list.copyRow(read, write);
            if (target != 0) {
                list.setCell(write, fav::Channel, std::to_string(newRow[at(target)]));
                if (target != n) {
                    // The entry now shows the channel it names.
                    list.setCell(write, fav::Name, page.channelGrid.cell(target, ch::Name));
                    list.setColour(write, page.channelGrid.colour(target));
                }
            }
            ++write;
        }
        if (!dropped) continue;
        for (int s = write; s <= slots; ++s)
            list.setRow(s, {{std::string(), std::string(), "0"}, kColourGrey});
    }

    int firstKept = 0;
    for (int r = 1; r <= channels; ++r) {
        if (isKept[at(r)]) {
            page.channelGrid.setCell(r, ch::Favourites, std::to_string(keptLists[at(r)]));
            if (firstKept == 0) firstKept = r;
        }
        if (keptOf[at(r)] != 0) WriteEmptyChannel(page.channelGrid.row(r));
    }
    page.channelGrid.permuteRows(1, order);
    page.modified = true;
    if (removedCount) *removedCount = removed;
    return {true, newRow[at(firstKept)]};
}

std::vector<DuplicateGroup> GroupsToRemove(const DuplicateFinding& finding, bool removeByName) {
    if (finding.level == DuplicateLevel::Name && !removeByName) return {};
    return finding.groups;
}

DuplicateCopyView DescribeCopy(const ListPage& page, int row,
                               const std::vector<std::uint8_t>* lists) {
    DuplicateCopyView view;
    if (row < 1 || row > page.channelCount()) return view;
    view.row = row;
    view.name = page.channelGrid.cell(row, ch::Name);
    view.sid = page.channelGrid.cell(row, ch::Sid);
    const int t = TransponderReference(page.channelGrid.cell(row, ch::Transponder));
    if (t >= 1 && t != kNoTransponder && t <= page.transponderCount() &&
        page.transponderGrid.cell(t, tp::Frequency) != "0")
        view.frequency = page.transponderGrid.cell(t, tp::Frequency) + " " +
                         page.transponderGrid.cell(t, tp::Polarisation);
    const std::int64_t status = ReadCellHex(page.channelGrid.cell(row, ch::Status), 0);
    view.active = (status & 4) != 0;
    view.locked = (status & 1) != 0;
    std::uint8_t mask = 0;
    if (lists && lists->size() == static_cast<size_t>(page.channelCount()) + 1) {
        mask = (*lists)[static_cast<size_t>(row)];
    } else {
        const std::string number = std::to_string(row);
        for (int k = 0; k < fav::Lists; ++k) {
            const Grid& list = page.favouriteGrids[static_cast<size_t>(k)];
            for (int s = 1; s < list.rowCount(); ++s)
                if (list.cell(s, fav::Channel) == number) {
                    mask |= static_cast<std::uint8_t>(1u << k);
                    break;
                }
        }
    }
    for (int k = 0; k < fav::Lists; ++k) {
        if (((mask >> k) & 1) == 0) continue;
        if (!view.lists.empty()) view.lists += ", ";
        view.lists += std::to_string(k + 1);
    }
    return view;
}

std::vector<RepeatedEntry> FindRepeatedFavourites(const ListPage& page) {
    std::vector<RepeatedEntry> repeated;
    const int channels = page.channelCount();
    std::vector<int> count(static_cast<size_t>(channels) + 1, 0);
    for (int k = 0; k < fav::Lists; ++k) {
        const Grid& list = page.favouriteGrids[static_cast<size_t>(k)];
        std::vector<int> firstSeen;
        for (int s = 1; s < list.rowCount(); ++s)
            if (const int n = FavouriteEntryChannel(list.cell(s, fav::Channel), channels); n != 0)
                if (count[static_cast<size_t>(n)]++ == 0) firstSeen.push_back(n);
        for (const int n : firstSeen) {
            if (count[static_cast<size_t>(n)] > 1)
                repeated.push_back({k, n, count[static_cast<size_t>(n)]});
            count[static_cast<size_t>(n)] = 0;
        }
    }
    return repeated;
}

EditResult RemoveRepeatedFavourites(ListPage& page, int* removedCount) {
    const int channels = page.channelCount();
    std::vector<int> seenIn(static_cast<size_t>(channels) + 1, -1);
    int removed = 0;
    for (int k = 0; k < fav::Lists; ++k) {
        Grid& list = page.favouriteGrids[static_cast<size_t>(k)];
        const int slots = list.rowCount() - 1;
        int write = 1;
        for (int read = 1; read <= slots; ++read) {
            const int n = FavouriteEntryChannel(list.cell(read, fav::Channel), channels);
            if (n != 0) {
                if (seenIn[static_cast<size_t>(n)] == k) {
                    ++removed;
                    continue;
                }
                seenIn[static_cast<size_t>(n)] = k;
            }
            if (write != read) list.copyRow(read, write);
            ++write;
        }
        for (int s = write; s <= slots; ++s)
            list.setRow(s, {{std::string(), std::string(), "0"}, kColourGrey});
    }
    if (removedCount) *removedCount = removed;
    if (removed == 0) return {};
    page.modified = true;
    return {true, 0};
}

std::string DuplicateSummaryText(int groups, int removable) {
    return Fmt(Tr("%1 gruppi, %2 canali da eliminare"), groups, removable);
}

std::string DuplicatesRemovedText(int removed) {
    return Fmt(TrN("Eliminato %1 canale doppio", "Eliminati %1 canali doppi", removed), removed);
}

std::string RepeatedEntriesRemovedText(int removed) {
    return Fmt(TrN("Tolta %1 voce ripetuta dai preferiti", "Tolte %1 voci ripetute dai preferiti",
                   removed),
               removed);
}

}  // namespace rivo
