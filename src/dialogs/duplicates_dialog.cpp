// The "Trova duplicati..." dialog's widgets: the level choice, the tree of groups and copies
// with the kept one checked, the summary, and the repeated favourites entries.
#include "dialogs/duplicates_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "dialogs/dialog_parts.h"
#include "dialogs/qt_text.h"

namespace {

using rivo::dialogs::FromCell;

constexpr int kGroupRole = Qt::UserRole;    // a group item: its index in the finding
constexpr int kRowRole = Qt::UserRole + 1;  // a copy item: its channel row

QString Mark(bool on) { return on ? QStringLiteral("\u2713") : QString(); }

}  // namespace

DuplicatesDialog::DuplicatesDialog(const rivo::ListPage& page, QWidget* parent)
    : QDialog(parent), page_(page) {
    // A window is titled by what it shows; the dots belong to the menu item that opens it.
    setWindowTitle(QTr("Trova duplicati"));
    setModal(true);

    levelCombo = new QComboBox;
    for (int l = 0; l < rivo::kDuplicateLevels; ++l)
        levelCombo->addItem(QString::fromStdString(
            rivo::DuplicateLevelLabel(static_cast<rivo::DuplicateLevel>(l))));
    removeByNameCheck = new QCheckBox(QTr("Elimina anche i canali con lo stesso nome"));
    auto* form = new QFormLayout;
    form->addRow(QTr("Canali doppi"), levelCombo);
    form->addRow(removeByNameCheck);

    groupTree = new QTreeWidget;
    groupTree->setColumnCount(ColumnCount);
    groupTree->setHeaderLabels({QTr("Tieni"), QTr("Num."), QTr("Nome canale"), QTr("SID"),
                                QTr("Frequenza"), QTr("Attivo"), QTr("Bloccato"),
                                QTr("Preferiti")});
    groupTree->setUniformRowHeights(true);
    groupTree->setSelectionBehavior(QAbstractItemView::SelectRows);
    groupTree->header()->setStretchLastSection(false);

    summaryLabel = new QLabel;
    summaryLabel->setObjectName(QStringLiteral("summaryLabel"));

    repeatedList = new QListWidget;
    repeatedList->setMaximumHeight(fontMetrics().height() * 5);
    cleanUpButton = new QPushButton(QTr("Togli le voci ripetute"));
    auto* repeatedBox = new QGroupBox(QTr("Liste dei preferiti che nominano un canale più volte"));
    auto* repeatedLayout = new QVBoxLayout(repeatedBox);
    repeatedLayout->addWidget(repeatedList);
    repeatedLayout->addWidget(cleanUpButton, 0, Qt::AlignLeft);
    for (const rivo::RepeatedEntry& entry : rivo::FindRepeatedFavourites(page_)) {
        const QString name = FromCell(page_.channelGrid.cell(entry.channel, rivo::ch::Name));
        repeatedList->addItem(QTr("Lista %1: canale %2 %3, %4 volte")
                                  .arg(entry.list + 1)
                                  .arg(entry.channel)
                                  .arg(name)
                                  .arg(entry.count));
    }
    if (repeatedList->count() == 0) repeatedList->addItem(QTr("Nessuna"));
    cleanUpButton->setEnabled(!rivo::FindRepeatedFavourites(page_).empty());

    buttons = new QDialogButtonBox;
    removeButton = buttons->addButton(QTr(rivo::kDuplicatesStep), QDialogButtonBox::AcceptRole);
    cancelButton = buttons->addButton(QTr("Annulla"), QDialogButtonBox::RejectRole);
    removeButton->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(cleanUpButton, &QPushButton::clicked, this, [this] { done(CleanUpFavourites); });
    connect(levelCombo, &QComboBox::currentIndexChanged, this, &DuplicatesDialog::levelChosen);
    connect(removeByNameCheck, &QCheckBox::toggled, this, &DuplicatesDialog::updateSummary);
    connect(groupTree, &QTreeWidget::itemChanged, this, &DuplicatesDialog::copyChanged);
    connect(groupTree, &QTreeWidget::itemDoubleClicked, this, &DuplicatesDialog::copyDoubleClicked);

    auto* top = new QVBoxLayout(this);
    top->addLayout(form);
    top->addWidget(groupTree, 1);
    top->addWidget(summaryLabel);
    top->addWidget(repeatedBox);
    top->addWidget(buttons);
    resize(820, 560);
    levelChosen();
}

rivo::DuplicateLevel DuplicatesDialog::level() const {
    return static_cast<rivo::DuplicateLevel>(std::max(0, levelCombo->currentIndex()));
}

std::vector<rivo::DuplicateGroup> DuplicatesDialog::groupsToRemove() const {
    return rivo::GroupsToRemove(finding_, removeByNameCheck->isChecked());
}

void DuplicatesDialog::levelChosen() {
    finding_ = rivo::FindDuplicates(page_, level());
    // The same name alone is no proof of a copy: those groups are for information
    // unless the user asks for them to go too.
    const bool byName = finding_.level == rivo::DuplicateLevel::Name;
    removeByNameCheck->setVisible(byName);
    if (!byName) removeByNameCheck->setChecked(false);
    fillTree();
    updateSummary();
}

void DuplicatesDialog::fillTree() {
    filling_ = true;
    groupTree->clear();
    // Items are made whole before they join the tree: every change to an item in the
    // tree makes the view look it up, which over thousands of groups takes seconds.
    QList<QTreeWidgetItem*> groups;
    for (int g = 0; g < static_cast<int>(finding_.groups.size()); ++g) {
        const rivo::DuplicateGroup& group = finding_.groups[static_cast<size_t>(g)];
        auto* item = new QTreeWidgetItem;
        item->setData(0, kGroupRole, g);
        item->setFlags(Qt::ItemIsEnabled);
        for (const int row : group.rows) {
            const rivo::DuplicateCopyView copy = rivo::DescribeCopy(page_, row, &finding_.lists);
            auto* child = new QTreeWidgetItem(item);
            child->setData(0, kRowRole, row);
            child->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
            child->setText(RowColumn, QString::number(row));
            child->setText(NameColumn, FromCell(copy.name));
            child->setText(SidColumn, QString::fromStdString(copy.sid));
            child->setText(FrequencyColumn, QString::fromStdString(copy.frequency));
            child->setText(ActiveColumn, Mark(copy.active));
            child->setText(LockedColumn, Mark(copy.locked));
            child->setText(ListsColumn, QString::fromStdString(copy.lists));
        }
        showGroup(*item, group);
        groups << item;
    }
    groupTree->addTopLevelItems(groups);
    for (QTreeWidgetItem* item : groups) {
        item->setFirstColumnSpanned(true);
        item->setExpanded(true);
    }
    for (int c = 0; c < ColumnCount; ++c) groupTree->resizeColumnToContents(c);
    filling_ = false;
}

// The group's heading names the copy it keeps and why; the kept copy is the checked one.
void DuplicatesDialog::showGroup(QTreeWidgetItem& item, const rivo::DuplicateGroup& group) {
    const bool wasFilling = filling_;
    filling_ = true;
    for (int i = 0; i < item.childCount(); ++i) {
        QTreeWidgetItem* child = item.child(i);
        const bool kept = child->data(0, kRowRole).toInt() == group.kept;
        child->setCheckState(KeptColumn, kept ? Qt::Checked : Qt::Unchecked);
        QFont font = child->font(NameColumn);
        if (font.bold() != kept) {
            font.setBold(kept);
            for (int c = 0; c < ColumnCount; ++c) child->setFont(c, font);
        }
    }
    item.setText(0, QTr("%1: %2 copie, resta la riga %3 (%4)")
                        .arg(FromCell(page_.channelGrid.cell(group.kept, rivo::ch::Name)))
                        .arg(group.rows.size())
                        .arg(group.kept)
                        .arg(QString::fromStdString(rivo::KeepReasonLabel(group.reason))));
    filling_ = wasFilling;
}

void DuplicatesDialog::copyChanged(QTreeWidgetItem* item, int column) {
    if (filling_ || column != KeptColumn || !item->parent()) return;
    const int g = item->parent()->data(0, kGroupRole).toInt();
    if (g < 0 || g >= static_cast<int>(finding_.groups.size())) return;
    rivo::DuplicateGroup& group = finding_.groups[static_cast<size_t>(g)];
    const int row = item->data(0, kRowRole).toInt();
    // A click on another copy keeps that one instead; the kept copy cannot be unchecked,
    // since every group keeps one.
    if (item->checkState(KeptColumn) == Qt::Checked && row != group.kept)
        rivo::ChooseKeptCopy(group, row);
    showGroup(*item->parent(), group);
}

void DuplicatesDialog::copyDoubleClicked(QTreeWidgetItem* item, int) {
    if (!item->parent() || !showRow) return;
    showRow(item->data(0, kRowRole).toInt());
}

void DuplicatesDialog::updateSummary() {
    const std::vector<rivo::DuplicateGroup> removed = groupsToRemove();
    int count = 0;
    for (const rivo::DuplicateGroup& group : removed)
        count += static_cast<int>(group.rows.size()) - 1;
    summaryLabel->setText(QString::fromStdString(
        rivo::DuplicateSummaryText(static_cast<int>(finding_.groups.size()), count)));
    removeButton->setEnabled(count > 0);
}
