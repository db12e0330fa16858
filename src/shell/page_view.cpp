// One page of the main window: building its three inner tabs and their tables, the
// find bar, the current and selected rows the commands work on, and the name columns'
// widths. The tables whose rows move by dragging are RowDragTables (row_drag_table.cpp).
#include "shell/page_view.h"

#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QFont>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QScrollArea>
#include <QShortcut>
#include <QStandardItemModel>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>
#include <QValidator>

#include "channels/cp1252.h"
#include "dialogs/dialog_parts.h"
#include "dialogs/qt_text.h"
#include "editing/find.h"
#include "shell/cell_delegate.h"
#include "shell/channel_filter_bar.h"
#include "shell/row_drag_table.h"

namespace {

constexpr int kRowHeight = 18;
// Properties of a table with a name column: which column, and its narrowest width.
constexpr const char* kNameColumn = "nameColumn";
constexpr const char* kNameWidth = "nameWidth";
constexpr int kHeaderHeight = 20;
constexpr int kFavouriteWidth = 260;
// What a cell needs beside its text: the delegate's margins on both sides.
constexpr int kCellPadding = 8;
// The find text's background when no channel name holds it.
const QColor kNotFoundColour(255, 102, 102);

// A list name: Windows-1252 characters, at most 8 of them (one byte each), refused as
// typed rather than cut after the edit.
class NameDelegate final : public CellDelegate {
public:
    using CellDelegate::CellDelegate;
    static constexpr int kMaxLength = 8;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* editor = CellDelegate::createEditor(parent, option, index);
        if (auto* line = qobject_cast<QLineEdit*>(editor)) {
            line->setValidator(new rivo::dialogs::Cp1252Validator(line));
            line->setMaxLength(kMaxLength);
        }
        return editor;
    }
};

// The page keeps the receiver's own text ("Versione: 2.3", as the tool prints it); the
// label says it in the user's language.
QString VersionLabelText(const std::string& text) {
    static const std::string prefix = "Versione: ";
    if (text.compare(0, prefix.size(), prefix) != 0) return QString::fromStdString(text);
    return QTr("Versione: %1").arg(QString::fromStdString(text.substr(prefix.size())));
}

std::vector<GridColumn> Columns(std::initializer_list<std::pair<int, bool>> widthCentred,
                                int nameColumn) {
    std::vector<GridColumn> columns;
    for (const auto& [width, centred] : widthCentred) {
        GridColumn column;
        column.width = width;
        column.alignment = centred ? Qt::AlignHCenter : Qt::AlignLeft;
        column.name = static_cast<int>(columns.size()) == nameColumn;
        columns.push_back(column);
    }
    return columns;
}

}  // namespace

PageView::PageView(std::unique_ptr<rivo::ListPage> page, rivo::UserPrompts& prompts,
                   QWidget* parent)
    : QWidget(parent), page_(std::move(page)), history_(*page_), prompts_(prompts) {
    rivo::ListPage& p = *page_;

    channelModel_ = new GridModel(&p.channelGrid,
                                  Columns({{40, false},
                                           {200, false},
                                           {60, true},
                                           {50, true},
                                           {50, true},
                                           {50, true},
                                           {50, true},
                                           {50, true},
                                           {50, true},
                                           {50, true},
                                           {50, true}},
                                          rivo::ch::Name),
                                  this);
    transponderModel_ = new GridModel(&p.transponderGrid,
                                      Columns({{40, false},
                                               {80, false},
                                               {60, true},
                                               {50, true},
                                               {50, true},
                                               {50, true},
                                               {50, true},
                                               {50, true},
                                               {50, true},
                                               {50, true}},
                                              rivo::tp::Satellite),
                                      this);
    for (int k = 0; k < rivo::fav::Lists; ++k)
        favouriteModels_[static_cast<size_t>(k)] =
            new GridModel(&p.favouriteGrids[static_cast<size_t>(k)],
                          Columns({{40, false}, {160, false}, {40, true}}, rivo::fav::Name), this);
    auto configColumns = Columns({{40, false}, {100, false}}, 1);
    configColumns[0].fixed = true;
    configColumns[1].editable = true;
    configModel_ = new GridModel(&p.configGrid, std::move(configColumns), this);

    tabs = new QTabWidget(this);
    tabs->setTabPosition(QTabWidget::West);
    tabs->setDocumentMode(false);

    // "Canali": the find bar (hidden until asked for) over the channel table.
    channelTab = new QWidget;
    auto* channelLayout = new QVBoxLayout(channelTab);
    channelLayout->setContentsMargins(0, 0, 0, 0);
    channelLayout->setSpacing(0);
    findBar = new QWidget;
    findBar->setObjectName(QStringLiteral("findBar"));
    auto* findLayout = new QHBoxLayout(findBar);
    findLayout->setContentsMargins(4, 2, 4, 2);
    findLayout->addWidget(new QLabel(QTr("Trova:")));
    findEdit = new QLineEdit;
    findEdit->setObjectName(QStringLiteral("findEdit"));
    findEdit->setClearButtonEnabled(true);
    findEdit->setPlaceholderText(QTr("Nome del canale"));
    findLayout->addWidget(findEdit, 1);
    auto findButton = [findLayout](const QString& text, const QString& hint) {
        auto* button = new QToolButton;
        button->setText(text);
        button->setToolTip(hint);
        button->setAutoRaise(true);
        findLayout->addWidget(button);
        return button;
    };
    findPreviousButton = findButton(QStringLiteral("▲"), QTr("Precedente (Maiusc+F3)"));
    findNextButton = findButton(QStringLiteral("▼"), QTr("Successivo (F3)"));
    findCloseButton = findButton(QStringLiteral("✕"), QTr("Chiudi (Esc)"));
    findBar->hide();
    channelLayout->addWidget(findBar);
    channelTable = makeGridView(channelModel_, false, true);
    channelTable->setContextMenuPolicy(Qt::CustomContextMenu);
    // Ctrl+click and Shift+click pick any set of rows.
    channelTable->setSelectionMode(QAbstractItemView::ExtendedSelection);
    channelLayout->addWidget(channelTable, 1);
    filterBar = new ChannelFilterBar(p, channelTable);
    channelLayout->insertWidget(0, filterBar);
    connect(filterBar, &ChannelFilterBar::filterApplied, this, &PageView::channelSelectionChanged);
    connect(channelTable->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &PageView::channelSelectionChanged);
    tabs->addTab(channelTab, QTr("Canali"));

    connect(findEdit, &QLineEdit::textChanged, this, [this] { findChannel(true, true); });
    connect(findEdit, &QLineEdit::returnPressed, this, [this] { findChannel(true); });
    connect(findNextButton, &QToolButton::clicked, this, [this] { findChannel(true); });
    connect(findPreviousButton, &QToolButton::clicked, this, [this] { findChannel(false); });
    connect(findCloseButton, &QToolButton::clicked, this, &PageView::closeFindBar);
    // F3 and Shift+F3 anywhere on the tab, the table included; Esc in the bar.
    auto* next = new QShortcut(QKeySequence(Qt::Key_F3), channelTab);
    next->setContext(Qt::WidgetWithChildrenShortcut);
    connect(next, &QShortcut::activated, this, [this] { findChannel(true); });
    auto* previous = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F3), channelTab);
    previous->setContext(Qt::WidgetWithChildrenShortcut);
    connect(previous, &QShortcut::activated, this, [this] { findChannel(false); });
    auto* close = new QShortcut(QKeySequence(Qt::Key_Escape), findBar);
    close->setContext(Qt::WidgetWithChildrenShortcut);
    connect(close, &QShortcut::activated, this, &PageView::closeFindBar);

    // "Transponder"
    transponderTable = makeGridView(transponderModel_, false);
    // A frequency as saved: up to five digits and six decimals ("8705,032714").
    const int frequencyWidth =
        transponderTable->fontMetrics().horizontalAdvance(QStringLiteral("00000,000000")) +
        kCellPadding;
    if (transponderTable->columnWidth(rivo::tp::Frequency) < frequencyWidth)
        transponderTable->setColumnWidth(rivo::tp::Frequency, frequencyWidth);
    tabs->addTab(transponderTable, QTr("Transponder"));

    // "Preferiti": the configuration panel on the left, the eight lists in a scroll box.
    auto* favourites = new QWidget;
    auto* favouritesLayout = new QHBoxLayout(favourites);
    favouritesLayout->setContentsMargins(0, 0, 0, 0);
    favouritesLayout->setSpacing(0);

    // The panel is wide enough for the label to show a whole 8-character list name.
    const int labelWidth =
        std::max(165, QFontMetrics(font()).horizontalAdvance(
                          QTr("Lista selezionata: %1").arg(QStringLiteral("WWWWWWWW"))) +
                          4);
    auto* panel = new QWidget;
    panel->setFixedWidth(labelWidth + 15);
    auto* panelLayout = new QVBoxLayout(panel);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    configBox = new QGroupBox(QTr("Configurazione"), panel);
    panelLayout->addWidget(configBox);
    configTable = makeGridView(configModel_, true);
    configTable->setParent(configBox);
    configTable->setItemDelegateForColumn(1, new NameDelegate(configTable));
    configTable->setSelectionBehavior(QAbstractItemView::SelectItems);
    configTable->setSelectionMode(QAbstractItemView::SingleSelection);
    configTable->setEditTriggers(QAbstractItemView::DoubleClicked |
                                 QAbstractItemView::EditKeyPressed |
                                 QAbstractItemView::AnyKeyPressed);
    configTable->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    configTable->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    configTable->setGeometry(10, 20, 160, 180);
    versionLabel = new QLabel(configBox);
    versionLabel->setGeometry(10, 220, 165, 20);
    selectedListLabel = new QLabel(QTr("Lista selezionata: %1").arg(QString()), configBox);
    selectedListLabel->setGeometry(10, 250, labelWidth, 20);
    favouritesLayout->addWidget(panel);

    scrollBox = new QScrollArea;
    scrollBox->setWidgetResizable(true);
    auto* strip = new QWidget;
    auto* stripLayout = new QVBoxLayout(strip);
    stripLayout->setContentsMargins(0, 0, 0, 0);
    stripLayout->setSpacing(0);
    auto* stripModel = new QStandardItemModel(0, rivo::fav::Lists, this);
    for (int k = 0; k < rivo::fav::Lists; ++k)
        stripModel->setHorizontalHeaderItem(k, new QStandardItem(QTr("Lista %1").arg(k + 1)));
    headerStrip = new QHeaderView(Qt::Horizontal);
    headerStrip->setModel(stripModel);
    headerStrip->setSectionResizeMode(QHeaderView::Fixed);
    headerStrip->setDefaultSectionSize(kFavouriteWidth);
    headerStrip->setSectionsClickable(false);
    headerStrip->setHighlightSections(false);
    headerStrip->setDefaultAlignment(Qt::AlignCenter);
    QFont bold = headerStrip->font();
    bold.setBold(true);
    headerStrip->setFont(bold);
    headerStrip->setFixedWidth(kFavouriteWidth * rivo::fav::Lists);
    headerStrip->setFixedHeight(kHeaderHeight);
    stripLayout->addWidget(headerStrip);
    auto* lists = new QHBoxLayout;
    lists->setSpacing(0);
    lists->setContentsMargins(0, 0, 0, 0);
    for (int k = 0; k < rivo::fav::Lists; ++k) {
        QTableView* view = makeGridView(favouriteModels_[static_cast<size_t>(k)], false, true);
        view->setFixedWidth(kFavouriteWidth);
        // The list's scroll bar takes its width from the columns: the name column gives
        // it up, so that the titles wider in another language ("Channel") stay whole.
        const int room =
            kFavouriteWidth - view->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, view);
        const int others =
            view->columnWidth(rivo::fav::Pos) + view->columnWidth(rivo::fav::Channel);
        const int nameWidth =
            std::max(view->horizontalHeader()->sectionSizeHint(rivo::fav::Name), room - others);
        if (view->columnWidth(rivo::fav::Name) > nameWidth) {
            view->setColumnWidth(rivo::fav::Name, nameWidth);
            view->setProperty(kNameWidth, nameWidth);
        }
        view->setFrameShape(QFrame::NoFrame);
        view->setProperty("tag", k + 1);
        view->installEventFilter(this);
        favouriteTables[static_cast<size_t>(k)] = view;
        lists->addWidget(view);
    }
    lists->addStretch(1);
    stripLayout->addLayout(lists, 1);
    scrollBox->setWidget(strip);
    favouritesLayout->addWidget(scrollBox, 1);
    tabs->addTab(favourites, QTr("Preferiti"));

    changedOnDiskBar = new QFrame;
    changedOnDiskBar->setObjectName(QStringLiteral("changedOnDiskBar"));
    static_cast<QFrame*>(changedOnDiskBar)->setFrameShape(QFrame::StyledPanel);
    auto* barLayout = new QHBoxLayout(changedOnDiskBar);
    barLayout->setContentsMargins(6, 2, 6, 2);
    auto* changedLabel = new QLabel(
        QTr("Il file è stato modificato sul disco dopo che questa pagina l'ha letto o salvato."));
    changedLabel->setWordWrap(true);
    barLayout->addWidget(changedLabel, 1);
    reloadButton = new QPushButton(QTr("&Ricarica"));
    reloadButton->setObjectName(QStringLiteral("reloadButton"));
    ignoreChangeButton = new QPushButton(QTr("I&gnora"));
    ignoreChangeButton->setObjectName(QStringLiteral("ignoreChangeButton"));
    barLayout->addWidget(reloadButton);
    barLayout->addWidget(ignoreChangeButton);
    changedOnDiskBar->hide();
    connect(reloadButton, &QPushButton::clicked, this, &PageView::reloadRequested);
    // Ignoring takes the file as it is now as the one this page knows: the bar does not
    // come back for this change, and a save over it no longer asks.
    connect(ignoreChangeButton, &QPushButton::clicked, this, [this] {
        fileIdentity = ReadFileIdentity(this->page().fileName);
        changedOnDiskBar->hide();
        channelTable->setFocus();
    });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(changedOnDiskBar);
    layout->addWidget(tabs);

    // The list names and version come from the image; the favourites tab is only shown
    // when the image stores favourites lists apart from the channels.
    versionLabel->setText(VersionLabelText(p.versionText));
    tabs->setTabVisible(2, p.layout != rivo::ListLayout::Single);

    // A grid starts with its first row current, as a new table does.
    for (QTableView* view : {channelTable, transponderTable}) {
        if (view->model()->rowCount() > 0)
            view->selectionModel()->setCurrentIndex(
                view->model()->index(0, 0),
                QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }

    connect(tabs, &QTabWidget::currentChanged, this, [this](int) { emit innerTabChanged(tabs); });
    connect(configModel_, &GridModel::cellEdited, this,
            [this](int row, int column) { afterEdit(column, row); });
    connect(channelTable, &QTableView::doubleClicked, this,
            [this] { emit channelDoubleClicked(); });
    // Enter on a row opens its dialog, as a double click does: the keyboard's way in.
    // Taken from the key events the table itself receives (see eventFilter), not from
    // a shortcut, which could also fire while a question box has not taken the keys yet.
    channelTable->installEventFilter(this);
    transponderTable->installEventFilter(this);
    connect(transponderTable, &QTableView::doubleClicked, this,
            [this] { emit transponderDoubleClicked(); });
    connect(channelTable, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        emit channelContextMenu(channelTable->viewport()->mapToGlobal(pos));
    });
}

PageView::~PageView() = default;

QTableView* PageView::makeGridView(GridModel* model, bool editable, bool rowDragging) {
    QTableView* view = rowDragging ? new RowDragTable : new QTableView;
    // A point smaller than the window's text: the columns are narrow by design.
    QFont font = view->font();
    if (font.pointSizeF() > 8) font.setPointSizeF(font.pointSizeF() - 1);
    view->setFont(font);
    // Row geometry before the model: every row is the same height, so the header never
    // measures the 9,990 rows of a large channel table.
    view->verticalHeader()->hide();
    view->verticalHeader()->setMinimumSectionSize(1);
    view->verticalHeader()->setDefaultSectionSize(kRowHeight);
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->setModel(model);
    view->setItemDelegate(new CellDelegate(view));
    view->setWordWrap(false);
    view->setCornerButtonEnabled(false);
    view->setAlternatingRowColors(false);
    view->horizontalHeader()->setFixedHeight(kHeaderHeight);
    view->horizontalHeader()->setHighlightSections(false);
    // The header asks, for each section it paints, whether its whole column is
    // selected, which reads the flags of every row of the column and made a tenth of
    // each repaint of a large list. Sections are never highlighted here: the header
    // gets a selection of its own, always empty, so its answers stay cached.
    view->horizontalHeader()->setSelectionModel(
        new QItemSelectionModel(model, view->horizontalHeader()));
    view->horizontalHeader()->setSectionsClickable(false);
    view->horizontalHeader()->setMinimumSectionSize(1);
    // Each column as wide as the table's design says, and never narrower than its title
    // in the font shown: a clipped title is no title.
    const auto& columns = model->columns();
    for (int c = 0; c < static_cast<int>(columns.size()); ++c) {
        const GridColumn& column = columns[static_cast<size_t>(c)];
        int width = column.width;
        if (!column.fixed) width = std::max(width, view->horizontalHeader()->sectionSizeHint(c));
        view->setColumnWidth(c, width);
        if (column.name) {
            // The name column takes what the window has beyond the other columns.
            view->setProperty(kNameColumn, c);
            view->setProperty(kNameWidth, width);
            view->viewport()->installEventFilter(this);
        }
    }
    if (!editable) {
        view->setEditTriggers(QAbstractItemView::NoEditTriggers);
        view->setSelectionBehavior(QAbstractItemView::SelectRows);
        view->setSelectionMode(QAbstractItemView::ContiguousSelection);
    }
    return view;
}

QString PageView::caption() const {
    return QFile::decodeName(QByteArray::fromStdString(rivo::PageCaption(page_->fileName)));
}

void PageView::refresh() {
    channelModel_->refresh();
    transponderModel_->refresh();
    for (GridModel* model : favouriteModels_) model->refresh();
    configModel_->refresh();
    filterBar->pageChanged();
    versionLabel->setText(VersionLabelText(page_->versionText));
    // A list name may have changed under the label (undo of a rename).
    if (page_->selectedFavourite >= 0) selectFavouriteList(page_->selectedFavourite);
}

void PageView::openFindBar() {
    tabs->setCurrentIndex(0);
    findBar->show();
    findEdit->setFocus(Qt::ShortcutFocusReason);
    findEdit->selectAll();
}

void PageView::closeFindBar() {
    findBar->hide();
    channelTable->setFocus(Qt::OtherFocusReason);
}

bool PageView::findBarOpen() const { return !findBar->isHidden(); }

void PageView::showChangedOnDisk() { changedOnDiskBar->show(); }

bool PageView::changedOnDiskShown() const { return !changedOnDiskBar->isHidden(); }

void PageView::setFindFailed(bool failed) {
    if (!failed) {
        findEdit->setPalette(QPalette());  // back to the inherited colours
        return;
    }
    QPalette palette = QApplication::palette(findEdit);
    palette.setColor(QPalette::Base, kNotFoundColour);
    findEdit->setPalette(palette);
}

int PageView::findChannel(bool forward, bool includeCurrent) {
    const QString text = findEdit->text();
    if (text.isEmpty()) {
        setFindFailed(false);
        return 0;
    }
    // A character the names cannot hold is in no name.
    const auto bytes = rivo::Utf8ToCp1252(text.toStdString());
    int from = currentChannelRow();
    if (includeCurrent && from > 0) from = forward ? from - 1 : from + 1;
    int row = bytes ? rivo::FindChannel(*page_, *bytes, from, forward) : 0;
    // Rows the filter hides are passed over: finding one would select what is not shown.
    const int first = row;
    while (row > 0 && !filterBar->rowShown(row)) {
        row = rivo::FindChannel(*page_, *bytes, row, forward);
        if (row == first) row = 0;  // every match is hidden
    }
    setFindFailed(row == 0);
    if (row > 0) setCurrentChannelRow(row);
    return row;
}

int PageView::currentChannelRow() const {
    const QModelIndex current = channelTable->currentIndex();
    return current.isValid() ? current.row() + 1 : 0;
}

std::pair<int, int> PageView::selectedChannelRows() const {
    const std::vector<int> rows = selectedChannelSet();
    if (rows.empty()) {
        const int current = currentChannelRow();
        return {current, current};
    }
    return {rows.front(), rows.back()};
}

std::vector<int> PageView::selectedChannelSet() const {
    std::vector<char> selected(static_cast<size_t>(page_->channelCount()) + 2, 0);
    bool any = false;
    for (const QItemSelectionRange& range : channelTable->selectionModel()->selection())
        for (int r = range.top() + 1; r <= range.bottom() + 1 && r <= page_->channelCount(); ++r) {
            selected[static_cast<size_t>(r)] = 1;
            any = true;
        }
    std::vector<int> rows;
    if (!any) {
        const int current = currentChannelRow();
        if (current > 0 && filterBar->rowShown(current)) rows.push_back(current);
        return rows;
    }
    // Select all (Ctrl+A) also takes the rows the filter hides: they are not chosen.
    for (int r = 1; r <= page_->channelCount(); ++r)
        if (selected[static_cast<size_t>(r)] && filterBar->rowShown(r)) rows.push_back(r);
    return rows;
}

bool PageView::channelSelectionIsOneBlock() const {
    const std::vector<int> rows = selectedChannelSet();
    return !rows.empty() && rows.back() - rows.front() + 1 == static_cast<int>(rows.size());
}

void PageView::setCurrentChannelRow(int row) {
    if (row < 1 || row > channelModel_->rowCount()) return;
    const QModelIndex index = channelModel_->index(row - 1, 0);
    channelTable->selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    channelTable->scrollTo(index);
}

namespace {
void SelectRows(QTableView* view, int first, int last) {
    QItemSelectionModel* selection = view->selectionModel();
    const int rows = view->model()->rowCount();
    if (first < 1 || first > rows) {
        selection->clear();
        return;
    }
    last = std::clamp(last, first, rows);
    const QModelIndex top = view->model()->index(first - 1, 0);
    selection->setCurrentIndex(top, QItemSelectionModel::NoUpdate);
    selection->select(QItemSelection(top, view->model()->index(last - 1, 0)),
                      QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    view->scrollTo(view->model()->index(last - 1, 0));
    view->scrollTo(top);
}

// Rows in ascending order, in as many blocks as they make; the first one current and
// scrolled into view. Rows past the table's end are left out.
void SelectRowSet(QTableView* view, const std::vector<int>& rows) {
    QItemSelectionModel* selection = view->selectionModel();
    const int count = view->model()->rowCount();
    const int columns = view->model()->columnCount();
    QItemSelection blocks;
    int first = 0;
    int last = 0;
    auto addBlock = [&] {
        if (first > 0)
            blocks.select(view->model()->index(first - 1, 0),
                          view->model()->index(last - 1, columns - 1));
    };
    for (const int r : rows) {
        if (r < 1 || r > count) continue;
        if (first > 0 && r == last + 1) {
            last = r;
            continue;
        }
        addBlock();
        first = last = r;
    }
    addBlock();
    if (blocks.isEmpty()) {
        selection->clear();
        return;
    }
    const QModelIndex top = blocks.first().topLeft();
    selection->setCurrentIndex(top, QItemSelectionModel::NoUpdate);
    selection->select(blocks, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    view->scrollTo(top);
}
}  // namespace

void PageView::selectChannelRows(int first, int last) { SelectRows(channelTable, first, last); }

void PageView::selectTransponderRows(int first, int last) {
    SelectRows(transponderTable, first, last);
}

void PageView::selectChannelSet(const std::vector<int>& rows) { SelectRowSet(channelTable, rows); }

void PageView::selectTransponderSet(const std::vector<int>& rows) {
    SelectRowSet(transponderTable, rows);
}

int PageView::currentTransponderRow() const {
    const QModelIndex current = transponderTable->currentIndex();
    return current.isValid() ? current.row() + 1 : 0;
}

int PageView::currentFavouriteRow(int list) const {
    if (list < 0 || list >= rivo::fav::Lists) return 0;
    const QModelIndex current = favouriteTables[static_cast<size_t>(list)]->currentIndex();
    return current.isValid() ? current.row() + 1 : 0;
}

void PageView::setCurrentFavouriteRow(int list, int row) {
    if (list < 0 || list >= rivo::fav::Lists) return;
    QTableView* view = favouriteTables[static_cast<size_t>(list)];
    if (row < 1 || row > view->model()->rowCount()) return;
    const QModelIndex index = view->model()->index(
        row - 1, view->currentIndex().isValid() ? view->currentIndex().column() : 0);
    view->selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    view->scrollTo(index);
}

void PageView::afterEdit(int column, int row) {
    rivo::Grid& grid = page_->configGrid;
    if (column != 1 || row < 1 || row >= grid.rowCount()) return;
    constexpr size_t kMaxName = 8;  // bytes: one per character in Windows-1252
    if (grid.cell(row, column).size() > kMaxName) {
        prompts_.tell(rivo::Tr("Sono possibili al massimo 8 caratteri"),
                      rivo::Tr(rivo::dialogs::kAttentionTitle), rivo::Icon::Warning);
        grid.setCell(row, column, grid.cell(row, column).substr(0, kMaxName));
        configModel_->refreshRows(row, row);
    }
    // A renamed list must reach the next save.
    page_->modified = true;
    emit modifiedByEdit();
}

void PageView::selectFavouriteList(int list) {
    if (list < 0 || list >= rivo::fav::Lists) return;
    page_->selectedFavourite = list;
    selectedListLabel->setText(
        QTr("Lista selezionata: %1")
            .arg(QString::fromStdString(rivo::Cp1252ToUtf8(page_->configGrid.cell(list + 1, 1)))));
}

void PageView::fitNameColumn(QTableView* view) {
    const QVariant column = view->property(kNameColumn);
    if (!column.isValid()) return;
    const int name = column.toInt();
    int others = 0;
    for (int c = 0; c < view->model()->columnCount(); ++c)
        if (c != name) others += view->columnWidth(c);
    const int width =
        std::max(view->property(kNameWidth).toInt(), view->viewport()->width() - others);
    if (width != view->columnWidth(name)) view->setColumnWidth(name, width);
}

int PageView::nameColumnOf(const QTableView* view) {
    const QVariant column = view->property(kNameColumn);
    return column.isValid() ? column.toInt() : -1;
}

int PageView::nameWidthOf(const QTableView* view) { return view->property(kNameWidth).toInt(); }

void PageView::setNameColumnWidth(QTableView* view, int width) {
    view->setProperty(kNameWidth, width);
    fitNameColumn(view);
}

bool PageView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress &&
        (watched == channelTable || watched == transponderTable)) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            if (watched == channelTable)
                emit channelDoubleClicked();
            else
                emit transponderDoubleClicked();
            return true;
        }
    }
    if (event->type() == QEvent::Resize) {
        for (QTableView* view : {channelTable, transponderTable})
            if (view && watched == view->viewport()) fitNameColumn(view);
    }
    if (event->type() == QEvent::FocusIn) {
        for (int k = 0; k < rivo::fav::Lists; ++k)
            if (watched == favouriteTables[static_cast<size_t>(k)]) selectFavouriteList(k);
    }
    return QWidget::eventFilter(watched, event);
}
