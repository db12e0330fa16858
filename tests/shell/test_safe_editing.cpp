// What keeps a user's work safe and visible: the default answers of the questions that
// discard work, the selection after commands that move channels, a whole list pasted
// into another image, the save dialog's name and extension, titles that fit their
// columns, and the small dialogs' keys and sizes.
// Fixture builders first: their field names clash with Qt's keyword macros.
// clang-format off
#include "shell_support.h"
// clang-format on

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include "captioned_controls.h"
#include "dialogs/channel_dialog.h"
#include "dialogs/row_number_dialog.h"
#include "editing/channel_dialog_logic.h"
#include "editing/transponders.h"
#include "shell/main_window.h"
#include "shell/page_view.h"
#include "shell/qt_prompts.h"
#include "test_registry.h"

using namespace rivo;
using namespace rivo::testsupport;

namespace {

// The selected block of the channel table and its current row; {0, 0, 0} for none.
struct Selected {
    int first, last, current;
    bool operator==(const Selected&) const = default;
};
Selected SelectionOf(PageView& view) {
    const QModelIndexList rows = view.channelTable->selectionModel()->selectedRows();
    int first = 0, last = 0;
    for (const QModelIndex& index : rows) {
        if (first == 0 || index.row() + 1 < first) first = index.row() + 1;
        last = std::max(last, index.row() + 1);
    }
    if (rows.size() != last - first + (first ? 1 : 0)) return {-1, -1, -1};  // not one block
    return {first, last, view.currentChannelRow()};
}

char* toString(const Selected& s) {
    return QTest::toString(
        QStringLiteral("rows %1..%2, current %3").arg(s.first).arg(s.last).arg(s.current));
}

std::string Name(const ListPage& page, int row) { return page.channelGrid.cell(row, ch::Name); }

}  // namespace

class SafeEditingTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ShellFolder> folder;
    QString path;
    ScriptedPrompts prompts;
    std::unique_ptr<MainWindow> window;
    PageView* view = nullptr;

    ListPage& page() { return view->page(); }

private slots:
    void initTestCase() {
        folder = std::make_unique<ShellFolder>();
        path = folder->write("Lista.Bin",
                             BuildChannelImage(MakeChannelImageSpec(ListLayout::Split, 1200, 30)));
    }

    void init() {
        prompts.clear();
        QSettings(QStringLiteral("Rivo800"), QStringLiteral("Rivo800 Editor")).clear();
        window = std::make_unique<MainWindow>();
        PrepareWindow(*window, prompts, *folder);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QVERIFY(OpenThroughDialog(*window, path));
        view = window->pageView(0);
    }

    void cleanup() {
        ChannelDialog::setExecHook(nullptr);
        QCOMPARE(prompts.unexpected, 0);
        window.reset();
    }

    // The real message box: Enter and Escape give the answer that keeps everything
    // whenever "Sì" would throw work away.
    void messageBoxDefaults_data() {
        QTest::addColumn<int>("buttons");
        QTest::addColumn<bool>("discarding");
        QTest::addColumn<int>("defaultButton");
        QTest::addColumn<int>("escapeButton");
        QTest::addColumn<int>("enterAnswer");
        const auto row = [](const char* name, Buttons b, bool discarding,
                            QMessageBox::StandardButton def, QMessageBox::StandardButton esc,
                            Answer enter) {
            QTest::newRow(name) << int(b) << discarding << int(def) << int(esc) << int(enter);
        };
        row("yes/no discarding", Buttons::YesNo, true, QMessageBox::No, QMessageBox::No,
            Answer::No);
        row("yes/no/cancel discarding", Buttons::YesNoCancel, true, QMessageBox::Cancel,
            QMessageBox::Cancel, Answer::Cancel);
        row("yes/no ordinary", Buttons::YesNo, false, QMessageBox::Yes, QMessageBox::NoButton,
            Answer::Yes);
    }
    void messageBoxDefaults() {
        QFETCH(int, buttons);
        QFETCH(bool, discarding);
        QFETCH(int, defaultButton);
        QFETCH(int, escapeButton);
        QFETCH(int, enterAnswer);
        MessageBoxPrompts real(window.get());
        int seenDefault = -1, seenEscape = -1;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            seenDefault = box->defaultButton() ? int(box->standardButton(box->defaultButton())) : 0;
            seenEscape = box->escapeButton() ? int(box->standardButton(box->escapeButton())) : 0;
            QTest::keyClick(box, Qt::Key_Return);
        });
        const Answer answer =
            discarding
                ? real.askDiscarding("Domanda?", "Attenzione", Icon::Warning, Buttons(buttons))
                : real.ask("Domanda?", "Attenzione", Icon::Warning, Buttons(buttons));
        QCOMPARE(int(answer), enterAnswer);
        if (defaultButton != QMessageBox::Yes) QCOMPARE(seenDefault, defaultButton);
        if (escapeButton != QMessageBox::NoButton) QCOMPARE(seenEscape, escapeButton);
    }

    // Every question whose "Sì" throws work away is asked as such.
    void discardingQuestions() {
        page().modified = true;
        window->activePageChanged(0);
        prompts.answers = {Answer::No};
        window->exitAction->trigger();  // leaving with changes
        prompts.answers = {Answer::No};
        window->closePageAction->trigger();  // closing the modified page
        SelectChannels(*view, 2, 3);
        prompts.answers = {Answer::Cancel};
        window->deleteChannelsAction->trigger();  // deleting channels
        view->tabs->setCurrentIndex(1);
        view->selectTransponderRows(1, 1);
        prompts.answers = {Answer::Cancel};
        window->deleteTransponderAction->trigger();  // deleting a transponder and its channels
        QCOMPARE(prompts.asked.size(), size_t(4));
        for (const AskedQuestion& q : prompts.asked) QVERIFY2(q.discarding, q.text.c_str());
        // The transponder question counts the channels that go with the row: of 1200
        // channels over 30 transponders, channels 1, 31, ..., 1171 name the first.
        QVERIFY2(prompts.asked[3].text.ends_with(
                     "Canali che verranno cancellati con il transponder: 40"),
                 prompts.asked[3].text.c_str());
        QCOMPARE(window->pageCount(), 1);
    }

    // After Sposta the moved channels are selected where they now stand; after a
    // delete the block's first row alone; undo and redo select the moved channels.
    void selectionFollowsTheChannels_data() {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::addColumn<int>("target");
        QTest::newRow("down") << 3 << 5 << 10;
        QTest::newRow("up") << 10 << 12 << 2;
        QTest::newRow("to the first row") << 7 << 7 << 1;
        QTest::newRow("to the last place") << 5 << 6 << 1199;
    }
    void selectionFollowsTheChannels() {
        QFETCH(int, first);
        QFETCH(int, last);
        QFETCH(int, target);
        const int n = last - first + 1;
        std::vector<std::string> moved;
        for (int r = first; r <= last; ++r) moved.push_back(Name(page(), r));
        SelectChannels(*view, first, last);
        window->runRowNumberDialog = [target](RowNumberDialog& dialog) {
            dialog.numberEdit->setText(QString::number(target));
            dialog.okButton->click();
            return dialog.result() == QDialog::Accepted;
        };
        window->moveChannelsAction->trigger();
        QCOMPARE(SelectionOf(*view), (Selected{target, target + n - 1, target}));
        for (int k = 0; k < n; ++k)
            QCOMPARE(Name(page(), target + k), moved[static_cast<size_t>(k)]);
        // Undo selects the moved channels back where they were, redo where the move
        // put them: as the command did, not every row the move shifted.
        window->undoAction->trigger();
        QCOMPARE(Name(page(), first), moved[0]);
        QCOMPARE(SelectionOf(*view), (Selected{first, last, first}));
        window->redoAction->trigger();
        QCOMPARE(SelectionOf(*view), (Selected{target, target + n - 1, target}));
        // A delete leaves the block's first row alone selected: a second Delete takes one row.
        SelectChannels(*view, target, target + n - 1);
        prompts.answers = {Answer::Yes, Answer::Yes};
        window->deleteChannelsAction->trigger();
        QCOMPARE(SelectionOf(*view), (Selected{target, target, target}));
        const std::string next = Name(page(), target + 1);
        window->deleteChannelsAction->trigger();
        QCOMPARE(Name(page(), target), next);
    }

    void deleteAtTheEndAndPasteSelect() {
        // A paste within the image needs free transponder rows for the room check.
        for (int t = 26; t <= page().transponderCount(); ++t) ClearTransponderRow(page(), t);
        const int count = page().channelCount();
        const std::string second = Name(page(), 2);
        SelectChannels(*view, 2, 4);
        window->copyChannelsAction->trigger();
        // Pasted with Sì at row 20: the three channels are selected there.
        view->setCurrentChannelRow(20);
        prompts.answers = {Answer::Yes, Answer::Yes};  // insert, even if the last channels go
        window->pasteChannelsAction->trigger();
        prompts.answers.clear();
        QCOMPARE(Name(page(), 20), second);
        QCOMPARE(SelectionOf(*view), (Selected{20, 22, 20}));
        // The last row deleted with the gap closed: it stays selected, now empty.
        SelectChannels(*view, count, count);
        prompts.answers = {Answer::Yes};
        window->deleteChannelsAction->trigger();
        QCOMPARE(SelectionOf(*view), (Selected{count, count, count}));
        QVERIFY(page().channelGrid.colour(count) == kColourGrey);
    }

    // A whole list copied from one image and pasted over another that holds the same
    // transponders: no refusal, every channel keeps its transponder's values, and no
    // transponder row is taken twice.
    void wholeListIntoAnotherImage() {
        QVERIFY(OpenThroughDialog(*window, path));  // the same file: another image
        PageView* target = window->pageView(1);
        QVERIFY(target->page().imageId != page().imageId);
        const int count = page().channelCount();
        const int rowsInUseBefore = [&] {
            int n = 0;
            for (int t = 1; t <= target->page().transponderCount(); ++t)
                n += target->page().transponderGrid.colour(t) != kColourGrey;
            return n;
        }();
        window->pageTabs->setCurrentIndex(0);
        SelectChannels(*view, 1, count);
        window->copyChannelsAction->trigger();
        window->pageTabs->setCurrentIndex(1);
        target->setCurrentChannelRow(1);
        prompts.clear();
        prompts.answers = {Answer::No};  // overwrite from row 1
        window->pasteChannelsAction->trigger();
        for (const AskedQuestion& q : prompts.asked)
            QVERIFY2(q.text.find("Troppi transponder") == std::string::npos, q.text.c_str());
        QVERIFY(target->page().modified);

        const ListPage& from = page();
        const ListPage& to = target->page();
        int compared = 0;
        for (int i = 1; i <= count; ++i) {
            if (from.channelGrid.colour(i) == kColourGrey) continue;
            QCOMPARE(Name(to, i), Name(from, i));
            const int a = std::stoi(from.channelGrid.cell(i, ch::Transponder));
            const int b = std::stoi(to.channelGrid.cell(i, ch::Transponder));
            if (a < 1 || a > from.transponderCount()) continue;
            QVERIFY(b >= 1 && b <= to.transponderCount());
            for (int column : {tp::Frequency, tp::Polarisation, tp::SymbolRate})
                QCOMPARE(to.transponderGrid.cell(b, column), from.transponderGrid.cell(a, column));
            ++compared;
        }
        QVERIFY(compared > count / 2);
        // No transponder row taken for one that was already there, none duplicated.
        int rowsInUse = 0;
        for (int t = 1; t <= to.transponderCount(); ++t) {
            if (to.transponderGrid.colour(t) == kColourGrey) continue;
            ++rowsInUse;
            for (int u = t + 1; u <= to.transponderCount(); ++u)
                if (to.transponderGrid.colour(u) != kColourGrey)
                    QVERIFY2(!TransponderCellsMatch(to.transponderGrid.row(u).cells,
                                                    to.transponderGrid.row(t).cells),
                             qPrintable(QStringLiteral("rows %1 and %2").arg(t).arg(u)));
        }
        QCOMPARE(rowsInUse, rowsInUseBefore);
    }

    // The save dialog starts on the page's file; a name typed without extension takes
    // the chosen filter's; the page then is the saved file.
    void saveNameAndExtension_data() {
        QTest::addColumn<int>("filter");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("written");
        QTest::newRow("Bin") << 0 << "Nuova"
                             << "Nuova.Bin";
        QTest::newRow("Dat") << 1 << "Nuova"
                             << "Nuova.Dat";
        QTest::newRow("RCU") << 2 << "Nuova"
                             << "Nuova.RCU";
        QTest::newRow("all files") << 3 << "Nuova"
                                   << "Nuova.Dat";
        QTest::newRow("own extension kept") << 0 << "Nuova.dat"
                                            << "Nuova.dat";
    }
    void saveNameAndExtension() {
        QFETCH(int, filter);
        QFETCH(QString, typed);
        QFETCH(QString, written);
        QFileDialog dialog;
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        MainWindow::configureSaveDialog(dialog, path);
        // Started on the page's own file, under the filter of its extension.
        QCOMPARE(QDir(dialog.directory()).absolutePath(), QFileInfo(path).absolutePath());
        QCOMPARE(dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text(),
                 QStringLiteral("Lista.Bin"));
        QVERIFY(dialog.selectedNameFilter().startsWith(QStringLiteral("File Bin")));
        QCOMPARE(dialog.defaultSuffix(), QStringLiteral("Bin"));
        // The user picks a filter and types a name.
        auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        QVERIFY(types);
        types->setCurrentIndex(filter);
        emit types->activated(filter);
        emit types->textActivated(types->currentText());
        auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        // Typed over the proposed name, key by key, as the user does: the dialog follows
        // the typing with its own selection of files.
        name->selectAll();
        QTest::keyClicks(name, typed);
        QVERIFY(QMetaObject::invokeMethod(&dialog, "accept"));
        QCOMPARE(QFileInfo(dialog.selectedFiles().value(0)).fileName(), written);
    }

    // A name typed without extension beside a file of that name whose extension is
    // spelt in another case is that file: the dialog asks before replacing it, and the
    // answer Yes gives the existing name, not a new file beside it.
    void typedNameTakesTheExistingFilesSpelling_data() {
        QTest::addColumn<int>("filter");
        QTest::addColumn<QString>("existing");
        QTest::newRow("bin under Bin") << 0 << "Vecchia.bin";
        QTest::newRow("BIN under Bin") << 0 << "Vecchia.BIN";
        QTest::newRow("dAt under Dat") << 1 << "Vecchia.dAt";
        QTest::newRow("rcu under RCU") << 2 << "Vecchia.rcu";
        QTest::newRow("dat under all files") << 3 << "Vecchia.dat";
    }
    void typedNameTakesTheExistingFilesSpelling() {
        QFETCH(int, filter);
        QFETCH(QString, existing);
        const QString there = folder->write(existing.toStdString(), rivo::Bytes(16, 0));
        QFileDialog dialog;
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        MainWindow::configureSaveDialog(dialog, path);
        auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        QVERIFY(types);
        types->setCurrentIndex(filter);
        emit types->activated(filter);
        emit types->textActivated(types->currentText());
        auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        name->selectAll();
        QTest::keyClicks(name, QStringLiteral("Vecchia"));
        QString asked;
        QTimer::singleShot(0, &dialog, [&] {
            QTimer::singleShot(100, &dialog, [&] {
                if (auto* question =
                        qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                    asked = question->text();
                    question->button(QMessageBox::Yes)->click();
                }
            });
            QVERIFY(QMetaObject::invokeMethod(&dialog, "accept"));
        });
        dialog.exec();
        QVERIFY2(asked.contains(existing), qPrintable(asked));
        QCOMPARE(QFileInfo(dialog.selectedFiles().value(0)).fileName(), existing);
        QFile::remove(there);
    }

    // The spelling is looked up only for a bare name, and nothing is found for a name
    // with no file behind it.
    void existingSpellingNeedsABareName() {
        const QString there = folder->write("Altra.bIn", rivo::Bytes(16, 0));
        const QDir dir = QFileInfo(there).absoluteDir();
        QCOMPARE(
            MainWindow::existingSuffixSpelling(dir, QStringLiteral("Altra"), QStringLiteral("Bin")),
            QStringLiteral("bIn"));
        QCOMPARE(MainWindow::existingSuffixSpelling(dir, QStringLiteral("Altra.x"),
                                                    QStringLiteral("Bin")),
                 QStringLiteral("Bin"));
        QCOMPARE(MainWindow::existingSuffixSpelling(dir, QStringLiteral("Nessuna"),
                                                    QStringLiteral("Bin")),
                 QStringLiteral("Bin"));
        QCOMPARE(
            MainWindow::existingSuffixSpelling(dir, QStringLiteral("altra"), QStringLiteral("Bin")),
            QStringLiteral("Bin"));
        QCOMPARE(MainWindow::existingSuffixSpelling(dir, QString(), QStringLiteral("Dat")),
                 QStringLiteral("Dat"));
        QFile::remove(there);
    }

    // The dialog proposes the page's file name exactly as it is spelt: the filter of its
    // extension does not respell it, so Enter saves the same file.
    void saveDialogKeepsTheFilesOwnName_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("filterStart");
        QTest::newRow("lower-case bin") << "G.bin"
                                        << "File Bin";
        QTest::newRow("upper-case BIN") << "G.BIN"
                                        << "File Bin";
        QTest::newRow("lower-case dat") << "plain.dat"
                                        << "File Dat";
        QTest::newRow("mixed rcu") << "lista.rCu"
                                   << "File RCU";
        QTest::newRow("own spelling") << "Proprio.Bin"
                                      << "File Bin";
    }
    void saveDialogKeepsTheFilesOwnName() {
        QFETCH(QString, name);
        QFETCH(QString, filterStart);
        const QString own = folder->write(name.toStdString(), rivo::Bytes(16, 0));
        QFileDialog dialog;
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        MainWindow::configureSaveDialog(dialog, own);
        QCOMPARE(dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text(), name);
        QVERIFY(dialog.selectedNameFilter().startsWith(filterStart));
        QFile::remove(own);
    }

    // The same file on two pages: saving one leaves the other's memory of the file
    // behind, so the other's save asks first (No by default: the file keeps what the
    // first page saved, and the page stays modified); Yes replaces it. A file rewritten
    // by another program asks the same way; an unchanged one does not.
    void changedOnDiskIsNeverOverwrittenWithoutAsking() {
        const std::string question =
            "Il file è stato modificato da un altro programma dopo l'apertura. Sovrascriverlo?";
        const QString shared = folder->write(
            "Condiviso.Bin", BuildChannelImage(MakeChannelImageSpec(ListLayout::Split, 40, 6)));
        QVERIFY(OpenThroughDialog(*window, shared));
        QVERIFY(OpenAgain(*window, prompts, shared));
        QCOMPARE(window->pageCount(), 3);
        PageView* first = window->pageView(1);
        PageView* second = window->pageView(2);
        window->chooseSaveFile = [&](const QString& current) { return current; };
        const auto saveFrom = [&](PageView* page, const std::string& name) {
            page->page().channelGrid.setCell(2, ch::Name, name);  // a channel in no list
            page->page().modified = true;
            window->pageTabs->setCurrentWidget(page);
            window->activePageChanged(window->pageTabs->currentIndex());
            window->saveAction->trigger();
        };
        const auto savedName = [&] {
            std::string error;
            const auto bytes = ReadWholeFile(QFile::encodeName(shared).toStdString(), error);
            if (!bytes) return error;
            const auto reopened = OpenChannelImage(*bytes);
            return reopened->channelGrid.cell(2, ch::Name);
        };

        prompts.clear();
        saveFrom(first, "PRIMA");  // unchanged on disk since it was read: no question
        QVERIFY2(prompts.asked.empty(), prompts.asked.empty() ? "" : prompts.asked[0].text.c_str());
        QCOMPARE(savedName(), std::string("PRIMA"));

        saveFrom(second, "SECONDA");  // the first page saved over it meanwhile
        QCOMPARE(prompts.asked.size(), size_t{1});
        QCOMPARE(prompts.asked[0].text, question);
        QVERIFY(prompts.asked[0].discarding);
        QCOMPARE(prompts.unexpected, 1);  // answered No, the default
        prompts.clear();
        QCOMPARE(savedName(), std::string("PRIMA"));
        QVERIFY(second->page().modified);

        prompts.answers = {Answer::Yes};
        window->saveAction->trigger();
        QCOMPARE(prompts.asked.size(), size_t{1});
        QCOMPARE(savedName(), std::string("SECONDA"));
        QVERIFY(!second->page().modified);

        // Another program rewrites the file: the first page's save asks too.
        prompts.clear();
        folder->write("Condiviso.Bin",
                      BuildChannelImage(MakeChannelImageSpec(ListLayout::Split, 40, 6)));
        prompts.answers = {Answer::No};
        saveFrom(first, "TERZA");
        QCOMPARE(prompts.asked.size(), size_t{1});
        QCOMPARE(prompts.asked[0].text, question);
        QCOMPARE(savedName(), std::string("Canale 2"));
        // The second page, which saved last, now also meets a changed file.
        prompts.answers = {Answer::Yes};
        saveFrom(second, "QUARTA");
        QCOMPARE(prompts.asked.size(), size_t{2});
        QCOMPARE(savedName(), std::string("QUARTA"));
    }

    // A bar over the page says that its file changed on disk: at once on the other
    // pages of a file one page saved, and for a file another program rewrote when the
    // window is shown again. "Ignora" keeps the page and takes the file as known (a save
    // then asks nothing); "Ricarica" reads the file again.
    void changedOnDiskBarOffersReloadOrIgnore() {
        const QString shared = folder->write(
            "Barra.Bin", BuildChannelImage(MakeChannelImageSpec(ListLayout::Split, 40, 6)));
        QVERIFY(OpenThroughDialog(*window, shared));
        QVERIFY(OpenAgain(*window, prompts, shared));
        PageView* first = window->pageView(1);
        PageView* second = window->pageView(2);
        QVERIFY(!first->changedOnDiskShown());
        QVERIFY(!second->changedOnDiskShown());
        window->chooseSaveFile = [&](const QString& current) { return current; };

        // One page saves: the other learns it at once, before it is even shown.
        prompts.clear();
        first->page().channelGrid.setCell(2, ch::Name, "PRIMA");
        first->page().modified = true;
        window->pageTabs->setCurrentWidget(first);
        window->saveAction->trigger();
        QVERIFY(prompts.asked.empty());
        QVERIFY(!first->changedOnDiskShown());
        QVERIFY(second->changedOnDiskShown());

        // "Ricarica" on an unmodified page reads the file again, without a question.
        window->pageTabs->setCurrentWidget(second);
        second->reloadButton->click();
        QVERIFY(prompts.asked.empty());
        PageView* reloaded = window->pageView(2);
        QVERIFY(reloaded != second);
        QCOMPARE(reloaded->page().channelGrid.cell(2, ch::Name), std::string("PRIMA"));
        QVERIFY(!reloaded->changedOnDiskShown());

        // Another program rewrites the file; the window comes back to the front.
        window->pageTabs->setCurrentWidget(first);
        folder->write("Barra.Bin",
                      BuildChannelImage(MakeChannelImageSpec(ListLayout::Split, 40, 6)));
        QVERIFY(!first->changedOnDiskShown());
        QEvent activation(QEvent::ActivationChange);
        QApplication::sendEvent(window.get(), &activation);
        if (!window->isActiveWindow()) window->noticeFileChanges();  // no window manager here
        QVERIFY(first->changedOnDiskShown());
        QVERIFY(!reloaded->changedOnDiskShown());  // not shown yet: learns it when shown
        window->pageTabs->setCurrentWidget(reloaded);
        QVERIFY(reloaded->changedOnDiskShown());

        // "Ignora": the bar goes, and a save over the file it now knows asks nothing.
        window->pageTabs->setCurrentWidget(first);
        first->ignoreChangeButton->click();
        QVERIFY(!first->changedOnDiskShown());
        first->page().channelGrid.setCell(2, ch::Name, "DOPO");
        first->page().modified = true;
        window->activePageChanged(window->pageTabs->currentIndex());
        prompts.clear();
        window->saveAction->trigger();
        QVERIFY2(prompts.asked.empty(), prompts.asked.empty() ? "" : prompts.asked[0].text.c_str());
        QVERIFY(!first->page().modified);
        window->noticeFileChanges();
        QVERIFY(!first->changedOnDiskShown());
    }

    void savedPageTakesTheName() {
        const QString first = folder->path("Prima.Dat");
        QString started;
        window->chooseSaveFile = [&](const QString& current) {
            started = current;
            return first;
        };
        page().modified = true;
        window->activePageChanged(0);
        QCOMPARE(window->windowTitle(), QStringLiteral("Lista.Bin[*] - Rivo800 Editor - Beta 1"));
        QVERIFY(window->isWindowModified());
        window->saveAction->trigger();
        QCOMPARE(started, path);
        QCOMPARE(window->pageTabs->tabText(0), QStringLiteral("Prima.Dat"));
        QVERIFY(!window->isWindowModified());
        // The next save starts from the new name, and the close question names it.
        page().modified = true;
        window->activePageChanged(0);
        window->saveAction->trigger();
        QCOMPARE(started, first);
        prompts.answers = {Answer::No};
        window->closePageAction->trigger();
        QCOMPARE(prompts.asked.back().text, std::string("Vuoi chiudere il file Prima.Dat?"));
    }

    // Every title fits its column in the header's own font; the name column takes the
    // width the window gains; the side tabs show whole at the smallest size.
    void titlesFitAndTheNameColumnGrows() {
        for (QTableView* table : {view->channelTable, view->transponderTable}) {
            QHeaderView* header = table->horizontalHeader();
            const int margin =
                2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
            for (int c = 0; c < table->model()->columnCount(); ++c) {
                const QString title = table->model()->headerData(c, Qt::Horizontal).toString();
                QVERIFY2(table->columnWidth(c) >=
                             header->fontMetrics().horizontalAdvance(title) + margin,
                         qPrintable(title));
            }
        }
        QTableView* channels = view->channelTable;
        window->resize(722, 509);
        QApplication::processEvents();
        const int narrow = channels->columnWidth(ch::Name);
        const int sid = channels->columnWidth(ch::Sid);
        window->resize(1100, 600);
        QApplication::processEvents();
        int others = 0;
        for (int c = 0; c < ch::Count; ++c)
            if (c != ch::Name) others += channels->columnWidth(c);
        QCOMPARE(channels->columnWidth(ch::Sid), sid);
        QVERIFY(channels->columnWidth(ch::Name) > narrow);
        QCOMPARE(channels->columnWidth(ch::Name), channels->viewport()->width() - others);
        // The transponder table fills the page too: its "Satellite" column takes the rest.
        view->tabs->setCurrentIndex(1);
        QApplication::processEvents();
        QTableView* transponders = view->transponderTable;
        int filled = 0;
        for (int c = 0; c < tp::Count; ++c) filled += transponders->columnWidth(c);
        QCOMPARE(filled, transponders->viewport()->width());
        view->tabs->setCurrentIndex(0);
        window->resize(640, 400);
        QApplication::processEvents();
        QCOMPARE(window->minimumSize(), QSize(640, 400));
        QTabBar* tabs = view->tabs->tabBar();
        QVERIFY(tabs->tabRect(2).bottom() < tabs->height());
        QVERIFY(tabs->tabRect(0).height() >=
                tabs->fontMetrics().horizontalAdvance(QStringLiteral("Canali")));
    }

    void geometryAndWidthsAreKept() {
        window->resize(760, 540);  // within the test screen (800 x 800)
        view->channelTable->setColumnWidth(ch::Sid, 93);
        QVERIFY(window->close());
        auto second = std::make_unique<MainWindow>();
        PrepareWindow(*second, prompts, *folder);
        second->restoreSettings();
        QCOMPARE(second->size(), QSize(760, 540));
        QVERIFY(OpenThroughDialog(*second, path));
        QCOMPARE(second->pageView(0)->channelTable->columnWidth(ch::Sid), 93);
    }

    // A geometry saved on a larger screen (1600 x 990 for a 1600 x 1000 one) opens
    // shrunk to this screen and wholly on it: tool bar, status bar and the right-hand
    // columns within reach.
    void geometryFromALargerScreenFitsThisOne() {
        window->setGeometry(0, 0, 1600, 990);
        QCOMPARE(window->size(), QSize(1600, 990));
        QVERIFY(window->close());
        auto second = std::make_unique<MainWindow>();
        PrepareWindow(*second, prompts, *folder);
        second->restoreSettings();
        second->show();
        QVERIFY(QTest::qWaitForWindowExposed(second.get()));
        const QRect available = second->screen()->availableGeometry();
        QCOMPARE(available.size(), QSize(800, 800));  // the test screen
        QTRY_VERIFY2(available.contains(second->frameGeometry()),
                     qPrintable(QStringLiteral("%1,%2 %3x%4")
                                    .arg(second->frameGeometry().x())
                                    .arg(second->frameGeometry().y())
                                    .arg(second->frameGeometry().width())
                                    .arg(second->frameGeometry().height())));
        QVERIFY(second->statusBar()->isVisible());
        QVERIFY(available.contains(
            second->statusBar()->mapToGlobal(second->statusBar()->rect().bottomRight())));
    }

    // The list-name cell takes 8 characters as typed; the label shows all of them.
    void listNamesFit() {
        view->tabs->setCurrentIndex(2);
        QTableView* config = view->configTable;
        const QModelIndex cell = config->model()->index(0, 1);
        config->setCurrentIndex(cell);
        config->edit(cell);
        auto* editor = config->findChild<QLineEdit*>();
        QVERIFY(editor);
        editor->selectAll();
        QTest::keyClicks(editor, QStringLiteral("WWWWWWWWWW"));
        QCOMPARE(editor->text(), QStringLiteral("WWWWWWWW"));
        QTest::keyClick(editor, Qt::Key_Return);
        QApplication::processEvents();  // the delegate commits after the key
        QCOMPARE(page().configGrid.cell(1, 1), std::string("WWWWWWWW"));
        QVERIFY(prompts.asked.empty());  // nothing to refuse afterwards
        view->selectFavouriteList(0);
        QLabel* label = view->selectedListLabel;
        QCOMPARE(label->text(), QStringLiteral("Lista selezionata: WWWWWWWW"));
        QVERIFY(label->fontMetrics().horizontalAdvance(label->text()) <= label->width());
        QVERIFY(label->geometry().right() < view->configBox->width());
    }

    void smallDialogs() {
        // The go-to / move dialog cannot be resized.
        RowNumberDialog number(prompts);
        QCOMPARE(number.minimumSize(), number.maximumSize());
        // The channel dialog: Enter in a box presses Ok, on either page.
        ChannelDialog dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        for (int tab : {0, 1}) {
            dialog.pages()->setCurrentIndex(tab);
            QPushButton* ok = tab == 0 ? dialog.okButton() : dialog.transponderOkButton();
            QVERIFY(ok->isDefault());
        }
        dialog.pages()->setCurrentIndex(0);
        // Numbers every field stores: Ok then asks nothing first.
        ChannelDialogValues values;
        values.boxes = {"Nome", "1", "2", "3", "4", "5", "6", "7"};
        dialog.setValues(values);
        EditCaptioned(dialog, "Nome")->setFocus();
        QTest::keyClick(EditCaptioned(dialog, "Nome"), Qt::Key_Return);
        QCOMPARE(dialog.result(), ChannelDialog::kResultOk);
    }

    // Double-click on an inactive channel: the note says what Ok will do; not on an
    // active one.
    void inactiveChannelNote() {
        int inactive = 0, active = 0;
        for (int r = 1; r <= page().channelCount() && (!inactive || !active); ++r) {
            ChannelDialogValues values;
            int& found = FillFromRow(page(), r, values).wasActive ? active : inactive;
            if (!found) found = r;
        }
        QVERIFY(inactive > 0 && active > 0);
        for (auto [row, noteShown] : {std::pair{inactive, true}, std::pair{active, false}}) {
            bool seen = !noteShown;
            ChannelDialog::setExecHook([&](ChannelDialog& d) {
                seen = d.inactiveNote()->isVisible();
                QVERIFY(d.inactiveNote()->text().contains(QStringLiteral("\"Attivo\"")));
                d.cancelButton()->click();
            });
            view->setCurrentChannelRow(row);
            window->editChannel();
            QCOMPARE(seen, noteShown);
            QVERIFY(!window->channelDialog->inactiveNote()->isVisibleTo(window->channelDialog));
        }
    }

    void optimiseWithNothingToMergeSaysSo() {
        view->tabs->setCurrentIndex(1);
        window->optimiseTranspondersAction->trigger();
        if (!page().modified)
            QCOMPARE(window->statusMessage->text(),
                     QStringLiteral("Nessun transponder doppio da unire"));
        // A second run never has anything left to merge.
        window->optimiseTranspondersAction->trigger();
        QCOMPARE(window->statusMessage->text(),
                 QStringLiteral("Nessun transponder doppio da unire"));

        // The pointer passes over a tool button: its hint covers the message while it
        // rests there, and the message is back when it leaves.
        QToolButton* button =
            qobject_cast<QToolButton*>(window->toolBar->widgetForAction(window->openAction));
        QVERIFY(button);
        const QString hint = window->openAction->statusTip();
        QVERIFY(!hint.isEmpty());
        QStatusTipEvent enter(hint);
        QApplication::sendEvent(button, &enter);
        QCOMPARE(window->statusBar()->currentMessage(), hint);
        QVERIFY(!window->statusMessage->isVisibleTo(window.get()));
        QStatusTipEvent leave{QString()};
        QApplication::sendEvent(button, &leave);
        QCOMPARE(window->statusBar()->currentMessage(), QString());
        QVERIFY(window->statusMessage->isVisibleTo(window.get()));
        QCOMPARE(window->statusMessage->text(),
                 QStringLiteral("Nessun transponder doppio da unire"));
        // A command that reports nothing, at once: the message stays its five seconds.
        window->findAction->trigger();
        view->setCurrentChannelRow(1);
        window->insertChannelAction->trigger();
        QCOMPARE(window->statusMessage->text(),
                 QStringLiteral("Nessun transponder doppio da unire"));
        // Undo says what it took back.
        window->undoAction->trigger();
        QCOMPARE(window->statusMessage->text(), QStringLiteral("Annullato: Inserimento canale"));
        window->redoAction->trigger();
        QCOMPARE(window->statusMessage->text(), QStringLiteral("Ripetuto: Inserimento canale"));
    }
};

static const int kRegistered = RegisterTest([]() -> QObject* { return new SafeEditingTest; });

#include "test_safe_editing.moc"
