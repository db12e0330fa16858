#include "shell/print_controller.h"

#include <QAction>
#include <QDateTime>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLocale>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QSaveFile>
#include <algorithm>
#include <array>

#include "channels/cp1252.h"
#include "channels/list_page.h"
#include "dialogs/qt_text.h"
#include "editing/row_selection.h"
#include "shell/channel_filter_bar.h"
#include "shell/main_window.h"
#include "shell/page_view.h"
#include "shell/window_texts.h"

namespace {

// The share of the text width each column takes, per table: channels, favourites.
constexpr std::array<double, 6> kChannelColumns{0.09, 0.31, 0.14, 0.07, 0.12, 0.27};
constexpr std::array<double, 3> kFavouriteColumns{0.09, 0.40, 0.12};
constexpr int kFontPoints = 9;

QString Text(const std::string& cell) { return QString::fromStdString(cell); }
QString NameText(const std::string& cell) {
    return QString::fromStdString(rivo::Cp1252ToUtf8(cell));
}

// What the row's colour says of the channel, with the status code the table shows.
QString StateText(const rivo::Grid& channels, int row) {
    const std::uint32_t colour = channels.colour(row);
    const QString kind = colour == rivo::kColourGrey           ? QTr("Non attivo")
                         : colour == rivo::kColourRadio        ? QTr("Radio")
                         : colour == rivo::kColourNoAudioVideo ? QTr("Dati")
                         : colour == rivo::kColourChannel      ? QTr("TV")
                                                               : QString();
    const QString code = Text(channels.cell(row, rivo::ch::Status));
    if (kind.isEmpty()) return code;
    return code.isEmpty() ? kind : QStringLiteral("%1 (%2)").arg(kind, code);
}

const std::array<double, 6>& Widths(int table) {
    static const std::array<double, 6> favourites{
        kFavouriteColumns[0], kFavouriteColumns[1], kFavouriteColumns[2], 0, 0, 0};
    return table == 0 ? kChannelColumns : favourites;
}

}  // namespace

PrintController::PrintController(MainWindow& window) : QObject(&window), window_(window) {
    printAction = new QAction(QTr("Sta&mpa..."), this);
    printAction->setObjectName(QStringLiteral("printAction"));
    printAction->setShortcut(QKeySequence(QKeySequence::Print));
    printAction->setShortcutContext(Qt::WindowShortcut);
    printAction->setStatusTip(QTr("Stampa la lista dei canali e i preferiti, con un'anteprima"));
    pdfAction = new QAction(QTr("Esporta P&DF..."), this);
    pdfAction->setObjectName(QStringLiteral("pdfAction"));
    pdfAction->setStatusTip(QTr("Scrive la lista dei canali e i preferiti in un file PDF"));
    window.addAction(printAction);
    connect(printAction, &QAction::triggered, this, &PrintController::print);
    connect(pdfAction, &QAction::triggered, this, &PrintController::exportPdf);
    connect(&window, &MainWindow::activePageShown, this, &PrintController::setActivePage);
    setActivePage(nullptr);

    choosePdfFile = [this](const QString& suggested, const QString& caption) {
        QFileDialog dialog(&window_, caption);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setNameFilters({QTr("File PDF (*.pdf)"), QTr("Tutti i file (*)")});
        dialog.setDefaultSuffix(QStringLiteral("pdf"));
        dialog.selectFile(suggested);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return QString();
        return dialog.selectedFiles().first();
    };
    runPreview = [](QPrintPreviewDialog& preview) { preview.exec(); };
}

void PrintController::setActivePage(PageView* view) {
    page_ = view;
    printAction->setEnabled(view != nullptr);
    pdfAction->setEnabled(view != nullptr);
}

QString PrintController::filterNote(PageView& view) {
    if (!view.filterBar || !view.filterBar->active()) return QString();
    return QTr("Solo i canali mostrati dal filtro: %1 di %2")
        .arg(view.filterBar->shownCount())
        .arg(view.page().channelCount());
}

std::vector<PrintController::Line> PrintController::linesOf(PageView& view) {
    const rivo::ListPage& page = view.page();
    const rivo::Grid& channels = page.channelGrid;
    const rivo::Grid& transponders = page.transponderGrid;
    const bool filtered = view.filterBar && view.filterBar->active();
    std::vector<Line> lines;
    lines.reserve(static_cast<size_t>(page.channelCount()) + 8 * 140);
    lines.push_back({Line::Title, {QTr("Canali")}, 0});
    lines.push_back(
        {Line::Columns,
         {QTr("Num."), QTr("Nome"), QTr("Frequenza"), QTr("Pol."), QTr("SID"), QTr("Stato")},
         0});
    for (int row = 1; row <= page.channelCount(); ++row) {
        // An empty slot (as deleting leaves it) is no channel to list.
        if ((filtered && !view.filterBar->rowShown(row)) || rivo::IsEmptyChannel(page, row))
            continue;
        bool number = false;
        const int t = Text(channels.cell(row, rivo::ch::Transponder)).toInt(&number);
        const bool known = number && t >= 1 && t <= page.transponderCount();
        lines.push_back(
            {Line::Row,
             {Text(channels.cell(row, rivo::ch::Num)), NameText(channels.cell(row, rivo::ch::Name)),
              known ? Text(transponders.cell(t, rivo::tp::Frequency)) : QString(),
              known ? Text(transponders.cell(t, rivo::tp::Polarisation)) : QString(),
              Text(channels.cell(row, rivo::ch::Sid)), StateText(channels, row)},
             0});
    }
    if (page.layout != rivo::ListLayout::Split) return lines;
    for (int list = 0; list < rivo::fav::Lists; ++list) {
        const rivo::Grid& entries = page.favouriteGrids[static_cast<size_t>(list)];
        const int configRow = list + 1;
        const QString name = configRow < page.configGrid.rowCount()
                                 ? NameText(page.configGrid.cell(configRow, 1))
                                 : QString();
        lines.push_back({Line::Title, {QTr("Lista %1: %2").arg(list + 1).arg(name)}, 1});
        lines.push_back({Line::Columns, {QTr("Pos."), QTr("Nome"), QTr("Canale")}, 1});
        for (int slot = 1; slot < entries.rowCount(); ++slot) {
            const std::string& channel = entries.cell(slot, rivo::fav::Channel);
            if (channel.empty() || channel == "0") continue;
            lines.push_back({Line::Row,
                             {Text(entries.cell(slot, rivo::fav::Pos)),
                              NameText(entries.cell(slot, rivo::fav::Name)), Text(channel)},
                             1});
        }
    }
    return lines;
}

int PrintController::paintLines(const std::vector<Line>& lines, QPagedPaintDevice& device,
                                const QString& fileName, const QString& note) {
    QPainter painter(&device);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSize(kFontPoints);
    // No ligatures: the PDF's text then searches and copies as typed ("filtro", not a
    // "fi" glyph). The names are Windows-1252 text, which needs no shaping.
    font.setStyleStrategy(QFont::PreferNoShaping);
    QFont bold = font;
    bold.setBold(true);
    painter.setFont(font);
    const QFontMetrics metrics(font, &device);
    const int lineHeight = metrics.height() * 6 / 5;
    const QRect area = painter.viewport();
    const int headerHeight = 2 * lineHeight;
    const int bodyTop = area.top() + headerHeight;
    const int bodyBottom = area.bottom() - 2 * lineHeight;
    const int perPage = std::max(4, (bodyBottom - bodyTop) / lineHeight);

    // Pages first, to number them "of N": a title never stands last on a page, and a
    // table continued on a new page repeats its column titles.
    struct Placed {
        const Line* line;
        int page;
        int slot;
    };
    std::vector<Placed> placed;
    placed.reserve(lines.size() + lines.size() / static_cast<size_t>(perPage) + 1);
    int page = 0;
    int slot = 0;
    const Line* columns = nullptr;
    for (const Line& line : lines) {
        if (line.kind == Line::Columns) columns = &line;
        // A title takes two lines (a gap above it) and brings its column titles and
        // at least one row onto its page.
        const int height = line.kind == Line::Title ? 2 : 1;
        const int needs = line.kind == Line::Title ? 4 : 1;
        if (slot + needs > perPage) {
            ++page;
            slot = 0;
            if (line.kind == Line::Row && columns) placed.push_back({columns, page, slot++});
        }
        placed.push_back({&line, page, slot});
        slot += height;
    }
    const int pages = page + 1;
    const QString date = QLocale().toString(QDateTime::currentDateTime(), QLocale::ShortFormat);

    int drawn = -1;
    for (const Placed& item : placed) {
        while (drawn < item.page) {
            if (drawn >= 0) device.newPage();
            ++drawn;
            painter.setFont(bold);
            painter.drawText(QRect(area.left(), area.top(), area.width() / 2, lineHeight),
                             Qt::AlignLeft, fileName);
            painter.setFont(font);
            painter.drawText(
                QRect(area.left() + area.width() / 2, area.top(), area.width() / 2, lineHeight),
                Qt::AlignRight, date);
            if (!note.isEmpty())
                painter.drawText(
                    QRect(area.left(), area.top() + lineHeight, area.width(), lineHeight),
                    Qt::AlignLeft, note);
            painter.drawText(QRect(area.left(), bodyBottom + lineHeight, area.width(), lineHeight),
                             Qt::AlignHCenter, QTr("Pagina %1 di %2").arg(drawn + 1).arg(pages));
        }
        const Line& line = *item.line;
        const int y = bodyTop + item.slot * lineHeight;
        if (line.kind == Line::Title) {
            painter.setFont(bold);
            painter.drawText(QRect(area.left(), y + lineHeight, area.width(), lineHeight),
                             Qt::AlignLeft | Qt::AlignVCenter, line.cells.value(0));
            painter.setFont(font);
            continue;
        }
        if (line.kind == Line::Columns) painter.setFont(bold);
        const int baseline = y + (lineHeight + metrics.ascent() - metrics.descent()) / 2;
        int x = area.left();
        const auto& widths = Widths(line.table);
        for (int c = 0; c < line.cells.size() && c < static_cast<int>(widths.size()); ++c) {
            const int width = static_cast<int>(widths[static_cast<size_t>(c)] * area.width());
            // Ten thousand rows: a cell that surely fits is drawn as it is, at its
            // baseline, without measuring it.
            const QString& cell = line.cells[c];
            const int room = width - metrics.averageCharWidth();
            const bool fits = static_cast<qint64>(cell.size()) * metrics.maxWidth() <= room;
            painter.drawText(QPoint(x, baseline),
                             fits ? cell : metrics.elidedText(cell, Qt::ElideRight, room));
            x += width;
        }
        if (line.kind == Line::Columns) {
            painter.setFont(font);
            painter.drawLine(area.left(), y + lineHeight, x, y + lineHeight);
        }
    }
    return pages;
}

bool PrintController::writePdf(PageView& view, const QString& path) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        window_.prompts().tell(
            QTr("Impossibile scrivere il file %1: %2").arg(path, file.errorString()).toStdString(),
            rivo::Tr(window_text::kAttention), rivo::Icon::Error);
        return false;
    }
    {
        QPdfWriter writer(&file);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageOrientation(QPageLayout::Portrait);
        writer.setPageMargins(QMarginsF(15, 12, 15, 12), QPageLayout::Millimeter);
        writer.setTitle(view.caption());
        writer.setCreator(QStringLiteral("Rivo800 Editor"));
        paintLines(linesOf(view), writer, view.caption(), filterNote(view));
    }
    if (!file.commit()) {
        window_.prompts().tell(
            QTr("Impossibile scrivere il file %1: %2").arg(path, file.errorString()).toStdString(),
            rivo::Tr(window_text::kAttention), rivo::Icon::Error);
        return false;
    }
    return true;
}

void PrintController::exportPdf() {
    PageView* view = page_;
    if (!view || !choosePdfFile) return;
    const QFileInfo image(QFile::decodeName(QByteArray::fromStdString(view->page().fileName)));
    const QString suggested =
        image.absolutePath() + QLatin1Char('/') + image.completeBaseName() + QStringLiteral(".pdf");
    const QString note = filterNote(*view);
    const QString caption = note.isEmpty() ? QTr("Esporta PDF") : QTr("Esporta PDF - %1").arg(note);
    const QString path = choosePdfFile(suggested, caption);
    if (path.isEmpty()) return;
    if (writePdf(*view, path)) window_.tellStatus(QTr("PDF scritto: %1").arg(path));
}

void PrintController::print() {
    PageView* view = page_;
    if (!view) return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setDocName(view->caption());
    QPrintPreviewDialog preview(&printer, &window_);
    const QString note = filterNote(*view);
    preview.setWindowTitle(note.isEmpty() ? QTr("Stampa") : QTr("Stampa - %1").arg(note));
    const std::vector<Line> lines = linesOf(*view);
    const QString caption = view->caption();
    connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
            [&](QPrinter* target) { paintLines(lines, *target, caption, note); });
    if (runPreview) runPreview(preview);
}
