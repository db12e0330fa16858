// The parts every dialog of the editor is built from: captions that label and focus a
// box, the "Ok"/"Annulla" pair (as a row of buttons or a button box), the conversion
// of box texts to and from the Windows-1252 bytes of the cells, the error box that ends
// a command, and the file chooser's filter for images. The modal-or-test-hook step is
// in modal_hook.h.
#pragma once

#include <QString>
#include <QValidator>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "editing/dialog_numbers.h"
#include "text/translate.h"

class QDialog;
class QDialogButtonBox;
class QGridLayout;
class QHBoxLayout;
class QPushButton;
class QTabWidget;
class QWidget;

namespace rivo {
class UserPrompts;
}

namespace rivo::dialogs {

// The title of the warnings the dialogs show: marked for the catalogue, shown through Tr.
inline constexpr const char* kAttentionTitle = rivo::TrNoop("Attenzione");

// Cells hold Windows-1252 bytes: a character that has no byte there cannot be typed.
// With keepUnstorable it stays in the box instead, for the dialog to say that Ok will
// leave it out: a character refused without a word looks like a fault of the keyboard.
class Cp1252Validator : public QValidator {
public:
    explicit Cp1252Validator(QObject* parent = nullptr, bool keepUnstorable = false)
        : QValidator(parent), keepUnstorable_(keepUnstorable) {}
    State validate(QString& input, int& position) const override;

private:
    bool keepUnstorable_;
};

// The characters of text that have no Windows-1252 byte, each once, in their order.
QString UnstorableCharacters(const QString& text);

// A cell's bytes as text for a box.
QString FromCell(const std::string& bytes);

// A box's text as a cell's bytes. The validator keeps typed text convertible; text set
// by the program that has no Windows-1252 form is kept as its UTF-8 bytes.
std::string ToCell(const QString& text);

// Puts `caption` at (row, column) of grid and box right of it over boxColumns columns;
// the caption's mnemonic focuses the box. The caption belongs to the grid's widget, so
// it takes no place in the Tab order: that stays the order in which the boxes were made.
void AddCaptioned(QGridLayout& grid, int row, int column, const QString& caption, QWidget* box,
                  int boxColumns = 1);

// Lays captioned boxes out in lines of perLine caption/box pairs, line after line from
// firstRow, pairs from the left.
void AddCaptionedLines(QGridLayout& grid, int firstRow, int perLine,
                       std::initializer_list<std::pair<QString, QWidget*>> boxes);

struct OkCancel {
    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;
};

// Where the "Ok"/"Annulla" pair stands in its row.
enum class ButtonsAt { Right, Centre };

// Adds "Ok" then "Annulla" to row (that order is their Tab order), pushed right or
// centred by stretches. The buttons belong to the row's widget, or to the widget the
// row later joins.
OkCancel AddOkCancel(QHBoxLayout& row, ButtonsAt where);

// Gives dialog its whole layout: body over a row with "Ok" and "Annulla" on the right,
// "Ok" the default button (Enter presses it, Escape is Annulla). bodyStretch is the
// body's share of height the dialog is given beyond its size hint.
OkCancel LayOutOverOkCancel(QDialog& dialog, QWidget* body, int bodyStretch);

// A standard "Ok"/"Annulla" button box whose Annulla rejects dialog; the caller
// connects accepted to what Ok does.
QDialogButtonBox* OkCancelButtonBox(QDialog& dialog);

// A fixed-size dialog: no resize border, only a title and the close box; modal.
void MakeFixedSizeDialog(QDialog& dialog);

// The dialog's pages as the tabs, in that order, of a tab widget named "pages"
// that belongs to dialog; the caller lays it out.
QTabWidget* MakePages(QDialog& dialog, std::initializer_list<std::pair<QWidget*, QString>> pages);

// A conversion error ends the command with the program's own error box: through
// prompts when given, otherwise a message box over parent.
void ReportError(QWidget* parent, rivo::UserPrompts* prompts, const std::string& message);

// Ok of a dialog with number boxes: true when every box holds what its field stores, or
// when the user, asked with the boxes named (No by default), confirms all the same.
// The question goes through prompts when given, otherwise a message box over parent.
bool ConfirmBadNumbers(QWidget* parent, rivo::UserPrompts* prompts,
                       const std::vector<rivo::BadNumberBox>& bad);

// The file chooser's filter for images and channel lists, in the file dialog's
// notation. Each extension in its usual, lower- and upper-case spelling: the chooser
// compares names case-sensitively on this platform.
QString ImageFileFilter();

}  // namespace rivo::dialogs
