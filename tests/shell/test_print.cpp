// "Esporta PDF..." and "Stampa...": the PDF read back with pdftotext holds the file's
// name, the first and the last channel with their transponders, every favourites list
// under its name and the page numbers; with the filter set, only its rows, said in the
// header; the print preview paints the same pages.
// Fixture builders first: their field names clash with Qt's keyword macros.
// clang-format off
#include "shell_support.h"
// clang-format on

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>
#include <memory>

#include "shell/channel_filter_bar.h"
#include "shell/editor_settings.h"
#include "shell/main_window.h"
#include "shell/page_view.h"
#include "shell/print_controller.h"
#include "test_registry.h"

using namespace rivo;
using namespace rivo::testsupport;

class PrintTest : public QObject {
    Q_OBJECT
    std::unique_ptr<ShellFolder> folder;
    ScriptedPrompts prompts;
    std::unique_ptr<MainWindow> window;

    // Writes the active page's PDF through the menu item and returns its text.
    QString pdfText(const QString& name, QString* caption = nullptr) {
        const QString path = folder->path(name.toStdString());
        window->printing->choosePdfFile = [&](const QString&, const QString& shown) {
            if (caption) *caption = shown;
            return path;
        };
        window->printing->pdfAction->trigger();
        QProcess reader;
        reader.start(QStringLiteral("pdftotext"),
                     {QStringLiteral("-layout"), path, QStringLiteral("-")});
        if (!reader.waitForFinished(60000) || reader.exitCode() != 0)
            return QStringLiteral("pdftotext failed");
        return QString::fromUtf8(reader.readAllStandardOutput());
    }
    // A channel's row: its number, its name "Canale N", a frequency and a polarisation.
    static QString channelRow(const QString& number) {
        return QStringLiteral("^\\s*(%1)\\s+Canale \\1\\s+[0-9,]+\\s+[HV]\\s").arg(number);
    }
    static int count(const QString& text, const QString& pattern) {
        return static_cast<int>(
            text.count(QRegularExpression(pattern, QRegularExpression::MultilineOption)));
    }

private slots:
    void initTestCase() {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("pdftotext (poppler-utils) is not installed: scripts/setup-deps.sh installs it");
        folder = std::make_unique<ShellFolder>();
    }
    void init() {
        window = std::make_unique<MainWindow>();
        PrepareWindow(*window, prompts, *folder);
    }
    void cleanup() {
        window.reset();
        QCOMPARE(prompts.unexpected, 0);
    }

    void pdfHoldsChannelsAndNamedLists() {
        ChannelImageSpec spec = MakeChannelImageSpec(ListLayout::Split, 80, 6);
        spec.listNames = {"Film",    "Musica", "Sport", "Notizie",
                          "Bambini", "Docu",   "Meteo", "Estero"};
        spec.favourites[7] = {80};
        QVERIFY(!window->printing->printAction->isEnabled());
        QVERIFY(!window->printing->pdfAction->isEnabled());
        QVERIFY(OpenThroughDialog(*window, folder->write("Stampa.Bin", BuildChannelImage(spec))));
        QVERIFY(window->printing->printAction->isEnabled());
        QVERIFY(window->printing->pdfAction->isEnabled());
        const QString text = pdfText(QStringLiteral("Stampa.pdf"));
        QVERIFY2(text.contains(QStringLiteral("Stampa.Bin")), qPrintable(text.left(400)));
        QCOMPARE(count(text, channelRow(QStringLiteral("1"))), 1);
        QCOMPARE(count(text, channelRow(QStringLiteral("80"))), 1);
        // Every channel row, each with its number.
        QCOMPARE(count(text, channelRow(QStringLiteral("\\d+"))), 80);
        for (const char* list :
             {"Lista 1: Film", "Lista 2: Musica", "Lista 3: Sport", "Lista 4: Notizie",
              "Lista 5: Bambini", "Lista 6: Docu", "Lista 7: Meteo", "Lista 8: Estero"})
            QVERIFY2(text.contains(QString::fromUtf8(list)), list);
        QVERIFY(text.contains(QStringLiteral("Pagina 1 di 3")));
        QVERIFY(text.contains(QStringLiteral("Pagina 3 di 3")));
        QVERIFY(!text.contains(QStringLiteral("filtro")));
        QCOMPARE(window->statusMessage->text(),
                 QStringLiteral("PDF scritto: %1").arg(folder->path("Stampa.pdf")));

        // The preview paints the same three pages.
        int previewPages = 0;
        window->printing->runPreview = [&](QPrintPreviewDialog& preview) {
            auto* widget = preview.findChild<QPrintPreviewWidget*>();
            widget->updatePreview();
            previewPages = widget->pageCount();
        };
        window->printing->printAction->trigger();
        QCOMPARE(previewPages, 3);
    }

    void filteredRowsOnly() {
        QVERIFY(OpenThroughDialog(
            *window, folder->write("Filtro.Bin", BuildChannelImage(MakeChannelImageSpec(
                                                     ListLayout::Single, 30, 4)))));
        PageView* view = window->pageView(0);
        view->filterBar->textEdit->setText(QStringLiteral("Canale 2"));
        view->filterBar->apply();
        QString caption;
        const QString text = pdfText(QStringLiteral("Filtro.pdf"), &caption);
        QCOMPARE(caption,
                 QStringLiteral("Esporta PDF - Solo i canali mostrati dal filtro: 11 di 30"));
        QVERIFY(text.contains(QStringLiteral("Solo i canali mostrati dal filtro: 11 di 30")));
        QCOMPARE(count(text, channelRow(QStringLiteral("\\d+"))), 11);
        QCOMPARE(count(text, channelRow(QStringLiteral("2"))), 1);
        QCOMPARE(count(text, channelRow(QStringLiteral("29"))), 1);
        QCOMPARE(count(text, channelRow(QStringLiteral("3"))), 0);
        // The Single layout has no favourites lists to print.
        QVERIFY(!text.contains(QStringLiteral("Lista 1")));
    }

    // The largest list: every one of its 9,990 channels, the last page numbered.
    void largestListHoldsEveryChannel() {
        QVERIFY(OpenThroughDialog(
            *window,
            folder->write("Grande.Bin", BuildChannelImage(MakeLargestChannelImageSpec()))));
        const QString text = pdfText(QStringLiteral("Grande.pdf"));
        QCOMPARE(count(text, channelRow(QStringLiteral("\\d+"))), 9990);
        QCOMPARE(count(text, channelRow(QStringLiteral("9990"))), 1);
        // Each page ends in a form feed and is numbered of 194.
        QCOMPARE(count(text, QStringLiteral("\f")), 194);
        QCOMPARE(count(text, QStringLiteral("Pagina \\d+ di 194")), 194);
        QVERIFY(text.contains(QStringLiteral("Pagina 194 di 194")));
    }
};

static const int kRegistered = RegisterTest([]() -> QObject* { return new PrintTest; });

#include "test_print.moc"
