// The copy/paste and transponder operations of `rivo800-tool edit`: arguments, answers,
// refusals as exit status 4, and a copy from another image surviving save and reopen.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "channel_fixtures.h"
#include "channels/open_params.h"
#include "channels/page_io.h"
#include "editing/clipboard.h"
#include "page_maker.h"
#include "tool/edit_ops_transponders.h"
#include "tool/tool.h"
#include "tool_run.h"

#include <nlohmann/json.hpp>

namespace rivo::tool {
namespace {

using testsupport::ChannelSpec;
using testsupport::TransponderSpec;

struct Context {
    explicit Context(ListPage p) : page(std::move(p)), io{out, err}, context{page, params, io} {
        params.symbolRates = page.symbolRates;
    }
    ListPage page;
    OpenParams params;
    std::ostringstream out, err;
    ToolIo io;
    EditContext context;
};

using Operation = std::size_t (*)(const std::vector<std::string>&, std::size_t, EditContext&);

// Runs one operation; returns the exit status it ended with (0 when it returned) and
// checks how many words it used.
int RunOp(Operation operation, Context& c, const std::vector<std::string>& words, size_t expectUsed = 0) {
    try {
        const size_t used = operation(words, 0, c.context);
        if (expectUsed) {
            EXPECT_EQ(used, expectUsed);
        }
        return kExitOk;
    } catch (const ToolError& e) {
        c.err << e.what();
        return e.exitCode;
    }
}

// Transponders 1 (11747, in use), 2 free, 3 free; channels 1-2 on 1, 3 empty.
ListPage SmallTarget(std::uint64_t id = 7) {
    ListPage page = pages::MakePage(3, 3, id);
    pages::SetTransponder(page, 1, pages::Transponder{});
    pages::SetChannel(page, 1, "A", 1);
    pages::SetChannel(page, 2, "B", 1);
    return page;
}

TEST(EditTransponders, CopyFromAnotherImageSurvivesSaveAndReopen) {
    testsupport::TempFolder folder;
    // The source image, read with LNB low 10000: its transponder 2 shows 11778.
    testsupport::ChannelImageSpec source;
    source.layout = ListLayout::Single;
    source.transponders = {TransponderSpec{1000000000, 1, 1, 1, 0, 2, 2},
                           TransponderSpec{1778000000, 55, 66, 2, 1, 4, 8}};
    source.channels = {ChannelSpec{"ONE", 0x04, 1}, ChannelSpec{"TWO", 0x04, 2}, ChannelSpec{"THREE", 0x04, 2}};
    const std::string sourcePath = folder.path("source.bin");
    {
        const auto bytes = testsupport::BuildChannelImage(source);
        std::ofstream(sourcePath, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                          static_cast<std::streamsize>(bytes.size()));
    }
    // The target image: three transponders, the first in use.
    testsupport::ChannelImageSpec target;
    target.layout = ListLayout::Single;
    target.transponders = {TransponderSpec{1997000000, 1100, 1, 1, 0, 2, 2}, TransponderSpec{}, TransponderSpec{}};
    target.channels = {ChannelSpec{"T1", 0x04, 1}, ChannelSpec{"T2", 0x04, 1}, ChannelSpec{"T3", 0x04, 1},
                       ChannelSpec{"T4", 0x04, 1}};
    auto page = testsupport::OpenChannelImage(testsupport::BuildChannelImage(target));
    Context c(std::move(*page));
    c.params = testsupport::FixtureOpenParams();

    EXPECT_EQ(RunOp(CopyFromOperation, c,
                  {"copy-from", sourcePath, "2", "3", "--src-lnb-low", "10000", "--src-sat-b", "Eutelsat", "paste"}, 8),
              kExitOk)
        << c.err.str();
    ASSERT_TRUE(c.context.clipboard);
    EXPECT_EQ(c.context.clipboard->transponders.size(), 1u);
    EXPECT_EQ(RunOp(PasteOperation, c, {"paste", "2", "insert"}, 3), kExitOk) << c.err.str();

    NullProgress progress;
    const std::string out = folder.path("out.bin");
    ASSERT_TRUE(SavePage(c.page, out, progress).ok);
    OpenParams reopenParams = testsupport::FixtureOpenParams();
    reopenParams.fileName = out;
    const OpenResult reopened = OpenPage(reopenParams, progress);
    ASSERT_EQ(reopened.status, OpenResult::Status::Ok) << reopened.message;
    const ListPage& saved = *reopened.page;
    std::vector<std::string> names, transponders;
    for (int i = 1; i <= 4; ++i) {
        names.push_back(saved.channelGrid.cell(i, ch::Name));
        transponders.push_back(saved.channelGrid.cell(i, ch::Transponder));
    }
    EXPECT_EQ(names, (std::vector<std::string>{"T1", "TWO", "THREE", "T2"}));
    EXPECT_EQ(transponders, (std::vector<std::string>{"1", "2", "2", "1"}));
    // 11778 read with 10000 becomes 11528 with this image's 9750; satellite bit B kept.
    EXPECT_EQ(saved.transponderGrid.row(2).cells,
              (std::vector<std::string>{"2", "11528", "55", "66", "2", "22000", "7/8", "V", "Off", "Astra"}));
    EXPECT_EQ(saved.transponderGrid.cell(1, tp::Frequency), "11747");
}

void WriteBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::string RatesOption() {
    std::string rates;
    for (std::int32_t rate : testsupport::FixtureRates()) rates += (rates.empty() ? "" : ",") + std::to_string(rate);
    return rates;
}

TEST(EditTransponders, ThroughTheEditCommand) {
    testsupport::TempFolder folder;
    // Source read with LNB low 10000: transponder 1 shows 11778.
    testsupport::ChannelImageSpec source;
    source.layout = ListLayout::Single;
    source.transponders = {TransponderSpec{1778000000, 5, 6, 1, 1, 2, 2}};
    source.channels = {ChannelSpec{"SRC", 0x04, 1}};
    WriteBytes(folder.path("src.bin"), testsupport::BuildChannelImage(source));
    // Target: 11000, 11002, 11004 otherwise equal (rows 1-3, one channel each), row 4 free.
    testsupport::ChannelImageSpec target;
    target.layout = ListLayout::Single;
    for (int j = 0; j < 3; ++j) target.transponders.push_back(TransponderSpec{1250000000 + j * 2000000, 1, 1, 1, 0, 2, 2});
    target.transponders.push_back(TransponderSpec{});
    target.channels = {ChannelSpec{"A", 0x04, 1}, ChannelSpec{"B", 0x04, 2}, ChannelSpec{"C", 0x04, 3}};
    WriteBytes(folder.path("dst.bin"), testsupport::BuildChannelImage(target));

    const std::string out = folder.path("out.bin");
    const auto edited = testing::RunPageTool({"edit", folder.path("dst.bin"), out, "--symbol-rates", RatesOption(),
                                              "optimise-transponders", "copy-from", folder.path("src.bin"), "1", "1",
                                              "--src-lnb-low=10000", "paste", "3", "overwrite", "swap-satellites"});
    ASSERT_EQ(edited.code, 0) << edited.err;
    const auto dumped = testing::RunPageTool({"dump", out, "--symbol-rates", RatesOption()});
    ASSERT_EQ(dumped.code, 0) << dumped.err;
    const auto page = nlohmann::json::parse(dumped.out);
    std::vector<std::string> frequencies, satellites, channels;
    for (const auto& row : page["transponders"]) {
        frequencies.push_back(row["cells"][1]);
        satellites.push_back(row["cells"][9]);
    }
    for (const auto& row : page["channels"]) channels.push_back(row["cells"][2]);
    // The chain ends on row 1; the pasted transponder takes the first free row (2) and
    // shows 11528 with this image's 9750. The saved satellite bits are read back with the
    // default names: swapping changed only which name each position carries.
    EXPECT_EQ(frequencies, (std::vector<std::string>{"11000", "11528", "0", "0"}));
    EXPECT_EQ(channels, (std::vector<std::string>{"1", "1", "2"}));
    EXPECT_EQ(satellites[0], "HotBird");

    const auto refused = testing::RunPageTool({"edit", folder.path("dst.bin"), "--dump", "--symbol-rates",
                                               "1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16", "copy-from",
                                               folder.path("src.bin"), "1", "1", "--src-symbol-rates", RatesOption(),
                                               "paste", "1", "insert"});
    EXPECT_EQ(refused.code, kExitFailure);
    EXPECT_NE(refused.err.find("I dati relativi al symbol rate"), std::string::npos) << refused.err;
}

TEST(EditTransponders, CopyFromAFileThatIsNoImage) {
    testsupport::TempFolder folder;
    const std::string junk = folder.path("junk.bin");
    std::ofstream(junk) << "not an image";
    Context c(SmallTarget());
    EXPECT_EQ(RunOp(CopyFromOperation, c, {"copy-from", junk, "1", "1"}), kExitUnknownFormat);
    EXPECT_EQ(RunOp(CopyFromOperation, c, {"copy-from", folder.path("missing.bin"), "1", "1"}), kExitFailure);
    EXPECT_EQ(RunOp(CopyFromOperation, c, {"copy-from", junk, "1", "1", "--src-lnb-low", "x"}), kExitUsage);
}

TEST(EditTransponders, PasteAnswersAndRefusals) {
    // Within one page: copy channel 1 and paste it over channel 3.
    Context same(SmallTarget());
    EXPECT_EQ(RunOp(PasteOperation, same, {"paste", "1", "insert"}), kExitUsage);  // nothing copied yet
    EXPECT_EQ(RunOp(CopyOperation, same, {"copy", "1", "1", "paste"}, 3), kExitOk);
    EXPECT_EQ(RunOp(PasteOperation, same, {"paste", "3", "overwrite"}), kExitOk);
    EXPECT_EQ(same.page.channelGrid.cell(3, ch::Name), "A");
    EXPECT_EQ(same.page.channelGrid.cell(3, ch::Transponder), "1");
    EXPECT_TRUE(same.page.modified);

    // Into another image whose table has no free row and does not hold the copied
    // transponder: the editor's refusal, exit 4, no change.
    pages::Transponder other;
    other.frequency = "10900";
    Context full(SmallTarget(8));
    for (int j = 1; j <= 3; ++j) pages::SetTransponder(full.page, j, other);
    full.context.clipboard = same.context.clipboard;
    const ListPage before = full.page;
    EXPECT_EQ(RunOp(PasteOperation, full, {"paste", "1", "insert"}), kExitFailure);
    EXPECT_EQ(full.err.str(), "Troppi transponder nella selezione\nDiminuire il numero di canali selezionati");
    EXPECT_EQ(full.page.channelGrid, before.channelGrid);

    // The same full table holding the copied transponder on row 3: reused, no room needed.
    Context holding(SmallTarget(9));
    for (int j = 1; j <= 2; ++j) pages::SetTransponder(holding.page, j, other);
    pages::SetTransponder(holding.page, 3, pages::Transponder{});
    holding.context.clipboard = same.context.clipboard;
    const Grid tableBefore = holding.page.transponderGrid;
    EXPECT_EQ(RunOp(PasteOperation, holding, {"paste", "3", "overwrite"}), kExitOk) << holding.err.str();
    EXPECT_EQ(holding.page.channelGrid.cell(3, ch::Transponder), "3");
    EXPECT_EQ(holding.page.transponderGrid, tableBefore);

    for (const std::vector<std::string>& words :
         {std::vector<std::string>{"paste", "0", "insert"}, {"paste", "4", "insert"}, {"paste", "1", "both"},
          {"paste", "1"}}) {
        Context bad(SmallTarget());
        bad.context.clipboard = same.context.clipboard;
        EXPECT_EQ(RunOp(PasteOperation, bad, words), kExitUsage) << words[1];
    }
    Context reversed(SmallTarget());
    EXPECT_EQ(RunOp(CopyOperation, reversed, {"copy", "2", "1"}), kExitUsage);
}

TEST(EditTransponders, DeleteOptimiseAndSwap) {
    Context keep(SmallTarget());
    EXPECT_EQ(RunOp(DeleteTransponderOperation, keep, {"delete-transponder", "1", "keep"}, 3), kExitOk);
    EXPECT_EQ(keep.page.transponderGrid.cell(1, tp::Frequency), "0");
    EXPECT_EQ(keep.page.channelGrid.cell(1, ch::Transponder), "255");
    EXPECT_EQ(RunOp(DeleteTransponderOperation, keep, {"delete-transponder", "4", "keep"}), kExitUsage);
    EXPECT_EQ(RunOp(DeleteTransponderOperation, keep, {"delete-transponder", "1", "drop"}), kExitUsage);

    // 11000, 11002, 11004: all end on row 1.
    Context chain(pages::MakePage(3, 3));
    for (int j = 1; j <= 3; ++j) {
        pages::Transponder t;
        t.frequency = std::to_string(10998 + 2 * j);
        pages::SetTransponder(chain.page, j, t);
        pages::SetChannel(chain.page, j, "C", j);
    }
    EXPECT_EQ(RunOp(OptimiseTranspondersOperation, chain, {"optimise-transponders", "swap-satellites"}, 1), kExitOk);
    EXPECT_EQ(pages::ChannelTransponders(chain.page), (std::vector<int>{1, 1, 1}));
    EXPECT_TRUE(chain.page.modified);

    Context swap(SmallTarget());
    EXPECT_EQ(RunOp(SwapSatellitesOperation, swap, {"swap-satellites"}, 1), kExitOk);
    EXPECT_EQ(swap.page.transponderGrid.cell(1, tp::Satellite), "Astra");
    EXPECT_EQ(swap.page.satelliteA, "Astra");
    EXPECT_EQ(swap.page.satelliteB, "HotBird");
}

TEST(EditTransponders, SetTransponderFields) {
    Context c(SmallTarget());
    EXPECT_EQ(RunOp(SetTransponderOperation, c,
                  {"set-transponder", "1", "frequency=12603,125", "tid=9", "nid=8", "channels=4", "sr=22000",
                   "satellite=b", "fec=7/8", "polarisation=V", "tone=On", "optimise-transponders"},
                  11),
              kExitOk)
        << c.err.str();
    EXPECT_EQ(c.page.transponderGrid.row(1).cells,
              (std::vector<std::string>{"1", "12603,125", "9", "8", "4", "22000", "7/8", "V", "On", "Astra"}));
    EXPECT_TRUE(c.page.modified);

    for (const char* field : {"sr=12345", "satellite=c", "fec=4/5", "polarisation=X", "tone=on", "colour=red"}) {
        Context bad(SmallTarget());
        EXPECT_EQ(RunOp(SetTransponderOperation, bad, {"set-transponder", "1", field}), kExitUsage) << field;
        EXPECT_FALSE(bad.page.modified);
    }
    Context none(SmallTarget());
    EXPECT_EQ(RunOp(SetTransponderOperation, none, {"set-transponder", "1"}), kExitUsage);
    Context unreadable(SmallTarget());
    unreadable.page.transponderGrid.setCell(1, tp::SymbolRate, "fast");
    EXPECT_EQ(RunOp(SetTransponderOperation, unreadable, {"set-transponder", "1", "tid=2"}), kExitFailure);
    EXPECT_EQ(unreadable.err.str(), "'fast' is not a valid integer value");
}

}  // namespace
}  // namespace rivo::tool
