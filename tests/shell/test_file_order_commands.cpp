// "Importa ordine da file..." driven through its menu item and its real preview dialog:
// what the preview shows, the question before deleting (No keeps the dialog's Ok from
// closing it), Annulla changing nothing, Ok as one undo step, and a bad file refused.
// Fixture builders first: their field names clash with Qt's keyword macros.
// clang-format off
#include "shell_support.h"
// clang-format on

#include <QAction>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <map>

#include "dialogs/file_order_dialog.h"
#include "editing/file_order.h"
#include "shell/main_window.h"
#include "shell/page_view.h"
#include "test_registry.h"

using namespace rivo;
using namespace rivo::testsupport;

namespace {

std::vector<std::string> Names(const ListPage& page, int first, int last) {
    std::vector<std::string> out;
    for (int r = first; r <= last; ++r) out.push_back(page.channelGrid.cell(r, ch::Name));
    return out;
}

}  // namespace

class FileOrderCommandsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ShellFolder> folder;
    QString imagePath, orderPath, badPath;
    ScriptedPrompts prompts;
    std::unique_ptr<MainWindow> window;
    PageView* view = nullptr;

    ListPage& page() { return view->page(); }

private slots:
    void initTestCase() {
        folder = std::make_unique<ShellFolder>();
        // Twelve channels "Canale 1" .. "Canale 12", SID n.
        imagePath = folder->write(
            "Lista.Bin", BuildChannelImage(MakeChannelImageSpec(ListLayout::Split, 12, 4)));
        // Names and SIDs only: the name pass finds two, and one row names no channel.
        const std::string order =
            "Nome canale;SID\r\nCanale 3;3\r\nSconosciuto;999\r\n\"Canale 1\";1\r\n";
        orderPath = folder->write("Ordine.csv", Bytes(order.begin(), order.end()));
        const std::string bad = "Num.;Nome canale\r\nuno;Canale 1\r\n";
        badPath = folder->write("Rotto.csv", Bytes(bad.begin(), bad.end()));
    }

    void init() {
        prompts.clear();
        window = std::make_unique<MainWindow>();
        PrepareWindow(*window, prompts, *folder);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QVERIFY(OpenThroughDialog(*window, imagePath));
        view = window->pageView(0);
        QVERIFY(window->importOrderAction->isEnabled());
    }

    void cleanup() {
        QCOMPARE(prompts.unexpected, 0);
        window.reset();
    }

    void previewThenDeleteAskedAndAnnulla() {
        window->chooseOrderFile = [&](const QString&) { return orderPath; };
        QString passes;
        int fileRows = -1, currentRows = -1;
        QString unknown;
        bool keepFirst = false, favouritesOffered = true, stayedOnNo = false;
        window->runFileOrderDialog = [&](FileOrderDialog& dialog) {
            passes = dialog.passLabel->text();
            fileRows = dialog.fileTable->rowCount();
            currentRows = dialog.currentTable->rowCount();
            unknown = dialog.fileTable->item(0, 1)->text();
            keepFirst = dialog.keepRadio->isChecked();
            favouritesOffered = dialog.favouritesCheck->isEnabled();  // the file has no lists
            dialog.deleteRadio->setChecked(true);
            prompts.answers.push_back(Answer::No);
            dialog.buttons->button(QDialogButtonBox::Ok)->click();
            stayedOnNo = dialog.result() != QDialog::Accepted;
            dialog.buttons->button(QDialogButtonBox::Cancel)->click();
            return dialog.result() == QDialog::Accepted;
        };
        const Grid before = page().channelGrid;
        window->importOrderAction->trigger();
        QVERIFY(passes.contains(
            QStringLiteral("Passo 1 (numero, SID e nome invariati): non eseguito")));
        QVERIFY(
            passes.contains(QStringLiteral("Passo 5 (nome unico in entrambe le liste): 2 canali")));
        QVERIFY(passes.contains(
            QStringLiteral("2 canali trovati nel file, 10 canali della lista non trovati, "
                           "1 riga del file non trovata")));
        QVERIFY(passes.contains(QStringLiteral("L'ordine è quello delle righe del file.")));
        QCOMPARE(fileRows, 1);
        QCOMPARE(unknown, QStringLiteral("Sconosciuto"));
        QCOMPARE(currentRows, 10);
        QVERIFY(keepFirst);
        QVERIFY(!favouritesOffered);
        // "elimina" asked first, No being the default; No kept the dialog open.
        QCOMPARE(prompts.asked.size(), size_t(1));
        QCOMPARE(prompts.asked[0].text,
                 std::string(
                     "10 canali della lista non sono nel file e verranno eliminati. Continuare?"));
        QVERIFY(prompts.asked[0].discarding);
        QVERIFY(stayedOnNo);
        // Annulla changed nothing.
        QVERIFY(page().channelGrid == before);
        QVERIFY(!page().modified);
        QVERIFY(!window->undoAction->isEnabled());
    }

    // The preview's tables hold under each caption what it says: distinct values for the
    // line, the name, the SID and the frequency.
    void previewColumnsHoldWhatTheirCaptionsSay() {
        const std::string order =
            "Nome canale;SID;Frequenza\r\nCanale 3;3;\r\nSconosciuto;999;12345,5\r\n";
        const QString columnsPath = folder->write("Colonne.csv", Bytes(order.begin(), order.end()));
        window->chooseOrderFile = [&](const QString&) { return columnsPath; };
        // Caption -> text of the table's first row.
        const auto firstRow = [](const QTableWidget& table) {
            std::map<QString, QString> row;
            for (int c = 0; c < table.columnCount(); ++c)
                row[table.horizontalHeaderItem(c)->text()] =
                    table.item(0, c) ? table.item(0, c)->text() : QString();
            return row;
        };
        std::map<QString, QString> fileRow, currentRow;
        window->runFileOrderDialog = [&](FileOrderDialog& dialog) {
            if (dialog.fileTable->rowCount() > 0) fileRow = firstRow(*dialog.fileTable);
            if (dialog.currentTable->rowCount() > 0) currentRow = firstRow(*dialog.currentTable);
            dialog.buttons->button(QDialogButtonBox::Cancel)->click();
            return dialog.result() == QDialog::Accepted;
        };
        window->importOrderAction->trigger();
        using Row = std::map<QString, QString>;
        QCOMPARE(fileRow, (Row{{QStringLiteral("Riga"), QStringLiteral("3")},
                               {QStringLiteral("Nome canale"), QStringLiteral("Sconosciuto")},
                               {QStringLiteral("SID"), QStringLiteral("999")},
                               {QStringLiteral("Frequenza"), QStringLiteral("12345,5")}}));
        QCOMPARE(currentRow, (Row{{QStringLiteral("Num."), QStringLiteral("1")},
                                  {QStringLiteral("Nome canale"), QStringLiteral("Canale 1")},
                                  {QStringLiteral("SID"), QStringLiteral("1")},
                                  {QStringLiteral("Frequenza"), QStringLiteral("10700")}}));
    }

    void okIsOneUndoStep() {
        window->chooseOrderFile = [&](const QString&) { return orderPath; };
        window->runFileOrderDialog = [&](FileOrderDialog& dialog) {
            dialog.namesCheck->setChecked(true);
            dialog.buttons->button(QDialogButtonBox::Ok)->click();
            return dialog.result() == QDialog::Accepted;
        };
        const Grid before = page().channelGrid;
        window->importOrderAction->trigger();
        QCOMPARE(Names(page(), 1, 4),
                 (std::vector<std::string>{"Canale 3", "Canale 1", "Canale 2", "Canale 4"}));
        QVERIFY(page().modified);
        QCOMPARE(window->statusMessage->text(),
                 QStringLiteral("2 canali ordinati secondo il file, 10 non trovati"));
        // The channels the file did not name are selected, from row 3 on.
        QCOMPARE(view->selectedChannelRows().first, 3);
        QVERIFY(window->undoAction->text().contains(QStringLiteral("Importa ordine da file")));
        window->undoAction->trigger();
        QVERIFY(page().channelGrid == before);
        QVERIFY(!page().modified);
        // The rows the order changed, and no others.
        QCOMPARE(view->selectedChannelSet(), (std::vector<int>{1, 2, 3}));
        window->redoAction->trigger();
        QCOMPARE(view->selectedChannelSet(), (std::vector<int>{1, 2, 3}));
    }

    void badFileIsRefusedWithItsLine() {
        window->chooseOrderFile = [&](const QString&) { return badPath; };
        bool shown = false;
        window->runFileOrderDialog = [&](FileOrderDialog&) { return shown = true; };
        const Grid before = page().channelGrid;
        window->importOrderAction->trigger();
        QVERIFY(!shown);
        QCOMPARE(prompts.asked.size(), size_t(1));
        const std::string& text = prompts.asked[0].text;
        QVERIFY2(text.find("Rotto.csv") != std::string::npos &&
                     text.find("Riga 2") != std::string::npos &&
                     text.find("'uno'") != std::string::npos,
                 text.c_str());
        QVERIFY(page().channelGrid == before);
        QVERIFY(!page().modified);
    }
};

static const int kRegistered = RegisterTest([]() -> QObject* { return new FileOrderCommandsTest; });

#include "test_file_order_commands.moc"
