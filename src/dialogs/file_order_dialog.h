// The dialog of "Importa ordine da file...": what applying the file will do (the counts
// of each pass, the file rows and the channels matched to nothing, the names that
// cannot be taken) and the choices of Ok (names, favourites, what becomes of the
// channels the file does not name). Its logic lives in editing/file_order.h; the class
// only moves values between the widgets and FileOrderOptions.
#pragma once

#include <QDialog>

#include "editing/file_order.h"

class QCheckBox;
class QDialogButtonBox;
class QLabel;
class QRadioButton;
class QTableWidget;

namespace rivo {
class UserPrompts;
}

class FileOrderDialog : public QDialog {
    Q_OBJECT
public:
    // Messages and the question before deleting go through prompts.
    FileOrderDialog(const rivo::FileOrderPreview& preview, rivo::UserPrompts& prompts,
                    QWidget* parent = nullptr);

    rivo::FileOrderOptions options() const;

    QLabel* passLabel = nullptr;
    QTableWidget* fileTable = nullptr;     // file rows matched to no channel
    QTableWidget* currentTable = nullptr;  // channels matched to no row
    QTableWidget* namesTable = nullptr;    // names "prendi anche i nomi" leaves
    QCheckBox* namesCheck = nullptr;       // "prendi anche i nomi"
    QCheckBox* favouritesCheck = nullptr;  // "prendi anche i preferiti"
    QRadioButton* keepRadio = nullptr;     // "in coda"
    QRadioButton* deleteRadio = nullptr;   // "elimina"
    QDialogButtonBox* buttons = nullptr;

public slots:
    // Ok: with "elimina" asks first, saying how many channels go (No is the default),
    // and stays open on No.
    void acceptIfConfirmed();

private:
    rivo::UserPrompts& prompts_;
    long long unmatchedCount_;  // the channels "elimina" deletes
};
