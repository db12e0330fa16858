// Reading image files: only regular files, never blocking, never more than the limit;
// and the warning for a flash image whose file is not an image's size.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "channel_fixtures.h"
#include "image/kvx_image.h"
#include "image_builder.h"

using namespace rivo;
using namespace rivo::testsupport;

namespace {

void WriteFile(const std::string& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// A file of size bytes without writing them (a hole), so huge sizes cost nothing.
void SparseFile(const std::string& path, std::uint64_t size) {
    WriteFile(path, {});
    std::filesystem::resize_file(path, size);
}

bool ContainsPart(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

}  // namespace

TEST(ReadWholeFile, RefusesWhatIsNoRegularFileOrTooLargeWithoutBlocking) {
    TempFolder folder;
    const std::string fifo = folder.path("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::filesystem::create_directory(folder.path("dir"));
    SparseFile(folder.path("huge.Bin"), kMaxImageFileSize + 1);
    SparseFile(folder.path("3GiB.Bin"), std::uint64_t{3} << 30);
    struct Case {
        std::string path;
        std::string reason;  // part of the message
    };
    const Case cases[] = {
        {folder.path("missing.Bin"), "No such file or directory"},
        {folder.path("dir"), "Is a directory"},
        {fifo, "non è un file normale"},  // opening a FIFO must not wait for a writer
        {"/dev/zero", "non è un file normale"},
        {"/dev/null", "non è un file normale"},
        {folder.path("huge.Bin"), "è troppo grande (" + std::to_string(kMaxImageFileSize + 1) + " byte"},
        {folder.path("3GiB.Bin"), "è troppo grande (3221225472 byte"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        std::string error;
        EXPECT_FALSE(ReadWholeFile(c.path, error).has_value());
        EXPECT_TRUE(ContainsPart(error, "\"" + c.path + "\"")) << error;
        EXPECT_TRUE(ContainsPart(error, c.reason)) << error;
        // The loader passes the reason on as an unreadable file, not an unknown format.
        KvxImage image;
        const LoadResult loaded = image.loadFile(c.path);
        EXPECT_EQ(loaded.status, LoadResult::Status::Unreadable);
        EXPECT_EQ(loaded.message, error);
        EXPECT_EQ(image.moduleCount(), 0);
    }
}

TEST(ReadWholeFile, TheLimitIsInclusive) {
    TempFolder folder;
    const std::string path = folder.path("f");
    WriteFile(path, Bytes(100, 7));
    std::string error;
    auto exact = ReadWholeFile(path, error, 100);
    ASSERT_TRUE(exact.has_value()) << error;
    EXPECT_EQ(*exact, Bytes(100, 7));
    EXPECT_FALSE(ReadWholeFile(path, error, 99).has_value());
    EXPECT_TRUE(ContainsPart(error, "è troppo grande (100 byte; al massimo 99 byte)")) << error;
    // An empty file is read as empty.
    WriteFile(path, {});
    auto empty = ReadWholeFile(path, error, 99);
    ASSERT_TRUE(empty.has_value());
    EXPECT_TRUE(empty->empty());
}

TEST(ReadWholeFile, PermissionIsTheSystemsReason) {
    TempFolder folder;
    OpenToEveryone(folder);
    const std::string path = folder.path("locked.Bin");
    WriteFile(path, Bytes(10, 1));
    ASSERT_EQ(::chmod(path.c_str(), 0200), 0);
    // In a child process without root's privileges (root reads any file): it exits 0
    // when the read was refused, naming the reason on standard error.
    EXPECT_EXIT(
        {
            if (!DropRootPrivileges()) std::_Exit(2);
            std::string error;
            const bool read = ReadWholeFile(path, error).has_value();
            std::fputs(error.c_str(), stderr);
            std::_Exit(read ? 1 : 0);
        },
        ::testing::ExitedWithCode(0), "Permission denied");
}

TEST(FlashImageSize, AFileOfAnotherSizeIsLoadedWithAWarning) {
    const Bytes full = BuildChannelImage(MakeChannelImageSpec(ListLayout::Single, 20, 4));
    ASSERT_EQ(full.size(), static_cast<std::size_t>(kFlashImageSize));
    struct Case {
        std::size_t size;
        std::vector<std::string> parts;  // empty: no warning
    };
    const Case cases[] = {
        {524288, {}},
        {458752, {"458752", "524288", "potrebbe non contenere quello che conteneva la parte mancante"}},
        {524287, {"524287", "524288", "parte mancante"}},
        {65536, {"65536", "524288", "parte mancante"}},
        {524289, {"524289", "524288", "non saranno salvati"}},
        {600000, {"600000", "oltre i 524288"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        Bytes bytes = full;
        bytes.resize(c.size, 0xA5);
        KvxImage image;
        const LoadResult loaded = image.loadBytes(bytes, "x.Bin");
        ASSERT_TRUE(loaded.ok());
        ASSERT_EQ(image.imageType(), 1);
        EXPECT_EQ(image.unexpectedSize(), !c.parts.empty());
        EXPECT_EQ(loaded.sizeWarning.empty(), c.parts.empty()) << loaded.sizeWarning;
        for (const std::string& part : c.parts) EXPECT_TRUE(ContainsPart(loaded.sizeWarning, part)) << loaded.sizeWarning;
    }
}

TEST(FlashImageSize, OnlyFlashImagesAreMeasured) {
    MainCodeSpec spec;
    spec.modules = {{"boot", {{"boot", PatternBytes(300, 1)}}}, {"code", {{"code", PatternBytes(500, 2)}}}};
    KvxImage image;
    const LoadResult loaded = image.loadBytes(BuildMainCodeImage(spec).bytes, "main.Bin");
    ASSERT_TRUE(loaded.ok());
    ASSERT_EQ(image.imageType(), 2);
    EXPECT_FALSE(image.unexpectedSize());
    EXPECT_TRUE(loaded.sizeWarning.empty());
}
