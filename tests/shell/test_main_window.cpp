// The main window driven through its real widgets: opening through the open dialog,
// the page's tables, the tool buttons' enable rules page by page and tab by tab,
// closing, leaving, saving and reopening.
// Fixture builders first: their field names clash with Qt's keyword macros.

// clang-format off
#include "channel_fixtures.h"
#include "image_builder.h"
#include "packed_encoder.h"
#include "shell_support.h"
#include <sys/stat.h>
// clang-format on

#include <QAbstractItemModelTester>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include "dialogs/open_dialog.h"
#include "dialogs/transponder_dialog.h"
#include "shell/main_window.h"
#include "shell/page_view.h"
#include "shell/qt_prompts.h"
#include "test_registry.h"

using namespace rivo;
using namespace rivo::testsupport;

namespace {

// Enabled states in tool bar order: Apri, Salva, Copia, Incolla, Cancella, Sposta canali,
// Vai, Inserisce, Inverte, Elimina tp, Ottimizza, Su, Giu, Sposta sel., Chiudi, Esci.
using States = std::vector<bool>;

States Enabled(const MainWindow& window) {
    States states;
    for (QAction* action : window.toolActions()) states.push_back(action->isEnabled());
    return states;
}

States ForTab(int tab, bool save, bool paste) {
    switch (tab) {
        case 0:
            return {true,  save,  true,  paste, true,  true,  true, true,
                    false, false, false, false, false, false, true, true};
        case 1:
            return {true, save, false, false, false, false, false, false,
                    true, true, true,  false, false, false, true,  true};
        // "Sposta i selezionati" has no command and stays disabled.
        default:
            return {true,  save,  false, false, false, false, false, false,
                    false, false, false, true,  true,  false, true,  true};
    }
}

const States kNoPage = {true,  false, false, false, false, false, false, false,
                        false, false, false, false, false, false, false, true};

QColor Colour(std::uint32_t rgb) {
    return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

QString Shown(QAbstractItemModel* model, int gridRow, int column) {
    return model->data(model->index(gridRow - 1, column)).toString();
}

ChannelImageSpec SplitSpec() {
    ChannelImageSpec spec = MakeChannelImageSpec(ListLayout::Split, 1200, 30);
    spec.channels[1].name = "Rai\xE8 Uno";  // è in Windows-1252
    spec.listNames[0] = "Sport";
    return spec;
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ShellFolder> folder;
    QString splitPath, singlePath;

    std::unique_ptr<MainWindow> makeWindow(ScriptedPrompts& prompts) {
        auto window = std::make_unique<MainWindow>();
        PrepareWindow(*window, prompts, *folder);
        return window;
    }

private slots:
    void initTestCase() {
        folder = std::make_unique<ShellFolder>();
        splitPath = folder->write("Lista.Bin", BuildChannelImage(SplitSpec()));
        singlePath = folder->write(
            "Single.Bin", BuildChannelImage(MakeChannelImageSpec(ListLayout::Single, 60, 12)));
    }

    void startUp() {
        ScriptedPrompts prompts;
        auto window = makeWindow(prompts);
        QCOMPARE(window->windowTitle(), QStringLiteral("Rivo800 Editor - Beta 1"));
        QCOMPARE(window->size(), QSize(722, 509));
        QCOMPARE(window->toolBarArea(window->toolBar), Qt::BottomToolBarArea);
        QCOMPARE(window->toolBar->height(), 46);
        QCOMPARE(window->toolBar->iconSize(), QSize(32, 32));
        QVERIFY(!window->statusBar()->isSizeGripEnabled());
        const QStringList hints{"Apri un file",
                                "Salva il file corrente",
                                "Copia i canali selezionati",
                                "Incolla",
                                "Cancella i canali selezionati",
                                "Sposta i canali selezionati",
                                "Vai al canale",
                                "Inserisce un canale vuoto",
                                "Inverte i satelliti",
                                "Elimina transponder",
                                "Ottimizza la lista transponder",
                                "Sposta in su i selezionati",
                                "Sposta in giu i selezionati",
                                "Sposta i selezionati",
                                "Chiudi la patch corrente",
                                "Esci"};
        // The tool bar holds the buttons in this order, separated in five groups.
        QStringList shown;
        int separators = 0;
        for (QAction* action : window->toolBar->actions()) {
            if (action->isSeparator()) {
                ++separators;
                continue;
            }
            shown << action->statusTip();
            QVERIFY2(action->toolTip().startsWith(action->statusTip()),
                     qPrintable(action->toolTip()));
            QVERIFY(!action->icon().isNull());
            QCOMPARE(action->icon().pixmap(32, 32).size(), QSize(32, 32));
            auto* button = qobject_cast<QToolButton*>(window->toolBar->widgetForAction(action));
            QVERIFY(button);
            QCOMPARE(button->size(), QSize(40, 38));
        }
        QCOMPARE(shown, hints);
        QCOMPARE(separators, 5);
        QCOMPARE(Enabled(*window), kNoPage);
        QCOMPARE(window->openAction->shortcut(), QKeySequence(QStringLiteral("Ctrl+O")));
        QCOMPARE(window->saveAction->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")));
        QCOMPARE(window->closePageAction->shortcut(), QKeySequence(QStringLiteral("Ctrl+W")));
        QCOMPARE(window->exitAction->shortcut(), QKeySequence(QStringLiteral("Ctrl+Q")));
        QCOMPARE(window->deleteChannelsAction->shortcut(), QKeySequence(Qt::Key_Delete));
        QVERIFY(!window->progressBar->isVisible());
        // Elimina, Sposta, a line, Proprietà; then a line and the commands on a selection.
        QCOMPARE(window->channelMenu->actions().size(), 8);
        QCOMPARE(window->channelMenu->actions()[5], window->renameAction);
        QCOMPARE(window->menuDeleteAction->text(), QStringLiteral("&Elimina"));
        QCOMPARE(window->menuMoveAction->text(), QStringLiteral("&Sposta"));
        QVERIFY(window->channelMenu->actions()[2]->isSeparator());
        QCOMPARE(window->channelPropertiesAction->text(), QStringLiteral("&Proprietà"));
    }

    void gaugeStaysAtTheRightEdge() {
        ScriptedPrompts prompts;
        auto window = makeWindow(prompts);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        for (const int width : {722, 500, 1000}) {
            window->resize(width, 509);
            QCoreApplication::processEvents();
            const QRect gauge = window->progressBar->geometry();
            QCOMPARE(gauge.size(), QSize(150, 13));
            QCOMPARE(gauge.top(), 3);
            QCOMPARE(window->statusBar()->width() - (gauge.x() + gauge.width()), 3);
        }
    }

    // A file already shown by a page: opening it again offers that page (Yes: no new
    // page, that page comes to the front); No opens a second page. The same file under
    // another name (a symbolic link) is the same file.
    void openingAnOpenFileOffersItsPage() {
        ScriptedPrompts prompts;
        auto window = makeWindow(prompts);
        QVERIFY(OpenThroughDialog(*window, splitPath));
        QVERIFY(OpenThroughDialog(*window, singlePath));
        QCOMPARE(window->pageTabs->currentIndex(), 1);
        const QString link = folder->path("Collegamento.Bin");
        QFile::remove(link);
        QVERIFY(QFile::link(splitPath, link));
        for (const QString& path : {splitPath, link}) {
            prompts.clear();
            prompts.answers.push_back(rivo::Answer::Yes);
            window->pageTabs->setCurrentIndex(1);
            QVERIFY(!OpenThroughDialog(*window, path));
            QCOMPARE(window->pageCount(), 2);
            QCOMPARE(window->pageTabs->currentIndex(), 0);
            QCOMPARE(prompts.asked.size(), size_t(1));
            QCOMPARE(prompts.asked[0].text, std::string("Il file Lista.Bin è già aperto. Mostrare "
                                                        "la pagina già aperta invece di aprirlo di "
                                                        "nuovo?"));
            QCOMPARE(prompts.asked[0].buttons, rivo::Buttons::YesNo);
        }
        prompts.clear();
        prompts.answers.push_back(rivo::Answer::No);
        QVERIFY(OpenThroughDialog(*window, splitPath));
        QCOMPARE(window->pageCount(), 3);
        QCOMPARE(window->pageTabs->currentIndex(), 2);
        QCOMPARE(prompts.unexpected, 0);
        // Another file asks nothing.
        prompts.clear();
        const QString other = folder->write("Altra.Bin", BuildChannelImage(SplitSpec()));
        QVERIFY(OpenThroughDialog(*window, other));
        QVERIFY(prompts.asked.empty());
    }

    // "Ripristina la versione salvata" reads the page's file again as a fresh page in the
    // same tab, with the page's own open parameters; a modified page asks first, No by
    // default, and "No" keeps everything.
    void revertReadsTheFileAgainInPlace() {
        ScriptedPrompts prompts;
        auto window = makeWindow(prompts);
        QVERIFY(OpenThroughDialog(*window, splitPath));
        QVERIFY(OpenThroughDialog(*window, singlePath));
        window->pageTabs->setCurrentIndex(0);
        const std::string original = window->pageView(0)->page().channelGrid.cell(1, ch::Name);
        const auto rates = window->pageView(0)->page().symbolRates;
        window->pageView(0)->page().channelGrid.setCell(1, ch::Name, "Cambiato");
        window->pageView(0)->page().modified = true;
        QVERIFY(window->revertAction->isEnabled());

        prompts.clear();
        prompts.answers.push_back(rivo::Answer::No);
        window->revertAction->trigger();
        QCOMPARE(prompts.asked.size(), size_t(1));
        QVERIFY(prompts.asked[0].discarding);
        QCOMPARE(prompts.asked[0].text,
                 std::string("Rileggere Lista.Bin dal disco?\nLe modifiche non salvate e la "
                             "cronologia di annullamento andranno perse."));
        QCOMPARE(window->pageView(0)->page().channelGrid.cell(1, ch::Name),
                 std::string("Cambiato"));

        prompts.clear();
        prompts.answers.push_back(rivo::Answer::Yes);
        PageView* before = window->pageView(0);
        window->revertAction->trigger();
        QCOMPARE(prompts.asked.size(), size_t(1));  // no "already open" question
        QCOMPARE(window->pageCount(), 2);
        PageView* fresh = window->pageView(0);
        QVERIFY(fresh != before);
        QCOMPARE(window->pageTabs->currentIndex(), 0);
        QCOMPARE(window->pageTabs->widget(0), static_cast<QWidget*>(fresh));
        QCOMPARE(window->pageTabs->tabText(0), QStringLiteral("Lista.Bin"));
        QCOMPARE(window->pageTabs->tabText(1), QStringLiteral("Single.Bin"));
        QCOMPARE(fresh->page().channelGrid.cell(1, ch::Name), original);
        QVERIFY(!fresh->page().modified);
        QCOMPARE(fresh->page().symbolRates, rates);
        QVERIFY(!window->undoAction->isEnabled());

        // An unmodified page is read again without a question.
        prompts.clear();
        window->pageTabs->setCurrentIndex(1);
        window->revertAction->trigger();
        QVERIFY(prompts.asked.empty());
        QCOMPARE(window->pageCount(), 2);
        QCOMPARE(window->pageTabs->tabText(1), QStringLiteral("Single.Bin"));
        QCOMPARE(window->pageTabs->currentIndex(), 1);
    }

    void openShowsThePage() {
        ScriptedPrompts prompts;
        auto window = makeWindow(prompts);
        QVERIFY(OpenThroughDialog(*window, splitPath));
        QCOMPARE(prompts.asked.size(), size_t(0));
        QCOMPARE(window->pageCount(), 1);
        QCOMPARE(window->pageTabs->tabText(0), QStringLiteral("Lista.Bin"));
        PageView* view = window->pageView(0);
        ListPage& page = view->page();
        QVERIFY(window->currentImage);
        QCOMPARE(page.image.get(), window->currentImage.get());
        QCOMPARE(page.symbolRates, FixtureRates());  // the "Fixture" set of Sr.Ini
        QCOMPARE(view->tabs->tabPosition(), QTabWidget::West);
        QCOMPARE(view->tabs->count(), 3);
        QCOMPARE(view->tabs->tabText(0), QStringLiteral("Canali"));
        QCOMPARE(view->tabs->tabText(1), QStringLiteral("Transponder"));
        QCOMPARE(view->tabs->tabText(2), QStringLiteral("Preferiti"));
        QVERIFY(view->tabs->isTabVisible(2));

        // Channel table: every cell as the page holds it, names as Windows-1252 text.
        QTableView* channels = view->channelTable;
        QAbstractItemModel* model = channels->model();
        QCOMPARE(model->rowCount(), page.channelCount());
        QCOMPARE(model->columnCount(), 11);
        QCOMPARE(Shown(model, 2, ch::Name), QStringLiteral("Raiè Uno"));
        for (const int row : {1, 7, 500, page.channelCount()})
            for (int c = 0; c < ch::Count; ++c)
                if (c != ch::Name)
                    QCOMPARE(Shown(model, row, c),
                             QString::fromStdString(page.channelGrid.cell(row, c)));
        // The designed widths, widened where a title would be clipped; the name column
        // takes the width the window has beyond the others.
        const int widths[] = {40, 200, 60, 50, 50, 50, 50, 50, 50, 50, 50};
        for (int c = 0; c < 11; ++c) {
            const int wanted =
                std::max(widths[c], channels->horizontalHeader()->sectionSizeHint(c));
            if (c == ch::Name)
                QVERIFY(channels->columnWidth(c) >= wanted);
            else
                QCOMPARE(channels->columnWidth(c), wanted);
            QCOMPARE(model->headerData(c, Qt::Horizontal).toString(),
                     QString::fromUtf8(ChannelColumnTitles()[static_cast<size_t>(c)]));
            const auto align =
                model->data(model->index(0, c), Qt::TextAlignmentRole).value<Qt::Alignment>();
            QCOMPARE(bool(align & Qt::AlignHCenter), c >= 2);
        }
        QCOMPARE(channels->rowHeight(0), 18);
        QCOMPARE(channels->selectionBehavior(), QAbstractItemView::SelectRows);
        // Ctrl+click and Shift+click select any set of rows.
        QCOMPARE(channels->selectionMode(), QAbstractItemView::ExtendedSelection);
        QCOMPARE(channels->editTriggers(), QAbstractItemView::NoEditTriggers);
        // Every row in its page colour; the fixture has grey, radio and TV rows.
        QSet<QRgb> seen;
        for (int row = 1; row <= page.channelCount(); ++row) {
            const QColor shown =
                model->data(model->index(row - 1, 3), Qt::BackgroundRole).value<QColor>();
            QCOMPARE(shown, Colour(page.channelGrid.colour(row)));
            seen.insert(shown.rgb());
        }
        QVERIFY(seen.contains(Colour(kColourGrey).rgb()));
        QVERIFY(seen.contains(Colour(kColourChannel).rgb()));
        QVERIFY(seen.contains(Colour(kColourRadio).rgb()));

        // Transponder table.
        QTableView* transponders = view->transponderTable;
        QAbstractItemModel* tmodel = transponders->model();
        QCOMPARE(tmodel->rowCount(), page.transponderCount());
        const int twidths[] = {40, 80, 60, 50, 50, 50, 50, 50, 50, 50};
        for (int c = 0; c < 10; ++c) {
            // "Frequenza" widens beyond its design width for a saved frequency's decimals.
            if (c == tp::Frequency)
                QVERIFY(transponders->columnWidth(c) >=
                        std::max(twidths[c], transponders->horizontalHeader()->sectionSizeHint(c)));
            else
                QCOMPARE(
                    transponders->columnWidth(c),
                    std::max(twidths[c], transponders->horizontalHeader()->sectionSizeHint(c)));
            QCOMPARE(tmodel->headerData(c, Qt::Horizontal).toString(),
                     QString::fromUtf8(TransponderColumnTitles()[static_cast<size_t>(c)]));
        }
        for (int row = 1; row <= page.transponderCount(); ++row) {
            QCOMPARE(Shown(tmodel, row, tp::Frequency),
                     QString::fromStdString(page.transponderGrid.cell(row, tp::Frequency)));
            QCOMPARE(tmodel->data(tmodel->index(row - 1, 0), Qt::BackgroundRole).value<QColor>(),
                     Colour(page.transponderGrid.colour(row)));
        }
        QCOMPARE(transponders->rowHeight(0), 18);
        QCOMPARE(transponders->selectionMode(), QAbstractItemView::ContiguousSelection);

        // "Preferiti": panel, list names, version, selected list, header strip, 8 lists.
        QCOMPARE(view->configBox->title(), QStringLiteral("Configurazione"));
        QVERIFY(view->configBox->parentWidget()->width() >= 180);
        QCOMPARE(view->configTable->geometry(), QRect(10, 20, 160, 180));
        QCOMPARE(view->configTable->columnWidth(0), 40);
        QCOMPARE(view->configTable->columnWidth(1), 100);
        QAbstractItemModel* config = view->configTable->model();
        QCOMPARE(config->rowCount(), 8);
        QCOMPARE(Shown(config, 1, 1), QStringLiteral("Sport"));
        QCOMPARE(Shown(config, 8, 0), QStringLiteral("8"));
        QVERIFY(config->flags(config->index(0, 1)) & Qt::ItemIsEditable);
        QVERIFY(!(config->flags(config->index(0, 0)) & Qt::ItemIsEditable));
        QCOMPARE(view->versionLabel->text(), QString::fromStdString(page.versionText));
        QVERIFY(view->versionLabel->text().startsWith(QStringLiteral("Versione: ")));
        QCOMPARE(view->selectedListLabel->text(), QStringLiteral("Lista selezionata: "));
        QCOMPARE(view->versionLabel->pos(), QPoint(10, 220));
        QCOMPARE(view->selectedListLabel->pos(), QPoint(10, 250));
        QCOMPARE(view->headerStrip->count(), 8);
        QVERIFY(view->headerStrip->font().bold());
        for (int k = 0; k < 8; ++k) {
            QCOMPARE(view->headerStrip->model()->headerData(k, Qt::Horizontal).toString(),
                     QStringLiteral("Lista %1").arg(k + 1));
            QCOMPARE(view->headerStrip->sectionSize(k), 260);
            QTableView* list = view->favouriteTables[static_cast<size_t>(k)];
            QCOMPARE(list->width(), 260);
            QCOMPARE(list->frameShape(), QFrame::NoFrame);
            QCOMPARE(list->model()->rowCount(), 128);
            QCOMPARE(list->rowHeight(0), 18);
            QCOMPARE(list->columnWidth(1), 160);
            for (int s : {1, 64, 128}) {
                QCOMPARE(Shown(list->model(), s, fav::Channel),
                         QString::fromStdString(
                             page.favouriteGrids[static_cast<size_t>(k)].cell(s, fav::Channel)));
                QCOMPARE(list->model()
                             ->data(list->model()->index(s - 1, 0), Qt::BackgroundRole)
                             .value<QColor>(),
                         Colour(page.favouriteGrids[static_cast<size_t>(k)].colour(s)));
            }
        }
        // The lists stand one beside the other, list 1 leftmost.
        for (int k = 1; k < 8; ++k)
            QVERIFY(view->favouriteTables[static_cast<size_t>(k)]->x() >
                    view->favouriteTables[static_cast<size_t>(k - 1)]->x());
    }

    void modelsPassTheModelTester() {
        ScriptedPrompts prompts;
        auto window = makeWindow(prompts);
        QVERIFY(OpenThroughDialog(*window, splitPath));
        PageView* view = window->pageView(0);
        std::vector<std::unique_ptr<QAbstractItemModelTester>> testers;
        std::vector<QAbstractItemModel*> models{view->channelModel(), view->transponderModel(),
                                                view->configModel()};
        for (int k = 0; k < 8; ++k) models.push_back(view->favouriteModel(k));
        for (QAbstractItemModel* model : models)
            testers.push_back(std::make_unique<QAbstractItemModelTester>(
                model, QAbstractItemModelTester::FailureReportingMode::QtTest));
        // Edits and a refresh go through the same checks.
        QVERIFY(
            view->configModel()->setData(view->configModel()->index(2, 1), QStringLiteral("Film")));
        view->page().channelGrid.setCell(3, ch::Name, "X");
        view->refresh();
        QCOMPARE(Shown(view->channelModel(), 3, ch::Name), QStringLiteral("X"));
    }

    void singleLayoutHidesFavourites() {
        ScriptedPrompts prompts;
        auto window = makeWindow(prompts);
        QVERIFY(OpenThroughDialog(*window, singlePath));
        PageView* view = window->pageView(0);
        QCOMPARE(view->page().layout, ListLayout::Single);
        QVERIFY(!view->tabs->isTabVisible(2));
        QVERIFY(view->tabs->isTabVisible(1));
        QCOMPARE(view->channelModel()->rowCount(), 60);
    }

    void enableRulesByTab() {
        ScriptedPrompts prompts;
        auto window = makeWindow(prompts);
        QVERIFY(OpenThroughDialog(*window, splitPath));
        PageView* view = window->pageView(0);
        QCOMPARE(Enabled(*window), ForTab(0, false, false));
        view->tabs->setCurrentIndex(1);
        QCOMPARE(Enabled(*window), ForTab(1, false, false));
        view->tabs->setCurrentIndex(2);
        QCOMPARE(Enabled(*window), ForTab(2, false, false));
        // With an empty copy buffer "Incolla" keeps its state on "Canali".
        view->tabs->setCurrentIndex(0);
        QCOMPARE(Enabled(*window), ForTab(0, false, false));
        // A copy enables it; other tabs disable it; back on "Canali" it returns.
        window->copyChannelsAction->trigger();
        QCOMPARE(Enabled(*window), ForTab(0, false, true));
        view->tabs->setCurrentIndex(1);
        QCOMPARE(Enabled(*window), ForTab(1, false, false));
        view->tabs->setCurrentIndex(0);
        QCOMPARE(Enabled(*window), ForTab(0, false, true));
        // A second page opens on its "Canali" tab with paste still possible.
        QVERIFY(OpenThroughDialog(*window, singlePath));
        QCOMPARE(window->pageTabs->currentIndex(), 1);
        QCOMPARE(Enabled(*window), ForTab(0, false, true));
    }

    void saveFollowsTheActivePage() {
        ScriptedPrompts prompts;
        auto window = makeWindow(prompts);
        QVERIFY(OpenThroughDialog(*window, splitPath));
        QVERIFY(OpenThroughDialog(*window, splitPath));  // the same file twice: two pages
        QCOMPARE(window->pageCount(), 2);
        PageView* second = window->pageView(1);
        QVERIFY(&second->page() != &window->pageView(0)->page());
        QVERIFY(second->page().imageId != window->pageView(0)->page().imageId);
        second->tabs->setCurrentIndex(2);
        // Typing a list name marks the page modified: Save and the "*" follow.
        QVERIFY(second->configModel()->setData(second->configModel()->index(1, 1),
                                               QStringLiteral("News")));
        QVERIFY(second->page().modified);
        QVERIFY(!window->pageView(0)->page().modified);
        QCOMPARE(window->pageTabs->tabText(1), QStringLiteral("Lista.Bin *"));
        QCOMPARE(window->pageTabs->tabText(0), QStringLiteral("Lista.Bin"));
        QCOMPARE(Enabled(*window), ForTab(2, true, false));
        window->pageTabs->setCurrentIndex(0);
        QCOMPARE(Enabled(*window), ForTab(0, false, false));
        window->pageTabs->setCurrentIndex(1);
        QCOMPARE(Enabled(*window), ForTab(2, true, false));
    }

    void listNameEditChecksLength() {
        ScriptedPrompts prompts;
        auto window = makeWindow(prompts);
        QVERIFY(OpenThroughDialog(*window, splitPath));
        PageView* view = window->pageView(0);
        QAbstractItemModel* config = view->configModel();
        QVERIFY(config->setData(config->index(3, 1), QStringLiteral("Documenti")));  // 9
        QCOMPARE(prompts.asked.size(), size_t(1));
        QCOMPARE(prompts.asked[0].text, std::string("Sono possibili al massimo 8 caratteri"));
        QCOMPARE(prompts.asked[0].title, std::string("Attenzione"));
        QCOMPARE(view->page().configGrid.cell(4, 1), std::string("Document"));
        QCOMPARE(Shown(config, 4, 1), QStringLiteral("Document"));
        // Eight characters pass; accented letters are one byte each.
        QVERIFY(config->setData(config->index(4, 1), QStringLiteral("Città 12")));
        QCOMPARE(prompts.asked.size(), size_t(1));
        QCOMPARE(view->page().configGrid.cell(5, 1), std::string("Citt\xE0 12"));
        // A character Windows-1252 cannot hold is refused, the cell keeps its name.
        QVERIFY(!config->setData(config->index(4, 1), QStringLiteral("Ω")));
        QCOMPARE(view->page().configGrid.cell(5, 1), std::string("Citt\xE0 12"));
        // The selected list label stays as it was until a list gets the focus.
        QCOMPARE(view->selectedListLabel->text(), QStringLiteral("Lista selezionata: "));
        QFocusEvent in(QEvent::FocusIn, Qt::MouseFocusReason);
        QApplication::sendEvent(view->favouriteTables[4], &in);
        QCOMPARE(view->page().selectedFavourite, 4);
        QCOMPARE(view->selectedListLabel->text(), QStringLiteral("Lista selezionata: Città 12"));
    }

    void closePage() {
        ScriptedPrompts prompts;
        auto window = makeWindow(prompts);
        QVERIFY(OpenThroughDialog(*window, splitPath));
        QVERIFY(OpenThroughDialog(*window, singlePath));
        window->pageView(1)->tabs->setCurrentIndex(1);
        const States before = Enabled(*window);
        // No: the page and every button stay.
        prompts.answers = {Answer::No};
        window->closePageAction->trigger();
        QCOMPARE(prompts.asked.back().text, std::string("Vuoi chiudere il file Single.Bin?"));
        QCOMPARE(prompts.asked.back().title, std::string("Attenzione"));
        QVERIFY(prompts.asked.back().buttons == Buttons::YesNo);
        QVERIFY(!prompts.asked.back().discarding);  // nothing to lose: an ordinary question
        QCOMPARE(window->pageCount(), 2);
        QCOMPARE(Enabled(*window), before);
        // Yes: the page goes; the remaining page's buttons show.
        prompts.answers = {Answer::Yes};
        window->closePageAction->trigger();
        QCOMPARE(window->pageCount(), 1);
        QCOMPARE(window->pageTabs->count(), 1);
        QCOMPARE(window->pageTabs->tabText(0), QStringLiteral("Lista.Bin"));
        QCOMPARE(window->pageViews[0], window->pageView(0));
        // A modified page says its changes will be lost.
        window->pageView(0)->page().modified = true;
        prompts.answers = {Answer::Yes};
        window->closePageAction->trigger();
        QCOMPARE(prompts.asked.back().text,
                 std::string(
                     "Vuoi chiudere il file Lista.Bin?\nLe modifiche non salvate andranno perse."));
        QVERIFY(prompts.asked.back().discarding);  // "No" is the default answer
        QCOMPARE(window->pageCount(), 0);
        QCOMPARE(Enabled(*window), kNoPage);
        QCOMPARE(prompts.unexpected, 0);
    }

    void leavingAsksAboutModifiedPages() {
        ScriptedPrompts prompts;
        auto window = makeWindow(prompts);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QVERIFY(OpenThroughDialog(*window, splitPath));
        QVERIFY(OpenThroughDialog(*window, singlePath));
        window->pageView(1)->page().modified = true;
        prompts.clear();
        prompts.answers = {Answer::No};
        window->exitAction->trigger();
        QCOMPARE(prompts.asked.size(), size_t(1));
        QVERIFY(prompts.asked[0].text.find("Single.Bin") != std::string::npos);
        QVERIFY(prompts.asked[0].text.find("Lista.Bin") == std::string::npos);
        QVERIFY(prompts.asked[0].discarding);
        QVERIFY(window->isVisible());
        prompts.answers = {Answer::Yes};
        QVERIFY(window->close());
        QVERIFY(!window->isVisible());
        // Without modified pages nothing is asked.
        auto other = makeWindow(prompts);
        other->show();
        QVERIFY(OpenThroughDialog(*other, singlePath));
        prompts.clear();
        other->exitAction->trigger();
        QVERIFY(prompts.asked.empty());
        QVERIFY(!other->isVisible());
    }

    void openFailures() {
        ScriptedPrompts prompts;
        auto window = makeWindow(prompts);
        // Annulla changes nothing, also with a readable image typed in.
        window->runOpenDialog = [&](OpenDialog& dialog) {
            dialog.fileEdit->setText(splitPath);
            dialog.cancelButton->click();
            return dialog.result() == QDialog::Accepted;
        };
        window->openAction->trigger();
        QCOMPARE(window->pageCount(), 0);
        QVERIFY(prompts.asked.empty());
        PrepareWindow(*window, prompts, *folder);
        // Only a file that was read and is no image is "Formato file sconosciuto"; a file
        // that cannot be read says why, without blocking on a FIFO or reading a huge file.
        const QString junk =
            folder->write("Junk.Bin", Bytes(1000, 0x5A));  // too short for an image
        const QString dir = folder->path("Folder.Bin");
        QVERIFY(QDir().mkpath(dir));
        const QString fifo = folder->path("Pipe.Bin");
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        const QString huge = folder->write("Huge.Bin", {});
        QVERIFY(QFile::resize(huge, qint64{3} << 30));
        struct Case {
            QString path;
            std::string message;  // part of the text shown
        };
        const Case cases[] = {
            {junk, "Formato file sconosciuto"},
            {folder->path("Missing.Bin"), "No such file or directory"},
            {dir, "Is a directory"},
            {fifo, "non è un file normale"},
            {huge, "è troppo grande (3221225472 byte"},
        };
        for (const Case& c : cases) {
            prompts.clear();
            QVERIFY2(!OpenThroughDialog(*window, c.path), qPrintable(c.path));
            QCOMPARE(prompts.asked.size(), size_t(1));
            QVERIFY2(prompts.asked[0].text.find(c.message) != std::string::npos,
                     prompts.asked[0].text.c_str());
            if (c.path != junk)
                QVERIFY(prompts.asked[0].text.find(QFile::encodeName(c.path).toStdString()) !=
                        std::string::npos);
            QCOMPARE(prompts.asked[0].title, std::string("Attenzione"));
            QVERIFY(prompts.asked[0].icon == Icon::Error);
            QCOMPARE(window->pageCount(), 0);
        }
        // A main-code image is recognised but not edited.
        MainCodeSpec spec;
        spec.modules = {{"boot", {{"boot", PatternBytes(300, 1)}}},
                        {"code", {{"code", PatternBytes(500, 2)}}}};
        const QString firm = folder->write("Firm.Bin", BuildMainCodeImage(spec).bytes);
        QVERIFY(!OpenThroughDialog(*window, firm));
        QCOMPARE(prompts.asked.back().text,
                 std::string("Non è possibile editare un firm come lista canali..."));
        QVERIFY(prompts.asked.back().icon == Icon::Warning);
        QVERIFY(window->currentImage);
        QCOMPARE(window->currentImage->imageType(), 2);
        QCOMPARE(window->pageCount(), 0);
        QCOMPARE(Enabled(*window), kNoPage);
    }

    void imageOfAnotherSizeOpensWithAWarning() {
        ScriptedPrompts prompts;
        auto window = makeWindow(prompts);
        const Bytes full = BuildChannelImage(MakeChannelImageSpec(ListLayout::Single, 60, 12));
        struct Case {
            std::size_t size;
            std::string part;
        };
        const Case cases[] = {
            {458752, "parte mancante"}, {524289, "non saranno salvati"}, {524288, ""}};
        int pages = 0;
        for (const Case& c : cases) {
            Bytes bytes = full;
            bytes.resize(c.size);
            const QString path = folder->write("Cut" + std::to_string(c.size) + ".Bin", bytes);
            prompts.clear();
            QVERIFY(OpenThroughDialog(*window, path));
            QCOMPARE(window->pageCount(), ++pages);
            if (c.part.empty()) {
                QVERIFY(prompts.asked.empty());
                continue;
            }
            QCOMPARE(prompts.asked.size(), size_t(1));
            const AskedQuestion& shown = prompts.asked[0];
            QCOMPARE(shown.title, std::string("Attenzione"));
            QVERIFY(shown.icon == Icon::Warning);
            QVERIFY2(
                shown.text.find("è lungo " + std::to_string(c.size) +
                                " byte, ma un'immagine flash ne ha 524288") != std::string::npos,
                shown.text.c_str());
            QVERIFY2(shown.text.find(c.part) != std::string::npos, shown.text.c_str());
        }
    }

    void damagedTableOpensWithItsListAndAnEntryCutAtItsSectorIsNotSaved() {
        ScriptedPrompts prompts;
        auto window = makeWindow(prompts);
        // Sector 1: a TPT module whose 536-byte entry, ending at the sector's end, is
        // declared 2000 bytes long.
        SlotSpec slot(ModuleSpec{
            .name = "TPT", .entries = {EntrySpec{.name = "TPT", .bytes = PatternBytes(536, 1)}}});
        slot.at = 64964;
        Bytes image = BuildFlashImage(
            {SectorSpec::Table(
                 {ModuleSpec{.name = "TCS",
                             .entries = {EntrySpec{.name = "TCS", .bytes = PatternBytes(60, 2)}}}}),
             SectorSpec::Table({slot})});
        image[65536 + 64964 + 32] = 0xD0;  // 2000, little-endian
        image[65536 + 64964 + 33] = 0x07;
        const QString path = folder->write("Damaged.Bin", image);
        QVERIFY(OpenThroughDialog(*window, path));
        QCOMPARE(window->pageCount(), 1);
        QCOMPARE(prompts.asked.size(), size_t(1));
        QCOMPARE(prompts.asked[0].title, std::string("Attenzione"));
        QVERIFY(prompts.asked[0].icon == Icon::Warning);
        QCOMPARE(prompts.asked[0].text,
                 std::string("La tabella dei moduli è danneggiata:\n- modulo \"TPT\" (settore 1), "
                             "voce \"TPT\": dichiarata "
                             "di 2000 byte, va oltre la fine del settore; letti 536 byte, il "
                             "salvataggio sarà rifiutato."));
        prompts.clear();
        QAbstractItemModel* config = window->pageView(0)->configModel();
        QVERIFY(config->setData(config->index(1, 1), QStringLiteral("Film")));
        QVERIFY(window->saveAction->isEnabled());
        const QString target = folder->path("DamagedSaved.Bin");
        window->chooseSaveFile = [&](const QString&) { return target; };
        window->saveAction->trigger();
        QCOMPARE(prompts.asked.size(), size_t(1));
        QVERIFY(prompts.asked[0].icon == Icon::Error);
        QVERIFY2(prompts.asked[0].text.find(
                     "Impossibile salvare: la tabella dei moduli è danneggiata e il salvataggio "
                     "perderebbe dei byte: modulo \"TPT\" (settore 1)") == 0,
                 prompts.asked[0].text.c_str());
        QVERIFY(!QFile::exists(target));
    }

    void tableBeyondWhatAModuleHoldsIsRefused() {
        ScriptedPrompts prompts;
        auto window = makeWindow(prompts);
        // "xTPT" is packed: its few kilobytes of matches decode to 100,000 bytes.
        PackedEncoder encoder;
        encoder.Literals({1, 2, 3, 4, 5, 6, 7, 8});
        for (int i = 0; i < 1562; ++i) encoder.Match(8, 64);
        const QString path = folder->write(
            "Bomb.Bin", BuildFlashImage({SectorSpec::Table({ModuleSpec{
                            .name = "xTPT",
                            .entries = {EntrySpec{.name = "xTPT", .bytes = encoder.Finish()}}}})}));
        QVERIFY(!OpenThroughDialog(*window, path));
        QCOMPARE(window->pageCount(), 0);
        QCOMPARE(prompts.asked.size(), size_t(1));
        QCOMPARE(prompts.asked[0].title, std::string("Attenzione"));
        QCOMPARE(prompts.asked[0].text,
                 std::string("La tabella del modulo \"xTPT\" supera 65468 byte, il massimo che un "
                             "modulo può contenere in "
                             "un settore: la lista non può essere aperta."));
    }

    void saveAndReopen() {
        ScriptedPrompts prompts;
        auto window = makeWindow(prompts);
        QVERIFY(OpenThroughDialog(*window, splitPath));
        PageView* view = window->pageView(0);
        QAbstractItemModel* config = view->configModel();
        QVERIFY(config->setData(config->index(6, 1), QStringLiteral("Musica")));
        QVERIFY(window->saveAction->isEnabled());
        // Cancelled: nothing changes.
        window->chooseSaveFile = [](const QString&) { return QString(); };
        window->saveAction->trigger();
        QVERIFY(view->page().modified);
        QVERIFY(window->saveAction->isEnabled());
        // Saved: flag, button and caption are clear again; the page shows the same.
        const ListPage before = [&] {
            ListPage copy;
            copy.channelGrid = view->page().channelGrid;
            copy.transponderGrid = view->page().transponderGrid;
            copy.favouriteGrids = view->page().favouriteGrids;
            copy.configGrid = view->page().configGrid;
            return copy;
        }();
        const QString target = folder->path("Saved.Dat");
        window->chooseSaveFile = [&](const QString&) { return target; };
        window->saveAction->trigger();
        QVERIFY(prompts.asked.empty());
        QVERIFY(!view->page().modified);
        QVERIFY(!window->saveAction->isEnabled());
        // The page is now the saved file: tab, tip and title name it.
        QCOMPARE(window->pageTabs->tabText(0), QStringLiteral("Saved.Dat"));
        QCOMPARE(window->pageTabs->tabToolTip(0), target);
        QCOMPARE(window->windowTitle(), QStringLiteral("Saved.Dat[*] - Rivo800 Editor - Beta 1"));
        QVERIFY(!window->isWindowModified());
        QVERIFY(!window->progressBar->isVisible());
        QVERIFY(QFile::exists(target));
        // Reopened: the new name is there and every other cell is unchanged.
        QVERIFY(OpenThroughDialog(*window, target));
        const ListPage& reopened = window->pageView(1)->page();
        QCOMPARE(reopened.configGrid.cell(7, 1), std::string("Musica"));
        QVERIFY(reopened.configGrid == before.configGrid);
        QVERIFY(reopened.channelGrid == before.channelGrid);
        QVERIFY(reopened.transponderGrid == before.transponderGrid);
        QVERIFY(reopened.favouriteGrids == before.favouriteGrids);
        QCOMPARE(window->pageTabs->tabText(1), QStringLiteral("Saved.Dat"));
    }

    // The save dialog's question about replacing a file, answered "Sì": the keys come
    // back to the channel table, so the next Ctrl+Z undoes the last edit.
    void focusComesBackAfterTheOverwriteQuestion() {
        ScriptedPrompts prompts;
        auto window = makeWindow(prompts);
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        QVERIFY(OpenThroughDialog(*window, splitPath));
        PageView* view = window->pageView(0);
        QAbstractItemModel* config = view->configModel();
        const std::string listName = view->page().configGrid.cell(7, 1);
        QVERIFY(config->setData(config->index(6, 1), QStringLiteral("Musica")));
        view->channelTable->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(view->channelTable));

        const QString target = folder->write("Esistente.Bin", BuildChannelImage(SplitSpec()));
        bool replaced = false;
        window->chooseSaveFile = [&](const QString& current) {
            QFileDialog dialog(window.get(), QStringLiteral("Salva"));
            dialog.setOption(QFileDialog::DontUseNativeDialog);
            MainWindow::configureSaveDialog(dialog, current);
            dialog.setDirectory(QFileInfo(target).absolutePath());
            dialog.selectFile(QFileInfo(target).fileName());
            QTimer::singleShot(0, &dialog, [&] {
                // The question comes up inside accept(): answer it once it shows.
                QTimer::singleShot(100, &dialog, [&] {
                    if (auto* question =
                            qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                        replaced = true;
                        question->button(QMessageBox::Yes)->click();
                    }
                });
                static_cast<QDialog&>(dialog).accept();  // as the "Salva" button does
            });
            if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
                return QString();
            return dialog.selectedFiles().first();
        };
        window->saveAction->trigger();
        QVERIFY(replaced);
        QVERIFY(!view->page().modified);
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(view->channelTable));
        QCOMPARE(QApplication::activeWindow(), static_cast<QWidget*>(window.get()));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(view->page().modified);
        QCOMPARE(view->page().configGrid.cell(7, 1), listName);
    }

    // A frequency the file cannot hold, saved with "Sì": the page shows what the file
    // holds and is clean; undo brings back what was typed, and the page is modified.
    void acceptedDifferencesShowWhatTheFileHolds() {
        ScriptedPrompts prompts;
        auto window = makeWindow(prompts);
        QVERIFY(OpenThroughDialog(*window, splitPath));
        PageView* view = window->pageView(0);
        QAbstractItemModel* transponders = view->transponderModel();
        int row = 0;
        for (int r = 1; r <= view->page().transponderCount() && !row; ++r)
            if (view->page().transponderGrid.colour(r) == kColourInUse) row = r;
        QVERIFY(row > 0);
        // 99999 MHz is 90249 MHz above the low band's 9750 MHz oscillator (89399 above
        // the high band's 10600): more hertz than the stored 32-bit offset holds. It
        // wraps to 9804,686784 MHz either way.
        view->tabs->setCurrentIndex(1);
        view->transponderTable->setCurrentIndex(transponders->index(row - 1, 0));
        TransponderDialog::setExecHook([](TransponderDialog& dialog) {
            dialog.frequencyBox()->setText(QStringLiteral("99999"));
            dialog.okButton()->click();
        });
        window->editTransponder();
        TransponderDialog::setExecHook(nullptr);
        QCOMPARE(view->page().transponderGrid.cell(row, tp::Frequency), std::string("99999"));
        const QString target = folder->path("Lossy.Bin");
        window->chooseSaveFile = [&](const QString&) { return target; };
        prompts.answers = {Answer::Yes};  // "Sì" to the list of differences
        window->saveAction->trigger();
        QCOMPARE(prompts.asked.size(), size_t(1));
        QVERIFY2(prompts.asked[0].text.find("\"99999\" \xE2\x86\x92 \"9804,686784\"") !=
                     std::string::npos,
                 prompts.asked[0].text.c_str());

        QCOMPARE(view->page().transponderGrid.cell(row, tp::Frequency), std::string("9804,686784"));
        QCOMPARE(transponders->data(transponders->index(row - 1, tp::Frequency)).toString(),
                 QStringLiteral("9804,686784"));
        QVERIFY(!view->page().modified);
        QVERIFY(!window->saveAction->isEnabled());
        QCOMPARE(window->pageTabs->tabText(0), QStringLiteral("Lossy.Bin"));
        QCOMPARE(window->undoAction->text(), QStringLiteral("&Annulla: Salvataggio"));
        // Reopened, the file shows the same.
        QVERIFY(OpenThroughDialog(*window, target));
        QVERIFY(window->pageView(1)->page().transponderGrid == view->page().transponderGrid);
        window->pageTabs->setCurrentIndex(0);

        window->undoAction->trigger();
        QCOMPARE(view->page().transponderGrid.cell(row, tp::Frequency), std::string("99999"));
        QVERIFY(view->page().modified);
        QCOMPARE(window->pageTabs->tabText(0), QStringLiteral("Lossy.Bin *"));
        window->redoAction->trigger();
        QCOMPARE(view->page().transponderGrid.cell(row, tp::Frequency), std::string("9804,686784"));
        QVERIFY(!view->page().modified);
    }

    void saveDialogOffersTheImageKinds() {
        QFileDialog dialog;
        MainWindow::configureSaveDialog(dialog);
        QCOMPARE(dialog.acceptMode(), QFileDialog::AcceptSave);
        QCOMPARE(dialog.defaultSuffix(), QStringLiteral("Dat"));
        const QStringList filters = dialog.nameFilters();
        QCOMPARE(filters.size(), 4);
        QVERIFY(filters[0].startsWith(QStringLiteral("File Bin (*.Bin")));
        QVERIFY(filters[1].startsWith(QStringLiteral("File Dat (*.Dat")));
        QVERIFY(filters[2].startsWith(QStringLiteral("File RCU (*.RCU")));
        QCOMPARE(filters[3], QStringLiteral("Tutti i file (*)"));
    }

    void saveFailureIsShown() {
        ScriptedPrompts prompts;
        auto window = makeWindow(prompts);
        QVERIFY(OpenThroughDialog(*window, splitPath));
        PageView* view = window->pageView(0);
        view->page().channelGrid.setCell(5, ch::Sid, "abc");
        view->page().modified = true;
        window->activePageChanged(0);
        const QString target = folder->path("Broken.Dat");
        window->chooseSaveFile = [&](const QString&) { return target; };
        window->saveAction->trigger();
        QCOMPARE(prompts.asked.size(), size_t(1));
        QVERIFY2(
            prompts.asked[0].text.find("'abc' is not a valid integer value") != std::string::npos,
            prompts.asked[0].text.c_str());
        QVERIFY(prompts.asked[0].icon == Icon::Error);
        QVERIFY(view->page().modified);
        QVERIFY(window->saveAction->isEnabled());
        QVERIFY(!QFile::exists(target));
        QVERIFY(!window->progressBar->isVisible());
    }

    // Cells the format cannot keep as shown are listed in a question whose default is
    // No: No leaves everything as it was, Yes saves.
    void saveListsCellsTheFormatCannotKeep() {
        ScriptedPrompts prompts;
        auto window = makeWindow(prompts);
        QVERIFY(OpenThroughDialog(*window, splitPath));
        PageView* view = window->pageView(0);
        view->page().channelGrid.setCell(5, ch::Sid, "70000");
        view->page().modified = true;
        window->activePageChanged(0);
        const QString target = folder->path("Wrapped.Dat");
        window->chooseSaveFile = [&](const QString&) { return target; };

        prompts.answers = {Answer::No};
        window->saveAction->trigger();
        QCOMPARE(prompts.asked.size(), size_t(1));
        const auto& question = prompts.asked[0];
        QVERIFY(question.buttons == Buttons::YesNo);
        QVERIFY(question.discarding);
        QCOMPARE(question.title, std::string("Attenzione"));
        QVERIFY2(question.text.find("Canali, riga 5, colonna SID: \"70000\" \u2192 \"4464\"") !=
                     std::string::npos,
                 question.text.c_str());
        QVERIFY(view->page().modified);
        QVERIFY(window->saveAction->isEnabled());
        QVERIFY(!QFile::exists(target));
        QCOMPARE(QDir(folder->root())
                     .entryList(QStringList{".rivo800-*"}, QDir::Hidden | QDir::Files)
                     .size(),
                 0);

        prompts.answers = {Answer::Yes};
        window->saveAction->trigger();
        QCOMPARE(prompts.asked.size(), size_t(2));
        QVERIFY(!view->page().modified);
        QVERIFY(QFile::exists(target));
    }

    void differencesQuestionDefaultsToNo() {
        MessageBoxPrompts prompts(nullptr);
        bool checked = false;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            QVERIFY(box->defaultButton() == box->button(QMessageBox::No));
            checked = true;
            QTest::keyClick(box, Qt::Key_Return);
        });
        QVERIFY(prompts.askDiscarding("?", "Attenzione", Icon::Warning, Buttons::YesNo) ==
                Answer::No);
        QVERIFY(checked);
    }

    void initialFileIsChosenInTheFirstDialogOnly() {
        ScriptedPrompts prompts;
        auto window = makeWindow(prompts);
        window->setInitialFile(singlePath);
        QStringList started;
        window->runOpenDialog = [&](OpenDialog& dialog) {
            started << dialog.fileEdit->text();
            return false;
        };
        window->openAction->trigger();
        window->openAction->trigger();
        QCOMPARE(started, QStringList({singlePath, QString()}));
    }
};

static const int kRegistered = RegisterTest([]() -> QObject* { return new MainWindowTest; });

#include "test_main_window.moc"
