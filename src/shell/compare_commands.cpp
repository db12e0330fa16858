// The compare commands of the "File" menu: comparing the active page with another open
// page, with a file, or with the backup its last save left beside it; and taking back,
// from the compare window, what the page lost (one undo step each).
#include <QAction>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QInputDialog>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QScreen>
#include <QStringList>
#include <memory>

#include "channels/page_io.h"
#include "dialogs/qt_text.h"
#include "dialogs/screen_fit.h"
#include "editing/compare.h"
#include "editing/reorder_dialog_logic.h"
#include "shell/compare_window.h"
#include "shell/main_window.h"
#include "shell/page_view.h"
#include "shell/window_texts.h"

namespace {

// The room a title bar's buttons and icon take beside the title.
constexpr int kTitleBarButtonsWidth = 140;

// The backup a save leaves beside the file it replaced.
QString BackupName(const rivo::ListPage& page) {
    return page.fileName.empty() ? QString() : QString::fromStdString(page.fileName + ".bak");
}

}  // namespace

void MainWindow::createCompareCommands() {
    compareAction = new QAction(QTr("Confronta con..."), this);
    compareAction->setObjectName(QStringLiteral("compareAction"));
    compareAction->setStatusTip(
        QTr("Mostra cosa è cambiato rispetto a un'altra lista: nuovi, rimossi, spostati, "
            "rinominati"));
    compareBackupAction = new QAction(QTr("Confronta con il backup"), this);
    compareBackupAction->setObjectName(QStringLiteral("compareBackupAction"));
    compareBackupAction->setStatusTip(
        QTr("Confronta la lista con la copia lasciata dall'ultimo salvataggio (.bak)"));
    // The menu's own texts, with their mnemonics; the command keeps its plain caption
    // in the dialog that asks what to compare with.
    compareAction->setText(QTr("Co&nfronta con..."));
    compareBackupAction->setText(QTr("Confronta con il &backup"));
    // In "File", before closing and leaving.
    QAction* before = closePageAction;
    fileMenu->insertAction(before, compareAction);
    fileMenu->insertAction(before, compareBackupAction);
    fileMenu->insertSeparator(before);
    connect(compareAction, &QAction::triggered, this, &MainWindow::compareWithOther);
    connect(compareBackupAction, &QAction::triggered, this, &MainWindow::compareWithBackup);
    chooseCompareSource = [this](const QStringList& choices) {
        QInputDialog dialog(this);
        dialog.setWindowTitle(QTr("Confronta con..."));
        dialog.setLabelText(QTr("Lista con cui confrontare:"));
        dialog.setComboBoxItems(choices);
        dialog.setComboBoxEditable(false);
        // The window manager writes the title in its own bold font beside its buttons,
        // and cuts it ("Confro… con…") in a window only as wide as the list of choices.
        // The dialog's layout sets its size from its widgets': the label asks for the room.
        QFont titleFont = dialog.font();
        titleFont.setBold(true);
        const int width =
            QFontMetrics(titleFont).horizontalAdvance(dialog.windowTitle()) + kTitleBarButtonsWidth;
        const QMargins margins = dialog.layout() ? dialog.layout()->contentsMargins() : QMargins();
        for (QLabel* label : dialog.findChildren<QLabel*>())
            label->setMinimumWidth(width - margins.left() - margins.right());
        if (dialog.exec() != QDialog::Accepted) return -1;
        return static_cast<int>(choices.indexOf(dialog.textValue()));
    };
    chooseCompareFile = [this] {
        return QFileDialog::getOpenFileName(
            this, QTr("Confronta con..."), QString(),
            QTr("Liste Rivo800 (*.Bin *.Dat *.Rcu *.bak);;Tutti i file (*)"));
    };
    updateCompareCommands();
}

CompareWindow* MainWindow::compareWindow() const { return compareWindow_; }

void MainWindow::updateCompareCommands() {
    if (!compareAction) return;
    PageView* view = activePage();
    compareAction->setEnabled(view != nullptr);
    compareBackupAction->setEnabled(view && QFileInfo(BackupName(view->page())).isFile());
}

void MainWindow::compareWithOther() {
    PageView* view = activePage();
    if (!view) return;
    std::vector<PageView*> others;
    QStringList choices;
    for (PageView* other : pageViews) {
        if (other == view) continue;
        others.push_back(other);
        choices << other->caption();
    }
    choices << QTr("Un file...");
    const int index = chooseCompareSource(choices);
    if (index < 0 || index >= choices.size()) return;
    if (index < static_cast<int>(others.size())) {
        showCompareWindow(new CompareWindow(view, others[static_cast<size_t>(index)],
                                            compareWindowCommands(), this));
        return;
    }
    const QString file = chooseCompareFile();
    if (!file.isEmpty()) compareWithFile(*view, file);
}

void MainWindow::compareWithBackup() {
    PageView* view = activePage();
    if (!view) return;
    const QString backup = BackupName(view->page());
    if (!QFileInfo(backup).isFile()) return;
    compareWithFile(*view, backup);
}

void MainWindow::compareWithFile(PageView& view, const QString& file) {
    // The file is read with the page's own open parameters.
    rivo::ReferenceDialogValues values = rivo::ReferenceDialogStart(view.page());
    values.fileName = file.toStdString();
    const auto params = rivo::ReferenceOpenParams(view.page(), values);
    if (!params) return;
    rivo::OpenResult opened = rivo::OpenPage(*params, progress());
    progress().hide();
    if (opened.status != rivo::OpenResult::Status::Ok || !opened.page) {
        prompts().tell(opened.message, rivo::Tr(window_text::kAttention), rivo::Icon::Error);
        return;
    }
    showCompareWindow(new CompareWindow(&view, std::move(opened.page), QFileInfo(file).fileName(),
                                        compareWindowCommands(), this));
}

CompareWindow::Commands MainWindow::compareWindowCommands() {
    CompareWindow::Commands commands;
    commands.selectChannel = [this](int row) {
        if (!compareWindow_ || !compareWindow_->newView()) return;
        PageView* view = compareWindow_->newView();
        const int index = static_cast<int>(std::find(pageViews.begin(), pageViews.end(), view) -
                                           pageViews.begin());
        if (index < static_cast<int>(pageViews.size())) pageTabs->setCurrentIndex(index);
        view->selectChannelRows(row, row);
    };
    commands.takeBack = [this](rivo::ChangeClass c,
                               const std::vector<rivo::ChannelDifference>& chosen) {
        takeBackFromComparison(c, chosen);
    };
    return commands;
}

void MainWindow::takeBackFromComparison(rivo::ChangeClass c,
                                        const std::vector<rivo::ChannelDifference>& chosen) {
    if (!compareWindow_) return;
    PageView* view = compareWindow_->newView();
    const rivo::ListPage* before = compareWindow_->oldPage();
    if (!view || !before) return;
    rivo::EditResult result;
    const char* step = c == rivo::ChangeClass::Removed   ? rivo::kTakeRemovedStep
                       : c == rivo::ChangeClass::Renamed ? rivo::kTakeNamesStep
                                                         : rivo::kTakeFavouritesStep;
    runOnPage(*view, step, [&](PageView& v) {
        switch (c) {
            case rivo::ChangeClass::Removed:
                result = rivo::TakeRemoved(v.page(), *before, chosen, prompts(), progress());
                break;
            case rivo::ChangeClass::Renamed:
                result = rivo::TakeNames(v.page(), *before, chosen);
                break;
            case rivo::ChangeClass::FavouritesChanged:
                result = rivo::TakeFavourites(v.page(), chosen);
                break;
            default:
                break;
        }
    });
    if (result.changed && result.focusRow > 0) {
        const int last = c == rivo::ChangeClass::Removed
                             ? result.focusRow + static_cast<int>(chosen.size()) - 1
                             : result.focusRow;
        view->selectChannelRows(result.focusRow, last);
    }
}

void MainWindow::showCompareWindow(CompareWindow* window) {
    if (compareWindow_) compareWindow_->close();
    compareWindow_ = window;
    // Ctrl+Z and Ctrl+Shift+Z work in the compare window too: right after "Riprendi"
    // the keys are there.
    window->addAction(undoAction);
    window->addAction(redoAction);
    // Beside the main window where the screen has room, else over its right part; in
    // front, with the keys, and wholly on the screen either way.
    if (QScreen* screen = this->screen()) {
        const QMargins margins = FrameMargins(*window, this);
        const QRect frame = FrameBeside(frameGeometry(), window->size().grownBy(margins),
                                        screen->availableGeometry());
        window->resize(frame.size().shrunkBy(margins));
        window->move(frame.topLeft());
    }
    window->show();
    window->raise();
    window->activateWindow();
}
