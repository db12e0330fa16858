// The main window: the tool bar at the bottom, the status bar with its progress gauge,
// and one page per opened image.
// One class over five files: main_window.cpp (the window, opening, its pages, the
// settings), commands.cpp (the actions, their keys and enable rules),
// editing_commands.cpp (what the editing commands do), reorder_commands.cpp (sorting
// and the reference order) and saving.cpp (save, close, leave).
#pragma once

#include <QElapsedTimer>
#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "channels/csv_export.h"
#include "channels/open_params.h"
#include "channels/user_prompts.h"
#include "editing/clipboard.h"
#include "editing/undo_history.h"
#include "image/kvx_image.h"
#include "shell/compare_window.h"
#include "text/language.h"

class PageView;
class QDir;
class QAction;
class QFileDialog;
class QMenu;
class QMenuBar;
class AboutBox;
class QLabel;
class QProgressBar;
class QTimer;
class QTabWidget;
class QToolBar;
class OpenDialog;
class RowNumberDialog;
class SortDialog;
class ReferenceDialog;
class ReferencePreviewDialog;
class DuplicatesDialog;
class FileOrderDialog;
class ChannelDialog;
class RenameDialog;
class RecentFilesController;
class DropOpenController;
class PrintController;
class HelpController;
namespace rivo {
struct ListPage;
}

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // Who answers the questions and reads the messages: message boxes unless replaced
    // (tests pass a scripted answerer). Not owned; nullptr restores the message boxes.
    void setPrompts(rivo::UserPrompts* prompts);
    rivo::UserPrompts& prompts();
    rivo::Progress& progress();

    // How the open dialog is run: by default shown modally; returns whether it ended
    // with Ok. Tests fill the real dialog's controls and press its buttons instead.
    std::function<bool(OpenDialog&)> runOpenDialog;
    // How the channel number dialog is run (go to channel, move channels).
    std::function<bool(RowNumberDialog&)> runRowNumberDialog;
    // How the save command asks for the target file, starting from the page's own file
    // `current`: "" when cancelled. By default a file dialog set up by configureSaveDialog.
    std::function<QString(const QString& current)> chooseSaveFile;
    // The save dialog's filters, started on `current` (its folder, its name, the filter
    // of its extension). A name typed without extension takes the chosen filter's
    // extension ("Dat" under "Tutti i file").
    static void configureSaveDialog(QFileDialog& dialog, const QString& current = QString());
    // The extension a name typed without one takes under a filter of the save dialog.
    static QString saveSuffixForFilter(const QString& filter);
    // The extension a name typed without one takes in `folder`: `suffix` as a file
    // there already spells it in another case ("bin" when "G.bin" is there and "G" is
    // typed under "Bin"), else `suffix` itself.
    static QString existingSuffixSpelling(const QDir& folder, const QString& typed,
                                          const QString& suffix);
    // How "Esporta CSV..." asks for the table (among `tables`, the one at `current`
    // offered first): its index in `tables`, -1 when cancelled.
    std::function<int(const QStringList& tables, int current)> chooseExportTable;
    // How it asks for the file to write, starting from `suggested`: "" when cancelled.
    std::function<QString(const QString& suggested)> chooseExportFile;
    // How the reordering dialogs are run ("Ordina...", "Applica ordine da riferimento..."
    // and its preview): by default shown modally; each returns whether it ended with Ok.
    std::function<bool(SortDialog&)> runSortDialog;
    std::function<bool(ReferenceDialog&)> runReferenceDialog;
    std::function<bool(ReferencePreviewDialog&)> runReferencePreviewDialog;
    // How "Trova duplicati..." is run: by default shown modally; returns how it ended
    // (DuplicatesDialog::Outcome).
    std::function<int(DuplicatesDialog&)> runDuplicatesDialog;
    // "Importa ordine da file...": how the file is chosen (starting in a folder; "" when
    // cancelled) and how its preview is run (by default modally; true on Ok).
    std::function<QString(const QString& folder)> chooseOrderFile;
    std::function<bool(FileOrderDialog&)> runFileOrderDialog;
    // How the about box is run: by default shown modally.
    std::function<void(AboutBox&)> runAboutBox;
    // Shows the "Rinomina..." dialog; true for Ok. Window tests replace it.
    std::function<bool(RenameDialog&)> runRenameDialog;

    // The window's geometry and the tables' column widths, kept between sessions.
    // restoreSettings is for start-up; closing the window saves them. A geometry larger
    // than the screen shrinks to fit it, and the window is kept wholly on the screen.
    void restoreSettings();
    void saveSettings() const;

    // The file the next open dialog starts with (the editor's argument); used once.
    void setInitialFile(const QString& path) { initialFile_ = path; }

    // Opens a file with the given parameters, as the open command does after its dialog.
    // Returns whether a page was added.
    // askIfOpen: a file another page already shows first offers that page.
    bool openWithParams(const rivo::OpenParams& params, bool askIfOpen = true);

    int pageCount() const { return static_cast<int>(pageViews.size()); }
    PageView* pageView(int index) const;
    PageView* activePage() const;
    // Shows the changed-on-disk bar over the active page when its file changed since the
    // page read or saved it; called when the window becomes active and a page is shown.
    void noticeFileChanges();
    // The page whose file is the file at path (the same file, whatever name reaches it).
    PageView* pageShowingFile(const std::string& path) const;
    static bool pageShowingFileIs(const PageView& view, const std::string& path);
    rivo::ListPage* activeListPage() const;

    // The page list, in the order of the main page control's pages.
    std::vector<PageView*> pageViews;
    // The image loaded last.
    std::shared_ptr<rivo::KvxImage> currentImage;
    // The working directory when the window was created: "Sr.Ini" is looked for there.
    QString workDir;
    // The channel copy buffer: shared by all pages, outlives the page it came from.
    rivo::ChannelClipboard channelClipboard;
    // The channel properties dialog of the double-click, kept between uses.
    ChannelDialog* channelDialog = nullptr;
    // Row colours of the tables (0xRRGGBB): channel, radio, no audio/video, grey, in use.
    const std::array<std::uint32_t, 5> rowColours;

    QTabWidget* pageTabs = nullptr;
    QToolBar* toolBar = nullptr;
    QProgressBar* progressBar = nullptr;
    // What the last command reported ("Nessun transponder doppio da unire", "Annullato:
    // ..."): it stays until a later command, and at least kStatusMessageMs, and a tool
    // tip's hint only covers it while the pointer rests on the button.
    QLabel* statusMessage = nullptr;
    static constexpr int kStatusMessageMs = 5000;
    void tellStatus(const QString& text);
    QMenu* channelMenu = nullptr;  // the channel tables' context menu
    QAction* menuDeleteAction = nullptr;
    QAction* menuMoveAction = nullptr;
    QAction* channelPropertiesAction = nullptr;

    // Tool buttons, left to right.
    QAction* openAction = nullptr;                  // "Apri un file"
    QAction* saveAction = nullptr;                  // "Salva il file corrente"
    QAction* copyChannelsAction = nullptr;          // "Copia i canali selezionati"
    QAction* pasteChannelsAction = nullptr;         // "Incolla"
    QAction* deleteChannelsAction = nullptr;        // "Cancella i canali selezionati"
    QAction* moveChannelsAction = nullptr;          // "Sposta i canali selezionati"
    QAction* goToChannelAction = nullptr;           // "Vai al canale"
    QAction* insertChannelAction = nullptr;         // "Inserisce un canale vuoto"
    QAction* swapSatellitesAction = nullptr;        // "Inverte i satelliti"
    QAction* deleteTransponderAction = nullptr;     // "Elimina transponder"
    QAction* optimiseTranspondersAction = nullptr;  // "Ottimizza la lista transponder"
    QAction* favouriteUpAction = nullptr;           // "Sposta in su i selezionati"
    QAction* favouriteDownAction = nullptr;         // "Sposta in giu i selezionati"
    QAction* moveFavouritesAction = nullptr;        // "Sposta i selezionati"
    QAction* closePageAction = nullptr;             // "Chiudi la patch corrente"
    QAction* exitAction = nullptr;                  // "Esci"
    // All seventeen in tool bar order.
    std::vector<QAction*> toolActions() const;

    // The menu bar. Its items for tool bar commands are the tool buttons' own actions,
    // so an item is enabled exactly when its button is; the commands without a button
    // have actions of their own.
    QMenu* fileMenu = nullptr;                  // "File"
    QMenu* editMenu = nullptr;                  // "Modifica"
    QMenu* transponderMenu = nullptr;           // "Transponder"
    QMenu* helpMenu = nullptr;                  // "Aiuto"
    QMenu* languageMenu = nullptr;              // "Lingua": the language of the next start
    QAction* italianLanguageAction = nullptr;   // "Italiano", checked when the editor speaks it
    QAction* englishLanguageAction = nullptr;   // "English"
    QMenu* viewMenu = nullptr;                  // "Visualizza": pages and tabs
    QAction* nextPageAction = nullptr;          // Ctrl+Tab, Ctrl+PgDown
    QAction* previousPageAction = nullptr;      // Ctrl+Shift+Tab, Ctrl+PgUp
    QAction* showChannelsAction = nullptr;      // Alt+1: "Canali"
    QAction* showTranspondersAction = nullptr;  // Alt+2: "Transponder"
    QAction* showFavouritesAction = nullptr;    // Alt+3: "Preferiti"
    QAction* exportCsvAction = nullptr;         // "Esporta CSV..."
    QAction* revertAction = nullptr;            // "Ripristina la versione salvata"
    QAction* undoAction = nullptr;              // "Annulla" (+ ": " and the step it takes back)
    QAction* redoAction = nullptr;              // "Ripeti" (+ ": " and the step it does again)
    QAction* findAction = nullptr;              // "Trova"
    QAction* aboutAction = nullptr;             // "Informazioni"
    QAction* sortAction = nullptr;              // "Ordina..."
    QAction* referenceOrderAction = nullptr;    // "Applica ordine da riferimento..."
    QAction* findDuplicatesAction = nullptr;    // "Trova duplicati..."
    QAction* compareAction = nullptr;           // "Confronta con..."
    QAction* compareBackupAction =
        nullptr;  // "Confronta con il backup": enabled when FILE.bak exists
    // How "Confronta con..." asks what to compare the active page with: among `choices`
    // (the other pages' captions, then "Un file..."), the index chosen; -1 when cancelled.
    std::function<int(const QStringList& choices)> chooseCompareSource;
    // How it asks for the file to compare with: "" when cancelled.
    std::function<QString()> chooseCompareFile;
    // The open compare window, if any (one at a time).
    CompareWindow* compareWindow() const;
    // Commands on a selection of any rows, and the filter bar (selection_commands.cpp).
    QAction* filterAction = nullptr;      // Ctrl+Shift+F: the filter bar's text
    QAction* renameAction = nullptr;      // "Rinomina..." (Ctrl+H)
    QMenu* addToListMenu = nullptr;       // "Aggiungi alla lista": lists 1 .. 8
    QMenu* removeFromListMenu = nullptr;  // "Togli dalla lista"
    void focusFilter();
    void renameChannels();
    void addToFavouriteList(int list);
    void removeFromFavouriteList(int list);
    QAction* importOrderAction = nullptr;  // "Importa ordine da file..."

    // Features with their own actions, made with the menus (each file says what it does).
    RecentFilesController* recentFiles = nullptr;  // "Apri recenti", and the open dialog's start
    DropOpenController* dropOpen = nullptr;        // images dropped on the window
    PrintController* printing = nullptr;           // "Stampa...", "Esporta PDF..."
    HelpController* help = nullptr;                // "Manuale" (F1)

    // Whether the channel copy buffer holds channels.
    bool clipboardHoldsChannels() const;
    // Before view is saved to target: true when target is not the page's file, or is
    // still as the page last read or saved it, or the user agrees to replace it all the
    // same (asked with No as the default).
    bool confirmReplacingChangedFile(PageView& view, const std::string& target);

    // The "Lingua" menu's command: keeps `language` for the next start, and tells the
    // user so when it is not the language of this run.
    void chooseLanguage(rivo::Language language);

signals:
    // The active page changed (nullptr: no page is left).
    void activePageShown(PageView* view);
    // view was saved, under the name its page now has.
    void pageSaved(PageView* view);

public slots:
    void openFile();
    void saveFile();
    void copyChannels();
    void pasteChannels();
    void deleteChannels();
    void moveChannels();
    void goToChannel();
    void insertChannel();
    void swapSatellites();
    void deleteTransponder();
    void optimiseTransponders();
    void moveFavouriteUp();
    void moveFavouriteDown();
    void closePage();
    void revertToSaved();
    void exitEditor();
    void exportCsv();
    void undo();
    void redo();
    void find();
    void showAbout();
    void sortChannels();
    void applyReferenceOrder();
    void findDuplicates();
    void compareWithOther();
    void compareWithBackup();
    void importOrderFromFile();
    void editChannelProperties();
    void editChannel();
    void editTransponder();
    void activePageChanged(int index);
    void updateButtons(QTabWidget* inner);
    void placeProgressBar();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // After a modal window closed: activates this window and focuses lastFocus_.
    void returnFocus();

private:
    // The tool bar with its buttons, their keys and commands (commands.cpp).
    void createToolBar();
    QAction* addTool(const char* name, const QString& hint, int glyph, const char* themeName);
    // The channel tables' context menu and the menu bar (commands.cpp).
    void createMenus();
    // The reordering commands of "Modifica" (reorder_commands.cpp).
    void createReorderCommands();
    // "Trova duplicati..." of "Modifica" (duplicates_commands.cpp).
    void createDuplicateCommands();
    // The compare commands of "File" and the compare window (compare_commands.cpp).
    void createCompareCommands();
    void updateCompareCommands();
    void showCompareWindow(CompareWindow* window);
    void compareWithFile(PageView& view, const QString& file);
    CompareWindow::Commands compareWindowCommands();
    void takeBackFromComparison(rivo::ChangeClass c,
                                const std::vector<rivo::ChannelDifference>& chosen);
    QPointer<CompareWindow> compareWindow_;
    // "Importa ordine da file..." (file_order_commands.cpp).
    void createFileOrderCommands();
    // Enables the commands that have no tool button (undo, redo, export, find) for the
    // active page, and names the steps undo and redo would take.
    void updateMenuCommands();
    // Undo (redo false) or redo on the active page; the rows the step changed are
    // selected afterwards.
    void takeHistoryStep(bool redo);
    void addPage(std::unique_ptr<rivo::ListPage> page);
    // After a command changed the active page: views, Save button, tab caption.
    void pageChanged(PageView* view);
    void updateCaption(PageView* view);
    // The window title: the active page's file name with the modified marker.
    void updateWindowTitle();
    void disablePageButtons();
    // The page step pages away (wrapping around), and the active page's tab.
    void showNeighbourPage(int step);
    void showPageTab(int tab);
    QString modifiedPageNames() const;
    // Runs one editing command on the active page: a failure the command raises (a cell
    // that is not a number) is shown, whatever the command changed becomes one undo step
    // named undoName (nullptr: a command that never changes the page), and the page's
    // views and Save button follow.
    void runOnActivePage(const char* undoName, const std::function<void(PageView&)>& command);
    void runOnPage(PageView& view, const char* undoName,
                   const std::function<void(PageView&)>& command);
    // Lets the channel rows and the favourites entries of a page be moved by dragging.
    void enableDragMoves(PageView* view);
    void createSelectionCommands();
    // The commands that need one block are disabled, saying so, for any other selection.
    void updateSelectionCommands();
    void connectSelectionCommands(PageView* view);
    // Asks for a channel number with the number dialog; 0 when cancelled.
    int askChannelNumber(const char* caption, const char* group, int limit, int initial);
    // A channel move's block: after undo it is selected at first..last again, after
    // redo at target..; the command calls this and runOnPage records it with the step.
    void selectAfterStep(int first, int last, int target);
    // The rows a command touched, recorded with its step: what undo and redo select (a
    // table left unset is found by comparing the states).
    void recordStepRows(const rivo::UndoHistory::TouchedRows& afterUndo,
                        const rivo::UndoHistory::TouchedRows& afterRedo);

    std::unique_ptr<rivo::UserPrompts> ownPrompts_;
    rivo::UserPrompts* prompts_ = nullptr;
    std::unique_ptr<rivo::Progress> progress_;
    QString initialFile_;
    std::optional<std::pair<rivo::UndoHistory::TouchedRows, rivo::UndoHistory::TouchedRows>>
        stepSelection_;
    // A command begins: the previous command's message goes, once it has been shown
    // for kStatusMessageMs.
    void commandStarting();
    QElapsedTimer statusShown_;
    // The page the status message speaks of (none for a message about the editor); the
    // message goes when another page is shown.
    QPointer<PageView> statusPage_;
    void statusFollowsPage();
    QPointer<QWidget> lastFocus_;
    QTimer* statusExpiry_ = nullptr;
};
