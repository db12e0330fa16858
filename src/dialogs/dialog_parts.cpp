// The parts the dialogs share: captioned boxes, the Ok/Annulla buttons, fixed-size
// dialogs, the Windows-1252 validator and conversions, and the image file filter.
#include "dialogs/dialog_parts.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "channels/cp1252.h"
#include "channels/user_prompts.h"
#include "dialogs/qt_text.h"

namespace rivo::dialogs {

QValidator::State Cp1252Validator::validate(QString& input, int& /*position*/) const {
    if (rivo::Utf8ToCp1252(input.toStdString())) return Acceptable;
    return keepUnstorable_ ? Intermediate : Invalid;
}

QString UnstorableCharacters(const QString& text) {
    QString found;
    for (const char32_t c : text.toUcs4()) {
        const QString character = QString::fromUcs4(&c, 1);
        if (!rivo::Utf8ToCp1252(character.toStdString()) && !found.contains(character))
            found += character;
    }
    return found;
}

QString FromCell(const std::string& bytes) {
    return QString::fromStdString(rivo::Cp1252ToUtf8(bytes));
}

std::string ToCell(const QString& text) {
    if (const auto bytes = rivo::Utf8ToCp1252(text.toStdString())) return *bytes;
    // Characters the list cannot store are left out (the dialog said so): their UTF-8
    // bytes would read as other characters.
    QString storable;
    for (const char32_t c : text.toUcs4()) {
        const QString character = QString::fromUcs4(&c, 1);
        if (rivo::Utf8ToCp1252(character.toStdString())) storable += character;
    }
    return rivo::Utf8ToCp1252(storable.toStdString()).value_or(std::string());
}

void AddCaptioned(QGridLayout& grid, int row, int column, const QString& caption, QWidget* box,
                  int boxColumns) {
    auto* label = new QLabel(caption, grid.parentWidget());
    label->setBuddy(box);
    grid.addWidget(label, row, column);
    grid.addWidget(box, row, column + 1, 1, boxColumns);
}

void AddCaptionedLines(QGridLayout& grid, int firstRow, int perLine,
                       std::initializer_list<std::pair<QString, QWidget*>> boxes) {
    int index = 0;
    for (const auto& [caption, box] : boxes) {
        AddCaptioned(grid, firstRow + index / perLine, 2 * (index % perLine), caption, box);
        ++index;
    }
}

OkCancel AddOkCancel(QHBoxLayout& row, ButtonsAt where) {
    OkCancel buttons;
    buttons.ok = new QPushButton(QTr("Ok"), row.parentWidget());
    buttons.cancel = new QPushButton(QTr("Annulla"), row.parentWidget());
    row.addStretch(1);
    row.addWidget(buttons.ok);
    row.addWidget(buttons.cancel);
    if (where == ButtonsAt::Centre) row.addStretch(1);
    return buttons;
}

OkCancel LayOutOverOkCancel(QDialog& dialog, QWidget* body, int bodyStretch) {
    auto* top = new QVBoxLayout(&dialog);
    top->addWidget(body, bodyStretch);
    auto* row = new QHBoxLayout;
    top->addLayout(row);
    const OkCancel buttons = AddOkCancel(*row, ButtonsAt::Right);
    buttons.ok->setDefault(true);
    return buttons;
}

QDialogButtonBox* OkCancelButtonBox(QDialog& dialog) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setText(QTr("Ok"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QTr("Annulla"));
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    return buttons;
}

void MakeFixedSizeDialog(QDialog& dialog) {
    dialog.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    dialog.setModal(true);
}

QTabWidget* MakePages(QDialog& dialog, std::initializer_list<std::pair<QWidget*, QString>> pages) {
    auto* tabs = new QTabWidget(&dialog);
    tabs->setObjectName("pages");
    for (const auto& [page, title] : pages) tabs->addTab(page, title);
    return tabs;
}

bool ConfirmBadNumbers(QWidget* parent, rivo::UserPrompts* prompts,
                       const std::vector<rivo::BadNumberBox>& bad) {
    if (bad.empty()) return true;
    const std::string question = rivo::BadNumbersQuestion(bad);
    const QString title = QGuiApplication::applicationDisplayName();
    if (prompts)
        return prompts->askDiscarding(question, title.toStdString(), rivo::Icon::Warning,
                                      rivo::Buttons::YesNo) == rivo::Answer::Yes;
    QMessageBox box(QMessageBox::Warning, title, QString::fromStdString(question),
                    QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void ReportError(QWidget* parent, rivo::UserPrompts* prompts, const std::string& message) {
    const QString title = QGuiApplication::applicationDisplayName();
    if (prompts) {
        prompts->tell(message, title.toStdString(), rivo::Icon::Error);
        return;
    }
    QMessageBox::critical(parent, title, QString::fromStdString(message));
}

QString ImageFileFilter() {
    // The patterns are not the translator's business: only the names around them are.
    return QTr("File Bin (%1);;File Dat (%2);;File RCU (%3);;Tutti i files (%4)")
        .arg(QStringLiteral("*.Bin *.bin *.BIN"), QStringLiteral("*.Dat *.dat *.DAT"),
             QStringLiteral("*.Rcu *.rcu *.RCU"), QStringLiteral("*"));
}

}  // namespace rivo::dialogs
