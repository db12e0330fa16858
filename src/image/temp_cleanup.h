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

// SIGKILL, a crash or a power cut leave the temporary file behind all the same. So that
// such a leftover can be told from a save still in progress, its name carries the
// process id of the save (".rivo800-PID-XXXXXX", see TempFileTemplate) and the save
// holds a lock on it (LockTempFile) until it is renamed or removed.

// The mkstemp template for a temporary file of this process in folder.
std::string TempFileTemplate(const std::string& folder);

// Takes the lock that marks the temporary file at path as in use; returns the descriptor
// holding it (to be closed once the file is renamed or removed), or -1 when it could
// not be taken (the file then counts as abandoned only once its process has ended).
int LockTempFile(const std::string& path);

// Removes from folder every temporary file of a save that was abandoned: named like
// ours, of another process that no longer runs, and locked by nobody. Files of this
// process, of running processes, and anything else are left alone. Returns how many
// were removed.
int RemoveAbandonedTempFiles(const std::string& folder);

}  // namespace rivo
