#include "image/temp_cleanup.h"

#include <limits.h>
#include <unistd.h>

#include <csignal>
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

}  // namespace rivo
