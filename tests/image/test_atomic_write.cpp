// Writing a file atomically: what the user named is what gets replaced (through links,
// with its owner, group and mode), a read-only file is refused, other hard links are
// reported, any name the file system accepts can be written, and no temporary file is
// left behind, not even when a signal ends the process half-way.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>

#include "channel_fixtures.h"
#include "image/kvx_image.h"
#include "image/temp_cleanup.h"

namespace rivo {
namespace {

namespace fs = std::filesystem;
using testsupport::TempFolder;

const Bytes kOld{1, 2, 3};
const Bytes kNew{9, 8, 7, 6};

Bytes ReadFile(const std::string& path) {
    std::string error;
    return ReadWholeFile(path, error).value_or(Bytes{0xEE});
}

void WriteFile(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::string> NamesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

struct stat StatOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
    return st;
}

// Each case: links made in the folder, the name saved through, the file that must get
// the new bytes.
struct LinkCase {
    const char* what;
    std::vector<std::pair<std::string, std::string>> links;  // link name -> what it holds
    const char* savedAs;
    const char* replaced;
    bool realExists;
};

class SaveThroughLink : public ::testing::TestWithParam<LinkCase> {};

TEST_P(SaveThroughLink, ReplacesTheFileTheLinkNamesAndKeepsTheLink) {
    const LinkCase& c = GetParam();
    TempFolder folder;
    fs::create_directory(folder.path("data"));
    if (c.realExists) WriteFile(folder.path("data/real.Bin"), kOld);
    for (const auto& [link, to] : c.links) fs::create_symlink(to, folder.path(link));

    ASSERT_EQ(WriteFileAtomically(folder.path(c.savedAs), kNew), "");
    EXPECT_EQ(ReadFile(folder.path(c.replaced)), kNew);
    EXPECT_TRUE(S_ISREG(StatOf(folder.path(c.replaced)).st_mode));
    for (const auto& [link, to] : c.links) {
        EXPECT_TRUE(S_ISLNK(StatOf(folder.path(link)).st_mode)) << link << " is no longer a link";
        EXPECT_EQ(fs::read_symlink(folder.path(link)).string(), to);
    }
    for (const auto& entry : fs::recursive_directory_iterator(folder.root()))
        EXPECT_NE(entry.path().filename().string().rfind(".", 0), 0u) << "left behind: " << entry.path();
}

INSTANTIATE_TEST_SUITE_P(
    Links, SaveThroughLink,
    ::testing::Values(LinkCase{"relative", {{"link.Bin", "data/real.Bin"}}, "link.Bin", "data/real.Bin", true},
                      LinkCase{"chain", {{"first", "second"}, {"second", "data/real.Bin"}}, "first", "data/real.Bin", true},
                      LinkCase{"dangling", {{"link.Bin", "data/real.Bin"}}, "link.Bin", "data/real.Bin", false},
                      LinkCase{"link in a linked folder", {{"dir", "data"}, {"data/alias", "real.Bin"}}, "dir/alias",
                               "data/real.Bin", true}),
    [](const auto& info) {
        std::string name = info.param.what;
        for (char& ch : name)
            if (ch == ' ') ch = '_';
        return name;
    });

TEST(AtomicWrite, LinksInACircleAreRefused) {
    TempFolder folder;
    fs::create_symlink("b", folder.path("a"));
    fs::create_symlink("a", folder.path("b"));
    const std::string error = WriteFileAtomically(folder.path("a"), kNew);
    EXPECT_NE(error.find(folder.path("a")), std::string::npos) << error;
    EXPECT_EQ(NamesIn(folder.root()), (std::vector<std::string>{"a", "b"}));
}

TEST(AtomicWrite, KeepsTheModeOfTheReplacedFile) {
    TempFolder folder;
    for (mode_t mode : {0600, 0640, 0664, 0755}) {
        const std::string path = folder.path("mode" + std::to_string(mode));
        WriteFile(path, kOld);
        ASSERT_EQ(::chmod(path.c_str(), mode), 0);
        ASSERT_EQ(WriteFileAtomically(path, kNew), "");
        EXPECT_EQ(StatOf(path).st_mode & 07777, mode);
        EXPECT_EQ(ReadFile(path), kNew);
    }
}

TEST(AtomicWrite, KeepsTheOwnerAndGroupOfTheReplacedFile) {
    if (::geteuid() != 0) GTEST_SKIP() << "only a privileged process may give a file to another user";
    TempFolder folder;
    const std::string path = folder.path("theirs.Bin");
    WriteFile(path, kOld);
    ASSERT_EQ(::chown(path.c_str(), 4242, 4343), 0);
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    ASSERT_EQ(WriteFileAtomically(path, kNew), "");
    const struct stat st = StatOf(path);
    EXPECT_EQ(st.st_uid, 4242u);
    EXPECT_EQ(st.st_gid, 4343u);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST(AtomicWrite, RefusesATargetItsOwnerCannotWrite) {
    TempFolder folder;
    for (mode_t mode : {0444, 0400, 0555, 0466}) {
        const std::string path = folder.path("locked.Bin");
        WriteFile(path, kOld);
        ASSERT_EQ(::chmod(path.c_str(), mode), 0);
        const std::string error = WriteFileAtomically(path, kNew);
        EXPECT_NE(error.find("protetto da scrittura"), std::string::npos) << mode << ": " << error;
        EXPECT_NE(error.find(path), std::string::npos) << error;
        EXPECT_EQ(ReadFile(path), kOld);
        EXPECT_EQ(StatOf(path).st_mode & 07777, mode);
        EXPECT_EQ(NamesIn(folder.root()), std::vector<std::string>{"locked.Bin"});
        ASSERT_EQ(::chmod(path.c_str(), 0644), 0);
        fs::remove(path);
    }
}

TEST(AtomicWrite, WarnsThatOtherHardLinksKeepTheOldContent) {
    struct Case {
        int otherNames;
        const char* says;
    };
    for (const Case c : {Case{0, ""}, Case{1, "aveva un altro nome"}, Case{2, "aveva altri 2 nomi"}}) {
        TempFolder folder;
        const std::string path = folder.path("list.Bin");
        WriteFile(path, kOld);
        for (int i = 0; i < c.otherNames; ++i) fs::create_hard_link(path, folder.path("other" + std::to_string(i)));
        std::string warnings;
        AtomicWriteOptions options;
        options.warnings = &warnings;
        ASSERT_EQ(WriteFileAtomically(path, kNew, options), "");
        EXPECT_EQ(ReadFile(path), kNew);
        if (c.otherNames == 0) {
            EXPECT_EQ(warnings, "");
        } else {
            EXPECT_NE(warnings.find(c.says), std::string::npos) << warnings;
            EXPECT_NE(warnings.find(path), std::string::npos) << warnings;
        }
        for (int i = 0; i < c.otherNames; ++i) EXPECT_EQ(ReadFile(folder.path("other" + std::to_string(i))), kOld);
    }
}

TEST(AtomicWrite, AnyNameTheFileSystemAcceptsCanBeWritten) {
    TempFolder folder;
    for (std::size_t length : {1u, 200u, 243u, 244u, 250u, 255u}) {
        const std::string name(length, 'n');
        ASSERT_EQ(WriteFileAtomically(folder.path(name), kNew), "") << length;
        EXPECT_EQ(ReadFile(folder.path(name)), kNew);
        EXPECT_EQ(NamesIn(folder.root()), std::vector<std::string>{name});
        fs::remove(folder.path(name));
    }
}

TEST(AtomicWrite, AFolderThatCannotBeWrittenIsNamed) {
    TempFolder folder;
    const std::string missing = folder.path("missing");
    std::string error = WriteFileAtomically(missing + "/out.Bin", kNew);
    EXPECT_EQ(error.rfind("Impossibile creare un file nella cartella \"" + missing + "\"", 0), 0u) << error;

    if (::geteuid() == 0) return;  // a privileged process writes into read-only folders
    const std::string locked = folder.path("locked");
    fs::create_directory(locked);
    ASSERT_EQ(::chmod(locked.c_str(), 0555), 0);
    error = WriteFileAtomically(locked + "/out.Bin", kNew);
    EXPECT_EQ(error.rfind("Impossibile creare un file nella cartella \"" + locked + "\"", 0), 0u) << error;
    ::chmod(locked.c_str(), 0755);
}

// A process ended by a signal while its temporary file exists removes that file and
// still ends by the signal; the target keeps its old content.
class SignalDuringSave : public ::testing::TestWithParam<int> {};

TEST_P(SignalDuringSave, RemovesTheTemporaryFile) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const int signal = GetParam();
    TempFolder folder;
    const std::string path = folder.path("list.Bin");
    WriteFile(path, kOld);
    EXPECT_EXIT(
        {
            ::signal(signal, SIG_DFL);
            RemoveTempFilesOnSignals();
            AtomicWriteOptions options;
            options.check = [signal](const std::string&) -> std::string {
                ::raise(signal);
                return "not reached";
            };
            WriteFileAtomically(path, kNew, options);
            std::_Exit(0);
        },
        ::testing::KilledBySignal(signal), "");
    EXPECT_EQ(NamesIn(folder.root()), std::vector<std::string>{"list.Bin"});
    EXPECT_EQ(ReadFile(path), kOld);
}

INSTANTIATE_TEST_SUITE_P(Signals, SignalDuringSave, ::testing::Values(SIGINT, SIGTERM, SIGHUP),
                         [](const auto& info) {
                             return std::string(info.param == SIGINT ? "Int" : info.param == SIGTERM ? "Term" : "Hup");
                         });

TEST(SignalDuringSave, AnIgnoredSignalStaysIgnored) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            ::signal(SIGHUP, SIG_IGN);
            RemoveTempFilesOnSignals();
            ::raise(SIGHUP);
            std::_Exit(7);
        },
        ::testing::ExitedWithCode(7), "");
}

}  // namespace
}  // namespace rivo
