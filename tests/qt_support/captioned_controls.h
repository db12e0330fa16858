// Finding a dialog's controls the way its user does: by the caption that names them,
// not through the dialog's own accessors. A test that reaches a box through the
// dialog's list of boxes cannot see a box shown under the wrong caption; one that
// starts from the caption can.
#pragma once

#include <QString>

class QCheckBox;
class QLineEdit;
class QWidget;

// The box the caption `caption` labels in `within`: the buddy of the one label whose
// text is caption (a mnemonic '&' and a trailing ':' left out), provided that box also
// stands right of the label in the label's grid. nullptr when no label or more than
// one has that text, when it has no buddy, or when the buddy stands elsewhere.
QWidget* BoxCaptioned(const QWidget& within, const QString& caption);

// For a test that cannot go on without the control: the line edit BoxCaptioned finds,
// and the one check box of `within` whose own text is caption (a mnemonic '&' left
// out). When there is none of that kind, or more than one check box, they throw
// std::runtime_error naming the caption, which the test runner reports as the test's
// failure.
QLineEdit* EditCaptioned(const QWidget& within, const QString& caption);
QCheckBox* CheckCaptioned(const QWidget& within, const QString& caption);

// What a box shows: a line edit's text, a combo box's current item.
QString ShownText(const QWidget* box);

// Puts text into a box as a user would leave it: a line edit's text replaced, a combo
// box's item of that text chosen. Returns false when the box cannot take it.
bool EnterText(QWidget* box, const QString& text);
