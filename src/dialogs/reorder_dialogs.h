// The dialogs of the two reordering commands: "Ordina..." (key and rows), and
// "Applica ordine da riferimento..." (the reference image and what to take from it,
// then what applying will do). Their logic lives in editing/reorder_dialog_logic.h;
// these classes only move values between the widgets and its structs.
#pragma once

#include <QDialog>
#include <QString>
#include <functional>

#include "editing/reorder_dialog_logic.h"

class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableWidget;

namespace rivo {
class UserPrompts;
}

class SortDialog : public QDialog {
    Q_OBJECT
public:
    // hasSelection: more than one row is selected, so "selezione" is offered first.
    SortDialog(bool hasSelection, QWidget* parent = nullptr);

    rivo::SortDialogValues values() const;

    QComboBox* keyCombo = nullptr;           // "Nome", "SID", "Frequenza"
    QRadioButton* selectionRadio = nullptr;  // "selezione"
    QRadioButton* wholeListRadio = nullptr;  // "tutta la lista"
    QDialogButtonBox* buttons = nullptr;     // "Ok", "Annulla"
};

class ReferenceDialog : public QDialog {
    Q_OBJECT
public:
    // start: the page's open parameters; canTakeFavourites: the page keeps favourites
    // lists (the check box is offered only then). Messages go through prompts.
    ReferenceDialog(const rivo::ReferenceDialogValues& start, bool canTakeFavourites,
                    rivo::UserPrompts& prompts, QWidget* parent = nullptr);

    // The values shown; satellite names as Windows-1252 bytes (a character it cannot
    // hold leaves the name empty, which Ok refuses).
    rivo::ReferenceDialogValues values() const;

    // How "Sfoglia" asks for a file: the chosen path, or "" when cancelled.
    std::function<QString(QWidget* parent)> chooseFile;

    QLineEdit* fileEdit = nullptr;
    QPushButton* browseButton = nullptr;  // "Sfoglia"
    QLineEdit* lnbLowEdit = nullptr;
    QLineEdit* lnbHighEdit = nullptr;
    QLineEdit* satelliteAEdit = nullptr;
    QLineEdit* satelliteBEdit = nullptr;
    QCheckBox* favouritesCheck = nullptr;  // "prendi anche i preferiti"
    QCheckBox* namesCheck = nullptr;       // "prendi anche i nomi"
    QDialogButtonBox* buttons = nullptr;

public slots:
    void browse();
    void acceptIfValid();

private:
    rivo::UserPrompts& prompts_;
};

class ReferencePreviewDialog : public QDialog {
    Q_OBJECT
public:
    ReferencePreviewDialog(const rivo::ReferencePreview& preview, QWidget* parent = nullptr);

    QLabel* passLabel = nullptr;
    QLabel* takesLabel = nullptr;  // what Ok will take: the order, the names, the favourites
    QTableWidget* currentTable = nullptr;    // unmatched channels of the list
    QTableWidget* referenceTable = nullptr;  // unmatched channels of the reference
    QDialogButtonBox* buttons = nullptr;
};
