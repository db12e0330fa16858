// `rivo800-tool edit` with sort and apply-reference: a Split and a Single image sorted,
// a rescanned image put back into an old image's order (favourites kept or taken, names
// taken), the counts on standard error, and arguments the command line refuses.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "channel_fixtures.h"
#include "channels/list_page.h"
#include "tool/edit_ops_reorder.h"
#include "tool_run.h"

namespace rivo {
namespace {

using testsupport::ChannelSpec;
using testsupport::TransponderSpec;
using tool::testing::RunPageTool;
using Strings = std::vector<std::string>;

// Transponder 1: 11747 H (oscillator 10600 with the tone on), TID 1100, NID 1.
TransponderSpec TransponderAt() { return TransponderSpec{1147000000, 1100, 1, 3, 0, 2, 1 | 2}; }

std::string WriteImage(testsupport::TempFolder& folder, const std::string& file, ListLayout layout,
                       const std::vector<ChannelSpec>& channels,
                       const std::array<std::vector<std::uint16_t>, 8>& favourites = {},
                       const std::array<std::string, 8>& listNames = {}) {
    testsupport::ChannelImageSpec spec;
    spec.layout = layout;
    spec.transponders = {TransponderAt()};
    spec.channels = channels;
    spec.favourites = favourites;
    spec.listNames = listNames;
    const std::string path = folder.path(file);
    EXPECT_EQ(WriteFileAtomically(path, testsupport::BuildChannelImage(spec)), "");
    return path;
}

Strings NamesOf(const nlohmann::json& dump, int count) {
    Strings out;
    for (int r = 0; r < count; ++r)
        out.push_back(dump["channels"][static_cast<size_t>(r)]["cells"][1]);
    return out;
}

Strings SlotsOf(const nlohmann::json& dump, int list, int count) {
    Strings out;
    for (int s = 0; s < count; ++s)
        out.push_back(
            dump["favourites"][static_cast<size_t>(list - 1)][static_cast<size_t>(s)]["cells"][2]);
    return out;
}

class EditReorder : public ::testing::Test {
protected:
    EditReorder() { EXPECT_TRUE(tool::kReorderOperationsRegistered); }

    tool::testing::ToolRun edit(const std::string& image, const Strings& operations) {
        Strings args{"edit", image, "--dump", noIni_};
        args.insert(args.end(), operations.begin(), operations.end());
        return RunPageTool(args);
    }

    testsupport::TempFolder folder_;
    const std::string noIni_ = "--sr-ini=/nonexistent/Sr.Ini";
};

TEST_F(EditReorder, SortOnSplitAndSingleImages) {
    const std::vector<ChannelSpec> channels = {{"zeta", 4, 1, 30},
                                               {"\xC9"
                                                "lite",
                                                4, 1, 10},
                                               {"alfa", 4, 255, 20},
                                               {"Beta", 4, 1, 5}};
    for (const ListLayout layout : {ListLayout::Split, ListLayout::Single}) {
        SCOPED_TRACE(layout == ListLayout::Split ? "Split" : "Single");
        const std::string image =
            WriteImage(folder_, layout == ListLayout::Split ? "split.Bin" : "single.Bin", layout,
                       channels, {std::vector<std::uint16_t>{1, 3}});
        const int n = layout == ListLayout::Split ? 1998 : 4;
        const std::string last = std::to_string(n);
        struct Case {
            std::string key;
            Strings first4;
        };
        const Case cases[] = {
            // Empty rows (Split) sort after the names.
            {"name", {"alfa", "Beta", "\xC3\x89lite", "zeta"}},
            {"sid", {"Beta", "\xC3\x89lite", "alfa", "zeta"}},
            // alfa has no transponder and goes last among the four.
            {"frequency", {"Beta", "\xC3\x89lite", "zeta", "alfa"}},
        };
        for (const Case& c : cases) {
            // Name sorts the whole list, so the empty records of a Split image go last;
            // the others sort the four channels only.
            const auto run = edit(image, {"sort", "1", c.key == "name" ? last : "4", c.key});
            ASSERT_EQ(run.code, 0) << run.err;
            const auto dump = nlohmann::json::parse(run.out);
            EXPECT_EQ(NamesOf(dump, 4), c.first4) << c.key;
        }
        if (layout == ListLayout::Split) {
            // Favourites follow: zeta (1) and alfa (3) stand at 4 and 1 after a name sort.
            const auto dump = nlohmann::json::parse(edit(image, {"sort", "1", last, "name"}).out);
            EXPECT_EQ(SlotsOf(dump, 1, 3), (Strings{"4", "1", "0"}));
        }
    }
}

TEST_F(EditReorder, ApplyReferencePutsARescanBackInTheOldOrder) {
    const std::string old = WriteImage(
        folder_, "old.Bin", ListLayout::Split,
        {{"Mio Uno", 4, 1, 1}, {"Mio Due", 4, 1, 2}, {"Sparito", 4, 1, 99}, {"Tre", 4, 255, 0}},
        {std::vector<std::uint16_t>{2, 3, 1}}, {"Sport"});
    const std::string rescan =
        WriteImage(folder_, "new.Bin", ListLayout::Split,
                   {{"Nuovo", 4, 1, 7}, {"TRE", 4, 255, 0}, {"Uno", 4, 1, 1}, {"Due", 4, 1, 2}},
                   {std::vector<std::uint16_t>{1, 4}}, {"Nuova"});
    {
        const auto run = edit(rescan, {"apply-reference", old, "keep"});
        ASSERT_EQ(run.code, 0) << run.err;
        const auto dump = nlohmann::json::parse(run.out);
        EXPECT_EQ(NamesOf(dump, 4), (Strings{"Uno", "Due", "TRE", "Nuovo"}));
        EXPECT_EQ(SlotsOf(dump, 1, 3), (Strings{"4", "2", "0"}));  // Nuovo and Due, renumbered
        EXPECT_EQ(dump["list_names"][0], "Nuova");
        EXPECT_EQ(run.err,
                  "apply-reference: abbinati 3 (passo 1: 0, passo 2: 2, passo 3: 0, passo 4: 1), "
                  "non abbinati 1 "
                  "(riferimento 1)\n");
    }
    {
        const auto run = edit(rescan, {"apply-reference", old, "take", "names"});
        ASSERT_EQ(run.code, 0) << run.err;
        const auto dump = nlohmann::json::parse(run.out);
        EXPECT_EQ(NamesOf(dump, 4), (Strings{"Mio Uno", "Mio Due", "Tre", "Nuovo"}));
        // Reference list 1 names 2, 3 (unmatched: left out), 1.
        EXPECT_EQ(SlotsOf(dump, 1, 3), (Strings{"2", "1", "0"}));
        EXPECT_EQ(dump["favourites"][0][0]["cells"][1], "Mio Due");
        EXPECT_EQ(dump["list_names"][0], "Sport");
        EXPECT_EQ(dump["channels"][0]["cells"][10], "1");
        EXPECT_EQ(dump["channels"][3]["cells"][10], "0");
    }
}

TEST_F(EditReorder, TakingFavouritesFromOrIntoASingleImageIsRefused) {
    const std::string split = WriteImage(folder_, "split.Bin", ListLayout::Split, {{"a"}, {"b"}});
    const std::string single =
        WriteImage(folder_, "single.Bin", ListLayout::Single, {{"b"}, {"a"}});
    for (const auto& [image, reference] : {std::pair{single, split}, {split, single}}) {
        const auto run = edit(image, {"apply-reference", reference, "take"});
        EXPECT_EQ(run.code, 4);
        EXPECT_NE(run.err.find("I preferiti possono essere presi"), std::string::npos) << run.err;
    }
    const auto run = edit(single, {"apply-reference", split, "keep", "names"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(NamesOf(nlohmann::json::parse(run.out), 2), (Strings{"a", "b"}));
}

TEST_F(EditReorder, ReferenceOpenParametersFromSrcOptions) {
    // The reference read through another high-band oscillator puts its transponder
    // 100 MHz away: pass 1 (which needs the frequency) no longer matches, pass 2 does.
    const std::string current =
        WriteImage(folder_, "cur.Bin", ListLayout::Split, {{"X", 4, 1, 5}, {"Y", 4, 1, 6}});
    const std::string reference =
        WriteImage(folder_, "ref.Bin", ListLayout::Split, {{"Y", 4, 1, 6}, {"X", 4, 1, 5}});
    const auto plain = edit(current, {"apply-reference", reference, "keep"});
    ASSERT_EQ(plain.code, 0) << plain.err;
    EXPECT_NE(plain.err.find("passo 1: 2, passo 2: 0"), std::string::npos) << plain.err;
    const auto shifted =
        edit(current, {"apply-reference", reference, "keep", "--src-lnb-high", "10700"});
    ASSERT_EQ(shifted.code, 0) << shifted.err;
    EXPECT_NE(shifted.err.find("passo 1: 0, passo 2: 2"), std::string::npos) << shifted.err;
    EXPECT_EQ(NamesOf(nlohmann::json::parse(shifted.out), 2), (Strings{"Y", "X"}));
}

TEST_F(EditReorder, BadArgumentsAreUsageErrors) {
    const std::string image = WriteImage(folder_, "a.Bin", ListLayout::Single, {{"a"}, {"b"}});
    const Strings cases[] = {
        {"sort", "1", "2"},
        {"sort", "1", "2", "Name"},
        {"sort", "2", "1", "name"},
        {"sort", "0", "2", "sid"},
        {"sort", "1", "3", "sid"},
        {"apply-reference"},
        {"apply-reference", image},
        {"apply-reference", image, "both"},
        {"apply-reference", image, "keep", "--src-lnb-low", "x"},
        {"apply-reference", image, "keep", "--src-bogus", "1"},
    };
    for (const Strings& operations : cases) {
        SCOPED_TRACE(operations.size() > 1 ? operations[0] + " " + operations.back()
                                           : operations[0]);
        EXPECT_EQ(edit(image, operations).code, 1);
    }
    EXPECT_EQ(edit(image, {"apply-reference", folder_.path("missing.Bin"), "keep"}).code, 4);
}

}  // namespace
}  // namespace rivo
