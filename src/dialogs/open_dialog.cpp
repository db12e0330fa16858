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

namespace {

// A whole decimal number as the LNB fields take it: optional sign, digits, 32 bits.
std::optional<std::int32_t> ParseInt32(const QString& text) {
    const QByteArray bytes = text.toLatin1();
    const char* first = bytes.constData();
    const char* last = first + bytes.size();
    if (first != last && *first == '+') ++first;
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(first, last, value);
    if (first == last || error != std::errc() || end != last ||
        text.size() != bytes.size())
        return std::nullopt;
    return value;
}

constexpr const char* kLowMessage = "Selezionare una frequenza bassa LNB corretta";
constexpr const char* kHighMessage = "Selezionare una frequenza alta LNB corretta";
constexpr const char* kNoFileMessage = "Selezionare il file da aprire";
constexpr const char* kNoSatelliteAMessage = "Inserire il nome del satellite A";
constexpr const char* kNoSatelliteBMessage = "Inserire il nome del satellite B";
constexpr const char* kSameSatellitesMessage = "I satelliti A e B devono avere nomi diversi";

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

TForm2::TForm2(QString iniPath, rivo::UserPrompts& prompts, QWidget* parent)
    : QDialog(parent), iniPath_(std::move(iniPath)), prompts_(prompts) {
    setWindowTitle(QStringLiteral("Apertura lista canali..."));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint |
                   Qt::WindowTitleHint);
    setModal(true);

    chooseFile = [](QWidget* owner, const QString& filter) {
        return QFileDialog::getOpenFileName(owner, QStringLiteral("Apri"), QString(), filter);
    };

    auto* info = new QGroupBox(QStringLiteral("Informazioni per l'apertura della lista canali"));

    SpeedButton3 = new QPushButton(QStringLiteral("Sfoglia"));
    // The path may be typed or pasted as well as chosen with "Sfoglia".
    FileEdit = new QLineEdit;
    FileEdit->setMinimumWidth(280);
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(SpeedButton3);
    fileRow->addWidget(FileEdit, 1);

    Edit2 = new QLineEdit;
    Edit3 = new QLineEdit;
    SatelliteACombo = new QComboBox;
    SatelliteBCombo = new QComboBox;
    for (QComboBox* combo : {SatelliteACombo, SatelliteBCombo}) {
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        // A typed name is kept as typed: completion would rewrite "hotbird" to the
        // preset's "HotBird", and names are told apart by case.
        combo->setCompleter(nullptr);
    }
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Frequenza LNB bassa (22kHz Off)"), Edit2);
    form->addRow(QStringLiteral("Frequenza LNB alta (22kHz On)"), Edit3);
    form->addRow(QStringLiteral("Satellite A"), SatelliteACombo);
    form->addRow(QStringLiteral("Satellite B"), SatelliteBCombo);

    auto* rates = new QGroupBox(QStringLiteral("Symbol Rate"));
    ComboBox1 = new QComboBox;
    ComboBox1->setEditable(false);
    RateGrid = new QTableWidget(16, 2);
    RateGrid->setHorizontalHeaderLabels({QStringLiteral("SR"), QStringLiteral("VALORE")});
    RateGrid->verticalHeader()->hide();
    RateGrid->verticalHeader()->setMinimumSectionSize(1);
    RateGrid->verticalHeader()->setDefaultSectionSize(18);
    RateGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    RateGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    RateGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    RateGrid->setColumnWidth(0, 40);
    RateGrid->setColumnWidth(1, 80);
    RateGrid->setFixedWidth(40 + 80 + 2 * RateGrid->frameWidth() + 20);
    for (int i = 0; i < 16; ++i) {
        auto* code = new QTableWidgetItem(CodeText(i));
        code->setTextAlignment(Qt::AlignCenter);
        RateGrid->setItem(i, 0, code);
        auto* value = new QTableWidgetItem;
        value->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        RateGrid->setItem(i, 1, value);
    }
    auto* ratesLayout = new QVBoxLayout(rates);
    ratesLayout->addWidget(ComboBox1);
    ratesLayout->addWidget(RateGrid, 1);

    auto* left = new QVBoxLayout;
    left->addLayout(fileRow);
    left->addLayout(form);
    left->addStretch(1);
    auto* columns = new QHBoxLayout(info);
    columns->addLayout(left, 1);
    columns->addWidget(rates);

    const rivo::dialogs::OkCancel buttons = rivo::dialogs::LayOutOverOkCancel(*this, info, 1);
    SpeedButton2 = buttons.ok;
    SpeedButton1 = buttons.cancel;

    connect(SpeedButton3, &QPushButton::clicked, this, &TForm2::SpeedButton3Click);
    connect(Edit2, &QLineEdit::textChanged, this, &TForm2::Edit2Change);
    Edit3->installEventFilter(this);
    connect(ComboBox1, &QComboBox::currentIndexChanged, this, &TForm2::ComboBox1Change);
    connect(SpeedButton2, &QPushButton::clicked, this, &TForm2::SpeedButton2Click);
    connect(SpeedButton1, &QPushButton::clicked, this, &TForm2::SpeedButton1Click);
}

QString TForm2::fileFilter() { return rivo::dialogs::ImageFileFilter(); }

void TForm2::Initialise() {
    // Every opening starts from the start values: nothing of a previous one is kept.
    FileEdit->clear();
    {
        const QSignalBlocker block(Edit2);
        Edit2->setText(QStringLiteral("9750"));
    }
    Edit3->setText(QStringLiteral("10600"));
    const QStringList satellites{QStringLiteral("HotBird"), QStringLiteral("Astra"),
                                 QStringLiteral("Thor")};
    for (QComboBox* combo : {SatelliteACombo, SatelliteBCombo}) {
        combo->clear();
        combo->addItems(satellites);
    }
    SatelliteACombo->setCurrentIndex(0);
    SatelliteBCombo->setCurrentIndex(1);

    sets_ = rivo::ReadSymbolRateSets(iniPath_.toStdString());
    {
        const QSignalBlocker block(ComboBox1);
        ComboBox1->clear();
        for (const auto& set : sets_) ComboBox1->addItem(QString::fromStdString(set.name));
    }
    for (int i = 0; i < 16; ++i) RateGrid->item(i, 1)->setText(QString());
    if (!sets_.empty()) {
        const QSignalBlocker block(ComboBox1);
        ComboBox1->setCurrentIndex(0);
    }
    ComboBox1Change(ComboBox1->currentIndex());
}

void TForm2::setFileName(const QString& path) { FileEdit->setText(path); }

void TForm2::SpeedButton3Click() {
    const QString path = chooseFile ? chooseFile(this, fileFilter()) : QString();
    if (!path.isEmpty()) FileEdit->setText(path);
    // The file is usually all the user came for: Enter now opens it.
    SpeedButton2->setFocus(Qt::OtherFocusReason);
}

void TForm2::Edit2Change(const QString& text) {
    const auto value = ParseInt32(text);
    if (!value || *value < 0)
        prompts_.tell(kLowMessage, rivo::dialogs::kAttentionTitle, rivo::Icon::Warning);
}

void TForm2::Edit3Exit() {
    const auto value = ParseInt32(Edit3->text());
    if (!value || *value < 0)
        prompts_.tell(kHighMessage, rivo::dialogs::kAttentionTitle, rivo::Icon::Warning);
}

bool TForm2::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Edit3 && event->type() == QEvent::FocusOut) {
        // Leaving the field for another control of the dialog, not the window losing
        // activation (a message box or another application taking over).
        // Going to "Annulla" is no reason to check the field: the message would swallow
        // the click and keep the dialog open.
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
            QApplication::focusWidget() != SpeedButton1)
            Edit3Exit();
    }
    return QDialog::eventFilter(watched, event);
}

void TForm2::ComboBox1Change(int index) {
    if (index < 0 || index >= static_cast<int>(sets_.size())) return;
    const auto& set = sets_[static_cast<size_t>(index)];
    if (set.name == rivo::kCustomSetName) return;  // keeps the rates shown before
    for (int i = 0; i < 16; ++i) {
        const std::int32_t rate = set.rates[static_cast<size_t>(i)];
        RateGrid->item(i, 1)->setText(rate == -1 ? QString() : QString::number(rate));
    }
}

void TForm2::SpeedButton2Click() {
    const auto low = ParseInt32(Edit2->text());
    const auto high = ParseInt32(Edit3->text());
    const QString a = SatelliteACombo->currentText();
    const QString b = SatelliteBCombo->currentText();
    // The first field that is wrong is named and gets the focus.
    const struct {
        bool wrong;
        const char* message;
        QWidget* field;
    } checks[] = {
        {TypedPath(FileEdit->text()).isEmpty(), kNoFileMessage, FileEdit},
        {!low || *low <= 0, kLowMessage, Edit2},
        {!high || *high <= 0, kHighMessage, Edit3},
        {a.isEmpty(), kNoSatelliteAMessage, SatelliteACombo},
        {b.isEmpty(), kNoSatelliteBMessage, SatelliteBCombo},
        {a == b, kSameSatellitesMessage, SatelliteBCombo},
    };
    for (const auto& check : checks) {
        if (!check.wrong) continue;
        prompts_.tell(check.message, rivo::dialogs::kAttentionTitle, rivo::Icon::Warning);
        check.field->setFocus(Qt::OtherFocusReason);
        return;
    }
    accept();
}

void TForm2::SpeedButton1Click() { reject(); }

rivo::TOpenParams TForm2::OpenParams() const {
    rivo::TOpenParams params;
    params.FileName = QFile::encodeName(TypedPath(FileEdit->text())).toStdString();
    params.LnbLow = ParseInt32(Edit2->text()).value_or(0);
    params.LnbHigh = ParseInt32(Edit3->text()).value_or(0);
    for (int i = 0; i < 16; ++i)
        params.SymbolRates[static_cast<size_t>(i)] =
            ParseInt32(RateGrid->item(i, 1)->text()).value_or(0);
    params.SatelliteA = SatelliteACombo->currentText().toStdString();
    params.SatelliteB = SatelliteBCombo->currentText().toStdString();
    return params;
}
