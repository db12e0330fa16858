#include "shell/accessible_names.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>

#include "dialogs/qt_text.h"
#include "shell/main_window.h"
#include "shell/page_view.h"

namespace {

// A caption as read: no mnemonic marker, no closing colon, on one line.
QString Spoken(QString text) {
    text.remove(QRegularExpression(QStringLiteral("&(?!&)")));
    text.replace(QStringLiteral("&&"), QStringLiteral("&"));
    text = text.section(QLatin1Char('\n'), 0, 0).trimmed();
    if (text.endsWith(QLatin1Char(':'))) text.chop(1);
    return text.trimmed();
}

// The label that names widget: its buddy label, or its row's label in a form.
QString OwnCaptionOf(const QWidget& widget) {
    const QWidget* window = widget.window();
    for (const QLabel* label : window->findChildren<QLabel*>())
        if (label->buddy() == &widget && !label->text().isEmpty()) return Spoken(label->text());
    const QWidget* parent = widget.parentWidget();
    if (!parent) return QString();
    // A form's row, the widget its field or one of a row of controls making the field.
    auto* field = const_cast<QWidget*>(&widget);
    for (QFormLayout* form : parent->findChildren<QFormLayout*>()) {
        if (const auto* label = qobject_cast<QLabel*>(form->labelForField(field)))
            return Spoken(label->text());
        for (int row = 0; row < form->rowCount(); ++row) {
            QLayoutItem* item = form->itemAt(row, QFormLayout::FieldRole);
            QLayoutItem* caption = form->itemAt(row, QFormLayout::LabelRole);
            if (!item || !item->layout() || item->layout()->indexOf(field) < 0 || !caption)
                continue;
            if (const auto* label = qobject_cast<QLabel*>(caption->widget()))
                return Spoken(label->text());
        }
    }
    return QString();
}

// Its own caption, or that of the row of controls it stands in (a path and its
// "Sfoglia" button under one caption).
QString CaptionOf(const QWidget& widget) {
    if (QString own = OwnCaptionOf(widget); !own.isEmpty()) return own;
    const QWidget* parent = widget.parentWidget();
    return parent && !parent->isWindow() ? OwnCaptionOf(*parent) : QString();
}

// The title of the group box or tab page widget stands in.
QString PlaceOf(const QWidget& widget) {
    for (const QWidget* parent = widget.parentWidget(); parent; parent = parent->parentWidget()) {
        if (const auto* group = qobject_cast<const QGroupBox*>(parent);
            group && !group->title().isEmpty())
            return Spoken(group->title());
        if (const auto* tabs = qobject_cast<const QTabWidget*>(parent)) {
            for (int i = 0; i < tabs->count(); ++i)
                if (tabs->widget(i)->isAncestorOf(&widget) && !tabs->tabText(i).isEmpty())
                    return Spoken(tabs->tabText(i));
        }
        if (parent->isWindow()) break;
    }
    return QString();
}

}  // namespace

AccessibleNames::AccessibleNames(MainWindow& window) : QObject(&window) {
    nameAll(window);
    qApp->installEventFilter(this);
    // A page's tables, named after what they hold; the page is gone over as a whole,
    // since it is made while the window is shown.
    connect(&window, &MainWindow::activePageShown, this, [](PageView* view) {
        if (!view) return;
        view->channelTable->setAccessibleName(QTr("Canali"));
        view->transponderTable->setAccessibleName(QTr("Transponder"));
        for (int list = 0; list < rivo::fav::Lists; ++list)
            if (QTableView* table = view->favouriteTables[static_cast<size_t>(list)])
                table->setAccessibleName(QTr("Lista %1").arg(list + 1));
        if (view->configTable) view->configTable->setAccessibleName(QTr("Nomi delle liste"));
        nameAll(*view);
    });
}

QString AccessibleNames::nameFor(const QWidget& widget) {
    if (const auto* tool = qobject_cast<const QToolButton*>(&widget)) {
        // A tool bar's button says what its command does, as its hint does.
        if (const QAction* action = tool->defaultAction()) {
            if (!action->statusTip().isEmpty()) return action->statusTip();
            if (!action->text().isEmpty()) return Spoken(action->text());
        }
        if (!tool->toolTip().isEmpty()) return Spoken(tool->toolTip());
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(&widget);
        button && !button->text().isEmpty())
        return Spoken(button->text());
    if (QString caption = CaptionOf(widget); !caption.isEmpty()) return caption;
    if (!widget.toolTip().isEmpty()) return Spoken(widget.toolTip());
    if (!widget.statusTip().isEmpty()) return Spoken(widget.statusTip());
    if (const auto* edit = qobject_cast<const QLineEdit*>(&widget);
        edit && !edit->placeholderText().isEmpty())
        return Spoken(edit->placeholderText());
    // A combo box's own editor is read out with the combo box.
    if (const auto* combo = qobject_cast<const QComboBox*>(widget.parentWidget());
        combo && combo->lineEdit() == &widget)
        return nameFor(*combo);
    if (QString place = PlaceOf(widget); !place.isEmpty()) return place;
    // A dialog's list: the dialog's title says what it lists.
    if (qobject_cast<const QAbstractItemView*>(&widget)) return widget.window()->windowTitle();
    return QString();
}

void AccessibleNames::name(QWidget& widget) {
    // A tool bar's button is read with its hint, not with its command's menu text (the
    // buttons are reached with the mouse or with their keys, never with Tab).
    if (const auto* tool = qobject_cast<const QToolButton*>(&widget)) {
        if (const QAction* action = tool->defaultAction();
            action && !action->statusTip().isEmpty()) {
            widget.setAccessibleName(action->statusTip());
            return;
        }
    }
    // A widget whose keys go to another (a tab widget's tab bar) is never read out.
    if (widget.focusPolicy() == Qt::NoFocus || widget.focusProxy()) return;
    if (!widget.accessibleName().isEmpty()) return;
    // What Qt reads out by itself (a button's text, a buddy label) follows the widget
    // when its text changes: only a widget it leaves unnamed is named here.
    if (QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&widget))
        if (!accessible->text(QAccessible::Name).isEmpty()) return;
    if (const QString found = nameFor(widget); !found.isEmpty()) widget.setAccessibleName(found);
}

void AccessibleNames::nameAll(QWidget& window) {
    name(window);
    for (QWidget* child : window.findChildren<QWidget*>()) name(*child);
}

bool AccessibleNames::eventFilter(QObject* watched, QEvent* event) {
    // A widget is polished once, before it is first shown; some are polished while
    // their window is still being built, before their captions exist, so a window is
    // gone over again whenever it is shown.
    if (!watched->isWidgetType()) return false;
    auto* widget = static_cast<QWidget*>(watched);
    if (event->type() == QEvent::Polish)
        name(*widget);
    else if (event->type() == QEvent::Show && widget->isWindow())
        nameAll(*widget);
    return false;
}
