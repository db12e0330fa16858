// Removing the temporary files of saves in progress when a signal ends the process, and the
// abandoned ones a killed save left behind.
#include "image/temp_cleanup.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <csignal>
#include <string>
#include <cstring>

namespace rivo {

namespace {

// A save writes its image's temporary file and, for the first save over a file, the
// backup's; a few slots cover that with room to spare. The handler may run at any point
// of a save, so a slot's path is complete before the slot is marked in use, and marked
// free before it is reused.
constexpr int kSlots = 4;
char paths[kSlots][PATH_MAX];
volatile std::sig_atomic_t inUse[kSlots] = {};

extern "C" void RemoveAndEnd(int signal) {
    for (int i = 0; i < kSlots; ++i)
        if (inUse[i]) ::unlink(paths[i]);
    // The handler was installed to run once: the signal now ends the process as it
    // would have without it, with the status a shell expects.
    ::raise(signal);
}

}  // namespace

void RemoveTempFilesOnSignals() {
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction previous {};
        if (::sigaction(signal, nullptr, &previous) != 0) continue;
        if (previous.sa_handler == SIG_IGN) continue;  // e.g. SIGHUP under nohup
        struct sigaction action {};
        action.sa_handler = RemoveAndEnd;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESETHAND;
        ::sigaction(signal, &action, nullptr);
    }
}

PendingTempFile::PendingTempFile(const std::string& path) {
    if (path.size() >= PATH_MAX) return;
    for (int i = 0; i < kSlots; ++i) {
        if (inUse[i]) continue;
        std::memcpy(paths[i], path.c_str(), path.size() + 1);
        inUse[i] = 1;
        slot_ = i;
        return;
    }
}

PendingTempFile::~PendingTempFile() {
    if (slot_ >= 0) inUse[slot_] = 0;
}

namespace {

constexpr const char* kTempPrefix = ".rivo800-";

// The process id in a temporary file's name ".rivo800-PID-XXXXXX", or 0 when the name
// is not one of ours.
pid_t PidOfTempName(const std::string& name) {
    const std::string prefix = kTempPrefix;
    if (name.compare(0, prefix.size(), prefix) != 0) return 0;
    std::size_t i = prefix.size();
    long long pid = 0;
    const std::size_t digits = i;
    while (i < name.size() && name[i] >= '0' && name[i] <= '9' && pid < (1LL << 31)) pid = pid * 10 + (name[i++] - '0');
    if (i == digits || i >= name.size() || name[i] != '-' || name.size() - i - 1 != 6) return 0;
    if (pid <= 0 || pid >= (1LL << 31)) return 0;
    return static_cast<pid_t>(pid);
}

bool ProcessRuns(pid_t pid) {
    // EPERM: it runs, under another user.
    return ::kill(pid, 0) == 0 || errno == EPERM;
}

}  // namespace

std::string TempFileTemplate(const std::string& folder) {
    return folder + "/" + kTempPrefix + std::to_string(::getpid()) + "-XXXXXX";
}

int LockTempFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) return -1;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

int RemoveAbandonedTempFiles(const std::string& folder) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return 0;
    int removed = 0;
    const pid_t self = ::getpid();
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        const pid_t pid = PidOfTempName(name);
        if (pid == 0 || pid == self || ProcessRuns(pid)) continue;
        const std::string path = folder + "/" + name;
        // A file whose lock somebody holds is in use, whatever its name says (its
        // process id may have been reused, or it lives on another machine).
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
        if (fd < 0) continue;
        struct stat st {};
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
            ::unlink(path.c_str()) == 0)
            ++removed;
        ::close(fd);
    }
    ::closedir(dir);
    return removed;
}

}  // namespace rivo
