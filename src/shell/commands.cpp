// The actions of the tool bar and the menus, and their enable rules: the tool bar's
// buttons with their keys and the command each runs, the channel tables' context menu,
// the menu bar, and which commands fit the active page and tab. What the commands do
// is in editing_commands.cpp (the reordering ones in reorder_commands.cpp); saving,
// closing and leaving in saving.cpp.
#include <QAction>
#include <QActionGroup>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <vector>

#include "dialogs/qt_text.h"
#include "shell/accessible_names.h"
#include "shell/drop_open_controller.h"
#include "shell/help_controller.h"
#include "shell/language_choice.h"
#include "shell/main_window.h"
#include "shell/page_view.h"
#include "shell/print_controller.h"
#include "shell/recent_files_controller.h"
#include "shell/tool_icons.h"
#include "text/language.h"

// ---------------------------------------------------------------------------------------
// The tool bar, the context menu and the menu bar

void MainWindow::createToolBar() {
    toolBar = new QToolBar(QTr("Strumenti"));
    toolBar->setObjectName(QStringLiteral("toolBar"));
    toolBar->setMovable(false);
    toolBar->setFloatable(false);
    toolBar->setIconSize(QSize(32, 32));
    toolBar->setFixedHeight(46);
    toolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    toolBar->setContextMenuPolicy(Qt::PreventContextMenu);
    addToolBar(Qt::BottomToolBarArea, toolBar);

    // The buttons left to right; a row without a button is a separator. The key runs the
    // command too; the icon theme's icon is used where there is one (nullptr: always the
    // drawn one).
    struct Tool {
        QAction* MainWindow::*button;
        const char* name;
        const char* hint;
        ToolGlyph glyph;
        const char* themeName;
        QKeySequence key;
        void (MainWindow::*command)();
    };
    const QKeySequence none;
    const Tool tools[] = {
        {&MainWindow::openAction, "openAction", rivo::TrNoop("Apri un file"), ToolGlyph::Open,
         "document-open", QKeySequence(QStringLiteral("Ctrl+O")), &MainWindow::openFile},
        {&MainWindow::saveAction, "saveAction", rivo::TrNoop("Salva il file corrente"),
         ToolGlyph::Save, "document-save", QKeySequence(QStringLiteral("Ctrl+S")),
         &MainWindow::saveFile},
        {},
        {&MainWindow::copyChannelsAction, "copyChannelsAction",
         rivo::TrNoop("Copia i canali selezionati"), ToolGlyph::Copy, "edit-copy",
         QKeySequence(QKeySequence::Copy), &MainWindow::copyChannels},
        {&MainWindow::pasteChannelsAction, "pasteChannelsAction", rivo::TrNoop("Incolla"),
         ToolGlyph::Paste, "edit-paste", QKeySequence(QKeySequence::Paste),
         &MainWindow::pasteChannels},
        {},
        {&MainWindow::deleteChannelsAction, "deleteChannelsAction",
         rivo::TrNoop("Cancella i canali selezionati"), ToolGlyph::DeleteChannels, nullptr,
         QKeySequence(Qt::Key_Delete), &MainWindow::deleteChannels},
        {&MainWindow::moveChannelsAction, "moveChannelsAction",
         rivo::TrNoop("Sposta i canali selezionati"), ToolGlyph::MoveChannels, nullptr, none,
         &MainWindow::moveChannels},
        {&MainWindow::goToChannelAction, "goToChannelAction", rivo::TrNoop("Vai al canale"),
         ToolGlyph::GoToChannel, nullptr, QKeySequence(QStringLiteral("Ctrl+G")),
         &MainWindow::goToChannel},
        {&MainWindow::insertChannelAction, "insertChannelAction",
         rivo::TrNoop("Inserisce un canale vuoto"), ToolGlyph::InsertChannel, nullptr,
         QKeySequence(Qt::Key_Insert), &MainWindow::insertChannel},
        {},
        {&MainWindow::swapSatellitesAction, "swapSatellitesAction",
         rivo::TrNoop("Inverte i satelliti"), ToolGlyph::SwapSatellites, nullptr, none,
         &MainWindow::swapSatellites},
        {&MainWindow::deleteTransponderAction, "deleteTransponderAction",
         rivo::TrNoop("Elimina transponder"), ToolGlyph::DeleteTransponder, nullptr, none,
         &MainWindow::deleteTransponder},
        {&MainWindow::optimiseTranspondersAction, "optimiseTranspondersAction",
         rivo::TrNoop("Ottimizza la lista transponder"), ToolGlyph::OptimiseTransponders, nullptr,
         none, &MainWindow::optimiseTransponders},
        {},
        {&MainWindow::favouriteUpAction, "favouriteUpAction",
         rivo::TrNoop("Sposta in su i selezionati"), ToolGlyph::FavouriteUp, "go-up", none,
         &MainWindow::moveFavouriteUp},
        {&MainWindow::favouriteDownAction, "favouriteDownAction",
         rivo::TrNoop("Sposta in giu i selezionati"), ToolGlyph::FavouriteDown, "go-down", none,
         &MainWindow::moveFavouriteDown},
        // "Sposta i selezionati" has no command of its own.
        {&MainWindow::moveFavouritesAction, "moveFavouritesAction",
         rivo::TrNoop("Sposta i selezionati"), ToolGlyph::MoveFavourites, nullptr, none, nullptr},
        {},
        {&MainWindow::closePageAction, "closePageAction", rivo::TrNoop("Chiudi la patch corrente"),
         ToolGlyph::ClosePage, "window-close", QKeySequence(QStringLiteral("Ctrl+W")),
         &MainWindow::closePage},
        {&MainWindow::exitAction, "exitAction", rivo::TrNoop("Esci"), ToolGlyph::Exit,
         "application-exit", QKeySequence(QStringLiteral("Ctrl+Q")), &MainWindow::exitEditor},
    };
    for (const Tool& tool : tools) {
        if (!tool.button) {
            toolBar->addSeparator();
            continue;
        }
        QAction* action =
            addTool(tool.name, QTr(tool.hint), static_cast<int>(tool.glyph), tool.themeName);
        this->*tool.button = action;
        if (!tool.key.isEmpty()) {
            action->setShortcut(tool.key);
            // The hint, with the key that also runs the command.
            action->setToolTip(action->statusTip() + QStringLiteral(" (") +
                               action->shortcut().toString(QKeySequence::NativeText) +
                               QStringLiteral(")"));
        }
        if (tool.command) connect(action, &QAction::triggered, this, tool.command);
    }

    for (QAction* action : toolActions())
        action->setEnabled(action == openAction || action == exitAction);
}

QAction* MainWindow::addTool(const char* name, const QString& hint, int glyph,
                             const char* themeName) {
    QAction* action = toolBar->addAction(ToolIcon(static_cast<ToolGlyph>(glyph), themeName), hint);
    action->setObjectName(QString::fromLatin1(name));
    action->setStatusTip(hint);
    action->setToolTip(hint);
    if (QWidget* button = toolBar->widgetForAction(action)) {
        button->setObjectName(QString::fromLatin1(name));
        button->setFixedSize(40, 38);
        if (auto* tool = qobject_cast<QToolButton*>(button)) tool->setAutoRaise(true);
    }
    return action;
}

std::vector<QAction*> MainWindow::toolActions() const {
    return {openAction,
            saveAction,
            copyChannelsAction,
            pasteChannelsAction,
            deleteChannelsAction,
            moveChannelsAction,
            goToChannelAction,
            insertChannelAction,
            swapSatellitesAction,
            deleteTransponderAction,
            optimiseTranspondersAction,
            favouriteUpAction,
            favouriteDownAction,
            moveFavouritesAction,
            closePageAction,
            exitAction};
}

void MainWindow::createMenus() {
    // The channel tables' context menu.
    channelMenu = new QMenu(this);
    menuDeleteAction = channelMenu->addAction(QTr("&Elimina"));
    menuMoveAction = channelMenu->addAction(QTr("&Sposta"));
    channelMenu->addSeparator();
    channelPropertiesAction = channelMenu->addAction(QTr("&Proprietà"));
    connect(menuDeleteAction, &QAction::triggered, this, &MainWindow::deleteChannels);
    connect(menuMoveAction, &QAction::triggered, this, &MainWindow::moveChannels);
    connect(channelPropertiesAction, &QAction::triggered, this, &MainWindow::editChannelProperties);

    // The tool buttons' actions carry the menu texts; their hints stay in the status tip
    // and tool tip, so the tool bar looks as before.
    const std::pair<QAction*, const char*> texts[] = {
        {openAction, rivo::TrNoop("&Apri")},
        {saveAction, rivo::TrNoop("&Salva")},
        {closePageAction, rivo::TrNoop("&Chiudi")},
        {exitAction, rivo::TrNoop("&Esci")},
        {copyChannelsAction, rivo::TrNoop("&Copia")},
        {pasteChannelsAction, rivo::TrNoop("&Incolla")},
        {deleteChannelsAction, rivo::TrNoop("Canc&ella")},
        {insertChannelAction, rivo::TrNoop("I&nserisci")},
        {moveChannelsAction, rivo::TrNoop("&Sposta")},
        {goToChannelAction, rivo::TrNoop("&Vai al canale")},
        {favouriteUpAction, rivo::TrNoop("Sposta preferito in s&u")},
        {favouriteDownAction, rivo::TrNoop("Sposta preferito in gi&ù")},
        {deleteTransponderAction, rivo::TrNoop("&Elimina")},
        {optimiseTranspondersAction, rivo::TrNoop("&Ottimizza")},
        {swapSatellitesAction, rivo::TrNoop("&Inverti satelliti")}};
    for (const auto& [action, text] : texts) action->setText(QTr(text));

    exportCsvAction = new QAction(QTr("Esporta CS&V..."), this);
    exportCsvAction->setObjectName(QStringLiteral("exportCsvAction"));
    exportCsvAction->setShortcut(QKeySequence(QStringLiteral("Ctrl+E")));
    exportCsvAction->setStatusTip(QTr("Esporta una tabella della lista in un file CSV"));
    undoAction = new QAction(QTr("&Annulla"), this);
    undoAction->setObjectName(QStringLiteral("undoAction"));
    undoAction->setShortcut(QKeySequence(QStringLiteral("Ctrl+Z")));
    redoAction = new QAction(QTr("&Ripeti"), this);
    redoAction->setObjectName(QStringLiteral("redoAction"));
    redoAction->setShortcuts(
        {QKeySequence(QStringLiteral("Ctrl+Shift+Z")), QKeySequence(QStringLiteral("Ctrl+Y"))});
    findAction = new QAction(QTr("&Trova"), this);
    findAction->setObjectName(QStringLiteral("findAction"));
    findAction->setShortcut(QKeySequence(QStringLiteral("Ctrl+F")));
    findAction->setStatusTip(QTr("Cerca un canale per nome"));
    aboutAction = new QAction(QTr("&Informazioni"), this);
    aboutAction->setObjectName(QStringLiteral("aboutAction"));
    revertAction = new QAction(QTr("Ripris&tina la versione salvata"), this);
    revertAction->setObjectName(QStringLiteral("revertAction"));
    revertAction->setStatusTip(QTr("Rilegge la lista dal suo file, com'è salvata sul disco"));
    for (QAction* action : {exportCsvAction, undoAction, redoAction, findAction, aboutAction})
        action->setShortcutContext(Qt::WindowShortcut);

    QMenuBar* bar = menuBar();
    fileMenu = bar->addMenu(QTr("&File"));
    fileMenu->addAction(openAction);
    recentFiles = new RecentFilesController(*this);
    fileMenu->addMenu(recentFiles->recentMenu);
    fileMenu->addMenu(recentFiles->recentWithParamsMenu);
    fileMenu->addAction(saveAction);
    fileMenu->addAction(exportCsvAction);
    printing = new PrintController(*this);
    fileMenu->addAction(printing->printAction);
    fileMenu->addAction(printing->pdfAction);
    dropOpen = new DropOpenController(*this);
    fileMenu->addAction(revertAction);
    fileMenu->addSeparator();
    fileMenu->addAction(closePageAction);
    fileMenu->addAction(exitAction);

    editMenu = bar->addMenu(QTr("&Modifica"));
    editMenu->addAction(undoAction);
    editMenu->addAction(redoAction);
    editMenu->addSeparator();
    editMenu->addAction(copyChannelsAction);
    editMenu->addAction(pasteChannelsAction);
    editMenu->addSeparator();
    editMenu->addAction(deleteChannelsAction);
    editMenu->addAction(insertChannelAction);
    editMenu->addAction(moveChannelsAction);
    editMenu->addAction(goToChannelAction);
    editMenu->addAction(findAction);
    createReorderCommands();
    createFileOrderCommands();
    createDuplicateCommands();
    createCompareCommands();
    editMenu->addSeparator();
    editMenu->addAction(favouriteUpAction);
    editMenu->addAction(favouriteDownAction);
    createSelectionCommands();

    // Pages and tabs from the keyboard: the image pages in turn, and each page's tables.
    viewMenu = bar->addMenu(QTr("&Visualizza"));
    nextPageAction = viewMenu->addAction(QTr("Pagina &successiva"));
    nextPageAction->setObjectName(QStringLiteral("nextPageAction"));
    nextPageAction->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_PageDown)});
    previousPageAction = viewMenu->addAction(QTr("Pagina &precedente"));
    previousPageAction->setObjectName(QStringLiteral("previousPageAction"));
    previousPageAction->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab),
                                      QKeySequence(Qt::CTRL | Qt::Key_PageUp)});
    viewMenu->addSeparator();
    showChannelsAction = viewMenu->addAction(QTr("&Canali"));
    showChannelsAction->setObjectName(QStringLiteral("showChannelsAction"));
    showChannelsAction->setShortcut(QKeySequence(Qt::ALT | Qt::Key_1));
    showTranspondersAction = viewMenu->addAction(QTr("&Transponder"));
    showTranspondersAction->setObjectName(QStringLiteral("showTranspondersAction"));
    showTranspondersAction->setShortcut(QKeySequence(Qt::ALT | Qt::Key_2));
    showFavouritesAction = viewMenu->addAction(QTr("P&referiti"));
    showFavouritesAction->setObjectName(QStringLiteral("showFavouritesAction"));
    showFavouritesAction->setShortcut(QKeySequence(Qt::ALT | Qt::Key_3));
    // The filter bar over the channel table (Ctrl+Shift+F), made in createSelectionCommands.
    viewMenu->addSeparator();
    viewMenu->addAction(filterAction);
    for (QAction* action : viewMenu->actions()) action->setShortcutContext(Qt::WindowShortcut);
    connect(nextPageAction, &QAction::triggered, this, [this] { showNeighbourPage(1); });
    connect(previousPageAction, &QAction::triggered, this, [this] { showNeighbourPage(-1); });
    connect(showChannelsAction, &QAction::triggered, this, [this] { showPageTab(0); });
    connect(showTranspondersAction, &QAction::triggered, this, [this] { showPageTab(1); });
    connect(showFavouritesAction, &QAction::triggered, this, [this] { showPageTab(2); });

    transponderMenu = bar->addMenu(QTr("&Transponder"));
    transponderMenu->addAction(deleteTransponderAction);
    transponderMenu->addAction(optimiseTranspondersAction);
    transponderMenu->addAction(swapSatellitesAction);

    // The language of the next start: each item is written in its own language, so
    // that a user who cannot read the present one still finds theirs.
    languageMenu = bar->addMenu(QTr("&Lingua"));
    languageMenu->setObjectName(QStringLiteral("languageMenu"));
    auto* languages = new QActionGroup(this);
    languages->setExclusive(true);
    italianLanguageAction = languageMenu->addAction(QStringLiteral("&Italiano"));
    italianLanguageAction->setObjectName(QStringLiteral("italianLanguageAction"));
    englishLanguageAction = languageMenu->addAction(QStringLiteral("&English"));
    englishLanguageAction->setObjectName(QStringLiteral("englishLanguageAction"));
    for (QAction* action : {italianLanguageAction, englishLanguageAction}) {
        action->setCheckable(true);
        languages->addAction(action);
    }
    (rivo::CurrentLanguage() == rivo::Language::English ? englishLanguageAction
                                                        : italianLanguageAction)
        ->setChecked(true);
    connect(italianLanguageAction, &QAction::triggered, this,
            [this] { chooseLanguage(rivo::Language::Italian); });
    connect(englishLanguageAction, &QAction::triggered, this,
            [this] { chooseLanguage(rivo::Language::English); });

    helpMenu = bar->addMenu(QTr("A&iuto"));
    help = new HelpController(*this);
    helpMenu->addAction(help->manualAction);
    new AccessibleNames(*this);
    helpMenu->addAction(aboutAction);

    connect(exportCsvAction, &QAction::triggered, this, &MainWindow::exportCsv);
    connect(revertAction, &QAction::triggered, this, &MainWindow::revertToSaved);
    connect(undoAction, &QAction::triggered, this, &MainWindow::undo);
    connect(redoAction, &QAction::triggered, this, &MainWindow::redo);
    connect(findAction, &QAction::triggered, this, &MainWindow::find);
    connect(aboutAction, &QAction::triggered, this, &MainWindow::showAbout);
    updateMenuCommands();
}

void MainWindow::chooseLanguage(rivo::Language language) {
    // Every text has been made already in the language of this start: the choice is
    // kept for the next one, and the user is told so.
    SaveLanguage(language);
    if (language != rivo::CurrentLanguage())
        prompts().tell(rivo::Tr("La lingua scelta sarà usata al prossimo avvio del programma."),
                       rivo::Tr("Lingua"), rivo::Icon::Information);
}

void MainWindow::updateMenuCommands() {
    PageView* view = activePage();
    const bool undo = view && view->history().canUndo();
    const bool redo = view && view->history().canRedo();
    undoAction->setEnabled(undo);
    undoAction->setText(
        undo ? QTr("&Annulla: %1").arg(QString::fromStdString(view->history().undoName()))
             : QTr("&Annulla"));
    redoAction->setEnabled(redo);
    redoAction->setText(
        redo ? QTr("&Ripeti: %1").arg(QString::fromStdString(view->history().redoName()))
             : QTr("&Ripeti"));
    exportCsvAction->setEnabled(view != nullptr);
    revertAction->setEnabled(view != nullptr);
    updateCompareCommands();
    if (viewMenu) {
        nextPageAction->setEnabled(pageViews.size() > 1);
        previousPageAction->setEnabled(pageViews.size() > 1);
        showChannelsAction->setEnabled(view != nullptr);
        showTranspondersAction->setEnabled(view != nullptr);
        showFavouritesAction->setEnabled(view && view->tabs->isTabVisible(2));
    }
    // Find acts from every tab: it brings the channel table forward.
    findAction->setEnabled(view != nullptr);
    if (sortAction) sortAction->setEnabled(view != nullptr);
    if (referenceOrderAction) referenceOrderAction->setEnabled(view != nullptr);
    if (findDuplicatesAction) findDuplicatesAction->setEnabled(view != nullptr);
    updateSelectionCommands();
    if (importOrderAction) importOrderAction->setEnabled(view != nullptr);
}

void MainWindow::showNeighbourPage(int step) {
    const int count = pageTabs->count();
    if (count < 2) return;
    pageTabs->setCurrentIndex(((pageTabs->currentIndex() + step) % count + count) % count);
}

void MainWindow::showPageTab(int tab) {
    PageView* view = activePage();
    if (!view || !view->tabs->isTabVisible(tab)) return;
    view->tabs->setCurrentIndex(tab);
    // The table of that tab takes the keys: the channels, the transponders, or the
    // favourites list on show.
    QTableView* table = tab == 0 ? view->channelTable : tab == 1 ? view->transponderTable : nullptr;
    if (!table)
        for (QTableView* list : view->favouriteTables)
            if (list && list->isVisibleTo(view)) table = list;
    if (table) table->setFocus();
}

void MainWindow::disablePageButtons() {
    for (QAction* action : toolActions())
        if (action != openAction && action != exitAction) action->setEnabled(false);
}

// ---------------------------------------------------------------------------------------
// Which buttons fit the active page and tab

void MainWindow::activePageChanged(int index) {
    statusFollowsPage();
    updateWindowTitle();
    PageView* view = pageView(index);
    emit activePageShown(view);
    if (!view) return;
    saveAction->setEnabled(view->page().modified);
    updateButtons(view->tabs);
    updateMenuCommands();
    noticeFileChanges();
}

void MainWindow::updateButtons(QTabWidget* inner) {
    PageView* view = activePage();
    if (!view || !inner) return;
    const int tab = inner->currentIndex();
    if (tab >= 0 && tab <= 2) {
        // On every tab: Save while the page has changes, and closing the page. The
        // commands of a table are enabled on its own tab only.
        saveAction->setEnabled(view->page().modified);
        closePageAction->setEnabled(true);
        for (QAction* action : {copyChannelsAction, goToChannelAction, moveChannelsAction,
                                deleteChannelsAction, insertChannelAction})
            action->setEnabled(tab == 0);
        // Paste also needs channels in the copy buffer (which, once filled, stays so).
        pasteChannelsAction->setEnabled(tab == 0 && clipboardHoldsChannels());
        for (QAction* action :
             {swapSatellitesAction, deleteTransponderAction, optimiseTranspondersAction})
            action->setEnabled(tab == 1);
        for (QAction* action : {favouriteUpAction, favouriteDownAction})
            action->setEnabled(tab == 2);
        // "Sposta i selezionati" has no command: an enabled button that does nothing
        // would only puzzle, so it stays disabled on every tab.
        moveFavouritesAction->setEnabled(false);
    }
    updateMenuCommands();
}
