// The commands on a selection of any rows (Ctrl+click, Shift+click, or what the filter
// shows): adding to and taking out of a favourites list, "Rinomina...", the filter
// bar's shortcut; and the rule that the commands which need one block of rows are
// disabled, with a tooltip that says so, for any other selection.
#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QTabWidget>
#include <QTableView>
#include <vector>

#include "channels/cp1252.h"
#include "dialogs/qt_text.h"
#include "dialogs/rename_dialog.h"
#include "editing/rename.h"
#include "editing/row_selection.h"
#include "shell/channel_filter_bar.h"
#include "shell/main_window.h"
#include "shell/page_view.h"

namespace {
constexpr const char* kStepAddToList = rivo::TrNoop("Aggiungi alla lista");
constexpr const char* kStepRemoveFromList = rivo::TrNoop("Togli dalla lista");
constexpr const char* kStepRename = rivo::TrNoop("Rinomina");
// Said by the tooltip of a command that works on one block of rows only.
constexpr const char* kOneBlockOnly = rivo::TrNoop("Solo per un blocco di righe consecutive");
constexpr const char* kBaseTip = "baseToolTip";

// The list's menu text: its number, and its name when it has one.
QString ListText(const rivo::ListPage* page, int k) {
    QString name;
    if (page && k < page->configGrid.rowCount())
        name = QString::fromStdString(rivo::Cp1252ToUtf8(page->configGrid.cell(k, 1)));
    return name.isEmpty() ? QTr("Lista &%1").arg(k) : QTr("Lista &%1: %2").arg(k).arg(name);
}
}  // namespace

void MainWindow::createSelectionCommands() {
    filterAction = new QAction(QTr("&Filtra i canali"), this);
    filterAction->setObjectName(QStringLiteral("filterAction"));
    filterAction->setShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+F")));
    filterAction->setShortcutContext(Qt::WindowShortcut);
    filterAction->setStatusTip(QTr("Mostra solo i canali che corrispondono al filtro"));
    connect(filterAction, &QAction::triggered, this, &MainWindow::focusFilter);

    renameAction = new QAction(QTr("Rino&mina..."), this);
    renameAction->setObjectName(QStringLiteral("renameAction"));
    renameAction->setShortcut(QKeySequence(QStringLiteral("Ctrl+H")));
    renameAction->setShortcutContext(Qt::WindowShortcut);
    renameAction->setStatusTip(QTr("Trova e sostituisci nei nomi dei canali, con anteprima"));
    connect(renameAction, &QAction::triggered, this, &MainWindow::renameChannels);

    addToListMenu = new QMenu(QTr("A&ggiungi alla lista"), this);
    addToListMenu->setObjectName(QStringLiteral("addToListMenu"));
    removeFromListMenu = new QMenu(QTr("Togli da&lla lista"), this);
    removeFromListMenu->setObjectName(QStringLiteral("removeFromListMenu"));
    for (int k = 1; k <= rivo::fav::Lists; ++k) {
        QAction* add = addToListMenu->addAction(ListText(nullptr, k));
        add->setObjectName(QStringLiteral("addToList%1Action").arg(k));
        connect(add, &QAction::triggered, this, [this, k] { addToFavouriteList(k - 1); });
        QAction* remove = removeFromListMenu->addAction(ListText(nullptr, k));
        remove->setObjectName(QStringLiteral("removeFromList%1Action").arg(k));
        connect(remove, &QAction::triggered, this, [this, k] { removeFromFavouriteList(k - 1); });
    }
    // The lists' names as the active page has them when the menu opens.
    for (QMenu* menu : {addToListMenu, removeFromListMenu})
        connect(menu, &QMenu::aboutToShow, this, [this, menu] {
            const rivo::ListPage* page = activeListPage();
            const auto actions = menu->actions();
            for (int k = 1; k <= actions.size(); ++k) actions[k - 1]->setText(ListText(page, k));
        });

    // The filter bar is in the "Visualizza" menu (see createMenus): it changes which rows
    // are shown, not the list.
    editMenu->addSeparator();
    editMenu->addAction(renameAction);
    editMenu->addMenu(addToListMenu);
    editMenu->addMenu(removeFromListMenu);
    channelMenu->addSeparator();
    channelMenu->addAction(renameAction);
    channelMenu->addMenu(addToListMenu);
    channelMenu->addMenu(removeFromListMenu);
    runRenameDialog = [](RenameDialog& dialog) { return dialog.exec() == QDialog::Accepted; };
}

void MainWindow::connectSelectionCommands(PageView* view) {
    connect(view, &PageView::channelSelectionChanged, this, [this, view] {
        if (view == activePage()) updateSelectionCommands();
    });
}

void MainWindow::updateSelectionCommands() {
    if (!renameAction) return;  // still being built
    PageView* view = activePage();
    const bool channels = view && view->tabs->currentIndex() == 0;
    const bool lists = channels && view->page().layout != rivo::ListLayout::Single;
    filterAction->setEnabled(view != nullptr);
    renameAction->setEnabled(view != nullptr && view->page().channelCount() > 0);
    addToListMenu->setEnabled(lists);
    removeFromListMenu->setEnabled(lists);

    // The commands that work on one block: each keeps the tooltip it was given and
    // gains the reason while it is disabled for a selection of separate rows.
    const bool oneBlock = !view || view->channelSelectionIsOneBlock();
    const std::vector<QAction*> blockCommands{insertChannelAction, moveChannelsAction, menuMoveAction,
                                              pasteChannelsAction, goToChannelAction, sortAction};
    for (QAction* action : blockCommands) {
        if (!action) continue;
        if (!action->property(kBaseTip).isValid()) action->setProperty(kBaseTip, action->toolTip());
        const QString base = action->property(kBaseTip).toString();
        if (channels && !oneBlock) {
            action->setEnabled(false);
            action->setToolTip(base + QStringLiteral(" — ") + QTr(kOneBlockOnly));
        } else {
            action->setToolTip(base);
        }
    }
    if (channels && oneBlock) {
        for (QAction* action : {insertChannelAction, moveChannelsAction, goToChannelAction}) action->setEnabled(true);
        pasteChannelsAction->setEnabled(clipboardHoldsChannels());
        if (sortAction) sortAction->setEnabled(true);
    }
    if (menuMoveAction) menuMoveAction->setEnabled(!channels || oneBlock);
}

void MainWindow::focusFilter() {
    PageView* view = activePage();
    if (!view) return;
    view->tabs->setCurrentIndex(0);
    view->filterBar->focusText();
}

void MainWindow::addToFavouriteList(int list) {
    runOnActivePage(kStepAddToList, [this, list](PageView& view) {
        const rivo::ListChange change =
            rivo::AddToFavouriteList(view.page(), list, view.selectedChannelSet(), prompts());
        if (change.changed)
            tellStatus(QTrN("%1 canale aggiunto alla lista %2", "%1 canali aggiunti alla lista %2", change.added)
                           .arg(change.added)
                           .arg(list + 1));
    });
}

void MainWindow::removeFromFavouriteList(int list) {
    runOnActivePage(kStepRemoveFromList, [this, list](PageView& view) {
        const rivo::ListChange change =
            rivo::RemoveFromFavouriteList(view.page(), list, view.selectedChannelSet(), prompts());
        if (change.changed)
            tellStatus(QTrN("%1 voce tolta dalla lista %2", "%1 voci tolte dalla lista %2", change.added)
                           .arg(change.added)
                           .arg(list + 1));
    });
}

void MainWindow::renameChannels() {
    PageView* view = activePage();
    if (!view || view->page().channelCount() < 1) return;
    RenameDialog dialog(view->page(), view->selectedChannelSet(), this);
    if (!runRenameDialog || !runRenameDialog(dialog)) return;
    const rivo::RenamePreview preview = dialog.preview();
    runOnPage(*view, kStepRename, [this, &preview](PageView& v) {
        const int renamed = rivo::ApplyRename(v.page(), preview);
        tellStatus(QTrN("%1 canale rinominato", "%1 canali rinominati", renamed).arg(renamed));
    });
}
