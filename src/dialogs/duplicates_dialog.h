// "Trova duplicati...": the groups of copies of a channel at the level chosen, the copy
// each keeps (changed with a click), what removing them deletes, and the favourites
// lists that name a channel more than once. The logic lives in editing/duplicates.h;
// this class only shows a finding and keeps the user's choices in it.
#pragma once

#include <QDialog>
#include <functional>
#include <vector>

#include "editing/duplicates.h"

class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QLabel;
class QListWidget;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

class DuplicatesDialog : public QDialog {
    Q_OBJECT
public:
    // How the dialog ends: Annulla, "Elimina i duplicati", or the clean-up of the lists.
    enum Outcome {
        Cancelled = QDialog::Rejected,
        RemoveCopies = QDialog::Accepted,
        CleanUpFavourites = 2
    };

    // page is read, never changed; it must outlive the dialog.
    explicit DuplicatesDialog(const rivo::ListPage& page, QWidget* parent = nullptr);

    // The level shown (the level box's choice) and what it found, with the user's choices.
    rivo::DuplicateLevel level() const;
    const rivo::DuplicateFinding& finding() const { return finding_; }
    // What "Elimina i duplicati" removes.
    std::vector<rivo::DuplicateGroup> groupsToRemove() const;

    // Called with the channel row of a copy that is double-clicked.
    std::function<void(int row)> showRow;

    QComboBox* levelCombo = nullptr;         // the four levels, "exact" first
    QTreeWidget* groupTree = nullptr;        // one item per group, one child per copy
    QCheckBox* removeByNameCheck = nullptr;  // the Name level's groups are removed only with it
    QLabel* summaryLabel = nullptr;          // "N gruppi, M canali da eliminare"
    QListWidget* repeatedList = nullptr;     // the lists naming a channel more than once
    QPushButton* cleanUpButton = nullptr;    // "Togli le voci ripetute"
    QPushButton* removeButton = nullptr;     // "Elimina i duplicati"
    QPushButton* cancelButton = nullptr;     // "Annulla"
    QDialogButtonBox* buttons = nullptr;

    // The tree's columns; the first one's check box marks the kept copy.
    enum Column {
        KeptColumn,
        RowColumn,
        NameColumn,
        SidColumn,
        FrequencyColumn,
        ActiveColumn,
        LockedColumn,
        ListsColumn,
        ColumnCount
    };

private slots:
    void levelChosen();
    void copyChanged(QTreeWidgetItem* item, int column);
    void copyDoubleClicked(QTreeWidgetItem* item, int column);

private:
    void fillTree();
    void showGroup(QTreeWidgetItem& item, const rivo::DuplicateGroup& group);
    void updateSummary();

    const rivo::ListPage& page_;
    rivo::DuplicateFinding finding_;
    bool filling_ = false;
};
