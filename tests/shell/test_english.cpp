// The window in English: with the English catalogue loaded, the tool bar's hints, the
// menus, the page's tabs and the table headers speak English, and no menu item keeps
// an Italian text the catalogue translates. Every other window test runs in Italian.
// Fixture builders first: their field names clash with Qt's keyword macros.
// clang-format off
#include "shell_support.h"
// clang-format on

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <map>
#include <memory>

#include "shell/channel_filter_bar.h"
#include "shell/compare_window.h"
#include "shell/main_window.h"
#include "shell/page_view.h"
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
        splitPath = folder->write(
            "Lista.Bin", BuildChannelImage(MakeChannelImageSpec(ListLayout::Split, 40, 6)));
    }
    void cleanup() { UseLanguage(Language::Italian, {}, nullptr); }

    void toolBarAndMenusSpeakEnglish() {
        useEnglish();
        MainWindow window;
        QCOMPARE(window.openAction->statusTip(), QStringLiteral("Open a file"));
        QVERIFY2(window.openAction->toolTip().startsWith(QStringLiteral("Open a file (")),
                 qPrintable(window.openAction->toolTip()));
        QCOMPARE(window.saveAction->statusTip(), QStringLiteral("Save the current file"));
        QCOMPARE(window.deleteChannelsAction->statusTip(),
                 QStringLiteral("Delete the selected channels"));
        QCOMPARE(window.editMenu->title(), QStringLiteral("&Edit"));
        QCOMPARE(window.importOrderAction->text(), QStringLiteral("Import &order from file..."));
        QCOMPARE(window.viewMenu->title(), QStringLiteral("&View"));
        QCOMPARE(window.languageMenu->title(), QStringLiteral("&Language"));
        QCOMPARE(window.findDuplicatesAction->text(), QStringLiteral("Find dup&licates..."));
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
        QCOMPARE(window.renameAction->text(), QStringLiteral("Re&name..."));
        QCOMPARE(window.addToListMenu->title(), QStringLiteral("Add &to list"));
    }

    // The favourites page: the version in English, and each list's column titles whole
    // beside its scroll bar; the transponder table shows a frequency with six decimals
    // whole.
    void favouritesAndTranspondersShowWhole() {
        useEnglish();
        ScriptedPrompts prompts;
        MainWindow window;
        PrepareWindow(window, prompts, *folder);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        ChannelImageSpec spec = MakeChannelImageSpec(ListLayout::Split, 40, 6);
        spec.versionMajor = 2;
        spec.versionMinor = 3;
        spec.transponders[0].offsetHz = 1032714;
        spec.transponders[0].flags |= 1;  // 22 kHz on: the high oscillator, five digits in MHz
        QVERIFY(OpenThroughDialog(window, folder->write("Versione.Bin", BuildChannelImage(spec))));
        PageView* view = window.pageView(0);
        QCOMPARE(view->versionLabel->text(), QStringLiteral("Version: 2.3"));
        QCOMPARE(view->page().versionText,
                 std::string("Versione: 2.3"));  // the data stays as stored

        view->tabs->setCurrentIndex(2);
        QApplication::processEvents();
        for (QTableView* list : view->favouriteTables) {
            QVERIFY(list->verticalScrollBar()->isVisible());
            int sum = 0;
            for (int c = 0; c < list->model()->columnCount(); ++c) {
                const QString title =
                    list->model()->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
                QVERIFY2(list->columnWidth(c) >= list->horizontalHeader()->sectionSizeHint(c),
                         qPrintable(title));
                sum += list->columnWidth(c);
            }
            QVERIFY2(sum <= list->viewport()->width(),
                     qPrintable(QStringLiteral("%1 > %2").arg(sum).arg(list->viewport()->width())));
        }
        QCOMPARE(view->favouriteTables[0]
                     ->model()
                     ->headerData(2, Qt::Horizontal, Qt::DisplayRole)
                     .toString(),
                 QStringLiteral("Channel"));

        view->tabs->setCurrentIndex(1);
        QApplication::processEvents();
        QTableView* transponders = view->transponderTable;
        const QString frequency = transponders->model()->index(0, tp::Frequency).data().toString();
        QVERIFY2(frequency.endsWith(QStringLiteral(",032714")) && frequency.size() == 12,
                 qPrintable(frequency));
        // The text and the delegate's margins (the style's focus margin and one pixel, each side).
        const int margin = transponders->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr,
                                                              transponders) +
                           1;
        QVERIFY2(transponders->fontMetrics().horizontalAdvance(frequency) + 2 * margin <=
                     transponders->columnWidth(tp::Frequency),
                 qPrintable(QString::number(transponders->columnWidth(tp::Frequency))));
    }

    void compareWindowSpeaksEnglish() {
        useEnglish();
        ScriptedPrompts prompts;
        MainWindow window;
        PrepareWindow(window, prompts, *folder);
        QVERIFY(OpenThroughDialog(window, splitPath));
        QVERIFY(OpenThroughDialog(window,
                                  folder->write("Copia.Bin", BuildChannelImage(MakeChannelImageSpec(
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
                                    QStringLiteral("Retuned (0)"),
                                    QStringLiteral("Favourites changed (0)")}));
        QCOMPARE(compare->takeRemovedButton->text(), QStringLiteral("Take back the removed"));
        QCOMPARE(compare->summary->text(), QStringLiteral("40 channels unchanged."));
    }
};

static const int kRegistered = RegisterTest([]() -> QObject* { return new EnglishWindowTest; });

#include "test_english.moc"
