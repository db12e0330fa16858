// The preview of "Importa ordine da file...": the passes' counts, the tables of what was not
// matched and of the names not taken, and the choices Ok applies.
#include "dialogs/file_order_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "channels/user_prompts.h"
#include "dialogs/dialog_parts.h"
#include "dialogs/qt_text.h"

namespace {

// A compact read-only table of rows, the second column (the name) taking the rest.
QTableWidget* PreviewTable(QWidget& owner, const QStringList& titles,
                           const std::vector<QStringList>& rows) {
    auto* grid = new QTableWidget(static_cast<int>(rows.size()), static_cast<int>(titles.size()));
    grid->setHorizontalHeaderLabels(titles);
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setMinimumSectionSize(1);
    grid->verticalHeader()->setDefaultSectionSize(owner.fontMetrics().height() + 4);
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->setWordWrap(false);
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    for (int i = 0; i < static_cast<int>(rows.size()); ++i)
        for (int c = 0; c < rows[static_cast<size_t>(i)].size(); ++c)
            grid->setItem(i, c, new QTableWidgetItem(rows[static_cast<size_t>(i)][c]));
    QHeaderView* header = grid->horizontalHeader();
    for (int c = 0; c < titles.size(); ++c)
        header->setSectionResizeMode(c,
                                     c == 1 ? QHeaderView::Stretch : QHeaderView::ResizeToContents);
    return grid;
}

QGroupBox* Framed(const QString& title, QWidget* inside) {
    auto* box = new QGroupBox(title);
    (new QVBoxLayout(box))->addWidget(inside);
    return box;
}

}  // namespace

FileOrderDialog::FileOrderDialog(const rivo::FileOrderPreview& preview, rivo::UserPrompts& prompts,
                                 QWidget* parent)
    : QDialog(parent),
      prompts_(prompts),
      unmatchedCount_(static_cast<long long>(preview.unmatchedCurrent.size())) {
    // A window is titled by what it shows; the dots belong to the menu item that opens it.
    setWindowTitle(QTr("Importa ordine da file"));
    setModal(true);
    QStringList lines;
    for (const std::string& line : preview.passLines) lines << QString::fromStdString(line);
    lines << QString::fromStdString(preview.summary) << QString::fromStdString(preview.orderSource);
    passLabel = new QLabel(lines.join(QLatin1Char('\n')));

    std::vector<QStringList> fileRows, currentRows, nameRows;
    for (const auto& row : preview.unmatchedFile)
        fileRows.push_back({QString::number(row.line), QString::fromStdString(row.name),
                            QString::fromStdString(row.sid),
                            QString::fromStdString(row.frequency)});
    for (const auto& row : preview.unmatchedCurrent)
        currentRows.push_back({QString::number(row.row), rivo::dialogs::FromCell(row.name),
                               QString::fromStdString(row.sid),
                               QString::fromStdString(row.frequency)});
    for (const auto& skipped : preview.skippedNames)
        nameRows.push_back({QString::number(skipped.line), QString::fromStdString(skipped.name),
                            QString::fromStdString(skipped.reason)});
    fileTable = PreviewTable(*this, {QTr("Riga"), QTr("Nome canale"), QTr("SID"), QTr("Frequenza")},
                             fileRows);
    currentTable = PreviewTable(
        *this, {QTr("Num."), QTr("Nome canale"), QTr("SID"), QTr("Frequenza")}, currentRows);
    namesTable = PreviewTable(*this, {QTr("Riga"), QTr("Nome canale"), QTr("Motivo")}, nameRows);

    auto* tables = new QHBoxLayout;
    tables->addWidget(
        Framed(QTr("Righe del file senza canale (non possono essere create)"), fileTable));
    tables->addWidget(Framed(QTr("Canali della lista non trovati nel file"), currentTable));

    namesCheck = new QCheckBox(QTr("prendi anche i nomi"));
    favouritesCheck = new QCheckBox(QTr("prendi anche i preferiti"));
    favouritesCheck->setEnabled(preview.canTakeFavourites);
    auto* namesBox = Framed(QTr("Nomi che non verranno presi"), namesTable);
    namesBox->setVisible(!preview.skippedNames.empty());

    auto* unmatchedBox = new QGroupBox(QTr("Canali non trovati nel file"));
    keepRadio = new QRadioButton(QTr("in coda"));
    deleteRadio = new QRadioButton(QTr("elimina"));
    keepRadio->setChecked(true);
    // A file that matches no channel would delete them all.
    deleteRadio->setEnabled(preview.canDeleteUnmatched);
    if (!preview.canDeleteUnmatched)
        deleteRadio->setToolTip(QString::fromStdString(rivo::Tr(rivo::kNothingMatchedToKeep)));
    auto* radios = new QHBoxLayout(unmatchedBox);
    radios->addWidget(keepRadio);
    radios->addWidget(deleteRadio);
    radios->addStretch(1);

    buttons = rivo::dialogs::OkCancelButtonBox(*this);
    connect(buttons, &QDialogButtonBox::accepted, this, &FileOrderDialog::acceptIfConfirmed);
    auto* top = new QVBoxLayout(this);
    top->addWidget(passLabel);
    top->addLayout(tables, 1);
    top->addWidget(namesCheck);
    top->addWidget(namesBox);
    top->addWidget(favouritesCheck);
    top->addWidget(unmatchedBox);
    top->addWidget(buttons);
    resize(800, 560);
}

rivo::FileOrderOptions FileOrderDialog::options() const {
    rivo::FileOrderOptions options;
    options.takeNames = namesCheck->isChecked();
    options.takeFavourites = favouritesCheck->isEnabled() && favouritesCheck->isChecked();
    options.deleteUnmatched = deleteRadio->isChecked();
    return options;
}

void FileOrderDialog::acceptIfConfirmed() {
    // How many channels the answer deletes, so that "Sì" is not given blind.
    const std::string question = rivo::Fmt(
        rivo::TrN("%1 canale della lista non è nel file e verrà eliminato. Continuare?",
                  "%1 canali della lista non sono nel file e verranno eliminati. Continuare?",
                  unmatchedCount_),
        unmatchedCount_);
    if (deleteRadio->isChecked() &&
        prompts_.askDiscarding(question, rivo::Tr(rivo::dialogs::kAttentionTitle),
                               rivo::Icon::Question, rivo::Buttons::YesNo) != rivo::Answer::Yes)
        return;
    accept();
}
