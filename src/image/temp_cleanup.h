// Temporary files of saves in progress, removed when the process is ended by a signal.
//
// A save writes the whole image to a temporary file beside its target and renames it
// over the target at the end. Ended half-way by Ctrl+C, `kill` or a closed terminal,
// the process would leave that half-megabyte file behind, hidden, for good: so every
// temporary file is registered while it exists, and the handlers installed here remove
// the registered ones before the process ends as the signal asks. (SIGKILL cannot be
// caught; nothing can be done about it.)
#pragma once

#include <string>

namespace rivo {

// Installs the handlers for SIGINT, SIGTERM and SIGHUP (a signal the process was told
// to ignore stays ignored). Called once by each program's main.
void RemoveTempFilesOnSignals();

// Registers a temporary file for removal by those handlers while the object lives.
class PendingTempFile {
public:
    explicit PendingTempFile(const std::string& path);
    ~PendingTempFile();
    PendingTempFile(const PendingTempFile&) = delete;
    PendingTempFile& operator=(const PendingTempFile&) = delete;

private:
    int slot_ = -1;  // -1: no free slot or a path too long to keep (not registered)
};

}  // namespace rivo
