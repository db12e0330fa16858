// `rivo800-tool edit ... apply-order FILE`: an exported channel table edited as in a
// spreadsheet and applied to a rescan, its options, the counts on standard error, and
// the files and arguments that are refused without writing anything.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "channel_fixtures.h"
#include "channels/list_page.h"
#include "tool/edit_ops_order_file.h"
#include "tool_run.h"

namespace rivo {
namespace {

using testsupport::ChannelSpec;
using testsupport::TransponderSpec;
using tool::testing::ReadText;
using tool::testing::RunPageTool;
using Strings = std::vector<std::string>;

// Transponder 1: 11747 H, TID 1100, NID 1.
TransponderSpec TransponderAt() { return TransponderSpec{1147000000, 1100, 1, 3, 0, 2, 1 | 2}; }

std::string WriteImage(testsupport::TempFolder& folder, const std::string& file,
                       const std::vector<ChannelSpec>& channels,
                       const std::array<std::vector<std::uint16_t>, 8>& favourites = {}) {
    testsupport::ChannelImageSpec spec;
    spec.layout = ListLayout::Split;
    spec.transponders = {TransponderAt()};
    spec.channels = channels;
    spec.favourites = favourites;
    const std::string path = folder.path(file);
    EXPECT_EQ(WriteFileAtomically(path, testsupport::BuildChannelImage(spec)), "");
    return path;
}

std::string WriteText(testsupport::TempFolder& folder, const std::string& file,
                      const std::string& text) {
    const std::string path = folder.path(file);
    EXPECT_EQ(WriteFileAtomically(path, Bytes(text.begin(), text.end())), "");
    return path;
}

Strings NamesOf(const nlohmann::json& dump, int count) {
    Strings out;
    for (int r = 0; r < count; ++r)
        out.push_back(dump["channels"][static_cast<size_t>(r)]["cells"][1]);
    return out;
}

class EditOrderFile : public ::testing::Test {
protected:
    EditOrderFile() { EXPECT_TRUE(tool::kOrderFileOperationsRegistered); }

    tool::testing::ToolRun edit(const std::string& image, const Strings& operations) {
        Strings args{"edit", image, "--dump", noIni_};
        args.insert(args.end(), operations.begin(), operations.end());
        return RunPageTool(args);
    }

    testsupport::TempFolder folder_;
    const std::string noIni_ = "--sr-ini=/nonexistent/Sr.Ini";
};

TEST_F(EditOrderFile, ExportedTableEditedAndAppliedToARescan) {
    const std::string old =
        WriteImage(folder_, "old.Bin",
                   {{"Uno", 4, 1, 1}, {"Due", 4, 1, 2}, {"=Tre", 4, 1, 3}, {"Quattro", 4, 1, 4}});
    const auto exported = RunPageTool({"export", old, noIni_, "--table", "channels"});
    ASSERT_EQ(exported.code, 0) << exported.err;
    // The first rows as the export writes them: the identity at the end, the formula guarded.
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < exported.out.size();) {
        const std::size_t end = exported.out.find("\r\n", at);
        lines.push_back(exported.out.substr(at, end - at));
        at = end + 2;
    }
    ASSERT_EQ(lines.size(), 1u + 1998u);
    EXPECT_EQ(lines[0],
              "Num.,Nome canale,Trasponder,SID,VPid,APid,VECM,AECM,PCR,Status,Preferenza,Frequenza,"
              "Polarizzazione,TID,NID,Satellite");
    EXPECT_EQ(lines[3].substr(0, 8), "3,'=Tre,");
    EXPECT_EQ(lines[3].substr(lines[3].size() - 23), ",11747,H,1100,1,HotBird");
    // In the spreadsheet: Quattro first and renamed, Due left out, renumbered.
    const std::string file = WriteText(folder_, "ordine.csv",
                                       "Num.;Nome canale;SID;Frequenza;Polarizzazione;TID;NID\r\n"
                                       "1;Quattro Più;4;11747;H;1100;1\r\n"
                                       "2;Uno;1;11747;H;1100;1\r\n"
                                       "3;'=Tre;3;11747;H;1100;1\r\n");
    // The rescan lists them otherwise.
    const std::string rescan =
        WriteImage(folder_, "new.Bin",
                   {{"Tre", 4, 1, 3}, {"Due", 4, 1, 2}, {"Uno", 4, 1, 1}, {"Quattro", 4, 1, 4}});
    const auto run = edit(rescan, {"apply-order", file, "names"});
    ASSERT_EQ(run.code, 0) << run.err;
    const auto dump = nlohmann::json::parse(run.out);
    EXPECT_EQ(NamesOf(dump, 4), (Strings{"Quattro Più", "Uno", "=Tre", "Due"}));
    EXPECT_EQ(
        run.err,
        "apply-order: abbinati 3 (passo 1: 0, passo 2: 1, passo 3: 2, passo 4: 0, passo 5: 0), "
        "non abbinati 1 (file 0)\n");

    // Without names the names stay; unmatched=delete empties Due's row.
    const auto kept = edit(rescan, {"apply-order", file, "unmatched=delete"});
    ASSERT_EQ(kept.code, 0) << kept.err;
    EXPECT_EQ(NamesOf(nlohmann::json::parse(kept.out), 4), (Strings{"Quattro", "Uno", "Tre", ""}));

    // --raw writes the bare cell.
    const auto raw = RunPageTool({"export", old, noIni_, "--table", "channels", "--raw"});
    EXPECT_NE(raw.out.find("\r\n3,=Tre,"), std::string::npos);
}

TEST_F(EditOrderFile, FavouritesAndNamesThatCannotBeTaken) {
    const std::string image = WriteImage(folder_, "img.Bin", {{"A", 4, 1, 1}, {"B", 4, 1, 2}},
                                         {std::vector<std::uint16_t>{1}});
    const std::string file =
        WriteText(folder_, "f.csv", "name;list1;list2\nB;1;1\nA\xE2\x98\x85;0;0\n");
    const auto run = edit(image, {"apply-order", file, "favourites", "names"});
    ASSERT_EQ(run.code, 0) << run.err;
    const auto dump = nlohmann::json::parse(run.out);
    // "A★" matched nothing by name; B came first and joined lists 1 and 2.
    EXPECT_EQ(NamesOf(dump, 2), (Strings{"B", "A"}));
    EXPECT_EQ(dump["channels"][0]["cells"][10], "3");
    const std::string noLists = WriteText(folder_, "n.csv", "name\nB\n");
    const auto refused = edit(image, {"apply-order", noLists, "favourites"});
    EXPECT_EQ(refused.code, 4);
    EXPECT_NE(refused.err.find("preferiti"), std::string::npos) << refused.err;
}

// "elimina" with a file that names no channel would empty the list: refused, nothing
// written; a name of spaces only is not taken, as a rename does not take it.
TEST_F(EditOrderFile, NothingMatchedDeletesNothingAndBlankNamesAreNotTaken) {
    const std::string image = WriteImage(folder_, "img.Bin", {{"A", 4, 1, 1}, {"B", 4, 1, 2}});
    const std::string out = folder_.path("out.Bin");
    for (const std::string& text :
         {std::string("name;sid\n"), std::string("name;sid\nZ;9\nY;8\n")}) {
        SCOPED_TRACE(text);
        const std::string file = WriteText(folder_, "other.csv", text);
        const auto run =
            RunPageTool({"edit", image, out, noIni_, "apply-order", file, "unmatched=delete"});
        EXPECT_EQ(run.code, 4);
        EXPECT_EQ(run.err,
                  "Nessun canale della lista è nel file: con \"elimina\" verrebbero eliminati "
                  "tutti. Ordine "
                  "non importato.\n");
        EXPECT_FALSE(std::filesystem::exists(out));
        EXPECT_EQ(edit(image, {"apply-order", file}).code, 0);  // kept at the end: nothing lost
    }
    const std::string blank =
        WriteText(folder_, "blank.csv", "name;sid;tid;nid\n   ;2;1100;1\nA;1;1100;1\n");
    const auto run = edit(image, {"apply-order", blank, "names"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(NamesOf(nlohmann::json::parse(run.out), 2), (Strings{"B", "A"}));
    // One language in the whole line, template and reason.
    EXPECT_EQ(run.err.substr(0, run.err.find('\n')),
              "apply-order: riga 2: il nome '   ' non viene preso: nome vuoto");
}

TEST_F(EditOrderFile, BadFilesAndArgumentsChangeNothing) {
    const std::string image = WriteImage(folder_, "img.Bin", {{"A", 4, 1, 1}});
    const std::string bad = WriteText(folder_, "bad.csv", "Num.;Nome canale\n1;A\nsette;B\n");
    const std::string out = folder_.path("out.Bin");
    const auto run = RunPageTool({"edit", image, out, noIni_, "apply-order", bad});
    EXPECT_EQ(run.code, 4);
    EXPECT_NE(run.err.find("bad.csv: Riga 3"), std::string::npos) << run.err;
    EXPECT_FALSE(std::filesystem::exists(out));
    EXPECT_EQ(edit(image, {"apply-order", folder_.path("missing.csv")}).code, 4);
    EXPECT_EQ(edit(image, {"apply-order", bad, "unmatched=maybe"}).code, 1);
    EXPECT_EQ(edit(image, {"apply-order"}).code, 1);
}

}  // namespace
}  // namespace rivo
