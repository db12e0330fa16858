// The main window and its pages: building the window (tool bar, status bar, gauge),
// opening an image into a new page, the page list and the active page, the tab
// captions and the window title, and the settings kept between sessions.
// The actions and their enable rules are in commands.cpp, what the commands do in
// editing_commands.cpp and reorder_commands.cpp; saving, closing a page and leaving
// are in saving.cpp.
#include "shell/main_window.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QSettings>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <algorithm>
#include <filesystem>

#include "channels/list_page.h"
#include "channels/page_io.h"
#include "dialogs/about_box.h"
#include "dialogs/channel_dialog.h"
#include "dialogs/open_dialog.h"
#include "dialogs/qt_text.h"
#include "dialogs/row_number_dialog.h"
#include "dialogs/screen_fit.h"
#include "shell/compare_window.h"
#include "shell/editor_settings.h"
#include "shell/page_view.h"
#include "shell/qt_prompts.h"
#include "shell/recent_files_controller.h"
#include "shell/window_texts.h"

namespace {
using window_text::kAttention;
constexpr int kGaugeWidth = 150;
constexpr int kGaugeHeight = 13;
constexpr int kGaugeTop = 3;
constexpr int kGaugeRight = 3;

// The undo step of a list name edited on the page itself.
constexpr const char* kStepListName = rivo::TrNoop("Nome lista");
}  // namespace

namespace {
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

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent),
      workDir(QDir::currentPath()),
      rowColours{rivo::kColourChannel, rivo::kColourRadio, rivo::kColourNoAudioVideo,
                 rivo::kColourGrey, rivo::kColourInUse} {
    setWindowTitle(QString::fromUtf8(window_text::kWindowTitle));
    resize(722, 509);
    // The smallest size at which the side tabs and the tool bar still show whole.
    setMinimumSize(640, 400);

    ownPrompts_ = std::make_unique<MessageBoxPrompts>(this);
    prompts_ = ownPrompts_.get();

    pageTabs = new QTabWidget;
    pageTabs->setDocumentMode(true);
    setCentralWidget(pageTabs);

    createToolBar();

    createMenus();

    QStatusBar* bar = statusBar();
    bar->setSizeGripEnabled(false);
    progressBar = new QProgressBar(bar);
    progressBar->setObjectName(QStringLiteral("progressBar"));
    progressBar->setRange(0, 100);
    progressBar->setTextVisible(true);
    progressBar->setFixedSize(kGaugeWidth, kGaugeHeight);
    progressBar->hide();
    bar->installEventFilter(this);
    // Which widget of this window had the keys last, and the closing of every modal
    // window, so that the keys come back after a question (see returnFocus).
    qApp->installEventFilter(this);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now && now->window() == this) lastFocus_ = now;
    });
    progress_ = std::make_unique<StatusBarProgress>(progressBar, bar);
    placeProgressBar();
    statusMessage = new QLabel;
    statusMessage->setObjectName(QStringLiteral("statusMessage"));
    bar->addWidget(statusMessage, 1);
    statusExpiry_ = new QTimer(this);
    statusExpiry_->setSingleShot(true);
    connect(statusExpiry_, &QTimer::timeout, statusMessage, &QLabel::clear);

    connect(pageTabs, &QTabWidget::currentChanged, this, &MainWindow::activePageChanged);
    channelDialog = new ChannelDialog(this);

    runOpenDialog = [](OpenDialog& dialog) { return dialog.exec() == QDialog::Accepted; };
    runRowNumberDialog = [](RowNumberDialog& dialog) { return dialog.exec() == QDialog::Accepted; };
    chooseSaveFile = [this](const QString& current) {
        QFileDialog dialog(this, QTr("Salva"));
        configureSaveDialog(dialog, current);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return QString();
        return dialog.selectedFiles().first();
    };
    chooseExportTable = [this](const QStringList& tables, int current) {
        bool ok = false;
        const QString chosen = QInputDialog::getItem(
            this, QTr("Esporta CSV"), QTr("Tabella da esportare:"), tables, current, false, &ok);
        return ok ? static_cast<int>(tables.indexOf(chosen)) : -1;
    };
    chooseExportFile = [this](const QString& suggested) {
        QFileDialog dialog(this, QTr("Esporta CSV"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setNameFilters({QTr("File CSV (*.csv *.CSV)"), QTr("Tutti i file (*)")});
        dialog.setDefaultSuffix(QStringLiteral("csv"));
        dialog.selectFile(suggested);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return QString();
        return dialog.selectedFiles().first();
    };
    runAboutBox = [](AboutBox& box) { box.exec(); };
}

MainWindow::~MainWindow() {
    // Closing the child windows below must not reach this half-destroyed window.
    qApp->removeEventFilter(this);
    QObject::disconnect(qApp, nullptr, this, nullptr);
    // The pages refer to the prompts; they go first, without page-change handling.
    pageTabs->disconnect(this);
    for (PageView* view : pageViews) delete view;
    pageViews.clear();
}

void MainWindow::setPrompts(rivo::UserPrompts* prompts) {
    prompts_ = prompts ? prompts : ownPrompts_.get();
}

rivo::UserPrompts& MainWindow::prompts() { return *prompts_; }
rivo::Progress& MainWindow::progress() { return *progress_; }

PageView* MainWindow::pageView(int index) const {
    if (index < 0 || index >= pageCount()) return nullptr;
    return pageViews[static_cast<size_t>(index)];
}

PageView* MainWindow::activePage() const { return pageView(pageTabs->currentIndex()); }

rivo::ListPage* MainWindow::activeListPage() const {
    PageView* view = activePage();
    return view ? &view->page() : nullptr;
}

bool MainWindow::clipboardHoldsChannels() const { return channelClipboard.hasContent; }

// ---------------------------------------------------------------------------------------
// Opening an image into a new page

void MainWindow::openFile() {
    // The dialog starts with what is remembered of the file and of the last opening.
    const QString file = std::exchange(initialFile_, QString());
    recentFiles->openWithDialog(file);
}

bool MainWindow::openWithParams(const rivo::OpenParams& params, bool askIfOpen) {
    // The same file on a second page is two copies that each overwrite the other's
    // saves: the user is offered the page that already shows it. "No" opens it again
    // (to compare, or to start over from the file).
    if (PageView* open = askIfOpen ? pageShowingFile(params.fileName) : nullptr) {
        const std::string question =
            rivo::Fmt(rivo::Tr("Il file %1 è già aperto. Mostrare la pagina già aperta invece di "
                               "aprirlo di nuovo?"),
                      open->caption().toStdString());
        if (prompts().ask(question, rivo::Tr(kAttention), rivo::Icon::Question,
                          rivo::Buttons::YesNo) == rivo::Answer::Yes) {
            pageTabs->setCurrentWidget(open);
            return false;
        }
    }
    auto image = std::make_shared<rivo::KvxImage>();
    const rivo::LoadResult loaded = image->loadFile(params.fileName);
    if (!loaded.ok()) {
        // A file that could not be read says why (permission, missing, a folder, too
        // large); only a file that was read but is no image is "Formato file sconosciuto".
        const bool unreadable = loaded.status == rivo::LoadResult::Status::Unreadable;
        prompts().tell(
            unreadable ? loaded.message : std::string(rivo::Tr(rivo::kUnknownFormatMessage)),
            rivo::Tr(kAttention), rivo::Icon::Error);
        return false;
    }
    currentImage = image;
    if (image->imageType() != 1) {
        prompts().tell(rivo::Tr(rivo::kMainCodeMessage), rivo::Tr(kAttention), rivo::Icon::Warning);
        return false;
    }
    std::unique_ptr<rivo::ListPage> page;
    try {
        page = rivo::BuildPage(currentImage, params, progress());
    } catch (const std::exception& failure) {
        // A list the page cannot be built from: the user learns why, nothing is added.
        progress().hide();
        prompts().tell(failure.what(), rivo::Tr(kAttention), rivo::Icon::Error);
        return false;
    }
    progress().hide();
    if (!page) return false;
    if (page->fileName.empty()) page->fileName = params.fileName;
    if (page->imageId == 0) page->imageId = rivo::NewImageId();
    addPage(std::move(page));
    pageViews.back()->fileIdentity = ReadFileIdentity(params.fileName);
    // Shown over the new page: the list is there, but what a short file lacked is not.
    // So is a damaged table: what the loader met, and that a save may be refused.
    if (const std::string warning = rivo::LoadWarnings(loaded); !warning.empty())
        prompts().tell(warning, rivo::Tr(kAttention), rivo::Icon::Warning);
    return true;
}

void MainWindow::noticeFileChanges() {
    PageView* view = activePage();
    if (view && !view->changedOnDiskShown() &&
        FileChangedSince(view->page().fileName, view->fileIdentity))
        view->showChangedOnDisk();
}

void MainWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    // Back from another program, which may have rewritten the file.
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) noticeFileChanges();
}

PageView* MainWindow::pageShowingFile(const std::string& path) const {
    std::error_code error;
    for (PageView* view : pageViews) {
        // The same file under another name (a link, a relative path) is the same file.
        if (std::filesystem::equivalent(view->page().fileName, path, error)) return view;
    }
    return nullptr;
}

void MainWindow::addPage(std::unique_ptr<rivo::ListPage> page) {
    auto* view = new PageView(std::move(page), prompts());
    connect(view, &PageView::innerTabChanged, this, &MainWindow::updateButtons);
    connect(view, &PageView::modifiedByEdit, this, [this, view] {
        view->history().commit(view->page(), rivo::Tr(kStepListName));
        pageChanged(view);
    });
    enableDragMoves(view);
    connectSelectionCommands(view);
    {
        const QSettings settings = EditorSettings();
        ApplyColumnWidths(*view, view->channelTable,
                          settings.value(QLatin1String(kChannelWidthsKey)).toList());
        ApplyColumnWidths(*view, view->transponderTable,
                          settings.value(QLatin1String(kTransponderWidthsKey)).toList());
    }
    connect(view, &PageView::reloadRequested, this, [this, view] {
        pageTabs->setCurrentWidget(view);
        revertToSaved();
    });
    connect(view, &PageView::channelDoubleClicked, this, &MainWindow::editChannel);
    connect(view, &PageView::transponderDoubleClicked, this, &MainWindow::editTransponder);
    connect(view, &PageView::channelContextMenu, this,
            [this](const QPoint& pos) { channelMenu->exec(pos); });
    pageViews.push_back(view);
    const int index = pageTabs->addTab(view, view->caption());
    pageTabs->setTabToolTip(index,
                            QFile::decodeName(QByteArray::fromStdString(view->page().fileName)));
    if (pageTabs->currentIndex() != index)
        pageTabs->setCurrentIndex(index);  // activePageChanged follows
    else
        activePageChanged(index);
    // The channel commands are ready on the new page's "Canali" tab.
    for (QAction* action : {copyChannelsAction, goToChannelAction, moveChannelsAction,
                            deleteChannelsAction, closePageAction, insertChannelAction})
        action->setEnabled(true);
    if (clipboardHoldsChannels()) pasteChannelsAction->setEnabled(true);
    updateMenuCommands();
    view->channelTable->setFocus();
}

// ---------------------------------------------------------------------------------------
// The active page: its views, its tab caption and the window title

void MainWindow::pageChanged(PageView* view) {
    if (!view) return;
    view->refresh();
    updateCaption(view);
    if (view == activePage()) saveAction->setEnabled(view->page().modified);
    updateMenuCommands();
    if (compareWindow_) compareWindow_->pageEdited(view);
}

void MainWindow::tellStatus(const QString& text) {
    statusExpiry_->stop();
    statusMessage->setText(text);
    statusShown_.start();
    statusPage_ = activePage();
}

void MainWindow::statusFollowsPage() {
    // What a command said is about its page: on another page it would mislead.
    if (!statusPage_ || statusPage_ == activePage()) return;
    statusExpiry_->stop();
    statusMessage->clear();
    statusPage_ = nullptr;
}

void MainWindow::commandStarting() {
    if (statusMessage->text().isEmpty() || statusExpiry_->isActive()) return;
    const qint64 shown = statusShown_.isValid() ? statusShown_.elapsed() : kStatusMessageMs;
    if (shown >= kStatusMessageMs)
        statusMessage->clear();
    else
        statusExpiry_->start(static_cast<int>(kStatusMessageMs - shown));
}

void MainWindow::updateCaption(PageView* view) {
    const int index = pageTabs->indexOf(view);
    if (index < 0) return;
    pageTabs->setTabText(
        index, view->page().modified ? view->caption() + QStringLiteral(" *") : view->caption());
    if (view == activePage()) updateWindowTitle();
}

void MainWindow::updateWindowTitle() {
    const QString application = QString::fromUtf8(window_text::kWindowTitle);
    PageView* view = activePage();
    if (!view) {
        setWindowTitle(application);
        setWindowModified(false);
        return;
    }
    setWindowTitle(view->caption() + QStringLiteral("[*] - ") + application);
    setWindowModified(view->page().modified);
}

// ---------------------------------------------------------------------------------------
// The status bar's gauge

void MainWindow::placeProgressBar() {
    QStatusBar* bar = statusBar();
    progressBar->setGeometry(bar->width() - kGaugeWidth - kGaugeRight, kGaugeTop, kGaugeWidth,
                             kGaugeHeight);
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    placeProgressBar();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == statusBar() && event->type() == QEvent::Resize) placeProgressBar();
    // A question or dialog closed: once no other stands open, the window and the
    // widget that had the keys get them back. Some window managers leave no window
    // active after a modal one closes, and the next Ctrl+Z would go nowhere.
    if (event->type() == QEvent::Hide && watched != this && watched->isWidgetType()) {
        const auto* closed = static_cast<QWidget*>(watched);
        if (closed->isWindow() && closed->isModal())
            QTimer::singleShot(0, this, &MainWindow::returnFocus);
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::returnFocus() {
    if (!isVisible() || QApplication::activeModalWidget() || QApplication::activePopupWidget())
        return;
    activateWindow();
    if (lastFocus_ && lastFocus_->isVisible()) lastFocus_->setFocus(Qt::ActiveWindowFocusReason);
}

// ---------------------------------------------------------------------------------------
// Settings kept between sessions

void MainWindow::saveSettings() const {
    QSettings settings = EditorSettings();
    settings.setValue(QLatin1String(kGeometryKey), saveGeometry());
    if (PageView* view = activePage()) {
        settings.setValue(QLatin1String(kChannelWidthsKey), ColumnWidths(view->channelTable));
        settings.setValue(QLatin1String(kTransponderWidthsKey),
                          ColumnWidths(view->transponderTable));
    }
}

void MainWindow::restoreSettings() {
    const QSettings settings = EditorSettings();
    const QByteArray geometry = settings.value(QLatin1String(kGeometryKey)).toByteArray();
    if (!geometry.isEmpty()) restoreGeometry(geometry);
    // Saved on a larger screen, it would reach past this one: the tool bar, the status
    // bar and the right-hand columns would be out of reach.
    KeepOnScreen(*this);
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // Once framed, the frame's real size is known: the whole frame on the screen.
    QTimer::singleShot(0, this, [this] {
        if (isVisible()) KeepOnScreen(*this);
    });
}
