// The transponder dialog: the fields of one transponder row ("Transponder") and the
// channels that use it ("Canali collegati", read only).
//
// The dialog only moves values between its widgets and rivo::TransponderDialogValues;
// what it reads from the page and stores on Ok is in editing/transponder_dialog_logic.h.
#pragma once

#include <QAbstractTableModel>
#include <QDialog>
#include <array>
#include <functional>
#include <vector>

#include "editing/transponder_dialog_logic.h"

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTableView;

namespace rivo {
struct ListPage;
class UserPrompts;
}  // namespace rivo

// The rows of "Canali collegati": copies of channel rows with their colours.
class LinkedChannelsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit LinkedChannelsModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}
    void setRows(std::vector<rivo::GridRow> rows);
    const std::vector<rivo::GridRow>& rows() const { return rows_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    std::vector<rivo::GridRow> rows_;
};

class TransponderDialog : public QDialog {
    Q_OBJECT
public:
    // Modal results: Ok closes with 1, Annulla and the close box with 2.
    static constexpr int kResultOk = 1;
    static constexpr int kResultCancel = 2;

    explicit TransponderDialog(QWidget* parent = nullptr);

    void setValues(const rivo::TransponderDialogValues& values);
    rivo::TransponderDialogValues values() const;

    // Shows the dialog modally and returns its modal result. While a test hook is set,
    // the dialog is shown without a local event loop and the hook plays the user (no
    // click on "Ok" or "Annulla" counts as Annulla).
    int execModal();
    using ExecHook = std::function<void(TransponderDialog& dialog)>;
    static void setExecHook(ExecHook hook);

    // The controls, for the window tests.
    QTabWidget* pages() const { return pages_; }
    QLineEdit* frequencyBox() const { return frequencyEdit_; }
    QLineEdit* tidBox() const { return tidEdit_; }
    QLineEdit* nidBox() const { return nidEdit_; }
    QLineEdit* channelsBox() const { return channelsEdit_; }
    QComboBox* symbolRateList() const { return symbolRateCombo_; }
    QComboBox* satelliteList() const { return satelliteCombo_; }
    QButtonGroup* fecGroup() const { return fec_; }
    QButtonGroup* polarisationGroup() const {
        return polarisation_;
    }                                                  // 0 "Verticale", 1 "Orizzontale"
    QButtonGroup* toneGroup() const { return tone_; }  // 0 "Off", 1 "On"
    QTableView* linkedGrid() const { return linkedTable_; }
    LinkedChannelsModel* linkedModel() const { return linked_; }
    QPushButton* okButton() const { return okButton_; }
    QPushButton* cancelButton() const { return cancelButton_; }

public slots:
    void acceptIfValid();  // "Ok"
    void cancel();         // "Annulla"

protected:
    void reject() override;  // the close box and Esc count as Annulla

private slots:
    void updateFrequencyWarning();

private:
    QWidget* buildTransponderPage();
    QWidget* buildLinkedPage();

    QTabWidget* pages_ = nullptr;
    QLineEdit *frequencyEdit_ = nullptr, *tidEdit_ = nullptr, *nidEdit_ = nullptr,
              *channelsEdit_ = nullptr;
    QComboBox *symbolRateCombo_ = nullptr, *satelliteCombo_ = nullptr;
    QGroupBox *fecGroupBox_ = nullptr, *polarisationGroupBox_ = nullptr, *toneGroupBox_ = nullptr;
    QButtonGroup *fec_ = nullptr, *polarisation_ = nullptr, *tone_ = nullptr;
    QTableView* linkedTable_ = nullptr;
    LinkedChannelsModel* linked_ = nullptr;
    QPushButton *cancelButton_ = nullptr, *okButton_ = nullptr;
    rivo::TransponderDialogValues shown_;  // what setValues was given (lists, caption)
    rivo::UserPrompts* prompts_ = nullptr;

public:
    // Where Ok asks about boxes that hold no number their field stores (a message box
    // when none).
    void setPrompts(rivo::UserPrompts* prompts) { prompts_ = prompts; }
};

// Double-click on transponder row `row` (1..T) of page: a fresh dialog for this one use.
// A "SR" or "FEC" cell that cannot be read is reported as an error (through prompts, or
// a message box when none is given) and the dialog is not shown. Returns whether Ok
// changed a cell (the page is then marked modified); the caller refreshes the views and
// enables Save from page.modified.
bool RunTransponderDialog(QWidget* parent, rivo::ListPage& page, int row,
                          rivo::UserPrompts* prompts = nullptr);
