// Comparing an older list with a newer one (the pairs, the moved run, the tuning and
// favourites differences) and taking back removed channels, names and favourites.
#include "editing/compare.h"

#include <algorithm>
#include <utility>

#include "channels/records.h"
#include "editing/channel_rows.h"
#include "editing/clipboard.h"
#include "editing/transponders.h"

namespace rivo {

namespace {

// The transponder row channel row r uses: 1..T, not 255, with a frequency; else 0.
int TransponderInUse(const ListPage& page, int r) {
    const int t = TransponderReference(page.channelGrid.cell(r, ch::Transponder));
    if (t < 1 || t == kNoTransponder || t > page.transponderCount()) return 0;
    try {
        return FrequencyHertz(page.transponderGrid.cell(t, tp::Frequency)) > 0 ? t : 0;
    } catch (const ConversionError&) {
        return 0;
    }
}

// Windows-1252 upper-case letters to lower case; other bytes unchanged.
unsigned char LowerByte(unsigned char b) {
    if (b >= 'A' && b <= 'Z') return static_cast<unsigned char>(b + 32);
    if (b >= 0xC0 && b <= 0xDE && b != 0xD7) return static_cast<unsigned char>(b + 32);
    switch (b) {
        case 0x8A:
            return 0x9A;  // Š
        case 0x8C:
            return 0x9C;  // Œ
        case 0x8E:
            return 0x9E;  // Ž
        case 0x9F:
            return 0xFF;  // Ÿ
        default:
            return b;
    }
}

std::string TrimmedLower(const std::string& name) {
    const size_t first = name.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    const size_t last = name.find_last_not_of(' ');
    std::string out = name.substr(first, last - first + 1);
    for (char& c : out) c = static_cast<char>(LowerByte(static_cast<unsigned char>(c)));
    return out;
}

// The favourites lists naming each channel row (index 0 unused).
std::vector<std::uint8_t> ListsNaming(const ListPage& page) {
    const int channels = page.channelCount();
    std::vector<std::uint8_t> lists(static_cast<size_t>(channels) + 1, 0);
    for (int k = 0; k < fav::Lists; ++k) {
        const Grid& list = page.favouriteGrids[static_cast<size_t>(k)];
        for (int s = 1; s < list.rowCount(); ++s) {
            const int n = TransponderReference(list.cell(s, fav::Channel));
            if (n >= 1 && n <= channels)
                lists[static_cast<size_t>(n)] |= static_cast<std::uint8_t>(1u << k);
        }
    }
    return lists;
}

// The tuning fields that differ between old row o and new row n.
unsigned TuningDifferences(const ListPage& oldPage, int o, const ListPage& newPage, int n) {
    unsigned fields = 0;
    if (CellIntegerOr(oldPage.channelGrid.cell(o, ch::Sid), -1) !=
        CellIntegerOr(newPage.channelGrid.cell(n, ch::Sid), -1))
        fields |= FieldBit(TuningField::Sid);
    const int to = TransponderInUse(oldPage, o);
    const int tn = TransponderInUse(newPage, n);
    if ((to == 0) != (tn == 0)) return fields | FieldBit(TuningField::Transponder);
    if (to == 0) return fields;
    const Grid& a = oldPage.transponderGrid;
    const Grid& b = newPage.transponderGrid;
    // Frequencies are received frequencies, so lists opened with other LNB
    // oscillators still compare.
    if (FrequencyHertz(a.cell(to, tp::Frequency)) != FrequencyHertz(b.cell(tn, tp::Frequency)))
        fields |= FieldBit(TuningField::Frequency);
    if (a.cell(to, tp::Polarisation) != b.cell(tn, tp::Polarisation))
        fields |= FieldBit(TuningField::Polarisation);
    const auto number = [](const Grid& g, int t, int column) {
        return CellIntegerOr(g.cell(t, column), -1);
    };
    if (number(a, to, tp::SymbolRate) != number(b, tn, tp::SymbolRate))
        fields |= FieldBit(TuningField::SymbolRate);
    if (a.cell(to, tp::Fec) != b.cell(tn, tp::Fec)) fields |= FieldBit(TuningField::Fec);
    if (number(a, to, tp::Tid) != number(b, tn, tp::Tid)) fields |= FieldBit(TuningField::Tid);
    if (number(a, to, tp::Nid) != number(b, tn, tp::Nid)) fields |= FieldBit(TuningField::Nid);
    return fields;
}

// Marks stays[i] for the entries of the longest strictly increasing run of values
// (patience sorting, n log n). Each pile keeps the smallest value that ends a run of
// its length, and the run is read back from the last pile: so among equally long runs
// the kept one ends, position by position from the end, on the smallest values.
std::vector<bool> LongestIncreasingRun(const std::vector<int>& values) {
    std::vector<int> tails;  // tails[len - 1]: index of the smallest value ending a run of len
    std::vector<int> previous(values.size(), -1);
    for (size_t i = 0; i < values.size(); ++i) {
        const auto pos = std::lower_bound(
            tails.begin(), tails.end(), values[i],
            [&](int index, int v) { return values[static_cast<size_t>(index)] < v; });
        if (pos != tails.begin()) previous[i] = *(pos - 1);
        if (pos == tails.end())
            tails.push_back(static_cast<int>(i));
        else
            *pos = static_cast<int>(i);
    }
    std::vector<bool> stays(values.size(), false);
    for (int i = tails.empty() ? -1 : tails.back(); i >= 0; i = previous[static_cast<size_t>(i)])
        stays[static_cast<size_t>(i)] = true;
    return stays;
}

}  // namespace

std::vector<ChannelDifference> ListComparison::ofClass(ChangeClass c) const {
    std::vector<ChannelDifference> out;
    for (const ChannelDifference& d : channels)
        if (d.has(c)) out.push_back(d);
    return out;
}

ListComparison CompareLists(const ListPage& oldPage, const ListPage& newPage) {
    // The older list is the reference: the pairs are those apply-reference would make
    // when putting the new list back into the old order.
    const ReferenceMatch match = MatchReference(newPage, oldPage);
    ListComparison result;
    result.passCounts = match.passCounts;
    const std::vector<std::uint8_t> oldLists = ListsNaming(oldPage);
    const std::vector<std::uint8_t> newLists = ListsNaming(newPage);

    // Moved: the new rows in old order, and their longest increasing run.
    std::vector<int> newRowsInOldOrder;
    std::vector<int> oldRowsInOldOrder;
    for (int o = 1; o <= oldPage.channelCount(); ++o) {
        const int n = match.currentOf[static_cast<size_t>(o)];
        if (n == 0) continue;
        oldRowsInOldOrder.push_back(o);
        newRowsInOldOrder.push_back(n);
    }
    const std::vector<bool> stays = LongestIncreasingRun(newRowsInOldOrder);
    std::vector<bool> moved(static_cast<size_t>(oldPage.channelCount()) + 1, false);
    for (size_t i = 0; i < stays.size(); ++i)
        if (!stays[i]) moved[static_cast<size_t>(oldRowsInOldOrder[i])] = true;

    std::vector<bool> isNew(static_cast<size_t>(newPage.channelCount()) + 1, false);
    for (const int n : match.unmatchedCurrent) isNew[static_cast<size_t>(n)] = true;

    for (int n = 1; n <= newPage.channelCount(); ++n) {
        const int o = match.referenceOf[static_cast<size_t>(n)];
        ChannelDifference d;
        d.newRow = n;
        d.newLists = newLists[static_cast<size_t>(n)];
        if (o == 0) {
            if (!isNew[static_cast<size_t>(n)]) continue;  // an empty row
            d.classes = ClassBit(ChangeClass::New);
            result.channels.push_back(d);
            continue;
        }
        d.oldRow = o;
        d.oldLists = oldLists[static_cast<size_t>(o)];
        d.pass = match.passOf[static_cast<size_t>(o)];
        d.uncertain = d.pass == kMatchPasses;
        if (moved[static_cast<size_t>(o)]) d.classes |= ClassBit(ChangeClass::Moved);
        const std::string& oldName = oldPage.channelGrid.cell(o, ch::Name);
        const std::string& newName = newPage.channelGrid.cell(n, ch::Name);
        if (oldName != newName) {
            d.classes |= ClassBit(ChangeClass::Renamed);
            d.caseOnlyRename = TrimmedLower(oldName) == TrimmedLower(newName);
        }
        d.fields = TuningDifferences(oldPage, o, newPage, n);
        if (d.fields != 0) d.classes |= ClassBit(ChangeClass::Retuned);
        if (d.oldLists != d.newLists) d.classes |= ClassBit(ChangeClass::FavouritesChanged);
        result.channels.push_back(d);
    }
    for (const int o : match.unmatchedReference) {
        ChannelDifference d;
        d.oldRow = o;
        d.oldLists = oldLists[static_cast<size_t>(o)];
        d.classes = ClassBit(ChangeClass::Removed);
        result.channels.push_back(d);
    }
    for (const ChannelDifference& d : result.channels) {
        if (d.classes == 0) ++result.unchanged;
        for (const ChangeClass c : kAllChangeClasses)
            if (d.has(c)) ++result.counts[static_cast<size_t>(c)];
    }
    return result;
}

const char* ChangeClassWord(ChangeClass c) {
    switch (c) {
        case ChangeClass::New:
            return "new";
        case ChangeClass::Removed:
            return "removed";
        case ChangeClass::Moved:
            return "moved";
        case ChangeClass::Renamed:
            return "renamed";
        case ChangeClass::Retuned:
            return "retuned";
        case ChangeClass::FavouritesChanged:
            return "favourites";
    }
    return "";
}

const char* TuningFieldWord(TuningField f) {
    switch (f) {
        case TuningField::Frequency:
            return "frequency";
        case TuningField::Polarisation:
            return "polarisation";
        case TuningField::SymbolRate:
            return "symbol_rate";
        case TuningField::Fec:
            return "fec";
        case TuningField::Tid:
            return "tid";
        case TuningField::Nid:
            return "nid";
        case TuningField::Sid:
            return "sid";
        case TuningField::Transponder:
            return "transponder";
    }
    return "";
}

const char* ChangeClassCaption(ChangeClass c) {
    switch (c) {
        case ChangeClass::New:
            return TrNoop("Nuovi");
        case ChangeClass::Removed:
            return TrNoop("Rimossi");
        case ChangeClass::Moved:
            return TrNoop("Spostati");
        case ChangeClass::Renamed:
            return TrNoop("Rinominati");
        case ChangeClass::Retuned:
            return TrNoop("Sintonia cambiata");
        case ChangeClass::FavouritesChanged:
            return TrNoop("Preferiti cambiati");
    }
    return "";
}

std::string TuningFieldsText(unsigned fields) {
    static constexpr std::array<const char*, kTuningFields> kNames = {
        TrNoop("frequenza"),   TrNoop("polarizzazione"),
        TrNoop("symbol rate"), TrNoop("FEC"),
        TrNoop("TID"),         TrNoop("NID"),
        TrNoop("SID"),         TrNoop("transponder")};
    std::string text;
    for (int f = 0; f < kTuningFields; ++f) {
        if ((fields & (1u << f)) == 0) continue;
        if (!text.empty()) text += ", ";
        text += Tr(kNames[static_cast<size_t>(f)]);
    }
    return text;
}

// ---- taking back ------------------------------------------------------------------

int FirstRowAfterChannels(const ListPage& page) {
    // Empty slots are written either as "Trasponder" 255 or as zeroed records
    // (transponder 0): what counts is that no name and no transponder in use is left.
    for (int r = page.channelCount(); r >= 1; --r) {
        const bool empty =
            page.channelGrid.cell(r, ch::Name).empty() && TransponderInUse(page, r) == 0;
        if (!empty) return r + 1;
    }
    return 1;
}

namespace {

// Answers the paste's question "insert or overwrite?" with overwrite (the channels go
// onto the empty rows at the end) and hands every other message to the user.
class OverwritingPrompts final : public UserPrompts {
public:
    explicit OverwritingPrompts(UserPrompts& user) : user_(user) {}
    Answer ask(const std::string& text, const std::string& title, Icon icon,
               Buttons buttons) override {
        if (buttons == Buttons::YesNoCancel && !answered_) {
            answered_ = true;
            return Answer::No;
        }
        return user_.ask(text, title, icon, buttons);
    }
    Answer askDiscarding(const std::string& text, const std::string& title, Icon icon,
                         Buttons buttons) override {
        return user_.askDiscarding(text, title, icon, buttons);
    }

private:
    UserPrompts& user_;
    bool answered_ = false;
};

bool Removed(const ChannelDifference& d, const ListPage& oldPage) {
    return d.has(ChangeClass::Removed) && d.oldRow >= 1 && d.oldRow <= oldPage.channelCount();
}

}  // namespace

EditResult TakeRemoved(ListPage& newPage, const ListPage& oldPage,
                       const std::vector<ChannelDifference>& chosen, UserPrompts& prompts,
                       Progress& progress) {
    std::vector<int> rows;
    for (const ChannelDifference& d : chosen)
        if (Removed(d, oldPage)) rows.push_back(d.oldRow);
    if (rows.empty() || newPage.channelCount() < 1) return {};
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());

    // One clipboard for rows that need not stand together: each row copied on its own,
    // its transponder carried once.
    ChannelClipboard clipboard;
    try {
        for (const int r : rows) {
            ChannelClipboard one;
            CopyChannels(oldPage, r, r, one);
            clipboard.channels.insert(clipboard.channels.end(), one.channels.begin(),
                                      one.channels.end());
            for (const ClipTransponder& t : one.transponders) {
                const bool carried =
                    std::any_of(clipboard.transponders.begin(), clipboard.transponders.end(),
                                [&](const ClipTransponder& c) {
                                    return c.transponderMark == t.transponderMark;
                                });
                if (!carried) clipboard.transponders.push_back(t);
            }
        }
    } catch (const ConversionError& error) {
        prompts.tell(error.what(), Tr("Attenzione"), Icon::Error);
        return {};
    }
    clipboard.hasContent = true;
    clipboard.sourceImage = oldPage.imageId;
    // Pasting from a page of the same image would keep the transponder numbers, which
    // mean nothing in another list; the two lists are different lists in any case.
    if (clipboard.sourceImage == newPage.imageId) clipboard.sourceImage = ~newPage.imageId;

    const int first = FirstRowAfterChannels(newPage);
    const int room = newPage.channelCount() - first + 1;
    const int wanted = static_cast<int>(clipboard.channels.size());
    if (room < wanted) {
        prompts.tell(Fmt(Tr("Non c'è posto in fondo alla lista per i canali da riprendere: ne "
                            "servono %1, le "
                            "righe libere sono %2."),
                         wanted, std::max(room, 0)),
                     Tr("Attenzione"), Icon::Error);
        return {};
    }
    OverwritingPrompts overwriting(prompts);
    if (!PasteChannels(newPage, first, clipboard, overwriting, progress)) return {};
    return {true, first};
}

EditResult TakeNames(ListPage& newPage, const ListPage& oldPage,
                     const std::vector<ChannelDifference>& chosen) {
    std::vector<int> renamed;
    for (const ChannelDifference& d : chosen) {
        if (!d.has(ChangeClass::Renamed) || d.oldRow < 1 || d.oldRow > oldPage.channelCount() ||
            d.newRow < 1 || d.newRow > newPage.channelCount())
            continue;
        const std::string& name = oldPage.channelGrid.cell(d.oldRow, ch::Name);
        if (newPage.channelGrid.cell(d.newRow, ch::Name) == name) continue;
        newPage.channelGrid.setCell(d.newRow, ch::Name, name);
        renamed.push_back(d.newRow);
    }
    if (renamed.empty()) return {};
    // The entries show their channel's name.
    std::vector<bool> isRenamed(static_cast<size_t>(newPage.channelCount()) + 1, false);
    for (const int r : renamed) isRenamed[static_cast<size_t>(r)] = true;
    for (Grid& list : newPage.favouriteGrids)
        for (int s = 1; s < list.rowCount(); ++s) {
            const int n = TransponderReference(list.cell(s, fav::Channel));
            if (n >= 1 && n <= newPage.channelCount() && isRenamed[static_cast<size_t>(n)])
                list.setCell(s, fav::Name, newPage.channelGrid.cell(n, ch::Name));
        }
    newPage.modified = true;
    return {true, *std::min_element(renamed.begin(), renamed.end())};
}

EditResult TakeFavourites(ListPage& newPage, const std::vector<ChannelDifference>& chosen) {
    std::vector<int> rows;
    for (const ChannelDifference& d : chosen) {
        if (d.oldRow == 0 || d.newRow < 1 || d.newRow > newPage.channelCount()) continue;
        const std::string wanted = std::to_string(d.oldLists);
        if (newPage.channelGrid.cell(d.newRow, ch::Favourites) == wanted &&
            d.oldLists == d.newLists)
            continue;
        // A Single list keeps no favourites lists: nothing to take.
        if (newPage.layout == ListLayout::Single) continue;
        newPage.channelGrid.setCell(d.newRow, ch::Favourites, wanted);
        rows.push_back(d.newRow);
    }
    if (rows.empty()) return {};
    std::sort(rows.begin(), rows.end());
    UpdateChannelRows(rows, newPage, InactiveInLists::Stay);
    newPage.modified = true;
    return {true, rows.front()};
}

}  // namespace rivo
