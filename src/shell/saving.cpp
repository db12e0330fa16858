// Saving a page (the save dialog's filters and the save itself), closing a page, and
// leaving the editor (the question about unsaved pages).
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QTabBar>
#include <QTabWidget>
#include <filesystem>
#include <string>
#include <vector>

#include "channels/list_page.h"
#include "channels/page_io.h"
#include "dialogs/qt_text.h"
#include "shell/main_window.h"
#include "shell/page_view.h"
#include "shell/window_texts.h"

namespace {
using window_text::kApplicationTitle;
using window_text::kAttention;
constexpr const char* kStepSave = rivo::TrNoop("Salvataggio");
constexpr const char* kChangedOnDiskQuestion = rivo::TrNoop(
    "Il file è stato modificato da un altro programma dopo l'apertura. Sovrascriverlo?");

// The save dialog's filters and the extension each gives a name typed without one.
struct SaveFilter {
    const char* filter;
    const char* suffix;
};
constexpr SaveFilter kSaveFilters[] = {
    // Each extension also in its lower- and upper-case spelling: names are compared
    // case-sensitively here.
    {rivo::TrNoop("File Bin (*.Bin *.bin *.BIN)"), "Bin"},
    {rivo::TrNoop("File Dat (*.Dat *.dat *.DAT)"), "Dat"},
    {rivo::TrNoop("File RCU (*.RCU *.Rcu *.rcu)"), "RCU"},
    {rivo::TrNoop("Tutti i file (*)"), "Dat"},
};
}  // namespace

QString MainWindow::saveSuffixForFilter(const QString& filter) {
    for (const SaveFilter& f : kSaveFilters)
        if (filter == QTr(f.filter)) return QString::fromLatin1(f.suffix);
    return QStringLiteral("Dat");
}

void MainWindow::configureSaveDialog(QFileDialog& dialog, const QString& current) {
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    QStringList filters;
    for (const SaveFilter& f : kSaveFilters) filters << QTr(f.filter);
    dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(QStringLiteral("Dat"));
    // A name typed without extension gets the one of the filter shown, so that the
    // open dialog's matching filter finds the file again; spelt as a file already
    // there spells it, so that "G" beside "G.bin" is that file (and the dialog asks
    // before replacing it), not a new "G.Bin" beside it.
    QLineEdit* nameEdit = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    const auto followTypedName = [&dialog, nameEdit] {
        const QString suffix = saveSuffixForFilter(dialog.selectedNameFilter());
        const QString typed = nameEdit ? nameEdit->text() : QString();
        dialog.setDefaultSuffix(existingSuffixSpelling(dialog.directory(), typed, suffix));
    };
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, followTypedName);
    QObject::connect(&dialog, &QFileDialog::directoryEntered, &dialog, followTypedName);
    if (nameEdit) QObject::connect(nameEdit, &QLineEdit::textChanged, &dialog, followTypedName);
    if (current.isEmpty()) return;
    const QFileInfo file(current);
    dialog.setDirectory(file.absolutePath());
    dialog.selectFile(file.fileName());
    // The filter of the file's own extension, when it has one of ours.
    for (const SaveFilter& f : kSaveFilters) {
        if (file.suffix().compare(QLatin1String(f.suffix), Qt::CaseInsensitive) == 0) {
            dialog.selectNameFilter(QTr(f.filter));
            dialog.setDefaultSuffix(QString::fromLatin1(f.suffix));
            break;
        }
    }
    // Choosing a filter respells the name shown with the filter's first extension:
    // "G.bin" would become a new file "G.Bin". The name is put back as the file has it.
    if (nameEdit) nameEdit->setText(file.fileName());
}

QString MainWindow::existingSuffixSpelling(const QDir& folder, const QString& typed,
                                           const QString& suffix) {
    if (typed.isEmpty() || typed.endsWith(QLatin1Char('/')) || !QFileInfo(typed).suffix().isEmpty())
        return suffix;
    // Every spelling of the extension, the filter's own first: at most 2^3 names to try.
    const int letters = static_cast<int>(suffix.size());
    if (letters > 8) return suffix;
    for (int mask = 0; mask < (1 << letters); ++mask) {
        QString spelling = suffix;
        for (int i = 0; i < letters; ++i)
            if (mask & (1 << i))
                spelling[i] = spelling[i].isUpper() ? spelling[i].toLower() : spelling[i].toUpper();
        if (QFileInfo(folder, typed + QLatin1Char('.') + spelling).isFile()) return spelling;
    }
    return suffix;
}

void MainWindow::saveFile() {
    PageView* view = activePage();
    if (!view) return;
    const QString current = QFile::decodeName(QByteArray::fromStdString(view->page().fileName));
    const QString path = chooseSaveFile ? chooseSaveFile(current) : QString();
    if (path.isEmpty()) return;
    const std::string target = QFile::encodeName(path).toStdString();
    if (!confirmReplacingChangedFile(*view, target)) return;
    progress().show(0);
    rivo::PageSaveResult result;
    try {
        rivo::PageSaveOptions options;
        // Cells the format cannot hold as shown: the user decides, and No is the default.
        options.acceptDifferences = [this](const std::vector<rivo::CellDifference>& differences) {
            const std::string question =
                rivo::Fmt(rivo::Tr("%1%2\nSalvare comunque?"),
                          rivo::SavedDifferencesHeading(differences.size()),
                          rivo::DescribeDifferences(differences));
            return prompts().askDiscarding(question, rivo::Tr(kAttention), rivo::Icon::Warning,
                                           rivo::Buttons::YesNo) == rivo::Answer::Yes;
        };
        result = rivo::SavePage(view->page(), QFile::encodeName(path).toStdString(), progress(),
                                options);
    } catch (const std::exception& failure) {
        result.ok = false;
        result.message = failure.what();
    }
    progress().hide();
    if (result.declined) {
        // The user said No to the list of differences: the page stays as it was.
    } else if (!result.ok) {
        prompts().tell(result.message, kApplicationTitle, rivo::Icon::Error);
    } else {
        // Accepted differences: the page now shows what the file holds. Taking that in
        // is a step of its own, so that undo brings back what was typed.
        if (!result.differences.empty()) view->history().commit(view->page(), rivo::Tr(kStepSave));
        // What was written is the state undo comes back to as unmodified, and the
        // file as this page now knows it.
        view->history().markSaved(view->page());
        view->fileIdentity = ReadFileIdentity(target);
        view->changedOnDiskBar->hide();
        // The other pages of this file hold what it was: they learn it now, not at
        // their next save.
        for (PageView* other : pageViews)
            if (other != view && pageShowingFileIs(*other, target)) other->showChangedOnDisk();
        // From now on the page is that file: its tab, the title, the next save and its
        // backup all name it.
        view->page().fileName = QFile::encodeName(path).toStdString();
        pageTabs->setTabToolTip(pageTabs->indexOf(view), path);
        emit pageSaved(view);
        if (!result.warning.empty())
            prompts().tell(result.warning, rivo::Tr(kAttention), rivo::Icon::Warning);
    }
    pageChanged(view);
}

bool MainWindow::pageShowingFileIs(const PageView& view, const std::string& path) {
    std::error_code error;
    return std::filesystem::equivalent(view.page().fileName, path, error);
}

bool MainWindow::confirmReplacingChangedFile(PageView& view, const std::string& target) {
    // The file this page read or saved last, changed since by another page of this
    // window or another program: replacing it would lose that, so the user decides,
    // and No is the default. Another file is the save dialog's own question.
    if (view.page().fileName != target || !FileChangedSince(target, view.fileIdentity)) return true;
    return prompts().askDiscarding(rivo::Tr(kChangedOnDiskQuestion), rivo::Tr(kAttention),
                                   rivo::Icon::Warning, rivo::Buttons::YesNo) == rivo::Answer::Yes;
}

void MainWindow::closePage() {
    const int index = pageTabs->currentIndex();
    PageView* view = activePage();
    if (view) {
        const std::string question = rivo::Fmt(
            view->page().modified
                ? rivo::Tr("Vuoi chiudere il file %1?\nLe modifiche non salvate andranno perse.")
                : rivo::Tr("Vuoi chiudere il file %1?"),
            view->caption().toStdString());
        // Closing a modified page loses its changes: then "No" is the default answer.
        const rivo::Answer answer =
            view->page().modified
                ? prompts().askDiscarding(question, rivo::Tr(kAttention), rivo::Icon::Warning,
                                          rivo::Buttons::YesNo)
                : prompts().ask(question, rivo::Tr(kAttention), rivo::Icon::Warning,
                                rivo::Buttons::YesNo);
        if (answer == rivo::Answer::Yes) {
            pageViews.erase(pageViews.begin() + index);
            pageTabs->removeTab(index);  // the next page becomes active and its
            delete view;                 // buttons follow it
        }
    }
    if (pageViews.empty()) disablePageButtons();
    updateMenuCommands();
}

// The page read again from its file with the parameters it was opened with, as a fresh
// page in the same tab: the file may hold another layout than the page, so its undo
// history, which speaks of the page's own rows, goes with it.
void MainWindow::revertToSaved() {
    PageView* view = activePage();
    if (!view) return;
    const rivo::ListPage& page = view->page();
    if (page.modified) {
        const std::string question =
            rivo::Fmt(rivo::Tr("Rileggere %1 dal disco?\nLe modifiche non salvate e la cronologia "
                               "di annullamento andranno "
                               "perse."),
                      view->caption().toStdString());
        if (prompts().askDiscarding(question, rivo::Tr(kAttention), rivo::Icon::Warning,
                                    rivo::Buttons::YesNo) != rivo::Answer::Yes)
            return;
    }
    rivo::OpenParams params;
    params.fileName = page.fileName;
    params.lnbLow = page.lnbLow;
    params.lnbHigh = page.lnbHigh;
    params.symbolRates = page.symbolRates;
    params.satelliteA = page.satelliteA;
    params.satelliteB = page.satelliteB;
    const int index = pageTabs->indexOf(view);
    // A file that no longer opens leaves the page as it was; the user was told why.
    if (!openWithParams(params, false)) return;
    PageView* fresh = pageViews.back();
    pageViews.pop_back();
    pageViews.insert(pageViews.begin() + index, fresh);
    pageTabs->tabBar()->moveTab(pageTabs->indexOf(fresh), index);
    pageViews.erase(pageViews.begin() + index + 1);
    pageTabs->removeTab(pageTabs->indexOf(view));
    // The same list read again: a compare window showing it follows the fresh page.
    if (compareWindow_) compareWindow_->pageReplaced(view, fresh);
    delete view;
    pageTabs->setCurrentWidget(fresh);
    tellStatus(QTr("%1 riletto dal disco").arg(fresh->caption()));
    updateMenuCommands();
}

void MainWindow::exitEditor() { close(); }

QString MainWindow::modifiedPageNames() const {
    QString names;
    for (PageView* view : pageViews)
        if (view->page().modified) names += QStringLiteral("\n- ") + view->caption();
    return names;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    const QString names = modifiedPageNames();
    if (!names.isEmpty()) {
        // Each name stands on a line of its own.
        const long long count = names.count(QLatin1Char('\n'));
        const std::string question =
            rivo::Fmt(rivo::TrN("Le modifiche di questo file non sono state salvate:%1\n\n"
                                "Vuoi uscire comunque?",
                                "Le modifiche di questi file non sono state salvate:%1\n\n"
                                "Vuoi uscire comunque?",
                                count),
                      names.toStdString());
        if (prompts().askDiscarding(question, rivo::Tr(kAttention), rivo::Icon::Warning,
                                    rivo::Buttons::YesNo) != rivo::Answer::Yes) {
            event->ignore();
            return;
        }
    }
    saveSettings();
    event->accept();
}
