// The filter bar over the channel table: a text, a satellite, a state, a favourites
// list and a transponder, and "Mostrati X di Y". Esc in the bar or in the table clears it.
//
// Filtering hides table rows and never touches the page: a hidden row keeps its place
// and the "Num." column keeps reading the channel's real number. The rows' name keys are
// kept between keystrokes and rebuilt only after the page changed, so a keystroke costs
// one pass of comparisons over the rows and the rows whose visibility changes.
#pragma once

#include <QWidget>
#include <string>
#include <vector>

#include "channels/list_page.h"
#include "editing/channel_filter.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QTableView;

class ChannelFilterBar final : public QWidget {
    Q_OBJECT
public:
    // page and table must outlive the bar.
    ChannelFilterBar(const rivo::ListPage& page, QTableView* table, QWidget* parent = nullptr);

    QLineEdit* textEdit = nullptr;
    QComboBox* satelliteCombo = nullptr;
    QComboBox* stateCombo = nullptr;
    QComboBox* listCombo = nullptr;
    QComboBox* transponderCombo = nullptr;
    QLabel* countLabel = nullptr;

    // The filter the controls say.
    rivo::ChannelFilter filter() const;
    // Whether any condition is set.
    bool active() const;
    // Whether grid row (1 .. N) is shown.
    bool rowShown(int row) const;
    int shownCount() const { return shown_; }

    // Hides and shows the rows for the filter the controls say.
    void apply();
    // The page changed (a command, undo): keys, list names and transponders are read
    // again, and the filter is applied to the rows as they are now.
    void pageChanged();
    // Every condition back to "Tutti" (Escape), all rows shown.
    void clear();
    // Gives the text box the focus with its text selected (Ctrl+Shift+F).
    void focusText();

protected:
    // Esc in the table clears an active filter.
    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    // The shown rows changed.
    void filterApplied();

private:
    void fillChoices();

    const rivo::ListPage& page_;
    QTableView* table_;
    std::vector<std::string> keys_;
    bool keysValid_ = false;
    std::vector<char> hidden_;  // index = grid row; what the table hides now
    int shown_ = 0;
    bool filling_ = false;
};
