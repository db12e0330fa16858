#include "shell/recent_files_controller.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QMenu>

#include "dialogs/open_dialog.h"
#include "dialogs/qt_text.h"
#include "shell/editor_settings.h"
#include "shell/main_window.h"
#include "shell/page_view.h"

RecentFilesController::RecentFilesController(MainWindow& window)
    : QObject(&window), window_(window) {
    recentMenu = new QMenu(QTr("Apri &recenti"), &window);
    recentMenu->setObjectName(QStringLiteral("recentMenu"));
    recentWithParamsMenu = new QMenu(QTr("Apri recenti con &parametri..."), &window);
    recentWithParamsMenu->setObjectName(QStringLiteral("recentWithParamsMenu"));
    clearAction = new QAction(QTr("Svuota l'elenco"), this);
    clearAction->setObjectName(QStringLiteral("clearRecentAction"));
    connect(clearAction, &QAction::triggered, this, &RecentFilesController::clearList);
    // Filled when shown: files come and go on the disk, and another editor may have
    // added to the list since.
    connect(recentMenu, &QMenu::aboutToShow, this, &RecentFilesController::fillMenus);
    connect(recentWithParamsMenu, &QMenu::aboutToShow, this, &RecentFilesController::fillMenus);
    connect(&window, &MainWindow::pageSaved, this, &RecentFilesController::pageSaved);
}

RecentFiles RecentFilesController::readList() {
    RecentFiles list;
    QSettings settings = EditorSettings();
    if (!list.load(settings)) {
        // What could not be read is left out and the rest written back, so the message
        // comes once.
        list.save(settings);
        window_.tellStatus(
            QTr("L'elenco dei file recenti era danneggiato: le voci illeggibili sono state tolte"));
    }
    return list;
}

void RecentFilesController::remember(const RecentFile& file) {
    RecentFiles list = readList();
    list.remember(file);
    QSettings settings = EditorSettings();
    list.save(settings);
}

void RecentFilesController::clearList() {
    RecentFiles list = readList();
    list.clear();
    QSettings settings = EditorSettings();
    list.save(settings);
    fillMenus();
}

void RecentFilesController::fillMenus() {
    const RecentFiles list = readList();
    for (QMenu* menu : {recentMenu, recentWithParamsMenu}) {
        menu->clear();
        const bool withDialog = menu == recentWithParamsMenu;
        int shown = 0;
        for (const RecentFile& file : list.files()) {
            if (shown == RecentFiles::kShown) break;
            ++shown;
            const QFileInfo info(file.path);
            // Numbered for the keyboard: 1..9, then 0 for the tenth.
            const QString number = QString::number(shown % 10);
            QString name = info.fileName();
            name.replace(QLatin1Char('&'), QStringLiteral("&&"));
            QAction* action = menu->addAction(QStringLiteral("&%1 %2").arg(number, name));
            action->setToolTip(info.absolutePath());
            action->setStatusTip(info.absolutePath());
            action->setData(file.path);
            // A file that is gone can be seen, not chosen.
            action->setEnabled(info.isFile());
            const QString path = file.path;
            connect(action, &QAction::triggered, this, [this, path, withDialog] {
                openRecent(path,
                           withDialog || (QApplication::keyboardModifiers() & Qt::ShiftModifier));
            });
        }
        menu->setToolTipsVisible(true);
        if (shown == 0) menu->addAction(QTr("(nessun file)"))->setEnabled(false);
        if (!withDialog) {
            menu->addSeparator();
            menu->addAction(clearAction);
            clearAction->setEnabled(shown > 0);
        }
    }
}

bool RecentFilesController::fillRemembered(OpenDialog& dialog, const QString& path) {
    const RecentFiles list = readList();
    const RecentFile* file = list.find(path);
    if (!file) return false;
    rivo::OpenParams params = file->params;
    params.fileName.clear();  // the path stays as the user spelled it
    dialog.setParams(params, file->symbolRateSet);
    return true;
}

bool RecentFilesController::openWithDialog(const QString& file) {
    const RecentFiles list = readList();
    OpenDialog dialog(window_.workDir + QStringLiteral("/Sr.Ini"), window_.prompts(), &window_);
    dialog.initialise();
    dialog.startFolder = list.lastFolder;
    // The last values used for any file, then those of this file when it has some.
    if (!list.files().empty()) {
        rivo::OpenParams last = list.files().front().params;
        last.fileName.clear();
        dialog.setParams(last, list.files().front().symbolRateSet);
    }
    if (!file.isEmpty()) {
        dialog.setFileName(file);
        fillRemembered(dialog, file);
    }
    dialog.fileChosen = [this](OpenDialog& chosen, const QString& path) {
        fillRemembered(chosen, path);
    };
    if (!window_.runOpenDialog || !window_.runOpenDialog(dialog)) return false;
    const rivo::OpenParams params = dialog.params();
    if (!window_.openWithParams(params)) return false;
    remember({QFile::decodeName(QByteArray::fromStdString(params.fileName)), params,
              dialog.symbolRateSetName()});
    return true;
}

bool RecentFilesController::openRecent(const QString& path, bool showDialog) {
    const RecentFiles list = readList();
    const RecentFile* file = list.find(path);
    if (!QFileInfo(path).isFile()) {
        RecentFiles rest = list;
        rest.forget(path);
        QSettings settings = EditorSettings();
        rest.save(settings);
        window_.tellStatus(QTr("Il file %1 non esiste più: tolto dai file recenti").arg(path));
        return false;
    }
    if (showDialog || !file) return openWithDialog(path);
    const RecentFile chosen = *file;
    if (!window_.openWithParams(chosen.params)) return false;
    remember(chosen);
    return true;
}

void RecentFilesController::pageSaved(PageView* view) {
    if (!view) return;
    const rivo::ListPage& page = view->page();
    RecentFile file;
    file.path = QFile::decodeName(QByteArray::fromStdString(page.fileName));
    file.params.fileName = page.fileName;
    file.params.lnbLow = page.lnbLow;
    file.params.lnbHigh = page.lnbHigh;
    file.params.symbolRates = page.symbolRates;
    file.params.satelliteA = page.satelliteA;
    file.params.satelliteB = page.satelliteB;
    // The set's name as remembered for a file with these very rates (the page knows
    // only the rates).
    const RecentFiles list = readList();
    for (const RecentFile& known : list.files())
        if (known.params.symbolRates == page.symbolRates) {
            file.symbolRateSet = known.symbolRateSet;
            break;
        }
    remember(file);
}
