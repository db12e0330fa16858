// The open dialog: which file to open and the open parameters the image does not record
// (LNB oscillators, satellite names, the symbol rates behind the codes 00..0F).
#pragma once

#include <QDialog>
#include <QString>
#include <functional>
#include <vector>

#include "channels/open_params.h"
#include "channels/user_prompts.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

class OpenDialog : public QDialog {
    Q_OBJECT
public:
    // iniPath: the "Sr.Ini" whose sets the dialog offers. Messages go through prompts,
    // which must outlive the dialog.
    OpenDialog(QString iniPath, rivo::UserPrompts& prompts, QWidget* parent = nullptr);

    // Reads the ini file and puts every control at its start value.
    void initialise();

    // The open parameters the controls describe (meaningful after Ok).
    rivo::OpenParams params() const;

    // Presets the chosen file (the editor's command-line argument).
    void setFileName(const QString& path);

    // Puts remembered values in the controls: the file (unless params names none), the
    // LNB frequencies, the satellites and the symbol rates, with the set named setName
    // chosen when "Sr.Ini" still has it. The table shows params' rates either way: they
    // are what that file was opened with.
    void setParams(const rivo::OpenParams& params, const QString& setName);
    // The name of the symbol-rate set chosen ("" when none).
    QString symbolRateSetName() const;

    // Where "Sfoglia" starts ("" for the file chooser's own choice).
    QString startFolder;
    // Called when "Sfoglia" chose a file, to fill what is remembered for it.
    std::function<void(OpenDialog& dialog, const QString& path)> fileChosen;

    // How "Sfoglia" asks for a file: returns the chosen path, or "" when cancelled.
    // Replaceable so that tests can answer without a file chooser.
    std::function<QString(QWidget* parent, const QString& filter)> chooseFile;

    // The file chooser's filter, in the file dialog's notation.
    static QString fileFilter();

    // The controls, open to the window tests that fill and press them.
    QPushButton* browseButton = nullptr;  // "Sfoglia"
    QLineEdit* fileEdit = nullptr;        // the chosen, typed or pasted path
    QLineEdit* lnbLowEdit = nullptr;      // MHz, "22kHz Off"
    QLineEdit* lnbHighEdit = nullptr;     // MHz, "22kHz On"
    QComboBox* satelliteACombo = nullptr;
    QComboBox* satelliteBCombo = nullptr;
    QComboBox* symbolRateSetCombo = nullptr;  // the sets of "Sr.Ini"
    QTableWidget* symbolRateTable = nullptr;  // 16 rows: code, value
    // Why the "Sr.Ini" could not be read; hidden when it was read or does not exist.
    QLabel* symbolRateProblemLabel = nullptr;
    QPushButton* defaultsButton = nullptr;  // "Valori predefiniti"
    QPushButton* okButton = nullptr;        // "Ok"
    QPushButton* cancelButton = nullptr;    // "Annulla"

public slots:
    void browse();
    void lnbLowChanged(const QString& text);
    void lnbHighLeft();
    void symbolRateSetChanged(int index);
    void acceptIfValid();
    void cancel();
    // "Valori predefiniti": the start values of LNB, satellites and symbol rates back,
    // the file kept.
    void restoreDefaults();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QString iniPath_;
    rivo::UserPrompts& prompts_;
    std::vector<rivo::SymbolRateSet> sets_;
};
