// Finding channels by name on the largest page, the about box, exporting a table as CSV
// (read back with a CSV reader of the test's own), and moving rows by dragging them
// (through the models' drop handlers) against the move commands.
// Fixture builders first: their field names clash with Qt's keyword macros.
// clang-format off
#include "shell_support.h"
// clang-format on

#include <QAction>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QGroupBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <fstream>
#include <sstream>

#include "channels/cp1252.h"
#include "dialogs/about_box.h"
#include "dialogs/row_number_dialog.h"
#include "shell/main_window.h"
#include "shell/page_view.h"
#include "test_registry.h"

using namespace rivo;
using namespace rivo::testsupport;

namespace {

using Record = std::vector<std::string>;

// RFC 4180: records end in CRLF, fields are separated by commas, a field in double
// quotes may hold commas, CRLF and doubled quotes. Anything else is a failure (an
// empty result with `error` set).
std::vector<Record> ReadCsv(const std::string& text, std::string& error) {
    std::vector<Record> records;
    Record record;
    std::string field;
    std::size_t i = 0;
    bool fieldStarted = false;
    while (i < text.size()) {
        const char c = text[i];
        if (c == '"' && !fieldStarted) {
            ++i;
            for (;;) {
                if (i >= text.size()) {
                    error = "unterminated quote";
                    return {};
                }
                if (text[i] == '"') {
                    if (i + 1 < text.size() && text[i + 1] == '"') {
                        field += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                field += text[i++];
            }
            fieldStarted = true;
            if (i < text.size() && text[i] != ',' && text[i] != '\r') {
                error = "text after a closing quote";
                return {};
            }
        } else if (c == ',') {
            record.push_back(std::move(field));
            field.clear();
            fieldStarted = false;
            ++i;
        } else if (c == '\r') {
            if (i + 1 >= text.size() || text[i + 1] != '\n') {
                error = "CR without LF";
                return {};
            }
            record.push_back(std::move(field));
            field.clear();
            fieldStarted = false;
            records.push_back(std::move(record));
            record.clear();
            i += 2;
        } else if (c == '\n' || c == '"') {
            error = c == '\n' ? "bare LF" : "quote inside an unquoted field";
            return {};
        } else {
            field += c;
            fieldStarted = true;
            ++i;
        }
    }
    if (fieldStarted || !record.empty()) {
        error = "last record without CRLF";
        return {};
    }
    return records;
}

std::string ReadFile(const QString& path) {
    std::ifstream in(QFile::encodeName(path).toStdString(), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The grid as the CSV should hold it: titles, then every row's cells as shown.
std::vector<Record> Expected(const Grid& grid) {
    std::vector<Record> out;
    for (int r = 0; r < grid.rowCount(); ++r) {
        Record record;
        for (const auto& cell : grid.cells(r)) record.push_back(Cp1252ToUtf8(cell));
        out.push_back(std::move(record));
    }
    return out;
}

// The channel grid as the CSV should hold it: each row followed by its transponder's
// frequency, polarisation, TID, NID and satellite (empty without one).
std::vector<Record> ExpectedChannels(const ListPage& page) {
    std::vector<Record> out = Expected(page.channelGrid);
    for (const char* title : {"Frequenza", "Polarizzazione", "TID", "NID", "Satellite"})
        out[0].push_back(title);
    for (int r = 1; r < page.channelGrid.rowCount(); ++r) {
        const std::string& reference = page.channelGrid.cell(r, ch::Transponder);
        const int t = reference.empty() || reference.size() > 3 ? 0 : std::stoi(reference);
        for (const int c : {tp::Frequency, tp::Polarisation, tp::Tid, tp::Nid, tp::Satellite})
            out[static_cast<size_t>(r)].push_back(
                t >= 1 && t != 255 && t < page.transponderGrid.rowCount()
                    ? Cp1252ToUtf8(page.transponderGrid.cell(t, c))
                    : std::string());
    }
    return out;
}

// What a drag of the view's selected rows carries.
std::unique_ptr<QMimeData> DragSelected(QTableView* view) {
    return std::unique_ptr<QMimeData>(
        view->model()->mimeData(view->selectionModel()->selectedIndexes()));
}

// Drops data on row (1-based) of the view's model, as the view does on a drop on a row.
bool DropOnRow(QTableView* view, const QMimeData* data, int row) {
    QAbstractItemModel* model = view->model();
    const QModelIndex on = model->index(row - 1, 0);
    const bool allowed = model->canDropMimeData(data, Qt::MoveAction, -1, -1, on);
    const bool dropped = model->dropMimeData(data, Qt::MoveAction, -1, -1, on);
    if (allowed != dropped) qWarning("canDropMimeData and dropMimeData disagree");
    return dropped;
}

bool SameTables(const ListPage& a, const ListPage& b) {
    return a.channelGrid == b.channelGrid && a.transponderGrid == b.transponderGrid &&
           a.favouriteGrids == b.favouriteGrids && a.configGrid == b.configGrid;
}

}  // namespace

class FindExportDragTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ShellFolder> folder;
    QString largePath, splitPath, singlePath;
    ScriptedPrompts prompts;
    std::unique_ptr<MainWindow> window;

    std::unique_ptr<MainWindow> newWindow() {
        auto w = std::make_unique<MainWindow>();
        PrepareWindow(*w, prompts, *folder);
        return w;
    }

private slots:
    void initTestCase() {
        folder = std::make_unique<ShellFolder>();
        ChannelImageSpec large = MakeLargestChannelImageSpec();
        large.channels[19].name = "Sportitalia";
        large.channels[4999].name = "Rai SPORT";
        large.channels[8999].name = "Eurosport 2";
        large.channels[99].name = "Citt\xE0 TV";  // à
        largePath = folder->write("Grande.Bin", BuildChannelImage(large));
        ChannelImageSpec split = MakeChannelImageSpec(ListLayout::Split, 1200, 30);
        split.channels[1].name = "Rai, \"Uno\" \xE8";  // comma, quotes, è: quoted in CSV
        split.listNames[3] = "A,B";
        splitPath = folder->write("Lista.Bin", BuildChannelImage(split));
        singlePath = folder->write(
            "Single.Bin", BuildChannelImage(MakeChannelImageSpec(ListLayout::Single, 60, 12)));
    }

    void init() {
        prompts.clear();
        window = newWindow();
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }

    void cleanup() {
        QCOMPARE(prompts.unexpected, 0);
        window.reset();
    }

    void findOnTheLargestPage() {
        QVERIFY(OpenThroughDialog(*window, largePath));
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        PageView* view = window->activePage();
        QCOMPARE(view->page().channelCount(), 9990);
        QVERIFY(!view->findBarOpen());
        view->tabs->setCurrentIndex(1);

        // Ctrl+F: back on "Canali", the bar over the table with the focus in its field.
        QTest::keyClick(window.get(), Qt::Key_F, Qt::ControlModifier);
        QVERIFY(view->findBarOpen());
        QCOMPARE(view->tabs->currentIndex(), 0);
        QVERIFY(view->findBar->isVisible());
        QVERIFY(view->findBar->geometry().bottom() <= view->channelTable->geometry().top());
        QCOMPARE(QApplication::focusWidget(), view->findEdit);
        const QColor normal = view->findEdit->palette().color(QPalette::Base);

        // Typing finds the first name that holds the text, whatever its case.
        QTest::keyClicks(view->findEdit, QStringLiteral("spo"));
        QCOMPARE(view->currentChannelRow(), 20);
        QCOMPARE(view->selectedChannelRows(), std::make_pair(20, 20));
        // More letters keep a match that still fits.
        QTest::keyClicks(view->findEdit, QStringLiteral("rt"));
        QCOMPARE(view->currentChannelRow(), 20);
        // Enter and F3 go on, wrapping at the end; Shift+F3 goes back.
        QTest::keyClick(view->findEdit, Qt::Key_Return);
        QCOMPARE(view->currentChannelRow(), 5000);
        QVERIFY(view->channelTable->viewport()->rect().intersects(
            view->channelTable->visualRect(view->channelModel()->index(4999, 1))));
        QTest::keyClick(view->findEdit, Qt::Key_F3);
        QCOMPARE(view->currentChannelRow(), 9000);
        QTest::keyClick(view->findEdit, Qt::Key_F3);
        QCOMPARE(view->currentChannelRow(), 20);
        QTest::keyClick(view->findEdit, Qt::Key_F3, Qt::ShiftModifier);
        QCOMPARE(view->currentChannelRow(), 9000);
        // F3 works from the table too.
        view->channelTable->setFocus();
        QTest::keyClick(view->channelTable, Qt::Key_F3, Qt::ShiftModifier);
        QCOMPARE(view->currentChannelRow(), 5000);
        QCOMPARE(view->findEdit->palette().color(QPalette::Base), normal);

        // Accented capitals match their small letters.
        view->findEdit->setText(QStringLiteral("CITTÀ"));
        QCOMPARE(view->currentChannelRow(), 100);

        // No match: the field turns red and the selection stays.
        view->findEdit->setText(QStringLiteral("nessun canale"));
        QCOMPARE(view->currentChannelRow(), 100);
        QCOMPARE(view->findEdit->palette().color(QPalette::Base), QColor(255, 102, 102));
        view->findEdit->setText(QStringLiteral("Ω"));  // not even writable in a name
        QCOMPARE(view->findEdit->palette().color(QPalette::Base), QColor(255, 102, 102));
        view->findEdit->setText(QStringLiteral("canale 9988"));
        QCOMPARE(view->currentChannelRow(), 9988);
        QCOMPARE(view->findEdit->palette().color(QPalette::Base), normal);

        // Nothing was hidden or changed; Esc closes the bar and the table has the focus.
        QCOMPARE(view->channelModel()->rowCount(), 9990);
        for (int row : {0, 19, 4999, 9989}) QVERIFY(!view->channelTable->isRowHidden(row));
        QVERIFY(!view->page().modified);
        view->findEdit->setFocus();
        QTest::keyClick(view->findEdit, Qt::Key_Escape);
        QVERIFY(!view->findBarOpen());
        QCOMPARE(QApplication::focusWidget(), view->channelTable);
        QVERIFY(!window->undoAction->isEnabled());
    }

    void aboutOpensAndCloses() {
        bool ran = false;
        window->runAboutBox = [&](AboutBox& box) {
            ran = true;
            QCOMPARE(box.windowTitle(), QStringLiteral("About"));
            QCOMPARE(box.productNameLabel->text(), QStringLiteral("Rivo800 Editor"));
            QVERIFY(box.versionLabel->text().contains(AboutBox::version()));
            QVERIFY(QRegularExpression(QStringLiteral("^\\d+\\.\\d+\\.\\d+$"))
                        .match(AboutBox::version())
                        .hasMatch());
            QVERIFY(!box.copyrightLabel->text().isEmpty());
            QVERIFY(!box.commentsLabel->text().isEmpty());
            QVERIFY(!box.programIcon->pixmap().isNull());
            QCOMPARE(box.okButton->text(), QStringLiteral("OK"));
            QVERIFY(box.okButton->isDefault());
            box.show();
            QVERIFY(QTest::qWaitForWindowExposed(&box));
            const QPoint centre = box.frameGeometry().center();
            const QPoint screen = box.screen()->availableGeometry().center();
            QVERIFY((centre - screen).manhattanLength() <= 10);
            QTest::keyClick(&box, Qt::Key_Return);  // the default button
            QVERIFY(!box.isVisible());
            QCOMPARE(box.result(), int(QDialog::Accepted));
        };
        QVERIFY(window->aboutAction->isEnabled());
        window->aboutAction->trigger();
        QVERIFY(ran);
    }

    void exportWritesTheTables() {
        QVERIFY(OpenThroughDialog(*window, splitPath));
        PageView* view = window->activePage();
        const ListPage& page = view->page();
        view->tabs->setCurrentIndex(1);
        QStringList offered;
        int offeredFirst = -1;
        int choice = 0;
        QString suggested;
        window->chooseExportTable = [&](const QStringList& tables, int current) {
            offered = tables;
            offeredFirst = current;
            return choice;
        };
        QString target;
        window->chooseExportFile = [&](const QString& name) {
            suggested = name;
            return target;
        };

        // Channels and transponders: the grid's titles and cells as shown, the channels
        // with their transponder's identity.
        struct Case {
            int choice;
            std::vector<Record> expected;
            const char* file;
        };
        for (const Case& c : {Case{0, ExpectedChannels(page), "Canali.csv"},
                              Case{1, Expected(page.transponderGrid), "Tp.csv"}}) {
            choice = c.choice;
            target = folder->path(c.file);
            window->exportCsvAction->trigger();
            QCOMPARE(offered, QStringList({"Canali", "Transponder", "Preferiti"}));
            QCOMPARE(offeredFirst, 1);  // the table on screen
            const std::string text = ReadFile(target);
            QVERIFY(text.rfind("\xEF\xBB\xBF", 0) != 0);  // no byte order mark
            std::string error;
            const std::vector<Record> records = ReadCsv(text, error);
            QVERIFY2(error.empty(), error.c_str());
            QVERIFY(records == c.expected);
            // The status bar names the file and the rows below the header.
            QCOMPARE(window->statusMessage->text(), QStringLiteral("Esportate %1 righe in %2")
                                                        .arg(records.size() - 1)
                                                        .arg(QDir::toNativeSeparators(target)));
        }
        QVERIFY(suggested.endsWith(QStringLiteral("Lista - Transponder.csv")));
        // The name with a comma, quotes and an accent went through quoted and as UTF-8.
        QVERIFY(ReadFile(folder->path("Canali.csv")).find("\"Rai, \"\"Uno\"\" \xC3\xA8\"") !=
                std::string::npos);

        // Favourites: "Lista" 1..8, then the list's columns, list 1 first.
        choice = 2;
        target = folder->path("Preferiti.csv");
        window->exportCsvAction->trigger();
        std::string error;
        const std::vector<Record> records = ReadCsv(ReadFile(target), error);
        QVERIFY2(error.empty(), error.c_str());
        QCOMPARE(records.size(), size_t(1 + 8 * 128));
        QCOMPARE(window->statusMessage->text(),
                 QStringLiteral("Esportate 1024 righe in ") + QDir::toNativeSeparators(target));
        Record header{"Lista"};
        for (const char* title : FavouriteColumnTitles()) header.emplace_back(title);
        QVERIFY(records[0] == header);
        for (int k = 0; k < 8; ++k)
            for (int s = 1; s <= 128; ++s) {
                const Record& record = records[static_cast<size_t>(1 + k * 128 + s - 1)];
                Record expected{std::to_string(k + 1)};
                for (const auto& cell : page.favouriteGrids[static_cast<size_t>(k)].cells(s))
                    expected.push_back(Cp1252ToUtf8(cell));
                QVERIFY(record == expected);
            }
        QVERIFY(prompts.asked.empty());

        // Cancelled at either question: nothing written.
        const QString none = folder->path("Nessuno.csv");
        choice = -1;
        target = none;
        window->exportCsvAction->trigger();
        choice = 0;
        target.clear();
        window->exportCsvAction->trigger();
        QVERIFY(!QFile::exists(none));

        // A folder that does not exist: the error is shown, nothing is written.
        target = folder->path("manca/Canali.csv");
        window->exportCsvAction->trigger();
        QCOMPARE(prompts.asked.size(), size_t(1));
        QVERIFY(prompts.asked[0].icon == Icon::Error);
        // The system's reason, and no claim of a file written.
        QVERIFY2(prompts.asked[0].text.find("No such file or directory") != std::string::npos,
                 prompts.asked[0].text.c_str());
        QCOMPARE(window->statusMessage->text(), QString());
        QVERIFY(!QFile::exists(target));
        QVERIFY(!page.modified);

        // A page without favourites lists offers two tables.
        QVERIFY(OpenThroughDialog(*window, singlePath));
        choice = -1;
        window->exportCsvAction->trigger();
        QCOMPARE(offered, QStringList({"Canali", "Transponder"}));
    }

    // Dragging the selected block onto a row gives the page the move command gives with
    // that row as target; one undo step; drops out of range or from elsewhere do nothing.
    void dragMovesChannelsAsTheMoveCommand() {
        QVERIFY(OpenThroughDialog(*window, splitPath));
        QVERIFY(OpenAgain(*window, prompts, splitPath));
        PageView* dragged = window->pageView(0);
        PageView* commanded = window->pageView(1);
        const int n = dragged->page().channelCount();
        struct Case {
            int first, last, target;
            bool throughTheTable;  // a drop event on the table's viewport
        };
        std::unique_ptr<ListPage> beforeLastDrop;
        for (const Case c : {Case{3, 4, 10, false}, Case{10, 11, 3, true}, Case{5, 7, 6, true},
                             Case{1, 3, n - 2, false}, Case{20, 20, 1, false}}) {
            const QByteArray trace = QByteArray::number(c.first) + ".." +
                                     QByteArray::number(c.last) + " -> " +
                                     QByteArray::number(c.target);
            window->pageTabs->setCurrentIndex(1);
            SelectChannels(*commanded, c.first, c.last);
            window->runRowNumberDialog = [&](RowNumberDialog& dialog) {
                dialog.numberEdit->setText(QString::number(c.target));
                dialog.okButton->click();
                return dialog.result() == QDialog::Accepted;
            };
            window->moveChannelsAction->trigger();

            window->pageTabs->setCurrentIndex(0);
            SelectChannels(*dragged, c.first, c.last);
            beforeLastDrop = std::make_unique<ListPage>(dragged->page());
            const auto data = DragSelected(dragged->channelTable);
            QVERIFY2(data, trace.constData());
            if (c.throughTheTable) {
                // Onto a row of the block itself too: the block then moves by less than its length.
                QTableView* table = dragged->channelTable;
                const QModelIndex on = table->model()->index(c.target - 1, ch::Name);
                table->scrollTo(on);
                const QPoint at = table->visualRect(on).center();
                QDragEnterEvent enter(at, Qt::MoveAction, data.get(), Qt::LeftButton,
                                      Qt::NoModifier);
                QApplication::sendEvent(table->viewport(), &enter);
                QVERIFY2(enter.isAccepted(), trace.constData());
                QDropEvent drop(QPointF(at), Qt::MoveAction, data.get(), Qt::LeftButton,
                                Qt::NoModifier);
                QApplication::sendEvent(table->viewport(), &drop);
                QVERIFY2(drop.isAccepted(), trace.constData());
            } else {
                QVERIFY2(DropOnRow(dragged->channelTable, data.get(), c.target), trace.constData());
            }
            QVERIFY2(SameTables(dragged->page(), commanded->page()), trace.constData());
            QCOMPARE(window->undoAction->text(), QStringLiteral("&Annulla: Spostamento canali"));
            QVERIFY(dragged->page().modified);
            QVERIFY(window->pageTabs->tabText(0).endsWith(QStringLiteral(" *")));
            QCOMPARE(dragged->channelModel()
                         ->data(dragged->channelModel()->index(c.target - 1, ch::Name))
                         .toString(),
                     QString::fromStdString(
                         Cp1252ToUtf8(commanded->page().channelGrid.cell(c.target, ch::Name))));
            // Dragged or commanded, the moved channels are selected where they landed.
            const int landed = c.target + (c.last - c.first);
            for (PageView* moved : {dragged, commanded}) {
                QCOMPARE(moved->selectedChannelRows(), (std::pair<int, int>{c.target, landed}));
                QCOMPARE(moved->currentChannelRow(), c.target);
                QCOMPARE(moved->channelTable->selectionModel()->selectedRows().size(),
                         landed - c.target + 1);
            }
            // Undo selects the moved channels back at their old place, redo where they
            // landed, as the command did; not the whole range the move shifted.
            for (int tab : {0, 1}) {
                window->pageTabs->setCurrentIndex(tab);
                PageView* moved = window->pageView(tab);
                window->undoAction->trigger();
                QCOMPARE(moved->selectedChannelRows(), (std::pair<int, int>{c.first, c.last}));
                window->redoAction->trigger();
                QCOMPARE(moved->selectedChannelRows(), (std::pair<int, int>{c.target, landed}));
            }
        }
        // One step per drop: undoing the last drop gives the page before it.
        window->pageTabs->setCurrentIndex(0);
        window->undoAction->trigger();
        QVERIFY(SameTables(*beforeLastDrop, dragged->page()));
        window->redoAction->trigger();
        QVERIFY(SameTables(dragged->page(), commanded->page()));

        // Lower than it fits (onto the last two rows): the block goes as far down as it
        // fits, its last channel in the last row, as a move to N - 2 would put it.
        QAbstractItemModel* model = dragged->channelModel();
        for (const int onto : {n - 1, n}) {
            SelectChannels(*dragged, 5, 7);
            const ListPage beforeDrop = dragged->page();
            const auto block = DragSelected(dragged->channelTable);
            QVERIFY(model->canDropMimeData(block.get(), Qt::MoveAction, -1, -1,
                                           model->index(onto - 1, 0)));
            QVERIFY(DropOnRow(dragged->channelTable, block.get(), onto));
            for (int k = 0; k < 3; ++k)
                QCOMPARE(dragged->page().channelGrid.cell(n - 2 + k, ch::Name),
                         beforeDrop.channelGrid.cell(5 + k, ch::Name));
            QCOMPARE(dragged->selectedChannelRows(), (std::pair<int, int>{n - 2, n}));
            window->undoAction->trigger();
            QVERIFY(SameTables(beforeDrop, dragged->page()));
        }
        SelectChannels(*dragged, 5, 7);
        const ListPage before = dragged->page();
        const auto data = DragSelected(dragged->channelTable);
        {
            // Through the table: hovering the last row is allowed too, and a drop there
            // puts the block at the end.
            QTableView* table = dragged->channelTable;
            const QModelIndex last = table->model()->index(n - 1, 0);
            table->scrollTo(last);
            const QPoint atLast = table->visualRect(last).center();
            QDragEnterEvent enter(atLast, Qt::MoveAction, data.get(), Qt::LeftButton,
                                  Qt::NoModifier);
            QApplication::sendEvent(table->viewport(), &enter);
            QVERIFY(enter.isAccepted());
            QDragMoveEvent beyond(atLast, Qt::MoveAction, data.get(), Qt::LeftButton,
                                  Qt::NoModifier);
            QApplication::sendEvent(table->viewport(), &beyond);
            QVERIFY(beyond.isAccepted());
            QDropEvent drop(QPointF(atLast), Qt::MoveAction, data.get(), Qt::LeftButton,
                            Qt::NoModifier);
            QApplication::sendEvent(table->viewport(), &drop);
            QVERIFY(drop.isAccepted());
            QCOMPARE(dragged->page().channelGrid.cell(n, ch::Name),
                     before.channelGrid.cell(7, ch::Name));
            window->undoAction->trigger();
            QVERIFY(SameTables(before, dragged->page()));
        }
        QVERIFY(
            !model->dropMimeData(data.get(), Qt::MoveAction, -1, -1, QModelIndex()));  // on no row
        QVERIFY(!model->dropMimeData(data.get(), Qt::CopyAction, -1, -1, model->index(1, 0)));
        // Rows of the other page's table, and a favourites entry, are not ours.
        SelectChannels(*commanded, 5, 7);
        const auto foreign = DragSelected(commanded->channelTable);
        QVERIFY(!DropOnRow(dragged->channelTable, foreign.get(), 1));
        dragged->setCurrentFavouriteRow(0, 1);
        const auto entry = DragSelected(dragged->favouriteTables[0]);
        QVERIFY(!DropOnRow(dragged->channelTable, entry.get(), 1));
        QVERIFY(SameTables(before, dragged->page()));
        QCOMPARE(window->undoAction->text(), QStringLiteral("&Annulla: Spostamento canali"));
        QVERIFY(model->flags(model->index(0, 0)) & Qt::ItemIsDragEnabled);
        QVERIFY(!(dragged->transponderModel()->flags(dragged->transponderModel()->index(0, 0)) &
                  Qt::ItemIsDragEnabled));
    }

    // A favourites entry dragged within its list lands where repeated up / down moves
    // would take it; past an empty slot downwards, into another list, nothing happens.
    void dragMovesFavouritesAsRepeatedMoves() {
        QVERIFY(OpenThroughDialog(*window, splitPath));
        QVERIFY(OpenAgain(*window, prompts, splitPath));
        PageView* dragged = window->pageView(0);
        PageView* stepped = window->pageView(1);
        for (PageView* view : {dragged, stepped}) view->tabs->setCurrentIndex(2);
        struct Case {
            int list, from, to;
        };
        // List 1 holds ten entries (the seventh an inactive channel's, grey), list 2 five.
        for (const Case c : {Case{0, 2, 6}, Case{0, 9, 1}, Case{1, 5, 2}, Case{1, 1, 5}}) {
            const QByteArray trace = QByteArray::number(c.list) + ": " +
                                     QByteArray::number(c.from) + " -> " + QByteArray::number(c.to);
            window->pageTabs->setCurrentIndex(1);
            QFocusEvent in(QEvent::FocusIn, Qt::MouseFocusReason);
            QApplication::sendEvent(stepped->favouriteTables[static_cast<size_t>(c.list)], &in);
            stepped->setCurrentFavouriteRow(c.list, c.from);
            QAction* button =
                c.to > c.from ? window->favouriteDownAction : window->favouriteUpAction;
            for (int i = 0; i < std::abs(c.to - c.from); ++i) button->trigger();
            QCOMPARE(stepped->currentFavouriteRow(c.list), c.to);

            window->pageTabs->setCurrentIndex(0);
            dragged->setCurrentFavouriteRow(c.list, c.from);
            QTableView* list = dragged->favouriteTables[static_cast<size_t>(c.list)];
            const auto data = DragSelected(list);
            QVERIFY2(DropOnRow(list, data.get(), c.to), trace.constData());
            QVERIFY2(SameTables(dragged->page(), stepped->page()), trace.constData());
            QCOMPARE(dragged->currentFavouriteRow(c.list), c.to);
            QCOMPARE(window->undoAction->text(), QStringLiteral("&Annulla: Sposta preferito"));
        }
        QVERIFY(prompts.asked.empty());

        // Down across a grey slot (an inactive channel's entry, or the first empty slot),
        // onto itself, into another list: refused without a word.
        const ListPage before = dragged->page();
        QTableView* first = dragged->favouriteTables[0];
        int grey = 0;
        for (int s = 2; s <= 128 && !grey; ++s)
            if (before.favouriteGrids[0].colour(s) == kColourGrey) grey = s;
        QVERIFY(grey > 2);
        dragged->setCurrentFavouriteRow(0, 1);
        const auto data = DragSelected(first);
        for (int to : {grey, 128, 1}) QVERIFY(!DropOnRow(first, data.get(), to));
        QVERIFY(!DropOnRow(dragged->favouriteTables[1], data.get(), 2));
        QVERIFY(DropOnRow(first, data.get(), grey - 1));  // up to the grey slot is fine
        window->undoAction->trigger();
        QVERIFY(SameTables(before, dragged->page()));
        QVERIFY(prompts.asked.empty());
        // Two selected entries are not one entry.
        first->selectionModel()->select(
            QItemSelection(first->model()->index(1, 0), first->model()->index(2, 2)),
            QItemSelectionModel::ClearAndSelect);
        const auto two = DragSelected(first);
        QVERIFY(!DropOnRow(first, two.get(), 6));
        QVERIFY(SameTables(before, dragged->page()));
    }
};

static const int kRegistered = RegisterTest([]() -> QObject* { return new FindExportDragTest; });

#include "test_find_export_drag.moc"
