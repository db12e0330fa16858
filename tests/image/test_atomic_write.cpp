// Writing a file atomically: what the user named is what gets replaced (through links,
// with its owner, group, mode, extended attributes and ACL), a read-only file is refused,
// other hard links are reported, any name the file system accepts can be written, and
// no temporary file is left behind, not even when a signal ends the process half-way;
// one left by a killed save is removed by the next save into its folder.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <array>
#include <csignal>
#include <cstring>
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

// The replaced file's extended attributes are kept: a user attribute, and the POSIX ACL
// (system.posix_acl_access), whose mask is also the group bits of the mode.
std::vector<char> AttributeOf(const std::string& path, const char* name) {
    std::vector<char> value(4096);
    const ssize_t size = ::getxattr(path.c_str(), name, value.data(), value.size());
    value.resize(size < 0 ? 0 : static_cast<std::size_t>(size));
    return value;
}

// An access ACL in the kernel's xattr form: version 2, then (tag, permissions, id) per
// entry, little-endian: owner rw, user 65534 rw, group r, mask rw, others r.
std::vector<char> AclGivingUserNobodyWrite() {
    std::vector<char> blob;
    auto put = [&](std::uint32_t value, int bytes) {
        for (int b = 0; b < bytes; ++b) blob.push_back(static_cast<char>((value >> (8 * b)) & 0xFF));
    };
    put(2, 4);
    const std::uint32_t kNone = 0xFFFFFFFF;
    for (auto [tag, perm, id] : {std::array<std::uint32_t, 3>{0x01, 6, kNone}, {0x02, 6, 65534}, {0x04, 4, kNone},
                                 {0x10, 6, kNone}, {0x20, 4, kNone}}) {
        put(tag, 2);
        put(perm, 2);
        put(id, 4);
    }
    return blob;
}

TEST(AtomicWrite, KeepsTheExtendedAttributesOfTheReplacedFile) {
    TempFolder folder;
    const std::string path = folder.path("list.Bin");
    WriteFile(path, kOld);
    const std::string label = "lista di casa";
    if (::setxattr(path.c_str(), "user.rivo800.etichetta", label.data(), label.size(), 0) != 0)
        GTEST_SKIP() << "this file system keeps no user attributes: " << std::strerror(errno);
    std::string warnings;
    AtomicWriteOptions options;
    options.warnings = &warnings;
    ASSERT_EQ(WriteFileAtomically(path, kNew, options), "");
    EXPECT_EQ(ReadFile(path), kNew);
    EXPECT_EQ(AttributeOf(path, "user.rivo800.etichetta"), std::vector<char>(label.begin(), label.end()));
    EXPECT_EQ(warnings, "");
}

TEST(AtomicWrite, KeepsThePosixAclOfTheReplacedFile) {
    TempFolder folder;
    const std::string path = folder.path("list.Bin");
    WriteFile(path, kOld);
    ASSERT_EQ(::chmod(path.c_str(), 0644), 0);
    const std::vector<char> acl = AclGivingUserNobodyWrite();
    if (::setxattr(path.c_str(), "system.posix_acl_access", acl.data(), acl.size(), 0) != 0)
        GTEST_SKIP() << "this file system keeps no POSIX ACL: " << std::strerror(errno);
    const std::vector<char> before = AttributeOf(path, "system.posix_acl_access");
    ASSERT_FALSE(before.empty());
    ASSERT_EQ(StatOf(path).st_mode & 0777, 0664u);  // the mask rw shows as the group bits
    ASSERT_EQ(WriteFileAtomically(path, kNew), "");
    EXPECT_EQ(ReadFile(path), kNew);
    // User 65534 keeps write access, and the owning group keeps read only (its entry),
    // the mask staying rw as the group bits of the mode.
    EXPECT_EQ(AttributeOf(path, "system.posix_acl_access"), before);
    EXPECT_EQ(StatOf(path).st_mode & 0777, 0664u);
}

// A save killed with SIGKILL (which nothing can catch) leaves its temporary file; the
// name says whose it was, and the next save into the folder removes it.
TEST(AtomicWrite, ASaveKilledHalfWayLeavesALeftoverTheNextSaveRemoves) {
    TempFolder folder;
    const std::string path = folder.path("list.Bin");
    WriteFile(path, kOld);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        AtomicWriteOptions options;
        options.check = [](const std::string&) -> std::string {
            ::raise(SIGKILL);
            return "not reached";
        };
        WriteFileAtomically(path, kNew, options);
        std::_Exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
    const auto left = NamesIn(folder.root());
    ASSERT_EQ(left.size(), 2u);
    EXPECT_EQ(left[0].rfind(".rivo800-" + std::to_string(child) + "-", 0), 0u) << left[0];
    EXPECT_EQ(left[0].size(), std::string(".rivo800-").size() + std::to_string(child).size() + 7);
    EXPECT_EQ(ReadFile(path), kOld);

    ASSERT_EQ(WriteFileAtomically(path, kNew), "");
    EXPECT_EQ(NamesIn(folder.root()), std::vector<std::string>{"list.Bin"});
    EXPECT_EQ(ReadFile(path), kNew);
}

// What a save removes: only files named like its temporary files, of a process that
// has ended, that nobody holds locked.
TEST(AtomicWrite, OnlyAbandonedTemporaryFilesAreRemoved) {
    TempFolder folder;
    // A process that has ended, and one that still runs (waiting on a pipe).
    const pid_t ended = ::fork();
    ASSERT_GE(ended, 0);
    if (ended == 0) std::_Exit(0);
    ASSERT_EQ(::waitpid(ended, nullptr, 0), ended);
    int pipeEnds[2];
    ASSERT_EQ(::pipe(pipeEnds), 0);
    const pid_t running = ::fork();
    ASSERT_GE(running, 0);
    if (running == 0) {
        ::close(pipeEnds[1]);
        char c;
        (void)!::read(pipeEnds[0], &c, 1);
        std::_Exit(0);
    }
    ::close(pipeEnds[0]);
    const std::string dead = std::to_string(ended), live = std::to_string(running), self = std::to_string(::getpid());

    struct Case {
        std::string name;
        bool lock;     // held locked by this test, as a save in progress holds it
        bool removed;
    };
    const std::vector<Case> cases = {
        {".rivo800-" + dead + "-a1B2c3", false, true},     // abandoned
        {".rivo800-" + dead + "-d4E5f6", true, false},     // locked: in use (pid reused)
        {".rivo800-" + live + "-g7H8i9", false, false},    // its process still runs
        {".rivo800-" + self + "-j0K1l2", false, false},    // this process's own
        {".rivo800-a1B2c3", false, false},                  // no process id in the name
        {".rivo800-" + dead + "-a1B2c", false, false},     // not a temporary name
        {"rivo800-" + dead + "-a1B2c3", false, false},     // not hidden: not ours
        {".rivo800-" + dead + "-a1B2c3.Bin", false, false},
    };
    std::vector<int> locks;
    for (const Case& c : cases) {
        WriteFile(folder.path(c.name), kOld);
        if (c.lock) locks.push_back(LockTempFile(folder.path(c.name)));
    }
    for (int fd : locks) ASSERT_GE(fd, 0);
    EXPECT_EQ(RemoveAbandonedTempFiles(folder.root()), 1);
    for (const Case& c : cases) EXPECT_EQ(fs::exists(folder.path(c.name)), !c.removed) << c.name;
    for (int fd : locks) ::close(fd);
    ::close(pipeEnds[1]);
    ASSERT_EQ(::waitpid(running, nullptr, 0), running);
}

}  // namespace
}  // namespace rivo
