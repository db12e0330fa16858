// The channel number dialog's widgets, and its Ok that accepts only a number within the limit.
#include "dialogs/row_number_dialog.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialogs/dialog_parts.h"
#include "dialogs/qt_text.h"
#include "editing/channel_edit.h"

RowNumberDialog::RowNumberDialog(rivo::UserPrompts& prompts, QWidget* parent) : QDialog(parent), prompts_(prompts) {
    setWindowTitle(QTr(rivo::kGoToCaption));
    // A title and a close box only: the window manager's minimise and maximise buttons
    // mean nothing for a dialog of fixed size.
    rivo::dialogs::MakeFixedSizeDialog(*this);

    numberGroup = new QGroupBox(QTr(rivo::kGoToGroup));
    numberEdit = new QLineEdit;
    auto* box = new QVBoxLayout(numberGroup);
    box->addWidget(numberEdit);

    const rivo::dialogs::OkCancel buttons = rivo::dialogs::LayOutOverOkCancel(*this, numberGroup, 0);
    okButton = buttons.ok;
    cancelButton = buttons.cancel;
    // Nothing in the dialog grows: it keeps its size.
    setFixedSize(260, sizeHint().height());

    connect(okButton, &QPushButton::clicked, this, &RowNumberDialog::acceptIfValid);
    connect(cancelButton, &QPushButton::clicked, this, &RowNumberDialog::cancel);
}

int RowNumberDialog::value() const { return rivo::ChannelNumberValue(numberEdit->text().toStdString()); }

void RowNumberDialog::acceptIfValid() {
    // Refused numbers leave the dialog open with the text as typed.
    if (rivo::CheckChannelNumber(numberEdit->text().toStdString(), limit, prompts_)) accept();
}

void RowNumberDialog::cancel() { reject(); }
