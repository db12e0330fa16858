// The window in English: with the English catalogue loaded, the tool bar's hints, the
// menus, the page's tabs and the table headers speak English, and no menu item keeps
// an Italian text the catalogue translates. Every other window test runs in Italian.
// Fixture builders first: their field names clash with Qt's keyword macros.
#include "shell_support.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <map>
#include <memory>

#include "shell/compare_window.h"
#include "shell/main_window.h"
#include "shell/page_view.h"
#include "shell/channel_filter_bar.h"
#include "test_registry.h"
#include "text/language.h"

using namespace rivo;
using namespace rivo::testsupport;

namespace {

// Every action of the menu bar, by its menu's and its own object or text, with its text
// and status tip.
std::map<QString, QString> MenuTexts(MainWindow& window) {
    std::map<QString, QString> texts;
    for (QAction* menuAction : window.menuBar()->actions()) {
        QMenu* menu = menuAction->menu();
        if (!menu) continue;
        texts[menu->objectName()] = menu->title();
        int position = 0;
        for (QAction* action : menu->actions()) {
            ++position;
            if (action->isSeparator() || action->menu()) continue;
            texts[menu->objectName() + QLatin1Char('/') + QString::number(position)] =
                action->text() + QLatin1Char('|') + action->statusTip();
        }
    }
    return texts;
}

}  // namespace

class EnglishWindowTest : public QObject {
    Q_OBJECT
    std::unique_ptr<ShellFolder> folder;
    QString splitPath;

    static void useEnglish() {
        std::string error;
        QVERIFY2(UseLanguage(Language::English, {RIVO_CATALOGUE_DIR}, &error), error.c_str());
    }

private slots:
    void initTestCase() {
        folder = std::make_unique<ShellFolder>();
        splitPath = folder->write("Lista.Bin", BuildChannelImage(MakeChannelImageSpec(ListLayout::Split, 40, 6)));
    }
    void cleanup() { UseLanguage(Language::Italian, {}, nullptr); }

    void toolBarAndMenusSpeakEnglish() {
        useEnglish();
        MainWindow window;
        QCOMPARE(window.openAction->statusTip(), QStringLiteral("Open a file"));
        QVERIFY2(window.openAction->toolTip().startsWith(QStringLiteral("Open a file (")),
                 qPrintable(window.openAction->toolTip()));
        QCOMPARE(window.saveAction->statusTip(), QStringLiteral("Save the current file"));
        QCOMPARE(window.deleteChannelsAction->statusTip(), QStringLiteral("Delete the selected channels"));
        QCOMPARE(window.editMenu->title(), QStringLiteral("&Edit"));
        QCOMPARE(window.importOrderAction->text(), QStringLiteral("I&mport order from file..."));
        QCOMPARE(window.viewMenu->title(), QStringLiteral("&View"));
        QCOMPARE(window.languageMenu->title(), QStringLiteral("&Language"));
        QCOMPARE(window.findDuplicatesAction->text(), QStringLiteral("Find &duplicates..."));
        // The language names are each written in their own language.
        QCOMPARE(window.italianLanguageAction->text(), QStringLiteral("&Italiano"));
        QVERIFY(window.englishLanguageAction->isChecked());
    }

    // Built once in Italian and once in English, no menu item may come out the same in
    // both unless the English catalogue says it is the same word ("&File").
    void noMenuItemStaysItalian() {
        std::map<QString, QString> italian;
        {
            MainWindow window;
            italian = MenuTexts(window);
        }
        useEnglish();
        MainWindow window;
        const std::map<QString, QString> english = MenuTexts(window);
        QCOMPARE(english.size(), italian.size());
        const QStringList sameInBoth{QStringLiteral("&File|"), QStringLiteral("&File"),
                                     QStringLiteral("&Italiano|"), QStringLiteral("&English|")};
        for (const auto& [where, text] : english) {
            if (sameInBoth.contains(text)) continue;
            QVERIFY2(text != italian.at(where), qPrintable(where + QStringLiteral(": ") + text));
        }
    }

    void pageTabsAndHeadersSpeakEnglish() {
        useEnglish();
        ScriptedPrompts prompts;
        MainWindow window;
        PrepareWindow(window, prompts, *folder);
        QVERIFY(OpenThroughDialog(window, splitPath));
        PageView* view = window.pageView(0);
        QCOMPARE(view->tabs->tabText(0), QStringLiteral("Channels"));
        QCOMPARE(view->tabs->tabText(2), QStringLiteral("Favourites"));
        QAbstractItemModel* channels = view->channelTable->model();
        QStringList titles;
        for (int c = 0; c < channels->columnCount(); ++c)
            titles << channels->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
        const QString shown = titles.join(QLatin1Char(','));
        QVERIFY2(titles.contains(QStringLiteral("Channel name")), qPrintable(shown));
        for (const char* italian : {"Nome canale", "Trasponder", "Preferenza"})
            QVERIFY2(!titles.contains(QString::fromUtf8(italian)), qPrintable(shown));
        // Only the headers change: the cells are the list's data, as CSV and the tool give them.
        QCOMPARE(view->page().channelGrid.cell(0, ch::Name), std::string("Nome canale"));
        // The filter bar and the commands on a selection.
        QCOMPARE(view->filterBar->countLabel->text(),
                 QStringLiteral("Showing %1 of %1").arg(view->page().channelCount()));
        QCOMPARE(view->filterBar->stateCombo->itemText(4), QStringLiteral("Scrambled"));
        QCOMPARE(window.renameAction->text(), QStringLiteral("Rena&me..."));
        QCOMPARE(window.addToListMenu->title(), QStringLiteral("A&dd to list"));
    }

    void compareWindowSpeaksEnglish() {
        useEnglish();
        ScriptedPrompts prompts;
        MainWindow window;
        PrepareWindow(window, prompts, *folder);
        QVERIFY(OpenThroughDialog(window, splitPath));
        QVERIFY(OpenThroughDialog(window, folder->write("Copia.Bin", BuildChannelImage(MakeChannelImageSpec(
                                                                       ListLayout::Split, 40, 6)))));
        QCOMPARE(window.compareAction->text(), QStringLiteral("Co&mpare with..."));
        QCOMPARE(window.compareBackupAction->text(), QStringLiteral("Compare with the &backup"));
        QStringList offered;
        window.chooseCompareSource = [&](const QStringList& choices) {
            offered = choices;
            return 0;
        };
        window.compareAction->trigger();
        QCOMPARE(offered.last(), QStringLiteral("A file..."));
        CompareWindow* compare = window.compareWindow();
        QVERIFY(compare);
        QStringList tabs;
        for (int i = 0; i < compare->tabs->count(); ++i) tabs << compare->tabs->tabText(i);
        QCOMPARE(tabs, (QStringList{QStringLiteral("New (0)"), QStringLiteral("Removed (0)"),
                                    QStringLiteral("Moved (0)"), QStringLiteral("Renamed (0)"),
                                    QStringLiteral("Retuned (0)"), QStringLiteral("Favourites changed (0)")}));
        QCOMPARE(compare->takeRemovedButton->text(), QStringLiteral("Take back the removed"));
        QCOMPARE(compare->summary->text(), QStringLiteral("40 channels unchanged."));
    }
};

static const int kRegistered = RegisterTest([]() -> QObject* { return new EnglishWindowTest; });

#include "test_english.moc"
