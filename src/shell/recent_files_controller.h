// File > "Apri recenti": the images used lately, opened at once with the parameters
// they were last opened or saved with, or through the open dialog pre-filled with them
// ("Apri recenti con parametri...", or Shift with the click). Also the open command's
// dialog itself, which starts with what is remembered and in the folder used last.
#pragma once

#include <QObject>
#include <QString>

#include "shell/recent_files.h"

class MainWindow;
class OpenDialog;
class PageView;
class QAction;
class QMenu;

class RecentFilesController : public QObject {
    Q_OBJECT
public:
    explicit RecentFilesController(MainWindow& window);

    QMenu* recentMenu = nullptr;            // "Apri recenti": the files, then "Svuota l'elenco"
    QMenu* recentWithParamsMenu = nullptr;  // "Apri recenti con parametri...": the same files
    QAction* clearAction = nullptr;         // "Svuota l'elenco"

    // The open command: the open dialog with `file` (when given) and the parameters
    // remembered for it, else the last used ones; then the file it names.
    bool openWithDialog(const QString& file = QString());
    // A recent file: at once with its parameters, or through the pre-filled dialog. A
    // file that is gone leaves the list, saying so in the status bar.
    bool openRecent(const QString& path, bool showDialog);

    // The list as the settings hold it now (another editor may have added to it).
    RecentFiles readList();

public slots:
    // A page was saved: its file, under the name it now has, is the newest.
    void pageSaved(PageView* view);
    void clearList();

private:
    void fillMenus();
    void remember(const RecentFile& file);
    // Fills dialog with what is remembered for path; false when nothing is.
    bool fillRemembered(OpenDialog& dialog, const QString& path);

    MainWindow& window_;
};
