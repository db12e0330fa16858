// The about box: the program's icon, name, version, licence and what it is for, with
// one "OK" button that closes it.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);

    static QString productName();
    static QString version();

    QLabel* ProgramIcon = nullptr;
    QLabel* ProductName = nullptr;
    QLabel* Version = nullptr;
    QLabel* Copyright = nullptr;
    QLabel* Comments = nullptr;
    QPushButton* OKButton = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
};
