#include "shell/main_window.h"

#include <QAction>
#include <algorithm>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QSettings>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QHeaderView>
#include <QToolBar>
#include <QToolButton>

#include "channels/list_page.h"
#include "channels/page_io.h"
#include "channels/records.h"
#include "editing/channel_edit.h"
#include "editing/transponders.h"
#include "dialogs/about_box.h"
#include "dialogs/chan_data_dialog.h"
#include "dialogs/number_dialog.h"
#include "dialogs/open_dialog.h"
#include "dialogs/transponder_dialog.h"
#include "shell/page_view.h"
#include "shell/qt_prompts.h"
#include "shell/tool_icons.h"

namespace {
constexpr const char* kAttention = "Attenzione";
constexpr int kGaugeWidth = 150;
constexpr int kGaugeHeight = 13;
constexpr int kGaugeTop = 3;
constexpr int kGaugeRight = 3;

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
constexpr const char* kStepListName = "Nome lista";
// Commands that never change the page: nothing to record.
constexpr const char* kStepNone = nullptr;
constexpr const char* kNothingToMerge = "Nessun transponder doppio da unire";
}  // namespace

namespace {
QSettings EditorSettings() { return QSettings(QStringLiteral("Rivo800"), QStringLiteral("Rivo800 Editor")); }
constexpr const char* kGeometryKey = "window/geometry";
constexpr const char* kChannelWidthsKey = "tables/channelWidths";
constexpr const char* kTransponderWidthsKey = "tables/transponderWidths";

// The user's widths; for the name column its narrowest width, not what the window's
// width gave it.
QList<QVariant> ColumnWidths(const QTableView* view) {
    QList<QVariant> widths;
    const int name = PageView::nameColumnOf(view);
    for (int c = 0; c < view->model()->columnCount(); ++c)
        widths << (c == name ? PageView::nameWidthOf(view) : view->columnWidth(c));
    return widths;
}

// Widths as saved; a list of another length (another version of the table) is ignored,
// and a column is never made narrower than its title.
void ApplyColumnWidths(PageView& page, QTableView* view, const QList<QVariant>& widths) {
    if (widths.size() != view->model()->columnCount()) return;
    const int name = PageView::nameColumnOf(view);
    for (int c = 0; c < widths.size(); ++c) {
        const int width = std::max(widths[c].toInt(), view->horizontalHeader()->sectionSizeHint(c));
        if (c == name)
            page.setNameColumnWidth(view, width);
        else
            view->setColumnWidth(c, width);
    }
    page.fitNameColumn(view);
}
}  // namespace

TSDIAppForm::TSDIAppForm(QWidget* parent)
    : QMainWindow(parent),
      WorkDir(QDir::currentPath()),
      RowColours{rivo::kColourChannel, rivo::kColourRadio, rivo::kColourNoAudioVideo,
                 rivo::kColourGrey, rivo::kColourInUse} {
    setWindowTitle(QStringLiteral("Rivo800 Editor - Beta 1"));
    resize(722, 509);
    // The smallest size at which the side tabs and the tool bar still show whole.
    setMinimumSize(640, 400);

    ownPrompts_ = std::make_unique<MessageBoxPrompts>(this);
    prompts_ = ownPrompts_.get();

    PageControl1 = new QTabWidget;
    PageControl1->setDocumentMode(true);
    setCentralWidget(PageControl1);

    ToolBar1 = new QToolBar(QStringLiteral("Strumenti"));
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->setIconSize(QSize(32, 32));
    ToolBar1->setFixedHeight(46);
    ToolBar1->setToolButtonStyle(Qt::ToolButtonIconOnly);
    ToolBar1->setContextMenuPolicy(Qt::PreventContextMenu);
    addToolBar(Qt::BottomToolBarArea, ToolBar1);

    auto glyph = [](ToolGlyph g) { return static_cast<int>(g); };
    ToolButton1 = addTool("ToolButton1", QStringLiteral("Apri un file"), glyph(ToolGlyph::Open),
                          "document-open");
    ToolButton2 = addTool("ToolButton2", QStringLiteral("Salva il file corrente"),
                          glyph(ToolGlyph::Save), "document-save");
    ToolBar1->addSeparator();
    ToolButton6 = addTool("ToolButton6", QStringLiteral("Copia i canali selezionati"),
                          glyph(ToolGlyph::Copy), "edit-copy");
    ToolButton7 = addTool("ToolButton7", QStringLiteral("Incolla"), glyph(ToolGlyph::Paste),
                          "edit-paste");
    ToolBar1->addSeparator();
    ToolButton11 = addTool("ToolButton11", QStringLiteral("Cancella i canali selezionati"),
                           glyph(ToolGlyph::DeleteChannels), nullptr);
    ToolButton10 = addTool("ToolButton10", QStringLiteral("Sposta i canali selezionati"),
                           glyph(ToolGlyph::MoveChannels), nullptr);
    ToolButton8 = addTool("ToolButton8", QStringLiteral("Vai al canale"),
                          glyph(ToolGlyph::GoToChannel), nullptr);
    ToolButton19 = addTool("ToolButton19", QStringLiteral("Inserisce un canale vuoto"),
                           glyph(ToolGlyph::InsertChannel), nullptr);
    ToolBar1->addSeparator();
    ToolButton13 = addTool("ToolButton13", QStringLiteral("Inverte i satelliti"),
                           glyph(ToolGlyph::SwapSatellites), nullptr);
    ToolButton20 = addTool("ToolButton20", QStringLiteral("Elimina transponder"),
                           glyph(ToolGlyph::DeleteTransponder), nullptr);
    ToolButton18 = addTool("ToolButton18", QStringLiteral("Ottimizza la lista transponder"),
                           glyph(ToolGlyph::OptimiseTransponders), nullptr);
    ToolBar1->addSeparator();
    ToolButton14 = addTool("ToolButton14", QStringLiteral("Sposta in su i selezionati"),
                           glyph(ToolGlyph::FavouriteUp), "go-up");
    ToolButton16 = addTool("ToolButton16", QStringLiteral("Sposta in giu i selezionati"),
                           glyph(ToolGlyph::FavouriteDown), "go-down");
    ToolButton17 = addTool("ToolButton17", QStringLiteral("Sposta i selezionati"),
                           glyph(ToolGlyph::MoveFavourites), nullptr);
    ToolBar1->addSeparator();
    ToolButton12 = addTool("ToolButton12", QStringLiteral("Chiudi la patch corrente"),
                           glyph(ToolGlyph::ClosePage), "window-close");
    ToolButton4 = addTool("ToolButton4", QStringLiteral("Esci"), glyph(ToolGlyph::Exit),
                          "application-exit");

    ToolButton1->setShortcut(QKeySequence(QStringLiteral("Ctrl+O")));
    ToolButton2->setShortcut(QKeySequence(QStringLiteral("Ctrl+S")));
    ToolButton12->setShortcut(QKeySequence(QStringLiteral("Ctrl+W")));
    ToolButton4->setShortcut(QKeySequence(QStringLiteral("Ctrl+Q")));
    ToolButton11->setShortcut(QKeySequence(Qt::Key_Delete));
    ToolButton6->setShortcut(QKeySequence(QKeySequence::Copy));
    ToolButton7->setShortcut(QKeySequence(QKeySequence::Paste));
    ToolButton19->setShortcut(QKeySequence(Qt::Key_Insert));
    ToolButton8->setShortcut(QKeySequence(QStringLiteral("Ctrl+G")));
    for (QAction* action : toolButtons()) {
        // The hint, with the key that also runs the command.
        if (!action->shortcut().isEmpty())
            action->setToolTip(action->statusTip() + QStringLiteral(" (") +
                               action->shortcut().toString(QKeySequence::NativeText) +
                               QStringLiteral(")"));
    }

    connect(ToolButton1, &QAction::triggered, this, &TSDIAppForm::FileOpen1Execute);
    connect(ToolButton2, &QAction::triggered, this, &TSDIAppForm::FileSave1Execute);
    connect(ToolButton6, &QAction::triggered, this, &TSDIAppForm::ToolButton6Click);
    connect(ToolButton7, &QAction::triggered, this, &TSDIAppForm::ToolButton7Click);
    connect(ToolButton11, &QAction::triggered, this, &TSDIAppForm::ToolButton11Click);
    connect(ToolButton10, &QAction::triggered, this, &TSDIAppForm::ToolButton10Click);
    connect(ToolButton8, &QAction::triggered, this, &TSDIAppForm::ToolButton8Click);
    connect(ToolButton19, &QAction::triggered, this, &TSDIAppForm::ToolButton19Click);
    connect(ToolButton13, &QAction::triggered, this, &TSDIAppForm::ToolButton13Click);
    connect(ToolButton20, &QAction::triggered, this, &TSDIAppForm::ToolButton20Click);
    connect(ToolButton18, &QAction::triggered, this, &TSDIAppForm::ToolButton18Click);
    connect(ToolButton14, &QAction::triggered, this, &TSDIAppForm::ToolButton14Click);
    connect(ToolButton16, &QAction::triggered, this, &TSDIAppForm::ToolButton16Click);
    // "Sposta i selezionati" has no command of its own.
    connect(ToolButton12, &QAction::triggered, this, &TSDIAppForm::ToolButton12Click);
    connect(ToolButton4, &QAction::triggered, this, &TSDIAppForm::FileExit1Execute);

    for (QAction* action : toolButtons())
        action->setEnabled(action == ToolButton1 || action == ToolButton4);

    PopupMenu1 = new QMenu(this);
    Elimina1 = PopupMenu1->addAction(QStringLiteral("&Elimina"));
    Sposta1 = PopupMenu1->addAction(QStringLiteral("&Sposta"));
    PopupMenu1->addSeparator();
    Propriet1 = PopupMenu1->addAction(QStringLiteral("&Proprietà"));
    connect(Elimina1, &QAction::triggered, this, &TSDIAppForm::ToolButton11Click);
    connect(Sposta1, &QAction::triggered, this, &TSDIAppForm::ToolButton10Click);
    connect(Propriet1, &QAction::triggered, this, &TSDIAppForm::Propriet1Click);

    createMenus();

    QStatusBar* bar = statusBar();
    bar->setSizeGripEnabled(false);
    CGauge1 = new QProgressBar(bar);
    CGauge1->setObjectName(QStringLiteral("CGauge1"));
    CGauge1->setRange(0, 100);
    CGauge1->setTextVisible(true);
    CGauge1->setFixedSize(kGaugeWidth, kGaugeHeight);
    CGauge1->hide();
    bar->installEventFilter(this);
    progress_ = std::make_unique<StatusBarProgress>(CGauge1, bar);
    FormResize();

    connect(PageControl1, &QTabWidget::currentChanged, this, &TSDIAppForm::PageControl1Change);
    ChanData = new TChanData(this);

    runOpenDialog = [](TForm2& dialog) { return dialog.exec() == QDialog::Accepted; };
    runNumberDialog = [](TForm4& dialog) { return dialog.exec() == QDialog::Accepted; };
    chooseSaveFile = [this](const QString& current) {
        QFileDialog dialog(this, QStringLiteral("Salva"));
        ConfigureSaveDialog(dialog, current);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return QString();
        return dialog.selectedFiles().first();
    };
    chooseExportTable = [this](const QStringList& tables, int current) {
        bool ok = false;
        const QString chosen =
            QInputDialog::getItem(this, QStringLiteral("Esporta CSV"),
                                  QStringLiteral("Tabella da esportare:"), tables, current, false, &ok);
        return ok ? static_cast<int>(tables.indexOf(chosen)) : -1;
    };
    chooseExportFile = [this](const QString& suggested) {
        QFileDialog dialog(this, QStringLiteral("Esporta CSV"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setNameFilters({QStringLiteral("File CSV (*.csv *.CSV)"), QStringLiteral("Tutti i file (*)")});
        dialog.setDefaultSuffix(QStringLiteral("csv"));
        dialog.selectFile(suggested);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return QString();
        return dialog.selectedFiles().first();
    };
    runAboutBox = [](TAboutBox& box) { box.exec(); };
}

void TSDIAppForm::createMenus() {
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

namespace {
// The save dialog's filters and the extension each gives a name typed without one.
struct SaveFilter {
    const char* filter;
    const char* suffix;
};
constexpr SaveFilter kSaveFilters[] = {
    // Each extension also in its lower- and upper-case spelling: names are compared
    // case-sensitively here.
    {"File Bin (*.Bin *.bin *.BIN)", "Bin"},
    {"File Dat (*.Dat *.dat *.DAT)", "Dat"},
    {"File RCU (*.RCU *.Rcu *.rcu)", "RCU"},
    {"Tutti i file (*)", "Dat"},
};
}  // namespace

QString TSDIAppForm::SaveSuffixForFilter(const QString& filter) {
    for (const SaveFilter& f : kSaveFilters)
        if (filter == QLatin1String(f.filter)) return QString::fromLatin1(f.suffix);
    return QStringLiteral("Dat");
}

void TSDIAppForm::ConfigureSaveDialog(QFileDialog& dialog, const QString& current) {
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    QStringList filters;
    for (const SaveFilter& f : kSaveFilters) filters << QString::fromLatin1(f.filter);
    dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(QStringLiteral("Dat"));
    // A name typed without extension gets the one of the filter shown, so that the
    // open dialog's matching filter finds the file again.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog](const QString& filter) { dialog.setDefaultSuffix(SaveSuffixForFilter(filter)); });
    if (current.isEmpty()) return;
    const QFileInfo file(current);
    dialog.setDirectory(file.absolutePath());
    dialog.selectFile(file.fileName());
    // The filter of the file's own extension, when it has one of ours.
    for (const SaveFilter& f : kSaveFilters) {
        if (file.suffix().compare(QLatin1String(f.suffix), Qt::CaseInsensitive) == 0) {
            dialog.selectNameFilter(QString::fromLatin1(f.filter));
            dialog.setDefaultSuffix(QString::fromLatin1(f.suffix));
            break;
        }
    }
}

TSDIAppForm::~TSDIAppForm() {
    // The pages refer to the prompts; they go first, without page-change handling.
    PageControl1->disconnect(this);
    for (PageView* view : PageRecords) delete view;
    PageRecords.clear();
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

void TSDIAppForm::setPrompts(rivo::UserPrompts* prompts) {
    prompts_ = prompts ? prompts : ownPrompts_.get();
}

rivo::UserPrompts& TSDIAppForm::prompts() { return *prompts_; }
rivo::Progress& TSDIAppForm::progress() { return *progress_; }

PageView* TSDIAppForm::pageView(int index) const {
    if (index < 0 || index >= pageCount()) return nullptr;
    return PageRecords[static_cast<size_t>(index)];
}

PageView* TSDIAppForm::activePage() const { return pageView(PageControl1->currentIndex()); }

rivo::ListPage* TSDIAppForm::activeListPage() const {
    PageView* view = activePage();
    return view ? &view->page() : nullptr;
}

bool TSDIAppForm::clipboardHoldsChannels() const { return ChannelClipboard.HasContent; }

// ---------------------------------------------------------------------------------------
// Opening, saving, closing, leaving

void TSDIAppForm::FileOpen1Execute() {
    // A fresh dialog each time: every opening starts from the start values.
    TForm2 dialog(WorkDir + QStringLiteral("/Sr.Ini"), prompts(), this);
    dialog.Initialise();
    if (!initialFile_.isEmpty()) {
        dialog.setFileName(initialFile_);
        initialFile_.clear();
    }
    if (!runOpenDialog(dialog)) return;
    OpenWithParams(dialog.OpenParams());
}

bool TSDIAppForm::OpenWithParams(const rivo::TOpenParams& params) {
    auto image = std::make_shared<rivo::TKVXFile>();
    const rivo::LoadResult loaded = image->LoadFile(params.FileName);
    if (!loaded.ok()) {
        // A file that could not be read says why (permission, missing, a folder, too
        // large); only a file that was read but is no image is "Formato file sconosciuto".
        const bool unreadable = loaded.status == rivo::LoadResult::Status::Unreadable;
        prompts().tell(unreadable ? loaded.message : std::string(rivo::kUnknownFormatMessage), kAttention,
                       rivo::Icon::Error);
        return false;
    }
    CurrentImage = image;
    if (image->GetType() != 1) {
        prompts().tell(rivo::kMainCodeMessage, kAttention, rivo::Icon::Warning);
        return false;
    }
    std::unique_ptr<rivo::ListPage> page;
    try {
        page = rivo::BuildPage(CurrentImage, params, progress());
    } catch (const std::exception& failure) {
        // A list the page cannot be built from: the user learns why, nothing is added.
        progress().hide();
        prompts().tell(failure.what(), kAttention, rivo::Icon::Error);
        return false;
    }
    progress().hide();
    if (!page) return false;
    if (page->FileName.empty()) page->FileName = params.FileName;
    if (page->ImageId == 0) page->ImageId = rivo::NewImageId();
    addPage(std::move(page));
    // Shown over the new page: the list is there, but what a short file lacked is not.
    if (!loaded.sizeWarning.empty()) prompts().tell(loaded.sizeWarning, kAttention, rivo::Icon::Warning);
    return true;
}

void TSDIAppForm::addPage(std::unique_ptr<rivo::ListPage> page) {
    auto* view = new PageView(std::move(page), prompts());
    connect(view, &PageView::innerTabChanged, this, &TSDIAppForm::UpdateButtons);
    connect(view, &PageView::modifiedByEdit, this, [this, view] {
        view->history().commit(view->page(), kStepListName);
        pageChanged(view);
    });
    enableDragMoves(view);
    {
        const QSettings settings = EditorSettings();
        ApplyColumnWidths(*view, view->ChannelGrid, settings.value(QLatin1String(kChannelWidthsKey)).toList());
        ApplyColumnWidths(*view, view->TransponderGrid,
                          settings.value(QLatin1String(kTransponderWidthsKey)).toList());
    }
    connect(view, &PageView::channelDoubleClicked, this, &TSDIAppForm::ChannelGridDblClick);
    connect(view, &PageView::transponderDoubleClicked, this,
            &TSDIAppForm::TransponderGridDblClick);
    connect(view, &PageView::channelContextMenu, this,
            [this](const QPoint& pos) { PopupMenu1->exec(pos); });
    PageRecords.push_back(view);
    const int index = PageControl1->addTab(view, view->caption());
    PageControl1->setTabToolTip(index, QFile::decodeName(
                                           QByteArray::fromStdString(view->page().FileName)));
    if (PageControl1->currentIndex() != index)
        PageControl1->setCurrentIndex(index);  // PageControl1Change follows
    else
        PageControl1Change(index);
    // The channel commands are ready on the new page's "Canali" tab.
    for (QAction* action :
         {ToolButton6, ToolButton8, ToolButton10, ToolButton11, ToolButton12, ToolButton19})
        action->setEnabled(true);
    if (clipboardHoldsChannels()) ToolButton7->setEnabled(true);
    updateMenuCommands();
    view->ChannelGrid->setFocus();
}

void TSDIAppForm::FileSave1Execute() {
    PageView* view = activePage();
    if (!view) return;
    const QString current = QFile::decodeName(QByteArray::fromStdString(view->page().FileName));
    const QString path = chooseSaveFile ? chooseSaveFile(current) : QString();
    if (path.isEmpty()) return;
    progress().show(0);
    rivo::PageSaveResult result;
    try {
        rivo::PageSaveOptions options;
        // Cells the format cannot hold as shown: the user decides, and No is the default.
        options.acceptDifferences = [this](const std::vector<rivo::CellDifference>& differences) {
            const std::string question = rivo::SavedDifferencesHeading(differences.size()) +
                                         rivo::DescribeDifferences(differences) + "\nSalvare comunque?";
            return prompts().askDiscarding(question, kAttention, rivo::Icon::Warning, rivo::Buttons::YesNo) ==
                   rivo::Answer::Yes;
        };
        result = rivo::SavePage(view->page(), QFile::encodeName(path).toStdString(), progress(), options);
    } catch (const std::exception& failure) {
        result.ok = false;
        result.message = failure.what();
    }
    progress().hide();
    if (result.declined) {
        // The user said No to the list of differences: the page stays as it was.
    } else if (!result.ok) {
        prompts().tell(result.message, "Rivo800 Edit - Beta1", rivo::Icon::Error);
    } else {
        // What was written is the state undo comes back to as unmodified.
        view->history().markSaved(view->page());
        // From now on the page is that file: its tab, the title, the next save and its
        // backup all name it.
        view->page().FileName = QFile::encodeName(path).toStdString();
        PageControl1->setTabToolTip(PageControl1->indexOf(view), path);
        if (!result.warning.empty()) prompts().tell(result.warning, kAttention, rivo::Icon::Warning);
    }
    pageChanged(view);
}

void TSDIAppForm::ToolButton12Click() {
    const int index = PageControl1->currentIndex();
    PageView* view = activePage();
    if (view) {
        std::string question = "Vuoi chiudere il file " + view->caption().toStdString() + "?";
        if (view->page().Modified)
            question += "\nLe modifiche non salvate andranno perse.";
        // Closing a modified page loses its changes: then "No" is the default answer.
        const rivo::Answer answer =
            view->page().Modified
                ? prompts().askDiscarding(question, kAttention, rivo::Icon::Warning, rivo::Buttons::YesNo)
                : prompts().ask(question, kAttention, rivo::Icon::Warning, rivo::Buttons::YesNo);
        if (answer == rivo::Answer::Yes) {
            PageRecords.erase(PageRecords.begin() + index);
            PageControl1->removeTab(index);  // the next page becomes active and its
            delete view;                     // buttons follow it
        }
    }
    if (PageRecords.empty()) disablePageButtons();
    updateMenuCommands();
}

void TSDIAppForm::disablePageButtons() {
    for (QAction* action : toolButtons())
        if (action != ToolButton1 && action != ToolButton4) action->setEnabled(false);
}

void TSDIAppForm::FileExit1Execute() { close(); }

QString TSDIAppForm::modifiedPageNames() const {
    QString names;
    for (PageView* view : PageRecords)
        if (view->page().Modified) names += QStringLiteral("\n- ") + view->caption();
    return names;
}

void TSDIAppForm::closeEvent(QCloseEvent* event) {
    const QString names = modifiedPageNames();
    if (!names.isEmpty()) {
        const std::string question = "Le modifiche di questi file non sono state salvate:" +
                                     names.toStdString() + "\n\nVuoi uscire comunque?";
        if (prompts().askDiscarding(question, kAttention, rivo::Icon::Warning,
                                    rivo::Buttons::YesNo) != rivo::Answer::Yes) {
            event->ignore();
            return;
        }
    }
    saveSettings();
    event->accept();
}


void TSDIAppForm::saveSettings() const {
    QSettings settings = EditorSettings();
    settings.setValue(QLatin1String(kGeometryKey), saveGeometry());
    if (PageView* view = activePage()) {
        settings.setValue(QLatin1String(kChannelWidthsKey), ColumnWidths(view->ChannelGrid));
        settings.setValue(QLatin1String(kTransponderWidthsKey), ColumnWidths(view->TransponderGrid));
    }
}

void TSDIAppForm::restoreSettings() {
    const QSettings settings = EditorSettings();
    const QByteArray geometry = settings.value(QLatin1String(kGeometryKey)).toByteArray();
    if (!geometry.isEmpty()) restoreGeometry(geometry);
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
    const bool modified = view->page().Modified;
    switch (inner->currentIndex()) {
        case 0:
            ToolButton2->setEnabled(modified);
            ToolButton6->setEnabled(true);
            if (clipboardHoldsChannels()) ToolButton7->setEnabled(true);
            ToolButton8->setEnabled(true);
            ToolButton10->setEnabled(true);
            ToolButton11->setEnabled(true);
            ToolButton19->setEnabled(true);
            ToolButton12->setEnabled(true);
            ToolButton13->setEnabled(false);
            ToolButton20->setEnabled(false);
            ToolButton18->setEnabled(false);
            ToolButton14->setEnabled(false);
            ToolButton16->setEnabled(false);
            ToolButton17->setEnabled(false);
            break;
        case 1:
            ToolButton2->setEnabled(modified);
            for (QAction* action : {ToolButton6, ToolButton7, ToolButton8, ToolButton10,
                                    ToolButton11, ToolButton19, ToolButton14, ToolButton16,
                                    ToolButton17})
                action->setEnabled(false);
            ToolButton12->setEnabled(true);
            ToolButton13->setEnabled(true);
            ToolButton20->setEnabled(true);
            ToolButton18->setEnabled(true);
            break;
        case 2:
            ToolButton2->setEnabled(modified);
            for (QAction* action : {ToolButton6, ToolButton7, ToolButton8, ToolButton10,
                                    ToolButton11, ToolButton19, ToolButton13, ToolButton20,
                                    ToolButton18})
                action->setEnabled(false);
            ToolButton12->setEnabled(true);
            ToolButton14->setEnabled(true);
            ToolButton16->setEnabled(true);
            // "Sposta i selezionati" has no command: an enabled button that does nothing
            // would only puzzle, so it stays disabled on every tab.
            ToolButton17->setEnabled(false);
            break;
        default:
            break;
    }
    updateMenuCommands();
}

void TSDIAppForm::pageChanged(PageView* view) {
    if (!view) return;
    view->refresh();
    updateCaption(view);
    if (view == activePage()) ToolButton2->setEnabled(view->page().Modified);
    updateMenuCommands();
}

void TSDIAppForm::updateCaption(PageView* view) {
    const int index = PageControl1->indexOf(view);
    if (index < 0) return;
    PageControl1->setTabText(index, view->page().Modified ? view->caption() + QStringLiteral(" *")
                                                          : view->caption());
    if (view == activePage()) updateWindowTitle();
}

void TSDIAppForm::updateWindowTitle() {
    const QString application = QStringLiteral("Rivo800 Editor - Beta 1");
    PageView* view = activePage();
    if (!view) {
        setWindowTitle(application);
        setWindowModified(false);
        return;
    }
    setWindowTitle(view->caption() + QStringLiteral("[*] - ") + application);
    setWindowModified(view->page().Modified);
}

// ---------------------------------------------------------------------------------------
// The status bar's gauge

void TSDIAppForm::FormResize() {
    QStatusBar* bar = statusBar();
    CGauge1->setGeometry(bar->width() - kGaugeWidth - kGaugeRight, kGaugeTop, kGaugeWidth,
                         kGaugeHeight);
}

void TSDIAppForm::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    FormResize();
}

bool TSDIAppForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == statusBar() && event->type() == QEvent::Resize) FormResize();
    return QMainWindow::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------------------
// Editing commands

namespace {
constexpr const char* kApplicationTitle = "Rivo800 Edit - Beta1";
}

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

void TSDIAppForm::ToolButton14Click() {
    runOnActivePage(kStepFavourite, [this](PageView& view) {
        const int list = view.page().SelectedFavourite;
        const rivo::EditResult result = rivo::MoveFavouriteUp(
            view.page(), list, view.currentFavouriteRow(list), prompts());
        if (result.focusRow > 0) view.setCurrentFavouriteRow(list, result.focusRow);
    });
}

void TSDIAppForm::ToolButton16Click() {
    runOnActivePage(kStepFavourite, [this](PageView& view) {
        const int list = view.page().SelectedFavourite;
        const rivo::EditResult result = rivo::MoveFavouriteDown(
            view.page(), list, view.currentFavouriteRow(list), prompts());
        if (result.focusRow > 0) view.setCurrentFavouriteRow(list, result.focusRow);
    });
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

void TSDIAppForm::EditUndo1Execute() {
    PageView* view = activePage();
    if (!view) return;
    const rivo::UndoHistory::StepRows rows = view->history().undoRows();
    if (!view->history().undo(view->page())) return;
    pageChanged(view);
    SelectStepRows(*view, rows);
}

void TSDIAppForm::EditRedo1Execute() {
    PageView* view = activePage();
    if (!view) return;
    const rivo::UndoHistory::StepRows rows = view->history().redoRows();
    if (!view->history().redo(view->page())) return;
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
