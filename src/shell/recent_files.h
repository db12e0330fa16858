// The images opened or saved lately, each with the open parameters it was last used
// with, and the folder of the last one: kept in the editor's settings so that the
// next opening of the same file needs no typing.
#pragma once

#include <QString>
#include <vector>

#include "channels/open_params.h"

class QSettings;

struct RecentFile {
    QString path;  // absolute
    rivo::OpenParams params;
    // The "Sr.Ini" set the rates came from when it was chosen in the open dialog; "" when
    // not known. The rates themselves are in params and win over the set's present ones.
    QString symbolRateSet;
};

class RecentFiles {
public:
    // How many the "Apri recenti" menu shows, and how many files' parameters are kept.
    static constexpr int kShown = 10;
    static constexpr int kKept = 50;

    // Reads the list from settings. Entries that cannot be read (another program wrote
    // the file, a disk fault) are dropped; returns false when any was.
    bool load(const QSettings& settings);
    void save(QSettings& settings) const;

    // file becomes the newest; an older entry of the same path goes, and the oldest
    // beyond kKept too.
    void remember(RecentFile file);
    void forget(const QString& path);
    void clear() { files_.clear(); }

    // Newest first.
    const std::vector<RecentFile>& files() const { return files_; }
    const RecentFile* find(const QString& path) const;
    // The folder the file dialogs start in: the one of the file used last.
    QString lastFolder;

    // The form every path takes here: absolute and clean, so that two spellings of one
    // name are one entry.
    static QString normalPath(const QString& path);

private:
    std::vector<RecentFile> files_;
};
