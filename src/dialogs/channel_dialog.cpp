// The channel properties dialog's widgets: the boxes and check boxes of one channel or of a
// selection (with a third, mixed state), moved to and from ChannelDialogValues.
#include "dialogs/channel_dialog.h"

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
#include "dialogs/qt_text.h"

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
        case CheckState::Checked:
            setCheckState(Qt::Checked);
            break;
        case CheckState::Unchecked:
            setCheckState(Qt::Unchecked);
            break;
        case CheckState::Mixed:
            setCheckState(Qt::PartiallyChecked);
            break;
    }
}

CheckState MixedCheckBox::state() const {
    switch (checkState()) {
        case Qt::Checked:
            return CheckState::Checked;
        case Qt::PartiallyChecked:
            return CheckState::Mixed;
        case Qt::Unchecked:
            break;
    }
    return CheckState::Unchecked;
}

void MixedCheckBox::nextCheckState() {
    // Mixed is only ever shown, never chosen: leaving the box alone is the way to keep it.
    const bool check = checkState() != Qt::Checked;
    setTristate(false);
    setCheckState(check ? Qt::Checked : Qt::Unchecked);
}

// ---- ChannelDialog -------------------------------------------------------------------------

ChannelDialog::ChannelDialog(QWidget* parent) : QDialog(parent) {
    setObjectName("channelDialog");
    setWindowTitle(QTr(rivo::kChannelDialogCaption));
    rivo::dialogs::MakeFixedSizeDialog(*this);

    pages_ = rivo::dialogs::MakePages(
        *this, {{buildChannelPage(), QTr("Canale")}, {buildTransponderPage(), QTr("Transponder")}});

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(pages_);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // Enter presses the shown page's "Ok", from any box.
    okButton_->setDefault(true);
    connect(pages_, &QTabWidget::currentChanged, this, [this](int index) {
        (index == 0 ? okButton_ : transponderOkButton_)->setDefault(true);
    });
    connect(okButton_, &QPushButton::clicked, this, &ChannelDialog::confirm);
    connect(transponderOkButton_, &QPushButton::clicked, this, &ChannelDialog::confirm);
    connect(cancelButton_, &QPushButton::clicked, this, &ChannelDialog::cancel);
    connect(transponderCancelButton_, &QPushButton::clicked, this, &ChannelDialog::cancel);
}

QWidget* ChannelDialog::buttonStrip(QPushButton*& ok, QPushButton*& cancel) {
    auto* strip = new QWidget;
    auto* row = new QHBoxLayout(strip);
    row->setContentsMargins(0, 4, 0, 0);
    const rivo::dialogs::OkCancel buttons =
        rivo::dialogs::AddOkCancel(*row, rivo::dialogs::ButtonsAt::Right);
    ok = buttons.ok;
    cancel = buttons.cancel;
    // The dialog's own default follows the shown page (see the constructor).
    ok->setAutoDefault(false);
    cancel->setAutoDefault(false);
    return strip;
}

QWidget* ChannelDialog::buildChannelPage() {
    auto* page = new QWidget;
    auto* fields = new QGroupBox(page);
    fields->setObjectName("fieldsGroup");
    auto* grid = new QGridLayout(fields);
    grid->setHorizontalSpacing(8);

    const auto makeBox = [&](QLineEdit*& edit, const char* name) {
        edit = new QLineEdit(fields);
        edit->setObjectName(name);
        edit->setValidator(new rivo::dialogs::Cp1252Validator(edit, true));
        edit->setFixedWidth(kNumberBoxWidth);
        return edit;
    };

    // Line 1: the name over the whole width.
    makeBox(nameEdit_, "nameEdit");
    nameEdit_->setMaxLength(kNameLength);
    nameEdit_->setMinimumWidth(0);
    nameEdit_->setMaximumWidth(QWIDGETSIZE_MAX);
    rivo::dialogs::AddCaptioned(*grid, 0, 0, QTr("Nome"), nameEdit_, 5);

    // Line 2: transponder and encoding. The combo's entries are chosen by their index,
    // so their text is free to follow the language.
    makeBox(transponderEdit_, "transponderEdit");
    encodingCombo_ = new QComboBox(fields);
    encodingCombo_->setObjectName("encodingCombo");
    encodingCombo_->setEditable(false);
    for (const char* name : rivo::EncodingNames()) encodingCombo_->addItem(QTr(name));
    encodingCombo_->setCurrentIndex(0);
    rivo::dialogs::AddCaptioned(*grid, 1, 0, QTr("Transponder"), transponderEdit_);
    rivo::dialogs::AddCaptioned(*grid, 1, 2, QTr("Codifica"), encodingCombo_, 3);

    // Lines 3 and 4: the PIDs, made in reading order so that Tab goes along a line.
    rivo::dialogs::AddCaptionedLines(*grid, 2, 3,
                                     {{QTr("SID"), makeBox(sidEdit_, "sidEdit")},
                                      {QTr("APID"), makeBox(aPidEdit_, "aPidEdit")},
                                      {QTr("AECM"), makeBox(aEcmEdit_, "aEcmEdit")},
                                      {QTr("PCR"), makeBox(pcrEdit_, "pcrEdit")},
                                      {QTr("VPID"), makeBox(vPidEdit_, "vPidEdit")},
                                      {QTr("VECM"), makeBox(vEcmEdit_, "vEcmEdit")}});

    boxes_ = {nameEdit_, transponderEdit_, sidEdit_,  vPidEdit_,
              aPidEdit_, vEcmEdit_,        aEcmEdit_, pcrEdit_};

    // Line 5: the status bits.
    activeCheck_ = new MixedCheckBox(QTr("Attivo"), fields);
    favouriteCheck_ = new MixedCheckBox(QTr("Preferito"), fields);
    lockedCheck_ = new MixedCheckBox(QTr("Bloccato"), fields);
    activeCheck_->setObjectName("activeCheck");
    favouriteCheck_->setObjectName("favouriteCheck");
    lockedCheck_->setObjectName("lockedCheck");
    grid->addWidget(activeCheck_, 4, 0, 1, 2);
    grid->addWidget(favouriteCheck_, 4, 2, 1, 2);
    grid->addWidget(lockedCheck_, 4, 4, 1, 2);

    // The favourites lists, two rows of four. The box of list n is bit n-1 of
    // "Preferenza"; "Lista 3" and "Lista 4" carry each other's control names.
    listsGroup_ = new QGroupBox(QTr("Liste preferiti"), fields);
    listsGroup_->setObjectName("listsGroup");
    auto* listGrid = new QGridLayout(listsGroup_);
    static const std::array<const char*, 8> controlNames{"list1Check", "list2Check", "list3Check",
                                                         "list4Check", "list5Check", "list6Check",
                                                         "list7Check", "list8Check"};
    for (int n = 1; n <= 8; ++n) {
        auto* box = new MixedCheckBox(QTr("Lista %1").arg(n), listsGroup_);
        box->setObjectName(controlNames[static_cast<size_t>(n - 1)]);
        lists_[static_cast<size_t>(n - 1)] = box;
        listGrid->addWidget(box, (n - 1) / 4, (n - 1) % 4);
    }
    grid->addWidget(listsGroup_, 5, 0, 1, 6);

    inactiveNote_ =
        new QLabel(QTr("Il canale non è attivo: le modifiche saranno conservate solo se \"Attivo\" "
                       "è selezionato."));
    inactiveNote_->setObjectName("inactiveNote");
    inactiveNote_->setWordWrap(true);
    inactiveNote_->hide();
    // Said while typing, before Ok: the box keeps what was typed until it is changed.
    unstorableNote_ = new QLabel;
    unstorableNote_->setObjectName("unstorableNote");
    unstorableNote_->setWordWrap(true);
    unstorableNote_->hide();
    for (QLineEdit* box : {nameEdit_, transponderEdit_, sidEdit_, vPidEdit_, aPidEdit_, vEcmEdit_,
                           aEcmEdit_, pcrEdit_})
        connect(box, &QLineEdit::textChanged, this, &ChannelDialog::updateUnstorableNote);

    auto* column = new QVBoxLayout(page);
    column->addWidget(fields);
    column->addWidget(inactiveNote_);
    column->addWidget(unstorableNote_);
    column->addStretch();
    column->addWidget(buttonStrip(okButton_, cancelButton_));
    okButton_->setObjectName("okButton");
    cancelButton_->setObjectName("cancelButton");
    return page;
}

QWidget* ChannelDialog::buildTransponderPage() {
    auto* page = new QWidget;
    auto* group = new QGroupBox(QTr("Dati relativi al transponder"), page);
    group->setObjectName("transponderGroup");
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
        {rivo::TrNoop("Frequenza:"), "frequencyValue"},
        {rivo::TrNoop("Transport ID:"), "tidValue"},
        {rivo::TrNoop("Network ID:"), "nidValue"},
        {rivo::TrNoop("Canali presenti:"), "channelsValue"},
        {rivo::TrNoop("Symbol rate:"), "symbolRateValue"},
        {rivo::TrNoop("FEC:"), "fecValue"},
        {rivo::TrNoop("Polarizzazione:"), "polarisationValue"},
        {rivo::TrNoop("22kHz:"), "toneValue"},
        {rivo::TrNoop("Satellite:"), "satelliteValue"},
    }};
    QPalette blue;
    blue.setColor(QPalette::WindowText, Qt::blue);
    for (int i = 0; i < rivo::tpvalue::Count; ++i) {
        const bool left = i < 4;
        const int row = left ? i : i - 4;
        const int col = left ? 0 : 2;
        auto* caption = new QLabel(QTr(pairs[static_cast<size_t>(i)].caption), group);
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
    column->addWidget(buttonStrip(transponderOkButton_, transponderCancelButton_));
    transponderOkButton_->setObjectName("transponderOkButton");
    transponderCancelButton_->setObjectName("transponderCancelButton");
    return page;
}

void ChannelDialog::setValues(const rivo::ChannelDialogValues& values) {
    setWindowTitle(FromCell(values.caption));
    favouriteCheck_->setText(FromCell(values.favouriteCaption));
    for (int b = 0; b < rivo::box::Count; ++b)
        boxes_[static_cast<size_t>(b)]->setText(FromCell(values.boxes[static_cast<size_t>(b)]));
    // Rows whose encodings differ show the mixed entry after the six systems; a form for
    // rows that agree has none.
    const bool mixedShown = encodingCombo_->count() > rivo::kEncodingCount;
    if (values.keepEachEncoding && !mixedShown) encodingCombo_->addItem(QTr(rivo::kMixedEncoding));
    if (!values.keepEachEncoding && mixedShown) encodingCombo_->removeItem(rivo::kEncodingCount);
    if (values.keepEachEncoding)
        encodingCombo_->setCurrentIndex(rivo::kEncodingCount);
    else
        encodingCombo_->setCurrentIndex(
            values.encoding >= 0 && values.encoding < rivo::kEncodingCount ? values.encoding : -1);
    activeCheck_->setState(values.active);
    favouriteCheck_->setState(values.favourite);
    lockedCheck_->setState(values.locked);
    for (int n = 0; n < 8; ++n)
        lists_[static_cast<size_t>(n)]->setState(values.lists[static_cast<size_t>(n)]);
    listsGroup_->setVisible(values.listsVisible);
    for (int i = 0; i < rivo::tpvalue::Count; ++i)
        values_[static_cast<size_t>(i)]->setText(
            FromCell(values.transponder[static_cast<size_t>(i)]));
}

rivo::ChannelDialogValues ChannelDialog::values() const {
    rivo::ChannelDialogValues values;
    values.caption = ToCell(windowTitle());
    values.favouriteCaption = ToCell(favouriteCheck_->text());
    for (int b = 0; b < rivo::box::Count; ++b)
        values.boxes[static_cast<size_t>(b)] = ToCell(boxes_[static_cast<size_t>(b)]->text());
    const int encoding = encodingCombo_->currentIndex();
    values.keepEachEncoding = encoding == rivo::kEncodingCount;
    values.encoding = encoding < 0 || values.keepEachEncoding ? rivo::kNoEncoding : encoding;
    values.active = activeCheck_->state();
    values.favourite = favouriteCheck_->state();
    values.locked = lockedCheck_->state();
    for (int n = 0; n < 8; ++n)
        values.lists[static_cast<size_t>(n)] = lists_[static_cast<size_t>(n)]->state();
    values.listsVisible = !listsGroup_->isHidden();
    for (int i = 0; i < rivo::tpvalue::Count; ++i)
        values.transponder[static_cast<size_t>(i)] =
            ToCell(values_[static_cast<size_t>(i)]->text());
    return values;
}

void ChannelDialog::updateUnstorableNote() {
    QString characters;
    for (QLineEdit* box : boxes_)
        if (box) characters += rivo::dialogs::UnstorableCharacters(box->text());
    characters = rivo::dialogs::UnstorableCharacters(characters);  // each once
    QStringList shown;
    for (const char32_t c : characters.toUcs4()) shown << QString::fromUcs4(&c, 1);
    unstorableNote_->setText(QTr("Caratteri non ammessi: %1. La lista usa Windows-1252 e non li "
                                 "può conservare: con Ok verranno tolti.")
                                 .arg(shown.join(QLatin1Char(' '))));
    unstorableNote_->setVisible(!shown.isEmpty());
}

void ChannelDialog::confirm() {
    // A slip in a number box is seen while the dialog is open: asked, the user can stay.
    if (!rivo::dialogs::ConfirmBadNumbers(this, prompts_,
                                          rivo::BadChannelNumbers(values(), emptyBoxesKeep_)))
        return;
    done(kResultOk);
}
void ChannelDialog::cancel() { done(kResultCancel); }
void ChannelDialog::reject() { done(kResultCancel); }

void ChannelDialog::setExecHook(ExecHook hook) {
    rivo::dialogs::TestHook<ChannelDialog>() = std::move(hook);
}

void ChannelDialog::setInactiveNote(bool shown) { inactiveNote_->setVisible(shown); }

int ChannelDialog::execModal() { return rivo::dialogs::ExecModalOrTestHook(*this, kResultCancel); }

// ---- entry points ----------------------------------------------------------------------

bool RunChannelDialog(QWidget* parent, ChannelDialog& shared, rivo::ListPage& page, int row,
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
    shared.setPrompts(prompts);
    shared.setEmptyBoxesKeep(false);
    // Ok leaves an inactive channel as it is unless "Attivo" is checked: say so up front.
    shared.setInactiveNote(!start.wasActive);
    const int result = shared.execModal();
    shared.setInactiveNote(false);
    if (result != ChannelDialog::kResultOk) return false;

    return rivo::ApplyRowOk(page, start, shared.values());
}

bool RunChannelPropertiesDialog(QWidget* parent, rivo::ListPage& page, int top, int bottom,
                                rivo::UserPrompts* prompts) {
    if (top > bottom) std::swap(top, bottom);
    if (top < 1 || bottom > page.channelCount()) return false;
    rivo::ChannelDialogValues values;
    try {
        values = rivo::FillFromSelection(page, top, bottom);
    } catch (const rivo::ConversionError& e) {
        rivo::dialogs::ReportError(parent, prompts, e.what());
        return false;
    }
    ChannelDialog dialog(parent);  // a fresh form for every use
    dialog.setValues(values);
    dialog.setPrompts(prompts);
    dialog.setEmptyBoxesKeep(true);
    if (dialog.execModal() != ChannelDialog::kResultOk) return false;
    try {
        rivo::ApplySelectionOk(page, top, bottom, dialog.values());
    } catch (const rivo::ConversionError& e) {
        rivo::dialogs::ReportError(parent, prompts, e.what());
        return false;
    }
    return true;
}

bool RunChannelPropertiesDialog(QWidget* parent, rivo::ListPage& page, const std::vector<int>& rows,
                                rivo::UserPrompts* prompts) {
    if (rows.empty()) return false;
    rivo::ChannelDialogValues values;
    try {
        values = rivo::FillFromSelection(page, rows);
    } catch (const rivo::ConversionError& e) {
        rivo::dialogs::ReportError(parent, prompts, e.what());
        return false;
    } catch (const std::out_of_range&) {
        return false;
    }
    ChannelDialog dialog(parent);  // a fresh form for every use
    dialog.setValues(values);
    dialog.setPrompts(prompts);
    dialog.setEmptyBoxesKeep(true);
    if (dialog.execModal() != ChannelDialog::kResultOk) return false;
    try {
        rivo::ApplySelectionOk(page, rows, dialog.values());
    } catch (const rivo::ConversionError& e) {
        rivo::dialogs::ReportError(parent, prompts, e.what());
        return false;
    }
    return true;
}
