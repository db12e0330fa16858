// "Importa ordine da file..." in the "Modifica" menu: the list put into the order of a
// spreadsheet file or a plain reference list, after a preview, as one undo step.
#include <QAction>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QMenu>
#include <QTableView>

#include "channels/csv_import.h"
#include "dialogs/file_order_dialog.h"
#include "dialogs/qt_text.h"
#include "editing/file_order.h"
#include "image/kvx_image.h"
#include "shell/main_window.h"
#include "shell/page_view.h"
#include "shell/window_texts.h"

namespace {

using window_text::kAttention;

// Selects channel rows first .. last (1-based), first becoming the current row.
void SelectRows(PageView& view, int first, int last) {
    QAbstractItemModel* model = view.channelTable->model();
    if (first < 1 || last < first || last > model->rowCount()) return;
    const QModelIndex top = model->index(first - 1, 0);
    QItemSelectionModel* selection = view.channelTable->selectionModel();
    selection->setCurrentIndex(top, QItemSelectionModel::NoUpdate);
    selection->select(QItemSelection(top, model->index(last - 1, model->columnCount() - 1)),
                      QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    view.channelTable->scrollTo(top);
}

}  // namespace

void MainWindow::createFileOrderCommands() {
    importOrderAction = new QAction(QTr("Importa ordine da &file..."), this);
    importOrderAction->setObjectName(QStringLiteral("importOrderAction"));
    importOrderAction->setStatusTip(QTr("Riporta la lista nell'ordine di un file CSV modificato in un foglio di calcolo"));
    editMenu->addAction(importOrderAction);
    connect(importOrderAction, &QAction::triggered, this, &MainWindow::importOrderFromFile);
    chooseOrderFile = [this](const QString& folder) {
        // The patterns are not the translator's business: only the names around them are.
        return QFileDialog::getOpenFileName(
            this, QTr(rivo::kFileOrderCaption), folder,
            QTr("File CSV o di testo (%1);;Tutti i files (%2)")
                .arg(QStringLiteral("*.csv *.CSV *.txt *.TXT"), QStringLiteral("*")));
    };
    runFileOrderDialog = [](FileOrderDialog& dialog) { return dialog.exec() == QDialog::Accepted; };
}

void MainWindow::importOrderFromFile() {
    PageView* view = activePage();
    if (!view) return;
    const QFileInfo image(QFile::decodeName(QByteArray::fromStdString(view->page().fileName)));
    const QString path = chooseOrderFile ? chooseOrderFile(image.absolutePath()) : QString();
    if (path.isEmpty()) return;

    std::string error;
    const auto bytes = rivo::ReadWholeFile(QFile::encodeName(path).toStdString(), error);
    if (!bytes) {
        prompts().tell(error, rivo::Tr(kAttention), rivo::Icon::Error);
        return;
    }
    const rivo::ReferenceFileResult read =
        rivo::ReadReferenceFile(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
    if (!read.file) {
        prompts().tell(rivo::Fmt(rivo::Tr("Il file %1 non può essere letto come lista di canali.\n%2"),
                                 QFileInfo(path).fileName().toStdString(), read.error),
                       rivo::Tr(kAttention), rivo::Icon::Warning);
        return;
    }
    const rivo::ReferenceFile& file = *read.file;
    rivo::ListPage& page = view->page();
    const rivo::FileOrderMatch match = rivo::MatchFileOrder(page, file);
    FileOrderDialog dialog(rivo::MakeFileOrderPreview(page, file, match), prompts(), this);
    if (!runFileOrderDialog || !runFileOrderDialog(dialog)) return;
    const rivo::FileOrderOptions options = dialog.options();

    rivo::EditResult result;
    runOnPage(*view, rivo::kFileOrderStep, [&](PageView& v) {
        result = rivo::ApplyFileOrder(v.page(), file, match, options, progress());
    });
    progress().hide();
    if (!result.changed) return;
    tellStatus(QString::fromStdString(rivo::FileOrderStatusText(match, options.deleteUnmatched)));
    // The channels the file did not name stand together at the end.
    if (result.focusRow > 0 && !match.match.unmatchedCurrent.empty())
        SelectRows(*view, result.focusRow, page.channelCount());
}
