// The widgets of the "Ordina..." dialog and of the two "Applica ordine da riferimento..."
// dialogs (the reference and its choices, then the preview).
#include "dialogs/reorder_dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "channels/cp1252.h"
#include "channels/user_prompts.h"
#include "dialogs/dialog_parts.h"
#include "dialogs/qt_text.h"

namespace {

using rivo::dialogs::FromCell;

constexpr int kPathWidth = 320;  // the reference list's path box

// Unlike a cell box, a satellite name that Windows-1252 cannot hold is left empty, so
// that Ok refuses it.
std::string NameBytes(const QString& text) { return rivo::Utf8ToCp1252(text.toStdString()).value_or(std::string()); }

}  // namespace

SortDialog::SortDialog(bool hasSelection, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QTr(rivo::kSortCaption));
    setModal(true);
    keyCombo = new QComboBox;
    // The keys are told apart by their index: their names follow the language.
    keyCombo->addItems({QTr("Nome"), QTr("SID"), QTr("Frequenza")});
    selectionRadio = new QRadioButton(QTr("selezione"));
    wholeListRadio = new QRadioButton(QTr("tutta la lista"));
    // A single selected row sorts nothing: the whole list is the likely wish then.
    (hasSelection ? selectionRadio : wholeListRadio)->setChecked(true);
    auto* rows = new QHBoxLayout;
    rows->addWidget(selectionRadio);
    rows->addWidget(wholeListRadio);
    auto* form = new QFormLayout;
    form->addRow(QTr("Ordina secondo"), keyCombo);
    form->addRow(QTr("Canali"), rows);
    buttons = rivo::dialogs::OkCancelButtonBox(*this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* top = new QVBoxLayout(this);
    top->addLayout(form);
    top->addWidget(buttons);
}

rivo::SortDialogValues SortDialog::values() const {
    rivo::SortDialogValues values;
    values.key = static_cast<rivo::SortKey>(std::max(0, keyCombo->currentIndex()));
    values.wholeList = wholeListRadio->isChecked();
    return values;
}

ReferenceDialog::ReferenceDialog(const rivo::ReferenceDialogValues& start, bool canTakeFavourites,
                                   rivo::UserPrompts& prompts, QWidget* parent)
    : QDialog(parent), prompts_(prompts) {
    setWindowTitle(QTr(rivo::kReferenceCaption));
    setModal(true);
    fileEdit = new QLineEdit(FromCell(start.fileName));
    fileEdit->setMinimumWidth(kPathWidth);  // a whole path, not its last few letters
    browseButton = new QPushButton(QTr("Sfoglia"));
    auto* file = new QHBoxLayout;
    file->addWidget(fileEdit, 1);
    file->addWidget(browseButton);
    lnbLowEdit = new QLineEdit(QString::fromStdString(start.lnbLow));
    lnbHighEdit = new QLineEdit(QString::fromStdString(start.lnbHigh));
    satelliteAEdit = new QLineEdit(FromCell(start.satelliteA));
    satelliteBEdit = new QLineEdit(FromCell(start.satelliteB));
    favouritesCheck = new QCheckBox(QTr("prendi anche i preferiti"));
    favouritesCheck->setChecked(start.takeFavourites && canTakeFavourites);
    favouritesCheck->setEnabled(canTakeFavourites);
    namesCheck = new QCheckBox(QTr("prendi anche i nomi"));
    namesCheck->setChecked(start.takeNames);

    auto* form = new QFormLayout;
    form->addRow(QTr("Lista di riferimento"), file);
    form->addRow(QTr("Frequenza LNB bassa (22kHz Off)"), lnbLowEdit);
    form->addRow(QTr("Frequenza LNB alta (22kHz On)"), lnbHighEdit);
    form->addRow(QTr("Satellite A"), satelliteAEdit);
    form->addRow(QTr("Satellite B"), satelliteBEdit);
    form->addRow(favouritesCheck);
    form->addRow(namesCheck);
    buttons = rivo::dialogs::OkCancelButtonBox(*this);
    connect(buttons, &QDialogButtonBox::accepted, this, &ReferenceDialog::acceptIfValid);
    connect(browseButton, &QPushButton::clicked, this, &ReferenceDialog::browse);
    auto* top = new QVBoxLayout(this);
    top->addLayout(form);
    top->addWidget(buttons);
    setMinimumWidth(420);

    chooseFile = [](QWidget* owner) {
        return QFileDialog::getOpenFileName(owner, QTr(rivo::kReferenceCaption), QString(),
                                            rivo::dialogs::ImageFileFilter());
    };
}

rivo::ReferenceDialogValues ReferenceDialog::values() const {
    rivo::ReferenceDialogValues values;
    values.fileName = fileEdit->text().toStdString();
    values.lnbLow = lnbLowEdit->text().toStdString();
    values.lnbHigh = lnbHighEdit->text().toStdString();
    values.satelliteA = NameBytes(satelliteAEdit->text());
    values.satelliteB = NameBytes(satelliteBEdit->text());
    values.takeFavourites = favouritesCheck->isEnabled() && favouritesCheck->isChecked();
    values.takeNames = namesCheck->isChecked();
    return values;
}

void ReferenceDialog::browse() {
    const QString path = chooseFile ? chooseFile(this) : QString();
    if (!path.isEmpty()) fileEdit->setText(path);
}

void ReferenceDialog::acceptIfValid() {
    // The page's symbol rates do not matter for the check; any page will do.
    if (!rivo::ReferenceOpenParams(rivo::ListPage(), values())) {
        prompts_.tell(rivo::Tr(rivo::kReferenceValuesError), rivo::Tr(rivo::dialogs::kAttentionTitle), rivo::Icon::Warning);
        return;
    }
    accept();
}

ReferencePreviewDialog::ReferencePreviewDialog(const rivo::ReferencePreview& preview, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QTr(rivo::kReferenceCaption));
    setModal(true);
    QStringList lines;
    for (const std::string& line : preview.passLines) lines << QString::fromStdString(line);
    lines << QString::fromStdString(preview.summary);
    passLabel = new QLabel(lines.join(QLatin1Char('\n')));
    takesLabel = new QLabel(QString::fromUtf8(preview.takes));
    takesLabel->setObjectName(QStringLiteral("takesLabel"));

    auto table = [this](const std::vector<rivo::PreviewRow>& rows) {
        auto* grid = new QTableWidget(static_cast<int>(rows.size()), 4);
        grid->setHorizontalHeaderLabels({QTr("Num."), QTr("Nome canale"), QTr("SID"), QTr("Frequenza")});
        grid->verticalHeader()->hide();
        // Rows as compact as the editor's own tables; the numbers as wide as they need,
        // the name taking the rest, so that nothing scrolls sideways.
        grid->verticalHeader()->setMinimumSectionSize(1);
        grid->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
        grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        grid->setWordWrap(false);
        grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
        grid->setSelectionBehavior(QAbstractItemView::SelectRows);
        for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
            const rivo::PreviewRow& row = rows[static_cast<size_t>(i)];
            grid->setItem(i, 0, new QTableWidgetItem(QString::number(row.row)));
            grid->setItem(i, 1, new QTableWidgetItem(FromCell(row.name)));
            grid->setItem(i, 2, new QTableWidgetItem(QString::fromStdString(row.sid)));
            grid->setItem(i, 3, new QTableWidgetItem(QString::fromStdString(row.frequency)));
        }
        QHeaderView* header = grid->horizontalHeader();
        for (int c : {0, 2, 3}) header->setSectionResizeMode(c, QHeaderView::ResizeToContents);
        header->setSectionResizeMode(1, QHeaderView::Stretch);
        return grid;
    };
    currentTable = table(preview.unmatchedCurrent);
    referenceTable = table(preview.unmatchedReference);
    auto* current = new QGroupBox(QTr("Canali della lista non trovati (in fondo)"));
    (new QVBoxLayout(current))->addWidget(currentTable);
    auto* reference = new QGroupBox(QTr("Canali del riferimento non trovati"));
    (new QVBoxLayout(reference))->addWidget(referenceTable);
    auto* tables = new QHBoxLayout;
    tables->addWidget(current);
    tables->addWidget(reference);

    buttons = rivo::dialogs::OkCancelButtonBox(*this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* top = new QVBoxLayout(this);
    top->addWidget(passLabel);
    top->addWidget(takesLabel);
    top->addLayout(tables, 1);
    top->addWidget(buttons);
    resize(760, 480);
}
