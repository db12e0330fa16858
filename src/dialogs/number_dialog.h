// The channel number dialog: asks for one channel number below a limit the caller sets.
// Used by "go to channel" and by moving the selected channels.
#pragma once

#include <QDialog>
#include <cstdint>

#include "channels/user_prompts.h"

class QGroupBox;
class QLineEdit;
class QPushButton;

class TForm4 : public QDialog {
    Q_OBJECT
public:
    // The refusal of a wrong number goes through prompts, which must outlive the dialog.
    explicit TForm4(rivo::UserPrompts& prompts, QWidget* parent = nullptr);

    // Exclusive upper bound of the accepted numbers; Ok accepts 1 .. Limit-1 only.
    std::int32_t Limit = 0;

    // The accepted number (meaningful after Ok).
    int value() const;

    QGroupBox* GroupBox1 = nullptr;  // "Canale da visualizzare"
    QLineEdit* Edit1 = nullptr;
    QPushButton* SpeedButton2 = nullptr;  // "Ok"
    QPushButton* SpeedButton1 = nullptr;  // "Annulla"

public slots:
    void SpeedButton2Click();
    void SpeedButton1Click();

private:
    rivo::UserPrompts& prompts_;
};
