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
class QLineEdit;
class QPushButton;
class QTableWidget;

class TForm2 : public QDialog {
    Q_OBJECT
public:
    // iniPath: the "Sr.Ini" whose sets the dialog offers. Messages go through prompts,
    // which must outlive the dialog.
    TForm2(QString iniPath, rivo::UserPrompts& prompts, QWidget* parent = nullptr);

    // Reads the ini file and puts every control at its start value.
    void Initialise();

    // The open parameters the controls describe (meaningful after Ok).
    rivo::TOpenParams OpenParams() const;

    // Presets the chosen file (the editor's command-line argument).
    void setFileName(const QString& path);

    // How "Sfoglia" asks for a file: returns the chosen path, or "" when cancelled.
    // Replaceable so that tests can answer without a file chooser.
    std::function<QString(QWidget* parent, const QString& filter)> chooseFile;

    // The file chooser's filter, in the file dialog's notation.
    static QString fileFilter();

    // Controls, named as the handlers refer to them.
    QPushButton* SpeedButton3 = nullptr;  // "Sfoglia"
    QLineEdit* FileEdit = nullptr;        // the chosen, typed or pasted path
    QLineEdit* Edit2 = nullptr;           // LNB low
    QLineEdit* Edit3 = nullptr;           // LNB high
    QComboBox* SatelliteACombo = nullptr;
    QComboBox* SatelliteBCombo = nullptr;
    QComboBox* ComboBox1 = nullptr;       // symbol-rate set
    QTableWidget* RateGrid = nullptr;     // 16 rows: code, value
    QPushButton* SpeedButton2 = nullptr;  // "Ok"
    QPushButton* SpeedButton1 = nullptr;  // "Annulla"

public slots:
    void SpeedButton3Click();
    void Edit2Change(const QString& text);
    void Edit3Exit();
    void ComboBox1Change(int index);
    void SpeedButton2Click();
    void SpeedButton1Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QString iniPath_;
    rivo::UserPrompts& prompts_;
    std::vector<rivo::SymbolRateSet> sets_;
};
