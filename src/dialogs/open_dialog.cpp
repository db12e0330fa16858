// The open dialog's widgets: the file, the LNB oscillators, the satellite names and the
// symbol-rate set, checked one field at a time before Ok opens the image.
#include "dialogs/open_dialog.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QFocusEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QUrl>
#include <QVBoxLayout>
#include <charconv>
#include <optional>

#include "dialogs/dialog_parts.h"
#include "dialogs/qt_text.h"

namespace {

// A whole decimal number as the LNB fields take it: optional sign, digits, 32 bits.
std::optional<std::int32_t> ParseInt32(const QString& text) {
    const QByteArray bytes = text.toLatin1();
    const char* first = bytes.constData();
    const char* last = first + bytes.size();
    if (first != last && *first == '+') ++first;
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(first, last, value);
    if (first == last || error != std::errc() || end != last || text.size() != bytes.size())
        return std::nullopt;
    return value;
}

// Shown through Warn, which translates them.
constexpr const char* kLowMessage = rivo::TrNoop("Selezionare una frequenza bassa LNB corretta");
constexpr const char* kHighMessage = rivo::TrNoop("Selezionare una frequenza alta LNB corretta");
constexpr const char* kNoFileMessage = rivo::TrNoop("Selezionare il file da aprire");
constexpr const char* kNoSatelliteAMessage = rivo::TrNoop("Inserire il nome del satellite A");
constexpr const char* kNoSatelliteBMessage = rivo::TrNoop("Inserire il nome del satellite B");
constexpr const char* kSameSatellitesMessage =
    rivo::TrNoop("I satelliti A e B devono avere nomi diversi");

// One of the messages above in a warning box.
void Warn(rivo::UserPrompts& prompts, const char* message) {
    prompts.tell(rivo::Tr(message), rivo::Tr(rivo::dialogs::kAttentionTitle), rivo::Icon::Warning);
}

// The path as typed or pasted: surrounding blanks and quotes go, and a "file:" address
// (what a file manager pastes) becomes its local path.
QString TypedPath(const QString& text) {
    QString path = text.trimmed();
    if (path.size() >= 2 && path.startsWith(QLatin1Char('"')) && path.endsWith(QLatin1Char('"')))
        path = path.mid(1, path.size() - 2);
    if (path.startsWith(QStringLiteral("file:"))) {
        const QUrl url(path);
        if (url.isLocalFile()) path = url.toLocalFile();
    }
    return path;
}

QString CodeText(int code) { return QString::asprintf("%02X", code); }

}  // namespace

OpenDialog::OpenDialog(QString iniPath, rivo::UserPrompts& prompts, QWidget* parent)
    : QDialog(parent), iniPath_(std::move(iniPath)), prompts_(prompts) {
    setWindowTitle(QTr("Apertura lista canali..."));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint |
                   Qt::WindowTitleHint);
    setModal(true);

    chooseFile = [this](QWidget* owner, const QString& filter) {
        return QFileDialog::getOpenFileName(owner, QTr("Apri"), startFolder, filter);
    };

    auto* info = new QGroupBox(QTr("Informazioni per l'apertura della lista canali"));

    browseButton = new QPushButton(QTr("Sfoglia"));
    // The path may be typed or pasted as well as chosen with "Sfoglia".
    fileEdit = new QLineEdit;
    fileEdit->setMinimumWidth(280);
    // No caption stands beside it: it is read out by this name.
    fileEdit->setAccessibleName(QTr("File da aprire"));
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(browseButton);
    fileRow->addWidget(fileEdit, 1);

    lnbLowEdit = new QLineEdit;
    lnbHighEdit = new QLineEdit;
    satelliteACombo = new QComboBox;
    satelliteBCombo = new QComboBox;
    for (QComboBox* combo : {satelliteACombo, satelliteBCombo}) {
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        // A typed name is kept as typed: completion would rewrite "hotbird" to the
        // preset's "HotBird", and names are told apart by case.
        combo->setCompleter(nullptr);
    }
    auto* form = new QFormLayout;
    form->addRow(QTr("Frequenza LNB bassa (22kHz Off)"), lnbLowEdit);
    form->addRow(QTr("Frequenza LNB alta (22kHz On)"), lnbHighEdit);
    form->addRow(QTr("Satellite A"), satelliteACombo);
    form->addRow(QTr("Satellite B"), satelliteBCombo);

    auto* rates = new QGroupBox(QTr("Symbol Rate"));
    symbolRateSetCombo = new QComboBox;
    symbolRateSetCombo->setEditable(false);
    symbolRateTable = new QTableWidget(16, 2);
    symbolRateTable->setHorizontalHeaderLabels({QTr("SR"), QTr("VALORE")});
    symbolRateTable->verticalHeader()->hide();
    symbolRateTable->verticalHeader()->setMinimumSectionSize(1);
    symbolRateTable->verticalHeader()->setDefaultSectionSize(18);
    symbolRateTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    symbolRateTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    symbolRateTable->setSelectionMode(QAbstractItemView::SingleSelection);
    symbolRateTable->setColumnWidth(0, 40);
    symbolRateTable->setColumnWidth(1, 80);
    symbolRateTable->setFixedWidth(40 + 80 + 2 * symbolRateTable->frameWidth() + 20);
    for (int i = 0; i < 16; ++i) {
        auto* code = new QTableWidgetItem(CodeText(i));
        code->setTextAlignment(Qt::AlignCenter);
        symbolRateTable->setItem(i, 0, code);
        auto* value = new QTableWidgetItem;
        value->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        symbolRateTable->setItem(i, 1, value);
    }
    auto* ratesLayout = new QVBoxLayout(rates);
    ratesLayout->addWidget(symbolRateSetCombo);
    ratesLayout->addWidget(symbolRateTable, 1);

    // An Sr.Ini that is there but cannot be read would otherwise show as an empty set
    // list with no hint why; a missing one is the usual case and says nothing.
    symbolRateProblemLabel = new QLabel;
    symbolRateProblemLabel->setWordWrap(true);
    symbolRateProblemLabel->setTextFormat(Qt::PlainText);
    symbolRateProblemLabel->hide();

    defaultsButton = new QPushButton(QTr("Valori predefiniti"));
    defaultsButton->setObjectName(QStringLiteral("defaultsButton"));
    defaultsButton->setToolTip(
        QTr("Riporta frequenze LNB, satelliti e symbol rate ai valori iniziali"));
    auto* defaultsRow = new QHBoxLayout;
    defaultsRow->addStretch(1);
    defaultsRow->addWidget(defaultsButton);

    auto* left = new QVBoxLayout;
    left->addLayout(fileRow);
    left->addLayout(form);
    left->addLayout(defaultsRow);
    left->addWidget(symbolRateProblemLabel);
    left->addStretch(1);
    auto* columns = new QHBoxLayout(info);
    columns->addLayout(left, 1);
    columns->addWidget(rates);

    const rivo::dialogs::OkCancel buttons = rivo::dialogs::LayOutOverOkCancel(*this, info, 1);
    okButton = buttons.ok;
    cancelButton = buttons.cancel;

    connect(browseButton, &QPushButton::clicked, this, &OpenDialog::browse);
    connect(lnbLowEdit, &QLineEdit::textChanged, this, &OpenDialog::lnbLowChanged);
    lnbHighEdit->installEventFilter(this);
    connect(symbolRateSetCombo, &QComboBox::currentIndexChanged, this,
            &OpenDialog::symbolRateSetChanged);
    connect(defaultsButton, &QPushButton::clicked, this, &OpenDialog::restoreDefaults);
    connect(okButton, &QPushButton::clicked, this, &OpenDialog::acceptIfValid);
    connect(cancelButton, &QPushButton::clicked, this, &OpenDialog::cancel);
}

QString OpenDialog::fileFilter() { return rivo::dialogs::ImageFileFilter(); }

void OpenDialog::initialise() {
    // Every control at its start value; what the window remembers comes afterwards
    // through setParams.
    fileEdit->clear();
    // The path is what the dialog is for: it can be typed or pasted at once.
    fileEdit->setFocus(Qt::OtherFocusReason);

    std::string iniProblem;
    bool iniMissing = false;
    sets_ = rivo::ReadSymbolRateSets(iniPath_.toStdString(), &iniProblem, &iniMissing);
    const bool unreadable = !iniProblem.empty() && !iniMissing;
    symbolRateProblemLabel->setText(
        unreadable
            ? QString::fromStdString(rivo::Fmt(rivo::Tr("Symbol rate non letti: %1"), iniProblem))
            : QString());
    symbolRateProblemLabel->setVisible(unreadable);
    {
        const QSignalBlocker block(symbolRateSetCombo);
        symbolRateSetCombo->clear();
        for (const auto& set : sets_) symbolRateSetCombo->addItem(QString::fromStdString(set.name));
    }
    restoreDefaults();
}

void OpenDialog::restoreDefaults() {
    {
        const QSignalBlocker block(lnbLowEdit);
        lnbLowEdit->setText(QStringLiteral("9750"));
    }
    lnbHighEdit->setText(QStringLiteral("10600"));
    const QStringList satellites{QStringLiteral("HotBird"), QStringLiteral("Astra"),
                                 QStringLiteral("Thor")};
    for (QComboBox* combo : {satelliteACombo, satelliteBCombo}) {
        combo->clear();
        combo->addItems(satellites);
    }
    satelliteACombo->setCurrentIndex(0);
    satelliteBCombo->setCurrentIndex(1);
    for (int i = 0; i < 16; ++i) symbolRateTable->item(i, 1)->setText(QString());
    {
        const QSignalBlocker block(symbolRateSetCombo);
        symbolRateSetCombo->setCurrentIndex(sets_.empty() ? -1 : 0);
    }
    symbolRateSetChanged(symbolRateSetCombo->currentIndex());
}

void OpenDialog::setParams(const rivo::OpenParams& params, const QString& setName) {
    if (!params.fileName.empty())
        fileEdit->setText(QFile::decodeName(QByteArray::fromStdString(params.fileName)));
    {
        const QSignalBlocker block(lnbLowEdit);
        lnbLowEdit->setText(QString::number(params.lnbLow));
    }
    lnbHighEdit->setText(QString::number(params.lnbHigh));
    const auto choose = [](QComboBox* combo, const std::string& name) {
        const QString text = QString::fromStdString(name);
        const int index = combo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (index >= 0)
            combo->setCurrentIndex(index);
        else
            combo->setEditText(text);
    };
    choose(satelliteACombo, params.satelliteA);
    choose(satelliteBCombo, params.satelliteB);
    {
        // Choosing the set would load its present rates over the remembered ones.
        const QSignalBlocker block(symbolRateSetCombo);
        const int set = setName.isEmpty() ? -1
                                          : symbolRateSetCombo->findText(
                                                setName, Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (set >= 0) symbolRateSetCombo->setCurrentIndex(set);
    }
    // An empty cell reads as 0, so 0 shows as an empty cell.
    for (int i = 0; i < 16; ++i) {
        const std::int32_t rate = params.symbolRates[static_cast<size_t>(i)];
        symbolRateTable->item(i, 1)->setText(rate == 0 ? QString() : QString::number(rate));
    }
}

QString OpenDialog::symbolRateSetName() const { return symbolRateSetCombo->currentText(); }

void OpenDialog::setFileName(const QString& path) { fileEdit->setText(path); }

void OpenDialog::browse() {
    const QString path = chooseFile ? chooseFile(this, fileFilter()) : QString();
    if (!path.isEmpty()) {
        fileEdit->setText(path);
        if (fileChosen) fileChosen(*this, path);
    }
    // The file is usually all the user came for: Enter now opens it.
    okButton->setFocus(Qt::OtherFocusReason);
}

void OpenDialog::lnbLowChanged(const QString& text) {
    const auto value = ParseInt32(text);
    if (!value || *value < 0) Warn(prompts_, kLowMessage);
}

void OpenDialog::lnbHighLeft() {
    const auto value = ParseInt32(lnbHighEdit->text());
    if (!value || *value < 0) Warn(prompts_, kHighMessage);
}

bool OpenDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lnbHighEdit && event->type() == QEvent::FocusOut) {
        // Leaving the field for another control of the dialog, not the window losing
        // activation (a message box or another application taking over).
        // Going to "Annulla" is no reason to check the field: the message would swallow
        // the click and keep the dialog open.
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
            QApplication::focusWidget() != cancelButton)
            lnbHighLeft();
    }
    return QDialog::eventFilter(watched, event);
}

void OpenDialog::symbolRateSetChanged(int index) {
    if (index < 0 || index >= static_cast<int>(sets_.size())) return;
    const auto& set = sets_[static_cast<size_t>(index)];
    if (set.name == rivo::kCustomSetName) return;  // keeps the rates shown before
    for (int i = 0; i < 16; ++i) {
        const std::int32_t rate = set.rates[static_cast<size_t>(i)];
        symbolRateTable->item(i, 1)->setText(rate == -1 ? QString() : QString::number(rate));
    }
}

void OpenDialog::acceptIfValid() {
    const auto low = ParseInt32(lnbLowEdit->text());
    const auto high = ParseInt32(lnbHighEdit->text());
    const QString a = satelliteACombo->currentText();
    const QString b = satelliteBCombo->currentText();
    // The first field that is wrong is named and gets the focus.
    const struct {
        bool wrong;
        const char* message;
        QWidget* field;
    } checks[] = {
        {TypedPath(fileEdit->text()).isEmpty(), kNoFileMessage, fileEdit},
        {!low || *low <= 0, kLowMessage, lnbLowEdit},
        {!high || *high <= 0, kHighMessage, lnbHighEdit},
        {a.isEmpty(), kNoSatelliteAMessage, satelliteACombo},
        {b.isEmpty(), kNoSatelliteBMessage, satelliteBCombo},
        {a == b, kSameSatellitesMessage, satelliteBCombo},
    };
    for (const auto& check : checks) {
        if (!check.wrong) continue;
        Warn(prompts_, check.message);
        check.field->setFocus(Qt::OtherFocusReason);
        return;
    }
    accept();
}

void OpenDialog::cancel() { reject(); }

rivo::OpenParams OpenDialog::params() const {
    rivo::OpenParams params;
    params.fileName = QFile::encodeName(TypedPath(fileEdit->text())).toStdString();
    params.lnbLow = ParseInt32(lnbLowEdit->text()).value_or(0);
    params.lnbHigh = ParseInt32(lnbHighEdit->text()).value_or(0);
    for (int i = 0; i < 16; ++i)
        params.symbolRates[static_cast<size_t>(i)] =
            ParseInt32(symbolRateTable->item(i, 1)->text()).value_or(0);
    params.satelliteA = satelliteACombo->currentText().toStdString();
    params.satelliteB = satelliteBCombo->currentText().toStdString();
    return params;
}
