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

class TSortDialog : public QDialog {
    Q_OBJECT
public:
    // hasSelection: more than one row is selected, so "selezione" is offered first.
    TSortDialog(bool hasSelection, QWidget* parent = nullptr);

    rivo::SortDialogValues values() const;

    QComboBox* KeyCombo = nullptr;           // "Nome", "SID", "Frequenza"
    QRadioButton* SelectionRadio = nullptr;  // "selezione"
    QRadioButton* WholeListRadio = nullptr;  // "tutta la lista"
    QDialogButtonBox* Buttons = nullptr;     // "Ok", "Annulla"
};

class TReferenceDialog : public QDialog {
    Q_OBJECT
public:
    // start: the page's open parameters; canTakeFavourites: the page keeps favourites
    // lists (the check box is offered only then). Messages go through prompts.
    TReferenceDialog(const rivo::ReferenceDialogValues& start, bool canTakeFavourites, rivo::UserPrompts& prompts,
                     QWidget* parent = nullptr);

    // The values shown; satellite names as Windows-1252 bytes (a character it cannot
    // hold leaves the name empty, which Ok refuses).
    rivo::ReferenceDialogValues values() const;

    // How "Sfoglia" asks for a file: the chosen path, or "" when cancelled.
    std::function<QString(QWidget* parent)> chooseFile;

    QLineEdit* FileEdit = nullptr;
    QPushButton* BrowseButton = nullptr;  // "Sfoglia"
    QLineEdit* LnbLowEdit = nullptr;
    QLineEdit* LnbHighEdit = nullptr;
    QLineEdit* SatelliteAEdit = nullptr;
    QLineEdit* SatelliteBEdit = nullptr;
    QCheckBox* FavouritesCheck = nullptr;  // "prendi anche i preferiti"
    QCheckBox* NamesCheck = nullptr;       // "prendi anche i nomi"
    QDialogButtonBox* Buttons = nullptr;

public slots:
    void BrowseClick();
    void OkClick();

private:
    rivo::UserPrompts& prompts_;
};

class TReferencePreview : public QDialog {
    Q_OBJECT
public:
    TReferencePreview(const rivo::ReferencePreview& preview, QWidget* parent = nullptr);

    QLabel* PassLabel = nullptr;
    QTableWidget* CurrentTable = nullptr;    // unmatched channels of the list
    QTableWidget* ReferenceTable = nullptr;  // unmatched channels of the reference
    QDialogButtonBox* Buttons = nullptr;
};
