// The actions of the tool bar and the menus, and their enable rules: the tool bar's
// buttons with their keys and the command each runs, the channel tables' context menu,
// the menu bar, and which commands fit the active page and tab. What the commands do
// is in editing_commands.cpp (the reordering ones in reorder_commands.cpp); saving,
// closing and leaving in saving.cpp.
#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <vector>

#include "shell/main_window.h"
#include "shell/page_view.h"
#include "shell/tool_icons.h"

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
