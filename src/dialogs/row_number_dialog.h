// The channel number dialog: asks for one channel number below a limit the caller sets.
// Used by "go to channel" and by moving the selected channels.
#pragma once

#include <QDialog>
#include <cstdint>

#include "channels/user_prompts.h"

class QGroupBox;
class QLineEdit;
class QPushButton;

class RowNumberDialog : public QDialog {
    Q_OBJECT
public:
    // The refusal of a wrong number goes through prompts, which must outlive the dialog.
    explicit RowNumberDialog(rivo::UserPrompts& prompts, QWidget* parent = nullptr);

    // Exclusive upper bound of the accepted numbers; Ok accepts 1 .. limit-1 only.
    std::int32_t limit = 0;

    // The accepted number (meaningful after Ok).
    int value() const;

    QGroupBox* numberGroup = nullptr;  // "Canale da visualizzare"
    QLineEdit* numberEdit = nullptr;
    QPushButton* okButton = nullptr;      // "Ok"
    QPushButton* cancelButton = nullptr;  // "Annulla"

public slots:
    void acceptIfValid();
    void cancel();

private:
    rivo::UserPrompts& prompts_;
};
