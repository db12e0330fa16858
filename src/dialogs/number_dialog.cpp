#include "dialogs/number_dialog.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <charconv>

namespace {

// The number typed, or -1 when the text is not a whole decimal number.
int TypedNumber(const QString& text) {
    const QByteArray bytes = text.toLatin1();
    const char* first = bytes.constData();
    const char* last = first + bytes.size();
    if (first != last && *first == '+') ++first;
    int value = 0;
    const auto [end, error] = std::from_chars(first, last, value);
    if (first == last || error != std::errc() || end != last || text.size() != bytes.size())
        return -1;
    return value;
}

}  // namespace

TForm4::TForm4(rivo::UserPrompts& prompts, QWidget* parent) : QDialog(parent), prompts_(prompts) {
    setWindowTitle(QStringLiteral("Vai al canale..."));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint |
                   Qt::WindowTitleHint);
    setModal(true);

    GroupBox1 = new QGroupBox(QStringLiteral("Canale da visualizzare"));
    Edit1 = new QLineEdit;
    auto* box = new QVBoxLayout(GroupBox1);
    box->addWidget(Edit1);

    SpeedButton2 = new QPushButton(QStringLiteral("Ok"));
    SpeedButton1 = new QPushButton(QStringLiteral("Annulla"));
    SpeedButton2->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(SpeedButton2);
    buttons->addWidget(SpeedButton1);

    auto* top = new QVBoxLayout(this);
    top->addWidget(GroupBox1);
    top->addLayout(buttons);
    setFixedWidth(260);

    connect(SpeedButton2, &QPushButton::clicked, this, &TForm4::SpeedButton2Click);
    connect(SpeedButton1, &QPushButton::clicked, this, &TForm4::SpeedButton1Click);
}

int TForm4::value() const { return TypedNumber(Edit1->text()); }

void TForm4::SpeedButton2Click() {
    const int number = value();
    if (number > 0 && number < Limit) {
        accept();
        return;
    }
    prompts_.tell("Inserire un canale corretto", "Errore", rivo::Icon::Error);
}

void TForm4::SpeedButton1Click() { reject(); }
