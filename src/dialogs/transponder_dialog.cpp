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

namespace {

constexpr std::array<const char*, 11> kLinkedTitles = {"Numero", "Nome",   "Trasp", "SID",    "VPID",     "APID",
                                                       "VECM",   "AECM",   "PCR",   "Status", "Preferiti"};

using rivo::dialogs::FromCell;
using rivo::dialogs::ToCell;

// Checks button `id` of an exclusive group, or none for -1.
void checkButton(QButtonGroup* group, int id) {
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
    return QString::fromUtf8(kLinkedTitles[static_cast<size_t>(section)]);
}

// ---- TForm3 -----------------------------------------------------------------------------

TForm3::TForm3(QWidget* parent) : QDialog(parent) {
    setObjectName("Form3");
    rivo::dialogs::MakeFixedSizeDialog(*this);

    PageControl1 = rivo::dialogs::MakePages(
        *this, {{buildTransponderPage(), "Transponder"}, {buildLinkedPage(), "Canali collegati"}});

    auto* strip = new QWidget(this);
    const rivo::dialogs::OkCancel buttons =
        rivo::dialogs::AddOkCancel(*new QHBoxLayout(strip), rivo::dialogs::ButtonsAt::Centre);
    SpeedButton2 = buttons.ok;
    SpeedButton2->setObjectName("SpeedButton2");
    SpeedButton1 = buttons.cancel;
    SpeedButton1->setObjectName("SpeedButton1");

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PageControl1);
    layout->addWidget(strip);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // A frequency the record cannot hold for the chosen band turns red, with the range it
    // can as its tooltip; it is still stored on Ok (the save lists it).
    connect(Edit1, &QLineEdit::textChanged, this, &TForm3::updateFrequencyWarning);
    connect(tone_, &QButtonGroup::idToggled, this, &TForm3::updateFrequencyWarning);
    connect(SpeedButton2, &QPushButton::clicked, this, &TForm3::SpeedButton2Click);
    connect(SpeedButton1, &QPushButton::clicked, this, &TForm3::SpeedButton1Click);
}

QWidget* TForm3::buildTransponderPage() {
    auto* page = new QWidget;
    auto* data = new QGroupBox("Dati", page);
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
    Edit1 = edit("Edit1");
    Edit2 = edit("Edit2");
    Edit3 = edit("Edit3");
    Edit4 = edit("Edit4");
    ComboBox1 = list("ComboBox1");
    ComboBox2 = list("ComboBox2");
    rivo::dialogs::AddCaptionedLines(*grid, 0, 2,
                                     {{"Frequenza:", Edit1},
                                      {"Satellite:", ComboBox2},
                                      {"Transponder ID:", Edit2},
                                      {"Network ID:", Edit3},
                                      {"Canali::", Edit4},
                                      {"Symbol rate:", ComboBox1}});

    const auto radioGroup = [&](const char* name, const char* title, std::initializer_list<const char*> choices,
                                int columns, QButtonGroup*& group) {
        auto* box = new QGroupBox(title, page);
        box->setObjectName(name);
        auto* layout = new QGridLayout(box);
        group = new QButtonGroup(box);
        group->setExclusive(true);
        int id = 0;
        const int perColumn = (static_cast<int>(choices.size()) + columns - 1) / columns;
        for (const char* choice : choices) {
            auto* button = new QRadioButton(choice, box);
            group->addButton(button, id);
            layout->addWidget(button, id % perColumn, id / perColumn);
            ++id;
        }
        return box;
    };
    RadioGroup1 = radioGroup("RadioGroup1", "FEC", {"1/2", "2/3", "3/4", "5/6", "7/8"}, 2, fec_);
    RadioGroup2 = radioGroup("RadioGroup2", "Polarizzazione", {"Verticale", "Orizzontale"}, 1, polarisation_);
    RadioGroup3 = radioGroup("RadioGroup3", "22 kHz", {"Off", "On"}, 1, tone_);
    auto* radios = new QHBoxLayout;
    radios->addWidget(RadioGroup1);
    radios->addWidget(RadioGroup2);
    radios->addWidget(RadioGroup3);

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(data);
    layout->addLayout(radios);
    return page;
}

QWidget* TForm3::buildLinkedPage() {
    auto* page = new QWidget;
    linked_ = new LinkedChannelsModel(page);
    Grid1 = new QTableView(page);
    Grid1->setObjectName("Grid1");
    Grid1->setModel(linked_);
    Grid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    Grid1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    Grid1->verticalHeader()->hide();  // no fixed column
    Grid1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    Grid1->verticalHeader()->setDefaultSectionSize(18);
    Grid1->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    Grid1->setMinimumSize(520, 240);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(Grid1);
    return page;
}

void TForm3::setValues(const rivo::TransponderDialogValues& values) {
    shown_ = values;
    setWindowTitle(FromCell(values.Caption));
    Edit1->setText(FromCell(values.Frequency));
    Edit2->setText(FromCell(values.Tid));
    Edit3->setText(FromCell(values.Nid));
    Edit4->setText(FromCell(values.Channels));
    ComboBox1->clear();
    for (const std::string& rate : values.SymbolRates) ComboBox1->addItem(FromCell(rate));
    ComboBox1->setCurrentIndex(values.SymbolRate);
    ComboBox2->clear();
    for (const std::string& name : values.Satellites) ComboBox2->addItem(FromCell(name));
    ComboBox2->setCurrentIndex(values.Satellite);
    checkButton(fec_, values.Fec);
    checkButton(polarisation_, values.Horizontal ? 1 : 0);
    checkButton(tone_, values.ToneOn ? 1 : 0);
    linked_->setRows(values.LinkedChannels);
    updateFrequencyWarning();
}

void TForm3::updateFrequencyWarning() {
    const std::string warning = rivo::FrequencyRangeWarning(values());
    QPalette palette = Edit1->parentWidget()->palette();
    if (!warning.empty()) palette.setColor(QPalette::Text, Qt::red);
    Edit1->setPalette(palette);
    Edit1->setToolTip(QString::fromStdString(warning));
}

rivo::TransponderDialogValues TForm3::values() const {
    rivo::TransponderDialogValues values = shown_;
    values.Frequency = ToCell(Edit1->text());
    values.Tid = ToCell(Edit2->text());
    values.Nid = ToCell(Edit3->text());
    values.Channels = ToCell(Edit4->text());
    values.SymbolRate = ComboBox1->currentIndex();
    values.Satellite = ComboBox2->currentIndex();
    values.Fec = fec_->checkedId();
    values.Horizontal = polarisation_->checkedId() == 1;
    values.ToneOn = tone_->checkedId() == 1;
    return values;
}

void TForm3::SpeedButton2Click() { done(kResultOk); }
void TForm3::SpeedButton1Click() { done(kResultCancel); }
void TForm3::reject() { done(kResultCancel); }

void TForm3::SetExecHook(ExecHook hook) { rivo::dialogs::TestHook<TForm3>() = std::move(hook); }

int TForm3::execModal() { return rivo::dialogs::ExecModalOrTestHook(*this, kResultCancel); }

bool RunTransponderDialog(QWidget* parent, rivo::ListPage& page, int row, rivo::UserPrompts* prompts) {
    if (row < 1 || row > page.transponderCount()) return false;
    rivo::TransponderDialogValues values;
    try {
        values = rivo::FillTransponderDialog(page, row);
    } catch (const rivo::ConversionError& e) {
        rivo::dialogs::ReportError(parent, prompts, e.what());
        return false;
    }
    TForm3 dialog(parent);
    dialog.setValues(values);
    if (dialog.execModal() != TForm3::kResultOk) return false;
    return rivo::ApplyTransponderDialog(page, row, dialog.values());
}
