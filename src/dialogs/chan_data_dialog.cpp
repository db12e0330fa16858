#include "dialogs/chan_data_dialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "channels/cp1252.h"
#include "channels/list_page.h"
#include "channels/records.h"
#include "channels/user_prompts.h"
#include "dialogs/dialog_parts.h"
#include "dialogs/modal_hook.h"

using rivo::CheckState;

namespace {

using rivo::dialogs::FromCell;
using rivo::dialogs::ToCell;

constexpr int kNameLength = 16;
constexpr int kNumberBoxWidth = 70;

}  // namespace

// ---- MixedCheckBox ---------------------------------------------------------------------

MixedCheckBox::MixedCheckBox(const QString& text, QWidget* parent) : QCheckBox(text, parent) {}

void MixedCheckBox::setState(CheckState state) {
    setTristate(state == CheckState::Mixed);
    switch (state) {
        case CheckState::Checked: setCheckState(Qt::Checked); break;
        case CheckState::Unchecked: setCheckState(Qt::Unchecked); break;
        case CheckState::Mixed: setCheckState(Qt::PartiallyChecked); break;
    }
}

CheckState MixedCheckBox::state() const {
    switch (checkState()) {
        case Qt::Checked: return CheckState::Checked;
        case Qt::PartiallyChecked: return CheckState::Mixed;
        case Qt::Unchecked: break;
    }
    return CheckState::Unchecked;
}

void MixedCheckBox::nextCheckState() {
    // Mixed is only ever shown, never chosen: leaving the box alone is the way to keep it.
    const bool check = checkState() != Qt::Checked;
    setTristate(false);
    setCheckState(check ? Qt::Checked : Qt::Unchecked);
}

// ---- TChanData -------------------------------------------------------------------------

TChanData::TChanData(QWidget* parent) : QDialog(parent) {
    setObjectName("ChanData");
    setWindowTitle(QString::fromUtf8(rivo::kChannelDialogCaption));
    rivo::dialogs::MakeFixedSizeDialog(*this);

    pages_ = rivo::dialogs::MakePages(*this, {{buildChannelPage(), "Canale"}, {buildTransponderPage(), "Transponder"}});

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(pages_);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // Enter presses the shown page's "Ok", from any box.
    SpeedButton1->setDefault(true);
    connect(pages_, &QTabWidget::currentChanged, this,
            [this](int index) { (index == 0 ? SpeedButton1 : SpeedButton3)->setDefault(true); });
    connect(SpeedButton1, &QPushButton::clicked, this, &TChanData::SpeedButton1Click);
    connect(SpeedButton3, &QPushButton::clicked, this, &TChanData::SpeedButton1Click);
    connect(SpeedButton2, &QPushButton::clicked, this, &TChanData::SpeedButton2Click);
    connect(SpeedButton4, &QPushButton::clicked, this, &TChanData::SpeedButton2Click);
}

QWidget* TChanData::buttonStrip(QPushButton*& ok, QPushButton*& cancel) {
    auto* strip = new QWidget;
    auto* row = new QHBoxLayout(strip);
    row->setContentsMargins(0, 4, 0, 0);
    const rivo::dialogs::OkCancel buttons = rivo::dialogs::AddOkCancel(*row, rivo::dialogs::ButtonsAt::Right);
    ok = buttons.ok;
    cancel = buttons.cancel;
    // The dialog's own default follows the shown page (see the constructor).
    ok->setAutoDefault(false);
    cancel->setAutoDefault(false);
    return strip;
}

QWidget* TChanData::buildChannelPage() {
    auto* page = new QWidget;
    auto* fields = new QGroupBox(page);
    fields->setObjectName("GroupBox1");
    auto* grid = new QGridLayout(fields);
    grid->setHorizontalSpacing(8);

    const auto makeBox = [&](QLineEdit*& edit, const char* name) {
        edit = new QLineEdit(fields);
        edit->setObjectName(name);
        edit->setValidator(new rivo::dialogs::Cp1252Validator(edit));
        edit->setFixedWidth(kNumberBoxWidth);
        return edit;
    };

    // Line 1: the name over the whole width.
    makeBox(Edit1, "Edit1");
    Edit1->setMaxLength(kNameLength);
    Edit1->setMinimumWidth(0);
    Edit1->setMaximumWidth(QWIDGETSIZE_MAX);
    rivo::dialogs::AddCaptioned(*grid, 0, 0, "Nome", Edit1, 5);

    // Line 2: transponder and encoding.
    makeBox(Edit2, "Edit2");
    ComboBox1 = new QComboBox(fields);
    ComboBox1->setObjectName("ComboBox1");
    ComboBox1->setEditable(false);
    for (const char* name : rivo::EncodingNames()) ComboBox1->addItem(name);
    ComboBox1->setCurrentIndex(0);
    rivo::dialogs::AddCaptioned(*grid, 1, 0, "Transponder", Edit2);
    rivo::dialogs::AddCaptioned(*grid, 1, 2, "Codifica", ComboBox1, 3);

    // Lines 3 and 4: the PIDs, made in reading order so that Tab goes along a line.
    rivo::dialogs::AddCaptionedLines(*grid, 2, 3,
                                     {{"SID", makeBox(Edit5, "Edit5")},
                                      {"APID", makeBox(Edit7, "Edit7")},
                                      {"AECM", makeBox(Edit3, "Edit3")},
                                      {"PCR", makeBox(Edit6, "Edit6")},
                                      {"VPID", makeBox(Edit8, "Edit8")},
                                      {"VECM", makeBox(Edit4, "Edit4")}});

    boxes_ = {Edit1, Edit2, Edit5, Edit8, Edit7, Edit4, Edit3, Edit6};

    // Line 5: the status bits.
    CheckBox1 = new MixedCheckBox("Attivo", fields);
    CheckBox2 = new MixedCheckBox("Preferito", fields);
    CheckBox3 = new MixedCheckBox("Bloccato", fields);
    CheckBox1->setObjectName("CheckBox1");
    CheckBox2->setObjectName("CheckBox2");
    CheckBox3->setObjectName("CheckBox3");
    grid->addWidget(CheckBox1, 4, 0, 1, 2);
    grid->addWidget(CheckBox2, 4, 2, 1, 2);
    grid->addWidget(CheckBox3, 4, 4, 1, 2);

    // The favourites lists, two rows of four. The box of list n is bit n-1 of
    // "Preferenza"; "Lista 3" and "Lista 4" carry each other's control names.
    listsGroup_ = new QGroupBox("Liste preferiti", fields);
    listsGroup_->setObjectName("GroupBox2");
    auto* listGrid = new QGridLayout(listsGroup_);
    static const std::array<const char*, 8> controlNames{
        "CheckBox4", "CheckBox5", "CheckBox7", "CheckBox6",
        "CheckBox8", "CheckBox9", "CheckBox10", "CheckBox11"};
    for (int n = 1; n <= 8; ++n) {
        auto* box = new MixedCheckBox(QString("Lista %1").arg(n), listsGroup_);
        box->setObjectName(controlNames[static_cast<size_t>(n - 1)]);
        lists_[static_cast<size_t>(n - 1)] = box;
        listGrid->addWidget(box, (n - 1) / 4, (n - 1) % 4);
    }
    grid->addWidget(listsGroup_, 5, 0, 1, 6);

    inactiveNote_ = new QLabel(QString::fromUtf8(
        "Il canale non è attivo: le modifiche saranno conservate solo se \"Attivo\" è selezionato."));
    inactiveNote_->setObjectName("InactiveNote");
    inactiveNote_->setWordWrap(true);
    inactiveNote_->hide();

    auto* column = new QVBoxLayout(page);
    column->addWidget(fields);
    column->addWidget(inactiveNote_);
    column->addStretch();
    column->addWidget(buttonStrip(SpeedButton1, SpeedButton2));
    SpeedButton1->setObjectName("SpeedButton1");
    SpeedButton2->setObjectName("SpeedButton2");
    return page;
}

QWidget* TChanData::buildTransponderPage() {
    auto* page = new QWidget;
    auto* group = new QGroupBox("Dati relativi al transponder", page);
    group->setObjectName("GroupBox3");
    auto* grid = new QGridLayout(group);
    grid->setHorizontalSpacing(10);
    grid->setColumnMinimumWidth(1, 110);
    grid->setColumnMinimumWidth(3, 110);

    struct Pair {
        const char* caption;
        const char* valueName;
    };
    // In the order of the transponder grid's cells 1..9; the first four form the left
    // column, the other five the right one.
    static const std::array<Pair, rivo::tpvalue::Count> pairs{{
        {"Frequenza:", "Label19"},
        {"Transport ID:", "Label21"},
        {"Network ID:", "Label22"},
        {"Canali presenti:", "Label23"},
        {"Symbol rate:", "Label28"},
        {"FEC:", "Label27"},
        {"Polarizzazione:", "Label26"},
        {"22kHz:", "Label25"},
        {"Satellite:", "Label24"},
    }};
    QPalette blue;
    blue.setColor(QPalette::WindowText, Qt::blue);
    for (int i = 0; i < rivo::tpvalue::Count; ++i) {
        const bool left = i < 4;
        const int row = left ? i : i - 4;
        const int col = left ? 0 : 2;
        auto* caption = new QLabel(pairs[static_cast<size_t>(i)].caption, group);
        auto* value = new QLabel(group);
        value->setObjectName(pairs[static_cast<size_t>(i)].valueName);
        value->setPalette(blue);
        values_[static_cast<size_t>(i)] = value;
        grid->addWidget(caption, row, col);
        grid->addWidget(value, row, col + 1);
    }
    grid->setRowStretch(5, 1);

    auto* column = new QVBoxLayout(page);
    column->addWidget(group, 1);
    column->addWidget(buttonStrip(SpeedButton3, SpeedButton4));
    SpeedButton3->setObjectName("SpeedButton3");
    SpeedButton4->setObjectName("SpeedButton4");
    return page;
}

void TChanData::setValues(const rivo::ChannelDialogValues& values) {
    setWindowTitle(FromCell(values.caption));
    CheckBox2->setText(FromCell(values.favouriteCaption));
    for (int b = 0; b < rivo::box::Count; ++b)
        boxes_[static_cast<size_t>(b)]->setText(FromCell(values.boxes[static_cast<size_t>(b)]));
    ComboBox1->setCurrentIndex(values.encoding >= 0 && values.encoding < ComboBox1->count() ? values.encoding
                                                                                           : -1);
    CheckBox1->setState(values.active);
    CheckBox2->setState(values.favourite);
    CheckBox3->setState(values.locked);
    for (int n = 0; n < 8; ++n) lists_[static_cast<size_t>(n)]->setState(values.lists[static_cast<size_t>(n)]);
    listsGroup_->setVisible(values.listsVisible);
    for (int i = 0; i < rivo::tpvalue::Count; ++i)
        values_[static_cast<size_t>(i)]->setText(FromCell(values.transponder[static_cast<size_t>(i)]));
}

rivo::ChannelDialogValues TChanData::values() const {
    rivo::ChannelDialogValues values;
    values.caption = ToCell(windowTitle());
    values.favouriteCaption = ToCell(CheckBox2->text());
    for (int b = 0; b < rivo::box::Count; ++b)
        values.boxes[static_cast<size_t>(b)] = ToCell(boxes_[static_cast<size_t>(b)]->text());
    values.encoding = ComboBox1->currentIndex() < 0 ? rivo::kNoEncoding : ComboBox1->currentIndex();
    values.active = CheckBox1->state();
    values.favourite = CheckBox2->state();
    values.locked = CheckBox3->state();
    for (int n = 0; n < 8; ++n) values.lists[static_cast<size_t>(n)] = lists_[static_cast<size_t>(n)]->state();
    values.listsVisible = !listsGroup_->isHidden();
    for (int i = 0; i < rivo::tpvalue::Count; ++i)
        values.transponder[static_cast<size_t>(i)] = ToCell(values_[static_cast<size_t>(i)]->text());
    return values;
}

void TChanData::SpeedButton1Click() { done(kResultOk); }
void TChanData::SpeedButton2Click() { done(kResultCancel); }
void TChanData::reject() { done(kResultCancel); }

void TChanData::SetExecHook(ExecHook hook) { rivo::dialogs::TestHook<TChanData>() = std::move(hook); }

void TChanData::setInactiveNote(bool shown) { inactiveNote_->setVisible(shown); }

int TChanData::execModal() { return rivo::dialogs::ExecModalOrTestHook(*this, kResultCancel); }

// ---- entry points ----------------------------------------------------------------------

bool ChannelGridDblClick(QWidget* parent, TChanData& shared, rivo::ListPage& page, int row,
                         rivo::UserPrompts* prompts) {
    if (row < 1 || row > page.channelCount()) return false;
    rivo::ChannelDialogValues values = shared.values();
    rivo::RowEditStart start;
    try {
        start = rivo::FillFromRow(page, row, values);
    } catch (const rivo::ConversionError& e) {
        rivo::dialogs::ReportError(parent, prompts, e.what());
        return false;
    }
    shared.setValues(values);
    // Ok leaves an inactive channel as it is unless "Attivo" is checked: say so up front.
    shared.setInactiveNote(!start.wasActive);
    const int result = shared.execModal();
    shared.setInactiveNote(false);
    if (result != TChanData::kResultOk) return false;

    return rivo::ApplyRowOk(page, start, shared.values());
}

bool Propriet1Click(QWidget* parent, rivo::ListPage& page, int top, int bottom, rivo::UserPrompts* prompts) {
    if (top > bottom) std::swap(top, bottom);
    if (top < 1 || bottom > page.channelCount()) return false;
    rivo::ChannelDialogValues values;
    try {
        values = rivo::FillFromSelection(page, top, bottom);
    } catch (const rivo::ConversionError& e) {
        rivo::dialogs::ReportError(parent, prompts, e.what());
        return false;
    }
    TChanData dialog(parent);  // a fresh form for every use
    dialog.setValues(values);
    if (dialog.execModal() != TChanData::kResultOk) return false;
    try {
        rivo::ApplySelectionOk(page, top, bottom, dialog.values());
    } catch (const rivo::ConversionError& e) {
        rivo::dialogs::ReportError(parent, prompts, e.what());
        return false;
    }
    return true;
}
