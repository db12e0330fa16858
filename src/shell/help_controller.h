// Aiuto > "Manuale" (F1): the user manual, in the language the editor speaks, in a
// window of its own beside the editor. The manual is built into the program, so it is
// there wherever the program is, and it is the same text as docs/manual.
#pragma once

#include <QDialog>
#include <QObject>
#include <QPointer>
#include <QString>

class MainWindow;
class QAction;
class QTextBrowser;

class HelpController : public QObject {
    Q_OBJECT
public:
    explicit HelpController(MainWindow& window);

    QAction* manualAction = nullptr;  // "Manuale" (F1)

    // The manual's HTML in the language of this run.
    static QString manualHtml();
    // The manual's window, once shown.
    QDialog* manualWindow() const { return manualWindow_; }
    QTextBrowser* manualBrowser = nullptr;

public slots:
    void showManual();

private:
    MainWindow& window_;
    QPointer<QDialog> manualWindow_;
};
