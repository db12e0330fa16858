// The channel properties dialog: one channel (double-click on a channel row) or every
// row of a selection (the channel grid's context menu, "&Proprietà").
//
// The dialog only moves values between its widgets and rivo::ChannelDialogValues; what
// it reads from the page and writes back on Ok is in editing/channel_dialog_logic.h.
#pragma once

#include <QCheckBox>
#include <QDialog>
#include <array>
#include <functional>
#include <vector>

#include "editing/channel_dialog_logic.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace rivo {
struct ListPage;
class UserPrompts;
}  // namespace rivo

// A check box that can show a mixed state but never returns to it by clicking: a click
// on a mixed box checks it, further clicks alternate between checked and unchecked.
class MixedCheckBox : public QCheckBox {
    Q_OBJECT
public:
    explicit MixedCheckBox(const QString& text, QWidget* parent = nullptr);
    void setState(rivo::CheckState state);
    rivo::CheckState state() const;

protected:
    void nextCheckState() override;
};

class ChannelDialog : public QDialog {
    Q_OBJECT
public:
    // Modal results: Ok closes with 1, Annulla and the close box with 2.
    static constexpr int kResultOk = 1;
    static constexpr int kResultCancel = 2;

    explicit ChannelDialog(QWidget* parent = nullptr);

    void setValues(const rivo::ChannelDialogValues& values);
    rivo::ChannelDialogValues values() const;

    // Shows the dialog modally and returns its modal result. While a test hook is set,
    // the dialog is shown without a local event loop and the hook plays the user: it
    // sets widgets and clicks "Ok" or "Annulla" (no click counts as Annulla).
    int execModal();
    using ExecHook = std::function<void(ChannelDialog& dialog)>;
    static void setExecHook(ExecHook hook);

    // The controls, for the window tests and the screenshots.
    QTabWidget* pages() const { return pages_; }
    QLineEdit* box(int index) const { return boxes_[static_cast<size_t>(index)]; }  // rivo::box::*
    QComboBox* encodingList() const { return encodingCombo_; }
    MixedCheckBox* activeBox() const { return activeCheck_; }
    MixedCheckBox* favouriteBox() const { return favouriteCheck_; }
    MixedCheckBox* lockedBox() const { return lockedCheck_; }
    MixedCheckBox* listBox(int list) const {
        return lists_[static_cast<size_t>(list - 1)];
    }  // 1..8
    QGroupBox* listsGroup() const { return listsGroup_; }
    QLabel* transponderValue(int index) const {
        return values_[static_cast<size_t>(index)];
    }  // rivo::tpvalue::*
    QPushButton* okButton() const { return okButton_; }
    QPushButton* cancelButton() const { return cancelButton_; }
    QPushButton* transponderOkButton() const { return transponderOkButton_; }
    QPushButton* transponderCancelButton() const { return transponderCancelButton_; }
    // The line under the boxes that says an inactive channel's changes are kept only
    // when "Attivo" is checked: shown when the dialog opens on such a channel.
    QLabel* inactiveNote() const { return inactiveNote_; }
    // Shown while a box holds characters Windows-1252 has no byte for; Ok leaves them out.
    QLabel* unstorableNote() const { return unstorableNote_; }
    void setInactiveNote(bool shown);
    // Where Ok asks about boxes that hold no number their field stores (a message box
    // when none), and whether an empty box keeps each row's own value (a selection).
    void setPrompts(rivo::UserPrompts* prompts) { prompts_ = prompts; }
    void setEmptyBoxesKeep(bool keep) { emptyBoxesKeep_ = keep; }

public slots:
    void confirm();  // "Ok" on either page
    void cancel();   // "Annulla" on either page

protected:
    void reject() override;  // the close box and Esc count as Annulla

private:
    QWidget* buildChannelPage();
    QWidget* buildTransponderPage();
    QWidget* buttonStrip(QPushButton*& ok, QPushButton*& cancel);

    QTabWidget* pages_ = nullptr;
    QLineEdit *nameEdit_ = nullptr, *transponderEdit_ = nullptr, *aEcmEdit_ = nullptr,
              *vEcmEdit_ = nullptr, *sidEdit_ = nullptr, *pcrEdit_ = nullptr, *aPidEdit_ = nullptr,
              *vPidEdit_ = nullptr;
    std::array<QLineEdit*, rivo::box::Count> boxes_{};
    QComboBox* encodingCombo_ = nullptr;
    MixedCheckBox *activeCheck_ = nullptr, *favouriteCheck_ = nullptr, *lockedCheck_ = nullptr;
    std::array<MixedCheckBox*, 8> lists_{};  // by list number
    QGroupBox* listsGroup_ = nullptr;
    QLabel* inactiveNote_ = nullptr;
    QLabel* unstorableNote_ = nullptr;  // the characters typed that a cell cannot hold
    void updateUnstorableNote();
    std::array<QLabel*, rivo::tpvalue::Count> values_{};
    QPushButton *okButton_ = nullptr, *cancelButton_ = nullptr, *transponderOkButton_ = nullptr,
                *transponderCancelButton_ = nullptr;
    rivo::UserPrompts* prompts_ = nullptr;
    bool emptyBoxesKeep_ = false;
};

// Double-click on channel row `row` (1..N) of page, through the main window's one shared
// dialog (which keeps its state between uses). A "Trasponder" text that is not a whole
// number is reported as an error and the dialog is not shown. Messages go through
// prompts, or a message box when none is given. Returns whether Ok changed the page (a
// cell, a row colour or its modified flag); the caller refreshes the views and the Save
// command from page.modified.
bool RunChannelDialog(QWidget* parent, ChannelDialog& shared, rivo::ListPage& page, int row,
                      rivo::UserPrompts* prompts = nullptr);

// "&Proprietà" on rows top..bottom of the channel grid's selection, through a fresh
// dialog. Ok always marks the page modified. Returns whether Ok was pressed (and so the
// page changed).
bool RunChannelPropertiesDialog(QWidget* parent, rivo::ListPage& page, int top, int bottom,
                                rivo::UserPrompts* prompts = nullptr);
// The same on any selected rows (ascending, each once), not only one block.
bool RunChannelPropertiesDialog(QWidget* parent, rivo::ListPage& page, const std::vector<int>& rows,
                                rivo::UserPrompts* prompts = nullptr);
