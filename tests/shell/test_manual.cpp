// The manual on F1: it opens in a window of its own, in the editor's language, and
// names every item of the menus, so that it cannot fall behind the program unnoticed.
// Fixture builders first: their field names clash with Qt's keyword macros.
// clang-format off
#include "shell_support.h"
// clang-format on

#include <QAction>
#include <QDialog>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTextBrowser>
#include <QTextDocument>
#include <memory>

#include "shell/help_controller.h"
#include "shell/main_window.h"
#include "shell/recent_files_controller.h"
#include "test_registry.h"
#include "text/language.h"

using namespace rivo;

namespace {

// A menu item's text as the manual writes it: no mnemonic, no trailing dots, and
// undo's and redo's step name left out.
QString ItemName(QString text) {
    text.remove(QRegularExpression(QStringLiteral("&(?!&)")));
    text = text.section(QStringLiteral(": "), 0, 0);
    if (text.endsWith(QStringLiteral("..."))) text.chop(3);
    return text;
}

// Every item of the menu bar and the channel context menu, submenus included; the
// menus whose items are files or list names made when shown are named, not walked.
void CollectItems(QMenu* menu, const MainWindow& window, QStringList& names) {
    for (QAction* action : menu->actions()) {
        if (action->isSeparator()) continue;
        names << ItemName(action->text());
        QMenu* sub = action->menu();
        if (!sub || sub == window.recentFiles->recentMenu ||
            sub == window.recentFiles->recentWithParamsMenu || sub == window.addToListMenu ||
            sub == window.removeFromListMenu)
            continue;
        CollectItems(sub, window, names);
    }
}

QStringList MenuItemNames(MainWindow& window) {
    QStringList names;
    for (QAction* action : window.menuBar()->actions()) {
        names << ItemName(action->text());
        if (action->menu()) CollectItems(action->menu(), window, names);
    }
    CollectItems(window.channelMenu, window, names);
    names << ItemName(window.recentFiles->clearAction->text());
    names.removeDuplicates();
    return names;
}

}  // namespace

class ManualTest : public QObject {
    Q_OBJECT

    // What the manual window shows after F1, as plain text.
    static QString manualAfterF1(MainWindow& window) {
        window.show();
        if (!QTest::qWaitForWindowActive(&window)) return QStringLiteral("window not active");
        QTest::keyClick(&window, Qt::Key_F1);
        QDialog* manual = window.help->manualWindow();
        if (!manual || !manual->isVisible()) return QStringLiteral("no manual window");
        return window.help->manualBrowser->toPlainText();
    }

    static void everyItemNamed(MainWindow& window, const QString& manual) {
        const QStringList names = MenuItemNames(window);
        QVERIFY(names.size() > 40);
        QStringList missing;
        for (const QString& name : names)
            if (!manual.contains(name)) missing << name;
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QStringLiteral(" | "))));
    }

private slots:
    void cleanup() { UseLanguage(Language::Italian, {}, nullptr); }

    void italianManualNamesEveryMenuItem() {
        MainWindow window;
        QCOMPARE(window.help->manualAction->shortcut(), QKeySequence(Qt::Key_F1));
        const QString manual = manualAfterF1(window);
        QVERIFY2(manual.startsWith(QStringLiteral("Manuale di Rivo800 Editor")),
                 qPrintable(manual.left(80)));
        QCOMPARE(window.help->manualWindow()->windowTitle(),
                 QStringLiteral("Manuale di Rivo800 Editor"));
        QVERIFY(manual.contains(QStringLiteral("Valori predefiniti")));
        everyItemNamed(window, manual);
    }

    void englishManualNamesEveryMenuItem() {
        std::string error;
        QVERIFY2(UseLanguage(Language::English, {RIVO_CATALOGUE_DIR}, &error), error.c_str());
        MainWindow window;
        const QString manual = manualAfterF1(window);
        QVERIFY2(manual.startsWith(QStringLiteral("Rivo800 Editor manual")),
                 qPrintable(manual.left(80)));
        QVERIFY(manual.contains(QStringLiteral("Default values")));
        everyItemNamed(window, manual);
    }
};

static const int kRegistered = RegisterTest([]() -> QObject* { return new ManualTest; });

#include "test_manual.moc"
