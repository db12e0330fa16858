// The "Rinomina..." dialog's widgets: find and replace texts, the options, and the preview
// table whose marked rows will not be renamed.
#include "dialogs/rename_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "channels/cp1252.h"
#include "dialogs/dialog_parts.h"
#include "dialogs/qt_text.h"
#include "editing/row_selection.h"

namespace {
// More rows than this are not put in the preview table: the summary still counts all.
constexpr int kPreviewRows = 2000;
const QColor kMarkedColour(255, 204, 204);
}  // namespace

RenameDialog::RenameDialog(const rivo::ListPage& page, std::vector<int> selected, QWidget* parent)
    : QDialog(parent), page_(page), selected_(std::move(selected)) {
    setWindowTitle(QTr("Rinomina"));
    setObjectName(QStringLiteral("renameDialog"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    findEdit = new QLineEdit;
    findEdit->setObjectName(QStringLiteral("findEdit"));
    replaceEdit = new QLineEdit;
    replaceEdit->setObjectName(QStringLiteral("replaceEdit"));
    form->addRow(QTr("&Trova"), findEdit);
    form->addRow(QTr("&Sostituisci con"), replaceEdit);
    layout->addLayout(form);
    auto* options = new QHBoxLayout;
    matchCaseBox = new QCheckBox(QTr("&maiuscole/minuscole"));
    regexBox = new QCheckBox(QTr("&espressione regolare"));
    options->addWidget(matchCaseBox);
    options->addWidget(regexBox);
    options->addStretch(1);
    layout->addLayout(options);
    auto* scope = new QHBoxLayout;
    selectionRadio = new QRadioButton(QTrN("Righe selezionate (%1)", "Righe selezionate (%1)",
                                           static_cast<int>(selected_.size()))
                                          .arg(selected_.size()));
    allRadio = new QRadioButton(QTr("&Tutti i canali (%1)").arg(page.channelCount()));
    scope->addWidget(selectionRadio);
    scope->addWidget(allRadio);
    scope->addStretch(1);
    layout->addLayout(scope);
    selectionRadio->setEnabled(selected_.size() > 1);
    (selected_.size() > 1 ? selectionRadio : allRadio)->setChecked(true);

    previewTable = new QTableWidget(0, 4);
    previewTable->setObjectName(QStringLiteral("previewTable"));
    previewTable->setHorizontalHeaderLabels({QTr("Num."), QTr("Nome attuale"), QTr("Nuovo nome"), QTr("Nota")});
    previewTable->verticalHeader()->hide();
    previewTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    previewTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    previewTable->horizontalHeader()->setStretchLastSection(true);
    previewTable->setColumnWidth(0, 50);
    previewTable->setColumnWidth(1, 160);
    previewTable->setColumnWidth(2, 160);
    layout->addWidget(previewTable, 1);
    summaryLabel = new QLabel;
    summaryLabel->setObjectName(QStringLiteral("summaryLabel"));
    layout->addWidget(summaryLabel);
    buttons = rivo::dialogs::OkCancelButtonBox(*this);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    resize(620, 460);

    for (QLineEdit* edit : {findEdit, replaceEdit})
        connect(edit, &QLineEdit::textChanged, this, &RenameDialog::updatePreview);
    for (QCheckBox* box : {matchCaseBox, regexBox}) connect(box, &QCheckBox::toggled, this, &RenameDialog::updatePreview);
    connect(selectionRadio, &QRadioButton::toggled, this, &RenameDialog::updatePreview);
    updatePreview();
}

rivo::RenameOptions RenameDialog::options() const {
    rivo::RenameOptions o;
    o.find = findEdit->text().toStdString();
    o.replace = replaceEdit->text().toStdString();
    o.matchCase = matchCaseBox->isChecked();
    o.regex = regexBox->isChecked();
    return o;
}

std::vector<int> RenameDialog::rows() const {
    if (selectionRadio->isChecked()) return selected_;
    return rivo::RowsOf(1, page_.channelCount());
}

void RenameDialog::updatePreview() {
    preview_ = findEdit->text().isEmpty() ? rivo::RenamePreview{} : rivo::PreviewRename(page_, rows(), options());
    const int shown = std::min(kPreviewRows, static_cast<int>(preview_.entries.size()));
    previewTable->setUpdatesEnabled(false);
    previewTable->setRowCount(shown);
    for (int i = 0; i < shown; ++i) {
        const rivo::RenameEntry& entry = preview_.entries[static_cast<size_t>(i)];
        const bool marked = entry.problem != rivo::RenameProblem::None;
        const QString texts[] = {QString::number(entry.row),
                                 QString::fromStdString(rivo::Cp1252ToUtf8(entry.oldName)),
                                 QString::fromStdString(entry.newName),
                                 marked ? QTr("non applicato: %1").arg(QString::fromStdString(rivo::RenameProblemText(entry.problem)))
                                        : QString()};
        for (int c = 0; c < 4; ++c) {
            auto* item = new QTableWidgetItem(texts[c]);
            if (marked) item->setBackground(kMarkedColour);
            previewTable->setItem(i, c, item);
        }
    }
    previewTable->setUpdatesEnabled(true);
    const int applicable = preview_.applicable();
    const int marked = static_cast<int>(preview_.entries.size()) - applicable;
    if (!preview_.error.empty())
        summaryLabel->setText(QString::fromStdString(preview_.error));
    else if (findEdit->text().isEmpty())
        summaryLabel->setText(QTr("Scrivere il testo da cercare."));
    else
        summaryLabel->setText(QTrN("%1 nome cambia", "%1 nomi cambiano", applicable).arg(applicable) +
                              (marked > 0 ? QTrN("; %1 segnato non sarà cambiato", "; %1 segnati non saranno cambiati", marked)
                                                .arg(marked)
                                          : QString()));
    buttons->button(QDialogButtonBox::Ok)->setEnabled(applicable > 0);
}
