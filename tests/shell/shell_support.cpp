#include "shell_support.h"

#include <QDialog>
#include <QDir>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QTableView>
#include <fstream>

#include "dialogs/open_dialog.h"
#include "shell/main_window.h"
#include "shell/page_view.h"

rivo::Answer ScriptedPrompts::ask(const std::string& text, const std::string& title,
                                  rivo::Icon icon, rivo::Buttons buttons) {
    asked.push_back({text, title, icon, buttons, false});
    if (buttons == rivo::Buttons::Ok) return rivo::Answer::Ok;
    if (answers.empty()) {
        ++unexpected;
        return buttons == rivo::Buttons::YesNo ? rivo::Answer::No : rivo::Answer::Cancel;
    }
    const rivo::Answer answer = answers.front();
    answers.pop_front();
    return answer;
}

rivo::Answer ScriptedPrompts::askDiscarding(const std::string& text, const std::string& title,
                                            rivo::Icon icon, rivo::Buttons buttons) {
    const rivo::Answer answer = ask(text, title, icon, buttons);
    asked.back().discarding = true;
    return answer;
}

std::string StandardIni() {
    std::string ini = "[Fixture]\r\n";
    const auto& rates = rivo::testsupport::FixtureRates();
    for (int i = 0; i < 16; ++i) {
        char key[8];
        std::snprintf(key, sizeof key, "SR%02X", i);
        ini += std::string(key) + "=" + std::to_string(rates[static_cast<size_t>(i)]) + "\r\n";
    }
    ini += "[Personalizzato]\r\nSR00=1\r\n";
    ini += "[Ridotto]\r\nSR00=27500\r\nSR01=22000\r\nSR02=1000\r\nSR03=-1\r\n";
    for (int i = 4; i < 16; ++i) {
        if (i == 12) continue;
        char key[8];
        std::snprintf(key, sizeof key, "SR%02X", i);
        ini += std::string(key) + "=" + std::to_string(100 + i) + "\r\n";
    }
    return ini;
}

ShellFolder::ShellFolder() {
    const std::string ini = StandardIni();
    write("Sr.Ini", rivo::Bytes(ini.begin(), ini.end()));
}

QString ShellFolder::root() const { return QString::fromStdString(folder_.root()); }

QString ShellFolder::path(const std::string& name) const {
    return QString::fromStdString(folder_.path(name));
}

QString ShellFolder::write(const std::string& name, const rivo::Bytes& bytes) const {
    const std::string file = folder_.path(name);
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return QString::fromStdString(file);
}

namespace {
QString g_nextPath;
std::function<void(OpenDialog&)> g_adjust;
}  // namespace

void PrepareWindow(MainWindow& window, ScriptedPrompts& prompts, const ShellFolder& folder) {
    window.setPrompts(&prompts);
    window.workDir = folder.root();
    window.runOpenDialog = [](OpenDialog& dialog) {
        dialog.chooseFile = [](QWidget*, const QString&) { return g_nextPath; };
        dialog.browseButton->click();
        if (g_adjust) g_adjust(dialog);
        dialog.okButton->click();
        return dialog.result() == QDialog::Accepted;
    };
    window.chooseSaveFile = [](const QString&) { return QString(); };
}

bool OpenThroughDialog(MainWindow& window, const QString& path,
                       const std::function<void(OpenDialog&)>& adjust) {
    g_nextPath = path;
    g_adjust = adjust;
    const int before = window.pageCount();
    window.openAction->trigger();
    g_adjust = nullptr;
    return window.pageCount() == before + 1;
}

bool OpenAgain(MainWindow& window, ScriptedPrompts& prompts, const QString& path) {
    const std::size_t asked = prompts.asked.size();
    prompts.answers.push_back(rivo::Answer::No);
    const bool opened = OpenThroughDialog(window, path);
    if (prompts.asked.size() != asked + 1 || prompts.asked.back().text.find("è già aperto") == std::string::npos)
        return false;
    prompts.asked.pop_back();
    return opened;
}

void SelectChannels(PageView& view, int first, int last) {
    QAbstractItemModel* model = view.channelTable->model();
    view.channelTable->selectionModel()->setCurrentIndex(model->index(first - 1, 0), QItemSelectionModel::NoUpdate);
    view.channelTable->selectionModel()->select(
        QItemSelection(model->index(first - 1, 0), model->index(last - 1, model->columnCount() - 1)),
        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}
