// "Rinomina...": find and replace in channel names, on the selected rows or on all,
// with a preview of every name that changes. The names the preview marks (cut to 16
// characters, holding characters Windows-1252 cannot store, or empty) stay as they are.
// What Ok writes is rivo::ApplyRename of the preview shown.
#pragma once

#include <QDialog>
#include <vector>

#include "channels/list_page.h"
#include "editing/rename.h"

class QCheckBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QTableWidget;

class RenameDialog final : public QDialog {
public:
    // selected: the rows the selection holds (ascending); with fewer than two the
    // dialog starts on all rows.
    RenameDialog(const rivo::ListPage& page, std::vector<int> selected, QWidget* parent = nullptr);

    QLineEdit* findEdit = nullptr;
    QLineEdit* replaceEdit = nullptr;
    QCheckBox* matchCaseBox = nullptr;   // "maiuscole/minuscole"
    QCheckBox* regexBox = nullptr;       // "espressione regolare"
    QRadioButton* selectionRadio = nullptr;
    QRadioButton* allRadio = nullptr;
    QTableWidget* previewTable = nullptr;  // old name, new name, mark
    QLabel* summaryLabel = nullptr;
    QDialogButtonBox* buttons = nullptr;

    rivo::RenameOptions options() const;
    // The rows the dialog works on.
    std::vector<int> rows() const;
    // The preview the table shows (worked out again at every change of a box).
    const rivo::RenamePreview& preview() const { return preview_; }
    void updatePreview();

private:
    const rivo::ListPage& page_;
    std::vector<int> selected_;
    rivo::RenamePreview preview_;
};
