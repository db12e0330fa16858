#include "shell/help_controller.h"

#include <QAction>
#include <QDialog>
#include <QFile>
#include <QKeySequence>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "dialogs/qt_text.h"
#include "shell/main_window.h"
#include "text/language.h"

HelpController::HelpController(MainWindow& window) : QObject(&window), window_(window) {
    // The manual's pages are compiled into the shell library, which the linker would
    // otherwise leave out of the program.
    Q_INIT_RESOURCE(manual);
    manualAction = new QAction(QTr("&Manuale"), this);
    manualAction->setObjectName(QStringLiteral("manualAction"));
    manualAction->setShortcut(QKeySequence(QKeySequence::HelpContents));
    manualAction->setShortcutContext(Qt::ApplicationShortcut);
    manualAction->setStatusTip(QTr("Mostra il manuale del programma"));
    window.addAction(manualAction);
    connect(manualAction, &QAction::triggered, this, &HelpController::showManual);
}

QString HelpController::manualHtml() {
    QFile file(rivo::CurrentLanguage() == rivo::Language::English
                   ? QStringLiteral(":/manual/manual.en.html")
                   : QStringLiteral(":/manual/manual.it.html"));
    if (!file.open(QIODevice::ReadOnly)) return QString();
    return QString::fromUtf8(file.readAll());
}

void HelpController::showManual() {
    if (!manualWindow_) {
        // A window of its own, not modal: the manual stays open while the user works.
        auto* dialog = new QDialog(&window_, Qt::Window);
        dialog->setObjectName(QStringLiteral("manualWindow"));
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->setWindowTitle(QTr("Manuale di Rivo800 Editor"));
        manualBrowser = new QTextBrowser(dialog);
        manualBrowser->setObjectName(QStringLiteral("manualBrowser"));
        manualBrowser->setAccessibleName(QTr("Manuale"));
        manualBrowser->setOpenExternalLinks(true);
        manualBrowser->setHtml(manualHtml());
        auto* layout = new QVBoxLayout(dialog);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(manualBrowser);
        dialog->resize(640, 560);
        manualWindow_ = dialog;
    }
    manualWindow_->show();
    manualWindow_->raise();
    manualWindow_->activateWindow();
}
