// The transponder dialog's widgets: the fields of one transponder, the warning on an
// unusual frequency, and the read-only table of the channels that use it.
#include "dialogs/transponder_dialog.h"

#include <QBrush>
#include <QButtonGroup>
#include <QColor>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include "channels/cp1252.h"
#include "channels/list_page.h"
#include "channels/records.h"
#include "channels/user_prompts.h"
#include "dialogs/dialog_parts.h"
#include "dialogs/modal_hook.h"
#include "dialogs/qt_text.h"

namespace {

// The channel grid's column titles, shown translated over its copied rows.
constexpr std::array<const char*, 11> kLinkedTitles = {
    rivo::TrNoop("Numero"), rivo::TrNoop("Nome"),   rivo::TrNoop("Trasp"),    rivo::TrNoop("SID"),
    rivo::TrNoop("VPID"),   rivo::TrNoop("APID"),   rivo::TrNoop("VECM"),     rivo::TrNoop("AECM"),
    rivo::TrNoop("PCR"),    rivo::TrNoop("Status"), rivo::TrNoop("Preferiti")};

using rivo::dialogs::FromCell;
using rivo::dialogs::ToCell;

// Checks button `id` of an exclusive group, or none for -1.
void CheckButton(QButtonGroup* group, int id) {
    if (QAbstractButton* button = group->button(id)) {
        button->setChecked(true);
        return;
    }
    group->setExclusive(false);
    for (QAbstractButton* button : group->buttons()) button->setChecked(false);
    group->setExclusive(true);
}

}  // namespace

// ---- LinkedChannelsModel ----------------------------------------------------------------

void LinkedChannelsModel::setRows(std::vector<rivo::GridRow> rows) {
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
}

int LinkedChannelsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int LinkedChannelsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(kLinkedTitles.size());
}

QVariant LinkedChannelsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) return {};
    const rivo::GridRow& row = rows_[static_cast<size_t>(index.row())];
    if (role == Qt::DisplayRole) {
        const auto column = static_cast<size_t>(index.column());
        return column < row.cells.size() ? FromCell(row.cells[column]) : QString();
    }
    if (role == Qt::BackgroundRole) return QBrush(QColor::fromRgb(row.colour));
    return {};
}

QVariant LinkedChannelsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal) return {};
    if (section < 0 || section >= columnCount()) return {};
    return QTr(kLinkedTitles[static_cast<size_t>(section)]);
}

// ---- TransponderDialog
// -----------------------------------------------------------------------------

TransponderDialog::TransponderDialog(QWidget* parent) : QDialog(parent) {
    setObjectName("transponderDialog");
    rivo::dialogs::MakeFixedSizeDialog(*this);

    pages_ = rivo::dialogs::MakePages(*this, {{buildTransponderPage(), QTr("Transponder")},
                                              {buildLinkedPage(), QTr("Canali collegati")}});

    auto* strip = new QWidget(this);
    const rivo::dialogs::OkCancel buttons =
        rivo::dialogs::AddOkCancel(*new QHBoxLayout(strip), rivo::dialogs::ButtonsAt::Centre);
    okButton_ = buttons.ok;
    okButton_->setObjectName("okButton");
    cancelButton_ = buttons.cancel;
    cancelButton_->setObjectName("cancelButton");

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages_);
    layout->addWidget(strip);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // A frequency the record cannot hold for the chosen band turns red, with the range it
    // can as its tooltip; it is still stored on Ok (the save lists it).
    connect(frequencyEdit_, &QLineEdit::textChanged, this,
            &TransponderDialog::updateFrequencyWarning);
    connect(tone_, &QButtonGroup::idToggled, this, &TransponderDialog::updateFrequencyWarning);
    connect(okButton_, &QPushButton::clicked, this, &TransponderDialog::acceptIfValid);
    connect(cancelButton_, &QPushButton::clicked, this, &TransponderDialog::cancel);
}

QWidget* TransponderDialog::buildTransponderPage() {
    auto* page = new QWidget;
    auto* data = new QGroupBox(QTr("Dati"), page);
    auto* grid = new QGridLayout(data);
    const auto edit = [&](const char* name) {
        auto* box = new QLineEdit(data);
        box->setObjectName(name);
        box->setValidator(new rivo::dialogs::Cp1252Validator(box));
        return box;
    };
    const auto list = [&](const char* name) {
        auto* combo = new QComboBox(data);
        combo->setObjectName(name);
        combo->setEditable(false);
        return combo;
    };
    frequencyEdit_ = edit("frequencyEdit");
    tidEdit_ = edit("tidEdit");
    nidEdit_ = edit("nidEdit");
    channelsEdit_ = edit("channelsEdit");
    symbolRateCombo_ = list("symbolRateCombo");
    satelliteCombo_ = list("satelliteCombo");
    rivo::dialogs::AddCaptionedLines(*grid, 0, 2,
                                     {{QTr("Frequenza:"), frequencyEdit_},
                                      {QTr("Satellite:"), satelliteCombo_},
                                      {QTr("Transponder ID:"), tidEdit_},
                                      {QTr("Network ID:"), nidEdit_},
                                      {QTr("Canali::"), channelsEdit_},
                                      {QTr("Symbol rate:"), symbolRateCombo_}});

    const auto radioGroup = [&](const char* name, const QString& title,
                                std::initializer_list<QString> choices, int columns,
                                QButtonGroup*& group) {
        auto* box = new QGroupBox(title, page);
        box->setObjectName(name);
        auto* layout = new QGridLayout(box);
        group = new QButtonGroup(box);
        group->setExclusive(true);
        int id = 0;
        const int perColumn = (static_cast<int>(choices.size()) + columns - 1) / columns;
        for (const QString& choice : choices) {
            auto* button = new QRadioButton(choice, box);
            group->addButton(button, id);
            layout->addWidget(button, id % perColumn, id / perColumn);
            ++id;
        }
        return box;
    };
    fecGroupBox_ =
        radioGroup("fecGroupBox", QTr("FEC"), {"1/2", "2/3", "3/4", "5/6", "7/8"}, 2, fec_);
    polarisationGroupBox_ = radioGroup("polarisationGroupBox", QTr("Polarizzazione"),
                                       {QTr("Verticale"), QTr("Orizzontale")}, 1, polarisation_);
    toneGroupBox_ = radioGroup("toneGroupBox", QTr("22 kHz"), {QTr("Off"), QTr("On")}, 1, tone_);
    auto* radios = new QHBoxLayout;
    radios->addWidget(fecGroupBox_);
    radios->addWidget(polarisationGroupBox_);
    radios->addWidget(toneGroupBox_);

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(data);
    layout->addLayout(radios);
    return page;
}

QWidget* TransponderDialog::buildLinkedPage() {
    auto* page = new QWidget;
    linked_ = new LinkedChannelsModel(page);
    linkedTable_ = new QTableView(page);
    linkedTable_->setObjectName("linkedTable");
    linkedTable_->setModel(linked_);
    linkedTable_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    linkedTable_->setSelectionBehavior(QAbstractItemView::SelectRows);
    linkedTable_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    linkedTable_->verticalHeader()->hide();  // no fixed column
    linkedTable_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    linkedTable_->verticalHeader()->setDefaultSectionSize(18);
    linkedTable_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    linkedTable_->setMinimumSize(520, 240);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(linkedTable_);
    return page;
}

void TransponderDialog::setValues(const rivo::TransponderDialogValues& values) {
    shown_ = values;
    setWindowTitle(FromCell(values.caption));
    frequencyEdit_->setText(FromCell(values.frequency));
    tidEdit_->setText(FromCell(values.tid));
    nidEdit_->setText(FromCell(values.nid));
    channelsEdit_->setText(FromCell(values.channels));
    symbolRateCombo_->clear();
    for (const std::string& rate : values.symbolRates) symbolRateCombo_->addItem(FromCell(rate));
    symbolRateCombo_->setCurrentIndex(values.symbolRate);
    satelliteCombo_->clear();
    for (const std::string& name : values.satellites) satelliteCombo_->addItem(FromCell(name));
    satelliteCombo_->setCurrentIndex(values.satellite);
    CheckButton(fec_, values.fec);
    CheckButton(polarisation_, values.horizontal ? 1 : 0);
    CheckButton(tone_, values.toneOn ? 1 : 0);
    linked_->setRows(values.linkedChannels);
    // Each column as wide as its longest text, so that no channel name is cut; the
    // table scrolls sideways when they do not all fit.
    linkedTable_->resizeColumnsToContents();
    updateFrequencyWarning();
}

void TransponderDialog::updateFrequencyWarning() {
    const std::string warning = rivo::FrequencyRangeWarning(values());
    QPalette palette = frequencyEdit_->parentWidget()->palette();
    if (!warning.empty()) palette.setColor(QPalette::Text, Qt::red);
    frequencyEdit_->setPalette(palette);
    frequencyEdit_->setToolTip(QString::fromStdString(warning));
}

rivo::TransponderDialogValues TransponderDialog::values() const {
    rivo::TransponderDialogValues values = shown_;
    values.frequency = ToCell(frequencyEdit_->text());
    values.tid = ToCell(tidEdit_->text());
    values.nid = ToCell(nidEdit_->text());
    values.channels = ToCell(channelsEdit_->text());
    values.symbolRate = symbolRateCombo_->currentIndex();
    values.satellite = satelliteCombo_->currentIndex();
    values.fec = fec_->checkedId();
    values.horizontal = polarisation_->checkedId() == 1;
    values.toneOn = tone_->checkedId() == 1;
    return values;
}

void TransponderDialog::acceptIfValid() {
    // A slip in a number box is seen while the dialog is open: asked, the user can stay.
    if (!rivo::dialogs::ConfirmBadNumbers(this, prompts_, rivo::BadTransponderNumbers(values())))
        return;
    done(kResultOk);
}
void TransponderDialog::cancel() { done(kResultCancel); }
void TransponderDialog::reject() { done(kResultCancel); }

void TransponderDialog::setExecHook(ExecHook hook) {
    rivo::dialogs::TestHook<TransponderDialog>() = std::move(hook);
}

int TransponderDialog::execModal() {
    return rivo::dialogs::ExecModalOrTestHook(*this, kResultCancel);
}

bool RunTransponderDialog(QWidget* parent, rivo::ListPage& page, int row,
                          rivo::UserPrompts* prompts) {
    if (row < 1 || row > page.transponderCount()) return false;
    rivo::TransponderDialogValues values;
    try {
        values = rivo::FillTransponderDialog(page, row);
    } catch (const rivo::ConversionError& e) {
        rivo::dialogs::ReportError(parent, prompts, e.what());
        return false;
    }
    TransponderDialog dialog(parent);
    dialog.setValues(values);
    dialog.setPrompts(prompts);
    if (dialog.execModal() != TransponderDialog::kResultOk) return false;
    return rivo::ApplyTransponderDialog(page, row, dialog.values());
}
