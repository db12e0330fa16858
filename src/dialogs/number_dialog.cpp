#include "dialogs/number_dialog.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialogs/dialog_parts.h"
#include "editing/channel_edit.h"

TForm4::TForm4(rivo::UserPrompts& prompts, QWidget* parent) : QDialog(parent), prompts_(prompts) {
    setWindowTitle(QString::fromUtf8(rivo::kGoToCaption));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint |
                   Qt::WindowTitleHint);
    setModal(true);

    GroupBox1 = new QGroupBox(QString::fromUtf8(rivo::kGoToGroup));
    Edit1 = new QLineEdit;
    auto* box = new QVBoxLayout(GroupBox1);
    box->addWidget(Edit1);

    const rivo::dialogs::OkCancel buttons = rivo::dialogs::LayOutOverOkCancel(*this, GroupBox1, 0);
    SpeedButton2 = buttons.ok;
    SpeedButton1 = buttons.cancel;
    // Nothing in the dialog grows: it keeps its size.
    setFixedSize(260, sizeHint().height());

    connect(SpeedButton2, &QPushButton::clicked, this, &TForm4::SpeedButton2Click);
    connect(SpeedButton1, &QPushButton::clicked, this, &TForm4::SpeedButton1Click);
}

int TForm4::value() const { return rivo::ChannelNumberValue(Edit1->text().toStdString()); }

void TForm4::SpeedButton2Click() {
    // Refused numbers leave the dialog open with the text as typed.
    if (rivo::CheckChannelNumber(Edit1->text().toStdString(), Limit, prompts_)) accept();
}

void TForm4::SpeedButton1Click() { reject(); }
