// `rivo800-tool save` and `edit` on the target's side: a file its owner cannot write
// is refused (exit 4), links are followed, other hard links are reported, and cells the
// format cannot keep are listed on standard error while the file is saved (exit 0).
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "channel_fixtures.h"
#include "tool_run.h"

using namespace rivo;
using namespace rivo::testsupport;
using rivo::tool::testing::ReadText;
using rivo::tool::testing::RunPageTool;
using rivo::tool::testing::WriteText;

namespace {

class SaveTarget : public ::testing::Test {
protected:
    SaveTarget() {
        image_ = folder_.path("list.Bin");
        EXPECT_EQ(WriteFileAtomically(image_, BuildChannelImage(MakeChannelImageSpec(ListLayout::Single, 40, 6))), "");
    }
    TempFolder folder_;
    std::string image_;
};

TEST_F(SaveTarget, AFileItsOwnerCannotWriteIsRefusedWithExit4) {
    const std::string out = folder_.path("locked.Bin");
    WriteText(out, "old");
    ASSERT_EQ(::chmod(out.c_str(), 0444), 0);
    for (const std::vector<std::string>& args : {std::vector<std::string>{"save", image_, out},
                                                 std::vector<std::string>{"edit", image_, out, "set-channel", "1", "1", "sid=7"}}) {
        const auto run = RunPageTool(args);
        EXPECT_EQ(run.code, 4) << args[0];
        EXPECT_NE(run.err.find("protetto da scrittura"), std::string::npos) << run.err;
        EXPECT_EQ(ReadText(out), "old");
    }
}

TEST_F(SaveTarget, ThroughALinkTheLinkedFileIsReplacedAndHardLinksAreReported) {
    const std::string real = folder_.path("real.Bin"), link = folder_.path("link.Bin"), other = folder_.path("other.Bin");
    WriteText(real, "old");
    std::filesystem::create_symlink("real.Bin", link);
    std::filesystem::create_hard_link(real, other);
    const auto run = RunPageTool({"save", image_, link});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(ReadText(real).size(), 524288u);
    EXPECT_EQ(ReadText(other), "old");
    EXPECT_NE(run.err.find("aveva un altro nome"), std::string::npos) << run.err;
}

TEST_F(SaveTarget, CellsTheFormatCannotKeepAreListedAndTheFileIsSaved) {
    const std::string out = folder_.path("out.Bin");
    const auto run = RunPageTool({"edit", image_, out, "set-channel", "3", "3", "sid=70000", "set-transponder", "2",
                                  "frequency=12345", "tone=Off"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_NE(run.err.find("Canali, riga 3, colonna SID: \"70000\" \u2192 \"4464\"\n"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("Transponder, riga 2, colonna Frequenza: \"12345\" \u2192 \"8050,032704\"\n"),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("2 celle"), std::string::npos) << run.err;
    const auto dump = RunPageTool({"dump", out});
    ASSERT_EQ(dump.code, 0) << dump.err;
    EXPECT_NE(dump.out.find("8050,032704"), std::string::npos);

    // Nothing the format cannot keep: nothing on standard error.
    const auto plain = RunPageTool({"save", image_, folder_.path("plain.Bin")});
    EXPECT_EQ(plain.code, 0);
    EXPECT_EQ(plain.err, "");
}

}  // namespace
