// File > "Stampa..." (Ctrl+P) and "Esporta PDF...": the active page's channel list
// (number, name, transponder frequency and polarisation, SID, state) and, in the Split
// layout, the eight favourites lists under their names, on A4 portrait pages with the
// file's name, the date and the page numbers. With the filter bar set, only the rows
// it shows are printed, and the header says so.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

class MainWindow;
class PageView;
class QAction;
class QPagedPaintDevice;
class QPrintPreviewDialog;

class PrintController : public QObject {
    Q_OBJECT
public:
    explicit PrintController(MainWindow& window);

    QAction* printAction = nullptr;  // "Stampa..."
    QAction* pdfAction = nullptr;    // "Esporta PDF..."

    // How the PDF's file is asked for, starting from `suggested`, under `caption` (which
    // says when only the filter's rows go): "" when cancelled.
    std::function<QString(const QString& suggested, const QString& caption)> choosePdfFile;
    // How the print preview is run: by default shown modally.
    std::function<void(QPrintPreviewDialog&)> runPreview;

    // One printed line: a section's title, a table's column titles, or a table row.
    struct Line {
        enum Kind { Title, Columns, Row } kind = Row;
        QStringList cells;
        int table = 0;  // which column layout: 0 the channels, 1 a favourites list
    };
    // What view prints, in order.
    static std::vector<Line> linesOf(PageView& view);
    // "Solo i canali mostrati dal filtro: X di Y" while the filter bar hides rows, else "".
    static QString filterNote(PageView& view);
    // Paints lines on device's pages (already started on its first); the page count.
    static int paintLines(const std::vector<Line>& lines, QPagedPaintDevice& device,
                          const QString& fileName, const QString& note);
    // Writes the PDF of view to path (replacing it only once whole); false after telling why.
    bool writePdf(PageView& view, const QString& path);

public slots:
    void print();
    void exportPdf();
    void setActivePage(PageView* view);

private:
    MainWindow& window_;
    PageView* page_ = nullptr;
};
