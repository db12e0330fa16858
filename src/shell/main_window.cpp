#include "shell/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>

#include "channels/list_page.h"
#include "channels/page_io.h"
#include "channels/records.h"
#include "editing/channel_edit.h"
#include "editing/transponders.h"
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
}  // namespace

TSDIAppForm::TSDIAppForm(QWidget* parent)
    : QMainWindow(parent),
      WorkDir(QDir::currentPath()),
      RowColours{rivo::kColourChannel, rivo::kColourRadio, rivo::kColourNoAudioVideo,
                 rivo::kColourGrey, rivo::kColourInUse} {
    setWindowTitle(QStringLiteral("Rivo800 Editor - Beta 1"));
    resize(722, 509);

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
    chooseSaveFile = [this]() {
        QFileDialog dialog(this, QStringLiteral("Salva"));
        ConfigureSaveDialog(dialog);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return QString();
        return dialog.selectedFiles().first();
    };
}

void TSDIAppForm::ConfigureSaveDialog(QFileDialog& dialog) {
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // Each extension also in its lower- and upper-case spelling: names are compared
    // case-sensitively here.
    dialog.setNameFilters({QStringLiteral("File Bin (*.Bin *.bin *.BIN)"),
                           QStringLiteral("File Dat (*.Dat *.dat *.DAT)"),
                           QStringLiteral("File RCU (*.RCU *.Rcu *.rcu)"),
                           QStringLiteral("Tutti i file (*)")});
    dialog.setDefaultSuffix(QStringLiteral("Dat"));
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
        // Unreadable or not an image: the user sees the container's one message.
        prompts().tell(rivo::kUnknownFormatMessage, kAttention, rivo::Icon::Error);
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
    return true;
}

void TSDIAppForm::addPage(std::unique_ptr<rivo::ListPage> page) {
    auto* view = new PageView(std::move(page), prompts());
    connect(view, &PageView::innerTabChanged, this, &TSDIAppForm::UpdateButtons);
    connect(view, &PageView::modifiedByEdit, this, [this, view] { pageChanged(view); });
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
    view->ChannelGrid->setFocus();
}

void TSDIAppForm::FileSave1Execute() {
    PageView* view = activePage();
    if (!view) return;
    const QString path = chooseSaveFile ? chooseSaveFile() : QString();
    if (path.isEmpty()) return;
    progress().show(0);
    rivo::PageSaveResult result;
    try {
        result = rivo::SavePage(view->page(), QFile::encodeName(path).toStdString(), progress());
    } catch (const std::exception& failure) {
        result.ok = false;
        result.message = failure.what();
    }
    progress().hide();
    if (!result.ok) {
        prompts().tell(result.message, "Rivo800 Edit - Beta1", rivo::Icon::Error);
    } else if (!result.warning.empty()) {
        prompts().tell(result.warning, kAttention, rivo::Icon::Warning);
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
        if (prompts().ask(question, kAttention, rivo::Icon::Warning, rivo::Buttons::YesNo) ==
            rivo::Answer::Yes) {
            PageRecords.erase(PageRecords.begin() + index);
            PageControl1->removeTab(index);  // the next page becomes active and its
            delete view;                     // buttons follow it
        }
    }
    if (PageRecords.empty()) disablePageButtons();
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
        if (prompts().ask(question, kAttention, rivo::Icon::Warning, rivo::Buttons::YesNo) !=
            rivo::Answer::Yes) {
            event->ignore();
            return;
        }
    }
    event->accept();
}

// ---------------------------------------------------------------------------------------
// Which buttons fit the active page and tab

void TSDIAppForm::PageControl1Change(int index) {
    PageView* view = pageView(index);
    if (!view) return;
    ToolButton2->setEnabled(view->page().Modified);
    UpdateButtons(view->PageControl);
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
            ToolButton17->setEnabled(true);
            break;
        default:
            break;
    }
}

void TSDIAppForm::pageChanged(PageView* view) {
    if (!view) return;
    view->refresh();
    updateCaption(view);
    if (view == activePage()) ToolButton2->setEnabled(view->page().Modified);
}

void TSDIAppForm::updateCaption(PageView* view) {
    const int index = PageControl1->indexOf(view);
    if (index < 0) return;
    PageControl1->setTabText(index, view->page().Modified ? view->caption() + QStringLiteral(" *")
                                                          : view->caption());
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

void TSDIAppForm::runOnActivePage(const std::function<void(PageView&)>& command) {
    PageView* view = activePage();
    if (!view) return;
    try {
        command(*view);
    } catch (const std::exception& failure) {
        progress().hide();
        progress().status("");
        prompts().tell(failure.what(), kApplicationTitle, rivo::Icon::Error);
    }
    pageChanged(view);
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
    runOnActivePage([this](PageView& view) {
        const auto [first, last] = view.selectedChannelRows();
        rivo::CopyChannels(view.page(), first, last, ChannelClipboard);
        if (clipboardHoldsChannels()) ToolButton7->setEnabled(true);
    });
}

void TSDIAppForm::ToolButton7Click() {
    runOnActivePage([this](PageView& view) {
        rivo::PasteChannels(view.page(), view.currentChannelRow(), ChannelClipboard, prompts(),
                            progress());
    });
}

void TSDIAppForm::ToolButton11Click() {
    runOnActivePage([this](PageView& view) {
        const auto [first, last] = view.selectedChannelRows();
        rivo::DeleteSelectedChannels(view.page(), first, last, prompts(), progress());
    });
}

void TSDIAppForm::ToolButton10Click() {
    runOnActivePage([this](PageView& view) {
        const auto [first, last] = view.selectedChannelRows();
        if (first < 1) return;
        const int target = askChannelNumber(rivo::kMoveCaption, rivo::kMoveGroup,
                                            rivo::MoveLimit(view.page(), first, last),
                                            view.currentChannelRow());
        if (target < 1) return;
        rivo::MoveChannels(view.page(), first, last, target, progress());
    });
}

void TSDIAppForm::ToolButton8Click() {
    runOnActivePage([this](PageView& view) {
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
    runOnActivePage([this](PageView& view) {
        const int row = view.currentChannelRow();
        if (row < 1) return;
        rivo::InsertEmptyChannel(view.page(), row, prompts());
    });
}

void TSDIAppForm::ToolButton13Click() {
    runOnActivePage([this](PageView& view) { rivo::SwapSatellites(view.page(), prompts()); });
}

void TSDIAppForm::ToolButton20Click() {
    runOnActivePage([this](PageView& view) {
        const int row = view.currentTransponderRow();
        if (row < 1) return;
        rivo::DeleteTransponder(view.page(), row, prompts(), progress());
    });
}

void TSDIAppForm::ToolButton18Click() {
    runOnActivePage(
        [this](PageView& view) { rivo::OptimiseTransponderList(view.page(), progress()); });
}

void TSDIAppForm::ToolButton14Click() {
    runOnActivePage([this](PageView& view) {
        const int list = view.page().SelectedFavourite;
        const rivo::EditResult result = rivo::MoveFavouriteUp(
            view.page(), list, view.currentFavouriteRow(list), prompts());
        if (result.focusRow > 0) view.setCurrentFavouriteRow(list, result.focusRow);
    });
}

void TSDIAppForm::ToolButton16Click() {
    runOnActivePage([this](PageView& view) {
        const int list = view.page().SelectedFavourite;
        const rivo::EditResult result = rivo::MoveFavouriteDown(
            view.page(), list, view.currentFavouriteRow(list), prompts());
        if (result.focusRow > 0) view.setCurrentFavouriteRow(list, result.focusRow);
    });
}

void TSDIAppForm::Propriet1Click() {
    runOnActivePage([this](PageView& view) {
        const auto [first, last] = view.selectedChannelRows();
        if (first < 1) return;
        ::Propriet1Click(this, view.page(), first, last, &prompts());
    });
}

void TSDIAppForm::ChannelGridDblClick() {
    runOnActivePage([this](PageView& view) {
        const int row = view.currentChannelRow();
        if (row < 1) return;
        ::ChannelGridDblClick(this, *ChanData, view.page(), row, &prompts());
    });
}

void TSDIAppForm::TransponderGridDblClick() {
    runOnActivePage([this](PageView& view) {
        const int row = view.currentTransponderRow();
        if (row < 1) return;
        RunTransponderDialog(this, view.page(), row, &prompts());
    });
}
