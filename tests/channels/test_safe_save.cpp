// A save reads the new file back before it replaces the target, and keeps the first
// version of a file it overwrites as FILE.bak.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <optional>

#include "channel_fixtures.h"
#include "channels/page_io.h"
#include "image/image_compare.h"

namespace rivo {
namespace {

using testsupport::BuildChannelImage;
using testsupport::MakeChannelImageSpec;
using testsupport::OpenChannelImage;
using testsupport::TempFolder;

Bytes ReadFile(const std::string& path) {
    std::string error;
    auto bytes = ReadWholeFile(path, error);
    EXPECT_TRUE(bytes.has_value()) << error;
    return bytes.value_or(Bytes{});
}

void WriteFile(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Files in the folder other than the ones named: a failed save must leave no
// temporary file behind.
std::vector<std::string> StrayFiles(const TempFolder& folder, const std::vector<std::string>& expected) {
    std::vector<std::string> stray;
    for (const auto& entry : std::filesystem::directory_iterator(folder.root())) {
        const std::string name = entry.path().filename().string();
        if (std::find(expected.begin(), expected.end(), name) == expected.end()) stray.push_back(name);
    }
    return stray;
}

class SafeSave : public ::testing::Test {
protected:
    void SetUp() override {
        original = BuildChannelImage(MakeChannelImageSpec(ListLayout::Split, 1200, 20));
        target = folder.path("list.Bin");
        WriteFile(target, original);
        page = OpenChannelImage(original);
        page->channelGrid.setCell(3, ch::Name, "EDITED");
        page->modified = true;
    }

    Bytes original;
    TempFolder folder;
    std::string target;
    std::unique_ptr<ListPage> page;
    NullProgress progress;
};

TEST_F(SafeSave, FirstSaveKeepsTheOriginalAsBackupAndLaterSavesLeaveIt) {
    ASSERT_TRUE(SavePage(*page, target, progress).ok);
    EXPECT_EQ(ReadFile(target + ".bak"), original);
    const Bytes firstSave = ReadFile(target);
    EXPECT_NE(firstSave, original);

    page->channelGrid.setCell(4, ch::Name, "AGAIN");
    ASSERT_TRUE(SavePage(*page, target, progress).ok);
    EXPECT_EQ(ReadFile(target + ".bak"), original) << "the first backup is kept";
    EXPECT_NE(ReadFile(target), firstSave);
    EXPECT_TRUE(StrayFiles(folder, {"list.Bin", "list.Bin.bak"}).empty());

    // A new file gets no backup: there was nothing to keep.
    ASSERT_TRUE(SavePage(*page, folder.path("new.Dat"), progress).ok);
    EXPECT_FALSE(std::filesystem::exists(folder.path("new.Dat.bak")));
}

TEST_F(SafeSave, AWrittenFileThatDoesNotReadBackIdenticallyIsRefused) {
    struct Damage {
        const char* what;
        std::function<void(Bytes&)> apply;
        const char* expectedInMessage;
    };
    const Damage damages[] = {
        // The channel table of module "TCS" starts in sector 1; flip one of its bytes.
        {"a changed byte in a channel entry", [](Bytes& b) { b[65536 + 32 + 16 + 20 + 40] ^= 0x55; },
         "offset"},
        {"a truncated file", [](Bytes& b) { b.resize(b.size() / 2); }, "byte"},
        {"an emptied offset table", [](Bytes& b) { std::fill(b.begin() + 65536, b.begin() + 65536 + 32, 0); },
         "moduli"},
    };
    for (const auto& damage : damages) {
        SCOPED_TRACE(damage.what);
        PageSaveOptions options;
        options.afterTempWritten = [&](const std::string& tempPath) {
            Bytes bytes = ReadFile(tempPath);
            damage.apply(bytes);
            WriteFile(tempPath, bytes);
        };
        const PageSaveResult result = SavePage(*page, target, progress, options);
        EXPECT_FALSE(result.ok);
        EXPECT_NE(result.message.find(damage.expectedInMessage), std::string::npos) << result.message;
        EXPECT_EQ(ReadFile(target), original) << "the target is untouched";
        EXPECT_FALSE(std::filesystem::exists(target + ".bak")) << "no backup of a save that did not happen";
        EXPECT_TRUE(StrayFiles(folder, {"list.Bin"}).empty()) << "the temporary file is removed";
        EXPECT_TRUE(page->modified);
    }
    // The same page saves once nothing interferes.
    EXPECT_TRUE(SavePage(*page, target, progress).ok);
}

TEST_F(SafeSave, AWriteThatFailsLeavesTheOriginalIntact) {
    // A missing folder: nothing can be created there.
    PageSaveResult missing = SavePage(*page, folder.path("no/such/folder/list.Bin"), progress);
    EXPECT_FALSE(missing.ok);
    EXPECT_NE(missing.message.find("no/such/folder"), std::string::npos) << missing.message;

    // A full disk, played by a file size limit smaller than an image: the write fails
    // part-way and the target must not be touched.
    struct rlimit old {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 100000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const PageSaveResult full = SavePage(*page, target, progress);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(full.ok);
    EXPECT_FALSE(full.message.empty());
    EXPECT_EQ(ReadFile(target), original);
    EXPECT_TRUE(page->modified);
    EXPECT_TRUE(StrayFiles(folder, {"list.Bin"}).empty());
}

TEST(ImageDifference, NamesTheModuleEntryAndOffset) {
    const Bytes bytes = BuildChannelImage(MakeChannelImageSpec(ListLayout::Single, 10, 3));
    KvxImage a, b;
    ASSERT_TRUE(a.loadBytes(bytes).ok());
    ASSERT_TRUE(b.loadBytes(bytes).ok());
    EXPECT_EQ(FirstImageDifference(a, b), "");

    KvxModule* tcs = nullptr;
    for (int i = 0; i < b.moduleCount(); ++i)
        if (b.module(i)->name() == "TCS") tcs = b.module(i);
    ASSERT_NE(tcs, nullptr);
    Bytes changed = tcs->entry(0)->data();
    changed[7] ^= 1;
    tcs->entry(0)->setData(changed);
    const std::string difference = FirstImageDifference(a, b);
    EXPECT_NE(difference.find("\"TCS\""), std::string::npos) << difference;
    EXPECT_NE(difference.find("offset 7"), std::string::npos) << difference;

    b.deleteModule(b.moduleCount() - 1);
    EXPECT_NE(FirstImageDifference(a, b), "");
}

}  // namespace
}  // namespace rivo
