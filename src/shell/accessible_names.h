// Names for screen readers. Qt names a button by its text and a field by its buddy
// label; what has neither (icon-only tool buttons, tables, a field captioned by a
// group box or only hinted by a tip) would be read out as "button" or "table". Every
// widget that takes the keys gets a name when it is first shown, in every window and
// dialog of the application, from what a sighted user reads next to it.
#pragma once

#include <QObject>
#include <QString>

class MainWindow;
class QWidget;

class AccessibleNames : public QObject {
    Q_OBJECT
public:
    // Names what window holds already, and watches the whole application from now on;
    // window owns the watcher.
    explicit AccessibleNames(MainWindow& window);

    // The name widget would be read out with, when it has none of its own: the hint of
    // a tool button's command, its caption's text, its tip, its placeholder, the title
    // of the group or tab it stands in. "" when nothing names it.
    static QString nameFor(const QWidget& widget);
    // Gives widget that name when it takes the keys and nothing names it yet.
    static void name(QWidget& widget);
    // The same for window and every widget in it (those made before the watching began).
    static void nameAll(QWidget& window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
