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

namespace {

using rivo::dialogs::FromCell;

// Unlike a cell box, a satellite name that Windows-1252 cannot hold is left empty, so
// that Ok refuses it.
std::string bytes(const QString& text) { return rivo::Utf8ToCp1252(text.toStdString()).value_or(std::string()); }

}  // namespace

TSortDialog::TSortDialog(bool hasSelection, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromUtf8(rivo::kSortCaption));
    setModal(true);
    KeyCombo = new QComboBox;
    KeyCombo->addItems({QStringLiteral("Nome"), QStringLiteral("SID"), QStringLiteral("Frequenza")});
    SelectionRadio = new QRadioButton(QStringLiteral("selezione"));
    WholeListRadio = new QRadioButton(QStringLiteral("tutta la lista"));
    // A single selected row sorts nothing: the whole list is the likely wish then.
    (hasSelection ? SelectionRadio : WholeListRadio)->setChecked(true);
    auto* rows = new QHBoxLayout;
    rows->addWidget(SelectionRadio);
    rows->addWidget(WholeListRadio);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Ordina secondo"), KeyCombo);
    form->addRow(QStringLiteral("Canali"), rows);
    Buttons = rivo::dialogs::OkCancelButtonBox(*this);
    connect(Buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* top = new QVBoxLayout(this);
    top->addLayout(form);
    top->addWidget(Buttons);
}

rivo::SortDialogValues TSortDialog::values() const {
    rivo::SortDialogValues values;
    values.key = static_cast<rivo::SortKey>(std::max(0, KeyCombo->currentIndex()));
    values.wholeList = WholeListRadio->isChecked();
    return values;
}

TReferenceDialog::TReferenceDialog(const rivo::ReferenceDialogValues& start, bool canTakeFavourites,
                                   rivo::UserPrompts& prompts, QWidget* parent)
    : QDialog(parent), prompts_(prompts) {
    setWindowTitle(QString::fromUtf8(rivo::kReferenceCaption));
    setModal(true);
    FileEdit = new QLineEdit(FromCell(start.fileName));
    BrowseButton = new QPushButton(QStringLiteral("Sfoglia"));
    auto* file = new QHBoxLayout;
    file->addWidget(FileEdit, 1);
    file->addWidget(BrowseButton);
    LnbLowEdit = new QLineEdit(QString::fromStdString(start.lnbLow));
    LnbHighEdit = new QLineEdit(QString::fromStdString(start.lnbHigh));
    SatelliteAEdit = new QLineEdit(FromCell(start.satelliteA));
    SatelliteBEdit = new QLineEdit(FromCell(start.satelliteB));
    FavouritesCheck = new QCheckBox(QStringLiteral("prendi anche i preferiti"));
    FavouritesCheck->setChecked(start.takeFavourites && canTakeFavourites);
    FavouritesCheck->setEnabled(canTakeFavourites);
    NamesCheck = new QCheckBox(QStringLiteral("prendi anche i nomi"));
    NamesCheck->setChecked(start.takeNames);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Lista di riferimento"), file);
    form->addRow(QStringLiteral("Frequenza LNB bassa (22kHz Off)"), LnbLowEdit);
    form->addRow(QStringLiteral("Frequenza LNB alta (22kHz On)"), LnbHighEdit);
    form->addRow(QStringLiteral("Satellite A"), SatelliteAEdit);
    form->addRow(QStringLiteral("Satellite B"), SatelliteBEdit);
    form->addRow(FavouritesCheck);
    form->addRow(NamesCheck);
    Buttons = rivo::dialogs::OkCancelButtonBox(*this);
    connect(Buttons, &QDialogButtonBox::accepted, this, &TReferenceDialog::OkClick);
    connect(BrowseButton, &QPushButton::clicked, this, &TReferenceDialog::BrowseClick);
    auto* top = new QVBoxLayout(this);
    top->addLayout(form);
    top->addWidget(Buttons);
    setMinimumWidth(420);

    chooseFile = [](QWidget* owner) {
        return QFileDialog::getOpenFileName(owner, QString::fromUtf8(rivo::kReferenceCaption), QString(),
                                            rivo::dialogs::ImageFileFilter());
    };
}

rivo::ReferenceDialogValues TReferenceDialog::values() const {
    rivo::ReferenceDialogValues values;
    values.fileName = FileEdit->text().toStdString();
    values.lnbLow = LnbLowEdit->text().toStdString();
    values.lnbHigh = LnbHighEdit->text().toStdString();
    values.satelliteA = bytes(SatelliteAEdit->text());
    values.satelliteB = bytes(SatelliteBEdit->text());
    values.takeFavourites = FavouritesCheck->isEnabled() && FavouritesCheck->isChecked();
    values.takeNames = NamesCheck->isChecked();
    return values;
}

void TReferenceDialog::BrowseClick() {
    const QString path = chooseFile ? chooseFile(this) : QString();
    if (!path.isEmpty()) FileEdit->setText(path);
}

void TReferenceDialog::OkClick() {
    // The page's symbol rates do not matter for the check; any page will do.
    if (!rivo::ReferenceOpenParams(rivo::ListPage(), values())) {
        prompts_.tell(rivo::kReferenceValuesError, rivo::dialogs::kAttentionTitle, rivo::Icon::Warning);
        return;
    }
    accept();
}

TReferencePreview::TReferencePreview(const rivo::ReferencePreview& preview, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromUtf8(rivo::kReferenceCaption));
    setModal(true);
    QStringList lines;
    for (const std::string& line : preview.passLines) lines << QString::fromStdString(line);
    lines << QString::fromStdString(preview.summary);
    PassLabel = new QLabel(lines.join(QLatin1Char('\n')));

    auto table = [](const std::vector<rivo::PreviewRow>& rows) {
        auto* grid = new QTableWidget(static_cast<int>(rows.size()), 4);
        grid->setHorizontalHeaderLabels({QStringLiteral("Num."), QStringLiteral("Nome canale"),
                                         QStringLiteral("SID"), QStringLiteral("Frequenza")});
        grid->verticalHeader()->hide();
        grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
        grid->setSelectionBehavior(QAbstractItemView::SelectRows);
        for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
            const rivo::PreviewRow& row = rows[static_cast<size_t>(i)];
            grid->setItem(i, 0, new QTableWidgetItem(QString::number(row.row)));
            grid->setItem(i, 1, new QTableWidgetItem(FromCell(row.name)));
            grid->setItem(i, 2, new QTableWidgetItem(QString::fromStdString(row.sid)));
            grid->setItem(i, 3, new QTableWidgetItem(QString::fromStdString(row.frequency)));
        }
        grid->setColumnWidth(1, 160);
        return grid;
    };
    CurrentTable = table(preview.unmatchedCurrent);
    ReferenceTable = table(preview.unmatchedReference);
    auto* current = new QGroupBox(QStringLiteral("Canali della lista non trovati (in fondo)"));
    (new QVBoxLayout(current))->addWidget(CurrentTable);
    auto* reference = new QGroupBox(QStringLiteral("Canali del riferimento non trovati"));
    (new QVBoxLayout(reference))->addWidget(ReferenceTable);
    auto* tables = new QHBoxLayout;
    tables->addWidget(current);
    tables->addWidget(reference);

    Buttons = rivo::dialogs::OkCancelButtonBox(*this);
    connect(Buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* top = new QVBoxLayout(this);
    top->addWidget(PassLabel);
    top->addLayout(tables, 1);
    top->addWidget(Buttons);
    resize(760, 480);
}
