// The commands of the tool bar and the menus, and their enable rules: the menus, which
// commands fit the active page and tab, the editing commands (copy, paste, delete,
// move, go to, insert, transponders, favourites, properties) each run as one undo
// step, undo and redo, find, export and about. The reordering commands are in
// reorder_commands.cpp.
#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QKeySequence>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>
#include <string>
#include <vector>

#include "channels/list_page.h"
#include "dialogs/about_box.h"
#include "dialogs/chan_data_dialog.h"
#include "dialogs/number_dialog.h"
#include "dialogs/transponder_dialog.h"
#include "editing/channel_edit.h"
#include "editing/transponders.h"
#include "shell/main_window.h"
#include "shell/page_view.h"
#include "shell/tool_icons.h"
#include "shell/window_texts.h"

namespace {
using window_text::kApplicationTitle;
using window_text::kAttention;

// The names of the undo steps, after the commands.
constexpr const char* kStepDelete = "Cancellazione canali";
constexpr const char* kStepInsert = "Inserimento canale";
constexpr const char* kStepMove = "Spostamento canali";
constexpr const char* kStepPaste = "Incolla";
constexpr const char* kStepFavourite = "Sposta preferito";
constexpr const char* kStepChannel = "Proprietà canale";
constexpr const char* kStepTransponder = "Modifica transponder";
constexpr const char* kStepDeleteTransponder = "Elimina transponder";
constexpr const char* kStepOptimise = "Ottimizza transponder";
constexpr const char* kStepSwap = "Inverti satelliti";
// Commands that never change the page: nothing to record.
constexpr const char* kStepNone = nullptr;
constexpr const char* kNothingToMerge = "Nessun transponder doppio da unire";
}  // namespace

// ---------------------------------------------------------------------------------------
// The tool bar, the context menu and the menu bar

void TSDIAppForm::createToolBar() {
    ToolBar1 = new QToolBar(QStringLiteral("Strumenti"));
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->setIconSize(QSize(32, 32));
    ToolBar1->setFixedHeight(46);
    ToolBar1->setToolButtonStyle(Qt::ToolButtonIconOnly);
    ToolBar1->setContextMenuPolicy(Qt::PreventContextMenu);
    addToolBar(Qt::BottomToolBarArea, ToolBar1);

    // The buttons left to right; a row without a button is a separator. The key runs the
    // command too; the icon theme's icon is used where there is one (nullptr: always the
    // drawn one).
    struct Tool {
        QAction* TSDIAppForm::*button;
        const char* name;
        const char* hint;
        ToolGlyph glyph;
        const char* themeName;
        QKeySequence key;
        void (TSDIAppForm::*command)();
    };
    const QKeySequence none;
    const Tool tools[] = {
        {&TSDIAppForm::ToolButton1, "ToolButton1", "Apri un file", ToolGlyph::Open, "document-open",
         QKeySequence(QStringLiteral("Ctrl+O")), &TSDIAppForm::FileOpen1Execute},
        {&TSDIAppForm::ToolButton2, "ToolButton2", "Salva il file corrente", ToolGlyph::Save,
         "document-save", QKeySequence(QStringLiteral("Ctrl+S")), &TSDIAppForm::FileSave1Execute},
        {},
        {&TSDIAppForm::ToolButton6, "ToolButton6", "Copia i canali selezionati", ToolGlyph::Copy,
         "edit-copy", QKeySequence(QKeySequence::Copy), &TSDIAppForm::ToolButton6Click},
        {&TSDIAppForm::ToolButton7, "ToolButton7", "Incolla", ToolGlyph::Paste, "edit-paste",
         QKeySequence(QKeySequence::Paste), &TSDIAppForm::ToolButton7Click},
        {},
        {&TSDIAppForm::ToolButton11, "ToolButton11", "Cancella i canali selezionati",
         ToolGlyph::DeleteChannels, nullptr, QKeySequence(Qt::Key_Delete), &TSDIAppForm::ToolButton11Click},
        {&TSDIAppForm::ToolButton10, "ToolButton10", "Sposta i canali selezionati", ToolGlyph::MoveChannels,
         nullptr, none, &TSDIAppForm::ToolButton10Click},
        {&TSDIAppForm::ToolButton8, "ToolButton8", "Vai al canale", ToolGlyph::GoToChannel, nullptr,
         QKeySequence(QStringLiteral("Ctrl+G")), &TSDIAppForm::ToolButton8Click},
        {&TSDIAppForm::ToolButton19, "ToolButton19", "Inserisce un canale vuoto", ToolGlyph::InsertChannel,
         nullptr, QKeySequence(Qt::Key_Insert), &TSDIAppForm::ToolButton19Click},
        {},
        {&TSDIAppForm::ToolButton13, "ToolButton13", "Inverte i satelliti", ToolGlyph::SwapSatellites,
         nullptr, none, &TSDIAppForm::ToolButton13Click},
        {&TSDIAppForm::ToolButton20, "ToolButton20", "Elimina transponder", ToolGlyph::DeleteTransponder,
         nullptr, none, &TSDIAppForm::ToolButton20Click},
        {&TSDIAppForm::ToolButton18, "ToolButton18", "Ottimizza la lista transponder",
         ToolGlyph::OptimiseTransponders, nullptr, none, &TSDIAppForm::ToolButton18Click},
        {},
        {&TSDIAppForm::ToolButton14, "ToolButton14", "Sposta in su i selezionati", ToolGlyph::FavouriteUp,
         "go-up", none, &TSDIAppForm::ToolButton14Click},
        {&TSDIAppForm::ToolButton16, "ToolButton16", "Sposta in giu i selezionati", ToolGlyph::FavouriteDown,
         "go-down", none, &TSDIAppForm::ToolButton16Click},
        // "Sposta i selezionati" has no command of its own.
        {&TSDIAppForm::ToolButton17, "ToolButton17", "Sposta i selezionati", ToolGlyph::MoveFavourites,
         nullptr, none, nullptr},
        {},
        {&TSDIAppForm::ToolButton12, "ToolButton12", "Chiudi la patch corrente", ToolGlyph::ClosePage,
         "window-close", QKeySequence(QStringLiteral("Ctrl+W")), &TSDIAppForm::ToolButton12Click},
        {&TSDIAppForm::ToolButton4, "ToolButton4", "Esci", ToolGlyph::Exit, "application-exit",
         QKeySequence(QStringLiteral("Ctrl+Q")), &TSDIAppForm::FileExit1Execute},
    };
    for (const Tool& tool : tools) {
        if (!tool.button) {
            ToolBar1->addSeparator();
            continue;
        }
        QAction* action = addTool(tool.name, QString::fromUtf8(tool.hint), static_cast<int>(tool.glyph),
                                  tool.themeName);
        this->*tool.button = action;
        if (!tool.key.isEmpty()) {
            action->setShortcut(tool.key);
            // The hint, with the key that also runs the command.
            action->setToolTip(action->statusTip() + QStringLiteral(" (") +
                               action->shortcut().toString(QKeySequence::NativeText) + QStringLiteral(")"));
        }
        if (tool.command) connect(action, &QAction::triggered, this, tool.command);
    }

    for (QAction* action : toolButtons())
        action->setEnabled(action == ToolButton1 || action == ToolButton4);
}

QAction* TSDIAppForm::addTool(const char* name, const QString& hint, int glyph,
                              const char* themeName) {
    QAction* action = ToolBar1->addAction(ToolIcon(static_cast<ToolGlyph>(glyph), themeName), hint);
    action->setObjectName(QString::fromLatin1(name));
    action->setStatusTip(hint);
    action->setToolTip(hint);
    if (QWidget* button = ToolBar1->widgetForAction(action)) {
        button->setObjectName(QString::fromLatin1(name));
        button->setFixedSize(40, 38);
        if (auto* tool = qobject_cast<QToolButton*>(button)) tool->setAutoRaise(true);
    }
    return action;
}

std::vector<QAction*> TSDIAppForm::toolButtons() const {
    return {ToolButton1,  ToolButton2,  ToolButton6,  ToolButton7,  ToolButton11, ToolButton10,
            ToolButton8,  ToolButton19, ToolButton13, ToolButton20, ToolButton18, ToolButton14,
            ToolButton16, ToolButton17, ToolButton12, ToolButton4};
}

void TSDIAppForm::createMenus() {
    // The channel tables' context menu.
    PopupMenu1 = new QMenu(this);
    Elimina1 = PopupMenu1->addAction(QStringLiteral("&Elimina"));
    Sposta1 = PopupMenu1->addAction(QStringLiteral("&Sposta"));
    PopupMenu1->addSeparator();
    Propriet1 = PopupMenu1->addAction(QStringLiteral("&Proprietà"));
    connect(Elimina1, &QAction::triggered, this, &TSDIAppForm::ToolButton11Click);
    connect(Sposta1, &QAction::triggered, this, &TSDIAppForm::ToolButton10Click);
    connect(Propriet1, &QAction::triggered, this, &TSDIAppForm::Propriet1Click);

    // The tool buttons' actions carry the menu texts; their hints stay in the status tip
    // and tool tip, so the tool bar looks as before.
    const std::pair<QAction*, const char*> texts[] = {
        {ToolButton1, "&Apri"},            {ToolButton2, "&Salva"},
        {ToolButton12, "&Chiudi"},         {ToolButton4, "&Esci"},
        {ToolButton6, "&Copia"},           {ToolButton7, "&Incolla"},
        {ToolButton11, "Cance&lla"},       {ToolButton19, "I&nserisci"},
        {ToolButton10, "&Sposta"},         {ToolButton8, "&Vai al canale"},
        {ToolButton14, "Sposta preferito in s&u"}, {ToolButton16, "Sposta preferito in gi&ù"},
        {ToolButton20, "&Elimina"},        {ToolButton18, "&Ottimizza"},
        {ToolButton13, "&Inverti satelliti"}};
    for (const auto& [action, text] : texts) action->setText(QString::fromUtf8(text));

    Esporta1 = new QAction(QStringLiteral("Esporta CS&V..."), this);
    Esporta1->setObjectName(QStringLiteral("Esporta1"));
    Esporta1->setShortcut(QKeySequence(QStringLiteral("Ctrl+E")));
    Esporta1->setStatusTip(QStringLiteral("Esporta una tabella della lista in un file CSV"));
    Annulla1 = new QAction(QStringLiteral("&Annulla"), this);
    Annulla1->setObjectName(QStringLiteral("Annulla1"));
    Annulla1->setShortcut(QKeySequence(QStringLiteral("Ctrl+Z")));
    Ripeti1 = new QAction(QStringLiteral("&Ripeti"), this);
    Ripeti1->setObjectName(QStringLiteral("Ripeti1"));
    Ripeti1->setShortcuts({QKeySequence(QStringLiteral("Ctrl+Shift+Z")), QKeySequence(QStringLiteral("Ctrl+Y"))});
    Trova1 = new QAction(QStringLiteral("&Trova"), this);
    Trova1->setObjectName(QStringLiteral("Trova1"));
    Trova1->setShortcut(QKeySequence(QStringLiteral("Ctrl+F")));
    Trova1->setStatusTip(QStringLiteral("Cerca un canale per nome"));
    Informazioni1 = new QAction(QStringLiteral("&Informazioni"), this);
    Informazioni1->setObjectName(QStringLiteral("Informazioni1"));
    for (QAction* action : {Esporta1, Annulla1, Ripeti1, Trova1, Informazioni1})
        action->setShortcutContext(Qt::WindowShortcut);

    QMenuBar* bar = menuBar();
    FileMenu = bar->addMenu(QStringLiteral("&File"));
    FileMenu->addAction(ToolButton1);
    FileMenu->addAction(ToolButton2);
    FileMenu->addAction(Esporta1);
    FileMenu->addSeparator();
    FileMenu->addAction(ToolButton12);
    FileMenu->addAction(ToolButton4);

    EditMenu = bar->addMenu(QStringLiteral("&Modifica"));
    EditMenu->addAction(Annulla1);
    EditMenu->addAction(Ripeti1);
    EditMenu->addSeparator();
    EditMenu->addAction(ToolButton6);
    EditMenu->addAction(ToolButton7);
    EditMenu->addSeparator();
    EditMenu->addAction(ToolButton11);
    EditMenu->addAction(ToolButton19);
    EditMenu->addAction(ToolButton10);
    EditMenu->addAction(ToolButton8);
    EditMenu->addAction(Trova1);
    createReorderCommands();
    EditMenu->addSeparator();
    EditMenu->addAction(ToolButton14);
    EditMenu->addAction(ToolButton16);

    TransponderMenu = bar->addMenu(QStringLiteral("&Transponder"));
    TransponderMenu->addAction(ToolButton20);
    TransponderMenu->addAction(ToolButton18);
    TransponderMenu->addAction(ToolButton13);

    HelpMenu = bar->addMenu(QStringLiteral("A&iuto"));
    HelpMenu->addAction(Informazioni1);

    connect(Esporta1, &QAction::triggered, this, &TSDIAppForm::FileExport1Execute);
    connect(Annulla1, &QAction::triggered, this, &TSDIAppForm::EditUndo1Execute);
    connect(Ripeti1, &QAction::triggered, this, &TSDIAppForm::EditRedo1Execute);
    connect(Trova1, &QAction::triggered, this, &TSDIAppForm::EditFind1Execute);
    connect(Informazioni1, &QAction::triggered, this, &TSDIAppForm::HelpAbout1Execute);
    updateMenuCommands();
}

void TSDIAppForm::updateMenuCommands() {
    PageView* view = activePage();
    const bool undo = view && view->history().canUndo();
    const bool redo = view && view->history().canRedo();
    Annulla1->setEnabled(undo);
    Annulla1->setText(undo ? QStringLiteral("&Annulla: ") +
                                 QString::fromStdString(view->history().undoName())
                           : QStringLiteral("&Annulla"));
    Ripeti1->setEnabled(redo);
    Ripeti1->setText(redo ? QStringLiteral("&Ripeti: ") +
                                QString::fromStdString(view->history().redoName())
                          : QStringLiteral("&Ripeti"));
    Esporta1->setEnabled(view != nullptr);
    // Find acts from every tab: it brings the channel table forward.
    Trova1->setEnabled(view != nullptr);
    if (Ordina1) Ordina1->setEnabled(view != nullptr);
    if (Riferimento1) Riferimento1->setEnabled(view != nullptr);
}

void TSDIAppForm::disablePageButtons() {
    for (QAction* action : toolButtons())
        if (action != ToolButton1 && action != ToolButton4) action->setEnabled(false);
}

// ---------------------------------------------------------------------------------------
// Which buttons fit the active page and tab

void TSDIAppForm::PageControl1Change(int index) {
    updateWindowTitle();
    PageView* view = pageView(index);
    if (!view) return;
    ToolButton2->setEnabled(view->page().Modified);
    UpdateButtons(view->PageControl);
    updateMenuCommands();
}

void TSDIAppForm::UpdateButtons(QTabWidget* inner) {
    PageView* view = activePage();
    if (!view || !inner) return;
    const int tab = inner->currentIndex();
    if (tab >= 0 && tab <= 2) {
        // On every tab: Save while the page has changes, and closing the page. The
        // commands of a table are enabled on its own tab only.
        ToolButton2->setEnabled(view->page().Modified);
        ToolButton12->setEnabled(true);
        for (QAction* action : {ToolButton6, ToolButton8, ToolButton10, ToolButton11, ToolButton19})
            action->setEnabled(tab == 0);
        // Paste also needs channels in the copy buffer (which, once filled, stays so).
        ToolButton7->setEnabled(tab == 0 && clipboardHoldsChannels());
        for (QAction* action : {ToolButton13, ToolButton20, ToolButton18}) action->setEnabled(tab == 1);
        for (QAction* action : {ToolButton14, ToolButton16}) action->setEnabled(tab == 2);
        // "Sposta i selezionati" has no command: an enabled button that does nothing
        // would only puzzle, so it stays disabled on every tab.
        ToolButton17->setEnabled(false);
    }
    updateMenuCommands();
}

// ---------------------------------------------------------------------------------------
// Editing commands

void TSDIAppForm::runOnActivePage(const char* undoName,
                                  const std::function<void(PageView&)>& command) {
    if (PageView* view = activePage()) runOnPage(*view, undoName, command);
}

void TSDIAppForm::runOnPage(PageView& view, const char* undoName,
                            const std::function<void(PageView&)>& command) {
    try {
        command(view);
    } catch (const std::exception& failure) {
        progress().hide();
        progress().status("");
        prompts().tell(failure.what(), kApplicationTitle, rivo::Icon::Error);
    }
    // Whatever the command changed, even when it stopped half-way, can be taken back.
    if (undoName) view.history().commit(view.page(), undoName);
    pageChanged(&view);
}

void TSDIAppForm::enableDragMoves(PageView* view) {
    RowMover channels;
    channels.allowed = [view](int first, int last, int target) {
        const rivo::ListPage& page = view->page();
        return first >= 1 && first <= last && last <= page.channelCount() && target >= 1 &&
               target < rivo::MoveLimit(page, first, last);
    };
    channels.move = [this, view](int first, int last, int target) {
        runOnPage(*view, kStepMove, [this, first, last, target](PageView& v) {
            if (rivo::MoveChannels(v.page(), first, last, target, progress()).changed)
                v.selectChannelRows(target, target + (last - first));
        });
    };
    view->channelModel()->setRowMover(std::move(channels));
    for (int k = 0; k < rivo::fav::Lists; ++k) {
        RowMover entries;
        // One entry at a time, as the up and down buttons move them.
        entries.allowed = [view, k](int first, int last, int target) {
            return first == last && rivo::FavouriteMoveAllowed(view->page(), k, first, target);
        };
        entries.move = [this, view, k](int first, int, int target) {
            runOnPage(*view, kStepFavourite, [k, first, target](PageView& v) {
                const rivo::EditResult result = rivo::MoveFavourite(v.page(), k, first, target);
                if (result.focusRow > 0) v.setCurrentFavouriteRow(k, result.focusRow);
            });
        };
        view->favouriteModel(k)->setRowMover(std::move(entries));
    }
}

int TSDIAppForm::askChannelNumber(const char* caption, const char* group, int limit,
                                  int initial) {
    TForm4 dialog(prompts(), this);
    dialog.setWindowTitle(QString::fromUtf8(caption));
    dialog.GroupBox1->setTitle(QString::fromUtf8(group));
    dialog.Limit = limit;
    dialog.Edit1->setText(QString::number(initial));
    dialog.Edit1->selectAll();
    if (!runNumberDialog(dialog)) return 0;
    return dialog.value();
}

void TSDIAppForm::ToolButton6Click() {
    runOnActivePage(kStepNone, [this](PageView& view) {
        const auto [first, last] = view.selectedChannelRows();
        rivo::CopyChannels(view.page(), first, last, ChannelClipboard);
        if (clipboardHoldsChannels()) ToolButton7->setEnabled(true);
    });
}

void TSDIAppForm::ToolButton7Click() {
    runOnActivePage(kStepPaste, [this](PageView& view) {
        const int row = view.currentChannelRow();
        if (rivo::PasteChannels(view.page(), row, ChannelClipboard, prompts(), progress()))
            view.selectChannelRows(row, row + static_cast<int>(ChannelClipboard.Channels.size()) - 1);
    });
}

void TSDIAppForm::ToolButton11Click() {
    runOnActivePage(kStepDelete, [this](PageView& view) {
        const auto [first, last] = view.selectedChannelRows();
        // The deleted block's place is selected: the channels now there were not chosen,
        // so a second Delete takes one row, not a block of them.
        if (rivo::DeleteSelectedChannels(view.page(), first, last, prompts(), progress()).changed)
            view.selectChannelRows(first, first);
    });
}

void TSDIAppForm::ToolButton10Click() {
    runOnActivePage(kStepMove, [this](PageView& view) {
        const auto [first, last] = view.selectedChannelRows();
        if (first < 1) return;
        const int target = askChannelNumber(rivo::kMoveCaption, rivo::kMoveGroup,
                                            rivo::MoveLimit(view.page(), first, last),
                                            view.currentChannelRow());
        if (target < 1) return;
        if (rivo::MoveChannels(view.page(), first, last, target, progress()).changed)
            view.selectChannelRows(target, target + (last - first));
    });
}

void TSDIAppForm::ToolButton8Click() {
    runOnActivePage(kStepNone, [this](PageView& view) {
        const int target = askChannelNumber(rivo::kGoToCaption, rivo::kGoToGroup,
                                            rivo::GoToLimit(view.page()), view.currentChannelRow());
        if (target < 1) return;
        const rivo::EditResult result = rivo::GoToChannel(view.page(), target);
        if (result.focusRow > 0) {
            view.setCurrentChannelRow(result.focusRow);
            view.ChannelGrid->setFocus();
        }
    });
}

void TSDIAppForm::ToolButton19Click() {
    runOnActivePage(kStepInsert, [this](PageView& view) {
        const int row = view.currentChannelRow();
        if (row < 1) return;
        rivo::InsertEmptyChannel(view.page(), row, prompts());
    });
}

void TSDIAppForm::ToolButton13Click() {
    runOnActivePage(kStepSwap, [this](PageView& view) { rivo::SwapSatellites(view.page(), prompts()); });
}

void TSDIAppForm::ToolButton20Click() {
    runOnActivePage(kStepDeleteTransponder, [this](PageView& view) {
        const int row = view.currentTransponderRow();
        if (row < 1) return;
        rivo::DeleteTransponder(view.page(), row, prompts(), progress());
    });
}

void TSDIAppForm::ToolButton18Click() {
    runOnActivePage(kStepOptimise, [this](PageView& view) {
        // Nothing merged changes nothing; the status bar says so rather than leaving the
        // user to wonder whether the command ran.
        if (!rivo::OptimiseTransponderList(view.page(), progress()))
            progress().status(kNothingToMerge);
    });
}

namespace {
// The up and down buttons: the current entry of the selected favourites list moves one
// slot with `move`, and the entry stays current in its new slot.
using FavouriteStep = rivo::EditResult (*)(rivo::ListPage&, int list, int slot, rivo::UserPrompts&);
void MoveCurrentFavourite(PageView& view, FavouriteStep move, rivo::UserPrompts& prompts) {
    const int list = view.page().SelectedFavourite;
    const rivo::EditResult result = move(view.page(), list, view.currentFavouriteRow(list), prompts);
    if (result.focusRow > 0) view.setCurrentFavouriteRow(list, result.focusRow);
}
}  // namespace

void TSDIAppForm::ToolButton14Click() {
    runOnActivePage(kStepFavourite,
                    [this](PageView& view) { MoveCurrentFavourite(view, rivo::MoveFavouriteUp, prompts()); });
}

void TSDIAppForm::ToolButton16Click() {
    runOnActivePage(kStepFavourite,
                    [this](PageView& view) { MoveCurrentFavourite(view, rivo::MoveFavouriteDown, prompts()); });
}

void TSDIAppForm::Propriet1Click() {
    runOnActivePage(kStepChannel, [this](PageView& view) {
        const auto [first, last] = view.selectedChannelRows();
        if (first < 1) return;
        ::Propriet1Click(this, view.page(), first, last, &prompts());
    });
}

void TSDIAppForm::ChannelGridDblClick() {
    runOnActivePage(kStepChannel, [this](PageView& view) {
        const int row = view.currentChannelRow();
        if (row < 1) return;
        ::ChannelGridDblClick(this, *ChanData, view.page(), row, &prompts());
    });
}

void TSDIAppForm::TransponderGridDblClick() {
    runOnActivePage(kStepTransponder, [this](PageView& view) {
        const int row = view.currentTransponderRow();
        if (row < 1) return;
        RunTransponderDialog(this, view.page(), row, &prompts());
    });
}

// ---------------------------------------------------------------------------------------
// Undo, redo, find, export, about

namespace {
// After undo or redo the rows the step changed are selected, so the user sees what came
// back or went again.
void SelectStepRows(PageView& view, const rivo::UndoHistory::StepRows& rows) {
    if (rows.channels.first > 0) view.selectChannelRows(rows.channels.first, rows.channels.second);
    if (rows.transponders.first > 0)
        view.selectTransponderRows(rows.transponders.first, rows.transponders.second);
}
}  // namespace

void TSDIAppForm::EditUndo1Execute() { takeHistoryStep(false); }

void TSDIAppForm::EditRedo1Execute() { takeHistoryStep(true); }

void TSDIAppForm::takeHistoryStep(bool redo) {
    PageView* view = activePage();
    if (!view) return;
    rivo::UndoHistory& history = view->history();
    // The rows of the step about to be taken, asked for while it is still the next one.
    const rivo::UndoHistory::StepRows rows = redo ? history.redoRows() : history.undoRows();
    if (!(redo ? history.redo(view->page()) : history.undo(view->page()))) return;
    pageChanged(view);
    SelectStepRows(*view, rows);
}

void TSDIAppForm::EditFind1Execute() {
    if (PageView* view = activePage()) view->openFindBar();
}

void TSDIAppForm::HelpAbout1Execute() {
    TAboutBox box(this);
    if (runAboutBox) runAboutBox(box);
}

void TSDIAppForm::FileExport1Execute() {
    PageView* view = activePage();
    if (!view) return;
    // The tables the page shows; the one on screen is offered first.
    QStringList names{QStringLiteral("Canali"), QStringLiteral("Transponder")};
    std::vector<rivo::CsvTable> tables{rivo::CsvTable::Channels, rivo::CsvTable::Transponders};
    if (view->PageControl->isTabVisible(2)) {
        names << QStringLiteral("Preferiti");
        tables.push_back(rivo::CsvTable::Favourites);
    }
    const int current = std::clamp(view->PageControl->currentIndex(), 0, static_cast<int>(names.size()) - 1);
    const int chosen = chooseExportTable ? chooseExportTable(names, current) : -1;
    if (chosen < 0 || chosen >= static_cast<int>(tables.size())) return;
    const QFileInfo source(QFile::decodeName(QByteArray::fromStdString(view->page().FileName)));
    const QString suggested = source.absolutePath() + QStringLiteral("/") + source.completeBaseName() +
                              QStringLiteral(" - ") + names[chosen] + QStringLiteral(".csv");
    const QString path = chooseExportFile ? chooseExportFile(suggested) : QString();
    if (path.isEmpty()) return;
    const std::string csv = rivo::ExportCsv(view->page(), tables[static_cast<size_t>(chosen)]);
    const std::string error =
        rivo::WriteFileAtomically(QFile::encodeName(path).toStdString(), rivo::Bytes(csv.begin(), csv.end()));
    if (!error.empty()) prompts().tell(error, kAttention, rivo::Icon::Error);
}
